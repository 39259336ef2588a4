// The bar manager and its model: bars, items, item links, groups,
// categories, the item-kind registry and the thread hooks that route keys and
// mouse input to the bars. The windows that show all this (bar controls,
// item controls, dock controls) are declared in the marked section at the
// end and built in dxBarControls*.cpp.
//
// Sources: dxBarCommon.cpp (unit start-up and exit, registry, lists, free
// routines), dxBarManager.cpp, dxBarComponents.cpp (components, groups,
// categories, popup-menu links, option objects), dxBarHooks.cpp,
// dxBarItems.cpp, dxBarLinks.cpp, dxBarBars.cpp.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "ActnList.h"
#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "ImgList.h"
#include "IniFiles.h"
#include "TypInfo.h"
#include "cxClasses.h"
#include "cxControls.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

class TdxBarManager;
class TdxBarComponent;
class TdxBarItem;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBar;
class TdxBars;
class TdxBarGroup;
class TdxBarPainter;
class TdxBarCustomPopupMenu;
class TdxBarPopupMenu;
class TCustomdxBarControl;
class TdxBarControl;
class TdxBarItemControl;
class TdxDockControl;
class TdxDockRow;

using THelpContext = Integer;

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

inline constexpr TcxResourceString dxSBAR_WRONGOWNER{
    64000, "TdxBarManager should have TWinControl as its Owner"};
inline constexpr TcxResourceString dxSBAR_MANYBARMANAGERS{
    64001, "A control should contain only a single TdxBarManager"};
inline constexpr TcxResourceString dxSBAR_DEFAULTCATEGORYNAME{64002, "Default"};
inline constexpr TcxResourceString dxSBAR_CUSTOMTOOLBARNAME{64003, "Custom "};
inline constexpr TcxResourceString dxSBAR_RECURSIVEGROUPS{
    64004, "You cannot create recursive groups"};
inline constexpr TcxResourceString dxSBAR_NEWITEMCAPTION{64005, "New Item"};
inline constexpr TcxResourceString dxSBAR_RECURSIVEMENUS{
    64015, "You cannot create recursive menus"};
inline constexpr TcxResourceString dxSBAR_NEWBUTTONCAPTION{64016, "New Button"};
inline constexpr TcxResourceString dxSBAR_NEWSEPARATORCAPTION{64017,
                                                              "New Separator"};
inline constexpr TcxResourceString dxSBAR_NEWSUBITEMCAPTION{64018,
                                                            "New SubItem"};
inline constexpr TcxResourceString dxSBAR_WANTTODELETETOOLBAR{
    64006, "Are you sure you want to delete the '%s' toolbar?"};
inline constexpr TcxResourceString dxSBAR_WANTTORESETTOOLBAR{
    64007,
    "Are you sure you want to reset the changes made to the '%s' "
    "toolbar?"};
inline constexpr TcxResourceString dxSBAR_CANTMERGEBAR{
    64008, "You cannot merge with the specified toolbar"};
inline constexpr TcxResourceString dxSBAR_CANTMERGETOOLBAR{
    64009, "You cannot merge a toolbar with a toolbar that is already merged"};
inline constexpr TcxResourceString dxSBAR_TOOLBARHASMERGEDTOOLBARS{
    64010, "The '%s' toolbar has merged toolbars"};
inline constexpr TcxResourceString dxSBAR_TOOLBARSALREADYMERGED{
    64011, "The '%s' toolbar is already merged with the '%s' toolbar"};
inline constexpr TcxResourceString dxSBAR_CANTUNMERGETOOLBAR{
    64012, "You cannot unmerge the specified toolbar"};
inline constexpr TcxResourceString dxSBAR_TOOLBARSARENOTMERGED{
    64013, "The '%s' toolbar is not merged with the '%s' toolbar"};
inline constexpr TcxResourceString dxSBAR_CANTPLACESEPARATOR{
    64014, "A separator item cannot be placed on the specified toolbar"};

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

enum TdxBarManagerStyle : Byte {
  bmsStandard,
  bmsEnhanced,
  bmsFlat,
  bmsXP,
  bmsOffice11,
  bmsUseLookAndFeel
};
enum TdxBarRealPaintStyle : Byte {
  rpsStandard,
  rpsEnhanced,
  rpsFlat,
  rpsXP,
  rpsOffice11,
  rpsSkin
};
enum TdxBarDockingStyle : Byte { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using TdxBarDockingStyles = TSet<TdxBarDockingStyle>;
enum TdxBarItemVisible : Byte { ivNever, ivInCustomizing, ivAlways };
enum TdxBarItemViewLevel : Byte {
  ivlLargeIconWithText,
  ivlSmallIconWithText,
  ivlSmallIcon,
  ivlControlOnly,
  // Not a member of a view-level set: "no level".
  ivlDefault
};
using TdxBarItemViewLevels = TSet<TdxBarItemViewLevel>;
enum TdxBarPaintStyle : Byte {
  psStandard,
  psCaption,
  psCaptionInMenu,
  psCaptionGlyph
};
enum TdxBarItemAlign : Byte { iaLeft, iaCenter, iaRight, iaClient };
enum TdxBarItemMergeKind : Byte { mkAdd, mkMergeByCaption, mkNone };
enum TdxBarUserDefine : Byte { udCaption, udGlyph, udPaintStyle, udWidth };
using TdxBarUserDefines = TSet<TdxBarUserDefine>;
enum TdxBarItemPosition : Byte {
  ipBeginsNewRow,
  ipBeginsNewColumn,
  ipContinuesRow
};
enum TdxBarButtonGroupPosition : Byte { bgpNone, bgpStart, bgpMember };
enum TdxBarBorderStyle : Byte { bbsNone, bbsSingle };
enum TdxBarMenuAnimations : Byte {
  maNone,
  maRandom,
  maUnfold,
  maSlide,
  maFade
};
enum TdxBarKind : Byte { bkBarControl, bkBarQuickControl, bkSubMenu };
using TdxBarKinds = TSet<TdxBarKind>;
enum TdxBarItemControlParentKind : Byte { pkBar, pkSubItemOrPopupMenu };
enum TdxBarGlyphLayout : Byte { glLeft, glRight, glTop, glBottom };
enum TdxBarStoringKind : Byte { skIni, skReg };
enum TdxBarButtonStyle : Byte {
  bsDefault,
  bsChecked,
  bsDropDown,
  bsCheckedDropDown
};
enum TcxComponentCollectionNotification : Byte {
  ccnAdded,
  ccnChanged,
  ccnExtracting,
  ccnExtracted,
  ccnDeleting
};
enum TdxBarSelectionStatus : Byte {
  ssUnselected,
  ssInactiveSelected,
  ssActiveSelected
};
enum TdxBarSelectionOperation : Byte { soAdd, soExclude, soExclusive };
enum TdxBarMouseWheelEventReceiver : Byte {
  mwrNone,
  mwrActiveBarControl,
  mwrFocusedItemControl,
  mwrWindow
};

// ---------------------------------------------------------------------------
// Event types
// ---------------------------------------------------------------------------

using TdxBarEvent = TClosure<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarVisibleChangeEvent = TdxBarEvent;
using TdxBarItemLinkEvent =
    TClosure<void(TdxBarManager* Sender, TdxBarItemLink* AItemLink)>;
using TdxBarClickItemEvent =
    TClosure<void(TdxBarManager* Sender, TdxBarItem* ClickedItem)>;
using TdxBarCanDockingEvent =
    TClosure<void(TdxBar* Sender, TdxBarDockingStyle Style,
                  TdxDockControl* DockControl, bool& CanDocking)>;
using TdxBarMergeItemLinkEvent =
    TClosure<void(TdxBarManager* Sender, TdxBarItemLinks* ADstItemLinks,
                  TdxBarItemLinks* ASrcItemLinks, TdxBarItemLink* ASrcItemLink,
                  TdxBarItemMergeKind& AMergeKind, Integer& AMergeIndex)>;
using TdxBarShowPopupEvent =
    TClosure<void(TdxBarManager* Sender, TdxBarItemLinks* PopupItemLinks)>;
using TdxBarPopupMenuLinkActionEvent =
    TClosure<void(class TdxBarPopupMenuLink* Sender, Integer& X, Integer& Y,
                  bool ClickedByMouse, bool& AllowPopup)>;
// A handler of a manager's handler lists: the sender and an untyped datum.
using TdxEventHandler = TClosure<void(TObject* Sender, void* AData)>;

// ---------------------------------------------------------------------------
// Painters (declared in dxBarPainters.h)
// ---------------------------------------------------------------------------

class TdxBarStandardPainter;
using TdxBarPainterClass = TClass;

// The painter class of each real paint style; a painter puts its class
// into its style's entry when the unit starts. A style without a painter of
// its own paints with the standard painter.
TdxBarPainterClass& dxBarPainterClassOf(TdxBarRealPaintStyle AStyle);
// The painter of the skin paint style; nothing assigns it.
extern TdxBarPainterClass dxBarSkinPainterClass;

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

// A list of objects it does not own; nil and duplicates are not added.
class TdxObjectList : public TList {
  VARNEL_CLASS(TdxObjectList, TList)
 public:
  Integer Add(TObject* AObject);
  void AddList(TList* AList);
  void AddFromList(TList* ASource, TList* AExcluded);
  void CopyFrom(TList* AList) { CopyList(AList, this); }
  void CopyTo(TList* AList) { CopyList(this, AList); }
  static void CopyList(TList* ASource, TList* ADestination);
  // This list becomes the entries that are in exactly one of A and B.
  void XorList(TList* A, TList* B);
  TObject* First() const;
  TObject* Last() const;
  TObject* GetItem(Integer Index) const;
};

using TcxComponentCollectionChangeEvent =
    TClosure<void(TObject* Sender, TComponent* AItem,
                  TcxComponentCollectionNotification AAction)>;

// A list of components it does not own, reporting changes.
class TdxComponentList : public TObject {
  VARNEL_CLASS(TdxComponentList, TObject)
 public:
  TdxComponentList() = default;
  ~TdxComponentList() override;
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TComponent* Items(Integer Index) const;
  Integer IndexOf(TComponent* AComponent) const;
  Integer Add(TComponent* AComponent);
  void Insert(Integer Index, TComponent* AComponent);
  // Takes it out with the extract notices.
  void Extract(TComponent* AComponent);
  // Takes it out with the deleting notice (the component is going).
  void Remove(TComponent* AComponent);
  void Move(Integer CurIndex, Integer NewIndex);
  void Exchange(Integer Index1, Integer Index2);
  void Clear();
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate(bool ANotify = true);
  void Update(TComponent* AComponent, TcxComponentCollectionNotification AKind);

  TcxComponentCollectionChangeEvent OnComponentListChanged;

 protected:
  virtual TClass ItemClass() const { return TComponent::StaticClass(); }
  virtual void Notify(TComponent* AComponent,
                      TcxComponentCollectionNotification AAction);
  // For destructors: a derived list calls it from its own, where its
  // notice is still the one that runs.
  void ClearSilently();
  std::vector<TComponent*> items_;
  Integer updateCount_ = 0;
};

class TdxBarComponentList : public TdxComponentList {
  VARNEL_CLASS(TdxBarComponentList, TdxComponentList)
 public:
  TdxBarComponentList() = default;
  // Empties the list while its own notice still runs, so that no member
  // keeps asking a freed list to hear its changes.
  ~TdxBarComponentList() override;

