// Writers for the benchmarks: the exporter's own, and the references it is measured against.
// They write the first top-level polygon object of a document into one file.
#include <charconv>
#include <cstdio>
#include <initializer_list>

#include "c4d_basedocument.h"
#include "c4d_file.h"
#include "c4d_platform.h"
#include "obj_writer.h"

#define PROBE extern "C" QUOR_EXPORT

namespace {

constexpr Int32 kType = 0x43344443, kCreator = 0x43344431;

struct Reference {
  // 1: snprintf into the line buffer; 2: std::to_chars.
  static char* Coordinate(int mode, double v, char* out, char* end) {
    if (mode == 1) return out + std::snprintf(out, size_t(end - out), "%f", v);
    return std::to_chars(out, end, v, std::chars_format::fixed, 6).ptr;
  }
  static char* Integer(int mode, Int32 v, char* out, char* end) {
    if (mode == 1) return out + std::snprintf(out, size_t(end - out), "%i", v);
    return std::to_chars(out, end, v).ptr;
  }
};

void WriteReference(int mode, BaseFile* file, BaseObject* op) {
  PolygonObject* poly = static_cast<PolygonObject*>(op);
  const gen::GenMatrix world = gen::GenMatrix() * op->GetMl();
  const gen::GenVector* points = poly->GetPointR();
  const Int32 n = poly->GetPointCount();
  char line[1024];
  char* const end = line + sizeof line;
  file->WriteBytes("g Group 1", 9);
  file->WriteChar('\n');
  for (Int32 i = 0; i < n; ++i) {
    const gen::GenVector p = points[i] * world;
    char* q = line;
    *q++ = 'v';
    *q++ = ' ';
    q = Reference::Coordinate(mode, double(p.x), q, end);
    *q++ = ' ';
    q = Reference::Coordinate(mode, double(p.y), q, end);
    *q++ = ' ';
    q = Reference::Coordinate(mode, double(p.z), q, end);
    *q++ = ' ';
    *q++ = '\n';
    file->WriteBytes(line, Int64(q - line));
  }
  file->WriteChar('\n');
  file->WriteChar('\n');
  file->WriteBytes("rf vcount 0\n", 12);
  const CPolygon* polygons = poly->GetPolygonR();
  const Int32 m = poly->GetPolygonCount();
  for (Int32 i = 0; i < m; ++i) {
    char* q = line;
    *q++ = 'f';
    for (Int32 index : {polygons[i].a, polygons[i].b, polygons[i].c, polygons[i].d}) {
      *q++ = ' ';
      q = Reference::Integer(mode, index + 1, q, end);
    }
    *q++ = '\n';
    file->WriteBytes(line, Int64(q - line));
  }
  file->WriteChar('\n');
  file->WriteChar('\n');
}

}  // namespace

// mode 0: the exporter's writer; 1: snprintf reference; 2: std::to_chars reference.
// Returns the file's error state.
PROBE Int32 quor_probe_bench_write(void* doc, const void* filename, int mode) {
  OBJSAVE rec;
  const Filename& name = *static_cast<const Filename*>(filename);
  if (!rec.file || !rec.file->Open(name, FILEOPEN_WRITE, FILEDIALOG_NONE, BYTEORDER_INTEL, kType,
                                   kCreator)) {
    return -1;
  }
  BaseObject* first = static_cast<BaseDocument*>(doc)->GetFirstObject();
  if (mode == 0) {
    WriteObjects(rec, first, gen::GenMatrix());
  } else if (first) {
    WriteReference(mode, rec.file, first);
  }
  return Int32(rec.file->GetError());
}

// The I/O floor: `lines` pre-formatted lines (line i is text[offsets[i] .. offsets[i + 1]))
// handed to a host file one write each.
PROBE Int32 quor_probe_bench_write_lines(const void* filename, const char* text,
                                         const Int64* offsets, Int64 lines) {
  OBJSAVE rec;
  const Filename& name = *static_cast<const Filename*>(filename);
  if (!rec.file || !rec.file->Open(name, FILEOPEN_WRITE, FILEDIALOG_NONE, BYTEORDER_INTEL, kType,
                                   kCreator)) {
    return -1;
  }
  for (Int64 i = 0; i < lines; ++i) {
    rec.file->WriteBytes(text + offsets[i], offsets[i + 1] - offsets[i]);
  }
  return Int32(rec.file->GetError());
}
