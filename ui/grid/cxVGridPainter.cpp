#include "cxTextEdit.h"
#include "cxVGrid.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

// ---------------------------------------------------------------------------
// The halftone brush
// ---------------------------------------------------------------------------

namespace {
// A brush that keeps its pattern bitmap alive as long as itself.
class TcxPatternBrush : public TBrush {
 public:
  std::unique_ptr<TBitmap> Pattern;
};
}  // namespace

TObjectPtr<TBrush> cxCreateHalftoneBrush(TColor AColor1, TColor AColor2) {
  auto* brush = new TcxPatternBrush();
  TObjectPtr<TBrush> result(brush);
  std::unique_ptr<TBitmap> bitmap(new TBitmap());
  bitmap->SetSize(8, 8);
  TCanvas* canvas = bitmap->Canvas();
  const COLORREF first = static_cast<COLORREF>(ColorToRGB(AColor1));
  const COLORREF second = static_cast<COLORREF>(ColorToRGB(AColor2));
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x)
      ::SetPixel(canvas->Handle(), x, y,
                 cxHalftoneIsFirstColor(x, y) ? first : second);
  brush->SetBitmap(bitmap.get());
  brush->Pattern = std::move(bitmap);
  return result;
}

// ---------------------------------------------------------------------------
// Calc helpers
// ---------------------------------------------------------------------------

TcxvgCustomPaintStyleCalcHelper::TcxvgCustomPaintStyleCalcHelper(
    TcxvgCustomViewInfo* AViewInfo)
    : viewInfo_(AViewInfo) {}

TcxCustomVerticalGrid* TcxvgCustomPaintStyleCalcHelper::Grid() const {
  return viewInfo_->Grid();
}

TcxLookAndFeelPainterClass TcxvgCustomPaintStyleCalcHelper::Painter() const {
  return Grid()->GetLookAndFeelPainter();
}

TColor TcxvgCustomPaintStyleCalcHelper::GetBandBorderColor() {
  return Grid()->OptionsView()->GridLineColor();
}
Integer TcxvgCustomPaintStyleCalcHelper::GetIndentWidth() {
  return Painter()->ExpandButtonSize() + 4;
}
TColor TcxvgCustomPaintStyleCalcHelper::GetCategoryColor() {
  return Painter()->DefaultHeaderColor();
}
TColor TcxvgCustomPaintStyleCalcHelper::GetContentColor(bool) {
  return Painter()->DefaultContentColor();
}
TColor TcxvgCustomPaintStyleCalcHelper::GetContentTextColor() {
  return Painter()->DefaultContentTextColor();
}
TColor TcxvgCustomPaintStyleCalcHelper::GetHeaderColor() {
  return Painter()->DefaultContentColor();
}
TColor TcxvgCustomPaintStyleCalcHelper::GetHeaderTextColor() {
  return Painter()->DefaultContentTextColor();
}

namespace {
TObjectPtr<TBrush> SolidBrush(TColor AColor) {
  TObjectPtr<TBrush> brush(new TBrush());
  brush->SetColor(AColor);
  return brush;
}
}  // namespace

TObjectPtr<TBrush> TcxvgDotNetStyleCalcHelper::CreateHorzLineBrush() {
  return SolidBrush(Grid()->OptionsView()->GridLineColor());
}
TObjectPtr<TBrush> TcxvgDotNetStyleCalcHelper::CreateVertLineBrush() {
  return SolidBrush(Grid()->OptionsView()->GridLineColor());
}

void TcxvgDotNetStyleCalcHelper::AddBoundHeaderLines(
    TcxCustomRowHeaderInfo* AHeader) {
  const TRect& indent = AHeader->IndentBounds;
  AHeader->AddBottomHorzLine(TRect{indent.Right, indent.Top,
                                   AHeader->HeaderRect.Right, indent.Bottom});
}

