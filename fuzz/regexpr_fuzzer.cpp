// The mask engine with arbitrary patterns and input. The first input byte
// picks the options and how much of the rest is pattern; the remaining bytes
// are fed to the compiled engine, byte values below 8 stepping back instead.
// The only acceptable outcomes are a compiled engine that answers every step
// or EcxRegExprError.
#include <cstddef>
#include <cstdint>

#include "cxRegExpr.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  ++data;
  --size;
  // Half or all of the rest is pattern.
  const std::size_t patternSize = (options & 4) ? size : (size + 1) / 2;
  const String pattern(reinterpret_cast<const char*>(data), patternSize);
  const String input(reinterpret_cast<const char*>(data) + patternSize,
                     size - patternSize);

  TcxRegExpr engine;
  engine.SetUpdateOn(options & 1);
  engine.SetCaseInsensitive(options & 2);
  TStringStream source(pattern);
  try {
    engine.Compile(&source);
  } catch (const EcxRegExprError&) {
    return 0;
  }
  for (char c : input) {
    if (static_cast<std::uint8_t>(c) < 8) {
      engine.Prev();
    } else {
      engine.Next(c);
    }
    engine.IsFinal();
  }
  engine.NextEx(input);
  engine.Print();
  return 0;
}
