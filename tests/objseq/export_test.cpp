// Exports through the objseq executable compared with reviewed golden frames, the names of whole
// sequences, and what the user sees on the way.
#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>
#include <cstdio>

#include "objseq_runner.h"

namespace objseqtest {
namespace {

struct SequenceCase {
  std::string scene;  // examples/<scene>.json, or "demo" for the built-in scene
  int first, last, width;
  std::vector<int> golden_frames;  // frames kept under golden/<generation>/<scene>/
};

std::string FrameName(const std::string& base, int frame, int width) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_%0*d.obj", width, frame);
  return base + suffix;
}

std::vector<std::string> SequenceNames(const std::string& base, int first, int last, int width) {
  std::vector<std::string> names;
  for (int f = first; f <= last; ++f) names.push_back(FrameName(base, f, width));
  return names;
}

const std::vector<SequenceCase> kSequences = {
    {"hierarchy", 0, 10, 2, {0, 10}},
    {"keyed_cube", 0, 50, 3, {0, 12, 25, 50}},
    {"point_animation", 0, 48, 3, {0, 30, 36, 48}},
    {"demo", 0, 90, 3, {0, 45, 90}},
};

RunResult ExportSequence(const Generation& g, const SequenceCase& c, const TempDir& out,
                         const RunOptions& options = {}) {
  if (c.scene == "demo")
    return RunObjseq({"demo", "--generation", g.flag, out.path().string()}, options);
  return RunObjseq({"export", "--generation", g.flag, ExamplesDir() + "/" + c.scene + ".json",
                    out / (c.scene + ".obj")},
                   options);
}

// Every file of the sequence is there, named as the plug-in names them, and the reviewed frames
// match their golden copies byte for byte.
void ExpectSequenceMatchesGolden(const Generation& g, const SequenceCase& c, const TempDir& out) {
  ASSERT_EQ(out.Files(), SequenceNames(c.scene, c.first, c.last, c.width));
  for (int frame : c.golden_frames) {
    const std::string name = FrameName(c.scene, frame, c.width);
    const std::string golden = ReadFile(GoldenDir() + "/" + g.name + "/" + c.scene + "/" + name);
    ASSERT_FALSE(golden.empty()) << "missing golden file " << name;
    EXPECT_EQ(ReadFile(out / name), golden) << g.name << " " << name;
  }
  EXPECT_EQ(ReadFile(out / FrameName(c.scene, c.first, c.width)).rfind(g.header + "\n", 0), 0u);
}

class ObjseqExport : public testing::TestWithParam<Generation> {};

TEST_P(ObjseqExport, ExamplesMatchGoldenFrames) {
  for (const SequenceCase& c : kSequences) {
    SCOPED_TRACE(c.scene);
    TempDir out;
    RunResult r = ExportSequence(GetParam(), c, out);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    ExpectSequenceMatchesGolden(GetParam(), c, out);
    // Without a terminal: one closing line with the count and where, no control characters.
    const int count = c.last - c.first + 1;
    EXPECT_EQ(r.out, "objseq: wrote " + std::to_string(count) +
                         " files: " + (out.path() / (c.scene + "_<frame>.obj")).string() + "\n");
    EXPECT_EQ(r.err, "");
  }
}

TEST_P(ObjseqExport, DemoGoesToOutByDefault) {
  TempDir cwd;
  RunOptions in_cwd;
  in_cwd.cwd = cwd.path().string();
  RunResult r = RunObjseq({"demo", "--generation", GetParam().flag}, in_cwd);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(cwd.Files("out"), SequenceNames("demo", 0, 90, 3));
  EXPECT_EQ(r.out, "objseq: wrote 91 files: out/demo_<frame>.obj\n");
}

TEST_P(ObjseqExport, QuietPrintsNothingOnSuccess) {
  TempDir out;
  RunResult r = RunObjseq({"export", "--quiet", "--generation", GetParam().flag,
                           ExamplesDir() + "/hierarchy.json", out / "shot.obj"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(out.Files().size(), 11u);
}

TEST_P(ObjseqExport, TerminalShowsTheProgressBar) {
  TempDir out;
  RunOptions terminal;
  terminal.stderr_terminal = true;
  RunResult r = RunObjseq(
      {"export", "--generation", GetParam().flag, ExamplesDir() + "/demo.json", out / "shot.obj"},
      terminal);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // The plug-in's last value for 91 frames is 100 * 90 / 91, truncated.
  EXPECT_NE(r.err.find("\r"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" 98%  91 frames"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("wrote 91 files"), std::string::npos);
}

TEST_P(ObjseqExport, CommaLocaleLeavesFilesUnchanged) {
  locale_t german_locale = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  if (!german_locale) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  freelocale(german_locale);
  for (const SequenceCase& c : {kSequences[1], kSequences[3]}) {
    SCOPED_TRACE(c.scene);
    TempDir out;
    RunOptions german;
    german.env = {{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "de_DE.UTF-8"}};
    RunResult r = ExportSequence(GetParam(), c, out, german);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    ExpectSequenceMatchesGolden(GetParam(), c, out);
  }
}

// A plug-in named with --plugin is asked for its generation, so no --generation is needed.
TEST_P(ObjseqExport, PluginFileBringsItsOwnGeneration) {
  TempDir out;
  RunResult r = RunObjseq({"export", "--plugin", GetParam().plugin_path,
                           ExamplesDir() + "/hierarchy.json", out / "hierarchy.obj"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  ExpectSequenceMatchesGolden(GetParam(), kSequences[0], out);
}

// The installed layout: <prefix>/bin/objseq finds <prefix>/lib/quorvan/plugins/<name>/.
TEST_P(ObjseqExport, FindsPluginsInTheInstalledLayout) {
  namespace fs = std::filesystem;
  TempDir prefix, out;
  fs::create_directories(prefix.path() / "bin");
  fs::copy_file(ObjseqPath(), prefix.path() / "bin" / "objseq");
  const fs::path built = fs::path(GetParam().plugin_path).parent_path();
  const fs::path installed = prefix.path() / "lib" / "quorvan" / "plugins" / built.filename();
  fs::create_directories(installed);
  fs::copy(built, installed, fs::copy_options::recursive);

  const std::string program = prefix / "bin/objseq";
  RunResult info = RunObjseq({"info", "--generation", GetParam().flag}, {}, program);
  ASSERT_EQ(info.exit_code, 0) << info.err;
  EXPECT_NE(info.out.find("plug-in:      " + (installed / built.filename()).string() + ".so\n"),
            std::string::npos)
      << info.out;
  RunResult r = RunObjseq({"export", "--generation", GetParam().flag,
                           ExamplesDir() + "/hierarchy.json", out / "hierarchy.obj"},
                          {}, program);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  ExpectSequenceMatchesGolden(GetParam(), kSequences[0], out);
}

INSTANTIATE_TEST_SUITE_P(Generations, ObjseqExport, testing::ValuesIn(Generations()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace objseqtest
