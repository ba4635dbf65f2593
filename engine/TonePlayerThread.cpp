#include "engine/TonePlayerThread.h"

#include <cstdint>

#include "engine/SharedState.h"
#include "engine/SliderRead.h"
#include "platform/Platform.h"

namespace zintrel {

void TonePlayerThread(WorkerTicket ticket) {
  WorkerSlot slot(ticket);
  if (!slot.Held()) return;
  platform::Platform& platform = platform::Current();
  const auto running = [&] { return !g_bStopped.load() && ticket.Valid(); };

  for (;;) {
    // Taken before the tests, so a change made after them ends the wait.
    const std::uint32_t seen = g_nSignal.load();
    if (!running()) return;
    if (g_nTravel.load() == 0 || g_bMute.load()) {
      // Nothing to play until a new travel, a mute change or Stop.
      platform.WaitForSignal(g_nSignal, seen);
    } else {
      const std::optional<std::int32_t> interval = ReadSlider(g_pIntervalSlider);
      const std::optional<std::int32_t> pitch = ReadSlider(g_pPitchSlider);
      if (!interval || !pitch) return;
      // Read again: a window may have ended since the test above.
      const std::int32_t travel = g_nTravel.load();
      // The product of two 32-bit values always fits in 64 bits; a frequency
      // the tone service cannot render is silence for the tone's length.
      platform.Beep(std::int64_t{travel} * *pitch, *interval / 2);
    }
  }
}

}  // namespace zintrel
