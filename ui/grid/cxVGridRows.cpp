#include "cxVGridRows.h"

#include "SysUtils.h"
#include "cxVGrid.h"

void cxVerticalGridError(const String& AMessage) {
  throw EcxVerticalGridError(AMessage);
}

Integer TcxInterfacedCollectionItem::QueryInterface(const TGUID& iid,
                                                    void** obj) {
  if (iid == IInterface::IID) {
    *obj = static_cast<IInterface*>(this);
    return 0;
  }
  *obj = nullptr;
  return E_NOINTERFACE;
}

Integer TcxOwnedInterfacedPersistent::QueryInterface(const TGUID& iid,
                                                     void** obj) {
  if (iid == IInterface::IID) {
    *obj = static_cast<IInterface*>(this);
    return 0;
  }
  *obj = nullptr;
  return E_NOINTERFACE;
}

Integer cxVGridTextAlignmentFlags(TAlignment AHorz, TcxAlignmentVert AVert) {
  return cxAlignmentsHorz[AHorz] | cxAlignmentsVert[AVert];
}

// ---------------------------------------------------------------------------
// TcxRowOptions and row styles
// ---------------------------------------------------------------------------

TPersistent* TcxRowOptions::GetOwner() { return row_; }

void TcxRowOptions::SetNotified(bool& AField, bool Value) {
  if (AField == Value) return;
  AField = Value;
  Changed();
}

void TcxRowOptions::Changed() {
  if (row_) row_->Changed(false);
}

void TcxRowOptions::RestoreDefaults() {
  canAutoHeight_ = canMovedToCustForm_ = canResized_ = focusing_ = moving_ =
      showExpandButton_ = showInCustForm_ = tabStop_ = true;
  Changed();
}

void TcxRowOptions::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxRowOptions*>(Source);
  if (!source) return TPersistent::Assign(Source);
  canAutoHeight_ = source->canAutoHeight_;
  canMovedToCustForm_ = source->canMovedToCustForm_;
  canResized_ = source->canResized_;
  focusing_ = source->focusing_;
  moving_ = source->moving_;
  showExpandButton_ = source->showExpandButton_;
  showInCustForm_ = source->showInCustForm_;
  tabStop_ = source->tabStop_;
  Changed();
}

void TcxvgCustomRowStyles::Changed(Integer AIndex) {
  TcxStyles::Changed(AIndex);
  if (auto* row = dynamic_cast<TcxCustomRow*>(GetOwner())) row->Changed(false);
}

void TcxCategoryRowStyles::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCategoryRowStyles*>(Source))
    SetHeader(source->Header());
  TcxvgCustomRowStyles::Assign(Source);
}

void TcxEditorRowStyles::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxEditorRowStyles*>(Source))
    SetContent(source->Content());
  TcxCategoryRowStyles::Assign(Source);
}

// ---------------------------------------------------------------------------
// Row properties
// ---------------------------------------------------------------------------

namespace {
TcxCustomRow* RowOfCollection(TCollection* Collection) {
  auto* editors = dynamic_cast<TcxEditorPropertiesCollection*>(Collection);
  return editors ? editors->Row() : nullptr;
}
}  // namespace

TcxCustomRowProperties::TcxCustomRowProperties(TCollection* Collection)
    : TcxCustomRowProperties(RowOfCollection(Collection), Collection) {}

TcxCustomRowProperties::TcxCustomRowProperties(TcxCustomRow* ARow,
                                               TCollection* Collection)
    : TcxInterfacedCollectionItem(Collection), row_(ARow) {}

TPersistent* TcxCustomRowProperties::GetOwner() { return row_; }

void TcxCustomRowProperties::Changed() {
  if (Collection()) {
    TCollectionItem::Changed(true);
    return;
  }
  if (row_ && row_->Visible()) row_->Changed(false);
}

String TcxCaptionRowProperties::Caption() const {
  return captionAssigned_ ? caption_ : DefaultCaption();
}

void TcxCaptionRowProperties::SetCaption(const String& Value) {
  if (captionAssigned_ && caption_ == Value) return;
  caption_ = Value;
  captionAssigned_ = true;
  Changed();
}

bool TcxCaptionRowProperties::IsCaptionStored() const {
  return captionAssigned_ && caption_ != DefaultCaption();
}

void TcxCaptionRowProperties::SetHeaderAlignmentHorz(TAlignment Value) {
  if (alignHorz_ == Value) return;
  alignHorz_ = Value;
  Changed();
}

void TcxCaptionRowProperties::SetHeaderAlignmentVert(TcxAlignmentVert Value) {
  if (alignVert_ == Value) return;
  alignVert_ = Value;
  Changed();
}

void TcxCaptionRowProperties::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Changed();
}

void TcxCaptionRowProperties::RestoreDefaults() {
  captionAssigned_ = false;
  if (Row()) Row()->Changed(false);
}

void TcxCaptionRowProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCaptionRowProperties*>(Source);
  if (!source) return TcxCustomRowProperties::Assign(Source);
  TcxVerticalGridRows* rows = Row() ? Row()->GetOwnerRows() : nullptr;
  if (rows) rows->BeginUpdate();
  TScopeGuard end([rows] {
    if (rows) rows->EndUpdate();
  });
  caption_ = source->caption_;
  captionAssigned_ = source->captionAssigned_;
  imageIndex_ = source->imageIndex_;
  alignHorz_ = source->alignHorz_;
  alignVert_ = source->alignVert_;
  hint_ = source->hint_;
  Changed();
}

TcxCustomEditorRowProperties::TcxCustomEditorRowProperties(
    TCollection* Collection)
    : TcxCaptionRowProperties(Collection) {
  CreateContainer();
}

TcxCustomEditorRowProperties::TcxCustomEditorRowProperties(
    TcxCustomRow* ARow, TCollection* Collection)
    : TcxCaptionRowProperties(ARow, Collection) {
  CreateContainer();
}

