#include "cxPCPaintersButtons.h"

// ---------------------------------------------------------------------------
// TcxPCButtonedPainter
// ---------------------------------------------------------------------------

TPoint TcxPCButtonedPainter::GetButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  return Get3DButtonContentPosition(AButton, AState);
}

Integer TcxPCButtonedPainter::GetButtonsRegionHOffset() {
  return ParentInfo()->IsTabsContainer() ? 2 : 0;
}

Integer TcxPCButtonedPainter::GetButtonsRegionWOffset() {
  return ParentInfo()->IsTabsContainer() ? 2 : 0;
}

TRect TcxPCButtonedPainter::GetDisplayRectOffset() {
  TRect r = inherited::GetDisplayRectOffset();
  // Buttons stand apart from the page, so it keeps a gap under the strip.
  if (!ParentInfo()->HideTabs() && ParentInfo()->RowCount() > 0) r.Top += 2;
  return r;
}

TColor TcxPCButtonedPainter::GetTabBodyColor(Integer TabVisibleIndex) {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  if (tab->Highlighted()) return GetHighlightedTabBodyColor();
  TColor color = GetTabColor(TabVisibleIndex);
  if (color == clDefault) color = tab->IsMainTab() ? clBtnHighlight : clBtnFace;
  return color;
}

TcxPCWOffset TcxPCButtonedPainter::GetTabContentWOffset(
    Integer TabVisibleIndex) {
  (void)TabVisibleIndex;
  return IsAssignedImages() ? TcxPCWOffset{3, 4} : TcxPCWOffset{4, 4};
}

TcxPCWOffset TcxPCButtonedPainter::GetTooNarrowTabContentWOffset(
    Integer TabVisibleIndex) {
  return GetTabContentWOffset(TabVisibleIndex);
}

bool TcxPCButtonedPainter::IsTabBorderThick(Integer TabVisibleIndex) {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  return !tab->Tracking() &&
         (tab->Pressed() || tab->Selected() || tab->IsMainTab());
}

// ---------------------------------------------------------------------------
// TcxPCButtonsPainter
// ---------------------------------------------------------------------------

bool TcxPCButtonsPainter::IsTabBorderThick(Integer TabVisibleIndex) {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  return tab->Tracking() || tab->Pressed() || tab->Selected() ||
         tab->IsMainTab();
}

void TcxPCButtonsPainter::PaintTabShape(Integer TabVisibleIndex) {
  TcxCanvas* canvas = Canvas();
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  TRect r = tab->FullRect();
  const bool sunken =
      tab->Pressed() || tab->Selected() || tab->IsMainTab() || tab->Tracking();
  canvas->DrawComplexFrame(r, sunken ? cl3DDkShadow : clBtnHighlight,
                           sunken ? clBtnHighlight : cl3DDkShadow);
  InflateRect(r, -1, -1);
  const TRect focusRect = r;
  canvas->DrawComplexFrame(r, sunken ? clBtnShadow : cl3DLight,
                           sunken ? cl3DLight : clBtnShadow);
  InflateRect(r, -1, -1);
  canvas->FillRect(r, GetTabBodyColor(TabVisibleIndex));
  InternalDrawFocusRect(TabVisibleIndex, focusRect);
}

// ---------------------------------------------------------------------------
// TcxPCFlatButtonsPainter
// ---------------------------------------------------------------------------

void TcxPCFlatButtonsPainter::PaintTabShape(Integer TabVisibleIndex) {
  TcxCanvas* canvas = Canvas();
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  TRect r = tab->FullRect();
  if (!tab->Tracking() &&
      (tab->Pressed() || tab->Selected() || tab->IsMainTab())) {
    InternalDrawEdge(r, true, false);
    InflateRect(r, -2, -2);
  } else if (tab->HotTrack() || tab->Tracking()) {
    const TPoint light[] = {
        {r.Left, r.Bottom - 2}, {r.Left, r.Top}, {r.Right - 2, r.Top}};
    const TPoint shadow[] = {{r.Left, r.Bottom - 1},
                             {r.Right - 1, r.Bottom - 1},
                             {r.Right - 1, r.Top}};
    InternalPolyLine(light, 2, nullptr, clBtnHighlight);
    InternalPolyLine(shadow, 2, nullptr, clBtnShadow);
    InflateRect(r, -1, -1);
  }
  canvas->FillRect(r, GetTabBodyColor(TabVisibleIndex));
  InflateRect(r, 1, 1);
  InternalDrawFocusRect(TabVisibleIndex, r);
}

void TcxPCFlatButtonsPainter::PaintTab(Integer TabVisibleIndex) {
  inherited::PaintTab(TabVisibleIndex);
  if (HasFollowingNeighbour(TabVisibleIndex)) PaintSeparator(TabVisibleIndex);
}

bool TcxPCFlatButtonsPainter::HasFollowingNeighbour(Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  const Integer count = ParentControl()->VisibleTabList()->Count();
  if (!info->Rotate()) {
    if (TabVisibleIndex + 1 >= count) return false;
    return VisibleTab(TabVisibleIndex + 1)->VisibleRow == tab->VisibleRow;
  }
  // Rotated tabs of one row stand in a column; the separator belongs between
  // two rows that line up.
  if (info->RowCount() < 2 || tab->VisibleRow == info->RowCount() - 1)
    return false;
  const bool horizontal = IsHorizontalTabPosition();
  const TRect own = tab->NormalRect();
  for (Integer i = 0; i < count; ++i) {
    TcxTab* other = VisibleTab(i);
    if (other->VisibleRow != tab->VisibleRow + 1) continue;
    const TRect r = other->NormalRect();
    if (horizontal ? r.Left == own.Left : r.Top == own.Top) return true;
  }
  return false;
}

void TcxPCFlatButtonsPainter::PaintSeparator(Integer TabVisibleIndex) {
  TcxCustomTabControl* control = ParentControl();
  TcxCanvas* canvas = Canvas();
  const TRect tabRect = VisibleTab(TabVisibleIndex)->NormalRect();
  const Integer d = GetTabsNormalDistance().dw;
  const bool verticalText = control->InternalIsVerticalText();
  TRect gap = tabRect;
  if (!verticalText) {
    if (control->IsRightToLeftAlignment()) {
      gap.Right = tabRect.Left;
      gap.Left = gap.Right - d;
    } else {
      gap.Left = tabRect.Right;
      gap.Right = gap.Left + d;
    }
  } else if (control->IsBottomToTopAlignment()) {
    gap.Bottom = tabRect.Top;
    gap.Top = gap.Bottom - d;
  } else {
    gap.Top = tabRect.Bottom;
    gap.Bottom = gap.Top + d;
  }
  if (!canvas->RectVisible(gap)) return;

  const Integer offset = (d - 2) / 2;
  TRect shadow, light;
  if (!verticalText) {
    shadow = {gap.Left + offset, gap.Top + 1, gap.Left + offset + 1,
              gap.Bottom - 2};
  } else {
    shadow = {gap.Left + 1, gap.Top + offset, gap.Right - 2,
              gap.Top + offset + 1};
  }
  light = shadow;
  if (!verticalText)
    OffsetRect(light, 1, 0);
  else
    OffsetRect(light, 0, 1);

  canvas->SaveClipRegion();
  canvas->FillRect(shadow, clBtnShadow);
  canvas->FillRect(light, clBtnHighlight);
  canvas->ExcludeClipRect(shadow);
  canvas->ExcludeClipRect(light);
  canvas->FillRect(gap, control->Color());
  canvas->RestoreClipRegion();
  canvas->ExcludeClipRect(gap);
}
