#include "c4d_basecontainer.h"

#include "operatingsystem.h"

#if QUOR_GEN12

BaseContainer::BaseContainer() { (this->*(t_C4DOS->Bc->Init))(-1, nullptr); }

BaseContainer::~BaseContainer() { (this->*(t_C4DOS->Bc->FlushAll))(); }

void BaseContainer::SetBool(Int32 id, Bool value) { (this->*(t_C4DOS->Bc->SetBool))(id, value); }

#else

BaseContainer::BaseContainer() { t_C4DOS->Bc->Init(this, -1); }

BaseContainer::~BaseContainer() { t_C4DOS->Bc->Free(this); }

void BaseContainer::SetBool(Int32 id, Bool value) { t_C4DOS->Bc->SetBool(this, id, value); }

#endif