TcxCustomEditorRowProperties::~TcxCustomEditorRowProperties() = default;

void TcxCustomEditorRowProperties::CreateContainer() {
  container_ = GetInplaceEditContainerClass()(this);
}

TcxCustomEditorRowProperties::TcxInplaceEditContainerClass
TcxCustomEditorRowProperties::GetInplaceEditContainerClass() {
  return [](TcxCustomEditorRowProperties* AOwner) {
    return TObjectPtr<TcxCellEdit>(new TcxCellEdit(AOwner->Row(), AOwner));
  };
}

TcxItemDataBinding* TcxCustomEditorRowProperties::DataBinding() const {
  return static_cast<TcxItemDataBinding*>(container_->DataBinding());
}
TcxCustomEditProperties* TcxCustomEditorRowProperties::EditProperties() const {
  return container_->PropertiesValue();
}
TClass TcxCustomEditorRowProperties::EditPropertiesClass() const {
  return container_->PropertiesClass();
}
void TcxCustomEditorRowProperties::SetEditPropertiesClass(TClass Value) {
  container_->SetPropertiesClass(Value);
}
String TcxCustomEditorRowProperties::EditPropertiesClassName() const {
  return container_->PropertiesClassName();
}
void TcxCustomEditorRowProperties::SetEditPropertiesClassName(
    const String& Value) {
  container_->SetPropertiesClassName(Value);
}
TcxEditRepositoryItem* TcxCustomEditorRowProperties::RepositoryItem() const {
  return container_->RepositoryItem();
}
void TcxCustomEditorRowProperties::SetRepositoryItem(
    TcxEditRepositoryItem* Value) {
  container_->SetRepositoryItem(Value);
}
TcxCustomEditContainerItemOptions* TcxCustomEditorRowProperties::Options()
    const {
  return container_->Options();
}
Integer TcxCustomEditorRowProperties::ItemIndex() const {
  return container_->ItemIndex();
}
TcxCustomInplaceEditContainer* TcxCustomEditorRowProperties::GetItemLink()
    const {
  return container_.get();
}
TcxCustomEditViewData* TcxCustomEditorRowProperties::GetEditViewData() const {
  return container_->EditViewData();
}

Variant TcxCustomEditorRowProperties::GetValue() const {
  return container_->GetCurrentValue();
}

void TcxCustomEditorRowProperties::SetValue(const Variant& AValue) {
  TcxDataController* dc = container_->DataController();
  if (!dc || dc->GetRowCount() == 0 || dc->GetFocusedRowIndex() < 0) return;
  if (container_->ItemIndex() < 0) return;
  if (dc->GetEditState().Contains(dceEdit))
    dc->SetEditValue(container_->ItemIndex(), AValue, evsValue);
  else
    dc->SetValue(dc->GetFocusedRecordIndex(), container_->ItemIndex(), AValue);
}

Variant TcxCustomEditorRowProperties::GetValueByIndex(Integer AIndex) const {
  return container_->GetValue(AIndex);
}

String TcxCustomEditorRowProperties::GetDisplayText(Integer AIndex) {
  Variant value;
  TcxCustomEditProperties* props = container_->DoGetEditProperties(
      reinterpret_cast<void*>(static_cast<intptr_t>(AIndex)));
  container_->GetDisplayValue(props, AIndex, value);
  String text =
      VarIsNull(value) || VarIsEmpty(value) ? String() : VarToStr(value);
  DoGetDisplayTextEvent(AIndex, text);
  return text;
}

void TcxCustomEditorRowProperties::DoGetDisplayTextEvent(Integer ARecordIndex,
                                                         String& AText) {
  if (OnGetDisplayText) OnGetDisplayText(this, ARecordIndex, AText);
}

void TcxCustomEditorRowProperties::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomEditorRowProperties*>(Source))
    container_->Assign(source->container_.get());
  TcxCaptionRowProperties::Assign(Source);
}

void TcxEditorRowProperties::Assign(TPersistent* Source) {
  TcxCustomEditorRowProperties::Assign(Source);
  auto* source = dynamic_cast<TcxCustomEditorRowProperties*>(Source);
  if (source && !(Row() && Row()->VerticalGrid() &&
                  Row()->VerticalGrid()->Is<TcxVirtualVerticalGrid>()))
    SetValue(source->GetValue());
}

TcxCollectionItemEditorRowProperties::TcxCollectionItemEditorRowProperties(
    TCollection* Collection)
    : TcxCustomEditorRowProperties(Collection) {
  auto* multi = dynamic_cast<TcxCustomMultiEditorRow*>(Row());
  TcxMultiEditorRowProperties* rowProps =
      multi ? static_cast<TcxMultiEditorRowProperties*>(multi->Properties())
            : nullptr;
  if (rowProps) rowProps->SetLocked(true);
  width_ = 50;
  if (multi && multi->VerticalGrid())
    EditContainer()->SetEditingControl(multi->VerticalGrid());
  if (rowProps) rowProps->SetLocked(false);
}

TPersistent* TcxCollectionItemEditorRowProperties::GetOwner() {
  return Collection();
}

void TcxCollectionItemEditorRowProperties::SetWidth(Integer Value) {
  if (Value < 20) Value = 20;
  if (width_ == Value) return;
  width_ = Value;
  Changed();
}

void TcxCollectionItemEditorRowProperties::Assign(TPersistent* Source) {
  TcxCustomEditorRowProperties::Assign(Source);
  if (auto* source =
          dynamic_cast<TcxCollectionItemEditorRowProperties*>(Source))
    SetWidth(source->Width());
}

void TcxEditorRowItemProperties::Assign(TPersistent* Source) {
  TcxCollectionItemEditorRowProperties::Assign(Source);
  if (auto* source = dynamic_cast<TcxCustomEditorRowProperties*>(Source))
    SetValue(source->GetValue());
}

