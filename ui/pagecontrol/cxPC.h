// The tab control and the page control: a strip of tabs in one scrolling
// row or in balanced rows on any side, navigator buttons with auto-repeat,
// hot tracking, mouse, keyboard, accelerator and wheel input, and pages
// that own their tabs. A painter chosen by style (cxPCPainters.h) measures
// and draws everything; this unit decides what is where and what is
// selected.
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "ImgList.h"
#include "Menus.h"
#include "SysUtils.h"
#include "TypInfo.h"
//
#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

class TcxCustomTabControl;
class TcxPageControl;
class TcxTabSheet;
class TcxTabs;
class TcxPCCustomPainter;
class TcxPCImageList;
class TcxPCGoDialog;
class TcxTimer;
class TcxObjectLink;

// A painter class as a value: the painter's prototype, which answers the
// class operations and makes painters for controls (cxPCPainters.h).
using TcxPCPainterClass = const TcxPCCustomPainter*;

enum TcxTabPosition : Byte { tpTop, tpBottom, tpLeft, tpRight };
enum TcxPCNavigatorPosition : Byte {
  npLeftTop,
  npLeftBottom,
  npRightTop,
  npRightBottom
};
enum TcxPCNavigatorButton : Byte {
  nbTopLeft,
  nbBottomRight,
  nbGoDialog,
  nbClose
};
using TcxPCNavigatorButtons = TSet<TcxPCNavigatorButton>;
enum TcxPCNavigatorButtonState : Byte {
  nbsNormal,
  nbsPressed,
  nbsHotTrack,
  nbsDisabled
};
enum TcxPCOption : Byte {
  pcoAlwaysShowGoDialogButton,
  pcoCloseButton,
  pcoFixedTabWidthWhenRotated,
  pcoGoDialog,
  pcoGradient,
  pcoGradientClientArea,
  pcoNoArrows,
  pcoRedrawOnResize,
  pcoSort,
  pcoTopToBottomText,
  pcoUsePageColorForTab
};
using TcxPCOptions = TSet<TcxPCOption>;
inline constexpr TcxPCOptions cxPCDefaultOptions{
    pcoAlwaysShowGoDialogButton, pcoGradient, pcoGradientClientArea,
    pcoRedrawOnResize};
enum TcxPCTabPropertyChanged : Byte {
  tpcNotSpecified,
  tpcColor,
  tpcEnabled,
  tpcFocused,
  tpcHighlighted,
  tpcHotTrack,
  tpcIsMainTab,
  tpcLayout,
  tpcPressed,
  tpcSelected,
  tpcTracking
};
enum TcxPCTabNotification : Byte { tnDeleting };
enum TcxTabSlantKind : Byte { skCutCorner, skSlant };
enum TcxTabSlantPosition : Byte { spLeft, spRight };
using TcxTabSlantPositions = TSet<TcxTabSlantPosition>;
enum TcxPCStandardStyle : Byte { tsTabs, tsButtons, tsFlatButtons };
// 0 is the default style; -1 a painter without a style of its own.
using TcxPCStyleID = Integer;
inline constexpr TcxPCStyleID cxPCDefaultStyle = 0;

// Added to the four sides of a tab's normal rectangle.
struct TcxPCRectCorrection {
  Integer dLeft = 0;
  Integer dTop = 0;
  Integer dRight = 0;
  Integer dBottom = 0;
  friend bool operator==(const TcxPCRectCorrection&,
                         const TcxPCRectCorrection&) = default;
};
inline constexpr TcxPCRectCorrection cxPCEmptyRectCorrection{};

// Between neighbouring tabs of a row and between rows.
struct TcxPCDistance {
  Integer dw = 0;
  Integer dh = 0;
  friend bool operator==(const TcxPCDistance&, const TcxPCDistance&) = default;
};

// Two margins along the text direction: before and after.
struct TcxPCWOffset {
  Integer Left = 0;
  Integer Right = 0;
  friend bool operator==(const TcxPCWOffset&, const TcxPCWOffset&) = default;
};
inline constexpr TcxPCWOffset cxPCEmptyWOffset{};

