// Reference texts for the formatter tests: the C runtime's "%f" / "%i" and the standard library's
// fixed-precision to_chars, next to the formatter's own output. Not thread-safe (one buffer per
// object); the process must be in the "C" locale with round-to-nearest for the references to hold.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "obj_format.h"

namespace quor_test {

inline std::string PrintfFixed6(double v) {
  char buf[400];
  const int n = std::snprintf(buf, sizeof buf, "%f", v);
  return std::string(buf, static_cast<size_t>(n));
}

inline std::string ToCharsFixed6(double v) {
  char buf[400];
  const auto result = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
  return std::string(buf, result.ptr);
}

inline std::string PrintfInt32(int32_t v) {
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%i", v);
  return std::string(buf, static_cast<size_t>(n));
}

// Formats into heap buffers of exactly the documented size, so that the sanitizer build reports
// any byte written past the bound.
class ExactBuffers {
 public:
  std::string Fixed6(double v) {
    char* end = ObjFormatFixed6(v, fixed6_.data());
    return std::string(fixed6_.data(), end);
  }
  std::string Int32(int32_t v) {
    char* end = ObjFormatInt32(v, int32_.data());
    return std::string(int32_.data(), end);
  }

 private:
  std::vector<char> fixed6_ = std::vector<char>(kObjMaxFixed6Chars);
  std::vector<char> int32_ = std::vector<char>(kObjMaxInt32Chars);
};

}  // namespace quor_test
