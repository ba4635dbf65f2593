#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace zintrel {
namespace {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> args{"zintrel"};
  std::istringstream in(line);
  for (std::string token; in >> token;) args.push_back(token);
  return args;
}

struct ParseCase {
  const char* line;
  LaunchSettings expected;
  const char* messageCaption;  // nullptr: no message
};

LaunchSettings With(void (*edit)(LaunchSettings&)) {
  LaunchSettings s;
  edit(s);
  return s;
}

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

const ParseCase kCases[] = {
    {"", {}, nullptr},
    // Both forms, any case of A-Z.
    {"-Pitch 40", With([](auto& s) { s.pitch = 40; }), nullptr},
    {"pitch 40", With([](auto& s) { s.pitch = 40; }), nullptr},
    {"PITCH 40", With([](auto& s) { s.pitch = 40; }), nullptr},
    {"-PiTcH 40", With([](auto& s) { s.pitch = 40; }), nullptr},
    {"-interval 50", With([](auto& s) { s.interval = 50; }), nullptr},
    {"autostartonly", With([](auto& s) { s.autoStartOnly = true; }), nullptr},
    {"AutoStartAndHide", With([](auto& s) { s.autoStartAndHide = true; }), nullptr},
    // Not options.
    {"/Pitch 40", {}, nullptr},
    {"--Pitch 40", {}, nullptr},
    {"-Pitch=40", {}, nullptr},
    {"-P 40", {}, nullptr},
    {"Pitchx 40", {}, nullptr},
    {"stray 40 words", {}, nullptr},
    // A number option as the last token.
    {"-Pitch", {}, "No Pitch!"},
    {"-Interval", {}, "No Interval!"},
    {"-Interval 50 -Pitch", With([](auto& s) { s.interval = 50; }), "No Pitch!"},
    {"-Pitch 30 -Pitch", With([](auto& s) { s.pitch = 30; }), "No Pitch!"},
    // A value that is itself an option.
    {"-Pitch -Interval 50", With([](auto& s) { s.interval = 50; }), nullptr},
    {"-Pitch -Pitch", {}, "No Pitch!"},
    {"-MakeNoSound -AutoStartOnly", With([](auto& s) { s.autoStartOnly = true; }), nullptr},
    // Numbers as sscanf "%ld" reads them.
    {"-Pitch abc", {}, nullptr},
    {"-Pitch 40abc", With([](auto& s) { s.pitch = 40; }), nullptr},
    {"-Pitch +7", With([](auto& s) { s.pitch = 7; }), nullptr},
    {"-Pitch 0x20", With([](auto& s) { s.pitch = 0; }), nullptr},
    {"-Pitch -5", With([](auto& s) { s.pitch = -5; }), nullptr},
    {"-Pitch 999", With([](auto& s) { s.pitch = 999; }), nullptr},
    {"-Pitch - ", {}, nullptr},
    {"-Pitch +", {}, nullptr},
    {"-Interval 2147483647", With([](auto& s) { s.interval = kMax; }), nullptr},
    {"-Interval 2147483648", With([](auto& s) { s.interval = kMax; }), nullptr},
    {"-Interval 99999999999999999999999", With([](auto& s) { s.interval = kMax; }), nullptr},
    {"-Interval -2147483648", With([](auto& s) { s.interval = kMin; }), nullptr},
    {"-Interval -99999999999999999999999", With([](auto& s) { s.interval = kMin; }), nullptr},
    // Switch values by their first character.
    {"-WrapMouse 0", With([](auto& s) { s.wrapMouse = false; }), nullptr},
    {"-WrapMouse 1", {}, nullptr},
    {"-WrapMouse 0 -WrapMouse 1", {}, nullptr},
    {"-WrapMouse 01", With([](auto& s) { s.wrapMouse = false; }), nullptr},
    {"-WrapMouse 0 -WrapMouse 10", {}, nullptr},
    {"-WrapMouse 0 -WrapMouse yes", With([](auto& s) { s.wrapMouse = false; }), nullptr},
    {"-WrapMouse 0 -WrapMouse", {}, nullptr},
    {"-MakeNoSound", With([](auto& s) { s.makeNoSound = true; }), nullptr},
    {"-MakeNoSound 1 -MakeNoSound 0", {}, nullptr},
    {"-MakeNoSound true", {}, nullptr},
    // Later options overwrite earlier ones; stray tokens are ignored.
    {"-Pitch 10 -Pitch 20", With([](auto& s) { s.pitch = 20; }), nullptr},
    {"-Pitch 12 34", With([](auto& s) { s.pitch = 12; }), nullptr},
    {"-AutoStartOnly -AutoStartAndHide", With([](auto& s) {
       s.autoStartOnly = true;
       s.autoStartAndHide = true;
     }),
     nullptr},
};

class ParseTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, SettingsAndMessages) {
  const ParseCase& c = GetParam();
  const CommandLineResult result = ParseCommandLine(Split(c.line));
  const LaunchSettings& got = result.settings;
  const LaunchSettings& want = c.expected;
  EXPECT_EQ(got.autoStartOnly, want.autoStartOnly);
  EXPECT_EQ(got.autoStartAndHide, want.autoStartAndHide);
  EXPECT_EQ(got.wrapMouse, want.wrapMouse);
  EXPECT_EQ(got.makeNoSound, want.makeNoSound);
  EXPECT_EQ(got.pitch, want.pitch);
  EXPECT_EQ(got.interval, want.interval);
  if (c.messageCaption == nullptr) {
    EXPECT_TRUE(result.messages.empty());
  } else {
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].caption, c.messageCaption);
  }
}

INSTANTIATE_TEST_SUITE_P(CommandLine, ParseTable, testing::ValuesIn(kCases));

TEST(CommandLine, MessageTextsAreExact) {
  auto pitch = ParseCommandLine(Split("-Pitch"));
  ASSERT_EQ(pitch.messages.size(), 1u);
  EXPECT_EQ(pitch.messages[0], (InfoMessage{"No Pitch value has been specified!", "No Pitch!"}));
  auto interval = ParseCommandLine(Split("-Interval"));
  ASSERT_EQ(interval.messages.size(), 1u);
  EXPECT_EQ(interval.messages[0],
            (InfoMessage{"No Interval value has been specified!", "No Interval!"}));
}

TEST(CommandLine, EarlierSettingsAreKept) {
  // The panel's own values go in; a number option as the last token keeps them.
  LaunchSettings start;
  start.pitch = 33;
  start.wrapMouse = false;
  const auto result = ParseCommandLine(Split("-Pitch"), start);
  EXPECT_EQ(result.settings.pitch, 33);
  EXPECT_FALSE(result.settings.wrapMouse);
}

TEST(CommandLine, TokensWithBlanksAndEmptyValues) {
  // Tokens as the shell passes them, blanks included.
  EXPECT_EQ(ParseCommandLine({"z", "-Pitch", "  \t 42 "}).settings.pitch, 42);
  EXPECT_EQ(ParseCommandLine({"z", "-Pitch", "4 2"}).settings.pitch, 4);
  EXPECT_TRUE(ParseCommandLine({"z", "-WrapMouse", ""}).settings.wrapMouse);
  EXPECT_EQ(ParseCommandLine({"z", "-Pitch", ""}).settings.pitch, 15);
  EXPECT_EQ(ParseCommandLine({"z", "-Pitch ", "40"}).settings.pitch, 15);
  // Element 0 is never examined.
  EXPECT_EQ(ParseCommandLine({"-Pitch"}).messages.size(), 0u);
  EXPECT_EQ(ParseCommandLine({}).settings, LaunchSettings{});
}

TEST(CommandLine, BytesThatAreNoTextFollowTheSameRules) {
  // Bytes that are not UTF-8: such tokens match no option and
  // hold no digits, so they are ignored; digits before them still count.
  const auto result = ParseCommandLine({"z", "\xff\xfe", "-AutoStartOnly\xff", "-Pitch",
                                        "\xfe"
                                        "40",
                                        "-Interval", "50\xe9", "-WrapMouse", "0\xc3", "-\xc3\x28"});
  LaunchSettings want;
  want.interval = 50;
  want.wrapMouse = false;
  EXPECT_EQ(result.settings, want);
  EXPECT_TRUE(result.messages.empty());
}

TEST(CommandLine, OnlyAsciiLettersFoldCase) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("pItCh", "Pitch"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Pitc", "Pitch"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Pitch\xC3\xA9", "Pitch"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("@", "`"));  // 0x40 and 0x60 are no letters
}

}  // namespace
}  // namespace zintrel
