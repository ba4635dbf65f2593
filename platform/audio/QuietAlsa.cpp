#include "platform/audio/QuietAlsa.h"

#include <dlfcn.h>

namespace zintrel::platform {
namespace {

// libasound's snd_lib_error_handler_t.
using ErrorHandler = void (*)(const char* file, int line, const char* function, int err,
                              const char* fmt, ...);
using SetErrorHandler = int (*)(ErrorHandler handler);

void Ignore(const char*, int, const char*, int, const char*, ...) {}

// SDL loads libasound at run time, and so do we: a build without ALSA
// headers works, and a machine without libasound skips this.
void SetHandler(void* library, ErrorHandler handler) {
  if (!library) return;
  auto set = reinterpret_cast<SetErrorHandler>(dlsym(library, "snd_lib_error_set_handler"));
  if (set) set(handler);
}

}  // namespace

QuietAlsa::QuietAlsa() : library_(dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL)) {
  SetHandler(library_, &Ignore);
}

QuietAlsa::~QuietAlsa() {
  if (!library_) return;
  SetHandler(library_, nullptr);  // libasound's default printing again
  dlclose(library_);
}

}  // namespace zintrel::platform
