// The control controller: focus of records and items, the editing rules
// for mouse, keys, focus and paint, incremental search; and the cell
// navigator that moves the focus between cells.
#include "cxInplaceContainer.h"

// ---------------------------------------------------------------------------
// TcxCustomControlController
// ---------------------------------------------------------------------------

TcxCustomControlController::TcxCustomControlController(
    TcxEditingControl* AOwner)
    : editingControl_(AOwner) {}

TcxCustomControlController::~TcxCustomControlController() {
  navigator_.reset();
  editingController_.reset();
  hotTrackController_.reset();
  hitTestController_.reset();
}

void TcxCustomControlController::CreateSubObjects() {
  editingController_ = editingControl_->GetEditingControllerClass()(this);
  hitTestController_ = editingControl_->GetHitTestControllerClass()(this);
  hotTrackController_ =
      editingControl_->GetHotTrackControllerClass()(editingControl_);
  navigator_ = GetNavigatorClass()(this);
}

TcxCustomInplaceEditContainer* TcxCustomControlController::EditingItem() const {
  return editingController_->EditingItem();
}

bool TcxCustomControlController::IsEditing() const {
  return editingController_->IsEditing();
}

void TcxCustomControlController::SetEditingItem(
    TcxCustomInplaceEditContainer* Value) {
  editingController_->SetEditingItem(Value);
}

TcxDataController* TcxCustomControlController::DataController() const {
  return editingControl_->DataController();
}

TcxDragAndDropObject* TcxCustomControlController::DragAndDropObject() {
  return editingControl_->DragAndDropObject();
}

TcxCustomDesignSelectionHelper*
TcxCustomControlController::DesignSelectionHelper() {
  return editingControl_->DesignSelectionHelper();
}

void TcxCustomControlController::Reset() {
  editingController_->PostEditUpdate();
  hitTestController_->ClearState();
  hitTestController_->SetHitTestItem(nullptr);
  hotTrackController_->Clear();
}

void TcxCustomControlController::PostCheckEdit() {
  if (allowCheckEdit_) checkEditNeeded_ = true;
}

void TcxCustomControlController::ProcessCheckEditPost() {
  if (checkEditNeeded_) CheckEdit();
}

void TcxCustomControlController::PostShowEdit() {
  if (IsEditing()) return;
  auto* behavior = editingControl_->GetOptions()->GetOptionsBehavior();
  if (!(behavior->ImmediateEditor() || behavior->AlwaysShowEditor())) return;
  if (editingControl_->DragAndDropState() != ddsNone) return;
  if (hitTestController_->IsItemEditCell()) PostCheckEdit();
}

void TcxCustomControlController::SetScrollBarInfo(TScrollBarKind AKind,
                                                  Integer AMin, Integer AMax,
                                                  Integer AStep, Integer APage,
                                                  Integer APos, bool AAllowShow,
                                                  bool AAllowHide) {
  editingControl_->SetScrollBarInfo(AKind, AMin, AMax, AStep, APage, APos,
                                    AAllowShow, AAllowHide);
}

TcxCustomInplaceEditContainer*
TcxCustomControlController::GetItemForIncSearching() {
  auto* behavior = editingControl_->GetOptions()->GetOptionsBehavior();
  if (behavior->IncSearch() && behavior->IncSearchItem())
    return behavior->IncSearchItem();
  return focusedItem_;
}

void TcxCustomControlController::SetIncSearchingText(const String& AText) {
  if (AText == GetIncSearchingText()) return;
  TcxCustomInplaceEditContainer* item =
      GetIsIncSearching() ? GetIncSearchingItem() : GetItemForIncSearching();
  if (!item) return;
  if (!AText.empty())
    SearchLocate(item, AText);
  else
    CancelIncSearching();
  if (TcxEditCellViewInfo* cell =
          GetFocusedCellViewInfo(GetItemForIncSearching()))
    cell->Invalidate(true);
}

// --- Overridables ------------------------------------------------------------

void TcxCustomControlController::MouseEnter() {
  hitTestController_->ReCalculate();
}

