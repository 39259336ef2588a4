// The editor control's embedded buttons under the real mouse and keyboard,
// its painting of them, and its automatic size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormStreams.h"
#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "cxEdit.h"
#include "cxEditViewData.h"
#include "cxEditViewInfo.h"

using namespace ui_test;

namespace {

class TButtonEdit : public TcxCustomEdit {
  VARNEL_CLASS(TButtonEdit, TcxCustomEdit)
 public:
  using TcxCustomEdit::TcxCustomEdit;
  TcxCustomEditViewInfo* EditViewInfo() {
    return static_cast<TcxCustomEditViewInfo*>(ViewInfo());
  }
  std::vector<Integer> Downs, Ups;

 protected:
  void DoButtonDown(Integer AIndex) override { Downs.push_back(AIndex); }
  void DoButtonUp(Integer AIndex) override { Ups.push_back(AIndex); }
};

class EditButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 320);
    form_->SetCaption("EditButtons");
    edit_ = new TButtonEdit(form_.get());
    edit_->SetParent(form_.get());
    edit_->SetEditAutoSize(false);
    edit_->SetBounds(20, 20, 160, 24);
    edit_->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction(
        [this](TObject*, Integer AIndex) { clicks_.push_back(AIndex); });
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "form shown"));
    PumpUntilIdle();
  }
  void TearDown() override {
    ReleaseHeldButtons();
    form_.reset();
  }
  TcxEditButton* AddButton(TcxEditButtonKind AKind) {
    auto* button = edit_->Properties()->Buttons()->Add();
    button->SetKind(AKind);
    edit_->Properties()->Changed();
    EXPECT_TRUE(PumpUntilIdle());
    return button;
  }
  TRect ButtonBounds(Integer AIndex) {
    auto& info = edit_->EditViewInfo()->ButtonsInfo;
    EXPECT_LT(static_cast<std::size_t>(AIndex), info.size());
    return info.at(static_cast<std::size_t>(AIndex))->Bounds;
  }
  POINT ButtonCentre(Integer AIndex) {
    const TRect r = ButtonBounds(AIndex);
    return ScreenPointOf(edit_->Handle(), (r.Left + r.Right) / 2,
                         (r.Top + r.Bottom) / 2);
  }
  TcxEditButtonState StateOf(Integer AIndex) {
    return edit_->EditViewInfo()
        ->ButtonsInfo.at(static_cast<std::size_t>(AIndex))
        ->Data.State;
  }

  TObjectPtr<TForm> form_;
  TButtonEdit* edit_ = nullptr;
  TButtonEdit* other_ = nullptr;
  std::vector<Integer> clicks_;
};

TEST_F(EditButtons, AClickedButtonShowsPressedWhileHeldAndClicksOnce) {
  AddButton(bkEllipsis);
  AddButton(bkDown);
  const POINT second = ButtonCentre(1);
  MouseDown(second);
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(StateOf(1), ebsPressed);
  EXPECT_EQ(StateOf(0), ebsNormal);
  EXPECT_EQ(edit_->CaptureButtonVisibleIndex(), 1);
  EXPECT_TRUE(clicks_.empty());
  EXPECT_EQ(edit_->Downs, std::vector<Integer>{1});
  MouseUp(second);
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(clicks_, std::vector<Integer>{1});
  EXPECT_EQ(edit_->Ups, std::vector<Integer>{1});
  EXPECT_NE(StateOf(1), ebsPressed);
}

TEST_F(EditButtons, ReleasedAwayFromTheButtonDoesNotClick) {
  AddButton(bkEllipsis);
  const POINT button = ButtonCentre(0);
  MouseDown(button);
  ASSERT_TRUE(PumpUntilIdle());
  ASSERT_EQ(StateOf(0), ebsPressed);
  const POINT away = ScreenPointOf(edit_->Handle(), 5, 5);
  MoveMouseTo(away);
  MouseUp(away);
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_TRUE(clicks_.empty());
  EXPECT_EQ(edit_->Ups, std::vector<Integer>{0});
  EXPECT_EQ(edit_->CaptureButtonVisibleIndex(), -1);
}

TEST_F(EditButtons, ADisabledButtonNeitherPressesNorClicks) {
  AddButton(bkEllipsis)->SetEnabled(false);
  PumpUntilIdle();
  Click(ButtonCentre(0));
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(StateOf(0), ebsDisabled);
  EXPECT_TRUE(clicks_.empty());
}

