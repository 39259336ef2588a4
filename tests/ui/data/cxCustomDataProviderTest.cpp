#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <optional>
#include <vector>

#include "SysUtils.h"
#include "cxCustomData.h"

namespace {

std::vector<Integer> RowRecords(TcxCustomDataController& ADataController) {
  std::vector<Integer> result;
  for (Integer r = 0; r < ADataController.GetRowCount(); ++r)
    result.push_back(ADataController.GetRowInfo(r).RecordIndex);
  return result;
}

// ---------------------------------------------------------------------------
// Grid mode
// ---------------------------------------------------------------------------

// Ten numbers (0, 10, ... 90) of an outside record set, seen through a
// window of three records that navigation moves.
class WindowProvider : public TcxCustomDataProvider {
 public:
  using TcxCustomDataProvider::TcxCustomDataProvider;
  static constexpr Integer kSize = 10;
  static constexpr Integer kWindow = 3;

  bool IsGridMode() const override { return true; }
  bool IsDataSource() const override { return true; }
  bool IsActive() const override { return true; }
  bool IsBOF() const override { return top == 0; }
  bool IsEOF() const override { return top == kSize - kWindow; }
  void First() override { Step("First", 0); }
  void Last() override { Step("Last", kSize); }
  void Next() override { Step("Next", top + 1); }
  void Prev() override { Step("Prev", top - 1); }
  void MoveBy(Integer D) override { Step("MoveBy " + IntToStr(D), top + D); }
  void Scroll(Integer D) override { Step("Scroll " + IntToStr(D), top + D); }
  void LoadDataBuffer() override {
    DataController()->DataStorage()->SetRecordCount(kWindow);
  }
  Variant GetExternalDataValue(Integer ARecordIndex,
                               TcxCustomDataField*) override {
    return Variant((top + ARecordIndex) * 10);
  }

  void Step(const String& AName, Integer ATop) {
    log.push_back(AName);
    ATop = std::clamp<Integer>(ATop, 0, kSize - kWindow);
    if (ATop == top) return;
    top = ATop;
    DataChanged(dcTotal, -1, -1);
  }

  Integer top = 0;
  std::vector<String> log;
};

class GridController : public TcxDataController {
 public:
  GridController() {
    provider = new WindowProvider(this);
    SetDataProvider(provider);
    AddItem(nullptr);
    ChangeValueTypeClass(0, TcxIntegerValueType::Class());
  }
  bool DoSearchInGridMode(const String& AText, bool ADown,
                          bool AIsNext) override {
    searches.push_back(AText + (ADown ? " down" : " up") +
                       (AIsNext ? " next" : ""));
    return found;
  }

