// The OBJ text of one frame, through the real plug-in: whole files against goldens, tree shapes
// and number forms.
#include <clocale>
#include <cfloat>
#include <cmath>

#include "support.h"

namespace quortest {
namespace {

using quorhost::ObjectKind;
using quorhost::Poly;
using quorhost::Scene;
using quorhost::SceneObject;
using quorhost::Vec3;

class WriterTest : public testing::TestWithParam<GenerationCase> {
 protected:
  // Exports `scene` (one frame, frame 0) and returns frame 0's text.
  std::string WriteFrame(const Scene& scene) {
    Session session(GetParam());
    EXPECT_EQ(session.Export(scene, dir_ / "shot.obj"), 0);
    session.Shutdown();
    EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
    return ReadFile(dir_ / "shot_0.obj");
  }
  std::string Header() const { return GetParam().header + "\n"; }

  TempDir dir_;
};

SceneObject Object(ObjectKind kind, int32_t parent, Vec3 t = {}, std::vector<Vec3> points = {},
                   std::vector<Poly> polygons = {}) {
  SceneObject o;
  o.kind = kind;
  o.parent = parent;
  o.matrix.t = t;
  o.points = std::move(points);
  o.polygons = std::move(polygons);
  return o;
}

Scene OneFrame(std::vector<SceneObject> objects) {
  Scene scene;
  scene.fps = 30;
  scene.min_time = {0, 30};
  scene.max_time = {0, 30};
  scene.objects = std::move(objects);
  return scene;
}

TEST_P(WriterTest, TwoObjectExampleMatchesGolden) {
  const std::string golden = ReadFile(std::string(QUOR_GOLDEN_DIR) + "/example_" +
                                      GetParam().name + ".obj");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(WriteFrame(ExampleScene()), golden);
}

struct TreeCase {
  const char* name;
  std::vector<SceneObject> objects;
  std::string body;  // the file after the header line
};

TEST_P(WriterTest, TreeShapes) {
  SceneObject scaled_null = Object(ObjectKind::Null, -1, {1, 2, 3});
  scaled_null.matrix.x = {2, 0, 0};
  scaled_null.matrix.y = {0, 0, 2};   // y axis turned onto z
  scaled_null.matrix.z = {0, -2, 0};  // z axis turned onto -y
  const std::vector<TreeCase> cases = {
      {"empty document", {}, ""},
      {"no polygon object", {Object(ObjectKind::Null, -1), Object(ObjectKind::Null, 0)}, ""},
      {"polygon object without points or polygons",
       {Object(ObjectKind::Polygon, -1)},
       "g Group 1\n\n\nrf vcount 0\n\n\n"},
      {"points without polygons, then a later object counts them",
       {Object(ObjectKind::Polygon, -1, {}, {{1, 0, 0}, {0, 1, 0}}),
        Object(ObjectKind::Polygon, -1, {}, {{0, 0, 1}}, {{0, 0, 0, 0}})},
       "g Group 1\nv 1.000000 0.000000 0.000000 \nv 0.000000 1.000000 0.000000 \n\n\n"
       "rf vcount 0\n\n\n"
       "g Group 2\nv 0.000000 0.000000 1.000000 \n\n\nrf vcount 2\nf 3 3 3 3\n\n\n"},
      {"non-polygon parent moves, turns and scales its children",
       {scaled_null, Object(ObjectKind::Polygon, 0, {}, {{1, 1, 1}}, {{0, 0, 0, 0}})},
       "g Group 1\nv 3.000000 0.000000 5.000000 \n\n\nrf vcount 0\nf 1 1 1 1\n\n\n"},
      {"out-of-range and negative indices are written as given",
       {Object(ObjectKind::Polygon, -1, {}, {{0, 0, 0}}, {{5, -1, -2, 2147483646}})},
       "g Group 1\nv 0.000000 0.000000 0.000000 \n\n\nrf vcount 0\n"
       "f 6 0 -1 2147483647\n\n\n"},
      {"depth first: a subtree before the next sibling",
       {Object(ObjectKind::Null, -1), Object(ObjectKind::Polygon, 0, {}, {{1, 0, 0}}),
        Object(ObjectKind::Polygon, 1, {}, {{2, 0, 0}}), Object(ObjectKind::Polygon, -1, {}, {{3, 0, 0}})},
       "g Group 1\nv 1.000000 0.000000 0.000000 \n\n\nrf vcount 0\n\n\n"
       "g Group 2\nv 2.000000 0.000000 0.000000 \n\n\nrf vcount 1\n\n\n"
       "g Group 3\nv 3.000000 0.000000 0.000000 \n\n\nrf vcount 2\n\n\n"},
  };
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WriteFrame(OneFrame(c.objects)), Header() + c.body);
  }
}

