// The edit repository: a component of repository items, each owning one
// properties object that any number of editors use instead of their own;
// changes of the shared properties reach every listening editor. Windows
// only.
#pragma once

#include <vector>

#include "Classes.h"
#include "cxEdit.h"

class TcxEditRepository;
class TcxEditRepositoryItem;

class TcxEditRepositoryItem : public TComponent {
  VARNEL_CLASS(TcxEditRepositoryItem, TComponent)
 public:
  // construction
  explicit TcxEditRepositoryItem(TComponent* AOwner);
  ~TcxEditRepositoryItem() override;
  void BeforeDestruction() override;

  // properties
  TcxCustomEditProperties* Properties() const { return properties_.get(); }
  void SetProperties(TcxCustomEditProperties* Value) {
    properties_->Assign(Value);
  }
  TcxEditRepository* Repository() const { return repository_; }
  void SetRepository(TcxEditRepository* Value);
  TNotifyEvent PropertiesEvents;
  Integer ListenerCount() const {
    return static_cast<Integer>(listeners_.size());
  }

  // methods
  bool HasParent() override { return repository_ != nullptr; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;
  String GetBaseName();

  // overridables
  virtual void PropertiesChanged(TObject* Sender);
  virtual void AddListener(IcxEditRepositoryItemListener* AListener);
  virtual void RemoveListener(IcxEditRepositoryItemListener* AListener);
  // The properties class the item makes; descendants name their editor's.
  virtual TClass GetEditPropertiesClass() {
    return TcxCustomEditProperties::StaticClass();
  }

 protected:
  // Descendants whose properties class differs call this from their own
  // constructor.
  void CreateProperties();

 private:
  TObjectPtr<TcxCustomEditProperties> properties_;
  TcxEditRepository* repository_ = nullptr;
  std::vector<IcxEditRepositoryItemListener*> listeners_;
};

class TcxEditRepository : public TComponent {
  VARNEL_CLASS(TcxEditRepository, TComponent)
 public:
  explicit TcxEditRepository(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxEditRepository() override;

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TcxEditRepositoryItem* Items(Integer Index) const;
  // Case-insensitive in the user's locale; null when none.
  TcxEditRepositoryItem* ItemByName(const String& AName) const;
  // Frees the items, last first.
  void Clear();
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  virtual TcxEditRepositoryItem* CreateItem(TClass AItemClass);
  virtual TcxEditRepositoryItem* CreateItemEx(TClass AItemClass,
                                              TComponent* AOwner);

 private:
  friend class TcxEditRepositoryItem;
  std::vector<TcxEditRepositoryItem*> items_;
};

// The default repository, made on first use.
TcxEditRepository* GetDefaultEditRepository();
