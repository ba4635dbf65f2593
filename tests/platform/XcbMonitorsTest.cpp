// The primary monitor on a private 3840 x 1080 X server laid out the way
// users do it with xrandr: desktop coordinates are relative to the primary
// monitor's top-left, and its size and place are followed when they change.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "PrivateXServer.h"
#include "platform/x11/XcbDesktop.h"

namespace zintrel::platform {
namespace {

using testing::PrivateXServer;
using testing::RootPointer;
using testing::RunOnDisplay;

class XcbMonitorsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Started()) << "Xvfb did not start"; }

  void Xrandr(const std::string& args) {
    ASSERT_EQ(RunOnDisplay(server_.Display(), "xrandr " + args), 0) << "xrandr " << args;
  }

  void Connect() {
    std::string error;
    desktop_ = XcbDesktop::Connect(server_.Display().c_str(), error);
    ASSERT_NE(desktop_, nullptr) << error;
  }

  Point Read() {
    Point p{INT32_MIN, INT32_MIN};
    EXPECT_TRUE(desktop_->GetCursorPos(p));
    return p;
  }

  // A monitor defined by hand changes without a RandR event; the layer
  // notices it shortly after. Reads until `expected` shows (or 5 s pass).
  Point ReadUntil(Point expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    Point p = Read();
    while (p != expected && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      p = Read();
    }
    return p;
  }

  PrivateXServer server_{"3840x1080x24", {"+extension", "RANDR"}};
  std::unique_ptr<XcbDesktop> desktop_;
};

// Left monitor at the root's origin, the primary to its right and lower.
constexpr const char* kLeft = "L 1920/500x1080/280+0+0 none";
constexpr const char* kPrimary = "'*P' 1600/400x900/250+1920+100 none";

struct Move {
  const char* what;
  Point target;    // desktop coordinates
  Point expected;  // desktop coordinates read back
  Point root;      // where another client sees the pointer
};

TEST_F(XcbMonitorsTest, CoordinatesAreRelativeToThePrimaryMonitor) {
  Xrandr(std::string("--setmonitor ") + kLeft);
  Xrandr(std::string("--setmonitor ") + kPrimary);
  Connect();
  EXPECT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{1600, 900}));

  const Move moves[] = {
      {"primary's top-left", {0, 0}, {0, 0}, {1920, 100}},
      {"primary's bottom-right", {1599, 899}, {1599, 899}, {3519, 999}},
      {"left monitor, negative x", {-10, 50}, {-10, 50}, {1910, 150}},
      {"root's top-left, both negative", {-1920, -100}, {-1920, -100}, {0, 0}},
      {"above the primary, outside the primary", {100, -60}, {100, -60}, {2020, 40}},
      {"past the root's right edge rests on it", {5000, 0}, {1919, 0}, {3839, 100}},
  };
  for (const Move& m : moves) {
    SCOPED_TRACE(m.what);
    ASSERT_TRUE(desktop_->SetCursorPos(m.target.x, m.target.y));
    EXPECT_EQ(RootPointer(server_.Display()), m.root);
    EXPECT_EQ(Read(), m.expected);
  }

  ASSERT_EQ(RunOnDisplay(server_.Display(), "xdotool mousemove 100 50"), 0);
  EXPECT_EQ(Read(), (Point{-1820, -50}));
}

TEST_F(XcbMonitorsTest, HandMadePrimaryChangesAreFollowed) {
  Xrandr(std::string("--setmonitor ") + kPrimary);
  Connect();
  ASSERT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{1600, 900}));
  ASSERT_TRUE(desktop_->SetCursorPos(0, 0));  // root (1920, 100)

  Xrandr("--delmonitor P");
  Xrandr("--setmonitor '*P' 1280/300x1024/250+100+50 none");
  EXPECT_EQ(ReadUntil({1820, 50}), (Point{1820, 50}));
  EXPECT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{1280, 1024}));
  ASSERT_TRUE(desktop_->SetCursorPos(0, 0));
  EXPECT_EQ(RootPointer(server_.Display()), (Point{100, 50}));

  // No primary left: the root window stands in, origin and size.
  Xrandr("--delmonitor P");
  EXPECT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{3840, 1080}));
  EXPECT_EQ(ReadUntil({100, 50}), (Point{100, 50}));
}

// A mode switch, as when the user picks another resolution: the very next
// call has the new size, and the pointer stays within the new screen.
TEST_F(XcbMonitorsTest, ResolutionChangeShowsAtTheNextCall) {
  Connect();
  ASSERT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{3840, 1080}));

  Xrandr("--newmode 1280x720 74.48 1280 1336 1472 1664 720 721 724 746");
  Xrandr("--addmode screen 1280x720");
  Xrandr("--output screen --mode 1280x720 --fb 1280x720");
  EXPECT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{1280, 720}));
  ASSERT_TRUE(desktop_->SetCursorPos(3000, 3000));
  EXPECT_EQ(Read(), (Point{1279, 719}));

  // The same with the output marked primary: its monitor is the answer.
  Xrandr("--output screen --primary --mode 3840x1080 --fb 3840x1080");
  EXPECT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{3840, 1080}));
  Xrandr("--output screen --mode 1280x720 --fb 1280x720");
  EXPECT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{1280, 720}));
}

}  // namespace
}  // namespace zintrel::platform
