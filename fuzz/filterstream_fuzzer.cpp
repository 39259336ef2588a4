// Filter criteria streams with arbitrary bytes, read over a criteria that
// already holds a tree. A read either succeeds or raises EReadError; a
// failed read must leave the criteria's stream bytes exactly as they were,
// and a tree that was read must write bytes that read back to the same
// bytes. The tree read is also evaluated and rendered as text, so that odd
// values in odd places (a BETWEEN whose value is no array) are exercised.
// The first byte's low bit chooses whether the reader stores item names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Classes.h"
#include "SysUtils.h"
#include "cxFilter.h"
#include "cxVariants.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  return 0;
}

namespace {

class Field : public TObject {
  VARNEL_CLASS(Field, TObject)
 public:
  Field(const char* AName, Integer AID) : Name(AName), ID(AID) {}
  String Name;
  Integer ID;
};

Field fields[] = {{"A", 0}, {"B", 1}, {"", 2}};

struct Record {
  Variant Values[3];
};

class Item : public TcxFilterCriteriaItem {
  VARNEL_CLASS(Item, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  Variant GetDataValue(const void* AData) override {
    auto* field = static_cast<Field*>(ItemLink());
    return static_cast<const Record*>(AData)->Values[field->ID];
  }
  String GetFieldName() override {
    return static_cast<Field*>(ItemLink())->Name;
  }
};

class Criteria : public TcxFilterCriteria {
  VARNEL_CLASS(Criteria, TcxFilterCriteria)
 public:
  TObjectPtr<TcxFilterCriteriaItem> CreateItem(
      TcxFilterCriteriaItemList* AParent, TObject* ALink,
      TcxFilterOperatorKind AKind, const Variant& AValue,
      const String& ADisplay) override {
    return TObjectPtr<Item>(new Item(AParent, ALink, AKind, AValue, ADisplay));
  }
  Integer GetIDByItemLink(TObject* ALink) override {
    return static_cast<Field*>(ALink)->ID;
  }
  String GetNameByItemLink(TObject* ALink) override {
    return static_cast<Field*>(ALink)->Name;
  }
  TObject* GetItemLinkByID(Integer AID) override {
    return AID >= 0 && AID < 3 ? &fields[AID] : nullptr;
  }
  TObject* GetItemLinkByName(const String& AName) override {
    for (Field& f : fields)
      if (!f.Name.empty() && f.Name == AName) return &f;
    return nullptr;
  }
};

std::vector<Byte> Bytes(Criteria& ACriteria) {
  TMemoryStream stream;
  ACriteria.WriteData(&stream);
  auto* p = static_cast<const Byte*>(stream.Memory());
  return std::vector<Byte>(p, p + stream.Size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Criteria criteria;
  criteria.SetStoreItemLinkNames((data[0] & 1) != 0);
  criteria.SetOptions({fcoSoftCompare});
  TcxFilterCriteriaItemList* list = criteria.Root()->AddItemList(fboNotOr);
  criteria.AddItem(list, &fields[0], foLike, "a%", "a%");
  criteria.AddItem(nullptr, &fields[1], foBetween, VarBetweenArrayCreate(1, 5),
                   "1;5");
  const std::vector<Byte> before = Bytes(criteria);

  TMemoryStream stream;
  stream.WriteBuffer(data + 1, static_cast<Integer>(size - 1));
  stream.SetPosition(0);
  try {
    criteria.ReadData(&stream);
  } catch (EReadError&) {
    if (Bytes(criteria) != before) std::abort();
    return 0;
  }

  const std::vector<Byte> once = Bytes(criteria);
  Criteria again;
  again.SetStoreItemLinkNames(criteria.StoreItemLinkNames());
  TMemoryStream copy;
  copy.WriteBuffer(once.data(), static_cast<Integer>(once.size()));
  copy.SetPosition(0);
  again.ReadData(&copy);
  if (Bytes(again) != once) std::abort();

  Record record{{Variant("abc"), Variant(3), Null()}};
  // Under soft compare a leaf that cannot compare is false; without it the
  // error reaches the caller as a variant or conversion error.
  criteria.DoFilterData(&record);
  criteria.SetOptions({});
  try {
    criteria.DoFilterData(&record);
  } catch (EVariantError&) {
  } catch (EConvertError&) {
  }
  try {
    (void)criteria.FilterText();
    (void)criteria.FilterCaption();
  } catch (EVariantError&) {
  }
  return 0;
}
