#include "tests/about/BoxTestSupport.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/uiaction.h>

#include "tests/wx/WxPump.h"

namespace zintrel::test {

WhenShown::WhenShown(Find find, std::function<void(wxTopLevelWindow&)> act)
    : find_(std::move(find)), act_(std::move(act)) {
  Start(10);
}

WhenShown::~WhenShown() { Stop(); }

void WhenShown::Notify() {
  if (acted_) return;
  for (wxWindow* w : wxTopLevelWindows) {
    auto* top = dynamic_cast<wxTopLevelWindow*>(w);
    if (top == nullptr || !top->IsShown()) continue;
    if (wxTopLevelWindow* found = find_(top)) {
      acted_ = true;
      Stop();
      act_(*found);
      return;
    }
  }
}

std::vector<wxStaticText*> StaticTexts(wxWindow* window) {
  std::vector<wxStaticText*> out;
  for (wxWindow* child : window->GetChildren()) {
    if (auto* text = dynamic_cast<wxStaticText*>(child)) out.push_back(text);
    for (wxStaticText* inner : StaticTexts(child)) out.push_back(inner);
  }
  return out;
}

std::string Utf8(const wxString& s) { return s.utf8_string(); }

void PressButton(wxWindow* window, int id) {
  auto* button = dynamic_cast<wxButton*>(window->FindWindow(id));
  ASSERT_NE(button, nullptr) << "no button " << id;
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(click);
}

}  // namespace zintrel::test
