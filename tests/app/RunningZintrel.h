#pragma once

// The real zintrel binary as a child process of the test, sharing the test's
// environment (its display, and the audio file DiskAudioFile set up).

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace zintrel::testing {

class RunningZintrel {
 public:
  // Starts $ZINTREL_BINARY with `args`; fails the test if it cannot.
  explicit RunningZintrel(const std::vector<std::string>& args);
  // Kills a process the test left running.
  ~RunningZintrel();
  RunningZintrel(const RunningZintrel&) = delete;
  RunningZintrel& operator=(const RunningZintrel&) = delete;

  bool Running();
  // Sends SIGTERM and waits up to `limit` for the end; the exit status as the
  // shell gives it (128 + signal for a signal), or -1 on timeout.
  int Terminate(std::chrono::seconds limit = std::chrono::seconds(10));
  pid_t Pid() const { return pid_; }

 private:
  bool Reap(int options);
  pid_t pid_ = -1;
  int status_ = -1;
};

}  // namespace zintrel::testing
