// The button-group base of the radio group and the check group: items,
// their properties, the column layout and the keyboard moves between the
// child buttons. Windows only.
#pragma once

#include <vector>

#include "cxCheckStates.h"
#include "cxClasses.h"
#include "cxGroupBox.h"

class TcxCustomButtonGroupProperties;

class TcxButtonGroupItem : public TCollectionItem {
  VARNEL_CLASS(TcxButtonGroupItem, TCollectionItem)
 public:
  // construction
  explicit TcxButtonGroupItem(TCollection* Collection);
  void Assign(TPersistent* Source) override;

  // properties
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  Integer Tag() const { return tag_; }
  void SetTag(Integer Value) { tag_ = Value; }

 private:
  String caption_;
  bool enabled_ = true;
  Integer tag_ = 0;
};

class TcxButtonGroupItems : public TOwnedCollection, public IcxCheckItems {
  VARNEL_CLASS(TcxButtonGroupItems, TOwnedCollection)
 public:
  // construction
  TcxButtonGroupItems(TPersistent* AOwner, TClass AItemClass);
  ~TcxButtonGroupItems() override;

  // properties
  TcxButtonGroupItem* Items(Integer Index) const {
    return Item<TcxButtonGroupItem>(Index);
  }
  // The last change, for the buttons: which item and how.
  Integer ChangedItemIndex() const { return changedItemIndex_; }
  TcxCollectionOperation ChangedItemOperation() const {
    return changedItemOperation_;
  }
  // True only while the owner's Changed runs for an item change.
  bool ItemsNotifying() const { return notifying_; }
  bool IsDestroying() const { return destroying_; }

  // IcxCheckItems
  String GetCaption(Integer Index) override { return Items(Index)->Caption(); }
  Integer GetCount() override { return Count(); }

  // Records an item change and tells the owner.
  void ItemChanged(TcxButtonGroupItem* AItem, TcxCollectionOperation AOperation,
                   Integer AIndex);

 protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  // An add or delete waits for the collection's Changed that follows it,
  // when the item list is complete again.
  Integer pendingIndex_ = -1;
  TcxCollectionOperation pendingOperation_ = copChanged;
  Integer pendingCount_ = 0;
  Integer changedItemIndex_ = -1;
  TcxCollectionOperation changedItemOperation_ = copChanged;
  bool notifying_ = false;
  bool destroying_ = false;
};

// The layout figures each kind of group gives its view data.
struct TcxEditMetrics {
  Integer FixedWidthTextCorrection = 0;
  Integer FixedWidthCorrection = 0;
  Integer AutoWidthTextCorrection = 0;
  Integer AutoWidthCorrection = 0;
  Integer FirstColumnOffset = 0;
  Integer ColumnAreaWidthCorrection = 0;
  Integer ColumnSpacing = 0;
  TSize GlyphSize{0, 0};
};

// Column layout: balanced columns (4 items in 3 columns give 2 of 2).
Integer cxButtonGroupColumnCount(Integer AItemCount, Integer AColumns);
Integer cxButtonGroupButtonsPerColumn(Integer AItemCount, Integer AColumnCount);
// The bounds of every button in AEditRect less AClientExtent.
std::vector<TRect> cxButtonGroupButtonBounds(Integer AItemCount,
                                             Integer AColumnCount,
                                             const TRect& AEditRect,
                                             const TRect& AClientExtent,
                                             const TcxEditMetrics& AMetrics);
// The button an arrow key moves the focus to from AFocused; -1 for none.
Integer cxButtonGroupArrowTarget(Word AKey, Integer AFocused,
                                 Integer AButtonsPerColumn, Integer AItemCount);

// One item's button as a grid cell paints it.
class TcxGroupBoxButtonViewInfo : public TcxEditButtonViewInfo {
  VARNEL_CLASS(TcxGroupBoxButtonViewInfo, TcxEditButtonViewInfo)
 public:
  TcxGroupBoxButtonViewInfo() = default;
  void Assign(TPersistent* Source) override;

  Integer Column = 0;
  Integer Row = 0;

  // The glyph centred vertically, at the left edge for taRightJustify (the
  // caption right of it), else at the right edge.
  virtual TRect GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment,
                             bool AIsPaintCopy);
};

class TcxButtonGroupViewInfo : public TcxGroupBoxViewInfo {
  VARNEL_CLASS(TcxButtonGroupViewInfo, TcxGroupBoxViewInfo)
 public:
  TcxButtonGroupViewInfo() = default;
  void Assign(TObject* Source) override;

  TSize GlyphSize{0, 0};
  // Where the glyph sits against the caption (taRightJustify: caption right
  // of the glyph).
  TAlignment Alignment = taRightJustify;

  TcxGroupBoxButtonViewInfo* Button(Integer AIndex) const {
    return static_cast<TcxGroupBoxButtonViewInfo*>(
        ButtonsInfo[static_cast<std::size_t>(AIndex)].get());
  }
  TObjectPtr<TcxEditButtonViewInfo> CreateButtonViewInfo() override {
    return TObjectPtr<TcxEditButtonViewInfo>(new TcxGroupBoxButtonViewInfo());
  }
  void DrawEditButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex) override;

  // overridables
  virtual void DrawButtonCaption(TcxCanvas* ACanvas,
                                 TcxGroupBoxButtonViewInfo* AButton,
                                 const TRect& AGlyphRect) = 0;
  virtual void DrawButtonGlyph(TcxCanvas* ACanvas,
                               TcxGroupBoxButtonViewInfo* AButton,
                               const TRect& AGlyphRect) = 0;
  virtual TSize GetGlyphSize() { return GlyphSize; }
  virtual bool IsButtonGlypthTransparent(
      TcxGroupBoxButtonViewInfo* AButton) = 0;
};