TcxEditorPropertiesCollection::TcxEditorPropertiesCollection(
    TcxMultiEditorRowProperties* AOwner)
    : TCollection(TcxEditorRowItemProperties::StaticClass()), owner_(AOwner) {}

TcxEditorRowItemProperties* TcxEditorPropertiesCollection::Add() {
  return static_cast<TcxEditorRowItemProperties*>(TCollection::Add());
}

TPersistent* TcxEditorPropertiesCollection::GetOwner() { return owner_; }

TcxCustomMultiEditorRow* TcxEditorPropertiesCollection::Row() const {
  return owner_ ? static_cast<TcxCustomMultiEditorRow*>(owner_->Row())
                : nullptr;
}

String TcxEditorPropertiesCollection::GetNamePath() {
  TcxCustomRow* row = Row();
  String base = !row                  ? String()
                : row->Name().empty() ? row->GetNamePath()
                                      : row->Name();
  const String prop = GetPropName();
  return prop.empty() ? base + "." : base + "." + prop;
}

void TcxEditorPropertiesCollection::Update(TCollectionItem* Item) {
  (void)Item;
  for (Integer i = 0; i < Count(); ++i)
    GetItem(i)->EditContainer()->SetCellIndex(i);
  TcxCustomMultiEditorRow* row = Row();
  if (!row) return;
  TcxCustomVerticalGrid* grid = row->VerticalGrid();
  if (!grid || grid->ComponentState().Contains(csLoading)) return;
  grid->HideEdit();
  if (owner_->Locked()) return;
  if (TcxCustomRowViewInfo* info = row->ViewInfoIfCreated()) {
    info->ClearValueInfos();
    if (grid->GetFocusedRow() == row) grid->SetFocusedRow(nullptr);
  }
  row->Changed(false);
}

TcxMultiEditorRowProperties::TcxMultiEditorRowProperties(
    TcxCustomRow* ARow, TCollection* Collection)
    : TcxCustomRowProperties(ARow, Collection),
      editors_(new TcxEditorPropertiesCollection(this)) {}

TcxMultiEditorRowProperties::~TcxMultiEditorRowProperties() = default;

void TcxMultiEditorRowProperties::SetFixed(bool Value) {
  if (fixed_ == Value) return;
  fixed_ = Value;
  Changed();
}
void TcxMultiEditorRowProperties::SetSeparatorAlignmentVert(
    TcxAlignmentVert Value) {
  if (sepAlignVert_ == Value) return;
  sepAlignVert_ = Value;
  Changed();
}
void TcxMultiEditorRowProperties::SetSeparatorKind(TSeparatorKind Value) {
  if (separatorKind_ == Value) return;
  separatorKind_ = Value;
  Changed();
}
void TcxMultiEditorRowProperties::SetSeparatorString(const String& Value) {
  if (separatorString_ == Value) return;
  separatorString_ = Value;
  Changed();
}

void TcxMultiEditorRowProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxMultiEditorRowProperties*>(Source);
  if (!source) return TcxCustomRowProperties::Assign(Source);
  SetFixed(source->fixed_);
  SetSeparatorAlignmentVert(source->sepAlignVert_);
  SetSeparatorKind(source->separatorKind_);
  SetSeparatorString(source->separatorString_);
  editors_->Assign(source->editors_.get());
}

// ---------------------------------------------------------------------------
// TcxCellEdit
// ---------------------------------------------------------------------------

TcxCellEdit::TcxCellEdit(TComponent* AOwner)
    : TcxCustomInplaceEditContainer(AOwner) {}

TcxCellEdit::TcxCellEdit(TcxCustomRow* ARow,
                         TcxCustomEditorRowProperties* AOwner)
    : TcxCustomInplaceEditContainer(nullptr), row_(ARow), owner_(AOwner) {}

TcxCustomVerticalGrid* TcxCellEdit::Grid() const {
  return static_cast<TcxCustomVerticalGrid*>(EditingControl());
}

TcxCustomRowViewInfo* TcxCellEdit::GetViewInfo() const {
  return row_ ? row_->ViewInfoIfCreated() : nullptr;
}

TcxCustomInplaceEditContainer::TcxDataBindingClass
TcxCellEdit::GetDataBindingClass() {
  return cxSubObjectClass<TcxItemDataBinding, TcxCustomItemDataBinding,
                          TcxCustomInplaceEditContainer>();
}

TObjectPtr<TcxCustomEditContainerItemOptions> TcxCellEdit::CreateOptions() {
  if (row_ && row_->Is<TcxCustomMultiEditorRow>())
    return TObjectPtr<TcxCustomEditContainerItemOptions>(
        new TcxMultiEditorRowPropertiesOptions(this));
  return TObjectPtr<TcxCustomEditContainerItemOptions>(
      new TcxEditorRowPropertiesOptions(this));
}

Integer TcxCellEdit::RecordOfRow(Integer ARow) {
  TcxDataController* dc = DataController();
  if (!dc || ARow < 0 || ARow >= dc->GetRowCount()) return -1;
  return dc->GetRowInfo(ARow).RecordIndex;
}

Variant TcxCellEdit::GetValue(Integer ARow) {
  TcxDataController* dc = DataController();
  const Integer record = RecordOfRow(ARow);
  if (!dc || record < 0 || ItemIndex() < 0) return Null();
  return dc->GetValue(record, ItemIndex());
}

Variant TcxCellEdit::GetCurrentValue() {
  TcxDataController* dc = DataController();
  if (!dc || dc->GetRowCount() == 0) return Null();
  return GetValue(dc->GetFocusedRowIndex());
}

void TcxCellEdit::SetValue(Integer ARow, const Variant& Value) {
  TcxDataController* dc = DataController();
  const Integer record = RecordOfRow(ARow);
  if (!dc || record < 0 || ItemIndex() < 0) return;
  dc->SetValue(record, ItemIndex(), Value);
}

