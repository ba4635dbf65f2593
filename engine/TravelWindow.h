#pragma once

// The travel window: how far the cursor travels, in whole pixels, between
// one clock reading and the first reading more than the window's length
// later. The speed monitor and the travel sampler each keep one.

#include <cstdint>

#include "platform/Platform.h"

namespace zintrel {

// Whole pixels of the straight line (dx, dy), rounded down. Exact for every
// step two 32-bit positions can make.
std::uint64_t StepLength(std::int64_t dx, std::int64_t dy);

class TravelWindow {
 public:
  // Starts the first window at the clock reading `now`.
  void Begin(std::uint32_t now, std::uint32_t length);

  // One poll: reads the cursor, adds the step from the previous position
  // when it moved, and gives the clock reading that follows the pause.
  // The first position read becomes the previous position and adds nothing,
  // and so does the first one read after the primary monitor's origin moved
  // (the cursor did not). A read that fails counts as no movement.
  // The pause: 1 ms after a poll that found the cursor moved; otherwise a
  // quiet wait until the pointer moves again (or anything since `since`,
  // the worker's mark taken before it tested its flags) or until the first
  // clock reading that ends the window. Polls that found nothing new are all
  // that a wait leaves out, so the travel and the window's end come out as
  // with a 1 ms sleep.
  std::uint32_t Poll(platform::Platform& platform, const platform::WaitMark& since);

  // Whether the window has ended at `reading`: more than its length has
  // passed since it began. Measured as elapsed time in unsigned 32-bit
  // arithmetic, so the clock's wrap after 49.7 days changes nothing.
  bool Ended(std::uint32_t reading) const { return reading - start_ > length_; }

  // Ends the window: gives its travel and begins the next one at the fresh
  // reading `now`. The previous position carries over, so motion at the
  // boundary counts once, in the new window.
  std::uint64_t Next(std::uint32_t now, std::uint32_t length);

  std::uint64_t travel() const { return travel_; }

 private:
  // Milliseconds from `now` to the first clock reading that ends the window;
  // at least 1.
  std::uint32_t UntilEnd(std::uint32_t now) const;

  platform::Point previous_;
  bool havePrevious_ = false;
  std::uint64_t layout_ = 0;  // the layout the previous position was read in
  std::uint64_t travel_ = 0;
  std::uint32_t start_ = 0;
  std::uint32_t length_ = 0;
};

}  // namespace zintrel
