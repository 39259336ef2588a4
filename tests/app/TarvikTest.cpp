#include <gtest/gtest.h>

#include "PlacesTestSupport.h"
#include "Tarvik.h"
#include "Ucommon.h"

using namespace places_test;

namespace {

const String kBar = kPlacesBarKey;

using Values = std::map<String, String>;
using Lines = std::vector<String>;

// ---------------------------------------------------------------------------
// Common-dialog places bar
// ---------------------------------------------------------------------------

class CommonDialogPlacesTest : public PlacesFixture {
 protected:
  // Groups "Old" (installed) and "New", stored; "New" is current.
  void SetUp() override {
    p = Make<TCommonDialogPlaces>(kCommon);
    old = AddCurrentGroup(*p, "Old");
    old->SetFlags(gfInstalled | gfChecked);
    old->SaveGroup();
    group = AddCurrentGroup(*p, "New");
  }

  TObjectPtr<TCommonDialogPlaces> p;
  TGroupItem* old = nullptr;
  TGroupItem* group = nullptr;
};

TEST_F(CommonDialogPlacesTest, InstallWritesTheValidPlacesAndMarksTheGroup) {
  String folder = folders.Make("Projects");
  for (Integer k = 0; k < 5; ++k)
    PutString(kBar, "Place" + std::to_string(k), "C:\\Earlier");
  SetPlaces(*p, {{5, GetSpecialFolderPath(5), "My Documents"},
                 {-1, folder},
                 {-1, folders.Missing("Gone")},
                 {}});
  p->InstallCurrentGroup();
  EXPECT_EQ(KeyValues(kBar), (Values{{"Place0", "REG_DWORD:5"},
                                     {"Place1", "REG_SZ:" + folder}}));
  EXPECT_TRUE(group->GetInstalled());
  EXPECT_FALSE(old->GetInstalled());
  EXPECT_EQ(KeyValues(kCommon + "\\New"), (Values{{"Flags", "REG_DWORD:2"}}));
  EXPECT_EQ(KeyValues(kCommon + "\\Old"), (Values{{"Flags", "REG_DWORD:1"}}));
}

TEST_F(CommonDialogPlacesTest, AGroupWithoutValidPlacesInstallsAnEmptyBar) {
  SetPlaces(*p, {{-1, folders.Missing("Gone")}, {}});
  EXPECT_TRUE(p->WritePlacesBar());
  EXPECT_TRUE(KeyExists(kBar));
  EXPECT_TRUE(KeyValues(kBar).empty());
  p->InstallCurrentGroup();
  EXPECT_TRUE(group->GetInstalled());
}

TEST_F(CommonDialogPlacesTest, ABarKeyThatCannotBeMadeInstallsNothing) {
  MakeVolatileKey(kComDlg32PolicyKey);
  SetPlaces(*p, {{5}, {}});
  EXPECT_FALSE(p->WritePlacesBar());
  p->InstallCurrentGroup();
  EXPECT_FALSE(KeyExists(kBar));
  EXPECT_FALSE(group->GetInstalled());
  EXPECT_TRUE(old->GetInstalled());
  EXPECT_EQ(KeyValues(kCommon + "\\Old"), (Values{{"Flags", "REG_DWORD:3"}}));
}

TEST_F(CommonDialogPlacesTest, RestoreRemovesTheBarAndEveryMark) {
  PutDword(kComDlg32PolicyKey, "NoPlacesBar", 0);
  std::vector<TPlaceSetup> twelve(12, TPlaceSetup{6});
  SetPlaces(*p, twelve);
  p->InstallCurrentGroup();
  ASSERT_EQ(KeyValues(kBar).size(), 12u);
  p->RestoreDefault(0);
  EXPECT_FALSE(KeyExists(kBar));
  EXPECT_EQ(KeyValues(kComDlg32PolicyKey),
            (Values{{"NoPlacesBar", "REG_DWORD:0"}}));
  EXPECT_FALSE(group->GetInstalled());
  EXPECT_EQ(KeyValues(kCommon + "\\New"), (Values{{"Flags", "REG_DWORD:0"}}));

  // Without a bar key the marks are cleared all the same.
  old->SetFlags(gfInstalled);
  p->RestoreDefault(7);
  EXPECT_FALSE(old->GetInstalled());
  EXPECT_EQ(KeyValues(kCommon + "\\Old"), (Values{{"Flags", "REG_DWORD:0"}}));
}

TEST_F(CommonDialogPlacesTest, NothingIsInstalledWithoutACurrentGroup) {
  SetPlaces(*p, {{5}, {}});
  p->SetCurrentGroup(nullptr);
  p->InstallCurrentGroup();
  EXPECT_FALSE(KeyExists(kBar));
  EXPECT_TRUE(old->GetInstalled());
}

TEST_F(CommonDialogPlacesTest, APlainPlacesObjectNeverInstalls) {
  auto plain = Make<TPlaces>(kCommon);
  plain->SetCurrentGroup(
      plain->Groups()->GetItem(plain->Groups()->IndexOfName("New")));
  SetPlaces(*plain, {{5}, {}});
  plain->InstallCurrentGroup();
  plain->RestoreDefault(0);
  EXPECT_FALSE(KeyExists(kBar));
  EXPECT_EQ(KeyValues(kCommon + "\\Old"), (Values{{"Flags", "REG_DWORD:3"}}));
  EXPECT_EQ(KeyValues(kCommon + "\\New"), (Values{{"Flags", "REG_DWORD:0"}}));
}

TEST_F(CommonDialogPlacesTest, AnInstallThroughASecondObjectShowsAfterReload) {
  SetPlaces(*p, {{8}, {}});
  p->SaveChanges(false);
  p->SetCurrentGroup(old);
  {
    // As the tray menu does it: a fresh object on the same key.
    auto tray = Make<TCommonDialogPlaces>(kCommon);
    tray->SetCurrentGroup(
        tray->Groups()->GetItem(tray->Groups()->IndexOfName("new")));
    tray->InstallCurrentGroup();
  }
  EXPECT_EQ(KeyValues(kBar), (Values{{"Place0", "REG_DWORD:8"}}));
  EXPECT_TRUE(old->GetInstalled());  // the window's object reloads first
  p->Groups()->ReloadGroups();
  ASSERT_NE(p->GetCurrentGroup(), nullptr);
  EXPECT_EQ(p->GetCurrentGroup()->Name(), "Old");
  EXPECT_FALSE(p->GetCurrentGroup()->GetInstalled());
  Integer at = p->Groups()->IndexOfName("New");
  EXPECT_TRUE(p->Groups()->GetItem(at)->GetInstalled());
}

// ---------------------------------------------------------------------------
// Office places
// ---------------------------------------------------------------------------

String OfficeKey(const char* version) {
  return String("Software\\Microsoft\\Office\\") + version +
         "\\Common\\Open Find\\Places";
}

const char* const kVersions[] = {"9.0", "10.0", "11.0", "12.0"};
const char* const kStandard[] = {"Desktop", "Favorites", "Recent", "Publishing",
                                 "MyDocuments"};

class OfficeDialogPlacesTest : public PlacesFixture {
 protected:
  // Every Office version as installed: the five standard places shown, two
  // user-defined places of an earlier install, large icons.
  void SetUp() override {
    for (const char* v : kVersions) {
      for (const char* s : kStandard)
        PutDword(OfficeKey(v) + "\\StandardPlaces\\" + s, "Show", 1);
      for (const char* u : {"Place0", "Place1"})
        PutString(OfficeKey(v) + "\\UserDefinedPlaces\\" + u, "Path",
                  "C:\\Earlier");
      PutDword(OfficeKey(v), "ItemSize", 1);
    }
    p = Make<TOfficeDialogPlaces>(kOffice);
    group = AddCurrentGroup(*p, "Work");
  }

