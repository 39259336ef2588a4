#include <gtest/gtest.h>

#include <cstring>

#include "PellorMapSources.h"

namespace {

using SrcAddr = std::uintptr_t;

const void* SrcPtr(SrcAddr a) { return reinterpret_cast<const void*>(a); }

// A module laid out like ours: code from 0x1000 after the instance.
constexpr SrcAddr kInstance = 0x10000000;
constexpr SrcAddr kCode = kInstance + 0x1000;
constexpr SrcAddr kCodeEnd = kCode + 0x8000;
constexpr SrcAddr kData = kInstance + 0x20000;

TMapFile EmptyMap(Cardinal secondCodeOffset = 0) {
  TMapFile map(false, false, SrcPtr(kInstance), "C:\\app\\module.exe");
  map.SetLayout(kInstance, kCode, kCodeEnd, kData, kData + 0x1000,
                secondCodeOffset);
  return map;
}

void PutU16(String& s, Word v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void PutU32(String& s, Cardinal v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void SetU32(String& s, std::size_t at, Cardinal v) {
  for (int i = 0; i < 4; ++i)
    s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// ---------------------------------------------------------------------------
// Packed map data
// ---------------------------------------------------------------------------

// Written for a module at 0x400000; read back into one at kInstance.
String SamplePackedMap() {
  constexpr SrcAddr base = 0x401000;
  std::vector<TMfSegment> segments(2);
  segments[0] = {true, true, SrcPtr(base), 0x100, "Alpha.cpp", false};
  segments[1] = {true, true, SrcPtr(base + 0x100), 0x300, "Beta.cpp", false};
  std::vector<TMfPublic> publics = {
      {true, true, "AlphaOne", SrcPtr(base)},
      {true, true, "AlphaTwo", SrcPtr(base + 0x40)},
      {true, true, "Beta.cpp", SrcPtr(base + 0x100)},  // named like its unit
      {true, true, "BetaFar", SrcPtr(base + 0x380)},   // delta beyond a byte
  };
  std::vector<TMfLine> lines = {{10, SrcPtr(base)},
                                {12, SrcPtr(base + 0x8)},
                                {40, SrcPtr(base + 0x40)},
                                {7, SrcPtr(base + 0x100)},
                                {300, SrcPtr(base + 0x380)}};
  return BuildPackedMap(segments, publics, lines, base, base + 0x44);
}

TEST(PackedMapTest, RoundTripsRelativeToTheStartOfCode) {
  TMapFile map = EmptyMap();
  ASSERT_TRUE(ImportPackedMap(SamplePackedMap(), map));
  ASSERT_TRUE(map.Valid());
  EXPECT_EQ(SrcPtr(kCode + 0x44), map.EntryPoint());

  const TMfSegment seg = map.SegmentOfAddress(true, SrcPtr(kCode + 0x150));
  EXPECT_TRUE(seg.valid);
  EXPECT_EQ("Beta.cpp", seg.unitName);
  EXPECT_EQ(SrcPtr(kCode + 0x100), seg.start);
  EXPECT_FALSE(map.SegmentOfAddress(true, SrcPtr(kCode + 0x400)).valid);

  EXPECT_EQ("AlphaTwo", map.PublicOfAddress(SrcPtr(kCode + 0x7F)).name);
  EXPECT_EQ("initialization", map.PublicOfAddress(SrcPtr(kCode + 0x100)).name);
  EXPECT_EQ("BetaFar", map.PublicOfAddress(SrcPtr(kCode + 0x390)).name);
  // The last public ends at the end of code.
  EXPECT_FALSE(map.PublicOfAddress(SrcPtr(kCodeEnd)).valid);

  const void* next = nullptr;
  EXPECT_EQ(12, map.LineNumberOf(SrcPtr(kCode + 0x20), next));
  EXPECT_EQ(SrcPtr(kCode + 0x40), next);
  EXPECT_EQ(300, map.LineNumberOf(SrcPtr(kCode + 0x399), next));
  // Outside any segment: unknown.
  EXPECT_EQ(0, map.LineNumberOf(SrcPtr(kCode + 0x2000), next));
  EXPECT_EQ(SrcPtr(kCode + 0x2001), next);
}

TEST(PackedMapTest, AddressOfPublicRetriesTheUnitWithExtensions) {
  TMapFile map = EmptyMap();
  ASSERT_TRUE(ImportPackedMap(SamplePackedMap(), map));
  EXPECT_EQ(SrcPtr(kCode + 0x40),
            map.AddressOfPublic(true, "Alpha", true, "AlphaTwo"));
  EXPECT_EQ(SrcPtr(kCode + 0x40),
            map.AddressOfPublic(true, "alpha.cpp", false, "alphatwo"));
  EXPECT_EQ(nullptr, map.AddressOfPublic(true, "Alpha", true, "alphatwo"));
  // A public of another unit is not found through this one.
  EXPECT_EQ(nullptr, map.AddressOfPublic(true, "Alpha", true, "BetaFar"));
}

TEST(PackedMapTest, RejectsBadHeadersAndKeepsBadPayloadsInvalid) {
  const String good = SamplePackedMap();
  struct Case {
    const char* what;
    String data;
    bool accepted;
  };
  String badMarker = good;
  badMarker[0] ^= 1;
  String badVersion = good;
  SetU32(badVersion, 18, 4);
  String longPayload = good;
  SetU32(longPayload, 14, static_cast<Cardinal>(good.size()));
  String flipped = good;
  flipped[good.size() - 3] ^= 0x40;
  const Case cases[] = {
      {"empty", String(), false},
      {"short", good.substr(0, 22), false},
      {"marker", badMarker, false},
      {"version", badVersion, false},
      {"length past the end", longPayload, true},
      {"truncated", good.substr(0, good.size() - 5), true},
      {"payload byte", flipped, true},
  };
  for (const Case& c : cases) {
    TMapFile map = EmptyMap();
    EXPECT_EQ(c.accepted, ImportPackedMap(c.data, map)) << c.what;
    EXPECT_FALSE(map.Valid()) << c.what;
    EXPECT_TRUE(map.Publics().empty()) << c.what;
  }
}

TEST(PackedMapTest, KeyDependsOnThePayloadLength) {
  EXPECT_NE(DeriveMapKey(100), DeriveMapKey(101));
  EXPECT_EQ(DeriveMapKey(100), DeriveMapKey(100));
}

// ---------------------------------------------------------------------------
// Linker text map
// ---------------------------------------------------------------------------

String Crlf(std::initializer_list<const char*> lines) {
  String s;
  for (const char* l : lines) s += String(l) + "\r\n";
  return s;
}

const char* const kSegmentLine1 =
    " 0001:00000000 00000200 C=CODE     S=.text    G=(none)   M=System   "
    "ACBP=A9";
const char* const kSegmentLine2 =
    " 0001:00000200 00000100 C=CODE     S=.text    G=(none)   M=Unit1    "
    "ACBP=A9";

TEST(LinkerMapTest, ReadsSegmentsPublicsLinesAndEntryPoint) {
  TMapFile map = EmptyMap();
  ParseLinkerMap(Crlf({" Start         Length     Name                   Class",
                       " 0001:00401000 00000300H .text                   CODE",
                       " 0002:00402000 00000100H .data                   DATA",
                       "",
                       "Detailed map of segments",
                       "",
                       kSegmentLine1,
                       kSegmentLine2,
                       "",
                       "  Address             Publics by Value",
                       "",
                       " 0001:00000010       SomeProc",
                       " 0001:00000200       Unit1",
                       " 0001:00000240       Unit1Proc (ignored part)",
                       "",
                       "Line numbers for Unit1(Unit1.pas) segment .text",
                       "",
                       "    20 0001:00000200    21 0001:00000210",
                       "    22 0001:00000208    23 0001:00000220",
                       "",
                       "Line numbers for Broken segment .text",
                       "",
                       "    99 0001:00000000",
                       "",
                       "Program entry point at 0001:00000240"}),
                 map);
  const TMfSegment seg = map.SegmentOfAddress(true, SrcPtr(kCode + 0x250));
  EXPECT_EQ("Unit1", seg.unitName);
  EXPECT_EQ(SrcPtr(kCode + 0x200), seg.start);
  EXPECT_EQ(0x100u, seg.size);
  EXPECT_EQ("SomeProc", map.PublicOfAddress(SrcPtr(kCode + 0x20)).name);
  // A public named like its unit is the unit's initialization.
  EXPECT_EQ("initialization", map.PublicOfAddress(SrcPtr(kCode + 0x200)).name);
  EXPECT_EQ("Unit1Proc", map.PublicOfAddress(SrcPtr(kCode + 0x240)).name);
  EXPECT_EQ(SrcPtr(kCode + 0x240), map.EntryPoint());
  // 22 at 0x208 is not above the last entry of the block: dropped. The
  // block without parentheses adds nothing.
  ASSERT_EQ(3u, map.Lines().size());
  EXPECT_EQ(20, map.Lines()[0].line);
  EXPECT_EQ(21, map.Lines()[1].line);
  EXPECT_EQ(23, map.Lines()[2].line);
}

// With a second code segment publics lose a leading unit name; the segment
// that names the unit is found by the absolute address, so this works for
// a module loaded anywhere.
TEST(LinkerMapTest, StripsTheUnitPrefixAtAnyLoadAddress) {
  TMapFile map = EmptyMap(0x1000);
  ParseLinkerMap(
      Crlf({" Start         Length     Name                   Class",
            " 0001:00401000 00000300H .text                   CODE",
            " 0002:00402000 00000100H .itext                  ICODE",
            " 0003:00403000 00000100H .data                   DATA", "",
            "Detailed map of segments", "", kSegmentLine1, kSegmentLine2, "",
            "  Address             Publics by Value", "",
            " 0001:00000250       Unit1.Proc",
            " 0001:00000260       Other.Proc", ""}),
      map);
  ASSERT_EQ(3, map.DataSegmentNumber());
  EXPECT_EQ("Proc", map.PublicOfAddress(SrcPtr(kCode + 0x250)).name);
  EXPECT_EQ("Other.Proc", map.PublicOfAddress(SrcPtr(kCode + 0x260)).name);
}

// ---------------------------------------------------------------------------
// TD32
// ---------------------------------------------------------------------------

// Builds TD32 data from subsections.
class Td32Builder {
 public:
  void Add(Word type, const String& body) { subs_.push_back({type, body}); }
  String Build() const {
    String s = "FB09";
    PutU32(s, 0);  // directory offset, set below
    std::vector<Cardinal> offsets;
    for (const auto& sub : subs_) {
      offsets.push_back(static_cast<Cardinal>(s.size()));
      s += sub.second;
    }
    SetU32(s, 4, static_cast<Cardinal>(s.size()));
    PutU16(s, 16);
    PutU16(s, 12);
    PutU32(s, static_cast<Cardinal>(subs_.size()));
    PutU32(s, 0);
    PutU32(s, 0);
    for (std::size_t i = 0; i < subs_.size(); ++i) {
      PutU16(s, subs_[i].first);
      PutU16(s, 0);
      PutU32(s, offsets[i]);
      PutU32(s, static_cast<Cardinal>(subs_[i].second.size()));
    }
    return s;
  }

 private:
  std::vector<std::pair<Word, String>> subs_;
};

String Td32Sample() {
  Td32Builder b;
  String names;
  PutU32(names, 3);
  for (const char* n : {"C:\\src\\Unit1.pas", "Proc1", "Global1"}) {
    names += static_cast<char>(std::strlen(n));
    names += n;
    names += '\0';
  }
  b.Add(0x130, names);
  String module(28, '\0');
  module[4] = 1;  // one segment
  SetU32(module, 8, 1);
  PutU16(module, 1);
  PutU16(module, 1);  // code
  PutU32(module, 0x100);
  PutU32(module, 0x80);
  b.Add(0x120, module);
  String lines;
  PutU16(lines, 1);
  PutU16(lines, 0);
  PutU32(lines, 8);  // the file
  PutU16(lines, 1);
  PutU32(lines, 1);
  PutU32(lines, 18);  // the block
  PutU16(lines, 1);
  PutU16(lines, 2);
  PutU32(lines, 0x100);
  PutU32(lines, 0x110);
  PutU16(lines, 5);
  PutU16(lines, 6);
  b.Add(0x127, lines);
  String globals(32, '\0');
  String rec(46, '\0');
  rec[0] = 44;
  rec[2] = 0x05;
  rec[3] = 0x02;
  SetU32(rec, 28, 0x120);
  SetU32(rec, 40, 2);
  globals += rec;
  b.Add(0x129, globals);
  return b.Build();
}

TEST(Td32Test, ReadsNamesModulesLinesAndSymbols) {
  const String data = Td32Sample();
  TMapFile map = EmptyMap();
  ASSERT_TRUE(ReadTd32Data(data.data(), data.size(), map));
  const TMfSegment seg = map.SegmentOfAddress(true, SrcPtr(kCode + 0x120));
  EXPECT_EQ("Unit1", seg.unitName);
  EXPECT_EQ("Proc1", map.PublicOfAddress(SrcPtr(kCode + 0x124)).name);
  const void* next = nullptr;
  EXPECT_EQ(6, map.LineNumberOf(SrcPtr(kCode + 0x112), next));
}

TEST(Td32Test, RejectsSignaturesAndSurvivesTruncation) {
  const String data = Td32Sample();
  TMapFile bad = EmptyMap();
  EXPECT_FALSE(ReadTd32Data("FB08\0\0\0\0", 8, bad));
  EXPECT_FALSE(ReadTd32Data(nullptr, 100, bad));
  for (std::size_t n = 0; n <= data.size(); ++n) {
    const String cut = data.substr(0, n);  // a heap copy: overreads show
    TMapFile map = EmptyMap();
    ReadTd32Data(cut.data(), cut.size(), map);
  }
}

// ---------------------------------------------------------------------------
// JEDI debug data
// ---------------------------------------------------------------------------

void PutVar(String& s, Cardinal v) {
  do {
    Byte b = v & 0x7F;
    v >>= 7;
    if (v) b |= 0x80;
    s += static_cast<char>(b);
  } while (v);
}

// A name in 6-bit packing.
String SixBit(const String& text) {
  auto code = [](char c) -> Cardinal {
    if (c >= '0' && c <= '9') return c - '0' + 1;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 11;
    if (c >= 'a' && c <= 'z') return c - 'a' + 37;
    return 63;
  };
  String s;
  for (std::size_t i = 0; i <= text.size(); i += 4) {
    Cardinal v = 0;
    for (std::size_t k = 0; k < 4 && i + k < text.size(); ++k)
      v |= code(text[i + k]) << (6 * k);
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
    s += static_cast<char>((v >> 16) & 0xFF);
  }
  return s;
}

String Xored(const String& text) {
  String s = "\x01";
  for (char c : text) s += static_cast<char>(c ^ 0xAA);
  return s + '\0';
}

String JdbgSample(bool checksum) {
  String words;
  const auto name = [&words](const String& packed) {
    const Cardinal offset = static_cast<Cardinal>(words.size()) + 1;
    words += packed;
    return offset;
  };
  const Cardinal unitA = name(Xored("C:\\src\\UnitA.pas"));
  const Cardinal unitB = name(SixBit("UnitB"));
  const Cardinal proc = name(SixBit("DoIt"));
  const Cardinal method = name("\x02" + SixBit("Method"));
  String sources, symbols, lines;
  PutVar(sources, 0x0);
  PutVar(sources, unitA);
  PutVar(sources, 0x400);
  PutVar(sources, unitB - unitA);
  PutVar(sources, 0x7FFFFFFF);
  // In UnitB: "UnitB.@Method" loses the unit name.
  PutVar(symbols, 0x10);
  PutVar(symbols, proc);
  PutVar(symbols, 0);
  PutVar(symbols, 0x400);
  PutVar(symbols, unitB - proc);
  PutVar(symbols, method);
  PutVar(symbols, 0x7FFFFFFF);
  PutVar(lines, 0x10);
  PutVar(lines, 100);
  PutVar(lines, 0x400);
  PutVar(lines, static_cast<Cardinal>(-90));  // line 10
  PutVar(lines, 0x7FFFFFFF);
  String s(32, '\0');
  SetU32(s, 0, 0x4742444A);
  s[4] = 1;
  s[5] = checksum ? 1 : 0;
  SetU32(s, 12, static_cast<Cardinal>(s.size()));
  s += sources;
  SetU32(s, 16, static_cast<Cardinal>(s.size()));
  s += symbols;
  SetU32(s, 20, static_cast<Cardinal>(s.size()));
  s += lines;
  SetU32(s, 24, static_cast<Cardinal>(s.size()));
  s += words;
  while (s.size() % 4) s += '\0';
  if (checksum) {
    Cardinal sum = 0;
    for (std::size_t at = 0; at < s.size(); at += 4)
      if (at != 8)
        sum += static_cast<Byte>(s[at]) | (static_cast<Byte>(s[at + 1]) << 8) |
               (static_cast<Byte>(s[at + 2]) << 16) |
               (static_cast<Cardinal>(static_cast<Byte>(s[at + 3])) << 24);
    SetU32(s, 8, (sum >> 8) | (sum << 24));
  }
  return s;
}

TEST(JdbgTest, ReadsSourcesSymbolsAndLinesAtAnyLoadAddress) {
  TMapFile map = EmptyMap();
  ASSERT_TRUE(ReadJdbgData(JdbgSample(true), map));
  EXPECT_EQ("UnitA", map.SegmentOfAddress(true, SrcPtr(kCode + 0x20)).unitName);
  // The last source segment reaches the end of code.
  EXPECT_EQ("UnitB", map.SegmentOfAddress(true, SrcPtr(kCodeEnd - 1)).unitName);
  EXPECT_EQ("DoIt", map.PublicOfAddress(SrcPtr(kCode + 0x10)).name);
  EXPECT_EQ("@Method", map.PublicOfAddress(SrcPtr(kCode + 0x420)).name);
  const void* next = nullptr;
  EXPECT_EQ(100, map.LineNumberOf(SrcPtr(kCode + 0x20), next));
  EXPECT_EQ(SrcPtr(kCode + 0x410), next);
  EXPECT_EQ(10, map.LineNumberOf(SrcPtr(kCode + 0x500), next));
}

TEST(JdbgTest, RejectsBadHeadersAndChecksums) {
  const String good = JdbgSample(true);
  String badSum = good;
  badSum[good.size() - 1] ^= 1;
  String badVersion = good;
  badVersion[4] = 2;
  String badSignature = good;
  badSignature[0] = 'X';
  const struct {
    const char* what;
    String data;
  } cases[] = {{"checksum", badSum},
               {"version", badVersion},
               {"signature", badSignature},
               {"short", good.substr(0, 32)},
               {"not a multiple of 4", good.substr(0, good.size() - 1)}};
  for (const auto& c : cases) {
    TMapFile map = EmptyMap();
    EXPECT_FALSE(ReadJdbgData(c.data, map)) << c.what;
  }
  // Without the checksum flag a changed byte is not checked.
  String unchecked = JdbgSample(false);
  unchecked[unchecked.size() - 1] ^= 1;
  TMapFile map = EmptyMap();
  EXPECT_TRUE(ReadJdbgData(unchecked, map));
}

}  // namespace
