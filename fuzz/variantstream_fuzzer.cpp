// Variant streams with arbitrary bytes: every value read before the first
// error is stored again, and its stored bytes must read back to the same
// bytes. The only acceptable outcomes are values or EReadError; crashes,
// sanitizer reports, hangs and unstable re-encodings are faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Classes.h"
#include "cxVariants.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  return 0;
}

namespace {
String Store(const Variant& v) {
  TStringStream out;
  WriteVariantProc(&out, v);
  return out.DataString();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  TStringStream in(String(reinterpret_cast<const char*>(data), size));
  try {
    while (in.Position() < in.Size()) {
      const String once = Store(ReadVariantFunc(&in));
      TStringStream again(once);
      if (Store(ReadVariantFunc(&again)) != once) std::abort();
    }
  } catch (const EReadError&) {
  }
  if (in.Position() > in.Size()) std::abort();
  return 0;
}
