// The control unit of the component library: the platform flags and desktop
// routines, the shared timer, popup forms and drag images, the services the
// controls use (mouse tracking, drag detection, popup menus, the settings
// controller) and the control base TcxControl with its scrolling machinery.
//
// Sources: cxControls.cpp (platform, unit start-up, control base),
// cxControlsPopups.cpp (timer, popup window, drag images),
// cxControlsServices.cpp (routines and companion classes),
// cxControlsScroll.cpp (scroll bars, wheel and auto-scroll of TcxControl).
#pragma once

// Classes.h comes before <windows.h> (see Controls.h).
#include "Classes.h"
//
#include <windows.h>

#include <memory>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "Types.h"
//
#include "cxClasses.h"
#include "cxGeometry.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxScrollBar.h"

// ---------------------------------------------------------------------------
// Platform flags
// ---------------------------------------------------------------------------

// Set once by the unit's start-up from Win32Platform, Win32MajorVersion and
// Win32MinorVersion; read-only afterwards.
extern bool IsWin95X;     // Windows 95 family or Win32s
extern bool IsWinNT;      // NT 4 or later
extern bool IsWin2KOrXP;  // NT 5 or later
extern bool IsWinXP;      // NT 5.1 or later
extern bool IsWinVista;   // major version 6 or later, any platform

struct TcxPlatformFlags {
  bool Win95X = false;
  bool WinNT = false;
  bool Win2KOrXP = false;
  bool WinXP = false;
  bool WinVista = false;
};

// The flags for a platform id (VER_PLATFORM_*) and version.
TcxPlatformFlags cxGetPlatformFlags(Integer APlatform, Integer AMajor,
                                    Integer AMinor);

// ---------------------------------------------------------------------------
// Desktop work area
// ---------------------------------------------------------------------------

// The work area of the monitor nearest to the screen point.
TRect GetDesktopWorkArea(const TPoint& P);
// The monitor's work area; the whole desktop's work area for no monitor or
// when the system lacks the multi-monitor functions.
TRect GetMonitorWorkArea(HMONITOR AMonitor);
// Moves ABounds into the work area of the monitor at ADesktopPoint. A
// rectangle larger than the area ends on the area's left and top edges.
void MakeVisibleOnDesktop(TRect& ABounds, const TPoint& ADesktopPoint);
// The same for the control's bounds, at their top-left corner.
void MakeVisibleOnDesktop(TControl* AControl);

class TcxControl;

// CM_MOUSEENTER and CM_MOUSELEAVE of a library control: the inherited
// handling, then the control's MouseEnter or MouseLeave with the control
// the message names (the receiver itself when it names none).
template <class T, class Inherited>
void cxDispatchMouseEnterLeave(T* AReceiver, TMessage& Message,
                               Inherited AInherited) {
  AInherited();
  auto* control = reinterpret_cast<TControl*>(Message.LParam);
  if (!control) control = AReceiver;
  if (Message.Msg == CM_MOUSEENTER)
    AReceiver->MouseEnter(control);
  else
    AReceiver->MouseLeave(control);
}

// ---------------------------------------------------------------------------
// Messages, cursors and shared values
// ---------------------------------------------------------------------------

// Posted to a control after its non-client metrics changed.
constexpr UINT CM_NCSIZECHANGED = 0x8131;

// The library's cursors in Screen->Cursors.
constexpr TCursor crcxHandPoint = -2099;
constexpr TCursor crDragCopy = 2100;
constexpr TCursor crFullScroll = 2101;
constexpr TCursor crHorScroll = 2102;
constexpr TCursor crVerScroll = 2103;
constexpr TCursor crUpScroll = 2104;
constexpr TCursor crRightScroll = 2105;
constexpr TCursor crDownScroll = 2106;
constexpr TCursor crLeftScroll = 2107;
constexpr TCursor crcxRemove = 2108;
constexpr TCursor crcxVertSize = 2109;
constexpr TCursor crcxHorzSize = 2110;
constexpr TCursor crcxMultiDragCursor = 2111;
constexpr TCursor crcxNoDrop = 2112;
constexpr TCursor crcxDrag = 2113;
constexpr TCursor crcxColorPicker = 2114;

