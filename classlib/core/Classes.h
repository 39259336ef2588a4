// Persistent objects, components, collections, lists, string lists and
// streams.
//
// Form streaming lives in FormStreams.h (TFiler, TReader, TWriter). This
// unit only forward-declares them. Agreed split of the streaming hooks:
//   - TPersistent::DefineProperties: defined here, does nothing.
//   - TComponent::DefineProperties, TComponent::ReadState and
//     TComponent::WriteState: declared here, DEFINED IN FormStreams.cpp
//     (they need the filer classes).
// The hooks that readers and writers call (DefineProperties, ReadState,
// WriteState, Loaded, SetName, SetChildOrder, SetParentComponent,
// GetChildren, SetAncestor, SetDesigning, SetInline, ...) are public so the
// filer classes can reach them.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <vector>

#include "System.h"
#include "TypInfo.h"

class TFiler;
class TReader;
class TWriter;
class TStream;
class TComponent;
class TCollection;
class TCollectionItem;

// ---------------------------------------------------------------------------
// TPersistent
// ---------------------------------------------------------------------------

class TPersistent : public TObject {
  VARNEL_CLASS(TPersistent, TObject)
 public:
  TPersistent() = default;
  ~TPersistent() override = default;

  // Copies Source into this object. The default asks Source to AssignTo this
  // object; raises EConvertError "Cannot assign a %s to a %s" when neither
  // side knows how (a null source shows as "nil").
  virtual void Assign(TPersistent* Source);
  // "Owner.Path.Name" style path used by designers and error messages.
  virtual String GetNamePath();
  // Extra, non-published data for form streams. Does nothing here.
  virtual void DefineProperties(TFiler* Filer);
  virtual TPersistent* GetOwner();

 protected:
  virtual void AssignTo(TPersistent* Dest);
  // Raises the "Cannot assign" EConvertError.
  [[noreturn]] void AssignError(TPersistent* Source);

  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
};

// A persistent that answers interface queries without reference counting.
class TInterfacedPersistent : public TPersistent, public IInterface {
  VARNEL_CLASS(TInterfacedPersistent, TPersistent)
 public:
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

 protected:
  // Descendants answer for the interfaces they implement and call this for
  // the rest.
  virtual void* GetInterfaceFor(const TGUID& iid);
};

// ---------------------------------------------------------------------------
// TComponent
// ---------------------------------------------------------------------------

enum TOperation : Byte { opInsert, opRemove };

enum TComponentStateFlag : Byte {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance,
};
using TComponentState = TSet<TComponentStateFlag>;

enum TComponentStyleFlag : Byte {
  csInheritable,
  csCheckPropAvail,
  csSubComponent,
  csTransient,
};
using TComponentStyle = TSet<TComponentStyleFlag>;

class TBasicAction;

// Receives each child component during GetChildren.
using TGetChildProc = std::function<void(TComponent* Child)>;

// A component: owned by its Owner, which frees it; named uniquely among the
// components of its owner; told about insertions and removals of other
// components through Notification.
//
// Free components with Free()/TObjectPtr or let the owner free them: then
// the owner and the free-notification peers are told while the component is
// still whole. A plain delete is safe too (the same steps run from the
// destructor).
class TComponent : public TPersistent, public IInterface {
  VARNEL_CLASS(TComponent, TPersistent)
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  void BeforeDestruction() override;

  // IInterface without reference counting: the owner controls lifetime.
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  TComponent* Owner() const { return owner_; }
  const String& Name() const { return name_; }
  // Raises EComponentError for an invalid identifier or a name that another
  // component of the same owner has (any case). The empty name is allowed.
  virtual void SetName(const String& NewName);
  Integer Tag() const { return tag_; }
  void SetTag(Integer value) { tag_ = value; }

  Integer ComponentCount() const {
    return static_cast<Integer>(components_.size());
  }
  // Raises EListError for an index out of range.
  TComponent* Components(Integer Index) const;
  // Position in the owner's list; -1 without owner.
  Integer ComponentIndex() const;
  void SetComponentIndex(Integer Value);
  // Case-insensitive; null for none or the empty name.
  TComponent* FindComponent(const String& AName) const;

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, the last inserted first.
  void DestroyComponents();
  // Sets csDestroying on this component and all it owns.
  void Destroying();

  TComponentState ComponentState() const { return state_; }
  TComponentStyle ComponentStyle() const { return style_; }

