// The main window in a sandboxed registry: groups made, renamed, removed
// and installed through the window's own actions and list, places chosen
// in the select-folder dialog, the tray menu, the options and Office
// detection, each checked in the registry value by value.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "ActnList.h"
#include "AppTestSupport.h"
#include "ExtCtrls.h"
#include "MainWindowTestSupport.h"
#include "Menus.h"
#include "PlacesTestSupport.h"
#include "StdCtrls.h"
#include "TrayIcon.h"
#include "cxButtonEdit.h"
#include "cxButtons.h"
#include "cxCheckGroup.h"
#include "cxDropDownEdit.h"
#include "cxLabel.h"
#include "cxListView.h"
#include "cxPC.h"
#include "dlgDeleteGroup.h"
#include "dlgOptions.h"
#include "dlgSelectFolder.h"
#include "wndMain.h"

using namespace ui_test;
using places_test::KeyExists;
using places_test::KeyValues;
using places_test::PutDword;
using places_test::PutString;
using places_test::SubKeys;
using places_test::TMessageRecorder;
using places_test::TScratchFolders;

namespace {

const char kOffice11Places[] =
    "Software\\Microsoft\\Office\\11.0\\Common\\Open Find\\Places";

std::vector<String> MenuCaptions(TMenuItem* Parent) {
  std::vector<String> out;
  for (Integer i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    String text = item->Caption();
    if (item->Count() > 0) {
      text += " {";
      for (const String& s : MenuCaptions(item)) text += s + ";";
      text += "}";
    }
    out.push_back(text);
  }
  return out;
}

using main_window_test::ChooseInDialog;
using main_window_test::StoreGroup;

class MainWindowTest : public main_window_test::TMainWindowFixture {
 protected:
  // Renames the selected group by typing into its caption editor.
  void TypeNewName(const String& Name) {
    form_->actRenameGroup->Execute();
    ASSERT_TRUE(WaitUntil([&] { return form_->lvGroups->IsEditing(); },
                          "caption editor open"));
    TypeText(Name);
    PressKeys({VK_RETURN});
    PumpUntilIdle();
  }
};

// ---------------------------------------------------------------------------
// Start, Office detection and options
// ---------------------------------------------------------------------------

TEST_F(MainWindowTest, StartsWithItsPagesActionsAndCaption) {
  Open();
  EXPECT_EQ(form_->Caption(), "Varnel");
  EXPECT_EQ(form_->tsCommonDlg->Caption(), "Common Dialogs");
  EXPECT_EQ(form_->tsOffice->Caption(), "MS Office");
  EXPECT_EQ(form_->pcMainGrids->GetActivePageIndex(), 0);
  EXPECT_EQ(form_->actRestore->Caption(), kMinimizeCaption);
  EXPECT_EQ(form_->actRestore->Tag(), 1);
  EXPECT_EQ(form_->Constraints()->MinHeight(), 465);
  EXPECT_EQ(form_->Constraints()->MaxHeight(), 465);
  EXPECT_EQ(form_->Constraints()->MinWidth(), 600);
  EXPECT_EQ(form_->Constraints()->MaxWidth(), 700);
  EXPECT_FALSE(form_->CheckedBitmap()->Empty());
  EXPECT_FALSE(form_->UncheckedBitmap()->Empty());
  // No Office: the Office defaults are off (the grid's side is checked
  // with the grids).
  EXPECT_EQ(form_->OfficeMask(), 0);
  EXPECT_FALSE(form_->actOff2003Default->Visible());
  EXPECT_EQ(TOfficeDialogPlaces::DefaultOfficeVersion(), 0);
}

TEST_F(MainWindowTest, OnlyOffice2003OffersOneVersion) {
  places_test::PutDword(kOffice11Places, "ItemSize", 1);
  Open();
  EXPECT_EQ(form_->OfficeMask(), omOffice2003);
  ASSERT_EQ(form_->OfficeVersionChoices().size(), 1u);
  EXPECT_EQ(form_->OfficeVersionChoices()[0].Caption, "2003");
  EXPECT_EQ(form_->OfficeVersionChoices()[0].Value, 3);
  EXPECT_EQ(form_->OfficeVersionColumnCount(), 3);
  EXPECT_EQ(TOfficeDialogPlaces::DefaultOfficeVersion(), 3);
  EXPECT_TRUE(form_->actOff2003Default->Visible());
  EXPECT_FALSE(form_->actOff2000Default->Visible());
  EXPECT_FALSE(form_->actOff2007Default->Visible());
}

TEST(OfficeVersions, ItemsAndColumnsFollowTheMask) {
  struct Case {
    Byte mask;
    std::vector<String> captions;
    Integer columns;
  };
  const Case cases[] = {{0, {}, 2},
                        {omOffice2000 | omOfficeXP, {"2000", "XP"}, 2},
                        {omOffice2000 | omOffice2007, {"2000", "2007"}, 4},
                        {0x0F, {"2000", "XP", "2003", "2007"}, 4}};
  for (const Case& c : cases) {
    std::vector<String> captions;
    for (const auto& item : OfficeVersionItems(c.mask))
      captions.push_back(item.Caption);
    EXPECT_EQ(captions, c.captions) << int(c.mask);
    EXPECT_EQ(OfficeVersionColumns(c.mask), c.columns) << int(c.mask);
  }
}

TEST_F(MainWindowTest, StoredDefaultsWinOverDetection) {
  places_test::PutDword(kOffice11Places, "ItemSize", 1);
  PutDword(kDefaultsKey, "DefaultOfficeVersion", 260);
  PutDword(kDefaultsKey, "ApplicationFlags", 6);
  Open();
  EXPECT_EQ(TOfficeDialogPlaces::DefaultOfficeVersion(), 4);
  EXPECT_EQ(form_->GetApplicationFlags(), 6);
}

TEST_F(MainWindowTest, OptionsDialogWritesTheFlagsAndTheLogonEntry) {
  PutString(kRunKey, "Other", "x");
  Open(true);
  {
    app_test::TOnModal<TdlgOptions> act([](TdlgOptions* d) {
      Click(d->cgRunOptions->Buttons(0));
      Click(d->cgRunOptions->Buttons(2));
      PumpUntilIdle();
      Click(d->cxButton2);
    });
    form_->actShowOptionDialog->Execute();
    EXPECT_TRUE(act.Ran());
    EXPECT_FALSE(act.TimedOut());
  }
  const Integer flags = afRunAtLogon | afMinimizeToTray | afCommonInSubmenu;
  EXPECT_EQ(form_->GetApplicationFlags(), flags);
  EXPECT_EQ(KeyValues(kDefaultsKey)["ApplicationFlags"],
            "REG_DWORD:" + std::to_string(flags));
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  auto run = KeyValues(kRunKey);
  EXPECT_EQ(run[kRunValueName], "REG_SZ:\"" + String(exe) + "\" /t");
  EXPECT_EQ(run["Other"], "REG_SZ:x");

  // Turned off, the entry goes; Cancel changes nothing.
  {
    app_test::TOnModal<TdlgOptions> act([](TdlgOptions* d) {
      Click(d->cgRunOptions->Buttons(0));  // logon off
      Click(d->cgRunOptions->Buttons(1));  // tray off
      Click(d->cgRunOptions->Buttons(2));  // submenu off
      PumpUntilIdle();
      Click(d->cxButton2);
    });
    form_->actShowOptionDialog->Execute();
  }
  EXPECT_EQ(KeyValues(kRunKey).count(kRunValueName), 0u);
  {
    app_test::TOnModal<TdlgOptions> act([](TdlgOptions* d) {
      Click(d->cgRunOptions->Buttons(3));
      PumpUntilIdle();
      Click(d->cxButton1);
    });
    form_->actShowOptionDialog->Execute();
  }
  EXPECT_EQ(KeyValues(kDefaultsKey)["ApplicationFlags"], "REG_DWORD:0");
}

TEST_F(MainWindowTest, WithoutARunKeyTheLogonOptionWritesNoEntry) {
  Open();
  form_->SetRunAtLogon(true);
  EXPECT_FALSE(KeyExists(kRunKey));
}

// ---------------------------------------------------------------------------
// Closing and the session's end
// ---------------------------------------------------------------------------

TEST_F(MainWindowTest, MinimizeToTrayHidesInsteadOfClosing) {
  Open(true);
  form_->SaveApplicationFlags(afMinimizeToTray);
  bool canClose = true;
  form_->FormCloseQuery(form_.get(), canClose);
  EXPECT_FALSE(canClose);
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(form_->actRestore->Caption(), kLaunchCaption);

  // The tray icon's double click always shows it again.
  form_->actRestoreExecute(form_->TrayIcon1);
  EXPECT_TRUE(form_->Visible());
  EXPECT_EQ(form_->actRestore->Caption(), kMinimizeCaption);
}

TEST_F(MainWindowTest, ACancelledSessionEndLetsTheWindowClose) {
  Open(true);
  form_->SaveApplicationFlags(afMinimizeToTray);
  TMessageRecorder boxes;
  ::SendMessageA(form_->Handle(), WM_QUERYENDSESSION, 0, 0);
  ::SendMessageA(form_->Handle(), WM_ENDSESSION, 0, 0);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Msg.WParam is false in WM_ENDSESSION");
  EXPECT_TRUE(form_->Closing());
  bool canClose = false;
  form_->FormCloseQuery(form_.get(), canClose);
  EXPECT_TRUE(canClose);
}

// ---------------------------------------------------------------------------
// Groups
// ---------------------------------------------------------------------------

TEST_F(MainWindowTest, NewGroupIsStoredAndOpenForItsName) {
  Open(true);
  form_->actNewGroup->Execute();
  PumpUntilIdle();
  EXPECT_TRUE(KeyExists(kCommon + "\\New Group 1"));
  ASSERT_TRUE(ListItem("New Group 1"));
  EXPECT_TRUE(form_->lvGroups->IsEditing());
  TypeText("Work");
  PressKeys({VK_RETURN});
  PumpUntilIdle();
  EXPECT_EQ(SubKeys(kCommon), std::vector<String>{"Work"});
  EXPECT_TRUE(ListItem("Work"));
  // The next new group takes the first free number again.
  form_->actNewGroup->Execute();
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
  EXPECT_TRUE(KeyExists(kCommon + "\\New Group 1"));
}

TEST_F(MainWindowTest, RenameRules) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  StoreGroup(kCommon, "Alpha", 0, {docs});
  StoreGroup(kCommon, "Beta", 0);
  Open(true);
  TMessageRecorder boxes;

