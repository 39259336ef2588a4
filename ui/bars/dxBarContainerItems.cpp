#include "dxBarContainerItems.h"

#include <algorithm>
#include <utility>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "WinApi.h"
#include "dxBarKindControls.h"
#include "dxBarSubMenu.h"

namespace {

TComponent* GeneratedOwner(TdxBarManager* AManager) {
  return AManager ? static_cast<TComponent*>(AManager->ParentedOwner())
                  : nullptr;
}

// The label of the k-th entry: 1 to 9, then A, B, C and on.
String EntryNumber(Integer K) {
  return String(1, static_cast<char>(K < 9 ? '1' + K : K + 56));
}

}  // namespace

// ---------------------------------------------------------------------------
// Container base
// ---------------------------------------------------------------------------

TCustomdxBarContainerItem::~TCustomdxBarContainerItem() = default;

void TCustomdxBarContainerItem::AddListedItemLinks(TdxBarItemLinks*, Integer,
                                                   bool AFirstTime,
                                                   TdxBarItemLink*) {
  if (needClear_) ClearItemList();
  if (AFirstTime && OnGetData.Assigned()) {
    TRestoreOnExit<bool> inGetData(inGetData_, true);
    OnGetData(this);
  }
}

void TCustomdxBarContainerItem::ItemsChanged(TObject*) {
  if (!inGetData_) VisibleChanged();
}

// ---------------------------------------------------------------------------
// List items
// ---------------------------------------------------------------------------

TdxBarListItem::TdxBarListItem(TComponent* AOwner)
    : TCustomdxBarContainerItem(AOwner), items_(new TStringList) {
  items_->OnChange = TNotifyEvent(static_cast<TCustomdxBarContainerItem*>(this),
                                  &TCustomdxBarContainerItem::ItemsChanged);
}

TdxBarListItem::~TdxBarListItem() {
  items_->OnChange = {};
  // The generated buttons belong to the list, whoever their owner is.
  FreeGenerated();
}

void TdxBarListItem::FreeGenerated() {
  // Each one's free notice would change the list under the loop.
  std::vector<TdxBarButton*> buttons = std::exchange(generated_, {});
  for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) Free(*it);
}

Integer TdxBarListItem::GetDataIndex() const {
  if (itemIndex_ < 0 || itemIndex_ >= items_->Count()) return -1;
  Integer entries = 0;
  for (Integer i = 0; i <= itemIndex_; ++i)
    if (items_->Strings(i) != "-") ++entries;
  return entries - 1;
}

void TdxBarListItem::SetDataIndex(Integer Value) {
  if (items_->Count() == 0) {
    itemIndex_ = -1;
    return;
  }
  Integer entry = -1;
  for (Integer i = 0; i < items_->Count(); ++i) {
    if (items_->Strings(i) == "-") continue;
    if (++entry == Value) {
      itemIndex_ = i;
      return;
    }
  }
  itemIndex_ = items_->Count();
}

bool TdxBarListItem::InternalActuallyVisible() const {
  return TCustomdxBarContainerItem::InternalActuallyVisible() ||
         items_->Count() > 0;
}

void TdxBarListItem::AddListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex,
                                        bool AFirstTime,
                                        TdxBarItemLink* ALink) {
  TCustomdxBarContainerItem::AddListedItemLinks(ALinks, AIndex, AFirstTime,
                                                ALink);
  const bool reuse = !generated_.empty();
  Integer k = 0;
  bool separator = false;
  for (Integer i = 0; i < items_->Count(); ++i) {
    const String text = items_->Strings(i);
    if (text == "-") {
      separator = true;
      continue;
    }
    TdxBarButton* button = nullptr;
    if (!reuse) {
      button = new TdxBarButton(GeneratedOwner(barManager_));
      // The owner may free it first (a form going away).
      button->FreeNotification(this);
      generated_.push_back(button);
      button->SetAction(Action());
      if (showCheck_ && i == itemIndex_) {
        button->SetButtonStyle(bsChecked);
        button->SetDown(true);
      }
      const String shown = GetDisplayText(text);
      button->SetCaption(showNumbers_ ? "&" + EntryNumber(k) + " " + shown
                                      : shown);
      button->SetHint(GetDisplayHint(text));
      button->SetTag(i);
      button->OnClick = TNotifyEvent(this, &TdxBarListItem::ClickItem);
      button->SetEnabled(GetEnabled());
    } else if (k < GeneratedCount()) {
      button = generated_[static_cast<std::size_t>(k)];
    } else {
      break;
    }
    TdxBarItemLink* link = ALinks->Add(button);
    link->SetIndex(AIndex + k);
    link->SetRealItemLink(ALink);
    link->SetBeginGroup(k == 0 || separator);
    if (ALink) link->Synchronize(ALink);
    separator = false;
    ++k;
  }
}

