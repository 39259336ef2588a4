// The drop-down edit: its popup settings, one show request at a time, the
// order of the popup events, and opening and closing by the button and the
// keys through real input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxDropDownEdit.h"
#include "cxEditViewInfo.h"

namespace {

using ui_test::WaitUntil;

TEST(DropDownEditPropertiesTest, PopupSizesKeepTheirLimits) {
  TcxCustomDropDownEditProperties props;
  ASSERT_EQ(props.Buttons()->Count(), 1);
  EXPECT_EQ(props.Buttons()->Items(0)->Kind(), bkDown);
  EXPECT_TRUE(props.ImmediateDropDown());
  EXPECT_TRUE(props.PopupAutoSize());
  props.SetPopupWidth(-5);
  EXPECT_EQ(props.PopupWidth(), 0);
  props.SetPopupMinWidth(100);
  props.SetPopupWidth(10);
  EXPECT_EQ(props.PopupWidth(), 100);
  props.SetPopupWidth(0);  // the editor's width
  EXPECT_EQ(props.PopupWidth(), 0);
  props.SetPopupMinWidth(-3);
  EXPECT_EQ(props.PopupMinWidth(), 0);
  props.SetPopupHeight(50);
  props.SetPopupMinHeight(300);
  EXPECT_EQ(props.PopupHeight(), 300);
  props.SetPopupHeight(20);
  EXPECT_EQ(props.PopupHeight(), 300);
  // The alignment goes through the horizontal alignment.
  props.SetPopupAlignment(taRightJustify);
  EXPECT_EQ(props.PopupHorzAlignment(), pahRight);
  props.SetPopupAlignment(taCenter);
  EXPECT_EQ(props.PopupAlignment(), taCenter);
}

TEST(DropDownEditPropertiesTest, AssignCopiesAllButTheFinalizeEvent) {
  TcxCustomDropDownEditProperties source;
  source.SetImmediateDropDown(false);
  source.SetImmediatePopup(true);
  source.SetPopupMinWidth(120);
  source.SetPopupWidth(200);
  source.SetPopupHeight(90);
  source.SetPopupSizeable(true);
  source.SetPopupSysPanelStyle(true);
  source.SetPopupClientEdge(true);
  source.SetPopupDirection(pdHorizontal);
  source.SetPopupVertAlignment(pavTop);
  source.SetPostPopupValueOnTab(true);
  source.OnPopup = TNotifyEvent::FromFunction([](TObject*) {});
  source.OnFinalizePopup = source.OnPopup;
  TcxCustomDropDownEditProperties copy;
  copy.Assign(&source);
  EXPECT_FALSE(copy.ImmediateDropDown());
  EXPECT_TRUE(copy.ImmediatePopup());
  EXPECT_EQ(copy.PopupMinWidth(), 120);
  EXPECT_EQ(copy.PopupWidth(), 200);
  EXPECT_EQ(copy.PopupHeight(), 90);
  EXPECT_TRUE(copy.PopupSizeable());
  EXPECT_TRUE(copy.PopupSysPanelStyle());
  EXPECT_TRUE(copy.PopupClientEdge());
  EXPECT_EQ(copy.PopupDirection(), pdHorizontal);
  EXPECT_EQ(copy.PopupVertAlignment(), pavTop);
  EXPECT_TRUE(copy.PostPopupValueOnTab());
  EXPECT_TRUE(copy.OnPopup);
  EXPECT_FALSE(copy.OnFinalizePopup);
}

// A drop-down editor whose popup is an empty 120x80 client area.
class TTestDropDownEdit : public TcxCustomDropDownEdit {
  VARNEL_CLASS(TTestDropDownEdit, TcxCustomDropDownEdit)
 public:
  explicit TTestDropDownEdit(TComponent* AOwner)
      : TcxCustomDropDownEdit(AOwner) {}
  bool CanDrop = true;
  bool CanDropDown() override { return CanDrop; }
  TSize GetPopupWindowClientPreferredSize() override { return {120, 80}; }
};

class DropDownEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetCaption("DropDownEditTest");
    form_->SetBounds(60, 60, 400, 300);
    edit_ = new TTestDropDownEdit(form_.get());
    edit_->SetParent(form_.get());
    edit_->SetBounds(20, 20, 160, 24);
    TcxCustomDropDownEditProperties* props = edit_->Properties();
    props->OnInitPopup = Log("init");
    props->OnPopup = Log("popup");
    props->OnFinalizePopup = Log("finalize");
    props->OnCloseUp = Log("closeup");
    props->OnClosePopup = TcxEditClosePopupEvent::FromFunction(
        [this](TObject*, TcxEditCloseUpReason AReason) {
          log_.push_back("close " + std::to_string(int(AReason)));
        });
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "form shown"));
    edit_->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return edit_->InnerEditControl()->Focused(); },
                          "editor focused"));
    ui_test::PumpUntilIdle();
  }
  void TearDown() override {
    while (cxOpenPopupWindowCount() > 0) cxOpenPopupWindow(0)->CloseUp();
    form_.reset();
  }
  TNotifyEvent Log(const char* AName) {
    return TNotifyEvent::FromFunction(
        [this, AName](TObject*) { log_.push_back(AName); });
  }
  bool WaitOpen() {
    return WaitUntil([&] { return edit_->DroppedDown(); }, "popup open");
  }
  bool WaitClosed() {
    return WaitUntil([&] { return !edit_->DroppedDown(); }, "popup closed");
  }
  int QueuedShowRequests() {
    int count = 0;
    MSG msg;
    HWND wnd = edit_->PopupWindow()->Handle();
    while (::PeekMessageA(&msg, wnd, CM_SHOWPOPUPWINDOW, CM_SHOWPOPUPWINDOW,
                          PM_REMOVE))
      ++count;
    for (int i = 0; i < count; ++i)
      ::PostMessageA(wnd, CM_SHOWPOPUPWINDOW, 0, 0);
    return count;
  }

  TObjectPtr<TForm> form_;
  TTestDropDownEdit* edit_ = nullptr;
  std::vector<std::string> log_;
  ui_test::TCursorPosGuard cursor_;
  ui_test::THeldButtonsGuard buttons_;
};

