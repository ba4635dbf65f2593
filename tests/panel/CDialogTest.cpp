#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "panel/IconPosition.h"
#include "dialog/TemplateDialog.h"
#include "res/ControlPanelTemplate.h"
#include "res/ResourceIds.h"
#include "tests/panel/PanelTestSupport.h"

namespace zintrel {
namespace {

using namespace res;

TEST(IconPosition, CentresWithTruncatingDivision) {
  EXPECT_EQ(CenteredIconOrigin(36, 36, 32, 32), (IconOrigin{2, 2}));
  EXPECT_EQ(CenteredIconOrigin(20, 36, 32, 32).x, -5);
  EXPECT_EQ(CenteredIconOrigin(21, 37, 32, 32), (IconOrigin{-5, 3}));
  EXPECT_EQ(CenteredIconOrigin(32, 33, 32, 32), (IconOrigin{0, 1}));
  // No overflow at the ends of the 32-bit range.
  EXPECT_EQ(CenteredIconOrigin(INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX),
            (IconOrigin{INT32_MAX, -INT32_MAX}));
}

TEST(ControlPanelTemplate, HoldsTheTwentyOneControlsInOrder) {
  const auto& t = kControlPanelTemplate;
  EXPECT_EQ(t.id, IDD_CONTROL_PANEL);
  EXPECT_STREQ(t.caption, "Zintrel v1.0");
  EXPECT_EQ(t.width, 320);
  EXPECT_EQ(t.height, 234);
  EXPECT_TRUE(t.minimizeBox);
  EXPECT_FALSE(t.maximizeBox);
  const int order[] = {1023, 1003, 1022, 1019, 1016, 1021, 1020, 1012, 1017, 1013, 1018,
                       1004, 1005, 1006, 1011, 1007, 1008, 1009, 1010, 1014, 1015};
  ASSERT_EQ(t.controls.size(), std::size(order));
  for (size_t i = 0; i < t.controls.size(); ++i) {
    EXPECT_EQ(t.controls[i].id, order[i]) << i;
    EXPECT_FALSE(t.controls[i].styles & kDefaultButton) << i;
    EXPECT_EQ(bool(t.controls[i].styles & kDisabled), t.controls[i].id == IDC_STOP) << i;
  }
}

// The panel's window, measured: every control where the template puts it.
TEST(CDialog, ControlsStandWhereTheTemplateSaysInTabOrder) {
  CDialog d(kControlPanelTemplate);
  ASSERT_TRUE(d.CreateFromTemplate());
  EXPECT_EQ(d.GetClientSize(), d.ConvertDialogToPixels(wxSize(320, 234)));
  EXPECT_FALSE(d.HasFlag(wxMAXIMIZE_BOX));
  EXPECT_TRUE(d.HasFlag(wxMINIMIZE_BOX));
  EXPECT_FALSE(d.HasFlag(wxRESIZE_BORDER));

  const wxWindowList& children = d.GetChildren();
  ASSERT_EQ(children.size(), kControlPanelTemplate.controls.size());
  size_t i = 0;
  for (wxWindow* child : children) {
    const ControlTemplate& c = kControlPanelTemplate.controls[i++];
    EXPECT_EQ(child->GetId(), c.id);
    const wxPoint pos = d.ConvertDialogToPixels(wxPoint(c.x, c.y));
    const wxSize size = d.ConvertDialogToPixels(wxSize(c.width, c.height));
    const wxRect r = child->GetRect();
    if (c.kind == ControlKind::Picture) {
      EXPECT_EQ(r.GetPosition(), pos);
      EXPECT_EQ(r.GetSize(), wxSize(324, 72));  // the banner at its own size
    } else if (c.kind == ControlKind::CheckBox) {
      EXPECT_EQ(r.x, pos.x) << c.id;  // grown about its centre where GTK needs it
      EXPECT_NEAR(r.y + r.height / 2.0, pos.y + size.y / 2.0, 1.0) << c.id;
    } else {
      EXPECT_EQ(r, wxRect(pos, size)) << c.id;
    }
  }
  // The status texts meet at one edge, reading as one sentence.
  EXPECT_EQ(d.GetDlgItem(IDC_SPEED_WORDS)->GetRect().GetRight() + 1,
            d.GetDlgItem(IDC_SPEED_VALUE)->GetRect().GetLeft());
  EXPECT_TRUE(d.GetDlgItem(IDC_SPEED_WORDS)->HasFlag(wxALIGN_RIGHT));
  EXPECT_FALSE(d.GetDlgItem(IDC_STOP)->IsEnabled());
  EXPECT_EQ(d.GetDlgItemText(IDC_COMMAND_LINE_OPTIONS),
            "Command line options\r\n (for advanced users)");
  EXPECT_EQ(d.GetDlgItemText(IDC_START_AND_HIDE), "Start && Hide");
}

const ControlTemplate kSmallControls[] = {
    {10, ControlKind::StaticText, "Tom & Jerry", 5, 5, 80, 8, kNoPrefix},
    {11, ControlKind::StaticText, "&Name", 5, 15, 80, 8, kNone},
    {12, ControlKind::CheckBox, "Box", 5, 25, 60, 10, kTabStop},
    {13, ControlKind::PushButton, "Press", 5, 40, 50, 14, kTabStop},
    {IDOK, ControlKind::PushButton, "OK", 60, 40, 50, 14, kTabStop | kDefaultButton},
};
const DialogTemplate kSmall = {500, nullptr, 120, 60, false, false, kSmallControls};

TEST(CDialog, NoPrefixTextsShowAmpersandsAsTheyAre) {
  CDialog d(kSmall);
  ASSERT_TRUE(d.CreateFromTemplate());
  EXPECT_EQ(static_cast<wxStaticText*>(d.GetDlgItem(10))->GetLabelText(), "Tom & Jerry");
  EXPECT_EQ(d.GetDlgItemText(10), "Tom & Jerry");
  EXPECT_EQ(static_cast<wxStaticText*>(d.GetDlgItem(11))->GetLabelText(), "Name");
  d.SetDlgItemText(10, "A && B");
  EXPECT_EQ(d.GetDlgItemText(10), "A && B");
  EXPECT_EQ(d.GetDlgItem(999), nullptr);
  EXPECT_EQ(d.GetDlgItemText(999), "");
  EXPECT_FALSE(d.HasFlag(wxCAPTION));
}

class CountingDialog : public CDialog {
 public:
  CountingDialog() : CDialog(kSmall) {
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { ++pressed; }, 13);
  }
  int pressed = 0;
};

TEST(CDialog, EnterGoesToTheFocusedButtonElseTheDefaultButton) {
  CountingDialog d;
  const int result = test::RunModal(d, [&] {
    test::PointAt(&d);
    d.GetDlgItem(13)->SetFocus();
    test::PumpFor(0.2);
    wxUIActionSimulator().Char(WXK_RETURN);
    test::PumpUntil([&] { return d.pressed > 0; }, 3.0);
    EXPECT_TRUE(d.IsRunningModal());
    d.GetDlgItem(12)->SetFocus();
    test::PumpFor(0.2);
    wxUIActionSimulator().Char(WXK_RETURN);  // the default button, OK
    test::PumpUntil([&] { return !d.IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(d.pressed, 1);
  EXPECT_EQ(result, IDOK);
}

TEST(CDialog, EndDialogDuringInitialisationSkipsTheLoop) {
  class EndsAtOnce : public CDialog {
   public:
    EndsAtOnce() : CDialog(kSmall) {}
    bool OnInitDialog() override {
      EndDialog(42);
      return true;
    }
  } d;
  EXPECT_EQ(d.DoModal(), 42);
}

}  // namespace
}  // namespace zintrel
