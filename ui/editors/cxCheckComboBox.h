// The check combo box: a combo box whose list shows one check box per item.
// Its edit value holds the item states in one of the check-state formats,
// and its text joins the checked items' descriptions. Windows only.
#pragma once

#include "cxButtonGroup.h"
#include "cxCheckBox.h"
#include "cxCheckGroup.h"
#include "cxCheckStates.h"
#include "cxDropDownEdit.h"
#include "cxFilterControlUtils.h"

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

class TcxCheckComboBoxItem : public TcxButtonGroupItem {
  VARNEL_CLASS(TcxCheckComboBoxItem, TcxButtonGroupItem)
 public:
  using TcxButtonGroupItem::TcxButtonGroupItem;
  void Assign(TPersistent* Source) override;

  const String& Description() const { return Caption(); }
  void SetDescription(const String& Value) { SetCaption(Value); }
  const String& ShortDescription() const { return shortDescription_; }
  void SetShortDescription(const String& Value);
  // The short description when there is one.
  virtual String GetDisplayDescription();

 private:
  String shortDescription_;
};

class TcxCheckComboBoxItems : public TcxButtonGroupItems {
  VARNEL_CLASS(TcxCheckComboBoxItems, TcxButtonGroupItems)
 public:
  explicit TcxCheckComboBoxItems(TPersistent* AOwner)
      : TcxButtonGroupItems(AOwner, TcxCheckComboBoxItem::StaticClass()) {}
  TcxCheckComboBoxItem* Items(Integer Index) const {
    return Item<TcxCheckComboBoxItem>(Index);
  }
  TcxCheckComboBoxItem* Add() {
    return static_cast<TcxCheckComboBoxItem*>(TCollection::Add());
  }
  TcxCheckComboBoxItem* AddCheckItem(const String& ADescription,
                                     const String& AShortDescription = "");
};

// ---------------------------------------------------------------------------
// Check painting in the list
// ---------------------------------------------------------------------------

// Where an item's check and text go, and what a click on the check does.
class TcxCheckPaintHelper : public TPersistent {
  VARNEL_CLASS(TcxCheckPaintHelper, TPersistent)
 public:
  virtual TcxCheckBoxState GetNextState(TcxCheckBoxState AState);
  virtual TRect CalcTextRect(const TRect& AItemRect);
  virtual TPoint CalcCheckPoint(const TRect& AItemRect);
  virtual Integer GetCheckWidth() { return 13; }
  // The check square's right and bottom edges count as inside.
  bool IsClickInCheck(const TRect& AItemRect, Integer X, Integer Y,
                      bool ARightAligned = false);
};

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

using TcxCheckComboClickCheckEvent =
    TClosure<void(TObject* Sender, Integer ItemIndex, bool& AllowToggle)>;

class TcxCustomCheckComboBoxProperties : public TcxCustomComboBoxProperties {
  VARNEL_CLASS(TcxCustomCheckComboBoxProperties, TcxCustomComboBoxProperties)
 public:
  // --- Construction ---
  explicit TcxCustomCheckComboBoxProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomCheckComboBoxProperties() override;
  void Assign(TPersistent* Source) override;

