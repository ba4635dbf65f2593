#include "app/EndSignals.h"

namespace zintrel {

void InstallEndSignalHandlers(std::function<void()>) {}
int EndSignalNumber() { return 0; }

}  // namespace zintrel
