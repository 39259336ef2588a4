#include "cxClasses.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "ScopeGuard.h"
#include "SysConst.h"

// ---------------------------------------------------------------------------
// Resource strings
// ---------------------------------------------------------------------------

namespace {

enum class TResOverrideMode { None, ByRecord, ByText };

// The replaced resources' own texts (with their records in record mode) and,
// at the same index, the replacement texts.
struct TResOverrides {
  TResOverrideMode Mode = TResOverrideMode::None;
  std::vector<String> OriginalTexts;
  std::vector<const TcxResourceString*> Records;
  std::vector<String> Replacements;
};

TResOverrides& ResOverrides() {
  static TResOverrides overrides;
  return overrides;
}

constexpr const char* SCannotMixResourceStringCalls =
    "You cannot mix cxSetResourceString and cxSetResourceStringNet calls";

String OwnText(const TcxResourceString& resString) {
  return resString.Text ? String(resString.Text) : String();
}

int IndexOfText(const TResOverrides& o, const String& text) {
  for (std::size_t i = 0; i < o.OriginalTexts.size(); ++i) {
    if (o.OriginalTexts[i] == text) return static_cast<int>(i);
  }
  return -1;
}

int IndexOfRecord(const TResOverrides& o, const TcxResourceString& resString) {
  switch (o.Mode) {
    case TResOverrideMode::ByRecord:
      for (std::size_t i = 0; i < o.Records.size(); ++i) {
        if (o.Records[i] == &resString) return static_cast<int>(i);
      }
      return -1;
    case TResOverrideMode::ByText:
      return IndexOfText(o, OwnText(resString));
    case TResOverrideMode::None:
      break;
  }
  return -1;
}

void EnterMode(TResOverrides& o, TResOverrideMode mode) {
  if (o.Mode == TResOverrideMode::None) {
    o.Mode = mode;
  } else if (o.Mode != mode) {
    throw Exception(SCannotMixResourceStringCalls);
  }
}

}  // namespace

String cxGetResourceString(const TcxResourceString& resString) {
  const TResOverrides& o = ResOverrides();
  int i = IndexOfRecord(o, resString);
  return i >= 0 ? o.Replacements[i] : OwnText(resString);
}

String cxGetResourceString(const String& resText) {
  const TResOverrides& o = ResOverrides();
  int i = IndexOfText(o, resText);
  return i >= 0 ? o.Replacements[i] : resText;
}

String cxGetResourceStringNet(const String& resText) {
  return cxGetResourceString(resText);
}

void cxSetResourceString(const TcxResourceString& resString,
                         const String& value) {
  TResOverrides& o = ResOverrides();
  EnterMode(o, TResOverrideMode::ByRecord);
  int i = IndexOfRecord(o, resString);
  if (i >= 0) {
    o.Replacements[i] = value;
    return;
  }
  o.OriginalTexts.push_back(OwnText(resString));
  o.Records.push_back(&resString);
  o.Replacements.push_back(value);
}

void cxSetResourceStringNet(const String& resText, const String& value) {
  TResOverrides& o = ResOverrides();
  EnterMode(o, TResOverrideMode::ByText);
  int i = IndexOfText(o, resText);
  if (i >= 0) {
    o.Replacements[i] = value;
    return;
  }
  o.OriginalTexts.push_back(resText);
  o.Records.push_back(nullptr);
  o.Replacements.push_back(value);
}

void cxClearResourceStrings() { ResOverrides() = TResOverrides(); }

// ---------------------------------------------------------------------------
// Weak object links
// ---------------------------------------------------------------------------

namespace {

// Lives from the first link to the last one.
struct TObjectLinkController {
  std::vector<TcxObjectLink*> LiveLinks;
  Integer LinkCount = 0;
};

std::unique_ptr<TObjectLinkController>& LinkController() {
  static std::unique_ptr<TObjectLinkController> controller;
  return controller;
}

}  // namespace

