// The process-wide source of locale-derived formats: the currency format,
// the start of the week, and the standard and regular-expression masks and
// display formats of the date and time editors. It follows the class
// library's format settings, keeps values a program assigned, and tells its
// listeners when the regional settings or the system time change.
// Platform independent: the window that hears the system's broadcasts is
// made by the Windows-only part (cxFormatsWin.cpp) through window hooks.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "System.h"
#include "cxDateUtils.h"

enum TcxDateTimeEditMaskKind { dtmkDate = 0, dtmkTime = 1, dtmkDateTime = 2 };

enum TcxDateTimeFormatItemKind : Byte {
  dtikString = 0,
  dtikYear,
  dtikMonth,
  dtikDay,
  dtikHour,
  dtikMin,
  dtikSec,
  dtikMSec,
  dtikTimeSuffix,
  dtikDateSeparator,
  dtikTimeSeparator = 10
};
inline constexpr Integer cxDateTimeFormatItemKindCount = 11;

enum TcxTimeSuffixKind : Byte { tskAP, tskAMPM, tskAMPMString };

// One element of a parsed date-time format. Data is the literal text of a
// string item; the letters of a field ("YY"/"YYYY", "M".."MMMM", "D".."DDDD",
// "H"/"HH" for hours, prefixed "12" or "24" by the clock the format uses,
// "N"/"NN", "S"/"SS", "Z".."ZZZ"); the spelling of a
// time suffix ("AM/PM", "A/P" or "AMPM" as written); empty for separators.
struct TcxDateTimeFormatItem {
  TcxDateTimeFormatItemKind Kind = dtikString;
  String Data;
  friend bool operator==(const TcxDateTimeFormatItem&,
                         const TcxDateTimeFormatItem&) = default;
};

struct TcxDateTimeFormatInfo {
  bool DefinedItems[cxDateTimeFormatItemKindCount] = {};
  std::vector<TcxDateTimeFormatItem> Items;
};

// Where one item lies in a standard mask's text (1-based).
struct TcxDateTimeFormatItemInfo {
  TcxDateTimeFormatItemKind Kind = dtikString;
  Integer ItemZoneStart = 0;
  Integer ItemZoneLength = 0;
  TcxTimeSuffixKind TimeSuffixKind = tskAP;
};

class IcxFormatControllerListener : public IInterface {
 public:
  static constexpr TGUID IID{0xA7F2F6D3,
                             0x1A7D,
                             0x4295,
                             {0xA6, 0xE6, 0x92, 0x97, 0xBD, 0x83, 0xD0, 0xDE}};
  virtual void FormatChanged() = 0;

 protected:
  ~IcxFormatControllerListener() = default;
};

class IcxFormatControllerListener2 : public IInterface {
 public:
  static constexpr TGUID IID{0x5E33A2A7,
                             0x0C77,
                             0x415F,
                             {0xA3, 0x59, 0x11, 0x21, 0x03, 0xE5, 0x49, 0x37}};
  virtual void TimeChanged() = 0;

 protected:
  ~IcxFormatControllerListener2() = default;
};

// System notifications the controller's window passes on, numbered as the
// system numbers them.
inline constexpr Cardinal cxWM_SETTINGCHANGE = 0x001A;
inline constexpr Cardinal cxWM_TIMECHANGE = 0x001E;

// A window message in portable form. Section is the setting-change
// message's section name (null when it carries none).
struct TcxFormatControllerMessage {
  Cardinal Msg = 0;
  std::uintptr_t WParam = 0;
  const char* Section = nullptr;
  std::intptr_t Result = 0;
};

class TcxFormatController;

// How the controller makes and destroys its hidden window; the
// Windows-only part installs them at start-up. Without them there is no
// window and nothing reports system changes.
struct TcxFormatControllerWindowHooks {
  void* (*Create)(TcxFormatController* controller) = nullptr;
  void (*Destroy)(void* window) = nullptr;
};
// Installs hooks (re-making the process-wide controller's window with them)
// and returns the previous ones.
TcxFormatControllerWindowHooks cxSetFormatControllerWindowHooks(
    const TcxFormatControllerWindowHooks& hooks);

// The application object's parts the controller follows, wired by the
// application shell. Unset: the formats follow the system, and an exception
// raised while handling a system notification shows its message (EAbort
// stays silent).
struct TcxFormatControllerApplication {
  std::function<bool()> UpdateFormatSettings;
  std::function<void(const Exception&)> HandleException;
};
extern TcxFormatControllerApplication cxFormatControllerApplication;

class TcxFormatController : public TObject {
  VARNEL_CLASS(TcxFormatController, TObject)
 public:
  TcxFormatController();
  ~TcxFormatController() override;

  // Handles a message of the hidden window; false sends it on to the
  // system's default handling.
  virtual bool WndProc(TcxFormatControllerMessage& AMessage);
  virtual void AddListener(IcxFormatControllerListener* AListener);
  virtual void RemoveListener(IcxFormatControllerListener* AListener);

  // The window procedure's entry: WndProc with every exception handed to
  // the application's exception handling.
  bool MainWndProc(TcxFormatControllerMessage& AMessage) noexcept;
  // The hidden window, while listeners are registered (null otherwise and
  // off Windows).
  void* WindowHandle() const { return window_; }

  void BeginUpdate();
  void EndUpdate();
  // Recomputes the formats and tells the listeners, unless locked.
  void FormatChanged();
  void NotifyListeners();
  void TimeChanged();
  void GetFormats();

  // Values and their setters.
  const String& CurrencyFormat() const { return currencyFormat_; }
  void SetCurrencyFormat(const String& AValue);
  bool AssignedCurrencyFormat() const { return assignedCurrencyFormat_; }
  void SetAssignedCurrencyFormat(bool AValue);

