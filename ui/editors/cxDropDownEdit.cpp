// The drop-down edit: its settings, and the flow of one drop-down from the
// show request to the close-up with its reason and events.
#include "cxDropDownEdit.h"

#include "ScopeGuard.h"
#include "cxEditRepositoryItems.h"
#include "cxEditStyle.h"
#include "cxEditViewInfo.h"

// ---------------------------------------------------------------------------
// TcxCustomDropDownEditProperties
// ---------------------------------------------------------------------------

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(
    TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner) {
  Buttons()->Add()->SetKind(bkDown);
  SetValidateOnEnter(true);
}

void TcxCustomDropDownEditProperties::SetKeepArrowButtonPressedWhenDroppedDown(
    bool Value) {
  if (keepArrowButtonPressed_ == Value) return;
  keepArrowButtonPressed_ = Value;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupClientEdge(bool Value) {
  if (popupClientEdge_ == Value) return;
  popupClientEdge_ = Value;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupSizeable(bool Value) {
  if (popupSizeable_ == Value) return;
  popupSizeable_ = Value;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupSysPanelStyle(bool Value) {
  if (popupSysPanelStyle_ == Value) return;
  popupSysPanelStyle_ = Value;
  Changed();
}

// The sizes are remembered after every resize by the user: they change no
// setting that an open editor must follow.
void TcxCustomDropDownEditProperties::SetPopupHeight(Integer Value) {
  popupHeight_ = std::max(Value, popupMinHeight_);
}

void TcxCustomDropDownEditProperties::SetPopupWidth(Integer Value) {
  if (Value < 0)
    Value = 0;
  else if (Value > 0)
    Value = std::max(Value, popupMinWidth_);
  popupWidth_ = Value;
}

void TcxCustomDropDownEditProperties::SetPopupMinHeight(Integer Value) {
  popupMinHeight_ = std::max<Integer>(Value, 0);
  SetPopupHeight(popupHeight_);
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(Integer Value) {
  popupMinWidth_ = std::max<Integer>(Value, 0);
  SetPopupWidth(popupWidth_);
}

TAlignment TcxCustomDropDownEditProperties::PopupAlignment() const {
  switch (popupHorzAlignment_) {
    case pahCenter:
      return taCenter;
    case pahRight:
      return taRightJustify;
    default:
      return taLeftJustify;
  }
}

void TcxCustomDropDownEditProperties::SetPopupAlignment(TAlignment Value) {
  TcxPopupAlignHorz align = pahLeft;
  if (Value == taCenter)
    align = pahCenter;
  else if (Value == taRightJustify)
    align = pahRight;
  if (popupHorzAlignment_ == align) return;
  popupHorzAlignment_ = align;
  Changed();
}

void TcxCustomDropDownEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomDropDownEditProperties*>(Source);
  if (!source) {
    TcxCustomTextEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomTextEditProperties::Assign(Source);
  immediateDropDown_ = source->immediateDropDown_;
  immediatePopup_ = source->immediatePopup_;
  SetKeepArrowButtonPressedWhenDroppedDown(source->keepArrowButtonPressed_);
  popupAutoSize_ = source->popupAutoSize_;
  SetPopupClientEdge(source->popupClientEdge_);
  popupDirection_ = source->popupDirection_;
  popupHorzAlignment_ = source->popupHorzAlignment_;
  // The minimums first: each raises the size set after it.
  SetPopupMinHeight(source->popupMinHeight_);
  SetPopupMinWidth(source->popupMinWidth_);
  SetPopupHeight(source->popupHeight_);
  SetPopupWidth(source->popupWidth_);
  SetPopupSizeable(source->popupSizeable_);
  SetPopupSysPanelStyle(source->popupSysPanelStyle_);
  popupVertAlignment_ = source->popupVertAlignment_;
  postPopupValueOnTab_ = source->postPopupValueOnTab_;
  OnClosePopup = source->OnClosePopup;
  OnCloseQuery = source->OnCloseQuery;
  OnCloseUp = source->OnCloseUp;
  OnInitPopup = source->OnInitPopup;
  OnPopup = source->OnPopup;
}

// ---------------------------------------------------------------------------
// TcxCustomDropDownEdit
// ---------------------------------------------------------------------------

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* AOwner,
                                             bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) CreatePopupWindow();
}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() {
  DeleteShowPopupWindowMessages();
}

template <class F>
void TcxCustomDropDownEdit::FireEvents(F&& AEvent) {
  TcxObjectLinkScope self(this);
  AEvent(Properties());
  if (!self.Alive()) return;
  if (TcxEditRepositoryItem* item = RepositoryItem())
    if (auto* props =
            dynamic_cast<TcxCustomDropDownEditProperties*>(item->Properties()))
      AEvent(props);
}

TcxCustomEditPopupWindow* TcxCustomDropDownEditProperties::NewPopupWindow(
    TWinControl* AEdit) {
  return new TcxCustomEditPopupWindow(AEdit);
}

void TcxCustomDropDownEdit::RecreatePopupWindow() {
  if (popupWindow_) {
    DeleteShowPopupWindowMessages();
    TObjectPtr<TcxCustomEditPopupWindow> old(popupWindow_);
    popupWindow_ = nullptr;
  }
  CreatePopupWindow();
}

void TcxCustomDropDownEdit::CreatePopupWindow() {
  popupWindow_ = ActiveProperties()->NewPopupWindow(this);
  popupWindow_->SetCaptureFocus(ActiveProperties()->PopupWindowCapturesFocus());
  popupWindow_->SetIsTopMost(!IsInplace());
  popupWindow_->Style()->LookAndFeel()->SetMasterLookAndFeel(
      GetStyle()->LookAndFeel());
  popupWindow_->OnClosed =
      TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowClosed);
  popupWindow_->OnShowed =
      TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowShowed);
  popupWindow_->OnCloseQuery =
      TCloseQueryEvent(this, &TcxCustomDropDownEdit::PopupWindowCloseQuery);
}

