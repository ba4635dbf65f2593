#pragma once

// The program's art as wx images (decoded from the PNGs compiled into the
// binary).

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace zintrel {

// IDB_BANNER, 324 x 72.
wxBitmap BannerBitmap();
// IDR_MAINFRAME at one of the sizes of res::kIconSizes; an invalid bitmap
// for any other size.
wxBitmap ProgramIconBitmap(int size);
// Every size of IDR_MAINFRAME, for the window icons.
wxIconBundle ProgramIcons();

}  // namespace zintrel
