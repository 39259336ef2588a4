// The windows of the bars: item controls (the run-time visual of one item
// link), the bar control base shared by toolbars and menus, the toolbar
// window, and the dock controls with their rows. dxBar.h includes this
// header after the model classes, so the model reaches the windows and the
// windows reach the model.
//
// Sources: dxBarItemControl.cpp (item controls, their view info and draw
// parameters), dxBarControl.cpp (bar control base and its view info),
// dxBarToolbar.cpp (toolbar window), dxBarToolbarLayout.cpp (toolbar sizes
// and row layout), dxBarDock.cpp (dock controls and rows),
// dxBarStandardPaint.cpp (what a bar window draws without a painter),
// dxBarControlsLayout.cpp (the geometry, see dxBarControlsLayout.h).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "cxControls.h"
#include "cxGraphics.h"
#include "dxBarControlsLayout.h"

class TdxBarItemControl;
class TCustomdxBarControl;
class TdxBarControl;
class TdxDockControl;
class TdxDockRow;
class TdxDockCol;

enum TdxBarItemControlPart : Byte { cpIcon, cpText };
using TdxBarItemControlViewStructure = TSet<TdxBarItemControlPart>;
enum TdxBarItemControlViewSize : Byte { cvsSmall, cvsMedium, cvsLarge };
enum TdxBarPaintType : Byte { ptHorz, ptMenu, ptVert };
enum TdxBarButtonGroupRealPosition : Byte {
  bgrpNone,
  bgrpStart,
  bgrpMember,
  bgrpFinish,
  bgrpSingle
};
enum TdxBarMarkState : Byte { msNone, msSelected, msPressed };
enum TdxBarViewState : Byte { bvsNormal, bvsHot };
enum TdxBarState : Byte {
  bsCreatingControls,
  bsDestroyingControls,
  bsDestroyingWindow,
  bsHideAll,
  bsPaintItem,
  bsRepaintBar,
  bsUpdatingCanvasFont
};
using TdxBarStates = TSet<TdxBarState>;
enum TdxBarBehaviorOption : Byte {
  bboAllowDetach,
  bboAllowSelectWindowItemsWithoutFocusing,
  bboAllowShowHints,
  bboClickItemsBySpaceKey,
  bboExtendItemWhenAlignedToClient,
  bboNeedsFocusWhenActive,
  bboMouseCantUnselectNavigationItem,
  bboUnmoved,
  bboItemCustomizePopup,
  bboSubMenuCaptureMouse
};
using TdxBarBehaviorOptions = TSet<TdxBarBehaviorOption>;

// A rectangle for the system's calls.
inline RECT dxRECT(const TRect& R) {
  return {R.Left, R.Top, R.Right, R.Bottom};
}

// The hot part of an item control when the mouse is inside it but over none
// of its parts, and when the mouse is outside.
constexpr Integer dxBarNoHotPart = -1;
constexpr Integer dxBarInsideNoPart = 100;

// ---------------------------------------------------------------------------
// Standard drawing and metrics
// ---------------------------------------------------------------------------

// The drawing and the sizes a bar window falls back on while it has no
// painter (its manager has none yet or is going). Everything here only
// measures or paints, with no state of its own.
namespace dxBarStandardPaint {
// The room the mark takes along a toolbar.
constexpr Integer MarkSize = 11;
// A group separator's thickness in a toolbar.
constexpr Integer BeginGroupSize = 6;
// The grip before the items of a docked toolbar, and its border.
constexpr Integer GripSize = 7;
constexpr Integer BorderSize = 2;
// The frame of a floating toolbar around its client area.
constexpr Integer FloatingBorder = 3;
Integer FloatingCaptionHeight();
// The frame widths of a toolbar in a docking style (dsNone = floating).
TRect ToolbarContentOffsets(TdxBarDockingStyle AStyle, bool AHasBorder);
// An empty button's size for the manager's glyph size and the text height.
// With a painter, its button borders; never lower than the text.
TSize ButtonSize(Integer AGlyphSize, Integer ATextSize,
                 const TdxBarPainter* APainter = nullptr);
TColor ToolbarColor();
void FillBackground(HDC DC, const TRect& R, TColor AColor);
// The frame of a docked toolbar: its border and the grip.
void DrawDockedFrame(HDC DC, const TRect& AWindowRect,
                     const TRect& AClientBounds, bool AVertical);
void DrawFloatingFrame(HDC DC, const TRect& AWindowRect,
                       const TRect& AClientBounds, const String& ACaption);
void DrawSeparator(HDC DC, const TRect& R, bool AHorizontal);
void DrawMark(HDC DC, const TRect& R, bool AVertical, TdxBarMarkState AState);
}  // namespace dxBarStandardPaint

// ---------------------------------------------------------------------------
// Item control view info and draw parameters
// ---------------------------------------------------------------------------

// The layout record of one item control that the bar control's layout
// arranges: the levels it may take, its place and its widths per level.
class TdxBarItemControlViewInfo : public TObject {
  VARNEL_CLASS(TdxBarItemControlViewInfo, TObject)
 public:
  TdxBarItemControlViewInfo() = default;
  explicit TdxBarItemControlViewInfo(TdxBarItemControl* AControl);
  ~TdxBarItemControlViewInfo() override;

