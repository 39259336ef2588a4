#include "cxDrawTextUtils.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "Handles.h"
#include "SysUtils.h"
#include "cxGraphics.h"

namespace {

constexpr char kEllipsis[] = "...";
constexpr Integer kEllipsisLength = sizeof(kEllipsis) - 1;
// GetTabbedTextExtent answers in 16-bit words; longer texts go through
// DrawText instead.
constexpr Integer kMaxTabbedExtentLength = 4096;

bool IsJustified(const TcxTextParams& P) {
  return P.TextAlignX == taJustifyX || P.TextAlignX == taDistributeX;
}

bool IsBreakChar(char C, const TcxTextParams& P) {
  return C == static_cast<char>(P.BreakChar) || C == '\t';
}

// Bytes of the character at p: two for a double-byte character on a
// far-east locale, one otherwise.
Integer CharLength(const char* p, const char* end) {
  if (SysLocale.FarEast && p + 1 < end &&
      IsDBCSLeadByte(static_cast<BYTE>(*p))) {
    return 2;
  }
  return 1;
}

// The longest run of whole characters from text that is at most count
// bytes long.
Integer WholeChars(const char* text, Integer count, const char* end) {
  if (!SysLocale.FarEast) return count;
  const char* p = text;
  while (p - text < count) {
    const Integer n = CharLength(p, end);
    if (p - text + n > count) break;
    p += n;
  }
  return static_cast<Integer>(p - text);
}

Integer PlainWidth(HDC DC, const char* text, Integer length) {
  SIZE size{};
  if (length > 0) GetTextExtentPoint32A(DC, text, length, &size);
  return size.cx;
}

// The text makes the canvas select its font into its DC.
void MakeFontCurrent(TCanvas* ACanvas) { ACanvas->TextWidth(String()); }

// How many characters of a row fit, and their width, found by halving and
// a binary search over prefix extents so that breaking a row measures
// character by character only past this point.
struct TFit {
  Integer Count = 0;
  Integer Width = 0;
};

TFit EstimateFit(HDC DC, const char* text, const char* end, Integer width) {
  const Integer length = static_cast<Integer>(end - text);
  const Integer whole = PlainWidth(DC, text, length);
  // Far too long a text is measured from its first character on: the
  // search would cost more than it saves. (No character is taken as fitting
  // unmeasured, or a row could come out wider than the rectangle.)
  if (whole > Int64{8} * width) return {};
  if (whole <= width) return {length, whole};
  Integer low = length;
  Integer lowWidth = whole;
  while (low >= 2 && lowWidth > width) {
    low = WholeChars(text, low / 2, end);
    lowWidth = PlainWidth(DC, text, low);
  }
  TFit fit{low, lowWidth};
  Integer lo = low;
  Integer hi = length - 1;  // the whole text is known not to fit
  while (lo < hi) {
    const Integer mid = lo + (hi - lo + 1) / 2;
    const Integer midWidth = PlainWidth(DC, text, mid);
    if (midWidth <= width) {
      lo = mid;
      fit = {mid, midWidth};
      if (midWidth == width) break;
    } else {
      hi = mid - 1;
    }
  }
  const Integer kept = WholeChars(text, fit.Count, end);
  if (kept != fit.Count) {
    fit = {kept, PlainWidth(DC, text, kept)};
  }
  if (fit.Width > width && fit.Count > 1) {
    fit.Count = WholeChars(text, fit.Count - 1, end);
    fit.Width = PlainWidth(DC, text, fit.Count);
  }
  return fit;
}

// Makes one row from text and returns where the next row starts. last: the
// row may be the last one (it then takes the end ellipsis cut).
const char* MakeRow(HDC DC, const char* text, const char* end,
                    const char* whole, Integer width, const TcxTextParams& P,
                    bool last, TcxTextRow& row) {
  const bool justified = IsJustified(P);
  const bool wordBreak = !P.SingleLine && (P.WordBreak || justified);
  const bool charBreak = wordBreak && P.CharBreak;
  const bool ellipsisCut =
      last && P.EndEllipsis && !P.WholeRows && !P.NoClip && !justified;
  const bool measure = wordBreak || ellipsisCut || P.SingleLine;
  const bool newlineEndsRow = !P.SingleLine && !ellipsisCut;

  TFit fit;
  if (measure) fit = EstimateFit(DC, text, end, width);
  Integer rowWidth = fit.Width;
  Integer breaks = 0;
  const char* lastBreak = nullptr;
  bool endedByNewline = false;
  const char* q = text;
  while (q < end) {
    const char c = *q;
    if (newlineEndsRow && (c == '\r' || c == '\n')) {
      endedByNewline = true;
      break;
    }
    const Integer n = CharLength(q, end);
    if (n == 1 && IsBreakChar(c, P)) {
      ++breaks;
      lastBreak = q;
    }
    if (measure && q - text >= fit.Count) {
      if (P.ExpandTabs) {
        TSize size;
        cxCalcTextExtents(DC, text, static_cast<Integer>(q + n - text), size,
                          true);
        rowWidth = size.cx;
      } else {
        rowWidth += PlainWidth(DC, q, n);
      }
      if (rowWidth > width) {
        if (P.SingleLine || ellipsisCut) {
          q += n;
          break;
        }
        if (lastBreak) {
          q = lastBreak + 1;
          break;
        }
        if (charBreak) {
          if (q == text) q += n;
          break;
        }
        // Without a break the word runs on past the edge.
      }
    }
    q += n;
  }
  // The last row of a paragraph is not justified.
  if (endedByNewline && P.TextAlignX == taJustifyX) breaks = 0;

  const char* rowEnd = q;
  if (justified) {
    while (rowEnd > text && IsBreakChar(rowEnd[-1], P)) {
      --rowEnd;
      if (breaks > 0) --breaks;
    }
  }
  row = TcxTextRow{};
  row.Text = text;
  row.TextLength = static_cast<Integer>(rowEnd - text);
  row.BreakCount = breaks;
  row.StartOffset = static_cast<Integer>(text - whole);
  cxCalcTextRowExtents(DC, row, P);

  const char* next = q;
  while (next < end && *next == static_cast<char>(P.BreakChar)) ++next;
  if (next < end && *next == '\t') ++next;
  if (next < end && *next == '\r') {
    ++next;
    row.BreakCount = 0;
  }
  if (next < end && *next == '\n') ++next;
  if (next >= end && P.TextAlignX == taJustifyX) row.BreakCount = 0;
  return next > text ? next : text + 1;
}

bool MakeRows(HDC DC, const char* text, Integer length, const TRect& R,
              Integer maxRowCount, Integer& rowCount, TcxTextRows& rows,
              const TcxTextParams& P) {
  rows.clear();
  rowCount = 0;
  if (!text || length <= 0) return true;
  const char* end = text + length;
  if (P.CalcRect && P.SingleLine) {
    rows.resize(1);
    rows[0].Text = text;
    rows[0].TextLength = length;
    cxCalcTextRowExtents(DC, rows[0], P);
    rowCount = 1;
    return true;
  }
  const Integer width = R.Right - R.Left;
  const Integer height = R.Bottom - R.Top;
  Integer used = 0;
  bool last = false;
  const char* q = text;
  while (q < end && !last && (maxRowCount <= 0 || rowCount < maxRowCount)) {
    used += P.RowHeight;
    if (P.SingleLine) {
      last = true;
    } else if (P.TextAlignY != taTop || P.CalcRect) {
      last = maxRowCount > 0 && rowCount + 1 >= maxRowCount;
    } else {
      // A row that ends exactly at the bottom is the last one too: the next
      // would not show, and the cut text needs its ellipsis on this row.
      last = height <= used ||
             (P.WholeRows && !P.NoClip && height < used + P.RowHeight);
    }
    if (static_cast<size_t>(rowCount) == rows.size()) {
      rows.resize(rows.size() + 4);
    }
    q = MakeRow(DC, q, end, text, width, P, last, rows[rowCount]);
    ++rowCount;
  }
  rows.resize(rowCount);
  return !(maxRowCount > 0 && rowCount >= maxRowCount && q < end &&
           !P.SingleLine && !P.CalcRect);
}

void IntersectClip(HDC DC, const TRect& R) {
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
}

void DrawRowText(HDC DC, const TcxTextRow& row, const TcxTextParams& P) {
  const Integer x = row.TextOrigin.X;
  const Integer y = row.TextOrigin.Y;
  if (P.ExpandTabs) {
    TabbedTextOutA(DC, x, y, row.Text, row.TextLength, 0, nullptr, x);
  } else {
    TextOutA(DC, x, y, row.Text, row.TextLength);
  }
}

// "..." at x when x lies left of R's right edge; cut at the row rectangle
// when it would stick out.
void DrawEllipsis(HDC DC, Integer x, Integer y, const TRect& rowRect,
                  const TRect& R, const TcxTextParams& P) {
  if (x >= R.Right) return;
  UINT options = 0;
  const RECT* clip = nullptr;
  if (x + P.EllipsisWidth > R.Right && !P.NoClip) {
    options = ETO_CLIPPED;
    clip = reinterpret_cast<const RECT*>(&rowRect);
  }
  ExtTextOutA(DC, x, y, options, clip, kEllipsis, kEllipsisLength, nullptr);
}

}  // namespace