TcxObjectLink* cxAddObjectLink(TObject* AObject) {
  if (!AObject) return nullptr;
  auto& controller = LinkController();
  if (!controller) controller = std::make_unique<TObjectLinkController>();
  TObjectPtr<TcxObjectLink> link(new TcxObjectLink);
  link->Target = AObject;
  controller->LiveLinks.push_back(link.get());
  ++controller->LinkCount;
  return link.release();
}

void cxRemoveObjectLink(TcxObjectLink* ALink) {
  if (!ALink) return;
  TObjectPtr<TcxObjectLink> link(ALink);
  auto& controller = LinkController();
  if (!controller) return;
  if (link->Target) {
    auto& live = controller->LiveLinks;
    live.erase(std::remove(live.begin(), live.end(), link.get()), live.end());
  }
  if (--controller->LinkCount <= 0) controller.reset();
}

void cxClearObjectLinks(TObject* AObject) {
  auto& controller = LinkController();
  if (!controller || !AObject) return;
  auto& live = controller->LiveLinks;
  auto cleared =
      std::remove_if(live.begin(), live.end(), [AObject](TcxObjectLink* link) {
        if (link->Target != AObject) return false;
        link->Target = nullptr;
        return true;
      });
  live.erase(cleared, live.end());
}

// ---------------------------------------------------------------------------
// TcxComponent
// ---------------------------------------------------------------------------

TcxComponent::~TcxComponent() { cxClearObjectLinks(this); }

void TcxComponent::BeforeDestruction() {
  // Holders of weak links must see them cleared before anyone is told
  // about the destruction.
  cxClearObjectLinks(this);
  if (!ComponentState().Contains(csDestroying)) Destroying();
  inherited::BeforeDestruction();
}

void TcxComponent::Loaded() {
  inherited::Loaded();
  UpdateFakeLinks();
}

void TcxComponent::UpdateFakeLinks() {
  if (!ComponentState().Contains(csDesigning) ||
      ComponentState().Contains(csDestroying) || !Owner()) {
    return;
  }
  TList links;
  GetFakeComponentLinks(&links);
  for (Integer i = 0; i < 3; ++i) {
    fakeLinks_[i] =
        i < links.Count() ? static_cast<TComponent*>(links.Get(i)) : nullptr;
  }
}

void TcxComponent::GetFakeComponentLinks(TList*) {}

// ---------------------------------------------------------------------------
// Collections and lists
// ---------------------------------------------------------------------------

void TcxCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (source->Count() == 0 && Count() == 0) return;
  auto update =
      MakeBracket(this, &TcxCollection::BeginUpdate, &TcxCollection::EndUpdate);
  for (Integer i = 0; i < source->Count(); ++i) {
    if (i >= Count()) Add();
    Items(i)->Assign(source->Items(i));
  }
  while (Count() > source->Count()) Delete(Count() - 1);
}

TcxObjectList::~TcxObjectList() { Clear(); }

void TcxObjectList::Clear() {
  // Taken out before it is freed, so a destructor that looks at this list
  // never meets a dead entry.
  while (Count() > 0) {
    auto* obj = static_cast<TObject*>(Get(Count() - 1));
    Delete(Count() - 1);
    Free(obj);
  }
  inherited::Clear();
}

void TcxOpenList::SetItem(Integer Index, void* Item) {
  if (Index >= Count()) SetCount(Index + 1);
  Put(Index, Item);
}

// ---------------------------------------------------------------------------
// TcxRegisteredClassList
// ---------------------------------------------------------------------------

bool TcxRegisteredClassList::Find(TClass AClass, Integer& Index) {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    TClass key = items_[static_cast<std::size_t>(i)].KeyClass;
    if (AClass && AClass->InheritsFrom(key)) {
      Index = i;
      return true;
    }
    if (key && key->InheritsFrom(AClass)) Index = i;
  }
  return false;
}

