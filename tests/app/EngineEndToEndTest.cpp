// The engine as a user meets it: the real binary on the test's X server,
// xdotool moving the cursor, and SDL's disk driver writing every sample the
// tone service renders.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/DesktopTools.h"
#include "tests/app/RunningZintrel.h"
#include "tests/support/AudioCapture.h"

namespace zintrel::testing {
namespace {

using namespace std::chrono_literals;

const std::string kPanel = "Zintrel v1.0";
constexpr int kRate = 48000;                     // what the tone service asks of the disk driver
constexpr int kPitch = 15;                       // the default Pitch
constexpr int kToneSamples = 40 * kRate / 1000;  // the default Interval 80 gives 40 ms tones
constexpr int kSigterm = 128 + 15;

// Checks that every sound is a run of whole 40 ms tones, each at a whole
// number of pixels times 15 Hz, and returns those numbers of pixels.
std::vector<double> TravelsOfTones(const AudioCapture& capture) {
  std::vector<double> travels;
  for (const Sound& sound : capture.Sounds()) {
    const long tones = std::lround(static_cast<double>(sound.length) / kToneSamples);
    EXPECT_GE(tones, 1) << "a sound of " << capture.Milliseconds(sound.length) << " ms";
    EXPECT_NEAR(static_cast<double>(sound.length), static_cast<double>(tones * kToneSamples), 4.0)
        << "a sound at " << capture.Milliseconds(sound.start) << " ms is not whole 40 ms tones";
    for (long k = 0; k < tones; ++k) {
      const Sound tone{sound.start + static_cast<std::size_t>(k) * kToneSamples, kToneSamples,
                       sound.peak};
      if (tone.start + tone.length > capture.Samples().size()) break;
      const double travel = capture.Hertz(tone) / kPitch;
      EXPECT_NEAR(travel, std::round(travel), 0.1)
          << "the tone at " << capture.Milliseconds(tone.start) << " ms is " << capture.Hertz(tone)
          << " Hz, not whole pixels times 15 Hz";
      travels.push_back(std::round(travel));
    }
  }
  return travels;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Cursor speed of the glides below: 8 pixels every 10 ms, so a window of
// about 81 ms holds some 60 pixels; a busy machine slows xdotool down, so the
// bounds are wide.
constexpr int kGlideStepPx = 8;
constexpr int kGlideStepMs = 10;
constexpr double kFewestPixels = 8;
constexpr double kMostPixels = 400;

TEST(EngineEndToEnd, SteadyMovementPlaysTravelTimesPitchInFortyMillisecondTones) {
  DiskAudioFile audio("e2e-tones");
  MoveMouse({200, 60});  // the sampler starts where the glide does: no first jump
  RunningZintrel zintrel({"-AutoStartOnly"});
  ASSERT_NE(WaitForVisibleWindow(kPanel, 20), "");
  std::this_thread::sleep_for(500ms);
  { Glide glide(60, 200, 1400, kGlideStepPx, kGlideStepMs, 1); }
  std::this_thread::sleep_for(500ms);  // the last window stores 0, the last tone ends
  ASSERT_EQ(zintrel.Terminate(), kSigterm);

  const AudioCapture capture = AudioCapture::Load(audio.Path(), kRate);
  const std::vector<double> travels = TravelsOfTones(capture);
  // About 3 s of movement, two tones a window.
  EXPECT_GE(travels.size(), 20u);
  const double median = Median(travels);
  EXPECT_GE(median, kFewestPixels);
  EXPECT_LE(median, kMostPixels);
  // Still at the end: the capture ends in silence.
  const std::vector<Sound> sounds = capture.Sounds();
  ASSERT_FALSE(sounds.empty());
  EXPECT_LT(sounds.back().start + sounds.back().length + kRate / 10, capture.Samples().size());
}

struct Push {
  const char* edge;
  XY (*to)(XY screen);       // where the test puts the cursor
  XY (*landing)(XY screen);  // where the wrapper must leave it
};

TEST(EngineEndToEnd, ACursorPushedAgainstAnEdgeComesBackInsideTheOppositeOne) {
  DiskAudioFile audio("e2e-wrap");
  RunningZintrel zintrel({"-MakeNoSound", "1", "-AutoStartOnly"});  // wrapping is on by default
  ASSERT_NE(WaitForVisibleWindow(kPanel, 20), "");
  const XY screen = ScreenSize();
  ASSERT_GT(screen.x, 2);
  ASSERT_GT(screen.y, 2);
  const Push pushes[] = {
      // Beyond the right and bottom edges: the server stops the cursor on them.
      {"right",
       [](XY s) {
         return XY{s.x + 100, 500};
       },
       [](XY) {
         return XY{1, 500};
       }},
      {"bottom",
       [](XY s) {
         return XY{700, s.y + 100};
       },
       [](XY) {
         return XY{700, 1};
       }},
      {"left",
       [](XY) {
         return XY{0, 300};
       },
       [](XY s) {
         return XY{s.x - 2, 300};
       }},
      {"top",
       [](XY) {
         return XY{900, 0};
       },
       [](XY s) {
         return XY{900, s.y - 2};
       }},
  };
  for (const Push& push : pushes) {
    SCOPED_TRACE(push.edge);
    MoveMouse({screen.x / 2, screen.y / 3});
    std::this_thread::sleep_for(50ms);
    MoveMouse(push.to(screen));
    const XY landing = push.landing(screen);
    XY at = MouseAt();
    for (auto end = std::chrono::steady_clock::now() + 3s;
         !(at == landing) && std::chrono::steady_clock::now() < end; at = MouseAt()) {
      std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(at.x, landing.x);
    EXPECT_EQ(at.y, landing.y);
  }
  EXPECT_EQ(zintrel.Terminate(), kSigterm);
}

TEST(EngineEndToEnd, NoSoundKeepsSilentWhileTheSpeedReadOutMoves) {
  DiskAudioFile audio("e2e-mute");
  RunningZintrel zintrel({"-MakeNoSound", "1", "-AutoStartOnly"});
  const std::string panel = WaitForVisibleWindow(kPanel, 20);
  ASSERT_NE(panel, "");
  // Glide clear of the panel, so that nothing on it lights up under the cursor.
  const XY screen = ScreenSize();
  const WindowBox box = Geometry(panel);
  const int y = box.y > 40 ? box.y / 2 : (box.y + box.height + screen.y) / 2;
  MoveMouse({200, y});
  std::this_thread::sleep_for(1500ms);  // windows of a still cursor: "halted at 0"
  const std::string still = WindowPixels(panel);
  ASSERT_FALSE(still.empty());
  std::string moving;
  {
    Glide glide(y, 200, 1400, kGlideStepPx, kGlideStepMs, 1);
    std::this_thread::sleep_for(1500ms);
    moving = WindowPixels(panel);
  }
  // Once the glide has ended the next still windows bring "halted at 0"
  // back; a loaded machine may take a while to get there.
  std::string stillAgain = WindowPixels(panel);
  for (auto end = std::chrono::steady_clock::now() + 20s;
       stillAgain != still && std::chrono::steady_clock::now() < end;
       stillAgain = WindowPixels(panel)) {
    std::this_thread::sleep_for(200ms);
  }
  ASSERT_EQ(zintrel.Terminate(), kSigterm);

  EXPECT_NE(moving, still) << "the speed read-out did not change while the cursor moved";
  EXPECT_EQ(stillAgain, still) << "the read-out did not come back to a halted cursor";
  const AudioCapture capture = AudioCapture::Load(audio.Path(), kRate);
  EXPECT_GT(capture.Samples().size(), static_cast<std::size_t>(kRate))
      << "the audio device did not run";
  EXPECT_EQ(capture.Peak(), 0.0f) << "a sound was made with the no-sound box checked";
}

TEST(EngineEndToEnd, StartAndHideRunsOnWithTheWindowUnmappedAndTonesGoing) {
  DiskAudioFile audio("e2e-hidden");
  MoveMouse({200, 60});
  RunningZintrel zintrel({"-AutoStartAndHide"});
  bool hidden = false;
  for (auto end = std::chrono::steady_clock::now() + 20s;
       !hidden && std::chrono::steady_clock::now() < end;) {
    std::this_thread::sleep_for(200ms);
    hidden = !FindWindows(kPanel, false).empty() && FindWindows(kPanel, true).empty();
  }
  ASSERT_TRUE(hidden) << "no unmapped panel window";
  std::this_thread::sleep_for(300ms);
  { Glide glide(60, 200, 1000, kGlideStepPx, kGlideStepMs, 1); }
  EXPECT_TRUE(zintrel.Running());
  EXPECT_TRUE(FindWindows(kPanel, true).empty()) << "the panel came back";
  std::this_thread::sleep_for(300ms);
  ASSERT_EQ(zintrel.Terminate(), kSigterm);

  const std::vector<double> travels = TravelsOfTones(AudioCapture::Load(audio.Path(), kRate));
  EXPECT_GE(travels.size(), 10u);
  const double median = Median(travels);
  EXPECT_GE(median, kFewestPixels);
  EXPECT_LE(median, kMostPixels);
}

// The engine's threads of a running zintrel: the speed monitor always, the
// sampler, the tone player and the wrapper while it runs.
int WorkerThreads(pid_t pid) {
  int count = 0;
  std::error_code ignored;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks, ignored)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == "zintrel-worker") ++count;
  }
  return count;
}

// Waits for the number of worker threads to be one of `allowed` and stay so
// for half a second; gives the last count seen. The clicks of a hammering
// may still be queued for the panel when xdotool is done: on a busy machine
// working through them takes seconds, hence the long limit.
int SettledWorkers(pid_t pid, const std::set<int>& allowed) {
  int count = WorkerThreads(pid);
  auto stableSince = std::chrono::steady_clock::now();
  for (auto end = stableSince + 60s; std::chrono::steady_clock::now() < end;) {
    std::this_thread::sleep_for(20ms);
    const int now = WorkerThreads(pid);
    if (now != count) {
      count = now;
      stableSince = std::chrono::steady_clock::now();
    } else if (allowed.count(count) > 0 && std::chrono::steady_clock::now() - stableSince > 500ms) {
      break;
    }
  }
  return count;
}

// A point of the panel given in the dialog units of its layout (320 x 234);
// the window is that layout scaled.
XY PanelPoint(const WindowBox& panel, int duX, int duY) {
  return {panel.x + duX * panel.width / 320, panel.y + duY * panel.height / 234};
}

// Clicks the points in order, as fast as xdotool can.
void ClickAll(const std::vector<XY>& points) {
  std::string command = "xdotool";
  for (const XY& p : points) {
    command +=
        " mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " mousedown 1 mouseup 1";
  }
  ShellOutput(command);
}

TEST(EngineEndToEnd, HammeredRunButtonsAndWrapBoxNeverLeaveTwoOfAWorker) {
  DiskAudioFile audio("e2e-hammer");
  RunningZintrel zintrel({"-MakeNoSound", "1"});
  const std::string panel = WaitForVisibleWindow(kPanel, 20);
  ASSERT_NE(panel, "");
  const WindowBox box = Geometry(panel);
  const XY startOnly = PanelPoint(box, 92, 215);
  const XY stop = PanelPoint(box, 160, 215);
  const XY wrapBox = PanelPoint(box, 39, 84);
  constexpr int kStopped = 1;  // the speed monitor
  constexpr int kRunning = 4;  // and the sampler, the tone player, the wrapper
  ASSERT_EQ(SettledWorkers(zintrel.Pid(), {kStopped}), kStopped);
  ClickAll({startOnly});
  ASSERT_EQ(SettledWorkers(zintrel.Pid(), {kRunning}), kRunning);

  // Each Start comes while the workers that the Stop before it ended may
  // not have seen the Stop yet; the run ends started, so any worker left
  // over shows.
  std::vector<XY> clicks;
  for (int i = 0; i < 200; ++i) clicks.insert(clicks.end(), {stop, startOnly});
  ClickAll(clicks);
  EXPECT_EQ(SettledWorkers(zintrel.Pid(), {kRunning}), kRunning);

  // The wrap box unchecked and checked again, faster than a wrapper pass,
  // ending checked.
  ClickAll(std::vector<XY>(400, wrapBox));
  EXPECT_EQ(SettledWorkers(zintrel.Pid(), {kRunning}), kRunning);
  ClickAll({wrapBox});
  EXPECT_EQ(SettledWorkers(zintrel.Pid(), {kRunning - 1}), kRunning - 1);

  ClickAll({stop});
  EXPECT_EQ(SettledWorkers(zintrel.Pid(), {kStopped}), kStopped);
  EXPECT_TRUE(zintrel.Running());
  EXPECT_EQ(zintrel.Terminate(), kSigterm);
}

}  // namespace
}  // namespace zintrel::testing