extern UINT dxWMGetSkinnedMessage;
extern Byte cxDragAndDropWindowTransparency;
using TcxGetParentFormForDocking = TCustomForm* (*)(TControl* AControl);
using TcxGetParentWndForDocking = HWND (*)(HWND AWnd);
extern TcxGetParentFormForDocking cxGetParentFormForDocking;
extern TcxGetParentWndForDocking cxGetParentWndForDocking;

// ---------------------------------------------------------------------------
// Shared hidden window and timer
// ---------------------------------------------------------------------------

// A hidden window whose messages go to the virtual WndProc.
class TcxMessageWindow : public TObject {
  VARNEL_CLASS(TcxMessageWindow, TObject)
 public:
  TcxMessageWindow();
  ~TcxMessageWindow() override;
  HWND Handle() const { return handle_; }

 protected:
  virtual void WndProc(TMessage& Message);

 private:
  void MainWndProc(TMessage& Message) { WndProc(Message); }
  HWND handle_ = nullptr;
};

// The process's one shared message window, made on first use.
TcxMessageWindow* cxMessageWindow();

// A timer whose system timer runs on the one window all timers share.
class TcxTimer : public TComponent {
  VARNEL_CLASS(TcxTimer, TComponent)
 public:
  explicit TcxTimer(TComponent* AOwner);
  ~TcxTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return interval_; }
  // 0 is refused: the old interval stays.
  void SetInterval(Cardinal Value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(const TNotifyEvent& Value);
  // True while the system timer runs.
  bool TimerOn() const { return timerOn_; }
  // What a WM_TIMER of this timer does; public so that tests end a wait
  // by firing it.
  virtual void TimeOut();

 protected:
  bool CanSetTimer() const;
  void UpdateTimer();
  void KillTimer();
  void SetTimer();
  void SetTimerOn(bool Value);

 private:
  bool enabled_ = true;
  Cardinal interval_ = 1000;
  TNotifyEvent onTimer_;
  UINT_PTR eventId_;
  bool timerOn_ = false;
};

// The number of timers running now (for tests and diagnostics).
Integer cxRunningTimerCount();

// ---------------------------------------------------------------------------
// Popup window
// ---------------------------------------------------------------------------

enum TcxPopupAlignHorz : Byte { pahLeft, pahCenter, pahRight };
enum TcxPopupAlignVert : Byte { pavTop, pavCenter, pavBottom };
enum TcxPopupDirection : Byte { pdHorizontal, pdVertical };

// The form of drop-down windows and drag images: placed against an owner
// rectangle, flipped when there is more room on the other side, clamped to
// the work area across its direction.
class TcxPopupWindow : public TForm {
  VARNEL_CLASS(TcxPopupWindow, TForm)
 public:
  explicit TcxPopupWindow(TComponent* AOwner = nullptr);
  ~TcxPopupWindow() override;

  bool Adjustable() const { return adjustable_; }
  void SetAdjustable(bool Value) { adjustable_ = Value; }
  TcxPopupAlignHorz AlignHorz() const { return alignHorz_; }
  void SetAlignHorz(TcxPopupAlignHorz Value) { alignHorz_ = Value; }
  TcxPopupAlignVert AlignVert() const { return alignVert_; }
  void SetAlignVert(TcxPopupAlignVert Value) { alignVert_ = Value; }
  Integer BorderSpace() const { return borderSpace_; }
  void SetBorderSpace(Integer Value);
  TcxPopupBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TcxPopupBorderStyle Value);
  virtual TcxCanvas* Canvas() const { return canvas_.get(); }
  TcxPopupDirection Direction() const { return direction_; }
  void SetDirection(TcxPopupDirection Value) { direction_ = Value; }
  TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(TColor Value) { frameColor_ = Value; }
  const TRect& OwnerBounds() const { return ownerBounds_; }
  void SetOwnerBounds(const TRect& Value) { ownerBounds_ = Value; }
  TControl* OwnerParent() const { return ownerParent_; }
  void SetOwnerParent(TControl* Value) { ownerParent_ = Value; }
  HWND PrevActiveWindow() const { return prevActiveWindow_; }
  Integer NCWidth() const { return GetNCWidth(); }
  Integer NCHeight() const { return GetNCHeight(); }

  virtual TPoint CalculatePosition();
  virtual void CalculateSize();
  virtual Integer GetBorderWidth(TcxBorder ABorder);
  virtual TRect GetClientBounds();
  virtual Integer GetFrameWidth(TcxBorder ABorder);
  virtual TRect GetOwnerScreenBounds();
  virtual void InitPopup();
  virtual void DrawFrame();
  virtual void CloseUp();
  virtual void Popup();

  void Dispatch(TMessage& Message) override;

 protected:
  Integer GetNCWidth() const;
  Integer GetNCHeight() const;
  void RestoreControlsBounds();
  void Deactivate() override;
  void Paint() override;
  virtual void VisibleChanged() {}

 private:
  bool adjustable_ = true;
  TcxPopupAlignHorz alignHorz_ = pahLeft;
  TcxPopupAlignVert alignVert_ = pavBottom;
  Integer borderSpace_ = 0;
  TcxPopupBorderStyle borderStyle_ = pbsNone;
  std::unique_ptr<TcxCanvas> canvas_;
  TcxPopupDirection direction_ = pdVertical;
  TColor frameColor_ = clWindowText;
  HWND prevActiveWindow_ = nullptr;
  TRect ownerBounds_;
  TControl* ownerParent_ = nullptr;
};

