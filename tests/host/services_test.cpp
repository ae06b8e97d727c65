// Registry and description library, resources, status bar, debug break and registration.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host_fixture.h"

namespace hosttest {
namespace {

namespace fs = std::filesystem;
using quorhost::DescriptionLibraryMode;
using quorhost::FaultKind;

class ServicesTest : public HostTest {};

TEST_P(ServicesTest, DescriptionLibraryModes) {
  struct Case {
    DescriptionLibraryMode mode;
    int32_t size;
    bool present;
    int32_t expected_size;
  };
  for (Case k : {Case{DescriptionLibraryMode::Full, 0, true, 8 + 8 * 24},
                 Case{DescriptionLibraryMode::Sized, 8 + 8 * 21, true, 8 + 8 * 21},
                 Case{DescriptionLibraryMode::Absent, 0, false, 0}}) {
    quorhost::HostOptions options;
    options.description_library = k.mode;
    options.description_size = k.size;
    Start(options);
    const unsigned char* record = Library();
    ASSERT_EQ(record != nullptr, k.present);
    if (!record) continue;
    int32_t size;
    std::memcpy(&size, record + 4, 4);
    EXPECT_EQ(size, k.expected_size);
    // The storage holds every entry whatever the size field says.
    Id id(*this, 1001);
    int32_t stored;
    std::memcpy(&stored, id.storage + 8, 4);
    EXPECT_EQ(stored, 1001);
  }
  EXPECT_EQ(c().Plain<void*>(Table::General, r12() ? 58 : 75, int32_t{1000467}, int32_t{5}),
            nullptr);
}

TEST_P(ServicesTest, DescriptionRegisterIsRecordedWithAConfigurableAnswer) {
  Str name(c(), "Oquorvan");
  EXPECT_EQ(LibraryCall<int32_t>(0, int32_t{77}, static_cast<const void*>(name.s),
                                 static_cast<void*>(nullptr)),
            1);
  host().set_description_register_answer(false);
  EXPECT_EQ(LibraryCall<int32_t>(0, int32_t{78}, static_cast<const void*>(name.s),
                                 static_cast<void*>(nullptr)),
            0);
  ASSERT_EQ(host().description_calls().size(), 2u);
  EXPECT_EQ(host().description_calls()[0].id, 77);
  EXPECT_EQ(host().description_calls()[0].name, "Oquorvan");
}

class ResourcesTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    dir_ = fs::temp_directory_path() / ("quorhost_res_" + std::to_string(getpid()));
    fs::create_directories(dir_ / "res/strings_us");
    std::ofstream(dir_ / "res/strings_us/c4d_strings.str")
        << "1000 \"Quorvan OBJ Sequence\"\n"
        << "1001 \"with \\\"quotes\\\" inside\"\n"
        << "garbage line\n";
  }
  void TearDown() override {
    HostTest::TearDown();
    fs::remove_all(dir_);
  }
  void* Load(const std::string& dir) {
    Name name(c(), dir);
    return c().Plain<void*>(Table::Resource, 0, static_cast<const void*>(name.f));
  }
  std::string LoadString(void* res, int32_t id) {
    const void* s = c().Plain<const void*>(Table::Resource, r12() ? 3 : 4, res, id);
    EXPECT_NE(s, nullptr);
    return quorhost::ReadString(s);
  }
  void Release(void* res) { c().Plain<void>(Table::Resource, 1, res); }
  fs::path dir_;
};

TEST_P(ResourcesTest, LoadStringsReloadAndRelease) {
  void* res = Load(dir_.string());
  ASSERT_NE(res, nullptr);
  EXPECT_EQ(host().books().live_resources, 1);
  EXPECT_EQ(LoadString(res, 1000), "Quorvan OBJ Sequence");
  EXPECT_EQ(LoadString(res, 1001), "with \\\"quotes\\\" inside");
  EXPECT_EQ(LoadString(res, 5), "") << "unknown ids answer the empty string";
  std::ofstream(dir_ / "res/strings_us/c4d_strings.str") << "1000 \"changed\"\n";
  Name dir(c(), dir_.string());
  EXPECT_EQ(
      c().Plain<int32_t>(Table::Resource, r12() ? 6 : 7, res, static_cast<const void*>(dir.f)), 1);
  EXPECT_EQ(LoadString(res, 1000), "changed");
  Release(res);
  EXPECT_EQ(host().books().live_resources, 0);
}

