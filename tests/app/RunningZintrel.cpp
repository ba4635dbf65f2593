#include "tests/app/RunningZintrel.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <thread>

extern char** environ;

namespace zintrel::testing {

RunningZintrel::RunningZintrel(const std::vector<std::string>& args) {
  const char* binary = std::getenv("ZINTREL_BINARY");
  if (binary == nullptr || *binary == '\0') {
    ADD_FAILURE() << "ZINTREL_BINARY is not set";
    return;
  }
  std::vector<std::string> words{binary};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, binary, nullptr, nullptr, argv.data(), environ) != 0) {
    pid_ = -1;
    ADD_FAILURE() << "cannot start " << binary;
  }
}

RunningZintrel::~RunningZintrel() {
  if (Running()) {
    ::kill(pid_, SIGKILL);
    Reap(0);
  }
}

bool RunningZintrel::Reap(int options) {
  int status = 0;
  if (pid_ <= 0 || ::waitpid(pid_, &status, options) != pid_) return false;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  pid_ = -1;
  return true;
}

bool RunningZintrel::Running() { return pid_ > 0 && !Reap(WNOHANG); }

int RunningZintrel::Terminate(std::chrono::seconds limit) {
  if (!Running()) return status_;
  ::kill(pid_, SIGTERM);
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (Reap(WNOHANG)) return status_;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

}  // namespace zintrel::testing
