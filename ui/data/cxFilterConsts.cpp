#include "cxFilterConsts.h"

TcxFilterGetResourceStringFunc cxFilterGetResourceStringFunc = nullptr;

String cxSFilterString(const TcxResourceString& AResString) {
  if (cxFilterGetResourceStringFunc)
    return cxFilterGetResourceStringFunc(AResString);
  return cxGetResourceString(AResString);
}