void TcxRegisteredClassList::Register(TClass AItemClass,
                                      TClass ARegisteredClass) {
  Integer index = -1;
  TcxRegisteredClassListItemData pair{AItemClass, ARegisteredClass};
  if (Find(AItemClass, index)) {
    items_.insert(items_.begin() + index + 1, pair);
  } else if (index < 0) {
    items_.push_back(pair);
  } else {
    items_.insert(items_.begin() + index, pair);
  }
}

void TcxRegisteredClassList::Unregister(TClass AItemClass,
                                        TClass ARegisteredClass) {
  std::erase_if(items_, [&](const TcxRegisteredClassListItemData& d) {
    return d.KeyClass == AItemClass && d.MappedClass == ARegisteredClass;
  });
}

TClass TcxRegisteredClassList::FindClass(TClass AClass) {
  Integer index = -1;
  return Find(AClass, index)
             ? items_[static_cast<std::size_t>(index)].MappedClass
             : nullptr;
}

const TcxRegisteredClassListItemData& TcxRegisteredClassList::GetItem(
    Integer Index) const {
  if (Index < 0 || Index >= GetCount()) {
    throw EListError(SListIndexError, {Index});
  }
  return items_[static_cast<std::size_t>(Index)];
}

// ---------------------------------------------------------------------------
// TcxRegisteredClasses
// ---------------------------------------------------------------------------

namespace {

// The system's default user locale, as the class list sorts in it.
constexpr Cardinal kSortLocale = 1024;

String DescriptionOf(const String& text) {
  auto bar = text.find('|');
  return bar == String::npos ? text : text.substr(0, bar);
}

String HintOf(const String& text) {
  auto bar = text.find('|');
  return bar == String::npos ? text : text.substr(bar + 1);
}

}  // namespace

void TcxRegisteredClasses::Register(TClass AClass, const String& ADescription) {
  if (GetIndexByClass(AClass) >= 0) return;
  items_.push_back({ADescription, AClass});
  if (keepSorted_) Sort();
  if (alsoRegisterForStreaming_ && AClass) RegisterClass(AClass);
}

void TcxRegisteredClasses::Unregister(TClass AClass) {
  Integer i = GetIndexByClass(AClass);
  if (i >= 0) items_.erase(items_.begin() + i);
}

TClass TcxRegisteredClasses::FindByClassName(const String& AClassName) const {
  for (const TEntry& e : items_) {
    if (e.Class && AClassName == e.Class->Name) return e.Class;
  }
  return nullptr;
}

TClass TcxRegisteredClasses::FindByDescription(
    const String& ADescription) const {
  for (const TEntry& e : items_) {
    if (DescriptionOf(e.Text) == ADescription) return e.Class;
  }
  return nullptr;
}

void TcxRegisteredClasses::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(SListIndexError, {Index});
}

String TcxRegisteredClasses::GetDescription(Integer Index) const {
  return DescriptionOf(Texts(Index));
}

String TcxRegisteredClasses::GetHint(Integer Index) const {
  return HintOf(Texts(Index));
}

String TcxRegisteredClasses::GetDescriptionByClass(TClass AClass) const {
  Integer i = GetIndexByClass(AClass);
  return i >= 0 ? GetDescription(i) : String();
}

String TcxRegisteredClasses::GetHintByClass(TClass AClass) const {
  Integer i = GetIndexByClass(AClass);
  return i >= 0 ? GetHint(i) : String();
}

Integer TcxRegisteredClasses::GetIndexByClass(TClass AClass) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].Class == AClass) return static_cast<Integer>(i);
  }
  return -1;
}

TClass TcxRegisteredClasses::Items(Integer Index) const {
  CheckIndex(Index);
  return items_[static_cast<std::size_t>(Index)].Class;
}

String TcxRegisteredClasses::Texts(Integer Index) const {
  CheckIndex(Index);
  return items_[static_cast<std::size_t>(Index)].Text;
}

void TcxRegisteredClasses::SetKeepSorted(bool Value) {
  if (keepSorted_ == Value) return;
  keepSorted_ = Value;
  if (keepSorted_) Sort();
}

