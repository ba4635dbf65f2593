// Figures for the tone service: how long Beep blocks against the tone's
// length, whether repeated tones join, how close frequencies and lengths
// come out, how clean the wave is (alias table), what rendering costs the
// audio callback, and what waiting costs the caller. Plays through SDL's
// disk driver into a temporary file (in real time: about 20 s in all), runs
// the same timings with no audio device, then opens and closes streams at a
// private PulseAudio server and times the first tone after a silence.
//
//   tone_bench            all figures
//   tone_bench --keep     also keep the raw files (float32 mono, 48 kHz)
//   tone_bench --server   only the PulseAudio figures

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/audio/SquareOscillator.h"
#include "platform/audio/ToneService.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/PrivatePulse.h"
#include "tests/support/Spectrum.h"

namespace {

using zintrel::platform::SquareOscillator;
using zintrel::platform::ToneService;
using zintrel::testing::AudioCapture;
using zintrel::testing::DiskAudioFile;
using zintrel::testing::Sound;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
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

// The strongest component away from the tone's odd harmonics (dBc), over
// the whole tone from its first sample, Blackman-Harris window.
double AliasDbc(const AudioCapture& capture, std::size_t first, double hertz, int ms) {
  const std::size_t n = static_cast<std::size_t>(ms) * capture.SampleRate() / 1000;
  const auto& x = capture.Samples();
  if (first + n > x.size()) return NAN;
  const std::vector<float> tone(x.begin() + static_cast<std::ptrdiff_t>(first),
                                x.begin() + static_cast<std::ptrdiff_t>(first + n));
  return zintrel::testing::WorstAliasDbc(tone, hertz, capture.SampleRate());
}

// CPU time of the oscillator rendering one second of a steady tone in
// 240-sample buffers, as the callback does, against a reference in the same
// run: one std::sin per sample.
void CallbackCpu() {
  std::printf(
      "\ncallback CPU per second of sound (48 kHz, 240-sample buffers, 10 s of sound, best of "
      "5)\n");
  std::printf("  %8s %9s %12s %14s %8s\n", "hertz", "partials", "render ms", "sin() ref ms",
              "ratio");
  std::vector<float> buffer(240);
  volatile float sink = 0;
  for (double hz : {20.0, 100.0, 1000.0, 10000.0}) {
    double best = 1e9, bestRef = 1e9;
    int partials = 0;
    for (int round = 0; round < 5; ++round) {
      SquareOscillator osc(48000, 48);
      osc.SetStep(hz / 48000.0);
      partials = osc.Partials();
      double t0 = ThreadCpuMs();
      for (int b = 0; b < 2000; ++b) {
        osc.Render(buffer.data(), 240, true);
        sink = sink + buffer[0];
      }
      best = std::min(best, (ThreadCpuMs() - t0) / 10);
      t0 = ThreadCpuMs();
      double phase = 0;
      for (int b = 0; b < 2000; ++b) {
        for (float& v : buffer) {
          v = static_cast<float>(std::sin(phase));
          phase += 2 * std::numbers::pi * hz / 48000.0;
        }
        sink = sink + buffer[0];
      }
      bestRef = std::min(bestRef, (ThreadCpuMs() - t0) / 10);
    }
    std::printf("  %8.0f %9d %12.2f %14.2f %8.1f\n", hz, partials, best, bestRef,
                bestRef > 0 ? best / bestRef : NAN);
  }
}

double Median(std::vector<double> v) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const Clock::time_point start = Clock::now();
  while (!done() && Clock::now() - start < limit)
    std::this_thread::sleep_for(std::chrono::microseconds(100));
}

