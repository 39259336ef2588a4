// The list view in its container, driven by real input: checks and
// selection made by clicks come back into the items, label edits are
// committed, refused and cancelled, and the header is drawn from the
// list's columns.
#include "WinApi.h"
//
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
//
#include "cxListView.h"

namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 300);
    lv_ = new TcxListView(form_.get());
    lv_->SetParent(form_.get());
    lv_->SetBounds(10, 10, 300, 200);
    lv_->SetViewStyle(vsReport);
    lv_->SetCheckboxes(true);
    lv_->SetHideSelection(false);
    lv_->Columns()->Add()->SetCaption("Group");
    lv_->Columns()->Items(0)->SetWidth(200);
    for (const char* caption : {"Alpha", "Beta", "Gamma"})
      lv_->GetListItems()->Add()->SetCaption(caption);
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void TearDown() override {
    ui_test::ReleaseHeldButtons();
    form_.reset();
  }
  TListItem* Item(Integer I) { return lv_->GetListItems()->Item(I); }
  // The centre of an item's check box in the inner list's coordinates.
  TPoint CheckBoxOf(Integer I) {
    const TRect r = Item(I)->DisplayRect(drBounds);
    const Integer y = (r.Top + r.Bottom) / 2;
    for (Integer x = r.Left; x < r.Left + 40; ++x)
      if (lv_->GetHitTestInfoAt(x, y).Contains(htOnStateIcon))
        return TPoint(x + 5, y);
    ADD_FAILURE() << "no check box on row " << I;
    return TPoint(0, 0);
  }
  TPoint LabelOf(Integer I) {
    const TRect r = Item(I)->DisplayRect(drLabel);
    return TPoint(r.Left + 10, (r.Top + r.Bottom) / 2);
  }
  bool WindowChecked(Integer I) {
    const auto state = ::SendMessageA(lv_->InnerListView()->Handle(),
                                      LVM_GETITEMSTATE, I, LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
  }

  ui_test::TCursorPosGuard cursor_;
  TObjectPtr<TForm> form_;
  TcxListView* lv_ = nullptr;
};

TEST_F(ListViewTest, ChecksAndSelectionRoundTripThroughTheItems) {
  std::vector<String> selected;
  lv_->OnSelectItem() = TLVSelectItemEvent::FromFunction(
      [&](TObject*, TListItem* AItem, bool ASelected) {
        if (ASelected) selected.push_back(AItem->Caption());
      });
  TcxCustomInnerListView* inner = lv_->InnerListView();
  const TPoint box = CheckBoxOf(1);
  ui_test::Click(inner, box.X, box.Y);
  ASSERT_TRUE(ui_test::WaitUntil([&] { return Item(1)->Checked(); },
                                 "the click checks Beta"));
  EXPECT_FALSE(Item(0)->Checked());
  EXPECT_FALSE(Item(2)->Checked());

  const TPoint label = LabelOf(2);
  ui_test::Click(inner, label.X, label.Y);
  ASSERT_TRUE(ui_test::WaitUntil([&] { return lv_->GetSelected() == Item(2); },
                                 "Gamma selected"));
  EXPECT_EQ(selected.back(), "Gamma");
  EXPECT_EQ(lv_->GetItemAt(label.X, label.Y), Item(2));
  EXPECT_TRUE(Item(1)->Checked());  // the selection left the check alone

  // The other way: the items drive the window.
  Item(1)->SetChecked(false);
  Item(0)->SetChecked(true);
  EXPECT_FALSE(WindowChecked(1));
  EXPECT_TRUE(WindowChecked(0));
  lv_->SetSelected(Item(0));
  EXPECT_EQ(lv_->GetSelected(), Item(0));
  EXPECT_FALSE(Item(2)->Selected());
}

TEST_F(ListViewTest, LabelEditIsCommittedRefusedOrCancelled) {
  std::vector<String> log;
  lv_->OnEdited() = TLVEditedEvent::FromFunction(
      [&](TObject*, TListItem*, String& S) { log.push_back("edited " + S); });
  lv_->OnCancelEdit = TNotifyEvent::FromFunction([&](TObject* Sender) {
    log.push_back(Sender == lv_ ? "cancel" : "cancel from elsewhere");
  });
  bool allowText = true;
  lv_->OnChanging() = TLVChangingEvent::FromFunction(
      [&](TObject*, TListItem*, TItemChange AChange, bool& AAllow) {
        if (AChange == ctText) AAllow = allowText;
      });

  ASSERT_TRUE(Item(0)->EditCaption());
  ui_test::TypeText("Delta");
  ui_test::PressKeys({VK_RETURN});
  ASSERT_TRUE(ui_test::WaitUntil([&] { return !lv_->IsEditing(); }, "commit"));
  EXPECT_EQ(Item(0)->Caption(), "Delta");
  EXPECT_EQ(log, std::vector<String>{"edited Delta"});

  log.clear();
  ASSERT_TRUE(Item(1)->EditCaption());
  ui_test::TypeText("Omega");
  ui_test::PressKeys({VK_ESCAPE});
  ASSERT_TRUE(ui_test::WaitUntil([&] { return !lv_->IsEditing(); }, "escape"));
  EXPECT_EQ(Item(1)->Caption(), "Beta");
  EXPECT_EQ(log, std::vector<String>{"cancel"});

  // A refused text change keeps the old caption and raises no OnEdited.
  log.clear();
  allowText = false;
  ASSERT_TRUE(Item(2)->EditCaption());
  ui_test::TypeText("Zeta");
  ui_test::PressKeys({VK_RETURN});
  ASSERT_TRUE(ui_test::WaitUntil([&] { return !lv_->IsEditing(); }, "refuse"));
  EXPECT_EQ(Item(2)->Caption(), "Gamma");
  EXPECT_TRUE(log.empty());
}

