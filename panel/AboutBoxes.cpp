#include "panel/AboutBoxes.h"

#if __has_include("about/AboutDlg.h")
#include "about/AboutDlg.h"
#define ZINTREL_HAVE_ABOUT_BOXES 1
#endif

namespace zintrel {

#ifdef ZINTREL_HAVE_ABOUT_BOXES
void ShowAboutLinkBox(wxWindow* owner) {
  CAboutLinkDlg dlg(owner);
  dlg.DoModal();
}

void ShowAboutBox(wxWindow*) {
  // No parent: the application's main window, the panel, owns the box.
  CAboutDlg dlg;
  dlg.DoModal();
}
#else
// TEMPORARY until the About boxes land.
void ShowAboutLinkBox(wxWindow*) {}
void ShowAboutBox(wxWindow*) {}
#endif

}  // namespace zintrel
