#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "cxCustomData.h"
#include "cxVariants.h"

namespace {

// A controller with a named Integer item "Num" and a named String item
// "Text".
class DataFilterTest : public ::testing::Test {
 protected:
  DataFilterTest() : num_(nullptr), text_(nullptr) {
    num_.SetName("Num");
    text_.SetName("Text");
    Setup(dc_);
  }
  void Setup(TcxDataController& ADc) {
    ADc.AddItem(&num_);
    ADc.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    ADc.AddItem(&text_);
    ADc.ChangeValueTypeClass(1, TcxStringValueType::Class());
  }
  void Load(const std::vector<Variant>& ANumbers) {
    dc_.BeginUpdate();
    dc_.SetRecordCount(static_cast<Integer>(ANumbers.size()));
    for (size_t i = 0; i < ANumbers.size(); ++i) {
      dc_.SetValue(static_cast<Integer>(i), 0, ANumbers[i]);
      dc_.SetValue(static_cast<Integer>(i), 1, "t" + VarToStr(ANumbers[i]));
    }
    dc_.EndUpdate();
  }
  std::vector<Integer> RowRecords() {
    std::vector<Integer> result;
    for (Integer r = 0; r < dc_.GetRowCount(); ++r)
      result.push_back(dc_.GetRowInfo(r).RecordIndex);
    return result;
  }
  std::vector<String> Texts(TcxFilterValueList* AList) {
    std::vector<String> result;
    for (Integer i = 0; i < AList->Count(); ++i)
      result.push_back(AList->Items(i).DisplayText);
    return result;
  }