void TcxCustomControlController::MouseLeave() {
  HideHint();
  hitTestController_->SetHasCode(echc_IsMouseEvent, true);
  TScopeGuard clear(
      [this] { hitTestController_->SetHasCode(echc_IsMouseEvent, false); });
  hitTestController_->SetHitTestItem(nullptr);
}

void TcxCustomControlController::AfterPaint() {
  if (editingControl_->DragAndDropState() == ddsInProcess)
    if (auto* drag = dynamic_cast<TcxCustomControlDragAndDropObject*>(
            editingControl_->DragAndDropObject()))
      drag->OwnerImageChanged();
  ProcessCheckEditPost();
}

void TcxCustomControlController::BeforeMouseDown(TMouseButton, TShiftState,
                                                 Integer, Integer) {
  editingBeforeDrag_ = IsEditing();
}

void TcxCustomControlController::BeforePaint() {
  editingController_->CheckEditUpdatePost();
  if (editingControl_->DragAndDropState() == ddsInProcess)
    if (auto* drag = dynamic_cast<TcxCustomControlDragAndDropObject*>(
            editingControl_->DragAndDropObject()))
      drag->OwnerImageChanging();
}

void TcxCustomControlController::BehaviorChanged() {
  if (editingControl_->ViewInfo())
    editingControl_->ViewInfo()->UpdateSelection();
}

void TcxCustomControlController::CheckEdit() {
  checkEditNeeded_ = false;
  if (allowCheckEdit_ && GetAlwaysShowEditor()) editingController_->ShowEdit();
}

void TcxCustomControlController::DoEditDblClick(TObject*) {
  editingControl_->DblClick();
}

void TcxCustomControlController::DoMouseDown(TMouseButton Button,
                                             TShiftState Shift, Integer X,
                                             Integer Y) {
  const Integer prevRecord = GetFocusedRecordIndex();
  TcxCustomInplaceEditContainer* prevItem = focusedItem_;
  isDblClick_ = Shift.Contains(ssDouble);
  wasFocusedBeforeClick_ = false;
  editingController_->StopEditShowingTimer();
  TcxEditCellViewInfo* cell = hitTestController_->EditCellViewInfo();
  const bool hotClick = cell && cell->EditViewInfo() &&
                        cell->EditViewInfo()->IsHotTrack(TPoint{X, Y});
  hotClickCell_ = hotClick ? cell : nullptr;
  MouseDown(Button, Shift, X, Y);
  hitTestController_->ReCalculate(TPoint{X, Y});
  if (Button == mbMiddle || !hitTestController_->IsItemEditCell()) return;
  cell = hitTestController_->EditCellViewInfo();
  SetFocusedRecordItem(cell->GetRecordIndex(), cell->EditContainer());
  hitTestController_->ReCalculate(TPoint{X, Y});
  if (!hitTestController_->IsItemEditCell()) return;
  cell = hitTestController_->EditCellViewInfo();
  const bool sameHotCell = hotClick && hotClickCell_ == cell;
  if (GetImmediateEditor() || sameHotCell) {
    if (Button == mbLeft) {
      if (sameHotCell)
        editingController_->ShowEdit(cell->EditContainer(), Shift, X, Y);
      else
        editingController_->ShowEdit(cell->EditContainer(), TShiftState{}, -1,
                                     -1);
    }
  } else {
    wasFocusedBeforeClick_ = prevRecord == GetFocusedRecordIndex() &&
                             prevItem == focusedItem_ && focusedItem_;
    if (!wasFocusedBeforeClick_ && focusedItem_)
      focusedItem_->CancelIncSearching();
  }
}

void TcxCustomControlController::DoMouseMove(TShiftState Shift, Integer X,
                                             Integer Y) {
  MouseMove(Shift, X, Y);
  hitTestController_->RecalculateOnMouseEvent(X, Y, Shift);
}

void TcxCustomControlController::DoMouseUp(TMouseButton Button,
                                           TShiftState Shift, Integer X,
                                           Integer Y) {
  MouseUp(Button, Shift, X, Y);
  TcxEditCellViewInfo* cell = hitTestController_->EditCellViewInfo();
  if (wasFocusedBeforeClick_ && !IsEditing() && !isDblClick_ && cell &&
      Button == mbLeft)
    editingController_->StartEditShowingTimer(cell->EditContainer());
  hitTestController_->ReCalculate(TPoint{X, Y});
  cell = hitTestController_->EditCellViewInfo();
  if (IsEditing() || isDblClick_ || !cell || !GetImmediateEditor()) return;
  editingController_->StopEditShowingTimer();
  if (Button == mbLeft) editingController_->ShowEdit(cell->EditContainer());
}

