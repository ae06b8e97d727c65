// Files and folders for the tests: a temporary folder that cleans up after itself, and whole-file
// reads and writes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quortest {

// A fresh folder under the system's temporary folder, removed with everything in it (read-only
// sub-folders included).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The names of the entries in the folder (or in its sub-folder `sub`), sorted.
  std::vector<std::string> Files(const std::string& sub = {}) const;

 private:
  std::filesystem::path path_;
};

// The whole file, "" when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes `text` as the whole file; a test failure when it cannot.
void WriteFile(const std::string& path, const std::string& text);

}  // namespace quortest
