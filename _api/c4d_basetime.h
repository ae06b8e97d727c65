// BaseTime: a time as numerator over denominator seconds, in the generation's real type.
#pragma once

#include "c4d_generation.h"

class BaseTime {
 public:
  BaseTime() : numerator_(0), denominator_(1) {}

#if QUOR_GEN12
  void SetNumerator(Real n) { numerator_ = n; }
#else
  void SetNominator(Real n) { numerator_ = n; }
#endif
  // Generation 12 stores 1 in place of a value below 1 and reports it to the host's debug break;
  // generation 11.5 stores any value.
  void SetDenominator(Real d);

  Real GetNumerator() const { return numerator_; }
  Real GetDenominator() const { return denominator_; }

  // The frame of this time at `fps`: trunc(floor(numerator * fps) / floor(denominator)).
  // A result outside the 32-bit range gives the nearest 32-bit frame; not-a-number gives 0.
  Int32 GetFrame(Real fps) const;

 private:
  Real numerator_;
  Real denominator_;
};