TcxEditCellViewInfo* TcxCustomControlController::GetEditingViewInfo() {
  return GetFocusedCellViewInfo(EditingItem());
}

Integer TcxCustomControlController::GetFocusedRecordIndex() {
  return DataController()->GetFocusedRecordIndex();
}

void TcxCustomControlController::FocusedItemChanged(
    TcxCustomInplaceEditContainer* APrevItem) {
  if (editingControl_->IsLoading() || editingControl_->IsDestroying()) return;
  CancelIncSearching();
  MakeFocusedItemVisible();
  if (!disableCellsRefresh_) {
    TcxEditCellViewInfo* prev =
        APrevItem ? GetFocusedCellViewInfo(APrevItem) : nullptr;
    TcxEditCellViewInfo* next =
        focusedItem_ ? GetFocusedCellViewInfo(focusedItem_) : nullptr;
    if (prev != next) {
      if (prev) prev->Refresh(false);
      if (next) next->Refresh(false);
    }
  }
  navigator_->Refresh();
}

void TcxCustomControlController::FocusedRecordChanged(Integer, Integer) {
  if (editingController_->GetHideEditOnFocusedRecordChange())
    editingController_->HideEdit(true);
  CheckEdit();
  editingController_->UpdateEditValue();
}

bool TcxCustomControlController::HasFocusedControls() {
  TcxCustomEdit* edit = editingController_->Edit();
  return edit && edit->Focused();
}

void TcxCustomControlController::HideHint() {
  hotTrackController_->CancelHint();
}

Word TcxCustomControlController::IncSearchKeyDown(Word AKey,
                                                  TShiftState AShift) {
  if (!GetIsIncSearching()) return AKey;
  switch (AKey) {
    case VK_BACK: {
      String text = GetIncSearchingText();
      if (!text.empty()) text.pop_back();
      SetIncSearchingText(text);
      return 0;
    }
    case VK_ESCAPE:
      CancelIncSearching();
      return 0;
    case VK_UP:
    case VK_DOWN:
      if (AShift == TShiftState{ssCtrl}) {
        SearchLocateNext(GetIncSearchingItem(), AKey == VK_DOWN);
        return 0;
      }
      return AKey;
    default:
      return AKey;
  }
}

bool TcxCustomControlController::IsKeyForController(Word AKey,
                                                    TShiftState AShift) {
  (void)AShift;
  switch (AKey) {
    case VK_TAB:
      return GetGoToNextCellOnTab();
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
      return true;
    default:
      return false;
  }
}

void TcxCustomControlController::RefreshFocusedCellViewInfo(
    TcxCustomInplaceEditContainer* AItem) {
  if (disableCellsRefresh_ || !AItem) return;
  if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(AItem))
    if (cell->Refresh(true)) editingControl_->LayoutChanged();
}

void TcxCustomControlController::RefreshFocusedRecord() {
  bool changed = false;
  editingControl_->BeginUpdate();
  {
    TScopeGuard unlock([this] { editingControl_->CancelUpdate(); });
    for (Integer i = 0; i < editingControl_->ItemCount() && !changed; ++i)
      if (TcxEditCellViewInfo* cell =
              GetFocusedCellViewInfo(editingControl_->Items(i)))
        changed = cell->Refresh(true);
  }
  if (changed && !editingControl_->IsLocked()) {
    editingControl_->BeforeUpdate();
    editingControl_->LayoutChanged();
  }
}

void TcxCustomControlController::SetFocusedItem(
    TcxCustomInplaceEditContainer* Value) {
  if (IsEditing()) editingController_->HideEdit(true);
  if (Value && !Value->CanFocus()) return;
  if (Value != focusedItem_) {
    if (focusedItem_ && !editingController_->EditPreparing())
      editingController_->HideEdit(true);
    TcxCustomInplaceEditContainer* prev = focusedItem_;
    focusedItem_ = Value;
    FocusedItemChanged(prev);
  } else if (Value) {
    MakeFocusedItemVisible();
  }
  CheckEdit();
}

