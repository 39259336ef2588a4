// Bar components, groups, categories, popup-menu links and the manager's
// option objects.
#include <windows.h>

#include <algorithm>

#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "dxBar.h"

// ---------------------------------------------------------------------------
// TdxBarPersistent, TdxBarBackgrounds, TdxBarImageOptions
// ---------------------------------------------------------------------------

TPersistent* TdxBarPersistent::GetOwner() { return barManager_; }

TdxBarBackgrounds::TdxBarBackgrounds(TdxBarManager* ABarManager)
    : TdxBarPersistent(ABarManager), bar_(new TBitmap), subMenu_(new TBitmap) {
  bar_->OnChange = TNotifyEvent(this, &TdxBarBackgrounds::BarChanged);
}

TdxBarBackgrounds::~TdxBarBackgrounds() {
  Free(bar_);
  Free(subMenu_);
}

void TdxBarBackgrounds::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxBarBackgrounds*>(Source)) {
    SetBar(source->Bar());
    SetSubMenu(source->SubMenu());
    return;
  }
  inherited::Assign(Source);
}

void TdxBarBackgrounds::SetBar(TBitmap* Value) {
  const bool wasEmpty = bar_->Empty();
  {
    // The change notice of the bitmap comes once, below.
    TRestoreOnExit<TNotifyEvent> keep(bar_->OnChange);
    bar_->OnChange = nullptr;
    bar_->Assign(Value);
  }
  if (Value || !wasEmpty) BarChanged(bar_);
}

void TdxBarBackgrounds::SetSubMenu(TBitmap* Value) { subMenu_->Assign(Value); }

void TdxBarBackgrounds::BarChanged(TObject*) {
  if (BarManager()) BarManager()->InternalStyleChanged();
}

TdxBarImageOptions::TdxBarImageOptions(TdxBarManager* ABarManager)
    : TdxBarPersistent(ABarManager), freeNotificator_(new TcxFreeNotificator) {
  freeNotificator_->OnFreeNotification =
      TcxFreeNotificationEvent(this, &TdxBarImageOptions::ImageListFreed);
}

TdxBarImageOptions::~TdxBarImageOptions() = default;

void TdxBarImageOptions::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxBarImageOptions*>(Source);
  if (!source) return inherited::Assign(Source);
  SetDisabledImages(source->DisabledImages());
  SetDisabledLargeImages(source->DisabledLargeImages());
  SetHotImages(source->HotImages());
  SetImages(source->Images());
  SetImageListBkColor(source->ImageListBkColor());
  SetLargeIcons(source->LargeIcons());
  SetLargeImages(source->LargeImages());
  SetMakeDisabledImagesFaded(source->MakeDisabledImagesFaded());
  SmoothGlyphs = source->SmoothGlyphs;
  StretchGlyphs = source->StretchGlyphs;
  SetUseLargeImagesForLargeIcons(source->UseLargeImagesForLargeIcons());
  SetUseLeftBottomPixelAsTransparent(source->UseLeftBottomPixelAsTransparent());
}

void TdxBarImageOptions::SetImageList(TCustomImageList*& AField,
                                      TCustomImageList* AValue) {
  if (AField == AValue) return;
  if (AField) freeNotificator_->RemoveSender(AField);
  AField = AValue;
  if (AField) freeNotificator_->AddSender(AField);
  Changed();
}

void TdxBarImageOptions::SetImages(TCustomImageList* Value) {
  SetImageList(images_, Value);
}
void TdxBarImageOptions::SetLargeImages(TCustomImageList* Value) {
  if (largeImages_ == Value) return;
  SetImageList(largeImages_, Value);
  if (largeIcons_ && useLargeImagesForLargeIcons_) OnLargeIconsChanged(this);
}
void TdxBarImageOptions::SetHotImages(TCustomImageList* Value) {
  SetImageList(hotImages_, Value);
}
void TdxBarImageOptions::SetDisabledImages(TCustomImageList* Value) {
  SetImageList(disabledImages_, Value);
}
void TdxBarImageOptions::SetDisabledLargeImages(TCustomImageList* Value) {
  SetImageList(disabledLargeImages_, Value);
}

void TdxBarImageOptions::SetImageListBkColor(TColor Value) {
  if (imageListBkColor_ == Value) return;
  imageListBkColor_ = Value;
  Changed();
}

