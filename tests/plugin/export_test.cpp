// The sequence export through the real plug-in: frame ranges, file names, progress, the
// document's time, and every failure path with the host's faults.
#include <sys/stat.h>

#include "support.h"

namespace quortest {
namespace {

using quorhost::CommandFailure;
using quorhost::FaultKind;
using quorhost::Generation;
using quorhost::Scene;

class ExportTest : public testing::TestWithParam<GenerationCase> {
 protected:
  TempDir dir_;
};

std::vector<std::string> Names(const std::string& stem, std::vector<std::string> parts) {
  for (auto& p : parts) p = stem + "_" + p + ".obj";
  std::sort(parts.begin(), parts.end());
  return parts;
}

TEST_P(ExportTest, NinetyOneFramesAtThirtyFps) {
  Session session(GetParam());
  ASSERT_EQ(session.Export(FrameRangeScene(30, 0, 90), dir_ / "shot.obj"), 0);
  const auto files = dir_.Files();
  ASSERT_EQ(files.size(), 91u);
  EXPECT_EQ(files.front(), "shot_000.obj");
  EXPECT_EQ(files.back(), "shot_090.obj");
  const auto& status = session.host().status_values();
  ASSERT_EQ(status.size(), 91u);
  EXPECT_EQ(status.front(), 0);
  EXPECT_EQ(status.back(), 98);
  EXPECT_EQ(session.last_document.current.num / session.last_document.current.den, 3.0);
  session.Shutdown();
  EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
}

struct RangeCase {
  int32_t fps;
  double first, last;  // frames
  std::vector<std::string> names;
  std::vector<int32_t> progress;  // empty: not checked
};

TEST_P(ExportTest, FrameRangesAndNames) {
  const std::vector<RangeCase> cases = {
      {30, 1, 9, {"01", "02", "03", "04", "05", "06", "07", "08", "09"}, {}},
      {30, 0, 10, {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}, {}},
      {25, 0, 1, {"0", "1"}, {0, 50}},
      {24, -5, 5, {"-5", "-4", "-3", "-2", "-1", "00", "01", "02", "03", "04", "05"},
       {0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90}},
      {30, -15, -14, {"-15", "-14"}, {0, 50}},
      {30, 0, 0, {"0"}, {0}},      // a last frame of 0 still gets a positive width
      {30, -3, -2, {"-3", "-2"}, {}},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    TempDir dir;
    Session session(GetParam());
    ASSERT_EQ(session.Export(FrameRangeScene(c.fps, c.first, c.last), dir / "shot.obj"), 0);
    EXPECT_EQ(dir.Files(), Names("shot", c.names));
    if (!c.progress.empty()) {
      EXPECT_EQ(session.host().status_values(), c.progress);
    }
  }
}

TEST_P(ExportTest, LastFrameAtTheThirtyTwoBitLimitEndsTheLoop) {
  Session session(GetParam());
  ASSERT_EQ(session.Export(FrameRangeScene(1, 2147483646, 2147483647), dir_ / "shot.obj"), 0);
  if (GetParam().generation == Generation::R12) {
    EXPECT_EQ(dir_.Files(), Names("shot", {"02147483646", "02147483647"}));
  } else {
    // Both times round to 2^31 in single precision: one frame, the largest representable.
    EXPECT_EQ(dir_.Files(), Names("shot", {"02147483647"}));
  }
}

TEST_P(ExportTest, TargetNames) {
  struct NameCase {
    std::string folder, target;
    std::vector<std::string> files;
  };
  const std::vector<NameCase> cases = {
      {"plain", "shot.obj", {"shot_0.obj", "shot_1.obj"}},
      {"nosuffix", "shot", {"shot_0.obj", "shot_1.obj"}},
      {"dot.folder", "take.2.obj", {"take.2_0.obj", "take.2_1.obj"}},
      {"Dürer-Ωmega", "schloß.obj", {"schloß_0.obj", "schloß_1.obj"}},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.folder + "/" + c.target);
    std::filesystem::create_directory(dir_.path() / c.folder);
    Session session(GetParam());
    ASSERT_EQ(session.Export(FrameRangeScene(30, 0, 1), dir_ / (c.folder + "/" + c.target)), 0);
    EXPECT_EQ(dir_.Files(c.folder), c.files);
  }
}

TEST_P(ExportTest, NothingHappensWithoutTheObjectsFilterOrWithAnEmptyRange) {
  Session session(GetParam());
  EXPECT_EQ(session.Export(FrameRangeScene(30, 0, 5), dir_ / "a.obj", /*filter=*/2), 0);
  EXPECT_EQ(session.last_document.current.num, 0);
  EXPECT_EQ(session.Export(FrameRangeScene(30, 5, 4), dir_ / "b.obj"), 0);
  EXPECT_TRUE(dir_.Files().empty());
  EXPECT_TRUE(session.host().status_values().empty());
}

TEST_P(ExportTest, TwoSaverNodesAreIndependent) {
  Session session(GetParam());
  std::string error;
  auto first = quorhost::SaverNode::Create(session.registration(), &error);
  auto second = quorhost::SaverNode::Create(session.registration(), &error);
  ASSERT_TRUE(first && second) << error;
  EXPECT_NE(first->object(), second->object());
  quorhost::Document* doc = session.host().BuildDocument(FrameRangeScene(30, 0, 1));
  {
    quorhost::PluginFilename name(dir_ / "one.obj");
    EXPECT_EQ(first->Save(name.get(), doc, 1), 0);
  }
  {
    quorhost::PluginFilename name(dir_ / "two.obj");
    EXPECT_EQ(second->Save(name.get(), doc, 1), 0);
  }
  session.host().FreeDocument(doc);
  EXPECT_EQ(dir_.Files(), (std::vector<std::string>{"one_0.obj", "one_1.obj", "two_0.obj",
                                                    "two_1.obj"}));
  EXPECT_EQ(ReadFile(dir_ / "one_1.obj"), ReadFile(dir_ / "two_1.obj"));
}

// A fault, where it strikes, and what the export must answer.
struct FailureCase {
  const char* name;
  std::function<void(quorhost::Faults&, int frame, int64_t bytes_before)> arm;
  int32_t result;
  enum { kNoFile, kEmptyFile, kPartialFile } failing_file;
};

// Frames 0 to 4 have a digit width of 2.
std::string FrameFile(int frame) { return "shot_0" + std::to_string(frame) + ".obj"; }

Scene SmallAnimatedScene() {
  Scene scene = ExampleScene();
  scene.max_time = {4, 30};
  scene.objects.push_back(scene.objects[0]);  // a second top-level object
  scene.objects.back().parent = -1;
  return scene;
}

TEST_P(ExportTest, FailuresStopAtTheFailingFrame) {
  const Scene scene = SmallAnimatedScene();
  TempDir clean_dir;
  std::vector<std::string> clean;
  {
    Session session(GetParam());
    ASSERT_EQ(session.Export(scene, clean_dir / "shot.obj"), 0);
    for (int f = 0; f < 5; ++f) clean.push_back(ReadFile(clean_dir / FrameFile(f)));
    for (const std::string& text : clean) ASSERT_FALSE(text.empty());
  }
  const std::vector<FailureCase> cases = {
      {"no file object", [](quorhost::Faults& x, int f, int64_t) { x.Arm(FaultKind::FileAllocation, f + 1); }, -7, FailureCase::kNoFile},
      {"open refused", [](quorhost::Faults& x, int f, int64_t) { x.Arm(FaultKind::Open, f + 1); }, -1, FailureCase::kNoFile},
      {"no copy document", [](quorhost::Faults& x, int f, int64_t) { x.Arm(FaultKind::DocumentAllocation, f + 1); }, -7, FailureCase::kEmptyFile},
      {"copy refused", [](quorhost::Faults& x, int f, int64_t) { x.Arm(FaultKind::Copy, f + 1); }, -7, FailureCase::kEmptyFile},
      {"command fails for the second object",
       [](quorhost::Faults& x, int f, int64_t) { x.ArmCommand(CommandFailure::ReturnFalse, 2 * f + 2); }, -7, FailureCase::kEmptyFile},
      {"command gives an empty array",
       [](quorhost::Faults& x, int f, int64_t) { x.ArmCommand(CommandFailure::EmptyArray, 2 * f + 1); }, -7, FailureCase::kEmptyFile},
      {"command gives a null element",
       [](quorhost::Faults& x, int f, int64_t) { x.ArmCommand(CommandFailure::NullElement, 2 * f + 1, true); }, -7, FailureCase::kEmptyFile},
      {"write fails inside a line",
       [](quorhost::Faults& x, int, int64_t before) { x.Arm(FaultKind::Write, before + 70, true); }, -4, FailureCase::kPartialFile},
      {"write fails for good at the header",
       [](quorhost::Faults& x, int, int64_t before) { x.Arm(FaultKind::Write, before, true); }, -4, FailureCase::kEmptyFile},
  };
  for (const FailureCase& c : cases) {
    for (int frame : {0, 2, 4}) {
      SCOPED_TRACE(std::string(c.name) + " at frame " + std::to_string(frame));
      int64_t before = 0;
      for (int f = 0; f < frame; ++f) before += int64_t(clean[f].size());
      TempDir dir;
      Session session(GetParam());
      const int32_t result = session.Export(scene, dir / "shot.obj", 1, [&](quorhost::Host& host) {
        c.arm(host.faults(), frame, before);
      });
      EXPECT_EQ(result, c.result);
      for (int f = 0; f < frame; ++f) {
        EXPECT_EQ(ReadFile(dir / FrameFile(f)), clean[f]) << f;
      }
      const std::string failing = dir / FrameFile(frame);
      switch (c.failing_file) {
        case FailureCase::kNoFile: EXPECT_FALSE(std::filesystem::exists(failing)); break;
        case FailureCase::kEmptyFile: EXPECT_EQ(ReadFile(failing), ""); EXPECT_TRUE(std::filesystem::exists(failing)); break;
        case FailureCase::kPartialFile: EXPECT_EQ(ReadFile(failing), clean[frame].substr(0, 70)); break;
      }
      EXPECT_EQ(dir.Files().size(), size_t(frame) + (c.failing_file == FailureCase::kNoFile ? 0 : 1));
      std::vector<int32_t> progress;
      for (int f = 0; f < frame; ++f) progress.push_back(f * 20);
      EXPECT_EQ(session.host().status_values(), progress);
      // The document stays at the last frame that was set: a frame that failed before its time
      // was set leaves the previous one.
      const bool time_set = c.failing_file != FailureCase::kNoFile;
      EXPECT_EQ(session.last_document.current.num, double(time_set ? frame : std::max(frame - 1, 0)));
      session.Shutdown();
      EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
    }
  }
}

TEST_P(ExportTest, MissingAndReadOnlyFoldersFailWithTheOpenError) {
  Session session(GetParam());
  EXPECT_EQ(session.Export(FrameRangeScene(30, 0, 2), dir_ / "missing/shot.obj"), -1);
  std::filesystem::create_directory(dir_.path() / "ro");
  chmod((dir_ / "ro").c_str(), 0555);
  if (access((dir_ / "ro").c_str(), W_OK) != 0) {  // root may write anywhere
    EXPECT_EQ(session.Export(FrameRangeScene(30, 0, 2), dir_ / "ro/shot.obj"), -1);
  }
  EXPECT_TRUE(session.host().status_values().empty());
  session.Shutdown();
  session.host().AcknowledgeFailures();
  EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
}

TEST_P(ExportTest, VeryLongTargetPath) {
  // 4,000 characters in folders of 200 that do not exist: the open fails cleanly.
  std::string target = dir_.path().string();
  while (target.size() < 4000) target += "/" + std::string(200, 'd');
  target.resize(4000);
  target += ".obj";
  Session session(GetParam());
  EXPECT_EQ(session.Export(FrameRangeScene(30, 0, 1), target), -1);
  session.Shutdown();
  session.host().AcknowledgeFailures();
  EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
}

TEST_P(ExportTest, FullDiskIsAWriteError) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP();
  // The frame file names are derived from the target; a link named like frame 0 points at
  // /dev/full.
  std::filesystem::create_symlink("/dev/full", dir_.path() / "shot_0.obj");
  Session session(GetParam());
  EXPECT_EQ(session.Export(FrameRangeScene(30, 0, 0), dir_ / "shot.obj"), -4);
  session.Shutdown();
  session.host().AcknowledgeFailures();
  EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
}

