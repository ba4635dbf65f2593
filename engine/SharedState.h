#pragma once

// State shared between the panel's thread and the engine's worker threads.
// Every value is an atomic that one side writes and the other polls; there
// are no locks.

#include <atomic>
#include <cstdint>

#include "engine/SliderPosition.h"
#include "engine/StatusTexts.h"

namespace zintrel {

extern std::atomic<bool> g_bStopped;         // true while the engine is stopped
extern std::atomic<bool> g_bWrapStopped;     // true asks the cursor wrapper to end
extern std::atomic<bool> g_bMute;            // true while the no-sound box is checked
extern std::atomic<std::int32_t> g_nTravel;  // last window travel of the sampler

extern std::atomic<const SliderPosition*> g_pIntervalSlider;
extern std::atomic<const SliderPosition*> g_pPitchSlider;
extern std::atomic<StatusTexts*> g_hPanelWnd;

// Set once when the process is ending: every worker, the speed monitor
// included, returns at its next test so that the workers can be joined
// before the panel they read from is destroyed.
extern std::atomic<bool> g_bProcessEnding;

// Grows with every change a waiting worker must see: a run flag, the mute
// flag, process end, a new worker ticket, a new window travel. Writers go
// through the functions below, which wake the waiters.
extern std::atomic<std::uint32_t> g_nSignal;

// Wakes every waiting worker: the tone player's wait on g_nSignal and the
// measuring threads' and the wrapper's waits for the pointer.
void SignalWorkers();
// The run control's writes: each stores its flag, then wakes the workers.
void SetStopped(bool stopped);
void SetWrapStopped(bool wrapStopped);
void SetMute(bool mute);
void SetProcessEnding();
// The sampler's write of a window travel; wakes the tone player when the
// value changed.
void PublishTravel(std::int32_t travel);

}  // namespace zintrel