bool TcxCustomDropDownEdit::HasPopupWindow() {
  return popupWindow_ && popupWindow_->IsVisible();
}

bool TcxCustomDropDownEdit::HasShowRequest() {
  if (!popupWindow_ || !popupWindow_->HandleAllocated()) return false;
  MSG msg;
  return ::PeekMessageA(&msg, popupWindow_->Handle(), CM_SHOWPOPUPWINDOW,
                        CM_SHOWPOPUPWINDOW, PM_NOREMOVE) != 0;
}

void TcxCustomDropDownEdit::SetDroppedDown(bool Value) {
  if (DroppedDown() == Value) return;
  if (!Value) {
    CloseUp(crUnknown);
    return;
  }
  // At most one request waits: the second asking finds the first.
  if (HasShowRequest()) return;
  DropDown();
}

void TcxCustomDropDownEdit::DropDown() {
  if (!popupWindow_ || !HandleAllocated() || !::IsWindowVisible(Handle()))
    return;
  DoInitPopup();
  if (!CanDropDown()) {
    DoFinalizePopup();
    return;
  }
  SetupPopupWindow();
  popupWindow_->HandleNeeded();
  popupWindow_->SetFocusedControlValue(GetPopupFocusedControl());
  ::PostMessageA(popupWindow_->Handle(), CM_SHOWPOPUPWINDOW, 0, 0);
}

void TcxCustomDropDownEdit::DoInitPopup() {
  if (popupInitialized_) return;
  popupInitialized_ = true;
  // A failing handler leaves the popup closed and not initialised.
  TScopeGuard failed([this] { popupInitialized_ = false; });
  FireEvents([this](TcxCustomDropDownEditProperties* AProps) {
    const TNotifyEvent handler = AProps->OnInitPopup;
    handler(this);
  });
  failed.Dismiss();
  if (ActiveProperties()->UseLookupData() && ILookupData())
    ILookupData()->DropDown();
}

void TcxCustomDropDownEdit::DoFinalizePopup() {
  if (!popupInitialized_) return;
  popupInitialized_ = false;
  if (ILookupData()) ILookupData()->CloseUp();
  FireEvents([this](TcxCustomDropDownEditProperties* AProps) {
    const TNotifyEvent handler = AProps->OnFinalizePopup;
    handler(this);
  });
}