  TdxBarItemControl* Control() const { return control_; }
  TdxBarItemAlign GetAlign() const;
  TdxBarItemViewLevels GetAllowedViewLevels() const { return allowedLevels_; }
  TRect GetBounds() const { return bounds_; }
  void SetBounds(const TRect& Value) { bounds_ = Value; }
  Integer GetColumnRowCount() const { return columnRowCount_; }
  void SetColumnRowCount(Integer Value) { columnRowCount_ = Value; }
  TdxBarItemPosition GetPosition() const;
  TdxBarButtonGroupPosition GetPositionInButtonGroup() const;
  TdxBarButtonGroupRealPosition GetRealPositionInButtonGroup() const {
    return realPosition_;
  }
  void SetRealPositionInButtonGroup(TdxBarButtonGroupRealPosition Value) {
    realPosition_ = Value;
  }
  Integer GetRow() const { return row_; }
  void SetRow(Integer Value) { row_ = Value; }
  TdxBarItemViewLevel GetViewLevel() const { return viewLevel_; }
  void SetViewLevel(TdxBarItemViewLevel Value) { viewLevel_ = Value; }
  TdxBarItemViewLevel GetViewLevelForButtonGroup() const {
    return buttonGroupLevel_;
  }
  TdxBarItemViewLevel GetMostCompactViewLevel() const { return compactLevel_; }
  // The control's width at an allowed level, measured once per level.
  Integer GetWidth(TdxBarItemViewLevel ALevel);
  bool HasSeparator() const;
  void CalculateFinalize() {}
  void ResetCachedValues();

 private:
  TdxBarItemControl* control_ = nullptr;
  TdxBarItemViewLevels allowedLevels_;
  TRect bounds_;
  Integer columnRowCount_ = 0;
  TdxBarItemViewLevel compactLevel_ = ivlDefault;
  TdxBarButtonGroupRealPosition realPosition_ = bgrpNone;
  Integer row_ = 0;
  TdxBarItemViewLevel viewLevel_ = ivlDefault;
  TdxBarItemViewLevel buttonGroupLevel_ = ivlDefault;
  Integer widths_[4] = {};
  bool widthValid_[4] = {};
};

// Everything a painter needs to draw or measure one item control, refilled
// before every measurement and paint.
class TdxBarItemControlDrawParams : public TObject {
  VARNEL_CLASS(TdxBarItemControlDrawParams, TObject)
 public:
  TdxBarItemControlDrawParams() = default;
  explicit TdxBarItemControlDrawParams(TdxBarItemControl* AControl)
      : ItemControl(AControl) {}
  TdxBarItemControlViewSize ViewSize = cvsSmall;
  TdxBarItemControl* ItemControl = nullptr;
  TcxCanvas* Canvas = nullptr;
  String Caption;
  String Description;
  String ShortCutText;
  TdxBarPaintType PaintType = ptHorz;
  TdxBarItemControlViewStructure ViewStructure;
  bool Enabled = true;
  bool CanSelect = true;
  bool DrawSelected = false;
  bool DroppedDown = false;
  bool IsDropDown = false;
  Integer HotPartIndex = dxBarNoHotPart;
  bool IsCustomizing = false;
  bool IsPressed = false;
  bool SelectedByKey = false;
  TSize ButtonSize;
};

// ---------------------------------------------------------------------------
// Item control
// ---------------------------------------------------------------------------

// The run-time visual of one item link on one bar control. It is not a
// window: it measures itself, keeps its hot part and pressed state, turns
// the bar control's mouse notices into clicks and paints itself.
class TdxBarItemControl : public TObject {
  VARNEL_CLASS(TdxBarItemControl, TObject)
 public:
  // The registry creates controls by class; Initialize binds the link.
  TdxBarItemControl() = default;
  ~TdxBarItemControl() override;
  TdxBarItemControl(const TdxBarItemControl&) = delete;
  TdxBarItemControl& operator=(const TdxBarItemControl&) = delete;
  virtual void Initialize(TdxBarItemLink* ALink);

  // --- Links ---
  TdxBarItemLink* ItemLink() const { return link_; }
  TdxBarItem* Item() const;
  TCustomdxBarControl* Parent() const { return barControl_; }
  TdxBarManager* GetBarManager() const;
  // The link's item rectangle in the bar's client coordinates.
  TRect GetItemBounds() const;
  TdxBarItemControlViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TdxBarItemControlDrawParams* DrawParams() const { return drawParams_.get(); }

  // --- State ---
  bool GetIsSelected() const;
  bool Activated() const { return activated_; }
  bool Pressed() const { return pressed_; }
  void SetPressed(bool Value);
  Integer HotPart() const { return hotPart_; }
  bool MouseSelected() const { return mouseSelected_; }
  void SetMouseSelected(bool Value) { mouseSelected_ = Value; }
  const std::vector<TRect>& Parts() const { return parts_; }
  Integer FindPartAtPos(const TPoint& P) const;
  void DoCalculateParts();
  TdxBarItemAlign GetAlign() const;

  // --- Sizes ---
  virtual Integer GetMinHeight() const { return 1; }
  virtual Integer GetMinWidth() const { return 1; }
  // Set by a toolbar's layout: the control opens a row (multi-line
  // sizing), ends one, and the thickness of its row.
  bool BeginsNewRow = false;
  bool LastInRow = false;
  Integer RowHeight = 0;
  Integer GetRealWidth();
  Integer GetRealHeight();
  TdxBarItemViewLevels GetViewLevels() const;
  TdxBarItemControlViewSize GetViewSize() const;
  Integer GetTextSize() const;
  Integer GetTextHeight() const;
  Integer GetTextWidth(const String& AText);
  Integer GetWidthByViewLevel(TdxBarItemViewLevel ALevel);
  void ResetCachedValues(bool AAll);
  bool IconAssigned(TdxBarItemControlViewSize AViewSize) const;
  // In a personalised menu shown expanded: the link is not among the
  // recently used ones, and is painted lighter.
  bool NonRecent() const;

