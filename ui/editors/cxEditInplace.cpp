// The editor control's keys, focus and in-place activation, and the
// in-place edit list of the grids.
#include <windows.h>

#include <algorithm>

#include "Forms.h"
#include "ScopeGuard.h"
#include "cxEdit.h"

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

Integer TcxCustomEdit::GetDefaultButtonVisibleIndex() {
  // Read from the buttons, so that it holds before the first calculation.
  auto* buttons = ActiveProperties()->Buttons();
  for (Integer i = 0, visible = -1; i < buttons->Count(); ++i) {
    auto* button = buttons->Items(i);
    if (!button->Visible()) continue;
    ++visible;
    if (button->Default()) return visible;
  }
  return -1;
}

void TcxCustomEdit::DefaultButtonClick() {
  Integer index = GetDefaultButtonVisibleIndex();
  if (index != -1) DoButtonClick(index);
}

bool TcxCustomEdit::IsEditorKey(Word Key, TShiftState Shift) {
  return GetDefaultButtonVisibleIndex() != -1 &&
         ShortCut(Key, Shift) == ActiveProperties()->ClickKey();
}

bool TcxCustomEdit::IsSpecialKey(Word Key, TShiftState Shift) {
  TShortCut shortCut = ShortCut(Key, Shift);
  auto* props = ActiveProperties();
  return (props->ClearKey() != 0 && shortCut == props->ClearKey()) ||
         IsEditorKey(Key, Shift);
}

void TcxCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  escHandled_ = false;
  if (!IsEditorKey(Key, Shift)) TcxContainer::KeyDown(Key, Shift);
  if (Key != 0) DoEditKeyDown(Key, Shift);
  if (Key != 0 && NeedsInvokeAfterKeyDown(Key, Shift))
    DoAfterKeyDown(Key, Shift);
}

void TcxCustomEdit::KeyPress(char& Key) {
  if (Key == 27 && escHandled_) {
    escHandled_ = false;
    Key = 0;
    return;
  }
  TcxContainer::KeyPress(Key);
  if (Key != 0) DoEditKeyPress(Key);
}

void TcxCustomEdit::KeyUp(Word& Key, TShiftState Shift) {
  TcxContainer::KeyUp(Key, Shift);
  if (Key != 0) DoEditKeyUp(Key, Shift);
}

bool TcxCustomEdit::ValidateKeyDown(Word& Key, TShiftState Shift) {
  return dataBinding_->Modified() || !CanKeyDownModifyEdit(Key, Shift) ||
         DoEditing();
}

bool TcxCustomEdit::IsValidChar(char C) {
  auto* provider = ActiveProperties()->IDefaultValuesProvider();
  return !provider || provider->IsValidChar(C) ||
         provider->IsOnSetTextAssigned();
}

bool TcxCustomEdit::ValidateKeyPress(char& Key) {
  if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
  } else if (!dataBinding_->Modified() && CanKeyPressModifyEdit(Key) &&
             !DoEditing()) {
    Key = 0;
  }
  return Key != 0;
}

void TcxCustomEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (Key == 0) return;
  auto* props = ActiveProperties();
  TShortCut shortCut = ShortCut(Key, Shift);
  if (props->ClearKey() != 0 && shortCut == props->ClearKey()) {
    LockChangeEvents(true);
    auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
    TRestoreOnExit userAction(isUserAction_, true);
    Variant clearValue;
    GetClearValue(clearValue);
    SetInternalEditValue(clearValue);
    validated_ = true;
    Key = 0;
    return;
  }
  if (GetDefaultButtonVisibleIndex() != -1 && shortCut == props->ClickKey()) {
    // The character Ctrl+Enter would type must not reach the editor.
    if (HandleAllocated()) {
      MSG msg;
      while (::PeekMessageW(&msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
      }
    }
    DefaultButtonClick();
    Key = 0;
    return;
  }
  if (!ValidateKeyDown(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  switch (Key) {
    case VK_TAB:
      if (focused_ && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) &&
          !props->InnerEditNeedsTabs()) {
        DoEditProcessTab(Shift);
        DoAfterKeyDown(Key, Shift);
        if (Key != 0) {
          Key = 0;
          if (auto* form = GetParentForm(this))
            form->SelectNext(this, !Shift.Contains(ssShift), true);
        }
      }
      break;
    case VK_RETURN:
      if (props->ValidateOnEnter()) {
        Key = 0;
        LockChangeEvents(true);
        auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
        if (ValidateEdit(true) && CanPostEditValue())
          InternalPostEditValue(false);
      }
      break;
    case VK_ESCAPE:
      if (modifiedAfterEnter_ &&
          (dataBinding_->IsDBEdit() || props->IsResetEditClass())) {
        {
          LockChangeEvents(true);
          auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
          dataBinding_->Reset();
          SetModified(true);
        }
        escHandled_ = true;
        Key = 0;
      }
      break;
  }
  if (Key >= VK_PRIOR && Key <= VK_DOWN && !WantNavigationKeys()) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
  }
}

void TcxCustomEdit::WndProc(TMessage& Message) {
  // An in-place editor leaves the context menu to its grid.
  if (isInplace_ && Message.Msg == WM_CONTEXTMENU) return;
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (CheckButtonShortCuts(static_cast<char>(Message.WParam))) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_COPY:
      CopyToClipboard();
      Message.Result = 0;
      return;
    case WM_CUT: {
      TRestoreOnExit userAction(isUserAction_, true);
      // Nothing may leave an editor that cannot change: it only copies.
      if (RealReadOnly() || !DataBinding()->IsDataAvailable())
        CopyToClipboard();
      else
        CutToClipboard();
      Message.Result = 0;
      return;
    }
    case WM_PASTE:
      if (!RealReadOnly() && DataBinding()->IsDataAvailable()) {
        TRestoreOnExit userAction(isUserAction_, true);
        PasteFromClipboard();
      }
      Message.Result = 0;
      return;
  }
  TcxContainer::WndProc(Message);
  // A shown editor takes the size its content asks for.
  if (Message.Msg == CM_SHOWINGCHANGED && Showing()) SetSize();
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

void TcxCustomEdit::DoEnter() {
  if (IsDestroying()) return;
  if (!isRefocusing_) DoShowEdit();
  ShortRefreshContainer(false);
}

void TcxCustomEdit::DoShowEdit() {
  SaveModified();
  {
    auto restore = TScopeGuard([this] { RestoreModified(); });
    TcxContainer::DoEnter();
    if (UpdateContentOnFocusChanging()) dataBinding_->UpdateDisplayValue();
    if (ActiveProperties()->IsResetEditClass()) KeepValueBeforeEditing();
    if (UpdateContentOnFocusChanging()) SynchronizeDisplayValue();
  }
  modifiedAfterEnter_ = false;
}

void TcxCustomEdit::DoExit() {
  TRestoreOnExit userAction(isUserAction_, false);
  DoHideEdit(true);
}

void TcxCustomEdit::DoHideEdit(bool AExit) {
  if (IsDestroying() || isRefocusing_) return;
  SaveModified();
  auto restore = TScopeGuard([this] { RestoreModified(); });
  {
    LockChangeEvents(true);
    auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
    if (!ValidateEdit(true)) Abort();
    if (!isInplace_ && CanPostEditValue()) InternalPostEditValue(false);
  }
  if (UpdateContentOnFocusChanging()) dataBinding_->UpdateDisplayValue();
  UpdateDrawValue();
  ShortRefreshContainer(false);
  restore.Dismiss();
  RestoreModified();
  if (AExit) TcxContainer::DoExit();
  modifiedAfterEnter_ = false;
}

void TcxCustomEdit::FocusChanged() {
  if (IsDestroying() || isRefocusing_) return;
  bool focused = Focused() && (!Application || Application->Active());
  if (focused == focused_) return;
  focused_ = focused;
  TcxContainer::FocusChanged();
  DoFocusChanged();
}

