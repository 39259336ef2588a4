// The filter builder's editor side: operator texts and kinds, the helper
// registry, the base helper's operator sets and value-editor set-up, the
// check of a typed value (against stand-in value types: the data layer is
// not linked here) and the dialogs' window parent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "UiDriverWin.h"
#include "cxButtonEdit.h"
#include "cxDropDownEdit.h"
#include "cxEdit.h"
#include "cxFilterControlStrs.h"
#include "cxFilterControlUtils.h"
#include "cxMaskEdit.h"

namespace {

using ui_test::WaitUntil;

TEST(FilterOperatorsTest, TextsAndKinds) {
  struct Case {
    TcxFilterControlOperator Operator;
    const char* Text;
    int Kind;  // the data layer's ordinal
  };
  const Case cases[] = {
      {fcoNone, "", 0},
      {fcoEqual, "equals", 0},
      {fcoNotEqual, "does not equal", 1},
      {fcoLess, "is less than", 2},
      {fcoLessEqual, "is less than or equal to", 3},
      {fcoGreater, "is greater than", 4},
      {fcoGreaterEqual, "is greater than or equal to", 5},
      {fcoLike, "like", 6},
      {fcoNotLike, "not like", 7},
      {fcoBlanks, "is blank", 0},
      {fcoNonBlanks, "is not blank", 1},
      {fcoBetween, "between", 8},
      {fcoNotBetween, "not between", 9},
      {fcoInList, "in", 10},
      {fcoNotInList, "not in", 11},
      {fcoYesterday, "is yesterday", 12},
      {fcoLast7Days, "is last 7 days", 15},
      {fcoLastTwoWeeks, "is last two weeks", 18},
      {fcoLastYear, "is last year", 21},
      {fcoInPast, "is past", 22},
      {fcoThisWeek, "is this week", 23},
      {fcoNextTwoWeeks, "is next two weeks", 29},
      {fcoNextYear, "is next year", 32},
      {fcoInFuture, "is future", 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Operator));
    EXPECT_EQ(GetFilterControlOperatorText(c.Operator), c.Text);
    EXPECT_EQ(int(GetFilterOperatorKind(c.Operator)), c.Kind);
  }
}

TEST(FilterOperatorsTest, EveryKindComesBackToItsOperator) {
  for (int kind = 0; kind < 34; ++kind) {
    SCOPED_TRACE(kind);
    const auto k = static_cast<TcxFilterOperatorKind>(kind);
    const TcxFilterControlOperator op = GetFilterControlOperator(k, false);
    EXPECT_NE(op, fcoNone);
    EXPECT_EQ(int(GetFilterOperatorKind(op)), kind);
    EXPECT_NE(op, fcoBlanks);
    EXPECT_NE(op, fcoNonBlanks);
  }
  // A Null value turns only the two equality kinds into blank tests.
  const auto equal = static_cast<TcxFilterOperatorKind>(0);
  const auto notEqual = static_cast<TcxFilterOperatorKind>(1);
  const auto less = static_cast<TcxFilterOperatorKind>(2);
  EXPECT_EQ(GetFilterControlOperator(equal, true), fcoBlanks);
  EXPECT_EQ(GetFilterControlOperator(notEqual, true), fcoNonBlanks);
  EXPECT_EQ(GetFilterControlOperator(less, true), fcoLess);
  EXPECT_EQ(GetFilterControlOperator(equal, false), fcoEqual);
}

TEST(FilterOperatorsTest, AReplacedTextShows) {
  TScopeGuard clear([] { cxClearResourceStrings(); });
  cxSetResourceStringNet("is past", "in the past");
  EXPECT_EQ(GetFilterControlOperatorText(fcoInPast), "in the past");
}

// --- Stand-in value types ------------------------------------------------

const char kStringTag = 0;
const char kIntegerTag = 0;
const char kThrowingTag = 0;
TcxValueTypeClass StringType() {
  return reinterpret_cast<TcxValueTypeClass>(&kStringTag);
}
TcxValueTypeClass IntegerType() {
  return reinterpret_cast<TcxValueTypeClass>(&kIntegerTag);
}
// A value type whose check fails with an exception of its own.
TcxValueTypeClass ThrowingType() {
  return reinterpret_cast<TcxValueTypeClass>(&kThrowingTag);
}

