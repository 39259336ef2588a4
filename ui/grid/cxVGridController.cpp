#include "cxVGrid.h"

// The cursors of a row drag (registered with the customization form).
constexpr TCursor crcxVGridAddChild = -1229;
constexpr TCursor crcxVGridAdd = -1230;
constexpr TCursor crcxVGridInsert = -1228;
constexpr TCursor crcxVGridNoDrag = -1242;

// ---------------------------------------------------------------------------
// TcxvgHitTest
// ---------------------------------------------------------------------------

TcxCustomVerticalGrid* TcxvgHitTest::Grid() const {
  return static_cast<TcxCustomVerticalGrid*>(EditingControl());
}

bool TcxvgHitTest::GetHitAtRowHeader() const {
  return HasCode(vghc_HitAtButton | vghc_HitAtCaption | vghc_HitAtImage |
                 vghc_HitAtIndent);
}

void TcxvgHitTest::DoCalculate() {
  hitRow_ = nullptr;
  newHitItem_ = nullptr;
  hitBandIndex_ = -1;
  hitCellIndex_ = -1;
  ClearState();
  SetHasCode(TcxHitCode(2), false);
  TcxCustomVerticalGrid* grid = Grid();
  hitInControl_ = PtInRect(grid->GetClientBounds(), HitPoint());
  if (!CalcCustomizingHitTest() && hitInControl_ && grid->VGViewInfo())
    CalcBandsHitTest(grid->VGViewInfo());
  SetHitTestItem(newHitItem_);
}

bool TcxvgHitTest::CalcCustomizingHitTest() {
  TcxVerticalGridCustomizing* customizing = Grid()->Customizing();
  if (!customizing || !customizing->Visible()) return false;
  if (!customizing->CanDrop(Grid()->ClientToScreen(HitPoint()))) return false;
  SetHasCode(vghc_HitAtCustomize, true);
  return true;
}

void TcxvgHitTest::CalcBandsHitTest(TcxvgCustomViewInfo* AViewInfo) {
  TcxCustomVerticalGrid* grid = Grid();
  const TPoint p = HitPoint();
  TcxRectList& bands = AViewInfo->ViewRects().BandRects;
  for (Integer i = 0; i < bands.Count(); ++i) {
    const TRect band = bands.GetRect(i);
    if (i == 0) {
      if ((grid->OptionsBehavior()->HeaderSizing() || grid->IsDesigning()) &&
          AViewInfo->ShowHeaders) {
        const Integer x = band.Left + AViewInfo->ViewHeaderWidth;
        const TRect divider{x, AViewInfo->Bounds().Top,
                            x + AViewInfo->DividerWidth + 2,
                            AViewInfo->Bounds().Bottom};
        if (PtInRect(divider, p)) SetHasCode(vghc_HitAtDivider, true);
      }
      if (grid->CanBandSizing() &&
          PtInRect(AViewInfo->GetBandSizeableRect(band), p))
        SetHasCode(vghc_HitAtBandSizing, true);
    }
    if (hitBandIndex_ < 0 && PtInRect(band, p)) hitBandIndex_ = i;
  }
  CalcRowsHitTest(AViewInfo);
}

bool TcxvgHitTest::CalcRowsHitTest(TcxvgCustomViewInfo* AViewInfo) {
  TcxCustomVerticalGrid* grid = Grid();
  const TPoint p = HitPoint();
  for (Integer i = 0; i < AViewInfo->RowsViewInfoCount(); ++i) {
    TcxCustomRowViewInfo* row = AViewInfo->RowsViewInfo(i);
    if (grid->OptionsBehavior()->RowSizing() &&
        row->Row()->Options()->CanResized()) {
      const TRect edge{
          row->RowRect.Left, row->RowRect.Bottom - 1, row->RowRect.Right,
          std::min(row->RowRect.Bottom + 1, AViewInfo->Bounds().Bottom)};
      if (PtInRect(edge, p)) {
        SetHasCode(vghc_HitAtRowSizing, true);
        hitRow_ = row->Row();
        return true;
      }
    }
    if (CalcRowHitTest(row)) return true;
  }
  SetHasCode(vghc_HitAtEmpty, true);
  return false;
}

bool TcxvgHitTest::CalcRowHitTest(TcxCustomRowViewInfo* ARow) {
  TRect r = ARow->RowRect;
  r.Bottom += Grid()->VGViewInfo()->HorzLineWidth;
  if (!PtInRect(r, HitPoint())) return false;
  hitRow_ = ARow->Row();
  if (!CalcRowHeaderHitTest(ARow->HeaderInfo()) &&
      PtInRect(ARow->ValuesRect, HitPoint()))
    CalcRowValuesHitTest(ARow);
  return true;
}

bool TcxvgHitTest::CalcRowHeaderHitTest(TcxCustomRowHeaderInfo* AHeader) {
  const TPoint p = HitPoint();
  if (!PtInRect(AHeader->HeaderRect, p)) return false;
  if (!IsRectEmpty(AHeader->ButtonRect) && PtInRect(AHeader->ButtonRect, p)) {
    SetHasCode(vghc_HitAtButton, true);
    return true;
  }
  if (PtInRect(AHeader->HeaderCellsRect, p))
    for (Integer i = 0; i < AHeader->CaptionCount(); ++i) {
      TcxRowCaptionInfo* caption = AHeader->Captions(i);
      if (PtInRect(caption->ImageRect, p)) {
        SetHasCode(vghc_HitAtImage, true);
        hitCellIndex_ = caption->RowCellIndex;
        return true;
      }
      if (PtInRect(caption->CaptionRect, p)) {
        SetHasCode(vghc_HitAtCaption, true);
        hitCellIndex_ = caption->RowCellIndex;
        newHitItem_ = caption;
        return true;
      }
    }
  SetHasCode(vghc_HitAtIndent, true);
  return true;
}

