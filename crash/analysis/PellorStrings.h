// The crash-report library's own string and number-text routines. The
// library must keep working when the rest of the program is broken, so it
// depends on nothing but the platform: no locale-aware class-library
// routines, no exceptions from any routine here.
//
// Positions are 1-based; a count of kPellorToEnd means "up to the end".
// Case folding and digit values come from fixed tables, never from a locale.
#pragma once

#include <bitset>

#include "PellorTypes.h"
#include "System.h"

constexpr Integer kPellorToEnd = 0x7FFFFFFF;

// A set of characters: bit c is set when character c belongs to the set.
using TPellorCharSet = std::bitset<256>;
// The set of the characters of `chars`.
TPellorCharSet PellorCharSet(const String& chars);

// ---------------------------------------------------------------------------
// Trimming, cutting and case
// ---------------------------------------------------------------------------

// Keeps the range from the first to the last character above 32.
void TrimStrInPlace(String& s);
String TrimmedStr(const String& s);
// Removes every c; true when anything was removed.
bool StripChar(String& s, char c);
bool StripCharSet(String& s, const TPellorCharSet& set);
// s without count characters at index.
String DeletedCopy(const String& s, Integer index, Integer count);
// Reduces s to count characters from index.
void KeepRange(String& s, Integer index, Integer count);
// The last count characters.
String TailStr(const String& s, Integer count);
// a-z and the umlauts 0xE4, 0xF6, 0xFC to upper case; others unchanged.
char UpperChar(char c);
String UpperStr(const String& s);
// A-Z and the umlauts 0xC4, 0xD6, 0xDC to lower case; others unchanged.
String LowerStr(const String& s);
// The fixed case-folding table's entry for c.
char FoldChar(char c);
// "+" for true, "-" for false.
String BoolToSign(bool b);
// Each byte widened to 16 bits unchanged (no code-page conversion), in
// machine order, with a 16-bit zero appended when terminate is set; the
// result holds two bytes per character.
String AnsiToWideStr(const String& s, bool terminate);

// ---------------------------------------------------------------------------
// Comparison and search (...Str is case-sensitive, ...Text folds case)
// ---------------------------------------------------------------------------

bool SameTextFolded(const String& a, const String& b);
// Difference of the first unequal folded characters (as unsigned bytes),
// else length of a minus length of b.
Integer CompareTextFolded(const String& a, const String& b);
// Position of sub in s with the match starting between from and to; the
// last match first when to < from; 0 when absent or from or to is 0.
Integer FindStr(const String& sub, const String& s, Integer from,
                Integer to = kPellorToEnd);
Integer FindText(const String& sub, const String& s, Integer from,
                 Integer to = kPellorToEnd);
// An empty sub always matches; a sub longer than s never does.
bool StartsWithStr(const String& sub, const String& s);
bool StartsWithText(const String& sub, const String& s);
// Position of the first character of s inside [from, to] (scanning
// backwards when to < from; clipped to s) that belongs to the set; 0 when
// none.
Integer FindCharOfSet(const TPellorCharSet& set, const String& s, Integer from,
                      Integer to = kPellorToEnd);
// The search core over character buffers. Lengths of 0 mean
// zero-terminated; offsets are 0-based. Searches forwards when from <= to,
// backwards otherwise. Returns the 0-based offset of the match or -1.
Integer SearchChars(const char* sub, const char* s, Integer subLen, Integer to,
                    Integer from, bool fold, Integer sLen);

// ---------------------------------------------------------------------------
// Replacing
// ---------------------------------------------------------------------------

// Replaces every occurrence of what with with; true when anything was
// replaced. With again, text formed by a replacement is searched again (to
// collapse runs); with must then not contain what.
bool ReplaceAllStr(String& s, const String& what, const String& with,
                   bool again = false);
bool ReplaceAllText(String& s, const String& what, const String& with,
                    bool again = false);
bool ReplaceOccurrences(String& s, const String& what, const String& with,
                        bool fold, bool again);

// ---------------------------------------------------------------------------
// Padding and numbers
// ---------------------------------------------------------------------------

// Pads to |minLen| with fill: on the left when minLen > 0, on the right when
// minLen < 0. A leading "-" stays in front of left padding with a digit.
String PadStr(const String& s, Integer minLen, char fill);
// Adds count fill characters (nothing when count <= 0).
void PadStrInPlace(String& s, Integer count, bool left, char fill);

String IntToDec(Integer v);
String Int64ToDec(Int64 v);
// Lowercase hexadecimal without prefix or leading zeros.
String CardinalToHex(Cardinal v);
String Int64ToHex(Int64 v);
String IntToDecPadded(Integer v, Integer minLen, char fill);
String CardinalToDecPadded(Cardinal v, Integer minLen, char fill);
String Int64ToDecPadded(Int64 v, Integer minLen, char fill);
// "$" and lowercase hexadecimal. With a hex-digit fill or a negative
// minLen the digits are padded ("$000000ff"); otherwise the whole text is
// padded on the left to |minLen| + 1.
String IntToHexPadded(Integer v, Integer minLen, char fill);
String CardinalToHexPadded(Cardinal v, Integer minLen, char fill);
String Int64ToHexPadded(Int64 v, Integer minLen, char fill);
// Integer of len characters, decimal or hexadecimal, an optional leading
// "-" negating. Not validated: every character counts by the digit table
// (non-digits as 0). 0 for a missing buffer.
Integer ParseIntDigits(bool hex, const char* chars, Integer len);

// ---------------------------------------------------------------------------
// Delimited item lists
// ---------------------------------------------------------------------------

// Cuts the list to its significant characters (above 32, not the
// delimiter) and reduces every blank run that holds a delimiter to that one
// delimiter: blanks around items and empty items disappear.
void TidyItemList(String& s, char delimiter);
// Delimiters plus one; 0 for an empty string.
Integer ItemCount(const String& s, char delimiter);
// The n-th item (from 1); empty when there are fewer items or n is 0.
String ItemAt(const String& s, Integer n, char delimiter);
// True when item occurs as a whole item; false for an empty item.
bool HasItemStr(const String& list, const String& item, char delimiter);
bool HasItemText(const String& list, const String& item, char delimiter);

// ---------------------------------------------------------------------------
// Sizes and system texts
// ---------------------------------------------------------------------------

// The locale's decimal separator, read once; "," when the query fails.
char LocaleDecimalSeparator();
// "1023 Bytes", "1.50 KB", "1.00 MB", "2.00 GB" (absolute value).
String FormatByteSize(Int64 size);
// The system's message for an error or status code, CR as blank and LF
// removed; a fixed prefix and the code in hex when the system has none.
String ErrorCodeText(Cardinal code);
// The plain text of a string that the library stores scrambled. Applying
// it twice gives the input back.
String UnscrambleStr(const String& s);

// Where ErrorCodeText gets the system's message text: the Windows tools
// unit installs the real source at start-up; without one every code gets
// the fallback text. A source answers false when the system has no text.
using TPellorMessageSource = bool (*)(Cardinal code, String& text);
void SetPellorMessageSource(TPellorMessageSource source);
