#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "UiDriverWin.h"
#include "cxGraphicsTestSupport.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "dxOffice11.h"

using namespace cxgraphics_test;

namespace {

TcxLookAndFeelPainterClass Base() {
  return TcxCustomLookAndFeelPainter::Instance();
}

// A painter that changes a few colours and metrics, to show that the base
// operations call the most derived versions.
class TTestPainter : public TcxCustomLookAndFeelPainter {
  VARNEL_CLASS(TTestPainter, TcxCustomLookAndFeelPainter)
 public:
  static TcxLookAndFeelPainterClass Instance() {
    return cxPainterInstance<TTestPainter>();
  }
  TColor DefaultContentColor() const override { return TColor(0x123456); }
  TColor DefaultGridLineColor() const override { return TColor(0x010203); }
  TColor DefaultHeaderColor() const override { return TColor(0x0A0B0C); }
  TColor DefaultVGridLineColor() const override { return TColor(0x111111); }
  Integer HeaderBorderSize() const override { return 2; }
  Integer ButtonBorderSize(TcxButtonState) const override { return 3; }
  TColor ButtonColor(TcxButtonState) const override { return kFace; }
  void DrawButtonBorder(TcxCanvas* ACanvas, TRect R,
                        TcxButtonState) const override {
    ACanvas->FillRect(R, kBorder);
  }
  TPoint SortingMarkSize() const override { return TPoint{7, 5}; }

  static constexpr TColor kFace = TColor(0x00C000);
  static constexpr TColor kBorder = TColor(0x0000C0);
};

struct DrawSurface {
  explicit DrawSurface(Integer w, Integer h, TColor fill = clWhite)
      : bitmap(MakeBitmap(w, h, fill)), canvas(bitmap->Canvas()) {}
  Pixel At(Integer x, Integer y) { return Pixels(bitmap.get()).At(x, y); }
  TObjectPtr<TBitmap> bitmap;
  TcxCanvas canvas;
};

}  // namespace

TEST(cxLookAndFeelPainters, EachPainterClassHasOneSharedObject) {
  EXPECT_EQ(Base(), TcxCustomLookAndFeelPainter::Instance());
  EXPECT_EQ(TcxFlatLookAndFeelPainter::Instance(),
            TcxFlatLookAndFeelPainter::Instance());
  const std::vector<TcxLookAndFeelPainterClass> all = {
      Base(),
      TcxStandardLookAndFeelPainter::Instance(),
      TcxFlatLookAndFeelPainter::Instance(),
      TcxUltraFlatLookAndFeelPainter::Instance(),
      TcxOffice11LookAndFeelPainter::Instance(),
      TcxWinXPLookAndFeelPainter::Instance()};
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j)
      EXPECT_NE(all[i], all[j]) << i << " " << j;
  EXPECT_EQ(TcxOffice11LookAndFeelPainter::Instance()->ClassType(),
            TcxOffice11LookAndFeelPainter::StaticClass());
  EXPECT_EQ(GetCurrentPainterClass(),
            TcxUltraFlatLookAndFeelPainter::Instance());
}

