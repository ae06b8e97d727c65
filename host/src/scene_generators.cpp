#include "quorhost/scene_generators.h"

#include <algorithm>
#include <cstdint>

#include "quorhost/scene_animation.h"

namespace quorhost {
namespace {

// Segment counts beyond this would only exhaust memory: a 1000 x 1000 plane already has a
// million quads.
constexpr int32_t kMaxSegments = 1000;

// Negative and NaN lengths become 0; infinities pass through.
double NonNegative(double length) { return length > 0 ? length : 0.0; }

// A zero length must not leave -0 coordinates behind: the exporter would print "-0.000000".
// Adding +0 turns -0 into +0 and changes no other value.
double NoNegativeZero(double value) { return value + 0.0; }

int32_t ClampSegments(int32_t segments, int32_t least) {
  return std::clamp(segments, least, kMaxSegments);
}

Mesh Cube(const SceneObject& cube) {
  const Vec3 half{NonNegative(cube.size.x) * 0.5, NonNegative(cube.size.y) * 0.5,
                  NonNegative(cube.size.z) * 0.5};
  Mesh mesh;
  // Point i has bit 0 for +x, bit 1 for +y, bit 2 for +z.
  for (int i = 0; i < 8; ++i) {
    mesh.points.push_back({(i & 1) ? half.x : 0.0 - half.x, (i & 2) ? half.y : 0.0 - half.y,
                           (i & 4) ? half.z : 0.0 - half.z});
  }
  // +X, -X, +Y, -Y, +Z, -Z; (b - a) x (c - a) points outwards.
  mesh.polygons = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3},
                   {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
  return mesh;
}

Mesh Plane(const SceneObject& plane) {
  const double width = NonNegative(plane.width);
  const double height = NonNegative(plane.height);
  const int32_t across = ClampSegments(plane.width_segments, 1);
  const int32_t along = ClampSegments(plane.height_segments, 1);
  const int32_t row = across + 1;
  Mesh mesh;
  mesh.points.reserve(static_cast<size_t>(row) * static_cast<size_t>(along + 1));
  for (int32_t j = 0; j <= along; ++j) {
    // width * (i/n - 0.5) lands exactly on -width/2 and +width/2 at the edges.
    const double z = NoNegativeZero(height * (static_cast<double>(j) / along - 0.5));
    for (int32_t i = 0; i <= across; ++i) {
      mesh.points.push_back(
          {NoNegativeZero(width * (static_cast<double>(i) / across - 0.5)), 0.0, z});
    }
  }
  mesh.polygons.reserve(static_cast<size_t>(across) * static_cast<size_t>(along));
  for (int32_t j = 0; j < along; ++j) {
    for (int32_t i = 0; i < across; ++i) {
      const int32_t a = j * row + i;
      mesh.polygons.push_back({a, a + row, a + row + 1, a + 1});  // normal +Y
    }
  }
  return mesh;
}

Mesh Sphere(const SceneObject& sphere) {
  const double radius = NonNegative(sphere.radius);
  const int32_t around = ClampSegments(sphere.segments, 3);
  const int32_t rings = std::max(2, around / 2);
  Mesh mesh;
  mesh.points.reserve(static_cast<size_t>(around) * static_cast<size_t>(rings - 1) + 2);
  mesh.points.push_back({0, radius, 0});
  for (int32_t k = 1; k < rings; ++k) {
    double sin_theta, cos_theta;
    SinCosDegrees(180.0 * k / rings, sin_theta, cos_theta);
    for (int32_t i = 0; i < around; ++i) {
      double sin_phi, cos_phi;
      SinCosDegrees(360.0 * i / around, sin_phi, cos_phi);
      mesh.points.push_back({NoNegativeZero(radius * sin_theta * cos_phi),
                             NoNegativeZero(radius * cos_theta),
                             NoNegativeZero(radius * sin_theta * sin_phi)});
    }
  }
  mesh.points.push_back({0, 0.0 - radius, 0});

  const int32_t north = 0;
  const int32_t south = 1 + (rings - 1) * around;
  const auto at = [around](int32_t ring, int32_t i) {
    return 1 + (ring - 1) * around + i % around;
  };
  mesh.polygons.reserve(static_cast<size_t>(around) * static_cast<size_t>(rings));
  for (int32_t i = 0; i < around; ++i) {
    mesh.polygons.push_back({at(1, i + 1), at(1, i), north, north});
  }
  for (int32_t k = 1; k + 1 < rings; ++k) {
    for (int32_t i = 0; i < around; ++i) {
      mesh.polygons.push_back({at(k + 1, i), at(k, i), at(k, i + 1), at(k + 1, i + 1)});
    }
  }
  for (int32_t i = 0; i < around; ++i) {
    mesh.polygons.push_back({at(rings - 1, i), at(rings - 1, i + 1), south, south});
  }
  return mesh;
}

}  // namespace

Mesh BuildGeneratorMesh(const SceneObject& generator) {
  switch (generator.kind) {
    case ObjectKind::Cube:
      return Cube(generator);
    case ObjectKind::Plane:
      return Plane(generator);
    case ObjectKind::Sphere:
      return Sphere(generator);
    case ObjectKind::Null:
    case ObjectKind::Polygon:
      break;
  }
  return {};
}

}  // namespace quorhost
