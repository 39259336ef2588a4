// The select-folder dialog: its entries by mask, its presets and when Ok is
// offered, driven through its own controls.
#include <gtest/gtest.h>
#include <windows.h>

#include "AppTestSupport.h"
#include "PlacesTestSupport.h"
#include "StdCtrls.h"
#include "cxButtonEdit.h"
#include "cxButtons.h"
#include "cxDropDownEdit.h"
#include "dlgSelectFolder.h"

using namespace ui_test;

namespace {

std::vector<String> Captions(TStrings* Strings) {
  std::vector<String> out;
  for (Integer i = 0; i < Strings->Count(); ++i)
    out.push_back(Strings->Strings(i));
  return out;
}

class SelectFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { dialog_.reset(TdlgSelectFolder::Create(nullptr)); }
  void TearDown() override {
    dialog_.reset();
    Pump();
  }
  TObjectPtr<TdlgSelectFolder> dialog_;
};

TEST_F(SelectFolderTest, MasksOfferTheirEntriesInOrder) {
  struct Case {
    Word mask;
    std::vector<String> captions;
  };
  const Case cases[] = {
      {kOfficeSpecialFolders,
       {"Clear Entry", "Custom Place", "Desktop", "FAVORITES", "Recent",
        "Network Neighborhood", "My Documents"}},
      {0, {"Clear Entry", "Custom Place"}},
      {0x0001, {"Clear Entry", "Custom Place", "My Computer"}},
  };
  for (const Case& c : cases) {
    dialog_->SetFolderMask(c.mask);
    EXPECT_EQ(Captions(dialog_->cbFldSelect->Properties()->Items()), c.captions)
        << c.mask;
  }
  dialog_->SetFolderMask(kAllSpecialFolders);
  EXPECT_EQ(dialog_->cbFldSelect->Properties()->Items()->Count(), 17);
  EXPECT_EQ(dialog_->cbFldSelect->Properties()->Items()->Strings(16),
            "Common Pictures");
}

TEST_F(SelectFolderTest, OpensWithNothingChosenAndOkDisabled) {
  EXPECT_EQ(dialog_->cbFldSelect->ItemIndex(), -1);
  EXPECT_EQ(dialog_->cbFldSelect->Text(), "Select Place");
  EXPECT_FALSE(dialog_->btnOk->Enabled());
  EXPECT_FALSE(dialog_->edtCustomPlace->Enabled());
  EXPECT_EQ(dialog_->GetSelectedFolderId(), -1);
  EXPECT_FALSE(dialog_->IsClearEntry());
}

TEST_F(SelectFolderTest, PresetsByCaptionIdOrPath) {
  places_test::TScratchFolders folders;
  const String work = folders.Make("Work");

  dialog_->SetPlaceText("Desktop");
  EXPECT_EQ(dialog_->GetSelectedFolderId(), 0);
  EXPECT_EQ(dialog_->GetPlaceText(), "Desktop");
  EXPECT_TRUE(dialog_->btnOk->Enabled());

  dialog_->SetPlaceText(work);
  EXPECT_EQ(dialog_->cbFldSelect->ItemIndex(), 1);
  EXPECT_EQ(dialog_->GetPlaceText(), work);
  EXPECT_TRUE(dialog_->edtCustomPlace->Enabled());
  EXPECT_TRUE(dialog_->btnOk->Enabled());

  // A path that does not exist keeps Ok away.
  dialog_->SetPlaceText(folders.Missing("Gone"));
  EXPECT_FALSE(dialog_->btnOk->Enabled());

  dialog_->SetSelectedFolderId(17);
  EXPECT_EQ(dialog_->GetSelectedFolderId(), 17);
  EXPECT_EQ(dialog_->GetPlaceText(), "My Computer");
  EXPECT_FALSE(dialog_->edtCustomPlace->Enabled());
}

TEST_F(SelectFolderTest, SetCustomPathIgnoresAMissingFolder) {
  places_test::TScratchFolders folders;
  dialog_->SetSelectedFolderId(5);
  dialog_->SetCustomPath(folders.Missing("Nowhere"));
  EXPECT_EQ(dialog_->GetSelectedFolderId(), 5);
  const String docs = folders.Make("Docs");
  dialog_->SetCustomPath(docs);
  EXPECT_EQ(dialog_->cbFldSelect->ItemIndex(), 1);
  EXPECT_EQ(dialog_->GetCustomPath(), docs);
}

