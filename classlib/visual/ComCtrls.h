// The common controls: the list view over the system's report/icon list
// control, with its columns and items, and the page control over the
// system's tab control.
//
// A list view's items are the plain item model of ListItems.h: code that
// fills a TListItems works the same whether or not it belongs to a window.
// The list view's own TListItems mirrors every change into the window, and
// what the user changes in the window (checks, selection, edited captions)
// comes back into the items.
#pragma once

#include "Controls.h"
//
#include <commctrl.h>

#include "ImgList.h"
#include "ListItems.h"

class TCustomListView;

// ---------------------------------------------------------------------------
// Enumerations and events
// ---------------------------------------------------------------------------

enum TViewStyle : Byte { vsIcon, vsSmallIcon, vsList, vsReport };

enum TItemChange : Byte { ctText, ctImage, ctState };

enum TCustomDrawStage : Byte {
  cdPrePaint,
  cdPostPaint,
  cdPreErase,
  cdPostErase
};

enum TCustomDrawStateFlag : Byte {
  cdsSelected,
  cdsGrayed,
  cdsDisabled,
  cdsChecked,
  cdsFocused,
  cdsDefault,
  cdsHot,
  cdsMarked,
  cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateFlag>;

enum THitTest : Byte {
  htAbove,
  htBelow,
  htNowhere,
  htOnItem,
  htOnButton,
  htOnIcon,
  htOnIndent,
  htOnLabel,
  htOnRight,
  htOnStateIcon,
  htToLeft,
  htToRight
};
using THitTests = TSet<THitTest>;

enum TWidth : Integer { ColumnTextWidth = -1, ColumnHeaderWidth = -2 };

using TLVNotifyEvent = TClosure<void(TObject* Sender, TListItem* Item)>;
using TLVSelectItemEvent =
    TClosure<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent =
    TClosure<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent = TClosure<void(TObject* Sender, TListItem* Item,
                                       TItemChange Change, bool& AllowChange)>;
using TLVEditingEvent =
    TClosure<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent =
    TClosure<void(TObject* Sender, TListItem* Item, String& S)>;
using TLVColumnClickEvent =
    TClosure<void(TObject* Sender, class TListColumn* Column)>;
using TLVCustomDrawEvent = TClosure<void(
    TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVCustomDrawItemEvent =
    TClosure<void(TCustomListView* Sender, TListItem* Item,
                  TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent =
    TClosure<void(TCustomListView* Sender, TListItem* Item, Integer SubItem,
                  TCustomDrawState State, bool& DefaultDraw)>;
using TLVInfoTipEvent =
    TClosure<void(TObject* Sender, TListItem* Item, String& InfoTip)>;
using TLVOwnerDataEvent = TClosure<void(TObject* Sender, TListItem* Item)>;

// ---------------------------------------------------------------------------
// Columns
// ---------------------------------------------------------------------------

class TListColumn : public TCollectionItem {
  VARNEL_CLASS(TListColumn, TCollectionItem)
 public:
  explicit TListColumn(TCollection* Collection);

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  // ColumnTextWidth / ColumnHeaderWidth size the column to fit.
  Integer Width() const;
  void SetWidth(Integer Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  void Assign(TPersistent* Source) override;

 protected:
  String GetDisplayName() override;

 private:
  String caption_;
  Integer width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  Integer imageIndex_ = -1;
};

class TListColumns : public TCollection {
  VARNEL_CLASS(TListColumns, TCollection)
 public:
  explicit TListColumns(TCustomListView* AOwner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(Integer Index) const {
    return static_cast<TListColumn*>(TCollection::Items(Index));
  }
  TListColumn* operator[](Integer Index) const { return Items(Index); }
  TCustomListView* Owner() const { return owner_; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomListView* owner_;
};

// ---------------------------------------------------------------------------
// The list view's items
// ---------------------------------------------------------------------------

// The item model of a list view: mirrors into the window while it has one.
class TListViewItems : public TListItems {
  VARNEL_CLASS(TListViewItems, TListItems)
 public:
  explicit TListViewItems(TCustomListView* AOwner);
  TCustomListView* Owner() const { return owner_; }

  // Batches changes: the window redraws once at the end.
  void BeginUpdate();
  void EndUpdate();

 protected:
  void Notify(TListItem* Item, TListItemChange Change) override;
  bool EditItemCaption(TListItem* Item) override;
  void CancelItemEdit(TListItem* Item) override;
  TRect ItemDisplayRect(const TListItem* Item,
                        TDisplayCode Code) const override;

 private:
  TCustomListView* owner_;
  Integer updateCount_ = 0;
};

// ---------------------------------------------------------------------------
// TCustomListView
// ---------------------------------------------------------------------------

class TCustomListView : public TWinControl {
  VARNEL_CLASS(TCustomListView, TWinControl)
 public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;
  void BeforeDestruction() override;

  TListItems* Items() const { return items_.get(); }
  TListColumns* Columns() const { return columns_.get(); }
  TListColumn* Column(Integer Index) const { return columns_->Items(Index); }

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle Value);
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool Value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool Value);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool Value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* Value);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* Value);

  // Owner data: the list holds only a count, and every item shown is asked
  // of OnData through a borrowed item (valid until the next one is lent).
  bool OwnerData() const { return ownerData_; }
  void SetOwnerData(bool Value);
  Integer ItemCount() const;
  // With owner data: the number of rows (Items is not used).
  void SetItemCount(Integer Value);

  // The first selected item / the focused one (null when none). With owner
  // data these are borrowed items filled by OnData.
  TListItem* Selected();
  void SetSelected(TListItem* Value);
  Integer SelCount();
  TListItem* ItemFocused();
  void SetItemFocused(TListItem* Value);
  // The index of the item of the given row (owner data or not); -1 when
  // none. Used by owner-data lists where items are not kept.
  Integer ItemIndexAt(Integer X, Integer Y);
  TListItem* GetItemAt(Integer X, Integer Y);
  THitTests GetHitTestInfoAt(Integer X, Integer Y);
  TListItem* TopItem();
  bool IsEditing();
  void Clear();

  // --- Events ---
  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVSelectItemEvent OnSelectItem;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVNotifyEvent OnDeletion;
  TLVNotifyEvent OnInsert;
  TLVColumnClickEvent OnColumnClick;
  TLVCustomDrawEvent OnCustomDraw;
  TLVCustomDrawItemEvent OnCustomDrawItem;
  TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
  TLVInfoTipEvent OnInfoTip;
  TLVOwnerDataEvent OnData;

  // Custom-draw handlers draw on this; it paints on the window's device
  // context only while a handler runs.
  TCanvas* Canvas() const { return canvas_.get(); }
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TListViewItems;
  friend class TListColumns;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

  virtual bool CanEdit(TListItem* Item);
  virtual void Edit(const LVITEMA& Item);
  virtual bool CanChange(TListItem* Item, TItemChange Change);
  virtual void Change(TListItem* Item, TItemChange Change);
  virtual void DoSelectItem(TListItem* Item, bool Selected);
  virtual void Delete(TListItem* Item);
  virtual void InsertItem(TListItem* Item);
  virtual void ColClick(TListColumn* Column);
  virtual void OwnerDataFetch(TListItem* Item);
  virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
  virtual bool CustomDrawItem(TListItem* Item, TCustomDrawState State,
                              TCustomDrawStage Stage);
  virtual bool CustomDrawSubItem(TListItem* Item, Integer SubItem,
                                 TCustomDrawState State,
                                 TCustomDrawStage Stage);

 private:
  void CNNotify(TMessage& M);
  void CustomDrawNotify(TMessage& M);
  void ItemChangedNotify(const NMLISTVIEW& nm);
  void GetDispInfo(NMLVDISPINFOA& info);
  // The item of a row: the kept one, or with owner data the borrowed item
  // filled by OnData (null for a row out of range).
  TListItem* ItemOfRow(Integer Row);
  // Window side of the item model.
  void WindowInsert(TListItem* Item, Integer Index);
  void WindowUpdate(TListItem* Item, Integer Index, TListItemChange Change);
  void WindowDelete(Integer Index);
  void WindowFill();
  void UpdateColumns();
  void UpdateExStyles();
  void UpdateImages();
  void ImagesChanged(TObject* Sender);
  DWORD ViewStyleFlags() const;

  TObjectPtr<TListViewItems> items_;
  TObjectPtr<TListColumns> columns_;
  TObjectPtr<TCanvas> canvas_;
  TObjectPtr<TChangeLink> smallChangeLink_;
  TObjectPtr<TChangeLink> largeChangeLink_;
  TCustomImageList* smallImages_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  // The item lent to OnData.
  TObjectPtr<TListItem> tempItem_;
  // Text given to the window by LVN_GETDISPINFO lives here until the next.
  String dispText_;
  Integer ownerCount_ = 0;
  TViewStyle viewStyle_ = vsIcon;
  TBorderStyle borderStyle_ = bsSingle;
  bool checkboxes_ = false;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  bool multiSelect_ = false;
  bool rowSelect_ = false;
  bool gridLines_ = false;
  bool showColumnHeaders_ = true;
  bool ownerData_ = false;
  // Set while the window's own change is written back into the items, so
  // that it is not sent to the window again.
  bool fromWindow_ = false;
  // Set while items are mirrored into a new window: its notices of
  // inserted and changed items are not the user's.
  bool filling_ = false;
  // Set while CancelEdit ends an edit: its text is dropped.
  bool cancellingEdit_ = false;
};

class TListView : public TCustomListView {
  VARNEL_CLASS(TListView, TCustomListView)
 public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// ---------------------------------------------------------------------------
// Page control
// ---------------------------------------------------------------------------

class TPageControl;

using TTabChangingEvent = TClosure<void(TObject* Sender, bool& AllowChange)>;

// One page of a page control: a container shown while its tab is chosen.
class TTabSheet : public TWinControl {
  VARNEL_CLASS(TTabSheet, TWinControl)
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  void BeforeDestruction() override;

  TPageControl* PageControl() const { return pageControl_; }
  // Becomes a page of Value (leaving the old one); its parent too.
  void SetPageControl(TPageControl* Value);
  void SetParent(TWinControl* AParent) override;
  // Position among the pages / among the visible tabs (-1 when hidden).
  Integer PageIndex() const;
  void SetPageIndex(Integer Value);
  Integer TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void Dispatch(TMessage& Message) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  Integer imageIndex_ = -1;
  bool tabVisible_ = true;
};

class TPageControl : public TWinControl {
  VARNEL_CLASS(TPageControl, TWinControl)
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  Integer PageCount() const { return static_cast<Integer>(pages_.size()); }
  TTabSheet* Pages(Integer Index) const { return pages_.at(Index); }
  TTabSheet* ActivePage() const { return activePage_; }
  // Shows Page (one of this control's; null shows none).
  void SetActivePage(TTabSheet* Page);
  Integer ActivePageIndex() const;
  void SetActivePageIndex(Integer Value);
  // The page next to CurrentPage among those with visible tabs.
  TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward);
  void SelectNextPage(bool GoForward);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);

  // Asked before the user's choice of tab takes effect / told after.
  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

  // The pages fill the area inside the tabs.
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TTabSheet;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual bool CanChange();
  virtual void Change();

 private:
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void UpdateTabs();
  void ShowActive();
  TTabSheet* PageOfTab(Integer TabIndex) const;

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TCustomImageList* images_ = nullptr;
};

// ---------------------------------------------------------------------------
// Tree view
// ---------------------------------------------------------------------------

class TTreeNodes;
class TCustomTreeView;

// One node of a tree view: owns its child nodes.
class TTreeNode : public TPersistent {
  VARNEL_CLASS(TTreeNode, TPersistent)
 public:
  explicit TTreeNode(TTreeNodes* AOwner);
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  TTreeNode* Parent() const { return parent_; }
  // Depth: 0 for a top-level node.
  Integer Level() const;
  // Position among its siblings.
  Integer Index() const;
  // Position among all nodes, parents before their children.
  Integer AbsoluteIndex() const;
  Integer Count() const { return static_cast<Integer>(children_.size()); }
  TTreeNode* Item(Integer Index) const { return children_.at(Index).get(); }
  TTreeNode* GetFirstChild() const;
  TTreeNode* GetLastChild() const;
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // The next node in the order AbsoluteIndex counts (null after the last).
  TTreeNode* GetNext() const;

