// Bitmaps: pixel formats, scan lines, the BMP format (and what it does with
// corrupt data), transparency and resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "Graphics.h"
#include "GraphicsTestHelpers.h"

namespace {

using visual_test::Filled;
using visual_test::LoadBytes;
using visual_test::Put;
using visual_test::Saved;

TEST(Bitmap, EveryPixelFormatKeepsItsPixelsThroughTheBmpFormat) {
  struct Case {
    TPixelFormat format;
    Integer bitsPerPixel;
  };
  const Case cases[] = {{pf1bit, 1},   {pf4bit, 4},   {pf8bit, 8},
                        {pf15bit, 16}, {pf16bit, 16}, {pf24bit, 24},
                        {pf32bit, 32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bitsPerPixel);
    auto b = Filled(13, 5, clWhite, c.format);
    EXPECT_EQ(b->PixelFormat(), c.format);
    EXPECT_EQ(b->HandleType(), bmDIB);
    b->Canvas()->SetPixels(0, 0, clBlack);
    b->Canvas()->SetPixels(12, 4, clBlack);
    // Rows are DWORD aligned, top row first.
    const auto row0 = static_cast<Byte*>(b->ScanLine(0));
    const auto row1 = static_cast<Byte*>(b->ScanLine(1));
    const Integer stride = ((13 * c.bitsPerPixel + 31) / 32) * 4;
    EXPECT_EQ(std::abs(row1 - row0), stride);

    const std::vector<Byte> bytes = Saved(b.get());
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    TBitmap back;
    LoadBytes(&back, bytes);
    EXPECT_EQ(back.PixelFormat(), c.format);
    EXPECT_EQ(back.Width(), 13);
    EXPECT_EQ(back.Height(), 5);
    EXPECT_EQ(back.Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(back.Canvas()->Pixels(12, 4), clBlack);
    EXPECT_EQ(back.Canvas()->Pixels(5, 2), clWhite);
  }
}

TEST(Bitmap, ResizingKeepsTheImageAndFillsNewAreaWhite) {
  auto b = Filled(4, 4, clRed);
  b->SetSize(8, 6);
  EXPECT_EQ(b->Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(b->Canvas()->Pixels(7, 5), clWhite);
  b->SetPixelFormat(pf32bit);
  EXPECT_EQ(b->Canvas()->Pixels(3, 3), clRed);
  b->SetWidth(0);
  EXPECT_TRUE(b->Empty());
}

TEST(Bitmap, ScanLineWritesShowOnTheCanvasAndBadRowsRaise) {
  auto b = Filled(3, 2, clWhite, pf32bit);
  auto* row = static_cast<DWORD*>(b->ScanLine(1));
  row[2] = 0x0000FF00;  // green, as BGRA in memory
  EXPECT_EQ(b->Canvas()->Pixels(2, 1), clLime);
  EXPECT_THROW(b->ScanLine(2), EInvalidGraphicOperation);
  EXPECT_THROW(b->ScanLine(-1), EInvalidGraphicOperation);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, DeviceBitmapsBecomeDibsForScanLines) {
  TBitmap b;
  b.SetSize(5, 5);
  EXPECT_EQ(b.HandleType(), bmDDB);
  EXPECT_EQ(b.PixelFormat(), pfDevice);
  b.Canvas()->Brush()->SetColor(clBlue);
  b.Canvas()->FillRect(Rect(0, 0, 5, 5));
  b.ScanLine(0);
  EXPECT_EQ(b.HandleType(), bmDIB);
  EXPECT_EQ(b.Canvas()->Pixels(4, 4), clBlue);
}

TEST(Bitmap, HandleIsFreeForOtherDeviceContexts) {
  auto b = Filled(6, 6, clRed);
  b->Canvas()->Pixels(0, 0);  // the canvas holds a device context now
  HBITMAP h = b->Handle();
  {
    const TOwnedDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.get(), h);
    // Selecting fails while another DC holds it.
    EXPECT_NE(select.Previous(), nullptr);
    EXPECT_EQ(GetPixel(dc.get(), 3, 3), RGB(255, 0, 0));
  }
  EXPECT_EQ(b->Canvas()->Pixels(3, 3), clRed);
}

TEST(Bitmap, AssignCopiesPixelsFormatAndTransparency) {
  auto a = Filled(5, 4, clRed, pf8bit);
  a->SetTransparentColor(clRed);
  a->SetTransparent(true);
  TBitmap b;
  b.Assign(a.get());
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Canvas()->Pixels(4, 3), clRed);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  a->Canvas()->SetPixels(0, 0, clBlack);  // copies are independent
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, TransparentColourIsTheBottomLeftPixelUnlessFixed) {
  auto b = Filled(4, 4, clWhite);
  b->Canvas()->SetPixels(0, 3, clFuchsia);
  EXPECT_EQ(b->TransparentMode(), tmAuto);
  EXPECT_EQ(b->TransparentColor(), clFuchsia);
  b->SetTransparentColor(clWhite);
  EXPECT_EQ(b->TransparentMode(), tmFixed);
  EXPECT_EQ(b->TransparentColor(), clWhite);
  b->SetTransparentMode(tmAuto);
  EXPECT_EQ(b->TransparentColor(), clFuchsia);
}

TEST(Bitmap, TransparentDrawLeavesTheBackgroundAndMaskMarksIt) {
  auto sprite = Filled(6, 6, clFuchsia);
  sprite->Canvas()->Brush()->SetColor(clNavy);
  sprite->Canvas()->FillRect(Rect(0, 0, 3, 6));
  sprite->SetTransparentColor(clFuchsia);
  sprite->SetTransparent(true);
  auto back = Filled(6, 6, clLime);
  back->Canvas()->Draw(0, 0, sprite.get());
  EXPECT_EQ(back->Canvas()->Pixels(1, 1), clNavy);
  EXPECT_EQ(back->Canvas()->Pixels(4, 1), clLime);

  HBITMAP mask = sprite->MaskHandle();
  ASSERT_NE(mask, nullptr);
  const TOwnedDC dc(CreateCompatibleDC(nullptr));
  const TSelectObject select(dc.get(), mask);
  EXPECT_EQ(GetPixel(dc.get(), 4, 1), RGB(255, 255, 255));  // transparent
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(0, 0, 0));
}

