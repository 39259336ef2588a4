// The drop-down editors: the text editor with a popup that opens from its
// button, keys, typing and code and closes with a reason, and the popup
// window itself, which sizes itself from its editor's settings, places
// itself next to the editor with its sizing corner away from it, draws a
// border in one of four styles with an optional client edge and shadow, and
// can show a system panel with a sizing grip and a close button. Windows
// only.
#pragma once

#include "Forms.h"
#include "cxContainer.h"
#include "cxEdit.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxTextEdit.h"

// Passes a character typed into the editor on to the popup's focused
// window (wParam: the character).
constexpr UINT CM_POPUPCONTROLKEY = 0x806B;
// Posted to the editor itself after a paste opened the popup: the lookup
// then finds the pasted text.
constexpr UINT CM_DROPDOWNBYPASTE = 0x806C;

enum TcxEditCorner : Byte {
  ecoTopLeft,
  ecoTopRight,
  ecoBottomLeft,
  ecoBottomRight
};
enum TcxEditMouseSizingDirection : Byte {
  mmdWE,
  mmdNS,
  mmdNWSE,
  mmdNESW,
  mmdNone
};

inline bool IsLeftCorner(TcxEditCorner ACorner) {
  return ACorner == ecoTopLeft || ACorner == ecoBottomLeft;
}
inline bool IsTopCorner(TcxEditCorner ACorner) {
  return ACorner == ecoTopLeft || ACorner == ecoTopRight;
}

// The visual-styles state of the window close button for a button state
// (0 for a state it has none for).
Integer cxEditPopupCloseButtonThemeState(TcxButtonState AState);
// The cursor of a sizing direction (each component -1, 0 or 1).
TCursor cxEditPopupSizingCursor(Integer AHorz, Integer AVert);

// What the popup window asks of the drop-down editor that owns it. A popup
// whose owner control does not implement it sizes itself from its own
// settings alone.
class IcxEditPopupWindowOwner {
 public:
  virtual void CloseUp(TcxEditCloseUpReason AReason) = 0;
  virtual void DoFinalizePopup() = 0;
  // The editor's bounds in the client coordinates of its parent.
  virtual TRect GetPopupWindowOwnerControlBounds() = 0;
  virtual TSize GetPopupWindowClientPreferredSize() = 0;
  virtual void PositionPopupWindowChilds(const TRect& AClientRect) = 0;
  virtual bool PopupWindowAcceptsAnySize() = 0;
  // The look-and-feel of the controls inside the popup (none: the root).
  virtual TcxLookAndFeel* PopupControlsLookAndFeel() = 0;
  // Whether the editor's lookup list lives in the popup; when it does, a
  // resize by the user offers the new client size to the list, which may
  // adjust it (answer True) or refuse it (False).
  virtual bool IsLookupDataVisual() = 0;
  virtual bool CanResizeVisualArea(TSize& AClientSize, Integer AMaxHeight,
                                   Integer AMaxWidth) = 0;
  // The user changed the popup's size by the mouse.
  virtual void PopupWindowSizeChanged() = 0;

 protected:
  ~IcxEditPopupWindowOwner() = default;
};

class TcxCustomEditPopupWindowViewInfo;

using TcxCustomDrawBorderEvent = TClosure<void(
    TcxCustomEditPopupWindowViewInfo* AViewInfo, TcxCanvas* ACanvas,
    Integer& ABorderWidth, bool& AHandled, const TRect& R)>;

// ---------------------------------------------------------------------------
// View info
// ---------------------------------------------------------------------------

