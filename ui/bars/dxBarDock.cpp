// Dock controls and their rows of toolbars.
#include <algorithm>

#include "ScopeGuard.h"
#include "dxBar.h"

// ---------------------------------------------------------------------------
// TdxDockCol, TdxDockRow
// ---------------------------------------------------------------------------

void TdxDockCol::AssignPosition() {
  if (BarControl) Pos = {BarControl->Left(), BarControl->Top()};
}

TdxDockRow::~TdxDockRow() {
  for (TdxBar* bar : bars_) {
    if (bar->DockRow() == this) bar->SetDockRow(nullptr);
  }
}

TdxDockCol* TdxDockRow::InsertCol(Integer AIndex, TdxBarControl* AControl) {
  AIndex = std::clamp<Integer>(AIndex, 0, ColCount());
  auto col = TObjectPtr<TdxDockCol>(new TdxDockCol(this, AControl));
  TdxDockCol* result = col.get();
  cols_.insert(cols_.begin() + AIndex, std::move(col));
  if (AControl && AControl->Bar() && !HasBar(AControl->Bar())) {
    bars_.push_back(AControl->Bar());
  }
  UpdateOneOnRows();
  return result;
}

TdxDockCol* TdxDockRow::AddCol(TdxBarControl* AControl) {
  return InsertCol(ColCount(), AControl);
}

void TdxDockRow::DeleteCol(Integer AIndex) {
  if (AIndex < 0 || AIndex >= ColCount()) return;
  cols_.erase(cols_.begin() + AIndex);
  UpdateOneOnRows();
}

void TdxDockRow::DeleteCol(TdxBarControl* AControl) {
  DeleteCol(ColIndexOf(AControl));
}

Integer TdxDockRow::ColIndexOf(const TdxBarControl* AControl) const {
  for (std::size_t i = 0; i < cols_.size(); ++i) {
    if (cols_[i]->BarControl == AControl) return static_cast<Integer>(i);
  }
  return -1;
}

void TdxDockRow::AddBar(TdxBar* ABar) {
  if (!HasBar(ABar)) bars_.push_back(ABar);
  ABar->SetDockRow(this);
  auto* control = dynamic_cast<TdxBarControl*>(ABar->Control());
  if (control && control->DockControl() == dockControl_ &&
      ColIndexOf(control) < 0) {
    AddCol(control)->Pos = {ABar->DockedLeft(), ABar->DockedTop()};
  }
}

bool TdxDockRow::HasBar(const TdxBar* ABar) const {
  return std::find(bars_.begin(), bars_.end(), ABar) != bars_.end();
}

void TdxDockRow::RemoveBar(TdxBar* ABar) {
  std::erase(bars_, ABar);
  if (auto* control = dynamic_cast<TdxBarControl*>(ABar->Control())) {
    DeleteCol(control);
  }
  if (ABar->DockRow() == this) ABar->SetDockRow(nullptr);
}

bool TdxDockRow::GetVisible() const {
  for (const auto& col : cols_) {
    if (col->BarControl && col->BarControl->DockControl() == dockControl_) {
      return true;
    }
  }
  return false;
}

void TdxDockRow::UpdateOneOnRows() {
  for (const auto& col : cols_) {
    if (col->BarControl && col->BarControl->Bar()) {
      col->BarControl->Bar()->SetOneOnRow(cols_.size() == 1);
    }
  }
}

// ---------------------------------------------------------------------------
// TdxDockControl
// ---------------------------------------------------------------------------

TdxDockControl::TdxDockControl(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentColor(true);
  SetControlStyle(ControlStyle() + TControlStyle{csDoubleClicks});
}

TdxDockControl::~TdxDockControl() {
  if (auto gone = dxBarManagerSeams().AccessibilityOwnerGone) gone(this);
  if (barManager_) barManager_->RemoveDockControl(this);
  rows_.clear();
}

void TdxDockControl::SetBarManager(TdxBarManager* Value) {
  if (barManager_ == Value) return;
  if (barManager_) barManager_->RemoveDockControl(this);
  barManager_ = Value;
  if (barManager_) {
    barManager_->AddDockControl(this);
    FreeNotification(barManager_);
  }
}

