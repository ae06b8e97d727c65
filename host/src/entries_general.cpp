// The general table (root slot 1): memory, status bar, registration, registry, debug break
// and modeling commands.
#include <cstring>

#include "session.h"

namespace quorhost {

int32_t RunModelingCommand(int32_t command, void* record);  // modeling_command.cpp

namespace {

constexpr int32_t kDescriptionLibraryId = 1000467;
constexpr int32_t kLibraryRegistryType = 17;
constexpr int kSuffixCell = 32;
constexpr int32_t kLargestRecord = 1 << 16;

void ReleaseMemory(void* block) {
  Session& s = S();
  s.journal.Record("Memory.Release", {P(block)});
  if (block == nullptr) return;
  bool corrupted = false;
  if (!s.memory.Release(block, &corrupted))
    s.Stray("memory release: " + Hex(block) + " is not a block the host gave out");
  else if (corrupted)
    s.Fault("memory release: the header of block " + Hex(block) + " was overwritten");
}

void* Allocate(int64_t size, int32_t line, const char* file, bool clear) {
  Session& s = S();
  void* block =
      s.faults.Hit(FaultKind::Allocation) ? nullptr : s.memory.Allocate(size, clear, line, file);
  if (s.journal.enabled())
    s.journal.Record(clear ? "Memory.AllocClear" : "Memory.Alloc", {size, line, P(block)},
                     {file ? file : ""});
  return block;
}

void* AllocateCleared(int64_t size, int32_t line, const char* file) {
  return Allocate(size, line, file, true);
}
void* AllocateRaw(int64_t size, int32_t line, const char* file) {
  return Allocate(size, line, file, false);
}

void StatusSetBar(int32_t percent) {
  S().journal.Record("StatusSetBar", {percent});
  S().status_values.push_back(percent);
  if (S().status_observer) S().status_observer(percent);
}

void DebugBreakAt(int32_t line, const char* file) {
  S().journal.Record("DebugBreak", {line}, {file ? file : ""});
  S().debug_breaks.push_back({line, file ? file : ""});
}

int32_t RegisterPlugin(int32_t api, int32_t type, int32_t id, const void* name, void* record,
                       int32_t size) {
  Session& s = S();
  Registration reg;
  reg.api = api;
  reg.type = type;
  reg.id = id;
  reg.name = StringValue(name, "GeRegisterPlugin");
  reg.size = size;
  bool valid = record != nullptr && size >= 0 && size <= kLargestRecord;
  if (!valid) {
    s.Fault("GeRegisterPlugin: record " + Hex(record) + " of size " + std::to_string(size) +
            " refused");
  } else {
    const auto* bytes = static_cast<const uint8_t*>(record);
    reg.record.assign(bytes, bytes + size);
    const int suffix_at = kSuffixCell * Registration::kCellBytes;
    if (size >= suffix_at + 8) {
      const void* suffix = nullptr;
      std::memcpy(&suffix, bytes + suffix_at, sizeof suffix);
      if (suffix != nullptr) {
        reg.has_suffix = true;
        reg.suffix = StringValue(suffix, "GeRegisterPlugin suffix");
      }
    }
  }
  int32_t expected_api = s.r12() ? 12000 : 11500;
  if (valid && api != expected_api)
    s.Fault("GeRegisterPlugin: API version " + std::to_string(api) + " in a session for " +
            std::to_string(expected_api));
  bool injected = s.faults.Hit(FaultKind::Registration);
  reg.accepted = valid && api == expected_api && !injected && s.options.registration_answer;
  s.journal.Record("GeRegisterPlugin", {api, type, id, P(record), size, reg.accepted},
                   {reg.name, reg.suffix});
  s.registrations.push_back(std::move(reg));
  return s.registrations.back().accepted ? 1 : 0;
}

void* RegistryFind(int32_t id, int32_t type) {
  Session& s = S();
  void* found = nullptr;
  if (id == kDescriptionLibraryId && type == kLibraryRegistryType &&
      s.options.description_library != DescriptionLibraryMode::Absent)
    found = &s.description_registry;
  s.journal.Record("GeRegistryFind", {id, type, P(found)});
  return found;
}

int32_t RegistryGetData(void* entry, int32_t* a, int32_t* b, void** data) {
  Session& s = S();
  s.journal.Record("Registry.GetData", {P(entry)});
  if (entry != &s.description_registry) {
    s.Fault("Registry::GetData: " + Hex(entry) + " is not a registry entry");
    return 0;
  }
  if (a) *a = s.description_registry.id;
  if (b) *b = s.description_registry.type;
  if (data) *data = s.description_registry.data;
  return 1;
}

int32_t SendModelingCommand(int32_t command, void* record) {
  return RunModelingCommand(command, record);
}

}  // namespace

void FillGeneral(TableBuilder& t, Generation gen) {
  bool r12 = gen == Generation::R12;
  t.Plain(r12 ? 0 : 1, ReleaseMemory);
  t.Plain(r12 ? 63 : 82, AllocateCleared);
  t.Plain(r12 ? 106 : 126, AllocateRaw);
  t.Plain(r12 ? 27 : 31, StatusSetBar);
  t.Plain(r12 ? 45 : 59, RegisterPlugin);
  t.Plain(r12 ? 76 : 96, DebugBreakAt);
  t.Plain(r12 ? 58 : 75, RegistryFind);
  t.Plain(r12 ? 62 : 81, RegistryGetData);
  t.Plain(r12 ? 80 : 100, SendModelingCommand);
}

}  // namespace quorhost