void TcxCustomDropDownEdit::DoPopup() {
  closeUpReason_ = crUnknown;
  FireEvents([this](TcxCustomDropDownEditProperties* AProps) {
    const TNotifyEvent handler = AProps->OnPopup;
    handler(this);
  });
}

void TcxCustomDropDownEdit::DoCloseUp() {
  TcxObjectLinkScope self(this);
  DoClosePopup(closeUpReason_);
  if (!self.Alive()) return;
  FireEvents([this](TcxCustomDropDownEditProperties* AProps) {
    const TNotifyEvent handler = AProps->OnCloseUp;
    handler(this);
  });
}

void TcxCustomDropDownEdit::InitializePopupWindow() {
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  TcxCustomEditPopupWindow* popup = popupWindow_;
  popup->SetOwnerParent(Parent());
  popup->SetDirection(props->PopupDirection());
  popup->SetAlignHorz(props->PopupHorzAlignment());
  popup->SetAlignVert(props->PopupVertAlignment());
  popup->SetClientEdge(props->PopupClientEdge());
  popup->MinHeight = props->PopupMinHeight();
  popup->MinWidth = props->PopupMinWidth();
  popup->SetPopupAutoSize(props->PopupAutoSize());
  popup->SetSizeable(props->PopupSizeable());
  popup->SetSysPanelStyle(props->PopupSysPanelStyle());
  popup->PopupWidth = props->PopupWidth();
  popup->PopupHeight = props->PopupHeight();
  if (auto* style = dynamic_cast<TcxCustomEditStyle*>(ActiveStyle()))
    popup->SetCloseButton(style->PopupCloseButton());
  TcxCustomTextEditViewInfo* viewInfo = ViewInfo();
  popup->SetBorderStyle(viewInfo->PopupBorderStyle);
  popup->SetNativeStyle(viewInfo->NativeStyle);
  popup->SetShadow(viewInfo->Shadow);
}

void TcxCustomDropDownEdit::SetupPopupWindow() {
  TcxCustomEditPopupWindow* popup = popupWindow_;
  popup->SetCaptureFocus(ActiveProperties()->PopupWindowCapturesFocus());
  InitializeLookupData();
  InitializePopupWindow();
  TPoint p;
  {
    TRestoreOnExit settingUp(popup->SettingUp, true);
    popup->CalculateSize();
    p = popup->CalculatePosition();
    popup->CorrectBoundsWithDesktopWorkArea(p);
  }
  popup->SetBounds(p.X, p.Y, popup->Width(), popup->Height());
  popup->RefreshPopupWindow();
  PositionPopupWindowChilds(popup->ViewInfo()->ClientRect);
  popup->SetPopupWindowRegion();
}

void TcxCustomDropDownEdit::UpdatePopupWindow() {
  if (HasPopupWindow()) SetupPopupWindow();
}

void TcxCustomDropDownEdit::InitializeLookupData() {
  if (ILookupData() && popupWindow_ &&
      !ComponentState().Contains(csDesigning) &&
      ActiveProperties()->IsLookupDataVisual())
    ILookupData()->Initialize(popupWindow_);
}

void TcxCustomDropDownEdit::CreateHandle() {
  TcxCustomTextEdit::CreateHandle();
  InitializeLookupData();
}

TWinControl* TcxCustomDropDownEdit::GetPopupFocusedControl() {
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  if (ILookupData() && props->IsLookupDataVisual() &&
      props->PopupWindowCapturesFocus())
    if (TWinControl* control = ILookupData()->GetActiveControl())
      return control;
  return InnerEditControl();
}

void TcxCustomDropDownEdit::PositionPopupWindowChilds(
    const TRect& AClientRect) {
  if (ILookupData()) ILookupData()->PositionVisualArea(AClientRect);
}

bool TcxCustomDropDownEdit::IsLookupDataVisual() {
  return ILookupData() && ActiveProperties()->UseLookupData() &&
         ActiveProperties()->IsLookupDataVisual();
}

