#include "PellorMapSources.h"

#include <algorithm>
#include <cstring>

#include "PellorCipher.h"
#include "PellorZip.h"
#include "SysUtils.h"

// The marker of packed map data: ours, fixed, 14 characters.
const char kPackedMapMarker[15] = "VarnelPMapData";

namespace {

using Addr = std::uintptr_t;

Addr A(const void* p) { return reinterpret_cast<Addr>(p); }

// The key constant of the packed payload (six characters).
const char kMapKeyConstant[7] = "Vm4pK6";

// Little-endian fields at checked offsets of a bounded buffer.
struct TSpan {
  const Byte* data = nullptr;
  std::size_t size = 0;

  bool Has(std::size_t offset, std::size_t length) const {
    return offset <= size && length <= size - offset;
  }
  bool U8(std::size_t offset, Byte& v) const {
    if (!Has(offset, 1)) return false;
    v = data[offset];
    return true;
  }
  bool U16(std::size_t offset, Word& v) const {
    if (!Has(offset, 2)) return false;
    v = static_cast<Word>(data[offset] | (data[offset + 1] << 8));
    return true;
  }
  bool U32(std::size_t offset, Cardinal& v) const {
    if (!Has(offset, 4)) return false;
    v = static_cast<Cardinal>(data[offset]) |
        (static_cast<Cardinal>(data[offset + 1]) << 8) |
        (static_cast<Cardinal>(data[offset + 2]) << 16) |
        (static_cast<Cardinal>(data[offset + 3]) << 24);
    return true;
  }
  // A sub-span; empty when it does not lie inside.
  TSpan Sub(std::size_t offset, std::size_t length) const {
    if (!Has(offset, length)) return TSpan();
    return TSpan{data + offset, length};
  }
};

// A sequential reader over a span; once a read fails, every later one
// fails too.
class TStreamReader {
 public:
  explicit TStreamReader(const String& s)
      : span_{reinterpret_cast<const Byte*>(s.data()), s.size()} {}

  bool Ok() const { return ok_; }
  std::size_t Remaining() const { return ok_ ? span_.size - pos_ : 0; }

  Cardinal U32() {
    Cardinal v = 0;
    if (ok_ && span_.U32(pos_, v))
      pos_ += 4;
    else
      ok_ = false;
    return v;
  }
  Byte U8() {
    Byte v = 0;
    if (ok_ && span_.U8(pos_, v))
      ++pos_;
    else
      ok_ = false;
    return v;
  }
  // One signed byte, or -128 followed by a 32-bit integer.
  Integer PackedInt() {
    const auto b = static_cast<std::int8_t>(U8());
    if (b != -128) return b;
    return static_cast<Integer>(U32());
  }
  // A length byte and that many characters.
  String PackedStr() {
    const Byte n = U8();
    if (!ok_ || !span_.Has(pos_, n)) {
      ok_ = false;
      return String();
    }
    String s(reinterpret_cast<const char*>(span_.data + pos_), n);
    pos_ += n;
    return s;
  }
  // A count of entries of at least minBytes each: a count that the rest of
  // the stream cannot hold fails the stream instead of being trusted.
  Cardinal Count(std::size_t minBytes) {
    const Cardinal n = U32();
    if (ok_ && n > Remaining() / minBytes) ok_ = false;
    return ok_ ? n : 0;
  }