class TcxButtonGroupViewData : public TcxGroupBoxViewData {
  VARNEL_CLASS(TcxButtonGroupViewData, TcxGroupBoxViewData)
 public:
  using TcxGroupBoxViewData::TcxGroupBoxViewData;

  TcxCustomButtonGroupProperties* GetProperties() const;
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The item buttons are laid out by Calculate once the client rectangle
  // is known; they are no edit buttons.
  void CalculateButtonsViewInfo(TcxCanvas*, const TRect&, const TPoint&,
                                TcxMouseButton, TShiftState,
                                TcxCustomEditViewInfo*, bool) override {}
  TSize GetEditConstantPartSize(
      TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
      TSize& AMinContentSize,
      TcxCustomEditViewInfo* AViewInfo = nullptr) override;
  static bool IsButtonNativeStyle(TcxLookAndFeel* ALookAndFeel);

  // overridables
  virtual void CalculateButtonPositions(TcxCanvas* ACanvas,
                                        TcxButtonGroupViewInfo* AViewInfo);
  virtual void CalculateButtonViewInfos(TcxButtonGroupViewInfo* AViewInfo);
  virtual Integer GetDrawTextFlags();
  // The glyph size only when ACanvas is given.
  virtual TcxEditMetrics GetEditMetrics(bool AAutoHeight,
                                        TcxCanvas* ACanvas) = 0;
  virtual TRect GetCaptionRectExtent() { return TRect{}; }
  virtual void CalculateButtonNativeState(
      TcxButtonGroupViewInfo* AViewInfo,
      TcxGroupBoxButtonViewInfo* AButton) = 0;

 private:
  void CalculateButtonStates(TcxButtonGroupViewInfo* AViewInfo, const TPoint& P,
                             TcxMouseButton AButton, TShiftState AShift,
                             bool AIsMouseEvent);
};

class TcxCustomButtonGroupProperties : public TcxCustomGroupBoxProperties {
  VARNEL_CLASS(TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties)
 public:
  // construction
  explicit TcxCustomButtonGroupProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomButtonGroupProperties() override;
  void Assign(TPersistent* Source) override;

  // properties
  Integer Columns() const { return columns_; }
  // Values below 1 store 1.
  void SetColumns(Integer Value);
  TcxButtonGroupItems* Items() const { return items_.get(); }
  void SetItems(TcxButtonGroupItems* Value) { items_->Assign(Value); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

  // methods
  Integer GetButtonsPerColumn();
  TcxEditSupportedOperations GetSupportedOperations() override;

  // overridables
  virtual Integer GetColumnCount();

 protected:
  virtual TObjectPtr<TcxButtonGroupItems> CreateItems();
  // Descendants that replace CreateItems call this from their constructor.
  void RecreateItems();

 private:
  Integer columns_ = 1;
  TObjectPtr<TcxButtonGroupItems> items_;
  bool wordWrap_ = false;
};

class TcxCustomButtonGroup : public TcxCustomGroupBox {
  VARNEL_CLASS(TcxCustomButtonGroup, TcxCustomGroupBox)
 public:
  // construction
  explicit TcxCustomButtonGroup(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomButtonGroup() override;

  // properties
  TcxCustomButtonGroupProperties* ActiveButtonGroupProperties() {
    return static_cast<TcxCustomButtonGroupProperties*>(ActiveProperties());
  }
  Integer ButtonCount() const { return static_cast<Integer>(buttons_.size()); }
  TWinControl* Buttons(Integer Index) const { return buttons_[Index]; }

  // methods
  bool Focused();
  Integer GetButtonIndexAt(const TPoint& P);
  Integer GetFocusedButtonIndex();
  // The bounds every button gets in the current size.
  std::vector<TRect> CalculateButtonBounds();
  TClass GetPropertiesClass() override {
    return TcxCustomButtonGroupProperties::StaticClass();
  }
  bool IsContainerClass() override { return IsAccelHandling(); }
  // Off until asked for: the group then takes the height its rows need.
  bool CanAutoSize() override { return !IsInplace() && AutoSize(); }

  // overridables
  virtual void ArrangeButtons();
  virtual void SynchronizeButtonsStyle();
  virtual void UpdateButtons();
  TcxEditMetrics GetEditMetrics();

 protected:
  virtual TObjectPtr<TWinControl> GetButtonInstance() = 0;
  virtual void InitButtonInstance(TWinControl* AButton);
  virtual void SetButtonCount(Integer Value);

  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void PropertiesChanged(TObject* Sender) override;
  void CreateHandle() override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;

 private:
  // Forwarders the buttons' events go through.
  void ButtonKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ButtonKeyPress(TObject* Sender, char& Key);
  void ButtonKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift,
                       Integer X, Integer Y);
  void ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift,
                     Integer X, Integer Y);
  void ButtonMouseMove(TObject* Sender, TShiftState Shift, Integer X,
                       Integer Y);

  void FreeButton(Integer AIndex);
  TWinControl* NewButton();

  // Index = item index.
  TOwningList<TWinControl> buttons_;
};
