#include "c4d_pmain.h"

#include <cstdint>

#include "c4d_file.h"
#include "c4d_memory.h"
#include "c4d_resource.h"
#include "lib_description.h"
#include "operatingsystem.h"

// Handed out by the description wrappers when the host has no description library.
DescLevel fallbacklevel(0);

namespace {

Int32 StartUp(Int32& init_count, void* table, void* plugin_file) {
  if (++init_count != 1) return 1;
  if (InitOS(table) < gen::kApiVersion) return -3;
  if (!plugin_file) return -3;
  path_storage = new (std::nothrow, gen::kPathStorageLine, __FILE__) Filename();
  if (path_storage) *path_storage = *static_cast<const Filename*>(plugin_file);
  return 1;
}

Int32 End(Int32& init_count) {
  // An end without an outstanding start-up leaves the counter at 0, so that the next start-up
  // binds the table again.
  if (init_count == 0) return 1;
  if (--init_count != 0) return 1;
  PluginEnd();
  FreeResource();
  delete path_storage;
  path_storage = nullptr;
  return 1;
}

}  // namespace

Int32 c4d_main(Int32 action, void* p1, void* p2, void* p3) {
  static Int32 init_count = 0;
  switch (UInt32(action)) {
    case C4DPL_INIT_SYS:
      return StartUp(init_count, p1, p3);
    case C4DPL_INIT:
      // Without a bound table nothing can be registered: answer failure without a host call.
      if (!t_C4DOS) return 0;
      return PluginStart() ? 1 : 0;
    case C4DPL_END:
      return End(init_count);
    case C4DPL_INIT_VERSION:
      return gen::kInterfaceAnswer;
    case C4DPL_MESSAGE:
      if (!t_C4DOS) return -1;
      return PluginMessage(Int32(UInt32(reinterpret_cast<uintptr_t>(p1))), p2) ? 1 : -1;
    default:
      return -1;
  }
}