namespace {
// The nearest window up the parent chain that is not a child window.
HWND TopLevelWindow(HWND AWnd) {
  while (AWnd && (::GetWindowLongW(AWnd, GWL_STYLE) & WS_CHILD))
    AWnd = ::GetParent(AWnd);
  return AWnd;
}
}  // namespace

void TcxCustomEdit::DoFocusChanged() {
  UpdateDrawValue();
  TCustomForm* form = GetParentForm(this);
  // A modal form closing with a result keeps no invalid value unchecked.
  const bool modalClosing =
      form && !form->Visible() && form->FormState().Contains(fsModal) &&
      form->ModalResult() != mrNone && form->ModalResult() != mrCancel;
  // Nothing else on the form would take the focus and validate it.
  const bool soleControlLeft =
      !focused_ && form && Parent() == form && form->ControlCount() == 1 &&
      HandleAllocated() &&
      TopLevelWindow(Handle()) == TopLevelWindow(::GetFocus());
  if (modalClosing || soleControlLeft) ValidateEdit(false);
}

// ---------------------------------------------------------------------------
// In-place activation
// ---------------------------------------------------------------------------

TcxCustomEditData::~TcxCustomEditData() {
  if (edit_ && edit_->EditData() == this) edit_->DoClearEditData(nullptr);
}

void TcxCustomEditData::Clear() {
  cleared_ = true;
  if (edit_) edit_->DoClearEditData(this);
}

void TcxCustomEdit::DoClearEditData(TcxCustomEditData* AEditData) {
  if (!AEditData) {
    editData_ = nullptr;
    return;
  }
  if (AEditData != editData_) return;
  InitializeEditData();
  AEditData->SetCleared(false);
}

void TcxCustomEdit::Activate(TcxCustomEditData*& AEditData) {
  if (!AEditData && GetEditDataClass()) {
    AEditData = static_cast<TcxCustomEditData*>(
        GetEditDataClass()->NewInstance().release());
    AEditData->SetEdit(this);
  }
  editData_ = AEditData;
  if (editData_) DoClearEditData(editData_);
  SetVisible(true);
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (ActiveProperties()->AutoSelect()) SelectAll();
  }
  SynchronizeDisplayValue();
  SetModified(false);
  activated_ = true;
}

void TcxCustomEdit::ActivateByKey(char AKey, TcxCustomEditData*& AEditData) {
  LockInnerEditRepainting();
  auto unlock = TScopeGuard([this] { UnlockInnerEditRepainting(); });
  Activate(AEditData);
  if (SendActivationKey(AKey) && HandleAllocated())
    ::SendMessageW(Handle(), WM_CHAR, static_cast<unsigned char>(AKey), 0);
}

