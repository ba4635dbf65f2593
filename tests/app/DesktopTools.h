#pragma once

// The X desktop as a user's tools see it: xdotool moves the cursor and finds
// windows, ImageMagick's import reads a window's pixels.

#include <sys/types.h>

#include <string>
#include <vector>

namespace zintrel::testing {

struct XY {
  int x = 0;
  int y = 0;
  bool operator==(const XY&) const = default;
};

struct WindowBox {
  int x = 0, y = 0, width = 0, height = 0;
};

// Standard output of a shell command.
std::string ShellOutput(const std::string& command);

XY ScreenSize();
XY MouseAt();
void MoveMouse(XY to);
// Ids of the windows named exactly `name`, mapped ones only if `visibleOnly`.
std::vector<std::string> FindWindows(const std::string& name, bool visibleOnly);
// Waits up to `seconds` for a mapped window named `name`; "" if none came.
std::string WaitForVisibleWindow(const std::string& name, int seconds);
WindowBox Geometry(const std::string& window);
// The window's pixels as raw 8-bit RGB.
std::string WindowPixels(const std::string& window);

// One xdotool process that moves the cursor along y = `y` from `fromX` to
// `toX` in steps of `stepPx`, sleeping `stepMs` between steps, then back, for
// `rounds` rounds: steady movement at a known speed.
class Glide {
 public:
  Glide(int y, int fromX, int toX, int stepPx, int stepMs, int rounds);
  ~Glide();  // waits for the movement to end
  Glide(const Glide&) = delete;
  Glide& operator=(const Glide&) = delete;
  void Wait();

 private:
  pid_t pid_ = -1;
};

}  // namespace zintrel::testing