// The first and last visible index of one row.
struct TcxPCIndexInterval {
  Integer Left = -1;
  Integer Right = -1;
  friend bool operator==(const TcxPCIndexInterval&,
                         const TcxPCIndexInterval&) = default;
};
using TcxPCLineIndexBoundsArray = std::vector<TcxPCIndexInterval>;

// Where tab strips may lie, as the painter sees it for a set of buttons.
struct TcxPCTabsPosition {
  TRect ExtendedTabsRect;
  Integer TopOrLeftPartExtension = 0;
  Integer BottomOrRightPartExtension = 0;
  Integer PartsDistance = 0;
  Integer RowLength = 0;
  TRect NormalTabsRect;
};

// The rectangles of the image and caption of the tab being drawn.
struct TcxPCOutTabImageAndTextData {
  TRect TabImageRect;
  TRect TabTextRect;
  Integer TabVisibleIndex = -1;
};

// --- Events ---
using TcxTabChangingEvent = TClosure<void(TObject* Sender, bool& AllowChange)>;
using TcxPCCanCloseEvent = TClosure<void(TObject* Sender, bool& ACanClose)>;
class TcxTab;
using TcxDrawTabEvent = TClosure<void(TcxCustomTabControl* AControl,
                                      TcxTab* ATab, bool& DefaultDraw)>;
using TcxDrawTabExEvent =
    TClosure<void(TcxCustomTabControl* AControl, TcxTab* ATab, TFont* Font)>;
using TcxGetTabImageEvent =
    TClosure<void(TObject* Sender, Integer TabIndex, Integer& ImageIndex)>;
using TcxTabChangedEvent = TClosure<void(TObject* Sender, Integer TabID)>;
using TcxPageChangingEvent =
    TClosure<void(TObject* Sender, TcxTabSheet* NewPage, bool& AllowChange)>;

// --- Unit routines of the layout ---
// A margin rectangle given for tabs on top, turned to APosition.
TRect RotateRect(const TRect& R, TcxTabPosition APosition);
TRect RotateRectBack(const TRect& R, TcxTabPosition APosition);
TRect CorrectRect(const TRect& R, const TcxPCRectCorrection& C);
// Raises Right to Left and Bottom to Top where they are smaller.
TRect ValidateRect(const TRect& R);
Integer GetButtonCount(TcxPCNavigatorButtons AButtons);
// The button of a set that holds one (its lowest member).
TcxPCNavigatorButton GetNavigatorButton(TcxPCNavigatorButtons AButtons);
// "Default" for 0, the style name of a registered id, else empty.
String GetPCStyleName(TcxPCStyleID AStyleID);
// Text of one of the page-control units' own string-table messages.
String cxPCGetResourceString(Integer AId);

// Ids of the page-control units' messages (resources/pagecontrol).
inline constexpr Integer scxPCImageListIndexError = 65520;
inline constexpr Integer scxPCNoBaseImages = 65521;
inline constexpr Integer scxPCPainterClassError = 65522;
inline constexpr Integer scxPCPageIndexError = 65523;
inline constexpr Integer scxPCNoRegisteredStyles = 65524;
inline constexpr Integer scxPCStandardStyleError = 65525;
inline constexpr Integer scxPCStyleNameError = 65526;
inline constexpr Integer scxPCTabCountEqualsZero = 65527;
inline constexpr Integer scxPCTabIndexError = 65528;
inline constexpr Integer scxPCTabVisibleIndexOutsOfBounds = 65529;
inline constexpr Integer scxPCVisibleTabListEmpty = 65530;
inline constexpr Integer scxPCAllowRotateError = 65531;

// The milliseconds before the first repeat of a held scroll arrow, and
// between later repeats; shared by all tab controls.
extern Integer TabScrollingStartDelay;
extern Integer TabScrollingDelay;

// Raises Exception("<AClassName>.<AMethod>: <AText>").
[[noreturn]] void cxPCOutError(const String& AClassName, const String& AMethod,
                               const String& AText);

// ---------------------------------------------------------------------------
// Tabs
// ---------------------------------------------------------------------------

