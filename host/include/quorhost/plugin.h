// Loading a plug-in library and driving it as the host does: c4d_main actions, then the saver
// registered through GeRegisterPlugin.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quorhost/host.h"

namespace quorhost {

// A loaded plug-in library. Not copyable; unloads (dlclose) on destruction, which runs the
// plug-in's static destructors, so the Host must still be alive then.
class Plugin {
 public:
  // dlopen(RTLD_NOW | RTLD_LOCAL) and look up c4d_main. Null, with dlerror's text in `error`,
  // when either fails.
  static std::unique_ptr<Plugin> Load(const std::string& path, std::string* error = nullptr);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  const std::string& path() const { return path_; }

  // c4d_main as it is.
  int32_t Main(int32_t action, void* p1 = nullptr, void* p2 = nullptr, void* p3 = nullptr);
  // Action 4: 5 means R12, 3 means R11_5; anything else nullopt. Needs no Host.
  std::optional<Generation> QueryGeneration();
  // Action 1 with the current Host's root table and a host Filename holding path().
  int32_t StartUp();
  int32_t Start() { return Main(2); }
  int32_t End() { return Main(3); }
  // Action 6: the message id travels in p1.
  int32_t Message(int32_t id, void* data = nullptr);

 private:
  Plugin(std::string path, void* handle, void* entry);
  std::string path_;
  void* handle_ = nullptr;
  void* entry_ = nullptr;
};

// One node of a registered scene saver: the plug-in object made by the record's allocation
// hook (cell 4), deleted through its destructor hook (cell 5) on destruction. Needs the
// current Host and the plug-in still loaded for its whole life.
class SaverNode {
 public:
  // Null, with a reason in `error`, when the record has no allocation hook or it answers null.
  static std::unique_ptr<SaverNode> Create(const Registration& registration,
                                           std::string* error = nullptr);
  ~SaverNode();
  SaverNode(const SaverNode&) = delete;
  SaverNode& operator=(const SaverNode&) = delete;

  void* object() const { return object_; }
  // The host node handed to the plug-in's callbacks (BaseSceneSaver*).
  void* node() const { return node_; }

  // The save callback (cell 33): Save(node, name, doc, filter) with virtual dispatch.
  // `filename` is a Filename in plug-in storage (PluginFilename::get()).
  int32_t Save(const void* filename, Document* doc, int32_t filter_flags);

  // Calls every node callback (cells 6..) once with harmless arguments and returns each
  // result in record order (void callbacks report 0, GetDocument the pointer's value).
  struct CallbackResult {
    std::string name;
    int64_t value = 0;
  };
  std::vector<CallbackResult> CallNodeCallbacks();

 private:
  SaverNode() = default;
  std::vector<uint8_t> record_;
  void* object_ = nullptr;
  void* node_ = nullptr;
};

}  // namespace quorhost
