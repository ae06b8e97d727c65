// Reading the scene file named on the command line: JSON scenes of the stand-in host, and glTF,
// FBX and Collada files through the asset loader when objseq was built with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quorhost/scene.h"

namespace objseq {

struct SceneRequest {
  std::string path;
  std::string animation;  // asset files: animation name or index, "" = the first
  int32_t fps = 0;        // asset files: sampling rate, 0 = from the file
};

// Loads the scene chosen by the file's suffix (case-insensitive). On failure returns false with one
// line in `error` naming the file; `scene` is then unchanged. Whatever the loader ignored, and
// options that do not apply to the file's kind, are appended to `warnings`.
bool LoadScene(const SceneRequest& request, quorhost::Scene& scene, std::string& error,
               std::vector<std::string>& warnings);

// True when this build reads glTF, FBX and Collada files.
bool HasAssetLoader();

}  // namespace objseq
