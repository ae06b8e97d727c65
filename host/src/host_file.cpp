#include "host_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorhost {
namespace {
constexpr size_t kBufferBytes = 64 * 1024;
constexpr int32_t kModeWrite = 2;
}  // namespace

HostFile::HostFile() : buffer_(kBufferBytes) {}

HostFile::~HostFile() {
  if (fd_ >= 0) ::close(fd_);
}

void HostFile::Fail(int32_t code, int error_number, const char* what) {
  if (error_ == kFileErrorNone) error_ = code;
  failure_.path = path_;
  failure_.code = code;
  failure_.error_number = error_number;
  failure_.reason = error_number ? std::strerror(error_number) : what;
}

bool HostFile::Open(const std::string& path, int32_t mode, bool inject_open, bool inject_close,
                    std::optional<FileFailure>* close_failure) {
  if (fd_ >= 0) {
    FileFailure failure;
    if (!Close(inject_close, &failure)) *close_failure = failure;
  }
  path_ = path;
  error_ = kFileErrorNone;
  used_ = 0;
  if (mode != kModeWrite) {
    Fail(kFileErrorOpen, 0, "open mode not served by the host (only 2, write)");
    return false;
  }
  if (inject_open) {
    Fail(kFileErrorOpen, 0, "injected open failure");
    return false;
  }
  int fd;
  do fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    Fail(kFileErrorOpen, errno, "open failed");
    return false;
  }
  fd_ = fd;
  return true;
}

bool HostFile::Write(const void* data, int64_t count, int64_t allowed) {
  if (count < 0 || (count > 0 && data == nullptr)) {
    Fail(kFileErrorWrite, 0, "invalid write arguments");
    return false;
  }
  if (fd_ < 0) {
    Fail(kFileErrorWrite, EBADF, "file not open");
    return false;
  }
  const char* bytes = static_cast<const char*>(data);
  int64_t store = allowed < count ? allowed : count;
  for (int64_t left = store; left > 0;) {
    if (used_ == buffer_.size() && !Flush()) return false;
    size_t piece = std::min(static_cast<size_t>(left), buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, bytes, piece);
    used_ += piece;
    bytes += piece;
    left -= static_cast<int64_t>(piece);
  }
  if (store < count) {
    Fail(kFileErrorWrite, 0, "injected write failure");
    return false;
  }
  return true;
}

bool HostFile::Flush() {
  size_t done = 0;
  while (fd_ >= 0 && done < used_) {
    ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Fail(kFileErrorWrite, n < 0 ? errno : ENOSPC, "write failed");
      used_ = 0;  // the bytes are lost; the error state says so
      return false;
    }
    done += static_cast<size_t>(n);
  }
  used_ = 0;
  return true;
}

bool HostFile::Close(bool inject, FileFailure* failure) {
  if (fd_ < 0) return true;
  bool ok = Flush();
  if (!ok) *failure = failure_;
  int rc = ::close(fd_);
  int close_errno = errno;
  fd_ = -1;
  if (rc != 0 || inject) {
    Fail(kFileErrorClose, rc != 0 ? close_errno : 0, "injected close failure");
    *failure = failure_;
    return false;
  }
  return ok;
}

}  // namespace quorhost
