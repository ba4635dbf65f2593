#include "platform/RealPlatform.h"

#include <pthread.h>
#include <sys/prctl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "platform/audio/ToneService.h"
#include "platform/desktop/Browser.h"
#include "platform/x11/PointerWatch.h"
#include "platform/x11/XcbDesktop.h"

namespace zintrel::platform {
namespace {

using SteadyClock = std::chrono::steady_clock;
// Taken during static initialisation, i.e. at process start.
const SteadyClock::time_point g_processStart = SteadyClock::now();

// The name every started thread carries (top -H, ps -L, /proc/PID/task).
constexpr const char* kWorkerThreadName = "zintrel-worker";

// How often the pointer is asked for while no event says it moved: the only
// way to see a warp by another client, which raises no motion event. Each
// look costs one round trip (about 50 us here) and four or five context
// switches of the watch thread (measured: 5.2 a second at a 1 s period, so 2 s
// keeps a still, running Zintrel under 20 wake-ups a second in all); a warp by
// another client is counted at most this late.
constexpr std::chrono::milliseconds kSafetyReadPeriod{2000};

constexpr unsigned long kWorkerTimerSlackNs = 1000;

// One started thread and whether its work has returned, so that finished
// threads can be joined (and forgotten) while the program runs for days.
struct Worker {
  std::thread thread;
  std::atomic<bool> done{false};
};

}  // namespace

struct RealPlatform::Impl {
  std::unique_ptr<XcbDesktop> desktop;
  // Waits for the pointer. While `watching` is false marks always differ
  // and every wait is a 1 ms sleep: the callers poll.
  std::unique_ptr<PointerWatch> watch;
  std::atomic<bool> watching{false};
  std::atomic<std::uint64_t> pollMarks{0};
  std::atomic<std::uint64_t> wakes{0};
  std::atomic<bool> ending{false};
  std::mutex waitMutex;
  std::condition_variable waitChanged;
  ToneService tones;
  std::mutex workersMutex;
  std::list<Worker> workers;
  void (*onDisplayLost)(const char*) = nullptr;

  // After a failed cursor or screen call.
  void CheckDisplay() {
    if (onDisplayLost != nullptr && desktop->ConnectionLost()) {
      onDisplayLost(desktop->DisplayName().c_str());
    }
  }

  // Every waiter looks again. The empty lock orders the change made before
  // it against a waiter between its test and its sleep.
  void NotifyWaiters() {
    { const std::lock_guard lock(waitMutex); }
    waitChanged.notify_all();
  }

