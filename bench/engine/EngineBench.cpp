// Prints how often the engine's measuring threads poll the cursor, what the
// engine costs in CPU time, and how soon a tone follows a window end.
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

  // Window end to tone: move the cursor once while everything is still,
  // see the sampler's store (spinning on g_nTravel), and find the tone that
  // begins after it.
  std::vector<double> delays;
  if (!cursorWorks) std::printf("  window end to tone: not measured (the cursor cannot be set)\n");
  for (int trial = 0; cursorWorks && trial < 15; ++trial) {
    const auto quiet = Steady::now() + 2s;
    while (g_nTravel.load() != 0 && Steady::now() < quiet) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms);
    const auto moved = Steady::now();
    real->SetCursorPos(500 + (trial % 2 == 0 ? 7 : 0), 500);
    while (g_nTravel.load() == 0 && Steady::now() - moved < 2s) std::this_thread::yield();
    const auto stored = Steady::now();
    std::this_thread::sleep_for(20ms);
    for (const auto& t : counting.ToneStarts()) {
      if (t >= moved) {
        delays.push_back(1000 * std::chrono::duration<double>(t - stored).count());
        break;
      }
    }
  }
  std::sort(delays.begin(), delays.end());
  if (!delays.empty()) {
    std::printf(
        "  window end to tone call: median %.2f ms, max %.2f ms over %zu trials "
        "(the device adds its buffer: see the platform benchmark)\n",
        delays[delays.size() / 2], delays.back(), delays.size());
  }
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