void TcxCellEdit::SetCurrentValue(const Variant& Value) {
  TcxDataController* dc = DataController();
  if (!dc || dc->GetRowCount() == 0) return;
  SetValue(dc->GetFocusedRowIndex(), Value);
}

Integer TcxCellEdit::GetValueCount() {
  TcxDataController* dc = DataController();
  return dc ? dc->GetRowCount() : 0;
}

void TcxCellEdit::GetDisplayValue(TcxCustomEditProperties* AProperties,
                                  Integer ARecord, Variant& AValue) {
  // The value infos ask by record; the cell speaks of records directly.
  TcxDataController* dc = DataController();
  if (!dc || dc->GetRowCount() == 0 || ItemIndex() < 0) {
    AValue = String();
    return;
  }
  // A cell can outlive its record for a moment when records go away.
  if (ARecord < 0 || ARecord >= dc->GetRecordCount()) {
    AValue = Null();
    return;
  }
  if (!AProperties || AProperties->GetEditValueSource(false) == evsValue)
    AValue = dc->GetValue(ARecord, ItemIndex());
  else
    AValue = dc->GetDisplayText(ARecord, ItemIndex());
}

bool TcxCellEdit::CanEdit() {
  TcxCustomVerticalGrid* grid = Grid();
  TcxDataController* dc = DataController();
  return CanFocus() && grid && grid->OptionsData()->Editing() &&
         Options()->Editing() && dc &&
         dc->GetEditOperations().Contains(dceoShowEdit);
}

bool TcxCellEdit::CanFocus() {
  return row_ && row_->Options()->Focusing() &&
         TcxCustomInplaceEditContainer::CanFocus();
}

bool TcxCellEdit::CanTabStop() {
  return row_ && row_->Options()->TabStop() &&
         TcxCustomInplaceEditContainer::CanTabStop();
}

bool TcxCellEdit::CanInitEditing() {
  if (!TcxCustomInplaceEditContainer::CanInitEditing()) return false;
  TcxCustomVerticalGrid* grid = Grid();
  if (!grid) return true;
  return !(grid->DragAndDropState() != ddsNone && grid->IsAutoDragMode() &&
           grid->GetHitTest()->HasCode(vghc_HitAtValue));
}

void TcxCellEdit::DoGetDisplayText(Integer ARecordIndex, String& AText) {
  if (owner_) owner_->DoGetDisplayTextEvent(ARecordIndex, AText);
}

bool TcxCellEdit::HasDataTextHandler() {
  return owner_ && static_cast<bool>(owner_->OnGetDisplayText);
}

TcxCustomEditProperties* TcxCellEdit::DoGetPropertiesFromEvent(
    const TcxGetEditPropertiesEvent& AEvent, void* AData,
    TcxCustomEditProperties* AProperties) {
  (void)AEvent;
  return TcxCustomInplaceEditContainer::DoGetPropertiesFromEvent(
      TcxGetEditPropertiesEvent(), AData, AProperties);
}

TcxCustomEditProperties* TcxCellEdit::DoGetEditProperties(void* AData) {
  TcxCustomEditProperties* props =
      TcxCustomInplaceEditContainer::DoGetEditProperties(AData);
  if (owner_ && owner_->OnGetEditProperties) {
    TcxCustomEditProperties* answer = props;
    owner_->OnGetEditProperties(
        owner_, static_cast<Integer>(reinterpret_cast<intptr_t>(AData)),
        answer);
    if (answer) {
      InitProperties(answer);
      return answer;
    }
  }
  return props;
}

void TcxCellEdit::DoGetEditingProperties(
    void* AData, TcxCustomEditProperties*& AProperties) {
  TcxCustomInplaceEditContainer::DoGetEditingProperties(AData, AProperties);
  if (owner_ && owner_->OnGetEditingProperties) {
    TcxCustomEditProperties* answer = AProperties;
    owner_->OnGetEditingProperties(
        owner_, static_cast<Integer>(reinterpret_cast<intptr_t>(AData)),
        answer);
    if (answer) {
      InitProperties(answer);
      AProperties = answer;
    }
  }
}

void TcxCellEdit::Calculate(TcxRowValueInfo* AValueInfo) {
  calculating_ = true;
  TScopeGuard done([this] { calculating_ = false; });
  InitEditViewInfo(AValueInfo);
  CalculateEditViewInfo(AValueInfo->Value(), AValueInfo, TPoint{-1, -1});
}

void TcxCellEdit::PropertiesChanged() {
  TcxCustomRowViewInfo* info = GetViewInfo();
  if (!info || calculating_) {
    TcxCustomInplaceEditContainer::PropertiesChanged();
    return;
  }
  info->ClearValueInfos();
  TcxCustomInplaceEditContainer::PropertiesChanged();
}

// ---------------------------------------------------------------------------
// TcxCustomRow
// ---------------------------------------------------------------------------

TcxCustomRow::TcxCustomRow(TComponent* AOwner) : TComponent(AOwner) {}

TcxCustomRow::~TcxCustomRow() = default;

void TcxCustomRow::BeforeDestruction() {
  destroying_ = true;
  if (grid_ && this != grid_->RootRow())
    grid_->RemoveRowFromVerticalGrid(this);
  else
    RemoveChildren();
  DetachFromParent();
  viewInfo_.reset();
  // The cells leave the grid while the row is still whole.
  properties_.reset();
  TComponent::BeforeDestruction();
}

void TcxCustomRow::EnsureParts() {
  if (properties_ || creatingParts_) return;
  creatingParts_ = true;
  TScopeGuard done([this] { creatingParts_ = false; });
  styles_ = GetStylesClass()(this);
  properties_ = GetPropertiesClass()(this);
  options_ = GetOptionsClass()(this);
}

TcxRowOptions* TcxCustomRow::Options() {
  EnsureParts();
  return options_.get();
}
TcxvgCustomRowStyles* TcxCustomRow::Styles() {
  EnsureParts();
  return styles_.get();
}
TcxCustomRowProperties* TcxCustomRow::Properties() {
  EnsureParts();
  return properties_.get();
}

