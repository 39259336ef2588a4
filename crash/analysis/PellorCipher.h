// The crash-report library's block cipher and Base64. Stored texts of the
// library (settings passwords, the packed map data) are enciphered with a
// 64-bit block cipher keyed by a caller's password; mail and upload bodies
// travel as Base64. Nothing here raises: bad input gives an unchanged,
// empty or shortened result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "System.h"

// The keyed state of the cipher: 18 subkeys and four substitution tables.
// About 4 KB; callers keep it on the stack for the length of one call.
struct TCipherState {
  std::uint32_t Subkeys[18];
  std::uint32_t Boxes[4][256];
};

enum TCipherDirection { cdEncipher, cdDecipher };

// How the 8 bytes of a block become its two 32-bit halves: big-endian
// (the first four bytes are the left half), or the older little-endian
// layout in which the library's map data was stored.
enum TCipherByteOrder { cbBigEndian, cbLegacyLittleEndian };

// Resets the state to the cipher's constant tables and mixes the password
// in. The password's bytes are used cyclically; an empty password mixes in
// nothing.
void SetCipherKey(TCipherState& state, const String& password);

// Enciphers or deciphers one block given as its two halves, in place.
void CipherBlock(const TCipherState& state, std::uint32_t& left,
                 std::uint32_t& right, TCipherDirection direction);

// Processes the whole 8-byte blocks of buffer in place; a shorter tail is
// left unchanged. With a counter other than 0 the buffer goes through
// counter mode (direction and byte order do not matter then: the same call
// enciphers and deciphers): before each block the counter is incremented
// and its encipherment, big-endian, is XORed into the block.
void CipherBuffer(const TCipherState& state, void* buffer, std::size_t length,
                  TCipherDirection direction, TCipherByteOrder order,
                  UInt64 counter = 0);

// Deciphers text in place with the password: in counter mode when either
// counter half is not 0, else block by block with big-endian halves. Then
// removes the padding: a last byte n of 1 to 8 that is preceded by n - 1
// bytes of the same value goes with them.
void DecipherStr(String& text, const String& password, Cardinal counterLow = 0,
                 Cardinal counterHigh = 0);

// Block by block with little-endian halves, no padding.
void LegacyEncipherStr(String& text, const String& password);
void LegacyDecipherStr(String& text, const String& password);

// Base64 with the standard alphabet and "=" padding.
String BufferToBase64(const void* buffer, std::size_t length);
String StrToBase64(const String& text);
// Empty unless the length is a positive multiple of 4. Decoding stops at
// the first character outside the alphabet ("=" padding in the last group:
// one leaves two bytes of that group, two leave one).
String Base64ToStr(const String& text);
