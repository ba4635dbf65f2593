#pragma once

class wxWindow;

namespace zintrel {

// The About box with the Go there button (the panel's About button).
void ShowAboutLinkBox(wxWindow* owner);
// The About box without it (the About entry of the panel's window menu).
void ShowAboutBox(wxWindow* owner);

}  // namespace zintrel
