#include "engine/WorkerStart.h"

#include "engine/CursorWrapThread.h"
#include "engine/SharedState.h"
#include "engine/SpeedMonitorThread.h"
#include "engine/TonePlayerThread.h"
#include "engine/TravelSamplerThread.h"
#include "platform/Platform.h"

namespace zintrel {
namespace {

// The ticket is issued here, on the main thread, so the previous worker of
// the role is stale from this moment on, not only once the new thread runs.
template <void (*Worker)(WorkerTicket)>
void Start(WorkerRole role) {
  const WorkerTicket ticket = WorkerTicket::Issue(role);
  platform::Current().StartThread([ticket] { Worker(ticket); });
}

}  // namespace

void StartSpeedMonitor() { Start<&SpeedMonitorThread>(WorkerRole::kSpeedMonitor); }
void StartTravelSampler() { Start<&TravelSamplerThread>(WorkerRole::kTravelSampler); }
void StartTonePlayer() { Start<&TonePlayerThread>(WorkerRole::kTonePlayer); }
void StartCursorWrapper() { Start<&CursorWrapThread>(WorkerRole::kCursorWrapper); }

void EndAllWorkers() {
  g_bStopped.store(true);
  SetProcessEnding();
  platform::Current().JoinWorkers();
}

}  // namespace zintrel
