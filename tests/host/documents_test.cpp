// Documents and objects: building from a scene, traversal, matrices and tag data, parameters,
// evaluation, copies and releases.
#include <cmath>

#include "host_fixture.h"

namespace hosttest {
namespace {

using quorhost::Document;
using quorhost::FaultKind;
using quorhost::Mat4;
using quorhost::ObjectKind;
using quorhost::Scene;
using quorhost::SceneObject;
using quorhost::Vec3;

class DocumentsTest : public HostTest {
 protected:
  static SceneObject Obj(const char* name, ObjectKind kind, int32_t parent, Vec3 t = {}) {
    SceneObject o;
    o.name = name;
    o.kind = kind;
    o.parent = parent;
    o.matrix.t = t;
    return o;
  }
  // null "group" { polygon "quad" }, cube "box"
  static Scene SmallScene() {
    Scene s;
    s.fps = 25;
    s.min_time = {5, 25};
    s.max_time = {50, 25};
    s.objects.push_back(Obj("group", ObjectKind::Null, -1, {1, 2, 3}));
    SceneObject quad = Obj("quad", ObjectKind::Polygon, 0, {16777216, 0, 0});
    quad.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0.1, 1, 0}};
    quad.polygons = {{0, 1, 2, 3}};
    s.objects.push_back(quad);
    s.objects.push_back(Obj("box", ObjectKind::Cube, -1));
    return s;
  }

  void* First(void* doc) { return c().Plain<void*>(Table::Document, r12() ? 5 : 8, doc); }
  void* Next(void* o) { return c().Call<void*>(Table::Atom, 10, o); }
  void* Down(void* o) { return c().Call<void*>(Table::Atom, 13, o); }
  int32_t Type(void* a) { return c().Call<int32_t>(Table::Atom, 2, a); }
  void Free(void* node) { c().Plain<void>(Table::ListElement, r12() ? 4 : 18, node); }

  // GetMl as the plug-in reads it, widened to double.
  Mat4 Ml(void* o) {
    double v[12];
    if (r12()) {
      const auto* m = c().Call<const double*>(Table::Object, 9, o);
      std::memcpy(v, m, sizeof v);
    } else {
      struct Matrix {
        float f[12];
      };
      Matrix m = c().Plain<Matrix>(Table::Object, 16, o);  // returned through the hidden pointer
      for (int i = 0; i < 12; ++i) v[i] = m.f[i];
    }
    return {{v[0], v[1], v[2]}, {v[3], v[4], v[5]}, {v[6], v[7], v[8]}, {v[9], v[10], v[11]}};
  }
  int32_t TagCount(void* o, int32_t tag) {
    return c().Plain<int32_t>(Table::Object, r12() ? 39 : 32, o, tag);
  }
  const void* TagData(void* o, int32_t tag) {
    return c().Plain<const void*>(Table::Object, r12() ? 156 : 166, o, tag, int32_t{0});
  }
  Vec3 Point(void* o, int i) {
    const void* data = TagData(o, 5600);
    if (r12()) return static_cast<const Vec3*>(data)[i];
    const auto* f = static_cast<const float*>(data) + 3 * i;
    return {f[0], f[1], f[2]};
  }

  // Parameters through C4DAtom::GetParameter / SetParameter.
  struct Data {
    alignas(8) unsigned char d[24] = {};
    int32_t type() const {
      int32_t t;
      std::memcpy(&t, d, 4);
      return t;
    }
  };
  bool GetParam(void* doc, int32_t id, Data& value) {
    Id desc(*this, id);
    return c().Call<int32_t>(Table::Atom, 7, doc, static_cast<const void*>(desc.storage),
                             static_cast<void*>(value.d), int32_t{0}) != 0;
  }
  bool SetTime(void* doc, int32_t id, double num, double den) {
    Data value;
    if (r12()) {
      double t[2] = {num, den};
      c().Plain<void>(Table::Data, 11, static_cast<void*>(value.d), static_cast<const void*>(t));
    } else {
      float t[2] = {static_cast<float>(num), static_cast<float>(den)};
      c().Plain<void>(Table::Data, 11, static_cast<void*>(value.d), static_cast<const void*>(t));
    }
    Id desc(*this, id);
    bool ok = c().Call<int32_t>(Table::Atom, 8, doc, static_cast<const void*>(desc.storage),
                                static_cast<const void*>(value.d), int32_t{8}) != 0;
    c().Plain<void>(Table::Data, 0, static_cast<void*>(value.d));
    return ok;
  }
  std::pair<double, double> TimeOf(Data& value) {
    const void* t = c().Plain<const void*>(Table::Data, 20, static_cast<const void*>(value.d));
    if (r12()) return {static_cast<const double*>(t)[0], static_cast<const double*>(t)[1]};
    return {static_cast<const float*>(t)[0], static_cast<const float*>(t)[1]};
  }
  int32_t Execute(void* doc, int32_t animation = 1) {
    if (r12())
      return c().Call<int32_t>(Table::Document, 82, doc, static_cast<void*>(nullptr), animation,
                               int32_t{1}, int32_t{1}, int32_t{0});
    return c().Call<int32_t>(Table::Document, 100, doc, static_cast<void*>(nullptr), animation,
                             int32_t{1}, int32_t{1});
  }
};

