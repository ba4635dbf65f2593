#pragma once

#include "engine/WorkerRole.h"

namespace zintrel {

// Measures the cursor's travel in windows of 300 ms for as long as the
// process lives and shows it on the panel (through g_hPanelWnd) as a speed
// word and "<n> pixels per second.", sending only what changed. Returns
// once `ticket` is stale or the process is ending.
void SpeedMonitorThread(WorkerTicket ticket);

}  // namespace zintrel
