// Prints how often the engine's measuring threads poll the cursor, what the
// engine costs in CPU time, and how soon a tone follows a window end: its
// call, and the first sample of it the audio callback renders.
// Against the fake platform always; against the real desktop ($DISPLAY)
// when one is usable.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/engine/CountingPlatform.h"
#include "engine/SharedState.h"
#include "engine/SpeedMonitorThread.h"
#include "engine/TravelSamplerThread.h"
#include "engine/WorkerStart.h"
#include "platform/RealPlatform.h"
#include "platform/audio/ToneService.h"
#include "platform/fake/FakePlatform.h"

namespace zintrel {
namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct NullTexts : StatusTexts {
  void SetDlgItemText(int, const char*) override {}
};

SliderPosition g_interval;
SliderPosition g_pitch;
NullTexts g_texts;

void Publish() {
  g_interval.SetPos(80);
  g_pitch.SetPos(15);
  g_pIntervalSlider.store(&g_interval);
  g_pPitchSlider.store(&g_pitch);
  g_hPanelWnd.store(&g_texts);
}

double Seconds(Steady::duration d) { return std::chrono::duration<double>(d).count(); }
double Ms(Steady::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr int kTrials = 25;

void PrintSpread(const char* what, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  // The nearest-rank 90th percentile.
  const std::size_t p90 = (ms.size() * 9 + 9) / 10 - 1;
  std::printf("  %s: median %.2f ms, p90 %.2f ms, max %.2f ms over %zu trials\n", what,
              ms[ms.size() / 2], ms[p90], ms.back(), ms.size());
}

// The cost of a poll without its sleep: each worker run on this thread
// against the fake, whose sleeps take no real time.
void FakeFigures() {
  constexpr std::uint32_t kFakeMs = 2'000'000;
  std::printf("Fake platform (sleeps take no real time: the cost of one poll)\n");
  {
    platform::FakePlatform fake;
    platform::Install(fake);
    fake.SetCursorSource([](std::uint32_t now) {
      return std::optional<platform::Point>({static_cast<std::int32_t>(now % 1920), 500});
    });
    fake.At(kFakeMs, [] { g_bProcessEnding.store(true); });
    const auto start = Steady::now();
    SpeedMonitorThread(WorkerTicket::Issue(WorkerRole::kSpeedMonitor));
    const double s = Seconds(Steady::now() - start);
    std::printf("  speed monitor:  %.2f million polls per second\n", fake.CursorReads() / s / 1e6);
    g_bProcessEnding.store(false);
  }
  {
    platform::FakePlatform fake;
    platform::Install(fake);
    fake.SetCursorSource([](std::uint32_t now) {
      return std::optional<platform::Point>({static_cast<std::int32_t>(now % 1920), 500});
    });
    fake.At(kFakeMs, [] { g_bStopped.store(true); });
    g_bStopped.store(false);
    const auto start = Steady::now();
    TravelSamplerThread(WorkerTicket::Issue(WorkerRole::kTravelSampler));
    const double s = Seconds(Steady::now() - start);
    std::printf("  travel sampler: %.2f million polls per second\n", fake.CursorReads() / s / 1e6);
  }
}

struct Phase {
  double seconds;
  std::uint64_t monitorReads;
  std::uint64_t samplerReads;
  double cpu;  // process CPU seconds
};

Phase Measure(bench::CountingPlatform& counting, Steady::duration length) {
  const std::uint64_t m0 = counting.Reads(0);
  const std::uint64_t s0 = counting.Reads(1);
  const std::clock_t c0 = std::clock();
  const auto t0 = Steady::now();
  std::this_thread::sleep_for(length);
  const double s = Seconds(Steady::now() - t0);
  return {s, counting.Reads(0) - m0, counting.Reads(1) - s0,
          static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC};
}

void RealFigures() {
  std::string error;
  std::unique_ptr<platform::RealPlatform> real = platform::RealPlatform::Create(nullptr, error);
  if (!real) {
    std::printf("Real desktop: not measured (%s)\n", error.c_str());
    return;
  }
  bench::CountingPlatform counting(*real);
  platform::Install(counting);
  std::printf("Real desktop (%s), cursor still, Interval 80, Pitch 15\n",
              std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "?");
  platform::Point where;
  const bool cursorWorks = real->SetCursorPos(500, 500) && real->GetCursorPos(where) &&
                           where == platform::Point{500, 500};

  g_bStopped.store(true);
  StartSpeedMonitor();  // thread 0
  std::this_thread::sleep_for(300ms);
  const Phase stopped = Measure(counting, 3s);
  std::printf("  stopped: speed monitor %.0f polls/s; process CPU %.1f ms per second\n",
              stopped.monitorReads / stopped.seconds, 1000 * stopped.cpu / stopped.seconds);

  g_bStopped.store(false);
  StartTravelSampler();  // thread 1
  StartTonePlayer();     // thread 2
  g_bWrapStopped.store(false);
  StartCursorWrapper();  // thread 3
  std::this_thread::sleep_for(300ms);
  const Phase running = Measure(counting, 3s);
  std::printf(
      "  running: speed monitor %.0f polls/s, travel sampler %.0f polls/s; "
      "process CPU %.1f ms per second\n",
      running.monitorReads / running.seconds, running.samplerReads / running.seconds,
      1000 * running.cpu / running.seconds);

  // Window end to tone: move the cursor once while everything is still, see
  // the sampler's store (spinning on g_nTravel), and find the tone call that
  // follows it and the first sample of that tone the audio callback renders.
  // The tones go through a tone service of the bench's own, whose render
  // times it can read; the real platform's stays idle.
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  std::printf("  audio driver: SDL_AUDIODRIVER=%s\n", driver ? driver : "(unset: SDL's choice)");
  platform::ToneService tones;  // outlives EndAllWorkers below
  if (tones.HasDevice()) {
    std::printf("  tone service: %d Hz, buffer of %d frames (%.2f ms)\n", tones.SampleRate(),
                tones.BufferFrames(), 1000.0 * tones.BufferFrames() / tones.SampleRate());
  }
  counting.UseTones(&tones);
  if (!cursorWorks) std::printf("  window end to tone: not measured (the cursor cannot be set)\n");
  std::vector<double> toCall;
  std::vector<double> toSample;
  int lost = 0;
  for (int trial = 0; cursorWorks && trial < kTrials; ++trial) {
    // Still: no travel, and the last tone and its tail rendered.
    const auto quiet = Steady::now() + 2s;
    while (g_nTravel.load() != 0 && Steady::now() < quiet) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(60ms);
    const Steady::time_point before = tones.LastToneBegan();
    const auto moved = Steady::now();
    real->SetCursorPos(500 + (trial % 2 == 0 ? 7 : 0), 500);
    while (g_nTravel.load() == 0 && Steady::now() - moved < 2s) std::this_thread::yield();
    const auto stored = Steady::now();
    Steady::time_point began = before;
    while (began == before && Steady::now() - stored < 1s) {
      std::this_thread::sleep_for(200us);
      began = tones.LastToneBegan();
    }
    if (began == before || began < stored) {
      ++lost;
      continue;
    }
    toSample.push_back(Ms(began - stored));
    for (const auto& t : counting.ToneStarts()) {
      if (t >= moved) {
        toCall.push_back(Ms(t - stored));
        break;
      }
    }
  }
  PrintSpread("window end to tone call", toCall);
  PrintSpread("window end to first rendered sample", toSample);
  if (lost > 0) std::printf("  %d trials saw no new tone rendered after the window end\n", lost);
  EndAllWorkers();
  g_bProcessEnding.store(false);
}

}  // namespace
}  // namespace zintrel

int main() {
  zintrel::Publish();
  zintrel::FakeFigures();
  zintrel::RealFigures();
  return 0;
}
