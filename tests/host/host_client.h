// A plug-in's view of the host tables, written from docs/host-abi.md alone: root slots, entry
// positions and kinds per generation, and how plain and member entries are invoked. Shared by
// the self-check tests and the test plug-in; it must never be derived from the host's sources.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace hostabi {

enum class Table {
  General,
  Container,
  String,
  Filename,
  File,
  Resource,
  ListElement,
  Object,
  Document,
  Data,
  Atom
};

inline int RootSlot(Table t, bool r12) {
  switch (t) {
    case Table::General:
      return 1;
    case Table::Container:
      return 4;
    case Table::String:
      return 5;
    case Table::Filename:
      return 9;
    case Table::File:
      return 10;
    case Table::Resource:
      return 15;
    case Table::ListElement:
      return 16;
    case Table::Object:
      return 18;
    case Table::Document:
      return 19;
    case Table::Data:
      return r12 ? 33 : 38;
    case Table::Atom:
      return r12 ? 34 : 39;
  }
  return 0;
}

// Positions marked "m" in host-abi.md; every other position is one plain 8-byte word.
inline bool IsMember(Table t, int pos, bool r12) {
  auto in = [pos](std::initializer_list<int> list) {
    for (int p : list)
      if (p == pos) return true;
    return false;
  };
  switch (t) {
    case Table::Container:
      return r12 && in({5, 7, 12});
    case Table::String:
      return r12 && in({15, 19});
    case Table::File:
      return r12 && in({4, 8, 12, 14});
    case Table::Object:
      return r12 && in({9});
    case Table::Document:
      return in({r12 ? 82 : 100});
    case Table::Atom:
      return in({1, 2, 7, 8, 10, 13, 15, r12 ? 37 : 38});
    default:
      return false;
  }
}

inline size_t ByteOffset(Table t, int pos, bool r12) {
  size_t offset = 0;
  for (int k = 0; k < pos; ++k) offset += IsMember(t, k, r12) ? 16 : 8;
  return offset;
}

struct Member {
  uint64_t code;
  int64_t adjustment;
};

class Client {
 public:
  Client(void* root, bool r12) : root_(static_cast<char*>(root)), r12_(r12) {}
  bool r12() const { return r12_; }
  void* root() const { return root_; }

  int32_t Version() const {
    int32_t v;
    std::memcpy(&v, root_, sizeof v);
    return v;
  }
  char* Sub(Table t) const { return reinterpret_cast<char**>(root_)[RootSlot(t, r12_)]; }
  uint64_t Word(Table t, int pos, int word = 0) const {
    uint64_t w;
    std::memcpy(&w, Sub(t) + ByteOffset(t, pos, r12_) + 8 * word, sizeof w);
    return w;
  }
  Member MemberAt(Table t, int pos) const {
    return {Word(t, pos, 0), static_cast<int64_t>(Word(t, pos, 1))};
  }

  template <class R, class... A>
  R Plain(Table t, int pos, A... args) const {
    return reinterpret_cast<R (*)(A...)>(Word(t, pos))(args...);
  }

  // As the Itanium ABI calls a pointer to member function, virtual or not.
  // The receiver's pointer type is a template parameter so that raw storage handed to an
  // initialising entry is not taken for a read of uninitialised memory.
  template <class R, class T, class... A>
  R Call(Table t, int pos, T* receiver, A... args) const {
    Member m = MemberAt(t, pos);
    char* self = const_cast<char*>(reinterpret_cast<const char*>(receiver)) + m.adjustment;
    void* fn = reinterpret_cast<void*>(m.code);
    if (m.code & 1) fn = *reinterpret_cast<void**>(*reinterpret_cast<char**>(self) + (m.code - 1));
    return reinterpret_cast<R (*)(void*, A...)>(fn)(self, args...);
  }

  // An entry that is plain in one generation and a member in the other.
  template <class R, class T, class... A>
  R Op(Table t, int pos12, int pos115, T* object, A... args) const {
    int pos = r12_ ? pos12 : pos115;
    if (IsMember(t, pos, r12_)) return Call<R>(t, pos, object, args...);
    return Plain<R>(t, pos, object, args...);
  }

  // --- strings (16-byte storage) ---
  void StringInit(void* s) const { Op<void>(Table::String, 2, 24, s); }
  void StringSet(void* s, const char* text, int32_t length = -1) const {
    Op<void>(Table::String, 4, 25, s, text, length, int32_t{0});
  }
  void StringRelease(void* s) const { Op<void>(Table::String, 6, 27, s); }
  int32_t StringLength(const void* s) const { return Op<int32_t>(Table::String, 15, 6, s); }
  void StringInsert(void* s, int32_t pos, const void* other) const {
    if (r12_)
      Call<void>(Table::String, 19, s, pos, other, int32_t{-1}, int32_t{-1});
    else
      Plain<void>(Table::String, 12, s, pos, other);
  }
  const void* EmptyString() const { return reinterpret_cast<const void*>(Word(Table::String, 0)); }

  // --- file names (32 bytes in R12 with the embedded String, 16 in R11_5) ---
  void FilenameInit(void* f) const {
    if (r12_) StringInit(f);
    Plain<void>(Table::Filename, 17, f);
  }
  void FilenameRelease(void* f) const {
    Plain<void>(Table::Filename, 18, f);
    if (r12_) StringRelease(f);
  }
  void FilenameSet(void* f, const void* s) const { Plain<void>(Table::Filename, 7, f, s); }
  void FilenameClearSuffix(void* f) const { Plain<void>(Table::Filename, 10, f); }
  void FilenameCopy(const void* from, void* to) const {
    Plain<void>(Table::Filename, 19, from, to);
  }

  // --- files ---
  void* FileAlloc() const { return Plain<void*>(Table::File, 0); }
  void FileFree(void* f) const { Plain<void>(Table::File, 1, f); }
  int32_t FileOpen(void* file, const void* name) const {
    return Op<int32_t>(Table::File, 4, 2, file, name, int32_t{2}, int32_t{0}, int32_t{2},
                       int32_t{0x43344443}, int32_t{0x43344431});
  }
  int32_t FileWrite(void* file, const void* data, int64_t count) const {
    return Op<int32_t>(Table::File, 8, 6, file, data, count);
  }
  int32_t FileWriteChar(void* file, char c) const {
    return Op<int32_t>(Table::File, 14, 12, file, static_cast<int32_t>(c));
  }
  int32_t FileError(void* file) const { return Op<int32_t>(Table::File, 12, 10, file); }

  // --- general ---
  int32_t Register(int32_t api, int32_t type, int32_t id, const void* name, void* record,
                   int32_t size) const {
    return Plain<int32_t>(Table::General, r12_ ? 45 : 59, api, type, id, name, record, size);
  }

 private:
  char* root_;
  bool r12_;
};

}  // namespace hostabi
