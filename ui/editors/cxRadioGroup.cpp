#include "cxRadioGroup.h"

#include <algorithm>

#include "Forms.h"
#include "Menus.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "WinApi.h"
#include "cxContainer.h"
#include "cxEditUtils.h"
#include "cxEditViewData.h"
#include "cxExtEditUtils.h"
#include "cxGeometry.h"
#include "cxVariants.h"

namespace {

// The canvas text flags of a caption: left, vertically centred, single
// line, prefix shown; word wrap instead of single line with WordWrap.
constexpr Integer kCaptionFlags = 609;
constexpr Integer kWordWrapCaptionFlags = 1697;

const TcxButtonState kButtonStates[] = {cxbsDisabled, cxbsHot, cxbsNormal,
                                        cxbsPressed};

}  // namespace

// ---------------------------------------------------------------------------
// TcxRadioButton
// ---------------------------------------------------------------------------

TcxRadioButton::TcxRadioButton(TComponent* AOwner)
    : TRadioButton(AOwner),
      canvas_(new TCanvas),
      cxCanvas_(new TcxCanvas(canvas_.get())),
      lookAndFeel_(new TcxLookAndFeel(this)) {
  lookAndFeel_->OnChanged =
      TcxLookAndFeelChangedEvent(this, &TcxRadioButton::LookAndFeelChanged);
  SetParentBackground(true);
  controlStyle_ += TControlStyle{csDoubleClicks};
  PrepareRadioButtonImageList();
}

TcxRadioButton::~TcxRadioButton() { ::EndMouseTracking(this); }

Integer TcxRadioButton::QueryInterface(const TGUID& iid, void** obj) {
  if (iid == IcxMouseTrackingCaller::IID) {
    *obj = static_cast<IcxMouseTrackingCaller*>(this);
    return 0;
  }
  return TRadioButton::QueryInterface(iid, obj);
}

void TcxRadioButton::SetPopupMenu(TComponent* Value) {
  if (!dynamic_cast<TPopupMenu*>(Value)) Value = nullptr;
  if (popupMenu_ == Value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TcxRadioButton::Notification(TComponent* AComponent,
                                  TOperation Operation) {
  TRadioButton::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TcxRadioButton::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  Invalidate();
}

void TcxRadioButton::Click() {
  if (clicksDisabled_) return;
  TRadioButton::Click();
}

void TcxRadioButton::Invalidate() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TcxRadioButton::SetCheckedSilently(bool Value) {
  TRestoreOnExit<bool> restore(clicksDisabled_, true);
  TRadioButton::SetChecked(Value);
}

void TcxRadioButton::CreateParams(TCreateParams& Params) {
  TRadioButton::CreateParams(Params);
  Params.Style = (Params.Style & ~DWORD(BS_RADIOBUTTON)) | BS_OWNERDRAW;
}

void TcxRadioButton::CreateWnd() {
  TRadioButton::CreateWnd();
  ShortUpdateState();
}

bool TcxRadioButton::IsInnerControl() {
  void* inner = nullptr;
  return QueryInterface(IcxContainerInnerControl::IID, &inner) == 0;
}

void TcxRadioButton::DrawItem(const DRAWITEMSTRUCT& AItem) {
  if (ComponentState().Contains(csDestroying)) return;
  TCanvasDCScope scope(canvas_.get(), AItem.hDC);
  Paint();
}

void TcxRadioButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case CN_MEASUREITEM:
      cxAnswerMeasureItem(this, Message);
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_WINDOWPOSCHANGED:
      TRadioButton::Dispatch(Message);
      if (!ComponentState().Contains(csDestroying) &&
          IsTransparentBackground()) {
        Invalidate();
      }
      return;
    case BM_SETCHECK:
      TRadioButton::Dispatch(Message);
      if (HandleAllocated()) {
        const TRect r = cxRectInflate(glyphRect_, 1, 1);
        InvalidateRect(Handle(), reinterpret_cast<const RECT*>(&r), FALSE);
      }
      return;
    case CM_ENABLEDCHANGED:
      TRadioButton::Dispatch(Message);
      ShortUpdateState();
      Invalidate();
      return;
    case CM_MOUSEENTER:
      TRadioButton::Dispatch(Message);
      ShortUpdateState();
      BeginMouseTracking(this, TRect{0, 0, Width(), Height()}, this);
      return;
    case CM_MOUSELEAVE:
      TRadioButton::Dispatch(Message);
      MouseLeave();
      return;
    case WM_SYSCOLORCHANGE:
      TRadioButton::Dispatch(Message);
      Invalidate();
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (IsPopupMenuShortCut(popupMenu_, Message)) {
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TRadioButton::Dispatch(Message);
}

// The tracker that calls this ends itself right after; ending it here would
// free it while it runs.
void TcxRadioButton::MouseLeave() { UpdateState(cxmbNone, {}, TPoint{-1, -1}); }

void TcxRadioButton::MouseDown(TMouseButton Button, TShiftState Shift,
                               Integer X, Integer Y) {
  TRadioButton::MouseDown(Button, Shift, X, Y);
  UpdateState(ButtonTocxButton(Button), Shift, TPoint{X, Y});
}

void TcxRadioButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                             Integer Y) {
  TRadioButton::MouseUp(Button, Shift, X, Y);
  UpdateState(ButtonTocxButton(Button), Shift, TPoint{X, Y});
}

void TcxRadioButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TRadioButton::MouseMove(Shift, X, Y);
  UpdateState(cxmbNone, Shift, TPoint{X, Y});
  BeginMouseTracking(this, TRect{0, 0, Width(), Height()}, this);
}

