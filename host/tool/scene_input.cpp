#include "scene_input.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "quorhost/scene_json.h"
#ifdef OBJSEQ_HAVE_ASSIMP_LOADER
#include "quorhost/scene_assimp.h"
#endif

namespace objseq {
namespace {

std::string LowerSuffix(const std::string& path) {
  std::string suffix = std::filesystem::path(path).extension().string();
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix;
}

bool IsAssetSuffix(const std::string& suffix) {
  return suffix == ".gltf" || suffix == ".glb" || suffix == ".fbx" || suffix == ".dae";
}

}  // namespace

bool HasAssetLoader() {
#ifdef OBJSEQ_HAVE_ASSIMP_LOADER
  return true;
#else
  return false;
#endif
}

bool LoadScene(const SceneRequest& request, quorhost::Scene& scene, std::string& error,
               std::vector<std::string>& warnings) {
  const std::string suffix = LowerSuffix(request.path);
  if (suffix == ".json") {
    if (!request.animation.empty())
      warnings.push_back("--animation is ignored for JSON scenes (" + request.path + ")");
    if (request.fps != 0)
      warnings.push_back("--fps is ignored for JSON scenes (" + request.path + ")");
    return quorhost::LoadSceneJson(request.path, scene, error);
  }
  if (IsAssetSuffix(suffix)) {
#ifdef OBJSEQ_HAVE_ASSIMP_LOADER
    quorhost::AssimpOptions options;
    options.animation = request.animation;
    options.fps = request.fps;
    quorhost::Scene loaded;
    if (!quorhost::LoadSceneAssimp(request.path, options, loaded, error, &warnings)) return false;
    scene = std::move(loaded);
    return true;
#else
    error = request.path + ": this objseq was built without the glTF, FBX and Collada loader";
    return false;
#endif
  }
  error = request.path + ": unknown scene file type \"" + suffix +
          "\" (expected .json, .gltf, .glb, .fbx or .dae)";
  return false;
}

}  // namespace objseq
