// The visual-styles painter against a recording stand-in of the theme
// library: which parts and states it asks for, what it does with the
// answers, and how it falls back when a theme class is missing.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "cxPaintersTestCanvas.h"
#include "dxUxThemeStandIn.h"

using namespace painters_test;

namespace {

struct TDrawnPart {
  int Part;
  int State;
  RECT Rect;
};

// What the extra entries answer and record.
struct TThemeAnswers {
  std::vector<TDrawnPart> Drawn;
  std::vector<std::tuple<int, int, int>> ColorAsked;  // part, state, prop
  std::optional<COLORREF> Color;                      // none: the call fails
  // Part sizes by (part, kind); missing ones fail.
  std::map<std::pair<int, int>, SIZE> Sizes;
};

TThemeAnswers& Answers() {
  static TThemeAnswers answers;
  return answers;
}

HRESULT WINAPI RecordDrawThemeBackground(HTHEME, HDC, int part, int state,
                                         const RECT* r, const RECT*) {
  Answers().Drawn.push_back({part, state, *r});
  return S_OK;
}

HRESULT WINAPI AnswerGetThemeColor(HTHEME, int part, int state, int prop,
                                   COLORREF* color) {
  Answers().ColorAsked.emplace_back(part, state, prop);
  if (!Answers().Color) return E_FAIL;  // leaves the out value alone
  *color = *Answers().Color;
  return S_OK;
}

HRESULT WINAPI AnswerGetThemePartSize(HTHEME, HDC, int part, int, const RECT*,
                                      TdxThemeSize kind, SIZE* size) {
  auto it = Answers().Sizes.find({part, kind});
  if (it == Answers().Sizes.end()) return E_FAIL;
  *size = it->second;
  return S_OK;
}

HRESULT WINAPI AnswerContentRect(HTHEME, HDC, int, int, const RECT* r,
                                 RECT* content) {
  *content = RECT{r->left + 3, r->top + 4, r->right - 3, r->bottom - 4};
  return S_OK;
}

BOOL WINAPI NotTransparent(HTHEME, int, int) { return FALSE; }

// The stand-in plus the drawing and measuring entries of this test.
class ThemedPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Answers() = TThemeAnswers{};
    TdxUxThemeEntries e = dxUxThemeEntries();
    e.DrawThemeBackground = &RecordDrawThemeBackground;
    e.GetThemeColor = &AnswerGetThemeColor;
    e.GetThemePartSize = &AnswerGetThemePartSize;
    e.GetThemeBackgroundContentRect = &AnswerContentRect;
    e.IsThemeBackgroundPartiallyTransparent = &NotTransparent;
    dxSetUxThemeEntries(e, true);
  }

  void Missing(std::initializer_list<const wchar_t*> classes) {
    for (const wchar_t* c : classes) {
      UxThemeRecord().MissingClasses.insert(c);
    }
  }

  static TcxLookAndFeelPainterClass XP() {
    return P<TcxWinXPLookAndFeelPainter>();
  }

  TUxThemeStandIn standIn_;
};

// ---------------------------------------------------------------------------
// ButtonColor: the theme's colour, clBtnFace when there is none
// ---------------------------------------------------------------------------

TEST_F(ThemedPainterTest, ButtonColorIsTheColourTheThemeGives) {
  Answers().Color = RGB(10, 20, 30);
  EXPECT_EQ(XP()->ButtonColor(cxbsHot), TColor(RGB(10, 20, 30)));
  ASSERT_EQ(Answers().ColorAsked.size(), 1u);
  EXPECT_EQ(Answers().ColorAsked[0], std::make_tuple(1, 2, 204));
}

