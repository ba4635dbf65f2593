#include "engine/TravelWindow.h"

#include <cmath>
#include <limits>

namespace zintrel {
namespace {

std::uint64_t IntegerSqrt(std::uint64_t n) {
  auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
  // The double estimate can be off by one either way; settle it exactly
  // (divisions keep the squares from overflowing).
  while (r > 0 && r > n / r) --r;
  while (r + 1 <= n / (r + 1)) ++r;
  return r;
}

}  // namespace

std::uint64_t StepLength(std::int64_t dx, std::int64_t dy) {
  const auto ax = static_cast<std::uint64_t>(dx < 0 ? -dx : dx);
  const auto ay = static_cast<std::uint64_t>(dy < 0 ? -dy : dy);
  if (ax == 0) return ay;
  if (ay == 0) return ax;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  // Steps between 32-bit positions are below 2^32 on each axis, so each
  // square fits in 64 bits; only their sum can overflow.
  if (ax <= kMax / ax && ay <= kMax / ay) {
    const std::uint64_t sx = ax * ax;
    const std::uint64_t sy = ay * ay;
    if (sx <= kMax - sy) return IntegerSqrt(sx + sy);
  }
  return static_cast<std::uint64_t>(
      std::floor(std::hypot(static_cast<long double>(ax), static_cast<long double>(ay))));
}

void TravelWindow::Begin(std::uint32_t now, std::uint32_t length) {
  travel_ = 0;
  start_ = now;
  length_ = length;
}

std::uint32_t TravelWindow::UntilEnd(std::uint32_t now) const {
  const std::uint32_t elapsed = now - start_;
  if (elapsed > length_) return 1;
  const std::uint64_t left = std::uint64_t{length_} + 1 - elapsed;
  return left >= platform::kWaitForever ? platform::kWaitForever - 1
                                        : static_cast<std::uint32_t>(left);
}

std::uint32_t TravelWindow::Poll(platform::Platform& platform, const platform::WaitMark& since) {
  // Read before the cursor: a layout change that lands during the read
  // makes the next poll start afresh, which can only drop a step, never add
  // one that the cursor did not make.
  const std::uint64_t layout = platform.LayoutSerial();
  platform::Point sample = previous_;
  bool moved = false;
  if (platform.GetCursorPos(sample)) {
    if (!havePrevious_ || layout != layout_) {
      moved = havePrevious_ && sample != previous_;
      previous_ = sample;
      havePrevious_ = true;
      layout_ = layout;
    } else if (sample != previous_) {
      travel_ +=
          StepLength(std::int64_t{previous_.x} - sample.x, std::int64_t{previous_.y} - sample.y);
      previous_ = sample;
      moved = true;
    }
  }
  if (moved) {
    platform.Sleep(1);
  } else {
    platform.WaitForPointer(since, UntilEnd(platform.Clock()));
  }
  return platform.Clock();
}

std::uint64_t TravelWindow::Next(std::uint32_t now, std::uint32_t length) {
  const std::uint64_t travel = travel_;
  Begin(now, length);
  return travel;
}

}  // namespace zintrel
