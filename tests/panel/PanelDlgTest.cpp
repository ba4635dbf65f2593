#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include <limits>
#include <memory>
#include <string>
#include <thread>

#include "panel/PanelDlg.h"
#include "res/ResourceIds.h"
#include "tests/panel/PanelTestSupport.h"

namespace zintrel {
namespace {

using namespace res;
using test::Click;
using test::Log;
using test::PumpUntil;
using test::RunModal;

class PanelTest : public test::PanelFixture {
 protected:
  // A panel whose window is created and initialised, as DoModal does before
  // it shows the panel.
  std::unique_ptr<CPanelDlg> Initialised(void (*settings)(CPanelDlg&) = nullptr) {
    auto panel = std::make_unique<CPanelDlg>();
    if (settings) settings(*panel);
    EXPECT_TRUE(panel->CreateFromTemplate());
    EXPECT_TRUE(panel->OnInitDialog());
    return panel;
  }

  static void ExpectStopped(CPanelDlg& p) {
    EXPECT_TRUE(g_bStopped.load());
    EXPECT_TRUE(p.GetDlgItem(IDC_START_ONLY)->IsEnabled());
    EXPECT_FALSE(p.GetDlgItem(IDC_STOP)->IsEnabled());
    EXPECT_EQ(p.GetDlgItemText(IDC_START_AND_HIDE), "Start && Hide");
  }
  static void ExpectRunning(CPanelDlg& p) {
    EXPECT_FALSE(g_bStopped.load());
    EXPECT_FALSE(p.GetDlgItem(IDC_START_ONLY)->IsEnabled());
    EXPECT_TRUE(p.GetDlgItem(IDC_STOP)->IsEnabled());
    EXPECT_EQ(p.GetDlgItemText(IDC_START_AND_HIDE), "Hide");
  }
};

// ---- Initialisation ----

TEST_F(PanelTest, DefaultsGiveTheStoppedPanel) {
  auto p = Initialised();
  EXPECT_EQ(p->m_intervalSlider.GetRangeMin(), 2);
  EXPECT_EQ(p->m_intervalSlider.GetRangeMax(), 300);
  EXPECT_EQ(p->m_intervalSlider.Control()->GetValue(), 80);
  EXPECT_EQ(p->m_pitchSlider.GetRangeMin(), 1);
  EXPECT_EQ(p->m_pitchSlider.GetRangeMax(), 100);
  EXPECT_EQ(p->m_pitchSlider.Control()->GetValue(), 15);
  // The workers' view of the sliders.
  ASSERT_EQ(g_pIntervalSlider.load(), &p->m_intervalSlider.Position());
  ASSERT_EQ(g_pPitchSlider.load(), &p->m_pitchSlider.Position());
  EXPECT_EQ(g_pIntervalSlider.load()->GetPos(), 80);
  EXPECT_EQ(g_pPitchSlider.load()->GetPos(), 15);

  EXPECT_TRUE(p->IsDlgButtonChecked(IDC_WRAP_MOUSE));
  EXPECT_FALSE(p->IsDlgButtonChecked(IDC_MAKE_NO_SOUND));
  ExpectStopped(*p);
  EXPECT_TRUE(g_bWrapStopped.load());
  EXPECT_FALSE(g_bMute.load());
  EXPECT_EQ(p->GetDlgItemText(IDC_SPEED_WORDS), "Your mouse is currently halted at ");
  EXPECT_EQ(p->GetDlgItemText(IDC_SPEED_VALUE), "0 pixels per second.");

  // Only the speed monitor runs, and it started after the panel was published.
  EXPECT_EQ(Log().speedMonitor, 1);
  EXPECT_EQ(Log().sampler + Log().tonePlayer + Log().wrapper, 0);
  EXPECT_TRUE(Log().panelPublishedWhenMonitorStarted);
  EXPECT_FALSE(p->IsHideTimerRunning());

  // The program icon: the drag picture and every window icon size.
  EXPECT_TRUE(p->OnQueryDragIcon().IsOk());
  EXPECT_EQ(p->OnQueryDragIcon().GetWidth(), 32);
  EXPECT_EQ(p->GetIcons().GetIconCount(), 6u);
  EXPECT_TRUE(p->GetIcons().GetIcon(16).IsOk());
}

struct ClampCase {
  std::int32_t interval, pitch;
  int shownInterval, shownPitch;
};

class PanelClampTest : public PanelTest, public testing::WithParamInterface<ClampCase> {};

TEST_P(PanelClampTest, PositionsAreClampedIntoTheRanges) {
  static ClampCase c;
  c = GetParam();
  auto p = Initialised([](CPanelDlg& d) {
    d.m_nInterval = c.interval;
    d.m_nPitch = c.pitch;
  });
  EXPECT_EQ(p->m_intervalSlider.Control()->GetValue(), c.shownInterval);
  EXPECT_EQ(p->m_pitchSlider.Control()->GetValue(), c.shownPitch);
  EXPECT_EQ(g_pIntervalSlider.load()->GetPos(), c.shownInterval);
  EXPECT_EQ(g_pPitchSlider.load()->GetPos(), c.shownPitch);
}

constexpr auto kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(Panel, PanelClampTest,
                         testing::Values(ClampCase{1000, 0, 300, 1}, ClampCase{-7, 101, 2, 100},
                                         ClampCase{0, -5, 2, 1}, ClampCase{1, 999, 2, 100},
                                         ClampCase{2, 1, 2, 1}, ClampCase{300, 100, 300, 100},
                                         ClampCase{kIntMin, kIntMax, 2, 100},
                                         ClampCase{kIntMax, kIntMin, 300, 1}));

TEST_F(PanelTest, CheckBoxesAndMuteAreSetBeforeTheAutomaticStart) {
  auto p = Initialised([](CPanelDlg& d) {
    d.m_bWrapMouse = false;
    d.m_bMakeNoSound = true;
    d.m_bAutoStartOnly = true;
  });
  EXPECT_FALSE(p->IsDlgButtonChecked(IDC_WRAP_MOUSE));
  EXPECT_TRUE(p->IsDlgButtonChecked(IDC_MAKE_NO_SOUND));
  EXPECT_EQ(Log().sampler, 1);
  EXPECT_EQ(Log().tonePlayer, 1);
  EXPECT_EQ(Log().wrapper, 0);
  EXPECT_TRUE(Log().muteWhenTonePlayerStarted);
  EXPECT_FALSE(Log().stoppedWhenSamplerStarted);
  EXPECT_FALSE(Log().stoppedWhenTonePlayerStarted);
  ExpectRunning(*p);
  EXPECT_TRUE(p->IsShown() == false);  // not shown yet, and not hidden on purpose
  EXPECT_FALSE(p->IsHideTimerRunning());
}

TEST_F(PanelTest, AutoStartWithWrapStartsTheWrapperAfterClearingItsFlag) {
  auto p = Initialised([](CPanelDlg& d) { d.m_bAutoStartOnly = true; });
  EXPECT_EQ(Log().wrapper, 1);
  EXPECT_FALSE(Log().wrapStoppedWhenWrapperStarted);
  EXPECT_FALSE(Log().muteWhenTonePlayerStarted);
  ExpectRunning(*p);
}

TEST_F(PanelTest, AutoStartOnlyWinsOverAutoStartAndHide) {
  auto p = Initialised([](CPanelDlg& d) {
    d.m_bAutoStartOnly = true;
    d.m_bAutoStartAndHide = true;
  });
  EXPECT_EQ(Log().sampler, 1);
  EXPECT_FALSE(p->IsHideTimerRunning());
  bool shownWhileRunning = false;
  RunModal(*p, [&] {
    test::PumpFor(0.3);
    shownWhileRunning = p->IsShown();
  });
  EXPECT_TRUE(shownWhileRunning);
}

TEST_F(PanelTest, AutoStartAndHideSetsTheHideTimer) {
  auto p = Initialised([](CPanelDlg& d) { d.m_bAutoStartAndHide = true; });
  EXPECT_EQ(Log().sampler, 1);
  ExpectRunning(*p);
  EXPECT_TRUE(p->IsHideTimerRunning());
}

TEST_F(PanelTest, AutoStartAndHideHidesOnceTheLoopRunsAndKeepsRunning) {
  CPanelDlg p;
  p.m_bAutoStartAndHide = true;
  // Watched from the panel's own loop (timers do not fire in a nested yield).
  int ticks = 0, hiddenAt = 0;
  bool stillModal = false, timerGone = false;
  wxTimer watch;
  watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    ++ticks;
    if (hiddenAt == 0 && !p.IsShown()) hiddenAt = ticks;
    if (hiddenAt != 0 && ticks == hiddenAt + 20) {
      // Hidden is not closed: the panel's loop goes on, the timer is gone.
      stillModal = p.IsRunningModal() && !p.IsShown();
      timerGone = !p.IsHideTimerRunning();
      p.EndDialog(IDCANCEL);
    }
    if (ticks > 300) p.EndDialog(IDCANCEL);
  });
  watch.Start(10);
  p.DoModal();
  watch.Stop();
  EXPECT_NE(hiddenAt, 0);
  EXPECT_TRUE(stillModal);
  EXPECT_TRUE(timerGone);
  EXPECT_EQ(Log().sampler, 1);
  ExpectRunning(p);
}

