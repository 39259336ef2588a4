// The drawing side of the editing control: the control view info with its
// cell list, view info items and edit cells with their clipping, the
// painter (direct or buffered, with a custom-draw hook per cell) and the
// control-level styles.
#include "cxInplaceContainer.h"

// ---------------------------------------------------------------------------
// Routines
// ---------------------------------------------------------------------------

void cxStylesToViewParams(TcxStyles* AStyles, Integer AIndex, TObject* AData,
                          const std::vector<TcxStyle*>& AStyleArray,
                          TcxViewParams& AParams) {
  AParams = TcxViewParams{};
  bool hasColor = false, hasFont = false, hasTextColor = false,
       hasBitmap = false;
  for (TcxStyle* style : AStyleArray) {
    if (hasColor && hasFont && hasTextColor && hasBitmap) break;
    if (!style || style->ComponentState().Contains(csDestroying)) continue;
    const TcxStyleValues assigned = style->AssignedValues();
    if (!hasColor && assigned.Contains(svColor)) {
      AParams.Color = style->Color();
      hasColor = true;
    }
    if (!hasFont && assigned.Contains(svFont)) {
      AParams.Font = style->Font();
      hasFont = true;
    }
    if (!hasTextColor && assigned.Contains(svTextColor)) {
      AParams.TextColor = style->TextColor();
      hasTextColor = true;
    }
    if (!hasBitmap && assigned.Contains(svBitmap)) {
      AParams.Bitmap = style->Bitmap();
      hasBitmap = true;
    }
  }
  if (hasColor && hasFont && hasTextColor && hasBitmap) return;
  TcxViewParams defaults;
  AStyles->GetDefaultViewParams(AIndex, AData, defaults);
  if (!hasColor) AParams.Color = defaults.Color;
  if (!hasFont) AParams.Font = defaults.Font;
  if (!hasTextColor) AParams.TextColor = defaults.TextColor;
  if (!hasBitmap) AParams.Bitmap = defaults.Bitmap;
}

void cxAssignEditStyle(TcxEditCellViewInfo* ACell) {
  TcxEditingControl* control = ACell->GetControl();
  TcxCustomEditStyle* style = control->EditStyle();
  TcxContainerStyleValues assigned = style->AssignedValues();
  assigned.Include(csvColor);
  assigned.Include(svButtonTransparency);
  assigned.Exclude(csvFont);
  style->SetAssignedValues(assigned);
  TFont* font = ACell->ViewParams().Font;
  if (!font) {
    TcxViewParams params;
    ACell->GetEditViewParams(params);
    font = params.Font;
  }
  if (font) style->SetFont(font);
  style->SetColor(ACell->ViewParams().Color);
  style->SetTextColor(ACell->ViewParams().TextColor);
  style->SetButtonTransparency(ACell->GetButtonTransparency());
  style->Changed();
  ACell->SetTransparent(ACell->IsTransparent());
}

// ---------------------------------------------------------------------------
// TcxCustomViewInfoItem
// ---------------------------------------------------------------------------

void TcxCustomViewInfoItem::CheckClipping(const TRect& ADisplayRect,
                                          const TRect& AAvailableRect) {
  const TcxCellRects rects = cxCalculateCellRects(
      ADisplayRect, AAvailableRect, TcxCellBorderSides{}, false, TRect{});
  displayRect_ = ADisplayRect;
  visible_ = rects.Visible;
  clipRect_ = rects.ClipRect;
}

void TcxCustomViewInfoItem::CheckClipping(const TRect& ADisplayRect) {
  CheckClipping(ADisplayRect, ControlViewInfo()->ClientRect());
}

bool TcxCustomViewInfoItem::IsTransparent() {
  return viewParams_.Bitmap && !viewParams_.Bitmap->Empty();
}

void TcxCustomViewInfoItem::Assign(TcxCustomViewInfoItem* Source) {
  displayRect_ = Source->displayRect_;
  clipRect_ = Source->clipRect_;
  visible_ = Source->visible_;
  viewParams_ = Source->viewParams_;
}

void TcxCustomViewInfoItem::Invalidate(bool ARecalculate) {
  if (ARecalculate) DoCalculate();
  if (visible_) GetControl()->InvalidateRect(clipRect_, false);
}

