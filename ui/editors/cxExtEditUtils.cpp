#include "cxExtEditUtils.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "Forms.h"
#include "Handles.h"
#include "SysUtils.h"
#include "WinApi.h"

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

bool IsHexDigit(char C) {
  return IsDigit(C) || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f');
}

// The characters of S for which AAllowed holds; another character ends the
// collection (AStopOnInvalidChar) or is skipped.
template <typename TAllowed>
String CollectChars(const String& S, bool AStopOnInvalidChar,
                    TAllowed AAllowed) {
  String result;
  for (char c : S) {
    if (AAllowed(c)) {
      result += c;
    } else if (AStopOnInvalidChar) {
      break;
    }
  }
  return result.empty() ? String("0") : result;
}

Integer ComposeRGB(Integer ARed, Integer AGreen, Integer ABlue) {
  return (ARed & 0xFF) | (AGreen & 0xFF) << 8 | (ABlue & 0xFF) << 16;
}

// The colour routines never raise: a part that is no integer reads as 0.
Integer PartToInt(const String& APart) {
  try {
    return cxStrToInt(APart, false);
  } catch (const EConvertError&) {
    return 0;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxControlHook
// ---------------------------------------------------------------------------

TcxControlHook::TcxControlHook()
    : newWndProc_(
          MakeObjectInstance(TWndMethod(this, &TcxControlHook::HookWndProc))) {}

TcxControlHook::~TcxControlHook() {
  destroying_ = true;
  TcxControlHook::SetWinControl(nullptr);
  FreeObjectInstance(newWndProc_);
}

void TcxControlHook::SetWinControl(TWinControl* Value) {
  if (Value == winControl_) return;
  if (winControl_) UnhookControl();
  winControl_ = Value;
  if (winControl_) HookControl();
}

void TcxControlHook::HookWndProc(TMessage& Message) {
  if (!winControl_ || destroying_) return;
  const HWND wnd = winControl_->Handle();
  WNDPROC target = prevWndProc_;
  if (!target) target = winControl_->DefWndProc();
  Message.Result =
      target ? CallWindowProcA(target, wnd, Message.Msg, Message.WParam,
                               Message.LParam)
             : DefWindowProcA(wnd, Message.Msg, Message.WParam, Message.LParam);
  if (Message.Msg == WM_DESTROY) UnhookControl();
}

void TcxControlHook::HookControl() {
  if (!winControl_ || destroying_) return;
  const TComponentState state = winControl_->ComponentState();
  if (state.Contains(csDesigning) || state.Contains(csDestroying)) return;
  const HWND wnd = winControl_->Handle();
  prevWndProc_ =
      reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC));
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(newWndProc_));
}

void TcxControlHook::UnhookControl() {
  if (winControl_ && winControl_->HandleAllocated() && prevWndProc_) {
    const HWND wnd = winControl_->Handle();
    // A procedure installed after ours stays: putting ours' predecessor
    // back would cut it off.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) ==
        newWndProc_) {
      SetWindowLongPtrA(wnd, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(prevWndProc_));
    }
  }
  prevWndProc_ = nullptr;
}

// ---------------------------------------------------------------------------
// Rectangles and lines
// ---------------------------------------------------------------------------

TRect DrawBounds(TCanvas* ACanvas, const TRect& R, TColor AUpperLeftColor,
                 TColor ALowerRightColor) {
  ACanvas->Pen()->SetColor(AUpperLeftColor);
  ACanvas->MoveTo(R.Left, R.Bottom);
  ACanvas->LineTo(R.Left, R.Top);
  ACanvas->LineTo(R.Right + 1, R.Top);
  ACanvas->Pen()->SetColor(ALowerRightColor);
  ACanvas->MoveTo(R.Right, R.Top + 1);
  ACanvas->LineTo(R.Right, R.Bottom);
  ACanvas->MoveTo(R.Left + 1, R.Bottom);
  ACanvas->LineTo(R.Right + 1, R.Bottom);
  return TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
}

void DrawCanvasLine(TCanvas* ACanvas, TColor AColor, const TPoint& P1,
                    const TPoint& P2) {
  ACanvas->Pen()->SetColor(AColor);
  ACanvas->MoveTo(P1.X, P1.Y);
  ACanvas->LineTo(P2.X, P2.Y);
}

void DrawMRUDelimiter(TCanvas* ACanvas, const TRect& R, bool AHighlighted) {
  ACanvas->Pen()->SetColor(AHighlighted ? clWindow : clWindowText);
  for (Integer y : {R.Bottom - 3, R.Bottom - 1}) {
    ACanvas->MoveTo(R.Left, y);
    ACanvas->LineTo(R.Right, y);
  }
}