  TObjectPtr<TOfficeDialogPlaces> p;
  TGroupItem* group = nullptr;
};

TEST_F(OfficeDialogPlacesTest, InstallShowsExactlyTheGroupsPlaces) {
  String reports = folders.Make("Reports");
  SetPlaces(*p, {{0, GetSpecialFolderPath(0), "Desktop", "", 1},
                 {-1, reports},
                 {8, GetSpecialFolderPath(8), "Recent", "", 3},
                 {-1, folders.Missing("Gone"), "Gone"},
                 {-1, reports, "Again", "", 4},
                 {}});
  for (Integer version = 1; version <= 4; ++version) {
    SCOPED_TRACE(kVersions[version - 1]);
    String k = OfficeKey(kVersions[version - 1]);
    group->SetOfficeVersion(static_cast<Byte>(version));
    group->SetOfficeFlags(version == 2 ? ofSmallIcons : 0);
    p->InstallCurrentGroup();
    EXPECT_TRUE(group->GetInstalled());
    EXPECT_EQ(KeyValues(k + "\\StandardPlaces\\Desktop"),
              (Values{{"Show", "REG_DWORD:1"},
                      {"Index", "REG_DWORD:0"},
                      {"View", "REG_DWORD:1"}}));
    EXPECT_EQ(KeyValues(k + "\\StandardPlaces\\Recent"),
              (Values{{"Show", "REG_DWORD:1"},
                      {"Index", "REG_DWORD:2"},
                      {"View", "REG_DWORD:3"}}));
    for (const char* hidden : {"Favorites", "Publishing", "MyDocuments"})
      EXPECT_EQ(KeyValues(k + "\\StandardPlaces\\" + hidden),
                (Values{{"Show", "REG_DWORD:0"}}))
          << hidden;
    EXPECT_EQ(SubKeys(k + "\\UserDefinedPlaces"), (Lines{"Place0", "Place1"}));
    EXPECT_EQ(KeyValues(k + "\\UserDefinedPlaces\\Place0"),
              (Values{{"Show", "REG_DWORD:1"},
                      {"Index", "REG_DWORD:1"},
                      {"View", "REG_DWORD:2"},
                      {"Path", "REG_SZ:" + reports},
                      {"Name", "REG_SZ:Reports"}}));
    EXPECT_EQ(KeyValues(k + "\\UserDefinedPlaces\\Place1"),
              (Values{{"Show", "REG_DWORD:1"},
                      {"Index", "REG_DWORD:4"},
                      {"View", "REG_DWORD:4"},
                      {"Path", "REG_SZ:" + reports},
                      {"Name", "REG_SZ:Again"}}));
    EXPECT_EQ(
        KeyValues(k),
        (Values{{"ItemSize", version == 2 ? "REG_DWORD:0" : "REG_DWORD:1"}}));
  }
  EXPECT_EQ(
      KeyValues(kOffice + "\\Work"),
      (Values{{"Flags", "REG_DWORD:2"}, {"OfficeVersion", "REG_DWORD:4"}}));
}

TEST_F(OfficeDialogPlacesTest, AFolderWithoutNameIsNamedByItsLastComponent) {
  String reports = folders.Make("Reports");
  group->SetOfficeVersion(3);
  SetPlaces(*p, {{-1, reports}, {-1, reports + "\\"}, {-1, reports, "Own"}});
  p->InstallCurrentGroup();
  String u = OfficeKey("11.0") + "\\UserDefinedPlaces\\";
  const char* names[] = {"REG_SZ:Reports", "REG_SZ:", "REG_SZ:Own"};
  for (Integer k = 0; k < 3; ++k)
    EXPECT_EQ(KeyValues(u + "Place" + std::to_string(k))["Name"], names[k])
        << k;
}

TEST_F(OfficeDialogPlacesTest, InstallTouchesOnlyItsOwnVersion) {
  SetPlaces(*p, {{5}, {}});
  group->SetOfficeVersion(3);
  p->InstallCurrentGroup();
  for (const char* v : {"9.0", "10.0", "12.0"}) {
    EXPECT_EQ(KeyValues(OfficeKey(v) + "\\StandardPlaces\\Desktop"),
              (Values{{"Show", "REG_DWORD:1"}}))
        << v;
    EXPECT_EQ(SubKeys(OfficeKey(v) + "\\UserDefinedPlaces").size(), 2u) << v;
  }
  EXPECT_TRUE(SubKeys(OfficeKey("11.0") + "\\UserDefinedPlaces").empty());
}

TEST_F(OfficeDialogPlacesTest, AGroupWithoutVersionFollowsTheDefault) {
  SetPlaces(*p, {{6}, {}});
  p->InstallCurrentGroup();
  expectedMessages = {" Invalid Office Version! "};
  EXPECT_FALSE(group->GetInstalled());
  EXPECT_EQ(KeyValues(OfficeKey("11.0") + "\\StandardPlaces\\Favorites"),
            (Values{{"Show", "REG_DWORD:1"}}));

  TOfficeDialogPlaces::SetDefaultOfficeVersion(3);
  p->InstallCurrentGroup();
  EXPECT_TRUE(group->GetInstalled());
  EXPECT_EQ(KeyValues(OfficeKey("11.0") + "\\StandardPlaces\\Favorites"),
            (Values{{"Show", "REG_DWORD:1"},
                    {"Index", "REG_DWORD:0"},
                    {"View", "REG_DWORD:2"}}));
}

TEST_F(OfficeDialogPlacesTest, AVersionOutsideTheTableIsInvalid) {
  // A hand-edited version that no Office has.
  group->SetOfficeVersion(7);
  SetPlaces(*p, {{5}, {}});
  EXPECT_FALSE(p->WritePlacesBar());
  p->RestoreDefault(7);
  expectedMessages = {" Invalid Office Version! "};
  EXPECT_EQ(p->GetStandardPlacesKey(7), "");
  EXPECT_EQ(SubKeys("Software\\Microsoft\\Office"),
            (Lines{"10.0", "11.0", "12.0", "9.0"}));
}

TEST_F(OfficeDialogPlacesTest, ASpecialFolderWithoutStandardPlaceIsSkipped) {
  group->SetOfficeVersion(1);
  SetPlaces(*p, {{17, "\\", "My Computer"}, {0}, {}});
  p->InstallCurrentGroup();
  String s = OfficeKey("9.0") + "\\StandardPlaces";
  EXPECT_TRUE(KeyValues(s).empty());
  EXPECT_EQ(SubKeys(s).size(), 5u);
  EXPECT_EQ(KeyValues(s + "\\Desktop"), (Values{{"Show", "REG_DWORD:1"},
                                                {"Index", "REG_DWORD:1"},
                                                {"View", "REG_DWORD:2"}}));
}

TEST_F(OfficeDialogPlacesTest, APlaceKeyThatCannotBeMadeInstallsNothing) {
  String reports = folders.Make("Reports");
  TGroupItem* old = AddCurrentGroup(*p, "Old");
  old->SetOfficeVersion(2);
  old->SetFlags(gfInstalled);
  old->SaveGroup();
  p->SetCurrentGroup(group);
  group->SetOfficeFlags(ofSmallIcons);
  const struct {
    Integer version;
    const char* unwritable;
  } cases[] = {{3, "StandardPlaces"}, {4, "UserDefinedPlaces"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.unwritable);
    String k = OfficeKey(kVersions[c.version - 1]);
    ASSERT_EQ(
        RegDeleteTreeA(HKEY_CURRENT_USER, (k + "\\" + c.unwritable).c_str()),
        ERROR_SUCCESS);
    MakeVolatileKey(k + "\\" + c.unwritable);
    group->SetOfficeVersion(static_cast<Byte>(c.version));
    SetPlaces(*p, {{0}, {-1, reports}, {}});
    EXPECT_FALSE(p->WritePlacesBar());
    p->InstallCurrentGroup();
    EXPECT_FALSE(group->GetInstalled());
    EXPECT_TRUE(old->GetInstalled());
    EXPECT_EQ(KeyValues(kOffice + "\\Old")["Flags"], "REG_DWORD:2");
    // The install ended before the icon size.
    EXPECT_EQ(KeyValues(k), (Values{{"ItemSize", "REG_DWORD:1"}}));
  }
}

TEST_F(OfficeDialogPlacesTest, KeyNamesAndStandardPlaceNames) {
  EXPECT_EQ(p->GetStandardPlacesKey(1), OfficeKey("9.0") + "\\StandardPlaces");
  EXPECT_EQ(p->GetUserDefinedPlacesKey(4),
            OfficeKey("12.0") + "\\UserDefinedPlaces");
  EXPECT_EQ(p->GetStandardPlacesKey(0), "");  // the group has no version
  group->SetOfficeVersion(2);
  EXPECT_EQ(p->GetOfficePlacesKey(0), OfficeKey("10.0"));
  const struct {
    Integer id;
    const char* name;
  } cases[] = {{0, "Desktop"}, {5, "MyDocuments"}, {6, "Favorites"},
               {8, "Recent"},  {18, "Publishing"}, {17, ""},
               {-1, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(TOfficeDialogPlaces::GetStandardPlaceName(c.id), c.name);
}

TEST_F(OfficeDialogPlacesTest, RestoreBringsBackTheOfficeDefaults) {
  String folder = folders.Make("Docs");
  group->SetOfficeVersion(2);
  group->SetOfficeFlags(ofSmallIcons);
  SetPlaces(*p, {{0, "", "", "", 3}, {-1, folder}, {}});
  p->InstallCurrentGroup();
  PutDword(OfficeKey("10.0") + "\\StandardPlaces\\Recent", "Extra", 5);
  PutDword(OfficeKey("10.0") + "\\StandardPlaces\\Custom", "Show", 0);

  p->RestoreDefault(2);
  String k = OfficeKey("10.0");
  for (const char* s : kStandard)
    EXPECT_EQ(KeyValues(k + "\\StandardPlaces\\" + s),
              (Values{{"Show", "REG_DWORD:1"}}))
        << s;
  // Only the five standard places are Office's own.
  EXPECT_EQ(KeyValues(k + "\\StandardPlaces\\Custom"),
            (Values{{"Show", "REG_DWORD:0"}}));
  EXPECT_TRUE(KeyExists(k + "\\UserDefinedPlaces"));
  EXPECT_TRUE(SubKeys(k + "\\UserDefinedPlaces").empty());
  EXPECT_EQ(KeyValues(k), (Values{{"ItemSize", "REG_DWORD:1"}}));
  EXPECT_FALSE(group->GetInstalled());
  EXPECT_EQ(KeyValues(kOffice + "\\Work").at("Flags"), "REG_DWORD:0");
}

TEST_F(OfficeDialogPlacesTest, RestoreOfAnyVersionClearsEveryOfficeMark) {
  group->SetOfficeVersion(4);
  SetPlaces(*p, {{5}, {}});
  p->InstallCurrentGroup();
  ASSERT_TRUE(group->GetInstalled());
  p->RestoreDefault(2);
  EXPECT_FALSE(group->GetInstalled());
  // Version 4 keeps what the install wrote.
  EXPECT_EQ(KeyValues(OfficeKey("12.0") + "\\StandardPlaces\\Desktop"),
            (Values{{"Show", "REG_DWORD:0"}}));
}

TEST_F(OfficeDialogPlacesTest, RestoreWithoutVersionUsesTheDefault) {
  for (const char* v : kVersions)
    PutDword(OfficeKey(v) + "\\StandardPlaces\\Desktop", "Show", 0);
  TOfficeDialogPlaces::SetDefaultOfficeVersion(1);
  p->RestoreDefault(0);
  EXPECT_EQ(KeyValues(OfficeKey("9.0") + "\\StandardPlaces\\Desktop"),
            (Values{{"Show", "REG_DWORD:1"}}));
  EXPECT_EQ(KeyValues(OfficeKey("10.0") + "\\StandardPlaces\\Desktop"),
            (Values{{"Show", "REG_DWORD:0"}}));
}

TEST_F(OfficeDialogPlacesTest, MissingOfficeKeysAreNeverCreatedByRestore) {
  DeleteKeyTree("Software\\Microsoft\\Office\\11.0");
  p->RestoreDefault(3);
  p->SetItemSize(0, 3);
  p->ShowStandardPlaces(true, 3);
  p->ClearUserDefinedPlaces(3);
  EXPECT_FALSE(KeyExists("Software\\Microsoft\\Office\\11.0"));
}

}  // namespace
