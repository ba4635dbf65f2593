#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>

#include "engine/TravelWindow.h"
#include "platform/fake/FakePlatform.h"

namespace zintrel {
namespace {

using platform::FakePlatform;
using platform::Point;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct StepCase {
  Point from;
  Point to;
  std::uint64_t adds;
};

void PrintTo(const StepCase& c, std::ostream* os) {
  *os << "(" << c.from.x << ", " << c.from.y << ") to (" << c.to.x << ", " << c.to.y << ")";
}

class StepTest : public ::testing::TestWithParam<StepCase> {};

// One step between two polls adds its straight-line length, cut to whole
// pixels; squares that overflow 32 bits are still exact.
TEST_P(StepTest, AddsTheWholePixelsOfTheStraightLine) {
  const StepCase& c = GetParam();
  FakePlatform fake;
  TravelWindow window;
  window.Begin(fake.Clock(), 1000);
  fake.PlaceCursor(c.from);
  window.Poll(fake, fake.Mark());
  fake.PlaceCursor(c.to);
  window.Poll(fake, fake.Mark());
  EXPECT_EQ(window.travel(), c.adds);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StepTest,
    ::testing::Values(StepCase{{0, 0}, {1, 0}, 1}, StepCase{{0, 0}, {1, 1}, 1},
                      StepCase{{0, 0}, {2, 1}, 2}, StepCase{{0, 0}, {3, 4}, 5},
                      StepCase{{0, 0}, {-3, -4}, 5}, StepCase{{0, 0}, {5, 12}, 13},
                      StepCase{{0, 0}, {7, 7}, 9}, StepCase{{0, 0}, {100, 100}, 141},
                      StepCase{{0, 0}, {46340, 0}, 46340}, StepCase{{0, 46340}, {0, 0}, 46340},
                      // Squares above 2^31 - 1.
                      StepCase{{0, 0}, {32768, 32768}, 46340},
                      StepCase{{0, 0}, {100000, 100000}, 141421},
                      // Differences that do not fit 32 bits themselves.
                      StepCase{{kMin, 0}, {kMax, 0}, 4294967295u},
                      StepCase{{kMin, kMin}, {kMax, kMax}, 6074000998u},
                      // The jump of a wrap across a screen 1920 wide.
                      StepCase{{1919, 500}, {1, 500}, 1918}));

TEST(TravelWindowTest, CountsSampledPositionsOnly) {
  FakePlatform fake;
  fake.PlaceCursor({400, 300});
  // Away and back between two polls: nothing to see.
  fake.MoveCursorAt(2, 900, 900);
  fake.MoveCursorAt(2, 400, 300);
  // Then 5 right, a few still polls, and 5 back.
  fake.MoveCursorAt(4, 405, 300);
  fake.MoveCursorAt(8, 400, 300);
  TravelWindow window;
  window.Begin(fake.Clock(), 1000);
  for (int i = 0; i < 12; ++i) window.Poll(fake, fake.Mark());
  // The first sample is the starting point and adds nothing, wherever it is.
  EXPECT_EQ(window.travel(), 10u);
}

TEST(TravelWindowTest, AFailedReadCountsAsNoMovement) {
  FakePlatform fake;
  fake.PlaceCursor({10, 10});
  TravelWindow window;
  window.Begin(fake.Clock(), 1000);
  window.Poll(fake, fake.Mark());
  fake.SetCursorReadable(false);
  fake.PlaceCursor({13, 14});
  window.Poll(fake, fake.Mark());
  EXPECT_EQ(window.travel(), 0u);
  fake.SetCursorReadable(true);
  window.Poll(fake, fake.Mark());
  EXPECT_EQ(window.travel(), 5u);
}

TEST(TravelWindowTest, AFirstReadThatFailsStartsNothing) {
  FakePlatform fake;
  fake.SetCursorReadable(false);
  TravelWindow window;
  window.Begin(fake.Clock(), 1000);
  window.Poll(fake, fake.Mark());
  fake.SetCursorReadable(true);
  fake.PlaceCursor({3000, 2000});
  window.Poll(fake, fake.Mark());
  EXPECT_EQ(window.travel(), 0u);
}

struct EndCase {
  std::uint32_t start;
  std::uint32_t length;
  std::uint32_t reading;
  bool ended;
};

void PrintTo(const EndCase& c, std::ostream* os) {
  *os << "start " << c.start << ", length " << c.length << ", reading " << c.reading;
}

class EndTest : public ::testing::TestWithParam<EndCase> {};

// A window ends at the first reading more than its length after its start,
// wherever the 32-bit clock wraps.
TEST_P(EndTest, EndsByElapsedTime) {
  const EndCase& c = GetParam();
  TravelWindow window;
  window.Begin(c.start, c.length);
  EXPECT_EQ(window.Ended(c.reading), c.ended);
}

INSTANTIATE_TEST_SUITE_P(Readings, EndTest,
                         ::testing::Values(EndCase{0, 80, 79, false}, EndCase{0, 80, 80, false},
                                           EndCase{0, 80, 81, true}, EndCase{1000, 2, 1002, false},
                                           EndCase{1000, 2, 1003, true},
                                           // The deadline wraps, the readings not yet.
                                           EndCase{4294967256u, 80, 4294967257u, false},
                                           EndCase{4294967256u, 80, 40, false},
                                           EndCase{4294967256u, 80, 41, true},
                                           // The readings wrap past a deadline that did not.
                                           EndCase{4294967000u, 80, 4294967080u, false},
                                           EndCase{4294967000u, 80, 4294967081u, true},
                                           EndCase{4294967295u, 300, 299, false},
                                           EndCase{4294967295u, 300, 300, true},
                                           EndCase{4294967295u, 300, 5000, true}));

TEST(TravelWindowTest, MotionAtABoundaryCountsOnceInTheNextWindow) {
  FakePlatform fake;
  fake.PlaceCursor({0, 0});
  TravelWindow window;
  window.Begin(fake.Clock(), 10);
  std::uint32_t reading = 0;
  while (!window.Ended(reading = window.Poll(fake, fake.Mark()))) {
  }
  ASSERT_EQ(reading, 11u);
  fake.PlaceCursor({3, 4});  // between the last poll of one window and the first of the next
  EXPECT_EQ(window.Next(fake.Clock(), 10), 0u);
  while (!window.Ended(window.Poll(fake, fake.Mark()))) {
  }
  EXPECT_EQ(window.Next(fake.Clock(), 10), 5u);
  while (!window.Ended(window.Poll(fake, fake.Mark()))) {
  }
  EXPECT_EQ(window.Next(fake.Clock(), 10), 0u);
}

}  // namespace
}  // namespace zintrel
