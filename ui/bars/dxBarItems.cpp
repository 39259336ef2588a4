// Bar items: the command components, their action links and the kinds this
// layer holds (button, sub-menu, separator).
#include <windows.h>

#include <algorithm>

#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "dxBar.h"
#include "dxBarItemKinds.h"
#include "dxBarSubMenu.h"

// ---------------------------------------------------------------------------
// TdxBarItemActionLink
// ---------------------------------------------------------------------------

TdxBarItemActionLink::TdxBarItemActionLink(TdxBarItem* AClient)
    : TActionLink(AClient), item_(AClient) {}

TCustomAction* TdxBarItemActionLink::CustomAction() const {
  return dynamic_cast<TCustomAction*>(Action());
}

bool TdxBarItemActionLink::IsCaptionLinked() {
  TCustomAction* a = CustomAction();
  return a && item_->GetCaption() == a->Caption();
}
bool TdxBarItemActionLink::IsCheckedLinked() {
  TCustomAction* a = CustomAction();
  auto* button = dynamic_cast<TdxBarButton*>(item_);
  return a && button && button->Down() == a->Checked();
}
bool TdxBarItemActionLink::IsEnabledLinked() {
  TCustomAction* a = CustomAction();
  return a && item_->GetEnabled() == a->Enabled();
}
bool TdxBarItemActionLink::IsHelpContextLinked() {
  TCustomAction* a = CustomAction();
  return a && item_->HelpContext() == a->HelpContext();
}
bool TdxBarItemActionLink::IsHintLinked() {
  TCustomAction* a = CustomAction();
  return a && (item_->Hint() == a->Hint() || item_->IsHintFromCaption());
}
bool TdxBarItemActionLink::IsImageIndexLinked() {
  TCustomAction* a = CustomAction();
  return a && item_->GetActionImageIndex() == a->ImageIndex();
}
bool TdxBarItemActionLink::IsShortCutLinked() {
  TCustomAction* a = CustomAction();
  return a && item_->ShortCut() == a->ShortCut();
}
bool TdxBarItemActionLink::IsVisibleLinked() {
  TCustomAction* a = CustomAction();
  const TdxBarItemVisible visible =
      item_->GetIsLoading() ? item_->LoadedVisible() : item_->Visible();
  return a && VisibleTodxBarVisible(a->Visible()) == visible;
}
bool TdxBarItemActionLink::IsOnExecuteLinked() {
  TBasicAction* a = Action();
  return a && item_->OnClick.Data() == a->OnExecute.Data() &&
         item_->OnClick == a->OnExecute;
}

void TdxBarItemActionLink::TakeSnapshot() {
  TCustomAction* a = CustomAction();
  if (!a) return;
  last_ = {a->Caption(),    a->Checked(),  a->Enabled(), a->Hint(),
           a->ImageIndex(), a->ShortCut(), a->Visible()};
}

void TdxBarItemActionLink::SetCaption(const String& Value) {
  if (item_->GetCaption() == last_.Caption) item_->SetCaption(Value);
  last_.Caption = Value;
}
void TdxBarItemActionLink::SetChecked(bool Value) {
  auto* button = dynamic_cast<TdxBarButton*>(item_);
  if (button && button->Down() == last_.Checked) button->SetDown(Value);
  last_.Checked = Value;
}
void TdxBarItemActionLink::SetEnabled(bool Value) {
  if (item_->GetEnabled() == last_.Enabled) item_->SetEnabled(Value);
  last_.Enabled = Value;
}
void TdxBarItemActionLink::SetHint(const String& Value) {
  if (item_->Hint() == last_.Hint || item_->IsHintFromCaption())
    item_->SetHint(Value);
  last_.Hint = Value;
}
void TdxBarItemActionLink::SetImageIndex(Integer Value) {
  if (item_->GetActionImageIndex() == last_.ImageIndex)
    item_->SetActionImageIndex(Value);
  last_.ImageIndex = Value;
}
void TdxBarItemActionLink::SetShortCut(TShortCut Value) {
  if (item_->ShortCut() == last_.ShortCut) item_->SetShortCut(Value);
  last_.ShortCut = Value;
}
void TdxBarItemActionLink::SetVisible(bool Value) {
  if (item_->Visible() == VisibleTodxBarVisible(last_.Visible))
    item_->SetVisible(VisibleTodxBarVisible(Value));
  last_.Visible = Value;
}

