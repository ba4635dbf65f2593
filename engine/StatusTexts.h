#pragma once

namespace zintrel {

// Where the speed monitor sends the two status texts of the panel. The panel
// implements it by handing the texts to the main thread, in order; the calls
// themselves never touch the GUI toolkit and may come from any thread.
class StatusTexts {
 public:
  virtual ~StatusTexts() = default;
  virtual void SetDlgItemText(int controlId, const char* text) = 0;
  // One report of the speed monitor: the speed word (nullptr when it stays
  // as it is) and the value line. A panel shows both changes at once, so the
  // read-out never pairs a word with the value of another word's range.
  // By default: the word, then the value, as two texts.
  virtual void SetSpeedTexts(const char* word, const char* value);
};

}  // namespace zintrel