TEST_P(WriterTest, GroupAndVertexNumberingRestartsInEveryFrameFile) {
  Scene scene = ExampleScene();
  scene.max_time = {1, 30};
  Session session(GetParam());
  ASSERT_EQ(session.Export(scene, dir_ / "shot.obj"), 0);
  EXPECT_EQ(ReadFile(dir_ / "shot_0.obj"), ReadFile(dir_ / "shot_1.obj"));
}

struct NumberCase {
  double x;
  const char* r12;
  const char* r11_5;
};

TEST_P(WriterTest, CoordinateForms) {
  const std::vector<NumberCase> cases = {
      {-0.0000001, "-0.000000", "-0.000000"},
      {0.5, "0.500000", "0.500000"},
      {1234, "1234.000000", "1234.000000"},
      {0.0078125, "0.007812", "0.007812"},
      {-2.5, "-2.500000", "-2.500000"},
      {0.1, "0.100000", "0.100000"},  // in 11.5 the float 0.1 is 0.100000001...
      {1e20, "100000000000000000000.000000", "100000002004087734272.000000"},
      {INFINITY, "inf", "inf"},
      {-INFINITY, "-inf", "-inf"},
      {NAN, "nan", "nan"},
  };
  const bool r12 = GetParam().generation == quorhost::Generation::R12;
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.x);
    const std::string text =
        WriteFrame(OneFrame({Object(ObjectKind::Polygon, -1, {}, {{c.x, 0, 0}})}));
    // Only x is checked: an infinite or NaN x makes the other coordinates NaN through the
    // zero terms of the transform.
    const std::string expected = std::string("\nv ") + (r12 ? c.r12 : c.r11_5) + " ";
    EXPECT_NE(text.find(expected), std::string::npos) << text;
  }
}

TEST_P(WriterTest, SinglePrecisionRoundingAtTwoToTheTwentyFour) {
  // A point at local x = 1 under a translation of 2^24: exact in doubles, lost in floats.
  const std::string text = WriteFrame(
      OneFrame({Object(ObjectKind::Polygon, -1, {16777216, 0, 0}, {{1, 0, 0}})}));
  const bool r12 = GetParam().generation == quorhost::Generation::R12;
  EXPECT_NE(text.find(r12 ? "v 16777217.000000 " : "v 16777216.000000 "), std::string::npos)
      << text;
}

TEST_P(WriterTest, LongestVertexLineIsWrittenInFull) {
  const double huge = -1.7976931348623157e308;  // -DBL_MAX: the longest "%f"
  const std::string text =
      WriteFrame(OneFrame({Object(ObjectKind::Polygon, -1, {}, {{huge, huge, huge}})}));
  char number[400];
  std::snprintf(number, sizeof number, "%f", huge);
  const bool r12 = GetParam().generation == quorhost::Generation::R12;
  std::string coordinate = number;
  if (!r12) {
    // In single precision the value overflows to -inf, and the transform's zero terms turn
    // -inf into NaN: the same arithmetic here gives the expected text.
    volatile float p = float(huge), zero = 0.0f, one = 1.0f;
    const float x = ((zero + p * one) + p * zero) + p * zero;
    std::snprintf(number, sizeof number, "%f", double(x));
    coordinate = number;
  }
  const std::string line = "v " + coordinate + " " + coordinate + " " + coordinate + " \n";
  EXPECT_NE(text.find("\n" + line), std::string::npos);
  if (r12) {
    EXPECT_GT(line.size(), 950u);
  }
}

