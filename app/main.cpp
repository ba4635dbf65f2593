// Zintrel: turns mouse movement into sound.

#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/EndSignals.h"
#include "app/PanelApp.h"
#include "app/SessionNotice.h"
#include "app/TerminalOptions.h"
#include "platform/RealPlatform.h"
#include "platform/x11/DisplayLoss.h"

namespace {

// The status of a process ended by an end signal.
int SignalStatus() { return 128 + zintrel::EndSignalNumber(); }

}  // namespace

int main(int argc, char** argv) {
  using namespace zintrel;
  // First of all: from here on an end signal ends the process with status
  // 128 + the signal rather than killing it (at once until the app below
  // takes the request, then through the app).
  InstallEndSignalHandlers();

  if (const auto status = HandleTerminalOptions(argc, argv)) return *status;

  // Zintrel's options, byte for byte as given: tokens that are no option
  // (text in any encoding, or none) are ignored by Zintrel's own rules.
  const std::vector<std::string> args(argv, argv + argc);

  std::string error;
  auto realPlatform = platform::RealPlatform::Create(nullptr, error);
  if (!realPlatform) {
    std::fprintf(stderr, "zintrel: %s\n", error.c_str());
    return 1;
  }
  realPlatform->SetDisplayLostHandler(&platform::EndForLostDisplay);
  platform::Install(*realPlatform);
  AdaptToSession();

  auto* app = new CPanelApp(args, [&realPlatform] {
    // The workers have returned: close the audio device and the cursor's
    // X connection, then end.
    realPlatform.reset();
    std::fflush(nullptr);
    std::_Exit(SignalStatus());
  });
  wxApp::SetInstance(app);
  // The toolkit is given none of the command line. It would take its own
  // options out of it (--display would put the panel on another display
  // than the cursor Zintrel reads and moves on $DISPLAY), and it stops at an
  // argument that is not text in the locale's encoding with a box of its
  // own. Both Zintrel and the toolkit use $DISPLAY.
  static char toolkitName[] = "zintrel";
  static char* toolkitArgv[] = {toolkitName, nullptr};
  int toolkitArgc = 1;
  if (!wxEntryStart(toolkitArgc, toolkitArgv)) {
    std::fprintf(stderr, "zintrel: the window system could not be started\n");
    return 1;
  }
  platform::WatchToolkitDisplay();
  SetEndRequestHandler([app] { app->RequestEnd(); });

  app->CallOnInit();       // runs the panel until it is closed
  StopEndSignalWatcher();  // before the app it hands end requests to goes away
  app->OnExit();
  wxEntryCleanup();

  return EndSignalNumber() != 0 ? SignalStatus() : 0;
}
