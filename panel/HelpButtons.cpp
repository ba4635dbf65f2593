#include "panel/HelpButtons.h"

#if __has_include("panel/HelpMessages.h")
#include "panel/HelpMessages.h"
#define ZINTREL_HAVE_HELP_MESSAGES 1
#endif

namespace zintrel {

#ifdef ZINTREL_HAVE_HELP_MESSAGES
void ShowHelpFor(wxWindow* owner, int controlId) { ShowHelpMessage(owner, controlId); }
#else
// TEMPORARY until the help messages land.
void ShowHelpFor(wxWindow*, int) {}
#endif

}  // namespace zintrel
