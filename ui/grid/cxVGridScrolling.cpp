#include "cxVGrid.h"

// ---------------------------------------------------------------------------
// TcxvgCustomScrollStrategy
// ---------------------------------------------------------------------------

TcxvgCustomScrollStrategy::TcxvgCustomScrollStrategy(TcxvgScroller* AScroller)
    : scroller_(AScroller) {}

TcxvgCustomViewInfo* TcxvgCustomScrollStrategy::ViewInfo() const {
  return scroller_->ViewInfo();
}

TcxCustomVerticalGrid* TcxvgCustomScrollStrategy::Grid() const {
  return scroller_->Grid();
}

Integer TcxvgCustomScrollStrategy::ClientHeight() {
  return ViewInfo()->Bounds().Height();
}

Integer TcxvgCustomScrollStrategy::LineWidth() {
  return ViewInfo()->HorzLineWidth;
}

Integer TcxvgCustomScrollStrategy::GetBandWidth() {
  return ViewInfo()->ViewBandWidth;
}

Integer TcxvgCustomScrollStrategy::RowHeightOf(Integer AVisibleIndex,
                                               Integer ABandWidth) {
  TcxvgCustomViewInfo* info = ViewInfo();
  TcxCustomRow* row = info->GetVisibleRow(AVisibleIndex);
  if (!row) return 0;
  TcxCustomRowViewInfo* rowInfo = info->GetRowViewInfo(row);
  if (rowInfo) return rowInfo->RowHeight;
  return info->GetRowHeight(row->GetViewInfo(), ABandWidth);
}

Integer TcxvgCustomScrollStrategy::GetVisibleCount(Integer AStart,
                                                   Integer AHeight,
                                                   bool AForward,
                                                   Integer AStep) {
  const Integer bandWidth = GetBandWidth();
  if (bandWidth <= 0) return 0;
  TcxvgCustomViewInfo* info = ViewInfo();
  const Integer line = LineWidth();
  const Integer count = info->GetVisibleRowCount();
  Integer used = line, x = info->Bounds().Left, result = 0, n = 0, bands = 0;
  Integer index = AStart;
  while (AForward ? index < count : index >= 0) {
    const Integer h = RowHeightOf(index, bandWidth);
    if (AHeight < used + h + line) {
      // A full band; a row taller than the client counts as one row.
      result += n == 0 ? 1 : n;
      used = line;
      x += GetBandInterval() + bandWidth;
      ++bands;
      if (!CanCalcRowsOnTheNextBand(x, bands)) return result;
      n = 0;
    }
    used += h + line;
    index += AStep;
    ++n;
  }
  return result + n;
}

Integer TcxvgCustomScrollStrategy::GetVisibleRowCount() {
  return GetVisibleCountFromTop(topVisibleRowIndex_, ClientHeight());
}

bool TcxvgCustomScrollStrategy::IsBehindRightClientEdge(Integer X) {
  TcxvgCustomViewInfo* info = ViewInfo();
  return X > info->ClientRectV.Right - info->VertLineWidth;
}

TcxCustomRow* TcxvgCustomScrollStrategy::GetBottomVisibleChild(
    TcxCustomRow* ARow) {
  if (ARow && ARow->Expanded() && ARow->Visible())
    return ARow->GetLastVisibleChild();
  return nullptr;
}

void TcxvgCustomScrollStrategy::SetTopVisibleRowIndex(Integer AIndex) {
  if (topVisibleRowIndex_ == AIndex) return;
  topVisibleRowIndex_ = AIndex;
  Grid()->LayoutChanged();
  Grid()->DoTopRowIndexChanged();
}

Integer TcxvgCustomScrollStrategy::CheckTopVisibleIndex(Integer AIndex,
                                                        Integer) {
  TcxvgCustomViewInfo* info = ViewInfo();
  const Integer count = info->GetVisibleRowCount();
  const Integer maxTop =
      count - GetVisibleCountFromBottom(count - 1, ClientHeight());
  return std::clamp<Integer>(AIndex, 0, std::max<Integer>(maxTop, 0));
}

void TcxvgCustomScrollStrategy::CheckDecreaseTopIndex(Integer AHeight) {
  const Integer count = ViewInfo()->GetVisibleRowCount();
  const Integer top = count - GetVisibleCountFromBottom(count - 1, AHeight);
  if (top < topVisibleRowIndex_)
    topVisibleRowIndex_ = std::max<Integer>(top, 0);
}