TEST_F(DropDownEditTest, AskingTwiceQueuesOneShowRequest) {
  edit_->SetDroppedDown(true);
  edit_->SetDroppedDown(true);
  EXPECT_EQ(QueuedShowRequests(), 1);
  EXPECT_FALSE(edit_->DroppedDown());  // opening waits for the message
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  EXPECT_EQ(log_, (std::vector<std::string>{"init", "popup"}));
}

TEST_F(DropDownEditTest, EventsComeInOrderAndEscCancels) {
  edit_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  // The popup sits below the editor and is sized from the preferred size.
  const TcxCustomEditPopupWindow* popup = edit_->PopupWindow();
  const TRect owner =
      const_cast<TcxCustomEditPopupWindow*>(popup)->GetOwnerScreenBounds();
  EXPECT_EQ(popup->Top(), owner.Bottom);
  EXPECT_EQ(popup->Left(), owner.Left);
  RECT editRect;
  ::GetWindowRect(edit_->Handle(), &editRect);
  // Below the editor's visible part: an editor with a transparent border
  // lets the popup cover that border's two pixels.
  EXPECT_LE(std::abs(popup->Top() - editRect.bottom), 2);
  ui_test::PressKeys({VK_ESCAPE});
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(edit_->CloseUpReason(), crCancel);
  EXPECT_EQ(log_, (std::vector<std::string>{"init", "popup", "finalize",
                                            "close 3", "closeup"}));
}

TEST_F(DropDownEditTest, WhenItCannotDropDownOnlyInitAndFinalizeFire) {
  edit_->CanDrop = false;
  edit_->SetDroppedDown(true);
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(log_, (std::vector<std::string>{"init", "finalize"}));
}