 protected:
  TClass ItemClass() const override;
  void Notify(TComponent* AComponent,
              TcxComponentCollectionNotification AAction) override;
};

class TdxEventHandlerCollection : public TObject {
  VARNEL_CLASS(TdxEventHandlerCollection, TObject)
 public:
  void Add(const TdxEventHandler& AHandler);
  void Remove(const TdxEventHandler& AHandler);
  void Delete(Integer AIndex);
  Integer IndexOf(const TdxEventHandler& AHandler) const;
  Integer Count() const { return static_cast<Integer>(handlers_.size()); }
  void CallEvents(TObject* Sender, void* AData);

 private:
  std::vector<TdxEventHandler> handlers_;
};

// ---------------------------------------------------------------------------
// Item-kind registry
// ---------------------------------------------------------------------------

class TRegItemRecord : public TObject {
  VARNEL_CLASS(TRegItemRecord, TObject)
 public:
  TClass ItemClass = nullptr;
  TClass ItemControlClass = nullptr;
  bool Visible = false;
};

class TdxBarItemList : public TObject {
  VARNEL_CLASS(TdxBarItemList, TObject)
 public:
  ~TdxBarItemList() override;
  void Register(TClass AItemClass, TClass AItemControlClass, bool AVisible);
  void Unregister(Integer AIndex);
  void Unregister(TClass AItemClass);
  Integer Count() const { return static_cast<Integer>(records_.size()); }
  TRegItemRecord* GetItem(Integer AIndex) const;
  TClass GetItemClass(Integer AIndex) const;
  Integer GetVisibleItemCount() const;
  TClass GetVisibleItemClass(Integer N) const;
  // The control class registered for exactly this item class; null when
  // the class is not registered.
  TClass GetItemControlClass(TClass AItemClass) const;
  // The window side names the control class of a kind that the bar unit
  // registered before that side existed.
  void SetItemControlClass(TClass AItemClass, TClass AItemControlClass);

 private:
  std::vector<TRegItemRecord*> records_;
};

// Null while the unit is finalizing.
TdxBarItemList* RegdxItemList();
void dxBarRegisterItem(TClass AItemClass, TClass AItemControlClass,
                       bool AVisible);
void dxBarUnregisterItem(TClass AItemClass);

// ---------------------------------------------------------------------------
// Unit services
// ---------------------------------------------------------------------------

extern bool dxBarMakeInactiveImagesDingy;
extern bool dxBarPlaySound;
extern Integer dxBarNonrecentlyUsedItemsColorDelta;
extern Integer dxBarFlatToolbarsColorDelta;
extern Integer dxBarWaitForSubMenuTime;
extern TColor dxBarScreenTipFontColor;
extern std::array<Integer, 3> MDIButtonCommands;
using TdxBarManagerProc = void (*)(TdxBarManager* ABarManager);
extern TdxBarManagerProc FOnRegisterBarManager;
extern TdxBarManagerProc FOnUnregisterBarManager;
// The class of the four internal dock controls and of a toolbar's window:
// set by the window side when its unit starts; null without it (bars then
// keep their state but show no window).
extern TClass dxBarDockControlClass;
extern TClass dxBarToolbarControlClass;

extern bool IsWin9x;
extern bool IsWin95;
extern bool IsWin98OrNT5;
// Set when the unit's exit begins.
bool dxBarIsFinalizing();
HBRUSH dxBarPatternBrush();
// Rebuilds what is drawn in system colours; the system controller calls it
// when they change.
void dxBarRefreshSystemColors();
TList* dxBarControlList();
// The head of the chain of active bar controls (a menu is open or a bar is
// in menu mode), or null. Kept by the window side.
extern TCustomdxBarControl* ActiveBarControl;
// Every menu of the active chain shows all its items: a menu that expands
// sets it, a new chain starts with the chain's customizing state.
extern bool dxBarExpandedMenus;
// Set for the length of a loop of its own that moves a bar or pulls a menu
// out; the keyboard hook leaves the keys to that loop meanwhile.
extern bool dxBarModalLoop;

class TdxBarManagerList;
TdxBarManagerList* dxBarManagerList();

// The hidden window that runs work handed to the main thread while a bar
// loop runs (message 1026).
class TdxBarSystemController : public TcxMessageWindow {
  VARNEL_CLASS(TdxBarSystemController, TcxMessageWindow)
 public:
  static constexpr UINT WM_DX_SYNCHRONIZE = 1026;
  void WakeMainThread(TObject* Sender);

 protected:
  void WndProc(TMessage& Message) override;
};
TdxBarSystemController* BarSystemController();

// Text and values.
String GetTextOf(const String& S);
Integer GetAccelPos(String& S, bool ADeleteMarks);
TdxBarItemVisible VisibleTodxBarVisible(bool AVisible);
TdxBarItemViewLevel GetMaxViewLevel(TdxBarItemViewLevels ALevels);
// ivlDefault for an empty set, as GetMaxViewLevel.
TdxBarItemViewLevel GetMinViewLevel(TdxBarItemViewLevels ALevels);
TdxBarItemViewLevel GetNextViewLevel(TdxBarItemViewLevels ALevels,
                                     TdxBarItemViewLevel ALevel);
bool dxKillTimer(HWND AWnd, UINT_PTR& AID);
// Handle at once the mouse (paint) messages that are waiting, before a bar
// starts a loop of its own.
void ProcessMouseMessages();
void ProcessPaintMessages();
// The next message of a bar's own loop: false when the loop must end (an
// error, or WM_QUIT, which is put back for the application's loop).
bool dxBarGetLoopMessage(MSG& AMsg);
// The screen point of a mouse message.
TPoint dxBarMessageScreenPoint(const MSG& AMsg);

// The bar manager's cursors in the screen's cursor table.
constexpr TCursor crdxBarDrag = 1041;
constexpr TCursor crdxBarDragCopy = 1042;
constexpr TCursor crdxBarDragNoDrop = 1043;
constexpr TCursor crdxBarEditSizing = 1044;

// USER32 routines bound by name at start-up; nil where the system lacks
// them.
using TdxSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE,
                                                    DWORD);
using TdxUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC,
                                             POINT*, COLORREF, BLENDFUNCTION*,
                                             DWORD);
using TdxAnimateWindow = BOOL(WINAPI*)(HWND, DWORD, DWORD);
extern TdxSetLayeredWindowAttributes SetLayeredWindowAttributesProc;
extern TdxUpdateLayeredWindow UpdateLayeredWindowProc;
extern TdxAnimateWindow AnimateWindowProc;
void SetLayeredWndAttributes(HWND AWnd, Integer AAlpha);

// Windows and sounds.
void dxSetZOrder(HWND AWnd, HWND AInsertAfter, bool AActivate, UINT AFlags = 0);
enum TdxBarMenuSound : Integer { msMenuPopup, msMenuCommand, msStop };
// How a menu sound reaches the system; tests replace it to hear nothing.
using TdxBarPlaySoundProc = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
extern TdxBarPlaySoundProc dxBarPlaySoundProc;
void dxBarPlayMenuSound(TdxBarMenuSound AKind);

// GDI and drawing.
void dxBarDeleteObject(HGDIOBJ& AObject);
void dxBarPolygon(HDC DC, const POINT* APoints, Integer ALastIndex,
                  TColor AFillColor, TColor APenColor);
void SaveClipRgn(HDC DC, HRGN& ARegion, bool& AHadRegion);
void RestoreClipRgn(HDC DC, HRGN& ARegion, bool AHadRegion);
void dxBarFrameRect(HDC DC, const TRect& R, Integer AColorIndex);
void dxBarFocusRect(HDC DC, const TRect& R);
void FrameFlatSelRect(HDC DC, const TRect& R);
void FillRectByBitmap(HDC DC, const TRect& R, const TRect& AOriginRect,
                      TBitmap* ABitmap);
void DrawItemArrow(HDC DC, const TRect& R, TcxArrowDirection ADirection,
                   bool AEnabled, bool ASelected, bool AFlat,
                   TColor AColor = clDefault);
void DrawLargeItemArrow(HDC DC, const TRect& R, bool ADown, TColor AColor,
                        bool AFlat, bool AEnabled, bool ASelected,
                        Integer ASize);
// A vertical gradient from (R1, G1, B1) at the top to (R2, G2, B2).
void DrawVerticalGradient(TcxCanvas* ACanvas, const TRect& R, Byte R1, Byte R2,
                          Byte G1, Byte G2, Byte B1, Byte B2);
// The hatch laid over what cannot be customized.
void dxBarDrawDisablingHatch(HDC DC, const TRect& R);
// Without a picture: ABrush, or a solid brush of AColor when ABrush is null;
// with one, the picture tiled from AOriginRect's top-left.
void FillBackgroundArea(HDC DC, const TRect& R, const TRect& AOriginRect,
                        HBRUSH ABrush, TColor AColor, TBitmap* ABitmap);
// Moves the DC's window origin (and R) by AControl's offset inside AParent,
// so that a background drawn in AParent's coordinates lines up; the after
// routine puts the origin back.
void BeforeDrawBackground(TControl* AControl, TControl* AParent, HDC DC,
                          TRect& R, TPoint& APrevOrigin);
void AfterDrawBackground(HDC DC, const TPoint& APrevOrigin);
// The system size grip over what is painted: only its lines and shades.
void BarDrawSizeGrip(HDC DC, const TRect& R);

// The state of a glyph to draw, which picks its image draw mode.
struct TdxBarImageDrawState {
  bool Enabled = true;
  bool Faded = false;
  bool GrayScale = false;
  // Flat painters may draw inactive images dingy.
  bool Flat = false;
  bool Selected = false;
  bool Down = false;
  bool Pressed = false;
  bool Shadow = false;
  bool Smooth = false;
  bool LeftBottomPixelTransparent = true;
};
TcxImageDrawMode dxBarImageDrawMode(const TdxBarImageDrawState& AState,
                                    Integer AScreenColorDepth);
// Bits per pixel of the screen, read at start-up and on colour changes.
Integer dxBarScreenColorDepth();
// A glyph when assigned (then without a transparent colour), else the image
// of the list, in the mode the state picks.
void TransparentDraw(HDC DC, HBRUSH ABrush, const TRect& ABackgroundRect,
                     const TRect& AGlyphRect, TBitmap* AGlyph,
                     TCustomImageList* AImages, Integer AImageIndex,
                     TColor AImageListBkColor,
                     const TdxBarImageDrawState& AState);
void TransparentDraw(HDC DC, const TRect& R, TBitmap* ABitmap, bool AEnabled);

// Theme colours; a theme without the colour answers the system's.
constexpr Integer dxBarThemedEditNormal = 1;
constexpr Integer dxBarThemedEditDisabled = 4;
TColor ThemedEditBkColor(HTHEME ATheme, Integer AState);
TColor ThemedEditTextColor(HTHEME ATheme, Integer AState);
TColor ThemedToolbarColor(HTHEME ATheme);

// A new font with the data of AFont; the caller deletes it.
HFONT CloneFont(HFONT AFont);
// The application's message box with the application's title.
Integer dxBarMessageBox(const String& AText, UINT AFlags);

