// Button and background painting read back from bitmaps, and repainting
// only what changed.
#include <gtest/gtest.h>

#include "WinApi.h"
#include "cxEditTestCanvas.h"
#include "cxEditUtils.h"
#include "cxEditViewInfo.h"
#include "dxOffice11.h"

using edit_test::kPaper;
using edit_test::TTestCanvas;

namespace {

// A view info with one button over the bounds, as a cell has it.
class ButtonPainting : public ::testing::Test {
 protected:
  TcxEditButtonViewInfo* MakeButton(const TRect& bounds,
                                    TcxEditButtonStyle style,
                                    TcxEditButtonState state,
                                    TcxEditButtonKind kind = bkEllipsis) {
    info_.Bounds = TRect{0, 0, bounds.Right, bounds.Bottom};
    info_.BorderRect = info_.Bounds;
    info_.IsInplace = true;
    info_.BackgroundColor = clWindow;
    info_.SetButtonCount(1);
    TcxEditButtonViewInfo* b = info_.ButtonsInfo[0].get();
    b->Bounds = bounds;
    b->VisibleBounds = bounds;
    b->Data.Style = style;
    b->Data.State = state;
    b->Data.Kind = kind;
    return b;
  }
  void Draw(TTestCanvas& t) { info_.DrawButton(t.Canvas(), 0); }
  TcxCustomEditViewInfo info_;
};

struct TBorderCase {
  TcxEditButtonStyle Style;
  TcxEditButtonState State;
  TColor TopLeft;      // the outer corner pixel
  TColor BottomRight;  // the outer bottom-right pixel
};

TEST_F(ButtonPainting, OuterFrameOfEachLook) {
  const TBorderCase cases[] = {
      {bts3D, ebsNormal, cl3DLight, cl3DDkShadow},
      {bts3D, ebsPressed, clBtnShadow, clBtnShadow},
      {btsHotFlat, ebsNormal, clBtnShadow, clBtnShadow},
      {btsSimple, ebsNormal, clWindow, clWindow},
      {btsUltraFlat, ebsNormal, clBtnFace, clBtnFace},
      {btsUltraFlat, ebsSelected, clHighlight, clHighlight},
      {btsOffice11, ebsSelected, dxOffice11SelectedBorderColor,
       dxOffice11SelectedBorderColor},
  };
  for (const auto& c : cases) {
    TTestCanvas t(20, 18);
    MakeButton(TRect{0, 0, 20, 18}, c.Style, c.State);
    Draw(t);
    EXPECT_TRUE(t.Is(0, 0, c.TopLeft)) << int(c.Style) << "/" << int(c.State);
    EXPECT_TRUE(t.Is(19, 17, c.BottomRight))
        << int(c.Style) << "/" << int(c.State);
  }
}

TEST_F(ButtonPainting, UltraFlatHotButtonIsFilledWithTheHighlightColour) {
  TTestCanvas t(20, 18);
  MakeButton(TRect{0, 0, 20, 18}, btsUltraFlat, ebsSelected);
  Draw(t);
  EXPECT_TRUE(t.Is(2, 2, GetEditButtonHighlightColor(false, false)));
  TTestCanvas pressed(20, 18);
  MakeButton(TRect{0, 0, 20, 18}, btsUltraFlat, ebsPressed);
  Draw(pressed);
  EXPECT_TRUE(pressed.Is(2, 2, GetEditButtonHighlightColor(true, false)));
}

TEST_F(ButtonPainting, PressedSimpleButtonIsDrawnAsFlat) {
  TTestCanvas simple(20, 18);
  MakeButton(TRect{0, 0, 20, 18}, btsSimple, ebsPressed);
  Draw(simple);
  TTestCanvas flat(20, 18);
  MakeButton(TRect{0, 0, 20, 18}, btsFlat, ebsPressed);
  Draw(flat);
  TTestCanvas normal(20, 18);
  MakeButton(TRect{0, 0, 20, 18}, btsSimple, ebsNormal);
  Draw(normal);
  int differences = 0;
  int fromNormal = 0;
  for (Integer y = 0; y < 18; ++y)
    for (Integer x = 0; x < 20; ++x) {
      differences += simple.At(x, y) != flat.At(x, y);
      fromNormal += simple.At(x, y) != normal.At(x, y);
    }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(fromNormal, 0);
}

// The dots of an ellipsis: the set of rows and columns they cover.
void DotSides(TTestCanvas& t, Integer& width, Integer& height) {
  Integer top = -1, bottom = -1, left = -1, right = -1;
  for (Integer y = 0; y < t.Height(); ++y)
    for (Integer x = 0; x < t.Width(); ++x)
      if (t.Is(x, y, clBtnText)) {
        if (top < 0) top = y;
        bottom = y;
        if (left < 0 || x < left) left = x;
        right = std::max(right, x);
      }
  width = right - left + 1;
  height = bottom - top + 1;
}

TEST_F(ButtonPainting, EllipsisDotsAreSide1In11PixelsAndSide2In12) {
  for (const auto& [contentWidth, side] :
       {std::pair{11, 1}, std::pair{12, 2}}) {
    // A simple button's border takes two pixels each side.
    const Integer w = contentWidth + 4;
    TTestCanvas t(w, 20);
    MakeButton(TRect{0, 0, w, 20}, btsSimple, ebsNormal);
    info_.Transparent = true;
    Draw(t);
    Integer width = 0, height = 0;
    DotSides(t, width, height);
    EXPECT_EQ(height, side) << contentWidth;
    EXPECT_EQ(width, 3 * side + 4) << contentWidth;
  }
}

TEST_F(ButtonPainting, DownArrowIsCentred) {
  TTestCanvas t(16, 20);
  MakeButton(TRect{0, 0, 16, 20}, btsSimple, ebsNormal, bkDown);
  info_.Transparent = true;
  Draw(t);
  // Content 12 by 16 from x 2: a 5 by 3 arrow; of the 7 pixels left over
  // the odd one goes to the left.
  Integer rows = 0;
  for (Integer y = 0; y < 20; ++y) {
    const auto run = t.Run(y, clBtnText);
    if (run.second == 0) continue;
    if (rows == 0) {
      EXPECT_EQ(run, std::make_pair(6, 5));
    }
    ++rows;
  }
  EXPECT_EQ(rows, 3);
}

TEST_F(ButtonPainting, DisabledTextIsDrawnTwice) {
  TTestCanvas t(60, 20);
  TcxEditButtonViewInfo* b =
      MakeButton(TRect{0, 0, 60, 20}, bts3D, ebsDisabled, bkText);
  b->Data.VisibleCaption = "Go";
  Draw(t);
  bool highlight = false, shadow = false;
  for (Integer y = 3; y < 17; ++y)
    for (Integer x = 3; x < 57; ++x) {
      highlight |= t.Is(x, y, clBtnHighlight);
      shadow |= t.Is(x, y, clBtnShadow);
    }
  EXPECT_TRUE(highlight);
  EXPECT_TRUE(shadow);
}

TEST_F(ButtonPainting, OwnerDrawnButtonPaintsNothingElse) {
  TTestCanvas t(20, 18);
  MakeButton(TRect{0, 0, 20, 18}, bts3D, ebsNormal);
  int calls = 0;
  info_.OnDrawButton = TcxEditDrawButtonEvent::FromFunction(
      [&](TcxCustomEditViewInfo*, TcxCanvas*, Integer, bool& handled) {
        ++calls;
        handled = true;
      });
  Draw(t);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(t.Is(0, 0, kPaper));
}

// An Office 2003 button with gradient shades the button's column of the
// border rectangle from top to bottom; the others fill solid.
TEST_F(ButtonPainting, Office2003GradientRunsOverTheBorderRectangle) {
  struct TCase {
    TcxEditButtonState State;
    bool Gradient;
    bool Transparent;
    TColor Top, Bottom;  // clNone: a solid fill in the button face
  };
  const TCase cases[] = {
      {ebsNormal, true, false, dxOffice11ToolbarsColor1,
       dxOffice11ToolbarsColor2},
      {ebsSelected, true, false, dxOffice11SelectedColor1,
       dxOffice11SelectedColor2},
      {ebsPressed, true, false, dxOffice11SelectedDownColor1,
       dxOffice11SelectedDownColor2},
      {ebsNormal, false, false, clNone, clNone},
      {ebsDisabled, true, false, clNone, clNone},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.State) << "/" << c.Gradient);
    TTestCanvas t(20, 40);
    TcxEditButtonViewInfo* b =
        MakeButton(TRect{0, 10, 20, 30}, btsOffice11, c.State);
    info_.Bounds = TRect{0, 0, 20, 40};
    info_.BorderRect = info_.Bounds;
    b->Data.Gradient = c.Gradient;
    b->Data.Transparent = c.Transparent;
    Draw(t);
    const TRect column{0, 0, 20, 40};
    for (Integer y : {12, 27}) {
      const TColor want =
          c.Top == clNone
              ? (c.State == ebsNormal || c.State == ebsDisabled
                     ? clBtnFace
                     : GetEditButtonHighlightColor(c.State == ebsPressed, true))
              : GetGradientColorRect(column, y, c.Top, c.Bottom, false);
      // The system's gradient may round a channel the other way.
      const Integer got = t.At(10, y), wanted = ColorToRGB(want);
      for (Integer shift : {0, 8, 16})
        EXPECT_NEAR((got >> shift) & 0xFF, (wanted >> shift) & 0xFF, 1)
            << "row " << y << ": " << std::hex << got << " wanted " << wanted;
    }
    // Nothing above or below the button.
    EXPECT_TRUE(t.Is(10, 5, kPaper));
    EXPECT_TRUE(t.Is(10, 35, kPaper));
  }
}

