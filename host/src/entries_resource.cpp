// The resource table (root slot 15): a plug-in's string table read from
// <directory>/res/strings_us/c4d_strings.str, one `<id> "<text>"` per line.
#include <fstream>

#include "session.h"

namespace quorhost {
namespace {

// Parses the string file; false when it cannot be read.
bool ReadStrings(const std::string& directory, LocalResource& res) {
  if (directory.empty()) return false;  // no plug-in folder: nothing to find
  std::ifstream in(directory + "/res/strings_us/c4d_strings.str");
  if (!in) return false;
  for (auto& [id, cell] : res.strings) delete cell->text;
  res.strings.clear();
  std::string line;
  while (std::getline(in, line)) {
    size_t open = line.find('"'), close = line.rfind('"');
    if (open == std::string::npos || close == open) continue;
    int32_t id;
    try {
      id = std::stoi(line.substr(0, open));
    } catch (...) {
      continue;
    }
    auto cell = std::make_unique<TextCell>(TextCell{nullptr, 0});
    InitString(cell.get(), line.substr(open + 1, close - open - 1), ValueOwner::Permanent);
    auto [it, inserted] = res.strings.emplace(id, std::move(cell));
    if (!inserted) continue;  // the first definition of an id wins
  }
  return true;
}

LocalResource* LiveResource(void* r, const char* op) {
  auto* res = static_cast<LocalResource*>(r);
  if (res == &S().global_resource || S().resources.count(res)) return res;
  S().Fault(std::string(op) + ": " + Hex(r) + " is not a live resource");
  return nullptr;
}

void* ResourceLoad(const void* directory) {
  Session& s = S();
  std::string path = FilenameValue(directory, "resource load");
  LocalResource* res = nullptr;
  if (!s.faults.Hit(FaultKind::ResourceLoad)) {
    auto loaded = std::make_unique<LocalResource>();
    loaded->directory = path;
    if (ReadStrings(path, *loaded)) res = loaded.release();
  }
  if (res) s.resources.insert(res);
  s.journal.Record("Resource.Load", {P(directory), P(res)}, {path});
  return res;
}

void ResourceRelease(void* r) {
  Session& s = S();
  s.journal.Record("Resource.Release", {P(r)});
  auto* res = static_cast<LocalResource*>(r);
  if (res == &s.global_resource) {
    s.Stray("resource release: the host's global resource is not the plug-in's to release");
    return;
  }
  if (!s.resources.erase(res)) {
    s.Stray("resource release: " + Hex(r) + " is not a live resource");
    return;
  }
  delete res;
}

void* ResourceGlobal() {
  S().journal.Record("Resource.Global", {P(&S().global_resource)});
  return &S().global_resource;
}

const void* ResourceLoadString(void* r, int32_t id) {
  Session& s = S();
  const void* text = &s.empty_string;
  if (LocalResource* res = LiveResource(r, "resource load string")) {
    auto it = res->strings.find(id);
    if (it != res->strings.end()) text = it->second.get();
  }
  s.journal.Record("Resource.LoadString", {P(r), id, P(text)});
  return text;
}

int32_t ResourceReload(void* r, const void* directory) {
  Session& s = S();
  std::string path = FilenameValue(directory, "resource reload");
  s.journal.Record("Resource.Reload", {P(r), P(directory)}, {path});
  LocalResource* res = LiveResource(r, "resource reload");
  if (!res || res->global) return res ? 1 : 0;
  LocalResource fresh;
  if (!ReadStrings(path, fresh)) return 0;
  for (auto& [id, cell] : res->strings) delete cell->text;
  res->strings = std::move(fresh.strings);
  res->directory = path;
  return 1;
}

}  // namespace

LocalResource::~LocalResource() {
  for (auto& [id, cell] : strings) delete cell->text;
}

void FillResource(TableBuilder& t, Generation gen) {
  bool r12 = gen == Generation::R12;
  t.Plain(0, ResourceLoad);
  t.Plain(1, ResourceRelease);
  t.Plain(r12 ? 2 : 3, ResourceGlobal);
  t.Plain(r12 ? 3 : 4, ResourceLoadString);
  t.Plain(r12 ? 6 : 7, ResourceReload);
}

}  // namespace quorhost
