// Figures for the tone service: how long Beep blocks against the tone's
// length, whether repeated tones join, how close frequencies and lengths
// come out, and what waiting costs the caller. Plays through SDL's disk
// driver into a temporary file (in real time: about 20 s in all), then runs
// the same timings with no audio device.
//
//   tone_bench            all figures
//   tone_bench --keep     also keep the raw files (float32 mono, 48 kHz)

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/audio/ToneService.h"
#include "tests/support/AudioCapture.h"

namespace {

using zintrel::platform::ToneService;
using zintrel::testing::AudioCapture;
using zintrel::testing::DiskAudioFile;
using zintrel::testing::Sound;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double ThreadCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
         usage.ru_stime.tv_usec / 1e3;
}

struct Stats {
  double mean = 0, min = 0, max = 0;
};

Stats Summarize(const std::vector<double>& v) {
  Stats s;
  if (v.empty()) return s;
  s.min = *std::min_element(v.begin(), v.end());
  s.max = *std::max_element(v.begin(), v.end());
  for (double x : v) s.mean += x;
  s.mean /= static_cast<double>(v.size());
  return s;
}

// Each single tone starts from silence.
void SingleTones(ToneService& tones, const char* label) {
  std::printf("\n%s: one tone from silence, call time - tone length (ms), 10 calls each\n", label);
  std::printf("  %8s %9s %9s %9s\n", "length", "mean", "min", "max");
  for (int ms : {1, 10, 40, 150}) {
    std::vector<double> errors;
    for (int i = 0; i < 10; ++i) {
      const Clock::time_point start = Clock::now();
      tones.Beep(1000, ms);
      errors.push_back(MsSince(start) - ms);
      std::this_thread::sleep_for(std::chrono::milliseconds(30));  // back to silence
    }
    const Stats s = Summarize(errors);
    std::printf("  %6d ms %+9.2f %+9.2f %+9.2f\n", ms, s.mean, s.min, s.max);
  }
}

// A loop of tones, as the engine plays them.
void Loop(ToneService& tones, const char* label, int ms, int count) {
  std::vector<double> calls;
  const double cpu0 = ThreadCpuMs();
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) {
    const Clock::time_point t = Clock::now();
    tones.Beep(600, ms);
    calls.push_back(MsSince(t));
  }
  const double total = MsSince(start);
  const double cpu = ThreadCpuMs() - cpu0;
  // The first call starts from silence; the steady state is the rest.
  const Stats s = Summarize(std::vector<double>(calls.begin() + 1, calls.end()));
  std::printf(
      "%s: loop of %d x %d ms: total %.1f ms (%+.1f ms), steady call %.2f ms mean [%.2f, %.2f], "
      "caller CPU %.2f ms per second of tone\n",
      label, count, ms, total, total - count * ms, s.mean, s.min, s.max,
      cpu * 1000.0 / (count * ms));
}

// Energy that is not a harmonic of the tone (aliases folded back below half
// the rate), relative to the whole, over 0.1 s of the tone's steady middle.
// 4800 samples hold a whole number of periods of any multiple of 10 Hz, so
// the harmonics fall exactly on DFT bins. (Where the rate is an even
// multiple of the frequency, aliases land on odd harmonics and do not show.)
double AliasDb(const AudioCapture& capture, const Sound& sound, double hertz) {
  const std::size_t n = 4800;
  const std::size_t from = sound.start + 240;
  const int rate = capture.SampleRate();
  if (sound.length < n + 480 || std::fmod(hertz, 10.0) != 0.0) return NAN;
  const float* x = capture.Samples().data() + from;
  double total = 0;
  for (std::size_t i = 0; i < n; ++i) total += double{x[i]} * x[i];
  double harmonics = 0;
  for (double h = hertz; h < rate / 2.0; h += 2 * hertz) {
    double re = 0, im = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const double w = 2 * std::numbers::pi * h * static_cast<double>(i) / rate;
      re += x[i] * std::cos(w);
      im += x[i] * std::sin(w);
    }
    harmonics += 2 * (re * re + im * im) / n;
  }
  return 10 * std::log10(std::max(total - harmonics, 1e-30) / total);
}

}  // namespace