TcxCustomRow* TcxvgCustomScrollStrategy::GetFirstRowByBandIndex(
    Integer ABandIndex) {
  if (ABandIndex < 0 || ABandIndex >= bands_.Count()) return nullptr;
  return bands_.GetItem(ABandIndex).FirstRow;
}

void TcxvgCustomScrollStrategy::RecalcBandsInfo() {
  bands_.Clear();
  TcxvgCustomViewInfo* info = ViewInfo();
  bands_.Add(0, info->GetVisibleRowCount(), -1, info->GetVisibleRow(0));
}

void TcxvgCustomScrollStrategy::SetRowMaxVisible(TcxCustomRow* ARow) {
  Integer descendants = 0;
  const Integer h = GetFullRowHeight(ARow, descendants);
  const Integer r = ARow->VisibleIndex();
  if (ClientHeight() * std::max<Integer>(GetVisibleBandCount(), 1) <= h) {
    Scroller()->SetTopVisibleRowIndex(r);
    return;
  }
  const Integer t =
      r + descendants -
      GetVisibleCountFromTop(topVisibleRowIndex_, ClientHeight()) + 1;
  if (t > topVisibleRowIndex_) Scroller()->SetTopVisibleRowIndex(t);
}

Integer TcxvgCustomScrollStrategy::GetFullRowHeight(TcxCustomRow* ARow,
                                                    Integer& ADescendantCount) {
  TcxvgCustomViewInfo* info = ViewInfo();
  const Integer line = LineWidth();
  const Integer width = GetBandWidth();
  Integer h = RowHeightOf(ARow->VisibleIndex(), width) + line;
  ADescendantCount = 0;
  for (Integer i = ARow->VisibleIndex() + 1; i < info->GetVisibleRowCount();
       ++i) {
    TcxCustomRow* row = info->GetVisibleRow(i);
    if (!ARow->IsParent(row)) break;
    h += RowHeightOf(i, width) + line;
    ++ADescendantCount;
  }
  return h;
}

bool TcxvgCustomScrollStrategy::IsHideHScrollBar() {
  return Grid()->GetRecordCount() <= GetVisibleValueCount() &&
         leftVisibleRecord_ == 0;
}

bool TcxvgCustomScrollStrategy::IsHideVScrollBar() { return false; }

void TcxvgCustomScrollStrategy::InitVScrollBarParameters() {
  const Integer count = ViewInfo()->GetVisibleRowCount();
  Grid()->Controller()->SetScrollBarInfo(
      sbVertical, 0, count - 1, 1, GetVisibleRowCount(), topVisibleRowIndex_,
      !IsHideVScrollBar(), true);
}

void TcxvgCustomScrollStrategy::InitHScrollBarParameters() {
  const Integer total = GetScrollBarOffsetBegin() + Grid()->GetRecordCount() +
                        GetScrollBarOffsetEnd();
  Grid()->Controller()->SetScrollBarInfo(
      sbHorizontal, 0, total - 1, 1, GetVisibleValueCount(), GetScrollBarPos(),
      !IsHideHScrollBar(), true);
}

Integer TcxvgCustomScrollStrategy::GetScrollBarPos() {
  return GetScrollBarOffsetBegin() + leftVisibleRecord_;
}

void TcxvgCustomScrollStrategy::SetScrollBarPos(Integer APos) {
  Scroller()->SetLeftVisibleRecord(APos - GetScrollBarOffsetBegin());
}

void TcxvgCustomScrollStrategy::ScrollRecords(bool AForward, Integer ACount) {
  Scroller()->SetLeftVisibleRecord(leftVisibleRecord_ +
                                   (AForward ? ACount : -ACount));
}

void TcxvgCustomScrollStrategy::ScrollV(TScrollCode ACode, Integer& APos) {
  switch (ACode) {
    case scLineUp:
      Scroller()->SetTopVisibleRowIndex(topVisibleRowIndex_ - 1);
      break;
    case scLineDown:
      Scroller()->SetTopVisibleRowIndex(topVisibleRowIndex_ + 1);
      break;
    case scPageUp:
      Scroller()->SetTopVisibleRowIndex(topVisibleRowIndex_ -
                                        GetVisibleRowCount());
      break;
    case scPageDown:
      Scroller()->SetTopVisibleRowIndex(topVisibleRowIndex_ +
                                        GetVisibleRowCount());
      break;
    case scTrack:
      Scroller()->SetTopVisibleRowIndex(APos);
      break;
    default:
      break;
  }
  APos = topVisibleRowIndex_;
}

