// Laying out host tables from entry positions and kinds, with traps in every unserved place.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "abi_itanium.h"
#include "quorhost/host.h"

namespace quorhost {

// Collects the served positions of one sub-table, then lays it out: position k starts at the
// sum of the widths of positions 0..k-1 (8 plain, 16 member).
class TableBuilder {
 public:
  explicit TableBuilder(std::string name) : name_(std::move(name)) {}

  template <class F>
  void Plain(int position, F* fn) {
    entries_[position] = {false, abi::EntryWord(fn)};
  }
  template <class F>
  void Member(int position, F* fn) {
    entries_[position] = {true, abi::EntryWord(fn)};
  }
  // A data word (the string table's position 0).
  void Data(int position, const void* p) {
    entries_[position] = {false, reinterpret_cast<uint64_t>(p)};
  }

  // The table's words: served positions, then traps up to a few positions past the last one.
  std::vector<uint64_t> Build() const;

 private:
  struct Entry {
    bool member;
    uint64_t word;
  };
  std::string name_;
  std::map<int, Entry> entries_;
};

// A trap word that stops the process naming `table` and `position` when called.
uint64_t TakeTrap(const std::string& table, int position);
// Forgets every trap handed out (a new session lays its tables out again).
void ResetTraps();

// The root table (48 slots) and the sub-tables it points to.
struct Tables {
  std::vector<uint64_t> root;
  std::vector<std::vector<uint64_t>> subtables;  // served ones and the trap tables
};
void BuildTables(Tables& tables, Generation gen, int32_t api_version);

// Sub-table fillers, one per family of host classes.
void FillGeneral(TableBuilder& t, Generation gen);
void FillContainer(TableBuilder& t, Generation gen);
void FillString(TableBuilder& t, Generation gen);
void FillFilename(TableBuilder& t, Generation gen);
void FillFile(TableBuilder& t, Generation gen);
void FillResource(TableBuilder& t, Generation gen);
void FillListElement(TableBuilder& t, Generation gen);
void FillObject(TableBuilder& t, Generation gen);
void FillDocument(TableBuilder& t, Generation gen);
void FillData(TableBuilder& t, Generation gen);
void FillAtom(TableBuilder& t, Generation gen);
// The description library's entries (24 words: 0 and 21..23 served, the rest traps).
void FillDescriptionLibrary(uint64_t* entries, int count);

}  // namespace quorhost
