#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "quorhost/scene_json.h"

namespace quorhost {
namespace {

struct ErrorCase {
  std::string name;
  std::string text;
  std::string error;  // the whole message, or its start when it ends in "..."
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

class SceneJsonErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(SceneJsonErrorTest, FailsWithAPreciseMessageAndKeepsTheScene) {
  const ErrorCase& c = GetParam();
  Scene scene;
  scene.fps = 12345;
  std::string error;
  EXPECT_FALSE(ParseSceneJson(c.text, "scene.json", scene, error));
  const std::string_view expected = c.error;
  if (expected.size() > 3 && expected.substr(expected.size() - 3) == "...") {
    EXPECT_EQ(error.substr(0, expected.size() - 3), expected.substr(0, expected.size() - 3))
        << error;
  } else {
    EXPECT_EQ(error, c.error);
  }
  EXPECT_EQ(error.find('\n'), std::string::npos);
  EXPECT_EQ(scene.fps, 12345);
}

const std::string kTwoObjects = R"({"objects": [{"type": "null"}, {"type": "null"}, )";

INSTANTIATE_TEST_SUITE_P(
    Errors, SceneJsonErrorTest,
    testing::Values(
        // Malformed JSON: the line and column of the fault.
        ErrorCase{"truncated", "{\"fps\": 30,\n  \"objects\": [",
                  "scene.json: line 2, column 15: syntax error while parsing value..."},
        ErrorCase{"trailing_comma", "{\"fps\": 30,}",
                  "scene.json: line 1, column 12: syntax error while parsing object key..."},
        ErrorCase{"empty_text", "", "scene.json: line 1, column 1: syntax error..."},
        ErrorCase{"number_overflow", "{\"fps\": 30,\n\"maxFrame\": 1.8e308}",
                  "scene.json: line 2, column 19: number overflow parsing '1.8e308'"},
        ErrorCase{"repeated_field", R"({"objects": [{"type": "null", "name": "a", "name": "b"}]})",
                  "scene.json: objects[0].name: repeated field"},
        // Wrong types.
        ErrorCase{"top_level_array", "[]", "scene.json: expected a JSON object at the top level"},
        ErrorCase{"fps_fraction", R"({"fps": 29.97})",
                  "scene.json: fps: expected an integer in 32-bit range"},
        ErrorCase{"fps_too_big", R"({"fps": 2147483648})",
                  "scene.json: fps: expected an integer in 32-bit range"},
        ErrorCase{"frame_string", R"({"minFrame": "0"})",
                  "scene.json: minFrame: expected a number"},
        ErrorCase{"frame_and_time", R"({"minFrame": 0, "minTime": {"num": 0, "den": 1}})",
                  R"(scene.json: minTime: give either "minFrame" or "minTime", not both)"},
        ErrorCase{"time_without_den", R"({"maxTime": {"num": 3}})",
                  R"(scene.json: maxTime.den: missing field "den")"},
        ErrorCase{"objects_not_array", R"({"objects": {}})",
                  "scene.json: objects: expected an array of objects"},
        ErrorCase{"object_not_object", R"({"objects": [3]})",
                  "scene.json: objects[0]: expected an object"},
        ErrorCase{"name_number", R"({"objects": [{"type": "null", "name": 7}]})",
                  "scene.json: objects[0].name: expected a string"},
        ErrorCase{"bad_point", kTwoObjects + R"({"type": "polygon", "points":
                      [[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[1,2]]}]})",
                  "scene.json: objects[2].points[5]: expected an array of 3 numbers"},
        ErrorCase{"point_with_string",
                  R"({"objects": [{"type": "polygon", "points": [[0,"1",0]]}]})",
                  "scene.json: objects[0].points[0]: expected an array of 3 numbers"},
        ErrorCase{"matrix_axis", R"({"objects": [{"type": "null", "matrix": {"x": [1, 0]}}]})",
                  "scene.json: objects[0].matrix.x: expected an array of 3 numbers"},
        ErrorCase{"matrix_and_position",
                  R"({"objects": [{"type": "null", "matrix": {}, "position": [0, 0, 0]}]})",
                  "scene.json: objects[0].matrix: give either \"matrix\" or "
                  "\"position\"/\"rotation\"/\"scale\", not both"},
        ErrorCase{"key_without_frame",
                  R"({"objects": [{"type": "null", "keys": [{"position": [0, 0, 0]}]}]})",
                  R"(scene.json: objects[0].keys[0].frame: missing field "frame")"},
        ErrorCase{"key_rotation_scalar",
                  R"({"objects": [{"type": "null", "keys": [{"frame": 1, "rotation": 90}]}]})",
                  "scene.json: objects[0].keys[0].rotation: expected an array of 3 numbers"},
        ErrorCase{"point_key_without_points",
                  R"({"objects": [{"type": "polygon", "pointKeys": [{"frame": 1}]}]})",
                  R"(scene.json: objects[0].pointKeys[0].points: missing field "points")"},
        ErrorCase{"segments_fraction", R"({"objects": [{"type": "sphere", "segments": 8.5}]})",
                  "scene.json: objects[0].segments: expected an integer in 32-bit range"},
        ErrorCase{"children_object", R"({"objects": [{"type": "null", "children": {}}]})",
                  "scene.json: objects[0].children: expected an array of objects"},
        // Unknown fields, unknown or missing types, fields of another kind.
        ErrorCase{"unknown_top_field", R"({"fsp": 30})", R"(scene.json: fsp: unknown field "fsp")"},
        ErrorCase{
            "unknown_object_field",
            R"({"objects": [{"type": "null", "children": [{"type": "cube", "sise": [1, 1, 1]}]}]})",
            R"(scene.json: objects[0].children[0].sise: unknown field "sise")"},
        ErrorCase{
            "unknown_key_field",
            R"({"objects": [{"type": "null", "keys": [{"frame": 0, "positon": [0, 0, 0]}]}]})",
            R"(scene.json: objects[0].keys[0].positon: unknown field "positon")"},
        ErrorCase{"unknown_matrix_field",
                  R"({"objects": [{"type": "null", "matrix": {"w": [0, 0, 0]}}]})",
                  R"(scene.json: objects[0].matrix.w: unknown field "w")"},
        ErrorCase{"unknown_type", R"({"objects": [{"type": "torus"}]})",
                  "scene.json: objects[0].type: unknown type \"torus\" (null, polygon, cube, plane "
                  "or sphere)"},
        ErrorCase{"missing_type", R"({"objects": [{"name": "x"}]})",
                  R"(scene.json: objects[0]: missing field "type")"},
        ErrorCase{"radius_on_cube", R"({"objects": [{"type": "cube", "radius": 5}]})",
                  "scene.json: objects[0].radius: not a field of a cube object"},
        ErrorCase{"points_on_sphere", R"({"objects": [{"type": "sphere", "points": []}]})",
                  "scene.json: objects[0].points: not a field of a sphere object"},
        ErrorCase{"plane_segments_twice",
                  R"({"objects": [{"type": "plane", "segments": 2, "widthSegments": 3}]})",
                  "scene.json: objects[0].segments: give either \"segments\" or "
                  "\"widthSegments\"/\"heightSegments\", not both"},
        // Polygon indices.
        ErrorCase{"index_fraction",
                  R"({"objects": [{"type": "polygon", "polygons": [[0, 1, 2.5]]}]})",
                  "scene.json: objects[0].polygons[0][2]: expected an integer in 32-bit range"},
        ErrorCase{"index_too_big",
                  R"({"objects": [{"type": "polygon", "polygons": [[0, 1, 2, 2147483648]]}]})",
                  "scene.json: objects[0].polygons[0][3]: expected an integer in 32-bit range"},
        ErrorCase{"index_too_small",
                  R"({"objects": [{"type": "polygon", "polygons": [[-2147483649, 1, 2]]}]})",
                  "scene.json: objects[0].polygons[0][0]: expected an integer in 32-bit range"},
        ErrorCase{"two_indices", R"({"objects": [{"type": "polygon", "polygons": [[0, 1]]}]})",
                  "scene.json: objects[0].polygons[0]: expected an array of 3 or 4 indices"},
        ErrorCase{"five_indices",
                  R"({"objects": [{"type": "polygon", "polygons": [[0, 1, 2, 3, 4]]}]})",
                  "scene.json: objects[0].polygons[0]: expected an array of 3 or 4 indices"}),
    [](const auto& info) { return info.param.name; });

// Deep paths are shortened to the first and last levels.
TEST(SceneJsonErrors, DeepPathsAreShortened) {
  std::string text = R"({"objects": [)";
  for (int i = 0; i < 100; ++i) text += R"({"type": "null", "children": [)";
  text += R"({"type": "nul"})";
  for (int i = 0; i < 100; ++i) text += "]}";
  text += "]}";
  Scene scene;
  std::string error;
  ASSERT_FALSE(ParseSceneJson(text, "deep.json", scene, error));
  std::string expected = "deep.json: objects[0]";
  for (int i = 1; i < 4; ++i) expected += ".children[0]";
  expected += ".(89 more levels of children)";
  for (int i = 0; i < 8; ++i) expected += ".children[0]";
  expected += ".type: unknown type \"nul\" (null, polygon, cube, plane or sphere)";
  EXPECT_EQ(error, expected);
}

TEST(SceneJsonErrors, MissingFileIsNamed) {
  Scene scene;
  std::string error;
  EXPECT_FALSE(LoadSceneJson("/nonexistent/scene.json", scene, error));
  EXPECT_EQ(error, "/nonexistent/scene.json: cannot open the file");
}

}  // namespace
}  // namespace quorhost
