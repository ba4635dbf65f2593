#pragma once

// Blocking square-wave tones through one SDL2 audio device.

#include <chrono>
#include <cstdint>
#include <memory>

namespace zintrel::platform {

class ToneService {
 public:
  // Opens the audio device once. With no device it says so once on stderr
  // and every tone becomes silence of the tone's length.
  ToneService();
  // Lets the sound in progress fade out, then closes the device. No Beep may
  // be running on another thread by then (call Interrupt and join first).
  ~ToneService();
  ToneService(const ToneService&) = delete;
  ToneService& operator=(const ToneService&) = delete;

  // Plays `hertz` for `milliseconds` and blocks until the tone has been
  // rendered, less the last device buffer (see ToneService.cpp). Frequencies
  // <= 0 or at or above half the sample rate are silence of the same length;
  // lengths <= 0 return at once. Callers on several threads take turns.
  void Beep(std::int64_t hertz, std::int32_t milliseconds);
  // Cuts short the tone in progress; later tones return at once.
  void Interrupt();

  // When the audio callback rendered the first sample of the latest tone
  // that sounds (silent tones do not count): the callback's clock reading
  // plus the sample's place in the device buffer. The device plays it its
  // own latency later. time_point{} until a tone has sounded.
  std::chrono::steady_clock::time_point LastToneBegan() const;

  bool HasDevice() const;
  int SampleRate() const;    // frames per second; 0 without a device
  int BufferFrames() const;  // the device buffer SDL gave us; 0 without a device

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zintrel::platform
