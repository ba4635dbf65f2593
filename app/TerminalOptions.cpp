#include "app/TerminalOptions.h"

namespace zintrel {

std::optional<int> HandleTerminalOptions(int, char**) { return std::nullopt; }

}  // namespace zintrel
