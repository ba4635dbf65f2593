#include "res/AboutBoxTemplate.h"

#include "res/ResourceIds.h"

namespace zintrel::res {

namespace {

using K = ControlKind;

// In template order, which is also the tab order: the web address box,
// Go there and Okay are the tab stops.
constexpr ControlTemplate kControls[] = {
    {-1, K::Icon, nullptr, 11, 17, 20, 20, kNone},
    {-1, K::StaticText, "Zintrel v1.0  [2005.October.13]", 40, 16, 129, 8,
     kAlignLeft | kNoPrefix | kGroup},
    {-1, K::StaticText, "Turns mouse movement into sound.", 40, 31, 119, 8, kAlignLeft | kGroup},
    {IDC_WEB_ADDRESS, K::EditBox, nullptr, 32, 51, 111, 14,
     kReadOnly | kAlignCenter | kBorder | kAutoHScroll | kTabStop | kDoubleBorder},
    {IDC_GO_THERE, K::PushButton, "Go there", 54, 67, 68, 14, kTabStop},
    {IDC_FAQ_NOTE, K::StaticText,
     "For troubleshooting information and/or other additional assistance, see the online FAQ.", 7,
     89, 162, 18, kAlignCenter | kWordWrap | kGroup},
    {IDC_SIGN_OFF, K::StaticText, "Y'all have sound now, ya hear.", 32, 112, 111, 8,
     kAlignCenter | kGroup},
    {IDOK, K::PushButton, "Okay", 63, 129, 50, 14, kDefaultButton | kGroup | kTabStop},
};

}  // namespace

const DialogTemplate kAboutBoxTemplate = {
    IDD_ABOUTBOX, nullptr, 176, 150, false, false, kControls,
};

}  // namespace zintrel::res
