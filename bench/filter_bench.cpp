// The data controller's filter on a large unbound record set: one string
// field filtered with LIKE '%x%y%' and one integer field with BETWEEN. Each
// time is printed as a ratio to hand-written loops doing the same test in
// the same run (LikeStr on each string, two integer comparisons): one over
// the bare values, one over the values read from the controller. The
// filter's time includes the controller's whole refilter pass. Goal: at
// most 2x the hand-written loop. Figures mean something only in an
// optimised build without sanitizers (-DCMAKE_BUILD_TYPE=Release).
//
//   filter_bench [records...]   (default: 1000000)
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "BenchClock.h"
#include "cxCustomData.h"
#include "cxLike.h"
#include "cxVariants.h"

namespace {

using bench::Seconds;

String Word(std::mt19937& ARandom) {
  String result(8 + ARandom() % 12, ' ');
  for (char& c : result) c = static_cast<char>('a' + ARandom() % 26);
  return result;
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

  // The same tests over the bare values, and over the values as the
  // controller hands them out (what any filter of its records must read).
  Integer handLike = 0, handBetween = 0, readLike = 0, readBetween = 0;
  double bareLike = Seconds([&] {
    for (const String& w : words)
      if (LikeStr(w, "%x%y%", '%', '_')) ++handLike;
  });
  double bareBetween = Seconds([&] {
    for (Integer n : numbers)
      if (250000 <= n && n <= 750000) ++handBetween;
  });
  double valueLike = Seconds([&] {
    for (Integer i = 0; i < ACount; ++i)
      if (LikeStr(VarToStr(dc.GetValue(i, 0)), "%x%y%", '%', '_')) ++readLike;
  });
  double valueBetween = Seconds([&] {
    for (Integer i = 0; i < ACount; ++i) {
      Integer n = dc.GetValue(i, 1).AsInteger();
      if (250000 <= n && n <= 750000) ++readBetween;
    }
  });

  filter->AddItem(nullptr, &wordItem, foLike, "%x%y%", "%x%y%");
  double like = Seconds([&] { filter->SetActive(true); });
  Integer likeRows = dc.GetRowCount();
  filter->SetActive(false);
  filter->Clear();
  filter->AddItem(nullptr, &numberItem, foBetween,
                  VarBetweenArrayCreate(250000, 750000), "250000;750000");
  double between = Seconds([&] { filter->SetActive(true); });
  Integer betweenRows = dc.GetRowCount();

  std::printf(
      "%9d records (ratios: to the loop over bare values / to the "
      "loop over the controller's values)\n",
      static_cast<int>(ACount));
  std::printf(
      "  LIKE '%%x%%y%%'  %7.3f s  %6.2fx (%.3f s)  %5.2fx (%.3f s)  "
      "rows %d\n",
      like, like / bareLike, bareLike, like / valueLike, valueLike,
      static_cast<int>(likeRows));
  std::printf(
      "  BETWEEN       %7.3f s  %6.2fx (%.3f s)  %5.2fx (%.3f s)  "
      "rows %d\n",
      between, between / bareBetween, bareBetween, between / valueBetween,
      valueBetween, static_cast<int>(betweenRows));
  if (likeRows != handLike || betweenRows != handBetween ||
      readLike != handLike || readBetween != handBetween) {
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
