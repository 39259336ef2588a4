// The vertical grid's row model: a tree of row components under an
// invisible root row that the grid owns, the category, editor and
// multi-editor rows with their properties and options, the edit container
// item behind every value cell, and the rows container that keeps the flat
// list of all rows. Values are not kept in the rows: every cell is one item
// of the grid's data controller.
#pragma once

#include <vector>

#include "cxClasses.h"
#include "cxInplaceContainer.h"

class TcxCustomVerticalGrid;
class TcxVerticalGridRows;
class TcxCustomRow;
class TcxCustomRowViewInfo;
class TcxCustomRowHeaderInfo;
class TcxCustomMultiEditorRow;
class TcxMultiEditorRowProperties;

inline constexpr TcxResourceString cxSvgIndexError{64150, "Index error"};
inline constexpr TcxResourceString cxSvgAssignRowsError{64151,
                                                        "Can't assign rows"};
inline constexpr TcxResourceString cxSvgInvalidRowClass{64152,
                                                        "Can't create row"};

class EcxVerticalGridError : public Exception {
  VARNEL_CLASS(EcxVerticalGridError, Exception)
 public:
  using Exception::Exception;
};
[[noreturn]] void cxVerticalGridError(const String& AMessage);

// An interfaced collection item that is never freed through its interface.
class TcxInterfacedCollectionItem : public TCollectionItem, public IInterface {
  VARNEL_CLASS(TcxInterfacedCollectionItem, TCollectionItem)
 public:
  explicit TcxInterfacedCollectionItem(TCollection* Collection)
      : TCollectionItem(Collection) {}
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
};

// An owned persistent with an interface table, never freed through it.
class TcxOwnedInterfacedPersistent : public TcxOwnedPersistent,
                                     public IInterface {
  VARNEL_CLASS(TcxOwnedInterfacedPersistent, TcxOwnedPersistent)
 public:
  explicit TcxOwnedInterfacedPersistent(TPersistent* AOwner)
      : TcxOwnedPersistent(AOwner) {}
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
};

enum TSeparatorKind : Byte { skVertLine, skString };

// The canvas text flags of a caption's alignment pair.
Integer cxVGridTextAlignmentFlags(TAlignment AHorz, TcxAlignmentVert AVert);

// ---------------------------------------------------------------------------
// Options and styles of a row
// ---------------------------------------------------------------------------

class TcxRowOptions : public TPersistent {
  VARNEL_CLASS(TcxRowOptions, TPersistent)
 public:
  explicit TcxRowOptions(TcxCustomRow* ARow) : row_(ARow) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  bool CanAutoHeight() const { return canAutoHeight_; }
  void SetCanAutoHeight(bool Value) { SetNotified(canAutoHeight_, Value); }
  bool CanMovedToCustomizationForm() const { return canMovedToCustForm_; }
  void SetCanMovedToCustomizationForm(bool Value) {
    canMovedToCustForm_ = Value;
  }
  bool CanResized() const { return canResized_; }
  void SetCanResized(bool Value) { canResized_ = Value; }
  bool Focusing() const { return focusing_; }
  void SetFocusing(bool Value) { SetNotified(focusing_, Value); }
  bool Moving() const { return moving_; }
  void SetMoving(bool Value) { moving_ = Value; }
  bool ShowExpandButton() const { return showExpandButton_; }
  void SetShowExpandButton(bool Value) {
    SetNotified(showExpandButton_, Value);
  }
  bool ShowInCustomizationForm() const { return showInCustForm_; }
  void SetShowInCustomizationForm(bool Value) {
    SetNotified(showInCustForm_, Value);
  }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool Value) { tabStop_ = Value; }

  TcxCustomRow* Row() const { return row_; }
  virtual void Changed();
  virtual void RestoreDefaults();

 private:
  void SetNotified(bool& AField, bool Value);
  TcxCustomRow* row_;
  bool canAutoHeight_ = true;
  bool canMovedToCustForm_ = true;
  bool canResized_ = true;
  bool focusing_ = true;
  bool moving_ = true;
  bool showExpandButton_ = true;
  bool showInCustForm_ = true;
  bool tabStop_ = true;
};

