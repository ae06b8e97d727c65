// The host's record of every entry call, for tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quorhost {

// One entry call: the operation ("File.Open", "String.SetText", ...), its integer and pointer
// arguments in call order (pointers as their address), and its string arguments as text.
struct JournalEntry {
  std::string op;
  std::vector<int64_t> values;
  std::vector<std::string> texts;

  std::string ToString() const;
};

// Off by default. Recording costs one branch per call while off, so benchmarks leave it off.
// Not thread-safe: the host serves one thread.
class Journal {
 public:
  void Enable(bool on) { on_ = on; }
  bool enabled() const { return on_; }
  void Clear() { entries_.clear(); }

  const std::vector<JournalEntry>& entries() const { return entries_; }
  // The entries of one operation, in call order.
  std::vector<JournalEntry> Of(std::string_view op) const;
  size_t Count(std::string_view op) const;
  // Operation names only, in call order; handy for order assertions.
  std::vector<std::string> Ops() const;

  // Appends an entry when enabled. Used by the host's entry functions.
  void Record(std::string_view op, std::initializer_list<int64_t> values,
              std::initializer_list<std::string_view> texts = {});

 private:
  bool on_ = false;
  std::vector<JournalEntry> entries_;
};

}  // namespace quorhost
