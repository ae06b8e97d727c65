// The loader's document: hierarchy order, polygons, time range and options, errors and warnings.
#include <assimp/Importer.hpp>
#include <fstream>

#include "export_support.h"
#include "quorhost/scene_assimp.h"

namespace quorhost {
inline bool operator==(const Poly& a, const Poly& b) {
  return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d;
}
inline void PrintTo(const Poly& p, std::ostream* os) {
  *os << "(" << p.a << "," << p.b << "," << p.c << "," << p.d << ")";
}
}  // namespace quorhost

namespace quortest {
namespace {

using quorhost::ObjectKind;
using quorhost::Poly;
using quorhost::Scene;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(AssimpLoader, DeepColladaHierarchyKeepsDepthFirstOrderAndEveryMesh) {
  const std::string file = "assimp_anims_full_rotations/anims_with_full_rotations_between_keys.DAE";
  Assimp::Importer importer;
  const aiScene* reference = importer.ReadFile(TestScenePath(file), 0);
  ASSERT_NE(reference, nullptr);
  // The file's nodes in depth-first pre-order, each with its parent's name and mesh count.
  struct Expected {
    std::string name, parent;
    unsigned meshes;
  };
  std::vector<Expected> expected;
  std::vector<std::pair<const aiNode*, std::string>> stack{{reference->mRootNode, ""}};
  size_t depth_max = 0;
  while (!stack.empty()) {
    auto [node, parent] = stack.back();
    stack.pop_back();
    expected.push_back({node->mName.C_Str(), parent, node->mNumMeshes});
    for (unsigned c = node->mNumChildren; c-- > 0;)
      stack.push_back({node->mChildren[c], node->mName.C_Str()});
    depth_max = std::max(depth_max, stack.size());
  }
  ASSERT_GT(expected.size(), 100u);  // the file is deep: a chain of 64 boxes

  const Scene scene = LoadTestScene(file);
  size_t polygon_objects = 0;
  ASSERT_EQ(scene.objects.size(), expected.size());  // each node holds at most one mesh here
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& object = scene.objects[i];
    SCOPED_TRACE(object.name);
    EXPECT_EQ(object.name, expected[i].name);
    ASSERT_LT(object.parent, static_cast<int32_t>(i));
    EXPECT_EQ(object.parent < 0 ? "" : scene.objects[static_cast<size_t>(object.parent)].name,
              expected[i].parent);
    EXPECT_EQ(object.kind == ObjectKind::Polygon, expected[i].meshes == 1);
    if (object.kind == ObjectKind::Polygon) {
      ++polygon_objects;
      EXPECT_EQ(object.points.size(), 24u);
      EXPECT_EQ(object.polygons.size(), 6u);
    }
  }
  EXPECT_EQ(polygon_objects, reference->mNumMeshes);
}

TEST(AssimpLoader, NodeWithSeveralMeshesBecomesANullWithOnePolygonChildEach) {
  // One glTF mesh of two primitives (assimp makes two meshes of them) at a translated node with
  // a child node; the polygon children come before the node's own children.
  TempDir dir;
  const std::string path = dir / "parts.gltf";
  WriteText(path, R"({
    "asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}],
    "nodes": [{"name": "Holder", "mesh": 0, "translation": [5, 0, 0], "children": [1]},
              {"name": "Child"}],
    "meshes": [{"name": "Parts", "primitives": [{"attributes": {"POSITION": 0}},
                                                 {"attributes": {"POSITION": 0}}]}],
    "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3",
                   "min": [0, 0, 0], "max": [1, 1, 0]}],
    "bufferViews": [{"buffer": 0, "byteLength": 36}],
    "buffers": [{"byteLength": 36,
                 "uri": "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}]
  })");
  Scene scene;
  std::string error;
  ASSERT_TRUE(quorhost::LoadSceneAssimp(path, {}, scene, error, nullptr)) << error;
  ASSERT_EQ(scene.objects.size(), 4u);
  const auto& holder = scene.objects[0];
  EXPECT_EQ(holder.name, "Holder");
  EXPECT_EQ(holder.kind, ObjectKind::Null);
  EXPECT_EQ(holder.matrix.t.x, 5);
  for (size_t i : {1u, 2u}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(scene.objects[i].kind, ObjectKind::Polygon);
    EXPECT_EQ(scene.objects[i].parent, 0);
    EXPECT_EQ(scene.objects[i].matrix.t.x, 0);  // placed by the node, not again by itself
    EXPECT_EQ(scene.objects[i].points.size(), 3u);
    EXPECT_EQ(scene.objects[i].polygons.size(), 1u);
  }
  EXPECT_EQ(scene.objects[3].name, "Child");
  EXPECT_EQ(scene.objects[3].parent, 0);
}

