// Start-up of the real binary as the command line and the clock find it:
// end signals are handled from the very start, arguments in no encoding
// follow Zintrel's own rules with no box of the toolkit's, and the toolkit's
// own options (--display) take no effect: the panel and the cursor share
// $DISPLAY.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/DesktopTools.h"
#include "tests/app/RealPanel.h"
#include "tests/app/ZintrelProcess.h"
#include "tests/platform/PrivateXServer.h"

namespace zintrel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kEnv = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null",
                                       "WAYLAND_DISPLAY=", "XDG_SESSION_TYPE=x11"};

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// ---- End signals from the first instruction of main ----

struct EarlyCase {
  int delayMs;  // after the handlers are in place
  int signal;
  std::vector<std::string> args;
};

std::ostream& operator<<(std::ostream& os, const EarlyCase& c) {
  return os << "signal " << c.signal << " " << c.delayMs << " ms after the start of main";
}

// Spread over the whole start-up: the connections, the toolkit's start, the
// panel's initialisation and first showing. A start-up box or a hidden start
// changes nothing.
const EarlyCase kEarlyCases[] = {
    {0, SIGTERM, {}},
    {0, SIGINT, {}},
    {0, SIGHUP, {}},
    {2, SIGTERM, {}},
    {5, SIGINT, {}},
    {10, SIGHUP, {}},
    {20, SIGTERM, {}},
    {30, SIGINT, {"-Pitch"}},
    {50, SIGHUP, {}},
    {80, SIGTERM, {"-AutoStartAndHide"}},
    {120, SIGINT, {"-Interval"}},
    {200, SIGHUP, {"-AutoStartOnly"}},
};

class EarlySignal : public ::testing::TestWithParam<EarlyCase> {};

TEST_P(EarlySignal, EndsWithTheSignalsStatus) {
  const EarlyCase& c = GetParam();
  const Clock::time_point spawned = Clock::now();
  ZintrelProcess zintrel(c.args, kEnv);
  ASSERT_GT(zintrel.Pid(), 0);
  // The dynamic loader and the libraries' static set-up run before main:
  // wait for main to have put its handlers in place (they show in the
  // process's caught-signal mask), then count from there.
  while (zintrel.Running() && !zintrel.Catches(c.signal)) std::this_thread::sleep_for(100us);
  ASSERT_TRUE(zintrel.Running()) << "ended before it handled signals";
  const long long handledAfter = MsSince(spawned);
  std::this_thread::sleep_for(std::chrono::milliseconds(c.delayMs));
  ::kill(zintrel.Pid(), c.signal);

  const auto end = zintrel.WaitEnd(15s);
  ASSERT_TRUE(end.has_value()) << "still running 15 s after the signal";
  EXPECT_TRUE(end->exited && end->code == 128 + c.signal)
      << Describe(*end) << ", not exit status " << 128 + c.signal;
  EXPECT_EQ(zintrel.OwnStderr(), "");
  std::printf("handlers in place %lld ms after the start\n", handledAfter);
}

INSTANTIATE_TEST_SUITE_P(StartUp, EarlySignal, ::testing::ValuesIn(kEarlyCases));

// An X server that takes connections and never answers: a start-up that
// waits for it is blocked before anything of Zintrel's is set up.
class SilentXServer {
 public:
  SilentXServer() {
    for (int number = 900; number < 1000 && display_.empty(); ++number) {
      const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un addr{};
      addr.sun_family = AF_UNIX;
      // The abstract socket name X clients try first.
      const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
      std::memcpy(addr.sun_path + 1, path.data(), path.size());
      const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
      if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 && listen(fd, 4) == 0) {
        listen_ = fd;
        display_ = ":" + std::to_string(number);
      } else {
        close(fd);
      }
    }
  }
  ~SilentXServer() {
    if (client_ >= 0) close(client_);
    if (listen_ >= 0) close(listen_);
  }
  const std::string& Display() const { return display_; }
  // Waits up to `seconds` for a client to connect.
  bool Accept(int seconds) {
    pollfd p{listen_, POLLIN, 0};
    if (poll(&p, 1, seconds * 1000) != 1) return false;
    client_ = accept(listen_, nullptr, nullptr);
    return client_ >= 0;
  }

 private:
  int listen_ = -1;
  int client_ = -1;
  std::string display_;
};

