// Root classes and services of the component library: replaceable resource
// strings, persistents with an owner, owning lists, class registries, weak
// object links and small free routines. Platform independent.
#pragma once

#include <functional>
#include <vector>

#include "Classes.h"
#include "SysUtils.h"
#include "Types.h"

// ---------------------------------------------------------------------------
// Resource strings
// ---------------------------------------------------------------------------

// A user-visible text of the library with its fixed identifier. Each unit
// declares its own as inline constants, so that every unit that includes the
// header sees the same record (overrides are keyed by the record's address):
//
//   inline constexpr TcxResourceString scxSomething{65013, "Some text"};
//
// The record's text is the resource's own text on every platform: the
// program carries no separate string table that could drift from it.
struct TcxResourceString {
  Integer Identifier;
  const char* Text;
};

// The current text: the replacement when one is set, else the record's own
// text.
String cxGetResourceString(const TcxResourceString& resString);
// The replacement registered for that resource text (by either kind of
// replacement), else the text itself.
String cxGetResourceString(const String& resText);
String cxGetResourceStringNet(const String& resText);
// Replace one resource string, by its record or by its own text. The two
// kinds cannot be mixed in one program run: a call of the other kind raises
// Exception and changes nothing.
void cxSetResourceString(const TcxResourceString& resString,
                         const String& value);
void cxSetResourceStringNet(const String& resText, const String& value);
// Drops every replacement and forgets which kind was used (shut-down, and
// tests that need a clean state).
void cxClearResourceStrings();

// Texts shared by several units of the library.
inline constexpr TcxResourceString scxCantCreateRegistryKey{
    65013, "Can't create the registry key: \\%s"};
inline constexpr TcxResourceString scxCantOpenRegistryKey{
    65014, "Can't open the registry key: \\%s"};
inline constexpr TcxResourceString scxErrorStoreObject{65015,
                                                       "Error store %s object"};
inline constexpr TcxResourceString scxInvalidPropertyElement{
    65016, "Invalid property element: %s"};
inline constexpr TcxResourceString scxConverterCantCreateStyleRepository{
    65017, "Can't create the Style Repository"};
// The words of the smart date input.
inline constexpr TcxResourceString cxSDateToday{65018, "today"};
inline constexpr TcxResourceString cxSDateYesterday{65019, "yesterday"};
inline constexpr TcxResourceString cxSDateTomorrow{65020, "tomorrow"};
inline constexpr TcxResourceString cxSDateSunday{65021, "Sunday"};
inline constexpr TcxResourceString cxSDateMonday{65022, "Monday"};
inline constexpr TcxResourceString cxSDateTuesday{65023, "Tuesday"};
inline constexpr TcxResourceString cxSDateWednesday{64992, "Wednesday"};
inline constexpr TcxResourceString cxSDateThursday{64993, "Thursday"};
inline constexpr TcxResourceString cxSDateFriday{64994, "Friday"};
inline constexpr TcxResourceString cxSDateSaturday{64995, "Saturday"};
inline constexpr TcxResourceString cxSDateFirst{64996, "first"};
inline constexpr TcxResourceString cxSDateSecond{64997, "second"};
inline constexpr TcxResourceString cxSDateThird{64998, "third"};
inline constexpr TcxResourceString cxSDateFourth{64999, "fourth"};
inline constexpr TcxResourceString cxSDateFifth{65000, "fifth"};
inline constexpr TcxResourceString cxSDateSixth{65001, "sixth"};
inline constexpr TcxResourceString cxSDateSeventh{65002, "seventh"};
inline constexpr TcxResourceString cxSDateBOM{65003, "bom"};
inline constexpr TcxResourceString cxSDateEOM{65004, "eom"};
inline constexpr TcxResourceString cxSDateNow{65005, "now"};

// ---------------------------------------------------------------------------
// Shared enumerations and types
// ---------------------------------------------------------------------------

enum TcxCollectionOperation : Byte { copAdd, copDelete, copChanged };
enum TcxDirection : Byte { dirNone, dirLeft, dirRight, dirUp, dirDown };
enum TcxPosition : Byte { posNone, posLeft, posRight, posTop, posBottom };
using TBytes = std::vector<Byte>;
using TdxSkinName = String;