class TcxTab : public TPersistent {
  VARNEL_CLASS(TcxTab, TPersistent)
 public:
  TcxTab(TcxTabs* ATabs, Integer AIndex);
  ~TcxTab() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* Source) override;

  // --- Published ---
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool Value);
  // Through the control's GetImageIndex (its event and its image list).
  TImageIndex ImageIndex() const;
  TImageIndex StoredImageIndex() const { return imageIndex_; }
  void SetImageIndex(TImageIndex Value);
  bool Selected() const { return selected_; }
  void SetSelected(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);

  // --- Derived ---
  Integer Index() const { return index_; }
  TObject* Object() const { return object_; }
  void SetObject(TObject* Value) { object_ = Value; }
  TcxCustomTabControl* ParentControl() const;
  TcxTabs* Tabs() const { return tabs_; }
  Integer VisibleIndex() const;
  bool IsMainTab() const;
  bool HotTrack() const;
  bool Pressed() const;
  bool Tracking() const;
  bool RealEnabled() const;
  bool RealVisible() const;
  TRect NormalRect() const;
  TRect FullRect() const;
  TRect VisibleRect() const;
  Integer NormalLongitudinalSize() const;
  TcxTabPosition PaintingPosition() const;
  Integer PaintingPositionIndex() const;

  // --- Layout fields ---
  Integer NormalWidth = 0;
  TPoint NormalPosition;
  mutable TcxPCRectCorrection RectCorrection;
  Integer Row = 0;
  Integer VisibleRow = 0;

  // Bitmaps the painters draw into, made on demand.
  TBitmap* PaintBitmap() const { return paintBitmap_.get(); }
  void InitializePaintBitmap();
  void ResetPaintBitmap();
  TBitmap* VerticalTextBitmap() const { return verticalTextBitmap_.get(); }
  TBitmap* CreateVerticalTextBitmap();
  void ResetVerticalTextBitmap();
  void ValidateImageIndex();

 private:
  friend class TcxTabs;
  friend class TcxCustomTabControl;
  friend class TcxTabSheet;
  void Changed(TcxPCTabPropertyChanged AType);
  // The caption is stored without telling anyone (new tabs).
  void InternalSetCaption(const String& Value) { caption_ = Value; }
  TRect PartRect() const;

  TcxTabs* tabs_;
  Integer index_;
  String caption_;
  TColor color_ = clDefault;
  bool enabled_ = true;
  bool highlighted_ = false;
  TImageIndex imageIndex_;
  bool selected_ = false;
  bool visible_ = true;
  TObject* object_ = nullptr;
  // Set while the list frees the tab itself.
  bool destroyingByList_ = false;
  TObjectPtr<TBitmap> paintBitmap_;
  TObjectPtr<TBitmap> verticalTextBitmap_;
};

class TcxTabs : public TStrings {
  VARNEL_CLASS(TcxTabs, TStrings)
 public:
  explicit TcxTabs(TcxCustomTabControl* AControl);
  ~TcxTabs() override;

  void Insert(Integer Index, const String& S) override;
  void Delete(Integer Index) override;
  void Clear() override;
  void Move(Integer CurIndex, Integer NewIndex) override;

  TcxTab* GetTab(Integer Index) const;
  void SetTab(Integer Index, TcxTab* Value);
  TcxTab* Tab(Integer Index) const { return GetTab(Index); }
  TcxTab* GetVisibleTab(Integer TabVisibleIndex) const;
  Integer GetVisibleTabsCount() const;
  TcxCustomTabControl* Control() const { return control_; }
  Integer TabNormalHeight = 0;

  void Changed(Integer TabVisibleIndex, TcxPCTabPropertyChanged AType);
  void Notify(Integer Index, TcxPCTabNotification ANotification);
  void SetHotTrack(Integer Value);
  void SetMainTab();
  void SetTracking(Integer Value);
  void ResetTabVerticalTextBitmaps();
  void UpdateTabIndexes(Integer AFrom, Integer ATo);
  void ValidateImageIndexes();