void TdxDockControl::Setup(TdxBarManager* ABarManager,
                           TdxBarDockingStyle AStyle) {
  mainStyle_ = AStyle;
  switch (AStyle) {
    case dsLeft:
      SetAlign(alLeft);
      break;
    case dsRight:
      SetAlign(alRight);
      break;
    case dsBottom:
      SetAlign(alBottom);
      break;
    default:
      SetAlign(alTop);
      break;
  }
  barManager_ = ABarManager;
  if (ABarManager) {
    TWinControl* owner = ABarManager->ParentedOwner();
    if (owner) {
      SetHeight(0);
      SetWidth(0);
      SetParent(owner);
    }
  }
}

void TdxDockControl::Notification(TComponent* AComponent,
                                  TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == barManager_) barManager_ = nullptr;
}

TdxBarDockingStyle TdxDockControl::DockingStyle() const {
  switch (Align()) {
    case alLeft:
      return dsLeft;
    case alRight:
      return dsRight;
    case alBottom:
      return dsBottom;
    default:
      return dsTop;
  }
}

bool TdxDockControl::GetHorizontal() const {
  const TdxBarDockingStyle style = DockingStyle();
  return style == dsTop || style == dsBottom;
}

bool TdxDockControl::GetTopLeft() const {
  const TdxBarDockingStyle style = DockingStyle();
  return style == dsTop || style == dsLeft;
}

bool TdxDockControl::GetSunkenBorder() const {
  return barManager_ && barManager_->SunkenBorder;
}

bool TdxDockControl::CanDocking(TdxBar* ABar) {
  if (!allowDocking_) return false;
  if (ABar && ABar->NotDocking.Contains(DockingStyle())) return false;
  return !(barManager_ && barManager_->NotDocking().Contains(DockingStyle()));
}

// --- Rows --------------------------------------------------------------------

Integer TdxDockControl::IndexOfRow(const TdxDockRow* ARow) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].get() == ARow) return static_cast<Integer>(i);
  }
  return -1;
}

TdxDockRow* TdxDockControl::AppendRow() {
  rows_.push_back(TObjectPtr<TdxDockRow>(new TdxDockRow(this)));
  return rows_.back().get();
}

TdxDockRow* TdxDockControl::FindBarRow(const TdxBar* ABar) const {
  for (const auto& row : rows_) {
    if (row->HasBar(ABar)) return row.get();
  }
  return nullptr;
}

void TdxDockControl::MoveBarToRow(TdxBar* ABar, Integer ARow) {
  RemoveBarFromRow(ABar);
  while (RowCount() <= std::max<Integer>(ARow, 0)) AppendRow();
  Rows(std::max<Integer>(ARow, 0))->AddBar(ABar);
}

void TdxDockControl::RemoveBarFromRow(TdxBar* ABar) {
  if (TdxDockRow* row = FindBarRow(ABar)) row->RemoveBar(ABar);
}

void TdxDockControl::DropEmptyRows() {
  std::erase_if(rows_, [](const TObjectPtr<TdxDockRow>& row) {
    return row->ColCount() == 0 && row->BarCount() == 0;
  });
}

TdxDockRowsGeometry TdxDockControl::RowsGeometry() const {
  TdxDockRowsGeometry g;
  g.TopLeft = GetTopLeft();
  auto* self = const_cast<TdxDockControl*>(this);
  g.ClientExtent = GetHorizontal() ? self->ClientHeight() : self->ClientWidth();
  g.ClientSize = GetClientSize();
  for (Integer i = 0; i < RowCount(); ++i) {
    const TRect r = GetRectForRow(i);
    g.Rows.push_back(GetHorizontal() ? TdxDockSpan{r.Top, r.Bottom}
                                     : TdxDockSpan{r.Left, r.Right});
  }
  if (barManager_) g.ZoneSize = barManager_->Bars()->DockingZoneSize;
  return g;
}

Integer TdxDockControl::GetRowAtPos(const TPoint& AScreenPoint,
                                    bool& ANewRow) const {
  const TPoint p =
      const_cast<TdxDockControl*>(this)->ScreenToClient(AScreenPoint);
  return dxDockGetRowAtPos(RowsGeometry(), GetHorizontal() ? p.Y : p.X,
                           ANewRow);
}

Integer TdxDockControl::GetColAtPos(Integer ARow,
                                    const TPoint& AScreenPoint) const {
  if (ARow < 0 || ARow >= RowCount()) return 0;
  const TPoint p =
      const_cast<TdxDockControl*>(this)->ScreenToClient(AScreenPoint);
  const Integer along = GetHorizontal() ? p.X : p.Y;
  TdxDockRow* row = Rows(ARow);
  for (Integer i = 0; i < row->ColCount(); ++i) {
    TdxBarControl* control = row->Cols(i)->BarControl;
    const Integer start = GetHorizontal() ? control->Left() : control->Top();
    if (start >= along) return i;
  }
  return row->ColCount();
}