void TdxBarListItem::DeleteListedItemLinks(TdxBarItemLinks* ALinks,
                                           Integer AIndex) {
  for (Integer i = 0; i < items_->Count(); ++i)
    if (items_->Strings(i) != "-" && AIndex < ALinks->Count())
      Free(ALinks->Items(AIndex));
}

void TdxBarListItem::ClearItemList() {
  if (!generated_.empty() && generated_.front()->GetLinkCount() == 0)
    FreeGenerated();
  TCustomdxBarContainerItem::ClearItemList();
}

void TdxBarListItem::Notification(TComponent* AComponent,
                                  TOperation Operation) {
  TCustomdxBarContainerItem::Notification(AComponent, Operation);
  if (Operation == opRemove)
    std::erase(generated_, static_cast<TdxBarButton*>(AComponent));
}

void TdxBarListItem::ClickItem(TObject* Sender) {
  if (auto* button = dynamic_cast<TdxBarButton*>(Sender))
    itemIndex_ = button->Tag();
  DirectClick();
}

void TdxBarListItem::DirectClick() {
  if (!GetCurItemLink()) TCustomdxBarContainerItem::DirectClick();
}

// ---------------------------------------------------------------------------
// Container item
// ---------------------------------------------------------------------------

TdxBarContainerItem::TdxBarContainerItem(TComponent* AOwner)
    : TCustomdxBarContainerItem(AOwner) {
  ItemLinks()->OnChange =
      TNotifyEvent(static_cast<TCustomdxBarContainerItem*>(this),
                   &TCustomdxBarContainerItem::ItemsChanged);
}

void TdxBarContainerItem::AddListedItemLinks(TdxBarItemLinks* ALinks,
                                             Integer AIndex, bool AFirstTime,
                                             TdxBarItemLink* ALink) {
  TCustomdxBarContainerItem::AddListedItemLinks(ALinks, AIndex, AFirstTime,
                                                ALink);
  if (ALinks == ItemLinks()) return;
  ALinks->BeginUpdate();
  TScopeGuard end([&] { ALinks->EndUpdate(); });
  TdxBarItemLinks* own = ItemLinks();
  for (Integer p = 0; p < own->CanVisibleItemCount(); ++p) {
    TdxBarItemLink* link = ALinks->Add();
    link->Assign(own->CanVisibleItems(p));
    link->SetRealItemLink(ALink);
    link->SetIndex(AIndex + p);
    if (p == 0 && HideWhenRun()) link->SetBeginGroup(true);
    if (ALink) link->Synchronize(ALink);
  }
}

void TdxBarContainerItem::DeleteListedItemLinks(TdxBarItemLinks* ALinks,
                                                Integer AIndex) {
  if (ALinks == ItemLinks()) return;
  for (Integer p = 0; p < ItemLinks()->CanVisibleItemCount(); ++p)
    if (AIndex < ALinks->Count()) Free(ALinks->Items(AIndex));
}

bool TdxBarContainerItem::IsItemsExist() const {
  TdxBarItemLinks* own = ItemLinks();
  for (Integer i = 0; i < own->Count(); ++i) {
    TdxBarItem* item = own->Items(i)->Item();
    if (item && item->GetActuallyVisible()) return true;
  }
  return false;
}

bool TdxBarContainerItem::InternalActuallyVisible() const {
  return TCustomdxBarContainerItem::InternalActuallyVisible() || IsItemsExist();
}

bool TdxBarContainerItem::InternalCanMergeWith(TdxBarItem* AItem) const {
  return dynamic_cast<TdxBarContainerItem*>(AItem) != nullptr;
}

// ---------------------------------------------------------------------------
// Extra-pane list item
// ---------------------------------------------------------------------------

TdxBarExtraPaneListItem::~TdxBarExtraPaneListItem() { Free(label_); }

String TdxBarExtraPaneListItem::GetDisplayText(const String& AText) const {
  return ChangeFileExt(ExtractFileName(AText), "");
}

bool TdxBarExtraPaneListItem::InternalActuallyVisible() const {
  return TdxBarListItem::InternalActuallyVisible() || !Caption().empty();
}

void TdxBarExtraPaneListItem::AddListedItemLinks(TdxBarItemLinks* ALinks,
                                                 Integer AIndex,
                                                 bool AFirstTime,
                                                 TdxBarItemLink* ALink) {
  TdxBarListItem::AddListedItemLinks(ALinks, AIndex, AFirstTime, ALink);
  if (!label_) {
    label_ = new TdxBarLabel(GeneratedOwner(barManager_));
    label_->FreeNotification(this);
  }
  label_->SetCaption(Caption());
  TdxBarItemLink* link = ALinks->Add(label_);
  link->SetIndex(AIndex);
  link->SetRealItemLink(ALink);
  if (ALink) link->Synchronize(ALink);
}

void TdxBarExtraPaneListItem::DeleteListedItemLinks(TdxBarItemLinks* ALinks,
                                                    Integer AIndex) {
  if (AIndex < ALinks->Count()) Free(ALinks->Items(AIndex));
  TdxBarListItem::DeleteListedItemLinks(ALinks, AIndex);
}

