#pragma once

// Forwards to another platform and counts the cursor reads of each worker
// thread (numbered in the order they were started), and when tones are
// called for. Tones may be sent to a tone service of the caller's instead,
// whose render times the caller can then read.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/Platform.h"
#include "platform/audio/ToneService.h"

namespace zintrel::bench {

class CountingPlatform final : public platform::Platform {
 public:
  static constexpr int kMaxThreads = 64;
  using TimePoint = std::chrono::steady_clock::time_point;

  explicit CountingPlatform(platform::Platform& inner) : inner_(inner) {}

  bool GetCursorPos(platform::Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override { return inner_.SetCursorPos(x, y); }
  platform::ScreenSize GetPrimaryScreenSize() override { return inner_.GetPrimaryScreenSize(); }
  std::uint32_t Clock() override { return inner_.Clock(); }
  void Sleep(std::uint32_t ms) override { inner_.Sleep(ms); }
  void Beep(std::int64_t hertz, std::int32_t milliseconds) override;
  void StartThread(std::function<void()> work) override;
  void JoinWorkers() override;
  bool OpenUrl(const std::string& url) override { return inner_.OpenUrl(url); }
  platform::WaitMark Mark() override { return inner_.Mark(); }
  void WaitForPointer(const platform::WaitMark& since, std::uint32_t ms) override {
    inner_.WaitForPointer(since, ms);
  }
  void WaitForSignal(const std::atomic<std::uint32_t>& signal, std::uint32_t seen) override {
    inner_.WaitForSignal(signal, seen);
  }
  void WakeWaiters() override { inner_.WakeWaiters(); }
  std::uint64_t LayoutSerial() override { return inner_.LayoutSerial(); }

  // Cursor reads of the n-th started thread so far.
  std::uint64_t Reads(int thread) const { return reads_[thread].load(); }
  // When Beep was called, every time.
  std::vector<TimePoint> ToneStarts() const;
  // From now on Beep plays through `tones` (nullptr: the inner platform's).
  // `tones` must outlive JoinWorkers.
  void UseTones(platform::ToneService* tones) { tones_.store(tones); }

 private:
  platform::Platform& inner_;
  std::array<std::atomic<std::uint64_t>, kMaxThreads> reads_{};
  std::atomic<int> started_{0};
  std::atomic<platform::ToneService*> tones_{nullptr};
  mutable std::mutex mutex_;
  std::vector<TimePoint> toneStarts_;
};

}  // namespace zintrel::bench
