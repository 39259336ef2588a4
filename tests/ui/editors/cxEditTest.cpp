// Editor properties: change notices, assigned values against a data
// source's defaults, alignment, validation text, the class registry and
// the module routines.
#include <gtest/gtest.h>

#include "Forms.h"
#include "Handles.h"
#include "WinApi.h"
#include "cxEdit.h"

namespace {

class Properties : public ::testing::Test {
 protected:
  void SetUp() override {
    props_.OnPropertiesChanged =
        TNotifyEvent::FromFunction([this](TObject* sender) {
          EXPECT_EQ(sender, &props_);
          ++changes_;
        });
  }
  TcxCustomEditProperties props_;
  int changes_ = 0;
};

// A data source whose defaults the tests choose.
class TTestProvider : public TcxCustomEditDefaultValuesProvider {
 public:
  TAlignment Alignment = taRightJustify;
  bool ReadOnlyDefault = true;
  bool CanModifyDefault = true;
  double MaxDefault = 99;
  TAlignment DefaultAlignment() override { return Alignment; }
  bool DefaultReadOnly() override { return ReadOnlyDefault; }
  bool DefaultCanModify() override { return CanModifyDefault; }
  double DefaultMaxValue() override { return MaxDefault; }
};

TEST_F(Properties, CreationDefaults) {
  EXPECT_TRUE(props_.AutoSelect());
  EXPECT_FALSE(props_.BeepOnError());
  EXPECT_EQ(props_.ClearKey(), 0);
  EXPECT_EQ(props_.ClickKey(), 0x400D);
  EXPECT_TRUE(props_.UseLeftAlignmentOnEditing());
  EXPECT_TRUE(props_.UseMouseWheel());
  EXPECT_FALSE(props_.ValidateOnEnter());
  EXPECT_EQ(props_.ButtonsViewStyle(), bvsNormal);
  EXPECT_EQ(props_.Buttons()->Count(), 0);
  EXPECT_EQ(props_.Alignment()->Horz(), taLeftJustify);
  EXPECT_EQ(props_.Alignment()->Vert(), taTopJustify);
}

TEST_F(Properties, UpdateBracketGivesOneNotice) {
  props_.BeginUpdate();
  props_.SetAutoSelect(false);
  props_.SetTransparent(true);
  props_.SetButtonsViewStyle(bvsButtonsOnly);
  EXPECT_EQ(changes_, 0);
  props_.EndUpdate();
  EXPECT_EQ(changes_, 1);
}

TEST_F(Properties, EndUpdateFalseKeepsTheChangeUntilTheNextBracket) {
  props_.BeginUpdate();
  props_.SetAutoSelect(false);
  props_.EndUpdate(false);
  EXPECT_EQ(changes_, 0);
  EXPECT_TRUE(props_.ChangedOccurred());
  props_.BeginUpdate();
  EXPECT_FALSE(props_.ChangedOccurred());
  props_.EndUpdate();
  EXPECT_EQ(changes_, 0);
  props_.EndUpdate();  // unbalanced: nothing
  EXPECT_EQ(changes_, 0);
}

TEST_F(Properties, EqualValuesAndPlainFieldsGiveNoNotice) {
  props_.SetAutoSelect(true);
  props_.SetTransparent(false);
  props_.SetBeepOnError(true);
  props_.SetClearKey(VK_DELETE);
  props_.SetImmediatePost(true);
  props_.SetValidateOnEnter(true);
  EXPECT_EQ(changes_, 0);
}

TEST_F(Properties, LockUpdateHoldsNotices) {
  props_.LockUpdate(true);
  props_.SetAutoSelect(false);
  EXPECT_EQ(changes_, 0);
  EXPECT_TRUE(props_.ChangedLocked());
  props_.LockUpdate(false);
  props_.SetAutoSelect(true);
  EXPECT_EQ(changes_, 1);
}

TEST(PropertiesOwner, NoNoticeWhileTheOwnerIsDestroyed) {
  TComponent owner(nullptr);
  TcxCustomEditProperties props(&owner);
  int changes = 0;
  props.OnPropertiesChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  props.SetAutoSelect(false);
  EXPECT_EQ(changes, 1);
  owner.Destroying();
  props.SetAutoSelect(true);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(props.ChangedOccurred());
}

TEST_F(Properties, ReadOnlyFalseIsAssignedAndWinsOverTheProvider) {
  TTestProvider provider;
  props_.SetIDefaultValuesProvider(&provider);
  EXPECT_TRUE(props_.GetReadOnly());
  EXPECT_FALSE(props_.CanModify());
  changes_ = 0;
  props_.SetReadOnly(false);
  EXPECT_TRUE(props_.AssignedValues()->ReadOnly());
  EXPECT_EQ(changes_, 1);
  EXPECT_TRUE(props_.CanModify());
  EXPECT_TRUE(props_.IsReadOnlyStored());
  props_.SetReadOnly(false);
  EXPECT_EQ(changes_, 1);
}

TEST_F(Properties, CanModifyAsksTheProvider) {
  TTestProvider provider;
  provider.ReadOnlyDefault = false;
  provider.CanModifyDefault = false;
  EXPECT_TRUE(props_.CanModify());
  props_.SetIDefaultValuesProvider(&provider);
  EXPECT_FALSE(props_.CanModify());
  provider.CanModifyDefault = true;
  EXPECT_TRUE(props_.CanModify());
}

TEST_F(Properties, MaxValueFromTheProviderUntilAssigned) {
  EXPECT_EQ(props_.MaxValue(), 0);
  TTestProvider provider;
  props_.SetIDefaultValuesProvider(&provider);
  EXPECT_EQ(props_.MaxValue(), 99);
  changes_ = 0;
  props_.SetMaxValue(5);
  EXPECT_EQ(props_.MaxValue(), 5);
  EXPECT_EQ(changes_, 1);
  props_.SetMaxValue(5);
  EXPECT_EQ(changes_, 1);
}

TEST_F(Properties, FillMinMaxValuesGivesOneNotice) {
  props_.FillMinMaxValues(10, 2);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(props_.MaxValue(), 10);
  EXPECT_EQ(props_.MinValue(), 2);
  props_.FillMinMaxValues(10, 2);
  EXPECT_EQ(changes_, 1);
}

TEST_F(Properties, AlignmentFollowsTheProviderUntilHorzIsSet) {
  TTestProvider provider;
  props_.SetIDefaultValuesProvider(&provider);
  EXPECT_EQ(props_.Alignment()->Horz(), taRightJustify);
  EXPECT_FALSE(props_.IsAlignmentStored());
  changes_ = 0;
  props_.Alignment()->SetHorz(taCenter);
  EXPECT_EQ(changes_, 1);
  provider.Alignment = taLeftJustify;
  EXPECT_EQ(props_.Alignment()->Horz(), taCenter);
  EXPECT_TRUE(props_.IsAlignmentStored());
  props_.RestoreDefaults();
  EXPECT_EQ(props_.Alignment()->Horz(), taLeftJustify);
  provider.Alignment = taRightJustify;
  EXPECT_EQ(props_.Alignment()->Horz(), taRightJustify);
}

TEST_F(Properties, ADestroyedProviderIsForgotten) {
  {
    TTestProvider provider;
    props_.SetIDefaultValuesProvider(&provider);
    EXPECT_EQ(props_.IDefaultValuesProvider(), &provider);
  }
  EXPECT_EQ(props_.IDefaultValuesProvider(), nullptr);
  EXPECT_EQ(props_.MaxValue(), 0);
}

class TValidatingProperties : public TcxCustomEditProperties {
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool CanValidate() override { return true; }
};

TEST(PropertiesValidation, EmptyErrorTextGetsTheLibraryText) {
  TValidatingProperties props;
  Variant value = Variant("x");
  String text;
  bool error = true;
  props.ValidateDisplayValue(value, text, error, nullptr);
  EXPECT_EQ(text, "Invalid input value. Use escape key to abandon changes");
  EXPECT_TRUE(error);
  String own = "mine";
  props.ValidateDisplayValue(value, own, error, nullptr);
  EXPECT_EQ(own, "mine");
  TcxCustomEditProperties plain;
  String none;
  plain.ValidateDisplayValue(value, none, error, nullptr);
  EXPECT_EQ(none, "");
}

TEST_F(Properties, AssignCopiesSettingsWithOneNotice) {
  TcxCustomEditProperties source;
  source.SetAutoSelect(false);
  source.Buttons()->Add()->SetKind(bkEllipsis);
  source.SetClearKey(VK_DELETE);
  source.SetReadOnly(true);
  source.SetMaxValue(7);
  source.SetImmediatePost(true);
  source.SetValidateOnEnter(true);
  source.SetTransparent(true);
  source.Alignment()->SetHorz(taCenter);
  changes_ = 0;
  props_.Assign(&source);
  EXPECT_EQ(changes_, 1);
  EXPECT_FALSE(props_.AutoSelect());
  ASSERT_EQ(props_.Buttons()->Count(), 1);
  EXPECT_EQ(props_.Buttons()->Items(0)->Kind(), bkEllipsis);
  EXPECT_EQ(props_.ClearKey(), VK_DELETE);
  EXPECT_TRUE(props_.ReadOnly());
  EXPECT_EQ(props_.MaxValue(), 7);
  EXPECT_FALSE(props_.IsMinValueStored());
  EXPECT_TRUE(props_.ImmediatePost());
  EXPECT_TRUE(props_.ValidateOnEnter());
  EXPECT_TRUE(props_.Transparent());
  EXPECT_EQ(props_.Alignment()->Horz(), taCenter);
}

TEST_F(Properties, ButtonsChangeIsAPropertiesChange) {
  props_.Buttons()->Add();
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(props_.GetSupportedOperations(),
            TcxEditSupportedOperations{esoHotTrack});
}

TEST_F(Properties, PreviewPropertiesAreOfTheSameClass) {
  TValidatingProperties props;
  TObjectPtr<TcxCustomEditProperties> preview = props.CreatePreviewProperties();
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->ClassType(), props.ClassType());
  EXPECT_EQ(preview->GetOwner(), nullptr);
}