// The pure placement rule: a popup of ASize against AOwner (screen
// coordinates) inside AWorkArea.
TPoint cxCalculatePopupPosition(const TRect& AOwner, const TSize& ASize,
                                TcxPopupDirection ADirection,
                                TcxPopupAlignHorz AAlignHorz,
                                TcxPopupAlignVert AAlignVert,
                                const TRect& AWorkArea);

// ---------------------------------------------------------------------------
// Drag images
// ---------------------------------------------------------------------------

// A semi-transparent topmost window that follows the mouse during a drag;
// it never takes the mouse.
class TcxDragImage : public TcxPopupWindow {
  VARNEL_CLASS(TcxDragImage, TcxPopupWindow)
 public:
  TcxDragImage();
  ~TcxDragImage() override;

  void Init(const TRect& ARect, const TPoint& P);
  void MoveTo(const TPoint& P);
  void Show();
  void Hide();
  bool Visible();
  void SetVisible(bool Value);
  bool AlphaBlended() const;
  TcxCanvas* Canvas() const override { return imageCanvas_.get(); }
  TcxCanvas* WindowCanvas() const { return TcxPopupWindow::Canvas(); }
  TBitmap* Image() const { return image_.get(); }
  const TPoint& HotSpot() const { return hotSpot_; }

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                 Integer AHeight) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  std::unique_ptr<TBitmap> image_;
  std::unique_ptr<TcxCanvas> imageCanvas_;
  TPoint hotSpot_;
};

enum TcxArrowPlace : Byte { apLeft, apTop, apRight, apBottom };

// The arrow that marks an insertion point during a drag.
class TcxDragAndDropArrow : public TcxDragImage {
  VARNEL_CLASS(TcxDragAndDropArrow, TcxDragImage)
 public:
  explicit TcxDragAndDropArrow(bool ATransparent);
  void Init(TControl* AOwner, const TRect& AAreaBounds,
            const TRect& AClientRect, TcxArrowPlace APlace);
  bool Transparent() const;

 protected:
  virtual TColor GetImageBackColor() const { return clFuchsia; }

 private:
  bool transparent_;
};

TRect GetDragAndDropArrowBounds(const TRect& AAreaBounds,
                                const TRect& AClientRect, TcxArrowPlace APlace);
void GetDragAndDropArrowPoints(const TRect& ABounds, TcxArrowPlace APlace,
                               std::vector<TPoint>& APoints, bool AForRegion);
void DrawDragAndDropArrow(TcxCanvas* ACanvas, const TRect& ABounds,
                          TcxArrowPlace APlace);

class TcxDragImageList : public TDragImageList {
  VARNEL_CLASS(TcxDragImageList, TDragImageList)
 public:
  explicit TcxDragImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
};

// The list box of customization forms whose items are dragged out.
class TcxCustomizeListBox : public TListBox {
  VARNEL_CLASS(TcxCustomizeListBox, TListBox)
 public:
  explicit TcxCustomizeListBox(TComponent* AOwner);
  TObject* ItemObject();
  void SetItemObject(TObject* Value);
  TObject* DragAndDropItemObject();
  Integer DragAndDropItemIndex() const { return dragAndDropItemIndex_; }

  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void BeginDragAndDrop();

 private:
  Integer dragAndDropItemIndex_ = -1;
  TPoint mouseDownPos_;
};

// ---------------------------------------------------------------------------
// Interfaces
// ---------------------------------------------------------------------------