void TcxRadioButton::DoEnter() {
  TRadioButton::DoEnter();
  if (Checked() || clicksDisabled_) return;
  SetCheckedSilently(true);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TcxRadioButton::DoContextPopup(TPoint MousePos, bool& Handled) {
  TRadioButton::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  if (MousePos.X == -1 && MousePos.Y == -1) MousePos = TPoint{0, 0};
  const TPoint p = ClientToScreen(MousePos);
  Handled = DoShowPopupMenu(popupMenu_, p.X, p.Y);
}

bool TcxRadioButton::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) {
  return ShowPopupMenu(this, AMenu, X, Y);
}

void TcxRadioButton::UpdateState(TcxMouseButton AButton, TShiftState AShift,
                                 const TPoint& P) {
  (void)AButton;
  const bool inside = cxRectPtIn(TRect{0, 0, Width(), Height()}, P);
  TcxRadioButtonState state;
  if (!Enabled()) {
    state = rbsDisabled;
  } else if (ComponentState().Contains(csDesigning)) {
    state = rbsNormal;
  } else if (HandleAllocated() && GetCapture() == Handle()) {
    state = inside ? rbsPressed : rbsHot;
  } else {
    state = (!inside || !AShift.Empty()) ? rbsNormal : rbsHot;
  }
  SetState(state);
}

void TcxRadioButton::SetState(TcxRadioButtonState Value) {
  if (state_ == Value) return;
  state_ = Value;
  if (HandleAllocated()) {
    const TRect r = cxRectInflate(glyphRect_, 1, 1);
    InvalidateRect(Handle(), reinterpret_cast<const RECT*>(&r), FALSE);
  }
}

void TcxRadioButton::ShortUpdateState() {
  if (!HandleAllocated()) return;
  POINT p{};
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  UpdateState(cxmbNone, KeyboardStateToShiftState(), TPoint{p.x, p.y});
}

void TcxRadioButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  Invalidate();
}

bool TcxRadioButton::IsNativeStyle() {
  return AreVisualStylesMustBeUsed(lookAndFeel_->NativeStyle(), totButton);
}

bool TcxRadioButton::IsTransparent() { return transparent_ && !IsInplace(); }

bool TcxRadioButton::IsNativeBackground() {
  return IsNativeStyle() && ParentBackground() && !IsInplace() && !transparent_;
}

bool TcxRadioButton::IsTransparentBackground() {
  return IsNativeBackground() || IsTransparent();
}

void TcxRadioButton::DrawBackground(TcxCanvas* ACanvas) {
  if (!IsTransparentBackground()) {
    ACanvas->FillRect(TRect{0, 0, Width(), Height()}, Color());
  }
}