  const String& Text() const { return text_; }
  void SetText(const String& Value);
  void* Data() const { return data_; }
  void SetData(void* Value) { data_ = Value; }
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  Integer SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(Integer Value);
  // A button shows with children, or when set (children added on expand).
  bool HasChildren() const { return hasChildren_ || !children_.empty(); }
  void SetHasChildren(bool Value);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const { return Selected(); }
  bool Cut() const { return cut_; }
  void SetCut(bool Value);
  bool DropTarget() const;
  void SetDropTarget(bool Value);
  bool IsVisible() const;
  void MakeVisible();
  bool EditText();
  void EndEdit(bool Cancel);
  // The node's row (TextOnly: its label) in the tree's client area; empty
  // without a window or when scrolled out of its parent's expansion.
  TRect DisplayRect(bool TextOnly) const;
  // The window's handle of the node (null without a window).
  HTREEITEM ItemId() const { return itemId_; }

  void Delete();
  void DeleteChildren();
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void UpdateWindowItem(UINT Mask);

  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TObjectPtr<TTreeNode>> children_;
  String text_;
  void* data_ = nullptr;
  HTREEITEM itemId_ = nullptr;
  Integer imageIndex_ = -1;
  Integer selectedIndex_ = -1;
  bool hasChildren_ = false;
  bool expanded_ = false;
  bool cut_ = false;
};

// The nodes of a tree view; frees them when they are deleted or cleared.
class TTreeNodes : public TPersistent {
  VARNEL_CLASS(TTreeNodes, TPersistent)
 public:
  explicit TTreeNodes(TCustomTreeView* AOwner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return owner_; }
  // A node after Sibling's last sibling (top level without one).
  TTreeNode* Add(TTreeNode* Sibling, const String& S);
  TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const String& S);
  // The last / first child of Parent (top level without one).
  TTreeNode* AddChild(TTreeNode* Parent, const String& S);
  TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S);
  // Before Sibling (at the end of the top level without one).
  TTreeNode* Insert(TTreeNode* Sibling, const String& S);
  void Delete(TTreeNode* Node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();

  // All nodes, in AbsoluteIndex order.
  Integer Count() const;
  // Raises EListError for an index out of range.
  TTreeNode* Item(Integer Index) const;
  TTreeNode* operator[](Integer Index) const { return Item(Index); }
  TTreeNode* GetFirstNode() const;
  // The node whose window handle this is (null when none).
  TTreeNode* GetNode(HTREEITEM ItemId) const;
  TPersistent* GetOwner() override;

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  std::vector<TObjectPtr<TTreeNode>>& SiblingsOf(TTreeNode* Parent);
  TTreeNode* InsertAt(TTreeNode* Parent, std::size_t At, const String& S,
                      void* Ptr);
  TCustomTreeView* owner_;
  std::vector<TObjectPtr<TTreeNode>> roots_;
  Integer updateCount_ = 0;
};

