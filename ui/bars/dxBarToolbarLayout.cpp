// The toolbar's layout: where its item controls go, how large it wants to
// be in each docking style, and its separators.
#include <algorithm>

#include "ScopeGuard.h"
#include "dxBar.h"

namespace {

TdxBarRowItemAlign RowAlignOf(TdxBarItemAlign AAlign) {
  switch (AAlign) {
    case iaCenter:
      return TdxBarRowItemAlign::Center;
    case iaRight:
      return TdxBarRowItemAlign::Right;
    case iaClient:
      return TdxBarRowItemAlign::Client;
    default:
      return TdxBarRowItemAlign::Left;
  }
}

bool IsVerticalStyle(TdxBarDockingStyle AStyle) {
  return AStyle == dsLeft || AStyle == dsRight;
}

}  // namespace

std::vector<TdxBarItemControl*> TdxBarControl::VisibleControls() {
  std::vector<TdxBarItemControl*> result;
  TdxBarItemLinks* links = ItemLinks();
  if (!links || !HandleAllocated()) return result;
  for (Integer i = 0; i < links->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = links->VisibleItems(i);
    if (!link->Control()) link->CreateControl();
    if (link->Control()) result.push_back(link->Control());
  }
  return result;
}

std::vector<TdxBarRowItem> TdxBarControl::MeasureItems(
    const std::vector<TdxBarItemControl*>& AControls) {
  std::vector<TdxBarRowItem> items;
  for (TdxBarItemControl* control : AControls) {
    TdxBarRowItem item;
    item.Size = {control->GetRealWidth(), control->GetRealHeight()};
    item.MinWidth = control->GetMinWidth();
    item.Align = RowAlignOf(control->GetAlign());
    item.BeginGroup = control->ItemLink()->BeginGroup();
    item.BeginsNewRow = control->BeginsNewRow;
    items.push_back(item);
  }
  return items;
}

template <class F>
auto TdxBarControl::WithAllItems(F&& AFunc) {
  TdxBarItemLinks* links = ItemLinks();
  const Integer saved = links ? links->RecentItemCount() : -1;
  if (links && saved != -1) links->SetRecentItemCount(-1);
  TScopeGuard restore([&] {
    if (links && saved != -1) links->SetRecentItemCount(saved);
  });
  return AFunc();
}

void TdxBarControl::CalcRowItemRects() {
  const auto controls = VisibleControls();
  auto items = MeasureItems(controls);
  TdxBarRowLayoutParams p;
  const TRect client = ItemsRect();
  p.ClientSize = {client.Width(), client.Height()};
  p.Vertical = IsRealVertical();
  p.MultiLine = GetMultiLine();
  p.MarkSize = DockingStyle() != dsNone ? GetMarkSize() : 0;
  p.BeginGroupSize = GetBeginGroupSize();
  p.CanHideAllItemsInSingleLine = CanHideAllItemsInSingleLine();
  if (dxBarCalcRowItemRects(p, items)) itemsCut_ = true;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    TdxBarItemControl* control = controls[i];
    control->ItemLink()->ItemRect = items[i].Bounds;
    control->RowHeight = items[i].RowHeight;
    control->LastInRow = items[i].LastInRow;
    control->DoCalculateParts();
  }
}

void TdxBarControl::CalcLayout() {
  if (!HandleAllocated() || state_.Contains(bsCreatingControls)) return;
  TCustomdxBarControl::CalcLayout();
}

void TdxBarControlViewInfo::Calculate() {
  auto* bar = static_cast<TdxBarControl*>(BarControl());
  bar->CalcControlsPositions();
  bar->CalcItemRects(bar->GetPaintType(), 0);
  Clear();
  TdxBarItemLinks* links = bar->ItemLinks();
  for (Integer i = 0; links && i < links->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = links->VisibleItems(i);
    TdxBarItemControl* control = link->Control();
    if (!control) continue;
    AddItemControlViewInfo(control->ViewInfo());
    control->ViewInfo()->SetBounds(link->ItemRect);
    CalcSeparatorInfo(link);
  }
}

void TdxBarControlViewInfo::CalcSeparatorInfo(TdxBarItemLink* ALink) {
  auto* bar = static_cast<TdxBarControl*>(BarControl());
  if (!CanShowSeparators() || !ALink->BeginGroup() ||
      IsRectEmpty(ALink->ItemRect)) {
    return;
  }
  TdxBarSeparatorParams p;
  p.Vertical = bar->IsRealVertical();
  const TRect client = bar->ClientRect();
  p.ClientSize = {client.Width(), client.Height()};
  p.Size = bar->GetBeginGroupSize();
  p.Mark = bar->DockingStyle() != dsNone ? bar->GetMarkSize() : 0;
  const auto s =
      dxBarCalcSeparator(p, ALink->ItemRect, ALink->Control()->RowHeight);
  AddSeparatorInfo(s.Bounds, s.Kind, ALink->Control());
}

