#include "cxVGrid.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

TcxVGridViewParams cxVGridParams(const TcxViewParams& AParams) {
  return TcxVGridViewParams{AParams.Bitmap, static_cast<Integer>(AParams.Color),
                            AParams.Font,
                            static_cast<Integer>(AParams.TextColor)};
}

TcxViewParams cxViewParamsOf(const TcxVGridViewParams& AParams) {
  TcxViewParams result;
  result.Bitmap = static_cast<TBitmap*>(AParams.Bitmap);
  result.Color = static_cast<TColor>(AParams.Color);
  result.Font = static_cast<TFont*>(AParams.Font);
  result.TextColor = static_cast<TColor>(AParams.TextColor);
  return result;
}

// ---------------------------------------------------------------------------
// TcxVerticalGridStyles
// ---------------------------------------------------------------------------

TcxVerticalGridStyles::TcxVerticalGridStyles(TPersistent* AOwner)
    : TcxCustomControlStyles(AOwner) {}

TcxCustomVerticalGrid* TcxVerticalGridStyles::Grid() {
  return dynamic_cast<TcxCustomVerticalGrid*>(GetOwner());
}

void TcxVerticalGridStyles::Assign(TPersistent* Source) {
  TcxCustomControlStyles::Assign(Source);
  if (auto* source = dynamic_cast<TcxVerticalGridStyles*>(Source))
    for (Integer i = vgs_Category; i <= vgs_IncSearch; ++i)
      SetValue(i, source->GetValue(i));
}

void TcxVerticalGridStyles::GetDefaultViewParams(Integer AIndex, TObject* AData,
                                                 TcxViewParams& AParams) {
  if (TcxCustomVerticalGrid* grid = Grid())
    grid->GetDefaultViewParams(AIndex, AData, AParams);
  else
    TcxCustomControlStyles::GetDefaultViewParams(AIndex, AData, AParams);
}

namespace {
TcxStyle* RowStyle(TcxCustomRow* ARow, Integer AIndex) {
  auto* styles = dynamic_cast<TcxCategoryRowStyles*>(ARow->Styles());
  return styles ? styles->GetValue(AIndex) : nullptr;
}
}  // namespace