  WindowProvider* provider;
  std::vector<String> searches;
  bool found = true;
};

Integer FirstValue(GridController& ADataController) {
  return ADataController.GetValue(0, 0).AsInteger();
}

TEST(GridMode, NavigationMovesTheRecordSetNotTheFocus) {
  GridController dc;
  ASSERT_EQ(dc.GetRecordCount(), WindowProvider::kWindow);
  Integer focused = dc.GetFocusedRowIndex();
  struct Step {
    std::function<void()> act;
    const char* call;
    Integer first;
    bool bof, eof;
  };
  const Step steps[] = {
      {[&] { dc.GotoNext(); }, "Next", 10, false, false},
      {[&] { dc.GotoLast(); }, "Last", 70, false, true},
      {[&] { dc.GotoPrev(); }, "Prev", 60, false, false},
      {[&] { dc.MoveBy(-2); }, "MoveBy -2", 40, false, false},
      {[&] { dc.Scroll(1); }, "Scroll 1", 50, false, false},
      {[&] { dc.GotoFirst(); }, "First", 0, true, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.call);
    dc.provider->log.clear();
    s.act();
    EXPECT_EQ(dc.provider->log, std::vector<String>{s.call});
    EXPECT_EQ(FirstValue(dc), s.first);
    EXPECT_EQ(dc.IsBOF(), s.bof);
    EXPECT_EQ(dc.IsEOF(), s.eof);
    EXPECT_EQ(dc.GetRecordCount(), WindowProvider::kWindow);
    EXPECT_EQ(dc.GetFocusedRowIndex(), focused);
  }
}

TEST(GridMode, TheBufferIsNotWrittenResizedFilteredOrSorted) {
  GridController dc;
  dc.provider->MoveBy(4);
  Integer changes = 0;
  dc.OnUpdateControl = [&](TcxUpdateControlInfo* AInfo) {
    if (dynamic_cast<TcxDataChangedInfo*>(AInfo)) ++changes;
  };
  dc.SetValue(1, 0, 999);
  dc.SetRecordCount(10);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(dc.GetValue(1, 0).AsInteger(), 50);
  EXPECT_EQ(dc.GetRecordCount(), WindowProvider::kWindow);
  EXPECT_TRUE(dc.DataStorage()->StoredValuesOnly());

  dc.OnFilterRecord = [](TcxCustomDataController*, Integer, bool& AAccept) {
    AAccept = false;
  };
  dc.ChangeSorting(0, soDescending);
  EXPECT_EQ(RowRecords(dc), (std::vector<Integer>{0, 1, 2}));
}

TEST(GridMode, IncrementalSearchIsTheControllersToDo) {
  for (bool found : {true, false}) {
    SCOPED_TRACE(found);
    GridController dc;
    dc.found = found;
    EXPECT_EQ(dc.Search()->Locate(0, "4"), found);
    EXPECT_EQ(dc.Search()->Searching(), found);
    EXPECT_EQ(dc.Search()->LocateNext(false), found);
    std::vector<String> expected{"4 down"};
    if (found) expected.push_back("4 up next");
    EXPECT_EQ(dc.searches, expected);
  }
}

TEST(GridMode, ListenersAreSilentWhileALocateRuns) {
  GridController dc;
  Integer heard = 0, events = 0;
  TObject listener;
  dc.AddDataChangedListener(
      &listener, TNotifyEvent::FromFunction([&](TObject*) { ++heard; }));
  dc.OnDataChanged = [&](TcxCustomDataController*) { ++events; };
  dc.LockGridModeNotify();
  EXPECT_EQ(dc.Provider()->LocateCount(), 1);
  dc.GotoNext();
  EXPECT_EQ(heard, 0);
  EXPECT_EQ(events, 1);
  dc.UnlockGridModeNotify();
  dc.UnlockGridModeNotify();
  EXPECT_EQ(dc.Provider()->LocateCount(), 0);
  dc.GotoNext();
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(events, 2);
}

TEST(GridMode, InsertTakesTheActiveRecordAndNeedsOne) {
  struct Case {
    Integer focusedRow;
    bool editing;
    Integer editingRecord;
  };
  for (const Case& c : {Case{1, true, 1}, Case{-1, false, 0}}) {
    SCOPED_TRACE(c.focusedRow);
    GridController dc;
    dc.ChangeFocusedRowIndex(c.focusedRow);
    dc.Insert();
    EXPECT_EQ(dc.GetRecordCount(), WindowProvider::kWindow);
    EXPECT_EQ(dc.IsEditing(), c.editing);
    if (c.editing) {
      EXPECT_EQ(dc.GetEditingRecordIndex(), c.editingRecord);
      EXPECT_TRUE(dc.GetEditState().Contains(dceInsert));
    }
    dc.Cancel();
    EXPECT_FALSE(dc.IsEditing());
    EXPECT_EQ(dc.GetRecordCount(), WindowProvider::kWindow);
    EXPECT_EQ(dc.GetValue(2, 0).AsInteger(), 20);
  }
}

// ---------------------------------------------------------------------------
// Loading from a provider's record set
// ---------------------------------------------------------------------------

// An outside record set of texts that the provider walks while the storage
// loads.
class SetProvider : public TcxCustomDataProvider {
 public:
  using TcxCustomDataProvider::TcxCustomDataProvider;

