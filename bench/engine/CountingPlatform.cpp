#include "bench/engine/CountingPlatform.h"

#include <utility>

namespace zintrel::bench {
namespace {
thread_local std::atomic<std::uint64_t>* t_reads = nullptr;
}

bool CountingPlatform::GetCursorPos(platform::Point& out) {
  if (t_reads != nullptr) t_reads->fetch_add(1, std::memory_order_relaxed);
  return inner_.GetCursorPos(out);
}

void CountingPlatform::Beep(std::int64_t hertz, std::int32_t milliseconds) {
  {
    std::lock_guard lock(mutex_);
    toneStarts_.push_back(std::chrono::steady_clock::now());
  }
  if (platform::ToneService* tones = tones_.load()) {
    tones->Beep(hertz, milliseconds);
  } else {
    inner_.Beep(hertz, milliseconds);
  }
}

void CountingPlatform::JoinWorkers() {
  // Cut short a tone the tone player may be waiting on, as the inner
  // platform does with its own.
  if (platform::ToneService* tones = tones_.load()) tones->Interrupt();
  inner_.JoinWorkers();
}

void CountingPlatform::StartThread(std::function<void()> work) {
  const int n = started_.fetch_add(1);
  std::atomic<std::uint64_t>* counter = n < kMaxThreads ? &reads_[n] : nullptr;
  inner_.StartThread([counter, work = std::move(work)] {
    t_reads = counter;
    work();
  });
}

std::vector<CountingPlatform::TimePoint> CountingPlatform::ToneStarts() const {
  std::lock_guard lock(mutex_);
  return toneStarts_;
}

}  // namespace zintrel::bench
