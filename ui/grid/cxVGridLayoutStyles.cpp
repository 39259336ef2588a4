#include <cmath>

#include "cxVGrid.h"

// ---------------------------------------------------------------------------
// Inspector: one band as wide as the control
// ---------------------------------------------------------------------------

void TcxInspectorViewInfo::CheckMaxRowHeaderWidth(Integer& AWidth,
                                                  Integer AReserve) {
  if (ViewBandWidth > 0)
    AWidth = std::min(AWidth, ViewBandWidth - std::max<Integer>(AReserve, 4));
}

Integer TcxInspectorViewInfo::GetViewValueWidth() {
  return ViewBandWidth - ViewHeaderWidth - DividerWidth - 2 * VertLineWidth;
}

// ---------------------------------------------------------------------------
// Bands
// ---------------------------------------------------------------------------

Integer TcxBandsViewInfo::GetMinViewBandWidth() {
  return GetViewMinHeaderWidth() + Grid()->OptionsView()->ValueMinWidth();
}

void TcxBandsViewInfo::CalcLayoutGeneral() {
  AutoScaleBands = Grid()->OptionsView()->AutoScaleBands();
  TcxvgCustomViewInfo::CalcLayoutGeneral();
  BandsIndent = Grid()->OptionsView()->BandsInterval();
}

Integer TcxBandsViewInfo::GetViewValueWidth() {
  return Grid()->OptionsView()->ValueWidth();
}

Integer TcxBandsViewInfo::GetViewBandWidth() {
  if (!AutoScaleBands)
    return ViewHeaderWidth + DividerWidth + ViewValueWidth + 2;
  return std::max(ViewBandWidth, GetMinViewBandWidth());
}

void TcxBandsViewInfo::CalcBandWidth() {
  TcxvgOptionsView* options = Grid()->OptionsView();
  ViewHeaderWidth = GetViewHeaderWidth();
  if (!AutoScaleBands) {
    ViewValueWidth = options->ValueWidth();
    ViewBandWidth = ViewHeaderWidth + DividerWidth + ViewValueWidth + 2;
    return;
  }
  if (LockDividerPos) return;
  const Integer oldWidth = GetViewBandWidth();
  double ratio = 1;
  if (ShowHeaders && oldWidth > 0)
    ratio = static_cast<double>(std::max(oldWidth, options->ValueMinWidth())) /
            std::max<Integer>(ViewHeaderWidth, 1);
  const Integer c = GetScroller()->GetBandsInfo().Count();
  const Integer indents = c > 1 ? (c - 1) * BandsIndent : 0;
  ViewBandWidth = std::max(GetMinViewBandWidth(), (Bounds().Width() - indents) /
                                                      std::max<Integer>(c, 1));
  ViewBandWidth = std::max(ViewBandWidth, BandMinWidth);
  if (ShowHeaders && !lock_ && ViewHeaderWidth < oldWidth &&
      oldWidth != ViewBandWidth)
    SetDividerPos(static_cast<Integer>(std::lround(ViewBandWidth / ratio)));
  ViewHeaderWidth = GetViewHeaderWidth();
  ViewValueWidth = ViewBandWidth - ViewHeaderWidth - DividerWidth - 2;
}

void TcxBandsViewInfo::CalcBandRects() {
  TcxvgScroller* scroller = GetScroller();
  TBandInfoList& bands = scroller->GetBandsInfo();
  for (Integer i = scroller->GetLeftVisibleBand(); i < bands.Count(); ++i) {
    CreateBand(bands.GetItem(i).BandHeight, 40);
    // Bands right of the client area are not shown.
    if (ViewRects().BandRects.Count() * (ViewBandWidth + BandsIndent) >
        Bounds().Width() + ViewBandWidth)
      break;
  }
  UpdateBandsWidth();
}

void TcxBandsViewInfo::CreateBand(Integer AHeight, Integer AWidth) {
  const TRect b = Bounds();
  TcxRectList& bands = ViewRects().BandRects;
  const Integer index = bands.Count();
  const Integer left = index > 0 ? bands.GetRect(index - 1).Right : b.Left;
  const TRect band{left, b.Top, left + AWidth,
                   b.Top + std::min(AHeight, b.Height())};
  bands.Add(band);
  // The empty rectangle keeps its band's index in its width until the
  // bands get their real widths.
  if (band.Height() < b.Height())
    ViewRects().EmptyRects.Add(
        TRect{left, band.Bottom, left + index, b.Top + b.Height()});
}

