// The lookup data of the text editors: item texts to complete typed text
// from, to step through with keys and the wheel, and the list box a
// drop-down shows them in.
#include "WinApi.h"
//
#include <algorithm>

#include "ScopeGuard.h"
#include "cxDrawTextUtils.h"
#include "cxTextEdit.h"

// ---------------------------------------------------------------------------
// TcxCustomTextEditLookupData
// ---------------------------------------------------------------------------

TcxCustomTextEditLookupData::TcxCustomTextEditLookupData(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner),
      edit_(dynamic_cast<TcxCustomTextEdit*>(AOwner)) {}

TcxCustomTextEditLookupData::~TcxCustomTextEditLookupData() = default;

Integer TcxCustomTextEditLookupData::QueryInterface(const TGUID& iid,
                                                    void** obj) {
  if (obj && iid == IcxTextEditLookupData::IID) {
    *obj = static_cast<IcxTextEditLookupData*>(this);
    return S_OK_;
  }
  return TcxInterfacedPersistent::QueryInterface(iid, obj);
}

TcxCustomTextEditProperties* TcxCustomTextEditLookupData::ActiveProperties() {
  return edit_ ? edit_->ActiveProperties() : nullptr;
}

TStrings* TcxCustomTextEditLookupData::Items() {
  auto* props = ActiveProperties();
  return props ? props->LookupItems() : nullptr;
}

void TcxCustomTextEditLookupData::SetItems(TStrings* Value) {
  if (auto* props = ActiveProperties()) props->SetLookupItems(Value);
}

String TcxCustomTextEditLookupData::GetItem(Integer AIndex) {
  TStrings* items = Items();
  return items ? items->Strings(AIndex) : String();
}

Integer TcxCustomTextEditLookupData::GetItemCount() {
  TStrings* items = Items();
  return items ? items->Count() : 0;
}

Integer TcxCustomTextEditLookupData::IndexOf(const String& AText) {
  const Integer count = GetItemCount();
  for (Integer i = 0; i < count; ++i)
    if (InternalCompareString(GetItem(i), AText, false)) return i;
  return -1;
}

bool TcxCustomTextEditLookupData::InternalLocate(String& AText, String& ATail,
                                                 bool ANext,
                                                 bool AExactOrReset) {
  auto notFound = [&] {
    const TcxEditEditingStyle style =
        ActiveProperties() ? ActiveProperties()->GetEditingStyle() : esEdit;
    const bool keep = (style == esEditList && !AExactOrReset &&
                       (!AText.empty() || Find(String()))) ||
                      (style == esFixedList && !AExactOrReset);
    if (!keep) InternalSetCurrentKey(-1);
    return false;
  };
  const Integer count = GetItemCount();
  if (count == 0) return notFound();
  if (AExactOrReset && ActiveProperties() && ActiveProperties()->MRUMode()) {
    const Integer index = IndexOf(AText);
    if (index == -1) {
      InternalSetCurrentKey(-1);
      return false;
    }
    ATail.clear();
    InternalSetCurrentKey(index);
    return true;
  }
  if (AText.empty()) return notFound();
  const std::size_t length = AText.size();
  for (Integer i = (ANext ? itemIndex_ : -1) + 1; i < count; ++i) {
    const String item = GetItem(i);
    if (item.size() < length ||
        !InternalCompareString(item.substr(0, length), AText, false))
      continue;
    AText = item.substr(0, length);
    ATail = item.substr(length);
    InternalSetCurrentKey(i);
    return true;
  }
  return notFound();
}

void TcxCustomTextEditLookupData::TextChanged() {
  if (!edit_ || edit_->IsLookupDataTextChangedLocked()) return;
  const String text = edit_->EditingText();
  if (itemIndex_ >= 0 && itemIndex_ < GetItemCount() &&
      InternalCompareString(GetItem(itemIndex_), text, false))
    return;
  String search = text;
  String tail;
  InternalLocate(search, tail, false, true);
}

void TcxCustomTextEditLookupData::InternalSetCurrentKey(Integer AIndex) {
  if (AIndex < -1 || AIndex >= GetItemCount()) return;
  currentKey_ = AIndex;
  InternalSetItemIndex(AIndex);
}