 private:
  TSpan span_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

void PutU32(String& s, Cardinal v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutPackedInt(String& s, Integer v) {
  if (v >= -127 && v <= 127) {
    s += static_cast<char>(static_cast<std::int8_t>(v));
  } else {
    s += static_cast<char>(0x80);
    PutU32(s, static_cast<Cardinal>(v));
  }
}

void PutPackedStr(String& s, const String& text) {
  const std::size_t n = std::min<std::size_t>(text.size(), 255);
  s += static_cast<char>(n);
  s.append(text, 0, n);
}

String FileNameOnly(const String& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == String::npos ? path : path.substr(cut + 1);
}

// A leading "Unit." of a public's name goes when that is the unit of the
// segment holding the public. The segment is looked up with the absolute
// address, as the segments hold them.
void StripUnitPrefix(const TMapFile& map, bool isCode, Addr address,
                     String& name) {
  const TMfSegment seg =
      map.SegmentOfAddress(isCode, reinterpret_cast<const void*>(address));
  if (!seg.valid || seg.unitName.empty()) return;
  const String prefix = seg.unitName + ".";
  if (name.size() > prefix.size() && StartsWithText(prefix, name))
    name.erase(0, prefix.size());
}

}  // namespace

// ---------------------------------------------------------------------------
// Packed map data
// ---------------------------------------------------------------------------
//
// Header: the 14-character marker, payload length, version (2 or 3); in
// version 3 two identity values and flags (bit 0: minimal information).
// The payload is a packed string (PellorZip), enciphered in the legacy
// block mode under DeriveMapKey(payload length). Unpacked it holds:
//   segments: count, then {start - code start, length, unit (packed
//             string) | HasLines byte in minimal information}
//   publics:  count, then {name (packed string; absent in minimal
//             information), address: the first 32-bit relative to the
//             start of code, each further one a packed-integer delta}
//   lines:    count; when positive the first line and first relative
//             address (32-bit each), then packed-integer line and address
//             deltas
//   optionally the entry point relative to the start of code (exactly 4
//   bytes left).

String DeriveMapKey(Cardinal payloadLength) {
  String key = kMapKeyConstant + UpperStr(CardinalToHex(payloadLength)) +
               IntToDec(static_cast<Integer>(payloadLength));
  key += key;
  const String password = key;
  LegacyEncipherStr(key, password);
  return key;
}

namespace {

constexpr std::size_t kMarkerLength = 14;
constexpr std::size_t kHeaderV2 = 22;
constexpr std::size_t kHeaderV3 = 34;

bool ReadPackedLists(const String& stream, TMapFile& map, bool minimal) {
  TStreamReader r(stream);
  const Cardinal segments = r.Count(minimal ? 9 : 9);
  for (Cardinal i = 0; i < segments && r.Ok(); ++i) {
    const Cardinal start = r.U32();
    const Cardinal length = r.U32();
    String unit;
    bool omitted = false;
    if (minimal) {
      omitted = r.U8() != 0;
      unit = "segment%" + IntToDec(static_cast<Integer>(i));
    } else {
      unit = r.PackedStr();
    }
    if (r.Ok())
      map.AddSegment(true, start, length, unit, TMapFile::kRelative, omitted);
  }
  map.SortSegments();
  const Cardinal publics = r.Count(1);
  Addr address = 0;
  for (Cardinal i = 0; i < publics && r.Ok(); ++i) {
    String name =
        minimal ? "public%" + IntToDec(static_cast<Integer>(i)) : r.PackedStr();
    if (i == 0)
      address = r.U32();
    else
      address = static_cast<Cardinal>(address + r.PackedInt());
    if (r.Ok())
      map.AddPublic(true, address, std::move(name), TMapFile::kRelative);
  }
  map.SortPublics();
  const Cardinal lines = r.Count(1);
  if (lines > 0 && r.Ok()) {
    // Deltas wrap like the 32-bit fields they were made from.
    Cardinal line = r.U32();
    Cardinal rel = r.U32();
    if (r.Ok())
      map.AddLine(static_cast<Integer>(line), map.CodeStartAddr() + rel);
    for (Cardinal i = 1; i < lines && r.Ok(); ++i) {
      line += static_cast<Cardinal>(r.PackedInt());
      rel += static_cast<Cardinal>(r.PackedInt());
      if (r.Ok())
        map.AddLine(static_cast<Integer>(line), map.CodeStartAddr() + rel);
    }
  }
  if (!r.Ok()) {
    map.ClearLists();
    return false;
  }
  if (r.Remaining() == 4) map.SetEntryPoint(map.CodeStartAddr() + r.U32());
  return true;
}

}  // namespace

bool ImportPackedMap(const String& data, TMapFile& map,
                     TMinDebugInfoQuery minDebugInfo) {
  const TSpan span{reinterpret_cast<const Byte*>(data.data()), data.size()};
  Cardinal length = 0, version = 0;
  if (data.size() < kHeaderV2 + 1 || !span.U32(14, length) ||
      !span.U32(18, version) || (version != 2 && version != 3) ||
      std::memcmp(data.data(), kPackedMapMarker, kMarkerLength) != 0)
    return false;
  std::size_t payloadAt = kHeaderV2;
  bool minimal = false;
  if (version == 3) {
    Cardinal id1 = 0, id2 = 0, flags = 0;
    if (!span.U32(22, id1) || !span.U32(26, id2) || !span.U32(30, flags))
      return false;
    payloadAt = kHeaderV3;
    if (!map.IdentityText().empty()) {
      const String identity =
          CardinalToHexPadded(static_cast<Cardinal>(data.size()), 8, '0') +
          ", " + CardinalToHexPadded(id1, 8, '0') + ", " +
          CardinalToHexPadded(id2, 8, '0');
      if (identity != map.IdentityText()) return false;
    }
    minimal = (flags & 1) != 0;
    if (minimal) {
      if (minDebugInfo && minDebugInfo(map)) return true;
    } else {
      map.SetIdentityText(String());
    }
  }
  map.ClearLists();
  map.SetValid(false);
  if (!span.Has(payloadAt, length)) return true;  // truncated payload
  String payload = data.substr(payloadAt, length);
  LegacyDecipherStr(payload, DeriveMapKey(length));
  const String stream = PackedStrToStr(payload);
  if (stream.empty()) return true;
  map.SetValid(ReadPackedLists(stream, map, minimal));
  return true;
}

String BuildPackedMap(const std::vector<TMfSegment>& segments,
                      const std::vector<TMfPublic>& publics,
                      const std::vector<TMfLine>& lines, Addr codeStart,
                      Addr entryPoint) {
  String s;
  PutU32(s, static_cast<Cardinal>(segments.size()));
  for (const TMfSegment& seg : segments) {
    PutU32(s, static_cast<Cardinal>(A(seg.start) - codeStart));
    PutU32(s, seg.size);
    PutPackedStr(s, seg.unitName);
  }
  std::vector<TMfPublic> sortedPublics = publics;
  std::stable_sort(sortedPublics.begin(), sortedPublics.end(),
                   [](const TMfPublic& a, const TMfPublic& b) {
                     return A(a.address) < A(b.address);
                   });
  PutU32(s, static_cast<Cardinal>(sortedPublics.size()));
  Addr previous = 0;
  for (std::size_t i = 0; i < sortedPublics.size(); ++i) {
    PutPackedStr(s, sortedPublics[i].name);
    const Addr rel = A(sortedPublics[i].address) - codeStart;
    if (i == 0)
      PutU32(s, static_cast<Cardinal>(rel));
    else
      PutPackedInt(s, static_cast<Integer>(rel - previous));
    previous = rel;
  }
  std::vector<TMfLine> sortedLines = lines;
  std::stable_sort(sortedLines.begin(), sortedLines.end(),
                   [](const TMfLine& a, const TMfLine& b) {
                     return A(a.address) < A(b.address);
                   });
  PutU32(s, static_cast<Cardinal>(sortedLines.size()));
  for (std::size_t i = 0; i < sortedLines.size(); ++i) {
    const Addr rel = A(sortedLines[i].address) - codeStart;
    if (i == 0) {
      PutU32(s, static_cast<Cardinal>(sortedLines[i].line));
      PutU32(s, static_cast<Cardinal>(rel));
    } else {
      PutPackedInt(s, static_cast<Integer>(
                          static_cast<Cardinal>(sortedLines[i].line) -
                          static_cast<Cardinal>(sortedLines[i - 1].line)));
      PutPackedInt(s, static_cast<Integer>(
                          rel - (A(sortedLines[i - 1].address) - codeStart)));
    }
  }
  if (entryPoint) PutU32(s, static_cast<Cardinal>(entryPoint - codeStart));

  // The packed string: unpacked length, 4 unused bytes, CRC-32, raw deflate.
  String compressed(s.size() + s.size() / 8 + 64, '\0');
  const std::size_t n =
      CompressBuffer(s.data(), compressed.data(), s.size(), compressed.size());
  if (n == 0) return String();
  compressed.resize(n);
  String payload;
  PutU32(payload, static_cast<Cardinal>(s.size()));
  PutU32(payload, 0);
  PutU32(payload,
         AccumulateCrc32(0xFFFFFFFFu, s.data(), s.size()) ^ 0xFFFFFFFFu);
  payload += compressed;
  LegacyEncipherStr(payload,
                    DeriveMapKey(static_cast<Cardinal>(payload.size())));

  String out(kPackedMapMarker, kMarkerLength);
  PutU32(out, static_cast<Cardinal>(payload.size()));
  PutU32(out, 2);
  return out + payload;
}

// ---------------------------------------------------------------------------
// Linker text map
// ---------------------------------------------------------------------------

namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
         (c >= 'A' && c <= 'F');
}

// count hex digits at index (0-based); false when any is missing.
bool HexAt(const String& s, std::size_t index, std::size_t count,
           Cardinal& value) {
  if (index > s.size() || count > s.size() - index) return false;
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = s[index + i];
    if (!IsHex(c)) return false;
    value = value * 16 +
            static_cast<Cardinal>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return true;
}

bool CharAt(const String& s, std::size_t position1, char c) {
  return position1 >= 1 && position1 <= s.size() && s[position1 - 1] == c;
}

enum class TMapSection { None, Classes, Segments, Publics, Lines };

struct TLinkerMapState {
  TMapSection section = TMapSection::None;
  bool skippingBlanks = false;  // empty lines right after a marker line
  Integer dataSegment = 2;
  Cardinal secondCodeOffset = 0;
  bool firstLineOfBlock = true;
  Addr lastLineAddress = 0;
  bool anyLineInBlock = false;
};

Addr CodeAddress(const TMapFile& map, const TLinkerMapState& st,
                 Cardinal segment, Cardinal offset) {
  Addr a = map.CodeStartAddr() + offset;
  if (segment > 1) a += st.secondCodeOffset;
  return a;
}

void ClassLine(const String& line, TLinkerMapState& st) {
  Cardinal length = 0;
  if (line.find(".text") != String::npos && CharAt(line, 5, ':') &&
      CharAt(line, 14, ' ') && CharAt(line, 23, 'H') &&
      HexAt(line, 14, 8, length)) {
    st.secondCodeOffset = (length + 4095u) & ~4095u;
  } else if (line.find(".data") != String::npos) {
    Integer n = 0;
    for (std::size_t i = 0; i < 4 && i < line.size(); ++i)
      n = line[i] >= '0' && line[i] <= '9' ? n * 10 + (line[i] - '0') : -1000;
    st.dataSegment = n >= 2 && n <= 9 ? n : 2;
  }
}

void SegmentLine(String line, TMapFile& map, const TLinkerMapState& st) {
  Cardinal segment = 0, offset = 0, length = 0;
  if (line.size() < 73 || !CharAt(line, 5, ':') || !CharAt(line, 14, ' ') ||
      !CharAt(line, 23, ' ') || !CharAt(line, 24, 'C') ||
      !CharAt(line, 25, '=') || !HexAt(line, 0, 4, segment) ||
      !HexAt(line, 5, 8, offset) || !HexAt(line, 14, 8, length))
    return;
  while (!line.empty() && line.back() == ' ') line.pop_back();
  const std::size_t lastBlank = line.rfind(' ');
  if (lastBlank != String::npos) line.resize(lastBlank);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  const std::size_t cut = line.find_last_of("=\\|");
  const String unit = cut == String::npos ? line : line.substr(cut + 1);
  if (segment < 1 || segment > static_cast<Cardinal>(st.dataSegment)) return;
  const bool isCode = segment < static_cast<Cardinal>(st.dataSegment);
  if (segment > 1 && isCode) offset += st.secondCodeOffset;
  map.AddSegment(isCode, offset, length, unit, TMapFile::kRelative);
}

void PublicLine(String line, TMapFile& map, const TLinkerMapState& st) {
  Cardinal segment = 0, offset = 0;
  if (line.size() <= 13 || !CharAt(line, 5, ':') ||
      !HexAt(line, 0, 4, segment) || !HexAt(line, 5, 8, offset))
    return;
  while (!line.empty() && line.back() == ' ') line.pop_back();
  if (!line.empty() && line.back() == ')') {
    const std::size_t open = line.rfind('(');
    if (open != String::npos) line.resize(open);
    while (!line.empty() && line.back() == ' ') line.pop_back();
  }
  const std::size_t blank = line.rfind(' ');
  if (blank == String::npos || blank + 1 < 13) return;
  String name = line.substr(blank + 1);
  if (name.empty()) return;
  if (segment < 1 || segment > static_cast<Cardinal>(st.dataSegment)) return;
  const bool isCode = segment < static_cast<Cardinal>(st.dataSegment);
  if (st.dataSegment > 2 && segment > 1 && isCode)
    offset += st.secondCodeOffset;
  if (st.dataSegment > 2) {
    const Addr absolute =
        (isCode ? map.CodeStartAddr() : map.DataStartAddr()) + offset;
    StripUnitPrefix(map, isCode, absolute, name);
  }
  map.AddPublic(isCode, offset, std::move(name), TMapFile::kRelative);
}

void LineNumbersLine(const String& line, TMapFile& map, TLinkerMapState& st) {
  std::size_t pos = 0;
  const std::size_t n = line.size();
  const bool first = st.firstLineOfBlock;
  st.firstLineOfBlock = false;
  for (;;) {
    while (pos < n && line[pos] == ' ') ++pos;
    if (pos >= n) break;
    Integer number = 0;
    std::size_t digits = 0;
    while (pos < n && line[pos] >= '0' && line[pos] <= '9' && digits < 9) {
      number = number * 10 + (line[pos] - '0');
      ++pos;
      ++digits;
    }
    Cardinal segment = 0, offset = 0;
    if (digits == 0 || pos >= n || line[pos] != ' ') break;
    ++pos;
    if (!HexAt(line, pos, 4, segment) || pos + 4 >= n || line[pos + 4] != ':' ||
        !HexAt(line, pos + 5, 8, offset))
      break;
    pos += 13;
    if (segment == 0 || segment >= static_cast<Cardinal>(st.dataSegment))
      continue;
    const Addr address = CodeAddress(map, st, segment, offset);
    if (!first && st.anyLineInBlock && address <= st.lastLineAddress) continue;
    map.AddLine(number, address);
    st.lastLineAddress = address;
    st.anyLineInBlock = true;
  }
}

}  // namespace

