// The label: extrusion depth, the copies each effect and style draws, the
// caption as edit value, the focus control and the painted text.
#include <gtest/gtest.h>

#include "Forms.h"
#include "StdCtrls.h"
#include "UiDriverControlsWin.h"
#include "cxLabel.h"

using namespace ui_test;

namespace {

TEST(cxLabelDepthDelta, ByEffectAndOrientation) {
  struct Case {
    TcxLabelEffect effect;
    TcxLabelOrientation orientation;
    TPoint expected;
  };
  const Case cases[] = {
      {cxleNormal, cxoRightBottom, {0, 0}}, {cxleFun, cxoLeft, {5, 0}},
      {cxleExtrude, cxoRight, {5, 0}},      {cxleCool, cxoTop, {0, 5}},
      {cxleExtrude, cxoBottom, {0, 5}},     {cxleExtrude, cxoLeftTop, {5, 5}},
      {cxleCool, cxoRightBottom, {5, 5}}};
  for (const Case& c : cases) {
    EXPECT_EQ(cxLabelDepthDelta(c.effect, c.orientation, 5), c.expected)
        << int(c.effect) << " " << int(c.orientation);
  }
  TcxLabelProperties p;
  p.SetDepth(3);
  p.SetLabelEffect(cxleExtrude);
  p.SetOrientation(cxoLeftBottom);
  TPoint delta;
  p.CalculateDepthDelta(delta);
  EXPECT_EQ(delta, (TPoint{3, 3}));
}

std::vector<std::pair<TPoint, TColor>> Copies(const TcxLabelLook& look) {
  std::vector<std::pair<TPoint, TColor>> result;
  for (const TcxLabelTextCopy& c : cxLabelTextCopies(look)) {
    result.push_back({c.Offset, c.Color});
  }
  return result;
}

TEST(cxLabelTextCopies, ExtrudeDrawsOneCopyPerPixelOfDepth) {
  TcxLabelLook look;
  look.Effect = cxleExtrude;
  look.Orientation = cxoRightBottom;
  look.Depth = 5;
  look.TextColor = clBlack;
  look.ShadowedColor = clRed;
  const std::vector<std::pair<TPoint, TColor>> expected = {
      {{5, 5}, clRed}, {{4, 4}, clRed}, {{3, 3}, clRed},
      {{2, 2}, clRed}, {{1, 1}, clRed}, {{0, 0}, clBlack}};
  EXPECT_EQ(Copies(look), expected);
  look.Orientation = cxoLeftTop;
  const std::vector<std::pair<TPoint, TColor>> leftTop = {
      {{0, 0}, clRed}, {{1, 1}, clRed}, {{2, 2}, clRed},
      {{3, 3}, clRed}, {{4, 4}, clRed}, {{5, 5}, clBlack}};
  EXPECT_EQ(Copies(look), leftTop);
}

TEST(cxLabelTextCopies, CoolDrawsOneCopyAtTheFullDepth) {
  TcxLabelLook look;
  look.Effect = cxleCool;
  look.Orientation = cxoRightBottom;
  look.Depth = 5;
  look.TextColor = clBlack;
  look.ShadowedColor = clRed;
  const std::vector<std::pair<TPoint, TColor>> expected = {{{5, 5}, clRed},
                                                           {{0, 0}, clBlack}};
  EXPECT_EQ(Copies(look), expected);
}

TEST(cxLabelTextCopies, FunBlendsFromTheBackgroundToTheShadow) {
  TcxLabelLook look;
  look.Effect = cxleFun;
  look.Orientation = cxoRight;
  look.Depth = 2;
  look.BackgroundColor = TColor(0x000000);
  look.ShadowedColor = TColor(0x0000FF);
  const auto copies = Copies(look);
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0], std::make_pair(TPoint{2, 0}, TColor(0x00007F)));
  EXPECT_EQ(copies[1], std::make_pair(TPoint{1, 0}, TColor(0x0000FF)));
}

TEST(cxLabelTextCopies, RaisedAndLoweredLayers) {
  TcxLabelLook look;
  look.TextColor = clBlack;
  look.Style = cxlsRaised;
  look.FontSize = 8;
  EXPECT_EQ(Copies(look), (std::vector<std::pair<TPoint, TColor>>{
                              {{0, 0}, clBtnHighlight}, {{1, 1}, clBlack}}));
  look.FontSize = 12;
  EXPECT_EQ(
      Copies(look),
      (std::vector<std::pair<TPoint, TColor>>{
          {{0, 0}, clBtnHighlight}, {{2, 2}, clBtnShadow}, {{1, 1}, clBlack}}));
  look.Style = cxlsLowered;
  look.FontSize = 8;
  EXPECT_EQ(Copies(look), (std::vector<std::pair<TPoint, TColor>>{
                              {{2, 2}, clBtnHighlight}, {{1, 1}, clBlack}}));
  // With an extrusion the style offset moves the start once more.
  look.Style = cxlsRaised;
  look.Effect = cxleCool;
  look.Orientation = cxoRight;
  look.Depth = 3;
  look.ShadowedColor = clRed;
  EXPECT_EQ(Copies(look)[0], std::make_pair(TPoint{4, 0}, clRed));
  EXPECT_EQ(Copies(look)[1], std::make_pair(TPoint{0, 0}, clBtnHighlight));
}