class IcxMouseCaptureObject : public IInterface {
 public:
  static constexpr TGUID IID{0xACB73657,
                             0x6066,
                             0x4564,
                             {0x9A, 0x3D, 0xD4, 0xD0, 0x27, 0x3A, 0xA8, 0x2F}};
  virtual void DoCancelMode() = 0;

 protected:
  ~IcxMouseCaptureObject() = default;
};

class IcxMouseTrackingCaller : public IInterface {
 public:
  static constexpr TGUID IID{0x84A4BCBE,
                             0xE001,
                             0x4D60,
                             {0xB7, 0xA6, 0x75, 0xE2, 0xB0, 0xDC, 0xD3, 0xE9}};
  virtual void MouseLeave() = 0;

 protected:
  ~IcxMouseTrackingCaller() = default;
};

class IcxMouseTrackingCaller2 : public IcxMouseTrackingCaller {
 public:
  static constexpr TGUID IID{0x3A5D973B,
                             0xF016,
                             0x4F22,
                             {0x80, 0xB6, 0x1D, 0x35, 0x66, 0x8D, 0x77, 0x43}};
  virtual bool PtInCaller(const TPoint& P) = 0;

 protected:
  ~IcxMouseTrackingCaller2() = default;
};

// An element of a control's layout that takes part in hot tracking: it is
// told where the mouse is (-1, -1 when it left) and says whether its text
// needs a hint at a point, with the hint's text and rectangle.
class IcxHotTrackElement : public IInterface {
 public:
  static constexpr TGUID IID{0xE0E5C2B4,
                             0x1F6B,
                             0x4B8D,
                             {0x8E, 0x3A, 0x72, 0x1C, 0x55, 0x0D, 0x94, 0x2F}};
  virtual TPoint GetOrigin() = 0;
  virtual bool IsNeedHint(TcxCanvas* ACanvas, const TPoint& P, String& AText,
                          bool& AIsMultiLine, TRect& ATextRect,
                          bool& AIsNeedOffsetHint) = 0;
  virtual void UpdateHotTrackState(const TPoint& P) = 0;

 protected:
  ~IcxHotTrackElement() = default;
};

class IcxCompoundControl : public IInterface {
 public:
  static constexpr TGUID IID{0xA4A77F28,
                             0x1D03,
                             0x425B,
                             {0x9A, 0x83, 0x0B, 0x85, 0x3B, 0x5D, 0x8D, 0xEF}};

 protected:
  ~IcxCompoundControl() = default;
};

class IcxPopupMenu : public IInterface {
 public:
  static constexpr TGUID IID{0x61EEDA7D,
                             0x88CC,
                             0x45BF,
                             {0x8A, 0x00, 0x5C, 0x25, 0x17, 0x4D, 0x65, 0x01}};
  virtual bool IsShortCut(TMessage& Message) = 0;
  virtual void Popup(Integer X, Integer Y) = 0;

 protected:
  ~IcxPopupMenu() = default;
};

class IcxFontListener : public IInterface {
 public:
  static constexpr TGUID IID{0xB144DD7E,
                             0x0B27,
                             0x439A,
                             {0xB9, 0x08, 0xFC, 0x3A, 0xCF, 0xE6, 0xA2, 0xD3}};
  virtual void Changed(TObject* Sender, TFont* AFont) = 0;

 protected:
  ~IcxFontListener() = default;
};

// ---------------------------------------------------------------------------
// Routines
// ---------------------------------------------------------------------------

enum TcxDragDetect : Byte { ddNone, ddDrag, ddCancel };
enum TcxNumberType : Byte { ntInteger, ntFloat, ntExponent };

