#pragma once

// A fake desktop installed as the current platform, the engine's shared
// state reset, and sliders and a status sink published as the panel would.

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/SharedState.h"
#include "engine/SliderPosition.h"
#include "engine/StatusTexts.h"
#include "platform/fake/FakePlatform.h"

namespace zintrel::testing {

class RecordingTexts : public StatusTexts {
 public:
  using Sent = std::pair<int, std::string>;
  void SetDlgItemText(int controlId, const char* text) override;
  std::vector<Sent> sent() const;

 private:
  mutable std::mutex mutex_;
  std::vector<Sent> sent_;
};

class EngineTest : public ::testing::Test {
 protected:
  EngineTest();
  ~EngineTest() override;

  // Restarts the fake clock at `start`. Whatever is scheduled afterwards is
  // followed, far later, by the process end, so that a test whose stop never
  // comes ends instead of hanging.
  void StartClockAt(std::uint32_t start);
  // g_bStopped is set when the fake clock shows `time`.
  void StopAt(std::uint32_t time);

  platform::FakePlatform fake_;
  SliderPosition interval_;
  SliderPosition pitch_;
  RecordingTexts texts_;
};

}  // namespace zintrel::testing
