#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/Platform.h"

namespace zintrel::platform {
namespace {
std::atomic<Platform*> g_current{nullptr};
}

Platform& Current() {
  Platform* p = g_current.load(std::memory_order_acquire);
  if (p == nullptr) {
    std::fputs("zintrel: internal error: no platform installed\n", stderr);
    std::abort();
  }
  return *p;
}

Platform* CurrentIfInstalled() { return g_current.load(std::memory_order_acquire); }

void Install(Platform& platform) { g_current.store(&platform, std::memory_order_release); }

}  // namespace zintrel::platform
