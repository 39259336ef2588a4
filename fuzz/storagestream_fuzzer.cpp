// Object storage streams with arbitrary bytes: the reader either reads a
// tree or raises EReadError. A tree that was read must write and read back
// with the same shape and settle on stable bytes, and is restored into a
// node tree that creates every stored child and then stored again. Crashes,
// sanitizer reports, hangs and other exceptions are faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Classes.h"
#include "cxStorage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  return 0;
}

namespace {

// Takes every property and child it is given.
class TFuzzNode : public TComponent,
                  public IcxStoredObject,
                  public IcxStoredParent {
  VARNEL_CLASS(TFuzzNode, TComponent)
 public:
  TFuzzNode(TComponent* AOwner, const String& AName)
      : TComponent(AOwner), name_(AName) {}
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

  String GetObjectName() override { return name_; }
  bool GetProperties(TStrings* AProperties) override {
    for (const auto& p : values_) AProperties->Add(p.first);
    return true;
  }
  void GetPropertyValue(const String& AName, Variant& AValue) override {
    for (const auto& p : values_)
      if (p.first == AName) AValue = p.second;
  }
  void SetPropertyValue(const String& AName, const Variant& AValue) override {
    values_.emplace_back(AName, AValue);
  }
  TObject* CreateChild(const String& AObjectName, const String&) override {
    children_.push_back(new TFuzzNode(this, AObjectName));
    return children_.back();
  }
  void DeleteChild(const String&, TObject*) override {}
  void GetChildren(TStringList* AChildren) override {
    for (TFuzzNode* child : children_)
      AChildren->AddObject(child->name_, child);
  }

 private:
  String name_;
  std::vector<std::pair<String, Variant>> values_;
  std::vector<TFuzzNode*> children_;
};

std::size_t CountObjects(const TcxStreamObjectData& AData) {
  std::size_t n = 1;
  for (const auto& child : AData.Children) n += CountObjects(*child);
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const String bytes(reinterpret_cast<const char*>(data), size);
  TcxStreamObjectData tree;
  try {
    TStringStream in(bytes);
    tree.LoadFromStream(&in);
  } catch (const EReadError&) {
    return 0;
  }

  // Rewritten and read again, the tree keeps its shape, and a second
  // rewrite gives the same bytes (the first may differ: values are read
  // back in their stored kinds, and 8-bit text passes through the code
  // page on its way to UTF-8).
  auto rewrite = [](const TcxStreamObjectData& AData) {
    TStringStream out;
    AData.SaveToStream(&out);
    return out.DataString();
  };
  const String once = rewrite(tree);
  TStringStream onceStream(once);
  TcxStreamObjectData again;
  again.LoadFromStream(&onceStream);
  if (CountObjects(again) != CountObjects(tree)) std::abort();
  const String twice = rewrite(again);
  TStringStream twiceStream(twice);
  TcxStreamObjectData third;
  third.LoadFromStream(&twiceStream);
  if (rewrite(third) != twice) std::abort();

  // Restoring creates the stored tree; storing it again must not fail.
  TStringStream source(bytes);
  TFuzzNode root(nullptr, tree.Name);
  TcxStorage storage(&source);
  storage.SetModesValue({smChildrenCreating});
  storage.RestoreFromStream(&root);
  TStringStream out;
  TcxStorage(&out).StoreToStream(&root);
  return 0;
}
