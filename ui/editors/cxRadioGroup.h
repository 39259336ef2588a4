// The owner-drawn radio button and the radio group: a button group whose
// edit value is the value of its one checked item. Windows only.
#pragma once

#include "StdCtrls.h"
#include "cxButtonGroup.h"
#include "cxControls.h"
#include "cxLookAndFeels.h"

// Focuses the radio group's button whose index is the long parameter, for
// users of the editor that move the focus from outside.
constexpr UINT cxWM_FOCUSRADIOBUTTON = 0x806A;

enum TcxRadioButtonState : Byte { rbsDisabled, rbsHot, rbsNormal, rbsPressed };

// A platform radio button drawn through the look-and-feel painters, with
// hot and pressed states from mouse tracking.
class TcxRadioButton : public TRadioButton, public IcxMouseTrackingCaller {
  VARNEL_CLASS(TcxRadioButton, TRadioButton)
 public:
  // construction
  explicit TcxRadioButton(TComponent* AOwner);
  ~TcxRadioButton() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // properties
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  TComponent* PopupMenu() const { return popupMenu_; }
  // A TPopupMenu; anything else is stored as nil.
  void SetPopupMenu(TComponent* Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  TcxRadioButtonState State() const { return state_; }
  const TRect& GlyphRect() const { return glyphRect_; }
  bool ClicksDisabled() const { return clicksDisabled_; }

  // methods
  void Click() override;
  void Invalidate() override;
  // The mark's rectangle for a glyph of that size.
  TRect GetRadioButtonRect(const TSize& AGlyphSize, bool ANativeStyle);
  void ShortUpdateState();
  // IcxMouseTrackingCaller
  void MouseLeave() override;

  // overridables
  virtual void DrawCaption(TcxCanvas* ACanvas, bool ANativeStyle);
  virtual void CorrectTextRect(TRect& R, bool ANativeStyle);
  virtual bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  virtual void DrawBackground(TcxCanvas* ACanvas);
  virtual bool IsInplace() { return false; }
  virtual bool IsNativeBackground();
  virtual bool IsNativeStyle();
  virtual bool IsTransparent();
  virtual bool IsTransparentBackground();
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender,
                                  TcxLookAndFeelValues AChangedValues);
  virtual void Paint();
  virtual void UpdateState(TcxMouseButton AButton, TShiftState AShift,
                           const TPoint& P);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void DoEnter() override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void SetState(TcxRadioButtonState Value);
  // Sets the platform check without a click.
  void SetCheckedSilently(bool Value);
  TcxCanvas* cxCanvas() const { return cxCanvas_.get(); }
  // Whether the button is the inner control of an editor container.
  bool IsInnerControl();

 private:
  void DrawItem(const DRAWITEMSTRUCT& AItem);

  TObjectPtr<TCanvas> canvas_;
  TObjectPtr<TcxCanvas> cxCanvas_;
  TObjectPtr<TcxLookAndFeel> lookAndFeel_;
  TComponent* popupMenu_ = nullptr;
  bool transparent_ = false;
  bool clicksDisabled_ = false;
  TcxRadioButtonState state_ = rbsNormal;
  TRect glyphRect_;
};

class TcxRadioGroupItem : public TcxButtonGroupItem {
  VARNEL_CLASS(TcxRadioGroupItem, TcxButtonGroupItem)
 public:
  explicit TcxRadioGroupItem(TCollection* Collection);
  void Assign(TPersistent* Source) override;
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& Value);

 private:
  Variant value_ = Null();
};

class TcxRadioGroupItems : public TcxButtonGroupItems {
  VARNEL_CLASS(TcxRadioGroupItems, TcxButtonGroupItems)
 public:
  explicit TcxRadioGroupItems(TPersistent* AOwner);
  TcxRadioGroupItem* Add() {
    return static_cast<TcxRadioGroupItem*>(TCollection::Add());
  }
  TcxRadioGroupItem* Items(Integer Index) const {
    return Item<TcxRadioGroupItem>(Index);
  }
};

class TcxCustomRadioGroupProperties : public TcxCustomButtonGroupProperties {
  VARNEL_CLASS(TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties)
 public:
  // construction
  explicit TcxCustomRadioGroupProperties(TPersistent* AOwner = nullptr);
  void Assign(TPersistent* Source) override;

  // properties
  const String& DefaultCaption() const { return defaultCaption_; }
  void SetDefaultCaption(const String& Value);
  const Variant& DefaultValue() const { return defaultValue_; }
  void SetDefaultValue(const Variant& Value);
  TcxRadioGroupItems* GetItems() const {
    return static_cast<TcxRadioGroupItems*>(Items());
  }

  // methods
  // The first item matching the edit value: by Caption for an item without
  // a Value, else by exact value; -1 for none.
  Integer GetRadioGroupItemIndex(const Variant& AEditValue);
  // DefaultValue for -1, else the item's Value (its Caption without one).
  Variant ItemIndexToEditValue(Integer AIndex);

  // overrides
  Integer GetColumnCount() override;
  bool CanCompareEditValue() override { return true; }
  bool HasDisplayValue() override { return true; }
  bool IsResetEditClass() override { return true; }
  TcxEditSupportedOperations GetSupportedOperations() override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false,
                            bool AIsInplace = true) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                           bool AEditFocused) override;
  bool CompareDisplayValues(const Variant& AEditValue1,
                            const Variant& AEditValue2) override;
  TcxCustomEditClass GetContainerClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;

 protected:
  TObjectPtr<TcxButtonGroupItems> CreateItems() override;

 private:
  String defaultCaption_;
  Variant defaultValue_ = Null();
};