bool StandInIsString(TcxValueTypeClass AClass) {
  return AClass == StringType();
}

bool StandInIsValueValid(TcxValueTypeClass AClass, Variant& AValue) {
  if (VarIsNull(AValue)) return true;
  if (AClass == ThrowingType()) throw Exception("not a value");
  if (AClass != IntegerType()) return true;
  Integer v = 0;
  if (!TryStrToInt(VarToStr(AValue), v)) return false;
  AValue = v;
  return true;
}

class FilterValueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = cxFilterValueTypeServices();
    cxSetFilterValueTypeServices({&StandInIsString, &StandInIsValueValid});
  }
  void TearDown() override { cxSetFilterValueTypeServices(saved_); }

  TcxFilterValueTypeServices saved_;
  const TcxCustomFilterEditHelper* helper_ =
      TcxCustomFilterEditHelper::Instance();
};

TEST_F(FilterValueTest, SupportedOperatorsFollowTheValueType) {
  const TcxFilterControlOperators basic{
      fcoEqual,   fcoNotEqual,     fcoLess,   fcoLessEqual,
      fcoGreater, fcoGreaterEqual, fcoBlanks, fcoNonBlanks};
  TcxFilterControlOperators all = basic;
  for (auto op : {fcoLike, fcoNotLike, fcoBetween, fcoNotBetween, fcoInList,
                  fcoNotInList})
    all.Include(op);
  TcxFilterControlOperators extendedNoLike = all;
  extendedNoLike.Exclude(fcoLike);
  extendedNoLike.Exclude(fcoNotLike);
  TcxFilterControlOperators basicLike = basic;
  basicLike.Include(fcoLike);
  basicLike.Include(fcoNotLike);
  EXPECT_EQ(helper_->GetSupportedFilterOperators(nullptr, IntegerType()),
            basic);
  EXPECT_EQ(helper_->GetSupportedFilterOperators(nullptr, StringType(), true),
            all);
  EXPECT_EQ(helper_->GetSupportedFilterOperators(nullptr, StringType()),
            basicLike);
  EXPECT_EQ(helper_->GetSupportedFilterOperators(nullptr, nullptr, true),
            extendedNoLike);
}

TEST_F(FilterValueTest, ValidationTable) {
  struct Case {
    const char* Name;
    Variant Value;
    TcxFilterControlOperator Operator;
    TcxValueTypeClass Type;
    bool Raises;
    Variant Result;
  };
  const Case cases[] = {
      {"empty text of a number is Null", Variant(String()), fcoEqual,
       IntegerType(), false, Null()},
      {"empty text of a string stays", Variant(String()), fcoEqual,
       StringType(), false, Variant(String())},
      {"digits become a number", Variant(String("12")), fcoEqual, IntegerType(),
       false, Variant(12)},
      {"letters are no number", Variant(String("abc")), fcoEqual, IntegerType(),
       true, Variant(String("abc"))},
      {"any text is a pattern", Variant(String("abc")), fcoLike, IntegerType(),
       false, Variant(String("abc"))},
      {"any text is a pattern (not)", Variant(String("abc")), fcoNotLike,
       IntegerType(), false, Variant(String("abc"))},
      {"Null is valid", Null(), fcoLess, IntegerType(), false, Null()},
      {"no value type: text", Variant(String("abc")), fcoEqual, nullptr, false,
       Variant(String("abc"))},
      {"no value type, empty text stays", Variant(String()), fcoEqual, nullptr,
       false, Variant(String())},
      {"a failing check is an invalid value", Variant(String("x")), fcoEqual,
       ThrowingType(), true, Variant(String("x"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Variant value = c.Value;
    bool raised = false;
    try {
      FilterControlValidateValue(nullptr, value, c.Operator, c.Type, helper_);
    } catch (const EcxFilterControlError& e) {
      raised = true;
      EXPECT_EQ(e.Message(), "Invalid value");
    }
    EXPECT_EQ(raised, c.Raises);
    EXPECT_EQ(VarType(value), VarType(c.Result));
    EXPECT_TRUE(VarIsNull(value) ? VarIsNull(c.Result)
                                 : VarToStr(value) == VarToStr(c.Result));
  }
}

class TTestFilterEdit : public TcxCustomEdit {
  VARNEL_CLASS(TTestFilterEdit, TcxCustomEdit)
 public:
  explicit TTestFilterEdit(TComponent* AOwner) : TcxCustomEdit(AOwner) {
    CreateProperties();
  }
};

TEST_F(FilterValueTest, AnInvalidValueMarksTheEditorModifiedAndFocusesIt) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(40, 40, 300, 200);
  auto* edit = new TTestFilterEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(10, 10, 120, 24);
  form->Show();
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form->Handle()); },
                        "form shown"));
  Variant value = String("abc");
  EXPECT_THROW(
      FilterControlValidateValue(edit, value, fcoEqual, IntegerType(), helper_),
      EcxFilterControlError);
  EXPECT_TRUE(edit->Modified());
  EXPECT_TRUE(WaitUntil([&] { return edit->Focused(); }, "editor focused"));
}

