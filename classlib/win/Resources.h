// A read-only stream over a resource of a module. The data stays where the
// module has it, for as long as the module is loaded.
#pragma once

#include <windows.h>

#include "Classes.h"

class TResourceStream : public TCustomMemoryStream {
  VARNEL_CLASS(TResourceStream, TCustomMemoryStream)
 public:
  // Raise EResNotFound "Resource %s not found" when the module has no such
  // resource of that type.
  TResourceStream(HINSTANCE instance, const String& resName,
                  const char* resType);
  TResourceStream(HINSTANCE instance, Integer resId, const char* resType);

  // Raises EStreamError: resources cannot be changed.
  Integer Write(const void* buffer, Integer count) override;

 private:
  void Initialize(HINSTANCE instance, const char* name, const char* type,
                  const String& displayName);
};
