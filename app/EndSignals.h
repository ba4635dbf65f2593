#pragma once

#include <functional>

namespace zintrel {

// SIGTERM, SIGINT and SIGHUP end Zintrel cleanly. The handlers only note the
// signal; a watcher thread then calls `requestEnd` (from that thread, so the
// callback must hand the request to the main thread, e.g. with CallAfter).
void InstallEndSignalHandlers(std::function<void()> requestEnd);

// The signal that asked the process to end, or 0.
int EndSignalNumber();

}  // namespace zintrel