// ---------------------------------------------------------------------------
// Base classes
// ---------------------------------------------------------------------------

// A persistent that knows the persistent it belongs to.
class TcxInterfacedPersistent : public TInterfacedPersistent {
  VARNEL_CLASS(TcxInterfacedPersistent, TInterfacedPersistent)
 public:
  explicit TcxInterfacedPersistent(TPersistent* AOwner) : owner_(AOwner) {}
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};

// The library's component base. Weak links to it are cleared when it goes.
// The three fake links show the designer which helper components belong to
// this one; they stay empty outside design time.
class TcxComponent : public TComponent {
  VARNEL_CLASS(TcxComponent, TComponent)
 public:
  explicit TcxComponent(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxComponent() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TComponent* FakeComponentLink1() const { return fakeLinks_[0]; }
  TComponent* FakeComponentLink2() const { return fakeLinks_[1]; }
  TComponent* FakeComponentLink3() const { return fakeLinks_[2]; }
  void SetFakeComponentLink1(TComponent* Value) { fakeLinks_[0] = Value; }
  void SetFakeComponentLink2(TComponent* Value) { fakeLinks_[1] = Value; }
  void SetFakeComponentLink3(TComponent* Value) { fakeLinks_[2] = Value; }
  // Refills the fake links from GetFakeComponentLinks (design time only).
  void UpdateFakeLinks();

 protected:
  virtual void GetFakeComponentLinks(TList* AList);

 private:
  TComponent* fakeLinks_[3] = {};
};

// A collection whose Assign keeps and reuses its existing items.
class TcxCollection : public TCollection {
  VARNEL_CLASS(TcxCollection, TCollection)
 public:
  using TCollection::TCollection;
  void Assign(TPersistent* Source) override;
};

// A list that owns its objects: Clear and destruction free them. Delete,
// Remove and Extract hand the entry back to the caller.
class TcxObjectList : public TList {
  VARNEL_CLASS(TcxObjectList, TList)
 public:
  TcxObjectList() = default;
  ~TcxObjectList() override;
  void Clear() override;
  TObject* Objects(Integer Index) const {
    return static_cast<TObject*>(Get(Index));
  }
};

// A list that grows when an item is set beyond its end.
class TcxOpenList : public TList {
  VARNEL_CLASS(TcxOpenList, TList)
 public:
  void SetItem(Integer Index, void* Item);
};

// ---------------------------------------------------------------------------
// Class registries
// ---------------------------------------------------------------------------

struct TcxRegisteredClassListItemData {
  TClass KeyClass = nullptr;
  TClass MappedClass = nullptr;
};

// Maps classes to classes. A lookup answers with the mapping of the nearest
// registered ancestor (or the class itself); ancestors' pairs stand before
// their descendants' and a later registration for the same class wins.
class TcxRegisteredClassList : public TObject {
  VARNEL_CLASS(TcxRegisteredClassList, TObject)
 public:
  // True with the index of the pair for the class or its nearest ancestor.
  // When none, false, and index (set to -1 by the caller) is left at the
  // lowest pair whose key class descends from the class.
  virtual bool Find(TClass AClass, Integer& Index);
  virtual void Register(TClass AItemClass, TClass ARegisteredClass);
  // Removes every pair equal to both.
  virtual void Unregister(TClass AItemClass, TClass ARegisteredClass);
  TClass FindClass(TClass AClass);
  void Clear() { items_.clear(); }
  Integer GetCount() const { return static_cast<Integer>(items_.size()); }
  Integer Count() const { return GetCount(); }
  // Raises EListError for an index out of range.
  const TcxRegisteredClassListItemData& GetItem(Integer Index) const;

 private:
  std::vector<TcxRegisteredClassListItemData> items_;
};

// Classes with a text each, "description" or "description|hint".
class TcxRegisteredClasses : public TObject {
  VARNEL_CLASS(TcxRegisteredClasses, TObject)
 public:
  explicit TcxRegisteredClasses(bool AAlsoRegisterForStreaming = false)
      : alsoRegisterForStreaming_(AAlsoRegisterForStreaming) {}