  Select("Beta");
  TypeNewName("alpha");
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Name must be unique!");
  EXPECT_TRUE(ListItem("Beta"));

  // Confirming the unchanged name is no rename and no complaint.
  Select("Alpha");
  TypeNewName("Alpha");
  EXPECT_EQ(boxes.texts.size(), 1u);

  // A rename in letter case alone keeps the group's places.
  Select("Alpha");
  TypeNewName("ALPHA");
  EXPECT_EQ(boxes.texts.size(), 1u);
  EXPECT_TRUE(ListItem("ALPHA"));
  const auto keys = SubKeys(kCommon);
  EXPECT_NE(std::find(keys.begin(), keys.end(), "ALPHA"), keys.end());
  EXPECT_EQ(KeyValues(kCommon + "\\ALPHA\\Place0")["Path"], "REG_SZ:" + docs);
  EXPECT_EQ(keys.size(), 2u);
}

TEST_F(MainWindowTest, RemoveAsksWithTheGroupsName) {
  StoreGroup(kCommon, "Old", 0);
  StoreGroup(kCommon, "Keep", 0);
  Open(true);
  Select("Old");
  String question;
  bool boxShown = true;
  {
    app_test::TOnModal<TdlgDeleteGroup> act([&](TdlgDeleteGroup* d) {
      question = d->Label1->Caption();
      boxShown = d->cxCheckBox1->Visible();
      Click(d->btnDelete);
    });
    form_->actDeleteGroup->Execute();
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_EQ(question, "Do ypu want to delete the  group 'Old'?");
  EXPECT_FALSE(boxShown);
  EXPECT_EQ(SubKeys(kCommon), std::vector<String>{"Keep"});
  EXPECT_FALSE(ListItem("Old"));
}

TEST_F(MainWindowTest, NewGroupComesBackWithTheCommonPage) {
  Open(true);
  form_->ActivatePage(1);
  EXPECT_FALSE(form_->actNewGroup->Enabled());
  EXPECT_EQ(form_->lvGroups->GetListItems()->Count(), 0);
  form_->ActivatePage(0);
  EXPECT_TRUE(form_->actNewGroup->Enabled());
}

// ---------------------------------------------------------------------------
// Places through the select-folder dialog, and installing
// ---------------------------------------------------------------------------

TEST_F(MainWindowTest, PlacesFromTheDialogReachTheInstalledPlacesBar) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  StoreGroup(kCommon, "Work", 0);
  Open(true);
  Select("Work");
  ASSERT_TRUE(form_->CommonRows()[0].Focusing);
  EXPECT_FALSE(form_->CommonRows()[1].Focusing);

  {  // Row 1: the special folder "Desktop" (third entry).
    app_test::TOnModal<TdlgSelectFolder> act(
        [](TdlgSelectFolder* d) { ChooseInDialog(d, 2); });
    form_->EditCommonPlace(0, 0);
    EXPECT_TRUE(act.Ran());
  }
  {  // Row 2: a folder typed as a custom place.
    app_test::TOnModal<TdlgSelectFolder> act(
        [&](TdlgSelectFolder* d) { ChooseInDialog(d, 1, docs); });
    form_->EditCommonPlace(1, 0);
    EXPECT_TRUE(act.Ran());
  }
  EXPECT_EQ(form_->CommonRows()[0].Value, "Desktop");
  EXPECT_TRUE(form_->CommonRows()[2].Focusing);  // the new blank row
  EXPECT_EQ(KeyValues(kCommon + "\\Work\\Place0")["Path"], "REG_DWORD:0");
  EXPECT_EQ(KeyValues(kCommon + "\\Work\\Place1")["Path"], "REG_SZ:" + docs);

  form_->actInstallGroup->Execute();
  auto bar = KeyValues(kPlacesBarKey);
  EXPECT_EQ(bar.size(), 2u);
  EXPECT_EQ(bar["Place0"], "REG_DWORD:0");
  EXPECT_EQ(bar["Place1"], "REG_SZ:" + docs);
  EXPECT_EQ(KeyValues(kCommon + "\\Work")["Flags"], "REG_DWORD:2");

  // Clear Entry on row 1 of the installed group reaches the bar at once.
  {
    app_test::TOnModal<TdlgSelectFolder> act(
        [](TdlgSelectFolder* d) { ChooseInDialog(d, 0); });
    form_->EditCommonPlace(0, 0);
    EXPECT_TRUE(act.Ran());
  }
  bar = KeyValues(kPlacesBarKey);
  EXPECT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar["Place0"], "REG_SZ:" + docs);
  EXPECT_EQ(SubKeys(kCommon + "\\Work"), std::vector<String>{"Place0"});
}

