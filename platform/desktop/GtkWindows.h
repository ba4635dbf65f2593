#pragma once

// Window and frame settings that wx has no call for, made on the GTK widgets
// underneath. Main thread only.

#include <functional>

class wxWindow;

namespace zintrel::platform {

// Asks the window manager to offer no move (and no resize, minimize or
// maximize) for the top-level `window`: only closing stays on offer. Takes
// effect whether or not the window has been realized yet.
void OfferNoMove(wxWindow& window);

// Centres the caption of the group box `box` (a wxStaticBox) on its top edge.
void CentreGroupCaption(wxWindow& box);

// GTK hands a click on a disabled control to no one, not even the window
// around it. Calls `onRightClick` with the screen position of each right
// click on a disabled control inside the top-level `window` (the click itself
// then goes on as before). One window at a time: the last one given.
void OnRightClickOnDisabled(wxWindow& window, std::function<void(int x, int y)> onRightClick);
// Stops the calls for `window` (before it is destroyed).
void ForgetRightClicksOnDisabled(wxWindow& window);

}  // namespace zintrel::platform
