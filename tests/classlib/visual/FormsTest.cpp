// Forms from form stream resources, modal display, closing, and the
// application's exception handling and message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormStreams.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

// The form classes of forms/TTestMainForm.txt and forms/TTestDialog.txt.
class TTestMainForm : public TForm {
  VARNEL_CLASS(TTestMainForm, TForm)
 public:
  explicit TTestMainForm(TComponent* AOwner) : TForm(AOwner) {}
  int Clicks = 0;
  int Shows = 0;
  int Changes = 0;
  void btnGoClick(TObject*) { ++Clicks; }
  void FormShow(TObject*) { ++Shows; }
  void edtNameChange(TObject*) { ++Changes; }
  template <class T>
  T* Child(const char* name) {
    return dynamic_cast<T*>(FindComponent(name));
  }
};

class TTestDialog : public TForm {
  VARNEL_CLASS(TTestDialog, TForm)
 public:
  explicit TTestDialog(TComponent* AOwner) : TForm(AOwner) {}
  TButton* Button(const char* name) {
    return dynamic_cast<TButton*>(FindComponent(name));
  }
};

namespace {

void PublishTestForms() {
  static bool done = false;
  if (done) return;
  done = true;
  TPublished<TTestMainForm>()
      .Method("btnGoClick", &TTestMainForm::btnGoClick)
      .Method("FormShow", &TTestMainForm::FormShow)
      .Method("edtNameChange", &TTestMainForm::edtNameChange);
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { PublishTestForms(); }
  void TearDown() override {
    Application->OnException = nullptr;
    Pump();
  }
};

TEST_F(FormsTest, StreamBuildsNestedAlignedControlsAndBindsEvents) {
  TObjectPtr<TTestMainForm> form(NewForm<TTestMainForm>(nullptr));
  ASSERT_EQ(form->Caption(), "Main");
  ASSERT_EQ(form->ClientWidth(), 400);
  ASSERT_EQ(form->ClientHeight(), 300);

  auto* top = form->Child<TPanel>("pnlTop");
  auto* client = form->Child<TPanel>("pnlClient");
  auto* left = form->Child<TPanel>("pnlLeft");
  auto* bottom = form->Child<TPanel>("pnlBottom");
  auto* edit = form->Child<TEdit>("edtName");
  auto* button = form->Child<TButton>("btnGo");
  auto* label = form->Child<TLabel>("lblInfo");
  ASSERT_TRUE(top && client && left && bottom && edit && button && label);
  // The tree follows the stream's nesting.
  EXPECT_EQ(top->Parent(), form.get());
  EXPECT_EQ(button->Parent(), top);
  EXPECT_EQ(left->Parent(), client);
  EXPECT_EQ(label->Parent(), client);
  EXPECT_EQ(edit->Owner(), form.get());
  EXPECT_EQ(edit->Text(), "hello");
  EXPECT_TRUE(label->Font()->Style().Contains(fsBold));
  EXPECT_FALSE(label->ParentFont());

  form->Show();
  ASSERT_TRUE(form->HandleAllocated());
  Pump();
  EXPECT_EQ(form->Shows, 1);
  EXPECT_EQ(form->ClientWidth(), 400);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 40));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 40, 400, 300));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 100, 230));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 230, 400, 260));

  // Widening the form widens what is aligned and what is anchored right.
  form->SetClientWidth(500);
  Pump();
  EXPECT_EQ(client->Width(), 500);
  EXPECT_EQ(bottom->Width(), 500);
  EXPECT_EQ(left->Width(), 100);
  EXPECT_EQ(edit->Left(), 120);
  EXPECT_EQ(edit->Width(), 250);

  // Events bound by name reach the form's methods.
  ::SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(form->Clicks, 1);
  edit->SetText("changed");
  EXPECT_GE(form->Changes, 1);
}

