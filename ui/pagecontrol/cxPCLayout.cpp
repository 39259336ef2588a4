// The tab layout: one scrolling row with navigator buttons, or greedy rows
// balanced so that they are about equally full, turned so that the
// selected tab's row touches the page, on one or both sides of it.
#include "WinApi.h"
//
#include <algorithm>

#include "ScopeGuard.h"
//
#include "cxGeometry.h"
#include "cxPC.h"
#include "cxPCPainters.h"

namespace {

bool IsVerticalPosition(TcxTabPosition APosition) {
  return APosition == tpLeft || APosition == tpRight;
}

}  // namespace

// --- Text direction ---

bool TcxCustomTabControl::IsVerticalText() const {
  return (IsVerticalPosition(tabPosition_) && !rotate_) ||
         (!IsVerticalPosition(tabPosition_) && rotate_);
}

TcxRotationAngle TcxCustomTabControl::GetTextRotationAngle() const {
  if (!IsVerticalText()) return ra0;
  return options_.Contains(pcoTopToBottomText) ? raMinus90 : raPlus90;
}

TcxRotationAngle TcxCustomTabControl::InternalGetTextRotationAngle() const {
  if (painter_ && painter_->IsNativePainting()) return ra0;
  return GetTextRotationAngle();
}

bool TcxCustomTabControl::InternalIsVerticalText() const {
  if (painter_ && painter_->IsNativePainting()) return false;
  return IsVerticalText();
}

bool TcxCustomTabControl::IsBottomToTopAlignment() const {
  return IsVerticalPosition(tabPosition_) && !rotate_ &&
         !options_.Contains(pcoTopToBottomText);
}

bool TcxCustomTabControl::IsRightToLeftAlignment() const {
  return !IsVerticalPosition(tabPosition_) && rotate_ &&
         options_.Contains(pcoTopToBottomText);
}

// --- Ranges and sizes ---

void TcxCustomTabControl::InitializeVisibleTabRange(Integer& AFirst,
                                                    Integer& ALast) const {
  if (multiLine_) {
    AFirst = 0;
    ALast = visibleTabList_->Count() - 1;
  } else if (FirstVisibleTab == -1) {
    AFirst = 0;
    ALast = -1;
  } else {
    AFirst = FirstVisibleTab;
    ALast = LastVisibleTab;
  }
}

TcxPCLineIndexBoundsArray TcxCustomTabControl::InitializeLineBoundsArray()
    const {
  TcxPCLineIndexBoundsArray bounds(std::max(RowCount, 0));
  Integer first, last;
  InitializeVisibleTabRange(first, last);
  for (Integer i = first; i <= last; ++i) {
    Integer row = tabs_->GetVisibleTab(i)->VisibleRow;
    if (row < 0 || row >= RowCount) continue;
    TcxPCIndexInterval& interval = bounds[row];
    if (interval.Left == -1 || i < interval.Left) interval.Left = i;
    if (interval.Right == -1 || i > interval.Right) interval.Right = i;
  }
  return bounds;
}

TSize TcxCustomTabControl::TextSize(TcxTab* ATab, const String& AText,
                                    TFont* AFont) {
  TcxScreenCanvas canvas;
  if (AFont)
    canvas.SetFont(AFont);
  else
    PrepareTabCanvasFont(ATab, &canvas);
  return canvas.TextExtent(AText);
}

Integer TcxTab::NormalLongitudinalSize() const {
  return ParentControl()->Rotate() ? tabs_->TabNormalHeight : NormalWidth;
}

TRect TcxTab::NormalRect() const {
  TcxCustomTabControl* c = ParentControl();
  Integer along = c->Rotate() ? c->RowHeight : NormalWidth;
  if (c->IsVerticalText())
    return Bounds(NormalPosition.X, NormalPosition.Y, tabs_->TabNormalHeight,
                  along);
  return Bounds(NormalPosition.X, NormalPosition.Y, along,
                tabs_->TabNormalHeight);
}