// At a private PulseAudio server: how long a stream takes to open and to
// close, and how late the first tone after a silence starts against a tone
// in a running sound (call to its first rendered sample).
void RealServer() {
  zintrel::testing::PrivatePulse pulse;
  if (!pulse.Ready()) {
    std::printf("\nno PulseAudio server: %s\n", pulse.Error().c_str());
    return;
  }
  ToneService tones;
  const int rounds = 8;
  std::vector<double> open, close, cold, warmed, running, joined;
  for (int i = 0; i < rounds; ++i) {
    // Open and close, as ExpectTone and Stop ask for them.
    Clock::time_point t = Clock::now();
    tones.ExpectTone();
    WaitUntil([&] { return tones.DeviceOpen(); }, std::chrono::seconds(2));
    open.push_back(MsSince(t));
    t = Clock::now();
    tones.DropPendingTones();
    WaitUntil([&] { return !tones.DeviceOpen(); }, std::chrono::seconds(2));
    close.push_back(MsSince(t));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // ExpectTone's pause

    // After a long silence, nothing announced: Beep opens the stream itself.
    t = Clock::now();
    tones.Beep(1000, 40);
    cold.push_back(std::chrono::duration<double, std::milli>(tones.LastToneBegan() - t).count());
    // A tone in a running sound, from silence: the stream is open.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    t = Clock::now();
    tones.Beep(1000, 40);
    running.push_back(std::chrono::duration<double, std::milli>(tones.LastToneBegan() - t).count());
    // The next tone of a run: the call returns before its tone ends.
    t = Clock::now();
    tones.Beep(1200, 40);
    joined.push_back(std::chrono::duration<double, std::milli>(tones.LastToneBegan() - t).count());
    tones.DropPendingTones();
    WaitUntil([&] { return !tones.DeviceOpen(); }, std::chrono::seconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // Announced ahead (the sampler does so a window before the tone is
    // due; 80 ms here, the default Interval).
    tones.ExpectTone();
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    t = Clock::now();
    tones.Beep(1000, 40);
    warmed.push_back(std::chrono::duration<double, std::milli>(tones.LastToneBegan() - t).count());
    tones.DropPendingTones();
    WaitUntil([&] { return !tones.DeviceOpen(); }, std::chrono::seconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  const auto row = [](const char* what, const std::vector<double>& v) {
    if (std::getenv("ZINTREL_BENCH_ALL")) {
      for (double x : v) std::printf(" %.1f", x);
      std::printf("\n");
    }
    std::printf("  %-52s median %7.2f  min %7.2f  max %7.2f\n", what, Median(v),
                *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()));
  };
  std::printf("\nat a private PulseAudio server, %d rounds (ms)\n", rounds);
  row("stream open (ExpectTone to open)", open);
  row("stream close (Stop to closed, fade included)", close);
  row("first tone after silence, not announced: call to sound", cold);
  row("first tone after silence, announced 80 ms ahead", warmed);
  row("a tone from silence in a running stream", running);
  row("the next tone of a run (negative: queued ahead)", joined);
}

}  // namespace

int main(int argc, char** argv) {
  const bool keep = argc > 1 && std::strcmp(argv[1], "--keep") == 0;
  if (argc > 1 && std::strcmp(argv[1], "--server") == 0) {
    RealServer();
    return 0;
  }
  if (keep) setenv("ZINTREL_KEEP_AUDIO", "1", 1);

  struct Tone {
    std::int64_t hertz;
    int ms;
  };
  // At least 24 periods, so that the harmonics stand apart in the spectrum.
  const std::vector<Tone> table = {{20, 1201},   {100, 241},   {440, 120},   {1000, 120},
                                   {1001, 120},  {3001, 120},  {5000, 120},  {7777, 120},
                                   {10000, 120}, {15000, 120}, {19500, 120}, {19999, 120}};
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
                "length ms", "error smp", "peak dB", "alias dBc");
    std::size_t first = 0;  // each tone's first sample: its first non-zero one
    const auto& x = capture.Samples();
    for (std::size_t i = 0; i < table.size() && i < sounds.size(); ++i) {
      while (first < x.size() && x[first] == 0.0f) ++first;
      const double hz = capture.Hertz(sounds[i]);
      const double expected = table[i].ms * rate / 1000.0;
      std::printf("  %8lld %6d %12.3f %+9.4f %10.3f %+9.0f %8.2f %9.1f\n",
                  static_cast<long long>(table[i].hertz), table[i].ms, hz,
                  (hz - table[i].hertz) * 100.0 / table[i].hertz,
                  capture.Milliseconds(static_cast<double>(sounds[i].length)),
                  static_cast<double>(sounds[i].length) - expected, 20 * std::log10(sounds[i].peak),
                  AliasDbc(capture, first, static_cast<double>(table[i].hertz), table[i].ms));
      first += static_cast<std::size_t>(table[i].ms + 2) * rate / 1000;  // past the fade out
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

  CallbackCpu();

  {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    ToneService silent;
    SingleTones(silent, "no device");
    Loop(silent, "no device", loopMs, loopCount);
  }

  RealServer();
  return 0;
}