  class Reader : public TcxValueDefReader {
   public:
    explicit Reader(SetProvider* AOwner) : owner_(AOwner) {}
    Variant GetValue(TcxValueDef*) override {
      if (owner_->failAt == owner_->pos) throw EReadError("broken record");
      return Variant(owner_->set.at(owner_->pos));
    }

   private:
    SetProvider* owner_;
  };

  bool IsDataSource() const override { return true; }
  bool IsActive() const override { return true; }
  bool IsEOF() const override {
    return pos >= static_cast<Integer>(set.size());
  }
  void First() override { pos = 0; }
  void Next() override { ++pos; }
  void SavePos() override { saved = pos; }
  void RestorePos() override { pos = saved; }
  TObjectPtr<TcxValueDefReader> CreateValueDefReader() override {
    frozenWhileReading = LockCount();
    return TObjectPtr<Reader>(new Reader(this));
  }

  std::vector<String> set;
  Integer pos = 0, saved = -1, failAt = -1, frozenWhileReading = -1;
};

class SetController : public TcxDataController {
 public:
  explicit SetController(std::vector<String> ASet) {
    provider = new SetProvider(this);
    provider->set = std::move(ASet);
    AddItem(nullptr);
    ChangeValueTypeClass(0, TcxStringValueType::Class());
    SetDataProvider(provider);
  }
  void DoReadRecord(Integer ARecordIndex) override {
    read.push_back(ARecordIndex);
  }
  SetProvider* provider;
  std::vector<Integer> read;
};

TEST(ProviderLoad, WalksTheRecordSetOnceAndPutsItBack) {
  SetController dc({"a", "b", "c"});
  ASSERT_EQ(dc.GetRecordCount(), 3);
  EXPECT_EQ(dc.GetValue(2, 0).AsString(), "c");
  EXPECT_EQ(dc.read, (std::vector<Integer>{0, 1, 2}));
  EXPECT_EQ(dc.provider->frozenWhileReading, 1);
  EXPECT_EQ(dc.provider->LockCount(), 0);

  dc.provider->pos = 1;
  dc.provider->set = {"x", "y"};
  dc.provider->DataChanged(dcTotal, -1, -1);
  ASSERT_EQ(dc.GetRecordCount(), 2);
  EXPECT_EQ(dc.GetValue(0, 0).AsString(), "x");
  EXPECT_EQ(dc.provider->pos, 1);
}

TEST(ProviderLoad, AFailingRecordStillThawsAndRepositionsTheProvider) {
  SetController dc({"a", "b", "c"});
  dc.provider->pos = 2;
  dc.provider->failAt = 1;
  EXPECT_THROW(dc.provider->DataChanged(dcTotal, -1, -1), EReadError);
  EXPECT_EQ(dc.provider->LockCount(), 0);
  EXPECT_EQ(dc.provider->pos, 2);
  EXPECT_EQ(dc.GetRowCount(), dc.GetRecordCount());
  dc.provider->failAt = -1;
  dc.provider->DataChanged(dcTotal, -1, -1);
  EXPECT_EQ(dc.GetRecordCount(), 3);
  EXPECT_EQ(dc.GetRowCount(), 3);
}

// ---------------------------------------------------------------------------
// Smart load
// ---------------------------------------------------------------------------

class SmartController : public TcxDataController {
 public:
  SmartController() {
    AddItem(nullptr);
    ChangeValueTypeClass(0, TcxStringValueType::Class());
    OnUpdateControl = [this](TcxUpdateControlInfo* AInfo) {
      if (auto* d = dynamic_cast<TcxDataChangedInfo*>(AInfo))
        changes.push_back(d->Kind);
    };
  }
  bool IsSmartLoad() const override { return true; }
  std::vector<TcxDataChange> changes;
};

TEST(SmartLoad, TheBracketAppendsReadRecordsAndShowsThemAtItsEnd) {
  SmartController dc;
  TcxValueDef* def = dc.GetItemField(0)->GetValueDef();
  dc.BeginSmartLoad();
  dc.BeginSmartLoad();
  EXPECT_EQ(dc.Provider()->LockCount(), 1);
  for (const char* text : {"a", "b"}) {
    TcxValueDefUnboundReader reader;
    reader.SetValue(def, Variant(text));
    dc.LoadRecord(&reader);
  }
  dc.EndSmartLoad();
  EXPECT_EQ(dc.Provider()->LockCount(), 1);
  EXPECT_EQ(dc.GetRowCount(), 0);
  EXPECT_TRUE(dc.changes.empty());
  dc.EndSmartLoad();
  dc.EndSmartLoad();
  EXPECT_EQ(dc.Provider()->LockCount(), 0);
  ASSERT_EQ(dc.GetRowCount(), 2);
  EXPECT_EQ(dc.GetValue(1, 0).AsString(), "b");
  dc.changes.clear();

  Integer r = dc.AppendRecord();
  EXPECT_EQ(r, 2);
  EXPECT_TRUE(dc.GetValue(r, 0).IsNull());
  EXPECT_EQ(dc.changes, std::vector<TcxDataChange>{dcNew});
  EXPECT_EQ(dc.GetRowCount(), 3);
}

// Records keyed by stable ids (the record handles), so that a handle stays
// valid when other records come and go.
class KeyedSource : public TcxCustomDataSource {
 public:
  struct Row {
    std::intptr_t Id;
    Variant Value;
  };
  std::vector<Row> rows;
  std::intptr_t nextId = 100;