void TcxCustomTextEditLookupData::InternalSetItemIndex(Integer AIndex) {
  if (AIndex < -1 || AIndex >= GetItemCount()) return;
  if (AIndex == itemIndex_ && AIndex != -1) return;
  if (list_ && list_->Items()->Count() > 0) {
    // Going to -1 from a scrolled list shows its top first.
    if (AIndex == -1) list_->TListBox::SetItemIndex(0);
    list_->TListBox::SetItemIndex(AIndex);
  }
  itemIndex_ = AIndex;
}

void TcxCustomTextEditLookupData::SetCurrentKey(const Variant& AKey) {
  const Integer before = currentKey_;
  const Integer key =
      VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger();
  InternalSetCurrentKey(key);
  const bool locked = edit_ && edit_->IsLookupDataTextChangedLocked();
  if (edit_) edit_->LockLookupDataTextChanged();
  auto restore = TScopeGuard([this, locked] {
    if (edit_ && !locked) edit_->UnlockLookupDataTextChanged();
  });
  if (currentKey_ != before) {
    DoSelectItem();
    return;
  }
  if (key >= 0 && key < GetItemCount() && edit_ &&
      edit_->EditingText() != GetItem(key))
    DoSelectItem();
}

String TcxCustomTextEditLookupData::GetDisplayText(const Variant& AKey) {
  if (VarIsNull(AKey) || VarIsEmpty(AKey)) return String();
  const Integer key = AKey.AsInteger();
  return key < 0 || key >= GetItemCount() ? String() : GetItem(key);
}

void TcxCustomTextEditLookupData::SetItemIndex(Integer Value) {
  auto* props = ActiveProperties();
  if (list_ && list_->IsVisible() && props && !props->ImmediateUpdateText())
    InternalSetItemIndex(Value);
  else
    SetCurrentKey(Variant(Value));
}

void TcxCustomTextEditLookupData::SelectItem() {
  if (itemIndex_ == -1) return;
  if (currentKey_ != itemIndex_ && edit_ && !edit_->DoEditing()) return;
  const Integer before = currentKey_;
  SetCurrentKey(Variant(itemIndex_));
  if (currentKey_ == before) DoSelectItem();
}

void TcxCustomTextEditLookupData::CloseUp() {
  InternalSetItemIndex(currentKey_);
}

void TcxCustomTextEditLookupData::HandleSelectItem(TObject*) {
  if (list_) itemIndex_ = list_->ItemIndex();
}

void TcxCustomTextEditLookupData::Go(TcxEditLookupDataGoDirection ADirection,
                                     bool ACircular) {
  const Integer n = GetItemCount();
  if (n == 0) return;
  auto* props = ActiveProperties();
  const Integer page = props ? props->GetDropDownPageRowCount() : 8;
  const Integer k = itemIndex_ == -1 ? currentKey_ : itemIndex_;
  Integer index = k;
  switch (ADirection) {
    case egdBegin:
      index = 0;
      break;
    case egdEnd:
      index = n - 1;
      break;
    case egdNext:
      index = k + 1;
      if (index >= n) index = ACircular ? 0 : k;
      break;
    case egdPrev:
      index = k - 1;
      if (index < 0) index = ACircular ? n - 1 : k;
      break;
    case egdPageUp:
      if (k == -1) {
        index = ACircular ? n - 1 : -1;
      } else {
        index = k - page + 1;
        if (index < 0) index = ACircular && k == 0 ? n - 1 : 0;
      }
      break;
    case egdPageDown:
      index = k == -1 ? page - 1 : k + page - 1;
      if (index >= n) index = ACircular && k == n - 1 ? 0 : n - 1;
      break;
  }
  const bool listShown = list_ && list_->IsVisible();
  if (!listShown ||
      (props && props->ImmediateUpdateText() && edit_ && edit_->DoEditing()))
    SetCurrentKey(Variant(index));
  else
    InternalSetItemIndex(index);
}

void TcxCustomTextEditLookupData::ListChanged() {
  if (list_) list_->SetItemCount(GetItemCount());
}

TWinControl* TcxCustomTextEditLookupData::GetActiveControl() { return list_; }

