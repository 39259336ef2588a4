// Controls without windows: alignment, anchors, constraints, notifications
// and inherited colour and font.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "Controls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "UiDriverControlsWin.h"

namespace {

// A plain windowed container: no bevels, client area = bounds.
TObjectPtr<TWinControl> Container(Integer w, Integer h) {
  TObjectPtr<TWinControl> c(new TWinControl(nullptr));
  c->SetBounds(0, 0, w, h);
  return c;
}

TControl* Child(TWinControl* parent, TRect bounds, TAlign align) {
  auto* c = new TGraphicControl(parent);
  c->SetBoundsRect(bounds);
  c->SetParent(parent);
  c->SetAlign(align);
  return c;
}

TEST(ControlsAlign, EachAlignTakesItsSideOfWhatIsLeft) {
  struct Case {
    TAlign align;
    TRect start;
    TRect expected;
  };
  // Parent 200x100; each case also has an alTop 20 high, placed first.
  const Case cases[] = {
      {alTop, Bounds(5, 50, 30, 10), Rect(0, 20, 200, 30)},
      {alBottom, Bounds(5, 5, 30, 10), Rect(0, 90, 200, 100)},
      {alLeft, Bounds(50, 5, 30, 10), Rect(0, 20, 30, 100)},
      {alRight, Bounds(5, 5, 30, 10), Rect(170, 20, 200, 100)},
      {alClient, Bounds(5, 5, 30, 10), Rect(0, 20, 200, 100)},
      {alNone, Bounds(5, 5, 30, 10), Bounds(5, 5, 30, 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.align));
    auto parent = Container(200, 100);
    TControl* header = Child(parent.get(), Bounds(0, 0, 50, 20), alTop);
    TControl* ctl = Child(parent.get(), c.start, c.align);
    EXPECT_EQ(header->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(ctl->BoundsRect(), c.expected);
  }
}

TEST(ControlsAlign, ClientFillsRemainderAndFollowsParentSize) {
  auto parent = Container(300, 200);
  TControl* top = Child(parent.get(), Bounds(0, 0, 10, 30), alTop);
  TControl* bottom = Child(parent.get(), Bounds(0, 0, 10, 20), alBottom);
  TControl* left = Child(parent.get(), Bounds(0, 0, 40, 10), alLeft);
  TControl* client = Child(parent.get(), Bounds(0, 0, 10, 10), alClient);
  EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 300, 180));
  parent->SetBounds(0, 0, 400, 250);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 30));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 230, 400, 250));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 40, 230));
  EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 400, 230));
  // A hidden control gives its place back.
  top->SetVisible(false);
  EXPECT_EQ(client->BoundsRect(), Rect(40, 0, 400, 230));
}

TEST(ControlsAlign, ControlsOfOneAlignStackInOrderOfPosition) {
  auto parent = Container(100, 100);
  TControl* a = Child(parent.get(), Bounds(0, 0, 10, 20), alTop);
  TControl* b = Child(parent.get(), Bounds(0, 50, 10, 10), alTop);
  EXPECT_EQ(a->Top(), 0);
  EXPECT_EQ(b->Top(), 20);
  // Moved to the top, b goes first, even on a tie with a.
  b->SetTop(0);
  EXPECT_EQ(b->Top(), 0);
  EXPECT_EQ(a->Top(), 10);
}

TEST(ControlsAlign, DisableAlignDefersUntilEnabled) {
  auto parent = Container(100, 100);
  parent->DisableAlign();
  TControl* c = Child(parent.get(), Bounds(5, 5, 10, 10), alClient);
  EXPECT_EQ(c->BoundsRect(), Bounds(5, 5, 10, 10));
  parent->EnableAlign();
  EXPECT_EQ(c->BoundsRect(), Rect(0, 0, 100, 100));
}

