// The check combo box: item states held in the edit value, the list that
// toggles them, and its filter-value helpers.
#include "cxCheckComboBox.h"

#include <algorithm>

#include "ScopeGuard.h"
#include "TypInfo.h"
#include "cxEditRepositoryItems.h"
#include "cxEditStyle.h"

namespace {

// No string-table identifier of their own.
inline constexpr TcxResourceString cxSCheckComboBoxEmptySelectionText{
    0, "None selected"};
inline constexpr TcxResourceString scxSEditRepositoryCheckComboBox{
    0, "CheckComboBox|Represents a CheckComboBox"};

}  // namespace

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

void TcxCheckComboBoxItem::Assign(TPersistent* Source) {
  if (auto* item = dynamic_cast<TcxCheckComboBoxItem*>(Source))
    SetShortDescription(item->ShortDescription());
  TcxButtonGroupItem::Assign(Source);
}

void TcxCheckComboBoxItem::SetShortDescription(const String& Value) {
  if (shortDescription_ == Value) return;
  shortDescription_ = Value;
  Changed(false);
}

String TcxCheckComboBoxItem::GetDisplayDescription() {
  return shortDescription_.empty() ? Description() : shortDescription_;
}

TcxCheckComboBoxItem* TcxCheckComboBoxItems::AddCheckItem(
    const String& ADescription, const String& AShortDescription) {
  TcxCheckComboBoxItem* item = Add();
  item->SetDescription(ADescription);
  item->SetShortDescription(AShortDescription);
  return item;
}

// ---------------------------------------------------------------------------
// TcxCheckPaintHelper
// ---------------------------------------------------------------------------

TcxCheckBoxState TcxCheckPaintHelper::GetNextState(TcxCheckBoxState AState) {
  return AState == cbsUnchecked ? cbsChecked : cbsUnchecked;
}

TRect TcxCheckPaintHelper::CalcTextRect(const TRect& AItemRect) {
  TRect r = AItemRect;
  r.Left += AItemRect.Height() + 2;
  return r;
}

TPoint TcxCheckPaintHelper::CalcCheckPoint(const TRect& AItemRect) {
  const Integer o = (AItemRect.Height() - GetCheckWidth()) / 2;
  return TPoint{AItemRect.Left + o, AItemRect.Top + o};
}

