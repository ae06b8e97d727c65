// The host's documents and objects: trees linked by pointers, walked without recursion so that
// arbitrarily deep hierarchies are built, copied, converted and freed in bounded stack.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "quorhost/host.h"
#include "quorhost/scene.h"

namespace quorhost {

inline constexpr int32_t kTypePolygon = 5100;
inline constexpr int32_t kTypeNull = 5140;
inline constexpr int32_t kTypeCube = 5159;
inline constexpr int32_t kTypeSphere = 5160;
inline constexpr int32_t kTypePlane = 5168;
inline constexpr int32_t kTypeDocument = 110059;
inline constexpr int32_t kTagPoints = 5600;
inline constexpr int32_t kTagPolygons = 5604;

int32_t TypeOf(ObjectKind kind);

enum class AtomKind : uint32_t { Document = 1, Object = 2, Node = 3 };

struct Atom {
  explicit Atom(AtomKind k) : kind(k) {}
  AtomKind kind;
};

// Parameters of a cube, plane or sphere; a SceneObject is rebuilt from them for the mesh.
struct GeneratorParams {
  Vec3 size;
  double width = 0, height = 0;
  int32_t width_segments = 1, height_segments = 1;
  double radius = 0;
  int32_t segments = 0;
};

struct Object : Atom {
  Object() : Atom(AtomKind::Object) {}

  ObjectKind kind = ObjectKind::Null;
  std::string name;
  Mat4 rest;
  std::vector<Vec3> rest_points;
  std::vector<Poly> polygons;
  std::unique_ptr<GeneratorParams> generator;
  std::shared_ptr<const Animator> animator;
  // Null while the evaluated state is the rest state (never evaluated, or not animated).
  std::unique_ptr<EvaluatedState> evaluated;
  // R11_5 sessions: the served points, each coordinate rounded to float.
  std::vector<float> points32;

  Object* parent = nullptr;
  Object* prev = nullptr;
  Object* next = nullptr;
  Object* first_child = nullptr;
  Object* last_child = nullptr;
  Document* doc = nullptr;

  const Mat4& matrix() const { return evaluated ? evaluated->local : rest; }
  const std::vector<Vec3>& points() const { return evaluated ? evaluated->points : rest_points; }
  SceneObject AsSceneObject() const;  // for the mesh generators
};

// The public opaque type, defined here.
struct Document : Atom {
  Document() : Atom(AtomKind::Document) {}
  int32_t fps = 30;
  Time current{0, 1};
  Time min_time{0, 1};
  Time max_time{90, 30};
  Object* first = nullptr;
  Object* last = nullptr;
};

// The saver node a SaverNode hands to the plug-in's callbacks.
struct NodeAtom : Atom {
  NodeAtom() : Atom(AtomKind::Node) {}
  int32_t type = 0;
};

struct AtomArray {
  std::vector<Object*> elements;
};

// Depth-first pre-order successor of `o` within the subtree of `root`; null at the end.
Object* NextInSubtree(const Object* o, const Object* root);
// Depth-first pre-order successor of `o` in its document; null at the end.
Object* NextInDocument(const Object* o);

// Owns every document, object, node and array of the session, and keeps their books.
class World {
 public:
  explicit World(Generation gen) : gen_(gen) {}
  World(const World&) = delete;
  World& operator=(const World&) = delete;
  ~World();

  Document* NewDocument();
  void DeleteDocument(Document* doc);  // with all its objects
  Object* NewObject();                 // free-standing
  // Unlinks `root` from its tree or document and deletes it with its descendants.
  void DeleteSubtree(Object* root);
  NodeAtom* NewNode();
  void DeleteNode(NodeAtom* node);
  AtomArray* NewArray();
  void DeleteArray(AtomArray* array);

  // Links `child` as the last child of `parent` (null: last top-level object of `doc`).
  void Append(Document* doc, Object* parent, Object* child);
  // Links a free-standing `obj` (and its subtree) just before `next`.
  void InsertBefore(Object* obj, Object* next);
  void Unlink(Object* obj);

  // A free-standing deep copy of `root` and its descendants (evaluated state included,
  // animators shared). `fill`, when given, makes each copy from its source instead of
  // CopyData (the modeling command's conversion).
  using FillCopy = void (*)(const World& world, const Object& from, Object& to);
  Object* CopySubtree(const Object* root, FillCopy fill = nullptr);
  // Copies one object's own data (not its links).
  void CopyData(const Object& from, Object& to) const;
  // Replaces everything in `to` with a deep copy of `from`.
  void CopyDocument(const Document& from, Document& to);

  // Recomputes the served R11_5 values after the object's state changed.
  void RefreshServed(Object& o) const;

  bool IsDocument(const void* p) const {
    return documents_.count(static_cast<const Document*>(p)) != 0;
  }
  bool IsObject(const void* p) const { return objects_.count(static_cast<const Object*>(p)) != 0; }
  bool IsNode(const void* p) const { return nodes_.count(static_cast<const NodeAtom*>(p)) != 0; }
  bool IsArray(const void* p) const { return arrays_.count(static_cast<const AtomArray*>(p)) != 0; }
  // The atom at `p`, or null when the host has no live atom there.
  Atom* FindAtom(const void* p) const;

  int64_t live_documents() const { return static_cast<int64_t>(documents_.size()); }
  int64_t free_objects() const { return free_objects_; }
  int64_t live_arrays() const { return static_cast<int64_t>(arrays_.size()); }
  Generation gen() const { return gen_; }

 private:
  void SetDocument(Object* root, Document* doc);
  void DeleteLinkedOut(Object* root);

  Generation gen_;
  std::unordered_set<const Document*> documents_;
  std::unordered_set<const Object*> objects_;
  std::unordered_set<const NodeAtom*> nodes_;
  std::unordered_set<const AtomArray*> arrays_;
  int64_t free_objects_ = 0;
};

}  // namespace quorhost
