// BaseFile through the file table: real files, error codes, buffering and injected faults.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host_fixture.h"

namespace hosttest {
namespace {

namespace fs = std::filesystem;
using quorhost::FaultKind;

class FilesTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    dir_ =
        fs::temp_directory_path() / ("quorhost_files_" + std::to_string(getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    HostTest::TearDown();
    fs::remove_all(dir_);
  }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  fs::path dir_;
};

TEST_P(FilesTest, WritesBytesAndCharsInOrder) {
  std::string path = PathOf("out.obj");
  { std::ofstream(path) << "old content that must be truncated"; }
  Name name(c(), path);
  void* file = c().FileAlloc();
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(c().FileOpen(file, name.f), 1);
  EXPECT_EQ(c().FileWrite(file, "v 1", 3), 1);
  EXPECT_EQ(c().FileWriteChar(file, '\n'), 1);
  EXPECT_EQ(c().FileWriteChar(file, static_cast<char>(0xE9)), 1);  // sign-extended on the way
  EXPECT_EQ(c().FileError(file), 0);
  EXPECT_EQ(host().books().open_files, 1);
  c().FileFree(file);
  EXPECT_EQ(Contents(path), "v 1\n\xE9");
}

TEST_P(FilesTest, WritesLargerThanTheBufferArriveWhole) {
  std::string path = PathOf("big.obj");
  std::string data(200 * 1024 + 17, 'x');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
  Name name(c(), path);
  void* file = c().FileAlloc();
  ASSERT_EQ(c().FileOpen(file, name.f), 1);
  EXPECT_EQ(c().FileWrite(file, data.data(), 5), 1);
  EXPECT_EQ(c().FileWrite(file, data.data() + 5, static_cast<int64_t>(data.size() - 5)), 1);
  c().FileFree(file);
  EXPECT_EQ(Contents(path), data);
}

TEST_P(FilesTest, OpenInAMissingFolderFailsWithMinusOne) {
  std::string path = PathOf("missing/out.obj");
  Name name(c(), path);
  void* file = c().FileAlloc();
  EXPECT_EQ(c().FileOpen(file, name.f), 0);
  EXPECT_EQ(c().FileError(file), -1);
  auto failure = host().last_file_failure();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->path, path);
  EXPECT_EQ(failure->code, -1);
  EXPECT_EQ(failure->error_number, ENOENT);
  EXPECT_EQ(failure->reason, std::strerror(ENOENT));
  EXPECT_EQ(c().FileWrite(file, "x", 1), 0) << "writing to a file that is not open fails";
  c().FileFree(file);
}

TEST_P(FilesTest, GetErrorFlushesSoAFullDeviceShowsMinusFour) {
  Name name(c(), "/dev/full");
  void* file = c().FileAlloc();
  ASSERT_EQ(c().FileOpen(file, name.f), 1);
  EXPECT_EQ(c().FileWrite(file, "abc", 3), 1) << "buffered: the device is not asked yet";
  EXPECT_EQ(c().FileError(file), -4);
  EXPECT_EQ(host().last_file_failure()->error_number, ENOSPC);
  c().FileFree(file);
  EXPECT_TRUE(host().books().close_failures.empty()) << "the failure was reported by GetError";
}

TEST_P(FilesTest, FailureWhileFreeFlushesIsRecordedInTheBooks) {
  Name name(c(), "/dev/full");
  void* file = c().FileAlloc();
  ASSERT_EQ(c().FileOpen(file, name.f), 1);
  c().FileWrite(file, "abc", 3);
  c().FileFree(file);
  quorhost::Books books = host().books();
  ASSERT_EQ(books.close_failures.size(), 1u);
  EXPECT_EQ(books.close_failures[0].path, "/dev/full");
  EXPECT_EQ(books.close_failures[0].code, -4);
  EXPECT_EQ(books.close_failures[0].error_number, ENOSPC);
  EXPECT_FALSE(books.Clean());
  host().AcknowledgeFailures();
}

TEST_P(FilesTest, InjectedWriteFailureStoresTheBytesUpToN) {
  std::string path = PathOf("partial.obj");
  Name name(c(), path);
  void* file = c().FileAlloc();
  ASSERT_EQ(c().FileOpen(file, name.f), 1);
  host().faults().Arm(FaultKind::Write, 5);
  EXPECT_EQ(c().FileWrite(file, "abc", 3), 1);
  EXPECT_EQ(c().FileWrite(file, "defg", 4), 0) << "this write crosses byte 5";
  EXPECT_EQ(c().FileError(file), -4);
  EXPECT_EQ(c().FileWriteChar(file, 'h'), 1) << "a one-time fault fails one write";
  c().FileFree(file);
  EXPECT_EQ(Contents(path), "abcdeh");
}

TEST_P(FilesTest, PersistentWriteFailureFailsEveryLaterWrite) {
  std::string path = PathOf("persistent.obj");
  Name name(c(), path);
  void* file = c().FileAlloc();
  ASSERT_EQ(c().FileOpen(file, name.f), 1);
  host().faults().Arm(FaultKind::Write, 2, true);
  EXPECT_EQ(c().FileWrite(file, "abc", 3), 0);
  EXPECT_EQ(c().FileWriteChar(file, 'd'), 0);
  c().FileFree(file);
  EXPECT_EQ(Contents(path), "ab");
}

TEST_P(FilesTest, InjectedOpenCloseAndAllocFaults) {
  std::string path = PathOf("faults.obj");
  Name name(c(), path);
  host().faults().Arm(FaultKind::FileAllocation, 1);
  EXPECT_EQ(c().FileAlloc(), nullptr);
  void* file = c().FileAlloc();
  ASSERT_NE(file, nullptr);
  host().faults().Arm(FaultKind::Open, 1);
  EXPECT_EQ(c().FileOpen(file, name.f), 0);
  EXPECT_EQ(c().FileError(file), -1);
  EXPECT_EQ(c().FileOpen(file, name.f), 1) << "a one-time fault";
  EXPECT_EQ(c().FileError(file), 0);
  host().faults().Arm(FaultKind::Close, 1);
  c().FileFree(file);
  quorhost::Books books = host().books();
  ASSERT_EQ(books.close_failures.size(), 1u);
  EXPECT_EQ(books.close_failures[0].code, -2);
  EXPECT_EQ(host().faults().Count(FaultKind::FileAllocation), 2);
  EXPECT_EQ(host().faults().Count(FaultKind::Open), 2);
  host().AcknowledgeFailures();
}

TEST_P(FilesTest, FreeAcceptsNullAndRecordsStrayHandles) {
  c().FileFree(nullptr);
  EXPECT_TRUE(host().books().Clean());
  int not_a_file = 0;
  c().FileFree(&not_a_file);
  EXPECT_EQ(host().books().stray_releases.size(), 1u);
  host().AcknowledgeFailures();
}

TEST_P(FilesTest, JournalRecordsTheOpenArgumentsAndPath) {
  std::string path = PathOf("journal.obj");
  Name name(c(), path);
  void* file = c().FileAlloc();
  host().journal().Enable(true);
  c().FileOpen(file, name.f);
  c().FileWrite(file, "ab", 2);
  host().journal().Enable(false);
  c().FileWriteChar(file, 'c');
  c().FileFree(file);
  const auto& entries = host().journal().entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].op, "File.Open");
  EXPECT_EQ(entries[0].values, (std::vector<int64_t>{reinterpret_cast<intptr_t>(file),
                                                     reinterpret_cast<intptr_t>(name.f), 2, 0, 2,
                                                     0x43344443, 0x43344431}));
  EXPECT_EQ(entries[0].texts, std::vector<std::string>{path});
  EXPECT_EQ(entries[1].op, "File.WriteBytes");
  EXPECT_EQ(entries[1].values.back(), 2);
}

HOST_TEST_P(FilesTest);

}  // namespace
}  // namespace hosttest
