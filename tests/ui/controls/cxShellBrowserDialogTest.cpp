// The folder browse dialog, shown modally over a folder tree made under the
// temporary folder: a folder chosen with real keys and OK comes back as
// Path; Cancel and Escape leave Path alone; the form's texts and options.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ShellTestSupport.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxRegExpr.h"
#include "cxShellBrowserDialog.h"

using shell_test::TTempFolderTree;

namespace {

// Runs a scripted action inside the modal loop of the form Execute makes;
// a watchdog ends a loop that the script did not end.
class TScriptedBrowserDialog : public TcxShellBrowserDialog {
 public:
  explicit TScriptedBrowserDialog(
      std::function<void(TcxShellBrowserDlg*)> AScript)
      : TcxShellBrowserDialog(nullptr), script_(std::move(AScript)) {}
  bool FormMade() const { return formMade_; }

 protected:
  TObjectPtr<TcxShellBrowserDlg> CreateForm() override {
    TObjectPtr<TcxShellBrowserDlg> form = TcxShellBrowserDialog::CreateForm();
    formMade_ = true;
    TcxShellBrowserDlg* shown = form.get();
    action_ = std::make_unique<ui_test::TModalAction>(
        shown, [this, shown] { script_(shown); });
    watchdog_ = std::make_unique<ui_test::TModalWatchdog>(shown);
    return form;
  }

 private:
  std::function<void(TcxShellBrowserDlg*)> script_;
  std::unique_ptr<ui_test::TModalAction> action_;
  std::unique_ptr<ui_test::TModalWatchdog> watchdog_;
  bool formMade_ = false;
};

// The texts of the first level below the form's root node.
std::vector<String> RootChildren(TcxShellBrowserDlg* AForm) {
  std::vector<String> texts;
  TTreeNode* root = AForm->cxStv->InnerTreeView()->Items()->GetFirstNode();
  for (Integer i = 0; root && i < root->Count(); ++i) {
    texts.push_back(root->Item(i)->Text());
  }
  return texts;
}

class ShellBrowserDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddFolder("Root\\A\\A1");
    tree_.AddFolder("Root\\B");
    tree_.AddFile("Root\\file.txt");
  }
  void Prepare(TcxShellBrowserDialog& ADialog) {
    ADialog.Root()->BrowseFolder = bfCustomPath;
    ADialog.Root()->CustomPath = tree_.Path("Root");
    ADialog.SetPath(tree_.Path("Root\\A"));
  }

  TTempFolderTree tree_;
  ui_test::TCursorPosGuard cursor_;
};

}  // namespace

TEST_F(ShellBrowserDialogTest, KeysChooseAFolderAndOkReturnsItsPath) {
  String caption;
  String label;
  String field;
  String fieldAfterMove;
  bool fieldReadOnly = false;
  std::vector<String> shown;
  TScriptedBrowserDialog dialog([&](TcxShellBrowserDlg* AForm) {
    caption = AForm->Caption();
    label = AForm->FolderCaption();
    field = AForm->cxTeFolder->Text();
    fieldReadOnly = AForm->cxTeFolder->Properties()->ReadOnly();
    shown = RootChildren(AForm);
    ui_test::PressKeys({VK_DOWN});  // from A to B
    ui_test::PumpUntilIdle();
    fieldAfterMove = AForm->cxTeFolder->Text();
    ui_test::Click(AForm->cxButton1);
  });
  Prepare(dialog);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_FALSE(ui_test::TModalWatchdog::Fired());
  EXPECT_TRUE(shell_test::SamePath(dialog.Path(), tree_.Path("Root\\B")));
  EXPECT_EQ(caption, "Browse for Folder");
  EXPECT_EQ(label, "Current Folder");
  // The path field follows the tree and cannot be typed into.
  ASSERT_FALSE(field.empty());
  EXPECT_EQ(field.back(), 'A');
  ASSERT_FALSE(fieldAfterMove.empty());
  EXPECT_EQ(fieldAfterMove.back(), 'B');
  EXPECT_TRUE(fieldReadOnly);
  // Files are not shown unless asked for.
  EXPECT_EQ(shown, (std::vector<String>{"A", "B"}));
}

TEST_F(ShellBrowserDialogTest, CancelAndEscapeLeavePathAlone) {
  for (const bool escape : {false, true}) {
    TScriptedBrowserDialog dialog([&](TcxShellBrowserDlg* AForm) {
      ui_test::PressKeys({VK_DOWN});
      ui_test::PumpUntilIdle();
      if (escape) {
        ui_test::PressKeys({VK_ESCAPE});
      } else {
        ui_test::Click(AForm->cxButton2);
      }
    });
    Prepare(dialog);
    EXPECT_FALSE(dialog.Execute()) << escape;
    EXPECT_FALSE(ui_test::TModalWatchdog::Fired());
    EXPECT_EQ(dialog.Path(), tree_.Path("Root\\A")) << escape;
  }
}

