// Random bytes as code: every offset is decoded with text and register
// tracking, and a function is analysed and listed from the first byte.
// Nothing may crash or read outside the input, every answer must stay
// inside it, and a valid instruction is never longer than 15 bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "PellorDisAsm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0 || size > 4096) return 0;
  // A copy of exactly the input's size, so that any overread is caught.
  std::vector<Byte> code(data, data + size);
  const Cardinal base = 0x00401000;
  TDABufferEnvironment env(base, code.data(), Cardinal(code.size()));
  TDARegisterState regs{};
  for (Cardinal at = base; at < base + size; ++at) {
    TDAInstruction in;
    String text;
    bool valid = DecodeInstructionEx(env, at, &text, &regs, in);
    if (valid && (in.next <= at || in.next - at > 15)) __builtin_trap();
    if (in.next > base + size) __builtin_trap();
    if (text.empty()) __builtin_trap();
  }
  TFunctionInfo info;
  String listing;
  TDARuntimeHelpers helpers;
  helpers.halt0 = base + Cardinal(size / 2);
  DisassembleFunction(env, base, listing, base + Cardinal(size / 3), info, true,
                      20, helpers);
  if (info.valid) {
    if (info.areas.empty()) __builtin_trap();
    if (info.lowestAddress < base) __builtin_trap();
  }
  return 0;
}
