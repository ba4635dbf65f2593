#include "engine/WorkerRole.h"

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "engine/SharedState.h"

namespace zintrel {
namespace {

struct RoleState {
  std::atomic<std::uint64_t> generation{0};
  std::mutex slot;
  std::atomic<int> active{0};
  std::atomic<int> peak{0};
};

std::array<RoleState, kWorkerRoleCount>& Roles() {
  static std::array<RoleState, kWorkerRoleCount> roles;
  return roles;
}

RoleState& StateOf(WorkerRole role) { return Roles()[static_cast<int>(role)]; }

}  // namespace

WorkerTicket WorkerTicket::Issue(WorkerRole role) {
  const WorkerTicket ticket(role, StateOf(role).generation.fetch_add(1) + 1);
  // A waiting worker of the role must see that its ticket went stale.
  SignalWorkers();
  return ticket;
}

bool WorkerTicket::Valid() const {
  return !g_bProcessEnding.load() && StateOf(role_).generation.load() == generation_;
}

WorkerSlot::WorkerSlot(const WorkerTicket& ticket)
    : role_(ticket.role()), lock_(StateOf(role_).slot, std::defer_lock) {
  // Polled rather than a timed wait: the wait lasts one pass of the old
  // worker at most, and ThreadSanitizer cannot follow timed mutex locks.
  while (!lock_.try_lock()) {
    if (!ticket.Valid()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  RoleState& state = StateOf(role_);
  const int now = state.active.fetch_add(1) + 1;
  int peak = state.peak.load();
  while (now > peak && !state.peak.compare_exchange_weak(peak, now)) {
  }
}

WorkerSlot::~WorkerSlot() {
  if (Held()) StateOf(role_).active.fetch_sub(1);
}

int ActiveWorkers(WorkerRole role) { return StateOf(role).active.load(); }

int PeakActiveWorkers(WorkerRole role) { return StateOf(role).peak.load(); }

void ResetPeakActiveWorkers() {
  for (RoleState& state : Roles()) state.peak.store(state.active.load());
}

}  // namespace zintrel
