#include "wndMain.h"

#include <windows.h>

#include "ActnList.h"
#include "CommDlg.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Registry.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "TrayIcon.h"
#include "TypInfo.h"
#include "Ucommon.h"
#include "cxListView.h"
#include "cxLookAndFeels.h"
#include "cxPC.h"
#include "cxSplitter.h"
#include "dlgAbout.h"
#include "dlgDeleteGroup.h"
#include "dlgOptions.h"
#include "dlgSelectFolder.h"
#include "dxStatusBar.h"
#include "uFormHelpers.h"

namespace {

// Posted to the window: work that must wait until the control that asked
// for it has finished with its own items.
constexpr UINT WM_FREE_TRAY_ITEMS = WM_APP + 0x101;
constexpr UINT WM_REFRESH_GROUP_LIST = WM_APP + 0x102;

const char* const kOfficePlacesKeys[4] = {
    "Software\\Microsoft\\Office\\9.0\\Common\\Open Find\\Places",
    "Software\\Microsoft\\Office\\10.0\\Common\\Open Find\\Places",
    "Software\\Microsoft\\Office\\11.0\\Common\\Open Find\\Places",
    "Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\Places",
};

String HelpFileName() {
  return ExtractFilePath(ProgramFileName()) + "varnel.hlp";
}

}  // namespace

std::vector<TOfficeVersionItem> OfficeVersionItems(Byte Mask) {
  static const TOfficeVersionItem kVersions[4] = {
      {"2000", 1}, {"XP", 2}, {"2003", 3}, {"2007", 4}};
  std::vector<TOfficeVersionItem> items;
  for (Integer i = 0; i < 4; ++i) {
    if (Mask & (1 << i)) items.push_back(kVersions[i]);
  }
  return items;
}