TEST(EarlySignalWhileBlocked, EndsWithTheSignalsStatusWhileTheDisplayDoesNotAnswer) {
  SilentXServer server;
  ASSERT_NE(server.Display(), "");
  std::vector<std::string> env = kEnv;
  env.push_back("DISPLAY=" + server.Display());
  ZintrelProcess zintrel({}, env);
  ASSERT_GT(zintrel.Pid(), 0);
  ASSERT_TRUE(server.Accept(20)) << "zintrel never connected";
  // Zintrel now waits for the server's first answer, which never comes.
  ::kill(zintrel.Pid(), SIGTERM);
  const auto end = zintrel.WaitEnd(15s);
  ASSERT_TRUE(end.has_value()) << "still running 15 s after the signal";
  EXPECT_TRUE(end->exited && end->code == 128 + SIGTERM) << Describe(*end);
  EXPECT_EQ(zintrel.OwnStderr(), "");
}

// ---- Arguments in no encoding ----

bool WaitUntilPanelHidden(int seconds) {
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  while (Clock::now() < end) {
    if (!FindWindows(kPanelTitle, false).empty() && FindWindows(kPanelTitle, true).empty()) {
      return true;
    }
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

TEST(StartUpArguments, BytesThatAreNoTextAreIgnoredLikeAnyOtherToken) {
  // In a UTF-8 locale these are not text. The options around them still
  // count: the panel starts and hides by itself, with nothing left to click.
  ZintrelProcess zintrel({"\xff\xfe", "-AutoStartAndHide", "caf\xe9", "-Pitch", "\xc3", "-\xe9"},
                         {"LC_ALL=C.UTF-8", "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null",
                          "WAYLAND_DISPLAY=", "XDG_SESSION_TYPE=x11"});
  ASSERT_GT(zintrel.Pid(), 0);
  ASSERT_TRUE(WaitUntilPanelHidden(20)) << "the panel never came up and hid";
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(VisibleWindowsOf(zintrel.Pid()).size(), 0u) << "a window is left on screen";
  ::kill(zintrel.Pid(), SIGTERM);
  const auto end = zintrel.WaitEnd(15s);
  ASSERT_TRUE(end.has_value());
  EXPECT_TRUE(end->exited && end->code == 128 + SIGTERM) << Describe(*end);
  EXPECT_EQ(zintrel.OwnStderr(), "");
}

// ---- One display ----

class ToolkitDisplayOption : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(ToolkitDisplayOption, PanelAndCursorStayOnDisplay) {
  PrivateXServer other;
  ASSERT_TRUE(other.Started());
  std::vector<std::string> args;
  for (const std::string& a : GetParam()) args.push_back(a == "OTHER" ? other.Display() : a);
  if (args.size() == 1) args[0] += other.Display();
  args.push_back("-AutoStartOnly");
  ZintrelProcess zintrel(args, kEnv);
  ASSERT_GT(zintrel.Pid(), 0);

  ASSERT_NE(WaitForVisibleWindow(kPanelTitle, 20), "") << "no panel on $DISPLAY";
  EXPECT_NE(RunOnDisplay(other.Display(), "xdotool search --name '^Zintrel' >/dev/null 2>&1"), 0)
      << "a window of Zintrel's on " << other.Display();
  // The cursor is served where the panel is: pushed against the right edge
  // of $DISPLAY, it is wrapped to the left one.
  const XY screen = ScreenSize();
  bool wrapped = false;
  const auto until = Clock::now() + 10s;
  while (!wrapped && Clock::now() < until) {
    MoveMouse({screen.x - 1, screen.y / 3});
    std::this_thread::sleep_for(100ms);
    wrapped = MouseAt().x < screen.x / 2;
  }
  EXPECT_TRUE(wrapped) << "the cursor on $DISPLAY was not wrapped";

  ::kill(zintrel.Pid(), SIGTERM);
  const auto end = zintrel.WaitEnd(15s);
  ASSERT_TRUE(end.has_value());
  EXPECT_TRUE(end->exited && end->code == 128 + SIGTERM) << Describe(*end);
  EXPECT_EQ(zintrel.OwnStderr(), "");
}

INSTANTIATE_TEST_SUITE_P(StartUp, ToolkitDisplayOption,
                         ::testing::Values(std::vector<std::string>{"--display="},
                                           std::vector<std::string>{"--display", "OTHER"}));

}  // namespace
}  // namespace zintrel::testing