TEST_F(ThemedPainterTest, ButtonColorIsButtonFaceWhenTheThemeGivesNone) {
  for (TcxButtonState state :
       {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) {
    EXPECT_EQ(XP()->ButtonColor(state), clBtnFace) << int(state);
  }
  EXPECT_EQ(Answers().ColorAsked.size(), 5u);
}

TEST_F(ThemedPainterTest, ButtonColorWithoutTheButtonClassIsTheBaseColour) {
  Missing({L"Button"});
  Answers().Color = RGB(10, 20, 30);
  EXPECT_EQ(XP()->ButtonColor(cxbsNormal), clBtnFace);
  EXPECT_TRUE(Answers().ColorAsked.empty());
}

// ---------------------------------------------------------------------------
// State mapping
// ---------------------------------------------------------------------------

TEST_F(ThemedPainterTest, StatesMapToThePushButtonAndCheckBoxTables) {
  const TcxButtonState states[] = {cxbsDefault, cxbsNormal, cxbsHot,
                                   cxbsPressed, cxbsDisabled};
  const int push[] = {5, 1, 2, 3, 4};
  const int unchecked[] = {1, 1, 2, 3, 4};
  const int checked[] = {5, 5, 6, 7, 8};
  TTestCanvas t(20, 20);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(BtnStateToXPBtnState(states[i]), push[i]);
    Answers().Drawn.clear();
    XP()->DrawCheck(t.Canvas(), t.Bounds(), states[i], false, clDefault);
    XP()->DrawCheck(t.Canvas(), t.Bounds(), states[i], true, clDefault);
    ASSERT_EQ(Answers().Drawn.size(), 2u);
    EXPECT_EQ(Answers().Drawn[0].Part, 3);
    EXPECT_EQ(Answers().Drawn[0].State, unchecked[i]);
    EXPECT_EQ(Answers().Drawn[1].State, checked[i]);
  }
}

TEST_F(ThemedPainterTest, ScrollBarArrowStateCombinesDirectionAndState) {
  TTestCanvas t(16, 16);
  struct Case {
    TcxArrowDirection Direction;
    TcxButtonState State;
    int Expected;
  };
  for (const Case& c : {Case{adUp, cxbsNormal, 1}, Case{adUp, cxbsDefault, 1},
                        Case{adDown, cxbsHot, 6}, Case{adLeft, cxbsPressed, 11},
                        Case{adRight, cxbsDisabled, 16}}) {
    Answers().Drawn.clear();
    XP()->DrawArrow(t.Canvas(), t.Bounds(), c.State, c.Direction, false);
    ASSERT_EQ(Answers().Drawn.size(), 1u);
    EXPECT_EQ(Answers().Drawn[0].Part, 1);
    EXPECT_EQ(Answers().Drawn[0].State, c.Expected);
  }
}

TEST_F(ThemedPainterTest, ScrollBarPartsUseTheirThemeParts) {
  TTestCanvas t(16, 40);
  struct Case {
    bool Horizontal;
    TcxScrollBarPart Part;
    TcxButtonState State;
    std::vector<std::pair<int, int>> Expected;  // part, state
  };
  const std::vector<Case> cases{
      {false, sbpThumbnail, cxbsHot, {{3, 2}, {9, 0}}},
      {true, sbpThumbnail, cxbsPressed, {{2, 3}, {8, 0}}},
      {true, sbpPageUp, cxbsNormal, {{4, 1}}},
      {true, sbpPageDown, cxbsDisabled, {{5, 4}}},
      {false, sbpPageUp, cxbsPressed, {{6, 3}}},
      {false, sbpPageDown, cxbsDefault, {{7, 1}}},
      {false, sbpNone, cxbsNormal, {}},
  };
  for (const Case& c : cases) {
    Answers().Drawn.clear();
    XP()->DrawScrollBarPart(t.Canvas(), c.Horizontal, t.Bounds(), c.Part,
                            c.State);
    std::vector<std::pair<int, int>> drawn;
    for (const auto& d : Answers().Drawn) drawn.emplace_back(d.Part, d.State);
    EXPECT_EQ(drawn, c.Expected)
        << int(c.Part) << " horizontal " << c.Horizontal;
  }
  Answers().Drawn.clear();
  XP()->DrawScrollBarPart(t.Canvas(), false, TRect{0, 0, 0, 10}, sbpThumbnail,
                          cxbsNormal);
  EXPECT_TRUE(Answers().Drawn.empty());
}

