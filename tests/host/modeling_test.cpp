// Modeling command 245, AtomArray and InsertBefore, as the polygonized copy uses them.
#include "host_fixture.h"
#include "quorhost/scene_generators.h"

namespace hosttest {
namespace {

using quorhost::CommandFailure;
using quorhost::Document;
using quorhost::FaultKind;
using quorhost::ObjectKind;
using quorhost::Scene;
using quorhost::SceneObject;

class ModelingTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    Scene s;
    SceneObject group;
    group.name = "group";
    group.kind = ObjectKind::Null;
    group.matrix.t = {0, 5, 0};
    s.objects.push_back(group);
    cube_.name = "box";
    cube_.kind = ObjectKind::Cube;
    cube_.parent = 0;
    cube_.size = {10, 20, 30};
    cube_.matrix.t = {1, 0, 0};
    s.objects.push_back(cube_);
    SceneObject tri;
    tri.name = "tri";
    tri.kind = ObjectKind::Polygon;
    tri.parent = 0;
    tri.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    tri.polygons = {{0, 1, 2, 2}};
    s.objects.push_back(tri);
    SceneObject plane;
    plane.name = "floor";
    plane.kind = ObjectKind::Plane;
    s.objects.push_back(plane);
    doc_ = host().BuildDocument(s);
    ContainerInit();
  }
  void TearDown() override {
    ContainerRelease();
    host().FreeDocument(doc_);
    HostTest::TearDown();
  }

  void ContainerInit() {
    if (r12())
      c().Call<void>(Table::Container, 5, bc_, int32_t{-1}, static_cast<void*>(nullptr));
    else
      c().Plain<void>(Table::Container, 37, static_cast<void*>(bc_), int32_t{-1});
  }
  void ContainerRelease() {
    if (r12())
      c().Call<void>(Table::Container, 7, bc_);
    else
      c().Plain<void>(Table::Container, 4, static_cast<void*>(bc_));
  }
  void SetBool(int32_t id, int32_t value) {
    if (r12())
      c().Call<void>(Table::Container, 12, bc_, id, value);
    else
      c().Plain<void>(Table::Container, 9, static_cast<void*>(bc_), id, value);
  }

  void* First(void* doc) { return c().Plain<void*>(Table::Document, r12() ? 5 : 8, doc); }
  void* Next(void* o) { return c().Call<void*>(Table::Atom, 10, o); }

  // Runs command 245 on `op` with a record laid out for the generation; answers the result
  // and leaves the record's array in `array`.
  int32_t Command(void* op, void*& array) {
    alignas(8) unsigned char record[64] = {};
    void* doc = doc_;
    void* settings = bc_;
    std::memcpy(record, &doc, 8);
    std::memcpy(record + 8, &op, 8);
    std::memcpy(record + 16, &settings, 8);
    if (!r12()) {
      int32_t one = 1;
      std::memcpy(record + 40, &one, 4);  // host field
    }
    int32_t ok = c().Plain<int32_t>(Table::General, r12() ? 80 : 100, int32_t{245},
                                    static_cast<void*>(record));
    std::memcpy(&array, record + (r12() ? 40 : 56), 8);
    return ok;
  }
  void* GetIndex(void* array, int32_t i) {
    return c().Call<void*>(Table::Atom, r12() ? 37 : 38, array, i);
  }
  void FreeArray(void*& array) { c().Plain<void>(Table::Atom, r12() ? 35 : 36, &array); }
  void Free(void* node) { c().Plain<void>(Table::ListElement, r12() ? 4 : 18, node); }

  SceneObject cube_;
  Document* doc_ = nullptr;
  alignas(8) unsigned char bc_[16] = {};
};

TEST_P(ModelingTest, ConvertsTheObjectAndItsChildrenAsLastEvaluated) {
  SetBool(2141, 1);
  void* group = First(doc_);
  void* array = nullptr;
  ASSERT_EQ(Command(group, array), 1);
  ASSERT_NE(array, nullptr);
  void* converted = GetIndex(array, 0);
  ASSERT_NE(converted, nullptr);
  EXPECT_EQ(GetIndex(array, 1), nullptr);
  EXPECT_EQ(GetIndex(array, -1), nullptr);
  EXPECT_EQ(host().books().free_objects, 3) << "a free-standing tree of three";

  auto tree = host().ReadObjectTree(converted);
  ASSERT_EQ(tree.size(), 3u);
  EXPECT_EQ(tree[0].type, 5140);
  EXPECT_EQ(tree[0].name, "group");
  EXPECT_EQ(tree[0].matrix.t.y, 5.0);
  EXPECT_EQ(tree[1].type, 5100);
  EXPECT_EQ(tree[1].name, "box");
  EXPECT_EQ(tree[1].parent, 0);
  EXPECT_EQ(tree[1].matrix.t.x, 1.0);
  quorhost::Mesh mesh = quorhost::BuildGeneratorMesh(cube_);
  ASSERT_EQ(tree[1].points.size(), mesh.points.size());
  ASSERT_FALSE(mesh.points.empty());
  EXPECT_EQ(tree[1].points.back().z,
            r12() ? mesh.points.back().z : static_cast<float>(mesh.points.back().z));
  EXPECT_EQ(tree[1].polygons.size(), mesh.polygons.size());
  EXPECT_EQ(tree[2].name, "tri");
  EXPECT_EQ(tree[2].points.size(), 3u);

  ASSERT_EQ(host().modeling_calls().size(), 1u);
  const quorhost::ModelingCall& call = host().modeling_calls()[0];
  EXPECT_EQ(call.command, 245);
  ASSERT_TRUE(call.has_settings);
  EXPECT_EQ(call.settings.at(2141), 1);

  // Replace the original by its conversion, as the polygonized copy does.
  c().Call<void>(Table::Atom, 15, converted, group);
  FreeArray(array);
  EXPECT_EQ(array, nullptr);
  Free(group);
  auto view = host().ReadDocument(doc_);
  ASSERT_EQ(view.objects.size(), 4u);
  EXPECT_EQ(view.objects[0].name, "group");
  EXPECT_EQ(view.objects[1].type, 5100);
  EXPECT_EQ(view.objects[3].name, "floor");
  EXPECT_EQ(First(doc_), converted);
  EXPECT_EQ(host().books().free_objects, 0);
}

