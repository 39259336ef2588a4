// Colours, fonts, pens, brushes and the shared GDI object cache, and the
// canvas drawing into a bitmap whose pixels the tests read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include "FormStreams.h"
#include "Graphics.h"
#include "Handles.h"

namespace {

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

TEST(Colors, SystemColorsResolveAndOthersKeepTheirValue) {
  EXPECT_EQ(ColorToRGB(clBtnFace),
            static_cast<Integer>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clHighlightText),
            static_cast<Integer>(GetSysColor(COLOR_HIGHLIGHTTEXT)));
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
  EXPECT_EQ(ColorToRGB(TColor(0x123456)), 0x123456);
  EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFF);
  EXPECT_EQ(ColorToRGB(clDefault), 0x20000000);
  EXPECT_EQ(static_cast<UInt64>(static_cast<LongWord>(clWindow)), 0xFF000005u);
}

TEST(Colors, NamesAndNumbersConvertBothWays) {
  struct Case {
    TColor color;
    const char* text;
  };
  const Case cases[] = {{clRed, "clRed"},
                        {clBtnFace, "clBtnFace"},
                        {clNone, "clNone"},
                        {clDefault, "clDefault"},
                        {cl3DDkShadow, "cl3DDkShadow"},
                        {TColor(0x00123456), "$00123456"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ColorToString(c.color), c.text);
    EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
  }
  EXPECT_EQ(StringToColor("CLRED"), clRed);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
}

// A component with a colour and a font, for form streams.
class TPaintHolder : public TComponent {
  VARNEL_CLASS(TPaintHolder, TComponent)
 public:
  explicit TPaintHolder(TComponent* owner)
      : TComponent(owner), font_(new TFont) {}
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }

 private:
  TColor color_ = clWindow;
  TObjectPtr<TFont> font_;
};

void RegisterHolder() {
  static const bool once = [] {
    TPublished<TPaintHolder>()
        .Property("Color", &TPaintHolder::Color, &TPaintHolder::SetColor,
                  clWindow)
        .Property("Font", &TPaintHolder::Font, &TPaintHolder::SetFont);
    RegisterClasses({TPaintHolder::StaticClass()});
    return true;
  }();
  (void)once;
}