bool TcxCustomDropDownEdit::CanResizeVisualArea(TSize& AClientSize,
                                                Integer AMaxHeight,
                                                Integer AMaxWidth) {
  return !ILookupData() ||
         ILookupData()->CanResizeVisualArea(AClientSize, AMaxHeight, AMaxWidth);
}

TRect TcxCustomDropDownEdit::GetPopupWindowOwnerControlBounds() {
  TRect r = GetVisibleBounds();
  if (ViewInfo()->Shadow) r.Right += cxContainerShadowWidth;
  return TRect{r.Left + Left(), r.Top + Top(), r.Right + Left(),
               r.Bottom + Top()};
}

void TcxCustomDropDownEdit::PopupWindowSizeChanged() {
  popupSizeChanged_ = true;
  resizedDuringDrop_ = true;
}

void TcxCustomDropDownEdit::PopupWindowShowed(TObject*) {
  TcxObjectLinkScope self(this);
  ShortRefreshContainer(false);
  popupWindow_->CalculateViewInfo();
  PositionPopupWindowChilds(popupWindow_->ViewInfo()->ClientRect);
  DoPopup();
  if (!self.Alive()) return;
  UpdateHotAndPopup();
  UpdateDrawValue();
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  // A capturing popup took the typed prefix away from the editor: its list
  // goes to the item that prefix found.
  if (props->UseLookupData() && ILookupData() && FindSelection() &&
      props->ImmediateDropDown() && props->PopupWindowCapturesFocus())
    ILookupData()->DroppedDown(EditingText().substr(
        0, static_cast<std::size_t>(std::max<Integer>(SelStart(), 0))));
  resizedDuringDrop_ = false;
}

void TcxCustomDropDownEdit::PopupWindowCloseQuery(TObject*, bool& CanClose) {
  FireEvents([this, &CanClose](TcxCustomDropDownEditProperties* AProps) {
    const TCloseQueryEvent handler = AProps->OnCloseQuery;
    if (handler) handler(this, CanClose);
  });
}

void TcxCustomDropDownEdit::CloseUp(TcxEditCloseUpReason AReason) {
  if (!HasPopupWindow()) return;
  TcxObjectLinkScope self(this);
  {
    // The change events held back here fire before the popup hides, also
    // when posting fails.
    LockChangeEvents(true);
    TScopeGuard unlock([this, &self] {
      if (self.Alive()) LockChangeEvents(false);
    });
    const bool accepting =
        AReason == crTab || AReason == crClose || AReason == crEnter;
    TcxCustomDropDownEditProperties* props = ActiveProperties();
    if (accepting && props->UseLookupData() && ILookupData()) {
      const Variant key = ILookupData()->GetCurrentKey();
      {
        LockClick(true);
        TScopeGuard unlockClick([this] { LockClick(false); });
        ILookupData()->SelectItem();
      }
      if (!self.Alive()) return;
      if (ModifiedAfterEnter() &&
          !InternalVarEqualsExact(key, ILookupData()->GetCurrentKey()))
        DoClick();
      if (!self.Alive()) return;
    }
    if (accepting && !props->GetAlwaysPostEditValue() &&
        props->ImmediatePost() && CanPostEditValue())
      InternalPostEditValue(true);
  }
  if (!self.Alive()) return;
  closeUpReason_ = AReason;
  popupWindow_->CloseUp();
}

void TcxCustomDropDownEdit::PopupWindowClosed(TObject*) {
  TcxObjectLinkScope self(this);
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  if (props->PopupSizeable() && resizedDuringDrop_ && !IsInplace()) {
    props->SetPopupWidth(popupWindow_->Width());
    props->SetPopupHeight(popupWindow_->Height());
  }
  DoFinalizePopup();
  if (!self.Alive()) return;
  if (props->GetEditingStyle() == esFixedList) ShortRefreshContainer(false);
  DoCloseUp();
  if (!self.Alive()) return;
  if (props->GetAlwaysPostEditValue() && props->ImmediatePost() &&
      CanPostEditValue()) {
    LockChangeEvents(true);
    TScopeGuard unlock([this, &self] {
      if (self.Alive()) LockChangeEvents(false);
    });
    if (ValidateEdit(true)) InternalPostEditValue(false);
  }
  if (self.Alive()) ShortRefreshContainer(false);
}

