// The editing controller: which item is being edited, the one cached
// editor control per properties object, placing it over the focused cell,
// activating it, carrying values between it and the data controller, and
// hiding it with or without accepting the value.
#include "cxInplaceContainer.h"

TcxEditingController::TcxEditingController(
    TcxCustomControlController* AController)
    : controller_(AController), editList_(new TcxInplaceEditList()) {}

TcxEditingController::~TcxEditingController() { StopEditShowingTimer(); }

TcxEditingControl* TcxEditingController::EditingControl() const {
  return controller_->EditingControl();
}

TcxCustomEditProperties* TcxEditingController::GetEditingProperties() {
  if (!IsEditing() || EditingControl()->IsDestroying()) return nullptr;
  TcxEditCellViewInfo* cell = controller_->GetEditingViewInfo();
  void* data = cell ? cell->GetViewInfoData() : nullptr;
  TcxCustomEditProperties* properties = editingItem_->DoGetEditProperties(data);
  editingItem_->DoGetEditingProperties(data, properties);
  return properties;
}

bool TcxEditingController::IsDragging() {
  return EditingControl()->Dragging() ||
         EditingControl()->DragAndDropState() == ddsInProcess;
}

void TcxEditingController::SetEditingItem(
    TcxCustomInplaceEditContainer* Value) {
  if (Value == editingItem_ || editingItemSetting_) return;
  TRestoreOnExit setting(editingItemSetting_, true);
  if (Value) {
    if (!Value->CanEdit()) return;
    if (!EditingControl()->DoEditing(Value)) return;
    Value->SetFocused(true);
    // Focusing may have been refused.
    if (controller_->FocusedItem() != Value) return;
  }
  HideEdit(false);
  editingItem_ = Value;
  if (!Value) return;
  try {
    ShowEdit(Value);
  } catch (...) {
    editingItem_ = nullptr;
    throw;
  }
  if (!editPreparing_ && !edit_) editingItem_ = nullptr;
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* AItem) {
  if (!AItem) AItem = controller_->FocusedItem();
  if (PrepareEdit(AItem, false)) edit_->Activate(AItem->EditData());
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* AItem,
                                    char AKey) {
  if (PrepareEdit(AItem, false)) edit_->ActivateByKey(AKey, AItem->EditData());
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* AItem,
                                    TShiftState AShift, Integer X, Integer Y) {
  if (PrepareEdit(AItem, true))
    edit_->ActivateByMouse(AShift, X, Y, AItem->EditData());
}

bool TcxEditingController::PrepareEdit(TcxCustomInplaceEditContainer* AItem,
                                       bool AIsMouseEvent) {
  controller_->CancelCheckEditPost();
  if (editPreparing_ || editHiding_ || !AItem || IsDragging()) return false;
  TcxEditingControl* control = EditingControl();
  if (!AItem->Editing() || editingItemSetting_) {
    TRestoreOnExit preparing(editPreparing_, true);
    if (control->Focused()) {
      controller_->BeforeShowEdit();
      AItem->SetEditing(true);
    }
    if (!AItem->Editing()) return false;
    try {
      TcxCustomEditProperties* properties = GetEditingProperties();
      AItem->SetEditValueSource(properties->GetEditValueSource(true));
      edit_ = editList_->GetEdit(properties);
      edit_->SetVisible(false);
      edit_->SetParent(nullptr);
      edit_->SetParent(control);
    } catch (...) {
      edit_ = nullptr;
      AItem->SetEditing(false);
      throw;
    }
    if (TcxEditCellViewInfo* cell = AItem->GetFocusedCellViewInfo())
      cell->Invalidate(false);
    InitEdit();
    return true;
  }
  if (!edit_) return false;
  if (control->Focused() && !edit_->Focused()) return true;
  return AIsMouseEvent;
}

