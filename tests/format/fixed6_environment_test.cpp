// The text must not follow the process locale or the floating-point rounding mode.
#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <clocale>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "format_reference.h"

namespace {

// A mix of ties, near ties, fractions and huge integers, with their reference texts taken in
// the "C" locale under round-to-nearest.
struct Sample {
  std::vector<double> values;
  std::vector<std::string> expected;
};

Sample MakeSample() {
  Sample s;
  std::mt19937_64 rng(20261211);
  for (int i = 0; i < 20000; ++i) {
    const double tie =
        static_cast<double>(rng() % 100000) + static_cast<double>(2 * (rng() % 64) + 1) / 128.0;
    const double coordinate = std::uniform_real_distribution<double>(-1e4, 1e4)(rng);
    for (double v : {tie, -tie, coordinate, std::bit_cast<double>(rng())}) {
      s.values.push_back(v);
      s.expected.push_back(quor_test::PrintfFixed6(v));
    }
  }
  return s;
}

void ExpectSampleUnchanged(const Sample& s, const char* setting) {
  quor_test::ExactBuffers buffers;
  int mismatches = 0;
  for (size_t i = 0; i < s.values.size(); ++i) {
    const std::string text = buffers.Fixed6(s.values[i]);
    if (text != s.expected[i] && ++mismatches <= 5) {
      ADD_FAILURE() << setting << ": bits 0x" << std::hex << std::bit_cast<uint64_t>(s.values[i])
                    << " gives \"" << text << "\", expected \"" << s.expected[i] << "\"";
    }
  }
  EXPECT_EQ(mismatches, 0) << setting;
}

// Restores round-to-nearest and the "C" locale however the test ends.
struct EnvironmentGuard {
  ~EnvironmentGuard() {
    std::fesetround(FE_TONEAREST);
    std::setlocale(LC_ALL, "C");
  }
};

TEST(Fixed6Environment, RoundingModeDoesNotChangeTheText) {
  const Sample sample = MakeSample();
  EnvironmentGuard guard;
  const struct {
    int mode;
    const char* name;
  } modes[] = {
      {FE_UPWARD, "FE_UPWARD"}, {FE_DOWNWARD, "FE_DOWNWARD"}, {FE_TOWARDZERO, "FE_TOWARDZERO"}};
  for (const auto& m : modes) {
    ASSERT_EQ(std::fesetround(m.mode), 0) << m.name;
    ExpectSampleUnchanged(sample, m.name);
  }
  // The C runtime does follow the mode: 0.0078125 is a tie that upward rounding moves.
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  EXPECT_EQ(quor_test::PrintfFixed6(0.0078125), "0.007813");
}

TEST(Fixed6Environment, CommaLocaleWithUpwardRoundingDoesNotChangeTheText) {
  const Sample sample = MakeSample();
  EnvironmentGuard guard;
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  }
  // The C runtime now writes a comma, so the locale really is in force.
  ASSERT_EQ(quor_test::PrintfFixed6(0.5), "0,500000");
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  ExpectSampleUnchanged(sample, "de_DE.UTF-8 with FE_UPWARD");
}

}  // namespace
