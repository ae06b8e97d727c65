// Comparison helpers shared by the scene tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ostream>
#include <vector>

#include "quorhost/scene.h"

namespace quorhost {

inline std::ostream& operator<<(std::ostream& out, const Vec3& v) {
  return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

// Bit-exact equality (so 0 and -0 differ, as they do in printed OBJ coordinates).
inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline bool SameBits(const Vec3& a, const Vec3& b) {
  return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}

inline bool SameBits(const Mat4& a, const Mat4& b) {
  return SameBits(a.t, b.t) && SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}

inline bool SameBits(const std::vector<Vec3>& a, const std::vector<Vec3>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!SameBits(a[i], b[i])) return false;
  }
  return true;
}

inline bool Near(const Vec3& a, const Vec3& b, double tolerance) {
  return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance &&
         std::abs(a.z - b.z) <= tolerance;
}

inline bool operator==(const Poly& a, const Poly& b) {
  return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d;
}

inline std::ostream& operator<<(std::ostream& out, const Poly& p) {
  return out << "{" << p.a << ", " << p.b << ", " << p.c << ", " << p.d << "}";
}

}  // namespace quorhost
