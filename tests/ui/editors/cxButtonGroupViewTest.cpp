// The radio group and the check group in a grid cell, drawn through their
// view data and view info into bitmaps in every look: the Office grid's
// "Version" and "Options" rows, the buttons' layout and mouse states, and
// the size the rows ask for.
#include <gtest/gtest.h>

#include "cxCheckGroup.h"
#include "cxEditCellFixture.h"
#include "cxRadioGroup.h"

namespace {

using edit_test::CountOf;
using edit_test::kAllKinds;
using edit_test::KindName;
using edit_test::PixelsOf;
using edit_test::TEditCell;
using edit_test::TTestCanvas;

constexpr TColor kCellColor = TColor(0x00D0E0F0);
constexpr TColor kTextColor = TColor(0x00102030);
const TRect kCell{0, 0, 240, 22};

void AddVersionItems(TcxRadioGroupProperties& AProps) {
  const std::pair<const char*, Integer> items[] = {
      {"2000", 1}, {"XP", 2}, {"2003", 4}, {"2007", 8}};
  for (const auto& [caption, value] : items) {
    TcxRadioGroupItem* item = AProps.GetItems()->Add();
    item->SetCaption(caption);
    item->SetValue(Variant(value));
  }
  AProps.SetColumns(4);
}

TRect GlyphOf(TEditCell& ACell, Integer AIndex) {
  auto* info = ACell.Info<TcxButtonGroupViewInfo>();
  return info->Button(AIndex)->GetGlyphRect(info->GetGlyphSize(),
                                            info->Alignment, false);
}

TEST(RadioGroupCell, TheVersionRowChecksTheItemOfItsValueInEveryLook) {
  for (TcxLookAndFeelKind kind : kAllKinds) {
    TcxRadioGroupProperties props;
    AddVersionItems(props);
    TEditCell cell(&props, kind);
    cell.Style()->SetColor(kCellColor);
    cell.Style()->SetTextColor(kTextColor);
    TTestCanvas canvas(240, 22);
    cell.Draw(canvas, kCell, Variant(4));
    auto* info = cell.Info<TcxCustomRadioGroupViewInfo>();
    ASSERT_EQ(info->ButtonsInfo.size(), 4u);
    EXPECT_EQ(info->ItemIndex, 2) << KindName(kind);
    // The unchecked marks look alike, the checked one differs.
    const std::string unchecked = PixelsOf(canvas, GlyphOf(cell, 0));
    EXPECT_EQ(PixelsOf(canvas, GlyphOf(cell, 1)), unchecked) << KindName(kind);
    EXPECT_EQ(PixelsOf(canvas, GlyphOf(cell, 3)), unchecked) << KindName(kind);
    EXPECT_NE(PixelsOf(canvas, GlyphOf(cell, 2)), unchecked) << KindName(kind);
    // Each caption is written right of its mark, inside its button.
    for (Integer i = 0; i < 4; ++i) {
      const TRect bounds = info->Button(i)->Bounds;
      const TRect glyph = GlyphOf(cell, i);
      EXPECT_EQ(glyph.Left, bounds.Left) << KindName(kind);
      const TRect text{glyph.Right, bounds.Top, bounds.Right, bounds.Bottom};
      EXPECT_GT(CountOf(canvas, text, kTextColor), 10)
          << KindName(kind) << " item " << i;
      EXPECT_EQ(CountOf(canvas, glyph, kTextColor), 0) << KindName(kind);
    }
  }
}

TEST(RadioGroupCell, AValueOfNoItemChecksNoneAndPreviewChecksTheFirst) {
  TcxRadioGroupProperties props;
  AddVersionItems(props);
  TEditCell cell(&props);
  TTestCanvas canvas(240, 22);
  cell.Draw(canvas, kCell, Variant(3));
  EXPECT_EQ(cell.Info<TcxCustomRadioGroupViewInfo>()->ItemIndex, -1);
  const std::string unchecked = PixelsOf(canvas, GlyphOf(cell, 0));
  for (Integer i = 1; i < 4; ++i)
    EXPECT_EQ(PixelsOf(canvas, GlyphOf(cell, i)), unchecked);
  cell.Calculate(canvas.Canvas(), kCell, Variant(8), TPoint{-1, -1}, {},
                 cxmbNone, true, true);
  EXPECT_EQ(cell.Info<TcxCustomRadioGroupViewInfo>()->ItemIndex, 0);
}

TEST(RadioGroupCell, ColumnsShareTheWidthEvenWhenOneStaysEmpty) {
  // 4 items in 3 columns: 2 per column, the third column empty.
  TcxRadioGroupProperties props;
  for (const char* caption : {"A", "B", "C", "D"})
    props.GetItems()->Add()->SetCaption(caption);
  props.SetColumns(3);
  TEditCell cell(&props);
  TTestCanvas canvas(240, 40);
  cell.Calculate(canvas.Canvas(), TRect{0, 0, 240, 40}, Variant("C"));
  auto* info = cell.Info<TcxButtonGroupViewInfo>();
  // In place: first column at 1, column width (240 - 2) div 3.
  const Integer width = (240 - 2) / 3;
  const TRect expected[] = {{1, 0, 1 + width, 20},
                            {1, 20, 1 + width, 40},
                            {1 + width, 0, 1 + 2 * width, 20},
                            {1 + width, 20, 1 + 2 * width, 40}};
  for (Integer i = 0; i < 4; ++i)
    EXPECT_EQ(info->Button(i)->Bounds, expected[i]) << i;
  EXPECT_EQ(info->Button(3)->Column, 1);
  EXPECT_EQ(info->Button(3)->Row, 1);
}

TEST(RadioGroupCell, TheMouseHighlightsAndPressesOneButton) {
  struct Case {
    TShiftState shift;
    TcxMouseButton button;
    TcxEditButtonState state;
    Integer selected;
    Integer pressed;
  } cases[] = {
      {{}, cxmbNone, ebsSelected, 1, -1},
      {{ssLeft}, cxmbLeft, ebsPressed, -1, 1},
      {{ssRight}, cxmbRight, ebsNormal, -1, -1},
  };
  for (const Case& c : cases) {
    TcxRadioGroupProperties props;
    AddVersionItems(props);
    TEditCell cell(&props);
    TTestCanvas canvas(240, 22);
    cell.Calculate(canvas.Canvas(), kCell, Variant(1));
    const TRect second = cell.Info<TcxButtonGroupViewInfo>()->Button(1)->Bounds;
    const TPoint inside{second.Left + 20, second.Top + 5};
    cell.Calculate(canvas.Canvas(), kCell, Variant(1), inside, c.shift,
                   c.button);
    auto* info = cell.Info<TcxButtonGroupViewInfo>();
    EXPECT_EQ(info->Button(1)->Data.State, c.state) << int(c.button);
    EXPECT_EQ(info->Button(0)->Data.State, ebsNormal);
    EXPECT_EQ(info->SelectedButton, c.selected);
    EXPECT_EQ(info->PressedButton, c.pressed);
  }
  TcxRadioGroupProperties props;
  AddVersionItems(props);
  TEditCell cell(&props);
  TTestCanvas canvas(240, 22);
  cell.Calculate(canvas.Canvas(), kCell, Variant(1), TPoint{5, 5}, {}, cxmbNone,
                 false);
  for (const auto& b : cell.Info<TcxButtonGroupViewInfo>()->ButtonsInfo)
    EXPECT_EQ(b->Data.State, ebsDisabled);
}

TEST(RadioGroupCell, WrappedCaptionsMakeTheRowTaller) {
  TcxRadioGroupProperties props;
  props.GetItems()->Add()->SetCaption("Place Common Dialog Items In Submenu");
  props.GetItems()->Add()->SetCaption("B");
  props.SetColumns(2);
  TEditCell cell(&props);
  TTestCanvas canvas(10, 10);
  const TcxEditSizeProperties narrow{-1, 0, 120};
  const TSize single = props.GetEditSize(canvas.Canvas(), cell.Style(), true,
                                         Variant(1), narrow);
  EXPECT_EQ(single.cx, 120);
  props.SetWordWrap(true);
  const TSize wrapped = props.GetEditSize(canvas.Canvas(), cell.Style(), true,
                                          Variant(1), narrow);
  EXPECT_GT(wrapped.cy, 2 * single.cy - 4);
  // Unbounded, the row is as wide as its columns of captions.
  const TSize free =
      props.GetEditSize(canvas.Canvas(), cell.Style(), true, Variant(1));
  canvas.Canvas()->SetFont(cell.Style()->GetVisibleFont());
  EXPECT_GT(free.cx, 2 * canvas.Canvas()->TextWidth(
                             "Place Common Dialog Items In Submenu"));
  EXPECT_EQ(free.cy, single.cy);
}

// ---------------------------------------------------------------------------
// Check group
// ---------------------------------------------------------------------------

TEST(CheckGroupCell, TheOptionsRowShowsTheStatesOfItsValueInEveryLook) {
  for (TcxLookAndFeelKind kind : kAllKinds) {
    TcxCheckGroupProperties props;
    props.SetEditValueFormat(cvfInteger);
    for (const char* caption : {"Run at User Logon", "Minimize to System Tray",
                                "Place Common Dialog Items In Submenu",
                                "Place Office Dialog Items In Submenu"})
      props.GetItems()->Add()->SetCaption(caption);
    props.SetColumns(4);
    TEditCell cell(&props, kind);
    cell.Style()->SetColor(kCellColor);
    cell.Style()->SetTextColor(kTextColor);
    TTestCanvas canvas(480, 22);
    cell.Draw(canvas, TRect{0, 0, 480, 22}, Variant(2));
    auto* info = cell.Info<TcxCheckGroupViewInfo>();
    ASSERT_EQ(info->ButtonsInfo.size(), 4u);
    const std::string unchecked = PixelsOf(canvas, GlyphOf(cell, 0));
    EXPECT_EQ(PixelsOf(canvas, GlyphOf(cell, 2)), unchecked) << KindName(kind);
    EXPECT_NE(PixelsOf(canvas, GlyphOf(cell, 1)), unchecked) << KindName(kind);
    EXPECT_EQ(info->CheckButton(1)->CheckState, cbsChecked);
    for (Integer i = 0; i < 4; ++i) {
      const TRect bounds = info->Button(i)->Bounds;
      const TRect glyph = GlyphOf(cell, i);
      // The mark at the left of its button, the caption after it.
      EXPECT_EQ(glyph.Left, bounds.Left) << KindName(kind);
      EXPECT_EQ(CountOf(canvas, glyph, kTextColor), 0) << KindName(kind);
      EXPECT_GT(
          CountOf(canvas,
                  TRect{glyph.Right, bounds.Top, bounds.Right, bounds.Bottom},
                  kTextColor),
          10)
          << KindName(kind) << " item " << i;
    }
  }
}

TEST(CheckGroupCell, RightAlignedItemsPutTheMarkAtTheRight) {
  TcxCheckGroupProperties props;
  props.SetEditValueFormat(cvfInteger);
  props.GetItems()->Add()->SetCaption("Small Icon");
  props.SetItemAlignment(taRightJustify);
  TEditCell cell(&props);
  TTestCanvas canvas(120, 22);
  cell.Calculate(canvas.Canvas(), TRect{0, 0, 120, 22}, Variant(1));
  auto* info = cell.Info<TcxCheckGroupViewInfo>();
  EXPECT_EQ(GlyphOf(cell, 0).Right, info->Button(0)->Bounds.Right);
  EXPECT_EQ(info->CheckButton(0)->CheckState, cbsChecked);
}

TEST(CheckGroupCell, AnInvalidValueShowsEveryItemUnchecked) {
  TcxCheckGroupProperties props;
  props.SetEditValueFormat(cvfIndices);
  for (const char* caption : {"A", "B", "C"})
    props.GetItems()->Add()->SetCaption(caption);
  TEditCell cell(&props);
  TTestCanvas canvas(240, 22);
  const std::pair<Variant, std::vector<TcxCheckBoxState>> cases[] = {
      {Variant("1;0,2"), {cbsChecked, cbsGrayed, cbsChecked}},
      {Variant("0;;1"), {cbsUnchecked, cbsUnchecked, cbsUnchecked}},
      {Variant("7"), {cbsUnchecked, cbsUnchecked, cbsUnchecked}},
  };
  for (const auto& [value, states] : cases) {
    cell.Calculate(canvas.Canvas(), kCell, value);
    auto* info = cell.Info<TcxCheckGroupViewInfo>();
    for (Integer i = 0; i < 3; ++i)
      EXPECT_EQ(info->CheckButton(i)->CheckState, states[i])
          << VarToStr(value) << " item " << i;
  }
}

}  // namespace
