// The item kinds that show an edit field: window items, edits and combos
// with a list. Buttons, labels and separators are declared with the model
// in dxBar.h; all of them are built in dxBarItemKinds.cpp.
//
// The windowed item controls that edit these items in place are declared
// in dxBarWinControls.h.
#pragma once

#include <functional>

#include "dxBar.h"
#include "dxBarWinControls.h"

class TCustomdxBarCombo;
class TdxBarCustomCombo;

// The paint style a button link shows on a toolbar: a standard one without
// an icon shows its caption.
TdxBarPaintStyle dxBarButtonPaintStyleOnBar(TdxBarItemLink* ALink);
// The links, or the menus they open at any depth, hold the item (or an
// item the test picks out).
bool dxBarLinksReferTo(TdxBarItemLinks* ALinks, const TdxBarItem* AItem);
bool dxBarLinksReferTo(TdxBarItemLinks* ALinks,
                       const std::function<bool(TdxBarItem*)>& AIsTarget);

// ---------------------------------------------------------------------------
// Window items
// ---------------------------------------------------------------------------

class TdxBarWindowItem : public TdxBarItem {
  VARNEL_CLASS(TdxBarWindowItem, TdxBarItem)
 public:
  using TdxBarItem::TdxBarItem;
  bool CanClicked() const override { return false; }
  // On a vertical bar a windowed kind shows as a button.
  TClass GetControlClass(bool AIsVertical) const override;

  virtual String GetText() const { return text_; }
  String Text() const { return GetText(); }
  virtual void SetText(const String& Value);
  // The text of the control being edited, else the committed text.
  String GetCurText() const;
  void SetCurText(const String& Value);
  // A combo without an editor: the field shows the text but takes none.
  bool EmptyWindow() const { return emptyWindow_; }
  // The current link when its control is windowed and has the focus.
  TdxBarItemLink* GetFocusedItemLink() const;
  // Starts editing in the first link with a windowed control (with the
  // argument, the first one whose bar window is visible), wherever that
  // link is shown.
  virtual void SetFocus(bool AOnVisibleBarOnly = false);

  TNotifyEvent OnChange;
  TNotifyEvent OnCurChange;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  virtual void Change();
  virtual void CurChange() { OnCurChange(this); }
  virtual void DoEnter() { OnEnter(this); }
  virtual void DoExit() { OnExit(this); }
  virtual void KeyDown(Word& AKey, TShiftState AShift) {
    OnKeyDown(this, AKey, AShift);
  }
  virtual void KeyPress(char& AKey) { OnKeyPress(this, AKey); }
  virtual void KeyUp(Word& AKey, TShiftState AShift) {
    OnKeyUp(this, AKey, AShift);
  }

 protected:
  // The current link's control when it is windowed.
  TdxBarWinControl* CurWinControl() const;
  bool emptyWindow_ = false;

 private:
  String text_;
};

// ---------------------------------------------------------------------------
// Edits
// ---------------------------------------------------------------------------

class TdxCustomBarEdit : public TdxBarWindowItem {
  VARNEL_CLASS(TdxCustomBarEdit, TdxBarWindowItem)
 public:
  explicit TdxCustomBarEdit(TComponent* AOwner);
  void SetWidth(Integer Value) override;
  bool HasAccel(TdxBarItemLink* ALink) const override;
  void ReadState(TReader* Reader) override;

 protected:
  void WidthChanged() override;

 private:
  bool glyphLoaded_ = false;
  bool suppressWidthChange_ = false;
};

class TdxBarEdit : public TdxCustomBarEdit {
  VARNEL_CLASS(TdxBarEdit, TdxCustomBarEdit)
 public:
  using TdxCustomBarEdit::TdxCustomBarEdit;
  Integer MaxLength() const { return maxLength_; }
  // Below 1 means no limit (0).
  void SetMaxLength(Integer Value) { maxLength_ = Value < 1 ? 0 : Value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value) { readOnly_ = Value; }
  // The text of an edit that is not being edited.
  virtual void DrawInterior(TdxBarItemControl* AControl, TcxCanvas* ACanvas,
                            const TRect& ARect, TdxBarItemLink* ALink);

 private:
  Integer maxLength_ = 0;
  bool readOnly_ = false;
};

// ---------------------------------------------------------------------------
// Combos
// ---------------------------------------------------------------------------

using TdxBarCheckKeyForDropDownWindowEvent = TClosure<void(
    TCustomdxBarCombo* Sender, Word AKey, TShiftState AShift, bool& AResult)>;
using TdxBarGetDropDownWindowEvent =
    TClosure<void(TCustomdxBarCombo* Sender, HWND& AWindow)>;