TEST(cxLookAndFeelPainters, BaseColoursAndMetrics) {
  const auto* p = Base();
  EXPECT_EQ(p->DefaultContentColor(), clWindow);
  EXPECT_EQ(p->DefaultFilterBoxTextColor(), clBtnHighlight);
  EXPECT_EQ(p->DefaultGroupByBoxColor(), clBtnShadow);
  EXPECT_EQ(p->DefaultHyperlinkTextColor(), TColor(0xFF0000));
  EXPECT_EQ(p->DefaultSchedulerBorderColor(), TColor(0x0000FF));
  EXPECT_EQ(p->DefaultSchedulerViewContentColor(), TColor(0xD5FFFF));
  EXPECT_EQ(p->DefaultChartPieDiagramSeriesSiteCaptionColor(),
            TColor(0xF0CAA6));
  EXPECT_EQ(p->DefaultChartPieDiagramSeriesSiteCaptionTextColor(),
            TColor(0x800000));
  EXPECT_EQ(p->DefaultVGridCategoryTextColor(), clDefault);
  EXPECT_EQ(p->LookAndFeelStyle(), lfsStandard);
  EXPECT_EQ(p->CheckBorderSize(), 2);
  EXPECT_EQ(p->GroupExpandButtonSize(), 15);
  EXPECT_EQ(p->SmallExpandButtonSize(), 9);
  EXPECT_EQ(p->FilterCloseButtonSize(), (TPoint{16, 14}));
  EXPECT_EQ(p->FilterDropDownButtonSize(), (TPoint{15, 0}));
  EXPECT_EQ(p->SortingMarkAreaSize(), (TPoint{16, 0}));
  EXPECT_EQ(p->PopupBorderStyle(), pbsUltraFlat);
  EXPECT_EQ(p->ScrollBarMinimalThumbSize(true), 8);
  EXPECT_EQ(p->HeaderControlSectionBorderSize(cxbsPressed), 1);
  EXPECT_TRUE(p->DrawExpandButtonFirst());
  EXPECT_FALSE(p->IsHeaderHotTrack());
  EXPECT_EQ(p->SizeGripSize(), (TSize{::GetSystemMetrics(SM_CXVSCROLL),
                                      ::GetSystemMetrics(SM_CYHSCROLL)}));
  EXPECT_EQ(p->CheckButtonSize(), cxCheckBoxSize());
  EXPECT_GT(cxCheckBoxSize().cx, 0);

  const struct {
    TcxButtonState state;
    TColor check;
  } checks[] = {{cxbsDefault, clWindow},
                {cxbsNormal, clWindow},
                {cxbsHot, clWindow},
                {cxbsPressed, clBtnFace},
                {cxbsDisabled, clBtnFace}};
  for (const auto& c : checks) {
    EXPECT_EQ(p->CheckButtonColor(c.state), c.check) << int(c.state);
    EXPECT_EQ(p->ButtonColor(c.state), clBtnFace) << int(c.state);
  }
  EXPECT_EQ(p->ButtonSymbolColor(cxbsDisabled, clRed), clBtnShadow);
  EXPECT_EQ(p->ButtonSymbolColor(cxbsHot, clDefault), clBtnText);
  EXPECT_EQ(p->ButtonSymbolColor(cxbsHot, clRed), clRed);
}

TEST(cxLookAndFeelPainters, DerivedColoursFollowTheMostDerivedPainter) {
  const auto* p = TTestPainter::Instance();
  EXPECT_EQ(p->DefaultContentEvenColor(), TColor(0x123456));
  EXPECT_EQ(p->DefaultContentOddColor(), TColor(0x123456));
  EXPECT_EQ(p->DefaultRecordSeparatorColor(), TColor(0x010203));
  EXPECT_EQ(p->DefaultVGridCategoryColor(), TColor(0x0A0B0C));
  EXPECT_EQ(p->DefaultVGridBandLineColor(), TColor(0x111111));
  EXPECT_EQ(p->ButtonGroupBorderSizes(3, 1), (TRect{3, 3, 3, 3}));
}

TEST(cxLookAndFeelPainters, HeaderGeometry) {
  const auto* p = TTestPainter::Instance();  // header border 2
  const TRect r{10, 20, 110, 40};
  EXPECT_EQ(p->HeaderContentBounds(r, {bLeft, bBottom}),
            (TRect{12, 20, 110, 38}));
  // The base header borders are all four, so HeaderBounds never grows.
  EXPECT_EQ(p->HeaderBounds(r, {nLeft}, cxBordersAll), r);
  EXPECT_EQ(p->HeaderHeight(13), 13 + 2 * (2 + 2));
  EXPECT_EQ(p->FooterCellTextAreaBounds(r), (TRect{12, 22, 108, 38}));

  DrawSurface s(10, 10);
  const Integer text = s.canvas.TextWidth("Header text");
  EXPECT_EQ(p->HeaderWidth(&s.canvas, {bLeft, bRight}, "Header text", nullptr),
            text + 4);
  EXPECT_EQ(p->HeaderWidth(&s.canvas, {bLeft}, "Header text", nullptr),
            text + 4 + 2);
  EXPECT_EQ(p->HeaderWidth(&s.canvas, {bRight}, "Header text", nullptr),
            text + 4 - 2);
}

TEST(cxLookAndFeelPainters, SimpleRectangleOperations) {
  const auto* p = Base();
  EXPECT_EQ(p->ButtonFocusRect(nullptr, TRect{0, 0, 20, 20}),
            (TRect{4, 4, 16, 16}));
  EXPECT_EQ(p->ButtonFocusRect(nullptr, TRect{0, 0, 8, 20}),
            (TRect{0, 0, 8, 20}));
  EXPECT_EQ(
      p->HeaderControlSectionTextAreaBounds(TRect{0, 0, 5, 5}, cxbsPressed),
      (TRect{1, 1, 6, 6}));
  EXPECT_EQ(p->HeaderControlSectionTextAreaBounds(TRect{0, 0, 5, 5}, cxbsHot),
            (TRect{0, 0, 5, 5}));
  EXPECT_EQ(cxTextRect(TRect{0, 0, 10, 10}), (TRect{2, 2, 8, 8}));
  EXPECT_TRUE(p->IsPointOverGroupExpandButton(TRect{0, 0, 5, 5}, {4, 4}));
  EXPECT_FALSE(p->IsPointOverGroupExpandButton(TRect{0, 0, 5, 5}, {5, 4}));

  const struct {
    bool horizontal;
    TcxScrollBarPart part;
    TcxArrowDirection expected;
  } directions[] = {{false, sbpLineUp, adUp},     {false, sbpLineDown, adDown},
                    {false, sbpPageUp, adDown},   {true, sbpLineUp, adLeft},
                    {true, sbpLineDown, adRight}, {true, sbpNone, adRight}};
  for (const auto& d : directions)
    EXPECT_EQ(p->GetArrowDirection(d.horizontal, d.part), d.expected)
        << d.horizontal << " " << int(d.part);
}

