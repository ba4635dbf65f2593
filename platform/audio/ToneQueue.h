#pragma once

// The tones waiting to be rendered: a fixed ring written by one producer (the
// caller of Beep, serialized by the tone service) and read by one consumer
// (the audio callback). Wait-free on both sides; nothing is allocated after
// construction.

#include <array>
#include <atomic>
#include <cstdint>

namespace zintrel::platform {

struct QueuedTone {
  double step = 0.0;          // cycles per sample; 0 for silence
  std::uint64_t samples = 0;  // length
};

class ToneQueue {
 public:
  static constexpr std::uint32_t kCapacity = 256;

  // Producer side.
  bool Full() const {
    return head_.load(std::memory_order_relaxed) - tail_.load(std::memory_order_acquire) >=
           kCapacity;
  }
  // Only when !Full().
  void Push(const QueuedTone& tone) {
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    slots_[head % kCapacity] = tone;
    head_.store(head + 1, std::memory_order_release);
  }

  // Consumer side.
  bool Pop(QueuedTone& out) {
    const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return false;
    out = slots_[tail % kCapacity];
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }
  // Drops everything queued so far.
  void Clear() { tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release); }

  // Either side, while the other is known not to run (the device closed).
  void Reset() {
    head_.store(0, std::memory_order_relaxed);
    tail_.store(0, std::memory_order_relaxed);
  }

 private:
  std::array<QueuedTone, kCapacity> slots_{};
  // Running counts; they wrap, and kCapacity divides 2^32, so the modulo and
  // the differences stay right across the wrap.
  std::atomic<std::uint32_t> head_{0};
  std::atomic<std::uint32_t> tail_{0};
};

}  // namespace zintrel::platform
