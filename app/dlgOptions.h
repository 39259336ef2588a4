// The options dialog: the program's run options as a check group whose
// integer value is the options' bit set.
#pragma once

#include "Forms.h"
#include "System.h"

class TcxButton;
class TcxCheckGroup;

// Option bits, as the check group numbers its items.
constexpr Integer afRunAtLogon = 1;
constexpr Integer afMinimizeToTray = 2;
constexpr Integer afCommonInSubmenu = 4;
constexpr Integer afOfficeInSubmenu = 8;

class TdlgOptions : public TForm {
  VARNEL_CLASS(TdlgOptions, TForm)
 public:
  // --- Construction ---
  explicit TdlgOptions(TComponent* AOwner) : TForm(AOwner) {}
  // A dialog read from its form resource.
  static TdlgOptions* Create(TComponent* AOwner);

  // --- Methods ---
  void SetRunOptions(Integer Flags);
  Integer GetRunOptions();

  // --- Event handlers ---
  void cgRunOptionsPropertiesChange(TObject* Sender);

  // --- Components ---
  TcxCheckGroup* cgRunOptions = nullptr;
  TcxButton* cxButton1 = nullptr;  // Cancel
  TcxButton* cxButton2 = nullptr;  // Ok

 protected:
  void Loaded() override;

 private:
  bool applying_ = false;
};