void TcxBandsViewInfo::UpdateBandsWidth() {
  TcxRectList& bands = ViewRects().BandRects;
  Integer x = Bounds().Left;
  for (Integer i = 0; i < bands.Count(); ++i) {
    TRect r = bands.GetRect(i);
    r.Left = x;
    r.Right = x + ViewBandWidth;
    if (AutoScaleBands && i == bands.Count() - 1) r.Right = Bounds().Right;
    bands.SetRect(i, r);
    x += ViewBandWidth + BandsIndent;
  }
  TcxRectList& empty = ViewRects().EmptyRects;
  for (Integer i = 0; i < empty.Count(); ++i) {
    TRect r = empty.GetRect(i);
    const Integer index = r.Width();
    if (index < 0 || index >= bands.Count()) continue;
    const TRect band = bands.GetRect(index);
    r.Left = band.Left;
    r.Right = band.Right;
    empty.SetRect(i, r);
  }
}

bool TcxBandsViewInfo::CanAddRowToBand(const TRect& ARowRect,
                                       const TRect& ABand,
                                       Integer ABandRowIndex) {
  return !(ARowRect.Bottom > ABand.Bottom && ABandRowIndex > 0);
}

void TcxBandsViewInfo::AddEmptyRects() {
  TcxRectList& bands = ViewRects().BandRects;
  if (bands.Count() == 0) return;
  const Integer h = Bounds().Height();
  for (Integer i = 0; i < bands.Count(); ++i) {
    const TRect band = bands.GetRect(i);
    if (BandsIndent > 0 && i + 1 < bands.Count())
      ViewRects().EmptyRects.Add(
          TRect{band.Right, band.Top, band.Right + BandsIndent, band.Top + h});
  }
  const TRect last = bands.GetRect(bands.Count() - 1);
  if (last.Right < Bounds().Right)
    ViewRects().EmptyRects.Add(
        TRect{last.Right, last.Top, Bounds().Right, last.Top + h});
}

bool TcxBandsViewInfo::GetRowAutoHeight(TcxCustomRow* ARow) {
  if (AutoScaleBands) return false;
  TcxCustomVerticalGrid* grid = Grid();
  if (!ARow) return grid->GetCellAutoHeight();
  return grid->GetCellAutoHeight() && ARow->Options()->CanAutoHeight();
}

TRect TcxBandsViewInfo::GetBandSizeableRect(const TRect& ABand) {
  if (AutoScaleBands) return TRect{};
  return TcxvgCustomViewInfo::GetBandSizeableRect(ABand);
}

void TcxBandsViewInfo::SetDividerPos(Integer AWidth) {
  lock_ = true;
  TScopeGuard unlock([this] { lock_ = false; });
  if (AutoScaleBands)
    TcxvgCustomViewInfo::SetDividerPos(AWidth);
  else
    Grid()->OptionsView()->SetRowHeaderWidth(
        std::min(AWidth, ClientRectV.Right - 4));
}

void TcxBandsViewInfo::LayoutStyleChanged() {
  if (AutoScaleBands) {
    ViewHeaderWidth = std::max(Grid()->OptionsView()->RowHeaderWidth(),
                               GetViewMinHeaderWidth());
    SetDividerPos(ViewHeaderWidth);
    ViewBandWidth = GetMinViewBandWidth();
  }
  TcxvgCustomViewInfo::LayoutStyleChanged();
}

// ---------------------------------------------------------------------------
// Multi-record
// ---------------------------------------------------------------------------

Integer TcxMultiRecordViewInfo::Step() const {
  return RecordsInterval == 0 ? VertLineWidth
                              : 2 * VertLineWidth + RecordsInterval;
}

Integer TcxMultiRecordViewInfo::GetRecordCount() {
  return Grid()->GetRecordCount();
}

void TcxMultiRecordViewInfo::CalcLayoutGeneral() {
  auto* options =
      dynamic_cast<TcxvgMultiRecordsOptionsView*>(Grid()->OptionsView());
  RecordsInterval = options ? options->RecordsInterval() : 0;
  TcxvgCustomViewInfo::CalcLayoutGeneral();
}

void TcxMultiRecordViewInfo::Clear() {
  TcxvgCustomViewInfo::Clear();
  FirstRecordWidth = 0;
  visibleValueCount_ = -1;
}

void TcxMultiRecordViewInfo::Reset() {
  TcxvgCustomViewInfo::Reset();
  visibleValueCount_ = -1;
}