TEST_P(ResourcesTest, MissingFolderOrInjectedFaultGivesNull) {
  EXPECT_EQ(Load((dir_ / "nowhere").string()), nullptr);
  EXPECT_EQ(Load(""), nullptr);
  host().faults().Arm(FaultKind::ResourceLoad, 1);
  EXPECT_EQ(Load(dir_.string()), nullptr);
  void* res = Load(dir_.string());
  EXPECT_NE(res, nullptr);
  Release(res);
}

TEST_P(ResourcesTest, TheGlobalResourceIsNotCountedAndNotReleasable) {
  void* global = c().Plain<void*>(Table::Resource, r12() ? 2 : 3);
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(host().books().live_resources, 0);
  EXPECT_EQ(LoadString(global, 1), "");
  Release(global);
  EXPECT_EQ(host().books().stray_releases.size(), 1u);
  host().AcknowledgeFailures();
}

TEST_P(ServicesTest, StatusBarAndDebugBreaksAreRecordedInOrder) {
  for (int32_t v : {0, 33, 66}) c().Plain<void>(Table::General, r12() ? 27 : 31, v);
  c().Plain<void>(Table::General, r12() ? 76 : 96, int32_t{44}, "/src/c4d_basetime.cpp");
  EXPECT_EQ(host().status_values(), (std::vector<int32_t>{0, 33, 66}));
  ASSERT_EQ(host().debug_breaks().size(), 1u);
  EXPECT_EQ(host().debug_breaks()[0].line, 44);
  EXPECT_EQ(host().debug_breaks()[0].file, "/src/c4d_basetime.cpp");
}

TEST_P(ServicesTest, RegistrationCopiesEverythingDuringTheCall) {
  alignas(16) unsigned char record[1152] = {};
  for (int i = 0; i < 16; ++i) record[16 * 4 + i] = static_cast<unsigned char>(i + 1);
  int32_t api = r12() ? 12000 : 11500, type = r12() ? 16 : 25;
  {
    Str name(c(), "Quorvan OBJ Sequence");
    Str suffix(c(), "obj");
    const void* suffix_ptr = suffix.s;
    std::memcpy(record + 16 * 32, &suffix_ptr, 8);
    EXPECT_EQ(c().Register(api, type, 1026826, name.s, record, 1152), 1);
  }
  std::memset(record, 0, sizeof record);
  ASSERT_EQ(host().registrations().size(), 1u);
  const quorhost::Registration& reg = host().registrations()[0];
  EXPECT_EQ(reg.api, api);
  EXPECT_EQ(reg.type, type);
  EXPECT_EQ(reg.id, 1026826);
  EXPECT_EQ(reg.name, "Quorvan OBJ Sequence");
  EXPECT_TRUE(reg.has_suffix);
  EXPECT_EQ(reg.suffix, "obj");
  ASSERT_EQ(reg.record.size(), 1152u);
  EXPECT_EQ(reg.record[16 * 4], 1);
  EXPECT_EQ(reg.Word(4, 1), 0x100f0e0d0c0b0a09u);
  EXPECT_TRUE(reg.accepted);
}

TEST_P(ServicesTest, RegistrationAnswersAsConfiguredOrFaulted) {
  alignas(16) unsigned char record[1152] = {};
  Str name(c(), "x");
  int32_t api = r12() ? 12000 : 11500;
  host().set_registration_answer(false);
  EXPECT_EQ(c().Register(api, 16, 1, name.s, record, 1152), 0);
  host().set_registration_answer(true);
  host().faults().Arm(FaultKind::Registration, 1);
  EXPECT_EQ(c().Register(api, 16, 1, name.s, record, 1152), 0);
  EXPECT_EQ(c().Register(api, 16, 1, name.s, record, 1152), 1);
  EXPECT_FALSE(host().registrations()[2].has_suffix);
  // The other generation's API version is not served by this session.
  EXPECT_EQ(c().Register(r12() ? 11500 : 12000, 16, 1, name.s, record, 1152), 0);
  EXPECT_EQ(host().books().faults.size(), 1u);
  host().AcknowledgeFailures();
}

TEST_P(ServicesTest, JournalKeepsCallsInOrderAndCanBeCleared) {
  host().journal().Enable(true);
  c().Plain<void>(Table::General, r12() ? 27 : 31, int32_t{10});
  { Str s(c(), "abc"); }
  EXPECT_EQ(host().journal().Ops(), (std::vector<std::string>{"StatusSetBar", "String.Init",
                                                              "String.SetText", "String.Release"}));
  EXPECT_EQ(host().journal().Of("String.SetText").at(0).texts, std::vector<std::string>{"abc"});
  host().journal().Clear();
  EXPECT_TRUE(host().journal().entries().empty());
}

HOST_TEST_P(ServicesTest);
HOST_TEST_P(ResourcesTest);

}  // namespace
}  // namespace hosttest