void TcxvgDotNetStyleCalcHelper::AddDivider(TLineInfoList& ALines,
                                            const TRect& R, bool, TColor) {
  TcxvgCustomViewInfo* info = ViewInfo();
  if (info->DividerWidth == 0) return;
  ALines.AddBrush(R.Right, R.Top, info->VertLineWidth,
                  R.Height() + info->HorzLineWidth, info->VertLineBrush());
}

void TcxvgDotNetStyleCalcHelper::AddHeaderIndentLines(
    TcxCustomRowHeaderInfo* AHeader, const TRect& R, bool ARightLine,
    bool ABottomLine, bool, const TcxVGridViewParams& AParams) {
  TcxvgCustomViewInfo* info = ViewInfo();
  if (!info->ShowHeaders) return;
  const Integer v = info->VertLineWidth, hl = info->HorzLineWidth;
  bool rightDrawn = false;
  if (ARightLine && v > 0) {
    AHeader->LinesInfo().AddBrush(R.Right - v, R.Top, v, R.Height() + hl,
                                  info->VertLineBrush());
    rightDrawn = true;
  }
  if (hl <= 0) return;
  const Integer w = R.Width() - (rightDrawn ? v : 0);
  if (ABottomLine)
    AHeader->LinesInfo().AddBrush(R.Left, R.Bottom, w, hl,
                                  info->HorzLineBrush());
  else if (!AParams.Bitmap)
    AHeader->LinesInfo().AddColor(R.Left, R.Bottom, w, hl, AParams.Color);
  else
    AHeader->RowIndents().Add(Bounds(R.Left, R.Bottom, w, hl), AParams);
}

TRect TcxvgDotNetStyleCalcHelper::ChangeFocusedRow(TcxCustomRow* ARow,
                                                   TcxCustomRow* AOther) {
  TcxvgCustomViewInfo* info = ViewInfo();
  TcxCustomVerticalGrid* grid = Grid();
  TRect changed{};
  for (TcxCustomRow* row : {ARow, AOther}) {
    TcxCustomRowViewInfo* rowInfo = info->GetRowViewInfo(row);
    if (!rowInfo) continue;
    const TColor oldColor = rowInfo->HeaderInfo()->IndentViewParams.Color;
    UnionRect(changed, changed, rowInfo->RowRect);
    TcxCustomRow* next = grid->NextVisibleRow(row);
    rowInfo->Calc(rowInfo->RowRect, info, next);
    if (row->Is<TcxCategoryRow>() &&
        oldColor != rowInfo->HeaderInfo()->IndentViewParams.Color) {
      for (TcxCustomRow* d = next; d && row->IsParent(d);
           d = grid->NextVisibleRow(d)) {
        TcxCustomRowViewInfo* dInfo = info->GetRowViewInfo(d);
        if (!dInfo) continue;
        dInfo->HeaderInfo()->Calc(dInfo->HeaderInfo()->HeaderRect, info, true,
                                  grid->NextVisibleRow(d));
        UnionRect(changed, changed, dInfo->HeaderInfo()->HeaderRect);
      }
    }
  }
  return changed;
}

TRect TcxvgDotNetStyleCalcHelper::GetCategoryFocusRect(
    TcxCustomRowHeaderInfo* AHeader) {
  if (!AHeader->Focused || AHeader->CaptionCount() == 0) return TRect{};
  TcxRowCaptionInfo* caption = AHeader->Captions(0);
  if (caption->Caption.empty()) return TRect{};
  auto* props =
      static_cast<TcxCaptionRowProperties*>(AHeader->Row()->Properties());
  TcxCanvas* canvas = ScreenCanvas();
  if (AHeader->ViewParams.Font) canvas->SetFont(AHeader->ViewParams.Font);
  const TSize extent = canvas->TextExtent(caption->Caption);
  const TRect t = caption->CaptionTextRect;
  Integer left = t.Left, top = t.Top;
  switch (props->HeaderAlignmentHorz()) {
    case taRightJustify:
      left = t.Right - extent.cx;
      break;
    case taCenter:
      left = (t.Left + t.Right - extent.cx) / 2;
      break;
    default:
      break;
  }
  switch (props->HeaderAlignmentVert()) {
    case vaBottom:
      top = t.Bottom - extent.cy;
      break;
    case vaCenter:
      top = (t.Top + t.Bottom - extent.cy) / 2;
      break;
    default:
      break;
  }
  TRect r{left - 1, top - 1, left + extent.cx + 1, top + extent.cy + 1};
  IntersectRect(r, r, AHeader->HeaderRect);
  return r;
}

