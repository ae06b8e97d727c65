// Interchange scene files through objseq: the sampling options reach the loader, its refusals are
// scene errors, and warnings are printed even when quiet.
#include <gtest/gtest.h>

#include "objseq_runner.h"
#include "scene_input.h"

namespace objseqtest {
namespace {

const std::string kSlidingTriangle = std::string(QUOR_OBJSEQ_SCENES_DIR) + "/sliding_triangle.gltf";

class ObjseqAssetScene : public testing::TestWithParam<Generation> {
 protected:
  void SetUp() override {
    if (!objseq::HasAssetLoader()) GTEST_SKIP() << "objseq was built without the asset loader";
  }
};

// One second of animation sliding the triangle 10 units along X, sampled at 4 frames a second.
TEST_P(ObjseqAssetScene, SamplesTheAnimationAtTheChosenRate) {
  TempDir out;
  RunResult r = RunObjseq({"export", "--generation", GetParam().flag, "--fps", "4", "--animation",
                           "Slide", kSlidingTriangle, out / "tri.obj"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(out.Files(), (std::vector<std::string>{"tri_00.obj", "tri_01.obj", "tri_02.obj",
                                                   "tri_03.obj", "tri_04.obj"}));
  for (const auto& [name, x] :
       {std::pair{"tri_00.obj", "0"}, {"tri_02.obj", "5"}, {"tri_04.obj", "10"}}) {
    const std::string text = ReadFile(out / name);
    EXPECT_NE(text.find(GetParam().header + "\ng Group 1\nv " + x + ".000000 0.000000 0.000000 \n"),
              std::string::npos)
        << name << ":\n"
        << text;
  }
}

TEST_P(ObjseqAssetScene, UnknownAnimationIsASceneError) {
  TempDir out;
  RunResult r = RunObjseq({"export", "--generation", GetParam().flag, "--animation", "Nope",
                           kSlidingTriangle, out / "tri.obj"});
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  EXPECT_EQ(r.err.rfind("objseq: " + kSlidingTriangle + ": ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("Nope"), std::string::npos) << r.err;
  EXPECT_TRUE(out.Files().empty());
}

INSTANTIATE_TEST_SUITE_P(Generations, ObjseqAssetScene, testing::ValuesIn(Generations()),
                         [](const auto& info) { return info.param.name; });

// Options that do not apply to a JSON scene are reported, also with --quiet.
TEST(ObjseqWarnings, PrintedEvenWhenQuiet) {
  TempDir out;
  RunResult r = RunObjseq(
      {"export", "--quiet", "--fps", "12", ExamplesDir() + "/hierarchy.json", out / "h.obj"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "objseq: warning: --fps is ignored for JSON scenes (" + ExamplesDir() +
                       "/hierarchy.json)\n");
  EXPECT_EQ(out.Files().size(), 11u);
}

}  // namespace
}  // namespace objseqtest
