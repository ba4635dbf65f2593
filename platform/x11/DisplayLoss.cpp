#include "platform/x11/DisplayLoss.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/x11/DisplayError.h"

namespace zintrel::platform {
namespace {

std::atomic<bool> g_lossReported{false};

void WriteAll(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

extern "C" int OnToolkitIoError(Display* display) {
  EndForLostDisplay(display != nullptr ? DisplayString(display) : nullptr);
}

}  // namespace

void EndForLostDisplay(const char* display) {
  if (g_lossReported.exchange(true)) {
    // The first caller is printing and ending the process.
    for (;;) pause();
  }
  WriteAll("zintrel: " + DescribeDisplayLoss(display) + "\n");
  _exit(1);
}

void WatchToolkitDisplay() {
  // Looked up in the toolkit's own Xlib rather than linked: Zintrel itself
  // talks to X through xcb only. A toolkit without Xlib has nothing to watch.
  using SetHandler = XIOErrorHandler (*)(XIOErrorHandler);
  if (void* set = dlsym(RTLD_DEFAULT, "XSetIOErrorHandler")) {
    reinterpret_cast<SetHandler>(set)(&OnToolkitIoError);
  }
}

}  // namespace zintrel::platform
