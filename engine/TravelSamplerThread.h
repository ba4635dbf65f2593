#pragma once

#include "engine/WorkerRole.h"

namespace zintrel {

// Measures the cursor's travel in windows as long as the Interval slider's
// position and stores each window's travel in g_nTravel. Returns within one
// 1 ms poll of g_bStopped being set or `ticket` going stale.
void TravelSamplerThread(WorkerTicket ticket);

}  // namespace zintrel
