#include "dlgDeleteGroup.h"

#include "SysUtils.h"
#include "TypInfo.h"
#include "cxButtons.h"
#include "cxCheckBox.h"
#include "cxLabel.h"
#include "uFormHelpers.h"

TdlgDeleteGroup* TdlgDeleteGroup::Create(TComponent* AOwner) {
  return NewForm<TdlgDeleteGroup>(AOwner);
}

void TdlgDeleteGroup::Loaded() {
  inherited::Loaded();
  Label1 = FindChild<TcxLabel>(this, "Label1");
  cxCheckBox1 = FindChild<TcxCheckBox>(this, "cxCheckBox1");
  btnDelete = FindChild<TcxButton>(this, "btnDelete");
  btnCancel = FindChild<TcxButton>(this, "btnCancel");
  Label1->Properties()->SetWordWrap(true);
  cxCheckBox1->Properties()->SetCaption("Reset to Windows Default Places");
  SetOptions(0);
}

void TdlgDeleteGroup::SetOptions(Integer Value) {
  options_ = Value;
  const bool installed = (options_ & doGroupInstalled) != 0;
  cxCheckBox1->SetVisible(installed);
  // Shrink once only, however often the options change.
  if (!installed && !shrunk_) {
    SetHeight(Height() - cxCheckBox1->Height());
    shrunk_ = true;
  } else if (installed && shrunk_) {
    SetHeight(Height() + cxCheckBox1->Height());
    shrunk_ = false;
  }
}

void TdlgDeleteGroup::SetGroupName(const String& Name) {
  if (options_ & doGroupInstalled) {
    Label1->SetCaption(
        Format("The group '%s' is currently installed. \r\r Do you want to "
               "leave the group installed or restore to Windows Default?",
               {Name}));
  } else {
    Label1->SetCaption(
        Format("Do ypu want to delete the  group '%s'?", {Name}));
  }
}

bool TdlgDeleteGroup::GetResetToDefault() { return cxCheckBox1->Checked(); }

namespace {
void dlgDeleteGroupStartup() {
  RegisterClasses({TdlgDeleteGroup::StaticClass()});
}
}  // namespace

VARNEL_UNIT(dlgDeleteGroup, ({"Forms", "cxCheckBox", "cxLabel", "cxButtons"}),
            &dlgDeleteGroupStartup, nullptr);
