#include "dialog/Art.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include "res/Art.h"

namespace zintrel {

namespace {

wxBitmap Decode(std::span<const unsigned char> png) {
  if (png.empty()) return wxBitmap();
  static const bool handlers = [] {
    wxInitAllImageHandlers();
    return true;
  }();
  (void)handlers;
  wxMemoryInputStream stream(png.data(), png.size());
  wxImage image(stream, wxBITMAP_TYPE_PNG);
  return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

}  // namespace

wxBitmap BannerBitmap() { return Decode(res::BannerPng()); }

wxBitmap ProgramIconBitmap(int size) { return Decode(res::IconPng(size)); }

namespace {

wxBitmapBundle WithDouble(const wxBitmap& normal, const wxBitmap& twice) {
  if (!normal.IsOk()) return {};
  if (!twice.IsOk()) return wxBitmapBundle::FromBitmap(normal);
  return wxBitmapBundle::FromBitmaps(normal, twice);
}

}  // namespace

wxBitmapBundle BannerArt() { return WithDouble(BannerBitmap(), Decode(res::Banner2xPng())); }

wxBitmapBundle ProgramIconArt(int size) {
  return WithDouble(ProgramIconBitmap(size), ProgramIconBitmap(2 * size));
}

wxIconBundle ProgramIcons() {
  wxIconBundle bundle;
  for (int size : res::kIconSizes) {
    const wxBitmap bitmap = ProgramIconBitmap(size);
    if (!bitmap.IsOk()) continue;
    wxIcon icon;
    icon.CopyFromBitmap(bitmap);
    bundle.AddIcon(icon);
  }
  return bundle;
}

}  // namespace zintrel