void TdxBarImageOptions::SetLargeIcons(bool Value) {
  if (largeIcons_ == Value) return;
  largeIcons_ = Value;
  OnLargeIconsChanged(this);
}

void TdxBarImageOptions::SetMakeDisabledImagesFaded(bool Value) {
  if (makeDisabledImagesFaded_ == Value) return;
  makeDisabledImagesFaded_ = Value;
  Changed();
}

void TdxBarImageOptions::SetUseLargeImagesForLargeIcons(bool Value) {
  if (useLargeImagesForLargeIcons_ == Value) return;
  useLargeImagesForLargeIcons_ = Value;
  Changed();
}

void TdxBarImageOptions::SetUseLeftBottomPixelAsTransparent(bool Value) {
  if (useLeftBottomPixelAsTransparent_ == Value) return;
  useLeftBottomPixelAsTransparent_ = Value;
  Changed();
}

Integer TdxBarImageOptions::CalcGlyphSize() const {
  if (!largeIcons_) return 16;
  return IsLargeImagesForLargeIcons() ? largeImages_->Width() : 32;
}

void TdxBarImageOptions::ImageListFreed(TComponent* AImageList) {
  for (TCustomImageList** field : {&images_, &largeImages_, &hotImages_,
                                   &disabledImages_, &disabledLargeImages_})
    if (*field == AImageList) *field = nullptr;
  Changed();
}

void TdxBarImageOptions::Changed() { OnChanged(this); }

// ---------------------------------------------------------------------------
// TdxBarComponent
// ---------------------------------------------------------------------------

TdxBarComponent::TdxBarComponent(TComponent* AOwner) : TComponent(AOwner) {}

TdxBarComponent::~TdxBarComponent() = default;

void TdxBarComponent::AddChangeNotify(TdxComponentList* AList) {
  if (std::find(notifyLists_.begin(), notifyLists_.end(), AList) ==
      notifyLists_.end())
    notifyLists_.push_back(AList);
}

void TdxBarComponent::RemoveChangeNotify(TdxComponentList* AList) {
  notifyLists_.erase(
      std::remove(notifyLists_.begin(), notifyLists_.end(), AList),
      notifyLists_.end());
}

void TdxBarComponent::Changed(bool AAll) {
  if (ComponentState().Contains(csDestroying)) return;
  const auto lists = notifyLists_;
  for (TdxComponentList* list : lists)
    list->Update(AAll ? nullptr : this, ccnChanged);
}

bool TdxBarComponent::CanDelete() { return true; }

// ---------------------------------------------------------------------------
// TdxBarGroup
// ---------------------------------------------------------------------------

TdxBarGroup::TdxBarGroup(TComponent* AOwner) : TdxBarComponent(AOwner) {}

TdxBarGroup::~TdxBarGroup() {
  if (barManager_) barManager_->GroupList()->Remove(this);
}

bool TdxBarGroup::Contains(TdxBarComponent* AComponent) const {
  for (Integer i = 0; i < members_.Count(); ++i) {
    auto* member = static_cast<TdxBarComponent*>(members_.Items(i));
    if (member == AComponent) return true;
    if (auto* group = dynamic_cast<TdxBarGroup*>(member))
      if (group->Contains(AComponent)) return true;
  }
  return false;
}

void TdxBarGroup::Add(TdxBarComponent* AComponent) {
  if (!AComponent || IndexOf(AComponent) >= 0) return;
  auto* group = dynamic_cast<TdxBarGroup*>(AComponent);
  if (group == this || (group && group->Contains(this)))
    throw Exception(cxGetResourceString(dxSBAR_RECURSIVEGROUPS));
  members_.Add(AComponent);
  AComponent->FreeNotification(this);
}

void TdxBarGroup::Delete(Integer AIndex) {
  if (auto* member = static_cast<TdxBarComponent*>(members_.Items(AIndex)))
    Remove(member);
}

void TdxBarGroup::Remove(TdxBarComponent* AComponent) {
  if (IndexOf(AComponent) < 0) return;
  members_.Extract(AComponent);
  if (!ComponentState().Contains(csDestroying))
    AComponent->RemoveFreeNotification(this);
}

Integer TdxBarGroup::IndexOf(TdxBarComponent* AComponent) const {
  return members_.IndexOf(AComponent);
}

void TdxBarGroup::Move(Integer ACurIndex, Integer ANewIndex) {
  members_.Move(ACurIndex, ANewIndex);
}

