// The one place of the plug-in that knows the platform's C++ ABI conventions.
// Linux x86-64 and macOS x86-64 follow the Itanium ABI: a member entry of a host table is the
// native two-word pointer to member, class results come back through the caller's storage, and
// the node-plug-in record is laid out in cells as wide as a member pointer (16 bytes).
#pragma once

#include <cstddef>

// Marks the one function the plug-in library exports.
#define QUOR_EXPORT __attribute__((visibility("default")))

namespace platform {

struct AnyClass;
// Width of one cell of the node-plug-in record: the width of a native member pointer.
constexpr size_t kRecordCell = sizeof(void (AnyClass::*)());
constexpr size_t kRecordCells = 72;
constexpr size_t kSceneSaverRecordSize = kRecordCell * kRecordCells;

// Itanium builds report array blocks from the host that are not 16-byte aligned.
constexpr bool kReportMisalignedArrays = true;

// The progress percentage is 100 * q in single precision here (the Windows x86 build multiplies
// in double precision).
constexpr bool kProgressInDouble = false;

// Hides a pointer's origin from the optimiser, so a test of it for null is kept even where the
// language lets the compiler assume non-null (`this`, results of `operator new`).
template <class T>
inline T* Opaque(T* p) {
  __asm__("" : "+r"(p));
  return p;
}

}  // namespace platform
