#include "dxUxTheme.h"

#include "Handles.h"

namespace {

TdxUxThemeEntries Entries;
TModuleHandle UxThemeLib;
bool LibraryLoaded = false;
bool WindowsXPOrLater = false;

// Calls the bound entry point, or answers Fail when it is missing.
#define DX_UXTHEME_CALL(Name, Fail, ...) \
  (Entries.Name != nullptr ? Entries.Name(__VA_ARGS__) : (Fail))

void dxUxThemeStartup() {
  WindowsXPOrLater =
      dxIsWindowsXPOrLaterVersion(Win32MajorVersion, Win32MinorVersion);
  InitCommonControls();
  if (!WindowsXPOrLater) return;
  UxThemeLib.reset(LoadLibraryA("UxTheme.dll"));
  if (!UxThemeLib) return;
  Entries = dxBindUxThemeEntries(UxThemeLib.get());
  LibraryLoaded = true;
}

void dxUxThemeShutdown() {
  Entries = TdxUxThemeEntries{};
  LibraryLoaded = false;
  UxThemeLib.reset();
}

template <typename T>
void Bind(HMODULE lib, T& entry, const char* name) {
  entry =
      reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
}

}  // namespace

const TdxUxThemeEntries& dxUxThemeEntries() { return Entries; }

void dxSetUxThemeEntries(const TdxUxThemeEntries& AEntries, bool ALoaded) {
  Entries = AEntries;
  LibraryLoaded = ALoaded;
}

TdxUxThemeEntries dxBindUxThemeEntries(HMODULE ALibrary) {
  TdxUxThemeEntries e;
  if (ALibrary == nullptr) return e;
#define DX_BIND(Name) Bind(ALibrary, e.Name, #Name)
  DX_BIND(OpenThemeData);
  DX_BIND(CloseThemeData);
  DX_BIND(DrawThemeBackground);
  DX_BIND(DrawThemeText);
  DX_BIND(DrawThemeTextEx);
  DX_BIND(GetThemeBackgroundContentRect);
  DX_BIND(GetThemeBackgroundExtent);
  DX_BIND(GetThemePartSize);
  DX_BIND(GetThemeTextExtent);
  DX_BIND(GetThemeTextMetrics);
  DX_BIND(GetThemeBackgroundRegion);
  DX_BIND(HitTestThemeBackground);
  DX_BIND(DrawThemeEdge);
  DX_BIND(DrawThemeIcon);
  DX_BIND(IsThemePartDefined);
  DX_BIND(IsThemeBackgroundPartiallyTransparent);
  DX_BIND(DrawThemeParentBackground);
  DX_BIND(GetThemeColor);
  DX_BIND(GetThemeMetric);
  DX_BIND(GetThemeString);
  DX_BIND(GetThemeBool);
  DX_BIND(GetThemeInt);
  DX_BIND(GetThemeEnumValue);
  DX_BIND(GetThemePosition);
  DX_BIND(GetThemeFont);
  DX_BIND(GetThemeRect);
  DX_BIND(GetThemeMargins);
  DX_BIND(GetThemeIntList);
  DX_BIND(GetThemePropertyOrigin);
  DX_BIND(SetWindowTheme);
  DX_BIND(GetThemeFilename);
  DX_BIND(GetThemeSysColor);
  DX_BIND(GetThemeSysColorBrush);
  DX_BIND(GetThemeSysBool);
  DX_BIND(GetThemeSysSize);
  DX_BIND(GetThemeSysFont);
  DX_BIND(GetThemeSysString);
  DX_BIND(GetThemeSysInt);
  DX_BIND(IsThemeActive);
  DX_BIND(IsAppThemed);
  DX_BIND(GetWindowTheme);
  DX_BIND(EnableThemeDialogTexture);
  DX_BIND(IsThemeDialogTextureEnabled);
  DX_BIND(GetThemeAppProperties);
  DX_BIND(SetThemeAppProperties);
  DX_BIND(GetCurrentThemeName);
  DX_BIND(GetThemeDocumentationProperty);
  DX_BIND(BufferedPaintInit);
  DX_BIND(BufferedPaintUnInit);
  DX_BIND(BeginBufferedPaint);
  DX_BIND(EndBufferedPaint);
  DX_BIND(BufferedPaintSetAlpha);
#undef DX_BIND
  return e;
}

bool IsThemeLibraryLoaded() { return LibraryLoaded; }

bool IsWindowsXPOrLater() { return WindowsXPOrLater; }

