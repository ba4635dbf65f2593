#include "res/Strings.h"

#include "res/ResourceIds.h"

namespace zintrel::res {

std::string LoadResourceString(int id) {
  switch (id) {
    case IDS_ABOUTBOX:
      return "&About Zintrel...";
    default:
      return {};
  }
}

}  // namespace zintrel::res
