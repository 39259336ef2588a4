// The text view data and view info: draw flags, the text rectangle, the
// selection colours, the layout kept across Offset, and the painted text.
#include <gtest/gtest.h>

#include "cxEditStyle.h"
#include "cxEditTestCanvas.h"
#include "cxTextEdit.h"

using edit_test::TTestCanvas;

namespace {

class TextViewData : public ::testing::Test {
 protected:
  TextViewData() : styles_(nullptr, &cxNewContainerStyle<TcxEditStyle>) {}
  TcxCustomEditStyle* Style() {
    return static_cast<TcxCustomEditStyle*>(styles_.GetStyleNormal());
  }
  TObjectPtr<TcxCustomTextEditViewData> Data(bool AIsInplace = true) {
    return OwnedCast<TcxCustomTextEditViewData>(
        props_.CreateViewData(Style(), AIsInplace));
  }
  void Calculate(TcxCustomTextEditViewData& data, const TRect& bounds) {
    data.Calculate(canvas_.Canvas(), bounds, TPoint{-1, -1}, cxmbNone, {},
                   &info_, false);
  }

  TcxTextEditProperties props_{nullptr};
  TcxContainerStyles styles_;
  TcxCustomTextEditViewInfo info_;
  TTestCanvas canvas_{200, 40};
};

TEST_F(TextViewData, DrawFlagsFollowTheAlignment) {
  struct Case {
    TAlignment horz;
    TcxEditVertAlignment vert;
    Cardinal flags;
  } cases[] = {
      {taLeftJustify, taTopJustify, 0x200 | 0x40 | 0x80},
      {taCenter, taTopJustify, 1 | 0x200 | 0x40 | 0x80},
      {taCenter, taVCenter, 1 | 0x10 | 0x200 | 0x40 | 0x80},
      {taRightJustify, taBottomJustify, 2 | 0x20 | 0x200 | 0x40 | 0x80},
  };
  for (const Case& c : cases) {
    props_.Alignment()->SetHorz(c.horz);
    props_.Alignment()->SetVert(c.vert);
    auto data = Data();
    Calculate(*data, TRect{0, 0, 100, 20});
    EXPECT_EQ(info_.DrawTextFlags, c.flags) << int(c.horz) << int(c.vert);
  }
}

TEST_F(TextViewData, EndEllipsisIsAddedByThePaintOption) {
  auto data = Data();
  data->PaintOptions.Include(epoShowEndEllipsis);
  Calculate(*data, TRect{0, 0, 100, 20});
  EXPECT_TRUE(info_.DrawTextFlags & cxtoEndEllipsis);
}

TEST_F(TextViewData, SelectionColoursFallBackInOrder) {
  struct Case {
    TColor selBackground;
    TColor selText;
    TColor styleColor;
    TColor background;
    TColor text;
  } cases[] = {
      {clRed, clDefault, clWindow, clRed, TColor(0x00FFFF00)},
      {clRed, clBlue, clWindow, clRed, clBlue},
      {clDefault, clBlue, clWindow, TColor(0x0000FFFF), clBlue},
      {clDefault, clDefault, clHighlight, clBlack, clWhite},
      {clDefault, clDefault, clWindow, clHighlight, clHighlightText},
  };
  for (const Case& c : cases) {
    Style()->SetColor(c.styleColor);
    auto data = Data();
    data->SelStart = 1;
    data->SelLength = 2;
    data->SelBackgroundColor = c.selBackground;
    data->SelTextColor = c.selText;
    data->PrepareSelection(&info_);
    EXPECT_EQ(info_.SelBackgroundColor, c.background);
    EXPECT_EQ(info_.SelTextColor, c.text);
  }
}

TEST_F(TextViewData, DisplayTextIsMaskedForDrawing) {
  props_.SetEchoMode(eemPassword);
  auto data = Data();
  data->DisplayValueToDrawValue(Variant("abc"), &info_);
  EXPECT_EQ(info_.Text, "***");
  data->EditValueToDrawValue(canvas_.Canvas(), Variant("abcd"), &info_);
  EXPECT_EQ(info_.Text, "****");
  data->IsValueHidden = true;
  data->EditValueToDrawValue(canvas_.Canvas(), Variant("abcd"), &info_);
  EXPECT_EQ(info_.Text, "");
}

TEST_F(TextViewData, StandaloneNoEditTextKeepsAPixelFromTheEdges) {
  struct Case {
    bool hideCursor;
    bool inplace;
    TAlignment horz;
    TRect offset;  // text rectangle against the client rectangle
  } cases[] = {
      {true, false, taLeftJustify, {1, 1, 0, 1}},
      {true, false, taRightJustify, {0, 1, 1, 1}},
      {false, false, taLeftJustify, {0, 0, 0, 0}},
      {true, true, taLeftJustify, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    props_.SetHideCursor(c.hideCursor);
    props_.Alignment()->SetHorz(c.horz);
    auto data = Data(c.inplace);
    Calculate(*data, TRect{0, 0, 120, 40});
    const TRect& client = info_.ClientRect;
    const TRect& text = info_.TextRect;
    EXPECT_EQ((TRect{text.Left - client.Left, text.Top - client.Top,
                     client.Right - text.Right, client.Bottom - text.Bottom}),
              c.offset)
        << c.hideCursor << c.inplace << int(c.horz);
  }
}

TEST_F(TextViewData, OffsetMovesTheLaidOutRowsWithoutANewLayout) {
  auto data = Data();
  Calculate(*data, TRect{0, 0, 150, 20});
  info_.Text = "Hello";
  info_.TextOutData.Initialized = false;
  info_.DrawText(canvas_.Canvas());
  ASSERT_TRUE(info_.TextOutData.Initialized);
  ASSERT_EQ(info_.TextOutData.RowCount, 1);
  const TPoint before = info_.TextOutData.TextRows[0].TextOrigin;
  info_.Offset(7, 3);
  EXPECT_TRUE(info_.TextOutData.Initialized);
  EXPECT_EQ(info_.TextOutData.TextRows[0].TextOrigin,
            (TPoint{before.X + 7, before.Y + 3}));
}

TEST_F(TextViewData, ThePaintedTextAppearsInTheTextRectangle) {
  auto data = Data();
  Calculate(*data, TRect{0, 0, 150, 20});
  info_.Text = "WWW";
  info_.TextColor = clBlack;
  info_.TextOutData.Initialized = false;
  info_.DrawText(canvas_.Canvas());
  bool inked = false;
  for (Integer y = 0; y < 20 && !inked; ++y)
    for (Integer x = 0; x < 150 && !inked; ++x)
      inked = canvas_.Is(x, y, clBlack);
  EXPECT_TRUE(inked);
  EXPECT_FALSE(canvas_.Is(170, 10, clBlack));
}

TEST_F(TextViewData, ContentSizeGrowsWithTheText) {
  auto data = Data();
  const TSize shortSize = GetTextEditContentSize(
      canvas_.Canvas(), data.get(), "ab", data->GetDrawTextFlags(),
      DefaultcxEditSizeProperties, 0, false);
  const TSize longSize = GetTextEditContentSize(
      canvas_.Canvas(), data.get(), "abcdefgh", data->GetDrawTextFlags(),
      DefaultcxEditSizeProperties, 0, false);
  EXPECT_GT(longSize.cx, shortSize.cx);
  EXPECT_EQ(longSize.cy, shortSize.cy);
  EXPECT_GT(shortSize.cy, 0);
}

}  // namespace
