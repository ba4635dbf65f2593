#include "res/ControlPanelTemplate.h"

#include "res/ResourceIds.h"

namespace zintrel::res {

namespace {

using K = ControlKind;

// In template order, which is also the tab order.
constexpr ControlTemplate kControls[] = {
    {IDC_BANNER, K::Picture, nullptr, 7, 7, 216, 44, kNone},
    {IDC_ABOUT, K::PushButton, "About", 263, 7, 50, 14, kTabStop},
    {IDC_COMMAND_LINE_OPTIONS, K::PushButton, "Command line options\r\n (for advanced users)", 234,
     29, 79, 22, kTabStop | kMultiline | kAlignCenter | kVCenter},
    {IDC_HELP_WRAP_MOUSE, K::PushButton, "?", 15, 77, 12, 14, kTabStop},
    {IDC_WRAP_MOUSE, K::CheckBox, "Wrap mouse cursor at edges of the screen.", 34, 79, 150, 10,
     kTabStop},
    {IDC_HELP_MAKE_NO_SOUND, K::PushButton, "?", 15, 92, 12, 14, kTabStop},
    {IDC_MAKE_NO_SOUND, K::CheckBox, "Make not a sound!!!", 34, 94, 78, 10, kTabStop},
    {IDC_INTERVAL, K::Slider, nullptr, 34, 125, 100, 15, kTabStop},
    {IDC_HELP_INTERVAL, K::PushButton, "?", 137, 123, 12, 14, kTabStop},
    {IDC_PITCH, K::Slider, nullptr, 184, 125, 100, 15, kTabStop},
    {IDC_HELP_PITCH, K::PushButton, "?", 287, 123, 12, 14, kTabStop},
    {IDC_START_ONLY, K::PushButton, "Start Only", 62, 203, 60, 24, kTabStop},
    {IDC_STOP, K::PushButton, "Stop", 130, 203, 60, 24, kTabStop | kDisabled},
    {IDC_START_AND_HIDE, K::PushButton, "Start && Hide", 198, 203, 60, 24, kTabStop},
    {IDC_HELP_START_AND_HIDE, K::PushButton, "?", 259, 213, 12, 14, kTabStop},
    {IDC_SPEED_WORDS, K::StaticText, "Your mouse is currently halted at ", 56, 175, 126, 8,
     kAlignRight},
    {IDC_SPEED_VALUE, K::StaticText, "0 pixels per second.", 182, 175, 95, 8, kAlignLeft},
    {IDC_CONFIG_GROUP, K::GroupBox, "Configuration Console", 7, 60, 306, 86, kAlignCenter},
    {IDC_STATUS_GROUP, K::GroupBox, "Status Display", 7, 155, 306, 40, kAlignCenter},
    {IDC_INTERVAL_LABEL, K::StaticText, "Interval", 34, 114, 100, 8, kAlignCenter},
    {IDC_PITCH_LABEL, K::StaticText, "Pitch", 184, 114, 100, 8, kAlignCenter},
};

}  // namespace

const DialogTemplate kControlPanelTemplate = {
    IDD_CONTROL_PANEL,    "Zintrel v1.0",        320,       234,
    /*minimizeBox=*/true, /*maximizeBox=*/false, kControls,
};

}  // namespace zintrel::res