TcxVGridViewParams TcxvgDotNetStyleCalcHelper::GetIndentViewParams(
    TcxCustomRow* ARow, TcxCustomRow* ANode) {
  if (ANode == ARow) {
    TcxCustomRowViewInfo* info = ARow->GetViewInfo();
    return cxVGridParams(info->HeaderInfo()->ViewParams);
  }
  TcxCustomRowHeaderInfo* header = ANode->GetViewInfo()->HeaderInfo();
  if (ANode->VisibleIndex() <
      ViewInfo()->GetScroller()->GetTopVisibleRowIndex())
    header->CalcViewParams(false);
  return cxVGridParams(header->IndentViewParams);
}

TObjectPtr<TBrush> TcxvgStyle3DCalcHelper::CreateHorzLineBrush() {
  return cxCreateHalftoneBrush(Grid()->OptionsView()->GridLineColor(),
                               clBtnFace);
}
TObjectPtr<TBrush> TcxvgStyle3DCalcHelper::CreateVertLineBrush() {
  return cxCreateHalftoneBrush(Grid()->OptionsView()->GridLineColor(),
                               clBtnFace);
}
TColor TcxvgStyle3DCalcHelper::GetCategoryTextColor() {
  return Painter()->DefaultHeaderTextColor();
}
TColor TcxvgStyle3DCalcHelper::GetContentColor(bool AFocused) {
  return AFocused ? Painter()->DefaultContentColor()
                  : Painter()->DefaultHeaderColor();
}
TColor TcxvgStyle3DCalcHelper::GetHeaderColor() {
  return Painter()->DefaultHeaderColor();
}
TColor TcxvgStyle3DCalcHelper::GetHeaderTextColor() {
  return Painter()->DefaultHeaderTextColor();
}

void TcxvgStyle3DCalcHelper::AddBoundHeaderLines(
    TcxCustomRowHeaderInfo* AHeader) {
  TcxvgCustomViewInfo* info = ViewInfo();
  const TRect& h = AHeader->HeaderRect;
  if (info->HorzLineWidth > 0)
    AHeader->LinesInfo().AddBrush(h.Left, h.Bottom, h.Width(),
                                  info->HorzLineWidth, info->HorzLineBrush());
}

void TcxvgStyle3DCalcHelper::AddDivider(TLineInfoList& ALines, const TRect& R,
                                        bool ABetweenEditors, TColor AColor) {
  TcxvgCustomViewInfo* info = ViewInfo();
  if (info->DividerWidth == 0) return;
  const Integer hl = info->HorzLineWidth;
  if (ABetweenEditors) {
    ALines.AddColor(R.Right, R.Top, 2, 2, AColor);
    ALines.AddColor(R.Right, R.Bottom - 2, 2, 2, AColor);
    ALines.AddColor(R.Right, R.Top + 2, 1, R.Height() + hl - 5, clBtnShadow);
    ALines.AddColor(R.Right + 1, R.Top + 2, 1, R.Height() + hl - 5,
                    clBtnHighlight);
  } else {
    ALines.AddColor(R.Right, R.Top, 1, R.Height() + hl, clBtnShadow);
    ALines.AddColor(R.Right + 1, R.Top, 1, R.Height() + hl, clBtnHighlight);
  }
}