  // Nothing when the class is already registered.
  void Register(TClass AClass, const String& ADescription);
  void Unregister(TClass AClass);
  void Clear() { items_.clear(); }
  // Exact, case-sensitive matches; null when none.
  TClass FindByClassName(const String& AClassName) const;
  TClass FindByDescription(const String& ADescription) const;
  // The text before and after the first "|"; the whole text for both when
  // it has none. Raise EListError for an index out of range.
  String GetDescription(Integer Index) const;
  String GetHint(Integer Index) const;
  // "" for a class not in the list.
  String GetDescriptionByClass(TClass AClass) const;
  String GetHintByClass(TClass AClass) const;
  Integer GetIndexByClass(TClass AClass) const;

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TClass Items(Integer Index) const;
  String Descriptions(Integer Index) const { return GetDescription(Index); }
  // The whole registered text.
  String Texts(Integer Index) const;

  bool KeepSorted() const { return keepSorted_; }
  // Switching it on sorts at once.
  void SetKeepSorted(bool Value);
  bool AlsoRegisterForStreaming() const { return alsoRegisterForStreaming_; }

  // By description, in the system's locale order without case.
  virtual Integer CompareItems(Integer AIndex1, Integer AIndex2);
  virtual void Sort();

 private:
  struct TEntry {
    String Text;
    TClass Class;
  };
  void CheckIndex(Integer Index) const;

  std::vector<TEntry> items_;
  bool keepSorted_ = false;
  bool alsoRegisterForStreaming_;
};

// ---------------------------------------------------------------------------
// Weak object links
// ---------------------------------------------------------------------------

// Holds a reference that becomes null when its target is destroyed (the
// target calls cxClearObjectLinks). Holders test Target before use and give
// the link back with cxRemoveObjectLink.
class TcxObjectLink : public TObject {
  VARNEL_CLASS(TcxObjectLink, TObject)
 public:
  TObject* Target = nullptr;
};

// A new link to the object; null for null.
TcxObjectLink* cxAddObjectLink(TObject* AObject);
// Frees the link (null is ignored).
void cxRemoveObjectLink(TcxObjectLink* ALink);
// Every live link to the object gets a null target.
void cxClearObjectLinks(TObject* AObject);

// A link for the length of a scope: whether the object survived a call
// that may free it.
class TcxObjectLinkScope {
 public:
  explicit TcxObjectLinkScope(TObject* AObject)
      : link_(cxAddObjectLink(AObject)) {}
  ~TcxObjectLinkScope() { cxRemoveObjectLink(link_); }
  TcxObjectLinkScope(const TcxObjectLinkScope&) = delete;
  TcxObjectLinkScope& operator=(const TcxObjectLinkScope&) = delete;
  TObject* Target() const { return link_ ? link_->Target : nullptr; }
  bool Alive() const { return Target() != nullptr; }