Cardinal cxMakeFormat(TcxTextAlignX AlignX, TcxTextAlignY AlignY) {
  return static_cast<Cardinal>(AlignX) +
         (static_cast<Cardinal>(AlignY) << cxtoAlignYShift);
}

TcxTextParams cxCalcTextParams(HDC DC, Cardinal Flags) {
  TEXTMETRICA tm{};
  GetTextMetricsA(DC, &tm);
  TcxTextParams p;
  p.ExternalLeadingUsed = (Flags & cxtoExternalLeading) != 0;
  p.LineHeight = tm.tmHeight;
  p.ExternalLeading = p.ExternalLeadingUsed ? tm.tmExternalLeading : 0;
  p.RowHeight = p.LineHeight + p.ExternalLeading;
  p.EndEllipsis = (Flags & cxtoEndEllipsis) != 0;
  if (p.EndEllipsis)
    p.EllipsisWidth = PlainWidth(DC, kEllipsis, kEllipsisLength);
  p.BreakChar = static_cast<Byte>(tm.tmBreakChar);
  p.TextAlignX = static_cast<Byte>(Flags & cxtoAlignXMask);
  p.TextAlignY = static_cast<Byte>((Flags & cxtoAlignYMask) >> cxtoAlignYShift);
  p.WordBreak = (Flags & cxtoWordBreak) != 0;
  p.SingleLine = (Flags & cxtoSingleLine) != 0;
  p.ExpandTabs = (Flags & cxtoExpandTabs) != 0;
  p.WholeRows = (Flags & cxtoWholeRows) != 0;
  p.NoClip = (Flags & cxtoNoClip) != 0;
  p.Reserved10000 = (Flags & cxtoReserved10000) != 0;
  p.KeepLeftInside = (Flags & cxtoKeepLeftInside) != 0;
  p.KeepTopInside = (Flags & cxtoKeepTopInside) != 0;
  p.CharBreak = (Flags & cxtoCharBreak) != 0 || SysLocale.FarEast;
  p.ReturnRowCount = (Flags & cxtoReturnRowCount) != 0;
  p.CalcRect = (Flags & cxtoCalcRect) != 0;
  p.MaxCharWidth = tm.tmMaxCharWidth;
  p.CharSet = tm.tmCharSet;
  return p;
}