TRect TcxTab::FullRect() const {
  TcxCustomTabControl* c = ParentControl();
  Integer visibleIndex = VisibleIndex();
  if (visibleIndex != -1 && c->Painter())
    c->Painter()->CorrectTabRect(visibleIndex, RectCorrection);
  return CorrectRect(NormalRect(), RectCorrection);
}

TRect TcxTab::PartRect() const {
  TcxCustomTabControl* c = ParentControl();
  return VisibleRow < c->TopOrLeftPartRowCount
             ? c->ExtendedTopOrLeftTabsRect
             : c->ExtendedBottomOrRightTabsRect;
}

TRect TcxTab::VisibleRect() const {
  TcxCustomTabControl* c = ParentControl();
  Integer visibleIndex = VisibleIndex();
  if (visibleIndex == -1 || c->RowCount == 0) return TRect();
  if (!c->MultiLine() &&
      (c->FirstVisibleTab == -1 || visibleIndex < c->FirstVisibleTab ||
       visibleIndex > c->LastVisibleTab))
    return TRect();
  TRect result;
  if (!cxRectIntersect(result, FullRect(), PartRect())) return TRect();
  return result;
}

TcxTabPosition TcxTab::PaintingPosition() const {
  TcxCustomTabControl* c = ParentControl();
  bool topOrLeft = VisibleRow < c->TopOrLeftPartRowCount;
  if (IsVerticalPosition(c->TabPosition())) return topOrLeft ? tpLeft : tpRight;
  return topOrLeft ? tpTop : tpBottom;
}

Integer TcxTab::PaintingPositionIndex() const {
  static constexpr Integer kIndex[4][3] = {// ra0, raPlus90, raMinus90
                                           {1, 2, 3},
                                           {10, 11, 12},
                                           {6, 4, 5},
                                           {9, 7, 8}};
  Integer angle;
  switch (ParentControl()->GetTextRotationAngle()) {
    case raPlus90:
      angle = 1;
      break;
    case raMinus90:
      angle = 2;
      break;
    default:
      angle = 0;
      break;
  }
  return kIndex[PaintingPosition()][angle];
}

TRect TcxCustomTabControl::GetTabExtendedTabsRect(
    Integer TabVisibleIndex) const {
  return tabs_->GetVisibleTab(TabVisibleIndex)->PartRect();
}

Integer TcxCustomTabControl::TabDistanceAlongRow() const {
  TcxPCDistance d = painter_->GetTabsNormalDistance();
  return rotate_ ? d.dh : d.dw;
}

Integer TcxCustomTabControl::RowDistance() const {
  TcxPCDistance d = painter_->GetTabsNormalDistance();
  return rotate_ ? d.dw : d.dh;
}

// --- The entry point ---

void TcxCustomTabControl::RequestLayout() {
  if (IsLoading() || layoutInProgress_ || !painter_) return;
  TRestoreOnExit<bool> running(layoutInProgress_, true);
  Integer keptMain = MainTabVisibleIndex;
  if (keptMain >= visibleTabList_->Count()) MainTabVisibleIndex = -1;
  painter_->Init();
  MaxRotatedTabWidth();
  tabs_->ResetTabVerticalTextBitmaps();
  Calculate();
  tabs_->ValidateImageIndexes();
  if (images_ && images_->Count() > 0)
    imageList_->SetImageRotationAngle(InternalGetTextRotationAngle());
  Realign();
  Invalidate();
  MainTabVisibleIndex = keptMain;
  tabs_->SetMainTab();
  SynchronizeHotTrackStates(KeyboardStateToShiftState());
}

void TcxCustomTabControl::CalculateTabNormalSizes() {
  if (tabs_->Count() == 0)
    OutError("CalculateTabNormalSizes",
             cxPCGetResourceString(scxPCTabCountEqualsZero));
  tabs_->TabNormalHeight = painter_->CalculateTabNormalHeight();
  for (Integer i = 0; i < tabs_->Count(); ++i) {
    TcxTab* tab = tabs_->GetTab(i);
    if (tab->Visible())
      painter_->CalculateTabNormalWidth(tab);
    else
      tab->NormalWidth = 0;
  }
}

