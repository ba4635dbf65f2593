#pragma once

// Remembers which control has the keyboard focus and gives it back when it
// goes out of scope. A modal dialog disables the other windows while it runs,
// and GTK drops the focus of a window it disables; without this the owner
// would come back with no focused control, deaf to Enter, Escape and the
// menu keys until the user pressed Tab or clicked.

// <type_traits> must come before wx/weakref.h, which uses std::is_base_of
// without including it; the comment below keeps the two apart.
#include <type_traits>
// wx
#include <wx/weakref.h>
#include <wx/window.h>

namespace zintrel {

class FocusReturn {
 public:
  FocusReturn();
  ~FocusReturn();
  FocusReturn(const FocusReturn&) = delete;
  FocusReturn& operator=(const FocusReturn&) = delete;

 private:
  wxWeakRef<wxWindow> focus_;  // cleared if the control goes away meanwhile
};

}  // namespace zintrel
