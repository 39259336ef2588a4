// Run-time binding of the system's visual-styles library (uxtheme.dll).
// Nothing links to the library: it is loaded at start-up on Windows XP and
// later and its entry points are bound one by one, so the program also
// starts where the library or some of its functions are missing.
//
// The wrappers carry the system functions' names; this header stands in for
// the system's <uxtheme.h>, and the two must not meet in one source file.
// A wrapper whose entry point is missing does nothing and answers E_NOTIMPL
// (or 0/FALSE/null where the function answers no HRESULT).
#pragma once

// Classes.h comes before <windows.h> (see Controls.h).
#include "Classes.h"
//
#include <windows.h>
//
#include <commctrl.h>

#include <string>

#include "SysUtils.h"

using HTHEME = HANDLE;
using HPAINTBUFFER = HANDLE;

// The records of the theme API, laid out as the system's.
struct TdxMargins {
  int cxLeftWidth;
  int cxRightWidth;
  int cyTopHeight;
  int cyBottomHeight;
};

constexpr int dxMAX_INTLIST_COUNT = 402;
struct TdxIntList {
  int iValueCount;
  int iValues[dxMAX_INTLIST_COUNT];
};

using TdxDrawThemeTextCallback = int(WINAPI*)(HDC hdc, LPWSTR pszText,
                                              int cchText, LPRECT prc,
                                              UINT dwFlags, LPARAM lParam);
struct TdxDTTOpts {
  DWORD dwSize;
  DWORD dwFlags;
  COLORREF crText;
  COLORREF crBorder;
  COLORREF crShadow;
  int iTextShadowType;
  POINT ptShadowOffset;
  int iBorderSize;
  int iFontPropId;
  int iColorPropId;
  int iStateId;
  BOOL fApplyOverlay;
  int iGlowSize;
  TdxDrawThemeTextCallback pfnDrawTextCallback;
  LPARAM lParam;
};

struct TdxBPPaintParams {
  DWORD cbSize;
  DWORD dwFlags;
  const RECT* prcExclude;
  const BLENDFUNCTION* pBlendFunction;
};

enum TdxBPBufferFormat : int {
  dxBPBF_COMPATIBLEBITMAP = 0,
  dxBPBF_DIB = 1,
  dxBPBF_TOPDOWNDIB = 2,
  dxBPBF_TOPDOWNMONODIB = 3
};

enum TdxThemeSize : int { dxTS_MIN = 0, dxTS_TRUE = 1, dxTS_DRAW = 2 };

enum TdxPropertyOrigin : int {
  PO_STATE,
  PO_PART,
  PO_CLASS,
  PO_GLOBAL,
  PO_NOTFOUND
};

// ---------------------------------------------------------------------------
// The bound entry points
// ---------------------------------------------------------------------------

