#include "panel/IconPosition.h"

#include <algorithm>
#include <limits>

namespace zintrel {

namespace {

std::int32_t Centre(std::int32_t client, std::int32_t icon) {
  const std::int64_t v = (std::int64_t{client} - icon + 1) / 2;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

IconOrigin CenteredIconOrigin(std::int32_t clientWidth, std::int32_t clientHeight,
                              std::int32_t iconWidth, std::int32_t iconHeight) {
  return {Centre(clientWidth, iconWidth), Centre(clientHeight, iconHeight)};
}

}  // namespace zintrel
