// Host handle classes: atoms, list nodes, objects and atom arrays. They have no fields in the
// plug-in; the plug-in holds the addresses the host hands out and never creates or copies them.
#pragma once

#include "c4d_generation.h"
#include "ge_matrix.h"

class DescID;
class GeData;
class AliasTrans;

#define QUOR_HANDLE_CLASS(Name) \
 protected:                     \
  Name() = delete;              \
  ~Name() = delete;             \
  Name(const Name&) = delete;   \
  Name& operator=(const Name&) = delete

class C4DAtom {
 public:
  Bool CopyTo(C4DAtom* dest, Int32 flags, AliasTrans* trn) const;
  Int32 GetType() const;
  Bool GetParameter(const DescID& id, GeData& t_data, Int32 flags);
  Bool SetParameter(const DescID& id, const GeData& t_data, Int32 flags);
  QUOR_HANDLE_CLASS(C4DAtom);
};

class GeListNode : public C4DAtom {
 public:
  // Inserts this node, which must not be in a tree, just before `next`.
  void InsertBefore(GeListNode* next);
  QUOR_HANDLE_CLASS(GeListNode);
};

class BaseList2D : public GeListNode {
 public:
  // Releases `node` (null accepted: the host is still called) and nulls the pointer.
  static void Free(BaseList2D*& node);
  QUOR_HANDLE_CLASS(BaseList2D);
};

constexpr Int32 Opolygon = 5100;
constexpr Int32 Tpoint = 5600;
constexpr Int32 Tpolygon = 5604;

class BaseObject : public BaseList2D {
 public:
  BaseObject* GetNext();
  BaseObject* GetDown();
#if QUOR_GEN12
  // The local matrix, owned by the object.
  const LMatrix& GetMl() const;
#else
  Matrix GetMl() const;
#endif
  // Read-only data of the object's first tag of `type`, or null.
  const void* GetTagDataR(Int32 type, Int32 nr = 0) const;
  Int32 GetTagDataCount(Int32 type) const;
  QUOR_HANDLE_CLASS(BaseObject);
};

class PointObject : public BaseObject {
 public:
  const gen::GenVector* GetPointR() const {
    return static_cast<const gen::GenVector*>(GetTagDataR(Tpoint, 0));
  }
  Int32 GetPointCount() const { return GetTagDataCount(Tpoint); }
  QUOR_HANDLE_CLASS(PointObject);
};

// A polygon: four 0-based point indices; a triangle repeats its third index.
struct CPolygon {
  Int32 a, b, c, d;
};

class PolygonObject : public PointObject {
 public:
  const CPolygon* GetPolygonR() const {
    return static_cast<const CPolygon*>(GetTagDataR(Tpolygon, 0));
  }
  Int32 GetPolygonCount() const { return GetTagDataCount(Tpolygon); }
  QUOR_HANDLE_CLASS(PolygonObject);
};

class AtomArray {
 public:
  C4DAtom* GetIndex(Int32 index) const;
  // Releases the array (if any) and nulls the pointer; the host does both.
  static void Free(AtomArray*& array);
  QUOR_HANDLE_CLASS(AtomArray);
};
