// The engine that sleeps while the pointer is still must do exactly what the
// engine that polls every millisecond does. Each scripted path is played
// through both (the fake platform in its polling and its event mode) and
// everything a user can see or hear is compared: the wraps, the window
// travels, the speed texts and the tones, each with its clock reading.
//
// The workers run one at a time on this thread, fed with what the workers
// before them produced: the wrapper's moves join the user's path for the
// measuring threads, and the sampler's travels are replayed to the tone
// player at the moments they were stored.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/CursorWrapThread.h"
#include "engine/SharedState.h"
#include "engine/SpeedMonitorThread.h"
#include "engine/StatusTexts.h"
#include "engine/TonePlayerThread.h"
#include "engine/TravelSamplerThread.h"
#include "platform/fake/FakePlatform.h"

namespace zintrel::testing {
namespace {

using platform::FakePlatform;
using Mode = FakePlatform::WaitMode;
using Move = FakePlatform::CursorMove;

struct Run {
  std::uint32_t start;
  std::uint32_t stop;
};
struct Change {
  std::uint32_t time;
  std::int32_t value;
};

struct Script {
  const char* name;
  std::vector<Move> path;  // the user's hand
  std::vector<Run> runs;   // Start Only .. Stop
  std::uint32_t end;       // the speed monitor watches until then
  std::vector<Change> intervals;
  std::vector<Change> mutes;
  std::vector<Move> layoutChanges;  // the cursor's reading after the origin moved
};

struct TimedText {
  std::uint32_t time;
  int id;
  std::string text;
  bool operator==(const TimedText&) const = default;
};

class TimedTexts : public StatusTexts {
 public:
  explicit TimedTexts(FakePlatform& fake) : fake_(fake) {}
  void SetDlgItemText(int controlId, const char* text) override {
    std::lock_guard lock(mutex_);
    sent.push_back({fake_.Clock(), controlId, text});
  }
  std::vector<TimedText> sent;

 private:
  FakePlatform& fake_;
  std::mutex mutex_;
};

struct Outcome {
  std::vector<Move> wraps;
  std::vector<Change> travels;  // every change of g_nTravel, when it was stored
  std::vector<TimedText> texts;
  std::vector<FakePlatform::Tone> tones;
  int samplerReads = 0;  // what the sampler cost
};

// A fake desktop with the engine's state reset, installed for one worker.
struct Stage {
  FakePlatform fake;
  SliderPosition interval;
  SliderPosition pitch;

