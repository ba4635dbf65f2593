#pragma once

namespace zintrel {

// Where the speed monitor sends the two status texts of the panel. The panel
// implements it by handing the text to the main thread, in order; the call
// itself never touches the GUI toolkit and may come from any thread.
class StatusTexts {
 public:
  virtual ~StatusTexts() = default;
  virtual void SetDlgItemText(int controlId, const char* text) = 0;
};

}  // namespace zintrel
