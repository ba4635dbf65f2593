#include "engine/CursorWrapThread.h"

#include "engine/SharedState.h"
#include "platform/Platform.h"

namespace zintrel {
namespace {

constexpr std::uint32_t kPassMs = 10;

// One look at the cursor. The four tests all use this one sample, so a move
// made by an earlier test is not seen by the later ones; at a corner the
// later move wins and the next pass finishes the wrap.
void WrapOnce(platform::Platform& platform) {
  const platform::ScreenSize screen = platform.GetPrimaryScreenSize();
  platform::Point cursor;
  // Without a screen size or a cursor position there is nothing to test.
  if (screen.width <= 0 || screen.height <= 0 || !platform.GetCursorPos(cursor)) return;
  const std::int32_t w = screen.width;
  const std::int32_t h = screen.height;
  const std::int32_t x = cursor.x;
  const std::int32_t y = cursor.y;
  if (x == w - 1) platform.SetCursorPos(1, y);
  if (y == h - 1) platform.SetCursorPos(x, 1);
  if (x == 0) platform.SetCursorPos(w - 2, y);
  if (y == 0) platform.SetCursorPos(x, h - 2);
}

}  // namespace

void CursorWrapThread(WorkerTicket ticket) {
  WorkerSlot slot(ticket);
  if (!slot.Held()) return;
  platform::Platform& platform = platform::Current();
  if (g_bStopped.load()) return;

  for (;;) {
    // Taken before the pass reads the screen and the cursor.
    const platform::WaitMark mark = platform.Mark();
    if (g_bWrapStopped.load() || !ticket.Valid()) return;
    WrapOnce(platform);
    const std::uint32_t passAt = platform.Clock();
    platform.Sleep(kPassMs);
    if (g_bStopped.load() || !ticket.Valid()) return;
    if (platform.Mark().pointer != mark.pointer) continue;
    // Nothing moved and the screen stayed as the pass found it, so passes
    // now would find the same and move nothing: sleep until the pointer or
    // the screen changes (or a flag), then go on at the next pass time of
    // the 10 ms cadence.
    platform.WaitForPointer(mark, platform::kWaitForever);
    const std::uint32_t late = (platform.Clock() - passAt) % kPassMs;
    if (late != 0) platform.Sleep(kPassMs - late);
    if (g_bStopped.load() || !ticket.Valid()) return;
  }
}

}  // namespace zintrel
