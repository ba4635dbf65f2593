#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/SharedState.h"
#include "engine/SpeedMonitorThread.h"
#include "engine/SpeedWords.h"
#include "res/ResourceIds.h"
#include "tests/engine/EngineFixture.h"

namespace zintrel::testing {
namespace {

using res::IDC_SPEED_VALUE;
using res::IDC_SPEED_WORDS;
using Sent = RecordingTexts::Sent;

const std::string kHalted = "Your mouse is currently halted at ";
const std::string kCrawling = "Your mouse is currently crawling at ";
const std::string kWalking = "Your mouse is currently walking at ";
const std::string kJogging = "Your mouse is currently jogging at ";
const std::string kRunning = "Your mouse is currently running at ";
const std::string kBlazing = "Your mouse is blazingly travelling at ";
const std::string kBurning = "Your mouse is burning up at ";

struct WordCase {
  std::uint32_t speed;
  const std::string* word;
};

class SpeedWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(SpeedWordTest, PicksTheWordOfTheSpeedsBand) {
  EXPECT_EQ(SpeedWord(GetParam().speed), *GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Bounds, SpeedWordTest,
                         ::testing::Values(WordCase{0, &kHalted}, WordCase{1, &kCrawling},
                                           WordCase{19, &kCrawling}, WordCase{20, &kWalking},
                                           WordCase{99, &kWalking}, WordCase{100, &kJogging},
                                           WordCase{1599, &kJogging}, WordCase{1600, &kRunning},
                                           WordCase{6999, &kRunning}, WordCase{7000, &kBlazing},
                                           WordCase{39999, &kBlazing}, WordCase{40000, &kBurning},
                                           WordCase{4294967295u, &kBurning}));

TEST(SpeedValueTest, WritesTheSpeedInPlainDigits) {
  char buffer[256];
  FormatSpeedValue(buffer, sizeof buffer, 0);
  EXPECT_STREQ(buffer, "0 pixels per second.");
  FormatSpeedValue(buffer, sizeof buffer, 5754);
  EXPECT_STREQ(buffer, "5754 pixels per second.");
  FormatSpeedValue(buffer, sizeof buffer, 4294967295u);
  EXPECT_STREQ(buffer, "4294967295 pixels per second.");
}

class SpeedMonitorTest : public EngineTest {
 protected:
  // Windows of 300 ms begin at readings 0, 301, 602, ...: window k reads
  // the cursor at 301 (k - 1) to 301 k - 1. Each travel is made as one step
  // to the right in the middle of its window; the monitor is ended after
  // the last window.
  std::vector<Sent> RunWindows(const std::vector<std::int32_t>& travels) {
    fake_.PlaceCursor({0, 500});
    std::int32_t x = 0;
    for (std::size_t k = 0; k < travels.size(); ++k) {
      x += travels[k];
      fake_.MoveCursorAt(static_cast<std::uint32_t>(301 * k + 150), x, 500);
    }
    fake_.At(static_cast<std::uint32_t>(301 * travels.size() + 5),
             [] { g_bProcessEnding.store(true); });
    SpeedMonitorThread(WorkerTicket::Issue(WorkerRole::kSpeedMonitor));
    return texts_.sent();
  }
};

// Reports go out only on change, the word before the value.
TEST_F(SpeedMonitorTest, ReportsOnlyWhatChanged) {
  EXPECT_EQ(RunWindows({5, 5, 6, 7, 100, 0, 0}),
            (std::vector<Sent>{{IDC_SPEED_WORDS, kCrawling},
                               {IDC_SPEED_VALUE, "15 pixels per second."},
                               {IDC_SPEED_VALUE, "18 pixels per second."},
                               {IDC_SPEED_WORDS, kWalking},
                               {IDC_SPEED_VALUE, "21 pixels per second."},
                               {IDC_SPEED_WORDS, kJogging},
                               {IDC_SPEED_VALUE, "300 pixels per second."},
                               {IDC_SPEED_WORDS, kHalted},
                               {IDC_SPEED_VALUE, "0 pixels per second."}}));
}

// The panel starts out saying "halted" and 0: a still first window leaves it.
TEST_F(SpeedMonitorTest, AStillStartSendsNothing) { EXPECT_TRUE(RunWindows({0, 0}).empty()); }

// Every speed is three times a window travel.
TEST_F(SpeedMonitorTest, WordBoundsByWindowTravel) {
  const struct {
    std::int32_t travel;
    const std::string& word;
  } windows[] = {{1, kCrawling},   {6, kCrawling},    {7, kWalking},     {33, kWalking},
                 {34, kJogging},   {533, kJogging},   {534, kRunning},   {2333, kRunning},
                 {2334, kBlazing}, {13333, kBlazing}, {13334, kBurning}, {1918, kRunning}};
  std::vector<std::int32_t> travels;
  std::vector<Sent> expected;
  const std::string* last = &kHalted;
  for (const auto& w : windows) {
    travels.push_back(w.travel);
    if (&w.word != last) expected.emplace_back(IDC_SPEED_WORDS, w.word);
    last = &w.word;
    expected.emplace_back(IDC_SPEED_VALUE, std::to_string(3 * w.travel) + " pixels per second.");
  }
  EXPECT_EQ(RunWindows(travels), expected);
}

TEST_F(SpeedMonitorTest, GoesOnWithoutAPanel) {
  g_hPanelWnd.store(nullptr);
  fake_.At(700, [this] { g_hPanelWnd.store(&texts_); });
  // 40 in window 1 (unseen), 40 in window 2: same speed, nothing to send;
  // 41 in window 3 sends the value line only.
  EXPECT_EQ(RunWindows({40, 40, 41}),
            (std::vector<Sent>{{IDC_SPEED_VALUE, "123 pixels per second."}}));
}

}  // namespace
}  // namespace zintrel::testing
