#include "cxTextEdit.h"
#include "cxVGrid.h"

// ---------------------------------------------------------------------------
// TcxRowCaptionInfo
// ---------------------------------------------------------------------------

TcxRowCaptionInfo::~TcxRowCaptionInfo() {
  TcxCustomVerticalGrid* grid = row_ ? row_->VerticalGrid() : nullptr;
  if (grid && !grid->IsGridDestroying() && grid->Controller())
    if (TcxHotTrackController* hot = grid->Controller()->HotTrackController())
      hot->CheckDestroyingElement(this);
}

Integer TcxRowCaptionInfo::QueryInterface(const TGUID& iid, void** obj) {
  if (iid == IcxHotTrackElement::IID) {
    *obj = static_cast<IcxHotTrackElement*>(this);
    return 0;
  }
  *obj = nullptr;
  return E_NOINTERFACE;
}

bool TcxRowCaptionInfo::IsNeedHint(TcxCanvas* ACanvas, const TPoint& P,
                                   String& AText, bool& AIsMultiLine,
                                   TRect& ATextRect, bool& AIsNeedOffsetHint) {
  AIsNeedOffsetHint = false;
  TcxCustomVerticalGrid* grid = row_->VerticalGrid();
  String hint;
  if (auto* multi = dynamic_cast<TcxCustomMultiEditorRow*>(row_)) {
    TcxEditorPropertiesCollection* editors = multi->GetProperties()->Editors();
    if (RowCellIndex >= 0 && RowCellIndex < editors->Count() &&
        PtInRect(CaptionRect, P))
      hint = editors->GetItem(RowCellIndex)->Hint();
  } else if (auto* props =
                 dynamic_cast<TcxCaptionRowProperties*>(row_->Properties())) {
    hint = props->Hint();
  }
  if (ViewParams.Font) ACanvas->SetFont(ViewParams.Font);
  if (!hint.empty()) {
    AText = hint;
    const TSize extent = ACanvas->TextExtent(hint);
    ATextRect =
        TRect{CaptionRect.Left, CaptionRect.Top, CaptionRect.Left + extent.cx,
              CaptionRect.Top + extent.cy};
    AIsMultiLine = true;
    return true;
  }
  AText = Caption;
  AIsMultiLine = false;
  TRect r = CaptionTextRect;
  if (TcxCustomRowViewInfo* info = row_->ViewInfoIfCreated())
    IntersectRect(r, r, info->HeaderInfo()->HeaderRect);
  IntersectRect(r, r, grid->GetClientBounds());
  ATextRect = r;
  const TSize extent = ACanvas->TextExtent(Caption);
  return r.Width() < extent.cx - 1 || r.Height() < extent.cy - 1;
}

// ---------------------------------------------------------------------------
// TcxCustomRowHeaderInfo
// ---------------------------------------------------------------------------

TcxCustomRowHeaderInfo::TcxCustomRowHeaderInfo(TcxCustomRow* ARow)
    : row_(ARow) {}

TcxCustomRowHeaderInfo::~TcxCustomRowHeaderInfo() = default;

void TcxCustomRowHeaderInfo::Clear() {
  captions_.clear();
  lines_.Clear();
  categoryIndents_.Clear();
  rowIndents_.Clear();
  ButtonRect = TRect{};
  FocusRect = TRect{};
}

bool TcxCustomRowHeaderInfo::GetShowButton() {
  TcxvgOptionsView* options = row_->VerticalGrid()->OptionsView();
  return options->ShowButtons() && options->ShowHeaders() &&
         row_->Options()->ShowExpandButton() && row_->HasVisibleChildren();
}

bool TcxCustomRowHeaderInfo::GetSelected() {
  TcxCustomDesignSelectionHelper* helper =
      row_->VerticalGrid()->DesignSelectionHelper();
  return helper && helper->IsObjectSelected(row_);
}

