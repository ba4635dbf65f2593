// libFuzzer target for the command-line parse. The input is an argument
// vector: tokens separated by NUL bytes (as they reach main, none can hold
// one). The parse is checked against a model of its rules written here a
// second time, plainly and without sharing any code with it: every setting
// and every message must agree, and the parse must never crash.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

using zintrel::CommandLineResult;
using zintrel::InfoMessage;
using zintrel::LaunchSettings;

enum class Kind { kAutoStartOnly, kAutoStartAndHide, kMakeNoSound, kWrapMouse, kPitch, kInterval };

// The option a token names, if any: the word alone or with one leading
// hyphen, letters A to Z in any case, the whole token.
bool ModelOption(const std::string& token, Kind& kind) {
  static const std::map<std::string, Kind> words = {
      {"autostartonly", Kind::kAutoStartOnly},
      {"autostartandhide", Kind::kAutoStartAndHide},
      {"makenosound", Kind::kMakeNoSound},
      {"wrapmouse", Kind::kWrapMouse},
      {"pitch", Kind::kPitch},
      {"interval", Kind::kInterval},
  };
  std::string lowered;
  for (char c : token) lowered += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
  for (const std::string& candidate :
       {lowered, lowered.rfind('-', 0) == 0 ? lowered.substr(1) : ""}) {
    const auto found = words.find(candidate);
    if (found != words.end()) {
      kind = found->second;
      return true;
    }
  }
  return false;
}

// "%ld" as strtoll reads it in base 10 (blanks, a sign, digits), brought
// into the 32-bit range.
void ModelNumber(const std::string& value, std::int32_t& setting) {
  const char* begin = value.c_str();
  char* end = nullptr;
  const long long read = std::strtoll(begin, &end, 10);
  if (end == begin) return;  // no digit
  if (read > INT32_MAX) {
    setting = INT32_MAX;
  } else if (read < INT32_MIN) {
    setting = INT32_MIN;
  } else {
    setting = static_cast<std::int32_t>(read);
  }
}

void ModelSwitch(const std::string& value, bool& setting) {
  if (value.rfind('0', 0) == 0) setting = false;
  if (value.rfind('1', 0) == 0) setting = true;
}

CommandLineResult Model(const std::vector<std::string>& args) {
  CommandLineResult r;
  LaunchSettings& s = r.settings;
  for (std::size_t i = 1; i < args.size(); ++i) {
    Kind kind;
    if (!ModelOption(args[i], kind)) continue;
    const bool hasValue = i + 1 < args.size();
    const std::string value = hasValue ? args[i + 1] : "";
    switch (kind) {
      case Kind::kAutoStartOnly:
        s.autoStartOnly = true;
        break;
      case Kind::kAutoStartAndHide:
        s.autoStartAndHide = true;
        break;
      case Kind::kMakeNoSound:
        if (hasValue)
          ModelSwitch(value, s.makeNoSound);
        else
          s.makeNoSound = true;
        break;
      case Kind::kWrapMouse:
        if (hasValue)
          ModelSwitch(value, s.wrapMouse);
        else
          s.wrapMouse = true;
        break;
      case Kind::kPitch:
        if (hasValue)
          ModelNumber(value, s.pitch);
        else
          r.messages.push_back({"No Pitch value has been specified!", "No Pitch!"});
        break;
      case Kind::kInterval:
        if (hasValue)
          ModelNumber(value, s.interval);
        else
          r.messages.push_back({"No Interval value has been specified!", "No Interval!"});
        break;
    }
  }
  return r;
}

[[noreturn]] void Mismatch(const char* field, long long parsed, long long model) {
  std::fprintf(stderr, "parse and model differ in %s: %lld, model %lld\n", field, parsed, model);
  std::abort();
}

void Compare(const char* field, long long parsed, long long model) {
  if (parsed != model) Mismatch(field, parsed, model);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args{"zintrel"};
  std::string token;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(token);
      token.clear();
    } else {
      token += static_cast<char>(data[i]);
    }
  }
  if (size > 0) args.push_back(token);

  const CommandLineResult parsed = zintrel::ParseCommandLine(args);
  const CommandLineResult model = Model(args);
  Compare("AutoStartOnly", parsed.settings.autoStartOnly, model.settings.autoStartOnly);
  Compare("AutoStartAndHide", parsed.settings.autoStartAndHide, model.settings.autoStartAndHide);
  Compare("WrapMouse", parsed.settings.wrapMouse, model.settings.wrapMouse);
  Compare("MakeNoSound", parsed.settings.makeNoSound, model.settings.makeNoSound);
  Compare("Pitch", parsed.settings.pitch, model.settings.pitch);
  Compare("Interval", parsed.settings.interval, model.settings.interval);
  const std::size_t messages = parsed.messages.size();
  Compare("the number of messages", static_cast<long long>(messages),
          static_cast<long long>(model.messages.size()));
  for (std::size_t i = 0; i < messages; ++i) {
    const InfoMessage& p = parsed.messages[i];
    const InfoMessage& m = model.messages[i];
    if (p.text != m.text || p.caption != m.caption) {
      std::fprintf(stderr, "message %zu: \"%s\" / \"%s\", model \"%s\" / \"%s\"\n", i,
                   p.text.c_str(), p.caption.c_str(), m.text.c_str(), m.caption.c_str());
      std::abort();
    }
  }
  return 0;
}