int main(int argc, char** argv) {
  const bool keep = argc > 1 && std::strcmp(argv[1], "--keep") == 0;
  if (keep) setenv("ZINTREL_KEEP_AUDIO", "1", 1);

  struct Tone {
    std::int64_t hertz;
    int ms;
  };
  // 120 ms: room for the 0.1 s that AliasDb looks at.
  const std::vector<Tone> table = {{1, 1600},    {100, 120},  {440, 120},   {600, 120},
                                   {1000, 120},  {5000, 120}, {10000, 120}, {15000, 120},
                                   {20000, 120}, {23000, 120}};
  const int loopMs = 40, loopCount = 50;
  const int shortCount = 300;
  int rate = 0;
  {
    DiskAudioFile file("bench-frequencies");
    std::optional<ToneService> tones(std::in_place);
    if (!tones->HasDevice()) return 1;
    rate = tones->SampleRate();
    std::printf("device: %d Hz, buffer %d frames (%.2f ms)\n", rate, tones->BufferFrames(),
                tones->BufferFrames() * 1000.0 / rate);
    for (const Tone& t : table) {
      tones->Beep(t.hertz, t.ms);
      tones->Beep(0, 30);
    }
    tones.reset();
    const AudioCapture capture = AudioCapture::Load(file.Path(), rate);
    const std::vector<Sound> sounds = capture.Sounds();
    std::printf("\nfrequency and length (disk driver), each tone alone\n");
    std::printf("  %8s %6s %12s %9s %10s %9s %8s %9s\n", "asked Hz", "ms", "measured Hz", "error %",
                "length ms", "error smp", "peak dB", "alias dB");
    for (std::size_t i = 0; i < table.size() && i < sounds.size(); ++i) {
      const double hz = capture.Hertz(sounds[i]);
      const double expected = table[i].ms * rate / 1000.0;
      std::printf("  %8lld %6d %12.3f %+9.4f %10.3f %+9.0f %8.2f %9.1f\n",
                  static_cast<long long>(table[i].hertz), table[i].ms, hz,
                  (hz - table[i].hertz) * 100.0 / table[i].hertz,
                  capture.Milliseconds(static_cast<double>(sounds[i].length)),
                  static_cast<double>(sounds[i].length) - expected, 20 * std::log10(sounds[i].peak),
                  AliasDb(capture, sounds[i], static_cast<double>(table[i].hertz)));
    }
    if (sounds.size() != table.size()) {
      std::printf("  (%zu sounds for %zu tones)\n", sounds.size(), table.size());
    }
  }

  for (const auto& [ms, count, name] :
       {std::tuple{loopMs, loopCount, "bench-loop"}, std::tuple{1, shortCount, "bench-short"}}) {
    DiskAudioFile file(name);
    const Clock::time_point opened = Clock::now();
    std::optional<ToneService> tones(std::in_place);
    Loop(*tones, "disk", ms, count);
    tones.reset();
    const double wallMs = MsSince(opened);
    const AudioCapture capture = AudioCapture::Load(file.Path(), rate);
    // The disk driver sleeps at least 5 ms per 5 ms buffer, so it runs a
    // little slower than a sound card's clock; Beep follows the device.
    std::printf("  device pace: %.0f samples per second of wall time (%.2f %% of %d)\n",
                capture.Samples().size() * 1000.0 / wallMs,
                capture.Samples().size() * 1000.0 / wallMs * 100.0 / rate, rate);
    const std::vector<Sound> sounds = capture.Sounds();
    std::size_t sounding = 0;
    for (const Sound& s : sounds) sounding += s.length;
    const double expected = count * ms * rate / 1000.0;
    std::printf(
        "  heard %zu sound(s) (1 = no gap), %zu gap samples, sounding %.0f of %.0f samples "
        "(%+.0f)\n",
        sounds.size(),
        sounds.empty()
            ? std::size_t{0}
            : sounds.back().start + sounds.back().length - sounds.front().start - sounding,
        static_cast<double>(sounding), expected, static_cast<double>(sounding) - expected);
  }

  {
    DiskAudioFile file("bench-single");
    ToneService tones;
    SingleTones(tones, "disk");
  }

  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  ToneService silent;
  SingleTones(silent, "no device");
  Loop(silent, "no device", loopMs, loopCount);
  return 0;
}
