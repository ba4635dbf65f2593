#include "tests/support/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace zintrel::testing {
namespace {

void Fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const double angle = -2.0 * std::numbers::pi / static_cast<double>(len);
    for (std::size_t i = 0; i < n; i += len) {
      for (std::size_t k = 0; k < len / 2; ++k) {
        const std::complex<double> w = std::polar(1.0, angle * static_cast<double>(k));
        const std::complex<double> u = a[i + k];
        const std::complex<double> v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

}  // namespace

std::vector<double> WindowedPowerSpectrum(const std::vector<float>& samples, int sampleRate,
                                          double& binHertz) {
  std::size_t n = 1;
  while (n < samples.size()) n <<= 1;
  std::vector<std::complex<double>> a(n);
  const double m = static_cast<double>(samples.size() > 1 ? samples.size() - 1 : 1);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double x = 2.0 * std::numbers::pi * static_cast<double>(i) / m;
    const double w =
        0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
    a[i] = w * samples[i];
  }
  Fft(a);
  std::vector<double> power(n / 2 + 1);
  for (std::size_t k = 0; k < power.size(); ++k) power[k] = std::norm(a[k]);
  binHertz = static_cast<double>(sampleRate) / static_cast<double>(n);
  return power;
}

double WorstAliasDbc(const std::vector<float>& samples, double hertz, int sampleRate) {
  double binHertz = 1.0;
  const std::vector<double> power = WindowedPowerSpectrum(samples, sampleRate, binHertz);
  // The window's main lobe is 4 of its own bins wide each side; with
  // padding, one of its bins spans (padded / tone) of ours.
  const double toneBins = static_cast<double>(sampleRate) / static_cast<double>(samples.size());
  const double guard = 8.0 * toneBins;  // hertz either side of a harmonic
  std::vector<bool> near(power.size(), false);
  for (double h = hertz; h < sampleRate / 2.0 + guard; h += 2.0 * hertz) {
    const double lo = (h - guard) / binHertz, hi = (h + guard) / binHertz;
    for (std::size_t k = static_cast<std::size_t>(std::max(0.0, std::ceil(lo)));
         k < power.size() && static_cast<double>(k) <= hi; ++k) {
      near[k] = true;
    }
  }
  double fundamental = 0.0, worst = 0.0;
  const double lo = (hertz - guard) / binHertz, hi = (hertz + guard) / binHertz;
  for (std::size_t k = 0; k < power.size(); ++k) {
    const double bin = static_cast<double>(k);
    if (bin >= lo && bin <= hi) fundamental = std::max(fundamental, power[k]);
    if (!near[k]) worst = std::max(worst, power[k]);
  }
  if (fundamental <= 0.0) return 0.0;
  return 10.0 * std::log10(std::max(worst, 1e-300) / fundamental);
}

}  // namespace zintrel::testing