// A radio group in a grid cell: the marks and captions of its items, the
// one of the value checked.
class TcxCustomRadioGroupViewInfo : public TcxButtonGroupViewInfo {
  VARNEL_CLASS(TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo)
 public:
  TcxCustomRadioGroupViewInfo() = default;
  void Assign(TObject* Source) override;

  Integer ItemIndex = -1;

  TObjectPtr<TcxEditButtonViewInfo> CreateButtonViewInfo() override;
  void DrawButtonCaption(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
                         const TRect& AGlyphRect) override;
  void DrawButtonGlyph(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
                       const TRect& AGlyphRect) override;
  bool IsButtonGlypthTransparent(TcxGroupBoxButtonViewInfo* AButton) override;
};

class TcxRadioGroupButtonViewInfo : public TcxGroupBoxButtonViewInfo {
  VARNEL_CLASS(TcxRadioGroupButtonViewInfo, TcxGroupBoxButtonViewInfo)
 public:
  TcxRadioGroupButtonViewInfo() = default;
  TRect GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment,
                     bool AIsPaintCopy) override;
};

class TcxCustomRadioGroupViewData : public TcxButtonGroupViewData {
  VARNEL_CLASS(TcxCustomRadioGroupViewData, TcxButtonGroupViewData)
 public:
  using TcxButtonGroupViewData::TcxButtonGroupViewData;

  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
  TcxEditMetrics GetEditMetrics(bool AAutoHeight, TcxCanvas* ACanvas) override;
  void CalculateButtonNativeState(TcxButtonGroupViewInfo* AViewInfo,
                                  TcxGroupBoxButtonViewInfo* AButton) override;
};

class TcxRadioGroupProperties : public TcxCustomRadioGroupProperties {
  VARNEL_CLASS(TcxRadioGroupProperties, TcxCustomRadioGroupProperties)
 public:
  using TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties;
};

class TcxCustomRadioGroup;

// The inner button of a radio group.
class TcxCustomRadioGroupButton : public TcxRadioButton,
                                  public IcxContainerInnerControl {
  VARNEL_CLASS(TcxCustomRadioGroupButton, TcxRadioButton)
 public:
  explicit TcxCustomRadioGroupButton(TcxCustomRadioGroup* AGroup);
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;

  // Checks or unchecks; a check that is not internal tells the group.
  void SetChecked(bool Value);
  void SetCheckedInternally(bool Value);
  bool IsInplace() override;
  bool IsNativeStyle() override;
  void Click() override;

 protected:
  void Dispatch(TMessage& Message) override;
  void DoEnter() override;
  void DoExit() override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;

 private:
  TcxCustomRadioGroup* group_;
  bool internalChecking_ = false;
  bool focusingByMouse_ = false;
  bool inCommand_ = false;
};

class TcxCustomRadioGroup : public TcxCustomButtonGroup {
  VARNEL_CLASS(TcxCustomRadioGroup, TcxCustomButtonGroup)
 public:
  // construction
  explicit TcxCustomRadioGroup(TComponent* AOwner, bool AIsInplace = false);

  // properties
  TcxCustomRadioGroupProperties* ActiveRadioProperties() {
    return static_cast<TcxCustomRadioGroupProperties*>(ActiveProperties());
  }
  TcxCustomRadioGroupProperties* RadioProperties() const {
    return static_cast<TcxCustomRadioGroupProperties*>(Properties());
  }
  Integer ItemIndex();
  // Clamped to -1 .. button count - 1.
  void SetItemIndex(Integer Value);
  TcxCustomRadioGroupButton* RadioButtons(Integer Index) const {
    return static_cast<TcxCustomRadioGroupButton*>(Buttons(Index));
  }

  // methods
  void Clear() { SetItemIndex(-1); }
  void SetFocus() override;
  // A button the user checked.
  void ButtonChecked(TcxCustomRadioGroupButton* AButton);
  TClass GetPropertiesClass() override {
    return TcxRadioGroupProperties::StaticClass();
  }
  void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue,
                        bool AEditFocused) override;
  void UpdateButtons() override;
  void SynchronizeButtonsStyle() override;
  void Loaded() override;

 protected:
  TObjectPtr<TWinControl> GetButtonInstance() override;
  void InternalSetEditValue(const Variant& Value,
                            bool AValidateEditValue) override;
  void SetInternalValues(const Variant& AEditValue, bool AValidateEditValue,
                         bool AForce);
  void SynchronizeDisplayValue() override;
  void Dispatch(TMessage& Message) override;

 private:
  Integer CheckedButtonIndex();
  bool IsLoadingOrDesigning();

  Integer storedItemIndex_ = -1;
};

class TcxRadioGroup : public TcxCustomRadioGroup {
  VARNEL_CLASS(TcxRadioGroup, TcxCustomRadioGroup)
 public:
  using TcxCustomRadioGroup::TcxCustomRadioGroup;
  TcxRadioGroupProperties* Properties() const {
    return static_cast<TcxRadioGroupProperties*>(
        TcxCustomRadioGroup::Properties());
  }
};