TEST_P(WriterTest, CommaLocaleStillWritesPoints) {
  const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"};
  std::string previous = std::setlocale(LC_ALL, nullptr);
  bool set = false;
  for (const char* name : locales) set = set || std::setlocale(LC_ALL, name) != nullptr;
  if (!set) GTEST_SKIP() << "no comma locale installed";
  char check[16];
  std::snprintf(check, sizeof check, "%.1f", 0.5);
  const std::string text = WriteFrame(OneFrame({Object(ObjectKind::Polygon, -1, {}, {{0.5, -1.25, 3}})}));
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_STREQ(check, "0,5");  // the locale really uses a comma
  EXPECT_NE(text.find("v 0.500000 -1.250000 3.000000 \n"), std::string::npos) << text;
}

TEST_P(WriterTest, MillionDeepChainIsWrittenInOrder) {
  constexpr int kDepth = 1000000;
  std::vector<SceneObject> chain;
  chain.reserve(kDepth);
  for (int i = 0; i < kDepth; ++i) {
    // Every 100000th level is a polygon object with one point; the rest are nulls that each
    // move their subtree by 1 along x.
    const bool polygon = i % 100000 == 99999;
    chain.push_back(Object(polygon ? ObjectKind::Polygon : ObjectKind::Null, i - 1, {1, 0, 0},
                           polygon ? std::vector<Vec3>{{0, 0, 0}} : std::vector<Vec3>{}));
  }
  const std::string text = WriteFrame(OneFrame(std::move(chain)));
  std::string expected = Header();
  for (int k = 1; k <= 10; ++k) {
    expected += "g Group " + std::to_string(k) + "\nv " + std::to_string(k * 100000) +
                ".000000 0.000000 0.000000 \n\n\nrf vcount " + std::to_string(k - 1) + "\n\n\n";
  }
  EXPECT_EQ(text, expected);
}

TEST_P(WriterTest, MillionEmptyPolygonObjects) {
  constexpr int kCount = 1000000;
  std::vector<SceneObject> objects(kCount, Object(ObjectKind::Polygon, -1));
  const std::string text = WriteFrame(OneFrame(std::move(objects)));
  const std::string block_end = "\n\n\nrf vcount 0\n\n\n";
  size_t expected_size = Header().size();
  for (int i = 1; i <= kCount; ++i) expected_size += 8 + std::to_string(i).size() + block_end.size();
  EXPECT_EQ(text.size(), expected_size);
  const std::string last = "\ng Group 1000000" + block_end;
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

TEST_P(WriterTest, SubnormalAndTinyCoordinates) {
  const std::string text = WriteFrame(OneFrame(
      {Object(ObjectKind::Polygon, -1, {}, {{4.9e-324, -2.2250738585072014e-308, 0.0000005}})}));
  // 5e-7 is stored slightly below one half of a millionth, so it rounds down. In single
  // precision the negative value underflows to -0, and the transform's + 0 makes it +0.
  const bool r12 = GetParam().generation == quorhost::Generation::R12;
  EXPECT_NE(text.find(r12 ? "\nv 0.000000 -0.000000 0.000000 \n" : "\nv 0.000000 0.000000 0.000000 \n"),
            std::string::npos)
      << text;
}

INSTANTIATE_TEST_SUITE_P(Generations, WriterTest, testing::ValuesIn(Generations()),
                         GenerationName);

}  // namespace
}  // namespace quortest