TcxTextParams cxCalcTextParams(TCanvas* ACanvas, Cardinal Flags) {
  MakeFontCurrent(ACanvas);
  return cxCalcTextParams(ACanvas->Handle(), Flags);
}

void cxCalcTextExtents(HDC DC, const char* Text, Integer Length, TSize& Size,
                       bool ExpandTabs) {
  Size = TSize{};
  if (!Text || Length <= 0) return;
  if (!ExpandTabs) {
    SIZE size{};
    GetTextExtentPoint32A(DC, Text, Length, &size);
    Size = {size.cx, size.cy};
  } else if (Length <= kMaxTabbedExtentLength) {
    const DWORD extent = GetTabbedTextExtentA(DC, Text, Length, 0, nullptr);
    Size = {LOWORD(extent), HIWORD(extent)};
  } else {
    RECT r{};
    Size.cy =
        DrawTextA(DC, Text, Length, &r,
                  DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    Size.cx = r.right - r.left;
  }
}

void cxCalcTextRowExtents(HDC DC, TcxTextRow& Row,
                          const TcxTextParams& Params) {
  cxCalcTextExtents(DC, Row.Text, Row.TextLength, Row.TextExtents,
                    Params.ExpandTabs);
}

bool cxMakeTextRows(HDC DC, const char* Text, const TRect& R,
                    Integer MaxRowCount, Integer& RowCount, TcxTextRows& Rows,
                    const TcxTextParams& Params) {
  const Integer length = Text ? static_cast<Integer>(std::strlen(Text)) : 0;
  return MakeRows(DC, Text, length, R, MaxRowCount, RowCount, Rows, Params);
}

bool cxMakeTextRows(TCanvas* ACanvas, const char* Text, const TRect& R,
                    Integer MaxRowCount, Integer& RowCount, TcxTextRows& Rows,
                    const TcxTextParams& Params) {
  MakeFontCurrent(ACanvas);
  return cxMakeTextRows(ACanvas->Handle(), Text, R, MaxRowCount, RowCount, Rows,
                        Params);
}

void cxPlaceTextRows(HDC, const TRect& R, TcxTextParams& Params,
                     Integer RowCount, TcxTextRows& Rows) {
  RowCount = std::min(RowCount, static_cast<Integer>(Rows.size()));
  if (RowCount <= 0) return;
  const Integer width = R.Right - R.Left;
  const Integer height = R.Bottom - R.Top;
  Integer spread = 0;
  if (RowCount > 1 && Params.TextAlignY == taDistributeY) {
    const Integer freeHeight = height - Params.LineHeight;
    const Integer gaps = RowCount - 1;
    if (Params.LineHeight * gaps < freeHeight) {
      Params.RowHeight = freeHeight / gaps;
      spread = freeHeight % gaps;
    }
  }
  Integer y;
  switch (Params.TextAlignY) {
    case taCenterY:
      y = R.Top + (height - RowCount * Params.RowHeight) / 2;
      break;
    case taBottom:
      y = R.Bottom - RowCount * Params.RowHeight + Params.ExternalLeading;
      break;
    default:
      y = R.Top;
  }
  if (Params.KeepTopInside) y = std::max(y, R.Top);
  for (Integer i = 0; i < RowCount; ++i) {
    TcxTextRow& row = Rows[i];
    Integer x;
    switch (Params.TextAlignX) {
      case taCenterX:
        x = R.Left + (width - row.TextExtents.cx) / 2;
        break;
      case taRight:
        x = R.Right - row.TextExtents.cx;
        break;
      default:
        x = R.Left;
    }
    if (Params.KeepLeftInside) x = std::max(x, R.Left);
    row.TextOrigin = {x, y};
    y += Params.RowHeight + (i < spread ? 1 : 0);
  }
}

TRect cxPrepareRect(const TRect& R, const TcxTextParams&, Integer LeftIndent,
                    Integer RightIndent) {
  TRect result = R;
  result.Left += LeftIndent;
  result.Right -= RightIndent;
  return result;
}

void cxTextRowsOutHighlight(HDC DC, const TRect& R, const TcxTextParams& Params,
                            const TcxTextRows& Rows, Integer RowCount,
                            Integer SelStart, Integer SelLength,
                            TColor SelBkColor, TColor SelTextColor,
                            bool ForceEllipsis) {
  RowCount = std::min(RowCount, static_cast<Integer>(Rows.size()));
  const Integer width = R.Right - R.Left;
  const COLORREF selText = static_cast<COLORREF>(ColorToRGB(SelTextColor));
  const int oldBkMode = SetBkMode(DC, TRANSPARENT);
  TBrushHandle selBrush;
  if (SelLength > 0 && SelBkColor != clNone) {
    selBrush.reset(
        CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(SelBkColor))));
  }
  const Integer selEnd = SelStart + SelLength;

  for (Integer i = 0; i < RowCount; ++i) {
    TcxTextRow row = Rows[i];
    const bool lastRow = i == RowCount - 1;
    const Integer x = row.TextOrigin.X;
    const Integer y = row.TextOrigin.Y;
    const TRect rowRect{R.Left, y, R.Right, y + Params.RowHeight};
    if (row.TextLength <= 0 || !row.Text) {
      if (lastRow && ForceEllipsis && Params.EndEllipsis) {
        DrawEllipsis(DC, x, y, rowRect, R, Params);
      }
      continue;
    }
    const bool ellipsis = Params.EndEllipsis && lastRow &&
                          (ForceEllipsis || row.TextExtents.cx > width);
    const bool justify = IsJustified(Params) && !ellipsis &&
                         row.BreakCount > 0 && row.TextExtents.cx < width;
    std::optional<TClipRegionSaver> rowClip;
    const bool clip =
        !Params.NoClip && (row.TextExtents.cx > width || y < R.Top ||
                           y + Params.RowHeight > R.Bottom);
    if (clip || SelLength > 0) rowClip.emplace(DC);
    if (clip) {
      IntersectClip(DC, {R.Left, std::max(y, R.Top), R.Right,
                         std::min(y + Params.RowHeight, R.Bottom)});
    }
    if (justify) {
      SetTextJustification(DC, width - row.TextExtents.cx, row.BreakCount);
    }
    if (ellipsis) {
      INT fit = 0;
      SIZE size{};
      GetTextExtentExPointA(DC, row.Text, row.TextLength,
                            std::max(width - Params.EllipsisWidth, 0), &fit,
                            nullptr, &size);
      const char* rowTextEnd = row.Text + row.TextLength;
      Integer keep = WholeChars(row.Text, fit, rowTextEnd);
      if (keep < 1) keep = CharLength(row.Text, rowTextEnd);
      row.TextLength = std::min(keep, row.TextLength);
      cxCalcTextRowExtents(DC, row, Params);
    }

    bool ellipsisDrawn = false;
    const Integer rowStart = row.StartOffset;
    const Integer rowEnd = rowStart + row.TextLength;
    const Integer from = std::max(SelStart, rowStart);
    const Integer to = std::min(selEnd, rowEnd);
    if (SelLength > 0 && from < to) {
      std::vector<INT> partial(row.TextLength);
      SIZE size{};
      GetTextExtentExPointA(DC, row.Text, row.TextLength, 0, nullptr,
                            partial.data(), &size);
      auto before = [&](Integer count) {
        return count <= 0 ? 0 : static_cast<Integer>(partial[count - 1]);
      };
      Integer left = before(from - rowStart);
      Integer right = before(to - rowStart);
      if (cxGetWritingDirection(Params.CharSet,
                                String(row.Text, row.TextLength))) {
        const Integer rowRight = x + row.TextExtents.cx;
        const Integer mirroredLeft = rowRight - right;
        right = rowRight - left;
        left = mirroredLeft;
      } else {
        left += x;
        right += x;
      }
      const TRect part{left, rowRect.Top, right, rowRect.Bottom};
      const COLORREF oldColor = SetTextColor(DC, selText);
      {
        TClipRegionSaver partClip(DC);
        IntersectClip(DC, part);
        if (selBrush) {
          FillRect(DC, reinterpret_cast<const RECT*>(&part), selBrush.get());
        }
        DrawRowText(DC, row, Params);
      }
      ExcludeClipRect(DC, part.Left, part.Top, part.Right, part.Bottom);
      // The ellipsis stands for selected text that is cut off: it is
      // highlighted like the characters, else the selection colour could
      // leave it invisible on the normal background.
      if (ellipsis && selEnd >= rowEnd) {
        const Integer ex = x + row.TextExtents.cx;
        const TRect dots{ex, rowRect.Top, ex + Params.EllipsisWidth,
                         rowRect.Bottom};
        {
          TClipRegionSaver dotsClip(DC);
          IntersectClip(DC, dots);
          if (selBrush) {
            FillRect(DC, reinterpret_cast<const RECT*>(&dots), selBrush.get());
          }
          DrawEllipsis(DC, ex, y, rowRect, R, Params);
        }
        ExcludeClipRect(DC, dots.Left, dots.Top, dots.Right, dots.Bottom);
        ellipsisDrawn = true;
      }
      SetTextColor(DC, oldColor);
    }

    DrawRowText(DC, row, Params);
    if (ellipsis && !ellipsisDrawn) {
      DrawEllipsis(DC, x + row.TextExtents.cx, y, rowRect, R, Params);
    }
    if (justify) SetTextJustification(DC, 0, 0);
  }
  SetBkMode(DC, oldBkMode);
}