  TComponent num_, text_;
  TcxDataController dc_;
};

TEST_F(DataFilterTest, ActiveCriteriaFilterTheRows) {
  Load({5, 1, 7, Null(), 3});
  TcxDataFilterCriteria* filter = dc_.Filter();
  int changes = 0;
  filter->OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  filter->AddItem(nullptr, &num_, foGreater, 2, "2");
  EXPECT_FALSE(filter->IsFiltering());
  EXPECT_EQ((std::vector<Integer>{0, 1, 2, 3, 4}), RowRecords());

  filter->SetActive(true);
  EXPECT_TRUE(filter->IsFiltering());
  EXPECT_EQ((std::vector<Integer>{0, 2, 4}), RowRecords());
  changes = 0;
  filter->SetActive(true);
  EXPECT_EQ(0, changes);

  // The leaf names the item; inside it holds the item's field.
  auto* leaf =
      static_cast<TcxDataFilterCriteriaItem*>(filter->Root()->Items(0));
  EXPECT_EQ(&num_, leaf->ItemLink());
  EXPECT_EQ(dc_.GetItemField(0), leaf->Field());
  EXPECT_EQ(leaf, filter->FindItemByItemLink(&num_));

  TcxFilterCriteriaItemList* any = filter->Root()->AddItemList(fboOr);
  filter->AddItem(any, &text_, foLike, "%3", "%3");
  filter->AddItem(any, &num_, foEqual, Null(), "");
  EXPECT_EQ((std::vector<Integer>{4}), RowRecords());
  EXPECT_EQ(dc_.GetFilteredRecordCount(), 1);

  filter->Clear();
  EXPECT_FALSE(filter->IsFiltering());
  EXPECT_EQ(5, dc_.GetRowCount());
}

TEST_F(DataFilterTest, ChangingTheFilterPostsAPendingEdit) {
  Load({1, 2, 3});
  dc_.SetFocusedRecordIndex(0);
  dc_.Edit();
  dc_.SetEditValue(0, 9, evsValue);
  dc_.Filter()->AddItem(nullptr, &num_, foGreater, 1, "1");
  dc_.Filter()->SetActive(true);
  EXPECT_FALSE(dc_.IsEditing());
  EXPECT_EQ(9, dc_.GetValue(0, 0).AsInteger());
  EXPECT_EQ((std::vector<Integer>{0, 1, 2}), RowRecords());
}

TEST_F(DataFilterTest, RemovingAnItemRemovesItsConditions) {
  Load({1, 2, 3});
  TcxDataFilterCriteria* extra = dc_.CreateFilter();
  for (TcxDataFilterCriteria* f : {dc_.Filter(), extra}) {
    f->AddItem(nullptr, &num_, foGreater, 1, "1");
    f->AddItem(nullptr, &text_, foEqual, "t3", "t3");
  }
  dc_.Filter()->SetActive(true);
  EXPECT_EQ((std::vector<Integer>{2}), RowRecords());
  dc_.RemoveItem(&text_);
  EXPECT_EQ(1, dc_.Filter()->Root()->Count());
  EXPECT_EQ(1, extra->Root()->Count());
  EXPECT_EQ((std::vector<Integer>{1, 2}), RowRecords());
}

TEST_F(DataFilterTest, ExtraCriteriaNeverRefilter) {
  Load({1, 2, 3});
  TcxDataFilterCriteria* extra = dc_.CreateFilter();
  EXPECT_TRUE(extra->IsInternal());
  EXPECT_FALSE(dc_.Filter()->IsInternal());
  int changes = 0;
  extra->OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  extra->AddItem(nullptr, &num_, foEqual, 2, "2");
  extra->SetActive(true);
  EXPECT_EQ(0, changes);
  EXPECT_EQ(3, dc_.GetRowCount());
  EXPECT_TRUE(extra->DoFilterRecord(1));
  EXPECT_FALSE(extra->DoFilterRecord(0));
  EXPECT_EQ(1, dc_.Filters()->Count());
}

TEST_F(DataFilterTest, CriteriaStreamNamesTheItems) {
  Load({1, 2, 3});
  TcxDataFilterCriteria* filter = dc_.Filter();
  filter->AddItem(nullptr, &text_, foNotEqual, "t2", "t2");
  filter->SetActive(true);
  TMemoryStream stream;
  filter->WriteData(&stream);
  ASSERT_GE(stream.Size(), 4);
  EXPECT_EQ(-2, *static_cast<const Integer*>(stream.Memory()));

  // Another controller with the same items in another order finds them by
  // name.
  TComponent other(nullptr), text(nullptr);
  other.SetName("Other");
  text.SetName("TEXT");
  TcxDataController dc2;
  dc2.AddItem(&text);
  dc2.AddItem(&other);
  dc2.ChangeValueTypeClass(0, TcxStringValueType::Class());
  dc2.SetRecordCount(2);
  dc2.SetValue(0, 0, "t2");
  dc2.SetValue(1, 0, "t5");
  stream.SetPosition(0);
  dc2.Filter()->ReadData(&stream);
  dc2.Filter()->SetActive(true);
  ASSERT_EQ(1, dc2.Filter()->Root()->Count());
  EXPECT_EQ(&text,
            static_cast<TcxFilterCriteriaItem*>(dc2.Filter()->Root()->Items(0))
                ->ItemLink());
  EXPECT_EQ(1, dc2.GetRowCount());

  // Assigning copies the tree and the activity.
  TcxDataController dc3;
  Setup(dc3);
  dc3.SetFilter(filter);
  EXPECT_TRUE(dc3.Filter()->Active());
  EXPECT_TRUE(dc3.Filter()->EqualItems(filter));
}

// A control numbers its items itself; the stream keeps that number.
class NumberedItemsController : public TcxDataController {
 public:
  Integer GetItemID(TObject* AItem) const override {
    Integer id = TcxDataController::GetItemID(AItem);
    return id < 0 ? -1 : 100 + id;
  }
};

TEST(DataFilterIdentityTest, UnnamedItemsComeBackByTheirNumber) {
  // Unnamed items, items without any client object and items a control
  // numbers itself: each leaf is read back onto the item it was written
  // for, not onto the first item.
  for (int kind = 0; kind < 3; ++kind) {
    SCOPED_TRACE(kind);
    TObject a, b;
    auto make = [&](TcxDataController& ADc) {
      ADc.AddItem(kind == 1 ? nullptr : &a);
      ADc.AddItem(kind == 1 ? nullptr : &b);
      ADc.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
      ADc.ChangeValueTypeClass(1, TcxIntegerValueType::Class());
    };
    std::unique_ptr<TcxDataController> dc1(
        kind == 2 ? new NumberedItemsController : new TcxDataController);
    std::unique_ptr<TcxDataController> dc2(
        kind == 2 ? new NumberedItemsController : new TcxDataController);
    make(*dc1);
    make(*dc2);
    dc1->Filter()->AddItem(nullptr, dc1->GetItemField(1), foEqual, 7, "7");
    TMemoryStream stream;
    dc1->Filter()->WriteData(&stream);
    stream.SetPosition(0);
    dc2->Filter()->ReadData(&stream);
    ASSERT_EQ(1, dc2->Filter()->Root()->Count());
    auto* leaf =
        static_cast<TcxFilterCriteriaItem*>(dc2->Filter()->Root()->Items(0));
    EXPECT_EQ(dc2->Filter()->FieldOf(leaf->ItemLink()), dc2->GetItemField(1));
    if (kind == 2) {
      EXPECT_EQ(101, dc2->Filter()->GetIDByItemLink(leaf->ItemLink()));
    }
  }
}

TEST_F(DataFilterTest, ComponentStreamCarriesTheTreeAndActivity) {
  Load({1, 2, 3});
  dc_.Filter()->AddItem(nullptr, &num_, foLess, 3, "3");
  dc_.Filter()->SetActive(true);
  TMemoryStream stream;
  dc_.Filter()->SaveToStream(&stream);

  TcxDataController dc2;
  Setup(dc2);
  dc2.SetRecordCount(3);
  for (Integer i = 0; i < 3; ++i) dc2.SetValue(i, 0, i + 1);
  stream.SetPosition(0);
  dc2.Filter()->LoadFromStream(&stream);
  EXPECT_TRUE(dc2.Filter()->Active());
  EXPECT_TRUE(dc2.Filter()->EqualItems(dc_.Filter()));
  EXPECT_EQ(2, dc2.GetRowCount());
}

TEST_F(DataFilterTest, ValueListOffersTheFieldsValues) {
  std::unique_ptr<TcxFilterValueList, TObjectDeleter> list(
      dc_.Filter()->CreateValueList());
  auto* values = dynamic_cast<TcxDataFilterValueList*>(list.get());
  ASSERT_NE(nullptr, values);
  values->Load(0);
  EXPECT_EQ((std::vector<String>{"(All)", "(Custom...)"}), Texts(values));

  Load({3, Null(), 1, 3});
  values->Load(0);
  EXPECT_EQ((std::vector<String>{"(All)", "(Custom...)", "(Blanks)",
                                 "(NonBlanks)", "1", "3"}),
            Texts(values));
  EXPECT_EQ(4, values->StartValueIndex());

  // Only the records the filter lets through.
  dc_.Filter()->AddItem(nullptr, &num_, foNotEqual, Null(), "");
  dc_.Filter()->SetActive(true);
  values->Load(0, true, true);
  EXPECT_EQ(
      (std::vector<String>{"(All)", "(Custom...)", "(NonBlanks)", "1", "3"}),
      Texts(values));

  int calls = 0;
  dc_.Filter()->OnGetValueList = [&](TcxFilterCriteria* ASender,
                                     Integer AItemIndex,
                                     TcxDataFilterValueList* AList) {
    ++calls;
    EXPECT_EQ(dc_.Filter(), ASender);
    EXPECT_EQ(1, AItemIndex);
    AList->Add(fviUser, Null(), "(Mine)");
  };
  values->Load(1);
  EXPECT_EQ(1, calls);
  EXPECT_EQ(
      (std::vector<String>{"(All)", "(Custom...)", "(Mine)", "t", "t1", "t3"}),
      Texts(values));
}

// The plain controller's leaves test stored values without Variants; a
// descendant's leaves go the general way. Both must select the same rows
// for every operator, value kind, null and option.
class GeneralController : public TcxDataController {
  VARNEL_CLASS(GeneralController, TcxDataController)
 public:
  using TcxDataController::TcxDataController;
};

struct QuickLeaf {
  Integer Item;  // 0 Integer, 1 Float, 2 String, 3 Word, 4 LargeInt
  TcxFilterOperatorKind Kind;
  Variant Value;
};

class QuickFilterTest : public ::testing::Test {
 protected:
  explicit QuickFilterTest(Integer ACount = 126)
      : count_(ACount),
        num_(nullptr),
        real_(nullptr),
        text_(nullptr),
        word_(nullptr),
        large_(nullptr) {
    Fill(quick_);
    Fill(general_);
  }
  void Fill(TcxDataController& ADc) {
    TcxValueTypeClass types[] = {
        TcxIntegerValueType::Class(), TcxFloatValueType::Class(),
        TcxStringValueType::Class(), TcxWordValueType::Class(),
        TcxLargeIntValueType::Class()};
    for (Integer i = 0; i < 5; ++i) {
      ADc.AddItem(items_[i]);
      ADc.ChangeValueTypeClass(i, types[i]);
    }
    const std::vector<Variant> columns[] = {
        {Null(), -5, 0, 5, 7, 2147483647,
         static_cast<Integer>(-2147483647 - 1)},
        {Null(), 2.5, -0.0, 5.0, 1e300, std::nan("")},
        {Null(), "", "abc", "ABC", "aXbY", "O'Brien", "\xE9t\xE9", "x%y", "5"},
        {Null(), 0, 5, 65535},
        {Null(), 5, Variant(1LL << 40), Variant(-(1LL << 40))},
    };
    // Each column runs through its values at its own pace, so the values of
    // different columns meet in many combinations.
    ADc.BeginUpdate();
    ADc.SetRecordCount(count_);
    for (Integer r = 0; r < count_; ++r)
      for (Integer i = 0; i < 5; ++i) {
        const std::vector<Variant>& values = columns[i];
        ADc.SetValue(r, i, values[r % values.size()]);
      }
    ADc.EndUpdate();
  }
  // The records that pass, or {-1} when the filter raised.
  std::vector<Integer> Rows(TcxDataController& ADc,
                            const std::vector<QuickLeaf>& ALeaves,
                            TcxFilterCriteriaOptions AOptions) {
    TcxDataFilterCriteria* filter = ADc.Filter();
    std::vector<Integer> result;
    try {
      filter->BeginUpdate();
      filter->SetActive(false);
      filter->Clear();
      filter->SetOptions(AOptions);
      for (const QuickLeaf& leaf : ALeaves)
        filter->AddItem(nullptr, items_[leaf.Item], leaf.Kind, leaf.Value, "");
      filter->SetActive(true);
      filter->EndUpdate();
      for (Integer r = 0; r < ADc.GetRowCount(); ++r)
        result.push_back(ADc.GetRowInfo(r).RecordIndex);
    } catch (const Exception&) {
      result = {-1};
    }
    return result;
  }

