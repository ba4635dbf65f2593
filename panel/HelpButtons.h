#pragma once

class wxWindow;

namespace zintrel {

// Shows the help message of the help button `controlId` over `owner`.
void ShowHelpFor(wxWindow* owner, int controlId);

}  // namespace zintrel