TEST_P(DocumentsTest, TraversalTypesAndNames) {
  Document* doc = host().BuildDocument(SmallScene());
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(Type(doc), 110059);
  void* group = First(doc);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(Type(group), 5140);
  void* quad = Down(group);
  EXPECT_EQ(Type(quad), 5100);
  EXPECT_EQ(Down(quad), nullptr);
  EXPECT_EQ(Next(quad), nullptr);
  void* box = Next(group);
  EXPECT_EQ(Type(box), 5159);
  EXPECT_EQ(Next(box), nullptr);
  auto view = host().ReadDocument(doc);
  ASSERT_EQ(view.objects.size(), 3u);
  EXPECT_EQ(view.objects[1].name, "quad");
  EXPECT_EQ(view.objects[1].parent, 0);
  EXPECT_EQ(view.objects[2].parent, -1);
  Free(doc);
}

TEST_P(DocumentsTest, MatricesAndPointsAreServedInTheGenerationsPrecision) {
  Document* doc = host().BuildDocument(SmallScene());
  void* quad = Down(First(doc));
  Mat4 m = Ml(quad);
  EXPECT_EQ(m.t.x, 16777216.0);
  EXPECT_EQ(m.x.x, 1.0);
  EXPECT_EQ(m.z.z, 1.0);
  ASSERT_EQ(TagCount(quad, 5600), 4);
  ASSERT_EQ(TagCount(quad, 5604), 1);
  EXPECT_EQ(Point(quad, 3).x, r12() ? 0.1 : static_cast<double>(0.1f));
  const auto* poly = static_cast<const int32_t*>(TagData(quad, 5604));
  EXPECT_EQ(std::vector<int32_t>(poly, poly + 4), (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(TagData(quad, 5600), TagData(quad, 5600)) << "the array stays where it is";
  void* group = First(doc);
  EXPECT_EQ(TagData(group, 5600), nullptr) << "only polygon objects have points";
  EXPECT_EQ(TagCount(group, 5600), 0);
  if (r12()) {
    EXPECT_EQ(c().Call<const void*>(Table::Object, 9, group),
              c().Call<const void*>(Table::Object, 9, group))
        << "GetMl points at the object's own matrix";
  }
  EXPECT_EQ(host().ReadObjectTree(quad).at(0).points[3].x, Point(quad, 3).x);
  Free(doc);
}

TEST_P(DocumentsTest, R11_5RoundsEveryValueToFloat) {
  Scene s;
  SceneObject o = Obj("p", ObjectKind::Polygon, -1, {16777217, 0.1, 0});
  o.points = {{16777217, 0, 0}};
  s.objects.push_back(o);
  Document* doc = host().BuildDocument(s);
  void* p = First(doc);
  EXPECT_EQ(Ml(p).t.x, r12() ? 16777217.0 : 16777216.0);
  EXPECT_EQ(Ml(p).t.y, r12() ? 0.1 : static_cast<double>(0.1f));
  EXPECT_EQ(Point(p, 0).x, r12() ? 16777217.0 : 16777216.0);
  host().FreeDocument(doc);
}

TEST_P(DocumentsTest, DocumentParameters) {
  Document* doc = host().BuildDocument(SmallScene());
  Data value;
  ASSERT_TRUE(GetParam(doc, 1001, value));
  EXPECT_EQ(value.type(), 15);
  EXPECT_EQ(c().Plain<int32_t>(Table::Data, 14, static_cast<const void*>(value.d)), 25);
  struct Case {
    int32_t id;
    double num, den;
  };
  for (Case k : {Case{1000, 5, 25}, Case{1002, 5, 25}, Case{1003, 50, 25}}) {
    SCOPED_TRACE(k.id);
    ASSERT_TRUE(GetParam(doc, k.id, value));
    EXPECT_EQ(value.type(), 22);
    EXPECT_EQ(TimeOf(value), std::make_pair(k.num, k.den));
  }
  EXPECT_TRUE(SetTime(doc, 1000, 7, 25));
  ASSERT_TRUE(GetParam(doc, 1000, value));
  EXPECT_EQ(TimeOf(value), std::make_pair(7.0, 25.0));
  EXPECT_FALSE(GetParam(doc, 4242, value)) << "unknown parameter";
  EXPECT_EQ(value.type(), 0) << "the value was released first";
  host().faults().Arm(FaultKind::ParameterRead, 1);
  EXPECT_FALSE(GetParam(doc, 1001, value));
  EXPECT_TRUE(GetParam(doc, 1001, value));
  host().FreeDocument(doc);
}

TEST_P(DocumentsTest, ADescIdNeverInitialisedIsRefused) {
  Document* doc = host().BuildDocument(SmallScene());
  alignas(8) unsigned char raw[32] = {};
  std::memcpy(raw + 8, "\xe9\x03\0\0", 4);  // looks like id 1001, but no init
  Data value;
  EXPECT_EQ(c().Call<int32_t>(Table::Atom, 7, doc, static_cast<const void*>(raw),
                              static_cast<void*>(value.d), int32_t{0}),
            0);
  EXPECT_EQ(c().Call<int32_t>(Table::Atom, 8, doc, static_cast<const void*>(raw),
                              static_cast<const void*>(value.d), int32_t{0}),
            0);
  host().FreeDocument(doc);
}

// Moves an object along x by its time in seconds and lifts its first point by the same.
class Slide : public quorhost::Animator {
 public:
  void Evaluate(double seconds, quorhost::EvaluatedState& state) const override {
    state.local.t.x += seconds;
    if (!state.points.empty()) state.points[0].y += seconds;
  }
};

TEST_P(DocumentsTest, ExecutePassesEvaluatesAtTheCurrentTime) {
  Scene s = SmallScene();
  s.objects[1].animator = std::make_shared<Slide>();
  Document* doc = host().BuildDocument(s);
  void* quad = Down(First(doc));
  EXPECT_EQ(Ml(quad).t.x, 16777216.0) << "before any evaluation: the rest state";
  ASSERT_TRUE(SetTime(doc, 1000, 50, 25));
  EXPECT_EQ(Ml(quad).t.x, 16777216.0) << "setting the time alone evaluates nothing";
  EXPECT_EQ(Execute(doc), 1);
  EXPECT_EQ(Ml(quad).t.x, 16777218.0);
  EXPECT_EQ(Point(quad, 0).y, 2.0);
  ASSERT_TRUE(SetTime(doc, 1000, 0, 25));
  Execute(doc);
  EXPECT_EQ(Point(quad, 0).y, 0.0) << "each evaluation starts from the rest state";
  host().FreeDocument(doc);
}

TEST_P(DocumentsTest, CopyToCopiesEverythingIncludingTheEvaluatedState) {
  Scene s = SmallScene();
  s.objects[1].animator = std::make_shared<Slide>();
  Document* doc = host().BuildDocument(s);
  ASSERT_TRUE(SetTime(doc, 1000, 25, 25));
  Execute(doc);
  void* copy = c().Plain<void*>(Table::Document, r12() ? 1 : 3);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(c().Call<int32_t>(Table::Atom, 1, doc, copy, int32_t{0}, static_cast<void*>(nullptr)),
            1);
  auto a = host().ReadDocument(doc), b = host().ReadDocument(copy);
  ASSERT_EQ(b.objects.size(), 3u);
  EXPECT_EQ(b.fps, 25);
  EXPECT_EQ(b.current.num, 25);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(b.objects[i].name, a.objects[i].name);
    EXPECT_EQ(b.objects[i].matrix.t.x, a.objects[i].matrix.t.x);
    EXPECT_EQ(b.objects[i].points.size(), a.objects[i].points.size());
  }
  EXPECT_NE(First(copy), First(doc));
  // The copy evaluates on its own; the animator is shared.
  ASSERT_TRUE(SetTime(copy, 1000, 0, 25));
  Execute(copy);
  EXPECT_EQ(Point(Down(First(copy)), 0).y, 0.0);
  EXPECT_EQ(Point(Down(First(doc)), 0).y, 1.0);
  host().faults().Arm(FaultKind::Copy, 1);
  EXPECT_EQ(c().Call<int32_t>(Table::Atom, 1, doc, copy, int32_t{0}, static_cast<void*>(nullptr)),
            0);
  Free(copy);
  Free(doc);
}

TEST_P(DocumentsTest, DocumentAllocationFault) {
  host().faults().Arm(FaultKind::DocumentAllocation, 1);
  EXPECT_EQ(c().Plain<void*>(Table::Document, r12() ? 1 : 3), nullptr);
}

TEST_P(DocumentsTest, ReleasingAnObjectUnlinksItWithItsChildren) {
  Document* doc = host().BuildDocument(SmallScene());
  Free(First(doc));  // the group and its quad
  auto view = host().ReadDocument(doc);
  ASSERT_EQ(view.objects.size(), 1u);
  EXPECT_EQ(view.objects[0].name, "box");
  Free(nullptr);
  EXPECT_EQ(host().books().free_objects, 0);
  Free(doc);
  EXPECT_EQ(host().books().live_documents, 0);
  Free(doc);  // now a stray release
  EXPECT_EQ(host().books().stray_releases.size(), 1u);
  host().AcknowledgeFailures();
}

TEST_P(DocumentsTest, AParentMustPrecedeItsChild) {
  Scene s;
  s.objects.push_back(Obj("a", ObjectKind::Null, 1));
  s.objects.push_back(Obj("b", ObjectKind::Null, -1));
  std::string error;
  EXPECT_EQ(host().BuildDocument(s, &error), nullptr);
  EXPECT_NE(error.find("object 0"), std::string::npos);
}

TEST_P(DocumentsTest, AMillionNestedObjectsWithoutRecursion) {
  constexpr int kDepth = 1000000;
  Scene s;
  s.objects.reserve(kDepth);
  for (int i = 0; i < kDepth; ++i)
    s.objects.push_back(Obj("n", i == kDepth - 1 ? ObjectKind::Cube : ObjectKind::Null, i - 1));
  Document* doc = host().BuildDocument(s);
  ASSERT_NE(doc, nullptr);
  s.objects.clear();
  void* copy = c().Plain<void*>(Table::Document, r12() ? 1 : 3);
  ASSERT_EQ(c().Call<int32_t>(Table::Atom, 1, doc, copy, int32_t{0}, static_cast<void*>(nullptr)),
            1);
  Free(doc);
  // Convert the copy's whole chain with command 245.
  alignas(8) unsigned char bc[16] = {};
  r12() ? c().Call<void>(Table::Container, 5, bc, int32_t{-1}, static_cast<void*>(nullptr))
        : c().Plain<void>(Table::Container, 37, static_cast<void*>(bc), int32_t{-1});
  alignas(8) unsigned char record[64] = {};
  void* top = First(copy);
  std::memcpy(record, &copy, 8);
  std::memcpy(record + 8, &top, 8);
  void* settings = bc;
  std::memcpy(record + 16, &settings, 8);
  ASSERT_EQ(c().Plain<int32_t>(Table::General, r12() ? 80 : 100, int32_t{245},
                               static_cast<void*>(record)),
            1);
  void* array;
  std::memcpy(&array, record + (r12() ? 40 : 56), 8);
  void* converted = c().Call<void*>(Table::Atom, r12() ? 37 : 38, array, int32_t{0});
  ASSERT_NE(converted, nullptr);
  void* deepest = converted;
  int depth = 1;
  while (void* down = Down(deepest)) {
    deepest = down;
    ++depth;
  }
  EXPECT_EQ(depth, kDepth);
  EXPECT_EQ(Type(deepest), 5100) << "the cube at the bottom became a polygon object";
  c().Plain<void>(Table::Atom, r12() ? 35 : 36, &array);
  Free(converted);
  Free(copy);
  r12() ? c().Call<void>(Table::Container, 7, bc)
        : c().Plain<void>(Table::Container, 4, static_cast<void*>(bc));
}

HOST_TEST_P(DocumentsTest);

}  // namespace
}  // namespace hosttest
