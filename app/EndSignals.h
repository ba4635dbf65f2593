#pragma once

#include <functional>

namespace zintrel {

// SIGTERM, SIGINT and SIGHUP end Zintrel cleanly. The handlers only note the
// signal; a watcher thread then calls the end-request handler (from that
// thread, so the handler must hand the request to the main thread, e.g. with
// CallAfter). Only the first end signal is handed on; a second signal of the
// same kind takes its default action, so a Zintrel that cannot end cleanly
// can still be ended by sending the signal again.

// Installs the handlers and starts the watcher. Call it first thing in
// main(): from then on an end signal never kills the process by the signal.
// Until a handler is set, the watcher ends the process itself with status
// 128 + the signal (nothing needs an orderly end before then).
void InstallEndSignalHandlers();

// Sets who is told about the end signal from now on.
void SetEndRequestHandler(std::function<void()> requestEnd);

// Both of the above.
void InstallEndSignalHandlers(std::function<void()> requestEnd);

// Ends the watcher thread: after it returns, the handler is never called
// again (call it before whatever the handler refers to goes away). End
// signals that arrive later are still noted for EndSignalNumber(). Safe to
// call more than once, and without a prior install.
void StopEndSignalWatcher();

// The signal that asked the process to end, or 0.
int EndSignalNumber();

}  // namespace zintrel
