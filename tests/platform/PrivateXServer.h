#pragma once

// A private Xvfb for one test, and the outside tools (xrandr, xdotool) that
// change or inspect it the way a user's desktop would.

#include <sys/types.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace zintrel::platform {
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const ScreenSize& s, std::ostream* os) { *os << s.width << " x " << s.height; }
}  // namespace zintrel::platform

namespace zintrel::testing {

class PrivateXServer {
 public:
  // Starts `Xvfb -displayfd -noreset -nolisten tcp -screen 0 <screen> <extra>`.
  explicit PrivateXServer(const std::string& screen = "1920x1080x24",
                          const std::vector<std::string>& extraArgs = {});
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  bool Started() const { return !display_.empty(); }
  const std::string& Display() const { return display_; }  // ":N"
  // Ends the server at once (SIGKILL), as a crashed X server would.
  void Kill();

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// Runs a shell command with DISPLAY set; returns its exit status.
int RunOnDisplay(const std::string& display, const std::string& command);
// The pointer's root-window position as xdotool sees it.
std::optional<platform::Point> RootPointer(const std::string& display);

}  // namespace zintrel::testing
