#pragma once

// A thread on an X connection of its own that hears about pointer motion
// (XInput 2 raw motion of every master device, wherever the pointer is) and
// about screen and monitor changes (RandR), so that nobody has to ask the
// server where the pointer is while it stays still.

#include <chrono>
#include <functional>
#include <memory>

namespace zintrel::platform {

class PointerWatch {
 public:
  struct Handlers {
    // The pointer moved or the screen layout changed (called on the watch's
    // thread, once for each batch of events that arrived together).
    std::function<void()> changed;
    // No event for `quietPeriod`, and every `quietPeriod` while none comes:
    // time to check for moves that raise no event (warps by other clients).
    std::function<void()> quiet;
    // The connection broke: no more events will come.
    std::function<void()> lost;
  };

  // nullptr when the display cannot be reached or its server lacks
  // XInput 2; the caller then polls.
  static std::unique_ptr<PointerWatch> Start(const char* display, Handlers handlers,
                                             std::chrono::milliseconds quietPeriod);
  ~PointerWatch();  // ends the thread and closes the connection
  PointerWatch(const PointerWatch&) = delete;
  PointerWatch& operator=(const PointerWatch&) = delete;

 private:
  struct Impl;
  explicit PointerWatch(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zintrel::platform
