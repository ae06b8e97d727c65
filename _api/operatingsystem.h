// The host's root function table and the sub-tables the plug-in uses, at the host's positions.
// Positions count entries; a plain entry is one function-pointer slot, a member entry is a native
// pointer to member function (two words on Itanium builds). Positions the plug-in does not use are
// one pointer-sized slot each. The offsets are checked below against that rule.
#pragma once

#include <cstddef>

#include "c4d_generation.h"
#include "c4d_platform.h"

class String;
class Filename;
class BaseFile;
class BaseContainer;
class GeData;
class DescID;
class BaseTime;
class C4DAtom;
class GeListNode;
class BaseList2D;
class BaseObject;
class BaseDocument;
class AtomArray;
class AliasTrans;
class BaseThread;
class LocalResource;
class Registry;
struct ModelingCommandData;
template <class R>
struct MatrixT;

namespace abi {
// Byte offset of position `pos` in a table whose member entries are at `members`.
template <size_t N>
constexpr size_t EntryOffset(int pos, const int (&members)[N]) {
  size_t offset = 0;
  for (int k = 0; k < pos; ++k) {
    bool member = false;
    for (size_t i = 0; i < N; ++i) member = member || members[i] == k;
    offset += member ? platform::kRecordCell : sizeof(void*);
  }
  return offset;
}
}  // namespace abi

// The data table has the same positions in both generations.
struct C4D_GeData {
  void (*Free)(GeData* d);  // 0
  void* unused_1[10];
  void (*SetTime)(GeData* d, const BaseTime* t);  // 11
  void* unused_12[2];
  Int32 (*GetLong)(const GeData* d);  // 14
  void* unused_15[5];
  const BaseTime* (*GetTime)(const GeData* d);  // 20
};

static_assert(offsetof(C4D_GeData, GetTime) == abi::EntryOffset(20, {-1}));

#if QUOR_GEN12

struct C4D_General {
  void (*Free)(void* block);  // 0
  void* unused_1[26];
  void (*StatusSetBar)(Int32 percent);  // 27
  void* unused_28[17];
  Bool (*RegisterPlugin)(Int32 api, Int32 type, Int32 id, const String* name, void* record,
                         Int32 size);  // 45
  void* unused_46[12];
  Registry* (*FindRegistry)(Int32 id, Int32 type);  // 58
  void* unused_59[3];
  Bool (*RegistryGetData)(Registry* entry, Int32* a, Int32* b, void** data);  // 62
  void* (*AllocCleared)(Int64 size, Int32 line, const char* file);        // 63
  void* unused_64[12];
  void (*DebugBreak)(Int32 line, const char* file);  // 76
  void* unused_77[3];
  Bool (*SendModelingCommand)(Int32 command, ModelingCommandData* record);  // 80
  void* unused_81[25];
  void* (*AllocNoClear)(Int64 size, Int32 line, const char* file);  // 106
};

struct C4D_Container {
  void* unused_0[5];
  void (BaseContainer::*Init)(Int32 id, void* p);  // 5 m
  void* unused_6[1];
  void (BaseContainer::*FlushAll)();  // 7 m
  void* unused_8[4];
  void (BaseContainer::*SetBool)(Int32 id, Bool value);  // 12 m
};

struct C4D_String {
  String* Empty;  // 0: the host's empty string
  void* unused_1[1];
  void (*Init)(String* s);  // 2
  void* unused_3[1];
  void (*InitCString)(String* s, const char* text, Int32 length, Int32 encoding);  // 4
  void* unused_5[1];
  void (*Flush)(String* s);  // 6
  void* unused_7[8];
  Int32 (String::*GetLength)() const;  // 15 m
  void* unused_16[3];
  void (String::*Insert)(Int32 pos, const String& other, Int32 start, Int32 end);  // 19 m
};

struct C4D_FileName {
  void* unused_0[6];
  String (*GetString)(const Filename* f);  // 6
  void (*SetString)(Filename* f, const String* name);  // 7
  Filename (*GetDirectory)(const Filename* f);  // 8
  void* unused_9[1];
  void (*ClearSuffix)(Filename* f);  // 10
  void* unused_11[6];
  void (*Init)(Filename* f);                                  // 17
  void (*Flush)(Filename* f);                                 // 18
  void (*CopyTo)(const Filename* source, Filename* destination);  // 19
};

