#include "app/event_routing.h"

#include "app/fault_panel.h"

#include "app/language.h"
#include "app/settings_panel.h"
#include "app/startup.h"
#include "app/traffic_panel.h"
#include "port/line_faults.h"
#include "port/line_model.h"
#include "port/port_configuration.h"
#include "program/program.h"
#include "simulation/load_sway.h"
#include "simulation/weighing_cycles.h"
#include "simulation/weight_setting.h"
#include "terminal/periodic_transmission.h"
#include "terminal/request_handling.h"
#include "terminal/status_flags.h"
#include "terminal/terminal_type.h"

namespace dravilo {

void RouteEvents(Program& p)
{
    Form1& f = p.form;
    for (int i = 0; i < 2; ++i)
        f.Text9[i].onChange = [&p, i] { Text9_Change(p, i); };
    for (int i = 0; i < 3; ++i)
        f.Text2[i].onChange = [&p, i] { Text2_Change(p, i); };
    f.Combo2.onClick = [&p] { Combo2_Click(p); };
    f.Command1.onClick = [&p] { Command1_Click(p); };
    f.Command2.onClick = [&p] { Command2_Click(p); };
    f.Command3.onClick = [&p] { Command3_Click(p); };
    f.Command5.onClick = [&p] { Command5_Click(p); };
    f.Check4.onClick = [&p] { Check4_Click(p); };

    f.Command4.onClick = [&p] { Command4_Click(p); };
    f.Timer1.onTick = [&p] { Timer1_Timer(p); };
    f.Timer4.onTick = [&p] { Timer4_Timer(p); };

    for (OptionButton& option : f.Option1)
        option.onClick = [&p] { Option1_Click(p); };
    f.Text11.onChange = [&p] { Text11_Change(p); };
    for (CheckBox& box : f.Check1)
        box.onClick = [&p] { Check1_Click(p); };
    for (CheckBox& box : f.Check3)
        box.onClick = [&p] { Check3_Click(p); };

    f.mnu_Exit.onClick = [&p] { mnu_Exit_Click(p); };
    f.mnu_Setting.onClick = [&p] { mnu_Setting_Click(p); };
    f.mnu_rus.onClick = [&p] { mnu_rus_Click(p); };
    f.mnu_eng.onClick = [&p] { mnu_eng_Click(p); };
    f.Basis_Command1.onClick = [&p] { Basis_Command1_Click(p); };
    f.mnu_Traffic.onClick = [&p] { mnu_Traffic_Click(p); };
    f.Traffic_Command1.onClick = [&p] { Traffic_Command1_Click(p); };
    f.Traffic_Command2.onClick = [&p] { Traffic_Command2_Click(p); };
    f.Traffic_Combo1.onClick = [&p] { Traffic_Combo1_Click(p); };
    f.Traffic_Text1.onChange = [&p] { Traffic_Text1_Change(p); };
    f.Traffic_Command3.onClick = [&p] { Traffic_Command3_Click(p); };

    f.Text4.onChange = [&p] { Text4_Change(p); };
    f.Text7.onChange = [&p] { Text7_Change(p); };
    f.Check2.onClick = [&p] { Check2_Click(p); };
    f.Timer3.onTick = [&p] { Timer3_Timer(p); };

    for (ComboBox& list : f.Combo1)
        list.onClick = [&p] { Combo1_Click(p); };
    f.Port_Combo1.onDropDown = [&p] { Port_Combo1_DropDown(p); };
    f.Port_Combo1.onClick = [&p] { Port_Combo1_Click(p); };
    f.Timer2.onTick = [&p] { Timer2_Timer(p); };
    f.Timer5.onTick = [&p] { Timer5_Timer(p); };

    p.MSComm1.onComm = [&p] {
        // The indicator follows every event of the port; what the line is
        // changes with its comings and goings, never with arriving bytes.
        if (p.MSComm1.commEvent() == comEvReceive)
            ShowPortIndicator(p);
        else
            ShowPortState(p);
        if (p.MSComm1.commEvent() == comEventPortLost)
            MSComm1_PortLost(p);
        else
            MSComm1_OnComm(p);
    };
}

void RouteLineModel(Program& p, LineModel& model)
{
    model.onChange = [&p, &model] { ShowLinePace(p, model); };
    p.alsoInTheLanguage.push_back(model.onChange);
    ShowLinePace(p, model);
}

void RouteLineFaults(Program& p, LineFaults& line)
{
    Form1& f = p.form;
    f.Fault_Combo1.onClick = [&p] { Fault_Combo1_Click(p); };
    f.Fault_Command1.onClick = [&p, &line] { Fault_Command1_Click(p, line); };
    f.Fault_Command2.onClick = [&line] { Fault_Command2_Click(line); };
    line.onFaultChange = [&p, &line] { ShowLineFault(p, line); };
    p.alsoInTheLanguage.push_back([&p, &line] { ShowFaultInForce(p, line); });
}

}  // namespace dravilo