bool TcxCheckPaintHelper::IsClickInCheck(const TRect& AItemRect, Integer X,
                                         Integer Y, bool ARightAligned) {
  const Integer o = (AItemRect.Height() - GetCheckWidth()) / 2;
  const Integer top = AItemRect.Top + o;
  const Integer left =
      ARightAligned ? AItemRect.Right - 3 * o : AItemRect.Left + o;
  return X >= left && X <= left + GetCheckWidth() && Y >= top &&
         Y <= top + GetCheckWidth();
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomCheckComboBoxProperties::TcxCustomCheckComboBoxProperties(
    TPersistent* AOwner)
    : TcxCustomComboBoxProperties(AOwner),
      items_(new TcxCheckComboBoxItems(this)),
      paintHelper_(new TcxCheckPaintHelper()) {
  SetDropDownListStyle(lsFixedList);
}

TcxCustomCheckComboBoxProperties::~TcxCustomCheckComboBoxProperties() {
  // The items report to these properties while they go.
  items_.reset();
}

void TcxCustomCheckComboBoxProperties::SetItems(TcxCheckComboBoxItems* Value) {
  items_->Assign(Value);
  Changed();
}

void TcxCustomCheckComboBoxProperties::SetDelimiter(const String& Value) {
  if (delimiter_ == Value) return;
  delimiter_ = Value;
  Changed();
}

void TcxCustomCheckComboBoxProperties::SetEditValueFormat(
    TcxCheckStatesValueFormat Value) {
  if (format_ == Value) return;
  format_ = Value;
  Changed();
}

void TcxCustomCheckComboBoxProperties::SetShowEmptyText(bool Value) {
  if (showEmptyText_ == Value) return;
  showEmptyText_ = Value;
  Changed();
}

String TcxCustomCheckComboBoxProperties::EmptySelectionText() const {
  return emptyTextAssigned_
             ? emptyText_
             : cxGetResourceString(cxSCheckComboBoxEmptySelectionText);
}

void TcxCustomCheckComboBoxProperties::SetEmptySelectionText(
    const String& Value) {
  if (Value == EmptySelectionText()) return;
  emptyText_ = Value;
  emptyTextAssigned_ =
      Value != cxGetResourceString(cxSCheckComboBoxEmptySelectionText);
  Changed();
}

void TcxCustomCheckComboBoxProperties::SetGlyphCount(Integer Value) {
  if (glyphCount_ == Value) return;
  glyphCount_ = Value;
  if (glyph_.Assigned()) Changed();
}

void TcxCustomCheckComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCheckComboBoxProperties*>(Source);
  if (!source) {
    TcxCustomComboBoxProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomComboBoxProperties::Assign(Source);
  SetDelimiter(source->delimiter_);
  SetEditValueFormat(source->format_);
  SetGlyph(source->HasGlyph() ? source->Glyph() : nullptr);
  SetGlyphCount(source->glyphCount_);
  SetShowEmptyText(source->showEmptyText_);
  emptyText_ = source->emptyText_;
  emptyTextAssigned_ = source->emptyTextAssigned_;
  allowGrayed_ = source->allowGrayed_;
  items_->Assign(source->items_.get());
  OnClickCheck = source->OnClickCheck;
  OnEditValueToStates = source->OnEditValueToStates;
  OnStatesToEditValue = source->OnStatesToEditValue;
}

void TcxCustomCheckComboBoxProperties::CalculateCheckStatesByEditValue(
    TObject* Sender, const Variant& AEditValue, TcxCheckStates& AStates) {
  if (OnEditValueToStates) {
    AStates.assign(items_->Count(), cbsUnchecked);
    OnEditValueToStates(Sender, AEditValue, AStates);
    AStates.resize(items_->Count(), cbsUnchecked);
    return;
  }
  CalculateCheckStates(AEditValue, items_.get(), format_, AStates);
}

String TcxCustomCheckComboBoxProperties::CalculateDisplayValueByCheckStates(
    const TcxCheckStates& AStates) {
  String text;
  const Integer count =
      std::min<Integer>(items_->Count(), static_cast<Integer>(AStates.size()));
  for (Integer i = 0; i < count; ++i) {
    if (AStates[i] != cbsChecked) continue;
    if (!text.empty()) text += delimiter_;
    text += items_->Items(i)->GetDisplayDescription();
  }
  if (text.empty() && showEmptyText_) text = EmptySelectionText();
  return text;
}

Variant TcxCustomCheckComboBoxProperties::CalculateEditValueByCheckStates(
    TObject* Sender, const TcxCheckStates& AStates) {
  if (OnStatesToEditValue) {
    Variant value;
    OnStatesToEditValue(Sender, AStates, value);
    return value;
  }
  return CalculateCheckStatesValue(AStates, items_.get(), format_);
}

String TcxCustomCheckComboBoxProperties::DisplayTextOf(
    TObject* Sender, const Variant& AEditValue) {
  TcxCheckStates states;
  CalculateCheckStatesByEditValue(Sender, AEditValue, states);
  String text = CalculateDisplayValueByCheckStates(states);
  DisplayValueToDisplayText(text);
  return text;
}

WideString TcxCustomCheckComboBoxProperties::GetDisplayText(
    const Variant& AEditValue, bool, bool) {
  return Platform::AnsiToWide(DisplayTextOf(nullptr, AEditValue));
}

void TcxCustomCheckComboBoxProperties::PrepareDisplayValue(
    const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = Variant(DisplayTextOf(nullptr, AEditValue));
}

TcxEditSupportedOperations
TcxCustomCheckComboBoxProperties::GetSupportedOperations() {
  return TcxCustomComboBoxProperties::GetSupportedOperations().Include(
      esoSortingByDisplayText);
}

TcxCustomEditClass TcxCustomCheckComboBoxProperties::GetContainerClass() {
  return cxEditClass<TcxCheckComboBox>();
}

TObjectPtr<TcxCustomEditViewData>
TcxCustomCheckComboBoxProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                 bool AIsInplace,
                                                 bool APreviewMode) {
  TObjectPtr<TcxCustomEditViewData> result(
      new TcxCustomCheckComboBoxViewData(this, AStyle, AIsInplace));
  result->PreviewMode = APreviewMode;
  return result;
}

TObjectPtr<TcxCustomTextEditLookupData>
TcxCustomCheckComboBoxProperties::CreateLookupData(TcxCustomTextEdit* AEdit) {
  return TObjectPtr<TcxCustomTextEditLookupData>(
      new TcxCheckComboBoxLookupData(AEdit));
}

