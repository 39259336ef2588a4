// The tab control without a window: tabs and selection, styles and the
// painter registry, the layout's tables and its routines.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include <memory>

#include "Classes.h"
#include "FormStreams.h"
#include "SysUtils.h"
//
#include "../foundation/dxUxThemeStandIn.h"
#include "cxPC.h"
#include "cxPCPainters.h"
#include "cxPCTestPainters.h"

namespace {

class TabControlTest : public ::testing::Test {
 protected:
  TabControlTest() : control_(std::make_unique<TcxTabControl>(nullptr)) {
    control_->SetStyle(kTestStandardStyle);
  }
  // Tabs "T0".."Tn-1".
  void AddTabs(Integer ACount) {
    for (Integer i = 0; i < ACount; ++i)
      control_->Tabs()->Add("T" + IntToStr(i));
  }
  // OnChanging (answering allow_) and OnChange go to log_.
  void LogEvents() {
    control_->OnChanging =
        TcxTabChangingEvent::FromFunction([this](TObject*, bool& AllowChange) {
          log_.push_back("changing");
          AllowChange = allow_;
        });
    control_->OnChange = TNotifyEvent::FromFunction(
        [this](TObject*) { log_.push_back("change"); });
  }
  std::vector<Integer> Rows() {
    std::vector<Integer> rows;
    for (Integer i = 0; i < control_->Tabs()->Count(); ++i)
      rows.push_back(control_->Tabs()->GetTab(i)->Row);
    return rows;
  }

  TTestPaintersScope painters_;
  std::unique_ptr<TcxTabControl> control_;
  std::vector<String> log_;
  bool allow_ = true;
};

String ExceptionText(const std::function<void()>& AAction) {
  try {
    AAction();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}

TEST(PCRoutinesTest, RotateRectTurnsMarginsToEachSide) {
  const TRect r(1, 2, 3, 4);
  struct Case {
    TcxTabPosition Position;
    TRect Expected;
  } cases[] = {{tpTop, TRect(1, 2, 3, 4)},
               {tpBottom, TRect(3, 4, 1, 2)},
               {tpLeft, TRect(2, 3, 4, 1)},
               {tpRight, TRect(4, 1, 2, 3)}};
  for (const Case& c : cases) {
    EXPECT_EQ(RotateRect(r, c.Position), c.Expected) << int(c.Position);
    EXPECT_EQ(RotateRectBack(RotateRect(r, c.Position), c.Position), r)
        << int(c.Position);
  }
}

TEST(PCRoutinesTest, RemovesAcceleratorMarks) {
  EXPECT_EQ(cxPCRemoveAccelChars("&Office"), "Office");
  EXPECT_EQ(cxPCRemoveAccelChars("A&&B"), "A&B");
  EXPECT_EQ(cxPCRemoveAccelChars("End&"), "End");
}

TEST(PCRoutinesTest, MessagesComeFromTheStringTable) {
  EXPECT_EQ(cxPCGetResourceString(scxPCAllowRotateError),
            "%s style does not support rotation of tabs");
  EXPECT_EQ(cxPCGetResourceString(scxPCPageIndexError),
            "%d is an invalid PageIndex value.  PageIndex must be between 0 "
            "and %d");
}

// --- Registry ---

TEST(PCPaintersFactoryTest, LooksUpByIdNameAndStandardStyle) {
  TTestPaintersScope painters;
  TcxPCPaintersFactory* factory = PaintersFactory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->GetPainterClass(4), nullptr);
  TcxPCPainterClass ultraFlat = factory->GetPainterClass(String("ULTRAFLAT"));
  ASSERT_NE(ultraFlat, nullptr);
  EXPECT_EQ(ultraFlat->GetStyleID(), 6);
  EXPECT_EQ(factory->GetPainterClass(String("NoSuchStyle")), nullptr);
  TcxPCPainterClass buttons = factory->GetPainterClass(tsButtons);
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->GetStyleID(), 2);
  EXPECT_EQ(GetPCStyleName(0), "Default");
  EXPECT_EQ(GetPCStyleName(6), "UltraFlat");
  EXPECT_EQ(GetPCStyleName(4), "");
}

