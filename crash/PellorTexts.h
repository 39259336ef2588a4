// Text helpers of the crash-report library that need no system: path parts,
// identifier and range tests, sentence endings and the expansion of the
// placeholders that message texts of the settings may hold.
#pragma once

#include <functional>

#include "System.h"

// The part after the last "\" (the whole text without one).
String FileNamePart(const String& path);
// The part up to and including the last "\" (empty without one).
String FilePathPart(const String& path);
// The text before the last "." (unchanged without one).
String StripExtension(const String& name);

// A letter or "_" first, then letters, digits or "_"; false when empty.
bool IsIdentifier(const String& text);
// value is 0, or min <= value <= max (unsigned).
bool InRangeOrNil(Cardinal value, Cardinal min, Cardinal max);
// The text without its trailing run of ".", "!" and #0, then one ".".
String SentenceWithPeriod(const String& text);

// A local point in time, as the placeholders show it.
struct TPlaceholderTime {
  Word year = 0, month = 0, day = 0;
  Word hour = 0, minute = 0, second = 0, milliseconds = 0;
};
// "2024-03-07".
String PlaceholderDate(const TPlaceholderTime& t);
// "09:05:03, 42ms".
String PlaceholderTime(const TPlaceholderTime& t);

// Where the placeholders get their values. The versions are asked for only
// when the text holds their placeholder.
struct TPlaceholderSource {
  String appName;
  String modName;
  std::function<String()> appVersion;
  std::function<String()> modVersion;
  String exceptMsg;
  String bugReport;
  TPlaceholderTime now;
};

// Replaces %appname%, %modname%, %appversion%, %modversion%, %exceptMsg%
// ("Unknown" for an empty message), %bugReport%, %LF%, %date%, %time% and
// %datetime% in any letter case.
void ExpandPlaceholderTexts(String& text, const TPlaceholderSource& source);