TEST_F(MainWindowTest, ConfirmingASpecialFolderKeepsIt) {
  StoreGroup(kCommon, "Work", 0, {"17"});
  Open(true);
  Select("Work");
  String shown;
  {
    app_test::TOnModal<TdlgSelectFolder> act([&](TdlgSelectFolder* d) {
      shown = d->cbFldSelect->Text();
      Click(d->btnOk);
    });
    form_->EditCommonPlace(0, 0);
    EXPECT_TRUE(act.Ran());
  }
  EXPECT_EQ(shown, "My Computer");
  EXPECT_EQ(KeyValues(kCommon + "\\Work\\Place0")["Path"], "REG_DWORD:17");
}

TEST_F(MainWindowTest, CancelChangesNothing) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  StoreGroup(kCommon, "Work", 0, {docs});
  Open(true);
  Select("Work");
  const auto before = KeyValues(kCommon + "\\Work\\Place0");
  {
    app_test::TOnModal<TdlgSelectFolder> act(
        [](TdlgSelectFolder* d) { Click(d->btnCancel); });
    form_->EditCommonPlace(0, 0);
    EXPECT_TRUE(act.Ran());
  }
  EXPECT_EQ(KeyValues(kCommon + "\\Work\\Place0"), before);
}

TEST_F(MainWindowTest, ADraggedRowOfTheInstalledGroupIsReinstalled) {
  TScratchFolders folders;
  const String a = folders.Make("A"), b = folders.Make("B"),
               c = folders.Make("C");
  StoreGroup(kCommon, "Work", gfInstalled, {a, b, c});
  Open(true);
  Select("Work");
  EXPECT_FALSE(form_->DropPlaceRow(form_->CommonPlaces(), 0, 0));
  EXPECT_FALSE(form_->DropPlaceRow(form_->CommonPlaces(), 0, 3));  // blank
  ASSERT_TRUE(form_->DropPlaceRow(form_->CommonPlaces(), 0, 2));
  auto bar = KeyValues(kPlacesBarKey);
  EXPECT_EQ(bar["Place0"], "REG_SZ:" + b);
  EXPECT_EQ(bar["Place1"], "REG_SZ:" + c);
  EXPECT_EQ(bar["Place2"], "REG_SZ:" + a);
  EXPECT_EQ(KeyValues(kCommon + "\\Work\\Place2")["Path"], "REG_SZ:" + a);
}