class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
  VARNEL_CLASS(TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo)
 public:
  // --- Fields ---
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  bool ClientEdge = false;
  bool CloseButton = false;
  TRect CloseButtonRect;
  TcxButtonState CloseButtonState = cxbsNormal;
  Integer CloseButtonNativeState = 0;
  TcxLookAndFeelKind CloseButtonStyle = lfUltraFlat;
  Integer MinSysPanelHeight = 0;
  TcxLookAndFeelPainterClass SkinPainter = nullptr;
  bool Sizeable = false;
  TcxEditCorner SizingCorner = ecoBottomRight;
  TRect SizeGripRect;
  TRect SizeGripSizingRect;
  TRect InnerRect;
  Integer SizingWidth = 0;
  Integer SysPanelHeight = 0;
  bool SysPanelStyle = false;
  TcxCustomDrawBorderEvent OnCustomDrawBorder;

  // --- Overridables ---
  virtual void Calculate();
  // Draws the border on R and shrinks R to what is inside it.
  virtual void DrawBorder(TcxCanvas* ACanvas, TRect& R);
  virtual TRect GetBorderExtent();
  virtual TRect GetClientExtent();
  virtual Integer GetSysPanelHeight();
  // Also sets the sizing direction of the unit's mouse sizing.
  virtual bool IsSizingPlace(Integer X, Integer Y);

  // --- Methods ---
  bool DrawCustomBorder(TcxCanvas* ACanvas, const TRect& R,
                        Integer& ABorderWidth);
  // B (the border) plus, when asked for, E (the client edge).
  Integer GetFrameWidth(bool AIncludeClientEdge);
  Integer GetClientEdgeWidth();
  // Whether the window close button and size box are drawn themed.
  bool IsSysPanelThemed();
  // S: the size of the system panel's buttons.
  Integer GetButtonSize();
  // The sizing direction IsSizingPlace found last.
  Integer SizingDirectionX() const { return sizingDirectionX_; }
  Integer SizingDirectionY() const { return sizingDirectionY_; }

  void InternalPaint(TcxCanvas* ACanvas) override;

 protected:
  virtual void DrawFrame3DBorder(TcxCanvas* ACanvas, TRect& R);
  void DrawSizeGrip(TcxCanvas* ACanvas);
  void DrawCloseButton(TcxCanvas* ACanvas);

 private:
  Integer sizingDirectionX_ = 0;
  Integer sizingDirectionY_ = 0;
};

