#include "cxFormats.h"

#include <algorithm>
#include <cctype>

#include "Dialogs.h"
#include "SysUtils.h"

TcxFormatControllerApplication cxFormatControllerApplication;

namespace {

TcxFormatControllerWindowHooks g_windowHooks;
TcxFormatController* g_controller = nullptr;
TObjectPtr<TcxFormatController> g_ownedController;

void FormatsShutdown() { g_ownedController.reset(); }

char UpperChar(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool StartsWithTextAt(const String& s, std::size_t i, const char* word) {
  for (std::size_t k = 0; word[k]; ++k) {
    if (i + k >= s.size() || UpperChar(s[i + k]) != UpperChar(word[k])) {
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// Parsing a class-library date-time format
// ---------------------------------------------------------------------------

// Nested formats ("c", "ddddd", "t") expand at most this deep.
constexpr int kMaxFormatDepth = 2;

struct TParseState {
  // Whether the format string the hour was read in had a time suffix.
  bool hourWithSuffix = false;
};

bool ParseFormat(const String& format, TcxDateTimeFormatInfo& info, int depth,
                 TParseState& state) {
  if (depth >= kMaxFormatDepth) return true;
  const String f = format.empty() ? String("C") : format;
  bool suffixHere = false;
  bool hourHere = false;
  char lastLetter = 0;

  auto addField = [&](TcxDateTimeFormatItemKind kind, const String& data) {
    if (info.DefinedItems[kind]) return false;  // each field once
    info.DefinedItems[kind] = true;
    info.Items.push_back({kind, data});
    return true;
  };
  auto addItem = [&](TcxDateTimeFormatItemKind kind, const String& data) {
    info.DefinedItems[kind] = true;
    info.Items.push_back({kind, data});
  };
  auto appendText = [&](const String& text) {
    if (!info.Items.empty() && info.Items.back().Kind == dtikString) {
      info.Items.back().Data += text;
    } else {
      addItem(dtikString, text);
    }
  };
  auto nested = [&](const String& inner) {
    return ParseFormat(inner, info, depth + 1, state);
  };

  std::size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    if (c == '\'' || c == '"') {
      std::size_t close = f.find(c, i + 1);
      if (close == String::npos) close = f.size();
      addItem(dtikString, f.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (c == '/') {
      addItem(dtikDateSeparator, String());
      ++i;
      continue;
    }
    if (c == ':') {
      addItem(dtikTimeSeparator, String());
      ++i;
      continue;
    }
    const char u = UpperChar(c);
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      appendText(String(1, c));
      ++i;
      continue;
    }
    std::size_t count = 1;
    while (i + count < f.size() && UpperChar(f[i + count]) == u) ++count;

    if (u == 'A') {
      std::size_t len = 0;
      if (StartsWithTextAt(f, i, "AM/PM")) {
        len = 5;
      } else if (StartsWithTextAt(f, i, "A/P")) {
        len = 3;
      } else if (StartsWithTextAt(f, i, "AMPM")) {
        len = 4;
      }
      if (len) {
        suffixHere = true;
        addField(dtikTimeSuffix, len == 4 ? String("AMPM") : f.substr(i, len));
        i += len;
        lastLetter = UpperChar(f[i - 1]);
        continue;
      }
      if (count >= 3) {
        addField(dtikDay, count == 3 ? "DDD" : "DDDD");
      } else {
        addItem(dtikString, f.substr(i, count));
      }
      i += count;
      lastLetter = u;
      continue;
    }

    switch (u) {
      case 'C':
        count = 1;
        if (!nested(ShortDateFormat)) return false;
        addItem(dtikString, " ");
        if (!nested(LongTimeFormat)) return false;
        break;
      case 'D':
        if (count <= 4) {
          addField(dtikDay, String(count, 'D'));
        } else if (count == 5) {
          if (!nested(ShortDateFormat)) return false;
        } else {
          if (!nested(LongDateFormat)) return false;
        }
        break;
      case 'E':
      case 'Y':
        addField(dtikYear, count > 2 ? "YYYY" : "YY");
        break;
      case 'G':
        return false;  // eras cannot be masked
      case 'H':
        if (addField(dtikHour, String(std::min<std::size_t>(count, 2), 'H'))) {
          hourHere = true;
        }
        break;
      case 'M':
        if (lastLetter == 'H') {
          addField(dtikMin, String(std::min<std::size_t>(count, 2), 'N'));
        } else {
          addField(dtikMonth, String(std::min<std::size_t>(count, 4), 'M'));
        }
        break;
      case 'N':
        addField(dtikMin, String(std::min<std::size_t>(count, 2), 'N'));
        break;
      case 'S':
        addField(dtikSec, String(std::min<std::size_t>(count, 2), 'S'));
        break;
      case 'T':
        if (!nested(count == 1 ? ShortTimeFormat : LongTimeFormat)) {
          return false;
        }
        break;
      case 'Z':
        addField(dtikMSec, String(std::min<std::size_t>(count, 3), 'Z'));
        break;
      default:
        appendText(f.substr(i, count));
        break;
    }
    i += count;
    lastLetter = u;
  }
  if (hourHere) state.hourWithSuffix = suffixHere;
  return true;
}

}  // namespace

bool TcxFormatController::GetDateTimeFormatInfo(const String& AFormat,
                                                TcxDateTimeFormatInfo& AInfo) {
  AInfo = TcxDateTimeFormatInfo();
  TParseState state;
  if (!ParseFormat(AFormat, AInfo, 0, state)) {
    AInfo = TcxDateTimeFormatInfo();
    return false;
  }
  auto& items = AInfo.Items;
  if (AInfo.DefinedItems[dtikHour]) {
    for (TcxDateTimeFormatItem& item : items) {
      if (item.Kind == dtikHour) {
        item.Data = (state.hourWithSuffix ? "12" : "24") + item.Data;
      }
    }
  } else if (AInfo.DefinedItems[dtikTimeSuffix]) {
    items.erase(std::remove_if(items.begin(), items.end(),
                               [](const TcxDateTimeFormatItem& item) {
                                 return item.Kind == dtikTimeSuffix;
                               }),
                items.end());
    AInfo.DefinedItems[dtikTimeSuffix] = false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Masks and formats derived from a parsed format
// ---------------------------------------------------------------------------

namespace {

bool IsAP(const String& suffix) { return SameText(suffix, "A/P"); }
bool IsAMPM(const String& suffix) { return SameText(suffix, "AM/PM"); }

Integer TimeDesignatorLength() {
  return static_cast<Integer>(
      std::max(TimeAMString.size(), TimePMString.size()));
}

String DateSeparatorRegExpr(char separator) {
  if (separator == ' ') return "' '";
  if (separator == '\0') return String();
  return String("\\") + separator;
}

}  // namespace

String GetCharString(char AChar, Integer ACount) {
  return ACount > 0 ? String(static_cast<std::size_t>(ACount), AChar)
                    : String();
}

String cxQuotedCurrencySymbol(const String& ASymbol) {
  String r;
  for (char c : ASymbol) {
    if (c == ',' || c == '.') {
      r += '\'';
      r += c;
      r += '\'';
    } else {
      r += c;
    }
  }
  return r;
}

String TcxFormatController::InternalGetDateTimeEditStandardMask(
    const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind) {
  if (AInfo.Items.empty()) return String();
  const bool time = AKind == dtmkTime;
  String r = time ? "" : "!";
  for (const TcxDateTimeFormatItem& item : AInfo.Items) {
    switch (item.Kind) {
      case dtikString:
        for (char c : item.Data) {
          r += '\\';
          r += c;
        }
        break;
      case dtikYear:
        r += item.Data == "YY" ? "99" : "9999";
        break;
      case dtikMonth:
      case dtikDay:
        r += item.Data.size() > 2 ? "lll" : "99";
        break;
      case dtikHour:
      case dtikMin:
      case dtikSec:
        r += time ? "00" : "99";
        break;
      case dtikTimeSuffix:
        if (IsAP(item.Data)) {
          r += "c";
        } else if (IsAMPM(item.Data)) {
          r += "cc";
        } else {
          r += GetCharString('c', TimeDesignatorLength());
        }
        break;
      case dtikDateSeparator:
        r += '/';
        break;
      case dtikTimeSeparator:
        r += ':';
        break;
      default:
        break;  // milliseconds are not edited
    }
  }
  r += time ? ";1;0" : ";1; ";
  return r;
}

String TcxFormatController::InternalGetDateTimeEditRegExprMask(
    const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind) {
  if (AKind == dtmkDateTime || AInfo.Items.empty()) return String();
  const bool date = AKind == dtmkDate;
  String r;
  for (const TcxDateTimeFormatItem& item : AInfo.Items) {
    switch (item.Kind) {
      case dtikString:
        r += cxQuotedRegExprLiteral(item.Data);
        break;
      case dtikYear:
        if (date) r += item.Data == "YY" ? "\\d\\d" : "\\d\\d\\d\\d";
        break;
      case dtikMonth:
        if (date) {
          const String* names =
              item.Data == "MMMM" ? LongMonthNames : ShortMonthNames;
          String alternatives;
          for (int m = 0; m < 12; ++m) {
            if (m) alternatives += '|';
            alternatives += cxQuotedRegExprLiteral(names[m]);
          }
          r += "((0?[1-9]|1[012])|(" + alternatives + "))";
        }
        break;
      case dtikDay:
        if (date) r += "([012]?[1-9]|[123]0|31)";
        break;
      case dtikDateSeparator:
        if (date) r += DateSeparatorRegExpr(DateSeparator);
        break;
      case dtikHour:
        if (!date) {
          r += item.Data.rfind("12", 0) == 0 ? "(0?[1-9]|1[012])"
                                             : "([01]?\\d|2[0-3])";
        }
        break;
      case dtikMin:
      case dtikSec:
        if (!date) r += "[0-5]?\\d";
        break;
      case dtikTimeSuffix:
        if (!date) {
          if (IsAP(item.Data)) {
            r += "(A|P)?";
          } else if (IsAMPM(item.Data)) {
            r += "(AM|PM)?";
          } else if (!TimeAMString.empty() && !TimePMString.empty()) {
            r += "(" + cxQuotedRegExprLiteral(TimeAMString) + "|" +
                 cxQuotedRegExprLiteral(TimePMString) + ")?";
          } else if (!TimeAMString.empty() || !TimePMString.empty()) {
            r += "(" +
                 cxQuotedRegExprLiteral(TimeAMString.empty() ? TimePMString
                                                             : TimeAMString) +
                 ")?";
          }
        }
        break;
      case dtikTimeSeparator:
        if (!date) r += DateSeparatorRegExpr(TimeSeparator);
        break;
      default:
        break;
    }
  }
  return r;
}

String TcxFormatController::InternalGetMaskedDateEditFormat(
    const TcxDateTimeFormatInfo& AInfo) {
  String r;
  for (const TcxDateTimeFormatItem& item : AInfo.Items) {
    switch (item.Kind) {
      case dtikString: {
        const char quote = item.Data.find('\'') == String::npos ? '\'' : '"';
        r += quote + item.Data + quote;
        break;
      }
      case dtikYear:
        r += LowerCase(item.Data);
        break;
      case dtikMonth:
        r += item.Data.size() > 2 ? "mmm" : "mm";
        break;
      case dtikDay:
        r += item.Data.size() > 2 ? "ddd" : "dd";
        break;
      case dtikHour:
        r += "hh";
        break;
      case dtikMin:
        r += "nn";
        break;
      case dtikSec:
        r += "ss";
        break;
      case dtikTimeSuffix:
        r += LowerCase(item.Data);
        break;
      case dtikDateSeparator:
        r += '/';
        break;
      case dtikTimeSeparator:
        r += ':';
        break;
      default:
        break;
    }
  }
  return r;
}

Integer TcxFormatController::GetDateTimeFormatItemStandardMaskZoneLength(
    const TcxDateTimeFormatItem& AItem) {
  switch (AItem.Kind) {
    case dtikString:
      return static_cast<Integer>(AItem.Data.size());
    case dtikYear:
      return AItem.Data == "YY" ? 2 : 4;
    case dtikMonth:
    case dtikDay:
      return AItem.Data.size() > 2 ? 3 : 2;
    case dtikHour:
    case dtikMin:
    case dtikSec:
      return 2;
    case dtikTimeSuffix:
      if (IsAP(AItem.Data)) return 1;
      if (IsAMPM(AItem.Data)) return 2;
      return TimeDesignatorLength();
    case dtikDateSeparator:
    case dtikTimeSeparator:
      return 1;
    default:
      return 0;
  }
}

Integer TcxFormatController::GetDateTimeStandardMaskStringLength(
    const TcxDateTimeFormatInfo& AInfo) {
  Integer n = 0;
  for (const TcxDateTimeFormatItem& item : AInfo.Items) {
    n += GetDateTimeFormatItemStandardMaskZoneLength(item);
  }
  return n;
}

bool TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(
    const TcxDateTimeFormatInfo& AInfo, Integer APos,
    TcxDateTimeFormatItemInfo& AItemInfo) {
  if (APos <= 0) return false;
  Integer start = 1;
  for (const TcxDateTimeFormatItem& item : AInfo.Items) {
    const Integer length = GetDateTimeFormatItemStandardMaskZoneLength(item);
    if (APos >= start && APos < start + length) {
      AItemInfo.Kind = item.Kind;
      AItemInfo.ItemZoneStart = start;
      AItemInfo.ItemZoneLength = length;
      if (item.Kind == dtikTimeSuffix) {
        AItemInfo.TimeSuffixKind = IsAP(item.Data)     ? tskAP
                                   : IsAMPM(item.Data) ? tskAMPM
                                                       : tskAMPMString;
      }
      return true;
    }
    start += length;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Locale-derived values
// ---------------------------------------------------------------------------

String TcxFormatController::GetDateTimeDisplayFormat(
    TcxDateTimeEditMaskKind AKind) {
  switch (AKind) {
    case dtmkDate:
      return ShortDateFormat;
    case dtmkTime:
      return LongTimeFormat;
    default:
      return ShortDateFormat + " " + LongTimeFormat;
  }
}

TDay TcxFormatController::GetStartOfWeek() { return ::GetStartOfWeek(); }

String TcxFormatController::GetCurrencyFormat() {
  String number = ",0.";
  number += GetCharString('0', FormatSettings.CurrencyDecimals);
  const String symbol = cxQuotedCurrencySymbol(FormatSettings.CurrencyString);
  const String& s = symbol;
  const String& n = number;
  String positive;
  if (!s.empty()) {
    switch (FormatSettings.CurrencyFormat) {
      case 0:
        positive = s + n;
        break;
      case 1:
        positive = n + s;
        break;
      case 2:
        positive = s + " " + n;
        break;
      default:
        positive = n + " " + s;
        break;
    }
  }
  String negative;
  switch (FormatSettings.NegCurrFormat) {
    case 0:
      negative = "(" + s + n + ")";
      break;
    case 1:
      negative = "-" + s + n;
      break;
    case 2:
      negative = s + "-" + n;
      break;
    case 3:
      negative = s + n + "-";
      break;
    case 4:
      negative = "(" + n + s + ")";
      break;
    case 5:
      negative = "-" + n + s;
      break;
    case 6:
      negative = n + "-" + s;
      break;
    case 7:
      negative = n + s + "-";
      break;
    case 8:
      negative = "-" + n + " " + s;
      break;
    case 9:
      negative = "-" + s + " " + n;
      break;
    case 10:
      negative = n + " " + s + "-";
      break;
    case 11:
      negative = s + " " + n + "-";
      break;
    case 12:
      negative = s + " -" + n;
      break;
    case 13:
      negative = n + "- " + s;
      break;
    case 14:
      negative = "(" + s + " " + n + ")";
      break;
    default:
      negative = "(" + n + " " + s + ")";
      break;
  }
  return positive + ";" + negative;
}

String TcxFormatController::GetDateEditFormat(bool ALimitMonthLetters) {
  const String& f = ShortDateFormat;
  String r;
  std::size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    if (c == '\'' || c == '"') {
      // Quoted literals stay as written.
      std::size_t close = f.find(c, i + 1);
      close = close == String::npos ? f.size() : close + 1;
      r.append(f, i, close - i);
      i = close;
      continue;
    }
    const char u = UpperChar(c);
    std::size_t count = 1;
    while (i + count < f.size() && UpperChar(f[i + count]) == u) ++count;
    String run = f.substr(i, count);
    if ((u == 'D' || u == 'M') && count == 1) {
      run += c;
    } else if (u == 'M' && ALimitMonthLetters && count > 3) {
      run.resize(3);
    }
    r += run;
    i += count;
  }
  return r;
}

void TcxFormatController::CalculateDateEditMasks(bool ASmartInput) {
  GetDateTimeFormatInfo(GetDateTimeDisplayFormat(dtmkDate), dateFormatInfo_);
  GetDateTimeFormatInfo(GetDateTimeDisplayFormat(dtmkTime), timeFormatInfo_);
  GetDateTimeFormatInfo(GetDateTimeDisplayFormat(dtmkDateTime),
                        dateTimeFormatInfo_);

  dateEditMask_ =
      InternalGetDateTimeEditStandardMask(dateFormatInfo_, dtmkDate);
  if (!assignedStandardDateEditMask_) standardDateEditMask_ = dateEditMask_;

  const String datePart =
      InternalGetDateTimeEditRegExprMask(dateFormatInfo_, dtmkDate);
  if (!assignedRegExprDateEditMask_) {
    String mask = datePart;
    // A format that cannot be masked leaves the mask empty.
    if (ASmartInput && !mask.empty()) AddDateRegExprMaskSmartInput(mask, false);
    regExprDateEditMask_ = mask;
  }
  if (!assignedRegExprDateTimeEditMask_) {
    String mask;
    if (!datePart.empty()) {
      mask = datePart + " ' '(" +
             InternalGetDateTimeEditRegExprMask(timeFormatInfo_, dtmkTime) +
             ")?";
      if (ASmartInput) AddDateRegExprMaskSmartInput(mask, true);
    }
    regExprDateTimeEditMask_ = mask;
  }
  if (!assignedStandardDateTimeEditMask_) {
    standardDateTimeEditMask_ =
        InternalGetDateTimeEditStandardMask(dateTimeFormatInfo_, dtmkDateTime);
  }
  maskedDateEditFormat_ = InternalGetMaskedDateEditFormat(dateFormatInfo_);
  maskedDateTimeEditFormat_ =
      InternalGetMaskedDateEditFormat(dateTimeFormatInfo_);
}

void TcxFormatController::GetFormats() {
  if (!assignedCurrencyFormat_) currencyFormat_ = GetCurrencyFormat();
  if (!assignedStartOfWeek_) startOfWeek_ = GetStartOfWeek();
  CalculateDateEditMasks(true);
  dateEditFormat_ = GetDateEditFormat(false);
}

// ---------------------------------------------------------------------------
// The controller
// ---------------------------------------------------------------------------

TcxFormatController::TcxFormatController() {
  GetFormats();
  if (!g_controller) g_controller = this;
}

TcxFormatController::~TcxFormatController() {
  DestroyWindow();
  if (g_controller == this) g_controller = nullptr;
}

TcxFormatController* cxFormatController() {
  if (!g_controller) g_ownedController.reset(new TcxFormatController());
  return g_controller;
}

TcxFormatControllerWindowHooks cxSetFormatControllerWindowHooks(
    const TcxFormatControllerWindowHooks& hooks) {
  if (g_controller) g_controller->DestroyWindow();
  TcxFormatControllerWindowHooks old = g_windowHooks;
  g_windowHooks = hooks;
  if (g_controller) g_controller->CreateWindowIfNeeded();
  return old;
}

void TcxFormatController::CreateWindowIfNeeded() {
  if (!window_ && !listeners_.empty() && g_windowHooks.Create) {
    window_ = g_windowHooks.Create(this);
  }
}

void TcxFormatController::DestroyWindow() {
  if (!window_) return;
  void* window = window_;
  window_ = nullptr;
  if (g_windowHooks.Destroy) g_windowHooks.Destroy(window);
}

void TcxFormatController::AddListener(IcxFormatControllerListener* AListener) {
  if (!AListener) return;
  if (std::find(listeners_.begin(), listeners_.end(), AListener) !=
      listeners_.end()) {
    return;
  }
  listeners_.push_back(AListener);
  CreateWindowIfNeeded();
}

void TcxFormatController::RemoveListener(
    IcxFormatControllerListener* AListener) {
  auto it = std::find(listeners_.begin(), listeners_.end(), AListener);
  if (it == listeners_.end()) return;
  listeners_.erase(it);
  if (listeners_.empty()) DestroyWindow();
}

void TcxFormatController::NotifyListeners() {
  // A listener may remove itself, or others, while it is told.
  const std::vector<IcxFormatControllerListener*> snapshot = listeners_;
  for (IcxFormatControllerListener* listener : snapshot) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) !=
        listeners_.end()) {
      listener->FormatChanged();
    }
  }
}

void TcxFormatController::TimeChanged() {
  const std::vector<IcxFormatControllerListener*> snapshot = listeners_;
  for (IcxFormatControllerListener* listener : snapshot) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) ==
        listeners_.end()) {
      continue;
    }
    auto listener2 = TIntfPtr<IcxFormatControllerListener2>::Query(listener);
    if (listener2) listener2->TimeChanged();
  }
}

void TcxFormatController::BeginUpdate() { ++lockCount_; }

void TcxFormatController::EndUpdate() {
  if (lockCount_ <= 0) return;
  if (--lockCount_ == 0) NotifyListeners();
}

void TcxFormatController::FormatChanged() {
  if (lockCount_ > 0) return;
  GetFormats();
  NotifyListeners();
}

bool TcxFormatController::WndProc(TcxFormatControllerMessage& AMessage) {
  if (AMessage.Msg == cxWM_SETTINGCHANGE && AMessage.WParam == 0 &&
      AMessage.Section && SameText(AMessage.Section, "intl")) {
    const auto& follow = cxFormatControllerApplication.UpdateFormatSettings;
    if (!follow || follow()) {
      GetFormatSettings();
      GetFormats();
      NotifyListeners();
      AMessage.Result = 0;
      return true;
    }
    return false;
  }
  if (AMessage.Msg == cxWM_TIMECHANGE) {
    TimeChanged();
    AMessage.Result = 0;
    return true;
  }
  return false;
}

bool TcxFormatController::MainWndProc(
    TcxFormatControllerMessage& AMessage) noexcept {
  try {
    return WndProc(AMessage);
  } catch (const Exception& e) {
    try {
      if (cxFormatControllerApplication.HandleException) {
        cxFormatControllerApplication.HandleException(e);
      } else if (!e.Is<EAbort>()) {
        ShowMessage(e.Message());
      }
    } catch (...) {
      // Nothing may leave a window procedure.
    }
  } catch (...) {
    // Not one of ours: dropped, as nothing may leave a window procedure.
  }
  return true;
}

// ---------------------------------------------------------------------------
// Setters
// ---------------------------------------------------------------------------

namespace {

template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void TcxFormatController::SetCurrencyFormat(const String& AValue) {
  assignedCurrencyFormat_ = true;
  if (Store(currencyFormat_, AValue)) FormatChanged();
}

void TcxFormatController::SetAssignedCurrencyFormat(bool AValue) {
  if (Store(assignedCurrencyFormat_, AValue)) FormatChanged();
}

void TcxFormatController::SetStartOfWeek(TDay AValue) {
  assignedStartOfWeek_ = true;
  if (Store(startOfWeek_, AValue)) FormatChanged();
}

void TcxFormatController::SetAssignedStartOfWeek(bool AValue) {
  if (Store(assignedStartOfWeek_, AValue)) FormatChanged();
}

void TcxFormatController::SetFirstWeekOfYear(TcxFirstWeekOfYear AValue) {
  if (Store(firstWeekOfYear_, AValue)) FormatChanged();
}

void TcxFormatController::SetUseClassLibraryDateTimeFormats(bool AValue) {
  if (!Store(useClassLibraryDateTimeFormats_, AValue)) return;
  FormatChanged();
  MinYear = AValue ? 1 : 100;
}

void TcxFormatController::SetStandardDateEditMask(const String& AValue) {
  assignedStandardDateEditMask_ = true;
  if (Store(standardDateEditMask_, AValue)) FormatChanged();
}

void TcxFormatController::SetAssignedStandardDateEditMask(bool AValue) {
  if (Store(assignedStandardDateEditMask_, AValue)) FormatChanged();
}

void TcxFormatController::SetStandardDateTimeEditMask(const String& AValue) {
  assignedStandardDateTimeEditMask_ = true;
  if (Store(standardDateTimeEditMask_, AValue)) FormatChanged();
}

void TcxFormatController::SetAssignedStandardDateTimeEditMask(bool AValue) {
  if (Store(assignedStandardDateTimeEditMask_, AValue)) FormatChanged();
}

void TcxFormatController::SetRegExprDateEditMask(const String& AValue) {
  assignedRegExprDateEditMask_ = true;
  if (Store(regExprDateEditMask_, AValue)) FormatChanged();
}

void TcxFormatController::SetAssignedRegExprDateEditMask(bool AValue) {
  if (Store(assignedRegExprDateEditMask_, AValue)) FormatChanged();
}

void TcxFormatController::SetRegExprDateTimeEditMask(const String& AValue) {
  assignedRegExprDateTimeEditMask_ = true;
  if (Store(regExprDateTimeEditMask_, AValue)) FormatChanged();
}

void TcxFormatController::SetAssignedRegExprDateTimeEditMask(bool AValue) {
  if (Store(assignedRegExprDateTimeEditMask_, AValue)) FormatChanged();
}

VARNEL_UNIT(cxFormats, ({"SysUtils", "Variants", "cxClasses"}), nullptr,
            &FormatsShutdown);