Integer TdxBarGroup::Count() const {
  return loadedNames_.empty() || !IsAncestorComponentDifferencesDetection(
                                     const_cast<TdxBarGroup*>(this))
             ? members_.Count()
             : static_cast<Integer>(loadedNames_.size());
}

TdxBarComponent* TdxBarGroup::Items(Integer AIndex) const {
  return static_cast<TdxBarComponent*>(members_.Items(AIndex));
}

Integer TdxBarGroup::GetIndex() const {
  return barManager_
             ? barManager_->GroupList()->IndexOf(const_cast<TdxBarGroup*>(this))
             : -1;
}

void TdxBarGroup::SetIndex(Integer Value) {
  if (barManager_) barManager_->GroupList()->Move(GetIndex(), Value);
}

void TdxBarGroup::SetEnabled(bool Value) {
  enabled_ = Value;
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying)) return;
  if (barManager_) barManager_->BeginUpdate();
  TScopeGuard end([this] {
    if (barManager_) barManager_->EndUpdate(true);
  });
  for (Integer i = 0; i < members_.Count(); ++i) Items(i)->SetEnabled(Value);
}

void TdxBarGroup::SetVisible(TdxBarItemVisible Value) {
  visible_ = Value;
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying)) return;
  if (barManager_) barManager_->BeginUpdate();
  TScopeGuard end([this] {
    if (barManager_) barManager_->EndUpdate(true);
  });
  for (Integer i = 0; i < members_.Count(); ++i) Items(i)->SetVisible(Value);
}

void TdxBarGroup::SetName(const String& NewName) {
  TdxBarComponent::SetName(NewName);
  Changed();
}

TComponent* TdxBarGroup::GetParentComponent() { return barManager_; }

void TdxBarGroup::SetParentComponent(TComponent* Value) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(Value))
    manager->AddGroup(this);
}

void TdxBarGroup::DefineProperties(TFiler* Filer) {
  TdxBarComponent::DefineProperties(Filer);
  Filer->DefineProperty("Items", TReaderProc(this, &TdxBarGroup::ReadItems),
                        TWriterProc(this, &TdxBarGroup::WriteItems),
                        members_.Count() > 0);
}

void TdxBarGroup::ReadItems(TReader* Reader) {
  std::vector<String> names;
  Reader->ReadListBegin();
  while (!Reader->EndOfList()) names.push_back(Reader->ReadString());
  Reader->ReadListEnd();
  if (ComponentState().Contains(csLoading)) {
    loadedNames_ = std::move(names);
    return;
  }
  ResolveNames(names);
}

void TdxBarGroup::WriteItems(TWriter* Writer) {
  Writer->WriteListBegin();
  for (Integer i = 0; i < members_.Count(); ++i)
    Writer->WriteString(members_.Items(i)->Name());
  Writer->WriteListEnd();
}

void TdxBarGroup::ResolveNames(const std::vector<String>& ANames) {
  while (members_.Count() > 0) Delete(members_.Count() - 1);
  TComponent* root = barManager_ ? barManager_->Owner() : Owner();
  if (!root) return;
  for (const String& name : ANames)
    if (auto* member =
            dynamic_cast<TdxBarComponent*>(root->FindComponent(name)))
      Add(member);
}

void TdxBarGroup::Loaded() {
  TdxBarComponent::Loaded();
  if (!loadedNames_.empty()) {
    const auto names = std::move(loadedNames_);
    loadedNames_.clear();
    ResolveNames(names);
  }
}

void TdxBarGroup::Notification(TComponent* AComponent, TOperation Operation) {
  TdxBarComponent::Notification(AComponent, Operation);
  // Compared by address: a member may be told about while its destructor
  // runs, when it is no bar component any longer.
  if (Operation == opRemove && members_.IndexOf(AComponent) >= 0)
    members_.Extract(AComponent);
}

// ---------------------------------------------------------------------------
// TdxBarManagerCategories
// ---------------------------------------------------------------------------

TdxBarManagerCategories::TdxBarManagerCategories(TdxBarManager* ABarManager)
    : barManager_(ABarManager) {
  if (!barManager_ || !barManager_->IsLoading())
    Add(cxGetResourceString(dxSBAR_DEFAULTCATEGORYNAME));
}

TdxBarManagerCategories::~TdxBarManagerCategories() {
  for (Integer i = 0; i < Count(); ++i) Free(Objects(i));
}

