// Actions: a command (caption, hint, image, enabled/checked/visible state
// and the code that runs it) kept in one place and shown by any number of
// clients (controls, menu items). Clients follow the action through an
// action link; the action list updates its actions while the application is
// idle, and its OnUpdate/OnExecute handlers may take that work over.
#pragma once

// Controls.h first: see the note on the order of includes there.
#include "Controls.h"
//
#include <windows.h>

#include <memory>
#include <vector>

#include "ImgList.h"

class TBasicAction;
class TContainedAction;
class TCustomActionList;
class TApplicationEvents;

// ---------------------------------------------------------------------------
// Links
// ---------------------------------------------------------------------------

// Connects one client to one action. The action knows its links and tells
// them when it changes or goes away.
class TBasicActionLink : public TObject {
  VARNEL_CLASS(TBasicActionLink, TObject)
 public:
  explicit TBasicActionLink(TObject* AClient) : client_(AClient) {}
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return action_; }
  virtual void SetAction(TBasicAction* Value);
  // Runs the action for AComponent; false when nobody executed it.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  TObject* Client() const { return client_; }

 protected:
  friend class TBasicAction;
  // The action changed: the client takes over its state.
  virtual void ActionChanged() {}

  TObject* client_;
  TBasicAction* action_ = nullptr;
};

// A link to a TCustomAction: the action pushes each property it changes.
class TActionLink : public TBasicActionLink {
  VARNEL_CLASS(TActionLink, TBasicActionLink)
 public:
  using TBasicActionLink::TBasicActionLink;
  virtual void SetCaption(const String&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const String&) {}
  virtual void SetImageIndex(Integer) {}
  virtual void SetShortCut(TShortCut) {}
  virtual void SetVisible(bool) {}

 protected:
  void ActionChanged() override;
};

// Binds a control's caption, enabled state, hint and visibility to an
// action; the control's click runs it.
class TControlActionLink : public TActionLink {
  VARNEL_CLASS(TControlActionLink, TActionLink)
 public:
  explicit TControlActionLink(TControl* AClient)
      : TActionLink(AClient), control_(AClient) {}
  void SetCaption(const String& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetVisible(bool Value) override;

 private:
  TControl* control_;
};

// ---------------------------------------------------------------------------
// Actions
// ---------------------------------------------------------------------------

class TBasicAction : public TComponent {
  VARNEL_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;
  // Runs OnExecute; false when nothing ran.
  virtual bool Execute();
  // Runs OnUpdate; false when nothing updated the action.
  virtual bool Update();
  // The client that asked for the last Execute (null when run directly).
  TComponent* ActionComponent() const { return actionComponent_; }
  void SetActionComponent(TComponent* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void RegisterChanges(TBasicActionLink* Link);
  void UnRegisterChanges(TBasicActionLink* Link);
  Integer ClientCount() const { return static_cast<Integer>(clients_.size()); }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

 protected:
  // Tells every link that the action changed as a whole.
  void Change();
  std::vector<TBasicActionLink*> clients_;

 private:
  TComponent* actionComponent_ = nullptr;
};

// An action that lives in an action list (its parent in form streams).
class TContainedAction : public TBasicAction {
  VARNEL_CLASS(TContainedAction, TBasicAction)
 public:
  explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TContainedAction() override;
  TCustomActionList* ActionList() const { return actionList_; }
  void SetActionList(TCustomActionList* Value);
  const String& Category() const { return category_; }
  void SetCategory(const String& Value) { category_ = Value; }
  // Position in the action list (-1 when in none).
  Integer Index() const;
  void SetIndex(Integer Value);

  // The list's OnExecute/OnUpdate come first; Handled there ends the work.
  bool Execute() override;
  bool Update() override;

  bool HasParent() override { return true; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;

 private:
  friend class TCustomActionList;
  TCustomActionList* actionList_ = nullptr;
  String category_;
};

class TCustomAction : public TContainedAction {
  VARNEL_CLASS(TCustomAction, TContainedAction)
 public:
  explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  Integer HelpContext() const { return helpContext_; }
  void SetHelpContext(Integer Value) { helpContext_ = Value; }
  // When nothing updates the action, it is enabled only while it has an
  // OnExecute handler.
  bool DisableIfNoHandler() const { return disableIfNoHandler_; }
  void SetDisableIfNoHandler(bool Value) { disableIfNoHandler_ = Value; }
  // The action list's images (null when in no list or it has none).
  TCustomImageList* Images() const;

  // Updates first and runs only while enabled.
  bool Execute() override;
  bool Update() override;

 private:
  template <class F>
  void ForEachLink(F f);
  String caption_;
  String hint_;
  Integer imageIndex_ = -1;
  Integer helpContext_ = 0;
  TShortCut shortCut_ = 0;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool disableIfNoHandler_ = true;
};

class TAction : public TCustomAction {
  VARNEL_CLASS(TAction, TCustomAction)
 public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// ---------------------------------------------------------------------------
// Action lists
// ---------------------------------------------------------------------------

using TActionEvent = TClosure<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
  VARNEL_CLASS(TCustomActionList, TComponent)
 public:
  explicit TCustomActionList(TComponent* AOwner);
  // The list frees its actions.
  ~TCustomActionList() override;

  Integer ActionCount() const { return static_cast<Integer>(actions_.size()); }
  TContainedAction* Actions(Integer Index) const { return actions_.at(Index); }
  Integer IndexOfAction(const TContainedAction* Action) const;
  void AddAction(TContainedAction* Action) { Action->SetActionList(this); }
  void RemoveAction(TContainedAction* Action);

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);

  // OnExecute/OnUpdate for Action; true when the handler set Handled.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  // Updates every action (what the list does while the application idles).
  void UpdateActions();
  // Runs the enabled action whose shortcut the key message (WM_KEYDOWN /
  // CN_KEYDOWN) is; true when one ran.
  bool IsShortCut(const TMessage& Message);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

 private:
  friend class TContainedAction;
  void AppIdle(TObject* Sender, bool& Done);
  std::vector<TContainedAction*> actions_;
  TCustomImageList* images_ = nullptr;
  TObjectPtr<TApplicationEvents> idleEvents_;
};

class TActionList : public TCustomActionList {
  VARNEL_CLASS(TActionList, TCustomActionList)
 public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// The action lists owned by a component (a form): each gets the key.
bool IsActionShortCut(TComponent* Owner, const TMessage& Message);
