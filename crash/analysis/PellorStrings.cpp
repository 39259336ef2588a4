#include "PellorStrings.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "Platform.h"

namespace {

using Table = std::array<unsigned char, 256>;

constexpr Table MakeFoldTable() {
  Table t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
  t[0x8A] = 0x9A;
  t[0x8C] = 0x9C;
  t[0x8E] = 0x9E;
  t[0x9F] = 0xFF;
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 32);
  return t;
}

constexpr Table MakeDigitTable() {
  Table t{};
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<unsigned char>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c)
    t[c] = t[c + 32] = static_cast<unsigned char>(c - 'A' + 10);
  return t;
}

constexpr Table kFold = MakeFoldTable();
constexpr Table kDigit = MakeDigitTable();

inline unsigned char U(char c) { return static_cast<unsigned char>(c); }
inline unsigned char Folded(char c) { return kFold[U(c)]; }
inline bool IsBlank(char c) { return U(c) <= 32; }
inline bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') ||
         (c >= 'a' && c <= 'f');
}

// Length of a buffer given as "0 means zero-terminated".
Integer BufferLength(const char* p, Integer len) {
  return len > 0 ? len : static_cast<Integer>(std::strlen(p));
}

bool SameChars(const char* a, const char* b, Integer n, bool fold) {
  if (!fold) return std::memcmp(a, b, static_cast<std::size_t>(n)) == 0;
  for (Integer i = 0; i < n; ++i)
    if (Folded(a[i]) != Folded(b[i])) return false;
  return true;
}

// 0-based offset of what in s at or after start, or -1.
Integer FindFrom(const String& what, const String& s, std::size_t start,
                 bool fold) {
  if (start >= s.size()) return -1;
  return SearchChars(what.data(), s.data(), static_cast<Integer>(what.size()),
                     kPellorToEnd, static_cast<Integer>(start), fold,
                     static_cast<Integer>(s.size()));
}

// Finds sub in s between the 1-based positions from and to.
Integer FindPos(const String& sub, const String& s, Integer from, Integer to,
                bool fold) {
  if (from <= 0 || to <= 0 || sub.empty() || s.empty()) return 0;
  return SearchChars(sub.data(), s.data(), static_cast<Integer>(sub.size()),
                     to - 1, from - 1, fold, static_cast<Integer>(s.size())) +
         1;
}

bool HasItem(const String& list, const String& item, char delimiter,
             bool fold) {
  if (item.empty()) return false;
  std::size_t start = 0;
  for (;;) {
    Integer at = FindFrom(item, list, start, fold);
    if (at < 0) return false;
    std::size_t end = static_cast<std::size_t>(at) + item.size();
    bool startsItem =
        at == 0 || list[static_cast<std::size_t>(at) - 1] == delimiter;
    bool endsItem = end == list.size() || list[end] == delimiter;
    if (startsItem && endsItem) return true;
    start = static_cast<std::size_t>(at) + 1;
  }
}

String UnsignedToDec(UInt64 v) {
  char buf[24];
  char* p = buf + sizeof buf;
  do {
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  return String(p, buf + sizeof buf);
}

String SignedToDec(Int64 v) {
  if (v >= 0) return UnsignedToDec(static_cast<UInt64>(v));
  // Negating as unsigned keeps the most negative value in range.
  String r(1, '-');
  r += UnsignedToDec(0 - static_cast<UInt64>(v));
  return r;
}

// Pads by the PadStr rule: |minLen| wide, left for a positive minLen.
String PadByRule(String s, Integer minLen, char fill) {
  Int64 width = minLen < 0 ? -static_cast<Int64>(minLen) : minLen;
  Int64 missing = width - static_cast<Int64>(s.size());
  if (missing > 0)
    PadStrInPlace(s, static_cast<Integer>(missing), minLen > 0, fill);
  return s;
}

String HexPadded(String digits, Integer minLen, char fill) {
  if (minLen < 0 || IsHexDigit(fill)) {
    String r(1, '$');
    r += PadByRule(std::move(digits), minLen, fill);
    return r;
  }
  Int64 width = static_cast<Int64>(minLen) + 1;
  String s = "$" + digits;
  Int64 missing = width - static_cast<Int64>(s.size());
  if (missing > 0) s.insert(0, static_cast<std::size_t>(missing), fill);
  return s;
}

// Plain text (scrambled): "System error".
constexpr char kFallbackPrefix[] =
    "\x0f\x02\xe9\xcd\xbd\x9a\x36\x50\x26\x01\xfd\xc3";

std::atomic<TPellorMessageSource> gMessageSource{nullptr};

}  // namespace

