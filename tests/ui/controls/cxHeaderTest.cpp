// The header control on a form: widths of auto-sized and clamped
// sections, sorting by real clicks, resizing with and without the live
// update, a lost capture in the middle of a resize, and the shared section
// drawing of an empty header.
#include "WinApi.h"
//
#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
//
#include "cxHeader.h"

namespace {

class HeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 200);
    header_ = new TcxHeader(form_.get());
    header_->SetParent(form_.get());
    header_->SetBounds(10, 10, 361, 24);
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void TearDown() override {
    ui_test::ReleaseHeldButtons();
    if (::GetCapture()) ::ReleaseCapture();
    form_.reset();
  }
  TcxHeaderSection* AddSection(const String& AText, Integer AWidth,
                               bool AAllowClick = true) {
    TcxHeaderSection* s = header_->Sections()->Add();
    s->SetText(AText);
    s->SetWidth(AWidth);
    s->SetAllowClick(AAllowClick);
    return s;
  }

  ui_test::TCursorPosGuard cursor_;
  TObjectPtr<TForm> form_;
  TcxHeader* header_ = nullptr;
};

TEST_F(HeaderTest, WidthsAreClampedToMinAndMax) {
  TcxHeaderSection* s = AddSection("A", 100);
  s->SetWidth(10);
  EXPECT_EQ(s->Width(), 30);
  s->SetMaxWidth(20000);
  EXPECT_EQ(s->MaxWidth(), 10000);
  s->SetMaxWidth(20);  // never below the minimum
  EXPECT_EQ(s->MaxWidth(), 30);
  s->SetWidth(500);
  EXPECT_EQ(s->Width(), 30);
}

TEST_F(HeaderTest, AutoSizedSectionsShareTheFreeWidth) {
  AddSection("fixed", 60);
  TcxHeaderSection* a = AddSection("a", 50);
  TcxHeaderSection* b = AddSection("b", 50);
  a->SetAutoSize(true);
  b->SetAutoSize(true);
  // 361 - 60 = 301: the first takes the remainder.
  EXPECT_EQ(a->Width(), 151);
  EXPECT_EQ(b->Width(), 150);
  // Limited by its maximum, the other takes the rest in the next round.
  b->SetMaxWidth(100);
  header_->FitToClientWidth();
  EXPECT_EQ(b->Width(), 100);
  EXPECT_EQ(a->Width(), 201);
}

TEST_F(HeaderTest, ClicksCycleTheSortOrderAndClearOthers) {
  TcxHeaderSection* a = AddSection("a", 100);
  TcxHeaderSection* b = AddSection("b", 100);
  std::vector<String> log;
  header_->OnSectionClick = TcxSectionNotifyEvent::FromFunction(
      [&](TcxCustomHeader*, TcxHeaderSection* s) { log.push_back(s->Text()); });
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ui_test::Click(header_, 50, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->SortOrder(), soAscending);
  ui_test::Click(header_, 50, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->SortOrder(), soDescending);
  // Shift keeps the other section's order; a plain click clears it.
  ui_test::Click(ui_test::ScreenPointOf(header_, 150, 12),
                 ui_test::TClickButton::Left, ui_test::kShift);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->SortOrder(), soDescending);
  EXPECT_EQ(b->SortOrder(), soAscending);
  ui_test::Click(header_, 50, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->SortOrder(), soAscending);
  EXPECT_EQ(b->SortOrder(), soNone);
  // Ctrl sets no order.
  ui_test::Click(ui_test::ScreenPointOf(header_, 50, 12),
                 ui_test::TClickButton::Left, ui_test::kCtrl);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->SortOrder(), soNone);
  EXPECT_EQ(log.size(), 5u);
}