TEST(cxLookAndFeelPainters, ArrowPoints) {
  const auto* p = Base();
  const struct {
    TRect r;
    TcxArrowDirection direction;
    bool proportional;
    TPoint p0, p1, p2;
    Integer size = 0;
  } cases[] = {
      // 10 x 10: depth (10 - 1) div 4 + 1 = 3, base 5; the half-way rows
      // round halves away from zero (MulDiv (7, 1, 2) = 4).
      {{0, 0, 10, 10}, adUp, false, {2, 6}, {4, 4}, {6, 6}},
      {{0, 0, 10, 10}, adDown, false, {6, 4}, {4, 6}, {2, 4}},
      {{0, 0, 10, 10}, adLeft, false, {5, 7}, {3, 5}, {5, 3}},
      {{0, 0, 10, 10}, adRight, false, {3, 3}, {5, 5}, {3, 7}},
      // 20 x 10 proportional: the centred 10 x 10 square (5..15).
      {{0, 0, 20, 10}, adUp, true, {7, 6}, {9, 4}, {11, 6}},
      // An explicit size overrides the depth.
      {{0, 0, 10, 10}, adDown, false, {5, 4}, {4, 5}, {3, 4}, 2},
  };
  for (const auto& c : cases) {
    TPoint p0, p1, p2;
    p->CalculateArrowPoints(c.r, p0, p1, p2, c.direction, c.proportional,
                            c.size);
    EXPECT_EQ(p0, c.p0) << int(c.direction);
    EXPECT_EQ(p1, c.p1) << int(c.direction);
    EXPECT_EQ(p2, c.p2) << int(c.direction);
  }
}

TEST(cxLookAndFeelPainters, ButtonFillsInsideBorderWithButtonColour) {
  const auto* p = TTestPainter::Instance();
  DrawSurface s(30, 20);
  p->DrawButton(&s.canvas, TRect{0, 0, 30, 20}, "", cxbsNormal);
  EXPECT_EQ(s.At(0, 0), FromColor(TTestPainter::kBorder));
  EXPECT_EQ(s.At(2, 2), FromColor(TTestPainter::kBorder));
  EXPECT_EQ(s.At(3, 3), FromColor(TTestPainter::kFace));
  EXPECT_EQ(s.At(26, 16), FromColor(TTestPainter::kFace));
  EXPECT_EQ(s.At(27, 17), FromColor(TTestPainter::kBorder));
}

TEST(cxLookAndFeelPainters, ButtonCaptionRows) {
  // The caption of a low or odd button moves up by a row.
  const auto* p = Base();
  const struct {
    Integer height;
    Integer top, bottom;  // the rectangle the text is centred in
  } cases[] = {{17, -1, 15}, {16, -1, 15}, {18, 0, 18}, {19, 0, 18}};
  for (const auto& c : cases) {
    DrawSurface actual(60, 40), expected(60, 40);
    const Integer y = 10;
    p->DrawButton(&actual.canvas, TRect{0, y, 60, y + c.height}, "Xg",
                  cxbsNormal, false, clWhite, clBlack);
    expected.canvas.FillRect(TRect{0, y, 60, y + c.height}, clWhite);
    expected.canvas.Brush()->SetStyle(bsClear);
    expected.canvas.Font()->SetColor(clBlack);
    expected.canvas.DrawTexT(
        "Xg", TRect{0, y + c.top, 60, y + c.bottom},
        cxtfAlignHCenter | cxtfAlignVCenter | cxtfSingleLine | cxtfShowPrefix);
    bool same = true;
    Pixels a(actual.bitmap.get()), e(expected.bitmap.get());
    for (Integer py = 0; py < 40 && same; ++py)
      for (Integer px = 0; px < 60 && same; ++px)
        same = a.At(px, py) == e.At(px, py);
    EXPECT_TRUE(same) << "height " << c.height;
  }
}

