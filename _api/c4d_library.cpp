#include "c4d_library.h"

#include "c4d_general.h"

C4DLibrary* CheckLib(Int32 id, Int offset, C4DLibrary** cache) {
  C4DLibrary* lib = cache ? *cache : nullptr;
  if (!lib) {
    Registry* entry = GeRegistryFind(id, REGISTRYTYPE_LIBRARY);
    if (!entry) return nullptr;
    lib = static_cast<C4DLibrary*>(entry->GetData());
    if (!lib) return nullptr;
    if (cache) *cache = lib;
  }
  return Int(lib->size) >= offset ? lib : nullptr;
}
