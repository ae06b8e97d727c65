// LoadSceneAssimp: the node hierarchy, meshes and the chosen animation of an interchange file.
#include "quorhost/scene_assimp.h"

#include <assimp/commonMetaData.h>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

#include "scene_assimp_convert.h"
#include "scene_assimp_gltf.h"
#include "scene_assimp_rig.h"

namespace quorhost {
namespace {

using assimp_rig::ObjectMotion;
using assimp_rig::Rig;

constexpr int32_t kDefaultFps = 25;
constexpr double kDefaultTicksPerSecond = 25;  // assimp's convention for files that give none

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Quoted(const aiString& s) { return std::string("\"") + s.C_Str() + "\""; }

// Finds the animation named `wanted`, else the one at index `wanted`. "" is the first.
bool SelectAnimation(const aiScene& file, const std::string& wanted, int32_t& index,
                     std::string& error) {
  index = -1;
  if (wanted.empty()) {
    if (file.mNumAnimations > 0) index = 0;
    return true;
  }
  if (file.mNumAnimations == 0) {
    error = "animation \"" + wanted + "\" requested, but the file has no animation";
    return false;
  }
  for (unsigned i = 0; i < file.mNumAnimations; ++i) {
    if (wanted == file.mAnimations[i]->mName.C_Str()) {
      index = static_cast<int32_t>(i);
      return true;
    }
  }
  unsigned number = 0;
  const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
  if (ec == std::errc() && end == wanted.data() + wanted.size() && number < file.mNumAnimations) {
    index = static_cast<int32_t>(number);
    return true;
  }
  error = "no animation named or numbered \"" + wanted + "\" (the file has " +
          std::to_string(file.mNumAnimations) + ":";
  for (unsigned i = 0; i < file.mNumAnimations; ++i) {
    error += (i ? ", " : " ") + std::to_string(i) + " " + Quoted(file.mAnimations[i]->mName);
  }
  error += ")";
  return false;
}

bool IsFbx(const aiScene& file) {
  if (!file.mMetaData) return false;
  aiString format;
  return file.mMetaData->Get(AI_METADATA_SOURCE_FORMAT, format) &&
         std::string(format.C_Str()).find("FBX") != std::string::npos;
}

// The file's own frame rate: FBX stores its animation in frames (assimp keeps them as ticks);
// glTF and Collada keep time in seconds and give no rate.
int32_t FileFps(const aiScene& file, const aiAnimation* animation) {
  if (animation && IsFbx(file) && animation->mTicksPerSecond >= 1 &&
      animation->mTicksPerSecond <= 1000) {
    return static_cast<int32_t>(std::lround(animation->mTicksPerSecond));
  }
  return kDefaultFps;
}

struct Loader {
  Loader(const aiScene& f, const aiAnimation* a, std::string w)
      : file(f), animation(a), where(std::move(w)) {}

  const aiScene& file;
  const aiAnimation* animation;  // may be null
  std::string where;             // the path, for messages
  std::vector<std::string> warnings;

  std::shared_ptr<Rig> rig = std::make_shared<Rig>();
  std::vector<const aiNode*> nodes;  // rig order
  std::map<std::string, int32_t> nodes_by_name;
  std::map<std::string, const aiMeshMorphAnim*> morph_by_name;
  std::vector<bool> morph_used;

  void Warn(std::string text) { warnings.push_back(where + ": " + std::move(text)); }

  // The nodes in depth-first pre-order, without recursion.
  void CollectNodes() {
    std::vector<std::pair<const aiNode*, int32_t>> stack{{file.mRootNode, -1}};
    while (!stack.empty()) {
      const auto [node, parent] = stack.back();
      stack.pop_back();
      const auto index = static_cast<int32_t>(nodes.size());
      nodes.push_back(node);
      assimp_rig::RigNode rig_node;
      rig_node.parent = parent;
      assimp_convert::SetRest(node->mTransformation, rig_node);
      rig->nodes.push_back(rig_node);
      if (!nodes_by_name.emplace(node->mName.C_Str(), index).second && node->mName.length > 0) {
        Warn("node name " + Quoted(node->mName) +
             " is not unique; animation channels and bones use the first node of that name");
      }
      for (unsigned c = node->mNumChildren; c-- > 0;) stack.push_back({node->mChildren[c], index});
    }
  }