TcxCustomControlViewInfo* TcxCustomViewInfoItem::ControlViewInfo() {
  return GetControl()->ViewInfo();
}

// ---------------------------------------------------------------------------
// TcxEditCellViewInfo
// ---------------------------------------------------------------------------

TcxEditCellViewInfo::~TcxEditCellViewInfo() = default;

void TcxEditCellViewInfo::BeforeDestruction() {
  auto* item = EditContainer();
  if (item && !item->IsDestroying() && item->EditingControl() &&
      item->EditingControl()->HitTestController())
    item->EditingControl()->HitTestController()->DestroyingItem(this);
  TcxCustomViewInfoItem::BeforeDestruction();
}

Integer TcxEditCellViewInfo::QueryInterface(const TGUID& iid, void** obj) {
  if (iid == IcxHotTrackElement::IID) {
    *obj = static_cast<IcxHotTrackElement*>(this);
    return 0;
  }
  *obj = nullptr;
  return E_NOINTERFACE;
}

TcxCustomInplaceEditContainer* TcxEditCellViewInfo::EditContainer() const {
  return dynamic_cast<TcxCustomInplaceEditContainer*>(Owner());
}

bool TcxEditCellViewInfo::Transparent() const {
  return editViewInfo_ && editViewInfo_->Transparent;
}

void TcxEditCellViewInfo::SetTransparent(bool Value) {
  if (editViewInfo_) editViewInfo_->Transparent = Value;
}

void TcxEditCellViewInfo::SetViewData(
    TObjectPtr<TcxCustomEditViewData> AOwned) {
  ownViewData_ = std::move(AOwned);
  usesItemViewData_ = !ownViewData_;
}

TcxCustomEditViewData* TcxEditCellViewInfo::ViewData() const {
  if (ownViewData_) return ownViewData_.get();
  auto* item = EditContainer();
  return usesItemViewData_ && item ? item->EditViewData() : nullptr;
}

void TcxEditCellViewInfo::SetEditViewInfo(
    TObjectPtr<TcxCustomEditViewInfo> Value) {
  editViewInfo_ = std::move(Value);
}

void TcxEditCellViewInfo::SetBounds(const TRect& ADisplayRect,
                                    const TRect& AAvailableRect) {
  CheckClipping(ADisplayRect, AAvailableRect);
  DoCalculate();
}

void TcxEditCellViewInfo::CheckClipping(const TRect& ADisplayRect,
                                        const TRect& AAvailableRect) {
  TcxCustomViewInfoItem::CheckClipping(ADisplayRect, AAvailableRect);
  const TcxCellBorderSides sides{
      borders_.Contains(bLeft), borders_.Contains(bTop),
      borders_.Contains(bRight), borders_.Contains(bBottom)};
  const TcxCellRects rects = cxCalculateCellRects(
      ADisplayRect, AAvailableRect, sides, !borders_.Empty(), ContentOffset());
  editBounds_ = rects.EditBounds;
  visibleRect_ = rects.VisibleEditRect;
}

void TcxEditCellViewInfo::DoCalculate() {
  auto* item = EditContainer();
  if (!item) return;
  // An auto height cell was prepared by its height calculation already.
  if (!(IsAutoHeight() && ViewData())) item->InitEditViewInfo(this);
  item->CalculateEditViewInfo(value_, this, TPoint{-1, -1});
}

TcxEditingControl* TcxEditCellViewInfo::GetControl() {
  auto* item = EditContainer();
  return item ? item->EditingControl() : nullptr;
}

void TcxEditCellViewInfo::Assign(TcxCustomViewInfoItem* Source) {
  if (auto* source = dynamic_cast<TcxEditCellViewInfo*>(Source)) {
    visibleRect_ = source->visibleRect_;
    editBounds_ = source->editBounds_;
    borders_ = source->borders_;
  }
  TcxCustomViewInfoItem::Assign(Source);
}

bool TcxEditCellViewInfo::ChangedHeight(Integer AOldHeight,
                                        Integer ANewHeight) {
  cellHeight_ = static_cast<Cardinal>(ANewHeight);
  return AOldHeight != ANewHeight;
}

