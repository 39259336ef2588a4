#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "Handles.h"
#include "PellorMapModule.h"
#include "PellorMapSources.h"
#include "PellorTools.h"

// Outside any namespace, so that their map names are plain.
int gMapProbeLine = 0;
__attribute__((noinline)) const void* MapProbeReturnAddress() {
  return __builtin_return_address(0);
}
__attribute__((noinline)) const void* MapProbeCaller() {
  const void* back = MapProbeReturnAddress();
  gMapProbeLine = __LINE__ - 1;  // the line of the call above
  return back;
}

// A C++ function of the system's calling convention: its symbol carries
// both the C++ mangling and the "@N" argument-size suffix.
__attribute__((noinline)) int __stdcall MapProbeStdcall(int a, int b) {
  return a * 3 + b;
}

namespace {

namespace fs = std::filesystem;

TEST(MapModuleTest, StdcallFunctionsAreNamedWithoutMangling) {
  EXPECT_EQ("PellorMapModuleTest.cpp.MapProbeStdcall",
            ProcNameOfAddress(reinterpret_cast<const void*>(&MapProbeStdcall)));
}

TEST(MapModuleTest, OwnFunctionsResolveThroughTheEmbeddedMapData) {
  HMODULE self = GetModuleHandleA(nullptr);
  ASSERT_FALSE(LoadResourceStr(self, "PELLOR", "EXCEPT").empty())
      << "the test executable carries no map data";
  const void* entry = reinterpret_cast<const void*>(&MapProbeCaller);
  EXPECT_EQ("PellorMapModuleTest.cpp.MapProbeCaller", ProcNameOfAddress(entry));

  const void* inside =
      static_cast<const char*>(MapProbeCaller()) - 1;  // the call itself
  TMapInfo info;
  ASSERT_TRUE(LookupMapInfo(inside, info));
  EXPECT_EQ("PellorMapModuleTest.cpp", info.unitName);
  EXPECT_EQ("MapProbeCaller", info.publicName);
  EXPECT_EQ(entry, info.publicAddress);
  EXPECT_EQ(gMapProbeLine, info.line);
  char path[MAX_PATH];
  GetModuleFileNameA(self, path, MAX_PATH);
  EXPECT_TRUE(SameTextFolded(path, info.moduleFileName));

  // Nil asks about the caller: this test.
  TMapInfo caller;
  ASSERT_TRUE(LookupMapInfo(nullptr, caller));
  EXPECT_EQ("PellorMapModuleTest.cpp", caller.unitName);
  EXPECT_GT(caller.line, 0);

  // The map is of this module, at the address it was loaded at.
  TMapFilePtr map = MapFileOfAddress(entry);
  EXPECT_EQ(static_cast<const void*>(self), map->Instance());
  EXPECT_EQ(map, MapFileOfAddress(nullptr));
}

class MapFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ =
        fs::path(temp) / ("mapfiles" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  String PathOf(const char* name) const { return (dir_ / name).string(); }
  void Write(const char* name, const String& data) const {
    std::ofstream(PathOf(name), std::ios::binary) << data;
  }
  // Sets a file's last write to 2026-01-10 plus days.
  void SetDay(const char* name, int days) const {
    SYSTEMTIME st = {2026, 1, 0, 10, 12, 0, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart += static_cast<ULONGLONG>(days) * 864000000000ull;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    const THandle h(CreateFileA(PathOf(name).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(h);
    SetFileTime(h.get(), nullptr, nullptr, &ft);
  }

  fs::path dir_;
};

const char kLinkerMap[] =
    " Start         Length     Name                   Class\r\n"
    " 0001:00401000 00000300H .text                   CODE\r\n"
    "\r\n"
    "  Address             Publics by Value\r\n"
    "\r\n"
    " 0001:00000010       FromTextMap\r\n"
    "\r\n";

// TD32 data that holds nothing but its signature.
const String kEmptyTd32("FB09\0\0\0\0", 8);

TEST_F(MapFilesTest, ReadsTheTextMapBesideTheModule) {
  Write("mod.map", kLinkerMap);
  TMapFile map(false, true, nullptr, PathOf("mod.exe"));
  ASSERT_TRUE(FindDebugFile(map, false));
  EXPECT_TRUE(map.Valid());
  ASSERT_EQ(1u, map.Publics().size());
  EXPECT_EQ("FromTextMap", map.Publics()[0].name);
  // The minimal form reads only packed files.
  TMapFile minimal(false, true, nullptr, PathOf("mod.exe"));
  EXPECT_FALSE(FindDebugFile(minimal, true));
}

TEST_F(MapFilesTest, ATdsOlderThanTheMapBesideItIsIgnored) {
  Write("mod.tds", kEmptyTd32);
  Write("mod.map", kLinkerMap);
  SetDay("mod.tds", 0);
  SetDay("mod.map", 1);
  TMapFile map(false, true, nullptr, PathOf("mod.exe"));
  EXPECT_FALSE(ReadTd32DebugData(map));
  SetDay("mod.map", 0);
  EXPECT_TRUE(ReadTd32DebugData(map));
}

TEST(MinDebugInfoTest, FindsTheThirtyOneCharacterIdentity) {
  const String id = "$00001234, $0000abcd, $00005678";
  ASSERT_EQ(31u, id.size());
  const String prop = "\x0CMinDebugInfo";
  EXPECT_EQ(id, MinDebugInfoOfSettings("TPF0" + prop + "\x06\x1F" + id + "x"));
  EXPECT_EQ("", MinDebugInfoOfSettings(prop + "\x06\x05" + "short"));
  EXPECT_EQ("", MinDebugInfoOfSettings(prop + "\x06\x1F" + id.substr(0, 20)));
  EXPECT_EQ("", MinDebugInfoOfSettings(String()));
}

}  // namespace