bool dxIsWindowsXPOrLaterVersion(Integer AMajor, Integer AMinor) {
  return AMajor > 5 || (AMajor == 5 && AMinor > 0);
}

HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList) {
  return DX_UXTHEME_CALL(OpenThemeData, nullptr, hwnd, pszClassList);
}

HRESULT CloseThemeData(HTHEME hTheme) {
  return DX_UXTHEME_CALL(CloseThemeData, E_NOTIMPL, hTheme);
}

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            const RECT* pRect, const RECT* pClipRect) {
  return DX_UXTHEME_CALL(DrawThemeBackground, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, pRect, pClipRect);
}

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            const RECT& pRect, const RECT* pClipRect) {
  return DrawThemeBackground(hTheme, hdc, iPartId, iStateId, &pRect, pClipRect);
}

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            const RECT& pRect, const RECT& pClipRect) {
  return DrawThemeBackground(hTheme, hdc, iPartId, iStateId, &pRect,
                             &pClipRect);
}

HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      LPCWSTR pszText, int iCharCount, DWORD dwTextFlags,
                      DWORD dwTextFlags2, const RECT* pRect) {
  return DX_UXTHEME_CALL(DrawThemeText, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, pszText, iCharCount, dwTextFlags,
                         dwTextFlags2, pRect);
}

HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const String& pszText, int iCharCount, DWORD dwTextFlags,
                      DWORD dwTextFlags2, const RECT* pRect) {
  // The count is in bytes of the 8-bit text; a negative one means all.
  int bytes = static_cast<int>(pszText.size());
  if (iCharCount >= 0 && iCharCount < bytes) bytes = iCharCount;
  std::wstring wide;
  if (bytes > 0) {
    int n = MultiByteToWideChar(CP_ACP, 0, pszText.data(), bytes, nullptr, 0);
    wide.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, pszText.data(), bytes, wide.data(), n);
  }
  return DrawThemeText(hTheme, hdc, iPartId, iStateId, wide.c_str(),
                       static_cast<int>(wide.size()), dwTextFlags, dwTextFlags2,
                       pRect);
}

HRESULT DrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                        LPCWSTR pszText, int cchText, DWORD dwTextFlags,
                        LPRECT pRect, const TdxDTTOpts* pOptions) {
  return DX_UXTHEME_CALL(DrawThemeTextEx, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, pszText, cchText, dwTextFlags, pRect,
                         pOptions);
}

HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId,
                                      int iStateId, const RECT* pBoundingRect,
                                      RECT* pContentRect) {
  return DX_UXTHEME_CALL(GetThemeBackgroundContentRect, E_NOTIMPL, hTheme, hdc,
                         iPartId, iStateId, pBoundingRect, pContentRect);
}

HRESULT GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId,
                                 int iStateId, const RECT* pContentRect,
                                 RECT* pExtentRect) {
  return DX_UXTHEME_CALL(GetThemeBackgroundExtent, E_NOTIMPL, hTheme, hdc,
                         iPartId, iStateId, pContentRect, pExtentRect);
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                         const RECT* prc, TdxThemeSize eSize, SIZE* psz) {
  return DX_UXTHEME_CALL(GetThemePartSize, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, prc, eSize, psz);
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                         const RECT& prc, TdxThemeSize eSize, SIZE* psz) {
  return GetThemePartSize(hTheme, hdc, iPartId, iStateId, &prc, eSize, psz);
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                         TdxThemeSize eSize, SIZE* psz) {
  return GetThemePartSize(hTheme, hdc, iPartId, iStateId, nullptr, eSize, psz);
}

HRESULT GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                           LPCWSTR pszText, int iCharCount, DWORD dwTextFlags,
                           const RECT* pBoundingRect, RECT* pExtentRect) {
  return DX_UXTHEME_CALL(GetThemeTextExtent, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, pszText, iCharCount, dwTextFlags,
                         pBoundingRect, pExtentRect);
}

HRESULT GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            TEXTMETRICW* ptm) {
  return DX_UXTHEME_CALL(GetThemeTextMetrics, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, ptm);
}

HRESULT GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId,
                                 int iStateId, const RECT* pRect,
                                 HRGN* pRegion) {
  return DX_UXTHEME_CALL(GetThemeBackgroundRegion, E_NOTIMPL, hTheme, hdc,
                         iPartId, iStateId, pRect, pRegion);
}

HRESULT HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId,
                               int iStateId, DWORD dwOptions, const RECT* pRect,
                               HRGN hrgn, POINT ptTest, WORD* pwHitTestCode) {
  return DX_UXTHEME_CALL(HitTestThemeBackground, E_NOTIMPL, hTheme, hdc,
                         iPartId, iStateId, dwOptions, pRect, hrgn, ptTest,
                         pwHitTestCode);
}

HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT* pDestRect, UINT uEdge, UINT uFlags,
                      RECT* pContentRect) {
  return DX_UXTHEME_CALL(DrawThemeEdge, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, pDestRect, uEdge, uFlags, pContentRect);
}

HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT& pDestRect, UINT uEdge, UINT uFlags,
                      RECT& pContentRect) {
  return DrawThemeEdge(hTheme, hdc, iPartId, iStateId, &pDestRect, uEdge,
                       uFlags, &pContentRect);
}

HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT& pDestRect, UINT uEdge, UINT uFlags) {
  return DrawThemeEdge(hTheme, hdc, iPartId, iStateId, &pDestRect, uEdge,
                       uFlags, nullptr);
}

HRESULT DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT* pRect, HIMAGELIST himl, int iImageIndex) {
  return DX_UXTHEME_CALL(DrawThemeIcon, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, pRect, himl, iImageIndex);
}

BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId) {
  return DX_UXTHEME_CALL(IsThemePartDefined, FALSE, hTheme, iPartId, iStateId);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId,
                                           int iStateId) {
  return DX_UXTHEME_CALL(IsThemeBackgroundPartiallyTransparent, FALSE, hTheme,
                         iPartId, iStateId);
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc) {
  return DX_UXTHEME_CALL(DrawThemeParentBackground, E_NOTIMPL, hwnd, hdc, prc);
}

HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                      COLORREF* pColor) {
  return DX_UXTHEME_CALL(GetThemeColor, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, pColor);
}

HRESULT GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                       int iPropId, int* piVal) {
  return DX_UXTHEME_CALL(GetThemeMetric, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, iPropId, piVal);
}

HRESULT GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                       LPWSTR pszBuff, int cchMaxBuffChars) {
  return DX_UXTHEME_CALL(GetThemeString, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, pszBuff, cchMaxBuffChars);
}

HRESULT GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                     BOOL* pfVal) {
  return DX_UXTHEME_CALL(GetThemeBool, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, pfVal);
}

HRESULT GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                    int* piVal) {
  return DX_UXTHEME_CALL(GetThemeInt, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, piVal);
}

HRESULT GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                          int* piVal) {
  return DX_UXTHEME_CALL(GetThemeEnumValue, E_NOTIMPL, hTheme, iPartId,
                         iStateId, iPropId, piVal);
}

HRESULT GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                         POINT* pPoint) {
  return DX_UXTHEME_CALL(GetThemePosition, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, pPoint);
}

HRESULT GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                     int iPropId, LOGFONTW* pFont) {
  return DX_UXTHEME_CALL(GetThemeFont, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, iPropId, pFont);
}

HRESULT GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                     RECT* pRect) {
  return DX_UXTHEME_CALL(GetThemeRect, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, pRect);
}

HRESULT GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                        int iPropId, RECT* prc, TdxMargins* pMargins) {
  return DX_UXTHEME_CALL(GetThemeMargins, E_NOTIMPL, hTheme, hdc, iPartId,
                         iStateId, iPropId, prc, pMargins);
}

HRESULT GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                        TdxIntList* pIntList) {
  return DX_UXTHEME_CALL(GetThemeIntList, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, pIntList);
}

HRESULT GetThemePropertyOrigin(HTHEME hTheme, int iPartId, int iStateId,
                               int iPropId, TdxPropertyOrigin* pOrigin) {
  return DX_UXTHEME_CALL(GetThemePropertyOrigin, E_NOTIMPL, hTheme, iPartId,
                         iStateId, iPropId, pOrigin);
}

HRESULT SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList) {
  return DX_UXTHEME_CALL(SetWindowTheme, E_NOTIMPL, hwnd, pszSubAppName,
                         pszSubIdList);
}

HRESULT GetThemeFilename(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                         LPWSTR pszThemeFileName, int cchMaxBuffChars) {
  return DX_UXTHEME_CALL(GetThemeFilename, E_NOTIMPL, hTheme, iPartId, iStateId,
                         iPropId, pszThemeFileName, cchMaxBuffChars);
}

COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId) {
  return DX_UXTHEME_CALL(GetThemeSysColor, 0, hTheme, iColorId);
}

HBRUSH GetThemeSysColorBrush(HTHEME hTheme, int iColorId) {
  return DX_UXTHEME_CALL(GetThemeSysColorBrush, nullptr, hTheme, iColorId);
}