TEST_F(SelectFolderTest, ClearEntryEmptiesTheEditAndOffersOk) {
  places_test::TScratchFolders folders;
  dialog_->SetCustomPath(folders.Make("Docs"));
  dialog_->SetPlaceText("Clear Entry");
  EXPECT_TRUE(dialog_->IsClearEntry());
  EXPECT_EQ(dialog_->GetCustomPath(), "");
  EXPECT_TRUE(dialog_->btnOk->Enabled());
  EXPECT_FALSE(dialog_->edtCustomPlace->Enabled());
}

// The user picks "Custom Place" with the keyboard, types a folder and
// confirms: Ok follows the typed text.
TEST_F(SelectFolderTest, TypingAFolderEnablesOk) {
  places_test::TScratchFolders folders;
  const String docs = folders.Make("Docs");
  TModalResult result = mrNone;
  bool okBeforeTyping = true;
  {
    app_test::TOnModal<TdlgSelectFolder> act([&](TdlgSelectFolder* d) {
      d->cbFldSelect->SetFocus();
      // From no choice: Clear Entry, then Custom Place.
      PressKeys({VK_DOWN});
      PressKeys({VK_DOWN});
      PumpUntilIdle();
      okBeforeTyping = d->btnOk->Enabled();
      d->edtCustomPlace->SetFocus();
      TypeText(docs);
      PumpUntilIdle();
      Click(d->btnOk);
    });
    result = dialog_->ShowModal();
    EXPECT_TRUE(act.Ran());
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_FALSE(okBeforeTyping);
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(dialog_->GetSelectedFolderId(), -1);
  EXPECT_EQ(dialog_->GetPlaceText(), docs);
}

// The user opens the list, clicks a special folder and confirms.
TEST_F(SelectFolderTest, AClickedSpecialFolderIsTheAnswer) {
  dialog_->SetFolderMask(kOfficeSpecialFolders);
  TModalResult result = mrNone;
  bool okBefore = true, okAfter = false;
  {
    app_test::TOnModal<TdlgSelectFolder> act([&](TdlgSelectFolder* d) {
      okBefore = d->btnOk->Enabled();
      d->cbFldSelect->SetDroppedDown(true);
      if (!WaitUntil([&] { return d->cbFldSelect->DroppedDown(); },
                     "list open"))
        return;
      PumpUntilIdle();
      TcxCustomComboBoxListBox* list = d->cbFldSelect->GetLookupData()->List();
      const Integer recent = d->Entries()->IndexOf("Recent");
      const TRect r = list->ItemRect(recent);
      Click(
          ScreenPointOf(list, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
      WaitUntil([&] { return !d->cbFldSelect->DroppedDown(); }, "closed");
      PumpUntilIdle();
      okAfter = d->btnOk->Enabled();
      Click(d->btnOk);
    });
    result = dialog_->ShowModal();
    EXPECT_TRUE(act.Ran());
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_FALSE(okBefore);
  EXPECT_TRUE(okAfter);
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(dialog_->GetSelectedFolderId(), 8);
  EXPECT_EQ(dialog_->GetPlaceText(), "Recent");
  EXPECT_FALSE(dialog_->IsClearEntry());
}

// The choice takes typed text: a name that is no entry chooses nothing and
// keeps Ok away, an entry's name chooses that entry.
TEST_F(SelectFolderTest, TypedTextChoosesOnlyAnEntry) {
  dialog_->SetFolderMask(kOfficeSpecialFolders);
  Integer indexAfterJunk = 0, idAfterJunk = 0, indexAfterName = -1;
  bool okAfterJunk = true, okAfterName = false;
  {
    app_test::TOnModal<TdlgSelectFolder> act([&](TdlgSelectFolder* d) {
      d->cbFldSelect->SetFocus();
      PumpUntilIdle();
      d->cbFldSelect->SelectAll();
      TypeText("Nowhere");
      PumpUntilIdle();
      indexAfterJunk = d->cbFldSelect->ItemIndex();
      idAfterJunk = d->GetSelectedFolderId();
      okAfterJunk = d->btnOk->Enabled();
      d->cbFldSelect->SelectAll();
      TypeText("Recent");
      PumpUntilIdle();
      indexAfterName = d->cbFldSelect->ItemIndex();
      okAfterName = d->btnOk->Enabled();
      Click(d->btnCancel);
    });
    EXPECT_EQ(dialog_->ShowModal(), mrCancel);
    EXPECT_TRUE(act.Ran());
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_EQ(indexAfterJunk, -1);
  EXPECT_EQ(idAfterJunk, -1);
  EXPECT_FALSE(okAfterJunk);
  EXPECT_EQ(indexAfterName, dialog_->Entries()->IndexOf("Recent"));
  EXPECT_TRUE(okAfterName);
}

}  // namespace
