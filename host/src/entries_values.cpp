// The container table (root slot 4), the data table (GeData) and the description library.
#include "session.h"
#include "value_layouts.h"

namespace quorhost {
namespace {

uint64_t* ContainerMagic(void* c) { return static_cast<uint64_t*>(c); }

void ContainerInit(void* c) {
  Session& s = S();
  if (*ContainerMagic(c) == kContainerMagic && s.containers.count(c))
    s.Fault("BaseContainer init: " + Hex(c) + " initialised again without a release");
  *ContainerMagic(c) = kContainerMagic;
  s.containers[c].clear();
}

void ContainerInit12(void* c, int32_t id, void* p) {
  S().journal.Record("Container.Init", {P(c), id, P(p)});
  ContainerInit(c);
}

void ContainerInit115(void* c, int32_t id) {
  S().journal.Record("Container.Init", {P(c), id});
  ContainerInit(c);
}

void ContainerRelease(void* c) {
  Session& s = S();
  s.journal.Record("Container.Release", {P(c)});
  if (*ContainerMagic(c) != kContainerMagic || !s.containers.erase(c)) {
    s.Fault("BaseContainer release: " + Hex(c) + " is not an initialised container");
    return;
  }
  *ContainerMagic(c) = 0;
}

void ContainerSetBool(void* c, int32_t id, int32_t value) {
  Session& s = S();
  s.journal.Record("Container.SetBool", {P(c), id, value});
  auto it = s.containers.find(c);
  if (*ContainerMagic(c) != kContainerMagic || it == s.containers.end()) {
    s.Fault("BaseContainer::SetBool: " + Hex(c) + " is not an initialised container");
    return;
  }
  it->second[id] = value != 0;
}

// --- GeData -----------------------------------------------------------------------------

void DataRelease(void* d) {
  S().journal.Record("Data.Release", {P(d), DataType(d)});
  SetDataEmpty(d);
}

void DataSetTime(void* d, const void* time) {
  S().journal.Record("Data.SetTime", {P(d), P(time)});
  SetDataEmpty(d);
  if (time == nullptr) return;
  std::memcpy(d, &kDataTime, sizeof kDataTime);
  std::memcpy(static_cast<char*>(d) + kGeDataValueOffset, time, S().r12() ? 16 : 8);
}

int32_t DataGetLong(const void* d) {
  int32_t value = 0;
  if (DataType(d) == kDataLong)
    std::memcpy(&value, static_cast<const char*>(d) + kGeDataValueOffset, sizeof value);
  S().journal.Record("Data.GetLong", {P(d), value});
  return value;
}

const void* DataGetTime(const void* d) {
  S().journal.Record("Data.GetTime", {P(d), DataType(d)});
  if (DataType(d) == kDataTime) return static_cast<const char*>(d) + kGeDataValueOffset;
  // Not a time: a default 0 over 1 in the generation's Real.
  static const double zero12[2] = {0, 1};
  static const float zero115[2] = {0, 1};
  return S().r12() ? static_cast<const void*>(zero12) : static_cast<const void*>(zero115);
}

// --- Description library ----------------------------------------------------------------

int32_t DescriptionRegister(int32_t id, const void* name, void* res) {
  Session& s = S();
  std::string text = StringValue(name, "Description_Register");
  s.journal.Record("Description_Register", {id, P(name), P(res)}, {text});
  s.description_calls.push_back({id, text, res});
  return s.options.description_register_answer ? 1 : 0;
}

void DescIdInit(void* id) {
  S().journal.Record("DescID.Init", {P(id)});
  auto* cell = static_cast<DescIdCell*>(id);
  *cell = {kDescIdMagic, 0, 0, 0, 0};
}

void DescIdRelease(void* id) {
  S().journal.Record("DescID.Release", {P(id)});
  auto* cell = static_cast<DescIdCell*>(id);
  if (cell->magic != kDescIdMagic) {
    S().Fault("DescID release: " + Hex(id) + " is not an initialised DescID");
    return;
  }
  cell->magic = 0;
}

void DescIdSetLevel(void* id, const void* level) {
  int32_t l[3] = {0, 0, 0};
  if (level) std::memcpy(l, level, sizeof l);
  S().journal.Record("DescID.SetLevel", {P(id), l[0], l[1], l[2]});
  auto* cell = static_cast<DescIdCell*>(id);
  if (cell->magic != kDescIdMagic) {
    S().Fault("DescID set level: " + Hex(id) + " is not an initialised DescID");
    return;
  }
  cell->id = l[0];
  cell->data_type = l[1];
  cell->creator = l[2];
}

}  // namespace

void FillContainer(TableBuilder& t, Generation gen) {
  if (gen == Generation::R12) {
    t.Member(5, ContainerInit12);
    t.Member(7, ContainerRelease);
    t.Member(12, ContainerSetBool);
  } else {
    t.Plain(4, ContainerRelease);
    t.Plain(9, ContainerSetBool);
    t.Plain(37, ContainerInit115);
  }
}

void FillData(TableBuilder& t, Generation) {
  t.Plain(0, DataRelease);
  t.Plain(11, DataSetTime);
  t.Plain(14, DataGetLong);
  t.Plain(20, DataGetTime);
}

void FillDescriptionLibrary(uint64_t* entries, int count) {
  for (int k = 0; k < count; ++k) entries[k] = TakeTrap("description-library", k);
  entries[0] = abi::EntryWord(DescriptionRegister);
  entries[21] = abi::EntryWord(DescIdInit);
  entries[22] = abi::EntryWord(DescIdRelease);
  entries[23] = abi::EntryWord(DescIdSetLevel);
}

}  // namespace quorhost
