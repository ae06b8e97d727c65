// Conversions from assimp's imported data to the host's scene and rig structures. Each function
// reads the assimp objects it is given (never null) and copies what it needs; problems that lose
// animation are appended to `warnings` as whole sentences.
#pragma once

#include <assimp/scene.h>

#include <map>
#include <string>
#include <vector>

#include "quorhost/scene.h"
#include "scene_assimp_rig.h"

namespace quorhost::assimp_convert {

Mat4 ToMat4(const aiMatrix4x4& m);

// The mesh's points and polygons: triangles repeat their last index, quads stay, larger
// polygons become a fan of quads (and a closing triangle) around their first corner. Faces
// with fewer than three corners are counted in `skipped_faces` and left out.
void ConvertMesh(const aiMesh& mesh, std::vector<Vec3>& points, std::vector<Poly>& polygons,
                 size_t& skipped_faces);

// A node's rest values, from its local matrix.
void SetRest(const aiMatrix4x4& local, assimp_rig::RigNode& node);

// A channel's keys, sorted by time; keys whose time is not finite are dropped and counted.
assimp_rig::NodeTrack ConvertTrack(const aiNodeAnim& channel, size_t& dropped_keys);

// The skin of `mesh` placed at rig node `mesh_node`; bones are found by name in `nodes_by_name`.
// A bone without a node, or a weight on a vertex that does not exist, is reported and ignored.
assimp_rig::Skin ConvertSkin(const aiMesh& mesh, int32_t mesh_node,
                             const std::map<std::string, int32_t>& nodes_by_name,
                             const std::string& where, std::vector<std::string>& warnings);

// The morph targets of `mesh` with its default weights, and the keys of `channel` (may be null).
// Keys naming a target the mesh does not have are reported and ignored.
assimp_rig::Morph ConvertMorph(const aiMesh& mesh, const aiMeshMorphAnim* channel,
                               const std::string& where, std::vector<std::string>& warnings);

}  // namespace quorhost::assimp_convert
