// The tone service through SDL's disk driver: the raw file holds exactly the
// samples a sound card would have played, written in real time.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/ToneService.h"
#include "tests/support/AudioCapture.h"

namespace zintrel {
namespace {

using platform::ToneService;
using testing::AudioCapture;
using testing::DiskAudioFile;
using testing::Sound;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One ToneService writing into its own file; Listen() closes the device and
// reads back what it played.
class ToneServiceDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Open(0);
    ASSERT_TRUE(tones_->HasDevice()) << "SDL's disk driver did not open";
    rate_ = tones_->SampleRate();
    buffer_ = tones_->BufferFrames();
  }

  void Open(int attempt) {
    tones_.reset();
    file_.reset();
    file_.emplace(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                  "-" + std::to_string(attempt));
    tones_.emplace();
  }

  AudioCapture Listen() {
    tones_.reset();
    return AudioCapture::Load(file_->Path(), rate_);
  }

  // Plays `play` and returns what was heard, as one sound. Whether tones
  // join depends on the caller getting the CPU within two device buffers
  // (10 ms) of its tone's end; on a machine starved of CPU that can fail,
  // so a run split by a gap is tried again, twice at most. A fault in the
  // service splits every attempt.
  AudioCapture ListenToOneRun(const std::function<void(ToneService&)>& play) {
    for (int attempt = 1;; ++attempt) {
      play(*tones_);
      AudioCapture capture = Listen();
      const std::size_t sounds = capture.Sounds().size();
      if (sounds == 1 || attempt == 3) return capture;
      std::printf("attempt %d was split into %zu sounds (busy machine?); trying again\n", attempt,
                  sounds);
      Open(attempt);
    }
  }

  double SamplesPerMs() const { return rate_ / 1000.0; }
  double BufferMs() const { return buffer_ * 1000.0 / rate_; }

  std::optional<DiskAudioFile> file_;
  std::optional<ToneService> tones_;
  int rate_ = 0;
  int buffer_ = 0;
};

TEST_F(ToneServiceDiskTest, OpensASmallMonoBuffer) {
  EXPECT_EQ(rate_, 48000);
  EXPECT_GT(buffer_, 0);
  EXPECT_LE(BufferMs(), 5.5);
}

// Each tone is separated from the next by 30 ms of 0 Hz, so that each shows
// up as a sound of its own.
TEST_F(ToneServiceDiskTest, EachToneHasItsFrequencyAndLength) {
  struct Case {
    std::int64_t hertz;
    std::int32_t ms;
  };
  const std::vector<Case> cases = {
      {1, 1600},   {37, 150},  {100, 150},  {600, 40},
      {1000, 100}, {5000, 50}, {15000, 50}, {20000, 50},
  };
  for (const Case& c : cases) {
    tones_->Beep(c.hertz, c.ms);
    tones_->Beep(0, 30);
  }
  const AudioCapture capture = Listen();
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(std::to_string(c.hertz) + " Hz for " + std::to_string(c.ms) + " ms");
    EXPECT_NEAR(capture.Hertz(sounds[i]), static_cast<double>(c.hertz), 0.01 * c.hertz);
    EXPECT_NEAR(static_cast<double>(sounds[i].length), c.ms * SamplesPerMs(), SamplesPerMs());
    // A comfortable level: about -12 dBFS, never near full scale. (The
    // samples of a tone of a few samples per period miss its crests.)
    EXPECT_GT(sounds[i].peak, c.hertz < 10000 ? 0.2f : 0.1f);
    EXPECT_LT(sounds[i].peak, 0.4f);
    if (i > 0) {
      const std::size_t previousEnd = sounds[i - 1].start + sounds[i - 1].length;
      EXPECT_NEAR(static_cast<double>(sounds[i].start - previousEnd), 30 * SamplesPerMs(),
                  SamplesPerMs());
    }
  }
}