  Integer GetRecordCount() override {
    return static_cast<Integer>(rows.size());
  }
  TcxDataRecordHandle GetRecordHandle(Integer ARecordIndex) override {
    return Handle(rows.at(ARecordIndex).Id);
  }
  Variant GetValue(TcxDataRecordHandle R, TcxDataItemHandle) override {
    return Find(R).Value;
  }
  void SetValue(TcxDataRecordHandle R, TcxDataItemHandle,
                const Variant& V) override {
    Find(R).Value = V;
  }
  TcxDataRecordHandle AppendRecord() override {
    rows.push_back({nextId, Null()});
    return Handle(nextId++);
  }
  void DeleteRecord(TcxDataRecordHandle R) override {
    rows.erase(rows.begin() + (&Find(R) - rows.data()));
  }

  static TcxDataRecordHandle Handle(std::intptr_t AId) {
    return reinterpret_cast<TcxDataRecordHandle>(AId);
  }
  Row& Find(TcxDataRecordHandle R) {
    for (Row& row : rows)
      if (Handle(row.Id) == R) return row;
    throw EListError("no such record");
  }
};

TEST(SmartLoad, ProviderModeKeepsItsRecordsAndTheirHandles) {
  KeyedSource source;
  source.rows = {{1, Variant("a")}, {2, Variant("b")}, {3, Variant("c")}};
  SmartController dc;
  dc.SetCustomDataSource(&source);
  EXPECT_EQ(dc.GetRecordCount(), 0);
  dc.BeginSmartLoad();
  for (int i = 0; i < 3; ++i) dc.LoadRecord(nullptr);
  dc.EndSmartLoad();
  ASSERT_EQ(dc.GetRecordCount(), 3);

  source.rows.push_back({4, Variant("d")});
  source.DataChanged();
  EXPECT_EQ(dc.GetRecordCount(), 3);

  Integer r = dc.AppendRecord();
  ASSERT_EQ(r, 3);
  dc.SetValue(r, 0, "e");
  EXPECT_EQ(source.rows.back().Value.AsString(), "e");

  dc.DeleteRecord(1);
  ASSERT_EQ(dc.GetRecordCount(), 3);
  std::vector<String> seen;
  for (Integer i = 0; i < dc.GetRecordCount(); ++i)
    seen.push_back(dc.GetValue(i, 0).AsString());
  EXPECT_EQ(seen, (std::vector<String>{"a", "c", "e"}));
  EXPECT_EQ(source.rows.size(), 4u);
}

// ---------------------------------------------------------------------------
// Native comparison
// ---------------------------------------------------------------------------

// Item 0 holds integers (absent = Null), item 1 any variant.
class NativeSource : public TcxCustomDataSource {
 public:
  std::vector<std::optional<Integer>> numbers;
  std::vector<Variant> anys;
  bool native = true, byFunction = false, implemented = true;
  std::function<Integer(Integer, Integer)> order;
  Integer valueReads = 0;

