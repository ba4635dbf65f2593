#include "engine/SpeedMonitorThread.h"

#include <cstdint>
#include <limits>

#include "engine/SharedState.h"
#include "engine/SpeedWords.h"
#include "engine/TravelWindow.h"
#include "res/ResourceIds.h"

namespace zintrel {
namespace {

constexpr std::uint32_t kWindowMs = 300;

// Three windows of 300 ms make a second; the factor is fixed whatever the
// window's real length. Saturates instead of wrapping.
std::uint32_t SpeedOf(std::uint64_t windowTravel) {
  constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
  return windowTravel > kMax / 3 ? kMax : static_cast<std::uint32_t>(windowTravel * 3);
}

}  // namespace

void SpeedMonitorThread(WorkerTicket ticket) {
  WorkerSlot slot(ticket);
  if (!slot.Held()) return;
  platform::Platform& platform = platform::Current();

  TravelWindow window;
  window.Begin(platform.Clock(), kWindowMs);
  // The panel starts out showing the halted word and a speed of 0, so a
  // first window without movement has nothing to change.
  std::uint32_t lastSpeed = 0;
  const char* lastWord = kHaltedWord;
  char value[256];

  for (;;) {
    const platform::WaitMark mark = platform.Mark();
    if (!ticket.Valid()) return;
    if (!window.Ended(window.Poll(platform, mark))) continue;
    // The next window begins before the reports, so their time counts in it.
    const std::uint32_t speed = SpeedOf(window.Next(platform.Clock(), kWindowMs));
    if (speed == lastSpeed) continue;
    lastSpeed = speed;

    StatusTexts* panel = g_hPanelWnd.load();
    const char* word = SpeedWord(speed);
    const char* changedWord = word != lastWord ? word : nullptr;
    lastWord = word;
    FormatSpeedValue(value, sizeof value, speed);
    // Word and value go as one report, so the panel shows them together.
    if (panel != nullptr) panel->SetSpeedTexts(changedWord, value);
  }
}

}  // namespace zintrel
