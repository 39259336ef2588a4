// The standard controls: labels, buttons, check boxes, radio buttons,
// edits, memos, list boxes and combo boxes. All but the label wrap the
// system's own controls; their notifications come back to them as CN_
// messages.
#pragma once

#include <memory>

#include "Controls.h"

enum TTextLayout : Byte { tlTop, tlCenter, tlBottom };
enum TEditCharCase : Byte { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle : Byte { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarKind : Byte { sbHorizontal, sbVertical };
using TScrollBarInc = Smallint;
using TScrollEvent =
    TClosure<void(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos)>;
enum TCheckBoxState : Byte { cbUnchecked, cbChecked, cbGrayed };
enum TListBoxStyle : Byte {
  lbStandard,
  lbOwnerDrawFixed,
  lbOwnerDrawVariable,
  lbVirtual,
  lbVirtualOwnerDraw
};
enum TComboBoxStyle : Byte {
  csDropDown,
  csSimple,
  csDropDownList,
  csOwnerDrawFixed,
  csOwnerDrawVariable
};

class TWinControl;
using TDrawItemEvent = TClosure<void(TWinControl* Control, Integer Index,
                                     TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent =
    TClosure<void(TWinControl* Control, Integer Index, Integer& Height)>;
using TLBGetDataEvent =
    TClosure<void(TWinControl* Control, Integer Index, String& Data)>;
using TLBFindDataEvent =
    TClosure<Integer(TWinControl* Control, const String& FindString)>;

// ---------------------------------------------------------------------------
// TLabel
// ---------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
  VARNEL_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool Value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

 protected:
  void Paint() override;
  // Fits the bounds to the text (AutoSize).
  void AdjustBounds();
  Integer DrawTextFlags() const;

 private:
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  VARNEL_CLASS(TLabel, TCustomLabel)
 public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

class TButtonControl : public TWinControl {
  VARNEL_CLASS(TButtonControl, TWinControl)
 public:
  explicit TButtonControl(TComponent* AOwner);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  bool wordWrap_ = false;
};

class TButton : public TButtonControl {
  VARNEL_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* AOwner);
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool Value) { cancel_ = Value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }
  // Sets the form's ModalResult to the button's, then runs OnClick.
  void Click() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

class TCustomCheckBox : public TButtonControl {
  VARNEL_CLASS(TCustomCheckBox, TButtonControl)
 public:
  explicit TCustomCheckBox(TComponent* AOwner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  TCheckBoxState State() const { return state_; }
  // A change of state runs OnClick (not while loading).
  void SetState(TCheckBoxState Value);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // The state a click moves to.
  virtual void Toggle();

 private:
  TAlignment alignment_ = taRightJustify;
  bool allowGrayed_ = false;
  TCheckBoxState state_ = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
  VARNEL_CLASS(TCheckBox, TCustomCheckBox)
 public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

class TRadioButton : public TButtonControl {
  VARNEL_CLASS(TRadioButton, TButtonControl)
 public:
  explicit TRadioButton(TComponent* AOwner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool Checked() const { return checked_; }
  // Checking one unchecks the radio buttons beside it; runs OnClick.
  void SetChecked(bool Value);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

 private:
  TAlignment alignment_ = taRightJustify;
  bool checked_ = false;
};

// ---------------------------------------------------------------------------
// Edits
// ---------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
  VARNEL_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* AOwner);

  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool Value) { autoSelect_ = Value; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  Integer MaxLength() const { return maxLength_; }
  void SetMaxLength(Integer Value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool Value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool Modified();
  void SetModified(bool Value);

  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  String SelText();
  void SetSelText(const String& Value);
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void Clear() { SetText(""); }
  bool CanUndo();
  void Undo();

  TNotifyEvent OnChange;
  void Dispatch(TMessage& Message) override;
  void DoEnter() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();

 private:
  bool autoSelect_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  bool hideSelection_ = true;
  Integer maxLength_ = 0;
  bool oemConvert_ = false;
  char passwordChar_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;
  Integer selStart_ = 0;
  Integer selLength_ = 0;
};

class TEdit : public TCustomEdit {
  VARNEL_CLASS(TEdit, TCustomEdit)
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo : public TCustomEdit {
  VARNEL_CLASS(TCustomMemo, TCustomEdit)
 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;
  // The text as lines; changing them changes the text.
  TStrings* Lines() const;
  void SetLines(TStrings* Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  class TMemoStrings;
  std::unique_ptr<TMemoStrings> lines_;
  TAlignment alignment_ = taLeftJustify;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = true;
};

class TMemo : public TCustomMemo {
  VARNEL_CLASS(TMemo, TCustomMemo)
 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------------------
// List boxes and combo boxes
// ---------------------------------------------------------------------------

namespace stdctrls_detail {
class TItemStrings;
}

// What the list box and the combo box share: their strings over the
// window's items, the canvas their items are drawn on, and owner drawing.
class TCustomItemListControl : public TWinControl {
  VARNEL_CLASS(TCustomItemListControl, TWinControl)
 public:
  ~TCustomItemListControl() override;

  TStrings* Items() const;
  void SetItems(TStrings* Value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  TCanvas* Canvas() const { return canvas_.get(); }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  // OnDrawItem, or else the item's text.
  virtual void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(Integer Index, Integer& Height);

 protected:
  // The messages that insert, delete and reset the window's items.
  TCustomItemListControl(TComponent* AOwner, UINT AInsertMsg, UINT ADeleteMsg,
                         UINT AResetMsg);
  void DestroyWnd() override;
  // CN_DRAWITEM and CN_MEASUREITEM through DrawItem and MeasureItem (each
  // item's height asked when AVariable); false for any other message.
  bool DispatchOwnerDraw(TMessage& Message, bool AVariable);
  // The number of items and their texts for drawing without OnDrawItem.
  virtual Integer DrawnItemCount();
  virtual String DrawnItemText(Integer Index);
  stdctrls_detail::TItemStrings* ItemStrings() const { return items_.get(); }

  Integer itemHeight_ = 16;

 private:
  std::unique_ptr<stdctrls_detail::TItemStrings> items_;
  std::unique_ptr<TControlCanvas> canvas_;
  bool sorted_ = false;
};

class TCustomListBox : public TCustomItemListControl {
  VARNEL_CLASS(TCustomListBox, TCustomItemListControl)
 public:
  explicit TCustomListBox(TComponent* AOwner);

  // The number of items; for the virtual styles it is set here.
  Integer Count();
  void SetCount(Integer Value);
  Integer ItemIndex();
  void SetItemIndex(Integer Value);
  Integer TopIndex();
  void SetTopIndex(Integer Value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool Value);
  bool Selected(Integer Index);
  void SetSelected(Integer Index, bool Value);
  Integer SelCount();
  void ClearSelection();
  void SelectAll();
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle Value);
  Integer ItemHeight();
  void SetItemHeight(Integer Value);
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool Value) { autoComplete_ = Value; }
  Cardinal AutoCompleteDelay() const { return autoCompleteDelay_; }
  void SetAutoCompleteDelay(Cardinal Value) { autoCompleteDelay_ = Value; }

  // The item under a point of the client area; with Existing, -1 when the
  // point is below the last item, else the index an item there would have.
  Integer ItemAtPos(const TPoint& Pos, bool Existing);
  TRect ItemRect(Integer Index);
  void Clear();
  // The text of an item (OnData for the virtual styles).
  String ItemText(Integer Index);

  TLBGetDataEvent OnData;
  TLBFindDataEvent OnDataFind;

  void Dispatch(TMessage& Message) override;
  void KeyPress(char& Key) override;
  // The index of the first item starting with FindString (OnDataFind for
  // the virtual styles); -1 for none.
  virtual Integer DoFindData(const String& FindString);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool IsVirtual() const {
    return style_ == lbVirtual || style_ == lbVirtualOwnerDraw;
  }
  Integer DrawnItemCount() override { return Count(); }
  String DrawnItemText(Integer Index) override { return ItemText(Index); }

 private:
  Integer count_ = 0;  // virtual styles
  Integer itemIndex_ = -1;
  Integer topIndex_ = 0;
  std::vector<Integer> savedSelection_;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  TListBoxStyle style_ = lbStandard;
  bool integralHeight_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  bool autoComplete_ = true;
  Cardinal autoCompleteDelay_ = 500;
  String filter_;
  DWORD lastKeyTime_ = 0;
};

class TListBox : public TCustomListBox {
  VARNEL_CLASS(TListBox, TCustomListBox)
 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

class TCustomComboBox : public TCustomItemListControl {
  VARNEL_CLASS(TCustomComboBox, TCustomItemListControl)
 public:
  explicit TCustomComboBox(TComponent* AOwner);

  Integer ItemIndex();
  void SetItemIndex(Integer Value);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle Value);
  Integer DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(Integer Value) { dropDownCount_ = Value; }
  Integer MaxLength() const { return maxLength_; }
  void SetMaxLength(Integer Value);
  Integer ItemHeight() const { return itemHeight_; }
  void SetItemHeight(Integer Value) { itemHeight_ = Value; }
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  void Clear();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  virtual void Select();

 private:
  Integer itemIndex_ = -1;
  TComboBoxStyle style_ = csDropDown;
  Integer dropDownCount_ = 8;
  Integer maxLength_ = 0;
};

class TComboBox : public TCustomComboBox {
  VARNEL_CLASS(TComboBox, TCustomComboBox)
 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};
