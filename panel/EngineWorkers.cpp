#include "panel/EngineWorkers.h"

#include "engine/WorkerStart.h"

namespace zintrel {

EngineWorkers DefaultEngineWorkers() {
  return {&StartSpeedMonitor, &StartTravelSampler, &StartTonePlayer, &StartCursorWrapper,
          &EndAllWorkers};
}

EngineWorkers& PanelWorkers() {
  static EngineWorkers workers = DefaultEngineWorkers();
  return workers;
}

}  // namespace zintrel
