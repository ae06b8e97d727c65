// One polygon object of 1,000,000 points and 1,000,000 quads written through the stand-in host's
// real BaseFile, per generation: the exporter's writer against snprintf, std::to_chars and the
// I/O floor (the same bytes pre-formatted, handed over line by line).
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "quorhost/host.h"
#include "quorhost/values.h"

namespace {

constexpr int kPoints = 1000000;

struct Generation {
  quorhost::Generation generation;
  const char* probe;
};

const Generation kGenerations[] = {{quorhost::Generation::R12, QUOR_PROBE_R12},
                                   {quorhost::Generation::R11_5, QUOR_PROBE_R11_5}};

quorhost::Scene BigScene() {
  quorhost::Scene scene;
  quorhost::SceneObject o;
  o.kind = quorhost::ObjectKind::Polygon;
  o.matrix.t = {12.5, -3.25, 100};
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> coordinate(-500, 500);
  o.points.resize(kPoints);
  for (auto& p : o.points) p = {coordinate(random), coordinate(random), coordinate(random)};
  o.polygons.resize(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    o.polygons[i] = {i, (i + 1) % kPoints, (i + 2) % kPoints, (i + 3) % kPoints};
  }
  scene.objects.push_back(std::move(o));
  return scene;
}

// Host, probe library and document for one generation, made once.
struct Fixture {
  explicit Fixture(const Generation& g) {
    host = std::make_unique<quorhost::Host>(quorhost::HostOptions{g.generation});
    handle = dlopen(g.probe, RTLD_NOW | RTLD_LOCAL);
    if (!handle) std::abort();
    reinterpret_cast<void (*)(void*)>(dlsym(handle, "quor_probe_bind"))(host->root_table());
    write = reinterpret_cast<int32_t (*)(void*, const void*, int)>(dlsym(handle, "quor_probe_bench_write"));
    write_lines = reinterpret_cast<int32_t (*)(const void*, const char*, const int64_t*, int64_t)>(
        dlsym(handle, "quor_probe_bench_write_lines"));
    doc = host->BuildDocument(BigScene());
    path = (std::filesystem::temp_directory_path() / "quor_writer_bench.obj").string();
  }
  ~Fixture() {
    host->FreeDocument(doc);
    dlclose(handle);
    host.reset();
  }
  std::unique_ptr<quorhost::Host> host;
  void* handle = nullptr;
  int32_t (*write)(void*, const void*, int) = nullptr;
  int32_t (*write_lines)(const void*, const char*, const int64_t*, int64_t) = nullptr;
  quorhost::Document* doc = nullptr;
  std::string path;
};

// One host session exists at a time: switching generations replaces the fixture.
Fixture& For(int generation) {
  static std::unique_ptr<Fixture> fixture;
  static int current = -1;
  if (current != generation) {
    fixture.reset();
    fixture = std::make_unique<Fixture>(kGenerations[generation]);
    current = generation;
  }
  return *fixture;
}

void Report(benchmark::State& state, const std::string& path) {
  state.SetItemsProcessed(int64_t(state.iterations()) * kPoints);  // vertex lines
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(path)));
}

// mode 0: the exporter; 1: snprintf; 2: std::to_chars.
void BM_Write(benchmark::State& state) {
  Fixture& f = For(int(state.range(0)));
  quorhost::PluginFilename name(f.path);
  for (auto _ : state) {
    if (f.write(f.doc, name.get(), int(state.range(1))) != 0) state.SkipWithError("write failed");
  }
  Report(state, f.path);
}

void BM_IoFloor(benchmark::State& state) {
  Fixture& f = For(int(state.range(0)));
  quorhost::PluginFilename name(f.path);
  f.write(f.doc, name.get(), 0);  // the exporter's bytes, split into lines
  std::FILE* in = std::fopen(f.path.c_str(), "rb");
  std::string text(std::filesystem::file_size(f.path), '\0');
  if (!in || std::fread(text.data(), 1, text.size(), in) != text.size()) std::abort();
  std::fclose(in);
  std::vector<int64_t> offsets{0};
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') offsets.push_back(int64_t(i + 1));
  }
  for (auto _ : state) {
    if (f.write_lines(name.get(), text.data(), offsets.data(), int64_t(offsets.size() - 1)) != 0) {
      state.SkipWithError("write failed");
    }
  }
  Report(state, f.path);
}

void Arguments(benchmark::internal::Benchmark* b) {
  for (int g = 0; g < 2; ++g) {
    for (int mode = 0; mode < 3; ++mode) b->Args({g, mode});
  }
  b->ArgNames({"gen11_5", "mode"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Write)->Apply(Arguments);
BENCHMARK(BM_IoFloor)->Arg(0)->Arg(1)->ArgName("gen11_5")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