struct C4D_File {
  BaseFile* (*Alloc)();            // 0
  void (*Free)(BaseFile* file);    // 1
  void* unused_2[2];
  Bool (BaseFile::*Open)(const Filename& name, Int32 mode, Int32 dialog, Int32 order, Int32 type,
                         Int32 creator);  // 4 m
  void* unused_5[3];
  Bool (BaseFile::*WriteBytes)(const void* data, Int64 count);  // 8 m
  void* unused_9[3];
  Int32 (BaseFile::*GetError)() const;  // 12 m
  void* unused_13[1];
  Bool (BaseFile::*WriteChar)(Int32 byte);  // 14 m
};

struct C4D_Resource {
  LocalResource* (*Load)(const Filename* directory);  // 0
  void (*Free)(LocalResource* res);                   // 1
  LocalResource* (*GetGlobal)();                      // 2
  const String* (*LoadString)(LocalResource* res, Int32 id);  // 3
  void* unused_4[2];
  Bool (*Reload)(LocalResource* res, const Filename* directory);  // 6
};

struct C4D_BaseList {
  void* unused_0[4];
  void (*Free)(BaseList2D* node);  // 4
};

struct C4D_Object {
  void* unused_0[9];
  const MatrixT<double>& (BaseObject::*GetMl)() const;  // 9 m
  void* unused_10[29];
  Int32 (*GetTagDataCount)(const BaseObject* op, Int32 type);  // 39
  void* unused_40[116];
  const void* (*GetTagDataR)(const BaseObject* op, Int32 type, Int32 nr);  // 156
};

struct C4D_Document {
  void* unused_0[1];
  BaseDocument* (*Alloc)();  // 1
  void* unused_2[3];
  BaseObject* (*GetFirstObject)(BaseDocument* doc);  // 5
  void* unused_6[17];
  void (*AnimateObject)(BaseDocument* doc, BaseList2D* op, const BaseTime& time,
                        Int32 flags);  // 23
  void* unused_24[58];
  Bool (BaseDocument::*ExecutePasses)(BaseThread* bt, Bool animation, Bool expressions,
                                      Bool caches, Int32 flags);  // 82 m
};

struct C4D_Atom {
  void* unused_0[1];
  Bool (C4DAtom::*CopyTo)(C4DAtom* dest, Int32 flags, AliasTrans* trn) const;  // 1 m
  Int32 (C4DAtom::*GetType)() const;                                           // 2 m
  void* unused_3[4];
  Bool (C4DAtom::*GetParameter)(const DescID& id, GeData& t_data, Int32 flags);        // 7 m
  Bool (C4DAtom::*SetParameter)(const DescID& id, const GeData& t_data, Int32 flags);  // 8 m
  void* unused_9[1];
  BaseObject* (BaseObject::*GetNext)();  // 10 m
  void* unused_11[2];
  BaseObject* (BaseObject::*GetDown)();  // 13 m
  void* unused_14[1];
  void (GeListNode::*InsertBefore)(GeListNode* next);  // 15 m
  void* unused_16[19];
  void (*ArrayFree)(AtomArray** array);  // 35
  void* unused_36[1];
  C4DAtom* (AtomArray::*GetIndex)(Int32 index) const;  // 37 m
};

struct C4DOS {
  Int32 version;  // slot 0: the host's API version in its first four bytes
  Int32 version_rest;
  C4D_General* General;  // 1
  void* unused_2[2];
  C4D_Container* Bc;  // 4
  C4D_String* St;     // 5
  void* unused_6[3];
  C4D_FileName* Fn;  // 9
  C4D_File* Fl;      // 10
  void* unused_11[4];
  C4D_Resource* Lr;  // 15
  C4D_BaseList* Bl;  // 16
  void* unused_17[1];
  C4D_Object* Bo;    // 18
  C4D_Document* Bd;  // 19
  void* unused_20[13];
  C4D_GeData* Gd;  // 33
  C4D_Atom* At;    // 34
};

namespace abi {
constexpr int kContainerMembers[] = {5, 7, 12};
constexpr int kStringMembers[] = {15, 19};
constexpr int kFileMembers[] = {4, 8, 12, 14};
constexpr int kObjectMembers[] = {9};
constexpr int kDocumentMembers[] = {82};
constexpr int kAtomMembers[] = {1, 2, 7, 8, 10, 13, 15, 37};
constexpr int kNoMembers[] = {-1};
}  // namespace abi