TEST_F(ShellBrowserDialogTest, TitleLabelAndFilesFollowTheSettings) {
  String caption;
  String label;
  std::vector<String> shown;
  TScriptedBrowserDialog dialog([&](TcxShellBrowserDlg* AForm) {
    caption = AForm->Caption();
    label = AForm->FolderCaption();
    shown = RootChildren(AForm);
    ui_test::Click(AForm->cxButton1);
  });
  Prepare(dialog);
  dialog.SetTitle("Pick one");
  dialog.SetFolderLabelCaption("Where:");
  dialog.Options()->ShowNonFolders = true;
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(caption, "Pick one");
  EXPECT_EQ(label, "Where:");
  EXPECT_EQ(shown, (std::vector<String>{"A", "B", "file.txt"}));
  EXPECT_TRUE(shell_test::SamePath(dialog.Path(), tree_.Path("Root\\A")));
}

TEST_F(ShellBrowserDialogTest, AnUnresolvableRootRaisesAndRestoresTheCursor) {
  TScriptedBrowserDialog dialog(
      [](TcxShellBrowserDlg* AForm) { ui_test::Click(AForm->cxButton2); });
  dialog.Root()->BrowseFolder = bfCustomPath;
  dialog.Root()->CustomPath = tree_.Path("Missing\\Nowhere");
  const TCursor before = Screen->Cursor();
  EXPECT_THROW(dialog.Execute(), EcxEditError);
  EXPECT_TRUE(dialog.FormMade());
  EXPECT_EQ(Screen->Cursor(), before);
  EXPECT_EQ(dialog.Path(), "");
}

TEST_F(ShellBrowserDialogTest, FormKeepsItsMinimumSizeAndSizesFromItsGrip) {
  TObjectPtr<TcxShellBrowserDlg> form(new TcxShellBrowserDlg(Application));
  form->Root()->SetBrowseFolder(bfCustomPath);
  form->Root()->SetCustomPath(AnsiToWide(tree_.Path("Root")));
  form->Show();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  form->SetBounds(form->Left(), form->Top(), 100, 120);
  EXPECT_GE(form->Width(), 250);
  EXPECT_GE(form->Height(), 300);
  form->SetBounds(form->Left(), form->Top(), 420, 460);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  // The tree grows with the form; the buttons stay at the bottom right.
  const TRect client = form->GetClientRect();
  EXPECT_EQ(form->cxButton2->Left() + form->cxButton2->Width(),
            client.Right - 14);
  EXPECT_EQ(form->cxButton2->Top() + form->cxButton2->Height(),
            client.Bottom - 10);
  EXPECT_EQ(form->cxStv->Width(), client.Right - 24);
  const TRect grip = form->SizeGripRect();
  ASSERT_FALSE(grip.Width() == 0);
  EXPECT_EQ(grip.Right, client.Right);
  EXPECT_EQ(grip.Bottom, client.Bottom);
  const POINT inGrip =
      ui_test::ScreenPointOf(form.get(), grip.Right - 2, grip.Bottom - 2);
  EXPECT_EQ(::SendMessageA(form->Handle(), WM_NCHITTEST, 0,
                           MAKELPARAM(inGrip.x, inGrip.y)),
            HTBOTTOMRIGHT);
  const POINT outside = ui_test::ScreenPointOf(form.get(), 4, 4);
  EXPECT_EQ(::SendMessageA(form->Handle(), WM_NCHITTEST, 0,
                           MAKELPARAM(outside.x, outside.y)),
            HTCLIENT);
}

TEST_F(ShellBrowserDialogTest, ButtonsArePushButtonsOfTheDialogsLookAndFeel) {
  bool ownerDrawn = false;
  TcxLookAndFeelKind okKind = lfStandard;
  TcxLookAndFeelKind cancelKind = lfStandard;
  TScriptedBrowserDialog dialog([&](TcxShellBrowserDlg* AForm) {
    // The library paints them: the system's own button drawing is off.
    ownerDrawn = (::GetWindowLongA(AForm->cxButton1->Handle(), GWL_STYLE) &
                  BS_TYPEMASK) == BS_OWNERDRAW;
    okKind = AForm->cxButton1->LookAndFeel()->Kind();
    cancelKind = AForm->cxButton2->LookAndFeel()->Kind();
    ui_test::Click(AForm->cxButton2);
  });
  Prepare(dialog);
  dialog.LookAndFeel()->SetNativeStyle(false);
  dialog.LookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_FALSE(dialog.Execute());
  EXPECT_TRUE(ownerDrawn);
  EXPECT_EQ(okKind, lfUltraFlat);
  EXPECT_EQ(cancelKind, lfUltraFlat);
}