// ---------------------------------------------------------------------------
// Popup window
// ---------------------------------------------------------------------------

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
  VARNEL_CLASS(TcxCustomEditPopupWindow, TcxCustomPopupWindow)
 public:
  // --- Construction ---
  explicit TcxCustomEditPopupWindow(TWinControl* AOwnerControl);
  ~TcxCustomEditPopupWindow() override;

  // --- Properties ---
  IcxEditPopupWindowOwner* GetEdit();
  TcxCustomEditPopupWindowViewInfo* ViewInfo() const {
    return static_cast<TcxCustomEditPopupWindowViewInfo*>(
        TcxCustomPopupWindow::ViewInfo());
  }
  bool PopupAutoSize() const { return popupAutoSize_; }
  void SetPopupAutoSize(bool Value);
  TcxEditPopupBorderStyle BorderStyle() const;
  void SetBorderStyle(TcxEditPopupBorderStyle Value);
  bool ClientEdge() const { return ViewInfo()->ClientEdge; }
  void SetClientEdge(bool Value);
  bool CloseButton() const { return ViewInfo()->CloseButton; }
  void SetCloseButton(bool Value);
  Integer GetMinSysPanelHeight() const { return ViewInfo()->MinSysPanelHeight; }
  void SetMinSysPanelHeight(Integer Value);
  bool NativeStyle() const { return ViewInfo()->NativeStyle; }
  void SetNativeStyle(bool Value);
  bool Shadow() const { return ViewInfo()->Shadow; }
  void SetShadow(bool Value);
  bool Sizeable() const { return ViewInfo()->Sizeable; }
  void SetSizeable(bool Value);
  bool SysPanelStyle() const { return ViewInfo()->SysPanelStyle; }
  void SetSysPanelStyle(bool Value);
  TcxEditCorner SizingCorner() const { return ViewInfo()->SizingCorner; }
  bool IsSizing() const { return sizing_; }

  // Plain settings the editor writes before every drop-down.
  Integer MinWidth = 0;     // 0: no minimum
  Integer MinHeight = 0;    // 0: no minimum
  Integer PopupWidth = 0;   // 0: the owner's width
  Integer PopupHeight = 0;  // 0 or less: the minimal height
  bool SettingUp = false;   // while the editor sets the popup up

  // --- Methods ---
  void RefreshPopupWindow();
  // Sets the window region of the current bounds and sizing corner.
  void SetPopupWindowRegion();
  // The largest client size a lookup list in the popup may take.
  TSize GetMaxVisualAreaSize();

  // --- Overridables ---
  virtual void CalculateViewInfo();
  virtual void DoPopupControlKey(char Key);
  virtual TSize GetMinSize();

  // --- Overrides ---
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void AdjustClientRect(TRect& Rect) override;
  TPoint CalculatePosition() override;
  void CalculateSize() override;
  bool AcceptsAnySize() override;
  void DoClosed() override;
  void DoClosing() override;
  void DoShowed() override;
  void ModalCloseUp() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  using TcxCustomPopupWindow::Popup;
  void Popup(TWinControl* AFocusedControl) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void MouseLeave(TControl* AControl) override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  void DrawSizeFrame(const TRect& R);
  void SetCloseButtonState(TcxButtonState AState);
  void RepaintCloseButton();
  void ShowSizingCursor(Integer AHorz, Integer AVert);

  bool popupAutoSize_ = false;
  // Mouse sizing.
  bool sizing_ = false;
  bool sizingCursorShown_ = false;
  Integer sizingX_ = 0;
  Integer sizingY_ = 0;
  TPoint grabOffset_;
  TPoint pressPos_;  // screen
  TRect pressBounds_;
  TRect sizeFrame_;
  TRect lastSizeFrame_;
};

// ---------------------------------------------------------------------------
// Drop-down edit
// ---------------------------------------------------------------------------

class TcxCustomDropDownEditProperties : public TcxCustomTextEditProperties {
  VARNEL_CLASS(TcxCustomDropDownEditProperties, TcxCustomTextEditProperties)
 public:
  // --- Construction ---
  explicit TcxCustomDropDownEditProperties(TPersistent* AOwner = nullptr);
  void Assign(TPersistent* Source) override;

  // --- Properties ---
  bool ImmediateDropDown() const { return immediateDropDown_; }
  void SetImmediateDropDown(bool Value) { immediateDropDown_ = Value; }
  bool ImmediatePopup() const { return immediatePopup_; }
  void SetImmediatePopup(bool Value) { immediatePopup_ = Value; }
  bool KeepArrowButtonPressedWhenDroppedDown() const {
    return keepArrowButtonPressed_;
  }
  void SetKeepArrowButtonPressedWhenDroppedDown(bool Value);
  bool PopupAutoSize() const { return popupAutoSize_; }
  void SetPopupAutoSize(bool Value) { popupAutoSize_ = Value; }
  bool PopupClientEdge() const { return popupClientEdge_; }
  void SetPopupClientEdge(bool Value);
  TcxPopupDirection PopupDirection() const { return popupDirection_; }
  void SetPopupDirection(TcxPopupDirection Value) { popupDirection_ = Value; }
  Integer PopupHeight() const { return popupHeight_; }
  void SetPopupHeight(Integer Value);
  TcxPopupAlignHorz PopupHorzAlignment() const { return popupHorzAlignment_; }
  void SetPopupHorzAlignment(TcxPopupAlignHorz Value) {
    popupHorzAlignment_ = Value;
  }
  TAlignment PopupAlignment() const;
  void SetPopupAlignment(TAlignment Value);
  Integer PopupMinHeight() const { return popupMinHeight_; }
  void SetPopupMinHeight(Integer Value);
  Integer PopupMinWidth() const { return popupMinWidth_; }
  void SetPopupMinWidth(Integer Value);
  bool PopupSizeable() const { return popupSizeable_; }
  void SetPopupSizeable(bool Value);
  bool PopupSysPanelStyle() const { return popupSysPanelStyle_; }
  void SetPopupSysPanelStyle(bool Value);
  TcxPopupAlignVert PopupVertAlignment() const { return popupVertAlignment_; }
  void SetPopupVertAlignment(TcxPopupAlignVert Value) {
    popupVertAlignment_ = Value;
  }
  Integer PopupWidth() const { return popupWidth_; }
  void SetPopupWidth(Integer Value);
  bool PostPopupValueOnTab() const { return postPopupValueOnTab_; }
  void SetPostPopupValueOnTab(bool Value) { postPopupValueOnTab_ = Value; }

  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnFinalizePopup;
  TNotifyEvent OnInitPopup;
  TNotifyEvent OnPopup;

