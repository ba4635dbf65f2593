#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zintrel::testing {

ScratchDir::ScratchDir() {
  std::error_code error;
  const auto tmp = std::filesystem::temp_directory_path(error);
  std::string pattern = ((error ? std::filesystem::path("/tmp") : tmp) / "zintrel-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "mkdtemp " << pattern << ": " << std::strerror(errno);
    return;
  }
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  if (path_.empty() || keep_) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace zintrel::testing
