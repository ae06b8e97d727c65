// The plug-in's memory: every block comes from the host's allocator once the host table is bound,
// from the C runtime before that (marked, so that it goes back there when released). No form
// throws: every form returns null on failure and every caller tests for it.
#pragma once

#include <cstddef>
#include <new>

#include "c4d_generation.h"

// 1 once a block was taken from the C runtime; never reset.
extern Int32 stdlib_mem_used;

// Placement allocation forms passing the allocating source line and file to the host's books.
// Cleared blocks. Null on failure.
void* operator new(size_t size, const std::nothrow_t&, int line, const char* file) noexcept;
void* operator new[](size_t size, const std::nothrow_t&, int line, const char* file) noexcept;
// Cleared when `clear` is not 0.
void* operator new(size_t size, const std::nothrow_t&, int line, const char* file,
                   int clear) noexcept;
void* operator new[](size_t size, const std::nothrow_t&, int line, const char* file,
                     int clear) noexcept;
// Matching release forms: hand the block to the host without any test.
void operator delete(void* p, const std::nothrow_t&, int line, const char* file) noexcept;
void operator delete[](void* p, const std::nothrow_t&, int line, const char* file) noexcept;
void operator delete(void* p, const std::nothrow_t&, int line, const char* file, int clear) noexcept;
void operator delete[](void* p, const std::nothrow_t&, int line, const char* file,
                       int clear) noexcept;

// A new T with the allocating site's line and file; null when memory is exhausted.
#define NewObj(T) new (std::nothrow, __LINE__, __FILE__) T()

// Fills `count` bytes at `data` with the low 8 bits of `value`.
void ClearMem(void* data, Int64 count, Int32 value = 0);
