// The button editor: its default ellipsis button, the stream rule that
// replaces it, the style values it shows and a click on its button.
#include <gtest/gtest.h>

#include "FormStreams.h"
#include "Forms.h"
#include "UiDriverWin.h"
#include "cxButtonEdit.h"
#include "cxEditStyle.h"

using namespace ui_test;

namespace {

TEST(ButtonEditProperties, StartWithOneDefaultEllipsisButton) {
  TcxButtonEditProperties props;
  ASSERT_EQ(props.Buttons()->Count(), 1);
  EXPECT_EQ(props.Buttons()->Items(0)->Kind(), bkEllipsis);
  EXPECT_TRUE(props.Buttons()->Items(0)->Default());
  EXPECT_EQ(props.ViewStyle(), vsNormal);
  EXPECT_TRUE(props.ValidateOnEnter());
  EXPECT_EQ(props.GetContainerClass().Class, TcxButtonEdit::StaticClass());
  EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(
                TcxButtonEditProperties::StaticClass()),
            "ButtonEdit");
}

TEST(ButtonEditProperties, AHiddenCursorMakesAReadOnlyPlaceRow) {
  TcxButtonEditProperties props;
  props.SetViewStyle(vsHideCursor);
  props.SetReadOnly(true);
  EXPECT_TRUE(props.HideCursor());
  EXPECT_EQ(props.GetEditingStyle(), esNoEdit);
  EXPECT_EQ(props.Buttons()->Count(), 1);
}

// Reads AEdit's settings from a text form.
void ReadFromText(TcxButtonEdit& AEdit, const String& ASettings) {
  String text = "object edt: TcxButtonEdit\n" + ASettings + "end\n";
  TStringStream source(text);
  TMemoryStream binary;
  ObjectTextToBinary(source, binary);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, &AEdit);
}

Integer ButtonsAfterReading(const char* AButtons) {
  TcxButtonEdit edit(nullptr);
  ReadFromText(edit, AButtons);
  return edit.Properties()->Buttons()->Count();
}

TEST(ButtonEditStream, ListedButtonsReplaceTheDefaultOne) {
  struct Case {
    const char* buttons;
    Integer count;
  };
  const Case cases[] = {
      {"  Properties.Buttons = <\n    item\n    end\n    item\n    end>\n", 2},
      {"  Properties.Buttons = <\n    item\n    end>\n", 1},
      {"", 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ButtonsAfterReading(c.buttons), c.count) << c.buttons;
  }
}

TEST(ButtonEditStream, ReadsAPlaceRowsAndAMasksSettings) {
  TcxButtonEdit edit(nullptr);
  ReadFromText(edit,
               "  Properties.Buttons = <\n    item\n    end>\n"
               "  Properties.MaskKind = emkRegExprEx\n"
               "  Properties.EditMask = '\\d+'\n"
               "  Properties.ReadOnly = True\n"
               "  Properties.ViewStyle = vsHideCursor\n");
  TcxButtonEditProperties* props = edit.Properties();
  EXPECT_EQ(props->MaskKind(), emkRegExprEx);
  EXPECT_EQ(props->EditMask(), "\\d+");
  EXPECT_TRUE(props->ReadOnly());
  EXPECT_TRUE(props->HideCursor());
  EXPECT_EQ(props->Buttons()->Count(), 1);
}

// Shows the button values of the edit style that the editor base hides.
class TStyleProbe : public TcxButtonEdit {
  VARNEL_CLASS(TStyleProbe, TcxButtonEdit)
 public:
  using TcxButtonEdit::TcxButtonEdit;
  TcxContainerStyleValues Hidden() {
    return InternalGetNotPublishedStyleValues();
  }
};

TEST(ButtonEdit, ShowsTheButtonStyleValues) {
  TStyleProbe edit(nullptr);
  TcxContainerStyleValues hidden = edit.Hidden();
  EXPECT_FALSE(hidden.Contains(svButtonStyle));
  EXPECT_FALSE(hidden.Contains(svButtonTransparency));
  EXPECT_FALSE(hidden.Contains(svGradientButtons));
}

TEST(ButtonEditWindow, CtrlEnterClicksTheEllipsisButton) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(60, 60, 300, 160);
  form->SetCaption("ButtonEditWindow");
  auto* edit = new TcxButtonEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(20, 20, 200, 24);
  std::vector<Integer> clicks;
  edit->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction(
      [&](TObject*, Integer AIndex) { clicks.push_back(AIndex); });
  form->Show();
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form->Handle()); },
                        "form shown"));
  edit->SetFocus();
  ASSERT_TRUE(WaitUntil(
      [&] { return ::GetFocus() == edit->InnerEditControl()->Handle(); },
      "editor focused"));
  TypeText("C:\\x");
  PressKeys({VK_CONTROL, VK_RETURN});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(clicks, std::vector<Integer>{0});
  EXPECT_EQ(edit->GetEditText(), "C:\\x");
}

}  // namespace