BOOL GetThemeSysBool(HTHEME hTheme, int iBoolId) {
  return DX_UXTHEME_CALL(GetThemeSysBool, FALSE, hTheme, iBoolId);
}

int GetThemeSysSize(HTHEME hTheme, int iSizeId) {
  return DX_UXTHEME_CALL(GetThemeSysSize, 0, hTheme, iSizeId);
}

HRESULT GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf) {
  return DX_UXTHEME_CALL(GetThemeSysFont, E_NOTIMPL, hTheme, iFontId, plf);
}

HRESULT GetThemeSysString(HTHEME hTheme, int iStringId, LPWSTR pszStringBuff,
                          int cchMaxStringChars) {
  return DX_UXTHEME_CALL(GetThemeSysString, E_NOTIMPL, hTheme, iStringId,
                         pszStringBuff, cchMaxStringChars);
}

HRESULT GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue) {
  return DX_UXTHEME_CALL(GetThemeSysInt, E_NOTIMPL, hTheme, iIntId, piValue);
}

BOOL IsThemeActive() { return DX_UXTHEME_CALL(IsThemeActive, FALSE); }

BOOL IsAppThemed() { return DX_UXTHEME_CALL(IsAppThemed, FALSE); }

HTHEME GetWindowTheme(HWND hwnd) {
  return DX_UXTHEME_CALL(GetWindowTheme, nullptr, hwnd);
}

HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags) {
  return DX_UXTHEME_CALL(EnableThemeDialogTexture, E_NOTIMPL, hwnd, dwFlags);
}

BOOL IsThemeDialogTextureEnabled(HWND hwnd) {
  return DX_UXTHEME_CALL(IsThemeDialogTextureEnabled, FALSE, hwnd);
}

DWORD GetThemeAppProperties() {
  return DX_UXTHEME_CALL(GetThemeAppProperties, 0);
}

void SetThemeAppProperties(DWORD dwFlags) {
  if (Entries.SetThemeAppProperties != nullptr)
    Entries.SetThemeAppProperties(dwFlags);
}

HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars,
                            LPWSTR pszColorBuff, int cchMaxColorChars,
                            LPWSTR pszSizeBuff, int cchMaxSizeChars) {
  return DX_UXTHEME_CALL(GetCurrentThemeName, E_NOTIMPL, pszThemeFileName,
                         cchMaxNameChars, pszColorBuff, cchMaxColorChars,
                         pszSizeBuff, cchMaxSizeChars);
}

std::wstring dxUpperFileName(const wchar_t* APath) {
  std::wstring s(APath);
  std::size_t cut = s.find_last_of(L"\\/:");
  if (cut != std::wstring::npos) s.erase(0, cut + 1);
  if (!s.empty()) CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

HRESULT GetThemeDocumentationProperty(LPCWSTR pszThemeName,
                                      LPCWSTR pszPropertyName,
                                      LPWSTR pszValueBuff, int cchMaxValChars) {
  return DX_UXTHEME_CALL(GetThemeDocumentationProperty, E_NOTIMPL, pszThemeName,
                         pszPropertyName, pszValueBuff, cchMaxValChars);
}

HRESULT BufferedPaintInit() {
  return DX_UXTHEME_CALL(BufferedPaintInit, E_NOTIMPL);
}

HRESULT BufferedPaintUnInit() {
  return DX_UXTHEME_CALL(BufferedPaintUnInit, E_NOTIMPL);
}

HPAINTBUFFER BeginBufferedPaint(HDC hdcTarget, const RECT* prcTarget,
                                TdxBPBufferFormat dwFormat,
                                TdxBPPaintParams* pPaintParams, HDC* phdc) {
  return DX_UXTHEME_CALL(BeginBufferedPaint, nullptr, hdcTarget, prcTarget,
                         dwFormat, pPaintParams, phdc);
}

HRESULT EndBufferedPaint(HPAINTBUFFER hBufferedPaint, BOOL fUpdateTarget) {
  return DX_UXTHEME_CALL(EndBufferedPaint, E_NOTIMPL, hBufferedPaint,
                         fUpdateTarget);
}

HRESULT BufferedPaintSetAlpha(HPAINTBUFFER hBufferedPaint, const RECT* prc,
                              BYTE alpha) {
  return DX_UXTHEME_CALL(BufferedPaintSetAlpha, E_NOTIMPL, hBufferedPaint, prc,
                         alpha);
}

VARNEL_UNIT(dxUxTheme, ({"SysUtils"}), &dxUxThemeStartup, &dxUxThemeShutdown);