bool CanAllocateHandle(TControl* AControl);
// Runs a private loop until the mouse leaves the drag rectangle (ddDrag),
// a button goes up (ddNone) or Esc is pressed (ddCancel).
TcxDragDetect DragDetect(HWND Wnd);
Integer GetMouseKeys();
Integer ShiftStateToKeys(TShiftState Shift);
Integer GetDblClickInterval();
TPoint GetMouseCursorPos();
bool IsCtrlPressed();
// A press of any mouse button, in the client or the non-client area.
bool IsMouseDownMessage(UINT AMessage);
bool IsPointInDragDetectArea(const TPoint& AMouseDownPos, Integer X, Integer Y);
bool IsNumericChar(char C, TcxNumberType AType);
bool IsTextChar(char C);
Word TranslateKey(Word Key);
// The system header's macro of this name would hide the routine.
#ifdef GET_APPCOMMAND_LPARAM
#undef GET_APPCOMMAND_LPARAM
#endif
Word GET_APPCOMMAND_LPARAM(LPARAM lParam);
bool IsChildClassWindow(HWND AWnd);
bool IsChildEx(HWND AParentWnd, HWND AWnd);
bool IsOwner(HWND AOwnerWnd, HWND AWnd);
bool IsOwnerEx(HWND AOwnerWnd, HWND AWnd);
void MapWindowPoint(HWND AFrom, HWND ATo, TPoint& P);
void MapWindowRect(HWND AFrom, HWND ATo, TRect& R);
void RecreateControlWnd(TWinControl* AControl);
String RemoveAccelChars(const String& S);
void SetDesignerModified(TComponent* AComponent);
void DialogApplyFont(TCustomForm* AForm, TFont* AFont);
TcxPosition GetPointPosition(const TRect& R, const TPoint& P,
                             bool AHorzSeparation, bool AVertSeparation);
TDragObject* GetDragObject();

bool ShowPopupMenu(TComponent* ACaller, TComponent* AComponent, Integer X,
                   Integer Y);
bool ShowPopupMenuFromCursorPos(TComponent* ACaller, TComponent* AComponent);
bool IsPopupMenuShortCut(TComponent* AComponent, TMessage& Message);
Integer GetPopupMenuHeight(TPopupMenu* APopupMenu);

void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds,
                        IcxMouseTrackingCaller* ACaller);
void EndMouseTracking(IcxMouseTrackingCaller* ACaller);
bool IsMouseTracking(IcxMouseTrackingCaller* ACaller);
Integer MouseTrackingCount();
// Frees the trackers still registered. A leftover tracker is a leak of its
// caller: it is written to the debug log ("MouseTrackingTimerList.Count <>
// 0") and reported by the result, never thrown (this runs at shut-down).
bool FreeMouseTrackingList();

void ShowHourglassCursor();
void HideHourglassCursor();

// ---------------------------------------------------------------------------
// Companion classes of the control base
// ---------------------------------------------------------------------------

// Sends CM_NCSIZECHANGED to its controls when the non-client metrics change.
class TcxSettingsController : public TObject {
  VARNEL_CLASS(TcxSettingsController, TObject)
 public:
  TcxSettingsController();
  ~TcxSettingsController() override;
  void AddListener(TWinControl* AControl);
  void RemoveListener(TWinControl* AControl);
  HWND WindowHandle() const { return window_; }
  Integer ListenerCount() const {
    return static_cast<Integer>(listeners_.size());
  }

 protected:
  virtual void MainWndProc(TMessage& Message);

 private:
  std::vector<TWinControl*> listeners_;
  HWND window_ = nullptr;
};

TcxSettingsController* cxSettingsController();

// The library's own drag and drop inside one control.
class TcxDragAndDropObject : public TObject {
  VARNEL_CLASS(TcxDragAndDropObject, TObject)
 public:
  // AControl is the TcxControl (a component, so that the class reference
  // of TcxControl::GetDragAndDropObjectClass can make descendants).
  explicit TcxDragAndDropObject(TComponent* AControl);
  void SetDirty(bool Value);
  void ChangeMousePos(const TPoint& P);
  void DoBeginDragAndDrop();
  void DoDragAndDrop(const TPoint& P, bool& Accepted);
  void DoEndDragAndDrop(bool Accepted);

  TcxCanvas* Canvas() const { return canvas_; }
  TcxControl* Control() const { return control_; }
  bool Dirty() const { return dirty_; }
  const TPoint& CurMousePos() const { return curMousePos_; }
  const TPoint& PrevMousePos() const { return prevMousePos_; }
  virtual bool GetImmediateStart() { return false; }

 protected:
  virtual void DirtyChanged() {}
  virtual TCursor GetDragAndDropCursor(bool Accepted);
  virtual void AfterDragAndDrop(bool) {}
  virtual void BeginDragAndDrop() { DirtyChanged(); }
  virtual void DragAndDrop(const TPoint& P, bool& Accepted);
  virtual void EndDragAndDrop(bool) { SetDirty(true); }

 private:
  TcxControl* control_;
  TcxCanvas* canvas_;
  bool dirty_ = false;
  TPoint curMousePos_{-1, -1};
  TPoint prevMousePos_{-1, -1};
};