  // --- Overridables ---
  virtual Integer DropDownButtonVisibleIndex() { return 0; }
  // Whether a click on the text opens the popup.
  virtual bool DropDownOnClick() { return false; }
  // True: the value is posted after every close, not only accepting ones.
  virtual bool GetAlwaysPostEditValue() { return false; }
  virtual bool PopupWindowAcceptsAnySize() { return true; }
  virtual bool PopupWindowCapturesFocus() { return false; }
  bool IsLookupDataVisual() override { return true; }
  // A new popup window of the class these properties name, owned by the
  // editor as a component.
  virtual TcxCustomEditPopupWindow* NewPopupWindow(TWinControl* AEdit);

 private:
  bool immediateDropDown_ = true;
  bool immediatePopup_ = false;
  bool keepArrowButtonPressed_ = false;
  bool popupAutoSize_ = true;
  bool popupClientEdge_ = false;
  TcxPopupDirection popupDirection_ = pdVertical;
  Integer popupHeight_ = 0;
  TcxPopupAlignHorz popupHorzAlignment_ = pahLeft;
  Integer popupMinHeight_ = 0;
  Integer popupMinWidth_ = 0;
  bool popupSizeable_ = false;
  bool popupSysPanelStyle_ = false;
  TcxPopupAlignVert popupVertAlignment_ = pavBottom;
  Integer popupWidth_ = 0;
  bool postPopupValueOnTab_ = false;
};