  void ReapFinished() {
    for (auto it = workers.begin(); it != workers.end();) {
      if (it->done.load(std::memory_order_acquire)) {
        it->thread.join();
        it = workers.erase(it);
      } else {
        ++it;
      }
    }
  }
};

RealPlatform::RealPlatform(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

RealPlatform::~RealPlatform() {
  JoinWorkers();
  // The watch's thread calls into the desktop: it ends first.
  impl_->watch.reset();
}

std::unique_ptr<RealPlatform> RealPlatform::Create(const char* display, std::string& error) {
  auto desktop = XcbDesktop::Connect(display, error);
  if (!desktop) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->desktop = std::move(desktop);
  Impl* raw = impl.get();
  PointerWatch::Handlers handlers{[raw] {
                                    raw->desktop->NoteChange();
                                    raw->NotifyWaiters();
                                  },
                                  [raw] {
                                    if (raw->desktop->Recheck()) raw->NotifyWaiters();
                                  },
                                  [raw] {
                                    // Without events the pointer is polled again,
                                    // and a broken server is then noticed at the
                                    // next read.
                                    raw->desktop->AnswerByAsking();
                                    raw->watching.store(false);
                                    raw->NotifyWaiters();
                                  }};
  impl->watch = PointerWatch::Start(display, std::move(handlers), kSafetyReadPeriod);
  if (impl->watch) {
    impl->desktop->AnswerFromKnownPosition();
    impl->watching.store(true);
  }
  return std::unique_ptr<RealPlatform>(new RealPlatform(std::move(impl)));
}

bool RealPlatform::GetCursorPos(Point& out) {
  if (impl_->desktop->GetCursorPos(out)) return true;
  impl_->CheckDisplay();
  return false;
}

bool RealPlatform::SetCursorPos(std::int32_t x, std::int32_t y) {
  const bool moved = impl_->desktop->SetCursorPos(x, y);
  impl_->NotifyWaiters();
  if (!moved) impl_->CheckDisplay();
  return moved;
}

ScreenSize RealPlatform::GetPrimaryScreenSize() {
  const ScreenSize size = impl_->desktop->GetPrimaryScreenSize();
  if (size == ScreenSize{}) impl_->CheckDisplay();
  return size;
}

void RealPlatform::SetDisplayLostHandler(void (*onLost)(const char* display)) {
  impl_->onDisplayLost = onLost;
}

std::uint32_t RealPlatform::Clock() {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - g_processStart)
          .count();
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

void RealPlatform::Sleep(std::uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void RealPlatform::Beep(std::int64_t hertz, std::int32_t milliseconds) {
  impl_->tones.Beep(hertz, milliseconds);
}

void RealPlatform::ExpectTone() { impl_->tones.ExpectTone(); }

void RealPlatform::DropPendingTones() { impl_->tones.DropPendingTones(); }

void RealPlatform::StartThread(std::function<void()> work) {
  std::lock_guard lock(impl_->workersMutex);
  impl_->ReapFinished();
  Worker& w = impl_->workers.emplace_back();
  w.thread = std::thread([&w, work = std::move(work)] {
    pthread_setname_np(pthread_self(), kWorkerThreadName);
    // The measuring threads pause 1 ms between polls while the pointer
    // moves; the default 50 us of timer slack alone would cost 5 % of them.
    prctl(PR_SET_TIMERSLACK, kWorkerTimerSlackNs);
    work();
    w.done.store(true, std::memory_order_release);
  });
}

void RealPlatform::JoinWorkers() {
  impl_->ending.store(true);
  impl_->NotifyWaiters();
  impl_->tones.Interrupt();
  std::list<Worker> all;
  {
    std::lock_guard lock(impl_->workersMutex);
    all.splice(all.end(), impl_->workers);
  }
  for (Worker& w : all) {
    if (w.thread.joinable()) w.thread.join();
  }
}

bool RealPlatform::OpenUrl(const std::string& url) { return LaunchDefaultBrowser(url); }

WaitMark RealPlatform::Mark() {
  Impl& d = *impl_;
  if (!d.watching.load()) return {d.pollMarks.fetch_add(1) + 1, d.wakes.load()};
  return {d.desktop->PointerSerial(), d.wakes.load()};
}

void RealPlatform::WaitForPointer(const WaitMark& since, std::uint32_t ms) {
  Impl& d = *impl_;
  if (!d.watching.load()) {
    if (!d.ending.load()) Sleep(std::min<std::uint32_t>(ms, 1));
    return;
  }
  const auto changed = [&] {
    return d.desktop->PointerSerial() != since.pointer || d.wakes.load() != since.wakes ||
           d.ending.load() || !d.watching.load();
  };
  std::unique_lock lock(d.waitMutex);
  if (ms == kWaitForever) {
    d.waitChanged.wait(lock, changed);
  } else {
    d.waitChanged.wait_for(lock, std::chrono::milliseconds(ms), changed);
  }
}

void RealPlatform::WaitForSignal(const std::atomic<std::uint32_t>& signal, std::uint32_t seen) {
  // The writer notifies (engine/SharedState); process end is one such write.
  signal.wait(seen);
}

void RealPlatform::WakeWaiters() {
  impl_->wakes.fetch_add(1);
  impl_->NotifyWaiters();
}

std::uint64_t RealPlatform::LayoutSerial() { return impl_->desktop->LayoutSerial(); }

bool RealPlatform::WatchesPointerEvents() const { return impl_->watching.load(); }

}  // namespace zintrel::platform
