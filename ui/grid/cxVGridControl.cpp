#include "SysUtils.h"
#include "cxVGrid.h"

// ---------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------

TcxCustomVerticalGrid* TcxvgOptionsView::Grid() const {
  return dynamic_cast<TcxCustomVerticalGrid*>(Owner());
}

void TcxvgOptionsView::Changed() {
  if (TcxCustomVerticalGrid* grid = Grid()) grid->CheckGridModeBufferCount();
  TcxControlOptionsView::Changed();
}

void TcxvgOptionsView::SetAutoScaleBands(bool Value) {
  if (autoScaleBands_ == Value) return;
  autoScaleBands_ = Value;
  TcxCustomVerticalGrid* grid = Grid();
  if (Value && grid && grid->Scroller())
    grid->Scroller()->ScrollStrategy()->InternalSetTopVisibleRowIndex(0);
  Changed();
}

void TcxvgOptionsView::SetBandsInterval(Integer Value) {
  SetField(bandsInterval_, std::max<Integer>(Value, 0));
}
void TcxvgOptionsView::SetCategoryExplorerStyle(bool Value) {
  SetField(categoryExplorerStyle_, Value);
}

TColor TcxvgOptionsView::GridLineColor() const {
  if (gridLineColorAssigned_) return gridLineColor_;
  return paintStyle_ == psStyle3D ? clBtnShadow : clBtnFace;
}

void TcxvgOptionsView::SetGridLineColor(TColor Value) {
  gridLineColorAssigned_ = true;
  SetField(gridLineColor_, Value);
}

void TcxvgOptionsView::SetGridLines(TcxvgGridLines Value) {
  SetField(gridLines_, Value);
}

void TcxvgOptionsView::SetPaintStyle(TcxvgPaintStyle Value) {
  if (paintStyle_ == Value) return;
  paintStyle_ = Value;
  if (TcxCustomVerticalGrid* grid = Grid()) {
    grid->RecreateViewInfo();
    grid->VGController()->UpdatePaintStyle();
  }
  CheckRowHeaderWidth();
  Changed();
}

void TcxvgOptionsView::SetRowHeaderMinWidth(Integer Value) {
  if (Value < 0) Value = 0;
  if (rowHeaderMinWidth_ == Value) return;
  rowHeaderMinWidth_ = Value;
  CheckRowHeaderWidth();
  Changed();
}

void TcxvgOptionsView::SetRowHeaderWidth(Integer Value) {
  TcxCustomVerticalGrid* grid = Grid();
  if (TcxvgCustomViewInfo* info = grid ? grid->VGViewInfo() : nullptr) {
    Value = std::max(Value, info->GetViewMinHeaderWidth());
    if (!grid->ComponentState().Contains(csLoading))
      info->CheckMaxRowHeaderWidth(Value, std::max<Integer>(valueMinWidth_, 4));
  }
  Value = std::max(Value, rowHeaderMinWidth_);
  SetField(rowHeaderWidth_, Value);
}

void TcxvgOptionsView::SetRowHeight(Integer Value) {
  SetField(rowHeight_, std::max<Integer>(Value, -1));
}
void TcxvgOptionsView::SetShowButtons(bool Value) {
  SetField(showButtons_, Value);
}
void TcxvgOptionsView::SetShowEmptyRowImage(bool Value) {
  SetField(showEmptyRowImage_, Value);
}
void TcxvgOptionsView::SetShowHeaders(bool Value) {
  SetField(showHeaders_, Value);
}

void TcxvgOptionsView::SetValueMinWidth(Integer Value) {
  Value = std::max<Integer>(Value, 20);
  if (valueMinWidth_ == Value) return;
  valueMinWidth_ = Value;
  SetValueWidth(valueWidth_);
  Changed();
}

void TcxvgOptionsView::SetValueWidth(Integer Value) {
  SetField(valueWidth_, std::max(Value, valueMinWidth_));
}

void TcxvgOptionsView::RestoreDefaults() {
  gridLineColorAssigned_ = false;
  gridLineColor_ = clDefault;
  rowHeight_ = -1;
  bandsInterval_ = 2;
  Changed();
}

void TcxvgOptionsView::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxvgOptionsView*>(Source);
  if (!source) return TcxControlOptionsView::Assign(Source);
  TcxCustomVerticalGrid* grid = Grid();
  if (grid) grid->BeginUpdate();
  TScopeGuard end([grid] {
    if (grid) grid->EndUpdate();
  });
  TcxControlOptionsView::Assign(Source);
  SetPaintStyle(source->paintStyle_);
  gridLineColor_ = source->gridLineColor_;
  gridLineColorAssigned_ = source->gridLineColorAssigned_;
  rowHeaderMinWidth_ = source->rowHeaderMinWidth_;
  rowHeight_ = source->rowHeight_;
  valueMinWidth_ = source->valueMinWidth_;
  valueWidth_ = source->valueWidth_;
  rowHeaderWidth_ = source->rowHeaderWidth_;
  SetBandsInterval(source->bandsInterval_);
  SetCategoryExplorerStyle(source->categoryExplorerStyle_);
  SetShowButtons(source->showButtons_);
  SetShowEmptyRowImage(source->showEmptyRowImage_);
  SetShowHeaders(source->showHeaders_);
  SetGridLines(source->gridLines_);
  SetAutoScaleBands(source->autoScaleBands_);
  if (TcxvgCustomViewInfo* info = grid ? grid->VGViewInfo() : nullptr)
    info->ViewBandWidth = info->ViewHeaderWidth = info->ViewValueWidth = 0;
}

