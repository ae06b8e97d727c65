// The host's allocator: malloc'd blocks with a header (magic, size, line, file) and books of
// every live block.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "quorhost/books.h"

namespace quorhost {

class MemoryBooks {
 public:
  MemoryBooks() = default;
  MemoryBooks(const MemoryBooks&) = delete;
  MemoryBooks& operator=(const MemoryBooks&) = delete;
  ~MemoryBooks();

  // A block of `size` bytes (at least 1), zero-filled when `clear`; null when size is negative
  // or malloc fails. `file` may be null; its text is kept, not the pointer.
  void* Allocate(int64_t size, bool clear, int32_t line, const char* file);
  // Gives a block back. False, touching nothing, for an address the host never gave out (or
  // gave out and took back already). A block whose header was overwritten is freed and
  // reported through `corrupted`.
  bool Release(void* block, bool* corrupted);

  int64_t live_blocks() const { return static_cast<int64_t>(live_.size()); }
  int64_t live_bytes() const { return live_bytes_; }
  std::vector<LeakedBlock> Leaks() const;

 private:
  const std::string* Intern(const char* file);

  std::unordered_map<void*, int64_t> live_;  // block -> size
  int64_t live_bytes_ = 0;
  std::unordered_set<std::string> names_;
  std::unordered_map<const char*, const std::string*> name_cache_;
};

}  // namespace quorhost