TEST_F(EditButtons, TheAcceleratorOfACaptionClicksItsButton) {
  auto* hidden = AddButton(bkText);
  hidden->SetCaption("&Go");
  hidden->SetVisible(false);
  AddButton(bkText)->SetCaption("&&Save");
  AddButton(bkText)->SetCaption("&Open");
  AddButton(bkText)->SetCaption("&Save");
  other_ = new TButtonEdit(form_.get());
  other_->SetParent(form_.get());
  other_->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == other_->Handle(); },
                        "other editor focused"));
  PressKeys({VK_MENU, 'S'});
  ASSERT_TRUE(PumpUntilIdle());
  // Index among all buttons: the hidden one counts, "&&" marks none.
  EXPECT_EQ(clicks_, std::vector<Integer>{3});
  PressKeys({VK_MENU, 'G'});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(clicks_, std::vector<Integer>{3});
}

// The ellipsis dots on the screen, in the button text colour.
TEST_F(EditButtons, AnEditorWithAnEllipsisButtonPaintsIt) {
  auto darkInMiddleRow = [&](const TRect& R) {
    ::RedrawWindow(edit_->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = ::GetDC(edit_->Handle());
    const COLORREF text = ColorToRGB(clBtnText);
    Integer count = 0;
    for (Integer x = R.Left; x < R.Right; ++x)
      for (Integer y = (R.Top + R.Bottom) / 2 - 2;
           y <= (R.Top + R.Bottom) / 2 + 2; ++y)
        if (::GetPixel(dc, x, y) == text) ++count;
    ::ReleaseDC(edit_->Handle(), dc);
    return count;
  };
  const TRect right{edit_->Width() - 20, 2, edit_->Width() - 2,
                    edit_->Height() - 2};
  EXPECT_EQ(darkInMiddleRow(right), 0);
  AddButton(bkEllipsis);
  const TRect button = ButtonBounds(0);
  EXPECT_GT(button.Width(), 0);
  // The new button reaches the screen with the next paint after the
  // properties' change has been applied.
  EXPECT_TRUE(WaitUntil([&] { return darkInMiddleRow(button) >= 3; },
                        "the ellipsis dots on the screen"));
}

TEST_F(EditButtons, TheWheelBelongsToAStandaloneEditorAlways) {
  EXPECT_TRUE(edit_->HandleMouseWheel({}));
  TcxCustomEdit inplace(nullptr, true);
  inplace.Properties()->SetUseMouseWheel(false);
  EXPECT_FALSE(inplace.HandleMouseWheel({}));
  EXPECT_TRUE(inplace.HandleMouseWheel({ssCtrl}));
  inplace.Properties()->SetUseMouseWheel(true);
  EXPECT_TRUE(inplace.HandleMouseWheel({}));
}

// ---------------------------------------------------------------------------
// Size
// ---------------------------------------------------------------------------

TEST_F(EditButtons, AutoSizeFollowsTheAlignment) {
  TcxEditSizeProperties props;
  props.MaxLineCount = 1;
  props.Width = 160;
  edit_->Properties()->SetButtonsViewStyle(bvsButtonsAutoWidth);
  AddButton(bkEllipsis);
  const TSize size = edit_->CreateViewData()->GetEditSize(
      ScreenCanvas(), edit_->EditValue(), props);
  ASSERT_GT(size.cy, 0);
  struct Case {
    TAlign Align;
    bool Width, Height;
  };
  for (const Case& c :
       {Case{alNone, true, true}, Case{alTop, false, true},
        Case{alBottom, false, true}, Case{alLeft, true, false},
        Case{alRight, true, false}, Case{alClient, false, false}}) {
    edit_->SetEditAutoSize(false);
    edit_->SetAlign(alNone);
    edit_->SetBounds(20, 20, 160, 77);
    edit_->SetAlign(c.Align);
    const Integer w = edit_->Width(), h = edit_->Height();
    edit_->SetEditAutoSize(true);
    PumpUntilIdle();
    if (c.Height)
      EXPECT_EQ(edit_->Height(), size.cy) << int(c.Align);
    else
      EXPECT_EQ(edit_->Height(), h) << int(c.Align);
    if (c.Width)
      EXPECT_EQ(edit_->Width(), size.cx) << int(c.Align);
    else
      EXPECT_EQ(edit_->Width(), w) << int(c.Align);
  }
}

TEST_F(EditButtons, WithoutAutoWidthOnlyTheHeightFollows) {
  AddButton(bkEllipsis);
  edit_->SetBounds(20, 20, 150, 77);
  edit_->SetEditAutoSize(true);
  PumpUntilIdle();
  EXPECT_EQ(edit_->Width(), 150);
  EXPECT_NE(edit_->Height(), 77);
  // An in-place editor never sizes itself.
  TcxCustomEdit inplace(nullptr, true);
  inplace.SetEditAutoSize(true);
  EXPECT_FALSE(inplace.CanAutoSize());
}

// The clipboard messages reach the editor's clipboard operations as the
// user's own actions; an editor that cannot change only copies.
class TClipboardEdit : public TcxCustomEdit {
  VARNEL_CLASS(TClipboardEdit, TcxCustomEdit)
 public:
  using TcxCustomEdit::TcxCustomEdit;
  std::vector<std::string> Calls;
  void CopyToClipboard() override { Note("copy"); }
  void CutToClipboard() override { Note("cut"); }
  void PasteFromClipboard() override { Note("paste"); }

 private:
  void Note(const char* AWhat) {
    Calls.push_back(std::string(AWhat) + (IsUserAction() ? "+user" : ""));
  }
};

TEST_F(EditButtons, ClipboardMessagesReachTheClipboardOperations) {
  struct TCase {
    UINT Message;
    bool ReadOnly;
    const char* Call;  // null: none
  };
  const TCase cases[] = {
      {WM_COPY, false, "copy"},        {WM_COPY, true, "copy"},
      {WM_CUT, false, "cut+user"},     {WM_CUT, true, "copy+user"},
      {WM_PASTE, false, "paste+user"}, {WM_PASTE, true, nullptr},
  };
  TClipboardEdit edit(form_.get());
  edit.SetParent(form_.get());
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Message << "/" << c.ReadOnly);
    edit.Properties()->SetReadOnly(c.ReadOnly);
    edit.Calls.clear();
    ::SendMessageA(edit.Handle(), c.Message, 0, 0);
    if (c.Call)
      EXPECT_EQ(edit.Calls, std::vector<std::string>{c.Call});
    else
      EXPECT_TRUE(edit.Calls.empty());
    EXPECT_FALSE(edit.IsUserAction());
  }
}