 protected:
  String Get(Integer Index) const override;
  Integer GetCount() const override;
  TObject* GetObject(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  void PutObject(Integer Index, TObject* AObject) override;

 private:
  [[noreturn]] void OutError(const String& AMethod, const String& AText) const;
  void CheckIndex(const String& AMethod, Integer Index, Integer AMax) const;
  void AfterListChange();
  // Frees the tabs, the last first.
  void FreeAll();

  TcxCustomTabControl* control_;
  std::vector<TcxTab*> tabs_;
  bool deleting_ = false;
  bool tabDestroying_ = false;
};

// The indexes of the visible tabs, ascending.
class TcxVisibleTabList : public TObject {
  VARNEL_CLASS(TcxVisibleTabList, TObject)
 public:
  explicit TcxVisibleTabList(TcxCustomTabControl* AControl)
      : control_(AControl) {}
  Integer GetCount() const { return static_cast<Integer>(items_.size()); }
  Integer Count() const { return GetCount(); }
  // The tab index of a visible index.
  Integer GetTab(Integer TabVisibleIndex) const;
  // Binary search: whether TabIndex is listed and where it is or would go.
  bool FindVisibleTab(Integer TabIndex, Integer& APosition) const;
  void ShowTab(Integer TabIndex);
  void HideTab(Integer TabIndex);
  Integer TabVisibleIndexOf(Integer TabIndex) const;
  void Update();

 private:
  TcxCustomTabControl* control_;
  std::vector<Integer> items_;
};

class TcxTabSlants : public TPersistent {
  VARNEL_CLASS(TcxTabSlants, TPersistent)
 public:
  explicit TcxTabSlants(TPersistent* AOwner) : owner_(AOwner) {}
  void Assign(TPersistent* Source) override;
  TcxTabSlantKind Kind() const { return kind_; }
  void SetKind(TcxTabSlantKind Value);
  TcxTabSlantPositions Positions() const { return positions_; }
  void SetPositions(TcxTabSlantPositions Value);
  TNotifyEvent OnChange;

 protected:
  TPersistent* GetOwner() override { return owner_; }

 private:
  void Changed();
  TPersistent* owner_;
  TcxTabSlantKind kind_ = skSlant;
  TcxTabSlantPositions positions_{spLeft};
};

// ---------------------------------------------------------------------------
// The tab control
// ---------------------------------------------------------------------------

class TcxCustomTabControl : public TcxControl {
  VARNEL_CLASS(TcxCustomTabControl, TcxControl)
 public:
  explicit TcxCustomTabControl(TComponent* AOwner);
  ~TcxCustomTabControl() override;
  void BeforeDestruction() override;

  // --- Properties ---
  bool Focusable() const { return focusable_; }
  void SetFocusable(bool Value);
  bool HideTabs() const { return hideTabs_; }
  void SetHideTabs(bool Value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value);
  Integer ImageBorder() const { return imageBorder_; }
  void SetImageBorder(Integer Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  Integer MaxRotatedTabWidth();
  void SetMaxRotatedTabWidth(Integer Value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool Value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool Value) { multiSelect_ = Value; }
  TcxPCNavigatorPosition NavigatorPosition() const {
    return navigatorPosition_;
  }
  void SetNavigatorPosition(TcxPCNavigatorPosition Value);
  TcxPCOptions Options() const { return options_; }
  void SetOptions(TcxPCOptions Value);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool Value);
  bool RaggedRight() const { return raggedRight_; }
  void SetRaggedRight(bool Value);
  bool Rotate() const { return rotate_; }
  void SetRotate(bool Value);
  bool ScrollOpposite() const { return scrollOpposite_; }
  void SetScrollOpposite(bool Value);
  bool ShowFrame() const { return showFrame_; }
  void SetShowFrame(bool Value);
  TcxPCStyleID Style() const { return style_; }
  void SetStyle(TcxPCStyleID Value);
  Smallint TabHeight() const { return tabHeight_; }
  void SetTabHeight(Smallint Value);
  Integer TabIndex() const { return tabIndex_; }
  void SetTabIndex(Integer Value);
  TcxTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TcxTabPosition Value);
  TcxTabs* Tabs() const { return tabs_.get(); }
  void SetTabs(TStrings* Value);
  TcxTabSlants* TabSlants() const { return tabSlants_.get(); }
  void SetTabSlants(TcxTabSlants* Value);
  Smallint TabWidth() const { return tabWidth_; }
  void SetTabWidth(Smallint Value);
  TAlignment TabCaptionAlignment() const { return tabCaptionAlignment_; }
  void SetTabCaptionAlignment(TAlignment Value);
  bool IsTabsContainer() const { return isTabsContainer_; }
  void SetIsTabsContainer(bool Value);

