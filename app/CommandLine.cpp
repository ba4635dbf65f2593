#include "app/CommandLine.h"

#include <cstddef>
#include <limits>

namespace zintrel {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsOption(const std::string& token, const char* word) {
  return EqualsIgnoringAsciiCase(token, word) ||
         (!token.empty() && token[0] == '-' && EqualsIgnoringAsciiCase(token.substr(1), word));
}

void ApplySwitch(const std::string& value, bool& setting) {
  if (value.empty()) return;
  if (value[0] == '0') setting = false;
  if (value[0] == '1') setting = true;
}

}  // namespace

bool EqualsIgnoringAsciiCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return i == a.size() && b[i] == '\0';
}

bool ReadNumber(const std::string& token, std::int32_t& out) {
  std::size_t i = 0;
  while (i < token.size() && IsCSpace(token[i])) ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  std::int64_t magnitude = 0;
  bool digits = false;
  for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
    digits = true;
    // Saturate just beyond the 32-bit range; the clamp below finishes it.
    if (magnitude <= kMax + 1) magnitude = magnitude * 10 + (token[i] - '0');
  }
  if (!digits) return false;
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > kMax) value = kMax;
  if (value < kMin) value = kMin;
  out = static_cast<std::int32_t>(value);
  return true;
}

CommandLineResult ParseCommandLine(const std::vector<std::string>& args, LaunchSettings s) {
  CommandLineResult result;
  const std::size_t count = args.size();
  for (std::size_t i = 1; i < count; ++i) {
    const std::string& token = args[i];
    const bool last = i + 1 >= count;
    if (IsOption(token, "AutoStartOnly")) {
      s.autoStartOnly = true;
    } else if (IsOption(token, "AutoStartAndHide")) {
      s.autoStartAndHide = true;
    } else if (IsOption(token, "MakeNoSound")) {
      if (last)
        s.makeNoSound = true;
      else
        ApplySwitch(args[i + 1], s.makeNoSound);
    } else if (IsOption(token, "WrapMouse")) {
      if (last)
        s.wrapMouse = true;
      else
        ApplySwitch(args[i + 1], s.wrapMouse);
    } else if (IsOption(token, "Pitch")) {
      if (last)
        result.messages.push_back({"No Pitch value has been specified!", "No Pitch!"});
      else
        ReadNumber(args[i + 1], s.pitch);
    } else if (IsOption(token, "Interval")) {
      if (last) {
        result.messages.push_back({"No Interval value has been specified!", "No Interval!"});
      } else {
        ReadNumber(args[i + 1], s.interval);
      }
    }
  }
  result.settings = s;
  return result;
}

}  // namespace zintrel
