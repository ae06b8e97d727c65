#include "quorhost/faults.h"

namespace quorhost {

void Faults::Arm(FaultKind kind, int64_t n, bool persistent) {
  if (kind != FaultKind::Write && n < 1) n = 1;  // there is no call before the first
  plans_[Index(kind)] = Plan{true, persistent, n, 0, false};
}

void Faults::ArmCommand(CommandFailure how, int64_t n, bool persistent) {
  command_failure_ = how;
  Arm(FaultKind::ModelingCommand, n, persistent);
}

void Faults::Disarm(FaultKind kind) { plans_[Index(kind)] = Plan{}; }

void Faults::DisarmAll() {
  for (Plan& p : plans_) p = Plan{};
}

void Faults::ResetCounts() {
  calls_.fill(0);
  written_bytes_ = 0;
}

bool Faults::Hit(FaultKind kind) {
  ++calls_[Index(kind)];
  Plan& p = plans_[Index(kind)];
  if (!p.armed) return false;
  ++p.seen;
  if (p.seen < p.n) return false;
  if (p.seen == p.n || p.persistent) {
    p.fired = true;
    return true;
  }
  return false;
}

int64_t Faults::WriteAllowance(int64_t count) {
  ++calls_[Index(FaultKind::Write)];
  written_bytes_ += count;
  Plan& p = plans_[Index(FaultKind::Write)];
  if (!p.armed) return count;
  if (p.fired && !p.persistent) return count;
  int64_t room = p.n - p.seen;
  if (room < 0) room = 0;
  if (count <= room) {
    p.seen += count;
    return count;
  }
  if (count == 0) return 0;
  p.seen += room;
  p.fired = true;
  return room;
}

}  // namespace quorhost