TEST(PCPaintersFactoryTest, ErrorsNameTheFactoryAndMethod) {
  TEmptyPaintersScope empty;
  EXPECT_EQ(PaintersFactory(), nullptr);
  // A factory with one class that is then taken away again.
  RegisterPCPainterClass(TTestFlatPainter::PainterClass());
  RegisterPCPainterClass(TTestFlatPainter::PainterClass());
  ASSERT_NE(PaintersFactory(), nullptr);
  EXPECT_EQ(PaintersFactory()->GetPainterClassCount(), 1);
  EXPECT_EQ(ExceptionText([] {
              PaintersFactory()->GetPainterInstance(nullptr, nullptr);
            }),
            "TcxPCPaintersFactory.GetPainterInstance: PCPainterClass is nil");
  // The factory lives while a class is registered; an empty one answers
  // the default style with its error.
  TcxPCPaintersFactory factory;
  TcxLookAndFeel lookAndFeel(nullptr);
  EXPECT_EQ(ExceptionText([&] { factory.GetDefaultStyleID(&lookAndFeel); }),
            "TcxPCPaintersFactory.GetDefaultStyleID: There are no styles "
            "registered");
  UnregisterPCPainterClass(TTestFlatPainter::PainterClass());
  EXPECT_EQ(PaintersFactory(), nullptr);
}

TEST(PCPaintersFactoryTest, LookAndFeelChoosesTabsOnAThemeElseFlat) {
  TTestPaintersScope painters;
  TUxThemeStandIn theme;
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetKind(lfFlat);
  lookAndFeel.SetNativeStyle(true);
  theme.SetActive(true);
  EXPECT_EQ(PaintersFactory()->GetStyleID(&lookAndFeel), 1);
  theme.SetActive(false);
  EXPECT_EQ(PaintersFactory()->GetStyleID(&lookAndFeel), 7);
  lookAndFeel.SetNativeStyle(false);
  lookAndFeel.SetKind(lfUltraFlat);
  EXPECT_EQ(PaintersFactory()->GetStyleID(&lookAndFeel), 6);
}

TEST_F(TabControlTest, StyleErrorsAndRotation) {
  EXPECT_EQ(ExceptionText([&] { control_->SetStyleByStyleName("Nope"); }),
            "TcxTabControl.SetStyleByName: Nope is an unregistered style name");
  control_->SetStyleByStyleName("ultraflat");
  EXPECT_EQ(control_->Style(), 6);
  control_->SetStyle(4);  // no such id: ignored
  EXPECT_EQ(control_->Style(), 6);
  control_->SetStyleByStyleName("OneNote");
  EXPECT_EQ(ExceptionText([&] { control_->SetRotate(true); }),
            "OneNote style does not support rotation of tabs");
  EXPECT_FALSE(control_->Rotate());
  control_->SetStyle(6);
  control_->SetRotate(true);
  control_->SetStyle(10);
  EXPECT_FALSE(control_->Rotate());
}

// --- Tabs and selection ---

TEST_F(TabControlTest, TabIndexErrorsNameTheListAndMethod) {
  AddTabs(2);
  EXPECT_EQ(ExceptionText([&] { control_->Tabs()->GetTab(2); }),
            "TcxTabs.GetTab: Tab's index (2) out of bounds");
  EXPECT_EQ(ExceptionText([&] { control_->Tabs()->Strings(-1); }),
            "TcxTabs.Get: Tab's index (-1) out of bounds");
  EXPECT_EQ(ExceptionText([&] { control_->Tabs()->GetVisibleTab(5); }),
            "TcxTabs.GetVisibleTab: TabVisibleIndex (5) must be between 0 "
            "and 1");
  control_->Tabs()->Clear();
  EXPECT_EQ(ExceptionText([&] { control_->VisibleTabList()->GetTab(0); }),
            "TcxVisibleTabList.GetTab: There are no visible tabs");
}

TEST_F(TabControlTest, FirstTabIsSelectedWithoutEvents) {
  Integer changing = 0, changed = 0;
  control_->OnChanging =
      TcxTabChangingEvent::FromFunction([&](TObject*, bool&) { ++changing; });
  control_->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changed; });
  AddTabs(3);
  EXPECT_EQ(control_->TabIndex(), 0);
  EXPECT_EQ(changing, 0);
  EXPECT_EQ(changed, 0);
}