TRect TcxRadioButton::GetRadioButtonRect(const TSize& AGlyphSize,
                                         bool ANativeStyle) {
  TRect r;
  r.Top = (Height() - AGlyphSize.cy) / 2;
  r.Bottom = r.Top + AGlyphSize.cy;
  if (Alignment() == taRightJustify) {
    r.Left = (!ANativeStyle && !IsInplace()) ? 1 : 0;
    r.Right = r.Left + AGlyphSize.cx;
  } else {
    r.Right = Width();
    r.Left = r.Right - AGlyphSize.cx;
  }
  return r;
}

void TcxRadioButton::Paint() {
  TcxCanvas* canvas = cxCanvas_.get();
  const TRect bounds{0, 0, Width(), Height()};
  if (IsTransparent()) {
    cxDrawTransparentControlBackground(this, canvas, bounds);
  } else if (IsNativeBackground()) {
    cxDrawThemeParentBackground(this, canvas, bounds);
  }
  const bool native = IsNativeStyle();
  if (native) DrawBackground(canvas);
  const TcxLookAndFeelPainterClass painter =
      lookAndFeel_->GetAvailablePainter(totButton);
  glyphRect_ = GetRadioButtonRect(painter->RadioButtonSize(), native);
  TColor brush = Color();
  if (IsTransparentBackground()) {
    brush = lookAndFeel_->SkinPainter() ? clNone : clDefault;
  }
  painter->DrawRadioButton(canvas, glyphRect_.Left, glyphRect_.Top,
                           kButtonStates[state_], Checked(), Focused(), brush,
                           ComponentState().Contains(csDesigning));
  auto saved = canvas->SavedDCScope();
  canvas->ExcludeClipRect(glyphRect_);
  if (!native) DrawBackground(canvas);
  DrawCaption(canvas, native);
}

void TcxRadioButton::CorrectTextRect(TRect& R, bool ANativeStyle) {
  const bool right = Alignment() == taRightJustify;
  Integer l, t = -1, r;
  if (IsInplace()) {
    l = ANativeStyle ? 3 : 5;
    t = 0;
    r = ANativeStyle ? 0 : 1;
  } else if (!WordWrap()) {
    l = (ANativeStyle ? 0 : 2) + (right ? 3 : 0);
    r = right ? 0 : 1;
  } else if (ANativeStyle) {
    l = right ? 3 : 0;
    r = right ? 0 : 3;
  } else {
    l = right ? 5 : 2;
    r = right ? 2 : 6;
  }
  R = TRect{R.Left + l, R.Top + t, R.Right - r, R.Bottom};
}

void TcxRadioButton::DrawCaption(TcxCanvas* ACanvas, bool ANativeStyle) {
  ACanvas->SetFont(Font());
  const bool inner = IsInnerControl();
  if (!Enabled() && !inner) ACanvas->Font()->SetColor(clBtnShadow);
  TRect r{0, 0, Width(), Height()};
  if (Alignment() == taRightJustify) {
    r.Left = glyphRect_.Right;
  } else {
    r.Right = glyphRect_.Left;
  }
  CorrectTextRect(r, ANativeStyle);
  const Integer flags = WordWrap() ? kWordWrapCaptionFlags : kCaptionFlags;
  if (IsNativeBackground()) ACanvas->Canvas()->Refresh();
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->DrawTexT(Caption(), r, flags, inner || ANativeStyle || Enabled());
  ACanvas->Brush()->SetStyle(bsSolid);
  if (!Focused() || Caption().empty()) return;
  TRect focus = r;
  ACanvas->TextExtent(Caption(), focus, flags);
  focus =
      TRect{focus.Left - 1, focus.Top - 1, focus.Right + 1, focus.Bottom + 2};
  if (IsInplace()) {
    focus.Top = std::max(focus.Top, 1);
    focus.Bottom = std::min(focus.Bottom, Height() - 1);
    focus.Right = std::min(focus.Right, Width());
  } else {
    focus.Left = std::max(focus.Left, 0);
    focus.Top = std::max(focus.Top, 0);
    focus.Right = std::min(focus.Right, Width());
    focus.Bottom = std::min(focus.Bottom, Height());
    if (Alignment() != taRightJustify) {
      focus.Right = std::min(focus.Right, glyphRect_.Left);
    }
  }
  ACanvas->Brush()->SetColor(Color());
  ACanvas->Font()->SetColor(Font()->Color());
  ACanvas->DrawFocusRect(focus);
}

