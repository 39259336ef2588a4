// Pins the locale and the clock that the date routines and the format
// controller read, so that date tests give the same answers on every
// machine and under every user locale.
#pragma once

#include <functional>
#include <map>

#include "Platform.h"
#include "SysUtils.h"
#include "cxDateUtils.h"
#include "cxFormats.h"

namespace date_test {

struct TLocaleFacts {
  std::map<Cardinal, String> items;  // what the system's locale answers
  TFormatSettings settings;          // what the class library reads from it
};

inline void SetMonthNames(TLocaleFacts& l, const char* const (&names)[12],
                          const char* const (&shortNames)[12]) {
  for (int m = 0; m < 12; ++m) {
    l.items[Platform::liSMonthName1 + m] = names[m];
    l.items[Platform::liSAbbrevMonthName1 + m] = shortNames[m];
    l.settings.LongMonthNames[m] = names[m];
    l.settings.ShortMonthNames[m] = shortNames[m];
  }
}

// United States: month first, 12-hour clock, weeks from Sunday.
inline TLocaleFacts UsLocale() {
  TLocaleFacts l;
  l.settings = DefaultFormatSettings();
  l.settings.ShortDateFormat = "M/d/yyyy";
  l.settings.LongDateFormat = "dddd, MMMM dd, yyyy";
  l.settings.DateSeparator = '/';
  l.settings.TimeSeparator = ':';
  l.settings.ShortTimeFormat = "h:mm AMPM";
  l.settings.LongTimeFormat = "h:mm:ss AMPM";
  l.settings.TimeAMString = "AM";
  l.settings.TimePMString = "PM";
  l.settings.CurrencyString = "$";
  l.settings.CurrencyFormat = 0;
  l.settings.NegCurrFormat = 0;
  l.settings.CurrencyDecimals = 2;
  SetMonthNames(l,
                {"January", "February", "March", "April", "May", "June", "July",
                 "August", "September", "October", "November", "December"},
                {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep",
                 "Oct", "Nov", "Dec"});
  l.items[Platform::liSShortDate] = "M/d/yyyy";
  l.items[Platform::liSDate] = "/";
  l.items[Platform::liSTime] = ":";
  l.items[Platform::liS1159] = "AM";
  l.items[Platform::liS2359] = "PM";
  l.items[cxLocaleIFirstDayOfWeek] = "6";  // Sunday
  l.items[cxLocaleIFirstWeekOfYear] = "0";
  return l;
}

// Germany: day first with dots, 24-hour clock, weeks from Monday, the
// first week of a year is the first with four days.
inline TLocaleFacts GermanLocale() {
  TLocaleFacts l;
  l.settings = DefaultFormatSettings();
  l.settings.ShortDateFormat = "dd.MM.yyyy";
  l.settings.LongDateFormat = "dddd, d. MMMM yyyy";
  l.settings.DateSeparator = '.';
  l.settings.TimeSeparator = ':';
  l.settings.ShortTimeFormat = "hh:mm";
  l.settings.LongTimeFormat = "hh:mm:ss";
  l.settings.TimeAMString = "";
  l.settings.TimePMString = "";
  l.settings.CurrencyString = "\x80";  // the euro sign in code page 1252
  l.settings.CurrencyFormat = 3;
  l.settings.NegCurrFormat = 8;
  l.settings.CurrencyDecimals = 2;
  SetMonthNames(l,
                {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli",
                 "August", "September", "Oktober", "November", "Dezember"},
                {"Jan", "Feb", "M\xE4r", "Apr", "Mai", "Jun", "Jul", "Aug",
                 "Sep", "Okt", "Nov", "Dez"});
  l.items[Platform::liSShortDate] = "dd.MM.yyyy";
  l.items[Platform::liSDate] = ".";
  l.items[Platform::liSTime] = ":";
  l.items[Platform::liS1159] = "";
  l.items[Platform::liS2359] = "";
  l.items[cxLocaleIFirstDayOfWeek] = "0";  // Monday
  l.items[cxLocaleIFirstWeekOfYear] = "2";
  return l;
}

// Answers from a fixed table; dates and times are still formatted by the
// system, with the table's picture, and times always as HH:mm:ss so that
// the result does not depend on the machine's locale.
class TFixedDateLocale : public TcxDateLocale {
 public:
  std::map<Cardinal, String> items;
  bool GetInfo(Cardinal item, String& value) override {
    auto it = items.find(item);
    if (it == items.end()) return false;
    value = it->second;
    return true;
  }
  bool FormatTime(TDateTime time, String& result) override {
    TSystemTime st;
    DateTimeToSystemTime(time, st);
    return Platform::FormatTimeLocale(Platform::UserDefaultLCID(), st, 0,
                                      "HH:mm:ss", result);
  }
};

// Installs a locale (for the date routines and the class library's
// settings) and a fixed clock for the life of the object, and puts
// everything back afterwards, the process-wide format controller included.
class TPinnedLocale {
 public:
  explicit TPinnedLocale(const TLocaleFacts& facts,
                         TDateTime now = EncodeDateTime(2024, 2, 14, 10, 30, 0,
                                                        0))
      : savedSettings_(FormatSettings) {
    Use(facts);
    savedLocale_ = cxSetDateLocale(&locale_);
    savedNow_ = cxSetNowFunc([this] { return now_; });
    now_ = now;
    cxFormatController()->FormatChanged();
  }
  ~TPinnedLocale() {
    cxSetNowFunc(savedNow_);
    cxSetDateLocale(savedLocale_);
    FormatSettings = savedSettings_;
    TcxFormatController* fc = cxFormatController();
    fc->SetUseClassLibraryDateTimeFormats(false);
    fc->SetAssignedStartOfWeek(false);
    fc->FormatChanged();
  }
  TPinnedLocale(const TPinnedLocale&) = delete;
  TPinnedLocale& operator=(const TPinnedLocale&) = delete;

  // Switches to another locale, as a change of the regional settings does.
  void Use(const TLocaleFacts& facts) {
    locale_.items = facts.items;
    FormatSettings = facts.settings;
  }
  void SetNow(TDateTime now) { now_ = now; }

 private:
  TFormatSettings savedSettings_;
  TFixedDateLocale locale_;
  TcxDateLocale* savedLocale_ = nullptr;
  TcxNowFunc savedNow_;
  TDateTime now_ = 0;
};

// A format controller listener the test owns (not reference counted).
class TListener : public IcxFormatControllerListener {
 public:
  int changes = 0;
  std::function<void()> onChange;
  Integer QueryInterface(const TGUID& iid, void** obj) override {
    if (iid == IcxFormatControllerListener::IID || iid == IInterface::IID) {
      *obj = static_cast<IcxFormatControllerListener*>(this);
      return S_OK_;
    }
    *obj = nullptr;
    return E_NOINTERFACE_;
  }
  // Not reference counted: the test owns it.
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  void FormatChanged() override {
    ++changes;
    if (onChange) onChange();
  }
};

class TTimeListener : public TListener, public IcxFormatControllerListener2 {
 public:
  int timeChanges = 0;
  Integer QueryInterface(const TGUID& iid, void** obj) override {
    if (iid == IcxFormatControllerListener2::IID) {
      *obj = static_cast<IcxFormatControllerListener2*>(this);
      return S_OK_;
    }
    return TListener::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  void TimeChanged() override { ++timeChanges; }
};

}  // namespace date_test
