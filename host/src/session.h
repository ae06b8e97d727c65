// The state of the one live host session, reached by every entry function.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "memory_books.h"
#include "model.h"
#include "quorhost/host.h"
#include "tables.h"
#include "text_values.h"

namespace quorhost {

class HostFile;

struct LocalResource {
  LocalResource() = default;
  LocalResource(const LocalResource&) = delete;
  LocalResource& operator=(const LocalResource&) = delete;
  ~LocalResource();
  std::string directory;
  std::unordered_map<int32_t, std::unique_ptr<TextCell>> strings;  // permanent String values
  bool global = false;
};

// The description library's record: i32 version, i32 size, then 24 plain entries.
struct DescriptionLibraryRecord {
  int32_t version = 1;
  int32_t size = 0;
  uint64_t entries[24] = {};
};
static_assert(sizeof(DescriptionLibraryRecord) == 8 + 8 * 24);

// What the host's registry hands out for GeRegistryFind.
struct RegistryEntry {
  int32_t id = 0;
  int32_t type = 0;
  void* data = nullptr;
};

struct ValueInfo {
  bool filename = false;
  ValueOwner owner = ValueOwner::Plugin;
};

struct Session {
  explicit Session(const HostOptions& options);
  ~Session();

  HostOptions options;
  Generation gen;
  bool r12() const { return gen == Generation::R12; }

  Journal journal;
  Faults faults;
  MemoryBooks memory;
  World world;

  // Initialised String/Filename values that someone still has to release.
  std::unordered_map<const void*, ValueInfo> live_values;
  TextCell empty_string{nullptr, kStringMagic};  // string table position 0
  // Initialised BaseContainer storages and their bools.
  std::unordered_map<const void*, std::map<int32_t, int32_t>> containers;

  std::unordered_set<HostFile*> files;
  std::unordered_set<LocalResource*> resources;
  LocalResource global_resource;

  DescriptionLibraryRecord description_library;
  RegistryEntry description_registry;

  std::vector<std::string> stray_releases;
  std::vector<std::string> contract_faults;
  std::vector<FileFailure> close_failures;
  std::optional<FileFailure> last_failure;

  std::vector<int32_t> status_values;
  std::function<void(int32_t)> status_observer;
  std::vector<DebugBreak> debug_breaks;
  std::vector<Registration> registrations;
  std::vector<DescriptionCall> description_calls;
  std::vector<ModelingCall> modeling_calls;
  std::vector<AnimateCall> animate_calls;

  Tables tables;

  // A violation of the contract by the caller, kept for the books.
  void Fault(std::string message) { contract_faults.push_back(std::move(message)); }
  void Stray(std::string message) { stray_releases.push_back(std::move(message)); }
};

// The live session. Stops the process when there is none: an entry was called after the
// Host was destroyed.
Session& S();

// "0x..." for messages.
std::string Hex(const void* p);
inline int64_t P(const void* p) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(p)); }

}  // namespace quorhost