class TcxDragControlObject : public TDragControlObject {
  VARNEL_CLASS(TcxDragControlObject, TDragControlObject)
 public:
  explicit TcxDragControlObject(TControl* AControl)
      : TDragControlObject(AControl) {}
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;
};

// What a calculation pass decided for a scroll bar, applied at once.
struct TcxScrollBarData {
  Integer Min = 0;
  Integer Max = 100;
  Integer Position = 0;
  Integer PageSize = 0;
  Smallint SmallChange = 1;
  Smallint LargeChange = 1;
  bool Enabled = true;
  bool Visible = false;
  bool AllowShow = true;
  bool AllowHide = true;
};

class TcxControlScrollBar : public TcxScrollBar {
  VARNEL_CLASS(TcxControlScrollBar, TcxScrollBar)
 public:
  explicit TcxControlScrollBar(TComponent* AOwner);
  void ApplyData();
  TcxScrollBarData& Data() { return data_; }
  virtual void FocusParent();
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 private:
  TcxScrollBarData data_;
};

class TcxSizeGrip : public TCustomControl {
  VARNEL_CLASS(TcxSizeGrip, TCustomControl)
 public:
  explicit TcxSizeGrip(TComponent* AOwner);
  ~TcxSizeGrip() override;
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }

 protected:
  void Paint() override;

 private:
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
    Invalidate();
  }
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
};

class TcxControlChildComponent : public TcxComponent {
  VARNEL_CLASS(TcxControlChildComponent, TcxComponent)
 public:
  explicit TcxControlChildComponent(TComponent* AOwner);
  TcxControlChildComponent(TcxControl* AControl, bool AAssignOwner);
  ~TcxControlChildComponent() override;
  TcxControl* Control() const { return control_; }
  virtual bool GetIsDestroying();
  virtual void Initialize() {}
  virtual void SetControl(TcxControl* AControl) { control_ = AControl; }
  bool GetIsLoading() const;
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;
  bool HasParent() override { return control_ != nullptr; }

 private:
  TcxControl* control_ = nullptr;
};

// ---------------------------------------------------------------------------
// TcxControl
// ---------------------------------------------------------------------------

enum TcxControlBorderStyle : Byte { cxcbsNone, cxcbsDefault };
enum TcxDragAndDropState : Byte { ddsNone, ddsStarting, ddsInProcess };
enum TcxKey : Byte { kAll, kArrows, kChars, kTab };
using TcxKeys = TSet<TcxKey>;
enum TcxMouseWheelScrollingKind : Byte {
  mwskNone,
  mwskHorizontal,
  mwskVertical
};

class TcxControl : public TCustomControl, public IcxLookAndFeelContainer {
  VARNEL_CLASS(TcxControl, TCustomControl)
 public:
  explicit TcxControl(TComponent* AOwner);
  ~TcxControl() override;
  void BeforeDestruction() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TCustomControl::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  TcxLookAndFeel* GetLookAndFeel() override { return GetLookAndFeelValue(); }

