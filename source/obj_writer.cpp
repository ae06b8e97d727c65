#include "obj_writer.h"

#include <cstring>

#include "c4d_memory.h"
#include "obj_format.h"

OBJSAVE::OBJSAVE()
    : file(BaseFile::Alloc()), doc(nullptr), groupcount(0), vcount(0), incomplete(false) {}

OBJSAVE::~OBJSAVE() {
  BaseFile::Free(file);
  BaseDocument::Free(doc);
}

namespace {

typedef gen::GenMatrix GenMatrix;
typedef gen::GenVector GenVector;

// 32-bit signed sums with defined wrap-around.
inline Int32 WrapAdd(Int32 a, Int32 b) { return Int32(UInt32(a) + UInt32(b)); }

inline char* Put(char* out, const char* text, size_t length) {
  std::memcpy(out, text, length);
  return out + length;
}

// One kind of output line each. Every formatted line is one WriteBytes call; single line feeds
// go through WriteChar.
class BlockWriter {
 public:
  explicit BlockWriter(BaseFile* file) : file_(file) {}

  void GroupLine(Int32 group) {
    char line[256];
    char* end = ObjFormatInt32(group, Put(line, "g Group ", 8));
    Write(line, end);
    file_->WriteChar('\n');
  }

  void VertexLine(const GenVector& p) {
    char* end = Put(line_, "v ", 2);
    end = ObjFormatFixed6(double(p.x), end);
    *end++ = ' ';
    end = ObjFormatFixed6(double(p.y), end);
    *end++ = ' ';
    end = ObjFormatFixed6(double(p.z), end);
    end = Put(end, " \n", 2);
    Write(line_, end);
  }

  void EmptyLines() {
    file_->WriteChar('\n');
    file_->WriteChar('\n');
  }

  void OffsetLine(Int32 vcount) {
    char line[256];
    char* end = ObjFormatInt32(vcount, Put(line, "rf vcount ", 10));
    *end++ = '\n';
    Write(line, end);
  }

  void FaceLine(const CPolygon& polygon, Int32 base) {
    char* end = line_;
    *end++ = 'f';
    const Int32 corners[4] = {polygon.a, polygon.b, polygon.c, polygon.d};
    for (Int32 index : corners) {
      *end++ = ' ';
      end = ObjFormatInt32(WrapAdd(index, base), end);
    }
    *end++ = '\n';
    Write(line_, end);
  }

 private:
  void Write(const char* begin, const char* end) { file_->WriteBytes(begin, Int64(end - begin)); }

  BaseFile* file_;
  // Vertex and face lines: three coordinates of at most kObjMaxFixed6Chars each always fit.
  char line_[3 * kObjMaxFixed6Chars + 8];
};

void WriteBlock(OBJSAVE& rec, PolygonObject* op, const GenMatrix& world, BlockWriter& out) {
  rec.groupcount = WrapAdd(rec.groupcount, 1);
  const GenVector* points = op->GetPointR();
  Int32 point_count = op->GetPointCount();
  if (!points) point_count = 0;  // a host without the tag gives no points to read

  out.GroupLine(rec.groupcount);
  for (Int32 i = 0; i < point_count; ++i) out.VertexLine(points[i] * world);
  out.EmptyLines();
  out.OffsetLine(rec.vcount);

  const CPolygon* polygons = op->GetPolygonR();
  Int32 polygon_count = op->GetPolygonCount();
  if (!polygons) polygon_count = 0;
  const Int32 base = WrapAdd(rec.vcount, 1);
  for (Int32 i = 0; i < polygon_count; ++i) out.FaceLine(polygons[i], base);
  out.EmptyLines();
  rec.vcount = WrapAdd(rec.vcount, point_count);
}

// One level of the walk: the object being visited and the world matrix of its parent.
struct Level {
  BaseObject* op;
  GenMatrix parent;
  bool visited;
};

// The walk's levels: a fixed block on the stack, then chunks from the plug-in's allocator for
// deeper hierarchies, kept until the walk ends. Push fails (false) when memory is exhausted.
class LevelStack {
 public:
  LevelStack() = default;
  ~LevelStack() {
    while (first_) {
      Chunk* above = first_->above;
      delete first_;
      first_ = above;
    }
  }
  LevelStack(const LevelStack&) = delete;
  LevelStack& operator=(const LevelStack&) = delete;

  bool Empty() const { return depth_ == 0; }
  Level& Top() { return At(depth_ - 1); }

  bool Push(BaseObject* op, const GenMatrix& parent) {
    const size_t index = depth_;
    if (index >= kInline && (index - kInline) % kChunk == 0) {
      Chunk* next = index == kInline ? first_ : current_->above;
      if (!next) {
        next = NewObj(Chunk);
        if (!next) return false;
        next->below = current_;
        (index == kInline ? first_ : current_->above) = next;
      }
      current_ = next;
    }
    Level& level = At(depth_++);
    level.op = op;
    level.parent = parent;
    level.visited = false;
    return true;
  }

  void Pop() {
    const size_t index = --depth_;
    if (index >= kInline && (index - kInline) % kChunk == 0) current_ = current_->below;
  }

 private:
  static constexpr size_t kInline = 64;
  static constexpr size_t kChunk = 4096;
  struct Chunk {
    Chunk* below = nullptr;
    Chunk* above = nullptr;
    Level levels[kChunk];
  };

  // Only the top level is ever asked for: it lies in the inline block or in `current_`.
  Level& At(size_t index) {
    return index < kInline ? inline_[index] : current_->levels[(index - kInline) % kChunk];
  }

  Level inline_[kInline];
  Chunk* first_ = nullptr;    // the chunk of levels kInline .. kInline + kChunk - 1
  Chunk* current_ = nullptr;  // the chunk holding the top level, when it is not inline
  size_t depth_ = 0;
};

}  // namespace

void WriteObjects(OBJSAVE& rec, BaseObject* first, gen::GenMatrix parent) {
  if (!first) return;
  BlockWriter out(rec.file);
  LevelStack levels;
  if (!levels.Push(first, parent)) {
    rec.incomplete = true;
    return;
  }
  while (!levels.Empty()) {
    Level& level = levels.Top();
    if (!level.visited) {
      level.visited = true;
      BaseObject* op = level.op;
      const GenMatrix world = level.parent * op->GetMl();
      if (op->GetType() == Opolygon) WriteBlock(rec, static_cast<PolygonObject*>(op), world, out);
      if (BaseObject* child = op->GetDown()) {
        if (!levels.Push(child, world)) {
          rec.incomplete = true;
          return;
        }
        continue;
      }
    }
    // The subtree of levels.Top() is done: continue with its next sibling.
    Level& done = levels.Top();
    if (BaseObject* next = done.op->GetNext()) {
      done.op = next;
      done.visited = false;
    } else {
      levels.Pop();
    }
  }
}
