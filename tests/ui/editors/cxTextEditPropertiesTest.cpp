// The text editor's properties: view style, echo and case, maximum length,
// formats and their assigned flags, numeric display and bounds, and the
// unit's number routines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxEditConsts.h"
#include "cxTextEdit.h"

namespace {

using TProps = TObjectPtr<TcxTextEditProperties>;
TProps NewProps() { return TProps(new TcxTextEditProperties(nullptr)); }

// A numeric descendant, as the numeric editors are.
class TNumericProps : public TcxCustomTextEditProperties {
  VARNEL_CLASS(TNumericProps, TcxCustomTextEditProperties)
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  bool IsEditValueNumeric() override { return true; }
  bool HasDigitGrouping(bool) override { return Grouping; }
  bool Grouping = false;
};

// A list-style descendant, as the combo box is.
class TListProps : public TcxCustomTextEditProperties {
  VARNEL_CLASS(TListProps, TcxCustomTextEditProperties)
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  TcxEditEditingStyle GetEditingStyle() override { return esEditList; }
};

// Comma groups, point decimals, for the test's span.
class SeparatorsFixture : public ::testing::Test {
 protected:
  TRestoreOnExit<char> thousand_{ThousandSeparator, ','};
  TRestoreOnExit<char> decimal_{DecimalSeparator, '.'};
};

TEST(TextEditProperties, ViewStyleIsDerivedFromHideCursorAndButtonsViewStyle) {
  struct Case {
    TcxTextEditViewStyle style;
    bool hideCursor;
    TcxEditButtonsViewStyle buttons;
    TcxEditEditingStyle editing;
  } cases[] = {
      {vsHideCursor, true, bvsNormal, esNoEdit},
      {vsButtonsOnly, true, bvsButtonsOnly, esNoEdit},
      {vsButtonsAutoWidth, true, bvsButtonsAutoWidth, esNoEdit},
      {vsNormal, false, bvsNormal, esEdit},
  };
  TProps props = NewProps();
  for (const Case& c : cases) {
    props->SetViewStyle(c.style);
    EXPECT_EQ(props->HideCursor(), c.hideCursor) << int(c.style);
    EXPECT_EQ(props->ButtonsViewStyle(), c.buttons) << int(c.style);
    EXPECT_EQ(props->GetEditingStyle(), c.editing) << int(c.style);
    EXPECT_EQ(props->ViewStyle(), c.style);
  }
}

TEST(TextEditProperties, ViewStyleChangeNotifiesOnce) {
  TProps props = NewProps();
  int changes = 0;
  props->OnPropertiesChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  props->SetViewStyle(vsButtonsOnly);
  EXPECT_EQ(changes, 1);
  props->SetViewStyle(vsButtonsOnly);
  EXPECT_EQ(changes, 1);
}

TEST(TextEditProperties, DisplayTextMasksPasswordsAndConvertsCase) {
  struct Case {
    TcxEditEchoMode echo;
    char passwordChar;
    TEditCharCase charCase;
    std::string expected;
  } cases[] = {
      {eemPassword, '\0', ecNormal, "***"},
      {eemPassword, '#', ecUpperCase, "###"},
      {eemNormal, '#', ecUpperCase, "ABC"},
      {eemNormal, '\0', ecLowerCase, "abc"},
      {eemNormal, '\0', ecNormal, "aBc"},
  };
  for (const Case& c : cases) {
    TProps props = NewProps();
    props->SetEchoMode(c.echo);
    props->SetPasswordChar(c.passwordChar);
    props->SetCharCase(c.charCase);
    String text = "aBc";
    props->DisplayValueToDisplayText(text);
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(VarToStr(Variant(props->GetDisplayText(Variant("aBc")))),
              c.expected);
  }
}

TEST(TextEditProperties, ValidDisplayValueTakesTheCharCase) {
  TProps props = NewProps();
  props->SetCharCase(ecUpperCase);
  Variant v("Abc");
  EXPECT_TRUE(props->IsDisplayValueValid(v, true));
  EXPECT_EQ(VarToStr(v), "ABC");
}

TEST(TextEditProperties, ListStylesAcceptOnlyItemsWithoutCase) {
  TObjectPtr<TListProps> props(new TListProps(nullptr));
  props->LookupItems()->Add("List");
  props->LookupItems()->Add("Details");
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {{"details", true}, {"Summ", false}, {"", true}};
  for (const Case& c : cases) {
    Variant v(c.text);
    EXPECT_EQ(props->IsDisplayValueValid(v, true), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(VarToStr(v), c.text);
    }
  }
}

TEST(TextEditProperties, MaxLengthIsNeverNegativeAndSetsItsFlag) {
  TProps props = NewProps();
  EXPECT_FALSE(props->IsMaxLengthStored());
  int changes = 0;
  props->OnPropertiesChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  props->SetMaxLength(-5);
  EXPECT_EQ(props->MaxLength(), 0);
  EXPECT_TRUE(props->IsMaxLengthStored());
  EXPECT_EQ(changes, 1);
  props->SetMaxLength(0);
  EXPECT_EQ(changes, 1);  // the same assigned value
  props->SetMaxLength(7);
  EXPECT_EQ(props->MaxLength(), 7);
  EXPECT_EQ(props->GetInnerEditMaxLength(), 7);
  EXPECT_EQ(changes, 2);
}

TEST(TextEditProperties, AnAssignedEmptyFormatStaysAssignedAndStored) {
  TProps props = NewProps();
  props->SetDisplayFormat("");
  EXPECT_TRUE(props->IsDisplayFormatStored());
  EXPECT_TRUE(props->AssignedValues()->IsDisplayFormatStored());
  props->SetDisplayFormat("0.00");
  EXPECT_FALSE(props->AssignedValues()->IsDisplayFormatStored());
  props->ReadIsDisplayFormatAssigned(false);
  EXPECT_EQ(props->DisplayFormat(), "");
}

TEST(TextEditProperties, AssignCopiesOnlyTheFlagsTheSourceHas) {
  TProps source = NewProps();
  TProps target = NewProps();
  target->SetDisplayFormat("0.0");
  target->SetMaxLength(3);
  source->SetEditFormat("#");
  source->SetCharCase(ecLowerCase);
  source->SetEchoMode(eemPassword);
  source->LookupItems()->Add("b");
  source->LookupItems()->Add("a");
  source->SetLookupItemsSorted(true);
  target->Assign(source.get());
  EXPECT_FALSE(target->IsDisplayFormatStored());
  EXPECT_EQ(target->DisplayFormat(), "");
  EXPECT_FALSE(target->IsMaxLengthStored());
  EXPECT_EQ(target->MaxLength(), 0);
  EXPECT_TRUE(target->IsEditFormatStored());
  EXPECT_EQ(target->CharCase(), ecLowerCase);
  EXPECT_EQ(target->EchoMode(), eemPassword);
  EXPECT_TRUE(target->LookupItemsSorted());
  ASSERT_EQ(target->LookupItems()->Count(), 2);
  EXPECT_EQ(target->LookupItems()->Strings(0), "a");
}

TEST(TextEditProperties, EditFormatNeedsUseDisplayFormatWhenEditing) {
  TProps props = NewProps();
  props->SetDisplayFormat("0.00");
  EXPECT_EQ(props->EditFormat(), "");
  props->SetUseDisplayFormatWhenEditing(true);
  EXPECT_EQ(props->EditFormat(), "0.00");
  props->SetEditFormat("0");
  EXPECT_EQ(props->EditFormat(), "0");
}

TEST(TextEditProperties, ValueBoundsCountOnlyTheAssignedOne) {
  TProps props = NewProps();
  EXPECT_FALSE(props->IsValueBoundDefined(evbMin));  // 0 > 0 fails
  EXPECT_FALSE(props->IsValueBoundDefined(evbMax));
  props->SetMinValue(5);
  EXPECT_TRUE(props->IsValueBoundDefined(evbMin));
  EXPECT_FALSE(props->IsValueBoundDefined(evbMax));
  props->SetMaxValue(2);  // both assigned, max not above min
  EXPECT_FALSE(props->IsValueBoundsDefined());
  props->SetMaxValue(9);
  EXPECT_TRUE(props->IsValueBoundDefined(evbMin));
  EXPECT_TRUE(props->IsValueBoundDefined(evbMax));
}

TEST(TextEditProperties, IncrementalSearchDependsOnTheEditingStyle) {
  TProps props = NewProps();
  EXPECT_TRUE(props->CanIncrementalSearch());
  props->SetIncrementalSearch(false);
  EXPECT_FALSE(props->CanIncrementalSearch());
  TObjectPtr<TListProps> list(new TListProps(nullptr));
  list->SetIncrementalSearch(false);
  EXPECT_TRUE(list->CanIncrementalSearch());
}

TEST(TextEditProperties, OutOfBoundsTextAndRegisteredClass) {
  TProps props = NewProps();
  EXPECT_EQ(props->GetValidateErrorText(1), "Value out of bounds");
  EXPECT_EQ(
      GetRegisteredEditProperties()->FindByClassName("TcxTextEditProperties"),
      TcxTextEditProperties::StaticClass());
  const auto ops = props->GetSupportedOperations();
  EXPECT_TRUE(ops.Contains(esoIncSearch));
  EXPECT_TRUE(ops.Contains(esoAutoHeight));
}

TEST(TextEditProperties, NonNumericDisplayValueIsTheStringAndArraysAreEmpty) {
  TProps props = NewProps();
  Variant display;
  props->PrepareDisplayValue(Variant(12), display, false);
  EXPECT_EQ(VarToStr(display), "12");
  props->PrepareDisplayValue(VarArrayOf({Variant(1), Variant(2)}), display,
                             false);
  EXPECT_EQ(VarToStr(display), "");
}

TEST_F(SeparatorsFixture, NumericDisplayFormatsGroupsAndRefusesOtherTypes) {
  TObjectPtr<TNumericProps> props(new TNumericProps(nullptr));
  Variant display;
  props->PrepareDisplayValue(Null(), display, true);
  EXPECT_EQ(VarToStr(display), "");
  props->SetDisplayFormat("0.00");
  props->PrepareDisplayValue(Variant(3.5), display, false);
  EXPECT_EQ(VarToStr(display), "3.50");
  props->Grouping = true;
  props->PrepareDisplayValue(Variant(1234567.0), display, true);
  EXPECT_EQ(VarToStr(display), "1,234,567");
  try {
    props->PrepareDisplayValue(VarFromDateTime(2.5), display, true);
    FAIL() << "a date is no number";
  } catch (const EConvertError& e) {
    EXPECT_EQ(String(e.Message()), "Could not convert to numeric value");
  }
}

TEST_F(SeparatorsFixture, InsertThousandSeparatorKeepsSignSpacesAndExponent) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"1234567", "1,234,567"},
      {" 1234.5 ", " 1,234.5 "},
      {"-1234E5", "-1,234E5"},
      {"12", "12"},
      {"1,2,3", "123"},
      {"123456.7891", "123,456.7891"},
      {"", ""},
      {"abc", "abc"},
  };
  for (const Case& c : cases) {
    String text = c.in;
    InsertThousandSeparator(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

TEST(TextEditRoutines, ExponentPartAndCase) {
  String text = "12e-3";
  String exponent;
  RemoveExponentialPart(text, exponent);
  EXPECT_EQ(text, "12");
  EXPECT_EQ(exponent, "e-3");
  text = "125";
  RemoveExponentialPart(text, exponent);
  EXPECT_EQ(text, "125");
  EXPECT_EQ(exponent, "");
  text = "Abc";
  CheckCharsRegister(text, ecUpperCase);
  EXPECT_EQ(text, "ABC");
}

}  // namespace
