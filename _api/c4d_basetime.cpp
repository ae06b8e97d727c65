#include "c4d_basetime.h"

#include <cmath>
#include <cstdint>

#include "c4d_general.h"

void BaseTime::SetDenominator(Real d) {
#if QUOR_GEN12
  if (d < 1) {
    _GeDebugBreak(44, __FILE__);
    d = 1;
  }
#endif
  denominator_ = d;
}

Int32 BaseTime::GetFrame(Real fps) const {
  const Real product = numerator_ * fps;  // in the generation's precision
  const Real frames = Real(std::floor(product)) / Real(std::floor(denominator_));
  if (std::isnan(frames)) return 0;
  if (frames >= Real(INT32_MAX)) return INT32_MAX;
  if (frames <= Real(INT32_MIN)) return INT32_MIN;
  return Int32(frames);
}
