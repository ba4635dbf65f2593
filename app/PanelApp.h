#pragma once

#include <wx/app.h>

#include <string>
#include <vector>

namespace zintrel {

class CPanelDlg;

// The application object: runs the control panel from start to end.
class CPanelApp : public wxApp {
 public:
  // `args` is the argument vector exactly as the process got it, before the
  // toolkit took out any of its own options.
  explicit CPanelApp(std::vector<std::string> args = {});

  // Builds the panel, applies the command line, runs the panel until it is
  // closed and ends the engine's workers before the panel goes away. Always
  // returns false: there is no application loop after the panel.
  bool InitInstance();
  bool OnInit() override { return InitInstance(); }

  // Hands an end request (an end signal) to the main thread, which closes
  // the panel, or keeps it from opening when the request comes first. May be
  // called from any thread.
  void RequestEnd();

 private:
  std::vector<std::string> args_;
  CPanelDlg* panel_ = nullptr;  // while InitInstance runs
  bool endRequested_ = false;   // main thread only
};

}  // namespace zintrel
