#include "c4d_baselist.h"

#include "operatingsystem.h"

Bool C4DAtom::CopyTo(C4DAtom* dest, Int32 flags, AliasTrans* trn) const {
  return (this->*(t_C4DOS->At->CopyTo))(dest, flags, trn);
}

Int32 C4DAtom::GetType() const { return (this->*(t_C4DOS->At->GetType))(); }

Bool C4DAtom::GetParameter(const DescID& id, GeData& t_data, Int32 flags) {
  return (this->*(t_C4DOS->At->GetParameter))(id, t_data, flags);
}

Bool C4DAtom::SetParameter(const DescID& id, const GeData& t_data, Int32 flags) {
  return (this->*(t_C4DOS->At->SetParameter))(id, t_data, flags);
}

void GeListNode::InsertBefore(GeListNode* next) { (this->*(t_C4DOS->At->InsertBefore))(next); }

void BaseList2D::Free(BaseList2D*& node) {
  t_C4DOS->Bl->Free(node);
  node = nullptr;
}

BaseObject* BaseObject::GetNext() { return (this->*(t_C4DOS->At->GetNext))(); }

BaseObject* BaseObject::GetDown() { return (this->*(t_C4DOS->At->GetDown))(); }

#if QUOR_GEN12
const LMatrix& BaseObject::GetMl() const { return (this->*(t_C4DOS->Bo->GetMl))(); }
#else
Matrix BaseObject::GetMl() const { return t_C4DOS->Bo->GetMl(this); }
#endif

const void* BaseObject::GetTagDataR(Int32 type, Int32 nr) const {
  return t_C4DOS->Bo->GetTagDataR(this, type, nr);
}

Int32 BaseObject::GetTagDataCount(Int32 type) const {
  return t_C4DOS->Bo->GetTagDataCount(this, type);
}

C4DAtom* AtomArray::GetIndex(Int32 index) const {
  return (this->*(t_C4DOS->At->GetIndex))(index);
}

void AtomArray::Free(AtomArray*& array) { t_C4DOS->At->ArrayFree(&array); }
