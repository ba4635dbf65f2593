#pragma once

// Cursor and primary-monitor services over one xcb connection (xcb
// connections are thread-safe, so any thread may call these at once).

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace zintrel::platform {

class XcbDesktop {
 public:
  // Connects to `display` (nullptr: $DISPLAY). On failure returns nullptr
  // and puts a one-line reason into `error`.
  static std::unique_ptr<XcbDesktop> Connect(const char* display, std::string& error);
  ~XcbDesktop();
  XcbDesktop(const XcbDesktop&) = delete;
  XcbDesktop& operator=(const XcbDesktop&) = delete;

  bool GetCursorPos(Point& out);
  bool SetCursorPos(std::int32_t x, std::int32_t y);
  ScreenSize GetPrimaryScreenSize();

  // True once the connection has broken (e.g. the server went away); every
  // call then fails.
  bool ConnectionLost() const;
  // The display's name as it was connected to.
  const std::string& DisplayName() const;

 private:
  struct Impl;
  explicit XcbDesktop(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zintrel::platform