class TcxvgCustomRowStyles : public TcxStyles {
  VARNEL_CLASS(TcxvgCustomRowStyles, TcxStyles)
 public:
  explicit TcxvgCustomRowStyles(TPersistent* AOwner) : TcxStyles(AOwner) {}
  void Changed(Integer AIndex) override;
};

class TcxCategoryRowStyles : public TcxvgCustomRowStyles {
  VARNEL_CLASS(TcxCategoryRowStyles, TcxvgCustomRowStyles)
 public:
  static constexpr Integer vgrs_Header = 0;
  explicit TcxCategoryRowStyles(TPersistent* AOwner)
      : TcxvgCustomRowStyles(AOwner) {}
  void Assign(TPersistent* Source) override;
  TcxStyle* Header() { return GetValue(vgrs_Header); }
  void SetHeader(TcxStyle* Value) { SetValue(vgrs_Header, Value); }
};

class TcxEditorRowStyles : public TcxCategoryRowStyles {
  VARNEL_CLASS(TcxEditorRowStyles, TcxCategoryRowStyles)
 public:
  static constexpr Integer vgrs_Content = 1;
  explicit TcxEditorRowStyles(TPersistent* AOwner)
      : TcxCategoryRowStyles(AOwner) {}
  void Assign(TPersistent* Source) override;
  TcxStyle* Content() { return GetValue(vgrs_Content); }
  void SetContent(TcxStyle* Value) { SetValue(vgrs_Content, Value); }
};

// ---------------------------------------------------------------------------
// Row properties
// ---------------------------------------------------------------------------

class TcxCustomRowProperties : public TcxInterfacedCollectionItem {
  VARNEL_CLASS(TcxCustomRowProperties, TcxInterfacedCollectionItem)
 public:
  // A cell of a multi-editor row: the row comes from the collection.
  explicit TcxCustomRowProperties(TCollection* Collection);
  TcxCustomRowProperties(TcxCustomRow* ARow, TCollection* Collection);
  TPersistent* GetOwner() override;

  TcxCustomRow* Row() const { return row_; }
  bool Locked() const { return locked_; }
  void SetLocked(bool Value) { locked_ = Value; }
  virtual void Changed();

 private:
  TcxCustomRow* row_ = nullptr;
  bool locked_ = false;
};

class TcxCaptionRowProperties : public TcxCustomRowProperties {
  VARNEL_CLASS(TcxCaptionRowProperties, TcxCustomRowProperties)
 public:
  explicit TcxCaptionRowProperties(TCollection* Collection)
      : TcxCustomRowProperties(Collection) {}
  TcxCaptionRowProperties(TcxCustomRow* ARow, TCollection* Collection)
      : TcxCustomRowProperties(ARow, Collection) {}
  void Assign(TPersistent* Source) override;

  String Caption() const;
  void SetCaption(const String& Value);
  bool IsCaptionAssigned() const { return captionAssigned_; }
  // Stored in a form only when assigned and not the default.
  bool IsCaptionStored() const;
  TAlignment HeaderAlignmentHorz() const { return alignHorz_; }
  void SetHeaderAlignmentHorz(TAlignment Value);
  TcxAlignmentVert HeaderAlignmentVert() const { return alignVert_; }
  void SetHeaderAlignmentVert(TcxAlignmentVert Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value) { hint_ = Value; }
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);

  virtual String DefaultCaption() const { return String(); }
  virtual void RestoreDefaults();

 private:
  String caption_;
  bool captionAssigned_ = false;
  TAlignment alignHorz_ = taLeftJustify;
  TcxAlignmentVert alignVert_ = vaTop;
  String hint_;
  Integer imageIndex_ = -1;
};

class TcxCustomEditorRowProperties;
class TcxCellEdit;

using TcxVerticalGridGetEditPropertiesEvent =
    TClosure<void(TcxCustomEditorRowProperties* Sender, Integer ARecordIndex,
                  TcxCustomEditProperties*& AProperties)>;
using TcxVerticalGridGetDisplayTextEvent = TClosure<void(
    TcxCustomEditorRowProperties* Sender, Integer ARecord, String& AText)>;

