// The geometry of toolbar rows, separators and dock rows (see the header).
#include "dxBarControlsLayout.h"

#include <algorithm>

namespace {

// Along and across the row for an item of a horizontal or vertical bar.
Integer LengthOf(const TdxBarRowItem& Item, bool Vertical) {
  return Vertical ? Item.Size.cy : Item.Size.cx;
}
Integer ThicknessOf(const TdxBarRowItem& Item, bool Vertical) {
  return Vertical ? Item.Size.cx : Item.Size.cy;
}

// Moves the rectangle along (Along) and across (Across) a row.
void ShiftAlong(TRect& R, bool Vertical, Integer Delta) {
  if (Vertical) {
    R.Top += Delta;
    R.Bottom += Delta;
  } else {
    R.Left += Delta;
    R.Right += Delta;
  }
}
Integer EndAlong(const TRect& R, bool Vertical) {
  return Vertical ? R.Bottom : R.Right;
}
Integer StartAlong(const TRect& R, bool Vertical) {
  return Vertical ? R.Top : R.Left;
}

// Centres the items [First, Last) of a finished row across it and gives
// them the row's thickness as their row height. Items of a vertical bar
// are anchored at the column's right edge, so they move to the left.
void CentreRow(std::vector<TdxBarRowItem>& Items, std::size_t First,
               std::size_t Last, Integer RowThickness, bool Vertical) {
  for (std::size_t i = First; i < Last; ++i) {
    TdxBarRowItem& item = Items[i];
    const Integer delta = (RowThickness - ThicknessOf(item, Vertical)) / 2;
    if (Vertical) {
      item.Bounds.Left -= delta;
      item.Bounds.Right -= delta;
    } else {
      item.Bounds.Top += delta;
      item.Bounds.Bottom += delta;
    }
    item.RowHeight = RowThickness;
  }
}

}  // namespace

bool dxBarCalcRowItemRects(const TdxBarRowLayoutParams& P,
                           std::vector<TdxBarRowItem>& Items) {
  const bool vert = P.Vertical;
  bool itemsCut = false;
  Integer lineLength = vert ? P.ClientSize.cy : P.ClientSize.cx;
  lineLength -= P.MarkSize;
  Integer rowThickness = 0;
  if (!P.MultiLine) {
    rowThickness = vert ? P.ClientSize.cx : P.ClientSize.cy;
    lineLength -= P.MDILength;
  }
  Integer mdiLength = P.MultiLine ? P.MDILength : 0;
  Integer rowOffset = 0;
  Integer pos = 0;
  std::size_t rowStart = 0;
  std::size_t placed = 0;  // items with a place so far
  for (auto& item : Items) {
    item.Bounds = TRect{};
    item.RowHeight = 0;
    item.LastInRow = false;
  }
  for (std::size_t i = 0; i < Items.size(); ++i) {
    TdxBarRowItem& item = Items[i];
    const Integer length = LengthOf(item, vert);
    const Integer thickness = ThicknessOf(item, vert);
    Integer gap = item.BeginGroup && pos > 0 ? P.BeginGroupSize : 0;
    const bool overflows =
        (pos > 0 || (!P.MultiLine && P.CanHideAllItemsInSingleLine)) &&
        pos + gap + length > lineLength;
    const bool wraps =
        overflows || (P.MultiLine && item.BeginsNewRow && i > rowStart);
    if (wraps) {
      if (!P.MultiLine) break;
      if (i > 0) Items[i - 1].LastInRow = true;
      CentreRow(Items, rowStart, i, rowThickness, vert);
      rowOffset += rowThickness + gap;
      rowStart = i;
      pos = 0;
      gap = 0;
      rowThickness = 0;
    }
    const Integer start = pos + gap;
    if (P.MultiLine) {
      if (vert) {
        item.Bounds = Bounds(P.ClientSize.cx - rowOffset - item.Size.cx, start,
                             item.Size.cx, item.Size.cy);
      } else {
        item.Bounds = Bounds(start, rowOffset, item.Size.cx, item.Size.cy);
      }
    } else if (vert) {
      item.Bounds = Bounds((rowThickness - item.Size.cx) / 2, start,
                           item.Size.cx, item.Size.cy);
    } else {
      item.Bounds = Bounds(start, (rowThickness - item.Size.cy) / 2,
                           item.Size.cx, item.Size.cy);
    }
    if (item.Align != TdxBarRowItemAlign::Left) {
      // The MDI buttons keep the end of the line when the aligned item
      // still leaves them room there.
      if (mdiLength > 0 &&
          EndAlong(item.Bounds, vert) <= lineLength - mdiLength) {
        lineLength -= mdiLength;
        mdiLength = 0;
      }
      const Integer end = EndAlong(item.Bounds, vert);
      switch (item.Align) {
        case TdxBarRowItemAlign::Center:
          ShiftAlong(item.Bounds, vert, (lineLength - end) / 2);
          break;
        case TdxBarRowItemAlign::Right:
          ShiftAlong(item.Bounds, vert, lineLength - end);
          break;
        default: {
          const Integer itemStart = StartAlong(item.Bounds, vert);
          const Integer newEnd =
              std::max(lineLength, itemStart + item.MinWidth);
          (vert ? item.Bounds.Bottom : item.Bounds.Right) = newEnd;
          break;
        }
      }
      pos = lineLength;
      if (i + 1 < Items.size()) itemsCut = true;
    } else {
      pos = start + length;
    }
    item.RowHeight = rowThickness;
    rowThickness = std::max(rowThickness, thickness);
    placed = i + 1;
  }
  if (placed > 0) Items[placed - 1].LastInRow = true;
  if (P.MultiLine) CentreRow(Items, rowStart, placed, rowThickness, vert);
  return itemsCut;
}