Integer cxGetLongestTextRowWidth(const TcxTextRows& Rows, Integer RowCount) {
  RowCount = std::min(RowCount, static_cast<Integer>(Rows.size()));
  Integer result = 0;
  for (Integer i = 0; i < RowCount; ++i) {
    result = std::max(result, Rows[i].TextExtents.cx);
  }
  return result;
}

Integer cxTextOut(HDC DC, const String& Text, TRect& R, Cardinal Flags,
                  Integer SelStart, Integer SelLength, TColor SelBkColor,
                  TColor SelTextColor, Integer MaxLineCount, Integer LeftIndent,
                  Integer RightIndent) {
  if (Text.empty()) return 0;
  const Integer length = static_cast<Integer>(Text.size());
  TcxTextParams params = cxCalcTextParams(DC, Flags);
  TRect work = cxPrepareRect(R, params, LeftIndent, RightIndent);
  if (params.CalcRect ? work.Right - work.Left <= 0 : IsRectEmpty(work)) {
    return 0;
  }
  TcxTextRows rows;
  Integer rowCount = 0;
  const bool allFit = MakeRows(DC, Text.data(), length, work, MaxLineCount,
                               rowCount, rows, params);
  if (rowCount == 0) return 0;

  if (params.CalcRect) {
    if (MaxLineCount > 0) rowCount = std::min(rowCount, MaxLineCount);
    work.Right = work.Left + cxGetLongestTextRowWidth(rows, rowCount);
    if (!params.SingleLine) {
      MakeRows(DC, Text.data(), length, work, MaxLineCount, rowCount, rows,
               params);
      if (MaxLineCount > 0) rowCount = std::min(rowCount, MaxLineCount);
      if (rowCount == 0) return 0;
    }
    cxPlaceTextRows(DC, work, params, rowCount, rows);
    work.Bottom = rows[rowCount - 1].TextOrigin.Y + params.LineHeight;
    R = {work.Left - LeftIndent, work.Top, work.Right + RightIndent,
         work.Bottom};
  } else {
    bool forceEllipsis = false;
    if (MaxLineCount > 0 && rowCount >= MaxLineCount) {
      rowCount = MaxLineCount;
      forceEllipsis = !allFit && params.EndEllipsis && params.WholeRows &&
                      !params.SingleLine;
    }
    if (SelStart < 0 || SelStart >= length) {
      SelLength = 0;
    } else {
      SelLength = std::min(SelLength, length - SelStart);
    }
    cxPlaceTextRows(DC, work, params, rowCount, rows);
    cxTextRowsOutHighlight(DC, work, params, rows, rowCount, SelStart,
                           SelLength, SelBkColor, SelTextColor, forceEllipsis);
  }
  const Integer height =
      rows[rowCount - 1].TextOrigin.Y + params.LineHeight - work.Top;
  return params.ReturnRowCount || height == 0 ? rowCount : height;
}

