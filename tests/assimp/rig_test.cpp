// The rig's evaluation rules on small hand-made cases: key holding and steps, the shorter arc of
// spherical interpolation, affine inverses, and skin weights.
#include <gtest/gtest.h>

#include <cmath>

#include "quorhost/scene_animation.h"
#include "scene_assimp_rig.h"

namespace quorhost::assimp_rig {
namespace {

bool Near(Vec3 a, Vec3 b, double tolerance = 1e-12) {
  return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance &&
         std::abs(a.z - b.z) <= tolerance;
}

TEST(AssimpRig, VectorTracksHoldOutsideTheirKeysAndStepAtEqualTimes) {
  const std::vector<Key<Vec3>> keys = {
      {10, {0, 0, 0}}, {20, {10, 0, 0}}, {30, {20, 0, 0}}, {30, {50, 0, 0}}, {40, {60, 0, 0}}};
  struct Case {
    double ticks, x;
  };
  for (const Case& c : {Case{-5, 0}, Case{10, 0}, Case{15, 5}, Case{20, 10}, Case{29, 19},
                        Case{30, 50}, Case{35, 55}, Case{40, 60}, Case{1e9, 60}}) {
    EXPECT_EQ(SampleVector(keys, {7, 7, 7}, c.ticks).x, c.x) << "at " << c.ticks;
  }
  EXPECT_EQ(SampleVector({}, {7, 8, 9}, 3).y, 8);  // no key: the rest value
}

TEST(AssimpRig, RotationsBlendAlongTheShorterArc) {
  const double h = std::sqrt(0.5);
  const Quat identity{1, 0, 0, 0}, quarter_z{h, 0, 0, h};
  // Halfway to a quarter turn is an eighth of a turn, also with the key's sign flipped.
  for (const Quat& end : {quarter_z, Quat{-h, 0, 0, -h}}) {
    const Mat4 m = ComposeTrs({}, Slerp(identity, end, 0.5), {1, 1, 1});
    EXPECT_TRUE(Near(m.x, {std::cos(M_PI / 4), std::sin(M_PI / 4), 0}, 1e-12));
  }
  // Stored keys are not quite unit length (0.707): they are taken as unit rotations.
  const Mat4 rounded = ComposeTrs({}, Quat{0.707, 0, 0, 0.707}, {2, 2, 2});
  EXPECT_TRUE(Near(rounded.x, {0, 2, 0}, 1e-12));
}

TEST(AssimpRig, AffineInverseUndoesScaleShearAndTranslation) {
  const Mat4 m{{1, -2, 3}, {2, 0, 0}, {0.5, 3, 0}, {0, 1, 4}};
  const Mat4 product = Multiply(m, InverseAffine(m));
  EXPECT_TRUE(Near(product.t, {0, 0, 0}));
  EXPECT_TRUE(Near(product.x, {1, 0, 0}));
  EXPECT_TRUE(Near(product.y, {0, 1, 0}));
  EXPECT_TRUE(Near(product.z, {0, 0, 1}));
  const Mat4 flat{{1, 1, 1}, {1, 0, 0}, {2, 0, 0}, {0, 0, 1}};
  const Mat4 fallback = InverseAffine(flat);  // singular: the identity, never NaN
  EXPECT_TRUE(Near(fallback.x, {1, 0, 0}) && Near(fallback.t, {0, 0, 0}));
}

TEST(AssimpRig, SkinBlendsBonesByWeightInTheMeshNodesSpace) {
  // Mesh node at x = 100; bone 1 moved up by 10 from its bind pose, bone 2 at its bind pose.
  Mat4 mesh_world, bone1, bone2, offset;
  mesh_world.t = {100, 0, 0};
  bone1.t = {0, 10, 0};
  Skin skin;
  skin.mesh_node = 0;
  skin.bones = {1, 2};
  skin.offsets = {offset, offset};
  // Vertex 0: all bone 1; vertex 1: half and half; vertex 2: no weight.
  skin.first = {0, 1, 3, 3};
  skin.influences = {{0, 1.0}, {0, 0.5}, {1, 0.5}};
  std::vector<Vec3> points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  ApplySkin(skin, {mesh_world, bone1, bone2}, points);
  EXPECT_TRUE(Near(points[0], {-100, 10, 0}));  // world (0, 10, 0) seen from the mesh node
  EXPECT_TRUE(Near(points[1], {-99, 5, 0}));
  EXPECT_TRUE(Near(points[2], {2, 0, 0}));
}

TEST(AssimpRig, MorphWeightsBlendBetweenKeysAndDefaultWithoutThem) {
  Morph morph;
  morph.targets = {{{0, 10, 0}}, {}};  // the second target moves no point
  morph.default_weights = {0.25, 1};
  std::vector<Vec3> points = {{0, 0, 0}};
  ApplyMorph(morph, 0, points);
  EXPECT_TRUE(Near(points[0], {0, 2.5, 0}));
  morph.keys = {{0, {0, 0}}, {100, {1, 0}}};
  points = {{0, 0, 0}};
  ApplyMorph(morph, 50, points);
  EXPECT_TRUE(Near(points[0], {0, 5, 0}));
  points = {{0, 0, 0}};
  ApplyMorph(morph, 500, points);
  EXPECT_TRUE(Near(points[0], {0, 10, 0}));
}

}  // namespace
}  // namespace quorhost::assimp_rig
