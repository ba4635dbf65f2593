#pragma once

#include <string>

namespace zintrel::platform {

// Opens `url` in the desktop's default browser; false when nothing launched.
bool LaunchDefaultBrowser(const std::string& url);

}  // namespace zintrel::platform
