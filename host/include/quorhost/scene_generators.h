// Polygon meshes of the stand-in host's generator objects. The point and polygon order of each
// mesh, the parameter clamping and the winding are described in docs/scene-evaluation.md.
#pragma once

#include <vector>

#include "quorhost/scene.h"

namespace quorhost {

struct Mesh {
  std::vector<Vec3> points;
  std::vector<Poly> polygons;
};

// The polygon mesh of a generator object (cube, plane or sphere) from its parameters, in the
// object's own space. Not for Null or Polygon objects.
// (For those it returns an empty mesh. Pure; safe from any thread.)
Mesh BuildGeneratorMesh(const SceneObject& generator);

}  // namespace quorhost
