// The extended editors' routines: frames and lines read back from a bitmap,
// colour increments, text flags, parsing tables and the window hook.
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "cxEditTestCanvas.h"
#include "cxExtEditConsts.h"
#include "cxExtEditUtils.h"

namespace {

using edit_test::kPaper;
using edit_test::TTestCanvas;

constexpr TColor kUpper = TColor(0x0000FF);
constexpr TColor kLower = TColor(0x00FF00);

TEST(DrawBounds, RightAndBottomAreTheLastDrawnColumnAndRow) {
  TTestCanvas c(12, 7);
  const TRect inner =
      DrawBounds(c.Canvas()->Canvas(), TRect{0, 0, 10, 5}, kUpper, kLower);
  EXPECT_EQ(inner, (TRect{1, 1, 9, 4}));
  EXPECT_EQ(c.Picture(kUpper),
            "###########.\n"
            "#...........\n"
            "#...........\n"
            "#...........\n"
            "#...........\n"
            "#...........\n"
            "............\n");
  EXPECT_EQ(c.Picture(kLower),
            "............\n"
            "..........#.\n"
            "..........#.\n"
            "..........#.\n"
            "..........#.\n"
            ".##########.\n"
            "............\n");
}

TEST(DrawCanvasLine, DrawsInTheColourAndLeavesTheEndPoint) {
  TTestCanvas c(8, 3);
  DrawCanvasLine(c.Canvas()->Canvas(), kUpper, TPoint{1, 1}, TPoint{6, 1});
  EXPECT_EQ(c.Run(1, kUpper), std::make_pair(1, 5));
  EXPECT_TRUE(c.Is(6, 1, kPaper));
}

TEST(DrawMRUDelimiter, TwoLinesAboveTheBottom) {
  TTestCanvas c(6, 6);
  DrawMRUDelimiter(c.Canvas()->Canvas(), TRect{0, 0, 6, 6}, false);
  EXPECT_EQ(c.Picture(clWindowText),
            "......\n"
            "......\n"
            "......\n"
            "######\n"
            "......\n"
            "######\n");
}

TEST(IncColor, ChannelsMoveByTheirDeltaWithinTheByteRange) {
  struct Case {
    TColor color;
    Integer dr, dg, db;
    Integer expected;
  };
  const Case cases[] = {
      {TColor(RGB(250, 10, 0)), 10, 10, 10, RGB(255, 20, 10)},
      // The splitter's hot zones darken with negative deltas: a channel
      // stops at 0 instead of wrapping to a bright value.
      {TColor(RGB(20, 100, 40)), -30, -60, 0, RGB(0, 40, 40)},
      {TColor(RGB(0, 0, 0)), -1, 300, 0, RGB(0, 255, 0)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Integer(IncColor(c.color, c.dr, c.dg, c.db)), c.expected)
        << std::hex << Integer(c.color);
  }
}

TEST(IncColor, ResolvesSystemColoursFirst) {
  const Integer face = ColorToRGB(clBtnFace);
  const Integer expected =
      RGB(std::max(GetRValue(face) - 1, 0), std::max(GetGValue(face) - 1, 0),
          std::max(GetBValue(face) - 1, 0));
  EXPECT_EQ(Integer(IncColor(clBtnFace, -1, -1, -1)), expected);
}

TEST(RectRoutines, InflateWidthHeightAndCentring) {
  TRect r{0, 0, 10, 10};
  InflateRectEx(r, 1, 2, -3, -4);
  EXPECT_EQ(r, (TRect{1, 2, 7, 6}));
  EXPECT_EQ(RectWidth(TRect{5, 0, 2, 0}), 0);
  EXPECT_EQ(RectHeight(TRect{0, 9, 0, 3}), 0);
  EXPECT_EQ(RectWidth(TRect{2, 0, 9, 0}), 7);
  // (7 - 2) div 2 toward zero, and (2 - 7) div 2 likewise.
  EXPECT_EQ(CalcCenterPosHeight(TRect{0, 0, 0, 7}, 2), 2);
  EXPECT_EQ(CalcCenterPosHeight(TRect{0, 0, 0, 2}, 7), -2);
  EXPECT_EQ(CalcDrawWidth(TRect{0, 0, 0, 7}, 2), 8);
}

TEST(PrepareTextFlag, BothVocabularies) {
  struct Case {
    TAlignment horz;
    TcxAlignmentVert vert;
    bool ellipsis, wrap;
    Integer tab;
    bool drawText, prefix;
    Integer expected;
  };
  const Case cases[] = {
      {taLeftJustify, vaTop, false, false, 0, true, false, DT_NOPREFIX},
      {taRightJustify, vaBottom, true, false, 0, true, true,
       DT_RIGHT | DT_BOTTOM | DT_END_ELLIPSIS},
      {taCenter, vaCenter, false, true, 8, true, false,
       DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS |
           DT_TABSTOP},
      {taLeftJustify, vaTop, false, false, 0, false, false, 0x1 | 0x8},
      {taRightJustify, vaBottom, true, true, 4, false, true,
       0x2 | 0x10 | 0x800 | 0x400 | 0x100 | 0x200},
      {taCenter, vaCenter, false, false, 0, false, false, 0x4 | 0x20},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PrepareTextFlag(0x40000, c.horz, c.vert, c.ellipsis, c.wrap,
                              c.tab, c.drawText, c.prefix),
              0x40000 | c.expected)
        << c.horz << " " << c.vert << " " << c.drawText;
  }
}

