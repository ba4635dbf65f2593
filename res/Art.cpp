#include "res/Art.h"

namespace zintrel::res {

extern const unsigned char kBannerPng[];
extern const std::size_t kBannerPng_size;
extern const unsigned char kBanner2xPng[];
extern const std::size_t kBanner2xPng_size;
#define ZINTREL_ICON(n)                       \
  extern const unsigned char kIcon##n##Png[]; \
  extern const std::size_t kIcon##n##Png_size;
ZINTREL_ICON(16)
ZINTREL_ICON(32)
ZINTREL_ICON(48)
ZINTREL_ICON(64)
ZINTREL_ICON(128)
ZINTREL_ICON(256)
#undef ZINTREL_ICON

std::span<const unsigned char> BannerPng() { return {kBannerPng, kBannerPng_size}; }

std::span<const unsigned char> Banner2xPng() { return {kBanner2xPng, kBanner2xPng_size}; }

std::span<const unsigned char> IconPng(int size) {
  switch (size) {
    case 16:
      return {kIcon16Png, kIcon16Png_size};
    case 32:
      return {kIcon32Png, kIcon32Png_size};
    case 48:
      return {kIcon48Png, kIcon48Png_size};
    case 64:
      return {kIcon64Png, kIcon64Png_size};
    case 128:
      return {kIcon128Png, kIcon128Png_size};
    case 256:
      return {kIcon256Png, kIcon256Png_size};
    default:
      return {};
  }
}

}  // namespace zintrel::res