  // Asks AComponent to tell this component (and vice versa) when it is
  // freed; the link is dropped when either side goes.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  virtual String GetNamePath() override;
  TPersistent* GetOwner() override;

  // --- Streaming hooks (see the note at the top) ---
  void DefineProperties(TFiler* Filer) override;  // FormStreams.cpp
  virtual void ReadState(TReader* Reader);        // FormStreams.cpp
  virtual void WriteState(TWriter* Writer);       // FormStreams.cpp
  // Called after the component was read from a stream; clears csLoading.
  virtual void Loaded();
  // Hands each child to be streamed to Proc; Root is the streaming root.
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
  virtual TComponent* GetChildOwner();
  virtual TComponent* GetChildParent();
  virtual void SetChildOrder(TComponent* Child, Integer Order);
  virtual TComponent* GetParentComponent();
  virtual void SetParentComponent(TComponent* Value);
  virtual bool HasParent();
  virtual void Updating();
  virtual void Updated();
  void SetAncestor(bool Value);
  void SetDesigning(bool Value, bool SetChildren = true);
  void SetInline(bool Value);
  void SetDesignInstance(bool Value);
  void SetSubComponent(bool Value);
  // Adds/removes state flags (csLoading, csReading, ...) directly; readers
  // and writers use it around a load.
  void IncludeState(TComponentStateFlag Flag) { state_.Include(Flag); }
  void ExcludeState(TComponentStateFlag Flag) { state_.Exclude(Flag); }

  // Actions: the component handles nothing by default.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  // Called on the owner (and passed on to its components) when a component
  // is inserted or removed, and on free-notification peers when one goes.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

 protected:
  virtual void ValidateRename(TComponent* AComponent, const String& CurName,
                              const String& NewName);
  virtual void ValidateInsert(TComponent* AComponent);
  void ChangeName(const String& NewName) { name_ = NewName; }
  void SetComponentStyle(TComponentStyle value) { style_ = value; }

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  void NotifyPeers();
  void LeaveOwnerAndPeers();

  TComponent* owner_ = nullptr;
  String name_;
  Integer tag_ = 0;
  TOwningList<TComponent> components_;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_;
  TComponentStyle style_{csInheritable};
};

// True when Name is a valid identifier (letter or '_', then letters, digits
// or '_').
bool IsValidIdent(const String& Name);

// ---------------------------------------------------------------------------
// TCollection
// ---------------------------------------------------------------------------

enum TCollectionNotification : Byte { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  VARNEL_CLASS(TCollectionItem, TPersistent)
 public:
  // Adds itself to Collection (when given). Descendants keep this
  // constructor signature so the collection can create them by class.
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  // Leaves the collection while still whole, so its Notify sees the real
  // item class.
  void BeforeDestruction() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (null takes it out; the caller
  // then owns it).
  virtual void SetCollection(TCollection* Value);
  Integer ID() const { return id_; }
  // Position in the collection; -1 without one.
  Integer Index() const;
  // Moves the item; raises EListError for a position out of range.
  virtual void SetIndex(Integer Value);
  String DisplayName() { return GetDisplayName(); }
  virtual void SetDisplayName(const String& Value);
  String GetNamePath() override;
  TPersistent* GetOwner() override;

 protected:
  // The class name by default.
  virtual String GetDisplayName();
  // Tells the collection that this item (or, with AllItems, every item)
  // changed, unless the collection is inside BeginUpdate.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  Integer id_ = 0;
};

using TCollectionItemClass = TClass;

class TCollection : public TPersistent {
  VARNEL_CLASS(TCollection, TPersistent)
 public:
  // ItemClass must be TCollectionItem or a descendant.
  explicit TCollection(TClass ItemClass);
  ~TCollection() override;

  TClass ItemClass() const { return itemClass_; }
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Raises EListError "List index out of bounds (%d)".
  TCollectionItem* Items(Integer Index) const;
  // Items[Index].Assign(Value).
  void SetItem(Integer Index, TCollectionItem* Value);
  TCollectionItem* Add();
  // Adds, then moves the new item to Index.
  TCollectionItem* Insert(Integer Index);
  void Delete(Integer Index);
  void Clear();
  TCollectionItem* FindItemID(Integer ID) const;
  Integer NextID() const { return nextID_; }

  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }

  // Replaces the items with copies of Source's items when Source is a
  // collection.
  void Assign(TPersistent* Source) override;
  String GetNamePath() override;
  TPersistent* Owner() { return GetOwner(); }

