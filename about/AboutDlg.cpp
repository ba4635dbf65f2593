#include "about/AboutDlg.h"

#include <wx/textctrl.h>

#include <cstdio>
#include <string>

#include "about/ModalFrame.h"
#include "platform/Platform.h"
#include "res/AboutBoxTemplate.h"
#include "res/ResourceIds.h"

namespace zintrel {

CAboutLinkDlg::CAboutLinkDlg(wxWindow* parent) : CDialog(res::kAboutBoxTemplate, parent) {
  DrawModalFrame(*this);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnGoThere(); }, res::IDC_GO_THERE);
}

void CAboutLinkDlg::DoDataExchange() { SetDlgItemText(res::IDC_WEB_ADDRESS, kWebHost); }

void CAboutLinkDlg::OnGoThere() {
  const std::string address = std::string(kWebAddressScheme) + kWebHost;
  if (platform::Current().OpenUrl(address)) return;
  // Nothing could open the site: say so where a desktop program's messages
  // go, and hand the user the host, selected, to copy into a browser. The box
  // stays open.
  std::fprintf(stderr, "zintrel: no web browser could be started for %s\n", address.c_str());
  std::fflush(stderr);
  if (auto* host = dynamic_cast<wxTextCtrl*>(GetDlgItem(res::IDC_WEB_ADDRESS))) {
    host->SetFocus();
    host->SelectAll();
  }
}

CAboutDlg::CAboutDlg() : CDialog(res::kAboutBoxTemplate, nullptr) { DrawModalFrame(*this); }

void CAboutDlg::DoDataExchange() {
  SetDlgItemText(res::IDC_WEB_ADDRESS, kWebHost);
  ShowDlgItem(res::IDC_GO_THERE, false);
}

}  // namespace zintrel
