#include "panel/PanelDlg.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/settings.h>

#include <iterator>

#include "dialog/Art.h"
#include "dialog/FocusReturn.h"
#include "engine/SharedState.h"
#include "panel/AboutBoxes.h"
#include "panel/EngineWorkers.h"
#include "panel/HelpButtons.h"
#include "panel/IconPosition.h"
#include "platform/Platform.h"
#include "platform/desktop/GtkWindows.h"
#include "res/ControlPanelTemplate.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"

namespace zintrel {

using namespace res;

namespace {

// The caption of the third run button while the engine is stopped. Written
// by OnStop and compared by OnStartAndHide: one constant for both.
constexpr const char kStartAndHideCaption[] = "Start && Hide";
constexpr const char kHideCaption[] = "Hide";

// The panel's command map: which handler a click on which control runs.
struct CommandEntry {
  int id;
  void (CPanelDlg::*handler)();
};

constexpr CommandEntry kButtonMap[] = {
    {IDC_ABOUT, &CPanelDlg::OnAbout},
    {IDC_START_ONLY, &CPanelDlg::OnStartOnly},
    {IDC_STOP, &CPanelDlg::OnStop},
    {IDC_START_AND_HIDE, &CPanelDlg::OnStartAndHide},
    {IDC_HELP_START_AND_HIDE, &CPanelDlg::OnHelpStartAndHide},
    {IDC_HELP_INTERVAL, &CPanelDlg::OnHelpInterval},
    {IDC_HELP_PITCH, &CPanelDlg::OnHelpPitch},
    {IDC_HELP_WRAP_MOUSE, &CPanelDlg::OnHelpWrapMouse},
    {IDC_HELP_MAKE_NO_SOUND, &CPanelDlg::OnHelpMakeNoSound},
    {IDC_COMMAND_LINE_OPTIONS, &CPanelDlg::OnCommandLineOptions},
};

constexpr CommandEntry kCheckBoxMap[] = {
    {IDC_WRAP_MOUSE, &CPanelDlg::OnWrapMouse},
    {IDC_MAKE_NO_SOUND, &CPanelDlg::OnMakeNoSound},
};

// wx menu item ids stay below 0x7FFF, and the window commands lie above it:
// the menu carries them shifted right by four bits (their low four bits are
// always zero), the About entry as it is.
int MenuItemId(unsigned command) {
  return static_cast<int>(command >= 0x7FFF ? command >> 4 : command);
}

unsigned CommandOfMenuItem(int id) {
  const auto item = static_cast<unsigned>(id);
  return item >= (CPanelDlg::SC_MINIMIZE >> 4) ? item << 4 : item;
}

}  // namespace

void PanelStatusTexts::SetDlgItemText(int controlId, const char* text) {
  // May run on a worker thread: only queue the change for the main thread.
  panel_.CallAfter([panel = &panel_, controlId, value = std::string(text != nullptr ? text : "")] {
    panel->CDialog::SetDlgItemText(controlId, value);
  });
}

void PanelStatusTexts::SetSpeedTexts(const char* word, const char* value) {
  const bool wordChanges = word != nullptr;
  panel_.CallAfter([panel = &panel_, wordChanges, word = std::string(wordChanges ? word : ""),
                    value = std::string(value != nullptr ? value : "")] {
    // Both labels change before the main thread paints again.
    if (wordChanges) panel->CDialog::SetDlgItemText(IDC_SPEED_WORDS, word);
    panel->CDialog::SetDlgItemText(IDC_SPEED_VALUE, value);
  });
}

CPanelDlg::CPanelDlg(wxWindow* parent)
    : CDialog(kControlPanelTemplate, parent),
      m_bAutoStartOnly(false),
      m_bAutoStartAndHide(false),
      m_bWrapMouse(true),
      m_bMakeNoSound(false),
      m_nPitch(15),
      m_nInterval(80),
      m_hideTimer(this, static_cast<int>(IDT_HIDE)) {
  const wxBitmap icon = ProgramIconBitmap(32);
  if (icon.IsOk()) m_hIcon.CopyFromBitmap(icon);

  for (const auto& entry : kButtonMap) {
    Bind(
        wxEVT_BUTTON, [this, h = entry.handler](wxCommandEvent&) { (this->*h)(); }, entry.id);
  }
  for (const auto& entry : kCheckBoxMap) {
    Bind(
        wxEVT_CHECKBOX, [this, h = entry.handler](wxCommandEvent&) { (this->*h)(); }, entry.id);
  }
  Bind(wxEVT_PAINT, &CPanelDlg::OnPaint, this);
  Bind(wxEVT_TIMER, &CPanelDlg::OnTimerEvent, this);
  Bind(wxEVT_CONTEXT_MENU, &CPanelDlg::OnContextMenu, this);
  Bind(wxEVT_SHOW, &CPanelDlg::OnShowEvent, this);

  // The window commands of the window menu; OnInitDialog adds the About entry.
  m_systemMenu.Append(MenuItemId(SC_MINIMIZE), "Mi&nimize");
  m_systemMenu.Append(MenuItemId(SC_CLOSE), "&Close");
}

CPanelDlg::~CPanelDlg() {
  platform::ForgetRightClicksOnDisabled(*this);
  // Take back what was published to the engine, in case a worker is left.
  const SliderPosition* interval = &m_intervalSlider.Position();
  const SliderPosition* pitch = &m_pitchSlider.Position();
  StatusTexts* texts = &m_statusTexts;
  g_pIntervalSlider.compare_exchange_strong(interval, nullptr);
  g_pPitchSlider.compare_exchange_strong(pitch, nullptr);
  g_hPanelWnd.compare_exchange_strong(texts, nullptr);
  m_hideTimer.Stop();
}

void CPanelDlg::DoDataExchange() {
  m_pitchSlider.Attach(GetDlgItem(IDC_PITCH));
  m_intervalSlider.Attach(GetDlgItem(IDC_INTERVAL));

  g_pIntervalSlider.store(&m_intervalSlider.Position());
  g_pPitchSlider.store(&m_pitchSlider.Position());

  m_intervalSlider.SetRange(2, 300);
  m_pitchSlider.SetRange(1, 100);

  g_hPanelWnd.store(&m_statusTexts);
  PanelWorkers().startSpeedMonitor();

  CheckDlgButton(IDC_WRAP_MOUSE, m_bWrapMouse);
  OnWrapMouse();
  CheckDlgButton(IDC_MAKE_NO_SOUND, m_bMakeNoSound);
  OnMakeNoSound();

  m_intervalSlider.SetPos(m_nInterval);
  m_pitchSlider.SetPos(m_nPitch);

  if (m_bAutoStartOnly) {
    OnStartOnly();
  } else if (m_bAutoStartAndHide) {
    OnStartAndHide();
    // The panel is shown after its initialisation; the timer hides it once
    // the panel's event loop runs.
    m_hideTimer.Start(0);
  }
}

bool CPanelDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  const std::string about = LoadResourceString(IDS_ABOUTBOX);
  if (!about.empty()) {
    if (m_systemMenu.GetMenuItemCount() > 0) m_systemMenu.AppendSeparator();
    m_systemMenu.Append(MenuItemId(IDM_ABOUTBOX), wxString::FromUTF8(about));
  }

