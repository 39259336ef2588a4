// The data controller's filter on a large unbound record set: one string
// field filtered with LIKE '%x%y%' and one integer field with BETWEEN. The
// filter's time covers the controller's whole refilter pass. Each is
// printed as a ratio to hand-written loops doing the same test on the same
// values in the same run:
//   stored  - over the values as the record storage keeps them, read
//             through the storage without Variants (a string by reference,
//             an integer from its record buffer): the loop the goal of at
//             most 2x is measured against;
//   bare    - over a plain std::vector of the same values (for integers the
//             compiler vectorises it, so it bounds what any per-record
//             filter can reach rather than being a like-for-like loop);
//   variant - over the values the controller hands out as Variants.
// Every time is the best of several runs. Figures mean something only in
// an optimised build without sanitizers (-DCMAKE_BUILD_TYPE=Release).
//
//   filter_bench [records...]   (default: 1000000)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "BenchClock.h"
#include "cxCustomData.h"
#include "cxLike.h"
#include "cxVariants.h"

namespace {

constexpr int kRuns = 5;

String Word(std::mt19937& ARandom) {
  String result(8 + ARandom() % 12, ' ');
  for (char& c : result) c = static_cast<char>('a' + ARandom() % 26);
  return result;
}

// The best of kRuns runs; ACount receives what the last run counted.
template <class F>
double Best(Integer& ACount, F&& ALoop) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    Integer count = 0;
    best = std::min(best, bench::Seconds([&] { count = ALoop(); }));
    ACount = count;
  }
  return best;
}

// The refilter pass that switching the filter on starts, best of kRuns.
double BestFilter(TcxDataController& ADc, Integer& ARows) {
  TcxDataFilterCriteria* filter = ADc.Filter();
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    best = std::min(best, bench::Seconds([&] { filter->SetActive(true); }));
    ARows = ADc.GetRowCount();
    filter->SetActive(false);
  }
  return best;
}

struct Figures {
  double Filter = 0, Stored = 0, Bare = 0, Variant = 0;
};

void Print(const char* AName, const Figures& AF, Integer ARows) {
  std::printf(
      "  %-13s %7.4f s | stored %5.2fx (%.4f s) | bare %7.2fx (%.4f s) | "
      "variant %5.2fx (%.4f s) | rows %d\n",
      AName, AF.Filter, AF.Filter / AF.Stored, AF.Stored, AF.Filter / AF.Bare,
      AF.Bare, AF.Filter / AF.Variant, AF.Variant, static_cast<int>(ARows));
}

void Run(Integer ACount) {
  std::mt19937 random(11);
  std::vector<Integer> numbers(ACount);
  std::vector<String> words(ACount);
  for (Integer i = 0; i < ACount; ++i) {
    numbers[i] = static_cast<Integer>(random() % 1000000);
    words[i] = Word(random);
  }

  TcxDataController dc;
  TObject wordItem, numberItem;
  dc.AddItem(&wordItem);
  dc.ChangeValueTypeClass(0, TcxStringValueType::Class());
  dc.AddItem(&numberItem);
  dc.ChangeValueTypeClass(1, TcxIntegerValueType::Class());
  dc.BeginUpdate();
  dc.SetRecordCount(ACount);
  for (Integer i = 0; i < ACount; ++i) {
    dc.SetValue(i, 0, words[i]);
    dc.SetValue(i, 1, numbers[i]);
  }
  dc.EndUpdate();
  TcxDataFilterCriteria* filter = dc.Filter();
  TcxDataStorage* storage = dc.DataStorage();
  TcxValueDef* wordDef = dc.GetItemField(0)->GetValueDef();
  TcxValueDef* numberDef = dc.GetItemField(1)->GetValueDef();
  const String pattern = "%x%y%";
  const Integer low = 250000, high = 750000;

  Figures like, between;
  Integer bareLike = 0, bareBetween = 0, storedLike = 0, storedBetween = 0,
          variantLike = 0, variantBetween = 0, likeRows = 0, betweenRows = 0;
  like.Bare = Best(bareLike, [&] {
    Integer n = 0;
    for (const String& w : words)
      if (LikeStr(w, pattern, '%', '_')) ++n;
    return n;
  });
  between.Bare = Best(bareBetween, [&] {
    Integer n = 0;
    for (Integer v : numbers)
      if (low <= v && v <= high) ++n;
    return n;
  });
  like.Stored = Best(storedLike, [&] {
    Integer n = 0;
    for (Integer i = 0; i < ACount; ++i) {
      const void* p;
      if (!storage->GetCompareInfo(i, wordDef, p) &&
          LikeStr(*static_cast<const String*>(p), pattern, '%', '_'))
        ++n;
    }
    return n;
  });
  between.Stored = Best(storedBetween, [&] {
    Integer n = 0;
    for (Integer i = 0; i < ACount; ++i) {
      const void* p;
      if (storage->GetCompareInfo(i, numberDef, p)) continue;
      Integer v;
      std::memcpy(&v, p, sizeof v);
      if (low <= v && v <= high) ++n;
    }
    return n;
  });
  like.Variant = Best(variantLike, [&] {
    Integer n = 0;
    for (Integer i = 0; i < ACount; ++i)
      if (LikeStr(VarToStr(dc.GetValue(i, 0)), pattern, '%', '_')) ++n;
    return n;
  });
  between.Variant = Best(variantBetween, [&] {
    Integer n = 0;
    for (Integer i = 0; i < ACount; ++i) {
      Integer v = dc.GetValue(i, 1).AsInteger();
      if (low <= v && v <= high) ++n;
    }
    return n;
  });

  filter->AddItem(nullptr, &wordItem, foLike, pattern, pattern);
  like.Filter = BestFilter(dc, likeRows);
  filter->Clear();
  filter->AddItem(nullptr, &numberItem, foBetween,
                  VarBetweenArrayCreate(low, high), "250000;750000");
  between.Filter = BestFilter(dc, betweenRows);

  std::printf("%9d records; filter time and its ratio to each hand loop\n",
              static_cast<int>(ACount));
  Print("LIKE '%x%y%'", like, likeRows);
  Print("BETWEEN", between, betweenRows);
  if (likeRows != bareLike || storedLike != bareLike ||
      variantLike != bareLike || betweenRows != bareBetween ||
      storedBetween != bareBetween || variantBetween != bareBetween) {
    std::printf("  MISMATCH between the filter and the hand loops\n");
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  InitializeUnits();
  std::vector<Integer> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1000000};
  for (Integer count : counts) Run(count);
  FinalizeUnits();
  return 0;
}
