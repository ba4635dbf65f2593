#include "engine/SpeedWords.h"

#include <cstdio>

namespace zintrel {

const char* SpeedWord(std::uint32_t pixelsPerSecond) {
  // Tested from the top: 0 is halted, never crawling.
  if (pixelsPerSecond == 0) return kHaltedWord;
  if (pixelsPerSecond < 20) return kCrawlingWord;
  if (pixelsPerSecond < 100) return kWalkingWord;
  if (pixelsPerSecond < 1600) return kJoggingWord;
  if (pixelsPerSecond < 7000) return kRunningWord;
  if (pixelsPerSecond < 40000) return kBlazingWord;
  return kBurningWord;
}

void FormatSpeedValue(char* buffer, std::size_t size, std::uint32_t pixelsPerSecond) {
  std::snprintf(buffer, size, "%u pixels per second.", static_cast<unsigned>(pixelsPerSecond));
}

}  // namespace zintrel
