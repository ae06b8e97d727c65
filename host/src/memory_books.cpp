#include "memory_books.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quorhost {
namespace {

constexpr uint64_t kBlockMagic = 0x51484f53544d454dULL;  // "QHOSTMEM"

// Keeps the block after it aligned as malloc aligns.
struct alignas(16) BlockHeader {
  uint64_t magic;
  int64_t size;
  const std::string* file;
  int32_t line;
};
static_assert(sizeof(BlockHeader) == 32);

BlockHeader* HeaderOf(void* block) { return static_cast<BlockHeader*>(block) - 1; }

}  // namespace

MemoryBooks::~MemoryBooks() {
  for (auto& [block, size] : live_) std::free(HeaderOf(block));
}

const std::string* MemoryBooks::Intern(const char* file) {
  if (file == nullptr) return nullptr;
  auto cached = name_cache_.find(file);
  // The same address may hold other text after a plug-in was unloaded and another loaded.
  if (cached != name_cache_.end() && *cached->second == file) return cached->second;
  const std::string* name = &*names_.insert(file).first;
  name_cache_[file] = name;
  return name;
}

void* MemoryBooks::Allocate(int64_t size, bool clear, int32_t line, const char* file) {
  if (size < 0) return nullptr;
  if (size == 0) size = 1;
  if (static_cast<uint64_t>(size) > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  size_t total = sizeof(BlockHeader) + static_cast<size_t>(size);
  void* raw = clear ? std::calloc(1, total) : std::malloc(total);
  if (raw == nullptr) return nullptr;
  auto* header = static_cast<BlockHeader*>(raw);
  header->magic = kBlockMagic;
  header->size = size;
  header->file = Intern(file);
  header->line = line;
  void* block = header + 1;
  live_.emplace(block, size);
  live_bytes_ += size;
  return block;
}

bool MemoryBooks::Release(void* block, bool* corrupted) {
  *corrupted = false;
  auto it = live_.find(block);
  if (it == live_.end()) return false;
  BlockHeader* header = HeaderOf(block);
  if (header->magic != kBlockMagic) *corrupted = true;
  live_bytes_ -= it->second;
  header->magic = 0;
  live_.erase(it);
  std::free(header);
  return true;
}

std::vector<LeakedBlock> MemoryBooks::Leaks() const {
  std::vector<LeakedBlock> leaks;
  leaks.reserve(live_.size());
  for (auto& [block, size] : live_) {
    const BlockHeader* header = HeaderOf(block);
    leaks.push_back({header->file ? *header->file : std::string(), header->line, size});
  }
  std::sort(leaks.begin(), leaks.end(), [](const LeakedBlock& a, const LeakedBlock& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  return leaks;
}

}  // namespace quorhost