// --- Helper set-up ---------------------------------------------------------

TEST(FilterEditHelperTest, ValueEditorPropertiesCopyTheColumnsButStayEditable) {
  TcxCustomEditProperties column;
  column.Buttons()->Add()->SetKind(bkEllipsis);
  column.SetReadOnly(true);
  column.SetBeepOnError(true);
  column.SetValidateOnEnter(false);
  column.SetMaxValue(7);
  column.Alignment()->SetHorz(taRightJustify);
  column.Alignment()->SetVert(taBottomJustify);
  int events = 0;
  column.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++events; });
  column.OnEditValueChanged = column.OnChange;

  for (bool hasButtons : {false, true}) {
    SCOPED_TRACE(hasButtons);
    TcxCustomEditProperties value;
    TcxCustomFilterEditHelper::Instance()->InitializeProperties(&value, &column,
                                                                hasButtons);
    EXPECT_EQ(value.MaxValue(), 7);  // copied
    EXPECT_EQ(value.Buttons()->Count(), hasButtons ? 1 : 0);
    EXPECT_FALSE(value.ReadOnly());
    EXPECT_FALSE(value.BeepOnError());
    EXPECT_TRUE(value.ValidateOnEnter());
    EXPECT_EQ(value.Alignment()->Horz(), taLeftJustify);
    EXPECT_EQ(value.Alignment()->Vert(), taTopJustify);
    EXPECT_FALSE(value.OnChange);
    EXPECT_FALSE(value.OnEditValueChanged);
  }
  // The column's own settings are untouched.
  EXPECT_TRUE(column.ReadOnly());
  EXPECT_TRUE(column.OnChange);
  EXPECT_EQ(column.Buttons()->Count(), 1);
}

TEST(FilterEditHelperTest, TheBaseHelperMakesNoEditor) {
  TcxCustomEditProperties column;
  EXPECT_EQ(TcxCustomFilterEditHelper::Instance()->GetFilterEdit(&column),
            nullptr);
}

// --- Registry --------------------------------------------------------------

class TFilterPropsA : public TcxCustomEditProperties {
  VARNEL_CLASS(TFilterPropsA, TcxCustomEditProperties)
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
};
class TFilterPropsA1 : public TFilterPropsA {
  VARNEL_CLASS(TFilterPropsA1, TFilterPropsA)
 public:
  using TFilterPropsA::TFilterPropsA;
};
class TFilterPropsA2 : public TFilterPropsA1 {
  VARNEL_CLASS(TFilterPropsA2, TFilterPropsA1)
 public:
  using TFilterPropsA1::TFilterPropsA1;
};

class TTestFilterHelper : public TcxCustomFilterEditHelper {
  VARNEL_CLASS(TTestFilterHelper, TcxCustomFilterEditHelper)
 public:
  static const TTestFilterHelper* Instance() {
    static const TTestFilterHelper instance;
    return &instance;
  }
};

TEST(FilterEditsControllerTest, HelpersAreFoundThroughTheParentClass) {
  const TcxCustomFilterEditHelper* base = TcxCustomFilterEditHelper::Instance();
  const TcxCustomFilterEditHelper* test = TTestFilterHelper::Instance();
  TcxFilterEditsController controller;
  // Keyed by the parent: TFilterPropsA1 registers under TFilterPropsA.
  controller.Register(TFilterPropsA1::StaticClass(), base);
  controller.Register(TFilterPropsA2::StaticClass(), test);
  EXPECT_EQ(controller.FindHelper(TFilterPropsA1::StaticClass()), base);
  EXPECT_EQ(controller.FindHelper(TFilterPropsA2::StaticClass()), test);
  // TFilterPropsA's parent has no registration of its own.
  EXPECT_EQ(controller.FindHelper(TFilterPropsA::StaticClass()), nullptr);
  EXPECT_EQ(controller.FindHelper(TcxCustomEditProperties::StaticClass()),
            nullptr);
  controller.Unregister(TFilterPropsA2::StaticClass(), test);
  EXPECT_EQ(controller.FindHelper(TFilterPropsA2::StaticClass()), base);
  controller.Unregister(TFilterPropsA1::StaticClass(), base);
  EXPECT_EQ(controller.FindHelper(TFilterPropsA2::StaticClass()), nullptr);
}

