#pragma once

#include <functional>

namespace zintrel {

// SIGTERM, SIGINT and SIGHUP end Zintrel cleanly. The handlers only note the
// signal; a watcher thread then calls `requestEnd` (from that thread, so the
// callback must hand the request to the main thread, e.g. with CallAfter).
// Only the first end signal is handed on; a second signal of the same kind
// takes its default action, so a Zintrel that cannot end cleanly can still be
// ended by sending the signal again.
void InstallEndSignalHandlers(std::function<void()> requestEnd);

// Ends the watcher thread: after it returns, `requestEnd` is never called
// again (call it before whatever the callback refers to goes away). End
// signals that arrive later are still noted for EndSignalNumber(). Safe to
// call more than once, and without a prior install.
void StopEndSignalWatcher();

// The signal that asked the process to end, or 0.
int EndSignalNumber();

}  // namespace zintrel
