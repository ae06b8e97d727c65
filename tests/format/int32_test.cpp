#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "format_reference.h"

namespace {

TEST(Int32, TableMatchesPrintf) {
  const struct {
    int32_t value;
    const char* expected;
  } cases[] = {
      {0, "0"},
      {1, "1"},
      {-1, "-1"},
      {9, "9"},
      {10, "10"},
      {99, "99"},
      {100, "100"},
      {-100, "-100"},
      {999999999, "999999999"},
      {1000000000, "1000000000"},
      {std::numeric_limits<int32_t>::max(), "2147483647"},
      {std::numeric_limits<int32_t>::min(), "-2147483648"},
      {std::numeric_limits<int32_t>::min() + 1, "-2147483647"},
  };
  quor_test::ExactBuffers buffers;
  for (const auto& c : cases) {
    EXPECT_EQ(buffers.Int32(c.value), c.expected);
    EXPECT_EQ(buffers.Int32(c.value), quor_test::PrintfInt32(c.value));
  }
}

TEST(Int32, PowersOfTenNeighboursAndRandomValuesMatchPrintf) {
  quor_test::ExactBuffers buffers;
  int mismatches = 0;
  auto check = [&](int32_t v) {
    const std::string ours = buffers.Int32(v);
    const std::string ref = quor_test::PrintfInt32(v);
    if (ours != ref && ++mismatches <= 5) ADD_FAILURE() << v << ": \"" << ours << "\"";
  };
  for (int64_t p = 1; p <= 1000000000; p *= 10) {
    for (int64_t d = -1; d <= 1; ++d) {
      check(static_cast<int32_t>(p + d));
      check(static_cast<int32_t>(-(p + d)));
    }
  }
  std::mt19937 rng(2026);
  for (int i = 0; i < 500000; ++i) {
    const uint32_t bits = rng();
    check(static_cast<int32_t>(bits >> (rng() % 32)));  // every digit count, both signs
    check(static_cast<int32_t>(bits));
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Int32, ReturnsTheEndAndWritesNoTerminator) {
  char buf[kObjMaxInt32Chars + 1];
  std::memset(buf, '#', sizeof buf);
  const char* end = ObjFormatInt32(std::numeric_limits<int32_t>::min(), buf);
  EXPECT_EQ(end - buf, kObjMaxInt32Chars);
  EXPECT_EQ(buf[kObjMaxInt32Chars], '#');
}

}  // namespace
