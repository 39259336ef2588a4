// What the grids of places show, computed without the grid control.
#include <gtest/gtest.h>

#include "PlacesTestSupport.h"
#include "uPlaceGrids.h"

namespace {

using places_test::TScratchFolders;

// Every character is 1 wide: widths read as character counts.
Integer CharWidth(const String& Text) {
  return static_cast<Integer>(Text.size());
}

TEST(PlaceGrids, MinimizePathDropsLeadingFolders) {
  struct Case {
    const char* path;
    Integer width;
    const char* shown;
  };
  const Case cases[] = {
      {"C:\\Work\\Docs", 20, "C:\\Work\\Docs"},
      {"C:\\Users\\me\\Work\\Docs", 18, "C:\\...\\Work\\Docs"},
      {"C:\\Users\\me\\Work\\Docs", 12, "C:\\...\\Docs"},
      {"C:\\Users\\me\\Work\\Docs", 4, "...\\Docs"},
      {"\\\\server\\share\\folder", 20, "\\\\server\\...\\folder"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MinimizePath(c.path, c.width, &CharWidth), c.shown) << c.path;
  }
}

TEST(PlaceGrids, OfficeViewsAndNames) {
  const std::pair<const char*, Integer> views[] = {
      {"List", 1}, {"Details", 2}, {"Summary", 3}, {"Preview", 4}, {"", 2}};
  for (const auto& v : views) EXPECT_EQ(OfficeViewOfText(v.first), v.second);
  EXPECT_EQ(OfficePlaceName("C:\\Work\\Docs"), "Docs");
  EXPECT_EQ(OfficePlaceName("D:"), "");
  EXPECT_EQ(OfficePlaceName("E:Folder"), "Folder");
  EXPECT_EQ(OfficePlaceName("plain"), "plain");
}

class PlaceGridRowsTest : public ::testing::Test {
 protected:
  TRegistrySandbox sandbox_;
  TScratchFolders folders_;
};

TEST_F(PlaceGridRowsTest, ThreePlacesABlankRowThenDisabledRows) {
  TCommonDialogPlaces places(kCommonDlgGroupsKey);
  TGroupItem* group = places.Groups()->AddGroup();
  places.SetCurrentGroup(group);
  const String docs = folders_.Make("Docs");
  places_test::SetPlaces(
      places, {{0, "\\", "Desktop"}, {-1, docs}, {17, "\\", "My Computer"}});
  places.Places()->EnsureTrailingBlank();

  const TCommonRows rows = CommonGridRows(&places, 200, &CharWidth);
  EXPECT_EQ(rows[0].Value, "Desktop");
  EXPECT_EQ(rows[1].Value, docs);
  EXPECT_EQ(rows[1].Hint, docs);
  EXPECT_EQ(rows[2].Value, "My Computer");
  EXPECT_EQ(rows[2].Hint, "My Computer");
  EXPECT_TRUE(rows[3].Focusing);
  EXPECT_EQ(rows[3].Value, "");
  for (Integer i = 4; i < kPlaceRowCount; ++i)
    EXPECT_FALSE(rows[i].Focusing) << i;

  EXPECT_TRUE(CanDragPlaceRow(&places, 1));
  EXPECT_FALSE(CanDragPlaceRow(&places, 3));
  EXPECT_FALSE(CanDropPlaceRow(&places, 1, 1));
  EXPECT_TRUE(CanDropPlaceRow(&places, 0, 2));

  const TOfficeRows office = OfficeGridRows(&places, 200, &CharWidth);
  EXPECT_TRUE(office[0].NameReadOnly);
  EXPECT_FALSE(office[1].NameReadOnly);
  EXPECT_EQ(office[1].PathHint, docs);
  EXPECT_EQ(office[1].View, "Details");
  EXPECT_TRUE(office[3].Focusing);
  EXPECT_FALSE(office[4].Focusing);
}

TEST_F(PlaceGridRowsTest, NoCurrentGroupShowsNothing) {
  TCommonDialogPlaces places(kCommonDlgGroupsKey);
  const TCommonRows rows = CommonGridRows(&places, 200, &CharWidth);
  for (const auto& row : rows) EXPECT_FALSE(row.Focusing);
  EXPECT_FALSE(CanDragPlaceRow(&places, 0));
}

}  // namespace