TRect TcxMultiRecordViewInfo::GetValueRect(Integer AValueIndex,
                                           TcxCustomRowViewInfo* ARow) {
  const Integer x = AValueIndex * (Step() + ViewValueWidth) +
                    ARow->RowRect.Left + ViewHeaderWidth + DividerWidth;
  return TRect{x, ARow->RowRect.Top, x + ViewValueWidth, ARow->RowRect.Bottom};
}

void TcxMultiRecordViewInfo::CalcBandWidth() {
  ViewHeaderWidth = GetViewHeaderWidth();
  ViewValueWidth = Grid()->OptionsView()->ValueWidth();
  FirstRecordWidth =
      ViewValueWidth + 2 * VertLineWidth + ViewHeaderWidth + DividerWidth;
  Integer width = FirstRecordWidth;
  const Integer records = GetRecordCount();
  const Integer left = GetScroller()->GetLeftVisibleRecord();
  if (records > 1) {
    // Only what can show counts: the rest lies beyond the right edge.
    const Integer more = std::min<Integer>(
        records - left - 1,
        Bounds().Width() / std::max<Integer>(Step() + ViewValueWidth, 1) + 1);
    if (more > 0) width += (Step() + ViewValueWidth) * more;
  }
  ViewBandWidth = std::min(width, Bounds().Width());
}

Integer TcxMultiRecordViewInfo::GetDefaultGridModeBufferCount() {
  const Integer a =
      Bounds().Width() - ViewHeaderWidth - DividerWidth - VertLineWidth;
  if (a <= 0) return 1;
  const Integer d = std::max<Integer>(ViewValueWidth + RecordsInterval, 1);
  return (a + d - 1) / d;
}

Integer TcxMultiRecordViewInfo::CalcVisibleValueCount() {
  if (IsRectEmpty(Bounds())) return 0;
  return std::max<Integer>(
      1, std::min(GetDefaultGridModeBufferCount(),
                  GetRecordCount() - GetScroller()->GetLeftVisibleRecord()));
}

Integer TcxMultiRecordViewInfo::GetVisibleValueCount() {
  if (visibleValueCount_ < 0) visibleValueCount_ = CalcVisibleValueCount();
  return visibleValueCount_;
}

Integer TcxMultiRecordViewInfo::GetRowHeight(TcxCustomRowViewInfo* ARow,
                                             Integer AValueWidth) {
  Integer h = ARow->Row()->GetRealHeight();
  if (GetRowAutoHeight(ARow->Row()) && ARow->Row()->Height() < 0) {
    const Integer first = GetFirstVisibleRecordIndex();
    for (Integer i = 0; i < GetVisibleValueCount(); ++i)
      h = std::max(h, ARow->GetValueHeight(first + i, AValueWidth));
  }
  return h;
}

void TcxMultiRecordViewInfo::UpdateRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0) return;
  for (Integer i = 0; i < RowsViewInfoCount(); ++i)
    RowsViewInfo(i)->UpdateRecord(ARecordIndex);
}

void TcxMultiRecordViewInfo::AddRightValueSide(const TRect& R, bool ALast) {
  TcxvgCustomViewInfo::AddRightValueSide(R, ALast || RecordsInterval > 0);
}

void TcxMultiRecordViewInfo::AddEmptyRects() {
  TcxRectList& bands = ViewRects().BandRects;
  if (bands.Count() == 0) return;
  const TRect band = bands.GetRect(0);
  if (band.Right < Bounds().Right)
    ViewRects().EmptyRects.Add(
        TRect{band.Right, band.Top, Bounds().Right, Bounds().Bottom});
}

void TcxMultiRecordViewInfo::SetDividerPos(Integer AWidth) {
  Grid()->OptionsView()->SetRowHeaderWidth(
      std::min(AWidth, ClientRectV.Right - 4));
}

TRect TcxMultiRecordViewInfo::GetBandSizeableRect(const TRect& ABand) {
  if (!Grid()->IsMultiRecordView())
    return TcxvgCustomViewInfo::GetBandSizeableRect(ABand);
  const Integer x = ABand.Left + ViewHeaderWidth + DividerWidth +
                    ViewValueWidth + VertLineWidth;
  return TRect{x - 1, Bounds().Top, x + 2, Bounds().Bottom};
}

void TcxMultiRecordViewInfo::AddBandRowsLines(const TRect& ABand) {
  if (RecordsInterval == 0) {
    TcxvgCustomViewInfo::AddBandRowsLines(ABand);
    return;
  }
  // Called per laid-out row; the framing is drawn once, for the last row.
  (void)ABand;
}