Integer TdxDockControl::GetRowSize(Integer ARow) const {
  TdxDockRow* row = Rows(ARow);
  Integer size = 0;
  for (Integer i = 0; i < row->ColCount(); ++i) {
    TdxBarControl* control = row->Cols(i)->BarControl;
    if (!control || control->DockControl() != this) continue;
    size =
        std::max(size, GetHorizontal() ? control->Height() : control->Width());
  }
  return size;
}

TRect TdxDockControl::GetRectForRow(Integer ARow) const {
  if (ARow < 0 || ARow >= RowCount()) return {};
  Integer start = 0;
  for (Integer i = 0; i < ARow; ++i) start += GetRowSize(i);
  const Integer size = GetRowSize(ARow);
  auto* self = const_cast<TdxDockControl*>(this);
  if (GetHorizontal()) return Rect(0, start, self->ClientWidth(), start + size);
  return Rect(start, 0, start + size, self->ClientHeight());
}

Integer TdxDockControl::GetClientSize() const {
  Integer sum = 0;
  for (Integer i = 0; i < RowCount(); ++i) sum += GetRowSize(i);
  return sum;
}

Integer TdxDockControl::GetSize() const {
  const Integer size = GetClientSize();
  return size + (GetSunkenBorder() && size > 0 ? 2 : 0);
}

TRect TdxDockControl::GetDockZoneBounds() const {
  auto* self = const_cast<TdxDockControl*>(this);
  const TPoint origin = self->ClientToScreen({0, 0});
  TRect r =
      Bounds(origin.X, origin.Y, self->ClientWidth(), self->ClientHeight());
  const Integer z =
      barManager_ ? barManager_->Bars()->DockingZoneSize : dxBarDockingZoneSize;
  if (GetHorizontal()) {
    r.Left -= z;
    r.Right += z;
    r.Top -= z;
    r.Bottom += z;
  } else {
    r.Left -= z;
    r.Right += z;
  }
  return r;
}

// --- Docking bars -----------------------------------------------------------

void TdxDockControl::AddBarControl(TdxBarControl* AControl,
                                   const TPoint& AScreenPoint, bool APlace,
                                   bool ARestoring) {
  if (!barManager_ || !AControl) return;
  TdxBar* bar = AControl->Bar();
  if (TdxDockRow* placed = bar ? FindBarRow(bar) : nullptr) {
    // The model placed the bar in a row already: its column joins that row.
    if (placed->ColIndexOf(AControl) < 0) {
      placed->InsertCol(GetColAtPos(IndexOfRow(placed), AScreenPoint), AControl)
          ->Pos = ScreenToClient(AScreenPoint);
    }
    bar->SetDockRow(placed);
    if (APlace) UpdateDock();
    return;
  }
  bool newRow = false;
  Integer index = 0;
  if (ARestoring && bar) {
    // A stored place: the bar's row, alone there when it was alone.
    index = bar->Row();
    newRow = bar->OneOnRow();
  } else {
    index = GetRowAtPos(AScreenPoint, newRow);
  }
  if (bar && bar->WholeRow()) newRow = true;
  if (index > RowCount() - 1) index = newRow ? RowCount() : RowCount() - 1;
  index = std::max<Integer>(index, 0);
  if (index >= RowCount()) newRow = true;
  if (!newRow) {
    TdxDockRow* row = Rows(index);
    for (Integer i = 0; i < row->ColCount(); ++i) {
      TdxBar* other = row->Cols(i)->BarControl->Bar();
      if (other && other != bar && other->WholeRow()) newRow = true;
    }
  }
  TdxDockCol* col = nullptr;
  TdxDockRow* row = nullptr;
  if (newRow) {
    rows_.insert(rows_.begin() + index,
                 TObjectPtr<TdxDockRow>(new TdxDockRow(this)));
    row = Rows(index);
    col = row->AddCol(AControl);
  } else {
    row = Rows(index);
    col = row->InsertCol(GetColAtPos(index, AScreenPoint), AControl);
  }
  if (bar) row->AddBar(bar);
  TPoint p = ScreenToClient(AScreenPoint);
  if (GetHorizontal()) {
    p.X = std::max<Integer>(p.X, 0);
  } else {
    p.Y = std::max<Integer>(p.Y, 0);
  }
  col->Pos = p;
  if (APlace) {
    if (!AControl->Moving())
      AControl->SetBounds(p.X, p.Y, AControl->Width(), AControl->Height());
    UpdateDock();
  }
}