Integer TcxRegisteredClasses::CompareItems(Integer AIndex1, Integer AIndex2) {
  return Platform::CompareAnsiLocale(kSortLocale, DescriptionOf(Texts(AIndex1)),
                                     DescriptionOf(Texts(AIndex2)), true);
}

void TcxRegisteredClasses::Sort() {
  std::vector<Integer> order(items_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = static_cast<Integer>(i);
  }
  classlib_detail::StableSort(
      order, [this](Integer a, Integer b) { return CompareItems(a, b) < 0; });
  std::vector<TEntry> sorted;
  sorted.reserve(items_.size());
  for (Integer i : order) sorted.push_back(items_[static_cast<std::size_t>(i)]);
  items_.swap(sorted);
}

// ---------------------------------------------------------------------------
// TcxFreeNotificator
// ---------------------------------------------------------------------------

void TcxFreeNotificator::AddSender(TComponent* ASender) {
  if (ASender) ASender->FreeNotification(this);
}

void TcxFreeNotificator::RemoveSender(TComponent* ASender) {
  if (ASender) ASender->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* AComponent,
                                      TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove) OnFreeNotification(AComponent);
}

// ---------------------------------------------------------------------------
// Free routines
// ---------------------------------------------------------------------------

String cxGetLocaleInfo(Cardinal ALocale, Cardinal AItem,
                       const String& ADefault) {
  String value;
  return Platform::GetLocaleString(ALocale, AItem, value) ? value : ADefault;
}

Integer cxStrCharLength(const String& S, Integer Index) {
  return Index >= 1 && Index <= static_cast<Integer>(S.size()) ? 1 : 0;
}

Integer cxNextCharPos(const String& S, Integer Index) {
  return Index + cxStrCharLength(S, Index);
}

Integer cxPrevCharPos(const String& S, Integer Index) {
  (void)S;
  return Index > 1 ? Index - 1 : Index;
}

bool ClassInheritsFrom(TClass AClass, const String& AParentClassName) {
  for (TClass c = AClass; c; c = c->Parent) {
    if (AParentClassName == c->Name) return true;
  }
  return false;
}

void CopyList(TList* ASource, TList* ADestination) {
  if (!ASource || !ADestination || ASource == ADestination) return;
  ADestination->Assign(ASource);
}

void FillStringsWithEnumTypeValues(
    TStrings* AStrings, PTypeInfo ATypeInfo,
    const std::function<String(Integer AValue)>& AGetTypeName) {
  if (!AStrings || !ATypeInfo || !AGetTypeName) return;
  auto update =
      MakeBracket(AStrings, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  for (Int64 v = ATypeInfo->MinValue; v <= ATypeInfo->MaxValue; ++v) {
    String text = AGetTypeName(static_cast<Integer>(v));
    if (text.empty()) continue;
    AStrings->AddObject(
        text, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(v)));
  }
}

TPersistent* GetPersistentOwner(TPersistent* APersistent) {
  return APersistent ? APersistent->GetOwner() : nullptr;
}

String GetSubobjectName(TObject* AObject, TObject* ASubobject) {
  if (!AObject || !ASubobject) return String();
  for (PPropInfo p : GetPropList(AObject, TTypeKinds{tkClass})) {
    if (GetObjectPropClass(p) == ASubobject->ClassType()) return p->Name;
  }
  return String();
}

String GetValidName(TComponent* AComponent, const String& AName,
                    bool AIsBaseName) {
  TComponent* owner = AComponent ? AComponent->Owner() : nullptr;
  if (!owner) return AName;
  String result = AIsBaseName ? AName + "1" : AName;
  Integer n = AIsBaseName ? 2 : 1;
  while (owner->FindComponent(result)) result = AName + IntToStr(n++);
  return result;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

bool IsIdentChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '_';
}

bool StartsWithText(const String& s, const String& prefix) {
  return s.size() >= prefix.size() &&
         SameText(s.substr(0, prefix.size()), prefix);
}

}  // namespace