TEST_F(MainWindowTest, OfficePlacesTakeTheFoldersNameAndKeepOtherFlags) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  places_test::PutDword(kOffice11Places, "ItemSize", 1);
  StoreGroup(kOffice, "Off", 0);
  PutDword(kOffice + "\\Off", "OfficeFlags", 1);
  Open(true);
  form_->ActivatePage(1);
  Select("Off");
  {
    app_test::TOnModal<TdlgSelectFolder> act([&](TdlgSelectFolder* d) {
      EXPECT_EQ(d->cbFldSelect->Properties()->Items()->Count(), 7);
      ChooseInDialog(d, 1, docs);
    });
    form_->EditOfficePlace(0, 0);
    EXPECT_TRUE(act.Ran());
  }
  EXPECT_EQ(form_->OfficeRows()[0].Name, "Docs");
  EXPECT_FALSE(form_->OfficeRows()[0].NameReadOnly);
  form_->SmallIconChanged(1);
  EXPECT_EQ(KeyValues(kOffice + "\\Off")["OfficeFlags"], "REG_DWORD:17");
  form_->SmallIconChanged(0);
  EXPECT_EQ(KeyValues(kOffice + "\\Off")["OfficeFlags"], "REG_DWORD:1");
}

// ---------------------------------------------------------------------------
// Tray menu
// ---------------------------------------------------------------------------

