#include "platform/desktop/Browser.h"

#include <wx/utils.h>

namespace zintrel::platform {

bool LaunchDefaultBrowser(const std::string& url) {
  return wxLaunchDefaultBrowser(wxString::FromUTF8(url.c_str()));
}

}  // namespace zintrel::platform
