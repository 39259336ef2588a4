// The vertical grid's layout storage: the grid and its rows as stored
// objects of the library's storage. The rows are a flat list of the grid's
// children; the tree is carried by each row's "AParentID".
#include "SysUtils.h"
#include "Variants.h"
#include "cxStorage.h"
#include "cxVGrid.h"
#include "cxVGridRows.h"

namespace {

// The loaded index of a row that the stored data did not mention.
constexpr Integer kNoLoadedIndex = 2147483647;

const char* const kGridStoredProperties[] = {"PaintStyle", "HeaderWidth",
                                             "ValueWidth", "NewLoad"};
const char* const kRowStoredProperties[] = {"AParentID", "Index", "Visible",
                                            "Height", "Expanded"};

// Booleans reach the storage as the texts "True" and "False"; a reader may
// also hand back a number.
bool StoredBoolean(const Variant& AValue) {
  if (VarIsStr(AValue)) {
    const String text = Trim(VarToStr(AValue));
    if (SameText(text, "True")) return true;
    if (SameText(text, "False")) return false;
  }
  return AValue.AsBoolean();
}

// Whether ARow is ACandidate or one of its ancestors: making ACandidate the
// parent of ARow would cut the pair out of the tree.
bool WouldLoop(TcxCustomRow* ARow, TcxCustomRow* ACandidate) {
  for (TcxCustomRow* r = ACandidate; r; r = r->ParentLink())
    if (r == ARow) return true;
  return false;
}

void MoveUnder(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow,
               TcxCustomRow* AParent) {
  if (!AParent || WouldLoop(ARow, AParent)) AParent = AGrid->RootRow();
  ARow->SetParent(AParent);
}

// Puts the children of ANode whose loaded index says so at that index, then
// does the same below each child.
void ReorderChildren(TcxCustomRow* ANode) {
  for (Integer i = 0; i < ANode->Count(); ++i) {
    for (Integer j = i; j < ANode->Count(); ++j) {
      TcxCustomRow* child = ANode->Rows(j);
      if (child->LoadedIndex() != i) continue;
      child->SetIndex(i);
      break;
    }
  }
  for (Integer i = 0; i < ANode->Count(); ++i) ReorderChildren(ANode->Rows(i));
}

}  // namespace

// ---------------------------------------------------------------------------
// The grid: storing and restoring
// ---------------------------------------------------------------------------

void TcxCustomVerticalGrid::StoreTo(TcxStorage& AStorage,
                                    void (TcxStorage::*AStore)(TObject*)) {
  SetStoringByName(true);
  auto update = UpdateScope();
  (AStorage.*AStore)(this);
}

void TcxCustomVerticalGrid::StoreToIniFile(const String& AFileName,
                                           bool AReCreate) {
  TcxStorage storage(AFileName);
  storage.SetClearFirst(AReCreate);
  StoreTo(storage, &TcxStorage::StoreToIni);
}

void TcxCustomVerticalGrid::StoreToRegistry(const String& AKey,
                                            bool AReCreate) {
  TcxStorage storage(AKey);
  storage.SetClearFirst(AReCreate);
  StoreTo(storage, &TcxStorage::StoreToRegistry);
}

void TcxCustomVerticalGrid::StoreToStream(TStream* AStream) {
  TcxStorage storage(AStream);
  StoreTo(storage, &TcxStorage::StoreToStream);
}

void TcxCustomVerticalGrid::RestoreFrom(
    TcxStorage& AStorage, void (TcxStorage::*ARestore)(TObject*)) {
  SetStoringByName(false);
  auto update = UpdateScope();
  BeforeLoadedRows();
  AStorage.SetModesValue({smChildrenCreating});
  (AStorage.*ARestore)(this);
  if (StoringByName()) AfterLoadedRows();
}

void TcxCustomVerticalGrid::RestoreFromIniFile(const String& AFileName) {
  TcxStorage storage(AFileName);
  RestoreFrom(storage, &TcxStorage::RestoreFromIni);
}

void TcxCustomVerticalGrid::RestoreFromRegistry(const String& AKey) {
  TcxStorage storage(AKey);
  RestoreFrom(storage, &TcxStorage::RestoreFromRegistry);
}

void TcxCustomVerticalGrid::RestoreFromStream(TStream* AStream) {
  TcxStorage storage(AStream);
  RestoreFrom(storage, &TcxStorage::RestoreFromStream);
}

void TcxCustomVerticalGrid::BeforeLoadedRows() {
  Rows()->PrepareList();
  for (Integer i = 0; i < Rows()->Count(); ++i) {
    TcxCustomRow* row = Rows()->Items(i);
    row->SetLoadedIndex(kNoLoadedIndex);
    row->SetLoadedParentName(String());
  }
}

void TcxCustomVerticalGrid::AfterLoadedRows() {
  Rows()->PrepareList();
  std::vector<TcxCustomRow*> rows;
  for (Integer i = 0; i < Rows()->Count(); ++i)
    rows.push_back(Rows()->Items(i));
  for (TcxCustomRow* row : rows) {
    if (row->LoadedIndex() == kNoLoadedIndex) continue;
    MoveUnder(this, row, Rows()->FindRowByStoredName(row->LoadedParentName()));
  }
  ReorderChildren(RootRow());
}

// ---------------------------------------------------------------------------
// The grid as a stored object
// ---------------------------------------------------------------------------