  // --- Properties ---
  TcxCheckComboBoxItems* Items() const { return items_.get(); }
  void SetItems(TcxCheckComboBoxItems* Value);
  const String& Delimiter() const { return delimiter_; }
  void SetDelimiter(const String& Value);
  bool IsDelimiterStored() const { return delimiter_ != ";"; }
  TcxCheckStatesValueFormat EditValueFormat() const { return format_; }
  void SetEditValueFormat(TcxCheckStatesValueFormat Value);
  bool ShowEmptyText() const { return showEmptyText_; }
  void SetShowEmptyText(bool Value);
  String EmptySelectionText() const;
  void SetEmptySelectionText(const String& Value);
  bool IsEmptySelectionTextStored() const { return emptyTextAssigned_; }
  TBitmap* Glyph() { return glyph_.Get(); }
  void SetGlyph(TBitmap* Value) { glyph_.Set(Value); }
  bool HasGlyph() const { return glyph_.Assigned(); }
  Integer GlyphCount() const { return glyphCount_; }
  void SetGlyphCount(Integer Value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  TcxCheckPaintHelper* CheckPaintHelper() const { return paintHelper_.get(); }

  TcxCheckComboClickCheckEvent OnClickCheck;
  TcxValueToCheckStatesEvent OnEditValueToStates;
  TcxCheckStatesToValueEvent OnStatesToEditValue;

  // --- Overridables ---
  virtual void CalculateCheckStatesByEditValue(TObject* Sender,
                                               const Variant& AEditValue,
                                               TcxCheckStates& AStates);
  virtual String CalculateDisplayValueByCheckStates(
      const TcxCheckStates& AStates);
  virtual Variant CalculateEditValueByCheckStates(
      TObject* Sender, const TcxCheckStates& AStates);
  // The text of an edit value.
  String DisplayTextOf(TObject* Sender, const Variant& AEditValue);

  // --- Overrides ---
  TcxCustomEditClass GetContainerClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;
  TObjectPtr<TcxCustomTextEditLookupData> CreateLookupData(
      TcxCustomTextEdit* AEdit) override;
  TcxCustomEditPopupWindow* NewPopupWindow(TWinControl* AEdit) override;
  bool HasDisplayValue() override { return false; }
  bool IsEditValueValid(Variant&, bool) override { return true; }
  TcxDataEditValueSource GetEditValueSource(bool) override { return evsValue; }
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false,
                            bool AIsInplace = true) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                           bool AEditFocused) override;
  TcxEditSupportedOperations GetSupportedOperations() override;

 private:
  TObjectPtr<TcxCheckComboBoxItems> items_;
  String delimiter_ = ";";
  TcxCheckStatesValueFormat format_ = cvfInteger;
  bool showEmptyText_ = true;
  String emptyText_;
  bool emptyTextAssigned_ = false;
  TcxLazyBitmap glyph_{[this] { Changed(); }};
  Integer glyphCount_ = 6;
  bool allowGrayed_ = false;
  TObjectPtr<TcxCheckPaintHelper> paintHelper_;
};

class TcxCheckComboBoxProperties : public TcxCustomCheckComboBoxProperties {
  VARNEL_CLASS(TcxCheckComboBoxProperties, TcxCustomCheckComboBoxProperties)
 public:
  using TcxCustomCheckComboBoxProperties::TcxCustomCheckComboBoxProperties;
};

// ---------------------------------------------------------------------------
// The list, its lookup, popup and view data
// ---------------------------------------------------------------------------

class TcxCustomCheckComboBox;

class TcxCustomCheckComboBoxListBox : public TcxCustomComboBoxListBox {
  VARNEL_CLASS(TcxCustomCheckComboBoxListBox, TcxCustomComboBoxListBox)
 public:
  explicit TcxCustomCheckComboBoxListBox(TComponent* AOwner);
  TcxCustomCheckComboBox* CheckComboBox() const;
  Integer HotIndex() const { return hotIndex_; }
  Integer PressedIndex() const { return pressedIndex_; }
  // The item's check square in client coordinates.
  TRect GetCheckRect(Integer AIndex);
  // Toggles the item when the editor allows it.
  virtual void UpdateItemState(Integer AIndex);

  Integer GetItemHeight(Integer AIndex) override;
  Integer GetItemWidth(Integer AIndex) override;
  void RecreateWindow() override;
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;

 protected:
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;

 private:
  void InvalidateCheck(Integer AIndex);
  void SetHotIndex(Integer AIndex);
  void SetPressedIndex(Integer AIndex);

  Integer hotIndex_ = -1;
  Integer pressedIndex_ = -1;
  TSize checkSize_{13, 13};
};

class TcxCheckComboBoxLookupData : public TcxComboBoxLookupData {
  VARNEL_CLASS(TcxCheckComboBoxLookupData, TcxComboBoxLookupData)
 public:
  using TcxComboBoxLookupData::TcxComboBoxLookupData;
  String GetItem(Integer AIndex) override;
  Integer GetItemCount() override;
  // The text is made from the states: it never picks an item.
  void TextChanged() override {}
  TObjectPtr<TcxCustomEditListBox> CreateListBox(TComponent* AOwner) override;

 private:
  TcxCheckComboBoxItems* CheckItems();
};

class TcxCheckComboBoxPopupWindow : public TcxComboBoxPopupWindow {
  VARNEL_CLASS(TcxCheckComboBoxPopupWindow, TcxComboBoxPopupWindow)
 public:
  using TcxComboBoxPopupWindow::TcxComboBoxPopupWindow;
};

class TcxCustomCheckComboBoxViewData : public TcxCustomComboBoxViewData {
  VARNEL_CLASS(TcxCustomCheckComboBoxViewData, TcxCustomComboBoxViewData)
 public:
  using TcxCustomComboBoxViewData::TcxCustomComboBoxViewData;
  String InternalEditValueToDisplayText(const Variant& AValue) override;
};