TEST_F(Properties, CompareDisplayValues) {
  EXPECT_TRUE(props_.CompareDisplayValues(Variant(1), Variant(1)));
  EXPECT_FALSE(props_.CompareDisplayValues(Variant(1), Variant(2)));
}

class TcxTestRegistryProperties : public TcxCustomEditProperties {
  VARNEL_CLASS(TcxTestRegistryProperties, TcxCustomEditProperties)
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
};

TEST(RegisteredEditProperties, OneSortedRegistryFoundByExactName) {
  TcxRegisteredClasses* registry = GetRegisteredEditProperties();
  EXPECT_EQ(GetRegisteredEditProperties(), registry);
  EXPECT_TRUE(registry->KeepSorted());
  registry->Register(TcxTestRegistryProperties::StaticClass(),
                     cxGetResourceString(scxSEditRepositoryTextItem));
  EXPECT_EQ(registry->FindByClassName("TcxTestRegistryProperties"),
            TcxTestRegistryProperties::StaticClass());
  EXPECT_EQ(registry->FindByClassName("tcxtestregistryproperties"), nullptr);
  const Integer i =
      registry->GetIndexByClass(TcxTestRegistryProperties::StaticClass());
  EXPECT_EQ(registry->GetDescription(i), "TextEdit");
  EXPECT_EQ(registry->GetHint(i), "Represents a single line text editor");
  registry->Unregister(TcxTestRegistryProperties::StaticClass());
}