TEST_F(TabControlTest, SelectionRaisesEventsAndCanBeRefused) {
  AddTabs(3);
  LogEvents();
  control_->SetTabIndex(2);
  EXPECT_EQ(log_, (std::vector<String>{"changing", "change"}));
  EXPECT_TRUE(control_->Tabs()->GetTab(2)->Selected());
  EXPECT_FALSE(control_->Tabs()->GetTab(0)->Selected());
  log_.clear();
  control_->SetTabIndex(2);  // unchanged
  control_->SetTabIndex(3);  // out of range
  control_->SetTabIndex(-2);
  EXPECT_TRUE(log_.empty());
  allow_ = false;
  control_->SetTabIndex(1);
  EXPECT_EQ(log_, (std::vector<String>{"changing"}));
  EXPECT_EQ(control_->TabIndex(), 2);
  EXPECT_TRUE(control_->Tabs()->GetTab(2)->Selected());
  EXPECT_FALSE(control_->Tabs()->GetTab(1)->Selected());
}

TEST_F(TabControlTest, ChangeEventLockNeverGoesBelowZero) {
  AddTabs(2);
  Integer changed = 0;
  control_->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changed; });
  control_->LockChangeEvent(false);
  control_->LockChangeEvent(true);
  control_->SetTabIndex(1);
  EXPECT_EQ(changed, 0);
  control_->LockChangeEvent(false);
  control_->SetTabIndex(0);
  EXPECT_EQ(changed, 1);
}

// Closing selects the neighbour through OnChanging, and its flag follows.
TEST_F(TabControlTest, ClosingSelectsTheNeighbourThroughTheSelectionPath) {
  AddTabs(3);
  control_->SetTabIndex(1);
  LogEvents();
  control_->CloseButtonClick();
  EXPECT_EQ(log_, (std::vector<String>{"changing", "change"}));
  ASSERT_EQ(control_->Tabs()->Count(), 2);
  EXPECT_EQ(control_->Tabs()->Strings(1), "T2");
  EXPECT_EQ(control_->TabIndex(), 1);
  EXPECT_TRUE(control_->Tabs()->GetTab(1)->Selected());
  EXPECT_EQ(control_->MainTabVisibleIndex, 1);

  // The last tab's neighbour is the one before it; a refusal keeps the tab.
  log_.clear();
  allow_ = false;
  control_->CloseButtonClick();
  EXPECT_EQ(control_->Tabs()->Count(), 2);
  EXPECT_EQ(control_->TabIndex(), 1);
  allow_ = true;
  control_->CloseButtonClick();
  ASSERT_EQ(control_->Tabs()->Count(), 1);
  EXPECT_EQ(control_->TabIndex(), 0);
  EXPECT_TRUE(control_->Tabs()->GetTab(0)->Selected());
  control_->CloseButtonClick();
  EXPECT_EQ(control_->Tabs()->Count(), 0);
  EXPECT_EQ(control_->TabIndex(), -1);
}

TEST_F(TabControlTest, VisibleListFindsPositions) {
  AddTabs(5);
  control_->Tabs()->GetTab(1)->SetVisible(false);
  control_->Tabs()->GetTab(3)->SetVisible(false);
  TcxVisibleTabList* list = control_->VisibleTabList();
  Integer position = -1;
  EXPECT_TRUE(list->FindVisibleTab(2, position));
  EXPECT_EQ(position, 1);
  EXPECT_FALSE(list->FindVisibleTab(3, position));
  EXPECT_EQ(position, 2);
  EXPECT_FALSE(list->FindVisibleTab(9, position));
  EXPECT_EQ(position, 3);
  EXPECT_EQ(list->TabVisibleIndexOf(4), 2);
}

// --- Layout ---

TEST_F(TabControlTest, GreedyRowsAreBalanced) {
  struct Case {
    Integer Count;
    std::vector<Integer> Rows;
  } cases[] = {{5, {0, 0, 0, 1, 1}}, {7, {0, 0, 0, 1, 1, 2, 2}}};
  for (const Case& c : cases) {
    control_->Tabs()->Clear();
    control_->SetTabWidth(50);
    AddTabs(c.Count);
    control_->CalculateTabNormalSizes();
    control_->PlaceVisibleTabsOnRows(160, 0);
    EXPECT_EQ(Rows(), c.Rows) << c.Count << " tabs";
  }
}