void TcxvgHitTest::CalcRowValuesHitTest(TcxCustomRowViewInfo* ARow) {
  for (Integer i = 0; i < ARow->ValueInfoCount(); ++i) {
    TcxRowValueInfo* cell = ARow->ValueInfos(i);
    if (!PtInRect(cell->DisplayRect(), HitPoint())) continue;
    SetHasCode(vghc_HitAtValue, true);
    if (Grid()->VGController()->ResizeKind() == rkNone) {
      newHitItem_ = cell;
      hitCellIndex_ = cell->RowCellIndex;
    }
    return;
  }
}

bool TcxvgHitTest::CanSizing(TcxDragSizingDirection& ADirection) {
  if (HasCode(vghc_HitAtRowSizing)) {
    ADirection = dsdVert;
    return true;
  }
  ADirection = dsdHorz;
  return HasCode(vghc_HitAtBandSizing) || HasCode(vghc_HitAtDivider);
}

bool TcxvgHitTest::CanMoving() {
  return Grid()->IsAutoDragMode() && hitRow_ && hitRow_->Options()->Moving() &&
         HasCode(vghc_HitAtCaption) && !CanSizing();
}

TCursor TcxvgHitTest::GetCurrentCursor() {
  const TCursor base = TcxCustomHitTestController::GetCurrentCursor();
  TcxCustomVerticalGrid* grid = Grid();
  TcxDragSizingDirection direction;
  const bool dragging = grid->DragAndDropState() != ddsNone &&
                        grid->VGController()->ResizeKind() == rkNone;
  if (dragging || base != crDefault || !CanSizing(direction)) return base;
  return direction == dsdHorz ? crHSplit : crVSplit;
}

bool TcxvgHitTest::AllowDesignMouseEvents(Integer X, Integer Y,
                                          TShiftState AShift) {
  if (AShift.Contains(ssCtrl) || AShift.Contains(ssAlt)) return false;
  ReCalculate(TPoint{X, Y});
  return Grid()->DragAndDropState() != ddsNone || CanSizing() ||
         GetHitAtRowHeader();
}

// ---------------------------------------------------------------------------
// TcxvgCellNavigator
// ---------------------------------------------------------------------------

TcxvgCellNavigator::TcxvgCellNavigator(TcxCustomControlController* AController)
    : TcxCustomCellNavigator(AController) {
  SetDownOnTab(true);
  SetDownOnEnter(true);
}

TcxvgController* TcxvgCellNavigator::VGController() const {
  return static_cast<TcxvgController*>(Controller());
}

TcxCustomVerticalGrid* TcxvgCellNavigator::Grid() const {
  return VGController()->Grid();
}

Integer TcxvgCellNavigator::CellCountOf(TcxCustomRow* ARow) {
  return ARow ? ARow->GetEditContainerCount() : 0;
}

bool TcxvgCellNavigator::CellFocusable(TcxCustomRow* ARow, Integer ACell) {
  TcxCellEdit* cell = ARow ? ARow->GetEditContainer(ACell) : nullptr;
  if (!cell || !cell->CanFocus()) return false;
  return !ARow->Is<TcxCustomMultiEditorRow>() || cell->Options()->TabStop();
}

Integer TcxvgCellNavigator::GetValueCount() {
  return std::max<Integer>(1, Grid()->VGViewInfo()->GetVisibleValueCount());
}

void TcxvgCellNavigator::Init(Integer& ARowIndex, Integer& ACellIndex,
                              Integer& ARowCount) {
  TcxvgCustomViewInfo* info = Grid()->VGViewInfo();
  ARowCount = info->GetVisibleRowCount();
  TcxCustomRow* focused = VGController()->FocusedRow();
  ARowIndex = focused ? focused->VisibleIndex() : -1;
  const Integer cell = VGController()->CellIndex();
  if (cell < 0) {
    ACellIndex = -1;
    return;
  }
  const Integer record =
      std::max<Integer>(0, Grid()->DataController()->GetFocusedRowIndex());
  ACellIndex = record * std::max<Integer>(1, CellCountOf(focused)) + cell;
}

void TcxvgCellNavigator::CalcNextRow(bool AForward, Integer& ARowIndex,
                                     Integer& ACellIndex) {
  TcxvgCustomViewInfo* info = Grid()->VGViewInfo();
  const Integer record =
      std::max<Integer>(0, Grid()->DataController()->GetFocusedRowIndex());
  TcxvgController* controller = VGController();
  if (controller->ProcessMultiEditorRow() && ACellIndex >= 0) {
    TcxCustomRow* row = info->GetVisibleRow(ARowIndex);
    const Integer count = CellCountOf(row);
    if (count > 0) {
      const Integer current = ACellIndex % count;
      for (Integer c = current + (AForward ? 1 : -1); c >= 0 && c < count;
           c += AForward ? 1 : -1)
        if (CellFocusable(row, c)) {
          ACellIndex = record * count + c;
          return;
        }
    }
  }
  Integer r = ARowIndex;
  const Integer rows = info->GetVisibleRowCount();
  for (;;) {
    r += AForward ? 1 : -1;
    if (r < 0 || r >= rows) return;
    TcxCustomRow* row = info->GetVisibleRow(r);
    if (!row->CanFocus() || !row->Options()->TabStop()) continue;
    // A row that can take the focus but has no cell that can ends the
    // search like one that cannot, so that the walk never cycles.
    const Integer count = CellCountOf(row);
    if (count == 0) break;
    bool found = false;
    for (Integer c = 0; c < count && !found; ++c) found = CellFocusable(row, c);
    if (found) break;
  }
  ARowIndex = r;
  TcxCustomRow* row = info->GetVisibleRow(r);
  const Integer count = CellCountOf(row);
  if (count == 0) return;
  const bool backwards =
      !AForward && count >= 2 && !controller->ProcessMultiEditorRow();
  if (backwards) {
    for (Integer c = count - 1; c >= 0; --c)
      if (CellFocusable(row, c)) {
        ACellIndex = record * count + c;
        return;
      }
  } else {
    for (Integer c = 0; c < count; ++c)
      if (CellFocusable(row, c)) {
        ACellIndex = record * count + c;
        return;
      }
  }
  ACellIndex = record * count;
}