// ---------------------------------------------------------------------------
// Items and properties
// ---------------------------------------------------------------------------

TcxRadioGroupItem::TcxRadioGroupItem(TCollection* Collection)
    : TcxButtonGroupItem(Collection) {}

void TcxRadioGroupItem::Assign(TPersistent* Source) {
  if (auto* item = dynamic_cast<TcxRadioGroupItem*>(Source)) {
    SetValue(item->Value());
  }
  TcxButtonGroupItem::Assign(Source);
}

void TcxRadioGroupItem::SetValue(const Variant& Value) {
  if (InternalVarEqualsExact(value_, Value)) return;
  value_ = Value;
  if (auto* items = dynamic_cast<TcxButtonGroupItems*>(Collection())) {
    items->ItemChanged(this, copChanged, Index());
  }
}

TcxRadioGroupItems::TcxRadioGroupItems(TPersistent* AOwner)
    : TcxButtonGroupItems(AOwner, TcxRadioGroupItem::StaticClass()) {}

TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties(
    TPersistent* AOwner)
    : TcxCustomButtonGroupProperties(AOwner) {
  RecreateItems();
}

TObjectPtr<TcxButtonGroupItems> TcxCustomRadioGroupProperties::CreateItems() {
  return TObjectPtr<TcxButtonGroupItems>(new TcxRadioGroupItems(this));
}

void TcxCustomRadioGroupProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomRadioGroupProperties*>(Source);
  if (!source) {
    TcxCustomButtonGroupProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomButtonGroupProperties::Assign(Source);
  SetDefaultCaption(source->DefaultCaption());
  SetDefaultValue(source->DefaultValue());
}

void TcxCustomRadioGroupProperties::SetDefaultCaption(const String& Value) {
  if (defaultCaption_ == Value) return;
  defaultCaption_ = Value;
  Changed();
}

void TcxCustomRadioGroupProperties::SetDefaultValue(const Variant& Value) {
  if (InternalVarEqualsExact(defaultValue_, Value)) return;
  defaultValue_ = Value;
  Changed();
}

Integer TcxCustomRadioGroupProperties::GetRadioGroupItemIndex(
    const Variant& AEditValue) {
  TcxRadioGroupItems* items = GetItems();
  for (Integer i = 0; i < items->Count(); ++i) {
    TcxRadioGroupItem* item = items->Items(i);
    const bool match =
        VarIsNull(item->Value())
            ? InternalCompareString(item->Caption(), VarToStr(AEditValue), true)
            : VarEqualsExact(item->Value(), AEditValue);
    if (match) return i;
  }
  return -1;
}

Variant TcxCustomRadioGroupProperties::ItemIndexToEditValue(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetItems()->Count()) return defaultValue_;
  TcxRadioGroupItem* item = GetItems()->Items(AIndex);
  if (VarIsNull(item->Value())) return Variant(item->Caption());
  return item->Value();
}

Integer TcxCustomRadioGroupProperties::GetColumnCount() {
  const Integer count = std::min(Columns(), Items()->Count());
  return count == 0 ? 1 : count;
}

TcxEditSupportedOperations
TcxCustomRadioGroupProperties::GetSupportedOperations() {
  TcxEditSupportedOperations result =
      TcxCustomButtonGroupProperties::GetSupportedOperations();
  result.Include(esoHorzAlignment);
  result.Include(esoSortingByDisplayText);
  return result;
}

WideString TcxCustomRadioGroupProperties::GetDisplayText(
    const Variant& AEditValue, bool, bool) {
  const Integer index = GetRadioGroupItemIndex(AEditValue);
  return Platform::AnsiToWide(index < 0 ? defaultCaption_
                                        : GetItems()->Items(index)->Caption());
}

void TcxCustomRadioGroupProperties::PrepareDisplayValue(
    const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = Variant(GetRadioGroupItemIndex(AEditValue));
}

bool TcxCustomRadioGroupProperties::CompareDisplayValues(
    const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetRadioGroupItemIndex(AEditValue1) ==
         GetRadioGroupItemIndex(AEditValue2);
}