TEST_F(FormsTest, WrittenFormReadsBackIntoTheSameTree) {
  TObjectPtr<TTestMainForm> form(NewForm<TTestMainForm>(nullptr));
  TMemoryStream stream;
  WriteComponentToStream(stream, form.get());
  stream.SetPosition(0);
  TObjectPtr<TTestMainForm> copy(new TTestMainForm(nullptr));
  ReadComponentFromStream(stream, copy.get());
  for (const char* name : {"pnlTop", "btnGo", "pnlClient", "pnlLeft",
                           "pnlBottom", "edtName", "lblInfo"}) {
    SCOPED_TRACE(name);
    auto* a = dynamic_cast<TControl*>(form->FindComponent(name));
    auto* b = dynamic_cast<TControl*>(copy->FindComponent(name));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->BoundsRect(), a->BoundsRect());
    EXPECT_EQ(b->Align(), a->Align());
    EXPECT_EQ(b->Parent()->Name(), a->Parent()->Name());
    EXPECT_EQ(b->Caption(), a->Caption());
  }
  auto* button = dynamic_cast<TButton*>(copy->FindComponent("btnGo"));
  button->Click();
  EXPECT_EQ(copy->Clicks, 1);
}

TEST_F(FormsTest, ScreenCenteredFormIsCentredInWorkArea) {
  TObjectPtr<TTestDialog> dlg(NewForm<TTestDialog>(nullptr));
  dlg->Show();
  Pump();
  const TRect area = Screen->WorkAreaRect();
  EXPECT_EQ(dlg->Left(), area.Left + (area.Width() - dlg->Width()) / 2);
  EXPECT_EQ(dlg->Top(), area.Top + (area.Height() - dlg->Height()) / 2);
  EXPECT_EQ(::GetWindowLongA(dlg->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME,
            WS_EX_DLGMODALFRAME);
}

TEST_F(FormsTest, AFormPlacedOnAPanelIsAChildThatFocusesItsActiveControl) {
  TObjectPtr<TForm> host(new TForm(nullptr));
  host->SetBounds(50, 50, 400, 300);
  auto* panel = new TPanel(host.get());
  panel->SetParent(host.get());
  panel->SetBounds(10, 10, 300, 200);
  auto* other = new TEdit(host.get());
  other->SetParent(host.get());
  other->SetBounds(10, 240, 100, 24);
  TObjectPtr<TForm> placed(new TForm(nullptr));
  placed->SetPosition(poScreenCenter);
  placed->SetBorderStyle(bsDialog);
  auto* field = new TEdit(placed.get());
  field->SetParent(placed.get());
  field->SetBounds(5, 5, 100, 24);
  placed->SetActiveControl(field);
  placed->SetParent(panel);
  placed->SetBounds(7, 8, 200, 150);
  host->Show();
  placed->Show();
  Pump();
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(placed->Handle()); },
                        "placed form shown"));
  const LONG style = ::GetWindowLongA(placed->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_CHILD, WS_CHILD);
  EXPECT_EQ(style & WS_POPUP, 0);
  EXPECT_EQ(::GetParent(placed->Handle()), panel->Handle());
  // Its host places it: no centring on the screen.
  EXPECT_EQ(placed->BoundsRect(), (TRect{7, 8, 207, 158}));
  other->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return other->Focused(); }, "other focused"));
  placed->SetFocus();
  EXPECT_TRUE(field->Focused());
  EXPECT_EQ(::GetActiveWindow(), host->Handle());
  placed->SetParent(nullptr);
  placed.reset();
}

TEST_F(FormsTest, ModalFormReturnsResultOfScriptedButtonClick) {
  TObjectPtr<TTestDialog> dlg(NewForm<TTestDialog>(nullptr));
  ASSERT_NE(dlg->Button("btnOk"), nullptr);
  const TCursorPosGuard pointer;
  TModalAction click(dlg.get(), [&] { Click(dlg.get(), "OK"); });
  TModalWatchdog watchdog(dlg.get());
  const TModalResult result = dlg->ShowModal();
  EXPECT_FALSE(TModalWatchdog::Fired());
  EXPECT_EQ(result, mrOk);
  EXPECT_FALSE(dlg->Visible());
  EXPECT_FALSE(dlg->FormState().Contains(fsModal));
}

TEST_F(FormsTest, EscapeEndsModalFormThroughCancelButton) {
  TObjectPtr<TTestDialog> dlg(NewForm<TTestDialog>(nullptr));
  auto* edit = dynamic_cast<TEdit*>(dlg->FindComponent("edtValue"));
  ASSERT_NE(edit, nullptr);
  dlg->SetActiveControl(edit);
  TModalAction escape(dlg.get(), [] { PressKeys({VK_ESCAPE}); });
  TModalWatchdog watchdog(dlg.get());
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_FALSE(TModalWatchdog::Fired());
}

