// The bar unit's background, gradient, glyph, size-grip and close-button
// helpers, the drop-down corner routines and the theme colours.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "../foundation/dxUxThemeStandIn.h"
#include "Dialogs.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxBarTestSurface.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

COLORREF Face() { return ::GetSysColor(COLOR_BTNFACE); }

TEST(BarDropDownCornerTest, CornerOfThePopupAgainstItsOwner) {
  const TRect owner{100, 100, 200, 200};
  struct Case {
    TRect popup;
    TdxCorner corner;
    Integer hitTest;
  };
  // The grip goes to the corner of the popup away from its owner.
  const Case cases[] = {
      {{0, 0, 90, 90}, coTopLeft, HTTOPLEFT},
      {{150, 0, 300, 90}, coTopRight, HTTOPRIGHT},
      {{0, 150, 90, 300}, coBottomLeft, HTBOTTOMLEFT},
      {{150, 150, 300, 300}, coBottomRight, HTBOTTOMRIGHT},
      // Edges that only meet do not count as beyond the owner.
      {{0, 0, 100, 200}, coTopLeft, HTTOPLEFT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(int(GetCornerForRects(owner, c.popup)), int(c.corner))
        << c.popup.Left << "," << c.popup.Top;
    EXPECT_EQ(GetHitTestByCorner(c.corner), c.hitTest);
  }
}

TEST(BarDropDownCornerTest, SizingBandIsTallEnoughForTheCloseButton) {
  const Integer h = ::GetSystemMetrics(SM_CYHSCROLL);
  const Integer size = ::GetSystemMetrics(SM_CYSIZE);
  EXPECT_GE(dxDropDownNCHeight(), size + 1 > h + 3 ? size + 1 : h + 3);
  EXPECT_EQ(dxDropDownNCHeight(), h + 2 < size ? size + 1 : h + 3);
}

TEST(BarImageDrawModeTest, StateChoosesTheMode) {
  struct Case {
    TdxBarImageDrawState state;
    Integer depth;
    bool dingyAllowed;
    TcxImageDrawMode mode;
  };
  TdxBarImageDrawState disabled;
  disabled.Enabled = false;
  TdxBarImageDrawState faded = disabled;
  faded.Faded = true;
  TdxBarImageDrawState gray;
  gray.GrayScale = true;
  gray.Flat = true;
  TdxBarImageDrawState flat;
  flat.Flat = true;
  TdxBarImageDrawState flatSelected = flat;
  flatSelected.Selected = true;
  TdxBarImageDrawState shadowed = flatSelected;
  shadowed.Shadow = true;
  TdxBarImageDrawState shadowedDown = shadowed;
  shadowedDown.Down = true;
  TdxBarImageDrawState standard;
  standard.Shadow = true;
  standard.Selected = true;
  const Case cases[] = {
      {disabled, 32, true, idmDisabled}, {faded, 32, true, idmFaded},
      {gray, 32, true, idmGrayScale},    {standard, 32, true, idmNormal},
      {flat, 32, true, idmDingy},        {flat, 8, true, idmNormal},
      {flat, 32, false, idmNormal},      {flatSelected, 32, true, idmNormal},
      {shadowed, 32, true, idmShadowed}, {shadowedDown, 32, true, idmNormal},
  };
  const bool saved = dxBarMakeInactiveImagesDingy;
  for (const Case& c : cases) {
    dxBarMakeInactiveImagesDingy = c.dingyAllowed;
    EXPECT_EQ(dxBarImageDrawMode(c.state, c.depth), c.mode) << &c - cases;
  }
  dxBarMakeInactiveImagesDingy = saved;
  EXPECT_GT(dxBarScreenColorDepth(), 0);
}

TEST(BarDrawHelpersTest, VerticalGradientRunsFromTopToBottom) {
  Surface s(8, 20);
  TCanvas raw;
  raw.SetHandle(s.DC());
  TcxCanvas cx(&raw);
  DrawVerticalGradient(&cx, {0, 0, 8, 20}, 0, 200, 100, 100, 200, 0);
  raw.SetHandle(nullptr);
  const COLORREF top = s.At(3, 0);
  const COLORREF bottom = s.At(3, 19);
  EXPECT_LE(GetRValue(top), 12);
  EXPECT_GE(GetRValue(bottom), 188);
  EXPECT_GE(GetBValue(top), 188);
  EXPECT_LE(GetBValue(bottom), 12);
  EXPECT_EQ(GetGValue(s.At(3, 10)), 100);
  // Every row is one colour, and red grows down the rows.
  for (int y = 1; y < 20; ++y) {
    EXPECT_EQ(s.At(0, y), s.At(7, y)) << y;
    EXPECT_GE(GetRValue(s.At(0, y)), GetRValue(s.At(0, y - 1))) << y;
  }
}

TEST(BarDrawHelpersTest, BackgroundAreaUsesBrushColourOrPicture) {
  TBrushHandle blue(::CreateSolidBrush(RGB(0, 0, 255)));
  Surface byBrush(10, 10), byColour(10, 10), byPicture(10, 10);
  FillBackgroundArea(byBrush.DC(), {2, 2, 8, 8}, {0, 0, 10, 10}, blue.get(),
                     clRed, nullptr);
  EXPECT_EQ(byBrush.At(2, 2), RGB(0, 0, 255));
  EXPECT_EQ(byBrush.At(8, 8), kWhite);
  FillBackgroundArea(byColour.DC(), {2, 2, 8, 8}, {0, 0, 10, 10}, nullptr,
                     clRed, nullptr);
  EXPECT_EQ(byColour.At(7, 7), kRed);
  TObjectPtr<TBitmap> empty(new TBitmap);
  FillBackgroundArea(byColour.DC(), {0, 0, 2, 2}, {0, 0, 10, 10}, nullptr,
                     clLime, empty.get());
  EXPECT_EQ(byColour.At(1, 1), RGB(0, 255, 0));
  // A 2 x 2 picture, black top-left, anchored at (1, 1).
  TObjectPtr<TBitmap> picture(new TBitmap);
  picture->SetWidth(2);
  picture->SetHeight(2);
  HDC p = picture->Canvas()->Handle();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      ::SetPixel(p, x, y, x == 0 && y == 0 ? RGB(0, 0, 0) : kWhite);
  FillBackgroundArea(byPicture.DC(), {0, 0, 6, 6}, {1, 1, 5, 5}, blue.get(),
                     clRed, picture.get());
  EXPECT_EQ(byPicture.At(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(byPicture.At(3, 3), RGB(0, 0, 0));
  EXPECT_EQ(byPicture.At(2, 1), kWhite);
}

TEST(BarDrawHelpersTest, SizeGripKeepsTheBackgroundBetweenItsLines) {
  Surface s(20, 20);
  s.Fill({0, 0, 20, 20}, kRed);
  BarDrawSizeGrip(s.DC(), {2, 2, 18, 18});
  std::set<COLORREF> colours;
  int red = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      colours.insert(s.At(x, y));
      if (s.At(x, y) == kRed) ++red;
    }
  EXPECT_EQ(colours.count(Face()), 0u) << "the grip's face was painted";
  EXPECT_GT(colours.size(), 1u) << "no grip lines";
  // The grip's lines run along the bottom-right; the top-left stays red.
  EXPECT_EQ(s.At(3, 3), kRed);
  EXPECT_GT(red, 20 * 20 / 2);
  // Outside the rectangle nothing changes.
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(s.At(i, 19), kRed);
    EXPECT_EQ(s.At(19, i), kRed);
  }
}

TEST(BarDrawHelpersTest, CloseButtonSitsAwayFromTheGripCorner) {
  const Integer size = ::GetSystemMetrics(SM_CXSIZE);
  const TRect panel{0, 0, 100, 30};
  const Integer top = (panel.Top + panel.Bottom - size - 1) / 2;
  struct Case {
    TdxCorner corner;
    Integer left, top;
  };
  const Case cases[] = {{coTopRight, 0, top},
                        {coBottomRight, 0, top + 1},
                        {coTopLeft, 100 - size, top},
                        {coBottomLeft, 100 - size, top + 1}};
  for (const Case& c : cases) {
    Surface s(100, 30);
    TRect r = panel;
    DrawCloseButton(s.DC(), r, false, c.corner, false);
    const TRect expected{c.left + 1, c.top + 2, c.left + size - 1,
                         c.top + size - 1};
    EXPECT_EQ(r, expected) << c.corner;
    // The cross is drawn inside, nothing outside the face.
    bool inside = false;
    for (const std::string& mark : s.Marked()) {
      const int x = std::stoi(mark);
      const int y = std::stoi(mark.substr(mark.find(',') + 1));
      EXPECT_TRUE(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
          << mark;
      if (s.At(x, y) != Face()) inside = true;
    }
    EXPECT_TRUE(inside) << "no glyph in " << c.corner;
  }
}

TEST(BarDrawHelpersTest, SizeGripIsMirroredToItsCorner) {
  const Integer w = ::GetSystemMetrics(SM_CXVSCROLL);
  const Integer h = ::GetSystemMetrics(SM_CYHSCROLL);
  Surface bottomRight(60, 40), topLeft(60, 40);
  TRect r1{0, 0, 60, 40};
  DrawSizeGrip(bottomRight.DC(), r1, coBottomRight);
  TRect r2{0, 0, 60, 40};
  DrawSizeGrip(topLeft.DC(), r2, coTopLeft);
  EXPECT_EQ(r1, (TRect{60 - w, 40 - h, 60, 40}));
  EXPECT_EQ(r2, (TRect{0, 0, w, h}));
  // The two outer strips of the cell are button face.
  EXPECT_EQ(bottomRight.At(59, 40 - h), Face());
  EXPECT_EQ(bottomRight.At(60 - w, 38), Face());
  EXPECT_EQ(topLeft.At(0, h - 1), Face());
  EXPECT_EQ(topLeft.At(w - 1, 1), Face());
  // Each pixel of one grip is the other's, turned half round.
  int lines = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF a = bottomRight.At(60 - w + x, 40 - h + y);
      const COLORREF b = topLeft.At(w - 1 - x, h - 1 - y);
      EXPECT_EQ(a, b) << x << "," << y;
      if (a != Face()) ++lines;
    }
  EXPECT_GT(lines, 0);
  EXPECT_EQ(bottomRight.At(0, 0), kWhite);
}

TEST(BarDrawHelpersTest, ClonedFontIsANewFontWithTheSameData) {
  TFontHandle font(::CreateFontA(-13, 0, 0, 0, FW_BOLD, TRUE, 0, 0,
                                 DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
  TFontHandle clone(CloneFont(font.get()));
  ASSERT_NE(clone.get(), nullptr);
  EXPECT_NE(clone.get(), font.get());
  LOGFONTA a{}, b{};
  ::GetObjectA(font.get(), sizeof a, &a);
  ::GetObjectA(clone.get(), sizeof b, &b);
  EXPECT_EQ(a.lfHeight, b.lfHeight);
  EXPECT_EQ(a.lfWeight, b.lfWeight);
  EXPECT_EQ(a.lfItalic, b.lfItalic);
  EXPECT_STREQ(a.lfFaceName, b.lfFaceName);
  EXPECT_EQ(CloneFont(nullptr), nullptr);
}

TEST(BarDrawHelpersTest, MessageBoxCarriesTheApplicationTitle) {
  String caption, text;
  Cardinal flags = 0;
  TMessageBoxHandler saved =
      SetMessageBoxHandler([&](const String& t, const String& c, Cardinal f) {
        text = t;
        caption = c;
        flags = f;
        return Integer(IDNO);
      });
  const String title = Application->Title();
  Application->SetTitle("Bar test title");
  const Integer answer = dxBarMessageBox("Reset?", MB_YESNO);
  Application->SetTitle(title);
  SetMessageBoxHandler(saved);
  EXPECT_EQ(answer, IDNO);
  EXPECT_EQ(text, "Reset?");
  EXPECT_EQ(caption, "Bar test title");
  EXPECT_EQ(flags, Cardinal(MB_YESNO));
}

// What the theme answers for colours and part sizes.
struct ThemeAnswers {
  std::set<int> colourStates;  // edit states that have colours
  COLORREF colour = RGB(1, 2, 3);
  std::vector<int> drawnParts;
};
ThemeAnswers& Answers() {
  static ThemeAnswers answers;
  return answers;
}
HRESULT WINAPI AnswerColour(HTHEME, int, int state, int, COLORREF* c) {
  if (Answers().colourStates.count(state) == 0) return E_FAIL;
  *c = Answers().colour;
  return S_OK;
}
HRESULT WINAPI AnswerPartSize(HTHEME, HDC, int, int, const RECT*, TdxThemeSize,
                              SIZE* s) {
  *s = {13, 11};
  return S_OK;
}
HRESULT WINAPI RecordBackground(HTHEME, HDC dc, int part, int state,
                                const RECT* r, const RECT*) {
  Answers().drawnParts.push_back(part * 10 + state);
  TBrushHandle brush(::CreateSolidBrush(RGB(0, 0, 0)));
  ::FillRect(dc, r, brush.get());
  return S_OK;
}

class BarThemeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Answers() = ThemeAnswers{};
    TdxUxThemeEntries e = dxUxThemeEntries();
    e.GetThemeColor = &AnswerColour;
    e.GetThemePartSize = &AnswerPartSize;
    e.DrawThemeBackground = &RecordBackground;
    dxSetUxThemeEntries(e, true);
  }
  TUxThemeStandIn standIn_;
};

TEST_F(BarThemeTest, EditColoursFallBackToSystemColours) {
  HTHEME theme = OpenTheme(totEdit);
  ASSERT_NE(theme, nullptr);
  const TColor window = static_cast<TColor>(::GetSysColor(COLOR_WINDOW));
  const TColor gray = static_cast<TColor>(::GetSysColor(COLOR_GRAYTEXT));
  const TColor text = static_cast<TColor>(::GetSysColor(COLOR_WINDOWTEXT));
  // Without theme colours.
  EXPECT_EQ(ThemedEditBkColor(theme, dxBarThemedEditDisabled), window);
  EXPECT_EQ(ThemedEditTextColor(theme, dxBarThemedEditDisabled), gray);
  EXPECT_EQ(ThemedEditTextColor(theme, dxBarThemedEditNormal), text);
  EXPECT_EQ(ThemedToolbarColor(nullptr),
            static_cast<TColor>(::GetSysColor(COLOR_BTNFACE)));
  // With them: the normal background stays the window colour.
  Answers().colourStates = {0, dxBarThemedEditNormal, dxBarThemedEditDisabled};
  const TColor themed = static_cast<TColor>(Answers().colour);
  EXPECT_EQ(ThemedEditBkColor(theme, dxBarThemedEditNormal), window);
  EXPECT_EQ(ThemedEditBkColor(theme, dxBarThemedEditDisabled), themed);
  EXPECT_EQ(ThemedEditTextColor(theme, dxBarThemedEditDisabled), themed);
  EXPECT_EQ(ThemedToolbarColor(OpenTheme(totToolBar)), themed);
}

TEST_F(BarThemeTest, ThemedCloseButtonAndGripTakeTheThemeSizes) {
  TSize close, grip;
  ThemedCloseButtonSize(close);
  ThemedSizeGripSize(grip);
  EXPECT_EQ(close, (TSize{13, 11}));
  EXPECT_EQ(grip, (TSize{15, 13}));
  Surface s(60, 31);
  TRect r{0, 0, 60, 31};
  DrawThemedCloseButton(s.DC(), r, true, coBottomRight, false);
  // Centred: (31 - 11) div 2 = 10 from the top and from the left edge.
  EXPECT_EQ(r, (TRect{10, 10, 23, 21}));
  TRect pressed{0, 0, 60, 31};
  DrawThemedCloseButton(s.DC(), pressed, true, coBottomLeft, true);
  EXPECT_EQ(pressed, (TRect{37, 10, 50, 21}));
  TRect g{0, 0, 60, 31};
  DrawThemedSizeGrip(s.DC(), g, coBottomRight);
  EXPECT_EQ(g, (TRect{44, 17, 60, 31}));
  EXPECT_EQ(Answers().drawnParts, (std::vector<int>{192, 193, 101}));
  // The box is drawn 2 pixels short on the corner's side.
  EXPECT_EQ(s.At(44, 17), RGB(0, 0, 0));
  EXPECT_EQ(s.At(59, 30), Face());
}

}  // namespace

