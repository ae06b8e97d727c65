// The atom (C4DAtom, GeListNode, AtomArray), object, document and list-element tables.
#include "session.h"
#include "value_layouts.h"

namespace quorhost {
namespace {

constexpr int32_t kParamTime = 1000;
constexpr int32_t kParamFps = 1001;
constexpr int32_t kParamMinTime = 1002;
constexpr int32_t kParamMaxTime = 1003;

Object* LiveObject(const void* p, const char* op) {
  if (S().world.IsObject(p)) return const_cast<Object*>(static_cast<const Object*>(p));
  S().Fault(std::string(op) + ": " + Hex(p) + " is not a live object");
  return nullptr;
}

Document* LiveDocument(const void* p, const char* op) {
  if (S().world.IsDocument(p)) return const_cast<Document*>(static_cast<const Document*>(p));
  S().Fault(std::string(op) + ": " + Hex(p) + " is not a live document");
  return nullptr;
}

// --- C4DAtom / GeListNode ---------------------------------------------------------------

int32_t AtomCopyTo(const void* source, void* destination, int32_t flags, void* trans) {
  Session& s = S();
  s.journal.Record("Atom.CopyTo", {P(source), P(destination), flags, P(trans)});
  if (s.faults.Hit(FaultKind::Copy)) return 0;
  if (source == destination) return s.world.FindAtom(source) ? 1 : 0;
  World& w = s.world;
  if (w.IsDocument(source) && w.IsDocument(destination)) {
    w.CopyDocument(*static_cast<const Document*>(source), *static_cast<Document*>(destination));
    return 1;
  }
  if (w.IsObject(source) && w.IsObject(destination)) {
    const auto* from = static_cast<const Object*>(source);
    auto* to = static_cast<Object*>(destination);
    // Replacing the destination's children must neither delete the source nor copy into it.
    for (const Object* up = to; up; up = up->parent) {
      if (up == from) {
        s.Fault("C4DAtom::CopyTo: the destination object lies inside the source");
        return 0;
      }
    }
    for (const Object* up = from; up; up = up->parent) {
      if (up == to) {
        s.Fault("C4DAtom::CopyTo: the source object lies inside the destination");
        return 0;
      }
    }
    while (to->first_child) w.DeleteSubtree(to->first_child);
    w.CopyData(*from, *to);
    for (const Object* child = from->first_child; child; child = child->next) {
      w.Append(nullptr, to, w.CopySubtree(child));
    }
    return 1;
  }
  s.Fault("C4DAtom::CopyTo: " + Hex(source) + " to " + Hex(destination) +
          " is not a document-to-document or object-to-object copy");
  return 0;
}

int32_t AtomGetType(const void* atom) {
  Session& s = S();
  int32_t type = 0;
  if (Atom* a = s.world.FindAtom(atom)) {
    switch (a->kind) {
      case AtomKind::Document:
        type = kTypeDocument;
        break;
      case AtomKind::Object:
        type = TypeOf(static_cast<Object*>(a)->kind);
        break;
      case AtomKind::Node:
        type = static_cast<NodeAtom*>(a)->type;
        break;
    }
  } else {
    s.Fault("C4DAtom::GetType: " + Hex(atom) + " is not a live atom");
  }
  s.journal.Record("Atom.GetType", {P(atom), type});
  return type;
}

const DescIdCell* CheckedDescId(const void* id, const char* op) {
  const auto* cell = static_cast<const DescIdCell*>(id);
  if (cell == nullptr || cell->magic != kDescIdMagic) {
    S().journal.Record(op, {P(id), -1});
    return nullptr;  // never initialised (the description library was missing): refused
  }
  return cell;
}

template <class Real>
void WriteTimeData(void* value, const Time& t) {
  std::memcpy(value, &kDataTime, sizeof kDataTime);
  WriteTime<Real>(static_cast<char*>(value) + kGeDataValueOffset, t.num, t.den);
}

int32_t AtomGetParameter(const void* atom, const void* id, void* value, int32_t flags) {
  Session& s = S();
  const DescIdCell* cell = CheckedDescId(id, "Atom.GetParameter");
  if (!cell || value == nullptr) return 0;
  s.journal.Record("Atom.GetParameter", {P(atom), cell->id, flags});
  Document* doc = LiveDocument(atom, "C4DAtom::GetParameter");
  if (!doc) return 0;
  SetDataEmpty(value);
  if (s.faults.Hit(FaultKind::ParameterRead)) return 0;
  auto time = [&](const Time& t) {
    if (s.r12())
      WriteTimeData<double>(value, t);
    else
      WriteTimeData<float>(value, t);
  };
  switch (cell->id) {
    case kParamTime:
      time(doc->current);
      return 1;
    case kParamMinTime:
      time(doc->min_time);
      return 1;
    case kParamMaxTime:
      time(doc->max_time);
      return 1;
    case kParamFps:
      std::memcpy(value, &kDataLong, sizeof kDataLong);
      std::memcpy(static_cast<char*>(value) + kGeDataValueOffset, &doc->fps, sizeof doc->fps);
      return 1;
    default:
      return 0;
  }
}

int32_t AtomSetParameter(void* atom, const void* id, const void* value, int32_t flags) {
  Session& s = S();
  const DescIdCell* cell = CheckedDescId(id, "Atom.SetParameter");
  if (!cell || value == nullptr) return 0;
  int32_t type = DataType(value);
  const char* v = static_cast<const char*>(value) + kGeDataValueOffset;
  Time t;
  if (type == kDataTime) {
    if (s.r12())
      ReadTime<double>(v, &t.num, &t.den);
    else
      ReadTime<float>(v, &t.num, &t.den);
  }
  s.journal.Record("Atom.SetParameter", {P(atom), cell->id, flags, type});
  Document* doc = LiveDocument(atom, "C4DAtom::SetParameter");
  if (!doc) return 0;
  switch (cell->id) {
    case kParamTime:
    case kParamMinTime:
    case kParamMaxTime: {
      if (type != kDataTime) return 0;
      Time& target = cell->id == kParamTime      ? doc->current
                     : cell->id == kParamMinTime ? doc->min_time
                                                 : doc->max_time;
      target = t;
      return 1;
    }
    case kParamFps:
      if (type != kDataLong) return 0;
      std::memcpy(&doc->fps, v, sizeof doc->fps);
      return 1;
    default:
      return 0;
  }
}

void* ObjectGetNext(const void* o) {
  Object* obj = LiveObject(o, "BaseObject::GetNext");
  Object* next = obj ? obj->next : nullptr;
  S().journal.Record("Object.GetNext", {P(o), P(next)});
  return next;
}

void* ObjectGetDown(const void* o) {
  Object* obj = LiveObject(o, "BaseObject::GetDown");
  Object* down = obj ? obj->first_child : nullptr;
  S().journal.Record("Object.GetDown", {P(o), P(down)});
  return down;
}

void NodeInsertBefore(void* o, void* next) {
  Session& s = S();
  s.journal.Record("Node.InsertBefore", {P(o), P(next)});
  Object* obj = LiveObject(o, "GeListNode::InsertBefore");
  Object* at = LiveObject(next, "GeListNode::InsertBefore (next)");
  if (!obj || !at) return;
  if (obj->parent || obj->prev || obj->next || obj->doc) {
    s.Fault("GeListNode::InsertBefore: " + Hex(o) + " is already in a tree");
    return;
  }
  if (!at->parent && !at->doc) {
    s.Fault("GeListNode::InsertBefore: " + Hex(next) + " is not in a tree");
    return;
  }
  for (const Object* up = at; up; up = up->parent) {
    if (up == obj) {
      s.Fault("GeListNode::InsertBefore: " + Hex(next) + " lies inside " + Hex(o));
      return;
    }
  }
  s.world.InsertBefore(obj, at);
}

void ArrayFree(void** array) {
  Session& s = S();
  s.journal.Record("AtomArray.Free", {P(array), P(array ? *array : nullptr)});
  if (array == nullptr) return;
  if (*array != nullptr) {
    if (s.world.IsArray(*array))
      s.world.DeleteArray(static_cast<AtomArray*>(*array));
    else
      s.Stray("AtomArray::Free: " + Hex(*array) + " is not a live AtomArray");
  }
  *array = nullptr;
}

void* ArrayGetIndex(const void* array, int32_t index) {
  Session& s = S();
  void* element = nullptr;
  if (s.world.IsArray(array)) {
    const auto* a = static_cast<const AtomArray*>(array);
    if (index >= 0 && static_cast<size_t>(index) < a->elements.size()) element = a->elements[index];
  } else {
    s.Fault("AtomArray::GetIndex: " + Hex(array) + " is not a live AtomArray");
  }
  s.journal.Record("AtomArray.GetIndex", {P(array), index, P(element)});
  return element;
}

// --- BaseObject -------------------------------------------------------------------------

const Mat4& MatrixOf(const void* o, const char* op) {
  static const Mat4 identity;
  Object* obj = LiveObject(o, op);
  return obj ? obj->matrix() : identity;
}

const void* ObjectGetMl12(const void* o) {
  S().journal.Record("Object.GetMl", {P(o)});
  return &MatrixOf(o, "BaseObject::GetMl");
}

// The 48-byte Matrix comes back through the hidden result pointer.
void* ObjectGetMl115(void* result, const void* o) {
  S().journal.Record("Object.GetMl", {P(o)});
  const Mat4& m = MatrixOf(o, "BaseObject::GetMl");
  const Vec3* v[4] = {&m.t, &m.x, &m.y, &m.z};
  float f[12];
  for (int i = 0; i < 4; ++i) {
    f[3 * i] = static_cast<float>(v[i]->x);
    f[3 * i + 1] = static_cast<float>(v[i]->y);
    f[3 * i + 2] = static_cast<float>(v[i]->z);
  }
  std::memcpy(result, f, sizeof f);
  return result;
}

int32_t ObjectGetTagDataCount(const void* o, int32_t tag) {
  Object* obj = LiveObject(o, "BaseObject::GetTagDataCount");
  int32_t count = 0;
  if (obj && obj->kind == ObjectKind::Polygon) {
    if (tag == kTagPoints) count = static_cast<int32_t>(obj->points().size());
    if (tag == kTagPolygons) count = static_cast<int32_t>(obj->polygons.size());
  }
  S().journal.Record("Object.GetTagDataCount", {P(o), tag, count});
  return count;
}

const void* ObjectGetTagDataR(const void* o, int32_t tag, int32_t number) {
  // An empty tag still answers a pointer: null means "no such tag".
  static const double empty_tag[4] = {};
  Object* obj = LiveObject(o, "BaseObject::GetTagDataR");
  const void* data = nullptr;
  if (obj && obj->kind == ObjectKind::Polygon && number == 0) {
    if (tag == kTagPoints) {
      data = S().r12() ? static_cast<const void*>(obj->points().data()) : obj->points32.data();
      if (obj->points().empty()) data = empty_tag;
    } else if (tag == kTagPolygons) {
      data = obj->polygons.empty() ? static_cast<const void*>(empty_tag) : obj->polygons.data();
    }
  }
  S().journal.Record("Object.GetTagDataR", {P(o), tag, number, P(data)});
  return data;
}

// --- BaseDocument -----------------------------------------------------------------------

void* DocumentAlloc() {
  Session& s = S();
  Document* doc = s.faults.Hit(FaultKind::DocumentAllocation) ? nullptr : s.world.NewDocument();
  s.journal.Record("Document.Alloc", {P(doc)});
  return doc;
}

void* DocumentGetFirstObject(const void* d) {
  Document* doc = LiveDocument(d, "BaseDocument::GetFirstObject");
  Object* first = doc ? doc->first : nullptr;
  S().journal.Record("Document.GetFirstObject", {P(d), P(first)});
  return first;
}

void DocumentAnimateObject(void* d, void* op, const void* time, int32_t flags) {
  Session& s = S();
  AnimateCall call{op, 0, 1, flags};
  if (time) {
    if (s.r12())
      ReadTime<double>(time, &call.num, &call.den);
    else
      ReadTime<float>(time, &call.num, &call.den);
  }
  s.journal.Record("Document.AnimateObject", {P(d), P(op), P(time), flags});
  LiveDocument(d, "BaseDocument::AnimateObject");
  s.animate_calls.push_back(call);
}

int32_t ExecutePasses(void* d, void* thread, int32_t animation, int32_t expressions, int32_t caches,
                      int32_t build_flags) {
  Session& s = S();
  s.journal.Record("Document.ExecutePasses",
                   {P(d), P(thread), animation, expressions, caches, build_flags});
  Document* doc = LiveDocument(d, "BaseDocument::ExecutePasses");
  if (!doc) return 0;
  double seconds = doc->current.den != 0 ? doc->current.num / doc->current.den : 0;
  if (doc->current.den == 0)
    s.Fault("BaseDocument::ExecutePasses: the document time has denominator 0");
  for (Object* o = doc->first; o; o = NextInDocument(o)) {
    if (animation && o->animator) {
      auto state = std::make_unique<EvaluatedState>();
      state->local = o->rest;
      if (o->kind == ObjectKind::Polygon) state->points = o->rest_points;
      o->animator->Evaluate(seconds, *state);
      o->evaluated = std::move(state);
    } else {
      o->evaluated.reset();
    }
    s.world.RefreshServed(*o);
  }
  return 1;
}

int32_t ExecutePasses12(void* d, void* thread, int32_t animation, int32_t expressions,
                        int32_t caches, int32_t build_flags) {
  return ExecutePasses(d, thread, animation, expressions, caches, build_flags);
}

int32_t ExecutePasses115(void* d, void* thread, int32_t animation, int32_t expressions,
                         int32_t caches) {
  return ExecutePasses(d, thread, animation, expressions, caches, 0);
}

// --- BaseList2D ---------------------------------------------------------------------------

void ListElementRelease(void* node) {
  Session& s = S();
  s.journal.Record("ListElement.Release", {P(node)});
  if (node == nullptr) return;
  if (s.world.IsObject(node))
    s.world.DeleteSubtree(static_cast<Object*>(node));
  else if (s.world.IsDocument(node))
    s.world.DeleteDocument(static_cast<Document*>(node));
  else
    s.Stray("list-element release: " + Hex(node) + " is not a live document or object");
}

}  // namespace

void FillAtom(TableBuilder& t, Generation gen) {
  bool r12 = gen == Generation::R12;
  t.Member(1, AtomCopyTo);
  t.Member(2, AtomGetType);
  t.Member(7, AtomGetParameter);
  t.Member(8, AtomSetParameter);
  t.Member(10, ObjectGetNext);
  t.Member(13, ObjectGetDown);
  t.Member(15, NodeInsertBefore);
  t.Plain(r12 ? 35 : 36, ArrayFree);
  t.Member(r12 ? 37 : 38, ArrayGetIndex);
}

void FillObject(TableBuilder& t, Generation gen) {
  if (gen == Generation::R12) {
    t.Member(9, ObjectGetMl12);
    t.Plain(39, ObjectGetTagDataCount);
    t.Plain(156, ObjectGetTagDataR);
  } else {
    t.Plain(16, ObjectGetMl115);
    t.Plain(32, ObjectGetTagDataCount);
    t.Plain(166, ObjectGetTagDataR);
  }
}

void FillDocument(TableBuilder& t, Generation gen) {
  bool r12 = gen == Generation::R12;
  t.Plain(r12 ? 1 : 3, DocumentAlloc);
  t.Plain(r12 ? 5 : 8, DocumentGetFirstObject);
  t.Plain(r12 ? 23 : 31, DocumentAnimateObject);
  if (r12)
    t.Member(82, ExecutePasses12);
  else
    t.Member(100, ExecutePasses115);
}

void FillListElement(TableBuilder& t, Generation gen) {
  t.Plain(gen == Generation::R12 ? 4 : 18, ListElementRelease);
}

}  // namespace quorhost
