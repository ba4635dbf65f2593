// The panel's look where the engine and the toolkit meet: the speed read-out
// as the user reads it, and the captions of the group boxes.

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/eventfilter.h>
#include <wx/statbox.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>

#include "engine/SpeedWords.h"
#include "panel/PanelDlg.h"
#include "res/ResourceIds.h"
#include "tests/panel/PanelTestSupport.h"

namespace zintrel {
namespace {

using namespace res;

// Looks at the two status texts before the toolkit handles any event (a
// paint, a queued text change, a timer): whatever it finds is what the
// screen could show at that moment.
class ReadOutWatcher : public wxEventFilter {
 public:
  explicit ReadOutWatcher(CPanelDlg& panel) : panel_(panel) { wxEvtHandler::AddFilter(this); }
  ~ReadOutWatcher() override { wxEvtHandler::RemoveFilter(this); }

  int FilterEvent(wxEvent&) override {
    const std::string word = panel_.GetDlgItemText(IDC_SPEED_WORDS);
    const std::string value = panel_.GetDlgItemText(IDC_SPEED_VALUE);
    const std::uint32_t speed = static_cast<std::uint32_t>(std::stoul(value));
    if (word != SpeedWord(speed) && mixed_.empty()) mixed_ = word + value;
    ++looks_;
    return Event_Skip;
  }
  const std::string& FirstMixed() const { return mixed_; }
  int Looks() const { return looks_; }

 private:
  CPanelDlg& panel_;
  std::string mixed_;
  int looks_ = 0;
};

class ReadOutTest : public test::PanelFixture {};

// Reports that switch between the slowest and the fastest word at every
// window, sent from a worker as the speed monitor sends them.
TEST_F(ReadOutTest, NeverPairsAWordWithTheValueOfAnother) {
  CPanelDlg panel;
  ASSERT_TRUE(panel.CreateFromTemplate());
  panel.OnInitDialog();
  StatusTexts* texts = g_hPanelWnd.load();
  ASSERT_NE(texts, nullptr);
  ReadOutWatcher watcher(panel);

  constexpr int kReports = 301;
  std::thread monitor([texts] {
    for (int i = 1; i <= kReports; ++i) {
      const std::uint32_t speed = i % 2 ? 40002 + 3u * i : 0;
      texts->SetSpeedTexts(SpeedWord(speed),
                           (std::to_string(speed) + " pixels per second.").c_str());
    }
    // Same word, new value: the word is not sent again.
    texts->SetSpeedTexts(nullptr, "40000 pixels per second.");
  });
  monitor.join();
  EXPECT_TRUE(test::PumpUntil(
      [&] { return panel.GetDlgItemText(IDC_SPEED_VALUE) == "40000 pixels per second."; }));
  EXPECT_GT(watcher.Looks(), kReports);
  EXPECT_EQ(panel.GetDlgItemText(IDC_SPEED_WORDS), "Your mouse is burning up at ");
  EXPECT_EQ(watcher.FirstMixed(), "");
}

// Both group boxes show their captions centred on their top edge: the dark
// pixels of the caption's text sit symmetrically about the box's middle.
TEST_F(ReadOutTest, GroupCaptionsAreCentred) {
  CPanelDlg panel;
  test::RunModal(panel, [&] {
    test::PumpFor(0.3);
    for (int id : {IDC_CONFIG_GROUP, IDC_STATUS_GROUP}) {
      SCOPED_TRACE(id);
      wxWindow* box = panel.GetDlgItem(id);
      ASSERT_NE(box, nullptr);
      const wxRect r = box->GetScreenRect();
      const int band = panel.GetCharHeight() + 2;
      wxBitmap shot(r.width, band);
      {
        wxScreenDC screen;
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, r.width, band, &screen, r.x, r.y);
      }
      const wxImage image = shot.ConvertToImage();
      int left = r.width, right = -1;
      for (int y = 0; y < band; ++y) {
        for (int x = 0; x < r.width; ++x) {
          const int luminance =
              (image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y)) / 3;
          if (luminance < 110) {
            left = std::min(left, x);
            right = std::max(right, x);
          }
        }
      }
      ASSERT_GE(right, left) << "no caption text found";
      EXPECT_GT(right - left, 40);  // the whole caption, not a stray pixel
      EXPECT_NEAR((left + right) / 2.0, r.width / 2.0, 4.0) << left << ".." << right;
    }
  });
}

}  // namespace
}  // namespace zintrel