  SetIcons(ProgramIcons());
  // A right click on a disabled button (Stop while stopped) opens the menu
  // as anywhere else on the panel, once the click is over.
  platform::OnRightClickOnDisabled(*this, [this](int x, int y) {
    CallAfter([this, x, y] {
      wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, GetId(), wxPoint(x, y));
      menu.SetEventObject(this);
      GetEventHandler()->ProcessEvent(menu);
    });
  });
  return true;
}

void CPanelDlg::OnSysCommand(unsigned id, long /*lParam*/) {
  if ((id & 0xFFF0u) == IDM_ABOUTBOX) {
    ShowAboutBox(this);
  } else {
    DefaultSysCommand(id);
  }
}

void CPanelDlg::DefaultSysCommand(unsigned id) {
  switch (id & 0xFFF0u) {
    case SC_CLOSE:
      Close();
      break;
    case SC_MINIMIZE:
      Iconize(true);
      break;
    case SC_RESTORE:
      Iconize(false);
      break;
    default:
      break;
  }
}

void CPanelDlg::OnContextMenu(wxContextMenuEvent& event) {
  // Taken before the menu opens: once it has, no control has the focus, and
  // the About box opened from it would have none to give back.
  const FocusReturn focusReturn;
  wxPoint at = event.GetPosition();
  // No position: the Menu key or Shift+F10 asked for it.
  at = at == wxDefaultPosition ? KeyboardMenuOrigin() : ScreenToClient(at);
  const int id = GetPopupMenuSelectionFromUser(m_systemMenu, at);
  if (id != wxID_NONE) OnSysCommand(CommandOfMenuItem(id), 0);
}

wxPoint CPanelDlg::KeyboardMenuOrigin() const {
  // GTK's convention: a menu asked for from the keyboard opens at the
  // focused control, just below it, not wherever the pointer happens to be.
  const wxWindow* focus = FindFocus();
  while (focus != nullptr && focus->GetParent() != this) focus = focus->GetParent();
  if (focus == nullptr) return wxPoint(0, 0);
  const wxRect r = focus->GetRect();
  return wxPoint(r.GetLeft(), r.GetBottom() + 1);
}

