// Item links: the placements of items on bars and menus, their collections,
// the visibility lists and the recency order behind personalised menus.
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "dxBar.h"

// ---------------------------------------------------------------------------
// TdxBarItemLink
// ---------------------------------------------------------------------------

TdxBarItemLink::TdxBarItemLink(TCollection* ACollection)
    : TCollectionItem(ACollection), userGlyph_(new TBitmap) {
  if (TdxBarManager* manager = BarManager())
    useCount_ = manager->MostRecentlyUsedUseCount();
}

TdxBarItemLink::~TdxBarItemLink() = default;

void TdxBarItemLink::BeforeDestruction() {
  TdxBarManager* manager = BarManager();
  if (manager && !manager->IsDestroying()) manager->DoItemLinkDelete(this);
  DestroyControl();
  if (item_) {
    auto& links = item_->links_;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
    item_ = nullptr;
  }
  if (TdxBarItemLinks* owner = Links()) {
    auto& recent = owner->recent_;
    recent.erase(std::remove(recent.begin(), recent.end(), this), recent.end());
  }
  TCollectionItem::BeforeDestruction();
}

TdxBarItemLinks* TdxBarItemLink::Links() const {
  return static_cast<TdxBarItemLinks*>(Collection());
}

TdxBarManager* TdxBarItemLink::BarManager() const {
  return Links() ? Links()->BarManager() : nullptr;
}

void TdxBarItemLink::LinkChanged() { Changed(false); }