void TcxvgCustomScrollStrategy::ScrollH(TScrollCode ACode, Integer& APos) {
  switch (ACode) {
    case scLineUp:
      ScrollRecords(false, 1);
      break;
    case scLineDown:
      ScrollRecords(true, 1);
      break;
    case scPageUp:
      Scroller()->SetLeftVisibleRecord(leftVisibleRecord_ -
                                       GetVisibleValueCount());
      break;
    case scPageDown:
      Scroller()->SetLeftVisibleRecord(leftVisibleRecord_ +
                                       GetVisibleValueCount());
      break;
    case scTrack:
      SetScrollBarPos(APos);
      break;
    default:
      break;
  }
  APos = GetScrollBarPos();
}

void TcxvgCustomScrollStrategy::CheckLeftVisibleRecord(Integer& AIndex) {
  if (checkingLeft_) return;
  checkingLeft_ = true;
  TScopeGuard done([this] { checkingLeft_ = false; });
  const Integer rows = Grid()->GetRecordCount();
  if (AIndex > rows - 1) AIndex = rows - 1;
  if (AIndex < 0) AIndex = 0;
  const Integer visible = GetVisibleValueCount();
  if (AIndex > 0 && AIndex > rows - visible)
    AIndex = std::max(rows - visible, 0);
}

void TcxvgCustomScrollStrategy::SetLeftVisibleRecord(Integer AIndex) {
  CheckLeftVisibleRecord(AIndex);
  if (AIndex == leftVisibleRecord_) return;
  leftVisibleRecord_ = AIndex;
  Grid()->LayoutChanged();
}

Integer TcxvgCustomScrollStrategy::FindNextRecord(Integer AIndex,
                                                  bool AForward) {
  TcxDataController* dc = Grid()->DataController();
  const Integer next = AIndex + (AForward ? 1 : -1);
  if (dc->GetRowCount() > 0 && next >= 0 && next < dc->GetRowCount())
    return next;
  return -1;
}

bool TcxvgCustomScrollStrategy::FocusNextRecord(Integer AIndex, bool AForward) {
  TcxDataController* dc = Grid()->DataController();
  if (dc->IsEditing()) {
    Grid()->EditingController()->UpdateValue();
    const TcxDataControllerEditState state = dc->GetEditState();
    if (state.Contains(dceModified)) {
      dc->Post();
      AIndex = dc->GetFocusedRowIndex();
    } else if (state == TcxDataControllerEditState{dceInsert}) {
      if (dc->IsEOF() != AForward) {
        dc->Cancel();
        return true;
      }
    }
  }
  const Integer next = FindNextRecord(AIndex, AForward);
  if (next < 0) return false;
  dc->ChangeFocusedRowIndex(next);
  return true;
}

// ---------------------------------------------------------------------------
// Multi records
// ---------------------------------------------------------------------------

Integer TcxvgMultiRecordsScrollStrategy::GetVisibleValueCount() {
  TcxvgCustomViewInfo* info = ViewInfo();
  auto* options =
      dynamic_cast<TcxvgMultiRecordsOptionsView*>(Grid()->OptionsView());
  const Integer interval = options ? options->RecordsInterval() : 0;
  const Integer v = info->VertLineWidth;
  const Integer step = interval == 0 ? v : interval + 2 * v;
  const Integer width = info->Bounds().Width();
  const Integer count = std::max<Integer>(
      1, (step + width - info->FullHeaderWidth - 2 * v) /
             std::max<Integer>(step + info->ViewValueWidth, 1));
  return std::min(count, Grid()->GetRecordCount());
}

void TcxvgMultiRecordsScrollStrategy::CheckDecreaseLeftIndex() {
  const Integer records = Grid()->GetRecordCount();
  const Integer visible = GetVisibleValueCount();
  if (records < visible + LeftVisibleRecord())
    InternalSetLeftVisibleRecord(std::max<Integer>(0, records - visible));
}

// ---------------------------------------------------------------------------
// Bands
// ---------------------------------------------------------------------------

Integer TcxvgBandsScrollStrategy::GetBandInterval() {
  return Grid()->OptionsView()->BandsInterval();
}

bool TcxvgBandsScrollStrategy::IsRecordsScrollMode() {
  return Grid()->VGController()->CanChangeRecord();
}