void TcxCustomDropDownEdit::DeleteShowPopupWindowMessages() {
  if (popupWindow_ && popupWindow_->HandleAllocated() &&
      KillMessages(popupWindow_->Handle(), CM_SHOWPOPUPWINDOW,
                   CM_SHOWPOPUPWINDOW))
    PopupWindowClosed(popupWindow_);
}

// --- Keys, mouse and focus ---------------------------------------------------

void TcxCustomDropDownEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (DroppedDown())
      CloseUp(crClose);
    else
      SetDroppedDown(true);
    Key = 0;
    return;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && DroppedDown()) {
    SetPendingEsc(true);
    SetUserAction(true);
    TcxObjectLinkScope self(this);
    if (Key == VK_RETURN && DoEditing())
      CloseUp(crEnter);
    else
      CloseUp(crCancel);
    if (!self.Alive()) return;
    SetUserAction(false);
    if (!DroppedDown()) {
      if (Key == VK_ESCAPE) SetCaptureControl(nullptr);
      Key = 0;
      return;
    }
  }
  TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomDropDownEdit::DoEditKeyPress(char& Key) {
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  if (static_cast<Byte>(Key) >= 32 && props->ImmediateDropDown() &&
      !DroppedDown()) {
    SetDroppedDown(true);
    if (props->PopupWindowCapturesFocus() && CanDropDown() &&
        GetPopupFocusedControl() && popupWindow_->HandleAllocated()) {
      ::PostMessageA(popupWindow_->Handle(), CM_POPUPCONTROLKEY,
                     static_cast<Byte>(Key), 0);
      Key = 0;
      return;
    }
  }
  TcxCustomTextEdit::DoEditKeyPress(Key);
}

void TcxCustomDropDownEdit::DoEditProcessTab(TShiftState Shift) {
  if (DroppedDown() && ActiveProperties()->PostPopupValueOnTab())
    CloseUp(crTab);
  TcxCustomTextEdit::DoEditProcessTab(Shift);
}

bool TcxCustomDropDownEdit::TabsNeeded() {
  return TcxCustomTextEdit::TabsNeeded() ||
         (DroppedDown() && ActiveProperties()->PostPopupValueOnTab());
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift,
                                      Integer X, Integer Y) {
  TcxObjectLinkScope self(this);
  TcxCustomTextEdit::MouseDown(Button, Shift, X, Y);
  if (!self.Alive() || Button != mbLeft || !popupWindow_) return;
  // A press on an editor whose popup is open closes it; when the hooks
  // closed it first, the press does not open it again.
  const bool justClosed = popupWindow_->GetJustClosed();
  if (hotAndPopup_ || justClosed) {
    if (DroppedDown()) CloseUp(crUnknown);
    return;
  }
  const Integer index = ActiveProperties()->DropDownButtonVisibleIndex();
  auto& buttons = ViewInfo()->ButtonsInfo;
  const bool onButton = index >= 0 &&
                        index < static_cast<Integer>(buttons.size()) &&
                        PtInRect(buttons[index]->Bounds, TPoint{X, Y});
  const bool onText = ActiveProperties()->DropDownOnClick() &&
                      PtInRect(ViewInfo()->ClientRect, TPoint{X, Y});
  if (onButton || onText) SetDroppedDown(!DroppedDown());
}

void TcxCustomDropDownEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomTextEdit::MouseMove(Shift, X, Y);
  // The flag outlives the popup until the mouse moves without the button
  // that closed it.
  if (!Shift.Contains(ssLeft)) UpdateHotAndPopup();
}

void TcxCustomDropDownEdit::MouseUp(TMouseButton Button, TShiftState Shift,
                                    Integer X, Integer Y) {
  TcxObjectLinkScope self(this);
  TcxCustomTextEdit::MouseUp(Button, Shift, X, Y);
  if (!self.Alive() || Shift.Contains(ssLeft)) return;
  // The release of the press that opened the popup: the event says where
  // the mouse is. The pointer read when the popup showed may be stale (a
  // window shown under the pointer can move it under some window systems).
  hotAndPopup_ = DroppedDown() && PtInRect(ClientRect(), TPoint{X, Y});
}

