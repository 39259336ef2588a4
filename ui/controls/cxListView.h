// The list view inside a look-and-feel container: the class library's list
// view (over the system's list control) keeps its items, columns, check
// boxes, editing and custom draw; the container adds the library's border,
// styles, scroll bars and size grip, and paints the list's header with the
// header control's section drawing.
#pragma once

#include "Classes.h"
//
#include <windows.h>

#include "ComCtrls.h"
//
#include "cxContainer.h"
#include "cxHeader.h"

class TcxCustomListView;

enum TIconArrangement : Byte { iaTop, iaLeft };

// The icon-view options of the container; each change is told to the
// handler bound to that property.
class TcxIconOptions : public TPersistent {
  VARNEL_CLASS(TcxIconOptions, TPersistent)
 public:
  explicit TcxIconOptions(TObject* AOwner = nullptr) { (void)AOwner; }

  TIconArrangement Arrangement() const { return arrangement_; }
  void SetArrangement(TIconArrangement Value);
  bool AutoArrange() const { return autoArrange_; }
  void SetAutoArrange(bool Value);
  bool WrapText() const { return wrapText_; }
  void SetWrapText(bool Value);

  TNotifyEvent OnArrangementChange;
  TNotifyEvent OnAutoArrangeChange;
  TNotifyEvent OnWrapTextChange;

 private:
  TIconArrangement arrangement_ = iaTop;
  bool autoArrange_ = false;
  bool wrapText_ = true;
};

// ---------------------------------------------------------------------------
// The inner list view
// ---------------------------------------------------------------------------

class TcxCustomInnerListView : public TListView,
                               public IcxContainerInnerControl {
  VARNEL_CLASS(TcxCustomInnerListView, TListView)
 public:
  explicit TcxCustomInnerListView(TComponent* AOwner);
  ~TcxCustomInnerListView() override;

  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  // IcxContainerInnerControl
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;

  // --- Properties ---
  TcxCustomListView* Container() const { return container_; }
  void SetContainer(TcxCustomListView* Value) { container_ = Value; }
  TcxCanvas* cxCanvas() const { return cxCanvas_.get(); }
  TcxIconOptions* IconOptions() const { return iconOptions_.get(); }
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool Value) { columnClick_ = Value; }
  HWND HeaderHandle() const { return header_; }
  Integer PressedHeaderItem() const { return pressedHeaderItem_; }
  bool IsEditingLabel() const { return editingLabel_; }

  TNotifyEvent OnCancelEdit;

  // --- Header queries ---
  Integer HeaderItemIndex(Integer APosition);
  TRect GetHeaderItemRect(Integer AItemIndex);
  Integer GetHeaderHotItemIndex();
  Integer GetHeaderPressedItemIndex();

  // --- Overridables ---
  virtual void DoCancelEdit();
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender,
                                  TcxLookAndFeelValues AChangedValues);
  virtual void DrawHeader();
  // Whether the container shows library scroll bars in place of the list's
  // own (a seam: the system decides it once at start-up).
  virtual bool UsesLibraryScrollBars() { return UsecxScrollBars(); }

  // --- Class-library overrides ---
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Click() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                    TPoint MousePos) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  bool CanFocus() override;
  void Loaded() override;
  virtual void MouseEnter(TControl* AControl);
  virtual void MouseLeave(TControl* AControl);

 protected:
  friend class TcxCustomListView;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  bool CanEdit(TListItem* Item) override;
  void HScrollHandler(TObject* Sender, TScrollCode ScrollCode,
                      Integer& ScrollPos);
  // The list's own scrolling for a code, told the library bar; returns the
  // new position.
  Integer DefaultScroll(UINT AMessage, TcxScrollBar* ABar, TScrollCode ACode,
                        Integer APos);
  void VScrollHandler(TObject* Sender, TScrollCode ScrollCode,
                      Integer& ScrollPos);

 private:
  static LRESULT CALLBACK HeaderWindowProc(HWND AWnd, UINT AMsg, WPARAM AW,
                                           LPARAM AL);
  LRESULT HeaderWndProc(UINT AMsg, WPARAM AW, LPARAM AL);
  void SubclassHeader(HWND AWnd);
  void UnsubclassHeader();
  void LVMGetHeaderItemInfo(TMessage& Message);
  void CMHintShow(TMessage& Message);
  void CNNotify(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMLButtonDown(TMessage& Message);
  bool ContainerAlive() const;

  TcxCustomListView* container_ = nullptr;
  std::unique_ptr<TcxCanvas> cxCanvas_;
  TObjectPtr<TcxIconOptions> iconOptions_;
  HWND header_ = nullptr;
  WNDPROC prevHeaderProc_ = nullptr;
  Integer pressedHeaderItem_ = -1;
  bool columnClick_ = true;
  bool editingLabel_ = false;
  // Set while LVM_CANCELEDITLABEL runs: whatever the window reports, the
  // edit was cancelled.
  bool cancellingLabel_ = false;
  // The control's own hint while info tips stand in for it.
  String savedHint_;
  bool hintReplaced_ = false;
  // The item of the last hint (compared, never used); valid once a hint
  // was asked for.
  const TListItem* lastHintItem_ = nullptr;
  bool hadHint_ = false;
};

