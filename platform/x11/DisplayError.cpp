#include "platform/x11/DisplayError.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zintrel::platform {
namespace {

// Connects to a local server's socket (the abstract one, then the file) and
// hangs up again. 0 when something listens there, else connect()'s errno.
int ProbeLocalServer(int displayNumber) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  char path[sizeof addr.sun_path - 1];
  std::snprintf(path, sizeof path, "/tmp/.X11-unix/X%d", displayNumber);
  int lastErrno = ENOENT;
  for (const bool abstract : {true, false}) {
    std::memset(addr.sun_path, 0, sizeof addr.sun_path);
    std::memcpy(addr.sun_path + (abstract ? 1 : 0), path, std::strlen(path));
    const socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                                                 (abstract ? 1 : 0) + std::strlen(path));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    const int rc = connect(fd, reinterpret_cast<const sockaddr*>(&addr), len);
    lastErrno = rc == 0 ? 0 : errno;
    close(fd);
    if (rc == 0) return 0;
  }
  return lastErrno;
}

std::string SocketReason(int err) {
  switch (err) {
    case ENOENT:
      return "no X server is running there";
    case ECONNREFUSED:
      return "connection refused";
    case EACCES:
    case EPERM:
      return "permission denied";
    default:
      return std::strerror(err);
  }
}

std::string ConnectionReason(const char* display, int savedErrno) {
  char* host = nullptr;
  int number = 0;
  if (xcb_parse_display(display, &host, &number, nullptr) == 0) {
    return "connection refused";
  }
  const bool local = host == nullptr || *host == '\0' || std::strcmp(host, "unix") == 0;
  std::free(host);
  if (local) {
    const int err = ProbeLocalServer(number);
    return err == 0 ? "connection refused by the X server" : SocketReason(err);
  }
  // A remote server: errno from the failed connect is all we have.
  return savedErrno != 0 ? SocketReason(savedErrno) : "connection refused";
}

std::string Reason(const char* display, int xcbError, int savedErrno) {
  switch (xcbError) {
    case XCB_CONN_CLOSED_PARSE_ERR:
      return "not a valid display name";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
      return "no such screen";
    case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
      return "out of memory";
    case XCB_CONN_CLOSED_EXT_NOTSUPPORTED:
      return "a required extension is missing";
    case XCB_CONN_ERROR:
      return ConnectionReason(display, savedErrno);
    default:
      return "connection failed (xcb error " + std::to_string(xcbError) + ")";
  }
}

}  // namespace

std::string DescribeDisplayError(const char* display, int xcbError, int savedErrno,
                                 const std::string& serverSaid) {
  if (display == nullptr || *display == '\0') return "no X display: DISPLAY is not set";
  std::string text = "cannot open X display '" + std::string(display) +
                     "': " + Reason(display, xcbError, savedErrno);
  if (!serverSaid.empty()) {
    // Kept on the one line.
    std::string said = serverSaid;
    for (char& c : said) {
      if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    text += " (" + said + ")";
  }
  return text;
}

std::string DescribeDisplayLoss(const char* display) {
  const std::string name = display != nullptr && *display != '\0' ? display : "(unnamed)";
  return "lost the connection to X display '" + name + "': the X server has gone away";
}

}  // namespace zintrel::platform