TEST_F(HeaderTest, ChangingHandlerDecidesTheNewOrder) {
  TcxHeaderSection* a = AddSection("a", 100);
  header_->OnSectionChangingSortOrder =
      TcxSectionChangingSortOrderEvent::FromFunction(
          [](TObject*, TcxHeaderSection*, TcxHeaderSortOrder,
             TcxHeaderSortOrder& ANew, bool&) { ANew = soNone; });
  header_->ChangeSectionSortOrder(a, soAscending, true);
  EXPECT_EQ(a->SortOrder(), soNone);
  header_->OnSectionChangingSortOrder = nullptr;
  header_->SetAllowSort(true);
  header_->ChangeSectionSortOrder(a, soDescending, true);
  EXPECT_EQ(a->SortOrder(), soDescending);
  header_->SetAllowSort(false);
  EXPECT_EQ(a->SortOrder(), soNone);
  header_->ChangeSectionSortOrder(a, soAscending, true);
  EXPECT_EQ(a->SortOrder(), soNone);
}

TEST_F(HeaderTest, ResizeByDraggingTheSizer) {
  struct Case {
    bool ResizeUpdate;
    Integer DragTo;
    Integer Expected;
  };
  for (const Case& c : {Case{true, 140, 140}, Case{false, 140, 140},
                        Case{true, 10, 30}, Case{false, 10, 30}}) {
    SCOPED_TRACE(c.ResizeUpdate);
    header_->Sections()->Clear();
    TcxHeaderSection* a = AddSection("a", 100);
    AddSection("b", 100);
    header_->SetResizeUpdate(c.ResizeUpdate);
    std::vector<Integer> widthsWhileDragging;
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    ui_test::MoveMouseTo(header_, 98, 12);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    ASSERT_EQ(header_->SizedSectionIndex(), 0);
    ui_test::MouseDown(header_, 98, 12);
    ui_test::MoveMouseTo(header_, 118, 12);
    ui_test::MoveMouseTo(header_, c.DragTo - 2, 12);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    widthsWhileDragging.push_back(a->Width());
    ui_test::MouseUp(header_, c.DragTo - 2, 12);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    EXPECT_EQ(a->Width(), c.Expected);
    // Without the live update the width waits for the release.
    if (!c.ResizeUpdate)
      EXPECT_EQ(widthsWhileDragging[0], 100);
    else
      EXPECT_EQ(widthsWhileDragging[0], c.Expected);
    EXPECT_EQ(header_->State(), hsNone);
  }
}

