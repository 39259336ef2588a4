// A toolbar and a menu on the screen, painted by each painter and read back
// as pixels: the menu's frame and background, a group separator, a checked
// entry without a glyph, a disabled entry and a sub-menu arrow, and the
// toolbar's split drop-down button; the themed painter on the recording
// stand-in of the visual-styles library.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarKindControls.h"
#include "dxBarMenuTestSupport.h"
#include "dxBarSubMenu.h"
#include "dxBarTestSurface.h"
#include "dxBarThemeRecorder.h"

namespace {

using namespace ui_test;

// The same system colour reader as the other painter tests: a batch of
// test files shares one namespace scope.
using bar_test::Sys;

// What a bar window paints in its client area, into a bitmap.
class TWindowPixels {
 public:
  explicit TWindowPixels(HWND AWnd) {
    RECT r{};
    ::GetClientRect(AWnd, &r);
    surface_ = std::make_unique<Surface>(r.right, r.bottom);
    ::SendMessageA(AWnd, WM_PAINT, reinterpret_cast<WPARAM>(surface_->DC()), 0);
  }
  COLORREF At(int X, int Y) const { return surface_->At(X, Y); }
  int Count(const TRect& R, COLORREF AColor) const {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) n += At(x, y) == AColor;
    return n;
  }

 private:
  std::unique_ptr<Surface> surface_;
};

class BarPainterPixelsTest : public bar_test::TBarFormTest {
 protected:
  // Shows the toolbar with its split drop-down button and opens the menu,
  // all painted by the manager's painter for AStyle.
  void Build(TdxBarManagerStyle AStyle) {
    manager_->SetStyle(AStyle);
    checked_ = Button("Checked");
    checked_->SetButtonStyle(bsChecked);
    checked_->SetDown(true);
    disabled_ = Button("Disabled");
    disabled_->SetEnabled(false);
    more_ = SubItem("More", {Button("Inside")});
    menu_ = Menu({checked_, disabled_, more_});
    menu_->ItemLinks()->Items(1)->SetBeginGroup(true);
    drop_ = Button("Drop");
    drop_->SetButtonStyle(bsDropDown);
    drop_->SetDropDownMenu(Menu({Button("Any")}));
    TdxBar* bar = manager_->Bars()->Add();
    bar->SetCaption("Tools");
    bar->ItemLinks()->Add(drop_);
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    ShowForm();
    toolbar_ = bar->Control();
    menu_->PopupEx(200, 200, 0, 0, false, nullptr, false, nullptr);
    PumpUntilIdle();
    open_ = menu_->SubMenuControl();
  }
  static TdxBarItemControl* ControlOf(TdxBarItem* AItem) {
    return AItem->GetLinkCount() ? AItem->GetLinks(0)->Control() : nullptr;
  }
  // The entry's text part: right of its icon column.
  TRect TextPart(TdxBarItem* AItem) const {
    TRect r = ControlOf(AItem)->GetItemBounds();
    r.Left += open_->TextSize() + 4;
    r.Right -= open_->TextSize();
    return r;
  }
  TRect IconPart(TdxBarItem* AItem) const {
    TRect r = ControlOf(AItem)->GetItemBounds();
    r.Right = r.Left + open_->TextSize();
    return r;
  }
  TRect SeparatorStrip() const {
    return open_->ViewInfo()->GetSeparatorInfo(0).Bounds;
  }
  // The row of the separator's line: the first one with shadow pixels.
  int LineRow(const TWindowPixels& APixels) const {
    const TRect s = SeparatorStrip();
    for (int y = s.Top; y < s.Bottom; ++y)
      if (APixels.Count(Rect(s.Left, y, s.Right, y + 1), Sys(COLOR_BTNSHADOW)) >
          s.Width() / 2)
        return y;
    return -1;
  }
  // The first column of the line.
  int LineStart(const TWindowPixels& APixels, int ARow) const {
    const TRect s = SeparatorStrip();
    for (int x = s.Left; x < s.Right; ++x)
      if (APixels.At(x, ARow) == Sys(COLOR_BTNSHADOW)) return x - s.Left;
    return -1;
  }

  TCursorPosGuard cursor_;
  TdxBarButton* checked_ = nullptr;
  TdxBarButton* disabled_ = nullptr;
  TdxBarSubItem* more_ = nullptr;
  TdxBarButton* drop_ = nullptr;
  TdxBarPopupMenu* menu_ = nullptr;
  TCustomdxBarControl* toolbar_ = nullptr;
  TdxBarSubMenuControl* open_ = nullptr;
};

struct TLook {
  TdxBarManagerStyle Style;
  const char* Name;
  int SeparatorIndent;  // where the line starts in the strip
  int MenuBackground;   // the system colour behind the entries
  bool EmbossedDisabled;
};

