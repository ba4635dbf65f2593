// The real desktop following the pointer by its events, on a private Xvfb:
// waits end when a device moves the pointer (relative XTest motion), when
// Zintrel moves it, when another client warps it (the safety re-read) and
// when the workers are woken; reads of a still pointer need no round trip;
// a moved primary monitor shows as a layout change.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "PrivateXServer.h"
#include "platform/RealPlatform.h"

namespace zintrel::platform {
namespace {

using namespace std::chrono_literals;
using testing::PrivateXServer;
using testing::RootPointer;
using testing::RunOnDisplay;
using Steady = std::chrono::steady_clock;

class PointerEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Started()) << "Xvfb did not start";
    std::string error;
    real_ = RealPlatform::Create(server_.Display().c_str(), error);
    ASSERT_NE(real_, nullptr) << error;
    ASSERT_TRUE(real_->WatchesPointerEvents()) << "Xvfb offers XInput 2";
    ASSERT_TRUE(real_->SetCursorPos(500, 500));
  }

  void Run(const std::string& command) {
    ASSERT_EQ(RunOnDisplay(server_.Display(), command), 0) << command;
  }

  Point Read() {
    Point p{INT32_MIN, INT32_MIN};
    EXPECT_TRUE(real_->GetCursorPos(p));
    return p;
  }

  PrivateXServer server_{"3840x1080x24", {"+extension", "RANDR"}};
  std::unique_ptr<RealPlatform> real_;
};

struct Mover {
  const char* what;
  const char* command;
  Point after;
};

// Each way the pointer can move ends a wait well before its 10 s deadline,
// and the next read has the new place.
TEST_F(PointerEventsTest, EveryKindOfMoveEndsAWait) {
  const Mover movers[] = {
      {"a device's relative motion", "xdotool mousemove_relative 7 -3", {507, 497}},
      {"another client's warp, caught by the safety re-read",
       "xdotool mousemove 900 300",
       {900, 300}},
  };
  for (const Mover& m : movers) {
    SCOPED_TRACE(m.what);
    const WaitMark mark = real_->Mark();
    std::thread mover([&] { Run(m.command); });
    const auto start = Steady::now();
    real_->WaitForPointer(mark, 10'000);
    const auto waited = Steady::now() - start;
    mover.join();
    EXPECT_LT(waited, 5s);
    EXPECT_NE(real_->Mark().pointer, mark.pointer);
    EXPECT_EQ(Read(), m.after);
    ASSERT_TRUE(real_->SetCursorPos(500, 500));
  }
}

// Zintrel's own move is known at once: the mark moves on, and the read
// gives where the server put the pointer (kept on the screen).
TEST_F(PointerEventsTest, OwnMovesAreKnownAtOnce) {
  const WaitMark mark = real_->Mark();
  ASSERT_TRUE(real_->SetCursorPos(10, 20));
  EXPECT_NE(real_->Mark().pointer, mark.pointer);
  EXPECT_EQ(Read(), (Point{10, 20}));
  ASSERT_TRUE(real_->SetCursorPos(5000, 20));
  EXPECT_EQ(Read(), (Point{3839, 20}));
  EXPECT_EQ(RootPointer(server_.Display()), (Point{3839, 20}));
}

// A still pointer: the wait lasts its deadline, and reads change nothing.
TEST_F(PointerEventsTest, AStillPointerWaitsOutTheDeadline) {
  EXPECT_EQ(Read(), (Point{500, 500}));
  const WaitMark mark = real_->Mark();
  const auto start = Steady::now();
  real_->WaitForPointer(mark, 300);
  EXPECT_GE(Steady::now() - start, 300ms);
  EXPECT_EQ(Read(), (Point{500, 500}));
  EXPECT_EQ(real_->Mark().pointer, mark.pointer);
}

// Run control wakes a worker that waits with no deadline, and so does
// process end; later waits then return at once.
TEST_F(PointerEventsTest, WakeAndProcessEndEndWaitsWithoutDeadline) {
  WaitMark mark = real_->Mark();
  std::thread waiter([&] { real_->WaitForPointer(mark, kWaitForever); });
  std::this_thread::sleep_for(50ms);
  real_->WakeWaiters();
  waiter.join();

  mark = real_->Mark();
  std::thread late([&] { real_->WaitForPointer(mark, kWaitForever); });
  std::this_thread::sleep_for(50ms);
  real_->JoinWorkers();
  late.join();
  real_->WaitForPointer(real_->Mark(), kWaitForever);
}

// The primary monitor moves under a still pointer: the layout count grows
// and the reading shifts by the origin's move.
TEST_F(PointerEventsTest, AMovedPrimaryIsALayoutChange) {
  Run("xrandr --setmonitor '*P' 1600/400x900/250+0+0 none");
  EXPECT_EQ(real_->GetPrimaryScreenSize(), (ScreenSize{1600, 900}));
  ASSERT_TRUE(real_->SetCursorPos(500, 500));
  const std::uint64_t layout = real_->LayoutSerial();
  Run("xrandr --delmonitor P");
  Run("xrandr --setmonitor '*P' 1600/400x900/250+1920+100 none");
  const auto deadline = Steady::now() + 5s;
  while (real_->LayoutSerial() == layout && Steady::now() < deadline) {
    real_->WaitForPointer(real_->Mark(), 100);
  }
  EXPECT_NE(real_->LayoutSerial(), layout);
  EXPECT_EQ(Read(), (Point{500 - 1920, 500 - 100}));
}

}  // namespace
}  // namespace zintrel::platform