void TcxvgStyle3DCalcHelper::CalcPaintViewParamsLines(
    TcxCustomRowViewInfo* ARow, TcxCustomRow* ANextRow) {
  TcxCustomVerticalGrid* grid = Grid();
  TcxCustomRow* focused = grid->GetFocusedRow();
  if (!focused) return;
  TLineInfoList& lines = ViewInfo()->FocusLinesInfo();
  const TRect& r = ARow->RowRect;
  const Integer a = r.Left, b = r.Top, d = r.Bottom, w = r.Width();
  if (ANextRow == focused && ViewInfo()->GetScroller()->GetBandIndexByRowIndex(
                                 focused->VisibleIndex()) == ARow->BandIndex) {
    lines.AddColor(a, d - 1, w, 1, cl3DDkShadow);
    lines.AddColor(a + 1, d, w - 1, 1, clBtnShadow);
  }
  if (ARow->Row() == focused) {
    lines.AddColor(a, d - 1, w, 1, clBtnFace);
    lines.AddColor(a, d, w, 1, clBtnHighlight);
    lines.AddColor(a, b - 1, 1, d - b + 1, cl3DDkShadow);
    lines.AddColor(a + 1, b, 1, d - b - 1, clBtnShadow);
  }
}

TRect TcxvgStyle3DCalcHelper::ChangeFocusedRow(TcxCustomRow* ARow,
                                               TcxCustomRow* AOther) {
  TcxvgCustomViewInfo* info = ViewInfo();
  TcxCustomVerticalGrid* grid = Grid();
  info->FocusLinesInfo().Clear();
  TRect changed{};
  for (TcxCustomRow* row : {ARow, AOther}) {
    TcxCustomRowViewInfo* rowInfo = info->GetRowViewInfo(row);
    if (!rowInfo) continue;
    UnionRect(changed, changed, rowInfo->RowRect);
    rowInfo->Calc(rowInfo->RowRect, info, grid->NextVisibleRow(row));
    if (TcxCustomRowViewInfo* prev =
            info->GetRowViewInfo(grid->PrevVisibleRow(row))) {
      prev->Calc(prev->RowRect, info, row);
      UnionRect(changed, changed, prev->RowRect);
    }
  }
  if (info->HorzLineWidth == 0) changed.Bottom += 1;
  return changed;
}

TcxVGridViewParams TcxvgStyle3DCalcHelper::GetIndentViewParams(
    TcxCustomRow* ARow, TcxCustomRow*) {
  return cxVGridParams(ARow->GetViewInfo()->HeaderInfo()->ViewParams);
}

TObjectPtr<TBrush> TcxvgSkinCalcHelper::CreateHorzLineBrush() {
  return SolidBrush(Painter()->DefaultVGridLineColor());
}
TObjectPtr<TBrush> TcxvgSkinCalcHelper::CreateVertLineBrush() {
  return SolidBrush(Painter()->DefaultVGridLineColor());
}
TColor TcxvgSkinCalcHelper::GetBandBorderColor() {
  return Painter()->DefaultVGridBandLineColor();
}
TColor TcxvgSkinCalcHelper::GetBackgroundColor() {
  return Painter()->DefaultContentColor();
}
TColor TcxvgSkinCalcHelper::GetCategoryColor() {
  return Painter()->DefaultVGridCategoryColor();
}
TColor TcxvgSkinCalcHelper::GetCategoryTextColor() {
  const TColor color = Painter()->DefaultVGridCategoryTextColor();
  return color == clDefault ? clGrayText : color;
}
TColor TcxvgSkinCalcHelper::GetHeaderColor() {
  const TColor color = Painter()->DefaultHeaderColor();
  return color == clDefault ? TcxvgDotNetStyleCalcHelper::GetHeaderColor()
                            : color;
}

void TcxvgSkinCalcHelper::AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeader) {
  TcxvgCustomViewInfo* info = ViewInfo();
  if (!AHeader->Row()->Is<TcxCategoryRow>()) {
    TcxvgDotNetStyleCalcHelper::AddBoundHeaderLines(AHeader);
    return;
  }
  const Integer hl = info->HorzLineWidth;
  if (hl < 1) return;
  const TRect& indent = AHeader->IndentBounds;
  const Integer w = AHeader->HeaderRect.Right - indent.Right;
  AHeader->LinesInfo().AddColor(indent.Right, indent.Top - hl, w, hl,
                                info->BandBorderColor);
  AHeader->LinesInfo().AddColor(indent.Right, indent.Bottom, w, hl,
                                info->BandBorderColor);
}