  // --- Notices from the item and the link ---
  virtual void Changed(TdxBarItemControlChange AChange);
  virtual void BeginGroupChanged();
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual void GlyphChanged();
  virtual void LargeGlyphChanged();
  virtual void PartsChanged();
  virtual void PressedChanged();
  virtual void VisibleChanged();
  virtual void WidthChanged();
  virtual void BeforeDestroyParentHandle() {}

  // --- Behaviour ---
  virtual bool CanClicked() const;
  virtual bool CanSelect() const;
  virtual bool CanMouseSelect() const { return CanSelect(); }
  virtual bool CanHide() const { return true; }
  virtual bool CanDeselect(TdxBarManager*) const { return CanHide(); }
  virtual bool CanCustomize() const;
  virtual bool CanBePartOfButtonGroup() const { return false; }
  virtual void CheckHotTrack(const TPoint& P);
  // Presses and releases the control as a user's click; nothing when
  // disabled.
  virtual void Click(bool AByMouse);
  virtual void ControlActivate(bool AImmediately);
  virtual void ControlInactivate(bool AImmediately);
  virtual void ControlClick(bool AByMouse, char AKey);
  virtual void ControlUnclick(bool AByMouse);
  virtual void ControlGetFocus(bool AByMouse);
  virtual bool DrawSelected() const { return GetIsSelected(); }
  virtual bool WantsKey(Word) const { return false; }
  virtual bool WantsDblClick() const;
  virtual bool HotPartWantMouse() const { return CanSelect() || CanClicked(); }
  virtual bool IsDestroyOnClick() const { return true; }
  virtual bool IsDropDown() const { return false; }
  // The drop-down arrow is a part of its own (a split button).
  virtual bool IsSplitDropDown() const { return false; }
  virtual bool IsDroppedDown() const { return false; }
  virtual bool IsExpandable() const { return false; }
  virtual bool IsHiddenForCustomization() const { return false; }
  virtual bool NeedCaptureMouse() const { return false; }
  virtual bool HasWindow() const { return false; }
  virtual bool GetEnabled() const;
  virtual String GetCaption() const;
  virtual String GetHint() const;
  virtual TShortCut GetShortCut() const;
  virtual void Repaint();
  bool GetUnclickAfterDoing() const;
  bool CanVisuallyPressed() const;
  // Enabled, the cursor over the control and the left button down.
  bool MousePressed() const;

  // Hints: whether the control has one, and its text for the bar's hint.
  bool HasHint() const;
  bool DoHint(bool& ASuppressed, String& AHint, String& AShortCutText);

  // --- Input the bar control passes on ---
  virtual void DblClick() {}
  virtual void KeyDown(Word&, TShiftState) {}
  virtual void MouseDown(TMouseButton, TShiftState, Integer, Integer) {}
  virtual void MouseUp(TMouseButton, TShiftState, Integer, Integer) {}
  virtual void MouseEnter(TShiftState, Integer X, Integer Y) {
    CheckHotTrack({X, Y});
  }
  virtual void MouseMove(TShiftState, Integer X, Integer Y) {
    CheckHotTrack({X, Y});
  }
  virtual void MouseLeave() { CheckHotTrack({-1, -1}); }

  // --- Painting ---
  // Paints into ARect of the canvas; nothing for an empty rectangle.
  void Paint(TcxCanvas* ACanvas, const TRect& ARect,
             TdxBarPaintType APaintType);
  TcxCanvas* GetCanvas() const;
  virtual void CalcDrawParams(bool AAll = true);
  void CalcDrawingConsts();

 protected:
  virtual TClass GetViewInfoClass() const;
  virtual TClass GetDrawParamsClass() const;
  virtual TdxBarItemViewLevels GetPossibleViewLevels() const;
  virtual TdxBarItemControlViewStructure GetViewStructure() const;
  virtual TdxBarItemControlViewStructure GetDefaultViewStructure() const {
    return {};
  }
  virtual TdxBarItemControlViewSize GetDefaultViewSize() const;
  virtual TdxBarPaintType GetPaintType() const;
  virtual Integer GetPartCount() const { return 1; }
  virtual void CalcParts();
  virtual void DoCalcDrawingConsts();
  virtual void DoPaint(const TRect& ARect, TdxBarPaintType APaintType);
  virtual Integer GetControlAreaWidth() { return 0; }
  virtual Integer GetCaptionWidth();
  virtual Integer GetCaptionAreaWidth();
  virtual Integer GetGlyphAreaWidth();
  virtual Integer GetControlCaptionOffset() const;
  virtual TSize GetGlyphSize(TdxBarItemControlViewSize AViewSize) const;
  virtual Integer GetDefaultHeight();
  virtual Integer GetDefaultWidth();
  virtual Integer GetDefaultWidthHorzLayout();
  virtual Integer GetDefaultWidthVertLayout();
  virtual Integer GetDefaultHeightInSubMenu();
  virtual Integer GetDefaultWidthInSubMenu();
  virtual Integer GetLargeHeight();
  virtual Integer GetSmallHeight();
  virtual Integer InternalGetDefaultHeight();
  virtual Integer InternalGetDefaultWidth();
  bool IsRotated() const;
  Integer RotationDependentWidth(const TSize& S) const;
  Integer RotationDependentHeight(const TSize& S) const;
  // The image to draw: the glyph (large for cvsLarge) or the list and index.
  bool GetCurrentImage(TdxBarItemControlViewSize AViewSize, TBitmap*& AGlyph,
                       TCustomImageList*& AImages, Integer& AImageIndex) const;
  // The look of a button-like control, through the bar's painter; DoPaint
  // of the kinds.
  void PaintStandardButton(const TRect& ARect);
  // The kinds' part rectangles (CalcParts).
  void SetParts(std::vector<TRect> AParts) { parts_ = std::move(AParts); }

