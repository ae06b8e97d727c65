#include "tables.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace quorhost {
namespace {

constexpr int kTrapCount = 4096;
constexpr int kTrailingTraps = 8;  // past the last served position of a sub-table
constexpr int kTrapTableEntries = 64;
constexpr int kRootSlots = 48;

struct TrapName {
  std::string table;
  int position = 0;
};
std::array<TrapName, kTrapCount>& TrapNames() {
  static std::array<TrapName, kTrapCount> names;
  return names;
}
int g_traps_used = 0;

[[noreturn]] void TrapHit(int index) {
  const TrapName& name = TrapNames()[index];
  std::fprintf(stderr, "quorhost: unserved entry %s %d\n", name.table.c_str(), name.position);
  std::fflush(stderr);
  std::abort();
}

template <int K>
void Trap() {
  TrapHit(K);
}

template <int... K>
constexpr std::array<void (*)(), sizeof...(K)> MakeTraps(std::integer_sequence<int, K...>) {
  return {&Trap<K>...};
}
const auto kTraps = MakeTraps(std::make_integer_sequence<int, kTrapCount>{});

struct SubTable {
  const char* name;
  int slot12;
  int slot115;
  void (*fill)(TableBuilder&, Generation);
};
constexpr SubTable kSubTables[] = {
    {"general", 1, 1, FillGeneral},
    {"container", 4, 4, FillContainer},
    {"string", 5, 5, FillString},
    {"file-name", 9, 9, FillFilename},
    {"file", 10, 10, FillFile},
    {"resource", 15, 15, FillResource},
    {"list-element", 16, 16, FillListElement},
    {"object", 18, 18, FillObject},
    {"document", 19, 19, FillDocument},
    {"data", 33, 38, FillData},
    {"atom", 34, 39, FillAtom},
};

}  // namespace

uint64_t TakeTrap(const std::string& table, int position) {
  if (g_traps_used == kTrapCount) {
    std::fprintf(stderr, "quorhost: out of trap functions\n");
    std::abort();
  }
  int index = g_traps_used++;
  TrapNames()[index] = {table, position};
  return abi::EntryWord(kTraps[index]);
}

void ResetTraps() { g_traps_used = 0; }

std::vector<uint64_t> TableBuilder::Build() const {
  int last = entries_.empty() ? -1 : entries_.rbegin()->first;
  std::vector<uint64_t> words;
  for (int pos = 0; pos <= last + kTrailingTraps; ++pos) {
    auto it = entries_.find(pos);
    if (it == entries_.end()) {
      words.push_back(TakeTrap(name_, pos));
    } else if (it->second.member) {
      words.push_back(it->second.word);
      words.push_back(0);  // adjustment
    } else {
      words.push_back(it->second.word);
    }
  }
  return words;
}

void BuildTables(Tables& tables, Generation gen, int32_t api_version) {
  ResetTraps();
  tables.subtables.clear();
  tables.subtables.reserve(kRootSlots);
  tables.root.assign(kRootSlots, 0);
  tables.root[0] = static_cast<uint32_t>(api_version);
  for (const SubTable& sub : kSubTables) {
    TableBuilder builder(sub.name);
    sub.fill(builder, gen);
    tables.subtables.push_back(builder.Build());
    int slot = gen == Generation::R12 ? sub.slot12 : sub.slot115;
    tables.root[slot] = reinterpret_cast<uint64_t>(tables.subtables.back().data());
  }
  for (int slot = 1; slot < kRootSlots; ++slot) {
    if (tables.root[slot] != 0) continue;
    std::string name = "root-slot-" + std::to_string(slot);
    std::vector<uint64_t> trap_table;
    for (int pos = 0; pos < kTrapTableEntries; ++pos) trap_table.push_back(TakeTrap(name, pos));
    tables.subtables.push_back(std::move(trap_table));
    tables.root[slot] = reinterpret_cast<uint64_t>(tables.subtables.back().data());
  }
}

}  // namespace quorhost