Byte HexToByte(const String& AHex) {
  int high = AHex.size() > 0 ? HexDigit(AHex[0]) : 0;
  int low = AHex.size() > 1 ? HexDigit(AHex[1]) : 0;
  return static_cast<Byte>(high * 16 + low);
}

void RenameComponents(TComponent* ACaller, TComponent* AOwner,
                      const String& ANewName,
                      const TcxGetComponentByIndexFunc& AGetComponent,
                      Integer ACount, const String& AOldName) {
  if (!ACaller || !AGetComponent) return;
  if (ACaller->ComponentState().Contains(csAncestor)) return;
  for (Integer i = 0; i < ACount; ++i) {
    TComponent* item = AGetComponent(ACaller, i);
    if (!item || item->Owner() != AOwner) continue;
    const String& name = item->Name();
    if (name.size() <= AOldName.size() || !StartsWithText(name, AOldName)) {
      continue;
    }
    try {
      item->SetName(ANewName + name.substr(AOldName.size()));
    } catch (const EComponentError&) {
      // Another component has the name already: this one keeps its own.
    }
  }
}

Integer RoundDiv(Integer A, Integer B) {
  if (B == 0) throw EDivByZero(SDivByZero);
  Int64 q = static_cast<Int64>(A) / B;
  if (static_cast<Int64>(A) % B != 0) ++q;
  return static_cast<Integer>(q);
}

TSize Size(Integer cx, Integer cy) { return {cx, cy}; }

void SwapIntegers(Integer& A, Integer& B) { std::swap(A, B); }

Integer GetRangeCenter(Integer A, Integer B) {
  Int64 sum = static_cast<Int64>(A) + B;
  Int64 half = sum / 2;
  if (sum % 2 != 0 && sum < 0) --half;
  return static_cast<Integer>(half);
}

bool StreamsEqual(TCustomMemoryStream* AStream1,
                  TCustomMemoryStream* AStream2) {
  if (!AStream1 || !AStream2) return AStream1 == AStream2;
  if (AStream1->Size() != AStream2->Size()) return false;
  if (AStream1->Size() == 0) return true;
  return std::memcmp(AStream1->Memory(), AStream2->Memory(),
                     static_cast<std::size_t>(AStream1->Size())) == 0;
}

String GetCorrectPath(const String& S) {
  String result = S;
  std::replace(result.begin(), result.end(), '/', '\\');
  return result;
}

namespace {

constexpr Integer kShowMaximized = 3;

TcxShellExecuteFunc& ShellExecuteFunc() {
  static TcxShellExecuteFunc func;
  return func;
}

}  // namespace

TcxShellExecuteFunc cxSetShellExecuteFunc(TcxShellExecuteFunc AFunc) {
  TcxShellExecuteFunc previous = std::move(ShellExecuteFunc());
  ShellExecuteFunc() = std::move(AFunc);
  return previous;
}

void OpenWebPage(const String& AUrl) {
  // A copy, so that the function may replace itself while it runs.
  TcxShellExecuteFunc func = ShellExecuteFunc();
  if (func) func("OPEN", AUrl, kShowMaximized);
}

String CreateUniqueName(TComponent* AOwner, TComponent* AParent,
                        TComponent* AComponent, const String& AClassPrefix,
                        const String& AName) {
  String base;
  for (char c : AName) {
    if (IsIdentChar(c)) base += c;
  }
  if (base.empty() || (base[0] >= '0' && base[0] <= '9')) {
    String className = AComponent ? AComponent->ClassName() : String();
    if (!AClassPrefix.empty() && StartsWithText(className, AClassPrefix)) {
      className.erase(0, AClassPrefix.size());
    } else if (!className.empty() && className[0] == 'T') {
      className.erase(0, 1);
    }
    base = className + base;
  }
  if (AParent) base = AParent->Name() + base;
  auto taken = [&](const String& name) {
    if (!AOwner) return false;
    for (Integer i = 0; i < AOwner->ComponentCount(); ++i) {
      TComponent* c = AOwner->Components(i);
      if (c != AComponent && SameText(c->Name(), name)) return true;
    }
    return false;
  };
  for (Integer n = AName.empty() ? 1 : 0;; ++n) {
    String candidate = n > 0 ? base + IntToStr(n) : base;
    if (!taken(candidate)) return candidate;
  }
}