TEST(AssimpLoader, PolygonsBecomeQuadsTrianglesOrAFanAroundTheFirstCorner) {
  TempDir dir;
  const std::string path = dir / "ngons.obj";
  WriteText(path,
            "v 0 0 0\nv 1 0 0\nv 2 1 0\nv 1 2 0\nv 0 2 0\nv -1 1 0\nv -1 0.5 0\n"
            "f 1 2 3\n"          // triangle
            "f 1 2 3 4\n"        // quad
            "f 1 2 3 4 5\n"      // pentagon: a quad and a triangle
            "f 1 2 3 4 5 6\n"    // hexagon: two quads
            "f 1 2 3 4 5 6 7\n"  // heptagon: two quads and a triangle
            "l 1 2\n");          // a line: not a polygon
  Scene scene;
  std::string error;
  std::vector<std::string> warnings;
  ASSERT_TRUE(quorhost::LoadSceneAssimp(path, {}, scene, error, &warnings)) << error;
  std::vector<Poly> polygons;
  std::vector<quorhost::Vec3> points;
  for (const auto& o : scene.objects) {
    // assimp's OBJ importer gives every face its own corners, in order.
    for (const Poly& p : o.polygons) {
      polygons.push_back({p.a, p.b, p.c, p.d});
    }
    if (!o.points.empty()) points = o.points;
  }
  // Corner indices restart per face: face k starts at the sum of the earlier faces' corners.
  const std::vector<Poly> expected = {{0, 1, 2, 2},                        // triangle at 0
                                      {3, 4, 5, 6},                        // quad at 3
                                      {7, 8, 9, 10},    {7, 10, 11, 11},   // pentagon at 7
                                      {12, 13, 14, 15}, {12, 15, 16, 17},  // hexagon at 12
                                      {18, 19, 20, 21}, {18, 21, 22, 23},
                                      {18, 23, 24, 24}};  // heptagon at 18
  EXPECT_EQ(polygons, expected);
  bool line_reported = false;
  for (const auto& w : warnings)
    line_reported |= w.find("fewer than 3 corners") != std::string::npos;
  EXPECT_TRUE(line_reported) << "the dropped line must be reported";
}

struct RangeCase {
  std::string file, animation;
  int32_t fps;
  int32_t expected_fps;
  double expected_last_frame;
};

TEST(AssimpLoader, FrameRateAndTimeRangeComeFromTheChosenAnimation) {
  const std::vector<RangeCase> cases = {
      // glTF keeps seconds (ticks of a millisecond) and no rate: 25 fps; 1 s is 25 frames.
      {"AnimatedTriangle/AnimatedTriangle.gltf", "", 0, 25, 25},
      {"AnimatedTriangle/AnimatedTriangle.gltf", "", 10, 10, 10},
      {"AnimatedTriangle/AnimatedTriangle.gltf", "0", 60, 60, 60},
      // Fox: Survey 3.41667 s, Walk 0.70833 s, Run 1.15833 s; by name or by index.
      {"Fox/Fox.glb", "", 0, 25, 86},
      {"Fox/Fox.glb", "Walk", 0, 25, 18},
      {"Fox/Fox.glb", "2", 0, 25, 29},
      {"Fox/Fox.glb", "Walk", 24, 24, 17},
      // FBX animates in frames: 20 frames at the file's 24 fps.
      {"assimp_animation_with_skeleton/animation_with_skeleton.fbx", "", 0, 24, 20},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.file + " [" + c.animation + "] fps " + std::to_string(c.fps));
    const Scene scene = LoadTestScene(c.file, c.animation, c.fps);
    EXPECT_EQ(scene.fps, c.expected_fps);
    EXPECT_EQ(scene.min_time.num, 0);
    EXPECT_EQ(scene.min_time.den, c.expected_fps);
    EXPECT_EQ(scene.max_time.num, c.expected_last_frame);
    EXPECT_EQ(scene.max_time.den, c.expected_fps);
  }
}

