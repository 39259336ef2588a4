// The container unit: controls that host one inner window control (an edit,
// a list box) with the library's frame, shadow, state styles and scroll
// bars; the styles and style controllers they share; the drop-down popup
// windows and the thread hooks that close them; and the list box adapted to
// live inside a container.
//
// Sources: cxContainer.cpp (styles, style controllers, drawing and window
// routines, unit start-up), cxContainerControl.cpp (view info and container),
// cxContainerPopup.cpp (popup window and hooks), cxContainerListBox.cpp
// (inner list box).
#pragma once

// Classes.h comes before <windows.h> (see Controls.h).
#include "Classes.h"
//
#include <windows.h>

#include <memory>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "SysUtils.h"
//
#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxScrollBar.h"
#include "dxThemeManager.h"

class TcxContainer;
class TcxContainerStyle;
class TcxContainerStyles;
class TcxStyleController;
class TcxCustomPopupWindow;

// ---------------------------------------------------------------------------
// Types and messages
// ---------------------------------------------------------------------------

enum TcxContainerStateItem : Byte {
  csNormal,
  csActive,
  csDisabled,
  csHotTrack
};
using TcxContainerState = TSet<TcxContainerStateItem>;

enum TcxContainerBorderStyle : Byte {
  cbsNone,
  cbsSingle,
  cbsThick,
  cbsFlat,
  cbs3D,
  cbsUltraFlat,
  cbsOffice11
};

enum TcxContainerHotState : Byte { chsNoHotTrack, chsNormal, chsSelected };

enum TcxMouseButton : Byte { cxmbNone, cxmbLeft, cxmbRight, cxmbMiddle };

// The values a container style holds, 0..31; descendants add values from
// 10 on (cast their numbers to this type).
enum TcxContainerStyleValue : Byte {
  csvBorderColor,
  csvBorderStyle,
  csvColor,
  csvEdges,
  csvFont,
  csvHotTrack,
  csvShadow,
  csvTextColor,
  csvTextStyle,
  csvTransparentBorder
};
using TcxContainerStyleValues = TSet<TcxContainerStyleValue>;

constexpr Integer cxContainerStyleValueCount = 10;
extern const char* const cxContainerStyleValueNameA[cxContainerStyleValueCount];

constexpr UINT CM_CLOSEPOPUPWINDOW = 0x8065;
constexpr UINT CM_SHOWPOPUPWINDOW = 0x8066;
constexpr UINT CM_SHORTREFRESHCONTAINER = 0x8067;
constexpr UINT CM_UPDATESCROLLBARS = 0x8068;

// The part of an inner control that stays visible, in its own coordinates.
struct TcxContainerInnerControlBounds {
  bool IsEmpty = true;
  TRect Rect;
};

// Implemented by controls that live inside a container.
class IcxContainerInnerControl : public IInterface {
 public:
  static constexpr TGUID IID{0x1B111318,
                             0xD9C9,
                             0x4C35,
                             {0x9E, 0xFF, 0x5D, 0x95, 0x79, 0x3C, 0x01, 0x06}};
  virtual TWinControl* GetControl() = 0;
  virtual TcxContainer* GetControlContainer() = 0;

 protected:
  ~IcxContainerInnerControl() = default;
};

// ---------------------------------------------------------------------------
// Container styles
// ---------------------------------------------------------------------------

// The virtual constructor of a style class: owner, direct-access mode,
// parent style (none for the normal state) and state.
using TcxContainerStyleClass = TObjectPtr<TcxContainerStyle> (*)(
    TPersistent* AOwner, bool ADirectAccessMode,
    TcxContainerStyle* AParentStyle, TcxContainerStateItem AState);

template <class T>
TObjectPtr<TcxContainerStyle> cxNewContainerStyle(
    TPersistent* AOwner, bool ADirectAccessMode,
    TcxContainerStyle* AParentStyle, TcxContainerStateItem AState) {
  return TObjectPtr<TcxContainerStyle>(
      new T(AOwner, ADirectAccessMode, AParentStyle, AState));
}