class TcxCustomEditorRowProperties : public TcxCaptionRowProperties {
  VARNEL_CLASS(TcxCustomEditorRowProperties, TcxCaptionRowProperties)
 public:
  explicit TcxCustomEditorRowProperties(TCollection* Collection);
  TcxCustomEditorRowProperties(TcxCustomRow* ARow, TCollection* Collection);
  ~TcxCustomEditorRowProperties() override;
  void Assign(TPersistent* Source) override;

  // The container behind the cell.
  TcxCellEdit* EditContainer() const { return container_.get(); }
  TcxItemDataBinding* DataBinding() const;
  TcxCustomEditProperties* EditProperties() const;
  TcxCustomEditProperties* GetEditProperties() const {
    return EditProperties();
  }
  TClass EditPropertiesClass() const;
  void SetEditPropertiesClass(TClass Value);
  String EditPropertiesClassName() const;
  void SetEditPropertiesClassName(const String& Value);
  TcxEditRepositoryItem* RepositoryItem() const;
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  TcxCustomEditContainerItemOptions* Options() const;
  Integer ItemIndex() const;
  TcxCustomInplaceEditContainer* GetItemLink() const;
  TcxCustomEditViewData* GetEditViewData() const;

  TcxVerticalGridGetEditPropertiesEvent OnGetEditProperties;
  TcxVerticalGridGetEditPropertiesEvent OnGetEditingProperties;
  TcxVerticalGridGetDisplayTextEvent OnGetDisplayText;

  Variant GetValue() const;
  Variant Value() const { return GetValue(); }
  void SetValue(const Variant& AValue);
  Variant GetValueByIndex(Integer AIndex) const;
  String GetDisplayText(Integer AIndex);

  virtual void DoGetDisplayTextEvent(Integer ARecordIndex, String& AText);

 protected:
  using TcxInplaceEditContainerClass =
      TObjectPtr<TcxCellEdit> (*)(TcxCustomEditorRowProperties* AOwner);
  virtual TcxInplaceEditContainerClass GetInplaceEditContainerClass();

 private:
  void CreateContainer();
  TObjectPtr<TcxCellEdit> container_;
};

class TcxEditorRowProperties : public TcxCustomEditorRowProperties {
  VARNEL_CLASS(TcxEditorRowProperties, TcxCustomEditorRowProperties)
 public:
  using TcxCustomEditorRowProperties::TcxCustomEditorRowProperties;
  void Assign(TPersistent* Source) override;
};

class TcxCollectionItemEditorRowProperties
    : public TcxCustomEditorRowProperties {
  VARNEL_CLASS(TcxCollectionItemEditorRowProperties,
               TcxCustomEditorRowProperties)
 public:
  explicit TcxCollectionItemEditorRowProperties(TCollection* Collection);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  Integer Width() const { return width_; }
  void SetWidth(Integer Value);
  TNotifyEvent EditPropertiesEvents;

 protected:
  String GetDisplayName() override { return Caption(); }

 private:
  Integer width_ = 50;
};

class TcxEditorRowItemProperties : public TcxCollectionItemEditorRowProperties {
  VARNEL_CLASS(TcxEditorRowItemProperties, TcxCollectionItemEditorRowProperties)
 public:
  explicit TcxEditorRowItemProperties(TCollection* Collection)
      : TcxCollectionItemEditorRowProperties(Collection) {}
  void Assign(TPersistent* Source) override;
};

class TcxEditorPropertiesCollection : public TCollection {
  VARNEL_CLASS(TcxEditorPropertiesCollection, TCollection)
 public:
  explicit TcxEditorPropertiesCollection(TcxMultiEditorRowProperties* AOwner);
  TcxEditorRowItemProperties* Add();
  TcxEditorRowItemProperties* GetItem(Integer AIndex) const {
    return Item<TcxEditorRowItemProperties>(AIndex);
  }
  TPersistent* GetOwner() override;
  String GetNamePath() override;
  TcxCustomMultiEditorRow* Row() const;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TcxMultiEditorRowProperties* owner_;
};