void TcxCustomControlController::SetFocusedRecordIndex(Integer Value) {
  if (Value < 0 || Value >= DataController()->GetRecordCount()) return;
  if (!CanFocusedRecordIndex(Value)) return;
  const Integer row = DataController()->GetRowIndexByRecordIndex(Value, true);
  if (!DataController()->ChangeFocusedRowIndex(row)) return;
  if (GetFocusedRecordIndex() == Value) MakeFocusedRecordVisible();
}

void TcxCustomControlController::SetFocusedRecordItem(
    Integer ARecordIndex, TcxCustomInplaceEditContainer* AItem) {
  editingController_->HideEdit(true);
  allowCheckEdit_ = false;
  TScopeGuard finish([this] {
    allowCheckEdit_ = true;
    CheckEdit();
    disableCellsRefresh_ = false;
  });
  disableCellsRefresh_ = ARecordIndex == GetFocusedRecordIndex();
  SetFocusedRecordIndex(ARecordIndex);
  disableCellsRefresh_ =
      ARecordIndex == GetFocusedRecordIndex() && AItem == focusedItem_;
  SetFocusedItem(AItem);
}

bool TcxCustomControlController::GetAlwaysShowEditor() {
  return editingControl_->GetOptions()
      ->GetOptionsBehavior()
      ->AlwaysShowEditor();
}

bool TcxCustomControlController::GetCancelEditingOnExit() {
  if (!editingControl_->GetOptions()->GetOptionsData()->CancelOnExit())
    return false;
  const TcxDataControllerEditState state = DataController()->GetEditState();
  return state.Contains(dceInsert) && !state.Contains(dceChanging) &&
         !state.Contains(dceModified);
}

bool TcxCustomControlController::GetFocusCellOnCycle() {
  return editingControl_->GetOptions()
      ->GetOptionsBehavior()
      ->FocusCellOnCycle();
}

bool TcxCustomControlController::GetGoToNextCellOnEnter() {
  return editingControl_->GetOptions()
      ->GetOptionsBehavior()
      ->GoToNextCellOnEnter();
}

bool TcxCustomControlController::GetGoToNextCellOnTab() {
  return editingControl_->GetOptions()
      ->GetOptionsBehavior()
      ->GoToNextCellOnTab();
}

bool TcxCustomControlController::GetImmediateEditor() {
  auto* behavior = editingControl_->GetOptions()->GetOptionsBehavior();
  return (behavior->ImmediateEditor() || behavior->AlwaysShowEditor()) &&
         editingControl_->DragMode() == dmManual;
}

void TcxCustomControlController::DragOver(TObject*, Integer, Integer,
                                          TDragState, bool&) {
  editingController_->HideEdit(true);
}

void TcxCustomControlController::EndDrag(TObject*, Integer X, Integer Y) {
  hitTestController_->ReCalculate(TPoint{X, Y});
  if (editingBeforeDrag_ || GetAlwaysShowEditor())
    editingController_->ShowEdit();
}

void TcxCustomControlController::DoExit() {
  if (GetCancelEditingOnExit()) {
    DataController()->Cancel();
  } else {
    DataController()->PostEditingData();
    if (IsImmediatePost()) DataController()->Post();
  }
}

bool TcxCustomControlController::MayFocus() {
  TcxCustomEdit* edit = editingController_->Edit();
  if (!editingControl_->Focused() || !IsEditing() || !edit) return true;
  if (GetAlwaysShowEditor()) return false;
  try {
    return edit->ValidateEdit(true);
  } catch (...) {
    return false;
  }
}

