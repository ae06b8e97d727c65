#include "c4d_string.h"

#include "operatingsystem.h"

String::String() { t_C4DOS->St->Init(this); }

String::String(const char* text, STRINGENCODING encoding) {
  t_C4DOS->St->Init(this);
  t_C4DOS->St->InitCString(this, text, -1, Int32(encoding));
}

String::~String() { t_C4DOS->St->Flush(this); }

#if QUOR_GEN12

Int32 String::GetLength() const { return (this->*(t_C4DOS->St->GetLength))(); }

void String::Insert(Int32 pos, const String& other, Int32 start, Int32 end) {
  (this->*(t_C4DOS->St->Insert))(pos, other, start, end);
}

String& String::operator+=(const String& other) {
  Insert(GetLength(), other, -1, -1);
  return *this;
}

#else

Int32 String::GetLength() const { return t_C4DOS->St->GetLength(this); }

void String::Insert(Int32 pos, const String& other) { t_C4DOS->St->Insert(this, pos, &other); }

void String::CopyTo(String* destination) const { t_C4DOS->St->CopyTo(this, destination); }

String& String::operator+=(const String& other) {
  Insert(GetLength(), other);
  return *this;
}

String::String(PathOf, const Filename* f) {
  t_C4DOS->St->Init(this);
  String* owned = t_C4DOS->Fn->GetString(f);
  if (owned) {
    owned->CopyTo(this);
    FreeString(owned);
  }
}

void FreeString(String*& s) {
  if (s) t_C4DOS->St->FreeString(s);
  s = nullptr;
}

#endif
