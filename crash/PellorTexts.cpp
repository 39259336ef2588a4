#include "PellorTexts.h"

#include "PellorStrings.h"

String FileNamePart(const String& path) {
  const auto slash = path.rfind('\\');
  return slash == String::npos ? path : path.substr(slash + 1);
}

String FilePathPart(const String& path) {
  const auto slash = path.rfind('\\');
  return slash == String::npos ? String() : path.substr(0, slash + 1);
}

String StripExtension(const String& name) {
  const auto dot = name.rfind('.');
  return dot == String::npos ? name : name.substr(0, dot);
}

namespace {
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
}  // namespace

bool IsIdentifier(const String& text) {
  if (text.empty() || !IsLetter(text[0])) return false;
  for (char c : text)
    if (!IsLetter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

bool InRangeOrNil(Cardinal value, Cardinal min, Cardinal max) {
  return value == 0 || (value >= min && value <= max);
}

String SentenceWithPeriod(const String& text) {
  auto end = text.size();
  while (end > 0 && (text[end - 1] == '.' || text[end - 1] == '!' ||
                     text[end - 1] == '\0'))
    --end;
  return text.substr(0, end) + ".";
}

String PlaceholderDate(const TPlaceholderTime& t) {
  return IntToDecPadded(t.year, 4, '0') + "-" +
         IntToDecPadded(t.month, 2, '0') + "-" + IntToDecPadded(t.day, 2, '0');
}

String PlaceholderTime(const TPlaceholderTime& t) {
  return IntToDecPadded(t.hour, 2, '0') + ":" +
         IntToDecPadded(t.minute, 2, '0') + ":" +
         IntToDecPadded(t.second, 2, '0') + ", " + IntToDec(t.milliseconds) +
         "ms";
}

void ExpandPlaceholderTexts(String& text, const TPlaceholderSource& source) {
  ReplaceAllText(text, "%appname%", source.appName);
  ReplaceAllText(text, "%modname%", source.modName);
  if (FindText("%appversion%", text, 1) > 0)
    ReplaceAllText(text, "%appversion%",
                   source.appVersion ? source.appVersion() : String("?"));
  if (FindText("%modversion%", text, 1) > 0)
    ReplaceAllText(text, "%modversion%",
                   source.modVersion ? source.modVersion() : String("?"));
  ReplaceAllText(
      text, "%exceptMsg%",
      source.exceptMsg.empty() ? String("Unknown") : source.exceptMsg);
  ReplaceAllText(text, "%bugReport%", source.bugReport);
  ReplaceAllText(text, "%LF%", "\r\n");
  const String date = PlaceholderDate(source.now);
  const String time = PlaceholderTime(source.now);
  ReplaceAllText(text, "%datetime%", date + ", " + time);
  ReplaceAllText(text, "%date%", date);
  ReplaceAllText(text, "%time%", time);
}
