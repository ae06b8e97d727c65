#include "scene_assimp_gltf.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>

namespace quorhost {
namespace {

std::string LowerExtension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

// The JSON text of a .gltf, or the first (JSON) chunk of a .glb; empty when there is none.
std::string JsonText(const std::string& path, bool binary) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!binary) return bytes;
  // Header: magic, version, length; then chunk 0: length, type "JSON", data.
  if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0 || bytes.compare(16, 4, "JSON") != 0) {
    return {};
  }
  const uint32_t length = Le32(bytes, 12);
  if (length > bytes.size() - 20) return {};
  return bytes.substr(20, length);
}

}  // namespace

void CheckGltfInterpolation(const std::string& path, std::vector<std::string>& warnings) {
  const std::string ext = LowerExtension(path);
  if (ext != ".gltf" && ext != ".glb") return;
  const nlohmann::json doc = nlohmann::json::parse(JsonText(path, ext == ".glb"), nullptr,
                                                   /*allow_exceptions=*/false);
  if (!doc.is_object() || !doc.contains("animations") || !doc["animations"].is_array()) return;
  const auto& animations = doc["animations"];
  for (size_t a = 0; a < animations.size(); ++a) {
    const auto& animation = animations[a];
    if (!animation.is_object() || !animation.contains("samplers") ||
        !animation["samplers"].is_array()) {
      continue;
    }
    std::map<std::string, size_t> counts;
    for (const auto& sampler : animation["samplers"]) {
      if (!sampler.is_object() || !sampler.contains("interpolation")) continue;
      const auto& kind = sampler["interpolation"];
      if (kind.is_string() && kind != "LINEAR") ++counts[kind.get<std::string>()];
    }
    if (counts.empty()) continue;
    std::string name = "animation " + std::to_string(a);
    if (animation.contains("name") && animation["name"].is_string()) {
      name += " \"" + animation["name"].get<std::string>() + "\"";
    }
    for (const auto& [kind, count] : counts) {
      warnings.push_back(path + ": " + name + ": " + std::to_string(count) + " samplers use " +
                         kind + " interpolation; the host evaluates them as LINEAR between the " +
                         "key values" + (kind == "CUBICSPLINE" ? " (tangents ignored)" : ""));
    }
  }
}

}  // namespace quorhost
