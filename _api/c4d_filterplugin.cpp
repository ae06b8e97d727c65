#include "c4d_filterplugin.h"

#include "c4d_general.h"
#include "c4d_memory.h"

Bool RegisterSceneSaverPlugin(Int32 id, const String& name, Int32 info, DataAllocator* alloc,
                              const String& description, const String& suffix, void* data) {
  if (description.Content() && !RegisterDescription(id, description, nullptr)) return false;

  SCENESAVERPLUGIN np;
  ClearMem(&np, Int64(sizeof np), 0);
  FillNodePlugin(&np, info, alloc, nullptr, 0, data);
  np.suffix.value = &suffix;
  np.Save.value = &SceneSaverData::Save;
  return GeRegisterPlugin(PLUGINTYPE_SCENESAVER, id, name, &np, Int32(sizeof np));
}
