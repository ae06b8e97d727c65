#include "quorhost/scene_demo.h"

#include <gtest/gtest.h>

#include <string>

#include "quorhost/scene_json.h"
#include "scene_test_support.h"

namespace quorhost {
namespace {

// The built-in demo scene and examples/demo.json describe the same scene: the same objects and
// parameters, and the same evaluated state at every frame and half frame.
TEST(DemoScene, EqualsExamplesDemoJson) {
  Scene loaded;
  std::string error;
  ASSERT_TRUE(LoadSceneJson(QUOR_EXAMPLES_DIR "/demo.json", loaded, error)) << error;
  const Scene built = MakeDemoScene();

  EXPECT_EQ(built.fps, loaded.fps);
  EXPECT_TRUE(SameBits(built.min_time.num, loaded.min_time.num));
  EXPECT_TRUE(SameBits(built.min_time.den, loaded.min_time.den));
  EXPECT_TRUE(SameBits(built.max_time.num, loaded.max_time.num));
  EXPECT_TRUE(SameBits(built.max_time.den, loaded.max_time.den));
  ASSERT_EQ(built.objects.size(), loaded.objects.size());

  bool animated_points = false;
  for (size_t i = 0; i < built.objects.size(); ++i) {
    const SceneObject& a = built.objects[i];
    const SceneObject& b = loaded.objects[i];
    SCOPED_TRACE(a.name);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.parent, b.parent);
    EXPECT_TRUE(SameBits(a.matrix, b.matrix));
    EXPECT_TRUE(SameBits(a.points, b.points));
    EXPECT_EQ(a.polygons, b.polygons);
    EXPECT_TRUE(SameBits(a.size, b.size));
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.width_segments, b.width_segments);
    EXPECT_EQ(a.height_segments, b.height_segments);
    EXPECT_EQ(a.radius, b.radius);
    EXPECT_EQ(a.segments, b.segments);
    ASSERT_EQ(a.animator == nullptr, b.animator == nullptr);
    if (!a.animator) continue;
    for (int half_frames = -2; half_frames <= 184; ++half_frames) {
      const double seconds = half_frames / 2.0 / built.fps;
      EvaluatedState from_code{a.matrix, a.points};
      EvaluatedState from_file{b.matrix, b.points};
      a.animator->Evaluate(seconds, from_code);
      b.animator->Evaluate(seconds, from_file);
      ASSERT_TRUE(SameBits(from_code.local, from_file.local)) << "at " << seconds << " s";
      ASSERT_TRUE(SameBits(from_code.points, from_file.points)) << "at " << seconds << " s";
      animated_points = animated_points || !SameBits(from_code.points, a.points);
    }
  }
  EXPECT_TRUE(animated_points);  // the flag's point animation took part in the comparison
}

TEST(DemoScene, HasAnimatedGeneratorsUnderAnimatedNulls) {
  const Scene scene = MakeDemoScene();
  EXPECT_EQ(scene.fps, 30);
  EXPECT_EQ(scene.min_time.num / scene.min_time.den, 0);
  EXPECT_EQ(scene.max_time.num / scene.max_time.den, 3);
  bool kinds[5] = {};
  for (const SceneObject& object : scene.objects) {
    if (object.kind == ObjectKind::Null) continue;
    ASSERT_GE(object.parent, 0) << object.name;
    const SceneObject& parent = scene.objects[static_cast<size_t>(object.parent)];
    EXPECT_EQ(parent.kind, ObjectKind::Null) << object.name;
    EXPECT_NE(parent.animator, nullptr) << object.name;
    kinds[static_cast<int>(object.kind)] = true;
  }
  EXPECT_TRUE(kinds[static_cast<int>(ObjectKind::Cube)]);
  EXPECT_TRUE(kinds[static_cast<int>(ObjectKind::Sphere)]);
  EXPECT_TRUE(kinds[static_cast<int>(ObjectKind::Plane)]);
}

}  // namespace
}  // namespace quorhost