TEST(cxLookAndFeelPainters, ContentBackgroundEventKeepsBackgroundButDrawsText) {
  const auto* p = Base();
  DrawSurface s(80, 20, clWhite);
  bool called = false;
  auto handled = TcxDrawBackgroundEvent::FromFunction(
      [&](TcxCanvas*, const TRect&) { return called = true; });
  p->DrawContent(&s.canvas, TRect{0, 0, 80, 20}, TRect{0, 0, 80, 20}, 0,
                 taLeftJustify, vaTop, false, false, "WWW", nullptr, clBlack,
                 clRed, handled, false);
  EXPECT_TRUE(called);
  EXPECT_EQ(s.At(79, 19), FromColor(clWhite));
  bool text = false;
  Pixels px(s.bitmap.get());
  for (Integer y = 0; y < 20; ++y)
    for (Integer x = 0; x < 40; ++x) text |= px.At(x, y) == FromColor(clBlack);
  EXPECT_TRUE(text);

  DrawSurface plain(80, 20, clWhite);
  p->DrawContent(&plain.canvas, TRect{0, 0, 80, 20}, TRect{0, 0, 80, 20}, 0,
                 taLeftJustify, vaTop, false, false, "", nullptr, clBlack,
                 clRed);
  EXPECT_EQ(plain.At(79, 19), FromColor(clRed));
}

TEST(cxLookAndFeelPainters, ScrollBarArrowDisabledIsEmbossed) {
  const auto* p = Base();
  DrawSurface s(16, 16, clWhite);
  p->DrawScrollBarArrow(&s.canvas, TRect{0, 0, 16, 16}, cxbsDisabled, adUp);
  TPoint p0, p1, p2;
  p->CalculateArrowPoints(TRect{0, 0, 16, 16}, p0, p1, p2, adUp, true);
  // The base row of the triangle is shadow; one row below it is highlight.
  EXPECT_EQ(s.At(p1.X, p0.Y), FromColor(clBtnShadow));
  EXPECT_EQ(s.At(p1.X + 1, p0.Y + 1), FromColor(clBtnHighlight));

  DrawSurface n(16, 16, clWhite);
  p->DrawScrollBarArrow(&n.canvas, TRect{0, 0, 16, 16}, cxbsNormal, adUp);
  EXPECT_EQ(n.At(p1.X, p0.Y), FromColor(clBtnText));
  EXPECT_EQ(n.At(p1.X + 1, p0.Y + 1), FromColor(clWhite));
}

TEST(cxLookAndFeelPainters, CheckOnClearBrushDrawsOnlyTheTick) {
  const auto* p = Base();
  DrawSurface s(13, 13, clRed);
  s.canvas.Brush()->SetStyle(bsClear);
  p->DrawCheck(&s.canvas, TRect{0, 0, 13, 13}, cxbsNormal, true, clBlack);
  EXPECT_EQ(s.At(0, 0), FromColor(clRed));
  Integer black = 0;
  Pixels px(s.bitmap.get());
  for (Integer y = 0; y < 13; ++y)
    for (Integer x = 0; x < 13; ++x) black += px.At(x, y) == FromColor(clBlack);
  EXPECT_GT(black, 10);

  DrawSurface solid(13, 13, clRed);
  p->DrawCheck(&solid.canvas, TRect{0, 0, 13, 13}, cxbsPressed, false, clBlack);
  EXPECT_EQ(solid.At(0, 0), FromColor(clBtnFace));
}

TEST(cxLookAndFeelPainters, ExpandButtonCross) {
  const auto* p = Base();
  for (bool expanded : {false, true}) {
    DrawSurface s(9, 9, clWhite);
    p->DrawSmallExpandButton(&s.canvas, TRect{0, 0, 9, 9}, expanded, clRed,
                             clDefault);
    EXPECT_EQ(s.At(0, 0), FromColor(clRed));
    EXPECT_EQ(s.At(8, 8), FromColor(clRed));
    // half = (9 - 4) div 2 = 2 around the centre (4, 4).
    EXPECT_EQ(s.At(2, 4), FromColor(clBtnText));
    EXPECT_EQ(s.At(6, 4), FromColor(clBtnText));
    EXPECT_EQ(s.At(1, 4), FromColor(clWhite));
    EXPECT_EQ(s.At(4, 2) == FromColor(clBtnText), !expanded);
    EXPECT_EQ(s.At(4, 6) == FromColor(clBtnText), !expanded);
  }
}