TEST(FilterEditsControllerTest, TheLastUnregistrationFreesTheRegistry) {
  const bool existed = FilterEditsControllerExists();
  const Integer before = existed ? FilterEditsController()->Count() : 0;
  const TcxCustomFilterEditHelper* test = TTestFilterHelper::Instance();
  FilterEditsController()->Register(TFilterPropsA2::StaticClass(), test);
  EXPECT_EQ(FilterEditsController()->Count(), before + 1);
  FilterEditsController()->Unregister(TFilterPropsA2::StaticClass(), test);
  // Freed when nothing else was registered; else the others stay.
  EXPECT_EQ(FilterEditsControllerExists(), existed);
  EXPECT_EQ(FilterEditsController()->Count(), before);
  EXPECT_EQ(FilterEditsController()->FindHelper(TFilterPropsA2::StaticClass()),
            nullptr);
  if (!existed) {
    // The call above made a new, empty registry: unregistering from it
    // again leaves none.
    FilterEditsController()->Unregister(TFilterPropsA2::StaticClass(), test);
    EXPECT_FALSE(FilterEditsControllerExists());
  }
}

// --- The editors' helpers
// -----------------------------------------------------

TEST(FilterEditorHelpersTest, EachEditorKindFindsItsHelper) {
  TcxFilterEditsController* controller = FilterEditsController();
  const std::pair<TClass, TcxCustomFilterEditHelperClass> cases[] = {
      {TcxTextEditProperties::StaticClass(),
       TcxFilterTextEditHelper::Instance()},
      {TcxMaskEditProperties::StaticClass(),
       TcxFilterMaskEditHelper::Instance()},
      {TcxButtonEditProperties::StaticClass(),
       TcxFilterMaskEditHelper::Instance()},
      {TcxComboBoxProperties::StaticClass(),
       TcxFilterComboBoxHelper::Instance()},
      // The drop-down editors here stand on the text editor's properties.
      {TcxPopupEditProperties::StaticClass(),
       TcxFilterTextEditHelper::Instance()},
      {TcxCustomEditProperties::StaticClass(), nullptr}};
  for (const auto& [cls, helper] : cases)
    EXPECT_EQ(controller->FindHelper(cls), helper) << cls->Name;
}

TEST(FilterEditorHelpersTest, AFixedListColumnGetsAFreeTextComboBox) {
  TcxComboBoxProperties column;
  column.SetDropDownListStyle(lsFixedList);
  column.SetDropDownRows(3);
  column.SetRevertable(true);
  column.SetReadOnly(true);
  for (const char* item : {"List", "Details", "Summary", "Preview"})
    column.Items()->Add(item);
  TObjectPtr<TcxCustomEdit> owned;
  TcxCustomEdit* edit = TcxFilterComboBoxHelper::Instance()->GetFilterEdit(
      &column, nullptr, &owned);
  auto* combo = dynamic_cast<TcxComboBox*>(edit);
  ASSERT_NE(combo, nullptr);
  TcxComboBoxProperties* props = combo->ActiveProperties();
  EXPECT_EQ(props->DropDownListStyle(), lsEditList);
  EXPECT_EQ(props->Items()->Count(), 4);
  EXPECT_EQ(props->DropDownRows(), 8);
  EXPECT_FALSE(props->Revertable());
  EXPECT_FALSE(props->ImmediateDropDown());
  EXPECT_FALSE(props->ReadOnly());
  ASSERT_EQ(props->Buttons()->Count(), 1);  // the drop-down button stays
  EXPECT_EQ(props->Buttons()->Items(0)->Kind(), bkDown);
  EXPECT_TRUE(props->AutoSelect());
  EXPECT_EQ(column.DropDownListStyle(), lsFixedList);  // untouched
}