class TcxCustomDropDownEdit : public TcxCustomTextEdit,
                              public IcxEditPopupWindowOwner {
  VARNEL_CLASS(TcxCustomDropDownEdit, TcxCustomTextEdit)
 public:
  // --- Construction ---
  explicit TcxCustomDropDownEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomDropDownEdit() override;

  // --- Properties ---
  TcxCustomDropDownEditProperties* ActiveProperties() {
    return static_cast<TcxCustomDropDownEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomDropDownEditProperties* Properties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(
        TcxCustomEdit::Properties());
  }
  TcxCustomEditPopupWindow* PopupWindow() const { return popupWindow_; }
  bool DroppedDown() { return HasPopupWindow(); }
  void SetDroppedDown(bool Value);
  TcxEditCloseUpReason CloseUpReason() const { return closeUpReason_; }
  bool PopupSizeChanged() const { return popupSizeChanged_; }

  // --- Overridables ---
  virtual bool CanDropDown() { return false; }
  void CloseUp(TcxEditCloseUpReason AReason) override;
  virtual void CreatePopupWindow();
  virtual void DoCloseUp();
  void DoFinalizePopup() override;
  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void DropDown();
  virtual TWinControl* GetPopupFocusedControl();
  TSize GetPopupWindowClientPreferredSize() override = 0;
  virtual void InitializePopupWindow();
  void PositionPopupWindowChilds(const TRect& AClientRect) override;
  virtual void SetupPopupWindow();

  // --- The popup window's view of the editor ---
  TRect GetPopupWindowOwnerControlBounds() override;
  bool PopupWindowAcceptsAnySize() override {
    return ActiveProperties()->PopupWindowAcceptsAnySize();
  }
  TcxLookAndFeel* PopupControlsLookAndFeel() override { return LookAndFeel(); }
  bool IsLookupDataVisual() override;
  bool CanResizeVisualArea(TSize& AClientSize, Integer AMaxHeight,
                           Integer AMaxWidth) override;
  void PopupWindowSizeChanged() override;
  // Set while the pointer rests where the list just appeared or scrolled
  // to: the list then ignores its next mouse move.
  bool IgnoreNextListMouseMove = false;

  // --- Overrides ---
  TClass GetPropertiesClass() override {
    return TcxCustomDropDownEditProperties::StaticClass();
  }
  bool HasPopupWindow() override;
  bool TabsNeeded() override;
  void PropertiesChanged(TObject* Sender) override;
  bool GetScrollLookupDataList(TcxEditScrollCause ACause) override;
  void BeforeDestruction() override;
  // A paste that changes the text of a focused editor opens the popup.
  void PasteFromClipboard() override;

  // Removes a queued show request; a drop-down that never showed is closed
  // as if it had.
  void DeleteShowPopupWindowMessages();
  void UpdatePopupWindow();

 protected:
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditProcessTab(TShiftState Shift) override;
  void DoExit() override;
  void FocusChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                    TPoint MousePos) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void DropDownByPasteHandler();
  // Makes the lookup's list inside the popup when the editor shows one.
  void InitializeLookupData();

  void PopupWindowCloseQuery(TObject* Sender, bool& CanClose);
  virtual void PopupWindowClosed(TObject* Sender);
  virtual void PopupWindowShowed(TObject* Sender);
  // For descendants whose properties name another popup window class: the
  // base constructor made the popup from the base properties.
  void RecreatePopupWindow();
  void SetCloseUpReason(TcxEditCloseUpReason AReason) {
    closeUpReason_ = AReason;
  }

  // Whether a show request waits in the popup's queue.
  bool HasShowRequest();

 private:
  // On while the popup is open and the mouse is over the editor: a press
  // then closes the popup instead of opening it.
  void UpdateHotAndPopup();
  // Fires AEvent of the own properties, then of the repository item's.
  template <class F>
  void FireEvents(F&& AEvent);

  TcxCustomEditPopupWindow* popupWindow_ = nullptr;  // owned as a component
  bool hotAndPopup_ = false;
  bool popupInitialized_ = false;
  bool popupSizeChanged_ = false;
  bool resizedDuringDrop_ = false;
  TcxEditCloseUpReason closeUpReason_ = crUnknown;
};

// ---------------------------------------------------------------------------
// Popup edit
// ---------------------------------------------------------------------------

class TcxPopupEditPopupWindowViewInfo
    : public TcxCustomEditPopupWindowViewInfo {
  VARNEL_CLASS(TcxPopupEditPopupWindowViewInfo,
               TcxCustomEditPopupWindowViewInfo)
 public:
  void DrawBorder(TcxCanvas* ACanvas, TRect& R) override;
};

class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
  VARNEL_CLASS(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)
 public:
  explicit TcxPopupEditPopupWindow(TWinControl* AOwnerControl);
  TcxContainerViewInfoClass GetViewInfoClass() override;
};

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
  VARNEL_CLASS(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)
 public:
  // --- Construction ---
  explicit TcxCustomPopupEditProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomPopupEditProperties() override;
  void Assign(TPersistent* Source) override;

  // --- Properties ---
  // The control shown in the popup; borrowed, never owned.
  TControl* PopupControl() const { return popupControl_; }
  void SetPopupControl(TControl* Value);

  // --- Overrides ---
  bool PopupWindowCapturesFocus() override { return true; }
  TcxCustomEditPopupWindow* NewPopupWindow(TWinControl* AEdit) override;

 protected:
  void FreeNotification(TComponent* AComponent) override;

 private:
  TControl* popupControl_ = nullptr;
  TObjectPtr<TcxFreeNotificator> notificator_;
};