namespace {

// A plain popup window standing for a drop-down list.
class PopupWindow {
 public:
  explicit PopupWindow(DWORD AStyle = 0)
      : wnd_(::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "",
                               WS_POPUP | WS_VISIBLE | AStyle, 200, 300, 160,
                               120, nullptr, nullptr, nullptr, nullptr)) {}
  ~PopupWindow() { ::DestroyWindow(wnd_); }
  HWND Handle() const { return wnd_; }
  // The window's own pixels, its frame included.
  COLORREF At(int x, int y) const {
    HDC dc = ::GetWindowDC(wnd_);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(wnd_, dc);
    return c;
  }

 private:
  HWND wnd_;
};

TEST(BarDropDownFrameTest, ClientAreaLeavesTheFrameAndTheBand) {
  PopupWindow popup;
  const Integer h = dxDropDownNCHeight();
  struct Case {
    TRect owner;  // screen
    bool sizable;
    TRect client;
    TdxCorner corner;
  };
  const Case cases[] = {
      // Owner above the drop-down: the band at the bottom.
      {{200, 280, 260, 300}, true, {201, 301, 359, 419 - h}, coBottomRight},
      // Owner below: the band at the top.
      {{200, 420, 260, 440}, true, {201, 301 + h, 359, 419}, coTopRight},
      {{200, 280, 260, 300}, false, {201, 301, 359, 419}, coTopLeft},
      // An owner not shown: no band.
      {{}, true, {201, 301, 359, 419}, coTopLeft},
  };
  for (const Case& c : cases) {
    TRect r{200, 300, 360, 420};
    TdxCorner corner = coTopLeft;
    dxBarPopupNCCalcSize(popup.Handle(), r, corner, c.owner, c.sizable);
    EXPECT_EQ(r, c.client) << &c - cases;
    EXPECT_EQ(int(corner), int(c.corner)) << &c - cases;
  }
}

