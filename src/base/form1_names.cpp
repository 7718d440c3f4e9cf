#include "base/form1_names.h"

namespace dravilo {

namespace {

template <class T, std::size_t N>
void addArray(std::vector<NamedControl>& all, const char* name, std::array<T, N>& controls,
              const Control* container = nullptr)
{
    for (std::size_t i = 0; i < N; ++i)
        all.push_back({QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i), &controls[i], container});
}

}  // namespace

std::vector<NamedControl> ControlsByName(Form1& f)
{
    std::vector<NamedControl> all{
        {"Form1", static_cast<Captioned*>(&f.Caption), nullptr},
        {"mnu_File", &f.mnu_File, nullptr},
        {"mnu_Exit", &f.mnu_Exit, nullptr},
        {"mnu_Setting", &f.mnu_Setting, nullptr},
        {"mnu_Traffic", &f.mnu_Traffic, nullptr},
        {"mnu_lanq", &f.mnu_lanq, nullptr},
        {"mnu_rus", &f.mnu_rus, nullptr},
        {"mnu_eng", &f.mnu_eng, nullptr},
        {"Basis_Frame1", static_cast<Captioned*>(&f.Basis_Frame1), nullptr},
        {"Basis_Label1", static_cast<Captioned*>(&f.Basis_Label1), &f.Basis_Frame1},
        {"Basis_Text1", &f.Basis_Text1, &f.Basis_Frame1},
        {"Basis_Command1", &f.Basis_Command1, &f.Basis_Frame1},
        {"Traffic_Frame1", static_cast<Captioned*>(&f.Traffic_Frame1), nullptr},
        {"Traffic_Check1", &f.Traffic_Check1, &f.Traffic_Frame1},
        {"Traffic_Command1", &f.Traffic_Command1, &f.Traffic_Frame1},
        {"Traffic_Command2", &f.Traffic_Command2, &f.Traffic_Frame1},
        {"Traffic_Label2", static_cast<Captioned*>(&f.Traffic_Label2), &f.Traffic_Frame1},
        {"Traffic_Combo1", &f.Traffic_Combo1, &f.Traffic_Frame1},
        {"Traffic_Label3", static_cast<Captioned*>(&f.Traffic_Label3), &f.Traffic_Frame1},
        {"Traffic_Text1", &f.Traffic_Text1, &f.Traffic_Frame1},
        {"Traffic_Label4", static_cast<Captioned*>(&f.Traffic_Label4), &f.Traffic_Frame1},
        {"Traffic_Text2", &f.Traffic_Text2, &f.Traffic_Frame1},
        {"Traffic_Command3", &f.Traffic_Command3, &f.Traffic_Frame1},
        {"Port_Label1", static_cast<Captioned*>(&f.Port_Label1), &f.Frame1},
        {"Port_Label2", static_cast<Captioned*>(&f.Port_Label2), &f.Frame1},
        {"Port_Combo1", &f.Port_Combo1, &f.Frame1},
        {"Port_Label3", static_cast<Captioned*>(&f.Port_Label3), &f.Frame1},
        {"Fault_Frame1", static_cast<Captioned*>(&f.Fault_Frame1), nullptr},
        {"Fault_Combo1", &f.Fault_Combo1, nullptr},
        {"Fault_Text1", &f.Fault_Text1, nullptr},
        {"Fault_Combo2", &f.Fault_Combo2, nullptr},
        {"Fault_Text2", &f.Fault_Text2, nullptr},
        {"Fault_Command1", &f.Fault_Command1, nullptr},
        {"Fault_Command2", &f.Fault_Command2, nullptr},
    };
    Captioned* captions[] = {&f.Label6,  &f.Frame3,  &f.Label9,  &f.Label24, &f.Label2,  &f.Label7,  &f.Label23,
                             &f.Frame5,  &f.Label4,  &f.Label5,  &f.Frame6,  &f.Label20, &f.Label21, &f.Label22,
                             &f.Label8,  &f.Frame1,  &f.Label3,  &f.Label11, &f.Label12, &f.Label13, &f.Label15,
                             &f.Label16, &f.Label17, &f.Label18, &f.Label19, &f.Label14, &f.Frame2,  &f.Frame7,
                             &f.Label29, &f.Label27, &f.Label28, &f.Frame4,  &f.Label10, &f.Label25, &f.Label26,
                             &f.Label30, &f.Fault_Label1, &f.Fault_Label2, &f.Fault_Label3, &f.Fault_Label4,
                             &f.Fault_Label5};
    const char* captionNames[] = {"Label6",  "Frame3",  "Label9",  "Label24", "Label2",  "Label7",  "Label23",
                                  "Frame5",  "Label4",  "Label5",  "Frame6",  "Label20", "Label21", "Label22",
                                  "Label8",  "Frame1",  "Label3",  "Label11", "Label12", "Label13", "Label15",
                                  "Label16", "Label17", "Label18", "Label19", "Label14", "Frame2",  "Frame7",
                                  "Label29", "Label27", "Label28", "Frame4",  "Label10", "Label25", "Label26",
                                  "Label30", "Fault_Label1", "Fault_Label2", "Fault_Label3", "Fault_Label4",
                                  "Fault_Label5"};
    static_assert(std::size(captions) == std::size(captionNames));
    for (std::size_t i = 0; i < std::size(captions); ++i)
        all.push_back({QLatin1String(captionNames[i]), captions[i], nullptr});

    const std::pair<const char*, CommandButton*> buttons[] = {
        {"Command1", &f.Command1}, {"Command2", &f.Command2}, {"Command3", &f.Command3},
        {"Command4", &f.Command4}, {"Command5", &f.Command5}};
    for (const auto& [name, button] : buttons)
        all.push_back({QLatin1String(name), button, nullptr});
    const std::pair<const char*, TextBox*> boxes[] = {{"Text3", &f.Text3}, {"Text4", &f.Text4}, {"Text5", &f.Text5},
                                                      {"Text6", &f.Text6}, {"Text7", &f.Text7}, {"Text8", &f.Text8},
                                                      {"Text10", &f.Text10}};
    for (const auto& [name, box] : boxes)
        all.push_back({QLatin1String(name), box, nullptr});
    all.push_back({"Text11", &f.Text11, &f.Frame7});
    all.push_back({"Check2", &f.Check2, nullptr});
    all.push_back({"Check4", &f.Check4, &f.Frame5});
    all.push_back({"Combo2", &f.Combo2, nullptr});
    all.push_back({"Shape1", &f.Shape1, nullptr});
    all.push_back({"Shape3", &f.Shape3, nullptr});

    addArray(all, "Text9", f.Text9);
    addArray(all, "Text2", f.Text2);
    addArray(all, "Text1", f.Text1);
    addArray(all, "Shape2", f.Shape2);
    addArray(all, "Label1", f.Label1);
    addArray(all, "Combo1", f.Combo1);
    addArray(all, "Option1", f.Option1);
    addArray(all, "Check1", f.Check1, &f.Frame7);
    addArray(all, "Check3", f.Check3, &f.Frame7);
    addArray(all, "Traffic_Label1", f.Traffic_Label1, &f.Traffic_Frame1);
    return all;
}

}  // namespace dravilo