void TdxBarItemLink::SetItem(TdxBarItem* Value) {
  if (item_ == Value) return;
  TdxBarItemLinks* owner = Links();
  if (!Value) {
    Free(this);
    return;
  }
  if (owner) {
    String reason;
    if (!owner->CanContainItem(Value, reason)) throw Exception(reason);
  }
  const bool outermost = !owner || owner->UpdateCount() == 0;
  if (owner) owner->BeginUpdate();
  TScopeGuard end([&] {
    if (owner) owner->EndUpdate();
  });
  DestroyControl();
  if (item_) {
    auto& links = item_->links_;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
  item_ = Value;
  item_->links_.push_back(this);
  if (!owner) return;
  owner->RefreshVisibilityLists();
  TComponent* component =
      owner->Owner() ? owner->Owner()->GetOwnerComponent() : nullptr;
  if (!component || !component->ComponentState().Contains(csLoading))
    CheckMostRecentlyUsed();
  if (outermost && BarManager()) BarManager()->DoItemLinkChange(this);
}

bool TdxBarItemLink::BeginGroup() const {
  TdxBarItemLinks* owner = Links();
  if (!owner) return beginGroup_;
  const Integer visibleIndex = VisibleIndex();
  if (beginGroup_) return visibleIndex != 0;
  if (visibleIndex <= 0) return false;
  // A hidden link between the previous visible one and this one may carry
  // the group's start.
  TdxBarItemLink* previous = owner->VisibleItems(visibleIndex - 1);
  for (Integer i = previous->Index() + 1; i < Index(); ++i) {
    TdxBarItemLink* hidden = owner->Items(i);
    if (hidden->beginGroup_) return true;
    if (hidden->item_ && item_ && item_->Align() != iaClient &&
        hidden->item_->Align() != item_->Align())
      return true;
  }
  return false;
}

void TdxBarItemLink::SetBeginGroup(bool Value) {
  if (beginGroup_ == Value) return;
  beginGroup_ = Value;
  if (control_) control_->Changed(iccBeginGroup);
  LinkChanged();
}

void TdxBarItemLink::SetButtonGroup(TdxBarButtonGroupPosition Value) {
  if (buttonGroup_ == Value) return;
  buttonGroup_ = Value;
  Changed(true);
}

void TdxBarItemLink::SetPosition(TdxBarItemPosition Value) {
  if (position_ == Value) return;
  position_ = Value;
  Changed(true);
}

void TdxBarItemLink::SetViewLevels(TdxBarItemViewLevels Value) {
  if (viewLevels_ == Value) return;
  viewLevels_ = Value;
  Changed(true);
}

void TdxBarItemLink::SetMostRecentlyUsed(bool Value) {
  if (mostRecentlyUsed_ == Value) return;
  mostRecentlyUsed_ = Value;
  CheckMostRecentlyUsed();
  if (Links() && Links()->BarControl()) Links()->BarControl()->RepaintBar();
  LinkChanged();
}

void TdxBarItemLink::SetUserCaption(const String& Value) {
  if (userCaption_ == Value && userDefine_.Contains(udCaption)) return;
  userCaption_ = Value;
  SetUserDefine(userDefine_ + TdxBarUserDefines{udCaption});
  if (control_) control_->Changed(iccCaption);
}

void TdxBarItemLink::SetUserGlyph(TBitmap* Value) {
  userGlyph_->Assign(Value);
  SetUserDefine(userDefine_ + TdxBarUserDefines{udGlyph});
  if (control_) control_->Changed(iccGlyph);
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle Value) {
  if (PaintStyle() == Value) return;
  userPaintStyle_ = Value;
  SetUserDefine(userDefine_ + TdxBarUserDefines{udPaintStyle});
  if (control_) control_->Changed(iccPaintStyle);
}

void TdxBarItemLink::SetUserWidth(Integer Value) {
  if (Width() == Value) return;
  userWidth_ = Value;
  SetUserDefine(userDefine_ + TdxBarUserDefines{udWidth});
  if (control_) control_->Changed(iccWidth);
}

void TdxBarItemLink::SetUserDefine(TdxBarUserDefines Value) {
  if (userDefine_ == Value) return;
  const TdxBarUserDefines old = userDefine_;
  userDefine_ = Value;
  static constexpr struct {
    TdxBarUserDefine flag;
    TdxBarItemControlChange change;
  } kFlags[] = {{udCaption, iccCaption},
                {udGlyph, iccGlyph},
                {udPaintStyle, iccPaintStyle},
                {udWidth, iccWidth}};
  for (const auto& f : kFlags) {
    if (old.Contains(f.flag) == Value.Contains(f.flag)) continue;
    if (!Value.Contains(f.flag)) {
      switch (f.flag) {
        case udCaption:
          userCaption_.clear();
          break;
        case udGlyph:
          userGlyph_->Assign(nullptr);
          break;
        case udPaintStyle:
          userPaintStyle_ = psStandard;
          break;
        case udWidth:
          userWidth_ = 0;
          break;
      }
    }
    if (control_) control_->Changed(f.change);
  }
  LinkChanged();
}

void TdxBarItemLink::SetVisible(bool Value) {
  TdxBarItemLinks* owner = Links();
  TdxBarManager* manager = BarManager();
  if ((manager && manager->IsLoading()) || (owner && owner->Assigning())) {
    loadedVisible_ = Value;
    return;
  }
  if (visible_ == Value) return;
  visible_ = Value;
  if (owner && !(manager && manager->IsDesigning())) {
    owner->RefreshVisibilityLists();
    if (Value) {
      BringToTopInRecentList(false);
      CreateControl();
      if (control_) control_->Changed(iccVisible);
    } else {
      SendToBottomInRecentList();
      if (control_) {
        control_->Changed(iccVisible);
        DestroyControl();
      }
    }
  }
  LinkChanged();
}

String TdxBarItemLink::Caption() const {
  return userDefine_.Contains(udCaption) || !item_ ? userCaption_
                                                   : item_->Caption();
}

TBitmap* TdxBarItemLink::Glyph() const {
  return userDefine_.Contains(udGlyph) || !item_ ? userGlyph_.get()
                                                 : item_->Glyph();
}

TdxBarPaintStyle TdxBarItemLink::PaintStyle() const {
  return userDefine_.Contains(udPaintStyle) || !item_ ? userPaintStyle_
                                                      : item_->PaintStyle();
}

Integer TdxBarItemLink::Width() const {
  if (userDefine_.Contains(udWidth) || !item_) return userWidth_;
  return item_->GetWidth();
}

bool TdxBarItemLink::CanVisible() const {
  return item_ && item_->GetActuallyVisible() && visible_;
}

Integer TdxBarItemLink::VisibleIndex() const {
  return Links() ? TdxBarItemLinks::Find(Links()->visible_, this) : -1;
}
Integer TdxBarItemLink::CanVisibleIndex() const {
  return Links() ? TdxBarItemLinks::Find(Links()->canVisible_, this) : -1;
}
Integer TdxBarItemLink::AvailableIndex() const {
  return Links() ? TdxBarItemLinks::Find(Links()->available_, this) : -1;
}
Integer TdxBarItemLink::RecentIndex() const {
  return Links() ? TdxBarItemLinks::Find(Links()->recent_, this) : -1;
}

void TdxBarItemLink::SetRecentIndex(Integer Value) {
  TdxBarItemLinks* owner = Links();
  if (!owner) {
    prevRecentIndex_ = Value;
    return;
  }
  auto& recent = owner->recent_;
  recent.erase(std::remove(recent.begin(), recent.end(), this), recent.end());
  Value = std::clamp<Integer>(Value, 0, static_cast<Integer>(recent.size()));
  recent.insert(recent.begin() + Value, this);
  owner->RefreshVisibilityLists();
}

void TdxBarItemLink::CreateControl() {
  TdxBarItemLinks* owner = Links();
  if (control_ || !item_ || !owner || !owner->BarControl()) return;
  TCustomdxBarControl* bar = owner->BarControl();
  if (bar->ComponentState().Contains(csDestroying)) return;
  TClass cls = item_->GetControlClass(bar->IsVertical());
  if (!cls) return;
  TObjectPtr<TdxBarItemControl> control =
      OwnedCast<TdxBarItemControl>(cls->NewInstance());
  if (!control) return;
  control->Initialize(this);
  control_ = control.release();
}

void TdxBarItemLink::DestroyControl() {
  TdxBarItemControl* control = control_;
  control_ = nullptr;
  Free(control);
}

void TdxBarItemLink::BringToTopInRecentList(bool ACountUse) {
  if (!CanVisible()) return;
  TdxBarItemLinks* owner = Links();
  if (!owner) return;
  if (owner->CanUseRecentItems()) {
    const bool wasVisible = VisibleIndex() >= 0;
    auto& recent = owner->recent_;
    recent.erase(std::remove(recent.begin(), recent.end(), this), recent.end());
    recent.insert(recent.begin(), this);
    if (ACountUse) ++useCount_;
    owner->RefreshVisibilityLists();
    if (!wasVisible && VisibleIndex() >= 0 && owner->BarControl())
      owner->BarControl()->RepaintBar();
  }
  // The use goes up the chain of menus that led here.
  IdxBarLinksOwner* linksOwner = owner->Owner();
  auto* parentItem =
      linksOwner ? dynamic_cast<TdxBarItem*>(linksOwner->GetOwnerComponent())
                 : nullptr;
  if (parentItem)
    if (TdxBarItemLink* current = parentItem->GetCurItemLink())
      current->GetRealItemLink()->BringToTopInRecentList(ACountUse);
}

void TdxBarItemLink::SendToBottomInRecentList() {
  TdxBarItemLinks* owner = Links();
  if (!owner) return;
  const bool wasVisible = VisibleIndex() >= 0;
  auto& recent = owner->recent_;
  recent.erase(std::remove(recent.begin(), recent.end(), this), recent.end());
  recent.push_back(this);
  owner->RefreshVisibilityLists();
  if (wasVisible && owner->BarControl()) owner->BarControl()->RepaintBar();
}

void TdxBarItemLink::CheckMostRecentlyUsed() {
  TdxBarManager* manager = BarManager();
  if (mostRecentlyUsed_) {
    useCount_ = manager ? manager->MostRecentlyUsedUseCount() : 0;
    BringToTopInRecentList(false);
  } else {
    useCount_ = 0;
    SendToBottomInRecentList();
  }
}

void TdxBarItemLink::Synchronize(TdxBarItemLink* ASource) {
  useCount_ = ASource->useCount_;
  SetRecentIndex(ASource->RecentIndex());
}

bool TdxBarItemLink::IsAccel(Word AKey, TShiftState AShift) const {
  String caption = Caption();
  const Integer pos = GetAccelPos(caption, false);
  if (pos == 0) return false;
  const char c = caption[static_cast<size_t>(pos - 1)];
  if (IsCharUpper(static_cast<CHAR>(c))) AShift.Exclude(ssShift);
  if (c >= '0' && c <= '9' && AShift.Empty()) return AKey == c;
  const SHORT scan = ::VkKeyScanA(
      static_cast<CHAR>(std::tolower(static_cast<unsigned char>(c))));
  if (scan == -1) return false;
  TShiftState shift;
  if (scan & 0x100) shift.Include(ssShift);
  if (scan & 0x200) shift.Include(ssCtrl);
  return (scan & 0xFF) == AKey && shift == AShift;
}

bool TdxBarItemLink::HasItem(TdxBarItem* AItem) const {
  if (item_ == AItem) return true;
  TdxBarItemLinks* links = item_ ? item_->GetItemLinks() : nullptr;
  return links && links->HasItem(AItem);
}

void TdxBarItemLink::InitiateAction() {
  if (item_ && item_->ActionLink()) item_->ActionLink()->Update();
}

void TdxBarItemLink::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxBarItemLink*>(Source);
  if (!source) return inherited::Assign(Source);
  Data = source->Data;
  userCaption_ = source->userCaption_;
  userGlyph_->Assign(source->userGlyph_.get());
  userPaintStyle_ = source->userPaintStyle_;
  userWidth_ = source->userWidth_;
  TdxBarItem* item = source->item_;
  TdxBarManager* manager = BarManager();
  if (item && manager && item->BarManager() != manager)
    if (TdxBarItem* own = manager->GetItemByName(item->Name())) item = own;
  if (item) SetItem(item);
  userDefine_ = source->userDefine_;
  SetBeginGroup(source->BeginGroup());
  SetButtonGroup(source->buttonGroup_);
  SetPosition(source->position_);
  SetViewLevels(source->viewLevels_);
  SetVisible(source->visible_);
}

