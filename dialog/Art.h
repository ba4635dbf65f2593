#pragma once

// The program's art as wx images (decoded from the PNGs compiled into the
// binary).

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

namespace zintrel {

// IDB_BANNER, 324 x 72.
wxBitmap BannerBitmap();
// IDR_MAINFRAME at one of the sizes of res::kIconSizes; an invalid bitmap
// for any other size.
wxBitmap ProgramIconBitmap(int size);
// IDB_BANNER at 324 x 72 logical pixels, with the art drawn for twice the
// scale: a window shown at scale 2 takes the sharp 648 x 144 rendering
// instead of doubling the pixels of the small one.
wxBitmapBundle BannerArt();
// IDR_MAINFRAME at `size` x `size` logical pixels, with the rendering at
// twice the size where there is one.
wxBitmapBundle ProgramIconArt(int size);
// Every size of IDR_MAINFRAME, for the window icons.
wxIconBundle ProgramIcons();

}  // namespace zintrel
