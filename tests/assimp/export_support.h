// Driving the real plug-in (generation 12) over a loaded scene, and reading its frame files back
// with assimp's OBJ importer.
#pragma once

#include "test_files.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "quorhost/host.h"
#include "quorhost/plugin.h"
#include "quorhost/scene.h"

namespace quortest {

// A host session with the plug-in started; Export saves a scene as a frame sequence.
class PluginExport {
 public:
  PluginExport();
  ~PluginExport();
  // Builds the document, saves it to `target` ("dir/name.obj"), frees it; Save's result.
  int32_t Export(const quorhost::Scene& scene, const std::string& target);

 private:
  std::unique_ptr<quorhost::Host> host_;
  std::unique_ptr<quorhost::Plugin> plugin_;
};

// One frame file as assimp's OBJ importer reads it: every face's corners, in file order.
struct ObjFrame {
  std::vector<std::vector<aiVector3D>> faces;
  size_t vertex_lines = 0;  // "v" lines in the file
};
// Fails the test (and returns an empty frame) when assimp cannot read the file.
ObjFrame ReadObjFrame(const std::string& path);

// Loads a file of the test data with the loader; fails the test on error.
quorhost::Scene LoadTestScene(const std::string& relative, const std::string& animation = "",
                              int32_t fps = 0, std::vector<std::string>* warnings = nullptr);
std::string TestScenePath(const std::string& relative);

}  // namespace quortest
