#pragma once

// The About box, in its two variants built from the one template
// IDD_ABOUTBOX: with the Go there button (the panel's About button) and
// without it (the About entry of the panel's window menu).

#include "dialog/TemplateDialog.h"

class wxWindow;

namespace zintrel {

// The host of Zintrel's web site, shown in the box; Go there opens it.
inline constexpr const char kWebHost[] = "zintrel.example.org";
// What Go there opens: the host's HTTP address, no path.
inline constexpr const char kWebAddressScheme[] = "http://";

class CAboutLinkDlg : public CDialog {
 public:
  // With no parent, the application's main window owns the box.
  explicit CAboutLinkDlg(wxWindow* parent = nullptr);

  void DoDataExchange() override;
  // Opens the web site in the desktop's browser; the box stays open. When no
  // browser starts, a line on stderr says so and the host is selected in its
  // box, ready to copy.
  void OnGoThere();
};

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();

  void DoDataExchange() override;
};

}  // namespace zintrel
