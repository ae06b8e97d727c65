#include "export_support.h"

#include <assimp/postprocess.h>
#include <stdlib.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <fstream>
#include <iterator>

#include "quorhost/scene_assimp.h"
#include "quorhost/values.h"

namespace quortest {

PluginExport::PluginExport() {
  host_ = std::make_unique<quorhost::Host>(quorhost::HostOptions{});
  std::string error;
  plugin_ = quorhost::Plugin::Load(QUOR_PLUGIN_R12, &error);
  if (!plugin_) {
    ADD_FAILURE() << "cannot load the plug-in: " << error;
    return;
  }
  EXPECT_EQ(plugin_->StartUp(), 1);
  plugin_->Start();
  plugin_->Message(1);
}

PluginExport::~PluginExport() {
  if (plugin_) {
    plugin_->End();
    plugin_.reset();
  }
}

int32_t PluginExport::Export(const quorhost::Scene& scene, const std::string& target) {
  if (!plugin_ || host_->registrations().empty()) {
    ADD_FAILURE() << "the plug-in registered no saver";
    return -1;
  }
  std::string error;
  quorhost::Document* doc = host_->BuildDocument(scene, &error);
  if (!doc) {
    ADD_FAILURE() << error;
    return -1;
  }
  int32_t result = -1;
  {
    auto node = quorhost::SaverNode::Create(host_->registrations().back(), &error);
    if (!node) {
      ADD_FAILURE() << error;
    } else {
      quorhost::PluginFilename name(target);
      result = node->Save(name.get(), doc, 1);
    }
  }
  host_->FreeDocument(doc);
  return result;
}

ObjFrame ReadObjFrame(const std::string& path) {
  ObjFrame frame;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("v ", 0) == 0) ++frame.vertex_lines;
  }
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, 0);
  if (!scene) {
    ADD_FAILURE() << path << ": " << importer.GetErrorString();
    return frame;
  }
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      std::vector<aiVector3D> corners;
      for (unsigned i = 0; i < face.mNumIndices; ++i)
        corners.push_back(mesh->mVertices[face.mIndices[i]]);
      frame.faces.push_back(std::move(corners));
    }
  }
  return frame;
}


std::string TestScenePath(const std::string& relative) {
  return std::string(QUOR_TEST_SCENES) + "/" + relative;
}

quorhost::Scene LoadTestScene(const std::string& relative, const std::string& animation,
                              int32_t fps, std::vector<std::string>* warnings) {
  quorhost::Scene scene;
  std::string error;
  quorhost::AssimpOptions options;
  options.animation = animation;
  options.fps = fps;
  EXPECT_TRUE(quorhost::LoadSceneAssimp(TestScenePath(relative), options, scene, error, warnings))
      << error;
  return scene;
}

}  // namespace quortest
