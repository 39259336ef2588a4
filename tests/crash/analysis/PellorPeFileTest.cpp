#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "PellorPeFile.h"

namespace {

void Put32(std::string& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i));
}
void Put16(std::string& f, std::size_t at, std::uint16_t v) {
  f[at] = static_cast<char>(v);
  f[at + 1] = static_cast<char>(v >> 8);
}

constexpr std::size_t kPe = 0x80;
constexpr std::size_t kOptional = kPe + 24;
constexpr std::uint16_t kOptionalSize = 0xE0;
constexpr std::size_t kTable = kOptional + kOptionalSize;

struct TSectionSpec {
  const char* name;
  std::uint32_t va, virtualSize, rawOffset, rawSize;
  char fill;
};

// A PE32 file with the given sections, each one's raw bytes set to its
// fill character.
std::string MakePe(const std::vector<TSectionSpec>& sections,
                   std::uint32_t imageSize = 0x4000) {
  std::string f(0x400, '\0');
  f[0] = 'M';
  f[1] = 'Z';
  Put32(f, 0x3C, kPe);
  std::memcpy(&f[kPe], "PE\0\0", 4);
  Put16(f, kPe + 6, static_cast<std::uint16_t>(sections.size()));
  Put32(f, kPe + 12, 0x300);  // symbol table
  Put32(f, kPe + 16, 7);      // symbols
  Put16(f, kPe + 20, kOptionalSize);
  Put16(f, kOptional, 0x10B);
  Put32(f, kOptional + 16, 0x1010);  // entry
  Put32(f, kOptional + 20, 0x1000);  // base of code
  Put32(f, kOptional + 28, 0x400000);
  Put32(f, kOptional + 56, imageSize);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const TSectionSpec& s = sections[i];
    const std::size_t h = kTable + 40 * i;
    std::memcpy(&f[h], s.name, std::strlen(s.name));
    Put32(f, h + 8, s.virtualSize);
    Put32(f, h + 12, s.va);
    Put32(f, h + 16, s.rawSize);
    Put32(f, h + 20, s.rawOffset);
    Put32(f, h + 36, 0x60000020);
    if (s.rawOffset + s.rawSize > f.size()) f.resize(s.rawOffset + s.rawSize);
    for (std::uint32_t k = 0; k < s.rawSize; ++k) f[s.rawOffset + k] = s.fill;
  }
  return f;
}

const std::vector<TSectionSpec> kTwoSections{
    {".text", 0x1000, 0x20, 0x200, 0x40, 'c'},   // raw longer than virtual
    {".data", 0x2000, 0x80, 0x240, 0x10, 'd'}};  // virtual longer than raw

TEST(PellorPeFile, ReadsHeadersAndSectionTable) {
  TPeFile pe;
  ASSERT_TRUE(ParsePeFile(MakePe(kTwoSections), pe));
  EXPECT_EQ(pe.magic, 0x10B);
  EXPECT_EQ(pe.imageBase, 0x400000u);
  EXPECT_EQ(pe.imageSize, 0x4000u);
  EXPECT_EQ(pe.entry, 0x1010u);
  EXPECT_EQ(pe.baseOfCode, 0x1000u);
  EXPECT_EQ(pe.symbols, 0x300u);
  EXPECT_EQ(pe.symbolCount, 7u);
  ASSERT_EQ(pe.sections.size(), 2u);
  EXPECT_EQ(pe.sections[1].name, ".data");
  EXPECT_EQ(pe.sections[1].va, 0x2000u);
  EXPECT_EQ(pe.sections[1].rawOffset, 0x240u);
  EXPECT_EQ(pe.sections[0].characteristics, 0x60000020u);
  ASSERT_NE(FindPeSection(pe, ".text"), nullptr);
  EXPECT_EQ(FindPeSection(pe, ".text")->va, 0x1000u);
  EXPECT_EQ(FindPeSection(pe, ".bss"), nullptr);
}

