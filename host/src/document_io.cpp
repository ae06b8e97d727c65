// Building host documents from scenes, and reading them back as the plug-in sees them.
#include "session.h"

namespace quorhost {
namespace {

// In an R11_5 session the plug-in sees every value rounded to float.
double Served(double v, Generation gen) {
  return gen == Generation::R12 ? v : static_cast<double>(static_cast<float>(v));
}

Vec3 Served(const Vec3& v, Generation gen) {
  return {Served(v.x, gen), Served(v.y, gen), Served(v.z, gen)};
}

ObjectView View(const Object& o, Generation gen, int32_t parent) {
  ObjectView v;
  v.type = TypeOf(o.kind);
  v.name = o.name;
  v.parent = parent;
  const Mat4& m = o.matrix();
  v.matrix = {Served(m.t, gen), Served(m.x, gen), Served(m.y, gen), Served(m.z, gen)};
  if (o.kind == ObjectKind::Polygon) {
    v.points.reserve(o.points().size());
    for (const Vec3& p : o.points()) v.points.push_back(Served(p, gen));
    v.polygons = o.polygons;
  }
  return v;
}

// Appends `root`'s subtree (or, with `siblings`, every following top-level tree too) in
// pre-order, parents given as indices into `out`.
void AppendViews(const Object* root, bool siblings, Generation gen, std::vector<ObjectView>& out) {
  std::vector<std::pair<const Object*, int32_t>> open;  // ancestors and their indices
  for (const Object* o = root; o;) {
    while (!open.empty() && open.back().first != o->parent) open.pop_back();
    int32_t parent = open.empty() ? -1 : open.back().second;
    out.push_back(View(*o, gen, parent));
    open.emplace_back(o, static_cast<int32_t>(out.size() - 1));
    o = siblings ? NextInDocument(o) : NextInSubtree(o, root);
  }
}

}  // namespace

Document* Host::BuildDocument(const Scene& scene, std::string* error) {
  Session& s = *session_;
  const auto& objects = scene.objects;
  for (size_t i = 0; i < objects.size(); ++i) {
    int32_t parent = objects[i].parent;
    if (parent < -1 || parent >= static_cast<int32_t>(i)) {
      if (error)
        *error = "object " + std::to_string(i) + " has parent " + std::to_string(parent) +
                 ", which does not precede it";
      return nullptr;
    }
  }
  Document* doc = s.world.NewDocument();
  doc->fps = scene.fps;
  doc->min_time = scene.min_time;
  doc->max_time = scene.max_time;
  doc->current = scene.min_time;
  std::vector<Object*> made;
  made.reserve(objects.size());
  for (const SceneObject& so : objects) {
    Object* o = s.world.NewObject();
    o->kind = so.kind;
    o->name = so.name;
    o->rest = so.matrix;
    if (so.kind == ObjectKind::Polygon) {
      o->rest_points = so.points;
      o->polygons = so.polygons;
    }
    if (so.kind == ObjectKind::Cube || so.kind == ObjectKind::Plane ||
        so.kind == ObjectKind::Sphere) {
      o->generator = std::make_unique<GeneratorParams>(
          GeneratorParams{so.size, so.width, so.height, so.width_segments, so.height_segments,
                          so.radius, so.segments});
    }
    o->animator = so.animator;
    s.world.RefreshServed(*o);
    s.world.Append(doc, so.parent < 0 ? nullptr : made[so.parent], o);
    made.push_back(o);
  }
  return doc;
}

void Host::FreeDocument(Document* doc) {
  if (doc == nullptr) return;
  if (!session_->world.IsDocument(doc)) {
    session_->Stray("Host::FreeDocument: " + Hex(doc) + " is not a live document");
    return;
  }
  session_->world.DeleteDocument(doc);
}

DocumentView Host::ReadDocument(const void* d) const {
  DocumentView view;
  if (!session_->world.IsDocument(d)) return view;
  const auto* doc = static_cast<const Document*>(d);
  view.fps = doc->fps;
  view.current = doc->current;
  view.min_time = doc->min_time;
  view.max_time = doc->max_time;
  AppendViews(doc->first, true, session_->gen, view.objects);
  return view;
}

std::vector<ObjectView> Host::ReadObjectTree(const void* object) const {
  std::vector<ObjectView> views;
  if (session_->world.IsObject(object))
    AppendViews(static_cast<const Object*>(object), false, session_->gen, views);
  return views;
}

}  // namespace quorhost
