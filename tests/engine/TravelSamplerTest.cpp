#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/SharedState.h"
#include "engine/TravelSamplerThread.h"
#include "tests/engine/EngineFixture.h"

namespace zintrel::testing {
namespace {

class TravelSamplerTest : public EngineTest, public ::testing::WithParamInterface<std::uint32_t> {
 protected:
  // (clock reading, g_nTravel) at every change of g_nTravel, seen at the
  // start of the sampler's next sleep: a store made after the poll that read
  // clock c shows as (c, value).
  std::vector<std::pair<std::uint32_t, std::int32_t>> RunRecordingStores() {
    std::vector<std::pair<std::uint32_t, std::int32_t>> stores;
    g_nTravel.store(-1);
    std::int32_t last = -1;
    fake_.SetSleepObserver([&](std::uint32_t now) {
      const std::int32_t travel = g_nTravel.load();
      if (travel != last) stores.emplace_back(now, travel);
      last = travel;
    });
    g_bStopped.store(false);
    TravelSamplerThread(WorkerTicket::Issue(WorkerRole::kTravelSampler));
    fake_.SetSleepObserver(nullptr);
    return stores;
  }
};

// Interval 80: the first window ends at the first reading 81 ms after the
// start, not at 80, and the next begins at that fresh reading. Motion read
// by the last poll of a window counts in it; motion after it counts once, in
// the next window. None of this changes where the 32-bit clock wraps.
TEST_P(TravelSamplerTest, StoresEachWindowsTravelAtItsEnd) {
  const std::uint32_t s = GetParam();
  StartClockAt(s);
  fake_.PlaceCursor({100, 100});
  fake_.MoveCursorAt(s + 10, 103, 104);   // 5
  fake_.MoveCursorAt(s + 80, 106, 108);   // 5, read by the last poll of window 1
  fake_.MoveCursorAt(s + 81, 111, 120);   // 13, first poll of window 2
  fake_.MoveCursorAt(s + 162, 112, 120);  // 1, first poll of window 3
  StopAt(s + 200);

  const auto stores = RunRecordingStores();

  using Store = std::pair<std::uint32_t, std::int32_t>;
  EXPECT_EQ(stores, (std::vector<Store>{{s + 81, 10}, {s + 162, 13}}));
  EXPECT_EQ(fake_.Clock(), s + 200);
  // The travel of the window cut short by Stop is dropped.
  EXPECT_EQ(g_nTravel.load(), 13);
}

INSTANTIATE_TEST_SUITE_P(ClockStarts, TravelSamplerTest,
                         ::testing::Values(0u, 4294967256u /* deadline wraps */,
                                           4294967215u /* the end reading is 0 */, 4294967295u));

TEST_F(TravelSamplerTest, AStillCursorStoresZero) {
  g_nTravel.store(77);
  fake_.PlaceCursor({5, 5});
  StopAt(90);
  g_bStopped.store(false);
  TravelSamplerThread(WorkerTicket::Issue(WorkerRole::kTravelSampler));
  EXPECT_EQ(g_nTravel.load(), 0);
}

TEST_F(TravelSamplerTest, TakesTheIntervalAtEachWindowEnd) {
  interval_.SetPos(2);
  fake_.PlaceCursor({0, 0});
  fake_.At(10, [this] { interval_.SetPos(300); });
  fake_.MoveCursorAt(100, 7, 0);
  StopAt(320);
  const auto stores = RunRecordingStores();
  // Windows of 2 end at readings 3, 6, 9 and 12; the one begun at 12 takes
  // the new Interval and ends at 313.
  using Store = std::pair<std::uint32_t, std::int32_t>;
  EXPECT_EQ(stores, (std::vector<Store>{{3, 0}, {313, 7}}));
}

}  // namespace
}  // namespace zintrel::testing