void TcxCustomRowHeaderInfo::Calc(const TRect& AHeaderRect,
                                  TcxvgCustomViewInfo* AViewInfo,
                                  bool AWithIndents, TcxCustomRow* ANextRow) {
  viewInfo_ = AViewInfo;
  Clear();
  Transparent = false;
  HeaderRect = AHeaderRect;
  Focused = row_->VerticalGrid()->GetFocusedRow() == row_;
  CalcViewParams(AWithIndents);
  CalcIndentBounds(ANextRow, AWithIndents);
  if (GetShowButton()) {
    DoCalcExpandButton();
    ButtonColor = GetButtonColor();
  }
  viewInfo_->CalcHelper()->AddBoundHeaderLines(this);
  HeaderCellsRect = HeaderRect;
  HeaderCellsRect.Left = IndentBounds.Right;
  if (IsRectEmpty(HeaderCellsRect)) {
    HeaderCellsRect = TRect{};
    return;
  }
  AddRightVertLine(HeaderRect);
  CalcRowCaptionsInfo();
  FocusRect = GetFocusRect();
}

void TcxCustomRowHeaderInfo::CalcViewParams(bool AAllowSelected) {
  TcxCustomVerticalGrid* grid = row_->VerticalGrid();
  IndentViewParams = grid->Styles()->GetHeaderParams(row_);
  if (AAllowSelected && Focused &&
      grid->OptionsView()->PaintStyle() == psdotNet)
    ViewParams = grid->Styles()->GetSelectedHeaderParams(row_);
  else
    ViewParams = IndentViewParams;
}

TObjectPtr<TIndentRectInfoList> TcxCustomRowHeaderInfo::CalcIndentsInfo(
    Integer ALevel, TcxCustomRow* ANextRow) {
  TObjectPtr<TIndentRectInfoList> list(new TIndentRectInfoList());
  TcxvgCustomPaintStyleCalcHelper* helper = viewInfo_->CalcHelper();
  const Integer h = HeaderRect.Height();
  TcxCustomRow* node = row_;
  for (Integer level = ALevel; level >= 0 && node; --level) {
    const bool isCategory = node->Is<TcxCategoryRow>();
    bool bottom;
    if (isCategory)
      bottom = !(ANextRow && ANextRow->GetLevel() > level);
    else
      bottom = node == row_;
    list->Add(TSize{viewInfo_->RowIndentWidth, h}, isCategory, bottom,
              helper->GetIndentViewParams(row_, node));
    node = node->ParentLink();
  }
  return list;
}

void TcxCustomRowHeaderInfo::AddNextIndentInfo(
    const TRect& ABounds, const TcxVGridViewParams& AParams, bool AIsCategory,
    bool ARightLine, bool ABottomLine) {
  (AIsCategory ? categoryIndents_ : rowIndents_).Add(ABounds, AParams);
  viewInfo_->CalcHelper()->AddHeaderIndentLines(
      this, ABounds, ARightLine, ABottomLine, AIsCategory, AParams);
}

void TcxCustomRowHeaderInfo::CalcIndentBounds(TcxCustomRow* ANextRow,
                                              bool AWithIndents) {
  const Integer L = HeaderRect.Left, top = HeaderRect.Top;
  const Integer h = HeaderRect.Height();
  if (!AWithIndents) {
    IndentBounds = TRect{L, top, L, top + h};
    return;
  }
  const Integer v = viewInfo_->VertLineWidth;
  const Integer indent = viewInfo_->RowIndentWidth;
  const Integer n = viewInfo_->ShowHeaders ? row_->GetLevel() : -1;
  TObjectPtr<TIndentRectInfoList> entries =
      n >= 0 ? CalcIndentsInfo(n, ANextRow) : nullptr;
  TRect pending{L, top, L, top + h};
  Integer s = 0, k = 0;
  const Integer nextLevel = ANextRow ? ANextRow->GetLevel() : -1;
  for (Integer i = 0; i <= n; ++i) {
    // Entry 0 is the row itself, entry n its level-0 ancestor.
    const TIndentRectInfo e = entries->GetItem(n - i);
    if (e.IsCategory) {
      if (pending.Width() > 0) {
        TRect r = pending;
        r.Right += v;
        IntersectRect(r, r, HeaderRect);
        if (!IsRectEmpty(r))
          AddNextIndentInfo(r, entries->GetItem(n - k).ViewParams, false, true,
                            !(nextLevel > i));
        s += v;
      }
      TRect cat{L + s, top, L + s + indent + v, top + e.Size.cy};
      TRect clipped;
      if (IntersectRect(clipped, cat, HeaderRect))
        AddNextIndentInfo(clipped, e.ViewParams, true, i < n, e.DrawBottomLine);
      if (i < n || IncreaseBoundsByLastVertLine()) s += v;
      pending = TRect{L + s + indent, top, L + s + indent, top + h};
    } else {
      pending.Right += indent;
      k = i;
    }
    s += indent;
  }
  if (n >= 0) {
    TRect r;
    if (IntersectRect(r, pending, HeaderRect))
      AddNextIndentInfo(r, entries->GetItem(n - k).ViewParams, false, false,
                        true);
  }
  IndentBounds = TRect{L, top, std::min(L + s, HeaderRect.Right), top + h};
}