void TcxvgMultiRecordsOptionsView::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxvgMultiRecordsOptionsView*>(Source))
    recordsInterval_ = source->recordsInterval_;
  TcxvgOptionsView::Assign(Source);
}

void TcxvgMultiRecordsOptionsView::RestoreDefaults() {
  recordsInterval_ = 0;
  TcxvgOptionsView::RestoreDefaults();
}

bool TcxvgOptionsBehavior::GetAlwaysShowEditor() const {
  if (alwaysShowEditorAssigned_) return AlwaysShowEditor();
  auto* grid = dynamic_cast<TcxCustomVerticalGrid*>(Owner());
  return grid && grid->OptionsView()->PaintStyle() == psStyle3D;
}

void TcxvgOptionsBehavior::SetAlwaysShowEditorValue(bool Value) {
  alwaysShowEditorAssigned_ = true;
  SetAlwaysShowEditor(Value);
}

void TcxvgOptionsBehavior::Assign(TPersistent* Source) {
  TcxControlOptionsBehavior::Assign(Source);
  if (auto* source = dynamic_cast<TcxvgOptionsBehavior*>(Source)) {
    alwaysShowEditorAssigned_ = source->alwaysShowEditorAssigned_;
    bandSizing_ = source->bandSizing_;
    headerSizing_ = source->headerSizing_;
    rowSizing_ = source->rowSizing_;
    rowTracking_ = source->rowTracking_;
  }
}

void TcxvgMultiRecordsOptionsBehavior::SetAllowChangeRecord(bool Value) {
  if (allowChangeRecord_ == Value) return;
  allowChangeRecord_ = Value;
  if (auto* grid = dynamic_cast<TcxCustomVerticalGrid*>(Owner()))
    grid->LayoutChanged();
}

void TcxvgMultiRecordsOptionsBehavior::Assign(TPersistent* Source) {
  TcxvgOptionsBehavior::Assign(Source);
  if (auto* source = dynamic_cast<TcxvgMultiRecordsOptionsBehavior*>(Source))
    SetAllowChangeRecord(source->allowChangeRecord_);
}

void TcxvgMultiRecordsOptionsData::SetAppending(bool Value) {
  if (appending_ == Value) return;
  appending_ = Value;
  Changed();
}
void TcxvgMultiRecordsOptionsData::SetDeleting(bool Value) {
  if (deleting_ == Value) return;
  deleting_ = Value;
  Changed();
}
void TcxvgMultiRecordsOptionsData::SetInserting(bool Value) {
  if (inserting_ == Value) return;
  inserting_ = Value;
  Changed();
}
void TcxvgMultiRecordsOptionsData::Changed() {
  if (auto* grid = dynamic_cast<TcxCustomVerticalGrid*>(Owner()))
    grid->RefreshNavigators();
}
void TcxvgMultiRecordsOptionsData::Assign(TPersistent* Source) {
  TcxControlOptionsData::Assign(Source);
  if (auto* source = dynamic_cast<TcxvgMultiRecordsOptionsData*>(Source)) {
    appending_ = source->appending_;
    deleting_ = source->deleting_;
    deletingConfirmation_ = source->deletingConfirmation_;
    inserting_ = source->inserting_;
  }
}

// ---------------------------------------------------------------------------
// TcxCustomVerticalGrid: construction
// ---------------------------------------------------------------------------

TcxCustomVerticalGrid::TcxCustomVerticalGrid(TComponent* AOwner)
    : TcxExtEditingControl(AOwner) {
  imagesChangeLink_.reset(new TChangeLink());
  imagesChangeLink_->OnChange =
      TNotifyEvent(this, &TcxCustomVerticalGrid::ImageListChange);
  categoryFont_.reset(new TFont());
  categoryFont_->Assign(Font());
  categoryFont_->SetStyle(categoryFont_->Style() + TFontStyles{fsBold});
  SetBounds(Left(), Top(), 200, 150);
}

TcxCustomVerticalGrid::~TcxCustomVerticalGrid() = default;

void TcxCustomVerticalGrid::BeforeDestruction() {
  destroying_ = true;
  TcxExtEditingControl::BeforeDestruction();
}

void TcxCustomVerticalGrid::CreateSubClasses() {
  rows_.reset(new TcxVerticalGridRows(this));
  root_.reset(new TcxCategoryRow(nullptr));
  root_->SetID(-1);
  root_->grid_ = this;
  TcxExtEditingControl::CreateSubClasses();
  InitDataController();
  customizing_ = GetCustomizingClass()(this);
}

void TcxCustomVerticalGrid::DestroySubClasses() {
  destroying_ = true;
  customizing_.reset();
  root_.reset();
  rows_.reset();
  TcxExtEditingControl::DestroySubClasses();
}

TObjectPtr<TcxControlOptionsBehavior>
TcxCustomVerticalGrid::CreateOptionsBehavior() {
  return TObjectPtr<TcxControlOptionsBehavior>(new TcxvgOptionsBehavior(this));
}

TObjectPtr<TcxControlOptionsView> TcxCustomVerticalGrid::CreateOptionsView() {
  return TObjectPtr<TcxControlOptionsView>(new TcxvgOptionsView(this));
}

