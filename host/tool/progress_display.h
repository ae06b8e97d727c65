// The export's progress on stderr, from the percentages the plug-in gave the host's status bar.
#pragma once

#include <cstdint>
#include <cstdio>

namespace objseq {

// Draws a bar redrawn in place on a terminal; prints nothing when the stream is no terminal (no
// control characters end up in logs). Not thread-safe; `out` must outlive the display.
class ProgressDisplay {
 public:
  ProgressDisplay(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}
  ~ProgressDisplay() { Finish(); }
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // Shows `percent` (clamped to 0..100) and the number of frames written so far.
  void Show(int32_t percent, int64_t frames);
  // Ends the bar's line, once; nothing when no bar was drawn.
  void Finish();

 private:
  std::FILE* out_;
  bool terminal_;
  bool drawn_ = false;
};

}  // namespace objseq