  void AttachTracks() {
    if (!animation) return;
    const std::string name = "animation " + Quoted(animation->mName);
    rig->ticks_per_second =
        animation->mTicksPerSecond > 0 ? animation->mTicksPerSecond : kDefaultTicksPerSecond;
    size_t dropped = 0, extrapolated = 0;
    for (unsigned c = 0; c < animation->mNumChannels; ++c) {
      const aiNodeAnim& channel = *animation->mChannels[c];
      const auto node = nodes_by_name.find(channel.mNodeName.C_Str());
      if (node == nodes_by_name.end()) {
        Warn(name + ": channel for node " + Quoted(channel.mNodeName) +
             ", which is not in the scene, is ignored");
        continue;
      }
      auto& rig_node = rig->nodes[static_cast<size_t>(node->second)];
      if (rig_node.track >= 0) {
        Warn(name + ": node " + Quoted(channel.mNodeName) +
             " has several channels; only the first is evaluated");
        continue;
      }
      const auto behaves = [](aiAnimBehaviour b) {
        return b == aiAnimBehaviour_DEFAULT || b == aiAnimBehaviour_CONSTANT;
      };
      if (!behaves(channel.mPreState) || !behaves(channel.mPostState)) ++extrapolated;
      rig_node.track = static_cast<int32_t>(rig->tracks.size());
      rig->tracks.push_back(assimp_convert::ConvertTrack(channel, dropped));
    }
    if (dropped > 0) {
      Warn(name + ": " + std::to_string(dropped) + " keys with a time that is not finite ignored");
    }
    if (extrapolated > 0) {
      Warn(name + ": " + std::to_string(extrapolated) +
           " channels ask for linear or repeating extrapolation; their first and last keys are "
           "held instead");
    }
    if (animation->mNumMeshChannels > 0) {
      Warn(name + ": " + std::to_string(animation->mNumMeshChannels) +
           " vertex-animation (mesh) channels ignored");
    }
    for (unsigned c = 0; c < animation->mNumMorphMeshChannels; ++c) {
      morph_by_name.emplace(animation->mMorphMeshChannels[c]->mName.C_Str(),
                            animation->mMorphMeshChannels[c]);
    }
  }

  // The morph channel of a mesh placed at a node: the node's channel, else the mesh's.
  const aiMeshMorphAnim* MorphChannel(const aiNode& node, const aiMesh& mesh) {
    auto it = morph_by_name.find(node.mName.C_Str());
    if (it == morph_by_name.end()) it = morph_by_name.find(mesh.mName.C_Str());
    if (it == morph_by_name.end()) return nullptr;
    for (unsigned c = 0; c < animation->mNumMorphMeshChannels; ++c) {
      if (animation->mMorphMeshChannels[c] == it->second) morph_used[c] = true;
    }
    return it->second;
  }

  // Fills a polygon object from a mesh at rig node `node`; its deformation joins `motion`.
  void FillMesh(int32_t node, const aiMesh& mesh, SceneObject& object, ObjectMotion& motion) {
    object.kind = ObjectKind::Polygon;
    const std::string label = "mesh " + Quoted(mesh.mName) + " at node " +
                              Quoted(nodes[static_cast<size_t>(node)]->mName);
    size_t skipped = 0;
    assimp_convert::ConvertMesh(mesh, object.points, object.polygons, skipped);
    if (skipped > 0) {
      Warn(label + ": " + std::to_string(skipped) +
           " points and lines (faces of fewer than 3 corners) are not exported");
    }
    if (mesh.mNumAnimMeshes > 0) {
      const aiMeshMorphAnim* channel =
          animation ? MorphChannel(*nodes[static_cast<size_t>(node)], mesh) : nullptr;
      auto morph = assimp_convert::ConvertMorph(mesh, channel, where + ": " + label, warnings);
      bool moves = !morph.keys.empty();
      for (double w : morph.default_weights) moves = moves || w != 0;
      if (moves) motion.morph = std::make_shared<assimp_rig::Morph>(std::move(morph));
    }
    if (mesh.mNumBones > 0) {
      motion.skin = std::make_shared<assimp_rig::Skin>(
          assimp_convert::ConvertSkin(mesh, node, nodes_by_name, where + ": " + label, warnings));
    }
  }

  static void Animate(SceneObject& object, ObjectMotion motion) {
    if (motion.local_node < 0 && !motion.morph && !motion.skin) return;
    object.animator = assimp_rig::MakeRigAnimator(std::move(motion));
  }

