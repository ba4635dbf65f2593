// What the X11 layer does when there is no usable X server: a one-line
// reason at connect time, false / {0, 0} once the server has gone, never a
// crash or a hang. Each case runs against its own private server (or none).

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "PrivateXServer.h"
#include "platform/RealPlatform.h"
#include "platform/x11/XcbDesktop.h"
#include "tests/support/ScratchDir.h"

namespace zintrel::platform {
namespace {

using testing::PrivateXServer;

// Sets (or with nullopt, unsets) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string ConnectError(const char* display) {
  std::string error;
  auto desktop = XcbDesktop::Connect(display, error);
  EXPECT_EQ(desktop, nullptr);
  return error;
}

TEST(XcbFailureTest, NoDisplaySetIsReportedAsSuch) {
  for (const std::optional<std::string>& value : {std::optional<std::string>{}, {""}}) {
    ScopedEnv display("DISPLAY", value);
    EXPECT_EQ(ConnectError(nullptr), "no X display: DISPLAY is not set");
    // The program's own entry point reports the same.
    std::string error;
    EXPECT_EQ(RealPlatform::Create(nullptr, error), nullptr);
    EXPECT_EQ(error, "no X display: DISPLAY is not set");
  }
}

TEST(XcbFailureTest, UnusableDisplayNamesGiveTheirReason) {
  struct Case {
    const char* display;
    const char* error;
  };
  const Case cases[] = {
      {":64999", "cannot open X display ':64999': no X server is running there"},
      {"not a display", "cannot open X display 'not a display': not a valid display name"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConnectError(c.display), c.error);
    ScopedEnv display("DISPLAY", c.display);
    EXPECT_EQ(ConnectError(nullptr), c.error);
  }
}

TEST(XcbFailureTest, ServerThatHasNoSuchScreen) {
  PrivateXServer server;
  ASSERT_TRUE(server.Started());
  const std::string name = server.Display() + ".3";
  EXPECT_EQ(ConnectError(name.c_str()), "cannot open X display '" + name + "': no such screen");
}

// A socket where a server would listen, but nobody accepts on it (a server
// that died and left its socket behind).
TEST(XcbFailureTest, DeadServerSocketIsConnectionRefused) {
  const int number = 64000 + static_cast<int>(getpid() % 900);
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
  ASSERT_NE(access("/tmp/.X11-unix", W_OK), -1) << "no writable /tmp/.X11-unix";
  ASSERT_NE(access(path.c_str(), F_OK), 0) << path << " is in use";
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);

  const std::string name = ":" + std::to_string(number);
  EXPECT_EQ(ConnectError(name.c_str()), "cannot open X display '" + name + "': connection refused");
  close(fd);
  unlink(path.c_str());
}

// A server with access control that we hold no key for turns us away.
TEST(XcbFailureTest, ServerThatRefusesUsIsReported) {
  const zintrel::testing::ScratchDir scratch;
  ASSERT_FALSE(scratch.Path().empty());
  const std::string authFile = scratch.File("server-xauth");
  {
    // One MIT-MAGIC-COOKIE-1 entry for any address and display.
    std::ofstream out(authFile, std::ios::binary);
    const std::string name = "MIT-MAGIC-COOKIE-1";
    auto u16 = [&](std::size_t n) {
      out.put(static_cast<char>(n >> 8));
      out.put(static_cast<char>(n & 0xff));
    };
    u16(0xffff);  // FamilyWild
    u16(0);       // address
    u16(0);       // display number
    u16(name.size());
    out << name;
    u16(16);
    out << "0123456789abcdef";
  }
  PrivateXServer server("1024x768x24", {"-auth", authFile});
  ASSERT_TRUE(server.Started());
  ScopedEnv xauthority("XAUTHORITY", scratch.File("no-such-xauthority"));

  // The server's own reason is part of the one line, and nothing else
  // reaches stderr.
  ::testing::internal::CaptureStderr();
  const std::string error = ConnectError(server.Display().c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(error, "cannot open X display '" + server.Display() +
                       "': connection refused by the X server (Authorization required, but no "
                       "authorization protocol specified)");
}

TEST(XcbFailureTest, ServerWithoutRandrFallsBackToTheRootWindow) {
  PrivateXServer server("1600x900x24", {"-extension", "RANDR"});
  ASSERT_TRUE(server.Started());
  ASSERT_NE(testing::RunOnDisplay(server.Display(), "xrandr >/dev/null 2>&1"), 0)
      << "RandR is still there";
  std::string error;
  auto desktop = XcbDesktop::Connect(server.Display().c_str(), error);
  ASSERT_NE(desktop, nullptr) << error;

  EXPECT_EQ(desktop->GetPrimaryScreenSize(), (ScreenSize{1600, 900}));
  for (const auto& [target, expected] :
       {std::pair{Point{0, 0}, Point{0, 0}}, std::pair{Point{1599, 899}, Point{1599, 899}},
        std::pair{Point{-5, 2000}, Point{0, 899}}}) {
    ASSERT_TRUE(desktop->SetCursorPos(target.x, target.y));
    Point read{-1, -1};
    ASSERT_TRUE(desktop->GetCursorPos(read));
    EXPECT_EQ(read, expected);
  }
}

// The X server dies while workers poll the cursor: every call returns at once
// with false or {0, 0}, again and again.
TEST(XcbFailureTest, ServerGoneLaterGivesFailuresNotCrashes) {
  PrivateXServer server;
  ASSERT_TRUE(server.Started());
  std::string error;
  auto desktop = XcbDesktop::Connect(server.Display().c_str(), error);
  ASSERT_NE(desktop, nullptr) << error;
  ASSERT_TRUE(desktop->SetCursorPos(40, 30));

  std::atomic<int> running{0};
  std::vector<std::thread> pollers;
  for (int t = 0; t < 3; ++t) {
    pollers.emplace_back([&] {
      running.fetch_add(1);
      Point p;
      while (desktop->GetCursorPos(p)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
  }
  while (running.load() < 3) std::this_thread::yield();
  server.Kill();
  for (std::thread& t : pollers) t.join();

  for (int i = 0; i < 3; ++i) {
    Point p{7, 8};
    EXPECT_FALSE(desktop->GetCursorPos(p));
    EXPECT_EQ(p, (Point{7, 8})) << "left alone on failure";
    EXPECT_FALSE(desktop->SetCursorPos(1, 1));
    EXPECT_EQ(desktop->GetPrimaryScreenSize(), (ScreenSize{0, 0}));
  }
}

}  // namespace
}  // namespace zintrel::platform