void TcxCustomTabControl::Calculate() {
  Integer visibleCount = visibleTabList_->Count();
  ExtendedTopOrLeftTabsRect = TRect();
  ExtendedBottomOrRightTabsRect = TRect();
  if (FirstVisibleTab == -1 && visibleCount > 0) FirstVisibleTab = 0;
  if (FirstVisibleTab > visibleCount - 1) FirstVisibleTab = visibleCount - 1;
  LastVisibleTab = FirstVisibleTab;
  if (HotTrackTabVisibleIndex >= visibleCount) HotTrackTabVisibleIndex = -1;
  if (MainTabVisibleIndex >= visibleCount) MainTabVisibleIndex = -1;
  if (PressedTabVisibleIndex >= visibleCount) PressedTabVisibleIndex = -1;
  RowCount = 0;
  if (tabIndex_ > tabs_->Count() - 1) tabIndex_ = tabs_->Count() - 1;
  TopOrLeftPartRowCount = 0;

  if (visibleCount == 0) {
    NavigatorButtons = {};
    SynchronizeNavigatorButtons();
    painter_->GetTabsPosition(NavigatorButtons, TabsPosition);
    return;
  }
  CalculateTabNormalSizes();
  if (multiLine_) {
    NavigatorButtons = {};
    SynchronizeNavigatorButtons();
    painter_->GetTabsPosition(NavigatorButtons, TabsPosition);
    if (TabsPosition.RowLength > 0) {
      PlaceVisibleTabsOnRows(TabsPosition.RowLength, TabDistanceAlongRow());
      CalculateLongitudinalTabPositions();
      CalculateRowHeight();
      RearrangeRows();
    }
  } else {
    RowCount = 1;
    TopOrLeftPartRowCount = (tabPosition_ == tpTop || tabPosition_ == tpLeft);
    CalculateLongitudinalTabPositions();
    if (TabsPosition.RowLength >= 1) {
      Integer first, last;
      InitializeVisibleTabRange(first, last);
      for (Integer i = first; i <= last; ++i) {
        TcxTab* tab = tabs_->GetVisibleTab(i);
        tab->Row = 0;
        tab->VisibleRow = 0;
      }
      CalculateRowHeight();
      CalculateRowPositions();
    }
  }
}

void TcxCustomTabControl::CalculateLongitudinalTabPositions() {
  if (visibleTabList_->Count() == 0) return;
  if (RowCount < 2)
    CalculateOneRowLongitudinalPositions();
  else
    CalculateMultiRowLongitudinalPositions();
  if (TabsPosition.RowLength >= 1) {
    const TRect& e = TabsPosition.ExtendedTabsRect;
    if (IsVerticalPosition(tabPosition_)) {
      ExtendedTopOrLeftTabsRect.Top = ExtendedBottomOrRightTabsRect.Top = e.Top;
      ExtendedTopOrLeftTabsRect.Bottom = ExtendedBottomOrRightTabsRect.Bottom =
          e.Bottom;
    } else {
      ExtendedTopOrLeftTabsRect.Left = ExtendedBottomOrRightTabsRect.Left =
          e.Left;
      ExtendedTopOrLeftTabsRect.Right = ExtendedBottomOrRightTabsRect.Right =
          e.Right;
    }
  }
}

void TcxCustomTabControl::PlaceTabsOfRow(Integer AFirst, Integer ALast,
                                         bool AAllowPartial) {
  bool vertical = IsVerticalPosition(tabPosition_);
  const TRect& n = TabsPosition.NormalTabsRect;
  Integer S = vertical ? n.Top : n.Left;
  Integer L = TabsPosition.RowLength;
  Integer distance = TabDistanceAlongRow();
  bool backwards = IsRightToLeftAlignment() || IsBottomToTopAlignment();
  Integer direction = backwards ? -1 : 1;
  Integer limit = backwards ? S : S + L - 1;
  Integer start = backwards ? S + L - 1 : S;
  Integer end = start;
  for (Integer i = AFirst; i <= ALast; ++i) {
    LastVisibleTab = i;
    TcxTab* tab = tabs_->GetVisibleTab(i);
    end = start + direction * (tab->NormalLongitudinalSize() - 1);
    Integer position = std::min(start, end);
    if (vertical)
      tab->NormalPosition.Y = position;
    else
      tab->NormalPosition.X = position;
    Integer next = end + direction * (distance + 1);
    start = next;
    bool beyond = backwards ? next < limit : next > limit;
    if (beyond && !AAllowPartial) break;
  }
  bool endInside = backwards ? end >= limit : end <= limit;
  IsLastTabFullyVisible = endInside && LastVisibleTab == ALast;
}