// What a form stream keeps of an editor's size.
TEST_F(EditButtons, AnAutoSizingEditorLeavesItsMeasuredSizeOutOfTheStream) {
  auto text = [](TComponent* AComponent) {
    TMemoryStream binary, out;
    WriteComponentToStream(binary, AComponent);
    binary.SetPosition(0);
    ObjectBinaryToText(binary, out);
    return std::string(static_cast<const char*>(out.Memory()),
                       static_cast<std::size_t>(out.Size()));
  };
  edit_->SetBounds(20, 20, 160, 31);
  std::string s = text(edit_);
  EXPECT_NE(s.find("Height = 31"), std::string::npos) << s;
  EXPECT_NE(s.find("Width = 160"), std::string::npos) << s;
  edit_->SetEditAutoSize(true);
  s = text(edit_);
  EXPECT_EQ(s.find("Height ="), std::string::npos) << s;
  EXPECT_NE(s.find("Width ="), std::string::npos) << s;
  edit_->Properties()->SetButtonsViewStyle(bvsButtonsAutoWidth);
  s = text(edit_);
  EXPECT_EQ(s.find("Width ="), std::string::npos) << s;
}

// A grid's content parameters go to its in-place editor's view data, and
// only once they were made.
TEST(EditContentParams, OnlyMadeParametersReachTheViewData) {
  TcxCustomEdit inplace(nullptr, true);
  EXPECT_FALSE(inplace.ContentParamsInitialized());
  EXPECT_EQ(inplace.CreateViewData()->EditContentParams.Offsets, TRect{});
  inplace.InitContentParams();
  EXPECT_TRUE(inplace.ContentParamsInitialized());
  EXPECT_TRUE(inplace.ContentParams().Options.Contains(ecoOffsetButtonContent));
  inplace.ContentParams().Offsets = TRect{1, 2, 3, 4};
  EXPECT_EQ(inplace.CreateViewData()->EditContentParams.Offsets,
            (TRect{1, 2, 3, 4}));
  TcxCustomEdit standalone(nullptr);
  standalone.InitContentParams();
  standalone.ContentParams().Offsets = TRect{1, 2, 3, 4};
  EXPECT_EQ(standalone.CreateViewData()->EditContentParams.Offsets, TRect{});
}

}  // namespace