  TcxPCCanCloseEvent OnCanClose;
  TNotifyEvent OnChange;
  TcxTabChangingEvent OnChanging;
  TcxDrawTabEvent OnDrawTab;
  TcxDrawTabExEvent OnDrawTabEx;
  TcxGetTabImageEvent OnGetImageIndex;

  // --- State ---
  TcxPCCustomPainter* Painter() const { return painter_.get(); }
  TcxVisibleTabList* VisibleTabList() const { return visibleTabList_.get(); }
  TcxPCImageList* ImageList() const { return imageList_.get(); }
  TcxPCGoDialog* GoDialog() const { return goDialog_; }
  TcxTimer* Timer() const { return timer_; }
  Integer FirstVisibleTab = -1;
  Integer LastVisibleTab = -1;
  bool IsLastTabFullyVisible = false;
  Integer MainTabVisibleIndex = -1;
  Integer HotTrackTabVisibleIndex = -1;
  Integer PressedTabVisibleIndex = -1;
  Integer TrackingTabVisibleIndex = -1;
  TcxPCNavigatorButtons NavigatorButtons;
  TcxPCNavigatorButtonState NavigatorButtonStates[4] = {nbsNormal, nbsNormal,
                                                        nbsNormal, nbsNormal};
  TcxPCNavigatorButtons HotTrackNavigatorButtons;
  TcxPCNavigatorButtons PressedNavigatorButtons;
  bool GoDialogShowing() const { return goDialogShowing_; }
  Integer RowCount = 0;
  Integer TopOrLeftPartRowCount = 0;
  Integer RowHeight = 0;
  Integer MaxRotatedCaptionWidth = 0;
  TcxPCTabsPosition TabsPosition;
  TRect ExtendedTopOrLeftTabsRect;
  TRect ExtendedBottomOrRightTabsRect;

  // --- Operations ---
  Integer IndexOfTabAt(Integer X, Integer Y);
  void ScrollTabs(Integer Delta);
  Integer GetOptimalSize();
  void SetStandardStyle(TcxPCStandardStyle AStandardStyle);
  void SetStyleByStyleName(const String& AStyleName);
  void SelectTab(Integer TabVisibleIndex, bool CtrlPressed);
  void ArrowButtonClick(TcxPCNavigatorButton AButton);
  void CloseButtonClick();
  void ShowGoDialog();
  void HideGoDialog(Integer ATabIndex);
  void UpdateButtonsState();
  void SynchronizeHotTrackStates(TShiftState Shift);
  void SynchronizeNavigatorButtons();
  void LockChangeEvent(bool Lock);
  bool IsChangeEventLocked();
  void SetModified();
  void RepaintTab(Integer TabVisibleIndex, TcxPCTabPropertyChanged AType);
  [[noreturn]] void OutError(const String& AMethod, const String& AText) const;
  void UpdateTabImages();
  TcxPCNavigatorButtons GetNavigatorButtons(bool AllTabsFit) const;
  bool CanPressButton(TcxPCNavigatorButton AButton) const;
  // The stored client rectangle of the form stream and whether it was read.
  TRect StoredClientRect;
  bool StoredClientRectRead = false;
  TRect GetClientRect() override;
  TRect GetDisplayRect();

  // --- Layout (cxPCLayout.cpp) ---
  virtual void RequestLayout();
  void Calculate();
  void RearrangeRows();
  void PlaceVisibleTabsOnRows(Integer ARowWidth, Integer ATabDistance);
  void CorrectFirstVisibleTab(Integer TabVisibleIndex);
  void CalculateTabNormalSizes();
  bool IsVerticalText() const;
  TcxRotationAngle GetTextRotationAngle() const;
  TcxRotationAngle InternalGetTextRotationAngle() const;
  bool InternalIsVerticalText() const;
  bool IsBottomToTopAlignment() const;
  bool IsRightToLeftAlignment() const;
  // The visible range: all visible tabs in multi-row mode, else the row.
  void InitializeVisibleTabRange(Integer& AFirst, Integer& ALast) const;
  TcxPCLineIndexBoundsArray InitializeLineBoundsArray() const;
  TRect GetTabExtendedTabsRect(Integer TabVisibleIndex) const;
  TSize TextSize(TcxTab* ATab, const String& AText, TFont* AFont = nullptr);
  bool LayoutInProgress() const { return layoutInProgress_; }
  // The painter's distances as the layout uses them: with Rotate the two
  // are used the other way round.
  Integer TabDistanceAlongRow() const;
  Integer RowDistance() const;
  // The arrow that scrolls towards the last tab.
  TcxPCNavigatorButton ForwardArrow() const;