TSize dxBarGetMultiLineBarSize(const TdxBarMultiLineParams& P,
                               Integer AvailableLength, TSize MinSize,
                               std::vector<TdxBarRowItem>& Items) {
  const bool vert = P.Vertical;
  const Integer minLength = vert ? MinSize.cy : MinSize.cx;
  const Integer minThickness = vert ? MinSize.cx : MinSize.cy;
  Integer available = std::max(AvailableLength, minLength) - P.MarkSize;
  Integer pos = 0;
  Integer rowThickness = 0;
  Integer widest = 0;
  Integer sum = 0;
  // The latest group start of the current row: its index, the position
  // before its gap and the row's thickness before it.
  std::size_t groupStart = Items.size();
  Integer groupPos = 0;
  Integer groupThickness = 0;
  bool splitGroup = false;
  std::size_t i = 0;
  while (i < Items.size()) {
    TdxBarRowItem& item = Items[i];
    const Integer length = LengthOf(item, vert);
    const Integer thickness = ThicknessOf(item, vert);
    Integer gap = 0;
    if (item.BeginGroup && pos > 0) {
      gap = P.BeginGroupSize;
      groupStart = i;
      groupPos = pos;
      groupThickness = rowThickness;
    }
    const bool breaks = pos > 0 && (pos + gap + length > available ||
                                    (splitGroup && item.BeginGroup));
    if (!breaks) {
      item.BeginsNewRow = false;
      pos += gap + length;
      rowThickness = std::max(rowThickness, thickness);
      ++i;
      continue;
    }
    if (groupStart < i && groupPos > 0) {
      // Break before the whole group rather than inside it.
      widest = std::max(widest, groupPos);
      sum += groupThickness + P.BeginGroupSize;
      i = groupStart;
      splitGroup = false;
    } else {
      widest = std::max(widest, pos);
      sum += rowThickness + gap;
      splitGroup = !item.BeginGroup;
    }
    Items[i].BeginsNewRow = true;
    groupStart = Items.size();
    pos = LengthOf(Items[i], vert);
    rowThickness = ThicknessOf(Items[i], vert);
    ++i;
  }
  Integer thickness = Items.empty() ? 0 : sum + rowThickness;
  const Integer mdiLength = vert ? P.MDISize.cy : P.MDISize.cx;
  const Integer mdiThickness = vert ? P.MDISize.cx : P.MDISize.cy;
  if (mdiLength > 0) {
    if (pos + mdiLength <= available) {
      pos += mdiLength;
      rowThickness = std::max(rowThickness, mdiThickness);
      thickness = sum + rowThickness;
    } else {
      thickness += mdiThickness;
    }
  }
  widest = std::max(widest, pos);
  const Integer length = std::max(minLength, widest);
  thickness = std::max(thickness, minThickness);
  return vert ? TSize{thickness, length} : TSize{length, thickness};
}

