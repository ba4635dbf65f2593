#pragma once

// A band-limited square wave with a click-free envelope. Runs inside the
// audio callback: no allocation, no lock, no system call.
//
// The wave is built from its own partials: the odd harmonics k = 1, 3, 5 ...
// of the frequency, at 1/k of the fundamental, up to the highest one below
// kHighestHertz (and below half the sample rate). Nothing else is ever
// rendered, so nothing folds back below the Nyquist frequency: the only
// components are the tone's odd harmonics. Each partial is a unit phasor
// turned by a fixed rotation per sample; every Render starts the phasors
// afresh from the running phase, so rounding cannot build up over a tone.

#include <array>
#include <cstdint>

namespace zintrel::platform {

class SquareOscillator {
 public:
  // Peak level of the fundamental's square: 0.25 is about -12 dBFS (the
  // band-limited edges overshoot by about 18 %).
  static constexpr float kLevel = 0.25f;
  // Partials at or above this are left out: nobody hears them, and leaving
  // them out keeps the callback cheap for low tones.
  static constexpr double kHighestHertz = 20000.0;
  // A 20 Hz tone has 500 partials below 20 kHz.
  static constexpr int kMaxPartials = 512;

  SquareOscillator() : SquareOscillator(48000, 48) {}
  // `rampSamples`: length of the fade in and the fade out (about 1 ms).
  SquareOscillator(int sampleRate, std::int32_t rampSamples);

  // Changes the frequency, as cycles per sample (0 < step < 0.5), keeping
  // the phase so that the waveform runs on without a jump.
  void SetStep(double step);

  // Renders `n` samples. While `sounding`, the level ramps up to full over
  // rampSamples; otherwise it ramps down to silence, the wave going on at
  // the last frequency. Once fully silent the phase restarts at 0, so every
  // sound begins the same way.
  void Render(float* out, int n, bool sounding);

  bool Silent() const { return gain_ == 0.0f; }
  int Partials() const { return partials_; }

 private:
  // Sums the partials over n samples into out (no envelope).
  void Synthesize(float* out, int n);

  double phase_ = 0.0;  // position within the period, [0, 1)
  double step_ = 0.0;
  double highestStep_;  // kHighestHertz (or Nyquist) in cycles per sample
  int partials_ = 0;    // odd partials rendered at step_
  float gain_ = 0.0f;
  float gainStep_;
  // Phasors of the partials, padded to a multiple of 4 with zero amplitude.
  std::array<double, kMaxPartials> amp_{};
  std::array<double, kMaxPartials> re_{};
  std::array<double, kMaxPartials> im_{};
  std::array<double, kMaxPartials> rotRe_{};
  std::array<double, kMaxPartials> rotIm_{};
};

}  // namespace zintrel::platform
