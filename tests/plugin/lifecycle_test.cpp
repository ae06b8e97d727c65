// The plug-in's life through c4d_main, as the host drives it.
#include <cstdio>

#include "support.h"

namespace quortest {
namespace {

using quorhost::Host;
using quorhost::HostOptions;
using quorhost::Plugin;

class LifecycleTest : public testing::TestWithParam<GenerationCase> {
 protected:
  std::unique_ptr<Plugin> Load() {
    std::string error;
    auto plugin = Plugin::Load(GetParam().plugin_path, &error);
    EXPECT_TRUE(plugin) << error;
    return plugin;
  }
  bool R12() const { return GetParam().generation == quorhost::Generation::R12; }
};

TEST_P(LifecycleTest, InterfaceQueryNeedsNoStartUp) {
  auto plugin = Load();
  EXPECT_EQ(plugin->Main(4), R12() ? 5 : 3);
  EXPECT_EQ(plugin->QueryGeneration(), GetParam().generation);
}

TEST_P(LifecycleTest, UnhandledActionsAnswerMinusOne) {
  Host host(HostOptions{GetParam().generation});
  auto plugin = Load();
  ASSERT_EQ(plugin->StartUp(), 1);
  for (int32_t action : {0, 5, 7, 8, 100, -1, -6, INT32_MIN}) {
    EXPECT_EQ(plugin->Main(action), -1) << action;
  }
  EXPECT_EQ(plugin->Message(12345), -1);  // a message the exporter does not handle
  EXPECT_TRUE(host.registrations().empty());
  EXPECT_EQ(plugin->End(), 1);
}

TEST_P(LifecycleTest, VersionLimits) {
  struct Case {
    int32_t version;
    int32_t r12, r11_5;
  };
  const Case cases[] = {{11499, -3, -3}, {11500, -3, 1}, {11999, -3, 1}, {12000, 1, 1}, {15000, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    HostOptions options{GetParam().generation};
    options.api_version = c.version;
    Host host(options);
    auto plugin = Load();
    const int32_t expected = R12() ? c.r12 : c.r11_5;
    EXPECT_EQ(plugin->StartUp(), expected);
    // Refused or not, the table is bound and the counter is 1: a second start-up answers 1
    // without testing again, and start works with the bound table.
    EXPECT_EQ(plugin->StartUp(), 1);
    EXPECT_EQ(plugin->Start(), 1);
    EXPECT_EQ(plugin->End(), 1);
    EXPECT_EQ(plugin->End(), 1);
    plugin.reset();
    EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
  }
}

TEST_P(LifecycleTest, NullPathIsRefusedButBindsTheTable) {
  Host host(HostOptions{GetParam().generation});
  auto plugin = Load();
  EXPECT_EQ(plugin->Main(1, host.root_table(), nullptr, nullptr), -3);
  EXPECT_EQ(plugin->Main(1, host.root_table(), nullptr, nullptr), 1);
  EXPECT_EQ(plugin->Start(), 1);  // the table is bound
  // No path was stored: the resources are looked for in an empty folder and not found.
  EXPECT_EQ(plugin->Message(1), -1);
  EXPECT_EQ(plugin->End(), 1);
  EXPECT_EQ(plugin->End(), 1);
  plugin.reset();
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(LifecycleTest, NestedStartUpsAndEndsAndRestart) {
  Host host(HostOptions{GetParam().generation});
  auto plugin = Load();
  EXPECT_EQ(plugin->StartUp(), 1);
  const auto blocks_after_first = host.books().live_blocks;
  EXPECT_EQ(blocks_after_first, 1);  // the stored path
  EXPECT_EQ(plugin->StartUp(), 1);
  EXPECT_EQ(host.books().live_blocks, 1);  // nothing stored again
  EXPECT_EQ(plugin->Start(), 1);
  EXPECT_EQ(plugin->Message(1), 1);
  EXPECT_EQ(host.books().live_resources, 1);
  EXPECT_EQ(plugin->End(), 1);  // the first end changes nothing
  EXPECT_EQ(host.books().live_resources, 1);
  EXPECT_EQ(host.books().live_blocks, 2);  // the path and the resource's folder
  EXPECT_EQ(plugin->End(), 1);  // the last end releases everything
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
  // An end with no start-up outstanding leaves the counter at 0 ...
  EXPECT_EQ(plugin->End(), 1);
  // ... so the next start-up is a first one again: it binds, tests and stores anew.
  EXPECT_EQ(plugin->StartUp(), 1);
  EXPECT_EQ(host.books().live_blocks, 1);
  EXPECT_EQ(plugin->End(), 1);
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(LifecycleTest, StartAndMessageWithoutATableAnswerFailure) {
  auto plugin = Load();
  EXPECT_EQ(plugin->Start(), 0);
  EXPECT_EQ(plugin->Message(1), -1);
  EXPECT_EQ(plugin->End(), 1);
}

TEST_P(LifecycleTest, RefusedRegistrationAndMissingResources) {
  HostOptions options{GetParam().generation};
  options.registration_answer = false;
  Host host(options);
  auto plugin = Load();
  ASSERT_EQ(plugin->StartUp(), 1);
  EXPECT_EQ(plugin->Start(), 0);
  host.faults().Arm(quorhost::FaultKind::ResourceLoad, 1);
  EXPECT_EQ(plugin->Message(1), -1);
  EXPECT_EQ(plugin->Message(1), -1);  // loads are not retried after a failed one
  EXPECT_EQ(plugin->End(), 1);
  plugin.reset();
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(LifecycleTest, FailedPathAllocationStillStartsUp) {
  Host host(HostOptions{GetParam().generation});
  auto plugin = Load();
  host.faults().Arm(quorhost::FaultKind::Allocation, 1);
  EXPECT_EQ(plugin->StartUp(), 1);
  EXPECT_EQ(host.books().live_blocks, 0);
  EXPECT_EQ(plugin->Start(), 1);
  EXPECT_EQ(plugin->Message(1), -1);  // an empty plug-in path holds no resources
  EXPECT_EQ(plugin->End(), 1);
  plugin.reset();
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(LifecycleTest, LoadRunEndUnloadRepeatedly) {
  TempDir dir;
  for (int round = 0; round < 5; ++round) {
    Session session(GetParam());
    EXPECT_EQ(session.startup_result, 1);
    EXPECT_EQ(session.start_result, 1);
    EXPECT_EQ(session.message_result, 1);
    EXPECT_EQ(session.Export(FrameRangeScene(30, 0, 1), dir / ("r" + std::to_string(round) + ".obj")), 0);
    session.Shutdown();
    EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
  }
  EXPECT_EQ(dir.Files().size(), 10u);
}

// Present in sanitizer builds only.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

TEST_P(LifecycleTest, UnloadWithoutEndReleasesTheResource) {
  Host host(HostOptions{GetParam().generation});
  auto plugin = Load();
  // Without the end action the stored plug-in path is never released, on purpose here: the
  // leak checker is told to ignore it.
  if (__lsan_disable) __lsan_disable();
  const int32_t startup = plugin->StartUp();
  if (__lsan_enable) __lsan_enable();
  ASSERT_EQ(startup, 1);
  ASSERT_EQ(plugin->Message(1), 1);
  EXPECT_EQ(host.books().live_resources, 1);
  plugin.reset();  // static destruction releases the host resource
  EXPECT_EQ(host.books().live_resources, 0);
}

TEST_P(LifecycleTest, ExportsOnlyTheEntryPoint) {
  const std::string command = "nm -D --defined-only '" + GetParam().plugin_path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> symbols;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string text(line);
    const auto space = text.find_last_of(' ');
    std::string name = text.substr(space + 1);
    if (!name.empty() && name.back() == '\n') name.pop_back();
    symbols.push_back(name);
  }
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_EQ(symbols, std::vector<std::string>{"c4d_main"});
}

INSTANTIATE_TEST_SUITE_P(Generations, LifecycleTest, testing::ValuesIn(Generations()),
                         GenerationName);

}  // namespace
}  // namespace quortest
