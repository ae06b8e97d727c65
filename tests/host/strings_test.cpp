// Strings and file names through the string and file-name tables.
#include "host_fixture.h"

namespace hosttest {
namespace {

class StringsTest : public HostTest {};

TEST_P(StringsTest, LengthCountsCodePoints) {
  struct Case {
    const char* text;
    int32_t length;  // bytes passed, -1 for up to the zero
    int32_t code_points;
    std::string stored;
  };
  const Case cases[] = {
      {"", -1, 0, ""},
      {"obj", -1, 3, "obj"},
      {"Gr\xC3\xBC\xC3\x9F"
       "e",
       -1, 5,
       "Gr\xC3\xBC\xC3\x9F"
       "e"},  // two-byte characters
      {"\xE2\x82\xAC\xF0\x9F\x98\x80", -1, 2, "\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"abcdef", 3, 3, "abc"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.stored);
    Str s(c(), nullptr);
    c().StringSet(s.s, k.text, k.length);
    EXPECT_EQ(c().StringLength(s.s), k.code_points);
    EXPECT_EQ(s.text(), k.stored);
  }
}

TEST_P(StringsTest, InsertAtCodePointPositions) {
  struct Case {
    const char* base;
    int32_t pos;
    const char* other;
    std::string result;
  };
  const Case cases[] = {
      {"shot", 4, "_000.obj", "shot_000.obj"},  // append, as operator+= does
      {"shot", 0, ">", ">shot"},
      {"\xC3\xBC\xC3\xBC", 1, "-", "\xC3\xBC-\xC3\xBC"},  // inside multi-byte text
      {"ab", 2, "", "ab"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.result);
    Str s(c(), k.base);
    Str o(c(), k.other);
    c().StringInsert(s.s, k.pos, o.s);
    EXPECT_EQ(s.text(), k.result);
  }
}

TEST_P(StringsTest, R12InsertTakesARangeOfTheOtherString) {
  if (!r12()) GTEST_SKIP() << "R11_5 Insert has no range";
  Str s(c(), "[]");
  Str o(c(), "abcdef");
  c().Call<void>(Table::String, 19, s.s, int32_t{1}, static_cast<const void*>(o.s), int32_t{1},
                 int32_t{3});
  EXPECT_EQ(s.text(), "[bc]");
}

TEST_P(StringsTest, R11_5CopyToAndFreeString) {
  if (r12()) GTEST_SKIP() << "R12 has no CopyTo/FreeString entries";
  Str from(c(), "text");
  Str to(c(), "old");
  c().Plain<void>(Table::String, 28, static_cast<const void*>(from.s), static_cast<void*>(to.s));
  EXPECT_EQ(to.text(), "text");
  c().Plain<void>(Table::String, 4, static_cast<void*>(nullptr));  // null accepted
  EXPECT_TRUE(host().books().stray_releases.empty());
}

TEST_P(StringsTest, EmptyStringAtPositionZero) {
  const void* empty = c().EmptyString();
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(c().StringLength(empty), 0);
}

TEST_P(StringsTest, UsingRawStorageIsRecordedNotTrusted) {
  alignas(8) unsigned char raw[16] = {};
  EXPECT_EQ(c().StringLength(raw), 0);
  ASSERT_EQ(host().books().faults.size(), 1u);
  EXPECT_NE(host().books().faults[0].find("not an initialised String"), std::string::npos);
  host().AcknowledgeFailures();
}

TEST_P(StringsTest, ClearSuffixRemovesOnlyTheLastNamesSuffix) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"/a.b/shot.obj", "/a.b/shot"},
      {"/a.b/shot", "/a.b/shot"},
      {"shot.obj", "shot"},
      {"shot", "shot"},
      {"/x/.hidden", "/x/.hidden"},
      {".hidden.obj", ".hidden"},
      {"/x/shot.tar.gz", "/x/shot.tar"},
      {"", ""},
      {"/x/..", "/x/.."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.path);
    Name f(c(), k.path);
    c().FilenameClearSuffix(f.f);
    EXPECT_EQ(f.path(), k.expected);
  }
}

// GetString and GetDirectory come back as class values in R12 and as host-owned values the
// caller frees in R11_5.
std::string GetStringOf(const hostabi::Client& c, const void* f) {
  if (c.r12()) {
    alignas(8) unsigned char result[16] = {};
    void* back = c.Plain<void*>(Table::Filename, 6, static_cast<void*>(result), f);
    EXPECT_EQ(back, static_cast<void*>(result));
    std::string text = quorhost::ReadString(result);
    c.StringRelease(result);
    return text;
  }
  void* s = c.Plain<void*>(Table::Filename, 6, f);
  EXPECT_NE(s, nullptr);
  std::string text = quorhost::ReadString(s);
  c.Plain<void>(Table::String, 4, s);  // FreeString
  return text;
}

std::string GetDirectoryOf(const hostabi::Client& c, const void* f) {
  if (c.r12()) {
    alignas(8) unsigned char result[32] = {};
    void* back = c.Plain<void*>(Table::Filename, 8, static_cast<void*>(result), f);
    EXPECT_EQ(back, static_cast<void*>(result));
    std::string path = quorhost::ReadFilename(result);
    c.FilenameRelease(result);
    return path;
  }
  void* d = c.Plain<void*>(Table::Filename, 8, f);
  EXPECT_NE(d, nullptr);
  std::string path = quorhost::ReadFilename(d);
  c.Plain<void>(Table::Filename, 3, d);  // FreeFilename
  return path;
}

TEST_P(StringsTest, GetStringAndGetDirectory) {
  struct Case {
    const char* path;
    const char* directory;
  };
  const Case cases[] = {
      {"/exports/shot.obj", "/exports"}, {"/a.b/c/", "/a.b"}, {"/shot.obj", "/"}, {"shot.obj", ""}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.path);
    Name f(c(), k.path);
    EXPECT_EQ(GetStringOf(c(), f.f), k.path);
    EXPECT_EQ(GetDirectoryOf(c(), f.f), k.directory);
  }
}

TEST_P(StringsTest, CopyGivesAnIndependentFilename) {
  Name a(c(), "/x/a.obj");
  Name b(c(), "");
  c().FilenameCopy(a.f, b.f);
  c().FilenameClearSuffix(b.f);
  EXPECT_EQ(a.path(), "/x/a.obj");
  EXPECT_EQ(b.path(), "/x/a");
}

TEST_P(StringsTest, ValuesNotReleasedShowInTheBooks) {
  alignas(8) unsigned char s[16] = {};
  c().StringInit(s);
  EXPECT_EQ(host().books().live_values, 1);
  c().StringRelease(s);
  EXPECT_EQ(host().books().live_values, 0);
}

TEST_P(StringsTest, R12FilenameNeedsItsEmbeddedStringFirst) {
  if (!r12()) GTEST_SKIP() << "R11_5 file names have no embedded String";
  alignas(8) unsigned char f[32] = {};
  c().Plain<void>(Table::Filename, 17, static_cast<void*>(f));  // embedded String not initialised
  EXPECT_EQ(host().books().faults.size(), 1u);
  c().Plain<void>(Table::Filename, 18, static_cast<void*>(f));
  host().AcknowledgeFailures();
}

HOST_TEST_P(StringsTest);

}  // namespace
}  // namespace hosttest