void TcxCustomTextEditLookupData::Initialize(
    TWinControl* AVisualControlsParent) {
  if (!list_) {
    TObjectPtr<TcxCustomEditListBox> list =
        CreateListBox(AVisualControlsParent);
    // The visual parent owns it as a component.
    list_ = list.release();
  }
  if (!list_) return;
  list_->SetEdit(edit_);
  if (edit_) {
    list_->SetColor(edit_->ActiveStyle()->GetColor());
    list_->SetFont(edit_->ActiveStyle()->GetVisibleFont());
    list_->Canvas()->Font()->Assign(edit_->ActiveStyle()->GetVisibleFont());
  }
  list_->SetParent(AVisualControlsParent);
  list_->OnSelectItem =
      TNotifyEvent(this, &TcxCustomTextEditLookupData::HandleSelectItem);
  list_->SetItemCount(GetItemCount());
  list_->TListBox::SetItemIndex(itemIndex_);
  list_->RecreateWindow();
  TextChanged();
}

void TcxCustomTextEditLookupData::PositionVisualArea(const TRect& AClientRect) {
  if (list_) list_->SetBoundsRect(AClientRect);
}

bool TcxCustomTextEditLookupData::IsMouseOverList(const TPoint& P) {
  if (!list_ || !list_->HandleAllocated()) return false;
  RECT r{};
  ::GetWindowRect(list_->Handle(), &r);
  return P.X >= r.left && P.X < r.right && P.Y >= r.top && P.Y < r.bottom;
}

// ---------------------------------------------------------------------------
// TcxCustomEditListBox
// ---------------------------------------------------------------------------

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* AOwner)
    : TcxCustomInnerListBox(AOwner) {
  SetBorderStyle(bsNone);
}

bool TcxCustomEditListBox::IsVisible() {
  return HandleAllocated() && ::IsWindowVisible(Handle());
}

void TcxCustomEditListBox::SetItemCount(Integer ACount) {
  TStrings* items = Items();
  if (items->Count() == ACount) return;
  items->BeginUpdate();
  auto end = TScopeGuard([items] { items->EndUpdate(); });
  while (items->Count() < ACount) items->Add(String());
  while (items->Count() > ACount) items->Delete(items->Count() - 1);
}

void TcxCustomEditListBox::SetItemIndex(Integer Value) {
  TListBox::SetItemIndex(Value);
  DoSelectItem();
}

void TcxCustomEditListBox::DoSelectItem() {
  if (OnSelectItem) OnSelectItem(this);
}

void TcxCustomEditListBox::Click() {
  TcxCustomInnerListBox::Click();
  DoSelectItem();
}

String TcxCustomEditListBox::GetItem(Integer AIndex) {
  return Items()->Strings(AIndex);
}

Integer TcxCustomEditListBox::GetDefaultItemHeight() {
  return cxTextHeight(Font(), "Wg");
}

Integer TcxCustomEditListBox::GetItemWidth(Integer AIndex) {
  return cxTextWidth(Font(), GetItem(AIndex));
}

void TcxCustomEditListBox::MeasureItem(Integer, Integer& Height) {
  Height = GetItemHeight(-1);
}

bool TcxCustomEditListBox::NeedDrawFocusRect() {
  auto* edit = dynamic_cast<TcxCustomTextEdit*>(edit_);
  if (!edit) return false;
  const TcxEditEditingStyle style = edit->ActiveProperties()->GetEditingStyle();
  return style == esFixedList || style == esNoEdit;
}

void TcxCustomEditListBox::DrawItem(Integer Index, TRect Rect,
                                    TOwnerDrawState State) {
  if (DoDrawItem(Index, Rect, State)) return;
  TCanvas* canvas = Canvas();
  canvas->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  TRect r = Rect;
  r.Left += 2;
  const String text = GetItem(Index);
  ::DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()),
              reinterpret_cast<RECT*>(&r),
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TcxCustomEditListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomInnerListBox::MouseMove(Shift, X, Y);
  if (!hotTrack_ || MouseCapture()) return;
  const Integer index = ItemAtPos(TPoint{X, Y}, true);
  if (index != -1 && index != ItemIndex()) SetItemIndex(index);
}