TcxViewParams TcxVerticalGridStyles::GetCategoryParams(TcxCustomRow* ARow) {
  TcxStyle* eventStyle = nullptr;
  if (OnGetCategoryStyle) OnGetCategoryStyle(Grid(), ARow, eventStyle);
  TcxViewParams params;
  cxStylesToViewParams(this, vgs_Category, nullptr,
                       {eventStyle, RowStyle(ARow, 0), Category()}, params);
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetHeaderParams(TcxCustomRow* ARow) {
  TcxStyle* eventStyle = nullptr;
  if (OnGetHeaderStyle) OnGetHeaderStyle(Grid(), ARow, eventStyle);
  TcxViewParams params;
  cxStylesToViewParams(this, vgs_Header, nullptr,
                       {eventStyle, RowStyle(ARow, 0), Header()}, params);
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetContentParams(
    TcxCustomEditorRowProperties* AProps, bool AFocused, Integer ARecordIndex) {
  TcxStyle* eventStyle = nullptr;
  if (OnGetContentStyle)
    OnGetContentStyle(Grid(), AProps, AFocused, ARecordIndex, eventStyle);
  TcxCustomRow* row = AProps ? AProps->Row() : nullptr;
  TcxvgContentParamsData data{row, AFocused};
  TcxViewParams params;
  cxStylesToViewParams(
      this, ecs_Content, reinterpret_cast<TObject*>(&data),
      {eventStyle,
       row ? RowStyle(row, TcxEditorRowStyles::vgrs_Content) : nullptr,
       Content()},
      params);
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetIncSearchParams() {
  TcxViewParams params;
  cxStylesToViewParams(this, vgs_IncSearch, nullptr, {IncSearch()}, params);
  return params;
}

TcxViewParams TcxVerticalGridStyles::GetSelectedHeaderParams(
    TcxCustomRow* ARow) {
  TcxViewParams params;
  GetSelectionParams(params);
  TcxStyle* eventStyle = nullptr;
  if (OnGetHeaderStyle) OnGetHeaderStyle(Grid(), ARow, eventStyle);
  if (eventStyle) {
    const TcxStyleValues assigned = eventStyle->AssignedValues();
    if (assigned.Contains(svBitmap)) params.Bitmap = eventStyle->Bitmap();
    if (assigned.Contains(svColor)) params.Color = eventStyle->Color();
    if (assigned.Contains(svFont)) params.Font = eventStyle->Font();
    if (assigned.Contains(svTextColor))
      params.TextColor = eventStyle->TextColor();
  }
  return params;
}

// ---------------------------------------------------------------------------
// TcxRowValueInfo
// ---------------------------------------------------------------------------

void TcxRowValueInfo::DoCalculate() {
  if (auto* cell = dynamic_cast<TcxCellEdit*>(EditContainer()))
    cell->Calculate(this);
  FocusRect = GetFocused() ? DisplayRect() : TRect{};
}

bool TcxRowValueInfo::GetFocused() {
  TcxCustomInplaceEditContainer* item = EditContainer();
  if (!item || !Row || !Row->VerticalGrid()) return false;
  TcxCustomVerticalGrid* grid = Row->VerticalGrid();
  return grid->GetFocusedRow() == Row &&
         grid->VGController()->CellIndex() == RowCellIndex &&
         grid->DataController()->GetFocusedRecordIndex() == RecordIndex;
}

TcxEditButtonTransparency TcxRowValueInfo::GetButtonTransparency() {
  // In the multi-record view the focused record shows its buttons in every
  // row, as the focused cell does elsewhere.
  TcxCustomVerticalGrid* grid = Row->VerticalGrid();
  if (EditContainer()->Options()->ShowEditButtons() == eisbDefault &&
      grid->OptionsView()->ShowEditButtons() == ecsbFocused &&
      grid->IsMultiRecordView() &&
      RecordIndex == grid->DataController()->GetFocusedRecordIndex())
    return ebtNone;
  return TcxEditCellViewInfo::GetButtonTransparency();
}

void TcxRowValueInfo::GetDisplayValue(Variant& AValue) {
  TcxCustomInplaceEditContainer* item = EditContainer();
  if (item && RecordIndex >= 0 &&
      RecordIndex < item->DataController()->GetRowCount())
    item->GetDisplayValue(Properties(), RecordIndex, AValue);
  else
    AValue = Null();
}

void TcxRowValueInfo::GetEditViewParams(TcxViewParams& AParams) {
  auto* cell = dynamic_cast<TcxCellEdit*>(EditContainer());
  AParams = Row->VerticalGrid()->Styles()->GetContentParams(
      cell ? cell->EditRowProperties() : nullptr, GetFocused(), RecordIndex);
}

TColor TcxRowValueInfo::GetSelectedTextColor() {
  const TcxViewParams params =
      Row->VerticalGrid()->Styles()->GetIncSearchParams();
  return params.TextColor == clDefault
             ? TcxEditCellViewInfo::GetSelectedTextColor()
             : params.TextColor;
}

TColor TcxRowValueInfo::GetSelectedBKColor() {
  const TcxViewParams params =
      Row->VerticalGrid()->Styles()->GetIncSearchParams();
  return params.Color == clDefault ? TcxEditCellViewInfo::GetSelectedBKColor()
                                   : params.Color;
}

bool TcxRowValueInfo::IsAutoHeight() {
  TcxCustomVerticalGrid* grid = Row->VerticalGrid();
  return Properties() &&
         Properties()->GetSupportedOperations().Contains(esoAutoHeight) &&
         grid->VGViewInfo()->GetRowAutoHeight(Row);
}

// ---------------------------------------------------------------------------
// TcxCustomRowViewInfo
// ---------------------------------------------------------------------------

TcxCustomRowViewInfo::TcxCustomRowViewInfo(TcxCustomRow* ARow)
    : row_(ARow), headerInfo_(ARow->CreateHeaderInfo()) {}

TcxCustomRowViewInfo::~TcxCustomRowViewInfo() = default;

void TcxCustomRowViewInfo::BeforeDestruction() { ClearValueInfos(); }

void TcxCustomRowViewInfo::TruncateValueInfos(Integer ACount) {
  TcxCustomVerticalGrid* grid = row_->VerticalGrid();
  TcxCustomControlViewInfo* control = grid ? grid->ViewInfo() : nullptr;
  while (static_cast<Integer>(valueInfos_.size()) > std::max(ACount, 0)) {
    TcxRowValueInfo* cell = valueInfos_.back();
    valueInfos_.pop_back();
    if (control) control->RemoveEditCellViewInfo(cell);
  }
}

TcxRowValueInfo* TcxCustomRowViewInfo::GetRowValueInfo(Integer ARecordIndex,
                                                       Integer ACellIndex) {
  for (TcxRowValueInfo* cell : valueInfos_)
    if (cell->RecordIndex == ARecordIndex && cell->RowCellIndex == ACellIndex)
      return cell;
  return nullptr;
}

TcxRowValueInfo* TcxCustomRowViewInfo::CalcRowValueInfo(Integer ACellIndex,
                                                        Integer ARecordIndex) {
  TcxCellEdit* container = row_->GetEditContainer(ACellIndex);
  if (!container || !viewInfo_) return nullptr;
  for (auto it = valueInfos_.begin(); it != valueInfos_.end(); ++it)
    if ((*it)->RecordIndex == ARecordIndex &&
        (*it)->RowCellIndex == ACellIndex) {
      TcxRowValueInfo* cell = *it;
      valueInfos_.erase(it);
      valueInfos_.insert(valueInfos_.begin(), cell);
      return cell;
    }
  auto* cell = static_cast<TcxRowValueInfo*>(viewInfo_->AddEditCellViewInfo(
      cxSubObjectClass<TcxRowValueInfo, TcxEditCellViewInfo, TObject>(),
      container));
  cell->Row = row_;
  cell->RecordIndex = ARecordIndex;
  cell->RowCellIndex = ACellIndex;
  container->InitEditViewInfo(cell);
  valueInfos_.insert(valueInfos_.begin(), cell);
  return cell;
}

void TcxCustomRowViewInfo::Calc(const TRect& ARowRect,
                                TcxvgCustomViewInfo* AViewInfo,
                                TcxCustomRow* ANextRow) {
  viewInfo_ = AViewInfo;
  RowRect = ARowRect;
  AViewInfo->CalcRowRects(this);
  CalcRowHeaderInfo(ANextRow);
  CalcValuesInfo(ANextRow);
  CalcPaintViewParamsLines(ANextRow);
}

void TcxCustomRowViewInfo::CalcRowHeaderInfo(TcxCustomRow* ANextRow) {
  headerInfo_->Calc(headerInfo_->HeaderRect, viewInfo_, true, ANextRow);
}

void TcxCustomRowViewInfo::CalcPaintViewParamsLines(TcxCustomRow* ANextRow) {
  viewInfo_->CalcHelper()->CalcPaintViewParamsLines(this, ANextRow);
}

Integer TcxCustomRowViewInfo::GetValueHeight(Integer, Integer) { return -1; }

void TcxCustomRowViewInfo::AddRectValueLines(TRect R, bool ALast,
                                             bool ABottomLineNeeded) {
  const TRect client = viewInfo_->ClientRectV;
  if (ALast || R.Right >= client.Right) {
    if (client.Right < R.Left) return;
    R.Right = std::min(R.Right, client.Right);
  }
  if (ABottomLineNeeded) viewInfo_->AddBottomValueSide(R);
  viewInfo_->AddRightValueSide(R, ALast);
}

void TcxCustomRowViewInfo::Update() {
  ClearValueInfos();
  TcxCustomVerticalGrid* grid = row_->VerticalGrid();
  if (!grid || !viewInfo_) return;
  if (grid->GetFocusedRow() == row_) {
    viewInfo_->ChangeFocusedRow(row_, grid->PrevVisibleRow(row_));
    return;
  }
  viewInfo_->LinesInfo().SetLocked(true);
  viewInfo_->FocusLinesInfo().SetLocked(true);
  Calc(RowRect, viewInfo_, grid->NextVisibleRow(row_));
  viewInfo_->LinesInfo().SetLocked(false);
  viewInfo_->FocusLinesInfo().SetLocked(false);
  grid->InvalidateRect(RowRect, false);
}

void TcxCustomRowViewInfo::UpdateRecord(Integer ARecordIndex) {
  TcxCustomVerticalGrid* grid = row_->VerticalGrid();
  if (!viewInfo_ || !grid) return;
  TLineInfoList& lines = viewInfo_->LinesInfo();
  lines.SetLocked(true);
  CalcValuesInfo(grid->NextVisibleRow(row_));
  lines.SetLocked(false);
  for (TcxRowValueInfo* cell : valueInfos_)
    if (cell->RecordIndex == ARecordIndex) {
      cell->UpdateEditRect();
      grid->InvalidateRect(cell->DisplayRect(), false);
    }
}

void TcxCategoryRowViewInfo::CalcRowHeaderInfo(TcxCustomRow* ANextRow) {
  HeaderInfo()->HeaderRect = RowRect;
  ValuesRect = TRect{};
  TcxCustomRowViewInfo::CalcRowHeaderInfo(ANextRow);
}

void TcxEditorRowViewInfo::CalcValuesInfo(TcxCustomRow* ANextRow) {
  TcxvgCustomViewInfo* info = ViewInfo();
  const Integer count = info->GetVisibleValueCount();
  const Integer first = info->GetFirstVisibleRecordIndex();
  const bool bottomLine =
      !(ANextRow && ANextRow->Is<TcxCategoryRow>() &&
        Row()->VerticalGrid()->LookAndFeel()->SkinPainter());
  for (Integer i = 0; i < count; ++i) {
    const TRect r = info->GetValueRect(i, this);
    AddRectValueLines(r, i == count - 1, bottomLine);
    if (TcxRowValueInfo* cell = CalcRowValueInfo(0, first + i))
      info->CalcEditCell(r, cell);
  }
  TruncateValueInfos(count);
}

Integer TcxEditorRowViewInfo::GetValueHeight(Integer ARecordIndex,
                                             Integer AWidth) {
  TcxRowValueInfo* cell = CalcRowValueInfo(0, ARecordIndex);
  if (!cell) return -1;
  cell->SetBounds(TRect{0, 0, AWidth, 0}, TRect{0, 0, AWidth, 0});
  const Integer h = cell->CalculateEditHeight();
  TruncateValueInfos(ViewInfo()->GetVisibleValueCount());
  return h;
}

TcxMultiEditorRowViewInfo::TcxMultiEditorRowViewInfo(TcxCustomRow* ARow)
    : TcxCustomRowViewInfo(ARow) {
  auto* row = static_cast<TcxCustomMultiEditorRow*>(ARow);
  TcxEditorPropertiesCollection* editors = row->GetProperties()->Editors();
  for (Integer i = 0; i < editors->Count(); ++i)
    editors->GetItem(i)->EditContainer()->SetCellIndex(i);
}

std::unique_ptr<TcxRectList> TcxMultiEditorRowViewInfo::GetCellRects(
    TcxCustomMultiEditorRow* ARow, const TRect& R, Integer ASeparatorWidth) {
  TRectScaler scaler;
  TcxEditorPropertiesCollection* editors = ARow->GetProperties()->Editors();
  const Integer minWidth =
      ARow->VerticalGrid()->OptionsView()->RowHeaderMinWidth();
  for (Integer i = 0; i < editors->Count(); ++i)
    scaler.Add(editors->GetItem(i)->Width(), minWidth,
               i + 1 < editors->Count() ? ASeparatorWidth : 0);
  if (ARow->GetProperties()->Fixed())
    scaler.CalcRect(R);
  else
    scaler.ScaleRect(R);
  if (scaler.ScaledRects().Count() == 0) return nullptr;
  auto result = std::make_unique<TcxRectList>();
  result->Assign(scaler.ScaledRects());
  return result;
}

void TcxMultiEditorRowViewInfo::AddSeparatorRects(
    TcxvgCustomViewInfo* AViewInfo, TcxRectList& ATarget, TLineInfoList& ALines,
    const TRect& ABounds, const TcxRectList& ACells, TSeparatorKind AKind,
    Integer ADividerWidth, TColor AColor) {
  for (Integer k = 0; k + 1 < ACells.Count(); ++k) {
    const TRect a = ACells.GetRect(k);
    const TRect b = ACells.GetRect(k + 1);
    TRect r = AKind == skString
                  ? TRect{a.Right, a.Top, b.Left, a.Bottom}
                  : TRect{a.Right - ADividerWidth, a.Top, a.Right, a.Bottom};
    TRect clipped;
    if (!IntersectRect(clipped, r, ABounds)) continue;
    if (AKind == skString)
      ATarget.Add(clipped);
    else
      AViewInfo->CalcHelper()->AddDivider(ALines, clipped, true, AColor);
  }
}

void TcxMultiEditorRowViewInfo::CalcValuesInfo(TcxCustomRow*) {
  separatorRects_.Clear();
  TcxvgCustomViewInfo* info = ViewInfo();
  auto* row = static_cast<TcxCustomMultiEditorRow*>(Row());
  auto* header = static_cast<TcxMultiEditorRowHeaderInfo*>(HeaderInfo());
  const TSeparatorInfo& sep = header->SeparatorInfo();
  const Integer count = info->GetVisibleValueCount();
  const Integer first = info->GetFirstVisibleRecordIndex();
  Integer cellsUsed = 0;
  for (Integer i = 0; i < count; ++i) {
    const TRect r = info->GetValueRect(i, this);
    std::unique_ptr<TcxRectList> cells = GetCellRects(row, r, sep.Width);
    if (cells) {
      const Integer n = std::min(cells->Count(), row->GetEditContainerCount());
      cellsUsed = std::max(cellsUsed, n);
      for (Integer j = 0; j < n; ++j) {
        const TRect cellRect = cells->GetRect(j);
        if (IsRectEmpty(cellRect)) continue;
        if (TcxRowValueInfo* cell = CalcRowValueInfo(j, first + i))
          info->CalcEditCell(cellRect, cell);
      }
      AddSeparatorRects(info, separatorRects_, info->LinesInfo(), r, *cells,
                        sep.Kind, info->DividerWidth, header->ViewParams.Color);
    }
    AddRectValueLines(r, i == count - 1, true);
  }
  TruncateValueInfos(count * cellsUsed);
  CheckEmptyValuesInfo();
}

void TcxMultiEditorRowViewInfo::CheckEmptyValuesInfo() {
  if (Row()->GetEditContainerCount() > 0 || IsRectEmpty(ValuesRect)) return;
  HeaderInfo()->LinesInfo().AddColor(ValuesRect,
                                     HeaderInfo()->ViewParams.Color);
  AddRectValueLines(ValuesRect, true, true);
}

Integer TcxMultiEditorRowViewInfo::GetValueHeight(Integer ARecordIndex,
                                                  Integer AWidth) {
  auto* row = static_cast<TcxCustomMultiEditorRow*>(Row());
  auto* header = static_cast<TcxMultiEditorRowHeaderInfo*>(HeaderInfo());
  std::unique_ptr<TcxRectList> cells =
      GetCellRects(row, TRect{0, 0, AWidth, 0}, header->SeparatorInfo().Width);
  Integer result = -1;
  if (cells)
    for (Integer j = 0; j < cells->Count(); ++j) {
      const TRect r = cells->GetRect(j);
      if (r.Width() <= 0) continue;
      if (TcxRowValueInfo* cell = CalcRowValueInfo(j, ARecordIndex)) {
        cell->SetBounds(r, r);
        result = std::max(result, cell->CalculateEditHeight());
      }
    }
  TruncateValueInfos(ViewInfo()->GetVisibleValueCount() *
                     row->GetEditContainerCount());
  return result;
}

// ---------------------------------------------------------------------------
// TcxvgCustomViewInfo
// ---------------------------------------------------------------------------

TcxvgCustomViewInfo::TcxvgCustomViewInfo(TcxEditingControl* AControl)
    : TcxCustomControlViewInfo(AControl) {
  calcHelper_ = CreateCalcHelper();
  LockDividerPos = true;
  UpdateScroller();
}

TcxvgCustomViewInfo::~TcxvgCustomViewInfo() = default;

void TcxvgCustomViewInfo::BeforeDestruction() {
  TcxCustomVerticalGrid* grid = Grid();
  // The rows' value infos are cells of this view info and go with it.
  if (grid && grid->Rows() && grid->RootRow()) {
    for (Integer i = 0; i < grid->Rows()->Count(); ++i) {
      TcxCustomRow* row = grid->Rows()->Items(i);
      if (TcxCustomRowViewInfo* info = row->ViewInfoIfCreated()) {
        info->DropValueInfos();
        if (!grid->IsGridDestroying()) row->FreeViewInfo();
      }
    }
  }
  rowsViewInfo_.clear();
  TcxCustomControlViewInfo::BeforeDestruction();
}

TcxCustomVerticalGrid* TcxvgCustomViewInfo::Grid() const {
  return static_cast<TcxCustomVerticalGrid*>(Control());
}

TcxvgPainter* TcxvgCustomViewInfo::GetPainter() const {
  return static_cast<TcxvgPainter*>(Painter());
}

TcxvgScroller* TcxvgCustomViewInfo::GetScroller() const {
  return Grid()->Scroller();
}

TObjectPtr<TcxCustomControlPainter> TcxvgCustomViewInfo::CreatePainter() {
  return Grid()->GetPainterClass()(Grid());
}

TObjectPtr<TcxvgCustomPaintStyleCalcHelper>
TcxvgCustomViewInfo::CreateCalcHelper() {
  return Grid()->GetCalcHelperClass()(this);
}

void TcxvgCustomViewInfo::UpdateScroller() {
  if (TcxvgScroller* scroller = GetScroller())
    scroller->RecreateScrollStrategy();
}

TcxCustomRowViewInfo* TcxvgCustomViewInfo::GetRowViewInfo(
    TcxCustomRow* ARow) const {
  if (!ARow) return nullptr;
  for (TcxCustomRowViewInfo* info : rowsViewInfo_)
    if (info->Row() == ARow) return info;
  return nullptr;
}

TcxCustomRow* TcxvgCustomViewInfo::GetVisibleRow(Integer AIndex) const {
  EnsureVisibleRows();
  if (AIndex < 0 || AIndex >= GetVisibleRowCount()) return nullptr;
  return visibleRows_[static_cast<size_t>(AIndex)];
}

Integer TcxvgCustomViewInfo::GetFirstVisibleRecordIndex() {
  if (Grid()->GetRecordCount() == 0) return -1;
  return GetScroller()->GetLeftVisibleRecord();
}

void TcxvgCustomViewInfo::CalcVisibleRows() {
  visibleRowsDirty_ = false;
  MaxVisibleLevel = 0;
  visibleRows_.clear();
  TcxCustomVerticalGrid* grid = Grid();
  TcxVerticalGridRows* rows = grid->Rows();
  const Integer count = rows->Count();
  // One walk in display order: a row is shown when it and every ancestor
  // are visible and every ancestor is expanded.
  for (Integer i = 0; i < count; ++i) {
    TcxCustomRow* row = rows->Items(i);
    row->SetVisibleIndex(-1);
  }
  std::vector<std::pair<TcxCustomRow*, Integer>> stack;
  TcxCustomRow* root = grid->RootRow();
  for (Integer i = root->Count() - 1; i >= 0; --i)
    stack.emplace_back(root->Rows(i), 0);
  while (!stack.empty()) {
    auto [row, level] = stack.back();
    stack.pop_back();
    if (!row->Visible()) continue;
    row->SetVisibleIndex(static_cast<Integer>(visibleRows_.size()));
    visibleRows_.push_back(row);
    MaxVisibleLevel = std::max(MaxVisibleLevel, level);
    if (row->Expanded())
      for (Integer i = row->Count() - 1; i >= 0; --i)
        stack.emplace_back(row->Rows(i), level + 1);
  }
}

void TcxvgCustomViewInfo::DoCalculate() {
  Reset();
  CalcLayoutGeneral();
  // The tree's changes mark the visible rows; scrolling keeps them.
  EnsureVisibleRows();
  if (TcxvgScroller* scroller = GetScroller()) scroller->RecalcBandsInfo();
  CalcBandWidth();
  lines_.Clear();
  focusLines_.Clear();
  rowsViewInfo_.clear();
  CalcViewRects();
  CalcRowsViewInfo();
  AddEmptyRects();
}

void TcxvgCustomViewInfo::Reset() {
  TcxEditingController* editing = Grid()->EditingController();
  TcxEditCellViewInfo* cell = editing && editing->IsEditing()
                                  ? Grid()->Controller()->GetEditingViewInfo()
                                  : nullptr;
  if (cell) cell->CheckClipping(TRect{});
}

void TcxvgCustomViewInfo::Clear() {
  lines_.Clear();
  focusLines_.Clear();
  rowsViewInfo_.clear();
  viewRects_.Clear();
}

void TcxvgCustomViewInfo::CalcRowMinHeight() {
  TcxCustomVerticalGrid* grid = Grid();
  RowMinHeight = ScreenCanvas()->FontHeight(grid->Font()) + 2;
  const Integer rowHeight = grid->OptionsView()->RowHeight();
  if (rowHeight >= 0 && rowHeight > RowMinHeight) RowMinHeight = rowHeight;
  RowMinHeight = std::max(RowMinHeight, ImageSize.cy + 2);
}

void TcxvgCustomViewInfo::CalcExplorerStyle() {
  TcxCustomVerticalGrid* grid = Grid();
  CategoryExplorerStyle = false;
  ExplorerButtonSize = TSize{ButtonSize, ButtonSize};
  if (!grid->OptionsView()->CategoryExplorerStyle() ||
      grid->LookAndFeel()->SkinPainter() ||
      !AreVisualStylesAvailable({totExplorerBar}))
    return;
  const HTHEME theme = OpenTheme(totExplorerBar);
  if (!theme) return;
  SIZE size{};
  // The normal group's expand glyph (part 7, state 1).
  if (SUCCEEDED(GetThemePartSize(theme, nullptr, 7, 1, dxTS_TRUE, &size))) {
    ExplorerButtonSize = TSize{size.cx, size.cy};
    CategoryExplorerStyle = true;
  }
}

void TcxvgCustomViewInfo::CalcLayoutGeneral() {
  TcxCustomVerticalGrid* grid = Grid();
  TcxvgOptionsView* options = grid->OptionsView();
  ClientRectV = Bounds();
  ClientRectV.Left += VertLineWidth;
  ClientRectV.Right -= VertLineWidth;
  ClientRectV.Top += HorzLineWidth;
  ClientRectV.Bottom -= HorzLineWidth;
  const TcxvgGridLines lines = options->GridLines();
  HorzLineWidth = lines == vglHorizontal || lines == vglBoth ? 1 : 0;
  VertLineWidth = lines == vglVertical || lines == vglBoth ? 1 : 0;
  BandsInterval = options->BandsInterval();
  RowHeaderMinWidth = options->RowHeaderMinWidth();
  ShowHeaders = options->ShowHeaders();
  ButtonSize = LookAndFeelPainter()->ExpandButtonSize();
  TCustomImageList* images = grid->Images();
  ImageSize = images ? TSize{images->Width(), images->Height()} : TSize{};
  DividerWidth =
      VertLineWidth > 0 && ShowHeaders ? calcHelper_->GetDividerWidth() : 0;
  BandBorderColor = calcHelper_->GetBandBorderColor();
  RowIndentWidth = calcHelper_->GetIndentWidth();
  BandMinWidth = options->ValueMinWidth() + RowHeaderMinWidth + DividerWidth;
  CalcRowMinHeight();
  FullHeaderWidth = ShowHeaders ? GetViewHeaderWidth() + DividerWidth : 0;
  CreateBrushes();
  CalcExplorerStyle();
}

void TcxvgCustomViewInfo::DestroyBrushes() {
  horzBrush_.reset();
  vertBrush_.reset();
}

void TcxvgCustomViewInfo::CreateBrushes() {
  DestroyBrushes();
  horzBrush_ = calcHelper_->CreateHorzLineBrush();
  vertBrush_ = calcHelper_->CreateVertLineBrush();
}

Integer TcxvgCustomViewInfo::GetViewMinHeaderWidth() {
  return (RowIndentWidth + VertLineWidth) * (MaxVisibleLevel + 1) + 1;
}

Integer TcxvgCustomViewInfo::GetViewHeaderWidth() {
  if (!ShowHeaders) return 0;
  return std::max(GetViewMinHeaderWidth(),
                  Grid()->OptionsView()->RowHeaderWidth());
}

Integer TcxvgCustomViewInfo::GetViewValueWidth() {
  return Grid()->OptionsView()->ValueWidth();
}

Integer TcxvgCustomViewInfo::GetViewBandWidth() { return Bounds().Width(); }

void TcxvgCustomViewInfo::CalcBandWidth() {
  ViewBandWidth = GetViewBandWidth();
  ViewHeaderWidth = GetViewHeaderWidth();
  ViewValueWidth = GetViewValueWidth();
}

void TcxvgCustomViewInfo::CheckMaxRowHeaderWidth(Integer&, Integer) {}

void TcxvgCustomViewInfo::SetDividerPos(Integer AWidth) {
  TcxvgOptionsView* options = Grid()->OptionsView();
  if (AWidth == options->RowHeaderWidth()) return;
  if (ViewBandWidth - AWidth - DividerWidth < options->ValueMinWidth())
    options->SetRowHeaderWidth(ViewBandWidth - options->ValueMinWidth());
  else
    options->SetRowHeaderWidth(AWidth);
}

void TcxvgCustomViewInfo::SetValueWidth(Integer AWidth) {
  Grid()->OptionsView()->SetValueWidth(AWidth);
}

void TcxvgCustomViewInfo::CalcViewRects() {
  viewRects_.Clear();
  if (visibleRows_.empty()) {
    const TRect b = Bounds();
    viewRects_.BandRects.Add(TRect{b.Left, b.Top, b.Right, b.Top});
    viewRects_.EmptyRects.Add(b);
    return;
  }
  CalcBandRects();
}

void TcxvgCustomViewInfo::CalcBandRects() {
  Integer total = HorzLineWidth;
  const Integer top = GetScroller()->GetTopVisibleRowIndex();
  const Integer limit = Bounds().Height();
  for (Integer i = std::max<Integer>(top, 0); i < GetVisibleRowCount(); ++i) {
    TcxCustomRowViewInfo* info =
        visibleRows_[static_cast<size_t>(i)]->GetViewInfo();
    info->RowHeight = GetRowHeight(info, ViewBandWidth);
    total += info->RowHeight + HorzLineWidth;
    // Rows below the client area are not measured: nothing shows them.
    if (total > limit) break;
  }
  CreateBand(total, ViewBandWidth);
}

void TcxvgCustomViewInfo::CreateBand(Integer AHeight, Integer AWidth) {
  const TRect b = Bounds();
  TcxRectList& bands = viewRects_.BandRects;
  const Integer left =
      bands.Count() > 0 ? bands.GetRect(bands.Count() - 1).Right : b.Left;
  const TRect band{left, b.Top, left + AWidth,
                   b.Top + std::min(AHeight, b.Height())};
  bands.Add(band);
  if (band.Height() < b.Height())
    viewRects_.EmptyRects.Add(
        TRect{left, band.Bottom, left + AWidth, b.Top + b.Height()});
}

void TcxvgCustomViewInfo::CalcRowsViewInfo() {
  TcxvgScroller* scroller = GetScroller();
  Integer rowIndex = scroller->GetTopVisibleRowIndex();
  TBandInfoList& bands = scroller->GetBandsInfo();
  TcxRectList& bandRects = viewRects_.BandRects;
  const Integer left = scroller->GetLeftVisibleBand();
  for (Integer b = left, k = 0; b < bands.Count() && k < bandRects.Count();
       ++b, ++k) {
    const TRect band = bandRects.GetRect(k);
    if (band.Left > Bounds().Right) break;
    CalcBandRowsViewInfo(rowIndex, band, b);
  }
  if (visibleRows_.empty()) CalcEmpty();
}

void TcxvgCustomViewInfo::CalcEmpty() {
  if (!ShowHeaders) return;
  const TRect b = Bounds();
  calcHelper_->AddDivider(
      lines_, TRect{b.Left, b.Top, b.Left + ViewHeaderWidth, b.Bottom}, false,
      BandBorderColor);
}

bool TcxvgCustomViewInfo::CanAddRowToBand(const TRect& ARowRect,
                                          const TRect& ABand, Integer) {
  return ARowRect.Top < ABand.Bottom;
}

void TcxvgCustomViewInfo::CalcBandRowsViewInfo(Integer& ARowIndex,
                                               const TRect& ABand,
                                               Integer ABandIndex) {
  Integer y = ABand.Top + HorzLineWidth;
  const Integer width = ABand.Width() - 2 * VertLineWidth;
  if (width <= 0) return;
  Integer inBand = 0;
  while (ARowIndex < GetVisibleRowCount()) {
    TcxCustomRow* row = visibleRows_[static_cast<size_t>(ARowIndex)];
    TcxCustomRowViewInfo* info = row->GetViewInfo();
    if (info->RowHeight <= 0)
      info->RowHeight = GetRowHeight(info, ViewBandWidth);
    const TRect r{ABand.Left + VertLineWidth, y,
                  ABand.Left + VertLineWidth + width, y + info->RowHeight};
    if (!CanAddRowToBand(r, ABand, inBand)) break;
    info->BandIndex = ABandIndex;
    info->BandRowIndex = inBand++;
    info->Calc(r, this, GetVisibleRow(ARowIndex + 1));
    rowsViewInfo_.push_back(info);
    AddBandRowsLines(ABand);
    y += info->RowHeight + HorzLineWidth;
    ++ARowIndex;
  }
}

void TcxvgCustomViewInfo::AddBandRowsLines(const TRect& ABand) {
  if (HorzLineWidth > 0) {
    lines_.AddColor(ABand.Left, ABand.Top, ABand.Width(), HorzLineWidth,
                    BandBorderColor);
    lines_.AddColor(ABand.Left + VertLineWidth, ABand.Bottom - HorzLineWidth,
                    ABand.Width() - 2 * VertLineWidth, HorzLineWidth,
                    BandBorderColor);
  }
  if (VertLineWidth > 0)
    lines_.AddColor(ABand.Left, ABand.Top + HorzLineWidth, VertLineWidth,
                    ABand.Height() - HorzLineWidth, BandBorderColor);
}

void TcxvgCustomViewInfo::CalcRowRects(TcxCustomRowViewInfo* ARow) {
  const TRect r = ARow->RowRect;
  TcxCustomRowHeaderInfo* header = ARow->HeaderInfo();
  if (CheckShowRowHeader()) {
    header->HeaderRect =
        TRect{r.Left, r.Top, r.Left + ViewHeaderWidth, r.Bottom};
    ARow->ValuesRect = TRect{r.Left + ViewHeaderWidth + DividerWidth, r.Top,
                             r.Right, r.Bottom};
  } else {
    header->HeaderRect = TRect{r.Left, r.Top, r.Left, r.Bottom};
    ARow->ValuesRect = r;
  }
}

bool TcxvgCustomViewInfo::GetRowAutoHeight(TcxCustomRow* ARow) {
  TcxCustomVerticalGrid* grid = Grid();
  if (!ARow) return grid->GetCellAutoHeight();
  return grid->GetCellAutoHeight() && ARow->Options()->CanAutoHeight() &&
         !ARow->IsHeightAssigned();
}

Integer TcxvgCustomViewInfo::GetRowHeight(TcxCustomRowViewInfo* ARow,
                                          Integer AValueWidth) {
  Integer h = std::max(ARow->Row()->GetRealHeight(), RowMinHeight);
  if (GetRowAutoHeight(ARow->Row()))
    h = std::max(
        h, ARow->GetValueHeight(GetFirstVisibleRecordIndex(), AValueWidth));
  return h;
}

TRect TcxvgCustomViewInfo::GetValueRect(Integer, TcxCustomRowViewInfo* ARow) {
  return TRect{ARow->ValuesRect.Left, ARow->RowRect.Top, ARow->RowRect.Right,
               ARow->RowRect.Bottom};
}

TRect TcxvgCustomViewInfo::GetValuesRect(TcxCustomRowViewInfo* ARow) {
  const TRect r = ARow->RowRect;
  return TRect{r.Left + ViewHeaderWidth + DividerWidth, r.Top, r.Right,
               r.Bottom};
}

void TcxvgCustomViewInfo::AddBottomValueSide(const TRect& R) {
  if (HorzLineWidth > 0)
    lines_.AddBrush(R.Left, R.Bottom, R.Width(), HorzLineWidth,
                    horzBrush_.get());
}

void TcxvgCustomViewInfo::AddRightValueSide(const TRect& R, bool ALast) {
  if (VertLineWidth <= 0) return;
  if (ALast)
    lines_.AddColor(R.Right, R.Top, VertLineWidth,
                    R.Bottom + HorzLineWidth - R.Top, BandBorderColor);
  else
    lines_.AddBrush(R.Right, R.Top, VertLineWidth,
                    R.Bottom + HorzLineWidth - R.Top, vertBrush_.get());
}

void TcxvgCustomViewInfo::CalcEditCell(const TRect& ABounds,
                                       TcxRowValueInfo* AValue) {
  AValue->SetBounds(ABounds, ClientRectV);
}

void TcxvgCustomViewInfo::ChangeFocusedRow(TcxCustomRow* ARow,
                                           TcxCustomRow* AOther) {
  TcxCustomVerticalGrid* grid = Grid();
  if (grid->IsLocked()) return;
  lines_.SetLocked(true);
  TRect changed = calcHelper_->ChangeFocusedRow(ARow, AOther);
  lines_.SetLocked(false);
  changed.Bottom += HorzLineWidth;
  if (!IsRectEmpty(changed)) grid->InvalidateRect(changed, false);
}

void TcxvgCustomViewInfo::UpdateRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || Grid()->IsLocked()) return;
  for (TcxCustomRowViewInfo* info : rowsViewInfo_)
    info->UpdateRecord(ARecordIndex);
}

void TcxvgCustomViewInfo::LayoutStyleChanged() {
  if (TcxvgScroller* scroller = GetScroller()) scroller->LayoutStyleChanged();
}

TRect TcxvgCustomViewInfo::GetBandSizeableRect(const TRect& ABand) {
  return TRect{ABand.Right - 1, ABand.Top, ABand.Right + 2, Bounds().Bottom};
}

void TcxvgCustomViewInfo::UpdateSelection() {
  TcxCustomControlViewInfo::UpdateSelection();
  if (TcxvgController* controller = Grid()->VGController())
    controller->RefreshFocusedRow();
}

TObjectPtr<TRectScaler> TcxvgCustomViewInfo::ScaleRowRects(
    TcxCustomRowViewInfo* ARow) {
  TObjectPtr<TRectScaler> scaler(new TRectScaler());
  scaler->Add(ViewHeaderWidth, RowHeaderMinWidth, DividerWidth);
  scaler->Add(ViewBandWidth - ViewHeaderWidth, BandMinWidth);
  scaler->ScaleRect(ARow->RowRect);
  return scaler;
}
