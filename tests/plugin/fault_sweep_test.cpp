// The fault sweep: every host operation of a small animated export made to fail, one at a time,
// once and for good, for every kind of fault the host can inject. After each run the export
// must have stopped cleanly: earlier frames byte-identical to a clean run, nothing after the
// failing frame, a non-zero result whenever a frame is missing or incomplete, and every host
// object given back.
#include "quorhost/scene_animation.h"
#include "support.h"

namespace quortest {
namespace {

using quorhost::CommandFailure;
using quorhost::FaultKind;
using quorhost::Scene;

constexpr int kFrames = 3;

Scene SweepScene() {
  Scene scene = ExampleScene();
  scene.max_time = {kFrames - 1, 30};
  scene.objects.push_back(scene.objects[0]);
  scene.objects.back().parent = -1;
  scene.objects.back().matrix.t = {0, 0, 0};
  quorhost::KeyedAnimation animation;
  animation.fps = 30;
  animation.keys = {{0, quorhost::Vec3{0, 0, 0}, std::nullopt, std::nullopt},
                    {2, quorhost::Vec3{4, 2, 0}, quorhost::Vec3{0, 90, 0}, std::nullopt}};
  scene.objects.back().animator = quorhost::MakeKeyedAnimator(animation);
  return scene;
}

// A last frame of 2 gives a digit width of 2.
std::string FrameFile(int frame) { return "shot_0" + std::to_string(frame) + ".obj"; }

struct Outcome {
  int32_t result;
  std::vector<std::string> frames;  // "" for a missing file
  std::vector<bool> exists;
};

class FaultSweepTest : public testing::TestWithParam<GenerationCase> {
 protected:
  void SetUp() override {
    session_ = std::make_unique<Session>(GetParam());
    baseline_ = session_->host().books();
    clean_ = Run({});
    ASSERT_EQ(clean_.result, 0);
    for (int f = 0; f < kFrames; ++f) ASSERT_TRUE(clean_.exists[f]);
  }

  void TearDown() override {
    // How many exports this sweep ran, for the reliability report.
    RecordProperty("exports", std::to_string(runs_));
    std::printf("fault sweep: %lld exports\n", static_cast<long long>(runs_));
  }

  Outcome Run(const std::function<void(quorhost::Host&)>& arm) {
    ++runs_;
    TempDir dir;
    Outcome out;
    out.result = session_->Export(SweepScene(), dir / "shot.obj", 1, arm);
    for (int f = 0; f < kFrames; ++f) {
      out.exists.push_back(std::filesystem::exists(dir / FrameFile(f)));
      out.frames.push_back(ReadFile(dir / FrameFile(f)));
    }
    return out;
  }

  // The promises of a stopped export, checked on one run.
  void Check(const Outcome& run, bool close_fault, bool range_changes = false) {
    int failing = kFrames;
    for (int f = 0; f < kFrames; ++f) {
      if (!run.exists[f] || run.frames[f] != clean_.frames[f]) {
        failing = f;
        break;
      }
    }
    if (range_changes) {
      // A refused parameter read gives 0 frames per second or a 0/1 time: the export writes
      // the range those values give and succeeds; only the books are checked.
      EXPECT_EQ(run.result, 0);
    } else if (failing == kFrames) {
      // Every frame complete: success, or a failure noticed after the last byte was written.
      EXPECT_TRUE(run.result == 0 || run.result == -7 || run.result == -4 || run.result == -1)
          << run.result;
    } else {
      EXPECT_NE(run.result, 0) << "frame " << failing << " is incomplete";
      EXPECT_TRUE(run.result == -1 || run.result == -4 || run.result == -7) << run.result;
      for (int f = failing + 1; f < kFrames; ++f) EXPECT_FALSE(run.exists[f]) << f;
      // A write that failed once leaves a gap and the later lines follow it; a lasting failure
      // leaves exactly what was written before it.
      if (run.exists[failing] && expect_prefix_) {
        EXPECT_EQ(clean_.frames[failing].compare(0, run.frames[failing].size(), run.frames[failing]), 0)
            << "the failing frame holds what was written up to the failure";
      }
    }
    quorhost::Books books = session_->host().books();
    EXPECT_EQ(books.live_blocks, baseline_.live_blocks) << books.Describe();
    EXPECT_EQ(books.live_documents, 0);
    EXPECT_EQ(books.free_objects, 0);
    EXPECT_EQ(books.live_arrays, 0);
    EXPECT_EQ(books.live_files, 0);
    EXPECT_EQ(books.open_files, 0);
    EXPECT_EQ(books.live_values, baseline_.live_values);
    EXPECT_TRUE(books.stray_releases.empty());
    for (const std::string& fault : books.faults) ADD_FAILURE() << fault;
    if (!close_fault) {
      EXPECT_TRUE(books.close_failures.empty());
    }
    session_->host().AcknowledgeFailures();
  }