TEST(AssimpLoader, ChoosingAnotherAnimationChangesThePose) {
  const Scene walk = LoadTestScene("Fox/Fox.glb", "Walk");
  const Scene run = LoadTestScene("Fox/Fox.glb", "Run");
  ASSERT_EQ(walk.objects.size(), run.objects.size());
  bool differs = false;
  for (size_t i = 0; i < walk.objects.size(); ++i) {
    if (!walk.objects[i].animator) continue;
    quorhost::EvaluatedState a{walk.objects[i].matrix, walk.objects[i].points};
    quorhost::EvaluatedState b = a;
    walk.objects[i].animator->Evaluate(0.3, a);
    run.objects[i].animator->Evaluate(0.3, b);
    differs |=
        a.local.t.x != b.local.t.x || a.local.t.y != b.local.t.y || a.local.x.x != b.local.x.x;
  }
  EXPECT_TRUE(differs);
}

TEST(AssimpLoader, FailuresGiveOneLineAndLeaveTheSceneAlone) {
  TempDir dir;
  WriteText(dir / "garbage.gltf", "this is not a glTF file\n");
  WriteText(dir / "empty.gltf",
            R"({"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}],
                "nodes": [{"name": "lonely"}]})");
  struct Case {
    std::string path, animation;
    int32_t fps;
    std::string message;  // a part of the error
  };
  const std::vector<Case> cases = {
      {dir / "missing.gltf", "", 0, "assimp cannot read the file"},
      {dir / "garbage.gltf", "", 0, "assimp cannot read the file"},
      {dir / "empty.gltf", "", 0, ""},  // assimp or the loader: no meshes either way
      {TestScenePath("Fox/Fox.glb"), "Jump", 0,
       "no animation named or numbered \"Jump\" (the file has 3: 0 \"Survey\", 1 \"Walk\", 2 "
       "\"Run\")"},
      {TestScenePath("Fox/Fox.glb"), "3", 0, "no animation named or numbered \"3\""},
      {TestScenePath("Fox/Fox.glb"), "", -1, "the sampling rate must be positive"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Scene scene;
    scene.fps = 7;
    scene.objects.resize(1);
    std::string error;
    EXPECT_FALSE(quorhost::LoadSceneAssimp(c.path, {c.animation, c.fps}, scene, error, nullptr));
    EXPECT_EQ(error.rfind(c.path + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(scene.fps, 7);
    EXPECT_EQ(scene.objects.size(), 1u);
  }
}

TEST(AssimpLoader, FileWithoutMeshesIsRefused) {
  // A Collada file with one empty node (assimp would make up a mesh to show its skeleton).
  TempDir dir;
  const std::string path = dir / "nodes.dae";
  WriteText(path, R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset><unit name="meter" meter="1"/><up_axis>Y_UP</up_axis></asset>
  <library_visual_scenes><visual_scene id="Scene" name="Scene">
    <node id="Empty" name="Empty" type="NODE"><matrix>1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1</matrix></node>
  </visual_scene></library_visual_scenes>
  <scene><instance_visual_scene url="#Scene"/></scene>
</COLLADA>
)");
  Scene scene;
  std::string error;
  EXPECT_FALSE(quorhost::LoadSceneAssimp(path, {}, scene, error, nullptr));
  EXPECT_NE(error.find("no meshes"), std::string::npos) << error;
}

TEST(AssimpLoader, WhatTheHostDoesNotEvaluateIsReported) {
  TempDir dir;
  // The triangle's rotation sampler switched to STEP and to CUBICSPLINE interpolation.
  const std::string text = ReadFile(TestScenePath("AnimatedTriangle/AnimatedTriangle.gltf"));
  const size_t at = text.find("\"LINEAR\"");
  ASSERT_NE(at, std::string::npos);
  std::string step = text;
  step.replace(at, 8, "\"STEP\"");
  WriteText(dir / "step.gltf", step);
  std::vector<std::string> warnings;
  Scene scene;
  std::string error;
  ASSERT_TRUE(quorhost::LoadSceneAssimp(dir / "step.gltf", {}, scene, error, &warnings)) << error;
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("1 samplers use STEP interpolation"), std::string::npos)
      << warnings[0];

  // Cameras and lights of the FBX file stay as nulls, and say so.
  warnings.clear();
  LoadTestScene("assimp_animation_with_skeleton/animation_with_skeleton.fbx", "", 0, &warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("1 cameras and 1 lights"), std::string::npos) << warnings[0];

  // A file the host evaluates completely reports nothing.
  warnings.clear();
  LoadTestScene("Fox/Fox.glb", "", 0, &warnings);
  EXPECT_TRUE(warnings.empty()) << warnings.front();
}

}  // namespace
}  // namespace quortest