// The corner of a drop-down window at which its size grip sits.
enum TdxCorner : Byte { coTopLeft, coTopRight, coBottomLeft, coBottomRight };
// The height of a drop-down window's sizing band.
Integer dxDropDownNCHeight();
// The corner of the popup rectangle R2 away from its owner's R1: right when
// R1 starts left of R2's right edge, bottom when R1 ends above R2's bottom.
TdxCorner GetCornerForRects(const TRect& R1, const TRect& R2);
Integer GetHitTestByCorner(TdxCorner ACorner);
// A close button at the end of R away from the corner; R becomes its face.
// A flat button shows no edge and no pushed glyph.
void DrawCloseButton(HDC DC, TRect& R, bool AHot, TdxCorner ACorner,
                     bool APressed, bool AFlat = false);
// A size grip in R's corner cell, its lines pointing to the corner; R
// becomes the cell.
void DrawSizeGrip(HDC DC, TRect& R, TdxCorner ACorner);
void ThemedCloseButtonSize(TSize& ASize);
void ThemedSizeGripSize(TSize& ASize);
void DrawThemedCloseButton(HDC DC, TRect& R, bool AHot, TdxCorner ACorner,
                           bool APressed);
void DrawThemedSizeGrip(HDC DC, TRect& R, TdxCorner ACorner);
// The client area of a drop-down window: a one-pixel frame and, when
// sizable, the band on the side away from its owner (AOwnerRect, screen
// coordinates; empty when the owner is not shown), whose corner is set.
void dxBarPopupNCCalcSize(HWND AWnd, TRect& ARect, TdxCorner& ACorner,
                          const TRect& AOwnerRect, bool ASizable);
// Paints that frame and band in the window's DC; the grip (grown by 2 for
// hit tests) and close button rectangles come back in screen coordinates,
// empty when the window is not sizable.
void dxBarPopupNCPaint(HWND AWnd, bool ASizable, bool AFlat, bool ACloseHot,
                       bool AClosePressed, TRect& AGripRect, TRect& ACloseRect,
                       TdxCorner ACorner);

// Lookups.
TdxBarManager* GetBarManagerByComponent(TComponent* AComponent);
TdxBarManager* GetBarManagerByForm(TCustomForm* AForm);
TdxBarManager* GetBarManagerByWindow(HWND AWnd);
bool IsAncestorComponentDifferencesDetection(TComponent* AComponent);

// ---------------------------------------------------------------------------
// Persistent option objects
// ---------------------------------------------------------------------------

class TdxBarPersistent : public TPersistent {
  VARNEL_CLASS(TdxBarPersistent, TPersistent)
 public:
  explicit TdxBarPersistent(TdxBarManager* ABarManager)
      : barManager_(ABarManager) {}
  TdxBarManager* BarManager() const { return barManager_; }
  TPersistent* GetOwner() override;

 private:
  TdxBarManager* barManager_;
};

class TdxBarBackgrounds : public TdxBarPersistent {
  VARNEL_CLASS(TdxBarBackgrounds, TdxBarPersistent)
 public:
  explicit TdxBarBackgrounds(TdxBarManager* ABarManager);
  ~TdxBarBackgrounds() override;
  void Assign(TPersistent* Source) override;
  TBitmap* Bar() const { return bar_; }
  void SetBar(TBitmap* Value);
  TBitmap* SubMenu() const { return subMenu_; }
  void SetSubMenu(TBitmap* Value);

 private:
  void BarChanged(TObject* Sender);
  TBitmap* bar_;
  TBitmap* subMenu_;
};

class TdxBarImageOptions : public TdxBarPersistent {
  VARNEL_CLASS(TdxBarImageOptions, TdxBarPersistent)
 public:
  explicit TdxBarImageOptions(TdxBarManager* ABarManager);
  ~TdxBarImageOptions() override;
  void Assign(TPersistent* Source) override;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* Value);
  TCustomImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TCustomImageList* Value);
  TCustomImageList* DisabledLargeImages() const { return disabledLargeImages_; }
  void SetDisabledLargeImages(TCustomImageList* Value);
  TColor ImageListBkColor() const { return imageListBkColor_; }
  void SetImageListBkColor(TColor Value);
  bool LargeIcons() const { return largeIcons_; }
  void SetLargeIcons(bool Value);
  bool MakeDisabledImagesFaded() const { return makeDisabledImagesFaded_; }
  void SetMakeDisabledImagesFaded(bool Value);
  bool UseLargeImagesForLargeIcons() const {
    return useLargeImagesForLargeIcons_;
  }
  void SetUseLargeImagesForLargeIcons(bool Value);
  bool UseLeftBottomPixelAsTransparent() const {
    return useLeftBottomPixelAsTransparent_;
  }
  void SetUseLeftBottomPixelAsTransparent(bool Value);
  bool SmoothGlyphs = false;
  bool StretchGlyphs = true;

  Integer CalcGlyphSize() const;
  bool IsLargeImagesForLargeIcons() const {
    return useLargeImagesForLargeIcons_ && largeImages_;
  }
  // The image list went: it is cleared from every role it held.
  void ImageListFreed(TComponent* AImageList);

  TNotifyEvent OnChanged;
  TNotifyEvent OnLargeIconsChanged;

 private:
  void SetImageList(TCustomImageList*& AField, TCustomImageList* AValue);
  void Changed();
  TCustomImageList* images_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  TCustomImageList* hotImages_ = nullptr;
  TCustomImageList* disabledImages_ = nullptr;
  TCustomImageList* disabledLargeImages_ = nullptr;
  TColor imageListBkColor_ = static_cast<TColor>(0xFF00FF);
  bool largeIcons_ = false;
  bool makeDisabledImagesFaded_ = false;
  bool useLargeImagesForLargeIcons_ = false;
  bool useLeftBottomPixelAsTransparent_ = true;
  TObjectPtr<TcxFreeNotificator> freeNotificator_;
};

// ---------------------------------------------------------------------------
// Components, groups, categories
// ---------------------------------------------------------------------------

class TdxBarComponent : public TComponent {
  VARNEL_CLASS(TdxBarComponent, TComponent)
 public:
  explicit TdxBarComponent(TComponent* AOwner);
  ~TdxBarComponent() override;
  TdxBarManager* BarManager() const { return barManager_; }
  virtual TdxBarManager* GetBarManager() { return barManager_; }
  void AddChangeNotify(TdxComponentList* AList);
  void RemoveChangeNotify(TdxComponentList* AList);
  virtual void Changed(bool AAll = false);
  virtual bool GetEnabled() const = 0;
  virtual void SetEnabled(bool Value) = 0;
  virtual void SetVisible(TdxBarItemVisible Value) = 0;
  TdxBarItemVisible Visible() const { return visible_; }
  virtual bool CanDelete();

 protected:
  friend class TdxBarManager;
  void SetBarManagerField(TdxBarManager* Value) { barManager_ = Value; }
  TdxBarManager* barManager_ = nullptr;
  bool enabled_ = true;
  TdxBarItemVisible visible_ = ivAlways;

 private:
  std::vector<TdxComponentList*> notifyLists_;
};

class TdxBarGroup : public TdxBarComponent {
  VARNEL_CLASS(TdxBarGroup, TdxBarComponent)
 public:
  explicit TdxBarGroup(TComponent* AOwner);
  ~TdxBarGroup() override;
  // Raises "You cannot create recursive groups" for this group or a group
  // that holds it at any depth.
  void Add(TdxBarComponent* AComponent);
  void Delete(Integer AIndex);
  void Remove(TdxBarComponent* AComponent);
  Integer IndexOf(TdxBarComponent* AComponent) const;
  void Move(Integer ACurIndex, Integer ANewIndex);
  Integer Count() const;
  TdxBarComponent* Items(Integer AIndex) const;
  bool Contains(TdxBarComponent* AComponent) const;
  Integer GetIndex() const;
  void SetIndex(Integer Value);

  bool GetEnabled() const override { return enabled_; }
  void SetEnabled(bool Value) override;
  void SetVisible(TdxBarItemVisible Value) override;
  void SetName(const String& NewName) override;
  TComponent* GetParentComponent() override;
  bool HasParent() override { return true; }
  void SetParentComponent(TComponent* Value) override;
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void ReadItems(TReader* Reader);
  void WriteItems(TWriter* Writer);
  void ResolveNames(const std::vector<String>& ANames);
  TdxBarComponentList members_;
  std::vector<String> loadedNames_;
};

class TdxBarCategoryData : public TObject {
  VARNEL_CLASS(TdxBarCategoryData, TObject)
 public:
  TdxBarItemVisible ItemsVisible = ivAlways;
  TdxBarItemVisible LoadedItemsVisible = ivAlways;
  bool Visible = true;
};

class TdxBarManagerCategories : public TStringList {
  VARNEL_CLASS(TdxBarManagerCategories, TStringList)
 public:
  explicit TdxBarManagerCategories(TdxBarManager* ABarManager);
  ~TdxBarManagerCategories() override;
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  void Delete(Integer Index) override;
  void Exchange(Integer Index1, Integer Index2) override;
  void Move(Integer CurIndex, Integer NewIndex) override;
  void Clear() override;
  void DefineProperties(TFiler* Filer) override;
  TdxBarCategoryData* Data(Integer Index, bool ACreate);

 protected:
  void Changed() override;

 private:
  void SetItemsCategory(Integer AFrom, Integer ATo);
  void ReadStrings(TReader* Reader);
  void WriteStrings(TWriter* Writer);
  void ReadItemsVisibles(TReader* Reader);
  void WriteItemsVisibles(TWriter* Writer);
  void ReadVisibles(TReader* Reader);
  void WriteVisibles(TWriter* Writer);
  TdxBarManager* barManager_;
  bool moving_ = false;
};

class TdxBarPopupMenuLink : public TCollectionItem {
  VARNEL_CLASS(TdxBarPopupMenuLink, TCollectionItem)
 public:
  explicit TdxBarPopupMenuLink(TCollection* ACollection);
  ~TdxBarPopupMenuLink() override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* Value);
  TdxBarCustomPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TdxBarCustomPopupMenu* Value);
  bool ProcessChildren = true;
  TdxBarPopupMenuLinkActionEvent OnAction;
  // True when the linked menu takes the shortcut.
  bool IsShortCut(TShortCut AShortCut);
  bool DoAction(TPoint APoint);
  void Assign(TPersistent* Source) override;
  TdxBarManager* BarManager() const;

 private:
  void NewWndProc(TMessage& Message);
  void RestoreWndProc();
  TControl* control_ = nullptr;
  TdxBarCustomPopupMenu* popupMenu_ = nullptr;
  TWndMethod prevWndProc_;
};

class TdxBarPopupMenuLinks : public TCollection {
  VARNEL_CLASS(TdxBarPopupMenuLinks, TCollection)
 public:
  explicit TdxBarPopupMenuLinks(TdxBarManager* ABarManager);
  TdxBarPopupMenuLink* Add() {
    return static_cast<TdxBarPopupMenuLink*>(TCollection::Add());
  }
  TdxBarPopupMenuLink* Items(Integer Index) const {
    return Item<TdxBarPopupMenuLink>(Index);
  }
  TdxBarManager* BarManager() const { return barManager_; }
  TPersistent* GetOwner() override;
  bool IsShortCut(TControl* AControl, TShortCut AShortCut);
  bool DoAction(TControl* AControl, HWND AWnd, TPoint APoint);

 private:
  TdxBarManager* barManager_;
};

// What this layer needs of a popup menu (the menus themselves come later).
class TdxBarCustomPopupMenu : public TdxBarComponent {
  VARNEL_CLASS(TdxBarCustomPopupMenu, TdxBarComponent)
 public:
  using TdxBarComponent::TdxBarComponent;
  virtual bool IsShortCut(TShortCut AShortCut) = 0;
  virtual void PopupFromCursorPos() {}
  virtual void Popup(Integer X, Integer Y) = 0;
  virtual TdxBarItemLinks* GetItemLinks() = 0;
};

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

