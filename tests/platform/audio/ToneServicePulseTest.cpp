// The tone service against a real PulseAudio server of the test's own: what
// a user's desktop mixer sees of Zintrel, and what it hears.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/ToneService.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/PrivatePulse.h"

namespace zintrel {
namespace {

using platform::ToneService;
using testing::AudioCapture;
using testing::PrivatePulse;
using testing::Sound;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Waits up to `limit` for `done`; how long it took, or nullopt.
std::optional<double> WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const Clock::time_point start = Clock::now();
  while (!done()) {
    if (Clock::now() - start > limit) return std::nullopt;
    std::this_thread::sleep_for(20ms);
  }
  return MsSince(start);
}

// A stream that misses the server's deadline (a starved machine) is played
// late, not lost: a tone may come in pieces with silence between them. The
// tests play neighbouring tones at different frequencies, so pieces of one
// frequency in a row are one tone, and together they hold all of it.
struct Heard {
  double hertz = 0;
  Sound longest;
  std::size_t samples = 0;
  int pieces = 0;
  // How near `samples` comes to the tone's length: each cut may take up to
  // a period's worth of the wave's quiet edge below the threshold.
  double ToleranceMs() const { return 2.0 + (pieces - 1) * 2 * 1000.0 / std::max(hertz, 1.0); }
};

std::vector<Heard> HeardTones(const AudioCapture& capture) {
  std::vector<Heard> heard;
  for (const Sound& s : capture.Sounds(0.05f)) {
    const double hz = capture.Hertz(s);  // 0 for a piece too short to tell
    const bool same = !heard.empty() && (hz == 0 || heard.back().hertz == 0 ||
                                         std::fabs(hz - heard.back().hertz) < 0.02 * hz);
    if (!same) heard.push_back({});
    Heard& h = heard.back();
    if (s.length > h.longest.length) {
      h.longest = s;
      if (hz > 0) h.hertz = hz;
    }
    h.samples += s.length;
    ++h.pieces;
  }
  return heard;
}

class ToneServicePulseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pulse_.emplace();
    ASSERT_TRUE(pulse_->Ready()) << pulse_->Error();
    tones_.emplace();
    ASSERT_TRUE(tones_->HasDevice()) << "SDL found no PulseAudio";
  }
  void TearDown() override {
    tones_.reset();
    pulse_.reset();
  }

  // Plays `hertz` for `ms` on a thread of its own while `during` runs.
  void PlayWhile(std::int64_t hertz, std::int32_t ms, const std::function<void()>& during) {
    std::thread player([&] { tones_->Beep(hertz, ms); });
    during();
    player.join();
  }

  std::optional<PrivatePulse> pulse_;
  std::optional<ToneService> tones_;
};

TEST_F(ToneServicePulseTest, TonesArriveAtTheirFrequencies) {
  ASSERT_TRUE(pulse_->StartRecording());
  const std::vector<std::int64_t> hertz = {100, 440, 1000, 5000, 12000};
  for (std::int64_t h : hertz) {
    tones_->Beep(h, 150);
    tones_->Beep(0, 60);
  }
  std::this_thread::sleep_for(300ms);  // the server's own latency
  const AudioCapture capture = pulse_->StopRecording();
  const std::vector<Heard> heard = HeardTones(capture);
  ASSERT_EQ(heard.size(), hertz.size());
  for (std::size_t i = 0; i < hertz.size(); ++i) {
    SCOPED_TRACE(std::to_string(hertz[i]) + " Hz");
    EXPECT_NEAR(capture.Hertz(heard[i].longest), static_cast<double>(hertz[i]), 0.01 * hertz[i]);
    EXPECT_NEAR(capture.Milliseconds(static_cast<double>(heard[i].samples)), 150.0,
                heard[i].ToleranceMs());
  }
}