Integer TcxCustomRowHeaderInfo::GetButtonPlaceBackgroundWidth() {
  return viewInfo_->RowIndentWidth;
}

void TcxCustomRowHeaderInfo::DoCalcExpandButton() {
  const Integer w = GetButtonPlaceBackgroundWidth();
  const Integer b = viewInfo_->ButtonSize;
  const Integer x = (2 * IndentBounds.Right - w - b) / 2;
  const Integer y = (IndentBounds.Top + IndentBounds.Bottom - b) / 2;
  ButtonRect = TRect{x, y, x + b, y + b};
}

void TcxCustomRowHeaderInfo::AddBottomHorzLine(const TRect& R) {
  if (viewInfo_->HorzLineWidth > 0)
    lines_.AddBrush(R.Left, R.Bottom, R.Width(), viewInfo_->HorzLineWidth,
                    viewInfo_->HorzLineBrush());
}

void TcxCustomRowHeaderInfo::AddRightVertLine(const TRect& R) {
  if (viewInfo_->ShowHeaders)
    viewInfo_->CalcHelper()->AddDivider(lines_, R, false,
                                        viewInfo_->BandBorderColor);
}

TcxRowCaptionInfo* TcxCustomRowHeaderInfo::CalcCaptionInfo(
    TcxCaptionRowProperties* AProperties, const TRect& R) {
  TcxCustomVerticalGrid* grid = row_->VerticalGrid();
  TObjectPtr<TcxRowCaptionInfo> info(new TcxRowCaptionInfo(row_));
  info->CaptionRect = R;
  info->Images = grid->Images();
  Integer imageWidth = 0;
  if (info->Images) {
    const Integer index = AProperties->ImageIndex();
    if (index >= 0 && index < info->Images->Count()) {
      info->ImageIndex = index;
      imageWidth = viewInfo_->ImageSize.cx;
    } else if (grid->OptionsView()->ShowEmptyRowImage()) {
      imageWidth = viewInfo_->ImageSize.cx;
    }
  }
  const Integer imageHeight = imageWidth > 0 ? viewInfo_->ImageSize.cy : 0;
  const Integer t = GetTopCentralPoint(imageHeight, R);
  info->ImageRect = TRect{R.Left, t, R.Left + imageWidth, t + imageHeight};
  const Integer right = info->ImageRect.Right;
  TRect text{right + 1, R.Top,
             right + 1 + std::max<Integer>(0, R.Right - right - 2), R.Bottom};
  const TRect offset =
      GetTextEditDrawTextOffset(AProperties->HeaderAlignmentHorz(), true);
  text.Left += offset.Left + 1;
  text.Top += offset.Top + 1;
  text.Right -= offset.Right + 1;
  text.Bottom -= offset.Bottom + 1;
  info->CaptionTextRect = text;
  info->TextFlags =
      cxVGridTextAlignmentFlags(AProperties->HeaderAlignmentHorz(),
                                AProperties->HeaderAlignmentVert()) |
      cxtfSingleLine;
  if (grid->OptionsView()->CellEndEllipsis())
    info->TextFlags |= cxtfEndEllipsis;
  info->ViewParams = GetCaptionViewParams();
  info->Caption = AProperties->Caption();
  info->Focused = Focused;
  captions_.push_back(std::move(info));
  return captions_.back().get();
}

