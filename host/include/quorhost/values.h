// String and Filename values in storage laid out like the plug-in's, for handing to the
// plug-in (c4d_main action 1, Save) and for reading back what it left in its own storage.
#pragma once

#include <string>
#include <string_view>

namespace quorhost {

// A String value initialised by the host (16 bytes of storage). Needs a live Host; must be
// destroyed before it.
class PluginString {
 public:
  explicit PluginString(std::string_view text = {});
  ~PluginString();
  PluginString(const PluginString&) = delete;
  PluginString& operator=(const PluginString&) = delete;

  void* get() { return storage_; }
  const void* get() const { return storage_; }
  std::string text() const;

 private:
  alignas(8) unsigned char storage_[16];
};

// A Filename value (32 bytes in R12 with its embedded String, 16 in R11_5). Needs a live Host;
// must be destroyed before it.
class PluginFilename {
 public:
  explicit PluginFilename(std::string_view path = {});
  ~PluginFilename();
  PluginFilename(const PluginFilename&) = delete;
  PluginFilename& operator=(const PluginFilename&) = delete;

  void* get() { return storage_; }
  const void* get() const { return storage_; }
  std::string path() const;

 private:
  alignas(8) unsigned char storage_[32];
};

// The text of an initialised String / the path of an initialised Filename in plug-in storage;
// "" for storage the host never initialised.
std::string ReadString(const void* string);
std::string ReadFilename(const void* filename);

}  // namespace quorhost