enum TNodeAttachMode : Byte {
  naAdd,
  naAddFirst,
  naAddChild,
  naAddChildFirst,
  naInsert
};

using TTVChangedEvent = TClosure<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent =
    TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent =
    TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent =
    TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TClosure<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent =
    TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent =
    TClosure<void(TObject* Sender, TTreeNode* Node, String& S)>;

class TCustomTreeView : public TWinControl {
  VARNEL_CLASS(TCustomTreeView, TWinControl)
 public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;
  void BeforeDestruction() override;

  TTreeNodes* Items() const { return items_.get(); }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* Value);
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* Value);
  TTreeNode* DropTarget() const;
  void SetDropTarget(TTreeNode* Value);
  TTreeNode* GetNodeAt(Integer X, Integer Y) const;
  THitTests GetHitTestInfoAt(Integer X, Integer Y) const;
  void FullExpand();
  void FullCollapse();
  bool IsEditing() const;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* Value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool Value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool Value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool Value);
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool Value);
  // A new window gets the nodes back, expanded and selected as they were.
  bool CreateWndRestores() const { return createWndRestores_; }
  void SetCreateWndRestores(bool Value) { createWndRestores_ = Value; }

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnDeletion;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TTreeNode;
  friend class TTreeNodes;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  virtual void Delete(TTreeNode* Node);

 private:
  void CNNotify(TMessage& M);
  TTreeNode* NodeOf(HTREEITEM Item) const;
  void WindowInsert(TTreeNode* Node);
  void WindowInsertTree(TTreeNode* Node);
  void UpdateImages();

  TObjectPtr<TTreeNodes> items_;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  // The selection a new window takes back.
  TTreeNode* savedSelected_ = nullptr;
  bool showButtons_ = true;
  bool showLines_ = true;
  bool showRoot_ = true;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  bool rowSelect_ = false;
  bool toolTips_ = true;
  bool createWndRestores_ = true;
  // Set while the window's own expansion is written into the nodes.
  bool fromWindow_ = false;
  bool cancellingEdit_ = false;
};

class TTreeView : public TCustomTreeView {
  VARNEL_CLASS(TTreeView, TCustomTreeView)
 public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};