void TcxCustomRowHeaderInfo::CalcRowCaptionsInfo() {
  if (auto* props = dynamic_cast<TcxCaptionRowProperties*>(row_->Properties()))
    CalcCaptionInfo(props, HeaderCellsRect);
}

Integer TcxCustomRowHeaderInfo::LeftViewPoint() {
  if (row_->VerticalGrid()->OptionsView()->PaintStyle() == psStyle3D ||
      rowIndents_.Count() == 0)
    return HeaderRect.Left;
  return rowIndents_.GetItem(rowIndents_.Count() - 1).Rect.Left;
}

// ---------------------------------------------------------------------------
// Category headers
// ---------------------------------------------------------------------------

void TcxCategoryRowHeaderInfo::CalcViewParams(bool) {
  IndentViewParams = Row()->VerticalGrid()->Styles()->GetCategoryParams(Row());
  ViewParams = IndentViewParams;
}

void TcxCategoryRowHeaderInfo::DoCalcExpandButton() {
  TcxvgCustomViewInfo* info = ViewInfo();
  if (info->CategoryExplorerStyle) {
    const TSize size = info->ExplorerButtonSize;
    const Integer x = HeaderRect.Right - size.cx - 1;
    const Integer y = (HeaderRect.Top + HeaderRect.Bottom - size.cy) / 2;
    ButtonRect = TRect{x, y, x + size.cx, y + size.cy};
  } else {
    TcxCustomRowHeaderInfo::DoCalcExpandButton();
  }
}

TColor TcxCategoryRowHeaderInfo::GetButtonColor() {
  if (Row()->VerticalGrid()->OptionsView()->PaintStyle() == psStyle3D)
    return clWindow;
  return ViewParams.Color;
}

void TcxCategoryRowHeaderInfo::AddBottomHorzLine(const TRect& R) {
  TcxvgCustomViewInfo* info = ViewInfo();
  if (info->HorzLineWidth > 0)
    LinesInfo().AddBrush(R.Left - info->VertLineWidth, R.Bottom,
                         R.Width() + 2 * info->VertLineWidth,
                         info->HorzLineWidth, info->HorzLineBrush());
}

void TcxCategoryRowHeaderInfo::AddRightVertLine(const TRect&) {
  TcxvgCustomViewInfo* info = ViewInfo();
  TcxCustomRowViewInfo* rowInfo = Row()->ViewInfoIfCreated();
  if (info->VertLineWidth <= 0 || !rowInfo) return;
  const TRect r = rowInfo->RowRect;
  LinesInfo().AddColor(r.Right, r.Top, info->VertLineWidth,
                       r.Height() + info->HorzLineWidth, info->BandBorderColor);
}

void TcxCategoryRowHeaderInfo::CalcRowCaptionsInfo() {
  if (ViewInfo()->CategoryExplorerStyle && !IsRectEmpty(ButtonRect))
    HeaderCellsRect.Right = std::min(HeaderCellsRect.Right, ButtonRect.Left);
  TcxCustomRowHeaderInfo::CalcRowCaptionsInfo();
}

TRect TcxCategoryRowHeaderInfo::GetFocusRect() {
  return ViewInfo()->CalcHelper()->GetCategoryFocusRect(this);
}

Integer TcxCategoryRowHeaderInfo::LeftViewPoint() {
  if (Row()->VerticalGrid()->OptionsView()->PaintStyle() == psStyle3D)
    return TcxCustomRowHeaderInfo::LeftViewPoint();
  return IndentBounds.Right;
}

// ---------------------------------------------------------------------------
// Multi-editor headers
// ---------------------------------------------------------------------------

void TcxMultiEditorRowHeaderInfo::Clear() {
  TcxCustomRowHeaderInfo::Clear();
  separatorRects_.Clear();
}

