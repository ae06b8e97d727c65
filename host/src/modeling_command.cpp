// SendModelingCommand: command 245, current state to object.
#include <cstring>

#include "quorhost/scene_generators.h"
#include "session.h"

namespace quorhost {
namespace {

constexpr int32_t kCurrentStateToObject = 245;

// Record offsets; the result field moves with the two R11_5 host fields before it.
constexpr size_t kDocAt = 0, kOpAt = 8, kSettingsAt = 16, kModeAt = 24, kFlagsAt = 28;
size_t ResultOffset() { return S().r12() ? 40 : 56; }

template <class T>
T Field(const void* record, size_t at) {
  T v;
  std::memcpy(&v, static_cast<const char*>(record) + at, sizeof v);
  return v;
}

// The polygon-mesh equivalent of one object as last evaluated, frozen (no animator).
void Convert(const World& world, const Object& from, Object& to) {
  to.name = from.name;
  to.rest = from.matrix();
  switch (from.kind) {
    case ObjectKind::Null:
      to.kind = ObjectKind::Null;
      break;
    case ObjectKind::Polygon:
      to.kind = ObjectKind::Polygon;
      to.rest_points = from.points();
      to.polygons = from.polygons;
      break;
    case ObjectKind::Cube:
    case ObjectKind::Plane:
    case ObjectKind::Sphere: {
      Mesh mesh = BuildGeneratorMesh(from.AsSceneObject());
      to.kind = ObjectKind::Polygon;
      to.rest_points = std::move(mesh.points);
      to.polygons = std::move(mesh.polygons);
      break;
    }
  }
  world.RefreshServed(to);
}

}  // namespace

int32_t RunModelingCommand(int32_t command, void* record) {
  Session& s = S();
  ModelingCall call;
  call.command = command;
  if (record == nullptr) {
    s.journal.Record("SendModelingCommand", {command, 0});
    s.Fault("SendModelingCommand: null record");
    s.modeling_calls.push_back(call);
    return 0;
  }
  auto* doc = Field<void*>(record, kDocAt);
  auto* op = Field<void*>(record, kOpAt);
  auto* settings = Field<void*>(record, kSettingsAt);
  call.mode = Field<int32_t>(record, kModeAt);
  call.flags = Field<int32_t>(record, kFlagsAt);
  if (settings) {
    auto it = s.containers.find(settings);
    if (it != s.containers.end()) {
      call.has_settings = true;
      call.settings = it->second;
    } else {
      s.Fault("SendModelingCommand: settings " + Hex(settings) +
              " are not an initialised container");
    }
  }
  s.journal.Record("SendModelingCommand",
                   {command, P(record), P(doc), P(op), P(settings), call.mode, call.flags});

  auto finish = [&](int32_t ok, AtomArray* result) {
    if (result) {
      void* word = result;
      std::memcpy(static_cast<char*>(record) + ResultOffset(), &word, sizeof word);
    }
    call.succeeded = ok != 0;
    s.modeling_calls.push_back(std::move(call));
    return ok;
  };

  if (s.faults.Hit(FaultKind::ModelingCommand)) {
    switch (s.faults.command_failure()) {
      case CommandFailure::ReturnFalse:
        return finish(0, nullptr);
      case CommandFailure::EmptyArray:
        return finish(1, s.world.NewArray());
      case CommandFailure::NullElement: {
        AtomArray* array = s.world.NewArray();
        array->elements.push_back(nullptr);
        return finish(1, array);
      }
    }
  }
  if (command != kCurrentStateToObject) {
    s.Fault("SendModelingCommand: command " + std::to_string(command) + " is not served");
    return finish(0, nullptr);
  }
  if (!s.world.IsDocument(doc) || !s.world.IsObject(op) || static_cast<Object*>(op)->doc != doc) {
    s.Fault("SendModelingCommand: the object " + Hex(op) + " is not an object of document " +
            Hex(doc));
    return finish(0, nullptr);
  }
  AtomArray* array = s.world.NewArray();
  array->elements.push_back(s.world.CopySubtree(static_cast<Object*>(op), Convert));
  return finish(1, array);
}

}  // namespace quorhost