  // --- Properties ---
  TcxCanvas* ActiveCanvas();
  TcxControlBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TcxControlBorderStyle Value);
  TcxCanvas* Canvas() const { return canvas_.get(); }
  TcxDragAndDropObject* DragAndDropObject();
  TClass DragAndDropObjectClass() const { return dragAndDropObjectClass_; }
  void SetDragAndDropObjectClass(TClass Value) {
    dragAndDropObjectClass_ = Value;
  }
  TcxDragAndDropState DragAndDropState() const { return dragAndDropState_; }
  void SetDragAndDropState(TcxDragAndDropState Value);
  bool FocusOnClick() const { return focusOnClick_; }
  void SetFocusOnClick(bool Value) { focusOnClick_ = Value; }
  bool HScrollBarVisible();
  bool VScrollBarVisible();
  bool IsDesigning() { return GetIsDesigning(); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  bool IsFocused() { return GetIsFocused(); }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsScrollingContent() const { return isScrollingContent_; }
  TcxKeys Keys() const { return keys_; }
  void SetKeys(TcxKeys Value) { keys_ = Value; }
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* Value);
  TObject* MouseCaptureObject() const { return mouseCaptureObject_; }
  void SetMouseCaptureObject(TObject* Value);
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* Value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  TcxControlScrollBar* HScrollBar() const { return hScrollBar_.get(); }
  TcxControlScrollBar* VScrollBar() const { return vScrollBar_.get(); }
  TcxSizeGrip* SizeGrip() const { return sizeGrip_.get(); }
  const TRect& ExplicitBounds() const { return explicitBounds_; }
  void SetExplicitBounds(const TRect& Value) { explicitBounds_ = Value; }
  const TPoint& MouseDownPos() const { return mouseDownPos_; }
  bool MouseButtonPressed() const { return mouseButtonPressed_; }

  // --- Methods ---
  void AddFontListener(IcxFontListener* AListener);
  void RemoveFontListener(IcxFontListener* AListener);
  void LockScrollBars();
  void UnlockScrollBars();
  void SetScrollBarInfo(TScrollBarKind AScrollBarKind, Integer AMin,
                        Integer AMax, Integer AStep, Integer APage,
                        Integer APos, bool AAllowShow, bool AAllowHide);
  void ScrollContent(TcxDirection ADirection);
  void ScrollWindow(Integer DX, Integer DY, const TRect& R);
  void InvalidateRect(const TRect& R, bool AEraseBackground);
  void InvalidateRgn(TcxRegion* ARegion, bool AEraseBackground);
  void InvalidateWithChildren();
  void UpdateWithChildren();
  void PostMouseMove();
  void PostMouseMove(const TPoint& P);
  bool IsMouseInPressedArea(Integer X, Integer Y);
  void FinishDragAndDrop(bool Accepted);
  bool IsMenuKey(TMessage& Message);
  // Middle-button auto-scroll; runs its own message loop.
  void DoScrolling();

  TNotifyEvent OnFocusChanged;

  // --- Class-library overrides ---
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TDragImageList* GetDragImages() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                    TPoint MousePos) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                bool& Accept) override;
  void Resize() override;

  // --- Overridables (first group) ---
  virtual bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  virtual void Modified();
  virtual void ParentBackgroundChanged() {}
  virtual void AfterMouseDown(TMouseButton AButton, Integer X, Integer Y);
  virtual bool AllowAutoDragAndDropAtDesignTime(Integer, Integer, TShiftState) {
    return true;
  }
  virtual void BeforeMouseDown(TMouseButton, TShiftState, Integer, Integer) {}
  virtual void BringInternalControlsToFront();
  virtual void CancelMouseOperations();
  virtual bool CanFocusOnClick();
  virtual bool CanFocusOnClick(Integer X, Integer Y);
  virtual bool FocusWhenChildIsClicked(TControl* AChild);
  virtual Integer GetBorderSize();
  virtual TRect GetBounds();
  virtual TRect GetClientBounds();
  virtual TCursor GetCursor(Integer X, Integer Y);
  virtual bool GetIsDesigning();
  virtual bool GetIsFocused();
  virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind();
  virtual bool HasBackground() { return false; }
  virtual void InitControl();
  virtual bool IsInternalControl(TControl* AControl);
  virtual TcxLookAndFeel* GetLookAndFeelValue();
  virtual TcxLookAndFeelPainterClass GetLookAndFeelPainter();
  virtual void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {}
  virtual bool CanScrollLineWithoutScrollBars(TcxDirection) { return false; }
  virtual TRect GetHScrollBarBounds();
  virtual TRect GetSizeGripBounds();
  virtual TRect GetVScrollBarBounds();
  virtual void InitScrollBarsParameters() {}
  virtual bool IsPixelScrollBar(TScrollBarKind) { return false; }
  virtual bool NeedsScrollBars() { return true; }
  virtual bool NeedsToBringInternalControlsToFront();
  virtual void Scroll(TScrollBarKind, TScrollCode, Integer&) {}
  virtual void SetInternalControlsBounds();
  virtual void UpdateInternalControlsState();
  virtual void UpdateScrollBars();
  virtual TClass GetDragAndDropObjectClass();
  virtual void DrawDragImage(TcxCanvas*, const TRect&) {}
  virtual TClass GetDragImagesClass();
  virtual TSize GetDragImagesSize() { return TSize{0, 0}; }
  virtual bool GetIsCopyDragDrop() { return IsCtrlPressed(); }
  virtual bool HasDragImages() { return false; }
  virtual void InitDragImages(TcxDragImageList* AList);
  virtual bool CanFocusEx();
  virtual bool AcceptMousePosForClick(Integer X, Integer Y);

  // --- Overridables (reactions) ---
  virtual void ColorChanged() {}
  virtual void VisibleChanged() {}
  virtual void AddChildComponent(TcxControlChildComponent* AComponent);
  virtual void RemoveChildComponent(TcxControlChildComponent* AComponent);
  virtual bool AllowDragAndDropWithoutFocus() { return false; }
  void BoundsChanged() override;
  virtual bool CanDrag(Integer X, Integer Y);
  virtual void CursorChanged();
  virtual void DoCancelMode();
  virtual void FocusChanged();
  virtual void FontChanged();
  virtual bool GetDesignHitTest(Integer X, Integer Y, TShiftState Shift);
  virtual TClass GetDragObjectClass();
  virtual bool MayFocus() { return true; }
  virtual void MouseEnter(TControl* AControl);
  virtual void MouseLeave(TControl* AControl);
  virtual void TextChanged() {}
  virtual void DragAndDrop(const TPoint& P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted);
  virtual bool StartDragAndDrop(const TPoint&) { return false; }
  virtual bool StartDrag(TDragObject*&) { return true; }
  virtual void BeginDragAndDrop();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void Paint() override;
  void CreateScrollBars();
  void DestroyScrollBars();
  void CheckNeedsScrollBars();
  void InitScrollBars();
  void HideDragImage();
  void ShowDragImage();
  // The scroll events of the two bars.
  void HScrollHandler(TObject* Sender, TScrollCode ScrollCode,
                      Integer& ScrollPos);
  void VScrollHandler(TObject* Sender, TScrollCode ScrollCode,
                      Integer& ScrollPos);

 private:
  void LookAndFeelChangeHandler(TcxLookAndFeel* Sender,
                                TcxLookAndFeelValues AChangedValues);
  void WMGetDlgCode(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CMNCSizeChanged(TMessage& Message);
  void CalculateScrollBarsParams();
  void ApplyScrollBarsData();
  void SetMouseDownPos(TMouseButton Button, Integer& X, Integer& Y);

  std::unique_ptr<TcxCanvas> activeCanvas_;
  TcxControlBorderStyle borderStyle_ = cxcbsNone;
  bool calculatingScrollBarsParams_ = false;
  std::unique_ptr<TcxCanvas> canvas_;
  bool creatingWindow_ = false;
  TCursor defaultCursor_ = crDefault;
  TObjectPtr<TcxDragAndDropObject> dragAndDropObject_;
  TClass dragAndDropObjectClass_ = nullptr;
  TCursor dragAndDropPrevCursor_ = crDefault;
  TcxDragAndDropState dragAndDropState_ = ddsNone;
  std::unique_ptr<TcxDragImageList> dragImages_;
  bool finishingDragAndDrop_ = false;
  bool focusOnClick_ = true;
  std::vector<IcxFontListener*> fontListeners_;
  std::unique_ptr<TcxControlScrollBar> hScrollBar_;
  bool initialHScrollBarVisible_ = false;
  bool initialVScrollBarVisible_ = false;
  bool initialScrollBarsParamsReached_ = false;
  TcxKeys keys_;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  bool mouseButtonPressed_ = false;
  TObject* mouseCaptureObject_ = nullptr;
  TPoint mouseDownPos_;
  bool mouseRightButtonReleased_ = false;
  TComponent* popupMenu_ = nullptr;
  TScrollStyle scrollBars_ = ssBoth;
  Integer scrollBarsLockCount_ = 0;
  bool scrollBarsUpdateNeeded_ = false;
  std::unique_ptr<TcxSizeGrip> sizeGrip_;
  bool updatingScrollBars_ = false;
  std::unique_ptr<TcxControlScrollBar> vScrollBar_;
  bool isScrollingContent_ = false;
  bool lastParentBackground_ = true;
  TRect explicitBounds_;
  // Set while a left press goes to the handlers without the class
  // library's own drag start.
  bool bypassLibraryDragStart_ = false;
};

// The direction and speed (1 to 12; 0 in the neutral zone) of middle-button
// auto-scrolling with the cursor at P; ALeftZone is set once P left the
// neutral zone around AAnchor.
void cxCalculateAutoScroll(const TPoint& AAnchor, const TPoint& P,
                           Integer ABitmapWidth, bool AHorzVisible,
                           bool AVertVisible, TcxDirection& ADirection,
                           Integer& ASpeed, bool& ALeftZone);
