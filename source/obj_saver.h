// The "Quorvan OBJ Sequence" saver: one OBJ file per frame of the document's time range.
#pragma once

#include "c4d_filterplugin.h"

class OBJSaverData : public SceneSaverData {
 public:
  // A new saver object for a host node, or null when memory is exhausted.
  static NodeData* Alloc();

  // Writes <name without suffix>_<zero-padded frame>.obj for every frame of `doc`'s range when
  // bit 1 of `filterflags` is set. Returns 0, or the error of the frame where it stopped.
  FILEERROR Save(SceneSaverNode* node, const Filename& name, BaseDocument* doc,
                 SCENEFILTER filterflags) override;
};

// Minimum number of characters of the frame number in the file names, from the last frame:
// 1 + ceil(log10(last)), and 1 for a last frame of 0 or less.
Int32 FrameDigitWidth(Int32 last_frame);

// Writes "_<frame zero-padded to width>.obj" and a terminating zero into `out` (at least 32
// bytes); a minus sign counts toward the width. Returns the length.
Int32 FormatFrameSuffix(char* out, Int32 width, Int32 frame);
