// The four check-state value formats, both ways, and the glyph-strip cells.
#include <gtest/gtest.h>

#include "cxCheckStates.h"

namespace {

class TItems : public IcxCheckItems {
 public:
  TItems(std::initializer_list<const char*> ACaptions)
      : captions_(ACaptions.begin(), ACaptions.end()) {}
  explicit TItems(Integer ACount) : captions_(ACount) {}
  String GetCaption(Integer Index) override { return captions_.at(Index); }
  Integer GetCount() override { return static_cast<Integer>(captions_.size()); }

 private:
  std::vector<String> captions_;
};

constexpr auto U = cbsUnchecked;
constexpr auto C = cbsChecked;
constexpr auto G = cbsGrayed;

TEST(CheckStatesValue, EachFormatWritesItsText) {
  TItems items{"A", "BB", "C"};
  struct Case {
    TcxCheckStates states;
    TcxCheckStatesValueFormat format;
    const char* expected;
  };
  const Case cases[] = {
      {{C, U, G}, cvfCaptions, "1:C;1:A"}, {{C, U, U}, cvfCaptions, ";1:A"},
      {{U, G, G}, cvfCaptions, "2:BB1:C"}, {{U, U, U}, cvfCaptions, ""},
      {{C, G, C}, cvfIndices, "1;0,2"},    {{C, U, C}, cvfIndices, ";0,2"},
      {{G, U, G}, cvfIndices, "0,2"},      {{U, U, U}, cvfIndices, ""},
      {{C, U, G}, cvfStatesString, "102"},
  };
  for (const Case& c : cases) {
    const Variant v = CalculateCheckStatesValue(c.states, &items, c.format);
    ASSERT_TRUE(VarIsStr(v)) << c.expected;
    EXPECT_EQ(VarToStr(v), c.expected);
  }
  EXPECT_TRUE(VarIsNull(CalculateCheckStatesValue(
      {C}, &items, static_cast<TcxCheckStatesValueFormat>(7))));
}

TEST(CheckStatesValue, IntegerIsA64BitMaskOfCheckedItems) {
  TItems four(4);
  const Variant v = CalculateCheckStatesValue({U, C, G, C}, &four, cvfInteger);
  EXPECT_EQ(VarType(v), varInt64);
  EXPECT_EQ(v.AsInt64(), 10);

  TItems seventy(70);
  const Variant all =
      CalculateCheckStatesValue(TcxCheckStates(70, C), &seventy, cvfInteger);
  EXPECT_EQ(all.AsInt64(), -1);
  TcxCheckStates states;
  ASSERT_TRUE(
      CalculateCheckStates(Variant(Int64(-1)), &seventy, cvfInteger, states));
  ASSERT_EQ(states.size(), 70u);
  for (size_t i = 0; i < 70; ++i) {
    EXPECT_EQ(states[i], i < 64 ? C : U) << i;
  }
}

TEST(CheckStates, ValuesReadBackInEachFormat) {
  TItems items{"A", "BB", "C"};
  struct Case {
    Variant value;
    TcxCheckStatesValueFormat format;
    bool valid;
    TcxCheckStates expected;
  };
  const Case cases[] = {
      // captions
      {Variant("1:C;1:A"), cvfCaptions, true, {C, U, G}},
      {Variant(";1:a"), cvfCaptions, true, {C, U, U}},
      {Variant("2:bb"), cvfCaptions, true, {U, G, U}},
      {Variant(""), cvfCaptions, true, {U, U, U}},
      {Null(), cvfCaptions, true, {U, U, U}},
      {Variant("2:A"), cvfCaptions, false, {U, U, U}},
      {Variant("1:D"), cvfCaptions, false, {U, U, U}},
      {Variant("1:A;1:C;1:B"), cvfCaptions, false, {U, U, U}},
      {Variant("1A"), cvfCaptions, false, {U, U, U}},
      {Variant("1:Ax"), cvfCaptions, false, {U, U, U}},
      {Variant("9999999999:A"), cvfCaptions, false, {U, U, U}},
      {Variant(1), cvfCaptions, false, {U, U, U}},
      // indices
      {Variant("1;0,2"), cvfIndices, true, {C, G, C}},
      {Variant("0,2,"), cvfIndices, true, {G, U, G}},
      {Variant(";2"), cvfIndices, true, {U, U, C}},
      {Variant("0;;1"), cvfIndices, false, {U, U, U}},
      {Variant("0,x"), cvfIndices, false, {U, U, U}},
      {Variant("7"), cvfIndices, false, {U, U, U}},
      {Variant("0,,1"), cvfIndices, false, {U, U, U}},
      {Variant(";"), cvfIndices, false, {U, U, U}},
      {Variant(3), cvfIndices, false, {U, U, U}},
      // integer
      {Variant("5"), cvfInteger, true, {C, U, C}},
      {Variant("5x"), cvfInteger, false, {U, U, U}},
      {Null(), cvfInteger, true, {U, U, U}},
      {Variant(2), cvfInteger, true, {U, C, U}},
      {Variant(2.0), cvfInteger, true, {U, C, U}},
      {Variant(true), cvfInteger, true, {C, C, C}},
      {Variant(), cvfInteger, false, {U, U, U}},
      // states string
      {Variant("21"), cvfStatesString, true, {G, C, U}},
      {Variant("1021"), cvfStatesString, true, {C, U, G}},
      {Variant("3"), cvfStatesString, false, {U, U, U}},
      {Variant("13"), cvfStatesString, false, {U, U, U}},
  };
  for (const Case& c : cases) {
    TcxCheckStates states{G};
    EXPECT_EQ(CalculateCheckStates(c.value, &items, c.format, states), c.valid)
        << VarToStr(c.value) << " format " << int(c.format);
    EXPECT_EQ(states, c.expected)
        << VarToStr(c.value) << " format " << int(c.format);
  }
}

TEST(CheckStates, RoundTripsThroughEveryFormat) {
  TItems items{"One", "Two", "Three", "Four"};
  const TcxCheckStates states{C, G, U, C};
  for (auto format : {cvfCaptions, cvfIndices, cvfStatesString}) {
    TcxCheckStates back;
    ASSERT_TRUE(
        CalculateCheckStates(CalculateCheckStatesValue(states, &items, format),
                             &items, format, back))
        << int(format);
    EXPECT_EQ(back, states) << int(format);
  }
}

TEST(CheckStates, AnUnknownFormatIsInvalid) {
  TItems items{"A"};
  TcxCheckStates states;
  EXPECT_FALSE(CalculateCheckStates(
      Variant("1"), &items, static_cast<TcxCheckStatesValueFormat>(9), states));
  EXPECT_EQ(states, TcxCheckStates{U});
}

TEST(EditCheckGlyphIndex, CellsOfTheStrip) {
  struct Case {
    TcxCheckBoxState state;
    TcxEditCheckState check;
    bool threeSets;
    Integer count;
    Integer expected;
  };
  const Case cases[] = {
      {U, ecsNormal, false, 6, 0},
      {C, ecsHot, false, 6, 1},
      {G, ecsNormal, false, 6, 2},
      {U, ecsPressed, false, 6, 3},
      {C, ecsPressed, false, 6, 4},
      {G, ecsPressed, false, 6, 5},
      // Four cells: two sets of two (unchecked, checked).
      {C, ecsPressed, false, 4, 3},
      {G, ecsNormal, false, 4, 2},
      // Three cells: one set; the pressed look falls back to it.
      {C, ecsPressed, false, 3, 1},
      {G, ecsPressed, false, 3, 2},
      {C, ecsPressed, true, 2, 1},
      {U, ecsNormal, false, 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetEditCheckGlyphIndex(c.state, c.check, c.threeSets, c.count),
              c.expected)
        << int(c.state) << " " << int(c.check) << " " << c.count;
  }
}

}  // namespace