TdxBarSeparatorGeometry dxBarCalcSeparator(const TdxBarSeparatorParams& P,
                                           const TRect& R, Integer RowHeight) {
  TdxBarSeparatorGeometry result;
  if (!P.Vertical) {
    if (R.Left == 0 && R.Top > 0) {
      result.Kind = skHorizontal;
      result.Bounds = Bounds(0, R.Top - (RowHeight - R.Height()) / 2 - P.Size,
                             P.ClientSize.cx - P.Mark, P.Size);
    } else {
      result.Kind = skVertical;
      result.Bounds =
          Bounds(R.Left - P.Size, R.Top - (RowHeight - R.Height()) / 2, P.Size,
                 RowHeight);
    }
  } else if (R.Top > 0) {
    result.Kind = skHorizontal;
    result.Bounds = Bounds(R.Left - (RowHeight - R.Width()) / 2, R.Top - P.Size,
                           RowHeight, P.Size);
  } else {
    result.Kind = skVertical;
    result.Bounds = Bounds(R.Right + (RowHeight - R.Width()) / 2, 0, P.Size,
                           P.ClientSize.cy - P.Mark);
  }
  return result;
}

// --- Dock rows ---------------------------------------------------------------

void dxDockGetZoneMargins(const TdxDockRowsGeometry& G, Integer Row,
                          Integer Zone, Integer& Start, Integer& End) {
  const Integer z = G.ZoneSize;
  const Integer count = static_cast<Integer>(G.Rows.size());
  if (Row < 0) {
    Start = G.TopLeft ? -z : G.ClientExtent - G.ClientSize - z;
    End = Start + z;
  } else if (Row >= count) {
    Start = G.TopLeft ? G.ClientSize : G.ClientExtent;
    End = Start + z;
  } else {
    Start = G.Rows[Row].Start;
    End = G.Rows[Row].End;
  }
  const Integer margin = (z - dxBarNewRowBandSize) / 2;
  const Integer band =
      G.TopLeft ? Start + margin : End - margin - dxBarNewRowBandSize;
  switch (Zone) {
    case 0:
      End = band;
      break;
    case 1:
      Start = band;
      End = band + dxBarNewRowBandSize;
      break;
    default:
      Start = band + dxBarNewRowBandSize;
      break;
  }
}

Integer dxDockGetRowAtPos(const TdxDockRowsGeometry& G, Integer Across,
                          bool& NewRow) {
  const Integer count = static_cast<Integer>(G.Rows.size());
  NewRow = true;
  if (count == 0) return 0;
  for (Integer row = -1; row < count; ++row) {
    for (Integer zone = 0; zone < 3; ++zone) {
      Integer start = 0;
      Integer end = 0;
      dxDockGetZoneMargins(G, row, zone, start, end);
      if (Across < start || Across >= end) continue;
      Integer result = zone == 0 ? row : row + 1;
      NewRow = zone == 1 || result < 0 || result >= count;
      // Before the first row there is no row to join: both outer zones
      // ask for a new first row, the one next to the dock joins it.
      if (result < 0) result = 0;
      return result;
    }
  }
  return Across < G.ClientSize ? 0 : count;
}