TEST_F(ListViewTest, ReadOnlyListNeitherEditsNorDeletes) {
  lv_->SetReadOnly(true);
  EXPECT_FALSE(Item(0)->EditCaption());
  EXPECT_FALSE(lv_->IsEditing());
  Item(0)->SetSelected(true);
  lv_->DeleteSelected();
  EXPECT_EQ(lv_->GetCount(), 3);
  lv_->SetReadOnly(false);
  lv_->DeleteSelected();
  EXPECT_EQ(lv_->GetCount(), 2);
  EXPECT_EQ(Item(0)->Caption(), "Beta");
}

TEST_F(ListViewTest, FindCaptionTable) {
  struct Case {
    Integer Start;
    const char* Text;
    bool Partial, Inclusive, Wrap;
    Integer Expected;  // -1: none
  };
  const Case cases[] = {
      {0, "beta", false, true, false, 1},
      {0, "Gam", true, true, false, 2},
      {0, "Gam", false, true, false, -1},
      {1, "Beta", false, false, false, -1},
      {1, "Beta", false, true, false, 1},
      {2, "Alpha", false, true, true, 0},
      {2, "Alpha", false, true, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TListItem* found =
        lv_->FindCaption(c.Start, c.Text, c.Partial, c.Inclusive, c.Wrap);
    EXPECT_EQ(found, c.Expected < 0 ? nullptr : Item(c.Expected));
  }
}

TEST_F(ListViewTest, HeaderAnswersItsItemInformation) {
  TcxCustomInnerListView* inner = lv_->InnerListView();
  ASSERT_NE(inner->HeaderHandle(), nullptr);
  THeaderItemInfo info{};
  SendGetStructMessage(inner->HeaderHandle(), CM_HEADERITEMINFO, 0, &info);
  EXPECT_STREQ(info.Caption, "Group");
  EXPECT_EQ(info.SectionRect.Right - info.SectionRect.Left, 200);
  EXPECT_EQ(info.State, cxbsNormal);
  // The filler after the last column starts where the column ends.
  SendGetStructMessage(inner->HeaderHandle(), CM_HEADERITEMINFO, 1, &info);
  EXPECT_EQ(info.Caption, nullptr);
  EXPECT_EQ(info.SectionRect.Left, 200);
  lv_->SetEnabled(false);
  SendGetStructMessage(inner->HeaderHandle(), CM_HEADERITEMINFO, 0, &info);
  EXPECT_EQ(info.State, cxbsDisabled);
  lv_->SetEnabled(true);

  // A pressed header section paints pressed until the capture ends.
  const TRect first = inner->GetHeaderItemRect(0);
  ui_test::MouseDown(ui_test::ScreenPointOf(
      inner->HeaderHandle(), (first.Left + first.Right) / 2, first.Bottom / 2));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  SendGetStructMessage(inner->HeaderHandle(), CM_HEADERITEMINFO, 0, &info);
  EXPECT_EQ(info.State, cxbsPressed);
  ui_test::ReleaseHeldButtons();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  SendGetStructMessage(inner->HeaderHandle(), CM_HEADERITEMINFO, 0, &info);
  EXPECT_NE(info.State, cxbsPressed);
}

TEST_F(ListViewTest, EnterStopsAtTheContainerAndTabNeverReachesIt) {
  std::vector<int> keys;
  lv_->OnKeyPress = TKeyPressEvent::FromFunction(
      [&](TObject*, char& Key) { keys.push_back(Key); });
  char key = '\r';
  lv_->InnerListView()->KeyPress(key);
  EXPECT_EQ(key, 0);
  key = '\t';
  lv_->InnerListView()->KeyPress(key);
  EXPECT_EQ(keys, (std::vector<int>{'\r', 0}));
}

// An inner list view with a seam for the library scroll bars that counts
// the non-client paints reaching the system's default handling and the
// header paints it does itself.
class TProbeInner : public TcxCustomInnerListView {
  VARNEL_CLASS(TProbeInner, TcxCustomInnerListView)
 public:
  explicit TProbeInner(TComponent* AOwner) : TcxCustomInnerListView(AOwner) {}
  bool UsesLibraryScrollBars() override { return useLibraryBars; }
  void DefaultHandler(TMessage& Message) override {
    if (Message.Msg == WM_NCPAINT) ++systemNcPaints;
    TcxCustomInnerListView::DefaultHandler(Message);
  }
  void DrawHeader() override {
    ++headerPaints;
    TcxCustomInnerListView::DrawHeader();
  }
  bool useLibraryBars = true;
  int systemNcPaints = 0;
  int headerPaints = 0;
};

class TProbeListView : public TcxCustomListView {
 public:
  explicit TProbeListView(TComponent* AOwner)
      : TcxCustomListView(AOwner, TProbeInner::StaticClass()) {}
};

TEST(ListViewNonClientTest, OwnScrollBarsArePaintedWithoutLibraryBars) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(60, 60, 300, 200);
  auto* lv = new TProbeListView(form.get());
  lv->SetParent(form.get());
  lv->SetBounds(10, 10, 200, 100);
  form->Show();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  auto* inner = static_cast<TProbeInner*>(lv->InnerListView());
  for (bool library : {false, true}) {
    SCOPED_TRACE(library);
    inner->useLibraryBars = library;
    inner->systemNcPaints = 0;
    ::SendMessageA(inner->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(inner->systemNcPaints, library ? 0 : 1);
  }
}

}  // namespace