class TcxMultiEditorRowProperties : public TcxCustomRowProperties {
  VARNEL_CLASS(TcxMultiEditorRowProperties, TcxCustomRowProperties)
 public:
  TcxMultiEditorRowProperties(TcxCustomRow* ARow, TCollection* Collection);
  ~TcxMultiEditorRowProperties() override;
  void Assign(TPersistent* Source) override;

  TcxEditorPropertiesCollection* Editors() const { return editors_.get(); }
  bool Fixed() const { return fixed_; }
  void SetFixed(bool Value);
  TcxAlignmentVert SeparatorAlignmentVert() const { return sepAlignVert_; }
  void SetSeparatorAlignmentVert(TcxAlignmentVert Value);
  TSeparatorKind SeparatorKind() const { return separatorKind_; }
  void SetSeparatorKind(TSeparatorKind Value);
  const String& SeparatorString() const { return separatorString_; }
  void SetSeparatorString(const String& Value);

 private:
  TObjectPtr<TcxEditorPropertiesCollection> editors_;
  bool fixed_ = false;
  TcxAlignmentVert sepAlignVert_ = vaTop;
  TSeparatorKind separatorKind_ = skVertLine;
  String separatorString_;
};

// ---------------------------------------------------------------------------
// Cell containers
// ---------------------------------------------------------------------------

class TcxEditorRowPropertiesOptions : public TcxCustomEditContainerItemOptions {
  VARNEL_CLASS(TcxEditorRowPropertiesOptions, TcxCustomEditContainerItemOptions)
 public:
  using TcxCustomEditContainerItemOptions::TcxCustomEditContainerItemOptions;
};

class TcxMultiEditorRowPropertiesOptions
    : public TcxEditorRowPropertiesOptions {
  VARNEL_CLASS(TcxMultiEditorRowPropertiesOptions,
               TcxEditorRowPropertiesOptions)
 public:
  using TcxEditorRowPropertiesOptions::TcxEditorRowPropertiesOptions;
};

class TcxRowValueInfo;

// The edit container behind one value cell of a row.
class TcxCellEdit : public TcxCustomInplaceEditContainer {
  VARNEL_CLASS(TcxCellEdit, TcxCustomInplaceEditContainer)
 public:
  explicit TcxCellEdit(TComponent* AOwner);
  TcxCellEdit(TcxCustomRow* ARow, TcxCustomEditorRowProperties* AOwner);

  TcxCustomRow* Row() const { return row_; }
  TcxCustomEditorRowProperties* EditRowProperties() const { return owner_; }
  Integer CellIndex() const { return cellIndex_; }
  void SetCellIndex(Integer Value) { cellIndex_ = Value; }
  bool Calculating() const { return calculating_; }
  TcxCustomVerticalGrid* Grid() const;
  TcxCustomRowViewInfo* GetViewInfo() const;

  void Calculate(TcxRowValueInfo* AValueInfo);

  // overrides
  bool CanEdit() override;
  bool CanFocus() override;
  bool CanInitEditing() override;
  bool CanTabStop() override;
  void DoGetDisplayText(Integer ARecordIndex, String& AText) override;
  TcxCustomEditProperties* DoGetPropertiesFromEvent(
      const TcxGetEditPropertiesEvent& AEvent, void* AData,
      TcxCustomEditProperties* AProperties) override;
  TcxCustomEditProperties* DoGetEditProperties(void* AData) override;
  void DoGetEditingProperties(void* AData,
                              TcxCustomEditProperties*& AProperties) override;
  Variant GetCurrentValue() override;
  void GetDisplayValue(TcxCustomEditProperties* AProperties, Integer ARow,
                       Variant& AValue) override;
  Variant GetValue(Integer ARow) override;
  Integer GetValueCount() override;
  bool HasDataTextHandler() override;
  void PropertiesChanged() override;
  void SetCurrentValue(const Variant& Value) override;
  void SetValue(Integer ARow, const Variant& Value) override;

 protected:
  TcxDataBindingClass GetDataBindingClass() override;
  TObjectPtr<TcxCustomEditContainerItemOptions> CreateOptions() override;

