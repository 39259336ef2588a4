// The program's main window: the places objects of both dialog kinds, the
// group list, the grids of places, the tray icon and its menu, the options
// kept in the registry and the end of the Windows session.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ComCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "System.h"
#include "Tarvik.h"
#include "cxControls.h"
#include "uPlaceGrids.h"

class TAction;
class TActionList;
class TApplicationEvents;
class TBasicAction;
class TMenuItem;
class TPanel;
class TcxCategoryRow;
class TcxCustomEditorRowProperties;
class TcxCustomRow;
class TcxStyle;
class TcxVerticalGrid;
class TPopupMenu;
class TTrayIcon;
class TcxListView;
class TcxPageControl;
class TcxTabSheet;
class TdxBarManager;
class TdxBarPopupMenu;
class TdxBarSubItem;
class TcxLookAndFeelController;

// Registry places of the options.
inline constexpr const char kDefaultsKey[] =
    "Software\\Holvane Software\\Varnel\\Defaults";
inline constexpr const char kRunKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char kRunValueName[] = "Varnel_Tarvik";

// Office versions detected, by their "Open Find\Places" keys.
constexpr Byte omOffice2000 = 1;
constexpr Byte omOfficeXP = 2;
constexpr Byte omOffice2003 = 4;
constexpr Byte omOffice2007 = 8;

// The Restore action's two faces.
inline constexpr const char kLaunchCaption[] = "Launch Varnel Control Center";
inline constexpr const char kMinimizeCaption[] =
    "Minimize Varnel Control Center";

// One item of an Office version radio group.
struct TOfficeVersionItem {
  String Caption;
  Integer Value;
};

// The Office versions that Mask holds, oldest first, as the version radio
// groups offer them.
std::vector<TOfficeVersionItem> OfficeVersionItems(Byte Mask);
// The radio groups' columns: 2, or one per version from 2003 on.
Integer OfficeVersionColumns(Byte Mask);

// What a row drag carries: the grid it started in and the index of the
// dragged place row within its category.
class TgxRowDragObject : public TcxDragControlObject {
  VARNEL_CLASS(TgxRowDragObject, TcxDragControlObject)
 public:
  explicit TgxRowDragObject(TControl* AControl)
      : TcxDragControlObject(AControl) {}
  TgxRowDragObject(TControl* AControl, Integer ARowIndex)
      : TcxDragControlObject(AControl), RowIndex(ARowIndex) {}
  Integer RowIndex = 0;
};

class TwndMain : public TForm {
  VARNEL_CLASS(TwndMain, TForm)
 public:
  // --- Construction ---
  explicit TwndMain(TComponent* AOwner) : TForm(AOwner) {}
  ~TwndMain() override;

  // --- Properties ---
  TCommonDialogPlaces* CommonPlaces() const { return commonPlaces_.get(); }
  TOfficeDialogPlaces* OfficePlaces() const { return officePlaces_.get(); }
  TCustomPlaces* CurrentPlaces() const { return currentPlaces_; }
  Byte OfficeMask() const { return officeMask_; }
  bool StartInTray() const { return startInTray_; }
  bool Closing() const { return closing_; }
  TBitmap* CheckedBitmap() const { return checkedBitmap_.get(); }
  TBitmap* UncheckedBitmap() const { return uncheckedBitmap_.get(); }
  // The items of the Office version radio groups (both hold the same).
  const std::vector<TOfficeVersionItem>& OfficeVersionChoices() const {
    return officeVersionChoices_;
  }
  Integer OfficeVersionColumnCount() const { return officeVersionColumns_; }
  // What the two grids show; the grids read these once they exist.
  const TCommonRows& CommonRows() const { return commonRows_; }
  const TOfficeRows& OfficeRows() const { return officeRows_; }
  // The Office grid's options rows: version, "Small Icon" and default.
  Integer OfficeVersionValue() const { return officeVersionValue_; }
  Integer SmallIconValue() const { return smallIconValue_; }
  Integer OfficeDefaultValue() const { return officeDefaultValue_; }
  bool OfficeOptionsFocusing() const { return officeOptionsFocusing_; }

  // --- Methods ---
  void SetStartInTray(bool On);
  Integer GetApplicationFlags() const { return applicationFlags_; }
  void SaveApplicationFlags(Integer Flags);
  void SetRunAtLogon(bool On);
  void RestoreFromTray();
  void HideToTray();
  void LoadDefaults();
  void DetectOfficeVersions();
  void RebuildTrayMenu();
  void RefreshActiveGrid();
  void FillCommonGrid();
  void FillOfficeGrid();
  TListItems* GetGroupListItems();
  // The groups of the tray menu, as the last rebuild made them.
  const std::vector<TMenuItem*>& TrayGroupItems() const {
    return trayGroupItems_;
  }
  // Shows page 0 (common dialogs) or 1 (Office) as the user's tab click
  // does, asking OnPageChanging first.
  void ActivatePage(Integer Index);

