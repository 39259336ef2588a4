// TStrings and TStringList.
#include <algorithm>

#include "Classes.h"
#include "ScopeGuard.h"
#include "SysUtils.h"

namespace {

// Blanks end unquoted items of delimited text; NUL counts as one so that a
// stray NUL cannot stall the parser.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Items with blanks, quotes or delimiters are quoted on output.
bool NeedsQuotes(const String& s, char quote, char delimiter) {
  for (char c : s) {
    if (IsBlank(c) || c == quote || c == delimiter) return true;
  }
  return false;
}

String Quote(const String& s, char quote) { return AnsiQuotedStr(s, quote); }

}  // namespace

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Error(const char* Msg, Integer Data) {
  throw EStringListError(Msg, {Data});
}

Integer TStrings::Add(const String& S) {
  Integer index = GetCount();
  Insert(index, S);
  return index;
}

Integer TStrings::AddObject(const String& S, TObject* AObject) {
  Integer index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::AddStrings(TStrings* Strings) {
  if (!Strings) return;
  auto update = MakeBracket(this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  // Count taken once: adding a list to itself doubles it and stops.
  const Integer count = Strings->Count();
  for (Integer i = 0; i < count; ++i) {
    AddObject(Strings->Get(i), Strings->GetObject(i));
  }
}

void TStrings::InsertObject(Integer Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  auto update = MakeBracket(this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  String s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  auto update = MakeBracket(this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  String s = Get(Index1);
  TObject* obj = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s);
  PutObject(Index2, obj);
}

Integer TStrings::IndexOf(const String& S) {
  for (Integer i = 0; i < GetCount(); ++i) {
    if (CompareStrings(Get(i), S) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfName(const String& Name) {
  for (Integer i = 0; i < GetCount(); ++i) {
    String s = Get(i);
    std::size_t p = s.find(nameValueSeparator_);
    if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0) {
      return i;
    }
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* AObject) {
  for (Integer i = 0; i < GetCount(); ++i) {
    if (GetObject(i) == AObject) return i;
  }
  return -1;
}

bool TStrings::Equals(TStrings* Strings) {
  if (!Strings) return false;
  if (Strings->GetCount() != GetCount()) return false;
  for (Integer i = 0; i < GetCount(); ++i) {
    if (Get(i) != Strings->Get(i)) return false;
  }
  return true;
}

void TStrings::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TStrings*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  auto update = MakeBracket(this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  Clear();
  delimiter_ = source->delimiter_;
  quoteChar_ = source->quoteChar_;
  nameValueSeparator_ = source->nameValueSeparator_;
  AddStrings(source);
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ <= 0) return;
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

String TStrings::Names(Integer Index) const {
  String s = Get(Index);
  std::size_t p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::Values(const String& Name) {
  Integer i = IndexOfName(Name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValues(const String& Name, const String& Value) {
  Integer i = IndexOfName(Name);
  if (!Value.empty()) {
    String line = Name + nameValueSeparator_ + Value;
    if (i < 0) {
      Add(line);
    } else {
      Put(i, line);
    }
  } else if (i >= 0) {
    Delete(i);
  }
}

String TStrings::ValueFromIndex(Integer Index) const {
  if (Index < 0) return String();
  String s = Get(Index);
  std::size_t p = s.find(nameValueSeparator_);
  // A line without a separator has no value.
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(Integer Index, const String& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(String());
    Put(Index, Names(Index) + nameValueSeparator_ + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

String TStrings::Text() const {
  String r;
  for (Integer i = 0; i < GetCount(); ++i) {
    r += Get(i);
    r += "\r\n";
  }
  return r;
}

void TStrings::SetText(const String& Value) {
  auto update = MakeBracket(this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  Clear();
  std::size_t p = 0;
  const std::size_t n = Value.size();
  while (p < n) {
    std::size_t start = p;
    while (p < n && Value[p] != '\r' && Value[p] != '\n') ++p;
    Add(Value.substr(start, p - start));
    if (p < n && Value[p] == '\r') ++p;
    if (p < n && Value[p] == '\n') ++p;
  }
}

String TStrings::CommaText() const {
  // Same rules as DelimitedText, with ',' and '"'.
  String r;
  const Integer count = GetCount();
  if (count == 1 && Get(0).empty()) return "\"\"";
  for (Integer i = 0; i < count; ++i) {
    if (i > 0) r += ',';
    String s = Get(i);
    r += NeedsQuotes(s, '"', ',') ? Quote(s, '"') : s;
  }
  return r;
}

void TStrings::SetCommaText(const String& Value) {
  TRestoreOnExit keepDelimiter(delimiter_, ',');
  TRestoreOnExit keepQuote(quoteChar_, '"');
  SetDelimitedText(Value);
}

String TStrings::DelimitedText() const {
  const Integer count = GetCount();
  if (count == 1 && Get(0).empty()) return String(2, quoteChar_);
  String r;
  for (Integer i = 0; i < count; ++i) {
    if (i > 0) r += delimiter_;
    String s = Get(i);
    r += NeedsQuotes(s, quoteChar_, delimiter_) ? Quote(s, quoteChar_) : s;
  }
  return r;
}

void TStrings::SetDelimitedText(const String& Value) {
  auto update = MakeBracket(this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  Clear();
  const std::size_t n = Value.size();
  std::size_t p = 0;
  while (p < n && IsBlank(Value[p])) ++p;
  while (p < n) {
    String item;
    if (Value[p] == quoteChar_) {
      // Quoted: doubled quotes stand for one; a missing closing quote
      // takes the rest of the text.
      ++p;
      while (p < n) {
        if (Value[p] == quoteChar_) {
          if (p + 1 < n && Value[p + 1] == quoteChar_) {
            item += quoteChar_;
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += Value[p++];
      }
    } else {
      std::size_t start = p;
      while (p < n && !IsBlank(Value[p]) && Value[p] != delimiter_) ++p;
      item = Value.substr(start, p - start);
    }
    Add(item);
    while (p < n && IsBlank(Value[p])) ++p;
    if (p < n && Value[p] == delimiter_) {
      // A delimiter at the very end stands for a last, empty item.
      if (p + 1 == n) Add(String());
      ++p;
      while (p < n && IsBlank(Value[p])) ++p;
    }
  }
}

void TStrings::LoadFromStream(TStream* Stream) {
  if (!Stream) return;
  auto update = MakeBracket(this, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  Int64 remaining = Stream->Size() - Stream->Position();
  if (remaining < 0) remaining = 0;
  if (remaining > 0x7FFFFFFF) {
    throw EReadError("Stream read error");
  }
  String text(static_cast<std::size_t>(remaining), '\0');
  if (remaining > 0) {
    Stream->ReadBuffer(text.data(), static_cast<Integer>(remaining));
  }
  SetText(text);
}

void TStrings::SaveToStream(TStream* Stream) {
  if (!Stream) return;
  String text = Text();
  if (text.size() > 0x7FFFFFFF) throw EWriteError("Stream write error");
  Stream->WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

void TStrings::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::Put(Integer Index, const String& S) {
  TObject* obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, obj);
}

void TStrings::PutObject(Integer, TObject*) {}

void TStrings::SetUpdateState(bool) {}

Integer TStrings::CompareStrings(const String& S1, const String& S2) const {
  return AnsiCompareText(S1, S2);
}

// ---------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
  // No change events from a list that is going away.
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) {
    Error("List index out of bounds (%d)", Index);
  }
}

Integer TStringList::Add(const String& S) { return AddObject(S, nullptr); }

Integer TStringList::AddObject(const String& S, TObject* AObject) {
  Integer index;
  if (!sorted_) {
    index = GetCount();
  } else if (Find(S, index)) {
    switch (duplicates_) {
      case dupIgnore:
        return index;
      case dupError:
        throw EStringListError("String list does not allow duplicates");
      case dupAccept:
        break;
    }
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Insert(Integer Index, const String& S) {
  InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(Integer Index, const String& S,
                               TObject* AObject) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (Index < 0 || Index > GetCount()) {
    Error("List index out of bounds (%d)", Index);
  }
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(Integer Index, const String& S, TObject* AObject) {
  Changing();
  items_.insert(items_.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Delete(Integer Index) {
  CheckIndex(Index);
  Changing();
  items_.erase(items_.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(items_[static_cast<std::size_t>(Index1)],
            items_[static_cast<std::size_t>(Index2)]);
  Changed();
}

void TStringList::Move(Integer CurIndex, Integer NewIndex) {
  // Checked first: the base would delete the line before the insert fails.
  if (sorted_ && CurIndex != NewIndex) {
    throw EStringListError("Operation not allowed on sorted list");
  }
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  if (NewIndex < 0 || NewIndex >= GetCount()) {
    Error("List index out of bounds (%d)", NewIndex);
  }
  TStrings::Move(CurIndex, NewIndex);
}

Integer TStringList::IndexOf(const String& S) {
  if (!sorted_) return TStrings::IndexOf(S);
  Integer index;
  return Find(S, index) ? index : -1;
}

bool TStringList::Find(const String& S, Integer& Index) {
  // Lower bound: the first string not less than S.
  Integer lo = 0, hi = GetCount();
  while (lo < hi) {
    Integer mid = lo + (hi - lo) / 2;
    if (CompareStrings(items_[static_cast<std::size_t>(mid)].Str, S) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  Index = lo;
  return lo < GetCount() &&
         CompareStrings(items_[static_cast<std::size_t>(lo)].Str, S) == 0;
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, Integer a, Integer b) {
    return list->CompareStrings(list->items_[static_cast<std::size_t>(a)].Str,
                                list->items_[static_cast<std::size_t>(b)].Str);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (sorted_ || GetCount() < 2 || !Compare) return;
  Changing();
  std::vector<Integer> order(items_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = static_cast<Integer>(i);
  }
  // Compare sees the list unchanged while sorting; the result is applied
  // at the end.
  classlib_detail::StableSort(
      order, [&](Integer a, Integer b) { return Compare(this, a, b) < 0; });
  std::vector<TStringItem> sorted;
  sorted.reserve(items_.size());
  for (Integer i : order) sorted.push_back(items_[static_cast<std::size_t>(i)]);
  items_.swap(sorted);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  if (Value) Sort();
  sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (caseSensitive_ == Value) return;
  caseSensitive_ = Value;
  if (sorted_) {
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

void TStringList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < GetCount()) {
    Error("List capacity out of bounds (%d)", NewCapacity);
  }
  items_.reserve(static_cast<std::size_t>(NewCapacity));
}

String TStringList::Get(Integer Index) const {
  CheckIndex(Index);
  return items_[static_cast<std::size_t>(Index)].Str;
}

TObject* TStringList::GetObject(Integer Index) const {
  CheckIndex(Index);
  return items_[static_cast<std::size_t>(Index)].Obj;
}

void TStringList::Put(Integer Index, const String& S) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(Index);
  Changing();
  items_[static_cast<std::size_t>(Index)].Str = S;
  Changed();
}

void TStringList::PutObject(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  items_[static_cast<std::size_t>(Index)].Obj = AObject;
  Changed();
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating) {
    Changing();
  } else {
    Changed();
  }
}

Integer TStringList::CompareStrings(const String& S1, const String& S2) const {
  return caseSensitive_ ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) OnChanging(this);
}