TEST_F(ToneServiceDiskTest, EveryFrequencyBelowHalfTheRateIsPlayed) {
  tones_->Beep(rate_ / 2 - 1, 50);
  EXPECT_GT(Listen().Peak(), 0.0f);
}

// Band-limited: a 5 kHz square wave's odd harmonics above 24 kHz would fold
// back as stray frequencies; what remains of them must be faint. Measured as
// the energy left after removing the in-band harmonics (5, 15 kHz).
TEST_F(ToneServiceDiskTest, HighTonesDoNotAlias) {
  const double hertz = 5000;
  tones_->Beep(static_cast<std::int64_t>(hertz), 200);
  const AudioCapture capture = Listen();
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), 1u);
  // 48 periods of 5 kHz in the steady middle of the tone.
  const std::size_t n = 480;
  const std::size_t from = sounds[0].start + 2400;
  const auto& x = capture.Samples();
  double total = 0;
  for (std::size_t i = 0; i < n; ++i) total += x[from + i] * x[from + i];
  double harmonics = 0;
  for (double h : {hertz, 3 * hertz}) {
    double re = 0, im = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const double w = 2 * std::numbers::pi * h * static_cast<double>(i) / rate_;
      re += x[from + i] * std::cos(w);
      im += x[from + i] * std::sin(w);
    }
    harmonics += 2 * (re * re + im * im) / n;
  }
  const double strayDb = 10 * std::log10((total - harmonics) / total);
  EXPECT_LT(strayDb, -20.0) << "energy outside the audible harmonics";
}

TEST_F(ToneServiceDiskTest, RepeatedTonesJoinWithoutAGap) {
  const int count = 25;
  const AudioCapture capture = ListenToOneRun([&](ToneService& tones) {
    for (int i = 0; i < count; ++i) tones.Beep(600, 40);
  });
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), 1u) << "a gap split the run";
  EXPECT_NEAR(static_cast<double>(sounds[0].length), count * 40 * SamplesPerMs(), SamplesPerMs());
  // One continuous wave: every half period is 40 samples long.
  const std::vector<double> crossings = capture.ZeroCrossings(sounds[0]);
  ASSERT_GT(crossings.size(), 1000u);
  for (std::size_t i = 1; i < crossings.size(); ++i) {
    ASSERT_NEAR(crossings[i] - crossings[i - 1], rate_ / 1200.0, 0.5) << "at crossing " << i;
  }
  // ... at full level throughout: even one sample with nothing queued would
  // start a fade. Only the sample either side of a sign change is smoothed.
  const auto& x = capture.Samples();
  const float level = sounds[0].peak;
  std::size_t next = 0;  // first crossing not yet behind us
  const std::size_t fade = static_cast<std::size_t>(rate_ / 1000);
  for (std::size_t i = sounds[0].start + fade; i + fade < sounds[0].start + sounds[0].length; ++i) {
    while (next < crossings.size() && crossings[next] + 1.5 < static_cast<double>(i)) ++next;
    const bool nearCrossing =
        next < crossings.size() && std::fabs(crossings[next] - static_cast<double>(i)) <= 1.5;
    if (!nearCrossing) {
      ASSERT_NEAR(std::fabs(x[i]), level, 1e-4) << "at sample " << i;
    }
  }
}

TEST_F(ToneServiceDiskTest, ShortTonesJoinToo) {
  // 1 ms tones, shorter than the device buffer.
  const AudioCapture capture = ListenToOneRun([](ToneService& tones) {
    for (int i = 0; i < 200; ++i) tones.Beep(1000, 1);
  });
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_NEAR(static_cast<double>(sounds[0].length), 200 * SamplesPerMs(), SamplesPerMs());
  EXPECT_NEAR(capture.Hertz(sounds[0]), 1000.0, 10.0);
}

