// Loading the test plug-in and driving its saver through the registered record.
#include "quorhost/plugin.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host_fixture.h"

namespace hosttest {
namespace {

using quorhost::Plugin;
using quorhost::SaverNode;

struct PluginState {
  int32_t saves;
  int32_t last_filter;
  void* last_node;
  void* last_doc;
  int32_t live_objects;
  int32_t destroyed;
};

class PluginTest : public HostTest {
 protected:
  std::string Path() const { return r12() ? TEST_PLUGIN_R12_PATH : TEST_PLUGIN_R11_5_PATH; }
  static const PluginState* StateOf(const std::string& path) {
    // RTLD_NOLOAD finds the already loaded library without loading it again.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return nullptr;
    auto fn = reinterpret_cast<const PluginState* (*)()>(dlsym(handle, "test_plugin_state"));
    dlclose(handle);
    return fn ? fn() : nullptr;
  }
};

TEST_P(PluginTest, LoadStartRegisterSaveEndAndUnloadRepeatedly) {
  std::string out = (std::filesystem::temp_directory_path() /
                     ("quorhost_plugin_" + std::to_string(getpid()) + ".tst"))
                        .string();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    std::string error;
    std::unique_ptr<Plugin> plugin = Plugin::Load(Path(), &error);
    ASSERT_NE(plugin, nullptr) << error;
    EXPECT_EQ(plugin->QueryGeneration(), GetParam());
    EXPECT_EQ(plugin->StartUp(), 1);
    EXPECT_EQ(plugin->Start(), 1);
    EXPECT_EQ(plugin->Message(1), 1);
    EXPECT_EQ(plugin->Message(2), -1);
    ASSERT_EQ(host().registrations().size(), static_cast<size_t>(round + 1));
    const quorhost::Registration& reg = host().registrations().back();
    EXPECT_EQ(reg.name, "Test Saver");
    EXPECT_EQ(reg.suffix, "tst");
    EXPECT_EQ(reg.type, r12() ? 16 : 25);
    {
      std::unique_ptr<SaverNode> node = SaverNode::Create(reg, &error);
      ASSERT_NE(node, nullptr) << error;
      const PluginState* state = StateOf(Path());
      ASSERT_NE(state, nullptr);
      EXPECT_EQ(state->live_objects, 1);

      auto results = node->CallNodeCallbacks();
      ASSERT_EQ(results.size(), r12() ? 16u : 17u);
      EXPECT_EQ(results[0].name, "Init");
      EXPECT_EQ(results[0].value, 7) << "virtual dispatch reaches the override";
      for (const auto& r : results) {
        if (r.name == "Init") continue;
        bool answers_true = r.name == "Read" || r.name == "Write" || r.name == "Message" ||
                            r.name == "CopyTo" || r.name == "GetDParameter" ||
                            r.name == "SetDParameter" || r.name == "GetDEnabling";
        EXPECT_EQ(r.value, answers_true ? 1 : 0) << r.name;
      }

      quorhost::Document* doc = host().BuildDocument({});
      quorhost::PluginFilename name(out);
      EXPECT_EQ(node->Save(name.get(), doc, 1), 0);
      EXPECT_EQ(state->saves, 1);
      EXPECT_EQ(state->last_filter, 1);
      EXPECT_EQ(state->last_node, node->node());
      EXPECT_EQ(state->last_doc, static_cast<void*>(doc));
      host().FreeDocument(doc);
    }
    const PluginState* state = StateOf(Path());
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->live_objects, 0) << "deleted through the destructor hook";
    EXPECT_EQ(state->destroyed, 1);
    EXPECT_EQ(plugin->End(), 1);
    plugin.reset();
    EXPECT_EQ(StateOf(Path()), nullptr) << "unloaded";
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "saved by the test plug-in\n");
    std::filesystem::remove(out);
  }
}

TEST_P(PluginTest, StartUpIsRefusedBelowTheGenerationsVersion) {
  quorhost::HostOptions options;
  options.api_version = r12() ? 11999 : 11499;
  Start(options);
  auto plugin = Plugin::Load(Path());
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->StartUp(), -3);
}

TEST_P(PluginTest, LoadFailuresSayWhy) {
  std::string error;
  EXPECT_EQ(Plugin::Load("/nonexistent/plugin.so", &error), nullptr);
  EXPECT_NE(error.find("/nonexistent/plugin.so"), std::string::npos);
}

HOST_TEST_P(PluginTest);

}  // namespace
}  // namespace hosttest
