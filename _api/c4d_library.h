// Optional host libraries, published in the host's registry and bound on first use.
#pragma once

#include "c4d_generation.h"

// The head of a library record; the library's entries follow as plain function pointers.
struct C4DLibrary {
  Int32 version;
  Int32 size;
};

// Byte offset of entry `entry` of a library record.
constexpr Int LibraryEntryOffset(Int32 entry) {
  return Int(sizeof(C4DLibrary)) + Int(entry) * Int(sizeof(void*));
}

// The library `id` when its record reaches at least `offset` bytes, else null. `cache` (may be
// null) keeps the record once found, also when it is too small for this call.
C4DLibrary* CheckLib(Int32 id, Int offset, C4DLibrary** cache);

// Entry `entry` of `lib`, or null when the record or the entry is missing.
inline void* LibraryEntry(C4DLibrary* lib, Int32 entry) {
  if (!lib) return nullptr;
  return reinterpret_cast<void**>(reinterpret_cast<char*>(lib) + sizeof(C4DLibrary))[entry];
}
