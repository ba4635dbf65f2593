#include "app/PanelApp.h"

#include <wx/msgdlg.h>

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
    // No owner: the panel's window does not exist yet.
    wxMessageDialog box(nullptr, wxString::FromUTF8(message.text),
                        wxString::FromUTF8(message.caption),
                        wxOK | wxICON_INFORMATION | wxDIALOG_NO_PARENT);
    box.ShowModal();
  }

  panel.DoModal();

  // The workers read the panel's sliders and write its texts: they end
  // before the panel does.
  PanelWorkers().endAllWorkers();
  panel_ = nullptr;
  SetTopWindow(nullptr);
  return false;
}

void CPanelApp::RequestEnd() {
  CallAfter([this] {
    if (panel_ != nullptr) panel_->RequestEnd();
  });
}

}  // namespace zintrel