void TdxBarItemLink::DefineProperties(TFiler* Filer) {
  TCollectionItem::DefineProperties(Filer);
  Filer->DefineProperty(
      "ItemName", TReaderProc(this, &TdxBarItemLink::ReadItemName),
      TWriterProc(this, &TdxBarItemLink::WriteItemName), item_ != nullptr);
}

void TdxBarItemLink::ReadItemName(TReader* Reader) {
  loadedItemName_ = Reader->ReadString();
}

void TdxBarItemLink::WriteItemName(TWriter* Writer) {
  Writer->WriteString(item_ ? item_->Name() : String());
}

void TdxBarItemLink::LoadItemName() {
  if (loadedItemName_.empty()) return;
  const String name = loadedItemName_;
  loadedItemName_.clear();
  TdxBarManager* manager = BarManager();
  TdxBarItem* item = manager ? manager->GetItemByName(name) : nullptr;
  if (!item) {
    // The stored item is gone: so is the link.
    Free(this);
    return;
  }
  const bool visible = loadedVisible_;
  SetItem(item);
  loadedVisible_ = visible;
}

// ---------------------------------------------------------------------------
// TdxBarItemLinks
// ---------------------------------------------------------------------------

TdxBarItemLinks::TdxBarItemLinks(TdxBarManager* ABarManager,
                                 IdxBarLinksOwner* AOwner)
    : TCollection(TdxBarItemLink::StaticClass()),
      barManager_(ABarManager),
      owner_(AOwner) {}