Integer cxTextOut(TCanvas* ACanvas, const String& Text, TRect& R,
                  Cardinal Flags, Integer SelStart, Integer SelLength,
                  TColor SelBkColor, TColor SelTextColor, Integer MaxLineCount,
                  Integer LeftIndent, Integer RightIndent) {
  MakeFontCurrent(ACanvas);
  return cxTextOut(ACanvas->Handle(), Text, R, Flags, SelStart, SelLength,
                   SelBkColor, SelTextColor, MaxLineCount, LeftIndent,
                   RightIndent);
}

Integer cxTextOut(HDC DC, const String& Text, TRect& R, Cardinal Flags,
                  Integer MaxLineCount, Integer LeftIndent,
                  Integer RightIndent) {
  return cxTextOut(DC, Text, R, Flags, 0, 0, clNone, clNone, MaxLineCount,
                   LeftIndent, RightIndent);
}

Integer cxTextOut(TCanvas* ACanvas, const String& Text, TRect& R,
                  Cardinal Flags, Integer MaxLineCount, Integer LeftIndent,
                  Integer RightIndent) {
  return cxTextOut(ACanvas, Text, R, Flags, 0, 0, clNone, clNone, MaxLineCount,
                   LeftIndent, RightIndent);
}

// ---------------------------------------------------------------------------
// Plain wrappers
// ---------------------------------------------------------------------------