String ToText(TComponent* root) {
  TMemoryStream binary;
  WriteComponentToStream(binary, root);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

TObjectPtr<TComponent> FromText(const String& text) {
  TStringStream in(text);
  TMemoryStream binary;
  ObjectTextToBinary(in, binary);
  binary.SetPosition(0);
  return TObjectPtr<TComponent>(ReadComponentFromStream(binary, nullptr));
}

TEST(Colors, ColourAndCharsetPropertiesStreamAsNames) {
  RegisterHolder();
  TPaintHolder holder(nullptr);
  holder.SetName("Holder1");
  holder.SetColor(clRed);
  holder.Font()->SetCharset(DEFAULT_CHARSET);
  holder.Font()->SetColor(clHighlightText);
  const String text = ToText(&holder);
  EXPECT_NE(text.find("Color = clRed"), String::npos) << text;
  EXPECT_NE(text.find("Font.Color = clHighlightText"), String::npos) << text;
  EXPECT_NE(text.find("Font.Charset = DEFAULT_CHARSET"), String::npos) << text;

  auto root = FromText(
      "object Holder1: TPaintHolder\r\n"
      "  Color = clBtnFace\r\n"
      "  Font.Charset = ANSI_CHARSET\r\n"
      "  Font.Color = $00123456\r\n"
      "  Font.Height = -15\r\n"
      "  Font.Name = 'Arial'\r\n"
      "  Font.Style = [fsBold, fsItalic]\r\n"
      "end\r\n");
  auto* back = dynamic_cast<TPaintHolder*>(root.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Color(), clBtnFace);
  EXPECT_EQ(back->Font()->Charset(), ANSI_CHARSET);
  EXPECT_EQ(back->Font()->Color(), TColor(0x123456));
  EXPECT_EQ(back->Font()->Height(), -15);
  EXPECT_EQ(back->Font()->Name(), "Arial");
  EXPECT_EQ(back->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
}

// ---------------------------------------------------------------------------
// Fonts, pens, brushes
// ---------------------------------------------------------------------------

struct ChangeCounter {
  int count = 0;
  void OnChange(TObject*) { ++count; }
};

TEST(Font, SizeAndHeightAreOneValueAndChangesAreReportedOnce) {
  TFont font;
  font.SetPixelsPerInch(96);
  ChangeCounter changes;
  font.OnChange = TNotifyEvent(&changes, &ChangeCounter::OnChange);
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -12);
  EXPECT_EQ(font.Size(), 9);
  font.SetHeight(-16);
  EXPECT_EQ(font.Size(), 12);
  EXPECT_EQ(changes.count, 2);
  font.SetHeight(-16);
  font.SetColor(font.Color());
  font.SetStyle(font.Style());
  EXPECT_EQ(changes.count, 2);  // nothing changed
  font.SetStyle({fsUnderline});
  font.SetColor(clRed);
  EXPECT_EQ(changes.count, 4);
}

TEST(Font, OnChangingSeesTheOldValuesAndOnChangeTheNew) {
  TFont font;
  font.SetHeight(-10);
  font.SetColor(clBlack);
  std::vector<std::pair<Integer, TColor>> before, after;
  font.OnChanging = TNotifyEvent::FromFunction([&](TObject*) {
    before.push_back({font.Height(), font.Color()});
  });
  font.OnChange = TNotifyEvent::FromFunction([&](TObject*) {
    after.push_back({font.Height(), font.Color()});
  });
  font.SetHeight(-20);
  TFont other;
  other.SetHeight(-30);
  other.SetColor(clRed);
  font.Assign(&other);
  using V = std::vector<std::pair<Integer, TColor>>;
  EXPECT_EQ(before, (V{{-10, clBlack}, {-20, clBlack}}));
  EXPECT_EQ(after, (V{{-20, clBlack}, {-30, clRed}}));
}

TEST(Font, AssignCopiesEveryAttributeAndTheHandle) {
  TFont a;
  a.SetName("Courier New");
  a.SetHeight(-20);
  a.SetStyle({fsBold, fsStrikeOut});
  a.SetColor(clBlue);
  a.SetCharset(ANSI_CHARSET);
  a.SetPitch(fpFixed);
  TFont b;
  b.Assign(&a);
  EXPECT_EQ(b.Name(), "Courier New");
  EXPECT_EQ(b.Height(), -20);
  EXPECT_EQ(b.Style(), (TFontStyles{fsBold, fsStrikeOut}));
  EXPECT_EQ(b.Color(), clBlue);
  EXPECT_EQ(b.Charset(), ANSI_CHARSET);
  EXPECT_EQ(b.Pitch(), fpFixed);
  EXPECT_EQ(b.Handle(), a.Handle());
  LOGFONTA lf{};
  ASSERT_TRUE(GetObjectA(b.Handle(), sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfStrikeOut);
  EXPECT_STREQ(lf.lfFaceName, "Courier New");
}

TEST(GdiCache, EqualObjectsShareOneHandleThatTheLastUserFrees) {
  const std::size_t before = graphics_detail::CachedResourceCount();
  HFONT shared = nullptr;
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  {
    TFont f1, f2;
    f1.SetHeight(-31);
    f2.SetHeight(-31);
    shared = f1.Handle();
    EXPECT_EQ(f2.Handle(), shared);
    f2.SetStyle({fsItalic});
    EXPECT_NE(f2.Handle(), shared);
    EXPECT_EQ(f1.Handle(), shared);  // the other user keeps its object

    TPen p1, p2;
    p1.SetColor(TColor(0x010203));
    p2.SetColor(TColor(0x010203));
    pen = p1.Handle();
    EXPECT_EQ(p2.Handle(), pen);
    TBrush b1, b2;
    b1.SetColor(TColor(0x040506));
    b2.SetColor(TColor(0x040506));
    brush = b1.Handle();
    EXPECT_EQ(b2.Handle(), brush);
    EXPECT_NE(GetObjectType(shared), 0u);
  }
  EXPECT_EQ(graphics_detail::CachedResourceCount(), before);
  EXPECT_EQ(GetObjectType(shared), 0u);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(GdiCache, AdoptedHandleIsSharedByAssignAndFreedOnce) {
  HFONT own = CreateFontA(-23, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                          0, 0, "Arial");
  {
    TFont a;
    a.SetHandle(own);
    EXPECT_EQ(a.Height(), -23);
    EXPECT_TRUE(a.Style().Contains(fsBold));
    EXPECT_EQ(a.Handle(), own);
    TFont b;
    b.Assign(&a);
    EXPECT_EQ(b.Handle(), own);
    a.SetHeight(-24);  // a leaves the adopted handle; b still uses it
    EXPECT_NE(GetObjectType(own), 0u);
  }
  EXPECT_EQ(GetObjectType(own), 0u);
}

TEST(Brush, ColourMakesAClearBrushSolidAndStylesMapToTheSystem) {
  TBrush b;
  b.SetStyle(bsClear);
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectA(b.Handle(), sizeof lb, &lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HOLLOW));
  b.SetColor(clRed);
  EXPECT_EQ(b.Style(), bsSolid);
  b.SetStyle(bsCross);
  ASSERT_TRUE(GetObjectA(b.Handle(), sizeof lb, &lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
  EXPECT_EQ(lb.lbColor, RGB(255, 0, 0));
}

// ---------------------------------------------------------------------------
// Canvas
// ---------------------------------------------------------------------------

TObjectPtr<TBitmap> WhiteBitmap(Integer w, Integer h,
                                TPixelFormat format = pf24bit) {
  TObjectPtr<TBitmap> b(new TBitmap);
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(clWhite);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

// The colour of a pf24bit pixel read from the bitmap's memory.
TColor PixelFromScanLine(TBitmap* b, Integer x, Integer y) {
  const Byte* p = static_cast<const Byte*>(b->ScanLine(y)) + x * 3;
  return TColor(RGB(p[2], p[1], p[0]));
}

TEST(Canvas, ShapesDrawIntoTheBitmapsPixels) {
  auto bmp = WhiteBitmap(40, 30);
  TCanvas* c = bmp->Canvas();
  c->Pen()->SetColor(clBlue);
  c->Brush()->SetColor(clRed);
  c->Rectangle(2, 2, 12, 12);
  c->Brush()->SetColor(clLime);
  c->Pen()->SetStyle(psClear);
  c->Polygon({Point(20, 2), Point(38, 2), Point(38, 20)});
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetColor(clBlack);
  c->MoveTo(0, 25);
  c->LineTo(30, 25);
  EXPECT_EQ(c->PenPos(), Point(30, 25));

  struct Expect {
    Integer x, y;
    TColor color;
  };
  const Expect expected[] = {
      {2, 2, clBlue},     // frame
      {11, 7, clBlue},    // right edge (inside the half-open rectangle)
      {6, 6, clRed},      // inside
      {12, 6, clWhite},   // just outside
      {36, 4, clLime},    // polygon
      {22, 18, clWhite},  // other side of the diagonal
      {29, 25, clBlack},  // line
      {30, 25, clWhite},  // the line excludes its end point
  };
  for (const Expect& e : expected) {
    EXPECT_EQ(c->Pixels(e.x, e.y), e.color) << e.x << "," << e.y;
    EXPECT_EQ(PixelFromScanLine(bmp.get(), e.x, e.y), e.color)
        << e.x << "," << e.y;
  }
  c->SetPixels(39, 29, clYellow);
  EXPECT_EQ(PixelFromScanLine(bmp.get(), 39, 29), clYellow);
}

// A lent DC is given back, not freed, and the lock released, also when the
// drawing fails.
TEST(Canvas, LentDCIsGivenBackAndTheLockReleased) {
  TOwnedDC owned(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(owned);
  const HDC dc = owned.get();
  TCanvas canvas;
  for (bool fail : {false, true}) {
    try {
      TCanvasDCScope scope(&canvas, dc);
      EXPECT_EQ(canvas.Handle(), dc);
      EXPECT_EQ(canvas.LockCount(), 1);
      canvas.FillRect(Rect(0, 0, 1, 1));
      if (fail) throw EInvalidOperation("paint");
    } catch (const EInvalidOperation&) {
      EXPECT_TRUE(fail);
    }
    EXPECT_FALSE(canvas.HandleAllocated()) << fail;
    EXPECT_EQ(canvas.LockCount(), 0) << fail;
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC)) << fail;
  }
}

TEST(Canvas, PatternBrushRepeatsItsBitmap) {
  auto pattern = WhiteBitmap(8, 8);
  pattern->Canvas()->Brush()->SetColor(clNavy);
  pattern->Canvas()->FillRect(Rect(0, 0, 4, 8));
  auto bmp = WhiteBitmap(16, 4);
  bmp->Canvas()->Brush()->SetBitmap(pattern.get());
  bmp->Canvas()->FillRect(Rect(0, 0, 16, 4));
  for (Integer x = 0; x < 16; ++x) {
    EXPECT_EQ(bmp->Canvas()->Pixels(x, 2), x % 8 < 4 ? clNavy : clWhite) << x;
  }
  bmp->Canvas()->Brush()->SetBitmap(nullptr);
  bmp->Canvas()->Brush()->SetColor(clRed);
  bmp->Canvas()->FillRect(Rect(0, 0, 16, 4));
  EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), clRed);
}

TEST(Canvas, SystemColoursResolveWhenDrawing) {
  auto bmp = WhiteBitmap(4, 4);
  bmp->Canvas()->Brush()->SetColor(clBtnShadow);
  bmp->Canvas()->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), ColorToRGB(clBtnShadow));
}

