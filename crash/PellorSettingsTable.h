// The tables of named settings that every module carrying the crash-report
// library reads from its settings resource. Every copy of the library in a
// process reads the others' tables, so the record layout is fixed and the
// memory comes from the process heap (any module may free it).
#pragma once

#include <cstddef>

#include "System.h"

enum TSettingKind : Byte { skText = 0, skInteger = 1, skBoolean = 2 };

#pragma pack(push, 1)
// One setting. Names and texts are zero-terminated copies owned by the
// table; a null text is the empty text.
struct SettingRecord {
  char* name;
  Byte kind;
  Byte boolValue;
  std::int32_t intValue;
  char* textValue;
};
// The part of a module's shared settings record that is its table.
struct TSettingTable {
  Cardinal capacity;
  Cardinal count;
  SettingRecord* records;
};
#pragma pack(pop)
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SettingRecord) == 14);
#endif

// The resource reader starts a table with room for this many settings and
// grows it by kSettingTableGrowth whenever a setting arrives at a full one.
constexpr Cardinal kSettingTableCapacity = 131;
constexpr Cardinal kSettingTableGrowth = 20;

// Appends a setting (an empty text is stored as null); null when memory
// runs out.
SettingRecord* AddSettingRecord(TSettingTable& table, const String& name,
                                TSettingKind kind, bool boolValue,
                                std::int32_t intValue, const String& textValue);
// Case-sensitive lookup; null when absent.
SettingRecord* FindSettingRecord(const TSettingTable& table, const char* name);
// Replaces a record's text (null for empty); false when memory runs out.
bool StoreSettingText(SettingRecord& record, const String& text);
String SettingText(const SettingRecord& record);
// Frees every name and text and the block; leaves an empty table.
void FreeSettingTable(TSettingTable& table);

// Reads a settings form stream ("TPF0", class "TPellorExcept", object
// "PellorExcept", then its property list) into an empty table. Value types
// 2, 3, 4 (integers), 8, 9 (booleans), 6, 12 and 18 (texts) are read;
// another type, or a value that runs past the end, shows "Internal error:
// Invalid settings resource ($N)." and ends the reading; what was read
// before stays. A stream with another header gives an empty table.
void ReadSettingsStream(const void* data, std::size_t size,
                        TSettingTable& table);

// The built-in defaults; constant.
const SettingRecord* BuiltInSettings(std::size_t& count);
const SettingRecord* FindBuiltInSetting(const char* name);