void TdxDockControl::DeleteBarControl(TdxBarControl* AControl, bool AUpdate) {
  for (Integer r = 0; r < RowCount(); ++r) {
    TdxDockRow* row = Rows(r);
    if (row->ColIndexOf(AControl) < 0) continue;
    if (AControl->Bar()) row->RemoveBar(AControl->Bar());
    row->DeleteCol(AControl);
    break;
  }
  DropEmptyRows();
  if (AUpdate) UpdateDock();
}

void TdxDockControl::MoveBarControl(TdxBarControl* AControl,
                                    const TPoint& AScreenPoint) {
  DeleteBarControl(AControl, false);
  AddBarControl(AControl, AScreenPoint, true, false);
}

void TdxDockControl::AssignPositions() {
  for (const auto& row : rows_) {
    for (Integer i = 0; i < row->ColCount(); ++i)
      row->Cols(i)->AssignPosition();
  }
}

// --- Layout ------------------------------------------------------------------

void TdxDockControl::UpdateDock() {
  if (!barManager_ || barManager_->IsUpdateLocked() ||
      barManager_->IsDestroying() || updatingDock_) {
    return;
  }
  updatingDock_ = true;
  TScopeGuard done([&] { updatingDock_ = false; });
  PaintBarControls();
  SetSize();
}

void TdxDockControl::PaintBarControls() {
  if (rows_.empty() || !barManager_ || barManager_->BarsLoading() ||
      barManager_->IsDestroying()) {
    return;
  }
  CalcLayout();
  Invalidate();
}

void TdxDockControl::CalcLayout() {
  const Integer line = GetHorizontal() ? ClientWidth() : ClientHeight();
  for (Integer i = 0; i < RowCount(); ++i) {
    if (Rows(i)->GetVisible()) CalcRowToolbarPositions(i, line);
  }
}

void TdxDockControl::CalcRowToolbarPositions(Integer ARow,
                                             Integer ALineLength) {
  TdxDockRow* row = Rows(ARow);
  const TdxBarDockingStyle style = DockingStyle();
  const bool horizontal = GetHorizontal();
  std::vector<TdxBarControl*> controls;
  std::vector<TdxDockColLayout> cols;
  for (Integer i = 0; i < row->ColCount(); ++i) {
    TdxDockCol* col = row->Cols(i);
    TdxBarControl* c = col->BarControl;
    if (!c || c->DockControl() != this) continue;
    c->SetItemsCut(false);
    const Integer ncAlong =
        horizontal ? c->BarNCSizeX(style) : c->BarNCSizeY(style);
    const Integer ncAcross =
        horizontal ? c->BarNCSizeY(style) : c->BarNCSizeX(style);
    TdxDockColLayout layout;
    layout.MinLength =
        (horizontal ? c->GetMinWidth(style) : c->GetMinHeight(style)) + ncAlong;
    layout.MaxLength =
        (horizontal ? c->GetMaxWidth(style) : c->GetMaxHeight(style)) + ncAlong;
    if (!c->MarkExists() && layout.MinLength != layout.MaxLength) {
      // Squeezing brings the mark.
      layout.MinLength += dxBarStandardPaint::MarkSize;
    }
    layout.MaxThickness =
        (horizontal ? c->GetMaxHeight(style) : c->GetMaxWidth(style)) +
        ncAcross;
    layout.WantedPos = horizontal ? col->Pos.X : col->Pos.Y;
    if (TdxBar* bar = c->Bar()) {
      layout.WholeRow = bar->WholeRow();
      layout.MultiLine = bar->MultiLine();
      layout.UseRestSpace = bar->UseRestSpace;
    }
    layout.Moving = c->Moving();
    controls.push_back(c);
    cols.push_back(layout);
  }
  if (controls.empty()) return;
  const auto thicknessFor = [&](std::size_t AIndex, Integer ALength) {
    TdxBarControl* c = controls[AIndex];
    const Integer ncAlong =
        horizontal ? c->BarNCSizeX(style) : c->BarNCSizeY(style);
    const Integer ncAcross =
        horizontal ? c->BarNCSizeY(style) : c->BarNCSizeX(style);
    // The standard drawing offers no quick customization: the mark's room
    // comes off the length.
    const Integer length = ALength - ncAlong - dxBarStandardPaint::MarkSize;
    const TSize s = horizontal ? c->GetSizeForWidth(style, length)
                               : c->GetSizeForHeight(style, length);
    return (horizontal ? s.cy : s.cx) + ncAcross;
  };
  const Integer thickness = dxDockCalcRowPositions(
      cols, ALineLength, barManager_ && barManager_->AutoAlignBars,
      thicknessFor);
  const TRect rowRect = GetRectForRow(ARow);
  const Integer across = horizontal ? rowRect.Top : rowRect.Left;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    TdxBarControl* c = controls[i];
    c->SetItemsCut(cols[i].ItemsCut);
    const TRect r =
        horizontal ? Bounds(cols[i].Pos, across, cols[i].Length, thickness)
                   : Bounds(across, cols[i].Pos, thickness, cols[i].Length);
    c->SetNewBounds(r);
    c->CalcLayout();
    c->Invalidate();
  }
}

