// The mask editor: its properties (masks, kinds, validation) and the
// control under real typing, standalone on a form and in place in a plain
// test container.
#include <gtest/gtest.h>

#include <string>

#include "Clipbrd.h"
#include "EditFormFixture.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "UiDriverWin.h"
#include "cxMaskEdit.h"

using namespace ui_test;

namespace {

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TEST(MaskEditProperties, StartWithTheirDefaults) {
  TcxMaskEditProperties props;
  EXPECT_EQ(props.MaskKind(), emkStandard);
  EXPECT_TRUE(props.CaseInsensitive());
  EXPECT_TRUE(props.ValidateOnEnter());
  EXPECT_FALSE(props.AlwaysShowBlanksAndLiterals());
  EXPECT_FALSE(props.IgnoreMaskBlank());
  EXPECT_FALSE(props.GetIsMasked());
}

TEST(MaskEditProperties, ABlankOnlyMaskLeavesTheEditorUnmasked) {
  struct Case {
    const char* mask;
    bool masked;
  };
  const Case cases[] = {{"", false}, {" \t ", false}, {"000", true}};
  for (const Case& c : cases) {
    TcxMaskEditProperties props;
    props.SetEditMask(c.mask);
    EXPECT_EQ(props.GetIsMasked(), c.masked) << c.mask;
    EXPECT_EQ(props.GetDisplayFormatOptions().Contains(dfoSupports), !c.masked)
        << c.mask;
    EXPECT_EQ(props.UseLookupData(), !c.masked) << c.mask;
  }
}

TEST(MaskEditProperties, AnInvalidPatternRaisesAndKeepsTheOldMask) {
  TcxMaskEditProperties props;
  props.SetMaskKind(emkRegExpr);
  props.SetEditMask("\\d+");
  try {
    props.SetEditMask("(\\d");
    FAIL() << "no exception";
  } catch (const EcxMaskEditError& E) {
    EXPECT_EQ(E.Message().rfind("Regular expression errors:\r\n", 0), 0u)
        << E.Message();
  }
  EXPECT_EQ(props.EditMask(), "\\d+");
}

TEST(MaskEditProperties, AMaskThatNoLongerCompilesShowsThePlainText) {
  TcxMaskEditProperties props;
  props.SetEditMask("(000");
  props.SetMaskKind(emkRegExpr);  // properties alone keep the mask
  Variant shown;
  props.PrepareDisplayValue(Variant("(12"), shown, false);
  EXPECT_EQ(VarToStr(shown), "(12");
}

TEST(MaskEditProperties, ACharCaseOtherThanNormalForcesCaseInsensitivity) {
  TcxMaskEditProperties props;
  props.SetCaseInsensitive(false);
  EXPECT_FALSE(props.CaseInsensitive());
  props.SetCharCase(ecUpperCase);
  EXPECT_TRUE(props.CaseInsensitive());
  props.SetCaseInsensitive(false);
  EXPECT_TRUE(props.CaseInsensitive());
}

TEST(MaskEditProperties, AssignCopiesTheMaskSettings) {
  TcxMaskEditProperties source;
  source.SetMaskKind(emkRegExprEx);
  source.SetEditMask("'a'\\d");
  source.SetCaseInsensitive(false);
  source.SetIgnoreMaskBlank(true);
  source.SetAlwaysShowBlanksAndLiterals(true);
  TcxMaskEditProperties target;
  target.Assign(&source);
  EXPECT_EQ(target.MaskKind(), emkRegExprEx);
  EXPECT_EQ(target.EditMask(), "'a'\\d");
  EXPECT_FALSE(target.CaseInsensitive());
  EXPECT_TRUE(target.IgnoreMaskBlank());
  EXPECT_TRUE(target.AlwaysShowBlanksAndLiterals());
}

TEST(MaskEditProperties, AreRegisteredWithTheirDescription) {
  TcxRegisteredClasses* registered = GetRegisteredEditProperties();
  EXPECT_EQ(
      registered->GetDescriptionByClass(TcxMaskEditProperties::StaticClass()),
      "MaskEdit");
  EXPECT_EQ(registered->GetHintByClass(TcxMaskEditProperties::StaticClass()),
            "Represents a generic masked edit control.");
}

// ---------------------------------------------------------------------------
// The control
// ---------------------------------------------------------------------------

class MaskEditWindow : public TEditFormTest<TcxMaskEdit> {
 protected:
  TcxMaskEdit* MaskedEdit(TcxEditMaskKind AKind, const String& AMask) {
    auto* edit = new TcxMaskEdit(form_.get());
    edit->SetParent(form_.get());
    edit->SetBounds(20, 20, 160, 24);
    edit->Properties()->SetMaskKind(AKind);
    edit->Properties()->SetEditMask(AMask);
    edit->SetFocus();
    EXPECT_TRUE(WaitUntil(
        [&] { return ::GetFocus() == edit->InnerEditControl()->Handle(); },
        "editor focused"));
    PumpUntilIdle();
    return edit;
  }
  // What the inner edit shows.
  static std::string Shown(TcxMaskEdit* AEdit) { return AEdit->GetEditText(); }
};

TEST_F(MaskEditWindow, TypedDigitsFillTheStandardMaskPastItsLiterals) {
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "(000)000;1;_");
  EXPECT_EQ(Shown(edit), "(___)___");
  edit->SetSelection(0, 1);
  TypeText("12345");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "(123)45_");
  EXPECT_EQ(edit->SelStart(), 7);
  EXPECT_EQ(edit->SelLength(), 1);
  TypeText("x");  // refused silently
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "(123)45_");
  PressKeys({VK_BACK});
  PressKeys({VK_BACK});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "(123)___");
  EXPECT_EQ(edit->SelStart(), 5);
  EXPECT_EQ(edit->Text(), "(123)   ");  // the value form
  TypeText("678");
  ASSERT_TRUE(PumpUntilIdle());
  other_->SetFocus();
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(VarToStr(edit->EditValue()), "(123)678");
  EXPECT_EQ(Shown(edit), "(123)678");
}