TEST(Bitmap, ChangesAreReported) {
  int changes = 0;
  TBitmap b;
  b.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  b.SetSize(3, 3);
  EXPECT_EQ(changes, 1);
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(changes, 2);
  b.Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(b.Modified());
}

// A valid 2 x 2 24-bit BMP with the rows stored top row first.
std::vector<Byte> TopDownBmp() {
  std::vector<Byte> v(54 + 16, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put<DWORD>(v, 2, static_cast<DWORD>(v.size()));
  Put<DWORD>(v, 10, 54);
  Put<DWORD>(v, 14, 40);
  Put<LONG>(v, 18, 2);
  Put<LONG>(v, 22, -2);  // top-down
  Put<WORD>(v, 26, 1);
  Put<WORD>(v, 28, 24);
  // Row 0: red, green; row 1: blue, white (BGR, rows padded to 8 bytes).
  const Byte rows[16] = {0,   0, 255, 0,   255, 0,   0, 0,
                         255, 0, 0,   255, 255, 255, 0, 0};
  std::memcpy(v.data() + 54, rows, sizeof rows);
  return v;
}

TEST(Bitmap, TopDownFilesLoadTheRightWayUp) {
  TBitmap b;
  LoadBytes(&b, TopDownBmp());
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(1, 0), clLime);
  EXPECT_EQ(b.Canvas()->Pixels(0, 1), clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clWhite);
}

TEST(Bitmap, LoadingLeavesWhatFollowsInTheStream) {
  std::vector<Byte> bytes = TopDownBmp();
  bytes.push_back(0xAB);
  TMemoryStream ms;
  ms.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  ms.SetPosition(0);
  TBitmap b;
  b.LoadFromStream(&ms);
  EXPECT_EQ(ms.Position(), ms.Size() - 1);
}