TEST(PellorPeFile, LaysOutWhatTheLoaderMaps) {
  TPeFile pe;
  ASSERT_TRUE(ParsePeFile(MakePe(kTwoSections), pe));
  std::vector<std::uint8_t> image;
  ASSERT_TRUE(LayOutPeImage(pe, image));
  ASSERT_EQ(image.size(), 0x4000u);
  // Up to the virtual size of the code, up to the raw size of the data.
  EXPECT_EQ(image[0x1000], 'c');
  EXPECT_EQ(image[0x101F], 'c');
  EXPECT_EQ(image[0x1020], 0);
  EXPECT_EQ(image[0x200F], 'd');
  EXPECT_EQ(image[0x2010], 0);
  EXPECT_EQ(image[0x0FFF], 0);
  EXPECT_EQ(PeLoadedSize(pe.sections[0]), 0x20u);
  EXPECT_EQ(PeLoadedSize(pe.sections[1]), 0x10u);
}

TEST(PellorPeFile, RejectsDamagedFiles) {
  const std::string good = MakePe(kTwoSections);
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", std::string()});
  cases.push_back({"short", good.substr(0, 0x30)});
  std::string noMz = good;
  noMz[0] = 'X';
  cases.push_back({"no MZ", noMz});
  std::string noPe = good;
  noPe[kPe] = 'X';
  cases.push_back({"no PE signature", noPe});
  std::string farPe = good;
  Put32(farPe, 0x3C, 0xFFFFFFF0u);
  cases.push_back({"header offset past the end", farPe});
  std::string cutTable = good.substr(0, kTable + 60);
  cases.push_back({"section table cut", cutTable});
  cases.push_back({"no sections", MakePe({})});
  for (const Case& c : cases) {
    TPeFile pe;
    EXPECT_FALSE(ParsePeFile(c.bytes, pe)) << c.what;
  }
}

TEST(PellorPeFile, RefusesToLayOutSectionsOutsideFileOrImage) {
  struct Case {
    const char* what;
    std::vector<TSectionSpec> sections;
    std::uint32_t imageSize;
  };
  const std::vector<Case> cases{
      {"beyond the image", {{".text", 0x3FF0, 0x20, 0x200, 0x20, 'c'}}, 0x4000},
      {"image too large",
       {{".text", 0x1000, 0x20, 0x200, 0x20, 'c'}},
       (256u << 20) + 1}};
  for (const Case& c : cases) {
    TPeFile pe;
    ASSERT_TRUE(ParsePeFile(MakePe(c.sections, c.imageSize), pe)) << c.what;
    std::vector<std::uint8_t> image;
    EXPECT_FALSE(LayOutPeImage(pe, image)) << c.what;
  }
  // Raw data said to lie past the end of the file.
  std::string cut = MakePe({{".text", 0x1000, 0x20, 0x400, 0x20, 'c'}});
  cut.resize(0x410);
  TPeFile pe;
  ASSERT_TRUE(ParsePeFile(cut, pe));
  std::vector<std::uint8_t> image;
  EXPECT_FALSE(LayOutPeImage(pe, image));
}

TEST(PellorPeFile, ReadsThisProgramAsTheLoaderDid) {
  char path[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  TPeFile pe;
  ASSERT_TRUE(ReadPeFile(path, pe));
  const auto* base =
      reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  EXPECT_EQ(pe.imageSize, nt->OptionalHeader.SizeOfImage);
  EXPECT_EQ(pe.entry, nt->OptionalHeader.AddressOfEntryPoint);
  ASSERT_EQ(pe.sections.size(), nt->FileHeader.NumberOfSections);
  // The loader's own copy of the section table.
  const IMAGE_SECTION_HEADER* loaded = IMAGE_FIRST_SECTION(nt);
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const std::string name(
        reinterpret_cast<const char*>(loaded[i].Name),
        strnlen(reinterpret_cast<const char*>(loaded[i].Name),
                IMAGE_SIZEOF_SHORT_NAME));
    EXPECT_EQ(pe.sections[i].name, name) << i;
    EXPECT_EQ(pe.sections[i].va, loaded[i].VirtualAddress) << name;
    EXPECT_EQ(pe.sections[i].virtualSize, loaded[i].Misc.VirtualSize) << name;
  }
  std::vector<std::uint8_t> image;
  ASSERT_TRUE(LayOutPeImage(pe, image));
  EXPECT_EQ(image.size(), pe.imageSize);
  EXPECT_NE(FindPeSection(pe, ".text"), nullptr);
}

}  // namespace
