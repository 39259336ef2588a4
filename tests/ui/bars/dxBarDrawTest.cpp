// The bar unit's drawing helpers by their pixels, window placement and the
// menu sounds through their seam.
#include <gtest/gtest.h>
#include <mmsystem.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Forms.h"
#include "Handles.h"
#include "dxBar.h"
#include "dxBarTestSurface.h"

namespace {

TEST(BarDrawTest, ItemArrowSizeFollowsTheRectangle) {
  struct Case {
    TRect r;
    TcxArrowDirection direction;
    std::vector<std::string> pixels;
  };
  const Case cases[] = {
      // 16 wide: size 3, a 5-pixel base at row (16 - 3) / 2.
      {{0, 0, 16, 16},
       adDown,
       {"5,6", "6,6", "7,6", "8,6", "9,6", "6,7", "7,7", "8,7", "7,8"}},
      // 19 wide: size 6, an 11-pixel base; only its corners and apex here.
      {{0, 0, 19, 16}, adDown, {}},
      // Every other direction is a right arrow: height 12 gives size 3.
      {{0, 0, 16, 12},
       adLeft,
       {"6,3", "6,4", "7,4", "6,5", "7,5", "8,5", "6,6", "7,6", "6,7"}},
  };
  for (const Case& c : cases) {
    Surface s(24, 20);
    DrawItemArrow(s.DC(), c.r, c.direction, true, false, true, clBlack);
    if (!c.pixels.empty()) {
      EXPECT_EQ(s.Marked(), c.pixels) << c.r.Right << "x" << c.r.Bottom;
      continue;
    }
    // Size 6: base 11 from x 4 at row (16 - 6) / 2 = 5, apex at (9, 10).
    const std::vector<std::string> marked = s.Marked();
    EXPECT_EQ(marked.size(), 36u);
    EXPECT_EQ(marked.front(), "4,5");
    EXPECT_EQ(marked.back(), "9,10");
    EXPECT_EQ(s.At(14, 5), RGB(0, 0, 0));
    EXPECT_EQ(s.At(15, 5), kWhite);
  }
}

TEST(BarDrawTest, DefaultArrowColourFollowsTheState) {
  struct Case {
    bool enabled, selected;
    int sysColor;
  };
  const Case cases[] = {{false, false, COLOR_BTNSHADOW},
                        {true, false, COLOR_BTNTEXT},
                        {true, true, COLOR_HIGHLIGHTTEXT}};
  for (const Case& c : cases) {
    Surface s(16, 16);
    DrawLargeItemArrow(s.DC(), {0, 0, 16, 16}, true, clDefault, true, c.enabled,
                       c.selected, 3);
    EXPECT_EQ(s.At(7, 8), ::GetSysColor(c.sysColor)) << c.sysColor;
  }
}

TEST(BarDrawTest, DisabledRaisedArrowIsEmbossedBelowRight) {
  Surface flat(16, 16), raised(16, 16);
  DrawLargeItemArrow(flat.DC(), {0, 0, 16, 16}, true, clBlack, true, false,
                     false, 3);
  DrawLargeItemArrow(raised.DC(), {0, 0, 16, 16}, true, clBlack, false, false,
                     false, 3);
  // Apex (7, 8): the emboss lies one pixel right of and below the edge from
  // the base's right end (9, 6).
  EXPECT_EQ(flat.At(8, 9), kWhite);
  EXPECT_EQ(raised.At(8, 9), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(raised.At(10, 6), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(raised.At(7, 8), RGB(0, 0, 0));
  EXPECT_EQ(raised.At(4, 6), kWhite);
}

TEST(BarDrawTest, FramesAreTwoPixelsThick) {
  Surface s(12, 12);
  dxBarFrameRect(s.DC(), {1, 1, 11, 11}, COLOR_BTNTEXT);
  const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  EXPECT_EQ(s.At(1, 5), text);
  EXPECT_EQ(s.At(2, 5), text);
  EXPECT_EQ(s.At(3, 5), kWhite);
  EXPECT_EQ(s.At(10, 10), text);
  EXPECT_EQ(s.At(0, 0), kWhite);
  EXPECT_EQ(s.At(11, 11), kWhite);
}

TEST(BarDrawTest, FocusRectSetsEveryEvenPixelOfBothRings) {
  Surface s(10, 10);
  dxBarFocusRect(s.DC(), {1, 1, 9, 9});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 1 && x < 9 && y >= 1 && y < 9;
      const bool ring = inside && (x < 3 || x >= 7 || y < 3 || y >= 7);
      const COLORREF want =
          ring && (x + y) % 2 == 0 ? ::GetSysColor(COLOR_BTNTEXT) : kWhite;
      EXPECT_EQ(s.At(x, y), want) << x << "," << y;
    }
}

TEST(BarDrawTest, BitmapTilesAreAnchoredAtTheOriginAndClipped) {
  // A 4x4 tile, black only at its top-left pixel.
  TObjectPtr<TBitmap> tile(new TBitmap);
  tile->SetWidth(4);
  tile->SetHeight(4);
  RECT all{0, 0, 4, 4};
  ::FillRect(tile->Canvas()->Handle(), &all,
             static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SetPixel(tile->Canvas()->Handle(), 0, 0, RGB(0, 0, 0));
  Surface s(16, 16);
  FillRectByBitmap(s.DC(), {3, 3, 11, 11}, {1, 2, 5, 6}, tile.get());
  // Grid lines at x = 1, 5, 9, 13 and y = 2, 6, 10, 14; only those inside.
  EXPECT_EQ(s.Marked(),
            (std::vector<std::string>{"5,6", "9,6", "5,10", "9,10"}));
  // Nothing at all for an empty origin rect or an empty bitmap.
  Surface untouched(16, 16);
  FillRectByBitmap(untouched.DC(), {0, 0, 16, 16}, {1, 1, 1, 5}, tile.get());
  TObjectPtr<TBitmap> empty(new TBitmap);
  FillRectByBitmap(untouched.DC(), {0, 0, 16, 16}, {0, 0, 4, 4}, empty.get());
  EXPECT_TRUE(untouched.Marked().empty());
}

TEST(BarDrawTest, ClipRegionIsPutBackAsItWas) {
  Surface s(8, 8);
  HRGN region = nullptr;
  bool had = true;
  SaveClipRgn(s.DC(), region, had);
  EXPECT_FALSE(had);
  ::IntersectClipRect(s.DC(), 0, 0, 2, 2);
  RestoreClipRgn(s.DC(), region, had);
  EXPECT_EQ(region, nullptr);
  RECT all{0, 0, 8, 8};
  ::FillRect(s.DC(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(s.At(7, 7), RGB(0, 0, 0));

  // A clip region that existed comes back.
  ::IntersectClipRect(s.DC(), 0, 0, 4, 4);
  SaveClipRgn(s.DC(), region, had);
  EXPECT_TRUE(had);
  ::SelectClipRgn(s.DC(), nullptr);
  RestoreClipRgn(s.DC(), region, had);
  ::FillRect(s.DC(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(s.At(1, 1), kWhite);
  EXPECT_EQ(s.At(7, 7), RGB(0, 0, 0));
}

// Records what a menu sound asks the system for.
struct SoundCall {
  std::string alias;
  bool stop;
  DWORD flags;
};
std::vector<SoundCall> gSoundCalls;
BOOL WINAPI RecordSound(LPCSTR AName, HMODULE, DWORD AFlags) {
  gSoundCalls.push_back({AName ? AName : "", AName == nullptr, AFlags});
  return TRUE;
}

class BarSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gSoundCalls.clear();
    savedProc_ = dxBarPlaySoundProc;
    savedPlay_ = dxBarPlaySound;
    dxBarPlaySoundProc = RecordSound;
  }
  void TearDown() override {
    dxBarPlaySoundProc = savedProc_;
    dxBarPlaySound = savedPlay_;
  }
  TdxBarPlaySoundProc savedProc_ = nullptr;
  bool savedPlay_ = true;
};

TEST_F(BarSoundTest, MenuSoundsAskForTheSystemAliases) {
  dxBarPlaySound = true;
  dxBarPlayMenuSound(msMenuPopup);
  dxBarPlayMenuSound(msMenuCommand);
  dxBarPlayMenuSound(msStop);
  ASSERT_EQ(gSoundCalls.size(), 3u);
  EXPECT_EQ(gSoundCalls[0].alias, "MenuPopup");
  EXPECT_EQ(gSoundCalls[1].alias, "MenuCommand");
  EXPECT_TRUE(gSoundCalls[2].stop);
  for (const SoundCall& call : gSoundCalls) EXPECT_EQ(call.flags, 0x12003u);
}

TEST_F(BarSoundTest, NoSoundWhenTurnedOff) {
  dxBarPlaySound = false;
  dxBarPlayMenuSound(msMenuPopup);
  dxBarPlayMenuSound(msMenuCommand);
  EXPECT_TRUE(gSoundCalls.empty());
}

TEST(BarWindowTest, ZOrderNeverMovesOrSizesTheWindow) {
  HWND a = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 30,
                             30, nullptr, nullptr, nullptr, nullptr);
  HWND b = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 30,
                             30, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(a && b);
  RECT before{};
  ::GetWindowRect(a, &before);
  dxSetZOrder(a, HWND_TOP, false);
  RECT after{};
  ::GetWindowRect(a, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
  // a now lies above b: the window above b in z-order chain is a.
  EXPECT_EQ(::GetWindow(b, GW_HWNDPREV), a);
  ::DestroyWindow(a);
  ::DestroyWindow(b);
}

TEST(BarWindowTest, LayeredStyleComesAndGoesWithTheAlpha) {
  ASSERT_NE(SetLayeredWindowAttributesProc, nullptr);
  ASSERT_NE(AnimateWindowProc, nullptr);
  HWND w = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 20, 20, nullptr,
                             nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  auto layered = [&] {
    return (::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  };
  SetLayeredWndAttributes(w, 200);
  EXPECT_TRUE(layered());
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_TRUE(::GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
  SetLayeredWndAttributes(w, 255);
  EXPECT_FALSE(layered());
  ::DestroyWindow(w);
}

TEST(BarUnitResourcesTest, HalfToneBrushIsRebuiltOnColourChange) {
  const HBRUSH before = dxBarPatternBrush();
  ::SendMessageA(BarSystemController()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  const HBRUSH after = dxBarPatternBrush();
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before);
  // The old brush is gone; the new one paints face and highlight by parity.
  EXPECT_EQ(::GetObjectType(before), 0u);
  Surface s(4, 4);
  RECT r{0, 0, 4, 4};
  ::FillRect(s.DC(), &r, after);
  EXPECT_EQ(s.At(0, 0), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(s.At(1, 1), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(s.At(1, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

}  // namespace

// The four cursors of the bar manager are the program's own, with the hot
// spots their pictures were drawn for.
TEST(BarUnitResourcesTest, CursorsAreLoadedWithTheirHotSpots) {
  struct Row {
    TCursor Cursor;
    DWORD HotX, HotY;
  };
  const Row rows[] = {{crdxBarDrag, 0, 0},
                      {crdxBarDragCopy, 0, 0},
                      {crdxBarDragNoDrop, 15, 15},
                      {crdxBarEditSizing, 16, 15}};
  std::vector<HCURSOR> seen;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Cursor);
    const HCURSOR cursor = Screen->Cursors(row.Cursor);
    ASSERT_NE(cursor, nullptr);
    EXPECT_NE(cursor, Screen->Cursors(crDefault));
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    TBitmapHandle mask(info.hbmMask), colour(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, row.HotX);
    EXPECT_EQ(info.yHotspot, row.HotY);
    seen.push_back(cursor);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
}
