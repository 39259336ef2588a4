// Image lists: adding, moving and deleting images, drawing enabled and
// disabled, masks, and change links.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "GraphicsTestHelpers.h"
#include "ImgList.h"

namespace {

using visual_test::Filled;

// A list of 8 x 8 images, one per colour.
void AddColours(TCustomImageList& list, std::initializer_list<TColor> colors) {
  list.SetSize(8, 8);
  for (TColor c : colors) list.Add(Filled(8, 8, c).get(), nullptr);
}

TColor ImageColour(TCustomImageList& list, Integer index) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  EXPECT_TRUE(list.GetBitmap(index, &b));
  return b.Canvas()->Pixels(4, 4);
}

std::vector<TColor> Colours(TCustomImageList& list) {
  std::vector<TColor> result;
  for (Integer i = 0; i < list.Count(); ++i) {
    result.push_back(ImageColour(list, i));
  }
  return result;
}

TEST(ImageList, AddSplitsWideImagesAndKeepsOrderThroughEdits) {
  TImageList list(nullptr);
  list.SetMasked(false);
  AddColours(list, {clRed, clLime});
  EXPECT_EQ(list.Count(), 2);
  // A strip twice as wide adds two images.
  auto strip = Filled(16, 8, clBlue);
  strip->Canvas()->Brush()->SetColor(clYellow);
  strip->Canvas()->FillRect(Rect(8, 0, 16, 8));
  EXPECT_EQ(list.Add(strip.get(), nullptr), 2);
  EXPECT_EQ(Colours(list),
            (std::vector<TColor>{clRed, clLime, clBlue, clYellow}));

  list.Move(0, 2);
  EXPECT_EQ(Colours(list),
            (std::vector<TColor>{clLime, clBlue, clRed, clYellow}));
  list.Move(3, 0);
  EXPECT_EQ(Colours(list),
            (std::vector<TColor>{clYellow, clLime, clBlue, clRed}));
  list.Insert(1, Filled(8, 8, clAqua).get(), nullptr);
  list.Insert(5, Filled(8, 8, clNavy).get(), nullptr);  // at the end
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clYellow, clAqua, clLime,
                                                clBlue, clRed, clNavy}));
  list.Delete(0);
  list.Replace(0, Filled(8, 8, clWhite).get(), nullptr);
  EXPECT_EQ(Colours(list),
            (std::vector<TColor>{clWhite, clLime, clBlue, clRed, clNavy}));
}

TEST(ImageList, BadIndexesRaiseOrAreIgnoredByInsert) {
  TImageList list(nullptr);
  AddColours(list, {clRed});
  EXPECT_THROW(list.Delete(1), EInvalidOperation);
  EXPECT_THROW(list.Delete(-1), EInvalidOperation);
  EXPECT_THROW(list.Move(0, 1), EInvalidOperation);
  list.Insert(2, Filled(8, 8, clRed).get(), nullptr);  // past the end
  list.Insert(-1, Filled(8, 8, clRed).get(), nullptr);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_THROW(list.Replace(3, Filled(8, 8, clRed).get(), nullptr),
               EInvalidOperation);
  TBitmap b;
  EXPECT_FALSE(list.GetBitmap(5, &b));
  EXPECT_EQ(list.Count(), 1);
}

