// The binding layer's own logic, reached through the probe library: memory routing, the
// polygonized copy, document parameters, times, the description library, strings, file names
// and resources.
#include <cmath>
#include <cstring>

#include "support.h"

namespace quortest {
namespace {

using quorhost::CommandFailure;
using quorhost::FaultKind;
using quorhost::Host;
using quorhost::HostOptions;
using quorhost::ObjectKind;
using quorhost::Scene;

class BindingTest : public testing::TestWithParam<GenerationCase> {
 protected:
  bool R12() const { return GetParam().generation == quorhost::Generation::R12; }
  HostOptions Options() const { return HostOptions{GetParam().generation}; }
};

using NewFn = void* (*)(int, size_t, int, const char*, int);
using DeleteFn = void (*)(int, void*);

TEST_P(BindingTest, MemoryBeforeTheTableIsBound) {
  Probe probe(GetParam());
  auto make = probe.Get<NewFn>("quor_probe_new");
  auto release = probe.Get<DeleteFn>("quor_probe_delete");
  auto flag = probe.Get<int32_t (*)()>("quor_probe_stdlib_mem_used");
  EXPECT_EQ(flag(), 0);
  for (int form : {0, 1, 2, 3, 4, 5, 6, 7}) {
    SCOPED_TRACE(form);
    unsigned char* block = static_cast<unsigned char*>(make(form, 0, 7, "x.cpp", 1));
    ASSERT_NE(block, nullptr);
    uintptr_t marker;
    std::memcpy(&marker, block - sizeof marker, sizeof marker);
    EXPECT_EQ(marker, ~uintptr_t(0));
    EXPECT_EQ(block[0], 0);  // every form but "clear 0" clears; this one asked to clear
    release(form % 2, block);
  }
  EXPECT_EQ(flag(), 1);
  // A C-runtime block taken before the host is bound goes back to the C runtime afterwards.
  void* early = make(4, 64, 1, "x.cpp", 0);
  Host host(Options());
  probe.Bind(host);
  release(0, early);
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(BindingTest, MemoryFromTheHost) {
  Host host(Options());
  Probe probe(GetParam());
  probe.Bind(host);
  auto make = probe.Get<NewFn>("quor_probe_new");
  auto release = probe.Get<DeleteFn>("quor_probe_delete");
  struct Case {
    int form;
    size_t size;
    int clear;
    int64_t host_size;
    int32_t line;  // passed on by the forms with line and file
    bool cleared;
  };
  const Case cases[] = {
      {0, 0, 0, 1, 0, true},    {1, 5, 0, 5, 0, true},     {2, 0, 0, 1, 0, true},
      {3, 9, 0, 9, 0, true},    {4, 0, 0, 1, 41, true},    {5, 24, 0, 24, 41, true},
      {6, 16, 1, 16, 41, true}, {7, 16, 1, 16, 41, true},  {6, 16, 0, 16, 41, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    unsigned char* block = static_cast<unsigned char*>(make(c.form, c.size, 41, "probe.cpp", c.clear));
    ASSERT_NE(block, nullptr);
    const auto books = host.books();
    ASSERT_EQ(books.live_blocks, 1);
    EXPECT_EQ(books.leaks[0].size, c.host_size);
    EXPECT_EQ(books.leaks[0].line, c.line);
    EXPECT_EQ(books.leaks[0].file, c.line ? "probe.cpp" : "");
    if (c.cleared) {
      for (int64_t i = 0; i < c.host_size; ++i) EXPECT_EQ(block[i], 0);
    }
    release(c.form % 2, block);
    EXPECT_EQ(host.books().live_blocks, 0);
  }
  // The placement release forms hand the block straight to the host; releasing null does nothing.
  release(3, make(4, 8, 1, "p.cpp", 0));
  release(4, make(5, 8, 1, "p.cpp", 0));
  release(0, nullptr);
  release(1, nullptr);
  EXPECT_EQ(host.books().live_blocks, 0);
  EXPECT_TRUE(host.debug_breaks().empty());  // the host's blocks are 16-byte aligned
  EXPECT_EQ(probe.Get<int32_t (*)()>("quor_probe_stdlib_mem_used")(), 0);
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(BindingTest, ExhaustedHostMemoryGivesNullFromEveryForm) {
  Host host(Options());
  Probe probe(GetParam());
  probe.Bind(host);
  auto make = probe.Get<NewFn>("quor_probe_new");
  host.faults().Arm(FaultKind::Allocation, 1, true);
  for (int form = 0; form < 8; ++form) EXPECT_EQ(make(form, 32, 1, "x.cpp", 1), nullptr) << form;
  host.faults().DisarmAll();
  EXPECT_TRUE(host.books().Clean());
}

Scene ThreeTopLevelObjects() {
  Scene scene;
  scene.fps = 30;
  quorhost::SceneObject null_object;
  null_object.kind = ObjectKind::Null;
  null_object.matrix.t = {0, 5, 0};
  quorhost::SceneObject child;
  child.kind = ObjectKind::Cube;
  child.parent = 0;
  quorhost::SceneObject cube;
  cube.kind = ObjectKind::Cube;
  quorhost::SceneObject polygon;
  polygon.kind = ObjectKind::Polygon;
  polygon.points = {{1, 2, 3}};
  scene.objects = {null_object, child, cube, polygon};
  return scene;
}

TEST_P(BindingTest, PolygonizeReplacesEachTopLevelObject) {
  Host host(Options());
  Probe probe(GetParam());
  probe.Bind(host);
  auto polygonize = probe.Get<void* (*)(void*, int32_t)>("quor_probe_polygonize");
  auto free_doc = probe.Get<void (*)(void*)>("quor_probe_free_document");

  quorhost::Document* doc = host.BuildDocument(ThreeTopLevelObjects());
  const auto before = host.ReadDocument(doc);
  for (int32_t flag : {0, 1}) {
    void* copy = polygonize(doc, flag);
    ASSERT_NE(copy, nullptr);
    const auto view = host.ReadDocument(copy);
    ASSERT_EQ(view.objects.size(), 4u);
    EXPECT_EQ(view.objects[0].type, 5140);  // a null stays a null ...
    EXPECT_EQ(view.objects[1].type, 5100);  // ... and its children are converted with it
    EXPECT_EQ(view.objects[1].parent, 0);
    EXPECT_EQ(view.objects[1].points.size(), 8u);
    EXPECT_EQ(view.objects[2].type, 5100);
    EXPECT_EQ(view.objects[3].points.size(), 1u);
    EXPECT_EQ(view.objects[0].matrix.t.y, 5);
    // One command per top-level object, children never on their own; the flag is stored
    // under 2141.
    const auto& calls = host.modeling_calls();
    ASSERT_EQ(calls.size(), size_t(3 * (flag + 1)));
    EXPECT_EQ(calls.back().command, 245);
    EXPECT_EQ(calls.back().settings.at(2141), flag);
    free_doc(copy);
  }
  const auto after = host.ReadDocument(doc);
  ASSERT_EQ(after.objects.size(), before.objects.size());
  for (size_t i = 0; i < after.objects.size(); ++i) EXPECT_EQ(after.objects[i].type, before.objects[i].type);
  host.FreeDocument(doc);

  quorhost::Document* empty = host.BuildDocument(Scene{});
  void* empty_copy = polygonize(empty, 0);
  ASSERT_NE(empty_copy, nullptr);
  EXPECT_TRUE(host.ReadDocument(empty_copy).objects.empty());
  free_doc(empty_copy);
  host.FreeDocument(empty);
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(BindingTest, PolygonizeFailuresLeaveNothingBehind) {
  struct Case {
    const char* name;
    std::function<void(quorhost::Faults&)> arm;
  };
  const std::vector<Case> cases = {
      {"document allocation", [](auto& f) { f.Arm(FaultKind::DocumentAllocation, 1); }},
      {"copy", [](auto& f) { f.Arm(FaultKind::Copy, 1); }},
      {"command fails for the first", [](auto& f) { f.ArmCommand(CommandFailure::ReturnFalse, 1); }},
      {"command fails for the second", [](auto& f) { f.ArmCommand(CommandFailure::ReturnFalse, 2); }},
      {"command fails for the last", [](auto& f) { f.ArmCommand(CommandFailure::ReturnFalse, 3); }},
      {"empty result array", [](auto& f) { f.ArmCommand(CommandFailure::EmptyArray, 2); }},
      {"null element 0", [](auto& f) { f.ArmCommand(CommandFailure::NullElement, 3); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Host host(Options());
    Probe probe(GetParam());
    probe.Bind(host);
    quorhost::Document* doc = host.BuildDocument(ThreeTopLevelObjects());
    c.arm(host.faults());
    EXPECT_EQ(probe.Get<void* (*)(void*, int32_t)>("quor_probe_polygonize")(doc, 0), nullptr);
    host.faults().DisarmAll();
    const auto books = host.books();
    EXPECT_EQ(books.live_documents, 1);  // the user's own
    EXPECT_EQ(books.free_objects, 0);
    EXPECT_EQ(books.live_arrays, 0);
    host.FreeDocument(doc);
    EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
  }
}

TEST_P(BindingTest, DocumentParameters) {
  Host host(Options());
  Probe probe(GetParam());
  probe.Bind(host);
  auto fps = probe.Get<int32_t (*)(void*)>("quor_probe_get_fps");
  auto get_time = probe.Get<void (*)(void*, int, double*, double*)>("quor_probe_get_time");
  auto set_time = probe.Get<void (*)(void*, double, double)>("quor_probe_set_time");
  Scene scene;
  scene.fps = 24;
  scene.min_time = {12, 24};
  scene.max_time = {48, 24};
  quorhost::Document* doc = host.BuildDocument(scene);
  double num = 0, den = 0;
  EXPECT_EQ(fps(doc), 24);
  get_time(doc, 0, &num, &den);
  EXPECT_EQ(num / den, 0.5);
  get_time(doc, 1, &num, &den);
  EXPECT_EQ(num / den, 2.0);
  set_time(doc, 7, 24);
  EXPECT_EQ(host.ReadDocument(doc).current.num, 7);
  EXPECT_EQ(host.ReadDocument(doc).current.den, 24);

  // Refused reads: 0 frames per second, times of 0 over 1.
  host.faults().Arm(FaultKind::ParameterRead, 1, true);
  EXPECT_EQ(fps(doc), 0);
  get_time(doc, 0, &num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 1);
  get_time(doc, 1, &num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 1);
  host.faults().DisarmAll();
  host.FreeDocument(doc);
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(BindingTest, WithoutTheDescriptionLibraryParametersAreNotFound) {
  HostOptions options = Options();
  options.description_library = quorhost::DescriptionLibraryMode::Absent;
  Host host(options);
  Probe probe(GetParam());
  probe.Bind(host);
  Scene scene;
  scene.fps = 24;
  quorhost::Document* doc = host.BuildDocument(scene);
  EXPECT_EQ(probe.Get<int32_t (*)(void*)>("quor_probe_get_fps")(doc), 0);
  host.FreeDocument(doc);
}

TEST_P(BindingTest, DescriptionLibraryCache) {
  HostOptions options = Options();
  options.description_library = quorhost::DescriptionLibraryMode::Sized;
  options.description_size = 100;
  Host host(options);
  Probe probe(GetParam());
  probe.Bind(host);
  auto check = probe.Get<void* (*)(int64_t)>("quor_probe_check_description_library");
  host.journal().Enable(true);
  EXPECT_EQ(check(8 + 21 * 8), nullptr);  // too small for entry 21, but kept
  EXPECT_EQ(host.journal().Count("GeRegistryFind"), 1u);
  EXPECT_NE(check(8 + 11 * 8), nullptr);  // 96 <= 100: served from the cache
  EXPECT_NE(check(100), nullptr);         // a size equal to the offset is accepted
  EXPECT_EQ(check(8 + 21 * 8), nullptr);
  EXPECT_EQ(host.journal().Count("GeRegistryFind"), 1u);
}

TEST_P(BindingTest, MissingLibraryIsLookedUpAgain) {
  HostOptions options = Options();
  options.description_library = quorhost::DescriptionLibraryMode::Absent;
  Host host(options);
  Probe probe(GetParam());
  probe.Bind(host);
  auto check = probe.Get<void* (*)(int64_t)>("quor_probe_check_description_library");
  host.journal().Enable(true);
  EXPECT_EQ(check(8), nullptr);
  EXPECT_EQ(check(8), nullptr);
  EXPECT_EQ(host.journal().Count("GeRegistryFind"), 2u);
}

TEST_P(BindingTest, TimesAndFrames) {
  Host host(Options());
  Probe probe(GetParam());
  probe.Bind(host);
  auto set_den = probe.Get<double (*)(double)>("quor_probe_set_denominator");
  EXPECT_EQ(set_den(25), 25);
  EXPECT_TRUE(host.debug_breaks().empty());
  EXPECT_EQ(set_den(0.5), R12() ? 1 : 0.5);
  ASSERT_EQ(host.debug_breaks().size(), R12() ? 1u : 0u);
  if (R12()) {
    EXPECT_EQ(host.debug_breaks()[0].line, 44);
    EXPECT_NE(host.debug_breaks()[0].file.find("c4d_basetime"), std::string::npos);
  }
  EXPECT_TRUE(std::isnan(set_den(NAN)));  // not below 1

  auto frame = probe.Get<int32_t (*)(double, double, double)>("quor_probe_get_frame");
  struct Case {
    double num, den, fps;
    int32_t frame;
  };
  const Case cases[] = {
      {90, 30, 30, 90},  {3, 2, 10, 15},   {-5, 24, 24, -5},          {1, 3, 30, 10},
      {1e12, 1, 30, INT32_MAX}, {-1e12, 1, 30, INT32_MIN}, {NAN, 1, 30, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(frame(c.num, c.den, c.fps), c.frame) << c.num << "/" << c.den << " at " << c.fps;
  }
}

TEST_P(BindingTest, DigitWidthsAndSuffixes) {
  Probe probe(GetParam());
  auto width = probe.Get<int32_t (*)(int32_t)>("quor_probe_digit_width");
  const std::pair<int32_t, int32_t> widths[] = {
      {1, 1},   {2, 2},    {9, 2},      {10, 2},         {11, 3},         {99, 3},
      {100, 3}, {101, 4},  {999, 4},    {1000, 4},       {1001, 5},       {2147483647, 11},
      {0, 1},   {-1, 1},   {-100, 1},   {INT32_MIN, 1},
  };
  for (auto [last, expected] : widths) EXPECT_EQ(width(last), expected) << last;

  auto suffix = probe.Get<int32_t (*)(int32_t, int32_t, char*)>("quor_probe_frame_suffix");
  const std::tuple<int32_t, int32_t, std::string> suffixes[] = {
      {3, 0, "_000.obj"},  {3, 90, "_090.obj"},  {2, -5, "_-5.obj"},  {2, -15, "_-15.obj"},
      {1, 7, "_7.obj"},    {4, 12345, "_12345.obj"}, {11, INT32_MIN, "_-2147483648.obj"},
      {11, 2147483647, "_02147483647.obj"},
  };
  for (const auto& [w, f, text] : suffixes) {
    char buffer[256];
    const int32_t length = suffix(w, f, buffer);
    EXPECT_EQ(std::string(buffer), text);
    EXPECT_EQ(length, int32_t(text.size()));
  }
}

TEST_P(BindingTest, StringsAndFileNames) {
  Host host(Options());
  Probe probe(GetParam());
  probe.Bind(host);
  auto append = probe.Get<int32_t (*)(const char*, const char*, void**)>("quor_probe_string_append");
  auto string_delete = probe.Get<void (*)(void*)>("quor_probe_string_delete");
  const std::tuple<const char*, const char*, std::string, int32_t> cases[] = {
      {"abc", "", "abc", 3}, {"", "", "", 0}, {"ab", "cd", "abcd", 4}, {"Dü", "rer", "Dürer", 5}};
  for (const auto& [a, b, text, length] : cases) {
    void* s = nullptr;
    EXPECT_EQ(append(a, b, &s), length);
    ASSERT_NE(s, nullptr);  // operator+= returns the string itself
    EXPECT_EQ(quorhost::ReadString(s), text);
    string_delete(s);
  }

  auto without_suffix = probe.Get<void* (*)(const void*)>("quor_probe_filename_without_suffix");
  auto directory = probe.Get<void* (*)(const void*)>("quor_probe_filename_directory");
  auto path = probe.Get<void* (*)(const void*)>("quor_probe_filename_string");
  auto filename_delete = probe.Get<void (*)(void*)>("quor_probe_filename_delete");
  const std::tuple<std::string, std::string, std::string> names[] = {
      {"/exports/shot.obj", "/exports/shot", "/exports"},
      {"/a.b/shot", "/a.b/shot", "/a.b"},
      {"/a/take.2.obj", "/a/take.2", "/a"},
  };
  for (const auto& [name, cleared, folder] : names) {
    quorhost::PluginFilename source(name);
    void* f = without_suffix(source.get());
    EXPECT_EQ(quorhost::ReadFilename(f), cleared);
    filename_delete(f);
    void* d = directory(source.get());
    EXPECT_EQ(quorhost::ReadFilename(d), folder);
    filename_delete(d);
    void* s = path(source.get());
    EXPECT_EQ(quorhost::ReadString(s), name);
    string_delete(s);
  }
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

TEST_P(BindingTest, ResourceStates) {
  Host host(Options());
  Probe probe(GetParam());
  probe.Bind(host);
  auto make = probe.Get<void* (*)()>("quor_probe_resource_new");
  auto init = probe.Get<int32_t (*)(void*, const void*)>("quor_probe_resource_init");
  auto release = probe.Get<void (*)(void*)>("quor_probe_resource_free");
  auto reload = probe.Get<int32_t (*)(void*)>("quor_probe_resource_reload");
  auto load_string = probe.Get<const void* (*)(void*, int32_t)>("quor_probe_resource_load_string");
  auto destroy = probe.Get<void (*)(void*)>("quor_probe_resource_delete");

  const std::string with_res = std::filesystem::path(GetParam().plugin_path).parent_path();
  TempDir without_res;
  auto a_value = std::make_unique<quorhost::PluginFilename>(with_res);
  auto b_value = std::make_unique<quorhost::PluginFilename>(without_res.path().string());
  quorhost::PluginFilename& a = *a_value;
  quorhost::PluginFilename& b = *b_value;
  const void* host_empty = static_cast<void***>(host.root_table())[5][0];

  void* r = make();
  EXPECT_EQ(load_string(r, 1), host_empty);  // nothing loaded: the host's empty string
  EXPECT_EQ(reload(r), 0);                   // no folder yet
  host.journal().Enable(true);
  EXPECT_EQ(init(r, a.get()), 1);
  EXPECT_EQ(init(r, b.get()), 1);  // loads nothing again, answers the first result
  EXPECT_EQ(host.journal().Count("Resource.Load"), 1u);
  EXPECT_EQ(quorhost::ReadString(load_string(r, 1)), "Quorvan OBJ Sequence");
  EXPECT_EQ(reload(r), 1);
  ASSERT_EQ(host.journal().Of("Resource.Reload").size(), 1u);
  EXPECT_EQ(host.journal().Of("Resource.Reload")[0].texts.at(0), with_res);  // the first folder
  release(r);
  EXPECT_EQ(host.books().live_resources, 0);
  EXPECT_EQ(init(r, a.get()), 0);  // after Free: the folder is stored again, nothing loaded
  EXPECT_EQ(host.journal().Count("Resource.Load"), 1u);
  destroy(r);  // releases the stored folder once more
  EXPECT_EQ(host.journal().Count("Resource.Release"), 1u);

  void* missing = make();
  EXPECT_EQ(init(missing, b.get()), 0);
  EXPECT_EQ(init(missing, a.get()), 0);
  destroy(missing);
  a_value.reset();
  b_value.reset();
  EXPECT_TRUE(host.books().Clean()) << host.books().Describe();
}

INSTANTIATE_TEST_SUITE_P(Generations, BindingTest, testing::ValuesIn(Generations()),
                         GenerationName);

}  // namespace
}  // namespace quortest
