#include "support.h"

#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

namespace quortest {

const std::vector<GenerationCase>& Generations() {
  static const std::vector<GenerationCase> cases = {
      {quorhost::Generation::R12, "R12", QUOR_PLUGIN_R12, QUOR_PROBE_R12,
       "#OBJ File Created by Quorvan OBJ Sequence Exporter for C4D R12"},
      {quorhost::Generation::R11_5, "R11_5", QUOR_PLUGIN_R11_5, QUOR_PROBE_R11_5,
       "#OBJ File Created by Quorvan OBJ Sequence Exporter for C4D R11.5"},
  };
  return cases;
}

std::string GenerationName(const testing::TestParamInfo<GenerationCase>& info) {
  return info.param.name;
}

Session::Session(const GenerationCase& generation, quorhost::HostOptions options,
                 bool use_probe) {
  options.generation = generation.generation;
  host_ = std::make_unique<quorhost::Host>(options);
  std::string error;
  plugin_ = quorhost::Plugin::Load(use_probe ? generation.probe_path : generation.plugin_path,
                                   &error);
  if (!plugin_) {
    ADD_FAILURE() << "cannot load the plug-in: " << error;
    return;
  }
  startup_result = plugin_->StartUp();
  start_result = plugin_->Start();
  message_result = plugin_->Message(1);
}

Session::~Session() { Shutdown(); }

void Session::Shutdown() {
  if (!plugin_) return;
  plugin_->End();
  plugin_.reset();
}

const quorhost::Registration& Session::registration() const {
  static const quorhost::Registration none;
  const auto& all = host_->registrations();
  return all.empty() ? none : all.back();
}

int32_t Session::Export(const quorhost::Scene& scene, const std::string& target, int32_t filter,
                        const std::function<void(quorhost::Host&)>& before_save) {
  std::string error;
  quorhost::Document* doc = host_->BuildDocument(scene, &error);
  if (!doc) {
    ADD_FAILURE() << error;
    return 1;
  }
  int32_t result = 1;
  {
    auto node = quorhost::SaverNode::Create(registration(), &error);
    if (!node) {
      ADD_FAILURE() << error;
    } else {
      quorhost::PluginFilename name(target);
      if (before_save) before_save(*host_);
      result = node->Save(name.get(), doc, filter);
      host_->faults().DisarmAll();
    }
  }
  last_document = host_->ReadDocument(doc);
  host_->FreeDocument(doc);
  return result;
}

Probe::Probe(const GenerationCase& generation) {
  handle_ = dlopen(generation.probe_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) ADD_FAILURE() << dlerror();
}

Probe::~Probe() {
  if (handle_) dlclose(handle_);
}

void Probe::Bind(quorhost::Host& host) {
  Get<void (*)(void*)>("quor_probe_bind")(host.root_table());
}

namespace {
quorhost::SceneObject Polygon(const char* name, quorhost::Vec3 t, std::vector<quorhost::Vec3> points,
                              std::vector<quorhost::Poly> polygons, int32_t parent) {
  quorhost::SceneObject o;
  o.name = name;
  o.kind = quorhost::ObjectKind::Polygon;
  o.parent = parent;
  o.matrix.t = t;
  o.points = std::move(points);
  o.polygons = std::move(polygons);
  return o;
}
}  // namespace

quorhost::Scene FrameRangeScene(int32_t fps, double first, double last) {
  quorhost::Scene scene;
  scene.fps = fps;
  scene.min_time = {first, double(fps)};
  scene.max_time = {last, double(fps)};
  scene.objects.push_back(Polygon("Tri", {0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                                  {{0, 1, 2, 2}}, -1));
  return scene;
}

quorhost::Scene ExampleScene() {
  quorhost::Scene scene;
  scene.fps = 30;
  scene.min_time = {0, 30};
  scene.max_time = {0, 30};
  scene.objects.push_back(Polygon("Quad", {10, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                                  {{0, 1, 2, 3}}, -1));
  scene.objects.push_back(
      Polygon("Tri", {0, 0, 5}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2, 2}}, 0));
  return scene;
}

}  // namespace quortest