void ParseLinkerMap(const String& text, TMapFile& map) {
  TLinkerMapState st;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == String::npos) end = text.size();
    String line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t lead = line.find_first_not_of(' ');
    line.erase(0, lead == String::npos ? line.size() : lead);
    try {
      if (line.empty()) {
        if (!st.skippingBlanks) st.section = TMapSection::None;
        continue;
      }
      st.skippingBlanks = false;
      if (line.find("Start         Length     Name                   Class") !=
          String::npos) {
        st.section = TMapSection::Classes;
        continue;
      }
      if (line.find("Detailed map of segments") != String::npos) {
        st.section = TMapSection::Segments;
        st.skippingBlanks = true;
        continue;
      }
      if (line.find("Publics by Value") != String::npos) {
        st.section = TMapSection::Publics;
        st.skippingBlanks = true;
        continue;
      }
      const std::size_t lineMarker = line.find("Line numbers for ");
      if (lineMarker != String::npos) {
        const std::size_t open = line.find('(', lineMarker);
        const bool ok =
            open != String::npos && line.find(')', open) != String::npos;
        st.section = ok ? TMapSection::Lines : TMapSection::None;
        st.skippingBlanks = ok;
        st.firstLineOfBlock = true;
        st.anyLineInBlock = false;
        continue;
      }
      if (StartsWithStr("Program entry point at ", line) &&
          CharAt(line, 28, ':') && line.size() >= 35) {
        Cardinal offset = 0;
        if (HexAt(line, 28, 8, offset))
          map.SetEntryPoint(map.CodeStartAddr() + offset);
        continue;
      }
      switch (st.section) {
        case TMapSection::Classes:
          ClassLine(line, st);
          break;
        case TMapSection::Segments:
          SegmentLine(line, map, st);
          break;
        case TMapSection::Publics:
          PublicLine(line, map, st);
          break;
        case TMapSection::Lines:
          LineNumbersLine(line, map, st);
          break;
        case TMapSection::None:
          break;
      }
      // The segments must be in place before the publics ask for them.
      if (st.section == TMapSection::Segments) map.SortSegments();
    } catch (...) {
      // A line that breaks is dropped.
    }
  }
  map.SortSegments();
  map.SortPublics();
  map.SortLines();
}