TEST(GetWord, PiecesFromOne) {
  struct Case {
    Integer n;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {2, "a;b;c", "b"}, {4, "a;b;c", ""}, {0, "a;b", ""}, {-1, "a", ""},
      {1, "abc", "abc"}, {2, "abc", ""},   {2, "a;", ""},  {2, "a;;b", ""},
      {3, "a;;b", "b"},  {1, "", ""},      {1, ";x", ""},  {2, ";x", "x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetWord(c.n, c.text, ';'), c.expected) << c.n << " " << c.text;
  }
}

TEST(cxStrToInt, CollectsDigitsAndMinusSigns) {
  struct Case {
    const char* text;
    bool stop;
    Integer expected;
  };
  const Case cases[] = {
      {"12a3", false, 123}, {"12a3", true, 12}, {"abc", false, 0},
      {"abc", true, 0},     {"-42", true, -42}, {"x-4 2", false, -42},
      {"", true, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cxStrToInt(c.text, c.stop), c.expected) << c.text;
  }
  EXPECT_THROW(cxStrToInt("1-2", true), EConvertError);
  EXPECT_THROW(cxStrToInt("1x-2", false), EConvertError);
}

TEST(cxStrToFloat, CollectsDigitsMinusAndTheSeparator) {
  EXPECT_DOUBLE_EQ(double(cxStrToFloat("1.5kg", true)), 1.5);
  EXPECT_DOUBLE_EQ(double(cxStrToFloat("a1b.2c5", false)), 1.25);
  EXPECT_DOUBLE_EQ(double(cxStrToFloat("kg", true)), 0.0);
  EXPECT_THROW(cxStrToFloat("1.2.3", true), EConvertError);
}

TEST(IsValidStringFor, NumbersAndNonNumbers) {
  struct Case {
    const char* text;
    bool isInt, isDouble;
  };
  const Case cases[] = {
      {" -1.5 ", false, true},
      {"12", true, true},
      {" 7 ", true, true},
      {"1.2.3", false, false},
      {"1-2", false, false},
      {"", false, false},
      {"   ", false, false},
      {"1E5", false, false},
      {"abc", false, false},
      {"1e400", false, false},
      {"12a", false, false},
      // Pass the character test but are no number: a plain "no", not an
      // exception out of a validity test.
      {"-", false, false},
      {".", false, false},
      {"-.", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidStringForInt(c.text), c.isInt) << c.text;
    EXPECT_EQ(IsValidStringForDouble(c.text), c.isDouble) << c.text;
  }
}

TEST(IsValidStringForDouble, FollowsTheLocaleSeparator) {
  TRestoreOnExit<char> restore(DecimalSeparator);
  DecimalSeparator = ',';
  EXPECT_TRUE(IsValidStringForDouble("1,5"));
  EXPECT_FALSE(IsValidStringForDouble("1.5"));
}

TEST(IsVarEmpty, NullAndEmptyOnly) {
  EXPECT_TRUE(IsVarEmpty(Variant()));
  EXPECT_TRUE(IsVarEmpty(Null()));
  EXPECT_FALSE(IsVarEmpty(Variant(0)));
  EXPECT_FALSE(IsVarEmpty(Variant(String())));
}

TEST(ColourStrings, IdentifiersIntegersAndChannels) {
  TColor color = clBlack;
  EXPECT_TRUE(cxStrToColor("clRed", color));
  EXPECT_EQ(color, clRed);
  EXPECT_TRUE(cxStrToColor("4210752", color));
  EXPECT_EQ(color, TColor(4210752));
  color = clAqua;
  EXPECT_FALSE(cxStrToColor("reddish", color));
  EXPECT_EQ(color, clAqua);

  struct Case {
    const char* text;
    bool hex;
    Integer expected;
  };
  const Case cases[] = {
      {"#FF8000", true, RGB(255, 128, 0)}, {"ff-80-00", true, RGB(255, 128, 0)},
      {"F", true, RGB(15, 0, 0)},          {"", true, 0},
      {"10.20", false, RGB(10, 20, 20)},   {"255", false, RGB(255, 255, 255)},
      {"1.2.3", false, RGB(1, 2, 3)},      {"300.x", false, RGB(44, 0, 0)},
      {"1-2.5.6", false, RGB(0, 5, 6)},
  };
  for (const Case& c : cases) {
    const TColor result = c.hex ? cxHexRGBStringColorToColor(c.text)
                                : cxRGBStringColorToColor(c.text);
    EXPECT_EQ(Integer(result), c.expected) << c.text;
  }
}

TEST(CheckStateStrings, RoundTripAndGrayedFallback) {
  for (TcxCheckBoxState s : {cbsUnchecked, cbsChecked, cbsGrayed}) {
    EXPECT_EQ(StringToCheckState(CheckStateToString(s), true), s);
  }
  EXPECT_EQ(StringToCheckState("2", false), cbsUnchecked);
  EXPECT_EQ(StringToCheckState("x", true), cbsGrayed);
  EXPECT_EQ(StringToCheckState("", true), cbsGrayed);
  EXPECT_EQ(StringToCheckState("0", true), cbsUnchecked);
}

TEST(cxIsAccel, TheCharacterAfterASingleAmpersand) {
  EXPECT_TRUE(cxIsAccel('o', "&Options"));
  EXPECT_TRUE(cxIsAccel('P', "O&ptions"));
  EXPECT_FALSE(cxIsAccel('O', "O&ptions"));
  EXPECT_FALSE(cxIsAccel('a', "Fish && &Chips"));
  EXPECT_TRUE(cxIsAccel('c', "Fish && &Chips"));
  EXPECT_FALSE(cxIsAccel('x', "Trailing&"));
  EXPECT_FALSE(cxIsAccel('o', "Options"));
}

TEST(AdjustCanvasFont, TurnsOnlyTrueTypeFonts) {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  TObjectPtr<TFont> font(new TFont);
  font->SetName("Tahoma");
  font->SetSize(10);
  EXPECT_TRUE(AdjustCanvasFont(bitmap->Canvas(), font.get(), -270));
  EXPECT_EQ(bitmap->Canvas()->Font()->Orientation(), 900);
  EXPECT_EQ(bitmap->Canvas()->Font()->Size(), 10);
  EXPECT_TRUE(AdjustCanvasFont(bitmap->Canvas(), font.get(), 360));
  EXPECT_EQ(bitmap->Canvas()->Font()->Orientation(), 0);
}

TEST(TextMeasures, LinesAndFonts) {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  TCanvas* canvas = bitmap->Canvas();
  const Integer wide = canvas->TextWidth("WWWWWW");
  EXPECT_GE(CalcMaxWidth(canvas, "i\nWWWWWW"), wide + 1);
  EXPECT_EQ(CalcMaxWidth(canvas, "WWWWWW"), wide + 1);
  TObjectPtr<TFont> font(new TFont);
  font->SetSize(20);
  EXPECT_EQ(NonCanvasTextHeight(font.get()), [&] {
    canvas->Font()->Assign(font.get());
    return canvas->TextHeight("Wg");
  }());
  EXPECT_GT(NonCanvasTextWidth(font.get(), "WW"),
            NonCanvasTextWidth(font.get(), "W"));
}

TEST(ColourTables, ParallelListsAndKnownValues) {
  EXPECT_STREQ(cxColorIdentNames[16], "clMoneyGreen");
  EXPECT_EQ(cxColorIdentValues[16], TColor(0xC0DCC0));
  EXPECT_STREQ(cxColorIdentNames[29], "clDefault");
  EXPECT_EQ(cxColorIdentValues[29], clDefault);
  EXPECT_STREQ(cxColorIdentNames[45], "clNone");
  EXPECT_EQ(cxColorIdentValues[45], clNone);
  // Every identifier names the value the class library gives it.
  for (Integer i = 0; i < cxColorIdentCount; ++i) {
    Integer value = 0;
    ASSERT_TRUE(IdentToColor(cxColorIdentNames[i], value))
        << cxColorIdentNames[i];
    EXPECT_EQ(TColor(value), cxColorIdentValues[i]) << cxColorIdentNames[i];
  }
  EXPECT_STREQ(cxX11ColorNames[0], "AliceBlue");
  EXPECT_EQ(cxX11ColorValues[0], TColor(0xFFF8F0));
  EXPECT_STREQ(cxX11ColorByHueNames[0], "LightPink");
  EXPECT_STREQ(cxX11ColorByHueNames[139], "Black");
  EXPECT_STREQ(cxHTML4ColorNames[5], "Red");
  EXPECT_EQ(cxHTML4ColorValues[5], clRed);
  // The hue order holds the same colours with the same values.
  for (Integer i = 0; i < cxX11ColorCount; ++i) {
    const String name = cxX11ColorByHueNames[i];
    Integer found = 0;
    for (Integer j = 0; j < cxX11ColorCount; ++j) {
      if (name == cxX11ColorNames[j]) {
        ++found;
        EXPECT_EQ(cxX11ColorByHueValues[i], cxX11ColorValues[j]) << name;
      }
    }
    EXPECT_EQ(found, 1) << name;
  }
}

// ---------------------------------------------------------------------------
// Window hook and parent background
// ---------------------------------------------------------------------------

constexpr UINT kProbe = WM_APP + 17;

class TProbeHook : public TcxControlHook {
 public:
  Integer Seen = 0;

 protected:
  void HookWndProc(TMessage& Message) override {
    if (Message.Msg == kProbe) ++Seen;
    TcxControlHook::HookWndProc(Message);
  }
};

LRESULT CALLBACK LaterProc(HWND, UINT, WPARAM, LPARAM) { return 77; }

class HookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(0, 0, 120, 80);
    form_->SetColor(clRed);
    panel_ = new TPanel(form_.get());
    panel_->SetBounds(10, 20, 40, 30);
    panel_->SetParent(form_.get());
    form_->HandleNeeded();
  }
  WNDPROC ProcOf(TWinControl* c) {
    return reinterpret_cast<WNDPROC>(
        GetWindowLongPtrA(c->Handle(), GWLP_WNDPROC));
  }

  TObjectPtr<TForm> form_;
  TPanel* panel_ = nullptr;
};