// ---------------------------------------------------------------------------
// The container
// ---------------------------------------------------------------------------

class TcxCustomListView : public TcxContainer {
  VARNEL_CLASS(TcxCustomListView, TcxContainer)
 public:
  explicit TcxCustomListView(TComponent* AOwner)
      : TcxCustomListView(AOwner, TcxCustomInnerListView::StaticClass()) {}
  ~TcxCustomListView() override;

  TcxCustomInnerListView* InnerListView() const { return innerListView_; }

  // --- Own properties ---
  TcxIconOptions* IconOptions() const { return iconOptions_.get(); }
  void SetIconOptions(TcxIconOptions* Value);
  bool ReadOnly() const { return innerListView_->ReadOnly(); }
  void SetReadOnly(bool Value);
  TViewStyle ViewStyle() const { return innerListView_->ViewStyle(); }
  virtual void SetViewStyle(TViewStyle Value);
  TNotifyEvent OnCancelEdit;

  // --- Forwarded to the inner list view ---
  bool Checkboxes() const { return innerListView_->Checkboxes(); }
  void SetCheckboxes(bool Value) { innerListView_->SetCheckboxes(Value); }
  bool ColumnClick() const { return innerListView_->ColumnClick(); }
  void SetColumnClick(bool Value) { innerListView_->SetColumnClick(Value); }
  TListColumns* Columns() const { return innerListView_->Columns(); }
  bool HideSelection() const { return innerListView_->HideSelection(); }
  void SetHideSelection(bool Value) { innerListView_->SetHideSelection(Value); }
  bool MultiSelect() const { return innerListView_->MultiSelect(); }
  void SetMultiSelect(bool Value) { innerListView_->SetMultiSelect(Value); }
  bool RowSelect() const { return innerListView_->RowSelect(); }
  void SetRowSelect(bool Value) { innerListView_->SetRowSelect(Value); }
  bool GridLines() const { return innerListView_->GridLines(); }
  void SetGridLines(bool Value) { innerListView_->SetGridLines(Value); }
  bool ShowColumnHeaders() const { return innerListView_->ShowColumnHeaders(); }
  void SetShowColumnHeaders(bool Value) {
    innerListView_->SetShowColumnHeaders(Value);
  }
  TCustomImageList* SmallImages() const {
    return innerListView_->SmallImages();
  }
  void SetSmallImages(TCustomImageList* Value) {
    innerListView_->SetSmallImages(Value);
  }
  TCustomImageList* LargeImages() const {
    return innerListView_->LargeImages();
  }
  void SetLargeImages(TCustomImageList* Value) {
    innerListView_->SetLargeImages(Value);
  }
  TListItems* GetListItems() const { return innerListView_->Items(); }
  TListItems* Items() const { return GetListItems(); }
  TListItem* GetSelected() { return innerListView_->Selected(); }
  void SetSelected(TListItem* Value) { innerListView_->SetSelected(Value); }
  Integer GetSelCount() { return innerListView_->SelCount(); }
  TListItem* GetItemFocused() { return innerListView_->ItemFocused(); }
  void SetItemFocused(TListItem* Value) {
    innerListView_->SetItemFocused(Value);
  }
  TListItem* GetTopItem() { return innerListView_->TopItem(); }
  TListItem* GetItemAt(Integer X, Integer Y) {
    return innerListView_->GetItemAt(X, Y);
  }
  THitTests GetHitTestInfoAt(Integer X, Integer Y) {
    return innerListView_->GetHitTestInfoAt(X, Y);
  }
  TListColumn* GetColumnFromIndex(Integer AIndex) const {
    return innerListView_->Column(AIndex);
  }
  // The first item from AStartIndex whose caption is AValue (or, with
  // APartial, starts with it); AInclusive lets the start item match, AWrap
  // goes on from the top. Null when none.
  TListItem* FindCaption(Integer AStartIndex, const String& AValue,
                         bool APartial, bool AInclusive, bool AWrap);
  TListItem* FindData(Integer AStartIndex, void* AValue, bool AInclusive,
                      bool AWrap);
  Integer GetCount() { return innerListView_->ItemCount(); }
  bool IsEditing() { return innerListView_->IsEditing(); }
  void Clear() { innerListView_->Clear(); }
  // Deletes the selected items unless the list is read-only.
  void DeleteSelected();
  TcxCanvas* GetListViewCanvas() const { return innerListView_->cxCanvas(); }

