#include "platform/audio/SquareOscillator.h"

namespace zintrel::platform {
namespace {

// PolyBLEP residual: smooths the step of a naive square wave at phase 0 over
// the sample before and the sample after it, which removes most of the
// energy that would otherwise fold back below the Nyquist frequency.
double Blep(double t, double step) {
  if (t < step) {
    const double x = t / step;
    return x + x - x * x - 1.0;
  }
  if (t > 1.0 - step) {
    const double x = (t - 1.0) / step;
    return x * x + x + x + 1.0;
  }
  return 0.0;
}

}  // namespace

SquareOscillator::SquareOscillator(std::int32_t rampSamples)
    : gainStep_(1.0f / static_cast<float>(rampSamples > 0 ? rampSamples : 1)) {}

float SquareOscillator::Next(bool sounding) {
  if (sounding) {
    gain_ += gainStep_;
    if (gain_ > 1.0f) gain_ = 1.0f;
  } else {
    gain_ -= gainStep_;
    if (gain_ <= 0.0f) {
      gain_ = 0.0f;
      phase_ = 0.0;
      return 0.0f;
    }
  }
  double half = phase_ + 0.5;
  if (half >= 1.0) half -= 1.0;
  const double wave = (phase_ < 0.5 ? 1.0 : -1.0) + Blep(phase_, step_) - Blep(half, step_);
  phase_ += step_;
  if (phase_ >= 1.0) phase_ -= 1.0;
  return static_cast<float>(wave) * kLevel * gain_;
}

}  // namespace zintrel::platform