TEST_F(TabControlTest, TabAsLongAsTheRowGetsARowOfItsOwn) {
  control_->SetTabWidth(50);
  AddTabs(4);
  control_->CalculateTabNormalSizes();
  control_->Tabs()->GetTab(1)->NormalWidth = 200;
  control_->PlaceVisibleTabsOnRows(160, 0);
  EXPECT_EQ(Rows(), (std::vector<Integer>{0, 1, 2, 2}));
  EXPECT_EQ(control_->Tabs()->GetTab(1)->NormalWidth, 160);
  EXPECT_EQ(control_->RowCount, 3);
}

TEST_F(TabControlTest, PaintingPositionIndexBySideAndRotation) {
  AddTabs(1);
  struct Case {
    TcxTabPosition Position;
    bool Rotate;
    bool TopToBottom;
    Integer Index;
  } cases[] = {
      {tpTop, false, false, 1},    {tpTop, true, false, 2},
      {tpTop, true, true, 3},      {tpBottom, false, false, 10},
      {tpBottom, true, false, 11}, {tpBottom, true, true, 12},
      {tpLeft, true, false, 6},    {tpLeft, false, false, 4},
      {tpLeft, false, true, 5},    {tpRight, true, false, 9},
      {tpRight, false, false, 7},  {tpRight, false, true, 8},
  };
  for (const Case& c : cases) {
    control_->SetTabPosition(c.Position);
    control_->SetRotate(c.Rotate);
    TcxPCOptions options = control_->Options();
    if (c.TopToBottom)
      options.Include(pcoTopToBottomText);
    else
      options.Exclude(pcoTopToBottomText);
    control_->SetOptions(options);
    control_->RequestLayout();
    EXPECT_EQ(control_->Tabs()->GetTab(0)->PaintingPositionIndex(), c.Index)
        << int(c.Position) << " rotate " << c.Rotate << " ttb "
        << c.TopToBottom;
  }
}

TEST_F(TabControlTest, NavigatorButtonSets) {
  struct Case {
    TcxPCOptions Options;
    bool AllFit;
    TcxPCNavigatorButtons Buttons;
  } cases[] = {
      {{}, true, {}},
      {{}, false, {nbTopLeft, nbBottomRight}},
      {{pcoNoArrows}, false, {}},
      {{pcoGoDialog}, true, {}},
      {{pcoGoDialog}, false, {nbTopLeft, nbBottomRight, nbGoDialog}},
      {{pcoGoDialog, pcoAlwaysShowGoDialogButton}, true, {nbGoDialog}},
      {{pcoCloseButton}, true, {nbClose}},
      {{pcoCloseButton, pcoNoArrows}, false, {nbClose}},
  };
  for (const Case& c : cases) {
    control_->SetOptions(c.Options);
    EXPECT_EQ(control_->GetNavigatorButtons(c.AllFit), c.Buttons)
        << c.Options.ToInt() << " fit " << c.AllFit;
  }
}

TEST_F(TabControlTest, OneRowScrollsAndMultiRowShowsNoButtons) {
  control_->SetBounds(0, 0, 200, 100);
  control_->SetTabWidth(60);
  control_->SetOptions({pcoCloseButton, pcoGoDialog});
  AddTabs(3);
  control_->RequestLayout();
  // 180 pixels of tabs on 200 with the close button (20): all fit.
  EXPECT_EQ(control_->NavigatorButtons, (TcxPCNavigatorButtons{nbClose}));
  EXPECT_EQ(control_->FirstVisibleTab, 0);
  control_->Tabs()->Add("T3");
  EXPECT_EQ(
      control_->NavigatorButtons,
      (TcxPCNavigatorButtons{nbTopLeft, nbBottomRight, nbGoDialog, nbClose}));
  EXPECT_EQ(control_->NavigatorButtonStates[nbTopLeft], nbsDisabled);
  EXPECT_EQ(control_->NavigatorButtonStates[nbBottomRight], nbsNormal);
  control_->ScrollTabs(5);
  EXPECT_EQ(control_->NavigatorButtonStates[nbBottomRight], nbsDisabled);
  EXPECT_TRUE(control_->IsLastTabFullyVisible);
  EXPECT_EQ(control_->LastVisibleTab, 3);
  control_->SetMultiLine(true);
  EXPECT_TRUE(control_->NavigatorButtons.Empty());
  EXPECT_EQ(control_->RowCount, 2);
}

