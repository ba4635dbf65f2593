#pragma once

// The control panel: Zintrel's only window. It turns the launch settings into
// the state of its controls, publishes its sliders and status texts to the
// engine, and starts and stops the engine's workers.

#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/timer.h>

#include <cstdint>
#include <string>

#include "dialog/TemplateDialog.h"
#include "engine/StatusTexts.h"
#include "panel/SliderCtrl.h"

class wxContextMenuEvent;
class wxPaintEvent;
class wxShowEvent;
class wxTimerEvent;

namespace zintrel {

class CPanelDlg;

// The panel's status texts as the speed monitor sees them: each text is
// handed to the main thread, in order; a speed report's word and value are
// handed over together and changed in one step.
class PanelStatusTexts final : public StatusTexts {
 public:
  explicit PanelStatusTexts(CPanelDlg& panel) : panel_(panel) {}
  void SetDlgItemText(int controlId, const char* text) override;
  void SetSpeedTexts(const char* word, const char* value) override;

 private:
  CPanelDlg& panel_;
};

class CPanelDlg : public CDialog {
 public:
  explicit CPanelDlg(wxWindow* parent = nullptr);
  ~CPanelDlg() override;

  // Launch settings: defaults here, overwritten from the command line.
  bool m_bAutoStartOnly;
  bool m_bAutoStartAndHide;
  bool m_bWrapMouse;
  bool m_bMakeNoSound;
  std::int32_t m_nPitch;
  std::int32_t m_nInterval;

  CSliderCtrl m_pitchSlider;
  CSliderCtrl m_intervalSlider;
  wxIcon m_hIcon;

  void DoDataExchange() override;
  bool OnInitDialog() override;

  // Commands of the window menu: the About entry (any id whose top twelve
  // bits match IDM_ABOUTBOX) or a window command (SC_CLOSE, SC_MINIMIZE,
  // SC_RESTORE).
  void OnSysCommand(unsigned id, long lParam);
  // The window menu: Minimize, Close, a separator and the About entry.
  wxMenu& SystemMenu() { return m_systemMenu; }
  const wxIcon& OnQueryDragIcon() const { return m_hIcon; }

  // Run control.
  void OnStartOnly();
  void OnStop();
  void OnStartAndHide();
  void OnWrapMouse();
  void OnMakeNoSound();
  void OnTimer(unsigned id);
  bool IsHideTimerRunning() const { return m_hideTimer.IsRunning(); }

  void OnAbout();
  void OnHelpStartAndHide();
  void OnHelpInterval();
  void OnHelpPitch();
  void OnHelpWrapMouse();
  void OnHelpMakeNoSound();
  void OnCommandLineOptions();

  // Ends the panel from outside (an end signal): closes any dialog open over
  // it, then the panel itself.
  void RequestEnd();

  static constexpr unsigned SC_MINIMIZE = 0xF020;
  static constexpr unsigned SC_CLOSE = 0xF060;
  static constexpr unsigned SC_RESTORE = 0xF120;

 private:
  void DefaultSysCommand(unsigned id);
  void OnPaint(wxPaintEvent& event);
  void OnTimerEvent(wxTimerEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  // Where a menu opened from the keyboard goes, in client coordinates.
  wxPoint KeyboardMenuOrigin() const;
  void HidePanel();
  void OnShowEvent(wxShowEvent& event);

  wxTimer m_hideTimer;
  bool m_bHiddenForGood = false;
  wxMenu m_systemMenu;
  PanelStatusTexts m_statusTexts{*this};
};

}  // namespace zintrel
