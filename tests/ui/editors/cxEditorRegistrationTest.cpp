// The editors' units register their properties for the grids' rows and
// their classes for form streams.
#include <gtest/gtest.h>

#include "TypInfo.h"
#include "cxButtons.h"
#include "cxCheckGroup.h"
#include "cxLabel.h"
#include "cxRadioGroup.h"

namespace {

TEST(EditorRegistration, PropertiesAreRegisteredWithTheirDescriptions) {
  TcxRegisteredClasses* registered = GetRegisteredEditProperties();
  const std::pair<TClass, const char*> cases[] = {
      {TcxCheckBoxProperties::StaticClass(), "CheckBox"},
      {TcxCheckGroupProperties::StaticClass(), "CheckGroup"},
      {TcxRadioGroupProperties::StaticClass(), "RadioGroup"},
      {TcxLabelProperties::StaticClass(), "Label"}};
  for (const auto& [cls, description] : cases) {
    EXPECT_EQ(registered->GetDescriptionByClass(cls), description) << cls->Name;
    EXPECT_EQ(registered->FindByDescription(description), cls);
  }
  EXPECT_EQ(registered->GetHintByClass(TcxLabelProperties::StaticClass()),
            "Represents a Label");
}

TEST(EditorRegistration, ClassesStreamByName) {
  for (TClass cls : {TcxGroupBox::StaticClass(), TcxRadioGroup::StaticClass(),
                     TcxCheckGroup::StaticClass(), TcxCheckBox::StaticClass(),
                     TcxButton::StaticClass(), TcxLabel::StaticClass()}) {
    EXPECT_EQ(FindClass(cls->Name), cls) << cls->Name;
  }
}

}  // namespace