  // Leaves of every operator the stored-value tests take, over every value
  // kind, with values and bounds of other kinds and nulls.
  static std::vector<QuickLeaf> Leaves() {
    auto between = [](const Variant& A, const Variant& B) {
      return VarBetweenArrayCreate(A, B);
    };
    auto list = [](std::vector<Variant> AValues) {
      return VarArrayOf(AValues);
    };
    return {
        {0, foEqual, 5},
        {0, foNotEqual, 5.0},
        {0, foLess, 0},
        {0, foLessEqual, 2.5},
        {0, foGreater, Variant(static_cast<long long>(2147483647))},
        {0, foGreaterEqual, "5"},
        {0, foEqual, Variant(Currency::FromScaled(50000))},
        {0, foEqual, true},
        {0, foEqual, Null()},
        {0, foNotEqual, Null()},
        {0, foBetween, between(0, 7)},
        {0, foBetween, between(7, 0)},
        {0, foNotBetween, between(-5, 2.5)},
        {0, foBetween, between(0, "7")},
        {0, foInList, list({5, Null(), 7})},
        {0, foNotInList, list({0, 2147483647})},
        {0, foInList, list({"5", 0})},
        {0, foLike, "%5%"},
        {1, foEqual, 5},
        {1, foLess, 2.5},
        {1, foGreaterEqual, -0.0},
        {1, foBetween, between(0, 1e300)},
        {1, foNotBetween, between(2.5, 5)},
        {1, foInList, list({2.5, 5})},
        {1, foNotEqual, Null()},
        {2, foLike, "%b%"},
        {2, foLike, "a_c"},
        {2, foLike, "%x%y%"},
        {2, foLike, ""},
        {2, foNotLike, "%\xE9%"},
        {2, foLike, 5},
        {2, foLike, Null()},
        {2, foNotLike, Null()},
        {2, foEqual, "abc"},
        {2, foNotEqual, "ABC"},
        {2, foLess, "b"},
        {2, foGreaterEqual, ""},
        {2, foEqual, 5},
        {2, foBetween, between("a", "b")},
        {2, foNotBetween, between("ABC", "abc")},
        {2, foInList, list({"abc", "x%y", Null()})},
        {2, foNotInList, list({"O'Brien"})},
        {2, foInList, list({"abc", 5})},
        {3, foGreater, 5},
        {3, foBetween, between(1, 65535)},
        {3, foLess, -1.5},
        {4, foGreater, 2147483647},
        {4, foInList, list({Variant(1LL << 40), 5})},
        {4, foBetween, between(Variant(-(1LL << 40)), 2.5)},
    };
  }
  static std::vector<TcxFilterCriteriaOptions> AllOptions() {
    return {
        {},
        {fcoCaseInsensitive},
        {fcoSoftNull},
        {fcoIgnoreNull},
        {fcoSoftNull, fcoIgnoreNull},
        {fcoSoftCompare},
        {fcoCaseInsensitive, fcoSoftNull, fcoIgnoreNull, fcoSoftCompare},
    };
  }

