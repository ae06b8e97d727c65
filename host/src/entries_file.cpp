// The file table (root slot 10).
#include "host_file.h"
#include "session.h"

namespace quorhost {
namespace {

HostFile* Live(void* f, const char* op) {
  auto* file = static_cast<HostFile*>(f);
  if (S().files.count(file)) return file;
  S().Fault(std::string(op) + ": " + Hex(f) + " is not a live BaseFile");
  return nullptr;
}

void NoteFailure(const HostFile& file) { S().last_failure = file.last_failure(); }

void NoteCloseFailure(const FileFailure& failure) {
  S().close_failures.push_back(failure);
  S().last_failure = failure;
}

void* FileAlloc() {
  Session& s = S();
  bool fail = s.faults.Hit(FaultKind::FileAllocation);
  HostFile* file = fail ? nullptr : new HostFile;
  if (file) s.files.insert(file);
  s.journal.Record("File.Alloc", {P(file)});
  return file;
}

void FileFree(void* f) {
  Session& s = S();
  s.journal.Record("File.Free", {P(f)});
  if (f == nullptr) return;
  auto* file = static_cast<HostFile*>(f);
  if (!s.files.count(file)) {
    s.Stray("BaseFile::Free: " + Hex(f) + " is not a live BaseFile");
    return;
  }
  if (file->is_open()) {
    FileFailure failure;
    if (!file->Close(s.faults.Hit(FaultKind::Close), &failure)) NoteCloseFailure(failure);
  }
  s.files.erase(file);
  delete file;
}

int32_t FileOpen(void* f, const void* name, int32_t mode, int32_t dialog, int32_t byte_order,
                 int32_t type, int32_t creator) {
  Session& s = S();
  std::string path = FilenameValue(name, "BaseFile::Open");
  s.journal.Record("File.Open", {P(f), P(name), mode, dialog, byte_order, type, creator}, {path});
  HostFile* file = Live(f, "BaseFile::Open");
  if (!file) return 0;
  bool inject_open = s.faults.Hit(FaultKind::Open);
  bool inject_close = file->is_open() && s.faults.Hit(FaultKind::Close);
  std::optional<FileFailure> close_failure;
  bool ok = file->Open(path, mode, inject_open, inject_close, &close_failure);
  if (close_failure) NoteCloseFailure(*close_failure);
  if (!ok) NoteFailure(*file);
  return ok ? 1 : 0;
}

int32_t FileWriteBytes(void* f, const void* data, int64_t count) {
  Session& s = S();
  s.journal.Record("File.WriteBytes", {P(f), P(data), count});
  HostFile* file = Live(f, "BaseFile::WriteBytes");
  if (!file) return 0;
  int64_t allowed = s.faults.WriteAllowance(count < 0 ? 0 : count);
  bool ok = file->Write(data, count, allowed);
  if (!ok) NoteFailure(*file);
  return ok ? 1 : 0;
}

int32_t FileWriteChar(void* f, int32_t byte) {
  Session& s = S();
  s.journal.Record("File.WriteChar", {P(f), byte});
  HostFile* file = Live(f, "BaseFile::WriteChar");
  if (!file) return 0;
  char c = static_cast<char>(byte);
  bool ok = file->Write(&c, 1, s.faults.WriteAllowance(1));
  if (!ok) NoteFailure(*file);
  return ok ? 1 : 0;
}

int32_t FileGetError(void* f) {
  Session& s = S();
  HostFile* file = Live(f, "BaseFile::GetError");
  int32_t error = kFileErrorOpen;
  if (file) {
    if (!file->Flush()) NoteFailure(*file);
    error = file->error();
  }
  s.journal.Record("File.GetError", {P(f), error});
  return error;
}

}  // namespace

void FillFile(TableBuilder& t, Generation gen) {
  t.Plain(0, FileAlloc);
  t.Plain(1, FileFree);
  if (gen == Generation::R12) {
    t.Member(4, FileOpen);
    t.Member(8, FileWriteBytes);
    t.Member(12, FileGetError);
    t.Member(14, FileWriteChar);
  } else {
    t.Plain(2, FileOpen);
    t.Plain(6, FileWriteBytes);
    t.Plain(10, FileGetError);
    t.Plain(12, FileWriteChar);
  }
}

}  // namespace quorhost