  Integer GetRecordCount() override {
    return static_cast<Integer>(numbers.size());
  }
  Variant GetValue(TcxDataRecordHandle R, TcxDataItemHandle I) override {
    ++valueReads;
    if (Index(I) == 1) return anys.at(Index(R));
    const auto& n = numbers.at(Index(R));
    return n ? Variant(*n) : Null();
  }
  bool IsNativeCompare() override { return native; }
  bool IsNativeCompareFunc() override { return byFunction; }
  bool GetInfoForCompare(TcxDataRecordHandle R, TcxDataItemHandle I,
                         const void*& P) override {
    if (!implemented) return TcxCustomDataSource::GetInfoForCompare(R, I, P);
    if (Index(I) == 1) {
      P = &anys.at(Index(R));
      return !anys.at(Index(R)).IsNull();
    }
    const auto& n = numbers.at(Index(R));
    P = n ? &*n : nullptr;
    return n.has_value();
  }
  Integer NativeCompareFunc(TcxDataRecordHandle R1, TcxDataRecordHandle R2,
                            TcxDataItemHandle) override {
    return order(static_cast<Integer>(Index(R1)),
                 static_cast<Integer>(Index(R2)));
  }
  static size_t Index(void* H) { return reinterpret_cast<size_t>(H); }
};

class NativeCompareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_.AddItem(nullptr);
    dc_.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    dc_.AddItem(nullptr);
    dc_.ChangeValueTypeClass(1, TcxVariantValueType::Class());
  }
  void Attach(std::vector<std::optional<Integer>> ANumbers) {
    source_.numbers = std::move(ANumbers);
    source_.anys.assign(source_.numbers.size(), Null());
    dc_.SetCustomDataSource(&source_);
  }

  NativeSource source_;
  TcxDataController dc_;
};

TEST_F(NativeCompareTest, SortsTheSourcesOwnValuesNullFirst) {
  Attach({3, std::nullopt, 1, 2});
  struct Case {
    TcxDataSortOrder order;
    std::vector<Integer> rows;
  };
  for (const Case& c :
       {Case{soAscending, {1, 2, 3, 0}}, Case{soDescending, {0, 3, 2, 1}}}) {
    SCOPED_TRACE(c.order);
    source_.valueReads = 0;
    dc_.ChangeSorting(0, c.order);
    EXPECT_EQ(RowRecords(dc_), c.rows);
    EXPECT_EQ(source_.valueReads, 0);
  }
}

TEST_F(NativeCompareTest, ASourceWithoutCompareInfoRaisesAClearError) {
  Attach({2, 1});
  source_.implemented = false;
  try {
    dc_.ChangeSorting(0, soAscending);
    FAIL() << "no error";
  } catch (const EcxInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.Message(), "GetInfoForCompare not implemented");
  }
  dc_.ClearSorting(false);
  EXPECT_EQ(RowRecords(dc_), (std::vector<Integer>{0, 1}));
}

TEST_F(NativeCompareTest, TheSourcesFunctionOrdersUnlessAHandlerIsSet) {
  source_.native = false;
  source_.byFunction = true;
  // Descending numbers, whatever the requested order says.
  source_.order = [this](Integer A, Integer B) {
    return *source_.numbers[B] - *source_.numbers[A];
  };
  Attach({2, 3, 1});
  dc_.ChangeSorting(0, soAscending);
  EXPECT_EQ(RowRecords(dc_), (std::vector<Integer>{1, 0, 2}));
  dc_.OnCompare = [](TcxCustomDataController*, Integer, Integer, Integer,
                     const Variant& V1, const Variant& V2,
                     Integer& C) { C = V1.AsInteger() - V2.AsInteger(); };
  dc_.Refresh();
  EXPECT_EQ(RowRecords(dc_), (std::vector<Integer>{2, 0, 1}));
}

