#pragma once

// A band-limited square wave with a click-free envelope, rendered one sample
// at a time. Runs inside the audio callback: no allocation, no lock.

#include <cstdint>

namespace zintrel::platform {

class SquareOscillator {
 public:
  // Peak level of a steady tone: 0.25 is about -12 dBFS.
  static constexpr float kLevel = 0.25f;

  // `rampSamples`: length of the fade in and the fade out (about 1 ms).
  explicit SquareOscillator(std::int32_t rampSamples);

  // Changes the frequency, as cycles per sample (0 < step < 0.5), keeping
  // the phase so that the waveform runs on without a jump.
  void SetStep(double step) { step_ = step; }

  // One output sample. While `sounding`, the level ramps up to full over
  // rampSamples; otherwise it ramps down to silence, the wave going on at
  // the last frequency. Once fully silent the phase restarts at 0, so every
  // sound begins the same way.
  float Next(bool sounding);

  bool Silent() const { return gain_ == 0.0f; }

 private:
  double phase_ = 0.0;  // position within the period, [0, 1)
  double step_ = 0.0;
  float gain_ = 0.0f;
  float gainStep_;
};

}  // namespace zintrel::platform