TEST(BarDropDownFrameTest, BandHoldsGripAndCloseButton) {
  PopupWindow popup;
  TRect grip{1, 1, 2, 2}, close{1, 1, 2, 2};
  dxBarPopupNCPaint(popup.Handle(), false, true, false, false, grip, close,
                    coBottomRight);
  EXPECT_TRUE(IsRectEmpty(grip));
  EXPECT_TRUE(IsRectEmpty(close));
  EXPECT_EQ(popup.At(0, 0), ::GetSysColor(COLOR_BTNSHADOW));
  const Integer h = dxDropDownNCHeight();
  struct Case {
    TdxCorner corner;
    bool gripAtRight, bandAtBottom;
  };
  for (const Case& c :
       {Case{coBottomRight, true, true}, Case{coTopLeft, false, false}}) {
    dxBarPopupNCPaint(popup.Handle(), true, false, false, false, grip, close,
                      c.corner);
    EXPECT_EQ(popup.At(0, 0), ::GetSysColor(COLOR_WINDOWFRAME));
    // Both lie in the band, in screen coordinates, at opposite ends.
    const Integer bandTop = c.bandAtBottom ? 300 + 119 - h : 301;
    const Integer bandBottom = c.bandAtBottom ? 419 : 301 + h;
    for (const TRect& r : {grip, close}) {
      EXPECT_FALSE(IsRectEmpty(r)) << int(c.corner);
      EXPECT_GE(r.Top, bandTop - 1) << int(c.corner);
      EXPECT_LE(r.Bottom, bandBottom) << int(c.corner);
    }
    EXPECT_EQ(grip.Left > close.Left, c.gripAtRight) << int(c.corner);
    // The band's line towards the client area is in the frame colour.
    const int lineY = c.bandAtBottom ? 119 - h : h;
    EXPECT_EQ(popup.At(80, lineY), ::GetSysColor(COLOR_WINDOWFRAME))
        << int(c.corner);
  }
}

}  // namespace
