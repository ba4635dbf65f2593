#include "PrivateXServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace zintrel::testing {

PrivateXServer::PrivateXServer(const std::string& screen,
                               const std::vector<std::string>& extraArgs) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string fdArg = std::to_string(fds[1]);
  std::vector<std::string> args = {"Xvfb", "-displayfd", fdArg, "-noreset", "-nolisten",
                                   "tcp",  "-screen",    "0",   screen};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp("Xvfb", argv.data());
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    return;
  }
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (poll(&p, 1, 20'000) == 1) {
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (!number.empty()) display_ = ":" + number;
}

PrivateXServer::~PrivateXServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

void PrivateXServer::Kill() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

int RunOnDisplay(const std::string& display, const std::string& command) {
  const std::string line = "DISPLAY=" + display + " " + command;
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<platform::Point> RootPointer(const std::string& display) {
  const std::string line = "DISPLAY=" + display + " xdotool getmouselocation";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(line.c_str(), "r"), pclose);
  if (!pipe) return std::nullopt;
  platform::Point p;
  if (std::fscanf(pipe.get(), "x:%d y:%d", &p.x, &p.y) != 2) return std::nullopt;
  return p;
}

}  // namespace zintrel::testing
