// The exported frames read by a real OBJ reader give the scene's world-space points and faces,
// computed here independently from the scene file with the host's matrix helpers.
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <cmath>

#include "objseq_runner.h"
#include "quorhost/scene_animation.h"
#include "quorhost/scene_generators.h"
#include "quorhost/scene_json.h"

namespace objseqtest {
namespace {

using quorhost::Vec3;

// The polygon objects of `scene` at `frame`, in the exporter's order (depth-first pre-order):
// each face as its corners' world positions.
std::vector<std::vector<std::vector<Vec3>>> WorldFaces(const quorhost::Scene& scene, int frame) {
  std::vector<quorhost::Mat4> world(scene.objects.size());
  std::vector<std::vector<std::vector<Vec3>>> objects;
  const double seconds = quorhost::FrameToSeconds(frame, scene.fps);
  for (size_t i = 0; i < scene.objects.size(); ++i) {
    const quorhost::SceneObject& o = scene.objects[i];
    quorhost::EvaluatedState state;
    state.local = o.matrix;
    quorhost::Mesh mesh;
    if (o.kind == quorhost::ObjectKind::Polygon) {
      mesh.points = o.points;
      mesh.polygons = o.polygons;
    } else if (o.kind != quorhost::ObjectKind::Null) {
      mesh = quorhost::BuildGeneratorMesh(o);
    }
    state.points = mesh.points;
    if (o.animator) o.animator->Evaluate(seconds, state);
    world[i] = o.parent < 0 ? state.local : quorhost::Multiply(world[o.parent], state.local);
    if (o.kind == quorhost::ObjectKind::Null) continue;
    auto& faces = objects.emplace_back();
    for (const quorhost::Poly& p : mesh.polygons) {
      auto& corners = faces.emplace_back();
      for (int32_t index : {p.a, p.b, p.c, p.d})
        corners.push_back(quorhost::Transform(world[i], state.points.at(index)));
    }
  }
  return objects;
}

void ExpectFrameReadsBack(const std::string& path, const quorhost::Scene& scene, int frame,
                          double tolerance) {
  Assimp::Importer importer;
  const aiScene* read = importer.ReadFile(path, 0);
  ASSERT_NE(read, nullptr) << importer.GetErrorString();
  const auto expected = WorldFaces(scene, frame);
  ASSERT_EQ(read->mNumMeshes, expected.size());
  for (unsigned m = 0; m < read->mNumMeshes; ++m) {
    const aiMesh* mesh = read->mMeshes[m];
    EXPECT_EQ(std::string(mesh->mName.C_Str()), "Group " + std::to_string(m + 1));
    ASSERT_EQ(mesh->mNumFaces, expected[m].size()) << "mesh " << m;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      ASSERT_EQ(face.mNumIndices, expected[m][f].size());
      for (unsigned k = 0; k < face.mNumIndices; ++k) {
        const aiVector3D& v = mesh->mVertices[face.mIndices[k]];
        const Vec3& want = expected[m][f][k];
        EXPECT_NEAR(v.x, want.x, tolerance) << "mesh " << m << " face " << f << " corner " << k;
        EXPECT_NEAR(v.y, want.y, tolerance) << "mesh " << m << " face " << f << " corner " << k;
        EXPECT_NEAR(v.z, want.z, tolerance) << "mesh " << m << " face " << f << " corner " << k;
      }
    }
  }
}

class ObjseqReadBack : public testing::TestWithParam<Generation> {};

TEST_P(ObjseqReadBack, FramesGiveTheScenesWorldSpaceGeometry) {
  struct Case {
    std::string scene;
    int width;
    std::vector<int> frames;
  };
  // A nested, rotated and scaled hierarchy with a generator; keyed transforms; the animated demo.
  const std::vector<Case> cases = {
      {"hierarchy", 2, {0, 10}}, {"keyed_cube", 3, {0, 7, 25, 40}}, {"demo", 3, {0, 33, 90}}};
  // Six decimals in the file, read back into single precision by the reader (and written from
  // single precision in generation 11.5), on coordinates up to a few hundred.
  const double tolerance = GetParam().name == "R12" ? 1e-6 + 400 * 1.2e-7 : 1e-3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scene);
    quorhost::Scene scene;
    std::string error;
    ASSERT_TRUE(quorhost::LoadSceneJson(ExamplesDir() + "/" + c.scene + ".json", scene, error))
        << error;
    TempDir out;
    RunResult r = RunObjseq({"export", "--quiet", "--generation", GetParam().flag,
                             ExamplesDir() + "/" + c.scene + ".json", out / "f.obj"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    for (int frame : c.frames) {
      SCOPED_TRACE(frame);
      char name[32];
      std::snprintf(name, sizeof name, "f_%0*d.obj", c.width, frame);
      ExpectFrameReadsBack(out / name, scene, frame, tolerance);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Generations, ObjseqReadBack, testing::ValuesIn(Generations()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace objseqtest