// Lifts an object by its time in seconds.
class Lift : public quorhost::Animator {
 public:
  void Evaluate(double seconds, quorhost::EvaluatedState& state) const override {
    state.local.t.y += seconds;
  }
};

TEST_P(ModelingTest, TheConversionIsOfTheLastEvaluatedStateAndIsFrozen) {
  Scene s;
  SceneObject p;
  p.name = "moving";
  p.kind = ObjectKind::Polygon;
  p.points = {{0, 0, 0}};
  p.animator = std::make_shared<Lift>();
  s.min_time = {3, 1};
  s.objects.push_back(p);
  host().FreeDocument(doc_);
  doc_ = host().BuildDocument(s);  // current time 3 s
  if (r12())
    c().Call<int32_t>(Table::Document, 82, doc_, static_cast<void*>(nullptr), 1, 1, 1, 0);
  else
    c().Call<int32_t>(Table::Document, 100, doc_, static_cast<void*>(nullptr), 1, 1, 1);
  void* array = nullptr;
  ASSERT_EQ(Command(First(doc_), array), 1);
  void* converted = GetIndex(array, 0);
  FreeArray(array);
  EXPECT_EQ(host().ReadObjectTree(converted).at(0).matrix.t.y, 3.0);
  // Inserted into an evaluated document, it does not move again.
  c().Call<void>(Table::Atom, 15, converted, First(doc_));
  if (r12())
    c().Call<int32_t>(Table::Document, 82, doc_, static_cast<void*>(nullptr), 1, 1, 1, 0);
  else
    c().Call<int32_t>(Table::Document, 100, doc_, static_cast<void*>(nullptr), 1, 1, 1);
  auto view = host().ReadDocument(doc_);
  ASSERT_EQ(view.objects.size(), 2u);
  EXPECT_EQ(view.objects[0].matrix.t.y, 3.0);
  EXPECT_EQ(view.objects[1].matrix.t.y, 3.0);
}

TEST_P(ModelingTest, InjectedFailuresInTheirThreeForms) {
  void* floor = Next(First(doc_));
  void* array = nullptr;
  host().faults().ArmCommand(CommandFailure::ReturnFalse, 1);
  EXPECT_EQ(Command(floor, array), 0);
  EXPECT_EQ(array, nullptr);
  host().faults().ArmCommand(CommandFailure::EmptyArray, 1);
  EXPECT_EQ(Command(floor, array), 1);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(GetIndex(array, 0), nullptr);
  FreeArray(array);
  host().faults().ArmCommand(CommandFailure::NullElement, 1);
  EXPECT_EQ(Command(floor, array), 1);
  EXPECT_EQ(GetIndex(array, 0), nullptr);
  FreeArray(array);
  EXPECT_EQ(Command(floor, array), 1) << "each fault fired once";
  void* converted = GetIndex(array, 0);
  EXPECT_EQ(host().ReadObjectTree(converted).at(0).type, 5100);
  FreeArray(array);
  Free(converted);
  EXPECT_EQ(host().faults().Count(FaultKind::ModelingCommand), 4);
}

TEST_P(ModelingTest, AnObjectOfAnotherDocumentIsRefused) {
  Document* other = host().BuildDocument(Scene{});
  void* array = nullptr;
  alignas(8) unsigned char record[64] = {};
  void* doc = other;
  void* op = First(doc_);
  std::memcpy(record, &doc, 8);
  std::memcpy(record + 8, &op, 8);
  EXPECT_EQ(c().Plain<int32_t>(Table::General, r12() ? 80 : 100, int32_t{245},
                               static_cast<void*>(record)),
            0);
  std::memcpy(&array, record + (r12() ? 40 : 56), 8);
  EXPECT_EQ(array, nullptr);
  host().FreeDocument(other);
  EXPECT_EQ(host().books().faults.size(), 1u);
  host().AcknowledgeFailures();
}

TEST_P(ModelingTest, InsertBeforeRefusesAnObjectAlreadyInATree) {
  void* group = First(doc_);
  void* floor = Next(group);
  c().Call<void>(Table::Atom, 15, floor, group);
  EXPECT_EQ(First(doc_), group) << "nothing moved";
  EXPECT_EQ(host().books().faults.size(), 1u);
  host().AcknowledgeFailures();
}

TEST_P(ModelingTest, ArrayFreeAcceptsAnEmptyPointer) {
  void* array = nullptr;
  FreeArray(array);
  EXPECT_EQ(array, nullptr);
  EXPECT_TRUE(host().books().stray_releases.empty());
  int not_an_array = 0;
  array = &not_an_array;
  FreeArray(array);
  EXPECT_EQ(array, nullptr);
  EXPECT_EQ(host().books().stray_releases.size(), 1u);
  host().AcknowledgeFailures();
}

HOST_TEST_P(ModelingTest);

}  // namespace
}  // namespace hosttest
