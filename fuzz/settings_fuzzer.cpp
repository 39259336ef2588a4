// Settings resources with arbitrary bytes. Reading one must never fault,
// raise or leak: it ends with a table of what could be read, and at most
// one message box about the value where the reading stopped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Dialogs.h"
#include "PellorSettingsTable.h"

namespace {
int boxes = 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  SetMessageBoxHandler([](const String&, const String&, Cardinal) {
    ++boxes;
    return idOK;
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  boxes = 0;
  TSettingTable table{0, 0, nullptr};
  ReadSettingsStream(data, size, table);
  if (boxes > 1 || table.count > table.capacity) std::abort();
  if (table.capacity &&
      (table.capacity - kSettingTableCapacity) % kSettingTableGrowth != 0)
    std::abort();
  for (Cardinal i = 0; i < table.count; ++i) {
    const SettingRecord& r = table.records[i];
    if (!r.name || r.kind > skBoolean) std::abort();
    // Every name is reachable by lookup (the first of equal names).
    if (!FindSettingRecord(table, r.name)) std::abort();
  }
  FreeSettingTable(table);
  return 0;
}
