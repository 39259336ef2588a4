#include "cxButtonGroup.h"

#include <algorithm>

#include "ScopeGuard.h"
#include "TypInfo.h"
#include "WinApi.h"

namespace {

Integer CeilDiv(Integer A, Integer B) { return (A + B - 1) / B; }

}  // namespace

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

TcxButtonGroupItem::TcxButtonGroupItem(TCollection* Collection)
    : TCollectionItem(Collection) {}

void TcxButtonGroupItem::Assign(TPersistent* Source) {
  auto* item = dynamic_cast<TcxButtonGroupItem*>(Source);
  if (!item) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetCaption(item->Caption());
  SetEnabled(item->Enabled());
  SetTag(item->Tag());
}

void TcxButtonGroupItem::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  Changed(false);
}

void TcxButtonGroupItem::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Changed(false);
}

TcxButtonGroupItems::TcxButtonGroupItems(TPersistent* AOwner, TClass AItemClass)
    : TOwnedCollection(AOwner, AItemClass) {}

TcxButtonGroupItems::~TcxButtonGroupItems() {
  destroying_ = true;
  // The items go while the collection is still whole, so that their
  // removal finds the properties gone quiet.
  Clear();
}

void TcxButtonGroupItems::ItemChanged(TcxButtonGroupItem* AItem,
                                      TcxCollectionOperation AOperation,
                                      Integer AIndex) {
  (void)AItem;
  changedItemIndex_ = AIndex;
  changedItemOperation_ = AIndex < 0 ? copChanged : AOperation;
  if (destroying_) return;
  auto* properties = dynamic_cast<TcxCustomEditProperties*>(GetOwner());
  if (!properties) return;
  TRestoreOnExit<bool> restore(notifying_, true);
  properties->Changed();
}

void TcxButtonGroupItems::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  if (auto* item = dynamic_cast<TcxButtonGroupItem*>(Item)) {
    ItemChanged(item, copChanged, item->Index());
    return;
  }
  // One add or delete is followed by the buttons one by one; anything more
  // (an Assign, an update bracket) rebuilds them as a whole.
  const bool single = pendingCount_ == 1;
  pendingCount_ = 0;
  ItemChanged(nullptr, single ? pendingOperation_ : copChanged,
              single ? pendingIndex_ : -1);
}

