// The Buttons and FlatButtons styles.
#include <gtest/gtest.h>

#include <memory>

#include "cxPCPaintersButtons.h"
#include "cxPCPaintersTestSupport.h"

namespace {

using namespace pcpainters_test;

TEST(PCButtonsPainterTest, Metrics) {
  TStyledTabControl buttons(2);
  auto* p = buttons.Painter<TcxPCButtonsPainter>();
  EXPECT_EQ(p->GetTabsNormalDistance(), (TcxPCDistance{3, 3}));
  EXPECT_EQ(p->GetDefaultTabNormalHeight(), 20);
  EXPECT_TRUE(p->IsTabPressable());
  EXPECT_TRUE(p->IsMultiSelectionAccepted());
  EXPECT_FALSE(p->IsMainTabBoundWithClient());
  EXPECT_EQ(p->GetTabContentWOffset(0), (TcxPCWOffset{4, 4}));
  EXPECT_EQ(p->GetTabBodyColor(1), clBtnHighlight);
  EXPECT_EQ(p->GetTabBodyColor(0), clBtnFace);
  EXPECT_EQ(p->GetTabsContainerOffsets(), TRect(2, 2, 2, 0));

  TStyledTabControl flat(3);
  EXPECT_EQ(flat.Control()->Painter()->GetTabsNormalDistance(),
            (TcxPCDistance{10, 3}));
}

TEST(PCButtonsPainterTest, TrackedSelectedTabIsThickOnlyForButtons) {
  TStyledTabControl buttons(2);
  TStyledTabControl flat(3);
  for (TStyledTabControl* c : {&buttons, &flat})
    c->Control()->Tabs()->SetTracking(1);
  EXPECT_TRUE(buttons.Control()->Painter()->IsTabBorderThick(1));
  EXPECT_FALSE(flat.Control()->Painter()->IsTabBorderThick(1));
  EXPECT_FALSE(flat.Control()->Painter()->IsTabBorderThick(0));
}

// The control goes while a tab is keyboard-tracked: as a plain C++ object
// (stack, std::unique_ptr), freed on its own, and with its owning form.
TEST(PCButtonsPainterTest, ControlGoesWhileATabIsTracked) {
  enum class TEnd { Delete, Free, WithOwner };
  for (TEnd end : {TEnd::Delete, TEnd::Free, TEnd::WithOwner}) {
    SCOPED_TRACE(static_cast<int>(end));
    TObjectPtr<TForm> form(new TForm(nullptr));
    auto* control = new TcxTabControl(form.get());
    control->SetParent(form.get());
    control->SetStyle(2);
    for (const char* caption : {"One", "Two", "Three"})
      control->Tabs()->Add(caption);
    control->SetTabIndex(0);
    control->Tabs()->SetTracking(2);
    ASSERT_TRUE(control->Tabs()->GetTab(2)->Tracking());
    switch (end) {
      case TEnd::Delete:
        std::unique_ptr<TcxTabControl>(control).reset();
        break;
      case TEnd::Free:
        Free(control);
        break;
      case TEnd::WithOwner:
        form.reset();
        break;
    }
    if (form) {
      EXPECT_EQ(form->ComponentCount(), 0);
    }
  }
}

// A parent or a window animation asks the control to print itself: it
// draws what it paints, and nothing when hidden and asked to check.
TEST(PCButtonsPainterTest, PrintsItsClientArea) {
  TStyledTabControl c(2);
  c.Paint();
  const Integer w = c.Control()->Width();
  const Integer h = c.Control()->Height();
  TObjectPtr<TBitmap> printed = cxgraphics_test::MakeBitmap(w, h, kPaper);
  auto print = [&](LPARAM AFlags) {
    SendMessageA(c.Control()->Handle(), WM_PRINTCLIENT,
                 reinterpret_cast<WPARAM>(printed->Canvas()->Handle()), AFlags);
  };
  print(PRF_CLIENT);
  Integer differing = 0;
  for (Integer y = 0; y < h; y += 3)
    for (Integer x = 0; x < w; x += 3)
      if (FromColor(printed->Canvas()->Pixels(x, y)) != c.At(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
  EXPECT_NE(FromColor(printed->Canvas()->Pixels(1, 1)), FromColor(kPaper));

  printed = cxgraphics_test::MakeBitmap(w, h, kPaper);
  c.Control()->SetVisible(false);
  print(PRF_CLIENT | PRF_CHECKVISIBLE);
  EXPECT_EQ(FromColor(printed->Canvas()->Pixels(1, 1)), FromColor(kPaper));
  print(PRF_CLIENT);
  EXPECT_NE(FromColor(printed->Canvas()->Pixels(1, 1)), FromColor(kPaper));
}

TEST(PCButtonsPainterTest, SelectedButtonIsSunken) {
  TStyledTabControl c(2);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  const Integer y = f.Top + 4;
  EXPECT_EQ(c.At(f.Left, y), FromColor(cl3DDkShadow));
  EXPECT_EQ(c.At(f.Left + 1, y), FromColor(clBtnShadow));
  EXPECT_EQ(c.At(f.Left + 2, y), FromColor(clBtnHighlight));
  EXPECT_EQ(c.At(f.Right - 1, y), FromColor(clBtnHighlight));
  EXPECT_EQ(c.At(f.Right - 2, y), FromColor(cl3DLight));
  // Its neighbour is raised.
  const TRect n = c.Tab(0)->FullRect();
  EXPECT_EQ(c.At(n.Left, y), FromColor(clBtnHighlight));
  EXPECT_EQ(c.At(n.Right - 1, y), FromColor(cl3DDkShadow));
}

TEST(PCFlatButtonsPainterTest, SelectedButtonAndSeparators) {
  TStyledTabControl c(3);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  const Integer y = f.Top + 4;
  EXPECT_EQ(c.At(f.Left, y), FromColor(clBtnShadow));
  EXPECT_EQ(c.At(f.Left + 1, y), FromColor(cl3DDkShadow));
  EXPECT_EQ(c.At(f.Left + 2, y), FromColor(clBtnHighlight));
  // An etched line 4 pixels into the gap after the first and second tab;
  // none after the last.
  for (Integer i : {0, 1}) {
    const TRect t = c.Tab(i)->NormalRect();
    EXPECT_EQ(c.At(t.Right + 4, y), FromColor(clBtnShadow)) << i;
    EXPECT_EQ(c.At(t.Right + 5, y), FromColor(clBtnHighlight)) << i;
    EXPECT_EQ(c.At(t.Right + 1, y), FromColor(c.Control()->Color())) << i;
  }
  const TRect last = c.Tab(2)->NormalRect();
  EXPECT_NE(c.At(last.Right + 4, y), FromColor(clBtnShadow));
}

}  // namespace
