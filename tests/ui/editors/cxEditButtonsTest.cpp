// Embedded buttons: one default button, widths, captions, change notices.
#include <gtest/gtest.h>

#include "WinApi.h"
#include "cxEditButtons.h"

namespace {

class Buttons : public ::testing::Test {
 protected:
  void SetUp() override {
    buttons_.OnChange =
        TNotifyEvent::FromFunction([this](TObject*) { ++changes_; });
  }
  TcxEditButtons buttons_;
  int changes_ = 0;
};

TEST_F(Buttons, DefaultsOfANewButton) {
  TcxEditButton* b = buttons_.Add();
  EXPECT_EQ(b->Kind(), bkDown);
  EXPECT_EQ(b->ContentAlignment(), taCenter);
  EXPECT_TRUE(b->Enabled());
  EXPECT_TRUE(b->Visible());
  EXPECT_TRUE(b->Stretchable());
  EXPECT_FALSE(b->Default());
  EXPECT_FALSE(b->LeftAlignment());
  EXPECT_EQ(b->Width(), 0);
  EXPECT_EQ(b->TextColor(), clBtnText);
  EXPECT_FALSE(b->HasGlyph());
}

TEST_F(Buttons, AddingReportsOneChange) {
  buttons_.Add();
  EXPECT_EQ(changes_, 1);
}

TEST_F(Buttons, DefaultOnTheSecondButtonClearsTheFirst) {
  TcxEditButton* first = buttons_.Add();
  TcxEditButton* second = buttons_.Add();
  first->SetDefault(true);
  changes_ = 0;
  second->SetDefault(true);
  EXPECT_FALSE(first->Default());
  EXPECT_TRUE(second->Default());
  EXPECT_EQ(changes_, 1);
  second->SetDefault(false);
  EXPECT_FALSE(first->Default());
  EXPECT_FALSE(second->Default());
}

TEST_F(Buttons, NegativeAndEqualWidthsAreIgnored) {
  TcxEditButton* b = buttons_.Add();
  b->SetWidth(20);
  changes_ = 0;
  b->SetWidth(-1);
  EXPECT_EQ(b->Width(), 20);
  b->SetWidth(20);
  EXPECT_EQ(changes_, 0);
  b->SetWidth(0);
  EXPECT_EQ(b->Width(), 0);
  EXPECT_EQ(changes_, 1);
}

TEST_F(Buttons, SettersReportOnlyRealChanges) {
  TcxEditButton* b = buttons_.Add();
  changes_ = 0;
  b->SetKind(bkDown);
  b->SetEnabled(true);
  b->SetVisible(true);
  b->SetCaption("");
  EXPECT_EQ(changes_, 0);
  b->SetKind(bkEllipsis);
  b->SetEnabled(false);
  b->SetVisible(false);
  b->SetLeftAlignment(true);
  b->SetStretchable(false);
  b->SetTextColor(clRed);
  b->SetContentAlignment(taLeftJustify);
  EXPECT_EQ(changes_, 7);
}

TEST_F(Buttons, CaptionKeepsAVisibleCaptionWithoutAccelerators) {
  TcxEditButton* b = buttons_.Add();
  b->SetCaption("&Open && go");
  EXPECT_EQ(b->Caption(), "&Open && go");
  EXPECT_EQ(b->VisibleCaption(), "Open & go");
}

TEST_F(Buttons, VisibleCount) {
  buttons_.Add();
  buttons_.Add()->SetVisible(false);
  buttons_.Add();
  EXPECT_EQ(buttons_.GetVisibleCount(), 2);
}

TEST_F(Buttons, GlyphIsMadeOnReadAndItsChangeIsTheButtons) {
  TcxEditButton* b = buttons_.Add();
  TBitmap* glyph = b->Glyph();
  ASSERT_NE(glyph, nullptr);
  changes_ = 0;
  glyph->SetWidth(8);
  EXPECT_GE(changes_, 1);
  changes_ = 0;
  b->SetGlyph(nullptr);
  EXPECT_FALSE(b->HasGlyph());
  EXPECT_EQ(changes_, 1);
}

TEST_F(Buttons, AssignCopiesEverySettingInOneChange) {
  TcxEditButtons source;
  TcxEditButton* s = source.Add();
  s->SetCaption("&Go");
  s->SetContentAlignment(taRightJustify);
  s->SetDefault(true);
  s->SetEnabled(false);
  s->SetKind(bkText);
  s->SetLeftAlignment(true);
  s->SetStretchable(false);
  s->SetTag(7);
  s->SetTextColor(clRed);
  s->SetVisible(false);
  s->SetWidth(33);
  s->Glyph()->SetWidth(5);
  s->Glyph()->SetHeight(4);
  TcxEditButton* d = buttons_.Add();
  changes_ = 0;
  d->Assign(s);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(d->Caption(), "&Go");
  EXPECT_EQ(d->VisibleCaption(), "Go");
  EXPECT_EQ(d->ContentAlignment(), taRightJustify);
  EXPECT_TRUE(d->Default());
  EXPECT_FALSE(d->Enabled());
  EXPECT_EQ(d->Kind(), bkText);
  EXPECT_TRUE(d->LeftAlignment());
  EXPECT_FALSE(d->Stretchable());
  EXPECT_EQ(d->Tag(), 7);
  EXPECT_EQ(d->TextColor(), clRed);
  EXPECT_FALSE(d->Visible());
  EXPECT_EQ(d->Width(), 33);
  ASSERT_TRUE(d->HasGlyph());
  EXPECT_EQ(d->Glyph()->Width(), 5);
}

}  // namespace