Integer OfficeVersionColumns(Byte Mask) {
  if (Mask & omOffice2007) return 4;
  if (Mask & omOffice2003) return 3;
  return 2;
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TwndMain::~TwndMain() {
  // The components outlive this body and still raise their events while
  // they go: the handlers must find nothing to do.
  loaded_ = false;
  // The group list's provider points back here.
  if (commonPlaces_) commonPlaces_->Groups()->SetListItemsProvider(nullptr);
  if (officePlaces_) officePlaces_->Groups()->SetListItemsProvider(nullptr);
  currentPlaces_ = nullptr;
  officePlaces_.reset();
  commonPlaces_.reset();
}

void TwndMain::BindComponents() {
  pcMainGrids = FindChild<TcxPageControl>(this, "pcMainGrids");
  tsCommonDlg = FindChild<TcxTabSheet>(this, "tsCommonDlg");
  tsOffice = FindChild<TcxTabSheet>(this, "tsOffice");
  Panel1 = FindChild<TPanel>(this, "Panel1");
  lvGroups = FindChild<TcxListView>(this, "lvGroups");
  ActionList1 = FindChild<TActionList>(this, "ActionList1");
  TrayIcon1 = FindChild<TTrayIcon>(this, "TrayIcon1");
  pmTray = FindChild<TPopupMenu>(this, "pmTray");
  struct {
    TAction*& field;
    const char* name;
  } actions[] = {{actInstallGroup, "actInstallGroup"},
                 {actTestOpen, "actTestOpen"},
                 {actTestSave, "actTestSave"},
                 {actComDlgDefault, "actComDlgDefault"},
                 {actNewGroup, "actNewGroup"},
                 {actDeleteGroup, "actDeleteGroup"},
                 {actRestore, "actRestore"},
                 {actClose, "actClose"},
                 {actShowOptionDialog, "actShowOptionDialog"},
                 {actRenameGroup, "actRenameGroup"},
                 {actOff2000Default, "actOff2000Default"},
                 {actOffXpDefault, "actOffXpDefault"},
                 {actOff2003Default, "actOff2003Default"},
                 {actOff2007Default, "actOff2007Default"},
                 {actHelp, "actHelp"},
                 {actAbout, "actAbout"}};
  for (auto& a : actions) a.field = FindChild<TAction>(this, a.name);
}

void TwndMain::Loaded() {
  inherited::Loaded();
  BindComponents();
  CreateGrids();

  // Components whose settings the form streams cannot carry yet.
  cxLookAndFeelController1 = new TcxLookAndFeelController(this);
  cxLookAndFeelController1->SetName("cxLookAndFeelController1");
  cxLookAndFeelController1->SetKind(lfFlat);
  cxLookAndFeelController1->SetNativeStyle(true);

  auto* splitter = FindChild<TcxSplitter>(this, "cxSplitter1");
  splitter->SetHotZoneClassName("TcxXPTaskBarStyle");
  splitter->SetControl(Panel1);

  auto* statusBar = FindChild<TdxStatusBar>(this, "StatusBar");
  for (Integer width : {200, 50}) {
    TdxStatusBarPanel* panel = statusBar->Panels()->Add();
    panel->SetPanelStyleClassName("TdxStatusBarTextPanelStyle");
    panel->SetWidth(width);
  }

  TListColumn* column = lvGroups->InnerListView()->Columns()->Add();
  column->SetCaption("Groups");
  column->SetWidth(174);
  lvGroups->OnSelectItem() =
      TLVSelectItemEvent(this, &TwndMain::lvGroupsSelectItem);
  lvGroups->OnEdited() = TLVEditedEvent(this, &TwndMain::GROUP_name_edited);
  lvGroups->OnCustomDrawItem() =
      TLVCustomDrawItemEvent(this, &TwndMain::lvGroupsCustomDrawItem);
  lvGroups->InnerListView()->OnMouseUp =
      TMouseEvent(this, &TwndMain::lvGroupsMouseUp);
  Panel1->OnResize = TNotifyEvent(this, &TwndMain::Panel1Resize);
  BindBars(lvGroups->InnerListView());
  pmTray->SetAutoHotkeys(maManual);

  // Construction proper.
  applicationFlags_ = 0;
  startInTray_ = false;
  pcMainGrids->SetAlign(alClient);
  pcMainGrids->SetActivePage(tsCommonDlg);
  checkedBitmap_ = std::make_unique<TBitmap>();
  uncheckedBitmap_ = std::make_unique<TBitmap>();
  try {
    checkedBitmap_->LoadFromResourceID(::GetModuleHandleA(nullptr), 2000);
    uncheckedBitmap_->LoadFromResourceID(::GetModuleHandleA(nullptr), 2001);
  } catch (const Exception&) {
    // Without its pictures the installed group is drawn without boxes.
  }
  closing_ = false;

  commonPlaces_ = std::make_unique<TCommonDialogPlaces>(kCommonDlgGroupsKey);
  commonPlaces_->Groups()->SetListItemsProvider(
      TListItemsProvider(this, &TwndMain::GetGroupListItems));
  commonPlaces_->Groups()->UpdateListView();
  officePlaces_ = std::make_unique<TOfficeDialogPlaces>(kOfficeGroupsKey);
  officePlaces_->Groups()->SetListItemsProvider(nullptr);
  currentPlaces_ = commonPlaces_.get();
  loaded_ = true;
  // Filling the list selected the group saved as selected before the
  // selection handler could act: make it current now, so that the grids and
  // the group actions follow what the list shows.
  if (TListItem* item = lvGroups->GetSelected()) {
    lvGroupsSelectItem(lvGroups, item, true);
  }

  DetectOfficeVersions();
  LoadDefaults();

  Constraints()->SetMinHeight(465);
  Constraints()->SetMaxHeight(465);
  Constraints()->SetMinWidth(600);
  Constraints()->SetMaxWidth(700);

  RebuildTrayMenu();
  FillOfficeGrid();
  RefreshActiveGrid();
  SetRestoreAction(true);
  SetCaption("Varnel");
}

void TwndMain::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_QUERYENDSESSION:
      closing_ = true;
      break;
    case WM_ENDSESSION:
      if (Message.WParam) {
        Close();
      } else {
        ShowMessage("Msg.WParam is false in WM_ENDSESSION");
      }
      return;
    case WM_FREE_TRAY_ITEMS: {
      // Items of earlier rebuilds, out of the menu by now.
      std::vector<TMenuItem*> retired;
      retired.swap(retiredTrayItems_);
      for (TMenuItem* item : retired) Free(item);
      return;
    }
    case WM_REFRESH_GROUP_LIST:
      if (!loaded_) return;
      if (currentPlaces_) currentPlaces_->Groups()->UpdateListView();
      RebuildTrayMenu();
      return;
  }
  inherited::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Options and Office versions
// ---------------------------------------------------------------------------

void TwndMain::LoadDefaults() {
  try {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(kDefaultsKey, false)) {
      TScopeGuard close([&reg] { reg.CloseKey(); });
      if (reg.ValueExists("DefaultOfficeVersion")) {
        TOfficeDialogPlaces::SetDefaultOfficeVersion(
            static_cast<Byte>(reg.ReadInteger("DefaultOfficeVersion") & 0xFF));
      }
      if (reg.ValueExists("ApplicationFlags")) {
        applicationFlags_ = reg.ReadInteger("ApplicationFlags");
      }
    }
  } catch (const Exception&) {
    // A value of the wrong type: what was read before it stays.
  }
  officeDefaultValue_ = TOfficeDialogPlaces::DefaultOfficeVersion();
}

void TwndMain::SaveApplicationFlags(Integer Flags) {
  try {
    TRegistry reg(KEY_READ | KEY_WRITE);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kDefaultsKey, true)) return;
    TScopeGuard close([&reg] { reg.CloseKey(); });
    reg.WriteInteger("ApplicationFlags", Flags);
    applicationFlags_ = Flags;
  } catch (const Exception&) {
  }
}