TcxCustomEditClass TcxCustomRadioGroupProperties::GetContainerClass() {
  return cxEditClass<TcxRadioGroup>();
}

// ---------------------------------------------------------------------------
// TcxCustomRadioGroupButton
// ---------------------------------------------------------------------------

TcxCustomRadioGroupButton::TcxCustomRadioGroupButton(
    TcxCustomRadioGroup* AGroup)
    : TcxRadioButton(nullptr), group_(AGroup) {
  LookAndFeel()->SetMasterLookAndFeel(AGroup->GetStyle()->LookAndFeel());
}

Integer TcxCustomRadioGroupButton::QueryInterface(const TGUID& iid,
                                                  void** obj) {
  if (iid == IcxContainerInnerControl::IID) {
    *obj = static_cast<IcxContainerInnerControl*>(this);
    return 0;
  }
  return TcxRadioButton::QueryInterface(iid, obj);
}

TcxContainer* TcxCustomRadioGroupButton::GetControlContainer() {
  return group_;
}

bool TcxCustomRadioGroupButton::IsInplace() { return group_->IsInplace(); }

bool TcxCustomRadioGroupButton::IsNativeStyle() {
  return TcxCustomEditViewData::IsNativeStyle(
      group_->GetStyle()->LookAndFeel());
}

void TcxCustomRadioGroupButton::SetChecked(bool Value) {
  if (Checked() == Value) return;
  SetCheckedSilently(Value);
  if (Value && !internalChecking_) group_->ButtonChecked(this);
}

void TcxCustomRadioGroupButton::SetCheckedInternally(bool Value) {
  TRestoreOnExit<bool> restore(internalChecking_, true);
  SetChecked(Value);
}

void TcxCustomRadioGroupButton::Click() {
  // The group fires its own Click when its value moves.
  TcxRadioButton::Click();
}

void TcxCustomRadioGroupButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    const Word code = HIWORD(Message.WParam);
    if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
    if (inCommand_) return;
    TRestoreOnExit<bool> restore(inCommand_, true);
    try {
      if (Checked() || (group_->CanModify() && group_->DoEditing())) {
        SetChecked(true);
      }
    } catch (const Exception&) {
      Application->HandleException(this);
    }
    return;
  }
  if (Message.Msg == WM_GETDLGCODE) {
    TcxRadioButton::Dispatch(Message);
    if (group_->TabsNeeded() && !KeyboardStateToShiftState().Contains(ssCtrl)) {
      Message.Result |= DLGC_WANTTAB;
    }
    if (group_->IsInplace()) Message.Result |= DLGC_WANTARROWS;
    return;
  }
  if (Message.Msg == WM_LBUTTONDOWN) {
    TRestoreOnExit<bool> restore(focusingByMouse_, true);
    TcxRadioButton::Dispatch(Message);
    return;
  }
  TcxRadioButton::Dispatch(Message);
}

void TcxCustomRadioGroupButton::MouseDown(TMouseButton Button,
                                          TShiftState Shift, Integer X,
                                          Integer Y) {
  TcxRadioButton::MouseDown(Button, Shift, X, Y);
}

void TcxCustomRadioGroupButton::DoEnter() {
  group_->ShortRefreshContainer(false);
  // Keyboard focus moves the check; a click checks through its command.
  if (!Checked() && !group_->IsInplace() && !focusingByMouse_ &&
      group_->DoEditing()) {
    TRadioButton::DoEnter();
    SetChecked(true);
    return;
  }
  TRadioButton::DoEnter();
}

void TcxCustomRadioGroupButton::DoExit() {
  TcxRadioButton::DoExit();
  group_->ShortRefreshContainer(false);
}

void TcxCustomRadioGroupButton::KeyPress(char& Key) {
  if ((Key == '\b' || Key == ' ') && !group_->CanModify()) Key = 0;
  TcxRadioButton::KeyPress(Key);
}

// ---------------------------------------------------------------------------
// TcxCustomRadioGroup
// ---------------------------------------------------------------------------

