// The string (root slot 5) and file-name (root slot 9) tables.
#include <cstring>

#include "session.h"

namespace quorhost {
namespace {

// --- String -----------------------------------------------------------------------------

void StringInit(void* s) {
  S().journal.Record("String.Init", {P(s)});
  InitString(s, {});
}

void StringSetText(void* s, const char* text, int32_t length, int32_t encoding) {
  std::string_view bytes;
  if (text != nullptr) bytes = length < 0 ? std::string_view(text) : std::string_view(text, length);
  S().journal.Record("String.SetText", {P(s), length, encoding}, {bytes});
  // Every encoding is taken as UTF-8 bytes as they are; the plug-in passes 0 (8-bit).
  if (std::string* t = StringText(s, "String.SetText")) t->assign(bytes);
}

void StringRelease(void* s) {
  S().journal.Record("String.Release", {P(s)});
  ReleaseString(s);
}

int32_t StringGetLength(const void* s) {
  S().journal.Record("String.GetLength", {P(s)});
  std::string* t = StringText(s, "String.GetLength");
  return t ? CodePointCount(*t) : 0;
}

// Inserts the code points [start, end) of `other` at code point `pos`; start -1 means 0, end
// -1 the end of `other`; positions outside the strings are clamped to them.
void InsertRange(void* s, int32_t pos, const void* other, int32_t start, int32_t end) {
  std::string* t = StringText(s, "String.Insert");
  std::string* o = StringText(other, "String.Insert");
  if (!t || !o) return;
  std::string piece = *o;  // `other` may be `s` itself
  int32_t count = CodePointCount(piece);
  if (start < 0) start = 0;
  if (end < 0 || end > count) end = count;
  if (start > end) start = end;
  size_t from = CodePointOffset(piece, start), to = CodePointOffset(piece, end);
  t->insert(CodePointOffset(*t, pos), piece, from, to - from);
}

void StringInsert12(void* s, int32_t pos, const void* other, int32_t start, int32_t end) {
  if (S().journal.enabled())
    S().journal.Record("String.Insert", {P(s), pos, P(other), start, end},
                       {StringValue(other, "String.Insert")});
  InsertRange(s, pos, other, start, end);
}

void StringInsert115(void* s, int32_t pos, const void* other) {
  if (S().journal.enabled())
    S().journal.Record("String.Insert", {P(s), pos, P(other)},
                       {StringValue(other, "String.Insert")});
  InsertRange(s, pos, other, -1, -1);
}

void StringCopyTo(const void* source, void* destination) {
  S().journal.Record("String.CopyTo", {P(source), P(destination)});
  std::string* from = StringText(source, "String.CopyTo");
  std::string* to = StringText(destination, "String.CopyTo");
  if (from && to) *to = *from;
}

void FreeString(void* s) {
  S().journal.Record("String.Free", {P(s)});
  if (s == nullptr) return;
  if (!FreeHandedOutString(s))
    S().Stray("FreeString: " + Hex(s) + " is not a String the host handed out");
}

// --- Filename ---------------------------------------------------------------------------

void FilenameInit(void* f) {
  S().journal.Record("Filename.Init", {P(f)});
  if (S().r12() && !IsString(f))
    S().Fault("Filename.Init: the embedded String at " + Hex(f) + " was not initialised first");
  InitFilename(f, {}, false);
}

void FilenameRelease(void* f) {
  S().journal.Record("Filename.Release", {P(f)});
  ReleaseFilename(f, false);
}

void FilenameCopy(const void* source, void* destination) {
  if (S().journal.enabled())
    S().journal.Record("Filename.Copy", {P(source), P(destination)},
                       {FilenameValue(source, "Filename.Copy")});
  std::string* from = FilenamePath(source, "Filename.Copy");
  std::string* to = FilenamePath(destination, "Filename.Copy");
  if (from && to) *to = *from;
}

void FilenameSetString(void* f, const void* name) {
  std::string text = StringValue(name, "Filename.SetString");
  S().journal.Record("Filename.SetString", {P(f), P(name)}, {text});
  if (std::string* path = FilenamePath(f, "Filename.SetString")) *path = text;
}

void FilenameClearSuffix(void* f) {
  S().journal.Record("Filename.ClearSuffix", {P(f)});
  if (std::string* path = FilenamePath(f, "Filename.ClearSuffix")) *path = PathWithoutSuffix(*path);
}

void* FilenameGetString12(void* result, const void* f) {
  std::string path = FilenameValue(f, "Filename.GetString");
  S().journal.Record("Filename.GetString", {P(f)}, {path});
  InitString(result, path);
  return result;
}

void* FilenameGetString115(const void* f) {
  S().journal.Record("Filename.GetString", {P(f)});
  if (FilenamePath(f, "Filename.GetString") == nullptr) return nullptr;
  return NewHandedOutString(FilenameValue(f, "Filename.GetString"));
}

void* FilenameGetDirectory12(void* result, const void* f) {
  std::string path = FilenameValue(f, "Filename.GetDirectory");
  S().journal.Record("Filename.GetDirectory", {P(f)}, {path});
  InitFilename(result, PathDirectory(path), true);
  return result;
}

void* FilenameGetDirectory115(const void* f) {
  S().journal.Record("Filename.GetDirectory", {P(f)});
  if (FilenamePath(f, "Filename.GetDirectory") == nullptr) return nullptr;
  return NewHandedOutFilename(PathDirectory(FilenameValue(f, "Filename.GetDirectory")));
}

void FreeFilename(void* f) {
  S().journal.Record("Filename.Free", {P(f)});
  if (f == nullptr) return;
  if (!FreeHandedOutFilename(f))
    S().Stray("FreeFilename: " + Hex(f) + " is not a Filename the host handed out");
}

}  // namespace

void FillString(TableBuilder& t, Generation gen) {
  t.Data(0, &S().empty_string);
  if (gen == Generation::R12) {
    t.Plain(2, StringInit);
    t.Plain(4, StringSetText);
    t.Plain(6, StringRelease);
    t.Member(15, StringGetLength);
    t.Member(19, StringInsert12);
  } else {
    t.Plain(4, FreeString);
    t.Plain(6, StringGetLength);
    t.Plain(12, StringInsert115);
    t.Plain(24, StringInit);
    t.Plain(25, StringSetText);
    t.Plain(27, StringRelease);
    t.Plain(28, StringCopyTo);
  }
}

void FillFilename(TableBuilder& t, Generation gen) {
  bool r12 = gen == Generation::R12;
  if (!r12) t.Plain(3, FreeFilename);
  if (r12)
    t.Plain(6, FilenameGetString12);
  else
    t.Plain(6, FilenameGetString115);
  t.Plain(7, FilenameSetString);
  if (r12)
    t.Plain(8, FilenameGetDirectory12);
  else
    t.Plain(8, FilenameGetDirectory115);
  t.Plain(10, FilenameClearSuffix);
  t.Plain(17, FilenameInit);
  t.Plain(18, FilenameRelease);
  t.Plain(19, FilenameCopy);
}

}  // namespace quorhost