TEST_F(ToneServiceDiskTest, AChangeOfFrequencyKeepsThePhase) {
  // Tone lengths that end mid-period, where a restarted phase would show.
  const AudioCapture capture = ListenToOneRun([](ToneService& tones) {
    for (int i = 0; i < 10; ++i) {
      tones.Beep(600, 23);
      tones.Beep(1000, 17);
    }
  });
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_NEAR(static_cast<double>(sounds[0].length), 400 * SamplesPerMs(), SamplesPerMs());
  // Half periods are 40 samples at 600 Hz and 24 at 1000 Hz; one spanning a
  // change lies between the two.
  const std::vector<double> crossings = capture.ZeroCrossings(sounds[0]);
  for (std::size_t i = 1; i < crossings.size(); ++i) {
    const double halfPeriod = crossings[i] - crossings[i - 1];
    ASSERT_GE(halfPeriod, 24 - 0.5) << "at crossing " << i;
    ASSERT_LE(halfPeriod, 40 + 0.5) << "at crossing " << i;
  }
}

TEST_F(ToneServiceDiskTest, SoundFadesInAndOut) {
  tones_->Beep(1000, 50);
  const AudioCapture capture = Listen();
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), 1u);
  const auto& x = capture.Samples();
  std::size_t first = 0;
  while (x[first] == 0.0f) ++first;
  std::size_t last = x.size() - 1;
  while (x[last] == 0.0f) --last;
  // The level takes about 1 ms to rise and to fall: half of it lies
  // outside the sound's half-level edges on each side.
  const double rise = capture.Milliseconds(static_cast<double>(sounds[0].start - first));
  const double fall =
      capture.Milliseconds(static_cast<double>(last + 1 - (sounds[0].start + sounds[0].length)));
  EXPECT_GE(rise, 0.3);
  EXPECT_LE(rise, 1.0);
  EXPECT_GE(fall, 0.3);
  EXPECT_LE(fall, 1.0);
  // No jump at either end.
  EXPECT_LT(std::fabs(x[first]), 0.02f);
  EXPECT_LT(std::fabs(x[last]), 0.02f);
}

// Frequencies that cannot be played are silence of the tone's length: 50 ms
// between two audible tones.
TEST_F(ToneServiceDiskTest, UnplayableFrequenciesAreSilenceOfTheirLength) {
  const std::vector<std::int64_t> unplayable = {0,
                                                -440,
                                                24000,
                                                100000,
                                                std::numeric_limits<std::int64_t>::min(),
                                                std::numeric_limits<std::int64_t>::max()};
  for (std::int64_t hertz : unplayable) {
    tones_->Beep(1000, 20);
    tones_->Beep(hertz, 50);
  }
  tones_->Beep(1000, 20);
  const AudioCapture capture = Listen();
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), unplayable.size() + 1);
  for (std::size_t i = 0; i < unplayable.size(); ++i) {
    SCOPED_TRACE(std::to_string(unplayable[i]) + " Hz");
    const std::size_t end = sounds[i].start + sounds[i].length;
    EXPECT_NEAR(static_cast<double>(sounds[i + 1].start - end), 50 * SamplesPerMs(),
                SamplesPerMs());
    EXPECT_NEAR(static_cast<double>(sounds[i].length), 20 * SamplesPerMs(), SamplesPerMs());
  }
}

TEST_F(ToneServiceDiskTest, ASilentToneAloneWritesOnlyZeros) {
  const Clock::time_point start = Clock::now();
  tones_->Beep(0, 100);
  const double blocked = MsSince(start);
  EXPECT_GE(blocked, 100 - 3 * BufferMs() - 1);
  const AudioCapture capture = Listen();
  EXPECT_EQ(capture.Peak(), 0.0f);
  EXPECT_GE(capture.Samples().size(), static_cast<std::size_t>(95 * SamplesPerMs()));
}

