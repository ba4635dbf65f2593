#pragma once

// Catches what is written to stderr for a moment. libxcb writes the reason
// an X server gave for turning a connection away straight to stderr; Zintrel
// reports that reason in its own one-line error instead. The capture swaps
// file descriptor 2 for the whole process, so use it only while no other
// thread writes to stderr (the X connection is made once, at start-up).

#include <string>

namespace zintrel::platform {

class StderrCapture {
 public:
  StderrCapture();
  ~StderrCapture();  // puts stderr back if Finish was not called
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // Puts stderr back and returns what was written meanwhile, trailing
  // line breaks removed (at most a few kilobytes).
  std::string Finish();

 private:
  int saved_ = -1;
  int readEnd_ = -1;
};

}  // namespace zintrel::platform
