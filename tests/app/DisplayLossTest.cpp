// The X server going away under a running Zintrel: whatever state it is in,
// it says so in one line on stderr and exits with status 1. Each case has a
// private X server of its own, killed as a crashed server would be.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "res/ResourceIds.h"
#include "tests/app/DesktopTools.h"
#include "tests/app/RealPanel.h"
#include "tests/app/ZintrelProcess.h"
#include "tests/platform/PrivateXServer.h"

namespace zintrel::testing {
namespace {

using namespace std::chrono_literals;

enum class State { kShown, kHidden, kBoxOpen, kStartUpBox };

struct LossCase {
  const char* what;
  std::vector<std::string> args;
  State state;
};

std::ostream& operator<<(std::ostream& os, const LossCase& c) { return os << c.what; }

const LossCase kLossCases[] = {
    {"shown, running", {"-AutoStartOnly"}, State::kShown},
    {"hidden, running", {"-AutoStartAndHide"}, State::kHidden},
    {"a help box over the panel", {"-AutoStartOnly"}, State::kBoxOpen},
    {"a box before the panel", {"-Pitch"}, State::kStartUpBox},
};

bool WaitUntilHidden(int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (!FindWindows(kPanelTitle, false).empty() && FindWindows(kPanelTitle, true).empty()) {
      return true;
    }
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

class DisplayLoss : public ::testing::TestWithParam<LossCase> {};

TEST_P(DisplayLoss, OneLineAndStatusOne) {
  const LossCase& c = GetParam();
  PrivateXServer server;
  ASSERT_TRUE(server.Started());
  // The desktop tools below, and Zintrel, use this server.
  setenv("DISPLAY", server.Display().c_str(), 1);
  ZintrelProcess zintrel(c.args, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null",
                                  "WAYLAND_DISPLAY=", "XDG_SESSION_TYPE=x11"});
  ASSERT_GT(zintrel.Pid(), 0);

  switch (c.state) {
    case State::kShown:
      ASSERT_NE(WaitForVisibleWindow(kPanelTitle, 20), "");
      break;
    case State::kHidden:
      ASSERT_TRUE(WaitUntilHidden(20)) << "the panel never hid";
      break;
    case State::kBoxOpen: {
      const std::string panel = WaitForVisibleWindow(kPanelTitle, 20);
      ASSERT_NE(panel, "");
      ClickPanelControl(panel, res::IDC_HELP_INTERVAL);
      ASSERT_NE(WaitForVisibleWindow("Interval Slider", 20), "");
      break;
    }
    case State::kStartUpBox:
      ASSERT_NE(WaitForVisibleWindow("No Pitch!", 20), "");
      break;
  }
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(zintrel.Running());

  const auto start = std::chrono::steady_clock::now();
  server.Kill();
  const auto end = zintrel.WaitEnd(15s);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  ASSERT_TRUE(end.has_value()) << "still running 15 s after the X server went away";
  EXPECT_TRUE(end->exited && end->code == 1) << Describe(*end) << ", not exit status 1";
  EXPECT_EQ(zintrel.OwnStderr(), "zintrel: lost the connection to X display '" + server.Display() +
                                     "': the X server has gone away\n");
  std::printf("%s: ended %lld ms after the server\n", c.what, static_cast<long long>(took.count()));
}

INSTANTIATE_TEST_SUITE_P(WhateverState, DisplayLoss, ::testing::ValuesIn(kLossCases));

}  // namespace
}  // namespace zintrel::testing
