// The clipboard: text and graphics through the system's clipboard.
#include <gtest/gtest.h>
#include <windows.h>

#include "Clipbrd.h"

namespace {

TEST(ClipbrdTest, TextRoundTrips) {
  const String texts[] = {"hello", "", "line one\r\nline two",
                          "accents \xE9\xE8\xFC", String(100000, 'x')};
  for (const String& t : texts) {
    Clipboard()->SetAsText(t);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), t) << t.substr(0, 20);
  }
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard()->AsText(), "");
}

TEST(ClipbrdTest, OneOpeningHoldsSeveralFormats) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(4, 4);
  Clipboard()->Open();
  Clipboard()->SetAsText("with a picture");
  Clipboard()->Assign(&bmp);
  Clipboard()->Close();
  // Both stay: the second did not empty what the first put.
  EXPECT_EQ(Clipboard()->AsText(), "with a picture");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));
}

TEST(ClipbrdTest, BitmapRoundTripsWithItsPixels) {
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(7, 5);
  for (Integer y = 0; y < 5; ++y)
    for (Integer x = 0; x < 7; ++x)
      source.Canvas()->SetPixels(x, y,
                                 static_cast<TColor>(RGB(x * 30, y * 40, 200)));
  Clipboard()->Assign(&source);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));

  TBitmap copy;
  copy.Assign(Clipboard());
  ASSERT_EQ(copy.Width(), 7);
  ASSERT_EQ(copy.Height(), 5);
  for (Integer y = 0; y < 5; ++y)
    for (Integer x = 0; x < 7; ++x)
      EXPECT_EQ(copy.Canvas()->Pixels(x, y), source.Canvas()->Pixels(x, y))
          << x << "," << y;

  TPicture picture;
  picture.Assign(Clipboard());
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 7);
}

TEST(ClipbrdTest, WhatCannotGoOnTheClipboardRaises) {
  Clipboard()->SetAsText("kept");
  TStringList notAGraphic;
  EXPECT_THROW(Clipboard()->Assign(&notAGraphic), EConvertError);
  EXPECT_EQ(Clipboard()->AsText(), "kept");
  // Text only: no image to take.
  TBitmap bmp;
  EXPECT_THROW(bmp.Assign(Clipboard()), EInvalidGraphic);
}

}  // namespace