 private:
  void PaintButtonLike(TdxBarPainter* APainter, const TRect& R);
  friend class TdxBarItemControlViewInfo;
  // The painters read the control's image, glyph size and paint type.
  friend class TdxBarPainter;
  TdxBarItemLink* link_ = nullptr;
  TCustomdxBarControl* barControl_ = nullptr;
  TcxCanvas* canvasOverride_ = nullptr;
  TGdiObject<HBRUSH> bkBrush_;
  bool activated_ = false;
  bool pressed_ = false;
  bool mouseSelected_ = false;
  Integer textSize_ = 0;
  Integer hotPart_ = dxBarNoHotPart;
  std::vector<TRect> parts_;
  TObjectPtr<TdxBarItemControlDrawParams> drawParams_;
  TObjectPtr<TdxBarItemControlViewInfo> viewInfo_;
};

// ---------------------------------------------------------------------------
// Bar control view info
// ---------------------------------------------------------------------------

struct TdxBarItemSeparatorInfo {
  TRect Bounds;
  TdxBarItemSeparatorKind Kind = skHorizontal;
};

// The result of a bar window's last layout pass: the shown item controls in
// painting and hit-testing order, and the group separators.
class TCustomdxBarControlViewInfo : public TObject {
  VARNEL_CLASS(TCustomdxBarControlViewInfo, TObject)
  friend class TCustomdxBarControl;

 public:
  TCustomdxBarControlViewInfo() = default;
  explicit TCustomdxBarControlViewInfo(TCustomdxBarControl* ABarControl)
      : barControl_(ABarControl) {}
  TCustomdxBarControl* BarControl() const { return barControl_; }
  virtual void Calculate() { Clear(); }
  virtual void Clear();
  void AddItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo);
  void RemoveItemControlViewInfo(TdxBarItemControlViewInfo* AViewInfo);
  Integer GetItemControlCount() const {
    return static_cast<Integer>(viewInfos_.size());
  }
  TdxBarItemControlViewInfo* GetItemControlViewInfo(Integer AIndex) const {
    return viewInfos_.at(static_cast<std::size_t>(AIndex));
  }
  Integer GetItemControlIndex(const TdxBarItemControl* AControl) const;
  bool IsItemControlVisible(const TdxBarItemControl* AControl) const {
    return GetItemControlIndex(AControl) >= 0;
  }
  void AddSeparatorInfo(const TRect& ABounds, TdxBarItemSeparatorKind AKind,
                        TdxBarItemControl* AControl);
  void RemoveSeparatorInfos() { separators_.clear(); }
  Integer GetSeparatorCount() const {
    return static_cast<Integer>(separators_.size());
  }
  TdxBarItemSeparatorInfo GetSeparatorInfo(Integer AIndex) const {
    return separators_.at(static_cast<std::size_t>(AIndex)).Info;
  }
  // The item control the separator stands before.
  TdxBarItemControl* GetSeparatorControl(Integer AIndex) const {
    return separators_.at(static_cast<std::size_t>(AIndex)).Control;
  }
  void SetSeparatorInfo(Integer AIndex, const TdxBarItemSeparatorInfo& AInfo) {
    separators_.at(static_cast<std::size_t>(AIndex)).Info = AInfo;
  }
  bool IsAssociatedWithSeparator(const TdxBarItemControl* AControl,
                                 Integer& AIndex) const;

 private:
  struct TSeparator {
    TdxBarItemControl* Control;
    TdxBarItemSeparatorInfo Info;
  };
  TCustomdxBarControl* barControl_ = nullptr;
  std::vector<TdxBarItemControlViewInfo*> viewInfos_;
  std::vector<TSeparator> separators_;
};

// A toolbar's layout: each visible link's item control with its rectangle,
// and the group separators.
class TdxBarControlViewInfo : public TCustomdxBarControlViewInfo {
  VARNEL_CLASS(TdxBarControlViewInfo, TCustomdxBarControlViewInfo)
 public:
  using TCustomdxBarControlViewInfo::TCustomdxBarControlViewInfo;
  void Calculate() override;

 protected:
  virtual bool CanShowSeparators() const { return true; }
  void CalcSeparatorInfo(TdxBarItemLink* ALink);
};

// ---------------------------------------------------------------------------
// Bar control base
// ---------------------------------------------------------------------------

// The window shared by toolbars and menus: hosts the item controls of its
// links, keeps one selected item control, turns mouse input into item
// actions, keeps the chain of active bar controls and paints the items in
// the order of its view info. It never keeps the keyboard focus.
class TCustomdxBarControl : public TCustomControl {
  VARNEL_CLASS(TCustomdxBarControl, TCustomControl)
 public:
  explicit TCustomdxBarControl(TComponent* AOwner);
  ~TCustomdxBarControl() override;
  void BeforeDestruction() override;