TRect TdxBarControl::GetFullItemRect(TdxBarItemControl* AControl) const {
  TRect r = GetItemRect(AControl);
  if (IsRectEmpty(r)) return r;
  const Integer row = AControl->RowHeight;
  if (IsRealVertical()) {
    r.Left -= (row - r.Width()) / 2;
    r.Right = r.Left + row;
  } else {
    r.Top -= (row - r.Height()) / 2;
    r.Bottom = r.Top + row;
  }
  return r;
}

bool TdxBarControl::CanAlignControl(TdxBarItemControl* AControl) const {
  TdxBarItemLinks* links = ItemLinks();
  if (!bar_ || !bar_->UseRestSpace || !links || !AControl) return false;
  const Integer count = links->CanVisibleItemCount();
  return count > 0 && links->CanVisibleItems(count - 1) == AControl->ItemLink();
}

// ---------------------------------------------------------------------------
// Sizes
// ---------------------------------------------------------------------------

namespace {

struct TItemExtents {
  Integer Widest = 0;
  Integer Tallest = 0;
  Integer SumWidth = 0;
  Integer SumHeight = 0;
  Integer Groups = 0;
  bool Any = false;
};

}  // namespace

static TItemExtents MeasureCanVisible(TdxBarItemLinks* ALinks) {
  TItemExtents e;
  for (Integer i = 0; ALinks && i < ALinks->CanVisibleItemCount(); ++i) {
    TdxBarItemLink* link = ALinks->CanVisibleItems(i);
    TdxBarItemControl* control = link->Control();
    if (!control) continue;
    const Integer w = control->GetRealWidth();
    const Integer h = control->GetRealHeight();
    e.Widest = std::max(e.Widest, w);
    e.Tallest = std::max(e.Tallest, h);
    e.SumWidth += w;
    e.SumHeight += h;
    if (e.Any && link->BeginGroup()) ++e.Groups;
    e.Any = true;
  }
  return e;
}

TSize TdxBarControl::EmptyButtonSize() {
  return dxBarStandardPaint::ButtonSize(
      BarManager() ? BarManager()->ImageOptions()->CalcGlyphSize() : 16,
      TextSize(), GetPainter());
}

// The first item's size, which a single-line bar shrinks down to; an empty
// button's without items.
TSize TdxBarControl::FirstItemSize() {
  TdxBarItemLinks* links = ItemLinks();
  if (links && links->CanVisibleItemCount() > 0) {
    if (TdxBarItemControl* first = links->CanVisibleItems(0)->Control()) {
      return {first->GetRealWidth(), first->GetRealHeight()};
    }
  }
  return EmptyButtonSize();
}

Integer TdxBarControl::GetMinWidth(TdxBarDockingStyle AStyle) {
  if (IsVerticalStyle(AStyle) || GetMultiLine() || AStyle == dsNone) {
    const Integer empty = EmptyButtonSize().cx;
    const TItemExtents e = MeasureCanVisible(ItemLinks());
    const Integer w = e.Any ? e.Widest : empty;
    return AStyle == dsNone ? std::max(w, empty) : w;
  }
  return FirstItemSize().cx + GetMarkSize();
}

Integer TdxBarControl::GetMinHeight(TdxBarDockingStyle AStyle) {
  if (!IsVerticalStyle(AStyle) || GetMultiLine()) {
    const TItemExtents e = MeasureCanVisible(ItemLinks());
    return e.Any ? e.Tallest : EmptyButtonSize().cy;
  }
  return FirstItemSize().cy + GetMarkSize();
}

Integer TdxBarControl::GetMaxWidth(TdxBarDockingStyle AStyle) {
  const Integer min = GetMinWidth(AStyle);
  return WithAllItems([&] {
    const TItemExtents e = MeasureCanVisible(ItemLinks());
    if (!IsVerticalStyle(AStyle) || GetMultiLine()) {
      Integer w = e.SumWidth + e.Groups * GetBeginGroupSize();
      if (!IsVerticalStyle(AStyle) && AStyle != dsNone) w += GetMarkSize();
      return std::max(min, w);
    }
    return std::max(min, e.Widest);
  });
}

Integer TdxBarControl::GetMaxHeight(TdxBarDockingStyle AStyle) {
  const Integer min = GetMinHeight(AStyle);
  return WithAllItems([&] {
    const TItemExtents e = MeasureCanVisible(ItemLinks());
    if (IsVerticalStyle(AStyle) || GetMultiLine()) {
      Integer h = e.SumHeight + e.Groups * GetBeginGroupSize();
      if (IsVerticalStyle(AStyle)) h += GetMarkSize();
      return std::max(min, h);
    }
    return std::max(min, e.Tallest);
  });
}

