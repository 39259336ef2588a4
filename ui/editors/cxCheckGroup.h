// The check group: a button group with one check box per item whose edit
// value holds the states of all items in one of the check-state formats.
// Windows only.
#pragma once

#include "cxButtonGroup.h"
#include "cxCheckBox.h"

class TcxCheckGroupItem : public TcxButtonGroupItem {
  VARNEL_CLASS(TcxCheckGroupItem, TcxButtonGroupItem)
 public:
  using TcxButtonGroupItem::TcxButtonGroupItem;
};

class TcxCheckGroupItems : public TcxButtonGroupItems {
  VARNEL_CLASS(TcxCheckGroupItems, TcxButtonGroupItems)
 public:
  explicit TcxCheckGroupItems(TPersistent* AOwner)
      : TcxButtonGroupItems(AOwner, TcxCheckGroupItem::StaticClass()) {}
  TcxCheckGroupItem* Add() {
    return static_cast<TcxCheckGroupItem*>(TCollection::Add());
  }
  TcxCheckGroupItem* GetItem(Integer Index) const {
    return Item<TcxCheckGroupItem>(Index);
  }
};

using TcxValueToCheckStatesEvent = TClosure<void(
    TObject* Sender, const Variant& AValue, TcxCheckStates& ACheckStates)>;
using TcxCheckStatesToValueEvent = TClosure<void(
    TObject* Sender, const TcxCheckStates& ACheckStates, Variant& AValue)>;

class TcxCustomCheckGroupProperties : public TcxCustomButtonGroupProperties {
  VARNEL_CLASS(TcxCustomCheckGroupProperties, TcxCustomButtonGroupProperties)
 public:
  // construction
  explicit TcxCustomCheckGroupProperties(TPersistent* AOwner = nullptr);
  void Assign(TPersistent* Source) override;

  // properties
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value);
  TcxCheckStatesValueFormat EditValueFormat() const { return format_; }
  void SetEditValueFormat(TcxCheckStatesValueFormat Value);
  TBitmap* Glyph() { return glyph_.Get(); }
  void SetGlyph(TBitmap* Value) { glyph_.Set(Value); }
  bool HasGlyph() const { return glyph_.Assigned(); }
  Integer GlyphCount() const { return glyphCount_; }
  void SetGlyphCount(Integer Value);
  TAlignment ItemAlignment() const { return itemAlignment_; }
  void SetItemAlignment(TAlignment Value);
  TcxCheckGroupItems* GetItems() const {
    return static_cast<TcxCheckGroupItems*>(Items());
  }
  TcxValueToCheckStatesEvent OnEditValueToStates;
  TcxCheckStatesToValueEvent OnStatesToEditValue;

  // overridables
  virtual void CalculateCheckStatesByEditValue(TObject* Sender,
                                               const Variant& AEditValue,
                                               TcxCheckStates& AStates);
  virtual Variant CalculateEditValueByCheckStates(
      TObject* Sender, const TcxCheckStates& AStates);

  // overrides
  bool HasDisplayValue() override { return true; }
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false,
                            bool AIsInplace = true) override;
  bool CompareDisplayValues(const Variant& AEditValue1,
                            const Variant& AEditValue2) override;
  TcxCustomEditClass GetContainerClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;
  // The glyph strip when one is set, else none.
  TBitmap* GlyphOrNull() { return glyph_.Assigned() ? glyph_.Get() : nullptr; }

 protected:
  TObjectPtr<TcxButtonGroupItems> CreateItems() override;

 private:
  bool allowGrayed_ = false;
  TcxCheckStatesValueFormat format_ = cvfIndices;
  TcxLazyBitmap glyph_{[this] { Changed(); }};
  Integer glyphCount_ = 6;
  TAlignment itemAlignment_ = taLeftJustify;
};

class TcxCheckGroupButtonViewInfo : public TcxGroupBoxButtonViewInfo {
  VARNEL_CLASS(TcxCheckGroupButtonViewInfo, TcxGroupBoxButtonViewInfo)
 public:
  TcxCheckGroupButtonViewInfo() = default;
  void Assign(TPersistent* Source) override;
  TRect GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment,
                     bool AIsPaintCopy) override;

  TcxCheckBoxState CheckState = cbsUnchecked;
};

// A check group in a grid cell: one mark and caption per item.
class TcxCheckGroupViewInfo : public TcxButtonGroupViewInfo {
  VARNEL_CLASS(TcxCheckGroupViewInfo, TcxButtonGroupViewInfo)
 public:
  TcxCheckGroupViewInfo() = default;
  void Assign(TObject* Source) override;

  TcxEditBorderStyle CheckBorderStyle = ebs3D;
  TBitmap* Glyph = nullptr;  // the properties', not owned
  Integer GlyphCount = 0;
  TRect CaptionExtent;

