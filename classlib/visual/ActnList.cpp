#include "ActnList.h"

#include <algorithm>

#include "Forms.h"
#include "TypInfo.h"

// ---------------------------------------------------------------------------
// TBasicActionLink
// ---------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
  if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (action_ == Value) return;
  if (action_) action_->UnRegisterChanges(this);
  action_ = Value;
  if (action_) {
    action_->RegisterChanges(this);
    ActionChanged();
  }
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!action_) return false;
  action_->SetActionComponent(AComponent);
  // The handler may free the client, and with it this link: keep the
  // action in a local and clear ActionComponent through it.
  TBasicAction* action = action_;
  TScopeGuard done([action] { action->SetActionComponent(nullptr); });
  return action->Execute();
}

bool TBasicActionLink::Update() { return action_ && action_->Update(); }

// ---------------------------------------------------------------------------
// TActionLink, TControlActionLink
// ---------------------------------------------------------------------------

void TActionLink::ActionChanged() {
  auto* a = dynamic_cast<TCustomAction*>(action_);
  if (!a) return;
  SetCaption(a->Caption());
  SetChecked(a->Checked());
  SetEnabled(a->Enabled());
  SetHint(a->Hint());
  SetImageIndex(a->ImageIndex());
  SetShortCut(a->ShortCut());
  SetVisible(a->Visible());
}

void TControlActionLink::SetCaption(const String& Value) {
  control_->SetCaption(Value);
}
void TControlActionLink::SetEnabled(bool Value) { control_->SetEnabled(Value); }
void TControlActionLink::SetHint(const String& Value) {
  control_->SetHint(Value);
}
void TControlActionLink::SetVisible(bool Value) { control_->SetVisible(Value); }

// ---------------------------------------------------------------------------
// TBasicAction
// ---------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  // Clients keep their links; the links just lose the action.
  for (TBasicActionLink* link : clients_) link->action_ = nullptr;
  clients_.clear();
  SetActionComponent(nullptr);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (actionComponent_ == Value) return;
  if (actionComponent_) actionComponent_->RemoveFreeNotification(this);
  actionComponent_ = Value;
  if (actionComponent_) actionComponent_->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == actionComponent_) {
    actionComponent_ = nullptr;
  }
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
  if (std::find(clients_.begin(), clients_.end(), Link) == clients_.end()) {
    clients_.push_back(Link);
  }
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), Link),
                 clients_.end());
  if (Link->action_ == this) Link->action_ = nullptr;
}

void TBasicAction::Change() {
  // A client may drop its link while it follows the change.
  const std::vector<TBasicActionLink*> links = clients_;
  for (TBasicActionLink* link : links) {
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) {
      link->ActionChanged();
    }
  }
}

// ---------------------------------------------------------------------------
// TContainedAction
// ---------------------------------------------------------------------------

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (actionList_ == Value) return;
  if (actionList_) {
    auto& list = actionList_->actions_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    actionList_->OnChange(actionList_);
  }
  actionList_ = Value;
  if (actionList_) {
    actionList_->actions_.push_back(this);
    actionList_->OnChange(actionList_);
  }
}

Integer TContainedAction::Index() const {
  return actionList_ ? actionList_->IndexOfAction(this) : -1;
}

void TContainedAction::SetIndex(Integer Value) {
  if (!actionList_) return;
  auto& list = actionList_->actions_;
  const Integer count = static_cast<Integer>(list.size());
  Value = std::clamp<Integer>(Value, 0, count - 1);
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin() + Value, this);
}

bool TContainedAction::Execute() {
  if (actionList_ && actionList_->ExecuteAction(this)) return true;
  return inherited::Execute();
}

bool TContainedAction::Update() {
  if (actionList_ && actionList_->UpdateAction(this)) return true;
  return inherited::Update();
}

TComponent* TContainedAction::GetParentComponent() {
  return actionList_ ? actionList_ : inherited::GetParentComponent();
}

void TContainedAction::SetParentComponent(TComponent* Value) {
  if (auto* list = dynamic_cast<TCustomActionList*>(Value)) {
    SetActionList(list);
  }
}

// ---------------------------------------------------------------------------
// TCustomAction
// ---------------------------------------------------------------------------

template <class F>
void TCustomAction::ForEachLink(F f) {
  const std::vector<TBasicActionLink*> links = clients_;
  for (TBasicActionLink* link : links) {
    if (std::find(clients_.begin(), clients_.end(), link) == clients_.end()) {
      continue;
    }
    if (auto* l = dynamic_cast<TActionLink*>(link)) f(l);
  }
}

void TCustomAction::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  ForEachLink([&](TActionLink* l) { l->SetCaption(Value); });
}

void TCustomAction::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  ForEachLink([&](TActionLink* l) { l->SetChecked(Value); });
}

void TCustomAction::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  ForEachLink([&](TActionLink* l) { l->SetEnabled(Value); });
}

void TCustomAction::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  ForEachLink([&](TActionLink* l) { l->SetVisible(Value); });
}

void TCustomAction::SetHint(const String& Value) {
  if (hint_ == Value) return;
  hint_ = Value;
  ForEachLink([&](TActionLink* l) { l->SetHint(Value); });
}