// A glyph button is put together off the screen and lands where the
// button is, leaving everything around it as it was.
TEST_F(ButtonPainting, GlyphButtonLandsOnItsBounds) {
  TTestCanvas t(40, 30);
  TcxEditButtonViewInfo* b =
      MakeButton(TRect{10, 5, 30, 25}, bts3D, ebsNormal, bkGlyph);
  TObjectPtr<TBitmap> glyph(cxCreateBitmap(4, 4, pf24bit));
  glyph->Canvas()->Brush()->SetColor(clRed);
  glyph->Canvas()->FillRect(TRect{0, 0, 4, 4});
  // The bottom-left pixel names the transparent colour.
  glyph->Canvas()->SetPixels(0, 3, clWhite);
  b->Glyph = glyph.get();
  Draw(t);
  // The 3D frame at the button's corners, the glyph in its middle.
  EXPECT_TRUE(t.Is(10, 5, cl3DLight));
  EXPECT_TRUE(t.Is(29, 24, cl3DDkShadow));
  EXPECT_TRUE(t.Is(20, 15, clRed));
  EXPECT_FALSE(t.Is(12, 7, clRed));
  for (const POINT p :
       {POINT{9, 5}, POINT{30, 24}, POINT{15, 4}, POINT{15, 25}})
    EXPECT_TRUE(t.Is(p.x, p.y, kPaper)) << p.x << "," << p.y;
}

