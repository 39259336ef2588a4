// The registration of the nine tab styles and the style a look-and-feel
// gets.
#include <gtest/gtest.h>

#include <vector>

#include "../foundation/dxUxThemeStandIn.h"
#include "cxLookAndFeels.h"
#include "cxPCPainterStyles.h"
#include "cxPCPainters.h"

namespace {

struct TStyleRow {
  TcxPCStyleID Id;
  const char* Name;
  TcxPCStandardStyle Standard;
  bool AllowRotate;
};

TEST(PCPainterStylesTest, EveryStyleIsRegisteredInOrderWithItsAnswers) {
  const std::vector<TStyleRow> rows = {{1, "Tabs", tsTabs, true},
                                       {2, "Buttons", tsButtons, true},
                                       {3, "FlatButtons", tsFlatButtons, true},
                                       {5, "ExtraFlat", tsTabs, true},
                                       {6, "UltraFlat", tsTabs, true},
                                       {7, "Flat", tsTabs, true},
                                       {8, "Office11", tsTabs, true},
                                       {9, "Slanted", tsTabs, true},
                                       {10, "OneNote", tsTabs, false}};
  TcxPCPaintersFactory* factory = PaintersFactory();
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->GetPainterClassCount(), 9);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const TStyleRow& row = rows[i];
    SCOPED_TRACE(row.Name);
    TcxPCPainterClass cls = factory->PainterClasses(static_cast<Integer>(i));
    EXPECT_EQ(cls->GetStyleID(), row.Id);
    EXPECT_EQ(cls->GetStyleName(), row.Name);
    EXPECT_EQ(cls->GetStandardStyle(), row.Standard);
    EXPECT_TRUE(cls->IsStandardStyle());
    EXPECT_EQ(cls->AllowRotate(), row.AllowRotate);
    EXPECT_EQ(factory->GetPainterClass(row.Id), cls);
  }
  EXPECT_EQ(factory->GetPainterClass(4), nullptr);
  TcxPCPainterClass ultraFlat = factory->GetPainterClass(String("ULTRAFLAT"));
  ASSERT_NE(ultraFlat, nullptr);
  EXPECT_EQ(ultraFlat->GetStyleID(), 6);
  EXPECT_EQ(factory->GetPainterClass(String("onenote"))->GetStyleID(), 10);
  // The first registered style of each standard style.
  EXPECT_EQ(factory->GetPainterClass(tsTabs)->GetStyleID(), 1);
  EXPECT_EQ(factory->GetPainterClass(tsFlatButtons)->GetStyleID(), 3);
}

TEST(PCPainterStylesTest, RegisteringAgainKeepsOneEntryEach) {
  cxPCRegisterTabPainters();
  EXPECT_EQ(PaintersFactory()->GetPainterClassCount(), 9);
  cxPCUnregisterTabPainters();
  EXPECT_EQ(PaintersFactory(), nullptr);
  cxPCRegisterTabPainters();
  ASSERT_NE(PaintersFactory(), nullptr);
  EXPECT_EQ(PaintersFactory()->PainterClasses(0)->GetStyleID(), 1);
  EXPECT_EQ(PaintersFactory()->PainterClasses(8)->GetStyleID(), 10);
}

class PCLookAndFeelStyleTest : public ::testing::Test {
 protected:
  TUxThemeStandIn theme_;
  TcxLookAndFeel lookAndFeel_{nullptr};
};

TEST_F(PCLookAndFeelStyleTest, FlatNativeIsTabsWithAThemeElseFlat) {
  lookAndFeel_.SetKind(lfFlat);
  lookAndFeel_.SetNativeStyle(true);
  theme_.SetActive(true);
  EXPECT_EQ(PaintersFactory()->GetStyleID(&lookAndFeel_), 1);
  theme_.SetActive(false);
  EXPECT_EQ(PaintersFactory()->GetStyleID(&lookAndFeel_), 7);
}

TEST_F(PCLookAndFeelStyleTest, KindAloneDecidesWithoutNativeStyle) {
  theme_.SetActive(true);
  const struct {
    TcxLookAndFeelKind Kind;
    TcxPCStyleID Id;
  } cases[] = {{lfFlat, 7}, {lfStandard, 1}, {lfUltraFlat, 6}, {lfOffice11, 8}};
  for (const auto& c : cases) {
    lookAndFeel_.SetKind(c.Kind);
    EXPECT_EQ(PaintersFactory()->GetStyleID(&lookAndFeel_), c.Id)
        << "kind " << static_cast<int>(c.Kind);
  }
}

}  // namespace