void TcxMultiEditorRowHeaderInfo::CalcSeparatorWidth(Integer ADividerWidth) {
  auto* row = static_cast<TcxCustomMultiEditorRow*>(Row());
  separatorInfo_.Kind = row->GetProperties()->SeparatorKind();
  separatorInfo_.Caption = row->GetProperties()->SeparatorString();
  if (separatorInfo_.Kind == skString) {
    TcxCanvas* canvas = ScreenCanvas();
    if (ViewParams.Font) canvas->SetFont(ViewParams.Font);
    separatorInfo_.Width = canvas->TextWidth(separatorInfo_.Caption + "0");
  } else {
    separatorInfo_.Width = ADividerWidth;
  }
}

void TcxMultiEditorRowHeaderInfo::CalcSeparatorStyle() {
  auto* row = static_cast<TcxCustomMultiEditorRow*>(Row());
  separatorInfo_.ViewParams = ViewParams;
  separatorInfo_.TextFlags =
      cxVGridTextAlignmentFlags(
          taCenter, row->GetProperties()->SeparatorAlignmentVert()) |
      cxtfSingleLine;
}

void TcxMultiEditorRowHeaderInfo::CalcRowCaptionsInfo() {
  auto* row = static_cast<TcxCustomMultiEditorRow*>(Row());
  CalcSeparatorWidth(ViewInfo()->DividerWidth);
  CalcSeparatorStyle();
  std::unique_ptr<TcxRectList> cells = TcxMultiEditorRowViewInfo::GetCellRects(
      row, HeaderCellsRect, separatorInfo_.Width);
  if (!cells) return;
  TcxEditorPropertiesCollection* editors = row->GetProperties()->Editors();
  for (Integer i = 0; i < cells->Count() && i < editors->Count(); ++i) {
    const TRect r = cells->GetRect(i);
    if (r.Left >= HeaderCellsRect.Right) continue;
    CalcCaptionInfo(editors->GetItem(i), r)->RowCellIndex = i;
  }
  CalcSeparatorRects(*cells);
}

void TcxMultiEditorRowHeaderInfo::CalcSeparatorRects(
    const TcxRectList& ACells) {
  TcxMultiEditorRowViewInfo::AddSeparatorRects(
      ViewInfo(), separatorRects_, LinesInfo(), HeaderCellsRect, ACells,
      separatorInfo_.Kind, ViewInfo()->DividerWidth, ViewParams.Color);
}

// ---------------------------------------------------------------------------
// The header and row view infos each row kind makes
// ---------------------------------------------------------------------------

TObjectPtr<TcxCustomRowHeaderInfo> TcxCategoryRow::CreateHeaderInfo() {
  return TObjectPtr<TcxCustomRowHeaderInfo>(new TcxCategoryRowHeaderInfo(this));
}
TObjectPtr<TcxCustomRowViewInfo> TcxCategoryRow::CreateViewInfo() {
  return TObjectPtr<TcxCustomRowViewInfo>(new TcxCategoryRowViewInfo(this));
}
TObjectPtr<TcxCustomRowHeaderInfo> TcxCustomEditorRow::CreateHeaderInfo() {
  return TObjectPtr<TcxCustomRowHeaderInfo>(new TcxEditorRowHeaderInfo(this));
}
TObjectPtr<TcxCustomRowViewInfo> TcxCustomEditorRow::CreateViewInfo() {
  return TObjectPtr<TcxCustomRowViewInfo>(new TcxEditorRowViewInfo(this));
}
TObjectPtr<TcxCustomRowHeaderInfo> TcxCustomMultiEditorRow::CreateHeaderInfo() {
  return TObjectPtr<TcxCustomRowHeaderInfo>(
      new TcxMultiEditorRowHeaderInfo(this));
}
TObjectPtr<TcxCustomRowViewInfo> TcxCustomMultiEditorRow::CreateViewInfo() {
  return TObjectPtr<TcxCustomRowViewInfo>(new TcxMultiEditorRowViewInfo(this));
}
