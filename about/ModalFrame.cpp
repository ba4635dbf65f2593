#include "about/ModalFrame.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/window.h>

namespace zintrel {

void DrawModalFrame(wxWindow& box) {
  box.Bind(wxEVT_PAINT, [&box](wxPaintEvent&) {
    wxPaintDC dc(&box);
    const wxSize size = box.GetClientSize();
    const int right = size.x - 1;
    const int bottom = size.y - 1;
    // Outer line dark all round; inner line light at the top and left, shaded
    // at the bottom and right.
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(0, 0, size.x, size.y);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT)));
    dc.DrawLine(1, 1, right - 1, 1);
    dc.DrawLine(1, 1, 1, bottom - 1);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW)));
    dc.DrawLine(1, bottom - 1, right, bottom - 1);
    dc.DrawLine(right - 1, 1, right - 1, bottom);
  });
}

}  // namespace zintrel
