#include "c4d_basedocument.h"

#include "c4d_basecontainer.h"
#include "c4d_gedata.h"
#include "c4d_general.h"
#include "lib_description.h"
#include "operatingsystem.h"

namespace {

enum : Int32 {
  DOCUMENT_TIME = 1000,
  DOCUMENT_FPS = 1001,
  DOCUMENT_MINTIME = 1002,
  DOCUMENT_MAXTIME = 1003,
};

// A time parameter of `doc`, or 0 over 1 when the host refuses the read.
BaseTime ReadTime(BaseDocument* doc, Int32 parameter) {
  GeData data;
  BaseTime result;
  Bool ok;
  {
    DescID id{DescLevel(parameter)};
    ok = doc->GetParameter(id, data, 0);
  }
  if (ok) result = data.GetTime();
  return result;
}

}  // namespace

BaseDocument* BaseDocument::Alloc() { return t_C4DOS->Bd->Alloc(); }

void BaseDocument::Free(BaseDocument*& doc) {
  t_C4DOS->Bl->Free(doc);
  doc = nullptr;
}

BaseObject* BaseDocument::GetFirstObject() { return t_C4DOS->Bd->GetFirstObject(this); }

void BaseDocument::AnimateObject(BaseList2D* op, const BaseTime& time, ANIMATEFLAGS flags) {
  t_C4DOS->Bd->AnimateObject(this, op, time, Int32(flags));
}

#if QUOR_GEN12
Bool BaseDocument::ExecutePasses(BaseThread* bt, Bool animation, Bool expressions, Bool caches,
                                 BUILDFLAGS flags) {
  return (this->*(t_C4DOS->Bd->ExecutePasses))(bt, animation, expressions, caches, Int32(flags));
}
#else
Bool BaseDocument::ExecutePasses(BaseThread* bt, Bool animation, Bool expressions, Bool caches) {
  return (this->*(t_C4DOS->Bd->ExecutePasses))(bt, animation, expressions, caches);
}
#endif

Int32 BaseDocument::GetFps() {
  GeData data;
  Bool ok;
  {
    DescID id{DescLevel(DOCUMENT_FPS)};
    ok = GetParameter(id, data, 0);
  }
  return ok ? data.GetLong() : 0;
}

BaseTime BaseDocument::GetMinTime() { return ReadTime(this, DOCUMENT_MINTIME); }

BaseTime BaseDocument::GetMaxTime() { return ReadTime(this, DOCUMENT_MAXTIME); }

void BaseDocument::SetTime(const BaseTime& time) {
  GeData data(time);
  DescID id{DescLevel(DOCUMENT_TIME)};
  SetParameter(id, data, 8);
}

BaseDocument* BaseDocument::Polygonize(Int32 flag) {
  BaseDocument* copy = Alloc();
  if (!copy) return nullptr;

  BaseContainer settings;
  ModelingCommandData command;
  command.doc = copy;
  command.bc = &settings;
  settings.SetBool(MDATA_CURRENTSTATETOOBJECT_INHERITANCE, flag);

  bool ok = CopyTo(copy, 0, nullptr);
  for (BaseObject* op = ok ? copy->GetFirstObject() : nullptr; ok && op;) {
    BaseObject* next = op->GetNext();
    command.op = op;
    ok = SendModelingCommand(MCOMMAND_CURRENTSTATETOOBJECT, command) && command.result;
    C4DAtom* replacement = ok ? command.result->GetIndex(0) : nullptr;
    ok = ok && replacement;
    if (ok) {
      static_cast<GeListNode*>(replacement)->InsertBefore(op);
      AtomArray::Free(command.result);
      BaseList2D* replaced = op;
      BaseList2D::Free(replaced);
      op = next;
    }
  }
  if (!ok) {
    BaseList2D* partial = copy;
    BaseList2D::Free(partial);
    AtomArray::Free(command.result);
    return nullptr;
  }
  return copy;
}
