// The button-group base: balanced columns, button positions, the arrow-key
// moves and the buttons that follow added and deleted items.
#include <gtest/gtest.h>

#include "cxButtonGroup.h"
#include "cxRadioGroup.h"

namespace {

TEST(cxButtonGroupColumnCount, BalancedColumns) {
  struct Case {
    Integer items, columns, expected;
  };
  const Case cases[] = {{0, 3, 0}, {5, 3, 3},  {4, 3, 2}, {1, 4, 1}, {4, 4, 4},
                        {7, 3, 3}, {10, 4, 4}, {9, 4, 3}, {3, 0, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(cxButtonGroupColumnCount(c.items, c.columns), c.expected)
        << c.items << " in " << c.columns;
  }
  EXPECT_EQ(cxButtonGroupButtonsPerColumn(5, 3), 2);
  EXPECT_EQ(cxButtonGroupButtonsPerColumn(4, 2), 2);
  EXPECT_EQ(cxButtonGroupButtonsPerColumn(7, 3), 3);
}

TEST(cxButtonGroupButtonBounds, FiveItemsFillThreeColumnsTwoTwoOne) {
  TcxEditMetrics m;
  m.FirstColumnOffset = 6;
  m.ColumnAreaWidthCorrection = -6;
  m.ColumnSpacing = 6;
  // Edit 200 x 61, extent 2 at the sides, 15 at the top, 2 at the bottom:
  // free height 44 gives rows of 22; columns (200 - 4 - 6 - 12) / 3 = 59.
  const std::vector<TRect> b = cxButtonGroupButtonBounds(
      5, 3, TRect{0, 0, 200, 61}, TRect{2, 15, 2, 2}, m);
  ASSERT_EQ(b.size(), 5u);
  const TRect expected[] = {{8, 15, 67, 37},
                            {8, 37, 67, 59},
                            {73, 15, 132, 37},
                            {73, 37, 132, 59},
                            {138, 15, 197, 37}};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(b[i], expected[i]) << i;
  // An odd remainder of the free height is split above and below.
  const std::vector<TRect> odd = cxButtonGroupButtonBounds(
      2, 1, TRect{0, 0, 100, 23}, TRect{0, 0, 0, 0}, TcxEditMetrics{});
  EXPECT_EQ(odd[0], (TRect{0, 0, 100, 11}));
  EXPECT_EQ(odd[1], (TRect{0, 11, 100, 22}));
  EXPECT_TRUE(
      cxButtonGroupButtonBounds(0, 0, TRect{0, 0, 10, 10}, TRect{}, m).empty());
}

TEST(cxButtonGroupArrowTarget, FiveItemsInThreeColumns) {
  // Buttons 0-1, 2-3 and 4 in columns of two.
  struct Case {
    Integer from;
    Word key;
    Integer to;
  };
  const Case cases[] = {{0, VK_LEFT, -1},  {0, VK_UP, -1},   {0, VK_RIGHT, 2},
                        {0, VK_DOWN, 1},   {1, VK_UP, 0},    {1, VK_DOWN, -1},
                        {1, VK_RIGHT, 3},  {2, VK_LEFT, 0},  {2, VK_RIGHT, 4},
                        {3, VK_RIGHT, -1}, {3, VK_LEFT, 1},  {3, VK_UP, 2},
                        {4, VK_DOWN, -1},  {4, VK_UP, -1},   {4, VK_LEFT, 2},
                        {4, VK_RIGHT, -1}, {2, VK_SPACE, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(cxButtonGroupArrowTarget(c.key, c.from, 2, 5), c.to)
        << "from " << c.from << " key " << c.key;
  }
  EXPECT_EQ(cxButtonGroupArrowTarget(VK_DOWN, -1, 2, 5), -1);
}

TEST(ButtonGroupProperties, ColumnsAreAtLeastOneAndChangesAreReported) {
  TcxCustomButtonGroupProperties p;
  Integer changes = 0;
  p.OnPropertiesChanged =
      TNotifyEvent::FromFunction([&changes](TObject*) { ++changes; });
  p.SetColumns(0);
  EXPECT_EQ(p.Columns(), 1);
  EXPECT_EQ(changes, 0);
  p.SetColumns(-4);
  EXPECT_EQ(p.Columns(), 1);
  p.SetColumns(3);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(p.GetColumnCount(), 0);
  auto* item = static_cast<TcxButtonGroupItem*>(p.Items()->Add());
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(p.Items()->ChangedItemOperation(), copAdd);
  EXPECT_EQ(p.Items()->ChangedItemIndex(), 0);
  item->SetCaption("A");
  item->SetCaption("A");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(p.Items()->ChangedItemOperation(), copChanged);
  p.Items()->Add();
  p.Items()->Delete(0);
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(p.Items()->ChangedItemOperation(), copDelete);
  EXPECT_EQ(p.Items()->ChangedItemIndex(), 0);
  // Hot tracking only with an item to track.
  EXPECT_TRUE(p.GetSupportedOperations().Contains(esoHotTrack));
  TcxCustomButtonGroupProperties empty;
  EXPECT_FALSE(empty.GetSupportedOperations().Contains(esoHotTrack));
}

TEST(ButtonGroupProperties, AssignCopiesItemsColumnsAndWordWrap) {
  TcxCustomButtonGroupProperties a, b;
  a.SetColumns(2);
  a.SetWordWrap(true);
  for (const char* caption : {"X", "Y"}) {
    static_cast<TcxButtonGroupItem*>(a.Items()->Add())->SetCaption(caption);
  }
  a.Items()->Items(1)->SetEnabled(false);
  a.Items()->Items(1)->SetTag(7);
  b.Assign(&a);
  EXPECT_EQ(b.Columns(), 2);
  EXPECT_TRUE(b.WordWrap());
  ASSERT_EQ(b.Items()->Count(), 2);
  EXPECT_EQ(b.Items()->Items(1)->Caption(), "Y");
  EXPECT_FALSE(b.Items()->Items(1)->Enabled());
  EXPECT_EQ(b.Items()->Items(1)->Tag(), 7);
  // As check items: captions and count.
  IcxCheckItems* items = b.Items();
  EXPECT_EQ(items->GetCount(), 2);
  EXPECT_EQ(items->GetCaption(0), "X");
}

TEST(ButtonGroup, DeletingAnItemFreesOnlyItsButton) {
  TcxRadioGroup group(nullptr);
  TcxRadioGroupItems* items = group.Properties()->GetItems();
  for (const char* caption : {"A", "B", "C"}) items->Add()->SetCaption(caption);
  ASSERT_EQ(group.ButtonCount(), 3);
  TWinControl* first = group.Buttons(0);
  TWinControl* third = group.Buttons(2);
  group.SetItemIndex(2);
  items->Delete(1);
  ASSERT_EQ(group.ButtonCount(), 2);
  EXPECT_EQ(group.Buttons(0), first);
  EXPECT_EQ(group.Buttons(1), third);
  EXPECT_TRUE(group.RadioButtons(1)->Checked());
  EXPECT_FALSE(group.RadioButtons(0)->Checked());
  EXPECT_EQ(group.RadioButtons(1)->Caption(), "C");
  items->Add()->SetCaption("D");
  ASSERT_EQ(group.ButtonCount(), 3);
  EXPECT_EQ(group.RadioButtons(2)->Caption(), "D");
  EXPECT_EQ(group.Buttons(1), third);
}

TEST(ButtonGroup, DisabledItemsDisableTheirButtons) {
  TcxRadioGroup group(nullptr);
  TcxRadioGroupItems* items = group.Properties()->GetItems();
  for (const char* caption : {"A", "B"}) items->Add()->SetCaption(caption);
  items->Items(1)->SetEnabled(false);
  EXPECT_TRUE(group.Buttons(0)->Enabled());
  EXPECT_FALSE(group.Buttons(1)->Enabled());
  group.SetEnabled(false);
  EXPECT_FALSE(group.Buttons(0)->Enabled());
}

}  // namespace