// The mixer lists the stream under Zintrel's name and icon, only while it
// sounds: none before the first tone, none kIdleClose after the last.
TEST_F(ToneServicePulseTest, TheStreamIsZintrelsAndLivesOnlyAroundSound) {
  EXPECT_EQ(pulse_->Streams(), 0) << "a stream before any tone";
  std::string listed;
  PlayWhile(1000, 1500, [&] {
    WaitFor([&] { return pulse_->Streams() == 1; }, 1000ms);
    listed = pulse_->SinkInputs();
  });
  EXPECT_NE(listed.find("application.name = \"Zintrel\""), std::string::npos) << listed;
  EXPECT_NE(listed.find("application.icon_name = \"zintrel\""), std::string::npos) << listed;

  const std::optional<double> closed = WaitFor([&] { return pulse_->Streams() == 0; }, 10s);
  ASSERT_TRUE(closed) << "the stream stayed open with nothing sounding";
  // Not before the idle time (a late check can only see it later).
  const double idleMs = std::chrono::duration<double, std::milli>(ToneService::kIdleClose).count();
  EXPECT_GE(*closed, idleMs - 100.0);
  EXPECT_FALSE(tones_->DeviceOpen());

  // ... and comes back for the next tone, which is heard whole.
  ASSERT_TRUE(pulse_->StartRecording());
  int streamsWhileSounding = 0;
  PlayWhile(2000, 400, [&] {
    WaitFor([&] { return pulse_->Streams() == 1; }, 400ms);
    streamsWhileSounding = pulse_->Streams();
  });
  std::this_thread::sleep_for(300ms);
  const AudioCapture capture = pulse_->StopRecording();
  EXPECT_EQ(streamsWhileSounding, 1);
  const std::vector<Heard> heard = HeardTones(capture);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_NEAR(capture.Hertz(heard[0].longest), 2000.0, 20.0);
  EXPECT_NEAR(capture.Milliseconds(static_cast<double>(heard[0].samples)), 400.0,
              heard[0].ToleranceMs());
}

// Silent requests never open a stream.
TEST_F(ToneServicePulseTest, SilenceNeedsNoStream) {
  for (std::int64_t hertz : {0, 10, 20000, 100000}) {
    const Clock::time_point start = Clock::now();
    tones_->Beep(hertz, 100);
    EXPECT_GE(MsSince(start), 100.0) << hertz << " Hz";
    EXPECT_EQ(pulse_->Streams(), 0) << hertz << " Hz";
  }
}

// ExpectTone opens the stream ahead of the tone; if none comes, it closes.
TEST_F(ToneServicePulseTest, ExpectToneOpensAheadAndClosesWhenNoToneCame) {
  tones_->ExpectTone();
  ASSERT_TRUE(WaitFor([&] { return tones_->DeviceOpen(); }, 2000ms)) << "not opened ahead";
  EXPECT_EQ(pulse_->Streams(), 1);
  ASSERT_TRUE(WaitFor([&] { return pulse_->Streams() == 0; }, 10s)) << "left open";
}

// Stop: the tone in progress ends, the stream goes soon after.
TEST_F(ToneServicePulseTest, DropPendingTonesClosesTheStreamOnceSilent) {
  PlayWhile(1000, 300, [&] {
    ASSERT_TRUE(WaitFor([&] { return pulse_->Streams() == 1; }, 1000ms));
    tones_->DropPendingTones();
  });
  const std::optional<double> closed = WaitFor([&] { return pulse_->Streams() == 0; }, 10s);
  ASSERT_TRUE(closed);
  EXPECT_LT(*closed, 1500.0) << "closed only by the idle time";
}

// The sound server going away mid-run: tones go on as silence of their
// length, the service says so once, and sound comes back with the server.
TEST_F(ToneServicePulseTest, ALostServerLeavesSilentTimingAndSoundComesBack) {
  ::testing::internal::CaptureStderr();
  tones_->Beep(1000, 100);
  pulse_->Kill();
  const int count = 20;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) tones_->Beep(1000, 50);
  const double took = MsSince(start);
  // Paced as if heard (the lost device's last buffers may go unwaited).
  EXPECT_GE(took, count * 50 - 30.0);
  EXPECT_LE(took, count * 50 + 3000.0);

  ASSERT_TRUE(pulse_->Restart()) << pulse_->Error();
  ASSERT_TRUE(pulse_->StartRecording());
  // Reopened at the first tone after the retry pause.
  const Clock::time_point again = Clock::now();
  while (MsSince(again) < 6000 && pulse_->Streams() == 0) tones_->Beep(1500, 50);
  for (int i = 0; i < 6; ++i) tones_->Beep(1500, 50);
  std::this_thread::sleep_for(300ms);
  const AudioCapture capture = pulse_->StopRecording();
  const std::string err = ::testing::internal::GetCapturedStderr();
  const std::vector<Heard> heard = HeardTones(capture);
  ASSERT_FALSE(heard.empty()) << "no sound after the server came back";
  EXPECT_NEAR(capture.Hertz(heard.back().longest), 1500.0, 15.0);
  EXPECT_NE(err.find("zintrel: the audio device stopped playing"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line only: " << err;
}

}  // namespace
}  // namespace zintrel