void TcxCustomDropDownEdit::UpdateHotAndPopup() {
  RECT r;
  POINT p;
  hotAndPopup_ = DroppedDown() && HandleAllocated() &&
                 ::GetWindowRect(Handle(), &r) && ::GetCursorPos(&p) &&
                 ::PtInRect(&r, p);
}

void TcxCustomDropDownEdit::FocusChanged() {
  if (popupWindow_ && !ActiveProperties()->PopupWindowCapturesFocus() &&
      InnerEditControl() && !InnerEditControl()->Focused())
    CloseUp(crUnknown);
  TcxCustomTextEdit::FocusChanged();
}

void TcxCustomDropDownEdit::DoExit() {
  CloseUp(crUnknown);
  TcxCustomTextEdit::DoExit();
}

bool TcxCustomDropDownEdit::GetScrollLookupDataList(TcxEditScrollCause ACause) {
  if (ActiveProperties()->ChangedLocked()) return false;
  // In a grid, Up and Down move between rows while the popup is closed.
  return !(IsInplace() && ACause == escKeyboard && Activated() &&
           !DroppedDown());
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                                         TPoint MousePos) {
  if (TcxCustomTextEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!GetScrollLookupDataList(escMouseWheel) || !DroppedDown() ||
      !ActiveProperties()->UseLookupData() || !ILookupData() ||
      ILookupData()->IsEmpty())
    return false;
  if (auto* list = dynamic_cast<TcxCustomInnerListBox*>(
          ILookupData()->GetActiveControl()))
    list->DoMouseWheel(Shift, WheelDelta, MousePos);
  return true;
}

void TcxCustomDropDownEdit::PasteFromClipboard() {
  if (!IsFocusedEdit()) {
    TcxCustomTextEdit::PasteFromClipboard();
    return;
  }
  TcxObjectLinkScope self(this);
  const String before = EditingText();
  {
    auto userAction = UserActionScope(this);
    TcxCustomTextEdit::PasteFromClipboard();
  }
  if (!self.Alive() || EditingText() == before ||
      !ActiveProperties()->ImmediateDropDown() || DroppedDown())
    return;
  SetDroppedDown(true);
  if (ActiveProperties()->UseLookupData() && ILookupData() && HandleAllocated())
    ::PostMessageA(Handle(), CM_DROPDOWNBYPASTE, 0, 0);
}

void TcxCustomDropDownEdit::DropDownByPasteHandler() {
  if (!DroppedDown() || !ILookupData()) return;
  const Variant key = ILookupData()->GetCurrentKey();
  {
    LockClick(true);
    TScopeGuard unlockClick([this] { LockClick(false); });
    ILookupData()->TextChanged();
  }
  if (!InternalVarEqualsExact(key, ILookupData()->GetCurrentKey())) DoClick();
  const String text = EditingText();
  switch (ActiveProperties()->GetEditingStyle()) {
    case esEdit:
      SetFindSelection(SelStart() == static_cast<Integer>(text.size()) &&
                       ILookupData()->Find(text));
      break;
    case esFixedList:
      SetFindSelection(true);
      break;
    default:
      break;
  }
}

void TcxCustomDropDownEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DROPDOWNBYPASTE) {
    DropDownByPasteHandler();
    return;
  }
  TcxCustomTextEdit::Dispatch(Message);
}

void TcxCustomDropDownEdit::BeforeDestruction() {
  if (ILookupData()) ILookupData()->Deinitialize();
  TcxCustomTextEdit::BeforeDestruction();
}

void TcxCustomDropDownEdit::DestroyWnd() {
  if (popupWindow_) {
    CloseUp(crUnknown);
    DoFinalizePopup();
    popupWindow_->DestroyHandle();
  }
  TcxCustomTextEdit::DestroyWnd();
}

void TcxCustomDropDownEdit::PropertiesChanged(TObject* Sender) {
  if (popupWindow_ && !ActiveProperties()->PopupSizeable())
    popupSizeChanged_ = false;
  UpdatePopupWindow();
  TcxCustomTextEdit::PropertiesChanged(Sender);
}
