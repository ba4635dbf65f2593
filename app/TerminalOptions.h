#pragma once

#include <cstdio>
#include <optional>

namespace zintrel {

// Handles the conventions every terminal user expects: "--help" and
// "--version" print to stdout and the process ends without opening a window
// or needing a display. They are recognised anywhere on the command line
// (exact tokens, case and all); when both stand there, the first one counts.
// Returns the exit status when such an option was handled (0, or 1 when the
// text could not be written), nothing otherwise: every other token is left
// to the panel's own options.
std::optional<int> HandleTerminalOptions(int argc, char** argv);

// The same, writing to `out` and reporting a failed write on `err`.
std::optional<int> HandleTerminalOptions(int argc, char** argv, std::FILE* out, std::FILE* err);

// The texts that --help and --version print.
const char* HelpText();
const char* VersionText();

}  // namespace zintrel
