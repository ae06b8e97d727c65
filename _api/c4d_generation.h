// The one place where the two host SDK generations differ in constants and types.
// QUOR_GENERATION is 12 (release 12) or 115 (release 11.5); the build sets it per target.
#pragma once

#include <cstdint>

#ifndef QUOR_GENERATION
#error "QUOR_GENERATION must be defined to 12 or 115"
#endif
#if QUOR_GENERATION != 12 && QUOR_GENERATION != 115
#error "QUOR_GENERATION must be 12 or 115"
#endif

typedef int32_t Int32;
typedef uint32_t UInt32;
typedef int64_t Int64;
typedef intptr_t Int;  // pointer-sized signed integer
typedef int Bool;      // the host's truth value: a 32-bit integer, 0 or 1
typedef char Char;

#define QUOR_GEN12 (QUOR_GENERATION == 12)

namespace gen {

#if QUOR_GEN12
typedef double Real;
constexpr Int32 kApiVersion = 12000;       // passed to GeRegisterPlugin; lowest host accepted
constexpr Int32 kInterfaceAnswer = 5;      // c4d_main action 4
constexpr Int32 kSceneSaverType = 16;      // plug-in type code of a scene saver
constexpr Int32 kPathStorageLine = 109;    // allocation line of the stored plug-in path
constexpr Int32 kArrayAlignLine = 198;     // misaligned array report, form without clear
constexpr Int32 kArrayAlignClearLine = 218;
constexpr Int32 kNodeDataReservedWords = 1;
#define QUOR_HEADER_TEXT "#OBJ File Created by Quorvan OBJ Sequence Exporter for C4D R12"
#else
typedef float Real;
constexpr Int32 kApiVersion = 11500;
constexpr Int32 kInterfaceAnswer = 3;
constexpr Int32 kSceneSaverType = 25;
constexpr Int32 kPathStorageLine = 103;
constexpr Int32 kArrayAlignLine = 220;
constexpr Int32 kArrayAlignClearLine = 240;
constexpr Int32 kNodeDataReservedWords = 2;
#define QUOR_HEADER_TEXT "#OBJ File Created by Quorvan OBJ Sequence Exporter for C4D R11.5"
#endif

}  // namespace gen

typedef gen::Real Real;
