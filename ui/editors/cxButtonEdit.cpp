#include "WinApi.h"
//
#include "cxButtonEdit.h"
#include "cxEditStyle.h"

TcxCustomButtonEditProperties::TcxCustomButtonEditProperties(
    TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner) {
  TcxEditButton* button = Buttons()->Add();
  button->SetKind(bkEllipsis);
  button->SetDefault(true);
}

TcxCustomEditClass TcxCustomButtonEditProperties::GetContainerClass() {
  return cxEditClass<TcxButtonEdit>();
}

TcxCustomButtonEdit::TcxCustomButtonEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomMaskEdit(AOwner, AIsInplace) {
  CreateMaskEditParts();
}

TcxContainerStyleValues
TcxCustomButtonEdit::InternalGetNotPublishedStyleValues() {
  TcxContainerStyleValues values =
      TcxCustomMaskEdit::InternalGetNotPublishedStyleValues();
  values.Exclude(svButtonStyle);
  values.Exclude(svButtonTransparency);
  values.Exclude(svGradientButtons);
  return values;
}

TcxButtonEdit::TcxButtonEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomButtonEdit(AOwner, AIsInplace) {
  CreateMaskEditParts();
}

void TcxButtonEdit::ReadState(TReader* Reader) {
  if (!defaultButtonsCleared_) {
    Properties()->Buttons()->Clear();
    ActiveProperties()->Buttons()->Clear();
    defaultButtonsCleared_ = true;
  }
  TcxCustomButtonEdit::ReadState(Reader);
}

namespace {

// The description is loaded directly: replacing resource strings at run
// time does not reach it.
void ButtonEditStartup() {
  using P = TcxButtonEditProperties;
  cxPublishMaskEditProperties<P>();
  TPublished<P>()
      .Property("Buttons", &P::Buttons, &P::SetButtons)
      .Property("ClickKey", &P::ClickKey, &P::SetClickKey, 0x400D)
      .Property("ReadOnly", &P::ReadOnly, &P::SetReadOnly)
      .Stored(&P::IsReadOnlyStored)
      .Property("ViewStyle", &P::ViewStyle, &P::SetViewStyle, vsNormal);
  cxPublishMaskEdit<TcxButtonEdit>();
  GetRegisteredEditProperties()->Register(
      TcxButtonEditProperties::StaticClass(),
      scxSEditRepositoryButtonItem.Text);
}

}  // namespace

VARNEL_UNIT(cxButtonEdit, ({"cxMaskEdit"}), &ButtonEditStartup, nullptr);
