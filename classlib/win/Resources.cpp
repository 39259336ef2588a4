#include "Resources.h"

#include "SysConst.h"
#include "SysUtils.h"

TResourceStream::TResourceStream(HINSTANCE instance, const String& resName,
                                 const char* resType) {
  Initialize(instance, resName.c_str(), resType, resName);
}

TResourceStream::TResourceStream(HINSTANCE instance, Integer resId,
                                 const char* resType) {
  // Resource numbers are 16 bits: a larger one must not find another
  // resource through its low word.
  if (resId < 0 || resId > 0xFFFF)
    throw EResNotFound(SResNotFound, {IntToStr(resId)});
  Initialize(instance, MAKEINTRESOURCEA(static_cast<Word>(resId)), resType,
             IntToStr(resId));
}

void TResourceStream::Initialize(HINSTANCE instance, const char* name,
                                 const char* type, const String& displayName) {
  HRSRC info = FindResourceA(instance, name, type);
  if (!info) throw EResNotFound(SResNotFound, {displayName});
  HGLOBAL handle = LoadResource(instance, info);
  void* data = handle ? LockResource(handle) : nullptr;
  DWORD size = SizeofResource(instance, info);
  if (!data) throw EResNotFound(SResNotFound, {displayName});
  SetPointer(data, static_cast<Integer>(size));
}

Integer TResourceStream::Write(const void*, Integer) {
  throw EStreamError(SCantWriteResourceStreamError);
}
