// Zintrel: turns mouse movement into sound.

#include <wx/init.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/EndSignals.h"
#include "app/PanelApp.h"
#include "app/SessionNotice.h"
#include "app/TerminalOptions.h"
#include "platform/RealPlatform.h"

int main(int argc, char** argv) {
  using namespace zintrel;

  if (const auto status = HandleTerminalOptions(argc, argv)) return *status;

  // The panel's options are read from the arguments as given; the toolkit
  // may take out its own options from argv when it starts.
  std::vector<std::string> args(argv, argv + argc);

  std::string error;
  auto realPlatform = platform::RealPlatform::Create(nullptr, error);
  if (!realPlatform) {
    std::fprintf(stderr, "zintrel: %s\n", error.c_str());
    return 1;
  }
  platform::Install(*realPlatform);
  AdaptToSession();

  auto* app = new CPanelApp(args);
  wxApp::SetInstance(app);
  int wxArgc = argc;
  if (!wxEntryStart(wxArgc, argv)) {
    std::fprintf(stderr, "zintrel: the window system could not be started\n");
    return 1;
  }
  InstallEndSignalHandlers([app] { app->RequestEnd(); });

  app->CallOnInit();  // runs the panel until it is closed
  StopEndSignalWatcher();  // before the app it hands end requests to goes away
  app->OnExit();
  wxEntryCleanup();

  const int signal = EndSignalNumber();
  return signal != 0 ? 128 + signal : 0;
}
