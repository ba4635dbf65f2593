#include "engine/SharedState.h"

#include "platform/Platform.h"

namespace zintrel {

std::atomic<bool> g_bStopped{true};
std::atomic<bool> g_bWrapStopped{true};
std::atomic<bool> g_bMute{false};
std::atomic<std::int32_t> g_nTravel{0};

std::atomic<const SliderPosition*> g_pIntervalSlider{nullptr};
std::atomic<const SliderPosition*> g_pPitchSlider{nullptr};
std::atomic<StatusTexts*> g_hPanelWnd{nullptr};

std::atomic<bool> g_bProcessEnding{false};
std::atomic<std::uint32_t> g_nSignal{0};

namespace {
void BumpSignal() {
  g_nSignal.fetch_add(1);
  g_nSignal.notify_all();
}
}  // namespace

void SignalWorkers() {
  BumpSignal();
  if (platform::Platform* p = platform::CurrentIfInstalled()) p->WakeWaiters();
}

void SetStopped(bool stopped) {
  g_bStopped.store(stopped);
  SignalWorkers();
}

void SetWrapStopped(bool wrapStopped) {
  g_bWrapStopped.store(wrapStopped);
  SignalWorkers();
}

void SetMute(bool mute) {
  g_bMute.store(mute);
  SignalWorkers();
}

void SetProcessEnding() {
  g_bProcessEnding.store(true);
  SignalWorkers();
}

void PublishTravel(std::int32_t travel) {
  // Only the tone player waits for a travel; the pointer waiters sleep on.
  if (g_nTravel.exchange(travel) != travel) BumpSignal();
}

}  // namespace zintrel