// ---------------------------------------------------------------------------
// TD32
// ---------------------------------------------------------------------------
//
// Offsets inside the data are relative to its start. The subsection
// directory chain is followed at most kMaxDirectories times so that a
// looping chain ends.

namespace {

constexpr int kMaxDirectories = 256;
constexpr Cardinal kTd32Names = 0x130, kTd32Modules = 0x120, kTd32Lines = 0x127,
                   kTd32Globals = 0x129, kTd32Publics = 0x125;

struct TTd32Entry {
  Word type;
  TSpan body;
};

std::vector<TTd32Entry> Td32Subsections(const TSpan& data) {
  std::vector<TTd32Entry> out;
  Cardinal dir = 0;
  if (!data.U32(4, dir)) return out;
  for (int k = 0; k < kMaxDirectories && dir != 0; ++k) {
    Word headerSize = 0, entrySize = 0;
    Cardinal count = 0, next = 0;
    if (!data.U16(dir, headerSize) || !data.U16(dir + 2, entrySize) ||
        !data.U32(dir + 4, count) || !data.U32(dir + 8, next))
      break;
    if (entrySize < 12 || count > data.size / entrySize) break;
    for (Cardinal i = 0; i < count; ++i) {
      const std::size_t at = static_cast<std::size_t>(dir) + headerSize +
                             static_cast<std::size_t>(i) * entrySize;
      Word type = 0;
      Cardinal offset = 0, size = 0;
      if (!data.U16(at, type) || !data.U32(at + 4, offset) ||
          !data.U32(at + 8, size))
        break;
      const TSpan body = data.Sub(offset, size);
      if (body.data) out.push_back({type, body});
    }
    dir = next;
  }
  return out;
}

String Td32Name(const std::vector<String>& names, Cardinal index) {
  return index >= 1 && index <= names.size() ? names[index - 1] : String();
}

void Td32ReadNames(const TSpan& s, std::vector<String>& names) {
  Cardinal count = 0;
  if (!s.U32(0, count) || count > s.size) return;
  std::size_t at = 4;
  for (Cardinal i = 0; i < count; ++i) {
    Byte length = 0;
    if (!s.U8(at, length) || !s.Has(at + 1, length + 1u)) break;
    names.emplace_back(reinterpret_cast<const char*>(s.data + at + 1), length);
    at += length + 2u;
  }
}

void Td32ReadModule(const TSpan& s, const std::vector<String>& names,
                    TMapFile& map) {
  Word count = 0;
  Cardinal nameIndex = 0;
  if (!s.U16(4, count) || !s.U32(8, nameIndex)) return;
  const String unit = FileNameOnly(Td32Name(names, nameIndex));
  bool dataAdded = false;
  for (Word i = 0; i < count; ++i) {
    const std::size_t at = 28 + static_cast<std::size_t>(i) * 12;
    Word segment = 0, flags = 0;
    Cardinal offset = 0, length = 0;
    if (!s.U16(at, segment) || !s.U16(at + 2, flags) ||
        !s.U32(at + 4, offset) || !s.U32(at + 8, length))
      break;
    if (length == 0) continue;
    const bool isCode = flags == 1;
    if (!isCode) {
      if (dataAdded) continue;
      dataAdded = true;
    }
    if (isCode && segment > 1) offset += map.SecondCodeOffset();
    map.AddSegment(isCode, offset, length, unit,
                   TMapFile::kRelative | TMapFile::kMerge);
  }
}

void Td32ReadLines(const TSpan& s, const std::vector<String>& names,
                   TMapFile& map) {
  Word files = 0;
  if (!s.U16(0, files)) return;
  for (Word f = 0; f < files; ++f) {
    Cardinal fileAt = 0;
    if (!s.U32(4 + 4u * f, fileAt)) break;
    Word ranges = 0;
    Cardinal nameIndex = 0;
    if (!s.U16(fileAt, ranges) || !s.U32(fileAt + 2, nameIndex)) continue;
    const String unit = FileNameOnly(Td32Name(names, nameIndex));
    for (Word r = 0; r < ranges; ++r) {
      Cardinal blockAt = 0;
      if (!s.U32(fileAt + 6 + 4u * r, blockAt)) break;
      Word segment = 0, pairs = 0;
      if (!s.U16(blockAt, segment) || !s.U16(blockAt + 2, pairs)) continue;
      if (segment == 0 || segment >= static_cast<Word>(map.DataSegmentNumber()))
        continue;
      if (!s.Has(blockAt + 4, pairs * 6u)) continue;
      Addr first = 0, last = 0;
      for (Word p = 0; p < pairs; ++p) {
        Cardinal offset = 0;
        Word line = 0;
        s.U32(blockAt + 4 + 4u * p, offset);
        s.U16(blockAt + 4 + 4u * pairs + 2u * p, line);
        Addr address = map.CodeStartAddr() + offset;
        if (segment > 1) address += map.SecondCodeOffset();
        map.AddLine(line, address);
        if (p == 0 || address < first) first = address;
        if (p == 0 || address > last) last = address;
      }
      if (pairs > 0)
        map.AddSegment(true, first, static_cast<Cardinal>(last - first + 1),
                       unit, TMapFile::kMerge);
    }
  }
}

void Td32ReadSymbols(const TSpan& s, std::size_t from,
                     const std::vector<String>& names, TMapFile& map) {
  std::size_t at = from;
  for (;;) {
    Word length = 0, type = 0;
    if (!s.U16(at, length) || length == 0 || !s.Has(at, length + 2u) ||
        !s.U16(at + 2, type))
      break;
    bool isCode = false;
    std::size_t addressAt = 0, nameAt = 0;
    if ((type == 0x204 || type == 0x205) && length >= 44) {
      isCode = true, addressAt = 28, nameAt = 40;
    } else if ((type == 0x201 || type == 0x202) && length >= 20) {
      addressAt = 4, nameAt = 16;
    } else if (type == 0x20 && length > 25) {
      isCode = true, addressAt = 20, nameAt = 12;
    } else if (type == 0x21 && length > 23) {
      addressAt = 20, nameAt = 12;
    }
    Cardinal address = 0, nameIndex = 0;
    if (addressAt && s.U32(at + addressAt, address) &&
        s.U32(at + nameAt, nameIndex) && nameIndex != 0)
      map.AddPublic(isCode, address, Td32Name(names, nameIndex),
                    TMapFile::kRelative | TMapFile::kTd32);
    at += length + 2u;
  }
}

}  // namespace