TEST(cxLookAndFeelPainters, SortingArrowEdges) {
  // Right edge light, left edge dark; the base takes the light colour when
  // ascending.
  const auto* p = TTestPainter::Instance();  // mark 7 x 5
  for (bool ascending : {true, false}) {
    DrawSurface s(20, 20, clWhite);
    p->DrawSortingArrow(&s.canvas, TRect{0, 0, 20, 20}, clBlue, clLime,
                        ascending);
    Integer blue = 0, lime = 0;
    Pixels px(s.bitmap.get());
    for (Integer y = 0; y < 20; ++y)
      for (Integer x = 0; x < 20; ++x) {
        blue += px.At(x, y) == FromColor(clBlue);
        lime += px.At(x, y) == FromColor(clLime);
      }
    EXPECT_GT(blue, 0) << ascending;
    EXPECT_GT(lime, 0) << ascending;
    // Nothing left of the apex column's neighbours is light.
    for (Integer y = 0; y < 20; ++y)
      for (Integer x = 0; x < 8; ++x)
        EXPECT_NE(px.At(x, y), FromColor(clLime)) << x << "," << y;
  }
}

TEST(cxLookAndFeelPainters, ClockHandsAndTicks) {
  DrawSurface s(60, 60, clRed);
  // 6:00:00: the hour hand points down, minute and second hands up.
  Base()->DrawClock(&s.canvas, TRect{0, 0, 60, 60}, 0.25, clWhite);
  const Pixel teal = FromColor(TColor(0x808000));
  EXPECT_EQ(s.At(30, 44), teal);                         // hour hand
  EXPECT_EQ(s.At(30, 16), FromColor(TColor(0x0000FF)));  // second hand
  EXPECT_EQ(s.At(32, 24), teal);  // minute hand, wider than the line
  EXPECT_EQ(s.At(5, 5), FromColor(clWhite));
  // The tick at three o'clock: (30 + 28, 30) with its two lit corners.
  EXPECT_EQ(s.At(58, 30), teal);
  EXPECT_EQ(s.At(57, 29), FromColor(TColor(0xFFFF00)));
  EXPECT_EQ(s.At(59, 31), FromColor(clBtnText));
  // Corners that no line reaches keep what was there.
  EXPECT_EQ(s.At(59, 29), FromColor(clRed));
}

TEST(cxLookAndFeelPainters, IndicatorImagesArePixelExact) {
  const char* const glyphs[] = {
      "ooXooooo ooXXoooo ooXXXooo ooXXXXoo ooXXXXXo ooXXXXoo ooXXXooo "
      "ooXXoooo ooXooooo",
      "oXXoXXoo oooXoooo oooXoooo oooXoooo oooXoooo oooXoooo oooXoooo "
      "oooXoooo oXXoXXoo",
      "oooooooo oooXoooo oXoXoXoo ooXXXooo oooXoooo ooXXXooo oXoXoXoo "
      "oooXoooo oooooooo",
      "oooooooo oooooooo oooXoooo ooXXXooo ooXXXooo ooXXXooo oooXoooo "
      "oooooooo oooooooo",
      "ooXooooo ooXXoooo ooooXooo ooXooXoo ooXXoXXo ooXooXoo ooooXooo "
      "ooXXoooo ooXooooo",
      "oooooooo XXXXXXXX XooooooX XooooooX oXooooXo ooXXXXoo ooXooXoo "
      "ooXooXoo ooXXXXoo"};
  ASSERT_NE(cxIndicatorImages(), nullptr);
  ASSERT_EQ(cxIndicatorImages()->Count(), 6);
  EXPECT_EQ(cxIndicatorImages()->Width(), 8);
  EXPECT_EQ(cxIndicatorImages()->Height(), 9);
  for (Integer kind = ikArrow; kind <= ikFilter; ++kind) {
    DrawSurface s(8, 9, clRed);  // red shows through the transparent parts
    Base()->DrawIndicatorImage(&s.canvas, TRect{0, 0, 8, 9},
                               static_cast<TcxIndicatorKind>(kind));
    const std::string rows = glyphs[kind - 1];
    Pixels px(s.bitmap.get());
    for (Integer y = 0; y < 9; ++y)
      for (Integer x = 0; x < 8; ++x) {
        const char c = rows[y * 9 + x];
        EXPECT_EQ(px.At(x, y), FromColor(c == 'X' ? clBlack : clRed))
            << "kind " << kind << " at " << x << "," << y;
      }
  }
  DrawSurface none(8, 9, clRed);
  Base()->DrawIndicatorImage(&none.canvas, TRect{0, 0, 8, 9}, ikNone);
  EXPECT_EQ(none.At(2, 4), FromColor(clRed));
}