// What owns a collection of links: a bar, a sub-menu item, a popup menu.
class IdxBarLinksOwner {
 public:
  virtual ~IdxBarLinksOwner() = default;
  virtual bool CanContainItem(TdxBarItem* AItem, String& AErrorText) = 0;
  // Creates the owner's window for the links; null when it has none.
  virtual TCustomdxBarControl* CreateBarControl() = 0;
  virtual TComponent* GetOwnerComponent() = 0;
  virtual bool IsBar() const { return false; }
};

class TdxBarItemActionLink : public TActionLink {
  VARNEL_CLASS(TdxBarItemActionLink, TActionLink)
 public:
  explicit TdxBarItemActionLink(TdxBarItem* AClient);
  bool IsCaptionLinked();
  bool IsCheckedLinked();
  bool IsEnabledLinked();
  bool IsHelpContextLinked();
  bool IsHintLinked();
  bool IsImageIndexLinked();
  bool IsShortCutLinked();
  bool IsVisibleLinked();
  bool IsOnExecuteLinked();
  void SetCaption(const String& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetImageIndex(Integer Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
  // The action's values as the item last took them: the action pushes a
  // change after storing it, so a property is linked when the item still
  // holds the value the action had before.
  void TakeSnapshot();

 protected:
  void ActionChanged() override;

 private:
  TCustomAction* CustomAction() const;
  TdxBarItem* item_;
  struct TSnapshot {
    String Caption;
    bool Checked = false;
    bool Enabled = true;
    String Hint;
    Integer ImageIndex = -1;
    TShortCut ShortCut = 0;
    bool Visible = true;
  } last_;
};

// The change notices an item gives its controls.
enum TdxBarItemControlChange : Byte {
  iccCaption,
  iccEnabled,
  iccGlyph,
  iccLargeGlyph,
  iccPaintStyle,
  iccWidth,
  iccVisible,
  iccRepaint,
  iccParts,
  iccDrawingConsts,
  iccBeginGroup,
};

class TdxBarItem : public TdxBarComponent {
  VARNEL_CLASS(TdxBarItem, TdxBarComponent)
 public:
  explicit TdxBarItem(TComponent* AOwner);
  ~TdxBarItem() override;
  void BeforeDestruction() override;

  // Published values.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TdxBarItemAlign Align() const { return align_; }
  void SetAlign(TdxBarItemAlign Value);
  virtual String GetCaption() const { return caption_; }
  String Caption() const { return GetCaption(); }
  virtual void SetCaption(const String& Value);
  Integer Category() const { return category_; }
  void SetCategory(Integer Value);
  const String& Description() const { return description_; }
  void SetDescription(const String& Value);
  bool GetEnabled() const override;
  bool Enabled() const { return GetEnabled(); }
  void SetEnabled(bool Value) override;
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext Value) { helpContext_ = Value; }
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value) { hint_ = Value; }
  const String& KeyTip() const { return keyTip_; }
  void SetKeyTip(const String& Value) { keyTip_ = Value; }
  TdxBarItemMergeKind MergeKind() const { return mergeKind_; }
  void SetMergeKind(TdxBarItemMergeKind Value) { mergeKind_ = Value; }
  Integer MergeOrder() const { return mergeOrder_; }
  void SetMergeOrder(Integer Value);
  void SetVisible(TdxBarItemVisible Value) override;
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* Value);
  TBitmap* LargeGlyph() const { return largeGlyph_.get(); }
  void SetLargeGlyph(TBitmap* Value);
  Integer ImageIndex() const { return imageIndex_; }
  virtual void SetImageIndex(Integer Value);
  Integer LargeImageIndex() const { return largeImageIndex_; }
  virtual void SetLargeImageIndex(Integer Value);
  TdxBarPaintStyle PaintStyle() const { return paintStyle_; }
  void SetPaintStyle(TdxBarPaintStyle Value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  bool UnclickAfterDoing() const { return unclickAfterDoing_; }
  void SetUnclickAfterDoing(bool Value) { unclickAfterDoing_ = Value; }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool Value);
  TdxBarGlyphLayout GlyphLayout() const { return glyphLayout_; }
  void SetGlyphLayout(TdxBarGlyphLayout Value);
  virtual Integer GetWidth() const { return width_; }
  virtual void SetWidth(Integer Value);
  TObject* Data = nullptr;
  TNotifyEvent OnClick;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

  // Stored tests: a value that follows the item's action is not stored.
  bool IsCaptionStored() const;
  bool IsEnabledStored() const;
  bool IsHelpContextStored() const;
  bool IsHintStored() const;
  bool IsImageIndexStored() const;
  bool IsShortCutStored() const;
  bool IsVisibleStored() const;
  bool IsOnClickStored() const;

  // Links.
  Integer GetLinkCount() const { return static_cast<Integer>(links_.size()); }
  TdxBarItemLink* GetLinks(Integer AIndex) const;
  TdxBarItemLink* GetCurItemLink() const;
  TdxBarItemLink* ClickItemLink() const { return clickItemLink_; }
  void SetClickItemLink(TdxBarItemLink* Value) { clickItemLink_ = Value; }
  bool HasControls() const;
  void DestroyLinks();
  Integer GetIndex() const;
  void SetIndex(Integer Value);
  bool GetActuallyVisible() const;
  bool GetVisibleForUser() const;
  TdxBarItemVisible LoadedVisible() const { return loadedVisible_; }
  bool GetIsLoading() const { return ComponentState().Contains(csLoading); }
  bool GetIsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool GetIsDestroying() const {
    return ComponentState().Contains(csDestroying);
  }
  String GetHintFromCaption() const;
  bool IsHintFromCaption() const;
  bool CanMergeWith(TdxBarItem* AItem);

  // Operations the kinds override.
  virtual bool CanBePlacedOn(TdxBarItemControlParentKind AParentKind,
                             TdxBar* ABar, String& AErrorText);
  virtual bool CanClicked() const { return true; }
  virtual TClass GetControlClass(bool AIsVertical) const;
  virtual TdxBarItemLinks* GetItemLinks() const { return nullptr; }
  virtual bool HasAccel(TdxBarItemLink* ALink) const;
  virtual bool InternalActuallyVisible() const { return true; }
  virtual bool InternalCanMergeWith(TdxBarItem*) const { return false; }
  virtual void Update();
  virtual void UpdateEx(TdxBarKinds AKinds);
  virtual void Recalculate();
  virtual TCustomImageList* GetCurImages() const;
  virtual Integer GetActionImageIndex() const { return imageIndex_; }
  virtual void SetActionImageIndex(Integer Value) { SetImageIndex(Value); }
  virtual void BarManagerChanged() {}
  virtual bool IsShortCut(TShortCut AShortCut);
  // Runs when the item's action changes or is set.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // The programmatic click (CanClicked, then DirectClick).
  virtual void Click();
  // The user's click: the manager's DoClickItem, then DoClick; exceptions
  // go to Application.HandleException.
  virtual void DirectClick();
  static String GetNewCaption();

  void Assign(TPersistent* Source) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ReadState(TReader* Reader) override;
  void SetName(const String& NewName) override;
  TComponent* GetParentComponent() override;
  bool HasParent() override { return category_ >= 0; }
  void SetParentComponent(TComponent* Value) override;
  bool CanDelete() override;

  TdxBarItemActionLink* ActionLink() const { return actionLink_.get(); }

 protected:
  friend class TdxBarItemLink;
  friend class TdxBarItemActionLink;
  virtual void DoClick();
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual void GlyphChanged();
  virtual void LargeGlyphChanged();
  virtual void PaintStyleChanged() {}
  virtual void ShortCutChanged();
  virtual void VisibleChanged();
  virtual void WidthChanged();
  virtual void AssignTo(TPersistent* Dest) override;
  // Every control of a link that the predicate lets through gets the notice.
  void NotifyControls(TdxBarItemControlChange AChange,
                      TdxBarUserDefine ASkipWhenUserDefined);
  void NotifyControls(TdxBarItemControlChange AChange);
  void DoActionChange(TObject* Sender);
  bool checkDefaults_ = false;

 private:
  void GlyphBitmapChanged(TObject*) { GlyphChanged(); }
  void LargeGlyphBitmapChanged(TObject*) { LargeGlyphChanged(); }
  bool ActionLinked(bool (TdxBarItemActionLink::*ATest)()) const;

  TObjectPtr<TdxBarItemActionLink> actionLink_;
  TdxBarItemAlign align_ = iaLeft;
  String caption_;
  Integer category_ = -1;
  TdxBarItemLink* clickItemLink_ = nullptr;
  String description_;
  TObjectPtr<TBitmap> glyph_;
  THelpContext helpContext_ = 0;
  String hint_;
  Integer imageIndex_ = -1;
  String keyTip_;
  TObjectPtr<TBitmap> largeGlyph_;
  Integer largeImageIndex_ = -1;
  std::vector<TdxBarItemLink*> links_;
  TdxBarItemVisible loadedVisible_ = ivAlways;
  TdxBarItemMergeKind mergeKind_ = mkAdd;
  Integer mergeOrder_ = 0;
  TdxBarPaintStyle paintStyle_ = psStandard;
  TShortCut shortCut_ = 0;
  bool unclickAfterDoing_ = true;
  Integer width_ = 0;
  TdxBarGlyphLayout glyphLayout_ = glTop;
  bool showCaption_ = true;
};

// ---------------------------------------------------------------------------
// Command kinds: buttons, labels and separators (built in dxBarItemKinds.cpp;
// the windowed kinds are in dxBarItemKinds.h)
// ---------------------------------------------------------------------------

enum TdxBarButtonState : Byte { bstChecked, bstDropDown };
using TdxBarButtonStates = TSet<TdxBarButtonState>;

class TdxBarButton : public TdxBarItem {
  VARNEL_CLASS(TdxBarButton, TdxBarItem)
 public:
  explicit TdxBarButton(TComponent* AOwner);
  ~TdxBarButton() override;
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value);
  TdxBarButtonStyle ButtonStyle() const;
  void SetButtonStyle(TdxBarButtonStyle Value);
  bool CloseSubMenuOnClick() const { return closeSubMenuOnClick_; }
  void SetCloseSubMenuOnClick(bool Value) { closeSubMenuOnClick_ = Value; }
  bool Down() const { return down_; }
  virtual void SetDown(bool Value);
  bool IsDownStored() const;
  bool DropDownEnabled() const { return dropDownEnabled_; }
  void SetDropDownEnabled(bool Value);
  TdxBarCustomPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  // Raises "You cannot create recursive menus" when the menu already
  // leads back to this button; the old menu stays then.
  void SetDropDownMenu(TdxBarCustomPopupMenu* Value);
  Integer GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(Integer Value);
  bool Lowered() const { return lowered_; }
  void SetLowered(bool Value);
  TdxBarButtonStates InternalStates() const { return states_; }

  bool CanChangePaintStyle() const { return true; }
  bool HasAccel(TdxBarItemLink* ALink) const override;
  TdxBarItemLinks* GetItemLinks() const override;
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText);
  TCustomdxBarControl* CreateBarControl();
  void Click() override;
  bool IsShortCut(TShortCut AShortCut) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Pops the drop-down menu up at the screen point for the control that
  // asked (its button control).
  virtual void DoDropDown(TdxBarItemControl* AControl, Integer X, Integer Y,
                          bool AByMouse);
  static String GetNewCaption();

 protected:
  void PaintStyleChanged() override;

 private:
  bool IsChecked() const { return states_.Contains(bstChecked); }
  // The manager's check buttons of this button's group, this one included.
  std::vector<TdxBarButton*> GroupMembers() const;

  bool allowAllUp_ = false;
  bool closeSubMenuOnClick_ = true;
  bool down_ = false;
  bool dropDownEnabled_ = true;
  TdxBarCustomPopupMenu* dropDownMenu_ = nullptr;
  Integer groupIndex_ = 0;
  TdxBarButtonStates states_;
  bool lowered_ = false;
};