TdxBarItemLinks::~TdxBarItemLinks() {
  DestroyBarControl();
  // The links leave while the collection is still whole.
  BeginUpdate();
  while (Count() > 0) Free(Items(Count() - 1));
}

TPersistent* TdxBarItemLinks::GetOwner() {
  return owner_ ? owner_->GetOwnerComponent() : nullptr;
}

Integer TdxBarItemLinks::Find(const std::vector<TdxBarItemLink*>& L,
                              const TdxBarItemLink* ALink) {
  auto it = std::find(L.begin(), L.end(), ALink);
  return it == L.end() ? -1 : static_cast<Integer>(it - L.begin());
}

TdxBarItemLink* TdxBarItemLinks::Add(TdxBarItem* AItem) {
  BeginUpdate();
  TScopeGuard end([this] { EndUpdate(); });
  TdxBarItemLink* link = Add();
  try {
    link->SetItem(AItem);
  } catch (...) {
    Free(link);
    throw;
  }
  return link;
}

TdxBarItem* TdxBarItemLinks::AddItem(TClass AItemClass) {
  if (!barManager_) return nullptr;
  TdxBarItem* item = barManager_->AddItem(AItemClass);
  try {
    Add(item);
  } catch (...) {
    Free(item);
    throw;
  }
  return item;
}

