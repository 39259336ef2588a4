// Object trees for the storage tests: a component with published properties
// of every stored kind, a collection, and nodes that take part through the
// stored-object interfaces.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <mutex>

#include "Classes.h"
#include "TempFile.h"
#include "TypInfo.h"
#include "Variants.h"
#include "cxStorage.h"

enum TStShade { stsNone, stsLight, stsDark };
using TStShades = TSet<TStShade>;

class TStItem : public TCollectionItem {
  VARNEL_CLASS(TStItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  String Caption;
  Integer Count = 0;
};

class TStWidget : public TComponent {
  VARNEL_CLASS(TStWidget, TComponent)
 public:
  using TComponent::TComponent;

  TCollection* GetItems() const { return items_.get(); }
  Integer GetFixed() const { return 42; }

  String Caption;
  Integer Count = 0;
  double Ratio = 0;
  bool Enabled = false;
  TStShade Shade = stsNone;
  TStShades Shades;
  Int64 Big = 0;
  WideString Wide;
  TComponent* Buddy = nullptr;
  TNotifyEvent OnClick;

 private:
  TObjectPtr<TCollection> items_{new TCollection(TStItem::StaticClass())};
};

// Only an event: nothing to store but the object itself.
class TStEventsOnly : public TPersistent {
  VARNEL_CLASS(TStEventsOnly, TPersistent)
 public:
  TNotifyEvent OnChange;
};

// A persistent whose published object property leads back to itself.
class TStLoop : public TPersistent {
  VARNEL_CLASS(TStLoop, TPersistent)
 public:
  TStLoop* Self() const { return const_cast<TStLoop*>(this); }
};

inline void StPublishTestClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterEnum<TStShade>("TStShade", {"stsNone", "stsLight", "stsDark"});
    RegisterTypeName<TStShades>("TStShades");
    TPublished<TStItem>()
        .Field("Caption", &TStItem::Caption)
        .Field("Count", &TStItem::Count);
    TPublished<TStWidget>()
        .Field("Caption", &TStWidget::Caption)
        .Field("Count", &TStWidget::Count)
        .Field("Ratio", &TStWidget::Ratio)
        .Field("Enabled", &TStWidget::Enabled)
        .Field("Shade", &TStWidget::Shade)
        .Field("Shades", &TStWidget::Shades)
        .Field("Big", &TStWidget::Big)
        .Field("Wide", &TStWidget::Wide)
        .Property("Items", &TStWidget::GetItems)
        .Field("Buddy", &TStWidget::Buddy)
        .Property("Fixed", &TStWidget::GetFixed)
        .Event("OnClick", &TStWidget::OnClick, &TStWidget::OnClick);
    TPublished<TStEventsOnly>().Event("OnChange", &TStEventsOnly::OnChange,
                                      &TStEventsOnly::OnChange);
    TPublished<TStLoop>().Property("Self", &TStLoop::Self);
  });
}

// A node that names itself, lists its own properties and children, and
// makes and frees children when the storage asks.
class TStNode : public TComponent,
                public IcxStoredObject,
                public IcxStoredParent {
  VARNEL_CLASS(TStNode, TComponent)
 public:
  explicit TStNode(TComponent* AOwner, const String& AObjectName = String())
      : TComponent(AOwner), ObjectName(AObjectName) {}

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    if (obj && iid == IcxStoredObject::IID) {
      *obj = static_cast<IcxStoredObject*>(this);
      return S_OK_;
    }
    if (obj && iid == IcxStoredParent::IID) {
      *obj = static_cast<IcxStoredParent*>(this);
      return S_OK_;
    }
    return TComponent::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  String GetObjectName() override { return ObjectName; }
  bool GetProperties(TStrings* AProperties) override {
    for (const auto& [name, value] : Values) AProperties->Add(name);
    return true;
  }
  void GetPropertyValue(const String& AName, Variant& AValue) override {
    auto it = Values.find(AName);
    if (it != Values.end()) AValue = it->second;
  }
  void SetPropertyValue(const String& AName, const Variant& AValue) override {
    Values[AName] = AValue;
  }

  TObject* CreateChild(const String& AObjectName,
                       const String& AClassName) override {
    CreatedClassNames.push_back(AClassName);
    if (RefuseChildren) return nullptr;
    return AddChild(AObjectName);
  }
  void DeleteChild(const String& AObjectName, TObject* AObject) override {
    DeletedNames.push_back(AObjectName);
    for (auto it = Children.begin(); it != Children.end(); ++it) {
      if (*it == AObject) {
        Children.erase(it);
        break;
      }
    }
    TObjectDeleter()(AObject);
  }
  // The stored-parent overload sits beside the component's own.
  using TComponent::GetChildren;
  void GetChildren(TStringList* AChildren) override {
    for (TStNode* child : Children)
      AChildren->AddObject(UnnamedChildren ? String() : child->ObjectName,
                           child);
  }

  TStNode* AddChild(const String& AObjectName) {
    Children.push_back(new TStNode(this, AObjectName));
    return Children.back();
  }
  TStNode* Child(const String& AObjectName) const {
    for (TStNode* child : Children)
      if (child->ObjectName == AObjectName) return child;
    return nullptr;
  }

  String ObjectName;
  std::map<String, Variant> Values;
  std::vector<TStNode*> Children;  // owned as components
  std::vector<String> CreatedClassNames;
  std::vector<String> DeletedNames;
  bool RefuseChildren = false;
  bool UnnamedChildren = false;
};

// Temporary files of the storage tests.
class TStTempFile : public TTempFile {
 public:
  explicit TStTempFile(const char* name) : TTempFile(name, "storage") {}
};

// What a reader gives for one stored property: its variant type and value.
struct TStReadCase {
  const char* Name;
  TVarType Type;
  Variant Value;
};

// Reads each case's property of object N (class T) and checks it.
inline void StExpectReadValues(TcxCustomReader& AReader,
                               std::initializer_list<TStReadCase> ACases) {
  for (const TStReadCase& c : ACases) {
    Variant v;
    AReader.ReadProperty("N", "T", v, c.Name);
    EXPECT_EQ(VarType(v), c.Type) << c.Name;
    EXPECT_TRUE(VarSameValue(v, c.Value)) << c.Name << ": " << VarToStr(v);
  }
}