// One state's look of a container: each value is the style's own, the
// style controller chain's, or a default that depends on the state.
class TcxContainerStyle : public TcxInterfacedPersistent,
                          public IdxSkinSupport {
  VARNEL_CLASS(TcxContainerStyle, TcxInterfacedPersistent)
 public:
  // --- Construction ---
  TcxContainerStyle(TPersistent* AOwner, bool ADirectAccessMode,
                    TcxContainerStyle* AParentStyle = nullptr,
                    TcxContainerStateItem AState = csNormal);
  ~TcxContainerStyle() override;
  void BeforeDestruction() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TcxInterfacedPersistent::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  void Assign(TPersistent* Source) override;

  // --- Properties ---
  TcxContainerStyleValues AssignedValues();
  void SetAssignedValues(TcxContainerStyleValues Value);
  TColor BorderColor();
  void SetBorderColor(TColor Value);
  TcxContainerBorderStyle BorderStyle();
  void SetBorderStyle(TcxContainerBorderStyle Value);
  TColor Color() { return GetColor(); }
  void SetColor(TColor Value);
  TcxBorders Edges();
  void SetEdges(TcxBorders Value);
  TFont* Font();
  void SetFont(TFont* Value);
  bool HotTrack();
  void SetHotTrack(bool Value);
  TcxLookAndFeel* LookAndFeel() { return GetLookAndFeel(); }
  void SetLookAndFeel(TcxLookAndFeel* Value);
  bool Shadow();
  void SetShadow(bool Value);
  TcxStyleController* StyleController() { return BaseGetStyleController(); }
  void SetStyleController(TcxStyleController* Value) {
    BaseSetStyleController(Value);
  }
  TColor TextColor() { return GetTextColor(); }
  void SetTextColor(TColor Value);
  TFontStyles TextStyle() { return GetTextStyle(); }
  void SetTextStyle(TFontStyles Value);
  bool TransparentBorder();
  void SetTransparentBorder(bool Value);

  bool DirectAccessMode() const { return directAccessMode_; }
  bool IsDestroying() const { return isDestroying_; }
  TcxContainerStyle* ParentStyle() const { return parentStyle_; }
  TcxContainerStateItem State() const { return state_; }
  TNotifyEvent OnChanged;

  // --- Methods ---
  void BeginUpdate();
  void EndUpdate();
  TcxStyleController* BaseGetStyleController();
  void BaseSetStyleController(TcxStyleController* Value);
  TcxStyleController* GetActiveStyleController();
  TcxContainerStyle* GetBaseStyle();
  TcxContainer* GetContainer();
  TcxLookAndFeel* GetLookAndFeel();
  bool GetStyleValue(const String& APropertyName,
                     TcxContainerStyleValue& AValue);
  TFont* GetVisibleFont();
  bool IsBaseStyle() const { return parentStyle_ == nullptr; }
  bool IsExtendedStylePropertyPublished(const String& APropertyName);
  void LockFontAssignedValue(bool ALock);
  // Writers: whether the property goes to a form stream.
  bool IsPropertyStored(const String& APropertyName);
  // Refreshes the own font of a base style from the controller chain.
  void UpdateFont();
  // The style's own assigned values, without the controller chain.
  bool OwnAssignedValuesContain(TcxContainerStyleValue AValue) const {
    return assignedValues_.Contains(AValue);
  }
  // Forgets one own value without reporting a change (the container does
  // this when a value it copied into the style came from its parent).
  void ExcludeAssignedValue(TcxContainerStyleValue AValue) {
    assignedValues_.Exclude(AValue);
  }

  // --- Overridables ---
  virtual void Changed();
  virtual void ControllerChangedNotification(
      TcxStyleController* AStyleController);
  virtual void ControllerFreeNotification(TcxStyleController* AStyleController);
  virtual TColor DefaultBorderColor();
  virtual TcxContainerBorderStyle DefaultBorderStyle();
  virtual TColor DefaultColor();
  virtual TcxBorders DefaultEdges();
  virtual bool DefaultHotTrack();
  virtual bool DefaultShadow();
  virtual TColor DefaultTextColor();
  virtual TFontStyles DefaultTextStyle();
  virtual bool DefaultTransparentBorder();
  virtual void FontChanged(TObject* Sender);
  virtual TColor GetColor();
  virtual TcxStyleController* GetDefaultStyleController();
  virtual TColor GetStyleColor();
  virtual TColor GetTextColor();
  virtual TFontStyles GetTextStyle();
  virtual TcxContainerStyleValues InternalGetNotPublishedExtendedStyleValues();
  virtual Integer GetStyleValueCount();
  virtual bool GetStyleValueName(TcxContainerStyleValue AStyleValue,
                                 String& AName);
  virtual bool HasBorder();
  virtual bool IsValueAssigned(TcxContainerStyleValue AValue);
  virtual void RestoreDefaults();

  // The resolution of each value through the assigned-value chain: true
  // when the style or its controller chain assigns it.
  bool InternalGetBorderColor(TColor& Color);
  bool InternalGetBorderStyle(TcxContainerBorderStyle& BorderStyle);
  bool InternalGetColor(TColor& Color);
  bool InternalGetEdges(TcxBorders& Edges);
  bool InternalGetFont(TFont*& Font);
  bool InternalGetHotTrack(bool& HotTrack);
  bool InternalGetShadow(bool& Shadow);
  bool InternalGetTextColor(TColor& TextColor);
  bool InternalGetTextStyle(TFontStyles& TextStyle);
  bool InternalGetTransparentBorder(bool& TransparentBorder);
  void DefineProperties(TFiler* Filer) override;

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;
  void CheckChanges();
  bool IsPublished(TcxContainerStyleValue AValue);

 private:
  template <class T>
  bool Resolve(TcxContainerStyleValue AValue, T& AResult,
               T TcxContainerStyle::*AField,
               bool (TcxContainerStyle::*AInternal)(T&));
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues);
  void ReadIsFontAssigned(TReader* Reader);
  void WriteIsFontAssigned(TWriter* Writer);
  void ResetFont();

  TcxContainerStyleValues assignedValues_;
  TColor borderColor_ = clDefault;
  TcxContainerBorderStyle borderStyle_ = cbsNone;
  TColor color_ = clWindow;
  bool directAccessMode_ = false;
  TcxBorders edges_ = cxBordersAll;
  TFont* font_ = nullptr;  // owned unless in direct-access mode
  std::unique_ptr<TFont> ownFont_;
  Integer fontAssignedValueLockCount_ = 0;
  bool hotTrack_ = true;
  bool isDestroying_ = false;
  bool modified_ = false;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  TcxContainerStyle* parentStyle_ = nullptr;
  bool shadow_ = false;
  TcxContainerStateItem state_ = csNormal;
  TcxStyleController* styleController_ = nullptr;
  TColor textColor_ = clWindowText;
  TFontStyles textStyle_;
  bool transparentBorder_ = true;
  Integer updateCount_ = 0;
  std::unique_ptr<TFont> visibleFont_;
};