bool ReadTd32Data(const void* data, std::size_t size, TMapFile& map) {
  const TSpan span{static_cast<const Byte*>(data), data ? size : 0};
  Cardinal signature = 0;
  if (!span.U32(0, signature) ||
      (signature != 0x39304246u && signature != 0x41304246u))
    return false;
  const std::vector<TTd32Entry> subsections = Td32Subsections(span);
  std::vector<String> names;
  for (const TTd32Entry& e : subsections)
    if (e.type == kTd32Names) Td32ReadNames(e.body, names);
  for (const TTd32Entry& e : subsections)
    if (e.type == kTd32Modules) Td32ReadModule(e.body, names, map);
  for (const TTd32Entry& e : subsections)
    if (e.type == kTd32Lines) Td32ReadLines(e.body, names, map);
  map.SortSegments();
  map.CompactSegments(true);
  bool globals = false;
  for (const TTd32Entry& e : subsections)
    if (e.type == kTd32Globals) {
      globals = true;
      Td32ReadSymbols(e.body, 32, names, map);
    }
  if (!globals)
    for (const TTd32Entry& e : subsections)
      if (e.type == kTd32Publics) Td32ReadSymbols(e.body, 4, names, map);
  map.SortPublics();
  map.SortSegments();
  map.CompactSegments(true);
  map.SortLines();
  return true;
}

