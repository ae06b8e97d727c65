// The root table and the layout of the sub-tables.
#include "host_fixture.h"

namespace hosttest {
namespace {

class TablesTest : public HostTest {};

TEST_P(TablesTest, RootSlotZeroHoldsTheConfiguredVersion) {
  struct Case {
    int32_t configured, expected;
  };
  for (Case k : {Case{0, r12() ? 12000 : 11500}, Case{11499, 11499}, Case{11500, 11500},
                 Case{11999, 11999}, Case{12000, 12000}}) {
    quorhost::HostOptions options;
    options.api_version = k.configured;
    Start(options);
    uint64_t slot0;
    std::memcpy(&slot0, host().root_table(), sizeof slot0);
    EXPECT_EQ(c().Version(), k.expected);
    EXPECT_EQ(slot0 >> 32, 0u) << "the upper four bytes of slot 0 are 0";
  }
}

TEST_P(TablesTest, MemberEntriesAreEvenCodesWithoutAdjustment) {
  struct Entry {
    Table table;
    int pos12, pos115;
  };
  const Entry entries[] = {{Table::Container, 5, 37},  {Table::String, 15, 6},
                           {Table::String, 19, 12},    {Table::File, 4, 2},
                           {Table::File, 14, 12},      {Table::Object, 9, 16},
                           {Table::Document, 82, 100}, {Table::Atom, 1, 1},
                           {Table::Atom, 15, 15},      {Table::Atom, 37, 38}};
  for (const Entry& e : entries) {
    int pos = r12() ? e.pos12 : e.pos115;
    SCOPED_TRACE(testing::Message()
                 << "table " << static_cast<int>(e.table) << " position " << pos);
    if (hostabi::IsMember(e.table, pos, r12())) {
      hostabi::Member m = c().MemberAt(e.table, pos);
      EXPECT_NE(m.code, 0u);
      EXPECT_EQ(m.code & 1, 0u);
      EXPECT_EQ(m.adjustment, 0);
    } else {
      EXPECT_EQ(c().Word(e.table, pos) & 1, 0u);
    }
  }
}

using TablesDeathTest = TablesTest;

TEST_P(TablesDeathTest, UnservedPositionsStopTheProcessNamingTableAndPosition) {
  EXPECT_DEATH(c().Plain<void>(Table::String, 1), "quorhost: unserved entry string 1");
  EXPECT_DEATH(c().Plain<void>(Table::General, r12() ? 2 : 3),
               r12() ? "unserved entry general 2" : "unserved entry general 3");
  // Root slot 2 is not served: its trap table names the slot.
  EXPECT_DEATH(reinterpret_cast<void (*)()>(
                   reinterpret_cast<void**>(reinterpret_cast<void**>(host().root_table())[2])[5])(),
               "quorhost: unserved entry root-slot-2 5");
}

HOST_TEST_P(TablesTest);
HOST_TEST_P(TablesDeathTest);

}  // namespace
}  // namespace hosttest