  // --- Virtual operations ---
  virtual void AfterPaintTab(TcxCanvas* ACanvas, TcxTab* ATab,
                             const TcxPCOutTabImageAndTextData& AOutData);
  virtual bool DoCanClose();
  virtual void DoClose();
  virtual bool HandleDialogChar(Integer Key);
  virtual bool CanShowTab(Integer TabIndex);
  virtual void DoShowGoDialog();
  virtual void DrawTab(Integer, const TRect&, bool) {}
  virtual TWinControl* GetActivePage() { return nullptr; }
  virtual Integer GetImageIndex(Integer ATabIndex);
  virtual TWinControl* GetPage(Integer) { return nullptr; }
  virtual void GoDialogClickEventHandler(Integer ATabIndex);
  virtual void ImageListChange(TObject* Sender);
  virtual bool InternalKeyDown(Word& Key, TShiftState Shift);
  virtual void PrepareTabCanvasFont(TcxTab* ATab, TcxCanvas* ACanvas);
  virtual bool TabIndexTabMustBeVisible() { return false; }
  virtual bool CanChange(Integer NewTabIndex);
  virtual void Change();

  // --- Overrides ---
  bool CanFocus() override;
  void Loaded() override;
  void AdjustClientRect(TRect& Rect) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                    TPoint MousePos) override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;
  bool HasBackground() override { return false; }
  bool NeedsScrollBars() override { return false; }
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues) override;
  void FocusChanged() override;
  void FontChanged() override;
  void MouseLeave(TControl* AControl) override;
  // The timer's tick: one more scroll while an arrow is held.
  void TimerEventHandler(TObject* Sender);
  bool CanMouseWheel(const TPoint& AMousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);

 protected:
  void CreateHandle() override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void CalculateLongitudinalTabPositions();
  void CalculateOneRowLongitudinalPositions();
  void CalculateMultiRowLongitudinalPositions();
  void PlaceTabsOfRow(Integer AFirst, Integer ALast, bool AAllowPartial);
  void CalculateRowHeight();
  void CalculateRowPositions();
  void SetDefaultStyle();
  void ApplyStyle(TcxPCStyleID Value);
  void CreateTimer();
  void SetNavigatorButtonState(TcxPCNavigatorButton AButton,
                               TcxPCNavigatorButtonState AState);
  bool PassDesignMouseEvent(Integer X, Integer Y);
  void ReadClientRectValue(TReader* Reader, Integer ASide);
  void WriteClientRectValue(TWriter* Writer, Integer ASide);
  void TabSlantsChanged(TObject* Sender);

  // Clears or sets the selection without any event (removed pages).
  void SetTabIndexDirect(Integer Value);

 private:
  friend class TcxTabs;
  friend class TcxTab;
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);

  bool focusable_ = true;
  bool hideTabs_ = false;
  bool hotTrack_ = false;
  Integer imageBorder_ = 0;
  TCustomImageList* images_ = nullptr;
  Integer maxRotatedTabWidth_ = 0;
  bool multiLine_ = false;
  bool multiSelect_ = false;
  TcxPCNavigatorPosition navigatorPosition_ = npRightTop;
  TcxPCOptions options_ = cxPCDefaultOptions;
  bool ownerDraw_ = false;
  bool raggedRight_ = false;
  bool rotate_ = false;
  bool scrollOpposite_ = false;
  bool showFrame_ = false;
  TcxPCStyleID style_ = -1;
  Smallint tabHeight_ = 0;
  Integer tabIndex_ = -1;
  TcxTabPosition tabPosition_ = tpTop;
  Smallint tabWidth_ = 0;
  TAlignment tabCaptionAlignment_ = taCenter;
  bool isTabsContainer_ = false;
  Integer changeEventLockCount_ = 0;
  bool goDialogShowing_ = false;
  bool layoutInProgress_ = false;

  // The visible list outlives the tabs: a control destroyed without
  // BeforeDestruction (a stack or std::unique_ptr object) frees its tabs
  // here, and a tracked tab looks itself up in the list as it goes.
  std::unique_ptr<TcxVisibleTabList> visibleTabList_;
  std::unique_ptr<TcxTabs> tabs_;
  std::unique_ptr<TcxTabSlants> tabSlants_;
  TObjectPtr<TcxPCImageList> imageList_;
  TcxPCGoDialog* goDialog_ = nullptr;  // owned as a component
  TcxTimer* timer_ = nullptr;          // owned as a component
  TObjectPtr<TcxPCCustomPainter> painter_;
};

