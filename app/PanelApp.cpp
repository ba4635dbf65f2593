#include "app/PanelApp.h"

#include <wx/msgdlg.h>
// (after msgdlg.h, which it builds on)
#include <wx/generic/msgdlgg.h>

#include <cstdlib>
#include <utility>

#include "app/CommandLine.h"
#include "app/EndSignals.h"
#include "panel/EngineWorkers.h"
#include "panel/PanelDlg.h"

namespace zintrel {

CPanelApp::CPanelApp(std::vector<std::string> args, std::function<void()> endForSignal)
    : args_(std::move(args)), endForSignal_(std::move(endForSignal)) {}

bool CPanelApp::InitInstance() {
  CPanelDlg panel;
  SetTopWindow(&panel);

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
    wxGenericMessageDialog box(nullptr, wxString::FromUTF8(message.text),
                               wxString::FromUTF8(message.caption),
                               wxOK | wxICON_INFORMATION | wxDIALOG_NO_PARENT);
    box.ShowModal();
  }

  panel.DoModal();

  // The workers read the panel's sliders and write its texts: they end
  // before the panel does.
  PanelWorkers().endAllWorkers();
  SetTopWindow(nullptr);
  return false;
}

void CPanelApp::RequestEnd() {
  CallAfter([this] { EndForSignal(); });
}

void CPanelApp::EndForSignal() {
  // The main thread may be in any number of event loops nested in one
  // another: the panel's, a box's over it, the context menu's, a start-up
  // box's, or one of the toolkit's own. The toolkit can end only the
  // innermost loop from here, so rather than unwinding them one by one the
  // process ends from where it stands: the engine's workers return first
  // (the tone in progress is cut short), then the devices are released and
  // the process exits. Its windows go with its X connection.
  PanelWorkers().endAllWorkers();
  if (endForSignal_) endForSignal_();
  std::_Exit(128 + EndSignalNumber());
}

}  // namespace zintrel