TEST_F(MainWindowTest, TrayMenuLayouts) {
  struct Case {
    Integer flags;
    std::vector<String> menu;
  };
  const Case cases[] = {
      {0,
       {"C", "A", "B", "-", "Office 2003 Default", "Common Dialog Default", "-",
        kLaunchCaption, "Exit Varnel Control Center"}},
      {afCommonInSubmenu | afOfficeInSubmenu,
       {"Common Dialog Groups {A;B;}", "Office Dialog Groups {C;}", "-",
        "Office 2003 Default", "Common Dialog Default", "-", kLaunchCaption,
        "Exit Varnel Control Center"}},
      {afCommonInSubmenu,
       {"C", "Common Dialog Groups {A;B;}", "-", "Office 2003 Default",
        "Common Dialog Default", "-", kLaunchCaption,
        "Exit Varnel Control Center"}},
  };
  places_test::PutDword(kOffice11Places, "ItemSize", 1);
  StoreGroup(kCommon, "A", gfChecked);
  StoreGroup(kCommon, "Hidden", 0);
  StoreGroup(kCommon, "B", gfChecked);
  StoreGroup(kOffice, "C", gfChecked);
  for (const Case& c : cases) {
    PutDword(kDefaultsKey, "ApplicationFlags", c.flags);
    Open();
    form_->SetStartInTray(true);
    EXPECT_EQ(MenuCaptions(form_->pmTray->Items()), c.menu) << c.flags;
    form_.reset();
  }
}

TEST_F(MainWindowTest, TrayMenuWithoutMarkedGroupsHasNoLeadingSeparator) {
  StoreGroup(kCommon, "A", 0);
  Open();
  EXPECT_EQ(MenuCaptions(form_->pmTray->Items()),
            (std::vector<String>{"Common Dialog Default", "-", kMinimizeCaption,
                                 "Exit Varnel Control Center"}));
  EXPECT_TRUE(form_->pmTray->Items()->Items(2)->Default());
}

