// Cursor reads and moves against the X server the test runs under: one
// 1920 x 1080 screen whose only monitor is not marked primary, so desktop
// coordinates are the root window's.

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PrivateXServer.h"
#include "platform/x11/XcbDesktop.h"

namespace zintrel::platform {
namespace {

using testing::RootPointer;
using testing::RunOnDisplay;

class XcbCursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr) << "run under scripts/with-xvfb.sh";
    display_ = display;
    std::string error;
    desktop_ = XcbDesktop::Connect(nullptr, error);
    ASSERT_NE(desktop_, nullptr) << error;
  }

  std::string display_;
  std::unique_ptr<XcbDesktop> desktop_;
};

struct Move {
  const char* what;
  Point target;
  Point expected;
};

TEST_F(XcbCursorTest, CursorIsWhereItWasSetWhenTheCallReturns) {
  const Move moves[] = {
      {"inside", {100, 200}, {100, 200}},
      {"top-left pixel", {0, 0}, {0, 0}},
      {"bottom-right pixel", {1919, 1079}, {1919, 1079}},
      {"top-right pixel", {1919, 0}, {1919, 0}},
      {"left of the screen rests on the left edge", {-50, 500}, {0, 500}},
      {"beyond the bottom-right corner", {5000, 5000}, {1919, 1079}},
      {"beyond X's 16-bit range clamps instead of wrapping", {100000, -100000}, {1919, 0}},
      {"the int32 extremes", {INT32_MIN, INT32_MAX}, {0, 1079}},
  };
  for (const Move& m : moves) {
    SCOPED_TRACE(m.what);
    ASSERT_TRUE(desktop_->SetCursorPos(m.target.x, m.target.y));
    // Another client sees the pointer there at once: the move was done, not queued.
    EXPECT_EQ(RootPointer(display_), m.expected);
    Point read{-1, -1};
    ASSERT_TRUE(desktop_->GetCursorPos(read));
    EXPECT_EQ(read, m.expected);
  }
}

TEST_F(XcbCursorTest, ReadsWhereAnotherClientMovedThePointer) {
  for (const Point p : {Point{321, 123}, Point{1919, 1079}, Point{0, 0}}) {
    ASSERT_EQ(RunOnDisplay(display_,
                           "xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y)),
              0);
    Point read{-1, -1};
    ASSERT_TRUE(desktop_->GetCursorPos(read));
    EXPECT_EQ(read, p);
  }
}

TEST_F(XcbCursorTest, PrimarySizeFallsBackToTheRootWindowWithoutAPrimaryMonitor) {
  EXPECT_EQ(desktop_->GetPrimaryScreenSize(), (ScreenSize{1920, 1080}));
}

// Readers on several threads while another thread moves the pointer between
// two points: every read must succeed and be one of the two (a reply handed
// to the wrong thread, or a torn origin, would show as anything else).
TEST_F(XcbCursorTest, SeveralThreadsReadAndMoveAtOnce) {
  const Point a{10, 20};
  const Point b{1500, 900};
  ASSERT_TRUE(desktop_->SetCursorPos(a.x, a.y));
  std::atomic<bool> stop{false};
  std::atomic<int> failures{0};
  std::atomic<int> strays{0};
  std::atomic<int> badSizes{0};

  std::thread mover([&] {
    for (int i = 0; !stop.load(); ++i) {
      const Point p = i % 2 == 0 ? b : a;
      if (!desktop_->SetCursorPos(p.x, p.y)) failures.fetch_add(1);
    }
  });
  std::thread sizer([&] {
    while (!stop.load()) {
      if (desktop_->GetPrimaryScreenSize() != ScreenSize{1920, 1080}) badSizes.fetch_add(1);
    }
  });
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        Point p;
        if (!desktop_->GetCursorPos(p)) {
          failures.fetch_add(1);
        } else if (p != a && p != b) {
          strays.fetch_add(1);
        }
      }
    });
  }
  for (std::thread& r : readers) r.join();
  stop.store(true);
  mover.join();
  sizer.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(strays.load(), 0);
  EXPECT_EQ(badSizes.load(), 0);
}

}  // namespace
}  // namespace zintrel::platform
