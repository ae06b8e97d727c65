#include "quorhost/scene_json.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "quorhost/scene_animation.h"
#include "scene_test_support.h"

namespace quorhost {
namespace {

Scene Parse(const std::string& text) {
  Scene scene;
  std::string error;
  EXPECT_TRUE(ParseSceneJson(text, "t.json", scene, error)) << error;
  return scene;
}

TEST(SceneJson, ReadsEveryFieldOfEveryKind) {
  const Scene scene = Parse(R"({
    "fps": 25, "minFrame": 5, "maxFrame": 100,
    "objects": [
      {"name": "Mesh", "type": "polygon",
       "matrix": {"t": [1, 2, 3], "x": [0, 1, 0], "y": [-1, 0, 0]},
       "points": [[0, 0, 0], [1.5, -2, 1.7976931348623157e308]],
       "polygons": [[0, 1, 2, 3], [4, 5, 6], [-1, 2147483647, -2147483648, 0]]},
      {"name": "Box", "type": "cube", "size": [1, 2, 3], "position": [4, 5, 6],
       "rotation": [0, 0, 90], "scale": [2, 2, 2]},
      {"type": "plane", "width": 10, "height": 20, "segments": 3},
      {"type": "plane", "widthSegments": 2, "heightSegments": 7},
      {"type": "sphere", "radius": 7.5, "segments": 12},
      {"type": "null"}
    ]})");
  EXPECT_EQ(scene.fps, 25);
  EXPECT_EQ(scene.min_time.num, 5);
  EXPECT_EQ(scene.min_time.den, 25);
  EXPECT_EQ(scene.max_time.num, 100);
  EXPECT_EQ(scene.max_time.den, 25);
  ASSERT_EQ(scene.objects.size(), 6u);

  const SceneObject& mesh = scene.objects[0];
  EXPECT_EQ(mesh.name, "Mesh");
  EXPECT_EQ(mesh.kind, ObjectKind::Polygon);
  EXPECT_EQ(mesh.parent, -1);
  Mat4 expected;
  expected.t = {1, 2, 3};
  expected.x = {0, 1, 0};
  expected.y = {-1, 0, 0};
  EXPECT_TRUE(SameBits(mesh.matrix, expected));
  ASSERT_EQ(mesh.points.size(), 2u);
  EXPECT_TRUE(SameBits(mesh.points[1], Vec3{1.5, -2, 1.7976931348623157e308}));
  const std::vector<Poly> polygons = {
      {0, 1, 2, 3}, {4, 5, 6, 6}, {-1, 2147483647, -2147483647 - 1, 0}};
  EXPECT_EQ(mesh.polygons, polygons);  // indices need not lie within the points
  EXPECT_EQ(mesh.animator, nullptr);

  const SceneObject& box = scene.objects[1];
  EXPECT_EQ(box.kind, ObjectKind::Cube);
  EXPECT_TRUE(SameBits(box.size, Vec3{1, 2, 3}));
  EXPECT_TRUE(SameBits(box.matrix, ComposeMatrix({4, 5, 6}, {0, 0, 90}, {2, 2, 2})));
  EXPECT_EQ(box.name, "Box");

  EXPECT_EQ(scene.objects[2].kind, ObjectKind::Plane);
  EXPECT_EQ(scene.objects[2].width, 10);
  EXPECT_EQ(scene.objects[2].height, 20);
  EXPECT_EQ(scene.objects[2].width_segments, 3);
  EXPECT_EQ(scene.objects[2].height_segments, 3);
  EXPECT_EQ(scene.objects[3].width_segments, 2);
  EXPECT_EQ(scene.objects[3].height_segments, 7);
  EXPECT_EQ(scene.objects[3].width, 400);  // default
  EXPECT_EQ(scene.objects[4].kind, ObjectKind::Sphere);
  EXPECT_EQ(scene.objects[4].radius, 7.5);
  EXPECT_EQ(scene.objects[4].segments, 12);
  EXPECT_EQ(scene.objects[5].kind, ObjectKind::Null);
  EXPECT_TRUE(SameBits(scene.objects[5].matrix, Mat4{}));
}

TEST(SceneJson, DefaultsAndExactTimes) {
  const Scene empty = Parse("{}");
  EXPECT_EQ(empty.fps, 30);
  EXPECT_EQ(empty.min_time.num, 0);
  EXPECT_EQ(empty.max_time.num, 90);
  EXPECT_EQ(empty.max_time.den, 30);
  EXPECT_TRUE(empty.objects.empty());

  const Scene timed = Parse(R"({"fps": 24, "minTime": {"num": -1, "den": 3},
                                "maxTime": {"num": 1e15, "den": 7}})");
  EXPECT_EQ(timed.min_time.num, -1);
  EXPECT_EQ(timed.min_time.den, 3);
  EXPECT_EQ(timed.max_time.num, 1e15);
  EXPECT_EQ(timed.max_time.den, 7);