Integer dxDockCalcRowPositions(std::vector<TdxDockColLayout>& Cols,
                               Integer LineLength, bool AutoAlignBars,
                               const TdxDockThicknessFunc& ThicknessFor) {
  if (Cols.empty()) return 0;
  const std::size_t n = Cols.size();
  // Sums of the minimum and maximum lengths of the columns before each.
  std::vector<Integer> minBefore(n + 1, 0);
  std::vector<Integer> maxBefore(n + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    minBefore[i + 1] = minBefore[i] + Cols[i].MinLength;
    maxBefore[i + 1] = maxBefore[i] + Cols[i].MaxLength;
  }
  auto fullThickness = [&](std::size_t i) {
    return Cols[i].MultiLine ? ThicknessFor(i, Cols[i].Length)
                             : Cols[i].MaxThickness;
  };
  for (auto& c : Cols) c.ItemsCut = false;
  if (Cols[0].WholeRow) {
    TdxDockColLayout& c = Cols[0];
    c.Pos = 0;
    c.Length = std::max(LineLength, c.MinLength);
    c.Thickness = ThicknessFor(0, c.Length);
    c.ItemsCut = !c.MultiLine && c.Length < c.MaxLength;
  } else if (LineLength >= maxBefore[n]) {
    Integer limit = LineLength;
    for (std::size_t i = n; i-- > 0;) {
      TdxDockColLayout& c = Cols[i];
      c.Length = c.MaxLength;
      c.Thickness = fullThickness(i);
      Integer pos = c.WantedPos;
      if (pos + c.Length > limit) pos = limit - c.Length;
      c.Pos = std::max(pos, maxBefore[i]);
      limit = c.Pos;
    }
  } else {
    Integer limit = LineLength;
    for (std::size_t i = n; i-- > 0;) {
      TdxDockColLayout& c = Cols[i];
      if (i == 0) {
        c.Length = std::max(limit, c.MinLength);
        c.Pos = 0;
        c.Thickness = c.Length < c.MaxLength ? ThicknessFor(0, c.Length)
                                             : fullThickness(0);
        c.ItemsCut = c.Length < c.MaxLength && !c.MultiLine &&
                     c.MinLength != c.MaxLength;
        break;
      }
      Integer wanted = std::clamp(c.WantedPos, minBefore[i], maxBefore[i]);
      const TdxDockColLayout& prev = Cols[i - 1];
      if (prev.Moving) {
        const Integer after =
            std::max(prev.WantedPos, minBefore[i - 1]) + prev.MaxLength;
        wanted = std::min(wanted, after);
        c.WantedPos = wanted;
      }
      const Integer room = limit - wanted;
      if (room < c.MaxLength) {
        c.Length = std::max(room, c.MinLength);
        c.Thickness = ThicknessFor(i, c.Length);
        c.ItemsCut = !c.MultiLine && c.MinLength != c.MaxLength;
      } else {
        c.Length = c.MaxLength;
        c.Thickness = fullThickness(i);
      }
      c.Pos = std::clamp(limit - c.Length, minBefore[i], maxBefore[i]);
      limit = c.Pos;
    }
  }
  // Packing: bars that take the rest of the row, or all bars when the
  // manager aligns them, close the gaps between them.
  for (std::size_t i = 0; i < n; ++i) {
    TdxDockColLayout& c = Cols[i];
    if (!c.UseRestSpace && !AutoAlignBars) continue;
    c.Pos = i == 0 ? 0 : Cols[i - 1].Pos + Cols[i - 1].Length;
    if (c.UseRestSpace) {
      const Integer end = i + 1 < n ? Cols[i + 1].Pos : LineLength;
      c.Length = std::max(end - c.Pos, c.MinLength);
      c.Thickness = ThicknessFor(i, c.Length);
    }
  }
  TdxDockColLayout& last = Cols[n - 1];
  if (last.ItemsCut && !last.WholeRow) {
    last.Length = std::max(LineLength - last.Pos, last.MinLength);
    last.Thickness = ThicknessFor(n - 1, last.Length);
  }
  Integer rowThickness = 0;
  for (const auto& c : Cols) rowThickness = std::max(rowThickness, c.Thickness);
  for (auto& c : Cols) c.Thickness = rowThickness;
  return rowThickness;
}
