#pragma once

#include <string>

namespace zintrel::res {

// The string resource `id`; empty when there is none.
std::string LoadResourceString(int id);

}  // namespace zintrel::res
