#pragma once

// Blocking square-wave tones through SDL2 audio. The device (a stream at the
// desktop's sound server) is open only while tones sound: it opens for the
// first tone, or ahead of it on ExpectTone, and closes once nothing has
// sounded for kIdleClose, or as soon as the sound has faded after
// DropPendingTones. A device that fails mid-run is closed; tones are then
// silence of their length, and the device is opened again for a later tone.

#include <chrono>
#include <cstdint>
#include <memory>

namespace zintrel::platform {

class ToneService {
 public:
  // How long the device stays open with nothing sounding.
  static constexpr std::chrono::milliseconds kIdleClose{2000};
  // The audible range: tones outside it are silence of their length.
  static constexpr std::int64_t kLowestHertz = 20;
  static constexpr std::int64_t kHighestHertz = 20000;  // not included
  static bool Audible(std::int64_t hertz) { return hertz >= kLowestHertz && hertz < kHighestHertz; }

  // Starts SDL's audio. With no audio driver at all it says so once on
  // stderr and every tone becomes silence of the tone's length. SDL's disk
  // driver (SDL_AUDIODRIVER=disk) writes a file instead of a stream, and
  // every open starts that file afresh: with it the device is opened here
  // and stays open for the service's life, so the file holds everything.
  ToneService();
  // Lets the sound in progress fade out, then closes the device. No Beep may
  // be running on another thread by then (call Interrupt and join first).
  ~ToneService();
  ToneService(const ToneService&) = delete;
  ToneService& operator=(const ToneService&) = delete;

  // Plays `hertz` for `milliseconds` and blocks until the tone has been
  // rendered, less the last two device buffers (see ToneService.cpp).
  // Frequencies outside Audible() (or at or above half the device's rate)
  // are silence of the same length; lengths <= 0 return at once. Callers on
  // several threads take turns.
  void Beep(std::int64_t hertz, std::int32_t milliseconds);
  // A tone may come soon: opens the device on the service's own thread, so
  // that the tone need not wait for it. Cheap enough to call at every poll
  // while the pointer moves; only a call after a pause does anything.
  void ExpectTone();
  // Drops every tone queued but not yet sounding (their Beep calls return
  // at once); the tone in progress plays to its end, then the device closes.
  // Never blocks.
  void DropPendingTones();
  // Cuts short the tone in progress; later tones return at once.
  void Interrupt();

  // When the audio callback rendered the first sample of the latest tone
  // that sounds (silent tones do not count): the callback's clock reading
  // plus the sample's place in the device buffer. The device plays it its
  // own latency later. time_point{} until a tone has sounded.
  std::chrono::steady_clock::time_point LastToneBegan() const;

  // Samples of silence the device played between the end of one tone and
  // the start of the next because the next was not queued in time (a caller
  // that did not get the CPU within two device buffers). 0 while every
  // caller keeps up; silence that ends a sound is not counted.
  std::uint64_t GapSamples() const;

  bool HasDevice() const;    // SDL's audio runs with a driver
  bool DeviceOpen() const;   // a device (a stream) is open now
  int SampleRate() const;    // of the device opened last; 0 before
  int BufferFrames() const;  // the buffer SDL gave that device; 0 before

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zintrel::platform