void TdxBarItemActionLink::ActionChanged() { item_->DoActionChange(Action()); }

// ---------------------------------------------------------------------------
// TdxBarItem
// ---------------------------------------------------------------------------

TdxBarItem::TdxBarItem(TComponent* AOwner)
    : TdxBarComponent(AOwner), glyph_(new TBitmap), largeGlyph_(new TBitmap) {
  TdxBarManager* manager = GetBarManagerByComponent(AOwner);
  if (!manager && dxBarManagerList() && dxBarManagerList()->Count() > 0)
    manager = dxBarManagerList()->GetBarManager(0);
  if (manager) manager->AddItemToList(this);
  glyph_->OnChange = TNotifyEvent(this, &TdxBarItem::GlyphBitmapChanged);
  largeGlyph_->OnChange =
      TNotifyEvent(this, &TdxBarItem::LargeGlyphBitmapChanged);
}

TdxBarItem::~TdxBarItem() {
  if (barManager_) barManager_->RemoveItemFromList(this);
  actionLink_.reset();
  cxClearObjectLinks(this);
}

void TdxBarItem::BeforeDestruction() {
  OnDestroy(this);
  DestroyLinks();
  TdxBarComponent::BeforeDestruction();
}

TBasicAction* TdxBarItem::Action() const {
  return actionLink_ ? actionLink_->Action() : nullptr;
}

void TdxBarItem::SetAction(TBasicAction* Value) {
  if (Action() == Value) return;
  if (!Value) {
    actionLink_.reset();
    return;
  }
  const bool loading = Value->ComponentState().Contains(csLoading);
  if (loading && barManager_) barManager_->LockDesignerModified(true);
  TScopeGuard unlock([&] {
    if (loading && barManager_) barManager_->LockDesignerModified(false);
  });
  if (!actionLink_) actionLink_.reset(new TdxBarItemActionLink(this));
  actionLink_->SetAction(Value);
  ActionChange(Value, loading);
  Value->FreeNotification(this);
}

void TdxBarItem::DoActionChange(TObject* Sender) {
  if (Sender == Action()) ActionChange(Sender, false);
}

void TdxBarItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action || action != Action()) return;
  if (!CheckDefaults || caption_.empty()) {
    TRestoreOnExit<bool> keep(checkDefaults_);
    checkDefaults_ = true;
    SetCaption(action->Caption());
  }
  if (!CheckDefaults || GetEnabled()) SetEnabled(action->Enabled());
  if (!CheckDefaults || helpContext_ == 0) helpContext_ = action->HelpContext();
  if (!CheckDefaults || hint_.empty()) hint_ = action->Hint();
  if (!CheckDefaults || GetActionImageIndex() == -1)
    SetActionImageIndex(action->ImageIndex());
  if (!CheckDefaults || shortCut_ == 0) SetShortCut(action->ShortCut());
  if (!CheckDefaults || visible_ == ivAlways)
    SetVisible(VisibleTodxBarVisible(action->Visible()));
  if (!CheckDefaults || !OnClick.Assigned()) OnClick = action->OnExecute;
  if (actionLink_) actionLink_->TakeSnapshot();
}

void TdxBarItem::SetAlign(TdxBarItemAlign Value) {
  if (align_ == Value) return;
  align_ = Value;
  UpdateEx({bkBarControl, bkBarQuickControl, bkSubMenu});
}

String TdxBarItem::GetHintFromCaption() const {
  String s = caption_;
  auto amp = s.find('&');
  if (amp != String::npos) s.erase(amp, 1);
  auto dots = s.find("...");
  if (dots != String::npos) s.erase(dots, 3);
  return s;
}

bool TdxBarItem::IsHintFromCaption() const {
  const auto bar = hint_.find('|');
  const String shortHint = bar == String::npos ? hint_ : hint_.substr(0, bar);
  return shortHint == GetHintFromCaption();
}

void TdxBarItem::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  const bool isSubItem = dynamic_cast<TdxBarSubItem*>(this) != nullptr;
  const bool hintFollows =
      !checkDefaults_ && !isSubItem && (hint_.empty() || IsHintFromCaption());
  caption_ = Value;
  if (GetIsLoading()) return;
  if (hintFollows) {
    const String shortHint = GetHintFromCaption();
    const auto bar = hint_.find('|');
    hint_ = bar == String::npos ? shortHint
                                : shortHint + "|" + hint_.substr(bar + 1);
  }
  CaptionChanged();
}

