#pragma once

// The services Zintrel needs from the desktop. The engine and the panel talk
// to this interface only; the real backend lives in platform/x11, platform/audio
// and platform/desktop, and a scriptable fake in platform/fake.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace zintrel::platform {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Where a worker stood before it looked at the pointer and its flags: waits
// given this mark return at once for anything that happened since.
struct WaitMark {
  std::uint64_t pointer = 0;  // PointerSerial-like count of pointer and screen changes
  std::uint64_t wakes = 0;    // count of WakeWaiters calls
};

// A wait with no deadline of its own.
inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const ScreenSize&, const ScreenSize&) = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Cursor position in desktop pixels, (0, 0) at the primary monitor's
  // top-left corner. Returns false (and leaves `out` alone) when the position
  // cannot be read. Safe to call from any thread.
  virtual bool GetCursorPos(Point& out) = 0;
  // Moves the cursor; when it returns true the cursor is there.
  virtual bool SetCursorPos(std::int32_t x, std::int32_t y) = 0;
  // The primary monitor's size, read afresh at every call. {0, 0} when unknown.
  virtual ScreenSize GetPrimaryScreenSize() = 0;

  // Milliseconds since process start, wrapping modulo 2^32.
  virtual std::uint32_t Clock() = 0;
  // Sleeps at least `ms` milliseconds.
  virtual void Sleep(std::uint32_t ms) = 0;

  // A square-wave tone; blocks the caller for the tone's length. Only 20 Hz
  // up to (not including) 20 kHz sounds; any other frequency is silence for
  // the tone's length. Lengths <= 0 return at once.
  virtual void Beep(std::int64_t hertz, std::int32_t milliseconds) = 0;
  // A tone may come soon: get the sound path ready, so that it is not late.
  // Cheap; may be called at every poll while the cursor moves.
  virtual void ExpectTone() {}
  // Drops tones queued but not yet sounding; the tone in progress plays to
  // its end, and no sound path is kept open for later. For Stop.
  virtual void DropPendingTones() {}

  // Starts `work` on a new thread at once. The platform keeps track of the
  // thread so that it can be joined at process end (see JoinWorkers). On
  // the real desktop such threads are named "zintrel-worker".
  virtual void StartThread(std::function<void()> work) = 0;
  // For process end: cuts short every tone and wait in progress, makes later
  // tones and waits return at once, then joins every thread StartThread started. The threads
  // must return by themselves (the engine tells them through its own flags).
  virtual void JoinWorkers() = 0;

  // --- Waiting quietly ---
  // The worker's mark: taken before it reads the pointer or tests its flags.
  virtual WaitMark Mark() = 0;
  // Returns once the pointer may have moved or the screen layout changed
  // since `since` (Zintrel's own SetCursorPos included), WakeWaiters was
  // called since, `ms` milliseconds have passed (kWaitForever: no limit), or
  // the process is ending. A platform that cannot tell when the pointer moves
  // sleeps one millisecond instead, and its marks always differ, so that its
  // callers poll.
  virtual void WaitForPointer(const WaitMark& since, std::uint32_t ms) = 0;
  // Returns once `signal` differs from `seen` (its writer calls notify_all),
  // or the process is ending. A polling platform sleeps one millisecond.
  virtual void WaitForSignal(const std::atomic<std::uint32_t>& signal, std::uint32_t seen) = 0;
  // Ends every WaitForPointer in progress; for run flags that changed.
  virtual void WakeWaiters() = 0;
  // Grows whenever the primary monitor's origin changes: positions read
  // before and after such a change are not comparable.
  virtual std::uint64_t LayoutSerial() = 0;

  // Opens `url` in the desktop's default browser. False when nothing could
  // be launched.
  virtual bool OpenUrl(const std::string& url) = 0;
};

// The platform the program runs on. Set once at start-up (or by a test)
// before any worker starts; reading it afterwards needs no lock.
Platform& Current();
// The installed platform, or nullptr before one is installed.
Platform* CurrentIfInstalled();
void Install(Platform& platform);

}  // namespace zintrel::platform