void TcxEditingController::InitEdit() {
  TcxCustomEditProperties* properties = edit_->ActiveProperties();
  prevEditOnChange_ = properties->OnChange;
  prevEditOnEditValueChanged_ = properties->OnEditValueChanged;
  properties->OnChange = TNotifyEvent();
  properties->OnEditValueChanged = TNotifyEvent();
  UpdateEdit();
  UpdateEditValue();
  AssignEditEvents();
  EditingControl()->DoInitEdit(editingItem_, edit_);
}

void TcxEditingController::UpdateEdit() {
  if (!edit_ || !editingItem_ || !editingItem_->GetFocusedCellViewInfo())
    return;
  if (editPreparing_)
    DoUpdateEdit();
  else
    PostEditUpdate();
  editPlaced_ = true;
}

void TcxEditingController::DoUpdateEdit() {
  CancelEditUpdatePost();
  if (!IsEditing() || !edit_) return;
  controller_->BeforeShowEdit();
  TcxEditCellViewInfo* cell =
      controller_->GetFocusedCellViewInfo(controller_->FocusedItem());
  const bool hidden = !cell || !cell->Visible() ||
                      cell->VisibleRect().Left >= cell->VisibleRect().Right ||
                      cell->VisibleRect().Top >= cell->VisibleRect().Bottom;
  if (hidden) {
    // Parked, not hidden: the editor keeps its state and the focus.
    edit_->SetLeft(30000);
    return;
  }
  if (editPreparing_) {
    cell->Refresh(false);
    cxAssignEditStyle(cell);
    edit_->GetStyle()->Assign(EditingControl()->EditStyle());
  }
  edit_->SetBoundsRect(cell->VisibleRect());
  edit_->SetVisible(true);
}

void TcxEditingController::CheckEditUpdatePost() {
  if (editUpdateNeeded_) DoUpdateEdit();
}

void TcxEditingController::AfterViewInfoCalculate() {
  if (!IsEditing() || !edit_) return;
  TcxEditCellViewInfo* cell = editingItem_->GetFocusedCellViewInfo();
  if (!editPlaced_ || (cell && !IsRectEmpty(cell->ClipRect()))) {
    CancelEditUpdatePost();
    edit_->SetLeft(30000);
  }
}

void TcxEditingController::UpdateEditValue() {
  if (!IsEditing() || editHiding_ || initiatingEditing_ || !edit_ ||
      edit_->IsPosting())
    return;
  edit_->SetEditValue(editingItem_->GetEditValue());
  edit_->SelectAll();
}

void TcxEditingController::UpdateValue() {
  if (!IsEditing() || !edit_ || !edit_->ModifiedAfterEnter()) return;
  edit_->ValidateEdit(true);
  editingItem_->SetEditValue(edit_->EditValue());
  edit_->SetModifiedAfterEnter(false);
}

bool TcxEditingController::CanRemoveEditFocus() {
  return !(IsEditing() && edit_ && edit_->Focused() && !editHiding_);
}

bool TcxEditingController::GetHideEditOnExit() {
  if (!EditingControl()->GetOptions()->GetOptionsBehavior()->AlwaysShowEditor())
    return true;
  return EditingControl()->IsFocused();
}

bool TcxEditingController::GetHideEditOnFocusedRecordChange() {
  TcxEditingControl* control = EditingControl();
  if (!control->GetOptions()->GetOptionsBehavior()->AlwaysShowEditor())
    return true;
  return (editingItem_ && editingItem_->OnGetEditProperties) ||
         static_cast<bool>(control->OnEditing) ||
         static_cast<bool>(control->OnInitEdit);
}

void TcxEditingController::StartEditShowingTimer(
    TcxCustomInplaceEditContainer* AItem) {
  StopEditShowingTimer();
  editShowingTimerItem_ = AItem;
  editShowingTimer_ = std::make_unique<TcxTimer>(nullptr);
  editShowingTimer_->SetInterval(static_cast<Cardinal>(GetDblClickInterval()));
  editShowingTimer_->SetOnTimer(
      TNotifyEvent(this, &TcxEditingController::EditShowingTimerHandler));
  editShowingTimer_->SetEnabled(true);
}

void TcxEditingController::StopEditShowingTimer() { editShowingTimer_.reset(); }