bool TcxvgBandsScrollStrategy::CanCalcRowsOnTheNextBand(Integer X,
                                                        Integer ABandCount) {
  const Integer width = GetBandWidth();
  if (!IsBehindRightClientEdge(X + width + GetBandInterval() + 1)) return true;
  if (!Grid()->OptionsView()->AutoScaleBands()) return false;
  return ABandCount >= X + width - ViewInfo()->ClientRectV.Right;
}

Integer TcxvgBandsScrollStrategy::GetVisibleBandCount() {
  TcxvgCustomViewInfo* info = ViewInfo();
  const Integer count = BandsInfo().Count();
  const Integer width = info->Bounds().Width();
  return std::min(count, std::max<Integer>(
                             1, (width + GetBandInterval() - count) /
                                    std::max<Integer>(1, info->ViewBandWidth)));
}

void TcxvgBandsScrollStrategy::RecalcBandsInfo() {
  TBandInfoList& bands = BandsInfo();
  bands.Clear();
  TcxvgCustomViewInfo* info = ViewInfo();
  info->ViewValueWidth = info->GetViewValueWidth();
  const Integer line = LineWidth();
  const Integer client = ClientHeight();
  const Integer width =
      info->ViewBandWidth > 0 ? info->ViewBandWidth : info->GetViewBandWidth();
  Integer sum = line, rows = 0;
  TcxCustomRow* first = nullptr;
  for (Integer i = 0; i < info->GetVisibleRowCount(); ++i) {
    TcxCustomRow* row = info->GetVisibleRow(i);
    TcxCustomRowViewInfo* rowInfo = row->GetViewInfo();
    rowInfo->RowHeight = info->GetRowHeight(rowInfo, width);
    const Integer h = rowInfo->RowHeight + line;
    if (rows > 0 && sum + h > client) {
      bands.Add(bands.Count(), rows, sum, first);
      sum = line;
      rows = 0;
    }
    if (rows == 0) first = row;
    sum += h;
    ++rows;
    // A row that does not fit even alone forms a band by itself.
    if (rows == 1 && sum > client) {
      bands.Add(bands.Count(), 1, h, first);
      sum = line;
      rows = 0;
    }
  }
  if (rows > 0) bands.Add(bands.Count(), rows, sum, first);
}

Integer TcxvgBandsScrollStrategy::GetBandIndexByRowIndex(Integer AIndex) {
  TBandInfoList& bands = BandsInfo();
  Integer start = 0;
  for (Integer i = 0; i < bands.Count(); ++i) {
    const Integer count = bands.GetItem(i).RowsCount;
    if (AIndex >= start && AIndex < start + count) return i;
    start += count;
  }
  return -1;
}

void TcxvgBandsScrollStrategy::SetLeftBandNotify(Integer AIndex) {
  if (AIndex == leftVisibleBand_) return;
  leftVisibleBand_ = AIndex;
  Grid()->DoLeftVisibleBandIndexChanged();
}

Integer TcxvgBandsScrollStrategy::CheckTopVisibleIndex(Integer AIndex,
                                                       Integer AStep) {
  TcxvgCustomViewInfo* info = ViewInfo();
  Integer band = GetBandIndexByRowIndex(AIndex);
  if (band < 0) return AIndex;
  TcxCustomRow* row = info->GetVisibleRow(AIndex);
  if (row != GetFirstRowByBandIndex(band)) band += AStep;
  TcxCustomRow* first = GetFirstRowByBandIndex(band);
  if (!first) return AIndex;
  SetLeftBandNotify(band);
  return first->VisibleIndex();
}

void TcxvgBandsScrollStrategy::CheckDecreaseTopIndex(Integer) {
  const Integer left = std::min<Integer>(
      leftVisibleBand_,
      std::max<Integer>(0, BandsInfo().Count() - GetVisibleBandCount()));
  SetLeftBandNotify(left);
  TcxCustomRow* first = GetFirstRowByBandIndex(leftVisibleBand_);
  InternalSetTopVisibleRowIndex(first ? first->VisibleIndex() : 0);
}

void TcxvgBandsScrollStrategy::SetLeftVisibleBand(Integer AIndex) {
  AIndex = std::clamp<Integer>(
      AIndex, 0,
      std::max<Integer>(0, BandsInfo().Count() - GetVisibleBandCount()));
  if (AIndex == leftVisibleBand_) return;
  leftVisibleBand_ = AIndex;
  TcxCustomRow* first = GetFirstRowByBandIndex(AIndex);
  InternalSetTopVisibleRowIndex(first ? first->VisibleIndex() : 0);
  Grid()->LayoutChanged();
}

