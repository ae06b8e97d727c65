#include "quorhost/scene_demo.h"

#include <utility>

#include "quorhost/scene_animation.h"

namespace quorhost {
namespace {

// Appends an object with a rest transform and keys; returns its index.
int32_t Add(Scene& scene, SceneObject object, int32_t parent, Vec3 position, Vec3 rotation,
            std::vector<TransformKey> keys, std::vector<PointKey> point_keys = {}) {
  object.parent = parent;
  object.matrix = ComposeMatrix(position, rotation, {1, 1, 1});
  if (!keys.empty() || !point_keys.empty()) {
    KeyedAnimation animation;
    animation.fps = scene.fps;
    animation.rest_position = position;
    animation.rest_rotation = rotation;
    animation.keys = std::move(keys);
    animation.point_keys = std::move(point_keys);
    object.animator = MakeKeyedAnimator(animation);
  }
  scene.objects.push_back(std::move(object));
  return static_cast<int32_t>(scene.objects.size() - 1);
}

SceneObject Named(std::string name, ObjectKind kind) {
  SceneObject object;
  object.name = std::move(name);
  object.kind = kind;
  return object;
}

}  // namespace

Scene MakeDemoScene() {
  Scene scene;
  scene.fps = 30;
  scene.min_time = {0, 30};
  scene.max_time = {90, 30};

  // The rig turns once around Y over the whole range.
  const int32_t rig = Add(scene, Named("Rig", ObjectKind::Null), -1, {0, 0, 0}, {0, 0, 0},
                          {{0, {}, Vec3{0, 0, 0}, {}}, {90, {}, Vec3{0, 360, 0}, {}}});

  SceneObject cube = Named("Cube", ObjectKind::Cube);
  cube.size = {100, 100, 100};
  Add(scene, std::move(cube), rig, {200, 0, 0}, {0, 0, 0},
      {{0, {}, Vec3{0, 0, 0}, Vec3{1, 1, 1}},
       {45, {}, Vec3{45, 90, 0}, Vec3{1.5, 1, 1.5}},
       {90, {}, Vec3{90, 180, 0}, Vec3{1, 1, 1}}});

  const int32_t bouncer =
      Add(scene, Named("Bouncer", ObjectKind::Null), rig, {-200, 0, 0}, {0, 0, 0},
          {{0, Vec3{-200, 0, 0}, {}, {}},
           {45, Vec3{-200, 150, 0}, {}, {}},
           {90, Vec3{-200, 0, 0}, {}, {}}});
  SceneObject sphere = Named("Sphere", ObjectKind::Sphere);
  sphere.radius = 50;
  sphere.segments = 16;
  Add(scene, std::move(sphere), bouncer, {0, 0, 0}, {0, 0, 0}, {});

  const int32_t tilt = Add(scene, Named("Tilt", ObjectKind::Null), rig, {0, -100, 0}, {0, 0, 0},
                           {{0, {}, Vec3{-10, 0, 0}, {}}, {90, {}, Vec3{10, 0, 0}, {}}});
  SceneObject floor = Named("Floor", ObjectKind::Plane);
  floor.width = 600;
  floor.height = 600;
  floor.width_segments = 4;
  floor.height_segments = 3;
  Add(scene, std::move(floor), tilt, {0, 0, 0}, {0, 0, 0}, {});

  const std::vector<Vec3> flat = {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}};
  const std::vector<Vec3> waved = {{0, 0, 0}, {100, 0, 30}, {100, 100, 30}, {0, 100, 0}};
  SceneObject flag = Named("Flag", ObjectKind::Polygon);
  flag.points = flat;
  flag.polygons = {{0, 1, 2, 3}};
  Add(scene, std::move(flag), tilt, {0, 100, -250}, {0, 0, 0}, {},
      {{0, flat}, {45, waved}, {90, flat}});
  return scene;
}

}  // namespace quorhost