  // --- Place edits (the grids' cell handlers call these with the row) ---
  // The ellipsis button of place row K of either grid.
  void EditCommonPlace(Integer K, Integer ButtonIndex);
  void EditOfficePlace(Integer K, Integer ButtonIndex);
  // A name (cell 0) or view (cell 2) edit of Office place row K.
  void OfficePlaceNameEdited(Integer K, const String& Name);
  void OfficePlaceViewEdited(Integer K, const String& ViewText);
  // A row drag: from the row pressed to the row dropped on, in the grid of
  // Places. False when the drop is refused.
  bool DropPlaceRow(TCustomPlaces* Places, Integer FromIndex, Integer ToIndex);
  // The Office grid's options rows.
  void OfficeVersionChanged(Integer Version);
  void SmallIconChanged(Integer CheckedItems);
  void OfficeDefaultChanged(Integer Version);

  // --- Event handlers (bound by the form stream) ---
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void APP_minimize(TObject* Sender);
  void actRestoreExecute(TObject* Sender);
  void actCloseExecute(TObject* Sender);
  void actTestOpenExecute(TObject* Sender);
  void actTestSaveExecute(TObject* Sender);
  void actHelpExecute(TObject* Sender);
  void actAboutExecute(TObject* Sender);
  void actShowOptionDialogExecute(TObject* Sender);
  void ActionList1Update(TBasicAction* Action, bool& Handled);
  void PLACETAB_page_changing(TObject* Sender, TcxTabSheet* NewPage,
                              bool& AllowChange);
  void lvGroupsSelectItem(TObject* Sender, TListItem* Item, bool Selected);
  void GROUP_POPUP_before_popup(TObject* Sender);
  void Panel1Resize(TObject* Sender);
  void lvGroupsCustomDrawItem(TCustomListView* Sender, TListItem* Item,
                              TCustomDrawState State, bool& DefaultDraw);
  void lvGroupsMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift,
                       Integer X, Integer Y);
  void GROUP_name_edited(TObject* Sender, TListItem* Item, String& S);
  void actNewGroupExecute(TObject* Sender);
  void actRenameGroupExecute(TObject* Sender);
  void actDeleteGroupExecute(TObject* Sender);
  void actInstallGroupExecute(TObject* Sender);
  void DIALOG_default_set(TObject* Sender);
  void CommonTrayGroupClick(TObject* Sender);
  void OfficeTrayGroupClick(TObject* Sender);
  void COMDLG_edtbtn_click(TObject* Sender, Integer AButtonIndex);
  void OFFDLG_edtbtn_click(TObject* Sender, Integer AButtonIndex);
  void GRID_resize(TObject* Sender);
  void GRID_mouse_down(TObject* Sender, TMouseButton Button, TShiftState Shift,
                       Integer X, Integer Y);
  void GRID_drag_start(TObject* Sender, TDragObject*& DragObject);
  void GRID_drag_over(TObject* Sender, TObject* Source, Integer X, Integer Y,
                      TDragState State, bool& Accept);
  void GRID_drag_drop(TObject* Sender, TObject* Source, Integer X, Integer Y);
  void vgCommonDlgStylesGetContentStyle(TObject* Sender,
                                        TcxCustomEditorRowProperties* AEditProp,
                                        bool AFocused, Integer ARecordIndex,
                                        TcxStyle*& AStyle);
  void vgCommonDlgStylesGetHeaderStyle(TObject* Sender, TcxCustomRow* ARow,
                                       TcxStyle*& AStyle);
  void vgPlacesStylesGetContentStyle(TObject* Sender,
                                     TcxCustomEditorRowProperties* AEditProp,
                                     bool AFocused, Integer ARecordIndex,
                                     TcxStyle*& AStyle);
  void vgPlacesStylesGetHeaderStyle(TObject* Sender, TcxCustomRow* ARow,
                                    TcxStyle*& AStyle);
  void vgOfficeDlgEdited(TObject* Sender,
                         TcxCustomEditorRowProperties* AProperties);
  void MSO_ver_change(TObject* Sender);
  void cbUseSmIconEditPropertiesChange(TObject* Sender);
  void OFFICE_default_ver(TObject* Sender);

  // --- Components ---
  TcxPageControl* pcMainGrids = nullptr;
  TcxTabSheet* tsCommonDlg = nullptr;
  TcxTabSheet* tsOffice = nullptr;
  TcxVerticalGrid* vgCommonDlg = nullptr;
  TcxVerticalGrid* vgOfficeDlg = nullptr;
  // The row on whose header the last accepted left-button press happened.
  TcxCustomRow* DragRow = nullptr;
  TcxStyle* styDisabled = nullptr;
  TcxStyle* styFocused = nullptr;
  TcxStyle* cxStyle1 = nullptr;
  TPanel* Panel1 = nullptr;
  TcxListView* lvGroups = nullptr;
  TActionList* ActionList1 = nullptr;
  TTrayIcon* TrayIcon1 = nullptr;
  TPopupMenu* pmTray = nullptr;
  TdxBarManager* BarManager = nullptr;
  TdxBarPopupMenu* pmGroup = nullptr;
  TcxLookAndFeelController* cxLookAndFeelController1 = nullptr;
  TAction* actInstallGroup = nullptr;
  TAction* actTestOpen = nullptr;
  TAction* actTestSave = nullptr;
  TAction* actComDlgDefault = nullptr;
  TAction* actNewGroup = nullptr;
  TAction* actDeleteGroup = nullptr;
  TAction* actRestore = nullptr;
  TAction* actClose = nullptr;
  TAction* actShowOptionDialog = nullptr;
  TAction* actRenameGroup = nullptr;
  TAction* actOff2000Default = nullptr;
  TAction* actOffXpDefault = nullptr;
  TAction* actOff2003Default = nullptr;
  TAction* actOff2007Default = nullptr;
  TAction* actHelp = nullptr;
  TAction* actAbout = nullptr;

 protected:
  void Loaded() override;
  void WndProc(TMessage& Message) override;

 private:
  void BindComponents();
  // The two grids of places with their rows (wndMainGrids.cpp).
  void CreateGrids();
  // A grid of places on Page with what both grids share: options, styles
  // and the row drag.
  TcxVerticalGrid* NewPlaceGrid(const String& Name, TWinControl* Page);
  void CreateCommonGrid();
  void CreateOfficeGrid();
  // What Office detection found, into the Office grid: enabled only with a
  // version, and the version choices in both version rows.
  void ApplyOfficeDetection();
  // The model behind a grid, and the grid's place row under a point.
  TCustomPlaces* PlacesOfGrid(TObject* Grid);
  TcxCustomRow* PlaceRowAt(TcxVerticalGrid* Grid, Integer X, Integer Y);
  bool IsPlaceRow(TcxCustomRow* Row);
  TgxRowDragObject* RowDragOf(TObject* Source);
  // An option row's new value, from its editor, handed to Apply.
  void OptionRowChanged(TObject* Sender, const char* RowName,
                        void (TwndMain::*Apply)(Integer));
  // The room of a place row's value cell, or Fallback before it is laid out.
  Integer ValueCellWidth(TcxCustomRow* Row, Integer Cell, Integer Fallback);
  void ShowCommonRows();
  void ShowOfficeRows();
  // The bar manager and the group list's popup menu (wndMainBars.cpp: the
  // bar and list-view headers cannot meet in one source).
  void BindBars(TControl* GroupList);
  void SetRestoreAction(bool Shown);
  void AddCommonTrayGroups(Integer& Added);
  void AddOfficeTrayGroups(Integer& Added);
  void AddTrayGroups(TCustomPlaces* Places, Integer SubmenuFlag,
                     const char* SubmenuCaption, TNotifyEvent OnClick,
                     Integer AddedFlag, TMenuItem*& Submenu, Integer& Added);
  void AddTrayActionItem(TBasicAction* Action, bool Default = false);
  void AddTraySeparator();
  void TrayGroupClick(TObject* Sender, bool Office);
  TTextWidthFunc GridTextWidth();
  void RepaintGroupList();
  // Reinstalls Places' current group when it is the installed one, so that
  // the dialogs show what the grid shows.
  void ReinstallIfInstalled(TCustomPlaces* Places);
  // Edits Office place K, then stores, shows and reinstalls it.
  void EditOfficePlaceCell(Integer K,
                           const std::function<void(TPlaceItem*)>& Edit);
  bool RenameGroupKeepingData(TPlaceGroups* Groups, Integer Index,
                              const String& NewName);

  std::unique_ptr<TCommonDialogPlaces> commonPlaces_;
  std::unique_ptr<TOfficeDialogPlaces> officePlaces_;
  TCustomPlaces* currentPlaces_ = nullptr;
  Byte officeMask_ = 0;
  Integer applicationFlags_ = 0;
  bool startInTray_ = false;
  bool closing_ = false;
  std::unique_ptr<TBitmap> checkedBitmap_;
  std::unique_ptr<TBitmap> uncheckedBitmap_;
  std::vector<TMenuItem*> trayGroupItems_;
  // Taken out of the menu by a rebuild; freed once the menu's own click,
  // which may be what asked for the rebuild, has returned.
  std::vector<TMenuItem*> retiredTrayItems_;
  TMenuItem* commonGroupsSubmenu_ = nullptr;
  TMenuItem* officeGroupsSubmenu_ = nullptr;
  std::vector<TOfficeVersionItem> officeVersionChoices_;
  Integer officeVersionColumns_ = 2;
  TCommonRows commonRows_;
  TOfficeRows officeRows_;
  Integer officeVersionValue_ = 0;
  Integer smallIconValue_ = 0;
  Integer officeDefaultValue_ = 0;
  bool officeOptionsFocusing_ = false;
  bool loaded_ = false;
  TcxCategoryRow* commonPlacesCategory_ = nullptr;
  TcxCategoryRow* officePlacesCategory_ = nullptr;
  // The drag object handed out by GRID_drag_start stays ours.
  TObjectPtr<TgxRowDragObject> rowDrag_;
};
