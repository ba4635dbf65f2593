#include "platform/x11/PrimaryMonitor.h"

namespace zintrel::platform {

std::optional<MonitorRect> FindPrimary(const xcb_randr_get_monitors_reply_t& reply) {
  for (auto it = xcb_randr_get_monitors_monitors_iterator(&reply); it.rem > 0;
       xcb_randr_monitor_info_next(&it)) {
    const xcb_randr_monitor_info_t& m = *it.data;
    if (m.primary) return MonitorRect{m.x, m.y, m.width, m.height};
  }
  return std::nullopt;
}

}  // namespace zintrel::platform