void TcxEditingController::EditShowingTimerHandler(TObject*) {
  TcxCustomInplaceEditContainer* item = editShowingTimerItem_;
  StopEditShowingTimer();
  if (item) item->SetEditing(true);
  controller_->SetEditingBeforeDrag(IsEditing());
}

void TcxEditingController::HideEdit(bool Accept) {
  controller_->CancelCheckEditPost();
  CancelEditUpdatePost();
  StopEditShowingTimer();
  TcxEditingControl* control = EditingControl();
  if (editHiding_ || !IsEditing() || control->IsDestroying()) return;
  TRestoreOnExit hiding(editHiding_, true);
  TcxCustomInplaceEditContainer* item = editingItem_;
  if (Accept && edit_) {
    if (!edit_->Deactivate()) Abort();
    // The in-place editor leaves posting to its container.
    UpdateValue();
    control->DataController()->PostEditingData();
    if (controller_->IsImmediatePost()) control->DataController()->Post();
    if (!editingItem_) return;
    if (TcxEditCellViewInfo* cell = item->GetFocusedCellViewInfo())
      if (cell->Properties())
        cell->Properties()->Update(edit_->ActiveProperties());
  }
  if (!control->IsDestroying()) control->DoEdited(item);
  SetEditingItem(nullptr);
  editingItem_ = nullptr;
  controller_->RefreshFocusedCellViewInfo(item);
  HideInplaceEditor();
  errorOnEditExit_ = false;
}

void TcxEditingController::HideInplaceEditor() {
  if (!edit_) return;
  UnassignEditEvents();
  edit_->SetModified(false);
  const bool allow = controller_->AllowCheckEdit();
  controller_->SetAllowCheckEdit(false);
  TScopeGuard restore([this, allow] { controller_->SetAllowCheckEdit(allow); });
  controller_->SetFocus();
  edit_->SetVisible(false);
  edit_ = nullptr;
}

void TcxEditingController::RemoveEdit(TcxCustomEditProperties* AProperties) {
  if (!AProperties) return;
  if (IsEditing() && GetEditingProperties() == AProperties)
    SetEditingItem(nullptr);
  if (edit_ && editList_->FindEdit(AProperties) == edit_) edit_ = nullptr;
  editList_->RemoveItem(AProperties);
}

// --- Editor events -----------------------------------------------------------

void TcxEditingController::AssignEditEvents() {
  edit_->OnAfterKeyDown =
      TKeyEvent(this, &TcxEditingController::EditAfterKeyDown);
  edit_->OnEditing =
      TcxEditEditingEvent(this, &TcxEditingController::EditEditing);
  edit_->OnPostEditValue =
      TNotifyEvent(this, &TcxEditingController::EditPostEditValue);
  edit_->OnExit = TNotifyEvent(this, &TcxEditingController::EditExit);
  edit_->OnDblClick = TNotifyEvent(this, &TcxEditingController::EditDblClick);
  edit_->OnKeyDown = TKeyEvent(this, &TcxEditingController::EditKeyDown);
  edit_->OnKeyPress = TKeyPressEvent(this, &TcxEditingController::EditKeyPress);
  edit_->OnKeyUp = TKeyEvent(this, &TcxEditingController::EditKeyUp);
  TcxCustomEditProperties* properties = edit_->ActiveProperties();
  properties->OnChange = TNotifyEvent(this, &TcxEditingController::EditChanged);
  properties->OnEditValueChanged =
      TNotifyEvent(this, &TcxEditingController::EditValueChanged);
}

void TcxEditingController::UnassignEditEvents() {
  edit_->OnAfterKeyDown = TKeyEvent();
  edit_->OnEditing = TcxEditEditingEvent();
  edit_->OnPostEditValue = TNotifyEvent();
  edit_->OnExit = TNotifyEvent();
  edit_->OnDblClick = TNotifyEvent();
  edit_->OnKeyDown = TKeyEvent();
  edit_->OnKeyPress = TKeyPressEvent();
  edit_->OnKeyUp = TKeyEvent();
  TcxCustomEditProperties* properties = edit_->ActiveProperties();
  properties->OnChange = prevEditOnChange_;
  properties->OnEditValueChanged = prevEditOnEditValueChanged_;
}