TEST(LabelProperties, AssignCopiesEverySetting) {
  TcxLabelProperties a, b;
  a.SetAngle(90);
  a.SetDepth(4);
  a.SetLabelEffect(cxleFun);
  a.SetLabelStyle(cxlsOutLine);
  a.SetOrientation(cxoTop);
  a.SetPenWidth(3);
  a.SetShadowedColor(clRed);
  a.SetShowAccelChar(false);
  a.SetWordWrap(true);
  b.Assign(&a);
  EXPECT_EQ(b.Angle(), 90);
  EXPECT_EQ(b.Depth(), 4);
  EXPECT_EQ(b.LabelEffect(), cxleFun);
  EXPECT_EQ(b.LabelStyle(), cxlsOutLine);
  EXPECT_EQ(b.Orientation(), cxoTop);
  EXPECT_EQ(b.PenWidth(), 3);
  EXPECT_EQ(b.ShadowedColor(), clRed);
  EXPECT_FALSE(b.ShowAccelChar());
  EXPECT_TRUE(b.WordWrap());
  EXPECT_FALSE(b.HasGlyph());
  a.Glyph()->SetSize(4, 4);
  b.Assign(&a);
  EXPECT_TRUE(b.HasGlyph());
  b.SetGlyph(nullptr);
  EXPECT_FALSE(b.HasGlyph());
}

class LabelWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 300, 160);
    label_ = new TcxLabel(form_.get());
    label_->SetParent(form_.get());
    label_->SetBounds(10, 10, 200, 40);
    edit_ = new TEdit(form_.get());
    edit_->SetParent(form_.get());
    edit_->SetBounds(10, 80, 100, 21);
    form_->Show();
    PumpUntilIdle();
  }
  TCursorPosGuard pointer_;
  TObjectPtr<TForm> form_;
  THeldButtonsGuard buttons_;
  TcxLabel* label_ = nullptr;
  TEdit* edit_ = nullptr;
};

TEST_F(LabelWindowTest, CaptionAndValueFollowEachOther) {
  label_->SetCaption("Varnel");
  EXPECT_EQ(VarToStr(label_->EditValue()), "Varnel");
  label_->SetEditValue(Variant("About"));
  EXPECT_EQ(label_->Caption(), "About");
  EXPECT_TRUE(label_->HasTextBaseLine());
  label_->Properties()->SetAngle(90);
  EXPECT_FALSE(label_->HasTextBaseLine());
}

TEST_F(LabelWindowTest, NeverTakesTheFocusButPassesItOn) {
  label_->SetCaption("&Name");
  label_->SetFocusControl(label_);
  EXPECT_EQ(label_->FocusControl(), nullptr);
  label_->SetFocusControl(edit_);
  Click(label_, 20, 20);
  PumpUntilIdle();
  EXPECT_FALSE(label_->Focused());
  EXPECT_FALSE(label_->CanFocus());
  PressKeys({VK_MENU, 'N'});
  PumpUntilIdle();
  EXPECT_TRUE(edit_->Focused());
}

TEST_F(LabelWindowTest, PaintsTheExtrusionInTheShadowColour) {
  label_->SetCaption("WWW");
  label_->Style()->SetColor(clWhite);
  label_->Style()->SetTextColor(clBlack);
  label_->Style()->Font()->SetSize(14);
  TcxLabelProperties* p = label_->Properties();
  p->SetShadowedColor(clRed);
  TObjectPtr<TBitmap> plain(new TBitmap);
  plain->SetSize(200, 40);
  auto count = [](TBitmap* b, TColor c) {
    Integer n = 0;
    for (Integer y = 0; y < b->Height(); ++y) {
      for (Integer x = 0; x < b->Width(); ++x) {
        n += ColorToRGB(b->Canvas()->Pixels(x, y)) == ColorToRGB(c) ? 1 : 0;
      }
    }
    return n;
  };
  label_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(plain->Canvas()->Handle()),
                  0);
  EXPECT_EQ(count(plain.get(), clRed), 0);
  EXPECT_GT(count(plain.get(), clBlack), 20);
  p->SetDepth(5);
  p->SetLabelEffect(cxleExtrude);
  TObjectPtr<TBitmap> extruded(new TBitmap);
  extruded->SetSize(200, 40);
  label_->Perform(WM_PAINT,
                  reinterpret_cast<WPARAM>(extruded->Canvas()->Handle()), 0);
  EXPECT_GT(count(extruded.get(), clRed), 20);
  EXPECT_GT(count(extruded.get(), clBlack), 20);
}

}  // namespace
