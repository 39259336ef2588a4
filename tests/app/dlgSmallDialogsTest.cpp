// The options, delete-group and about dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include "AppTestSupport.h"
#include "Variants.h"
#include "cxButtons.h"
#include "cxCheckBox.h"
#include "cxCheckGroup.h"
#include "cxLabel.h"
#include "dlgAbout.h"
#include "dlgDeleteGroup.h"
#include "dlgOptions.h"

using namespace ui_test;

namespace {

bool ItemEnabled(TdlgOptions* d, Integer i) {
  return d->cgRunOptions->GetProperties()->GetItems()->GetItem(i)->Enabled();
}

// Clicks the check box of item Index of the options.
void ClickOption(TdlgOptions* d, Integer Index) {
  Click(d->cgRunOptions->Buttons(Index));
  PumpUntilIdle();
}

TEST(OptionsDialog, RunAtLogonForcesMinimizeToTray) {
  TObjectPtr<TdlgOptions> d(TdlgOptions::Create(nullptr));
  ASSERT_EQ(d->cgRunOptions->GetProperties()->GetItems()->Count(), 4);
  EXPECT_EQ(d->cgRunOptions->GetProperties()->GetItems()->GetItem(3)->Caption(),
            "Place Office Dialog Items In Submenu");

  d->SetRunOptions(afRunAtLogon);
  EXPECT_EQ(d->GetRunOptions(), afRunAtLogon | afMinimizeToTray);
  EXPECT_FALSE(ItemEnabled(d.get(), 1));

  Integer afterUntick = -1, afterRetick = -1;
  bool enabledAfterUntick = false, enabledAfterRetick = true;
  {
    app_test::TOnModal<TdlgOptions> act([&](TdlgOptions* dlg) {
      // Unticking the logon option frees the other one, still ticked.
      ClickOption(dlg, 0);
      afterUntick = dlg->GetRunOptions();
      enabledAfterUntick = ItemEnabled(dlg, 1);
      ClickOption(dlg, 1);  // now the user may untick it
      ClickOption(dlg, 0);  // and ticking the logon option forces it on
      afterRetick = dlg->GetRunOptions();
      enabledAfterRetick = ItemEnabled(dlg, 1);
      Click(dlg->cxButton2);
    });
    EXPECT_EQ(d->ShowModal(), mrOk);
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_EQ(afterUntick, afMinimizeToTray);
  EXPECT_TRUE(enabledAfterUntick);
  EXPECT_EQ(afterRetick, afRunAtLogon | afMinimizeToTray);
  EXPECT_FALSE(enabledAfterRetick);

  d->SetRunOptions(afCommonInSubmenu | afOfficeInSubmenu);
  EXPECT_EQ(d->GetRunOptions(), afCommonInSubmenu | afOfficeInSubmenu);
  EXPECT_TRUE(ItemEnabled(d.get(), 1));
}

TEST(DeleteGroupDialog, WordsTheQuestionByTheGroupsState) {
  TObjectPtr<TdlgDeleteGroup> d(TdlgDeleteGroup::Create(nullptr));
  const Integer fullHeight = [&] {
    d->SetOptions(doGroupInstalled);
    return d->Height();
  }();
  d->SetGroupName("Work");
  EXPECT_EQ(d->Label1->Caption(),
            "The group 'Work' is currently installed. \r\r Do you want to "
            "leave the group installed or restore to Windows Default?");
  EXPECT_TRUE(d->cxCheckBox1->Visible());
  EXPECT_EQ(d->cxCheckBox1->Properties()->Caption(),
            "Reset to Windows Default Places");

  d->SetOptions(0);
  d->SetGroupName("Work");
  EXPECT_EQ(d->Label1->Caption(), "Do ypu want to delete the  group 'Work'?");
  EXPECT_FALSE(d->cxCheckBox1->Visible());
  EXPECT_EQ(d->Height(), fullHeight - d->cxCheckBox1->Height());
  // Asking twice does not shrink it twice.
  d->SetOptions(0);
  EXPECT_EQ(d->Height(), fullHeight - d->cxCheckBox1->Height());
  EXPECT_EQ(d->btnDelete->Caption(), "Delete ");
}

TEST(DeleteGroupDialog, TheTickedBoxAsksForTheDefaults) {
  TObjectPtr<TdlgDeleteGroup> d(TdlgDeleteGroup::Create(nullptr));
  d->SetOptions(doGroupInstalled);
  d->SetGroupName("Work");
  TModalResult result = mrNone;
  {
    app_test::TOnModal<TdlgDeleteGroup> act([](TdlgDeleteGroup* dlg) {
      Click(dlg->cxCheckBox1);
      PumpUntilIdle();
      Click(dlg->btnDelete);
    });
    result = d->ShowModal();
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(d->GetResetToDefault());
}

TEST(AboutDialog, ShowsTheFileVersionAndPaintsTheGradient) {
  TObjectPtr<TdlgAbout> d(TdlgAbout::Create(nullptr));
  // The test program's own version block says "7.6.5.4 test".
  EXPECT_EQ(d->lblFileVer->Caption(), "File Version: 7.6.5.4 test");
  EXPECT_EQ(d->cxLabel1->Caption(), "Varnel");
  COLORREF top = 0, bottom = 0;
  TModalResult result = mrNone;
  {
    app_test::TOnModal<TdlgAbout> act([&](TdlgAbout* dlg) {
      PumpUntilIdle();
      HDC dc = ::GetDC(dlg->Handle());
      top = ::GetPixel(dc, 2, 1);
      bottom = ::GetPixel(dc, 2, dlg->ClientHeight() - 1);
      ::ReleaseDC(dlg->Handle(), dc);
      Click(dlg->cxButton1);
    });
    result = d->ShowModal();
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(top, RGB(255, 255, 255));
  EXPECT_EQ(bottom, RGB(0xF0, 0xF0, 0xF0));
}

}  // namespace
