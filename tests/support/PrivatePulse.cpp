#include "tests/support/PrivatePulse.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace zintrel::testing {
namespace {

// Runs argv with stdout into `out` (when given) and stderr into `err`.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& out, const std::string& err) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (!out.empty()) {
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
    if (fd >= 0) ::dup2(fd, 1);
  }
  const int efd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW, 0600);
  if (efd >= 0) ::dup2(efd, 2);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ::execvp(args[0], args.data());
  ::_exit(127);
}

int Wait(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

PrivatePulse::PrivatePulse() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zintrel-pulse-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    error_ = "mkdtemp failed";
    return;
  }
  dir_ = pattern;
  {
    std::ofstream conf(dir_ + "/server.pa");
    conf << "load-module module-null-sink sink_name=zsink rate=" << kRate << "\n"
         << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << dir_
         << "/native\n"
         << "set-default-sink zsink\n";
  }
  ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
  ::setenv("PULSE_SERVER", ("unix:" + dir_ + "/native").c_str(), 1);
  ready_ = Launch();
}

bool PrivatePulse::Launch() {
  // The server's own state (cookie, runtime files) stays in our directory.
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("HOME", dir_.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    const int fd = ::open((dir_ + "/server.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    const std::string conf = dir_ + "/server.pa";
    ::execlp("pulseaudio", "pulseaudio", "-n", "-F", conf.c_str(), "--exit-idle-time=-1",
             "--daemonize=no", "--disallow-exit", "--disable-shm=yes", "--log-level=error",
             static_cast<char*>(nullptr));
    ::_exit(127);
  }
  server_ = pid;
  // Ready once pactl gets an answer.
  for (int i = 0; i < 200; ++i) {
    int status = 0;
    if (::waitpid(server_, &status, WNOHANG) == server_) {
      server_ = -1;
      break;  // it died
    }
    const pid_t probe = Spawn({"pactl", "info"}, "/dev/null", dir_ + "/pactl.log");
    const int s = probe > 0 ? Wait(probe) : -1;
    if (probe > 0 && WIFEXITED(s) && WEXITSTATUS(s) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  error_ = "the sound server did not come up: " + ReadAll(dir_ + "/server.log");
  return false;
}

PrivatePulse::~PrivatePulse() {
  if (recorder_ > 0) {
    ::kill(recorder_, SIGKILL);
    Wait(recorder_);
  }
  Kill();
  ::unsetenv("PULSE_SERVER");
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

void PrivatePulse::Kill() {
  if (server_ <= 0) return;
  ::kill(server_, SIGKILL);
  Wait(server_);
  server_ = -1;
}

bool PrivatePulse::Restart() {
  Kill();
  // The dead server's socket is still there; the new one replaces it.
  std::error_code ignored;
  std::filesystem::remove(dir_ + "/native", ignored);
  ready_ = Launch();
  return ready_;
}

std::string PrivatePulse::SinkInputs() const {
  const std::string out = dir_ + "/sink-inputs.txt";
  const pid_t pid = Spawn({"pactl", "list", "sink-inputs"}, out, dir_ + "/pactl.log");
  if (pid < 0) return {};
  Wait(pid);
  return ReadAll(out);
}

int PrivatePulse::Streams() const {
  const std::string list = SinkInputs();
  int count = 0;
  for (std::size_t at = list.find("Sink Input #"); at != std::string::npos;
       at = list.find("Sink Input #", at + 1)) {
    ++count;
  }
  return count;
}

bool PrivatePulse::StartRecording() {
  recorder_ = Spawn(
      {"parec", "-d", "zsink.monitor", "--format=float32le", "--rate=" + std::to_string(kRate),
       "--channels=1", "--latency-msec=10", dir_ + "/recording.raw"},
      "", dir_ + "/parec.log");
  if (recorder_ <= 0) return false;
  // Once its stream is there, parec hears everything played from then on.
  for (int i = 0; i < 200; ++i) {
    const std::string outputs = dir_ + "/source-outputs.txt";
    const pid_t pid =
        Spawn({"pactl", "list", "short", "source-outputs"}, outputs, dir_ + "/pactl.log");
    Wait(pid);
    if (!ReadAll(outputs).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

AudioCapture PrivatePulse::StopRecording() {
  if (recorder_ > 0) {
    ::kill(recorder_, SIGINT);  // parec writes what it has and ends
    Wait(recorder_);
    recorder_ = -1;
  }
  return AudioCapture::Load(dir_ + "/recording.raw", kRate);
}

}  // namespace zintrel::testing