void TcxvgSkinCalcHelper::AddHeaderIndentLines(
    TcxCustomRowHeaderInfo* AHeader, const TRect& R, bool ARightLine,
    bool ABottomLine, bool AIsCategory, const TcxVGridViewParams& AParams) {
  TcxvgDotNetStyleCalcHelper::AddHeaderIndentLines(
      AHeader, R, ARightLine, ABottomLine, AIsCategory, AParams);
  TcxvgCustomViewInfo* info = ViewInfo();
  const Integer v = info->VertLineWidth, hl = info->HorzLineWidth;
  if (!AIsCategory || v <= 0) return;
  if (AHeader->Row()->Is<TcxCategoryRow>() &&
      R.Right == AHeader->IndentBounds.Right)
    AHeader->LinesInfo().AddColor(R.Left, R.Top - hl, R.Width(), hl,
                                  info->BandBorderColor);
  if (ARightLine)
    AHeader->LinesInfo().AddColor(R.Right - v, R.Top - hl, v, R.Height() + hl,
                                  info->BandBorderColor);
  if (ABottomLine)
    AHeader->LinesInfo().AddColor(R.Left, R.Bottom, R.Width(), hl,
                                  info->BandBorderColor);
}

// ---------------------------------------------------------------------------
// TcxvgPainter
// ---------------------------------------------------------------------------

TcxvgPainter::TcxvgPainter(TcxEditingControl* AControl)
    : TcxCustomControlPainter(AControl) {
  SetBuffered(true);
}

TcxvgCustomViewInfo* TcxvgPainter::ViewInfo() const {
  return static_cast<TcxvgCustomViewInfo*>(Control()->ViewInfo());
}

TcxCustomVerticalGrid* TcxvgPainter::Grid() const {
  return static_cast<TcxCustomVerticalGrid*>(Control());
}

void TcxvgPainter::DoPaint() {
  DrawBackground();
  DrawRows();
  DrawLines(ViewInfo()->LinesInfo());
  DrawStyleFeatures();
}

void TcxStyle3DPainter::DrawStyleFeatures() {
  DrawLines(ViewInfo()->FocusLinesInfo());
}

void TcxvgPainter::FillRect(const TRect& R, TBitmap* ABitmap) {
  if (!ABitmap || ABitmap->Empty())
    Canvas()->FillRect(R);
  else
    Canvas()->FillRect(R, ABitmap);
}

void TcxvgPainter::DrawBackground() {
  TcxViewParams params;
  Grid()->Styles()->GetBackgroundParams(params);
  TcxRectList& empty = ViewInfo()->ViewRects().EmptyRects;
  for (Integer i = 0; i < empty.Count(); ++i) {
    const TRect r = empty.GetRect(i);
    if (IsRectEmpty(r) || Grid()->DoDrawBackgroundPart(r, params)) continue;
    Canvas()->SetBrushColor(params.Color);
    FillRect(r, params.Bitmap);
  }
}

void TcxvgPainter::DrawRows() {
  TcxvgCustomViewInfo* info = ViewInfo();
  for (Integer i = 0; i < info->RowsViewInfoCount(); ++i) {
    TcxCustomRowViewInfo* row = info->RowsViewInfo(i);
    if (Canvas()->RectVisible(row->RowRect)) DrawRow(row);
  }
}

void TcxvgPainter::DrawLines(TLineInfoList& ALines) {
  for (Integer i = 0; i < ALines.Count(); ++i) {
    const TLineInfo line = ALines.GetItem(i);
    if (line.IsBrush && line.Brush) {
      Canvas()->Brush()->Assign(static_cast<TBrush*>(line.Brush));
      Canvas()->FillRect(line.Rect);
    } else {
      Canvas()->FillRect(line.Rect, static_cast<TColor>(line.Color));
    }
  }
}

