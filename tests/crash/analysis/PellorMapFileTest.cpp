#include <gtest/gtest.h>

#include "PellorMapFile.h"
#include "PellorMapSources.h"

namespace {

using MapAddr = std::uintptr_t;

const void* MapPtr(MapAddr a) { return reinterpret_cast<const void*>(a); }

// A fake module system: one module at 0x20000000 whose file date the test
// changes, and a loader that counts how often it ran.
struct FakeModules {
  static inline Cardinal date = 1;
  static inline int loads = 0;

  static bool ModuleOf(const void* address, const void*& instance,
                       String& fileName, Cardinal& fileDate) {
    if (reinterpret_cast<MapAddr>(address) < 0x20000000 ||
        reinterpret_cast<MapAddr>(address) >= 0x20010000)
      return false;
    instance = MapPtr(0x20000000);
    fileName = "C:\\App\\Fake.exe";
    fileDate = date;
    return true;
  }
  static void Load(TMapFile& map) {
    ++loads;
    map.SetLayout(0x20000000, 0x20001000, 0x20002000, 0x20003000, 0x20004000,
                  0);
    map.AddSegment(true, 0, 0x1000, "Fake.cpp", TMapFile::kRelative);
    map.AddPublic(true, 0x10, "Alpha", TMapFile::kRelative);
    map.AddPublic(true, 0x80, "Has%Percent", TMapFile::kRelative);
    map.AddLine(7, 0x20001010);
    map.AddLine(9, 0x20001020);
    map.SortPublics();
    map.SetValid(true);
  }
};

class MapFileLookupTest : public testing::Test {
 protected:
  void SetUp() override {
    TMapModuleSeam seam;
    seam.moduleOfAddress = &FakeModules::ModuleOf;
    seam.load = &FakeModules::Load;
    previous_ = SetMapModuleSeam(seam);
    FakeModules::date = 1;
    FakeModules::loads = 0;
  }
  void TearDown() override { SetMapModuleSeam(previous_); }

 private:
  TMapModuleSeam previous_;
};

TEST_F(MapFileLookupTest, CachesPerModuleAndRebuildsWhenTheFileChanges) {
  TMapFilePtr first = MapFileOfAddress(MapPtr(0x20001010));
  ASSERT_TRUE(first->Valid());
  EXPECT_EQ(first, MapFileOfAddress(MapPtr(0x20001500)));
  EXPECT_EQ(1, FakeModules::loads);
  FakeModules::date = 2;  // the module file was rewritten
  TMapFilePtr second = MapFileOfAddress(MapPtr(0x20001010));
  EXPECT_NE(first, second);
  EXPECT_EQ(2, FakeModules::loads);
  // No module: an invalid map of the caller's own.
  EXPECT_FALSE(MapFileOfAddress(MapPtr(0x30000000))->Valid());
}

TEST_F(MapFileLookupTest, ProcNameOnlyAtAPublicsStart) {
  EXPECT_EQ("Fake.cpp.Alpha", ProcNameOfAddress(MapPtr(0x20001010)));
  EXPECT_EQ("", ProcNameOfAddress(MapPtr(0x20001011)));
  EXPECT_EQ("Fake.cpp.Has%Percent (Fake.exe)",
            ProcNameOfAddress(MapPtr(0x20001080)));
  EXPECT_EQ("", ProcNameOfAddress(MapPtr(0x30000000)));
}

TEST_F(MapFileLookupTest, LookupMapInfoAndLineOfAddress) {
  TMapInfo info;
  ASSERT_TRUE(LookupMapInfo(MapPtr(0x20001015), info));
  EXPECT_EQ("C:\\App\\Fake.exe", info.moduleFileName);
  EXPECT_EQ("Fake.cpp", info.unitName);
  EXPECT_EQ(7, info.line);
  EXPECT_EQ(MapPtr(0x20001010), info.publicAddress);
  EXPECT_EQ("Alpha", info.publicName);
  EXPECT_FALSE(LookupMapInfo(MapPtr(0x30000000), info));

  Integer line = 0;
  const void* from = nullptr;
  const void* to = nullptr;
  LineOfAddress(MapPtr(0x20001012), line, from, to);
  EXPECT_EQ(7, line);
  EXPECT_EQ(MapPtr(0x20001012), from);
  EXPECT_EQ(MapPtr(0x20001020), to);
  // Inside the known range nothing is looked up again.
  const int loads = FakeModules::loads;
  ClearMapFileCache();
  LineOfAddress(MapPtr(0x20001018), line, from, to);
  EXPECT_EQ(loads, FakeModules::loads);
  EXPECT_EQ(MapPtr(0x20001012), from);
  LineOfAddress(nullptr, line, from, to);
  EXPECT_EQ(7, line);
  LineOfAddress(MapPtr(0x20001020), line, from, to);
  EXPECT_EQ(9, line);
}

// Sorted insertion, merging and compaction of segments.
TEST(MapFileSegmentsTest, MergeSortAndCompact) {
  TMapFile map(false, false, nullptr, "m.exe");
  map.SetLayout(0, 0x1000, 0x9000, 0xA000, 0xB000, 0);
  const unsigned opts = TMapFile::kMerge | TMapFile::kSorted;
  map.AddSegment(true, 0x3000, 0x100, "B.pas", opts);
  map.AddSegment(true, 0x3101, 0x100, "B", opts);  // within 2 bytes: merged
  map.AddSegment(true, 0x1000, 0x100, "A.DPR", opts);
  map.AddSegment(false, 0xA000, 0x10, "D", opts);
  map.AddSegment(true, 0x2000, 0x100, "a", opts);
  ASSERT_EQ(4u, map.Segments().size());
  EXPECT_EQ("A", map.Segments()[0].unitName);  // extension removed
  EXPECT_EQ(0x201u, map.Segments()[2].size);
  EXPECT_FALSE(map.Segments()[3].isCode);  // data after code
  map.CompactSegments(false);
  // "A" and "a" are one unit reaching B's start.
  ASSERT_EQ(3u, map.Segments().size());
  EXPECT_EQ(0x2000u, map.Segments()[0].size);
  EXPECT_EQ("B", map.SegmentOfAddress(true, MapPtr(0x3200)).unitName);
}

TEST(MapFileSegmentsTest, CodeOnlyMapsIgnoreData) {
  TMapFile map(false, true, nullptr, "m.exe");
  map.AddSegment(false, 0xA000, 0x10, "D", 0);
  map.AddPublic(false, 0xA000, "Var", 0);
  EXPECT_TRUE(map.Segments().empty());
  EXPECT_TRUE(map.Publics().empty());
}

TEST(MapFileSegmentsTest, DropsCompilerGeneratedPublics) {
  TMapFile map(false, false, nullptr, "m.exe");
  for (const char* name : {"@Abc$qqrv", "$xyz$1", "xabc$d", "Keep$"})
    map.AddPublic(true, 0x1000, name, 0);
  ASSERT_EQ(1u, map.Publics().size());
  EXPECT_EQ("Keep$", map.Publics()[0].name);
}

}  // namespace