// ---------------------------------------------------------------------------
// JEDI debug data
// ---------------------------------------------------------------------------
//
// Our reading of the header (32 bytes, dwords little-endian):
//   0 signature "JDBG"; 4 version (byte, 1); 5 checksum-valid flag (byte);
//   8 checksum; 12 source-name list; 16 symbol list; 20 line list;
//   24 words area; 28 reserved
// The lists are offsets into the file; the words area holds the names.

namespace {

constexpr Cardinal kJdbgSignature = 0x4742444Au;
constexpr Cardinal kJdbgEnd = 0x7FFFFFFFu;

// A list of variable-length numbers (7 bits a byte, least significant
// group first, high bit on all but the last byte).
class TJdbgList {
 public:
  TJdbgList(const TSpan& data, Cardinal offset) : data_(data), pos_(offset) {}
  // False at the end marker or when the data runs out.
  bool Next(Cardinal& value) {
    if (!ok_) return false;
    value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      Byte b = 0;
      if (!data_.U8(pos_++, b)) return ok_ = false;
      value |= static_cast<Cardinal>(b & 0x7F) << shift;
      if (!(b & 0x80)) {
        if (value == kJdbgEnd) return ok_ = false;
        return true;
      }
    }
    return ok_ = false;
  }

 private:
  TSpan data_;
  std::size_t pos_;
  bool ok_ = true;
};

