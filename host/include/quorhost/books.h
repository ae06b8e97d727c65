// The host's books: what is still alive and what went wrong, checked after every test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorhost {

struct LeakedBlock {
  std::string file;  // the source file the plug-in passed, or "" for none
  int32_t line = 0;
  int64_t size = 0;
};

// A failed file operation: the path, the host error code (-1 open, -2 close, -4 write), the
// operating system's errno (0 for an injected fault) and its text.
struct FileFailure {
  std::string path;
  int32_t code = 0;
  int error_number = 0;
  std::string reason;
};

// A snapshot taken by Host::Books().
struct Books {
  int64_t live_blocks = 0;
  int64_t live_bytes = 0;
  std::vector<LeakedBlock> leaks;  // one per live block, ordered by file, then line
  int64_t live_documents = 0;
  int64_t free_objects = 0;  // live objects that are not part of any document
  int64_t live_arrays = 0;
  int64_t live_files = 0;  // file handles not yet freed
  int64_t open_files = 0;
  int64_t live_resources = 0;
  int64_t live_values = 0;  // String/Filename values initialised and not yet released
  std::vector<FileFailure> close_failures;  // failures while Free flushed or closed a file
  std::vector<std::string> stray_releases;  // releases of things the host never handed out
  std::vector<std::string> faults;          // other contract violations seen by the host

  // True when nothing is alive and nothing went wrong.
  bool Clean() const;
  // A readable list of everything that makes the books unclean ("" when clean).
  std::string Describe() const;
};

}  // namespace quorhost