void TcxEditingController::EditAfterKeyDown(TObject*, Word& Key,
                                            TShiftState Shift) {
  if (controller_->IsKeyForController(Key, Shift))
    controller_->KeyDown(Key, Shift);
}

void TcxEditingController::EditChanged(TObject* Sender) {
  if (prevEditOnChange_) prevEditOnChange_(Sender);
  EditingControl()->DoEditChanged(editingItem_);
}

void TcxEditingController::EditDblClick(TObject* Sender) {
  controller_->DoEditDblClick(Sender);
}

void TcxEditingController::EditEditing(TObject*, bool& CanEdit) {
  TRestoreOnExit initiating(initiatingEditing_, true);
  CanEdit = editingItem_ && editingItem_->CanInitEditing();
}

void TcxEditingController::EditEnter(TObject*) {
  if (controller_->GetFocused()) return;
  controller_->SetFocused(true);
  controller_->ControlFocusChanged();
}

void TcxEditingController::EditExit(TObject*) {
  if (GetHideEditOnExit()) {
    try {
      HideEdit(!controller_->GetCancelEditingOnExit());
    } catch (...) {
      if (IsEditing() && edit_) {
        edit_->SetFocus();
        errorOnEditExit_ = true;
      }
      throw;
    }
  }
  EditingControl()->FocusChanged();
}

void TcxEditingController::EditKeyDown(TObject*, Word& Key, TShiftState Shift) {
  TcxEditingControl* control = EditingControl();
  if (control->OnKeyDown) control->OnKeyDown(control, Key, Shift);
  // An open drop-down list takes its own keys: Enter picks from it rather
  // than closing the editor.
  if (edit_ && edit_->HasPopupWindow()) return;
  controller_->BeforeEditKeyDown(Key, Shift);
  if (!control->IsScrollingContent() &&
      controller_->IsKeyForController(Key, Shift))
    controller_->MakeFocusedItemVisible();
  switch (Key) {
    case VK_RETURN:
      HideEdit(true);
      if (controller_->GetGoToNextCellOnEnter()) {
        controller_->SetBlockRecordKeyboardHandling(true);
        TScopeGuard unblock(
            [this] { controller_->SetBlockRecordKeyboardHandling(false); });
        controller_->KeyDown(Key, Shift);
        unblock.Dismiss();
        controller_->SetBlockRecordKeyboardHandling(false);
        ShowEdit(nullptr);
      } else {
        controller_->CheckEdit();
      }
      Key = 0;
      break;
    case VK_ESCAPE: {
      const bool modified = edit_ && edit_->ModifiedAfterEnter();
      HideEdit(false);
      controller_->CheckEdit();
      // An unchanged editor lets Esc reach the form (its cancel button).
      if (modified) Key = 0;
      break;
    }
    case VK_DELETE:
      if (Shift == TShiftState{ssCtrl}) {
        controller_->KeyDown(Key, Shift);
        Key = 0;
      }
      break;
    default:
      break;
  }
}

void TcxEditingController::EditKeyPress(TObject*, char& Key) {
  TcxEditingControl* control = EditingControl();
  if (control->OnKeyPress) control->OnKeyPress(control, Key);
  if (Key == '\x1b') Key = '\0';
  controller_->MakeFocusedItemVisible();
}

void TcxEditingController::EditKeyUp(TObject*, Word& Key, TShiftState Shift) {
  TcxEditingControl* control = EditingControl();
  if (control->OnKeyUp) control->OnKeyUp(control, Key, Shift);
}

void TcxEditingController::EditPostEditValue(TObject*) { UpdateValue(); }

void TcxEditingController::EditValueChanged(TObject* Sender) {
  if (prevEditOnEditValueChanged_) prevEditOnEditValueChanged_(Sender);
  EditingControl()->DoEditValueChanged(editingItem_);
}
