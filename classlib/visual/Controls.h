// Controls: the base of every visual control. TControl holds what all
// controls share (bounds, alignment, visibility, colour and font, mouse and
// drag handling, message dispatch); TWinControl owns a system window and
// its child controls, focus and keyboard; TGraphicControl paints on its
// parent's window; TCustomControl is a window that paints itself.
//
// Messages reach a control through WindowProc (by default WndProc), which
// hands them to Dispatch: each class answers the messages it handles there
// and passes the rest to its parent class, and at the end DefaultHandler
// gives them to the system's window procedure.
#pragma once

// Classes.h comes before <windows.h>, whose GetObject macro would rename
// the TStrings member in every unit that includes this header.
#include "Classes.h"
//
#include <windows.h>

#include <vector>

#include "Dialogs.h"
#include "Graphics.h"
#include "Messages.h"
#include "SysUtils.h"
#include "Types.h"

class TControl;
class TWinControl;
class TCustomForm;
class TDragImageList;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;

using TWndMethod = TClosure<void(TMessage& Message)>;

VARNEL_EXCEPTION(EOutOfResources, EOutOfMemory)

// Raises EOSError with the system's text for GetLastError.
[[noreturn]] void RaiseLastWin32Error();

// ---------------------------------------------------------------------------
// Enumerations and sets
// ---------------------------------------------------------------------------

enum TAlign : Byte {
  alNone,
  alTop,
  alBottom,
  alLeft,
  alRight,
  alClient,
  alCustom
};
using TAlignSet = TSet<TAlign>;