TcxCustomRow::TcxRowOptionsClass TcxCustomRow::GetOptionsClass() {
  return [](TcxCustomRow* ARow) {
    return TObjectPtr<TcxRowOptions>(new TcxRowOptions(ARow));
  };
}

void TcxCustomRow::ResetOwnerCount() {
  if (grid_ && grid_->Rows()) grid_->Rows()->UnprepareList();
}

void TcxCustomRow::RenumberChildren(Integer AFrom) {
  if (!children_ || destroying_) return;
  for (size_t i = static_cast<size_t>(std::max<Integer>(AFrom, 0));
       i < children_->size(); ++i)
    (*children_)[i]->index_ = static_cast<Integer>(i);
}

void TcxCustomRow::DetachFromParent() {
  if (!parent_) return;
  TcxCustomRow* parent = parent_;
  if (parent->children_) {
    // Rows are freed last first: look from the end.
    auto& list = *parent->children_;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if (*it == this) {
        const Integer from = static_cast<Integer>(list.rend() - it) - 1;
        list.erase(std::next(it).base());
        parent->RenumberChildren(from);
        break;
      }
  }
  parent_ = nullptr;
  index_ = -1;
  parent->ResetOwnerCount();
}

void TcxCustomRow::Add(TcxCustomRow* ARow) { Insert(Count(), ARow); }

void TcxCustomRow::Insert(Integer AIndex, TcxCustomRow* ARow) {
  if (!ARow) return;
  if (!children_) children_.reset(new std::vector<TcxCustomRow*>());
  ARow->parent_ = this;
  ARow->SetVerticalGrid(grid_);
  AIndex = std::clamp<Integer>(AIndex, 0, Count());
  children_->insert(children_->begin() + AIndex, ARow);
  // Only the rows from the new one on move: appending stays cheap.
  RenumberChildren(AIndex);
  ResetOwnerCount();
}

void TcxCustomRow::Delete(Integer AIndex) {
  if (AIndex < 0 || !children_ || AIndex >= Count())
    cxVerticalGridError(cxGetResourceString(cxSvgIndexError));
  TcxCustomRow* child = (*children_)[static_cast<size_t>(AIndex)];
  children_->erase(children_->begin() + AIndex);
  RenumberChildren();
  child->parent_ = nullptr;
  child->index_ = -1;
  ResetOwnerCount();
}

void TcxCustomRow::Remove(TcxCustomRow* ARow) { Delete(IndexOf(ARow)); }

void TcxCustomRow::RemoveAll() {
  while (children_ && !children_->empty()) Free(children_->front());
  children_.reset();
  ResetOwnerCount();
}

void TcxCustomRow::RemoveChildren() {
  DetachFromParent();
  RemoveAll();
}

Integer TcxCustomRow::Count() const {
  return children_ ? static_cast<Integer>(children_->size()) : 0;
}

TcxCustomRow* TcxCustomRow::Rows(Integer AIndex) const {
  if (!children_) cxVerticalGridError(cxGetResourceString(cxSvgIndexError));
  if (AIndex < 0 || AIndex >= Count())
    throw EListError("List index out of bounds (%d)", {AIndex});
  return (*children_)[static_cast<size_t>(AIndex)];
}

Integer TcxCustomRow::IndexOf(TcxCustomRow* ARow) const {
  if (!children_) return -1;
  for (size_t i = 0; i < children_->size(); ++i)
    if ((*children_)[i] == ARow) return static_cast<Integer>(i);
  return -1;
}

TcxCustomRow* TcxCustomRow::GetParent() const {
  if (!parent_ || (grid_ && parent_ == grid_->RootRow())) return nullptr;
  return parent_;
}

void TcxCustomRow::SetParent(TcxCustomRow* ARow) {
  if (ARow == this) return;
  if (!ARow) ARow = grid_ ? grid_->RootRow() : nullptr;
  if (!ARow || ARow == parent_) return;
  DetachFromParent();
  ARow->Add(this);
  Changed(true);
}

void TcxCustomRow::SetIndex(Integer Value) {
  if (!parent_ || Value < 0 || Value >= parent_->Count() || Value == index_)
    return;
  auto& list = *parent_->children_;
  list.erase(list.begin() + index_);
  list.insert(list.begin() + Value, this);
  parent_->RenumberChildren();
  ResetOwnerCount();
  Changed(true);
}

void TcxCustomRow::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed(true);
}

void TcxCustomRow::SetExpanded(bool Value) {
  if (expanded_ == Value) return;
  expanded_ = Value;
  Changed(HasChildren());
}

void TcxCustomRow::SetHeight(Integer Value) {
  if (Value < -1) Value = -1;
  if (height_ == Value) return;
  height_ = Value;
  Changed(false);
}

void TcxCustomRow::Expand(bool ARecurse) {
  if (!HasChildren()) {
    expanded_ = true;
    return;
  }
  TcxVerticalGridRows* rows = GetOwnerRows();
  if (rows) rows->BeginUpdate();
  TScopeGuard end([rows] {
    if (rows) rows->EndUpdate();
  });
  expanded_ = true;
  if (ARecurse)
    for (TcxCustomRow* child : *children_) child->Expand(true);
}

void TcxCustomRow::Collapse(bool ARecurse) {
  if (!HasChildren()) {
    expanded_ = false;
    return;
  }
  TcxVerticalGridRows* rows = GetOwnerRows();
  if (rows) rows->BeginUpdate();
  TScopeGuard end([rows] {
    if (rows) rows->EndUpdate();
  });
  expanded_ = false;
  if (ARecurse)
    for (TcxCustomRow* child : *children_) child->Collapse(true);
}

TcxCustomRow* TcxCustomRow::GetFirstVisibleChild() const {
  if (children_)
    for (TcxCustomRow* child : *children_)
      if (child->Visible()) return child;
  return nullptr;
}