TcxCustomEditPopupWindow* TcxCustomCheckComboBoxProperties::NewPopupWindow(
    TWinControl* AEdit) {
  return new TcxCheckComboBoxPopupWindow(AEdit);
}

String TcxCustomCheckComboBoxViewData::InternalEditValueToDisplayText(
    const Variant& AValue) {
  auto* props = static_cast<TcxCustomCheckComboBoxProperties*>(Properties);
  return props->DisplayTextOf(Edit, AValue);
}

// ---------------------------------------------------------------------------
// Lookup data
// ---------------------------------------------------------------------------

TcxCheckComboBoxItems* TcxCheckComboBoxLookupData::CheckItems() {
  auto* props =
      dynamic_cast<TcxCustomCheckComboBoxProperties*>(ActiveProperties());
  return props ? props->Items() : nullptr;
}

String TcxCheckComboBoxLookupData::GetItem(Integer AIndex) {
  TcxCheckComboBoxItems* items = CheckItems();
  return items && AIndex >= 0 && AIndex < items->Count()
             ? items->Items(AIndex)->Description()
             : String();
}

Integer TcxCheckComboBoxLookupData::GetItemCount() {
  TcxCheckComboBoxItems* items = CheckItems();
  return items ? items->Count() : 0;
}

TObjectPtr<TcxCustomEditListBox> TcxCheckComboBoxLookupData::CreateListBox(
    TComponent* AOwner) {
  return TObjectPtr<TcxCustomEditListBox>(
      new TcxCustomCheckComboBoxListBox(AOwner));
}

// ---------------------------------------------------------------------------
// The list
// ---------------------------------------------------------------------------

TcxCustomCheckComboBoxListBox::TcxCustomCheckComboBoxListBox(TComponent* AOwner)
    : TcxCustomComboBoxListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
}

TcxCustomCheckComboBox* TcxCustomCheckComboBoxListBox::CheckComboBox() const {
  return dynamic_cast<TcxCustomCheckComboBox*>(GetEdit());
}

Integer TcxCustomCheckComboBoxListBox::GetItemHeight(Integer AIndex) {
  return MeasuredItemHeight(AIndex, checkSize_.cy + 2);
}

Integer TcxCustomCheckComboBoxListBox::GetItemWidth(Integer AIndex) {
  return TcxCustomComboBoxListBox::GetItemWidth(AIndex) + GetItemHeight(AIndex);
}

void TcxCustomCheckComboBoxListBox::RecreateWindow() {
  if (TcxCustomCheckComboBox* combo = CheckComboBox()) {
    TcxCustomCheckComboBoxProperties* props = combo->ActiveProperties();
    checkSize_ = GetEditCheckSize(cxCanvas(), LookAndFeel()->NativeStyle(),
                                  props->HasGlyph() ? props->Glyph() : nullptr,
                                  props->GlyphCount(), nullptr);
  }
  ApplyRowLayout();
  TcxCustomComboBoxListBox::RecreateWindow();
}

TRect TcxCustomCheckComboBoxListBox::GetCheckRect(Integer AIndex) {
  const TRect item = ItemRect(AIndex);
  Integer o = (item.Height() - checkSize_.cy) / 2;
  const Integer left = o <= 0 ? 1 : o;
  return TRect{item.Left + left, item.Top + o, item.Left + left + checkSize_.cx,
               item.Top + o + checkSize_.cy};
}

void TcxCustomCheckComboBoxListBox::DrawItem(Integer Index, TRect Rect,
                                             TOwnerDrawState State) {
  if (DoDrawItem(Index, Rect, State)) return;
  TcxCustomCheckComboBox* combo = CheckComboBox();
  TCanvas* canvas = Canvas();
  canvas->FillRect(Rect);
  if (!combo || Index < 0 || Index >= Items()->Count()) return;
  TcxCustomCheckComboBoxProperties* props = combo->ActiveProperties();
  const TRect textRect = props->CheckPaintHelper()->CalcTextRect(Rect);
  const String text = GetItem(Index);
  RECT r{textRect.Left, textRect.Top, textRect.Right, textRect.Bottom};
  ::SetBkMode(canvas->Handle(), TRANSPARENT);
  ::DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (Rect.Top < 0) return;
  TcxCheckComboBoxItem* item = props->Items()->Items(Index);
  TcxEditCheckState checkState = ecsNormal;
  if (!item->Enabled())
    checkState = ecsDisabled;
  else if (Index == pressedIndex_)
    checkState = ecsPressed;
  else if (Index == hotIndex_)
    checkState = ecsHot;
  const TColor brush = Color();
  SaveCanvasParametersForFocusRect();
  auto restore = TScopeGuard([this] { RestoreCanvasParametersForFocusRect(); });
  DrawEditCheck(cxCanvas(), GetCheckRect(Index), combo->GetItemState(Index),
                checkState, props->HasGlyph() ? props->Glyph() : nullptr,
                props->GlyphCount(), ebs3D, LookAndFeel()->NativeStyle(),
                clBtnText, brush, false, false, false, false, nullptr);
}

