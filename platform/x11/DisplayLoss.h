#pragma once

// The X display going away while Zintrel runs. Zintrel talks to the display
// over two connections, the toolkit's (windows) and its own (the cursor);
// whichever notices the loss first, the user gets one line on stderr and the
// process ends with status 1.

namespace zintrel::platform {

// Prints "zintrel: " and DescribeDisplayLoss(display) on stderr and ends the
// process with status 1, without running exit handlers (the toolkit cannot
// tidy up a connection that is gone). Only the first caller prints; a caller
// on another thread meanwhile waits for the end. Never returns.
[[noreturn]] void EndForLostDisplay(const char* display);

// Routes a fatal I/O error on the toolkit's X connection (its server gone)
// to EndForLostDisplay instead of the toolkit's own handler. Call it once the
// toolkit has opened its display: the toolkit sets its handler when it does.
void WatchToolkitDisplay();

}  // namespace zintrel::platform
