#include "tests/engine/EngineFixture.h"

namespace zintrel::testing {

void RecordingTexts::SetDlgItemText(int controlId, const char* text) {
  std::lock_guard lock(mutex_);
  sent_.emplace_back(controlId, text);
}

std::vector<RecordingTexts::Sent> RecordingTexts::sent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

EngineTest::EngineTest() {
  platform::Install(fake_);
  g_bProcessEnding.store(false);
  g_bStopped.store(true);
  g_bWrapStopped.store(true);
  g_bMute.store(false);
  g_nTravel.store(0);
  interval_.SetPos(80);
  pitch_.SetPos(15);
  g_pIntervalSlider.store(&interval_);
  g_pPitchSlider.store(&pitch_);
  g_hPanelWnd.store(&texts_);
  StartClockAt(0);
}

EngineTest::~EngineTest() {
  g_bProcessEnding.store(true);
  g_bStopped.store(true);
  fake_.JoinWorkers();
  g_pIntervalSlider.store(nullptr);
  g_pPitchSlider.store(nullptr);
  g_hPanelWnd.store(nullptr);
  g_bProcessEnding.store(false);
}

void EngineTest::StartClockAt(std::uint32_t start) {
  fake_.SetClock(start);
  fake_.At(start + 5'000'000u, [] { g_bProcessEnding.store(true); });
}

void EngineTest::StopAt(std::uint32_t time) {
  fake_.At(time, [] { g_bStopped.store(true); });
}

}  // namespace zintrel::testing