  // --- Model ---
  TdxBarManager* BarManager() const;
  // The manager's painter; every bar control of a manager shares it.
  TdxBarPainter* GetPainter() const;
  TdxBarItemLinks* ItemLinks() const { return itemLinks_; }
  virtual void SetItemLinks(TdxBarItemLinks* Value) { itemLinks_ = Value; }
  TCustomdxBarControlViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TdxDockControl* DockControl() const { return dockControl_; }
  void SetDockControl(TdxDockControl* Value);
  TdxBarDockingStyle DockingStyle() const { return dockingStyle_; }
  virtual void SetDockingStyle(TdxBarDockingStyle Value);
  TCustomdxBarControl* ParentBar() const { return parentBar_; }
  void SetParentBar(TCustomdxBarControl* Value);
  TCustomdxBarControl* ChildBar() const { return childBar_; }
  void SetChildBar(TCustomdxBarControl* Value);
  virtual TdxBarKind Kind() const = 0;
  virtual bool IsRealVertical() const { return false; }
  virtual bool IsVertical() const { return false; }
  virtual bool IsPopup() const { return false; }
  virtual bool IsInternal() const { return false; }
  TdxBarPaintType GetPaintType() const {
    if (Kind() == bkSubMenu) return ptMenu;
    return IsVertical() ? ptVert : ptHorz;
  }
  TcxCanvas* ActiveCanvas();

  // --- Selection and the active chain ---
  bool IsActive() const { return isActive_; }
  void SetIsActive(bool Value);
  TdxBarItemLink* SelectedLink() const { return selectedLink_; }
  TdxBarItemControl* SelectedControl() const;
  virtual void SetSelectedControl(TdxBarItemControl* AControl);
  virtual void SetKeySelectedItem(TdxBarItemControl* AControl);
  void SetMouseSelectedItem(TdxBarItemControl* AControl);
  // Gives the keyboard selection to the control of a link.
  void SelectItemByKey(TdxBarItemLink* ALink);
  void BarGetFocus(TdxBarItemControl* AControl);
  void BarLostFocus();
  // Ctrl+Tab: keyboard mode moves to the next (previous) toolbar.
  bool FocusNextBarControl(bool AForward);
  virtual void HideAll();
  void HideAllByEscape();
  // Escape ended the editing of a control of this bar.
  virtual void AfterControlEscape(TdxBarItemControl* AControl);
  TdxBarItemControl* ClickedControl() const { return clickedControl_; }
  bool IsControlExists(TdxBarItemControl* AControl) const;
  // The control is in the unit's list of live bar controls.
  static bool IsLive(const TCustomdxBarControl* AControl);
  TdxBarViewState ViewState() const { return viewState_; }
  TdxBarMarkState MarkState() const { return markState_; }
  virtual void SetMarkState(TdxBarMarkState Value) { markState_ = Value; }
  // Told while a rarely used item of a personalised menu paints.
  virtual void SetNonRecentPainting(bool) {}
  // The brush the items of this window paint their background with.
  virtual HBRUSH ItemsBackgroundBrush();
  virtual TdxBarBehaviorOptions GetBehaviorOptions() const;

  // --- Hit tests and geometry ---
  TdxBarItemControl* ItemAtPos(const TPoint& P) const;
  TdxBarItemControl* ItemAtMousePos() const;
  TRect GetItemRect(const TdxBarItemControl* AControl) const;
  TRect GetItemScreenRect(const TdxBarItemControl* AControl);
  virtual TRect GetFullItemRect(TdxBarItemControl* AControl) const {
    return GetItemRect(AControl);
  }
  virtual bool CanAlignControl(TdxBarItemControl*) const { return false; }
  virtual TRect MarkRect() { return {}; }
  virtual bool MarkExists() const { return false; }
  Integer GetMarkSize() const {
    return MarkExists() ? dxBarStandardPaint::MarkSize : 0;
  }
  virtual Integer GetBeginGroupSize() const {
    return dxBarStandardPaint::BeginGroupSize;
  }
  Integer GetItemControlOffset(TdxBarItemLink* ALink) const;

  // --- Layout and painting ---
  virtual void CalcLayout();
  virtual void CalcControlsPositions() { CalcItemsRect(); }
  virtual void CalcItemsRect();
  void CalcItemRects(TdxBarPaintType APaintType, Integer AFirstIndex);
  virtual void CalcRowItemRects() {}
  Integer CalcColumnItemRects(Integer AFirstIndex);
  virtual bool CanDrawClippedItem(const TRect&) const { return false; }
  virtual void CalcDrawingConsts();
  Integer TextSize() const { return textSize_; }
  virtual Integer GetTextSize();
  virtual Integer GetDefaultItemHeight(TdxBarItemControl* AControl) const;
  virtual TdxBarItemViewLevel GetItemControlDefaultViewLevel(
      TdxBarItemControl*) const {
    return ivlDefault;
  }
  TRect ItemsRect() const { return itemsRect_; }
  void RepaintBarEx(bool ARecreate);
  virtual void RepaintBar() { RepaintBarEx(true); }
  virtual void UpdateItem(TdxBarItemControl* AControl);
  void CreateControls();
  void DestroyControls();
  virtual void RecreateControls();
  virtual void BarManagerStyleChanged() { RepaintBar(); }
  virtual bool CheckLockUpdate() const;
  virtual bool ChildrenHaveShadows() const { return false; }
  virtual TPoint NCOffset() const { return {0, 0}; }

  // --- Hints ---
  virtual bool CanShowHint() const { return !isActive_; }

  // --- Menu mode ---
  // Set while the bar's menus open on hover (a sub-item was pressed or
  // dropped down); cleared when the bar leaves the active chain.
  bool IsDowned() const { return isDowned_; }
  void SetIsDowned(bool Value) { isDowned_ = Value; }

 protected:
  // --- Window ---
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  virtual TClass GetViewInfoClass() const = 0;
  virtual void SetFont() {}
  virtual void DoPaint();
  void DrawItems(TcxCanvas* ACanvas);
  bool CanControlPaint(TdxBarItemControl* AControl) const;
  void PaintItem(TcxCanvas* ACanvas, TdxBarItemControl* AControl);
  virtual void DoRepaintBar(bool ARecreate);
  virtual void FillBackground(HDC DC, const TRect& R);
  friend void dxBarFillControlBackground(TCustomdxBarControl*, HDC,
                                         const TRect&, HBRUSH);

