// The process-wide brush cache: system colours, lookup, eviction.
#include <gtest/gtest.h>

#include "WinApi.h"
#include "cxEditPaintUtils.h"

namespace {

TEST(cxSolidBrushCache, KeepsAtMostItsCapacityAndEvictsTheLeastUsed) {
  TcxSolidBrushCache cache;
  ASSERT_EQ(cache.Capacity(), 128);
  // Colours 1..128, each used once more than created, except colour 5,
  // which is only created: it is the least used.
  for (Integer c = 1; c <= 128; ++c) {
    cache.GetBrush(TColor(c));
    if (c != 5) cache.GetBrush(TColor(c));
  }
  EXPECT_EQ(cache.Count(), 128);
  const HBRUSH brush = cache.GetBrush(TColor(0x00FFFFFF));
  EXPECT_NE(brush, nullptr);
  EXPECT_EQ(cache.Count(), 128);
  EXPECT_FALSE(cache.Contains(TColor(5)));
  EXPECT_TRUE(cache.Contains(TColor(4)));
  EXPECT_TRUE(cache.Contains(TColor(6)));
  EXPECT_TRUE(cache.Contains(TColor(0x00FFFFFF)));
}

TEST(cxSolidBrushCache, TiesEvictTheLowestColour) {
  TcxSolidBrushCache cache;
  for (Integer c = 129; c >= 1; --c) cache.GetBrush(TColor(c * 2));
  // Every count is 0 when colour 2 comes last: the first of them in colour
  // order, 4, makes room for it.
  EXPECT_EQ(cache.Count(), 128);
  EXPECT_TRUE(cache.Contains(TColor(2)));
  EXPECT_FALSE(cache.Contains(TColor(4)));
  EXPECT_TRUE(cache.Contains(TColor(258)));
}

TEST(cxSolidBrushCache, ReturnsTheSameBrushForTheSameColour) {
  TcxSolidBrushCache cache;
  const HBRUSH a = cache.GetBrush(TColor(0x00102030));
  cache.GetBrush(TColor(0x00000001));
  cache.GetBrush(TColor(0x00FFFFFF));
  EXPECT_EQ(cache.GetBrush(TColor(0x00102030)), a);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(a, sizeof(lb), &lb), int(sizeof(lb)));
  EXPECT_EQ(lb.lbColor, COLORREF(0x00102030));
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
}

TEST(GetSolidBrush, ServesSystemColoursFromTheSystemBrushes) {
  ResetSolidBrushCache();
  EXPECT_EQ(GetSolidBrush(clBtnFace), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(GetSolidBrush(clWindow), GetSysColorBrush(COLOR_WINDOW));
  EXPECT_FALSE(cxSolidBrushCache()->Contains(clBtnFace));
  EXPECT_EQ(cxSolidBrushCache()->Count(), 0);
}

TEST(GetSolidBrush, AllOverloadsShareOneCache) {
  ResetSolidBrushCache();
  const HBRUSH a = GetSolidBrush(TColor(0x00ABCDEF));
  EXPECT_EQ(GetSolidBrush(static_cast<TCanvas*>(nullptr), TColor(0x00ABCDEF)),
            a);
  EXPECT_EQ(GetSolidBrush(static_cast<TcxCanvas*>(nullptr), TColor(0x00ABCDEF)),
            a);
  EXPECT_EQ(cxSolidBrushCache()->Count(), 1);
}

}  // namespace