  Stage(Mode mode, const Script& s, const std::vector<Move>& wraps) {
    platform::Install(fake);
    fake.SetWaitMode(mode);
    fake.SetClock(0);
    fake.PlaceCursor({700, 500});
    g_bProcessEnding.store(false);
    g_bStopped.store(true);
    g_bWrapStopped.store(true);
    g_bMute.store(false);
    g_nTravel.store(0);
    interval.SetPos(80);
    pitch.SetPos(15);
    g_pIntervalSlider.store(&interval);
    g_pPitchSlider.store(&pitch);
    fake.SetCursorPath(s.path);
    fake.SetCursorPath(wraps);
    for (const Move& m : s.layoutChanges) fake.ChangeLayoutAt(m.time, {m.x, m.y});
    for (const Change& c : s.intervals) fake.At(c.time, [this, c] { interval.SetPos(c.value); });
    // Far after the script: ends a worker that would otherwise wait on.
    fake.At(s.end + 100'000, [] { SetProcessEnding(); });
  }
  ~Stage() {
    g_pIntervalSlider.store(nullptr);
    g_pPitchSlider.store(nullptr);
    g_hPanelWnd.store(nullptr);
    g_bProcessEnding.store(false);
    g_bStopped.store(true);
  }

  // Runs `worker` once for each run of the script, as Start and Stop would.
  template <typename Worker>
  void RunEach(const Script& s, Worker worker) {
    for (const Run& r : s.runs) {
      if (fake.Clock() < r.start) fake.Advance(r.start - fake.Clock());
      fake.At(r.stop, [] { SetStopped(true); });
      SetStopped(false);
      worker();
    }
  }
};

Outcome Play(Mode mode, const Script& s) {
  Outcome out;
  {
    Stage stage(mode, s, {});
    stage.RunEach(s, [] {
      SetWrapStopped(false);
      CursorWrapThread(WorkerTicket::Issue(WorkerRole::kCursorWrapper));
    });
    out.wraps = stage.fake.TimedCursorSets();
  }
  {
    Stage stage(mode, s, out.wraps);
    TimedTexts texts(stage.fake);
    g_hPanelWnd.store(&texts);
    stage.fake.At(s.end, [] { SetProcessEnding(); });
    SpeedMonitorThread(WorkerTicket::Issue(WorkerRole::kSpeedMonitor));
    out.texts = texts.sent;
  }
  {
    Stage stage(mode, s, out.wraps);
    // A travel stored while the clock showed T is seen here at T + 1.
    std::int32_t last = 0;
    for (std::uint32_t t = 1; t <= s.end + 400; ++t) {
      stage.fake.At(t, [&out, &last, t] {
        if (g_nTravel.load() != last) out.travels.push_back({t - 1, last = g_nTravel.load()});
      });
    }
    stage.RunEach(s, [] { TravelSamplerThread(WorkerTicket::Issue(WorkerRole::kTravelSampler)); });
    out.samplerReads = stage.fake.CursorReads();
  }
  {
    Stage stage(mode, s, {});
    for (const Change& c : out.travels) stage.fake.At(c.time, [c] { PublishTravel(c.value); });
    for (const Change& c : s.mutes) stage.fake.At(c.time, [c] { SetMute(c.value != 0); });
    stage.RunEach(s, [] { TonePlayerThread(WorkerTicket::Issue(WorkerRole::kTonePlayer)); });
    out.tones = stage.fake.Tones();
  }
  return out;
}

// The hand moving `step` pixels right every `everyMs` from `from` to `to`.
std::vector<Move> Drift(std::uint32_t from, std::uint32_t to, std::uint32_t everyMs,
                        std::int32_t step, platform::Point at) {
  std::vector<Move> path;
  for (std::uint32_t t = from; t < to; t += everyMs) {
    at.x += step;
    path.push_back({t, at.x, at.y});
  }
  return path;
}

std::vector<Move> Join(std::vector<Move> a, const std::vector<Move>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<Script> Scripts() {
  return {
      {"still", {}, {{0, 3000}}, 3000, {}, {}, {}},
      {"long still, then a slow drift",
       Drift(1500, 2100, 7, 1, {700, 500}),
       {{0, 3000}},
       3000,
       {},
       {},
       {}},
      {"fast flicks between still stretches",
       {{500, 1000, 500}, {503, 1300, 520}, {900, 100, 80}, {1700, 1200, 900}},
       {{0, 2500}},
       2500,
       {},
       {},
       {}},
      {"edge wraps and a corner",
       {{403, 1919, 500}, {1007, 800, 0}, {1501, 0, 0}, {1533, 5, 7}},
       {{0, 2200}},
       2200,
       {},
       {},
       {}},
      {"Stop and Start mid-motion",
       Drift(200, 1300, 3, 2, {700, 500}),
       {{0, 500}, {520, 900}, {905, 2000}},
       2000,
       {},
       {},
       {}},
      {"Interval changed mid-window, muted for a while",
       Join(Drift(100, 700, 2, 1, {300, 500}), Drift(1100, 1400, 5, 3, {900, 500})),
       {{0, 2000}},
       2000,
       {{437, 13}, {901, 300}, {1250, 2}},
       {{300, 1}, {650, 0}},
       {}},
      {"primary origin moved while still, then moved back",
       Drift(1400, 1500, 4, 1, {2620, 500}),
       {{0, 2200}},
       2200,
       {},
       {},
       {{700, 2620, 500}, {1300, 2620, 500}}},
  };
}

class QuietWaitTest : public ::testing::TestWithParam<Script> {};

TEST_P(QuietWaitTest, SleepingEngineDoesWhatThePollingEngineDoes) {
  const Script& s = GetParam();
  const Outcome polled = Play(Mode::kPoll, s);
  const Outcome quiet = Play(Mode::kEvents, s);

  auto moves = [](const std::vector<Move>& v) {
    std::string text;
    for (const Move& m : v)
      text += std::to_string(m.time) + ":" + std::to_string(m.x) + "," + std::to_string(m.y) + " ";
    return text;
  };
  auto changes = [](const std::vector<Change>& v) {
    std::string text;
    for (const Change& c : v) text += std::to_string(c.time) + ":" + std::to_string(c.value) + " ";
    return text;
  };
  EXPECT_EQ(moves(quiet.wraps), moves(polled.wraps));
  EXPECT_EQ(changes(quiet.travels), changes(polled.travels));
  EXPECT_EQ(quiet.texts, polled.texts);
  EXPECT_EQ(quiet.tones, polled.tones);
  // The sleeping sampler reads the cursor only around motion.
  EXPECT_LT(quiet.samplerReads * 2, polled.samplerReads);
}

INSTANTIATE_TEST_SUITE_P(Paths, QuietWaitTest, ::testing::ValuesIn(Scripts()),
                         [](const ::testing::TestParamInfo<Script>& info) {
                           std::string name;
                           for (const char c : std::string(info.param.name)) {
                             if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                           }
                           return name;
                         });

// A monitor added or rearranged while the cursor rests: its reading jumps by
// the origin's move, and neither engine counts that as travel.
TEST(LayoutChangeTest, OriginMovedUnderAStillCursorIsNoTravel) {
  const Script s{"", {}, {{0, 2000}}, 2000, {}, {}, {{700, 2620, 500}, {1300, -1220, 500}}};
  for (const Mode mode : {Mode::kPoll, Mode::kEvents}) {
    const Outcome out = Play(mode, s);
    EXPECT_TRUE(out.travels.empty());
    EXPECT_TRUE(out.texts.empty());
    EXPECT_TRUE(out.tones.empty());
  }
}

}  // namespace
}  // namespace zintrel::testing