TEST_F(BarPainterPixelsTest, MenusAndToolbarsOfTheClassicPainters) {
  const TLook looks[] = {
      {bmsStandard, "standard", 2, COLOR_BTNFACE, true},
      {bmsEnhanced, "enhanced", 12, COLOR_BTNFACE, true},
      {bmsFlat, "flat", -1, COLOR_WINDOW, false},
  };
  for (const TLook& look : looks) {
    SCOPED_TRACE(look.Name);
    TearDown();
    SetUp();
    Build(look.Style);
    ASSERT_TRUE(open_);
    ASSERT_TRUE(toolbar_);
    // Every entry fits, with the group separator above the second.
    ASSERT_EQ(3, open_->ViewInfo()->GetItemControlCount());
    ASSERT_EQ(1, open_->ViewInfo()->GetSeparatorCount());
    const TWindowPixels menu(open_->Handle());

    // The background behind an entry's caption.
    const TRect text = TextPart(more_);
    EXPECT_GT(menu.Count(text, Sys(look.MenuBackground)), text.Width() * 4);

    // A group separator above the disabled entry.
    const int row = LineRow(menu);
    ASSERT_GE(row, 0) << "no separator line";
    if (look.SeparatorIndent >= 0) {
      EXPECT_EQ(look.SeparatorIndent, LineStart(menu, row));
      EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT),
                menu.At(SeparatorStrip().Left + 20, row + 1))
          << "an etched line";
    } else {
      // Flat: one line after the icon band, at the strip's middle.
      const TRect s = SeparatorStrip();
      EXPECT_EQ((s.Top + s.Bottom) / 2, row);
      EXPECT_GT(LineStart(menu, row), open_->TextSize());
    }

    // The checked entry without a glyph shows a black check mark.
    EXPECT_GT(menu.Count(IconPart(checked_), RGB(0, 0, 0)), 4);
    EXPECT_EQ(0, menu.Count(IconPart(more_), RGB(0, 0, 0)));

    // The disabled caption: embossed, or grey text, never the text colour.
    const TRect gone = TextPart(disabled_);
    EXPECT_EQ(0, menu.Count(gone, Sys(COLOR_BTNTEXT)));
    if (look.EmbossedDisabled) {
      EXPECT_GT(menu.Count(gone, Sys(COLOR_BTNSHADOW)), 5);
      EXPECT_GT(menu.Count(gone, Sys(COLOR_BTNHIGHLIGHT)), 5);
    } else {
      EXPECT_GT(menu.Count(gone, Sys(COLOR_GRAYTEXT)), 5);
    }
    // An enabled caption is in the text colour.
    EXPECT_GT(menu.Count(TextPart(more_), Sys(COLOR_BTNTEXT)), 5);

    // The sub-menu arrow in the arrow column.
    TRect arrow = ControlOf(more_)->GetItemBounds();
    arrow.Left = arrow.Right - open_->TextSize();
    EXPECT_GT(menu.Count(arrow, Sys(COLOR_BTNTEXT)), 3);

    // The toolbar's split drop-down button: its arrow in its own part.
    const TWindowPixels bar(toolbar_->Handle());
    const TRect button = ControlOf(drop_)->GetItemBounds();
    const Integer width = manager_->Painter()->RealButtonArrowWidth(manager_);
    const TRect arrowPart =
        Rect(button.Right - width, button.Top, button.Right, button.Bottom);
    EXPECT_GE(bar.Count(arrowPart, Sys(COLOR_BTNTEXT)), 3);
    const TRect face =
        Rect(button.Left, button.Top, button.Right - width, button.Bottom);
    EXPECT_GT(bar.Count(face, Sys(COLOR_BTNTEXT)), 5) << "its caption";
  }
}

TEST_F(BarPainterPixelsTest, TheClientFrameOfTheMenuWindow) {
  Build(bmsStandard);
  ASSERT_TRUE(open_);
  const TWindowPixels standard(open_->Handle());
  // A raised inner edge, then a ring of the menu's background.
  RECT client{};
  ::GetClientRect(open_->Handle(), &client);
  EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), standard.At(0, 10));
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), standard.At(client.right - 1, 10));
  EXPECT_EQ(Sys(COLOR_BTNFACE), standard.At(1, 10));
}

// ---------------------------------------------------------------------------
// The themed painter on the stand-in
// ---------------------------------------------------------------------------

class BarThemedPixelsTest : public BarPainterPixelsTest {
 protected:
  void SetUp() override {
    bar_test::RecordTheme();
    BarPainterPixelsTest::SetUp();
  }
  TUxThemeStandIn standIn_;
};

TEST_F(BarThemedPixelsTest, TheThemeDrawsTheSeparatorAndTheSplitArrow) {
  Build(bmsXP);
  ASSERT_TRUE(dynamic_cast<TdxBarXPPainter*>(manager_->Painter()));
  ASSERT_TRUE(open_);
  bar_test::Parts().drawn.clear();
  bar_test::Parts().drawnThemes.clear();
  ::RedrawWindow(open_->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  ::RedrawWindow(toolbar_->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW);
  PumpUntilIdle();
  // The menu's group separator: the toolbar theme's vertical separator.
  EXPECT_GE(bar_test::DrawnCount(totToolBar, 6, 1), 1);
  // The split button's arrow part on the toolbar, normal state.
  EXPECT_GE(bar_test::DrawnCount(totToolBar, 4, 1), 1);
  // The menu's own colours stand where the theme has none: the menu
  // colour behind the entries, the text colour of an enabled caption.
  const TWindowPixels menu(open_->Handle());
  const TRect text = TextPart(more_);
  EXPECT_GT(menu.Count(text, Sys(COLOR_MENU)), text.Width() * 4);
  EXPECT_EQ(0, menu.Count(TextPart(disabled_), Sys(COLOR_BTNTEXT)));
}

}  // namespace
