// The host's description library (registry id 1000467): description registration and DescID.
#pragma once

#include "c4d_generation.h"
#include "c4d_library.h"

class String;
class LocalResource;

constexpr Int32 LIBRARY_DESCRIPTIONLIB = 1000467;

// One level of a parameter identifier.
struct DescLevel {
  explicit DescLevel(Int32 id_) : id(id_), dtype(0), creator(0) {}
  Int32 id;
  Int32 dtype;
  Int32 creator;
};

// A parameter identifier; storage in the plug-in, contents the host's. Without the description
// library nothing is initialised and the storage stays as it was.
class DescID {
 public:
  explicit DescID(const DescLevel& level);
  ~DescID();
  DescID(const DescID&) = delete;
  DescID& operator=(const DescID&) = delete;

  void SetId(const DescLevel& level);

 private:
  alignas(8) unsigned char storage_[32];
};

// Registers description `name` under `id` with the resource `res`; false when the library is
// missing or refuses.
Bool Description_Register(Int32 id, const String& name, LocalResource* res);

// The description library record when it can serve the entry at `offset`, else null.
C4DLibrary* CheckLibObjectList(Int offset);
