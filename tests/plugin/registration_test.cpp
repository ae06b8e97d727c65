// The saver's registration record, read as the host reads it, and the node class behind it.
#include "support.h"

namespace quortest {
namespace {

class RegistrationTest : public testing::TestWithParam<GenerationCase> {
 protected:
  bool R12() const { return GetParam().generation == quorhost::Generation::R12; }
};

TEST_P(RegistrationTest, RecordHoldsExactlyTheSaversMembers) {
  Session session(GetParam());
  ASSERT_EQ(session.start_result, 1);
  ASSERT_EQ(session.host().registrations().size(), 1u);
  const quorhost::Registration& r = session.registration();
  EXPECT_EQ(r.api, R12() ? 12000 : 11500);
  EXPECT_EQ(r.type, R12() ? 16 : 25);
  EXPECT_EQ(r.id, 1026826);
  EXPECT_EQ(r.name, "Quorvan OBJ Sequence");
  EXPECT_EQ(r.size, 1152);
  ASSERT_EQ(r.record.size(), 1152u);
  EXPECT_TRUE(r.has_suffix);
  EXPECT_EQ(r.suffix, "obj");

  const int callbacks = R12() ? 16 : 17;
  for (int cell = 0; cell < 72; ++cell) {
    SCOPED_TRACE(cell);
    const uint64_t code = r.Word(cell, 0), adjustment = r.Word(cell, 1);
    if (cell == 4) {
      EXPECT_NE(code, 0u);  // allocation hook, a plain function
      EXPECT_EQ(adjustment, 0u);
    } else if (cell == 5) {
      EXPECT_NE(code, 0u);  // BaseData::Destructor, not virtual
      EXPECT_EQ(code & 1, 0u);
      EXPECT_EQ(adjustment, 0u);
    } else if ((cell >= 6 && cell < 6 + callbacks) || cell == 33) {
      EXPECT_EQ(code & 1, 1u);  // a virtual function: 1 + its virtual-table offset
      EXPECT_EQ(adjustment, 0u);
    } else if (cell == 32) {
      EXPECT_NE(code, 0u);  // the suffix string
      EXPECT_EQ(adjustment, 0u);
    } else {
      EXPECT_EQ(code, 0u);  // info 0, disk level 0, data, icon and everything unused
      EXPECT_EQ(adjustment, 0u);
    }
  }
  // Virtual-table offsets grow in the record's order except where the slot order differs.
  EXPECT_GT(r.Word(33), r.Word(6));
}

TEST_P(RegistrationTest, NodeDefaultsAnswerThroughTheRecord) {
  Session session(GetParam());
  std::string error;
  auto node = quorhost::SaverNode::Create(session.registration(), &error);
  ASSERT_TRUE(node) << error;
  std::vector<std::pair<std::string, int64_t>> expected = {
      {"Init", 1},          {"Free", 0},          {"Read", 1},
      {"Write", 1},         {"CopyTo", 1},        {"Message", 1},
      {"GetDocument", 0},   {"GetBubbleHelp", 0}, {"GetDDescription", 0},
      {"GetDParameter", 1}, {"SetDParameter", 1}, {"GetDEnabling", 1},
  };
  if (!R12()) expected.push_back({"GetBranchInfoEx", 0});
  expected.insert(expected.end(), {{"IsInstanceOf", 0},
                                   {"GetBranchInfo", 0},
                                   {"TranslateDescID", 0},
                                   {"IsDocumentRelated", 0}});
  std::vector<std::pair<std::string, int64_t>> got;
  for (const auto& result : node->CallNodeCallbacks()) got.push_back({result.name, result.value});
  EXPECT_EQ(got, expected);
  node.reset();
  session.Shutdown();
  EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
}

TEST_P(RegistrationTest, DestructorHookIgnoresANullObject) {
  Session session(GetParam());
  const auto destructor = reinterpret_cast<void (*)(void*)>(session.registration().Word(5));
  const auto before = session.host().books().live_blocks;
  destructor(nullptr);
  EXPECT_EQ(session.host().books().live_blocks, before);
}

TEST_P(RegistrationTest, ExhaustedMemoryGivesNoNode) {
  Session session(GetParam());
  session.host().faults().Arm(quorhost::FaultKind::Allocation, 1);
  std::string error;
  EXPECT_FALSE(quorhost::SaverNode::Create(session.registration(), &error));
  session.Shutdown();
  EXPECT_TRUE(session.host().books().Clean()) << session.host().books().Describe();
}

TEST_P(RegistrationTest, NodeObjectComesFromTheHostWithItsSourceLine) {
  Session session(GetParam());
  const auto before = session.host().books();
  std::string error;
  auto node = quorhost::SaverNode::Create(session.registration(), &error);
  ASSERT_TRUE(node) << error;
  const auto during = session.host().books();
  ASSERT_EQ(during.live_blocks, before.live_blocks + 1);
  bool found = false;
  for (const auto& block : during.leaks) {
    found = found || (block.file.find("obj_saver.cpp") != std::string::npos && block.line > 0);
  }
  EXPECT_TRUE(found);
  node.reset();
  EXPECT_EQ(session.host().books().live_blocks, before.live_blocks);
}

INSTANTIATE_TEST_SUITE_P(Generations, RegistrationTest, testing::ValuesIn(Generations()),
                         GenerationName);

}  // namespace
}  // namespace quortest