TEST(EditBackground, UsualBackgroundByBorderStyle) {
  TTestCanvas t(30, 20);
  TcxCustomEditViewInfo info;
  info.Bounds = TRect{0, 0, 30, 20};
  info.BorderRect = TRect{1, 1, 29, 19};
  info.EditBorderStyle = ebsSingle;
  info.BorderColor = clRed;
  info.BackgroundColor = clYellow;
  DrawCustomEdit(t.Canvas(), &info, true);
  EXPECT_TRUE(t.Is(0, 0, clRed));
  EXPECT_TRUE(t.Is(29, 19, clRed));
  EXPECT_TRUE(t.Is(5, 5, clYellow));
  // Standalone without AFillContent the inner edit paints its own area.
  TTestCanvas inner(30, 20);
  DrawCustomEdit(inner.Canvas(), &info, false);
  EXPECT_TRUE(inner.Is(0, 0, clRed));
  EXPECT_TRUE(inner.Is(5, 5, kPaper));
}

TEST(EditBackground, TransparentInPlaceEditorPaintsNoBackground) {
  TTestCanvas t(30, 20);
  TcxCustomEditViewInfo info;
  info.Bounds = TRect{0, 0, 30, 20};
  info.BorderRect = info.Bounds;
  info.IsInplace = true;
  info.Transparent = true;
  info.BackgroundColor = clYellow;
  DrawCustomEdit(t.Canvas(), &info, true);
  EXPECT_TRUE(t.Is(5, 5, kPaper));
  EXPECT_EQ(info.GetDrawBackgroundStyle(), dbsNone);
  info.Transparent = false;
  EXPECT_EQ(info.GetDrawBackgroundStyle(), dbsSimpleFill);
  info.OnDrawBackground = TcxEditDrawBackgroundEvent::FromFunction(
      [](TcxCustomEditViewInfo*, TcxCanvas*, bool& handled) {
        handled = true;
      });
  EXPECT_EQ(info.GetDrawBackgroundStyle(), dbsCustom);
}