char JdbgSixBit(Cardinal c) {
  if (c >= 1 && c <= 10) return static_cast<char>('0' + c - 1);
  if (c >= 11 && c <= 36) return static_cast<char>('A' + c - 11);
  if (c >= 37 && c <= 62) return static_cast<char>('a' + c - 37);
  return '_';
}

String JdbgName(const TSpan& data, Cardinal words, Cardinal offset) {
  if (offset == 0) return String();
  std::size_t at = static_cast<std::size_t>(words) + offset - 1;
  Byte kind = 0;
  if (!data.U8(at, kind)) return String();
  String name;
  if (kind == 1) {
    Byte b = 0;
    for (++at; data.U8(at, b) && b != 0 && name.size() < 4096; ++at)
      name += static_cast<char>(b == 0xAA ? b : b ^ 0xAA);
    return name;
  }
  if (kind == 2) {
    name = "@";
    ++at;
  }
  while (name.size() < 254) {
    Byte b0 = 0, b1 = 0, b2 = 0;
    if (!data.U8(at, b0)) break;
    data.U8(at + 1, b1);
    data.U8(at + 2, b2);
    const Cardinal v = b0 | (b1 << 8) | (b2 << 16);
    bool end = false;
    for (int i = 0; i < 4 && !end; ++i) {
      const Cardinal c = (v >> (6 * i)) & 63;
      if (c == 0 || name.size() >= 254)
        end = true;
      else
        name += JdbgSixBit(c);
    }
    if (end) break;
    at += 3;
  }
  return name;
}

}  // namespace