TPellorCharSet PellorCharSet(const String& chars) {
  TPellorCharSet set;
  for (char c : chars) set.set(U(c));
  return set;
}

// ---------------------------------------------------------------------------
// Trimming, cutting and case
// ---------------------------------------------------------------------------

void TrimStrInPlace(String& s) {
  std::size_t first = 0;
  while (first < s.size() && IsBlank(s[first])) ++first;
  if (first == s.size()) {
    s.clear();
    return;
  }
  std::size_t last = s.size();
  while (IsBlank(s[last - 1])) --last;
  s.erase(last);
  s.erase(0, first);
}

String TrimmedStr(const String& s) {
  String copy = s;
  TrimStrInPlace(copy);
  return copy;
}

bool StripChar(String& s, char c) {
  std::size_t before = s.size();
  std::erase(s, c);
  return s.size() != before;
}

bool StripCharSet(String& s, const TPellorCharSet& set) {
  std::size_t before = s.size();
  std::erase_if(s, [&set](char c) { return set.test(U(c)); });
  return s.size() != before;
}

String DeletedCopy(const String& s, Integer index, Integer count) {
  String copy = s;
  if (index >= 1 && static_cast<std::size_t>(index) <= s.size() && count > 0)
    copy.erase(static_cast<std::size_t>(index) - 1,
               static_cast<std::size_t>(count));
  return copy;
}

void KeepRange(String& s, Integer index, Integer count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<std::size_t>(index) > s.size()) {
    s.clear();
    return;
  }
  s = s.substr(static_cast<std::size_t>(index) - 1,
               static_cast<std::size_t>(count));
}

String TailStr(const String& s, Integer count) {
  if (count <= 0) return String();
  if (static_cast<std::size_t>(count) >= s.size()) return s;
  return s.substr(s.size() - static_cast<std::size_t>(count));
}

char UpperChar(char c) {
  unsigned char u = U(c);
  if ((u >= 'a' && u <= 'z') || u == 0xE4 || u == 0xF6 || u == 0xFC)
    return static_cast<char>(u - 32);
  return c;
}

String UpperStr(const String& s) {
  String r = s;
  for (char& c : r) c = UpperChar(c);
  return r;
}

String LowerStr(const String& s) {
  String r = s;
  for (char& c : r) {
    unsigned char u = U(c);
    if ((u >= 'A' && u <= 'Z') || u == 0xC4 || u == 0xD6 || u == 0xDC)
      c = static_cast<char>(u + 32);
  }
  return r;
}

char FoldChar(char c) { return static_cast<char>(Folded(c)); }

String BoolToSign(bool b) { return b ? "+" : "-"; }

String AnsiToWideStr(const String& s, bool terminate) {
  String r;
  r.reserve(2 * s.size() + 2);
  for (char c : s) {
    r.push_back(c);
    r.push_back('\0');
  }
  if (terminate) r.append(2, '\0');
  return r;
}

// ---------------------------------------------------------------------------
// Comparison and search
// ---------------------------------------------------------------------------

bool SameTextFolded(const String& a, const String& b) {
  return a.size() == b.size() &&
         SameChars(a.data(), b.data(), static_cast<Integer>(a.size()), true);
}

Integer CompareTextFolded(const String& a, const String& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int d = static_cast<int>(Folded(a[i])) - static_cast<int>(Folded(b[i]));
    if (d != 0) return d;
  }
  return static_cast<Integer>(a.size()) - static_cast<Integer>(b.size());
}

Integer FindStr(const String& sub, const String& s, Integer from, Integer to) {
  return FindPos(sub, s, from, to, false);
}

Integer FindText(const String& sub, const String& s, Integer from, Integer to) {
  return FindPos(sub, s, from, to, true);
}

bool StartsWithStr(const String& sub, const String& s) {
  return sub.size() <= s.size() &&
         SameChars(sub.data(), s.data(), static_cast<Integer>(sub.size()),
                   false);
}

bool StartsWithText(const String& sub, const String& s) {
  return sub.size() <= s.size() &&
         SameChars(sub.data(), s.data(), static_cast<Integer>(sub.size()),
                   true);
}

Integer FindCharOfSet(const TPellorCharSet& set, const String& s, Integer from,
                      Integer to) {
  const Int64 len = static_cast<Int64>(s.size());
  if (len == 0) return 0;
  Int64 a = from, b = to;
  if (b >= a) {
    a = std::max<Int64>(a, 1);
    b = std::min(b, len);
    for (Int64 i = a; i <= b; ++i)
      if (set.test(U(s[static_cast<std::size_t>(i - 1)])))
        return static_cast<Integer>(i);
  } else {
    a = std::min(a, len);
    b = std::max<Int64>(b, 1);
    for (Int64 i = a; i >= b; --i)
      if (set.test(U(s[static_cast<std::size_t>(i - 1)])))
        return static_cast<Integer>(i);
  }
  return 0;
}