// A caption (and glyph) shown as static text.
class TdxBarLabel : public TdxBarItem {
  VARNEL_CLASS(TdxBarLabel, TdxBarItem)
 public:
  explicit TdxBarLabel(TComponent* AOwner);
  bool CanClicked() const override { return false; }
};

// ---------------------------------------------------------------------------
// Sub-items: items that open a menu of their own links (built in
// dxBarItems.cpp; the container kinds are in dxBarContainerItems.h)
// ---------------------------------------------------------------------------

class TCustomdxBarSubItem : public TdxBarItem {
  VARNEL_CLASS(TCustomdxBarSubItem, TdxBarItem)
 public:
  explicit TCustomdxBarSubItem(TComponent* AOwner);
  ~TCustomdxBarSubItem() override;
  TdxBarItemLinks* ItemLinks() const { return itemLinks_; }
  void SetItemLinks(TdxBarItemLinks* Value);
  TdxBarItemLinks* GetItemLinks() const override { return itemLinks_; }
  // The width of the side band of its menu; never negative.
  Integer BarSize() const { return barSize_; }
  void SetBarSize(Integer Value) { barSize_ = Value < 0 ? 0 : Value; }
  bool Detachable() const { return detachable_; }
  void SetDetachable(bool Value) { detachable_ = Value; }
  TdxBar* DetachingBar() const { return detachingBar_; }
  // An index outside the manager's bars counts as -1 (none).
  void SetDetachingBar(Integer AIndex);
  Integer GetDetachingBarIndex() const;
  bool IsShortCut(TShortCut AShortCut) override;
  bool CanClicked() const override { return false; }
  void BarManagerChanged() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnDetaching;
  TNotifyEvent OnPopup;
  virtual void DoCloseUp() { OnCloseUp(this); }
  virtual void DoDetaching() { OnDetaching(this); }
  virtual void DoPopup() { OnPopup(this); }

 private:
  std::unique_ptr<IdxBarLinksOwner> linksOwner_;
  TdxBarItemLinks* itemLinks_;
  Integer barSize_ = 0;
  bool detachable_ = false;
  TdxBar* detachingBar_ = nullptr;
};

class TdxBarSubItem : public TCustomdxBarSubItem {
  VARNEL_CLASS(TdxBarSubItem, TCustomdxBarSubItem)
 public:
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
  bool AllowCustomizing() const { return allowCustomizing_; }
  void SetAllowCustomizing(bool Value) { allowCustomizing_ = Value; }
  bool InternalCanMergeWith(TdxBarItem* AItem) const override;
  static String GetNewCaption();

 private:
  bool allowCustomizing_ = true;
};

class TdxBarSeparator : public TdxBarLabel {
  VARNEL_CLASS(TdxBarSeparator, TdxBarLabel)
 public:
  using TdxBarLabel::TdxBarLabel;
  // Only menus take separators; a bar answers the reason in AErrorText.
  bool CanBePlacedOn(TdxBarItemControlParentKind AParentKind, TdxBar* ABar,
                     String& AErrorText) override;
  static String GetNewCaption();
};

// ---------------------------------------------------------------------------
// Item links
// ---------------------------------------------------------------------------

class TdxBarItemLink : public TCollectionItem {
  VARNEL_CLASS(TdxBarItemLink, TCollectionItem)
 public:
  explicit TdxBarItemLink(TCollection* ACollection);
  ~TdxBarItemLink() override;
  void BeforeDestruction() override;

  TdxBarItemLinks* Links() const;
  TdxBarManager* BarManager() const;
  TdxBarItem* Item() const { return item_; }
  void SetItem(TdxBarItem* Value);
  bool BeginGroup() const;
  bool OwnBeginGroup() const { return beginGroup_; }
  void SetBeginGroup(bool Value);
  TdxBarButtonGroupPosition ButtonGroup() const { return buttonGroup_; }
  void SetButtonGroup(TdxBarButtonGroupPosition Value);
  bool MostRecentlyUsed() const { return mostRecentlyUsed_; }
  void SetMostRecentlyUsed(bool Value);
  TdxBarItemPosition Position() const { return position_; }
  void SetPosition(TdxBarItemPosition Value);
  const String& UserCaption() const { return userCaption_; }
  void SetUserCaption(const String& Value);
  TdxBarUserDefines UserDefine() const { return userDefine_; }
  void SetUserDefine(TdxBarUserDefines Value);
  TBitmap* UserGlyph() const { return userGlyph_.get(); }
  void SetUserGlyph(TBitmap* Value);
  TdxBarPaintStyle UserPaintStyle() const { return userPaintStyle_; }
  void SetUserPaintStyle(TdxBarPaintStyle Value);
  Integer UserWidth() const { return userWidth_; }
  void SetUserWidth(Integer Value);
  TdxBarItemViewLevels ViewLevels() const { return viewLevels_; }
  void SetViewLevels(TdxBarItemViewLevels Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  Integer Data = 0;

  // Derived values.
  String Caption() const;
  TBitmap* Glyph() const;
  TdxBarPaintStyle PaintStyle() const;
  Integer Width() const;
  bool CanVisible() const;
  Integer VisibleIndex() const;
  Integer CanVisibleIndex() const;
  Integer AvailableIndex() const;
  Integer RecentIndex() const;
  void SetRecentIndex(Integer Value);
  Integer UseCount() const { return useCount_; }
  void SetUseCount(Integer Value) { useCount_ = Value; }
  TdxBar* MergedBar() const { return mergedBar_; }
  TdxBarItemLink* GetRealItemLink() {
    return realItemLink_ ? realItemLink_ : this;
  }
  TdxBarItemControl* Control() const { return control_; }
  TRect ItemRect;
  // A link listed for a container item points back at the container's own
  // link.
  void SetRealItemLink(TdxBarItemLink* Value) { realItemLink_ = Value; }

  void CreateControl();
  void DestroyControl();
  void BringToTopInRecentList(bool ACountUse);
  void SendToBottomInRecentList();
  void CheckMostRecentlyUsed();
  void Synchronize(TdxBarItemLink* ASource);
  bool IsAccel(Word AKey, TShiftState AShift) const;
  bool HasItem(TdxBarItem* AItem) const;
  void InitiateAction();
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;
  void LoadItemName();
  // Applies what was recorded while loading.
  void ApplyLoadedVisible() { SetVisible(loadedVisible_); }

 private:
  friend class TdxBarItemLinks;
  void ReadItemName(TReader* Reader);
  void WriteItemName(TWriter* Writer);
  void LinkChanged();
  TdxBarItem* item_ = nullptr;
  TdxBarItemControl* control_ = nullptr;
  bool beginGroup_ = false;
  TdxBarButtonGroupPosition buttonGroup_ = bgpNone;
  bool mostRecentlyUsed_ = true;
  TdxBarItemPosition position_ = ipBeginsNewRow;
  String userCaption_;
  TdxBarUserDefines userDefine_;
  TObjectPtr<TBitmap> userGlyph_;
  TdxBarPaintStyle userPaintStyle_ = psStandard;
  Integer userWidth_ = 0;
  TdxBarItemViewLevels viewLevels_{ivlLargeIconWithText, ivlSmallIconWithText,
                                   ivlSmallIcon, ivlControlOnly};
  bool visible_ = true;
  Integer useCount_ = 0;
  Integer prevRecentIndex_ = -1;
  String loadedItemName_;
  Integer loadedRecentIndex_ = -1;
  Integer loadedUseCount_ = 0;
  bool loadedVisible_ = true;
  TdxBar* mergedBar_ = nullptr;
  TdxBarItemLink* realItemLink_ = nullptr;
};

class TdxBarItemLinks : public TCollection {
  VARNEL_CLASS(TdxBarItemLinks, TCollection)
 public:
  TdxBarItemLinks(TdxBarManager* ABarManager, IdxBarLinksOwner* AOwner);
  ~TdxBarItemLinks() override;

  TdxBarManager* BarManager() const { return barManager_; }
  void SetBarManager(TdxBarManager* Value) { barManager_ = Value; }
  IdxBarLinksOwner* Owner() const { return owner_; }
  TCustomdxBarControl* BarControl() const { return barControl_; }
  TPersistent* GetOwner() override;

  TdxBarItemLink* Add() {
    return static_cast<TdxBarItemLink*>(TCollection::Add());
  }
  TdxBarItemLink* Add(TdxBarItem* AItem);
  TdxBarItemLink* Insert(Integer Index) {
    return static_cast<TdxBarItemLink*>(TCollection::Insert(Index));
  }
  TdxBarItemLink* Items(Integer Index) const {
    return Item<TdxBarItemLink>(Index);
  }
  TdxBarItem* AddItem(TClass AItemClass);
  TdxBarItem* AddButton();
  TdxBarItem* AddSubItem();
  Integer IndexOf(TdxBarItemLink* ALink) const;
  void Move(Integer AFrom, Integer ATo);
  bool HasItem(TdxBarItem* AItem) const;
  Integer GetIndexByItemName(const String& AName) const;
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText);
  void CreateBarControl();
  void DestroyBarControl();
  void FreeForeignItems(TdxBarManager* AManager);
  void LoadItemNames();
  void InitiateActions();
  virtual bool IsScrollable() const;

  // The three derived lists and the recency order.
  Integer AvailableItemCount() const { return Size(available_); }
  Integer CanVisibleItemCount() const { return Size(canVisible_); }
  Integer VisibleItemCount() const { return Size(visible_); }
  TdxBarItemLink* AvailableItems(Integer I) const { return At(available_, I); }
  TdxBarItemLink* CanVisibleItems(Integer I) const {
    return At(canVisible_, I);
  }
  TdxBarItemLink* VisibleItems(Integer I) const { return At(visible_, I); }
  TdxBarItemLink* RecentItems(Integer I) const { return At(recent_, I); }
  Integer RecentItemCount() const { return recentItemCount_; }
  void SetRecentItemCount(Integer Value);
  void RestoreRecentItemCount() { SetRecentItemCount(prevRecentItemCount_); }
  bool UseRecentItems() const { return useRecentItems_; }
  void SetUseRecentItems(bool Value);
  bool CanUseRecentItems() const;
  Integer GetMostRecentItemCount() const;
  void RefreshVisibilityLists();
  void CheckVisibleIntegrity();
  // Links of the window that opened this one; null for a bar.
  TdxBarItemLinks* ParentLinks = nullptr;

