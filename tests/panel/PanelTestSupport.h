#pragma once

// Shared by the panel tests: worker starts that are counted instead of run,
// and helpers that drive a dialog the way the toolkit does.

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/uiaction.h>

#include <functional>

#include "dialog/TemplateDialog.h"
#include "engine/SharedState.h"
#include "panel/EngineWorkers.h"
#include "platform/fake/FakePlatform.h"
#include "tests/wx/DialogDriving.h"
#include "tests/wx/WxPump.h"

namespace zintrel::test {

// What the panel asked of the engine, and the shared state at each start.
struct WorkerLog {
  int speedMonitor = 0, sampler = 0, tonePlayer = 0, wrapper = 0, endAll = 0;
  bool stoppedWhenSamplerStarted = true;
  bool stoppedWhenTonePlayerStarted = true;
  bool wrapStoppedWhenWrapperStarted = true;
  bool muteWhenTonePlayerStarted = false;
  bool panelPublishedWhenMonitorStarted = false;
  std::int32_t intervalWhenMonitorStarted = -1;
  std::int32_t pitchWhenMonitorStarted = -1;
};

WorkerLog& Log();
void InstallCountingWorkers();

// Resets the engine flags and the worker log, and counts worker starts.
class PanelFixture : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The platform the handlers reach (Stop asks it to drop pending tones).
  platform::FakePlatform platform_;
};

// A click as the toolkit reports it: a push button's command, or a check box
// toggled and then reported (the boxes are automatic).
void Click(CDialog& dialog, int id);

}  // namespace zintrel::test
