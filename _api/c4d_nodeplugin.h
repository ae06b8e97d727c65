// Node plug-in classes: the host calls their operations through the record filled here.
#pragma once

#include "c4d_generation.h"
#include "c4d_platform.h"

class String;
class GeListNode;
class HyperFile;
class AliasTrans;
class BaseDocument;
class BranchInfo;
class Description;
class DescID;
class GeData;
class BaseContainer;
class C4DAtom;
class BaseBitmap;
class LocalResource;

#if QUOR_GEN12
enum COPYFLAGS { COPYFLAGS_0 = 0 };
enum GETBRANCHINFO { GETBRANCHINFO_0 = 0 };
enum DESCFLAGS_DESC { DESCFLAGS_DESC_0 = 0 };
enum DESCFLAGS_GET { DESCFLAGS_GET_0 = 0 };
enum DESCFLAGS_SET { DESCFLAGS_SET_0 = 0 };
enum DESCFLAGS_ENABLE { DESCFLAGS_ENABLE_0 = 0 };
#else
typedef Int32 COPYFLAGS;
typedef UInt32 GETBRANCHINFO;
typedef Int32 DESCFLAGS_DESC;
typedef Int32 DESCFLAGS_GET;
typedef Int32 DESCFLAGS_SET;
typedef Int32 DESCFLAGS_ENABLE;
#endif

// Root of the node plug-in classes.
class BaseData {
 public:
  BaseData() = default;
  virtual ~BaseData() = default;
  // Deletes this object through its virtual destructor; a null object is ignored. The host calls
  // it through the record when it discards the object.
  void Destructor();
};

class NodeData : public BaseData {
 public:
  NodeData() = default;
  // Defaults: true from Init, Read, Write, Message, CopyTo, GetDParameter, GetDEnabling and
  // SetDParameter; false, 0 or null from the others. They ignore their arguments.
  virtual Bool Init(GeListNode* node);
  virtual void Free(GeListNode* node);
  virtual Bool Read(GeListNode* node, HyperFile* hf, Int32 level);
  virtual Bool Write(GeListNode* node, HyperFile* hf);
  virtual Bool Message(GeListNode* node, Int32 type, void* data);
  virtual Bool CopyTo(NodeData* dest, GeListNode* snode, GeListNode* dnode, COPYFLAGS flags,
                      AliasTrans* trn);
  virtual void GetBubbleHelp(GeListNode* node, String& str);
  virtual BaseDocument* GetDocument(GeListNode* node);
#if !QUOR_GEN12
  virtual Int32 GetBranchInfoEx(GeListNode* node, BranchInfo* info, Int32 max);
#endif
  virtual Int32 GetBranchInfo(GeListNode* node, BranchInfo* info, Int32 max, GETBRANCHINFO flags);
  virtual Bool IsInstanceOf(const GeListNode* node, Int32 type) const;
  virtual Bool GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags);
  virtual Bool GetDParameter(GeListNode* node, const DescID& id, GeData& t_data,
                             DESCFLAGS_GET& flags);
  virtual Bool GetDEnabling(GeListNode* node, const DescID& id, const GeData& t_data,
                            DESCFLAGS_ENABLE flags, const BaseContainer* itemdesc);
  virtual Bool SetDParameter(GeListNode* node, const DescID& id, const GeData& t_data,
                             DESCFLAGS_SET& flags);
  virtual Bool TranslateDescID(GeListNode* node, const DescID& id, DescID& res_id,
                               C4DAtom*& res_at);
  virtual Bool IsDocumentRelated(const GeListNode* node, Bool& docrelated) const;

 private:
  // Storage the host's class layout has here; nothing initialises or reads it.
  [[maybe_unused]] void* reserved_[gen::kNodeDataReservedWords];
};

typedef NodeData* DataAllocator();

// One cell of the node-plug-in record: a member at its start, the cell as wide as a native
// member pointer.
template <class T>
union RecordCell {
  T value;
  unsigned char bytes[platform::kRecordCell];
};

// The host's node-plug-in record; the plug-in fills the members below, every other byte is 0.
struct NODEPLUGIN {
  RecordCell<Int32> info;                                    // 0
  RecordCell<Int32> disklevel;                               // 1
  RecordCell<void*> data;                                    // 2
  RecordCell<BaseBitmap*> icon;                              // 3
  RecordCell<DataAllocator*> Allocator;                      // 4
  RecordCell<void (BaseData::*)()> Destructor;               // 5
  RecordCell<Bool (NodeData::*)(GeListNode*)> Init;          // 6: first node callback
  RecordCell<void (NodeData::*)(GeListNode*)> Free;
  RecordCell<Bool (NodeData::*)(GeListNode*, HyperFile*, Int32)> Read;
  RecordCell<Bool (NodeData::*)(GeListNode*, HyperFile*)> Write;
  RecordCell<Bool (NodeData::*)(NodeData*, GeListNode*, GeListNode*, COPYFLAGS, AliasTrans*)>
      CopyTo;
  RecordCell<Bool (NodeData::*)(GeListNode*, Int32, void*)> Message;
  RecordCell<BaseDocument* (NodeData::*)(GeListNode*)> GetDocument;
  RecordCell<void (NodeData::*)(GeListNode*, String&)> GetBubbleHelp;
  RecordCell<Bool (NodeData::*)(GeListNode*, Description*, DESCFLAGS_DESC&)> GetDDescription;
  RecordCell<Bool (NodeData::*)(GeListNode*, const DescID&, GeData&, DESCFLAGS_GET&)>
      GetDParameter;
  RecordCell<Bool (NodeData::*)(GeListNode*, const DescID&, const GeData&, DESCFLAGS_SET&)>
      SetDParameter;
  RecordCell<Bool (NodeData::*)(GeListNode*, const DescID&, const GeData&, DESCFLAGS_ENABLE,
                                const BaseContainer*)>
      GetDEnabling;
#if !QUOR_GEN12
  RecordCell<Int32 (NodeData::*)(GeListNode*, BranchInfo*, Int32)> GetBranchInfoEx;
#endif
  RecordCell<Bool (NodeData::*)(const GeListNode*, Int32) const> IsInstanceOf;
  RecordCell<Int32 (NodeData::*)(GeListNode*, BranchInfo*, Int32, GETBRANCHINFO)> GetBranchInfo;
  RecordCell<Bool (NodeData::*)(GeListNode*, const DescID&, DescID&, C4DAtom*&)> TranslateDescID;
  RecordCell<Bool (NodeData::*)(const GeListNode*, Bool&) const> IsDocumentRelated;
  RecordCell<void*> reserved[QUOR_GEN12 ? 10 : 9];  // up to cell 31
};
static_assert(sizeof(NODEPLUGIN) == 32 * platform::kRecordCell, "node-plug-in record cells");

// Fills the members of `np` listed above (it does not clear the record) and returns it.
NODEPLUGIN* FillNodePlugin(NODEPLUGIN* np, Int32 info, DataAllocator* alloc, BaseBitmap* icon,
                           Int32 disklevel, void* data);

// Registers description `name` under `id` with `res`, or with the plug-in's resource when null.
Bool RegisterDescription(Int32 id, const String& name, LocalResource* res = nullptr);
