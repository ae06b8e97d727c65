// General host services: status bar, plug-in registration, registry, modeling commands and the
// debug report.
#pragma once

#include "c4d_generation.h"

class String;
class BaseDocument;
class BaseObject;
class BaseContainer;
class AtomArray;

#if QUOR_GEN12
enum PLUGINTYPE { PLUGINTYPE_SCENESAVER = gen::kSceneSaverType };
enum REGISTRYTYPE { REGISTRYTYPE_LIBRARY = 17 };
#else
enum { PLUGINTYPE_SCENESAVER = gen::kSceneSaverType };
enum { REGISTRYTYPE_LIBRARY = 17 };
typedef Int32 PLUGINTYPE;
typedef Int32 REGISTRYTYPE;
#endif

// Shows `percent` on the host's progress bar.
void StatusSetBar(Int32 percent);

// Hands a filled plug-in record of `size` bytes to the host, with the API version the plug-in
// was built for. The host copies what it keeps during the call. True when accepted.
Bool GeRegisterPlugin(PLUGINTYPE type, Int32 id, const String& name, void* record, Int32 size);

// Reports an impossible state to the host's debug break.
void _GeDebugBreak(Int32 line, const char* file);

// An entry of the host's registry; a host handle.
class Registry {
 public:
  // The entry's data pointer, or null when the host gives none.
  void* GetData();

 private:
  Registry() = delete;
  ~Registry() = delete;
};

// The registry entry `id` of `type`, or null.
Registry* GeRegistryFind(Int32 id, REGISTRYTYPE type);

// The record of a modeling command. The record owns `result` and releases it when destroyed.
struct ModelingCommandData {
  ModelingCommandData() = default;
  ~ModelingCommandData();
  ModelingCommandData(const ModelingCommandData&) = delete;
  ModelingCommandData& operator=(const ModelingCommandData&) = delete;

  BaseDocument* doc = nullptr;
  BaseObject* op = nullptr;
  BaseContainer* bc = nullptr;
  Int32 mode = 0;
  Int32 flags = 0;
  AtomArray* arr = nullptr;
#if !QUOR_GEN12
  Int32 host_value = 1;          // the host's, passed unchanged
  void* host_pointer = nullptr;  // the host's, passed unchanged
#endif
  AtomArray* result = nullptr;
};
static_assert(sizeof(ModelingCommandData) == (QUOR_GEN12 ? 48 : 64), "command record");

constexpr Int32 MCOMMAND_CURRENTSTATETOOBJECT = 245;
constexpr Int32 MDATA_CURRENTSTATETOOBJECT_INHERITANCE = 2141;

// Runs host modeling command `command` with `data`; true on success.
Bool SendModelingCommand(Int32 command, ModelingCommandData& data);