TcxCustomInplaceEditContainer* TcxvgCellNavigator::GetCellContainer(
    Integer ARowIndex, Integer ACellIndex) {
  TcxCustomRow* row = Grid()->VGViewInfo()->GetVisibleRow(ARowIndex);
  const Integer count = CellCountOf(row);
  if (!row || count == 0 || ACellIndex < 0 || ACellIndex >= GetCount(ARowIndex))
    return nullptr;
  return row->GetEditContainer(ACellIndex % count);
}

Integer TcxvgCellNavigator::GetCount(Integer ARowIndex) {
  TcxCustomRow* row = Grid()->VGViewInfo()->GetVisibleRow(ARowIndex);
  return CellCountOf(row) * Grid()->DataController()->GetRowCount();
}

void TcxvgCellNavigator::FocusNextCell(bool AForward, bool ANextRow,
                                       TShiftState AShift) {
  Integer row = 0, cell = 0, rowCount = 0;
  Init(row, cell, rowCount);
  Integer r = row, c = cell;
  if (ANextRow) {
    CalcNextRow(AForward, r, c);
  } else {
    c += AForward ? 1 : -1;
  }
  if (r < 0) return;
  TcxCustomRow* target = Grid()->VGViewInfo()->GetVisibleRow(r);
  const Integer count = GetCount(r);
  if (c < 0 && CellCountOf(target) > 0 && !ANextRow) {
    // Left of the first cell: the last cell of the previous record.
    if (VGController()->Scroller()->ScrollStrategy()->FindNextRecord(
            Grid()->DataController()->GetFocusedRowIndex(), false) >= 0)
      c = cell - 1;
  }
  const bool valid = (c >= 0 && c < count) || CellCountOf(target) == 0;
  if (!valid) return;
  if (r != row || c != cell) SetFocusCell(r, c, AShift);
}

void TcxvgCellNavigator::SetFocusCell(Integer ARowIndex, Integer ACellIndex,
                                      TShiftState) {
  TcxCustomVerticalGrid* grid = Grid();
  TcxvgController* controller = VGController();
  TcxCustomRow* row = grid->VGViewInfo()->GetVisibleRow(ARowIndex);
  if (!row) return;
  TcxDataController* dc = grid->DataController();
  const Integer count = CellCountOf(row);
  if (row == controller->FocusedRow()) {
    const Integer record = ACellIndex / std::max<Integer>(count, 1);
    const Integer cell = count > 0 ? ACellIndex % count : 0;
    const Integer focused = dc->GetFocusedRowIndex();
    if (focused < 0 || record == focused) {
      controller->SetFocusedRowAndCell(row, cell);
      return;
    }
    const bool forward = record > focused;
    if (controller->Scroller()->ScrollStrategy()->FindNextRecord(focused,
                                                                 forward) < 0)
      return;
    for (Integer c = cell; c >= 0 && c < count; c += forward ? 1 : -1)
      if (CellFocusable(row, c)) {
        controller->SetFocusedRecordItem(record, row->GetEditContainer(c));
        return;
      }
    return;
  }
  if (dc->GetFocusedRowIndex() < 0 && dc->GetRowCount() > 0)
    dc->ChangeFocusedRowIndex(0);
  controller->SetFocusedRowAndCell(row, count > 0 ? ACellIndex % count : 0);
}

// ---------------------------------------------------------------------------
// TcxvgDragImageHelper
// ---------------------------------------------------------------------------

void TcxvgDragImageHelper::DragAndDrop(const TPoint& P) {
  TcxDragImageHelper::DragAndDrop(P);
  auto* grid = static_cast<TcxCustomVerticalGrid*>(DragControl());
  const TPoint client = grid->ScreenToClient(P);
  TcxvgHitTest* hit = grid->GetHitTest();
  hit->ReCalculate(client);
  TcxvgController* controller = grid->VGController();
  const bool onForm = hit->HasCode(vghc_HitAtCustomize);
  if (!onForm && controller->AutoScrollObject())
    controller->AutoScrollObject()->CheckBounds(client);
  TCursor cursor;
  if (onForm)
    cursor = crDrag;
  else if (hit->HasCode(vghc_HitAtCaption))
    cursor = crcxVGridAddChild;
  else if (hit->HasCode(vghc_HitAtEmpty))
    cursor = crcxVGridAdd;
  else if (hit->HitInControl())
    cursor = crcxVGridInsert;
  else
    cursor = crcxVGridNoDrag;
  grid->SetDragCursor(cursor);
}

// ---------------------------------------------------------------------------
// TcxvgController
// ---------------------------------------------------------------------------

TcxvgController::TcxvgController(TcxEditingControl* AOwner)
    : TcxCustomControlController(AOwner),
      scroller_(
          new TcxvgScroller(static_cast<TcxCustomVerticalGrid*>(AOwner))) {}

TcxvgController::~TcxvgController() = default;

Integer TcxvgController::QueryInterface(const TGUID& iid, void** obj) {
  if (iid == IcxDragSizing::IID) {
    *obj = static_cast<IcxDragSizing*>(this);
    return 0;
  }
  *obj = nullptr;
  return E_NOINTERFACE;
}

TcxCustomVerticalGrid* TcxvgController::Grid() const {
  return static_cast<TcxCustomVerticalGrid*>(EditingControl());
}

TcxvgHitTest* TcxvgController::HitTest() const {
  return static_cast<TcxvgHitTest*>(HitTestController());
}

TcxCellNavigatorClass TcxvgController::GetNavigatorClass() {
  return cxSubObjectClass<TcxvgCellNavigator, TcxCustomCellNavigator,
                          TcxCustomControlController>();
}

void TcxvgController::SetFocusedCellEdit(TcxCellEdit* AItem) {
  if (!AItem) {
    SetFocusedRow(nullptr);
    return;
  }
  TcxCustomRow* row = AItem->Row();
  Integer position = 0;
  for (Integer i = 0; i < row->GetEditContainerCount(); ++i)
    if (row->GetEditContainer(i) == AItem) position = i;
  SetFocusedRowAndCell(row, position);
  if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(AItem))
    cell->Invalidate(false);
}

