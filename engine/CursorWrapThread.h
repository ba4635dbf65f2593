#pragma once

#include "engine/WorkerRole.h"

namespace zintrel {

// Every 10 ms, moves a cursor found on an edge line of the primary screen
// to one pixel inside the opposite edge. Returns at the head of a pass once
// g_bWrapStopped is set, at the end of one once g_bStopped is set, or at
// either once `ticket` is stale.
void CursorWrapThread(WorkerTicket ticket);

}  // namespace zintrel
