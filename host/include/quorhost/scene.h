// A scene as the stand-in host's loaders describe it, before it becomes a host document.
// Plain data in double precision; the host rounds to the plug-in generation's precision when it
// builds a document. Objects are stored flat, in depth-first pre-order, so that arbitrarily deep
// hierarchies never need recursion to build, copy or destroy.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorhost {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// Maps a point p to t + p.x*x + p.y*y + p.z*z (translation first, then the three axes).
struct Mat4 {
  Vec3 t{0, 0, 0};
  Vec3 x{1, 0, 0};
  Vec3 y{0, 1, 0};
  Vec3 z{0, 0, 1};
};

struct Poly {
  int32_t a = 0, b = 0, c = 0, d = 0;
};

// A document time: numerator over denominator seconds, both exact doubles.
struct Time {
  double num = 0;
  double den = 1;
};

enum class ObjectKind { Null, Polygon, Cube, Plane, Sphere };

// The state of one object at one time, as the host's evaluation produces it.
struct EvaluatedState {
  Mat4 local;                // local matrix, relative to the parent
  std::vector<Vec3> points;  // polygon objects only: the points in object space
};

// Animation of one object. `Evaluate` is called by the host's ExecutePasses with the document
// time in seconds and the object's rest state in `state`; it overwrites what is animated.
// Implementations are immutable and shared between copies of a document.
class Animator {
 public:
  virtual ~Animator() = default;
  virtual void Evaluate(double seconds, EvaluatedState& state) const = 0;
};

struct SceneObject {
  std::string name;
  ObjectKind kind = ObjectKind::Null;
  int32_t parent = -1;  // index into Scene::objects, or -1 for a top-level object

  Mat4 matrix;                // rest local matrix
  std::vector<Vec3> points;   // polygon objects: rest points
  std::vector<Poly> polygons; // polygon objects: four indices each (a triangle repeats its last)

  // Generator parameters (cube, plane, sphere); see docs/scene-evaluation.md for the meshes.
  Vec3 size{200, 200, 200};  // cube edge lengths
  double width = 400, height = 400;
  int32_t width_segments = 1, height_segments = 1;  // plane
  double radius = 100;
  int32_t segments = 24;  // sphere

  std::shared_ptr<const Animator> animator;  // null: not animated
};

struct Scene {
  int32_t fps = 30;
  Time min_time{0, 1};
  Time max_time{90, 30};
  std::vector<SceneObject> objects;  // depth-first pre-order; a parent precedes its children
};

}  // namespace quorhost
