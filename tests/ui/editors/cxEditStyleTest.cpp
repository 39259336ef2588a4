// The edit style's added values: where each is held, how it resolves
// through controllers and the default controller.
#include <gtest/gtest.h>

#include "WinApi.h"
#include "cxEditStyle.h"

namespace {

// The four state styles of one owner, as an editor holds them.
class EditStyles : public ::testing::Test {
 protected:
  EditStyles() : styles_(nullptr, &cxNewContainerStyle<TcxEditStyle>) {}
  TcxCustomEditStyle* S(TcxContainerStateItem state) {
    return static_cast<TcxCustomEditStyle*>(styles_.GetStyle(state));
  }
  TcxContainerStyles styles_;
};

TEST_F(EditStyles, Defaults) {
  TcxCustomEditStyle* normal = S(csNormal);
  EXPECT_EQ(normal->ButtonTransparency(), ebtNone);
  EXPECT_FALSE(normal->Gradient());
  EXPECT_FALSE(normal->GradientButtons());
  EXPECT_EQ(normal->GradientDirection(), dirDown);
  EXPECT_EQ(normal->PopupBorderStyle(), epbsDefault);
  EXPECT_TRUE(normal->PopupCloseButton());
  EXPECT_EQ(normal->GetStyleValueCount(), 16);
  String name;
  ASSERT_TRUE(normal->GetStyleValueName(svGradientDirection, name));
  EXPECT_EQ(name, "GradientDirection");
  ASSERT_TRUE(normal->GetStyleValueName(svButtonStyle, name));
  EXPECT_EQ(name, "ButtonStyle");
}

TEST_F(EditStyles, GradientOnHotGoesToTheNormalStyle) {
  S(csHotTrack)->SetGradient(true);
  EXPECT_TRUE(S(csNormal)->Gradient());
  EXPECT_TRUE(S(csNormal)->IsValueAssigned(svGradient));
  EXPECT_TRUE(S(csActive)->Gradient());
}

TEST_F(EditStyles, ButtonStyleOnHotChangesOnlyTheHotStyle) {
  S(csNormal)->SetButtonStyle(bts3D);
  S(csHotTrack)->SetButtonStyle(btsFlat);
  EXPECT_EQ(S(csHotTrack)->ButtonStyle(), btsFlat);
  EXPECT_EQ(S(csNormal)->ButtonStyle(), bts3D);
  // Unassigned states read the normal style's value.
  EXPECT_EQ(S(csActive)->ButtonStyle(), bts3D);
}

TEST_F(EditStyles, SettersReportOneChangeAndEqualValuesNone) {
  int changes = 0;
  S(csNormal)->OnChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  S(csNormal)->SetButtonTransparency(ebtHideInactive);
  EXPECT_EQ(changes, 1);
  S(csNormal)->SetButtonTransparency(ebtHideInactive);
  EXPECT_EQ(changes, 1);
  S(csNormal)->SetPopupCloseButton(false);
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(S(csHotTrack)->PopupCloseButton());
}

TEST_F(EditStyles, UnassignedValuesFollowTheStyleController) {
  TcxEditStyleController controller(nullptr);
  controller.Style()->SetButtonStyle(btsUltraFlat);
  controller.StyleHot()->SetButtonStyle(btsOffice11);
  S(csNormal)->SetStyleController(&controller);
  EXPECT_EQ(S(csNormal)->ButtonStyle(), btsUltraFlat);
  EXPECT_EQ(S(csHotTrack)->ButtonStyle(), btsOffice11);
  EXPECT_TRUE(S(csNormal)->IsValueAssigned(svButtonStyle));
  S(csNormal)->SetButtonStyle(btsSimple);
  EXPECT_EQ(S(csNormal)->ButtonStyle(), btsSimple);
  S(csNormal)->SetStyleController(nullptr);
}

TEST(DefaultEditStyleController, StandaloneStylesFollowIt) {
  TcxEditStyleController* defaults = DefaultEditStyleController();
  ASSERT_NE(defaults, nullptr);
  EXPECT_EQ(cxContainerDefaultStyleController, defaults);
  TcxEditStyle style(nullptr, false);
  EXPECT_EQ(style.GetActiveStyleController(), defaults);
  defaults->Style()->SetButtonStyle(btsHotFlat);
  EXPECT_EQ(style.ButtonStyle(), btsHotFlat);
  TcxEditStyle direct(nullptr, true);
  EXPECT_EQ(direct.ButtonStyle(), btsDefault);
  defaults->RestoreStyles();
  // Restoring forgets the edit style's own values as well: later editors
  // must not inherit a button style from an earlier user of the defaults.
  EXPECT_EQ(style.ButtonStyle(), TcxEditStyle(nullptr, true).ButtonStyle());
  EXPECT_FALSE(defaults->Style()->IsValueAssigned(svButtonStyle));
  TcxDefaultEditStyleController face(nullptr);
  EXPECT_EQ(TcxDefaultEditStyleController::InstanceCount(), 1);
  EXPECT_EQ(face.Style(), defaults->Style());
}

TEST_F(EditStyles, AssignCopiesTheAddedValues) {
  TcxEditStyle source(nullptr, false);
  source.SetButtonStyle(btsFlat);
  source.SetGradientButtons(true);
  source.SetPopupBorderStyle(epbsFlat);
  source.SetPopupCloseButton(false);
  S(csNormal)->Assign(&source);
  EXPECT_EQ(S(csNormal)->ButtonStyle(), btsFlat);
  EXPECT_TRUE(S(csNormal)->GradientButtons());
  EXPECT_EQ(S(csNormal)->PopupBorderStyle(), epbsFlat);
  EXPECT_FALSE(S(csNormal)->PopupCloseButton());
}

}  // namespace
