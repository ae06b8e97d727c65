// Fault injection: make a chosen kind of host operation fail, for tests.
#pragma once

#include <array>
#include <cstdint>

namespace quorhost {

enum class FaultKind : int {
  Allocation,          // memory allocation entries answer null
  FileAllocation,      // BaseFile::Alloc answers null
  Open,                // BaseFile::Open answers false, error -1
  Write,               // counted in bytes, see Faults::Arm
  Close,               // closing a file (in Free or a re-Open) fails, -2 recorded in the books
  DocumentAllocation,  // BaseDocument::Alloc answers null
  Copy,                // C4DAtom::CopyTo answers false
  ModelingCommand,     // SendModelingCommand fails as chosen by CommandFailure
  Registration,        // GeRegisterPlugin answers false
  ResourceLoad,        // resource load answers null
  ParameterRead,       // C4DAtom::GetParameter answers false
};
inline constexpr int kFaultKinds = 11;

// How an injected modeling-command fault shows.
enum class CommandFailure { ReturnFalse, EmptyArray, NullElement };

class Faults {
 public:
  // Arms `kind` so that its nth call from now (1 = the next one) fails; with `persistent`, that
  // call and every later one fail. For Write, n counts bytes instead: the write that would take
  // the bytes accepted since arming beyond n stores the bytes up to n and fails with -4.
  void Arm(FaultKind kind, int64_t n, bool persistent = false);
  void ArmCommand(CommandFailure how, int64_t n, bool persistent = false);
  void Disarm(FaultKind kind);
  void DisarmAll();

  // Calls of each kind since the session began or since ResetCounts (Write: calls, not bytes).
  int64_t Count(FaultKind kind) const { return calls_[Index(kind)]; }
  int64_t WrittenBytes() const { return written_bytes_; }
  void ResetCounts();

  // Host side. Counts one call of `kind`; true when this call must fail.
  bool Hit(FaultKind kind);
  // Host side. Counts one write of `count` bytes; answers how many of them may be stored
  // (count when the write must not fail).
  int64_t WriteAllowance(int64_t count);
  CommandFailure command_failure() const { return command_failure_; }

 private:
  struct Plan {
    bool armed = false;
    bool persistent = false;
    int64_t n = 0;
    int64_t seen = 0;  // calls (or bytes, for Write) since arming
    bool fired = false;
  };
  static int Index(FaultKind kind) { return static_cast<int>(kind); }

  std::array<Plan, kFaultKinds> plans_{};
  std::array<int64_t, kFaultKinds> calls_{};
  int64_t written_bytes_ = 0;
  CommandFailure command_failure_ = CommandFailure::ReturnFalse;
};

}  // namespace quorhost