TcxCustomRadioGroup::TcxCustomRadioGroup(TComponent* AOwner, bool AIsInplace)
    : TcxCustomButtonGroup(AOwner, AIsInplace) {
  CreateProperties();
  controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks};
  SetBounds(Left(), Top(), 185, 105);
}

TObjectPtr<TWinControl> TcxCustomRadioGroup::GetButtonInstance() {
  return TObjectPtr<TWinControl>(new TcxCustomRadioGroupButton(this));
}

bool TcxCustomRadioGroup::IsLoadingOrDesigning() {
  const TComponentState state = ComponentState();
  return state.Contains(csLoading) || state.Contains(csReading) ||
         state.Contains(csUpdating) || state.Contains(csDesigning);
}

Integer TcxCustomRadioGroup::CheckedButtonIndex() {
  for (Integer i = 0; i < ButtonCount(); ++i) {
    if (RadioButtons(i)->Checked()) return i;
  }
  return -1;
}

Integer TcxCustomRadioGroup::ItemIndex() {
  if (IsLoadingOrDesigning()) return storedItemIndex_;
  return CheckedButtonIndex();
}

void TcxCustomRadioGroup::SetItemIndex(Integer Value) {
  const bool loading = ComponentState().Contains(csLoading);
  if (!loading) {
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    Variant editValue;
    PrepareEditValue(Variant(Value), editValue, Focused());
    SetInternalValues(editValue, true, false);
  }
  if (IsLoadingOrDesigning()) storedItemIndex_ = Value;
}

void TcxCustomRadioGroup::PrepareEditValue(const Variant& ADisplayValue,
                                           Variant& AEditValue, bool) {
  AEditValue =
      ActiveRadioProperties()->ItemIndexToEditValue(ADisplayValue.AsInteger());
}

void TcxCustomRadioGroup::InternalSetEditValue(const Variant& Value,
                                               bool AValidateEditValue) {
  SetInternalValues(Value, AValidateEditValue, false);
}

void TcxCustomRadioGroup::SynchronizeDisplayValue() {}

void TcxCustomRadioGroup::Dispatch(TMessage& Message) {
  if (Message.Msg == cxWM_FOCUSRADIOBUTTON) {
    const auto index = static_cast<Integer>(Message.LParam);
    if (index >= 0 && index < ButtonCount() &&
        RadioButtons(index)->CanFocus()) {
      RadioButtons(index)->SetFocus();
    }
    return;
  }
  TcxCustomButtonGroup::Dispatch(Message);
}

void TcxCustomRadioGroup::SetInternalValues(const Variant& AEditValue,
                                            bool AValidateEditValue,
                                            bool AForce) {
  LockChangeEvents(true);
  {
    TScopeGuard unlock([this] { LockChangeEvents(false); });
    TcxCustomButtonGroup::InternalSetEditValue(AEditValue, AValidateEditValue);
    const Integer index =
        ActiveRadioProperties()->GetRadioGroupItemIndex(AEditValue);
    if (AForce || index != CheckedButtonIndex()) {
      if (!AForce) {
        if (index < 0) {
          const Integer checked = CheckedButtonIndex();
          if (checked >= 0) RadioButtons(checked)->SetCheckedInternally(false);
        } else if (index < ButtonCount()) {
          RadioButtons(index)->SetCheckedInternally(true);
        }
      }
      if (index >= 0 && index < ButtonCount() && Focused() &&
          HandleAllocated() && GetFocus() != Handle() &&
          RadioButtons(index)->CanFocus()) {
        RadioButtons(index)->SetFocus();
      }
      if (IsLoadingOrDesigning()) storedItemIndex_ = index;
      Click();
      DoChange();
    } else if (!IsUserAction()) {
      SetModified(false);
    }
  }
  ShortRefreshContainer(false);
}

void TcxCustomRadioGroup::ButtonChecked(TcxCustomRadioGroupButton* AButton) {
  LockChangeEvents(true);
  TScopeGuard unlock([this] { LockChangeEvents(false); });
  SetUserAction(Focused());
  {
    TScopeGuard clearUserAction([this] { SetUserAction(false); });
    if (!ComponentState().Contains(csLoading)) {
      Integer index = -1;
      for (Integer i = 0; i < ButtonCount(); ++i) {
        if (Buttons(i) == AButton) index = i;
      }
      Variant editValue;
      PrepareEditValue(Variant(index), editValue, Focused());
      SetInternalValues(editValue, true, true);
    }
  }
  if (Focused() && ActiveProperties()->ImmediatePost() && CanPostEditValue() &&
      ValidateEdit(true)) {
    InternalPostEditValue(false);
  }
}