void TwndMain::SetRunAtLogon(bool On) {
  try {
    TRegistry reg(KEY_READ | KEY_WRITE);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kRunKey, false)) return;
    TScopeGuard close([&reg] { reg.CloseKey(); });
    if (On) {
      reg.WriteString(kRunValueName, "\"" + ProgramFileName() + "\" /t");
    } else if (reg.ValueExists(kRunValueName)) {
      reg.DeleteValue(kRunValueName);
    }
  } catch (const Exception&) {
  }
}

void TwndMain::DetectOfficeVersions() {
  officeVersionChoices_.clear();
  officeVersionColumns_ = 2;
  try {
    Byte mask = 0;
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    for (Integer i = 0; i < 4; ++i) {
      if (reg.KeyExists(kOfficePlacesKeys[i]))
        mask |= static_cast<Byte>(1 << i);
    }
    Integer highest = 0;
    if (mask != 0) {
      officeVersionChoices_ = OfficeVersionItems(mask);
      officeVersionColumns_ = OfficeVersionColumns(mask);
      highest = officeVersionChoices_.back().Value;
    }
    actOff2000Default->SetVisible((mask & omOffice2000) != 0);
    actOffXpDefault->SetVisible((mask & omOfficeXP) != 0);
    actOff2003Default->SetVisible((mask & omOffice2003) != 0);
    actOff2007Default->SetVisible((mask & omOffice2007) != 0);
    if (TOfficeDialogPlaces::DefaultOfficeVersion() == 0) {
      TOfficeDialogPlaces::SetDefaultOfficeVersion(static_cast<Byte>(highest));
    }
    officeMask_ = mask;
    ApplyOfficeDetection();
  } catch (const Exception& E) {
    ShowMessage(E.Message());
  }
}

// ---------------------------------------------------------------------------
// Showing, hiding and closing
// ---------------------------------------------------------------------------

void TwndMain::SetRestoreAction(bool Shown) {
  actRestore->SetCaption(Shown ? kMinimizeCaption : kLaunchCaption);
  actRestore->SetImageIndex(Shown ? 4 : 3);
  actRestore->SetTag(Shown ? 1 : 0);
}

void TwndMain::RestoreFromTray() {
  ::ShowWindow(Application->Handle(), SW_SHOW);
  SetVisible(true);
  Application->Restore();
  Application->BringToFront();
  SetRestoreAction(true);
}

void TwndMain::HideToTray() {
  SetVisible(false);
  ::ShowWindow(Application->Handle(), SW_HIDE);
  SetRestoreAction(false);
}

void TwndMain::SetStartInTray(bool On) {
  if (On == startInTray_) return;
  startInTray_ = On;
  if (On) {
    SetRestoreAction(false);
    RebuildTrayMenu();
  }
}

void TwndMain::APP_minimize(TObject*) { HideToTray(); }

void TwndMain::actRestoreExecute(TObject* Sender) {
  auto* component = dynamic_cast<TComponent*>(Sender);
  // A tray double click comes from the icon, whose Tag is 0: it always
  // shows the window.
  const Integer tag = component ? component->Tag() : 0;
  if (tag == 0) {
    RestoreFromTray();
  } else if (tag == 1) {
    HideToTray();
  }
}

void TwndMain::actCloseExecute(TObject*) {
  closing_ = true;
  Application->Terminate();
}

void TwndMain::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = !((applicationFlags_ & afMinimizeToTray) && !closing_);
  if (!CanClose) HideToTray();
}

void TwndMain::FormClose(TObject*, TCloseAction&) {
  const String help = HelpFileName();
  if (FileExists(help)) ::WinHelpA(Handle(), help.c_str(), HELP_QUIT, 0);
}

// ---------------------------------------------------------------------------
// Actions that open dialogs
// ---------------------------------------------------------------------------

void TwndMain::actTestOpenExecute(TObject*) {
  try {
    TObjectPtr<TOpenDialog> dialog(new TOpenDialog(this));
    dialog->SetFilter("All Files|*.*");
    dialog->Execute();
  } catch (const Exception&) {
  }
}

void TwndMain::actTestSaveExecute(TObject*) {
  try {
    TObjectPtr<TSaveDialog> dialog(new TSaveDialog(this));
    dialog->SetFilter("All Files|*.*");
    dialog->Execute();
  } catch (const Exception&) {
  }
}

void TwndMain::actHelpExecute(TObject*) {
  const String help = HelpFileName();
  if (FileExists(help)) ::WinHelpA(Handle(), help.c_str(), HELP_FINDER, 0);
}

void TwndMain::actAboutExecute(TObject*) {
  TObjectPtr<TdlgAbout> dialog(TdlgAbout::Create(this));
  dialog->ShowModal();
}

