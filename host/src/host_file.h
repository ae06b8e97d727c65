// A BaseFile: a POSIX file descriptor written through a 64 KiB host buffer, with the host's
// error state (0 fine, -1 open failed, -2 close failed, -4 write failed).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quorhost/books.h"

namespace quorhost {

inline constexpr int32_t kFileErrorNone = 0;
inline constexpr int32_t kFileErrorOpen = -1;
inline constexpr int32_t kFileErrorClose = -2;
inline constexpr int32_t kFileErrorWrite = -4;

class HostFile {
 public:
  HostFile();
  ~HostFile();  // closes without reporting; Close() first to learn the outcome
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;

  // Mode 2 creates or truncates for writing; other modes are refused. An open file is closed
  // first (`inject_open` fails the open with -1, `inject_close` fails that close; a failure is
  // returned through `close_failure`).
  bool Open(const std::string& path, int32_t mode, bool inject_open, bool inject_close,
            std::optional<FileFailure>* close_failure);
  // Appends bytes; false when they could not all be stored. `allowed` bytes of `count` may be
  // stored before an injected failure (count when none).
  bool Write(const void* data, int64_t count, int64_t allowed);
  // Writes the buffer out; false when the system refused bytes (error state -4).
  bool Flush();
  // Flushes and closes; false, with the failure in `failure`, when either fails. `inject`
  // fails the close (-2).
  bool Close(bool inject, FileFailure* failure);

  int32_t error() const { return error_; }
  bool is_open() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }
  const FileFailure& last_failure() const { return failure_; }

 private:
  void Fail(int32_t code, int error_number, const char* what);

  int fd_ = -1;
  std::string path_;
  int32_t error_ = kFileErrorNone;
  std::vector<char> buffer_;
  size_t used_ = 0;
  FileFailure failure_;
};

}  // namespace quorhost
