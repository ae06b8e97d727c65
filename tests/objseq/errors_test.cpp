// Every class of failure gives one line on stderr naming what failed, and its exit status.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "objseq_runner.h"

namespace objseqtest {
namespace {

namespace fs = std::filesystem;

// A scene of frames 0 to 3 (names _00 to _03) with one triangle.
const char* kSmallScene = R"({"fps": 10, "minFrame": 0, "maxFrame": 3, "objects": [
  {"name": "Tri", "type": "polygon", "points": [[0, 0, 0], [1, 0, 0], [0, 1, 0]],
   "polygons": [[0, 1, 2]]}]})";

struct FailureCase {
  std::string name;
  // Prepares the folder; returns the arguments after "export --generation G" (with "{dir}"
  // standing for the folder). May skip the test by returning an empty list.
  std::function<std::vector<std::string>(const TempDir&)> setup;
  int exit_code;
  std::string message;  // the whole stderr line after "objseq: ", with {dir} for the folder
  std::vector<std::string> files_after;  // the folder's entries afterwards
};

std::string Expand(std::string text, const TempDir& dir) {
  const std::string key = "{dir}";
  for (size_t at; (at = text.find(key)) != std::string::npos;)
    text.replace(at, key.size(), dir.path().string());
  return text;
}

std::vector<FailureCase> Cases() {
  return {
      {"MalformedJson",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", "{\"fps\": 30,\n \"objects\": [");
         return std::vector<std::string>{d / "scene.json", d / "shot.obj"};
       },
       2,
       "{dir}/scene.json: line 2, column 14: syntax error while parsing value - unexpected end "
       "of input; expected '[', '{', or a literal",
       {"scene.json"}},
      {"FieldOfTheWrongType",
       [](const TempDir& d) {
         WriteFile(d / "scene.json",
                   R"({"objects": [{"type": "polygon", "points": [[0, 0], [1, 0, 0]]}]})");
         return std::vector<std::string>{d / "scene.json", d / "shot.obj"};
       },
       2,
       "{dir}/scene.json: objects[0].points[0]: expected an array of 3 numbers",
       {"scene.json"}},
      {"SceneFileMissing",
       [](const TempDir& d) {
         return std::vector<std::string>{d / "absent.json", d / "shot.obj"};
       },
       2,
       "{dir}/absent.json: cannot open the file",
       {}},
      {"UnknownSceneType",
       [](const TempDir& d) {
         WriteFile(d / "scene.txt", kSmallScene);
         return std::vector<std::string>{d / "scene.txt", d / "shot.obj"};
       },
       2,
       "{dir}/scene.txt: unknown scene file type \".txt\" (expected .json, .gltf, .glb, .fbx or "
       ".dae)",
       {"scene.txt"}},
      {"MissingOutputFolder",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", kSmallScene);
         return std::vector<std::string>{d / "scene.json", d / "missing/shot.obj"};
       },
       1,
       "cannot open {dir}/missing/shot_00.obj: No such file or directory (file error -1)",
       {"scene.json"}},
      {"ReadOnlyFolder",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", kSmallScene);
         fs::create_directory(d.path() / "locked");
         fs::permissions(d.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
         // Root writes into read-only folders all the same.
         if (access((d / "locked").c_str(), W_OK) == 0) return std::vector<std::string>{};
         return std::vector<std::string>{d / "scene.json", d / "locked/shot.obj"};
       },
       1,
       "cannot open {dir}/locked/shot_00.obj: Permission denied (file error -1)",
       {"locked", "scene.json"}},
      {"FullDiskAtTheFirstFrame",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", kSmallScene);
         fs::create_symlink("/dev/full", d.path() / "shot_00.obj");
         return std::vector<std::string>{d / "scene.json", d / "shot.obj"};
       },
       1,
       "cannot write {dir}/shot_00.obj: No space left on device (file error -4)",
       {"scene.json", "shot_00.obj"}},
      {"FullDiskAtALaterFrame",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", kSmallScene);
         fs::create_symlink("/dev/full", d.path() / "shot_02.obj");
         return std::vector<std::string>{d / "scene.json", d / "shot.obj"};
       },
       1,
       "cannot write {dir}/shot_02.obj: No space left on device (file error -4)",
       {"scene.json", "shot_00.obj", "shot_01.obj", "shot_02.obj"}},
      {"PluginFileMissing",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", kSmallScene);
         return std::vector<std::string>{"--plugin", d / "nowhere.so", d / "scene.json",
                                         d / "shot.obj"};
       },
       1,
       "cannot load the plug-in {dir}/nowhere.so: {dir}/nowhere.so: cannot open shared object "
       "file: No such file or directory",
       {"scene.json"}},
      {"PluginFileNotALibrary",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", kSmallScene);
         WriteFile(d / "fake.so", std::string(4096, 'x'));  // long enough to be read as ELF
         return std::vector<std::string>{"--plugin", d / "fake.so", d / "scene.json",
                                         d / "shot.obj"};
       },
       1,
       "cannot load the plug-in {dir}/fake.so: {dir}/fake.so: invalid ELF header",
       {"fake.so", "scene.json"}},
      {"PluginNamesNoGeneration",
       [](const TempDir& d) {
         WriteFile(d / "scene.json", kSmallScene);
         return std::vector<std::string>{"--plugin", QUOR_NAMELESS_PLUGIN, d / "scene.json",
                                         d / "shot.obj"};
       },
       1,
       std::string("the plug-in ") + QUOR_NAMELESS_PLUGIN +
           " names no known host generation (action 4)",
       {"scene.json"}},
  };
}