Integer SearchChars(const char* sub, const char* s, Integer subLen, Integer to,
                    Integer from, bool fold, Integer sLen) {
  if (!sub || !s) return -1;
  subLen = BufferLength(sub, subLen);
  sLen = BufferLength(s, sLen);
  if (subLen <= 0 || sLen <= 0 || subLen > sLen) return -1;
  const Integer last = sLen - subLen;
  const unsigned char first = fold ? Folded(sub[0]) : U(sub[0]);
  auto matches = [&](Integer at) {
    unsigned char c = fold ? Folded(s[at]) : U(s[at]);
    return c == first && SameChars(sub + 1, s + at + 1, subLen - 1, fold);
  };
  if (from <= to) {
    for (Integer at = std::max(from, 0), end = std::min(to, last); at <= end;
         ++at)
      if (matches(at)) return at;
  } else {
    for (Integer at = std::min(from, last), end = std::max(to, 0); at >= end;
         --at)
      if (matches(at)) return at;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Replacing
// ---------------------------------------------------------------------------

bool ReplaceAllStr(String& s, const String& what, const String& with,
                   bool again) {
  return ReplaceOccurrences(s, what, with, false, again);
}

bool ReplaceAllText(String& s, const String& what, const String& with,
                    bool again) {
  return ReplaceOccurrences(s, what, with, true, again);
}

bool ReplaceOccurrences(String& s, const String& what, const String& with,
                        bool fold, bool again) {
  if (what.empty() || s.size() < what.size()) return false;
  // Searching a replacement that holds what again would never end; such a
  // call gets the single-pass behaviour instead of hanging the caller.
  if (again && FindFrom(what, with, 0, fold) >= 0) again = false;
  if (!again) {
    // One left-to-right pass: each replacement is skipped, never rescanned.
    String out;
    std::size_t kept = 0;
    for (Integer at = FindFrom(what, s, 0, fold); at >= 0;
         at = FindFrom(what, s, kept, fold)) {
      out.append(s, kept, static_cast<std::size_t>(at) - kept);
      out += with;
      kept = static_cast<std::size_t>(at) + what.size();
    }
    if (kept == 0) return false;
    out.append(s, kept, String::npos);
    s = std::move(out);
    return true;
  }
  bool replaced = false;
  const std::size_t step = with.size() > what.size() ? 1 : 0;
  for (Integer at = FindFrom(what, s, 0, fold); at >= 0;) {
    s.replace(static_cast<std::size_t>(at), what.size(), with);
    replaced = true;
    at = FindFrom(what, s, static_cast<std::size_t>(at) + step, fold);
  }
  return replaced;
}

// ---------------------------------------------------------------------------
// Padding and numbers
// ---------------------------------------------------------------------------

String PadStr(const String& s, Integer minLen, char fill) {
  return PadByRule(s, minLen, fill);
}

void PadStrInPlace(String& s, Integer count, bool left, char fill) {
  if (count <= 0) return;
  const auto n = static_cast<std::size_t>(count);
  if (!left) {
    s.append(n, fill);
  } else if (fill >= '0' && fill <= '9' && !s.empty() && s[0] == '-') {
    s.insert(1, n, fill);
  } else {
    s.insert(0, n, fill);
  }
}

String IntToDec(Integer v) { return SignedToDec(v); }

String Int64ToDec(Int64 v) { return SignedToDec(v); }

String CardinalToHex(Cardinal v) {
  static const char kDigits[] = "0123456789abcdef";
  char buf[8];
  char* p = buf + sizeof buf;
  do {
    *--p = kDigits[v & 15];
    v >>= 4;
  } while (v);
  return String(p, buf + sizeof buf);
}

String Int64ToHex(Int64 v) {
  const auto u = static_cast<UInt64>(v);
  const auto high = static_cast<Cardinal>(u >> 32);
  const auto low = static_cast<Cardinal>(u);
  if (high == 0) return CardinalToHex(low);
  return CardinalToHex(high) + PadByRule(CardinalToHex(low), 8, '0');
}

String IntToDecPadded(Integer v, Integer minLen, char fill) {
  return PadByRule(IntToDec(v), minLen, fill);
}

String CardinalToDecPadded(Cardinal v, Integer minLen, char fill) {
  return PadByRule(UnsignedToDec(v), minLen, fill);
}

String Int64ToDecPadded(Int64 v, Integer minLen, char fill) {
  return PadByRule(Int64ToDec(v), minLen, fill);
}

String IntToHexPadded(Integer v, Integer minLen, char fill) {
  return HexPadded(CardinalToHex(static_cast<Cardinal>(v)), minLen, fill);
}

String CardinalToHexPadded(Cardinal v, Integer minLen, char fill) {
  return HexPadded(CardinalToHex(v), minLen, fill);
}

String Int64ToHexPadded(Int64 v, Integer minLen, char fill) {
  return HexPadded(Int64ToHex(v), minLen, fill);
}

Integer ParseIntDigits(bool hex, const char* chars, Integer len) {
  if (!chars || len <= 0) return 0;
  Integer i = 0;
  bool negative = chars[0] == '-';
  if (negative) i = 1;
  const Cardinal base = hex ? 16 : 10;
  Cardinal value = 0;  // wraps like the 32-bit register it stands for
  for (; i < len; ++i) value = value * base + kDigit[U(chars[i])];
  if (negative) value = 0 - value;
  return static_cast<Integer>(value);
}

// ---------------------------------------------------------------------------
// Delimited item lists
// ---------------------------------------------------------------------------

void TidyItemList(String& s, char delimiter) {
  auto significant = [delimiter](char c) {
    return !IsBlank(c) && c != delimiter;
  };
  String out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size() && !significant(s[i])) ++i;
  while (i < s.size()) {
    if (significant(s[i])) {
      out.push_back(s[i++]);
      continue;
    }
    std::size_t runEnd = i;
    bool hasDelimiter = false;
    while (runEnd < s.size() && !significant(s[runEnd]))
      hasDelimiter |= s[runEnd++] == delimiter;
    if (runEnd == s.size()) break;  // trailing run: cut
    if (hasDelimiter)
      out.push_back(delimiter);
    else
      out.append(s, i, runEnd - i);
    i = runEnd;
  }
  s = std::move(out);
}

Integer ItemCount(const String& s, char delimiter) {
  if (s.empty()) return 0;
  return static_cast<Integer>(std::count(s.begin(), s.end(), delimiter)) + 1;
}

String ItemAt(const String& s, Integer n, char delimiter) {
  if (n < 1) return String();
  std::size_t start = 0;
  for (Integer item = 1; item < n; ++item) {
    std::size_t next = s.find(delimiter, start);
    if (next == String::npos) return String();
    start = next + 1;
  }
  if (start > s.size()) return String();
  return s.substr(start, s.find(delimiter, start) - start);
}

bool HasItemStr(const String& list, const String& item, char delimiter) {
  return HasItem(list, item, delimiter, false);
}

bool HasItemText(const String& list, const String& item, char delimiter) {
  return HasItem(list, item, delimiter, true);
}

// ---------------------------------------------------------------------------
// Sizes and system texts
// ---------------------------------------------------------------------------

char LocaleDecimalSeparator() {
  static const char separator = [] {
    String value;
    if (Platform::GetLocaleString(Platform::UserDefaultLCID(),
                                  Platform::liSDecimal, value) &&
        !value.empty())
      return value[0];
    return ',';
  }();
  return separator;
}

String FormatByteSize(Int64 size) {
  const UInt64 v =
      size < 0 ? 0 - static_cast<UInt64>(size) : static_cast<UInt64>(size);
  if (v < 1024) return UnsignedToDec(v) + " Bytes";
  UInt64 hundredths;
  const char* unit;
  if (v < (UInt64(1) << 20)) {
    hundredths = v * 100 / 1024;
    unit = " KB";
  } else if (v < (UInt64(1) << 30)) {
    hundredths = v / 1024 * 100 / 1024;
    unit = " MB";
  } else {
    hundredths = v / 1024 / 1024 * 100 / 1024;
    unit = " GB";
  }
  String digits = UnsignedToDec(hundredths);  // at least 100 here
  digits.insert(digits.size() - 2, 1, LocaleDecimalSeparator());
  return digits + unit;
}

String ErrorCodeText(Cardinal code) {
  String text;
  TPellorMessageSource source = gMessageSource.load();
  if (source && source(code, text)) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::erase(text, '\n');
    return text;
  }
  return UnscrambleStr(String(kFallbackPrefix, sizeof kFallbackPrefix - 1)) +
         " " + CardinalToHexPadded(code, 1, '0');
}

String UnscrambleStr(const String& s) {
  String r = s;
  for (std::size_t i = 0; i < r.size(); ++i)
    r[i] = static_cast<char>(U(r[i]) ^ ((0x5C + 31 * i) & 0xFF));
  return r;
}

void SetPellorMessageSource(TPellorMessageSource source) {
  gMessageSource.store(source);
}