void TwndMain::actShowOptionDialogExecute(TObject*) {
  try {
    TObjectPtr<TdlgOptions> dialog(TdlgOptions::Create(this));
    dialog->SetRunOptions(applicationFlags_);
    if (dialog->ShowModal() != mrOk) return;
    const Integer flags = dialog->GetRunOptions();
    SaveApplicationFlags(flags);
    SetRunAtLogon((flags & afRunAtLogon) != 0);
    RebuildTrayMenu();
  } catch (const Exception&) {
  }
}

void TwndMain::ActionList1Update(TBasicAction*, bool& Handled) {
  Handled = true;
}

// ---------------------------------------------------------------------------
// The grids of places
// ---------------------------------------------------------------------------

TTextWidthFunc TwndMain::GridTextWidth() {
  return [this](const String& Text) -> Integer {
    return HandleAllocated() ? Canvas()->TextWidth(Text)
                             : static_cast<Integer>(Text.size()) * 6;
  };
}

void TwndMain::RefreshActiveGrid() {
  if (!loaded_) return;
  switch (pcMainGrids->GetActivePageIndex()) {
    case 0:
      FillCommonGrid();
      break;
    case 1:
      FillOfficeGrid();
      break;
    default:
      break;
  }
}

void TwndMain::GRID_resize(TObject*) { RefreshActiveGrid(); }

void TwndMain::ReinstallIfInstalled(TCustomPlaces* Places) {
  TGroupItem* group = Places->GetCurrentGroup();
  if (group && group->GetInstalled()) Places->InstallCurrentGroup();
}

namespace {
void SetSpecialFolder(TPlaceItem* Place, Integer FolderId) {
  Place->SetFolderId(FolderId);
  Place->SetName(GetSpecialFolderName(FolderId));
  Place->SetPath(GetSpecialFolderPath(FolderId));
}
}  // namespace

void TwndMain::EditCommonPlace(Integer K, Integer ButtonIndex) {
  try {
    TObjectPtr<TdlgSelectFolder> dialog(TdlgSelectFolder::Create(this));
    if (!commonPlaces_->GetCurrentGroup()) return;
    TPlaceItem* place = commonPlaces_->Places()->ItemAt(K);
    if (!place) return;
    if (ButtonIndex != 0) return;
    // A special folder is preset by its id: its stored path ("\" for My
    // Computer) would otherwise come back as a custom folder.
    if (place->IsSpecialFolder()) {
      dialog->SetSelectedFolderId(place->FolderId());
    } else {
      dialog->SetPlaceText(place->Path());
    }
    if (dialog->ShowModal() != mrOk) return;
    if (dialog->IsClearEntry()) {
      commonPlaces_->Places()->Delete(K);
    } else if (dialog->GetSelectedFolderId() == -1) {
      place->SetPath(dialog->GetPlaceText());
      place->SetFolderId(-1);
    } else {
      SetSpecialFolder(place, dialog->GetSelectedFolderId());
    }
    commonPlaces_->SaveChanges(false);
    commonPlaces_->Places()->EnsureTrailingBlank();
    RefreshActiveGrid();
    RebuildTrayMenu();
    ReinstallIfInstalled(commonPlaces_.get());
  } catch (const Exception&) {
  }
}

void TwndMain::EditOfficePlace(Integer K, Integer ButtonIndex) {
  try {
    TObjectPtr<TdlgSelectFolder> dialog(TdlgSelectFolder::Create(this));
    dialog->SetFolderMask(kOfficeSpecialFolders);
    if (!officePlaces_->GetCurrentGroup()) return;
    TPlaceItem* place = officePlaces_->Places()->ItemAt(K);
    if (!place) return;
    if (ButtonIndex != 0) return;
    if (place->IsSpecialFolder()) {
      dialog->SetSelectedFolderId(place->FolderId());
    } else {
      dialog->SetCustomPath(place->Path());
    }
    if (dialog->ShowModal() != mrOk) return;
    if (dialog->IsClearEntry()) {
      officePlaces_->Places()->Delete(K);
    } else if (dialog->GetSelectedFolderId() == -1) {
      const String path = dialog->GetCustomPath();
      place->SetFolderId(-1);
      place->SetName(OfficePlaceName(path));
      place->SetPath(path);
    } else {
      SetSpecialFolder(place, dialog->GetSelectedFolderId());
    }
    officePlaces_->SaveChanges(false);
    officePlaces_->Places()->EnsureTrailingBlank();
    RefreshActiveGrid();
    RebuildTrayMenu();
    // Every edit of the installed group reaches the dialogs at once.
    ReinstallIfInstalled(officePlaces_.get());
  } catch (const Exception&) {
  }
}

void TwndMain::EditOfficePlaceCell(
    Integer K, const std::function<void(TPlaceItem*)>& Edit) {
  try {
    TPlaceItem* place = officePlaces_->Places()->ItemAt(K);
    if (!officePlaces_->GetCurrentGroup() || !place) return;
    Edit(place);
    officePlaces_->SaveChanges(false);
    RefreshActiveGrid();
    RebuildTrayMenu();
    ReinstallIfInstalled(officePlaces_.get());
  } catch (const Exception&) {
  }
}

