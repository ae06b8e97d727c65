#include "plugin_locator.h"

#include <filesystem>
#include <system_error>

namespace objseq {

namespace fs = std::filesystem;

std::string PluginLibraryName(quorhost::Generation generation) {
  return generation == quorhost::Generation::R12 ? "QuorOBJExport_R12" : "QuorOBJExport_R11_5";
}

std::string GenerationLabel(quorhost::Generation generation) {
  return generation == quorhost::Generation::R12 ? "12" : "11.5";
}

std::string ExecutableDirectory() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return self.parent_path().string();
}

std::optional<std::string> FindBuiltPlugin(quorhost::Generation generation,
                                           const std::string& executable_dir,
                                           std::vector<std::string>* searched) {
  if (executable_dir.empty()) return std::nullopt;
  const std::string name = PluginLibraryName(generation);
  const fs::path prefix = fs::path(executable_dir).parent_path();
  // Build tree first: a build folder that was also installed into keeps using its fresh build.
  for (const fs::path& folder : {prefix / "plugins", prefix / "lib" / "quorvan" / "plugins"}) {
    fs::path candidate = (folder / name / (name + ".so")).lexically_normal();
    if (searched) searched->push_back(candidate.string());
    std::error_code error;
    if (fs::is_regular_file(candidate, error)) return candidate.string();
  }
  return std::nullopt;
}

}  // namespace objseq