class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
  VARNEL_CLASS(TcxPopupEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxPopupEditProperties(TPersistent* AOwner = nullptr);
};

class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
  VARNEL_CLASS(TcxCustomPopupEdit, TcxCustomDropDownEdit)
 public:
  // --- Construction ---
  explicit TcxCustomPopupEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomPopupEdit() override;

  // --- Properties ---
  TcxCustomPopupEditProperties* ActiveProperties() {
    return static_cast<TcxCustomPopupEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomPopupEditProperties* Properties() const {
    return static_cast<TcxCustomPopupEditProperties*>(
        TcxCustomEdit::Properties());
  }

  // --- Overridables ---
  // Closes the popup with AReason; the hosted controls call it.
  virtual void HidePopup(TObject* Sender, TcxEditCloseUpReason AReason);
  virtual void RestorePopupControlData();
  virtual void SavePopupControlData();

  // --- Overrides ---
  TClass GetPropertiesClass() override {
    return TcxCustomPopupEditProperties::StaticClass();
  }
  bool CanDropDown() override;
  void DoInitPopup() override;
  TWinControl* GetPopupFocusedControl() override;
  TSize GetPopupWindowClientPreferredSize() override;
  void PositionPopupWindowChilds(const TRect& AClientRect) override;
  void SetupPopupWindow() override;

 protected:
  void PopupWindowClosed(TObject* Sender) override;

 private:
  bool saved_ = false;
  TAlign savedAlign_ = alNone;
  TRect savedBounds_;
  TWinControl* savedParent_ = nullptr;
  bool savedVisible_ = false;
  TFormBorderStyle savedBorderStyle_ = bsNone;
};

class TcxPopupEdit : public TcxCustomPopupEdit {
  VARNEL_CLASS(TcxPopupEdit, TcxCustomPopupEdit)
 public:
  explicit TcxPopupEdit(TComponent* AOwner, bool AIsInplace = false);
  TClass GetPropertiesClass() override {
    return TcxPopupEditProperties::StaticClass();
  }
  TcxPopupEditProperties* Properties() const {
    return static_cast<TcxPopupEditProperties*>(TcxCustomEdit::Properties());
  }
};

// ---------------------------------------------------------------------------
// Combo box
// ---------------------------------------------------------------------------

enum TcxEditDropDownListStyle : Byte {
  lsEditFixedList,  // typing allowed, only item texts are valid
  lsEditList,       // free text, completed from the items
  lsFixedList       // items only; typing searches
};

class TcxCustomComboBox;

// AControl is null when a grid cell draws.
using TcxEditDrawItemEvent =
    TClosure<void(TcxCustomComboBox* AControl, TcxCanvas* ACanvas,
                  Integer AIndex, const TRect& ARect, TOwnerDrawState AState)>;
using TcxComboBoxMeasureItemEvent =
    TClosure<void(TcxCustomComboBox* AControl, Integer AIndex,
                  TcxCanvas* ACanvas, Integer& AHeight)>;

// The list of the combo box's items in its popup: owner drawn, measured by
// the item height or the measure handler, hot-tracked under the mouse.
class TcxCustomComboBoxListBox : public TcxCustomEditListBox {
  VARNEL_CLASS(TcxCustomComboBoxListBox, TcxCustomEditListBox)
 public:
  explicit TcxCustomComboBoxListBox(TComponent* AOwner);
  TcxCustomComboBox* ComboBox() const;
  // The width the list scrolls horizontally to (the widest item).
  Integer ScrollWidth() const { return scrollWidth_; }
  void SetScrollWidth(Integer Value);

