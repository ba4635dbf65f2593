#include "app/SessionNotice.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace zintrel {

std::optional<std::string> SessionNotice(const char* waylandDisplay, const char* sessionType) {
  const bool wayland = (waylandDisplay != nullptr && *waylandDisplay != '\0') ||
                       (sessionType != nullptr && std::string_view(sessionType) == "wayland");
  if (!wayland) return std::nullopt;
  return "zintrel: this is a Wayland session: Zintrel runs through XWayland and can read and "
         "move the cursor only while it is over X11 windows";
}

void AdaptToSession() {
  const auto notice =
      SessionNotice(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE"));
  if (!notice) return;
  std::fprintf(stderr, "%s\n", notice->c_str());
  // Programs started from Zintrel (the web link's browser) inherit this too.
  setenv("GDK_BACKEND", "x11", /*overwrite=*/0);
}

}  // namespace zintrel
