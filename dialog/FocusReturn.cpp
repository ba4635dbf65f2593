#include "dialog/FocusReturn.h"

namespace zintrel {

FocusReturn::FocusReturn() : focus_(wxWindow::FindFocus()) {}

FocusReturn::~FocusReturn() {
  wxWindow* focus = focus_.get();
  if (focus != nullptr && focus->IsShownOnScreen() && focus->IsEnabled()) focus->SetFocus();
}

}  // namespace zintrel