TEST_F(MaskEditWindow, APasteFillsAsManyPositionsAsItHasCharacters) {
  struct Case {
    const char* mask;
    const char* pasted;
    const char* shown;
    Integer selStart;
  };
  const Case cases[] = {{"(000)000;1;_", "987", "(987)___", 5},
                        {"(000)000;0;_", "987", "(987)___", 5},
                        {"(000)000;1;_", "98765", "(987)65_", 6}};
  for (const Case& c : cases) {
    TcxMaskEdit* edit = MaskedEdit(emkStandard, c.mask);
    edit->SetSelection(1, 1);
    Clipboard()->SetAsText(c.pasted);
    PressKeys({VK_CONTROL, 'V'});
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(Shown(edit), c.shown) << c.mask << " " << c.pasted;
    EXPECT_EQ(edit->SelStart(), c.selStart) << c.mask << " " << c.pasted;
    delete edit;
  }
}

TEST_F(MaskEditWindow, APasteIntoARegularExpressionKeepsWhatFits) {
  TcxMaskEdit* edit = MaskedEdit(emkRegExpr, "\\d+");
  TypeText("12");
  edit->SetSelection(1, 0);
  Clipboard()->SetAsText("99");
  PressKeys({VK_CONTROL, 'V'});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "1992");
  Clipboard()->SetAsText("x");
  PressKeys({VK_CONTROL, 'V'});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "1992");
}

TEST_F(MaskEditWindow, CutCopiesAndBlanksTheSelection) {
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "(000)000;1;_");
  edit->SetSelection(0, 1);
  TypeText("123456");
  ASSERT_TRUE(PumpUntilIdle());
  edit->SetSelection(1, 3);
  PressKeys({VK_CONTROL, 'X'});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Clipboard()->AsText(), "123");
  EXPECT_EQ(Shown(edit), "(___)456");
}

TEST_F(MaskEditWindow, HomeAndEndStopAtTheFillablePositions) {
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "(000)000;1;_");
  PressKeys({VK_END});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit->SelStart(), 8);
  PressKeys({VK_HOME});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit->SelStart(), 1);
  EXPECT_EQ(edit->SelLength(), 1);
}

TEST_F(MaskEditWindow, TheAutoCompletingModeTypesAndTakesBackSeparators) {
  TcxMaskEdit* edit = MaskedEdit(emkRegExprEx, "\\d\\d'-'\\d\\d");
  TypeText("12");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "12-");
  EXPECT_EQ(edit->SelStart(), 3);
  TypeText("3x4");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "12-34");
  PressKeys({VK_BACK});
  PressKeys({VK_BACK});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "12-");
  PressKeys({VK_BACK});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "1");
  EXPECT_EQ(edit->Text(), "1");
}

TEST_F(MaskEditWindow, ARegularExpressionTakesThePatternsCase) {
  TcxMaskEdit* edit = MaskedEdit(emkRegExpr, "('A'|'B')\\d");
  TypeText("b7");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "B7");
}

TEST_F(MaskEditWindow, SwitchingKindsClearsOrKeepsTheMask) {
  struct Case {
    TcxEditMaskKind from;
    const char* mask;
    TcxEditMaskKind to;
    const char* after;
  };
  const Case cases[] = {{emkStandard, "000", emkRegExpr, ""},
                        {emkRegExpr, "\\d+", emkStandard, ""},
                        {emkRegExpr, "\\d+", emkRegExprEx, "\\d+"},
                        {emkRegExprEx, "\\d+", emkRegExpr, "\\d+"}};
  for (const Case& c : cases) {
    TcxMaskEdit* edit = MaskedEdit(c.from, c.mask);
    edit->Properties()->SetMaskKind(c.to);
    EXPECT_EQ(edit->Properties()->EditMask(), c.after) << c.mask << c.to;
    EXPECT_EQ(edit->Mode()->GetMaskKind(), c.to);
    delete edit;
  }
}

