// Date texts of any content through the smart date words and the two
// conversions. They never raise: the only acceptable outcomes are a date
// within the calendar or false.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "cxDateUtils.h"
#include "cxFormats.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  // A fixed today keeps the answers reproducible.
  cxSetNowFunc([] { return EncodeDateTime(2024, 2, 14, 10, 30, 0, 0); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the class library's formats or the locale's.
  cxFormatController()->SetUseClassLibraryDateTimeFormats(data[0] & 1);
  const String text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TDateTime date = 0;
  if (TextToDateEx(text, date) && !(date > -693594.0 && date < 2958466.0)) {
    std::abort();  // accepted a date outside the calendar
  }
  SmartTextToDate(text, date);
  cxStrToDateTime(text, data[0] & 2, date);
  return 0;
}
