#pragma once

#include <wx/app.h>

#include <functional>
#include <string>
#include <vector>

namespace zintrel {

// The application object: runs the control panel from start to end.
class CPanelApp : public wxApp {
 public:
  // `args` is the command line as the process got it. `endForSignal` ends
  // the process after an end signal, once the engine's workers have
  // returned; it must not return (nothing given: the process ends with
  // 128 + the signal at once).
  explicit CPanelApp(std::vector<std::string> args = {}, std::function<void()> endForSignal = {});

  // Builds the panel, applies the command line, runs the panel until it is
  // closed and ends the engine's workers before the panel goes away. Always
  // returns false: there is no application loop after the panel.
  bool InitInstance();
  bool OnInit() override { return InitInstance(); }

  // Hands an end request (an end signal) to the main thread, which ends the
  // engine and then the process, from whatever is open at that moment. May
  // be called from any thread.
  void RequestEnd();

 private:
  void EndForSignal();

  std::vector<std::string> args_;
  std::function<void()> endForSignal_;
};

}  // namespace zintrel
