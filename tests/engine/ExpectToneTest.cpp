// The sampler tells the platform a tone may come as soon as a window's
// travel becomes non-zero, a window before that tone is due, and never
// while the cursor rests.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/SharedState.h"
#include "engine/TravelSamplerThread.h"
#include "tests/engine/EngineFixture.h"

namespace zintrel::testing {
namespace {

class ExpectToneTest : public EngineTest {};

TEST_F(ExpectToneTest, TheSamplerAnnouncesATonesAsSoonAsTheCursorMoves) {
  const std::uint32_t s = 1000;
  StartClockAt(s);
  fake_.PlaceCursor({100, 100});
  // Interval 80: windows end at s + 81, s + 162, s + 243. The cursor rests
  // through the first window, moves within the second, rests again after.
  fake_.MoveCursorAt(s + 100, 110, 100);
  fake_.MoveCursorAt(s + 120, 120, 100);
  StopAt(s + 300);
  g_bStopped.store(false);
  TravelSamplerThread(WorkerTicket::Issue(WorkerRole::kTravelSampler));

  const std::vector<std::uint32_t> calls = fake_.ExpectedTones();
  ASSERT_FALSE(calls.empty()) << "no word before the tone";
  EXPECT_GE(calls.front(), s + 100) << "announced while the cursor rested";
  EXPECT_LE(calls.front(), s + 102) << "announced late";
  EXPECT_LE(calls.back(), s + 162) << "announced after the moving window ended";
}

}  // namespace
}  // namespace zintrel::testing