TEST_F(NativeCompareTest, AnInconsistentFunctionLosesNoRecord) {
  source_.native = false;
  source_.byFunction = true;
  Integer calls = 0;
  source_.order = [&calls](Integer, Integer) { return (++calls % 3) - 1; };
  std::vector<std::optional<Integer>> numbers(200);
  Attach(numbers);
  dc_.ChangeSorting(0, soAscending);
  std::vector<Integer> rows = RowRecords(dc_);
  std::sort(rows.begin(), rows.end());
  std::vector<Integer> all(200);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(rows, all);

  dc_.ChangeGrouping(0, 0);
  dc_.FullExpand();
  Integer dataRows = 0;
  for (Integer r = 0; r < dc_.GetRowCount(); ++r)
    if (dc_.GetRowInfo(r).Level == 1) ++dataRows;
  EXPECT_EQ(dataRows, 200);
}

TEST_F(NativeCompareTest, VariantValuesSortInAStrictOrder) {
  Attach({0, 0, 0, 0, 0, 0, 0});
  source_.anys = {Variant("b"), Variant(2),    Null(),      Variant("a"),
                  Variant(1),   Variant(true), Variant(1.5)};
  dc_.ChangeSorting(1, soAscending);
  std::vector<Integer> rows = RowRecords(dc_);
  ASSERT_EQ(rows.size(), source_.anys.size());
  for (size_t i = 1; i < rows.size(); ++i)
    EXPECT_LE(
        cxSortCompareVariants(source_.anys[rows[i - 1]], source_.anys[rows[i]]),
        0)
        << i;
}

TEST_F(NativeCompareTest, InternalRecordsCompareWithSourceRecords) {
  Attach({5, std::nullopt, 7});
  Integer internal = dc_.DataStorage()->AddInternalRecord();
  dc_.CopyRecord(0, internal);
  TcxCustomDataField* field = dc_.GetItemField(0);
  TcxCustomDataProvider* p = dc_.Provider();
  EXPECT_EQ(p->NativeCompare(internal, 0, field), 0);
  EXPECT_LT(p->NativeCompare(internal, 2, field), 0);
  EXPECT_GT(p->NativeCompare(internal, 1, field), 0);
  EXPECT_LT(p->NativeCompare(1, internal, field), 0);
}

// ---------------------------------------------------------------------------
// Referenced fields
// ---------------------------------------------------------------------------

class ReferencedFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (TObject& item : items_) fields_.push_back(dc_.AddItem(&item));
    dc_.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    dc_.ChangeValueTypeClass(1, TcxStringValueType::Class());
    dc_.ChangeValueTypeClass(2, TcxStringValueType::Class());
    dc_.SetRecordCount(3);
    for (Integer r = 0; r < 3; ++r) dc_.SetValue(r, 0, r + 1);
  }
  std::vector<Variant> Values(TcxCustomDataField* AField) {
    std::vector<Variant> result;
    for (Integer r = 0; r < dc_.GetRecordCount(); ++r)
      result.push_back(dc_.GetValue(r, AField->GetIndex()));
    return result;
  }
  std::vector<Variant> Numbers(std::vector<Integer> AValues) {
    return std::vector<Variant>(AValues.begin(), AValues.end());
  }

  TObject items_[3];
  std::vector<TcxCustomDataField*> fields_;
  TcxDataController dc_;
};

TEST_F(ReferencedFieldTest, AFieldShowsTheDataAtTheEndOfItsChain) {
  TcxCustomDataField *a = fields_[0], *b = fields_[1], *c = fields_[2];
  dc_.SetValue(0, 1, "own");
  b->SetReferenceField(a);
  c->SetReferenceField(b);
  EXPECT_EQ(c->ReferenceField(), a);
  EXPECT_EQ(b->GetValueDef(), a->GetValueDef());
  EXPECT_EQ(b->GetValueTypeClass(), TcxIntegerValueType::Class());
  dc_.SetValue(1, 2, 20);
  EXPECT_EQ(Values(a), Numbers({1, 20, 3}));
  EXPECT_EQ(Values(b), Numbers({1, 20, 3}));

  b->SetValueTypeClass(TcxStringValueType::Class());
  EXPECT_EQ(b->GetValueTypeClass(), TcxIntegerValueType::Class());

  b->SetReferenceField(nullptr);
  EXPECT_EQ(b->GetValueTypeClass(), nullptr);
  EXPECT_TRUE(dc_.GetValue(0, 1).IsNull());
  EXPECT_EQ(Values(a), Numbers({1, 20, 3}));
}

