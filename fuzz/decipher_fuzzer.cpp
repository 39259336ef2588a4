// Random bytes to the decipher routines and the Base64 decoder: no crash,
// no read or write outside the text.
#include <cstddef>
#include <cstdint>

#include "PellorCipher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // Layout: password length, password, 8 counter bytes, text.
  if (size < 1) return 0;
  std::size_t passwordLength = data[0] % 64;
  if (size < 1 + passwordLength + 8) return 0;
  const char* bytes = reinterpret_cast<const char*>(data);
  String password(bytes + 1, passwordLength);
  const std::uint8_t* counter = data + 1 + passwordLength;
  Cardinal low = Cardinal{counter[0]} | Cardinal{counter[1]} << 8 |
                 Cardinal{counter[2]} << 16 | Cardinal{counter[3]} << 24;
  Cardinal high = Cardinal{counter[4]} | Cardinal{counter[5]} << 8 |
                  Cardinal{counter[6]} << 16 | Cardinal{counter[7]} << 24;
  std::size_t at = 1 + passwordLength + 8;
  String text(bytes + at, size - at);

  String deciphered = text;
  DecipherStr(deciphered, password, low, high);
  if (deciphered.size() > text.size()) __builtin_trap();

  String legacy = text;
  LegacyDecipherStr(legacy, password);
  LegacyEncipherStr(legacy, password);
  if (legacy != text) __builtin_trap();

  String decoded = Base64ToStr(text);
  if (decoded.size() > text.size() / 4 * 3) __builtin_trap();
  return 0;
}