namespace {

// Count -1 (or any count past the end) means the whole string.
int ClampCount(const String& Text, Integer Count) {
  const Integer length = static_cast<Integer>(Text.size());
  return Count < 0 || Count > length ? length : Count;
}

}  // namespace

bool cxGetTextExtentPoint32(HDC DC, const String& Text, TSize& Size,
                            Integer Count) {
  SIZE size{};
  const bool ok = GetTextExtentPoint32A(DC, Text.data(),
                                        ClampCount(Text, Count), &size) != 0;
  Size = {size.cx, size.cy};
  return ok;
}

Integer cxDrawText(HDC DC, const String& Text, TRect& R, UINT Format,
                   Integer Count) {
  return DrawTextA(DC, Text.data(), ClampCount(Text, Count),
                   reinterpret_cast<RECT*>(&R), Format);
}

bool cxExtTextOut(HDC DC, const String& Text, const TPoint& P, const TRect& R,
                  UINT Options, Integer Count) {
  return ExtTextOutA(DC, P.X, P.Y, Options, reinterpret_cast<const RECT*>(&R),
                     Text.data(), static_cast<UINT>(ClampCount(Text, Count)),
                     nullptr) != 0;
}

bool cxExtTextOut(HDC DC, const String& Text, const TPoint& P, UINT Options,
                  Integer Count) {
  return ExtTextOutA(DC, P.X, P.Y, Options, nullptr, Text.data(),
                     static_cast<UINT>(ClampCount(Text, Count)), nullptr) != 0;
}

