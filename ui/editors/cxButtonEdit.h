// The button editor: a mask editor whose properties start with one
// ellipsis button, the default one. The place rows of the main window's
// grids and the select-folder dialog's path editor use it. Windows only.
#pragma once

#include "cxMaskEdit.h"

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
  VARNEL_CLASS(TcxCustomButtonEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxCustomButtonEditProperties(TPersistent* AOwner = nullptr);
  TcxCustomEditClass GetContainerClass() override;
};

class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
  VARNEL_CLASS(TcxButtonEditProperties, TcxCustomButtonEditProperties)
 public:
  using TcxCustomButtonEditProperties::TcxCustomButtonEditProperties;
};

class TcxCustomButtonEdit : public TcxCustomMaskEdit {
  VARNEL_CLASS(TcxCustomButtonEdit, TcxCustomMaskEdit)
 public:
  explicit TcxCustomButtonEdit(TComponent* AOwner, bool AIsInplace = false);

  TcxCustomButtonEditProperties* ActiveProperties() {
    return static_cast<TcxCustomButtonEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomButtonEditProperties* Properties() const {
    return static_cast<TcxCustomButtonEditProperties*>(
        TcxCustomEdit::Properties());
  }
  void SetProperties(TcxCustomButtonEditProperties* Value) {
    Properties()->Assign(Value);
  }

  TClass GetPropertiesClass() override {
    return TcxCustomButtonEditProperties::StaticClass();
  }

 protected:
  // The button values of the edit style are the button editor's to show.
  TcxContainerStyleValues InternalGetNotPublishedStyleValues() override;
};

class TcxButtonEdit : public TcxCustomButtonEdit {
  VARNEL_CLASS(TcxButtonEdit, TcxCustomButtonEdit)
 public:
  explicit TcxButtonEdit(TComponent* AOwner, bool AIsInplace = false);
  // A stream's buttons replace the default ellipsis button instead of
  // joining it.
  void ReadState(TReader* Reader) override;

  TClass GetPropertiesClass() override {
    return TcxButtonEditProperties::StaticClass();
  }
  TcxButtonEditProperties* Properties() const {
    return static_cast<TcxButtonEditProperties*>(TcxCustomEdit::Properties());
  }
  TcxButtonEditProperties* ActiveProperties() {
    return static_cast<TcxButtonEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  void SetProperties(TcxButtonEditProperties* Value) {
    Properties()->Assign(Value);
  }

 private:
  bool defaultButtonsCleared_ = false;
};
