#pragma once

// One-line reasons for a failed X connection, in words a user can act on.

#include <string>

namespace zintrel::platform {

// `display` is the name that was tried (nullptr or empty: none was given and
// $DISPLAY was unset), `xcbError` the value of xcb_connection_has_error and
// `savedErrno` the errno left by the failed connect, `serverSaid` the reason
// the server gave when it turned us away (may be empty). For a local display
// the server's socket is probed again to tell "nobody there" from "turned
// away".
std::string DescribeDisplayError(const char* display, int xcbError, int savedErrno,
                                 const std::string& serverSaid = {});

// The reason given when the X display goes away while Zintrel runs (the
// server ended or crashed, or the connection broke). `display` is the
// display's name as the connection knows it.
std::string DescribeDisplayLoss(const char* display);

}  // namespace zintrel::platform