TSize TdxBarControl::GetMultiLineBarSize(TdxBarDockingStyle AStyle,
                                         Integer ALength, TSize AMinSize) {
  const auto controls = VisibleControls();
  auto items = MeasureItems(controls);
  TdxBarMultiLineParams p;
  p.Vertical = IsVerticalStyle(AStyle);
  p.MarkSize = AStyle != dsNone ? GetMarkSize() : 0;
  p.BeginGroupSize = GetBeginGroupSize();
  const TSize size = dxBarGetMultiLineBarSize(p, ALength, AMinSize, items);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    controls[i]->BeginsNewRow = items[i].BeginsNewRow;
  }
  return size;
}

TSize TdxBarControl::GetSizeForWidth(TdxBarDockingStyle AStyle,
                                     Integer AWidth) {
  return WithAllItems([&]() -> TSize {
    if (GetMultiLine() && !IsVerticalStyle(AStyle)) {
      const TSize min{GetMinWidth(AStyle), GetMinHeight(AStyle)};
      return GetMultiLineBarSize(AStyle, AWidth, min);
    }
    if (IsVerticalStyle(AStyle)) {
      return {GetMinWidth(AStyle), GetMaxHeight(AStyle)};
    }
    const TItemExtents e = MeasureCanVisible(ItemLinks());
    const Integer measured = e.SumWidth + e.Groups * GetBeginGroupSize();
    const Integer height = e.Any ? e.Tallest : GetMinHeight(AStyle);
    return {std::max(AWidth, measured + GetMarkSize()), height};
  });
}

TSize TdxBarControl::GetSizeForHeight(TdxBarDockingStyle AStyle,
                                      Integer AHeight) {
  return WithAllItems([&]() -> TSize {
    if (GetMultiLine() && IsVerticalStyle(AStyle)) {
      const TSize min{GetMinWidth(AStyle), GetMinHeight(AStyle)};
      return GetMultiLineBarSize(AStyle, AHeight, min);
    }
    if (AStyle == dsNone) {
      // A floating bar breaks its rows by width: the narrowest width whose
      // rows stay within the height (rows only get fewer as it widens).
      const TSize min{GetMinWidth(AStyle), GetMinHeight(AStyle)};
      Integer low = min.cx;
      Integer high = std::max(low, GetMaxWidth(AStyle));
      while (low < high) {
        const Integer mid = low + (high - low) / 2;
        if (GetMultiLineBarSize(AStyle, mid, min).cy <= AHeight) {
          high = mid;
        } else {
          low = mid + 1;
        }
      }
      return GetMultiLineBarSize(AStyle, low, min);
    }
    if (!IsVerticalStyle(AStyle)) {
      return {GetMaxWidth(AStyle), GetMinHeight(AStyle)};
    }
    const TItemExtents e = MeasureCanVisible(ItemLinks());
    const Integer measured = e.SumHeight + e.Groups * GetBeginGroupSize();
    const Integer width = e.Any ? e.Widest : GetMinWidth(AStyle);
    return {width, std::max(AHeight, measured + GetMarkSize())};
  });
}

TSize TdxBarControl::GetTrackSize(TdxBarDockingStyle AStyle) {
  if (GetBehaviorOptions().Contains(bboUnmoved)) AStyle = dsNone;
  const Integer ncx = BarNCSizeX(AStyle);
  const Integer ncy = BarNCSizeY(AStyle);
  if (AStyle == dsNone) {
    const Integer width =
        bar_ && bar_->FloatClientWidth() > 0 ? bar_->FloatClientWidth() : 0;
    const TSize s = GetSizeForWidth(dsNone, width);
    return {s.cx + ncx, s.cy + ncy};
  }
  TdxDockControl* dock = DockControl();
  const bool wholeRow = bar_ && bar_->WholeRow() && dock;
  if (IsVerticalStyle(AStyle)) {
    const Integer h =
        wholeRow ? dock->ClientHeight() - ncy : GetMaxHeight(AStyle);
    const TSize s = GetSizeForHeight(AStyle, h);
    return {s.cx + ncx, wholeRow ? dock->ClientHeight() : s.cy + ncy};
  }
  const Integer w = wholeRow ? dock->ClientWidth() - ncx : GetMaxWidth(AStyle);
  const TSize s = GetSizeForWidth(AStyle, w);
  return {wholeRow ? dock->ClientWidth() : s.cx + ncx, s.cy + ncy};
}