TSize cxTextExtent(TFont* AFont, const String& Text, Integer FontSize) {
  TcxCanvas* canvas = cxScreenCanvas();
  if (AFont) canvas->SetFont(AFont);
  if (FontSize != 0) canvas->Font()->SetSize(FontSize);
  return canvas->TextExtent(Text);
}

Integer cxTextWidth(TFont* AFont, const String& Text, Integer FontSize) {
  return cxTextExtent(AFont, Text, FontSize).cx;
}

Integer cxTextHeight(TFont* AFont, const String& Text, Integer FontSize) {
  return cxTextExtent(AFont, Text, FontSize).cy;
}

TSize cxTextSize(HDC DC, const String& Text) {
  const TRect r = cxGetTextRect(DC, Text, 1);
  return {r.Right - r.Left, r.Bottom - r.Top};
}

TRect cxGetTextRect(HDC DC, const String& Text, Integer RowCount,
                    bool FixedHeight) {
  if (RowCount <= 0) return TRect{};
  auto calc = [&](const TRect& start, UINT format) {
    TRect r = start;
    DrawTextA(DC, Text.data(), static_cast<int>(Text.size()),
              reinterpret_cast<RECT*>(&r), format);
    return r;
  };
  const UINT oneLine = DT_CALCRECT | DT_SINGLELINE;
  if (RowCount == 1) return calc(TRect{}, oneLine);
  const UINT wrapped = DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK;
  const Integer target = RowCount * cxTextSize(DC, "Wg").cy;
  auto wrappedAt = [&](Integer width) {
    return calc({0, 0, width, 0}, wrapped);
  };
  Integer low = calc({0, 0, 1, 1}, wrapped).Width();
  Integer high = calc(TRect{}, oneLine).Width();
  while (high - low > 1) {
    const Integer mid = (low + high) / 2;
    if (wrappedAt(mid).Height() > target) {
      low = mid;
    } else {
      high = mid;
    }
  }
  TRect result = wrappedAt(low);
  if (result.Height() > target) result = wrappedAt(high);
  if (FixedHeight) result.Bottom = target;
  return result;
}

