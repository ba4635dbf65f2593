#include <gtest/gtest.h>

#include <vector>

#include "engine/CursorWrapThread.h"
#include "engine/SharedState.h"
#include "tests/engine/EngineFixture.h"

namespace zintrel::testing {
namespace {

using platform::Point;
using platform::ScreenSize;

class CursorWrapTest : public EngineTest {
 protected:
  // Runs the wrapper for `passes` passes of 10 ms (Stop comes in the sleep
  // of the last one).
  void RunPasses(int passes) {
    StopAt(static_cast<std::uint32_t>(10 * passes - 5));
    g_bStopped.store(false);
    g_bWrapStopped.store(false);
    CursorWrapThread(WorkerTicket::Issue(WorkerRole::kCursorWrapper));
  }
};

struct EdgeCase {
  ScreenSize screen;
  Point cursor;
  std::vector<Point> moves;
};

class WrapEdgeTest : public CursorWrapTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(WrapEdgeTest, MovesAnEdgeCursorInsideTheOppositeEdge) {
  const EdgeCase& c = GetParam();
  fake_.SetScreenSize(c.screen);
  fake_.PlaceCursor(c.cursor);
  RunPasses(1);
  EXPECT_EQ(fake_.CursorSets(), c.moves);
}

constexpr ScreenSize kFullHd{1920, 1080};

INSTANTIATE_TEST_SUITE_P(
    Edges, WrapEdgeTest,
    ::testing::Values(EdgeCase{kFullHd, {1919, 500}, {{1, 500}}},  // right edge to column 1
                      EdgeCase{kFullHd, {700, 1079}, {{700, 1}}},  // bottom edge to row 1
                      EdgeCase{kFullHd, {0, 500}, {{1918, 500}}},  // left edge to column W - 2
                      EdgeCase{kFullHd, {700, 0}, {{700, 1078}}},  // top edge to row H - 2
                      EdgeCase{kFullHd, {1, 1}, {}},               // landing pixels are not edges
                      EdgeCase{kFullHd, {1918, 1078}, {}}, EdgeCase{kFullHd, {960, 540}, {}},
                      // Other monitors: the edge lines run across the whole desktop.
                      EdgeCase{kFullHd, {1919, -300}, {{1, -300}}},
                      EdgeCase{kFullHd, {2500, 0}, {{2500, 1078}}},
                      EdgeCase{kFullHd, {1925, 500}, {}}, EdgeCase{kFullHd, {-5, 500}, {}},
                      // Sizes beyond 16 bits are used whole.
                      EdgeCase{{70000, 1200}, {69999, 600}, {{1, 600}}},
                      EdgeCase{{70000, 1200}, {0, 600}, {{69998, 600}}},
                      EdgeCase{{1600, 66000}, {800, 65999}, {{800, 1}}}));

struct CornerCase {
  Point cursor;
  std::vector<Point> firstPass;
  Point afterNextPass;
};

class WrapCornerTest : public CursorWrapTest, public ::testing::WithParamInterface<CornerCase> {};

// Both tests of a corner hold on one sample: both moves are made, the later
// one wins, and the next pass finishes the wrap.
TEST_P(WrapCornerTest, EndsInsideTheDiagonallyOppositeCorner) {
  const CornerCase& c = GetParam();
  fake_.SetScreenSize(kFullHd);
  fake_.PlaceCursor(c.cursor);
  RunPasses(2);
  const std::vector<Point> sets = fake_.CursorSets();
  ASSERT_EQ(sets.size(), 3u);
  EXPECT_EQ(std::vector<Point>(sets.begin(), sets.begin() + 2), c.firstPass);
  EXPECT_EQ(fake_.Cursor(), c.afterNextPass);
}

INSTANTIATE_TEST_SUITE_P(Corners, WrapCornerTest,
                         ::testing::Values(CornerCase{{1919, 0}, {{1, 0}, {1919, 1078}}, {1, 1078}},
                                           CornerCase{{0, 0}, {{1918, 0}, {0, 1078}}, {1918, 1078}},
                                           CornerCase{{1919, 1079}, {{1, 1079}, {1919, 1}}, {1, 1}},
                                           CornerCase{
                                               {0, 1079}, {{0, 1}, {1918, 1079}}, {1918, 1}}));

TEST_F(CursorWrapTest, SkipsAPassItCannotSee) {
  fake_.PlaceCursor({0, 500});
  fake_.SetCursorReadable(false);
  fake_.At(5, [this] {
    fake_.SetCursorReadable(true);
    fake_.SetScreenSize({0, 0});
  });
  fake_.At(15, [this] { fake_.SetScreenSize(kFullHd); });
  RunPasses(3);
  EXPECT_EQ(fake_.CursorSets(), (std::vector<Point>{{1918, 500}}));
  EXPECT_EQ(fake_.ScreenReads(), 3);
}

TEST_F(CursorWrapTest, ANewResolutionCountsAtTheNextPass) {
  fake_.PlaceCursor({1279, 10});
  fake_.At(5, [this] { fake_.SetScreenSize({1280, 1024}); });
  RunPasses(2);
  EXPECT_EQ(fake_.CursorSets(), (std::vector<Point>{{1, 10}}));
}

TEST_F(CursorWrapTest, EndsAtTheHeadOfThePassAfterTheBoxIsUnchecked) {
  fake_.At(5, [] { g_bWrapStopped.store(true); });
  g_bStopped.store(false);
  g_bWrapStopped.store(false);
  CursorWrapThread(WorkerTicket::Issue(WorkerRole::kCursorWrapper));
  EXPECT_EQ(fake_.ScreenReads(), 1);
  EXPECT_EQ(fake_.Clock(), 10u);
}

TEST_F(CursorWrapTest, DoesNothingWhenStartedStopped) {
  g_bWrapStopped.store(false);
  CursorWrapThread(WorkerTicket::Issue(WorkerRole::kCursorWrapper));
  EXPECT_EQ(fake_.ScreenReads(), 0);
}

}  // namespace
}  // namespace zintrel::testing