void TcxvgController::SetFocusedRowAndCell(TcxCustomRow* ARow, Integer ACell) {
  if (Grid()->IsDesigning()) return;
  if (ARow && !ARow->CanFocus()) return;
  const Integer cells = ARow ? ARow->GetEditContainerCount() : 0;
  if (ACell < 0 || ACell >= cells) ACell = 0;
  if (cells > 0 && !ARow->GetEditContainer(ACell)->CanFocus()) {
    ACell = 0;
    for (Integer i = 0; i < cells; ++i)
      if (ARow->GetEditContainer(i)->CanFocus()) {
        ACell = i;
        break;
      }
  }
  if (ARow == focusedRow_ && ACell == cellIndex_) return;
  TcxCustomInplaceEditContainer* item =
      ARow && cells > 0 ? ARow->GetEditContainer(ACell) : nullptr;
  lockUpdate_ = true;
  {
    TScopeGuard unlock([this] {
      lockUpdate_ = false;
      SetAllowCheckEdit(true);
    });
    if (item != FocusedItem()) SetFocusedItem(item);
  }
  DoUpdateRowAndCell(ARow, ACell);
}

void TcxvgController::DoUpdateRowAndCell(TcxCustomRow* ARow, Integer ACell) {
  TcxCustomRow* oldRow = focusedRow_;
  const Integer oldCell = cellIndex_;
  bool changed = false;
  if (ARow != focusedRow_) {
    focusedRow_ = ARow;
    cellIndex_ = ARow ? ACell : -1;
    if (Grid()->VGViewInfo())
      Grid()->VGViewInfo()->ChangeFocusedRow(ARow, oldRow);
    changed = true;
  } else if (ACell != cellIndex_) {
    cellIndex_ = ACell;
    RefreshFocusedRow();
    changed = true;
  }
  MakeFocusedItemVisible();
  if (changed) Grid()->DoItemChanged(oldRow, oldCell);
  if (Grid()->IsLocked()) return;
  SetAllowCheckEdit(true);
  if (forceShowEditor_) {
    forceShowEditor_ = false;
    EditingController()->ShowEdit(FocusedItem());
  } else {
    CheckEdit();
  }
}

void TcxvgController::FocusedItemChanged(
    TcxCustomInplaceEditContainer* APrevItem) {
  (void)APrevItem;
  TcxCustomVerticalGrid* grid = Grid();
  if (grid->IsLoading() || grid->IsDestroying()) return;
  if (!lockIncSearch_) CancelIncSearching();
  if (FocusedItem() && GetPostDataOnChangeItem()) CheckPostData();
  SetAllowCheckEdit(false);
  if (lockUpdate_) return;
  TcxCustomRow* row = nullptr;
  Integer cell = cellIndex_;
  if (auto* item = dynamic_cast<TcxCellEdit*>(FocusedItem())) {
    row = item->Row();
    cell = item->CellIndex();
  } else if (focusedRow_ && !focusedRow_->IsDestroying()) {
    row = focusedRow_;
  }
  DoUpdateRowAndCell(row, cell);
}

void TcxvgController::RefreshFocusedRow() {
  if (lockUpdate_ || !focusedRow_ || focusedRow_->IsDestroying() ||
      !focusedRow_->Visible())
    return;
  if (TcxCustomRowViewInfo* info =
          Grid()->VGViewInfo()
              ? Grid()->VGViewInfo()->GetRowViewInfo(focusedRow_)
              : nullptr)
    info->Update();
}

TcxEditCellViewInfo* TcxvgController::GetFocusedCellViewInfo(
    TcxCustomInplaceEditContainer* AItem) {
  auto* cell = dynamic_cast<TcxCellEdit*>(AItem);
  if (!cell || !cell->Row()) return nullptr;
  TcxCustomRowViewInfo* info = cell->Row()->ViewInfoIfCreated();
  if (!info) return nullptr;
  return info->GetRowValueInfo(GetFocusedRecordIndex(), cell->CellIndex());
}

void TcxvgController::UpdatePaintStyle() {
  if (TcxvgCustomViewInfo* info = Grid()->VGViewInfo())
    info->LayoutStyleChanged();
}

bool TcxvgController::GetImmediateEditor() {
  return TcxCustomControlController::GetImmediateEditor() ||
         GetAlwaysShowEditor();
}

bool TcxvgController::GetAlwaysShowEditor() {
  return Grid()->OptionsBehavior()->GetAlwaysShowEditor();
}

bool TcxvgController::GetCancelEditingOnExit() {
  const TcxDataControllerEditState state = DataController()->GetEditState();
  return !state.Contains(dceEdit) && !state.Contains(dceModified);
}

void TcxvgController::CheckPostData() {
  const TcxDataControllerEditState state = DataController()->GetEditState();
  if (state.Contains(dceEdit) || state.Contains(dceModified))
    DataController()->Post();
}

void TcxvgController::BehaviorChanged() {
  if (!Grid()->IsLocked()) TcxCustomControlController::BehaviorChanged();
}

void TcxvgController::UpdateRecord(Integer ARecordIndex) {
  if (!Grid()->IsLocked() && Grid()->VGViewInfo())
    Grid()->VGViewInfo()->UpdateRecord(ARecordIndex);
}

bool TcxvgController::MakeRecordVisible(Integer AIndex) {
  return scroller_->SetRecordVisible(AIndex);
}

void TcxvgController::MakeRowVisible(TcxCustomRow* ARow) {
  if (!ARow) return;
  TcxCustomVerticalGrid* grid = Grid();
  if (!grid->IsRowVisible(ARow)) {
    auto update = grid->UpdateScope();
    for (TcxCustomRow* p = ARow->GetParent(); p; p = p->GetParent()) {
      p->SetVisible(true);
      p->SetExpanded(true);
    }
  }
  if (grid->VGViewInfo()) grid->VGViewInfo()->EnsureVisibleRows();
  scroller_->SetRowVisible(ARow);
}

void TcxvgController::MakeFocusedItemVisible() {
  if (lockUpdate_ || !focusedRow_) return;
  MakeRecordVisible(GetFocusedRecordIndex());
  MakeRowVisible(focusedRow_);
}

void TcxvgController::MakeFocusedRecordVisible() {
  MakeRecordVisible(GetFocusedRecordIndex());
}