TEST(cxLookAndFeelPainters, IndicatorItemCentresTheGlyph) {
  DrawSurface s(20, 21, clWhite);
  Base()->DrawIndicatorItem(&s.canvas, TRect{0, 0, 20, 21}, ikArrow, clLime);
  // Base header has no border: the item is the colour with the glyph
  // centred at ((20 - 8) div 2, (21 - 9) div 2) = (6, 6).
  EXPECT_EQ(s.At(0, 0), FromColor(clLime));
  EXPECT_EQ(s.At(6 + 2, 6), FromColor(clBlack));
  EXPECT_EQ(s.At(6 + 2 + 4, 6 + 4), FromColor(clBlack));
  EXPECT_EQ(s.At(6 + 3, 6), FromColor(clLime));
}

TEST(cxLookAndFeelPainters, TrackPatternsAreCheckerboards) {
  UpdateScrollBarBitmaps();
  for (Integer i = 0; i < 2; ++i) {
    TBitmap* pattern = cxScrollBarTrackPattern(i);
    ASSERT_NE(pattern, nullptr);
    ASSERT_EQ(pattern->Width(), 8);
    ASSERT_EQ(pattern->Height(), 8);
    const TColor same = i == 0 ? clBtnFace : clBlack;
    const TColor other = i == 0 ? clBtnHighlight : cl3DDkShadow;
    Pixels px(pattern);
    for (Integer y = 0; y < 8; ++y)
      for (Integer x = 0; x < 8; ++x)
        EXPECT_EQ(px.At(x, y), FromColor((x + y) % 2 == 0 ? same : other))
            << i << " " << x << "," << y;
  }
  EXPECT_EQ(cxScrollBarTrackPattern(2), nullptr);
}

// ---------------------------------------------------------------------------
// System palette notifier
// ---------------------------------------------------------------------------

TEST(cxSystemPaletteChangedNotifier, ColourChangeReachesPrimaryThenOrdinary) {
  std::vector<std::string> calls;
  auto recorder = [&](const char* name) {
    return TcxSystemPaletteChangedEvent::FromFunction(
        [&calls, name] { calls.push_back(name); });
  };
  TcxSystemPaletteChangedNotifier a(true);
  a.SetOnSystemPaletteChanged(recorder("A"));
  TcxSystemPaletteChangedNotifier c(false);
  c.SetOnSystemPaletteChanged(recorder("C"));
  TcxSystemPaletteChangedNotifier b(true);
  b.SetOnSystemPaletteChanged(recorder("B"));
  TcxSystemPaletteChangedNotifier silent(false);  // no event: nothing called

  HWND window = cxSystemPaletteListenerWindow();
  ASSERT_NE(window, nullptr);
  // Posted directly, here and below: only the system sends this message,
  // and making it send one would change the session's colours.
  ASSERT_TRUE(::PostMessageA(window, WM_SYSCOLORCHANGE, 0, 0));
  ASSERT_TRUE(
      ui_test::WaitUntil([&] { return calls.size() >= 3; }, "three notifiers"));
  EXPECT_EQ(calls, (std::vector<std::string>{"B", "A", "C"}));
}

TEST(cxSystemPaletteChangedNotifier, LookAndFeelsHearAfterPrimaryNotifiers) {
  std::vector<std::string> calls;
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.OnChanged = TcxLookAndFeelChangedEvent::FromFunction(
      [&calls](TcxLookAndFeel*, TcxLookAndFeelValues AValues) {
        if (AValues.Contains(lfvNativeStyle)) calls.push_back("look-and-feel");
      });
  TcxSystemPaletteChangedNotifier primary(true);  // made after it
  primary.SetOnSystemPaletteChanged(TcxSystemPaletteChangedEvent::FromFunction(
      [&calls] { calls.push_back("primary"); }));
  ASSERT_TRUE(
      ::PostMessageA(cxSystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0));
  ASSERT_TRUE(
      ui_test::WaitUntil([&] { return calls.size() >= 2; }, "both notifiers"));
  // The look-and-feel may hear more than once (its own notifier and its
  // master's), but never before the primary notifiers.
  EXPECT_EQ(calls.front(), "primary");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "primary"), 1);
}

TEST(cxSystemPaletteChangedNotifier, NotifierFreedDuringChangeIsSkipped) {
  std::vector<std::string> calls;
  auto later = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  later->SetOnSystemPaletteChanged(TcxSystemPaletteChangedEvent::FromFunction(
      [&calls] { calls.push_back("freed"); }));
  TcxSystemPaletteChangedNotifier killer(false);  // told first (made last)
  killer.SetOnSystemPaletteChanged(
      TcxSystemPaletteChangedEvent::FromFunction([&calls, &later] {
        calls.push_back("killer");
        later.reset();
      }));
  ASSERT_TRUE(
      ::PostMessageA(cxSystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0));
  ASSERT_TRUE(
      ui_test::WaitUntil([&] { return !calls.empty(); }, "the first notifier"));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(calls, (std::vector<std::string>{"killer"}));
}