TEST(Bitmap, CorruptFilesRaiseAndKeepTheOldImage) {
  struct Case {
    const char* what;
    std::vector<Byte> bytes;
  };
  const std::vector<Byte> good = TopDownBmp();
  auto with = [&good](std::size_t at, auto value) {
    std::vector<Byte> v = good;
    Put(v, at, value);
    return v;
  };
  std::vector<Byte> truncated(good.begin(), good.end() - 3);
  std::vector<Byte> headerOnly(good.begin(), good.begin() + 20);
  std::vector<Byte> notBm = good;
  notBm[0] = 'X';
  const Case cases[] = {
      {"empty", {}},
      {"not a bitmap", notBm},
      {"header cut", headerOnly},
      {"pixels cut", truncated},
      {"header size", with(14, DWORD{41})},
      {"zero width", with(18, LONG{0})},
      {"negative width", with(18, LONG{-5})},
      {"huge", with(18, LONG{0x7FFFFFF})},
      {"bits per pixel", with(28, WORD{7})},
      {"run-length", with(30, DWORD{BI_RLE8})},
      {"bitfields on 24 bits", with(30, DWORD{BI_BITFIELDS})},
      {"colour table", with(46, DWORD{100000})},
      {"pixel offset", with(10, DWORD{20})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto b = Filled(3, 3, clTeal);
    EXPECT_THROW(LoadBytes(b.get(), c.bytes), EInvalidGraphic);
    EXPECT_EQ(b->Width(), 3);
    EXPECT_EQ(b->Canvas()->Pixels(1, 1), clTeal);
  }
}

TEST(Bitmap, EightBitColourTablesSurviveTheRoundTrip) {
  // A palette image whose colour is not in the default palette.
  std::vector<Byte> v(54 + 8 + 4, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put<DWORD>(v, 10, 54 + 8);
  Put<DWORD>(v, 14, 40);
  Put<LONG>(v, 18, 1);
  Put<LONG>(v, 22, 1);
  Put<WORD>(v, 26, 1);
  Put<WORD>(v, 28, 8);
  Put<DWORD>(v, 46, 2);  // two colours
  const Byte table[8] = {0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 0};
  std::memcpy(v.data() + 54, table, sizeof table);
  v[62] = 1;  // the one pixel uses entry 1
  TBitmap b;
  LoadBytes(&b, v);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), TColor(RGB(0x66, 0x55, 0x44)));
  TBitmap c;
  LoadBytes(&c, Saved(&b));
  EXPECT_EQ(c.Canvas()->Pixels(0, 0), TColor(RGB(0x66, 0x55, 0x44)));
  c.SetSize(2, 1);  // the table stays with the format
  EXPECT_EQ(c.Canvas()->Pixels(0, 0), TColor(RGB(0x66, 0x55, 0x44)));
}

// The first bitmap resource of a system module, so the test needs no
// resource of its own.
struct ModuleBitmap {
  HMODULE module = nullptr;
  Integer id = -1;
};

BOOL CALLBACK FirstNumericName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  if (!IS_INTRESOURCE(name)) return TRUE;
  reinterpret_cast<ModuleBitmap*>(param)->id =
      static_cast<Integer>(reinterpret_cast<ULONG_PTR>(name));
  return FALSE;
}

TEST(Bitmap, LoadsBitmapResourcesByIdAndName) {
  ModuleBitmap found;
  for (const char* name : {"comctl32.dll", "user32.dll"}) {
    found.module = LoadLibraryA(name);
    if (!found.module) continue;
    EnumResourceNamesA(found.module, MAKEINTRESOURCEA(2), &FirstNumericName,
                       reinterpret_cast<LONG_PTR>(&found));
    if (found.id >= 0) break;
  }
  ASSERT_GE(found.id, 0) << "no system module with a bitmap resource";
  const TBitmapHandle ref(static_cast<HBITMAP>(
      LoadImageA(found.module, MAKEINTRESOURCEA(found.id), IMAGE_BITMAP, 0, 0,
                 LR_CREATEDIBSECTION)));
  ASSERT_TRUE(ref);
  BITMAP bm{};
  GetObjectA(ref.get(), sizeof bm, &bm);

  TBitmap byId;
  byId.LoadFromResourceID(found.module, found.id);
  EXPECT_EQ(byId.Width(), bm.bmWidth);
  EXPECT_EQ(byId.Height(), bm.bmHeight);
  TBitmap byName;
  byName.LoadFromResourceName(found.module, "#" + IntToStr(found.id));
  EXPECT_EQ(byName.Width(), bm.bmWidth);
  EXPECT_TRUE(byName.Equals(&byId));
  EXPECT_THROW(byName.LoadFromResourceName(found.module, "NO_SUCH_BITMAP"),
               EResNotFound);
}

}  // namespace
