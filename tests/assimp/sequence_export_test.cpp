// Interchange files exported frame by frame through the real plug-in: every frame file read back
// with assimp's OBJ importer must hold the meshes posed as an independent evaluation of the file's
// keys, skins and morph targets places them.
#include <algorithm>
#include <assimp/Importer.hpp>
#include <cmath>

#include "export_support.h"
#include "reference_pose.h"

namespace quortest {
namespace {

struct SequenceCase {
  std::string file;
  std::string animation;  // "" = the first
  double tolerance;       // relative to the point's distance from the origin (at least 1)
  double min_motion;      // some point must move at least this far over the sequence
};

void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.file; }

// The corners of every face as the exporter writes them: triangles repeat their last corner.
std::vector<std::vector<aiVector3D>> ExpectedFaces(const std::vector<PlacedMesh>& meshes) {
  std::vector<std::vector<aiVector3D>> faces;
  for (const PlacedMesh& placed : meshes) {
    for (unsigned f = 0; f < placed.mesh->mNumFaces; ++f) {
      const aiFace& face = placed.mesh->mFaces[f];
      EXPECT_TRUE(face.mNumIndices == 3 || face.mNumIndices == 4) << "test data: tris and quads";
      std::vector<aiVector3D> corners;
      for (unsigned i = 0; i < face.mNumIndices; ++i)
        corners.push_back(placed.world[face.mIndices[i]]);
      if (face.mNumIndices == 3) corners.push_back(corners.back());
      faces.push_back(std::move(corners));
    }
  }
  return faces;
}

const aiAnimation* FindAnimation(const aiScene& scene, const std::string& name) {
  if (name.empty()) return scene.mNumAnimations ? scene.mAnimations[0] : nullptr;
  for (unsigned i = 0; i < scene.mNumAnimations; ++i) {
    if (name == scene.mAnimations[i]->mName.C_Str()) return scene.mAnimations[i];
  }
  return nullptr;
}

class SequenceExportTest : public testing::TestWithParam<SequenceCase> {};

TEST_P(SequenceExportTest, EveryFrameFileHoldsTheMeshesPosedByTheFilesKeys) {
  const SequenceCase& c = GetParam();
  Assimp::Importer importer;
  const aiScene* file = importer.ReadFile(TestScenePath(c.file), 0);
  ASSERT_NE(file, nullptr) << importer.GetErrorString();
  const aiAnimation* animation = FindAnimation(*file, c.animation);
  ASSERT_NE(animation, nullptr);
  const double tps = animation->mTicksPerSecond > 0 ? animation->mTicksPerSecond : 25;

  const quorhost::Scene scene = LoadTestScene(c.file, c.animation);
  ASSERT_GT(scene.fps, 0);
  const double last_frame = std::ceil(animation->mDuration / tps * scene.fps - 1e-9);
  EXPECT_EQ(scene.min_time.num / scene.min_time.den, 0.0);
  EXPECT_DOUBLE_EQ(scene.max_time.num / scene.max_time.den, last_frame / scene.fps);

  TempDir dir;
  PluginExport plugin;
  ASSERT_EQ(plugin.Export(scene, dir / "shot.obj"), 0);
  const auto files = dir.Files();
  ASSERT_EQ(files.size(), static_cast<size_t>(last_frame) + 1);

  std::vector<std::vector<aiVector3D>> first_frame;
  double motion = 0;
  for (int frame = 0; frame <= static_cast<int>(last_frame); ++frame) {
    // Zero-padded numbers of one width: the sorted names are in frame order.
    const std::string name = dir / files[static_cast<size_t>(frame)];
    SCOPED_TRACE(name);
    const ObjFrame read = ReadObjFrame(name);
    const double ticks = static_cast<double>(frame) / scene.fps * tps;
    const auto expected = ExpectedFaces(PoseMeshes(*file, animation, ticks));
    ASSERT_EQ(read.faces.size(), expected.size());
    size_t mismatches = 0;
    for (size_t f = 0; f < expected.size(); ++f) {
      ASSERT_EQ(read.faces[f].size(), expected[f].size()) << "face " << f;
      for (size_t i = 0; i < expected[f].size(); ++i) {
        const aiVector3D d = read.faces[f][i] - expected[f][i];
        const double size = std::max(1.0, double(expected[f][i].Length()));
        if (std::max({std::abs(d.x), std::abs(d.y), std::abs(d.z)}) > c.tolerance * size &&
            mismatches++ < 3) {
          ADD_FAILURE() << "face " << f << " corner " << i << ": read (" << read.faces[f][i].x
                        << ", " << read.faces[f][i].y << ", " << read.faces[f][i].z
                        << ") expected (" << expected[f][i].x << ", " << expected[f][i].y << ", "
                        << expected[f][i].z << ")";
        }
      }
    }
    ASSERT_EQ(mismatches, 0u);
    if (frame == 0) first_frame = read.faces;
    for (size_t f = 0; f < read.faces.size(); ++f) {
      for (size_t i = 0; i < read.faces[f].size(); ++i) {
        motion = std::max(motion, double((read.faces[f][i] - first_frame[f][i]).Length()));
      }
    }
  }
  EXPECT_GE(motion, c.min_motion) << "the sequence hardly moves";
}

INSTANTIATE_TEST_SUITE_P(
    Files, SequenceExportTest,
    testing::Values(
        // Node animation: rotation (spherical), translation, scale, and a nested hierarchy.
        SequenceCase{"AnimatedTriangle/AnimatedTriangle.gltf", "", 2e-6, 1.0},
        SequenceCase{"bevy_animations/animations.gltf", "", 1e-5, 1.0},
        SequenceCase{"BoxAnimated/BoxAnimated.gltf", "", 1e-5, 1.0},
        SequenceCase{"assimp_anims_full_rotations/anims_with_full_rotations_between_keys.DAE", "",
                     1e-4, 1.0},
        // Skinning: glTF (embedded and external buffers, binary), Collada and FBX.
        SequenceCase{"SimpleSkin/SimpleSkin.gltf", "", 1e-5, 0.5},
        SequenceCase{"RiggedSimple/RiggedSimple.gltf", "", 1e-4, 1.0},
        SequenceCase{"Fox/Fox.glb", "Walk", 1e-3, 5.0},
        SequenceCase{"assimp_box_nested_animation/box_nested_animation.dae", "", 1e-5, 0.5},
        SequenceCase{"assimp_animation_with_skeleton/animation_with_skeleton.fbx", "", 1e-3, 1.0},
        // Morph targets keyed over time.
        SequenceCase{"AnimatedMorphCube/AnimatedMorphCube.gltf", "", 1e-6, 0.005}),
    [](const testing::TestParamInfo<SequenceCase>& info) {
      std::string name = info.param.file.substr(0, info.param.file.find('/'));
      name.erase(
          std::remove_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }),
          name.end());
      return name;
    });

}  // namespace
}  // namespace quortest
