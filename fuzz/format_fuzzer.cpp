// Format with arbitrary format strings against a fixed argument list of
// every kind: the only acceptable outcomes are a string or EConvertError.
#include <cstddef>
#include <cstdint>

#include "SysUtils.h"

namespace {

// Widths and precisions are honoured as given, so "%999999999d" builds a
// string of that size. The program's own format strings use small ones;
// longer digit runs would only measure the allocator.
bool HasLongNumber(const std::uint8_t* data, std::size_t size) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < size; ++i) {
    run = (data[i] >= '0' && data[i] <= '9') ? run + 1 : 0;
    if (run > 4) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (HasLongNumber(data, size)) return 0;
  const String fmt(reinterpret_cast<const char*>(data), size);
  const String text = "text";
  try {
    Format(fmt, {42, -7LL, 3.25, text, "pchar", 'c', true, nullptr});
  } catch (const Exception&) {
    // Bad format strings raise; that is the documented answer.
  }
  return 0;
}
