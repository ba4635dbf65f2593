#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/msgdlg.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "engine/SharedState.h"
#include "panel/EngineWorkers.h"
#include "panel/HelpMessages.h"
#include "panel/PanelDlg.h"
#include "res/ResourceIds.h"
#include "tests/about/BoxTestSupport.h"
#include "tests/wx/WxPump.h"

namespace zintrel {
namespace {

using namespace res;

// Each help button's box as the user reads it: title, then the text with one
// line break per line.
struct ExpectedBox {
  int id;
  const char* caption;
  const char* text;
};

constexpr ExpectedBox kExpected[] = {
    {IDC_HELP_START_AND_HIDE, "Start & Hide",
     "This button will bring the sound on (if it isn't dun brought already).\n"
     "\n"
     "After the sound is dun being brought, it will hide the window.\n"
     "\n"
     "To close the program when it is hidden, use a system monitor (or \"pkill -x zintrel\" in a "
     "terminal) or restart the system."},
    {IDC_HELP_INTERVAL, "Interval Slider",
     "The Interval slider allows you to adjust the duration of each note.\n"
     "\n"
     "Having a lower duration speeds up the response time, while having a\n"
     "higher interval makes sounds more like notes, rather than squeaking."},
    {IDC_HELP_PITCH, "Pitch Slider",
     "The Pitch slider basically allows you to control how sensitive\n"
     "the mouse is to a given rate of travel.\n"
     "\n"
     "It is best to find a value that suits your mouse's travel style."},
    {IDC_HELP_WRAP_MOUSE, "Wrap mouse cursor at edges of the screen",
     "When this option is enabled, when moved to a given screen edge, the mouse\n"
     "cursor will be moved to that edge's opposite.\n"
     "\n"
     "This creates a wrapping effect that essentially provides the mouse more freedom."},
    {IDC_HELP_MAKE_NO_SOUND, "Make not a sound!!!",
     "When this option is enabled, no sound will be made.\n"
     "\n"
     "This is useful if you wish for only cursor wrapping."},
    {IDC_COMMAND_LINE_OPTIONS, "Command line options",
     "Available command line options:\n"
     "\n"
     "-AutoStartOnly   Presses the \"Start Only\" button automatically on program startup.\n"
     "\n"
     "-AutoStartAndHide   Presses the \"Start & Hide\" button automatically on program startup.\n"
     "\n"
     "-WrapMouse x   Where x is replaced with 1 or 0 to control this option.\n"
     "\n"
     "-MakeNoSound x   Where x is replaced with 1 or 0 to control this option.\n"
     "\n"
     "-Interval xxx   Where xxx is replaced with the desired Interval value between 2 and 300.\n"
     "\n"
     "-Pitch xxx   Where xxx is replaced with the desired Pitch value between 1 and 100."},
};

// What an open message box shows: its title, and its lines read back from the
// screen layout (a blank line is a gap of one line height between two lines).
struct SeenBox {
  std::string caption;
  std::string text;
  wxWindow* parent = nullptr;
  bool modal = false;
  bool hasOk = false;
  bool hasInformationIcon = false;
};

SeenBox Read(wxTopLevelWindow& box) {
  SeenBox seen;
  seen.caption = test::Utf8(box.GetTitle());
  seen.parent = box.GetParent();
  seen.modal = dynamic_cast<wxDialog*>(&box) != nullptr && static_cast<wxDialog&>(box).IsModal();
  seen.hasOk = dynamic_cast<wxButton*>(box.FindWindow(wxID_OK)) != nullptr;
  if (auto* dialog = dynamic_cast<wxMessageDialogBase*>(&box)) {
    seen.hasInformationIcon = dialog->GetMessageDialogStyle() & wxICON_INFORMATION;
  }
  const auto lines = test::StaticTexts(&box);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      const wxRect prev = lines[i - 1]->GetRect();
      const int gap = lines[i]->GetRect().y - prev.GetBottom() - 1;
      const int blank = static_cast<int>(std::lround(double(gap) / prev.height));
      seen.text += std::string(1 + std::max(blank, 0), '\n');
    }
    seen.text += test::Utf8(lines[i]->GetLabelText());
  }
  return seen;
}

wxTopLevelWindow* MessageBoxOf(wxTopLevelWindow* w) {
  return dynamic_cast<wxMessageDialogBase*>(w) != nullptr ? w : nullptr;
}