void InflateRectEx(TRect& R, Integer ALeft, Integer ATop, Integer ARight,
                   Integer ABottom) {
  R.Left += ALeft;
  R.Top += ATop;
  R.Right += ARight;
  R.Bottom += ABottom;
}

Integer RectWidth(const TRect& R) { return std::max(0, R.Right - R.Left); }

Integer RectHeight(const TRect& R) { return std::max(0, R.Bottom - R.Top); }

Integer CalcCenterPosHeight(const TRect& R, Integer AHeight) {
  return (RectHeight(R) - AHeight) / 2;
}

Integer CalcDrawWidth(const TRect& R, Integer AHeight) {
  return 2 * CalcCenterPosHeight(R, AHeight) + AHeight + 2;
}

TColor IncColor(TColor AColor, Integer AR, Integer AG, Integer AB) {
  const Integer rgb = ColorToRGB(AColor);
  auto channel = [rgb](Integer AShift, Integer ADelta) {
    return std::clamp(((rgb >> AShift) & 0xFF) + ADelta, 0, 255);
  };
  return TColor(ComposeRGB(channel(0, AR), channel(8, AG), channel(16, AB)));
}

void PaintBackground(TWinControl* AControl, HDC ADC, bool AWithParent) {
  if (!AControl || !AWithParent) return;
  TWinControl* parent = AControl->Parent();
  if (!parent) return;
  TSavedDC saved(ADC);
  const TPoint origin = AControl->ClientToParent(TPoint{0, 0}, parent);
  POINT org{};
  GetWindowOrgEx(ADC, &org);
  SetWindowOrgEx(ADC, org.x + origin.X, org.y + origin.Y, nullptr);
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(ADC), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(ADC), 0);
  parent->PaintControls(ADC, nullptr);
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

Integer PrepareTextFlag(Integer AFlags, TAlignment AHorzAlignment,
                        TcxAlignmentVert AVertAlignment, bool AEndEllipsis,
                        bool AWordWrap, Integer ATabWidth, bool AForDrawText,
                        bool AShowPrefix) {
  static constexpr Integer kHorzDT[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static constexpr Integer kVertDT[] = {DT_TOP, DT_BOTTOM, DT_VCENTER};
  Integer result = AFlags;
  if (AForDrawText) {
    result |= kHorzDT[AHorzAlignment] | kVertDT[AVertAlignment];
    if (AEndEllipsis) result |= DT_END_ELLIPSIS;
    if (AWordWrap) result |= DT_WORDBREAK;
    if (!AShowPrefix) result |= DT_NOPREFIX;
    if (ATabWidth > 0) result |= DT_EXPANDTABS | DT_TABSTOP;
  } else {
    result |=
        cxAlignmentsHorz[AHorzAlignment] | cxAlignmentsVert[AVertAlignment];
    if (AEndEllipsis) result |= cxtfEndEllipsis;
    if (AWordWrap) result |= cxtfWordBreak;
    if (AShowPrefix) result |= cxtfShowPrefix;
    if (ATabWidth > 0) result |= cxtfExpandTabs;
  }
  return result;
}

Integer NonCanvasTextHeight(TFont* AFont) {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  bitmap->Canvas()->Font()->Assign(AFont);
  return bitmap->Canvas()->TextHeight("Wg");
}

Integer NonCanvasTextWidth(TFont* AFont, const String& AText) {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  bitmap->Canvas()->Font()->Assign(AFont);
  return bitmap->Canvas()->TextWidth(AText);
}

Integer CalcMaxWidth(TCanvas* ACanvas, const String& AText) {
  Integer result = ACanvas->TextWidth(AText);
  TStringList lines;
  lines.SetText(AText);
  for (Integer i = 0; i < lines.Count(); ++i) {
    result = std::max(result, ACanvas->TextWidth(lines.Strings(i)));
  }
  return result + 1;
}

bool cxIsTrueTypeFont(TFont* AFont) {
  TEXTMETRICA metrics{};
  TWindowDC screen(nullptr);
  TSelectObject font(screen.get(), AFont->Handle());
  GetTextMetricsA(screen.get(), &metrics);
  return (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

bool cxIsAccel(char AKey, const String& ACaption) {
  for (size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != '&') continue;
    // "&&" is a plain ampersand.
    if (ACaption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(ACaption[i + 1])) ==
           std::toupper(static_cast<unsigned char>(AKey));
  }
  return false;
}

bool AdjustCanvasFont(TCanvas* ACanvas, TFont* AFont, Integer AAngle) {
  ACanvas->Font()->Assign(AFont);
  const bool trueType = cxIsTrueTypeFont(ACanvas->Font());
  const Integer angle = (AAngle % 360 + 360) % 360;
  if (trueType && angle != 0) ACanvas->Font()->SetOrientation(angle * 10);
  return trueType;
}

String GetWord(Integer N, const String& AText, char ADelimiter) {
  if (N <= 0) return String();
  String rest = AText;
  for (Integer i = 1; !rest.empty(); ++i) {
    const auto pos = rest.find(ADelimiter);
    if (i == N) return pos == String::npos ? rest : rest.substr(0, pos);
    if (pos == String::npos) break;
    rest.erase(0, pos + 1);
  }
  return String();
}

// ---------------------------------------------------------------------------
// Values and parsing
// ---------------------------------------------------------------------------

bool IsVarEmpty(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V); }

bool IsValidStringForInt(const String& S) {
  const String t = Trim(S);
  if (t.empty()) return false;
  Integer value = 0;
  Integer code = 0;
  Val(t, value, code);
  return code == 0;
}

bool IsValidStringForDouble(const String& S) {
  const String t = Trim(S);
  if (t.empty()) return false;
  bool separatorSeen = false;
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (IsDigit(c) || (c == '-' && i == 0)) continue;
    if (c != DecimalSeparator || separatorSeen) return false;
    separatorSeen = true;
  }
  // "-", the separator alone and "-" before it pass the character test but
  // are no number: a validity test answers no rather than raising.
  Extended value = 0;
  if (!TryStrToFloat(t, value)) return false;
  return std::fabs(static_cast<double>(value)) <= 1.7E308;
}