// The four state styles of a container, popup or style controller.
class TcxContainerStyles : public TObject {
  VARNEL_CLASS(TcxContainerStyles, TObject)
 public:
  TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass);
  ~TcxContainerStyles() override;

  TcxContainerStyle* GetStyle(TcxContainerStateItem AState) const {
    return styles_[AState].get();
  }
  void SetStyle(TcxContainerStateItem AState, TcxContainerStyle* Value);
  TcxContainerStyle* GetStyleNormal() const { return GetStyle(csNormal); }
  TcxContainerStyle* GetStyleFocused() const { return GetStyle(csActive); }
  TcxContainerStyle* GetStyleDisabled() const { return GetStyle(csDisabled); }
  TcxContainerStyle* GetStyleHot() const { return GetStyle(csHotTrack); }
  void RestoreDefaults();
  void SetOnChanged(const TNotifyEvent& Value);

 private:
  TObjectPtr<TcxContainerStyle> styles_[4];
};

using TcxContainerStylesClass = TObjectPtr<TcxContainerStyles> (*)(
    TPersistent* AOwner, TcxContainerStyleClass AStyleClass);

// A set of state styles that several containers share.
class TcxStyleController : public TComponent {
  VARNEL_CLASS(TcxStyleController, TComponent)
 public:
  explicit TcxStyleController(TComponent* AOwner);
  ~TcxStyleController() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TcxStyleController* FakeStyleController();
  void SetFakeStyleController(TcxStyleController*) {}
  TcxContainerStyle* Style() { return GetStyle(); }
  TNotifyEvent OnStyleChanged;

  void Changed();
  void ChangeFontScale(Integer M, Integer D);
  TcxContainerStyle* GetStyle() { return styles_->GetStyleNormal(); }
  TcxContainerStyle* GetInternalStyle(TcxContainerStateItem AState) {
    return styles_->GetStyle(AState);
  }
  void SetInternalStyle(TcxContainerStateItem AState,
                        TcxContainerStyle* AStyle);
  void RestoreStyles() { styles_->RestoreDefaults(); }
  bool IsDestruction() const { return isDestruction_; }
  Integer ListenerCount() const {
    return static_cast<Integer>(listeners_.size());
  }
  bool HasListener(TcxContainerStyle* AStyle) const;

  // --- Overridables ---
  virtual void AddListener(TcxContainerStyle* AListener);
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerStylesClass GetStylesClass();
  virtual void RemoveListener(TcxContainerStyle* AListener);

 protected:
  // Makes the styles from the class getters. The base constructor can only
  // reach its own getters, so a descendant that overrides them calls this
  // again at the end of its own constructor (as containers do with
  // CreateContainerParts).
  void CreateStyles();
  void StyleChanged(TObject* Sender);

 private:
  std::vector<TcxContainerStyle*> listeners_;
  TObjectPtr<TcxContainerStyles> styles_;
  bool isDestruction_ = false;
  bool fontScaled_ = false;
};