bool ReadJdbgData(const String& data, TMapFile& map) {
  const TSpan span{reinterpret_cast<const Byte*>(data.data()), data.size()};
  Cardinal signature = 0, checksum = 0, sources = 0, symbols = 0, lines = 0,
           words = 0;
  Byte version = 0, checksumValid = 0;
  if (data.size() < 35 || data.size() % 4 != 0 || !span.U32(0, signature) ||
      signature != kJdbgSignature || !span.U8(4, version) || version != 1)
    return false;
  span.U8(5, checksumValid);
  span.U32(8, checksum);
  span.U32(12, sources);
  span.U32(16, symbols);
  span.U32(20, lines);
  span.U32(24, words);
  if (checksumValid) {
    Cardinal sum = 0;
    for (std::size_t at = 0; at < data.size(); at += 4) {
      Cardinal v = 0;
      span.U32(at, v);
      if (at != 8) sum += v;
    }
    if (((sum >> 8) | (sum << 24)) != checksum) return false;
  }
  // Source files: code segments named after the file.
  {
    TJdbgList list(span, sources);
    Cardinal address = 0, name = 0, d1 = 0, d2 = 0;
    while (list.Next(d1) && list.Next(d2)) {
      address += d1;
      name += d2;
      // One byte: compaction stretches it to the next file's start.
      map.AddSegment(true, address, 1,
                     FileNameOnly(JdbgName(span, words, name)),
                     TMapFile::kRelative);
    }
    map.SortSegments();
    map.CompactSegments(false);
    if (map.CodeEndAddr()) map.StretchLastCodeSegment(map.CodeEndAddr());
  }
  // Symbols: name, or name "." second name.
  {
    TJdbgList list(span, symbols);
    Cardinal address = 0, first = 0, second = 0, d1 = 0, d2 = 0, d3 = 0;
    while (list.Next(d1) && list.Next(d2) && list.Next(d3)) {
      address += d1;
      first += d2;
      second += d3;
      String name = JdbgName(span, words, first);
      if (static_cast<Integer>(second) > 0)
        name += "." + JdbgName(span, words, second);
      StripUnitPrefix(map, true, map.CodeStartAddr() + address, name);
      map.AddPublic(true, address, std::move(name), TMapFile::kRelative);
    }
    map.SortPublics();
  }
  // Line numbers.
  {
    TJdbgList list(span, lines);
    Cardinal address = 0, line = 0, d1 = 0, d2 = 0;
    while (list.Next(d1) && list.Next(d2)) {
      address += d1;
      line += d2;
      map.AddLine(static_cast<Integer>(line), map.CodeStartAddr() + address);
    }
    map.SortLines();
  }
  return true;
}