TEST(FilterEditorHelpersTest, TextAndMaskValueEditorsLoseTheColumnsButtons) {
  TcxButtonEditProperties column;
  column.Buttons()->Add()->SetKind(bkEllipsis);
  column.SetAutoSelect(false);
  column.SetHideSelection(false);
  column.SetViewStyle(vsButtonsOnly);
  struct Case {
    TcxCustomFilterEditHelperClass Helper;
    TClass EditClass;
  };
  for (const Case& c :
       {Case{TcxFilterTextEditHelper::Instance(), TcxTextEdit::StaticClass()},
        Case{TcxFilterMaskEditHelper::Instance(),
             TcxMaskEdit::StaticClass()}}) {
    SCOPED_TRACE(c.EditClass->Name);
    TObjectPtr<TcxCustomEdit> owned;
    TcxCustomEdit* edit = c.Helper->GetFilterEdit(&column, nullptr, &owned);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->ClassType(), c.EditClass);
    auto* props =
        static_cast<TcxCustomTextEditProperties*>(edit->ActiveProperties());
    EXPECT_EQ(props->Buttons()->Count(), 0);
    EXPECT_TRUE(props->AutoSelect());
    EXPECT_TRUE(props->HideSelection());
    EXPECT_EQ(props->ViewStyle(), vsNormal);
    c.Helper->SetFilterValue(edit, &column, Variant(String("abc")));
    EXPECT_EQ(VarToStr(edit->EditValue()), "abc");
  }
}

TEST_F(FilterValueTest, AMaskedValueOffersNoLike) {
  const TcxCustomFilterEditHelper* mask = TcxFilterMaskEditHelper::Instance();
  TcxMaskEditProperties plain;
  TcxMaskEditProperties masked;
  masked.SetEditMask("000");
  const TcxFilterControlOperators basic{
      fcoEqual,   fcoNotEqual,     fcoLess,   fcoLessEqual,
      fcoGreater, fcoGreaterEqual, fcoBlanks, fcoNonBlanks};
  TcxFilterControlOperators like = basic;
  like.Include(fcoLike);
  like.Include(fcoNotLike);
  TcxFilterControlOperators extended = basic;
  for (auto op : {fcoBetween, fcoNotBetween, fcoInList, fcoNotInList})
    extended.Include(op);
  EXPECT_EQ(mask->GetSupportedFilterOperators(&plain, StringType()), like);
  EXPECT_EQ(mask->GetSupportedFilterOperators(&masked, StringType()), basic);
  EXPECT_EQ(mask->GetSupportedFilterOperators(&plain, IntegerType()), basic);
  EXPECT_EQ(mask->GetSupportedFilterOperators(&masked, StringType(), true),
            extended);
  // A masked value editor keeps its text when focused; a regular
  // expression completes without prompting.
  TcxMaskEditProperties regExpr;
  regExpr.SetMaskKind(emkRegExpr);
  regExpr.SetEditMask("[a-z]+");
  TcxMaskEditProperties value;
  mask->InitializeProperties(&value, &regExpr, false);
  EXPECT_EQ(value.MaskKind(), emkRegExprEx);
  EXPECT_FALSE(value.AutoSelect());
  mask->InitializeProperties(&value, &plain, false);
  EXPECT_TRUE(value.AutoSelect());
}

// --- Dialogs ---------------------------------------------------------------

TEST(FilterDialogParamsTest, ParentIsTheActiveFormUnlessAnotherStaysOnTop) {
  TObjectPtr<TForm> active(new TForm(nullptr));
  active->SetCaption("FilterDialogParamsTest");
  active->SetBounds(40, 40, 300, 200);
  active->Show();
  active->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return Screen->ActiveForm() == active.get(); },
                        "form active"));
  TCreateParams params;
  CorrectDlgParams(params);
  EXPECT_EQ(params.WndParent, active->Handle());

  TObjectPtr<TForm> onTop(new TForm(nullptr));
  onTop->SetFormStyle(fsStayOnTop);
  TCreateParams kept;
  HWND marker = reinterpret_cast<HWND>(0x1234);
  kept.WndParent = marker;
  CorrectDlgParams(kept);
  EXPECT_EQ(kept.WndParent, marker);
}

}  // namespace
