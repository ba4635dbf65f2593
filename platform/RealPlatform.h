#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace zintrel::platform {

// The platform of a real desktop session.
class RealPlatform final : public Platform {
 public:
  // Connects to the X display (nullptr: $DISPLAY) and opens the audio
  // device. Returns nullptr with a one-line reason when there is no usable
  // X display; a missing audio device is not an error (tones become silence).
  static std::unique_ptr<RealPlatform> Create(const char* display, std::string& error);
  ~RealPlatform() override;

  bool GetCursorPos(Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  ScreenSize GetPrimaryScreenSize() override;
  std::uint32_t Clock() override;
  void Sleep(std::uint32_t ms) override;
  void Beep(std::int64_t hertz, std::int32_t milliseconds) override;
  void ExpectTone() override;
  void DropPendingTones() override;
  void StartThread(std::function<void()> work) override;
  void JoinWorkers() override;
  bool OpenUrl(const std::string& url) override;
  WaitMark Mark() override;
  void WaitForPointer(const WaitMark& since, std::uint32_t ms) override;
  void WaitForSignal(const std::atomic<std::uint32_t>& signal, std::uint32_t seen) override;
  void WakeWaiters() override;
  std::uint64_t LayoutSerial() override;

  // Whether the pointer is followed by its events (false: it is polled).
  bool WatchesPointerEvents() const;

  // Called (on the thread that noticed) when a cursor or screen call fails
  // because the X connection has broken, with the display's name. Without a
  // handler such calls just keep failing. Set it before any worker starts.
  void SetDisplayLostHandler(void (*onLost)(const char* display));

 private:
  struct Impl;
  explicit RealPlatform(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zintrel::platform
