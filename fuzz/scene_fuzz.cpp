// The JSON scene loader on arbitrary bytes: it must answer every input with a scene or one
// error line, never crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "quorhost/scene_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorhost::Scene scene;
  std::string error;
  const bool ok = quorhost::ParseSceneJson(
      std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json", scene, error);
  if (!ok && error.empty()) __builtin_trap();  // a failure always says why
  if (ok) {
    for (size_t i = 0; i < scene.objects.size(); ++i) {
      // Objects are in pre-order: a parent always precedes its children.
      if (scene.objects[i].parent >= int32_t(i)) __builtin_trap();
    }
  }
  return 0;
}
