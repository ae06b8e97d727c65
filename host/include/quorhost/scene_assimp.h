// Interchange scene files (glTF 2.0, FBX, Collada) read with the assimp library and turned into
// the stand-in host's scenes, animation included. The mapping is described in
// docs/scene-format.md ("Interchange formats"). Safe from any thread; no shared state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quorhost/scene.h"

namespace quorhost {
struct AssimpOptions {
  std::string animation;  // name or index of the animation to sample; "" = the first
  int32_t fps = 0;        // sampling rate; 0 = from the file (25 when the file has none)
};
// Loads a glTF 2.0 (.gltf, .glb), FBX or Collada (.dae) file into a Scene. On failure returns false
// with one line in `error`. Whatever the host cannot evaluate is reported in `warnings` (may be
// null).
bool LoadSceneAssimp(const std::string& path, const AssimpOptions& options, Scene& scene,
                     std::string& error, std::vector<std::string>* warnings);
}  // namespace quorhost