void TcxCustomTabControl::CalculateOneRowLongitudinalPositions() {
  Integer last = visibleTabList_->Count() - 1;
  Integer kept = FirstVisibleTab;
  FirstVisibleTab = 0;
  NavigatorButtons = GetNavigatorButtons(true);
  painter_->GetTabsPosition(NavigatorButtons, TabsPosition);
  if (TabsPosition.RowLength < 1) return;
  PlaceTabsOfRow(0, last, true);
  if (!IsLastTabFullyVisible) {
    FirstVisibleTab = std::max(kept, 0);
    NavigatorButtons = GetNavigatorButtons(false);
    painter_->GetTabsPosition(NavigatorButtons, TabsPosition);
    if (TabsPosition.RowLength < 1) return;
    PlaceTabsOfRow(FirstVisibleTab, last, false);
    if (IsLastTabFullyVisible) {
      // Scrolled too far: show as much as still fits before the last tab.
      while (FirstVisibleTab > 0) {
        --FirstVisibleTab;
        PlaceTabsOfRow(FirstVisibleTab, last, false);
        if (!IsLastTabFullyVisible) {
          ++FirstVisibleTab;
          PlaceTabsOfRow(FirstVisibleTab, last, false);
          break;
        }
      }
    }
  }
  SynchronizeNavigatorButtons();
  UpdateButtonsState();
}

void TcxCustomTabControl::CorrectFirstVisibleTab(Integer TabVisibleIndex) {
  if (TabVisibleIndex < FirstVisibleTab) {
    FirstVisibleTab = TabVisibleIndex;
    return;
  }
  if (TabVisibleIndex < LastVisibleTab ||
      (TabVisibleIndex == LastVisibleTab && IsLastTabFullyVisible))
    return;
  painter_->GetTabsPosition(NavigatorButtons, TabsPosition);
  if (TabsPosition.RowLength < 1) {
    FirstVisibleTab = TabVisibleIndex;
    return;
  }
  Integer distance = TabDistanceAlongRow();
  Integer size =
      tabs_->GetVisibleTab(TabVisibleIndex)->NormalLongitudinalSize();
  FirstVisibleTab = TabVisibleIndex;
  while (distance + size < TabsPosition.RowLength && FirstVisibleTab >= 1) {
    --FirstVisibleTab;
    size += distance +
            tabs_->GetVisibleTab(FirstVisibleTab)->NormalLongitudinalSize();
    if (size > TabsPosition.RowLength) {
      ++FirstVisibleTab;
      break;
    }
  }
}

// --- Rows ---

namespace {

struct TRowBalancer {
  std::vector<Integer> Sizes;  // by visible index
  Integer RowWidth;
  Integer TabDistance;