static_assert(offsetof(C4D_General, AllocNoClear) == abi::EntryOffset(106, abi::kNoMembers));
static_assert(offsetof(C4D_General, SendModelingCommand) == abi::EntryOffset(80, abi::kNoMembers));
static_assert(offsetof(C4D_Container, SetBool) == abi::EntryOffset(12, abi::kContainerMembers));
static_assert(offsetof(C4D_String, Insert) == abi::EntryOffset(19, abi::kStringMembers));
static_assert(offsetof(C4D_FileName, CopyTo) == abi::EntryOffset(19, abi::kNoMembers));
static_assert(offsetof(C4D_File, WriteChar) == abi::EntryOffset(14, abi::kFileMembers));
static_assert(offsetof(C4D_Resource, Reload) == abi::EntryOffset(6, abi::kNoMembers));
static_assert(offsetof(C4D_BaseList, Free) == abi::EntryOffset(4, abi::kNoMembers));
static_assert(offsetof(C4D_Object, GetTagDataR) == abi::EntryOffset(156, abi::kObjectMembers));
static_assert(offsetof(C4D_Document, ExecutePasses) == abi::EntryOffset(82, abi::kDocumentMembers));
static_assert(offsetof(C4D_Atom, GetIndex) == abi::EntryOffset(37, abi::kAtomMembers));
static_assert(offsetof(C4DOS, At) == 34 * sizeof(void*));

#else  // generation 11.5

struct C4D_General {
  void* unused_0[1];
  void (*Free)(void* block);  // 1
  void* unused_2[29];
  void (*StatusSetBar)(Int32 percent);  // 31
  void* unused_32[27];
  Bool (*RegisterPlugin)(Int32 api, Int32 type, Int32 id, const String* name, void* record,
                         Int32 size);  // 59
  void* unused_60[15];
  Registry* (*FindRegistry)(Int32 id, Int32 type);  // 75
  void* unused_76[5];
  Bool (*RegistryGetData)(Registry* entry, Int32* a, Int32* b, void** data);  // 81
  void* (*AllocCleared)(Int64 size, Int32 line, const char* file);        // 82
  void* unused_83[13];
  void (*DebugBreak)(Int32 line, const char* file);  // 96
  void* unused_97[3];
  Bool (*SendModelingCommand)(Int32 command, ModelingCommandData* record);  // 100
  void* unused_101[25];
  void* (*AllocNoClear)(Int64 size, Int32 line, const char* file);  // 126
};

struct C4D_Container {
  void* unused_0[4];
  void (*Free)(BaseContainer* bc);  // 4
  void* unused_5[4];
  void (*SetBool)(BaseContainer* bc, Int32 id, Bool value);  // 9
  void* unused_10[27];
  void (*Init)(BaseContainer* bc, Int32 id);  // 37
};

struct C4D_String {
  String* Empty;  // 0: the host's empty string
  void* unused_1[3];
  void (*FreeString)(String* s);  // 4
  void* unused_5[1];
  Int32 (*GetLength)(const String* s);  // 6
  void* unused_7[5];
  void (*Insert)(String* s, Int32 pos, const String* other);  // 12
  void* unused_13[11];
  void (*Init)(String* s);                                                         // 24
  void (*InitCString)(String* s, const char* text, Int32 length, Int32 encoding);  // 25
  void* unused_26[1];
  void (*Flush)(String* s);                                // 27
  void (*CopyTo)(const String* source, String* destination);  // 28
};

struct C4D_FileName {
  void* unused_0[3];
  void (*FreeFilename)(Filename* f);  // 3
  void* unused_4[2];
  String* (*GetString)(const Filename* f);             // 6
  void (*SetString)(Filename* f, const String* name);  // 7
  Filename* (*GetDirectory)(const Filename* f);        // 8
  void* unused_9[1];
  void (*ClearSuffix)(Filename* f);  // 10
  void* unused_11[6];
  void (*Init)(Filename* f);                                  // 17
  void (*Flush)(Filename* f);                                 // 18
  void (*CopyTo)(const Filename* source, Filename* destination);  // 19
};

struct C4D_File {
  BaseFile* (*Alloc)();          // 0
  void (*Free)(BaseFile* file);  // 1
  Bool (*Open)(BaseFile* file, const Filename* name, Int32 mode, Int32 dialog, Int32 order,
               Int32 type, Int32 creator);  // 2
  void* unused_3[3];
  Bool (*WriteBytes)(BaseFile* file, const void* data, Int64 count);  // 6
  void* unused_7[3];
  Int32 (*GetError)(const BaseFile* file);  // 10
  void* unused_11[1];
  Bool (*WriteChar)(BaseFile* file, Int32 byte);  // 12
};

struct C4D_Resource {
  LocalResource* (*Load)(const Filename* directory);  // 0
  void (*Free)(LocalResource* res);                   // 1
  void* unused_2[1];
  LocalResource* (*GetGlobal)();                              // 3
  const String* (*LoadString)(LocalResource* res, Int32 id);  // 4
  void* unused_5[2];
  Bool (*Reload)(LocalResource* res, const Filename* directory);  // 7
};

struct C4D_BaseList {
  void* unused_0[18];
  void (*Free)(BaseList2D* node);  // 18
};

