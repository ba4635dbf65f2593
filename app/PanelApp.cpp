#include "app/PanelApp.h"

#include <wx/msgdlg.h>
// (after msgdlg.h, which it builds on)
#include <wx/generic/msgdlgg.h>

#include <utility>

#include "app/CommandLine.h"
#include "panel/EngineWorkers.h"
#include "panel/PanelDlg.h"

namespace zintrel {

CPanelApp::CPanelApp(std::vector<std::string> args) : args_(std::move(args)) {}

bool CPanelApp::InitInstance() {
  CPanelDlg panel;
  SetTopWindow(&panel);
  panel_ = &panel;

  LaunchSettings settings;
  settings.autoStartOnly = panel.m_bAutoStartOnly;
  settings.autoStartAndHide = panel.m_bAutoStartAndHide;
  settings.wrapMouse = panel.m_bWrapMouse;
  settings.makeNoSound = panel.m_bMakeNoSound;
  settings.pitch = panel.m_nPitch;
  settings.interval = panel.m_nInterval;
  const CommandLineResult parsed = ParseCommandLine(args_, settings);
  panel.m_bAutoStartOnly = parsed.settings.autoStartOnly;
  panel.m_bAutoStartAndHide = parsed.settings.autoStartAndHide;
  panel.m_bWrapMouse = parsed.settings.wrapMouse;
  panel.m_bMakeNoSound = parsed.settings.makeNoSound;
  panel.m_nPitch = parsed.settings.pitch;
  panel.m_nInterval = parsed.settings.interval;

  for (const InfoMessage& message : parsed.messages) {
    if (endRequested_) break;
    // No owner: the panel's window does not exist yet. The generic box runs
    // a wx modal loop, which an end request can close (GTK's native one
    // cannot be ended from the program).
    wxGenericMessageDialog box(nullptr, wxString::FromUTF8(message.text),
                               wxString::FromUTF8(message.caption),
                               wxOK | wxICON_INFORMATION | wxDIALOG_NO_PARENT);
    box.ShowModal();
  }

  if (!endRequested_) panel.DoModal();

  // The workers read the panel's sliders and write its texts: they end
  // before the panel does.
  PanelWorkers().endAllWorkers();
  panel_ = nullptr;
  SetTopWindow(nullptr);
  return false;
}

void CPanelApp::RequestEnd() {
  CallAfter([this] {
    endRequested_ = true;
    if (panel_ != nullptr) panel_->RequestEnd();
  });
}

}  // namespace zintrel