  Integer LineWidth(const TcxPCIndexInterval& I) const {
    Integer w = 0;
    for (Integer i = I.Left; i <= I.Right; ++i) w += Sizes[i];
    return w + TabDistance * (I.Right - I.Left);
  }
  double Deviation(const TcxPCIndexInterval& I) const {
    double free = RowWidth - LineWidth(I);
    return free * free;
  }
  double Total(const TcxPCLineIndexBoundsArray& A) const {
    double t = 0;
    for (const auto& I : A) t += Deviation(I);
    return t;
  }
  static bool Shift(TcxPCLineIndexBoundsArray& A, Integer k, Integer dir) {
    Integer last = static_cast<Integer>(A.size()) - 1;
    if (dir < 0 && k >= 1) {
      --A[k].Left;
      --A[k - 1].Right;
      return true;
    }
    if (dir > 0 && k < last) {
      ++A[k].Right;
      ++A[k + 1].Left;
      return true;
    }
    return false;
  }
  bool TryShift(TcxPCLineIndexBoundsArray& A, Integer k, Integer dir) const {
    TcxPCLineIndexBoundsArray copy = A;
    if (!Shift(copy, k, dir)) return false;
    // A row may not lose its last tab.
    for (const auto& I : copy)
      if (I.Left > I.Right) return false;
    if (!(Deviation(copy[k]) < Deviation(A[k])) ||
        LineWidth(copy[k]) > RowWidth)
      return false;
    A = std::move(copy);
    return true;
  }
  bool Upward(TcxPCLineIndexBoundsArray& A) const {
    double t0 = Total(A);
    TcxPCLineIndexBoundsArray K = A;
    Integer k = static_cast<Integer>(K.size()) - 1;
    while (k >= 0) {
      double p = Total(K);
      if (TryShift(K, k, -1) && Total(K) <= p) continue;
      if (Total(K) < t0) {
        A = std::move(K);
        return true;
      }
      --k;
    }
    return false;
  }
  bool OneWay(TcxPCLineIndexBoundsArray& A, Integer dir) const {
    double t0 = Total(A);
    for (Integer k = 0; k < static_cast<Integer>(A.size()); ++k) {
      TcxPCLineIndexBoundsArray copy = A;
      if (TryShift(copy, k, dir) && Total(copy) < t0) {
        A = std::move(copy);
        return true;
      }
    }
    return false;
  }
  void Balance(TcxPCLineIndexBoundsArray& A) const {
    while (Upward(A) || OneWay(A, +1) || OneWay(A, -1)) {
    }
  }
};

}  // namespace

void TcxCustomTabControl::PlaceVisibleTabsOnRows(Integer ARowWidth,
                                                 Integer ATabDistance) {
  Integer count = visibleTabList_->Count();
  TRowBalancer balancer;
  balancer.RowWidth = ARowWidth;
  balancer.TabDistance = ATabDistance;
  auto balanceRun = [&](Integer AFirst, Integer ALast) {
    if (rotate_ && raggedRight_) return;
    balancer.Sizes.assign(count, 0);
    for (Integer i = 0; i < count; ++i)
      balancer.Sizes[i] = tabs_->GetVisibleTab(i)->NormalLongitudinalSize();
    Integer firstRow = tabs_->GetVisibleTab(AFirst)->Row;
    Integer lastRow = tabs_->GetVisibleTab(ALast)->Row;
    TcxPCLineIndexBoundsArray bounds(lastRow - firstRow + 1);
    for (Integer i = AFirst; i <= ALast; ++i) {
      TcxPCIndexInterval& I = bounds[tabs_->GetVisibleTab(i)->Row - firstRow];
      if (I.Left == -1) I.Left = i;
      I.Right = i;
    }
    balancer.Balance(bounds);
    for (std::size_t r = 0; r < bounds.size(); ++r)
      for (Integer i = bounds[r].Left; i <= bounds[r].Right; ++i)
        tabs_->GetVisibleTab(i)->Row = firstRow + static_cast<Integer>(r);
  };
  auto spansRows = [&](Integer AFirst, Integer ALast) {
    return AFirst < ALast && tabs_->GetVisibleTab(AFirst)->Row !=
                                 tabs_->GetVisibleTab(ALast)->Row;
  };

  RowCount = 1;
  Integer filled = 0;
  Integer runStart = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxTab* tab = tabs_->GetVisibleTab(i);
    Integer s = tab->NormalLongitudinalSize();
    if (s < ARowWidth) {
      if (filled + s > ARowWidth) {
        ++RowCount;
        filled = s + ATabDistance;
      } else {
        filled += s + ATabDistance;
      }
      tab->Row = RowCount - 1;
    } else {
      // A tab at least as long as the row gets a row of its own.
      if (filled != 0) {
        ++RowCount;
        filled = 0;
      }
      if (runStart <= i - 1 && spansRows(runStart, i - 1))
        balanceRun(runStart, i - 1);
      if (!rotate_ && painter_->GetMinTabNormalWidth(i) < ARowWidth)
        tab->NormalWidth = ARowWidth;
      tab->Row = RowCount - 1;
      if (i != count - 1) ++RowCount;
      runStart = i + 1;
    }
  }
  if (count - 1 - runStart >= 1 && spansRows(runStart, count - 1))
    balanceRun(runStart, count - 1);
}