void TcxCustomRadioGroup::SetFocus() {
  const Integer checked = CheckedButtonIndex();
  if (checked >= 0 && RadioButtons(checked)->CanFocus()) {
    RadioButtons(checked)->SetFocus();
  } else {
    TcxCustomButtonGroup::SetFocus();
  }
}

void TcxCustomRadioGroup::UpdateButtons() {
  TcxCustomButtonGroup::UpdateButtons();
  TcxRadioGroupItems* items = ActiveRadioProperties()->GetItems();
  const Integer count = std::min(ButtonCount(), items->Count());
  for (Integer i = 0; i < count; ++i) {
    RadioButtons(i)->SetCaption(items->Items(i)->Caption());
    RadioButtons(i)->SetWordWrap(ActiveRadioProperties()->WordWrap());
  }
  if (ComponentState().Contains(csLoading)) return;
  // The check follows the edit value: an item added or deleted before the
  // checked one moves it to another index, and an item whose value changed
  // may now be the one that matches.
  const Integer index =
      ActiveRadioProperties()->GetRadioGroupItemIndex(EditValue());
  const Integer checked = CheckedButtonIndex();
  if (index == checked) return;
  if (index >= 0 && index < ButtonCount()) {
    RadioButtons(index)->SetCheckedInternally(true);
  } else if (checked >= 0) {
    RadioButtons(checked)->SetCheckedInternally(false);
  }
}

void TcxCustomRadioGroup::SynchronizeButtonsStyle() {
  TcxCustomButtonGroup::SynchronizeButtonsStyle();
  for (Integer i = 0; i < ButtonCount(); ++i) {
    TcxCustomRadioGroupButton* button = RadioButtons(i);
    button->LookAndFeel()->SetKind(GetStyle()->LookAndFeel()->Kind());
    if (!button->Enabled()) {
      button->Font()->SetColor(GetStyleDisabled()->TextColor());
    }
    button->SetTransparent(Transparent());
  }
}

void TcxCustomRadioGroup::Loaded() {
  TcxCustomButtonGroup::Loaded();
  LockChangeEvents(true);
  LockClick(true);
  TScopeGuard unlock([this] {
    LockClick(false);
    LockChangeEvents(false, false);
  });
  SetEditValue(ActiveRadioProperties()->DefaultValue());
  SetItemIndex(storedItemIndex_);
  UpdateButtons();
}

namespace {

void RadioGroupStartup() {
  using I = TcxRadioGroupItem;
  TPublished<TcxRadioGroupItem>().Property("Value", &I::Value, &I::SetValue);
  using P = TcxCustomRadioGroupProperties;
  TPublished<TcxCustomRadioGroupProperties>()
      .Property("DefaultCaption", &P::DefaultCaption, &P::SetDefaultCaption)
      .Property("DefaultValue", &P::DefaultValue, &P::SetDefaultValue);
  using B = TcxRadioButton;
  TPublished<TcxRadioButton>().Property("Transparent", &B::Transparent,
                                        &B::SetTransparent, false);
  RegisterClasses({TcxRadioButton::StaticClass(), TcxRadioGroup::StaticClass(),
                   TcxRadioGroupProperties::StaticClass()});
  GetRegisteredEditProperties()->Register(
      TcxRadioGroupProperties::StaticClass(),
      "RadioGroup|Represents a group of radio buttons");
}

void RadioGroupShutdown() {
  GetRegisteredEditProperties()->Unregister(
      TcxRadioGroupProperties::StaticClass());
  UnpublishClass(TcxRadioGroupItem::StaticClass());
  UnpublishClass(TcxCustomRadioGroupProperties::StaticClass());
  UnpublishClass(TcxRadioButton::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxRadioGroup, ({"cxButtonGroup", "cxEdit"}), &RadioGroupStartup,
            &RadioGroupShutdown);