void TcxButtonGroupItems::Notify(TCollectionItem* Item,
                                 TCollectionNotification Action) {
  TOwnedCollection::Notify(Item, Action);
  if (Action == cnDeleting) return;
  pendingOperation_ = Action == cnAdded ? copAdd : copDelete;
  pendingIndex_ = destroying_ ? -1 : Item->Index();
  ++pendingCount_;
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

Integer cxButtonGroupColumnCount(Integer AItemCount, Integer AColumns) {
  if (AItemCount <= 0) return 0;
  const Integer columns = std::min(std::max(AColumns, 1), AItemCount);
  return CeilDiv(AItemCount, CeilDiv(AItemCount, columns));
}

Integer cxButtonGroupButtonsPerColumn(Integer AItemCount,
                                      Integer AColumnCount) {
  return CeilDiv(AItemCount, std::max(AColumnCount, 1));
}

std::vector<TRect> cxButtonGroupButtonBounds(Integer AItemCount,
                                             Integer AColumnCount,
                                             const TRect& AEditRect,
                                             const TRect& AClientExtent,
                                             const TcxEditMetrics& AMetrics) {
  std::vector<TRect> result;
  if (AItemCount <= 0 || AColumnCount <= 0) return result;
  const TcxEditMetrics& m = AMetrics;
  const TRect& e = AClientExtent;
  const Integer perColumn =
      cxButtonGroupButtonsPerColumn(AItemCount, AColumnCount);
  const Integer columnWidth =
      (AEditRect.Width() - e.Left - e.Right + m.ColumnAreaWidthCorrection -
       (AColumnCount - 1) * m.ColumnSpacing) /
      AColumnCount;
  const Integer freeHeight = AEditRect.Height() - e.Top - e.Bottom;
  const Integer rowHeight = freeHeight / perColumn;
  const Integer firstTop = AEditRect.Top + e.Top + (freeHeight % perColumn) / 2;
  for (Integer i = 0; i < AItemCount; ++i) {
    const Integer column = i / perColumn;
    const Integer row = i % perColumn;
    const Integer left = AEditRect.Left + e.Left +
                         (columnWidth + m.ColumnSpacing) * column +
                         m.FirstColumnOffset;
    const Integer top = firstTop + rowHeight * row;
    result.push_back(TRect{left, top, left + columnWidth, top + rowHeight});
  }
  return result;
}

Integer cxButtonGroupArrowTarget(Word AKey, Integer AFocused,
                                 Integer AButtonsPerColumn,
                                 Integer AItemCount) {
  if (AFocused < 0 || AFocused >= AItemCount || AButtonsPerColumn <= 0) {
    return -1;
  }
  const Integer p = AButtonsPerColumn;
  const Integer column = AFocused / p;
  const Integer row = AFocused % p;
  const Integer rows = std::min(p, AItemCount - (AFocused - row));
  switch (AKey) {
    case VK_LEFT:
      return column > 0 ? AFocused - p : -1;
    case VK_UP:
      return row > 0 ? AFocused - 1 : -1;
    case VK_RIGHT:
      return AFocused + p < AItemCount ? AFocused + p : -1;
    case VK_DOWN:
      return row < rows - 1 ? AFocused + 1 : -1;
    default:
      return -1;
  }
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomButtonGroupProperties::TcxCustomButtonGroupProperties(
    TPersistent* AOwner)
    : TcxCustomGroupBoxProperties(AOwner) {
  RecreateItems();
}

TcxCustomButtonGroupProperties::~TcxCustomButtonGroupProperties() {
  LockUpdate(true);
  items_.reset();
}

void TcxCustomButtonGroupProperties::RecreateItems() {
  LockUpdate(true);
  items_ = CreateItems();
  LockUpdate(false);
}

TObjectPtr<TcxButtonGroupItems> TcxCustomButtonGroupProperties::CreateItems() {
  return TObjectPtr<TcxButtonGroupItems>(
      new TcxButtonGroupItems(this, TcxButtonGroupItem::StaticClass()));
}

void TcxCustomButtonGroupProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomButtonGroupProperties*>(Source);
  if (!source) {
    TcxCustomGroupBoxProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomGroupBoxProperties::Assign(Source);
  SetColumns(source->Columns());
  items_->Assign(source->Items());
  SetWordWrap(source->WordWrap());
}

void TcxCustomButtonGroupProperties::SetColumns(Integer Value) {
  Value = std::max(Value, 1);
  if (columns_ == Value) return;
  columns_ = Value;
  Changed();
}

void TcxCustomButtonGroupProperties::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  Changed();
}

Integer TcxCustomButtonGroupProperties::GetColumnCount() {
  return cxButtonGroupColumnCount(items_->Count(), columns_);
}

Integer TcxCustomButtonGroupProperties::GetButtonsPerColumn() {
  return cxButtonGroupButtonsPerColumn(items_->Count(), GetColumnCount());
}

TcxEditSupportedOperations
TcxCustomButtonGroupProperties::GetSupportedOperations() {
  TcxEditSupportedOperations result{
      esoAlwaysHotTrack, esoAutoHeight, esoEditing,     esoFiltering,
      esoShowingCaption, esoSorting,    esoTransparency};
  if (items_->Count() > 0) result.Include(esoHotTrack);
  return result;
}

// ---------------------------------------------------------------------------
// TcxCustomButtonGroup
// ---------------------------------------------------------------------------

TcxCustomButtonGroup::TcxCustomButtonGroup(TComponent* AOwner, bool AIsInplace)
    : TcxCustomGroupBox(AOwner, AIsInplace) {
  CreateProperties();
  SetEditAutoSize(false);
  SetTabStop(true);
}

TcxCustomButtonGroup::~TcxCustomButtonGroup() {
  while (!buttons_.empty()) FreeButton(ButtonCount() - 1);
}

TWinControl* TcxCustomButtonGroup::NewButton() {
  TObjectPtr<TWinControl> button = GetButtonInstance();
  TWinControl* result = button.get();
  InitButtonInstance(result);
  return button.release();
}

void TcxCustomButtonGroup::FreeButton(Integer AIndex) {
  TWinControl* button = buttons_[AIndex];
  buttons_.Extract(button);
  Free(button);
}

void TcxCustomButtonGroup::InitButtonInstance(TWinControl* AButton) {
  AButton->SetParentShowHint(false);
  AButton->SetParent(this);
  AButton->OnKeyDown = TKeyEvent(this, &TcxCustomButtonGroup::ButtonKeyDown);
  AButton->OnKeyPress =
      TKeyPressEvent(this, &TcxCustomButtonGroup::ButtonKeyPress);
  AButton->OnKeyUp = TKeyEvent(this, &TcxCustomButtonGroup::ButtonKeyUp);
  AButton->OnMouseDown =
      TMouseEvent(this, &TcxCustomButtonGroup::ButtonMouseDown);
  AButton->OnMouseUp = TMouseEvent(this, &TcxCustomButtonGroup::ButtonMouseUp);
  AButton->OnMouseMove =
      TMouseMoveEvent(this, &TcxCustomButtonGroup::ButtonMouseMove);
}

void TcxCustomButtonGroup::SetButtonCount(Integer Value) {
  TcxButtonGroupItems* items = ActiveButtonGroupProperties()->Items();
  if (items->ItemsNotifying()) {
    const Integer index = items->ChangedItemIndex();
    switch (items->ChangedItemOperation()) {
      case copAdd:
        if (index >= 0 && index <= ButtonCount()) {
          buttons_.AdoptAt(static_cast<size_t>(index), NewButton());
          return;
        }
        break;
      case copDelete:
        if (index >= 0 && index < ButtonCount()) {
          FreeButton(index);
          return;
        }
        break;
      case copChanged:
        return;
    }
  }
  while (ButtonCount() > Value) FreeButton(ButtonCount() - 1);
  while (ButtonCount() < Value) buttons_.Adopt(NewButton());
}

void TcxCustomButtonGroup::UpdateButtons() {
  TcxButtonGroupItems* items = ActiveButtonGroupProperties()->Items();
  SetButtonCount(items->Count());
  const Integer count = std::min(ButtonCount(), items->Count());
  for (Integer i = 0; i < count; ++i) {
    buttons_[i]->SetEnabled(Enabled() && items->Items(i)->Enabled());
  }
  ShortRefreshContainer(false);
  for (TWinControl* button : buttons_) button->SetCursor(Cursor());
  ArrangeButtons();
  SynchronizeButtonsStyle();
}

TcxEditMetrics TcxCustomButtonGroup::GetEditMetrics() {
  // The window lays its buttons out as a cell would.
  auto data = CreateViewData();
  auto* groupData = dynamic_cast<TcxButtonGroupViewData*>(data.get());
  return groupData ? groupData->GetEditMetrics(false, nullptr)
                   : TcxEditMetrics{};
}

std::vector<TRect> TcxCustomButtonGroup::CalculateButtonBounds() {
  TcxCustomButtonGroupProperties* p = ActiveButtonGroupProperties();
  return cxButtonGroupButtonBounds(p->Items()->Count(), p->GetColumnCount(),
                                   TRect{0, 0, Width(), Height()},
                                   GetClientExtent(), GetEditMetrics());
}

void TcxCustomButtonGroup::ArrangeButtons() {
  const std::vector<TRect> bounds = CalculateButtonBounds();
  const Integer count =
      std::min(ButtonCount(), static_cast<Integer>(bounds.size()));
  for (Integer i = 0; i < count; ++i) buttons_[i]->SetBoundsRect(bounds[i]);
}

void TcxCustomButtonGroup::SynchronizeButtonsStyle() {
  TcxContainerStyle* style = ActiveStyle();
  for (TWinControl* button : buttons_) {
    button->SetColor(style->Color());
    button->Font()->Assign(style->GetVisibleFont());
    button->Font()->SetColor(style->TextColor());
  }
}

bool TcxCustomButtonGroup::Focused() {
  if (TcxCustomGroupBox::Focused()) return true;
  return GetFocusedButtonIndex() >= 0;
}

Integer TcxCustomButtonGroup::GetButtonIndexAt(const TPoint& P) {
  for (Integer i = 0; i < ButtonCount(); ++i) {
    if (cxRectPtIn(buttons_[i]->BoundsRect(), P)) return i;
  }
  return -1;
}

Integer TcxCustomButtonGroup::GetFocusedButtonIndex() {
  const HWND focus = GetFocus();
  for (Integer i = 0; i < ButtonCount(); ++i) {
    if (buttons_[i]->HandleAllocated() && buttons_[i]->Handle() == focus) {
      return i;
    }
  }
  return -1;
}

void TcxCustomButtonGroup::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const Integer focused = GetFocusedButtonIndex();
  if (focused >= 0) {
    const Integer target = cxButtonGroupArrowTarget(
        Key, focused, ActiveButtonGroupProperties()->GetButtonsPerColumn(),
        ButtonCount());
    if (target >= 0) {
      if (buttons_[target]->CanFocus()) buttons_[target]->SetFocus();
      Key = 0;
    }
  }
  TcxCustomGroupBox::DoEditKeyDown(Key, Shift);
}

