#include "quorhost/journal.h"

namespace quorhost {

std::string JournalEntry::ToString() const {
  std::string s = op + "(";
  for (size_t i = 0; i < values.size(); ++i) s += (i ? ", " : "") + std::to_string(values[i]);
  s += ")";
  for (const std::string& t : texts) s += " \"" + t + "\"";
  return s;
}

void Journal::Record(std::string_view op, std::initializer_list<int64_t> values,
                     std::initializer_list<std::string_view> texts) {
  if (!on_) return;
  JournalEntry e;
  e.op = op;
  e.values.assign(values.begin(), values.end());
  for (std::string_view t : texts) e.texts.emplace_back(t);
  entries_.push_back(std::move(e));
}

std::vector<JournalEntry> Journal::Of(std::string_view op) const {
  std::vector<JournalEntry> out;
  for (const JournalEntry& e : entries_)
    if (e.op == op) out.push_back(e);
  return out;
}

size_t Journal::Count(std::string_view op) const {
  size_t n = 0;
  for (const JournalEntry& e : entries_) n += e.op == op;
  return n;
}

std::vector<std::string> Journal::Ops() const {
  std::vector<std::string> out;
  out.reserve(entries_.size());
  for (const JournalEntry& e : entries_) out.push_back(e.op);
  return out;
}

}  // namespace quorhost