  // One object per node (a polygon object when the node holds exactly one mesh, else a null
  // with one polygon child per mesh, placed before the node's own children).
  std::vector<SceneObject> BuildObjects() {
    std::vector<SceneObject> objects;
    std::vector<int32_t> object_of_node(nodes.size(), -1);
    std::vector<bool> mesh_placed(file.mNumMeshes, false);
    for (size_t n = 0; n < nodes.size(); ++n) {
      const aiNode& node = *nodes[n];
      const auto& rig_node = rig->nodes[n];
      SceneObject object;
      object.name = node.mName.C_Str();
      object.parent =
          rig_node.parent < 0 ? -1 : object_of_node[static_cast<size_t>(rig_node.parent)];
      object.matrix = rig_node.rest;
      ObjectMotion motion;
      motion.rig = rig;
      if (rig_node.track >= 0) motion.local_node = static_cast<int32_t>(n);
      const auto node_index = static_cast<int32_t>(n);
      if (node.mNumMeshes == 1) {
        mesh_placed[node.mMeshes[0]] = true;
        FillMesh(node_index, *file.mMeshes[node.mMeshes[0]], object, motion);
      }
      Animate(object, std::move(motion));
      object_of_node[n] = static_cast<int32_t>(objects.size());
      objects.push_back(std::move(object));
      if (node.mNumMeshes < 2) continue;
      for (unsigned m = 0; m < node.mNumMeshes; ++m) {
        const aiMesh& mesh = *file.mMeshes[node.mMeshes[m]];
        mesh_placed[node.mMeshes[m]] = true;
        SceneObject part;
        part.name = mesh.mName.length > 0
                        ? std::string(mesh.mName.C_Str())
                        : std::string(node.mName.C_Str()) + "." + std::to_string(m);
        part.parent = object_of_node[n];
        ObjectMotion part_motion;
        part_motion.rig = rig;
        FillMesh(node_index, mesh, part, part_motion);
        Animate(part, std::move(part_motion));
        objects.push_back(std::move(part));
      }
    }
    for (unsigned m = 0; m < file.mNumMeshes; ++m) {
      if (!mesh_placed[m]) {
        Warn("mesh " + Quoted(file.mMeshes[m]->mName) + " is not placed at any node; not exported");
      }
    }
    return objects;
  }

  void ReportUnused() {
    if (file.mNumCameras > 0 || file.mNumLights > 0) {
      Warn(std::to_string(file.mNumCameras) + " cameras and " + std::to_string(file.mNumLights) +
           " lights are exported as plain nulls");
    }
    if (!animation) return;
    for (unsigned c = 0; c < animation->mNumMorphMeshChannels; ++c) {
      if (!morph_used[c]) {
        Warn("animation " + Quoted(animation->mName) + ": morph channel " +
             Quoted(animation->mMorphMeshChannels[c]->mName) +
             " matches no node or mesh with morph targets; ignored");
      }
    }
  }
};

}  // namespace

bool LoadSceneAssimp(const std::string& path, const AssimpOptions& options, Scene& scene,
                     std::string& error, std::vector<std::string>* warnings) {
  if (options.fps < 0) {
    error = path + ": the sampling rate must be positive (or 0 for the file's own), not " +
            std::to_string(options.fps);
    return false;
  }
  Assimp::Importer importer;
  // Pivot helper nodes are folded into their node, so channels address the file's own nodes.
  importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
  const aiScene* file = importer.ReadFile(path, aiProcess_ValidateDataStructure);
  if (!file || !file->mRootNode) {
    error = path + ": assimp cannot read the file: " + OneLine(importer.GetErrorString());
    return false;
  }
  // An incomplete scene is one without meshes, whatever stand-in assimp made to show its nodes.
  if (file->mNumMeshes == 0 || (file->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0) {
    error = path + ": the file has no meshes";
    return false;
  }
  int32_t selected = -1;
  if (!SelectAnimation(*file, options.animation, selected, error)) {
    error = path + ": " + error;
    return false;
  }
  const aiAnimation* animation =
      selected >= 0 ? file->mAnimations[static_cast<size_t>(selected)] : nullptr;

  Loader loader(*file, animation, path);
  loader.morph_used.assign(animation ? animation->mNumMorphMeshChannels : 0, false);
  loader.CollectNodes();
  loader.AttachTracks();
  CheckGltfInterpolation(path, loader.warnings);

  Scene result;
  result.fps = options.fps > 0 ? options.fps : FileFps(*file, animation);
  result.objects = loader.BuildObjects();
  loader.ReportUnused();

  double last_frame = 0;
  if (animation) {
    const double seconds = animation->mDuration / loader.rig->ticks_per_second;
    if (std::isfinite(seconds) && seconds > 0) {
      // A duration that is a whole number of frames up to rounding ends on that frame.
      last_frame = std::ceil(seconds * result.fps - 1e-9);
    } else if (!(seconds == 0)) {
      loader.Warn("animation " + Quoted(animation->mName) +
                  " has a duration that is negative or not finite; only frame 0 is exported");
    }
  }
  result.min_time = {0, static_cast<double>(result.fps)};
  result.max_time = {last_frame, static_cast<double>(result.fps)};
  scene = std::move(result);
  if (warnings) {
    warnings->insert(warnings->end(), loader.warnings.begin(), loader.warnings.end());
  }
  return true;
}

}  // namespace quorhost
