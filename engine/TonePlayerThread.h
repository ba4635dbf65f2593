#pragma once

#include "engine/WorkerRole.h"

namespace zintrel {

// While g_nTravel is not 0 and the sound is not muted, plays tones of
// g_nTravel x Pitch hertz lasting Interval / 2 ms, one after the other;
// otherwise looks again every millisecond. Returns after the tone in
// progress once g_bStopped is set or `ticket` goes stale.
void TonePlayerThread(WorkerTicket ticket);

}  // namespace zintrel
