// The host allocator and its books.
#include "host_fixture.h"

namespace hosttest {
namespace {

using quorhost::FaultKind;

class MemoryTest : public HostTest {
 protected:
  void* Alloc(int64_t size, bool clear, int32_t line, const char* file) {
    int pos = clear ? (r12() ? 63 : 82) : (r12() ? 106 : 126);
    return c().Plain<void*>(Table::General, pos, size, line, file);
  }
  void Release(void* block) { c().Plain<void>(Table::General, r12() ? 0 : 1, block); }
};

TEST_P(MemoryTest, ClearedBlocksAreZeroAndCounted) {
  auto* a = static_cast<unsigned char*>(Alloc(100, true, 12, "/src/a.cpp"));
  void* b = Alloc(8, false, 34, "/src/b.cpp");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(a[i], 0) << i;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 16, 0u);
  quorhost::Books books = host().books();
  EXPECT_EQ(books.live_blocks, 2);
  EXPECT_EQ(books.live_bytes, 108);
  ASSERT_EQ(books.leaks.size(), 2u);
  EXPECT_EQ(books.leaks[0].file, "/src/a.cpp");
  EXPECT_EQ(books.leaks[0].line, 12);
  EXPECT_EQ(books.leaks[1].file, "/src/b.cpp");
  EXPECT_EQ(books.leaks[1].size, 8);
  EXPECT_NE(books.Describe().find("/src/b.cpp:34"), std::string::npos);
  Release(a);
  Release(b);
  EXPECT_EQ(host().books().live_blocks, 0);
}

TEST_P(MemoryTest, TheFileTextIsKeptNotThePointer) {
  char file[] = "/src/c.cpp";
  void* block = Alloc(1, true, 1, file);
  file[5] = 'X';
  EXPECT_EQ(host().books().leaks.at(0).file, "/src/c.cpp");
  Release(block);
}

TEST_P(MemoryTest, SizeZeroGivesABlockNegativeGivesNull) {
  void* block = Alloc(0, true, 0, nullptr);
  EXPECT_NE(block, nullptr);
  EXPECT_EQ(Alloc(-1, true, 0, nullptr), nullptr);
  Release(block);
}

TEST_P(MemoryTest, ReleasingForeignOrTwiceReleasedBlocksIsRecorded) {
  int local = 0;
  Release(&local);
  void* block = Alloc(4, false, 1, "f");
  Release(block);
  Release(block);
  Release(nullptr);
  EXPECT_EQ(host().books().stray_releases.size(), 2u);
  host().AcknowledgeFailures();
}

TEST_P(MemoryTest, AnOverwrittenHeaderIsReportedAsAFault) {
  auto* block = static_cast<unsigned char*>(Alloc(16, true, 1, "f"));
  block[-32] ^= 0xFF;  // an underrun into the host's header
  Release(block);
  EXPECT_EQ(host().books().faults.size(), 1u);
  EXPECT_EQ(host().books().live_blocks, 0);
  host().AcknowledgeFailures();
}

TEST_P(MemoryTest, InjectedAllocationFailure) {
  host().faults().Arm(FaultKind::Allocation, 2);
  void* first = Alloc(1, true, 1, "f");
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(Alloc(1, false, 1, "f"), nullptr);
  void* third = Alloc(1, true, 1, "f");
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(host().faults().Count(FaultKind::Allocation), 3);
  Release(first);
  Release(third);
}

HOST_TEST_P(MemoryTest);

}  // namespace
}  // namespace hosttest