void TcxvgController::InitScrollBarsParameters() {
  if (Grid()->HandleAllocated() && Grid()->VGViewInfo())
    scroller_->InitScrollBarsParameters();
}

void TcxvgController::Scroll(TScrollBarKind AKind, TScrollCode ACode,
                             Integer& APos) {
  scroller_->Scroll(AKind, ACode, APos);
}

void TcxvgController::StopScrollTimer() { scrollTimer_.reset(); }

void TcxvgController::Clear() {
  StopScrollTimer();
  tracking_ = false;
  TcxCustomControlController::Clear();
  SetEditingItem(nullptr);
  InternalSetFocusedItem(nullptr);
  focusedRow_ = nullptr;
  cellIndex_ = -1;
}

void TcxvgController::DoCancelMode() {
  StopScrollTimer();
  tracking_ = false;
  TcxCustomControlController::DoCancelMode();
}

void TcxvgController::DoMouseUp(TMouseButton Button, TShiftState Shift,
                                Integer X, Integer Y) {
  StopScrollTimer();
  tracking_ = false;
  TcxCustomControlController::DoMouseUp(Button, Shift, X, Y);
}

void TcxvgController::BeforeMouseDown(TMouseButton Button, TShiftState Shift,
                                      Integer X, Integer Y) {
  TcxCustomControlController::BeforeMouseDown(Button, Shift, X, Y);
  dragRow_ = nullptr;
}

TCursor TcxvgController::GetCursor(Integer X, Integer Y) {
  if (!Grid()->IsDesigning()) {
    if (HitTest()->HitPoint() != TPoint{X, Y})
      HitTest()->ReCalculate(TPoint{X, Y});
    const TCursor cursor = HitTest()->GetCurrentCursor();
    if (cursor != crDefault) return cursor;
  }
  return TcxCustomControlController::GetCursor(X, Y);
}

bool TcxvgController::CanExpandFocusedRow() {
  return focusedRow_ && Grid()->OptionsView()->ShowButtons() &&
         focusedRow_->Options()->ShowExpandButton() &&
         focusedRow_->HasChildren() && !IsEditing();
}

void TcxvgController::KeyDown(Word& Key, TShiftState Shift) {
  forceShowEditor_ = Key == VK_RETURN && GetGoToNextCellOnEnter();
  processMultiEditorRow_ =
      focusedRow_ && focusedRow_->Is<TcxCustomMultiEditorRow>() &&
      focusedRow_->GetEditContainerCount() > 0 &&
      (forceShowEditor_ || (Key == VK_TAB && GetGoToNextCellOnTab()));
  if (Key == VK_LEFT || Key == VK_RIGHT) {
    bool inRow = false;
    if (focusedRow_ && focusedRow_->Is<TcxCustomMultiEditorRow>()) {
      const Integer count = focusedRow_->GetEditContainerCount();
      const Integer step = Key == VK_RIGHT ? 1 : -1;
      for (Integer c = cellIndex_ + step; c >= 0 && c < count && !inRow;
           c += step) {
        TcxCellEdit* cell = focusedRow_->GetEditContainer(c);
        inRow = cell->CanFocus() && cell->CanTabStop();
      }
    }
    if (!inRow && !CanChangeRecord()) {
      if (CanExpandFocusedRow()) {
        if (Key == VK_RIGHT)
          focusedRow_->SetExpanded(true);
        else
          focusedRow_->SetExpanded(false);
      }
      Key = 0;
      return;
    }
  }
  TcxCustomControlController::KeyDown(Key, Shift);
  const bool noShift = Shift.Empty();
  switch (Key) {
    case VK_INSERT:
      if (noShift && CanInsert(true)) {
        InsertRecord();
        Key = 0;
      }
      break;
    case VK_DELETE:
      if ((noShift || Shift == TShiftState{ssCtrl}) && CanDelete(true)) {
        DeleteSelection();
        Key = 0;
      }
      break;
    case VK_MULTIPLY:
      if (CanExpandFocusedRow()) focusedRow_->Expand(true);
      Key = 0;
      break;
    case VK_ADD:
      if (CanExpandFocusedRow()) focusedRow_->SetExpanded(true);
      Key = 0;
      break;
    case VK_SUBTRACT:
      if (CanExpandFocusedRow()) focusedRow_->SetExpanded(false);
      Key = 0;
      break;
    default:
      break;
  }
}

bool TcxvgController::IsKeyForController(Word AKey, TShiftState AShift) {
  return TcxCustomControlController::IsKeyForController(AKey, AShift) ||
         (IsEditing() && AShift.Contains(ssCtrl) &&
          (AKey == VK_MULTIPLY || AKey == VK_ADD || AKey == VK_SUBTRACT));
}

void TcxvgController::DoNextPage(bool AForward, TShiftState Shift) {
  TcxvgCustomViewInfo* info = Grid()->VGViewInfo();
  const Integer count = info->GetVisibleRowCount();
  if (count == 0) return;
  Integer target;
  if (Shift.Contains(ssCtrl)) {
    target = AForward ? count - 1 : 0;
  } else {
    const Integer current = focusedRow_ ? focusedRow_->VisibleIndex() : 0;
    const Integer page = scroller_->GetVisibleRowCount();
    target =
        std::clamp<Integer>(current + (AForward ? page : -page), 0, count - 1);
  }
  SetFocusedRow(info->GetVisibleRow(target));
  MakeFocusedItemVisible();
}

