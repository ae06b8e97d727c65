// A minimal plug-in for driving the host's loader: it answers c4d_main, registers a scene
// saver whose callbacks are real C++ virtual member pointers, and its Save writes one file
// through the host's file table. Built once per generation (TEST_PLUGIN_R12 1 or 0).
#include <cstdint>
#include <cstring>
#include <new>

#include "host_client.h"

namespace {

constexpr bool kR12 = TEST_PLUGIN_R12;
void* g_root = nullptr;

hostabi::Client Host() { return hostabi::Client(g_root, kR12); }

struct State {
  int32_t saves = 0;
  int32_t last_filter = 0;
  void* last_node = nullptr;
  void* last_doc = nullptr;
  int32_t live_objects = 0;
  int32_t destroyed = 0;
};
State g_state;

class BaseData {
 public:
  virtual ~BaseData() = default;
  void Destructor() { delete this; }
};

// Node callbacks in slot order, defaults as a node plug-in's base class has them.
class NodeData : public BaseData {
 public:
  virtual int32_t Init(void*) { return 1; }
  virtual void Free(void*) {}
  virtual int32_t Read(void*, void*, int32_t) { return 1; }
  virtual int32_t Write(void*, void*) { return 1; }
  virtual int32_t Message(void*, int32_t, void*) { return 1; }
  virtual int32_t CopyTo(void*, void*, void*, int32_t, void*) { return 1; }
  virtual void GetBubbleHelp(void*, void*) {}
  virtual void* GetDocument(void*) { return nullptr; }
#if !TEST_PLUGIN_R12
  virtual int32_t GetBranchInfoEx(void*, void*, int32_t) { return 0; }
#endif
  virtual int32_t GetBranchInfo(void*, void*, int32_t, uint32_t) { return 0; }
  virtual int32_t IsInstanceOf(const void*, int32_t) const { return 0; }
  virtual int32_t GetDDescription(void*, void*, int32_t*) { return 0; }
  virtual int32_t GetDParameter(void*, const void*, void*, int32_t*) { return 1; }
  virtual int32_t GetDEnabling(void*, const void*, const void*, int32_t, const void*) { return 1; }
  virtual int32_t SetDParameter(void*, const void*, const void*, int32_t*) { return 1; }
  virtual int32_t TranslateDescID(void*, const void*, void*, void**) { return 0; }
  virtual int32_t IsDocumentRelated(const void*, int32_t*) const { return 0; }
};

class SceneSaverData : public NodeData {
 public:
  virtual int32_t Save(void* node, const void* name, void* doc, int32_t filter) = 0;
};

class TestSaver : public SceneSaverData {
 public:
  TestSaver() { ++g_state.live_objects; }
  ~TestSaver() override {
    --g_state.live_objects;
    ++g_state.destroyed;
  }
  int32_t Init(void*) override { return 7; }  // tells an override from a default
  int32_t Save(void* node, const void* name, void* doc, int32_t filter) override {
    ++g_state.saves;
    g_state.last_filter = filter;
    g_state.last_node = node;
    g_state.last_doc = doc;
    hostabi::Client h = Host();
    void* file = h.FileAlloc();
    if (!file) return -7;
    int32_t error = h.FileOpen(file, name) ? 0 : h.FileError(file);
    if (error == 0) {
      static const char kText[] = "saved by the test plug-in";
      h.FileWrite(file, kText, sizeof kText - 1);
      h.FileWriteChar(file, '\n');
      error = h.FileError(file);
    }
    h.FileFree(file);
    return error;
  }
};

void* Alloc() { return new (std::nothrow) TestSaver; }

template <class M>
void PutMember(unsigned char* record, int cell, M member) {
  static_assert(sizeof member == 16);
  std::memcpy(record + 16 * cell, &member, sizeof member);
}

int32_t Register() {
  hostabi::Client h = Host();
  alignas(8) unsigned char name[16] = {}, suffix[16] = {};
  h.StringInit(suffix);
  h.StringSet(suffix, "tst");
  h.StringInit(name);
  h.StringSet(name, "Test Saver");
  alignas(16) unsigned char record[1152] = {};
  void* (*alloc)() = &Alloc;
  std::memcpy(record + 16 * 4, &alloc, sizeof alloc);
  PutMember(record, 5, &BaseData::Destructor);
  int cell = 6;
  PutMember(record, cell++, &NodeData::Init);
  PutMember(record, cell++, &NodeData::Free);
  PutMember(record, cell++, &NodeData::Read);
  PutMember(record, cell++, &NodeData::Write);
  PutMember(record, cell++, &NodeData::CopyTo);
  PutMember(record, cell++, &NodeData::Message);
  PutMember(record, cell++, &NodeData::GetDocument);
  PutMember(record, cell++, &NodeData::GetBubbleHelp);
  PutMember(record, cell++, &NodeData::GetDDescription);
  PutMember(record, cell++, &NodeData::GetDParameter);
  PutMember(record, cell++, &NodeData::SetDParameter);
  PutMember(record, cell++, &NodeData::GetDEnabling);
#if !TEST_PLUGIN_R12
  PutMember(record, cell++, &NodeData::GetBranchInfoEx);
#endif
  PutMember(record, cell++, &NodeData::IsInstanceOf);
  PutMember(record, cell++, &NodeData::GetBranchInfo);
  PutMember(record, cell++, &NodeData::TranslateDescID);
  PutMember(record, cell++, &NodeData::IsDocumentRelated);
  const void* suffix_ptr = suffix;
  std::memcpy(record + 16 * 32, &suffix_ptr, sizeof suffix_ptr);
  PutMember(record, 33, &SceneSaverData::Save);
  int32_t ok = h.Register(kR12 ? 12000 : 11500, kR12 ? 16 : 25, 1000001, name, record, 1152);
  // The host must have copied everything it needs: spoil the record and the strings.
  std::memset(record, 0xAB, sizeof record);
  h.StringRelease(name);
  h.StringRelease(suffix);
  return ok;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const State* test_plugin_state() {
  return &g_state;
}

extern "C" __attribute__((visibility("default"))) int32_t c4d_main(int32_t action, void* p1,
                                                                   void* p2, void* p3) {
  (void)p2;
  switch (action) {
    case 1: {
      g_root = p1;
      int32_t version = Host().Version();
      if (version < (kR12 ? 12000 : 11500) || p3 == nullptr) return -3;
      return 1;
    }
    case 2:
      return Register() ? 1 : 0;
    case 3:
      return 1;
    case 4:
      return kR12 ? 5 : 3;
    case 6:
      return reinterpret_cast<intptr_t>(p1) == 1 ? 1 : -1;
    default:
      return -1;
  }
}