  Integer count_;
  TComponent num_, real_, text_, word_, large_;
  TObject* items_[5] = {&num_, &real_, &text_, &word_, &large_};
  TcxDataController quick_;
  GeneralController general_;
};

TEST_F(QuickFilterTest, OnlyThePlainControllersLeavesReadStoredValues) {
  quick_.Filter()->AddItem(nullptr, &num_, foEqual, 5, "5");
  general_.Filter()->AddItem(nullptr, &num_, foEqual, 5, "5");
  auto leafOf = [](TcxDataController& ADc) {
    return static_cast<TcxFilterCriteriaItem*>(ADc.Filter()->Root()->Items(0));
  };
  EXPECT_TRUE(leafOf(quick_)->CanGetDirectDataValue());
  EXPECT_FALSE(leafOf(general_)->CanGetDirectDataValue());
}

TEST_F(QuickFilterTest, StoredValueTestsAgreeWithTheGeneralPath) {
  auto between = [](const Variant& A, const Variant& B) {
    return VarBetweenArrayCreate(A, B);
  };
  const std::vector<QuickLeaf> leaves = Leaves();
  const std::vector<TcxFilterCriteriaOptions> options = AllOptions();
  for (const QuickLeaf& leaf : leaves) {
    for (TcxFilterCriteriaOptions o : options) {
      SCOPED_TRACE(
          testing::Message()
          << "item " << leaf.Item << " operator " << int(leaf.Kind) << " value "
          << VarToStr(VarIsArray(leaf.Value) ? Variant("[array]") : leaf.Value)
          << " options " << o.ToInt());
      EXPECT_EQ(Rows(general_, {leaf}, o), Rows(quick_, {leaf}, o));
    }
  }
  // Lists of leaves of both kinds.
  std::vector<QuickLeaf> both = {{2, foLike, "%b%"},
                                 {0, foBetween, between(0, 7)}};
  EXPECT_EQ(Rows(general_, both, {fcoCaseInsensitive}),
            Rows(quick_, both, {fcoCaseInsensitive}));
}

// Trees of lists of every kind over the stored-value leaves. The plain
// controller filters them in batches; a handler that accepts every record
// sends another plain controller record by record; a descendant's leaves
// take the general way. All three must keep the same rows, or fail with
// the same error. The records fill more than one batch.
struct QuickNode {
  bool IsList = false;
  QuickLeaf Leaf;
  TcxFilterBoolOperatorKind Kind = fboAnd;
  std::vector<QuickNode> Children;
};

QuickNode LeafNode(const QuickLeaf& ALeaf) {
  QuickNode node;
  node.Leaf = ALeaf;
  return node;
}

struct FilterOutcome {
  std::vector<Integer> Rows;
  String Error;
  bool operator==(const FilterOutcome&) const = default;
};

class BatchedFilterTest : public QuickFilterTest {
 protected:
  BatchedFilterTest() : QuickFilterTest(1300) {
    Fill(perRecord_);
    perRecord_.OnFilterRecord = [](TcxCustomDataController*, Integer,
                                   bool& AAccept) { AAccept = true; };
  }
  QuickNode RandomTree(std::mt19937& ARandom, const std::vector<QuickLeaf>& AL,
                       Integer ADepth) {
    static const TcxFilterBoolOperatorKind kinds[] = {fboAnd, fboOr, fboNotAnd,
                                                      fboNotOr};
    QuickNode list;
    list.IsList = true;
    list.Kind = kinds[ARandom() % 4];
    Integer count = ARandom() % 4;  // an empty list too now and then
    for (Integer i = 0; i < count; ++i) {
      if (ADepth < 3 && ARandom() % 3 == 0) {
        list.Children.push_back(RandomTree(ARandom, AL, ADepth + 1));
      } else {
        list.Children.push_back(LeafNode(AL[ARandom() % AL.size()]));
      }
    }
    return list;
  }
  void Build(TcxFilterCriteria* AFilter, TcxFilterCriteriaItemList* AList,
             const QuickNode& ANode) {
    AList->SetBoolOperatorKind(ANode.Kind);
    for (const QuickNode& child : ANode.Children) {
      if (child.IsList)
        Build(AFilter, AList->AddItemList(fboAnd), child);
      else
        AFilter->AddItem(AList, items_[child.Leaf.Item], child.Leaf.Kind,
                         child.Leaf.Value, "");
    }
  }
  FilterOutcome Outcome(TcxDataController& ADc, const QuickNode& ATree,
                        TcxFilterCriteriaOptions AOptions) {
    TcxDataFilterCriteria* filter = ADc.Filter();
    FilterOutcome result;
    try {
      filter->BeginUpdate();
      filter->SetActive(false);
      filter->Clear();
      filter->SetOptions(AOptions);
      Build(filter, filter->Root(), ATree);
      filter->SetActive(true);
      filter->EndUpdate();
      for (Integer r = 0; r < ADc.GetRowCount(); ++r)
        result.Rows.push_back(ADc.GetRowInfo(r).RecordIndex);
    } catch (const Exception& E) {
      result.Error = E.ClassName() + String(": ") + E.Message();
    }
    return result;
  }

