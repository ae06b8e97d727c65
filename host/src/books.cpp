#include "quorhost/books.h"

namespace quorhost {

bool Books::Clean() const {
  return live_blocks == 0 && live_documents == 0 && free_objects == 0 && live_arrays == 0 &&
         live_files == 0 && open_files == 0 && live_resources == 0 && live_values == 0 &&
         close_failures.empty() && stray_releases.empty() && faults.empty();
}

std::string Books::Describe() const {
  std::string s;
  auto count = [&](const char* what, int64_t n) {
    if (n) s += std::string(what) + ": " + std::to_string(n) + "\n";
  };
  count("live blocks", live_blocks);
  for (const LeakedBlock& l : leaks)
    s += "  leaked " + std::to_string(l.size) + " bytes from " + (l.file.empty() ? "?" : l.file) +
         ":" + std::to_string(l.line) + "\n";
  count("live documents", live_documents);
  count("live objects outside documents", free_objects);
  count("live arrays", live_arrays);
  count("live files", live_files);
  count("open files", open_files);
  count("live resources", live_resources);
  count("live String/Filename/BaseContainer values", live_values);
  for (const FileFailure& f : close_failures)
    s += "close failure " + std::to_string(f.code) + " on " + f.path + ": " + f.reason + "\n";
  for (const std::string& r : stray_releases) s += "stray release: " + r + "\n";
  for (const std::string& f : faults) s += "fault: " + f + "\n";
  return s;
}

}  // namespace quorhost
