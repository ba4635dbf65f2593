#pragma once

// How the panel starts the engine's workers. By default these are the
// engine's own start functions; a test may put counting functions in their
// place to see exactly which workers a handler starts.

namespace zintrel {

struct EngineWorkers {
  void (*startSpeedMonitor)();
  void (*startTravelSampler)();
  void (*startTonePlayer)();
  void (*startCursorWrapper)();
  void (*endAllWorkers)();
};

EngineWorkers& PanelWorkers();
// The engine's own functions.
EngineWorkers DefaultEngineWorkers();

}  // namespace zintrel