  // Counts the clean run's calls of `kind` once, then fails each of them in turn.
  void Sweep(FaultKind kind, const std::function<void(quorhost::Faults&, int64_t, bool)>& arm) {
    int64_t calls = 0;
    Run([&](quorhost::Host& host) { host.faults().ResetCounts(); });
    calls = session_->host().faults().Count(kind);
    for (bool persistent : {false, true}) {
      for (int64_t n = 1; n <= calls; ++n) {
        SCOPED_TRACE("call " + std::to_string(n) + (persistent ? " and later" : " once"));
        const Outcome run = Run([&](quorhost::Host& host) { arm(host.faults(), n, persistent); });
        Check(run, kind == FaultKind::Close, kind == FaultKind::ParameterRead);
        if (HasFatalFailure()) return;
      }
    }
  }

  bool expect_prefix_ = true;
  int64_t runs_ = 0;
  std::unique_ptr<Session> session_;
  quorhost::Books baseline_;
  Outcome clean_;
};

TEST_P(FaultSweepTest, EveryCallOfEveryKind) {
  const FaultKind kinds[] = {FaultKind::Allocation,  FaultKind::FileAllocation,
                             FaultKind::Open,        FaultKind::Close,
                             FaultKind::DocumentAllocation, FaultKind::Copy,
                             FaultKind::ParameterRead};
  for (FaultKind kind : kinds) {
    SCOPED_TRACE("fault kind " + std::to_string(int(kind)));
    Sweep(kind, [kind](quorhost::Faults& f, int64_t n, bool p) { f.Arm(kind, n, p); });
  }
  for (CommandFailure how :
       {CommandFailure::ReturnFalse, CommandFailure::EmptyArray, CommandFailure::NullElement}) {
    SCOPED_TRACE("command failure " + std::to_string(int(how)));
    Sweep(FaultKind::ModelingCommand,
          [how](quorhost::Faults& f, int64_t n, bool p) { f.ArmCommand(how, n, p); });
  }
}

TEST_P(FaultSweepTest, WritesFailAtEveryLineBoundaryAndInsideLines) {
  std::vector<int64_t> offsets;
  int64_t total = 0;
  for (const std::string& frame : clean_.frames) {
    for (size_t i = 0; i < frame.size(); ++i) {
      if (i == 0 || frame[i - 1] == '\n') {
        offsets.push_back(total + int64_t(i));  // at a line boundary
        const size_t end = frame.find('\n', i);
        if (end - i > 3) offsets.push_back(total + int64_t(i) + 3);  // inside the line
      }
    }
    total += int64_t(frame.size());
  }
  for (bool persistent : {false, true}) {
    expect_prefix_ = persistent;
    for (int64_t offset : offsets) {
      SCOPED_TRACE("byte " + std::to_string(offset) + (persistent ? " and later" : " once"));
      const Outcome run = Run([&](quorhost::Host& host) {
        host.faults().Arm(FaultKind::Write, offset, persistent);
      });
      EXPECT_EQ(run.result, -4);
      Check(run, false);
      if (HasFatalFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Generations, FaultSweepTest, testing::ValuesIn(Generations()),
                         GenerationName);

}  // namespace
}  // namespace quortest
