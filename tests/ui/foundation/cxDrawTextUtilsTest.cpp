#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Handles.h"
#include "SysUtils.h"
#include "cxDrawTextUtils.h"
#include "cxGraphics.h"

namespace {

std::string Str(const TRect& r) {
  return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " +
         std::to_string(r.Right) + ", " + std::to_string(r.Bottom) + ")";
}

// A face whose metrics name the space as break character under Wine too
// (the substitutes Wine picks for the usual faces here name '!').
constexpr char kFace[] = "DejaVu Sans";

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;

// A white 32-bit surface in a memory DC with a crisp (not antialiased)
// font and black text, so that drawn text can be found pixel by pixel.
// Expectations are measured in the same DC: fonts differ between machines.
class TTextSurface {
 public:
  TTextSurface(Integer width, Integer height, Integer fontHeight = 16)
      : width_(width), height_(height) {
    dc_.reset(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(
        CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<DWORD*>(bits);
    selectBitmap_.emplace(dc_.get(), bitmap_.get());
    font_.reset(CreateFontA(-fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0,
                            ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                            DEFAULT_PITCH, kFace));
    selectFont_.emplace(dc_.get(), font_.get());
    SetTextColor(dc_.get(), kBlack);
    Clear();
  }
  TTextSurface(const TTextSurface&) = delete;
  TTextSurface& operator=(const TTextSurface&) = delete;

  HDC DC() const { return dc_.get(); }
  void Clear() {
    GdiFlush();
    for (Integer i = 0; i < width_ * height_; ++i) bits_[i] = kWhite;
  }
  COLORREF Pixel(Integer x, Integer y) const {
    GdiFlush();
    const DWORD v = bits_[y * width_ + x];  // 0x00RRGGBB
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // The bounding box of the pixels in area that are not white; empty when
  // there are none.
  TRect InkBounds(TRect area = {0, 0, 0, 0}) const {
    if (IsRectEmpty(area)) area = {0, 0, width_, height_};
    TRect ink{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (Integer y = std::max(area.Top, 0); y < std::min(area.Bottom, height_);
         ++y) {
      for (Integer x = std::max(area.Left, 0); x < std::min(area.Right, width_);
           ++x) {
        if (Pixel(x, y) != kWhite) {
          ink.Left = std::min(ink.Left, x);
          ink.Top = std::min(ink.Top, y);
          ink.Right = std::max(ink.Right, x + 1);
          ink.Bottom = std::max(ink.Bottom, y + 1);
        }
      }
    }
    return ink.Left == INT32_MAX ? TRect{} : ink;
  }
  bool HasInk(const TRect& area) const { return !IsRectEmpty(InkBounds(area)); }
  Integer Count(const TRect& area, COLORREF color) const {
    Integer n = 0;
    for (Integer y = area.Top; y < area.Bottom; ++y) {
      for (Integer x = area.Left; x < area.Right; ++x) {
        if (Pixel(x, y) == color) ++n;
      }
    }
    return n;
  }
  bool SamePixels(const TTextSurface& other) const {
    for (Integer y = 0; y < height_; ++y) {
      for (Integer x = 0; x < width_; ++x) {
        if (Pixel(x, y) != other.Pixel(x, y)) return false;
      }
    }
    return true;
  }
  Integer Width(const String& s) const {
    SIZE size{};
    GetTextExtentPoint32A(dc_.get(), s.data(), static_cast<int>(s.size()),
                          &size);
    return size.cx;
  }
  Integer LineHeight() const {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_.get(), &tm);
    return tm.tmHeight;
  }

 private:
  Integer width_;
  Integer height_;
  // Declared in the order of making: they go in reverse.
  TOwnedDC dc_;
  TBitmapHandle bitmap_;
  TFontHandle font_;
  std::optional<TSelectObject> selectBitmap_;
  std::optional<TSelectObject> selectFont_;
  DWORD* bits_ = nullptr;
};

std::vector<String> RowTexts(const TcxTextRows& rows, Integer count) {
  std::vector<String> result;
  for (Integer i = 0; i < count; ++i) {
    result.emplace_back(rows[i].Text, rows[i].TextLength);
  }
  return result;
}

const char kSentence[] =
    "The quick brown fox jumps over the lazy dog while seven wizards quietly "
    "judge the boxing match from a distance of twelve yards";

// ---------------------------------------------------------------------------
// Flags and params
// ---------------------------------------------------------------------------

TEST(cxDrawTextUtilsTest, TestFontBreaksAtSpaces) {
  // Every word-break expectation below depends on it.
  TTextSurface s(10, 10);
  EXPECT_EQ(cxCalcTextParams(s.DC(), 0).BreakChar, ' ');
}

TEST(cxDrawTextUtilsTest, MakeFormatPutsVerticalAlignmentInBitsFourAndFive) {
  EXPECT_EQ(cxMakeFormat(taLeft, taTop), 0u);
  EXPECT_EQ(cxMakeFormat(taRight, taBottom), 0x22u);
  EXPECT_EQ(cxMakeFormat(taDistributeX, taDistributeY), 0x34u);
  EXPECT_EQ(cxMakeFormat(taCenterX, taCenterY), 0x11u);
}

TEST(cxDrawTextUtilsTest, CalcTextParamsReadsFlagsAndFontMetrics) {
  TTextSurface s(10, 10);
  TEXTMETRICA tm{};
  GetTextMetricsA(s.DC(), &tm);

  const TcxTextParams none = cxCalcTextParams(s.DC(), 0);
  EXPECT_EQ(none.LineHeight, tm.tmHeight);
  EXPECT_EQ(none.ExternalLeading, 0);
  EXPECT_EQ(none.RowHeight, tm.tmHeight);
  EXPECT_EQ(none.EllipsisWidth, 0);
  EXPECT_EQ(none.BreakChar, tm.tmBreakChar);
  EXPECT_EQ(none.MaxCharWidth, tm.tmMaxCharWidth);
  EXPECT_EQ(none.CharSet, tm.tmCharSet);
  EXPECT_FALSE(none.WordBreak || none.SingleLine || none.ExpandTabs ||
               none.EndEllipsis || none.WholeRows || none.NoClip ||
               none.KeepLeftInside || none.KeepTopInside || none.CharBreak ||
               none.CalcRect || none.ReturnRowCount || none.Reserved10000);

  const Cardinal all = cxMakeFormat(taJustifyX, taBottom) | cxtoKeepLeftInside |
                       cxtoKeepTopInside | cxtoWordBreak | cxtoSingleLine |
                       cxtoExpandTabs | cxtoEndEllipsis | cxtoExternalLeading |
                       cxtoWholeRows | cxtoNoClip | cxtoReserved10000 |
                       cxtoCharBreak | cxtoCalcRect | cxtoReturnRowCount;
  const TcxTextParams p = cxCalcTextParams(s.DC(), all);
  EXPECT_EQ(p.TextAlignX, taJustifyX);
  EXPECT_EQ(p.TextAlignY, taBottom);
  EXPECT_EQ(p.ExternalLeading, tm.tmExternalLeading);
  EXPECT_EQ(p.RowHeight, tm.tmHeight + tm.tmExternalLeading);
  EXPECT_EQ(p.EllipsisWidth, s.Width("..."));
  EXPECT_GT(p.EllipsisWidth, 0);
  EXPECT_TRUE(p.WordBreak && p.SingleLine && p.ExpandTabs && p.EndEllipsis &&
              p.ExternalLeadingUsed && p.WholeRows && p.NoClip &&
              p.Reserved10000 && p.KeepLeftInside && p.KeepTopInside &&
              p.CharBreak && p.ReturnRowCount && p.CalcRect);
}

TEST(cxDrawTextUtilsTest, FarEastLocaleAlwaysBreaksBetweenCharacters) {
  TTextSurface s(10, 10);
  const bool saved = SysLocale.FarEast;
  SysLocale.FarEast = true;
  const bool charBreak = cxCalcTextParams(s.DC(), cxtoWordBreak).CharBreak;
  SysLocale.FarEast = saved;
  EXPECT_TRUE(charBreak);
  EXPECT_FALSE(cxCalcTextParams(s.DC(), cxtoWordBreak).CharBreak);
}

TEST(cxDrawTextUtilsTest, TabbedExtentsAgreeAcrossTheLongTextPath) {
  // Up to 4096 characters the tabbed extent comes from one system call,
  // beyond from another; both must expand tabs the same way.
  TTextSurface s(10, 10);
  // Narrow characters keep the width within the 16 bits of the answer.
  String text;
  while (text.size() < 4096) text += "iiiiii\t";
  text.resize(4096);
  text += "W";
  TSize shortSize, longSize, plain;
  cxCalcTextExtents(s.DC(), text.data(), 4096, shortSize, true);
  cxCalcTextExtents(s.DC(), text.data(), 4097, longSize, true);
  cxCalcTextExtents(s.DC(), text.data(), 4096, plain, false);
  // The two system calls may place default tab stops a little apart.
  EXPECT_NEAR(longSize.cx, shortSize.cx + s.Width("W"), shortSize.cx / 100);
  EXPECT_EQ(longSize.cy, s.LineHeight());
  EXPECT_GT(shortSize.cx, plain.cx * 3 / 2);  // the tabs were expanded
}

// ---------------------------------------------------------------------------
// Making rows
// ---------------------------------------------------------------------------

struct RowCase {
  const char* name;
  const char* text;
  Cardinal flags;
  const char* widthOf;  // the rectangle is as wide as this text
  Integer maxRows;
  std::vector<String> rows;
  bool result;
};

TEST(cxDrawTextUtilsTest, MakeTextRowsBreaksAsTheFlagsSay) {
  const RowCase cases[] = {
      {"word break, one letter wide",
       "a b c",
       cxtoWordBreak,
       "a",
       0,
       {"a ", "b ", "c"},
       true},
      {"no word break", "a b c", 0, "a", 0, {"a b c"}, true},
      {"paragraphs", "ab\r\ncd\nef", 0, "a", 0, {"ab", "cd", "ef"}, true},
      {"empty paragraph", "ab\r\n\r\ncd", 0, "abcd", 0, {"ab", "", "cd"}, true},
      {"single line keeps CR LF",
       "ab\r\ncd",
       cxtoSingleLine,
       "abcdefghijklmnop",
       0,
       {"ab\r\ncd"},
       true},
      {"justify breaks at words",
       "aa bb cc",
       cxMakeFormat(taJustifyX, taTop),
       "aa bb",
       0,
       {"aa bb", "cc"},
       true},
      {"long word runs on",
       "abcdefgh ij",
       cxtoWordBreak,
       "abc",
       0,
       {"abcdefgh ", "ij"},
       true},
      {"char break splits it",
       "aaaaaaaa",
       cxtoWordBreak | cxtoCharBreak,
       "aaa",
       0,
       {"aaa", "aaa", "aa"},
       true},
      {"char break needs word break",
       "aaaaaaaa",
       cxtoCharBreak,
       "aaa",
       0,
       {"aaaaaaaa"},
       true},
      {"row limit cuts", "a b c d", cxtoWordBreak, "a", 2, {"a ", "b "}, false},
      {"row limit not reached",
       "a b",
       cxtoWordBreak,
       "a",
       2,
       {"a ", "b"},
       true},
      {"row limit, single line",
       "a b c d",
       cxtoSingleLine,
       "a",
       1,
       {"a "},
       true},
  };
  for (const RowCase& c : cases) {
    TTextSurface s(10, 10);
    const TcxTextParams p = cxCalcTextParams(s.DC(), c.flags);
    const TRect r{0, 0, s.Width(c.widthOf), 1000};
    TcxTextRows rows;
    Integer count = -1;
    const bool result =
        cxMakeTextRows(s.DC(), c.text, r, c.maxRows, count, rows, p);
    EXPECT_EQ(RowTexts(rows, count), c.rows) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_EQ(static_cast<Integer>(rows.size()), count) << c.name;
    for (Integer i = 0; i < count; ++i) {
      EXPECT_EQ(rows[i].StartOffset, rows[i].Text - c.text) << c.name;
      EXPECT_EQ(rows[i].TextExtents.cx,
                s.Width(String(rows[i].Text, rows[i].TextLength)))
          << c.name << " row " << i;
    }
  }
}

TEST(cxDrawTextUtilsTest, MakeTextRowsOfNoTextGivesNoRows) {
  TTextSurface s(10, 10);
  const TcxTextParams p = cxCalcTextParams(s.DC(), cxtoWordBreak);
  TcxTextRows rows(3);
  Integer count = 5;
  EXPECT_TRUE(cxMakeTextRows(s.DC(), "", {0, 0, 50, 50}, 0, count, rows, p));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(
      cxMakeTextRows(s.DC(), nullptr, {0, 0, 50, 50}, 0, count, rows, p));
  EXPECT_EQ(count, 0);
}

TEST(cxDrawTextUtilsTest, WordBrokenRowsOfALongTextFitTheWidth) {
  // A text many times wider than the row is measured from each row's start;
  // no row of more than one word may come out wider than the rectangle.
  TTextSurface s(10, 10);
  const TcxTextParams p = cxCalcTextParams(s.DC(), cxtoWordBreak);
  String text;
  for (int i = 0; i < 6; ++i) text += String(kSentence) + " ";
  for (const Integer width : {40, 61, 97, 150}) {
    TcxTextRows rows;
    Integer count = 0;
    cxMakeTextRows(s.DC(), text.c_str(), {0, 0, width, 100000}, 0, count, rows,
                   p);
    ASSERT_GT(count, 3);
    String joined;
    for (Integer i = 0; i < count; ++i) {
      String row(rows[i].Text, rows[i].TextLength);
      joined += row;
      // Without its trailing space, a row of words fits.
      while (!row.empty() && row.back() == ' ') row.pop_back();
      if (row.find(' ') != String::npos) {
        EXPECT_LE(s.Width(row), width) << "'" << row << "' at " << width;
      }
      // A row ends only where the next word would not fit.
      if (i + 1 < count) {
        String next(rows[i + 1].Text, rows[i + 1].TextLength);
        const String firstWord = next.substr(0, next.find(' '));
        EXPECT_GT(s.Width(row + " " + firstWord), width)
            << "'" << row << "' + '" << firstWord << "' at " << width;
      }
    }
    EXPECT_EQ(joined, text.substr(0, joined.size()));
    EXPECT_EQ(joined.size(), text.size());
  }
}

TEST(cxDrawTextUtilsTest, JustifiedRowsCountBreaksExceptAtParagraphEnds) {
  TTextSurface s(10, 10);
  const TcxTextParams p =
      cxCalcTextParams(s.DC(), cxMakeFormat(taJustifyX, taTop));
  const char* text = "aa bb cc  \r\ndd ee ff";
  TcxTextRows rows;
  Integer count = 0;
  cxMakeTextRows(s.DC(), text, {0, 0, s.Width("aa bb x"), 1000}, 0, count, rows,
                 p);
  ASSERT_EQ(RowTexts(rows, count),
            (std::vector<String>{"aa bb", "cc", "dd ee", "ff"}));
  EXPECT_EQ(rows[0].BreakCount, 1);  // the trailing space is not spread
  EXPECT_EQ(rows[1].BreakCount, 0);  // end of the first paragraph
  EXPECT_EQ(rows[2].BreakCount, 1);
  EXPECT_EQ(rows[3].BreakCount, 0);  // end of the text
  EXPECT_EQ(rows[2].StartOffset, 12);
}

TEST(cxDrawTextUtilsTest, RowCountFollowsTheRectangleHeight) {
  TTextSurface s(10, 10);
  const Integer h = s.LineHeight();
  struct Case {
    Cardinal flags;
    Integer height;
    Integer rows;
  };
  const Case cases[] = {
      {cxtoWordBreak, h * 5 / 2, 3},  // the third row shows in part
      {cxtoWordBreak, 3 * h, 3},      // no row wholly below the bottom
      {cxtoWordBreak, h / 2, 1},      // the first row is always made
      {cxtoWordBreak | cxtoWholeRows, h * 5 / 2, 2},
      {cxtoWordBreak | cxtoWholeRows, 3 * h, 3},
      {cxtoWordBreak | cxtoWholeRows | cxtoNoClip, h * 5 / 2, 3},
      // Other vertical alignments and calc rect are not limited by height.
      {cxtoWordBreak | cxMakeFormat(taLeft, taBottom), h, 5},
      {cxtoWordBreak | cxtoCalcRect, h, 5},
  };
  for (const Case& c : cases) {
    const TcxTextParams p = cxCalcTextParams(s.DC(), c.flags);
    TcxTextRows rows;
    Integer count = 0;
    cxMakeTextRows(s.DC(), "a b c d e", {0, 0, s.Width("a"), c.height}, 0,
                   count, rows, p);
    EXPECT_EQ(count, c.rows)
        << std::hex << c.flags << std::dec << " height " << c.height;
  }
}

TEST(cxDrawTextUtilsTest, LastRowKeepsTheOverflowingCharacterForTheEllipsis) {
  TTextSurface s(10, 10);
  const TcxTextParams p =
      cxCalcTextParams(s.DC(), cxtoWordBreak | cxtoEndEllipsis);
  const Integer h = s.LineHeight();
  TcxTextRows rows;
  Integer count = 0;
  // One row high: the only row is the last and is cut for the ellipsis
  // right after the first character that does not fit.
  cxMakeTextRows(s.DC(), "abcdef ghijkl", {0, 0, s.Width("abc"), h}, 0, count,
                 rows, p);
  EXPECT_EQ(RowTexts(rows, count), (std::vector<String>{"abcd"}));
  // Two rows high: the second row is the last.
  cxMakeTextRows(s.DC(), "abc abcdef ghi", {0, 0, s.Width("abc"), 2 * h}, 0,
                 count, rows, p);
  EXPECT_EQ(RowTexts(rows, count), (std::vector<String>{"abc ", "abcd"}));
}

TEST(cxDrawTextUtilsTest, ExpandedTabsWidenTheRow) {
  TTextSurface s(10, 10);
  const TcxTextParams tabs = cxCalcTextParams(s.DC(), cxtoExpandTabs);
  TcxTextRows rows;
  Integer count = 0;
  cxMakeTextRows(s.DC(), "a\tb", {0, 0, 500, 500}, 0, count, rows, tabs);
  ASSERT_EQ(count, 1);
  const DWORD extent = GetTabbedTextExtentA(s.DC(), "a\tb", 3, 0, nullptr);
  EXPECT_EQ(rows[0].TextExtents.cx, static_cast<Integer>(LOWORD(extent)));
  EXPECT_GT(rows[0].TextExtents.cx, s.Width("ab") + s.Width(" "));
}

// ---------------------------------------------------------------------------
// Placing rows
// ---------------------------------------------------------------------------

TcxTextRows RowsOfWidths(std::initializer_list<Integer> widths) {
  TcxTextRows rows;
  for (Integer w : widths) {
    TcxTextRow row;
    row.TextExtents = {w, 10};
    rows.push_back(row);
  }
  return rows;
}

TEST(cxDrawTextUtilsTest, PlaceTextRowsAlignsEachRow) {
  struct Case {
    const char* name;
    Cardinal flags;
    std::vector<TPoint> origins;
  };
  // Rectangle (10, 20, 110, 80): 100 wide, 60 high; rows 10 high, 30 and
  // 51 wide; external leading 0.
  const Case cases[] = {
      {"left top", 0, {{10, 20}, {10, 30}}},
      {"centre", cxMakeFormat(taCenterX, taCenterY), {{45, 40}, {34, 50}}},
      {"right bottom", cxMakeFormat(taRight, taBottom), {{80, 60}, {59, 70}}},
      {"justify starts left",
       cxMakeFormat(taJustifyX, taTop),
       {{10, 20}, {10, 30}}},
  };
  for (const Case& c : cases) {
    TcxTextParams p;
    p.LineHeight = p.RowHeight = 10;
    p.TextAlignX = c.flags & cxtoAlignXMask;
    p.TextAlignY = (c.flags & cxtoAlignYMask) >> cxtoAlignYShift;
    TcxTextRows rows = RowsOfWidths({30, 51});
    cxPlaceTextRows(nullptr, {10, 20, 110, 80}, p, 2, rows);
    EXPECT_EQ(rows[0].TextOrigin, c.origins[0]) << c.name;
    EXPECT_EQ(rows[1].TextOrigin, c.origins[1]) << c.name;
  }
}

TEST(cxDrawTextUtilsTest, PlaceTextRowsKeepsRowsInsideWhenAsked) {
  // Rows wider and taller than the rectangle would start left of and above
  // it when centred.
  TcxTextParams p;
  p.LineHeight = p.RowHeight = 10;
  p.TextAlignX = taCenterX;
  p.TextAlignY = taCenterY;
  TcxTextRows rows = RowsOfWidths({41, 41, 41});
  cxPlaceTextRows(nullptr, {0, 0, 21, 11}, p, 3, rows);
  EXPECT_EQ(rows[0].TextOrigin, (TPoint{-10, -9}));  // toward zero

  p.KeepLeftInside = p.KeepTopInside = true;
  cxPlaceTextRows(nullptr, {0, 0, 21, 11}, p, 3, rows);
  EXPECT_EQ(rows[0].TextOrigin, (TPoint{0, 0}));
  EXPECT_EQ(rows[2].TextOrigin, (TPoint{0, 20}));
}

TEST(cxDrawTextUtilsTest, DistributedRowsSpreadOverTheHeight) {
  TcxTextParams p;
  p.LineHeight = p.RowHeight = 10;
  p.TextAlignY = taDistributeY;
  TcxTextRows rows = RowsOfWidths({5, 5, 5, 5});
  // Free height 73 - 10 = 63 over 3 gaps: 21 each, no remainder.
  cxPlaceTextRows(nullptr, {0, 0, 50, 73}, p, 4, rows);
  EXPECT_EQ(p.RowHeight, 21);
  EXPECT_EQ(rows[3].TextOrigin.Y, 63);
  // 65 - 10 = 55 over 3 gaps: 18 each and one pixel more for the first one.
  p.RowHeight = 10;
  cxPlaceTextRows(nullptr, {0, 0, 50, 65}, p, 4, rows);
  EXPECT_EQ(p.RowHeight, 18);
  EXPECT_EQ(rows[1].TextOrigin.Y, 19);
  EXPECT_EQ(rows[2].TextOrigin.Y, 37);
  EXPECT_EQ(rows[3].TextOrigin.Y, 55);
  // Too little room: the rows keep their height.
  p.RowHeight = 10;
  cxPlaceTextRows(nullptr, {0, 0, 50, 25}, p, 4, rows);
  EXPECT_EQ(p.RowHeight, 10);
  EXPECT_EQ(rows[3].TextOrigin.Y, 30);
}

TEST(cxDrawTextUtilsTest, LongestRowLooksOnlyAtTheCountedRows) {
  const TcxTextRows rows = RowsOfWidths({7, 12, 30});
  EXPECT_EQ(cxGetLongestTextRowWidth(rows, 2), 12);
  EXPECT_EQ(cxGetLongestTextRowWidth(rows, 10), 30);
  EXPECT_EQ(cxGetLongestTextRowWidth(rows, 0), 0);
  EXPECT_EQ(cxGetLongestTextRowWidth({}, 3), 0);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

TEST(cxDrawTextUtilsTest, WordBreakDrawsOneRowPerWord) {
  TTextSurface s(200, 100);
  const Integer h = s.LineHeight();
  const Integer w = s.Width("a");
  TRect r{10, 5, 10 + w, 95};
  const Integer result = cxTextOut(s.DC(), "a b c", r, cxtoWordBreak);
  EXPECT_EQ(result, 3 * h);
  for (Integer row = 0; row < 3; ++row) {
    EXPECT_TRUE(s.HasInk({10, 5 + row * h, 10 + w, 5 + (row + 1) * h}))
        << "row " << row;
  }
  EXPECT_FALSE(s.HasInk({0, 5 + 3 * h, 200, 100}));
  EXPECT_FALSE(s.HasInk({10 + w, 0, 200, 100}));

  s.Clear();
  r = {10, 5, 10 + w, 95};
  EXPECT_EQ(cxTextOut(s.DC(), "a b c", r, cxtoWordBreak | cxtoReturnRowCount),
            3);
}

TEST(cxDrawTextUtilsTest, UnbrokenRowIsClippedUnlessNoClip) {
  TTextSurface s(200, 60);
  const Integer w = s.Width("a");
  TRect r{10, 5, 10 + w, 55};
  EXPECT_EQ(cxTextOut(s.DC(), "a b c", r, 0), s.LineHeight());
  EXPECT_TRUE(s.HasInk({10, 5, 10 + w, 55}));
  EXPECT_FALSE(s.HasInk({10 + w, 0, 200, 60}));

  s.Clear();
  cxTextOut(s.DC(), "a b c", r, cxtoNoClip);
  const TRect ink = s.InkBounds();
  EXPECT_GT(ink.Right, 10 + s.Width("a b"));
}

TEST(cxDrawTextUtilsTest, AlignmentMovesTheInk) {
  TTextSurface s(300, 200);
  const Integer h = s.LineHeight();
  const Integer w = s.Width("Wide");
  const TRect r{20, 10, 220, 190};
  struct Case {
    Cardinal flags;
    TRect box;  // where the text's cell lies
  };
  const Case cases[] = {
      {0, {20, 10, 20 + w, 10 + h}},
      {cxMakeFormat(taRight, taBottom), {220 - w, 190 - h, 220, 190}},
      {cxMakeFormat(taCenterX, taCenterY),
       {20 + (200 - w) / 2, 10 + (180 - h) / 2, 20 + (200 - w) / 2 + w,
        10 + (180 - h) / 2 + h}},
  };
  for (const Case& c : cases) {
    s.Clear();
    TRect rect = r;
    cxTextOut(s.DC(), "Wide", rect, c.flags);
    const TRect ink = s.InkBounds();
    EXPECT_FALSE(IsRectEmpty(ink));
    // All ink inside the cell, and it reaches near both of its sides.
    TRect both;
    UnionRect(both, ink, c.box);
    EXPECT_EQ(both, c.box) << std::hex << c.flags << " ink " << Str(ink);
    EXPECT_LE(ink.Left - c.box.Left, 3) << std::hex << c.flags;
    EXPECT_LE(c.box.Right - ink.Right, 3) << std::hex << c.flags;
  }
}

TEST(cxDrawTextUtilsTest, JustificationStretchesAllButParagraphEnds) {
  TTextSurface s(300, 120);
  const Integer h = s.LineHeight();
  const String text = "aa bb cc dd\r\naa bb cc dd";
  // Room for a space more, not for a space and "dd".
  const Integer width = s.Width("aa bb cc") + s.Width(" ") + 2;
  ASSERT_LT(width, s.Width("aa bb cc dd"));
  TRect r{0, 0, width, 120};
  cxTextOut(s.DC(), text, r, cxtoWordBreak | cxMakeFormat(taJustifyX, taTop));
  // Rows: "aa bb cc", "dd", "aa bb cc", "dd". Justified rows end at the
  // right edge; the last row of each paragraph keeps its own width.
  const Integer slack = 3;  // the side bearing of the last glyph
  EXPECT_GE(s.InkBounds({0, 0, 300, h}).Right, width - slack);
  EXPECT_LE(s.InkBounds({0, h, 300, 2 * h}).Right, s.Width("dd"));
  EXPECT_GE(s.InkBounds({0, 2 * h, 300, 3 * h}).Right, width - slack);
  EXPECT_LE(s.InkBounds({0, 3 * h, 300, 4 * h}).Right, s.Width("dd"));
  // Left alignment leaves the first row at its own width.
  s.Clear();
  r = {0, 0, width, 120};
  cxTextOut(s.DC(), text, r, cxtoWordBreak);
  EXPECT_LE(s.InkBounds({0, 0, 300, h}).Right, s.Width("aa bb cc"));
}

TEST(cxDrawTextUtilsTest, EllipsisCutMatchesTextOfTheFittingCharacters) {
  TTextSurface s(300, 40);
  const String text = "abcdefghijklmnopqrstuvwxyz";
  const Integer width = s.Width("abcdefghij");
  TRect r{5, 5, 5 + width, 35};
  cxTextOut(s.DC(), text, r, cxtoSingleLine | cxtoEndEllipsis);

  // What should be there: the characters that fit the width less the
  // ellipsis, then "...".
  TTextSurface expected(300, 40);
  INT fit = 0;
  SIZE size{};
  GetTextExtentExPointA(expected.DC(), text.data(), 26,
                        width - expected.Width("..."), &fit, nullptr, &size);
  ASSERT_GT(fit, 0);
  ASSERT_LT(fit, 10);
  SetBkMode(expected.DC(), TRANSPARENT);
  const String kept = text.substr(0, fit);
  TextOutA(expected.DC(), 5, 5, kept.data(), fit);
  TextOutA(expected.DC(), 5 + expected.Width(kept), 5, "...", 3);
  EXPECT_TRUE(s.SamePixels(expected));
  EXPECT_LE(s.InkBounds().Right, 5 + width);
}

TEST(cxDrawTextUtilsTest, RowLimitForcesTheEllipsisOnlyForWholeRows) {
  TTextSurface s(300, 200);
  const Integer h = s.LineHeight();
  const String text = "aa bb cc dd";
  const Integer width = s.Width("aa b");
  // Rows "aa ", "bb ", cut. The forced ellipsis follows the second.
  const Integer rowEnd = 5 + s.Width("bb ");
  struct Case {
    Cardinal flags;
    bool dots;
  };
  const Case cases[] = {
      {cxtoWordBreak | cxtoEndEllipsis | cxtoWholeRows, true},
      {cxtoWordBreak | cxtoEndEllipsis, false},
      {cxtoWordBreak | cxtoWholeRows, false},
  };
  for (const Case& c : cases) {
    s.Clear();
    TRect r{5, 0, 5 + width, 200};
    EXPECT_EQ(cxTextOut(s.DC(), text, r, c.flags | cxtoReturnRowCount, 2), 2);
    EXPECT_FALSE(s.HasInk({0, 2 * h, 300, 200}));
    const TRect second = s.InkBounds({0, h, 300, 2 * h});
    EXPECT_EQ(second.Right > rowEnd, c.dots)
        << std::hex << c.flags << " ink " << Str(second);
  }
}

TEST(cxDrawTextUtilsTest, SelectionHighlightsAcrossTwoRows) {
  TTextSurface s(300, 100);
  const Integer h = s.LineHeight();
  const String text = "abc def\r\nghi jkl";
  TRect r{0, 0, 300, 100};
  // "def\r\ngh": from offset 4 to 11.
  cxTextOut(s.DC(), text, r, 0, 4, 7, clRed, clWhite);
  const COLORREF red = RGB(255, 0, 0);
  const Integer selLeft = s.Width("abc ");
  const Integer rowEnd = s.Width("abc def");
  const Integer selRight2 = s.Width("gh");
  // Every pixel of the highlighted parts is background or selected text.
  const TRect part1{selLeft, 0, rowEnd, h};
  const TRect part2{0, h, selRight2, 2 * h};
  for (const TRect& part : {part1, part2}) {
    const Integer area = part.Width() * part.Height();
    EXPECT_EQ(s.Count(part, red) + s.Count(part, kWhite), area) << Str(part);
    EXPECT_GT(s.Count(part, kWhite), 0) << Str(part);  // the letters
  }
  // Nothing red outside them; the rest of the text is black.
  EXPECT_EQ(s.Count({0, 0, selLeft, h}, red), 0);
  EXPECT_EQ(s.Count({rowEnd, 0, 300, h}, red), 0);
  EXPECT_EQ(s.Count({selRight2, h, 300, 2 * h}, red), 0);
  EXPECT_GT(s.Count({0, 0, selLeft, h}, kBlack), 0);
  EXPECT_GT(s.Count({selRight2, h, 300, 2 * h}, kBlack), 0);
  EXPECT_EQ(s.Count({selLeft, 0, rowEnd, h}, kBlack), 0);
}

TEST(cxDrawTextUtilsTest, RightToLeftSelectionIsMirroredInTheRow) {
  TTextSurface s(300, 40);
  TcxTextParams p = cxCalcTextParams(s.DC(), 0);
  const char* text = "\xE0\xE1\xE2\xE3\xE4\xE5";
  TcxTextRows rows;
  Integer count = 0;
  cxMakeTextRows(s.DC(), text, {0, 0, 300, 40}, 0, count, rows, p);
  cxPlaceTextRows(s.DC(), {0, 0, 300, 40}, p, count, rows);
  const COLORREF red = RGB(255, 0, 0);
  const Integer rowWidth = rows[0].TextExtents.cx;
  const Integer firstTwo = s.Width(String(text, 2));

  // Left to right: the first two characters are highlighted at the left.
  cxTextRowsOutHighlight(s.DC(), {0, 0, 300, 40}, p, rows, count, 0, 2, clRed,
                         clWhite, false);
  EXPECT_GT(s.Count({0, 0, firstTwo, p.RowHeight}, red), 0);
  EXPECT_EQ(s.Count({firstTwo, 0, 300, 40}, red), 0);

  // Hebrew: the same characters are counted from the row's right.
  s.Clear();
  p.CharSet = HEBREW_CHARSET;
  cxTextRowsOutHighlight(s.DC(), {0, 0, 300, 40}, p, rows, count, 0, 2, clRed,
                         clWhite, false);
  const TRect mirrored{rowWidth - firstTwo, 0, rowWidth, p.RowHeight};
  EXPECT_EQ(s.Count(mirrored, red) + s.Count(mirrored, kWhite),
            mirrored.Width() * mirrored.Height());
  EXPECT_GT(s.Count(mirrored, red), 0);
  EXPECT_EQ(s.Count({0, 0, rowWidth - firstTwo, 40}, red), 0);
}

TEST(cxDrawTextUtilsTest, SelectionOutsideTheTextIsIgnored) {
  TTextSurface s(200, 40);
  const COLORREF red = RGB(255, 0, 0);
  for (const auto& sel :
       {std::pair{-1, 3}, std::pair{5, 2}, std::pair{9, 1}, std::pair{1, 0}}) {
    s.Clear();
    TRect r{0, 0, 200, 40};
    cxTextOut(s.DC(), "hello", r, 0, sel.first, sel.second, clRed, clWhite);
    EXPECT_EQ(s.Count({0, 0, 200, 40}, red), 0) << sel.first;
    EXPECT_TRUE(s.HasInk({0, 0, 200, 40}));
  }
  // A selection running past the end stops at the text's end.
  s.Clear();
  TRect r{0, 0, 200, 40};
  cxTextOut(s.DC(), "hello", r, 0, 3, 100, clRed, clWhite);
  EXPECT_GT(s.Count({s.Width("hel"), 0, s.Width("hello"), 20}, red), 0);
  EXPECT_EQ(s.Count({s.Width("hello"), 0, 200, 40}, red), 0);
}

TEST(cxDrawTextUtilsTest, SelectedEllipsisIsHighlighted) {
  TTextSurface s(300, 40);
  const String text = "abcdefghijklmnopqrstuvwxyz";
  const Integer width = s.Width("abcdefghij");
  TRect r{0, 0, width, 40};
  // The selection runs into the cut-off characters.
  cxTextOut(s.DC(), text, r, cxtoSingleLine | cxtoEndEllipsis, 2, 20, clRed,
            clWhite);
  const COLORREF red = RGB(255, 0, 0);
  INT fit = 0;
  SIZE size{};
  GetTextExtentExPointA(s.DC(), text.data(), 26, width - s.Width("..."), &fit,
                        nullptr, &size);
  const Integer dotsLeft = s.Width(text.substr(0, fit));
  const TRect dots{dotsLeft, 0, std::min(dotsLeft + s.Width("..."), width),
                   s.LineHeight()};
  EXPECT_EQ(s.Count({0, 0, s.Width("ab"), 40}, red), 0);
  // The dots are drawn in the selection colours.
  const Integer area = dots.Width() * dots.Height();
  EXPECT_EQ(s.Count(dots, red) + s.Count(dots, kWhite), area);
  EXPECT_GT(s.Count(dots, red), 0);
  EXPECT_GT(s.Count(dots, kWhite), 0);
  EXPECT_LE(s.InkBounds().Right, width);
}

TEST(cxDrawTextUtilsTest, DrawingLeavesTheDeviceContextAsItWas) {
  TTextSurface s(200, 80);
  SetBkMode(s.DC(), OPAQUE);
  SetTextColor(s.DC(), RGB(0, 0, 255));
  IntersectClipRect(s.DC(), 0, 0, 150, 70);
  const TRegionHandle before(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetClipRgn(s.DC(), before.get()), 1);
  const Integer spaced = s.Width("a b");

  TRect r{0, 0, 30, 70};  // narrow: rows are clipped
  cxTextOut(s.DC(), "a b c d e f selected", r,
            cxtoWordBreak | cxtoCharBreak | cxMakeFormat(taJustifyX, taTop), 2,
            8, clRed, clWhite);

  const TRegionHandle after(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetClipRgn(s.DC(), after.get()), 1);
  EXPECT_TRUE(EqualRgn(before.get(), after.get()));
  EXPECT_EQ(GetBkMode(s.DC()), OPAQUE);
  EXPECT_EQ(GetTextColor(s.DC()), RGB(0, 0, 255));
  // No justification is left behind.
  EXPECT_EQ(s.Width("a b"), spaced);
}

TEST(cxDrawTextUtilsTest, ExpandedTabsDrawAtTabStops) {
  TTextSurface s(300, 40);
  TRect r{0, 0, 300, 40};
  cxTextOut(s.DC(), "a\tW", r, cxtoExpandTabs);
  const DWORD extent = GetTabbedTextExtentA(s.DC(), "a\t", 2, 0, nullptr);
  const Integer tabStop = LOWORD(extent);
  ASSERT_GT(tabStop, s.Width("a\t"));
  // The W starts at the tab stop.
  EXPECT_FALSE(s.HasInk({s.Width("a") + 2, 0, tabStop, 40}));
  EXPECT_TRUE(s.HasInk({tabStop, 0, tabStop + s.Width("W"), 40}));
}

TEST(cxDrawTextUtilsTest, NothingIsDrawnForEmptyTextOrRectangle) {
  TTextSurface s(100, 40);
  TRect r{0, 0, 100, 40};
  EXPECT_EQ(cxTextOut(s.DC(), "", r, 0), 0);
  TRect flat{0, 0, 100, 0};
  EXPECT_EQ(cxTextOut(s.DC(), "abc", flat, 0), 0);
  // Indents that eat the whole width.
  TRect narrow{0, 0, 20, 40};
  EXPECT_EQ(cxTextOut(s.DC(), "abc", narrow, 0, 0, 10, 10), 0);
  EXPECT_FALSE(s.HasInk({0, 0, 100, 40}));
  EXPECT_EQ(narrow, (TRect{0, 0, 20, 40}));
}

TEST(cxDrawTextUtilsTest, IndentsNarrowTheRows) {
  TTextSurface s(200, 40);
  TRect r{0, 0, 200, 40};
  cxTextOut(s.DC(), "Wide", r, cxMakeFormat(taRight, taTop), 0, 7, 13);
  const TRect ink = s.InkBounds();
  EXPECT_LE(ink.Right, 200 - 13);
  EXPECT_GE(ink.Right, 200 - 13 - 3);
}

// ---------------------------------------------------------------------------
// Computing the rectangle
// ---------------------------------------------------------------------------

TEST(cxDrawTextUtilsTest, CalcRectOfOneLineIsTheTextPlusIndents) {
  TTextSurface s(100, 40);
  TRect r{10, 20, 18, 21};
  const Integer result = cxTextOut(s.DC(), "Hello world", r,
                                   cxtoCalcRect | cxtoSingleLine, 0, 3, 4);
  EXPECT_EQ(r, (TRect{10, 20, 10 + 3 + s.Width("Hello world") + 4,
                      20 + s.LineHeight()}))
      << Str(r);
  EXPECT_EQ(result, s.LineHeight());
  EXPECT_FALSE(s.HasInk({0, 0, 100, 40}));  // nothing drawn
}

TEST(cxDrawTextUtilsTest, CalcRectOfWrappedTextIsTheLongestRow) {
  TTextSurface s(100, 40);
  const Integer h = s.LineHeight();
  TRect r{0, 0, s.Width("aaaa bb") + 5, 1};
  const Integer rows =
      cxTextOut(s.DC(), "aaaa bb cc dddddd", r,
                cxtoCalcRect | cxtoWordBreak | cxtoReturnRowCount);
  // Rows "aaaa bb ", "cc ", "dddddd": as wide as the widest.
  EXPECT_EQ(rows, 3);
  const Integer widest = std::max(s.Width("aaaa bb "), s.Width("dddddd"));
  EXPECT_EQ(r, (TRect{0, 0, widest, 3 * h})) << Str(r);

  // With a row limit the rectangle covers only the rows kept.
  r = {0, 0, s.Width("aaaa bb") + 5, 1};
  EXPECT_EQ(cxTextOut(s.DC(), "aaaa bb cc dddddd", r,
                      cxtoCalcRect | cxtoWordBreak, 2),
            2 * h);
  EXPECT_EQ(r.Bottom, 2 * h);
  EXPECT_EQ(r.Right, s.Width("aaaa bb "));

  // No width: nothing to compute.
  TRect zero{5, 5, 5, 5};
  EXPECT_EQ(cxTextOut(s.DC(), "abc", zero, cxtoCalcRect), 0);
  EXPECT_EQ(zero, (TRect{5, 5, 5, 5}));
}

// ---------------------------------------------------------------------------
// Plain wrappers
// ---------------------------------------------------------------------------

TEST(cxDrawTextUtilsTest, TextRectForTwoRowsIsNarrowestThatFits) {
  TTextSurface s(10, 10);
  const String text = kSentence;
  const Integer wg = cxTextSize(s.DC(), "Wg").cy;
  EXPECT_EQ(wg, s.LineHeight());
  const TRect r = cxGetTextRect(s.DC(), text, 2);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Top, 0);
  EXPECT_LE(r.Bottom, 2 * wg);
  // One pixel narrower no longer fits two rows.
  RECT narrower{0, 0, r.Right - 1, 0};
  DrawTextA(s.DC(), text.data(), static_cast<int>(text.size()), &narrower,
            DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK);
  EXPECT_GT(narrower.bottom, 2 * wg);

  const TRect fixed = cxGetTextRect(s.DC(), text, 3, true);
  EXPECT_EQ(fixed.Bottom, 3 * wg);
  EXPECT_LT(fixed.Right, r.Right);

  EXPECT_EQ(cxGetTextRect(s.DC(), text, 0), (TRect{}));
  EXPECT_EQ(cxGetTextRect(s.DC(), text, 1), (TRect{0, 0, s.Width(text), wg}));
  EXPECT_EQ(cxTextSize(s.DC(), "abc"), (TSize{s.Width("abc"), wg}));
}

TEST(cxDrawTextUtilsTest, ExtentCountsStopAtTheStringsEnd) {
  TTextSurface s(10, 10);
  TSize size;
  EXPECT_TRUE(cxGetTextExtentPoint32(s.DC(), "abcd", size));
  EXPECT_EQ(size.cx, s.Width("abcd"));
  EXPECT_TRUE(cxGetTextExtentPoint32(s.DC(), "abcd", size, 2));
  EXPECT_EQ(size.cx, s.Width("ab"));
  EXPECT_TRUE(cxGetTextExtentPoint32(s.DC(), "abcd", size, 400));
  EXPECT_EQ(size.cx, s.Width("abcd"));

  TRect r{0, 0, 0, 0};
  EXPECT_EQ(cxDrawText(s.DC(), "abcd", r, DT_CALCRECT | DT_SINGLELINE, 3),
            s.LineHeight());
  EXPECT_EQ(r.Right, s.Width("abc"));
}

TEST(cxDrawTextUtilsTest, ExtTextOutDrawsTheCountedCharacters) {
  TTextSurface s(200, 40);
  EXPECT_TRUE(cxExtTextOut(s.DC(), "abcd", {0, 0}, 0, 2));
  EXPECT_TRUE(s.HasInk({0, 0, s.Width("ab"), 40}));
  EXPECT_FALSE(s.HasInk({s.Width("ab") + 1, 0, 200, 40}));
  s.Clear();
  EXPECT_TRUE(cxExtTextOut(s.DC(), "abcd", {0, 0}, {0, 0, 5, 40}, ETO_CLIPPED));
  EXPECT_FALSE(s.HasInk({5, 0, 200, 40}));
}

TEST(cxDrawTextUtilsTest, WritingDirectionIsRightToLeftForHebrewAndArabic) {
  struct Case {
    Byte charset;
    const char* text;
    bool rtl;
  };
  const Case cases[] = {
      {ARABIC_CHARSET, "a", false},  // starts with a 7-bit character
      {ARABIC_CHARSET, "\xC7\xE1", true},
      {ARABIC_CHARSET, "", true},
      {HEBREW_CHARSET, "\xE0\xE1", true},
      {HEBREW_CHARSET, "1\xE0", false},
      {GB2312_CHARSET, "\xB0\xA1", false},
      {CHINESEBIG5_CHARSET, "\xA4\x40", false},
      {ANSI_CHARSET, "\xE9t\xE9", false},
      // The default set stands for the system's (Western here).
      {DEFAULT_CHARSET, "\xE9t\xE9", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cxGetWritingDirection(c.charset, c.text), c.rtl)
        << static_cast<int>(c.charset) << " '" << c.text << "'";
  }
}

// ---------------------------------------------------------------------------
// Canvas and font forms
// ---------------------------------------------------------------------------

TEST(cxDrawTextUtilsTest, CanvasFormsUseTheCanvasFont) {
  TObjectPtr<TBitmap> bitmap(new TBitmap());
  bitmap->SetSize(200, 120);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect({0, 0, 200, 120});
  canvas->Font()->SetName(kFace);
  canvas->Font()->SetHeight(-30);
  canvas->Font()->SetColor(clBlack);

  const TcxTextParams p = cxCalcTextParams(canvas, 0);
  TEXTMETRICA tm{};
  GetTextMetricsA(canvas->Handle(), &tm);
  EXPECT_EQ(p.LineHeight, tm.tmHeight);
  EXPECT_GE(p.LineHeight, 30);

  TRect r{0, 0, 200, 120};
  EXPECT_EQ(
      cxTextOut(canvas, "x y", r, cxtoWordBreak | cxtoReturnRowCount, 0, 0, 0),
      1);
  TRect calc{0, 0, 200, 1};
  cxTextOut(canvas, "x y", calc, cxtoCalcRect);
  EXPECT_EQ(calc.Bottom, tm.tmHeight);
  EXPECT_EQ(calc.Right, canvas->TextWidth("x y"));
}

TEST(cxDrawTextUtilsTest, FontFormsMeasureOnTheScreenCanvas) {
  TObjectPtr<TFont> font(new TFont());
  font->SetName(kFace);
  font->SetHeight(-20);
  const TSize extent = cxTextExtent(font.get(), "Hello");
  EXPECT_GT(extent.cx, 0);
  EXPECT_EQ(cxTextWidth(font.get(), "Hello"), extent.cx);
  EXPECT_EQ(cxTextHeight(font.get(), "Hello"), extent.cy);
  // A size in points replaces the font's own.
  EXPECT_GT(cxTextWidth(font.get(), "Hello", 40), extent.cx);
  EXPECT_EQ(cxTextWidth(font.get(), "Hello"), extent.cx);

  const TRect one = cxGetTextRect(font.get(), "Hello", 1);
  EXPECT_EQ(one.Right, extent.cx);
}

TEST(cxDrawTextUtilsTest, TextLinesBreakBetweenWords) {
  TObjectPtr<TBitmap> bitmap(new TBitmap());
  bitmap->SetSize(10, 10);
  bitmap->Canvas()->Font()->SetName(kFace);
  bitmap->Canvas()->Font()->SetHeight(-16);
  TcxCanvas canvas(bitmap->Canvas());
  auto width = [&](const String& t) { return bitmap->Canvas()->TextWidth(t); };
  TObjectPtr<TStringList> lines(new TStringList());

  const TRect r{0, 0, width("aaa bbb") + 2, 50};
  cxGetTextLines("aaa bbb ccc  d", &canvas, r, lines.get());
  ASSERT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Strings(0), "aaa bbb");
  // A run of delimiters belongs to the word after its first one.
  EXPECT_EQ(lines->Strings(1), "ccc  d");

  // A first word too wide for the rectangle leaves an empty first line.
  lines->Clear();
  cxGetTextLines("wwwwwwww x", &canvas, {0, 0, width("ww"), 50}, lines.get());
  ASSERT_EQ(lines->Count(), 3);
  EXPECT_EQ(lines->Strings(0), "");
  EXPECT_EQ(lines->Strings(1), "wwwwwwww");
  EXPECT_EQ(lines->Strings(2), "x");
}

}  // namespace