  Integer GetHeight(Integer ARowCount) override;
  bool DoDrawItem(Integer AIndex, const TRect& ARect,
                  TOwnerDrawState AState) override;
  String GetItem(Integer AIndex) override;
  void MeasureItem(Integer Index, Integer& Height) override;
  void RecreateWindow() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  // The properties' item height (else the font's), at least AMinHeight,
  // then as the measure handler wants it for a real item.
  Integer MeasuredItemHeight(Integer AIndex, Integer AMinHeight);
  // Fixed rows of GetItemHeight(-1), or variable ones for a measure handler.
  void ApplyRowLayout();

 private:
  Integer scrollWidth_ = 0;
};

class TcxComboBoxListBox : public TcxCustomComboBoxListBox {
  VARNEL_CLASS(TcxComboBoxListBox, TcxCustomComboBoxListBox)
 public:
  explicit TcxComboBoxListBox(TComponent* AOwner)
      : TcxCustomComboBoxListBox(AOwner) {}
  Integer GetItemHeight(Integer AIndex) override;
  void RecreateWindow() override;
  void Resize() override;

 protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void Dispatch(TMessage& Message) override;
};

class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
  VARNEL_CLASS(TcxComboBoxLookupData, TcxCustomTextEditLookupData)
 public:
  explicit TcxComboBoxLookupData(TPersistent* AOwner)
      : TcxCustomTextEditLookupData(AOwner) {}
  TcxCustomComboBoxListBox* List() const {
    return static_cast<TcxCustomComboBoxListBox*>(
        TcxCustomTextEditLookupData::List());
  }
  TObjectPtr<TcxCustomEditListBox> CreateListBox(TComponent* AOwner) override;
  // Snaps a size the user drags the popup to onto whole rows.
  bool CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight,
                           Integer AMaxWidth) override;
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth) override;
  void Initialize(TWinControl* AVisualControlsParent) override;
};

class TcxComboBoxPopupWindow : public TcxCustomEditPopupWindow {
  VARNEL_CLASS(TcxComboBoxPopupWindow, TcxCustomEditPopupWindow)
 public:
  explicit TcxComboBoxPopupWindow(TWinControl* AOwnerControl);
  void CalculateSize() override;
};

class TcxCustomComboBoxViewData : public TcxCustomTextEditViewData {
  VARNEL_CLASS(TcxCustomComboBoxViewData, TcxCustomTextEditViewData)
 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                            TcxCustomTextEditViewInfo* AViewInfo) override;
  bool IsComboBoxStyle() override { return true; }
};

class TcxCustomComboBoxViewInfo : public TcxCustomTextEditViewInfo {
  VARNEL_CLASS(TcxCustomComboBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxCustomComboBoxViewInfo();
  void Assign(TObject* Source) override;
  Integer ItemIndex = -1;  // the item to draw; -1 for none
  // Set by the view data for a grid cell, which has no editor to ask.
  class TcxCustomComboBoxProperties* Properties = nullptr;

 private:
  void DoCustomDraw(TcxCanvas* ACanvas, const TRect& ARect);
};

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
  VARNEL_CLASS(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)
 public:
  // --- Construction ---
  explicit TcxCustomComboBoxProperties(TPersistent* AOwner = nullptr);
  void Assign(TPersistent* Source) override;

  // --- Properties ---
  TcxEditDropDownListStyle DropDownListStyle() const {
    return dropDownListStyle_;
  }
  void SetDropDownListStyle(TcxEditDropDownListStyle Value);
  Integer DropDownRows() const { return dropDownRows_; }
  void SetDropDownRows(Integer Value);
  Integer ItemHeight() const { return itemHeight_; }
  void SetItemHeight(Integer Value);
  bool Revertable() const { return revertable_; }
  void SetRevertable(bool Value) { revertable_ = Value; }
  TStrings* Items() const { return GetLookupItems(); }
  void SetItems(TStrings* Value) { SetLookupItems(Value); }
  bool Sorted() const { return LookupItemsSorted(); }
  void SetSorted(bool Value) { SetLookupItemsSorted(Value); }
  bool DropDownAutoWidth() const { return PopupAutoSize(); }
  void SetDropDownAutoWidth(bool Value) { SetPopupAutoSize(Value); }
  bool DropDownSizeable() const { return PopupSizeable(); }
  void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
  Integer DropDownWidth() const { return PopupWidth(); }
  void SetDropDownWidth(Integer Value) { SetPopupWidth(Value); }