void CPanelDlg::OnPaint(wxPaintEvent& event) {
  if (!IsIconized()) {
    event.Skip();
    return;
  }
  // Window managers usually draw minimized windows themselves; where the
  // panel still gets painted while minimized it shows its icon, centred.
  wxPaintDC dc(this);
  dc.Clear();
  const wxSize client = GetClientSize();
  const IconOrigin at = CenteredIconOrigin(client.GetWidth(), client.GetHeight(),
                                           wxSystemSettings::GetMetric(wxSYS_ICON_X, this),
                                           wxSystemSettings::GetMetric(wxSYS_ICON_Y, this));
  if (m_hIcon.IsOk()) dc.DrawIcon(m_hIcon, at.x, at.y);
}

// ---- Run control ----

void CPanelDlg::OnStartOnly() {
  SetStopped(false);
  PanelWorkers().startTravelSampler();
  PanelWorkers().startTonePlayer();
  if (IsDlgButtonChecked(IDC_WRAP_MOUSE)) {
    SetWrapStopped(false);
    PanelWorkers().startCursorWrapper();
  }
  EnableDlgItem(IDC_START_ONLY, false);
  EnableDlgItem(IDC_STOP, true);
  SetDlgItemText(IDC_START_AND_HIDE, kHideCaption);
}

void CPanelDlg::OnStop() {
  SetStopped(true);
  platform::Current().DropPendingTones();  // the sound ends with the tone in progress
  EnableDlgItem(IDC_START_ONLY, true);
  EnableDlgItem(IDC_STOP, false);
  SetDlgItemText(IDC_START_AND_HIDE, kStartAndHideCaption);
}

void CPanelDlg::OnStartAndHide() {
  if (GetDlgItemText(IDC_START_AND_HIDE) == kStartAndHideCaption) OnStartOnly();
  HidePanel();
}

void CPanelDlg::HidePanel() {
  // A hide of the panel on screen is for good. One made during the
  // initialisation, before the panel is first shown, has no lasting effect.
  if (IsShown()) m_bHiddenForGood = true;
  Hide();
}

void CPanelDlg::OnShowEvent(wxShowEvent& event) {
  // wxGTK marks a window shown again when its map notification arrives after
  // an early hide (the hide timer may fire before the panel is mapped).
  if (event.IsShown() && m_bHiddenForGood) {
    CallAfter([this] {
      if (m_bHiddenForGood) Hide();
    });
  }
  event.Skip();
}

void CPanelDlg::OnWrapMouse() {
  if (!IsDlgButtonChecked(IDC_WRAP_MOUSE)) {
    SetWrapStopped(true);
    return;
  }
  if (g_bWrapStopped.load() && !g_bStopped.load()) {
    SetWrapStopped(false);
    PanelWorkers().startCursorWrapper();
  }
}

void CPanelDlg::OnMakeNoSound() { SetMute(IsDlgButtonChecked(IDC_MAKE_NO_SOUND)); }

void CPanelDlg::OnTimer(unsigned id) {
  if (id == IDT_HIDE) {
    m_hideTimer.Stop();
    HidePanel();
  }
}

void CPanelDlg::OnTimerEvent(wxTimerEvent& event) {
  OnTimer(static_cast<unsigned>(event.GetId()));
  event.Skip();
}

// ---- About and help ----

void CPanelDlg::OnAbout() { ShowAboutLinkBox(this); }

void CPanelDlg::OnHelpStartAndHide() { ShowHelpFor(this, IDC_HELP_START_AND_HIDE); }
void CPanelDlg::OnHelpInterval() { ShowHelpFor(this, IDC_HELP_INTERVAL); }
void CPanelDlg::OnHelpPitch() { ShowHelpFor(this, IDC_HELP_PITCH); }
void CPanelDlg::OnHelpWrapMouse() { ShowHelpFor(this, IDC_HELP_WRAP_MOUSE); }
void CPanelDlg::OnHelpMakeNoSound() { ShowHelpFor(this, IDC_HELP_MAKE_NO_SOUND); }
void CPanelDlg::OnCommandLineOptions() { ShowHelpFor(this, IDC_COMMAND_LINE_OPTIONS); }

// ---- Ending ----

void CPanelDlg::RequestEnd() {
  // Dialogs open over the panel end first, so that the panel's loop can end.
  for (wxWindow* w : wxTopLevelWindows) {
    if (w == this) continue;
    if (auto* dialog = dynamic_cast<CDialog*>(w); dialog && dialog->IsRunningModal()) {
      dialog->EndDialog(IDCANCEL);
    } else if (auto* modal = dynamic_cast<wxDialog*>(w); modal && modal->IsModal()) {
      modal->EndModal(wxID_CANCEL);
    }
  }
  // Before the panel's loop starts (a message box before the panel), there
  // is no panel to end yet.
  if (IsRunningModal()) EndDialog(IDCANCEL);
}

}  // namespace zintrel
