#include "platform/desktop/Browser.h"

#include <wx/log.h>
#include <wx/utils.h>

namespace zintrel::platform {

bool LaunchDefaultBrowser(const std::string& url) {
  // wx reports a failed launch in an error box of its own; the caller
  // reports it instead, in Zintrel's words.
  wxLogNull quiet;
  return wxLaunchDefaultBrowser(wxString::FromUTF8(url.c_str()));
}

}  // namespace zintrel::platform
