// Scene files of the stand-in host: JSON documents in the format of docs/scene-format.md.
// Loading is strict (unknown fields, wrong types and repeated fields are errors) and needs no
// recursion, so any nesting depth loads. Safe from any thread; no shared state.
#pragma once

#include <string>
#include <string_view>

#include "quorhost/scene.h"

namespace quorhost {

// Loads a scene file. On failure returns false and fills `error` with one line naming the file
// and the JSON position or field ("scene.json: objects[2].points[5]: expected an array of 3
// numbers"). `scene` is replaced only on success.
bool LoadSceneJson(const std::string& path, Scene& scene, std::string& error);

// The same for text in memory; `name_for_errors` starts every error message.
bool ParseSceneJson(std::string_view text, const std::string& name_for_errors, Scene& scene,
                    std::string& error);

}  // namespace quorhost
