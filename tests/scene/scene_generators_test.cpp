#include "quorhost/scene_generators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <utility>

#include "quorhost/scene_animation.h"
#include "scene_test_support.h"

namespace quorhost {
namespace {

SceneObject Cube(Vec3 size) {
  SceneObject o;
  o.kind = ObjectKind::Cube;
  o.size = size;
  return o;
}

SceneObject Plane(double width, double height, int32_t across, int32_t along) {
  SceneObject o;
  o.kind = ObjectKind::Plane;
  o.width = width;
  o.height = height;
  o.width_segments = across;
  o.height_segments = along;
  return o;
}

SceneObject Sphere(double radius, int32_t segments) {
  SceneObject o;
  o.kind = ObjectKind::Sphere;
  o.radius = radius;
  o.segments = segments;
  return o;
}

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// (b - a) x (c - a) of a polygon: the direction the winding faces.
Vec3 FaceNormal(const Mesh& mesh, const Poly& p) {
  const Vec3 a = mesh.points[static_cast<size_t>(p.a)];
  return Cross(Sub(mesh.points[static_cast<size_t>(p.b)], a),
               Sub(mesh.points[static_cast<size_t>(p.c)], a));
}

Vec3 Centroid(const Mesh& mesh, const Poly& p) {
  Vec3 sum;
  for (int32_t i : {p.a, p.b, p.c, p.d}) {
    const Vec3 v = mesh.points[static_cast<size_t>(i)];
    sum = {sum.x + v.x / 4, sum.y + v.y / 4, sum.z + v.z / 4};
  }
  return sum;
}

struct MeshCase {
  std::string name;
  SceneObject object;
  size_t points;
  size_t polygons;
  Vec3 low, high;        // bounding box
  double tolerance = 0;  // 0: bit-exact bounds
};

void PrintTo(const MeshCase& c, std::ostream* out) { *out << c.name; }

class GeneratorMeshTest : public testing::TestWithParam<MeshCase> {};

TEST_P(GeneratorMeshTest, CountsBoundsAndValidIndices) {
  const MeshCase& c = GetParam();
  const Mesh mesh = BuildGeneratorMesh(c.object);
  ASSERT_EQ(mesh.points.size(), c.points);
  ASSERT_EQ(mesh.polygons.size(), c.polygons);
  Vec3 low = mesh.points.front(), high = mesh.points.front();
  for (const Vec3& p : mesh.points) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  if (c.tolerance == 0) {
    EXPECT_TRUE(SameBits(low, c.low)) << low;
    EXPECT_TRUE(SameBits(high, c.high)) << high;
  } else {
    EXPECT_TRUE(Near(low, c.low, c.tolerance)) << low;
    EXPECT_TRUE(Near(high, c.high, c.tolerance)) << high;
  }
  for (const Poly& p : mesh.polygons) {
    for (int32_t i : {p.a, p.b, p.c, p.d}) {
      ASSERT_GE(i, 0);
      ASSERT_LT(static_cast<size_t>(i), mesh.points.size());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Meshes, GeneratorMeshTest,
    testing::Values(
        MeshCase{"cube", Cube({100, 50, 20}), 8, 6, {-50, -25, -10}, {50, 25, 10}},
        MeshCase{"cube_negative_size_is_flat", Cube({-4, 2, 2}), 8, 6, {0, -1, -1}, {0, 1, 1}},
        // Zero sizes give +0 coordinates, never -0 (printed as "-0.000000").
        MeshCase{"plane_zero_size", Plane(0, -1, 2, 2), 9, 4, {0, 0, 0}, {0, 0, 0}},
        MeshCase{"sphere_zero_radius", Sphere(0, 8), 26, 32, {0, 0, 0}, {0, 0, 0}},
        MeshCase{"plane", Plane(400, 200, 4, 2), 15, 8, {-200, 0, -100}, {200, 0, 100}},
        MeshCase{"plane_zero_segments_clamped", Plane(10, 10, 0, -3), 4, 1, {-5, 0, -5}, {5, 0, 5}},
        MeshCase{"plane_huge_segments_clamped",
                 Plane(2, 2, 5000, 1),
                 2002,
                 1000,
                 {-1, 0, -1},
                 {1, 0, 1}},
        MeshCase{
            "sphere", Sphere(100, 24), 2 + 24 * 11, 24 * 12, {-100, -100, -100}, {100, 100, 100}},
        MeshCase{"sphere_eight_segments", Sphere(1, 8), 2 + 8 * 3, 8 * 4, {-1, -1, -1}, {1, 1, 1}},
        // 7 around, 3 rings: rows at 60 and 120 degrees from the pole.
        MeshCase{"sphere_odd_segments",
                 Sphere(1, 7),
                 2 + 7 * 2,
                 7 * 3,
                 {-0.780261927622401, -1, -0.8443123388079835},
                 {0.8660254037844386, 1, 0.8443123388079835},
                 1e-12},
        // 3 around, at least 2 rings: one row on the equator.
        MeshCase{"sphere_three_segments",
                 Sphere(1, 3),
                 5,
                 6,
                 {-0.5, -1, -0.8660254037844386},
                 {1, 1, 0.8660254037844386},
                 1e-12},
        MeshCase{"sphere_too_few_segments",
                 Sphere(1, -8),
                 5,
                 6,
                 {-0.5, -1, -0.8660254037844386},
                 {1, 1, 0.8660254037844386},
                 1e-12},
        MeshCase{"sphere_huge_segments_clamped",
                 Sphere(1, 1 << 30),
                 2 + 1000 * 499,
                 1000 * 500,
                 {-1, -1, -1},
                 {1, 1, 1}}),
    [](const auto& info) { return info.param.name; });

TEST(GeneratorMesh, CubePointsFollowTheBitOrder) {
  const Mesh mesh = BuildGeneratorMesh(Cube({2, 4, 6}));
  for (int i = 0; i < 8; ++i) {
    const Vec3 expected{(i & 1) ? 1.0 : -1.0, (i & 2) ? 2.0 : -2.0, (i & 4) ? 3.0 : -3.0};
    EXPECT_TRUE(SameBits(mesh.points[static_cast<size_t>(i)], expected)) << i;
  }
  const std::vector<Poly> faces = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3},
                                   {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
  EXPECT_EQ(mesh.polygons, faces);
}

// Every face of a closed generator winds outwards, and every edge is used once in each direction
// (a consistent, closed surface). Pole triangles are quads (a, b, c, c).
TEST(GeneratorMesh, ClosedMeshesWindOutwardsConsistently) {
  for (const SceneObject& object :
       {Cube({100, 50, 20}), Sphere(100, 24), Sphere(5, 7), Sphere(5, 3)}) {
    const Mesh mesh = BuildGeneratorMesh(object);
    std::map<std::pair<int32_t, int32_t>, int> edges;
    for (const Poly& p : mesh.polygons) {
      EXPECT_GT(Dot(FaceNormal(mesh, p), Centroid(mesh, p)), 0) << p;
      std::vector<int32_t> corners = {p.a, p.b, p.c};
      if (p.d != p.c) corners.push_back(p.d);
      for (size_t i = 0; i < corners.size(); ++i) {
        ++edges[{corners[i], corners[(i + 1) % corners.size()]}];
      }
    }
    for (const auto& [edge, count] : edges) {
      EXPECT_EQ(count, 1) << edge.first << "->" << edge.second;
      EXPECT_EQ(edges.count({edge.second, edge.first}), 1u) << edge.first << "->" << edge.second;
    }
  }
}

TEST(GeneratorMesh, PlaneGridOrderAndUpwardFaces) {
  const Mesh mesh = BuildGeneratorMesh(Plane(400, 300, 4, 4));
  // Row j (z from -height/2), column i (x from -width/2): index j * 5 + i.
  EXPECT_TRUE(SameBits(mesh.points[0], Vec3{-200, 0, -150}));
  EXPECT_TRUE(SameBits(mesh.points[4], Vec3{200, 0, -150}));
  EXPECT_TRUE(SameBits(mesh.points[5 + 1], Vec3{-100, 0, -75}));
  EXPECT_TRUE(SameBits(mesh.points[19], Vec3{200, 0, 75}));
  EXPECT_TRUE(SameBits(mesh.points[24], Vec3{200, 0, 150}));
  EXPECT_EQ(mesh.polygons[0], (Poly{0, 5, 6, 1}));
  EXPECT_EQ(mesh.polygons[5], (Poly{6, 11, 12, 7}));  // second row, second column
  for (const Poly& p : mesh.polygons) {
    const Vec3 n = FaceNormal(mesh, p);
    EXPECT_GT(n.y, 0);
    EXPECT_EQ(n.x, 0);
    EXPECT_EQ(n.z, 0);
  }
}

TEST(GeneratorMesh, SpherePolesAndRowsFollowTheDocumentedOrder) {
  const int32_t around = 8, rings = 4;
  const Mesh mesh = BuildGeneratorMesh(Sphere(10, around));
  const int32_t south = 1 + (rings - 1) * around;
  EXPECT_TRUE(SameBits(mesh.points[0], Vec3{0, 10, 0}));
  EXPECT_TRUE(SameBits(mesh.points[static_cast<size_t>(south)], Vec3{0, -10, 0}));
  // Row k, column i: polar angle 180*k/rings, azimuth 360*i/around.
  for (int32_t k = 1; k < rings; ++k) {
    for (int32_t i = 0; i < around; ++i) {
      double st, ct, sp, cp;
      SinCosDegrees(180.0 * k / rings, st, ct);
      SinCosDegrees(360.0 * i / around, sp, cp);
      const Vec3 expected{10 * st * cp, 10 * ct, 10 * st * sp};
      EXPECT_TRUE(SameBits(mesh.points[static_cast<size_t>(1 + (k - 1) * around + i)], expected))
          << k << "," << i;
    }
  }
  // The equator lies exactly at y = 0, the quarter azimuths exactly on the axes.
  EXPECT_TRUE(SameBits(mesh.points[1 + around + 2], Vec3{0, 0, 10}));
  for (int32_t i = 0; i < around; ++i) {
    const Poly& top = mesh.polygons[static_cast<size_t>(i)];
    EXPECT_EQ(top, (Poly{1 + (i + 1) % around, 1 + i, 0, 0}));
    const Poly& bottom = mesh.polygons[mesh.polygons.size() - static_cast<size_t>(around - i)];
    EXPECT_EQ(bottom, (Poly{south - around + i, south - around + (i + 1) % around, south, south}));
  }
  for (size_t i = static_cast<size_t>(around); i + around < mesh.polygons.size(); ++i) {
    const Poly& p = mesh.polygons[i];
    EXPECT_TRUE(p.a != p.b && p.b != p.c && p.c != p.d && p.d != p.a) << p;
  }
}

TEST(GeneratorMesh, NullAndPolygonObjectsHaveNoGeneratedMesh) {
  SceneObject object;
  object.points = {{1, 2, 3}};
  for (ObjectKind kind : {ObjectKind::Null, ObjectKind::Polygon}) {
    object.kind = kind;
    const Mesh mesh = BuildGeneratorMesh(object);
    EXPECT_TRUE(mesh.points.empty());
    EXPECT_TRUE(mesh.polygons.empty());
  }
}

}  // namespace
}  // namespace quorhost