TEST(Canvas, XorPenModeUndoesItselfAndFrameRectUsesTheBrush) {
  auto bmp = WhiteBitmap(20, 20);
  TCanvas* c = bmp->Canvas();
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(clWhite);
  c->MoveTo(0, 5);
  c->LineTo(20, 5);
  EXPECT_EQ(c->Pixels(10, 5), clBlack);  // white xor white
  c->MoveTo(0, 5);
  c->LineTo(20, 5);
  EXPECT_EQ(c->Pixels(10, 5), clWhite);

  c->Brush()->SetColor(clGreen);
  c->FrameRect(Rect(10, 10, 18, 18));
  EXPECT_EQ(c->Pixels(10, 14), clGreen);
  EXPECT_EQ(c->Pixels(14, 14), clWhite);
}

TEST(Canvas, TextOutPaintsWithinItsExtentAndMovesThePen) {
  auto bmp = WhiteBitmap(120, 40);
  TCanvas* c = bmp->Canvas();
  c->Font()->SetHeight(-20);
  c->Font()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  const TSize extent = c->TextExtent("HHHH");
  ASSERT_GT(extent.cx, 0);
  ASSERT_GT(extent.cy, 0);
  EXPECT_EQ(c->TextWidth("HHHH"), extent.cx);
  EXPECT_EQ(c->TextHeight("HHHH"), extent.cy);
  c->TextOut(5, 5, "HHHH");
  EXPECT_EQ(c->PenPos(), Point(5 + extent.cx, 5));
  int inked = 0;
  int outside = 0;
  for (Integer y = 0; y < 40; ++y) {
    for (Integer x = 0; x < 120; ++x) {
      if (c->Pixels(x, y) == clWhite) continue;
      if (x >= 5 && x < 5 + extent.cx && y >= 5 && y < 5 + extent.cy) {
        ++inked;
      } else {
        ++outside;
      }
    }
  }
  EXPECT_GT(inked, 10);
  EXPECT_EQ(outside, 0);
}

