// The real platform hands a broken X connection on: once the server is
// gone, every cursor or screen call that fails tells the display-lost
// handler, with the display's name. While the server runs it is never told.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/RealPlatform.h"
#include "tests/platform/PrivateXServer.h"

namespace zintrel::platform {
namespace {

using testing::PrivateXServer;

std::vector<std::string> g_lost;
void RecordLoss(const char* display) { g_lost.emplace_back(display); }

TEST(DisplayLost, FailedCallsOnABrokenConnectionTellTheHandler) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  PrivateXServer server;
  ASSERT_TRUE(server.Started());
  std::string error;
  auto platform = RealPlatform::Create(server.Display().c_str(), error);
  ASSERT_NE(platform, nullptr) << error;
  platform->SetDisplayLostHandler(&RecordLoss);

  Point at;
  EXPECT_TRUE(platform->GetCursorPos(at));
  EXPECT_TRUE(platform->SetCursorPos(5, 6));
  EXPECT_NE(platform->GetPrimaryScreenSize(), ScreenSize{});
  EXPECT_TRUE(g_lost.empty());

  server.Kill();
  // Cursor reads answer from the position the pointer's events told until
  // the event connection finds the server gone; give it time to notice.
  for (int i = 0; i < 1000 && platform->GetCursorPos(at); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  g_lost.clear();
  EXPECT_FALSE(platform->GetCursorPos(at));
  EXPECT_FALSE(platform->SetCursorPos(5, 6));
  EXPECT_EQ(platform->GetPrimaryScreenSize(), ScreenSize{});
  EXPECT_EQ(g_lost, std::vector<std::string>(3, server.Display()));
}

}  // namespace
}  // namespace zintrel::platform