  TcxCheckGroupButtonViewInfo* CheckButton(Integer AIndex) const {
    return static_cast<TcxCheckGroupButtonViewInfo*>(Button(AIndex));
  }
  TObjectPtr<TcxEditButtonViewInfo> CreateButtonViewInfo() override;
  void DrawButtonCaption(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
                         const TRect& AGlyphRect) override;
  void DrawButtonGlyph(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
                       const TRect& AGlyphRect) override;
  bool IsButtonGlypthTransparent(TcxGroupBoxButtonViewInfo*) override {
    return IsBackgroundTransparent();
  }
};

class TcxCheckGroupViewData : public TcxButtonGroupViewData {
  VARNEL_CLASS(TcxCheckGroupViewData, TcxButtonGroupViewData)
 public:
  using TcxButtonGroupViewData::TcxButtonGroupViewData;

  TcxCustomCheckGroupProperties* GetCheckGroupProperties() const {
    return static_cast<TcxCustomCheckGroupProperties*>(Properties);
  }
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
  TcxEditMetrics GetEditMetrics(bool AAutoHeight, TcxCanvas* ACanvas) override;
  TRect GetCaptionRectExtent() override;
  void CalculateButtonNativeState(TcxButtonGroupViewInfo*,
                                  TcxGroupBoxButtonViewInfo*) override {}

 private:
  TSize GlyphSizeOf(TcxCanvas* ACanvas);
};

class TcxCheckGroupProperties : public TcxCustomCheckGroupProperties {
  VARNEL_CLASS(TcxCheckGroupProperties, TcxCustomCheckGroupProperties)
 public:
  using TcxCustomCheckGroupProperties::TcxCustomCheckGroupProperties;
};

class TcxCustomCheckGroup;

// The inner check boxes' properties: embedded, so that their layout leaves
// out the margins of a standalone box.
class TcxCheckGroupButtonProperties : public TcxCheckBoxProperties {
  VARNEL_CLASS(TcxCheckGroupButtonProperties, TcxCheckBoxProperties)
 public:
  using TcxCheckBoxProperties::TcxCheckBoxProperties;
  bool IsEmbeddedEdit() override { return true; }
};

// The inner check box of a check group.
class TcxCheckGroupButton : public TcxCheckBox,
                            public IcxContainerInnerControl {
  VARNEL_CLASS(TcxCheckGroupButton, TcxCheckBox)
 public:
  explicit TcxCheckGroupButton(TcxCustomCheckGroup* AGroup);
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;
  TcxCustomCheckGroup* Group() const { return group_; }
  TClass GetPropertiesClass() override {
    return TcxCheckGroupButtonProperties::StaticClass();
  }

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Dispatch(TMessage& Message) override;
  void DoExit() override;

 private:
  TcxCustomCheckGroup* group_;
};

class TcxCustomCheckGroup : public TcxCustomButtonGroup {
  VARNEL_CLASS(TcxCustomCheckGroup, TcxCustomButtonGroup)
 public:
  // construction
  explicit TcxCustomCheckGroup(TComponent* AOwner, bool AIsInplace = false);

  // properties
  TcxCustomCheckGroupProperties* ActiveCheckGroupProperties() {
    return static_cast<TcxCustomCheckGroupProperties*>(ActiveProperties());
  }
  TcxCheckBoxState GetState(Integer AIndex);
  void SetState(Integer AIndex, TcxCheckBoxState Value);
  TcxCheckGroupButton* CheckButtons(Integer Index) const {
    return static_cast<TcxCheckGroupButton*>(Buttons(Index));
  }
  Integer LastFocusedIndex() const { return lastFocusedIndex_; }
  void SetLastFocusedIndex(Integer Value) { lastFocusedIndex_ = Value; }

  // methods
  TClass GetPropertiesClass() override {
    return TcxCheckGroupProperties::StaticClass();
  }
  void UpdateButtons() override;
  void SynchronizeButtonsStyle() override;
  void SetFocus() override;
  // A button's state changed by the user.
  void DoButtonChange(TObject* Sender);
  // The next enabled button from AIndex in a direction, wrapping; -1 for
  // none.
  Integer NextEnabledButton(Integer AIndex, bool AForward);

 protected:
  TObjectPtr<TWinControl> GetButtonInstance() override;
  void SynchronizeDisplayValue() override;
  void InternalValidateDisplayValue(const Variant& ADisplayValue) override;
  void PropertiesChanged(TObject* Sender) override;

 private:
  bool synchronizing_ = false;
  Integer lastFocusedIndex_ = -1;
};

class TcxCheckGroup : public TcxCustomCheckGroup {
  VARNEL_CLASS(TcxCheckGroup, TcxCustomCheckGroup)
 public:
  using TcxCustomCheckGroup::TcxCustomCheckGroup;
  TcxCheckGroupProperties* GetProperties() const {
    return static_cast<TcxCheckGroupProperties*>(Properties());
  }
};