TEST_F(PanelTest, TimerOfAnotherIdDoesNothing) {
  auto p = Initialised();
  p->Show();
  p->OnTimer(855);
  p->OnTimer(0);
  EXPECT_TRUE(p->IsShown());
  p->OnTimer(IDT_HIDE);
  EXPECT_FALSE(p->IsShown());
  EXPECT_EQ(Log().sampler, 0);
}

// ---- Run control ----

TEST_F(PanelTest, RunStateTable) {
  auto p = Initialised();
  ExpectStopped(*p);

  Click(*p, IDC_START_ONLY);
  ExpectRunning(*p);
  EXPECT_EQ(Log().sampler, 1);
  EXPECT_EQ(Log().tonePlayer, 1);
  EXPECT_EQ(Log().wrapper, 1);
  EXPECT_FALSE(Log().stoppedWhenSamplerStarted);
  EXPECT_FALSE(Log().wrapStoppedWhenWrapperStarted);

  EXPECT_EQ(platform_.DroppedTonesCalls(), 0);
  Click(*p, IDC_STOP);
  ExpectStopped(*p);
  EXPECT_FALSE(g_bWrapStopped.load());  // Stop leaves the wrapper's flag alone
  // ... and ends the sound with the tone in progress.
  EXPECT_EQ(platform_.DroppedTonesCalls(), 1);

  Click(*p, IDC_START_AND_HIDE);  // from Stopped: starts and hides
  ExpectRunning(*p);
  EXPECT_EQ(Log().sampler, 2);
  EXPECT_EQ(Log().tonePlayer, 2);
  EXPECT_EQ(Log().wrapper, 2);
  EXPECT_FALSE(p->IsShown());

  p->Show();
  Click(*p, IDC_START_AND_HIDE);  // "Hide" while Running: only hides
  ExpectRunning(*p);
  EXPECT_EQ(Log().sampler, 2);
  EXPECT_FALSE(p->IsShown());
}