// One pointer per function of the library, null when it is not bound. The
// set in use can be replaced (dxSetUxThemeEntries), which lets tests run the
// theme code against a stand-in of the library.
struct TdxUxThemeEntries {
  HTHEME(WINAPI* OpenThemeData)(HWND, LPCWSTR) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HTHEME) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)
  (HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* DrawThemeText)
  (HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*) = nullptr;
  HRESULT(WINAPI* DrawThemeTextEx)
  (HTHEME, HDC, int, int, LPCWSTR, int, DWORD, LPRECT,
   const TdxDTTOpts*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundContentRect)
  (HTHEME, HDC, int, int, const RECT*, RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundExtent)
  (HTHEME, HDC, int, int, const RECT*, RECT*) = nullptr;
  HRESULT(WINAPI* GetThemePartSize)
  (HTHEME, HDC, int, int, const RECT*, TdxThemeSize, SIZE*) = nullptr;
  HRESULT(WINAPI* GetThemeTextExtent)
  (HTHEME, HDC, int, int, LPCWSTR, int, DWORD, const RECT*, RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeTextMetrics)
  (HTHEME, HDC, int, int, TEXTMETRICW*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundRegion)
  (HTHEME, HDC, int, int, const RECT*, HRGN*) = nullptr;
  HRESULT(WINAPI* HitTestThemeBackground)
  (HTHEME, HDC, int, int, DWORD, const RECT*, HRGN, POINT, WORD*) = nullptr;
  HRESULT(WINAPI* DrawThemeEdge)
  (HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*) = nullptr;
  HRESULT(WINAPI* DrawThemeIcon)
  (HTHEME, HDC, int, int, const RECT*, HIMAGELIST, int) = nullptr;
  BOOL(WINAPI* IsThemePartDefined)(HTHEME, int, int) = nullptr;
  BOOL(WINAPI* IsThemeBackgroundPartiallyTransparent)
  (HTHEME, int, int) = nullptr;
  HRESULT(WINAPI* DrawThemeParentBackground)
  (HWND, HDC, const RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeColor)(HTHEME, int, int, int, COLORREF*) = nullptr;
  HRESULT(WINAPI* GetThemeMetric)(HTHEME, HDC, int, int, int, int*) = nullptr;
  HRESULT(WINAPI* GetThemeString)(HTHEME, int, int, int, LPWSTR, int) = nullptr;
  HRESULT(WINAPI* GetThemeBool)(HTHEME, int, int, int, BOOL*) = nullptr;
  HRESULT(WINAPI* GetThemeInt)(HTHEME, int, int, int, int*) = nullptr;
  HRESULT(WINAPI* GetThemeEnumValue)(HTHEME, int, int, int, int*) = nullptr;
  HRESULT(WINAPI* GetThemePosition)(HTHEME, int, int, int, POINT*) = nullptr;
  HRESULT(WINAPI* GetThemeFont)
  (HTHEME, HDC, int, int, int, LOGFONTW*) = nullptr;
  HRESULT(WINAPI* GetThemeRect)(HTHEME, int, int, int, RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeMargins)
  (HTHEME, HDC, int, int, int, RECT*, TdxMargins*) = nullptr;
  HRESULT(WINAPI* GetThemeIntList)
  (HTHEME, int, int, int, TdxIntList*) = nullptr;
  HRESULT(WINAPI* GetThemePropertyOrigin)
  (HTHEME, int, int, int, TdxPropertyOrigin*) = nullptr;
  HRESULT(WINAPI* SetWindowTheme)(HWND, LPCWSTR, LPCWSTR) = nullptr;
  HRESULT(WINAPI* GetThemeFilename)
  (HTHEME, int, int, int, LPWSTR, int) = nullptr;
  COLORREF(WINAPI* GetThemeSysColor)(HTHEME, int) = nullptr;
  HBRUSH(WINAPI* GetThemeSysColorBrush)(HTHEME, int) = nullptr;
  BOOL(WINAPI* GetThemeSysBool)(HTHEME, int) = nullptr;
  int(WINAPI* GetThemeSysSize)(HTHEME, int) = nullptr;
  HRESULT(WINAPI* GetThemeSysFont)(HTHEME, int, LOGFONTW*) = nullptr;
  HRESULT(WINAPI* GetThemeSysString)(HTHEME, int, LPWSTR, int) = nullptr;
  HRESULT(WINAPI* GetThemeSysInt)(HTHEME, int, int*) = nullptr;
  BOOL(WINAPI* IsThemeActive)() = nullptr;
  BOOL(WINAPI* IsAppThemed)() = nullptr;
  HTHEME(WINAPI* GetWindowTheme)(HWND) = nullptr;
  HRESULT(WINAPI* EnableThemeDialogTexture)(HWND, DWORD) = nullptr;
  BOOL(WINAPI* IsThemeDialogTextureEnabled)(HWND) = nullptr;
  DWORD(WINAPI* GetThemeAppProperties)() = nullptr;
  void(WINAPI* SetThemeAppProperties)(DWORD) = nullptr;
  HRESULT(WINAPI* GetCurrentThemeName)
  (LPWSTR, int, LPWSTR, int, LPWSTR, int) = nullptr;
  HRESULT(WINAPI* GetThemeDocumentationProperty)
  (LPCWSTR, LPCWSTR, LPWSTR, int) = nullptr;
  HRESULT(WINAPI* BufferedPaintInit)() = nullptr;
  HRESULT(WINAPI* BufferedPaintUnInit)() = nullptr;
  HPAINTBUFFER(WINAPI* BeginBufferedPaint)
  (HDC, const RECT*, TdxBPBufferFormat, TdxBPPaintParams*, HDC*) = nullptr;
  HRESULT(WINAPI* EndBufferedPaint)(HPAINTBUFFER, BOOL) = nullptr;
  HRESULT(WINAPI* BufferedPaintSetAlpha)
  (HPAINTBUFFER, const RECT*, BYTE) = nullptr;
};

// The entry points in use.
const TdxUxThemeEntries& dxUxThemeEntries();
// Replaces the entry points in use and whether the library counts as loaded;
// the library itself stays loaded. For tests.
void dxSetUxThemeEntries(const TdxUxThemeEntries& AEntries, bool ALoaded);
// Binds every entry point of a loaded library by name (missing names stay
// null).
TdxUxThemeEntries dxBindUxThemeEntries(HMODULE ALibrary);

// True when UxTheme.dll was loaded at start-up.
bool IsThemeLibraryLoaded();
// True on Windows XP (5.1) and later: the versions that have the library.
bool IsWindowsXPOrLater();
// The same test for a given version; start-up loads the library only when
// it holds.
bool dxIsWindowsXPOrLaterVersion(Integer AMajor, Integer AMinor);

// ---------------------------------------------------------------------------
// Wrappers
// ---------------------------------------------------------------------------

HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList);
HRESULT CloseThemeData(HTHEME hTheme);
HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            const RECT* pRect, const RECT* pClipRect);
HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            const RECT& pRect, const RECT* pClipRect);
HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            const RECT& pRect, const RECT& pClipRect);
HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      LPCWSTR pszText, int iCharCount, DWORD dwTextFlags,
                      DWORD dwTextFlags2, const RECT* pRect);
// An 8-bit text is made wide first; the count is in bytes (-1: all).
HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const String& pszText, int iCharCount, DWORD dwTextFlags,
                      DWORD dwTextFlags2, const RECT* pRect);
HRESULT DrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                        LPCWSTR pszText, int cchText, DWORD dwTextFlags,
                        LPRECT pRect, const TdxDTTOpts* pOptions);
HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId,
                                      int iStateId, const RECT* pBoundingRect,
                                      RECT* pContentRect);
HRESULT GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId,
                                 int iStateId, const RECT* pContentRect,
                                 RECT* pExtentRect);
HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                         const RECT* prc, TdxThemeSize eSize, SIZE* psz);
HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                         const RECT& prc, TdxThemeSize eSize, SIZE* psz);
HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                         TdxThemeSize eSize, SIZE* psz);
HRESULT GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                           LPCWSTR pszText, int iCharCount, DWORD dwTextFlags,
                           const RECT* pBoundingRect, RECT* pExtentRect);
HRESULT GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                            TEXTMETRICW* ptm);
HRESULT GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId,
                                 int iStateId, const RECT* pRect,
                                 HRGN* pRegion);
HRESULT HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId,
                               int iStateId, DWORD dwOptions, const RECT* pRect,
                               HRGN hrgn, POINT ptTest, WORD* pwHitTestCode);
HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT* pDestRect, UINT uEdge, UINT uFlags,
                      RECT* pContentRect);
HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT& pDestRect, UINT uEdge, UINT uFlags,
                      RECT& pContentRect);
HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT& pDestRect, UINT uEdge, UINT uFlags);
HRESULT DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                      const RECT* pRect, HIMAGELIST himl, int iImageIndex);
BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId,
                                           int iStateId);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc);
HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                      COLORREF* pColor);
HRESULT GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                       int iPropId, int* piVal);
HRESULT GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                       LPWSTR pszBuff, int cchMaxBuffChars);
HRESULT GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                     BOOL* pfVal);
HRESULT GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                    int* piVal);
HRESULT GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                          int* piVal);
HRESULT GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                         POINT* pPoint);
HRESULT GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                     int iPropId, LOGFONTW* pFont);
HRESULT GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                     RECT* pRect);
HRESULT GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                        int iPropId, RECT* prc, TdxMargins* pMargins);
HRESULT GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                        TdxIntList* pIntList);
HRESULT GetThemePropertyOrigin(HTHEME hTheme, int iPartId, int iStateId,
                               int iPropId, TdxPropertyOrigin* pOrigin);
HRESULT SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList);
HRESULT GetThemeFilename(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                         LPWSTR pszThemeFileName, int cchMaxBuffChars);
COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId);
HBRUSH GetThemeSysColorBrush(HTHEME hTheme, int iColorId);
BOOL GetThemeSysBool(HTHEME hTheme, int iBoolId);
int GetThemeSysSize(HTHEME hTheme, int iSizeId);
HRESULT GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf);
HRESULT GetThemeSysString(HTHEME hTheme, int iStringId, LPWSTR pszStringBuff,
                          int cchMaxStringChars);
HRESULT GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue);
BOOL IsThemeActive();
BOOL IsAppThemed();
HTHEME GetWindowTheme(HWND hwnd);
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags);
BOOL IsThemeDialogTextureEnabled(HWND hwnd);
DWORD GetThemeAppProperties();
void SetThemeAppProperties(DWORD dwFlags);
HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars,
                            LPWSTR pszColorBuff, int cchMaxColorChars,
                            LPWSTR pszSizeBuff, int cchMaxSizeChars);
// The file-name part of a theme file path (what follows the last '\\', '/'
// or ':'), upper-cased as the system does: "LUNA.MSSTYLES".
std::wstring dxUpperFileName(const wchar_t* APath);
HRESULT GetThemeDocumentationProperty(LPCWSTR pszThemeName,
                                      LPCWSTR pszPropertyName,
                                      LPWSTR pszValueBuff, int cchMaxValChars);
HRESULT BufferedPaintInit();
HRESULT BufferedPaintUnInit();
HPAINTBUFFER BeginBufferedPaint(HDC hdcTarget, const RECT* prcTarget,
                                TdxBPBufferFormat dwFormat,
                                TdxBPPaintParams* pPaintParams, HDC* phdc);
HRESULT EndBufferedPaint(HPAINTBUFFER hBufferedPaint, BOOL fUpdateTarget);
HRESULT BufferedPaintSetAlpha(HPAINTBUFFER hBufferedPaint, const RECT* prc,
                              BYTE alpha);