void TcxvgController::MouseDown(TMouseButton Button, TShiftState Shift,
                                Integer X, Integer Y) {
  TcxCustomControlController::MouseDown(Button, Shift, X, Y);
  TcxvgHitTest* hit = HitTest();
  hit->ReCalculate(TPoint{X, Y});
  TcxCustomRow* row = hit->HitRow();
  if (Grid()->IsDesigning()) {
    if (TcxCustomDesignSelectionHelper* helper = DesignSelectionHelper())
      helper->Select(row ? static_cast<TPersistent*>(row) : Grid(), Shift);
    return;
  }
  if (!row) return;
  bool toggle =
      (row->Options()->ShowExpandButton() && hit->HasCode(vghc_HitAtButton)) ||
      (Shift.Contains(ssDouble) && hit->HasCode(vghc_HitAtCaption) &&
       row->HasVisibleChildren());
  bool valueFocusable = false;
  if (hit->HasCode(vghc_HitAtValue))
    if (auto* cell = dynamic_cast<TcxRowValueInfo*>(hit->HitTestItem()))
      valueFocusable =
          cell->EditContainer() && cell->EditContainer()->CanFocus();
  if (resizeKind_ == rkNone && row->CanFocus() && !valueFocusable) {
    Integer cell = hit->HitCellIndex();
    if (cell < 0) cell = row == focusedRow_ ? cellIndex_ : 0;
    SetFocusedRowAndCell(row, cell);
    toggle = toggle && Grid()->Rows()->IndexOf(row) >= 0;
  }
  if (!toggle) return;
  row->SetExpanded(!row->Expanded());
  if (row->Expanded()) {
    if (Grid()->VGViewInfo()) Grid()->VGViewInfo()->Calculate();
    scroller_->SetRowMaxVisible(row);
  } else if (focusedRow_ && !Grid()->IsRowVisible(focusedRow_)) {
    TcxCustomRow* ancestor = focusedRow_->GetParent();
    while (ancestor && !Grid()->IsRowVisible(ancestor))
      ancestor = ancestor->GetParent();
    if (ancestor && ancestor->CanFocus())
      SetFocusedRow(ancestor);
    else
      SetFocusedRow(nullptr);
  }
}

void TcxvgController::DoMouseDown(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  if (Grid()->DragAndDropState() != ddsNone && HitTest()->CanSizing()) {
    EditingController()->HideEdit(true);
    return;
  }
  const Integer top = scroller_->GetTopVisibleRowIndex();
  TcxCustomControlController::DoMouseDown(Button, Shift, X, Y);
  wasScroll_ = top != scroller_->GetTopVisibleRowIndex();
  TcxvgHitTest* hit = HitTest();
  hit->ReCalculate(TPoint{X, Y});
  bool hotTrack = false;
  if (hit->HasCode(vghc_HitAtValue))
    if (auto* cell = dynamic_cast<TcxRowValueInfo*>(hit->HitTestItem()))
      hotTrack = cell->EditViewInfo() &&
                 cell->EditViewInfo()->IsHotTrack(TPoint{X, Y});
  tracking_ = Button == mbLeft && !Grid()->IsAutoDragMode() && !wasScroll_ &&
              hit->HitRow() && !hit->HasCode(vghc_HitAtEmpty) &&
              !hit->HasCode(vghc_HitAtButton) &&
              Grid()->OptionsBehavior()->RowTracking() && !hotTrack;
  if (hit->CanMoving() && !tracking_) dragRow_ = hit->HitRow();
}

void TcxvgController::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomControlController::MouseMove(Shift, X, Y);
  TcxCustomVerticalGrid* grid = Grid();
  if (!tracking_ || grid->DragAndDropState() != ddsNone || grid->Dragging() ||
      grid->IsLocked())
    return;
  TcxvgHitTest* hit = HitTest();
  hit->ReCalculate(TPoint{X, Y});
  TcxCustomRow* row = hit->HitRow();
  if (row && row->CanFocus()) {
    StopScrollTimer();
    SetFocusedRowAndCell(row, hit->HitCellIndex());
    return;
  }
  if (!row) {
    TcxvgCustomViewInfo* info = grid->VGViewInfo();
    for (Integer i = 0; i < info->RowsViewInfoCount(); ++i) {
      TcxCustomRowViewInfo* each = info->RowsViewInfo(i);
      const TRect& r = each->RowRect;
      if (PtInRect(r, TPoint{X, Y}) ||
          (Y >= r.Top && Y < r.Bottom && each->Row()->CanFocus())) {
        StopScrollTimer();
        SetFocusedRowAndCell(each->Row(), hit->HitCellIndex());
        return;
      }
    }
  }
  const TRect bounds = grid->GetClientBounds();
  if (Y <= bounds.Top) {
    scrollDown_ = false;
    StartScrollTimer();
  } else if (Y >= bounds.Bottom) {
    scrollDown_ = true;
    StartScrollTimer();
  }
}

void TcxvgController::StartScrollTimer() {
  if (scrollTimer_) return;
  scrollTimer_.reset(new TTimer(nullptr));
  scrollTimer_->SetInterval(5);
  scrollTimer_->OnTimer =
      TNotifyEvent(this, &TcxvgController::ScrollTimerHandler);
  scrollTimer_->SetEnabled(true);
}

void TcxvgController::ScrollTimerHandler(TObject*) {
  TcxCustomVerticalGrid* grid = Grid();
  TcxCustomRow* next = scrollDown_ ? grid->NextVisibleRow(focusedRow_)
                                   : grid->PrevVisibleRow(focusedRow_);
  if (next) SetFocusedRow(next);
}

// ---------------------------------------------------------------------------
// Sizing
// ---------------------------------------------------------------------------

bool TcxvgController::StartDragAndDrop(const TPoint& P) {
  HitTest()->SetHitPoint(P);
  HitTest()->ReCalculate(P);
  return HitTest()->CanSizing();
}

TClass TcxvgController::GetDragAndDropObjectClass() {
  SetResizeKind(rkNone);
  TcxDragSizingDirection direction;
  if (!HitTest()->CanSizing(direction)) return nullptr;
  resizeDirection_ = direction;
  if (direction == dsdVert)
    SetResizeKind(rkRowSizing);
  else if (HitTest()->HasCode(vghc_HitAtDivider))
    SetResizeKind(rkDivider);
  else
    SetResizeKind(rkBandSizing);
  SetDragItem(this);
  return TcxSizingDragAndDropObject::StaticClass();
}

void TcxvgController::SetResizeKind(TcxvgResizeKind Value) {
  resizeKind_ = Value;
  switch (Value) {
    case rkRowSizing: {
      sizingRow_ = HitTest()->HitRow();
      TcxCustomRowViewInfo* info =
          sizingRow_ ? Grid()->VGViewInfo()->GetRowViewInfo(sizingRow_)
                     : nullptr;
      sizingValue_ = info ? info->RowHeight
                          : (sizingRow_ ? sizingRow_->GetRealHeight() : 0);
      break;
    }
    case rkDivider:
      sizingValue_ = Grid()->OptionsView()->RowHeaderWidth();
      break;
    case rkBandSizing:
      sizingValue_ = Grid()->OptionsView()->ValueWidth();
      break;
    default:
      break;
  }
}

