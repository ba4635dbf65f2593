#include "platform/x11/StderrCapture.h"

#include <fcntl.h>
#include <unistd.h>

namespace zintrel::platform {

StderrCapture::StderrCapture() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  // A full pipe must never block the writer.
  fcntl(fds[1], F_SETFL, O_NONBLOCK);
  fcntl(fds[0], F_SETFL, O_NONBLOCK);
  saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  if (saved_ < 0 || dup2(fds[1], STDERR_FILENO) < 0) {
    if (saved_ >= 0) close(saved_);
    saved_ = -1;
    close(fds[0]);
    close(fds[1]);
    return;
  }
  close(fds[1]);
  readEnd_ = fds[0];
}

StderrCapture::~StderrCapture() { Finish(); }

std::string StderrCapture::Finish() {
  std::string text;
  if (saved_ < 0) return text;
  dup2(saved_, STDERR_FILENO);
  close(saved_);
  saved_ = -1;
  char buf[1024];
  ssize_t n;
  while (text.size() < 4096 && (n = read(readEnd_, buf, sizeof buf)) > 0) {
    text.append(buf, static_cast<std::size_t>(n));
  }
  close(readEnd_);
  readEnd_ = -1;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace zintrel::platform