  bool IsShortCut(TShortCut AShortCut);
  TdxBarItemLink* FindItemWithAccel(Word AKey, TShiftState AShift,
                                    TdxBarItemLink* ALink);
  TdxBarItemLink* First() const;
  TdxBarItemLink* Last() const;
  TdxBarItemLink* Next(TdxBarItemLink* ALink, bool AAny = false) const;
  TdxBarItemLink* Prev(TdxBarItemLink* ALink, bool AAny = false) const;
  void Merge(TdxBarItemLinks* ASource, TdxBar* AMergedBar);
  void Unmerge(TdxBar* ABar);
  // Applies what was recorded while loading.
  void Loaded(bool AApplyVisibility);
  void Assign(TPersistent* Source) override;
  void BeginUpdate() override;
  void EndUpdate() override;
  bool IsUpdateLocked() const { return UpdateCount() > 0; }
  bool Assigning() const { return assigning_; }
  TNotifyEvent OnChange;

 protected:
  friend class TdxBarItemLink;
  void Update(TCollectionItem* AItem) override;
  void Notify(TCollectionItem* AItem, TCollectionNotification AAction) override;
  virtual TdxBarItemLink* DoFindItemWithAccel(Word AKey, TShiftState AShift,
                                              TdxBarItemLink* ALink);
  Integer GetRealVisibleItemCount() const;

 private:
  static Integer Size(const std::vector<TdxBarItemLink*>& L) {
    return static_cast<Integer>(L.size());
  }
  static TdxBarItemLink* At(const std::vector<TdxBarItemLink*>& L, Integer I) {
    return I >= 0 && I < Size(L) ? L[static_cast<size_t>(I)] : nullptr;
  }
  static Integer Find(const std::vector<TdxBarItemLink*>& L,
                      const TdxBarItemLink* ALink);
  bool Selectable(TdxBarItemLink* ALink) const;
  TdxBarManager* barManager_;
  IdxBarLinksOwner* owner_;
  TCustomdxBarControl* barControl_ = nullptr;
  std::vector<TdxBarItemLink*> available_;
  std::vector<TdxBarItemLink*> canVisible_;
  std::vector<TdxBarItemLink*> visible_;
  std::vector<TdxBarItemLink*> recent_;
  Integer recentItemCount_ = -1;
  Integer prevRecentItemCount_ = -1;
  bool useRecentItems_ = true;
  bool assigning_ = false;
};

// The links of a bar: the accelerator search walks what the window shows.
class TdxBarControlItemLinks : public TdxBarItemLinks {
  VARNEL_CLASS(TdxBarControlItemLinks, TdxBarItemLinks)
 public:
  using TdxBarItemLinks::TdxBarItemLinks;

 protected:
  TdxBarItemLink* DoFindItemWithAccel(Word AKey, TShiftState AShift,
                                      TdxBarItemLink* ALink) override;
};

// The links of sub-menus and popup menus.
class TdxBarSubMenuControlItemLinks : public TdxBarItemLinks {
  VARNEL_CLASS(TdxBarSubMenuControlItemLinks, TdxBarItemLinks)
 public:
  using TdxBarItemLinks::TdxBarItemLinks;
  bool IsScrollable() const override { return true; }

 protected:
  TdxBarItemLink* DoFindItemWithAccel(Word AKey, TShiftState AShift,
                                      TdxBarItemLink* ALink) override;
};

// ---------------------------------------------------------------------------
// Bars
// ---------------------------------------------------------------------------

// What a bar window's hint asks of the object under the mouse that keeps
// its own hint (an item control, a caption button).
class IdxBarHintKeeper {
 public:
  virtual ~IdxBarHintKeeper() = default;
  // The hint text and shortcut text; false when there is no hint now.
  virtual bool DoHint(bool& ANeedDeactivate, String& AHint,
                      String& AShortCut) = 0;
  // Where the hint of AHeight goes for the cursor (screen coordinates).
  virtual TPoint GetHintPosition(TPoint ACursorPos, Integer AHeight) = 0;
};

// The states of a button in a floating bar's caption.
constexpr Integer dxBarCaptionButtonNormal = 0;
constexpr Integer dxBarCaptionButtonDisabled = 1;
constexpr Integer dxBarCaptionButtonHot = 2;
constexpr Integer dxBarCaptionButtonPressed = 4;

class TdxBarCaptionButtons;

// A button in the caption of a floating bar, left of the close button.
class TdxBarCaptionButton : public TCollectionItem, public IdxBarHintKeeper {
  VARNEL_CLASS(TdxBarCaptionButton, TCollectionItem)
 public:
  explicit TdxBarCaptionButton(TCollection* ACollection);
  ~TdxBarCaptionButton() override;
  TdxBarCaptionButtons* Buttons() const;

  bool Enabled() const { return state_ != dxBarCaptionButtonDisabled; }
  void SetEnabled(bool Value);
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value) { hint_ = Value; }
  String KeyTip;
  TNotifyEvent OnClick;
  // Its rectangle in the bar window (window coordinates), set by the
  // window; empty while the bar does not float.
  TRect Bounds() const { return bounds_; }
  void SetBounds(const TRect& Value) { bounds_ = Value; }
  Integer State() const { return state_; }
  // A hot button shows its hint through the bar window; any other state
  // hides it.
  void SetState(Integer Value);
  // Keyboard navigation has selected the button (key tips are not in this
  // program yet, so nothing selects it).
  bool IsSelectedByNavigation() const { return false; }
  void Click();
  void Assign(TPersistent* Source) override;

  // IdxBarHintKeeper
  bool DoHint(bool& ANeedDeactivate, String& AHint, String& AShortCut) override;
  TPoint GetHintPosition(TPoint ACursorPos, Integer AHeight) override;

 private:
  TObjectPtr<TBitmap> glyph_;
  String hint_;
  TRect bounds_;
  Integer state_ = dxBarCaptionButtonNormal;
};

// The caption buttons of a bar; each change reaches the bar's window.
class TdxBarCaptionButtons : public TCollection {
  VARNEL_CLASS(TdxBarCaptionButtons, TCollection)
 public:
  explicit TdxBarCaptionButtons(TdxBar* ABar);
  TdxBar* Bar() const { return bar_; }
  TdxBarCaptionButton* Add() {
    return static_cast<TdxBarCaptionButton*>(TCollection::Add());
  }
  TdxBarCaptionButton* Items(Integer Index) const {
    return Item<TdxBarCaptionButton>(Index);
  }
  TPersistent* GetOwner() override;
  // The enabled button under P (window coordinates) or selected by the
  // keyboard turns pressed (APressed) or hot; the other enabled ones
  // normal.
  void UpdateButtonStates(const TPoint& P, bool APressed);
  // The first enabled button whose rectangle holds P; -1 when none.
  Integer GetButtonIndex(const TPoint& P) const;
  // The union of the buttons' non-empty rectangles.
  TRect GetRect() const;

 protected:
  void Update(TCollectionItem* AItem) override;

 private:
  TdxBar* bar_;
};

class TdxBar : public TComponent, public IdxBarLinksOwner {
  VARNEL_CLASS(TdxBar, TComponent)
 public:
  explicit TdxBar(TComponent* AOwner);
  ~TdxBar() override;
  void BeforeDestruction() override;

  TdxBarManager* BarManager() const { return barManager_; }
  TdxBars* Collection() const { return collection_; }
  Integer Index() const;
  TdxBarItemLinks* ItemLinks() const { return itemLinks_.get(); }
  TCustomdxBarControl* Control() const;
  TdxBarCaptionButtons* CaptionButtons() const { return captionButtons_.get(); }
  void SetCaptionButtons(TdxBarCaptionButtons* Value) {
    captionButtons_->Assign(Value);
  }

  bool AllowClose = true;
  bool AllowCustomizing = true;
  bool AllowQuickCustomizing = true;
  bool AllowReset = true;
  bool Hidden = false;
  String KeyTip;
  String OldName;
  bool RotateWhenVertical = true;
  bool ShowMark = true;
  bool SizeGrip = true;
  bool UseRestSpace = false;
  TdxBarBorderStyle BorderStyle = bbsSingle;
  TColor Color = clDefault;
  TdxBarDockingStyles NotDocking;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  // The opacity of the floating window.
  Byte AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(Byte Value);
  bool IsMainMenu() const { return isMainMenu_; }
  void SetIsMainMenu(bool Value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool Value);
  bool WholeRow() const { return wholeRow_; }
  void SetWholeRow(bool Value) { wholeRow_ = Value; }
  bool OneOnRow() const { return oneOnRow_; }
  void SetOneOnRow(bool Value) { oneOnRow_ = Value; }
  bool UseRecentItems() const;
  void SetUseRecentItems(bool Value);
  TdxBarDockingStyle DockingStyle() const;
  void SetDockingStyle(TdxBarDockingStyle Value);
  TdxDockControl* DockControl() const { return dockControl_; }
  void SetDockControl(TdxDockControl* Value);
  // Takes the place a window already moved to: the dock control when it is
  // one of its own, else the style. A window already standing there is
  // left alone.
  void ChangeDockingStyle(TdxBarDockingStyle AStyle, TdxDockControl* ADock);
  TdxBarDockingStyle DockedDockingStyle() const { return dockedDockingStyle_; }
  void SetDockedDockingStyle(TdxBarDockingStyle Value) {
    dockedDockingStyle_ = Value;
  }
  Integer DockedLeft() const { return dockedLeft_; }
  void SetDockedLeft(Integer Value);
  Integer DockedTop() const { return dockedTop_; }
  void SetDockedTop(Integer Value);
  Integer FloatLeft() const { return floatLeft_; }
  void SetFloatLeft(Integer Value);
  Integer FloatTop() const { return floatTop_; }
  void SetFloatTop(Integer Value);
  Integer FloatClientWidth() const { return floatClientWidth_; }
  void SetFloatClientWidth(Integer Value);
  Integer FloatClientHeight() const { return floatClientHeight_; }
  void SetFloatClientHeight(Integer Value);
  Integer Row() const { return row_; }
  void SetRow(Integer Value);
  bool Visible() const;
  void SetVisible(bool Value);
  bool IsDockingStyleStored() const { return !dockControl_; }

  // The dock control in force: the bar's own, else the manager's internal
  // one of its docking style.
  TdxDockControl* RealDockControl() const;
  TdxDockRow* DockRow() const { return dockRow_; }
  void SetDockRow(TdxDockRow* Value) { dockRow_ = Value; }
  bool IsFloat() const;
  bool IsVertical() const;
  bool IsStatusBar() const;
  Integer GetDockedPosition() const;
  bool CanClose() const;
  bool CanMoving() const;
  bool CanReset() const;
  bool Predefined() const { return predefined_; }
  bool IsShortCut(TShortCut AShortCut);
  void Move(Integer X, Integer Y);
  void Move(TdxDockControl* ADockControl, Integer ARow, Integer APosition);
  void Move(TdxBarDockingStyle AStyle, Integer ARow, Integer APosition);
  void Move(TdxBar* ABar, bool AAfter);
  void Merge(TdxBar* ABar);
  void Unmerge(TdxBar* ABar);
  TdxBar* MergedTo() const { return mergedTo_; }
  Integer MergedBarCount() const {
    return static_cast<Integer>(mergedBars_.size());
  }
  void Reset();
  bool ChangedMark = false;
  bool HiddenBecauseEmpty = false;

  virtual TClass GetControlClass() const;
  // A caption button changed (null: several): the window lays them out
  // and repaints its caption.
  virtual void CaptionButtonsNotification(TdxBarCaptionButton* AButton);
  void Assign(TPersistent* Source) override;
  void SetName(const String& NewName) override;
  void ReadState(TReader* Reader) override;
  TComponent* GetParentComponent() override;
  bool HasParent() override { return true; }
  void SetParentComponent(TComponent* Value) override;
  void Loaded() override;

