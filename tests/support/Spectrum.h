#pragma once

// How clean a square-wave tone is: the strongest component of its spectrum
// that is not one of its own odd harmonics, relative to the fundamental.

#include <cstddef>
#include <vector>

namespace zintrel::testing {

// Power spectrum (|X|^2, bins 0 .. n/2) of `samples` weighted by a 4-term
// Blackman-Harris window spanning all of them, zero-padded to a power of two.
// `binHertz` gets the bins' spacing.
std::vector<double> WindowedPowerSpectrum(const std::vector<float>& samples, int sampleRate,
                                          double& binHertz);

// The strongest bin at least 8 of the window's own bins (4 times its main
// lobe's half width) away from every odd harmonic of `hertz` below half the
// rate, in dB relative to the strongest bin at the fundamental. `samples` is
// one whole tone. Components that fold back from above half the rate land
// away from the harmonics and show here.
double WorstAliasDbc(const std::vector<float>& samples, double hertz, int sampleRate);

}  // namespace zintrel::testing
