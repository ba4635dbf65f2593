#include "tests/panel/PanelTestSupport.h"

#include <wx/button.h>
#include <wx/toplevel.h>

namespace zintrel::test {

WorkerLog& Log() {
  static WorkerLog log;
  return log;
}

void InstallCountingWorkers() {
  PanelWorkers() = EngineWorkers{
      [] {
        auto& log = Log();
        ++log.speedMonitor;
        log.panelPublishedWhenMonitorStarted = g_hPanelWnd.load() != nullptr &&
                                               g_pIntervalSlider.load() != nullptr &&
                                               g_pPitchSlider.load() != nullptr;
        if (auto* s = g_pIntervalSlider.load()) log.intervalWhenMonitorStarted = s->GetPos();
        if (auto* s = g_pPitchSlider.load()) log.pitchWhenMonitorStarted = s->GetPos();
      },
      [] {
        ++Log().sampler;
        Log().stoppedWhenSamplerStarted = g_bStopped.load();
      },
      [] {
        ++Log().tonePlayer;
        Log().stoppedWhenTonePlayerStarted = g_bStopped.load();
        Log().muteWhenTonePlayerStarted = g_bMute.load();
      },
      [] {
        ++Log().wrapper;
        Log().wrapStoppedWhenWrapperStarted = g_bWrapStopped.load();
      },
      [] { ++Log().endAll; },
  };
}

void PanelFixture::SetUp() {
  g_bStopped = true;
  g_bWrapStopped = true;
  g_bMute = false;
  g_pIntervalSlider = nullptr;
  g_pPitchSlider = nullptr;
  g_hPanelWnd = nullptr;
  Log() = WorkerLog{};
  InstallCountingWorkers();
  platform::Install(platform_);
}

void PanelFixture::TearDown() { PanelWorkers() = DefaultEngineWorkers(); }

void Click(CDialog& dialog, int id) {
  wxWindow* w = dialog.GetDlgItem(id);
  ASSERT_NE(w, nullptr) << id;
  ASSERT_TRUE(w->IsEnabled()) << "control " << id << " is disabled";
  if (auto* box = dynamic_cast<wxCheckBox*>(w)) {
    box->SetValue(!box->GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, id);
    event.SetEventObject(box);
    event.SetInt(box->GetValue());
    box->GetEventHandler()->ProcessEvent(event);
  } else {
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(event);
  }
}

}  // namespace zintrel::test
