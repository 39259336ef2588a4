// A second module of the crash tests' process. It carries its own copy of
// the crash library and its own settings, and answers the tests through
// a few exports.
#include <windows.h>

#include "PellorHelpers.h"
#include "PellorSettings.h"
#include "PellorThreads.h"

#define CTM_EXPORT extern "C" __declspec(dllexport)

CTM_EXPORT void* CtmAcquireSettingsOf(HMODULE module) {
  return AcquireModuleSettings(module);
}

CTM_EXPORT void CtmReleaseSettings(void* record) {
  ReleaseModuleSettings(static_cast<ModuleSettings*>(record));
}

CTM_EXPORT HANDLE CtmSettingsMapping() {
  return SharedSettings() ? SharedSettings()->mapping : nullptr;
}

CTM_EXPORT int CtmSmtpPortOf(HMODULE module) {
  return SettingsOfModule(module)->SmtpPort();
}

CTM_EXPORT HMODULE CtmOwnModule() { return OwnModule(); }

CTM_EXPORT void CtmOpenRegistry() { OpenThreadRegistry(); }

CTM_EXPORT void CtmCloseRegistry() { CloseThreadRegistry(); }

CTM_EXPORT LONG CtmRegistryUsers() {
  return ThreadRegistry() ? ThreadRegistry()->refCount : 0;
}

CTM_EXPORT DWORD CtmMainThreadId() { return LibraryMainThreadId(); }

CTM_EXPORT void CtmSetThreadName(DWORD id, const char* name) {
  SetThreadName(id, name);
}

CTM_EXPORT int CtmThreadDisplayName(DWORD id, char* text, int size) {
  const void* creator = nullptr;
  DWORD creatorThread = 0;
  String name;
  ThreadDisplayName(id, true, creator, name, creatorThread);
  lstrcpynA(text, name.c_str(), size);
  return static_cast<int>(name.size());
}
