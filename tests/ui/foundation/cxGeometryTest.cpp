#include <gtest/gtest.h>

#include <ostream>

#include "TypInfo.h"
#include "cxGeometry.h"

void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom
      << ")";
}
void PrintTo(const TPoint& p, std::ostream* os) {
  *os << "(" << p.X << ", " << p.Y << ")";
}

namespace {

TEST(GeometryRectTest, RectanglesAreHalfOpen) {
  const TRect r{0, 0, 10, 10};
  struct Case {
    Integer x, y;
    bool inside;
  };
  const Case cases[] = {{0, 0, true},   {9, 9, true},   {10, 5, false},
                        {5, 10, false}, {-1, 5, false}, {5, -1, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(cxRectPtIn(r, c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_EQ(cxRectPtIn(r, TPoint{c.x, c.y}), c.inside);
  }
  // Touching edges share no point.
  TRect result{1, 2, 3, 4};
  EXPECT_FALSE(cxRectIntersect(result, r, TRect{10, 0, 20, 10}));
  EXPECT_EQ(result, cxNullRect);
  EXPECT_FALSE(cxRectIntersect(r, TRect{0, 10, 10, 20}));
  EXPECT_TRUE(cxRectIntersect(result, r, TRect{5, -5, 20, 5}));
  EXPECT_EQ(result, (TRect{5, 0, 10, 5}));
}

TEST(GeometryRectTest, EmptinessAndComparisons) {
  EXPECT_TRUE(cxRectIsEmpty({0, 0, 0, 10}));
  EXPECT_TRUE(cxRectIsEmpty({0, 0, 10, -1}));
  EXPECT_FALSE(cxRectIsEmpty({0, 0, 1, 1}));
  EXPECT_TRUE(cxRectIsInvalid({-1, -1, -1, -1}));
  EXPECT_FALSE(cxRectIsInvalid({-1, -1, -1, 0}));
  EXPECT_TRUE(cxRectIsNull({0, 0, 0, 0}));
  EXPECT_FALSE(cxRectIsNull({0, 0, 0, 1}));
  EXPECT_TRUE(cxRectIsEqual({1, 2, 3, 4}, {1, 2, 3, 4}));
  EXPECT_FALSE(cxRectCompare({1, 2, 3, 4}, {1, 2, 3, 5}));
  EXPECT_TRUE(cxRectContain({0, 0, 10, 10}, {0, 0, 10, 10}));
  EXPECT_FALSE(cxRectContain({0, 0, 10, 10}, {0, 0, 11, 10}));
  EXPECT_FALSE(cxRectContain({0, 0, 10, 10}, {-1, 0, 5, 5}));
}

// Routines that compute a new rectangle from one: each case is the routine's
// result next to the expected one.
TEST(GeometryRectTest, DerivedRectangles) {
  const TRect r{10, 20, 30, 60};
  struct Case {
    const char* what;
    TRect actual, expected;
  };
  const Case cases[] = {
      {"Bounds", cxRectBounds(1, 2, 3, 4), {1, 2, 4, 6}},
      {"FromPoints", cxRect(TPoint{1, 2}, TPoint{3, 4}), {1, 2, 3, 4}},
      {"CenterWH", cxRectCenter(TRect{0, 0, 10, 10}, 4, 3), {3, 3, 7, 6}},
      {"CenterSize",
       cxRectCenter(TRect{0, 0, 9, 9}, TSize{4, 4}),
       {2, 2, 6, 6}},
      {"Content", cxRectContent(r, TRect{1, 2, 3, 4}), {11, 22, 27, 56}},
      {"Inflate", cxRectInflate(r, 2, 3), {8, 17, 32, 63}},
      {"Inflate4", cxRectInflate(r, 1, 2, 3, 4), {9, 18, 33, 64}},
      {"Invert", cxRectInvert(r), {-10, -20, -30, -60}},
      {"Offset", cxRectOffset(r, 1, -1), {11, 19, 31, 59}},
      {"OffsetPoint", cxRectOffset(r, TPoint{-10, 5}), {0, 25, 20, 65}},
      {"OffsetPoints",
       cxRectOffset(r, TPointArray{{1, 1}, {2, 3}}),
       {13, 24, 33, 64}},
      {"OffsetHorz", cxRectOffsetHorz(r, 5), {15, 20, 35, 60}},
      {"OffsetVert", cxRectOffsetVert(r, 5), {10, 25, 30, 65}},
      {"SetLeft", cxRectSetLeft(r, 0), {0, 20, 20, 60}},
      {"SetLeftW", cxRectSetLeft(r, 0, 5), {0, 20, 5, 60}},
      {"SetTop", cxRectSetTop(r, 0), {10, 0, 30, 40}},
      {"SetTopH", cxRectSetTop(r, 0, 5), {10, 0, 30, 5}},
      {"SetRight", cxRectSetRight(r, 100), {80, 20, 100, 60}},
      {"SetRightW", cxRectSetRight(r, 100, 5), {95, 20, 100, 60}},
      {"SetBottom", cxRectSetBottom(r, 100), {10, 60, 30, 100}},
      {"SetBottomH", cxRectSetBottom(r, 100, 5), {10, 95, 30, 100}},
      {"SetWidth", cxRectSetWidth(r, 5), {10, 20, 15, 60}},
      {"SetWidthL", cxRectSetWidth(r, 1, 5), {1, 20, 6, 60}},
      {"SetHeight", cxRectSetHeight(r, 5), {10, 20, 30, 25}},
      {"SetSize", cxRectSetSize(r, 1, 2), {10, 20, 11, 22}},
      {"SetXPos", cxRectSetXPos(r, 1, 2), {1, 20, 2, 60}},
      {"SetYPos", cxRectSetYPos(r, 1, 2), {10, 1, 30, 2}},
      {"Union", cxRectUnion({0, 0, 10, 10}, {5, 5, 20, 15}), {0, 0, 20, 15}},
      // A second rectangle without area adds nothing.
      {"UnionFlat", cxRectUnion({0, 0, 10, 10}, {5, 5, 5, 20}), {0, 0, 10, 10}},
      {"UnionNegative",
       cxRectUnion({0, 0, 10, 10}, {50, 50, 40, 60}),
       {0, 0, 10, 10}},
      // Scaling maps x1 onto x2 and widths by w2/w1, rounding to nearest.
      {"ScaleWidth",
       cxRectScaleWidth({10, 1, 20, 2}, 0, 100, 3, 6),
       {80, 1, 100, 2}},
      {"ScaleHeight",
       cxRectScaleHeight({1, 10, 2, 13}, 0, 0, 2, 1),
       {1, -5, 2, -3}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(GeometryRectTest, CentresRoundTowardZero) {
  EXPECT_EQ(cxRectCenter(TRect{0, 0, 5, 5}), (TPoint{2, 2}));
  EXPECT_EQ(cxRectCenter(TRect{-5, -5, 0, 0}), (TPoint{-2, -2}));
  TRect left, right;
  cxRectSplitHorz({-5, 0, 0, 4}, left, right);
  EXPECT_EQ(left, (TRect{-5, 0, -2, 4}));
  EXPECT_EQ(right, (TRect{-2, 0, 0, 4}));
  TRect top, bottom;
  cxRectSplitVert({0, 1, 4, 4}, top, bottom);
  EXPECT_EQ(top, (TRect{0, 1, 4, 2}));
  EXPECT_EQ(bottom, (TRect{0, 2, 4, 4}));
}

TEST(GeometryRectTest, ItemsAndSizes) {
  const TRect r{1, 2, 4, 8};
  EXPECT_EQ(cxRectWidth(r), 3);
  EXPECT_EQ(cxRectHeight(r), 6);
  EXPECT_EQ(cxRectSize(r), (TSize{3, 6}));
  EXPECT_EQ(cxRectGetSize(r, 0), 3);
  EXPECT_EQ(cxRectGetSize(r, 7), 6);
  const Integer items[] = {1, 2, 4, 8, 0, 0};
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(cxRectGetItem(r, i), items[i]);
  EXPECT_EQ(cxRectGetItem(r, -1), 0);
  EXPECT_EQ(cxRectGetItem(r, 4), 0);
  EXPECT_EQ(cxRectLeftBottom(r), (TPoint{1, 8}));
  EXPECT_EQ(cxRectRightTop(r), (TPoint{4, 2}));
}

TEST(GeometryRectTest, MinMaxCollectsTheExtent) {
  Integer min = 0, max = 0;
  cxRectMinMaxInit(min, max);
  EXPECT_EQ(min, 2147483647);
  EXPECT_EQ(max, -1);
  cxRectMinMaxHeight({0, 5, 0, 9}, max, min);
  cxRectMinMaxHeight({0, 3, 0, 7}, max, min);
  EXPECT_EQ(min, 3);
  EXPECT_EQ(max, 9);
  cxRectMinMaxInit(min, max);
  cxRectMinMaxWidth({4, 0, 6, 0}, max, min);
  cxRectMinMaxWidth({-2, 0, 1, 0}, max, min);
  EXPECT_EQ(min, -2);
  EXPECT_EQ(max, 6);
}

TEST(GeometryRectTest, PointInExtendedRectangle) {
  const TRect r{10, 10, 20, 20};
  struct Case {
    Integer x, y;
    TcxPtInRectType expected;
  };
  // With bands of 2 the extended rectangle is (8, 8, 22, 22), half open. A
  // corner belongs to the right band; where bands meet, right wins over
  // bottom, bottom over left and left over top.
  const Case cases[] = {
      {15, 15, ptrtArea}, {20, 20, ptrtRight},  {21, 15, ptrtRight},
      {22, 15, ptrtNone}, {15, 21, ptrtBottom}, {9, 20, ptrtBottom},
      {9, 15, ptrtLeft},  {9, 9, ptrtLeft},     {8, 8, ptrtLeft},
      {15, 9, ptrtTop},   {15, 8, ptrtTop},     {15, 7, ptrtNone},
      {5, 15, ptrtNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cxRectPtInEx(r, c.x, c.y, 2), c.expected) << c.x << "," << c.y;
  }
  // Separate band widths per side.
  EXPECT_EQ(cxRectPtInEx(r, 25, 15, 0, 0, 6, 0), ptrtRight);
  EXPECT_EQ(cxRectPtInEx(r, 5, 15, 0, 0, 6, 0), ptrtNone);
  EXPECT_EQ(cxRectPtInEx(r, 15, 23, 1, 4), ptrtBottom);
  EXPECT_EQ(cxRectPtInEx(r, 8, 15, 1, 4), ptrtNone);
}

TEST(GeometryRectTest, OverlappedGivesTheBandsThatStickOut) {
  TRect a, b, c, d;
  // r1 reaches lower and further right than r2.
  cxRectOverlapped({0, 0, 10, 10}, {0, 0, 6, 7}, a, b, c, d);
  EXPECT_EQ(a, (TRect{0, 7, 10, 10}));  // r1 below r2's bottom
  EXPECT_EQ(b, (TRect{6, 0, 10, 10}));  // r1 right of r2's right
  EXPECT_EQ(c, (TRect{0, 0, 6, 3}));
  EXPECT_EQ(d, (TRect{0, 0, 4, 7}));
  // r2 reaches lower and further right.
  cxRectOverlapped({0, 0, 6, 7}, {0, 0, 10, 10}, a, b, c, d);
  EXPECT_EQ(a, (TRect{0, 0, 6, 3}));
  EXPECT_EQ(b, (TRect{0, 0, 4, 7}));
  EXPECT_EQ(c, (TRect{0, 7, 10, 10}));  // r2 below r1's bottom
  EXPECT_EQ(d, (TRect{6, 0, 10, 10}));
  // Level edges give nothing.
  cxRectOverlapped({0, 0, 10, 10}, {5, 5, 10, 10}, a, b, c, d);
  EXPECT_EQ(a, cxNullRect);
  EXPECT_EQ(b, cxNullRect);
  EXPECT_EQ(c, cxNullRect);
  EXPECT_EQ(d, cxNullRect);
}

TEST(GeometryPointTest, PointRoutines) {
  EXPECT_EQ(cxPoint(TSize{3, 4}), (TPoint{3, 4}));
  EXPECT_EQ(cxPointInvert({3, -4}), (TPoint{-3, 4}));
  EXPECT_TRUE(cxPointIsEqual({1, 2}, {1, 2}));
  EXPECT_FALSE(cxPointIsEqual({1, 2}, {2, 1}));
  EXPECT_TRUE(cxPointIsNull({0, 0}));
  EXPECT_FALSE(cxPointIsNull(cxInvalidPoint));
  EXPECT_EQ(cxPointGetItem({3, 4}, 0), 3);
  EXPECT_EQ(cxPointGetItem({3, 4}, 5), 4);
  EXPECT_EQ(cxPointReplaceItem({3, 4}, 1, 9), (TPoint{3, 9}));
  EXPECT_EQ(cxPointReplaceItem({3, 4}, 0, 9), (TPoint{9, 4}));
  EXPECT_EQ(cxPointReplaceItem({3, 4}, -1, 9), (TPoint{3, 9}));
  EXPECT_EQ(cxPointOffset({1, 1}, 2, 3), (TPoint{3, 4}));
  EXPECT_EQ(cxPointOffset({1, 1}, TPoint{-1, -1}), cxNullPoint);
  EXPECT_EQ(cxPointOffset({1, 1}, TPointArray{{1, 0}, {0, 1}, {2, 2}}),
            (TPoint{4, 4}));
  EXPECT_EQ(cxPointSum({}), cxNullPoint);
  EXPECT_EQ(cxPointSum({{1, 2}, {3, 4}}), (TPoint{4, 6}));
  EXPECT_EQ(cxSize(1, 2), (TSize{1, 2}));
  EXPECT_TRUE(cxSizeIsEqual({1, 2}, {1, 2}));
  EXPECT_FALSE(cxSizeIsEqual({1, 2}, {2, 1}));
}

// Counts OnChange calls.
class ChangeCounter {
 public:
  void Changed(TObject* Sender) {
    ++count;
    sender = Sender;
  }
  int count = 0;
  TObject* sender = nullptr;
};

TEST(GeometryRectObjectTest, NotifiesOnlyRealChanges) {
  TcxRect rect;
  ChangeCounter counter;
  rect.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
  rect.SetRect({1, 2, 3, 4});
  EXPECT_EQ(counter.count, 1);
  EXPECT_EQ(counter.sender, &rect);
  rect.SetRect({1, 2, 3, 4});
  rect.SetLeft(1);
  rect.SetVertex(4, {9, 9});  // not a corner
  EXPECT_EQ(counter.count, 1);
  rect.SetWidth(10);
  EXPECT_EQ(rect.GetData(), (TRect{1, 2, 11, 4}));
  rect.SetHeight(5);
  EXPECT_EQ(rect.GetData(), (TRect{1, 2, 11, 7}));
  rect.SetValue(3, 8);
  EXPECT_EQ(rect.Bottom(), 8);
  EXPECT_EQ(counter.count, 4);
}

TEST(GeometryRectObjectTest, Vertices) {
  TcxRect rect;
  rect.SetRect({1, 2, 3, 4});
  EXPECT_EQ(rect.GetVertex(0), (TPoint{1, 2}));
  EXPECT_EQ(rect.GetVertex(1), (TPoint{3, 2}));
  EXPECT_EQ(rect.GetVertex(2), (TPoint{1, 4}));
  EXPECT_EQ(rect.GetVertex(3), (TPoint{3, 4}));
  rect.SetVertex(1, {7, 0});
  EXPECT_EQ(rect.GetData(), (TRect{1, 0, 7, 4}));
  rect.SetVertex(2, {-1, 9});
  EXPECT_EQ(rect.GetData(), (TRect{-1, 0, 7, 9}));
}

TEST(GeometryRectObjectTest, AssignTakesOnlyRectangles) {
  TcxRect rect, other;
  other.SetRect({5, 6, 7, 8});
  rect.Assign(&other);
  EXPECT_TRUE(rect.IsEqual(&other));
  TcxSize size;
  size.SetSize({3, 3});
  rect.Assign(&size);  // anything else leaves it as it was
  EXPECT_EQ(rect.GetData(), (TRect{5, 6, 7, 8}));
  rect.Assign(nullptr);
  EXPECT_EQ(rect.GetData(), (TRect{5, 6, 7, 8}));
}

TEST(GeometrySizeObjectTest, NegativeComponentsBecomeZero) {
  TcxSize size;
  ChangeCounter counter;
  size.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
  size.SetSize({-5, 7});
  EXPECT_EQ(size.GetSize(), (TSize{0, 7}));
  EXPECT_EQ(counter.count, 1);
  size.SetSize({0, 7});
  size.SetSize({-1, 7});
  EXPECT_EQ(counter.count, 1);
  size.SetWidth(4);
  size.SetHeight(-3);
  EXPECT_EQ(size.GetSize(), (TSize{4, 0}));
  EXPECT_EQ(size.GetValue(1), 4);
  EXPECT_EQ(size.GetValue(0), 0);
  EXPECT_EQ(counter.count, 3);
  EXPECT_FALSE(size.IsEmpty());
  EXPECT_TRUE(size.IsSizeStored(1));
  EXPECT_FALSE(size.IsSizeStored(0));
}

TEST(GeometrySizeObjectTest, AssignFromAnotherKindFails) {
  TcxSize size, other;
  other.SetSize({2, 3});
  size.Assign(&other);
  EXPECT_TRUE(size.IsEqual(&other));
  TcxRect rect;
  EXPECT_THROW(size.Assign(&rect), EConvertError);
}

TEST(GeometryStreamingTest, RectIsPublishedAndRegistered) {
  EXPECT_EQ(GetClass("TcxRect"), TcxRect::StaticClass());
  TcxRect rect;
  SetOrdProp(&rect, "Right", 7);
  EXPECT_EQ(rect.Right(), 7);
  EXPECT_EQ(GetOrdProp(&rect, "Right"), 7);
  TcxSize size;
  size.SetSize({0, 5});
  EXPECT_FALSE(IsStoredProp(&size, "Width"));
  EXPECT_TRUE(IsStoredProp(&size, "Height"));
}

}  // namespace