TEST_F(ReferencedFieldTest, AReferenceLeadingBackIsRefused) {
  TcxCustomDataField *a = fields_[0], *b = fields_[1], *c = fields_[2];
  a->SetReferenceField(a);
  EXPECT_EQ(a->ReferenceField(), nullptr);
  b->SetReferenceField(a);
  a->SetReferenceField(b);
  EXPECT_EQ(a->ReferenceField(), nullptr);
  EXPECT_EQ(Values(a), Numbers({1, 2, 3}));
  // b -> a -> c: the chain from b ends at c itself.
  a->SetReferenceField(c);
  c->SetReferenceField(b);
  EXPECT_EQ(c->ReferenceField(), nullptr);
  EXPECT_EQ(b->GetValueDef(), c->GetValueDef());
}

TEST_F(ReferencedFieldTest, RemovingTheOwnerHandsItsDataToTheFirstReferrer) {
  TcxCustomDataField *b = fields_[1], *c = fields_[2];
  b->SetReferenceField(fields_[0]);
  c->SetReferenceField(fields_[0]);
  dc_.RemoveItem(&items_[0]);
  EXPECT_EQ(b->ReferenceField(), nullptr);
  EXPECT_EQ(c->ReferenceField(), b);
  EXPECT_EQ(b->GetValueDef()->GetLinkObject(), b);
  EXPECT_EQ(Values(b), Numbers({1, 2, 3}));
  EXPECT_EQ(Values(c), Numbers({1, 2, 3}));
}

TEST_F(ReferencedFieldTest, RemovingABorrowerKeepsItsReferrersOnTheData) {
  TcxCustomDataField *a = fields_[0], *b = fields_[1], *c = fields_[2];
  c->SetReferenceField(b);
  b->SetReferenceField(a);
  dc_.RemoveItem(&items_[1]);
  EXPECT_EQ(c->ReferenceField(), a);
  EXPECT_EQ(Values(c), Numbers({1, 2, 3}));
}

TEST(ReferencedField, AnInternalFieldOnADataFieldReadsTheDataSource) {
  KeyedSource source;
  source.rows = {{1, Variant("a")}, {2, Variant("b")}};
  TcxDataController dc;
  TcxCustomDataField* item = dc.AddItem(nullptr);
  dc.ChangeValueTypeClass(0, TcxStringValueType::Class());
  dc.SetCustomDataSource(&source);
  TcxCustomDataField* internal = dc.AddInternalField();
  internal->SetReferenceField(item);
  EXPECT_EQ(dc.GetInternalValue(1, internal).AsString(), "b");
}

// ---------------------------------------------------------------------------
// Structure updates: preparing the fields
// ---------------------------------------------------------------------------

// A provider over a record set that may be in the middle of an update.
class UpdatingProvider : public TcxCustomDataProvider {
 public:
  using TcxCustomDataProvider::TcxCustomDataProvider;
  bool IsGridModeUpdating() const override { return updating; }
  bool updating = false;
};

// Items a, b, c (d is spare). Logs the fields it prepares by item name,
// "#" for an internal field, and frees or adds items while preparing
// when told to.
class PreparingController : public TcxDataController {
 public:
  PreparingController() {
    provider = new UpdatingProvider(this);
    SetDataProvider(provider);
    for (int i = 0; i < 3; ++i) AddItem(&items[i]);
  }
  void PrepareField(TcxCustomDataField* AField) override {
    if (AField->IsInternal()) {
      log += "#";
      return;
    }
    char name = Name(AField->Item());
    log += name;
    if (name == freeWhile) RemoveItem(&items[freeWhat - 'a']);
    if (name == addWhile) AddItem(&items[3]);
  }
  char Name(TObject* AItem) const {
    return static_cast<char>('a' + (AItem - items));
  }