void TcxCustomTabControl::CalculateMultiRowLongitudinalPositions() {
  NavigatorButtons = {};
  painter_->GetTabsPosition(NavigatorButtons, TabsPosition);
  if (TabsPosition.RowLength < 1) return;
  // Rows by Row, not yet rearranged.
  TcxPCLineIndexBoundsArray rows(RowCount);
  for (Integer i = 0; i < visibleTabList_->Count(); ++i) {
    Integer row = tabs_->GetVisibleTab(i)->Row;
    if (row < 0 || row >= RowCount) continue;
    if (rows[row].Left == -1) rows[row].Left = i;
    rows[row].Right = i;
  }
  Integer distance = TabDistanceAlongRow();
  for (const TcxPCIndexInterval& row : rows) {
    if (row.Left == -1) continue;
    if (!rotate_ && !raggedRight_) {
      Integer w0 = 0;
      for (Integer i = row.Left; i <= row.Right; ++i)
        w0 += tabs_->GetVisibleTab(i)->NormalLongitudinalSize();
      Integer w = w0 + distance * (row.Right - row.Left);
      Integer free = TabsPosition.RowLength - w;
      if (free > 0 && w0 > 0) {
        Integer remaining = free;
        for (Integer i = row.Left; i < row.Right; ++i) {
          TcxTab* tab = tabs_->GetVisibleTab(i);
          Integer gain = tab->NormalWidth * free / w0;
          tab->NormalWidth += gain;
          remaining -= gain;
        }
        tabs_->GetVisibleTab(row.Right)->NormalWidth += remaining;
      }
    }
    PlaceTabsOfRow(row.Left, row.Right, false);
  }
}

void TcxCustomTabControl::CalculateRowHeight() {
  if (!rotate_) {
    RowHeight = tabs_->TabNormalHeight;
    return;
  }
  Integer first, last;
  if (options_.Contains(pcoFixedTabWidthWhenRotated)) {
    first = 0;
    last = visibleTabList_->Count() - 1;
  } else {
    InitializeVisibleTabRange(first, last);
  }
  TcxTab* widest = nullptr;
  for (Integer i = first; i <= last; ++i) {
    TcxTab* tab = tabs_->GetVisibleTab(i);
    if (!widest || tab->NormalWidth > widest->NormalWidth) widest = tab;
  }
  MaxRotatedCaptionWidth = widest ? TextSize(widest, widest->Caption()).cx : 0;
  RowHeight = widest ? widest->NormalWidth : 0;
  Integer maxWidth = MaxRotatedTabWidth();
  if (maxWidth > 0 && maxWidth < RowHeight) RowHeight = maxWidth;
}

void TcxCustomTabControl::RearrangeRows() {
  if (RowCount == 0) return;
  bool reverse;
  if (IsVerticalPosition(tabPosition_))
    reverse = (!rotate_ && options_.Contains(pcoTopToBottomText)) !=
              (tabPosition_ == tpRight);
  else {
    reverse = rotate_ && !options_.Contains(pcoTopToBottomText);
    if (tabPosition_ == tpBottom) reverse = !reverse;
  }
  Integer count = visibleTabList_->Count();
  for (Integer i = 0; i < count; ++i) {
    TcxTab* tab = tabs_->GetVisibleTab(i);
    tab->VisibleRow = reverse ? RowCount - tab->Row - 1 : tab->Row;
  }
  Integer partSize = RowCount;
  Integer main = MainTabVisibleIndex;
  if (main != -1 && main < count) {
    Integer selectedRow = tabs_->GetVisibleTab(main)->VisibleRow;
    if (scrollOpposite_) {
      partSize = selectedRow + 1;
    } else if (painter_->IsMainTabBoundWithClient()) {
      Integer shift = RowCount - selectedRow - 1;
      for (Integer i = 0; i < count; ++i) {
        TcxTab* tab = tabs_->GetVisibleTab(i);
        tab->VisibleRow = (tab->VisibleRow + shift) % RowCount;
      }
    }
  }
  TopOrLeftPartRowCount = partSize;
  if (tabPosition_ == tpBottom || tabPosition_ == tpRight) {
    for (Integer i = 0; i < count; ++i) {
      TcxTab* tab = tabs_->GetVisibleTab(i);
      tab->VisibleRow = RowCount - tab->VisibleRow - 1;
    }
    TopOrLeftPartRowCount = RowCount - partSize;
  }
  CalculateRowPositions();
}

