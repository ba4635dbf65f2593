#pragma once

// While it lives, libasound's own error printing is switched off. SDL tries
// ALSA when no sound server runs, and on a machine without a sound card
// libasound prints a screenful of lines to stderr before SDL reports the one
// failure that matters; the tone service says that one itself.

namespace zintrel::platform {

class QuietAlsa {
 public:
  QuietAlsa();
  ~QuietAlsa();
  QuietAlsa(const QuietAlsa&) = delete;
  QuietAlsa& operator=(const QuietAlsa&) = delete;

 private:
  void* library_ = nullptr;  // our own reference to libasound, if present
};

}  // namespace zintrel::platform
