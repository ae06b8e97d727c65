// glTF details that assimp does not pass on: the interpolation of animation samplers.
#pragma once

#include <string>
#include <vector>

namespace quorhost {

// For a .gltf or .glb file, appends one warning per animation whose samplers use STEP or
// CUBICSPLINE interpolation (assimp hands their keys on as linear ones). Other files, and files
// whose JSON cannot be read here, add nothing (assimp reports unreadable files itself).
void CheckGltfInterpolation(const std::string& path, std::vector<std::string>& warnings);

}  // namespace quorhost