void TcxCustomTabControl::CalculateRowPositions() {
  bool vertical = IsVerticalPosition(tabPosition_);
  Integer B = RowDistance();
  const TRect& n = TabsPosition.NormalTabsRect;
  const TRect& e = TabsPosition.ExtendedTabsRect;
  Integer S = vertical ? n.Left : n.Top;
  Integer E = vertical ? n.Right : n.Bottom;
  Integer X0 = vertical ? e.Left : e.Top;
  Integer X1 = vertical ? e.Right : e.Bottom;
  Integer first, last;
  InitializeVisibleTabRange(first, last);
  for (Integer i = first; i <= last; ++i) {
    TcxTab* tab = tabs_->GetVisibleTab(i);
    Integer across;
    if (tab->VisibleRow < TopOrLeftPartRowCount)
      across = tab->VisibleRow * (RowHeight + B) + S;
    else
      across = E - (RowCount - tab->VisibleRow) * RowHeight -
               (RowCount - tab->VisibleRow - 1) * B;
    if (vertical)
      tab->NormalPosition.X = across;
    else
      tab->NormalPosition.Y = across;
  }
  Integer topEnd = std::min(S + TopOrLeftPartRowCount * (RowHeight + B) - B +
                                TabsPosition.TopOrLeftPartExtension,
                            X1);
  Integer bottomStart =
      std::max(E - (RowCount - TopOrLeftPartRowCount) * (RowHeight + B) + B +
                   TabsPosition.BottomOrRightPartExtension,
               X0);
  if (TopOrLeftPartRowCount > 0 && TopOrLeftPartRowCount < RowCount) {
    if (tabPosition_ == tpTop || tabPosition_ == tpLeft) {
      Integer edge = std::min(topEnd + TabsPosition.PartsDistance, X1);
      if (edge > bottomStart) bottomStart = edge;
    } else {
      Integer edge = std::max(bottomStart - TabsPosition.PartsDistance, X0);
      if (edge < topEnd) topEnd = edge;
    }
  }
  if (vertical) {
    ExtendedTopOrLeftTabsRect.Left = X0;
    ExtendedTopOrLeftTabsRect.Right = topEnd;
    ExtendedBottomOrRightTabsRect.Left = bottomStart;
    ExtendedBottomOrRightTabsRect.Right = X1;
  } else {
    ExtendedTopOrLeftTabsRect.Top = X0;
    ExtendedTopOrLeftTabsRect.Bottom = topEnd;
    ExtendedBottomOrRightTabsRect.Top = bottomStart;
    ExtendedBottomOrRightTabsRect.Bottom = X1;
  }
}

Integer TcxCustomTabControl::GetOptimalSize() {
  Integer count = visibleTabList_->Count();
  if (count == 0) return 0;
  CalculateTabNormalSizes();
  painter_->GetTabsPosition(GetNavigatorButtons(true), TabsPosition);
  bool vertical = IsVerticalPosition(tabPosition_);
  const TRect& n = TabsPosition.NormalTabsRect;
  Integer start = vertical ? n.Top : n.Left;
  Integer distance = TabDistanceAlongRow();
  Integer end = start;
  for (Integer i = 0; i < count; ++i) {
    end = start + tabs_->GetVisibleTab(i)->NormalLongitudinalSize();
    start = end + distance;
  }
  Integer rowEnd = vertical ? n.Bottom : n.Right;
  IsLastTabFullyVisible = end <= rowEnd;
  return (vertical ? Height() : Width()) + (end - rowEnd);
}
