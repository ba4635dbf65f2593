#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "engine/SharedState.h"
#include "engine/TonePlayerThread.h"
#include "engine/TravelSamplerThread.h"
#include "tests/engine/EngineFixture.h"

namespace zintrel::testing {
namespace {

using Tone = platform::FakePlatform::Tone;

class TonePlayerTest : public EngineTest {
 protected:
  void RunTonePlayer() {
    g_bStopped.store(false);
    TonePlayerThread(WorkerTicket::Issue(WorkerRole::kTonePlayer));
  }
};

struct ToneCase {
  std::int32_t interval;
  std::int32_t pitch;
  std::int32_t travel;
  std::int64_t hertz;
  std::int32_t milliseconds;
};

class ToneShapeTest : public TonePlayerTest, public ::testing::WithParamInterface<ToneCase> {};

// Pitch x travel hertz, in 64 bits, for Interval / 2 milliseconds.
TEST_P(ToneShapeTest, PlaysTravelTimesPitchForHalfTheInterval) {
  const ToneCase& c = GetParam();
  interval_.SetPos(c.interval);
  pitch_.SetPos(c.pitch);
  g_nTravel.store(c.travel);
  StopAt(1);
  RunTonePlayer();
  EXPECT_EQ(fake_.Tones(), (std::vector<Tone>{{c.hertz, c.milliseconds, 0}}));
}

INSTANTIATE_TEST_SUITE_P(
    Tones, ToneShapeTest,
    ::testing::Values(ToneCase{80, 15, 40, 600, 40}, ToneCase{3, 15, 10, 150, 1},
                      ToneCase{2, 1, 1, 1, 1}, ToneCase{300, 7, 3, 21, 150},
                      // Far above what can be heard: passed on whole, to be silence.
                      ToneCase{80, 100, 1000, 100000, 40},
                      ToneCase{80, 100, std::numeric_limits<std::int32_t>::max(), 214748364700,
                               40}));

// Tones follow each other without a gap, each with the sliders read afresh;
// Stop lets the tone in progress end and begins no other.
TEST_F(TonePlayerTest, RepeatsTheToneUntilStop) {
  g_nTravel.store(40);
  fake_.At(50, [this] { pitch_.SetPos(20); });
  StopAt(100);
  RunTonePlayer();
  EXPECT_EQ(fake_.Tones(), (std::vector<Tone>{{600, 40, 0}, {600, 40, 40}, {800, 40, 80}}));
  EXPECT_EQ(fake_.Clock(), 120u);
  EXPECT_EQ(g_nTravel.load(), 40);
}

TEST_F(TonePlayerTest, StopDuringALongToneEndsAfterIt) {
  interval_.SetPos(300);
  g_nTravel.store(12);
  StopAt(10);
  RunTonePlayer();
  EXPECT_EQ(fake_.Tones(), (std::vector<Tone>{{180, 150, 0}}));
  EXPECT_EQ(fake_.Clock(), 150u);
}

TEST_F(TonePlayerTest, IdlesWhileTheTravelIsZero) {
  fake_.At(30, [] { g_nTravel.store(2); });
  fake_.At(45, [] { g_nTravel.store(0); });
  StopAt(200);
  RunTonePlayer();
  // A tone begins within a millisecond of the store; the one in progress
  // when 0 comes plays to its end.
  EXPECT_EQ(fake_.Tones(), (std::vector<Tone>{{30, 40, 30}}));
}

TEST_F(TonePlayerTest, MuteSilencesFromTheNextTone) {
  g_nTravel.store(40);
  g_bMute.store(true);
  fake_.At(50, [] { g_bMute.store(false); });
  fake_.At(70, [] { g_bMute.store(true); });
  StopAt(150);
  RunTonePlayer();
  EXPECT_EQ(fake_.Tones(), (std::vector<Tone>{{600, 40, 50}}));
}

TEST_F(TonePlayerTest, ReturnsAtOnceWhenStopped) {
  g_nTravel.store(40);
  TonePlayerThread(WorkerTicket::Issue(WorkerRole::kTonePlayer));
  EXPECT_TRUE(fake_.Tones().empty());
}

// Stop keeps the last window's travel; the next Start plays it at once.
TEST_F(TonePlayerTest, TravelSurvivesStopAndStart) {
  fake_.PlaceCursor({0, 0});
  fake_.MoveCursorAt(20, 24, 32);  // 40 in the first window (ends at 81)
  fake_.MoveCursorAt(90, 0, 0);    // in the window cut short by Stop
  StopAt(100);
  g_bStopped.store(false);
  TravelSamplerThread(WorkerTicket::Issue(WorkerRole::kTravelSampler));
  ASSERT_EQ(g_nTravel.load(), 40);

  StopAt(101);
  RunTonePlayer();
  EXPECT_EQ(fake_.Tones(), (std::vector<Tone>{{600, 40, 100}}));
}

// Without a panel's sliders there is nothing to run by.
TEST_F(TonePlayerTest, WorkersWithoutSlidersReturnAtOnce) {
  g_pIntervalSlider.store(nullptr);
  g_nTravel.store(40);
  g_bStopped.store(false);
  TravelSamplerThread(WorkerTicket::Issue(WorkerRole::kTravelSampler));
  TonePlayerThread(WorkerTicket::Issue(WorkerRole::kTonePlayer));
  EXPECT_EQ(fake_.CursorReads(), 0);
  EXPECT_TRUE(fake_.Tones().empty());
  EXPECT_EQ(g_nTravel.load(), 40);
}

}  // namespace
}  // namespace zintrel::testing