TcxCustomRow* TcxCustomRow::GetLastVisibleChild() const {
  if (!children_) return nullptr;
  for (auto it = children_->rbegin(); it != children_->rend(); ++it)
    if ((*it)->Visible()) {
      TcxCustomRow* child = *it;
      if (child->Expanded())
        if (TcxCustomRow* deeper = child->GetLastVisibleChild()) return deeper;
      return child;
    }
  return nullptr;
}

bool TcxCustomRow::HasVisibleChildren() const {
  return GetFirstVisibleChild() != nullptr;
}

bool TcxCustomRow::IsLast() const {
  return parent_ && index_ == parent_->Count() - 1;
}

bool TcxCustomRow::IsFirstVisible() const {
  return parent_ && parent_->GetFirstVisibleChild() == this;
}

bool TcxCustomRow::IsLastVisible() const {
  if (!parent_ || !parent_->children_) return false;
  for (auto it = parent_->children_->rbegin(); it != parent_->children_->rend();
       ++it)
    if ((*it)->Visible()) return *it == this;
  return false;
}

bool TcxCustomRow::IsRootLevel() const {
  return parent_ && grid_ && parent_ == grid_->RootRow();
}

bool TcxCustomRow::IsParent(const TcxCustomRow* ARow) const {
  if (!ARow) return false;
  for (TcxCustomRow* p = ARow->parent_; p; p = p->parent_)
    if (p == this) return true;
  return false;
}

bool TcxCustomRow::IsParent(TcxCustomRow* ARow) const {
  return IsParent(static_cast<const TcxCustomRow*>(ARow));
}

Integer TcxCustomRow::GetLevel() const {
  Integer level = 0;
  for (TcxCustomRow* p = parent_; p && p->parent_; p = p->parent_) ++level;
  return level;
}

Integer TcxCustomRow::GetAbsoluteIndex() const {
  TcxVerticalGridRows* rows = GetOwnerRows();
  return rows ? rows->IndexOf(const_cast<TcxCustomRow*>(this)) : -1;
}

bool TcxCustomRow::GetFocused() const {
  return grid_ && grid_->GetFocusedRow() == this;
}

void TcxCustomRow::SetFocused(bool Value) {
  if (!grid_ || GetFocused() == Value) return;
  grid_->SetFocusedRow(Value ? this : nullptr);
}

void TcxCustomRow::MakeVisible() {
  if (grid_) grid_->VGController()->MakeRowVisible(this);
}

TcxCustomRowViewInfo* TcxCustomRow::GetViewInfo() {
  if (!viewInfo_) viewInfo_ = CreateViewInfo();
  return viewInfo_.get();
}

void TcxCustomRow::FreeViewInfo() { viewInfo_.reset(); }

TcxVerticalGridRows* TcxCustomRow::GetOwnerRows() const {
  return grid_ ? grid_->Rows() : nullptr;
}

Integer TcxCustomRow::GetRealHeight() {
  return std::max(height_, GetDefaultHeight());
}

void TcxCustomRow::RestoreDefaults() {
  height_ = -1;
  Options()->RestoreDefaults();
}

String TcxCustomRow::GetObjectName() {
  if (grid_ && grid_->StoringByName() && !Name().empty()) return Name();
  return IntToStr(id_);
}

bool TcxCustomRow::CanFocus() { return Options()->Focusing(); }

void TcxCustomRow::Changed(bool ARebuildList) {
  if (grid_ && grid_->Rows() && this != grid_->RootRow())
    grid_->Rows()->Changed(ARebuildList);
}

namespace {
Integer HeaderFontHeight(TcxCustomRow* ARow, const TcxViewParams& AParams) {
  TFont* font = AParams.Font ? AParams.Font : ARow->VerticalGrid()->Font();
  return ScreenCanvas()->FontHeight(font);
}
}  // namespace

Integer TcxCustomRow::GetDefaultHeight() {
  if (!grid_) return 0;
  const TcxViewParams params = grid_->Styles()->GetHeaderParams(this);
  return std::max(HeaderFontHeight(this, params) + 2,
                  grid_->OptionsView()->RowHeight());
}

TcxCellEdit* TcxCustomRow::GetEditContainer(Integer) { return nullptr; }
Integer TcxCustomRow::GetEditContainerCount() { return 0; }

void TcxCustomRow::SetVerticalGrid(TcxCustomVerticalGrid* Value) {
  if (grid_ == Value) return;
  grid_ = Value;
  if (grid_ && grid_->Rows()) id_ = grid_->Rows()->GetNextID();
  if (children_)
    for (TcxCustomRow* child : *children_) child->SetVerticalGrid(Value);
}

void TcxCustomRow::SetName(const String& NewName) {
  const bool changed = NewName != Name();
  TComponent::SetName(NewName);
  if (changed && !ComponentState().Contains(csLoading)) Changed(false);
}

void TcxCustomRow::GetChildren(const TGetChildProc& Proc, TComponent*) {
  if (children_)
    for (TcxCustomRow* child : *children_) Proc(child);
}

TComponent* TcxCustomRow::GetParentComponent() {
  if (parent_) return parent_;
  return grid_;
}

void TcxCustomRow::SetParentComponent(TComponent* Value) {
  DetachFromParent();
  if (auto* grid = dynamic_cast<TcxCustomVerticalGrid*>(Value)) {
    SetVerticalGrid(grid);
    grid->RootRow()->Add(this);
  } else if (auto* row = dynamic_cast<TcxCustomRow*>(Value)) {
    row->Add(this);
  }
}

void TcxCustomRow::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomRow*>(Source);
  if (!source) return TComponent::Assign(Source);
  height_ = source->height_;
  visible_ = source->visible_;
  expanded_ = source->expanded_;
  Properties()->Assign(source->Properties());
  Styles()->Assign(source->Styles());
}

// ---------------------------------------------------------------------------
// Row kinds
// ---------------------------------------------------------------------------

