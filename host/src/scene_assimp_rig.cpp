#include "scene_assimp_rig.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "quorhost/scene_animation.h"

namespace quorhost::assimp_rig {
namespace {

// Locates `ticks` among sorted keys: {index, -1} when one key holds (before the first, after the
// last, exactly at a key, or the last of several keys at that time), else {earlier, later}.
template <typename Value>
std::pair<size_t, ptrdiff_t> Locate(const std::vector<Key<Value>>& keys, double ticks) {
  const auto it = std::upper_bound(keys.begin(), keys.end(), ticks,
                                   [](double t, const Key<Value>& k) { return t < k.time; });
  if (it == keys.begin()) return {0, -1};
  const size_t later = static_cast<size_t>(it - keys.begin());
  if (later == keys.size() || keys[later - 1].time == ticks) return {later - 1, -1};
  return {later - 1, static_cast<ptrdiff_t>(later)};
}

template <typename Value>
double Fraction(const std::vector<Key<Value>>& keys, size_t a, size_t b, double ticks) {
  return (ticks - keys[a].time) / (keys[b].time - keys[a].time);
}

Vec3 Lerp(Vec3 a, Vec3 b, double u) {
  const double w = 1.0 - u;
  return {w * a.x + u * b.x, w * a.y + u * b.y, w * a.z + u * b.z};
}

Quat Normalised(Quat q) {
  const double n = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  if (!(n > 0) || !std::isfinite(n)) return {};
  return {q.w / n, q.x / n, q.y / n, q.z / n};
}

Vec3 Scaled(Vec3 v, double s) { return {v.x * s, v.y * s, v.z * s}; }

}  // namespace

Vec3 SampleVector(const std::vector<Key<Vec3>>& keys, Vec3 rest, double ticks) {
  if (keys.empty()) return rest;
  const auto [a, b] = Locate(keys, ticks);
  if (b < 0) return keys[a].value;
  const auto later = static_cast<size_t>(b);
  return Lerp(keys[a].value, keys[later].value, Fraction(keys, a, later, ticks));
}

Quat SampleRotation(const std::vector<Key<Quat>>& keys, Quat rest, double ticks) {
  if (keys.empty()) return rest;
  const auto [a, b] = Locate(keys, ticks);
  if (b < 0) return keys[a].value;
  const auto later = static_cast<size_t>(b);
  return Slerp(keys[a].value, keys[later].value, Fraction(keys, a, later, ticks));
}

Quat Slerp(Quat a, Quat b, double u) {
  a = Normalised(a);
  b = Normalised(b);
  double cosine = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
  if (cosine < 0) {  // q and -q are the same rotation: take the shorter way round
    cosine = -cosine;
    b = {-b.w, -b.x, -b.y, -b.z};
  }
  double wa = 1.0 - u, wb = u;
  if (cosine < 0.9999) {  // nearly equal rotations blend linearly (sin(angle) would vanish)
    const double angle = std::acos(std::min(cosine, 1.0));
    const double sine = std::sin(angle);
    wa = std::sin((1.0 - u) * angle) / sine;
    wb = std::sin(u * angle) / sine;
  }
  return Normalised(
      {wa * a.w + wb * b.w, wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z});
}

Mat4 ComposeTrs(Vec3 position, Quat q, Vec3 scale) {
  q = Normalised(q);
  const double xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  const double xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  const double wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  Mat4 m;
  m.t = position;
  m.x = Scaled({1 - 2 * (yy + zz), 2 * (xy + wz), 2 * (xz - wy)}, scale.x);
  m.y = Scaled({2 * (xy - wz), 1 - 2 * (xx + zz), 2 * (yz + wx)}, scale.y);
  m.z = Scaled({2 * (xz + wy), 2 * (yz - wx), 1 - 2 * (xx + yy)}, scale.z);
  return m;
}

Mat4 InverseAffine(const Mat4& m) {
  // Columns x, y, z form A; the inverse's columns are the rows of adj(A) / det(A).
  const Vec3 &a = m.x, &b = m.y, &c = m.z;
  const Vec3 bc{b.y * c.z - b.z * c.y, b.z * c.x - b.x * c.z, b.x * c.y - b.y * c.x};
  const Vec3 ca{c.y * a.z - c.z * a.y, c.z * a.x - c.x * a.z, c.x * a.y - c.y * a.x};
  const Vec3 ab{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  const double det = a.x * bc.x + a.y * bc.y + a.z * bc.z;
  if (!(std::abs(det) > 0) || !std::isfinite(det)) return {};
  Mat4 r;
  // Row i of the inverse is (bc, ca, ab)[i] / det; store it column-wise.
  r.x = {bc.x / det, ca.x / det, ab.x / det};
  r.y = {bc.y / det, ca.y / det, ab.y / det};
  r.z = {bc.z / det, ca.z / det, ab.z / det};
  const Vec3 t = Transform({{0, 0, 0}, r.x, r.y, r.z}, m.t);
  r.t = {-t.x, -t.y, -t.z};
  return r;
}

Mat4 Rig::LocalAt(int32_t node, double ticks) const {
  const RigNode& n = nodes[static_cast<size_t>(node)];
  if (n.track < 0) return n.rest;
  const NodeTrack& track = tracks[static_cast<size_t>(n.track)];
  return ComposeTrs(SampleVector(track.position, n.rest_position, ticks),
                    SampleRotation(track.rotation, n.rest_rotation, ticks),
                    SampleVector(track.scale, n.rest_scale, ticks));
}

std::vector<Mat4> Rig::WorldsAt(double ticks) const {
  std::vector<Mat4> worlds(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    const Mat4 local = LocalAt(static_cast<int32_t>(i), ticks);
    const int32_t parent = nodes[i].parent;
    worlds[i] = parent < 0 ? local : Multiply(worlds[static_cast<size_t>(parent)], local);
  }
  return worlds;
}

std::vector<double> MorphWeightsAt(const Morph& morph, double ticks) {
  if (morph.keys.empty()) return morph.default_weights;
  const auto [a, b] = Locate(morph.keys, ticks);
  if (b < 0) return morph.keys[a].value;
  const auto later = static_cast<size_t>(b);
  const double u = Fraction(morph.keys, a, later, ticks);
  const auto& wa = morph.keys[a].value;
  const auto& wb = morph.keys[later].value;
  std::vector<double> weights(wa.size());
  for (size_t i = 0; i < wa.size(); ++i) weights[i] = (1.0 - u) * wa[i] + u * wb[i];
  return weights;
}

void ApplyMorph(const Morph& morph, double ticks, std::vector<Vec3>& points) {
  const std::vector<double> weights = MorphWeightsAt(morph, ticks);
  const std::vector<Vec3> base = points;
  for (size_t t = 0; t < morph.targets.size() && t < weights.size(); ++t) {
    const double w = weights[t];
    const auto& target = morph.targets[t];
    if (w == 0 || target.size() != base.size()) continue;
    for (size_t i = 0; i < base.size(); ++i) {
      points[i].x += w * (target[i].x - base[i].x);
      points[i].y += w * (target[i].y - base[i].y);
      points[i].z += w * (target[i].z - base[i].z);
    }
  }
}

void ApplySkin(const Skin& skin, const std::vector<Mat4>& worlds, std::vector<Vec3>& points) {
  if (skin.first.empty()) return;
  const Mat4 to_mesh = InverseAffine(worlds[static_cast<size_t>(skin.mesh_node)]);
  std::vector<Mat4> bone_matrices(skin.bones.size());
  for (size_t b = 0; b < skin.bones.size(); ++b) {
    bone_matrices[b] =
        Multiply(to_mesh, Multiply(worlds[static_cast<size_t>(skin.bones[b])], skin.offsets[b]));
  }
  const size_t count = std::min(points.size(), skin.first.size() - 1);
  for (size_t v = 0; v < count; ++v) {
    const uint32_t begin = skin.first[v], end = skin.first[v + 1];
    if (begin == end) continue;
    Vec3 sum{0, 0, 0};
    for (uint32_t i = begin; i < end; ++i) {
      const auto& influence = skin.influences[i];
      const Vec3 p = Transform(bone_matrices[static_cast<size_t>(influence.bone)], points[v]);
      sum = {sum.x + influence.weight * p.x, sum.y + influence.weight * p.y,
             sum.z + influence.weight * p.z};
    }
    points[v] = sum;
  }
}

namespace {

class RigAnimator final : public Animator {
 public:
  explicit RigAnimator(ObjectMotion motion) : motion_(std::move(motion)) {}

  void Evaluate(double seconds, EvaluatedState& state) const override {
    const Rig& rig = *motion_.rig;
    const double ticks = seconds * rig.ticks_per_second;
    if (motion_.local_node >= 0) state.local = rig.LocalAt(motion_.local_node, ticks);
    if (motion_.morph) ApplyMorph(*motion_.morph, ticks, state.points);
    if (motion_.skin) ApplySkin(*motion_.skin, rig.WorldsAt(ticks), state.points);
  }

 private:
  ObjectMotion motion_;
};

}  // namespace

std::shared_ptr<const Animator> MakeRigAnimator(ObjectMotion motion) {
  return std::make_shared<RigAnimator>(std::move(motion));
}

}  // namespace quorhost::assimp_rig