TEST(cxSystemPaletteChangedNotifier, OfficeColoursAreRefreshedBeforeNotifiers) {
  // The listener holds the Office 2003 colours while it exists.
  EXPECT_GT(dxOffice11ColorsRefCount(), 0);
  TColor seen = clNone;
  TcxSystemPaletteChangedNotifier primary(true);
  primary.SetOnSystemPaletteChanged(TcxSystemPaletteChangedEvent::FromFunction(
      [&seen] { seen = dxOffice11SelectedBorderColor; }));
  ASSERT_TRUE(
      ::PostMessageA(cxSystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0));
  ASSERT_TRUE(ui_test::WaitUntil([&] { return seen != clNone; },
                                 "the primary notifier"));
  EXPECT_EQ(seen, dxOffice11SelectedBorderColor);
}

// ---------------------------------------------------------------------------
// Radio-button images
// ---------------------------------------------------------------------------

namespace {

// The colour at the glyph's centre (the dot) and at a corner (outside).
struct RadioSample {
  Pixel centre;
  Pixel corner;
};

RadioSample DrawRadio(TcxLookAndFeelPainterClass APainter,
                      TcxButtonState AState, bool AChecked,
                      TColor ABrushColor = TColor(0x00FF00)) {
  const TSize size = APainter->RadioButtonSize();
  DrawSurface s(size.cx + 4, size.cy + 4, TColor(0xFF00FF));
  APainter->DrawRadioButton(&s.canvas, 2, 2, AState, AChecked, false,
                            ABrushColor);
  return {s.At(2 + (size.cx - 1) / 2, 2 + (size.cy - 1) / 2), s.At(2, 2)};
}

}  // namespace

TEST(cxRadioButtonImages, ImageListHoldsEveryCombination) {
  TcxRadioButtonImageList* list = PrepareRadioButtonImageList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list, PrepareRadioButtonImageList());
  EXPECT_EQ(list->ImageCount(), 128);
  const TSize size = list->GlyphSize();
  EXPECT_GE(size.cx, 8);
  EXPECT_GE(size.cy, 8);
  EXPECT_LE(size.cx, cxCheckBoxSize().cx);
  EXPECT_EQ(Base()->RadioButtonSize(), size);
}

TEST(cxRadioButtonImages, DotColours) {
  const struct {
    TcxLookAndFeelPainterClass painter;
    TcxButtonState state;
    bool checked;
    TColor dot;
  } cases[] = {
      {TcxFlatLookAndFeelPainter::Instance(), cxbsNormal, true, clWindowText},
      {TcxFlatLookAndFeelPainter::Instance(), cxbsDisabled, true, clBtnShadow},
      {TcxFlatLookAndFeelPainter::Instance(), cxbsNormal, false, clWindow},
      {TcxFlatLookAndFeelPainter::Instance(), cxbsPressed, false, clBtnFace},
      {TcxStandardLookAndFeelPainter::Instance(), cxbsDisabled, false,
       clBtnFace},
      {TcxOffice11LookAndFeelPainter::Instance(), cxbsDisabled, true,
       dxOffice11TextDisabledColor},
      {TcxUltraFlatLookAndFeelPainter::Instance(), cxbsHot, false,
       GetLightSelColor()},
  };
  for (const auto& c : cases) {
    const RadioSample s = DrawRadio(c.painter, c.state, c.checked);
    EXPECT_EQ(s.centre, FromColor(c.dot))
        << c.painter->ClassName() << " state " << int(c.state);
    EXPECT_EQ(s.corner, FromColor(TColor(0x00FF00)))
        << c.painter->ClassName() << " state " << int(c.state);
  }
}

TEST(cxRadioButtonImages, DefaultStateDrawsAsNormal) {
  const auto* flat = TcxFlatLookAndFeelPainter::Instance();
  const TSize size = flat->RadioButtonSize();
  DrawSurface normal(size.cx, size.cy), byDefault(size.cx, size.cy);
  flat->DrawRadioButton(&normal.canvas, 0, 0, cxbsNormal, true, false, clWhite);
  flat->DrawRadioButton(&byDefault.canvas, 0, 0, cxbsDefault, true, false,
                        clWhite);
  Pixels a(normal.bitmap.get()), b(byDefault.bitmap.get());
  for (Integer y = 0; y < size.cy; ++y)
    for (Integer x = 0; x < size.cx; ++x)
      EXPECT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
}

TEST(cxRadioButtonImages, DefaultBrushDrawsTransparently) {
  const RadioSample s = DrawRadio(TcxFlatLookAndFeelPainter::Instance(),
                                  cxbsNormal, true, clDefault);
  EXPECT_EQ(s.corner, FromColor(TColor(0xFF00FF)));
  EXPECT_EQ(s.centre, FromColor(clWindowText));
}