void TcxCustomButtonGroup::PropertiesChanged(TObject* Sender) {
  TcxCustomGroupBox::PropertiesChanged(Sender);
  if (!ComponentState().Contains(csReading)) UpdateButtons();
}

void TcxCustomButtonGroup::CreateHandle() {
  TcxCustomGroupBox::CreateHandle();
  UpdateButtons();
  SynchronizeDisplayValue();
}

void TcxCustomButtonGroup::Resize() {
  TcxCustomGroupBox::Resize();
  ArrangeButtons();
}

void TcxCustomButtonGroup::Dispatch(TMessage& Message) {
  TcxCustomGroupBox::Dispatch(Message);
  switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
    case CM_CURSORCHANGED:
      UpdateButtons();
      break;
    case CM_FONTCHANGED:
      ArrangeButtons();
      SynchronizeButtonsStyle();
      break;
    default:
      break;
  }
}

// Button events, in the group's coordinates.

void TcxCustomButtonGroup::ButtonKeyDown(TObject*, Word& Key,
                                         TShiftState Shift) {
  KeyDown(Key, Shift);
}

void TcxCustomButtonGroup::ButtonKeyPress(TObject*, char& Key) {
  KeyPress(Key);
}

void TcxCustomButtonGroup::ButtonKeyUp(TObject*, Word& Key, TShiftState Shift) {
  KeyUp(Key, Shift);
}

