#pragma once

// Where the primary monitor lies on the root window, from RandR 1.5.

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>

namespace zintrel::platform {

struct MonitorRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The active monitor flagged primary in a GetMonitors reply; nullopt when no
// monitor is (then the root window stands in for it).
std::optional<MonitorRect> FindPrimary(const xcb_randr_get_monitors_reply_t& reply);

}  // namespace zintrel::platform