  TcxDataController perRecord_;
};

TEST_F(BatchedFilterTest, BatchesAgreeWithRecordByRecordAndTheGeneralPath) {
  std::vector<QuickLeaf> leaves = Leaves();
  // A date operator has no stored-value test: its tree goes record by
  // record in the plain controller too.
  leaves.push_back({1, foToday, Null()});
  const std::vector<TcxFilterCriteriaOptions> options = AllOptions();
  std::mt19937 random(7);
  Integer kept = 0, failed = 0;
  for (Integer t = 0; t < 120; ++t) {
    QuickNode tree = RandomTree(random, leaves, 0);
    if (tree.Children.empty()) tree.Children.push_back(LeafNode(leaves[10]));
    TcxFilterCriteriaOptions o = options[t % options.size()];
    SCOPED_TRACE(testing::Message()
                 << "tree " << t << " options " << o.ToInt());
    FilterOutcome batched = Outcome(quick_, tree, o);
    EXPECT_EQ(Outcome(perRecord_, tree, o), batched);
    EXPECT_EQ(Outcome(general_, tree, o), batched);
    kept += !batched.Rows.empty() && batched.Rows.size() < 1300u;
    failed += !batched.Error.empty();
  }
  // The trees must not all keep everything, nothing or fail.
  EXPECT_GT(kept, 40);
  EXPECT_GT(failed, 5);
}

TEST_F(BatchedFilterTest, TheEditedRecordStaysWithoutBeingTested) {
  // A new record is all nulls and fails the filter, yet is kept while it
  // is being edited.
  for (TcxDataController* dc : {&quick_, &perRecord_}) {
    QuickNode tree;
    tree.Children.push_back(LeafNode({0, foGreater, 2147483646}));
    Outcome(*dc, tree, {});
    dc->Append();
    ASSERT_TRUE(dc->IsEditing());
    Integer appended = dc->GetRecordCount() - 1;
    std::vector<Integer> rows;
    for (Integer r = 0; r < dc->GetRowCount(); ++r)
      rows.push_back(dc->GetRowInfo(r).RecordIndex);
    EXPECT_NE(std::find(rows.begin(), rows.end(), appended), rows.end());
    EXPECT_EQ(rows.front() % 7, 5);  // the records holding 2147483647
  }
}

}  // namespace