TEST_F(TabControlTest, CaptionlessTabWithoutImagesIs42Wide) {
  control_->Tabs()->Add("");
  control_->RequestLayout();
  EXPECT_EQ(control_->Tabs()->GetTab(0)->NormalWidth, 42);
  control_->SetTabWidth(77);
  control_->Tabs()->Add("A much longer caption than that");
  control_->RequestLayout();
  EXPECT_EQ(control_->Tabs()->GetTab(1)->NormalWidth, 77);
}

TEST_F(TabControlTest, StandardPainterOrdersButtonsByNavigatorSide) {
  control_->SetBounds(0, 0, 200, 100);
  control_->SetOptions({pcoCloseButton, pcoGoDialog});
  control_->SetTabWidth(80);
  AddTabs(4);
  auto* painter = dynamic_cast<TcxPCStandardPainter*>(control_->Painter());
  ASSERT_NE(painter, nullptr);
  auto order = [&] {
    std::vector<TcxPCNavigatorButton> buttons;
    for (const auto& b : painter->NavigatorButtonPositions())
      buttons.push_back(b.Button);
    return buttons;
  };
  control_->SetNavigatorPosition(npLeftTop);
  EXPECT_EQ(order(), (std::vector<TcxPCNavigatorButton>{
                         nbClose, nbTopLeft, nbBottomRight, nbGoDialog}));
  EXPECT_EQ(painter->NavigatorButtonPositions()[0].Rect, TRect(0, 0, 20, 20));
  control_->SetNavigatorPosition(npRightTop);
  EXPECT_EQ(order(), (std::vector<TcxPCNavigatorButton>{
                         nbGoDialog, nbTopLeft, nbBottomRight, nbClose}));
  // 12 + 20 + 20 + 20 from the right edge.
  EXPECT_EQ(painter->GetGoDialogButtonBounds(), TRect(128, 0, 140, 20));
  EXPECT_EQ(control_->TabsPosition.RowLength, 128);
}

}  // namespace

namespace {

TEST(PCDefaultStyleTest, DefaultStyleFollowsTheLookAndFeel) {
  TTestPaintersScope painters;
  TUxThemeStandIn theme;
  theme.SetActive(false);
  TcxTabControl control(nullptr);
  control.LookAndFeel()->SetKind(lfFlat);
  control.LookAndFeel()->SetNativeStyle(true);
  ASSERT_NE(control.Painter(), nullptr);
  EXPECT_EQ(control.Painter()->GetStyleName(), "Flat");
  EXPECT_EQ(control.Style(), 0);
  theme.SetActive(true);
  control.LookAndFeel()->SetNativeStyle(false);
  control.LookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(control.Painter()->GetStyleName(), "Tabs");
}

}  // namespace

