#include "c4d_gedata.h"

#include <cstring>

#include "operatingsystem.h"

GeData::GeData(const BaseTime& time) : type_(0), reserved_(0) {
  std::memset(value_.bytes, 0, sizeof value_.bytes);
  t_C4DOS->Gd->SetTime(this, &time);
}

GeData::~GeData() { t_C4DOS->Gd->Free(this); }

Int32 GeData::GetLong() const { return t_C4DOS->Gd->GetLong(this); }

const BaseTime& GeData::GetTime() const { return *t_C4DOS->Gd->GetTime(this); }
