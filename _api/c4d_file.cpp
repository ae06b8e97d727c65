#include "c4d_file.h"

#include "operatingsystem.h"

Filename::Filename() { t_C4DOS->Fn->Init(this); }

Filename::Filename(const Filename& other) {
  t_C4DOS->Fn->Init(this);
  t_C4DOS->Fn->CopyTo(&other, this);
}

Filename::~Filename() { t_C4DOS->Fn->Flush(this); }

Filename& Filename::operator=(const Filename& other) {
  t_C4DOS->Fn->CopyTo(&other, this);
  return *this;
}

void Filename::SetString(const String& name) { t_C4DOS->Fn->SetString(this, &name); }

void Filename::ClearSuffix() { t_C4DOS->Fn->ClearSuffix(this); }

#if QUOR_GEN12

String Filename::GetString() const { return t_C4DOS->Fn->GetString(this); }

Filename Filename::GetDirectory() const { return t_C4DOS->Fn->GetDirectory(this); }

#else

String Filename::GetString() const { return String(String::PathOf{}, this); }

Filename Filename::GetDirectory() const { return Filename(DirectoryOf{}, this); }

Filename::Filename(DirectoryOf, const Filename* f) {
  t_C4DOS->Fn->Init(this);
  Filename* owned = t_C4DOS->Fn->GetDirectory(f);
  if (owned) *this = *owned;
  FreeFilename(owned);
}

void FreeFilename(Filename*& f) {
  if (f) t_C4DOS->Fn->FreeFilename(f);
  f = nullptr;
}

#endif

BaseFile* BaseFile::Alloc() { return t_C4DOS->Fl->Alloc(); }

void BaseFile::Free(BaseFile*& file) {
  t_C4DOS->Fl->Free(file);
  file = nullptr;
}

#if QUOR_GEN12

Bool BaseFile::Open(const Filename& name, FILEOPEN mode, FILEDIALOG dialog, BYTEORDER order,
                    Int32 type, Int32 creator) {
  return (this->*(t_C4DOS->Fl->Open))(name, mode, dialog, order, type, creator);
}

Bool BaseFile::WriteBytes(const void* data, Int64 count) {
  return (this->*(t_C4DOS->Fl->WriteBytes))(data, count);
}

Bool BaseFile::WriteChar(Char c) { return (this->*(t_C4DOS->Fl->WriteChar))(Int32(c)); }

FILEERROR BaseFile::GetError() const {
  return FILEERROR((this->*(t_C4DOS->Fl->GetError))());
}

#else

Bool BaseFile::Open(const Filename& name, FILEOPEN mode, FILEDIALOG dialog, BYTEORDER order,
                    Int32 type, Int32 creator) {
  return t_C4DOS->Fl->Open(this, &name, mode, dialog, order, type, creator);
}

Bool BaseFile::WriteBytes(const void* data, Int64 count) {
  return t_C4DOS->Fl->WriteBytes(this, data, count);
}

Bool BaseFile::WriteChar(Char c) { return t_C4DOS->Fl->WriteChar(this, Int32(c)); }

FILEERROR BaseFile::GetError() const { return t_C4DOS->Fl->GetError(this); }

#endif