 private:
  TcxObjectLink* link_;
};

// ---------------------------------------------------------------------------
// Free notifications
// ---------------------------------------------------------------------------

using TcxFreeNotificationEvent = TClosure<void(TComponent* Sender)>;

// Tells its handler when one of the components it watches is freed.
class TcxFreeNotificator : public TComponent {
  VARNEL_CLASS(TcxFreeNotificator, TComponent)
 public:
  explicit TcxFreeNotificator(TComponent* AOwner = nullptr)
      : TComponent(AOwner) {}
  void AddSender(TComponent* ASender);
  void RemoveSender(TComponent* ASender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TcxFreeNotificationEvent OnFreeNotification;
};

// ---------------------------------------------------------------------------
// Free routines
// ---------------------------------------------------------------------------

// The locale's text for the item; the default when the system has none.
String cxGetLocaleInfo(Cardinal ALocale, Cardinal AItem,
                       const String& ADefault);
// Byte length of the character at a 1-based position (0 past the end), and
// the positions of the next and previous characters. The program's ANSI
// text is single-byte: every character is one byte.
Integer cxStrCharLength(const String& S, Integer Index = 1);
Integer cxNextCharPos(const String& S, Integer Index);
Integer cxPrevCharPos(const String& S, Integer Index);

// Whether the class or one of its ancestors has exactly that name.
bool ClassInheritsFrom(TClass AClass, const String& AParentClassName);
void CopyList(TList* ASource, TList* ADestination);
// Adds AGetTypeName's text for every value of the enumeration, with the
// value as the object; empty texts are skipped.
void FillStringsWithEnumTypeValues(
    TStrings* AStrings, PTypeInfo ATypeInfo,
    const std::function<String(Integer AValue)>& AGetTypeName);
TPersistent* GetPersistentOwner(TPersistent* APersistent);
// The name of the first published property of AObject whose declared class
// is exactly ASubobject's class; "" when none.
String GetSubobjectName(TObject* AObject, TObject* ASubobject);
// A name that no other component of AComponent's owner has.
String GetValidName(TComponent* AComponent, const String& AName,
                    bool AIsBaseName = false);
// The byte that two hex digits give (either case); a non-hex digit counts
// as 0.
Byte HexToByte(const String& AHex);
using TcxGetComponentByIndexFunc =
    std::function<TComponent*(TComponent* ACaller, Integer AIndex)>;
// Renames the items that AOwner owns and whose names start with AOldName
// (any case) to start with ANewName instead. Name conflicts are skipped.
void RenameComponents(TComponent* ACaller, TComponent* AOwner,
                      const String& ANewName,
                      const TcxGetComponentByIndexFunc& AGetComponent,
                      Integer ACount, const String& AOldName);
// a div b, plus 1 when b does not divide a. EDivByZero for b = 0.
Integer RoundDiv(Integer A, Integer B);
TSize Size(Integer cx, Integer cy);
void SwapIntegers(Integer& A, Integer& B);
// (a + b) / 2 rounded down.
Integer GetRangeCenter(Integer A, Integer B);
bool StreamsEqual(TCustomMemoryStream* AStream1, TCustomMemoryStream* AStream2);
// Every "/" turned into "\".
String GetCorrectPath(const String& S);

// The shell's opening of a file or an address with a verb and a show-window
// code, replaceable so that tests record the call instead of starting a
// browser. The Windows part installs the shell's own at start-up; elsewhere
// there is none and nothing opens.
using TcxShellExecuteFunc = std::function<void(
    const String& AOperation, const String& AFileName, Integer AShowCmd)>;
// Installs AFunc and returns the one it replaces.
TcxShellExecuteFunc cxSetShellExecuteFunc(TcxShellExecuteFunc AFunc);
// Opens the address with the shell's "OPEN" verb, maximised.
void OpenWebPage(const String& AUrl);
// A component name unique among AOwner's components: AParent's name, then
// AName with only letters, digits and "_" kept (led by the class name less
// AClassPrefix, or less its "T", when that is empty or starts with a digit),
// then the first number that makes it unique (none at first when AName is
// not empty).
String CreateUniqueName(TComponent* AOwner, TComponent* AParent,
                        TComponent* AComponent, const String& AClassPrefix,
                        const String& AName);

void cxZeroMemory(void* ADestination, Integer ACount);
// Zero-filled memory for cxFreeMem; null for a count that is not positive.
void* cxAllocMem(Cardinal ASize);
void cxFreeMem(void* P);
void cxCopyData(const void* ASource, void* ADestination, Integer ACount);
// Offsets that are not positive count as 0.
void cxCopyData(const void* ASource, void* ADestination, Integer ASourceOffSet,
                Integer ADestinationOffSet, Integer ACount);

// Little-endian values in a buffer at a byte offset; a Boolean takes two
// bytes.
bool ReadBoolean(const void* ASource, Integer AOffset = 0);
Byte ReadByte(const void* ASource, Integer AOffset = 0);
Word ReadWord(const void* ASource, Integer AOffset = 0);
Integer ReadInteger(const void* ASource, Integer AOffset = 0);
void WriteBoolean(void* ADestination, bool AValue, Integer AOffset = 0);
void WriteByte(void* ADestination, Byte AValue, Integer AOffset = 0);
void WriteWord(void* ADestination, Word AValue, Integer AOffset = 0);
void WriteInteger(void* ADestination, Integer AValue, Integer AOffset = 0);

// 1 for zero and above, -1 below.
Integer cxSign(double AValue);
