// Test probes: plug-in code built into a test-only library beside the exporter, so that tests
// can reach the binding layer's parts that the host never calls directly. Each probe is one
// C function; the library exports these and c4d_main.
#include <cstring>
#include <new>

#include "c4d_basedocument.h"
#include "c4d_basetime.h"
#include "c4d_library.h"
#include "c4d_memory.h"
#include "c4d_platform.h"
#include "c4d_resource.h"
#include "c4d_string.h"
#include "lib_description.h"
#include "obj_saver.h"
#include "operatingsystem.h"

#define PROBE extern "C" QUOR_EXPORT

PROBE void quor_probe_bind(void* table) { InitOS(table); }
PROBE void quor_probe_unbind() { t_C4DOS = nullptr; }
PROBE Int32 quor_probe_stdlib_mem_used() { return stdlib_mem_used; }

// Allocation forms: 0 new, 1 new[], 2 new nothrow, 3 new[] nothrow, 4 new with line and file,
// 5 new[] with line and file, 6 new with line, file and clear, 7 new[] with line, file and clear.
PROBE void* quor_probe_new(int form, size_t size, int line, const char* file, int clear) {
  switch (form) {
    case 0: return platform::Opaque(operator new(size));
    case 1: return platform::Opaque(operator new[](size));
    case 2: return operator new(size, std::nothrow);
    case 3: return operator new[](size, std::nothrow);
    case 4: return operator new(size, std::nothrow, line, file);
    case 5: return operator new[](size, std::nothrow, line, file);
    case 6: return operator new(size, std::nothrow, line, file, clear);
    case 7: return operator new[](size, std::nothrow, line, file, clear);
    default: return nullptr;
  }
}

// Release forms: 0 delete, 1 delete[], 2 sized delete, 3 placement delete with line and file,
// 4 placement delete[] with line and file.
PROBE void quor_probe_delete(int form, void* p) {
  switch (form) {
    case 0: operator delete(p); break;
    case 1: operator delete[](p); break;
    case 2: operator delete(p, size_t(1)); break;
    case 3: operator delete(p, std::nothrow, 0, nullptr); break;
    case 4: operator delete[](p, std::nothrow, 0, nullptr); break;
    default: break;
  }
}

PROBE void* quor_probe_polygonize(void* doc, Int32 flag) {
  return static_cast<BaseDocument*>(doc)->Polygonize(flag);
}

PROBE void quor_probe_free_document(void* doc) {
  BaseDocument* d = static_cast<BaseDocument*>(doc);
  BaseDocument::Free(d);
}

PROBE Int32 quor_probe_get_fps(void* doc) { return static_cast<BaseDocument*>(doc)->GetFps(); }

// which: 0 the first time, 1 the last time.
PROBE void quor_probe_get_time(void* doc, int which, double* num, double* den) {
  BaseDocument* d = static_cast<BaseDocument*>(doc);
  const BaseTime t = which == 0 ? d->GetMinTime() : d->GetMaxTime();
  *num = double(t.GetNumerator());
  *den = double(t.GetDenominator());
}

PROBE void quor_probe_set_time(void* doc, double num, double den) {
  BaseTime t;
#if QUOR_GEN12
  t.SetNumerator(Real(num));
#else
  t.SetNominator(Real(num));
#endif
  t.SetDenominator(Real(den));
  static_cast<BaseDocument*>(doc)->SetTime(t);
}

PROBE double quor_probe_set_denominator(double d) {
  BaseTime t;
  t.SetDenominator(Real(d));
  return double(t.GetDenominator());
}

PROBE Int32 quor_probe_get_frame(double num, double den, double fps) {
  BaseTime t;
#if QUOR_GEN12
  t.SetNumerator(Real(num));
#else
  t.SetNominator(Real(num));
#endif
  t.SetDenominator(Real(den));
  return t.GetFrame(Real(fps));
}

PROBE void* quor_probe_check_description_library(Int64 offset) {
  return CheckLibObjectList(Int(offset));
}

PROBE Int32 quor_probe_digit_width(Int32 last) { return FrameDigitWidth(last); }

PROBE Int32 quor_probe_frame_suffix(Int32 width, Int32 frame, char* out) {
  return FormatFrameSuffix(out, width, frame);
}

// Strings: `a += b`, then the text of the result into `out` (through the host's view of it,
// see the test) and its length as the result.
PROBE Int32 quor_probe_string_append(const char* a, const char* b, void** keep) {
  String* s = new (std::nothrow, __LINE__, __FILE__) String(a, STRINGENCODING(0));
  if (!s) return -1;
  String other(b, STRINGENCODING(0));
  String& result = (*s += other);
  *keep = &result == s ? s : nullptr;
  return s->GetLength();
}

PROBE void quor_probe_string_delete(void* s) { delete static_cast<String*>(s); }

// Filenames: the path of `name` without its suffix, and its directory, as new plug-in values
// (read them with the host, release with quor_probe_filename_delete).
PROBE void* quor_probe_filename_without_suffix(const void* name) {
  Filename* f = new (std::nothrow, __LINE__, __FILE__) Filename(*static_cast<const Filename*>(name));
  if (f) f->ClearSuffix();
  return f;
}
PROBE void* quor_probe_filename_directory(const void* name) {
  const Filename& source = *static_cast<const Filename*>(name);
  return new (std::nothrow, __LINE__, __FILE__) Filename(source.GetDirectory());
}
PROBE void* quor_probe_filename_string(const void* name) {
  const Filename& source = *static_cast<const Filename*>(name);
  return new (std::nothrow, __LINE__, __FILE__) String(source.GetString());
}
PROBE void quor_probe_filename_delete(void* f) { delete static_cast<Filename*>(f); }

// Resources: a GeResource of its own per test.
PROBE void* quor_probe_resource_new() { return new (std::nothrow, __LINE__, __FILE__) GeResource; }
PROBE Bool quor_probe_resource_init(void* r, const void* directory) {
  return static_cast<GeResource*>(r)->Init(*static_cast<const Filename*>(directory));
}
PROBE void quor_probe_resource_free(void* r) { static_cast<GeResource*>(r)->Free(); }
PROBE Bool quor_probe_resource_reload(void* r) { return static_cast<GeResource*>(r)->ReloadResource(); }
PROBE const void* quor_probe_resource_load_string(void* r, Int32 id) {
  return &static_cast<GeResource*>(r)->LoadString(id);
}
PROBE void* quor_probe_resource_handle(void* r) { return static_cast<GeResource*>(r)->Get(); }
PROBE void quor_probe_resource_delete(void* r) { delete static_cast<GeResource*>(r); }