TEST_P(ExportTest, HostileFrameRates) {
  struct Case {
    int32_t fps;
    std::vector<std::string> files;
  };
  // Times 0 s to 3 s. A rate of 0 puts both ends at frame 0; a negative rate turns the range
  // around, which leaves nothing to write.
  const Case cases[] = {{0, {"shot_0.obj"}}, {-5, {}}, {1, {"shot_00.obj", "shot_01.obj", "shot_02.obj", "shot_03.obj"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fps);
    TempDir dir;
    Session session(GetParam());
    Scene scene = FrameRangeScene(1, 0, 0);
    scene.fps = c.fps;
    scene.min_time = {0, 1};
    scene.max_time = {3, 1};
    EXPECT_EQ(session.Export(scene, dir / "shot.obj"), 0);
    EXPECT_EQ(dir.Files(), c.files);
    // The document's time stays a real time, never a division by zero.
    EXPECT_NE(session.last_document.current.den, 0);
    session.Shutdown();
    session.host().AcknowledgeFailures();
    EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
  }
}

TEST_P(ExportTest, DocumentTimeRangeComesFromItsParameters) {
  Session session(GetParam());
  Scene scene = FrameRangeScene(10, 0, 0);
  scene.min_time = {3, 2};   // 1.5 s = frame 15
  scene.max_time = {17, 10};  // 1.7 s = frame 17
  ASSERT_EQ(session.Export(scene, dir_ / "shot.obj"), 0);
  EXPECT_EQ(dir_.Files(), Names("shot", {"015", "016", "017"}));
}

INSTANTIATE_TEST_SUITE_P(Generations, ExportTest, testing::ValuesIn(Generations()),
                         GenerationName);

}  // namespace
}  // namespace quortest