void TdxBarItem::SetCategory(Integer Value) {
  if (GetIsLoading()) {
    category_ = Value;
    return;
  }
  if (!barManager_ || Value == category_ || Value < 0 ||
      Value >= barManager_->Categories()->Count()) {
    // Parking values while categories are reordered.
    if (Value <= -1000 || (barManager_ && Value >= 0 &&
                           Value < barManager_->Categories()->Count()))
      category_ = Value;
    return;
  }
  TdxObjectList items;
  barManager_->GetAllItemsByCategory(Value, &items);
  if (items.Count() > 0) {
    auto* last = static_cast<TdxBarItem*>(items.Last());
    const Integer lastIndex = last->GetIndex();
    const Integer target = lastIndex == barManager_->ItemCount() - 1
                               ? lastIndex
                               : lastIndex + (GetIndex() > lastIndex ? 1 : 0);
    barManager_->MoveItem(GetIndex(), target);
  }
  category_ = Value;
  Changed(true);
}

void TdxBarItem::SetDescription(const String& Value) {
  if (description_ == Value) return;
  description_ = Value;
  Changed(false);
}

bool TdxBarItem::GetEnabled() const {
  if (barManager_ && barManager_->IsCustomizing() && !GetIsDesigning() &&
      category_ >= 0)
    return true;
  return enabled_;
}

void TdxBarItem::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  if (!GetIsLoading()) EnabledChanged();
}

void TdxBarItem::SetVisible(TdxBarItemVisible Value) {
  if (GetIsLoading()) {
    loadedVisible_ = Value;
    return;
  }
  if (visible_ == Value) return;
  visible_ = Value;
  VisibleChanged();
}

void TdxBarItem::SetMergeOrder(Integer Value) {
  mergeOrder_ = std::max(Value, 0);
}

void TdxBarItem::SetGlyph(TBitmap* Value) { glyph_->Assign(Value); }
void TdxBarItem::SetLargeGlyph(TBitmap* Value) { largeGlyph_->Assign(Value); }

void TdxBarItem::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  GlyphChanged();
}

void TdxBarItem::SetLargeImageIndex(Integer Value) {
  if (largeImageIndex_ == Value) return;
  largeImageIndex_ = Value;
  LargeGlyphChanged();
}

void TdxBarItem::SetPaintStyle(TdxBarPaintStyle Value) {
  if (paintStyle_ == Value) return;
  paintStyle_ = Value;
  if (!GetIsLoading()) PaintStyleChanged();
}

void TdxBarItem::SetShortCut(TShortCut Value) {
  if (shortCut_ == Value) return;
  shortCut_ = Value;
  if (!GetIsLoading()) ShortCutChanged();
}

void TdxBarItem::SetShowCaption(bool Value) {
  if (showCaption_ == Value) return;
  showCaption_ = Value;
  if (!GetIsLoading()) UpdateEx({bkBarControl, bkBarQuickControl, bkSubMenu});
}

void TdxBarItem::SetGlyphLayout(TdxBarGlyphLayout Value) {
  if (glyphLayout_ == Value) return;
  glyphLayout_ = Value;
  UpdateEx({bkBarControl, bkBarQuickControl, bkSubMenu});
}

void TdxBarItem::SetWidth(Integer Value) {
  if (Value < 0 || Value == width_) return;
  width_ = Value;
  WidthChanged();
}

bool TdxBarItem::ActionLinked(bool (TdxBarItemActionLink::*ATest)()) const {
  return actionLink_ && (actionLink_.get()->*ATest)();
}
bool TdxBarItem::IsCaptionStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsCaptionLinked);
}
bool TdxBarItem::IsEnabledStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsEnabledLinked);
}
bool TdxBarItem::IsHelpContextStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsHelpContextLinked);
}
bool TdxBarItem::IsHintStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsHintLinked);
}
bool TdxBarItem::IsImageIndexStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsImageIndexLinked);
}
bool TdxBarItem::IsShortCutStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsShortCutLinked);
}
bool TdxBarItem::IsVisibleStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsVisibleLinked);
}
bool TdxBarItem::IsOnClickStored() const {
  return !ActionLinked(&TdxBarItemActionLink::IsOnExecuteLinked);
}

TdxBarItemLink* TdxBarItem::GetLinks(Integer AIndex) const {
  return AIndex >= 0 && AIndex < GetLinkCount()
             ? links_[static_cast<size_t>(AIndex)]
             : nullptr;
}

