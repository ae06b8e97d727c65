// The plug-in's resources (strings, descriptions), loaded by the host from the plug-in's folder.
#pragma once

#include "c4d_file.h"
#include "c4d_generation.h"

class LocalResource;

class GeResource {
 public:
  // Fresh: nothing loaded, no path; no host call.
  GeResource() = default;
  ~GeResource() { Free(); }
  GeResource(const GeResource&) = delete;
  GeResource& operator=(const GeResource&) = delete;

  // Init with the plug-in's folder.
  Bool Init();
  // Loads from `path` once; later calls load nothing and answer whether the first one loaded.
  // The first folder given is kept for ReloadResource.
  Bool Init(const Filename& path);
  // Stands for the host's own resource from now on.
  Bool InitAsGlobal();
  Bool ReloadResource();
  // The string `id`; the host's empty string while nothing is loaded.
  const String& LoadString(Int32 id);
  LocalResource* Get() { return local_res; }
  // Releases the host resource and the stored path; safe to call any number of times.
  void Free();

 private:
  LocalResource* local_res = nullptr;
  Int32 load_tried = 0;
  Int32 is_global = 0;
  Filename* res_path = nullptr;
};

// The plug-in's one resource object.
extern GeResource resource;

// The plug-in file's path, stored by the first system start-up; null before and after.
extern Filename* path_storage;

// The plug-in's folder: the directory of the stored path, or an empty name when none is stored.
Filename GeGetPluginPath();

// Releases `resource`.
void FreeResource();
