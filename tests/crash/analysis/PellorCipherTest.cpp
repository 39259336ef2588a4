#include <gtest/gtest.h>

#include <random>

#include "PellorCipher.h"

namespace {

String Bytes(const char* data, std::size_t length) {
  return String(data, length);
}

String Hex(const String& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  String out;
  for (char c : bytes) {
    out += digits[static_cast<Byte>(c) >> 4];
    out += digits[static_cast<Byte>(c) & 15];
  }
  return out;
}

String FromHex(const String& hex) {
  String out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

// Expected ciphertexts below come from an independent implementation of
// the same published cipher, keyed with this password.
const String kPassword = "Varnel test key";

// The published test vectors of the cipher (key, plain, cipher), each key
// used cyclically as the key schedule demands.
struct TBlockVector {
  const char* Key;
  const char* Plain;
  const char* Cipher;
};

TEST(PellorCipher, BlockMatchesPublishedVectorsBothWays) {
  const TBlockVector vectors[] = {
      {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
  };
  for (const TBlockVector& v : vectors) {
    SCOPED_TRACE(v.Key);
    TCipherState state;
    SetCipherKey(state, FromHex(v.Key));
    String block = FromHex(v.Plain);
    CipherBuffer(state, block.data(), block.size(), cdEncipher, cbBigEndian);
    EXPECT_EQ(Hex(block), v.Cipher);
    CipherBuffer(state, block.data(), block.size(), cdDecipher, cbBigEndian);
    EXPECT_EQ(Hex(block), v.Plain);

    // The same block through CipherBlock: the first four bytes are the
    // left half.
    String plain = FromHex(v.Plain), cipher = FromHex(v.Cipher);
    auto half = [](const String& s, int at) {
      std::uint32_t v = 0;
      for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<Byte>(s[at + i]);
      return v;
    };
    std::uint32_t left = half(plain, 0), right = half(plain, 4);
    CipherBlock(state, left, right, cdEncipher);
    EXPECT_EQ(left, half(cipher, 0));
    EXPECT_EQ(right, half(cipher, 4));
  }
}

TEST(PellorCipher, DecipherStrRemovesOnlyWholePadding) {
  struct TCase {
    String Cipher;
    String Plain;
  };
  const TCase cases[] = {
      // "Hello, crash report!" padded with four bytes of 4.
      {Bytes("\xb7\x43\x3b\xb8\xb2\xb8\xb0\x1e\x7b\xb4\x48\x73\x4c\xd9\xc0"
             "\x41\xf6\x18\xb1\x3a\x1c\x84\xdf\xb8",
             24),
       "Hello, crash report!"},
      // Ends in three bytes of 3: padding.
      {Bytes("\xf0\x33\x4b\x86\x76\xce\x27\x24", 8), "abcde"},
      // Ends in only two bytes of 3: kept.
      {Bytes("\x9e\x33\x7b\x02\x4d\x38\xab\xff", 8), "abcdef\x03\x03"},
      // A whole block of padding.
      {Bytes("\x92\x6e\xdc\xaf\x4f\xbd\x19\x7d\xb1\xbd\xfa\x82\x06\x82\x17"
             "\x81",
             16),
       "abcdefgh"},
      // 12 bytes: the first 8 are deciphered, the tail is left as it is.
      {Bytes("\x79\xdd\x1b\x08\xd7\x0d\x55\x1c\x49\x4a\x4b\x4c", 12),
       "ABCDEFGHIJKL"},
      {"", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(Hex(c.Cipher));
    String text = c.Cipher;
    DecipherStr(text, kPassword);
    EXPECT_EQ(Hex(text), Hex(c.Plain));
  }
}

TEST(PellorCipher, PaddingRuleOnShortAndOddTails) {
  // Texts shorter than a block are not deciphered; the padding rule still
  // looks at them and must never reach before the text.
  struct TCase {
    String In;
    String Out;
  };
  const TCase cases[] = {
      {Bytes("\x01", 1), ""},
      {Bytes("\x02", 1), Bytes("\x02", 1)},
      {Bytes("\x02\x02", 2), ""},
      {Bytes("a\x03\x03", 3), Bytes("a\x03\x03", 3)},
      {Bytes("\x00", 1), Bytes("\x00", 1)},
      {Bytes("\x09\x09\x09", 3), Bytes("\x09\x09\x09", 3)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(Hex(c.In));
    String text = c.In;
    DecipherStr(text, kPassword);
    EXPECT_EQ(Hex(text), Hex(c.Out));
  }
}

TEST(PellorCipher, CounterModeIncrementsBeforeEachBlockAndKeepsTail) {
  // Counter start: high half 0x0A0B0C0D, low half 0x01020304.
  const String plain = "counter mode text, 2";
  const String cipher = Bytes(
      "\x85\x60\xe4\x35\xc5\x0a\x3d\x93\xcf\x1d\xfa\x3e\x09\x24\x6a\x22"
      "\x74\x2c\x20\x32",
      20);
  String text = cipher;
  DecipherStr(text, kPassword, 0x01020304, 0x0A0B0C0D);
  EXPECT_EQ(text, plain);

  // The same operation enciphers.
  TCipherState state;
  SetCipherKey(state, kPassword);
  text = plain;
  CipherBuffer(state, text.data(), text.size(), cdEncipher, cbBigEndian,
               UInt64{0x0A0B0C0D} << 32 | 0x01020304);
  EXPECT_EQ(Hex(text), Hex(cipher));
}

TEST(PellorCipher, CounterWithOnlyOneHalfSetIsStillCounterMode) {
  TCipherState state;
  SetCipherKey(state, kPassword);
  auto keyStream = [&](UInt64 start) {
    String s(8, '\0');
    CipherBuffer(state, s.data(), s.size(), cdEncipher, cbBigEndian, start);
    return Hex(s);
  };
  String low(8, '\0'), high(8, '\0'), block(8, '\0');
  DecipherStr(low, kPassword, 1, 0);
  DecipherStr(high, kPassword, 0, 1);
  DecipherStr(block, kPassword);
  EXPECT_EQ(Hex(low), keyStream(1));
  EXPECT_EQ(Hex(high), keyStream(UInt64{1} << 32));
  EXPECT_NE(Hex(block), Hex(low));
}

TEST(PellorCipher, LegacyFormUsesLittleEndianHalves) {
  const String plain = "legacy map data!";
  const String cipher = Bytes(
      "\x2f\x7a\xa6\xd7\x27\x0d\xae\x58\x87\x9b\xf3\xb0\x4f\x23\x19\x2c", 16);
  String text = plain;
  LegacyEncipherStr(text, kPassword);
  EXPECT_EQ(Hex(text), Hex(cipher));
  LegacyDecipherStr(text, kPassword);
  EXPECT_EQ(text, plain);

  // A tail shorter than a block is left alone, and no padding is removed.
  text = plain + "\x01";
  LegacyEncipherStr(text, kPassword);
  EXPECT_EQ(text.back(), '\x01');
  LegacyDecipherStr(text, kPassword);
  EXPECT_EQ(text, plain + "\x01");
}

TEST(PellorCipher, EmptyPasswordIsUsableAndDiffersFromAKeyedOne) {
  String a(16, 'x'), b(16, 'x');
  LegacyEncipherStr(a, "");
  LegacyEncipherStr(b, "k");
  EXPECT_NE(a, String(16, 'x'));
  EXPECT_NE(a, b);
  LegacyDecipherStr(a, "");
  EXPECT_EQ(a, String(16, 'x'));
}

TEST(PellorBase64, EncodesAndDecodesTheStandardExamples) {
  struct TCase {
    String Plain;
    String Coded;
  };
  const TCase cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {Bytes("\xfb\xef\xff", 3), "++//"},
      {Bytes("\x00\x10\x83", 3), "ABCD"},
      {Bytes("\xff", 1), "/w=="},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Coded);
    EXPECT_EQ(StrToBase64(c.Plain), c.Coded);
    EXPECT_EQ(BufferToBase64(c.Plain.data(), c.Plain.size()), c.Coded);
    EXPECT_EQ(Hex(Base64ToStr(c.Coded)), Hex(c.Plain));
  }
}

TEST(PellorBase64, BadTextGivesAnEmptyOrShortenedResult) {
  struct TCase {
    String Coded;
    String Plain;
  };
  const TCase cases[] = {
      {"Zm9vY", ""},          // length not a multiple of 4
      {"Zm9vYg=", ""},        // likewise
      {"Zm9v!xyz", "foo"},    // stops at the first character outside
      {"Zm9vY!==", "foo"},    // one character of a group carries nothing
      {"Zm9vYm==", "foob"},   // two carry one byte
      {"Zm9vYmF=", "fooba"},  // three carry two
      {"Zg==Zm8=", "f"},      // padding ends the text
      {"====", ""},
      {String("Zm\0v", 4), "f"},  // a zero byte ends the text too
      {"Zm9v\x80\xff\xfe\xfd", "foo"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(Hex(c.Coded));
    EXPECT_EQ(Base64ToStr(c.Coded), c.Plain);
  }
}

TEST(PellorBase64, RoundTripsEveryByteValueAndLength) {
  String all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  for (std::size_t n = 0; n <= all.size(); n += 37) {
    String part = all.substr(all.size() - n);
    String coded = StrToBase64(part);
    EXPECT_EQ(coded.size(), (n + 2) / 3 * 4);
    EXPECT_EQ(Base64ToStr(coded), part);
  }
}

// Random texts, passwords and counters: no crash, no read outside the text
// (the sanitizers watch), and deciphering never grows a text.
TEST(PellorCipher, RandomInputNeverFails) {
  std::mt19937 random(20261210);
  auto bytes = [&](std::size_t n) {
    String s(n, '\0');
    for (char& c : s) c = static_cast<char>(random());
    return s;
  };
  for (int i = 0; i < 3000; ++i) {
    String text = bytes(random() % 40);
    String password = bytes(random() % 60);
    Cardinal low = random() % 3 == 0 ? 0 : random();
    Cardinal high = random() % 3 == 0 ? 0 : random();
    std::size_t length = text.size();
    String copy = text;
    DecipherStr(copy, password, low, high);
    EXPECT_LE(copy.size(), length);
    EXPECT_GE(copy.size() + 8, length);
    copy = text;
    LegacyDecipherStr(copy, password);
    EXPECT_EQ(copy.size(), length);
    LegacyEncipherStr(copy, password);
    EXPECT_EQ(copy, text);
    String decoded = Base64ToStr(text);
    EXPECT_LE(decoded.size(), text.size() / 4 * 3);
  }
}

}  // namespace