TEST_F(PanelTest, ThirdButtonStartsOnlyOnItsExactCaption) {
  auto p = Initialised();
  p->SetDlgItemText(IDC_START_AND_HIDE, "start && hide");
  Click(*p, IDC_START_AND_HIDE);
  EXPECT_EQ(Log().sampler, 0);
  EXPECT_FALSE(p->IsShown());
  // The stored caption keeps the doubled ampersand; the button shows one.
  p->SetDlgItemText(IDC_START_AND_HIDE, "Start && Hide");
  auto* button = dynamic_cast<wxButton*>(p->GetDlgItem(IDC_START_AND_HIDE));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetLabelText(), "Start & Hide");
  Click(*p, IDC_START_AND_HIDE);
  EXPECT_EQ(Log().sampler, 1);
}

TEST_F(PanelTest, StartWithWrapBoxUncheckedThenCheckIt) {
  auto p = Initialised([](CPanelDlg& d) { d.m_bWrapMouse = false; });
  Click(*p, IDC_START_ONLY);
  EXPECT_EQ(Log().wrapper, 0);
  EXPECT_TRUE(g_bWrapStopped.load());
  Click(*p, IDC_WRAP_MOUSE);  // checked while Running: a wrapper at once
  EXPECT_EQ(Log().wrapper, 1);
  EXPECT_FALSE(g_bWrapStopped.load());
  Click(*p, IDC_WRAP_MOUSE);  // unchecked: the wrapper is asked to end
  EXPECT_TRUE(g_bWrapStopped.load());
  EXPECT_FALSE(g_bStopped.load());  // the tones go on
}