TEST_F(FormsTest, CloseQueryCanKeepModalFormOpen) {
  TObjectPtr<TTestDialog> dlg(NewForm<TTestDialog>(nullptr));
  int asked = 0;
  dlg->OnCloseQuery = TCloseQueryEvent::FromFunction(
      [&](TObject*, bool& canClose) { canClose = ++asked > 1; });
  TButton* ok = dlg->Button("btnOk");
  // The first click is refused; the second closes.
  ::PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
  ::PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
  TModalWatchdog watchdog(dlg.get());
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_EQ(asked, 2);
}

TEST_F(FormsTest, ShowModalRefusesVisibleForm) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->Show();
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST_F(FormsTest, CloseActions) {
  struct Case {
    TCloseAction action;
    bool visibleAfter;
    bool freed;
  };
  const Case cases[] = {
      {caNone, true, false}, {caHide, false, false}, {caFree, false, true}};
  for (const Case& c : cases) {
    TComponent owner(nullptr);
    auto* form = new TForm(&owner);
    form->OnClose = TCloseEvent::FromFunction(
        [&](TObject*, TCloseAction& action) { action = c.action; });
    form->Show();
    form->Close();
    Pump();
    SCOPED_TRACE(static_cast<int>(c.action));
    EXPECT_EQ(owner.ComponentCount() == 0, c.freed);
    if (!c.freed) {
      EXPECT_EQ(form->Visible(), c.visibleAfter);
    }
  }
}

TEST_F(FormsTest, ExceptionInEventHandlerReachesHandleExceptionAndLoopGoesOn) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->OnClick = TNotifyEvent::FromFunction(
      [](TObject*) { throw EConvertError("bad value"); });
  String seen;
  TObject* sender = nullptr;
  Application->OnException =
      TExceptionEvent::FromFunction([&](TObject* s, Exception* e) {
        seen = e->Message();
        sender = s;
      });
  bool later = false;
  HWND probe = AllocateHWnd(TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg == WM_APP) later = true;
  }));
  form->Show();
  ::PostMessageA(button->Handle(), BM_CLICK, 0, 0);
  ::PostMessageA(probe, WM_APP, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return later; }, "the probe message"));
  DeallocateHWnd(probe);
  EXPECT_EQ(seen, "bad value");
  EXPECT_NE(sender, nullptr);
}

