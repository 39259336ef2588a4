#include "WinApi.h"
//
#include <windows.h>

#include "cxControlsCommon.h"

String cxControlsLoadString(Integer AId) {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&cxControlsLoadString),
                       &module);
  char buffer[256];
  const int length = ::LoadStringA(module, static_cast<UINT>(AId), buffer,
                                   static_cast<int>(sizeof(buffer)));
  return String(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}
