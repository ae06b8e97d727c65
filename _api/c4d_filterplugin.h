// Scene saver plug-ins: the class the host calls to export, and its registration.
#pragma once

#include "c4d_baselist.h"
#include "c4d_file.h"
#include "c4d_generation.h"
#include "c4d_nodeplugin.h"

class BaseDocument;

// The host's node of a scene saver.
class SceneSaverNodeBase : public BaseList2D {
  QUOR_HANDLE_CLASS(SceneSaverNodeBase);
};

#if QUOR_GEN12
class BaseSceneSaver : public SceneSaverNodeBase {
  QUOR_HANDLE_CLASS(BaseSceneSaver);
};
typedef BaseSceneSaver SceneSaverNode;
enum SCENEFILTER { SCENEFILTER_0 = 0, SCENEFILTER_OBJECTS = 1 };
inline SCENEFILTER operator&(SCENEFILTER a, SCENEFILTER b) {
  return SCENEFILTER(Int32(a) & Int32(b));
}
#else
class PluginSceneSaver : public SceneSaverNodeBase {
  QUOR_HANDLE_CLASS(PluginSceneSaver);
};
typedef PluginSceneSaver SceneSaverNode;
enum { SCENEFILTER_OBJECTS = 1 };
typedef Int32 SCENEFILTER;
#endif

class SceneSaverData : public NodeData {
 public:
  // Writes `doc` under `name`; returns the host's file error code (0 for none).
  virtual FILEERROR Save(SceneSaverNode* node, const Filename& name, BaseDocument* doc,
                         SCENEFILTER filterflags) = 0;
};

// The scene saver record: the node-plug-in record and the two members a scene saver adds.
struct SCENESAVERPLUGIN : NODEPLUGIN {
  RecordCell<const String*> suffix;  // 32
  RecordCell<FILEERROR (SceneSaverData::*)(SceneSaverNode*, const Filename&, BaseDocument*,
                                           SCENEFILTER)>
      Save;                       // 33
  RecordCell<void*> reserved2[38];  // up to cell 71
};
static_assert(sizeof(SCENESAVERPLUGIN) == platform::kSceneSaverRecordSize, "saver record size");

// Registers a scene saver with the host. `name`, `description` and `suffix` need live only during
// the call. An empty `description` registers none. True when the host accepted it.
Bool RegisterSceneSaverPlugin(Int32 id, const String& name, Int32 info, DataAllocator* alloc,
                              const String& description, const String& suffix, void* data);
