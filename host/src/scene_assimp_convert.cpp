#include "scene_assimp_convert.h"

#include <algorithm>
#include <cmath>

namespace quorhost::assimp_convert {
namespace {

Vec3 ToVec3(const aiVector3D& v) { return {v.x, v.y, v.z}; }

template <typename Key>
void SortByTime(std::vector<Key>& keys) {
  std::stable_sort(keys.begin(), keys.end(),
                   [](const Key& a, const Key& b) { return a.time < b.time; });
}

template <typename AssimpKey, typename Value, typename Convert>
std::vector<assimp_rig::Key<Value>> ConvertKeys(const AssimpKey* keys, unsigned count,
                                                Convert convert, size_t& dropped) {
  std::vector<assimp_rig::Key<Value>> out;
  out.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    if (!std::isfinite(keys[i].mTime)) {
      ++dropped;
      continue;
    }
    out.push_back({keys[i].mTime, convert(keys[i].mValue)});
  }
  SortByTime(out);
  return out;
}

assimp_rig::Quat ToQuat(const aiQuaternion& q) { return {q.w, q.x, q.y, q.z}; }

}  // namespace

Mat4 ToMat4(const aiMatrix4x4& m) {
  Mat4 out;
  out.t = {m.a4, m.b4, m.c4};
  out.x = {m.a1, m.b1, m.c1};
  out.y = {m.a2, m.b2, m.c2};
  out.z = {m.a3, m.b3, m.c3};
  return out;
}

void ConvertMesh(const aiMesh& mesh, std::vector<Vec3>& points, std::vector<Poly>& polygons,
                 size_t& skipped_faces) {
  points.resize(mesh.mNumVertices);
  for (unsigned i = 0; i < mesh.mNumVertices; ++i) points[i] = ToVec3(mesh.mVertices[i]);
  polygons.clear();
  polygons.reserve(mesh.mNumFaces);
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    const unsigned n = face.mNumIndices;
    if (n < 3) {
      ++skipped_faces;
      continue;
    }
    const auto at = [&](unsigned i) { return static_cast<int32_t>(face.mIndices[i]); };
    if (n == 3) {
      polygons.push_back({at(0), at(1), at(2), at(2)});
      continue;
    }
    // A fan around corner 0: (0, i, i+1, i+2) for as long as three corners remain, then
    // (0, i, i+1, i+1) for the last two. A quad is the fan's single piece.
    unsigned i = 1;
    for (; i + 2 < n; i += 2) polygons.push_back({at(0), at(i), at(i + 1), at(i + 2)});
    if (i + 1 < n) polygons.push_back({at(0), at(i), at(i + 1), at(i + 1)});
  }
}

void SetRest(const aiMatrix4x4& local, assimp_rig::RigNode& node) {
  node.rest = ToMat4(local);
  aiVector3D scale, position;
  aiQuaternion rotation;
  local.Decompose(scale, rotation, position);
  node.rest_position = ToVec3(position);
  node.rest_rotation = ToQuat(rotation);
  node.rest_scale = ToVec3(scale);
}

assimp_rig::NodeTrack ConvertTrack(const aiNodeAnim& channel, size_t& dropped_keys) {
  assimp_rig::NodeTrack track;
  track.position = ConvertKeys<aiVectorKey, Vec3>(channel.mPositionKeys, channel.mNumPositionKeys,
                                                  ToVec3, dropped_keys);
  track.rotation = ConvertKeys<aiQuatKey, assimp_rig::Quat>(
      channel.mRotationKeys, channel.mNumRotationKeys, ToQuat, dropped_keys);
  track.scale = ConvertKeys<aiVectorKey, Vec3>(channel.mScalingKeys, channel.mNumScalingKeys,
                                               ToVec3, dropped_keys);
  return track;
}

assimp_rig::Skin ConvertSkin(const aiMesh& mesh, int32_t mesh_node,
                             const std::map<std::string, int32_t>& nodes_by_name,
                             const std::string& where, std::vector<std::string>& warnings) {
  struct Weight {
    int32_t bone;
    double weight;
  };
  std::vector<std::vector<Weight>> per_vertex(mesh.mNumVertices);
  assimp_rig::Skin skin;
  skin.mesh_node = mesh_node;
  size_t stray_weights = 0;
  for (unsigned b = 0; b < mesh.mNumBones; ++b) {
    const aiBone& bone = *mesh.mBones[b];
    const auto node = nodes_by_name.find(bone.mName.C_Str());
    if (node == nodes_by_name.end()) {
      warnings.push_back(where + ": bone \"" + bone.mName.C_Str() +
                         "\" has no node in the scene; its weights are ignored");
      continue;
    }
    const auto index = static_cast<int32_t>(skin.bones.size());
    skin.bones.push_back(node->second);
    skin.offsets.push_back(ToMat4(bone.mOffsetMatrix));
    for (unsigned w = 0; w < bone.mNumWeights; ++w) {
      const aiVertexWeight& weight = bone.mWeights[w];
      if (weight.mVertexId >= mesh.mNumVertices || !std::isfinite(weight.mWeight) ||
          weight.mWeight < 0) {
        ++stray_weights;
        continue;
      }
      if (weight.mWeight > 0) per_vertex[weight.mVertexId].push_back({index, weight.mWeight});
    }
  }
  if (stray_weights > 0) {
    warnings.push_back(where + ": " + std::to_string(stray_weights) +
                       " bone weights on missing vertices or not finite and positive; ignored");
  }
  skin.first.reserve(per_vertex.size() + 1);
  skin.first.push_back(0);
  for (const auto& weights : per_vertex) {
    double total = 0;
    for (const Weight& w : weights) total += w.weight;
    for (const Weight& w : weights) skin.influences.push_back({w.bone, w.weight / total});
    skin.first.push_back(static_cast<uint32_t>(skin.influences.size()));
  }
  return skin;
}

assimp_rig::Morph ConvertMorph(const aiMesh& mesh, const aiMeshMorphAnim* channel,
                               const std::string& where, std::vector<std::string>& warnings) {
  assimp_rig::Morph morph;
  const unsigned targets = mesh.mNumAnimMeshes;
  morph.targets.resize(targets);
  morph.default_weights.resize(targets);
  for (unsigned t = 0; t < targets; ++t) {
    const aiAnimMesh& target = *mesh.mAnimMeshes[t];
    morph.default_weights[t] = target.mWeight;
    if (!target.mVertices || target.mNumVertices != mesh.mNumVertices) continue;
    auto& points = morph.targets[t];
    points.resize(target.mNumVertices);
    for (unsigned i = 0; i < target.mNumVertices; ++i) points[i] = ToVec3(target.mVertices[i]);
  }
  if (!channel) return morph;
  size_t stray_values = 0;
  for (unsigned k = 0; k < channel->mNumKeys; ++k) {
    const aiMeshMorphKey& key = channel->mKeys[k];
    if (!std::isfinite(key.mTime)) {
      ++stray_values;
      continue;
    }
    std::vector<double> weights(targets, 0.0);
    for (unsigned i = 0; i < key.mNumValuesAndWeights; ++i) {
      if (key.mValues[i] >= targets || !std::isfinite(key.mWeights[i])) {
        ++stray_values;
        continue;
      }
      weights[key.mValues[i]] = key.mWeights[i];
    }
    morph.keys.push_back({key.mTime, std::move(weights)});
  }
  SortByTime(morph.keys);
  if (stray_values > 0) {
    warnings.push_back(where + ": " + std::to_string(stray_values) +
                       " morph keys or weights name a missing target or are not finite; ignored");
  }
  return morph;
}

}  // namespace quorhost::assimp_convert