void TcxvgPainter::DrawRow(TcxCustomRowViewInfo* ARow) {
  TcxCustomRowHeaderInfo* header = ARow->HeaderInfo();
  TcxCustomVerticalGrid* grid = Grid();
  if (ARow->Row()->Is<TcxCategoryRow>()) {
    if (!grid->DoDrawRowHeader(header)) DrawCategoryRowHeader(header);
  } else {
    if (!grid->DoDrawRowHeader(header)) DrawRowHeader(header);
    DrawHeaderSeparators(header);
    DrawValuesSeparators(ARow);
    for (Integer i = 0; i < ARow->ValueInfoCount(); ++i) {
      TcxRowValueInfo* cell = ARow->ValueInfos(i);
      if (!cell->Visible()) continue;
      BeforeCustomDraw(cell);
      if (!grid->DoDrawValue(cell)) {
        if (TcxCustomEditViewInfo* edit = cell->EditViewInfo()) {
          edit->TextColor = Canvas()->Font()->Color();
          edit->BackgroundColor = Canvas()->Brush()->Color();
        }
        DrawRowValueCell(cell);
      }
      AfterCustomDraw(cell);
    }
  }
  DrawLines(header->LinesInfo());
}

void TcxvgPainter::DrawRowHeader(TcxCustomRowHeaderInfo* AHeader) {
  DrawRowIndent(AHeader);
  for (Integer i = 0; i < AHeader->CaptionCount(); ++i)
    DrawRowHeaderCell(AHeader->Captions(i), AHeader->Transparent);
  if (!IsRectEmpty(AHeader->FocusRect))
    Canvas()->DrawFocusRect(AHeader->FocusRect);
  if (AHeader->GetSelected()) {
    TRect r = AHeader->HeaderRect;
    Canvas()->DrawFocusRect(r);
    InflateRect(r, -1, -1);
    Canvas()->DrawFocusRect(r);
  }
}

void TcxvgPainter::DrawButton(TcxCustomRowHeaderInfo* AHeader) {
  if (IsRectEmpty(AHeader->ButtonRect)) return;
  LookAndFeelPainter()->DrawExpandButton(Canvas(), AHeader->ButtonRect,
                                         AHeader->Row()->Expanded(),
                                         AHeader->ButtonColor);
  if (!Buffered()) Canvas()->ExcludeClipRect(AHeader->ButtonRect);
}

void TcxvgPainter::DrawRowIndent(TcxCustomRowHeaderInfo* AHeader) {
  if (AHeader->Transparent) return;
  if (!Buffered()) DrawButton(AHeader);
  for (TIndentInfoList* list :
       {&AHeader->CategoryIndents(), &AHeader->RowIndents()})
    for (Integer i = 0; i < list->Count(); ++i) {
      const TIndentInfo indent = list->GetItem(i);
      Canvas()->SetBrushColor(static_cast<TColor>(indent.ViewParams.Color));
      FillRect(indent.Rect, static_cast<TBitmap*>(indent.ViewParams.Bitmap));
    }
  if (Buffered()) DrawButton(AHeader);
}

void TcxvgPainter::DrawCategoryRowIndent(TcxCustomRowHeaderInfo* AHeader) {
  TIndentInfoList& categories = AHeader->CategoryIndents();
  for (Integer i = 0; i + 1 < categories.Count(); ++i) {
    const TIndentInfo indent = categories.GetItem(i);
    Canvas()->FillRect(indent.Rect,
                       static_cast<TColor>(indent.ViewParams.Color));
  }
  TIndentInfoList& rows = AHeader->RowIndents();
  for (Integer i = 0; i < rows.Count(); ++i) {
    const TIndentInfo indent = rows.GetItem(i);
    Canvas()->FillRect(indent.Rect,
                       static_cast<TColor>(indent.ViewParams.Color));
  }
}