void TdxDockControl::SetSize() {
  const Integer size = GetSize();
  if (GetHorizontal()) {
    if (Height() == size) return;
    if (DockingStyle() == dsBottom) {
      SetBounds(Left(), Top() + Height() - size, Width(), size);
    } else {
      SetHeight(size);
    }
  } else {
    if (Width() == size) return;
    if (DockingStyle() == dsRight) {
      SetBounds(Left() + Width() - size, Top(), size, Height());
    } else {
      SetWidth(size);
    }
  }
  // The rows' new thickness moves the later rows: place them again.
  PaintBarControls();
}

void TdxDockControl::RepaintBarControls() {
  for (const auto& row : rows_) {
    for (Integer i = 0; i < row->ColCount(); ++i) {
      if (TdxBarControl* c = row->Cols(i)->BarControl) c->Invalidate();
    }
  }
}

void TdxDockControl::AlignControls(TControl*, TRect&) {
  if (barManager_ && !barManager_->IsLoading()) UpdateDock();
}

// --- Window ------------------------------------------------------------------

void TdxDockControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.ExStyle = 0;
  Params.WindowClass.style = CS_DBLCLKS;
}

void TdxDockControl::CreateWnd() {
  TCustomControl::CreateWnd();
  // Bars that waited for this window show now.
  if (barManager_) barManager_->ShowBarsFromRestoringList(this);
}

void TdxDockControl::FillBackground(HDC DC, const TRect& R) {
  const TColor color = barManager_ && !barManager_->AutoDockColor
                           ? barManager_->DockColor()
                           : Color();
  TBitmap* picture = barManager_ ? barManager_->Backgrounds()->Bar() : nullptr;
  if (picture && !picture->Empty()) {
    FillRectByBitmap(DC, R, ClientRect(), picture);
    return;
  }
  TdxBarPainter* painter = barManager_ ? barManager_->Painter() : nullptr;
  if (!painter) {
    dxBarStandardPaint::FillBackground(DC, R, color);
    return;
  }
  if (!IsRectEmpty(ClientRect()))
    painter->DockControlFillBackground(this, DC, R, R, ClientRect(), nullptr,
                                       color);
}

void TdxDockControl::Paint() {
  FillBackground(Canvas()->Handle(), ClientRect());
}

void TdxDockControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      FillBackground(reinterpret_cast<HDC>(Message.WParam), ClientRect());
      Message.Result = 1;
      return;
    case WM_NCCALCSIZE:
      if (GetSunkenBorder()) {
        auto* r = reinterpret_cast<RECT*>(Message.LParam);
        ::InflateRect(r, -1, -1);
        Message.Result = 0;
        return;
      }
      break;
    case WM_NCPAINT:
      if (GetSunkenBorder()) {
        TWindowDC dc(Handle(), ::GetWindowDC(Handle()));
        RECT r{0, 0, Width(), Height()};
        ::DrawEdge(dc.get(), &r, BDR_SUNKENOUTER, BF_RECT);
        Message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEACTIVATE:
      if (barManager_ && !barManager_->IsDesigning()) {
        Message.Result = MA_NOACTIVATE;
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TdxBarDockControl
// ---------------------------------------------------------------------------

TdxBarDockControl::TdxBarDockControl(TComponent* AOwner)
    : TdxDockControl(AOwner) {
  SetAlign(alTop);
}

Integer TdxBarDockControl::GetMinSize() const {
  const bool designing = ComponentState().Contains(csDesigning);
  return designing && !AllowZeroSizeInDesignTime ? 3 : 0;
}

Integer TdxBarDockControl::GetClientSize() const {
  const Integer sum = TdxDockControl::GetClientSize();
  return sum ? sum : GetMinSize();
}
