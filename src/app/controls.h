#pragma once

#include <QString>

#include <array>

// Every control of the window, with its kind, design-time text (or caption)
// and typed-length limit (0: none). The controls keep their designed names, so
// the window's widgets carry them as object names for tests and automation.
//
// The received-byte trace (the hidden box Text1) is kept by the receive path,
// and the serial port, timers and file dialog are not controls here.
#define KV_CONTROLS(X)                                           \
    X(Form1, Window, "Lumeno KV120 aprs config", 0)              \
    X(Text3, TextBox, "0/10", 0)                                 \
    X(Text2, TextBox, "Text2", 0)                                \
    X(Text9, TextBox, "", 30)                                    \
    X(Text30, TextBox, "Text30", 0)                              \
    X(Command3, Button, "打开串口", 0)                           \
    X(Label2, Label, "", 0)                                      \
    X(Frame1, Frame, "", 0)                                      \
    X(Label3, Label, "KV120 APRS Config", 0)                     \
    X(Label4, Label, "Callsign", 0)                              \
    X(Text4, TextBox, "", 6)                                     \
    X(Label9, Label, "-", 0)                                     \
    X(Combo5, ComboBox, "", 0)                                   \
    X(Label1, Label, "Pass", 0)                                  \
    X(Text5, TextBox, "", 5)                                     \
    X(Label6, Label, "Posi+Comment", 0)                          \
    X(Text8, TextBox, "", 61)                                    \
    X(Text7, TextBox, "", 40)                                    \
    X(Label7, Label, "Server", 0)                                \
    X(Combo3, ComboBox, "", 0)                                   \
    X(Label8, Label, "Tx time", 0)                               \
    X(Text10, TextBox, "", 5)                                    \
    X(Label10, Label, "Filter", 0)                               \
    X(Text11, TextBox, "", 16)                                   \
    X(Combo1, ComboBox, "Combo1", 0)                             \
    X(Text12, TextBox, "Config 20161215", 0)                     \
    X(Label11, Label, "Status", 0)                               \
    X(Text29, TextBox, "", 0)                                    \
    X(ProgressBar1, ProgressBar, "", 0)                          \
    X(Label22, Label, "If change setup then please restart ", 0) \
    X(Command6, Button, "Read data", 0)                          \
    X(Command7, Button, "Write data", 0)                         \
    X(Command0, Button, "Default", 0)                            \
    X(Command4, Button, "Load file", 0)                          \
    X(Command5, Button, "Save file", 0)                          \
    X(Command1, Button, "Open ROM", 0)                           \
    X(Command2, Button, "update", 0)                             \
    X(Command9, Button, "restart", 0)                            \
    X(Frame2, Frame, "", 0)                                      \
    X(Label5, Label, "DHCP", 0)                                  \
    X(Combo2, ComboBox, "", 0)                                   \
    X(Label12, Label, "IP", 0)                                   \
    X(Label13, Label, "Mask", 0)                                 \
    X(Label14, Label, "Gate", 0)                                 \
    X(Label15, Label, "DNS", 0)                                  \
    X(Text13, TextBox, "", 0)                                    \
    X(Text14, TextBox, "", 0)                                    \
    X(Text15, TextBox, "", 0)                                    \
    X(Text16, TextBox, "", 0)                                    \
    X(Text17, TextBox, "", 0)                                    \
    X(Text18, TextBox, "", 0)                                    \
    X(Text19, TextBox, "", 0)                                    \
    X(Text20, TextBox, "", 0)                                    \
    X(Text21, TextBox, "", 0)                                    \
    X(Text22, TextBox, "", 0)                                    \
    X(Text23, TextBox, "", 0)                                    \
    X(Text24, TextBox, "", 0)                                    \
    X(Text25, TextBox, "", 0)                                    \
    X(Text26, TextBox, "", 0)                                    \
    X(Text27, TextBox, "", 0)                                    \
    X(Text28, TextBox, "", 0)                                    \
    X(Frame3, Frame, "Vers", 0)                                  \
    X(Text6, TextBox, "KV120 ", 0)                               \
    X(Frame4, Frame, "RF RADIO", 0)                              \
    X(Label16, Label, "Tx/Rx", 0)                                \
    X(Text31, TextBox, "", 8)                                    \
    X(Label17, Label, "MHz", 0)                                  \
    X(Label21, Label, "CTCSS", 0)                                \
    X(Text32, TextBox, "", 3)                                    \
    X(Check1, CheckBox, "DIGI", 0)                               \
    X(Label24, Label, "TX vol", 0)                               \
    X(Combo6, ComboBox, "", 0)                                   \
    X(Label25, Label, "Path", 0)                                 \
    X(Combo7, ComboBox, "", 0)                                   \
    X(Label26, Label, "Alias", 0)                                \
    X(Combo8, ComboBox, "", 0)                                   \
    X(Frame5, Frame, "Setup", 0)                                 \
    X(Label18, Label, "Backlight", 0)                            \
    X(Combo16, ComboBox, "", 0)                                  \
    X(Label19, Label, "Unit", 0)                                 \
    X(Combo4, ComboBox, "", 0)                                   \
    X(Frame6, Frame, "WIFI user/password", 0)                    \
    X(Label23, Label, "ssid", 0)                                 \
    X(Text34, TextBox, "", 20)                                   \
    X(Label20, Label, "pass", 0)                                 \
    X(Text33, TextBox, "", 20)                                   \
    X(Command8, Button, "Apply", 0)

enum class Ctl {
#define KV_CONTROL_ID(name, kind, text, maxLength) name,
    KV_CONTROLS(KV_CONTROL_ID)
#undef KV_CONTROL_ID
};

enum class ControlKind { Window, Frame, Label, TextBox, ComboBox, Button, CheckBox, ProgressBar };

struct ControlDesign {
    Ctl id;
    const char* name;
    ControlKind kind;
    const char* designText;  // UTF-8
    int maxLength;
};

inline constexpr std::array kControls{
#define KV_CONTROL_DESIGN(name, kind, text, maxLength) \
    ControlDesign{Ctl::name, #name, ControlKind::kind, text, maxLength},
    KV_CONTROLS(KV_CONTROL_DESIGN)
#undef KV_CONTROL_DESIGN
};

inline constexpr int kControlCount = static_cast<int>(kControls.size());

inline const ControlDesign& designOf(Ctl id) {
    return kControls[static_cast<int>(id)];
}
inline QString nameOf(Ctl id) {
    return QString::fromLatin1(designOf(id).name);
}
