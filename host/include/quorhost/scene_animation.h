// Matrix helpers and the keyed animator of the stand-in host's scenes. The evaluation rules are
// described in docs/scene-evaluation.md. Everything here is pure and safe to call from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "quorhost/scene.h"

namespace quorhost {

// Matrix product a * b: the result applies b first, then a. Every component is summed left to
// right exactly like the exporter's generation-12 writer, so expectations computed with it are
// bit-identical to what a double-precision writer produces.
Mat4 Multiply(const Mat4& a, const Mat4& b);

// m applied to p: ((t + p.x*x) + p.y*y) + p.z*z, component by component.
Vec3 Transform(const Mat4& m, Vec3 p);

// Sine and cosine of an angle in degrees. Multiples of 90 degrees give exact 0, 1 and -1 (so a
// quarter turn leaves no -0.000000 residue in printed coordinates); other angles use std::sin and
// std::cos of the angle reduced to (-360, 360) and converted to radians.
void SinCosDegrees(double degrees, double& sine, double& cosine);

// The local matrix mapping p to position + Rz(Ry(Rx(scale * p))): scale first (per axis), then
// the rotation about X, then about Y, then about Z (angles in degrees, right-hand rule: a positive
// angle about Z turns +X towards +Y), then the translation. Computed as
// Multiply(Rz, Multiply(Ry, Multiply(Rx, S))) with the translation set to `position`.
Mat4 ComposeMatrix(Vec3 position, Vec3 rotation_deg, Vec3 scale);

// The inverse of ComposeMatrix for matrices without shear: position is m.t, scale the axis
// lengths (x negated when the axes are left-handed), rotation the X-then-Y-then-Z angles in
// degrees within [-180, 180] (Y within [-90, 90]). Exact round trips are not promised.
void DecomposeMatrix(const Mat4& m, Vec3& position, Vec3& rotation_deg, Vec3& scale);

// Seconds of a frame at a scene's frames per second: frame / fps. A frame rate that is zero or
// negative places frames at frame seconds (as 1 fps would), so keys stay ordered and finite.
double FrameToSeconds(double frame, int32_t fps);

// One key of an object's transform. Each of the three values is optional: a key adds a point only
// to the tracks whose value it sets.
struct TransformKey {
  double frame = 0;
  std::optional<Vec3> position;
  std::optional<Vec3> rotation;  // degrees, X then Y then Z
  std::optional<Vec3> scale;
};

// One key of a polygon object's points (point-level animation).
struct PointKey {
  double frame = 0;
  std::vector<Vec3> points;
};

// Everything a keyed animator needs. The rest values stand in for tracks that have no key.
struct KeyedAnimation {
  int32_t fps = 30;
  Vec3 rest_position{0, 0, 0};
  Vec3 rest_rotation{0, 0, 0};
  Vec3 rest_scale{1, 1, 1};
  std::vector<TransformKey> keys;    // any order; keys with a NaN frame are ignored
  std::vector<PointKey> point_keys;  // any order; keys with a NaN frame are ignored
};

// An immutable animator evaluating `animation` with the rules of docs/scene-evaluation.md. Never
// null. With no transform key it leaves the local matrix alone; with position keys only it
// replaces just the translation (the rest axes stay bit-exact); with a rotation or scale key it
// replaces the whole local matrix with ComposeMatrix of the three tracks. With no point key it
// leaves the points alone.
std::shared_ptr<const Animator> MakeKeyedAnimator(const KeyedAnimation& animation);

}  // namespace quorhost
