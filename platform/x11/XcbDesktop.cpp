#include "platform/x11/XcbDesktop.h"

namespace zintrel::platform {

struct XcbDesktop::Impl {};

XcbDesktop::XcbDesktop(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
XcbDesktop::~XcbDesktop() = default;

std::unique_ptr<XcbDesktop> XcbDesktop::Connect(const char*, std::string&) {
  return std::unique_ptr<XcbDesktop>(new XcbDesktop(std::make_unique<Impl>()));
}
bool XcbDesktop::GetCursorPos(Point&) { return false; }
bool XcbDesktop::SetCursorPos(std::int32_t, std::int32_t) { return false; }
ScreenSize XcbDesktop::GetPrimaryScreenSize() { return {}; }

}  // namespace zintrel::platform
