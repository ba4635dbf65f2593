#include "tests/wx/DialogDriving.h"

#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include "tests/wx/WxPump.h"

namespace zintrel::test {

int RunModal(CDialog& dialog, const std::function<void()>& whileOpen) {
  dialog.CallAfter([&dialog, whileOpen] {
    whileOpen();
    if (dialog.IsRunningModal()) dialog.EndDialog(-7);
  });
  return dialog.DoModal();
}

void PointAt(wxWindow* window) {
  wxUIActionSimulator sim;
  const wxRect r = window->GetScreenRect();
  sim.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(window));
  PumpUntil([top] { return top != nullptr && top->IsActive(); }, 3.0);
  PumpFor(0.1);
}

}  // namespace zintrel::test