void TcxCustomCheckComboBoxListBox::InvalidateCheck(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Items()->Count() || !HandleAllocated()) return;
  const TRect r = GetCheckRect(AIndex);
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  ::InvalidateRect(Handle(), &rect, FALSE);
}

void TcxCustomCheckComboBoxListBox::SetHotIndex(Integer AIndex) {
  if (hotIndex_ == AIndex) return;
  InvalidateCheck(hotIndex_);
  hotIndex_ = AIndex;
  InvalidateCheck(hotIndex_);
}

void TcxCustomCheckComboBoxListBox::SetPressedIndex(Integer AIndex) {
  if (pressedIndex_ == AIndex) return;
  InvalidateCheck(pressedIndex_);
  pressedIndex_ = AIndex;
  InvalidateCheck(pressedIndex_);
}

void TcxCustomCheckComboBoxListBox::UpdateItemState(Integer AIndex) {
  if (TcxCustomCheckComboBox* combo = CheckComboBox())
    combo->ToggleItem(AIndex);
  InvalidateCheck(AIndex);
}

void TcxCustomCheckComboBoxListBox::MouseDown(TMouseButton Button,
                                              TShiftState Shift, Integer X,
                                              Integer Y) {
  TcxCustomComboBoxListBox::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft) SetPressedIndex(ItemAtPos(TPoint{X, Y}, true));
}

void TcxCustomCheckComboBoxListBox::MouseMove(TShiftState Shift, Integer X,
                                              Integer Y) {
  TcxCustomComboBoxListBox::MouseMove(Shift, X, Y);
  const Integer index = ItemAtPos(TPoint{X, Y}, true);
  if (!Shift.Contains(ssLeft)) SetHotIndex(index);
}

void TcxCustomCheckComboBoxListBox::MouseUp(TMouseButton Button,
                                            TShiftState Shift, Integer X,
                                            Integer Y) {
  TcxCustomComboBoxListBox::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const Integer index = ItemAtPos(TPoint{X, Y}, true);
  const Integer pressed = pressedIndex_;
  SetPressedIndex(-1);
  TcxCustomCheckComboBox* combo = CheckComboBox();
  // A press released over another item toggles nothing.
  if (combo && index != -1 && index == pressed &&
      combo->ActiveProperties()->Items()->Items(index)->Enabled())
    UpdateItemState(index);
  SetHotIndex(index);
}

void TcxCustomCheckComboBoxListBox::KeyPress(char& Key) {
  TcxCustomCheckComboBox* combo = CheckComboBox();
  const Integer index = ItemIndex();
  if (!combo || index < 0) {
    TcxCustomComboBoxListBox::KeyPress(Key);
    return;
  }
  if (Key == ' ' && combo->ActiveProperties()->Items()->Items(index)->Enabled())
    UpdateItemState(index);
  Key = 0;
}

// ---------------------------------------------------------------------------
// The editor
// ---------------------------------------------------------------------------

TcxCustomCheckComboBox::TcxCustomCheckComboBox(TComponent* AOwner,
                                               bool AIsInplace)
    : TcxCustomComboBox(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) RecreatePopupWindow();
  controlStyle_.Exclude(csClickEvents);
  SetEditValue(Variant(Integer{0}));
}

TcxCheckComboBox::TcxCheckComboBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomCheckComboBox(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) RecreatePopupWindow();
  SetEditValue(Variant(Integer{0}));
}

TcxCheckBoxState TcxCustomCheckComboBox::GetItemState(Integer AIndex) const {
  return AIndex >= 0 && AIndex < static_cast<Integer>(states_.size())
             ? states_[AIndex]
             : cbsUnchecked;
}