void cxZeroMemory(void* ADestination, Integer ACount) {
  if (ADestination && ACount > 0) {
    std::memset(ADestination, 0, static_cast<std::size_t>(ACount));
  }
}

void* cxAllocMem(Cardinal ASize) {
  if (ASize == 0) return nullptr;
  void* p = std::calloc(ASize, 1);
  if (!p) throw EOutOfMemory(SOutOfMemory);
  return p;
}

void cxFreeMem(void* P) { std::free(P); }

void cxCopyData(const void* ASource, void* ADestination, Integer ACount) {
  if (ASource && ADestination && ACount > 0) {
    std::memmove(ADestination, ASource, static_cast<std::size_t>(ACount));
  }
}

void cxCopyData(const void* ASource, void* ADestination, Integer ASourceOffSet,
                Integer ADestinationOffSet, Integer ACount) {
  if (!ASource || !ADestination) return;
  cxCopyData(static_cast<const Byte*>(ASource) + std::max(ASourceOffSet, 0),
             static_cast<Byte*>(ADestination) + std::max(ADestinationOffSet, 0),
             ACount);
}

namespace {

UInt64 ReadLE(const void* source, Integer offset, int bytes) {
  const Byte* p = static_cast<const Byte*>(source) + offset;
  UInt64 v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

void WriteLE(void* destination, Integer offset, UInt64 value, int bytes) {
  Byte* p = static_cast<Byte*>(destination) + offset;
  for (int i = 0; i < bytes; ++i) {
    p[i] = static_cast<Byte>(value & 0xFF);
    value >>= 8;
  }
}

}  // namespace

bool ReadBoolean(const void* ASource, Integer AOffset) {
  return ReadLE(ASource, AOffset, 2) != 0;
}

Byte ReadByte(const void* ASource, Integer AOffset) {
  return static_cast<Byte>(ReadLE(ASource, AOffset, 1));
}

Word ReadWord(const void* ASource, Integer AOffset) {
  return static_cast<Word>(ReadLE(ASource, AOffset, 2));
}

Integer ReadInteger(const void* ASource, Integer AOffset) {
  return static_cast<Integer>(
      static_cast<std::uint32_t>(ReadLE(ASource, AOffset, 4)));
}

void WriteBoolean(void* ADestination, bool AValue, Integer AOffset) {
  WriteLE(ADestination, AOffset, AValue ? 1 : 0, 2);
}

void WriteByte(void* ADestination, Byte AValue, Integer AOffset) {
  WriteLE(ADestination, AOffset, AValue, 1);
}

void WriteWord(void* ADestination, Word AValue, Integer AOffset) {
  WriteLE(ADestination, AOffset, AValue, 2);
}

void WriteInteger(void* ADestination, Integer AValue, Integer AOffset) {
  WriteLE(ADestination, AOffset, static_cast<std::uint32_t>(AValue), 4);
}

Integer cxSign(double AValue) { return AValue >= 0 ? 1 : -1; }

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void ClassesStartup() {
  TPublished<TcxComponent>()
      .Property("FakeComponentLink1", &TcxComponent::FakeComponentLink1,
                &TcxComponent::SetFakeComponentLink1)
      .Property("FakeComponentLink2", &TcxComponent::FakeComponentLink2,
                &TcxComponent::SetFakeComponentLink2)
      .Property("FakeComponentLink3", &TcxComponent::FakeComponentLink3,
                &TcxComponent::SetFakeComponentLink3);
}

void ClassesShutdown() {
  UnpublishClass(TcxComponent::StaticClass());
  cxClearResourceStrings();
}

}  // namespace

VARNEL_UNIT(cxClasses, ({"Classes"}), &ClassesStartup, &ClassesShutdown);