TEST_F(MaskEditWindow, AMaskSetLaterKeepsTheValue) {
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "");
  other_->SetFocus();
  ASSERT_TRUE(PumpUntilIdle());
  edit->SetEditValue(Variant("123"));
  edit->Properties()->SetEditMask("000;1;_");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(VarToStr(edit->EditValue()), "123");
  EXPECT_EQ(Shown(edit), "123");
}

TEST_F(MaskEditWindow, AMaskedEditorHasNoMaximumLength) {
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "");
  edit->Properties()->SetMaxLength(5);
  EXPECT_EQ(edit->Properties()->MaxLength(), 5);
  edit->Properties()->SetEditMask("000");
  EXPECT_EQ(edit->Properties()->MaxLength(), 0);
  edit->Properties()->SetMaxLength(7);
  EXPECT_EQ(edit->Properties()->MaxLength(), 0);
}

TEST_F(MaskEditWindow, AKindAndAMaskSetInOneUpdateBothHold) {
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "000");
  {
    auto update = edit->Properties()->UpdateScope();
    edit->Properties()->SetMaskKind(emkRegExpr);
    edit->Properties()->SetEditMask("[a-c]+");
  }
  EXPECT_EQ(edit->Properties()->EditMask(), "[a-c]+");
  EXPECT_EQ(edit->Mode()->GetMaskKind(), emkRegExpr);
  EXPECT_EQ(edit->Mode()->EditMask(), "[a-c]+");
}

TEST_F(MaskEditWindow, ValidationFollowsIgnoreMaskBlank) {
  struct Case {
    const char* text;
    bool ignoreMaskBlank;
    bool error;
  };
  const Case cases[] = {{"(123)", false, false},
                        {"(___)", false, true},
                        {"(___)", true, false},
                        {"(1__)", false, true},
                        {"(1__)", true, true}};
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "(000);1;_");
  for (const Case& c : cases) {
    edit->Properties()->SetIgnoreMaskBlank(c.ignoreMaskBlank);
    Variant value(String(c.text));
    String errorText;
    bool error = false;
    edit->ActiveProperties()->ValidateDisplayValue(value, errorText, error,
                                                   edit);
    EXPECT_EQ(error, c.error) << c.text << c.ignoreMaskBlank;
    if (c.error) {
      EXPECT_EQ(errorText, "The edit value is invalid");
    }
  }
}

TEST_F(MaskEditWindow, WithoutAMaskTheEditorTypesLikeATextEditor) {
  TcxMaskEdit* edit = MaskedEdit(emkStandard, "  ");
  TypeText("a1-");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "a1-");
  other_->SetFocus();
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(VarToStr(edit->EditValue()), "a1-");
}

// A grid's part, played by the test: a plain container that hosts the
// in-place editor of its one cell.
TEST_F(MaskEditWindow, InPlaceTheMaskTakesTheActivatingKeyAndPosts) {
  auto* cell = new TcxContainer(form_.get());
  cell->SetParent(form_.get());
  cell->SetBounds(40, 60, 200, 100);
  TcxInplaceEditList list;
  auto cleanup = TScopeGuard([&] { list.DestroyItems(); });
  TObjectPtr<TcxMaskEditProperties> props(new TcxMaskEditProperties(nullptr));
  props->SetMaskKind(emkRegExprEx);
  props->SetEditMask("\\d\\d'-'\\d\\d");
  auto* edit = static_cast<TcxMaskEdit*>(list.GetEdit(props.get()));
  edit->SetParent(cell);
  edit->SetBounds(10, 20, 120, 24);
  String posted;
  edit->OnPostEditValue = TNotifyEvent::FromFunction(
      [&](TObject*) { posted = VarToStr(edit->EditValue()); });
  TcxCustomEditData* data = nullptr;
  edit->ActivateByKey('4', data);
  ASSERT_TRUE(WaitUntil(
      [&] { return ::GetFocus() == edit->InnerEditControl()->Handle(); },
      "in-place editor focused"));
  TypeText("27");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "42-7");
  // Incomplete: refused.
  EXPECT_THROW(edit->PostEditValue(), EcxEditValidationError);
  EXPECT_EQ(posted, "");
  PressKeys({VK_END});  // the refused text is selected
  TypeText("3");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(Shown(edit), "42-73");
  edit->PostEditValue();
  EXPECT_EQ(posted, "42-73");
  EXPECT_TRUE(edit->Deactivate());
}

}  // namespace