TRect cxGetTextRect(TFont* AFont, const String& Text, Integer RowCount) {
  TcxCanvas* canvas = cxScreenCanvas();
  if (AFont) canvas->SetFont(AFont);
  MakeFontCurrent(canvas->Canvas());
  return cxGetTextRect(canvas->Handle(), Text, RowCount);
}

void cxGetTextLines(const String& Text, TcxCanvas* ACanvas, const TRect& R,
                    TStrings* Lines) {
  MakeFontCurrent(ACanvas->Canvas());
  const HDC dc = ACanvas->Handle();
  const Integer width = R.Right - R.Left;
  auto isDelimiter = [](char c) { return static_cast<unsigned char>(c) < 33; };
  const size_t length = Text.size();
  size_t lineStart = 0;
  size_t previousEnd = 0;  // end of the last word on the line
  size_t wordStart = 0;
  while (wordStart < length) {
    // A word runs to the first delimiter that does not follow another one;
    // a run of delimiters belongs to the word after its first one.
    size_t wordEnd = wordStart + 1;
    while (wordEnd < length &&
           !(isDelimiter(Text[wordEnd]) && !isDelimiter(Text[wordEnd - 1]))) {
      ++wordEnd;
    }
    const String line = Text.substr(lineStart, wordEnd - lineStart);
    if (cxTextSize(dc, line).cx > width) {
      Lines->Add(Text.substr(lineStart, previousEnd - lineStart));
      lineStart = wordStart;
    }
    previousEnd = wordEnd;
    wordStart = wordEnd + 1;  // past the delimiter that ended the word
  }
  Lines->Add(Text.substr(lineStart));
}

bool cxGetWritingDirection(Byte ACharset, const String& Text) {
  Integer charset = ACharset;
  if (charset == DEFAULT_CHARSET) {
    CHARSETINFO info{};
    if (TranslateCharsetInfo(
            reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(GetACP())), &info,
            TCI_SRCCODEPAGE)) {
      charset = static_cast<Integer>(info.ciCharset);
    }
  }
  if (!Text.empty() && static_cast<unsigned char>(Text[0]) < 128) {
    return false;
  }
  return charset == HEBREW_CHARSET || charset == ARABIC_CHARSET;
}
