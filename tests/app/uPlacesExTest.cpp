#include <gtest/gtest.h>

#include "PlacesTestSupport.h"
#include "Tarvik.h"
#include "Ucommon.h"
#include "uPlacesEx.h"

using namespace places_test;

namespace {

using Values = std::map<String, String>;
using Lines = std::vector<String>;

// ---------------------------------------------------------------------------
// The model in memory
// ---------------------------------------------------------------------------

class PlacesModelTest : public PlacesFixture {};

TEST_F(PlacesModelTest, NewGroupsTakeTheFirstFreeNumberAndWriteNothing) {
  auto p = Make<TPlaces>(kCommon);
  EXPECT_EQ(p->Groups()->NewGroupName(), "New Group 1");
  p->Groups()->AddGroup();
  p->Groups()->AddGroup()->SetName("new group 2");
  TGroupItem* third = p->Groups()->AddGroup();
  EXPECT_EQ(third->Name(), "New Group 3");
  EXPECT_EQ(third->Flags(), 0);
  EXPECT_EQ(third->FlagsEx(), 0);
  EXPECT_EQ(third->Description(), "");
  p->Groups()->GetItem(0)->SetName("Other");
  EXPECT_EQ(p->Groups()->NewGroupName(), "New Group 1");
  EXPECT_TRUE(SubKeys(kCommon).empty());
}

TEST_F(PlacesModelTest, MovePlaceClampsTheTarget) {
  const struct {
    Integer from, to;
    const char* order;
  } cases[] = {
      {1, 99, "02341"}, {3, 3, "01234"}, {2, -5, "20134"},
      {0, 2, "12034"},  {4, 0, "40123"},
  };
  auto p = Make<TPlaces>(kCommon);
  for (const auto& c : cases) {
    SetPlaces(*p, {});
    for (char label = '0'; label < '5'; ++label)
      p->Places()->Add()->SetDescription(String(1, label));
    p->Places()->MovePlace(c.from, c.to);
    String order;
    for (Integer i = 0; i < p->Places()->Count(); ++i)
      order += p->Places()->ItemAt(i)->Description();
    EXPECT_EQ(order, c.order) << c.from << " -> " << c.to;
  }
  EXPECT_EQ(p->Places()->ItemAt(5), nullptr);
  EXPECT_EQ(p->Places()->ItemAt(-1), nullptr);
}

TEST_F(PlacesModelTest, EnsureTrailingBlankFollowsTheLastPlace) {
  String existing = folders.Make("Existing");
  const struct {
    const char* what;
    std::vector<TPlaceSetup> places;
    Integer count;
  } cases[] = {
      {"empty list", {}, 0},
      {"blank last", {{5}, {}}, 2},
      {"missing folder last", {{5}, {-1, folders.Missing("Gone")}}, 2},
      {"special folder last", {{5}}, 2},
      {"existing folder last", {{-1, existing}}, 2},
  };
  auto p = Make<TPlaces>(kCommon);
  for (const auto& c : cases) {
    SetPlaces(*p, c.places);
    p->Places()->EnsureTrailingBlank();
    EXPECT_EQ(p->Places()->Count(), c.count) << c.what;
    if (c.count > Integer(c.places.size())) {
      TPlaceItem* blank = p->Places()->ItemAt(c.count - 1);
      EXPECT_EQ(DescribePlaces(*p).back(), "-1||||2") << c.what;
      EXPECT_FALSE(blank->IsValidPlace());
    }
  }
}

TEST_F(PlacesModelTest, CurrentGroupChangesAreReportedOnce) {
  auto p = Make<TPlaces>(kCommon);
  TGroupItem* a = p->Groups()->AddGroup();
  std::vector<TGroupItem*> reported;
  p->Groups()->OnCurrentChanged = TCurrentGroupChangedEvent::FromFunction(
      [&reported](TGroupItem* g) { reported.push_back(g); });
  p->SetCurrentGroup(a);
  p->SetCurrentGroup(a);
  p->SetCurrentGroup(nullptr);
  p->SetCurrentGroup(nullptr);
  EXPECT_EQ(reported, (std::vector<TGroupItem*>{a, nullptr}));
}

TEST_F(PlacesModelTest, TheMirrorIsRefilledOnlyWhenTheGroupSetChanges) {
  PutDword(kCommon + "\\Alpha", "Flags", gfChecked | gfSelected);
  PutDword(kCommon + "\\Beta", "Flags", gfInstalled);
  auto p = Make<TPlaces>(kCommon);
  TListItems items;
  int fills = 0;
  auto provider = TListItemsProvider::FromFunction([&]() -> TListItems* {
    ++fills;
    return &items;
  });
  p->Groups()->SetListItemsProvider(provider);
  p->Groups()->SetListItemsProvider(provider);
  EXPECT_EQ(fills, 1);
  ASSERT_EQ(items.Count(), 2);
  EXPECT_EQ(items[0]->Caption(), "Alpha");
  EXPECT_EQ(items[0]->Data(), p->Groups()->GetItem(0));
  EXPECT_TRUE(items[0]->Checked());
  EXPECT_TRUE(items[0]->Selected());
  EXPECT_EQ(items[1]->Caption(), "Beta");
  EXPECT_FALSE(items[1]->Checked());
  EXPECT_FALSE(items[1]->Selected());

  // Neither the current group, the installed marks nor a rename refill it.
  p->SetCurrentGroup(p->Groups()->GetItem(1));
  p->Groups()->MarkInstalled(p->Groups()->GetItem(0));
  EXPECT_TRUE(p->Groups()->RenameGroup(0, "Gamma"));
  EXPECT_EQ(fills, 1);
  EXPECT_EQ(items[0]->Caption(), "Alpha");

  p->Groups()->UpdateListView();
  EXPECT_EQ(items[0]->Caption(), "Gamma");
  p->Groups()->AddGroup();
  EXPECT_EQ(items.Count(), 3);
  EXPECT_TRUE(p->Groups()->DeleteGroup(1));
  EXPECT_EQ(fills, 4);
  ASSERT_EQ(items.Count(), 2);
  EXPECT_EQ(items[1]->Caption(), "New Group 1");

  // Reloading adds each group as a new group is added, refill included,
  // and refills once more: the stored names, never the interim ones, stay.
  p->Groups()->LoadGroups();
  EXPECT_EQ(fills, 6);
  ASSERT_EQ(items.Count(), 1);
  EXPECT_EQ(items[0]->Caption(), "Gamma");
  EXPECT_EQ(items[0]->Data(), p->Groups()->GetItem(0));

  p->Groups()->SetListItemsProvider(nullptr);
  p->Groups()->AddGroup();
  EXPECT_EQ(fills, 6);
}

TEST_F(PlacesModelTest, MarkInstalledKeepsTheOtherBits) {
  auto p = Make<TPlaces>(kCommon);
  TGroupItem* a = p->Groups()->AddGroup();
  TGroupItem* b = p->Groups()->AddGroup();
  a->SetFlags(gfChecked | gfInstalled | 0x100);
  b->SetFlags(gfSelected);
  p->Groups()->MarkInstalled(b);
  EXPECT_EQ(a->Flags(), gfChecked | 0x100);
  EXPECT_EQ(b->Flags(), gfSelected | gfInstalled);
  p->Groups()->MarkInstalled(nullptr);
  EXPECT_EQ(a->Flags(), gfChecked | 0x100);
  EXPECT_EQ(b->Flags(), gfSelected);
  b->SetChecked(true);
  a->SetChecked(false);
  EXPECT_EQ(a->Flags(), 0x100);
  EXPECT_EQ(p->Groups()->CheckedCount(), 1);
}

TEST_F(PlacesModelTest, EffectiveOfficeVersion) {
  auto office = Make<TOfficeDialogPlaces>(kOffice);
  auto common = Make<TCommonDialogPlaces>(kCommon);
  TGroupItem* follows = office->Groups()->AddGroup();
  TGroupItem* own = office->Groups()->AddGroup();
  own->SetOfficeVersion(2);
  TGroupItem* commonGroup = common->Groups()->AddGroup();
  commonGroup->SetOfficeVersion(3);

  EXPECT_EQ(follows->EffectiveOfficeVersion(), 0);
  TOfficeDialogPlaces::SetDefaultOfficeVersion(4);
  EXPECT_EQ(follows->EffectiveOfficeVersion(), 4);
  EXPECT_EQ(own->EffectiveOfficeVersion(), 2);
  EXPECT_EQ(commonGroup->EffectiveOfficeVersion(), 0);
  EXPECT_TRUE(follows->IsOfficeGroup());
  EXPECT_FALSE(commonGroup->IsOfficeGroup());
}

TEST_F(PlacesModelTest, OnlyTheExactOfficeKeyMakesAnOfficeObject) {
  String upper = AnsiUpperCase(kOffice);
  EXPECT_TRUE(Make<TPlaces>(kOffice)->IsOffice());
  EXPECT_FALSE(Make<TPlaces>(upper)->IsOffice());
  EXPECT_FALSE(Make<TPlaces>(kCommon)->IsOffice());
}

TEST_F(PlacesModelTest, DisplayTextAndViewName) {
  String existing = folders.Make("Shown");
  String missing = folders.Missing("Gone");
  const struct {
    TPlaceSetup place;
    const char* text;
  } cases[] = {
      {{-1, existing}, ""},  // filled in below: the path itself
      {{-1, missing, "", "Described"}, "Described"},
      {{-1, missing}, ""},
      {{17, "\\", "My Computer"}, "My Computer"},
      {{5, missing, "My Documents"}, ""},
      {{}, ""},
  };
  auto p = Make<TPlaces>(kCommon);
  for (const auto& c : cases) {
    SetPlaces(*p, {c.place});
    String expected = c.place.Path == existing ? existing : String(c.text);
    EXPECT_EQ(p->Places()->ItemAt(0)->DisplayText(), expected) << c.place.Path;
  }
  const char* views[] = {"", "List", "Details", "Summary", "Preview", ""};
  for (Integer view = 0; view <= 5; ++view) {
    p->Places()->ItemAt(0)->SetView(view);
    EXPECT_EQ(p->Places()->ItemAt(0)->GetViewName(), views[view]);
  }
}

TEST_F(PlacesModelTest, NamesCompareWithoutCase) {
  auto p = Make<TPlaces>(kCommon);
  p->Groups()->AddGroup()->SetName("Work");
  p->Groups()->AddGroup()->SetName("Home");
  EXPECT_EQ(p->Groups()->IndexOfName("HOME"), 1);
  EXPECT_EQ(p->Groups()->IndexOfName("Hom"), -1);
  // A rename that changes only the case is refused by the caller's check.
  EXPECT_FALSE(p->Groups()->IsNameFree("work"));
  EXPECT_TRUE(p->Groups()->IsNameFree("Play"));
  EXPECT_THROW(p->Groups()->GetItem(-1), EListError);
}

// ---------------------------------------------------------------------------
// The registry store
// ---------------------------------------------------------------------------

class PlacesStoreTest : public PlacesFixture {};

TEST_F(PlacesStoreTest, ConstructionOnAMissingKeyHasNoGroups) {
  auto p = Make<TCommonDialogPlaces>(kCommon);
  EXPECT_EQ(p->Groups()->Count(), 0);
  EXPECT_EQ(p->GetCurrentGroup(), nullptr);
  EXPECT_EQ(p->GetGroupKey(), "");
  EXPECT_FALSE(KeyExists(kCommon));
}

TEST_F(PlacesStoreTest, SaveGroupWritesExactlyTheGroupsValues) {
  auto office = Make<TOfficeDialogPlaces>(kOffice);
  TGroupItem* g = office->Groups()->AddGroup();
  g->SetName("Work");
  g->SetDescription("For work");
  g->SetFlags(gfChecked | gfInstalled);
  g->SetFlagsEx(9);
  g->SetOfficeFlags(ofSmallIcons);
  g->SetOfficeVersion(3);
  g->SaveGroup();
  EXPECT_EQ(KeyValues(kOffice + "\\Work"),
            (Values{{"Flags", "REG_DWORD:3"},
                    {"Description", "REG_SZ:For work"},
                    {"FlagsEx", "REG_DWORD:9"},
                    {"OfficeFlags", "REG_DWORD:16"},
                    {"OfficeVersion", "REG_DWORD:3"}}));

  // Cleared values go; "Flags" stays, written as 0.
  g->SetDescription("");
  g->SetFlags(0);
  g->SetFlagsEx(0);
  g->SetOfficeFlags(0);
  g->SetOfficeVersion(0);
  g->SaveGroup();
  EXPECT_EQ(KeyValues(kOffice + "\\Work"), (Values{{"Flags", "REG_DWORD:0"}}));
}

TEST_F(PlacesStoreTest, CommonGroupsNeitherReadNorTouchOfficeValues) {
  PutDword(kCommon + "\\G", "OfficeVersion", 3);
  PutDword(kCommon + "\\G", "OfficeFlags", 16);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  TGroupItem* g = p->Groups()->GetItem(0);
  EXPECT_EQ(g->OfficeVersion(), 0);
  EXPECT_EQ(g->EffectiveOfficeVersion(), 0);
  g->SaveGroup();
  EXPECT_EQ(KeyValues(kCommon + "\\G"),
            (Values{{"Flags", "REG_DWORD:0"},
                    {"OfficeVersion", "REG_DWORD:3"},
                    {"OfficeFlags", "REG_DWORD:16"}}));
}

TEST_F(PlacesStoreTest, LoadGroupsShowsEachGroupAsItComesIn) {
  PutDword(kCommon + "\\A", "Flags", gfChecked);
  PutDword(kCommon + "\\B", "Flags", gfSelected);
  auto p = Make<TPlaces>(kCommon);
  TListItems items;
  // What the list showed each time the provider was asked for it.
  std::vector<Lines> shown;
  p->Groups()->SetListItemsProvider(
      TListItemsProvider::FromFunction([&]() -> TListItems* {
        Lines captions;
        for (Integer i = 0; i < items.Count(); ++i)
          captions.push_back(items[i]->Caption());
        shown.push_back(captions);
        return &items;
      }));
  shown.clear();
  p->Groups()->LoadGroups();
  // A refill after each group is added (still under its new-group name),
  // then one under the stored names.
  EXPECT_EQ(shown, (std::vector<Lines>{
                       {"A", "B"}, {"New Group 1"}, {"A", "New Group 1"}}));
  ASSERT_EQ(items.Count(), 2);
  EXPECT_EQ(items[0]->Caption(), "A");
  EXPECT_TRUE(items[0]->Checked());
  EXPECT_FALSE(items[0]->Selected());
  EXPECT_EQ(items[1]->Caption(), "B");
  EXPECT_FALSE(items[1]->Checked());
  EXPECT_TRUE(items[1]->Selected());
}

TEST_F(PlacesStoreTest, SavingPlacesWithoutACurrentGroupWritesNothing) {
  PutDword(kCommon + "\\G\\Place0", "Path", 5);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  SetPlaces(*p, {{6}, {8}, {}});
  p->SaveChanges(false);
  EXPECT_EQ(SubKeys(kCommon), (Lines{"G"}));
  EXPECT_EQ(SubKeys(kCommon + "\\G"), (Lines{"Place0"}));
  EXPECT_EQ(KeyValues(kCommon + "\\G\\Place0"),
            (Values{{"Path", "REG_DWORD:5"}}));
  EXPECT_TRUE(KeyValues(kCommon + "\\G").empty());
}

TEST_F(PlacesStoreTest, SavePlacesStoresTheValidPlacesWithoutGaps) {
  String reports = folders.Make("Reports");
  String missing = folders.Missing("Gone");
  for (const String& key : {kCommon, kOffice}) {
    auto p = Make<TPlaces>(key);
    AddCurrentGroup(*p, "G");
    // An older, longer list with stray values and subkeys.
    for (const char* old : {"Place0", "Place1", "Place2", "Place3"})
      PutString(key + "\\G\\" + old, "Path", "C:\\Old");
    PutDword(key + "\\G\\Place0", "Stray", 1);
    PutDword(key + "\\G\\Place1\\Deeper", "Stray", 1);
    PutDword(key + "\\G\\Other", "Stray", 1);
    SetPlaces(*p, {{5, "C:\\Docs\\", "My Documents", "", 4},
                   {-1, missing, "Lost"},
                   {-1, reports, "", "Quarterly", 3},
                   {}});
    p->SaveChanges(false);

    EXPECT_EQ(SubKeys(key + "\\G"), (Lines{"Place0", "Place1"})) << key;
    EXPECT_TRUE(SubKeys(key + "\\G\\Place1").empty());
    Values place0{{"Path", "REG_DWORD:5"}};
    Values place1{{"Path", "REG_SZ:" + reports},
                  {"Description", "REG_SZ:Quarterly"}};
    if (key == kOffice) {
      place0.insert({{"View", "REG_DWORD:4"}, {"Name", "REG_SZ:My Documents"}});
      place1.insert({{"View", "REG_DWORD:3"}, {"Name", "REG_SZ:"}});
    }
    EXPECT_EQ(KeyValues(key + "\\G\\Place0"), place0) << key;
    EXPECT_EQ(KeyValues(key + "\\G\\Place1"), place1) << key;
    // The group's own values are not written by a places save.
    EXPECT_EQ(KeyValues(key + "\\G"), (Values{{"Flags", "REG_DWORD:0"}}));
  }
}

TEST_F(PlacesStoreTest, AReloadGivesBackTheSavedModel) {
  String reports = folders.Make("Reports");
  String music = folders.Make("Music");
  TOfficeDialogPlaces::SetDefaultOfficeVersion(2);
  {
    auto p = Make<TOfficeDialogPlaces>(kOffice);
    TGroupItem* g = AddCurrentGroup(*p, "Work");
    g->SetDescription("Hint");
    g->SetFlags(gfChecked | gfSelected | 0x40);
    g->SetFlagsEx(-1);
    g->SetOfficeFlags(ofSmallIcons);
    g->SetOfficeVersion(4);
    AddCurrentGroup(*p, "Spare");
    p->SetCurrentGroup(g);
    SetPlaces(*p, {{0, GetSpecialFolderPath(0), "Desk", "On top", 1},
                   {-1, reports, "Reports", "", 3},
                   {-1, music, "", "Tunes", 2},
                   {}});
    p->SaveChanges(false);
    p->SaveChanges(true);
  }
  auto p = Make<TOfficeDialogPlaces>(kOffice);
  ASSERT_EQ(p->Groups()->Count(), 2);
  Integer at = p->Groups()->IndexOfName("Work");
  ASSERT_GE(at, 0);
  TGroupItem* g = p->Groups()->GetItem(at);
  EXPECT_EQ(g->Description(), "Hint");
  EXPECT_EQ(g->Flags(), gfChecked | gfSelected | 0x40);
  EXPECT_EQ(g->FlagsEx(), -1);
  EXPECT_EQ(g->OfficeFlags(), ofSmallIcons);
  EXPECT_EQ(g->OfficeVersion(), 4);
  EXPECT_EQ(p->GetCurrentGroup(), nullptr);
  p->SetCurrentGroup(g);
  EXPECT_EQ(DescribePlaces(*p),
            (Lines{"0|" + GetSpecialFolderPath(0) + "|Desk|On top|1",
                   "-1|" + reports + "|Reports||3", "-1|" + music + "||Tunes|2",
                   "-1||||2"}));
}

TEST_F(PlacesStoreTest, MoreThanTenPlacesReloadInTheirSavedOrder) {
  // Special folders are valid whatever exists; their numbers tell them
  // apart.
  const Integer ids[] = {5, 0, 6, 8, 13, 17, 18, 26, 31, 35, 39, 46};
  auto p = Make<TCommonDialogPlaces>(kCommon);
  AddCurrentGroup(*p, "Many");
  std::vector<TPlaceSetup> setups;
  for (Integer id : ids) setups.push_back({id});
  setups.push_back({});
  SetPlaces(*p, setups);
  p->SaveChanges(false);
  EXPECT_EQ(SubKeys(kCommon + "\\Many").size(), 12u);

  auto again = Make<TCommonDialogPlaces>(kCommon);
  again->SetCurrentGroup(again->Groups()->GetItem(0));
  ASSERT_EQ(again->Places()->Count(), 13);
  for (Integer i = 0; i < 12; ++i)
    EXPECT_EQ(again->Places()->ItemAt(i)->FolderId(), ids[i]) << i;
}

TEST_F(PlacesStoreTest, ASpecialPlaceLoadsItsPathAndName) {
  PutDword(kCommon + "\\G\\Place0", "Path", 17);
  PutDword(kCommon + "\\G\\Place1", "Path", 5);
  PutString(kCommon + "\\G\\Place1", "Name", "Ignored for common places");
  auto p = Make<TCommonDialogPlaces>(kCommon);
  p->SetCurrentGroup(p->Groups()->GetItem(0));
  String documents = GetSpecialFolderPath(5);
  EXPECT_EQ(DescribePlaces(*p),
            (Lines{"17|\\|My Computer||2",
                   "5|" + documents + "|My Documents||2", "-1||||2"}));
  EXPECT_EQ(p->Places()->ItemAt(0)->DisplayText(), "My Computer");
}

TEST_F(PlacesStoreTest, ReloadGroupsKeepsTheCurrentGroupByName) {
  String folder = folders.Make("B-folder");
  PutDword(kCommon + "\\A", "Flags", 0);
  PutString(kCommon + "\\B\\Place0", "Path", folder);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  p->Groups()->ReloadGroups();
  EXPECT_EQ(p->GetCurrentGroup(), nullptr);

  p->SetCurrentGroup(p->Groups()->GetItem(1));
  SetPlaces(*p, {});  // only a reload brings the places back
  PutDword(kCommon + "\\B", "Flags", gfInstalled);
  p->Groups()->ReloadGroups();
  ASSERT_NE(p->GetCurrentGroup(), nullptr);
  EXPECT_EQ(p->GetCurrentGroup()->Name(), "B");
  EXPECT_TRUE(p->GetCurrentGroup()->GetInstalled());
  EXPECT_EQ(DescribePlaces(*p), (Lines{"-1|" + folder + "|||2", "-1||||2"}));

  // A current group that is gone from the registry leaves none current.
  DeleteKeyTree(kCommon + "\\B");
  p->Groups()->ReloadGroups();
  EXPECT_EQ(p->GetCurrentGroup(), nullptr);
  EXPECT_EQ(p->Groups()->Count(), 1);
}

TEST_F(PlacesStoreTest, DeleteGroupRemovesItsKeyTreeOnly) {
  PutDword(kCommon + "\\A\\Place0", "Path", 5);
  PutDword(kCommon + "\\B\\Place0", "Path", 6);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  p->SetCurrentGroup(p->Groups()->GetItem(0));
  EXPECT_TRUE(p->Groups()->DeleteGroup(0));
  EXPECT_EQ(p->GetCurrentGroup(), nullptr);
  EXPECT_EQ(SubKeys(kCommon), (Lines{"B"}));
  EXPECT_EQ(SubKeys(kCommon + "\\B"), (Lines{"Place0"}));
  ASSERT_EQ(p->Groups()->Count(), 1);
  EXPECT_EQ(p->Groups()->GetItem(0)->Name(), "B");
  // A group that was never stored goes without a key to delete.
  p->Groups()->AddGroup();
  EXPECT_TRUE(p->Groups()->DeleteGroup(1));
  EXPECT_EQ(p->Groups()->Count(), 1);
}

TEST_F(PlacesStoreTest, RenameMovesTheKeyAndRefusesATakenOne) {
  PutDword(kCommon + "\\A", "Flags", 1);
  PutDword(kCommon + "\\A\\Place0", "Path", 5);
  PutDword(kCommon + "\\B", "Flags", 4);
  auto p = Make<TCommonDialogPlaces>(kCommon);

  EXPECT_TRUE(p->Groups()->RenameGroup(0, "C"));
  EXPECT_EQ(p->Groups()->GetItem(0)->Name(), "C");
  EXPECT_EQ(SubKeys(kCommon), (Lines{"B", "C"}));
  EXPECT_EQ(KeyValues(kCommon + "\\C\\Place0"),
            (Values{{"Path", "REG_DWORD:5"}}));

  // Onto another group's key, in any case, and onto its own in another
  // case: nothing moves and the name stays.
  for (const char* taken : {"B", "b", "c"}) {
    EXPECT_FALSE(p->Groups()->RenameGroup(0, taken)) << taken;
    EXPECT_EQ(p->Groups()->GetItem(0)->Name(), "C");
  }
  EXPECT_EQ(KeyValues(kCommon + "\\B"), (Values{{"Flags", "REG_DWORD:4"}}));
  EXPECT_EQ(KeyValues(kCommon + "\\C"), (Values{{"Flags", "REG_DWORD:1"}}));

  // A group never saved has no key: it is renamed in memory.
  TGroupItem* fresh = p->Groups()->AddGroup();
  EXPECT_TRUE(p->Groups()->RenameGroup(fresh->Index(), "Fresh"));
  EXPECT_EQ(fresh->Name(), "Fresh");
  EXPECT_EQ(SubKeys(kCommon), (Lines{"B", "C"}));
}

TEST_F(PlacesStoreTest, NamesThatNameNoKeyOfTheirOwnAreRefused) {
  PutDword(kCommon + "\\Keep\\Place0", "Path", 5);
  PutDword(kCommon + "\\Keep", "Flags", 0);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  TGroupItem* keep = p->Groups()->GetItem(0);
  for (const char* bad : {"", "A\\B", "\\"}) {
    EXPECT_FALSE(p->Groups()->RenameGroup(0, bad)) << '"' << bad << '"';
    EXPECT_EQ(keep->Name(), "Keep");
  }
  for (const char* bad : {"", "..\\Keep", "Keep\\Place0"}) {
    TGroupItem* g = p->Groups()->AddGroup();
    g->SetName(bad);
    p->SetCurrentGroup(g);
    EXPECT_EQ(p->GetGroupKey(), "");
    EXPECT_FALSE(g->LoadGroup());
    g->SaveGroup();
    p->SaveChanges(false);
    p->Places()->ClearPlaceKeys();
    EXPECT_FALSE(p->Groups()->DeleteGroup(g->Index())) << '"' << bad << '"';
    EXPECT_EQ(p->Groups()->Count(), 2);
    p->SetCurrentGroup(nullptr);
    p->Groups()->Delete(g->Index());
    expectedMessages.push_back(String("Invalid group name \"") + bad + "\"");
    expectedMessages.push_back(String("Invalid group name \"") + bad + "\"");
  }
  EXPECT_EQ(SubKeys(kCommon), (Lines{"Keep"}));
  EXPECT_EQ(SubKeys(kCommon + "\\Keep"), (Lines{"Place0"}));
  EXPECT_EQ(KeyValues(kCommon + "\\Keep"), (Values{{"Flags", "REG_DWORD:0"}}));
}

TEST_F(PlacesStoreTest, SaveGroupReportsAKeyThatCannotBeMade) {
  MakeVolatileKey(kCommon);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  TGroupItem* g = p->Groups()->AddGroup();
  g->SaveGroup();
  p->SaveChanges(true);
  EXPECT_FALSE(KeyExists(kCommon + "\\New Group 1"));
  String text = "Failed to create key " + kCommon + "\\New Group 1";
  expectedMessages = {text, text};
}

TEST_F(PlacesStoreTest, AFailedPlacesSaveKeepsTheStoredPlaces) {
  // The group's key only takes volatile keys: the third place's key cannot
  // be made.
  String a = folders.Make("A");
  String b = folders.Make("B");
  String n = folders.Make("N");
  MakeVolatileKey(kCommon);
  MakeVolatileKey(kCommon + "\\G");
  MakeVolatileKey(kCommon + "\\G\\Place0");
  MakeVolatileKey(kCommon + "\\G\\Place1");
  PutString(kCommon + "\\G\\Place0", "Path", a);
  PutString(kCommon + "\\G\\Place1", "Path", b);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  p->SetCurrentGroup(p->Groups()->GetItem(0));
  SetPlaces(*p, {{-1, n}, {-1, a}, {-1, b}, {}});
  p->SaveChanges(false);
  expectedMessages = {"Failed to create key " + kCommon + "\\G\\Place2"};

  EXPECT_EQ(SubKeys(kCommon + "\\G"), (Lines{"Place0", "Place1"}));
  EXPECT_EQ(KeyValues(kCommon + "\\G\\Place0"),
            (Values{{"Path", "REG_SZ:" + a}}));
  EXPECT_EQ(KeyValues(kCommon + "\\G\\Place1"),
            (Values{{"Path", "REG_SZ:" + b}}));
}

TEST_F(PlacesStoreTest, ClearPlaceKeysEmptiesTheGroup) {
  PutDword(kCommon + "\\G", "Flags", 1);
  PutDword(kCommon + "\\G\\Place0", "Path", 5);
  PutDword(kCommon + "\\G\\Place1\\Sub", "V", 1);
  auto p = Make<TCommonDialogPlaces>(kCommon);
  p->Places()->ClearPlaceKeys();  // no current group: nothing
  EXPECT_EQ(SubKeys(kCommon + "\\G").size(), 2u);
  p->SetCurrentGroup(p->Groups()->GetItem(0));
  p->Places()->ClearPlaceKeys();
  EXPECT_TRUE(SubKeys(kCommon + "\\G").empty());
  EXPECT_EQ(KeyValues(kCommon + "\\G"), (Values{{"Flags", "REG_DWORD:1"}}));
}

// ---------------------------------------------------------------------------
// Bad registry data
// ---------------------------------------------------------------------------

TEST_F(PlacesStoreTest, GroupValuesOfTheWrongTypeKeepTheirDefaults) {
  const String key = kOffice + "\\G";
  PutString(key, "Flags", "3");
  PutDword(key, "Description", 1);
  PutDword(key, "FlagsEx", 7);
  PutRaw(key, "OfficeFlags", REG_DWORD, "\x10\x00", 2);  // too short
  PutDword(key, "OfficeVersion", 0x103);                 // low byte used
  PutString(kOffice + "\\H", "Description", String(200000, 'x'));
  auto p = Make<TOfficeDialogPlaces>(kOffice);
  ASSERT_EQ(p->Groups()->Count(), 2);
  TGroupItem* g = p->Groups()->GetItem(0);
  EXPECT_EQ(g->Flags(), 0);
  EXPECT_EQ(g->Description(), "");
  EXPECT_EQ(g->FlagsEx(), 7);
  EXPECT_EQ(g->OfficeFlags(), 0);
  EXPECT_EQ(g->OfficeVersion(), 3);
  EXPECT_FALSE(g->LoadGroup());
  EXPECT_EQ(p->Groups()->GetItem(1)->Description().size(), 200000u);
  EXPECT_TRUE(p->Groups()->GetItem(1)->LoadGroup());
}

TEST_F(PlacesStoreTest, PlacesWithBadDataLoadBlankAndGoWithTheNextSave) {
  String folder = folders.Make("Good");
  const String g = kOffice + "\\G";
  PutString(g + "\\Place0", "Path", "%TEMP%", REG_EXPAND_SZ);
  PutRaw(g + "\\Place1", "Path", REG_BINARY, "\x05\0\0\0", 4);
  PutRaw(g + "\\Place2", "Path", REG_DWORD, "\x05\0", 2);
  PutString(g + "\\Place3", "Path", folder);
  PutString(g + "\\Place3", "View", "Details");  // wrong type
  PutString(g + "\\Place3", "Name", "Kept");
  PutDword(g + "\\Place3", "Description", 4);  // wrong type
  PutDword(g + "\\Place3\\Stray", "Path", 6);  // never read
  PutDword(g + "\\Place4", "View", 3);         // no path at all
  PutDword(g + "\\Stray", "Path", 8);          // not a place key name
  auto p = Make<TOfficeDialogPlaces>(kOffice);
  p->SetCurrentGroup(p->Groups()->GetItem(0));
  EXPECT_EQ(DescribePlaces(*p),
            (Lines{"-1||||2", "-1||||2", "-1||||2", "-1|" + folder + "|Kept||2",
                   "-1||||3", "8|" + GetSpecialFolderPath(8) + "|Recent||2",
                   "-1||||2"}));

  p->SaveChanges(false);
  EXPECT_EQ(SubKeys(g), (Lines{"Place0", "Place1"}));
  EXPECT_EQ(KeyValues(g + "\\Place0"), (Values{{"Path", "REG_SZ:" + folder},
                                               {"View", "REG_DWORD:2"},
                                               {"Name", "REG_SZ:Kept"}}));
  EXPECT_EQ(KeyValues(g + "\\Place1"), (Values{{"Path", "REG_DWORD:8"},
                                               {"View", "REG_DWORD:2"},
                                               {"Name", "REG_SZ:Recent"}}));
}

}  // namespace
