#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "engine/SharedState.h"
#include "engine/WorkerRole.h"
#include "engine/WorkerStart.h"
#include "tests/engine/EngineFixture.h"

namespace zintrel::testing {
namespace {

using namespace std::chrono_literals;
using platform::FakePlatform;

constexpr WorkerRole kRoles[] = {WorkerRole::kSpeedMonitor, WorkerRole::kTravelSampler,
                                 WorkerRole::kTonePlayer, WorkerRole::kCursorWrapper};

// Waits (generously: CI machines are busy) until `done` holds.
bool WaitFor(const std::function<bool()>& done) {
  const auto until = std::chrono::steady_clock::now() + 20s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Real threads on the fake: a cursor that keeps moving, so the tone player
// has something to play, and fake sleeps and tones that also take a little
// real time, so that the threads interleave.
class WorkerStartTest : public EngineTest {
 protected:
  WorkerStartTest() {
    fake_.SetThreadMode(FakePlatform::ThreadMode::kReal);
    fake_.SetRealDelay(50us, 2ms);
    fake_.SetCursorSource([](std::uint32_t now) {
      return std::optional<platform::Point>({static_cast<std::int32_t>(now % 1000), 300});
    });
    ResetPeakActiveWorkers();
  }

  // What the panel's Start Only does, in its order.
  static void StartOnly(bool wrap) {
    g_bStopped.store(false);
    StartTravelSampler();
    StartTonePlayer();
    if (wrap) {
      g_bWrapStopped.store(false);
      StartCursorWrapper();
    }
  }
  static void Stop() { g_bStopped.store(true); }
};

// Start straight after Stop, and the wrap box unchecked and checked again,
// many times over: never two workers of one role in their loops at once,
// and after the last Start exactly one of each runs.
TEST_F(WorkerStartTest, NeverDoublesAWorker) {
  StartSpeedMonitor();
  for (int i = 0; i < 40; ++i) {
    StartOnly(true);
    if (i % 3 == 0) std::this_thread::sleep_for(1ms);
    g_bWrapStopped.store(true);
    g_bWrapStopped.store(false);
    StartCursorWrapper();
    Stop();
    if (i % 4 == 0) std::this_thread::sleep_for(3ms);
  }
  StartOnly(true);
  const std::size_t tonesBefore = fake_.Tones().size();

  EXPECT_TRUE(WaitFor([&] {
    for (WorkerRole role : kRoles) {
      if (ActiveWorkers(role) != 1) return false;
    }
    return fake_.Tones().size() > tonesBefore + 3;
  }));
  EndAllWorkers();

  for (WorkerRole role : kRoles) {
    EXPECT_LE(PeakActiveWorkers(role), 1) << "role " << static_cast<int>(role);
    EXPECT_EQ(ActiveWorkers(role), 0) << "role " << static_cast<int>(role);
  }
  EXPECT_EQ(fake_.MaxConcurrentBeeps(), 1);
}

// An old tone player busy in a tone when Stop and Start come returns after
// that tone, and the new one takes over: the old one does not carry on.
TEST_F(WorkerStartTest, TheNewWorkerTakesOverFromTheOld) {
  fake_.SetRealDelay(50us, 100ms);
  StartOnly(false);
  ASSERT_TRUE(WaitFor([&] { return !fake_.ToneThreads().empty(); }));
  const std::thread::id first = fake_.ToneThreads().front();
  Stop();
  StartOnly(false);

  ASSERT_TRUE(WaitFor([&] { return fake_.ToneThreads().back() != first; }));
  const std::size_t handover = fake_.ToneThreads().size() - 1;
  ASSERT_TRUE(WaitFor([&] { return fake_.ToneThreads().size() > handover + 3; }));
  const auto threads = fake_.ToneThreads();
  for (std::size_t i = handover; i < threads.size(); ++i) {
    EXPECT_EQ(threads[i], threads[handover]) << "tone " << i;
  }
  EXPECT_EQ(fake_.MaxConcurrentBeeps(), 1);
}

// At process end every worker returns and is joined, whatever it was doing,
// and nothing reaches the panel afterwards.
TEST_F(WorkerStartTest, EndAllWorkersJoinsEveryWorker) {
  fake_.SetRealDelay(50us, 100ms);
  StartSpeedMonitor();
  StartOnly(true);
  ASSERT_TRUE(WaitFor([&] {
    return !fake_.Tones().empty() && ActiveWorkers(WorkerRole::kCursorWrapper) == 1 &&
           !texts_.sent().empty();
  }));
  EndAllWorkers();
  for (WorkerRole role : kRoles) EXPECT_EQ(ActiveWorkers(role), 0);
  EXPECT_TRUE(g_bStopped.load());
  const std::size_t sent = texts_.sent().size();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(texts_.sent().size(), sent);
}

// Threads may begin in another order than they were started: the newest
// worker can take its role's slot before an older one. The older one then
// gives up on the slot instead of waiting for the newest to return.
TEST(WorkerSlotTest, AStaleWorkerGivesUpTheSlotToTheNewestThatCameFirst) {
  const WorkerTicket older = WorkerTicket::Issue(WorkerRole::kCursorWrapper);
  const WorkerTicket newer = WorkerTicket::Issue(WorkerRole::kCursorWrapper);
  WorkerSlot newest(newer);
  ASSERT_TRUE(newest.Held());
  std::thread late([&] {
    WorkerSlot slot(older);
    EXPECT_FALSE(slot.Held());
  });
  late.join();
  EXPECT_EQ(ActiveWorkers(WorkerRole::kCursorWrapper), 1);
}

// The newest worker waits while an older one still holds the slot, and takes
// it once that one has returned.
TEST(WorkerSlotTest, TheNewestWaitsForTheOlderToReturn) {
  const WorkerTicket older = WorkerTicket::Issue(WorkerRole::kTonePlayer);
  auto first = std::make_unique<WorkerSlot>(older);
  ASSERT_TRUE(first->Held());
  const WorkerTicket newer = WorkerTicket::Issue(WorkerRole::kTonePlayer);
  std::atomic<bool> held{false};
  std::thread next([&] {
    WorkerSlot slot(newer);
    held.store(slot.Held());
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(held.load());
  first.reset();
  next.join();
  EXPECT_TRUE(held.load());
}

}  // namespace
}  // namespace zintrel::testing
