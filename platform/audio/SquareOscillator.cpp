#include "platform/audio/SquareOscillator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zintrel::platform {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Frac(double x) { return x - std::floor(x); }

}  // namespace

SquareOscillator::SquareOscillator(int sampleRate, std::int32_t rampSamples)
    : highestStep_(
          std::min(kHighestHertz / static_cast<double>(sampleRate > 0 ? sampleRate : 1), 0.5)),
      gainStep_(1.0f / static_cast<float>(rampSamples > 0 ? rampSamples : 1)) {}

void SquareOscillator::SetStep(double step) {
  step_ = step;
  int count = 0;
  if (step > 0.0) {
    // Odd k with k * step < highestStep_, k = 2j + 1.
    const double odd = std::ceil((highestStep_ / step - 1.0) / 2.0);
    count = static_cast<int>(std::clamp(odd, 0.0, static_cast<double>(kMaxPartials)));
    if (count == 0) count = 1;  // the fundamental itself is always rendered
  }
  partials_ = count;
  // (4 / pi) / k makes a square wave of peak 1; padding has amplitude 0.
  for (int j = 0; j < kMaxPartials; ++j) {
    amp_[j] = j < count ? 4.0 / std::numbers::pi / (2.0 * j + 1.0) : 0.0;
  }
}

void SquareOscillator::Synthesize(float* out, int n) {
  const int padded = (partials_ + 3) & ~3;
  // Phasors e^(i 2 pi k phase) and rotations e^(i 2 pi k step) for odd k,
  // by recurrence from those of k = 1 and k = 2.
  const double c1 = std::cos(kTwoPi * phase_), s1 = std::sin(kTwoPi * phase_);
  const double c2 = c1 * c1 - s1 * s1, s2 = 2.0 * c1 * s1;
  const double rc1 = std::cos(kTwoPi * step_), rs1 = std::sin(kTwoPi * step_);
  const double rc2 = rc1 * rc1 - rs1 * rs1, rs2 = 2.0 * rc1 * rs1;
  double zr = c1, zi = s1, rr = rc1, ri = rs1;
  for (int j = 0; j < padded; ++j) {
    re_[j] = zr;
    im_[j] = zi;
    rotRe_[j] = rr;
    rotIm_[j] = ri;
    const double nzr = zr * c2 - zi * s2;
    zi = zr * s2 + zi * c2;
    zr = nzr;
    const double nrr = rr * rc2 - ri * rs2;
    ri = rr * rs2 + ri * rc2;
    rr = nrr;
  }
  for (int i = 0; i < n; ++i) {
    // Four running sums, so the partials can be worked on side by side.
    double sum[4] = {0.0, 0.0, 0.0, 0.0};
    for (int j = 0; j < padded; j += 4) {
      for (int l = 0; l < 4; ++l) {
        const int k = j + l;
        sum[l] += amp_[k] * im_[k];
        const double nr = re_[k] * rotRe_[k] - im_[k] * rotIm_[k];
        im_[k] = re_[k] * rotIm_[k] + im_[k] * rotRe_[k];
        re_[k] = nr;
      }
    }
    out[i] = static_cast<float>((sum[0] + sum[1]) + (sum[2] + sum[3]));
  }
  phase_ = Frac(phase_ + static_cast<double>(n) * step_);
}

void SquareOscillator::Render(float* out, int n, bool sounding) {
  if (!sounding && gain_ == 0.0f) {
    std::fill(out, out + n, 0.0f);
    phase_ = 0.0;
    return;
  }
  Synthesize(out, n);
  for (int i = 0; i < n; ++i) {
    if (sounding) {
      gain_ = std::min(gain_ + gainStep_, 1.0f);
    } else {
      gain_ = std::max(gain_ - gainStep_, 0.0f);
    }
    out[i] *= kLevel * gain_;
  }
  if (gain_ == 0.0f) phase_ = 0.0;
}

}  // namespace zintrel::platform
