#pragma once

// How the panel starts and ends the engine's workers. All of these are
// called on the main thread, return at once (EndAllWorkers excepted) and
// never wait for a worker.
//
// Contract with the caller:
// - The caller writes the run flags itself, each before starting the worker
//   that polls it: g_bStopped = false before StartTravelSampler and
//   StartTonePlayer; g_bWrapStopped = false before StartCursorWrapper.
//   A worker whose flag is set when it first looks returns at once.
// - The sliders (g_pIntervalSlider, g_pPitchSlider) and the status sink
//   (g_hPanelWnd) are published before the first start and stay alive until
//   EndAllWorkers has returned. The sink must not wait for the main thread.
// - Each start retires the previous worker of its role: the old one returns
//   at its next flag test, and the new one begins its first pass only once
//   the old one has returned. A Start straight after a Stop, or the wrap box
//   checked again straight after an uncheck, thus never leaves two workers
//   of one role running.

namespace zintrel {

// Started once, when the panel is initialised; runs until EndAllWorkers.
void StartSpeedMonitor();
void StartTravelSampler();
void StartTonePlayer();
void StartCursorWrapper();

// For process end, before the panel is destroyed: sets g_bProcessEnding and
// g_bStopped, cuts short any tone in progress and waits until every worker
// has returned. Afterwards no worker touches the sliders or the sink.
void EndAllWorkers();

}  // namespace zintrel