// The message table itself: six help buttons, each with its caption and its
// text as the box draws it (every "\r\n" one line break, nothing else).
TEST(HelpMessages, TableHoldsTheSixTextsWithTheirLineBreaks) {
  ASSERT_EQ(HelpMessages().size(), std::size(kExpected));
  for (const auto& expected : kExpected) {
    SCOPED_TRACE(expected.caption);
    const HelpMessage* message = FindHelpMessage(expected.id);
    ASSERT_NE(message, nullptr);
    const ShownHelpMessage shown = ShownHelp(*message);
    EXPECT_EQ(shown.caption, expected.caption);
    EXPECT_EQ(shown.text, expected.text);
    // Every break of the stored text is a CR LF pair.
    const std::string raw = message->text;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '\n') {
        EXPECT_TRUE(i > 0 && raw[i - 1] == '\r') << i;
      }
      if (raw[i] == '\r') {
        EXPECT_TRUE(i + 1 < raw.size() && raw[i + 1] == '\n') << i;
      }
    }
  }
  EXPECT_EQ(FindHelpMessage(IDC_ABOUT), nullptr);
}

// Opens every box through the panel's own help buttons and reads it off the
// screen while it is open.
class HelpBoxes : public testing::TestWithParam<bool /*engineRunning*/> {
 protected:
  void SetUp() override {
    // Worker starts are no-ops: the panel's initialisation must not start
    // real workers, and this test sets the engine's flags by hand.
    PanelWorkers() = EngineWorkers{[] {}, [] {}, [] {}, [] {}, [] {}};
  }
  void TearDown() override {
    PanelWorkers() = DefaultEngineWorkers();
    g_bStopped = true;
    g_bWrapStopped = true;
    g_bMute = false;
    g_nTravel = 0;
  }
};

struct EngineFlags {
  bool stopped, wrapStopped, mute;
  std::int32_t travel;
  const SliderPosition *interval, *pitch;
  StatusTexts* panel;
  bool operator==(const EngineFlags&) const = default;
};

EngineFlags ReadEngine() {
  return {g_bStopped,        g_bWrapStopped, g_bMute,    g_nTravel,
          g_pIntervalSlider, g_pPitchSlider, g_hPanelWnd};
}

TEST_P(HelpBoxes, EachButtonShowsItsBoxOwnedByThePanelAndTouchesNothing) {
  const bool running = GetParam();
  CPanelDlg panel;
  test::RunModal(panel, [&] {
    g_bStopped = !running;
    g_bWrapStopped = !running;
    g_bMute = running;
    g_nTravel = running ? 37 : 0;
    const EngineFlags before = ReadEngine();

    for (const auto& expected : kExpected) {
      SCOPED_TRACE(expected.caption);
      SeenBox seen;
      EngineFlags whileOpen{};
      std::string speedWhileOpen;
      test::WhenShown watcher(MessageBoxOf, [&](wxTopLevelWindow& box) {
        seen = Read(box);
        whileOpen = ReadEngine();
        // The box's loop goes on serving the panel: a speed report from a
        // worker reaches the panel while the box is open.
        std::thread worker(
            [] { g_hPanelWnd.load()->SetDlgItemText(IDC_SPEED_VALUE, "42 pixels per second."); });
        worker.join();
        test::PumpUntil(
            [&] { return panel.GetDlgItemText(IDC_SPEED_VALUE) == "42 pixels per second."; }, 3.0);
        speedWhileOpen = panel.GetDlgItemText(IDC_SPEED_VALUE);
        panel.SetDlgItemText(IDC_SPEED_VALUE, "0 pixels per second.");
        test::PressButton(&box, wxID_OK);
      });
      wxCommandEvent click(wxEVT_BUTTON, expected.id);
      click.SetEventObject(panel.GetDlgItem(expected.id));
      panel.GetDlgItem(expected.id)->GetEventHandler()->ProcessEvent(click);

      ASSERT_TRUE(watcher.Acted()) << "no box opened";
      EXPECT_EQ(seen.caption, expected.caption);
      EXPECT_EQ(seen.text, expected.text);
      EXPECT_EQ(seen.parent, &panel);
      EXPECT_TRUE(seen.modal);
      EXPECT_TRUE(seen.hasOk);
      EXPECT_TRUE(seen.hasInformationIcon);
      EXPECT_EQ(speedWhileOpen, "42 pixels per second.");
      EXPECT_EQ(whileOpen, before);
      EXPECT_EQ(ReadEngine(), before);
      EXPECT_TRUE(panel.IsEnabled());
    }
  });
}

INSTANTIATE_TEST_SUITE_P(EngineStoppedOrRunning, HelpBoxes, testing::Bool(),
                         [](const auto& info) { return info.param ? "Running" : "Stopped"; });

TEST(HelpBox, UnknownButtonShowsNothing) {
  wxDialog owner(nullptr, wxID_ANY, "owner");
  ShowHelpMessage(&owner, IDC_ABOUT);  // returns at once: no box to dismiss
  for (wxWindow* w : wxTopLevelWindows)
    EXPECT_EQ(MessageBoxOf(dynamic_cast<wxTopLevelWindow*>(w)), nullptr);
}

}  // namespace
}  // namespace zintrel