TdxBarItem* TdxBarItemLinks::AddButton() {
  return AddItem(TdxBarButton::StaticClass());
}

TdxBarItem* TdxBarItemLinks::AddSubItem() {
  return AddItem(TdxBarSubItem::StaticClass());
}

Integer TdxBarItemLinks::IndexOf(TdxBarItemLink* ALink) const {
  return ALink && ALink->Collection() == this ? ALink->Index() : -1;
}

void TdxBarItemLinks::Move(Integer AFrom, Integer ATo) {
  if (AFrom < 0 || AFrom >= Count() || ATo < 0 || ATo >= Count() ||
      AFrom == ATo)
    return;
  BeginUpdate();
  TScopeGuard end([this] { EndUpdate(); });
  Items(AFrom)->SetIndex(ATo);
}

bool TdxBarItemLinks::HasItem(TdxBarItem* AItem) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->HasItem(AItem)) return true;
  return false;
}

Integer TdxBarItemLinks::GetIndexByItemName(const String& AName) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Item() && Items(i)->Item()->Name() == AName) return i;
  return -1;
}

bool TdxBarItemLinks::CanContainItem(TdxBarItem* AItem, String& AErrorText) {
  return !owner_ || owner_->CanContainItem(AItem, AErrorText);
}

void TdxBarItemLinks::CreateBarControl() {
  if (barControl_ || !owner_) return;
  barControl_ = owner_->CreateBarControl();
  if (!barControl_) return;
  barControl_->SetItemLinks(this);
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->VisibleIndex() >= 0) Items(i)->CreateControl();
}

void TdxBarItemLinks::DestroyBarControl() {
  if (!barControl_) return;
  for (Integer i = 0; i < Count(); ++i) Items(i)->DestroyControl();
  TCustomdxBarControl* control = barControl_;
  barControl_ = nullptr;
  if (!control->ComponentState().Contains(csDestroying)) Free(control);
}

void TdxBarItemLinks::FreeForeignItems(TdxBarManager* AManager) {
  for (Integer i = Count() - 1; i >= 0; --i) {
    TdxBarItem* item = Items(i)->Item();
    TdxBarManager* itemManager = item ? item->BarManager() : nullptr;
    if (AManager ? itemManager == AManager : itemManager != barManager_)
      Free(Items(i));
  }
}

void TdxBarItemLinks::LoadItemNames() {
  for (Integer i = Count() - 1; i >= 0; --i) Items(i)->LoadItemName();
}

void TdxBarItemLinks::InitiateActions() {
  for (Integer i = 0; i < Count(); ++i) Items(i)->InitiateAction();
}

bool TdxBarItemLinks::IsScrollable() const {
  return !(owner_ && owner_->IsBar());
}

bool TdxBarItemLinks::CanUseRecentItems() const {
  return barManager_ && barManager_->CanShowRecentItems() && useRecentItems_ &&
         (!ParentLinks || ParentLinks->CanUseRecentItems());
}

void TdxBarItemLinks::SetUseRecentItems(bool Value) {
  if (useRecentItems_ == Value) return;
  useRecentItems_ = Value;
  RefreshVisibilityLists();
}

void TdxBarItemLinks::SetRecentItemCount(Integer Value) {
  prevRecentItemCount_ = recentItemCount_;
  recentItemCount_ = CanUseRecentItems() ? Value : -1;
  RefreshVisibilityLists();
}