  // --- Mouse protocol ---
  bool NotHandleMouseMove(bool ACheckLastPosition) const;
  virtual void DoBarMouseEnter(TShiftState AShift, const TPoint& P,
                               TdxBarItemControl* AItem);
  virtual void DoBarMouseDown(TMouseButton AButton, TShiftState AShift,
                              bool AInClient, TdxBarItemControl* AItem,
                              const TPoint& P);
  virtual void DoBarMouseMove(TShiftState AShift, const TPoint& P,
                              TdxBarItemControl* AItem);
  virtual void DoBarMouseUp(TMouseButton AButton, TShiftState AShift,
                            bool AInClient, TdxBarItemControl* AItem,
                            const TPoint& P);
  virtual void DoBarMouseLeave();
  void MouseNotifyControls(TdxBarItemLink* ALink, const TPoint& P,
                           TShiftState AShift);
  virtual void FocusItemControl(TdxBarItemControl* AControl);
  virtual void DoBarGetFocus(TdxBarItemControl* AControl);
  virtual void DoBarLostFocus();
  virtual void DoSetIsActive(bool Value);
  virtual void DoHideAll();
  virtual bool CanActiveChange() const;
  void MouseLeaveBar();
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;

  // --- Message handlers ---
  void WMLButtonUp(TMessage& M);
  void WMLButtonDown(TMessage& M);
  void WMMouseMove(TMessage& M);
  void WMKeyDown(TMessage& M);
  void WMCaptureChanged(TMessage& M);

  TdxBarStates state_;
  Integer textSize_ = 0;
  TRect itemsRect_;
  TRect currentItemRect_;
  TPoint lastMousePos_{-1, -1};
  bool closedByEscape_ = false;
  bool ignoreMouseClick_ = false;
  bool isDowned_ = false;

 private:
  TdxBarItemLinks* itemLinks_ = nullptr;
  TObjectPtr<TCustomdxBarControlViewInfo> viewInfo_;
  TObjectPtr<TcxCanvas> canvas_;
  TObjectPtr<TcxScreenCanvas> screenCanvas_;
  TdxDockControl* dockControl_ = nullptr;
  TdxBarDockingStyle dockingStyle_ = dsNone;
  TCustomdxBarControl* parentBar_ = nullptr;
  TCustomdxBarControl* childBar_ = nullptr;
  TCustomdxBarControl* prevActiveBarControl_ = nullptr;
  TdxBarItemLink* selectedLink_ = nullptr;
  TdxBarItemLink* trackedLink_ = nullptr;
  TdxBarItemControl* clickedControl_ = nullptr;
  bool isActive_ = false;
  bool tracking_ = false;
  TdxBarMarkState markState_ = msNone;
  TdxBarViewState viewState_ = bvsNormal;
  friend class TdxBarItemControl;
};

// ---------------------------------------------------------------------------
// Toolbar control
// ---------------------------------------------------------------------------

// The window of one toolbar: docked as a child of a dock control or floating
// as a popup window with a caption. Lays out its item controls in one row
// or, multi-line, in several.
class TdxBarControl : public TCustomdxBarControl {
  VARNEL_CLASS(TdxBarControl, TCustomdxBarControl)
 public:
  explicit TdxBarControl(TComponent* AOwner);
  ~TdxBarControl() override;

  TdxBar* Bar() const { return bar_; }
  void SetBar(TdxBar* Value);
  TdxBarKind Kind() const override { return bkBarControl; }
  bool IsRealVertical() const override;
  bool IsVertical() const override;
  bool GetMultiLine() const;
  bool GetHorizontal() const;
  bool ItemsCut() const { return itemsCut_; }
  void SetItemsCut(bool Value) { itemsCut_ = Value; }
  bool Moving() const { return moving_; }
  // Saving its place into the bar or switching its style: the bar must
  // not place the window meanwhile.
  bool InInternalChange() const { return savingPos_ || internalLock_ > 0; }
  void SetDockingStyle(TdxBarDockingStyle Value) override;
  bool MarkExists() const override;
  TRect MarkRect() override;
  bool CanAlignControl(TdxBarItemControl* AControl) const override;
  TRect GetFullItemRect(TdxBarItemControl* AControl) const override;
  bool CanCustomizing() const;
  bool CanMoving() const;
  bool HasCaption() const { return true; }
  bool HasCloseButton() const;
  TdxBarMarkState CloseButtonState() const { return closeButtonState_; }
  void SetCloseButtonState(TdxBarMarkState Value);
  // The MDI child buttons stand on a main menu only while a child is
  // maximized; this program merges no MDI children.
  bool MDIButtonsOnBar() const { return false; }
  virtual bool RealMDIButtonsOnBar() const { return false; }

  // --- Placement (the model and the move loop drive these) ---
  // Docks the window on the dock control with its left-top at the screen
  // point (a new or joined row from the point).
  void ShowDocked(TdxDockControl* ADockControl, TPoint AScreenPoint);
  // Floats the window with its left-top at the screen point.
  void ShowFloating(TPoint AScreenPoint);
  void ChangeStyleWinTo(TdxBarDockingStyle AStyle, TdxDockControl* ADock);
  void SavePos();
  void SetNewBounds(const TRect& R);
  void FrameChanged();
  void RebuildBar();
  // Where the cursor grabs the bar in a style, from the grab ratio.
  TPoint GetDragPointOffset(TdxBarDockingStyle AStyle);
  Integer GetRow() const;
  Integer GetCol() const;
  TdxDockCol* GetDockCol() const;
  // The non-client size along X and Y.
  Integer BarNCSizeX(TdxBarDockingStyle AStyle) const;
  Integer BarNCSizeY(TdxBarDockingStyle AStyle) const;
  TRect ContentOffsets(TdxBarDockingStyle AStyle) const;

