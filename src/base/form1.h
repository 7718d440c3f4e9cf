#pragma once

// The main window's controls under their designer names, with the contents
// they have when the window is created. Control arrays are std::array,
// addressed by the designer's index.

#include <array>

#include "base/controls.h"

namespace dravilo {

// The status panels show their byte from D7 down: the element of each bit.
enum StatusBit : int { D7, D6, D5, D4, D3, D2, D1, D0 };
constexpr StatusBit StatusBitNumbered(int n) { return StatusBit(D0 - n); }

struct Form1 {
    Form1();

    Captioned Caption;              // the window title

    // Menu bar.
    MenuItem mnu_File, mnu_Exit;    // "Menu" holding "Exit"
    MenuItem mnu_Setting;           // shows and hides the settings panel
    MenuItem mnu_Traffic;           // shows and hides the traffic panel
    MenuItem mnu_lanq, mnu_rus, mnu_eng;  // "Language" holding "rus" and "eng"

    // Program settings panel, hidden until the menu shows it.
    Frame Basis_Frame1;
    Label Basis_Label1;
    TextBox Basis_Text1;            // the results folder, read-only
    CommandButton Basis_Command1;

    // Traffic panel, hidden until the menu shows it: the line's events as
    // rows under five column captions.
    Frame Traffic_Frame1;
    std::array<Label, 5> Traffic_Label1;  // time, direction, HEX, text, what it is
    CheckBox Traffic_Check1;        // pause: the rows stand still
    CommandButton Traffic_Command1; // clear
    CommandButton Traffic_Command2; // save the rows to a text file
    Label Traffic_Label2;
    ComboBox Traffic_Combo1;        // which rows: all, from-host, to-host, program, line faults
    Label Traffic_Label3;
    TextBox Traffic_Text1;          // only rows whose "what it is" holds this
    Label Traffic_Label4;
    TextBox Traffic_Text2;          // bytes in HEX to send to the host by hand
    CommandButton Traffic_Command3; // send them

    // Load area: weights, weight format, sway.
    Label Label6;
    Frame Frame3;
    Label Label9, Label24, Label2, Label7, Label23;
    std::array<TextBox, 2> Text9;   // set weights
    std::array<TextBox, 3> Text2;   // formatted weights; index 2 is the take-off row
    CommandButton Command1, Command2, Command3;
    std::array<Shape, 3> Shape2;    // row indicators
    ComboBox Combo2;                // weight format
    Frame Frame5;
    Label Label4, Label5;
    std::array<TextBox, 3> Text1;   // 0 send period, 1 sway amplitude, 2 oscillations
    CommandButton Command5;
    CheckBox Check4;                // S1 D4, "weight unstable", follows the sway
    Frame Frame6;                   // weighing cycles
    Label Label20, Label21;
    TextBox Text4, Text7;           // maximum count, period in seconds
    CheckBox Check2;                // cycles on
    Label Label22;                  // cycles completed

    // Port and transmission area.
    Label Label8;
    Frame Frame1;                   // port panel
    std::array<Label, 5> Label1;
    std::array<ComboBox, 5> Combo1; // port number, rate, parity, data bits, stop bits
    Shape Shape1;                   // port indicator
    Label Label30;                  // why the port is not open; empty while it is
    Label Port_Label1;              // what the line is: "COM2 → /dev/ttyUSB0", "virtual port ..."
    Label Port_Label2;              // caption of the device list
    ComboBox Port_Combo1;           // the device of COM n, where the line has devices to choose
    Label Port_Label3;              // the pace of a line no UART paces, and what goes wrong on it
    Label Label3, Label11, Label12, Label13, Label15, Label16;
    CommandButton Command4;
    TextBox Text3, Text6;           // last frame as text and as HEX
    Label Label17, Label18, Label19;
    Shape Shape3;                   // send lamp

    // Line faults: the control channel's "fault" on the window.
    Frame Fault_Frame1;
    Label Fault_Label1, Fault_Label2, Fault_Label3, Fault_Label4;  // kind, delay, reach, in force
    ComboBox Fault_Combo1;          // drop, delay, corrupt, cut, noise
    TextBox Fault_Text1;            // the delay in ms
    ComboBox Fault_Combo2;          // next N replies, or a rate of them
    TextBox Fault_Text2;            // N, or the rate as 0.25 or 25%
    CommandButton Fault_Command1;   // apply
    CommandButton Fault_Command2;   // off
    Label Fault_Label5;             // the fault in force

    // Terminal area: type, ZELM-2 settings, terminal display.
    Label Label14;
    Frame Frame2;
    std::array<OptionButton, 2> Option1;  // 0 ZELM-2, 1 ZELM-1
    Frame Frame7;
    Label Label29;
    TextBox Text11;                 // price input
    std::array<CheckBox, 8> Check1; // S1, by StatusBit
    std::array<CheckBox, 8> Check3; // S2, by StatusBit
    Label Label27, Label28;
    Frame Frame4;
    Label Label10, Label25, Label26;
    TextBox Text5, Text8, Text10;   // weight, price, cost

    Timer Timer1;                   // send timer, running while ZELM-1 is selected
    Timer Timer2;                   // applies the port panel after a pick
    Timer Timer3;                   // weighing-cycle clock
    Timer Timer4;                   // send lamp
    Timer Timer5;                   // tries again a port whose device went away

    // Every timer of the window, for whoever drives time.
    std::array<Timer*, 5> timers() { return {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5}; }

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
};

}  // namespace dravilo