  TcxEditDrawItemEvent OnDrawItem;
  TcxComboBoxMeasureItemEvent OnMeasureItem;

  // --- Overrides ---
  TcxCustomEditClass GetContainerClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;
  bool DropDownOnClick() override { return dropDownListStyle_ == lsFixedList; }
  Integer GetDropDownPageRowCount() override { return dropDownRows_; }
  TcxEditEditingStyle GetEditingStyle() override;
  TObjectPtr<TcxCustomTextEditLookupData> CreateLookupData(
      TcxCustomTextEdit* AEdit) override;
  TcxCustomEditPopupWindow* NewPopupWindow(TWinControl* AEdit) override;
  bool UseLookupData() override { return true; }

 private:
  TcxEditDropDownListStyle dropDownListStyle_ = lsEditList;
  Integer dropDownRows_ = 8;
  Integer itemHeight_ = 0;
  bool revertable_ = false;
};

class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
  VARNEL_CLASS(TcxComboBoxProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxComboBoxProperties(TPersistent* AOwner = nullptr)
      : TcxCustomComboBoxProperties(AOwner) {}
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
  VARNEL_CLASS(TcxCustomComboBox, TcxCustomDropDownEdit)
 public:
  // --- Construction ---
  explicit TcxCustomComboBox(TComponent* AOwner, bool AIsInplace = false);

  // --- Properties ---
  TcxCustomComboBoxProperties* ActiveProperties() {
    return static_cast<TcxCustomComboBoxProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomComboBoxProperties* Properties() const {
    return static_cast<TcxCustomComboBoxProperties*>(
        TcxCustomEdit::Properties());
  }
  TcxComboBoxLookupData* GetLookupData() const {
    return static_cast<TcxComboBoxLookupData*>(LookupData());
  }
  // The list's highlighted item; -1 without a list.
  Integer SelectedItem() const;
  void SetSelectedItem(Integer Value);

  // --- Methods ---
  bool CanSynchronizeLookupData();
  void ResetPopupHeight();
  void SynchronizeItemIndex();
  void DoOnDrawItem(TcxCanvas* ACanvas, Integer AIndex, const TRect& ARect,
                    TOwnerDrawState AState);
  void DoOnMeasureItem(Integer AIndex, TcxCanvas* ACanvas, Integer& AHeight);
  bool IsOnDrawItemEventAssigned();
  bool IsOnMeasureItemEventAssigned();

  // --- Overrides ---
  TClass GetPropertiesClass() override {
    return TcxCustomComboBoxProperties::StaticClass();
  }
  bool CanDropDown() override;
  void ChangeHandler(TObject* Sender) override;
  TSize GetPopupWindowClientPreferredSize() override;
  void InitializePopupWindow() override;
  void DblClick() override;

 protected:
  void DoFocusChanged() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void PopupWindowShowed(TObject* Sender) override;
  void Dispatch(TMessage& Message) override;
};

class TcxComboBox : public TcxCustomComboBox {
  VARNEL_CLASS(TcxComboBox, TcxCustomComboBox)
 public:
  explicit TcxComboBox(TComponent* AOwner, bool AIsInplace = false);
  TClass GetPropertiesClass() override {
    return TcxComboBoxProperties::StaticClass();
  }
  TcxComboBoxProperties* Properties() const {
    return static_cast<TcxComboBoxProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxComboBoxProperties* Value) {
    TcxCustomEdit::SetProperties(Value);
  }
  TcxComboBoxProperties* ActiveProperties() {
    return static_cast<TcxComboBoxProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
};
