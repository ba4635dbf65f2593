#pragma once

// Driving dialogs from inside the toolkit's own event loop, shared by the
// panel and the About box tests.

#include <wx/window.h>

#include <functional>

#include "dialog/TemplateDialog.h"

namespace zintrel::test {

// Runs dialog.DoModal(); `whileOpen` runs inside its event loop, after which
// the dialog is ended with -7 (if it still runs). Returns DoModal's result.
int RunModal(CDialog& dialog, const std::function<void()>& whileOpen);

// Puts the pointer in the middle of `window` (with no window manager the
// keyboard focus follows the pointer) and waits for its top-level window to
// take the focus.
void PointAt(wxWindow* window);

}  // namespace zintrel::test
