#include "obj_saver.h"

#include <cmath>
#include <cstring>

#include "c4d_general.h"
#include "c4d_memory.h"
#include "c4d_platform.h"
#include "obj_format.h"
#include "obj_writer.h"

namespace {

constexpr Int32 kFileTypeC4DC = 0x43344443;     // 'C4DC'
constexpr Int32 kFileCreatorC4D1 = 0x43344431;  // 'C4D1'
constexpr char kHeader[] = QUOR_HEADER_TEXT;

// Percentage shown after the frame `done` frames into a range of `count` frames.
Int32 Progress(Int64 done, Int64 count) {
  const float q = float(done) / float(count);
  if (platform::kProgressInDouble) return Int32(100.0 * double(q));
  return Int32(100.0f * q);
}

// The frame's result when it failed, else 0.
FILEERROR FailedOpen(BaseFile* file) {
  const FILEERROR error = file->GetError();
  return error != FILEERROR_NONE ? error : FILEERROR(FILEERROR_OPEN);
}

// Writes one frame file; returns 0 or the error that ends the export.
FILEERROR SaveFrame(SceneSaverNode* node, const Filename& name, BaseDocument* doc, Int32 fps,
                    Int32 width, Int32 frame, BaseTime& frame_time) {
  Filename file_name(name);
  file_name.ClearSuffix();
  String path = file_name.GetString();
  char buffer[256];
  FormatFrameSuffix(buffer, width, frame);
  String suffix(buffer, STRINGENCODING(0));
  path += suffix;
  file_name.SetString(path);

  OBJSAVE rec;
  if (!rec.file) return FILEERROR(FILEERROR_OUTOFMEMORY);
  if (!rec.file->Open(file_name, FILEOPEN_WRITE, FILEDIALOG_NONE, BYTEORDER_INTEL, kFileTypeC4DC,
                      kFileCreatorC4D1)) {
    return FailedOpen(rec.file);
  }

#if QUOR_GEN12
  frame_time.SetNumerator(Real(frame));
  frame_time.SetDenominator(Real(fps));  // a rate below 1 becomes 1, reported to the host
#else
  frame_time.SetNominator(Real(frame));
  // This generation's BaseTime keeps any denominator: a rate below 1 would set the document to
  // an infinite or undefined time, so the frame time uses 1 there, as generation 12 does.
  frame_time.SetDenominator(fps < 1 ? Real(1) : Real(fps));
#endif
  doc->SetTime(frame_time);
#if QUOR_GEN12
  doc->ExecutePasses(nullptr, true, true, true, BUILDFLAGS_0);
  doc->AnimateObject(node, frame_time, ANIMATEFLAGS_0);
#else
  doc->ExecutePasses(nullptr, true, true, true);
  doc->AnimateObject(node, frame_time, 0);
#endif

  rec.doc = doc->Polygonize(0);
  // Without a copy nothing can be written: the frame's file stays empty and the export stops
  // with "out of memory", never with the 0 of a file that was merely opened.
  if (!rec.doc) return FILEERROR(FILEERROR_OUTOFMEMORY);

  rec.file->WriteBytes(kHeader, Int64(sizeof kHeader - 1));
  rec.file->WriteChar('\n');
  WriteObjects(rec, rec.doc->GetFirstObject(), gen::GenMatrix());

  const FILEERROR error = rec.file->GetError();
  if (error != FILEERROR_NONE) return error;
  if (rec.incomplete) return FILEERROR(FILEERROR_OUTOFMEMORY);
  return FILEERROR(FILEERROR_NONE);
}

}  // namespace

Int32 FrameDigitWidth(Int32 last_frame) {
  if (last_frame <= 0) return 1;
  return Int32(1.0 + std::ceil(std::log10(double(last_frame))));
}

Int32 FormatFrameSuffix(char* out, Int32 width, Int32 frame) {
  char digits[kObjMaxInt32Chars];
  const char* number = digits;
  Int32 length = Int32(ObjFormatInt32(frame, digits) - digits);
  char* p = out;
  *p++ = '_';
  if (*number == '-') {  // the sign comes first and counts toward the width
    *p++ = '-';
    ++number;
    --length;
    --width;
  }
  for (Int32 zeros = width - length; zeros > 0; --zeros) *p++ = '0';
  std::memcpy(p, number, size_t(length));
  p += length;
  std::memcpy(p, ".obj", 5);
  return Int32(p + 4 - out);
}

NodeData* OBJSaverData::Alloc() { return NewObj(OBJSaverData); }

FILEERROR OBJSaverData::Save(SceneSaverNode* node, const Filename& name, BaseDocument* doc,
                             SCENEFILTER filterflags) {
  if (!(filterflags & SCENEFILTER_OBJECTS)) return FILEERROR(FILEERROR_NONE);

  const Int32 fps = doc->GetFps();
  const BaseTime min_time = doc->GetMinTime();
  const BaseTime max_time = doc->GetMaxTime();
  const Int32 last = max_time.GetFrame(Real(fps));
  const Int32 first = min_time.GetFrame(Real(fps));
  const Int64 count = Int64(last) - Int64(first) + 1;
  const Int32 width = FrameDigitWidth(last);
  if (count <= 0) return FILEERROR(FILEERROR_NONE);

  BaseTime frame_time;
  for (Int64 frame = first; frame <= last; ++frame) {
    const FILEERROR error = SaveFrame(node, name, doc, fps, width, Int32(frame), frame_time);
    if (error != FILEERROR_NONE) return error;
    StatusSetBar(Progress(frame - first, count));
  }
  return FILEERROR(FILEERROR_NONE);
}