struct WrapCase {
  bool checkedAfter, wrapStoppedBefore, stopped;
  bool wrapStoppedAfter;
  int wrappersStarted;
};

class WrapBoxTable : public PanelTest, public testing::WithParamInterface<WrapCase> {};

TEST_P(WrapBoxTable, ClickOnTheWrapBox) {
  const WrapCase c = GetParam();
  auto p = Initialised();
  p->CheckDlgButton(IDC_WRAP_MOUSE, !c.checkedAfter);
  g_bWrapStopped = c.wrapStoppedBefore;
  g_bStopped = c.stopped;
  Log() = test::WorkerLog{};
  Click(*p, IDC_WRAP_MOUSE);
  EXPECT_EQ(p->IsDlgButtonChecked(IDC_WRAP_MOUSE), c.checkedAfter);
  EXPECT_EQ(g_bWrapStopped.load(), c.wrapStoppedAfter);
  EXPECT_EQ(g_bStopped.load(), c.stopped);
  EXPECT_EQ(Log().wrapper, c.wrappersStarted);
  if (c.wrappersStarted > 0) {
    EXPECT_FALSE(Log().wrapStoppedWhenWrapperStarted);
  }
  EXPECT_EQ(Log().sampler + Log().tonePlayer, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Panel, WrapBoxTable,
    testing::Values(WrapCase{false, false, false, true, 0}, WrapCase{false, true, true, true, 0},
                    WrapCase{false, false, true, true, 0}, WrapCase{true, true, false, false, 1},
                    WrapCase{true, true, true, true, 0}, WrapCase{true, false, false, false, 0},
                    WrapCase{true, false, true, false, 0}));

TEST_F(PanelTest, CheckedWhileStoppedStartsWithTheNextStart) {
  auto p = Initialised([](CPanelDlg& d) { d.m_bWrapMouse = false; });
  Click(*p, IDC_WRAP_MOUSE);
  EXPECT_EQ(Log().wrapper, 0);
  Click(*p, IDC_START_ONLY);
  EXPECT_EQ(Log().wrapper, 1);
  Click(*p, IDC_STOP);
  Click(*p, IDC_START_ONLY);
  EXPECT_EQ(Log().wrapper, 2);
}

TEST_F(PanelTest, NoSoundBoxSetsMuteOnly) {
  auto p = Initialised();
  Click(*p, IDC_MAKE_NO_SOUND);
  EXPECT_TRUE(g_bMute.load());
  Click(*p, IDC_MAKE_NO_SOUND);
  EXPECT_FALSE(g_bMute.load());
  EXPECT_EQ(Log().sampler + Log().tonePlayer + Log().wrapper, 0);
  EXPECT_TRUE(g_bStopped.load());
}

// ---- Status texts from a worker ----

TEST_F(PanelTest, StatusTextsFromAWorkerArriveInOrder) {
  auto p = Initialised();
  StatusTexts* texts = g_hPanelWnd.load();
  ASSERT_NE(texts, nullptr);
  std::thread worker([texts] {
    for (int i = 1; i <= 200; ++i) {
      texts->SetDlgItemText(IDC_SPEED_VALUE, (std::to_string(i) + " pixels per second.").c_str());
      texts->SetDlgItemText(IDC_SPEED_WORDS, i % 2 ? "odd " : "even ");
    }
  });
  worker.join();
  EXPECT_TRUE(
      PumpUntil([&] { return p->GetDlgItemText(IDC_SPEED_VALUE) == "200 pixels per second."; }));
  EXPECT_EQ(p->GetDlgItemText(IDC_SPEED_WORDS), "even ");
}

TEST_F(PanelTest, DestroyedPanelTakesBackWhatItPublished) {
  {
    auto p = Initialised();
    EXPECT_NE(g_hPanelWnd.load(), nullptr);
  }
  EXPECT_EQ(g_hPanelWnd.load(), nullptr);
  EXPECT_EQ(g_pIntervalSlider.load(), nullptr);
  EXPECT_EQ(g_pPitchSlider.load(), nullptr);
}

// ---- Keyboard, focus, ending ----

TEST_F(PanelTest, FocusIsOnAboutWhenThePanelOpens) {
  CPanelDlg p;
  int focused = 0;
  RunModal(p, [&] {
    test::PointAt(&p);
    PumpUntil([] { return wxWindow::FindFocus() != nullptr; }, 3.0);
    if (wxWindow* f = wxWindow::FindFocus()) focused = f->GetId();
  });
  EXPECT_EQ(focused, IDC_ABOUT);
}

TEST_F(PanelTest, EscapeClosesThePanel) {
  CPanelDlg p;
  const int result = RunModal(p, [&] {
    test::PointAt(&p);
    wxUIActionSimulator().Char(WXK_ESCAPE);
    PumpUntil([&] { return !p.IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(p.IsShown());
}

TEST_F(PanelTest, EnterOnACheckBoxClosesThePanel) {
  CPanelDlg p;
  const int result = RunModal(p, [&] {
    test::PointAt(&p);
    p.GetDlgItem(IDC_MAKE_NO_SOUND)->SetFocus();
    test::PumpFor(0.2);
    wxUIActionSimulator().Char(WXK_RETURN);
    PumpUntil([&] { return !p.IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(result, IDOK);
}

TEST_F(PanelTest, EnterOnAPushButtonPressesIt) {
  CPanelDlg p;
  bool stillOpen = false;
  RunModal(p, [&] {
    test::PointAt(&p);
    p.GetDlgItem(IDC_START_ONLY)->SetFocus();
    test::PumpFor(0.2);
    wxUIActionSimulator().Char(WXK_RETURN);
    PumpUntil([&] { return Log().sampler > 0; }, 3.0);
    stillOpen = p.IsRunningModal();
  });
  EXPECT_EQ(Log().sampler, 1);
  EXPECT_TRUE(stillOpen);
}

TEST_F(PanelTest, CloseBoxClosesThePanel) {
  CPanelDlg p;
  const int result = RunModal(p, [&] {
    p.Close();  // what the window manager's close box sends
    PumpUntil([&] { return !p.IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(PanelTest, KeyboardMovesOfASliderReachTheWorkersView) {
  CPanelDlg p;
  std::int32_t before = 0, after = 0, shown = 0;
  RunModal(p, [&] {
    test::PointAt(&p);
    p.m_intervalSlider.Control()->SetFocus();
    test::PumpFor(0.2);
    before = g_pIntervalSlider.load()->GetPos();
    wxUIActionSimulator().Char(WXK_RIGHT);
    PumpUntil([&] { return g_pIntervalSlider.load()->GetPos() != before; }, 3.0);
    after = g_pIntervalSlider.load()->GetPos();
    shown = p.m_intervalSlider.Control()->GetValue();
  });
  EXPECT_EQ(before, 80);
  EXPECT_NE(after, 80);
  EXPECT_EQ(after, shown);
}

TEST_F(PanelTest, EndRequestClosesEvenAHiddenPanel) {
  CPanelDlg p;
  p.m_bAutoStartAndHide = true;
  bool wasHidden = false;
  wxTimer watch;
  watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    if (!p.IsShown() && !wasHidden) {
      wasHidden = true;
      p.CallAfter([&] { p.RequestEnd(); });
    }
  });
  watch.Start(10);
  wxTimer guard;  // never hang the test
  guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { p.EndDialog(-7); });
  guard.StartOnce(5000);
  const int result = p.DoModal();
  EXPECT_TRUE(wasHidden);
  EXPECT_EQ(result, IDCANCEL);
}

// ---- Window menu and About ----

TEST_F(PanelTest, WindowMenuEndsWithTheAboutEntryAfterASeparator) {
  auto p = Initialised();
  wxMenu& menu = p->SystemMenu();
  const size_t n = menu.GetMenuItemCount();
  ASSERT_GE(n, 2u);
  wxMenuItem* last = menu.FindItemByPosition(n - 1);
  EXPECT_EQ(last->GetItemLabel(), "&About Zintrel...");
  EXPECT_EQ(last->GetId(), static_cast<int>(IDM_ABOUTBOX));
  EXPECT_TRUE(menu.FindItemByPosition(n - 2)->IsSeparator());
}

TEST_F(PanelTest, SysCloseClosesThePanel) {
  CPanelDlg p;
  const int result = RunModal(p, [&] {
    p.OnSysCommand(CPanelDlg::SC_CLOSE, 0);
    PumpUntil([&] { return !p.IsRunningModal(); }, 3.0);
  });
  EXPECT_EQ(result, IDCANCEL);
}

// The first dialog that opens over the panel while `action` runs (it is then
// closed): its window id and whether its Go there button shows. {0, false}
// when none opens.
struct OpenedDialog {
  int id = 0;
  bool goThereShown = false;
  bool operator==(const OpenedDialog&) const = default;
};

OpenedDialog DialogOpenedBy(CPanelDlg& p, const std::function<void()>& action) {
  OpenedDialog opened;
  RunModal(p, [&] {
    p.CallAfter([&] {
      PumpUntil(
          [&] {
            for (wxWindow* w : wxTopLevelWindows) {
              if (w != &p && w->IsShown()) {
                opened.id = w->GetId();
                if (auto* d = dynamic_cast<CDialog*>(w)) {
                  wxWindow* goThere = d->GetDlgItem(IDC_GO_THERE);
                  opened.goThereShown = goThere != nullptr && goThere->IsShown();
                  d->EndDialog(IDCANCEL);
                }
                return true;
              }
            }
            return false;
          },
          3.0);
    });
    action();
  });
  return opened;
}

TEST_F(PanelTest, AboutEntryOpensTheAboutBox) {
  // The window menu's entry opens the box without Go there; the About
  // button the one with it.
  for (unsigned id : {0x0010u, 0x0013u, 0x001Fu}) {
    CPanelDlg p;
    EXPECT_EQ(DialogOpenedBy(p, [&] { p.OnSysCommand(id, 0); }),
              (OpenedDialog{IDD_ABOUTBOX, false}))
        << id;
  }
  CPanelDlg p;
  EXPECT_EQ(DialogOpenedBy(p, [&] { Click(p, IDC_ABOUT); }), (OpenedDialog{IDD_ABOUTBOX, true}));
}

}  // namespace
}  // namespace zintrel