  // --- Sizes (the layout rules of the toolbar) ---
  Integer GetMinWidth(TdxBarDockingStyle AStyle);
  Integer GetMinHeight(TdxBarDockingStyle AStyle);
  Integer GetMaxWidth(TdxBarDockingStyle AStyle);
  Integer GetMaxHeight(TdxBarDockingStyle AStyle);
  TSize GetSizeForWidth(TdxBarDockingStyle AStyle, Integer AWidth);
  TSize GetSizeForHeight(TdxBarDockingStyle AStyle, Integer AHeight);
  TSize GetTrackSize(TdxBarDockingStyle AStyle);
  TSize GetMultiLineBarSize(TdxBarDockingStyle AStyle, Integer ALength,
                            TSize AMinSize);
  void CalcRowItemRects() override;
  void CalcLayout() override;
  void RepaintBar() override;

  // Last non-client hit code under the cursor (HTCAPTION over the grip).
  Integer HitCode() const { return hitCode_; }
  // The toolbar window the user is dragging, or null.
  static TdxBarControl* DraggedControl();
  // A floating window takes the bar's opacity; a docked one is opaque.
  void SetLayeredAttributes();
  // The close button of a floating bar, in window coordinates (empty
  // without one).
  TRect CloseButtonRectNC();

  // --- Caption buttons ---
  TdxBarCaptionButtons* GetCaptionButtons() const;
  // Lays the bar's caption buttons out in the floating caption, left of the
  // close button (empty rectangles while docked), and repaints the frame.
  virtual void UpdateCaptionButtons(TdxBarCaptionButton* AButton);
  virtual void CaptionButtonClick(Integer AIndex);
  // The painters call this from the floating caption.
  void DrawCaptionButtons(HDC DC);
  // The client origin in window coordinates.
  TPoint NCOffset() const override;

  // --- Mark ---
  void SetMarkState(TdxBarMarkState Value) override;
  void InvalidateMark();
  // The mark's state for where the mouse is now.
  void CheckMarkState();
  // While a floating bar's mark is hot a short poll notices the mouse
  // leaving it.
  void StartMoreButtonsHintTimer();
  void FinishMoreButtonsHintTimer();
  bool MoreButtonsHintTimerRunning() const { return moreButtonsTimer_ != 0; }
  void MoreButtonsHintTimer();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  TClass GetViewInfoClass() const override;
  void SetFont() override;
  void DoPaint() override;
  void DoRepaintBar(bool ARecreate) override;
  void DoBarMouseDown(TMouseButton AButton, TShiftState AShift, bool AInClient,
                      TdxBarItemControl* AItem, const TPoint& P) override;
  void DoBarMouseMove(TShiftState AShift, const TPoint& P,
                      TdxBarItemControl* AItem) override;
  void DoBarMouseLeave() override;
  void FillBackground(HDC DC, const TRect& R) override;
  virtual bool CanHideAllItemsInSingleLine() const { return false; }
  void DoNCPaint(HDC DC);
  void DrawCloseButton(HDC DC);
  void WMNCCalcSize(TMessage& M);
  void WMSizing(TMessage& M);
  void KeepOnWorkArea(WINDOWPOS& APos);
  void WMNCHitTest(TMessage& M);
  void WMLButtonDblClk(TMessage& M);
  void WMDestroy(TMessage& M);

 private:
  // The visible links' controls as the row layout sees them.
  std::vector<TdxBarItemControl*> VisibleControls();
  std::vector<TdxBarRowItem> MeasureItems(
      const std::vector<TdxBarItemControl*>& AControls);
  // Runs with the item links showing every item, restoring the count.
  template <class F>
  auto WithAllItems(F&& AFunc);
  TSize EmptyButtonSize();
  TSize FirstItemSize();
  // The move loop of the bars drives these.
  friend class TdxBars;
  // Follows the mouse while the close button is held; a release over it
  // hides the bar.
  void TrackCloseButton();
  // The press loop of a caption button; a release over it clicks it.
  void TrackCaptionButton(Integer AIndex);
  // Holds the mouse while a button of the frame is pressed: AShow is told
  // whether the cursor (window coordinates) is over the button; true when
  // the button is released over it.
  bool TrackFrameButton(const std::function<bool(const TPoint&)>& AOver,
                        const std::function<void(const TPoint&)>& AShow);
  // The floating caption in window coordinates and the size of its boxes.
  TRect CaptionRectNC(Integer& ABoxSize);
  void BeginMoving();
  void EndMoving();
  // Records the window's place in the bar, which leaves the window alone.
  void TellBarItsPlace();
  void ChangeBarControlPos(const TPoint& ACursor);

  TdxBar* bar_ = nullptr;
  TdxBarMarkState closeButtonState_ = msNone;
  bool itemsCut_ = false;
  bool moving_ = false;
  bool savingPos_ = false;
  Integer hitCode_ = 0;
  Integer internalLock_ = 0;
  UINT_PTR moreButtonsTimer_ = 0;
  TPoint grabPoint_;
  TSize grabSize_;
};

// ---------------------------------------------------------------------------
// Dock controls and rows
// ---------------------------------------------------------------------------

class TdxDockCol : public TObject {
  VARNEL_CLASS(TdxDockCol, TObject)
 public:
  TdxDockCol() = default;
  TdxDockCol(TdxDockRow* ARow, TdxBarControl* AControl)
      : Row(ARow), BarControl(AControl) {}
  void AssignPosition();
  TdxDockRow* Row = nullptr;
  TdxBarControl* BarControl = nullptr;
  TPoint Pos;  // the wanted position, in the dock's client coordinates
};

