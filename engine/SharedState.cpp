#include "engine/SharedState.h"

namespace zintrel {

std::atomic<bool> g_bStopped{true};
std::atomic<bool> g_bWrapStopped{true};
std::atomic<bool> g_bMute{false};
std::atomic<std::int32_t> g_nTravel{0};

std::atomic<const SliderPosition*> g_pIntervalSlider{nullptr};
std::atomic<const SliderPosition*> g_pPitchSlider{nullptr};
std::atomic<StatusTexts*> g_hPanelWnd{nullptr};

std::atomic<bool> g_bProcessEnding{false};

}  // namespace zintrel
