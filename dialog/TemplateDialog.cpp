#include "dialog/TemplateDialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/evtloop.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>

#include "dialog/Art.h"
#include "dialog/FocusReturn.h"
#include "platform/desktop/GtkWindows.h"
#include "res/ResourceIds.h"

namespace zintrel {

namespace {

using res::ControlKind;

// Template captions break lines with "\r\n"; wx labels with "\n".
wxString ToLabel(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return wxString::FromUTF8(out);
}

std::string FromLabel(const wxString& label) {
  const std::string utf8 = label.utf8_string();
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

long StaticTextStyle(std::uint32_t styles) {
  long style = wxST_NO_AUTORESIZE;
  if (styles & res::kAlignRight) {
    style |= wxALIGN_RIGHT;
  } else if (styles & res::kAlignCenter) {
    style |= wxALIGN_CENTRE_HORIZONTAL;
  } else {
    style |= wxALIGN_LEFT;
  }
  if (styles & res::kBorder) style |= wxBORDER_SIMPLE;
  return style;
}

const res::ControlTemplate* FindControl(const res::DialogTemplate& t, int id) {
  for (const auto& c : t.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace

CDialog::CDialog(const res::DialogTemplate& dialogTemplate, wxWindow* parent)
    : template_(dialogTemplate), parent_(parent) {}

CDialog::~CDialog() = default;

bool CDialog::CreateFromTemplate() {
  if (GetHandle() != nullptr) return true;

  wxWindow* owner = parent_;
  if (owner == nullptr && wxTheApp != nullptr) {
    // Like a dialog of the desktop's own framework: with no parent given, the
    // application's main window (when it is up) owns the dialog.
    wxWindow* top = wxTheApp->GetTopWindow();
    if (top != nullptr && top != this && top->IsShown()) owner = top;
  }

  long style = 0;
  if (template_.caption != nullptr)
    style |= wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
  else
    style |= wxBORDER_RAISED;
  if (template_.minimizeBox) style |= wxMINIMIZE_BOX;
  if (template_.maximizeBox) style |= wxMAXIMIZE_BOX;
  const wxString caption =
      template_.caption != nullptr ? wxString::FromUTF8(template_.caption) : wxString();
  if (!wxDialog::Create(owner, template_.id, caption, wxDefaultPosition, wxDefaultSize, style)) {
    return false;
  }
  // With no caption bar there is nothing to drag it by; nor may Alt+drag or
  // a window menu move it.
  if (template_.caption == nullptr) platform::OfferNoMove(*this);
  SetEscapeId(wxID_NONE);  // Escape is routed by OnCharHook below.

  const wxSize client = ConvertDialogToPixels(wxSize(template_.width, template_.height));
  SetClientSize(client);
  SetSizeHints(GetSize(), GetSize());

  for (const auto& control : template_.controls) CreateControl(control);

  Bind(wxEVT_CHAR_HOOK, &CDialog::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &CDialog::OnClose, this);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, res::IDOK);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, res::IDCANCEL);
  return true;
}

void CDialog::CreateControl(const res::ControlTemplate& c) {
  const wxPoint pos = ConvertDialogToPixels(wxPoint(c.x, c.y));
  const wxSize size = ConvertDialogToPixels(wxSize(c.width, c.height));
  const std::string caption = c.caption != nullptr ? c.caption : "";
  wxWindow* window = nullptr;

  switch (c.kind) {
    case ControlKind::Picture:
    case ControlKind::Icon: {
      // Shown at the image's own size, as the template asks.
      // The bundle holds the art for each scale the window may be shown at.
      const wxBitmapBundle art = TemplateBitmap(c);
      window = new wxStaticBitmap(this, c.id, art, pos, art.IsOk() ? art.GetDefaultSize() : size);
      break;
    }
    case ControlKind::PushButton: {
      // Exact fit drops the toolkit's padding, which would leave no room for the
      // caption of the smallest buttons; the template gives the size anyway.
      auto* button = new wxButton(this, c.id, ToLabel(caption), pos, size, wxBU_EXACTFIT);
      if (c.styles & res::kDefaultButton) button->SetDefault();
      window = button;
      break;
    }
    case ControlKind::CheckBox: {
      auto* box = new wxCheckBox(this, c.id, ToLabel(caption), pos, size);
      // GTK's check mark needs more height than ten dialog units may give:
      // grow the box about its centre line rather than squeeze the mark.
      // Likewise its caption may need a few pixels more than the template's
      // width with the font that stands in: widen it to the right.
      const wxSize best = box->GetBestSize();
      const int height = std::max(best.GetHeight(), size.GetHeight());
      const int width = std::max(best.GetWidth(), size.GetWidth());
      box->SetSize(pos.x, pos.y - (height - size.GetHeight()) / 2, width, height);
      window = box;
      break;
    }
    case ControlKind::Slider:
      // The desktop's slider starts with the range 0 to 100 at position 0.
      window = new wxSlider(this, c.id, 0, 0, 100, pos, size, wxSL_HORIZONTAL);
      break;
    case ControlKind::StaticText: {
      long style = StaticTextStyle(c.styles);
      auto* text = new wxStaticText(this, c.id, wxString(), pos, size, style);
      if (c.styles & res::kNoPrefix)
        text->SetLabelText(ToLabel(caption));
      else
        text->SetLabel(ToLabel(caption));
      if (c.styles & res::kWordWrap) text->Wrap(size.GetWidth());
      window = text;
      break;
    }
    case ControlKind::GroupBox:
      window = new wxStaticBox(this, c.id, ToLabel(caption), pos, size);
      // wx always puts the caption at the left end.
      if (c.styles & res::kAlignCenter) platform::CentreGroupCaption(*window);
      break;
    case ControlKind::EditBox: {
      long style = 0;
      if (c.styles & res::kMultiline) style |= wxTE_MULTILINE;
      if (c.styles & res::kReadOnly) style |= wxTE_READONLY;
      if (c.styles & res::kAlignCenter) style |= wxTE_CENTRE;
      if (!(c.styles & res::kAutoHScroll) && (c.styles & res::kMultiline)) style |= wxTE_WORDWRAP;
      style |= (c.styles & res::kBorder) ? wxBORDER_SUNKEN : wxBORDER_NONE;
      window = new wxTextCtrl(this, c.id, ToLabel(caption), pos, size, style);
      break;
    }
  }
  if (window != nullptr && (c.styles & res::kDisabled)) window->Disable();
}

wxBitmapBundle CDialog::TemplateBitmap(const res::ControlTemplate& control) const {
  return control.kind == ControlKind::Icon ? ProgramIconArt(32) : BannerArt();
}

bool CDialog::OnInitDialog() {
  DoDataExchange();
  return true;
}

int CDialog::DoModal() {
  if (!CreateFromTemplate()) return -1;
  ended_ = false;
  const bool focusFirst = OnInitDialog();
  if (ended_) return result_;

  CentreOnParent();
  // Declared before the disabler, so it gives the focus back once the other
  // windows are enabled again.
  const FocusReturn focusReturn;
  // Other top-level windows take no input while this dialog runs.
  wxWindowDisabler disabler(this);
  Show();
  if (focusFirst) FocusFirstTabStop();

  wxGUIEventLoop loop;
  loop_ = &loop;
  if (!ended_) loop.Run();
  loop_ = nullptr;
  return result_;
}

void CDialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  Hide();
  if (loop_ != nullptr && loop_->IsRunning()) loop_->Exit(result);
}

void CDialog::FocusFirstTabStop() {
  for (const auto& c : template_.controls) {
    if (!(c.styles & res::kTabStop)) continue;
    wxWindow* w = GetDlgItem(c.id);
    if (w != nullptr && w->IsShown() && w->IsEnabled() && w->AcceptsFocus()) {
      w->SetFocus();
      return;
    }
  }
}

wxWindow* CDialog::GetDlgItem(int id) const {
  if (FindControl(template_, id) == nullptr) return nullptr;
  return FindWindow(id);
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
  wxWindow* w = GetDlgItem(id);
  if (w == nullptr) return;
  const res::ControlTemplate* c = FindControl(template_, id);
  if (auto* edit = dynamic_cast<wxTextCtrl*>(w)) {
    edit->ChangeValue(ToLabel(text));
  } else if (auto* label = dynamic_cast<wxStaticText*>(w); label && (c->styles & res::kNoPrefix)) {
    label->SetLabelText(ToLabel(text));
    if (c->styles & res::kWordWrap) label->Wrap(label->GetSize().GetWidth());
  } else {
    w->SetLabel(ToLabel(text));
  }
}

std::string CDialog::GetDlgItemText(int id) const {
  wxWindow* w = GetDlgItem(id);
  if (w == nullptr) return {};
  const res::ControlTemplate* c = FindControl(template_, id);
  if (auto* edit = dynamic_cast<wxTextCtrl*>(w)) return FromLabel(edit->GetValue());
  if (auto* label = dynamic_cast<wxStaticText*>(w); label && (c->styles & res::kNoPrefix)) {
    return FromLabel(label->GetLabelText());
  }
  return FromLabel(w->GetLabel());
}

bool CDialog::IsDlgButtonChecked(int id) const {
  auto* box = dynamic_cast<wxCheckBox*>(GetDlgItem(id));
  return box != nullptr && box->GetValue();
}

void CDialog::CheckDlgButton(int id, bool checked) {
  if (auto* box = dynamic_cast<wxCheckBox*>(GetDlgItem(id))) box->SetValue(checked);
}

void CDialog::EnableDlgItem(int id, bool enable) {
  if (wxWindow* w = GetDlgItem(id)) w->Enable(enable);
}

void CDialog::ShowDlgItem(int id, bool show) {
  if (wxWindow* w = GetDlgItem(id)) w->Show(show);
}

void CDialog::OnOK() { EndDialog(res::IDOK); }

void CDialog::OnCancel() { EndDialog(res::IDCANCEL); }

void CDialog::ClickButton(wxWindow* button) {
  wxCommandEvent click(wxEVT_BUTTON, button->GetId());
  click.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(click);
}

void CDialog::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if ((key == WXK_MENU && !event.HasAnyModifiers()) ||
      (key == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT)) {
    // The keyboard's way to the window's context menu.
    wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, GetId(), wxDefaultPosition);
    menu.SetEventObject(this);
    GetEventHandler()->ProcessEvent(menu);
    return;
  }
  if (event.HasAnyModifiers()) {
    event.Skip();
    return;
  }
  if (key == WXK_ESCAPE) {
    OnCancel();
    return;
  }
  if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
    // A focused push button takes Enter; then the default button; else OK.
    wxWindow* focus = FindFocus();
    if (auto* button = dynamic_cast<wxButton*>(focus); button && button->GetParent() == this) {
      ClickButton(button);
      return;
    }
    for (const auto& c : template_.controls) {
      if (c.kind == ControlKind::PushButton && (c.styles & res::kDefaultButton)) {
        wxWindow* def = GetDlgItem(c.id);
        if (def != nullptr && def->IsEnabled() && def->IsShown()) {
          ClickButton(def);
          return;
        }
      }
    }
    OnOK();
    return;
  }
  event.Skip();
}

void CDialog::OnClose(wxCloseEvent&) { OnCancel(); }

}  // namespace zintrel
