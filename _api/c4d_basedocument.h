// BaseDocument: a host document, held by address.
#pragma once

#include "c4d_basetime.h"
#include "c4d_baselist.h"
#include "c4d_generation.h"

class BaseThread;

#if QUOR_GEN12
enum ANIMATEFLAGS { ANIMATEFLAGS_0 = 0 };
enum BUILDFLAGS { BUILDFLAGS_0 = 0 };
#else
typedef Int32 ANIMATEFLAGS;
#endif

class BaseDocument : public BaseList2D {
 public:
  // A new empty document, or null.
  static BaseDocument* Alloc();
  // Releases `doc` (null accepted: the host is still called) and nulls the pointer.
  static void Free(BaseDocument*& doc);

  BaseObject* GetFirstObject();
  void AnimateObject(BaseList2D* op, const BaseTime& time, ANIMATEFLAGS flags);
#if QUOR_GEN12
  Bool ExecutePasses(BaseThread* bt, Bool animation, Bool expressions, Bool caches,
                     BUILDFLAGS flags);
#else
  Bool ExecutePasses(BaseThread* bt, Bool animation, Bool expressions, Bool caches);
#endif

  // Frames per second (parameter 1001); 0 when the host refuses the read.
  Int32 GetFps();
  // First and last time of the range (parameters 1002, 1003); 0 over 1 when refused.
  BaseTime GetMinTime();
  BaseTime GetMaxTime();
  // Sets the current time (parameter 1000).
  void SetTime(const BaseTime& time);

  // A new document in which each top-level object of this one is replaced by its polygon-mesh
  // equivalent as evaluated now (modeling command 245); `flag` is stored under id 2141 of the
  // command's settings. Owned by the caller (release with Free); null on any failure.
  BaseDocument* Polygonize(Int32 flag);

  QUOR_HANDLE_CLASS(BaseDocument);
};