  TObject items[4];
  UpdatingProvider* provider;
  String log;
  char freeWhile = 0, freeWhat = 0, addWhile = 0;
};

class PreparingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_.rows = {{1, Variant("x")}, {2, Variant("y")}};
    dc_.SetCustomDataSource(&source_);
    dc_.log.clear();
  }
  KeyedSource source_;
  PreparingController dc_;
};

TEST(Preparing, EveryFieldIsPreparedOnceWhileFieldsComeAndGo) {
  struct Case {
    char FreeWhile, FreeWhat, AddWhile;
    const char* Log;
  } cases[] = {
      {0, 0, 0, "abc#"},     {'a', 'b', 0, "ac#"},  // a later field goes
      {'b', 'b', 0, "abc#"},                        // the field in hand goes
      {'c', 'a', 0, "abc#"},                        // a prepared field goes
      {0, 0, 'a', "abcd#"},
  };
  for (const Case& c : cases) {
    KeyedSource source;
    source.rows = {{1, Variant("x")}, {2, Variant("y")}};
    PreparingController dc;
    dc.SetCustomDataSource(&source);
    dc.freeWhile = c.FreeWhile;
    dc.freeWhat = c.FreeWhat;
    dc.addWhile = c.AddWhile;
    dc.log.clear();
    dc.LayoutChanged({lcStructure});
    EXPECT_EQ(dc.log, c.Log) << c.FreeWhile << c.FreeWhat << c.AddWhile;
    EXPECT_EQ(dc.GetRecordCount(), 2);
    dc.SetCustomDataSource(nullptr);
  }
}

TEST_F(PreparingTest, TheOutermostEndUpdateFieldsPreparesWhatWasAskedFor) {
  dc_.BeginUpdateFields();
  dc_.BeginUpdateFields();
  dc_.LayoutChanged({lcStructure});
  EXPECT_EQ(dc_.log, "");
  dc_.EndUpdateFields();
  EXPECT_EQ(dc_.log, "");
  dc_.EndUpdateFields();
  EXPECT_EQ(dc_.log, "abc#");

  // Nothing asked for, and an unmatched end: nothing to do.
  dc_.log.clear();
  dc_.BeginUpdateFields();
  dc_.EndUpdateFields();
  dc_.EndUpdateFields();
  EXPECT_EQ(dc_.log, "");
  dc_.LayoutChanged({lcStructure});
  EXPECT_EQ(dc_.log, "abc#");
}

TEST(Preparing, AnUpdatingSetIsPreparedOnlyWithoutAnEditOrAFreedField) {
  struct Case {
    bool Updating, Editing, Freed, Prepared;
  } cases[] = {
      {false, true, false, true},
      {true, false, false, true},
      {true, true, false, false},
      {true, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Updating << c.Editing << c.Freed);
    KeyedSource source;
    source.rows = {{1, Variant("x")}, {2, Variant("y")}};
    PreparingController dc;
    dc.SetCustomDataSource(&source);
    if (c.Editing) {
      dc.SetFocusedRecordIndex(0);
      dc.Edit();
      ASSERT_TRUE(dc.IsEditing());
    }
    if (c.Freed) dc.RemoveItem(&dc.items[2]);
    dc.provider->updating = c.Updating;
    dc.log.clear();
    dc.LayoutChanged({lcStructure});
    EXPECT_EQ(!dc.log.empty(), c.Prepared) << dc.log;
    dc.provider->updating = false;
    // The reload dropped the edit's saved copy: cancelling copies nothing.
    if (dc.IsEditing()) {
      EXPECT_NO_THROW(dc.Cancel());
    }
    EXPECT_EQ(source.rows[0].Value.AsString(), "x");
    dc.SetCustomDataSource(nullptr);
  }
}

}  // namespace