class TdxDockRow : public TObject {
  VARNEL_CLASS(TdxDockRow, TObject)
 public:
  TdxDockRow() = default;
  explicit TdxDockRow(TdxDockControl* ADockControl)
      : dockControl_(ADockControl) {}
  ~TdxDockRow() override;
  TdxDockControl* DockControl() const { return dockControl_; }
  Integer ColCount() const { return static_cast<Integer>(cols_.size()); }
  TdxDockCol* Cols(Integer AIndex) const {
    return cols_.at(static_cast<std::size_t>(AIndex)).get();
  }
  Integer BarCount() const { return static_cast<Integer>(bars_.size()); }
  TdxBar* Bars(Integer AIndex) const {
    return bars_.at(static_cast<std::size_t>(AIndex));
  }
  TdxDockCol* AddCol(TdxBarControl* AControl);
  TdxDockCol* InsertCol(Integer AIndex, TdxBarControl* AControl);
  void DeleteCol(Integer AIndex);
  void DeleteCol(TdxBarControl* AControl);
  Integer ColIndexOf(const TdxBarControl* AControl) const;
  void AddBar(TdxBar* ABar);
  bool HasBar(const TdxBar* ABar) const;
  void RemoveBar(TdxBar* ABar);
  bool GetVisible() const;
  void UpdateOneOnRows();

 private:
  TdxDockControl* dockControl_ = nullptr;
  std::vector<TObjectPtr<TdxDockCol>> cols_;
  std::vector<TdxBar*> bars_;
};

// A dock site: a strip along one side of a form (or a placed panel) on
// which toolbars lie in rows.
class TdxDockControl : public TCustomControl {
  VARNEL_CLASS(TdxDockControl, TCustomControl)
 public:
  explicit TdxDockControl(TComponent* AOwner);
  ~TdxDockControl() override;

  TdxBarManager* BarManager() const { return barManager_; }
  void SetBarManager(TdxBarManager* Value);
  // Binds a main dock to its manager and side.
  virtual void Setup(TdxBarManager* ABarManager, TdxBarDockingStyle AStyle);
  TdxBarDockingStyle DockingStyle() const;
  bool GetMain() const { return mainStyle_ != dsNone; }
  bool GetHorizontal() const;
  bool GetVertical() const { return !GetHorizontal(); }
  bool GetTopLeft() const;
  bool AllowDocking() const { return allowDocking_; }
  void SetAllowDocking(bool Value) { allowDocking_ = Value; }
  bool DestroyingBarWindow() const { return destroyingBarWindow_; }
  void SetDestroyingBarWindow(bool Value) { destroyingBarWindow_ = Value; }

  // --- Rows ---
  Integer RowCount() const { return static_cast<Integer>(rows_.size()); }
  TdxDockRow* Rows(Integer AIndex) const {
    return rows_.at(static_cast<std::size_t>(AIndex)).get();
  }
  Integer IndexOfRow(const TdxDockRow* ARow) const;
  TdxDockRow* AppendRow();
  TdxDockRow* FindBarRow(const TdxBar* ABar) const;
  // The model's placing of a bar: it leaves its row and joins ARow (rows are
  // appended up to it).
  void MoveBarToRow(TdxBar* ABar, Integer ARow);
  void RemoveBarFromRow(TdxBar* ABar);
  // Docks the toolbar at the screen point: a user's drop finds its row
  // from the point, a restored place (ARestoring) from the bar's Row and
  // OneOnRow.
  void AddBarControl(TdxBarControl* AControl, const TPoint& AScreenPoint,
                     bool APlace, bool ARestoring = false);
  void DeleteBarControl(TdxBarControl* AControl, bool AUpdate);
  void MoveBarControl(TdxBarControl* AControl, const TPoint& AScreenPoint);
  Integer GetRowAtPos(const TPoint& AScreenPoint, bool& ANewRow) const;
  Integer GetColAtPos(Integer ARow, const TPoint& AScreenPoint) const;
  TRect GetDockZoneBounds() const;
  TRect GetRectForRow(Integer ARow) const;
  Integer GetRowSize(Integer ARow) const;
  virtual Integer GetClientSize() const;
  Integer GetSize() const;
  virtual bool GetSunkenBorder() const;
  virtual bool CanDocking(TdxBar* ABar);
  virtual bool IsMultiRow() const { return true; }

  // --- Layout ---
  void UpdateDock();
  void PaintBarControls();
  virtual void CalcLayout();
  void CalcRowToolbarPositions(Integer ARow, Integer ALineLength);
  virtual void SetSize();
  void AssignPositions();
  virtual void FillBackground(HDC DC, const TRect& R);
  void RepaintBarControls();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DropEmptyRows();

 private:
  TdxDockRowsGeometry RowsGeometry() const;
  TdxBarManager* barManager_ = nullptr;
  TdxBarDockingStyle mainStyle_ = dsNone;
  std::vector<TObjectPtr<TdxDockRow>> rows_;
  bool allowDocking_ = true;
  bool destroyingBarWindow_ = false;
  bool updatingDock_ = false;
};

// The dock control placed on a form by its designer.
class TdxBarDockControl : public TdxDockControl {
  VARNEL_CLASS(TdxBarDockControl, TdxDockControl)
 public:
  explicit TdxBarDockControl(TComponent* AOwner);
  bool AllowZeroSizeInDesignTime = false;
  Integer GetMinSize() const;
  Integer GetClientSize() const override;
};