enum TAnchorKind : Byte { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TAlignment : Byte { taLeftJustify, taRightJustify, taCenter };
enum TLeftRight : Byte { lrLeftJustify, lrRightJustify };
enum TBiDiMode : Byte {
  bdLeftToRight,
  bdRightToLeft,
  bdRightToLeftNoAlign,
  bdRightToLeftReadingOnly
};

enum TMouseButton : Byte { mbLeft, mbRight, mbMiddle };

// TShiftState comes from SysUtils.

enum TControlStyleFlag : Byte {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground,
};
using TControlStyle = TSet<TControlStyleFlag>;

enum TControlStateFlag : Byte {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
};
using TControlState = TSet<TControlStateFlag>;

enum TDragMode : Byte { dmManual, dmAutomatic };
enum TDragKind : Byte { dkDrag, dkDock };
enum TDragState : Byte { dsDragEnter, dsDragLeave, dsDragMove };
// CM_DRAG's WParam.
enum TDragMessage : Byte {
  dmDragEnter,
  dmDragLeave,
  dmDragMove,
  dmDragDrop,
  dmDragCancel,
  dmFindTarget
};

// Control borders and form borders share their first two values.
enum TFormBorderStyle : Byte {
  bsNone,
  bsSingle,
  bsSizeable,
  bsDialog,
  bsToolWindow,
  bsSizeToolWin
};
using TBorderStyle = TFormBorderStyle;

enum TScrollCode : Byte {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,
  scTrack,
  scTop,
  scBottom,
  scEndScroll
};

enum TImeMode : Byte {
  imDisable,
  imClose,
  imOpen,
  imDontCare,
  imSAlpha,
  imAlpha,
  imHira,
  imSKata,
  imKata,
  imChinese,
  imSHanguel,
  imHanguel
};

enum TOwnerDrawStateFlag : Byte {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;

using TCursor = Smallint;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

using TModalResult = Integer;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = idOK;
constexpr TModalResult mrCancel = idCancel;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = idYes;
constexpr TModalResult mrNo = idNo;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

using TMouseEvent = TClosure<void(TObject* Sender, TMouseButton Button,
                                  TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent =
    TClosure<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TMouseWheelEvent =
    TClosure<void(TObject* Sender, TShiftState Shift, Integer WheelDelta,
                  TPoint MousePos, bool& Handled)>;
using TKeyEvent = TClosure<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TClosure<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    TClosure<void(TObject* Sender, TObject* Source, Integer X, Integer Y,
                  TDragState State, bool& Accept)>;
using TDragDropEvent =
    TClosure<void(TObject* Sender, TObject* Source, Integer X, Integer Y)>;
class TDragObject;
using TStartDragEvent =
    TClosure<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent =
    TClosure<void(TObject* Sender, TObject* Target, Integer X, Integer Y)>;
using TContextPopupEvent =
    TClosure<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TClosure<void(TObject* Sender, Integer& NewWidth,
                                      Integer& NewHeight, bool& Resize)>;

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

// The shift state of a mouse message's WParam / of the keyboard now.
TShiftState MouseKeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState KeyboardStateToShiftState();

// The control whose window this is (null for foreign windows).
TWinControl* FindControl(HWND Handle);
// Observers of the messages, sent or posted, that reach the program's control
// windows, each told before the control handles it: what a thread's
// call-window-procedure hook would see of these windows, without the round
// trip through the system's hook chain that such a hook costs on every
// message sent.
using TWindowMessageObserver = void (*)(HWND Wnd, const TMessage& Message);
void AddWindowMessageObserver(TWindowMessageObserver Observer);
void RemoveWindowMessageObserver(TWindowMessageObserver Observer);
bool HasWindowMessageObserver(TWindowMessageObserver Observer);
// The system's shared cursors and icons (IDC_..., IDI_...): loaded once, as
// they stay the same for the life of the program and every load asks the
// window system.
HCURSOR SystemCursor(LPCSTR Id);
HICON SystemIcon(LPCSTR Id);
// The control under a screen point: the deepest windowed control, or the
// graphic control on it at that point.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
TWinControl* FindVCLWindow(const TPoint& Pos);
// The form a control sits on (null when on none).
TCustomForm* GetParentForm(TControl* Control);
// The control that holds the mouse capture (a graphic control too).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// ---------------------------------------------------------------------------
// TSizeConstraints
// ---------------------------------------------------------------------------

// Minimum and maximum size of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
  VARNEL_CLASS(TSizeConstraints, TPersistent)
 public:
  explicit TSizeConstraints(TControl* Control) : control_(Control) {}
  Integer MaxHeight() const { return maxHeight_; }
  Integer MaxWidth() const { return maxWidth_; }
  Integer MinHeight() const { return minHeight_; }
  Integer MinWidth() const { return minWidth_; }
  void SetMaxHeight(Integer Value);
  void SetMaxWidth(Integer Value);
  void SetMinHeight(Integer Value);
  void SetMinWidth(Integer Value);
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

 private:
  void Change();
  TControl* control_;
  Integer maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

// ---------------------------------------------------------------------------
// Drag objects
// ---------------------------------------------------------------------------

class TDragObject : public TObject {
  VARNEL_CLASS(TDragObject, TObject)
 public:
  TDragObject() = default;
  // The cursor while over a target that does or does not accept.
  virtual TCursor GetDragCursor(bool Accepted, Integer X, Integer Y);
  virtual void Finished(TObject* Target, Integer X, Integer Y, bool Accepted);
  TPoint DragPos;
  TControl* DragTarget = nullptr;
  TPoint DragTargetPos;
  bool Cancelling = false;
  bool Dropped = false;
  // Freed by the drag machinery when the drag ends (objects the library
  // made itself); an object from OnStartDrag stays its maker's.
  bool AutoFree = false;
};

// A drag that carries one control.
class TBaseDragControlObject : public TDragObject {
  VARNEL_CLASS(TBaseDragControlObject, TDragObject)
 public:
  explicit TBaseDragControlObject(TControl* AControl) : control_(AControl) {}
  TControl* Control() const { return control_; }
  void SetControl(TControl* Value) { control_ = Value; }

 protected:
  TControl* control_;
};

class TDragControlObject : public TBaseDragControlObject {
  VARNEL_CLASS(TDragControlObject, TBaseDragControlObject)
 public:
  explicit TDragControlObject(TControl* AControl)
      : TBaseDragControlObject(AControl) {}
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;
};

// The drag under way (null when none); its source control.
TDragObject* DragObject();
TControl* DragControl();
// Drives the drag under way: the pointer moved to a screen position / the
// button went up (Drop) or the drag was cancelled.
void DragTo(const TPoint& Pos);
void DragDone(bool Drop);
void CancelDrag();

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

class TControl : public TComponent {
  VARNEL_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // --- Parent and bounds ---
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* AParent);
  Integer Left() const { return left_; }
  Integer Top() const { return top_; }
  Integer Width() const { return width_; }
  Integer Height() const { return height_; }
  void SetLeft(Integer Value) { SetBounds(Value, top_, width_, height_); }
  void SetTop(Integer Value) { SetBounds(left_, Value, width_, height_); }
  void SetWidth(Integer Value) { SetBounds(left_, top_, Value, height_); }
  void SetHeight(Integer Value) { SetBounds(left_, top_, width_, Value); }
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                         Integer AHeight);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& R) {
    SetBounds(R.Left, R.Top, R.Width(), R.Height());
  }
  virtual TRect GetClientRect();
  TRect ClientRect() { return GetClientRect(); }
  Integer ClientWidth() { return GetClientRect().Width(); }
  Integer ClientHeight() { return GetClientRect().Height(); }
  void SetClientWidth(Integer Value);
  void SetClientHeight(Integer Value);
  virtual void SetClientSize(const TSize& Value);
  TPoint ClientOrigin();
  TPoint ClientToScreen(const TPoint& P);
  TPoint ScreenToClient(const TPoint& P);
  TPoint ClientToParent(const TPoint& P, TWinControl* AParent = nullptr);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return constraints_.get(); }
  void SetConstraints(TSizeConstraints* Value) { constraints_->Assign(Value); }

  // --- State ---
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  void Show();
  void Hide();
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  virtual bool GetEnabled() { return enabled_; }
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState Value) { controlState_ = Value; }

  // --- Text ---
  String Caption() { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }
  String Text() { return GetText(); }
  void SetText(const String& Value);
  virtual Integer GetTextLen();
  virtual String GetText();

  // --- Appearance ---
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value) { hint_ = Value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool Value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode Value);
  bool UseRightToLeftAlignment() const { return false; }
  // What form streams store: only what is not taken from the parent.
  bool IsColorStored() const { return !parentColor_; }
  bool IsFontStored() const { return !parentFont_; }
  bool IsShowHintStored() const { return !parentShowHint_; }
  bool IsRightToLeft() const { return biDiMode_ != bdLeftToRight; }

  // --- Popup menu and action ---
  // The menu a right click opens (when its AutoPopup is set).
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);
  // The action whose caption, state and hint the control shows and which
  // a click runs (when the control has no OnClick).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return actionLink_.get(); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // --- Drag ---
  TDragMode DragMode() const { return dragMode_; }
  virtual void SetDragMode(TDragMode Value) { dragMode_ = Value; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind Value) { dragKind_ = Value; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor Value) { dragCursor_ = Value; }
  // Starts a drag: at once, or (Threshold pixels; -1 = Mouse's) after the
  // pointer moved that far with the button held.
  void BeginDrag(bool Immediate, Integer Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;
  static void CancelDrag() { ::CancelDrag(); }
  // The images shown while this control is dragged; none by default.
  virtual TDragImageList* GetDragImages() { return nullptr; }

  // --- Mouse ---
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // --- Painting ---
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // --- Messages ---
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  // Replaceable window procedure; WndProc by default.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  // The per-class message handlers: answers what this class handles and
  // passes the rest to the parent class; the last stop is DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // --- Layout hooks ---
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  virtual void Resize();
  virtual void RequestAlign();
  void Realign();

  // --- Streaming ---
  // Renaming a control whose text was its name renames the text too.
  void SetName(const String& Value) override;
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;
  bool HasParent() override { return true; }
  void ReadState(TReader* Reader) override;
  void Loaded() override;

  // --- Events ---
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TContextPopupEvent OnContextPopup;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

  // --- Overridable behaviour (public so that the drag machinery, forms and
  // the component library's controls reach them) ---
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                         Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                       Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                            TPoint MousePos);
  // WM_MOUSEWHEEL arrives here; it goes on as CM_MOUSEWHEEL to the control
  // that takes it (the form's focused control), then up its parents.
  virtual void MouseWheelHandler(TMessage& Message);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, Integer X, Integer Y);
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                        bool& Accept);
  virtual void DragDrop(TObject* Source, Integer X, Integer Y);
  virtual void DragCanceled() {}
  // The colour children with ParentColor take.
  virtual void ChangeScale(Integer M, Integer D);

 protected:
  virtual void SetParentWindowsChanged() {}
  virtual void VisibleChanging() {}
  virtual void Changed();
  virtual void SetTextBuf(const String& Value);
  // Tells the parent that this control's bounds changed.
  void UpdateBoundsRect(const TRect& R);
  virtual void BoundsChanged() {}
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  void SendCancelMode(TControl* Sender);
  TColor ParentColorValue() const;

  // Handlers.
  void WMLButtonDown(TMessage& M, TMouseButton Button, bool Double);
  void WMButtonUp(TMessage& M, TMouseButton Button);
  void WMMouseMove(TMessage& M);
  void WMMouseWheel(TMessage& M);
  void CMParentColorChanged(TMessage& M);
  void CMParentFontChanged(TMessage& M);
  void CMMouseEnter(TMessage& M);
  void CMMouseLeave(TMessage& M);
  void CMDrag(TMessage& M);
  void FontChanged(TObject* Sender);

  String text_;
  TWinControl* parent_ = nullptr;
  Integer left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption,
                              csDoubleClicks};
  TControlState controlState_;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  bool parentFont_ = true;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  bool mouseInControl_ = false;
  TCursor cursor_ = crDefault;
  TCursor dragCursor_ = crDrag;
  TDragMode dragMode_ = dmManual;
  TDragKind dragKind_ = dkDrag;
  TBiDiMode biDiMode_ = bdLeftToRight;
  String hint_;

 private:
  friend class TWinControl;
  void ApplyAnchorsFromParent();
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  // Distances kept by right/bottom anchors, measured from the parent's
  // client size when the anchors were set.
  TPoint anchorOrigin_;
  Integer anchorWidth_ = 0;
  Integer anchorHeight_ = 0;
  TSize anchorParentSize_;
  // Set while the font takes the parent's, which keeps ParentFont.
  bool inheritingFont_ = false;
  bool anchorsValid_ = false;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TSizeConstraints> constraints_;
  TPopupMenu* popupMenu_ = nullptr;
  TObjectPtr<TControlActionLink> actionLink_;
};

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------