TcxEditButtonTransparency TcxEditCellViewInfo::GetButtonTransparency() {
  auto* item = EditContainer();
  switch (item->Options()->ShowEditButtons()) {
    case eisbAlways:
      return ebtNone;
    case eisbNever:
      return ebtHideInactive;
    default:
      break;
  }
  switch (GetControl()->GetOptions()->GetOptionsView()->ShowEditButtons()) {
    case ecsbAlways:
      return ebtNone;
    case ecsbFocused:
      return GetFocused() ? ebtNone : ebtHideInactive;
    default:
      return ebtHideInactive;
  }
}

void TcxEditCellViewInfo::GetDisplayValue(Variant& AValue) {
  auto* item = EditContainer();
  const Integer record = GetRecordIndex();
  if (record >= 0 && record < item->DataController()->GetRecordCount())
    item->GetDisplayValue(properties_, record, AValue);
  else
    AValue = Null();
}

TcxCustomInplaceEditContainer* TcxEditCellViewInfo::GetEditContainer() {
  return EditContainer();
}

void TcxEditCellViewInfo::GetEditViewParams(TcxViewParams& AParams) {
  GetControl()->Styles()->GetBackgroundParams(AParams);
}

bool TcxEditCellViewInfo::GetFocused() {
  auto* item = EditContainer();
  return item->GetFocusedCellViewInfo() == this &&
         GetRecordIndex() == item->Controller()->GetFocusedRecordIndex();
}

Integer TcxEditCellViewInfo::GetMaxLineCount() {
  return GetControl()->GetOptions()->GetOptionsView()->CellTextMaxLineCount();
}

TColor TcxEditCellViewInfo::GetSelectedTextColor() {
  return static_cast<TColor>(ColorToRGB(ViewParams().TextColor) ^ 0xFFFFFF);
}

TColor TcxEditCellViewInfo::GetSelectedBKColor() {
  return static_cast<TColor>(ColorToRGB(ViewParams().Color) ^ 0xFFFFFF);
}

void* TcxEditCellViewInfo::GetViewInfoData() {
  return reinterpret_cast<void*>(static_cast<intptr_t>(GetRecordIndex()));
}

bool TcxEditCellViewInfo::IsAutoHeight() {
  return GetControl()->GetOptions()->GetOptionsView()->CellAutoHeight();
}

bool TcxEditCellViewInfo::IsEndEllipsis() {
  return GetControl()->GetOptions()->GetOptionsView()->CellEndEllipsis();
}

bool TcxEditCellViewInfo::IsSupportedHotTrack() {
  TcxEditingControl* control = GetControl();
  TcxCustomEditViewData* viewData = ViewData();
  if (!control || control->IsDesigning() || !properties_ || !viewData)
    return false;
  if (!properties_->GetSupportedOperations().Contains(esoHotTrack))
    return false;
  TcxCustomEditStyle* style = viewData->Style;
  return style && style->LookAndFeel() &&
         style->LookAndFeel()->Painter()->IsButtonHotTrack();
}

TPoint TcxEditCellViewInfo::GetOrigin() {
  return editViewInfo_ ? TPoint{editViewInfo_->Left, editViewInfo_->Top}
                       : EditBounds().TopLeft();
}

bool TcxEditCellViewInfo::IsNeedHint(TcxCanvas* ACanvas, const TPoint& P,
                                     String& AText, bool& AIsMultiLine,
                                     TRect& ATextRect,
                                     bool& AIsNeedOffsetHint) {
  AText.clear();
  AIsNeedOffsetHint = false;
  AIsMultiLine = false;
  if (!Visible() || !editViewInfo_) return false;
  const TRect client = GetControl()->GetClientBounds();
  if (!PtInRect(client, P)) return false;
  return editViewInfo_->NeedShowHint(ACanvas, P, AText, AIsMultiLine,
                                     ATextRect);
}

void TcxEditCellViewInfo::UpdateHotTrackState(const TPoint& P) {
  if (!IsSupportedHotTrack() || !editViewInfo_) return;
  TObjectPtr<TcxCustomEditViewInfo> previous = OwnedCast<TcxCustomEditViewInfo>(
      editViewInfo_->ClassType()->NewInstance());
  if (!previous) return;
  previous->Assign(editViewInfo_.get());
  cxAssignEditStyle(this);
  TcxCustomEditViewData* viewData = ViewData();
  viewData->ContentOffset = ContentOffset();
  viewData->CalculateEx(EditContainer()->GetControlCanvas(), editBounds_, P,
                        cxmbNone, TShiftState{}, editViewInfo_.get(), true);
  if (GetControl()->DragAndDropState() == ddsNone)
    editViewInfo_->Repaint(GetControl(), previous.get());
}