namespace {

TEST_F(ListViewTest, CustomDrawItemColoursTheCheckedItems) {
  std::vector<String> drawn;
  lv_->OnCustomDrawItem() = TLVCustomDrawItemEvent::FromFunction(
      [&](TCustomListView* Sender, TListItem* AItem, TCustomDrawState,
          bool& ADefault) {
        drawn.push_back(AItem->Caption());
        Sender->Canvas()->Font()->SetColor(AItem->Checked() ? clRed : clBlue);
        ADefault = true;
      });
  Item(1)->SetChecked(true);
  lv_->InnerListView()->Repaint();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), "Beta"), drawn.end());
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), "Gamma"), drawn.end());
  // Some pixel of each label carries its colour.
  auto labelHas = [&](Integer I, TColor AColor) {
    const TRect r = Item(I)->DisplayRect(drLabel);
    HDC dc = ::GetDC(lv_->InnerListView()->Handle());
    bool found = false;
    for (Integer x = r.Left; x < r.Right && !found; ++x)
      for (Integer y = r.Top; y < r.Bottom && !found; ++y)
        found = static_cast<TColor>(::GetPixel(dc, x, y)) == ColorToRGB(AColor);
    ::ReleaseDC(lv_->InnerListView()->Handle(), dc);
    return found;
  };
  EXPECT_TRUE(labelHas(1, clRed));
  EXPECT_TRUE(labelHas(2, clBlue));
  EXPECT_FALSE(labelHas(2, clRed));
}

TEST(ListViewHeaderTest, HeaderPaintsGoThroughTheSectionDrawing) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(60, 60, 300, 200);
  auto* lv = new TProbeListView(form.get());
  lv->SetParent(form.get());
  lv->SetBounds(10, 10, 250, 120);
  lv->SetViewStyle(vsReport);
  lv->Columns()->Add()->SetCaption("Name");
  form->Show();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  auto* inner = static_cast<TProbeInner*>(lv->InnerListView());
  ASSERT_NE(inner->HeaderHandle(), nullptr);
  inner->headerPaints = 0;
  ::InvalidateRect(inner->HeaderHandle(), nullptr, TRUE);
  ::UpdateWindow(inner->HeaderHandle());
  EXPECT_EQ(inner->headerPaints, 1);
  // The section drawing fills the area after the last column with the
  // face colour.
  RECT client{};
  ::GetClientRect(inner->HeaderHandle(), &client);
  HDC dc = ::GetDC(inner->HeaderHandle());
  const COLORREF filler = ::GetPixel(dc, client.right - 3, client.bottom / 2);
  ::ReleaseDC(inner->HeaderHandle(), dc);
  EXPECT_EQ(static_cast<TColor>(filler), ColorToRGB(clBtnFace));
}

}  // namespace

namespace {

TEST_F(ListViewTest, InfoTipsStandInForTheHintOverItems) {
  TcxCustomInnerListView* inner = lv_->InnerListView();
  inner->SetHint("Groups");
  int asked = 0;
  lv_->OnInfoTip() = TLVInfoTipEvent::FromFunction(
      [&](TObject*, TListItem* AItem, String& ATip) {
        ++asked;
        ATip = "Group " + AItem->Caption();
      });
  const TRect r = Item(1)->DisplayRect(drLabel);
  THintInfo info;
  info.CursorPos = TPoint(r.Left + 5, (r.Top + r.Bottom) / 2);
  inner->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.HintStr, "Group Beta");
  EXPECT_EQ(inner->Hint(), "Group Beta");
  EXPECT_EQ(info.HintMaxWidth, inner->ClientWidth());
  // Within the same item the hint is not rebuilt.
  THintInfo again;
  again.CursorPos = TPoint(r.Left + 8, (r.Top + r.Bottom) / 2);
  again.HintStr = "untouched";
  inner->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&again));
  EXPECT_EQ(again.HintStr, "untouched");
  EXPECT_EQ(asked, 1);
  // Moving over empty space brings the control's own hint back.
  ui_test::MoveMouseTo(inner, 150, inner->ClientHeight() - 10);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(inner->Hint(), "Groups");
}

}  // namespace