void TdxBarItemLinks::RefreshVisibilityLists() {
  available_.clear();
  canVisible_.clear();
  visible_.clear();
  const bool designing = barManager_ && barManager_->IsDesigning();
  for (Integer i = 0; i < Count(); ++i) {
    TdxBarItemLink* link = Items(i);
    if (!link->Item()) continue;
    if (!designing && !link->Item()->GetActuallyVisible()) continue;
    available_.push_back(link);
    if (!designing && !link->Visible()) continue;
    canVisible_.push_back(link);
    if (designing || recentItemCount_ == -1) visible_.push_back(link);
  }
  if (!designing && recentItemCount_ > 0) {
    for (TdxBarItemLink* link : recent_) {
      if (static_cast<Integer>(visible_.size()) >= recentItemCount_) break;
      if (Find(canVisible_, link) >= 0) visible_.push_back(link);
    }
    std::sort(visible_.begin(), visible_.end(),
              [this](TdxBarItemLink* a, TdxBarItemLink* b) {
                return Find(canVisible_, a) < Find(canVisible_, b);
              });
  }
  const bool customizing = barManager_ && barManager_->IsCustomizing();
  if (customizing || IsUpdateLocked()) return;
  // Of a run of separators only the last stays; a run at the end goes.
  auto isSeparator = [](TdxBarItemLink* l) {
    return dynamic_cast<TdxBarSeparator*>(l->Item()) != nullptr;
  };
  TdxBarItemLink* examined = nullptr;
  for (Integer i = static_cast<Integer>(visible_.size()) - 1; i >= 0; --i) {
    TdxBarItemLink* link = visible_[static_cast<size_t>(i)];
    const bool last = i == static_cast<Integer>(visible_.size()) - 1;
    if (isSeparator(link) && (last || (examined && isSeparator(examined)))) {
      visible_.erase(visible_.begin() + i);
      canVisible_.erase(
          std::remove(canVisible_.begin(), canVisible_.end(), link),
          canVisible_.end());
    }
    examined = link;
  }
}

Integer TdxBarItemLinks::GetMostRecentItemCount() const {
  if (!CanUseRecentItems() || canVisible_.empty()) return -1;
  Integer lo = canVisible_.front()->UseCount(), hi = lo;
  for (TdxBarItemLink* link : canVisible_) {
    lo = std::min(lo, link->UseCount());
    hi = std::max(hi, link->UseCount());
  }
  const Integer percents = barManager_->MostRecentItemsPercents();
  const Integer threshold = lo + ::MulDiv(hi - lo, 100 - percents, 100);
  Integer result = 0;
  for (Integer pos = CanVisibleItemCount() - 1; pos >= 0; --pos) {
    TdxBarItemLink* link = RecentItems(pos);
    if (link && link->UseCount() >= threshold && link->Collection() == this) {
      result = pos + 1;
      break;
    }
  }
  return result == CanVisibleItemCount() ? -1 : result;
}

void TdxBarItemLinks::CheckVisibleIntegrity() {
  size_t pos = 0;
  while (pos < recent_.size() && recent_[pos]->CanVisible()) ++pos;
  for (size_t i = pos + 1; i < recent_.size(); ++i)
    if (recent_[i]->CanVisible()) {
      TdxBarItemLink* link = recent_[i];
      recent_.erase(recent_.begin() + static_cast<std::ptrdiff_t>(i));
      recent_.insert(recent_.begin() + static_cast<std::ptrdiff_t>(pos++),
                     link);
    }
  RefreshVisibilityLists();
}

bool TdxBarItemLinks::IsShortCut(TShortCut AShortCut) {
  if (AShortCut == 0) return false;
  InitiateActions();
  for (Integer i = 0; i < AvailableItemCount(); ++i) {
    TdxBarItem* item = AvailableItems(i)->Item();
    if (!item || !item->GetEnabled()) continue;
    if (item->IsShortCut(AShortCut)) return true;
  }
  return false;
}

Integer TdxBarItemLinks::GetRealVisibleItemCount() const {
  if (IsScrollable() || !barControl_ || !barControl_->HandleAllocated())
    return VisibleItemCount();
  const TRect client = barControl_->GetClientRect();
  Integer n = 0;
  for (TdxBarItemLink* link : visible_) {
    const TRect& r = link->ItemRect;
    if (r.Left >= r.Right || r.Top >= r.Bottom) break;
    if (r.Left < client.Left || r.Top < client.Top || r.Right > client.Right ||
        r.Bottom > client.Bottom)
      break;
    ++n;
  }
  return n;
}

bool TdxBarItemLinks::Selectable(TdxBarItemLink* ALink) const {
  return ALink->Control() && ALink->Control()->CanSelect();
}