  TDay StartOfWeek() const { return startOfWeek_; }
  void SetStartOfWeek(TDay AValue);
  bool AssignedStartOfWeek() const { return assignedStartOfWeek_; }
  void SetAssignedStartOfWeek(bool AValue);

  TcxFirstWeekOfYear FirstWeekOfYear() const { return firstWeekOfYear_; }
  void SetFirstWeekOfYear(TcxFirstWeekOfYear AValue);

  bool UseClassLibraryDateTimeFormats() const {
    return useClassLibraryDateTimeFormats_;
  }
  void SetUseClassLibraryDateTimeFormats(bool AValue);

  const String& StandardDateEditMask() const { return standardDateEditMask_; }
  void SetStandardDateEditMask(const String& AValue);
  bool AssignedStandardDateEditMask() const {
    return assignedStandardDateEditMask_;
  }
  void SetAssignedStandardDateEditMask(bool AValue);

  const String& StandardDateTimeEditMask() const {
    return standardDateTimeEditMask_;
  }
  void SetStandardDateTimeEditMask(const String& AValue);
  bool AssignedStandardDateTimeEditMask() const {
    return assignedStandardDateTimeEditMask_;
  }
  void SetAssignedStandardDateTimeEditMask(bool AValue);

  const String& RegExprDateEditMask() const { return regExprDateEditMask_; }
  void SetRegExprDateEditMask(const String& AValue);
  bool AssignedRegExprDateEditMask() const {
    return assignedRegExprDateEditMask_;
  }
  void SetAssignedRegExprDateEditMask(bool AValue);

  const String& RegExprDateTimeEditMask() const {
    return regExprDateTimeEditMask_;
  }
  void SetRegExprDateTimeEditMask(const String& AValue);
  bool AssignedRegExprDateTimeEditMask() const {
    return assignedRegExprDateTimeEditMask_;
  }
  void SetAssignedRegExprDateTimeEditMask(bool AValue);

  // Always derived.
  const String& DateEditMask() const { return dateEditMask_; }
  const String& DateEditFormat() const { return dateEditFormat_; }
  const String& MaskedDateEditFormat() const { return maskedDateEditFormat_; }
  const String& MaskedDateTimeEditFormat() const {
    return maskedDateTimeEditFormat_;
  }
  const TcxDateTimeFormatInfo& DateFormatInfo() const {
    return dateFormatInfo_;
  }
  const TcxDateTimeFormatInfo& TimeFormatInfo() const {
    return timeFormatInfo_;
  }
  const TcxDateTimeFormatInfo& DateTimeFormatInfo() const {
    return dateTimeFormatInfo_;
  }

  static String GetDateTimeDisplayFormat(TcxDateTimeEditMaskKind AKind);
  static TDay GetStartOfWeek();
  static String GetCurrencyFormat();
  static String GetDateEditFormat(bool ALimitMonthLetters);
  void CalculateDateEditMasks(bool ASmartInput);

  // Parses a class-library date-time format; false (and an empty info)
  // for a format the editors cannot mask, such as one with an era.
  static bool GetDateTimeFormatInfo(const String& AFormat,
                                    TcxDateTimeFormatInfo& AInfo);
  static String InternalGetDateTimeEditStandardMask(
      const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind);
  static String InternalGetDateTimeEditRegExprMask(
      const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind);
  static String InternalGetMaskedDateEditFormat(
      const TcxDateTimeFormatInfo& AInfo);

  static Integer GetDateTimeFormatItemStandardMaskZoneLength(
      const TcxDateTimeFormatItem& AItem);
  static Integer GetDateTimeStandardMaskStringLength(
      const TcxDateTimeFormatInfo& AInfo);
  static bool GetDateTimeFormatItemStandardMaskInfo(
      const TcxDateTimeFormatInfo& AInfo, Integer APos,
      TcxDateTimeFormatItemInfo& AItemInfo);

 private:
  friend TcxFormatControllerWindowHooks cxSetFormatControllerWindowHooks(
      const TcxFormatControllerWindowHooks&);
  void CreateWindowIfNeeded();
  void DestroyWindow();

  std::vector<IcxFormatControllerListener*> listeners_;
  void* window_ = nullptr;
  Integer lockCount_ = 0;

  String currencyFormat_;
  bool assignedCurrencyFormat_ = false;
  TDay startOfWeek_ = dSunday;
  bool assignedStartOfWeek_ = false;
  TcxFirstWeekOfYear firstWeekOfYear_ = fwySystem;
  bool useClassLibraryDateTimeFormats_ = false;
  String standardDateEditMask_;
  bool assignedStandardDateEditMask_ = false;
  String standardDateTimeEditMask_;
  bool assignedStandardDateTimeEditMask_ = false;
  String regExprDateEditMask_;
  bool assignedRegExprDateEditMask_ = false;
  String regExprDateTimeEditMask_;
  bool assignedRegExprDateTimeEditMask_ = false;
  String dateEditMask_;
  String dateEditFormat_;
  String maskedDateEditFormat_;
  String maskedDateTimeEditFormat_;
  TcxDateTimeFormatInfo dateFormatInfo_;
  TcxDateTimeFormatInfo timeFormatInfo_;
  TcxDateTimeFormatInfo dateTimeFormatInfo_;
};

// The process-wide controller, made on first use.
TcxFormatController* cxFormatController();

// ACount copies of AChar.
String GetCharString(char AChar, Integer ACount);

// A currency symbol as a literal of a number format: its ',' and '.' quoted,
// which the formatter would otherwise read as grouping and decimal point.
String cxQuotedCurrencySymbol(const String& ASymbol);
