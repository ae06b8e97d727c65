#include "lib_description.h"

namespace {

C4DLibrary* library = nullptr;  // the description library, once found

enum : Int32 { kRegister = 0, kDescIdInit = 21, kDescIdFree = 22, kDescIdSetId = 23 };

// The entry `entry` of the description library as a function of type F, or null.
template <class F>
F Entry(Int32 entry) {
  C4DLibrary* lib = CheckLibObjectList(LibraryEntryOffset(entry));
  return reinterpret_cast<F>(LibraryEntry(lib, entry));
}

}  // namespace

C4DLibrary* CheckLibObjectList(Int offset) {
  return CheckLib(LIBRARY_DESCRIPTIONLIB, offset, &library);
}

DescID::DescID(const DescLevel& level) {
  auto init = Entry<void (*)(DescID*)>(kDescIdInit);
  if (!init) return;
  init(this);
  SetId(level);
}

DescID::~DescID() {
  if (auto release = Entry<void (*)(DescID*)>(kDescIdFree)) release(this);
}

void DescID::SetId(const DescLevel& level) {
  if (auto set = Entry<void (*)(DescID*, const DescLevel*)>(kDescIdSetId)) set(this, &level);
}

Bool Description_Register(Int32 id, const String& name, LocalResource* res) {
  auto reg = Entry<Bool (*)(Int32, const String*, LocalResource*)>(kRegister);
  if (!reg) return false;
  return reg(id, &name, res);
}
