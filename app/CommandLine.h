#pragma once

// The panel's command-line options: six options, each as the word alone or
// with one leading hyphen, matched without regard to the case of A to Z.

#include <cstdint>
#include <string>
#include <vector>

namespace zintrel {

struct LaunchSettings {
  bool autoStartOnly = false;
  bool autoStartAndHide = false;
  bool wrapMouse = true;
  bool makeNoSound = false;
  std::int32_t pitch = 15;
  std::int32_t interval = 80;
  friend bool operator==(const LaunchSettings&, const LaunchSettings&) = default;
};

// An information box to show before the panel opens.
struct InfoMessage {
  std::string text;
  std::string caption;
  friend bool operator==(const InfoMessage&, const InfoMessage&) = default;
};

struct CommandLineResult {
  LaunchSettings settings;
  std::vector<InfoMessage> messages;
};

// Parses the argument vector (element 0, the program, is never examined)
// into `settings`. The index moves by one token every time, so a value token
// is examined again as an option. Number values are read like sscanf's
// "%ld", clamped to the signed 32-bit range.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args,
                                   LaunchSettings settings = {});

// Compares like _stricmp == 0: equal when equal after folding A-Z to a-z.
bool EqualsIgnoringAsciiCase(const std::string& a, const char* b);
// Reads a number as sscanf("%ld") does; false when no digit was read.
bool ReadNumber(const std::string& token, std::int32_t& out);

}  // namespace zintrel
