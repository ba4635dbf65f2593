#pragma once

// xcb replies are malloc'ed; this frees them on every path.

#include <cstdlib>

namespace zintrel::platform {

template <typename T>
struct Reply {
  T* p;
  explicit Reply(T* reply) : p(reply) {}
  ~Reply() { std::free(p); }
  Reply(const Reply&) = delete;
  Reply& operator=(const Reply&) = delete;
  T* operator->() const { return p; }
  explicit operator bool() const { return p != nullptr; }
};

}  // namespace zintrel::platform
