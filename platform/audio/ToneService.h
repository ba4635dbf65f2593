#pragma once

// Blocking square-wave tones through one SDL2 audio device.

#include <cstdint>
#include <memory>

namespace zintrel::platform {

class ToneService {
 public:
  // Opens the audio device once. With no device it says so once on stderr
  // and every tone becomes silence of the tone's length.
  ToneService();
  ~ToneService();  // closes the device
  ToneService(const ToneService&) = delete;
  ToneService& operator=(const ToneService&) = delete;

  void Beep(std::int64_t hertz, std::int32_t milliseconds);
  // Cuts short the tone in progress; later tones return at once.
  void Interrupt();

  bool HasDevice() const;
  int SampleRate() const;  // 0 without a device

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zintrel::platform