void TcxvgPainter::DrawCategoryRowHeader(TcxCustomRowHeaderInfo* AHeader) {
  TcxvgCustomViewInfo* info = ViewInfo();
  TcxCustomVerticalGrid* grid = Grid();
  if (!info->CategoryExplorerStyle || grid->LookAndFeel()->SkinPainter()) {
    DrawRowHeader(AHeader);
    return;
  }
  const HTHEME theme = OpenTheme(totExplorerBar);
  if (!theme) {
    DrawRowHeader(AHeader);
    return;
  }
  DrawCategoryRowIndent(AHeader);
  TRect r = AHeader->HeaderRect;
  if (AHeader->Row()->GetLevel() > 0 &&
      grid->OptionsView()->PaintStyle() == psdotNet)
    r.Left = AHeader->IndentBounds.Right - info->RowIndentWidth -
             info->VertLineWidth;
  Canvas()->FillRect(r, AHeader->ViewParams.Color);
  const RECT rr{r.Left, r.Top, r.Right, r.Bottom};
  DrawThemeBackground(theme, Canvas()->Handle(), 8, 0, &rr, nullptr);
  if (!IsRectEmpty(AHeader->ButtonRect) && AHeader->ButtonRect.Left >= r.Left) {
    const RECT br{AHeader->ButtonRect.Left, AHeader->ButtonRect.Top,
                  AHeader->ButtonRect.Right, AHeader->ButtonRect.Bottom};
    DrawThemeBackground(theme, Canvas()->Handle(),
                        AHeader->Row()->Expanded() ? 6 : 7, 1, &br, nullptr);
  }
  for (Integer i = 0; i < AHeader->CaptionCount(); ++i) {
    TcxRowCaptionInfo* caption = AHeader->Captions(i);
    if (caption->ViewParams.Font) Canvas()->SetFont(caption->ViewParams.Font);
    Canvas()->Font()->SetColor(caption->ViewParams.TextColor);
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->DrawTexT(caption->Caption, caption->CaptionTextRect,
                       caption->TextFlags);
    Canvas()->Brush()->SetStyle(bsSolid);
    DrawImage(caption);
  }
  DrawLines(AHeader->LinesInfo());
  if (!IsRectEmpty(AHeader->FocusRect) && !grid->IsDesigning())
    Canvas()->DrawFocusRect(AHeader->FocusRect);
}

void TcxvgPainter::DrawRowHeaderCell(TcxRowCaptionInfo* ACaption,
                                     bool ATransparent) {
  cxApplyViewParams(Canvas(), ACaption->ViewParams);
  if (!ATransparent)
    FillRect(ACaption->CaptionRect, ACaption->ViewParams.Bitmap);
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->DrawTexT(ACaption->Caption, ACaption->CaptionTextRect,
                     ACaption->TextFlags);
  Canvas()->Brush()->SetStyle(bsSolid);
  DrawImage(ACaption);
}

void TcxvgPainter::DrawImage(TcxRowCaptionInfo* ACaption) {
  if (ACaption->ImageIndex == -1 || !ACaption->Images) return;
  TRect r;
  if (!IntersectRect(r, ACaption->ImageRect, ACaption->CaptionRect)) return;
  Canvas()->SaveClipRegion();
  TScopeGuard restore([this] { Canvas()->RestoreClipRegion(); });
  Canvas()->IntersectClipRect(r);
  Canvas()->DrawImage(ACaption->Images, ACaption->ImageRect.Left,
                      ACaption->ImageRect.Top, ACaption->ImageIndex);
}

namespace {
void DrawSeparatorText(TcxCanvas* ACanvas, const TSeparatorInfo& ASep,
                       const TRect& R) {
  const TRect offset = GetTextEditDrawTextOffset(taLeftJustify, true);
  TRect text{R.Left + offset.Left + 1, R.Top + offset.Top + 1,
             R.Right - offset.Right - 1, R.Bottom - offset.Bottom - 1};
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->DrawTexT(ASep.Caption, text, ASep.TextFlags);
  ACanvas->Brush()->SetStyle(bsSolid);
}
}  // namespace

