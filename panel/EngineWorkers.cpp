#include "panel/EngineWorkers.h"

#if __has_include("engine/WorkerStart.h")
#include "engine/WorkerStart.h"
#define ZINTREL_HAVE_ENGINE_WORKERS 1
#endif

namespace zintrel {

EngineWorkers DefaultEngineWorkers() {
#ifdef ZINTREL_HAVE_ENGINE_WORKERS
  return {&StartSpeedMonitor, &StartTravelSampler, &StartTonePlayer, &StartCursorWrapper,
          &EndAllWorkers};
#else
  // TEMPORARY until the engine's start functions land.
  static constexpr auto none = [] {};
  return {+none, +none, +none, +none, +none};
#endif
}

EngineWorkers& PanelWorkers() {
  static EngineWorkers workers = DefaultEngineWorkers();
  return workers;
}

}  // namespace zintrel