bool TcxEditCellViewInfo::Refresh(bool ARecalculate) {
  if (!EditContainer()) return false;
  bool result = false;
  if (ARecalculate) {
    if (IsAutoHeight())
      result = ChangedHeight(static_cast<Integer>(cellHeight_),
                             CalculateEditHeight());
    if (!result) DoCalculate();
  } else if (editViewInfo_) {
    GetEditViewParams(ViewParams());
    editViewInfo_->TextColor = ViewParams().TextColor;
    if (ViewParams().Font) editViewInfo_->Font = ViewParams().Font;
    editViewInfo_->BackgroundColor = ViewParams().Color;
    editViewInfo_->Transparent = IsTransparent();
  }
  if (!result) Invalidate(false);
  return result;
}

Integer TcxEditCellViewInfo::CalculateEditHeight() {
  if (!IsAutoHeight()) return ControlViewInfo()->DefaultEditHeight();
  auto* item = EditContainer();
  item->InitEditViewInfo(this);
  return item->GetEditHeight(this);
}

// ---------------------------------------------------------------------------
// TcxCustomControlViewInfo
// ---------------------------------------------------------------------------

TcxCustomControlViewInfo::TcxCustomControlViewInfo(TcxEditingControl* AControl)
    : control_(AControl),
      backgroundBrush_(std::make_unique<TBrush>()),
      selectionBrush_(std::make_unique<TBrush>()) {
  cells_.reserve(1024);
  painter_ = AControl->GetPainterClass()(AControl);
}

TcxCustomControlViewInfo::~TcxCustomControlViewInfo() = default;

void TcxCustomControlViewInfo::BeforeDestruction() {
  if (control_->Controller()) control_->Controller()->Reset();
  // The cells are the descendant's; they go here only when it left them.
  cells_.clear();
  TObject::BeforeDestruction();
}

void TcxCustomControlViewInfo::SetState(Integer AMask, bool Value) {
  if (Value)
    state_ |= AMask;
  else
    state_ &= ~AMask;
}

TcxLookAndFeelPainterClass TcxCustomControlViewInfo::LookAndFeelPainter() {
  return painter_->LookAndFeelPainter();
}

void TcxCustomControlViewInfo::Calculate() {
  TcxBrushCache* cache = control_->BrushCache();
  cache->BeginUpdate();
  TScopeGuard endUpdate([cache] { cache->EndUpdate(); });
  auto* editing = control_->EditingController();
  if (editing) editing->BeforeViewInfoCalculate();
  if (GetState(cvis_StyleInvalid)) {
    SetState(cvis_StyleInvalid, false);
    CalculateDefaultHeights();
    control_->Styles()->GetBackgroundParams(backgroundParams_);
    backgroundBrush_->SetColor(backgroundParams_.Color);
    UpdateSelectionParams();
    control_->Invalidate();
  }
  clientRect_ = control_->GetClientBounds();
  DoCalculate();
  SetState(cvis_IsDirty, false);
  if (editing) editing->AfterViewInfoCalculate();
}

void TcxCustomControlViewInfo::Invalidate(bool ARecalculate) {
  if (ARecalculate)
    control_->LayoutChanged();
  else
    control_->InvalidateRect(clientRect_, false);
}

TcxEditCellViewInfo* TcxCustomControlViewInfo::AddEditCellViewInfo(
    TcxEditCellViewInfoClass AClass, TcxCustomInplaceEditContainer* AItem) {
  cells_.push_back(AClass(AItem));
  SetState(cvis_IsDirty, true);
  return static_cast<TcxEditCellViewInfo*>(cells_.back().get());
}

void TcxCustomControlViewInfo::RemoveEditCellViewInfo(
    TcxCustomViewInfoItem* ACell) {
  for (auto it = cells_.begin(); it != cells_.end(); ++it)
    if (it->get() == ACell) {
      TObjectPtr<TcxCustomViewInfoItem> cell = std::move(*it);
      cells_.erase(it);
      break;
    }
  SetState(cvis_IsDirty, true);
}

