#include "progress_display.h"

#include <string>

namespace objseq {
namespace {
constexpr int kBarWidth = 40;
}  // namespace

void ProgressDisplay::Show(int32_t percent, int64_t frames) {
  if (!terminal_) return;
  const int32_t shown = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  const int filled = shown * kBarWidth / 100;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kBarWidth - filled), '-');
  // Carriage return and erase-line redraw the bar in place.
  std::fprintf(out_, "\r\033[K[%s] %3d%%  %lld frame%s", bar.c_str(), static_cast<int>(shown),
               static_cast<long long>(frames), frames == 1 ? "" : "s");
  std::fflush(out_);
  drawn_ = true;
}

void ProgressDisplay::Finish() {
  if (!drawn_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
  drawn_ = false;
}

}  // namespace objseq
