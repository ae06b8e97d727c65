// Cost of one vertex line of three coordinates, formatted three ways into a stack buffer.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "obj_format.h"

namespace {

struct Point {
  double x, y, z;
};

// Modelling-scale coordinates: a few integer digits and a full fraction.
const std::vector<Point>& Points() {
  static const std::vector<Point> points = [] {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> coordinate(-500.0, 500.0);
    std::vector<Point> p(4096);
    for (Point& q : p) q = {coordinate(rng), coordinate(rng), coordinate(rng)};
    return p;
  }();
  return points;
}

template <typename LineWriter>
void RunLines(benchmark::State& state, LineWriter write_line) {
  const std::vector<Point>& points = Points();
  char line[1024];
  size_t i = 0;
  for (auto _ : state) {
    const Point& p = points[i++ & (points.size() - 1)];
    const size_t length = write_line(line, p);
    benchmark::DoNotOptimize(line);
    benchmark::DoNotOptimize(length);
  }
}

void BM_VertexLineObjFormat(benchmark::State& state) {
  RunLines(state, [](char* line, const Point& p) {
    char* out = line;
    *out++ = 'v';
    for (double c : {p.x, p.y, p.z}) {
      *out++ = ' ';
      out = ObjFormatFixed6(c, out);
    }
    *out++ = ' ';
    *out++ = '\n';
    return static_cast<size_t>(out - line);
  });
}

void BM_VertexLineSnprintf(benchmark::State& state) {
  RunLines(state, [](char* line, const Point& p) {
    return static_cast<size_t>(std::snprintf(line, 1024, "v %f %f %f \n", p.x, p.y, p.z));
  });
}

void BM_VertexLineToChars(benchmark::State& state) {
  RunLines(state, [](char* line, const Point& p) {
    char* out = line;
    char* end = line + 1024;
    *out++ = 'v';
    for (double c : {p.x, p.y, p.z}) {
      *out++ = ' ';
      out = std::to_chars(out, end, c, std::chars_format::fixed, 6).ptr;
    }
    *out++ = ' ';
    *out++ = '\n';
    return static_cast<size_t>(out - line);
  });
}

// The rare path: integers beyond 2^64 printed from the stack big integer.
void BM_HugeValueObjFormat(benchmark::State& state) {
  char out[kObjMaxFixed6Chars];
  double v = 1.7976931348623157e308;
  for (auto _ : state) {
    benchmark::DoNotOptimize(v);
    benchmark::DoNotOptimize(ObjFormatFixed6(v, out));
  }
}

}  // namespace

BENCHMARK(BM_VertexLineObjFormat);
BENCHMARK(BM_VertexLineSnprintf);
BENCHMARK(BM_VertexLineToChars);
BENCHMARK(BM_HugeValueObjFormat);