TEST_F(MainWindowTest, ATrayGroupClickInstallsThatGroup) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  StoreGroup(kCommon, "A", gfChecked | gfInstalled);
  StoreGroup(kCommon, "B", gfChecked, {docs});
  Open(true);
  ASSERT_EQ(form_->TrayGroupItems().size(), 2u);
  TMenuItem* b = form_->pmTray->Items()->Items(1);
  ASSERT_EQ(b->Caption(), "B");
  EXPECT_FALSE(b->Checked());
  b->Click();
  PumpUntilIdle();
  EXPECT_EQ(KeyValues(kPlacesBarKey)["Place0"], "REG_SZ:" + docs);
  EXPECT_EQ(KeyValues(kCommon + "\\A")["Flags"], "REG_DWORD:1");
  EXPECT_EQ(KeyValues(kCommon + "\\B")["Flags"], "REG_DWORD:3");
  TMenuItem* rebuilt = form_->pmTray->Items()->Items(1);
  EXPECT_EQ(rebuilt->Caption(), "B");
  EXPECT_TRUE(rebuilt->Checked());
  EXPECT_FALSE(form_->pmTray->Items()->Items(0)->Checked());
}

TEST_F(MainWindowTest, TickingAGroupPutsItIntoTheTrayMenu) {
  StoreGroup(kCommon, "A", 0);
  Open(true);
  TListItem* item = ListItem("A");
  ASSERT_TRUE(item);
  const TRect bounds = item->DisplayRect(drBounds);
  // The check box sits left of the icon, at the start of the row.
  const Integer x = bounds.Left + 8;
  const Integer y = (bounds.Top + bounds.Bottom) / 2;
  // The button messages go to the list's own window: the list toggles the
  // box on the press and the window stores the tick on the release.
  HWND list = form_->lvGroups->InnerListView()->Handle();
  ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  PumpUntilIdle();
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(KeyValues(kCommon + "\\A")["Flags"], "REG_DWORD:1");
  EXPECT_EQ(MenuCaptions(form_->pmTray->Items())[0], "A");
}

}  // namespace

// ---------------------------------------------------------------------------
// The real client: the system's Open dialog in a process of its own
// ---------------------------------------------------------------------------

namespace {

// Runs the Open-dialog probe beside the test program on the sandbox's hive
// and returns what it printed: the texts of the dialog's toolbar buttons.
std::vector<String> OpenDialogButtons(const String& Hive) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  String exe = self;
  exe = exe.substr(0, exe.find_last_of('\\') + 1) + "opendialog_probe.exe";
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!::CreatePipe(&read, &write, &sa, 0)) return {};
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = write;
  si.hStdError = write;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  String cmd = "\"" + exe + "\" \"" + Hive + "\"";
  const bool started = ::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr,
                                        TRUE, 0, nullptr, nullptr, &si, &pi);
  ::CloseHandle(write);
  String output;
  if (started) {
    char buffer[512];
    DWORD got = 0;
    while (::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      output.append(buffer, got);
    }
    if (::WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the Open dialog did not end";
      ::TerminateProcess(pi.hProcess, 1);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
  } else {
    ADD_FAILURE() << "cannot start " << exe;
  }
  ::CloseHandle(read);
  std::vector<String> lines;
  size_t start = 0;
  for (size_t end; (end = output.find('\n', start)) != String::npos;
       start = end + 1) {
    String line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool Shows(const std::vector<String>& Buttons, const String& Text) {
  return std::find(Buttons.begin(), Buttons.end(), Text) != Buttons.end();
}

}  // namespace

TEST_F(MainWindowTest, WinesOpenDialogShowsTheInstalledPlaces) {
  TScratchFolders folders;
  const String docs = folders.Make("Travel Docs");
  StoreGroup(kCommon, "Work", 0, {"0", docs});
  Open(true);
  const std::vector<String> before = OpenDialogButtons(sandbox_->ScratchPath());
  EXPECT_FALSE(Shows(before, "Travel Docs"));

  Select("Work");
  form_->actInstallGroup->Execute();
  const std::vector<String> after = OpenDialogButtons(sandbox_->ScratchPath());
  EXPECT_TRUE(Shows(after, "Desktop"));
  EXPECT_TRUE(Shows(after, "Travel Docs"));
}
