#pragma once

// Window and frame settings that wx has no call for, made on the GTK widgets
// underneath. Main thread only.

class wxWindow;

namespace zintrel::platform {

// Asks the window manager to offer no move (and no resize, minimize or
// maximize) for the top-level `window`: only closing stays on offer. Takes
// effect whether or not the window has been realized yet.
void OfferNoMove(wxWindow& window);

// Centres the caption of the group box `box` (a wxStaticBox) on its top edge.
void CentreGroupCaption(wxWindow& box);

}  // namespace zintrel::platform
