// Exact "%f" / "%i" text from integer arithmetic only, so neither the locale nor the
// floating-point rounding mode can change a byte. A double is m * 2^e with m < 2^53:
//  - e < 0: the integer part fits 53 bits, and the fraction f / 2^k times 10^6 fits 73 bits,
//    so a 128-bit product held in two 64-bit halves gives the exact six decimals and remainder;
//  - 0 <= e <= 11: the value is an integer below 2^64;
//  - e > 11: the value is an integer of up to 1024 bits, printed from a stack big integer.
#include "obj_format.h"

#include <cstring>

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr uint64_t kMantissaMask = (uint64_t{1} << 52) - 1;
constexpr uint32_t kMillion = 1000000;
constexpr uint32_t kBillion = 1000000000;

inline char* WritePair(char* out, uint32_t v) {  // v < 100
  std::memcpy(out, kDigitPairs + 2 * v, 2);
  return out + 2;
}

inline char* WriteFour(char* out, uint32_t v) {  // v < 10^4, zero-padded
  out = WritePair(out, v / 100);
  return WritePair(out, v % 100);
}

inline char* WriteEight(char* out, uint32_t v) {  // v < 10^8, zero-padded
  out = WriteFour(out, v / 10000);
  return WriteFour(out, v % 10000);
}

inline char* WriteNine(char* out, uint32_t v) {  // v < 10^9, zero-padded
  *out++ = static_cast<char>('0' + v / 100000000);
  return WriteEight(out, v % 100000000);
}

inline char* WriteSix(char* out, uint32_t v) {  // v < 10^6, zero-padded
  out = WritePair(out, v / 10000);
  return WriteFour(out, v % 10000);
}

inline int CountDigits(uint32_t v) {
  int n = 1;
  for (uint32_t limit = 10; n < 10 && v >= limit; limit *= 10) ++n;
  return n;
}

// No leading zeros; "0" for zero.
char* WriteUint32(char* out, uint32_t v) {
  const int n = CountDigits(v);
  char* p = out + n;
  while (v >= 100) {
    p -= 2;
    WritePair(p, v % 100);
    v /= 100;
  }
  if (v >= 10) {
    WritePair(p - 2, v);
  } else {
    p[-1] = static_cast<char>('0' + v);
  }
  return out + n;
}

// Splits into 10^8 blocks so that most of the work is 32-bit division.
char* WriteUint64(char* out, uint64_t v) {
  if (v <= UINT32_MAX) return WriteUint32(out, static_cast<uint32_t>(v));
  const uint32_t low = static_cast<uint32_t>(v % 100000000);
  v /= 100000000;
  if (v <= UINT32_MAX) {
    out = WriteUint32(out, static_cast<uint32_t>(v));
    return WriteEight(out, low);
  }
  const uint32_t mid = static_cast<uint32_t>(v % 100000000);
  out = WriteUint32(out, static_cast<uint32_t>(v / 100000000));
  out = WriteEight(out, mid);
  return WriteEight(out, low);
}

inline char* WriteZeroDecimals(char* out) {
  std::memcpy(out, ".000000", 7);
  return out + 7;
}

// m * 2^e with 12 <= e <= 971 and m < 2^53: at most 1024 bits, at most 309 decimal digits.
char* WriteBigInteger(char* out, uint64_t m, int e) {
  constexpr int kLimbs = 33;   // limb index e / 32 + 2 <= 32
  constexpr int kChunks = 35;  // ceil(309 / 9)
  uint32_t limbs[kLimbs];
  const int word = e / 32;
  const int bit = e % 32;
  for (int i = 0; i < word; ++i) limbs[i] = 0;
  const uint32_t lo = static_cast<uint32_t>(m);
  const uint32_t hi = static_cast<uint32_t>(m >> 32);
  limbs[word] = lo << bit;
  limbs[word + 1] = bit == 0 ? hi : (hi << bit) | (lo >> (32 - bit));
  limbs[word + 2] = bit == 0 ? 0 : hi >> (32 - bit);
  int size = word + 3;
  while (size > 0 && limbs[size - 1] == 0) --size;

  // Base 10^9 digits, least significant first.
  uint32_t chunks[kChunks];
  int count = 0;
  while (size > 0) {
    uint64_t rem = 0;
    for (int i = size - 1; i >= 0; --i) {
      const uint64_t cur = (rem << 32) | limbs[i];
      limbs[i] = static_cast<uint32_t>(cur / kBillion);
      rem = cur % kBillion;
    }
    chunks[count++] = static_cast<uint32_t>(rem);
    while (size > 0 && limbs[size - 1] == 0) --size;
  }
  out = WriteUint32(out, chunks[count - 1]);
  for (int i = count - 2; i >= 0; --i) out = WriteNine(out, chunks[i]);
  return WriteZeroDecimals(out);
}