TEST(ImageList, DrawsEnabledInColourAndDisabledEmbossed) {
  TImageList list(nullptr);
  list.SetSize(16, 16);
  list.Add(Filled(16, 16, clRed).get(), nullptr);

  auto enabled = Filled(20, 20, clWhite);
  list.Draw(enabled->Canvas(), 0, 0, 0, true);
  EXPECT_EQ(enabled->Canvas()->Pixels(5, 5), clRed);
  EXPECT_EQ(enabled->Canvas()->Pixels(16, 16), clWhite);

  auto disabled = Filled(20, 20, clWhite);
  list.Draw(disabled->Canvas(), 0, 0, 0, false);
  for (Integer y = 0; y < 20; ++y) {
    for (Integer x = 0; x < 20; ++x) {
      ASSERT_NE(disabled->Canvas()->Pixels(x, y), clRed) << x << "," << y;
    }
  }
  EXPECT_EQ(disabled->Canvas()->Pixels(5, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(disabled->Canvas()->Pixels(16, 16), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(disabled->Canvas()->Pixels(18, 18), clWhite);
}

TEST(ImageList, MaskedColourIsTransparentAndTheSourceStaysIntact) {
  TImageList list(nullptr);
  list.SetSize(8, 8);
  auto image = Filled(8, 8, clFuchsia);
  image->Canvas()->Brush()->SetColor(clNavy);
  image->Canvas()->FillRect(Rect(0, 0, 4, 8));
  list.AddMasked(image.get(), clFuchsia);
  EXPECT_EQ(image->Canvas()->Pixels(6, 6), clFuchsia);

  auto target = Filled(8, 8, clLime);
  list.Draw(target->Canvas(), 0, 0, 0);
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), clNavy);
  EXPECT_EQ(target->Canvas()->Pixels(6, 6), clLime);

  // Disabled drawing embosses only the opaque part.
  auto disabled = Filled(10, 10, clLime);
  list.Draw(disabled->Canvas(), 0, 0, 0, false);
  EXPECT_EQ(disabled->Canvas()->Pixels(1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(disabled->Canvas()->Pixels(6, 6), clLime);
}

TEST(ImageList, ChangeLinksHearAboutChangesOncePerUpdate) {
  TImageList list(nullptr);
  int heard = 0;
  TChangeLink link;
  link.OnChange = TNotifyEvent::FromFunction([&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++heard;
  });
  list.RegisterChanges(&link);
  EXPECT_EQ(link.Sender(), &list);
  list.Add(Filled(16, 16, clRed).get(), nullptr);
  EXPECT_EQ(heard, 1);
  list.BeginUpdate();
  list.Add(Filled(16, 16, clRed).get(), nullptr);
  list.Add(Filled(16, 16, clRed).get(), nullptr);
  list.SetBkColor(clWhite);
  EXPECT_EQ(heard, 1);
  list.EndUpdate();
  EXPECT_EQ(heard, 2);
  list.UnRegisterChanges(&link);
  list.Clear();
  EXPECT_EQ(heard, 2);
}

TEST(ImageList, LinksAndListsMayGoInEitherOrder) {
  int heard = 0;
  TObjectPtr<TImageList> list(new TImageList(nullptr));
  {
    TChangeLink gone;
    gone.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++heard; });
    list->RegisterChanges(&gone);
  }
  list->Add(Filled(16, 16, clRed).get(), nullptr);  // the link left
  EXPECT_EQ(heard, 0);
  TChangeLink stays;
  list->RegisterChanges(&stays);
  list.reset();
  EXPECT_EQ(stays.Sender(), nullptr);
}

TEST(ImageList, ResizingEmptiesAndAssignCopies) {
  TImageList a(nullptr);
  AddColours(a, {clRed, clBlue});
  a.SetBkColor(clGreen);
  TImageList b(nullptr);
  b.Assign(&a);
  EXPECT_EQ(b.Count(), 2);
  EXPECT_EQ(b.Width(), 8);
  EXPECT_EQ(b.BkColor(), clGreen);
  EXPECT_EQ(ImageColour(b, 1), clBlue);
  a.SetSize(10, 10);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 2);
  EXPECT_THROW(a.SetSize(0, 10), EInvalidOperation);
}

TEST(ImageList, IconsGoInAndComeOut) {
  TImageList list(nullptr);
  AddColours(list, {clRed});
  TIcon icon;
  list.GetIcon(0, &icon);
  ASSERT_NE(icon.Handle(), nullptr);
  EXPECT_EQ(icon.Width(), 8);
  EXPECT_EQ(list.AddIcon(&icon), 1);
  EXPECT_EQ(ImageColour(list, 1), clRed);
}

}  // namespace
