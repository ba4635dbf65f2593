#pragma once

// Keeping each worker role single. Every start of a worker issues a ticket
// for its role, which makes every earlier ticket of that role stale: an old
// worker returns at its next flag test once its ticket is stale. And a
// worker holds its role's slot for its whole run, so a new one begins its
// first pass only after the old one has returned; a worker whose ticket goes
// stale while it waits for the slot gives up (threads may start out of
// order, so the newest can take the slot before an older one). A Start that follows a
// Stop (or a wrap box checked again) before the old workers have returned
// therefore never leaves two workers of one role running at once, and the
// main thread never waits.

#include <cstdint>
#include <mutex>

namespace zintrel {

enum class WorkerRole : int { kSpeedMonitor, kTravelSampler, kTonePlayer, kCursorWrapper };
inline constexpr int kWorkerRoleCount = 4;

class WorkerTicket {
 public:
  // A new ticket for `role`; every earlier ticket of the role becomes stale.
  static WorkerTicket Issue(WorkerRole role);

  WorkerRole role() const { return role_; }
  // False once a newer ticket of the role was issued or the process is
  // ending (g_bProcessEnding).
  bool Valid() const;

 private:
  WorkerTicket(WorkerRole role, std::uint64_t generation) : role_(role), generation_(generation) {}
  WorkerRole role_;
  std::uint64_t generation_;
};

// Held by a running worker: waits until the role's previous worker has
// returned, or until `ticket` is stale (then Held() is false and the worker
// returns at once), and counts the worker as active until it is destroyed.
class WorkerSlot {
 public:
  explicit WorkerSlot(const WorkerTicket& ticket);
  ~WorkerSlot();
  WorkerSlot(const WorkerSlot&) = delete;
  WorkerSlot& operator=(const WorkerSlot&) = delete;
  bool Held() const { return lock_.owns_lock(); }

 private:
  WorkerRole role_;
  std::unique_lock<std::mutex> lock_;
};

// Workers of `role` holding their slot now, and the most ever seen at once
// since the last reset. For tests and diagnostics.
int ActiveWorkers(WorkerRole role);
int PeakActiveWorkers(WorkerRole role);
void ResetPeakActiveWorkers();

}  // namespace zintrel