// How long the call blocks. A tone from silence starts at the next device
// buffer and the call returns two buffers before its end; in a loop each call
// takes its tone's length. Lower bounds are tight (a call must never return
// early); upper bounds are generous, for a busy machine.
TEST_F(ToneServiceDiskTest, TheCallBlocksForTheTonesLength) {
  struct Case {
    std::int64_t hertz;
    std::int32_t ms;
  };
  for (const Case& c : std::vector<Case>{{1000, 100}, {440, 40}, {0, 60}, {100000, 30}}) {
    SCOPED_TRACE(std::to_string(c.hertz) + " Hz for " + std::to_string(c.ms) + " ms");
    const Clock::time_point start = Clock::now();
    tones_->Beep(c.hertz, c.ms);
    const double blocked = MsSince(start);
    EXPECT_GE(blocked, c.ms - 3 * BufferMs() - 1);
    EXPECT_LE(blocked, c.ms + 500);
    // Let it end, so that the next case starts from silence again.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }

  const int count = 10;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) tones_->Beep(800, 50);
  const double blocked = MsSince(start);
  EXPECT_GE(blocked, count * 50 - 3 * BufferMs() - 1);
  EXPECT_LE(blocked, count * 50 + 1000);
}

TEST_F(ToneServiceDiskTest, LengthsOfZeroOrLessReturnAtOnce) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < 1000; ++i) {
    tones_->Beep(1000, 0);
    tones_->Beep(1000, -5);
    tones_->Beep(1000, std::numeric_limits<std::int32_t>::min());
  }
  EXPECT_LT(MsSince(start), 500.0);
  EXPECT_EQ(Listen().Peak(), 0.0f);
}

TEST_F(ToneServiceDiskTest, InterruptCutsTheToneShortAndSilencesLaterOnes) {
  Clock::time_point start = Clock::now();
  std::thread player([this] { tones_->Beep(440, 5000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  tones_->Interrupt();
  player.join();
  EXPECT_LT(MsSince(start), 2500.0);

  start = Clock::now();
  tones_->Beep(440, 2000);
  EXPECT_LT(MsSince(start), 1000.0);

  const AudioCapture capture = Listen();
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_LT(capture.Milliseconds(static_cast<double>(sounds[0].length)), 2500.0);
  // Cut short with a fade, not a click.
  const auto& x = capture.Samples();
  std::size_t last = x.size() - 1;
  while (x[last] == 0.0f) --last;
  EXPECT_LT(std::fabs(x[last]), 0.02f);
}

// A tone from silence is rendered within its own call: the mark moves into
// the call's span for each sounding tone, and stays put for a silent one.
TEST_F(ToneServiceDiskTest, LastToneBeganMarksTheFirstRenderedSampleOfEachSoundingTone) {
  EXPECT_EQ(tones_->LastToneBegan(), Clock::time_point{});
  Clock::time_point previous{};
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const Clock::time_point called = Clock::now();
    tones_->Beep(1000, 60);
    const Clock::time_point returned = Clock::now();
    const Clock::time_point began = tones_->LastToneBegan();
    EXPECT_GT(began, previous);
    EXPECT_GE(began, called);
    EXPECT_LE(began, returned);
    previous = began;

    tones_->Beep(0, 40);
    tones_->Beep(100000, 40);  // unplayable: silence too
    EXPECT_EQ(tones_->LastToneBegan(), began) << "a silent tone moved the mark";
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
}

TEST_F(ToneServiceDiskTest, CallersOnSeveralThreadsTakeTurns) {
  std::thread other([this] {
    for (int i = 0; i < 5; ++i) tones_->Beep(1000, 20);
  });
  for (int i = 0; i < 5; ++i) tones_->Beep(500, 20);
  other.join();
  const AudioCapture capture = Listen();
  std::size_t total = 0;
  for (const Sound& s : capture.Sounds()) total += s.length;
  // Every tone played whole, none on top of another.
  EXPECT_NEAR(static_cast<double>(total), 200 * SamplesPerMs(), 10 * SamplesPerMs());
}

}  // namespace
}  // namespace zintrel
