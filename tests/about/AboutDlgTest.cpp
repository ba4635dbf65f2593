#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <array>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "about/AboutDlg.h"
#include "platform/fake/FakePlatform.h"
#include "res/AboutBoxTemplate.h"
#include "res/ResourceIds.h"
#include "tests/about/BoxTestSupport.h"
#include "tests/wx/WxPump.h"

namespace zintrel {
namespace {

using namespace res;
using K = ControlKind;

constexpr const char kTitleLine[] = "Zintrel v1.0  [2005.October.13]";
constexpr const char kFaqNote[] =
    "For troubleshooting information and/or other additional assistance, see the online FAQ.";
constexpr const char kSignOff[] = "Y'all have sound now, ya hear.";
constexpr const char kHost[] = "zintrel.example.org";

TEST(AboutBoxTemplate, HoldsTheEightControlsInTabOrder) {
  const ControlTemplate expected[] = {
      {-1, K::Icon, nullptr, 11, 17, 20, 20, kNone},
      {-1, K::StaticText, kTitleLine, 40, 16, 129, 8, kAlignLeft | kNoPrefix | kGroup},
      {-1, K::StaticText, "Turns mouse movement into sound.", 40, 31, 119, 8, kAlignLeft | kGroup},
      {IDC_WEB_ADDRESS, K::EditBox, nullptr, 32, 51, 111, 14,
       kReadOnly | kAlignCenter | kBorder | kAutoHScroll | kTabStop | kDoubleBorder},
      {IDC_GO_THERE, K::PushButton, "Go there", 54, 67, 68, 14, kTabStop},
      {IDC_FAQ_NOTE, K::StaticText, kFaqNote, 7, 89, 162, 18, kAlignCenter | kWordWrap | kGroup},
      {IDC_SIGN_OFF, K::StaticText, kSignOff, 32, 112, 111, 8, kAlignCenter | kGroup},
      {IDOK, K::PushButton, "Okay", 63, 129, 50, 14, kDefaultButton | kGroup | kTabStop},
  };
  const DialogTemplate& t = kAboutBoxTemplate;
  EXPECT_EQ(t.id, IDD_ABOUTBOX);
  EXPECT_EQ(t.caption, nullptr);
  EXPECT_EQ(t.width, 176);
  EXPECT_EQ(t.height, 150);
  EXPECT_FALSE(t.minimizeBox);
  EXPECT_FALSE(t.maximizeBox);
  ASSERT_EQ(t.controls.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ControlTemplate& c = t.controls[i];
    const ControlTemplate& e = expected[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(c.id, e.id);
    EXPECT_EQ(c.kind, e.kind);
    EXPECT_EQ(std::string(c.caption ? c.caption : ""), std::string(e.caption ? e.caption : ""));
    EXPECT_EQ((std::array{c.x, c.y, c.width, c.height}), (std::array{e.x, e.y, e.width, e.height}));
    EXPECT_EQ(c.styles, e.styles);
  }
}

// The box as built on screen: no caption bar, every control where the
// template puts it, the texts as written.
TEST(AboutBox, WindowFollowsTheTemplate) {
  CAboutLinkDlg d;
  ASSERT_TRUE(d.CreateFromTemplate());
  EXPECT_FALSE(d.HasFlag(wxCAPTION));
  EXPECT_FALSE(d.HasFlag(wxSYSTEM_MENU));
  EXPECT_FALSE(d.HasFlag(wxCLOSE_BOX));
  EXPECT_FALSE(d.HasFlag(wxRESIZE_BORDER));
  EXPECT_EQ(d.GetClientSize(), d.ConvertDialogToPixels(wxSize(176, 150)));

  const wxWindowList& children = d.GetChildren();
  ASSERT_EQ(children.size(), kAboutBoxTemplate.controls.size());
  size_t i = 0;
  for (wxWindow* child : children) {
    const ControlTemplate& c = kAboutBoxTemplate.controls[i++];
    const wxPoint pos = d.ConvertDialogToPixels(wxPoint(c.x, c.y));
    const wxSize size = d.ConvertDialogToPixels(wxSize(c.width, c.height));
    SCOPED_TRACE(i);
    EXPECT_EQ(child->GetPosition(), pos);
    if (c.kind == K::Icon) {
      auto* icon = dynamic_cast<wxStaticBitmap*>(child);
      ASSERT_NE(icon, nullptr);
      EXPECT_TRUE(icon->GetBitmap().IsOk()) << "no program icon";
      EXPECT_EQ(child->GetSize(), wxSize(32, 32));  // the icon at its own size
    } else {
      EXPECT_EQ(child->GetSize(), size);
    }
  }

  auto texts = test::StaticTexts(&d);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(test::Utf8(texts[0]->GetLabelText()), kTitleLine);
  EXPECT_FALSE(texts[0]->HasFlag(wxALIGN_CENTRE_HORIZONTAL) || texts[0]->HasFlag(wxALIGN_RIGHT));
  EXPECT_EQ(test::Utf8(texts[1]->GetLabelText()), "Turns mouse movement into sound.");
  // The FAQ note wraps to two lines within its box.
  wxString faq = texts[2]->GetLabelText();
  EXPECT_EQ(faq.Freq('\n'), 1) << faq;
  faq.Replace("\n", " ");
  EXPECT_EQ(test::Utf8(faq), kFaqNote);
  EXPECT_LE(texts[2]->GetBestSize().y, texts[2]->GetSize().y + 2);
  EXPECT_TRUE(texts[2]->HasFlag(wxALIGN_CENTRE_HORIZONTAL));
  EXPECT_EQ(test::Utf8(texts[3]->GetLabelText()), kSignOff);
  EXPECT_TRUE(texts[3]->HasFlag(wxALIGN_CENTRE_HORIZONTAL));

  auto* okay = dynamic_cast<wxButton*>(d.GetDlgItem(IDOK));
  ASSERT_NE(okay, nullptr);
  EXPECT_EQ(okay->GetLabel(), "Okay");
  EXPECT_EQ(d.GetDefaultItem(), okay);
  EXPECT_EQ(d.GetDlgItem(IDC_GO_THERE)->GetLabel(), "Go there");

  auto* address = dynamic_cast<wxTextCtrl*>(d.GetDlgItem(IDC_WEB_ADDRESS));
  ASSERT_NE(address, nullptr);
  EXPECT_FALSE(address->IsEditable());
  EXPECT_TRUE(address->HasFlag(wxTE_CENTRE));
  EXPECT_FALSE(address->IsMultiLine());
}

// Both variants of the box; the Go there button is the only difference.
struct Variant {
  const char* name;
  std::function<std::unique_ptr<CDialog>()> make;
  bool goThereShown;
};

const Variant kVariants[] = {
    {"LinkVariant", [] { return std::make_unique<CAboutLinkDlg>(); }, true},
    {"WindowMenuVariant", [] { return std::make_unique<CAboutDlg>(); }, false},
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

// The fake platform records what Go there launches.
class FakeBrowser {
 protected:
  FakeBrowser() {
    platform::Install(Fake());
    Fake().SetOpenUrlResult(true);
    opened_ = Fake().OpenedUrls().size();
  }
  static platform::FakePlatform& Fake() {
    static platform::FakePlatform fake;
    return fake;
  }
  // What was launched since the test began.
  std::vector<std::string> Launched() const {
    auto all = Fake().OpenedUrls();
    return {all.begin() + static_cast<std::ptrdiff_t>(opened_), all.end()};
  }

 private:
  size_t opened_ = 0;
};

class AboutBoxes : public testing::TestWithParam<Variant>, protected FakeBrowser {
 protected:
  wxTextCtrl* Address(CDialog& d) {
    return dynamic_cast<wxTextCtrl*>(d.GetDlgItem(IDC_WEB_ADDRESS));
  }
};

TEST_P(AboutBoxes, OpensWithTheHostFocusedAndGoThereAsTheVariantSays) {
  auto d = GetParam().make();
  test::RunModal(*d, [&] {
    EXPECT_TRUE(d->IsShown());
    EXPECT_EQ(d->GetDlgItemText(IDC_WEB_ADDRESS), kHost);
    EXPECT_EQ(d->GetDlgItem(IDC_GO_THERE)->IsShown(), GetParam().goThereShown);
    EXPECT_TRUE(d->GetDlgItem(IDOK)->IsShown());
    test::PointAt(d.get());
    // The first tab stop: the web address box.
    EXPECT_EQ(wxWindow::FindFocus(), d->GetDlgItem(IDC_WEB_ADDRESS));
    // With no caption bar and no frame from the toolkit, the box draws its
    // own: its corner pixels on screen are the frame's dark line, not the
    // dialog's face.
    test::PumpFor(0.2);
    const wxRect r = d->GetScreenRect();
    wxBitmap shot(r.width, r.height);
    {
      wxScreenDC screen;
      wxMemoryDC memory(shot);
      memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y);
    }
    const wxImage image = shot.ConvertToImage();
    const wxColour dark = wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW);
    for (const wxPoint p : {wxPoint(0, 0), wxPoint(r.width - 1, r.height - 1),
                            wxPoint(r.width / 2, 0), wxPoint(0, r.height / 2)}) {
      EXPECT_EQ(wxColour(image.GetRed(p.x, p.y), image.GetGreen(p.x, p.y), image.GetBlue(p.x, p.y)),
                dark)
          << p.x << "," << p.y;
    }
    EXPECT_NE(dark, d->GetBackgroundColour());
  });
}

TEST_P(AboutBoxes, EnterInTheWebAddressBoxClosesWithOkay) {
  auto d = GetParam().make();
  const int result = test::RunModal(*d, [&] {
    test::PointAt(d.get());
    Address(*d)->SetFocus();
    test::PumpFor(0.1);
    ASSERT_EQ(wxWindow::FindFocus(), Address(*d));
    wxUIActionSimulator().Char(WXK_RETURN);
    test::PumpUntil([&] { return !d->IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_FALSE(d->IsShown());
  EXPECT_TRUE(Launched().empty());
}

TEST_P(AboutBoxes, EscapeClosesWithCancel) {
  auto d = GetParam().make();
  const int result = test::RunModal(*d, [&] {
    test::PointAt(d.get());
    wxUIActionSimulator().Char(WXK_ESCAPE);
    test::PumpUntil([&] { return !d->IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(d->IsShown());
}

TEST_P(AboutBoxes, OkayButtonClosesWithOkay) {
  auto d = GetParam().make();
  const int result = test::RunModal(*d, [&] {
    test::PointAt(d.get());
    const wxRect r = d->GetDlgItem(IDOK)->GetScreenRect();
    wxUIActionSimulator sim;
    sim.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    sim.MouseClick();
    test::PumpUntil([&] { return !d->IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(result, IDOK);
}

// Tab walks the tab stops in template order: the web address box, Go there
// (where it shows), Okay, and round again.
TEST_P(AboutBoxes, TabWalksTheTabStopsInTemplateOrder) {
  auto d = GetParam().make();
  std::vector<int> expected = {IDC_GO_THERE, IDOK, IDC_WEB_ADDRESS};
  if (!GetParam().goThereShown) expected.erase(expected.begin());
  std::vector<int> seen;
  test::RunModal(*d, [&] {
    test::PointAt(d.get());
    Address(*d)->SetFocus();
    test::PumpFor(0.1);
    for (size_t i = 0; i < expected.size(); ++i) {
      wxWindow* before = wxWindow::FindFocus();
      wxUIActionSimulator().Char(WXK_TAB);
      test::PumpUntil([&] { return wxWindow::FindFocus() != before; }, 2.0);
      wxWindow* focus = wxWindow::FindFocus();
      seen.push_back(focus != nullptr ? focus->GetId() : 0);
    }
  });
  EXPECT_EQ(seen, expected);
}

// The host can be selected and copied but not changed.
TEST_P(AboutBoxes, WebAddressIsReadOnlyButCopyable) {
  auto d = GetParam().make();
  test::RunModal(*d, [&] {
    test::PointAt(d.get());
    wxTextCtrl* address = Address(*d);
    address->SetFocus();
    test::PumpFor(0.1);
    wxUIActionSimulator sim;
    sim.Text("xyz");
    sim.Char(WXK_BACK);
    sim.Char(WXK_DELETE);
    test::PumpFor(0.2);
    EXPECT_EQ(d->GetDlgItemText(IDC_WEB_ADDRESS), kHost);
    EXPECT_TRUE(d->IsRunningModal());

    address->SelectAll();
    EXPECT_EQ(test::Utf8(address->GetStringSelection()), kHost);
    EXPECT_TRUE(address->CanCopy());
    EXPECT_FALSE(address->CanCut());
    EXPECT_FALSE(address->CanPaste());
    address->Copy();
    test::PumpFor(0.1);
    wxTextDataObject copied;
    ASSERT_TRUE(wxTheClipboard->Open());
    EXPECT_TRUE(wxTheClipboard->GetData(copied));
    wxTheClipboard->Close();
    EXPECT_EQ(test::Utf8(copied.GetText()), kHost);
  });
}

INSTANTIATE_TEST_SUITE_P(BothVariants, AboutBoxes, testing::ValuesIn(kVariants),
                         [](const auto& info) { return std::string(info.param.name); });

class AboutLinkBox : public testing::Test, protected FakeBrowser {};

TEST_F(AboutLinkBox, GoThereLaunchesAtEachPressAndLeavesTheBoxOpen) {
  CAboutLinkDlg d;
  test::RunModal(d, [&] {
    test::PointAt(&d);
    const wxRect r = d.GetDlgItem(IDC_GO_THERE)->GetScreenRect();
    wxUIActionSimulator sim;
    sim.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    sim.MouseClick();
    test::PumpUntil([&] { return Launched().size() == 1; }, 3.0);
    EXPECT_TRUE(d.IsRunningModal());
    // A launch that fails leaves the box open too, with the host selected
    // in its box, ready to copy.
    Fake().SetOpenUrlResult(false);
    sim.MouseClick();
    test::PumpUntil([&] { return Launched().size() == 2; }, 3.0);
    test::PumpFor(0.1);
    EXPECT_TRUE(d.IsRunningModal());
    EXPECT_TRUE(d.IsShown());
    auto* address = dynamic_cast<wxTextCtrl*>(d.GetDlgItem(IDC_WEB_ADDRESS));
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(wxWindow::FindFocus(), address);
    EXPECT_EQ(test::Utf8(address->GetStringSelection()), kHost);
  });
  EXPECT_EQ(Launched(),
            (std::vector<std::string>{"http://zintrel.example.org", "http://zintrel.example.org"}));
}

// Enter on a focused Go there presses Go there, not Okay.
TEST_F(AboutLinkBox, EnterOnGoThereLaunchesInsteadOfClosing) {
  CAboutLinkDlg d;
  test::RunModal(d, [&] {
    test::PointAt(&d);
    d.GetDlgItem(IDC_GO_THERE)->SetFocus();
    test::PumpFor(0.1);
    wxUIActionSimulator().Char(WXK_RETURN);
    test::PumpUntil([&] { return !Launched().empty(); }, 3.0);
    test::PumpFor(0.1);
    EXPECT_TRUE(d.IsRunningModal());
  });
  EXPECT_EQ(Launched(), std::vector<std::string>{"http://zintrel.example.org"});
}

// With no parent, the application's main window owns the box, and the box
// opens centred over it.
TEST(AboutBox, WindowMenuVariantIsOwnedByTheMainWindow) {
  wxDialog main(nullptr, wxID_ANY, "main", wxPoint(100, 100), wxSize(800, 600));
  main.Show();
  wxTheApp->SetTopWindow(&main);
  CAboutDlg d;
  test::RunModal(d, [&] {
    EXPECT_EQ(d.GetParent(), &main);
    const wxRect box = d.GetScreenRect();
    const wxRect owner = main.GetScreenRect();
    EXPECT_NEAR(box.x + box.width / 2, owner.x + owner.width / 2, 2);
    EXPECT_NEAR(box.y + box.height / 2, owner.y + owner.height / 2, 2);
  });
  wxTheApp->SetTopWindow(nullptr);
}

}  // namespace
}  // namespace zintrel