// What CreateParams fills and CreateWindowHandle passes to the system.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Integer X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  char WinClassName[64] = {};
};

class TWinControl : public TControl {
  VARNEL_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // --- Window ---
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND Value);
  // Re-creates the window (after a change of style that needs it).
  void RecreateWnd();
  // Destroys the window now; it comes back on demand.
  void DestroyHandle();
  bool Showing() const { return showing_; }

  // --- Children ---
  Integer ControlCount() const {
    return static_cast<Integer>(controls_.size());
  }
  TControl* Controls(Integer Index) const { return controls_.at(Index); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control);
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled,
                         bool AllowWinControls = false);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;

  // --- Alignment ---
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return alignLevel_ > 0; }
  void Realign();
  virtual void AdjustClientRect(TRect& Rect);
  TRect GetClientRect() override;

  // --- Focus and tabs ---
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool Value);
  Integer TabOrder() const;
  void SetTabOrder(Integer Value);
  virtual bool CanFocus();
  bool Focused();
  virtual void SetFocus();
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward,
                               bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void SelectFirst();

  // --- Appearance ---
  TBrush* Brush() const { return brush_.get(); }
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool Value) { doubleBuffered_ = Value; }
  bool ParentBackground() const {
    return controlStyle_.Contains(csParentBackground);
  }
  void SetParentBackground(bool Value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool Value) { parentCtl3D_ = Value; }
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode Value) { imeMode_ = Value; }
  const String& ImeName() const { return imeName_; }
  void SetImeName(const String& Value) { imeName_ = Value; }

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                 Integer AHeight) override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  String GetText() override;
  Integer GetTextLen() override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void Loaded() override;

  // Mouse messages over a graphic child go to the child; true when taken.
  bool IsControlMouseMsg(TMessage& Message);
  void PaintControls(HDC DC, TControl* First);

  // --- Events ---
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();
  // The window procedure of the system class this control wraps.
  WNDPROC DefWndProc() const { return defWndProc_; }
  void MainWndProc(TMessage& Message);
  virtual void AlignControls(TControl* AControl, TRect& Rect);

 protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // Registers the system class that CreateParams names, superclassing a
  // system control when WindowClass.lpszClassName names one.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  virtual void PaintWindow(HDC DC);
  virtual void UpdateShowing();
  void UpdateControlState();
  virtual bool DoKeyDown(TMessage& Message);
  virtual bool DoKeyUp(TMessage& Message);
  virtual bool DoKeyPress(TMessage& Message);
  bool DoKeyEvent(TMessage& Message, bool (TWinControl::*AFormStep)(TMessage&),
                  void (TWinControl::*AEvent)(Word&, TShiftState));
  void SetTextBuf(const String& Value) override;
  void SetParentWindowsChanged() override;
  void SetZOrderPosition(Integer Position);
  bool recreating_ = false;
  // Painted by the control itself even when it wraps a system class.
  bool paintsItself_ = false;

  void WMPaint(TMessage& M);
  void WMSize(TMessage& M);
  void WMMove(TMessage& M);
  void WMCommand(TMessage& M);
  void WMNotify(TMessage& M);
  void WMCtlColor(TMessage& M);
  void WMSetCursor(TMessage& M);
  void CNKeyDown(TMessage& M);
  void CNKeyUp(TMessage& M);
  void CNChar(TMessage& M);
  void CNSysChar(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMColorChanged(TMessage& M);
  void CMFontChanged(TMessage& M);
  void CMShowingChanged(TMessage& M);
  void CMVisibleChanged(TMessage& M);
  void WMEraseBkgnd(TMessage& M);
  void WMWindowPosChanged(TMessage& M);
  // Owner-draw item messages go to the child control they name.
  void WMOwnerItem(TMessage& M);
  // Scroll messages of a scroll-bar control go to that control.
  void WMScroll(TMessage& M);
  void WMCaptureChanged(TMessage& M);
  void WMKeyDown(TMessage& M);
  void WMKeyUp(TMessage& M);
  void WMChar(TMessage& M);
  void WMSetFocus(TMessage& M);
  void WMKillFocus(TMessage& M);
  void CNCtlColor(TMessage& M);
  void CMTextChanged(TMessage& M);
  void CMCtl3DChanged(TMessage& M);
  void CMShowHintChanged(TMessage& M);
  void CMOfferDialogKey(TMessage& M);
  // A system-wide change becomes the control notice of the same name.
  void WMSystemChange(TMessage& M);
  void CMSystemChange(TMessage& M);

  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;

 private:
  friend class TControl;
  friend class TCustomForm;
  friend LRESULT CALLBACK InitWndProc(HWND, UINT, WPARAM, LPARAM);
  void AlignAll();
  void UpdateBounds();
  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  WNDPROC objectInstance_ = nullptr;
  Integer alignLevel_ = 0;
  bool showing_ = false;
  bool tabStop_ = false;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  bool doubleBuffered_ = false;
  bool aligning_ = false;
  bool updatingBounds_ = false;
  TControl* requester_ = nullptr;
  TImeMode imeMode_ = imDontCare;
  String imeName_;
  std::unique_ptr<TBrush> brush_;
};

