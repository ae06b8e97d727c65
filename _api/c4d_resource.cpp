#include "c4d_resource.h"

#include "c4d_memory.h"
#include "operatingsystem.h"

GeResource resource;
Filename* path_storage = nullptr;

Bool GeResource::Init() {
  Filename path = GeGetPluginPath();
  return Init(path);
}

Bool GeResource::Init(const Filename& path) {
  if (!res_path) {
    res_path = new (std::nothrow, 59, __FILE__) Filename(path);
    if (!res_path) return false;
  }
  if (load_tried == 1) return local_res != nullptr;
  local_res = t_C4DOS->Lr->Load(&path);
  load_tried = 1;
  return local_res != nullptr;
}

Bool GeResource::InitAsGlobal() {
  is_global = 1;
  local_res = t_C4DOS->Lr->GetGlobal();
  return local_res != nullptr;
}

Bool GeResource::ReloadResource() {
  if (is_global) return true;
  if (!res_path) return false;
  return t_C4DOS->Lr->Reload(local_res, res_path);
}

const String& GeResource::LoadString(Int32 id) {
  if (!local_res) return *t_C4DOS->St->Empty;
  return *t_C4DOS->Lr->LoadString(local_res, id);
}

void GeResource::Free() {
  if (is_global == 1) return;
  if (local_res) {
    t_C4DOS->Lr->Free(local_res);
    local_res = nullptr;
  }
  if (res_path) {
    delete res_path;
    res_path = nullptr;
  }
}

Filename GeGetPluginPath() {
  if (!path_storage) return Filename();
  return path_storage->GetDirectory();
}

void FreeResource() { resource.Free(); }
