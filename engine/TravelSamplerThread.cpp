#include "engine/TravelSamplerThread.h"

#include <cstdint>
#include <limits>

#include "engine/SharedState.h"
#include "engine/SliderRead.h"
#include "engine/TravelWindow.h"

namespace zintrel {
namespace {

std::int32_t AsTravel(std::uint64_t windowTravel) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(windowTravel > kMax ? kMax : windowTravel);
}

}  // namespace

void TravelSamplerThread(WorkerTicket ticket) {
  WorkerSlot slot(ticket);
  if (!slot.Held()) return;
  platform::Platform& platform = platform::Current();
  const auto running = [&] { return !g_bStopped.load() && ticket.Valid(); };

  std::optional<std::int32_t> interval = ReadSlider(g_pIntervalSlider);
  if (!interval) return;
  TravelWindow window;
  window.Begin(platform.Clock(), WindowLength(*interval));

  for (;;) {
    const platform::WaitMark mark = platform.Mark();
    if (!running()) return;
    if (window.Ended(window.Poll(platform, mark))) {
      // The slider is read before the fresh clock reading that starts the
      // next window, so the read's time belongs to the window that ended.
      interval = ReadSlider(g_pIntervalSlider);
      if (!interval) return;
      const std::uint32_t now = platform.Clock();
      PublishTravel(AsTravel(window.Next(now, WindowLength(*interval))));
    }
    if (window.travel() != 0) platform.ExpectTone();  // a tone is due at the window's end
  }
}

}  // namespace zintrel