  // Typed access for descendants: Item<TMyItem>(i).
  template <class T>
  T* Item(Integer Index) const {
    return static_cast<T*>(Items(Index));
  }

 protected:
  // Calls Update(nil) unless inside BeginUpdate.
  void Changed();
  // Called for changes: Item is the changed item, or null for many.
  virtual void Update(TCollectionItem* Item);
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  // The name of the published property of the owner that holds this
  // collection ("" when none).
  String GetPropName();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void MoveItem(Integer CurIndex, Integer NewIndex);

  TClass itemClass_;
  TOwningList<TCollectionItem> items_;
  Integer updateCount_ = 0;
  Integer nextID_ = 0;
  // While Add constructs an item, the first item inserted is that one: its
  // notifications wait until it is complete.
  bool adding_ = false;
  TCollectionItem* deferred_ = nullptr;
};

// A collection whose GetOwner is the persistent given at construction.
class TOwnedCollection : public TCollection {
  VARNEL_CLASS(TOwnedCollection, TCollection)
 public:
  TOwnedCollection(TPersistent* AOwner, TClass ItemClass)
      : TCollection(ItemClass), owner_(AOwner) {}
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

namespace classlib_detail {
// Stable merge sort of `order` by `less`. Stays within bounds and ends even
// when `less` is not a strict weak order (the order is then unspecified).
void StableSort(std::vector<Integer>& order,
                const std::function<bool(Integer, Integer)>& less);
}  // namespace classlib_detail

enum TListNotification : Byte { lnAdded, lnExtracted, lnDeleted };
enum TDuplicates : Byte { dupIgnore, dupAccept, dupError };

// Negative when Item1 sorts before Item2, 0 when equal, positive after.
using TListSortCompare = std::function<Integer(void* Item1, void* Item2)>;

// A list of pointers. Index errors raise EListError.
class TList : public TObject {
  VARNEL_CLASS(TList, TObject)
 public:
  TList() = default;
  ~TList() override;

  Integer Add(void* Item);
  void Insert(Integer Index, void* Item);
  void Delete(Integer Index);
  // Index of the removed item, or -1.
  Integer Remove(void* Item);
  // Takes Item out without the deletion notice; returns it, or null.
  void* Extract(void* Item);
  Integer IndexOf(void* Item) const;
  void Move(Integer CurIndex, Integer NewIndex);
  void Exchange(Integer Index1, Integer Index2);
  // A stable sort.
  void Sort(const TListSortCompare& Compare);
  // Removes the null entries.
  void Pack();
  virtual void Clear();
  // Makes room for at least one more item; returns this list.
  TList* Expand();
  void Assign(TList* Source);

  void* First() const;
  void* Last() const;
  void* Get(Integer Index) const;
  void Put(Integer Index, void* Item);
  void* Items(Integer Index) const { return Get(Index); }
  void* operator[](Integer Index) const { return Get(Index); }

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Growing adds null entries; shrinking deletes from the end.
  void SetCount(Integer NewCount);
  Integer Capacity() const { return capacity_; }
  void SetCapacity(Integer NewCapacity);
  void* const* List() const { return items_.data(); }

 protected:
  // Told about each item added, extracted or deleted.
  virtual void Notify(void* Ptr, TListNotification Action);
  [[noreturn]] static void Error(const char* Msg, Integer Data);
  void Grow();

 private:
  std::vector<void*> items_;
  Integer capacity_ = 0;
};

// A TList guarded by a lock.
class TThreadList : public TObject {
  VARNEL_CLASS(TThreadList, TObject)
 public:
  TThreadList() = default;
  void Add(void* Item);
  void Clear();
  void Remove(void* Item);
  TList* LockList();
  void UnlockList();
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }

 private:
  std::recursive_mutex lock_;
  TList list_;
  TDuplicates duplicates_ = dupIgnore;
};

// A list of counted interface references.
class TInterfaceList : public TInterfacedObject {
  VARNEL_CLASS(TInterfaceList, TInterfacedObject)
 public:
  using Item = TIntfPtr<IInterface>;
  TInterfaceList() = default;

  Integer Add(const Item& AItem);
  void Insert(Integer Index, const Item& AItem);
  void Delete(Integer Index);
  Integer Remove(const Item& AItem);
  Integer IndexOf(const Item& AItem);
  void Exchange(Integer Index1, Integer Index2);
  void Clear();
  Item First();
  Item Last();
  Item Get(Integer Index);
  void Put(Integer Index, const Item& AItem);
  Item Items(Integer Index) { return Get(Index); }
  Integer Count();
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

