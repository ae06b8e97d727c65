// An independent evaluation of an imported file's animation, written with assimp's own math
// (single precision, aiQuaternion::Interpolate for rotations): the expected world-space points of
// every mesh at a time, to compare with what the exporter writes.
#pragma once

#include <assimp/scene.h>

#include <string>
#include <vector>

namespace quortest {

struct PlacedMesh {
  std::string node;  // the node the mesh hangs from
  const aiMesh* mesh = nullptr;
  std::vector<aiVector3D> world;  // the mesh's points in world space at the time
};

// World matrices of every node at `ticks`, and the meshes in the node hierarchy's depth-first
// pre-order (a node's meshes in its own order), posed: morph targets, then skinning, then the
// node's world matrix (skinned meshes are posed by their bones alone). `animation` may be null.
std::vector<PlacedMesh> PoseMeshes(const aiScene& scene, const aiAnimation* animation,
                                   double ticks);

// The interpolated value of a key list at `ticks` (held before the first and after the last key).
aiVector3D SampleKeys(const aiVectorKey* keys, unsigned count, double ticks, aiVector3D rest);
aiQuaternion SampleKeys(const aiQuatKey* keys, unsigned count, double ticks, aiQuaternion rest);

}  // namespace quortest