void TcxCustomEdit::ActivateByMouse(TShiftState AShift, Integer X, Integer Y,
                                    TcxCustomEditData*& AEditData) {
  Activate(AEditData);
  if (!HandleAllocated()) return;
  // From the parent's client coordinates to the editor's.
  LPARAM point = MAKELPARAM(X - Left(), Y - Top());
  WPARAM keys = 0;
  if (AShift.Contains(ssShift)) keys |= MK_SHIFT;
  if (AShift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (AShift.Contains(ssLeft)) {
    ::SendMessageW(Handle(), WM_LBUTTONDOWN, keys | MK_LBUTTON, point);
    if (MouseCapture() && (::GetKeyState(VK_LBUTTON) & 0x8000) == 0)
      SetMouseCapture(false);
  } else {
    ::SendMessageW(Handle(), WM_LBUTTONUP, keys, point);
  }
  // The second click of the double click that started the editing.
  StartDblClickTimer();
}

bool TcxCustomEdit::Deactivate() {
  dblClickDeadline_ = 0;
  TRestoreOnExit userAction(isUserAction_, false);
  bool result = ValidateEdit(true);
  if (result) {
    SynchronizeDisplayValue();
    validated_ = true;
  }
  return result;
}

// ---------------------------------------------------------------------------
// TcxInplaceEditList
// ---------------------------------------------------------------------------

namespace {
// Every live list, so that a properties object that goes can leave them.
std::vector<TcxInplaceEditList*>& InplaceEditLists() {
  static std::vector<TcxInplaceEditList*> lists;
  return lists;
}
}  // namespace

void cxInplaceEditListsDisconnect(TcxCustomEditProperties* AProperties) {
  for (auto* list : InplaceEditLists()) list->DisconnectProperties(AProperties);
}

TcxInplaceEditList::TcxInplaceEditList() { InplaceEditLists().push_back(this); }

TcxInplaceEditList::~TcxInplaceEditList() {
  std::erase(InplaceEditLists(), this);
  DestroyItems();
}

TObjectPtr<TcxCustomEdit> TcxInplaceEditList::CreateEdit(
    TClass APropertiesClass) {
  auto properties =
      OwnedCast<TcxCustomEditProperties>(APropertiesClass->NewInstance());
  auto edit = properties->GetContainerClass().Create(nullptr, true);
  edit->SetVisible(false);
  return edit;
}

void TcxInplaceEditList::InitEdit(TcxCustomEdit* AEdit,
                                  TcxCustomEditProperties* AProperties) {
  AEdit->LockChangeEvents(true);
  auto unlock = TScopeGuard([AEdit] { AEdit->LockChangeEvents(false, false); });
  AEdit->SetProperties(AProperties);
}

Integer TcxInplaceEditList::FindItem(TClass APropertiesClass) {
  auto properties =
      OwnedCast<TcxCustomEditProperties>(APropertiesClass->NewInstance());
  TClass editClass = properties->GetContainerClass().Class;
  for (Integer i = 0; i < Count(); ++i)
    if (!items_[i].Properties && items_[i].Edit->ClassType() == editClass)
      return i;
  return -1;
}

Integer TcxInplaceEditList::FindItem(TcxCustomEditProperties* AProperties,
                                     bool ALookupByClass) {
  for (Integer i = 0; i < Count(); ++i)
    if (items_[i].Properties == AProperties) return i;
  if (!ALookupByClass) return -1;
  Integer index = FindItem(AProperties->ClassType());
  if (index != -1) items_[index].Properties = AProperties;
  return index;
}

TcxCustomEdit* TcxInplaceEditList::FindEdit(
    TcxCustomEditProperties* AProperties) {
  Integer index = FindItem(AProperties, true);
  return index == -1 ? nullptr : items_[index].Edit.get();
}

TcxCustomEdit* TcxInplaceEditList::FindEdit(TClass APropertiesClass) {
  Integer index = FindItem(APropertiesClass);
  return index == -1 ? nullptr : items_[index].Edit.get();
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(
    TcxCustomEditProperties* AProperties) {
  TcxCustomEdit* edit = FindEdit(AProperties);
  if (!edit) {
    items_.push_back({CreateEdit(AProperties->ClassType()), AProperties});
    edit = items_.back().Edit.get();
  }
  InitEdit(edit, AProperties);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TClass APropertiesClass) {
  if (auto* edit = FindEdit(APropertiesClass)) return edit;
  items_.push_back({CreateEdit(APropertiesClass), nullptr});
  return items_.back().Edit.get();
}

void TcxInplaceEditList::DisconnectProperties(
    TcxCustomEditProperties* AProperties) {
  Integer index = FindItem(AProperties, false);
  if (index != -1) items_[index].Properties = nullptr;
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditProperties* AProperties) {
  Integer index = FindItem(AProperties, false);
  if (index != -1) RemoveItem(index);
}

void TcxInplaceEditList::RemoveItem(TClass APropertiesClass) {
  for (Integer index; (index = FindItem(APropertiesClass)) != -1;)
    RemoveItem(index);
}

void TcxInplaceEditList::RemoveItem(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Count()) return;
  auto edit = std::move(items_[AIndex].Edit);
  items_.erase(items_.begin() + AIndex);
  edit->SetParent(nullptr);
}

void TcxInplaceEditList::DestroyItems() {
  while (Count() > 0) RemoveItem(Count() - 1);
}
