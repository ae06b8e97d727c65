// The built-in demonstration scene, used when no scene file is given.
#pragma once

#include "quorhost/scene.h"

namespace quorhost {

// Builds the scene of examples/demo.json in code: frames 0 to 90 at 30 fps, an animated rig of
// nulls carrying a cube, a sphere, a plane and a point-animated polygon "flag". Loading
// examples/demo.json gives the same scene (the tests hold the two together).
Scene MakeDemoScene();

}  // namespace quorhost