void TcxCustomCheckComboBox::SetItemState(Integer AIndex,
                                          TcxCheckBoxState AState) {
  if (AState == cbsGrayed || AIndex < 0 ||
      AIndex >= static_cast<Integer>(states_.size()) ||
      states_[AIndex] == AState)
    return;
  states_[AIndex] = AState;
  SynchronizeEditValue();
}

bool TcxCustomCheckComboBox::DoClickCheck(Integer AIndex) {
  bool allow = true;
  if (Properties()->OnClickCheck)
    Properties()->OnClickCheck(this, AIndex, allow);
  if (RepositoryItem() && ActiveProperties()->OnClickCheck) {
    bool allowItem = true;
    ActiveProperties()->OnClickCheck(this, AIndex, allowItem);
    allow = allow && allowItem;
  }
  return allow;
}

bool TcxCustomCheckComboBox::ClickCheck(Integer AIndex) {
  return CanModify() && DoClickCheck(AIndex) && DoEditing();
}

void TcxCustomCheckComboBox::ToggleItem(Integer AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<Integer>(states_.size()) ||
      !ClickCheck(AIndex))
    return;
  states_[AIndex] =
      ActiveProperties()->CheckPaintHelper()->GetNextState(states_[AIndex]);
  SynchronizeEditValue();
  SetModifiedAfterEnter(true);
  if (ActiveProperties()->ImmediatePost() && CanPostEditValue())
    InternalPostEditValue(false);
}

void TcxCustomCheckComboBox::SynchronizeDisplayValue() {
  ActiveProperties()->CalculateCheckStatesByEditValue(this, EditValue(),
                                                      states_);
  UpdateDrawValue();
}

void TcxCustomCheckComboBox::SynchronizeEditValue() {
  SetInternalEditValue(
      ActiveProperties()->CalculateEditValueByCheckStates(this, states_));
  UpdateDrawValue();
}

String TcxCustomCheckComboBox::InternalGetText() {
  if (IsDestroying()) return String();
  return ActiveProperties()->DisplayTextOf(this, EditValue());
}

void TcxCustomCheckComboBox::HandleSelectItem(TObject*) {}

void TcxCustomCheckComboBox::SetItemIndex(Integer Value) {
  TcxComboBoxLookupData* lookup = GetLookupData();
  if (lookup && lookup->List()) lookup->List()->SetItemIndex(Value);
}

void TcxCustomCheckComboBox::PropertiesChanged(TObject* Sender) {
  TcxCheckComboBoxItems* items = ActiveProperties()->Items();
  // A deleted item takes its state with it.
  if (items->ItemsNotifying() && items->ChangedItemOperation() == copDelete) {
    const Integer k = items->ChangedItemIndex();
    if (k >= 0 && k < static_cast<Integer>(states_.size()))
      states_.erase(states_.begin() + k);
  }
  states_.resize(items->Count(), cbsUnchecked);
  TcxCustomComboBox::PropertiesChanged(Sender);
  if (ModifiedAfterEnter())
    UpdateDrawValue();
  else
    SetInternalEditValue(
        ActiveProperties()->CalculateEditValueByCheckStates(this, states_));
}

void TcxCustomCheckComboBox::CloseUp(TcxEditCloseUpReason AReason) {
  if (!DroppedDown()) return;
  SetCloseUpReason(AReason);
  TcxObjectLinkScope self(this);
  PopupWindow()->CloseUp();
  if (!self.Alive()) return;
  TcxCustomCheckComboBoxProperties* props = ActiveProperties();
  if (!props->GetAlwaysPostEditValue() && props->ImmediatePost() &&
      CanPostEditValue() && ValidateEdit(true))
    InternalPostEditValue(false);
}

void TcxCustomCheckComboBox::DoEditKeyPress(char& Key) {
  TcxComboBoxLookupData* lookup = GetLookupData();
  // Space in the editor toggles the list's current item.
  if (Key == ' ' && DroppedDown() && lookup && lookup->List()) {
    const Integer index = lookup->List()->ItemIndex();
    if (index >= 0 && ActiveProperties()->Items()->Items(index)->Enabled())
      static_cast<TcxCustomCheckComboBoxListBox*>(lookup->List())
          ->UpdateItemState(index);
    Key = 0;
    return;
  }
  TcxCustomComboBox::DoEditKeyPress(Key);
}

// ---------------------------------------------------------------------------
// Filter values
// ---------------------------------------------------------------------------

const TcxFilterChecksHelper* TcxFilterChecksHelper::Instance() {
  static const TcxFilterChecksHelper instance;
  return &instance;
}