  // Hostile frame rates are kept for the exporter to deal with.
  for (int fps : {0, -5, 2147483647}) {
    const Scene scene = Parse(R"({"fps": )" + std::to_string(fps) + R"(, "maxFrame": 3})");
    EXPECT_EQ(scene.fps, fps);
    EXPECT_EQ(scene.max_time.num, 3);
    EXPECT_EQ(scene.max_time.den, fps);
  }
}

TEST(SceneJson, ChildrenComeOutInDepthFirstPreOrder) {
  const Scene scene = Parse(R"({"objects": [
    {"name": "A", "type": "null", "children": [
      {"name": "A1", "type": "null", "children": [{"name": "A1a", "type": "null"}]},
      {"name": "A2", "type": "null"}]},
    {"name": "B", "type": "null", "children": [{"name": "B1", "type": "null"}]}]})");
  const std::vector<std::pair<std::string, int32_t>> expected = {{"A", -1}, {"A1", 0}, {"A1a", 1},
                                                                 {"A2", 0}, {"B", -1}, {"B1", 4}};
  ASSERT_EQ(scene.objects.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(scene.objects[i].name, expected[i].first);
    EXPECT_EQ(scene.objects[i].parent, expected[i].second) << expected[i].first;
  }
}

TEST(SceneJson, KeysBecomeAnAnimatorOnTheSceneRate) {
  const Scene scene = Parse(R"({"fps": 10, "objects": [
    {"type": "polygon", "position": [0, 5, 0], "points": [[0, 0, 0]],
     "keys": [{"frame": 0, "position": [0, 0, 0]}, {"frame": 10, "position": [10, 0, 0]}],
     "pointKeys": [{"frame": 0, "points": [[1, 1, 1]]}, {"frame": 20, "points": [[3, 3, 3]]}]},
    {"type": "null", "matrix": {"t": [1, 2, 3], "x": [0, 2, 0], "y": [-2, 0, 0], "z": [0, 0, 2]},
     "keys": [{"frame": 0, "scale": [3, 3, 3]}]}]})");
  ASSERT_NE(scene.objects[0].animator, nullptr);
  EvaluatedState state;
  state.local = scene.objects[0].matrix;
  state.points = scene.objects[0].points;
  scene.objects[0].animator->Evaluate(0.5, state);
  EXPECT_TRUE(SameBits(state.local.t, Vec3{5, 0, 0}));
  EXPECT_TRUE(SameBits(state.points, {{1.5, 1.5, 1.5}}));

  // Rest values of a matrix object: its translation, and its axes' rotation (90 about Z) where
  // the keys (here only scale) leave it alone.
  const SceneObject& turned = scene.objects[1];
  state.local = turned.matrix;
  turned.animator->Evaluate(0, state);
  const Mat4 expected = ComposeMatrix({1, 2, 3}, {0, 0, 90}, {3, 3, 3});
  EXPECT_TRUE(SameBits(state.local.t, expected.t));
  EXPECT_TRUE(Near(state.local.x, expected.x, 1e-12));
  EXPECT_TRUE(Near(state.local.y, expected.y, 1e-12));
  EXPECT_TRUE(Near(state.local.z, expected.z, 1e-12));
}

// A chain of a million nested objects loads (no recursion in parsing, converting or freeing).
TEST(SceneJson, MillionDeepChainLoads) {
  constexpr int kDepth = 1000000;
  std::string text = R"({"objects": [)";
  text.reserve(static_cast<size_t>(kDepth) * 40);
  for (int i = 0; i < kDepth; ++i) text += R"({"type": "null", "children": [)";
  for (int i = 0; i < kDepth; ++i) text += "]}";
  text += "]}";
  Scene scene;
  std::string error;
  ASSERT_TRUE(ParseSceneJson(text, "deep.json", scene, error)) << error;
  ASSERT_EQ(scene.objects.size(), static_cast<size_t>(kDepth));
  for (int i = 0; i < kDepth; ++i) {
    ASSERT_EQ(scene.objects[static_cast<size_t>(i)].parent, i - 1);
  }
}

TEST(SceneJson, EveryExampleLoads) {
  size_t loaded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(QUOR_EXAMPLES_DIR)) {
    if (entry.path().extension() != ".json") continue;
    Scene scene;
    std::string error;
    EXPECT_TRUE(LoadSceneJson(entry.path().string(), scene, error)) << error;
    EXPECT_FALSE(scene.objects.empty()) << entry.path();
    ++loaded;
  }
  EXPECT_GE(loaded, 4u);
}

}  // namespace
}  // namespace quorhost
