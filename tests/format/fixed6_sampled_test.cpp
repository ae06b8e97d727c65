// Byte-for-byte agreement with "%f" and to_chars on a fixed-seed sample of every region of the
// double range.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "format_reference.h"

namespace {

// Values drawn per random family; raise for a longer soak.
constexpr int kSamplesPerFamily = 1000000;
constexpr uint64_t kSeed = 0x51c0ffee2026ull;

using Rng = std::mt19937_64;

double FromBits(uint64_t bits) { return std::bit_cast<double>(bits); }

double RandomSign(Rng& rng, double v) { return (rng() & 1) != 0 ? -v : v; }

// Moves v by `steps` representable values (negative: towards -inf).
double StepUlps(double v, int steps) {
  const double towards = steps < 0 ? -INFINITY : INFINITY;
  for (int i = 0; i < std::abs(steps); ++i) v = std::nextafter(v, towards);
  return v;
}

// Integer with a random bit length in [0, max_bits].
uint64_t RandomInteger(Rng& rng, int max_bits) {
  const int bits = static_cast<int>(rng() % static_cast<uint64_t>(max_bits + 1));
  return bits == 0 ? 0 : rng() >> (64 - bits);
}

// Collects the first mismatches so that one failing family reports a few values, not millions.
class MismatchLog {
 public:
  void Check(double v, quor_test::ExactBuffers& buffers) {
    const std::string ours = buffers.Fixed6(v);
    const std::string printf_text = quor_test::PrintfFixed6(v);
    const std::string to_chars_text = quor_test::ToCharsFixed6(v);
    ++checked_;
    if (ours == printf_text && ours == to_chars_text) return;
    if (++count_ <= 8) {
      report_ << "\n  bits 0x" << std::hex << std::bit_cast<uint64_t>(v) << std::dec << ": ours \""
              << ours << "\" printf \"" << printf_text << "\" to_chars \"" << to_chars_text << "\"";
    }
  }
  void ExpectClean(const std::string& family) const {
    EXPECT_GT(checked_, 0);
    EXPECT_EQ(count_, 0) << family << ": " << count_ << " of " << checked_ << " differ"
                         << report_.str();
  }

 private:
  long checked_ = 0;
  long count_ = 0;
  std::ostringstream report_;
};

struct RandomFamily {
  const char* name;
  std::function<double(Rng&)> draw;
};

const RandomFamily kRandomFamilies[] = {
    {"random_bit_patterns", [](Rng& rng) { return FromBits(rng()); }},
    {"binary_exponents_minus30_to_70",
     [](Rng& rng) {
       const int exponent = static_cast<int>(rng() % 101) - 30;
       const uint64_t biased = static_cast<uint64_t>(exponent + 1023);
       return RandomSign(rng, FromBits(biased << 52 | (rng() >> 12)));
     }},
    {"coordinates_within_ten_thousand",
     [](Rng& rng) { return std::uniform_real_distribution<double>(-1e4, 1e4)(rng); }},
    {"ties_at_the_seventh_decimal_and_neighbours",
     [](Rng& rng) {
       // The only values exactly halfway between two millionths are n + odd/128.
       const double tie = static_cast<double>(RandomInteger(rng, 45)) +
                          static_cast<double>(2 * (rng() % 64) + 1) / 128.0;
       return RandomSign(rng, StepUlps(tie, static_cast<int>(rng() % 5) - 2));
     }},
    {"dyadic_fractions_k_over_2_pow_n",
     [](Rng& rng) {
       const int n = 1 + static_cast<int>(rng() % 80);
       const uint64_t k = RandomInteger(rng, std::min(53, n + 24));
       return RandomSign(rng, std::ldexp(static_cast<double>(k), -n));
     }},
    {"near_millionth_halves",
     [](Rng& rng) {
       const double t = static_cast<double>(RandomInteger(rng, 40));
       const double near_tie = (t + 0.5) / 1e6;
       return RandomSign(rng, StepUlps(near_tie, static_cast<int>(rng() % 7) - 3));
     }},
    {"subnormals_and_smallest_normals",
     [](Rng& rng) {
       const uint64_t biased = rng() % 3;  // 0: subnormal, 1-2: the smallest normals
       return RandomSign(rng, FromBits(biased << 52 | (rng() >> 12)));
     }},
    {"float_bit_patterns_widened",
     [](Rng& rng) {
       return static_cast<double>(std::bit_cast<float>(static_cast<uint32_t>(rng())));
     }},
    {"float_coordinates_widened",
     [](Rng& rng) {
       const int exponent = static_cast<int>(rng() % 61) - 30;
       const uint32_t bits =
           static_cast<uint32_t>(exponent + 127) << 23 | static_cast<uint32_t>(rng() >> 41);
       return RandomSign(rng, static_cast<double>(std::bit_cast<float>(bits)));
     }},
};

void PrintTo(const RandomFamily& f, std::ostream* os) { *os << f.name; }

class Fixed6RandomFamily : public ::testing::TestWithParam<RandomFamily> {};

TEST_P(Fixed6RandomFamily, MatchesPrintfAndToChars) {
  const RandomFamily& family = GetParam();
  Rng rng(kSeed ^ std::hash<std::string>{}(family.name));
  quor_test::ExactBuffers buffers;
  MismatchLog log;
  for (int i = 0; i < kSamplesPerFamily; ++i) log.Check(family.draw(rng), buffers);
  log.ExpectClean(family.name);
}

INSTANTIATE_TEST_SUITE_P(Sample, Fixed6RandomFamily, ::testing::ValuesIn(kRandomFamilies),
                         [](const auto& info) { return std::string(info.param.name); });

void CheckWithNeighbours(double v, int ulps, quor_test::ExactBuffers& buffers, MismatchLog& log) {
  for (int step = -ulps; step <= ulps; ++step) {
    const double w = StepUlps(v, step);
    log.Check(w, buffers);
    log.Check(-w, buffers);
  }
}

TEST(Fixed6Enumerated, PowersOfTwoAndTheirNeighbours) {
  quor_test::ExactBuffers buffers;
  MismatchLog log;
  for (int e = -1074; e <= 1023; ++e) CheckWithNeighbours(std::ldexp(1.0, e), 3, buffers, log);
  log.ExpectClean("powers of two");
}

TEST(Fixed6Enumerated, PowersOfTenHalfMillionthsAndTheirNeighbours) {
  quor_test::ExactBuffers buffers;
  MismatchLog log;
  for (int e = -40; e <= 308; ++e) {
    const std::string exponent = std::to_string(e);
    CheckWithNeighbours(std::strtod(("1e" + exponent).c_str(), nullptr), 3, buffers, log);
    CheckWithNeighbours(std::strtod(("5e" + exponent).c_str(), nullptr), 3, buffers, log);
  }
  log.ExpectClean("powers of ten");
}

TEST(Fixed6Enumerated, IntegerPathBoundariesAndDblMax) {
  quor_test::ExactBuffers buffers;
  MismatchLog log;
  // 2^32: the 32-bit digit path; 2^53: no fraction bits left; 2^63 and 2^64: the last values
  // printed from one 64-bit word and the first big integers.
  for (int e : {32, 52, 53, 54, 63, 64, 65}) {
    CheckWithNeighbours(std::ldexp(1.0, e), 2000, buffers, log);
  }
  CheckWithNeighbours(StepUlps(DBL_MAX, -2000), 2000, buffers, log);
  log.ExpectClean("boundaries");
}

}  // namespace