// Rounds f / 2^k (f < 2^k, f < 2^53, 1 <= k <= 73) to millionths, half to even. Returns 10^6 when
// the fraction rounds up to one.
uint32_t RoundMillionths(uint64_t f, int k) {
  // p = f * 10^6 as hi:lo; f's high half is below 2^21, so each partial product fits 64 bits.
  const uint64_t low_product = (f & 0xffffffffu) * kMillion;
  const uint64_t high_product = (f >> 32) * kMillion;
  const uint64_t lo = low_product + (high_product << 32);
  const uint64_t hi = (high_product >> 32) + (lo < low_product ? 1 : 0);

  uint64_t q;
  bool above_half;
  bool at_half;
  if (k < 64) {
    q = (lo >> k) | (hi << (64 - k));  // 1 <= k here
    const uint64_t rem = lo & ((uint64_t{1} << k) - 1);
    const uint64_t half = uint64_t{1} << (k - 1);
    above_half = rem > half;
    at_half = rem == half;
  } else if (k == 64) {
    q = hi;
    above_half = lo > (uint64_t{1} << 63);
    at_half = lo == (uint64_t{1} << 63);
  } else {
    const int s = k - 64;
    q = hi >> s;
    const uint64_t rem_hi = hi & ((uint64_t{1} << s) - 1);
    const uint64_t half_hi = uint64_t{1} << (s - 1);
    above_half = rem_hi > half_hi || (rem_hi == half_hi && lo != 0);
    at_half = rem_hi == half_hi && lo == 0;
  }
  if (above_half || (at_half && (q & 1) != 0)) ++q;
  return static_cast<uint32_t>(q);
}

}  // namespace

char* ObjFormatFixed6(double v, char* out) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  if ((bits >> 63) != 0) *out++ = '-';
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const uint64_t fraction_bits = bits & kMantissaMask;

  if (biased == 0x7ff) {
    std::memcpy(out, fraction_bits == 0 ? "inf" : "nan", 3);
    return out + 3;
  }
  // Subnormals are fraction_bits * 2^-1074, normals (2^52 + fraction_bits) * 2^(biased - 1075).
  const uint64_t m = biased == 0 ? fraction_bits : fraction_bits | (uint64_t{1} << 52);
  const int e = (biased == 0 ? 1 : biased) - 1075;

  if (e >= 0) {
    if (e > 11) return WriteBigInteger(out, m, e);
    out = WriteUint64(out, m << e);
    return WriteZeroDecimals(out);
  }

  const int k = -e;
  // From k = 74 on the value is below 2^53 / 2^74 = 2^-21 < 0.5e-6: it rounds to zero.
  if (k >= 74) {
    std::memcpy(out, "0.000000", 8);
    return out + 8;
  }
  uint64_t integer_part = k >= 64 ? 0 : m >> k;
  const uint64_t fraction = k >= 64 ? m : m & ((uint64_t{1} << k) - 1);
  uint32_t millionths = RoundMillionths(fraction, k);
  if (millionths == kMillion) {
    millionths = 0;
    ++integer_part;
  }
  out = WriteUint64(out, integer_part);
  *out++ = '.';
  return WriteSix(out, millionths);
}

char* ObjFormatInt32(int32_t v, char* out) {
  uint32_t magnitude = static_cast<uint32_t>(v);
  if (v < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;
  }
  return WriteUint32(out, magnitude);
}
