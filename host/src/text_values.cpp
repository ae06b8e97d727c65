#include "text_values.h"

#include <cstring>

#include "session.h"

namespace quorhost {
namespace {

TextCell* Cell(void* storage) { return static_cast<TextCell*>(storage); }
const TextCell* Cell(const void* storage) { return static_cast<const TextCell*>(storage); }

size_t FilenameCellOffset() { return S().r12() ? 16 : 0; }
TextCell* FileCell(void* storage) {
  return Cell(static_cast<char*>(storage) + FilenameCellOffset());
}
const TextCell* FileCell(const void* storage) {
  return Cell(static_cast<const char*>(storage) + FilenameCellOffset());
}

void Track(const void* storage, bool filename, ValueOwner owner, const char* op) {
  if (owner == ValueOwner::Permanent) return;
  auto [it, inserted] = S().live_values.emplace(storage, ValueInfo{filename, owner});
  if (!inserted) {
    S().Fault(std::string(op) + ": value at " + Hex(storage) +
              " initialised again without a release in between");
    it->second = ValueInfo{filename, owner};
  }
}

void Untrack(const void* storage) { S().live_values.erase(storage); }

void SetCell(TextCell* cell, std::string_view text, uint64_t magic) {
  cell->text = text.empty() ? nullptr : new std::string(text);
  cell->magic = magic;
}

void ClearCell(TextCell* cell) {
  delete cell->text;
  cell->text = nullptr;
  cell->magic = 0;
}

}  // namespace

void InitString(void* storage, std::string_view text, ValueOwner owner) {
  TextCell* cell = Cell(storage);
  if (cell->magic == kStringMagic && S().live_values.count(storage)) delete cell->text;
  Track(storage, false, owner, "String.Init");
  SetCell(cell, text, kStringMagic);
}

void ReleaseString(void* storage) {
  TextCell* cell = Cell(storage);
  if (cell->magic != kStringMagic) {
    S().Fault("String.Release: " + Hex(storage) + " is not an initialised String");
    return;
  }
  Untrack(storage);
  ClearCell(cell);
}

bool IsString(const void* storage) {
  return storage != nullptr && Cell(storage)->magic == kStringMagic;
}

std::string* StringText(const void* storage, const char* op) {
  if (!IsString(storage)) {
    S().Fault(std::string(op) + ": " + Hex(storage) + " is not an initialised String");
    return nullptr;
  }
  TextCell* cell = const_cast<TextCell*>(Cell(storage));
  if (!cell->text) cell->text = new std::string;
  return cell->text;
}

std::string StringValue(const void* storage, const char* op) {
  if (storage == nullptr) return {};
  std::string* text = StringText(storage, op);
  return text ? *text : std::string();
}

size_t FilenameSize() { return S().r12() ? 32 : 16; }

void InitFilename(void* storage, std::string_view path, bool with_embedded, ValueOwner owner) {
  if (S().r12() && with_embedded) InitString(storage, {}, ValueOwner::Permanent);
  // Tracked by the address of its own cell: in R12 the embedded String shares the Filename's
  // address.
  TextCell* cell = FileCell(storage);
  if (cell->magic == kFilenameMagic && S().live_values.count(cell)) delete cell->text;
  Track(cell, true, owner, "Filename.Init");
  SetCell(cell, path, kFilenameMagic);
}

void ReleaseFilename(void* storage, bool with_embedded) {
  TextCell* cell = FileCell(storage);
  if (cell->magic != kFilenameMagic) {
    S().Fault("Filename.Release: " + Hex(storage) + " is not an initialised Filename");
    return;
  }
  Untrack(cell);
  ClearCell(cell);
  if (S().r12() && with_embedded) ClearCell(Cell(storage));
}

bool IsFilename(const void* storage) {
  if (storage == nullptr || FileCell(storage)->magic != kFilenameMagic) return false;
  // In R12 the plug-in initialises the embedded String before, and releases it after, the
  // file-name entries; a Filename without it was not constructed as the contract says.
  return !S().r12() || Cell(storage)->magic == kStringMagic;
}

std::string* FilenamePath(const void* storage, const char* op) {
  if (!IsFilename(storage)) {
    S().Fault(std::string(op) + ": " + Hex(storage) + " is not an initialised Filename");
    return nullptr;
  }
  TextCell* cell = const_cast<TextCell*>(FileCell(storage));
  if (!cell->text) cell->text = new std::string;
  return cell->text;
}

std::string FilenameValue(const void* storage, const char* op) {
  if (storage == nullptr) return {};
  std::string* path = FilenamePath(storage, op);
  return path ? *path : std::string();
}

void* NewHandedOutString(std::string_view text) {
  void* storage = new TextCell{nullptr, 0};
  InitString(storage, text, ValueOwner::HandedOut);
  return storage;
}

void* NewHandedOutFilename(std::string_view path) {
  void* storage = new TextCell{nullptr, 0};  // 16 bytes: only R11_5 hands Filenames out
  InitFilename(storage, path, false, ValueOwner::HandedOut);
  return storage;
}

bool FreeHandedOutString(void* storage) {
  auto it = S().live_values.find(storage);
  if (it == S().live_values.end() || it->second.filename ||
      it->second.owner != ValueOwner::HandedOut)
    return false;
  ReleaseString(storage);
  delete Cell(storage);
  return true;
}

bool FreeHandedOutFilename(void* storage) {
  auto it = S().live_values.find(storage);
  if (it == S().live_values.end() || !it->second.filename ||
      it->second.owner != ValueOwner::HandedOut)
    return false;
  ReleaseFilename(storage, false);
  delete Cell(storage);
  return true;
}

int32_t CodePointCount(std::string_view text) {
  int32_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

size_t CodePointOffset(std::string_view text, int32_t index) {
  if (index <= 0) return 0;
  int32_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (seen == index) return i;
      ++seen;
    }
  }
  return text.size();
}

std::string PathWithoutSuffix(std::string_view path) {
  size_t name_start = path.rfind('/');
  name_start = name_start == std::string_view::npos ? 0 : name_start + 1;
  std::string_view name = path.substr(name_start);
  size_t leading = name.find_first_not_of('.');
  if (leading == std::string_view::npos) return std::string(path);  // ".", ".."
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot < leading) return std::string(path);
  return std::string(path.substr(0, name_start + dot));
}

std::string PathDirectory(std::string_view path) {
  size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;  // "/a/b/" names the folder b
  size_t slash = path.substr(0, end).rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

}  // namespace quorhost