Integer cxStrToInt(const String& S, bool AStopOnInvalidChar) {
  return StrToInt(CollectChars(S, AStopOnInvalidChar,
                               [](char c) { return IsDigit(c) || c == '-'; }));
}

Extended cxStrToFloat(const String& S, bool AStopOnInvalidChar) {
  const char separator = DecimalSeparator;
  return StrToFloat(CollectChars(S, AStopOnInvalidChar, [separator](char c) {
    return IsDigit(c) || c == '-' || c == separator;
  }));
}

bool cxStrToColor(const String& S, TColor& AColor) {
  Integer value = 0;
  if (IdentToColor(S, value)) {
    AColor = TColor(value);
    return true;
  }
  if (!IsValidStringForInt(S)) return false;
  try {
    value = cxStrToInt(S, false);
  } catch (const EConvertError&) {
    return false;
  }
  AColor = TColor(value);
  return true;
}

TColor cxRGBStringColorToColor(const String& S) {
  String rest = S;
  Integer channels[3] = {};
  for (Integer& channel : channels) {
    const auto pos = rest.find('.');
    if (pos == String::npos) {
      channel = PartToInt(rest);
    } else {
      channel = PartToInt(rest.substr(0, pos));
      rest.erase(0, pos + 1);
    }
  }
  return TColor(ComposeRGB(channels[0], channels[1], channels[2]));
}

TColor cxHexRGBStringColorToColor(const String& S) {
  String hex;
  std::copy_if(S.begin(), S.end(), std::back_inserter(hex), IsHexDigit);
  Integer channels[3] = {};
  for (Integer i = 0; i < 3; ++i) {
    const size_t at = static_cast<size_t>(i) * 2;
    if (at >= hex.size()) break;
    channels[i] =
        static_cast<Integer>(std::stoul(hex.substr(at, 2), nullptr, 16));
  }
  return TColor(ComposeRGB(channels[0], channels[1], channels[2]));
}

String CheckStateToString(TcxCheckBoxState AState) {
  switch (AState) {
    case cbsChecked:
      return "1";
    case cbsGrayed:
      return "2";
    default:
      return "0";
  }
}

TcxCheckBoxState StringToCheckState(const String& S, bool AAllowGrayed) {
  if (S == "1") return cbsChecked;
  if (!AAllowGrayed || S == "0") return cbsUnchecked;
  return cbsGrayed;
}

TShiftState CurrentShiftState() { return KeyboardStateToShiftState(); }

// ---------------------------------------------------------------------------
// Shared pieces of the editors
// ---------------------------------------------------------------------------

TBitmap* TcxLazyBitmap::Get() {
  if (!bitmap_) {
    bitmap_.reset(new TBitmap);
    bitmap_->OnChange =
        TNotifyEvent::FromFunction([this](TObject*) { changed_(); });
  }
  return bitmap_.get();
}

void TcxLazyBitmap::Set(TBitmap* Value) {
  if (!Value) {
    if (!bitmap_) return;
    bitmap_.reset();
  } else {
    Get()->Assign(Value);
  }
  changed_();
}

bool cxAnswerMeasureItem(TControl* AControl, TMessage& Message) {
  if (Message.Msg != CN_MEASUREITEM) return false;
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  item->itemWidth = static_cast<UINT>(AControl->Width());
  item->itemHeight = static_cast<UINT>(AControl->Height());
  Message.Result = 1;
  return true;
}