Integer TcxCustomVerticalGrid::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxStoredObject::IID) {
    *obj = static_cast<IcxStoredObject*>(this);
    return S_OK_;
  }
  if (obj && iid == IcxStoredParent::IID) {
    *obj = static_cast<IcxStoredParent*>(this);
    return S_OK_;
  }
  return TcxExtEditingControl::QueryInterface(iid, obj);
}

String TcxCustomVerticalGrid::GetObjectName() { return Name(); }

bool TcxCustomVerticalGrid::GetProperties(TStrings* AProperties) {
  for (const char* name : kGridStoredProperties) AProperties->Add(name);
  return true;
}

void TcxCustomVerticalGrid::GetPropertyValue(const String& AName,
                                             Variant& AValue) {
  if (AName == "PaintStyle")
    AValue = static_cast<Byte>(OptionsView()->PaintStyle());
  else if (AName == "HeaderWidth")
    AValue = OptionsView()->RowHeaderWidth();
  else if (AName == "ValueWidth")
    AValue = OptionsView()->ValueWidth();
  else if (AName == "NewLoad")
    AValue = static_cast<Byte>(1);
  else
    AValue = Null();
}

void TcxCustomVerticalGrid::SetPropertyValue(const String& AName,
                                             const Variant& AValue) {
  if (AName == "PaintStyle") {
    // A paint style the grid does not have leaves the current one.
    const Integer style = AValue.AsInteger();
    if (style == psdotNet || style == psStyle3D)
      OptionsView()->SetPaintStyle(static_cast<TcxvgPaintStyle>(style));
  } else if (AName == "HeaderWidth") {
    OptionsView()->SetRowHeaderWidth(AValue.AsInteger());
  } else if (AName == "ValueWidth") {
    OptionsView()->SetValueWidth(AValue.AsInteger());
  } else if (AName == "NewLoad") {
    SetStoringByName(true);
  }
}

TObject* TcxCustomVerticalGrid::CreateChild(const String& AObjectName,
                                            const String& AClassName) {
  (void)AObjectName;
  if (!SameText(AClassName, TcxCategoryRow::StaticClass()->Name))
    return nullptr;
  auto* row = Add<TcxCategoryRow>();
  row->SetName(
      CreateUniqueName(Owner(), this, row, "Tcx", "RuntimeCreatedRow"));
  return row;
}

void TcxCustomVerticalGrid::DeleteChild(const String&, TObject*) {}

void TcxCustomVerticalGrid::GetChildren(TStringList* AChildren) {
  GetStoredChildren(AChildren);
}

void TcxCustomVerticalGrid::GetStoredChildren(TStringList* AChildren) {
  for (Integer i = 0; i < Rows()->Count(); ++i) {
    TcxCustomRow* row = Rows()->Items(i);
    AChildren->AddObject(StoringByName() ? row->GetObjectName() : String(),
                         row);
  }
}

// ---------------------------------------------------------------------------
// Rows as stored objects
// ---------------------------------------------------------------------------

Integer TcxCustomRow::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxStoredObject::IID) {
    *obj = static_cast<IcxStoredObject*>(this);
    return S_OK_;
  }
  return TComponent::QueryInterface(iid, obj);
}

bool TcxCustomRow::GetProperties(TStrings* AProperties) {
  return GetStoredProperties(AProperties);
}

bool TcxCustomRow::GetStoredProperties(TStrings* AProperties) {
  if (dynamic_cast<TcxCategoryRow*>(this)) AProperties->Add("Caption");
  for (const char* name : kRowStoredProperties) AProperties->Add(name);
  return true;
}

void TcxCustomRow::GetPropertyValue(const String& AName, Variant& AValue) {
  auto* category = dynamic_cast<TcxCategoryRow*>(this);
  TcxCustomRow* parent = ParentLink();
  const bool byName = grid_ && grid_->StoringByName();
  if (AName == "Caption" && category)
    AValue = category->GetProperties()->Caption();
  else if (AName == "AParentID" && byName)
    AValue = parent ? parent->GetObjectName() : String("-1");
  else if (AName == "AParentID")
    AValue = parent ? parent->ID() : -1;
  else if (AName == "Index")
    AValue = Index();
  else if (AName == "Visible")
    AValue = Visible();
  else if (AName == "Height")
    AValue = Height();
  else if (AName == "Expanded")
    AValue = Expanded();
  else
    AValue = Null();
}

void TcxCustomRow::SetPropertyValue(const String& AName,
                                    const Variant& AValue) {
  const bool byName = grid_ && grid_->StoringByName();
  if (AName == "Caption") {
    auto* category = dynamic_cast<TcxCategoryRow*>(this);
    if (category && !AValue.IsEmpty())
      category->GetProperties()->SetCaption(VarToStr(AValue));
  } else if (AName == "AParentID") {
    if (byName) {
      SetLoadedParentName(VarToStr(AValue));
    } else if (grid_) {
      MoveUnder(grid_, this, grid_->Rows()->FindRowByID(AValue.AsInteger()));
    }
  } else if (AName == "Index") {
    if (byName)
      SetLoadedIndex(AValue.AsInteger());
    else
      SetIndex(AValue.AsInteger());
  } else if (AName == "Visible") {
    SetVisible(StoredBoolean(AValue));
  } else if (AName == "Height") {
    SetHeight(AValue.AsInteger());
  } else if (AName == "Expanded") {
    SetExpanded(StoredBoolean(AValue));
  }
}
