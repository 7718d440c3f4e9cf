#include "terminal/build_frame.h"

#include "program/program.h"
#include "simulation/load_sway.h"
#include "terminal/frame.h"
#include "terminal/periodic_transmission.h"

namespace dravilo {

void BuildFrame(Program& p)
{
    LightSendLamp(p);
    SwayStep(p);
    const TerminalState& s = p.state;
    if (p.settings.intTerminalType == 1)
        p.state.strFrame = Zelm1Frame(s.dblWeight, s.strWeightFormat);
    else
        p.state.strFrame = Zelm2Frame(s.dblWeight, s.strWeightFormat, p.form.Text8.text(),
                                      p.form.Text10.text(), p.platform.decimalSeparator());
}

}  // namespace dravilo