template <class TProps>
TObjectPtr<TcxCustomRowProperties> MakeRowProperties(TcxCustomRow* ARow) {
  return TObjectPtr<TcxCustomRowProperties>(new TProps(ARow, nullptr));
}
template <class TStyles>
TObjectPtr<TcxvgCustomRowStyles> MakeRowStyles(TcxCustomRow* ARow) {
  return TObjectPtr<TcxvgCustomRowStyles>(new TStyles(ARow));
}

TcxCustomRow::TcxRowPropertiesClass TcxCategoryRow::GetPropertiesClass() {
  return &MakeRowProperties<TcxCaptionRowProperties>;
}
TcxCustomRow::TcxRowStylesClass TcxCategoryRow::GetStylesClass() {
  return &MakeRowStyles<TcxCategoryRowStyles>;
}
bool TcxCategoryRow::CanFocus() { return Options()->Focusing(); }

Integer TcxCategoryRow::GetDefaultHeight() {
  TcxCustomVerticalGrid* grid = VerticalGrid();
  if (!grid) return 0;
  const TcxViewParams params = grid->Styles()->GetCategoryParams(this);
  Integer h = std::max(HeaderFontHeight(this, params) + 4,
                       grid->OptionsView()->RowHeight());
  TcxvgCustomViewInfo* info = grid->VGViewInfo();
  if (info && info->CategoryExplorerStyle &&
      !grid->LookAndFeel()->SkinPainter())
    h = std::max(h, info->ExplorerButtonSize.cy + 2);
  return h;
}

TcxCustomRow::TcxRowPropertiesClass TcxCustomEditorRow::GetPropertiesClass() {
  return &MakeRowProperties<TcxCustomEditorRowProperties>;
}
TcxCustomRow::TcxRowStylesClass TcxCustomEditorRow::GetStylesClass() {
  return &MakeRowStyles<TcxEditorRowStyles>;
}
TcxCustomRow::TcxRowPropertiesClass TcxEditorRow::GetPropertiesClass() {
  return &MakeRowProperties<TcxEditorRowProperties>;
}

bool TcxCustomEditorRow::CanFocus() {
  return Options()->Focusing() &&
         GetProperties()->EditContainer()->Options()->Focusing();
}

Integer TcxCustomEditorRow::GetDefaultHeight() {
  TcxCustomVerticalGrid* grid = VerticalGrid();
  if (!grid) return 0;
  const TcxViewParams params =
      grid->Styles()->GetContentParams(GetProperties(), false, -1);
  TFont* font = params.Font ? params.Font : grid->Font();
  return std::max(
      GetProperties()->EditContainer()->GetEditDefaultHeight(font) + 2,
      TcxCustomRow::GetDefaultHeight());
}

TcxCellEdit* TcxCustomEditorRow::GetEditContainer(Integer) {
  return GetProperties()->EditContainer();
}

void TcxCustomEditorRow::SetVerticalGrid(TcxCustomVerticalGrid* Value) {
  const bool changed = Value != VerticalGrid();
  TcxCustomRow::SetVerticalGrid(Value);
  if (changed) GetProperties()->EditContainer()->SetEditingControl(Value);
}

void TcxCustomEditorRow::SetParentComponent(TComponent* Value) {
  TcxCustomRow::SetParentComponent(Value);
  TcxCustomVerticalGrid* grid = dynamic_cast<TcxCustomVerticalGrid*>(Value);
  if (!grid)
    if (auto* row = dynamic_cast<TcxCustomRow*>(Value))
      grid = row->VerticalGrid();
  GetProperties()->EditContainer()->SetEditingControl(grid);
}

TcxCustomRow::TcxRowPropertiesClass
TcxCustomMultiEditorRow::GetPropertiesClass() {
  return &MakeRowProperties<TcxMultiEditorRowProperties>;
}
TcxCustomRow::TcxRowStylesClass TcxCustomMultiEditorRow::GetStylesClass() {
  return &MakeRowStyles<TcxEditorRowStyles>;
}

bool TcxCustomMultiEditorRow::CanFocus() {
  if (!Options()->Focusing()) return false;
  TcxEditorPropertiesCollection* editors = GetProperties()->Editors();
  for (Integer i = 0; i < editors->Count(); ++i)
    if (editors->GetItem(i)->Options()->Focusing()) return true;
  return false;
}

Integer TcxCustomMultiEditorRow::GetDefaultHeight() {
  Integer h = TcxCustomRow::GetDefaultHeight();
  TcxCustomVerticalGrid* grid = VerticalGrid();
  if (!grid) return h;
  TcxEditorPropertiesCollection* editors = GetProperties()->Editors();
  for (Integer i = 0; i < editors->Count(); ++i) {
    TcxEditorRowItemProperties* cell = editors->GetItem(i);
    const TcxViewParams params =
        grid->Styles()->GetContentParams(cell, false, -1);
    TFont* font = params.Font ? params.Font : grid->Font();
    h = std::max(h, cell->EditContainer()->GetEditDefaultHeight(font) + 2);
  }
  return h;
}

TcxCellEdit* TcxCustomMultiEditorRow::GetEditContainer(Integer ACellIndex) {
  TcxEditorPropertiesCollection* editors = GetProperties()->Editors();
  if (ACellIndex < 0 || ACellIndex >= editors->Count()) return nullptr;
  return editors->GetItem(ACellIndex)->EditContainer();
}

Integer TcxCustomMultiEditorRow::GetEditContainerCount() {
  return GetProperties()->Editors()->Count();
}

void TcxCustomMultiEditorRow::SetVerticalGrid(TcxCustomVerticalGrid* Value) {
  const bool changed = Value != VerticalGrid();
  TcxCustomRow::SetVerticalGrid(Value);
  if (!changed) return;
  TcxEditorPropertiesCollection* editors = GetProperties()->Editors();
  for (Integer i = 0; i < editors->Count(); ++i)
    editors->GetItem(i)->EditContainer()->SetEditingControl(Value);
}