class TCustomdxBarCombo : public TdxBarEdit {
  VARNEL_CLASS(TCustomdxBarCombo, TdxBarEdit)
 public:
  using TdxBarEdit::TdxBarEdit;
  bool ShowEditor() const { return !emptyWindow_; }
  void SetShowEditor(bool Value) { emptyWindow_ = !Value; }
  bool GetDroppedDown() const;
  void SetDroppedDown(bool Value);
  // True when the open drop-down window gets the key instead of the edit.
  virtual bool CheckKeyForDropDownWindow(Word AKey, TShiftState AShift);
  virtual HWND GetDropDownWindow();
  virtual void InitDropDownWindow() {}
  // Keeps a window of the size at the screen point inside the work area of
  // the monitor there; the item's size decides which side it flips to.
  TPoint CheckDropDownPoint(TPoint P, TSize AWindowSize) const;
  virtual void DropDown(Integer X, Integer Y);
  virtual void CloseUp();
  virtual void AfterDropDown() {}

  TdxBarCheckKeyForDropDownWindowEvent OnCheckKeyForDropDownWindow;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnDropDown;
  TdxBarGetDropDownWindowEvent OnGetDropDownWindow;

 protected:
  TCustomdxBarComboControl* CurComboControl() const;
  // The drop-down window takes the edit field's font and colours.
  void InternalInitDropDownWindow(TWinControl* AWindow);
};

using TdxBarDrawItemEvent =
    TClosure<void(TdxBarCustomCombo* Sender, Integer AIndex, TRect ARect,
                  TOwnerDrawState AState)>;
using TdxBarMeasureItemEvent =
    TClosure<void(TdxBarCustomCombo* Sender, Integer AIndex, Integer& AHeight)>;

class TdxBarCustomCombo : public TCustomdxBarCombo {
  VARNEL_CLASS(TdxBarCustomCombo, TCustomdxBarCombo)
 public:
  explicit TdxBarCustomCombo(TComponent* AOwner);
  ~TdxBarCustomCombo() override;

  Integer DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(Integer Value) { dropDownCount_ = Value; }
  Integer DropDownWidth() const { return dropDownWidth_; }
  void SetDropDownWidth(Integer Value) { dropDownWidth_ = Value; }
  Integer ItemHeight() const { return itemHeight_; }
  void SetItemHeight(Integer Value) { itemHeight_ = Value; }
  Integer ItemIndex() const { return itemIndex_; }
  void SetItemIndex(Integer Value);
  TStringList* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  void SetText(const String& Value) override;
  Integer GetCurItemIndex() const;
  void SetCurItemIndex(Integer Value);

  // The first string that starts with the whole text, else the first one
  // with the longest common prefix, ignoring case; -1 when none shares even
  // the first character.
  Integer GetNearestItemIndex(const String& AText) const;
  // The drop-down list: its rows, whether it needs a scroll bar, its outer
  // width and height.
  Integer GetDropDownRowCount() const;
  bool HasDropDownScrollBar() const;
  virtual Integer GetDropDownWidth();
  Integer GetDropDownHeight();
  Integer GetItemsHeight(Integer AIndex);
  virtual void MeasureItem(Integer AIndex, Integer& AHeight);
  virtual void MeasureItemWidth(Integer AIndex, Integer& AWidth);
  virtual TcxCanvas* GetCanvas();
  virtual void DrawItem(Integer AIndex, const TRect& ARect,
                        TOwnerDrawState AState);
  void DrawInterior(TdxBarItemControl* AControl, TcxCanvas* ACanvas,
                    const TRect& ARect, TdxBarItemLink* ALink) override;
  bool CheckKeyForDropDownWindow(Word AKey, TShiftState AShift) override;
  void CurChange() override;
  // Moves the edited control's list position to its text.
  void CheckLocalPos();

  TdxBarDrawItemEvent OnDrawItem;
  TdxBarMeasureItemEvent OnMeasureItem;

 protected:
  void ItemsChanged(TObject* Sender);

 private:
  TdxBarComboControl* CurListControl() const;

  Integer dropDownCount_ = 8;
  Integer dropDownWidth_ = 0;
  Integer itemHeight_ = 0;
  Integer itemIndex_ = -1;
  TObjectPtr<TStringList> items_;
  bool sorted_ = false;
  TcxCanvas* interiorCanvas_ = nullptr;
  bool drawingInterior_ = false;
};

class TdxBarCombo : public TdxBarCustomCombo {
  VARNEL_CLASS(TdxBarCombo, TdxBarCustomCombo)
 public:
  using TdxBarCustomCombo::TdxBarCustomCombo;
};