// ---------------------------------------------------------------------------
// Tab images and the go dialog
// ---------------------------------------------------------------------------

using TcxPCImageListPrepareBitmapBackgroundEvent =
    TClosure<void(TBitmap* ABitmap)>;

// Draws the images of the control's Images, turned with vertical text.
class TcxPCImageList : public TObject {
  VARNEL_CLASS(TcxPCImageList, TObject)
 public:
  explicit TcxPCImageList(TcxCustomTabControl* AParent);
  ~TcxPCImageList() override;

  TCustomImageList* BaseImages() const { return baseImages_; }
  void SetBaseImages(TCustomImageList* Value);
  TcxRotationAngle ImageRotationAngle() const { return imageRotationAngle_; }
  void SetImageRotationAngle(TcxRotationAngle Value);
  void Draw(TcxCanvas* ACanvas, Integer X, Integer Y, Integer AIndex,
            TColor ABkColor, bool AEnabled);
  TSize GetBaseImageSize() const;
  TSize GetRotatedImageSize() const;
  void RotateImages();
  void RotateImage(Integer AIndex, TColor ABkColor, bool AEnabled);
  void ClearRotatedImages();
  // Whether the element of an image is drawn, and for what.
  bool IsRotatedImageValid(Integer AIndex, TColor* ABkColor = nullptr,
                           bool* AEnabled = nullptr) const;

  TNotifyEvent OnChange;
  TcxPCImageListPrepareBitmapBackgroundEvent OnPrepareBitmapBackground;

 private:
  struct TRotatedImage {
    TColor BkColor = clNone;
    bool Enabled = true;
    TObjectPtr<TBitmap> Bitmap;
    bool Valid = false;
  };
  void BaseImageListChange(TObject* Sender);
  void Change();
  void DoPrepareBitmapBackground(TBitmap* ABitmap);
  void FreeNotification(TComponent* AComponent);
  [[noreturn]] void OutError(const String& AMethod, const String& AText) const;

  TcxCustomTabControl* parent_;
  TCustomImageList* baseImages_ = nullptr;
  std::unique_ptr<TChangeLink> changeLink_;
  std::unique_ptr<TcxFreeNotificator> freeNotificator_;
  TcxRotationAngle imageRotationAngle_ = ra0;
  std::vector<TRotatedImage> rotatedImages_;
};

using TcxPCGoDialogClickEvent = TClosure<void(Integer ATabControlItemIndex)>;

// The popup menu of the go-dialog button: the tabs that can be chosen.
class TcxPCGoDialog : public TPopupMenu {
  VARNEL_CLASS(TcxPCGoDialog, TPopupMenu)
 public:
  explicit TcxPCGoDialog(TComponent* AOwner);
  using TPopupMenu::Popup;
  // The owner as a tab control (null for any other owner).
  TcxCustomTabControl* TabControl() const;
  // Lists the tabs (sorted by caption with ASort) and pops up under the
  // go-dialog button.
  void Popup(bool ASort);
  void InitializeItems(bool ASort);
  TPoint GetDialogPosition();
  TcxPCGoDialogClickEvent OnClick;

 protected:
  void ItemClick(TObject* Sender);
  void DoClick(Integer ATabIndex);
};

// A tab caption without its accelerator marks ("&&" stays one "&").
String cxPCRemoveAccelChars(const String& ACaption);