void TcxCustomMultiEditorRow::SetParentComponent(TComponent* Value) {
  TcxCustomRow::SetParentComponent(Value);
  TcxCustomVerticalGrid* grid = dynamic_cast<TcxCustomVerticalGrid*>(Value);
  if (!grid)
    if (auto* row = dynamic_cast<TcxCustomRow*>(Value))
      grid = row->VerticalGrid();
  TcxEditorPropertiesCollection* editors = GetProperties()->Editors();
  for (Integer i = 0; i < editors->Count(); ++i)
    editors->GetItem(i)->EditContainer()->SetEditingControl(grid);
}

// ---------------------------------------------------------------------------
// TcxVerticalGridRows
// ---------------------------------------------------------------------------

TcxCustomRow* TcxVerticalGridRows::GetRoot() const { return grid_->RootRow(); }

void TcxVerticalGridRows::Add(TcxCustomRow* ARow) {
  if (!ARow) return;
  GetRoot()->Add(ARow);
  UnprepareList();
}

void TcxVerticalGridRows::AddChild(TcxCustomRow* AParent, TcxCustomRow* ARow) {
  if (!AParent || !ARow) return;
  AParent->Add(ARow);
  UnprepareList();
}

void TcxVerticalGridRows::Remove(TcxCustomRow* ARow) {
  (void)ARow;
  // The flat list is made again from the tree when next needed; searching
  // it here would make freeing many rows quadratic.
  UnprepareList();
}

void TcxVerticalGridRows::Clear() {
  auto update = UpdateScope();
  grid_->SetFocusedRow(nullptr);
  GetRoot()->RemoveAll();
  UnprepareList();
}

void TcxVerticalGridRows::BeginUpdate() { ++lockCount_; }

void TcxVerticalGridRows::EndUpdate() {
  if (lockCount_ > 0 && --lockCount_ == 0) Changed(true);
}

void TcxVerticalGridRows::UnprepareList() {
  preparedCount_ = -1;
  if (TcxvgCustomViewInfo* info = grid_->VGViewInfo())
    info->InvalidateVisibleRows();
}

void TcxVerticalGridRows::Changed(bool ARebuildList) {
  if (ARebuildList) PrepareList();
  if (TcxvgCustomViewInfo* info = grid_->VGViewInfo())
    info->InvalidateVisibleRows();
  if (lockCount_ > 0) return;
  grid_->RowsChanged();
  grid_->OptionsView()->CheckRowHeaderWidth();
}

void TcxVerticalGridRows::PrepareList() {
  list_.clear();
  TcxCustomRow* root = GetRoot();
  TcxCustomRow* row = root && root->Count() > 0 ? root->Rows(0) : nullptr;
  while (row) {
    list_.push_back(row);
    if (row->Count() > 0) {
      row = row->Rows(0);
      continue;
    }
    // Climb to the nearest ancestor with a next sibling.
    while (row && row != root) {
      TcxCustomRow* parent = row->ParentLink();
      if (parent && row->Index() + 1 < parent->Count()) {
        row = parent->Rows(row->Index() + 1);
        break;
      }
      row = parent;
    }
    if (row == root) row = nullptr;
  }
  preparedCount_ = static_cast<Integer>(list_.size());
}

void TcxVerticalGridRows::CheckPrepared() {
  if (!IsPrepared()) PrepareList();
}

Integer TcxVerticalGridRows::Count() {
  CheckPrepared();
  return preparedCount_;
}

TcxCustomRow* TcxVerticalGridRows::Items(Integer AIndex) {
  CheckPrepared();
  if (AIndex < 0 || AIndex >= preparedCount_)
    cxVerticalGridError(cxGetResourceString(cxSvgIndexError));
  return list_[static_cast<size_t>(AIndex)];
}

void TcxVerticalGridRows::SetRow(Integer AIndex, TcxCustomRow* ARow) {
  CheckPrepared();
  if (AIndex < 0 || AIndex >= preparedCount_)
    cxVerticalGridError(cxGetResourceString(cxSvgIndexError));
  list_[static_cast<size_t>(AIndex)] = ARow;
}

Integer TcxVerticalGridRows::IndexOf(TcxCustomRow* ARow) {
  CheckPrepared();
  auto it = std::find(list_.begin(), list_.end(), ARow);
  return it == list_.end() ? -1 : static_cast<Integer>(it - list_.begin());
}

TcxCustomRow* TcxVerticalGridRows::FindRowByID(Integer AID) {
  if (AID == -1) return GetRoot();
  CheckPrepared();
  for (TcxCustomRow* row : list_)
    if (row->ID() == AID) return row;
  return nullptr;
}

TcxCustomRow* TcxVerticalGridRows::FindRowByStoredName(const String& AName) {
  CheckPrepared();
  for (TcxCustomRow* row : list_)
    if (row->GetObjectName() == AName) return row;
  return GetRoot();
}

void TcxVerticalGridRows::RestoreDefaults() {
  CheckPrepared();
  for (TcxCustomRow* row : list_) row->RestoreDefaults();
}

namespace {
void CopyRowTree(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ASourceParent,
                 TcxCustomRow* ATargetParent) {
  for (Integer i = 0; i < ASourceParent->Count(); ++i) {
    TcxCustomRow* source = ASourceParent->Rows(i);
    TcxCustomRow* row = AGrid->AddChild(
        ATargetParent == AGrid->RootRow() ? nullptr : ATargetParent,
        source->ClassType());
    row->SetID(source->ID());
    row->Assign(source);
    CopyRowTree(AGrid, source, row);
  }
}
}  // namespace

void TcxVerticalGridRows::AssignRows(TcxVerticalGridRows* Source) {
  if (!Source) cxVerticalGridError(cxGetResourceString(cxSvgAssignRowsError));
  auto update = UpdateScope();
  Clear();
  CopyRowTree(grid_, Source->GetRoot(), GetRoot());
}