 private:
  Integer RecordOfRow(Integer ARow);
  TcxCustomRow* row_ = nullptr;
  TcxCustomEditorRowProperties* owner_ = nullptr;
  Integer cellIndex_ = 0;
  bool calculating_ = false;
};

// ---------------------------------------------------------------------------
// Rows
// ---------------------------------------------------------------------------

class TcxCustomRow : public TComponent {
  VARNEL_CLASS(TcxCustomRow, TComponent)
 public:
  // construction
  explicit TcxCustomRow(TComponent* AOwner);
  ~TcxCustomRow() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* Source) override;

  // properties
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool Value);
  Integer Height() const { return height_; }
  void SetHeight(Integer Value);
  Integer ID() const { return id_; }
  void SetID(Integer Value) { id_ = Value; }
  Integer Index() const { return index_; }
  void SetIndex(Integer Value);
  Integer LoadedIndex() const { return loadedIndex_; }
  void SetLoadedIndex(Integer Value) { loadedIndex_ = Value; }
  const String& LoadedParentName() const { return loadedParentName_; }
  void SetLoadedParentName(const String& Value) { loadedParentName_ = Value; }
  TcxRowOptions* Options();
  TcxvgCustomRowStyles* Styles();
  TcxCustomRowProperties* Properties();
  TcxCustomVerticalGrid* VerticalGrid() const { return grid_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  Integer VisibleIndex() const { return visibleIndex_; }
  void SetVisibleIndex(Integer Value) { visibleIndex_ = Value; }
  // The parent link itself: the root for top-level rows.
  TcxCustomRow* ParentLink() const { return parent_; }

  // tree
  void Add(TcxCustomRow* ARow);
  void Insert(Integer AIndex, TcxCustomRow* ARow);
  void Delete(Integer AIndex);
  void Remove(TcxCustomRow* ARow);
  void RemoveAll();
  void RemoveChildren();
  Integer Count() const;
  Integer GetCount() const { return Count(); }
  TcxCustomRow* Rows(Integer AIndex) const;
  TcxCustomRow* GetRow(Integer AIndex) const { return Rows(AIndex); }
  Integer IndexOf(TcxCustomRow* ARow) const;
  TcxCustomRow* GetParent() const;
  void SetParent(TcxCustomRow* ARow);
  void Expand(bool ARecurse);
  void Collapse(bool ARecurse);
  TcxCustomRow* GetFirstVisibleChild() const;
  TcxCustomRow* GetLastVisibleChild() const;
  bool HasChildren() const { return Count() > 0; }
  bool HasVisibleChildren() const;
  bool IsFirst() const { return index_ == 0; }
  bool IsLast() const;
  bool IsFirstVisible() const;
  bool IsLastVisible() const;
  bool IsRootLevel() const;
  bool IsParent(TcxCustomRow* ARow) const;
  bool IsChild(TcxCustomRow* ARow) const {
    return ARow && ARow->IsParent(this);
  }
  bool IsParent(const TcxCustomRow* ARow) const;
  Integer GetLevel() const;
  Integer GetAbsoluteIndex() const;
  bool GetFocused() const;
  void SetFocused(bool Value);
  void MakeVisible();
  TcxCustomRowViewInfo* GetViewInfo();
  TcxCustomRowViewInfo* ViewInfoIfCreated() const { return viewInfo_.get(); }
  void FreeViewInfo();
  TcxVerticalGridRows* GetOwnerRows() const;
  bool IsHeightAssigned() const { return height_ >= 0; }
  bool IsDestroying() const { return destroying_; }
  void RestoreDefaults();

  // overridables
  virtual String GetObjectName();
  virtual bool CanFocus();
  virtual void Changed(bool ARebuildList = false);
  virtual TObjectPtr<TcxCustomRowHeaderInfo> CreateHeaderInfo() = 0;
  virtual TObjectPtr<TcxCustomRowViewInfo> CreateViewInfo() = 0;
  virtual Integer GetDefaultHeight();
  virtual TcxCellEdit* GetEditContainer(Integer ACellIndex);
  virtual Integer GetEditContainerCount();
  virtual Integer GetRealHeight();
  virtual void SetVerticalGrid(TcxCustomVerticalGrid* Value);

  // component streaming
  void SetName(const String& NewName) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  TComponent* GetParentComponent() override;
  bool HasParent() override { return true; }
  void SetParentComponent(TComponent* Value) override;

 protected:
  using TcxRowPropertiesClass =
      TObjectPtr<TcxCustomRowProperties> (*)(TcxCustomRow* ARow);
  using TcxRowOptionsClass = TObjectPtr<TcxRowOptions> (*)(TcxCustomRow* ARow);
  using TcxRowStylesClass =
      TObjectPtr<TcxvgCustomRowStyles> (*)(TcxCustomRow* ARow);
  virtual TcxRowPropertiesClass GetPropertiesClass() = 0;
  virtual TcxRowOptionsClass GetOptionsClass();
  virtual TcxRowStylesClass GetStylesClass() = 0;
  // Creates styles, properties and options through the class getters once
  // the object is whole.
  void EnsureParts();

 private:
  friend class TcxVerticalGridRows;
  friend class TcxCustomVerticalGrid;
  void ResetOwnerCount();
  void RenumberChildren(Integer AFrom = 0);
  void DetachFromParent();
  void InternalSetParent(TcxCustomRow* AParent) { parent_ = AParent; }

  bool expanded_ = true;
  Integer height_ = -1;
  Integer id_ = -1;
  Integer index_ = -1;
  Integer loadedIndex_ = 2147483647;
  String loadedParentName_;
  TObjectPtr<TcxRowOptions> options_;
  TcxCustomRow* parent_ = nullptr;
  std::unique_ptr<std::vector<TcxCustomRow*>> children_;
  TObjectPtr<TcxvgCustomRowStyles> styles_;
  TcxCustomVerticalGrid* grid_ = nullptr;
  TObjectPtr<TcxCustomRowViewInfo> viewInfo_;
  bool visible_ = true;
  Integer visibleIndex_ = -1;
  TObjectPtr<TcxCustomRowProperties> properties_;
  bool destroying_ = false;
  bool creatingParts_ = false;
};
using TcxCustomRowClass = TClass;

