// The plug-in's hooks and the registration of the "Quorvan OBJ Sequence" saver.
#include "c4d_filterplugin.h"
#include "c4d_pmain.h"
#include "c4d_resource.h"
#include "obj_saver.h"

namespace {

constexpr Int32 kPluginId = 1026826;

Bool RegisterOBJ() {
  String suffix("obj", STRINGENCODING(0));
  String description("", STRINGENCODING(0));
  String name("Quorvan OBJ Sequence", STRINGENCODING(0));
  const Bool ok = RegisterSceneSaverPlugin(kPluginId, name, 0, OBJSaverData::Alloc, description,
                                           suffix, nullptr);
  return ok ? 1 : 0;
}

}  // namespace

Bool PluginStart() { return RegisterOBJ() ? 1 : 0; }

Bool PluginMessage(Int32 id, void*) {
  if (id == 1) return resource.Init() ? 1 : 0;  // the host's system initialisation
  return 0;
}

void PluginEnd() {}
