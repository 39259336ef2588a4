// A second module of the crash tests' process. It carries its own copy of
// the crash library and its own settings, and answers the tests through
// a few exports.
#include <windows.h>

#include "PellorHelpers.h"
#include "PellorSettings.h"

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