class ObjseqFailure : public testing::TestWithParam<Generation> {};

TEST_P(ObjseqFailure, EachClassGivesOneLineAndItsExitStatus) {
  for (const FailureCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<std::string> tail = c.setup(dir);
    if (tail.empty()) {
      std::printf("[ note     ] %s skipped: the folder is still writable\n", c.name.c_str());
      continue;
    }
    std::vector<std::string> args = {"export", "--generation", GetParam().flag};
    args.insert(args.end(), tail.begin(), tail.end());
    RunResult r = RunObjseq(args);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
    EXPECT_EQ(r.err, "objseq: " + Expand(c.message, dir) + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.Files(), c.files_after);
  }
}

// Frames before the failing one stay on disk complete.
TEST_P(ObjseqFailure, FramesBeforeAFullDiskAreComplete) {
  TempDir dir, reference;
  WriteFile(dir / "scene.json", kSmallScene);
  fs::create_symlink("/dev/full", dir.path() / "shot_01.obj");
  RunResult failed =
      RunObjseq({"export", "--generation", GetParam().flag, dir / "scene.json", dir / "shot.obj"});
  ASSERT_EQ(failed.exit_code, 1);
  RunResult good = RunObjseq(
      {"export", "--generation", GetParam().flag, dir / "scene.json", reference / "shot.obj"});
  ASSERT_EQ(good.exit_code, 0) << good.err;
  EXPECT_EQ(ReadFile(dir / "shot_00.obj"), ReadFile(reference / "shot_00.obj"));
  EXPECT_FALSE(ReadFile(dir / "shot_00.obj").empty());
}

TEST(ObjseqPluginFailure, PluginThatRefusesStartUpExportsNothing) {
  TempDir dir;
  WriteFile(dir / "scene.json", kSmallScene);
  RunResult r =
      RunObjseq({"export", "--plugin", QUOR_REFUSING_PLUGIN, dir / "scene.json", dir / "shot.obj"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, std::string("objseq: the plug-in ") + QUOR_REFUSING_PLUGIN +
                       " refused start-up (result -3)\n");
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"scene.json"});
}

// A bare --plugin name is a file in the working folder, not a name for the library search.
TEST(ObjseqPluginFailure, BarePluginNameIsTakenFromTheWorkingFolder) {
  namespace fs = std::filesystem;
  TempDir dir;
  const fs::path built = fs::path(Generations()[0].plugin_path).parent_path();
  fs::copy(built, dir.path(), fs::copy_options::recursive);
  RunOptions in_dir;
  in_dir.cwd = dir.path().string();
  RunResult r = RunObjseq({"export", "--plugin", built.filename().string() + ".so",
                           ExamplesDir() + "/hierarchy.json", "shot.obj"},
                          in_dir);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(dir.Files().size(), 13u);  // the library, its res folder and 11 frames
}

TEST_P(ObjseqFailure, PluginOfTheOtherGenerationIsRefused) {
  const Generation& other = Generations()[GetParam().name == "R12" ? 1 : 0];
  TempDir dir;
  RunResult r = RunObjseq({"export", "--generation", GetParam().flag, "--plugin", other.plugin_path,
                           ExamplesDir() + "/hierarchy.json", dir / "shot.obj"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "objseq: the plug-in " + other.plugin_path + " is built for generation " +
                       other.flag + ", not " + GetParam().flag + "\n");
  EXPECT_TRUE(dir.Files().empty());
}

INSTANTIATE_TEST_SUITE_P(Generations, ObjseqFailure, testing::ValuesIn(Generations()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace objseqtest
