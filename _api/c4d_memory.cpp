#include "c4d_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "c4d_general.h"
#include "c4d_platform.h"
#include "operatingsystem.h"

Int32 stdlib_mem_used = 0;

namespace {

constexpr uintptr_t kRuntimeMarker = ~uintptr_t(0);

// One block of at least one byte, from the host when it is bound, else from the C runtime with
// the marker word in front.
void* Allocate(size_t size, bool clear, Int32 line, const char* file) {
  if (size == 0) size = 1;
  if (!t_C4DOS) {
    if (size > SIZE_MAX - sizeof(uintptr_t)) return nullptr;
    void* raw = clear ? std::calloc(1, size + sizeof(uintptr_t))
                      : std::malloc(size + sizeof(uintptr_t));
    if (!raw) return nullptr;
    *static_cast<uintptr_t*>(raw) = kRuntimeMarker;
    stdlib_mem_used = 1;
    return static_cast<uintptr_t*>(raw) + 1;
  }
  if (size > size_t(INT64_MAX)) return nullptr;
  auto alloc = clear ? t_C4DOS->General->AllocCleared : t_C4DOS->General->AllocNoClear;
  return platform::Opaque(alloc(Int64(size), line, file));
}

void* AllocateArray(size_t size, bool clear, Int32 line, const char* file, Int32 report_line) {
  void* block = Allocate(size, clear, line, file);
  if (platform::kReportMisalignedArrays && t_C4DOS &&
      (reinterpret_cast<uintptr_t>(block) & 15) != 0) {
    _GeDebugBreak(report_line, __FILE__);
  }
  return block;
}

void Release(void* p) {
  if (!p) return;
  uintptr_t* word_before = static_cast<uintptr_t*>(p) - 1;
  if (stdlib_mem_used == 1 && *word_before == kRuntimeMarker) {
    std::free(word_before);
    return;
  }
  t_C4DOS->General->Free(p);
}

}  // namespace

void* operator new(size_t size, const std::nothrow_t&, int line, const char* file) noexcept {
  return Allocate(size, true, line, file);
}

void* operator new[](size_t size, const std::nothrow_t&, int line, const char* file) noexcept {
  return AllocateArray(size, true, line, file, gen::kArrayAlignLine);
}

void* operator new(size_t size, const std::nothrow_t&, int line, const char* file,
                   int clear) noexcept {
  return Allocate(size, clear != 0, line, file);
}

void* operator new[](size_t size, const std::nothrow_t&, int line, const char* file,
                     int clear) noexcept {
  return AllocateArray(size, clear != 0, line, file, gen::kArrayAlignClearLine);
}

void operator delete(void* p, const std::nothrow_t&, int, const char*) noexcept {
  t_C4DOS->General->Free(p);
}
void operator delete[](void* p, const std::nothrow_t&, int, const char*) noexcept {
  t_C4DOS->General->Free(p);
}
void operator delete(void* p, const std::nothrow_t&, int, const char*, int) noexcept {
  t_C4DOS->General->Free(p);
}
void operator delete[](void* p, const std::nothrow_t&, int, const char*, int) noexcept {
  t_C4DOS->General->Free(p);
}

// The replaceable forms. The plug-in library exports none of them, so they serve the plug-in's
// own code only and never the host process's. They return null instead of throwing.
void* operator new(size_t size) { return Allocate(size, true, 0, nullptr); }
void* operator new[](size_t size) { return Allocate(size, true, 0, nullptr); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size, true, 0, nullptr);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size, true, 0, nullptr);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

void ClearMem(void* data, Int64 count, Int32 value) {
  std::memset(data, value & 0xff, size_t(count));
}
