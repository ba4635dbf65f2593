// Without any audio device (SDL_AUDIODRIVER names a driver that does not
// exist), tones are silent waits of their length and the service says why,
// once, on stderr.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/audio/ToneService.h"

namespace zintrel {
namespace {

using platform::ToneService;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(ToneServiceNoDeviceTest, SaysSoOnceAndWaitsOutEachTone) {
  ::testing::internal::CaptureStderr();
  {
    ToneService tones;
    EXPECT_FALSE(tones.HasDevice());
    EXPECT_EQ(tones.SampleRate(), 0);
    EXPECT_EQ(tones.BufferFrames(), 0);
    for (std::int64_t hertz : {std::int64_t{1000}, std::int64_t{0}, std::int64_t{100000}}) {
      const Clock::time_point start = Clock::now();
      tones.Beep(hertz, 100);
      const double blocked = MsSince(start);
      EXPECT_GE(blocked, 100.0) << hertz << " Hz";
      EXPECT_LE(blocked, 600.0) << hertz << " Hz";
    }
    const Clock::time_point start = Clock::now();
    tones.Beep(1000, 0);
    tones.Beep(1000, -1);
    EXPECT_LT(MsSince(start), 50.0);
  }
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("zintrel: no audio device found (", 0), 0u) << err;
  EXPECT_NE(err.find("nonexistent"), std::string::npos) << "SDL's reason is given: " << err;
  const std::string tail = "; tones will be silent\n";
  ASSERT_GE(err.size(), tail.size());
  EXPECT_EQ(err.substr(err.size() - tail.size()), tail) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line only: " << err;
}

TEST(ToneServiceNoDeviceTest, InterruptEndsTheSilentWait) {
  ::testing::internal::CaptureStderr();
  ToneService tones;
  const Clock::time_point start = Clock::now();
  std::thread player([&tones] { tones.Beep(440, 5000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  tones.Interrupt();
  player.join();
  EXPECT_LT(MsSince(start), 2500.0);
  const Clock::time_point later = Clock::now();
  tones.Beep(440, 3000);
  EXPECT_LT(MsSince(later), 1000.0);
  ::testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace zintrel