void TcxCustomControlController::FocusChanged() {
  TcxCustomEdit* edit = editingController_->Edit();
  const bool focused =
      editingControl_->IsFocused() || (IsEditing() && edit && edit->Focused());
  if (focused) {
    CheckEdit();
    edit = editingController_->Edit();
    if (IsEditing() && edit && GetAlwaysShowEditor() && !edit->Focused() &&
        edit->CanFocus())
      edit->SetFocus();
    else if (edit && !edit->Focused() && !GetAlwaysShowEditor() &&
             !editingControl_->Focused())
      editingController_->HideEdit(true);
    else if (GetAlwaysShowEditor() && !IsEditing() && GetImmediateEditor())
      editingController_->ShowEdit();
  }
  if (focused != focused_) {
    SetFocused(focused);
    ControlFocusChanged();
  }
}

void TcxCustomControlController::SetFocus() {
  if (!editingController_->CanRemoveEditFocus()) return;
  if (editingControl_->CanFocusEx() && editingControl_->IsFocused() &&
      editingControl_->HandleAllocated())
    editingControl_->SetFocus();
  PostCheckEdit();
}

void TcxCustomControlController::CancelIncSearching() {
  TcxCustomInplaceEditContainer* item = GetIncSearchingItem();
  DataController()->Search()->Cancel();
  if (item)
    if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(item))
      cell->Refresh(true);
}

TcxCustomInplaceEditContainer*
TcxCustomControlController::GetIncSearchingItem() {
  if (!GetIsIncSearching()) return nullptr;
  const Integer index = DataController()->Search()->GetItemIndex();
  if (index < 0 || index >= editingControl_->ItemCount()) return nullptr;
  return editingControl_->Items(index);
}

String TcxCustomControlController::GetIncSearchingText() {
  return DataController()->Search()->SearchText();
}

bool TcxCustomControlController::GetIsIncSearching() {
  return DataController()->Search()->Searching();
}

void TcxCustomControlController::SearchLocate(
    TcxCustomInplaceEditContainer* AItem, const String& AValue) {
  DataController()->Search()->Locate(AItem->ItemIndex(), AValue);
}

void TcxCustomControlController::SearchLocateNext(
    TcxCustomInplaceEditContainer* AItem, bool AForward) {
  (void)AItem;
  DataController()->Search()->LocateNext(AForward);
}

void TcxCustomControlController::Clear() {
  hitTestController_->ClearState();
  hotTrackController_->Clear();
}

void TcxCustomControlController::ControlFocusChanged() {
  if (!focused_ && editingController_->GetHideEditOnExit())
    editingController_->HideEdit(true);
  if (editingControl_->ViewInfo())
    editingControl_->ViewInfo()->UpdateSelection();
}

void TcxCustomControlController::KeyDown(Word& Key, TShiftState Shift) {
  if (!blockRecordKeyboardHandling_) {
    if (GetIsIncSearching()) Key = IncSearchKeyDown(Key, Shift);
    navigator_->KeyDown(Key, Shift);
  }
  const bool plain = Shift.Empty() || Shift == TShiftState{ssShift};
  switch (Key) {
    case VK_TAB:
      if (GetGoToNextCellOnTab() && plain) {
        navigator_->FocusNextCell(!Shift.Contains(ssShift),
                                  navigator_->DownOnTab(), Shift);
        Key = 0;
      }
      break;
    case VK_RETURN:
      if (GetGoToNextCellOnEnter() && plain)
        navigator_->FocusNextCell(!Shift.Contains(ssShift),
                                  navigator_->DownOnEnter(), Shift);
      break;
    case VK_ESCAPE:
      DataController()->Cancel();
      break;
    case VK_PRIOR:
    case VK_NEXT:
      DoNextPage(Key == VK_NEXT, Shift);
      break;
    default:
      break;
  }
}

void TcxCustomControlController::KeyPress(char& Key) {
  if (eatKeyPress_) {
    eatKeyPress_ = false;
    return;
  }
  const unsigned char ch = static_cast<unsigned char>(Key);
  if (ch == 8 || ch > 31) {
    TcxCustomInplaceEditContainer* item = GetItemForIncSearching();
    const TcxDataControllerEditState state = DataController()->GetEditState();
    if (item && item->CanIncSearch() && !state.Contains(dceInsert) &&
        !state.Contains(dceEdit)) {
      if (ch != 8) SetIncSearchingText(GetIncSearchingText() + Key);
      Key = '\0';
    }
  }
  navigator_->DoKeyPress(Key);
}