TEST(ControlsAnchors, RightAndBottomAnchorsFollowParentResize) {
  struct Case {
    TAnchors anchors;
    TRect expected;  // after the parent grows by 50 x 30
  };
  const Case cases[] = {
      {{akLeft, akTop}, Bounds(10, 10, 40, 20)},
      {{akTop, akRight}, Bounds(60, 10, 40, 20)},
      {{akLeft, akTop, akRight}, Bounds(10, 10, 90, 20)},
      {{akLeft, akBottom}, Bounds(10, 40, 40, 20)},
      {{akLeft, akTop, akRight, akBottom}, Bounds(10, 10, 90, 50)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(SetToString(c.anchors));
    auto parent = Container(200, 100);
    TControl* ctl = Child(parent.get(), Bounds(10, 10, 40, 20), alNone);
    ctl->SetAnchors(c.anchors);
    parent->SetBounds(0, 0, 250, 130);
    EXPECT_EQ(ctl->BoundsRect(), c.expected);
    // Back to the original size puts it back.
    parent->SetBounds(0, 0, 200, 100);
    EXPECT_EQ(ctl->BoundsRect(), Bounds(10, 10, 40, 20));
  }
}

TEST(ControlsConstraints, SizeStaysWithinLimits) {
  TObjectPtr<TGraphicControl> c(new TGraphicControl(nullptr));
  c->Constraints()->SetMinWidth(20);
  c->Constraints()->SetMaxWidth(100);
  c->Constraints()->SetMaxHeight(50);
  c->SetBounds(0, 0, 10, 80);
  EXPECT_EQ(c->Width(), 20);
  EXPECT_EQ(c->Height(), 50);
  c->SetWidth(500);
  EXPECT_EQ(c->Width(), 100);
  // A new limit applies to the current size at once.
  c->Constraints()->SetMaxWidth(60);
  EXPECT_EQ(c->Width(), 60);
}

TEST(ControlsMessages, NotificationsPassThroughReplaceableWindowProc) {
  TObjectPtr<TGraphicControl> c(new TGraphicControl(nullptr));
  std::vector<UINT> seen;
  TWndMethod old = c->WindowProc;
  c->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
    seen.push_back(m.Msg);
    old(m);
  });
  c->SetEnabled(false);
  c->SetVisible(false);
  c->SetText("x");
  c->SetColor(clRed);
  c->Font()->SetSize(20);
  c->SetCursor(crHandPoint);
  const std::vector<UINT> expected{CM_ENABLEDCHANGED, CM_VISIBLECHANGED,
                                   CM_TEXTCHANGED,    CM_COLORCHANGED,
                                   CM_FONTCHANGED,    CM_CURSORCHANGED};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(c->Perform(WM_GETTEXTLENGTH, 0, 0), 1);
  c->WindowProc = old;
}

TEST(ControlsMessages, ParentColorAndFontFlowToChildrenThatInherit) {
  auto parent = Container(100, 100);
  auto* inherits = new TGraphicControl(parent.get());
  inherits->SetParent(parent.get());
  auto* own = new TGraphicControl(parent.get());
  own->SetParent(parent.get());
  own->SetColor(clLime);
  own->Font()->SetSize(14);
  EXPECT_FALSE(own->ParentColor());
  EXPECT_FALSE(own->ParentFont());

  parent->SetColor(clNavy);
  parent->Font()->SetName("Arial");
  parent->Font()->SetSize(18);
  EXPECT_EQ(inherits->Color(), clNavy);
  EXPECT_TRUE(inherits->ParentColor());
  EXPECT_EQ(inherits->Font()->Size(), 18);
  EXPECT_EQ(inherits->Font()->Name(), "Arial");
  EXPECT_TRUE(inherits->ParentFont());
  EXPECT_EQ(own->Color(), clLime);
  EXPECT_EQ(own->Font()->Size(), 14);

  // Turning ParentColor back on takes the parent's colour again.
  own->SetParentColor(true);
  EXPECT_EQ(own->Color(), clNavy);
}

TEST(ControlsMessages, ParentIsLeftOnDestructionAndTabOrderFollowsList) {
  auto parent = Container(100, 100);
  TObjectPtr<TEdit> a(new TEdit(nullptr));
  TObjectPtr<TEdit> b(new TEdit(nullptr));
  TObjectPtr<TEdit> c(new TEdit(nullptr));
  a->SetParent(parent.get());
  b->SetParent(parent.get());
  c->SetParent(parent.get());
  EXPECT_EQ(c->TabOrder(), 2);
  c->SetTabOrder(0);
  std::vector<TWinControl*> order;
  parent->GetTabOrderList(order);
  EXPECT_EQ(order, (std::vector<TWinControl*>{c.get(), a.get(), b.get()}));
  b.reset();
  EXPECT_EQ(parent->ControlCount(), 2);
  EXPECT_EQ(a->TabOrder(), 1);
}

TEST(ControlsMessages, ParentCycleIsRefused) {
  auto outer = Container(100, 100);
  auto* inner = new TWinControl(outer.get());
  inner->SetParent(outer.get());
  EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
  EXPECT_THROW(outer->SetParent(outer.get()), EInvalidOperation);
  EXPECT_EQ(outer->Parent(), nullptr);
  EXPECT_EQ(inner->Parent(), outer.get());
}

TEST(ControlsMessages, DestroyedWithoutFreeStillLeavesParentAndChildren) {
  auto parent = Container(100, 100);
  TGraphicControl orphan(nullptr);
  {
    TWinControl middle(nullptr);
    middle.SetParent(parent.get());
    orphan.SetParent(&middle);
    TEdit edit(nullptr);
    edit.SetParent(parent.get());
    ASSERT_EQ(parent->ControlCount(), 2);
  }
  EXPECT_EQ(parent->ControlCount(), 0);
  std::vector<TWinControl*> order;
  parent->GetTabOrderList(order);
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(orphan.Parent(), nullptr);
}

}  // namespace