TEST_F(HeaderTest, LosingTheCaptureMidResizeKeepsTheWidth) {
  TcxHeaderSection* a = AddSection("a", 100);
  header_->SetResizeUpdate(false);
  std::vector<TcxSectionTrackState> track;
  header_->OnSectionTrack = TcxSectionTrackEvent::FromFunction(
      [&](TcxCustomHeader*, TcxHeaderSection*, Integer,
          TcxSectionTrackState s) { track.push_back(s); });
  ui_test::MoveMouseTo(header_, 98, 12);
  ui_test::MouseDown(header_, 98, 12);
  ui_test::MoveMouseTo(header_, 150, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ASSERT_EQ(header_->State(), hsSized);
  ::ReleaseCapture();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ui_test::MouseUp(header_, 150, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->Width(), 100);
  EXPECT_EQ(header_->State(), hsNone);
  EXPECT_EQ(track, std::vector<TcxSectionTrackState>{tsTrackBegin});
}

TEST_F(HeaderTest, ItemInfoAnswersForSectionsAndTheEndArea) {
  TcxHeaderSection* a = AddSection("alpha", 80);
  a->SetAlignment(taCenter);
  a->SetSortOrder(soDescending);
  THeaderItemInfo info{};
  ASSERT_EQ(::SendMessageA(header_->Handle(), HDM_GETITEMCOUNT, 0, 0), 1);
  SendGetStructMessage(header_->Handle(), CM_HEADERITEMINFO, 0, &info);
  EXPECT_STREQ(info.Caption, "alpha");
  EXPECT_EQ(info.Alignment, taCenter);
  EXPECT_EQ(info.SortOrder, soDescending);
  EXPECT_EQ(info.SectionRect, TRect(0, 0, 80, 24));
  SendGetStructMessage(header_->Handle(), CM_HEADERITEMINFO, 1, &info);
  EXPECT_EQ(info.Caption, nullptr);
  EXPECT_EQ(info.ImageIndex, -1);
  EXPECT_EQ(info.State, cxbsNormal);
  EXPECT_EQ(info.SectionRect, TRect(80, 0, 361, 24));
  header_->SetEnabled(false);
  SendGetStructMessage(header_->Handle(), CM_HEADERITEMINFO, 0, &info);
  EXPECT_EQ(info.State, cxbsDisabled);
}

TEST_F(HeaderTest, EmptyHeaderIsFilledWithTheBrushColour) {
  TObjectPtr<TBitmap> bmp(new TBitmap);
  bmp->SetWidth(361);
  bmp->SetHeight(24);
  TcxCanvas canvas(bmp->Canvas());
  canvas.Brush()->SetColor(clRed);
  DrawHeaderSection(header_->Handle(), 0, &canvas, nullptr,
                    header_->LookAndFeel());
  EXPECT_EQ(::GetPixel(canvas.Handle(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(canvas.Handle(), 360, 23), RGB(255, 0, 0));
}

}  // namespace

namespace {

TEST_F(HeaderTest, DraggingASectionReordersUnlessRefused) {
  header_->SetDragReorder(true);
  TcxHeaderSection* a = AddSection("a", 100);
  TcxHeaderSection* b = AddSection("b", 100);
  AddSection("c", 100);
  bool allow = false;
  int endDrags = 0;
  header_->OnSectionDrag = TcxSectionDragEvent::FromFunction(
      [&](TObject*, TcxHeaderSection*, TcxHeaderSection*, bool& AAllow) {
        AAllow = allow;
      });
  header_->OnSectionEndDrag =
      TNotifyEvent::FromFunction([&](TObject*) { ++endDrags; });
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ui_test::Drag(ui_test::ScreenPointOf(header_, 50, 12),
                ui_test::ScreenPointOf(header_, 250, 12));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->Index(), 0);
  EXPECT_EQ(endDrags, 0);
  allow = true;
  ui_test::Drag(ui_test::ScreenPointOf(header_, 50, 12),
                ui_test::ScreenPointOf(header_, 250, 12));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->Index(), 2);
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(endDrags, 1);
  EXPECT_EQ(a->SortOrder(), soNone);  // a drag is no click
}

TEST_F(HeaderTest, HotSectionFollowsTheMouse) {
  TcxHeaderSection* a = AddSection("a", 100);
  TcxHeaderSection* b = AddSection("b", 100);
  ui_test::MoveMouseTo(header_, 50, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->State(), cxbsHot);
  ui_test::MoveMouseTo(header_, 150, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(a->State(), cxbsNormal);
  EXPECT_EQ(b->State(), cxbsHot);
  // On a sizer no section is hot.
  ui_test::MoveMouseTo(header_, 197, 12);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(header_->HotSectionIndex(), -1);
  EXPECT_EQ(header_->SizedSectionIndex(), 1);
}

}  // namespace

namespace {

TEST_F(HeaderTest, PositionsFlippingAndHeight) {
  TcxHeaderSection* a = AddSection("a", 100);
  TcxHeaderSection* b = AddSection("b", 60);
  struct Case {
    Integer X;
    bool IncludeEnd;
    Integer Expected;
  };
  for (const Case& c :
       {Case{0, false, 0}, Case{99, false, 0}, Case{100, false, 1},
        Case{200, false, -1}, Case{200, true, 2}, Case{400, true, -1}}) {
    SCOPED_TRACE(c.X);
    EXPECT_EQ(header_->GetSectionIndexAtPos(c.X, 5, c.IncludeEnd), c.Expected);
  }
  EXPECT_EQ(header_->GetSectionRect(3), TRect());
  EXPECT_EQ(header_->GetSectionRect(-1), TRect());
  // Flipped: the old last section first; the first keeps its width at
  // the end and the new first takes the room the others leave.
  header_->FlipChildren(false);
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(a->Width(), 100);
  EXPECT_EQ(b->Width(), 361 - 100);
  EXPECT_GT(header_->GetAutoHeight(), header_->Font()->Size());
}

}  // namespace
