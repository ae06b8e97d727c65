// Layouts of the plain values the host reads and writes in plug-in storage.
#pragma once

#include <cstdint>
#include <cstring>

namespace quorhost {

inline constexpr int32_t kDataEmpty = 0;
inline constexpr int32_t kDataLong = 15;
inline constexpr int32_t kDataTime = 22;
inline constexpr size_t kGeDataSize = 24;
inline constexpr size_t kGeDataValueOffset = 8;

// GeData: i32 type at 0, the value (16 bytes) at 8.
inline int32_t DataType(const void* d) {
  int32_t type;
  std::memcpy(&type, d, sizeof type);
  return type;
}
inline void SetDataEmpty(void* d) { std::memset(d, 0, kGeDataSize); }

// BaseTime: Real numerator, Real denominator, Real double in R12 and float in R11_5.
template <class Real>
void WriteTime(void* at, double num, double den) {
  Real v[2] = {static_cast<Real>(num), static_cast<Real>(den)};
  std::memcpy(at, v, sizeof v);
}
template <class Real>
void ReadTime(const void* at, double* num, double* den) {
  Real v[2];
  std::memcpy(v, at, sizeof v);
  *num = v[0];
  *den = v[1];
}

// DescID storage (32 bytes): a magic while initialised, then the level's id.
inline constexpr uint64_t kDescIdMagic = 0x5144455343494421ULL;  // "QDESCID!"
struct DescIdCell {
  uint64_t magic;
  int32_t id, data_type, creator, unused;
};
static_assert(sizeof(DescIdCell) <= 32);

// BaseContainer storage (16 bytes): a magic while initialised; the values live in the host.
inline constexpr uint64_t kContainerMagic = 0x51434f4e5441494eULL;  // "QCONTAIN"

}  // namespace quorhost
