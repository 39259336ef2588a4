// A recording theme for the bar painters' tests, over the visual-styles
// stand-in: fixed part sizes and content margins, no theme colours, and a
// record of every part drawn with its state and theme.
#pragma once

#include <windows.h>

#include <map>
#include <utility>
#include <vector>

#include "../foundation/dxUxThemeStandIn.h"
#include "dxBar.h"

namespace bar_test {

// What the stand-in theme answers beyond opening classes.
struct ThemeParts {
  std::map<int, SIZE> sizes;               // by part
  RECT margins{2, 3, 4, 5};                // content margins of every part
  std::vector<std::pair<int, int>> drawn;  // part, state
  std::vector<HTHEME> drawnThemes;         // the theme of each
};
inline ThemeParts& Parts() {
  static ThemeParts parts;
  return parts;
}

inline HRESULT WINAPI PartSize(HTHEME, HDC, int part, int, const RECT*,
                               TdxThemeSize, SIZE* size) {
  auto it = Parts().sizes.find(part);
  *size = it == Parts().sizes.end() ? SIZE{0, 0} : it->second;
  return S_OK;
}
inline HRESULT WINAPI ContentRect(HTHEME, HDC, int, int, const RECT* box,
                                  RECT* content) {
  const RECT& m = Parts().margins;
  *content = {box->left + m.left, box->top + m.top, box->right - m.right,
              box->bottom - m.bottom};
  return S_OK;
}
inline HRESULT WINAPI DrawBackground(HTHEME theme, HDC, int part, int state,
                                     const RECT*, const RECT*) {
  Parts().drawn.emplace_back(part, state);
  Parts().drawnThemes.push_back(theme);
  return S_OK;
}
inline HRESULT WINAPI NoColour(HTHEME, int, int, int, COLORREF*) {
  return E_FAIL;
}

// Answers the painters' measurements and records their drawing from now
// on (the stand-in must be in place).
inline void RecordTheme() {
  Parts() = ThemeParts{};
  // Separator 6 wide, close button 13 x 11, combo button 17 wide, gripper
  // 5 wide, progress chunk 9 high, vertical separator 7 high, status
  // gripper 12 x 14; part numbers overlap between classes as they do in
  // the library, so the answers serve every class.
  Parts().sizes = {
      {5, {6, 6}}, {19, {13, 11}}, {1, {5, 17}}, {3, {12, 9}}, {6, {7, 7}}};
  TdxUxThemeEntries e = dxUxThemeEntries();
  e.GetThemePartSize = &PartSize;
  e.GetThemeBackgroundContentRect = &ContentRect;
  e.DrawThemeBackground = &DrawBackground;
  e.GetThemeColor = &NoColour;
  dxSetUxThemeEntries(e, true);
}

// How often the theme drew a part of a class in a state.
inline int DrawnCount(TdxThemedObjectType AType, int APart, int AState) {
  int count = 0;
  for (std::size_t i = 0; i < Parts().drawn.size(); ++i)
    if (Parts().drawnThemes[i] == OpenTheme(AType) &&
        Parts().drawn[i] == std::pair{APart, AState})
      ++count;
  return count;
}

}  // namespace bar_test
