#include "platform/fake/FakePlatform.h"

#include <algorithm>
#include <utility>

namespace zintrel::platform {

FakePlatform::FakePlatform() = default;

FakePlatform::~FakePlatform() { JoinWorkers(); }

// --- Platform ---

bool FakePlatform::GetCursorPos(Point& out) {
  std::function<std::optional<Point>(std::uint32_t)> source;
  std::uint32_t now = 0;
  {
    std::lock_guard lock(mutex_);
    ++cursorReads_;
    if (!cursorSource_) {
      if (!cursorReadable_) return false;
      out = cursor_;
      return true;
    }
    source = cursorSource_;
    now = ClockLocked();
  }
  const std::optional<Point> p = source(now);
  if (!p) return false;
  out = *p;
  return true;
}

bool FakePlatform::SetCursorPos(std::int32_t x, std::int32_t y) {
  std::lock_guard lock(mutex_);
  cursor_ = {x, y};
  cursorSets_.push_back(cursor_);
  cursorSetTimes_.push_back(ClockLocked());
  ++pointerSerial_;
  return true;
}

ScreenSize FakePlatform::GetPrimaryScreenSize() {
  std::lock_guard lock(mutex_);
  ++screenReads_;
  return screen_;
}

std::uint32_t FakePlatform::Clock() {
  std::lock_guard lock(mutex_);
  return ClockLocked();
}

void FakePlatform::Sleep(std::uint32_t ms) {
  std::function<void(std::uint32_t)> observer;
  std::uint32_t now = 0;
  std::chrono::microseconds delay{0};
  {
    std::lock_guard lock(mutex_);
    observer = sleepObserver_;
    now = ClockLocked();
    delay = realSleepDelay_;
  }
  if (observer) observer(now);
  Advance(ms);
  if (delay.count() > 0 && !ending_.load()) std::this_thread::sleep_for(delay);
}

void FakePlatform::Beep(std::int64_t hertz, std::int32_t milliseconds) {
  std::chrono::microseconds delay{0};
  {
    std::lock_guard lock(mutex_);
    tones_.push_back({hertz, milliseconds, ClockLocked()});
    toneThreads_.push_back(std::this_thread::get_id());
    ++beepsNow_;
    maxConcurrentBeeps_ = std::max(maxConcurrentBeeps_, beepsNow_);
    delay = realBeepDelay_;
  }
  if (milliseconds > 0) Advance(static_cast<std::uint32_t>(milliseconds));
  if (delay.count() > 0 && !ending_.load()) std::this_thread::sleep_for(delay);
  std::lock_guard lock(mutex_);
  --beepsNow_;
}

void FakePlatform::ExpectTone() {
  std::lock_guard lock(mutex_);
  expectedTones_.push_back(ClockLocked());
}

void FakePlatform::DropPendingTones() {
  std::lock_guard lock(mutex_);
  ++dropCalls_;
}

std::vector<std::uint32_t> FakePlatform::ExpectedTones() const {
  std::lock_guard lock(mutex_);
  return expectedTones_;
}

int FakePlatform::DroppedTonesCalls() const {
  std::lock_guard lock(mutex_);
  return dropCalls_;
}

void FakePlatform::StartThread(std::function<void()> work) {
  ThreadMode mode;
  {
    std::lock_guard lock(mutex_);
    ++startedThreads_;
    mode = threadMode_;
    if (mode == ThreadMode::kRecord) {
      recorded_.push_back(std::move(work));
      return;
    }
    if (mode == ThreadMode::kReal) {
      threads_.emplace_back(std::move(work));
      return;
    }
  }
  work();
}

void FakePlatform::JoinWorkers() {
  ending_.store(true);
  std::vector<std::thread> all;
  {
    std::lock_guard lock(mutex_);
    all.swap(threads_);
  }
  for (std::thread& t : all) t.join();
  ending_.store(false);
}

bool FakePlatform::OpenUrl(const std::string& url) {
  std::lock_guard lock(mutex_);
  openedUrls_.push_back(url);
  return openUrlResult_;
}

// --- Waiting ---

WaitMark FakePlatform::Mark() {
  std::lock_guard lock(mutex_);
  if (waitMode_ == WaitMode::kPoll) return {++pollMarks_, wakes_};
  return {pointerSerial_, wakes_};
}

bool FakePlatform::PointerChangedSince(const WaitMark& since) const {
  // A cursor source may move at any moment: every millisecond counts as motion.
  return cursorSource_ || pointerSerial_ != since.pointer || wakes_ != since.wakes;
}

void FakePlatform::WaitTick() {
  std::chrono::microseconds delay{0};
  {
    std::lock_guard lock(mutex_);
    delay = realSleepDelay_;
  }
  Advance(1);
  if (delay.count() > 0 && !ending_.load()) std::this_thread::sleep_for(delay);
}

void FakePlatform::WaitForPointer(const WaitMark& since, std::uint32_t ms) {
  WaitMode mode;
  {
    std::lock_guard lock(mutex_);
    mode = waitMode_;
  }
  if (mode == WaitMode::kPoll) {
    Sleep(1);
  } else {
    for (std::uint32_t waited = 0; ms == kWaitForever || waited < ms; ++waited) {
      WaitTick();
      std::lock_guard lock(mutex_);
      if (PointerChangedSince(since) || ending_.load()) break;
    }
  }
  std::lock_guard lock(mutex_);
  ++waitReturns_;
}

void FakePlatform::WaitForSignal(const std::atomic<std::uint32_t>& signal, std::uint32_t seen) {
  WaitMode mode;
  {
    std::lock_guard lock(mutex_);
    mode = waitMode_;
  }
  if (mode == WaitMode::kPoll) {
    Sleep(1);
  } else {
    while (signal.load() == seen && !ending_.load()) WaitTick();
  }
  std::lock_guard lock(mutex_);
  ++waitReturns_;
}

void FakePlatform::WakeWaiters() {
  std::lock_guard lock(mutex_);
  ++wakes_;
}

std::uint64_t FakePlatform::LayoutSerial() {
  std::lock_guard lock(mutex_);
  return layoutSerial_;
}

void FakePlatform::SetWaitMode(WaitMode mode) {
  std::lock_guard lock(mutex_);
  waitMode_ = mode;
}

int FakePlatform::WaitReturns() const {
  std::lock_guard lock(mutex_);
  return waitReturns_;
}

// --- Clock and schedule ---

std::uint32_t FakePlatform::ClockLocked() const {
  return static_cast<std::uint32_t>(start_ + static_cast<std::uint32_t>(ticks_));
}

void FakePlatform::SetClock(std::uint32_t now) {
  std::lock_guard lock(mutex_);
  start_ = now;
  ticks_ = 0;
  events_.clear();
}

void FakePlatform::Schedule(std::uint32_t time, Event event) {
  std::lock_guard lock(mutex_);
  // The next moment the 32-bit clock shows `time`, counted in ticks so that
  // the order of events survives the clock's wrap.
  const std::uint32_t ahead = time - ClockLocked();
  events_.emplace(ticks_ + ahead, std::move(event));
}

void FakePlatform::At(std::uint32_t time, std::function<void()> action) {
  Schedule(time, Event{std::move(action), std::nullopt});
}

void FakePlatform::Advance(std::uint32_t ms) {
  std::uint64_t target;
  {
    std::lock_guard lock(mutex_);
    target = ticks_ + ms;
  }
  for (;;) {
    std::function<void()> action;
    {
      std::lock_guard lock(mutex_);
      auto first = events_.begin();
      if (first == events_.end() || first->first > target) {
        ticks_ = std::max(ticks_, target);
        return;
      }
      ticks_ = std::max(ticks_, first->first);
      if (first->second.cursorMove) {
        cursor_ = *first->second.cursorMove;
        ++pointerSerial_;
        if (first->second.layoutChange) ++layoutSerial_;
      } else {
        action = std::move(first->second.action);
      }
      events_.erase(first);
    }
    if (action) action();
  }
}

void FakePlatform::SetSleepObserver(std::function<void(std::uint32_t)> observer) {
  std::lock_guard lock(mutex_);
  sleepObserver_ = std::move(observer);
}

void FakePlatform::SetRealDelay(std::chrono::microseconds sleep, std::chrono::microseconds beep) {
  std::lock_guard lock(mutex_);
  realSleepDelay_ = sleep;
  realBeepDelay_ = beep;
}

// --- Cursor ---

void FakePlatform::PlaceCursor(Point p) {
  std::lock_guard lock(mutex_);
  cursor_ = p;
  ++pointerSerial_;
}

void FakePlatform::ChangeLayoutAt(std::uint32_t time, Point cursor) {
  Schedule(time, Event{{}, cursor, true});
}

void FakePlatform::MoveCursorAt(std::uint32_t time, std::int32_t x, std::int32_t y) {
  Schedule(time, Event{{}, Point{x, y}});
}

void FakePlatform::SetCursorPath(const std::vector<CursorMove>& path) {
  for (const CursorMove& m : path) MoveCursorAt(m.time, m.x, m.y);
}

void FakePlatform::SetCursorSource(std::function<std::optional<Point>(std::uint32_t)> source) {
  std::lock_guard lock(mutex_);
  cursorSource_ = std::move(source);
  ++pointerSerial_;
}

void FakePlatform::SetCursorReadable(bool readable) {
  std::lock_guard lock(mutex_);
  cursorReadable_ = readable;
  ++pointerSerial_;
}

Point FakePlatform::Cursor() const {
  std::lock_guard lock(mutex_);
  return cursor_;
}

std::vector<Point> FakePlatform::CursorSets() const {
  std::lock_guard lock(mutex_);
  return cursorSets_;
}

std::vector<FakePlatform::CursorMove> FakePlatform::TimedCursorSets() const {
  std::lock_guard lock(mutex_);
  std::vector<CursorMove> sets;
  for (std::size_t i = 0; i < cursorSets_.size(); ++i) {
    sets.push_back({cursorSetTimes_[i], cursorSets_[i].x, cursorSets_[i].y});
  }
  return sets;
}

int FakePlatform::CursorReads() const {
  std::lock_guard lock(mutex_);
  return cursorReads_;
}

// --- Screen ---

void FakePlatform::SetScreenSize(ScreenSize size) {
  std::lock_guard lock(mutex_);
  screen_ = size;
  ++pointerSerial_;
}

int FakePlatform::ScreenReads() const {
  std::lock_guard lock(mutex_);
  return screenReads_;
}

// --- Tones ---

std::vector<FakePlatform::Tone> FakePlatform::Tones() const {
  std::lock_guard lock(mutex_);
  return tones_;
}

std::vector<std::thread::id> FakePlatform::ToneThreads() const {
  std::lock_guard lock(mutex_);
  return toneThreads_;
}

int FakePlatform::MaxConcurrentBeeps() const {
  std::lock_guard lock(mutex_);
  return maxConcurrentBeeps_;
}

// --- Threads ---

void FakePlatform::SetThreadMode(ThreadMode mode) {
  std::lock_guard lock(mutex_);
  threadMode_ = mode;
}

int FakePlatform::StartedThreads() const {
  std::lock_guard lock(mutex_);
  return startedThreads_;
}

void FakePlatform::RunRecordedThreads() {
  std::vector<std::function<void()>> works;
  {
    std::lock_guard lock(mutex_);
    works.swap(recorded_);
  }
  for (auto& work : works) work();
}

// --- Browser ---

void FakePlatform::SetOpenUrlResult(bool result) {
  std::lock_guard lock(mutex_);
  openUrlResult_ = result;
}

std::vector<std::string> FakePlatform::OpenedUrls() const {
  std::lock_guard lock(mutex_);
  return openedUrls_;
}

}  // namespace zintrel::platform
