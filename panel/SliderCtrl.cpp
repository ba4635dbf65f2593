#include "panel/SliderCtrl.h"

#include <wx/slider.h>

#include <algorithm>

namespace zintrel {

CSliderCtrl::~CSliderCtrl() {
  // The slider window may outlive this object (it belongs to the dialog).
  if (slider_ != nullptr) {
    slider_->Unbind(wxEVT_SLIDER, &CSliderCtrl::OnSlider, this);
    slider_->Unbind(wxEVT_SCROLL_THUMBTRACK, &CSliderCtrl::OnScroll, this);
    slider_->Unbind(wxEVT_SCROLL_CHANGED, &CSliderCtrl::OnScroll, this);
  }
}

void CSliderCtrl::Attach(wxWindow* control) {
  slider_ = dynamic_cast<wxSlider*>(control);
  if (slider_ == nullptr) return;
  slider_->Bind(wxEVT_SLIDER, &CSliderCtrl::OnSlider, this);
  slider_->Bind(wxEVT_SCROLL_THUMBTRACK, &CSliderCtrl::OnScroll, this);
  slider_->Bind(wxEVT_SCROLL_CHANGED, &CSliderCtrl::OnScroll, this);
  Mirror();
}

void CSliderCtrl::SetRange(std::int32_t minimum, std::int32_t maximum) {
  if (slider_ == nullptr) return;
  slider_->SetRange(minimum, maximum);  // clamps the position into the range
  Mirror();
}

void CSliderCtrl::SetPos(std::int32_t pos) {
  if (slider_ == nullptr) return;
  slider_->SetValue(std::clamp(pos, GetRangeMin(), GetRangeMax()));
  Mirror();
}

std::int32_t CSliderCtrl::GetRangeMin() const { return slider_ ? slider_->GetMin() : 0; }

std::int32_t CSliderCtrl::GetRangeMax() const { return slider_ ? slider_->GetMax() : 0; }

void CSliderCtrl::Mirror() {
  if (slider_ != nullptr) position_.SetPos(slider_->GetValue());
}

void CSliderCtrl::OnSlider(wxCommandEvent& event) {
  Mirror();
  event.Skip();
}

void CSliderCtrl::OnScroll(wxScrollEvent& event) {
  Mirror();
  event.Skip();
}

}  // namespace zintrel
