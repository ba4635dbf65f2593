#pragma once

// A directory of its own for a test's files, made by mkdtemp (mode 0700, a
// name nobody can guess), so nothing in it can be planted in advance.
// Removed with everything in it when the object goes.

#include <string>

namespace zintrel::testing {

class ScratchDir {
 public:
  ScratchDir();  // an unusable directory fails the current test; Path() is then empty
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  // The path of `name` inside; empty when the directory could not be made.
  std::string File(const std::string& name) const {
    return path_.empty() ? std::string() : path_ + "/" + name;
  }
  // Leaves the directory behind (to look at its files after the test).
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

}  // namespace zintrel::testing