TEST_F(FormsTest, UnhandledExceptionShowsErrorBoxButAbortIsSilent) {
  struct Box {
    String text, caption;
    Cardinal flags = 0;
    int count = 0;
  } box;
  TMessageBoxHandler old = SetMessageBoxHandler(
      [&](const String& text, const String& caption, Cardinal flags) {
        box.text = text;
        box.caption = caption;
        box.flags = flags;
        ++box.count;
        return idOK;
      });
  Application->SetTitle("Varnel Test");
  try {
    throw Exception("Disk full");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  try {
    throw EAbort("quiet");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  SetMessageBoxHandler(old);
  Application->SetTitle("");
  EXPECT_EQ(box.count, 1);
  EXPECT_EQ(box.text, "Disk full.");
  EXPECT_EQ(box.caption, "Varnel Test");
  EXPECT_EQ(box.flags, mbOK | mbIconError);
}

TEST_F(FormsTest, ApplicationEventsGetExceptionsWhenApplicationHasNoHandler) {
  TApplicationEvents events(nullptr);
  String seen;
  events.OnException = TExceptionEvent::FromFunction(
      [&](TObject*, Exception* e) { seen = e->Message(); });
  try {
    throw std::runtime_error("from the standard library");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  EXPECT_EQ(seen, "from the standard library");
}

// An exception handler that fails gets its failure shown, whatever it
// throws.
TEST_F(FormsTest, FailingExceptionHandlerIsShown) {
  std::vector<String> shown;
  TMessageBoxHandler old =
      SetMessageBoxHandler([&](const String& text, const String&, Cardinal) {
        shown.push_back(text);
        return idOK;
      });
  TScopeGuard restore([&] { SetMessageBoxHandler(old); });
  TApplicationEvents events(nullptr);
  const std::function<void()> failures[] = {
      [] { throw Exception("handler broke"); },
      [] { throw std::runtime_error("handler broke"); },
      [] { throw 42; },
  };
  const String expected[] = {"handler broke.", "handler broke.",
                             "Unknown exception."};
  for (int i = 0; i < 3; ++i) {
    shown.clear();
    events.OnException = TExceptionEvent::FromFunction(
        [&](TObject*, Exception*) { failures[i](); });
    try {
      throw Exception("first");
    } catch (...) {
      Application->HandleException(nullptr);
    }
    ASSERT_EQ(shown.size(), 1u) << i;
    EXPECT_EQ(shown[0], expected[i]) << i;
  }
}

TEST_F(FormsTest, RunEndsOnTerminate) {
  // Terminate posts the quit message before Run starts: Run cannot hang.
  Application->SetShowMainForm(false);
  Application->Terminate();
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  Application->ResetTerminated();
  Application->SetShowMainForm(true);
}

TEST_F(FormsTest, ObjectInstanceCallsMethodAndFreesCleanly) {
  std::vector<UINT> got;
  WNDPROC proc = MakeObjectInstance(TWndMethod::FromFunction([&](TMessage& m) {
    got.push_back(m.Msg);
    m.Result = static_cast<LRESULT>(m.WParam + m.LParam);
  }));
  EXPECT_EQ(::CallWindowProcA(proc, nullptr, WM_USER + 7, 40, 2), 42);
  // Instances are reused after being freed; a fresh one calls its own method.
  FreeObjectInstance(proc);
  int other = 0;
  WNDPROC proc2 =
      MakeObjectInstance(TWndMethod::FromFunction([&](TMessage&) { ++other; }));
  ::CallWindowProcA(proc2, nullptr, WM_USER, 0, 0);
  FreeObjectInstance(proc2);
  EXPECT_EQ(got, std::vector<UINT>{WM_USER + 7});
  EXPECT_EQ(other, 1);
}

TEST_F(FormsTest, ScreenTracksFormsAndCursors) {
  const Integer before = Screen->FormCount();
  {
    TObjectPtr<TForm> form(new TForm(nullptr));
    EXPECT_EQ(Screen->FormCount(), before + 1);
  }
  EXPECT_EQ(Screen->FormCount(), before);
  EXPECT_NE(Screen->Cursors(crHourGlass), nullptr);
  HCURSOR mine = ::LoadCursor(nullptr, IDC_CROSS);
  Screen->SetCursors(1, mine);
  EXPECT_EQ(Screen->Cursors(1), mine);
  EXPECT_GE(Screen->MonitorCount(), 1);
  EXPECT_FALSE(IsRectEmpty(Screen->WorkAreaRect()));
}

}  // namespace

namespace {

bool& RunExpired() {
  static bool expired = false;
  return expired;
}

void CALLBACK EndRun(HWND, UINT, UINT_PTR, DWORD) {
  RunExpired() = true;
  ::PostQuitMessage(0);
}

TEST(FormsApplication, CreateFormReadsStreamAndFirstBecomesMainForm) {
  PublishTestForms();
  ASSERT_EQ(Application->MainForm(), nullptr);
  TTestMainForm* main = nullptr;
  TTestDialog* dialog = nullptr;
  Application->CreateForm(main);
  Application->CreateForm(dialog);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Application->MainForm(), main);
  EXPECT_EQ(main->Owner(), Application);
  EXPECT_NE(main->FindComponent("btnGo"), nullptr);
  EXPECT_NE(dialog->FindComponent("btnOk"), nullptr);
  // Closing the main form ends the application; a timer ends Run should
  // that fail.
  RunExpired() = false;
  const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 5000, &EndRun);
  main->Show();
  main->Close();
  Application->Run();
  ::KillTimer(nullptr, watchdog);
  EXPECT_FALSE(RunExpired());
  EXPECT_TRUE(Application->Terminated());
  Application->ResetTerminated();
  Free(dialog);
  Free(main);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

}  // namespace
