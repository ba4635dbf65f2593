#pragma once

// Dialog templates kept as data: every control with its identifier, kind,
// caption, position and size in dialog units, in template order (which is
// also creation order and tab order). The dialog base in panel/ turns them
// into real windows, converting dialog units with the dialog's own font.

#include <cstdint>
#include <span>

namespace zintrel::res {

enum class ControlKind {
  Picture,     // shows a bitmap at the bitmap's own size
  Icon,        // shows the program icon
  PushButton,
  CheckBox,    // automatic check box: toggles itself when clicked
  Slider,      // horizontal, no tick marks, no value label
  StaticText,
  GroupBox,
  EditBox,
};

// Style bits; only those the templates use.
enum Style : std::uint32_t {
  kNone = 0,
  kTabStop = 1u << 0,
  kDisabled = 1u << 1,
  kAlignLeft = 1u << 2,
  kAlignCenter = 1u << 3,
  kAlignRight = 1u << 4,
  kGroup = 1u << 5,          // starts a group
  kMultiline = 1u << 6,      // caption may break over lines
  kVCenter = 1u << 7,        // caption centred vertically
  kNoPrefix = 1u << 8,       // ampersands shown as they are
  kReadOnly = 1u << 9,
  kBorder = 1u << 10,
  kAutoHScroll = 1u << 11,
  kDefaultButton = 1u << 12,
  kDoubleBorder = 1u << 13,  // dialog-modal frame around a control
  kWordWrap = 1u << 14,      // static text that wraps to several lines
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* caption;  // exact text; "&&" shows one ampersand on buttons
  int x, y, width, height;  // dialog units
  std::uint32_t styles;
};

struct DialogTemplate {
  int id;
  const char* caption;     // nullptr: no caption bar
  int width, height;       // dialog units
  bool minimizeBox;
  bool maximizeBox;
  std::span<const ControlTemplate> controls;
};

}  // namespace zintrel::res