TdxBarCategoryData* TdxBarManagerCategories::Data(Integer Index, bool ACreate) {
  if (Index < 0 || Index >= Count()) return nullptr;
  auto* data = static_cast<TdxBarCategoryData*>(Objects(Index));
  if (!data && ACreate) {
    data = new TdxBarCategoryData;
    TStringList::PutObject(Index, data);
  }
  return data;
}

// Items of category AFrom move to category ATo.
void TdxBarManagerCategories::SetItemsCategory(Integer AFrom, Integer ATo) {
  if (!barManager_) return;
  TdxObjectList items;
  barManager_->GetAllItemsByCategory(AFrom, &items);
  for (Integer i = 0; i < items.Count(); ++i)
    static_cast<TdxBarItem*>(items.GetItem(i))->SetCategory(ATo);
}

void TdxBarManagerCategories::Insert(Integer Index, const String& S) {
  InsertObject(Index, S, nullptr);
}

void TdxBarManagerCategories::InsertObject(Integer Index, const String& S,
                                           TObject* AObject) {
  if (!moving_ && Index >= 0 && Index < Count())
    for (Integer i = Count() - 1; i >= Index; --i) SetItemsCategory(i, i + 1);
  TStringList::InsertObject(Index, S, AObject);
}

void TdxBarManagerCategories::Delete(Integer Index) {
  if (moving_) return TStringList::Delete(Index);
  if (Index < 0 || Index >= Count()) return;
  if (barManager_) {
    TdxObjectList items;
    barManager_->GetAllItemsByCategory(Index, &items);
    for (Integer i = items.Count() - 1; i >= 0; --i) Free(items.GetItem(i));
    for (Integer i = Index + 1; i < Count(); ++i) SetItemsCategory(i, i - 1);
  }
  Free(Objects(Index));
  TStringList::Delete(Index);
  if (Count() == 0) Add(cxGetResourceString(dxSBAR_DEFAULTCATEGORYNAME));
}

void TdxBarManagerCategories::Exchange(Integer Index1, Integer Index2) {
  if (Index1 < 0 || Index1 >= Count() || Index2 < 0 || Index2 >= Count())
    return;
  // Park the items of the first category while the second moves over.
  SetItemsCategory(Index1, -1000);
  SetItemsCategory(Index2, Index1);
  SetItemsCategory(-1000, Index2);
  TStringList::Exchange(Index1, Index2);
}

void TdxBarManagerCategories::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 ||
      NewIndex >= Count() || CurIndex == NewIndex)
    return;
  SetItemsCategory(CurIndex, -1000);
  if (CurIndex < NewIndex)
    for (Integer i = CurIndex + 1; i <= NewIndex; ++i)
      SetItemsCategory(i, i - 1);
  else
    for (Integer i = CurIndex - 1; i >= NewIndex; --i)
      SetItemsCategory(i, i + 1);
  SetItemsCategory(-1000, NewIndex);
  TRestoreOnExit<bool> keep(moving_);
  moving_ = true;
  TStringList::Move(CurIndex, NewIndex);
}

void TdxBarManagerCategories::Clear() {
  for (Integer i = 0; i < Count(); ++i) {
    Free(Objects(i));
    TStringList::PutObject(i, nullptr);
  }
  TStringList::Clear();
}

void TdxBarManagerCategories::Changed() {
  TStringList::Changed();
  if (barManager_) barManager_->DesignerModified();
}

void TdxBarManagerCategories::DefineProperties(TFiler* Filer) {
  TStringList::DefineProperties(Filer);
  Filer->DefineProperty(
      "Strings", TReaderProc(this, &TdxBarManagerCategories::ReadStrings),
      TWriterProc(this, &TdxBarManagerCategories::WriteStrings), Count() > 0);
  Filer->DefineProperty(
      "ItemsVisibles",
      TReaderProc(this, &TdxBarManagerCategories::ReadItemsVisibles),
      TWriterProc(this, &TdxBarManagerCategories::WriteItemsVisibles), true);
  Filer->DefineProperty(
      "Visibles", TReaderProc(this, &TdxBarManagerCategories::ReadVisibles),
      TWriterProc(this, &TdxBarManagerCategories::WriteVisibles), true);
}