TEST(EditResourceStrings, IdentifiersAndTexts) {
  EXPECT_EQ(scxSEditRepositoryTextItem.Identifier, 65076);
  EXPECT_EQ(scxSEditRepositoryBlobItem.Identifier, 65091);
  EXPECT_STREQ(scxSEditRepositoryMaskItem.Text,
               "MaskEdit|Represents a generic masked edit control.");
  EXPECT_EQ(cxSEditInvalidRepositoryItem.Identifier, 65136);
  EXPECT_STREQ(cxSEditInvalidRepositoryItem.Text,
               "The repository item is not acceptable");
  EXPECT_STREQ(cxSEditCheckBoxGrayed.Text, "");
}

TEST(EditRoutines, IsSpaceChar) {
  for (int c = 0; c < 256; ++c) {
    const bool expected =
        c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
    EXPECT_EQ(IsSpaceChar(static_cast<char>(c)), expected) << c;
  }
}

TEST(EditRoutines, InternalVarEqualsExactNeedsTheSameType) {
  EXPECT_TRUE(InternalVarEqualsExact(Variant(1), Variant(1)));
  EXPECT_FALSE(InternalVarEqualsExact(Variant(1), Variant(1.0)));
  EXPECT_FALSE(InternalVarEqualsExact(Variant(1), Variant(2)));
}

TEST(EditRoutines, CheckSizeAndButtonToShift) {
  TSize s{3, 10};
  CheckSize(s, TSize{5, 4});
  EXPECT_EQ(s.cx, 5);
  EXPECT_EQ(s.cy, 10);
  EXPECT_EQ(ButtonToShift(mbLeft), TShiftState{ssLeft});
  EXPECT_EQ(ButtonToShift(mbRight), TShiftState{ssRight});
  EXPECT_EQ(ButtonToShift(mbMiddle), TShiftState{ssMiddle});
}

TEST(EditRoutines, GetOwnerComponent) {
  TComponent owner(nullptr);
  TcxCustomEditProperties props(&owner);
  EXPECT_EQ(GetOwnerComponent(props.Buttons()), &owner);
  TcxCustomEditProperties orphan;
  EXPECT_EQ(GetOwnerComponent(&orphan), nullptr);
}

}  // namespace

TEST(EditUnit, TheWheelCursorIsTheProgramsOwn) {
  const HCURSOR cursor = Screen->Cursors(crcxEditMouseWheel);
  ASSERT_NE(cursor, nullptr);
  EXPECT_NE(cursor, Screen->Cursors(crDefault));
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(cursor, &info));
  TBitmapHandle mask(info.hbmMask), colour(info.hbmColor);
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 15u);
  EXPECT_EQ(info.yHotspot, 15u);
}