TcxvgOptionsView* TcxCustomVerticalGrid::OptionsView() const {
  return static_cast<TcxvgOptionsView*>(TcxExtEditingControl::OptionsView());
}
TcxvgOptionsBehavior* TcxCustomVerticalGrid::OptionsBehavior() const {
  return static_cast<TcxvgOptionsBehavior*>(
      TcxExtEditingControl::OptionsBehavior());
}
TcxVerticalGridStyles* TcxCustomVerticalGrid::Styles() const {
  return static_cast<TcxVerticalGridStyles*>(TcxExtEditingControl::Styles());
}
TcxvgController* TcxCustomVerticalGrid::VGController() const {
  return static_cast<TcxvgController*>(Controller());
}
TcxvgCustomViewInfo* TcxCustomVerticalGrid::VGViewInfo() const {
  return static_cast<TcxvgCustomViewInfo*>(ViewInfo());
}
TcxvgPainter* TcxCustomVerticalGrid::VGPainter() const {
  return static_cast<TcxvgPainter*>(Painter());
}
TcxvgCustomPaintStyleCalcHelper* TcxCustomVerticalGrid::CalcHelper() const {
  return VGViewInfo() ? VGViewInfo()->CalcHelper() : nullptr;
}
TcxvgScroller* TcxCustomVerticalGrid::Scroller() const {
  return VGController() ? VGController()->Scroller() : nullptr;
}

TcxEditingControl::TcxControllerClass
TcxCustomVerticalGrid::GetControllerClass() {
  return cxSubObjectClass<TcxvgController, TcxCustomControlController,
                          TcxEditingControl>();
}
TcxEditingControl::TcxControlStylesClass
TcxCustomVerticalGrid::GetControlStylesClass() {
  return cxSubObjectClass<TcxVerticalGridStyles, TcxCustomControlStyles,
                          TPersistent>();
}
TcxDragImageHelperClass TcxCustomVerticalGrid::GetDragImageHelperClass() {
  return [](TcxEditingControl* AControl, const TPoint& ADragPos) {
    return TObjectPtr<TcxDragImageHelper>(
        new TcxvgDragImageHelper(AControl, ADragPos));
  };
}
TcxHitTestControllerClass TcxCustomVerticalGrid::GetHitTestControllerClass() {
  return cxSubObjectClass<TcxvgHitTest, TcxCustomHitTestController,
                          TcxCustomControlController>();
}
TcxEditingControl::TcxPainterClass TcxCustomVerticalGrid::GetPainterClass() {
  if (OptionsView() && OptionsView()->PaintStyle() == psStyle3D)
    return cxSubObjectClass<TcxStyle3DPainter, TcxCustomControlPainter,
                            TcxEditingControl>();
  return cxSubObjectClass<TcxvgPainter, TcxCustomControlPainter,
                          TcxEditingControl>();
}
TcxCustomVerticalGrid::TcxCalcHelperClass
TcxCustomVerticalGrid::GetCalcHelperClass() {
  if (LookAndFeel()->SkinPainter())
    return cxSubObjectClass<TcxvgSkinCalcHelper,
                            TcxvgCustomPaintStyleCalcHelper,
                            TcxvgCustomViewInfo>();
  if (OptionsView()->PaintStyle() == psStyle3D)
    return cxSubObjectClass<TcxvgStyle3DCalcHelper,
                            TcxvgCustomPaintStyleCalcHelper,
                            TcxvgCustomViewInfo>();
  return cxSubObjectClass<TcxvgDotNetStyleCalcHelper,
                          TcxvgCustomPaintStyleCalcHelper,
                          TcxvgCustomViewInfo>();
}
TcxCustomVerticalGrid::TcxCustomizingClass
TcxCustomVerticalGrid::GetCustomizingClass() {
  return cxSubObjectClass<TcxVerticalGridCustomizing,
                          TcxVerticalGridCustomizing, TcxCustomVerticalGrid>();
}
TcxCustomRowClass TcxCustomVerticalGrid::GetEditorRowClass() {
  return TcxEditorRow::StaticClass();
}
TcxCustomRowClass TcxCustomVerticalGrid::GetMultiEditorRowClass() {
  return TcxMultiEditorRow::StaticClass();
}

// ---------------------------------------------------------------------------
// Rows
// ---------------------------------------------------------------------------

void TcxCustomVerticalGrid::CheckRowClass(TcxCustomRowClass ARowClass) {
  if (!ARowClass || !(ARowClass->InheritsFrom(GetEditorRowClass()) ||
                      ARowClass->InheritsFrom(TcxCategoryRow::StaticClass()) ||
                      ARowClass->InheritsFrom(GetMultiEditorRowClass())))
    cxVerticalGridError(cxGetResourceString(cxSvgInvalidRowClass));
}

TcxCustomRow* TcxCustomVerticalGrid::Add(TcxCustomRowClass ARowClass) {
  return AddChild(nullptr, ARowClass);
}

TcxCustomRow* TcxCustomVerticalGrid::AddChild(TcxCustomRow* AParent,
                                              TcxCustomRowClass ARowClass) {
  CheckRowClass(ARowClass);
  auto* row =
      dynamic_cast<TcxCustomRow*>(ARowClass->NewInstance(Owner()).release());
  if (!row) cxVerticalGridError(cxGetResourceString(cxSvgInvalidRowClass));
  row->SetVerticalGrid(this);
  (AParent ? AParent : RootRow())->Add(row);
  LayoutChanged();
  return row;
}

void TcxCustomVerticalGrid::Remove(TcxCustomRow* ARow) {
  if (ARow) Free(ARow);
}

void TcxCustomVerticalGrid::ClearRows() {
  auto update = UpdateScope();
  VGController()->Clear();
  rows_->Clear();
}