TdxBarItemLink* TdxBarItem::GetCurItemLink() const {
  for (TdxBarItemLink* link : links_) {
    TdxBarItemControl* control = link->Control();
    if (control && control->Parent() &&
        control->Parent()->SelectedControl() == control)
      return link;
  }
  return nullptr;
}

bool TdxBarItem::HasControls() const {
  return std::any_of(links_.begin(), links_.end(),
                     [](TdxBarItemLink* l) { return l->Control(); });
}

void TdxBarItem::DestroyLinks() {
  const bool bracket =
      barManager_ && !barManager_->IsDestroying() &&
      !barManager_->IsUpdateLocked() &&
      std::any_of(links_.begin(), links_.end(), [](TdxBarItemLink* l) {
        return l->Links() &&
               dynamic_cast<TdxBarControl*>(l->Links()->BarControl());
      });
  if (bracket) barManager_->BeginUpdate();
  TScopeGuard end([&] {
    if (bracket) barManager_->EndUpdate(true);
  });
  while (!links_.empty()) Free(links_.back());
}

Integer TdxBarItem::GetIndex() const {
  return barManager_
             ? barManager_->ItemList()->IndexOf(const_cast<TdxBarItem*>(this))
             : -1;
}

void TdxBarItem::SetIndex(Integer Value) {
  if (barManager_) barManager_->MoveItem(GetIndex(), Value);
}

bool TdxBarItem::GetActuallyVisible() const {
  const bool customizing = barManager_ && barManager_->IsCustomizing();
  switch (visible_) {
    case ivAlways:
      return InternalActuallyVisible() || customizing;
    case ivInCustomizing:
      return customizing;
    default:
      return false;
  }
}

bool TdxBarItem::GetVisibleForUser() const {
  return std::any_of(links_.begin(), links_.end(), [](TdxBarItemLink* l) {
    return l->CanVisibleIndex() != -1;
  });
}

bool TdxBarItem::CanMergeWith(TdxBarItem* AItem) {
  return AItem && InternalCanMergeWith(AItem) &&
         AItem->InternalCanMergeWith(this);
}

bool TdxBarItem::CanBePlacedOn(TdxBarItemControlParentKind, TdxBar*,
                               String& AErrorText) {
  AErrorText.clear();
  return true;
}

TClass TdxBarItem::GetControlClass(bool) const {
  TdxBarItemList* list = RegdxItemList();
  return list ? list->GetItemControlClass(ClassType()) : nullptr;
}

bool TdxBarItem::HasAccel(TdxBarItemLink*) const { return GetEnabled(); }

void TdxBarItem::Update() {
  for (TdxBarItemLink* link : links_) {
    TdxBarItemControl* control = link->Control();
    if (!control) continue;
    TCustomdxBarControl* bar = control->Parent();
    if (bar && bar->IsActive() && bar->SelectedControl() == control) continue;
    control->Changed(iccRepaint);
  }
}

void TdxBarItem::UpdateEx(TdxBarKinds AKinds) {
  for (TdxBarItemLink* link : links_) {
    TdxBarItemControl* control = link->Control();
    TCustomdxBarControl* bar = control ? control->Parent() : nullptr;
    if (!bar || !AKinds.Contains(bar->Kind())) continue;
    if (bar->IsActive() && bar->SelectedControl() == control) continue;
    bar->RepaintBar();
  }
}

void TdxBarItem::Recalculate() { NotifyControls(iccParts); }

TCustomImageList* TdxBarItem::GetCurImages() const {
  return barManager_ ? barManager_->Images() : nullptr;
}

bool TdxBarItem::IsShortCut(TShortCut AShortCut) {
  if (!CanClicked() || shortCut_ != AShortCut) return false;
  Click();
  return true;
}

void TdxBarItem::NotifyControls(TdxBarItemControlChange AChange,
                                TdxBarUserDefine ASkipWhenUserDefined) {
  const auto links = links_;
  for (TdxBarItemLink* link : links)
    if (link->Control() && !link->UserDefine().Contains(ASkipWhenUserDefined))
      link->Control()->Changed(AChange);
}

void TdxBarItem::NotifyControls(TdxBarItemControlChange AChange) {
  const auto links = links_;
  for (TdxBarItemLink* link : links)
    if (link->Control()) link->Control()->Changed(AChange);
}

