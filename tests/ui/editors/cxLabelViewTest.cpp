// The label in a grid cell and the size it asks for: its text drawn through
// the view info's cached bitmap, the extrusion and face styles widening it,
// a turned font swapping its sides, and a window that follows its text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Forms.h"
#include "UiDriverWin.h"
#include "cxEditCellFixture.h"
#include "cxLabel.h"

namespace {

using edit_test::CountOf;
using edit_test::kAllKinds;
using edit_test::KindName;
using edit_test::kPaper;
using edit_test::TEditCell;
using edit_test::TTestCanvas;

constexpr TColor kCellColor = TColor(0x00F0F0F0);
constexpr TColor kTextColor = TColor(0x00000080);

TEST(LabelCell, DrawsItsTextInsideTheCellInEveryLook) {
  for (TcxLookAndFeelKind kind : kAllKinds) {
    TcxLabelProperties props;
    TEditCell cell(&props, kind);
    cell.Style()->SetColor(kCellColor);
    cell.Style()->SetTextColor(kTextColor);
    TTestCanvas canvas(200, 40);
    const TRect bounds{30, 8, 150, 30};
    cell.Draw(canvas, bounds, Variant("Varnel"));
    EXPECT_GT(CountOf(canvas, bounds, kTextColor), 20) << KindName(kind);
    EXPECT_EQ(CountOf(canvas, TRect{0, 0, 200, 40}, kPaper),
              200 * 40 - bounds.Width() * bounds.Height())
        << KindName(kind);
  }
}

TEST(LabelCell, TheCacheFollowsTheCellToANewPlace) {
  TcxLabelProperties props;
  TEditCell cell(&props);
  cell.Style()->SetColor(kCellColor);
  cell.Style()->SetTextColor(kTextColor);
  TTestCanvas first(200, 60);
  cell.Draw(first, TRect{0, 0, 100, 20}, Variant("Varnel"));
  const Integer text = CountOf(first, TRect{0, 0, 100, 20}, kTextColor);
  // The same view info, the same value, another row.
  TTestCanvas second(200, 60);
  cell.Draw(second, TRect{0, 30, 100, 50}, Variant("Varnel"));
  EXPECT_EQ(CountOf(second, TRect{0, 30, 100, 50}, kTextColor), text);
  EXPECT_EQ(CountOf(second, TRect{0, 0, 100, 20}, kTextColor), 0);
}

TEST(LabelCell, ATransparentCellKeepsWhatLiesUnderIt) {
  TcxLabelProperties props;
  props.SetTransparent(true);
  TEditCell cell(&props);
  cell.Style()->SetColor(kCellColor);
  cell.Style()->SetTextColor(kTextColor);
  TTestCanvas canvas(200, 40);
  const TRect bounds{10, 10, 150, 30};
  cell.Draw(canvas, bounds, Variant("Varnel"));
  EXPECT_EQ(CountOf(canvas, bounds, kCellColor), 0);
  EXPECT_GT(CountOf(canvas, bounds, kPaper), bounds.Width());
  EXPECT_GT(CountOf(canvas, bounds, kTextColor), 20);
}

class LabelSize : public ::testing::Test {
 protected:
  LabelSize() : cell_(&props_) {
    cell_.Style()->Font()->SetName("Arial");
    cell_.Style()->Font()->SetSize(14);
  }
  TSize Size(const Variant& AValue) {
    return props_.GetEditSize(canvas_.Canvas(), cell_.Style(), true, AValue);
  }
  TcxLabelProperties props_;
  TEditCell cell_;
  TTestCanvas canvas_{10, 10};
};

TEST_F(LabelSize, ExtrusionAndFaceStylesWidenIt) {
  const TSize plain = Size(Variant("WWW"));
  props_.SetDepth(5);
  props_.SetLabelEffect(cxleExtrude);
  const TSize extruded = Size(Variant("WWW"));
  EXPECT_EQ(extruded.cx, plain.cx + 5);
  EXPECT_EQ(extruded.cy, plain.cy + 5);
  props_.SetOrientation(cxoRight);
  EXPECT_EQ(Size(Variant("WWW")).cy, plain.cy);
  // Raised text at 14 points moves the face by two pixels.
  props_.SetLabelEffect(cxleNormal);
  props_.SetLabelStyle(cxlsRaised);
  EXPECT_EQ(Size(Variant("WWW")).cx, plain.cx + 2);
}

TEST_F(LabelSize, ATurnedFontSwapsItsSides) {
  const TSize plain = Size(Variant("Varnel label"));
  props_.SetAngle(90);
  const TSize turned = Size(Variant("Varnel label"));
  EXPECT_LE(std::abs(turned.cx - plain.cy), 1);
  EXPECT_LE(std::abs(turned.cy - plain.cx), 1);
  props_.SetAngle(450);
  EXPECT_EQ(Size(Variant("Varnel label")).cx, turned.cx);
}

TEST_F(LabelSize, AnEmptyCaptionSizesAsOneBlank) {
  EXPECT_EQ(Size(Variant("")), Size(Variant(" ")));
  EXPECT_GT(Size(Variant("")).cx, 0);
}

TEST(LabelWindow, FollowsItsTextInWidthUnlessItWraps) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(60, 60, 400, 160);
  auto* label = new TcxLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(10, 10, 300, 60);
  form->Show();
  label->SetCaption("Varnel");
  ui_test::PumpUntilIdle();
  const Integer shortWidth = label->Width();
  EXPECT_LT(shortWidth, 120);
  label->SetCaption("Varnel, the places bar editor");
  ui_test::PumpUntilIdle();
  EXPECT_GT(label->Width(), shortWidth + 40);
  const Integer lineHeight = label->Height();
  label->Properties()->SetWordWrap(true);
  label->SetWidth(80);
  ui_test::PumpUntilIdle();
  EXPECT_EQ(label->Width(), 80);
  EXPECT_GE(label->Height(), 2 * lineHeight - 2);
}

}  // namespace