  // The inner list view's events.
  TLVChangeEvent& OnChange() { return innerListView_->OnChange; }
  TLVChangingEvent& OnChanging() { return innerListView_->OnChanging; }
  TLVSelectItemEvent& OnSelectItem() { return innerListView_->OnSelectItem; }
  TLVEditingEvent& OnEditing() { return innerListView_->OnEditing; }
  TLVEditedEvent& OnEdited() { return innerListView_->OnEdited; }
  TLVNotifyEvent& OnDeletion() { return innerListView_->OnDeletion; }
  TLVNotifyEvent& OnInsert() { return innerListView_->OnInsert; }
  TLVColumnClickEvent& OnColumnClick() { return innerListView_->OnColumnClick; }
  TLVCustomDrawEvent& OnCustomDraw() { return innerListView_->OnCustomDraw; }
  TLVCustomDrawItemEvent& OnCustomDrawItem() {
    return innerListView_->OnCustomDrawItem;
  }
  TLVCustomDrawSubItemEvent& OnCustomDrawSubItem() {
    return innerListView_->OnCustomDrawSubItem;
  }
  TLVInfoTipEvent& OnInfoTip() { return innerListView_->OnInfoTip; }
  TLVOwnerDataEvent& OnData() { return innerListView_->OnData; }

  // --- Overrides ---
  void Loaded() override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues) override;
  bool NeedsScrollBars() override { return true; }
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode,
              Integer& AScrollPos) override;
  bool IsReadOnly() override { return ReadOnly(); }
  void DoExit() override;
  void FontChanged() override;
  void ChangeScale(Integer M, Integer D) override;

  void UpdateIconOptions();

 protected:
  friend class TcxCustomInnerListView;
  // Descendants name their inner list view class (TcxCustomInnerListView
  // or a descendant, made with the container as owner): the container
  // makes it while it is constructed, before a virtual call could reach
  // the descendant.
  TcxCustomListView(TComponent* AOwner, TClass AListViewClass);
  bool Creating() const { return IsCreating(); }

 private:
  void ArrangementChangeHandler(TObject* Sender);
  void AutoArrangeChangeHandler(TObject* Sender);
  void WrapTextChangeHandler(TObject* Sender);

  TcxCustomInnerListView* innerListView_ = nullptr;  // a child component
  TObjectPtr<TcxIconOptions> iconOptions_;
};

class TcxListView : public TcxCustomListView {
  VARNEL_CLASS(TcxListView, TcxCustomListView)
 public:
  explicit TcxListView(TComponent* AOwner) : TcxCustomListView(AOwner) {}
};
