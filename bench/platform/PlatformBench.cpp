// Prints what the real platform's calls cost on the X server in $DISPLAY:
// one cursor read (and move, and screen size), the polls per second of a
// loop of cursor read plus 1 ms sleep with that loop's CPU time (process and,
// given ZINTREL_XSERVER_PID, the X server), and how long tones block against
// their requested length. bench/run-platform-bench.sh runs it on a private
// Xvfb with SDL's disk audio driver.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/platform/CpuTime.h"
#include "platform/RealPlatform.h"

namespace zintrel::bench {
namespace {

using Steady = std::chrono::steady_clock;
using platform::Point;
using platform::RealPlatform;

double Micros(Steady::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }
double Millis(Steady::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Spread {
  double mean = 0;
  double p50 = 0;
  double p99 = 0;
  double min = 0;
  double max = 0;
};

Spread SpreadOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  Spread s;
  for (double x : v) s.mean += x;
  s.mean /= static_cast<double>(v.size());
  s.p50 = v[v.size() / 2];
  s.p99 = v[std::min(v.size() - 1, v.size() * 99 / 100)];
  s.min = v.front();
  s.max = v.back();
  return s;
}

void CallCost(const char* what, int count, const std::function<void()>& call) {
  for (int i = 0; i < count / 10; ++i) call();  // warm up
  std::vector<double> us;
  us.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto start = Steady::now();
    call();
    us.push_back(Micros(Steady::now() - start));
  }
  const Spread s = SpreadOf(std::move(us));
  std::printf("  %-22s mean %6.1f us  p50 %6.1f us  p99 %6.1f us  max %7.1f us  (%d calls)\n", what,
              s.mean, s.p50, s.p99, s.max, count);
}

std::optional<int> XServerPid() {
  const char* pid = std::getenv("ZINTREL_XSERVER_PID");
  if (pid == nullptr || *pid == '\0') return std::nullopt;
  return std::atoi(pid);
}

// `threads` threads each running `poll` then a 1 ms sleep for `seconds`.
void PollLoop(RealPlatform& p, const char* what, int threads, bool readCursor, double seconds) {
  std::atomic<bool> stop{false};
  std::atomic<long long> polls{0};
  std::atomic<long long> failures{0};
  const std::optional<int> server = XServerPid();
  const std::optional<double> server0 = server ? OtherProcessCpuSeconds(*server) : std::nullopt;
  const double cpu0 = ProcessCpuSeconds();
  const auto start = Steady::now();

  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&] {
      long long n = 0;
      while (!stop.load(std::memory_order_relaxed)) {
        Point pos;
        if (readCursor && !p.GetCursorPos(pos)) failures.fetch_add(1);
        p.Sleep(1);
        ++n;
      }
      polls.fetch_add(n);
    });
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  stop.store(true);
  for (std::thread& w : workers) w.join();

  const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
  const double cpu = (ProcessCpuSeconds() - cpu0) / elapsed * 100.0;
  std::printf("  %-34s %7.0f polls/s per thread  process CPU %5.2f %% of a core", what,
              static_cast<double>(polls.load()) / elapsed / threads, cpu);
  const std::optional<double> server1 = server ? OtherProcessCpuSeconds(*server) : std::nullopt;
  if (server0 && server1) {
    std::printf("  X server CPU %5.2f %%", (*server1 - *server0) / elapsed * 100.0);
  }
  if (failures.load() != 0) std::printf("  (%lld failed reads)", failures.load());
  std::printf("\n");
}

void ToneTiming(RealPlatform& p) {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  std::printf("\nTone service (SDL_AUDIODRIVER=%s): time Beep blocks minus requested length\n",
              driver != nullptr ? driver : "(default)");
  struct Case {
    std::int64_t hertz;
    std::int32_t ms;
    int repeats;
  };
  const Case cases[] = {{440, 1, 40},    {440, 5, 40},  {440, 10, 30},
                        {440, 20, 20},   {440, 40, 20}, {1000, 75, 10},
                        {1000, 150, 10}, {0, 40, 10},   {100000, 40, 10}};
  for (const Case& c : cases) {
    std::vector<double> errors;
    for (int i = 0; i < c.repeats; ++i) {
      const auto start = Steady::now();
      p.Beep(c.hertz, c.ms);
      errors.push_back(Millis(Steady::now() - start) - c.ms);
    }
    const Spread s = SpreadOf(std::move(errors));
    std::printf("  %6lld Hz %4d ms x%-3d  error mean %+6.2f ms  min %+6.2f  max %+6.2f\n",
                static_cast<long long>(c.hertz), c.ms, c.repeats, s.mean, s.min, s.max);
  }
  // A run of back-to-back tones, as the tone player plays them: does the
  // error add up over the run?
  constexpr int kRun = 50;
  constexpr std::int32_t kLen = 40;
  const auto start = Steady::now();
  for (int i = 0; i < kRun; ++i) p.Beep(600 + i, kLen);
  const double total = Millis(Steady::now() - start);
  std::printf("  run of %d tones of %d ms: %.1f ms for %d ms requested (%+.2f ms per tone)\n", kRun,
              kLen, total, kRun * kLen, (total - kRun * kLen) / kRun);
}

int Run() {
  std::string error;
  std::unique_ptr<RealPlatform> p = RealPlatform::Create(nullptr, error);
  if (!p) {
    std::fprintf(stderr, "platform_bench: %s\n", error.c_str());
    return 1;
  }
  const char* display = std::getenv("DISPLAY");
  const auto size = p->GetPrimaryScreenSize();
  std::printf("X display %s, primary %d x %d\n\nCost of one call (wall time, one thread)\n",
              display != nullptr ? display : "?", size.width, size.height);
  CallCost("GetCursorPos", 20000, [&] {
    Point pos;
    p->GetCursorPos(pos);
  });
  int i = 0;
  CallCost("SetCursorPos", 5000, [&] {
    ++i;
    p->SetCursorPos(100 + i % 500, 100 + i % 300);
  });
  CallCost("GetPrimaryScreenSize", 5000, [&] { p->GetPrimaryScreenSize(); });

  std::printf("\nPolling loops, 5 s each (cursor read + Sleep(1) per poll)\n");
  if (!XServerPid()) std::printf("  (X server CPU not measured: ZINTREL_XSERVER_PID is not set)\n");
  PollLoop(*p, "bare Sleep(1), no cursor read", 1, false, 5.0);
  PollLoop(*p, "cursor read + Sleep(1), 1 thread", 1, true, 5.0);
  PollLoop(*p, "cursor read + Sleep(1), 2 threads", 2, true, 5.0);

  ToneTiming(*p);
  return 0;
}

}  // namespace
}  // namespace zintrel::bench

int main() { return zintrel::bench::Run(); }
