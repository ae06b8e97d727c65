// Host-made String and Filename values for tests and the driver.
#include "quorhost/values.h"

#include <cstring>

#include "session.h"

namespace quorhost {

PluginString::PluginString(std::string_view text) {
  std::memset(storage_, 0, sizeof storage_);
  InitString(storage_, text, ValueOwner::Plugin);
}

PluginString::~PluginString() { ReleaseString(storage_); }

std::string PluginString::text() const { return ReadString(storage_); }

PluginFilename::PluginFilename(std::string_view path) {
  std::memset(storage_, 0, sizeof storage_);
  InitFilename(storage_, path, true, ValueOwner::Plugin);
}

PluginFilename::~PluginFilename() { ReleaseFilename(storage_, true); }

std::string PluginFilename::path() const { return ReadFilename(storage_); }

std::string ReadString(const void* string) {
  if (!IsString(string)) return {};
  const auto* cell = static_cast<const TextCell*>(string);
  return cell->text ? *cell->text : std::string();
}

std::string ReadFilename(const void* filename) {
  if (!IsFilename(filename)) return {};
  return FilenameValue(filename, "ReadFilename");
}

}  // namespace quorhost