TEST(Canvas, TextRectClipsAndFillsWithTheBrush) {
  auto bmp = WhiteBitmap(100, 30);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clYellow);
  c->Font()->SetColor(clBlack);
  c->TextRect(Rect(10, 5, 30, 25), 10, 5, "WWWWWWWWWWWWWW");
  EXPECT_EQ(c->Pixels(29, 24), clYellow);  // the rectangle is filled
  for (Integer y = 0; y < 30; ++y) {
    for (Integer x = 30; x < 100; ++x) {
      ASSERT_EQ(c->Pixels(x, y), clWhite) << x << "," << y;
    }
  }
}

TEST(Canvas, ChangingTheSelectedFontDeletesTheOldObjectAndSelectsTheNew) {
  auto bmp = WhiteBitmap(50, 30);
  TCanvas* c = bmp->Canvas();
  c->Font()->SetName("Arial");
  c->Font()->SetHeight(-37);  // no other font uses this one
  c->TextOut(0, 0, "x");
  HFONT selected = c->Font()->Handle();
  EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_FONT), selected);
  c->Font()->SetHeight(-38);
  // Deselected before the cache let it go, so it really was deleted.
  EXPECT_EQ(GetObjectType(selected), 0u);
  c->TextOut(0, 0, "x");
  EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_FONT), c->Font()->Handle());
}