// ---------------------------------------------------------------------------
// TControlCanvas, TGraphicControl, TCustomControl
// ---------------------------------------------------------------------------

// A canvas on a control: on a windowed control's window, or clipped to a
// graphic control's area of its parent's window. The device context is
// taken on demand and given back by FreeHandle.
class TControlCanvas : public TCanvas {
  VARNEL_CLASS(TControlCanvas, TCanvas)
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* Value);
  void FreeHandle();
  void UpdateTextFlags() {}

 protected:
  void CreateHandle() override;

 private:
  TControl* control_ = nullptr;
  TWindowDC dc_;
};

// Paints through a control canvas on a DC it does not own (WM_PAINT's, an
// owner-drawn item's) for a scope: the canvas gives back its own window DC
// first, and lets go of the lent one and unlocks at scope exit.
class TControlPaintScope {
 public:
  TControlPaintScope(TControlCanvas* Canvas, HDC DC)
      : lock_(Canvas), dc_((Canvas->FreeHandle(), Canvas), DC) {}

 private:
  TCanvasLock lock_;
  TCanvasDCScope dc_;
};

class TGraphicControl : public TControl {
  VARNEL_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

class TCustomControl : public TWinControl {
  VARNEL_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void DestroyWnd() override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// ---------------------------------------------------------------------------
// THintWindow
// ---------------------------------------------------------------------------

class THintWindow : public TCustomControl {
  VARNEL_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* AOwner);
  // Shows Hint in Rect (screen coordinates), on top, without activation.
  virtual void ActivateHint(TRect Rect, const String& AHint);
  // The rectangle the text needs, at most MaxWidth wide.
  virtual TRect CalcHintRect(Integer MaxWidth, const String& AHint);
  void ReleaseHandle();
  bool IsHintShowing() const { return HandleAllocated() && activated_; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  bool activated_ = false;
};

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

class TMouse : public TObject {
  VARNEL_CLASS(TMouse, TObject)
 public:
  TMouse();
  HWND Capture() const { return ::GetCapture(); }
  void SetCapture(HWND Value);
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& Value);
  bool DragImmediate() const { return dragImmediate_; }
  void SetDragImmediate(bool Value) { dragImmediate_ = Value; }
  Integer DragThreshold() const { return dragThreshold_; }
  void SetDragThreshold(Integer Value) { dragThreshold_ = Value; }
  bool MousePresent() const { return ::GetSystemMetrics(SM_MOUSEPRESENT); }
  bool WheelPresent() const { return ::GetSystemMetrics(SM_MOUSEWHEELPRESENT); }
  Integer WheelScrollLines() const;

 private:
  bool dragImmediate_ = true;
  Integer dragThreshold_ = 5;
};

extern TMouse* Mouse;
