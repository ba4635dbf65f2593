// An end signal ends the real binary with status 128 + the signal whatever
// is open at that moment: either About box, a help box, the context menu, or
// a box shown before the panel. The process must exit (not die by the
// signal), promptly, and say nothing.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "res/ResourceIds.h"
#include "tests/app/DesktopTools.h"
#include "tests/app/RealPanel.h"
#include "tests/app/ZintrelProcess.h"

namespace zintrel::testing {
namespace {

using namespace std::chrono_literals;

// The audio path is real; what it plays is not looked at here.
const std::vector<std::string> kEnv = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null",
                                       "WAYLAND_DISPLAY=", "XDG_SESSION_TYPE=x11"};

// Puts the pointer over the panel (no window manager: focus follows it) and
// presses `keys` there.
void KeysOverPanel(const std::string& panel, const std::string& keys) {
  const WindowBox box = Geometry(panel);
  MoveMouse({box.x + box.width / 2, box.y + box.height - 4});
  std::this_thread::sleep_for(200ms);
  ShellOutput("xdotool key " + keys);
}

enum class Opens {
  kNothingMore,
  kAboutButton,
  kAboutMenuEntry,
  kContextMenu,
  kHelpBox,
  kOptionsBox
};

struct OpenCase {
  const char* what;
  std::vector<std::string> args;
  Opens opens;
  const char* boxTitle;  // a window of this title shows it is open; nullptr: count windows
  int signal;
};

std::ostream& operator<<(std::ostream& os, const OpenCase& c) { return os << c.what; }

const OpenCase kOpenCases[] = {
    {"About box from the About button", {"-AutoStartOnly"}, Opens::kAboutButton, nullptr, SIGTERM},
    {"About box from the context menu",
     {"-AutoStartOnly"},
     Opens::kAboutMenuEntry,
     nullptr,
     SIGINT},
    {"context menu", {"-AutoStartOnly"}, Opens::kContextMenu, nullptr, SIGHUP},
    {"help box", {"-AutoStartOnly"}, Opens::kHelpBox, "Interval Slider", SIGINT},
    {"command line options box", {}, Opens::kOptionsBox, "Command line options", SIGHUP},
    {"No Pitch! before the panel", {"-Pitch"}, Opens::kNothingMore, "No Pitch!", SIGTERM},
    {"No Interval! before a hidden start",
     {"-AutoStartAndHide", "-Interval"},
     Opens::kNothingMore,
     "No Interval!",
     SIGHUP},
};

class EndThroughBoxes : public ::testing::TestWithParam<OpenCase> {};

TEST_P(EndThroughBoxes, SignalEndsTheProcessWithItsStatus) {
  const OpenCase& c = GetParam();
  ZintrelProcess zintrel(c.args, kEnv);
  ASSERT_GT(zintrel.Pid(), 0);

  if (c.opens != Opens::kNothingMore) {
    const std::string panel = WaitForVisibleWindow(kPanelTitle, 20);
    ASSERT_NE(panel, "") << "no panel";
    const std::size_t before = VisibleWindowsOf(zintrel.Pid()).size();
    switch (c.opens) {
      case Opens::kAboutButton:
        ClickPanelControl(panel, res::IDC_ABOUT);
        break;
      case Opens::kAboutMenuEntry:
        // Up from the top of the menu wraps to its last entry, About.
        KeysOverPanel(panel, "shift+F10");
        ASSERT_TRUE(WaitForWindowsOf(zintrel.Pid(), before + 1, 10)) << "no context menu";
        std::this_thread::sleep_for(300ms);
        ShellOutput("xdotool key Up Return");
        // The menu closes and the box opens.
        std::this_thread::sleep_for(500ms);
        break;
      case Opens::kContextMenu:
        KeysOverPanel(panel, "shift+F10");
        break;
      case Opens::kHelpBox:
        ClickPanelControl(panel, res::IDC_HELP_INTERVAL);
        break;
      case Opens::kOptionsBox:
        ClickPanelControl(panel, res::IDC_COMMAND_LINE_OPTIONS);
        break;
      case Opens::kNothingMore:
        break;
    }
    if (c.boxTitle == nullptr) {
      ASSERT_TRUE(WaitForWindowsOf(zintrel.Pid(), before + 1, 10)) << "nothing opened";
    }
  }
  if (c.boxTitle != nullptr) {
    ASSERT_NE(WaitForVisibleWindow(c.boxTitle, 20), "");
  }
  // The box (or menu) is up; let it settle into its loop.
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(zintrel.Running());

  const auto start = std::chrono::steady_clock::now();
  ::kill(zintrel.Pid(), c.signal);
  const auto end = zintrel.WaitEnd(15s);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  ASSERT_TRUE(end.has_value()) << "still running 15 s after the signal";
  EXPECT_TRUE(end->exited && end->code == 128 + c.signal)
      << Describe(*end) << ", not exit status " << 128 + c.signal;
  EXPECT_EQ(zintrel.OwnStderr(), "");
  std::printf("%s, signal %d: ended in %lld ms\n", c.what, c.signal,
              static_cast<long long>(took.count()));
}

INSTANTIATE_TEST_SUITE_P(WhateverIsOpen, EndThroughBoxes, ::testing::ValuesIn(kOpenCases));

}  // namespace
}  // namespace zintrel::testing
