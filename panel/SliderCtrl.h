#pragma once

// A slider of a template dialog, bound after the dialog's window exists.
// Every change of the position - mouse, keyboard or a call here - is mirrored
// on the main thread into a SliderPosition, which worker threads read
// without touching the GUI toolkit.

#include <cstdint>

#include "engine/SliderPosition.h"

class wxSlider;
class wxWindow;
class wxCommandEvent;
class wxScrollEvent;

namespace zintrel {

class CSliderCtrl {
 public:
  CSliderCtrl() = default;
  ~CSliderCtrl();
  CSliderCtrl(const CSliderCtrl&) = delete;
  CSliderCtrl& operator=(const CSliderCtrl&) = delete;

  // Takes over the slider window `control` (which must be a wxSlider).
  void Attach(wxWindow* control);
  void SetRange(std::int32_t minimum, std::int32_t maximum);
  // Positions outside the range are clamped to the nearer end.
  void SetPos(std::int32_t pos);
  std::int32_t GetPos() const { return position_.GetPos(); }
  std::int32_t GetRangeMin() const;
  std::int32_t GetRangeMax() const;

  const SliderPosition& Position() const { return position_; }
  wxSlider* Control() const { return slider_; }

 private:
  void Mirror();
  void OnSlider(wxCommandEvent& event);
  void OnScroll(wxScrollEvent& event);

  wxSlider* slider_ = nullptr;
  SliderPosition position_;
};

}  // namespace zintrel
