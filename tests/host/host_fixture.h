// A host session per test, for both generations, with the books checked at the end.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host_client.h"
#include "quorhost/host.h"
#include "quorhost/values.h"

namespace hosttest {

using hostabi::Table;
using quorhost::Generation;

inline std::string GenName(const testing::TestParamInfo<Generation>& info) {
  return info.param == Generation::R12 ? "R12" : "R11_5";
}

class HostTest : public testing::TestWithParam<Generation> {
 protected:
  void SetUp() override { Start({}); }
  void TearDown() override {
    if (host_) {
      quorhost::Books books = host_->books();
      EXPECT_TRUE(books.Clean()) << books.Describe();
    }
  }

  // Restarts the session with `options` (the generation is the test's parameter).
  void Start(quorhost::HostOptions options) {
    host_.reset();
    options.generation = GetParam();
    host_ = std::make_unique<quorhost::Host>(options);
    client_ = std::make_unique<hostabi::Client>(host_->root_table(), r12());
  }

  bool r12() const { return GetParam() == Generation::R12; }
  quorhost::Host& host() { return *host_; }
  const hostabi::Client& c() { return *client_; }

  // A String in plug-in storage, made through the string table.
  struct Str {
    const hostabi::Client& c;
    alignas(8) unsigned char s[16] = {};
    Str(const hostabi::Client& client, const char* text) : c(client) {
      c.StringInit(s);
      if (text) c.StringSet(s, text);
    }
    ~Str() { c.StringRelease(s); }
    std::string text() const { return quorhost::ReadString(s); }
  };
  // A Filename in plug-in storage, made through the file-name table.
  struct Name {
    const hostabi::Client& c;
    alignas(8) unsigned char f[32] = {};
    Name(const hostabi::Client& client, const std::string& path) : c(client) {
      c.FilenameInit(f);
      Str s(c, path.c_str());
      c.FilenameSet(f, s.s);
    }
    ~Name() { c.FilenameRelease(f); }
    std::string path() const { return quorhost::ReadFilename(f); }
  };

  // The description library record (registry 1000467, type 17), or null.
  const unsigned char* Library() {
    void* entry = c().Plain<void*>(Table::General, r12() ? 58 : 75, int32_t{1000467}, int32_t{17});
    if (!entry) return nullptr;
    int32_t a = 0, b = 0;
    void* data = nullptr;
    if (!c().Plain<int32_t>(Table::General, r12() ? 62 : 81, entry, &a, &b, &data)) return nullptr;
    return static_cast<const unsigned char*>(data);
  }
  template <class R, class... A>
  R LibraryCall(int entry, A... args) {
    void* fn;
    std::memcpy(&fn, Library() + 8 + 8 * entry, sizeof fn);
    return reinterpret_cast<R (*)(A...)>(fn)(args...);
  }
  // A DescID of one level, through the description library.
  struct Id {
    HostTest& t;
    alignas(8) unsigned char storage[32] = {};
    Id(HostTest& test, int32_t id) : t(test) {
      t.LibraryCall<void>(21, static_cast<void*>(storage));
      int32_t level[3] = {id, 0, 0};
      t.LibraryCall<void>(23, static_cast<void*>(storage), static_cast<const void*>(level));
    }
    ~Id() { t.LibraryCall<void>(22, static_cast<void*>(storage)); }
  };

  std::unique_ptr<quorhost::Host> host_;
  std::unique_ptr<hostabi::Client> client_;
};

#define HOST_TEST_P(suite)                                                                         \
  INSTANTIATE_TEST_SUITE_P(                                                                        \
      Generations, suite, testing::Values(quorhost::Generation::R12, quorhost::Generation::R11_5), \
      hosttest::GenName)

}  // namespace hosttest