void TcxCustomButtonGroup::ButtonMouseDown(TObject* Sender, TMouseButton Button,
                                           TShiftState Shift, Integer X,
                                           Integer Y) {
  auto* button = static_cast<TControl*>(Sender);
  const bool wasInnerMouseDown = InnerControlMouseDown();
  SetInnerControlMouseDown(true);
  TScopeGuard restore([this, wasInnerMouseDown] {
    SetInnerControlMouseDown(wasInnerMouseDown);
  });
  MouseDown(Button, Shift, X + button->Left(), Y + button->Top());
}

void TcxCustomButtonGroup::ButtonMouseUp(TObject* Sender, TMouseButton Button,
                                         TShiftState Shift, Integer X,
                                         Integer Y) {
  auto* button = static_cast<TControl*>(Sender);
  MouseUp(Button, Shift, X + button->Left(), Y + button->Top());
}

void TcxCustomButtonGroup::ButtonMouseMove(TObject* Sender, TShiftState Shift,
                                           Integer X, Integer Y) {
  auto* button = static_cast<TControl*>(Sender);
  MouseMove(Shift, X + button->Left(), Y + button->Top());
}

namespace {

void ButtonGroupStartup() {
  using I = TcxButtonGroupItem;
  TPublished<TcxButtonGroupItem>()
      .Property("Caption", &I::Caption, &I::SetCaption)
      .Property("Enabled", &I::Enabled, &I::SetEnabled, true)
      .Property("Tag", &I::Tag, &I::SetTag, 0);
  using P = TcxCustomButtonGroupProperties;
  TPublished<TcxCustomButtonGroupProperties>()
      .Property("Columns", &P::Columns, &P::SetColumns, 1)
      .Property("Items", &P::Items, &P::SetItems)
      .Property("WordWrap", &P::WordWrap, &P::SetWordWrap, false);
}

void ButtonGroupShutdown() {
  UnpublishClass(TcxButtonGroupItem::StaticClass());
  UnpublishClass(TcxCustomButtonGroupProperties::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxButtonGroup, ({"cxGroupBox"}), &ButtonGroupStartup,
            &ButtonGroupShutdown);
