#pragma once

// Identifiers of Zintrel's resources and controls.

namespace zintrel::res {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_CONTROL_PANEL = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_BANNER = 129;
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDT_HIDE = 856;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Control panel.
inline constexpr int IDC_ABOUT = 1003;
inline constexpr int IDC_START_ONLY = 1004;
inline constexpr int IDC_STOP = 1005;
inline constexpr int IDC_START_AND_HIDE = 1006;
inline constexpr int IDC_SPEED_WORDS = 1007;
inline constexpr int IDC_SPEED_VALUE = 1008;
inline constexpr int IDC_CONFIG_GROUP = 1009;
inline constexpr int IDC_STATUS_GROUP = 1010;
inline constexpr int IDC_HELP_START_AND_HIDE = 1011;
inline constexpr int IDC_INTERVAL = 1012;
inline constexpr int IDC_PITCH = 1013;
inline constexpr int IDC_INTERVAL_LABEL = 1014;
inline constexpr int IDC_PITCH_LABEL = 1015;
inline constexpr int IDC_WRAP_MOUSE = 1016;
inline constexpr int IDC_HELP_INTERVAL = 1017;
inline constexpr int IDC_HELP_PITCH = 1018;
inline constexpr int IDC_HELP_WRAP_MOUSE = 1019;
inline constexpr int IDC_MAKE_NO_SOUND = 1020;
inline constexpr int IDC_HELP_MAKE_NO_SOUND = 1021;
inline constexpr int IDC_COMMAND_LINE_OPTIONS = 1022;
inline constexpr int IDC_BANNER = 1023;

// About box.
inline constexpr int IDC_GO_THERE = 1000;
inline constexpr int IDC_WEB_ADDRESS = 1001;
inline constexpr int IDC_SIGN_OFF = 1002;
inline constexpr int IDC_FAQ_NOTE = 1024;

}  // namespace zintrel::res
