#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "engine/SliderPosition.h"

namespace zintrel {

// The published slider's current position; std::nullopt when no panel has
// published one (a worker then has nothing to run by and returns).
inline std::optional<std::int32_t> ReadSlider(const std::atomic<const SliderPosition*>& slider) {
  const SliderPosition* s = slider.load();
  if (s == nullptr) return std::nullopt;
  return s->GetPos();
}

// A slider position as a window length in milliseconds.
inline std::uint32_t WindowLength(std::int32_t position) {
  return position < 0 ? 0u : static_cast<std::uint32_t>(position);
}

}  // namespace zintrel