bool TcxvgController::CanSizing(TcxDragSizingDirection ADirection) {
  (void)ADirection;
  TPoint p = Grid()->ScreenToClient(Mouse->CursorPos());
  HitTest()->ReCalculate(p);
  return HitTest()->CanSizing();
}

TRect TcxvgController::GetSizingBoundsRect(TcxDragSizingDirection) {
  TRect r = Grid()->VGViewInfo()->ClientRect();
  r.Bottom -= 1;
  return r;
}

Integer TcxvgController::GetSizingIncrement(TcxDragSizingDirection) {
  return 1;
}

void TcxvgController::SetSizeDelta(TcxDragSizingDirection, Integer ADelta) {
  sizingValue_ += ADelta;
  TcxvgCustomViewInfo* info = Grid()->VGViewInfo();
  switch (resizeKind_) {
    case rkRowSizing:
      if (sizingRow_)
        sizingRow_->SetHeight(std::max(sizingValue_, info->RowMinHeight));
      break;
    case rkDivider:
      info->SetDividerPos(sizingValue_);
      break;
    case rkBandSizing:
      info->SetValueWidth(sizingValue_);
      break;
    default:
      break;
  }
  Grid()->Modified();
}

void TcxvgController::EndDragAndDrop(bool Accepted) {
  TcxCustomControlController::EndDragAndDrop(Accepted);
  resizeKind_ = rkNone;
}

// ---------------------------------------------------------------------------
// Row drag and drop
// ---------------------------------------------------------------------------

bool TcxvgController::IsInternalDragging() {
  return Grid()->IsAutoDragMode() && dragRow_ != nullptr;
}

bool TcxvgController::CanDrag(Integer X, Integer Y) {
  TcxvgHitTest* hit = HitTest();
  hit->ReCalculate(TPoint{X, Y});
  if (hit->HasCode(vghc_HitAtValue) &&
      DataController()->GetEditState().Contains(dceModified))
    return false;
  return !wasScroll_ && hit->CanMoving();
}

void TcxvgController::StartDrag(TDragObject*& DragObject) {
  TcxCustomControlController::StartDrag(DragObject);
  TcxCustomVerticalGrid* grid = Grid();
  autoScrollObject_.reset(new TcxControllerAutoScrollingObject(this));
  autoScrollObject_->SetBoundsParams(grid->GetClientBounds(), false, true, 1);
  const TPoint p = grid->ScreenToClient(Mouse->CursorPos());
  HitTest()->ReCalculate(p);
  TcxVerticalGridCustomizing* customizing = grid->Customizing();
  dragFromCustomizingForm_ = customizing && customizing->Visible() &&
                             HitTest()->HasCode(vghc_HitAtCustomize);
  if (customizing && customizing->Visible() && dragRow_)
    customizing->ShowPageFor(dragRow_);
}

void TcxvgController::DragOver(TObject* Source, Integer X, Integer Y,
                               TDragState State, bool& Accept) {
  TcxCustomControlController::DragOver(Source, X, Y, State, Accept);
  if (Grid()->OnDragOver && !Accept) return;
  if (!IsInternalDragging()) return;
  TcxvgHitTest* hit = HitTest();
  hit->ReCalculate(TPoint{X, Y});
  TcxCustomRow* row = hit->HitRow();
  Accept = hit->HasCode(vghc_HitAtEmpty) ||
           (hit->GetHitAtRowHeader() && row && row != dragRow_ &&
            !dragRow_->IsParent(row));
}

void TcxvgController::DragDrop(TObject* Source, Integer X, Integer Y) {
  (void)Source;
  if (!IsInternalDragging()) return;
  TcxCustomVerticalGrid* grid = Grid();
  TcxvgHitTest* hit = HitTest();
  hit->ReCalculate(TPoint{X, Y});
  TcxCustomRow* target = hit->HitRow();
  TcxCustomRow* row = dragRow_;
  // A row never goes into its own subtree.
  if (target && (target == row || row->IsParent(target))) return;
  auto update = grid->UpdateScope();
  if (target && hit->HasCode(vghc_HitAtCaption)) {
    row->SetParent(target);
    row->SetIndex(target->Index());
    row->SetVisible(true);
  } else if (target) {
    row->SetParent(target->GetParent());
    row->SetIndex(target->Index());
    row->SetVisible(true);
  } else if (hit->HasCode(vghc_HitAtEmpty)) {
    row->SetParent(nullptr);
    row->SetIndex(grid->RootRow()->Count() - 1);
    row->SetVisible(true);
  } else {
    CheckMoveToCustomizationForm();
  }
}

void TcxvgController::CheckMoveToCustomizationForm() {
  TcxCustomVerticalGrid* grid = Grid();
  TcxVerticalGridCustomizing* customizing = grid->Customizing();
  if (dragFromCustomizingForm_ || !customizing ||
      !HitTest()->HasCode(vghc_HitAtCustomize) || !dragRow_ ||
      !dragRow_->Options()->CanMovedToCustomizationForm())
    return;
  {
    auto update = grid->UpdateScope();
    std::function<void(TcxCustomRow*)> process = [&](TcxCustomRow* ARow) {
      if (!ARow->Options()->CanMovedToCustomizationForm()) {
        TcxCustomRow* parent = ARow->GetParent();
        ARow->SetParent(parent ? parent->GetParent() : nullptr);
      }
      while (ARow->Count() > 0) {
        TcxCustomRow* child = ARow->Rows(0);
        process(child);
        if (ARow->Count() > 0 && ARow->Rows(0) == child)
          child->SetParent(nullptr);
      }
      if (ARow->Options()->CanMovedToCustomizationForm()) {
        ARow->SetVisible(false);
        ARow->SetParent(nullptr);
      }
    };
    process(dragRow_);
  }
  grid->SetFocusedRow(nullptr);
  customizing->Modified();
}