  // IdxBarLinksOwner
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText) override;
  TCustomdxBarControl* CreateBarControl() override;
  TComponent* GetOwnerComponent() override { return this; }
  bool IsBar() const override { return true; }

 protected:
  friend class TdxBars;
  friend class TdxBarManager;
  void Changed();
  void ShowControl();
  void HideControl();
  void UpdateControlPosition();
  // Applies what the manager's loading recorded.
  void ApplyLoadedState();
  void SetCollection(TdxBars* Value);

 private:
  void InternalSetDockingStyle(TdxBarDockingStyle Value);
  void ChangePlace(TdxBarDockingStyle AStyle, TdxDockControl* ADock,
                   const std::function<void()>& AApply);
  void ResetRecentItemCounts();
  TdxBarManager* barManager_ = nullptr;
  TdxBars* collection_ = nullptr;
  TObjectPtr<TdxBarItemLinks> itemLinks_;
  TObjectPtr<TdxBarCaptionButtons> captionButtons_;
  String caption_;
  Byte alphaBlendValue_ = 255;
  bool isMainMenu_ = false;
  bool multiLine_ = false;
  bool wholeRow_ = false;
  bool oneOnRow_ = false;
  TdxBarDockingStyle dockingStyle_ = dsNone;
  TdxBarDockingStyle dockedDockingStyle_ = dsTop;
  TdxDockControl* dockControl_ = nullptr;
  Integer dockedLeft_ = 0;
  Integer dockedTop_ = 0;
  Integer floatLeft_ = 0;
  Integer floatTop_ = 0;
  Integer floatClientWidth_ = 0;
  Integer floatClientHeight_ = 0;
  Integer row_ = 0;
  bool visible_ = false;
  TdxDockRow* dockRow_ = nullptr;
  bool predefined_ = false;
  bool changingStyle_ = false;
  // Recorded while the manager loads.
  bool loadedVisible_ = false;
  TdxBarDockingStyle loadedDockingStyle_ = dsNone;
  TdxDockControl* loadedDockControl_ = nullptr;
  bool loadedDockingStyleSet_ = false;
  TdxBar* mergedTo_ = nullptr;
  std::vector<TdxBar*> mergedBars_;
  bool visibleBeforeMerging_ = false;
};

// The manager's bars; frees them with itself.
class TdxBars : public TPersistent {
  VARNEL_CLASS(TdxBars, TPersistent)
 public:
  explicit TdxBars(TdxBarManager* ABarManager);
  ~TdxBars() override;
  TdxBarManager* BarManager() const { return barManager_; }
  TPersistent* GetOwner() override;
  Integer Count() const { return static_cast<Integer>(bars_.size()); }
  TdxBar* Items(Integer Index) const;
  TdxBar* operator[](Integer Index) const { return Items(Index); }
  TdxBar* Add();
  TdxBar* Insert(Integer Index);
  Integer IndexOf(const TdxBar* ABar) const;
  void Move(Integer ACurIndex, Integer ANewIndex);
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  TdxDockControl* GetDockControl(TdxBarDockingStyle AStyle) const;
  void CreateDockControls();
  void ForgetDockControl(TdxDockControl* ADockControl);
  void Repaint();
  Integer DockingZoneSize = 23;

  // --- The user's move of a toolbar window ---
  // Runs the drag of the window by its grip or caption: a loop of its own
  // with the mouse held by the manager's capture window, until the button
  // is released, Escape is pressed or the capture is lost.
  void Moving(TdxBarControl* AControl);
  bool IsMoving() const { return moving_; }
  // The second attempt that the wait before docking makes: it docks.
  bool DockingPass() const { return dockingPass_; }
  // A floating bar over a dock docks only once the mouse rested for the
  // manager's WaitForDockingTime; each move restarts the wait.
  void StartWaitForDocking();
  void StopWaitForDocking();
  HWND CaptureWindow() const;

 private:
  friend class TdxBar;
  void AddBar(TdxBar* ABar);
  void RemoveBar(TdxBar* ABar);
  static void CALLBACK WaitForDockingTimerProc(HWND, UINT, UINT_PTR, DWORD);
  TdxBarManager* barManager_;
  std::vector<TdxBar*> bars_;
  std::array<TdxDockControl*, 5> dockControls_{};
  Integer updateCount_ = 0;
  bool moving_ = false;
  bool dockingPass_ = false;
  TPoint lastMovePoint_;
  UINT_PTR waitForDockingTimer_ = 0;
  TObjectPtr<TcxMessageWindow> captureWindow_;
};

// ---------------------------------------------------------------------------
// Bar manager
// ---------------------------------------------------------------------------

// The manager's seams towards layout storage, customizing, the design
// controller, MDI merging and keyboard navigation. The defaults are what a
// program does that stores no layout, is not customizing and has no MDI
// children; the later units replace them.
struct TdxBarManagerSeams {
  // Layout persistence: fills the start-up snapshot / loads a stored layout.
  void (*SaveState)(TdxBarManager*) = nullptr;
  void (*LoadFromRegistry)(TdxBarManager*, const String& APath) = nullptr;
  void (*LoadFromIniFile)(TdxBarManager*, const String& AFileName) = nullptr;
  // The name dialog of a new toolbar; false when cancelled.
  bool (*EditToolbarName)(TdxBarManager*, String& ACaption) = nullptr;
  // Shows or closes the customizing form.
  void (*Customizing)(TdxBarManager*, bool AShow) = nullptr;
  // The design controller's notice of a designed form that changed.
  void (*DesignerModified)(TdxBarManager*) = nullptr;
  // Keyboard navigation: the key is wanted by the navigation controller.
  bool (*NavigationNeedsKey)(Word AKey) = nullptr;
  void (*NavigationHandleKey)(Word AKey) = nullptr;
  // A key goes down before shortcuts are looked at (Alt alone: AAltAlone):
  // key tips start or stop waiting.
  void (*NavigationKeyDown)(TdxBarManager*, Word AKey,
                            bool AAltAlone) = nullptr;
  // Alt or F10 released alone: the main menu enters menu mode.
  void (*SelectMainMenu)(TdxBarManager*) = nullptr;
  // A bar window, dock or item control goes: its accessibility helper
  // learns it.
  void (*AccessibilityOwnerGone)(TObject* AOwner) = nullptr;
  // The owner window's messages (floating toolbars, hints, MDI).
  void (*OwnerWndProc)(TdxBarManager*, TMessage& AMessage) = nullptr;
  // The messages OwnerWndProc acts on; without it every message is routed.
  // The bars hear every message of the program's windows, and finding the
  // manager of a window is not free.
  bool (*OwnerWantsMessage)(UINT AMsg) = nullptr;
  // MDI merging: the MDI frame's activation and moves (the main form's
  // window), and the creation, activation and end of a window of its MDI
  // client area, heard by the main form's manager.
  void (*MDIFrameMessage)(TMessage& AMessage) = nullptr;
  void (*MainFormClientWndProc)(TdxBarManager*, HWND AWnd,
                                TMessage& AMessage) = nullptr;
};
TdxBarManagerSeams& dxBarManagerSeams();

class TdxBarManager : public TComponent {
  VARNEL_CLASS(TdxBarManager, TComponent)
 public:
  explicit TdxBarManager(TComponent* AOwner);
  ~TdxBarManager() override;
  void BeforeDestruction() override;

