// The export run in-process, where the host's faults can be armed: failures that only the host
// sees, after the plug-in reported success, must still fail the export.
#include "export_run.h"

#include <gtest/gtest.h>

#include "objseq_runner.h"
#include "quorhost/faults.h"

namespace objseqtest {
namespace {

quorhost::Scene TwoFrames() {
  quorhost::Scene scene;
  scene.fps = 10;
  scene.min_time = {0, 10};
  scene.max_time = {1, 10};
  quorhost::SceneObject tri;
  tri.kind = quorhost::ObjectKind::Polygon;
  tri.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  tri.polygons = {{0, 1, 2, 2}};
  scene.objects.push_back(tri);
  return scene;
}

class ExportRun : public testing::TestWithParam<Generation> {
 protected:
  std::unique_ptr<objseq::PluginSession> Open() {
    objseq::PluginChoice choice;
    choice.plugin_path = GetParam().plugin_path;
    std::string error;
    auto session = objseq::PluginSession::Open(choice, error);
    EXPECT_TRUE(session) << error;
    if (session) {
      EXPECT_TRUE(session->Ready(error)) << error;
    }
    return session;
  }
};

TEST_P(ExportRun, CloseFailureFailsAnExportThePluginCalledGood) {
  auto session = Open();
  ASSERT_TRUE(session);
  TempDir out;
  session->host().faults().Arm(quorhost::FaultKind::Close, 1);
  objseq::ProgressDisplay progress(stderr, false);
  objseq::ExportReport report =
      objseq::RunExport(*session, TwoFrames(), "two.json", out / "shot.obj", progress);
  EXPECT_EQ(report.save_result, 0);
  EXPECT_EQ(report.exit_code, objseq::kExitExportFailed);
  EXPECT_EQ(report.failure.rfind("cannot close " + (out / "shot_0.obj"), 0), 0u) << report.failure;
  EXPECT_NE(report.failure.find("(file error -2)"), std::string::npos) << report.failure;
  session->host().AcknowledgeFailures();
}

TEST_P(ExportRun, CleanExportCountsEveryFrameAndLeavesTheBooksClean) {
  auto session = Open();
  ASSERT_TRUE(session);
  TempDir out;
  objseq::ProgressDisplay progress(stderr, false);
  objseq::ExportReport report =
      objseq::RunExport(*session, TwoFrames(), "two.json", out / "shot.obj", progress);
  EXPECT_EQ(report.exit_code, objseq::kExitOk) << report.failure;
  EXPECT_EQ(report.files_written, 2);
  EXPECT_EQ(out.Files(), (std::vector<std::string>{"shot_0.obj", "shot_1.obj"}));
  quorhost::Books books = session->host().books();
  EXPECT_EQ(books.live_documents, 0);
  EXPECT_EQ(books.live_files, 0);
  EXPECT_TRUE(books.close_failures.empty());
}

TEST_P(ExportRun, DocumentTheHostCannotBuildIsASceneError) {
  auto session = Open();
  ASSERT_TRUE(session);
  TempDir out;
  quorhost::Scene scene = TwoFrames();
  scene.objects[0].parent = 3;  // a parent that does not precede its child
  objseq::ProgressDisplay progress(stderr, false);
  objseq::ExportReport report =
      objseq::RunExport(*session, scene, "bad.json", out / "shot.obj", progress);
  EXPECT_EQ(report.exit_code, objseq::kExitUsage);
  EXPECT_EQ(report.failure.rfind("bad.json: ", 0), 0u) << report.failure;
  EXPECT_TRUE(out.Files().empty());
}

INSTANTIATE_TEST_SUITE_P(Generations, ExportRun, testing::ValuesIn(Generations()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace objseqtest