void TcxvgPainter::DrawHeaderSeparators(TcxCustomRowHeaderInfo* AHeader) {
  auto* multi = dynamic_cast<TcxMultiEditorRowHeaderInfo*>(AHeader);
  if (!multi) return;
  const TSeparatorInfo& sep = multi->SeparatorInfo();
  TcxRectList& rects = multi->SeparatorRects();
  for (Integer i = 0; i < rects.Count(); ++i) {
    const TRect r = rects.GetRect(i);
    if (IsRectEmpty(r)) continue;
    if (sep.ViewParams.Font) Canvas()->SetFont(sep.ViewParams.Font);
    Canvas()->Font()->SetColor(sep.ViewParams.TextColor);
    if (!AHeader->Transparent) Canvas()->FillRect(r, sep.ViewParams.Color);
    DrawSeparatorText(Canvas(), sep, r);
  }
}

void TcxvgPainter::DrawValuesSeparators(TcxCustomRowViewInfo* ARow) {
  auto* multi = dynamic_cast<TcxMultiEditorRowViewInfo*>(ARow);
  if (!multi || ARow->ValueInfoCount() == 0) return;
  TcxRectList& rects = multi->SeparatorRects();
  if (rects.Count() == 0) return;
  auto* header = static_cast<TcxMultiEditorRowHeaderInfo*>(ARow->HeaderInfo());
  const Integer editors =
      std::max<Integer>(1, ARow->Row()->GetEditContainerCount() - 1);
  auto* row = static_cast<TcxCustomMultiEditorRow*>(ARow->Row());
  const Integer first = ViewInfo()->GetFirstVisibleRecordIndex();
  for (Integer k = 0; k < rects.Count(); ++k) {
    const Integer value = k / editors;
    TcxStyle* eventStyle = nullptr;
    TcxVerticalGridStyles* styles = Grid()->Styles();
    if (styles->OnGetContentStyle)
      styles->OnGetContentStyle(Grid(), nullptr, false, first + value,
                                eventStyle);
    TcxViewParams params;
    TcxvgContentParamsData data{row, false};
    cxStylesToViewParams(styles, TcxCustomControlStyles::ecs_Content,
                         reinterpret_cast<TObject*>(&data),
                         {eventStyle, styles->Content()}, params);
    const TRect r = rects.GetRect(k);
    Canvas()->SetBrushColor(params.Color);
    FillRect(r, params.Bitmap);
    Canvas()->Font()->SetColor(params.TextColor);
    DrawSeparatorText(Canvas(), header->SeparatorInfo(), r);
  }
}

void TcxvgPainter::DrawRowValueCell(TcxRowValueInfo* AValue) {
  if (IsRectEmpty(AValue->DisplayRect())) return;
  if (AValue->ViewParams().Bitmap && !AValue->ViewParams().Bitmap->Empty())
    Canvas()->FillRect(AValue->DisplayRect(), AValue->ViewParams().Bitmap);
  if (TcxCustomEditViewInfo* edit = AValue->EditViewInfo())
    edit->PaintEx(Canvas());
  if (AValue->GetFocused() &&
      ViewInfo()->CalcHelper()->IsDrawValueFocusRect() &&
      !IsRectEmpty(AValue->FocusRect))
    Canvas()->DrawFocusRect(AValue->DisplayRect());
}

void TcxvgPainter::DrawHeaderDragImage(TcxCustomRowHeaderInfo* AHeader) {
  for (Integer i = 0; i < AHeader->CaptionCount(); ++i)
    DrawRowHeaderCell(AHeader->Captions(i), false);
  if (AHeader->Is<TcxMultiEditorRowHeaderInfo>()) {
    DrawLines(AHeader->LinesInfo());
    DrawHeaderSeparators(AHeader);
  }
  TRect frame = AHeader->HeaderRect;
  frame.Left = AHeader->IndentBounds.Right;
  Canvas()->FrameRect(frame, ViewInfo()->BandBorderColor);
}
