#include "reference_pose.h"

#include <functional>
#include <map>

namespace quortest {
namespace {

// Index of the last key at or before `ticks` (0 when before the first) and the blend towards the
// next one (0 when holding).
template <typename K>
std::pair<unsigned, float> Bracket(const K* keys, unsigned count, double ticks) {
  if (ticks <= keys[0].mTime) return {0, 0.f};
  for (unsigned i = 0; i + 1 < count; ++i) {
    if (ticks < keys[i + 1].mTime) {
      return {i, float((ticks - keys[i].mTime) / (keys[i + 1].mTime - keys[i].mTime))};
    }
  }
  return {count - 1, 0.f};
}

}  // namespace

aiVector3D SampleKeys(const aiVectorKey* keys, unsigned count, double ticks, aiVector3D rest) {
  if (count == 0) return rest;
  const auto [i, u] = Bracket(keys, count, ticks);
  if (u == 0.f) return keys[i].mValue;
  return keys[i].mValue + (keys[i + 1].mValue - keys[i].mValue) * u;
}

aiQuaternion SampleKeys(const aiQuatKey* keys, unsigned count, double ticks, aiQuaternion rest) {
  if (count == 0) return rest;
  // Files store rotations rounded (0.707 for a quarter turn): they are taken as unit quaternions.
  const auto [i, u] = Bracket(keys, count, ticks);
  aiQuaternion a = keys[i].mValue;
  a.Normalize();
  if (u == 0.f) return a;
  aiQuaternion b = keys[i + 1].mValue, out;
  aiQuaternion::Interpolate(out, a, b.Normalize(), u);
  return out.Normalize();
}

std::vector<PlacedMesh> PoseMeshes(const aiScene& scene, const aiAnimation* animation,
                                   double ticks) {
  std::map<std::string, const aiNodeAnim*> channels;
  std::map<std::string, const aiMeshMorphAnim*> morphs;
  if (animation) {
    for (unsigned c = 0; c < animation->mNumChannels; ++c) {
      channels.emplace(animation->mChannels[c]->mNodeName.C_Str(), animation->mChannels[c]);
    }
    for (unsigned c = 0; c < animation->mNumMorphMeshChannels; ++c) {
      morphs.emplace(animation->mMorphMeshChannels[c]->mName.C_Str(),
                     animation->mMorphMeshChannels[c]);
    }
  }
  std::map<std::string, aiMatrix4x4> worlds;
  std::vector<std::pair<const aiNode*, aiMatrix4x4>> order;
  std::function<void(const aiNode*, const aiMatrix4x4&)> walk = [&](const aiNode* node,
                                                                    const aiMatrix4x4& parent) {
    aiMatrix4x4 local = node->mTransformation;
    if (auto it = channels.find(node->mName.C_Str()); it != channels.end()) {
      aiVector3D scale, position;
      aiQuaternion rotation;
      local.Decompose(scale, rotation, position);
      const aiNodeAnim& ch = *it->second;
      local = aiMatrix4x4(SampleKeys(ch.mScalingKeys, ch.mNumScalingKeys, ticks, scale),
                          SampleKeys(ch.mRotationKeys, ch.mNumRotationKeys, ticks, rotation),
                          SampleKeys(ch.mPositionKeys, ch.mNumPositionKeys, ticks, position));
    }
    const aiMatrix4x4 world = parent * local;
    worlds.emplace(node->mName.C_Str(), world);
    order.push_back({node, world});
    for (unsigned c = 0; c < node->mNumChildren; ++c) walk(node->mChildren[c], world);
  };
  walk(scene.mRootNode, aiMatrix4x4());

  std::vector<PlacedMesh> placed;
  for (const auto& [node, world] : order) {
    for (unsigned m = 0; m < node->mNumMeshes; ++m) {
      const aiMesh* mesh = scene.mMeshes[node->mMeshes[m]];
      std::vector<aiVector3D> points(mesh->mVertices, mesh->mVertices + mesh->mNumVertices);
      // Morph: base + sum of weight * (target - base).
      if (mesh->mNumAnimMeshes > 0) {
        std::vector<float> weights(mesh->mNumAnimMeshes);
        for (unsigned t = 0; t < mesh->mNumAnimMeshes; ++t)
          weights[t] = mesh->mAnimMeshes[t]->mWeight;
        auto it = morphs.find(node->mName.C_Str());
        if (it == morphs.end()) it = morphs.find(mesh->mName.C_Str());
        if (it != morphs.end()) {
          const aiMeshMorphAnim& ch = *it->second;
          const auto [k, u] = Bracket(ch.mKeys, ch.mNumKeys, ticks);
          const unsigned k1 = u == 0.f ? k : k + 1;
          std::fill(weights.begin(), weights.end(), 0.f);
          for (unsigned j = 0; j < ch.mKeys[k].mNumValuesAndWeights; ++j) {
            weights[ch.mKeys[k].mValues[j]] += float((1 - u) * ch.mKeys[k].mWeights[j]);
          }
          for (unsigned j = 0; j < ch.mKeys[k1].mNumValuesAndWeights; ++j) {
            weights[ch.mKeys[k1].mValues[j]] += float(u * ch.mKeys[k1].mWeights[j]);
          }
        }
        const std::vector<aiVector3D> base = points;
        for (unsigned t = 0; t < mesh->mNumAnimMeshes; ++t) {
          const aiAnimMesh* target = mesh->mAnimMeshes[t];
          for (unsigned v = 0; target->mVertices && v < mesh->mNumVertices; ++v) {
            points[v] += (target->mVertices[v] - base[v]) * weights[t];
          }
        }
      }
      if (mesh->mNumBones > 0) {
        // Weights that do not add up to 1 (exporters round them) are taken relative to their sum.
        std::vector<aiVector3D> skinned(points.size(), aiVector3D(0, 0, 0));
        std::vector<float> total(points.size(), 0.f);
        for (unsigned b = 0; b < mesh->mNumBones; ++b) {
          const aiBone* bone = mesh->mBones[b];
          const aiMatrix4x4 m = worlds.at(bone->mName.C_Str()) * bone->mOffsetMatrix;
          for (unsigned w = 0; w < bone->mNumWeights; ++w) {
            const aiVertexWeight& vw = bone->mWeights[w];
            skinned[vw.mVertexId] += (m * points[vw.mVertexId]) * vw.mWeight;
            total[vw.mVertexId] += vw.mWeight;
          }
        }
        for (size_t v = 0; v < skinned.size(); ++v) {
          skinned[v] = total[v] > 0 ? skinned[v] / total[v] : world * points[v];
        }
        placed.push_back({node->mName.C_Str(), mesh, std::move(skinned)});
      } else {
        for (auto& p : points) p = world * p;
        placed.push_back({node->mName.C_Str(), mesh, std::move(points)});
      }
    }
  }
  return placed;
}

}  // namespace quortest
