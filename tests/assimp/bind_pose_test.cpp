// Skinned and morphed meshes at the time their animation rests in the bind pose: the exported
// points are the file's undeformed mesh.
#include <assimp/Importer.hpp>
#include <cmath>

#include "export_support.h"
#include "reference_pose.h"

namespace quortest {
namespace {

// True when every channel of `animation` holds its node's rest transform at `ticks`, and every
// morph channel weighs all its targets 0 there: the bind pose.
bool RestsAt(const aiScene& scene, const aiAnimation& animation, double ticks) {
  for (unsigned c = 0; c < animation.mNumChannels; ++c) {
    const aiNodeAnim& ch = *animation.mChannels[c];
    const aiNode* node = scene.mRootNode->FindNode(ch.mNodeName);
    if (!node) return false;
    aiVector3D scale, position;
    aiQuaternion rotation;
    node->mTransformation.Decompose(scale, rotation, position);
    const aiVector3D p = SampleKeys(ch.mPositionKeys, ch.mNumPositionKeys, ticks, position);
    const aiVector3D s = SampleKeys(ch.mScalingKeys, ch.mNumScalingKeys, ticks, scale);
    const aiQuaternion q = SampleKeys(ch.mRotationKeys, ch.mNumRotationKeys, ticks, rotation);
    const float dot =
        std::abs(q.w * rotation.w + q.x * rotation.x + q.y * rotation.y + q.z * rotation.z);
    if ((p - position).Length() > 1e-6f || (s - scale).Length() > 1e-6f || dot < 1 - 1e-6f)
      return false;
  }
  for (unsigned c = 0; c < animation.mNumMorphMeshChannels; ++c) {
    const aiMeshMorphAnim& ch = *animation.mMorphMeshChannels[c];
    if (ch.mNumKeys == 0 || ch.mKeys[0].mTime > ticks) return false;
    for (unsigned i = 0; i < ch.mKeys[0].mNumValuesAndWeights; ++i) {
      if (ch.mKeys[0].mWeights[i] != 0) return false;
    }
  }
  return true;
}

const aiNode* NodeOfMesh(const aiNode* node, unsigned mesh) {
  for (unsigned m = 0; m < node->mNumMeshes; ++m) {
    if (node->mMeshes[m] == mesh) return node;
  }
  for (unsigned c = 0; c < node->mNumChildren; ++c) {
    if (const aiNode* found = NodeOfMesh(node->mChildren[c], mesh)) return found;
  }
  return nullptr;
}

TEST(BindPose, FrameZeroOfASkinOrMorphAtRestIsTheUndeformedMesh) {
  for (const std::string file :
       {"SimpleSkin/SimpleSkin.gltf", "AnimatedMorphCube/AnimatedMorphCube.gltf"}) {
    SCOPED_TRACE(file);
    Assimp::Importer importer;
    const aiScene* source = importer.ReadFile(TestScenePath(file), 0);
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(source->mNumMeshes, 1u);
    ASSERT_TRUE(RestsAt(*source, *source->mAnimations[0], 0))
        << "test data: frame 0 is the bind pose";
    const aiMesh& mesh = *source->mMeshes[0];
    ASSERT_TRUE(mesh.mNumBones > 0 || mesh.mNumAnimMeshes > 0);

    TempDir dir;
    PluginExport plugin;
    ASSERT_EQ(plugin.Export(LoadTestScene(file), dir / "bind.obj"), 0);
    const ObjFrame frame = ReadObjFrame(dir / dir.Files().front());
    ASSERT_EQ(frame.vertex_lines, mesh.mNumVertices);
    ASSERT_EQ(frame.faces.size(), mesh.mNumFaces);
    // The undeformed mesh: a skinned mesh's points are in bind (world) space; a morphed mesh's
    // are placed by its node's rest matrices.
    aiMatrix4x4 place;
    if (mesh.mNumBones == 0) {
      const aiNode* node = NodeOfMesh(source->mRootNode, 0);
      ASSERT_NE(node, nullptr);
      for (; node; node = node->mParent) place = node->mTransformation * place;
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      for (unsigned i = 0; i < mesh.mFaces[f].mNumIndices; ++i) {
        const aiVector3D rest = place * mesh.mVertices[mesh.mFaces[f].mIndices[i]];
        EXPECT_LE((frame.faces[f][i] - rest).Length(), 1e-5f) << "face " << f << " corner " << i;
      }
    }
  }
}

}  // namespace
}  // namespace quortest
