#include "app/EndSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace zintrel {

// The self-pipe way: the handler notes the signal and writes one byte to a
// pipe; a watcher thread reads it and hands the request on. (A sigwait thread
// would need the signals blocked in every thread the toolkit and the audio
// library start, which they do not promise.)
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr char kWakeToStop = 0;  // never a signal number

std::atomic<int> g_endSignal{0};
std::atomic<int> g_pipeWrite{-1};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

class Watcher {
 public:
  ~Watcher() { Stop(); }

  // False when no pipe could be made; the signals then keep their default
  // actions, which end the process too.
  bool Start() {
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) return true;
    if (readFd_ < 0) {
      // Made once and never closed, so that a handler can never write into a
      // descriptor number that has been reused for something else.
      int fds[2];
      if (pipe2(fds, O_CLOEXEC) != 0) return false;
      // The handler must never block on a full pipe.
      fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
      readFd_ = fds[0];
      writeFd_ = fds[1];
      g_pipeWrite.store(writeFd_);
    }
    stopped_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
  }

  void SetHandler(std::function<void()> requestEnd) {
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    requestEnd_ = std::move(requestEnd);
  }

  void Stop() {
    std::thread thread;
    {
      std::lock_guard lock(mutex_);
      if (!thread_.joinable()) return;
      stopped_ = true;
      thread = std::move(thread_);
    }
    WriteByte(writeFd_, kWakeToStop);
    thread.join();
    // The handlers stay installed and keep noting the signal; the bytes they
    // write now wait in the pipe for nobody.
    std::lock_guard lock(mutex_);
    requestEnd_ = nullptr;
  }

  static void WriteByte(int fd, char byte) {
    while (write(fd, &byte, 1) < 0 && errno == EINTR) {
    }
  }

 private:
  void Run() {
    for (;;) {
      char byte = 0;
      const ssize_t n = read(readFd_, &byte, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      std::lock_guard lock(mutex_);
      if (stopped_) return;
      if (byte != kWakeToStop) {
        // Nobody to tell yet: nothing has been started that needs an orderly
        // end, and main may be blocked (e.g. connecting to a display that
        // does not answer), so the process ends from here.
        if (!requestEnd_) std::_Exit(128 + g_endSignal.load());
        HandOn();
      }
    }
  }

  // Under mutex_: tells the handler once.
  void HandOn() {
    if (handedOn_) return;
    handedOn_ = true;
    requestEnd_();
  }

  std::mutex mutex_;  // held while the callback runs, so Stop() waits for it
  std::thread thread_;
  std::function<void()> requestEnd_;
  bool stopped_ = true;
  bool handedOn_ = false;  // and the handler has been told
  int readFd_ = -1;
  int writeFd_ = -1;
};

Watcher g_watcher;

extern "C" void OnEndSignal(int signal) {
  const int savedErrno = errno;
  int expected = 0;
  g_endSignal.compare_exchange_strong(expected, signal);
  const int fd = g_pipeWrite.load();
  if (fd >= 0) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = write(fd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

void InstallEndSignalHandlers() {
  if (!g_watcher.Start()) return;
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : kEndSignals) sigaddset(&action.sa_mask, signal);
  // SA_RESETHAND: a second signal of the same kind takes its default action.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (const int signal : kEndSignals) sigaction(signal, &action, nullptr);
}

void SetEndRequestHandler(std::function<void()> requestEnd) {
  g_watcher.SetHandler(std::move(requestEnd));
}

void InstallEndSignalHandlers(std::function<void()> requestEnd) {
  InstallEndSignalHandlers();
  SetEndRequestHandler(std::move(requestEnd));
}

void StopEndSignalWatcher() { g_watcher.Stop(); }

int EndSignalNumber() { return g_endSignal.load(); }

}  // namespace zintrel
