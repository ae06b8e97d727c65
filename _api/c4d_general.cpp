#include "c4d_general.h"

#include "c4d_baselist.h"
#include "operatingsystem.h"

void StatusSetBar(Int32 percent) { t_C4DOS->General->StatusSetBar(percent); }

Bool GeRegisterPlugin(PLUGINTYPE type, Int32 id, const String& name, void* record, Int32 size) {
  return t_C4DOS->General->RegisterPlugin(gen::kApiVersion, Int32(type), id, &name, record, size);
}

void _GeDebugBreak(Int32 line, const char* file) { t_C4DOS->General->DebugBreak(line, file); }

Registry* GeRegistryFind(Int32 id, REGISTRYTYPE type) {
  return t_C4DOS->General->FindRegistry(id, Int32(type));
}

void* Registry::GetData() {
  Int32 a = 0, b = 0;
  void* data = nullptr;
  if (!t_C4DOS->General->RegistryGetData(this, &a, &b, &data)) return nullptr;
  return data;
}

ModelingCommandData::~ModelingCommandData() { AtomArray::Free(result); }

Bool SendModelingCommand(Int32 command, ModelingCommandData& data) {
  return t_C4DOS->General->SendModelingCommand(command, &data);
}