// The published tab control.
class TcxTabControl : public TcxCustomTabControl {
  VARNEL_CLASS(TcxTabControl, TcxCustomTabControl)
 public:
  explicit TcxTabControl(TComponent* AOwner) : TcxCustomTabControl(AOwner) {}
};

// ---------------------------------------------------------------------------
// Pages
// ---------------------------------------------------------------------------

// A page of a page control; owns one tab of it.
class TcxTabSheet : public TCustomControl {
  VARNEL_CLASS(TcxTabSheet, TCustomControl)
 public:
  explicit TcxTabSheet(TComponent* AOwner);
  ~TcxTabSheet() override;
  void BeforeDestruction() override;

  TcxPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TcxPageControl* Value);
  TcxTab* Tab() const { return tab_; }
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool Value);
  TImageIndex ImageIndex() const { return imageIndex_; }
  void SetImageIndex(TImageIndex Value);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool Value);
  Integer PageIndex() const;
  void SetPageIndex(Integer Value);
  // The visible index of its tab; -1 without tab or when hidden.
  Integer TabIndex() const;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  void SetParent(TWinControl* AParent) override;
  void Dispatch(TMessage& Message) override;
  virtual void SetParentPageControl(TcxPageControl* APageControl);

 protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void DoHide();
  virtual void DoShow();

 private:
  friend class TcxPageControl;
  void PagePropertyChanged();
  void ColorChanged();

  TcxPageControl* pageControl_ = nullptr;
  TcxTab* tab_ = nullptr;
  bool highlighted_ = false;
  TImageIndex imageIndex_ = -1;
  bool tabVisible_ = true;
};

class TcxPageControl : public TcxCustomTabControl {
  VARNEL_CLASS(TcxPageControl, TcxCustomTabControl)
 public:
  explicit TcxPageControl(TComponent* AOwner);
  ~TcxPageControl() override;
  void BeforeDestruction() override;

  TcxTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TcxTabSheet* Value);
  Integer GetActivePageIndex() const;
  void SetActivePageIndex(Integer Value);
  Integer GetPageCount() const { return static_cast<Integer>(pages_.size()); }
  Integer PageCount() const { return GetPageCount(); }
  TcxTabSheet* Pages(Integer Index) const { return pages_.at(Index); }
  // The number of visible tabs.
  Integer GetTabCount() const { return VisibleTabList()->Count(); }
  TcxPageChangingEvent OnPageChanging;

  TcxTabSheet* FindNextPageEx(TcxTabSheet* ACurPage, bool AGoForward,
                              bool ACheckTab, bool ACircular) const;
  TcxTabSheet* FindNextPage(TcxTabSheet* ACurPage, bool AGoForward,
                            bool ACheckTabVisible) const {
    return FindNextPageEx(ACurPage, AGoForward, ACheckTabVisible, true);
  }
  void SelectNextPage(bool AGoForward, bool ACheckTabVisible = true);

  // --- Overrides ---
  TWinControl* GetActivePage() override { return activePage_; }
  TWinControl* GetPage(Integer TabIndex) override;
  void DoClose() override;
  void ImageListChange(TObject* Sender) override;
  bool TabIndexTabMustBeVisible() override { return true; }
  bool CanChange(Integer NewTabIndex) override;
  void Change() override;
  void RequestLayout() override;
  void Loaded() override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  using TcxCustomTabControl::CanFocusOnClick;
  bool CanFocusOnClick() override;
  virtual void UpdateActivePage();
  virtual bool CanChangeActivePage(TcxTabSheet* ANewPage);
  virtual void PageChange();

 protected:
  void ChangeActivePage(TcxTabSheet* APage);
  void InsertPage(TcxTabSheet* APage);
  void RemovePage(TcxTabSheet* APage);
  void UpdateTab(TcxTabSheet* APage);
  void UpdateTabs();
  void MovePage(TcxTabSheet* APage, Integer ANewIndex);

 private:
  friend class TcxTabSheet;
  std::vector<TcxTabSheet*> pages_;
  TcxTabSheet* activePage_ = nullptr;
  bool pageInserting_ = false;
  bool activePageSetting_ = false;
};