class TcxCategoryRow : public TcxCustomRow {
  VARNEL_CLASS(TcxCategoryRow, TcxCustomRow)
 public:
  explicit TcxCategoryRow(TComponent* AOwner) : TcxCustomRow(AOwner) {}
  TcxCaptionRowProperties* GetProperties() {
    return static_cast<TcxCaptionRowProperties*>(Properties());
  }
  TcxCategoryRowStyles* GetStyles() {
    return static_cast<TcxCategoryRowStyles*>(Styles());
  }
  bool CanFocus() override;
  TObjectPtr<TcxCustomRowHeaderInfo> CreateHeaderInfo() override;
  TObjectPtr<TcxCustomRowViewInfo> CreateViewInfo() override;
  Integer GetDefaultHeight() override;

 protected:
  TcxRowPropertiesClass GetPropertiesClass() override;
  TcxRowStylesClass GetStylesClass() override;
};

class TcxCustomEditorRow : public TcxCustomRow {
  VARNEL_CLASS(TcxCustomEditorRow, TcxCustomRow)
 public:
  explicit TcxCustomEditorRow(TComponent* AOwner) : TcxCustomRow(AOwner) {}
  TcxCustomEditorRowProperties* GetProperties() {
    return static_cast<TcxCustomEditorRowProperties*>(Properties());
  }
  TcxEditorRowStyles* GetStyles() {
    return static_cast<TcxEditorRowStyles*>(Styles());
  }
  TNotifyEvent EditPropertiesEvents;
  TNotifyEvent PropertiesEvents;

  bool CanFocus() override;
  TObjectPtr<TcxCustomRowHeaderInfo> CreateHeaderInfo() override;
  TObjectPtr<TcxCustomRowViewInfo> CreateViewInfo() override;
  Integer GetDefaultHeight() override;
  TcxCellEdit* GetEditContainer(Integer ACellIndex) override;
  Integer GetEditContainerCount() override { return 1; }
  void SetVerticalGrid(TcxCustomVerticalGrid* Value) override;
  void SetParentComponent(TComponent* Value) override;