void TwndMain::OfficePlaceNameEdited(Integer K, const String& Name) {
  EditOfficePlaceCell(K, [&](TPlaceItem* Place) { Place->SetName(Name); });
}

void TwndMain::OfficePlaceViewEdited(Integer K, const String& ViewText) {
  EditOfficePlaceCell(K, [&](TPlaceItem* Place) {
    Place->SetView(OfficeViewOfText(ViewText));
  });
}

bool TwndMain::DropPlaceRow(TCustomPlaces* Places, Integer FromIndex,
                            Integer ToIndex) {
  try {
    if (!CanDropPlaceRow(Places, FromIndex, ToIndex)) return false;
    Places->Places()->MovePlace(FromIndex, ToIndex);
    RefreshActiveGrid();
    Places->SaveChanges(false);
    // The new order is what the next file dialog shows.
    ReinstallIfInstalled(Places);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void TwndMain::OfficeVersionChanged(Integer Version) {
  TGroupItem* group = officePlaces_->GetCurrentGroup();
  if (!group) return;
  group->SetOfficeVersion(static_cast<Byte>(Version));
  officePlaces_->SaveChanges(true);
  officeVersionValue_ = group->EffectiveOfficeVersion();
}

void TwndMain::SmallIconChanged(Integer CheckedItems) {
  TGroupItem* group = officePlaces_->GetCurrentGroup();
  if (!group) return;
  // Only the small-icon bit is this option's: the other bits stay.
  const Integer flags = (group->OfficeFlags() & ~ofSmallIcons) |
                        ((CheckedItems << 4) & ofSmallIcons);
  group->SetOfficeFlags(flags);
  group->SaveGroup();
  smallIconValue_ = flags >> 4;
}

void TwndMain::OfficeDefaultChanged(Integer Version) {
  TOfficeDialogPlaces::SetDefaultOfficeVersion(static_cast<Byte>(Version));
  officeDefaultValue_ = Version;
}

// ---------------------------------------------------------------------------
// Group list and group actions
// ---------------------------------------------------------------------------

TListItems* TwndMain::GetGroupListItems() { return lvGroups->GetListItems(); }

void TwndMain::ActivatePage(Integer Index) {
  if (Index < 0 || Index >= pcMainGrids->PageCount()) return;
  TcxTabSheet* page = pcMainGrids->Pages(Index);
  if (page == pcMainGrids->ActivePage()) return;
  bool allow = true;
  PLACETAB_page_changing(pcMainGrids, page, allow);
  if (allow) pcMainGrids->SetActivePage(page);
}

void TwndMain::PLACETAB_page_changing(TObject*, TcxTabSheet* NewPage,
                                      bool& AllowChange) {
  AllowChange = true;
  if (!NewPage || !loaded_) return;
  if (NewPage->Tag() == 0) {
    currentPlaces_ = commonPlaces_.get();
    officePlaces_->Groups()->SetListItemsProvider(nullptr);
    commonPlaces_->Groups()->SetListItemsProvider(
        TListItemsProvider(this, &TwndMain::GetGroupListItems));
    commonPlaces_->Groups()->UpdateListView();
    // The Office page may have disabled it for want of an Office version.
    actNewGroup->SetEnabled(true);
  } else if (NewPage->Tag() == 1) {
    currentPlaces_ = officePlaces_.get();
    commonPlaces_->Groups()->SetListItemsProvider(nullptr);
    if (officeMask_ != 0) {
      officePlaces_->Groups()->SetListItemsProvider(
          TListItemsProvider(this, &TwndMain::GetGroupListItems));
    } else {
      lvGroups->Clear();
    }
    officePlaces_->Groups()->UpdateListView();
  }
  // The page is not active yet: fill the grid that is about to show.
  if (NewPage->Tag() == 0) {
    FillCommonGrid();
  } else if (NewPage->Tag() == 1) {
    FillOfficeGrid();
  }
  GROUP_POPUP_before_popup(nullptr);
}

void TwndMain::lvGroupsSelectItem(TObject*, TListItem* Item, bool Selected) {
  if (!loaded_) return;
  if (Selected && Item) {
    auto* group = static_cast<TObject*>(Item->Data());
    auto* item = dynamic_cast<TGroupItem*>(group);
    if (currentPlaces_ == commonPlaces_.get() || officeMask_ != 0) {
      currentPlaces_->SetCurrentGroup(item);
    }
    RefreshActiveGrid();
  }
  GROUP_POPUP_before_popup(nullptr);
}

void TwndMain::GROUP_POPUP_before_popup(TObject*) {
  if (!loaded_) return;
  try {
    if (currentPlaces_ == commonPlaces_.get() || officeMask_ != 0) {
      const bool has = currentPlaces_->GetCurrentGroup() != nullptr;
      actRenameGroup->SetEnabled(has);
      actInstallGroup->SetEnabled(has);
      actDeleteGroup->SetEnabled(has);
    } else {
      actRenameGroup->SetEnabled(false);
      actInstallGroup->SetEnabled(false);
      actDeleteGroup->SetEnabled(false);
      actNewGroup->SetEnabled(false);
    }
  } catch (const Exception&) {
  }
}

void TwndMain::Panel1Resize(TObject*) {
  if (!loaded_) return;
  if (TListColumn* column = lvGroups->GetColumnFromIndex(0)) {
    column->SetWidth(lvGroups->Width() - 4);
  }
}

void TwndMain::lvGroupsCustomDrawItem(TCustomListView* Sender, TListItem* Item,
                                      TCustomDrawState State,
                                      bool& DefaultDraw) {
  try {
    auto* group =
        dynamic_cast<TGroupItem*>(static_cast<TObject*>(Item->Data()));
    if (!group || !group->GetInstalled()) {
      DefaultDraw = true;
      return;
    }
    TCanvas* canvas = Sender->Canvas();
    TRect label = Item->DisplayRect(drLabel);
    const TRect bounds = Item->DisplayRect(drBounds);
    canvas->Font()->SetStyle(TFontStyles{fsBold});
    if (State.Contains(cdsSelected)) {
      canvas->Font()->SetColor(static_cast<TColor>(0xFFFFFF));
      canvas->Brush()->SetColor(static_cast<TColor>(255));
      TRect fill = label;
      fill.Right = label.Left + canvas->TextWidth(Item->Caption() + "X");
      fill.Top += 1;
      fill.Bottom -= 1;
      canvas->FillRect(fill);
    } else {
      canvas->FillRect(label);
      canvas->Font()->SetColor(static_cast<TColor>(255));
    }
    TBitmap* box =
        Item->Checked() ? checkedBitmap_.get() : uncheckedBitmap_.get();
    if (box && !box->Empty())
      canvas->Draw(bounds.Left + 3, bounds.Top + 2, box);
    canvas->TextOut(label.Left + 1, label.Top + 1, Item->Caption());
    DefaultDraw = false;
  } catch (const Exception&) {
  }
}

void TwndMain::lvGroupsMouseUp(TObject*, TMouseButton, TShiftState, Integer X,
                               Integer Y) {
  if (!loaded_) return;
  if (!lvGroups->GetHitTestInfoAt(X, Y).Contains(htOnStateIcon)) return;
  if (TListItem* item = lvGroups->GetItemAt(X, Y)) {
    TCustomPlaces* places = nullptr;
    switch (pcMainGrids->GetActivePageIndex()) {
      case 0:
        places = commonPlaces_.get();
        break;
      case 1:
        places = officePlaces_.get();
        break;
    }
    if (places) {
      const Integer index = places->Groups()->IndexOfName(item->Caption());
      if (index >= 0) {
        places->Groups()->GetItem(index)->SetChecked(item->Checked());
        places->SaveChanges(true);
      }
    }
  }
  RebuildTrayMenu();
}

bool TwndMain::RenameGroupKeepingData(TPlaceGroups* Groups, Integer Index,
                                      const String& NewName) {
  // The registry's key names ignore case, so a rename in letter case alone
  // goes through a name of its own; the key is moved, never deleted.
  String parking = NewName + " (renaming)";
  for (Integer n = 2; !Groups->IsNameFree(parking); ++n) {
    parking = Format("%s (renaming %d)", {NewName, n});
  }
  const String oldName = Groups->GetItem(Index)->Name();
  if (!Groups->RenameGroup(Index, parking)) return false;
  if (Groups->RenameGroup(Index, NewName)) return true;
  Groups->RenameGroup(Index, oldName);
  return false;
}

void TwndMain::GROUP_name_edited(TObject*, TListItem* Item, String& S) {
  if (!loaded_) return;
  TPlaceGroups* groups = currentPlaces_->Groups();
  auto* group = dynamic_cast<TGroupItem*>(static_cast<TObject*>(Item->Data()));
  const Integer index = group ? group->Index() : -1;
  const String oldName = Item->Caption();
  // Confirming the name unchanged is no rename at all.
  if (group && S == group->Name()) return;
  const bool ownName = group && SameText(S, group->Name());
  if (ownName || groups->IsNameFree(S)) {
    const bool renamed = ownName ? RenameGroupKeepingData(groups, index, S)
                                 : groups->RenameGroup(index, S);
    if (renamed) {
      // The list is refilled once the list view is done with this item.
      ::PostMessageA(Handle(), WM_REFRESH_GROUP_LIST, 0, 0);
    } else {
      S = oldName;
    }
    return;
  }
  S = oldName;
  ShowMessage("Name must be unique!");
}

void TwndMain::actNewGroupExecute(TObject*) {
  try {
    TGroupItem* group = currentPlaces_->Groups()->AddGroup();
    if (!group) return;
    group->SaveGroup();
    TListItem* item =
        lvGroups->FindCaption(0, group->Name(), true, true, false);
    group->SetOfficeVersion(currentPlaces_ == officePlaces_.get()
                                ? TOfficeDialogPlaces::DefaultOfficeVersion()
                                : 0);
    RebuildTrayMenu();
    if (item) item->EditCaption();
  } catch (const Exception&) {
  }
}

void TwndMain::actRenameGroupExecute(TObject*) {
  if (TListItem* item = lvGroups->GetSelected()) item->EditCaption();
}

void TwndMain::actDeleteGroupExecute(TObject*) {
  try {
    TObjectPtr<TdlgDeleteGroup> dialog(TdlgDeleteGroup::Create(this));
    TListItem* item = lvGroups->GetSelected();
    if (!item) return;
    auto* group =
        dynamic_cast<TGroupItem*>(static_cast<TObject*>(item->Data()));
    if (!group) return;
    const bool installed = group->GetInstalled();
    dialog->SetOptions(installed ? doGroupInstalled : 0);
    dialog->SetGroupName(group->Name());
    if (dialog->ShowModal() != mrOk) return;
    if (installed && dialog->GetResetToDefault()) {
      currentPlaces_->RestoreDefault(0);
    }
    currentPlaces_->Groups()->DeleteGroup(group->Index());
    RebuildTrayMenu();
    RefreshActiveGrid();
    GROUP_POPUP_before_popup(nullptr);
  } catch (const Exception&) {
  }
}

void TwndMain::RepaintGroupList() {
  lvGroups->Invalidate();
  lvGroups->Update();
}

void TwndMain::actInstallGroupExecute(TObject*) {
  try {
    currentPlaces_->InstallCurrentGroup();
    RebuildTrayMenu();
    RepaintGroupList();
  } catch (const Exception&) {
  }
}

void TwndMain::DIALOG_default_set(TObject* Sender) {
  try {
    auto* action = dynamic_cast<TComponent*>(Sender);
    if (!action) return;
    const Integer tag = action->Tag();
    if (tag == 0) {
      commonPlaces_->RestoreDefault(0);
    } else if (tag >= 1 && tag <= 4) {
      officePlaces_->RestoreDefault(tag);
    }
    RebuildTrayMenu();
    RepaintGroupList();
  } catch (const Exception&) {
  }
}

// ---------------------------------------------------------------------------
// Tray menu
// ---------------------------------------------------------------------------

void TwndMain::AddTraySeparator() {
  auto* item = new TMenuItem(this);
  item->SetCaption("-");
  pmTray->Items()->Add(item);
}

void TwndMain::AddTrayActionItem(TBasicAction* Action, bool Default) {
  auto* item = new TMenuItem(this);
  item->SetAction(Action);
  item->SetDefault(Default);
  pmTray->Items()->Add(item);
}

void TwndMain::AddTrayGroups(TCustomPlaces* Places, Integer SubmenuFlag,
                             const char* SubmenuCaption, TNotifyEvent OnClick,
                             Integer AddedFlag, TMenuItem*& Submenu,
                             Integer& Added) {
  try {
    TPlaceGroups* groups = Places->Groups();
    if (groups->CheckedCount() == 0) return;
    Submenu = nullptr;
    if (applicationFlags_ & SubmenuFlag) {
      Submenu = new TMenuItem(this);
      Submenu->SetCaption(SubmenuCaption);
      pmTray->Items()->Add(Submenu);
    }
    TMenuItem* parent = Submenu ? Submenu : pmTray->Items();
    // Inserting at the front while walking backwards keeps the list order.
    for (Integer i = groups->Count() - 1; i >= 0; --i) {
      TGroupItem* group = groups->GetItem(i);
      if (!group->GetChecked()) continue;
      auto* item = new TMenuItem(this);
      item->SetCaption(group->Name());
      item->SetChecked(group->GetInstalled());
      item->SetHint(group->Description());
      item->OnClick = OnClick;
      trayGroupItems_.push_back(item);
      parent->Insert(0, item);
    }
    Added |= AddedFlag;
  } catch (const Exception&) {
  }
}

void TwndMain::AddCommonTrayGroups(Integer& Added) {
  AddTrayGroups(commonPlaces_.get(), afCommonInSubmenu, "Common Dialog Groups",
                TNotifyEvent(this, &TwndMain::CommonTrayGroupClick), 1,
                commonGroupsSubmenu_, Added);
}

void TwndMain::AddOfficeTrayGroups(Integer& Added) {
  AddTrayGroups(officePlaces_.get(), afOfficeInSubmenu, "Office Dialog Groups",
                TNotifyEvent(this, &TwndMain::OfficeTrayGroupClick), 2,
                officeGroupsSubmenu_, Added);
}

void TwndMain::RebuildTrayMenu() {
  if (!loaded_) return;
  try {
    // The clicked item may be among these: they leave the menu now and are
    // freed after the click has returned.
    trayGroupItems_.clear();
    TMenuItem* root = pmTray->Items();
    while (root->Count() > 0) {
      TMenuItem* item = root->Items(root->Count() - 1);
      root->Remove(item);
      retiredTrayItems_.push_back(item);
    }
    commonGroupsSubmenu_ = nullptr;
    officeGroupsSubmenu_ = nullptr;
    if (HandleAllocated() || !retiredTrayItems_.empty()) {
      ::PostMessageA(Handle(), WM_FREE_TRAY_ITEMS, 0, 0);
    }

    Integer added = 0;
    AddCommonTrayGroups(added);
    AddOfficeTrayGroups(added);
    if (added) AddTraySeparator();
    TAction* officeDefaults[4] = {actOff2000Default, actOffXpDefault,
                                  actOff2003Default, actOff2007Default};
    for (Integer i = 0; i < 4; ++i) {
      if (officeMask_ & (1 << i)) AddTrayActionItem(officeDefaults[i]);
    }
    AddTrayActionItem(actComDlgDefault);
    AddTraySeparator();
    AddTrayActionItem(actRestore, true);
    AddTrayActionItem(actClose);
  } catch (const Exception&) {
  }
}

void TwndMain::TrayGroupClick(TObject* Sender, bool Office) {
  try {
    {
      std::unique_ptr<TCustomPlaces> places;
      if (Office) {
        places = std::make_unique<TOfficeDialogPlaces>(kOfficeGroupsKey);
      } else {
        places = std::make_unique<TCommonDialogPlaces>(kCommonDlgGroupsKey);
      }
      auto* item = dynamic_cast<TMenuItem*>(Sender);
      if (item) {
        TPlaceGroups* groups = places->Groups();
        const Integer index = groups->IndexOfName(item->Caption());
        places->SetCurrentGroup(groups->GetItem(index));
        places->InstallCurrentGroup();
      }
    }
    TCustomPlaces* own = Office
                             ? static_cast<TCustomPlaces*>(officePlaces_.get())
                             : commonPlaces_.get();
    own->Groups()->ReloadGroups();
    RebuildTrayMenu();
    RefreshActiveGrid();
    RepaintGroupList();
  } catch (const Exception&) {
  }
}

void TwndMain::CommonTrayGroupClick(TObject* Sender) {
  TrayGroupClick(Sender, false);
}

void TwndMain::OfficeTrayGroupClick(TObject* Sender) {
  TrayGroupClick(Sender, true);
}

// ---------------------------------------------------------------------------
// The unit
// ---------------------------------------------------------------------------

namespace {
void wndMainStartup() {
  using W = TwndMain;
  TPublished<TwndMain>()
      .Method("FormCloseQuery", &W::FormCloseQuery)
      .Method("FormClose", &W::FormClose)
      .Method("APP_minimize", &W::APP_minimize)
      .Method("actRestoreExecute", &W::actRestoreExecute)
      .Method("actCloseExecute", &W::actCloseExecute)
      .Method("actTestOpenExecute", &W::actTestOpenExecute)
      .Method("actTestSaveExecute", &W::actTestSaveExecute)
      .Method("actHelpExecute", &W::actHelpExecute)
      .Method("actAboutExecute", &W::actAboutExecute)
      .Method("actShowOptionDialogExecute", &W::actShowOptionDialogExecute)
      .Method("ActionList1Update", &W::ActionList1Update)
      .Method("PLACETAB_page_changing", &W::PLACETAB_page_changing)
      .Method("GROUP_POPUP_before_popup", &W::GROUP_POPUP_before_popup)
      .Method("actNewGroupExecute", &W::actNewGroupExecute)
      .Method("actRenameGroupExecute", &W::actRenameGroupExecute)
      .Method("actDeleteGroupExecute", &W::actDeleteGroupExecute)
      .Method("actInstallGroupExecute", &W::actInstallGroupExecute)
      .Method("DIALOG_default_set", &W::DIALOG_default_set);
  RegisterClasses({TwndMain::StaticClass()});
}
}  // namespace

VARNEL_UNIT(wndMain, ({"Forms",           "ActnList",
                       "Menus",           "TrayIcon",
                       "ExtCtrls",        "cxPC",
                       "cxListView",      "cxSplitter",
                       "dxStatusBar",     "dxBar",
                       "dxBarPopupMenu",  "dlgAbout",
                       "dlgDeleteGroup",  "dlgOptions",
                       "dlgSelectFolder", "cxInplaceContainerDrag",
                       "cxButtonEdit",    "cxDropDownEdit",
                       "cxRadioGroup",    "cxCheckGroup"}),
            &wndMainStartup, nullptr);