// ---------------------------------------------------------------------------
// The editor
// ---------------------------------------------------------------------------

class TcxCustomCheckComboBox : public TcxCustomComboBox {
  VARNEL_CLASS(TcxCustomCheckComboBox, TcxCustomComboBox)
 public:
  // --- Construction ---
  explicit TcxCustomCheckComboBox(TComponent* AOwner, bool AIsInplace = false);

  // --- Properties ---
  TcxCustomCheckComboBoxProperties* ActiveProperties() {
    return static_cast<TcxCustomCheckComboBoxProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomCheckComboBoxProperties* Properties() const {
    return static_cast<TcxCustomCheckComboBoxProperties*>(
        TcxCustomEdit::Properties());
  }
  const TcxCheckStates& States() const { return states_; }
  TcxCheckBoxState GetItemState(Integer AIndex) const;
  // A grayed state is refused: only the value can make an item grayed.
  void SetItemState(Integer AIndex, TcxCheckBoxState AState);
  virtual Variant GetValue() { return EditValue(); }
  virtual void SetValue(const Variant& Value) { SetEditValue(Value); }
  // Whether the user may toggle the item.
  virtual bool ClickCheck(Integer AIndex);
  // Toggles an item as a click in the list does.
  void ToggleItem(Integer AIndex);

  // --- Overrides ---
  TClass GetPropertiesClass() override {
    return TcxCustomCheckComboBoxProperties::StaticClass();
  }
  void CloseUp(TcxEditCloseUpReason AReason) override;
  void HandleSelectItem(TObject* Sender) override;
  String InternalGetText() override;
  bool InternalSetText(const String&) override { return false; }
  void PropertiesChanged(TObject* Sender) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  void SetItemIndex(Integer Value) override;

 protected:
  void DoEditKeyPress(char& Key) override;
  void InternalValidateDisplayValue(const Variant&) override {}
  void InternalGetEditingValue(Variant& Value) override { Value = EditValue(); }

 private:
  bool DoClickCheck(Integer AIndex);

  TcxCheckStates states_;
};

class TcxCheckComboBox : public TcxCustomCheckComboBox {
  VARNEL_CLASS(TcxCheckComboBox, TcxCustomCheckComboBox)
 public:
  explicit TcxCheckComboBox(TComponent* AOwner, bool AIsInplace = false);
  TClass GetPropertiesClass() override {
    return TcxCheckComboBoxProperties::StaticClass();
  }
  TcxCheckComboBoxProperties* Properties() const {
    return static_cast<TcxCheckComboBoxProperties*>(
        TcxCustomEdit::Properties());
  }
  void SetProperties(TcxCheckComboBoxProperties* Value) {
    TcxCustomEdit::SetProperties(Value);
  }
};

// ---------------------------------------------------------------------------
// Filter values
// ---------------------------------------------------------------------------

// A check combo box as the value editor of columns with check items.
class TcxFilterChecksHelper : public TcxFilterComboBoxHelper {
  VARNEL_CLASS(TcxFilterChecksHelper, TcxFilterComboBoxHelper)
 public:
  static const TcxFilterChecksHelper* Instance();
  TcxCustomEditClass GetFilterEditClass() const override;
  TcxFilterControlOperators GetSupportedFilterOperators(
      TcxCustomEditProperties* AProperties, TcxValueTypeClass AValueTypeClass,
      bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties,
                            TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;

 protected:
  TcxFilterChecksHelper() = default;
  virtual TcxCheckStatesValueFormat GetEditValueFormat(
      TcxCustomEditProperties* AEditProperties) const;
  virtual void InitializeItems(TcxCustomCheckComboBoxProperties* AProperties,
                               TcxCustomEditProperties* AEditProperties) const;
};

class TcxFilterCheckComboBoxHelper : public TcxFilterChecksHelper {
  VARNEL_CLASS(TcxFilterCheckComboBoxHelper, TcxFilterChecksHelper)
 public:
  static const TcxFilterCheckComboBoxHelper* Instance();

 protected:
  TcxFilterCheckComboBoxHelper() = default;
  TcxCheckStatesValueFormat GetEditValueFormat(
      TcxCustomEditProperties* AEditProperties) const override;
  void InitializeItems(TcxCustomCheckComboBoxProperties* AProperties,
                       TcxCustomEditProperties* AEditProperties) const override;
};