TdxBarItemLink* TdxBarItemLinks::First() const {
  const Integer n = GetRealVisibleItemCount();
  for (Integer i = 0; i < n; ++i)
    if (Selectable(visible_[static_cast<size_t>(i)]))
      return visible_[static_cast<size_t>(i)];
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::Last() const {
  for (Integer i = GetRealVisibleItemCount() - 1; i >= 0; --i)
    if (Selectable(visible_[static_cast<size_t>(i)]))
      return visible_[static_cast<size_t>(i)];
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::Next(TdxBarItemLink* ALink, bool AAny) const {
  if (!ALink) return First();
  const Integer n = GetRealVisibleItemCount();
  const Integer start = Find(visible_, ALink);
  if (n == 0 || start < 0) return nullptr;
  for (Integer step = 1; step <= n; ++step) {
    TdxBarItemLink* link = visible_[static_cast<size_t>((start + step) % n)];
    if (link == ALink) return nullptr;
    if (AAny || Selectable(link)) return link;
  }
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::Prev(TdxBarItemLink* ALink, bool AAny) const {
  if (!ALink) return Last();
  const Integer n = GetRealVisibleItemCount();
  const Integer start = Find(visible_, ALink);
  if (n == 0 || start < 0) return nullptr;
  for (Integer step = 1; step <= n; ++step) {
    TdxBarItemLink* link =
        visible_[static_cast<size_t>((start - step + n) % n)];
    if (link == ALink) return nullptr;
    if (AAny || Selectable(link)) return link;
  }
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::FindItemWithAccel(Word AKey,
                                                   TShiftState AShift,
                                                   TdxBarItemLink* ALink) {
  AShift.Exclude(ssAlt);
  return DoFindItemWithAccel(AKey, AShift, ALink);
}

TdxBarItemLink* TdxBarItemLinks::DoFindItemWithAccel(Word, TShiftState,
                                                     TdxBarItemLink*) {
  return nullptr;
}

TdxBarItemLink* TdxBarControlItemLinks::DoFindItemWithAccel(
    Word AKey, TShiftState AShift, TdxBarItemLink* ALink) {
  if (!BarControl() || !BarControl()->HandleAllocated() ||
      !::IsWindowVisible(BarControl()->Handle()))
    return nullptr;
  TdxBarItemLink* start = ALink ? Next(ALink) : First();
  TdxBarItemLink* link = start;
  while (link) {
    if (link->Item() && link->Item()->HasAccel(link) &&
        link->IsAccel(AKey, AShift))
      return link;
    link = Next(link);
    if (link == start) break;
  }
  return nullptr;
}

TdxBarItemLink* TdxBarSubMenuControlItemLinks::DoFindItemWithAccel(
    Word AKey, TShiftState AShift, TdxBarItemLink* ALink) {
  const Integer n = CanVisibleItemCount();
  if (n == 0) return nullptr;
  Integer start = ALink ? ALink->CanVisibleIndex() : 0;
  if (start < 0) start = 0;
  // Starting after the given link (after the first without one), so that
  // the first link is examined last.
  for (Integer step = 1; step <= n; ++step) {
    TdxBarItemLink* link = CanVisibleItems((start + step) % n);
    if (link->Item() && link->Item()->HasAccel(link) &&
        link->IsAccel(AKey, AShift))
      return link;
  }
  return nullptr;
}

void TdxBarItemLinks::Merge(TdxBarItemLinks* ASource, TdxBar* AMergedBar) {
  for (Integer s = 0; s < ASource->Count(); ++s) {
    TdxBarItemLink* source = ASource->Items(s);
    TdxBarItem* sourceItem = source->Item();
    if (!sourceItem) continue;
    TdxBarItemMergeKind kind = sourceItem->MergeKind();
    Integer position = -1;
    if (kind != mkNone) {
      if (kind == mkMergeByCaption)
        for (Integer t = 0; t < Count(); ++t) {
          TdxBarItem* target = Items(t)->Item();
          if (target && target->MergeKind() == mkMergeByCaption &&
              Items(t)->Caption() == source->Caption() &&
              target->CanMergeWith(sourceItem))
            position = t;
        }
      if (position < 0) {
        kind = mkAdd;
        position = 0;
        for (Integer t = 0; t < Count(); ++t) {
          TdxBarItem* target = Items(t)->Item();
          if (target && target->MergeOrder() <= sourceItem->MergeOrder())
            position = t + 1;
        }
      }
    }
    if (barManager_)
      barManager_->DoMergeItemLink(this, ASource, source, kind, position);
    if (position < 0) kind = mkNone;
    if (kind == mkMergeByCaption &&
        (position >= Count() || !Items(position)->Item() ||
         !Items(position)->Item()->CanMergeWith(sourceItem)))
      kind = mkNone;
    if (kind == mkAdd && position > Count()) kind = mkNone;
    if (kind == mkMergeByCaption) {
      TdxBarItemLinks* targetLinks = Items(position)->Item()->GetItemLinks();
      if (targetLinks && sourceItem->GetItemLinks())
        targetLinks->Merge(sourceItem->GetItemLinks(), AMergedBar);
    } else if (kind == mkAdd) {
      TdxBarItemLink* link = Insert(position);
      link->Assign(source);
      link->mergedBar_ = AMergedBar;
    }
  }
}

void TdxBarItemLinks::Unmerge(TdxBar* ABar) {
  for (Integer i = Count() - 1; i >= 0; --i) {
    TdxBarItemLink* link = Items(i);
    if (link->mergedBar_ && (!ABar || link->mergedBar_ == ABar))
      Free(link);
    else if (link->Item() && link->Item()->GetItemLinks())
      link->Item()->GetItemLinks()->Unmerge(ABar);
  }
}

void TdxBarItemLinks::Loaded(bool AApplyVisibility) {
  for (Integer i = Count() - 1; i >= 0; --i)
    if (Items(i)->Item()) Items(i)->CheckMostRecentlyUsed();
  if (AApplyVisibility)
    for (Integer i = 0; i < Count(); ++i) Items(i)->ApplyLoadedVisible();
  for (Integer pos = 0; pos < Count(); ++pos)
    for (Integer i = 0; i < Count(); ++i) {
      TdxBarItemLink* link = Items(i);
      if (link->loadedRecentIndex_ == pos) {
        link->useCount_ = link->loadedUseCount_;
        link->SetRecentIndex(pos);
        link->loadedRecentIndex_ = -1;
      }
    }
  RefreshVisibilityLists();
  if (barControl_) barControl_->RecreateControls();
}

void TdxBarItemLinks::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxBarItemLinks*>(Source);
  if (!source) return inherited::Assign(Source);
  BeginUpdate();
  TScopeGuard end([this] { EndUpdate(); });
  {
    TRestoreOnExit<bool> keep(assigning_);
    assigning_ = true;
    while (Count() > 0) Free(Items(Count() - 1));
    for (Integer i = 0; i < source->Count(); ++i)
      Add()->Assign(source->Items(i));
  }
  for (Integer i = 0; i < Count(); ++i) Items(i)->ApplyLoadedVisible();
}

void TdxBarItemLinks::BeginUpdate() { TCollection::BeginUpdate(); }

void TdxBarItemLinks::EndUpdate() {
  TCollection::EndUpdate();
  if (UpdateCount() == 0) RefreshVisibilityLists();
}

void TdxBarItemLinks::Update(TCollectionItem* AItem) {
  if (!AItem) RefreshVisibilityLists();
  TComponent* component = owner_ ? owner_->GetOwnerComponent() : nullptr;
  if (component && component->ComponentState().Contains(csDestroying)) return;
  if (barManager_) barManager_->DesignerModified();
  if (AItem) {
    if (barManager_)
      barManager_->DoItemLinkChange(static_cast<TdxBarItemLink*>(AItem));
    return;
  }
  if (barControl_ && barControl_->Enabled()) barControl_->RepaintBar();
  OnChange(this);
}

void TdxBarItemLinks::Notify(TCollectionItem* AItem,
                             TCollectionNotification AAction) {
  TCollection::Notify(AItem, AAction);
  auto* link = static_cast<TdxBarItemLink*>(AItem);
  if (AAction == cnAdded) {
    recent_.push_back(link);
    if (barManager_ && !barManager_->IsLoading())
      barManager_->DoItemLinkAdd(link);
  } else {
    recent_.erase(std::remove(recent_.begin(), recent_.end(), link),
                  recent_.end());
    available_.erase(std::remove(available_.begin(), available_.end(), link),
                     available_.end());
    canVisible_.erase(std::remove(canVisible_.begin(), canVisible_.end(), link),
                      canVisible_.end());
    visible_.erase(std::remove(visible_.begin(), visible_.end(), link),
                   visible_.end());
  }
}