void TcxCustomControlViewInfo::ClearEditCellViewInfos() {
  std::vector<TObjectPtr<TcxCustomViewInfoItem>> cells = std::move(cells_);
  cells_.clear();
  cells.clear();
  SetState(cvis_IsDirty, true);
}

void TcxCustomControlViewInfo::CalculateDefaultHeights() {
  defaultEditHeight_ = CalculateDefaultEditHeight();
}

TObjectPtr<TcxCustomControlPainter> TcxCustomControlViewInfo::CreatePainter() {
  return control_->GetPainterClass()(control_);
}

void TcxCustomControlViewInfo::DoCalculate() {
  for (auto& cell : cells_)
    if (cell->Visible()) cell->DoCalculate();
}

void TcxCustomControlViewInfo::UpdateSelection() {
  control_->Styles()->GetSelectionParams(selectionParams_);
  selectionBrush_->SetColor(selectionParams_.Color);
}

// ---------------------------------------------------------------------------
// TcxCustomControlPainter
// ---------------------------------------------------------------------------

TcxCustomControlPainter::TcxCustomControlPainter(TcxEditingControl* AControl)
    : savedFont_(std::make_unique<TFont>()),
      control_(AControl),
      canvas_(AControl->Canvas()) {}

TcxCustomControlPainter::~TcxCustomControlPainter() = default;

TcxLookAndFeelPainterClass TcxCustomControlPainter::LookAndFeelPainter() {
  return control_->GetLookAndFeelPainter();
}

void TcxCustomControlPainter::SetBuffered(bool Value) {
  if (buffered_ == Value) return;
  buffered_ = Value;
  if (Value) {
    bitmap_ = std::make_unique<TBitmap>();
    bitmapCanvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
  } else {
    bitmapCanvas_.reset();
    bitmap_.reset();
  }
  if (control_->ViewInfo()) control_->ViewInfo()->Invalidate(false);
}

void TcxCustomControlPainter::Paint() {
  TcxCustomControlViewInfo* viewInfo = control_->ViewInfo();
  if (!control_->Canvas()->RectVisible(viewInfo->ClientRect())) return;
  if (buffered_) {
    bitmap_->SetSize(control_->Width(), control_->Height());
    if (control_->LayoutChangedFlag()) {
      control_->SetLayoutChangedFlag(false);
      bitmapCanvas_->SetClipRegion(
          TObjectPtr<TcxRegion>(new TcxRegion(viewInfo->ClientRect())), roSet);
    } else {
      bitmapCanvas_->SetClipRegion(control_->Canvas()->GetClipRegion(), roSet);
    }
    canvas_ = bitmapCanvas_.get();
  }
  TScopeGuard restore([this] {
    canvas_ = control_->Canvas();
    if (buffered_) {
      ::BitBlt(canvas_->Handle(), 0, 0, bitmap_->Width(), bitmap_->Height(),
               bitmapCanvas_->Handle(), 0, 0, SRCCOPY);
    }
  });
  DoPaint();
}

bool TcxCustomControlPainter::DoCustomDraw(
    TcxCustomViewInfoItem* AItem,
    const TcxCustomDrawViewInfoItemEvent& AEvent) {
  if (!AItem || !AItem->Visible() || !canvas_->RectVisible(AItem->ClipRect()))
    return true;
  bool done = false;
  if (AEvent) {
    BeforeCustomDraw(AItem);
    TScopeGuard after([this, AItem] { AfterCustomDraw(AItem); });
    AEvent(control_, canvas_, AItem, done);
  }
  return done;
}

void TcxCustomControlPainter::BeforeCustomDraw(TcxCustomViewInfoItem* AItem) {
  savedViewParams_ = AItem->ViewParams();
  cxApplyViewParams(canvas_, AItem->ViewParams());
  AItem->ViewParams().Font = canvas_->Font();
  if (auto* cell = dynamic_cast<TcxEditCellViewInfo*>(AItem)) {
    if (TcxCustomEditViewInfo* info = cell->EditViewInfo()) {
      if (info->Font) savedFont_->Assign(info->Font);
      savedTextColor_ = info->TextColor;
      savedBackgroundColor_ = info->BackgroundColor;
      info->Font = canvas_->Font();
    }
  }
}

