// The end-signal watcher in-process: the first end signal is handed on once,
// from the watcher thread; later ones are noted but not handed on again; and
// after StopEndSignalWatcher() the callback is never called.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "app/EndSignals.h"

namespace zintrel {
namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::atomic<int>& value, int at_least) {
  for (int i = 0; i < 500 && value.load() < at_least; ++i) std::this_thread::sleep_for(10ms);
  return value.load() >= at_least;
}

TEST(EndSignals, FirstSignalIsHandedOnOnceFromAnotherThread) {
  std::atomic<int> calls{0};
  std::atomic<bool> on_main_thread{false};
  const auto main_id = std::this_thread::get_id();
  InstallEndSignalHandlers([&] {
    on_main_thread = std::this_thread::get_id() == main_id;
    ++calls;
  });
  EXPECT_EQ(EndSignalNumber(), 0);

  std::raise(SIGHUP);
  ASSERT_TRUE(WaitFor(calls, 1));
  EXPECT_FALSE(on_main_thread.load()) << "the callback must run on the watcher thread";
  EXPECT_EQ(EndSignalNumber(), SIGHUP);

  // Another end signal while ending: noted, not handed on, the first one
  // keeps deciding the exit status. (SIGHUP itself now has its default
  // action back, which would end this test.)
  std::raise(SIGINT);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(calls.load(), 1);
  EXPECT_EQ(EndSignalNumber(), SIGHUP);

  StopEndSignalWatcher();
  StopEndSignalWatcher();  // twice is harmless
  std::raise(SIGTERM);     // the handler is still installed: noted, nobody called
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(calls.load(), 1);
  EXPECT_EQ(EndSignalNumber(), SIGHUP);
}

}  // namespace
}  // namespace zintrel