void TcxvgController::EndDrag(TObject* Target, Integer X, Integer Y) {
  autoScrollObject_.reset();
  tracking_ = false;
  TcxCustomControlController::EndDrag(Target, X, Y);
}

void TcxvgController::AppendRecord() {
  if (!CanAppend(true)) return;
  if (Grid()->OptionsBehavior()->FocusFirstCellOnNewRecord())
    SetFocusedRow(Grid()->FirstVisibleRow());
  DataController()->Append();
}

void TcxvgController::InsertRecord() {
  if (!CanInsert(true)) return;
  if (Grid()->OptionsBehavior()->FocusFirstCellOnNewRecord())
    SetFocusedRow(Grid()->FirstVisibleRow());
  DataController()->Insert();
}

// ---------------------------------------------------------------------------
// TcxvgMultiRecordsController
// ---------------------------------------------------------------------------

namespace {
TcxvgMultiRecordsOptionsData* MultiOptionsData(TcxCustomVerticalGrid* AGrid) {
  return dynamic_cast<TcxvgMultiRecordsOptionsData*>(AGrid->OptionsData());
}
}  // namespace

bool TcxvgMultiRecordsController::CanAppend(bool ACheckOptions) {
  auto* options = MultiOptionsData(Grid());
  return DataController()->GetEditOperations().Contains(dceoAppend) &&
         (!ACheckOptions || (options && options->Appending()));
}

bool TcxvgMultiRecordsController::CanInsert(bool ACheckOptions) {
  auto* options = MultiOptionsData(Grid());
  return DataController()->GetEditOperations().Contains(dceoInsert) &&
         (!ACheckOptions || (options && options->Inserting()));
}

bool TcxvgMultiRecordsController::CanDelete(bool ACheckOptions) {
  auto* options = MultiOptionsData(Grid());
  return DataController()->GetEditOperations().Contains(dceoDelete) &&
         DataController()->GetRowCount() > 0 &&
         (!ACheckOptions || (options && options->Deleting()));
}

bool TcxvgMultiRecordsController::CanChangeRecord() {
  auto* behavior = dynamic_cast<TcxvgMultiRecordsOptionsBehavior*>(
      Grid()->OptionsBehavior());
  return (behavior && behavior->AllowChangeRecord()) ||
         Grid()->IsMultiRecordView();
}

void TcxvgMultiRecordsController::DeleteSelection() {
  if (!CanDelete(true)) return;
  auto* options = MultiOptionsData(Grid());
  if (options && options->DeletingConfirmation() &&
      !cxConfirmMessageBox(
          cxGetResourceString(cxNavigator_DeleteRecordQuestion), "Confirm"))
    return;
  DataController()->DeleteFocused();
}

bool TcxvgMultiRecordsController::GetCancelEditingOnExit() {
  const TcxDataControllerEditState state = DataController()->GetEditState();
  TcxDataControllerEditState part;
  for (auto kind : {dceInsert, dceChanging, dceModified})
    if (state.Contains(kind)) part.Include(kind);
  return Grid()->OptionsData()->CancelOnExit() &&
         part == TcxDataControllerEditState{dceInsert};
}

void TcxvgMultiRecordsController::FocusedRecordChanged(
    Integer APrevFocusedRowIndex, Integer AFocusedRowIndex) {
  TcxCustomVerticalGrid* grid = Grid();
  if (APrevFocusedRowIndex != -1) EditingController()->HideEdit(true);
  if (!MakeRecordVisible(AFocusedRowIndex) && grid->VGViewInfo()) {
    if (grid->GetCellAutoHeight()) {
      grid->VGViewInfo()->Calculate();
    } else {
      grid->VGViewInfo()->UpdateRecord(APrevFocusedRowIndex);
      grid->VGViewInfo()->UpdateRecord(AFocusedRowIndex);
    }
  }
  grid->UpdateScrollBars();
  CheckEdit();
  EditingController()->UpdateEditValue();
  if (auto* virtualGrid = dynamic_cast<TcxVirtualVerticalGrid*>(grid))
    virtualGrid->DoFocusedRecordChanged(APrevFocusedRowIndex, AFocusedRowIndex);
  grid->Invalidate();
}

Integer TcxvgMultiRecordsController::GetFocusedRecordIndex() {
  return DataController()->GetFocusedRowIndex();
}

void TcxvgMultiRecordsController::SetFocusedRecordIndex(Integer Value) {
  TcxDataController* dc = DataController();
  if (Value < 0 || Value >= dc->GetRowCount()) return;
  if (!CanFocusedRecordIndex(Value) || !dc->ChangeFocusedRowIndex(Value))
    return;
  if (Value == dc->GetFocusedRowIndex()) MakeFocusedRecordVisible();
}

Word TcxvgMultiRecordsController::IncSearchKeyDown(Word AKey,
                                                   TShiftState AShift) {
  TcxCustomInplaceEditContainer* item = GetIncSearchingItem();
  if (!item) return TcxvgController::IncSearchKeyDown(AKey, AShift);
  if (AKey == VK_LEFT || AKey == VK_RIGHT) {
    if (AShift == TShiftState{ssCtrl}) {
      SearchLocateNext(item, AKey == VK_RIGHT);
      return 0;
    }
    CancelIncSearching();
    return AKey;
  }
  if (AKey == VK_UP || AKey == VK_DOWN) return AKey;
  return TcxvgController::IncSearchKeyDown(AKey, AShift);
}

void TcxvgMultiRecordsController::RefreshIncSearchItem() {
  if (!GetIsIncSearching()) return;
  TcxCustomVerticalGrid* grid = Grid();
  const Integer item = DataController()->Search()->GetItemIndex();
  for (Integer i = 0; i < grid->ItemCount(); ++i)
    if (grid->Items(i)->ItemIndex() == item)
      if (auto* cell = dynamic_cast<TcxCellEdit*>(grid->Items(i))) {
        TScopeGuard unlock([this] { SetLockIncSearch(false); });
        SetLockIncSearch(true);
        SetFocusedCellEdit(cell);
        return;
      }
}
