// String: a value class whose storage is the plug-in's and whose contents are the host's.
#pragma once

#include "c4d_generation.h"

#if QUOR_GEN12
enum STRINGENCODING { STRINGENCODING_XBIT = 0, STRINGENCODING_UTF8 = 2 };
#else
enum StringEncoding { StringEncodingXBit = 0, StringEncodingUTF8 = 2 };
typedef StringEncoding STRINGENCODING;
#endif

class Filename;

class String {
 public:
  // An empty string. Needs a bound host table.
  String();
  // The zero-terminated `text` in `encoding` (the plug-in passes 0 everywhere).
  explicit String(const char* text, STRINGENCODING encoding = STRINGENCODING(0));
  ~String();
  String(const String&) = delete;
  String& operator=(const String&) = delete;

  Int32 GetLength() const;
  // True when the string is not empty.
  Bool Content() const { return GetLength() != 0; }
#if QUOR_GEN12
  // Inserts [start, end] of `other` at `pos`; -1, -1 inserts all of it.
  void Insert(Int32 pos, const String& other, Int32 start = -1, Int32 end = -1);
#else
  void Insert(Int32 pos, const String& other);
  // Copies this string into `destination`, which must be initialised.
  void CopyTo(String* destination) const;
#endif
  // Appends `other`; returns this string.
  String& operator+=(const String& other);

 private:
  friend class Filename;
  struct PathOf {};
  // Generation 11.5: starts empty, then takes a copy of the host-owned path string of `f`
  // (when the host gives one) and releases it.
  String(PathOf, const Filename* f);

  alignas(8) unsigned char storage_[16];
};

#if !QUOR_GEN12
// Releases a host-owned string, when not null, and sets the caller's pointer to null.
void FreeString(String*& s);
#endif
