// The animation of an interchange scene as the host evaluates it: the node hierarchy with its key
// tracks (an immutable "rig" shared by every animator of one scene), skinning and morph targets.
// Times are in the file's ticks; everything here is pure and safe to call from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "quorhost/scene.h"

namespace quorhost::assimp_rig {

struct Quat {
  double w = 1, x = 0, y = 0, z = 0;
};

template <typename Value>
struct Key {
  double time = 0;  // ticks
  Value value;
};

// One node's keys; a kind without keys keeps the node's rest value of that kind.
struct NodeTrack {
  std::vector<Key<Vec3>> position;  // sorted by time (ties keep their order)
  std::vector<Key<Quat>> rotation;
  std::vector<Key<Vec3>> scale;
};

struct RigNode {
  int32_t parent = -1;  // index into Rig::nodes; parents precede children
  Mat4 rest;            // local matrix
  Vec3 rest_position;   // the rest matrix decomposed, for tracks that lack a kind
  Quat rest_rotation;
  Vec3 rest_scale{1, 1, 1};
  int32_t track = -1;  // index into Rig::tracks, or -1
};

struct Rig {
  double ticks_per_second = 25;
  std::vector<RigNode> nodes;  // depth-first pre-order
  std::vector<NodeTrack> tracks;

  // The node's local matrix at `ticks`: the rest matrix when the node has no track, else
  // translation * rotation * scale of its tracks.
  Mat4 LocalAt(int32_t node, double ticks) const;
  // Every node's world matrix at `ticks` (parent world * local), indexed like `nodes`.
  std::vector<Mat4> WorldsAt(double ticks) const;
};

// Keys of a track: before the first key the first value holds, after the last the last; at a
// key its value exactly; between two keys vectors blend linearly and rotations spherically.
Vec3 SampleVector(const std::vector<Key<Vec3>>& keys, Vec3 rest, double ticks);
Quat SampleRotation(const std::vector<Key<Quat>>& keys, Quat rest, double ticks);
Quat Slerp(Quat a, Quat b, double u);  // shortest arc, result normalised
Mat4 ComposeTrs(Vec3 position, Quat rotation, Vec3 scale);
// The inverse of an affine matrix; the identity's inverse when the axes are singular.
Mat4 InverseAffine(const Mat4& m);

// Linear blend skinning of one mesh. Offsets map the mesh's bind-pose space to each bone's space;
// a vertex's result is the weighted sum of (bone world * offset) applied to it, carried back into
// the mesh node's space. Vertices without weight keep their point.
struct Skin {
  struct Influence {
    int32_t bone = 0;  // index into `bones`
    double weight = 0;
  };
  int32_t mesh_node = 0;              // the rig node whose space the object's points are in
  std::vector<int32_t> bones;         // rig node of each bone
  std::vector<Mat4> offsets;          // per bone
  std::vector<uint32_t> first;        // per vertex + 1: influences[first[v]..first[v+1]) are v's
  std::vector<Influence> influences;  // weights already normalised to sum 1
};

// Morph targets of one mesh: absolute target positions, blended as base + sum w * (target - base).
struct Morph {
  std::vector<std::vector<Vec3>> targets;      // empty entry: the target moves no point
  std::vector<double> default_weights;         // used when `keys` is empty
  std::vector<Key<std::vector<double>>> keys;  // one weight per target, sorted by time
};

// What an object's animator does: replace the local matrix from the rig node's track, and/or
// deform the points (morph first, then skin). `rig` is shared by all animators of one scene.
struct ObjectMotion {
  std::shared_ptr<const Rig> rig;
  int32_t local_node = -1;             // rig node whose track drives the local matrix, or -1
  std::shared_ptr<const Morph> morph;  // may be null
  std::shared_ptr<const Skin> skin;    // may be null
};

std::vector<double> MorphWeightsAt(const Morph& morph, double ticks);
void ApplyMorph(const Morph& morph, double ticks, std::vector<Vec3>& points);
void ApplySkin(const Skin& skin, const std::vector<Mat4>& worlds, std::vector<Vec3>& points);

// Never null; `motion.rig` must not be null.
std::shared_ptr<const Animator> MakeRigAnimator(ObjectMotion motion);

}  // namespace quorhost::assimp_rig