namespace {

// A 16 x 16 image list with two images.
std::unique_ptr<TImageList> MakeImages() {
  auto images = std::make_unique<TImageList>(nullptr);
  images->SetWidth(16);
  images->SetHeight(16);
  TObjectPtr<TBitmap> bitmap(new TBitmap());
  bitmap->SetSize(32, 16);
  bitmap->Canvas()->Brush()->SetColor(clRed);
  bitmap->Canvas()->FillRect(TRect(0, 0, 32, 16));
  images->Add(bitmap.get(), nullptr);
  return images;
}

TEST_F(TabControlTest, RotatedTabHeightCentresTheImageOnWholePixels) {
  auto images = MakeImages();
  control_->SetImages(images.get());
  control_->SetRotate(true);
  AddTabs(1);
  auto* painter = dynamic_cast<TcxPCStandardPainter*>(control_->Painter());
  ASSERT_NE(painter, nullptr);
  EXPECT_EQ(painter->CorrectTabHeightForImage(20), 20);
  EXPECT_EQ(painter->CorrectTabHeightForImage(21), 22);
  control_->SetRotate(false);
  EXPECT_EQ(painter->CorrectTabHeightForImage(21), 21);
  // With images every tab makes room for one: 16 + 18 besides the caption.
  EXPECT_EQ(painter->GetTabNormalWidth(-1), 34);
  control_->SetImages(nullptr);
}

TEST_F(TabControlTest, ImageListDrawErrorsAndRotatedCopies) {
  TcxPCImageList* list = control_->ImageList();
  EXPECT_EQ(ExceptionText([&] {
              list->Draw(control_->Canvas(), 0, 0, 0, clWhite, true);
            }),
            "TcxPCImageList.Draw: BaseImages is not assigned");
  auto images = MakeImages();
  control_->SetImages(images.get());
  EXPECT_EQ(ExceptionText([&] {
              list->Draw(control_->Canvas(), 0, 0, 2, clWhite, true);
            }),
            "TcxPCImageList.Draw: Index (2) must be between 0 and 1");
  list->SetImageRotationAngle(raPlus90);
  EXPECT_EQ(list->GetRotatedImageSize().cx, 16);
  list->RotateImage(1, clWhite, true);
  bool enabled = false;
  EXPECT_TRUE(list->IsRotatedImageValid(1, nullptr, &enabled));
  EXPECT_TRUE(enabled);
  // Drawn again disabled on the same colour, the copy is redrawn.
  list->RotateImage(1, clWhite, false);
  EXPECT_TRUE(list->IsRotatedImageValid(1, nullptr, &enabled));
  EXPECT_FALSE(enabled);
  // An image list freed elsewhere is forgotten.
  images.reset();
  EXPECT_EQ(list->BaseImages(), nullptr);
  EXPECT_EQ(list->GetBaseImageSize().cx, 0);
  control_->SetImages(nullptr);
}

TEST_F(TabControlTest, EmptyImageListGivesNoImageIndex) {
  TImageList empty(nullptr);
  control_->SetImages(&empty);
  AddTabs(2);
  EXPECT_EQ(control_->GetImageIndex(1), -1);
  auto images = MakeImages();
  control_->SetImages(images.get());
  EXPECT_EQ(control_->GetImageIndex(1), 1);
  control_->OnGetImageIndex = TcxGetTabImageEvent::FromFunction(
      [](TObject*, Integer, Integer& AIndex) { AIndex = -7; });
  EXPECT_EQ(control_->GetImageIndex(1), -1);
  control_->SetImages(nullptr);
}

TEST_F(TabControlTest, GoDialogListsEnabledVisibleTabsSortedByPlainCaption) {
  for (const char* caption : {"&Zeta", "a&&b", "Beta", "&Hidden", "Off"})
    control_->Tabs()->Add(caption);
  control_->Tabs()->GetTab(3)->SetVisible(false);
  control_->Tabs()->GetTab(4)->SetEnabled(false);
  TcxPCGoDialog* dialog = control_->GoDialog();
  ASSERT_NE(dialog, nullptr);
  auto captions = [&] {
    std::vector<String> result;
    for (Integer i = 0; i < dialog->Items()->Count(); ++i)
      result.push_back(dialog->Items()->Items(i)->Caption());
    return result;
  };
  dialog->InitializeItems(false);
  EXPECT_EQ(captions(), (std::vector<String>{"&Zeta", "a&&b", "Beta"}));
  dialog->InitializeItems(true);
  EXPECT_EQ(captions(), (std::vector<String>{"a&&b", "Beta", "&Zeta"}));
  EXPECT_EQ(dialog->Items()->Items(2)->Tag(), 0);
}

TEST_F(TabControlTest, CtrlClickTogglesSelectionOfMultiSelectingStyles) {
  control_->SetStyle(2);  // a button style
  control_->SetMultiSelect(true);
  AddTabs(3);
  control_->SelectTab(2, true);
  EXPECT_TRUE(control_->Tabs()->GetTab(2)->Selected());
  EXPECT_EQ(control_->TabIndex(), 0);
  control_->SelectTab(2, true);
  EXPECT_FALSE(control_->Tabs()->GetTab(2)->Selected());
  control_->SelectTab(0, true);  // the main tab
  EXPECT_EQ(control_->TabIndex(), -1);
}

TEST_F(TabControlTest, PressableStylesTrackWithArrowsAndSelectWithEnter) {
  control_->SetStyle(2);
  AddTabs(3);
  control_->Tabs()->GetTab(1)->SetEnabled(false);
  Word key = VK_RIGHT;
  EXPECT_TRUE(control_->InternalKeyDown(key, TShiftState()));
  EXPECT_EQ(control_->TrackingTabVisibleIndex, 2);  // the disabled is skipped
  EXPECT_EQ(control_->TabIndex(), 0);
  key = VK_RETURN;
  EXPECT_TRUE(control_->InternalKeyDown(key, TShiftState()));
  EXPECT_EQ(control_->TabIndex(), 2);
  EXPECT_EQ(control_->TrackingTabVisibleIndex, -1);
  key = VK_TAB;  // Ctrl+Tab selects directly, wrapping
  EXPECT_TRUE(control_->InternalKeyDown(key, TShiftState{ssCtrl}));
  EXPECT_EQ(control_->TabIndex(), 0);
  key = VK_LEFT;  // at the first tab: nothing
  EXPECT_TRUE(control_->InternalKeyDown(key, TShiftState()));
  EXPECT_EQ(control_->TrackingTabVisibleIndex, -1);
  EXPECT_EQ(control_->TabIndex(), 0);
}

TEST_F(TabControlTest, RowsTurnSoThatTheSelectedRowTouchesThePage) {
  control_->SetBounds(0, 0, 160, 200);
  control_->SetTabWidth(50);
  control_->SetMultiLine(true);
  AddTabs(7);  // rows 3, 2, 2
  ASSERT_EQ(control_->RowCount, 3);
  control_->SetTabIndex(0);  // in row 0
  EXPECT_EQ(control_->Tabs()->GetTab(0)->VisibleRow, 2);
  EXPECT_EQ(control_->Tabs()->GetTab(3)->VisibleRow, 0);
  EXPECT_EQ(control_->TopOrLeftPartRowCount, 3);
  // The page starts right under the third row.
  Integer h = control_->RowHeight;
  EXPECT_EQ(control_->ExtendedTopOrLeftTabsRect.Bottom, 3 * h);
  EXPECT_EQ(control_->GetDisplayRect().Top, 3 * h);

  // ScrollOpposite: the selected row stays on top; the rest go below.
  control_->SetScrollOpposite(true);
  EXPECT_EQ(control_->TopOrLeftPartRowCount, 1);
  EXPECT_EQ(control_->Tabs()->GetTab(0)->VisibleRow, 0);
  EXPECT_EQ(control_->Tabs()->GetTab(0)->PaintingPosition(), tpTop);
  EXPECT_EQ(control_->Tabs()->GetTab(6)->PaintingPosition(), tpBottom);
  EXPECT_EQ(control_->GetDisplayRect(), TRect(0, h, 160, 200 - 2 * h));
}

TEST_F(TabControlTest, TooSmallControlLaysOutNoTab) {
  control_->SetBounds(0, 0, 0, 50);
  AddTabs(2);
  EXPECT_FALSE(control_->Tabs()->GetTab(0)->RealVisible());
  EXPECT_EQ(control_->IndexOfTabAt(5, 5), -1);
}

// Loading: the stored TabIndex is applied in Loaded without events, and
// tabs added meanwhile select nothing.
TEST_F(TabControlTest, LoadedAppliesTheStoredTabIndexWithoutEvents) {
  Integer changings = 0, changes = 0;
  control_->OnChanging =
      TcxTabChangingEvent::FromFunction([&](TObject*, bool&) { ++changings; });
  control_->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  control_->IncludeState(csLoading);
  AddTabs(3);
  EXPECT_EQ(control_->TabIndex(), -1);
  control_->SetTabIndex(2);
  control_->Loaded();
  EXPECT_EQ(control_->TabIndex(), 2);
  EXPECT_EQ(control_->MainTabVisibleIndex, 2);
  EXPECT_TRUE(control_->Tabs()->GetTab(2)->Selected());
  EXPECT_EQ(changings, 0);
  EXPECT_EQ(changes, 0);
  control_->SetTabIndex(0);
  EXPECT_EQ(changings, 1);
  EXPECT_EQ(changes, 1);
}

// The page area goes into the form stream: left and bottom only when not 0.
TEST_F(TabControlTest, WritesTheClientRectangleToTheFormStream) {
  control_->SetName("tcMain");
  control_->SetBounds(0, 0, 200, 100);
  AddTabs(2);
  TRect client = control_->GetDisplayRect();
  ASSERT_GT(client.Top, 0);
  TMemoryStream binary;
  WriteComponentToStream(binary, control_.get());
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  const String& written = text.DataString();
  EXPECT_NE(written.find("ClientRectBottom = 100"), String::npos) << written;
  EXPECT_EQ(written.find("ClientRectLeft"), String::npos) << written;
  EXPECT_NE(written.find("ClientRectRight = 200"), String::npos) << written;
  EXPECT_NE(written.find("ClientRectTop = " + IntToStr(client.Top)),
            String::npos)
      << written;
}

}  // namespace