// The stored names replace the list as it stands (the default category of a
// new manager included); items are not touched.
void TdxBarManagerCategories::ReadStrings(TReader* Reader) {
  std::vector<String> names;
  Reader->ReadListBegin();
  while (!Reader->EndOfList()) names.push_back(Reader->ReadString());
  Reader->ReadListEnd();
  if (names.empty()) return;
  BeginUpdate();
  TScopeGuard end([this] { EndUpdate(); });
  Clear();
  for (const String& name : names) TStringList::Add(name);
}

void TdxBarManagerCategories::WriteStrings(TWriter* Writer) {
  Writer->WriteListBegin();
  for (Integer i = 0; i < Count(); ++i) Writer->WriteString(Strings(i));
  Writer->WriteListEnd();
}

void TdxBarManagerCategories::ReadItemsVisibles(TReader* Reader) {
  Reader->ReadListBegin();
  for (Integer i = 0; !Reader->EndOfList(); ++i) {
    const Integer value = Reader->ReadInteger();
    if (i < Count() && barManager_ && value >= ivNever && value <= ivAlways)
      barManager_->SetCategoryItemsVisible(
          i, static_cast<TdxBarItemVisible>(value));
  }
  Reader->ReadListEnd();
}

void TdxBarManagerCategories::WriteItemsVisibles(TWriter* Writer) {
  Writer->WriteListBegin();
  for (Integer i = 0; i < Count(); ++i)
    Writer->WriteInteger(barManager_ ? barManager_->CategoryItemsVisible(i)
                                     : ivAlways);
  Writer->WriteListEnd();
}

void TdxBarManagerCategories::ReadVisibles(TReader* Reader) {
  Reader->ReadListBegin();
  for (Integer i = 0; !Reader->EndOfList(); ++i) {
    const bool value = Reader->ReadBoolean();
    if (i < Count() && barManager_) barManager_->SetCategoryVisible(i, value);
  }
  Reader->ReadListEnd();
}

void TdxBarManagerCategories::WriteVisibles(TWriter* Writer) {
  Writer->WriteListBegin();
  for (Integer i = 0; i < Count(); ++i)
    Writer->WriteBoolean(barManager_ ? barManager_->CategoryVisible(i) : true);
  Writer->WriteListEnd();
}

// ---------------------------------------------------------------------------
// Popup-menu links
// ---------------------------------------------------------------------------

TdxBarPopupMenuLink::TdxBarPopupMenuLink(TCollection* ACollection)
    : TCollectionItem(ACollection) {}

TdxBarPopupMenuLink::~TdxBarPopupMenuLink() { RestoreWndProc(); }

TdxBarManager* TdxBarPopupMenuLink::BarManager() const {
  auto* links = dynamic_cast<TdxBarPopupMenuLinks*>(Collection());
  return links ? links->BarManager() : nullptr;
}

void TdxBarPopupMenuLink::RestoreWndProc() {
  if (control_ && prevWndProc_.Assigned()) control_->WindowProc = prevWndProc_;
  prevWndProc_ = nullptr;
}

void TdxBarPopupMenuLink::SetControl(TControl* Value) {
  if (control_ == Value) return;
  TdxBarManager* manager = BarManager();
  // A control outside the manager's form is not taken.
  if (Value && manager && manager->ParentedOwner()) {
    TWinControl* owner = manager->ParentedOwner();
    bool inside = Value == owner;
    for (TWinControl* p = Value->Parent(); p && !inside; p = p->Parent())
      inside = p == owner;
    if (!inside) Value = nullptr;
  }
  RestoreWndProc();
  control_ = Value;
  if (control_) {
    if (manager) control_->FreeNotification(manager);
    prevWndProc_ = control_->WindowProc;
    control_->WindowProc = TWndMethod(this, &TdxBarPopupMenuLink::NewWndProc);
  }
}

void TdxBarPopupMenuLink::SetPopupMenu(TdxBarCustomPopupMenu* Value) {
  popupMenu_ = Value;
  if (popupMenu_ && BarManager()) popupMenu_->FreeNotification(BarManager());
}

void TdxBarPopupMenuLink::NewWndProc(TMessage& Message) {
  TControl* control = control_;
  TWndMethod previous = prevWndProc_;
  if (Message.Msg == WM_CONTEXTMENU && Message.Result == 0 && control &&
      !control->ComponentState().Contains(csDesigning)) {
    TPoint point{static_cast<short>(LOWORD(Message.LParam)),
                 static_cast<short>(HIWORD(Message.LParam))};
    if (point.X != -1 || point.Y != -1) {
      const TPoint client = control->ScreenToClient(point);
      if (auto* win = dynamic_cast<TWinControl*>(control)) {
        TControl* child = win->ControlAtPos(client, true);
        if (child &&
            (!ProcessChildren ||
             child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam)))
          return previous(Message);
      }
    }
    if (DoAction(point)) {
      Message.Result = 1;
      return;
    }
  }
  previous(Message);
}

