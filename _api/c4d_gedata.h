// GeData: a host data value. The type and the first word of the value are known to both sides
// (an empty value is type 0 with the integer 0); everything else is the host's.
#pragma once

#include "c4d_basetime.h"
#include "c4d_generation.h"

class GeData {
 public:
  // An empty value; no host call.
  GeData() : type_(0), reserved_(0) { value_.integer = 0; }
  // A value holding `time`.
  explicit GeData(const BaseTime& time);
  ~GeData();
  GeData(const GeData&) = delete;
  GeData& operator=(const GeData&) = delete;

  Int32 GetLong() const;
  // The time held by the value; valid while the value lives.
  const BaseTime& GetTime() const;

 private:
  Int32 type_;
  Int32 reserved_;
  union {
    Int32 integer;
    unsigned char bytes[16];
  } value_;
};
static_assert(sizeof(GeData) == 24, "GeData storage");
