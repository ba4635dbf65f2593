#include "app/TerminalOptions.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#ifndef ZINTREL_VERSION
#error "ZINTREL_VERSION must be defined by the build"
#endif

namespace zintrel {

const char* HelpText() {
  return "Usage: zintrel [OPTION [VALUE]]...\n"
         "Turns mouse movement into sound: the faster the cursor travels, the higher the tone.\n"
         "\n"
         "Options are matched without regard to case, with or without one leading hyphen.\n"
         "\n"
         "  -AutoStartOnly         start at once (default: wait for Start Only)\n"
         "  -AutoStartAndHide      start at once and hide the panel; a hidden Zintrel\n"
         "                         runs until it is ended from outside (see below)\n"
         "  -WrapMouse 0|1         wrap the cursor from edge to edge (default: 1)\n"
         "  -MakeNoSound 0|1       start muted (default: 0)\n"
         "  -Pitch N               hertz per pixel of travel, 1 to 100 (default: 15)\n"
         "  -Interval N            measuring window in milliseconds, 2 to 300 (default: 80)\n"
         "  --help                 show this help and exit\n"
         "  --version              show the version and exit\n"
         "\n"
         "A switch given as the last argument is set to 1. Pitch and Interval values\n"
         "outside their ranges are brought to the nearest end.\n"
         "\n"
         "To end a hidden Zintrel: pkill -x zintrel (SIGTERM; SIGINT and SIGHUP end it\n"
         "too). It then exits with status 128 + the signal's number.\n";
}

const char* VersionText() { return "zintrel " ZINTREL_VERSION "\n"; }

std::optional<int> HandleTerminalOptions(int argc, char** argv, std::FILE* out, std::FILE* err) {
  const char* text = nullptr;
  for (int i = 1; i < argc && text == nullptr; ++i) {
    const std::string_view token = argv[i];
    if (token == "--help") text = HelpText();
    if (token == "--version") text = VersionText();
  }
  if (text == nullptr) return std::nullopt;
  // A text that did not reach its reader is a failure, e.g. "zintrel --help > /dev/full".
  errno = 0;
  const bool written = std::fputs(text, out) >= 0 && std::fflush(out) == 0;
  if (!written) {
    const int error = errno;
    std::fprintf(err, "zintrel: cannot write to standard output: %s\n",
                 error != 0 ? std::strerror(error) : "write error");
    return 1;
  }
  return 0;
}

std::optional<int> HandleTerminalOptions(int argc, char** argv) {
  return HandleTerminalOptions(argc, argv, stdout, stderr);
}

}  // namespace zintrel