void TdxBarItem::CaptionChanged() {
  NotifyControls(iccCaption, udCaption);
  Changed(false);
}

void TdxBarItem::EnabledChanged() {
  NotifyControls(iccEnabled);
  Changed(false);
}

void TdxBarItem::GlyphChanged() {
  NotifyControls(iccGlyph, udGlyph);
  Changed(false);
}

void TdxBarItem::LargeGlyphChanged() {
  NotifyControls(iccLargeGlyph);
  Changed(false);
}

void TdxBarItem::ShortCutChanged() {
  UpdateEx({bkSubMenu});
  Changed(false);
}

void TdxBarItem::WidthChanged() { NotifyControls(iccWidth, udWidth); }

void TdxBarItem::VisibleChanged() {
  if (GetIsDesigning()) return;
  if (barManager_) barManager_->BeginUpdate();
  TScopeGuard end([this] {
    if (barManager_) barManager_->EndUpdate(true);
    Changed(false);
  });
  const auto links = links_;
  for (TdxBarItemLink* link : links) {
    if (link->Links()) link->Links()->RefreshVisibilityLists();
    if (GetActuallyVisible()) {
      link->BringToTopInRecentList(false);
      link->CreateControl();
      if (link->Control()) link->Control()->Changed(iccVisible);
    } else {
      link->SendToBottomInRecentList();
      if (link->Control()) {
        link->Control()->Changed(iccVisible);
        link->DestroyControl();
      }
    }
  }
}

void TdxBarItem::Click() {
  if (CanClicked()) DirectClick();
}

void TdxBarItem::DirectClick() {
  if (!GetEnabled()) return;
  try {
    if (barManager_) barManager_->DoClickItem(this);
    DoClick();
  } catch (...) {
    Application->HandleException(this);
  }
}

void TdxBarItem::DoClick() {
  TBasicAction* action = Action();
  if (OnClick.Assigned() && (!action || !(OnClick == action->OnExecute))) {
    OnClick(this);
    return;
  }
  if (!GetIsDesigning() && actionLink_) actionLink_->Execute(this);
}

String TdxBarItem::GetNewCaption() {
  return cxGetResourceString(dxSBAR_NEWITEMCAPTION);
}

void TdxBarItem::AssignTo(TPersistent* Dest) {
  auto* action = dynamic_cast<TCustomAction*>(Dest);
  if (!action) return inherited::AssignTo(Dest);
  action->SetCaption(caption_);
  if (auto* button = dynamic_cast<TdxBarButton*>(this))
    action->SetChecked(button->Down());
  action->SetEnabled(GetEnabled());
  action->SetHelpContext(helpContext_);
  action->SetHint(hint_);
  action->SetImageIndex(imageIndex_);
  action->SetShortCut(shortCut_);
  if (visible_ != ivInCustomizing) action->SetVisible(visible_ == ivAlways);
  action->OnExecute = OnClick;
}

void TdxBarItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxBarItem*>(Source);
  if (!source) return inherited::Assign(Source);
  SetAction(source->Action());
  SetAlign(source->Align());
  SetCaption(source->Caption());
  SetCategory(source->Category());
  SetDescription(source->Description());
  SetEnabled(source->enabled_);
  helpContext_ = source->helpContext_;
  hint_ = source->hint_;
  keyTip_ = source->keyTip_;
  mergeKind_ = source->mergeKind_;
  SetMergeOrder(source->mergeOrder_);
  SetVisible(source->Visible());
  Data = source->Data;
  SetGlyph(source->Glyph());
  SetImageIndex(source->ImageIndex());
  SetLargeGlyph(source->LargeGlyph());
  SetLargeImageIndex(source->LargeImageIndex());
  SetShortCut(source->ShortCut());
  OnClick = source->OnClick;
}

void TdxBarItem::Loaded() {
  TdxBarComponent::Loaded();
  if (Action()) ActionChange(Action(), true);
  OnCreate(this);
}

void TdxBarItem::Notification(TComponent* AComponent, TOperation Operation) {
  TdxBarComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && actionLink_ && AComponent == Action())
    SetAction(nullptr);
}

void TdxBarItem::ReadState(TReader* Reader) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(Reader->Parent()))
    if (manager != barManager_) {
      if (barManager_) barManager_->RemoveItemFromList(this);
      manager->AddItemToList(this);
      BarManagerChanged();
    }
  TdxBarComponent::ReadState(Reader);
}