TEST(cxRadioButtonImages, ColourChangeRebuildsAndKeepsTheSize) {
  TcxRadioButtonImageList* list = PrepareRadioButtonImageList();
  const TSize size = list->GlyphSize();
  bool told = false;
  TcxSystemPaletteChangedNotifier after(false);
  after.SetOnSystemPaletteChanged(
      TcxSystemPaletteChangedEvent::FromFunction([&told] { told = true; }));
  ASSERT_TRUE(
      ::PostMessageA(cxSystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0));
  ASSERT_TRUE(ui_test::WaitUntil([&] { return told; }, "the notifier"));
  EXPECT_EQ(PrepareRadioButtonImageList(), list);
  EXPECT_EQ(list->GlyphSize(), size);
  EXPECT_EQ(list->ImageCount(), 128);
  const RadioSample s =
      DrawRadio(TcxFlatLookAndFeelPainter::Instance(), cxbsNormal, true);
  EXPECT_EQ(s.centre, FromColor(clWindowText));
}

// ---------------------------------------------------------------------------
// Skin painter registry
// ---------------------------------------------------------------------------

namespace {

class TListenerProbe : public TInterfacedObject,
                       public IcxLookAndFeelPainterListener {
  VARNEL_CLASS(TListenerProbe, TInterfacedObject)
 public:
  TListenerProbe(std::vector<std::string>* ALog, const char* AName)
      : log_(ALog), name_(AName) {}
  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }
  void PainterChanged(TcxLookAndFeelPainterClass APainter) override {
    log_->push_back(name_ + ":" + APainter->ClassName());
  }

 private:
  std::vector<std::string>* log_;
  std::string name_;
};

class TDataProbe : public TObject {
  VARNEL_CLASS(TDataProbe, TObject)
 public:
  explicit TDataProbe(bool* AFreed) : freed_(AFreed) {}
  ~TDataProbe() override { *freed_ = true; }

 private:
  bool* freed_;
};

}  // namespace

TEST(cxExtendedStylePainters, RegisterFindUnregister) {
  TcxExtendedStylePainters registry;
  std::vector<std::string> log;
  TIntfPtr<IcxLookAndFeelPainterListener> first(
      new TListenerProbe(&log, "first"));
  TIntfPtr<IcxLookAndFeelPainterListener> second(
      new TListenerProbe(&log, "second"));
  registry.AddListener(first.get());
  registry.AddListener(second.get());
  registry.AddListener(first.get());  // already there

  bool freed = false;
  const auto* flat = TcxFlatLookAndFeelPainter::Instance();
  EXPECT_TRUE(registry.Register("Lilac", flat, new TDataProbe(&freed)));
  EXPECT_EQ(log, (std::vector<std::string>{"second:TcxFlatLookAndFeelPainter",
                                           "first:TcxFlatLookAndFeelPainter"}));
  log.clear();

  TDataProbe* refused = new TDataProbe(&freed);
  EXPECT_FALSE(registry.Register("LILAC", Base(), refused));
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(freed);
  TObjectPtr<TDataProbe> refusedOwner(refused);  // still the caller's
  EXPECT_EQ(registry.Count(), 1);

  TcxLookAndFeelPainterClass found = nullptr;
  EXPECT_TRUE(registry.GetPainterByName("lilac", found));
  EXPECT_EQ(found, flat);
  String name = "stale";
  EXPECT_TRUE(registry.GetNameByPainter(flat, name));
  EXPECT_EQ(name, "Lilac");
  EXPECT_FALSE(registry.GetNameByPainter(Base(), name));
  EXPECT_EQ(name, "");
  TObject* data = nullptr;
  EXPECT_TRUE(registry.GetPainterData(flat, data));
  EXPECT_NE(data, nullptr);
  TcxExtendedStylePainterInfo* info = nullptr;
  EXPECT_EQ(registry.FindInfoByName("LiLaC", info), 0);
  EXPECT_EQ(info, registry.GetItem(0));

  registry.RemoveListener(first.get());
  EXPECT_TRUE(registry.Unregister("lilac"));
  EXPECT_TRUE(freed);
  EXPECT_EQ(log,
            (std::vector<std::string>{"second:TcxFlatLookAndFeelPainter"}));
  EXPECT_FALSE(registry.Unregister("lilac"));
  EXPECT_EQ(registry.Count(), 0);
  registry.RemoveListener(second.get());
}

TEST(cxExtendedStylePainters, UnitRegistryExistsAndIsEmpty) {
  ASSERT_NE(GetExtendedStylePainters(), nullptr);
  EXPECT_EQ(GetExtendedStylePainters()->Count(), 0);
}
