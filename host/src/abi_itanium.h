// The one place that knows how the Itanium C++ ABI (Linux and macOS x86-64) represents and
// calls host entries and plug-in member pointers.
//
// - A member entry is a native pointer to member function: {code, adjustment}. The host fills
//   its own with {function address, 0}, the function taking the receiver first, which is how a
//   non-virtual member function is called.
// - A class result (String, Filename, and a 48-byte Matrix) comes back through a hidden first
//   argument, placed before the receiver: host functions returning one take `void* result`
//   first, construct the value there and return `result`.
// - A plug-in member pointer whose code is odd names a virtual function: code - 1 is the byte
//   offset of its slot in the receiver's virtual table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace quorhost::abi {

inline constexpr int kPlainWidth = 8;
inline constexpr int kMemberWidth = 16;

struct MemberEntry {
  uint64_t code;
  int64_t adjustment;
};
static_assert(sizeof(MemberEntry) == kMemberWidth);

// The address of a host entry function as a table word; even, as member codes must be.
template <class F>
uint64_t EntryWord(F* fn) {
  auto word = reinterpret_cast<uint64_t>(reinterpret_cast<void*>(fn));
  if (word & 1) {
    std::fprintf(stderr, "quorhost: entry function at odd address %p\n",
                 reinterpret_cast<void*>(fn));
    std::abort();
  }
  return word;
}

// Resolves a member pointer for `receiver`: the adjusted receiver and the function to call.
struct ResolvedMember {
  void* self;
  void* fn;
};
inline ResolvedMember Resolve(MemberEntry m, void* receiver) {
  char* self = static_cast<char*>(receiver) + m.adjustment;
  void* fn;
  if (m.code & 1) {
    char* vtable = *reinterpret_cast<char**>(self);
    fn = *reinterpret_cast<void**>(vtable + (m.code - 1));
  } else {
    fn = reinterpret_cast<void*>(m.code);
  }
  return {self, fn};
}

// Calls a member pointer on `receiver` with `args`, virtual dispatch included.
template <class R, class... A>
R CallMember(MemberEntry m, void* receiver, A... args) {
  ResolvedMember r = Resolve(m, receiver);
  return reinterpret_cast<R (*)(void*, A...)>(r.fn)(r.self, args...);
}

}  // namespace quorhost::abi
