// A recording stand-in of the visual-styles library for tests that need a
// theme, or a colour scheme, that Wine does not have. While a
// TUxThemeStandIn lives the binding answers from it; the real library's
// entry points come back when it goes.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dxThemeManager.h"
#include "dxUxTheme.h"

struct TUxThemeRecord {
  bool Active = true;
  // Theme classes that do not open.
  std::set<std::wstring> MissingClasses;
  // What GetCurrentThemeName answers; it fails when NameResult fails.
  std::wstring ThemeFile =
      L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
  std::wstring ColorScheme = L"NormalColor";
  HRESULT NameResult = S_OK;
  HRESULT CloseResult = S_OK;

  std::vector<std::wstring> Opened;  // class names, one per call
  std::vector<HWND> OpenWindows;     // the window of each call
  std::vector<HTHEME> Closed;
  std::vector<std::wstring> Texts;  // DrawThemeText texts
  UINT_PTR NextHandle = 0x1000;
};

inline TUxThemeRecord& UxThemeRecord() {
  static TUxThemeRecord record;
  return record;
}

namespace standin_detail {

inline HTHEME WINAPI OpenThemeData(HWND hwnd, LPCWSTR classList) {
  TUxThemeRecord& r = UxThemeRecord();
  r.Opened.emplace_back(classList);
  r.OpenWindows.push_back(hwnd);
  if (r.MissingClasses.count(classList) != 0) return nullptr;
  return reinterpret_cast<HTHEME>(r.NextHandle++);
}

inline HRESULT WINAPI CloseThemeData(HTHEME theme) {
  UxThemeRecord().Closed.push_back(theme);
  return UxThemeRecord().CloseResult;
}

inline BOOL WINAPI IsThemeActive() { return UxThemeRecord().Active; }

inline HRESULT WINAPI GetCurrentThemeName(LPWSTR file, int fileChars,
                                          LPWSTR color, int colorChars,
                                          LPWSTR size, int sizeChars) {
  TUxThemeRecord& r = UxThemeRecord();
  if (FAILED(r.NameResult)) return r.NameResult;
  auto put = [](LPWSTR buffer, int chars, const std::wstring& s) {
    if (buffer == nullptr || chars <= 0) return;
    std::size_t n = std::min<std::size_t>(s.size(), chars - 1);
    s.copy(buffer, n);
    buffer[n] = L'\0';
  };
  put(file, fileChars, r.ThemeFile);
  put(color, colorChars, r.ColorScheme);
  put(size, sizeChars, L"NormalSize");
  return S_OK;
}

inline HRESULT WINAPI DrawThemeText(HTHEME, HDC, int, int, LPCWSTR text,
                                    int count, DWORD, DWORD, const RECT*) {
  UxThemeRecord().Texts.emplace_back(text, static_cast<std::size_t>(count));
  return S_OK;
}

}  // namespace standin_detail

// Sent directly: only the system sends this message, when the user picks
// another theme.
inline void SendThemeChanged() {
  HWND wnd = dxThemeChangedWindow();
  ASSERT_NE(wnd, nullptr) << "the theme library did not load";
  SendMessageW(wnd, WM_THEMECHANGED, 0, 0);
}

// Installs the stand-in for the lifetime of the object; the cache starts
// and ends empty.
class TUxThemeStandIn {
 public:
  TUxThemeStandIn()
      : saved_(dxUxThemeEntries()), savedLoaded_(IsThemeLibraryLoaded()) {
    CloseAllThemes();
    UxThemeRecord() = TUxThemeRecord{};
    TdxUxThemeEntries e;
    e.OpenThemeData = &standin_detail::OpenThemeData;
    e.CloseThemeData = &standin_detail::CloseThemeData;
    e.IsThemeActive = &standin_detail::IsThemeActive;
    e.GetCurrentThemeName = &standin_detail::GetCurrentThemeName;
    e.DrawThemeText = &standin_detail::DrawThemeText;
    dxSetUxThemeEntries(e, true);
    // The manager re-reads the theme-active flag on a theme change.
    SendThemeChanged();
    ForgetClassNames();
    ClearCalls();
  }

  ~TUxThemeStandIn() {
    ForgetClassNames();
    dxSetUxThemeEntries(saved_, savedLoaded_);
    SendThemeChanged();
  }

  TUxThemeStandIn(const TUxThemeStandIn&) = delete;
  TUxThemeStandIn& operator=(const TUxThemeStandIn&) = delete;

  // Switches the theme on or off as the user would.
  void SetActive(bool active) {
    UxThemeRecord().Active = active;
    SendThemeChanged();
  }

  static void ClearCalls() {
    TUxThemeRecord& r = UxThemeRecord();
    r.Opened.clear();
    r.OpenWindows.clear();
    r.Closed.clear();
    r.Texts.clear();
  }

 private:
  // Leaves every entry with neither a handle nor a remembered class name.
  static void ForgetClassNames() {
    TUxThemeRecord& r = UxThemeRecord();
    const bool active = r.Active;
    const auto missing = r.MissingClasses;
    r.Active = true;
    r.MissingClasses.clear();
    SendThemeChanged();
    for (Integer t = 0; t < dxThemedObjectTypeCount; ++t) {
      auto type = static_cast<TdxThemedObjectType>(t);
      OpenTheme(type, dxThemedObjectDefaultClassName(type));
      CloseTheme(type);
    }
    r.Active = active;
    r.MissingClasses = missing;
    SendThemeChanged();
  }

  TdxUxThemeEntries saved_;
  bool savedLoaded_;
};
