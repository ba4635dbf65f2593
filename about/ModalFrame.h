#pragma once

class wxWindow;

namespace zintrel {

// The About box has no caption bar, and GTK gives a window without one no
// frame either: over the panel, whose colour it shares, its edges would not
// show. This draws a raised frame of two pixels inside its edges instead.
void DrawModalFrame(wxWindow& box);

}  // namespace zintrel
