#pragma once

// A dialog built from a dialog template kept as data (res/DialogTemplate.h):
// the controls are created in template order (which is also the tab order),
// placed in dialog units of the dialog's own font, and given the template's
// identifiers as window ids. DoModal runs the dialog in an event loop of its
// own, so hiding the dialog does not end it: only EndDialog does.

#include <wx/dialog.h>

#include <string>

#include "res/DialogTemplate.h"

class wxBitmapBundle;
class wxEventLoopBase;
class wxKeyEvent;
class wxCloseEvent;
class wxCommandEvent;

namespace zintrel {

class CDialog : public wxDialog {
 public:
  // Creates no window yet: CreateFromTemplate (or DoModal) does.
  explicit CDialog(const res::DialogTemplate& dialogTemplate, wxWindow* parent = nullptr);
  ~CDialog() override;

  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Creates the dialog window and its controls. False when the window could
  // not be created.
  bool CreateFromTemplate();

  // Creates the window if needed, runs OnInitDialog, centres the dialog over
  // its parent (or the screen), shows it with every other top-level window
  // disabled and runs its event loop until EndDialog. Returns the result
  // given to EndDialog.
  int DoModal();
  // Ends the event loop of DoModal with `result` and hides the dialog.
  void EndDialog(int result);
  // True from the start of DoModal's loop until EndDialog.
  bool IsRunningModal() const { return loop_ != nullptr && !ended_; }

  // The control with template id `id`, or nullptr.
  wxWindow* GetDlgItem(int id) const;
  // Caption text in template notation: "&&" stands for one shown ampersand on
  // buttons and check boxes, "\r\n" for a line break.
  void SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id) const;
  bool IsDlgButtonChecked(int id) const;
  void CheckDlgButton(int id, bool checked);
  void EnableDlgItem(int id, bool enable);
  void ShowDlgItem(int id, bool show);

  const res::DialogTemplate& Template() const { return template_; }

  // Called by the default OnInitDialog.
  virtual void DoDataExchange() {}
  // Runs DoDataExchange. Returning true gives the keyboard focus to the first
  // control in tab order that takes it.
  virtual bool OnInitDialog();
  // Enter with no push button focused and no default button, and the IDOK
  // button: ends the dialog with IDOK.
  virtual void OnOK();
  // Escape, the close box and the IDCANCEL button: ends the dialog with
  // IDCANCEL.
  virtual void OnCancel();
  // The art a picture or icon control of the template shows.
  virtual wxBitmapBundle TemplateBitmap(const res::ControlTemplate& control) const;

 private:
  void CreateControl(const res::ControlTemplate& control);
  void FocusFirstTabStop();
  void OnCharHook(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);
  void ClickButton(wxWindow* button);

  const res::DialogTemplate& template_;
  wxWindow* parent_;
  wxEventLoopBase* loop_ = nullptr;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace zintrel