// The controller plain container styles bind to; none until the editor
// layer sets its own default.
extern TcxStyleController* cxContainerDefaultStyleController;
TcxStyleController* DefaultContainerStyleController();

// ---------------------------------------------------------------------------
// Drawing and window routines
// ---------------------------------------------------------------------------

extern const TRect cxContainerDefaultBorderExtent;
extern TColor cxContainerShadowColor;
constexpr Integer cxContainerShadowWidth = 3;

Integer GetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle);
Integer GetContainerBorderWidth(TcxLookAndFeelKind ALookAndFeelKind);
void ExtendRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders);
// The border extent of a frame AWidth wide drawn on AEdges only.
TRect GetContainerEdgesExtent(Integer AWidth, TcxBorders AEdges);
void InflateRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders);
TRect GetControlRect(TControl* AControl);
void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R);
// Fills the ring of AOuter around AInner (all of AOuter when AInner is
// empty).
void cxFillRectRing(TcxCanvas* ACanvas, const TRect& AOuter,
                    const TRect& AInner, TColor AColor);
void InternalInvalidate(HWND AWnd, const TRect& AOuterRect,
                        const TRect& AInternalRect,
                        bool AEraseBackground = false);
void InternalInvalidateRect(TWinControl* AControl, const TRect& R,
                            bool AEraseBackground);

void SetWindowRegion(TWinControl* AControl,
                     const TcxContainerInnerControlBounds& ABounds);
void SetWindowShadowRegion(HWND AWnd, const TRect& R, bool ANoRegion,
                           bool AShadow, const TRect& AExcludeRect = TRect());

HWND NativeHandle(HWND AWnd);
bool HasNativeHandle(TWinControl* AControl, HWND AWnd,
                     bool AIncludeChildren = false);
bool HasHandle(TWinControl* AControl, HWND AWnd);
bool IsChildWindow(TWinControl* AParent, HWND AChild);
bool CheckParentsNativeHandle(TControl* AControl, HWND AWnd);
HWND FindFirstNonChildParentWindow(HWND AWnd);
TcxContainer* GetcxContainer(TWinControl* AControl);
bool HasOpenedPopupWindow(TWinControl* AControl);
HWND GetPopupOwnerControl(HWND AWnd);
bool CanShowHint(TWinControl* AControl);

void DisableWindow(std::vector<HWND>* AWindowList, HWND AWnd);
void EnableWindows(std::vector<HWND>* AWindowList);
void DisableAppWindows(bool ANeedDisable = true);
void EnableAppWindows();
bool IsInternalWindowsDisabled();
bool IsInternalWindowsDisabling();

bool AreVisualStylesMustBeUsed(bool ANativeStyle,
                               TdxThemedObjectType AThemedObjectType);
TRect GetSizeGripRect(IcxContainerInnerControl* AInnerControl);
bool UsecxScrollBars();
bool cxGetScrollBarInfo(HWND AWnd, LONG AObjectID, SCROLLBARINFO& AInfo);
bool KillMessages(HWND AWnd, UINT AMsgFilterMin, UINT AMsgFilterMax,
                  bool AKillAllMessages = true);
void LockCMActivateMessages(bool ALock);
TShiftState MouseButtonToShift(TMouseButton AButton);
TcxMouseButton ButtonTocxButton(TMouseButton AButton);
bool InternalCompareString(const String& S1, const String& S2,
                           bool ACaseSensitive);
TPoint InternalGetCursorPos();
TShiftState InternalGetShiftState();
bool InternalIsWindowVisible(TWinControl* AControl);
void AssignFonts(TFont* ADest, TFont* ASource);
TcxScreenCanvas* ScreenCanvas();

// ---------------------------------------------------------------------------
// Container view info
// ---------------------------------------------------------------------------

class TcxContainerViewInfo : public TObject {
  VARNEL_CLASS(TcxContainerViewInfo, TObject)
 public:
  TcxContainerViewInfo() = default;

  TColor BackgroundColor = clWindow;
  TColor BorderColor = clWindowFrame;
  TRect BorderRect;
  TcxContainerBorderStyle BorderStyle = cbsNone;
  Integer BorderWidth = 0;
  TRect Bounds;
  TRect ClientRect;
  TcxContainerState ContainerState{csNormal};
  TcxBorders Edges = cxBordersAll;
  TcxContainerHotState HotState = chsNormal;
  Integer NativePart = 0;
  Integer NativeState = 0;
  bool NativeStyle = false;
  TcxLookAndFeelPainterClass Painter = nullptr;
  bool Shadow = false;
  TdxThemedObjectType ThemedObjectType = totEdit;