void TdxBarExtraPaneListItem::Notification(TComponent* AComponent,
                                           TOperation Operation) {
  TdxBarListItem::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == label_) label_ = nullptr;
}

void TdxBarExtraPaneListItem::ClearItemList() {
  if (label_ && label_->GetLinkCount() == 0) {
    Free(label_);
    label_ = nullptr;
  }
  TdxBarListItem::ClearItemList();
}

// ---------------------------------------------------------------------------
// Expansion in menus
// ---------------------------------------------------------------------------

void TdxBarContainerExpansion::Expand(TdxBarItemLinks* ALinks) {
  Collapse();
  links_ = ALinks;
  if (!ALinks) return;
  if (ALinks->BarManager() && ALinks->BarManager()->IsCustomizing()) return;
  for (Integer i = 0; i < ALinks->Count(); ++i) {
    TdxBarItemLink* link = ALinks->Items(i);
    auto* container = dynamic_cast<TCustomdxBarContainerItem*>(link->Item());
    if (!container || !link->Visible()) continue;
    // The data event runs once per menu, for the first link of a container.
    const bool firstTime =
        std::none_of(expanded_.begin(), expanded_.end(),
                     [&](const TExpanded& e) { return e.Item == container; });
    const Integer before = ALinks->Count();
    container->AddListedItemLinks(ALinks, i + 1, firstTime, link);
    expanded_.push_back({container, link, link->Visible()});
    if (container->HideWhenRun()) link->SetVisible(false);
    i += ALinks->Count() - before;
  }
}

void TdxBarContainerExpansion::Collapse() {
  for (auto it = expanded_.rbegin(); it != expanded_.rend(); ++it) {
    if (!links_ || links_->IndexOf(it->Link) < 0) continue;
    it->Item->DeleteListedItemLinks(links_, it->Link->Index() + 1);
    it->Link->SetVisible(it->WasVisible);
    it->Item->NeedClearItemList();
  }
  expanded_.clear();
}

// ---------------------------------------------------------------------------
// Container control on toolbars
// ---------------------------------------------------------------------------

void TdxBarContainerItemControl::DoDropDown(bool AByMouse) {
  auto* container = dynamic_cast<TCustomdxBarContainerItem*>(Item());
  if (container && !listed_) {
    container->AddListedItemLinks(container->ItemLinks(), 0, true, ItemLink());
    listed_ = true;
  }
  TdxBarSubItemControl::DoDropDown(AByMouse);
}

void TdxBarContainerItemControl::DoCloseUp(bool AHide) {
  TdxBarSubItemControl::DoCloseUp(AHide);
  auto* container = dynamic_cast<TCustomdxBarContainerItem*>(Item());
  if (container && listed_) {
    listed_ = false;
    container->DeleteListedItemLinks(container->ItemLinks(), 0);
    container->NeedClearItemList();
  }
}

String TdxBarContainerItemControl::GetCaption() const {
  const String caption = TdxBarSubItemControl::GetCaption();
  if (IsOnToolbar()) return caption;
  auto* container = dynamic_cast<TCustomdxBarContainerItem*>(Item());
  return container && container->HideWhenRun() ? "(" + caption + ")" : caption;
}

namespace {

void ContainerStartup() {
  using S = TCustomdxBarSubItem;
  using L = TdxBarListItem;
  TPublished<TCustomdxBarContainerItem>().Event(
      "OnGetData", &TCustomdxBarContainerItem::OnGetData,
      &TCustomdxBarContainerItem::OnGetData);
  TPublished<TdxBarListItem>()
      .Property("Items", &L::Items, &L::SetItems)
      .Property("ItemIndex", &L::ItemIndex, &L::SetItemIndex, -1)
      .Property("ShowCheck", &L::ShowCheck, &L::SetShowCheck, false)
      .Property("ShowNumbers", &L::ShowNumbers, &L::SetShowNumbers, true);
  TPublished<TdxBarContainerItem>().Property("ItemLinks", &S::ItemLinks);
  for (TClass kind :
       {TdxBarListItem::StaticClass(), TdxBarContainerItem::StaticClass(),
        TdxBarExtraPaneListItem::StaticClass()}) {
    RegisterClasses({kind});
    dxBarRegisterItem(kind, TdxBarContainerItemControl::StaticClass(),
                      kind != TdxBarExtraPaneListItem::StaticClass());
  }
}

void ContainerShutdown() {
  for (TClass kind :
       {TdxBarListItem::StaticClass(), TdxBarContainerItem::StaticClass(),
        TdxBarExtraPaneListItem::StaticClass()}) {
    dxBarUnregisterItem(kind);
    UnRegisterClass(kind);
  }
}

}  // namespace

VARNEL_UNIT(dxBarContainerItems, ({"dxBar", "dxBarControls"}),
            &ContainerStartup, &ContainerShutdown);
