#pragma once

// A scriptable stand-in for the desktop, for tests and benchmarks.
//
// Time is a fake millisecond clock that only Sleep and Beep advance, so a
// worker run on the test's own thread meets exactly the clock readings the
// test scripted. Scheduled events ("at fake time T do X", cursor moves) fire
// while the clock is advanced over T. Every member is safe to call from
// several threads; actions run without the fake's lock held, so they may
// call back into the fake.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace zintrel::platform {

class FakePlatform final : public Platform {
 public:
  struct Tone {
    std::int64_t hertz = 0;
    std::int32_t milliseconds = 0;
    std::uint32_t start = 0;  // fake clock reading when the tone began
    friend bool operator==(const Tone&, const Tone&) = default;
  };
  struct CursorMove {
    std::uint32_t time = 0;  // fake clock reading at which the cursor gets there
    std::int32_t x = 0;
    std::int32_t y = 0;
  };
  enum class WaitMode {
    kPoll,    // every wait is a 1 ms sleep and marks always differ: the engine polls
    kEvents,  // waits advance the clock until what they wait for happens
  };
  enum class ThreadMode {
    kRecord,  // StartThread only keeps the work; RunRecordedThreads runs it
    kInline,  // StartThread runs the work on the caller's thread
    kReal,    // StartThread runs the work on a real thread (joined by JoinWorkers)
  };

  FakePlatform();
  ~FakePlatform() override;  // joins real threads still running

  // --- Platform ---
  bool GetCursorPos(Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  ScreenSize GetPrimaryScreenSize() override;
  std::uint32_t Clock() override;
  void Sleep(std::uint32_t ms) override;
  void Beep(std::int64_t hertz, std::int32_t milliseconds) override;
  void ExpectTone() override;
  void DropPendingTones() override;
  void StartThread(std::function<void()> work) override;
  void JoinWorkers() override;
  bool OpenUrl(const std::string& url) override;
  WaitMark Mark() override;
  void WaitForPointer(const WaitMark& since, std::uint32_t ms) override;
  void WaitForSignal(const std::atomic<std::uint32_t>& signal, std::uint32_t seen) override;
  void WakeWaiters() override;
  std::uint64_t LayoutSerial() override;

  // --- Waiting ---
  // kPoll (the default) or kEvents. In kEvents a scheduled cursor move, a
  // SetCursorPos, a screen or layout change ends a WaitForPointer after the
  // millisecond in which it happened; a WaitForPointer advances the clock
  // one millisecond at a time, at least one.
  void SetWaitMode(WaitMode mode);
  // How many times WaitForPointer and WaitForSignal have returned.
  int WaitReturns() const;

  // --- Clock and schedule ---
  // Restarts the clock at `now` and drops everything scheduled.
  void SetClock(std::uint32_t now);
  // Runs `action` when the clock next shows `time` while being advanced
  // (a time equal to the current reading fires at the next advance). Events
  // due at the same time fire in the order they were scheduled.
  void At(std::uint32_t time, std::function<void()> action);
  // Moves the clock forward by `ms`, firing what falls due on the way.
  void Advance(std::uint32_t ms);
  // Called at the start of every Sleep with the clock's reading.
  void SetSleepObserver(std::function<void(std::uint32_t now)> observer);
  // Real time that every Sleep and Beep also waits, for tests with real
  // threads that must give each other a chance to run.
  void SetRealDelay(std::chrono::microseconds sleep, std::chrono::microseconds beep);

  // --- Cursor ---
  // Places the cursor at once (not recorded as a SetCursorPos).
  void PlaceCursor(Point p);
  // Scripted moves of the user: the cursor jumps to (x, y) when the clock
  // next shows `time`.
  void MoveCursorAt(std::uint32_t time, std::int32_t x, std::int32_t y);
  void SetCursorPath(const std::vector<CursorMove>& path);
  // When set, every read asks `source` for the position at the current
  // reading instead (std::nullopt: the read fails).
  void SetCursorSource(std::function<std::optional<Point>(std::uint32_t now)> source);
  // false: reads fail and leave the caller's point alone.
  void SetCursorReadable(bool readable);
  // The primary monitor's origin moves when the clock next shows `time`: the
  // cursor, which stays put on the desktop, reads as `cursor` from then on.
  void ChangeLayoutAt(std::uint32_t time, Point cursor);
  Point Cursor() const;
  std::vector<Point> CursorSets() const;            // every SetCursorPos, in order
  std::vector<CursorMove> TimedCursorSets() const;  // the same, with the clock readings
  int CursorReads() const;

  // --- Screen ---
  void SetScreenSize(ScreenSize size);  // {0, 0} stands for "cannot be read"
  int ScreenReads() const;

  // --- Tones ---
  std::vector<Tone> Tones() const;
  std::vector<std::thread::id> ToneThreads() const;  // the caller of each tone
  int MaxConcurrentBeeps() const;
  // Fake clock readings of every ExpectTone call, in order.
  std::vector<std::uint32_t> ExpectedTones() const;
  int DroppedTonesCalls() const;

  // --- Threads ---
  void SetThreadMode(ThreadMode mode);
  int StartedThreads() const;
  // Runs (and forgets) the works kept in kRecord mode, in start order, on
  // the caller's thread.
  void RunRecordedThreads();

  // --- Browser ---
  void SetOpenUrlResult(bool result);
  std::vector<std::string> OpenedUrls() const;

 private:
  struct Event {
    std::function<void()> action;  // empty for a cursor move
    std::optional<Point> cursorMove;
    bool layoutChange = false;
  };
  // One millisecond of a wait: the clock advanced, the real delay waited.
  void WaitTick();
  bool PointerChangedSince(const WaitMark& since) const;
  std::uint32_t ClockLocked() const;
  void Schedule(std::uint32_t time, Event event);

  mutable std::mutex mutex_;
  std::uint32_t start_ = 0;  // clock reading at SetClock
  std::uint64_t ticks_ = 0;  // milliseconds advanced since SetClock
  std::multimap<std::uint64_t, Event> events_;
  std::function<void(std::uint32_t)> sleepObserver_;
  std::chrono::microseconds realSleepDelay_{0};
  std::chrono::microseconds realBeepDelay_{0};

  WaitMode waitMode_ = WaitMode::kPoll;
  std::uint64_t pointerSerial_ = 0;
  std::uint64_t pollMarks_ = 0;
  std::uint64_t wakes_ = 0;
  std::uint64_t layoutSerial_ = 0;
  int waitReturns_ = 0;

  Point cursor_;
  bool cursorReadable_ = true;
  std::function<std::optional<Point>(std::uint32_t)> cursorSource_;
  std::vector<Point> cursorSets_;
  std::vector<std::uint32_t> cursorSetTimes_;
  int cursorReads_ = 0;

  ScreenSize screen_{1920, 1080};
  int screenReads_ = 0;

  std::vector<Tone> tones_;
  std::vector<std::thread::id> toneThreads_;
  int beepsNow_ = 0;
  int maxConcurrentBeeps_ = 0;
  std::vector<std::uint32_t> expectedTones_;
  int dropCalls_ = 0;
  std::atomic<bool> ending_{false};

  ThreadMode threadMode_ = ThreadMode::kRecord;
  int startedThreads_ = 0;
  std::vector<std::function<void()>> recorded_;
  std::vector<std::thread> threads_;

  bool openUrlResult_ = true;
  std::vector<std::string> openedUrls_;
};

}  // namespace zintrel::platform
