// Loading a plug-in and driving its registered saver.
#include "quorhost/plugin.h"

#include <dlfcn.h>

#include <cstring>

#include "abi_itanium.h"
#include "quorhost/values.h"
#include "session.h"
#include "value_layouts.h"

namespace quorhost {
namespace {

using MainFn = int32_t (*)(int32_t, void*, void*, void*);

constexpr int kAllocCell = 4;
constexpr int kDestructorCell = 5;
constexpr int kFirstCallbackCell = 6;
constexpr int kSaveCell = 33;

abi::MemberEntry MemberAt(const std::vector<uint8_t>& record, int cell) {
  abi::MemberEntry m{0, 0};
  size_t at = static_cast<size_t>(cell) * Registration::kCellBytes;
  if (at + sizeof m <= record.size()) std::memcpy(&m, record.data() + at, sizeof m);
  return m;
}

}  // namespace

Plugin::Plugin(std::string path, void* handle, void* entry)
    : path_(std::move(path)), handle_(handle), entry_(entry) {}

std::unique_ptr<Plugin> Plugin::Load(const std::string& path, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    if (error) *error = dlerror();
    return nullptr;
  }
  dlerror();
  void* entry = dlsym(handle, "c4d_main");
  if (entry == nullptr) {
    if (error) *error = "c4d_main not found in " + path;
    dlclose(handle);
    return nullptr;
  }
  return std::unique_ptr<Plugin>(new Plugin(path, handle, entry));
}

Plugin::~Plugin() {
  if (handle_) dlclose(handle_);
}

int32_t Plugin::Main(int32_t action, void* p1, void* p2, void* p3) {
  return reinterpret_cast<MainFn>(entry_)(action, p1, p2, p3);
}

std::optional<Generation> Plugin::QueryGeneration() {
  switch (Main(4)) {
    case 5:
      return Generation::R12;
    case 3:
      return Generation::R11_5;
    default:
      return std::nullopt;
  }
}

int32_t Plugin::StartUp() {
  Host* host = Host::Current();
  if (host == nullptr) return -3;
  PluginFilename file(path_);  // the plug-in copies it during the call
  return Main(1, host->root_table(), nullptr, file.get());
}

int32_t Plugin::Message(int32_t id, void* data) {
  return Main(6, reinterpret_cast<void*>(static_cast<intptr_t>(id)), data, nullptr);
}

// --- SaverNode ------------------------------------------------------------------------------

std::unique_ptr<SaverNode> SaverNode::Create(const Registration& registration, std::string* error) {
  uint64_t hook = registration.Word(kAllocCell);
  if (hook == 0) {
    if (error) *error = "the record has no allocation hook";
    return nullptr;
  }
  void* object = reinterpret_cast<void* (*)()>(hook)();
  if (object == nullptr) {
    if (error) *error = "the allocation hook answered null";
    return nullptr;
  }
  std::unique_ptr<SaverNode> node(new SaverNode);
  node->record_ = registration.record;
  node->object_ = object;
  NodeAtom* atom = S().world.NewNode();
  atom->type = registration.id;
  node->node_ = atom;
  return node;
}

SaverNode::~SaverNode() {
  abi::MemberEntry destructor = MemberAt(record_, kDestructorCell);
  if (destructor.code != 0) abi::CallMember<void>(destructor, object_);
  S().world.DeleteNode(static_cast<NodeAtom*>(node_));
}

int32_t SaverNode::Save(const void* filename, Document* doc, int32_t filter_flags) {
  abi::MemberEntry save = MemberAt(record_, kSaveCell);
  return abi::CallMember<int32_t>(save, object_, node_, filename, static_cast<void*>(doc),
                                  filter_flags);
}

std::vector<SaverNode::CallbackResult> SaverNode::CallNodeCallbacks() {
  bool r12 = S().r12();
  // Harmless arguments for every callback; pointers the defaults might touch are valid.
  PluginString help;
  alignas(8) unsigned char id[32] = {}, res_id[32] = {}, data[kGeDataSize] = {};
  reinterpret_cast<DescIdCell*>(id)->magic = kDescIdMagic;
  reinterpret_cast<DescIdCell*>(res_id)->magic = kDescIdMagic;
  int32_t flags = 0, docrelated = 0;
  void* res_at = nullptr;
  void* n = node_;
  std::vector<CallbackResult> out;
  int cell = kFirstCallbackCell;
  auto call = [&](const char* name, auto invoke) {
    abi::MemberEntry m = MemberAt(record_, cell++);
    out.push_back({name, m.code == 0 ? -1 : invoke(m)});
  };
  using abi::CallMember;
  void* o = object_;
  call("Init", [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n)}; });
  call("Free", [&](auto m) {
    CallMember<void>(m, o, n);
    return int64_t{0};
  });
  call("Read", [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n, nullptr, int32_t{0})}; });
  call("Write", [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n, nullptr)}; });
  call("CopyTo",
       [&](auto m) { return int64_t{CallMember<int32_t>(m, o, o, n, n, int32_t{0}, nullptr)}; });
  call("Message",
       [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n, int32_t{0}, nullptr)}; });
  call("GetDocument", [&](auto m) { return P(CallMember<void*>(m, o, n)); });
  call("GetBubbleHelp", [&](auto m) {
    CallMember<void>(m, o, n, help.get());
    return int64_t{0};
  });
  call("GetDDescription",
       [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n, nullptr, &flags)}; });
  call("GetDParameter", [&](auto m) {
    return int64_t{
        CallMember<int32_t>(m, o, n, static_cast<void*>(id), static_cast<void*>(data), &flags)};
  });
  call("SetDParameter", [&](auto m) {
    return int64_t{
        CallMember<int32_t>(m, o, n, static_cast<void*>(id), static_cast<void*>(data), &flags)};
  });
  call("GetDEnabling", [&](auto m) {
    return int64_t{CallMember<int32_t>(m, o, n, static_cast<void*>(id), static_cast<void*>(data),
                                       int32_t{0}, nullptr)};
  });
  if (!r12)
    call("GetBranchInfoEx",
         [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n, nullptr, int32_t{0})}; });
  call("IsInstanceOf", [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n, int32_t{0})}; });
  call("GetBranchInfo", [&](auto m) {
    return int64_t{CallMember<int32_t>(m, o, n, nullptr, int32_t{0}, uint32_t{0})};
  });
  call("TranslateDescID", [&](auto m) {
    return int64_t{
        CallMember<int32_t>(m, o, n, static_cast<void*>(id), static_cast<void*>(res_id), &res_at)};
  });
  call("IsDocumentRelated",
       [&](auto m) { return int64_t{CallMember<int32_t>(m, o, n, &docrelated)}; });
  if (!help.text().empty()) out.push_back({"GetBubbleHelp text changed", 1});
  return out;
}

}  // namespace quorhost