void TcxCustomControlPainter::AfterCustomDraw(TcxCustomViewInfoItem* AItem) {
  AItem->ViewParams() = savedViewParams_;
  if (auto* cell = dynamic_cast<TcxEditCellViewInfo*>(AItem)) {
    if (TcxCustomEditViewInfo* info = cell->EditViewInfo()) {
      info->Font = savedViewParams_.Font ? savedViewParams_.Font : info->Font;
      info->TextColor = savedTextColor_;
      info->BackgroundColor = savedBackgroundColor_;
    }
  }
}

void TcxCustomControlPainter::DoPaintEditCell(TcxEditCellViewInfo* ACell,
                                              bool AExcludeFromClip) {
  if (!DoCustomDraw(ACell, control_->OnDrawValue) && ACell->EditViewInfo())
    ACell->EditViewInfo()->PaintEx(canvas_);
  if (AExcludeFromClip && ACell->Visible())
    canvas_->ExcludeClipRect(ACell->ClipRect());
}

void TcxCustomControlPainter::DoPaint() {
  canvas_->Canvas()->Brush()->Assign(control_->ViewInfo()->BackgroundBrush());
  canvas_->FillRect(control_->ViewInfo()->ClientRect(),
                    control_->ViewInfo()->BackgroundBrush()->Color());
}

// ---------------------------------------------------------------------------
// TcxCustomControlStyles
// ---------------------------------------------------------------------------

TcxCustomControlStyles::TcxCustomControlStyles(TPersistent* AOwner)
    : TcxStyles(AOwner), defaultStyle_(new TcxStyle(nullptr)) {}

TcxCustomControlStyles::~TcxCustomControlStyles() = default;

TcxEditingControl* TcxCustomControlStyles::Control() {
  return dynamic_cast<TcxEditingControl*>(GetOwner());
}

void TcxCustomControlStyles::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomControlStyles*>(Source)) {
    for (Integer i = ecs_Content; i <= ecs_Selection; ++i)
      SetValue(i, source->GetValue(i));
  }
  TcxStyles::Assign(Source);
  Changed(0);
}

void TcxCustomControlStyles::Changed(Integer AIndex) {
  TcxStyles::Changed(AIndex);
  if (auto* control = Control())
    if (control->ViewInfo()) control->UpdateViewStyles();
}

void TcxCustomControlStyles::GetDefaultViewParams(Integer AIndex,
                                                  TObject* AData,
                                                  TcxViewParams& AParams) {
  TcxStyles::GetDefaultViewParams(AIndex, AData, AParams);
  TcxEditingControl* control = Control();
  if (!control) return;
  AParams.Bitmap = nullptr;
  AParams.Font = control->Font();
  TcxLookAndFeelPainterClass painter = control->GetLookAndFeelPainter();
  switch (AIndex) {
    case ecs_Content:
    case ecs_Background:
      AParams.Color = painter->DefaultContentColor();
      AParams.TextColor = painter->DefaultContentTextColor();
      break;
    case ecs_Inactive:
      AParams.Color = painter->DefaultInactiveColor();
      AParams.TextColor = painter->DefaultInactiveTextColor();
      break;
    case ecs_Selection:
      AParams.Color = painter->DefaultSelectionColor();
      AParams.TextColor = painter->DefaultSelectionTextColor();
      break;
    default:
      break;
  }
}

void TcxCustomControlStyles::GetBackgroundParams(TcxViewParams& AParams) {
  GetViewParams(ecs_Background, nullptr, nullptr, AParams);
}

void TcxCustomControlStyles::GetSelectionParams(TcxViewParams& AParams) {
  TcxEditingControl* control = Control();
  const bool focused =
      control &&
      ((control->Controller() && control->Controller()->GetFocused()) ||
       control->Focused());
  GetViewParams(focused ? ecs_Selection : ecs_Inactive, nullptr, nullptr,
                AParams);
}

TcxStyle* TcxCustomControlStyles::GetDefaultStyle(Integer AIndex,
                                                  TObject* AData) {
  TcxViewParams params;
  GetDefaultViewParams(AIndex, AData, params);
  defaultStyle_->SetColor(params.Color);
  if (params.Font) defaultStyle_->SetFont(params.Font);
  defaultStyle_->SetTextColor(params.TextColor);
  defaultStyle_->SetAssignedValues(
      TcxStyleValues{svColor, svFont, svTextColor});
  return defaultStyle_.get();
}