TcxCustomRow* TcxCustomVerticalGrid::FirstRow() {
  return root_->Count() > 0 ? root_->Rows(0) : nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::FirstVisibleRow() {
  return root_->GetFirstVisibleChild();
}

TcxCustomRow* TcxCustomVerticalGrid::LastRow() {
  const Integer count = rows_->Count();
  return count > 0 ? rows_->Items(count - 1) : nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::LastVisibleRow() {
  for (Integer i = rows_->Count() - 1; i >= 0; --i)
    if (IsRowVisible(rows_->Items(i))) return rows_->Items(i);
  return nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::NextRow(TcxCustomRow* ARow) {
  if (!ARow) return FirstRow();
  const Integer i = rows_->IndexOf(ARow);
  return i >= 0 && i + 1 < rows_->Count() ? rows_->Items(i + 1) : nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::PrevRow(TcxCustomRow* ARow) {
  if (!ARow) return LastRow();
  const Integer i = rows_->IndexOf(ARow);
  return i > 0 ? rows_->Items(i - 1) : nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::NextVisibleRow(TcxCustomRow* ARow) {
  if (!ARow) return FirstVisibleRow();
  const Integer i = rows_->IndexOf(ARow);
  if (i < 0) return nullptr;
  for (Integer j = i + 1; j < rows_->Count(); ++j)
    if (IsRowVisible(rows_->Items(j))) return rows_->Items(j);
  return nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::PrevVisibleRow(TcxCustomRow* ARow) {
  if (!ARow) return LastVisibleRow();
  const Integer i = rows_->IndexOf(ARow);
  for (Integer j = i - 1; j >= 0; --j)
    if (IsRowVisible(rows_->Items(j))) return rows_->Items(j);
  return nullptr;
}

bool TcxCustomVerticalGrid::IsRowVisible(TcxCustomRow* ARow) {
  TcxCustomRow* row = ARow;
  while (row && row->Visible()) {
    TcxCustomRow* parent = row->ParentLink();
    if (!parent) return false;
    if (parent == root_.get()) return true;
    if (!parent->Expanded()) return false;
    row = parent;
  }
  return false;
}

bool TcxCustomVerticalGrid::HasRows() { return root_->HasChildren(); }

void TcxCustomVerticalGrid::FullExpand() {
  auto update = UpdateScope();
  root_->Expand(true);
}

void TcxCustomVerticalGrid::FullCollapse() {
  auto update = UpdateScope();
  for (Integer i = 0; i < root_->Count(); ++i) root_->Rows(i)->Collapse(true);
}

TcxCustomRow* TcxCustomVerticalGrid::RowByName(const String& AName) {
  for (Integer i = 0; i < rows_->Count(); ++i)
    if (SameText(rows_->Items(i)->Name(), AName)) return rows_->Items(i);
  return nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::RowByCaption(const String& ACaption) {
  for (Integer i = 0; i < rows_->Count(); ++i) {
    TcxCustomRow* row = rows_->Items(i);
    if (auto* multi = dynamic_cast<TcxCustomMultiEditorRow*>(row)) {
      TcxEditorPropertiesCollection* editors =
          multi->GetProperties()->Editors();
      for (Integer j = 0; j < editors->Count(); ++j)
        if (SameText(editors->GetItem(j)->Caption(), ACaption)) return row;
    } else if (auto* props =
                   dynamic_cast<TcxCaptionRowProperties*>(row->Properties())) {
      if (SameText(props->Caption(), ACaption)) return row;
    }
  }
  return nullptr;
}

void TcxCustomVerticalGrid::RowsChanged() {
  if (VGViewInfo()) VGViewInfo()->InvalidateVisibleRows();
  if (!IsLocked()) LayoutChanged();
}

void TcxCustomVerticalGrid::GetChildren(const TGetChildProc& Proc,
                                        TComponent*) {
  for (Integer i = 0; i < root_->Count(); ++i) Proc(root_->Rows(i));
}

void TcxCustomVerticalGrid::AssignRows(TcxCustomVerticalGrid* AGrid) {
  if (AGrid) rows_->AssignRows(AGrid->Rows());
}

void TcxCustomVerticalGrid::RemoveRowFromVerticalGrid(TcxCustomRow* ARow) {
  {
    BeginUpdate();
    TScopeGuard end([this] { CancelUpdate(); });
    if (!IsGridDestroying() && VGController() && ARow == GetFocusedRow())
      VGController()->Clear();
    rows_->Remove(ARow);
    ARow->RemoveChildren();
  }
  if (!IsGridDestroying()) LayoutChanged();
}

void TcxCustomVerticalGrid::RestoreDefaults() {
  {
    auto update = UpdateScope();
    OptionsBehavior()->RestoreDefaults();
    OptionsView()->RestoreDefaults();
    rows_->RestoreDefaults();
  }
  Modified();
}

void TcxCustomVerticalGrid::UpdateDesignEditor() {
  if (!IsLocked() && IsDesigning()) {
    LayoutChanged();
    Modified();
  }
}

// ---------------------------------------------------------------------------
// Focus, editing, scrolling
// ---------------------------------------------------------------------------

TcxCustomRow* TcxCustomVerticalGrid::GetFocusedRow() const {
  return VGController() ? VGController()->FocusedRow() : nullptr;
}

void TcxCustomVerticalGrid::SetFocusedRow(TcxCustomRow* ARow) {
  VGController()->SetFocusedRow(ARow);
  VGController()->MakeRowVisible(VGController()->FocusedRow());
}

void TcxCustomVerticalGrid::FocusRow(TcxCustomRow* ARow, Integer ACellIndex) {
  VGController()->SetFocusedRowAndCell(ARow, ACellIndex);
  VGController()->MakeFocusedItemVisible();
}

bool TcxCustomVerticalGrid::GetIsEditing() const {
  return Controller() && Controller()->IsEditing();
}

TcxCustomEdit* TcxCustomVerticalGrid::GetInplaceEditor() const {
  return GetIsEditing() ? EditingController()->Edit() : nullptr;
}

void TcxCustomVerticalGrid::CancelEdit() {
  EditingController()->HideEdit(false);
}
void TcxCustomVerticalGrid::HideEdit() {
  if (EditingController()) EditingController()->HideEdit(true);
}

void TcxCustomVerticalGrid::ShowEdit() {
  if (!OptionsData()->Editing()) return;
  DataController()->Edit();
  if (CanFocus()) SetFocus();
  EditingController()->ShowEdit(Controller()->FocusedItem());
}

void TcxCustomVerticalGrid::ShowEditByKey(char AKey) {
  if (!OptionsData()->Editing()) return;
  DataController()->Edit();
  if (CanFocus()) SetFocus();
  EditingController()->ShowEdit(Controller()->FocusedItem(), AKey);
}

void TcxCustomVerticalGrid::ShowEditByMouse(Integer X, Integer Y,
                                            TShiftState AShift) {
  if (!OptionsData()->Editing()) return;
  DataController()->Edit();
  if (CanFocus()) SetFocus();
  EditingController()->ShowEdit(Controller()->FocusedItem(), AShift, X, Y);
}

TcxvgHitTest* TcxCustomVerticalGrid::GetHitTest() const {
  return static_cast<TcxvgHitTest*>(HitTestController());
}

Integer TcxCustomVerticalGrid::GetRecordCount() const {
  return DataController()->GetRowCount();
}

Integer TcxCustomVerticalGrid::GetTopVisibleRowIndex() {
  return Scroller()->GetTopVisibleRowIndex();
}
Integer TcxCustomVerticalGrid::GetLeftVisibleBand() {
  return Scroller()->GetLeftVisibleBand();
}
Integer TcxCustomVerticalGrid::GetLeftVisibleRecord() {
  return Scroller()->GetLeftVisibleRecord();
}
void TcxCustomVerticalGrid::SetTopVisibleRowIndex(Integer AIndex) {
  if (ViewInfo()) ViewInfo()->Calculate();
  Scroller()->SetTopVisibleRowIndex(AIndex);
}
void TcxCustomVerticalGrid::SetLeftVisibleBand(Integer AIndex) {
  if (ViewInfo()) ViewInfo()->Calculate();
  Scroller()->SetLeftVisibleBand(AIndex);
}
void TcxCustomVerticalGrid::SetLeftVisibleRecord(Integer AIndex) {
  if (ViewInfo()) ViewInfo()->Calculate();
  Scroller()->SetLeftVisibleRecord(AIndex);
}

bool TcxCustomVerticalGrid::GetCellAutoHeight() {
  return OptionsView()->CellAutoHeight();
}

bool TcxCustomVerticalGrid::CanBandSizing() {
  return OptionsBehavior()->BandSizing() && !OptionsView()->AutoScaleBands();
}

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

namespace {
TcxCustomEditorRowProperties* RowPropertiesOf(
    TcxCustomInplaceEditContainer* AItem) {
  auto* cell = dynamic_cast<TcxCellEdit*>(AItem);
  return cell ? cell->EditRowProperties() : nullptr;
}
}  // namespace

bool TcxCustomVerticalGrid::DoEditing(TcxCustomInplaceEditContainer* AItem) {
  bool allow = true;
  if (OnEditing) OnEditing(this, RowPropertiesOf(AItem), allow);
  return allow;
}

void TcxCustomVerticalGrid::DoEdited(TcxCustomInplaceEditContainer* AItem) {
  if (OnEdited) OnEdited(this, RowPropertiesOf(AItem));
}

void TcxCustomVerticalGrid::DoEditValueChanged(
    TcxCustomInplaceEditContainer* AItem) {
  if (OnEditValueChanged) OnEditValueChanged(this, RowPropertiesOf(AItem));
}

void TcxCustomVerticalGrid::DoItemChanged(TcxCustomRow* AOldRow,
                                          Integer AOldCellIndex) {
  if (OnItemChanged) OnItemChanged(this, AOldRow, AOldCellIndex);
}

bool TcxCustomVerticalGrid::DoDrawBackgroundPart(
    const TRect& R, const TcxViewParams& AViewParams) {
  bool done = false;
  if (OnDrawBackground)
    OnDrawBackground(this, VGPainter()->Canvas(), R, AViewParams, done);
  return done;
}

bool TcxCustomVerticalGrid::DoDrawRowHeader(TcxCustomRowHeaderInfo* AHeader) {
  bool done = false;
  if (OnDrawRowHeader)
    OnDrawRowHeader(this, VGPainter()->Canvas(), VGPainter(), AHeader, done);
  return done;
}

bool TcxCustomVerticalGrid::DoDrawValue(TcxRowValueInfo* AValue) {
  bool done = false;
  if (OnDrawValue)
    OnDrawValue(this, VGPainter()->Canvas(), VGPainter(), AValue, done);
  return done;
}

void TcxCustomVerticalGrid::DoLeftVisibleBandIndexChanged() {
  if (OnLeftVisibleBandIndexChanged) OnLeftVisibleBandIndexChanged(this);
}
void TcxCustomVerticalGrid::DoLeftVisibleRecordIndexChanged() {
  if (OnLeftVisibleRecordIndexChanged) OnLeftVisibleRecordIndexChanged(this);
}
void TcxCustomVerticalGrid::DoTopRowIndexChanged() {
  if (OnTopRowIndexChanged) OnTopRowIndexChanged(this);
}
void TcxCustomVerticalGrid::DoCustomizationVisibleChanged() {
  if (OnCustomizationFormVisibleChanged)
    OnCustomizationFormVisibleChanged(this);
}

void TcxCustomVerticalGrid::GetDefaultViewParams(Integer AIndex, TObject* AData,
                                                 TcxViewParams& AParams) {
  AParams.Font = Font();
  AParams.TextColor = Font()->Color();
  AParams.Bitmap = nullptr;
  TcxvgCustomPaintStyleCalcHelper* helper = CalcHelper();
  auto* data = reinterpret_cast<TcxvgContentParamsData*>(AData);
  switch (AIndex) {
    case TcxCustomControlStyles::ecs_Content:
      AParams.Color =
          helper ? helper->GetContentColor(data && data->Focused) : clWindow;
      AParams.TextColor = helper ? helper->GetContentTextColor() : clWindowText;
      break;
    case TcxCustomControlStyles::ecs_Background:
      AParams.Color = helper ? helper->GetBackgroundColor() : clWindow;
      if (TcxStyle* style = Styles()->Background())
        if (style->Bitmap() && !style->Bitmap()->Empty())
          AParams.Bitmap = style->Bitmap();
      break;
    case TcxVerticalGridStyles::vgs_Category:
      AParams.Font = categoryFont_.get();
      AParams.Color = helper ? helper->GetCategoryColor() : clBtnFace;
      AParams.TextColor = helper ? helper->GetCategoryTextColor() : clGrayText;
      break;
    case TcxVerticalGridStyles::vgs_Header:
      AParams.Color = helper ? helper->GetHeaderColor() : clWindow;
      AParams.TextColor = helper ? helper->GetHeaderTextColor() : clWindowText;
      break;
    case TcxVerticalGridStyles::vgs_IncSearch:
      AParams.Color = clDefault;
      AParams.TextColor = clDefault;
      break;
    default:
      Styles()->TcxCustomControlStyles::GetDefaultViewParams(AIndex, AData,
                                                             AParams);
      break;
  }
}

// ---------------------------------------------------------------------------
// Layout and lifecycle
// ---------------------------------------------------------------------------

void TcxCustomVerticalGrid::DoLayoutChanged() {
  if (ComponentState().Contains(csUpdating) || !VGViewInfo()) return;
  TcxExtEditingControl::DoLayoutChanged();
  if (TcxvgScroller* scroller = Scroller()) {
    scroller->SetCheckDecrease(true);
    scroller->CheckDecreaseLeftIndex();
    scroller->CheckDecreaseTopIndex();
  }
  if (customizing_ && customizing_->Visible()) customizing_->Update();
  if (OnLayoutChanged) OnLayoutChanged(this);
}

void TcxCustomVerticalGrid::DataChanged() {
  if (IsLocked()) return;
  BeginUpdate();
  {
    TScopeGuard end([this] { CancelUpdate(); });
    TcxExtEditingControl::DataChanged();
  }
  LayoutChanged();
  VGController()->MakeFocusedRecordVisible();
}

void TcxCustomVerticalGrid::RecreateViewInfo() {
  if (!VGViewInfo()) {
    TcxExtEditingControl::RecreateViewInfo();
    return;
  }
  HideEdit();
  const Integer top = Scroller() ? Scroller()->GetTopVisibleRowIndex() : 0;
  {
    BeginUpdate();
    TScopeGuard end([this] { CancelUpdate(); });
    TcxExtEditingControl::RecreateViewInfo();
  }
  if (Scroller())
    Scroller()->ScrollStrategy()->InternalSetTopVisibleRowIndex(top);
  VGController()->CheckEdit();
}

void TcxCustomVerticalGrid::DoInplaceEditContainerItemRemoved(
    TcxCustomInplaceEditContainer* AItem) {
  TcxExtEditingControl::DoInplaceEditContainerItemRemoved(AItem);
}

void TcxCustomVerticalGrid::Loaded() {
  TcxvgCustomViewInfo* info = VGViewInfo();
  const bool lock = info ? info->LockDividerPos : false;
  if (info) info->LockDividerPos = true;
  TcxExtEditingControl::Loaded();
  if (info) info->LockDividerPos = lock;
  LayoutChanged();
}

void TcxCustomVerticalGrid::InitControl() {
  if (VGViewInfo()) VGViewInfo()->LockDividerPos = false;
  TcxExtEditingControl::InitControl();
}

void TcxCustomVerticalGrid::FontChanged() {
  BeginUpdate();
  {
    TScopeGuard end([this] { CancelUpdate(); });
    TcxExtEditingControl::FontChanged();
    if (categoryFont_) {
      categoryFont_->Assign(Font());
      categoryFont_->SetStyle(categoryFont_->Style() + TFontStyles{fsBold});
    }
  }
  LayoutChanged();
}

void TcxCustomVerticalGrid::BoundsChanged() {
  TcxExtEditingControl::BoundsChanged();
  CheckGridModeBufferCount();
  if (VGViewInfo()) LayoutChanged();
}

void TcxCustomVerticalGrid::LookAndFeelChanged(
    TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  TcxExtEditingControl::LookAndFeelChanged(Sender, AChangedValues);
  if (!VGViewInfo()) return;
  if (AChangedValues.Contains(lfvSkinName)) {
    RecreateViewInfo();
    VGController()->UpdatePaintStyle();
    OptionsView()->CheckRowHeaderWidth();
    OptionsView()->Changed();
  }
  if (GetCellAutoHeight()) LayoutChanged();
}

void TcxCustomVerticalGrid::SetName(const String& NewName) {
  const String old = Name();
  TcxExtEditingControl::SetName(NewName);
  if (old == NewName || NewName.empty() || old.empty() || !rows_) return;
  for (Integer i = 0; i < rows_->Count(); ++i) {
    TcxCustomRow* row = rows_->Items(i);
    if (row->Name().rfind(old, 0) == 0)
      row->SetName(NewName + row->Name().substr(old.size()));
  }
  if (!ComponentState().Contains(csLoading) && rows_->Count() > 0)
    LayoutChanged();
}

void TcxCustomVerticalGrid::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  auto update = UpdateScope();
  if (images_) images_->UnRegisterChanges(imagesChangeLink_.get());
  images_ = Value;
  if (images_) {
    images_->RegisterChanges(imagesChangeLink_.get());
    images_->FreeNotification(this);
  }
}

void TcxCustomVerticalGrid::ImageListChange(TObject* Sender) {
  if (HandleAllocated() && Sender == images_) LayoutChanged();
}

void TcxCustomVerticalGrid::Notification(TComponent* AComponent,
                                         TOperation Operation) {
  TcxExtEditingControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) images_ = nullptr;
}

// ---------------------------------------------------------------------------
// Dragging
// ---------------------------------------------------------------------------

void TcxCustomVerticalGrid::DoStartDrag(TDragObject*& DragObject) {
  if (!VGController()->DragRow())
    SetDragCursor(GetKeyState(VK_CONTROL) < 0 ? crDragCopy : crDrag);
  TcxExtEditingControl::DoStartDrag(DragObject);
}

void TcxCustomVerticalGrid::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
    TRestoreOnExit press(autoDragPress_, DragMode() == dmAutomatic);
    TcxExtEditingControl::WndProc(Message);
    return;
  }
  TcxExtEditingControl::WndProc(Message);
}

void TcxCustomVerticalGrid::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TcxExtEditingControl::DoEndDrag(Target, X, Y);
  SetDragCursor(crDefault);
}

TcxCustomRowHeaderInfo* TcxCustomVerticalGrid::GetDragHeaderInfo() {
  TcxCustomRow* row = VGController() ? VGController()->DragRow() : nullptr;
  TcxCustomRowViewInfo* info = row ? row->ViewInfoIfCreated() : nullptr;
  return info ? info->HeaderInfo() : nullptr;
}

bool TcxCustomVerticalGrid::HasDragDropImages() {
  return GetDragHeaderInfo() != nullptr;
}

TRect TcxCustomVerticalGrid::DragDropImageDisplayRect() {
  TcxCustomRowHeaderInfo* header = GetDragHeaderInfo();
  return header ? header->HeaderCellsRect : TRect{};
}

void TcxCustomVerticalGrid::DrawDragDropImage(TBitmap*, TcxCanvas* ACanvas) {
  TcxCustomRowHeaderInfo* header = GetDragHeaderInfo();
  if (!header) return;
  TcxvgPainter* painter = VGPainter();
  TcxCanvas* saved = painter->Canvas();
  painter->SetCanvas(ACanvas);
  POINT old;
  ::SetWindowOrgEx(ACanvas->Handle(), header->HeaderCellsRect.Left,
                   header->HeaderCellsRect.Top, &old);
  TScopeGuard restore([&] {
    ::SetWindowOrgEx(ACanvas->Handle(), old.x, old.y, nullptr);
    painter->SetCanvas(saved);
  });
  painter->DrawHeaderDragImage(header);
}

// ---------------------------------------------------------------------------
// The concrete grids
// ---------------------------------------------------------------------------

TcxUnboundVerticalGrid::TcxUnboundVerticalGrid(TComponent* AOwner)
    : TcxCustomVerticalGrid(AOwner) {}

void TcxUnboundVerticalGrid::InitDataController() {
  DataController()->SetRecordCount(1);
  DataController()->ChangeFocusedRowIndex(0);
}

bool TcxUnboundVerticalGrid::CanBandSizing() {
  return TcxCustomVerticalGrid::CanBandSizing() &&
         layoutStyle_ != ulsSingleRecordView;
}

TcxvgScrollStrategyClass TcxUnboundVerticalGrid::GetScrollStrategyClass() {
  if (layoutStyle_ == ulsBandsView)
    return cxSubObjectClass<TcxvgBandsScrollStrategy, TcxvgCustomScrollStrategy,
                            TcxvgScroller>();
  return cxSubObjectClass<TcxvgSingleRecordScrollStrategy,
                          TcxvgCustomScrollStrategy, TcxvgScroller>();
}

TcxEditingControl::TcxViewInfoClass TcxUnboundVerticalGrid::GetViewInfoClass() {
  if (layoutStyle_ == ulsBandsView)
    return cxSubObjectClass<TcxBandsViewInfo, TcxCustomControlViewInfo,
                            TcxEditingControl>();
  return cxSubObjectClass<TcxInspectorViewInfo, TcxCustomControlViewInfo,
                          TcxEditingControl>();
}

void TcxUnboundVerticalGrid::SetLayoutStyle(TcxvgUnboundLayoutStyle Value) {
  if (layoutStyle_ == Value) return;
  layoutStyle_ = Value;
  RecreateViewInfo();
  VGViewInfo()->LayoutStyleChanged();
}

TcxVerticalGrid::TcxVerticalGrid(TComponent* AOwner)
    : TcxUnboundVerticalGrid(AOwner) {
  CreateSubClasses();
}

TcxVirtualVerticalGrid::TcxVirtualVerticalGrid(TComponent* AOwner)
    : TcxCustomVerticalGrid(AOwner) {
  CreateSubClasses();
}

TObjectPtr<TcxControlOptionsBehavior>
TcxVirtualVerticalGrid::CreateOptionsBehavior() {
  return TObjectPtr<TcxControlOptionsBehavior>(
      new TcxvgMultiRecordsOptionsBehavior(this));
}
TObjectPtr<TcxControlOptionsData> TcxVirtualVerticalGrid::CreateOptionsData() {
  return TObjectPtr<TcxControlOptionsData>(
      new TcxvgMultiRecordsOptionsData(this));
}
TObjectPtr<TcxControlOptionsView> TcxVirtualVerticalGrid::CreateOptionsView() {
  return TObjectPtr<TcxControlOptionsView>(
      new TcxvgMultiRecordsOptionsView(this));
}
TcxvgMultiRecordsOptionsView* TcxVirtualVerticalGrid::OptionsViewEx() const {
  return static_cast<TcxvgMultiRecordsOptionsView*>(OptionsView());
}
TcxvgMultiRecordsOptionsBehavior* TcxVirtualVerticalGrid::OptionsBehaviorEx()
    const {
  return static_cast<TcxvgMultiRecordsOptionsBehavior*>(OptionsBehavior());
}
TcxvgMultiRecordsOptionsData* TcxVirtualVerticalGrid::OptionsDataEx() const {
  return static_cast<TcxvgMultiRecordsOptionsData*>(OptionsData());
}

TcxEditingControl::TcxControllerClass
TcxVirtualVerticalGrid::GetControllerClass() {
  return cxSubObjectClass<TcxvgMultiRecordsController,
                          TcxCustomControlController, TcxEditingControl>();
}

TcxvgScrollStrategyClass TcxVirtualVerticalGrid::GetScrollStrategyClass() {
  switch (layoutStyle_) {
    case lsBandsView:
      return cxSubObjectClass<TcxvgBandsScrollStrategy,
                              TcxvgCustomScrollStrategy, TcxvgScroller>();
    case lsMultiRecordView:
      return cxSubObjectClass<TcxvgMultiRecordsScrollStrategy,
                              TcxvgCustomScrollStrategy, TcxvgScroller>();
    default:
      return cxSubObjectClass<TcxvgSingleRecordScrollStrategy,
                              TcxvgCustomScrollStrategy, TcxvgScroller>();
  }
}

TcxEditingControl::TcxViewInfoClass TcxVirtualVerticalGrid::GetViewInfoClass() {
  switch (layoutStyle_) {
    case lsBandsView:
      return cxSubObjectClass<TcxBandsViewInfo, TcxCustomControlViewInfo,
                              TcxEditingControl>();
    case lsMultiRecordView:
      return cxSubObjectClass<TcxMultiRecordViewInfo, TcxCustomControlViewInfo,
                              TcxEditingControl>();
    default:
      return cxSubObjectClass<TcxInspectorViewInfo, TcxCustomControlViewInfo,
                              TcxEditingControl>();
  }
}

void TcxVirtualVerticalGrid::SetLayoutStyle(TcxvgLayoutStyle Value) {
  if (layoutStyle_ == Value) return;
  layoutStyle_ = Value;
  RecreateViewInfo();
  VGViewInfo()->LayoutStyleChanged();
  CheckGridModeBufferCount();
}

bool TcxVirtualVerticalGrid::CanBandSizing() {
  return OptionsBehavior()->BandSizing() &&
         (layoutStyle_ == lsMultiRecordView ||
          (layoutStyle_ == lsBandsView && !OptionsView()->AutoScaleBands()));
}

bool TcxVirtualVerticalGrid::GetCellAutoHeight() {
  return layoutStyle_ != lsMultiRecordView &&
         TcxCustomVerticalGrid::GetCellAutoHeight();
}

void TcxVirtualVerticalGrid::DoFocusedRecordChanged(Integer APrev,
                                                    Integer ANew) {
  if (OnFocusedRecordChanged) OnFocusedRecordChanged(this, APrev, ANew);
}

bool TcxVirtualVerticalGrid::NavigatorIsActionSupported(Integer AIndex) const {
  return AIndex >= 0 && AIndex <= 11;
}

void TcxVirtualVerticalGrid::NavigatorDoAction(Integer AIndex) {
  TcxDataController* dc = DataController();
  const Integer page = VGViewInfo() ? VGViewInfo()->GetVisibleValueCount() : 1;
  switch (AIndex) {
    case 0:
      dc->GotoFirst();
      break;
    case 1:
      if (IsMultiRecordView())
        dc->MoveBy(-page);
      else
        dc->GotoPrev();
      break;
    case 2:
      dc->GotoPrev();
      break;
    case 3:
      dc->GotoNext();
      break;
    case 4:
      if (IsMultiRecordView())
        dc->MoveBy(page);
      else
        dc->GotoNext();
      break;
    case 5:
      dc->GotoLast();
      break;
    case 6:
      VGController()->InsertRecord();
      break;
    case 7:
      VGController()->AppendRecord();
      break;
    case 8:
      VGController()->DeleteSelection();
      break;
    case 9:
      ShowEdit();
      break;
    case 10:
      dc->PostEditingData();
      dc->Post();
      break;
    case 11:
      dc->Cancel();
      break;
    default:
      break;
  }
}
