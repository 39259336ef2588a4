// The push button's glyph cache: the images made per state from a strip or
// an image list, the lists that buttons of one glyph size share, and the
// cache that lives only while glyphs need it.
#include <gtest/gtest.h>

#include "ActnList.h"
#include "Forms.h"
#include "UiDriverWin.h"
#include "cxButtons.h"
#include "cxEditTestCanvas.h"

namespace {

using edit_test::TTestCanvas;

constexpr TColor kBack = clFuchsia;

// A strip of ACount cells of ASize, cell k filled with AColors[k] on a
// border of the transparent colour.
TObjectPtr<TBitmap> Strip(Integer ASize, std::vector<TColor> AColors) {
  TObjectPtr<TBitmap> b(new TBitmap);
  const Integer count = static_cast<Integer>(AColors.size());
  b->SetSize(ASize * count, ASize);
  b->Canvas()->Brush()->SetColor(kBack);
  b->Canvas()->FillRect(TRect{0, 0, ASize * count, ASize});
  for (Integer k = 0; k < count; ++k) {
    b->Canvas()->Brush()->SetColor(AColors[k]);
    b->Canvas()->FillRect(
        TRect{k * ASize + 2, 2, (k + 1) * ASize - 2, ASize - 2});
  }
  b->SetTransparentColor(kBack);
  return b;
}

// What the glyph draws for a state over white.
TTestCanvas Drawn(TcxButtonGlyph& AGlyph, TcxButtonState AState,
                  Integer ASize) {
  TTestCanvas canvas(ASize, ASize, clWhite);
  AGlyph.Draw(canvas.Canvas(), 0, 0, AState);
  return canvas;
}

TEST(ButtonGlyph, EachStateShowsItsCellOfTheStrip) {
  TcxButtonGlyph glyph;
  auto strip = Strip(16, {clRed, clGreen, clBlue});
  glyph.SetGlyph(strip.get());
  ASSERT_EQ(glyph.NumGlyphs(), 3);
  EXPECT_EQ(glyph.ImageSize(), (TSize{16, 16}));
  const std::pair<TcxButtonState, TColor> cases[] = {{cxbsNormal, clRed},
                                                     {cxbsHot, clRed},
                                                     {cxbsDefault, clRed},
                                                     {cxbsDisabled, clGreen},
                                                     {cxbsPressed, clBlue}};
  for (const auto& [state, color] : cases) {
    TTestCanvas c = Drawn(glyph, state, 16);
    EXPECT_TRUE(c.Is(8, 8, color)) << int(state);
    // The transparent colour of the strip lets the white through.
    EXPECT_TRUE(c.Is(0, 0, clWhite)) << int(state);
  }
}

TEST(ButtonGlyph, StatesWithoutTheirOwnCellShareTheUpImage) {
  TcxButtonGlyph glyph;
  auto strip = Strip(16, {clRed, clGreen});
  glyph.SetGlyph(strip.get());
  ASSERT_EQ(glyph.NumGlyphs(), 2);
  // Pressed has no cell with two glyphs: the up image serves it.
  EXPECT_EQ(glyph.CreateButtonGlyph(cxbsPressed),
            glyph.CreateButtonGlyph(cxbsNormal));
  EXPECT_NE(glyph.CreateButtonGlyph(cxbsDisabled),
            glyph.CreateButtonGlyph(cxbsNormal));
  EXPECT_EQ(glyph.List()->UsedCount(), 2);
}

TEST(ButtonGlyph, ASingleGlyphIsDrawnDisabledForTheDisabledState) {
  TcxButtonGlyph glyph;
  auto strip = Strip(16, {clRed});
  glyph.SetGlyph(strip.get());
  const TTestCanvas up = Drawn(glyph, cxbsNormal, 16);
  const TTestCanvas disabled = Drawn(glyph, cxbsDisabled, 16);
  EXPECT_TRUE(up.Is(8, 8, clRed));
  EXPECT_FALSE(disabled.Is(8, 8, clRed));
  EXPECT_TRUE(disabled.Is(0, 0, clWhite));
}

TEST(ButtonGlyph, GlyphsOfOneSizeShareAListAndGiveTheirSlotsBack) {
  ASSERT_EQ(cxButtonGlyphCache(), nullptr);
  {
    TcxButtonGlyph a;
    TcxButtonGlyph b;
    TcxButtonGlyph c;
    auto red = Strip(16, {clRed});
    auto blue = Strip(16, {clBlue});
    auto small = Strip(8, {clGreen});
    a.SetGlyph(red.get());
    b.SetGlyph(blue.get());
    c.SetGlyph(small.get());
    EXPECT_EQ(a.CreateButtonGlyph(cxbsNormal), 0);
    EXPECT_EQ(b.CreateButtonGlyph(cxbsNormal), 1);
    EXPECT_EQ(c.CreateButtonGlyph(cxbsNormal), 0);
    ASSERT_NE(cxButtonGlyphCache(), nullptr);
    EXPECT_EQ(a.List(), b.List());
    EXPECT_NE(a.List(), c.List());
    EXPECT_EQ(cxButtonGlyphCache()->ListCount(), 2);
    // A new glyph gives its images back; the free slot is taken again.
    a.SetGlyph(blue.get());
    EXPECT_EQ(a.GlyphIndex(0), -1);
    EXPECT_EQ(b.List()->UsedCount(), 1);
    EXPECT_EQ(a.CreateButtonGlyph(cxbsNormal), 0);
    EXPECT_TRUE(Drawn(a, cxbsNormal, 16).Is(8, 8, clBlue));
    // The last user of a size frees its list.
    c.SetGlyph(nullptr);
    EXPECT_EQ(cxButtonGlyphCache()->ListCount(), 1);
  }
  EXPECT_EQ(cxButtonGlyphCache(), nullptr);
}

TEST(ButtonGlyph, NumGlyphsFollowsTheStripAndItsLimits) {
  struct Case {
    Integer width, height, numGlyphs;
  } cases[] = {{64, 16, 4}, {48, 16, 3}, {50, 16, 1}, {80, 16, 1}, {16, 16, 1}};
  for (const Case& c : cases) {
    TObjectPtr<TBitmap> b(new TBitmap);
    b->SetSize(c.width, c.height);
    TcxButtonGlyph glyph;
    glyph.SetGlyph(b.get());
    EXPECT_EQ(glyph.NumGlyphs(), c.numGlyphs) << c.width;
  }
  TcxButtonGlyph glyph;
  const std::pair<Integer, Integer> set[] = {{0, 1}, {2, 2}, {3, 3}, {9, 4}};
  for (const auto& [value, stored] : set) {
    glyph.SetNumGlyphs(value);
    EXPECT_EQ(glyph.NumGlyphs(), stored) << value;
  }
}

TEST(ButtonGlyph, AnImageListServesWhenNoStripIsSet) {
  TcxImageList images(nullptr);
  images.SetSize(16, 16);
  auto cell = Strip(16, {clTeal});
  images.AddMasked(cell.get(), kBack);
  TcxButtonGlyph glyph;
  glyph.SetImageList(&images, 0);
  EXPECT_EQ(glyph.ImageSize(), (TSize{16, 16}));
  EXPECT_TRUE(Drawn(glyph, cxbsNormal, 16).Is(8, 8, clTeal));
  EXPECT_FALSE(Drawn(glyph, cxbsDisabled, 16).Is(8, 8, clTeal));
  // A strip takes precedence over the list.
  auto strip = Strip(16, {clRed});
  glyph.SetGlyph(strip.get());
  EXPECT_TRUE(Drawn(glyph, cxbsNormal, 16).Is(8, 8, clRed));
  glyph.SetImageList(&images, 5);
  glyph.SetGlyph(nullptr);
  EXPECT_EQ(glyph.ImageSize(), (TSize{0, 0}));
  EXPECT_EQ(glyph.CreateButtonGlyph(cxbsNormal), -1);
}

TEST(ButtonGlyph, AButtonShowsItsActionsImage) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(60, 60, 200, 100);
  auto* images = new TcxImageList(form.get());
  images->SetSize(16, 16);
  auto cell = Strip(16, {clTeal});
  images->AddMasked(cell.get(), kBack);
  auto* actions = new TActionList(form.get());
  actions->SetImages(images);
  auto* action = new TAction(form.get());
  actions->AddAction(action);
  action->SetImageIndex(0);
  auto* button = new TcxButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 100, 30);
  button->SetAction(action);
  button->SetCaption("");
  form->Show();
  ui_test::PumpUntilIdle();
  TObjectPtr<TBitmap> b(new TBitmap);
  b->SetSize(100, 30);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.hDC = b->Canvas()->Handle();
  button->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  // The image sits in the middle of the button without a caption.
  EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(50, 15)), ColorToRGB(clTeal));
  EXPECT_EQ(button->ButtonGlyph()->Images(), images);
}

}  // namespace
