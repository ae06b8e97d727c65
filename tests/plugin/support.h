// Shared fixtures of the plug-in tests: the two generations' built libraries, a host session
// that drives a plug-in the way the application does, and small file helpers.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "quorhost/host.h"
#include "quorhost/plugin.h"
#include "quorhost/scene.h"
#include "quorhost/values.h"
#include "test_files.h"

namespace quortest {

struct GenerationCase {
  quorhost::Generation generation;
  std::string name;         // "R12", "R11_5"
  std::string plugin_path;  // the deliverable
  std::string probe_path;   // the probe library of the same generation
  std::string header;       // the first line of every frame file
};

inline void PrintTo(const GenerationCase& c, std::ostream* os) { *os << c.name; }

const std::vector<GenerationCase>& Generations();
std::string GenerationName(const testing::TestParamInfo<GenerationCase>& info);

// A host session with a plug-in loaded, started up, started and sent message 1.
class Session {
 public:
  explicit Session(const GenerationCase& generation, quorhost::HostOptions options = {},
                   bool use_probe = false);
  ~Session();

  quorhost::Host& host() { return *host_; }
  quorhost::Plugin& plugin() { return *plugin_; }
  const quorhost::Registration& registration() const;

  // Builds a document from `scene`, saves it to `target` through a new saver node, frees the
  // node and the document; returns Save's result.
  // `before_save` (may be empty) runs once the document and the node exist.
  int32_t Export(const quorhost::Scene& scene, const std::string& target, int32_t filter = 1,
                 const std::function<void(quorhost::Host&)>& before_save = {});
  // The view of the last exported document just before it was freed.
  quorhost::DocumentView last_document;

  // Ends and unloads the plug-in now (the destructor does it otherwise).
  void Shutdown();

  int32_t startup_result = 0, start_result = 0, message_result = 0;

 private:
  std::unique_ptr<quorhost::Host> host_;
  std::unique_ptr<quorhost::Plugin> plugin_;
};

// A probe library loaded beside the host; its probes reach the binding layer directly.
class Probe {
 public:
  explicit Probe(const GenerationCase& generation);
  ~Probe();
  template <class F>
  F Get(const char* name) const {
    void* symbol = dlsym(handle_, name);
    EXPECT_NE(symbol, nullptr) << name;
    return reinterpret_cast<F>(symbol);
  }
  void Bind(quorhost::Host& host);

 private:
  void* handle_ = nullptr;
};

// A scene of one triangle, frames first..last at fps.
quorhost::Scene FrameRangeScene(int32_t fps, double first, double last);

// The two-object example of the file format: a quad at x = 10 with a triangle
// child at z = 5.
quorhost::Scene ExampleScene();

}  // namespace quortest
