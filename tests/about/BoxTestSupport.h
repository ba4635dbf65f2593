#pragma once

// Helpers for tests that open modal boxes and look inside them while they
// run.

#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

#include <functional>
#include <string>
#include <vector>

#include "dialog/TemplateDialog.h"
#include "tests/wx/DialogDriving.h"

namespace zintrel::test {

// Polls (every 10 ms, from whatever event loop runs) for a shown top-level
// window that `find` picks among the open ones; runs `act` on it once. Made
// before the call that opens the box and blocks.
class WhenShown : private wxTimer {
 public:
  using Find = std::function<wxTopLevelWindow*(wxTopLevelWindow*)>;
  WhenShown(Find find, std::function<void(wxTopLevelWindow&)> act);
  ~WhenShown() override;
  bool Acted() const { return acted_; }

 private:
  void Notify() override;
  Find find_;
  std::function<void(wxTopLevelWindow&)> act_;
  bool acted_ = false;
};

// The static texts inside `window`, in creation order.
std::vector<wxStaticText*> StaticTexts(wxWindow* window);

// A text as it reaches the screen: UTF-8.
std::string Utf8(const wxString& s);

// Presses the button with `id` inside `window` as a click would.
void PressButton(wxWindow* window, int id);

}  // namespace zintrel::test
