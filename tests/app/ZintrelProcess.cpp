#include "tests/app/ZintrelProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace zintrel::testing {

std::string Describe(const ProcessEnd& end) {
  return end.exited ? "exit status " + std::to_string(end.code)
                    : "killed by signal " + std::to_string(end.code);
}

ZintrelProcess::ZintrelProcess(const std::vector<std::string>& args,
                               const std::vector<std::string>& env) {
  const char* binary = std::getenv("ZINTREL_BINARY");
  if (binary == nullptr || *binary == '\0') {
    ADD_FAILURE() << "ZINTREL_BINARY is not set";
    return;
  }
  const char* tmpdir = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmpdir != nullptr && *tmpdir ? tmpdir : "/tmp") + "/zintrel-stderr-XXXXXX";
  stderrFd_ = mkstemp(pattern.data());
  if (stderrFd_ < 0) {
    ADD_FAILURE() << "mkstemp failed";
    return;
  }
  unlink(pattern.c_str());  // the open descriptor is all we need

  std::vector<std::string> words{binary};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& over : env) replaced = replaced || over.rfind(name + "=", 0) == 0;
    if (!replaced) environment.push_back(entry);
  }
  environment.insert(environment.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, stderrFd_, STDERR_FILENO);
  if (posix_spawn(&pid_, binary, &actions, nullptr, argv.data(), envp.data()) != 0) {
    pid_ = -1;
    ADD_FAILURE() << "cannot start " << binary;
  }
  posix_spawn_file_actions_destroy(&actions);
}

ZintrelProcess::~ZintrelProcess() {
  if (Running()) {
    ::kill(pid_, SIGKILL);
    Reap(0);
  }
  if (stderrFd_ >= 0) close(stderrFd_);
}

bool ZintrelProcess::Reap(int options) {
  int status = 0;
  if (pid_ <= 0 || ::waitpid(pid_, &status, options) != pid_) return false;
  end_ = WIFEXITED(status) ? ProcessEnd{true, WEXITSTATUS(status)}
                           : ProcessEnd{false, WTERMSIG(status)};
  pid_ = -1;
  return true;
}

bool ZintrelProcess::Running() { return pid_ > 0 && !Reap(WNOHANG); }

std::optional<ProcessEnd> ZintrelProcess::WaitEnd(std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (Running()) {
    if (std::chrono::steady_clock::now() >= until) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return end_;
}

std::string ZintrelProcess::OwnStderr() const {
  std::string all;
  char buffer[4096];
  for (off_t at = 0;;) {
    const ssize_t n = pread(stderrFd_, buffer, sizeof buffer, at);
    if (n <= 0) break;
    all.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
  std::istringstream lines(all);
  std::string own;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("CRITICAL: ", 0) != 0) own += line + "\n";
  }
  return own;
}

bool ZintrelProcess::Catches(int signal) const {
  if (pid_ <= 0) return false;
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) {
      const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
      return (mask >> (signal - 1)) & 1u;
    }
  }
  return false;
}

}  // namespace zintrel::testing