TEST_F(HookTest, MessagesPassThroughAndUnhookingRestores) {
  const WNDPROC original = ProcOf(panel_);
  TProbeHook hook;
  hook.SetWinControl(panel_);
  EXPECT_TRUE(hook.IsHooked());
  EXPECT_NE(ProcOf(panel_), original);
  SendMessageA(panel_->Handle(), kProbe, 0, 0);
  EXPECT_EQ(hook.Seen, 1);
  // The control still answers through its own procedure.
  char text[16] = {};
  panel_->SetCaption("abc");
  SendMessageA(panel_->Handle(), WM_GETTEXT, sizeof(text),
               reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "abc");
  hook.SetWinControl(nullptr);
  EXPECT_FALSE(hook.IsHooked());
  EXPECT_EQ(ProcOf(panel_), original);
  SendMessageA(panel_->Handle(), kProbe, 0, 0);
  EXPECT_EQ(hook.Seen, 1);
}

TEST_F(HookTest, AProcedureInstalledLaterStaysInPlace) {
  const WNDPROC original = ProcOf(panel_);
  auto hook = std::make_unique<TProbeHook>();
  hook->SetWinControl(panel_);
  const WNDPROC ours = ProcOf(panel_);
  const LONG_PTR later = SetWindowLongPtrA(
      panel_->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProc));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(later), ours);
  hook.reset();
  EXPECT_EQ(ProcOf(panel_), &LaterProc);
  // Put ours' predecessor back by hand so the panel can be destroyed (ours
  // went with the hook).
  SetWindowLongPtrA(panel_->Handle(), GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(original));
  hook = std::make_unique<TProbeHook>();
  hook->SetWinControl(panel_);
  hook.reset();
}

