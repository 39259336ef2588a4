// The data controller on a large unbound record set: load records with an
// integer and a string field, sort by each field, group by the string
// field, locate a text prefix. Each step's time is printed as a ratio to
// std::stable_sort of the bare values in the same run (integers for the
// integer steps, strings for the others). Goals: sorting at most 2x the
// bare sort, and linear growth of every step from 100k to 1M records
// (n log n for the sorts). Figures mean something only in an optimised
// build without sanitizers (-DCMAKE_BUILD_TYPE=Release).
//
//   datacontroller_bench [records...]   (default: 100000 1000000)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "BenchClock.h"
#include "cxCustomData.h"

namespace {

using bench::Seconds;

String Name(std::mt19937& ARandom) {
  static const char* const first[] = {"alder", "birch", "cedar",  "dogwood",
                                      "elm",   "fir",   "ginkgo", "hazel"};
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s%06u", first[ARandom() % 8],
                static_cast<unsigned>(ARandom() % 1000000));
  return buffer;
}

void Run(Integer ACount) {
  std::mt19937 random(7);
  std::vector<Integer> numbers(ACount);
  std::vector<String> names(ACount);
  for (Integer i = 0; i < ACount; ++i) {
    numbers[i] = static_cast<Integer>(random() % 1000000);
    names[i] = Name(random);
  }

  double bareNumbers = Seconds([&] {
    std::vector<Integer> copy = numbers;
    std::stable_sort(copy.begin(), copy.end());
  });
  double bareNames = Seconds([&] {
    std::vector<String> copy = names;
    std::stable_sort(copy.begin(), copy.end());
  });

  TcxDataController dc;
  dc.AddItem(nullptr);
  dc.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
  dc.AddItem(nullptr);
  dc.ChangeValueTypeClass(1, TcxStringValueType::Class());

  double load = Seconds([&] {
    dc.BeginUpdate();
    dc.SetRecordCount(ACount);
    for (Integer i = 0; i < ACount; ++i) {
      dc.SetValue(i, 0, numbers[i]);
      dc.SetValue(i, 1, names[i]);
    }
    dc.EndUpdate();
  });
  double sortNumbers = Seconds([&] { dc.ChangeSorting(0, soAscending); });
  dc.ChangeSorting(0, soNone);
  double sortNames = Seconds([&] { dc.ChangeSorting(1, soAscending); });
  dc.ChangeSorting(1, soNone);
  double group = Seconds([&] { dc.ChangeGrouping(1, 0); });
  Integer groups = dc.GetRowCount();
  // The last record's prefix: the search walks nearly every record.
  String prefix = names.back().substr(0, 9);
  dc.ChangeGrouping(1, -1);
  dc.SetFocusedRowIndex(0);
  bool found = false;
  double locate = Seconds([&] { found = dc.Search()->Locate(1, prefix); });
  // A prefix no record has: the search walks every record once.
  double miss = Seconds([&] { dc.Search()->Locate(1, "zz"); });

  std::printf(
      "%8d records (bare stable_sort: integers %.4f s, strings %.4f s)\n",
      ACount, bareNumbers, bareNames);
  std::printf("  load              %8.4f s  %6.2f x integer sort\n", load,
              load / bareNumbers);
  std::printf("  sort by integer   %8.4f s  %6.2f x integer sort\n",
              sortNumbers, sortNumbers / bareNumbers);
  std::printf("  sort by string    %8.4f s  %6.2f x string sort\n", sortNames,
              sortNames / bareNames);
  std::printf("  group by string   %8.4f s  %6.2f x string sort (%d groups)\n",
              group, group / bareNames, groups);
  std::printf("  locate prefix     %8.4f s  %6.2f x string sort (%s)\n", locate,
              locate / bareNames, found ? "found" : "not found");
  std::printf("  locate, no match  %8.4f s  %6.2f x string sort\n", miss,
              miss / bareNames);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Integer> counts;
  for (int i = 1; i < argc; ++i) {
    Integer n = std::atoi(argv[i]);
    if (n <= 0) {
      std::fprintf(stderr, "usage: %s [record count > 0]...\n", argv[0]);
      return 2;
    }
    counts.push_back(n);
  }
  if (counts.empty()) counts = {100000, 1000000};
  for (Integer n : counts) Run(n);
  return 0;
}
