// Keyboard access of the bar objects: unique key tips, the geometric choice
// of the next object by the arrow keys (wrapping round a row), and the Tab
// walk through a tree of helpers (wrapping round the whole tree).
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "dxBarAccess.h"
#include "dxBarHelperTree.h"

namespace {

TEST(BarKeyTipsTest, KeyTipsAreMadeUnique) {
  struct Case {
    std::vector<String> In, Out;
  };
  std::vector<String> twelve(12, "F"), numbered;
  for (int i = 1; i <= 12; ++i)
    numbered.push_back(String("F") + (i < 10 ? "0" : "") + std::to_string(i));
  for (const Case& c : {
           Case{{"F", "F", "F", "FX"}, {"F1", "F2", "F3", "FX"}},
           Case{{"F", "FO"}, {"F1", "FO"}},
           Case{{"A", "B"}, {"A", "B"}},
           Case{twelve, numbered},
           // A suffix that makes a new clash is resolved in the next pass.
           Case{{"F", "F", "F1"}, {"F11", "F2", "F12"}},
       }) {
    std::vector<String> tips = c.In;
    dxBarGenerateUniqueKeyTips(tips);
    EXPECT_EQ(c.Out, tips) << c.In.front();
  }
}

TEST(BarNavigationTest, ArrowsPickTheNearestObjectAndWrapRoundARow) {
  // One row of three, and one item below the middle one.
  const std::vector<TRect> items{
      {0, 0, 20, 20}, {30, 0, 50, 20}, {60, 0, 80, 20}, {30, 40, 50, 60}};
  struct Case {
    Integer From;
    TcxAccessibilityNavigationDirection Direction;
    Integer To;
  };
  for (const Case& c : {Case{0, andRight, 1}, Case{1, andRight, 2},
                        Case{2, andRight, 0},  // wraps to the row's start
                        Case{0, andLeft, 2},   // and to its end
                        Case{1, andDown, 3}, Case{3, andUp, 1},
                        Case{2, andDown, -1},  // nothing below
                        Case{1, andNext, -1}}) {
    std::vector<TRect> candidates;
    std::vector<Integer> indexes;
    for (Integer i = 0; i < static_cast<Integer>(items.size()); ++i)
      if (i != c.From &&
          dxBarIsInDirection(items[static_cast<std::size_t>(i)],
                             items[static_cast<std::size_t>(c.From)],
                             c.Direction)) {
        candidates.push_back(items[static_cast<std::size_t>(i)]);
        indexes.push_back(i);
      }
    const Integer pick = dxBarChooseNextObject(
        items[static_cast<std::size_t>(c.From)], candidates, c.Direction);
    EXPECT_EQ(c.To, pick < 0 ? -1 : indexes[static_cast<std::size_t>(pick)])
        << c.From << " dir " << int(c.Direction);
  }
  // Equal distances: the smaller angle to the direction wins.
  EXPECT_EQ(
      1, dxBarChooseNextObject({0, 0, 10, 10},
                               {{20, 30, 30, 40}, {20, 0, 30, 10}}, andRight));
}

using bar_test::TTestHelper;
using bar_test::TTree;

TEST(BarNavigationTest, TabWalksTheTreeAndWrapsRound) {
  TTree t;
  TTestHelper* root = t.Make(false);
  TTestHelper* a = root->Add(t.Make(true, "ABCD"));
  TTestHelper* group = root->Add(t.Make(false));
  TTestHelper* hidden = root->Add(t.Make(true, "H"));
  hidden->Visible = false;
  TTestHelper* c = group->Add(t.Make(true, "C"));
  TTestHelper* d = group->Add(t.Make(true, "C"));

  EXPECT_EQ(c, a->LogicalNavigationGetNextAccessibleObject(true));
  EXPECT_EQ(d, c->LogicalNavigationGetNextAccessibleObject(true));
  EXPECT_EQ(a, d->LogicalNavigationGetNextAccessibleObject(true))
      << "past the last object (the hidden one skipped) to the first";
  EXPECT_EQ(d, a->LogicalNavigationGetNextAccessibleObject(false));
  EXPECT_EQ(a, root->GetFirstSelectableObject());
  EXPECT_EQ(d, root->GetFirstSelectableObject(false)) << "the hidden one";
  EXPECT_EQ(c, group->GetFirstSelectableObject());
  EXPECT_EQ(root, d->GetRootAccessibleObject());

  std::vector<TdxBarAccessibilityHelper*> list;
  root->GetChilds(list, true);
  EXPECT_EQ((std::vector<TdxBarAccessibilityHelper*>{a, c, d, hidden}), list)
      << "selectable children are taken without looking at them";

  std::vector<TdxBarAccessibilityHelper*> helpers;
  std::vector<String> tips;
  root->GetKeyTips(helpers, tips);
  EXPECT_EQ((std::vector<String>{"ABC", "C1", "C2", "H"}), tips);

  c->Select();
  EXPECT_TRUE(c->IsSelected());
  EXPECT_EQ(group, dxBarSelectedAccessibleParent());
  c->OwnerObjectDestroyed();
  EXPECT_EQ(nullptr, dxBarSelectedAccessibleObject());
}

}  // namespace