void TdxBarItem::SetName(const String& NewName) {
  if (GetIsDesigning() && NewName.empty()) {
    TdxBarComponent::SetName(NewName);
    return;
  }
  TdxBarComponent::SetName(NewName);
  Changed(false);
}

TComponent* TdxBarItem::GetParentComponent() {
  return HasParent() ? barManager_ : nullptr;
}

void TdxBarItem::SetParentComponent(TComponent* Value) {
  auto* manager = dynamic_cast<TdxBarManager*>(Value);
  if (!manager || GetIsLoading() || manager == barManager_) return;
  if (barManager_) barManager_->RemoveItemFromList(this);
  manager->AddItemToList(this);
  BarManagerChanged();
}

bool TdxBarItem::CanDelete() { return true; }

// ---------------------------------------------------------------------------
// The kinds of this layer
// ---------------------------------------------------------------------------

namespace {
// The links of a sub-menu item: they belong to its menu.
class TdxBarSubItemLinksOwner : public IdxBarLinksOwner {
 public:
  explicit TdxBarSubItemLinksOwner(TCustomdxBarSubItem* AItem) : item_(AItem) {}
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText) override {
    if (!AItem->CanBePlacedOn(pkSubItemOrPopupMenu, nullptr, AErrorText))
      return false;
    if (AItem == item_ || dxBarLinksReferTo(AItem->GetItemLinks(), item_)) {
      AErrorText = cxGetResourceString(dxSBAR_RECURSIVEMENUS);
      return false;
    }
    return true;
  }
  TCustomdxBarControl* CreateBarControl() override {
    TdxBarItemLink* link = item_->GetCurItemLink();
    TdxBarManager* manager =
        link && link->BarManager() ? link->BarManager() : item_->BarManager();
    return manager ? dxBarCreateSubMenuControl(manager) : nullptr;
  }
  TComponent* GetOwnerComponent() override { return item_; }

 private:
  TCustomdxBarSubItem* item_;
};
}  // namespace

TCustomdxBarSubItem::TCustomdxBarSubItem(TComponent* AOwner)
    : TdxBarItem(AOwner) {
  linksOwner_ = std::make_unique<TdxBarSubItemLinksOwner>(this);
  itemLinks_ =
      new TdxBarSubMenuControlItemLinks(barManager_, linksOwner_.get());
}

// The links go before the owner object they point to.
TCustomdxBarSubItem::~TCustomdxBarSubItem() {
  SetDetachingBar(-1);
  FreeAndNil(itemLinks_);
}

bool TCustomdxBarSubItem::IsShortCut(TShortCut AShortCut) {
  return itemLinks_->IsShortCut(AShortCut);
}

void TCustomdxBarSubItem::BarManagerChanged() {
  itemLinks_->SetBarManager(barManager_);
}

void TCustomdxBarSubItem::SetDetachingBar(Integer AIndex) {
  TdxBars* bars = barManager_ ? barManager_->Bars() : nullptr;
  if (!bars || AIndex < 0 || AIndex >= bars->Count()) AIndex = -1;
  if (AIndex == GetDetachingBarIndex()) return;
  if (detachingBar_) detachingBar_->RemoveFreeNotification(this);
  detachingBar_ = AIndex >= 0 ? bars->Items(AIndex) : nullptr;
  if (detachingBar_) detachingBar_->FreeNotification(this);
}

Integer TCustomdxBarSubItem::GetDetachingBarIndex() const {
  if (!detachingBar_ || !barManager_) return -1;
  TdxBars* bars = barManager_->Bars();
  for (Integer i = 0; i < bars->Count(); ++i)
    if (bars->Items(i) == detachingBar_) return i;
  return -1;
}

void TCustomdxBarSubItem::Notification(TComponent* AComponent,
                                       TOperation Operation) {
  TdxBarItem::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == detachingBar_)
    detachingBar_ = nullptr;
}

bool TdxBarSubItem::InternalCanMergeWith(TdxBarItem* AItem) const {
  return dynamic_cast<TdxBarSubItem*>(AItem) != nullptr;
}

String TdxBarSubItem::GetNewCaption() {
  return cxGetResourceString(dxSBAR_NEWSUBITEMCAPTION);
}

void TCustomdxBarSubItem::SetItemLinks(TdxBarItemLinks* Value) {
  itemLinks_->Assign(Value);
}