bool TdxBarPopupMenuLink::DoAction(TPoint APoint) {
  bool allow = popupMenu_ != nullptr;
  const bool byMouse = APoint.X != -1 || APoint.Y != -1;
  TPoint client =
      byMouse && control_ ? control_->ScreenToClient(APoint) : TPoint{-1, -1};
  if (!byMouse && control_)
    if (auto* win = dynamic_cast<TWinControl*>(control_)) {
      POINT caret{};
      if (::GetFocus() == win->Handle() && ::GetCaretPos(&caret))
        client = TPoint{caret.x, caret.y};
    }
  OnAction(this, client.X, client.Y, byMouse, allow);
  if (allow && popupMenu_) {
    const TPoint screen = control_ ? control_->ClientToScreen(client) : client;
    popupMenu_->Popup(screen.X, screen.Y);
  }
  return allow;
}

bool TdxBarPopupMenuLink::IsShortCut(TShortCut AShortCut) {
  bool allow = popupMenu_ != nullptr;
  Integer x = -1, y = -1;
  OnAction(this, x, y, false, allow);
  return allow && popupMenu_ && popupMenu_->IsShortCut(AShortCut);
}

void TdxBarPopupMenuLink::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxBarPopupMenuLink*>(Source);
  if (!source) return inherited::Assign(Source);
  TdxBarManager* manager = BarManager();
  TComponent* root = manager ? manager->Owner() : nullptr;
  auto find = [&](TComponent* c) -> TComponent* {
    return c && root ? root->FindComponent(c->Name()) : nullptr;
  };
  SetControl(dynamic_cast<TControl*>(find(source->Control())));
  SetPopupMenu(dynamic_cast<TdxBarCustomPopupMenu*>(find(source->PopupMenu())));
  ProcessChildren = source->ProcessChildren;
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* ABarManager)
    : TCollection(TdxBarPopupMenuLink::StaticClass()),
      barManager_(ABarManager) {}

TPersistent* TdxBarPopupMenuLinks::GetOwner() { return barManager_; }

namespace {
bool ControlContains(TControl* AOuter, TControl* AInner) {
  for (TControl* c = AInner; c; c = c->Parent())
    if (c == AOuter) return true;
  return false;
}
}  // namespace

bool TdxBarPopupMenuLinks::IsShortCut(TControl* AControl, TShortCut AShortCut) {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Control() == AControl && Items(i)->IsShortCut(AShortCut))
      return true;
  for (Integer i = 0; i < Count(); ++i) {
    TdxBarPopupMenuLink* link = Items(i);
    if (link->ProcessChildren && link->Control() &&
        link->Control() != AControl &&
        ControlContains(link->Control(), AControl) &&
        link->IsShortCut(AShortCut))
      return true;
  }
  TdxBarManager* parent =
      barManager_ ? barManager_->GetParentBarManager() : nullptr;
  return parent && parent->PopupMenuLinks()->IsShortCut(AControl, AShortCut);
}

bool TdxBarPopupMenuLinks::DoAction(TControl* AControl, HWND AWnd,
                                    TPoint APoint) {
  if (barManager_ && barManager_->IsDesigning()) return false;
  auto inside = [&](TdxBarPopupMenuLink* link) {
    auto* win = dynamic_cast<TWinControl*>(link->Control());
    return !AWnd || !win || !win->HandleAllocated() || AWnd == win->Handle() ||
           ::IsChild(win->Handle(), AWnd);
  };
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Control() == AControl && inside(Items(i)) &&
        Items(i)->DoAction(APoint))
      return true;
  for (Integer i = 0; i < Count(); ++i) {
    TdxBarPopupMenuLink* link = Items(i);
    if (link->ProcessChildren && link->Control() &&
        link->Control() != AControl &&
        ControlContains(link->Control(), AControl) && inside(link) &&
        link->DoAction(APoint))
      return true;
  }
  TdxBarManager* parent =
      barManager_ ? barManager_->GetParentBarManager() : nullptr;
  return parent && parent->PopupMenuLinks()->DoAction(AControl, AWnd, APoint);
}
