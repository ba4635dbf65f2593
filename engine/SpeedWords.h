#pragma once

// The texts of the speed read-out: a speed word (ending with a space) and,
// just to its right on the panel, the value line.

#include <cstddef>
#include <cstdint>

namespace zintrel {

inline constexpr const char kHaltedWord[] = "Your mouse is currently halted at ";
inline constexpr const char kCrawlingWord[] = "Your mouse is currently crawling at ";
inline constexpr const char kWalkingWord[] = "Your mouse is currently walking at ";
inline constexpr const char kJoggingWord[] = "Your mouse is currently jogging at ";
inline constexpr const char kRunningWord[] = "Your mouse is currently running at ";
inline constexpr const char kBlazingWord[] = "Your mouse is blazingly travelling at ";
inline constexpr const char kBurningWord[] = "Your mouse is burning up at ";

// The word for `pixelsPerSecond`; one of the constants above.
const char* SpeedWord(std::uint32_t pixelsPerSecond);

// Writes "<speed> pixels per second." into `buffer` (always terminated).
void FormatSpeedValue(char* buffer, std::size_t size, std::uint32_t pixelsPerSecond);

}  // namespace zintrel