void TCustomAction::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  ForEachLink([&](TActionLink* l) { l->SetImageIndex(Value); });
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (shortCut_ == Value) return;
  shortCut_ = Value;
  ForEachLink([&](TActionLink* l) { l->SetShortCut(Value); });
}

TCustomImageList* TCustomAction::Images() const {
  return ActionList() ? ActionList()->Images() : nullptr;
}

bool TCustomAction::Execute() {
  Update();
  return enabled_ && inherited::Execute();
}

bool TCustomAction::Update() {
  if (inherited::Update()) return true;
  if (disableIfNoHandler_) SetEnabled(OnExecute.Assigned());
  return false;
}

// ---------------------------------------------------------------------------
// TCustomActionList
// ---------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {
  if (Application) {
    idleEvents_.reset(new TApplicationEvents(nullptr));
    idleEvents_->OnIdle = TIdleEvent(this, &TCustomActionList::AppIdle);
  }
}

TCustomActionList::~TCustomActionList() {
  idleEvents_.reset();
  while (!actions_.empty()) {
    TContainedAction* a = actions_.back();
    a->SetActionList(nullptr);
    Free(a);
  }
  SetImages(nullptr);
}

Integer TCustomActionList::IndexOfAction(const TContainedAction* Action) const {
  auto it = std::find(actions_.begin(), actions_.end(), Action);
  return it == actions_.end() ? -1
                              : static_cast<Integer>(it - actions_.begin());
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  if (Action && Action->ActionList() == this) Action->SetActionList(nullptr);
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  OnUpdate(Action, handled);
  return handled;
}

void TCustomActionList::UpdateActions() {
  if (ComponentState().Contains(csDesigning) ||
      ComponentState().Contains(csLoading)) {
    return;
  }
  // Update handlers may add or free actions.
  const std::vector<TContainedAction*> actions = actions_;
  for (TContainedAction* a : actions) {
    if (IndexOfAction(a) >= 0) a->Update();
  }
}

bool TCustomActionList::IsShortCut(const TMessage& Message) {
  const TShortCut sc = ::ShortCut(static_cast<Word>(Message.WParam),
                                  KeyDataToShiftState(Message.LParam));
  if (sc == 0) return false;
  const std::vector<TContainedAction*> actions = actions_;
  for (TContainedAction* a : actions) {
    auto* ca = dynamic_cast<TCustomAction*>(a);
    if (!ca || ca->ShortCut() != sc) continue;
    // Execute updates the action and runs it only while it is enabled.
    return ca->Execute();
  }
  return false;
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc,
                                    TComponent* Root) {
  for (TContainedAction* a : actions_) {
    if (a->Owner() == Root) Proc(a);
  }
}

void TCustomActionList::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* a = dynamic_cast<TContainedAction*>(Child)) {
    if (a->ActionList() == this) a->SetIndex(Order);
  }
}

void TCustomActionList::Notification(TComponent* AComponent,
                                     TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == images_) images_ = nullptr;
  if (auto* a = dynamic_cast<TContainedAction*>(AComponent)) {
    RemoveAction(a);
  }
}

void TCustomActionList::AppIdle(TObject*, bool&) { UpdateActions(); }

bool IsActionShortCut(TComponent* Owner, const TMessage& Message) {
  if (!Owner) return false;
  for (Integer i = 0; i < Owner->ComponentCount(); ++i) {
    if (auto* list = dynamic_cast<TCustomActionList*>(Owner->Components(i))) {
      if (list->IsShortCut(Message)) return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------
// Published properties and the unit
// ---------------------------------------------------------------------------

namespace {

void ActnListStartup() {
  TPublished<TContainedAction>().Property(
      "Category", &TContainedAction::Category, &TContainedAction::SetCategory);
  TPublished<TCustomAction>()
      .Property("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption)
      .Property("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked,
                false)
      .Property("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled,
                true)
      .Property("HelpContext", &TCustomAction::HelpContext,
                &TCustomAction::SetHelpContext, 0)
      .Property("Hint", &TCustomAction::Hint, &TCustomAction::SetHint)
      .Property("ImageIndex", &TCustomAction::ImageIndex,
                &TCustomAction::SetImageIndex, -1)
      .Property("ShortCut", &TCustomAction::ShortCut,
                &TCustomAction::SetShortCut, TShortCut{0})
      .Property("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible,
                true)
      .Event("OnExecute", &TBasicAction::OnExecute, &TBasicAction::OnExecute)
      .Event("OnUpdate", &TBasicAction::OnUpdate, &TBasicAction::OnUpdate);
  TPublished<TCustomActionList>()
      .Property("Images", &TCustomActionList::Images,
                &TCustomActionList::SetImages)
      .Event("OnChange", &TCustomActionList::OnChange,
             &TCustomActionList::OnChange)
      .Event("OnExecute", &TCustomActionList::OnExecute,
             &TCustomActionList::OnExecute)
      .Event("OnUpdate", &TCustomActionList::OnUpdate,
             &TCustomActionList::OnUpdate);
  RegisterClasses({TAction::StaticClass(), TActionList::StaticClass()});
}

}  // namespace

VARNEL_UNIT(ActnList, ({"Controls", "Forms", "ImgList"}), &ActnListStartup,
            nullptr);
