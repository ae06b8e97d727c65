// The frame writer: the OBJ text of one polygonized document.
#pragma once

#include "c4d_basedocument.h"
#include "c4d_file.h"
#include "ge_matrix.h"

// The state of one frame file. Owns `file` and `doc`; never copied.
struct OBJSAVE {
  // `file` is a new, unopened host file object (null when the host has none), `doc` null.
  OBJSAVE();
  // Frees `file` (closing it), then `doc`; either may be null.
  ~OBJSAVE();
  OBJSAVE(const OBJSAVE&) = delete;
  OBJSAVE& operator=(const OBJSAVE&) = delete;

  BaseFile* file;
  BaseDocument* doc;
  Int32 groupcount;  // polygon objects written so far to this file
  Int32 vcount;      // vertex lines written so far to this file
  // Set when memory ran out while walking the hierarchy, so that some objects were not written.
  Bool incomplete;
};

// Writes the blocks of `first`, its following siblings and all their descendants, depth first,
// into rec.file (open for writing), with `parent` as the world matrix of their parent. Write
// failures are left in the file's error state. No limit on depth.
void WriteObjects(OBJSAVE& rec, BaseObject* first, gen::GenMatrix parent);