TEST(EditBackground, OpaqueButtonsAreNotPaintedOver) {
  TTestCanvas t(30, 20);
  TcxCustomEditViewInfo info;
  info.Bounds = TRect{0, 0, 30, 20};
  info.BorderRect = info.Bounds;
  info.IsInplace = true;
  info.BackgroundColor = clYellow;
  info.SetButtonCount(1);
  info.ButtonsInfo[0]->Bounds = TRect{20, 0, 30, 20};
  info.ButtonsInfo[0]->VisibleBounds = TRect{20, 0, 30, 20};
  info.ButtonsInfo[0]->Data.Style = btsDefault;  // draws no border
  info.ButtonsInfo[0]->Data.Kind = bkGlyph;      // and no glyph
  DrawCustomEdit(t.Canvas(), &info, true);
  EXPECT_TRUE(t.Is(5, 5, clYellow));
  // The button's own background, not the editor's.
  EXPECT_TRUE(t.Is(25, 10, clBtnFace));
}

TEST(EditViewInfoUpdate, OneChangedButtonUpdatesOnlyItsBounds) {
  TcxCustomEditViewInfo a, b;
  for (TcxCustomEditViewInfo* v : {&a, &b}) {
    v->Bounds = TRect{0, 0, 100, 20};
    v->SetButtonCount(2);
    v->ButtonsInfo[0]->Bounds = TRect{60, 0, 80, 20};
    v->ButtonsInfo[1]->Bounds = TRect{80, 0, 100, 20};
  }
  b.ButtonsInfo[1]->Data.State = ebsSelected;
  TObjectPtr<TcxRegion> region(b.GetUpdateRegion(&a));
  TcxRegion expected(TRect{80, 0, 100, 20});
  EXPECT_TRUE(region->IsEqual(&expected));
  TObjectPtr<TcxRegion> none(a.GetUpdateRegion(&a));
  EXPECT_TRUE(none->IsEmpty());
  b.BackgroundColor = clRed;
  TObjectPtr<TcxRegion> all(b.GetUpdateRegion(&a));
  TcxRegion bounds(TRect{0, 0, 100, 20});
  EXPECT_TRUE(all->IsEqual(&bounds));
}

TEST(EditViewInfoHitTest, HotTrackByButtons) {
  TcxCustomEditViewInfo v;
  v.Left = 10;
  v.Top = 5;
  v.SetButtonCount(1);
  v.ButtonsInfo[0]->Bounds = TRect{60, 0, 80, 20};
  EXPECT_FALSE(v.IsHotTrack());
  EXPECT_TRUE(v.IsHotTrack(TPoint{75, 10}));
  EXPECT_FALSE(v.IsHotTrack(TPoint{65, 10}));
  v.ButtonsInfo[0]->Data.State = ebsSelected;
  EXPECT_TRUE(v.IsHotTrack());
  v.Offset(5, 0);
  EXPECT_EQ(v.ButtonsInfo[0]->Bounds, (TRect{65, 0, 85, 20}));
}

}  // namespace