TEST(Canvas, CopyRectAndDrawCopyBetweenBitmaps) {
  auto src = WhiteBitmap(10, 10);
  src->Canvas()->Brush()->SetColor(clRed);
  src->Canvas()->FillRect(Rect(0, 0, 5, 10));
  auto dst = WhiteBitmap(30, 30);
  dst->Canvas()->CopyRect(Rect(0, 0, 20, 20), src->Canvas(),
                          Rect(0, 0, 10, 10));  // stretched twice
  EXPECT_EQ(dst->Canvas()->Pixels(9, 15), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(10, 15), clWhite);
  dst->Canvas()->Draw(20, 20, src.get());
  EXPECT_EQ(dst->Canvas()->Pixels(24, 29), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(25, 29), clWhite);
  dst->Canvas()->Draw(0, 0, nullptr);  // nothing to draw is no error
}

TEST(Canvas, BrushCopyShowsTheBrushWhereTheColourWas) {
  auto src = WhiteBitmap(10, 10);
  src->Canvas()->Brush()->SetColor(clRed);
  src->Canvas()->FillRect(Rect(0, 0, 5, 10));
  auto dst = WhiteBitmap(10, 10);
  dst->Canvas()->Brush()->SetColor(clBlue);
  dst->Canvas()->BrushCopy(Rect(0, 0, 10, 10), src.get(), Rect(0, 0, 10, 10),
                           clWhite);
  EXPECT_EQ(dst->Canvas()->Pixels(2, 2), clRed);
  EXPECT_EQ(dst->Canvas()->Pixels(7, 2), clBlue);
}

TEST(Canvas, WithoutADeviceContextDrawingRaises) {
  TCanvas c;
  EXPECT_THROW(c.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW(c.Handle(), EInvalidOperation);
}

TEST(Canvas, LockKeepsOtherThreadsOut) {
  TCanvas c;
  c.Lock();
  EXPECT_EQ(c.LockCount(), 1);
  std::atomic<int> got{-1};
  std::thread([&] { got = c.TryLock() ? 1 : 0; }).join();
  EXPECT_EQ(got, 0);
  c.Unlock();
  std::thread([&] {
    got = c.TryLock() ? 1 : 0;
    if (got) c.Unlock();
  }).join();
  EXPECT_EQ(got, 1);
}

TEST(Canvas, OnChangeFollowsEveryDrawingCall) {
  auto bmp = WhiteBitmap(10, 10);
  ChangeCounter canvasChanges;
  ChangeCounter bitmapChanges;
  bmp->Canvas()->OnChange =
      TNotifyEvent(&canvasChanges, &ChangeCounter::OnChange);
  bmp->Canvas()->FillRect(Rect(0, 0, 2, 2));
  bmp->Canvas()->Ellipse(0, 0, 5, 5);
  bmp->Canvas()->TextOut(0, 0, "a");
  EXPECT_EQ(canvasChanges.count, 3);

  // A bitmap hears about drawing on its own canvas.
  auto other = WhiteBitmap(10, 10);
  other->OnChange = TNotifyEvent(&bitmapChanges, &ChangeCounter::OnChange);
  other->Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(bitmapChanges.count, 1);
}

}  // namespace
