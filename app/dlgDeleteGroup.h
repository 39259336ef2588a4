// The dialog that confirms the removal of a group and, for the installed
// group, offers to bring back the Windows default places first.
#pragma once

#include "Forms.h"
#include "System.h"

class TcxButton;
class TcxCheckBox;
class TcxLabel;

// Options bit: the group to delete is the installed one.
constexpr Integer doGroupInstalled = 4;

class TdlgDeleteGroup : public TForm {
  VARNEL_CLASS(TdlgDeleteGroup, TForm)
 public:
  // --- Construction ---
  explicit TdlgDeleteGroup(TComponent* AOwner) : TForm(AOwner) {}
  static TdlgDeleteGroup* Create(TComponent* AOwner);

  // --- Methods ---
  Integer Options() const { return options_; }
  // Shows the reset check box only for an installed group; without it the
  // dialog is shorter by the check box's height.
  void SetOptions(Integer Value);
  // The question, worded by Options: set the options first.
  void SetGroupName(const String& Name);
  bool GetResetToDefault();

  // --- Components ---
  TcxLabel* Label1 = nullptr;
  TcxCheckBox* cxCheckBox1 = nullptr;
  TcxButton* btnDelete = nullptr;
  TcxButton* btnCancel = nullptr;

 protected:
  void Loaded() override;

 private:
  Integer options_ = 0;
  bool shrunk_ = false;
};
