#pragma once

// The program's art as PNG bytes compiled into the binary (rendered from
// res/banner.svg and res/icon.svg at build time).

#include <cstddef>
#include <span>

namespace zintrel::res {

// IDB_BANNER: 324 x 72.
std::span<const unsigned char> BannerPng();
// IDB_BANNER drawn for twice the scale: 648 x 144.
std::span<const unsigned char> Banner2xPng();
// IDR_MAINFRAME at `size` x `size`; sizes 16, 32, 48, 64, 128 and 256 exist,
// any other gives an empty span.
std::span<const unsigned char> IconPng(int size);
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

}  // namespace zintrel::res
