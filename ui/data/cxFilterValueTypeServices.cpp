// Answers the editors' filter helpers' two questions about a value type:
// the editor layer stands below this one and cannot ask the value types
// itself. Windows only, as the helpers are.
#include "cxDataStorage.h"
#include "cxFilterControlUtils.h"

namespace {

bool IsString(TcxValueTypeClass AValueTypeClass) {
  return AValueTypeClass->IsString();
}

bool IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) {
  return AValueTypeClass->IsValueValid(AValue);
}

void ServicesStartup() {
  cxSetFilterValueTypeServices({&IsString, &IsValueValid});
}

void ServicesShutdown() { cxSetFilterValueTypeServices({}); }

}  // namespace

VARNEL_UNIT(cxFilterValueTypeServices, ({"cxDataStorage"}), &ServicesStartup,
            &ServicesShutdown);
