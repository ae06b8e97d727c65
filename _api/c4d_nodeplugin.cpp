#include "c4d_nodeplugin.h"

#include "c4d_resource.h"
#include "lib_description.h"

void BaseData::Destructor() {
  BaseData* self = platform::Opaque(this);  // the host may call this with a null object
  if (self) delete self;
}

Bool NodeData::Init(GeListNode*) { return true; }
void NodeData::Free(GeListNode*) {}
Bool NodeData::Read(GeListNode*, HyperFile*, Int32) { return true; }
Bool NodeData::Write(GeListNode*, HyperFile*) { return true; }
Bool NodeData::Message(GeListNode*, Int32, void*) { return true; }
Bool NodeData::CopyTo(NodeData*, GeListNode*, GeListNode*, COPYFLAGS, AliasTrans*) { return true; }
void NodeData::GetBubbleHelp(GeListNode*, String&) {}
BaseDocument* NodeData::GetDocument(GeListNode*) { return nullptr; }
#if !QUOR_GEN12
Int32 NodeData::GetBranchInfoEx(GeListNode*, BranchInfo*, Int32) { return 0; }
#endif
Int32 NodeData::GetBranchInfo(GeListNode*, BranchInfo*, Int32, GETBRANCHINFO) { return 0; }
Bool NodeData::IsInstanceOf(const GeListNode*, Int32) const { return false; }
Bool NodeData::GetDDescription(GeListNode*, Description*, DESCFLAGS_DESC&) { return false; }
Bool NodeData::GetDParameter(GeListNode*, const DescID&, GeData&, DESCFLAGS_GET&) { return true; }
Bool NodeData::GetDEnabling(GeListNode*, const DescID&, const GeData&, DESCFLAGS_ENABLE,
                            const BaseContainer*) {
  return true;
}
Bool NodeData::SetDParameter(GeListNode*, const DescID&, const GeData&, DESCFLAGS_SET&) {
  return true;
}
Bool NodeData::TranslateDescID(GeListNode*, const DescID&, DescID&, C4DAtom*&) { return false; }
Bool NodeData::IsDocumentRelated(const GeListNode*, Bool&) const { return false; }

NODEPLUGIN* FillNodePlugin(NODEPLUGIN* np, Int32 info, DataAllocator* alloc, BaseBitmap* icon,
                           Int32 disklevel, void* data) {
  np->info.value = info;
  np->Destructor.value = &BaseData::Destructor;
  np->disklevel.value = disklevel;
  np->data.value = data;
  np->icon.value = icon;
  np->Allocator.value = alloc;
  np->Init.value = &NodeData::Init;
  np->Free.value = &NodeData::Free;
  np->Read.value = &NodeData::Read;
  np->Write.value = &NodeData::Write;
  np->CopyTo.value = &NodeData::CopyTo;
  np->Message.value = &NodeData::Message;
  np->GetDocument.value = &NodeData::GetDocument;
  np->GetBubbleHelp.value = &NodeData::GetBubbleHelp;
  np->GetDDescription.value = &NodeData::GetDDescription;
  np->GetDParameter.value = &NodeData::GetDParameter;
  np->SetDParameter.value = &NodeData::SetDParameter;
  np->GetDEnabling.value = &NodeData::GetDEnabling;
#if !QUOR_GEN12
  np->GetBranchInfoEx.value = &NodeData::GetBranchInfoEx;
#endif
  np->IsInstanceOf.value = &NodeData::IsInstanceOf;
  np->GetBranchInfo.value = &NodeData::GetBranchInfo;
  np->TranslateDescID.value = &NodeData::TranslateDescID;
  np->IsDocumentRelated.value = &NodeData::IsDocumentRelated;
  return np;
}

Bool RegisterDescription(Int32 id, const String& name, LocalResource* res) {
  if (!res) res = resource.Get();
  return Description_Register(id, name, res);
}