TEST_F(DropDownEditTest, KeysOpenAndCloseWithTheirReasons) {
  struct Case {
    std::vector<WORD> Open;
    std::vector<WORD> Close;
    TcxEditCloseUpReason Reason;
  };
  const Case cases[] = {
      {{VK_F4}, {VK_F4}, crClose},
      {{VK_MENU, VK_DOWN}, {VK_MENU, VK_DOWN}, crClose},
      {{VK_MENU, VK_DOWN}, {VK_MENU, VK_UP}, crClose},
      {{VK_F4}, {VK_RETURN}, crEnter},
      {{VK_MENU, VK_DOWN}, {VK_ESCAPE}, crCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "open " << c.Open.back() << " close " << c.Close.back());
    ui_test::PressKeys(c.Open);
    ASSERT_TRUE(WaitOpen());
    ui_test::PumpUntilIdle();
    ui_test::PressKeys(c.Close);
    ASSERT_TRUE(WaitClosed());
    EXPECT_EQ(edit_->CloseUpReason(), c.Reason);
    ui_test::PumpUntilIdle();
    EXPECT_FALSE(edit_->DroppedDown());  // the key did not open it again
  }
}

TEST_F(DropDownEditTest, TheButtonOpensAndAClickOnItClosesWithoutReopening) {
  ui_test::PumpUntilIdle();
  ASSERT_FALSE(edit_->ViewInfo()->ButtonsInfo.empty());
  const TRect b = edit_->ViewInfo()->ButtonsInfo[0]->Bounds;
  const TPoint centre = edit_->ClientToScreen(
      TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  ui_test::Click(POINT{centre.X, centre.Y});
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  ui_test::Click(POINT{centre.X, centre.Y});
  ASSERT_TRUE(WaitClosed());
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(log_, (std::vector<std::string>{"init", "popup", "finalize",
                                            "close 0", "closeup"}));
}

// A double click on the button of a closed editor opens the popup and
// closes it again: each press counts once.
TEST_F(DropDownEditTest, ADoubleClickOnTheButtonOpensAndClosesOnce) {
  ui_test::PumpUntilIdle();
  const TRect b = edit_->ViewInfo()->ButtonsInfo[0]->Bounds;
  const TPoint centre = edit_->ClientToScreen(
      TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  ui_test::DoubleClick(POINT{centre.X, centre.Y});
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(log_, (std::vector<std::string>{"init", "popup", "finalize",
                                            "close 0", "closeup"}));
}

TEST_F(DropDownEditTest, TypingIntoAClosedEditorOpensItAndKeepsTheText) {
  ui_test::TypeText("s");
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  EXPECT_EQ(edit_->EditingText(), "s");
  edit_->Properties()->SetImmediateDropDown(false);
  edit_->SetDroppedDown(false);
  ASSERT_TRUE(WaitClosed());
  ui_test::TypeText("t");
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->EditingText(), "st");
}

TEST_F(DropDownEditTest, AResizedPopupKeepsItsSizeForTheNextDropDown) {
  edit_->Properties()->SetPopupSizeable(true);
  edit_->Properties()->SetPopupSysPanelStyle(true);
  edit_->Properties()->SetPopupAutoSize(false);
  edit_->Properties()->SetPopupWidth(200);
  edit_->Properties()->SetPopupHeight(120);
  edit_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  TcxCustomEditPopupWindow* popup = edit_->PopupWindow();
  EXPECT_EQ(popup->Width(), 200);
  const TRect g = popup->ViewInfo()->SizeGripRect;
  const POINT grip{popup->Left() + (g.Left + g.Right) / 2,
                   popup->Top() + (g.Top + g.Bottom) / 2};
  ui_test::Drag(grip, POINT{grip.x + 30, grip.y + 20});
  ASSERT_TRUE(WaitUntil([&] { return !popup->IsSizing(); }, "sized"));
  ui_test::PumpUntilIdle();
  edit_->SetDroppedDown(false);
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(edit_->Properties()->PopupWidth(), 230);
  EXPECT_EQ(edit_->Properties()->PopupHeight(), 140);
  EXPECT_TRUE(edit_->PopupSizeChanged());
}

}  // namespace