  virtual void DrawBorder(TcxCanvas* ACanvas, TRect R);
  virtual TcxContainerBorderStyle GetContainerBorderStyle() {
    return BorderStyle;
  }
  virtual void InternalPaint(TcxCanvas* ACanvas);
  virtual void SetBackgroundColor(TColor Value) { BackgroundColor = Value; }
  virtual void Assign(TObject* Source);
  // A new empty region for the caller.
  virtual TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo);
  virtual void Offset(Integer DX, Integer DY);
  virtual void Paint(TcxCanvas* ACanvas);

 protected:
  void DrawClassicBackground(TcxCanvas* ACanvas);
  void DrawNativeBackground(TcxCanvas* ACanvas);
};

using TcxContainerViewInfoClass = TObjectPtr<TcxContainerViewInfo> (*)();

template <class T>
TObjectPtr<TcxContainerViewInfo> cxNewContainerViewInfo() {
  return TObjectPtr<TcxContainerViewInfo>(new T());
}

// ---------------------------------------------------------------------------
// TcxContainer
// ---------------------------------------------------------------------------

class TcxContainer : public TcxControl,
                     public IcxMouseTrackingCaller,
                     public IcxCompoundControl {
  VARNEL_CLASS(TcxContainer, TcxControl)
 public:
  // --- Construction ---
  explicit TcxContainer(TComponent* AOwner);
  ~TcxContainer() override;
  void BeforeDestruction() override;
  void Loaded() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  // IcxMouseTrackingCaller
  void MouseLeave() override { EndMouseTracking(); }
  // IcxCompoundControl
  TWinControl* GetActiveControl();

  // --- Properties ---
  TWinControl* InnerControl() const { return innerControl_; }
  void SetInnerControl(TWinControl* Value) { innerControl_ = Value; }
  TcxContainerViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TcxContainerStyle* ActiveStyle() { return GetActiveStyle(); }
  bool IsDestroying() { return GetIsDestroying(); }
  TcxContainerStyle* InternalStyle(TcxContainerStateItem AState) const {
    return styles_->GetStyle(AState);
  }
  TcxContainerStyles* Styles() const { return styles_.get(); }
  TcxContainerStyle* GetStyle() const { return styles_->GetStyleNormal(); }
  TcxContainerStyle* GetStyleDisabled() const {
    return styles_->GetStyleDisabled();
  }
  TcxContainerStyle* GetStyleFocused() const {
    return styles_->GetStyleFocused();
  }
  TcxContainerStyle* GetStyleHot() const { return styles_->GetStyleHot(); }
  void SetStyle(TcxContainerStyle* Value) {
    styles_->SetStyle(csNormal, Value);
  }
  void SetStyleDisabled(TcxContainerStyle* Value) {
    styles_->SetStyle(csDisabled, Value);
  }
  void SetStyleFocused(TcxContainerStyle* Value) {
    styles_->SetStyle(csActive, Value);
  }
  void SetStyleHot(TcxContainerStyle* Value) {
    styles_->SetStyle(csHotTrack, Value);
  }
  TcxStyleController* FakeStyleController() {
    return GetStyle()->StyleController();
  }
  void SetFakeStyleController(TcxStyleController*) {}
  bool InnerControlMouseDown() const { return innerControlMouseDown_; }
  void SetInnerControlMouseDown(bool Value) { innerControlMouseDown_ = Value; }
  bool SizeGripVisible() const { return sizeGripVisible_; }
  const TRect& SizeGripBounds() const { return sizeGripBounds_; }

  // --- Methods ---
  bool GetIsDestroying();
  bool IsStylePropertyPublished(const String& APropertyName, bool AExtended);
  void LockAlignControls(bool ALock);
  void LockPopupMenu(bool ALock);
  bool IsAlignControlsLocked() const { return alignControlsLockCount_ > 0; }
  bool IsPopupMenuLocked() const { return popupMenuLockCount_ > 0; }
  void RestoreStyles() { styles_->RestoreDefaults(); }
  void ShortRefreshContainer(bool AIsMouseEvent);
  void UpdateScrollBarsParameters();
  bool InnerControlMenuHandler(TMessage& Message);
  bool InnerControlDefaultHandler(TMessage& Message);
  void SetDragKind(TDragKind Value);

  // --- Class-library overrides ---
  TDragImageList* GetDragImages() override;
  void SetDragMode(TDragMode Value) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void Invalidate() override;
  void Update() override;
  void AdjustClientRect(TRect& Rect) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void SetFocus() override;
  bool GetIsFocused() override;
  bool Focused();
  bool CanFocusOnClick() override;
  TRect GetClientBounds() override;
  TcxLookAndFeel* GetLookAndFeelValue() override;
  bool NeedsScrollBars() override;
  bool AllowAutoDragAndDropAtDesignTime(Integer, Integer,
                                        TShiftState) override {
    return false;
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void Resize() override;
  void FocusChanged() override;
  void ColorChanged() override;
  void CursorChanged() override;
  void ChangeScale(Integer M, Integer D) override;
  void DragCanceled() override;
  bool MayFocus() override;

  // --- Overridables ---
  virtual bool IsContainerFocused();
  virtual void AdjustInnerControl();
  virtual void CalculateViewInfo(const TPoint& P, bool ANewHot);
  virtual bool CanContainerHandleTabs() { return true; }
  virtual bool CanHaveTransparentBorder();
  virtual bool CanShowPopupMenu(const TPoint&) { return true; }
  virtual void ContainerStyleChanged(TObject* Sender);
  virtual void DataChange() {}
  virtual void DataSetChange() { ShortRefreshContainer(false); }
  virtual bool DefaultParentColor() { return false; }
  virtual void EndMouseTracking();
  virtual TcxContainerStyle* GetActiveStyle();
  virtual TRect GetBorderExtent();
  virtual TcxContainerInnerControlBounds GetInnerControlBounds(
      const TRect& AInnerControlsRegion, TControl* AInnerControl);
  virtual TRect GetShadowBounds();
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerStylesClass GetStylesClass();
  virtual TcxContainerViewInfoClass GetViewInfoClass();
  virtual bool HasShadow();
  virtual void InnerControlWndProc(TMessage& Message);
  virtual TcxContainerStyle* InternalGetActiveStyle();
  virtual TcxContainerStyleValues InternalGetNotPublishedStyleValues() {
    return {};
  }
  virtual bool IsContainerClass() { return false; }
  virtual bool IsReadOnly() { return false; }
  virtual bool IsTransparentBackground() { return false; }
  virtual bool RefreshContainer(const TPoint& P, TcxMouseButton Button,
                                TShiftState Shift, bool AIsMouseEvent);
  virtual void SetShadowRegion();
  virtual void SetSize();
  virtual void SetVisibleBoundsClipRect();
  virtual void UpdateData() {}
  virtual void AdjustScrollBarPosition(TcxScrollBar* AScrollBar);
  virtual TdxThemedObjectType GetBackgroundThemedObjectType() {
    return totEdit;
  }
  virtual Integer GetBackgroundNativePart() { return 1; }
  virtual Integer GetBackgroundNativeState();
  virtual TRect GetScrollBarBounds(const TRect& AScreenRect);
  virtual bool GetScrollBarEnabled(TcxScrollBar* AScrollBar,
                                   const SCROLLBARINFO& AScrollBarInfo);
  virtual bool GetScrollBarInfo(SCROLLBARINFO& AScrollBarInfo,
                                TScrollBarKind AKind);
  virtual bool IsAdjustingScrollBarPositionNeeded(
      const SCROLLBARINFO& AScrollBarInfo);
  virtual bool IsNativeStyle();
  virtual void SafeSelectionFocusInnerControl();
  virtual void SetScrollBarVisible(TcxScrollBar* AScrollBar, bool AVisible);
  virtual void ClearSavedChildControlRegions();
  virtual TRect GetVisibleBounds();
  virtual bool HasPopupWindow() { return false; }
  virtual bool IsInplace() { return false; }
  virtual void SetScrollBarsParameters(bool AIsScrolling = false);
  virtual bool IsInnerControlBoundsChanged(
      TControl* AControl, const TcxContainerInnerControlBounds& Bounds);

 protected:
  // Makes the styles and the view info from the class getters. The base
  // constructor can only reach its own getters, so a descendant that
  // overrides them calls this again at the end of its own constructor.
  void CreateContainerParts();
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateHandle() override;
  void Paint() override;
  TcxContainerState CalculateContainerState(const TPoint& P, bool ANewHot);
  void EnabledChanged();
  bool IsCreating() const { return isCreating_; }
  bool InternalSetting() const { return internalSetting_; }
  // For descendants that recalculate their view info themselves.
  bool IsRefreshLocked() const { return refreshLocked_; }
  void SetViewInfoCalculated() { isViewInfoCalculated_ = true; }

 private:
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMWindowPosChanging(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  TcxContainerBorderStyle CalculateBorderStyle();
  void CalculateColors();

  TWinControl* innerControl_ = nullptr;
  TObjectPtr<TcxContainerStyles> styles_;
  TObjectPtr<TcxContainerViewInfo> viewInfo_;
  TcxContainerState activeStyleState_{csNormal};
  TcxContainerStyle* activeStyle_ = nullptr;
  bool isCreating_ = true;
  bool isDestroyingFlag_ = false;
  bool refreshLocked_ = false;
  bool isViewInfoCalculated_ = false;
  bool isRefreshing_ = false;
  bool internalSetting_ = false;
  bool scrollBarsCalculating_ = false;
  bool innerControlMouseDown_ = false;
  Integer alignControlsLockCount_ = 0;
  Integer popupMenuLockCount_ = 0;
  TcxContainerInnerControlBounds savedInnerControlBounds_;
  bool sizeGripVisible_ = false;
  TRect sizeGripBounds_;
};

// Calls of protected operations of the container for code of other units.
class _TcxContainerAccess {
 public:
  static void BeginAutoDrag(TcxContainer* AInstance);
  static void Click(TcxContainer* AInstance) { AInstance->Click(); }
  static void DblClick(TcxContainer* AInstance) { AInstance->DblClick(); }
  static bool DoMouseWheel(TcxContainer* AInstance, TShiftState Shift,
                           Integer WheelDelta, const TPoint& MousePos) {
    return AInstance->DoMouseWheel(Shift, WheelDelta, MousePos);
  }
  static void DragOver(TcxContainer* AInstance, TObject* Source, Integer X,
                       Integer Y, TDragState State, bool& Accept) {
    AInstance->DragOver(Source, X, Y, State, Accept);
  }
  static void KeyDown(TcxContainer* AInstance, Word& Key, TShiftState Shift) {
    AInstance->KeyDown(Key, Shift);
  }
  static void KeyPress(TcxContainer* AInstance, char& Key) {
    AInstance->KeyPress(Key);
  }
  static void KeyUp(TcxContainer* AInstance, Word& Key, TShiftState Shift) {
    AInstance->KeyUp(Key, Shift);
  }
  static void MouseDown(TcxContainer* AInstance, TMouseButton Button,
                        TShiftState Shift, Integer X, Integer Y) {
    AInstance->MouseDown(Button, Shift, X, Y);
  }
  static void MouseMove(TcxContainer* AInstance, TShiftState Shift, Integer X,
                        Integer Y) {
    AInstance->MouseMove(Shift, X, Y);
  }
  static void MouseUp(TcxContainer* AInstance, TMouseButton Button,
                      TShiftState Shift, Integer X, Integer Y) {
    AInstance->MouseUp(Button, Shift, X, Y);
  }
};

// ---------------------------------------------------------------------------
// Popup window
// ---------------------------------------------------------------------------

// Popups whose own window is not focused are kept above stay-on-top forms.
extern bool TopMostComboBoxes;

class TcxCustomPopupWindow : public TcxPopupWindow {
  VARNEL_CLASS(TcxCustomPopupWindow, TcxPopupWindow)
 public:
  // --- Construction ---
  explicit TcxCustomPopupWindow(TWinControl* AOwnerControl);
  ~TcxCustomPopupWindow() override;
  void BeforeDestruction() override;

  // --- Properties ---
  bool CaptureFocus() const { return captureFocus_; }
  void SetCaptureFocus(bool Value);
  TWinControl* FocusedControl() const { return focusedControl_; }
  void SetFocusedControlValue(TWinControl* Value) { focusedControl_ = Value; }
  bool IsTopMost() const { return isTopMost_; }
  void SetIsTopMost(bool Value);
  bool JustClosed() const { return justClosed_; }
  void SetJustClosed(bool Value) { justClosed_ = Value; }
  bool ModalMode() const { return modalMode_; }
  void SetModalMode(bool Value) { modalMode_ = Value; }
  TWinControl* OwnerControl() const { return ownerControl_; }
  TcxContainerStyle* Style() const { return style_.get(); }
  void SetStyle(TcxContainerStyle* Value) { style_->Assign(Value); }
  TcxContainerViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TNotifyEvent OnClosed;
  TNotifyEvent OnClosing;
  TNotifyEvent OnShowed;
  TNotifyEvent OnShowing;

  // --- Methods ---
  void ClosePopup();
  bool GetJustClosed();
  TWinControl* GetFirstFocusControl(TWinControl* AControl);
  bool HasCapture();
  bool IsVisible();
  bool IsOwnerControlVisible();
  void LockDeactivate(bool ALock);
  bool IsDeactivateLocked() const { return deactivateLockCount_ > 0; }
  bool Focused();
  bool CanFocus() override { return Visible(); }

  // --- Overridables ---
  virtual bool AcceptsAnySize() { return false; }
  virtual void DoClosed();
  virtual void DoClosing();
  virtual void DoShowed();
  virtual void DoShowing();
  virtual bool HasBackground() { return false; }
  virtual bool IsSysKeyAccepted(Word Key);
  virtual void ModalCloseUp() { CloseUp(); }
  virtual bool NeedIgnoreMouseMessageAfterCloseUp(HWND AWnd, UINT AMsg,
                                                  TShiftState AShift,
                                                  const TPoint& AMousePos);
  virtual void PopupWindowStyleChanged(TObject*) {}
  virtual void CorrectBoundsWithDesktopWorkArea(TPoint& APosition);
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerViewInfoClass GetViewInfoClass();
  using TcxPopupWindow::Popup;
  virtual void Popup(TWinControl* AFocusedControl);
  void CloseUp() override;
  TRect GetOwnerScreenBounds() override;
  void InitPopup() override {}

  void Dispatch(TMessage& Message) override;
  void AdjustClientRect(TRect& Rect) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void MouseEnter(TControl*) {}
  virtual void MouseLeave(TControl*) {}

 protected:
  void CreateHandle() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Deactivate() override;
  void Paint() override;
  void VisibleChanged() override;
  void RecreatePopup();
  // Makes the style and the view info from the class getters. The base
  // constructor can only reach its own getters: a descendant with its own
  // calls this again from its constructor.
  void CreatePopupParts();

 private:
  friend struct TcxPopupHooks;
  void ShowPopupLoop();

  bool captureFocus_ = true;
  Integer deactivateLockCount_ = 0;
  TWinControl* focusedControl_ = nullptr;
  bool isTopMost_ = false;
  bool justClosed_ = false;
  bool modalMode_ = true;
  TWinControl* ownerControl_ = nullptr;
  TObjectPtr<TcxContainerStyle> style_;
  TObjectPtr<TcxContainerViewInfo> viewInfo_;
};

// The popups open now, in the order they opened.
Integer cxOpenPopupWindowCount();
TcxCustomPopupWindow* cxOpenPopupWindow(Integer AIndex);
// Whether the mouse and get-message hooks are installed, and whether the
// call-window-procedure hook is (for tests and diagnostics).
bool cxPopupHooksInstalled();
bool cxPopupWindowHookInstalled();

// ---------------------------------------------------------------------------
// Inner list box
// ---------------------------------------------------------------------------

class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
  VARNEL_CLASS(TcxCustomInnerListBox, TListBox)
 public:
  // --- Construction ---
  explicit TcxCustomInnerListBox(TComponent* AOwner);
  ~TcxCustomInnerListBox() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  // IcxContainerInnerControl
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return container_; }

  // --- Properties ---
  TcxContainer* Container() const { return container_; }
  void SetContainer(TcxContainer* Value) { container_ = Value; }
  TcxCanvas* cxCanvas() const { return cxCanvas_.get(); }
  TcxScrollBar* HScrollBar() const { return hScrollBar_; }
  TcxScrollBar* VScrollBar() const { return vScrollBar_; }
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* Value);

  // --- Methods ---
  bool ItemVisible(Integer Index);
  TRect GetSizeGripRect();
  void DrawSizeGrip(HDC DC);
  void SaveCanvasParametersForFocusRect();
  void RestoreCanvasParametersForFocusRect();
  const String& AutoCompleteFilter() const { return autoCompleteFilter_; }

  // --- Overridables ---
  virtual void DoAutoComplete(char& Key);
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender,
                                  TcxLookAndFeelValues AChangedValues);
  virtual bool NeedDrawFocusRect() { return !OnDrawItem; }
  virtual void SetExternalScrollBarsParameters();
  virtual Integer FindAutoCompleteString(const String& AFilter);

  // --- Class-library overrides ---
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Click() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                    TPoint MousePos) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                bool& Accept) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;

 protected:
  void DestroyWindowHandle() override;
  void HScrollHandler(TObject* Sender, TScrollCode ScrollCode,
                      Integer& ScrollPos);
  void VScrollHandler(TObject* Sender, TScrollCode ScrollCode,
                      Integer& ScrollPos);

 private:
  void CreateScrollBars();
  void SetScrollBarParameters(TcxScrollBar* AScrollBar, LONG AObjectID,
                              int ABar);
  void WMLButtonDown(TMessage& Message);
  void CNDrawItem(TMessage& Message);

  TcxContainer* container_ = nullptr;
  std::unique_ptr<TcxCanvas> cxCanvas_;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  TcxScrollBar* hScrollBar_ = nullptr;  // owned as components
  TcxScrollBar* vScrollBar_ = nullptr;
  Integer scrollBarsLockCount_ = 0;
  bool scrollBarsCalculating_ = false;
  bool isRedrawLocked_ = false;
  String autoCompleteFilter_;
  DWORD prevKeyPressTime_ = 0;
  TColor savedBrushColor_ = clNone;
  TColor savedFontColor_ = clNone;
};