// ---------------------------------------------------------------------------
// Falling back per theme class
// ---------------------------------------------------------------------------

TEST_F(ThemedPainterTest, MissingHeaderClassDrawsTheClassicHeader) {
  Missing({L"Header"});
  TTestCanvas t(40, 20);
  XP()->DrawButton(t.Canvas(), TRect{0, 0, 20, 10}, "", cxbsNormal);
  ASSERT_EQ(Answers().Drawn.size(), 1u);
  EXPECT_EQ(Answers().Drawn[0].Part, 1);  // the push button, themed
  Answers().Drawn.clear();

  XP()->DrawHeader(t.Canvas(), t.Bounds(), t.Bounds(), TcxNeighbors{},
                   cxBordersAll, cxbsNormal, taLeftJustify, vaCenter, false,
                   false, "", nullptr, clBtnText, clRed);
  EXPECT_TRUE(Answers().Drawn.empty());
  // The standard raised edge and the background colour inside.
  EXPECT_EQ(t.At(0, 0), FromColor(clBtnHighlight));
  EXPECT_EQ(t.At(39, 19), FromColor(clBtnShadow));
  EXPECT_EQ(t.At(20, 10), FromColor(clRed));
  EXPECT_EQ(XP()->HeaderBorderSize(), 1);
}

TEST_F(ThemedPainterTest, ThemedHeaderDrawsThePartAndItsText) {
  TTestCanvas t(40, 20);
  XP()->DrawHeader(t.Canvas(), t.Bounds(), t.Bounds(), TcxNeighbors{},
                   cxBordersAll, cxbsDisabled, taLeftJustify, vaCenter, false,
                   false, "Name", nullptr, clBtnText, clRed);
  ASSERT_EQ(Answers().Drawn.size(), 1u);
  EXPECT_EQ(Answers().Drawn[0].Part, 1);
  EXPECT_EQ(Answers().Drawn[0].State, 1);  // a disabled header looks normal
  ASSERT_EQ(UxThemeRecord().Texts.size(), 1u);
  EXPECT_EQ(UxThemeRecord().Texts[0], L"Name");
  // The background colour is not used.
  EXPECT_EQ(t.At(20, 10), FromColor(kPaper));
  // (3 + 4) div 2 from the content margins.
  EXPECT_EQ(XP()->HeaderBorderSize(), 3);
}

TEST_F(ThemedPainterTest, BordersFallBackToTheStandardPainterWithoutListView) {
  Missing({L"ListView"});
  EXPECT_EQ(XP()->BorderSize(), 2);
  TTestCanvas t(10, 10);
  XP()->DrawBorder(t.Canvas(), t.Bounds());
  EXPECT_TRUE(Answers().Drawn.empty());
  EXPECT_EQ(t.At(0, 0), FromColor(clBtnShadow));
  EXPECT_EQ(t.At(1, 1), FromColor(cl3DDkShadow));
}

TEST_F(ThemedPainterTest, ThemedBorderShowsOnlyAOnePixelFrame) {
  TTestCanvas t(10, 10);
  XP()->DrawBorder(t.Canvas(), t.Bounds());
  ASSERT_EQ(Answers().Drawn.size(), 1u);
  EXPECT_EQ(Answers().Drawn[0].Part, 5);
  EXPECT_EQ(Answers().Drawn[0].State, 0);
  // The clip region is as it was afterwards.
  EXPECT_TRUE(t.Canvas()->RectVisible(TRect{4, 4, 6, 6}));
}

// ---------------------------------------------------------------------------
// Minimal thumb size
// ---------------------------------------------------------------------------