void TcxCustomControlController::WndProc(TMessage& Message) {
  if (Message.Msg == WM_IME_STARTCOMPOSITION) editingController_->ShowEdit();
}

void TcxCustomControlController::BeginDragAndDrop() {
  editingController_->HideEdit(true);
}

void TcxCustomControlController::EndDragAndDrop(bool) {
  if (editingControl_->DragAndDropState() == ddsNone) CheckEdit();
}

// ---------------------------------------------------------------------------
// TcxCustomCellNavigator
// ---------------------------------------------------------------------------

TcxCustomCellNavigator::TcxCustomCellNavigator(
    TcxCustomControlController* AController)
    : controller_(AController) {}

TcxEditingController* TcxCustomCellNavigator::EditingController() {
  return controller_->EditingController();
}

TcxCustomInplaceEditContainer* TcxCustomCellNavigator::SelectCell(
    bool AForward, bool ANextRow, Integer& ARowIndex, Integer& ACellIndex) {
  Integer r = ARowIndex;
  Integer c = ACellIndex;
  const Integer step = AForward ? 1 : -1;
  TcxCustomInplaceEditContainer* result = nullptr;
  // Bounded by the number of rows the navigator reported, so that a grid
  // without any focusable cell cannot loop.
  for (Integer guard = 0; guard <= rowCount_ + 1; ++guard) {
    Integer cc = c;
    for (;;) {
      TcxCustomInplaceEditContainer* item = GetCellContainer(r, cc);
      if (!item) break;
      if (item->CanFocus() && item->CanTabStop()) {
        result = item;
        break;
      }
      cc += step;
    }
    if (result) {
      c = cc;
      break;
    }
    c = ACellIndex;
    if (!(controller_->GetFocusCellOnCycle() && !ANextRow)) {
      c = ACellIndex;
      break;
    }
    const Integer before = r;
    Integer cc2 = c;
    CalcNextRow(AForward, r, cc2);
    if (r == before) break;
    if (GetCount(r) == 0 && MayFocusedEmptyRow(r)) {
      c = 0;
      break;
    }
    c = AForward ? 0 : GetCount(r) - 1;
    ACellIndex = c;
  }
  ARowIndex = r;
  ACellIndex = c;
  return result;
}

void TcxCustomCellNavigator::DoKeyPress(char& Key) {
  if (eatKeyPress_) {
    eatKeyPress_ = false;
    return;
  }
  KeyPress(Key);
}

void TcxCustomCellNavigator::FocusNextCell(bool AForward, bool ANextRow,
                                           TShiftState AShift) {
  Integer row = 0, cell = 0;
  Init(row, cell, rowCount_);
  Integer r = row, c = cell;
  if (ANextRow)
    CalcNextRow(AForward, r, c);
  else
    c += AForward ? 1 : -1;
  SelectCell(AForward, ANextRow, r, c);
  const Integer count = GetCount(r);
  const bool valid =
      (c >= 0 && c <= count - 1) || (count == 0 && MayFocusedEmptyRow(r));
  if (!valid) {
    r = row;
    c = cell;
  }
  if (r != row || c != cell) SetFocusCell(r, c, AShift);
}

void TcxCustomCellNavigator::KeyDown(Word& Key, TShiftState Shift) {
  switch (Key) {
    case VK_TAB:
      FocusNextCell(!Shift.Contains(ssShift), downOnTab_, Shift);
      Key = 0;
      break;
    case VK_RETURN:
    case VK_F2:
      if (controller_->FocusedItem() && Shift.Empty()) {
        controller_->FocusedItem()->SetEditing(true);
        if (controller_->IsEditing()) Key = 0;
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
      FocusNextCell(Key == VK_RIGHT, false, Shift);
      Key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      FocusNextCell(Key == VK_DOWN, true, Shift);
      Key = 0;
      break;
    default:
      break;
  }
}

void TcxCustomCellNavigator::KeyPress(char& Key) {
  const unsigned char ch = static_cast<unsigned char>(Key);
  if ((ch == 8 || ch == 22 || ch == 24 || ch >= 32) &&
      controller_->FocusedItem()) {
    EditingController()->ShowEdit(controller_->FocusedItem(), Key);
    Key = '\0';
  }
}