 protected:
  TcxRowPropertiesClass GetPropertiesClass() override;
  TcxRowStylesClass GetStylesClass() override;
};

class TcxEditorRow : public TcxCustomEditorRow {
  VARNEL_CLASS(TcxEditorRow, TcxCustomEditorRow)
 public:
  explicit TcxEditorRow(TComponent* AOwner) : TcxCustomEditorRow(AOwner) {}
  TcxEditorRowProperties* GetProperties() {
    return static_cast<TcxEditorRowProperties*>(Properties());
  }

 protected:
  TcxRowPropertiesClass GetPropertiesClass() override;
};

class TcxCustomMultiEditorRow : public TcxCustomRow {
  VARNEL_CLASS(TcxCustomMultiEditorRow, TcxCustomRow)
 public:
  explicit TcxCustomMultiEditorRow(TComponent* AOwner) : TcxCustomRow(AOwner) {}
  TcxMultiEditorRowProperties* GetProperties() {
    return static_cast<TcxMultiEditorRowProperties*>(Properties());
  }
  TcxEditorRowStyles* GetStyles() {
    return static_cast<TcxEditorRowStyles*>(Styles());
  }

  bool CanFocus() override;
  TObjectPtr<TcxCustomRowHeaderInfo> CreateHeaderInfo() override;
  TObjectPtr<TcxCustomRowViewInfo> CreateViewInfo() override;
  Integer GetDefaultHeight() override;
  TcxCellEdit* GetEditContainer(Integer ACellIndex) override;
  Integer GetEditContainerCount() override;
  void SetVerticalGrid(TcxCustomVerticalGrid* Value) override;
  void SetParentComponent(TComponent* Value) override;

 protected:
  TcxRowPropertiesClass GetPropertiesClass() override;
  TcxRowStylesClass GetStylesClass() override;
};

class TcxMultiEditorRow : public TcxCustomMultiEditorRow {
  VARNEL_CLASS(TcxMultiEditorRow, TcxCustomMultiEditorRow)
 public:
  explicit TcxMultiEditorRow(TComponent* AOwner)
      : TcxCustomMultiEditorRow(AOwner) {}
};

// ---------------------------------------------------------------------------
// The rows container
// ---------------------------------------------------------------------------

class TcxVerticalGridRows : public TObject {
  VARNEL_CLASS(TcxVerticalGridRows, TObject)
 public:
  explicit TcxVerticalGridRows(TcxCustomVerticalGrid* AOwner) : grid_(AOwner) {}

  TcxCustomVerticalGrid* Grid() const { return grid_; }
  void Add(TcxCustomRow* ARow);
  void AddChild(TcxCustomRow* AParent, TcxCustomRow* ARow);
  void Remove(TcxCustomRow* ARow);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  [[nodiscard]] auto UpdateScope() {
    return MakeBracket(this, &TcxVerticalGridRows::BeginUpdate,
                       &TcxVerticalGridRows::EndUpdate);
  }
  Integer LockCount() const { return lockCount_; }
  Integer Count();
  TcxCustomRow* Items(Integer AIndex);
  void SetRow(Integer AIndex, TcxCustomRow* ARow);
  Integer IndexOf(TcxCustomRow* ARow);
  TcxCustomRow* GetRoot() const;
  Integer GetNextID() { return nextID_++; }
  Integer NextID() const { return nextID_; }
  TcxCustomRow* FindRowByID(Integer AID);
  TcxCustomRow* FindRowByStoredName(const String& AName);
  void RestoreDefaults();
  void AssignRows(TcxVerticalGridRows* Source);
  void PrepareList();
  // The tree changed: the flat list and the grid's visible rows are made
  // again when next asked for.
  void UnprepareList();
  bool IsPrepared() const { return preparedCount_ >= 0; }

  virtual void Changed(bool ARebuildList);

 private:
  void CheckPrepared();
  TcxCustomVerticalGrid* grid_;
  std::vector<TcxCustomRow*> list_;
  Integer preparedCount_ = -1;
  Integer lockCount_ = 0;
  Integer nextID_ = 0;
};
