#pragma once

#include <cstdint>

namespace zintrel {

struct IconOrigin {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const IconOrigin&, const IconOrigin&) = default;
};

// Where an icon of iconWidth x iconHeight is drawn to stand centred in a
// client area of clientWidth x clientHeight: (client - icon + 1) / 2 on each
// axis, the division truncating toward zero (a client area 20 wide and an
// icon 32 wide give -5, not -6). Formed in 64 bits, so no input overflows.
IconOrigin CenteredIconOrigin(std::int32_t clientWidth, std::int32_t clientHeight,
                              std::int32_t iconWidth, std::int32_t iconHeight);

}  // namespace zintrel
