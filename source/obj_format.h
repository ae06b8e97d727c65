// Locale-free number formatting for the OBJ text: the exact output of "%f" and "%i" in the "C"
// locale, without the C runtime's formatted printing. Pure functions, no heap, no global state:
// safe to call from any thread.
#ifndef QUOR_OBJ_FORMAT_H_
#define QUOR_OBJ_FORMAT_H_

#include <cstdint>

// Longest text of ObjFormatFixed6: "-" + 309 integer digits of -DBL_MAX + "." + 6 decimals.
constexpr int kObjMaxFixed6Chars = 317;

// Longest text of ObjFormatInt32: "-2147483648".
constexpr int kObjMaxInt32Chars = 11;

// Writes v as "%f" prints it in the "C" locale: exactly six decimals rounded half to even from the
// exact binary value, "-" for every value with the sign bit set (-0.0 and negatives that round to
// zero included), never an exponent. Infinities are "inf" / "-inf", NaNs "nan" / "-nan" by sign
// bit. Ignores the locale and the floating-point rounding mode. Writes no terminating zero.
// `out` must not be null and must have room for kObjMaxFixed6Chars bytes; returns the end of the
// written text.
char* ObjFormatFixed6(double v, char* out);

// Writes v as "%i" prints it: decimal digits, '-' first when negative (INT32_MIN included), no
// padding. Writes no terminating zero. `out` must not be null and must have room for
// kObjMaxInt32Chars bytes; returns the end of the written text.
char* ObjFormatInt32(int32_t v, char* out);

#endif  // QUOR_OBJ_FORMAT_H_