void TcxvgBandsScrollStrategy::ScrollH(TScrollCode ACode, Integer& APos) {
  if (IsRecordsScrollMode()) {
    TcxvgCustomScrollStrategy::ScrollH(ACode, APos);
    return;
  }
  switch (ACode) {
    case scLineUp:
      Scroller()->SetLeftVisibleBand(leftVisibleBand_ - 1);
      break;
    case scLineDown:
      Scroller()->SetLeftVisibleBand(leftVisibleBand_ + 1);
      break;
    case scPageUp:
      Scroller()->SetLeftVisibleBand(leftVisibleBand_ - GetVisibleBandCount());
      break;
    case scPageDown:
      Scroller()->SetLeftVisibleBand(leftVisibleBand_ + GetVisibleBandCount());
      break;
    case scTrack:
      Scroller()->SetLeftVisibleBand(APos);
      break;
    default:
      break;
  }
  APos = leftVisibleBand_;
}

void TcxvgBandsScrollStrategy::InitHScrollBarParameters() {
  if (IsRecordsScrollMode()) {
    TcxvgCustomScrollStrategy::InitHScrollBarParameters();
    return;
  }
  const Integer count = BandsInfo().Count();
  const Integer visible = GetVisibleBandCount();
  Grid()->Controller()->SetScrollBarInfo(sbHorizontal, 0, count - 1, 1, visible,
                                         leftVisibleBand_, count > visible,
                                         true);
}

void TcxvgBandsScrollStrategy::SetRowMaxVisible(TcxCustomRow* ARow) {
  const Integer a = GetBandIndexByRowIndex(ARow->VisibleIndex());
  TcxCustomRow* bottom = GetBottomVisibleChild(ARow);
  const Integer b = bottom ? GetBandIndexByRowIndex(bottom->VisibleIndex()) : a;
  const Integer c = GetVisibleBandCount();
  if (!bottom || bottom == ARow || b - a >= c) {
    Scroller()->SetTopVisibleRowIndex(ARow->VisibleIndex());
    return;
  }
  TcxCustomRow* first = GetFirstRowByBandIndex(std::max<Integer>(0, b - c + 1));
  if (first) Scroller()->SetTopVisibleRowIndex(first->VisibleIndex());
}

// ---------------------------------------------------------------------------
// TcxvgScroller
// ---------------------------------------------------------------------------

TcxvgScroller::TcxvgScroller(TcxCustomVerticalGrid* AGrid) : grid_(AGrid) {}

TcxvgCustomViewInfo* TcxvgScroller::ViewInfo() const {
  return grid_->VGViewInfo();
}

TObjectPtr<TcxvgCustomScrollStrategy> TcxvgScroller::CreateScrollStrategy() {
  return grid_->GetScrollStrategyClass()(this);
}

void TcxvgScroller::RecreateScrollStrategy() {
  strategy_.reset();
  strategy_ = CreateScrollStrategy();
}

TcxvgCustomScrollStrategy* TcxvgScroller::ScrollStrategy() {
  if (!strategy_) strategy_ = CreateScrollStrategy();
  return strategy_.get();
}

Integer TcxvgScroller::GetVisibleCountFromBottom(Integer AIndex) {
  return ScrollStrategy()->GetVisibleCountFromBottom(
      AIndex, ScrollStrategy()->ClientHeight());
}

Integer TcxvgScroller::GetFocusedRecordIndex() {
  return grid_->DataController()->GetFocusedRowIndex();
}

void TcxvgScroller::SetTopVisibleRowIndex(Integer AIndex) {
  ScrollStrategy()->SetTopVisibleRowIndex(
      ScrollStrategy()->CheckTopVisibleIndex(AIndex, 0));
}

void TcxvgScroller::SetLeftVisibleBand(Integer AIndex) {
  const Integer old = ScrollStrategy()->GetLeftVisibleBand();
  ScrollStrategy()->SetLeftVisibleBand(AIndex);
  if (ScrollStrategy()->GetLeftVisibleBand() != old)
    grid_->DoLeftVisibleBandIndexChanged();
}

