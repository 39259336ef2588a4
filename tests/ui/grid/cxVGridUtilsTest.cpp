// The vertical grid's geometry lists: fitting and scaling widths into a
// row, the record lists' growth and index errors, the locked line list and
// the halftone pattern.
#include <gtest/gtest.h>

#include "cxVGridUtils.h"

namespace {

struct TScalerCase {
  const char* Name;
  std::vector<TRectScaler::TEntry> Entries;
  Integer Width;
  bool Scale;
  std::vector<std::pair<Integer, Integer>> Expected;  // left, right
};

class RectScalerTest : public ::testing::TestWithParam<TScalerCase> {};

TEST_P(RectScalerTest, PlacesEntries) {
  const TScalerCase& c = GetParam();
  TRectScaler scaler;
  for (const auto& e : c.Entries) scaler.Add(e.Width, e.MinWidth, e.Spacing);
  const TRect r{0, 5, c.Width, 25};
  if (c.Scale)
    scaler.ScaleRect(r);
  else
    scaler.CalcRect(r);
  const TcxRectList& rects = scaler.ScaledRects();
  ASSERT_EQ(rects.Count(), static_cast<Integer>(c.Expected.size()));
  for (Integer i = 0; i < rects.Count(); ++i) {
    const TRect got = rects.GetRect(i);
    EXPECT_EQ(got.Left, c.Expected[i].first) << i;
    EXPECT_EQ(got.Right, c.Expected[i].second) << i;
    EXPECT_EQ(got.Top, 5);
    EXPECT_EQ(got.Bottom, 25);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectScalerTest,
    ::testing::Values(
        TScalerCase{"LastStretchesToTheEdge",
                    {{50, 0, 0}, {50, 0, 0}, {50, 0, 0}},
                    120,
                    false,
                    {{0, 50}, {50, 100}, {100, 120}}},
        TScalerCase{"ClippedEntryEndsTheRow",
                    {{100, 0, 0}, {100, 0, 0}, {100, 0, 0}},
                    120,
                    false,
                    {{0, 100}, {100, 120}}},
        TScalerCase{"ScaledWithSpacing",
                    {{100, 0, 1}, {200, 0, 1}, {20, 0, 0}},
                    642,
                    true,
                    {{0, 200}, {201, 601}, {602, 642}}},
        TScalerCase{"NothingToScale", {{0, 0, 0}, {0, 0, 0}}, 100, true, {}},
        TScalerCase{"MinimumWidensAndPushes",
                    {{10, 30, 0}, {10, 0, 0}, {10, 0, 0}},
                    100,
                    false,
                    {{0, 30}, {30, 40}, {40, 100}}},
        TScalerCase{"ScaledHalvesGoToEven",
                    {{1, 0, 0}, {1, 0, 0}, {2, 0, 0}},
                    10,
                    true,
                    {{0, 2}, {2, 4}, {4, 10}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DataListTest, GrowsInStepsAndKeepsRecordsOnClear) {
  TcxRectList list;
  for (Integer i = 0; i < 1025; ++i) list.Add(TRect{i, 0, i + 1, 1});
  EXPECT_EQ(list.Count(), 1025);
  EXPECT_EQ(list.Capacity(), 2048);
  EXPECT_EQ(list.GetRect(1024).Left, 1024);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 2048);
  TcxRectList copy;
  list.Add(TRect{1, 2, 3, 4});
  copy.Assign(list);
  EXPECT_EQ(copy.Count(), 1);
  EXPECT_EQ(copy.GetRect(0), (TRect{1, 2, 3, 4}));
  EXPECT_EQ(copy.Capacity(), 2048);
}

TEST(DataListTest, IndexOutsideTheListRaisesWithTheClassName) {
  TcxRectList list;
  list.Add(TRect{});
  for (Integer index : {-1, 1}) {
    try {
      list.GetRect(index);
      ADD_FAILURE() << "no error for " << index;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(),
                "Error TcxRectList: Invalid index " + std::to_string(index));
    }
  }
}

TEST(LineInfoListTest, LockedListRefusesEveryAdd) {
  TLineInfoList lines;
  int brush = 0;
  EXPECT_EQ(lines.AddColor(1, 2, 3, 4, 0xFF), 0);
  EXPECT_EQ(lines.GetItem(0).Rect, (TRect{1, 2, 4, 6}));
  EXPECT_FALSE(lines.GetItem(0).IsBrush);
  lines.SetLocked(true);
  EXPECT_EQ(lines.AddBrush(TRect{0, 0, 1, 1}, &brush), -1);
  EXPECT_EQ(lines.AddColor(TRect{0, 0, 1, 1}, 1), -1);
  EXPECT_EQ(lines.AddBrush(0, 0, 1, 1, &brush), -1);
  EXPECT_EQ(lines.Count(), 1);
  lines.SetLocked(false);
  EXPECT_EQ(lines.AddBrush(TRect{0, 0, 1, 1}, &brush), 1);
  EXPECT_TRUE(lines.GetItem(1).IsBrush);
  EXPECT_EQ(lines.GetItem(1).Brush, &brush);
}

TEST(HalftoneTest, CheckerboardRows) {
  EXPECT_EQ(cxHalftonePatternRow(0), 0xAA);
  EXPECT_EQ(cxHalftonePatternRow(1), 0x55);
  EXPECT_EQ(cxHalftonePatternRow(6), 0xAA);
  EXPECT_TRUE(cxHalftoneIsFirstColor(0, 1));
  EXPECT_FALSE(cxHalftoneIsFirstColor(3, 5));
}

}  // namespace