struct C4D_Object {
  void* unused_0[16];
  MatrixT<float> (*GetMl)(const BaseObject* op);  // 16
  void* unused_17[15];
  Int32 (*GetTagDataCount)(const BaseObject* op, Int32 type);  // 32
  void* unused_33[133];
  const void* (*GetTagDataR)(const BaseObject* op, Int32 type, Int32 nr);  // 166
};

struct C4D_Document {
  void* unused_0[3];
  BaseDocument* (*Alloc)();  // 3
  void* unused_4[4];
  BaseObject* (*GetFirstObject)(BaseDocument* doc);  // 8
  void* unused_9[22];
  void (*AnimateObject)(BaseDocument* doc, BaseList2D* op, const BaseTime& time,
                        Int32 flags);  // 31
  void* unused_32[68];
  Bool (BaseDocument::*ExecutePasses)(BaseThread* bt, Bool animation, Bool expressions,
                                      Bool caches);  // 100 m
};

struct C4D_Atom {
  void* unused_0[1];
  Bool (C4DAtom::*CopyTo)(C4DAtom* dest, Int32 flags, AliasTrans* trn) const;  // 1 m
  Int32 (C4DAtom::*GetType)() const;                                           // 2 m
  void* unused_3[4];
  Bool (C4DAtom::*GetParameter)(const DescID& id, GeData& t_data, Int32 flags);        // 7 m
  Bool (C4DAtom::*SetParameter)(const DescID& id, const GeData& t_data, Int32 flags);  // 8 m
  void* unused_9[1];
  BaseObject* (BaseObject::*GetNext)();  // 10 m
  void* unused_11[2];
  BaseObject* (BaseObject::*GetDown)();  // 13 m
  void* unused_14[1];
  void (GeListNode::*InsertBefore)(GeListNode* next);  // 15 m
  void* unused_16[20];
  void (*ArrayFree)(AtomArray** array);  // 36
  void* unused_37[1];
  C4DAtom* (AtomArray::*GetIndex)(Int32 index) const;  // 38 m
};

struct C4DOS {
  Int32 version;  // slot 0: the host's API version in its first four bytes
  Int32 version_rest;
  C4D_General* General;  // 1
  void* unused_2[2];
  C4D_Container* Bc;  // 4
  C4D_String* St;     // 5
  void* unused_6[3];
  C4D_FileName* Fn;  // 9
  C4D_File* Fl;      // 10
  void* unused_11[4];
  C4D_Resource* Lr;  // 15
  C4D_BaseList* Bl;  // 16
  void* unused_17[1];
  C4D_Object* Bo;    // 18
  C4D_Document* Bd;  // 19
  void* unused_20[18];
  C4D_GeData* Gd;  // 38
  C4D_Atom* At;    // 39
};

namespace abi {
constexpr int kDocumentMembers[] = {100};
constexpr int kAtomMembers[] = {1, 2, 7, 8, 10, 13, 15, 38};
constexpr int kNoMembers[] = {-1};
}  // namespace abi

static_assert(offsetof(C4D_General, AllocNoClear) == abi::EntryOffset(126, abi::kNoMembers));
static_assert(offsetof(C4D_General, SendModelingCommand) == abi::EntryOffset(100, abi::kNoMembers));
static_assert(offsetof(C4D_Container, Init) == abi::EntryOffset(37, abi::kNoMembers));
static_assert(offsetof(C4D_String, CopyTo) == abi::EntryOffset(28, abi::kNoMembers));
static_assert(offsetof(C4D_FileName, CopyTo) == abi::EntryOffset(19, abi::kNoMembers));
static_assert(offsetof(C4D_File, WriteChar) == abi::EntryOffset(12, abi::kNoMembers));
static_assert(offsetof(C4D_Resource, Reload) == abi::EntryOffset(7, abi::kNoMembers));
static_assert(offsetof(C4D_BaseList, Free) == abi::EntryOffset(18, abi::kNoMembers));
static_assert(offsetof(C4D_Object, GetTagDataR) == abi::EntryOffset(166, abi::kNoMembers));
static_assert(offsetof(C4D_Document, ExecutePasses) == abi::EntryOffset(100, abi::kDocumentMembers));
static_assert(offsetof(C4D_Atom, GetIndex) == abi::EntryOffset(38, abi::kAtomMembers));
static_assert(offsetof(C4DOS, At) == 39 * sizeof(void*));

#endif

// The host's root table; null at load, set by the first system start-up, never cleared.
extern C4DOS* t_C4DOS;

// Binds the root table and returns the host's API version from its first slot. The table is
// not tested: the host passes it with every system start-up.
Int32 InitOS(void* table);