TEST_F(ThemedPainterTest, MinimalThumbSizeIsNeverBelowEight) {
  struct Case {
    std::optional<SIZE> Minimum, True;
    bool Vertical;
    Integer Expected;
  };
  const std::vector<Case> cases{
      {std::nullopt, SIZE{20, 20}, true, 8},  // no minimum: 8
      {SIZE{3, 5}, std::nullopt, true, 8},    // too small
      {SIZE{3, 12}, std::nullopt, true, 12},  // only the minimum
      {SIZE{3, 12}, SIZE{3, 10}, true, 14},   // true + 4 wins
      {SIZE{30, 3}, SIZE{10, 3}, false, 30},  // minimum wins
      {SIZE{2, 2}, SIZE{2, 2}, false, 8},
  };
  for (const Case& c : cases) {
    Answers().Sizes.clear();
    const int part = c.Vertical ? 9 : 8;
    if (c.Minimum) Answers().Sizes[{part, dxTS_MIN}] = *c.Minimum;
    if (c.True) Answers().Sizes[{part, dxTS_TRUE}] = *c.True;
    EXPECT_EQ(XP()->ScrollBarMinimalThumbSize(c.Vertical), c.Expected);
  }
  Missing({L"ScrollBar"});
  EXPECT_EQ(XP()->ScrollBarMinimalThumbSize(true), 8);
}

// ---------------------------------------------------------------------------
// Metrics
// ---------------------------------------------------------------------------

TEST_F(ThemedPainterTest, FixedMetricsOfTheThemedPainter) {
  EXPECT_EQ(XP()->LookAndFeelStyle(), lfsNative);
  EXPECT_EQ(XP()->ButtonTextOffset(), 2);
  EXPECT_EQ(XP()->ButtonTextShift(), 0);
  EXPECT_TRUE(XP()->IsButtonHotTrack());
  EXPECT_TRUE(XP()->IsHeaderHotTrack());
  EXPECT_FALSE(XP()->DrawExpandButtonFirst());
  EXPECT_FALSE(XP()->FooterDrawCellsFirst());
  EXPECT_EQ(XP()->SortingMarkSize(), (TPoint{7, 8}));
  EXPECT_EQ(XP()->CheckBorderSize(), 0);
  EXPECT_EQ(XP()->ButtonBorderSize(cxbsNormal), 3);  // the content margin
  EXPECT_EQ(XP()->BorderSize(), 1);
}

TEST_F(ThemedPainterTest, WithoutTheButtonClassCheckMetricsAreClassic) {
  Missing({L"Button"});
  EXPECT_EQ(XP()->CheckBorderSize(), 2);
  EXPECT_EQ(XP()->ButtonBorderSize(cxbsDefault), 2);
  TTestCanvas t(12, 10);
  XP()->DrawButton(t.Canvas(), t.Bounds(), "", cxbsNormal);
  EXPECT_TRUE(Answers().Drawn.empty());
  EXPECT_EQ(t.At(0, 0), FromColor(clBtnHighlight));
}

TEST_F(ThemedPainterTest, PartSizesComeFromTheTheme) {
  Answers().Sizes[{2, dxTS_TRUE}] = SIZE{13, 13};  // tree glyph, radio
  Answers().Sizes[{3, dxTS_TRUE}] = SIZE{15, 14};  // check box
  Answers().Sizes[{19, dxTS_TRUE}] = SIZE{9, 8};   // small close button
  EXPECT_EQ(XP()->ExpandButtonSize(), 13);
  EXPECT_EQ(XP()->SmallExpandButtonSize(), 13);
  EXPECT_EQ(XP()->CheckButtonSize(), (TSize{15, 14}));
  EXPECT_EQ(XP()->RadioButtonSize(), (TSize{13, 13}));
  EXPECT_EQ(XP()->FilterCloseButtonSize(), (TPoint{13, 12}));
}

}  // namespace