TcxCustomEditClass TcxFilterChecksHelper::GetFilterEditClass() const {
  return cxEditClass<TcxCheckComboBox>();
}

TcxFilterControlOperators TcxFilterChecksHelper::GetSupportedFilterOperators(
    TcxCustomEditProperties*, TcxValueTypeClass, bool AExtendedSet) const {
  TcxFilterControlOperators result{fcoEqual, fcoNotEqual, fcoBlanks,
                                   fcoNonBlanks};
  if (AExtendedSet) {
    result.Include(fcoInList);
    result.Include(fcoNotInList);
  }
  return result;
}

void TcxFilterChecksHelper::InitializeProperties(
    TcxCustomEditProperties* AProperties,
    TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxFilterComboBoxHelper::InitializeProperties(AProperties, AEditProperties,
                                                AHasButtons);
  auto* props = dynamic_cast<TcxCustomCheckComboBoxProperties*>(AProperties);
  if (!props) return;
  props->SetEditValueFormat(GetEditValueFormat(AEditProperties));
  props->Items()->Clear();
  props->Buttons()->Clear();
  props->Buttons()->Add()->SetKind(bkDown);
  props->SetDropDownListStyle(lsFixedList);
  InitializeItems(props, AEditProperties);
}

TcxCheckStatesValueFormat TcxFilterChecksHelper::GetEditValueFormat(
    TcxCustomEditProperties*) const {
  return cvfCaptions;
}

void TcxFilterChecksHelper::InitializeItems(TcxCustomCheckComboBoxProperties*,
                                            TcxCustomEditProperties*) const {}

const TcxFilterCheckComboBoxHelper* TcxFilterCheckComboBoxHelper::Instance() {
  static const TcxFilterCheckComboBoxHelper instance;
  return &instance;
}

TcxCheckStatesValueFormat TcxFilterCheckComboBoxHelper::GetEditValueFormat(
    TcxCustomEditProperties* AEditProperties) const {
  auto* source =
      dynamic_cast<TcxCustomCheckComboBoxProperties*>(AEditProperties);
  return source ? source->EditValueFormat() : cvfCaptions;
}

void TcxFilterCheckComboBoxHelper::InitializeItems(
    TcxCustomCheckComboBoxProperties* AProperties,
    TcxCustomEditProperties* AEditProperties) const {
  if (auto* source =
          dynamic_cast<TcxCustomCheckComboBoxProperties*>(AEditProperties))
    AProperties->Items()->Assign(source->Items());
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

namespace {

void CheckComboBoxStartup() {
  using P = TcxCheckComboBoxProperties;
  TPublished<P>()
      .Property("Delimiter", &P::Delimiter, &P::SetDelimiter)
      .Stored(&P::IsDelimiterStored)
      .Property("DropDownRows", &P::DropDownRows, &P::SetDropDownRows, 8)
      .Property("EditValueFormat", &P::EditValueFormat, &P::SetEditValueFormat,
                cvfInteger)
      .Property("EmptySelectionText", &P::EmptySelectionText,
                &P::SetEmptySelectionText)
      .Stored(&P::IsEmptySelectionTextStored)
      .Property("ShowEmptyText", &P::ShowEmptyText, &P::SetShowEmptyText, true);
  using E = TcxCheckComboBox;
  TPublished<E>()
      .Property("Properties", &E::Properties, &E::SetProperties)
      .Property("Value", &E::GetValue, &E::SetValue);
  RegisterClasses({TcxCheckComboBox::StaticClass(),
                   TcxCheckComboBoxProperties::StaticClass()});
  GetRegisteredEditProperties()->Register(
      TcxCheckComboBoxProperties::StaticClass(),
      scxSEditRepositoryCheckComboBox.Text);
  FilterEditsController()->Register(TcxCheckComboBoxProperties::StaticClass(),
                                    TcxFilterCheckComboBoxHelper::Instance());
}

void CheckComboBoxShutdown() {
  FilterEditsController()->Unregister(TcxCheckComboBoxProperties::StaticClass(),
                                      TcxFilterCheckComboBoxHelper::Instance());
  GetRegisteredEditProperties()->Unregister(
      TcxCheckComboBoxProperties::StaticClass());
  UnpublishClass(TcxCheckComboBox::StaticClass());
  UnpublishClass(TcxCheckComboBoxProperties::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxCheckComboBox, ({"cxDropDownEdit", "cxCheckBox"}),
            &CheckComboBoxStartup, &CheckComboBoxShutdown);
