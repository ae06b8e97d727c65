// Feeds the formatter doubles, widened floats and 32-bit integers taken from the input bytes and
// aborts on the first text that differs from the C runtime's "%f" / "%i" in the "C" locale.
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "obj_format.h"

namespace {

void Fail(const char* what, const void* value, size_t size, const char* ours, size_t ours_size,
          const char* ref) {
  uint64_t bits = 0;
  std::memcpy(&bits, value, size);
  std::fprintf(stderr, "%s mismatch for bits 0x%llx: ours \"%.*s\", reference \"%s\"\n", what,
               static_cast<unsigned long long>(bits), static_cast<int>(ours_size), ours, ref);
  std::abort();
}

void CheckFixed6(double v, const char* what) {
  char ref[400];
  const int n = std::snprintf(ref, sizeof ref, "%f", v);
  char ours[kObjMaxFixed6Chars];  // exact bound: an overrun is an ASan report
  const size_t size = static_cast<size_t>(ObjFormatFixed6(v, ours) - ours);
  if (n < 0 || size != static_cast<size_t>(n) || std::memcmp(ours, ref, size) != 0) {
    Fail(what, &v, sizeof v, ours, size, ref);
  }
}

void CheckInt32(int32_t v) {
  char ref[32];
  const int n = std::snprintf(ref, sizeof ref, "%i", v);
  char ours[kObjMaxInt32Chars];
  const size_t size = static_cast<size_t>(ObjFormatInt32(v, ours) - ours);
  if (n < 0 || size != static_cast<size_t>(n) || std::memcmp(ours, ref, size) != 0) {
    Fail("int32", &v, sizeof v, ours, size, ref);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  unsigned char bytes[8] = {};  // shorter inputs are zero-padded
  std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
  double d;
  std::memcpy(&d, bytes, sizeof d);
  CheckFixed6(d, "double");
  float f;
  std::memcpy(&f, bytes, sizeof f);
  CheckFixed6(static_cast<double>(f), "float");
  int32_t i;
  std::memcpy(&i, bytes, sizeof i);
  CheckInt32(i);
  return 0;
}