void TcxvgScroller::SetLeftVisibleRecord(Integer AIndex) {
  const Integer old = ScrollStrategy()->LeftVisibleRecord();
  ScrollStrategy()->SetLeftVisibleRecord(AIndex);
  if (ScrollStrategy()->LeftVisibleRecord() != old) {
    if (ViewInfo()) ViewInfo()->Calculate();
    grid_->DoLeftVisibleRecordIndexChanged();
  }
}

bool TcxvgScroller::SetRecordVisible(Integer AIndex) {
  if (AIndex < 0 || AIndex >= grid_->GetRecordCount()) return false;
  const Integer left = ScrollStrategy()->LeftVisibleRecord();
  const Integer visible = ScrollStrategy()->GetVisibleValueCount();
  if (AIndex < left)
    SetLeftVisibleRecord(AIndex);
  else if (AIndex >= left + visible)
    SetLeftVisibleRecord(AIndex - visible + 1);
  return ScrollStrategy()->LeftVisibleRecord() != left;
}

void TcxvgScroller::SetRowVisible(TcxCustomRow* ARow) {
  if (ViewInfo()) ViewInfo()->EnsureVisibleRows();
  if (!ARow || ARow->VisibleIndex() < 0) return;
  const Integer r = ARow->VisibleIndex();
  const Integer t = ScrollStrategy()->TopVisibleRowIndex();
  Integer wanted = t, step = 0;
  if (r < t) {
    wanted = r;
  } else if (r >= t + ScrollStrategy()->GetVisibleRowCount()) {
    const Integer n = GetVisibleCountFromBottom(r);
    wanted = std::max<Integer>(0, r - n + 1);
    if (wanted <= t) wanted = t;
    step = 1;
  }
  ScrollStrategy()->SetTopVisibleRowIndex(
      ScrollStrategy()->CheckTopVisibleIndex(wanted, step));
}

void TcxvgScroller::SetRowMaxVisible(TcxCustomRow* ARow) {
  if (ViewInfo()) ViewInfo()->EnsureVisibleRows();
  if (!ARow || ARow->VisibleIndex() < 0) return;
  if (!ARow->Expanded())
    SetRowVisible(ARow);
  else
    ScrollStrategy()->SetRowMaxVisible(ARow);
}

void TcxvgScroller::InitScrollBarsParameters() {
  ScrollStrategy()->InitHScrollBarParameters();
  ScrollStrategy()->InitVScrollBarParameters();
}

void TcxvgScroller::Scroll(TScrollBarKind AKind, TScrollCode ACode,
                           Integer& APos) {
  if (AKind == sbVertical)
    ScrollStrategy()->ScrollV(ACode, APos);
  else
    ScrollStrategy()->ScrollH(ACode, APos);
}

void TcxvgScroller::RecalcBandsInfo() {
  ScrollStrategy()->RecalcBandsInfo();
  CheckDecreaseLeftIndex();
  CheckDecreaseTopIndex();
}

void TcxvgScroller::CheckDecreaseLeftIndex() {
  if (!checkLeft_) return;
  ScrollStrategy()->CheckDecreaseLeftIndex();
  checkLeft_ = false;
}

void TcxvgScroller::CheckDecreaseTopIndex() {
  if (!checkTop_ || ScrollStrategy()->TopVisibleRowIndex() == 0) return;
  ScrollStrategy()->CheckDecreaseTopIndex(ScrollStrategy()->ClientHeight());
  checkTop_ = false;
}

void TcxvgScroller::LayoutStyleChanged() {
  {
    auto update = grid_->UpdateScope();
    grid_->DoLayoutChanged();
    grid_->SetLeftVisibleBand(0);
    ScrollStrategy()->InternalSetTopVisibleRowIndex(0);
    if (TcxCustomRow* row = grid_->GetFocusedRow()) SetRowVisible(row);
  }
  if (grid_->HandleAllocated() && ViewInfo())
    ViewInfo()->LockDividerPos = false;
}

// The last record is as reachable as the first: step backwards from past
// the end.
void TcxvgScroller::GoToLast() {
  ScrollStrategy()->FocusNextRecord(grid_->GetRecordCount(), false);
}

void TcxvgScroller::GoToNext() {
  ScrollStrategy()->FocusNextRecord(GetFocusedRecordIndex(), true);
}

void TcxvgScroller::GoToPrev() {
  ScrollStrategy()->FocusNextRecord(GetFocusedRecordIndex(), false);
}
