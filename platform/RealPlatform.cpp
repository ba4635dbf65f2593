#include "platform/RealPlatform.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <list>
#include <mutex>
#include <thread>

#include "platform/audio/ToneService.h"
#include "platform/desktop/Browser.h"
#include "platform/x11/XcbDesktop.h"

namespace zintrel::platform {
namespace {

using SteadyClock = std::chrono::steady_clock;
// Taken during static initialisation, i.e. at process start.
const SteadyClock::time_point g_processStart = SteadyClock::now();

// The name every started thread carries (top -H, ps -L, /proc/PID/task).
constexpr const char* kWorkerThreadName = "zintrel-worker";

// One started thread and whether its work has returned, so that finished
// threads can be joined (and forgotten) while the program runs for days.
struct Worker {
  std::thread thread;
  std::atomic<bool> done{false};
};

}  // namespace

struct RealPlatform::Impl {
  std::unique_ptr<XcbDesktop> desktop;
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

RealPlatform::~RealPlatform() { JoinWorkers(); }

std::unique_ptr<RealPlatform> RealPlatform::Create(const char* display, std::string& error) {
  auto desktop = XcbDesktop::Connect(display, error);
  if (!desktop) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->desktop = std::move(desktop);
  return std::unique_ptr<RealPlatform>(new RealPlatform(std::move(impl)));
}

bool RealPlatform::GetCursorPos(Point& out) {
  if (impl_->desktop->GetCursorPos(out)) return true;
  impl_->CheckDisplay();
  return false;
}

bool RealPlatform::SetCursorPos(std::int32_t x, std::int32_t y) {
  if (impl_->desktop->SetCursorPos(x, y)) return true;
  impl_->CheckDisplay();
  return false;
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

void RealPlatform::StartThread(std::function<void()> work) {
  std::lock_guard lock(impl_->workersMutex);
  impl_->ReapFinished();
  Worker& w = impl_->workers.emplace_back();
  w.thread = std::thread([&w, work = std::move(work)] {
    pthread_setname_np(pthread_self(), kWorkerThreadName);
    work();
    w.done.store(true, std::memory_order_release);
  });
}

void RealPlatform::JoinWorkers() {
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

}  // namespace zintrel::platform
