#include "about/AboutDlg.h"

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
  // A failed launch leaves the box as it is; the user can still copy the host.
  platform::Current().OpenUrl(std::string(kWebAddressScheme) + kWebHost);
}

CAboutDlg::CAboutDlg() : CDialog(res::kAboutBoxTemplate, nullptr) { DrawModalFrame(*this); }

void CAboutDlg::DoDataExchange() {
  SetDlgItemText(res::IDC_WEB_ADDRESS, kWebHost);
  ShowDlgItem(res::IDC_GO_THERE, false);
}

}  // namespace zintrel
