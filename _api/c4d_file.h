// Filename (a value class) and BaseFile (a host handle).
#pragma once

#include "c4d_generation.h"
#include "c4d_string.h"

class Filename {
 public:
  Filename();
  Filename(const Filename& other);
  ~Filename();
  Filename& operator=(const Filename& other);

  // The whole path.
  String GetString() const;
  void SetString(const String& name);
  // The directory part; empty when the host has none.
  Filename GetDirectory() const;
  // Removes the suffix of the last path component.
  void ClearSuffix();

 private:
#if QUOR_GEN12
  String name_;  // embedded string, initialised before and released after the host's part
  alignas(8) unsigned char storage_[16];
#else
  struct DirectoryOf {};
  // Starts empty, then takes the host-owned directory of `f` (when the host gives one) and
  // releases it.
  Filename(DirectoryOf, const Filename* f);
  alignas(8) unsigned char storage_[16];
#endif
};

#if !QUOR_GEN12
// Releases a host-owned file name, when not null, and sets the caller's pointer to null.
void FreeFilename(Filename*& f);
#endif

#if QUOR_GEN12
enum FILEOPEN { FILEOPEN_READ = 1, FILEOPEN_WRITE = 2 };
enum FILEDIALOG { FILEDIALOG_NONE = 0 };
enum BYTEORDER { BYTEORDER_MOTOROLA = 1, BYTEORDER_INTEL = 2 };
enum FILEERROR {
  FILEERROR_NONE = 0,
  FILEERROR_OPEN = -1,
  FILEERROR_CLOSE = -2,
  FILEERROR_READ = -3,
  FILEERROR_WRITE = -4,
  FILEERROR_OUTOFMEMORY = -7
};
#else
enum { FILEOPEN_READ = 1, FILEOPEN_WRITE = 2 };
enum { FILEDIALOG_NONE = 0 };
enum { BYTEORDER_MOTOROLA = 1, BYTEORDER_INTEL = 2 };
enum {
  FILEERROR_NONE = 0,
  FILEERROR_OPEN = -1,
  FILEERROR_CLOSE = -2,
  FILEERROR_READ = -3,
  FILEERROR_WRITE = -4,
  FILEERROR_OUTOFMEMORY = -7
};
typedef Int32 FILEOPEN;
typedef Int32 FILEDIALOG;
typedef Int32 BYTEORDER;
typedef Int32 FILEERROR;
#endif

// A host file object. Held by address only; made by Alloc, given back with Free.
class BaseFile {
 public:
  // A new, unopened file object, or null.
  static BaseFile* Alloc();
  // Closes and releases `file` (null accepted: the host is still called) and nulls the pointer.
  static void Free(BaseFile*& file);

  Bool Open(const Filename& name, FILEOPEN mode, FILEDIALOG dialog, BYTEORDER order, Int32 type,
            Int32 creator);
  Bool WriteBytes(const void* data, Int64 count);
  Bool WriteChar(Char c);
  FILEERROR GetError() const;

 private:
  BaseFile() = delete;
  ~BaseFile() = delete;
};
