#pragma once

#include <atomic>
#include <cstdint>

namespace zintrel {

// The current position of one panel slider, mirrored so that worker threads
// can read it without touching the GUI toolkit. The panel's slider control
// writes it on the main thread for every change; workers only read it.
class SliderPosition {
 public:
  std::int32_t GetPos() const { return pos_.load(std::memory_order_relaxed); }
  void SetPos(std::int32_t pos) { pos_.store(pos, std::memory_order_relaxed); }

 private:
  std::atomic<std::int32_t> pos_{0};
};

}  // namespace zintrel
