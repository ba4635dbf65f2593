#pragma once

#include <optional>

namespace zintrel {

// Handles the conventions every terminal user expects: "--help" and
// "--version" print to stdout and the process ends without opening a window.
// Returns the exit status when such an option was handled, nothing otherwise
// (every other token is left to the panel's own options).
std::optional<int> HandleTerminalOptions(int argc, char** argv);

}  // namespace zintrel
