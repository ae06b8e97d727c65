#include "model.h"

namespace quorhost {

int32_t TypeOf(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Polygon:
      return kTypePolygon;
    case ObjectKind::Cube:
      return kTypeCube;
    case ObjectKind::Plane:
      return kTypePlane;
    case ObjectKind::Sphere:
      return kTypeSphere;
    case ObjectKind::Null:
      break;
  }
  return kTypeNull;
}

SceneObject Object::AsSceneObject() const {
  SceneObject s;
  s.name = name;
  s.kind = kind;
  s.matrix = matrix();
  s.points = points();
  s.polygons = polygons;
  if (generator) {
    s.size = generator->size;
    s.width = generator->width;
    s.height = generator->height;
    s.width_segments = generator->width_segments;
    s.height_segments = generator->height_segments;
    s.radius = generator->radius;
    s.segments = generator->segments;
  }
  s.animator = animator;
  return s;
}

Object* NextInSubtree(const Object* o, const Object* root) {
  if (o->first_child) return o->first_child;
  while (o != root) {
    if (o->next) return o->next;
    o = o->parent;
  }
  return nullptr;
}

Object* NextInDocument(const Object* o) {
  if (o->first_child) return o->first_child;
  while (o) {
    if (o->next) return o->next;
    o = o->parent;
  }
  return nullptr;
}

World::~World() {
  for (const Object* o : objects_) delete o;
  for (const Document* d : documents_) delete d;
  for (const NodeAtom* n : nodes_) delete n;
  for (const AtomArray* a : arrays_) delete a;
}

Document* World::NewDocument() {
  auto* doc = new Document;
  documents_.insert(doc);
  return doc;
}

void World::DeleteDocument(Document* doc) {
  while (doc->first) DeleteSubtree(doc->first);
  documents_.erase(doc);
  delete doc;
}

Object* World::NewObject() {
  auto* o = new Object;
  objects_.insert(o);
  ++free_objects_;
  return o;
}

void World::DeleteSubtree(Object* root) {
  Unlink(root);
  DeleteLinkedOut(root);
}

// `root` is unlinked already; its descendants still hang below it.
void World::DeleteLinkedOut(Object* root) {
  std::vector<Object*> all;
  for (Object* o = root; o; o = NextInSubtree(o, root)) all.push_back(o);
  for (Object* o : all) {
    if (o->doc == nullptr) --free_objects_;
    objects_.erase(o);
    delete o;
  }
}

NodeAtom* World::NewNode() {
  auto* n = new NodeAtom;
  nodes_.insert(n);
  return n;
}

void World::DeleteNode(NodeAtom* node) {
  nodes_.erase(node);
  delete node;
}

AtomArray* World::NewArray() {
  auto* a = new AtomArray;
  arrays_.insert(a);
  return a;
}

void World::DeleteArray(AtomArray* array) {
  arrays_.erase(array);
  delete array;
}

void World::SetDocument(Object* root, Document* doc) {
  if (root->doc == doc) return;  // a subtree shares its root's document
  for (Object* o = root; o; o = NextInSubtree(o, root)) {
    if (o->doc == nullptr) --free_objects_;
    if (doc == nullptr) ++free_objects_;
    o->doc = doc;
  }
}

void World::Append(Document* doc, Object* parent, Object* child) {
  child->parent = parent;
  child->next = nullptr;
  Object*& first = parent ? parent->first_child : doc->first;
  Object*& last = parent ? parent->last_child : doc->last;
  child->prev = last;
  if (last)
    last->next = child;
  else
    first = child;
  last = child;
  SetDocument(child, parent ? parent->doc : doc);
}

void World::InsertBefore(Object* obj, Object* next) {
  obj->parent = next->parent;
  obj->prev = next->prev;
  obj->next = next;
  if (next->prev)
    next->prev->next = obj;
  else if (next->parent)
    next->parent->first_child = obj;
  else if (next->doc)
    next->doc->first = obj;
  next->prev = obj;
  SetDocument(obj, next->doc);
}

void World::Unlink(Object* obj) {
  if (obj->prev)
    obj->prev->next = obj->next;
  else if (obj->parent)
    obj->parent->first_child = obj->next;
  else if (obj->doc && obj->doc->first == obj)
    obj->doc->first = obj->next;
  if (obj->next)
    obj->next->prev = obj->prev;
  else if (obj->parent)
    obj->parent->last_child = obj->prev;
  else if (obj->doc && obj->doc->last == obj)
    obj->doc->last = obj->prev;
  obj->parent = obj->prev = obj->next = nullptr;
  SetDocument(obj, nullptr);
}

void World::CopyData(const Object& from, Object& to) const {
  to.kind = from.kind;
  to.name = from.name;
  to.rest = from.rest;
  to.rest_points = from.rest_points;
  to.polygons = from.polygons;
  to.generator = from.generator ? std::make_unique<GeneratorParams>(*from.generator) : nullptr;
  to.animator = from.animator;
  to.evaluated = from.evaluated ? std::make_unique<EvaluatedState>(*from.evaluated) : nullptr;
  to.points32 = from.points32;
}

Object* World::CopySubtree(const Object* root, FillCopy fill) {
  Object* copy_root = nullptr;
  Object* copy_parent = nullptr;  // copy of the parent of the object being copied
  const Object* o = root;
  const Object* prev_source = nullptr;
  Object* prev_copy = nullptr;
  while (o) {
    Object* c = NewObject();
    if (fill)
      fill(*this, *o, *c);
    else
      CopyData(*o, *c);
    if (!copy_root) {
      copy_root = c;
    } else {
      // Find the copy of o's parent from the previous object's copy: o is either the first
      // child of the previous object, or a later sibling of one of its ancestors.
      const Object* s = prev_source;
      Object* sc = prev_copy;
      while (s != o->parent) {
        s = s->parent;
        sc = sc->parent;
      }
      copy_parent = sc;
      c->parent = copy_parent;
      c->prev = copy_parent->last_child;
      if (copy_parent->last_child)
        copy_parent->last_child->next = c;
      else
        copy_parent->first_child = c;
      copy_parent->last_child = c;
    }
    prev_source = o;
    prev_copy = c;
    o = NextInSubtree(o, root);
  }
  return copy_root;
}

void World::CopyDocument(const Document& from, Document& to) {
  while (to.first) DeleteSubtree(to.first);
  to.fps = from.fps;
  to.current = from.current;
  to.min_time = from.min_time;
  to.max_time = from.max_time;
  for (const Object* top = from.first; top; top = top->next) Append(&to, nullptr, CopySubtree(top));
}

void World::RefreshServed(Object& o) const {
  if (gen_ != Generation::R11_5 || o.kind != ObjectKind::Polygon) return;
  const std::vector<Vec3>& pts = o.points();
  o.points32.resize(pts.size() * 3);
  for (size_t i = 0; i < pts.size(); ++i) {
    o.points32[3 * i] = static_cast<float>(pts[i].x);
    o.points32[3 * i + 1] = static_cast<float>(pts[i].y);
    o.points32[3 * i + 2] = static_cast<float>(pts[i].z);
  }
}

Atom* World::FindAtom(const void* p) const {
  if (IsObject(p)) return const_cast<Object*>(static_cast<const Object*>(p));
  if (IsDocument(p)) return const_cast<Document*>(static_cast<const Document*>(p));
  if (IsNode(p)) return const_cast<NodeAtom*>(static_cast<const NodeAtom*>(p));
  return nullptr;
}

}  // namespace quorhost