 private:
  std::recursive_mutex lock_;
  std::vector<Item> items_;
};

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------

// A list of strings, each with an object. Abstract storage; TStringList
// holds them.
class TStrings : public TPersistent {
  VARNEL_CLASS(TStrings, TPersistent)
 public:
  TStrings() = default;

  virtual Integer Add(const String& S);
  virtual Integer AddObject(const String& S, TObject* AObject);
  void Append(const String& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  virtual void Insert(Integer Index, const String& S) = 0;
  virtual void InsertObject(Integer Index, const String& S, TObject* AObject);
  virtual void Delete(Integer Index) = 0;
  virtual void Clear() = 0;
  virtual void Move(Integer CurIndex, Integer NewIndex);
  virtual void Exchange(Integer Index1, Integer Index2);
  virtual Integer IndexOf(const String& S);
  Integer IndexOfName(const String& Name);
  Integer IndexOfObject(TObject* AObject);
  // Same count and the same strings (compared exactly).
  bool Equals(TStrings* Strings);
  void Assign(TPersistent* Source) override;

  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }

  Integer Count() const { return GetCount(); }
  String Strings(Integer Index) const { return Get(Index); }
  String operator[](Integer Index) const { return Get(Index); }
  void SetStrings(Integer Index, const String& S) { Put(Index, S); }
  TObject* Objects(Integer Index) const { return GetObject(Index); }
  void SetObjects(Integer Index, TObject* AObject) {
    PutObject(Index, AObject);
  }

  // "name=value" lines.
  String Names(Integer Index) const;
  String Values(const String& Name);
  // An empty value deletes the line.
  void SetValues(const String& Name, const String& Value);
  String ValueFromIndex(Integer Index) const;
  void SetValueFromIndex(Integer Index, const String& Value);
  char NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(char Value) { nameValueSeparator_ = Value; }

  // Each line followed by CR LF; reading accepts CR LF, LF or CR.
  virtual String Text() const;
  virtual void SetText(const String& Value);
  String CommaText() const;
  void SetCommaText(const String& Value);
  String DelimitedText() const;
  void SetDelimitedText(const String& Value);
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char Value) { delimiter_ = Value; }
  char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char Value) { quoteChar_ = Value; }

  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream);
  virtual void LoadFromFile(const String& FileName);
  virtual void SaveToFile(const String& FileName);

  virtual Integer Capacity() const { return GetCount(); }
  virtual void SetCapacity(Integer) {}

 protected:
  virtual String Get(Integer Index) const = 0;
  virtual Integer GetCount() const = 0;
  virtual TObject* GetObject(Integer Index) const;
  virtual void Put(Integer Index, const String& S);
  virtual void PutObject(Integer Index, TObject* AObject);
  // Called with true by the outermost BeginUpdate, false by the matching
  // EndUpdate.
  virtual void SetUpdateState(bool Updating);
  // Zero when equal; the base compares without case (locale rules).
  virtual Integer CompareStrings(const String& S1, const String& S2) const;
  [[noreturn]] static void Error(const char* Msg, Integer Data);

 private:
  Integer updateCount_ = 0;
  char delimiter_ = ',';
  char quoteChar_ = '"';
  char nameValueSeparator_ = '=';
};

class TStringList;
// Negative when the string at Index1 sorts before the one at Index2.
using TStringListSortCompare =
    std::function<Integer(TStringList* List, Integer Index1, Integer Index2)>;

class TStringList : public TStrings {
  VARNEL_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;
  ~TStringList() override;

