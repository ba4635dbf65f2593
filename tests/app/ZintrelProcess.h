#pragma once

// The real zintrel binary as a child process, for tests of how it ends: it
// tells an exit status from a death by a signal, and keeps what the process
// wrote on stderr (in an unnamed temporary file).

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zintrel::testing {

struct ProcessEnd {
  bool exited = false;  // true: exit status `code`; false: killed by signal `code`
  int code = 0;
};
std::string Describe(const ProcessEnd& end);

class ZintrelProcess {
 public:
  // Starts $ZINTREL_BINARY with `args`, in this process's environment with
  // `env` ("NAME=value") put over it. Fails the test if it cannot.
  explicit ZintrelProcess(const std::vector<std::string>& args,
                          const std::vector<std::string>& env = {});
  ~ZintrelProcess();  // kills a process the test left running
  ZintrelProcess(const ZintrelProcess&) = delete;
  ZintrelProcess& operator=(const ZintrelProcess&) = delete;

  pid_t Pid() const { return pid_; }
  bool Running();
  // Waits up to `limit` for the process to end.
  std::optional<ProcessEnd> WaitEnd(std::chrono::milliseconds limit);
  // What the process wrote on stderr so far, without the lines of SDL's
  // disk audio driver ("CRITICAL: ..."), which are not Zintrel's.
  std::string OwnStderr() const;
  // True once the process catches `signal` (it has installed a handler).
  bool Catches(int signal) const;

 private:
  bool Reap(int options);
  pid_t pid_ = -1;
  int stderrFd_ = -1;
  std::optional<ProcessEnd> end_;
};

}  // namespace zintrel::testing