  // --- Published values ---
  bool AllowCallFromAnotherForm = false;
  bool AllowReset = true;
  bool AlwaysMerge = false;
  bool AlwaysSaveText = false;
  bool AutoAlignBars = false;
  bool AutoDockColor = true;
  bool AutoHideEmptyBars() const { return autoHideEmptyBars_; }
  void SetAutoHideEmptyBars(bool Value);
  TdxBarBackgrounds* Backgrounds() const { return backgrounds_.get(); }
  Integer ButtonArrowWidth() const { return buttonArrowWidth_; }
  void SetButtonArrowWidth(Integer Value);
  bool CanCustomize = true;
  TdxBarManagerCategories* Categories() const { return categories_.get(); }
  TColor DockColor() const { return dockColor_; }
  void SetDockColor(TColor Value);
  bool IsDockColorStored() const { return !AutoDockColor; }
  bool FlatCloseButton = false;
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value);
  bool IsFontStored() const { return !useSystemFont_; }
  THelpContext HelpContext = 0;
  bool HideFloatingBarsWhenInactive = true;
  TdxBarImageOptions* ImageOptions() const { return imageOptions_.get(); }
  String IniFileName;
  Integer LargeButtonArrowWidth() const { return largeButtonArrowWidth_; }
  void SetLargeButtonArrowWidth(Integer Value);
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  TdxBarMenuAnimations MenuAnimations = maNone;
  bool MenusShowRecentItemsFirst = true;
  Byte MostRecentItemsPercents() const { return mostRecentItemsPercents_; }
  void SetMostRecentItemsPercents(Integer Value);
  TdxBarDockingStyles NotDocking() const { return notDocking_; }
  void SetNotDocking(TdxBarDockingStyles Value);
  TdxBarPopupMenuLinks* PopupMenuLinks() const { return popupMenuLinks_.get(); }
  const String& RegistryPath() const { return registryPath_; }
  void SetRegistryPath(const String& Value);
  bool Scaled = true;
  bool ShowCloseButton = false;
  bool ShowFullMenusAfterDelay = true;
  bool ShowHelpButton = false;
  bool ShowHint = true;
  bool ShowHintForDisabledItems = true;
  bool ShowShortCutInHint = false;
  bool StoreInIniFile = false;
  bool StoreInRegistry = false;
  TdxBarManagerStyle Style() const { return style_; }
  void SetStyle(TdxBarManagerStyle Value);
  bool SunkenBorder = false;
  bool UseF10ForMenu = true;
  bool UseFullReset = false;
  bool UseSystemFont() const { return useSystemFont_; }
  void SetUseSystemFont(bool Value);
  Integer WaitForDockingTime() const { return waitForDockingTime_; }
  void SetWaitForDockingTime(Integer Value);
  // Forwarders to ImageOptions kept for old streams.
  TCustomImageList* Images() const { return imageOptions_->Images(); }
  void SetImages(TCustomImageList* V) { imageOptions_->SetImages(V); }
  TCustomImageList* LargeImages() const { return imageOptions_->LargeImages(); }
  void SetLargeImages(TCustomImageList* V) { imageOptions_->SetLargeImages(V); }
  bool LargeIcons() const { return imageOptions_->LargeIcons(); }
  void SetLargeIcons(bool V) { imageOptions_->SetLargeIcons(V); }

  TdxBarEvent OnBarAdd, OnBarAfterReset, OnBarBeforeReset, OnBarClose,
      OnBarDelete, OnBarDockingStyleChange;
  TdxBarVisibleChangeEvent OnBarVisibleChange;
  TdxBarItemLinkEvent OnItemLinkAdd, OnItemLinkChange, OnItemLinkDelete;
  TdxBarMergeItemLinkEvent OnMergeItemLink;
  TNotifyEvent OnCloseButtonClick, OnHelpButtonClick, OnHideCustomizingForm,
      OnShowCustomizingForm;
  TdxBarCanDockingEvent OnDocking;
  TdxBarShowPopupEvent OnShowCustomizingPopup, OnShowToolbarsPopup;
  TdxBarClickItemEvent OnClickItem;

  // --- Structure ---
  TdxBars* Bars() const { return bars_.get(); }
  Integer ItemCount() const { return items_.Count(); }
  TdxBarItem* Items(Integer Index) const;
  TdxBarComponentList* ItemList() { return &items_; }
  Integer GroupCount() const { return groups_.Count(); }
  TdxBarGroup* Groups(Integer Index) const;
  TdxBarComponentList* GroupList() { return &groups_; }
  Integer DockControlCount() const {
    return static_cast<Integer>(dockControls_.size());
  }
  TdxDockControl* DockControls(Integer Index) const;
  TdxDockControl* GetInternalDockControl(TdxBarDockingStyle AStyle) const;
  bool IsInternalDockControl(TdxDockControl* ADockControl) const;
  void AddDockControl(TdxDockControl* ADockControl);
  void RemoveDockControl(TdxDockControl* ADockControl);
  TdxBar* MainMenuBar() const { return mainMenuBar_; }
  TCustomdxBarControl* MainMenuControl() const;
  TWinControl* ParentedOwner() const;
  TCustomForm* MainForm() const;
  TCustomForm* ParentForm() const;
  Integer GetTabOrder() const;
  void SetTabOrder(Integer Value);

  // --- Lookup ---
  TdxBar* BarByCaption(const String& ACaption) const;
  TdxBar* BarByComponentName(const String& AName) const;
  TdxBar* BarByOldName(const String& AName) const;
  TdxBarItem* GetItemByName(const String& AName) const;
  Integer GetAllItemsByCategory(Integer ACategory, TList* AList) const;
  Integer GetItemsByCategory(Integer ACategory, TList* AList) const;
  Integer GetCountByCategory(Integer ACategory) const;
  TdxBarItem* GetItemByCategory(Integer ACategory, Integer AIndex) const;
  Integer GetCategoryRealIndex(Integer AVisibleIndex) const;
  bool CategoryVisible(Integer AIndex) const;
  void SetCategoryVisible(Integer AIndex, bool Value);
  TdxBarItemVisible CategoryItemsVisible(Integer AIndex) const;
  void SetCategoryItemsVisible(Integer AIndex, TdxBarItemVisible Value);
  String GetUniqueItemName(TClass AClass) const;
  String GetUniqueToolbarCaption(const String& ABase) const;
  String GetUniqueToolbarName(const String& ABase) const;

  // --- Editing the set ---
  TdxBarItem* AddItem(TClass AClass);
  TdxBarItem* AddButton();
  TdxBarItem* AddSubItem();
  TdxBar* AddToolBar(bool AIsMainMenu = false, bool AEdit = false);
  void DeleteToolBar(TdxBar* ABar, bool AConfirm);
  void ExchangeItems(Integer AIndex1, Integer AIndex2);
  void MoveItem(Integer ACurIndex, Integer ANewIndex);
  TdxBarGroup* CreateGroup();
  void AddGroup(TdxBarGroup* AGroup);
  void AddItemToList(TdxBarItem* AItem);
  void RemoveItemFromList(TdxBarItem* AItem);
  void DestroyItems();

  // --- Batching and notification ---
  void BeginUpdate();
  void EndUpdate(bool ARecalc = true);
  bool IsUpdateLocked() const { return updateLock_ > 0; }
  bool LockUpdate() const { return lockUpdate_; }
  void SetLockUpdate(bool Value);
  void DesignerModified();
  void LockDesignerModified(bool ALock, bool ANotify = true);
  bool Modified() const { return modified_; }
  void SetPendingSubMenuControl(TCustomdxBarControl* AControl) {
    pendingSubMenuControl_ = AControl;
  }

  // --- Customizing and usage ---
  void Customizing(bool AValue);
  bool IsCustomizing() const;
  bool IsUncustomizable() const;
  bool CanAddComponents() const;
  bool CanReset() const { return readCount_ > 0 && AllowReset; }
  void HideAll();
  Integer MostRecentlyUsedUseCount() const { return mostRecentlyUsedUseCount_; }
  void CalcMostRecentlyUsedUseCount();
  bool CanShowRecentItems() const { return GetPaintStyle() != bmsStandard; }
  bool ShowRecentItemsFirst() const {
    return CanShowRecentItems() && MenusShowRecentItemsFirst;
  }
  bool IsLoading() const;
  bool IsDestroying() const;
  bool IsDesigning() const;
  bool ItemsLoading() const { return itemsLoading_; }
  bool BarsLoading() const { return barsLoading_; }

  // --- Painting ---
  TdxBarManagerStyle GetPaintStyle() const;
  TdxBarRealPaintStyle GetRealPaintStyle() const;
  virtual TdxBarPainterClass GetPainterClass() const;
  TdxBarPainter* Painter() const { return painter_.get(); }
  void InitPainter();
  void InternalStyleChanged();
  bool VisualStylesAvailable() const { return visualStylesAvailable_; }
  bool GetFlat() const { return style_ == bmsFlat; }
  TColor GetDockColor() const;
  TFont* EditFont() const { return editFont_.get(); }
  TFont* CaptionFont() const { return captionFont_.get(); }

  // --- Input ---
  // A shortcut typed anywhere in the manager's reach: true when an item
  // took it.
  bool HandleShortCut(TShortCut AShortCut);
  TdxBarItemLink* GetItemLinkWithAccel(Word AKey, TShiftState AShift);
  TdxBarManager* GetParentBarManager() const;

  // --- Event raisers ---
  virtual void DoClickItem(TdxBarItem* AItem);
  virtual bool DoDocking(TdxBar* ABar, TdxBarDockingStyle AStyle,
                         TdxDockControl* ADockControl);
  void DoItemLinkChange(TdxBarItemLink* ALink);
  void DoItemLinkAdd(TdxBarItemLink* ALink);
  void DoItemLinkDelete(TdxBarItemLink* ALink);
  void DoBarDockingStyleChanged(TdxBar* ABar);
  void DoBarVisibleChange(TdxBar* ABar);
  void DoBarAdd(TdxBar* ABar);
  void DoBarClose(TdxBar* ABar);
  void DoBarDelete(TdxBar* ABar);
  void DoMergeItemLink(TdxBarItemLinks* ADst, TdxBarItemLinks* ASrc,
                       TdxBarItemLink* ASrcLink, TdxBarItemMergeKind& AKind,
                       Integer& AIndex);

  // Bars waiting for their dock control's window.
  void AddBarToRestoringList(TdxBar* ABar);
  void RemoveBarFromRestoringList(TdxBar* ABar);
  Integer GetBarIndexInRestoringList(TdxBar* ABar) const;
  void ShowBarsFromRestoringList(TdxDockControl* ADockControl);

  // --- Component tree and streams ---
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  TComponent* GetChildOwner() override;
  TComponent* GetChildParent() override { return this; }
  void SetChildOrder(TComponent* Child, Integer Order) override;
  void ReadState(TReader* Reader) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefineProperties(TFiler* Filer) override;
  // The four heights read from "DockControlHeights" (left, right widths,
  // top, bottom heights).
  const std::array<Integer, 4>& LoadedDockControlHeights() const {
    return dockControlHeights_;
  }

  TdxEventHandlerCollection* FontChangedHandlers() { return &fontHandlers_; }

 private:
  void DoLockUpdate(bool ALock, bool ARecalc);
  void AssignFont();
  void FontChanged(TObject* Sender);
  void LFChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged);
  void ImageOptionsChanged(TObject* Sender);
  void ReadBars(TReader* Reader);
  void ReadDockControlHeights(TReader* Reader);
  void WriteDockControlHeights(TWriter* Writer);
  void ReadNothing(TReader*) {}

  bool creationComplete_ = false;
  bool autoHideEmptyBars_ = false;
  Integer buttonArrowWidth_ = 11;
  Integer largeButtonArrowWidth_ = 13;
  TColor dockColor_ = clBtnFace;
  Byte mostRecentItemsPercents_ = 95;
  Integer mostRecentlyUsedUseCount_ = 20;
  TdxBarDockingStyles notDocking_;
  String registryPath_;
  TdxBarManagerStyle style_ = bmsEnhanced;
  bool useSystemFont_ = false;
  Integer waitForDockingTime_ = 21;
  bool itemsLoading_ = false;
  bool barsLoading_ = false;
  bool customizing_ = false;
  bool internalFontChange_ = false;
  bool lockUpdate_ = false;
  Integer updateLock_ = 0;
  Integer designerModifiedLock_ = 0;
  bool designerModifiedPending_ = false;
  bool modified_ = false;
  Integer readCount_ = 0;
  bool visualStylesAvailable_ = false;
  TdxBar* mainMenuBar_ = nullptr;
  TCustomdxBarControl* pendingSubMenuControl_ = nullptr;
  std::array<Integer, 4> dockControlHeights_{};
  std::vector<TdxDockControl*> dockControls_;
  std::vector<TdxBar*> restoringList_;
  TdxBarComponentList items_;
  TdxBarComponentList groups_;
  TdxEventHandlerCollection fontHandlers_;
  TObjectPtr<TdxBarBackgrounds> backgrounds_;
  TObjectPtr<TcxLookAndFeel> lookAndFeel_;
  TObjectPtr<TdxBarManagerCategories> categories_;
  TObjectPtr<TdxBarPopupMenuLinks> popupMenuLinks_;
  TObjectPtr<TFont> font_;
  TObjectPtr<TFont> editFont_;
  TObjectPtr<TFont> captionFont_;
  TObjectPtr<TdxBarImageOptions> imageOptions_;
  TObjectPtr<TdxBarPainter> painter_;
  // A new theme may bring or take the themed painter and its metrics.
  TObjectPtr<TdxThemeChangedNotificator> themeNotificator_;
  TObjectPtr<TdxBars> bars_;
  friend class TdxBar;
};

class TdxBarManagerList : public TdxObjectList {
  VARNEL_CLASS(TdxBarManagerList, TdxObjectList)
 public:
  ~TdxBarManagerList() override;
  TdxBarManager* GetBarManager(Integer AIndex) const {
    return static_cast<TdxBarManager*>(GetItem(AIndex));
  }
  TdxBarManager* GetCustomizingBarManager() const;
  TdxBarManager* NextActive(TdxBarManager* AManager, bool AForward) const;
};

// Thread hooks (installed while some manager exists).
void dxBarRegisterManager(TdxBarManager* AManager);
void dxBarUnregisterManager(TdxBarManager* AManager);
bool dxBarHooksInstalled();
bool IsApplicationActive();
TdxBarMouseWheelEventReceiver BarGetMouseWheelReceiver();
// The manager that a key typed now belongs to (null when none).
TdxBarManager* dxBarFindManagerForKey(bool AIsMenuKey);
// The keyboard hook's own work for one key (also called by in-bar editors
// in query mode): true when the key was swallowed.
bool dxBarProcessKey(Word AKey, LPARAM AKeyData);
// An edit of a bar passes its own Alt and F10 to the keyboard handling;
// answers whether the key was taken (the edit then drops it).
bool dxBarCallKeyboardHookFromEdit(Word AKey, LPARAM AKeyData);
// Alt went up in an edit of a bar: the coming call is an Alt release.
void dxBarAltReleasedInEdit();

// ===========================================================================
// Bar windows: the window side's section. Its classes are declared in
// dxBarControls.h, which stands on everything above.
// ===========================================================================

#include "dxBarControls.h"
#include "dxBarPainters.h"
