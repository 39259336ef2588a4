#include "dlgOptions.h"

#include "ScopeGuard.h"
#include "TypInfo.h"
#include "Variants.h"
#include "cxButtons.h"
#include "cxCheckGroup.h"
#include "uFormHelpers.h"

TdlgOptions* TdlgOptions::Create(TComponent* AOwner) {
  return NewForm<TdlgOptions>(AOwner);
}

void TdlgOptions::Loaded() {
  inherited::Loaded();
  cgRunOptions = FindChild<TcxCheckGroup>(this, "cgRunOptions");
  cxButton1 = FindChild<TcxButton>(this, "cxButton1");
  cxButton2 = FindChild<TcxButton>(this, "cxButton2");

  cgRunOptions->SetCaption(" Options ");
  TcxCheckGroupProperties* props = cgRunOptions->GetProperties();
  props->SetEditValueFormat(cvfInteger);
  props->SetImmediatePost(true);
  for (const char* caption : {"Run at User Logon", "Minimize to System Tray",
                              "Place Common Dialog Items In Submenu",
                              "Place Office Dialog Items In Submenu"}) {
    props->GetItems()->Add()->SetCaption(caption);
  }
  cgRunOptions->SetEditValue(0);
  props->OnChange =
      TNotifyEvent(this, &TdlgOptions::cgRunOptionsPropertiesChange);
}

void TdlgOptions::SetRunOptions(Integer Flags) {
  cgRunOptions->SetEditValue(Flags);
  cgRunOptionsPropertiesChange(cgRunOptions);
}

Integer TdlgOptions::GetRunOptions() {
  const Variant value = cgRunOptions->EditValue();
  if (VarIsNull(value) || VarIsEmpty(value)) return 0;
  return value.AsInteger();
}

void TdlgOptions::cgRunOptionsPropertiesChange(TObject*) {
  // Setting the value below changes the group again.
  if (applying_) return;
  applying_ = true;
  TScopeGuard done([this] { applying_ = false; });
  const Integer flags = GetRunOptions();
  TcxButtonGroupItem* minimize =
      cgRunOptions->GetProperties()->GetItems()->GetItem(1);
  // A program that starts at logon must not be closed by its close button:
  // it would vanish from the tray the user started it into.
  if (flags & afRunAtLogon) {
    cgRunOptions->SetEditValue(flags | afMinimizeToTray);
    cgRunOptions->Repaint();
    minimize->SetEnabled(false);
  } else {
    minimize->SetEnabled(true);
  }
}

namespace {
void dlgOptionsStartup() {
  TPublished<TdlgOptions>().Method("cgRunOptionsPropertiesChange",
                                   &TdlgOptions::cgRunOptionsPropertiesChange);
  RegisterClasses({TdlgOptions::StaticClass()});
}
}  // namespace

VARNEL_UNIT(dlgOptions, ({"Forms", "cxCheckGroup", "cxButtons"}),
            &dlgOptionsStartup, nullptr);