TEST_F(HookTest, DestroyingTheWindowUnhooks) {
  TProbeHook hook;
  hook.SetWinControl(panel_);
  panel_->DestroyHandle();
  EXPECT_FALSE(hook.IsHooked());
  EXPECT_EQ(hook.WinControl(), panel_);
}

TEST_F(HookTest, PaintBackgroundDrawsTheParentAtTheControlsPlace) {
  TTestCanvas c(40, 30, clWhite);
  PaintBackground(panel_, c.Canvas()->Handle(), false);
  EXPECT_TRUE(c.Is(5, 5, clWhite));
  PaintBackground(panel_, c.Canvas()->Handle(), true);
  EXPECT_TRUE(c.Is(5, 5, clRed));
  EXPECT_TRUE(c.Is(39, 29, clRed));
  // The DC's origin is back where it was.
  POINT org{1, 1};
  GetWindowOrgEx(c.Canvas()->Handle(), &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(org.y, 0);
}

}  // namespace

namespace {

TEST(TcxLazyBitmap, MadeOnFirstReadAndFreedByNil) {
  Integer changes = 0;
  TcxLazyBitmap glyph([&changes] { ++changes; });
  EXPECT_FALSE(glyph.Assigned());
  glyph.Set(nullptr);
  EXPECT_EQ(changes, 0);
  glyph.Get()->SetSize(4, 4);
  EXPECT_TRUE(glyph.Assigned());
  EXPECT_GT(changes, 0);
  const Integer before = changes;
  glyph.Set(nullptr);
  EXPECT_FALSE(glyph.Assigned());
  EXPECT_EQ(changes, before + 1);
}

TEST(cxAnswerMeasureItem, GivesTheControlsSize) {
  TObjectPtr<TPanel> panel(new TPanel(nullptr));
  panel->SetBounds(0, 0, 33, 17);
  MEASUREITEMSTRUCT item{};
  TMessage m{CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item), 0};
  EXPECT_TRUE(cxAnswerMeasureItem(panel.get(), m));
  EXPECT_EQ(item.itemWidth, 33u);
  EXPECT_EQ(item.itemHeight, 17u);
  TMessage other{WM_PAINT, 0, 0, 0};
  EXPECT_FALSE(cxAnswerMeasureItem(panel.get(), other));
}

}  // namespace
