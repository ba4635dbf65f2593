#pragma once

// Cursor and primary-monitor services over one xcb connection (xcb
// connections are thread-safe, so any thread may call these at once).

#include <cstdint>
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

  // Grows whenever the pointer may have moved or the layout changed: with
  // every NoteChange, every SetCursorPos and every Recheck that found a
  // change.
  std::uint64_t PointerSerial() const;
  // Grows whenever the primary monitor's origin changes.
  std::uint64_t LayoutSerial() const;
  // From now on GetCursorPos answers from the last position it or
  // SetCursorPos learnt while PointerSerial has not grown since: the caller
  // promises to call NoteChange for every motion and layout change.
  void AnswerFromKnownPosition();
  // Back to one round trip per read (the events stopped coming).
  void AnswerByAsking();
  // The pointer moved or the layout changed.
  void NoteChange();
  // Asks the server where the pointer is (and, when due, where the primary
  // monitor is) and compares with what is known. True, with PointerSerial
  // grown, when they differ: a move that raised no event.
  bool Recheck();
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
