#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>

#include "format_reference.h"

namespace {

struct NamedCase {
  const char* name;
  double value;
  const char* expected;
};

const std::string kDblMaxDigits =
    "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955"
    "86327668781715404589535143824642343213268894641827684675467035375169860499105765512820762"
    "45490090389328944075868508455133942304583236903222948165808559332123348274797826204144723"
    "168738177180919299881250404026184124858368";
const std::string k1e300Digits =
    "10000000000000000525047602552044202487044685811081591549158541155118024579889081957863713"
    "75080447864043704443832883878176942523235360430575644792184786706982848387200926575803737"
    "83023379478809005936895323497079994508111903896764088007465274278014249457925878882005684"
    "2838115669472196386865459400540160";
const std::string kMinusDblMax = "-" + kDblMaxDigits + ".000000";
const std::string k1e300 = k1e300Digits + ".000000";

const NamedCase kCases[] = {
    {"zero", 0.0, "0.000000"},
    {"negative_zero", -0.0, "-0.000000"},
    {"half", 0.5, "0.500000"},
    {"integer", 1234.0, "1234.000000"},
    {"negative_rounding_to_zero", -0.0000001, "-0.000000"},
    {"tie_rounds_down_to_even", 0.0078125, "0.007812"},
    {"tie_rounds_up_to_even", 0.0234375, "0.023438"},
    {"negative_tie", -1.0078125, "-1.007812"},
    {"five_ten_millionths_is_below_the_tie", 0.0000005, "0.000000"},
    {"fifteen_ten_millionths_is_above_the_tie", 0.0000015, "0.000002"},
    {"carry_into_integer_part", 0.9999995, "1.000000"},
    {"negative_carry_into_integer_part", -999.9999999, "-1000.000000"},
    {"ordinary_coordinate", 123.456, "123.456000"},
    {"two_pow_24_plus_one", 16777217.0, "16777217.000000"},
    {"two_pow_51_plus_half", 2251799813685248.5, "2251799813685248.500000"},
    {"two_pow_53", 9007199254740992.0, "9007199254740992.000000"},
    {"two_pow_64", 18446744073709551616.0, "18446744073709551616.000000"},
    {"ten_pow_22", 1e22, "10000000000000000000000.000000"},
    {"ten_pow_300", 1e300, k1e300.c_str()},
    {"minus_dbl_max", -DBL_MAX, kMinusDblMax.c_str()},
    {"dbl_min", DBL_MIN, "0.000000"},
    {"smallest_subnormal", std::numeric_limits<double>::denorm_min(), "0.000000"},
    {"inf", std::numeric_limits<double>::infinity(), "inf"},
    {"minus_inf", -std::numeric_limits<double>::infinity(), "-inf"},
    {"nan", std::numeric_limits<double>::quiet_NaN(), "nan"},
    {"minus_nan", -std::numeric_limits<double>::quiet_NaN(), "-nan"},
    {"signalling_nan", std::numeric_limits<double>::signaling_NaN(), "nan"},
};

// Names the case in gtest's messages instead of dumping its bytes.
void PrintTo(const NamedCase& c, std::ostream* os) { *os << c.name; }

class Fixed6NamedCase : public ::testing::TestWithParam<NamedCase> {};

TEST_P(Fixed6NamedCase, WritesTheExpectedTextLikePrintf) {
  const NamedCase& c = GetParam();
  quor_test::ExactBuffers buffers;
  const std::string text = buffers.Fixed6(c.value);
  EXPECT_EQ(text, c.expected);
  EXPECT_EQ(text, quor_test::PrintfFixed6(c.value));
}

INSTANTIATE_TEST_SUITE_P(Table, Fixed6NamedCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Fixed6Bound, LongestTextFillsTheBufferExactly) {
  char buf[kObjMaxFixed6Chars + 1];
  buf[kObjMaxFixed6Chars] = '#';
  const char* end = ObjFormatFixed6(-DBL_MAX, buf);
  EXPECT_EQ(end - buf, kObjMaxFixed6Chars);
  EXPECT_EQ(buf[kObjMaxFixed6Chars], '#');
}

TEST(Fixed6Bound, ReturnsTheEndAndWritesNoTerminator) {
  char buf[16];
  std::memset(buf, '#', sizeof buf);
  const char* end = ObjFormatFixed6(1.5, buf);
  ASSERT_EQ(end - buf, 8);
  EXPECT_EQ(std::string(buf, 9), "1.500000#");
}

}  // namespace
