#pragma once

#include <optional>
#include <string>

namespace zintrel {

// The one line to print at start in a session Zintrel can serve only in
// part: under Wayland it runs through XWayland, and X11 clients can read and
// move the cursor only while it is over X11 windows. Nothing elsewhere.
// Takes the values of WAYLAND_DISPLAY and XDG_SESSION_TYPE (nullptr: unset).
std::optional<std::string> SessionNotice(const char* waylandDisplay, const char* sessionType);

// Call before the toolkit starts: prints SessionNotice() for this process's
// environment on stderr and, in a Wayland session, asks the toolkit for its
// X11 backend (unless GDK_BACKEND says otherwise), so that the panel is an
// XWayland window, over which Zintrel can see the cursor, rather than a
// native Wayland one.
void AdaptToSession();

}  // namespace zintrel