  // On a sorted list: inserts in order; Duplicates decides about an equal
  // string (dupError raises EStringListError "String list does not allow
  // duplicates").
  Integer Add(const String& S) override;
  Integer AddObject(const String& S, TObject* AObject) override;
  // Raise EStringListError "Operation not allowed on sorted list" when
  // Sorted.
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  void Delete(Integer Index) override;
  void Clear() override;
  void Exchange(Integer Index1, Integer Index2) override;
  // Raises "Operation not allowed on sorted list" before changing anything
  // when Sorted.
  void Move(Integer CurIndex, Integer NewIndex) override;
  Integer IndexOf(const String& S) override;
  // Binary search of a sorted list: true when found; Index is the match (the
  // first of equal ones) or where S would go.
  virtual bool Find(const String& S, Integer& Index);
  virtual void Sort();
  // A stable sort by Compare, which must be a strict weak order.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  Integer Capacity() const override {
    return static_cast<Integer>(items_.capacity());
  }
  void SetCapacity(Integer NewCapacity) override;

 protected:
  String Get(Integer Index) const override;
  Integer GetCount() const override {
    return static_cast<Integer>(items_.size());
  }
  TObject* GetObject(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  void PutObject(Integer Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  Integer CompareStrings(const String& S1, const String& S2) const override;
  virtual void Changed();
  virtual void Changing();
  virtual void InsertItem(Integer Index, const String& S, TObject* AObject);

 private:
  struct TStringItem {
    String Str;
    TObject* Obj;
  };
  void CheckIndex(Integer Index) const;

  std::vector<TStringItem> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

// ---------------------------------------------------------------------------
// Streams
// ---------------------------------------------------------------------------

enum TSeekOrigin : Byte { soBeginning, soCurrent, soEnd };
// The older integer origins, for Seek(Integer, ...).
enum TSeekFrom : Word { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// File open modes for TFileStream. The share modes are accepted and not
// enforced.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
  VARNEL_CLASS(TStream, TObject)
 public:
  // Bytes actually read/written (0 for a negative Count).
  virtual Integer Read(void* Buffer, Integer Count) = 0;
  virtual Integer Write(const void* Buffer, Integer Count) = 0;
  // The new position.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;
  Integer Seek(Integer Offset, TSeekFrom Origin);

  // Raise EReadError "Stream read error" / EWriteError "Stream write error"
  // when not all bytes move.
  void ReadBuffer(void* Buffer, Integer Count);
  void WriteBuffer(const void* Buffer, Integer Count);
  // Copies Count bytes from Source's position; 0 copies all of Source from
  // its start. Returns the bytes copied.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  Int64 Position() { return Seek(Int64{0}, soCurrent); }
  void SetPosition(Int64 Pos) { Seek(Pos, soBeginning); }
  virtual Int64 Size();
  virtual void SetSize(Int64 NewSize);
};

// A stream over a block of memory that descendants provide.
class TCustomMemoryStream : public TStream {
  VARNEL_CLASS(TCustomMemoryStream, TStream)
 public:
  Integer Read(void* Buffer, Integer Count) override;
  // Read-only here; writes move nothing.
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() override { return size_; }
  void* Memory() const { return memory_; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const String& FileName);

 protected:
  void SetPointer(void* Ptr, Integer Size);
  Int64 position_ = 0;

 private:
  void* memory_ = nullptr;
  Integer size_ = 0;
};

// A growable stream in memory.
class TMemoryStream : public TCustomMemoryStream {
  VARNEL_CLASS(TMemoryStream, TCustomMemoryStream)
 public:
  TMemoryStream() = default;
  Integer Write(const void* Buffer, Integer Count) override;
  void SetSize(Int64 NewSize) override;
  void Clear();
  // Replaces the content with all of Stream (read from its start).
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);

 private:
  void SetCapacity(Int64 NewCapacity);
  std::vector<Byte> data_;
};

// A stream over a string.
class TStringStream : public TStream {
  VARNEL_CLASS(TStringStream, TStream)
 public:
  explicit TStringStream(const String& AString = String()) : data_(AString) {}
  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() override { return static_cast<Int64>(data_.size()); }
  void SetSize(Int64 NewSize) override;
  // Up to Count bytes from the position.
  String ReadString(Integer Count);
  void WriteString(const String& AString);
  const String& DataString() const { return data_; }

 private:
  // The stream's own length; Size may be overridden.
  Int64 DataSize() const { return static_cast<Int64>(data_.size()); }
  String data_;
  Int64 position_ = 0;
};

// A stream over a file (portable C I/O; file names are ANSI).
class TFileStream : public TStream {
  VARNEL_CLASS(TFileStream, TStream)
 public:
  // Raises EFCreateError "Cannot create file \"%s\"" or EFOpenError "Cannot
  // open file \"%s\"".
  TFileStream(const String& FileName, Word Mode);
  ~TFileStream() override;
  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  void SetSize(Int64 NewSize) override;
  const String& FileName() const { return fileName_; }

 private:
  enum TLastOp { opNone, opRead, opWrite };
  void Switch(TLastOp op);
  std::FILE* file_ = nullptr;
  String fileName_;
  bool canRead_ = false;
  bool canWrite_ = false;
  TLastOp lastOp_ = opNone;
};
