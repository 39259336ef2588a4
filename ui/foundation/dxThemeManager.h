// The theme manager: one visual-styles handle per kind of themed object,
// opened on first use and shared by every painter, and the subscribers that
// hear of theme changes. A hidden window closes every cached handle when the
// theme changes and then calls the subscribers.
#pragma once

#include "Classes.h"
#include "TypInfo.h"
//
#include "dxUxTheme.h"

enum TdxThemedObjectType : Byte {
  totButton,
  totClock,
  totComboBox,
  totEdit,
  totExplorerBar,
  totHeader,
  totListBox,
  totListView,
  totMenu,
  totPage,
  totProgress,
  totRebar,
  totScrollBar,
  totSpin,
  totStartPanel,
  totStatus,
  totTab,
  totTaskBand,
  totTaskBar,
  totToolBar,
  totToolTip,
  totTrackBar,
  totTrayNotify,
  totTreeview,
  totWindow
};
constexpr Integer dxThemedObjectTypeCount = totWindow + 1;
using TdxThemedObjectTypes = TSet<TdxThemedObjectType>;

// The theme class opened for a type when no other name was asked for.
const WideString& dxThemedObjectDefaultClassName(TdxThemedObjectType AType);

// False unless the library is loaded and a theme is active; for a non-empty
// set, True only when the theme of every member opens.
bool AreVisualStylesAvailable(TdxThemedObjectTypes ATypes = {});
bool AreVisualStylesAvailable(TdxThemedObjectType AType);

// The cached handle of the type, opened with AClassName (or the name last
// opened, or the type's default) when needed; 0 without visual styles or
// when the class does not open. A different class name than the cached
// one's closes the cached handle first.
HTHEME OpenTheme(TdxThemedObjectType AType,
                 const WideString& AClassName = WideString());
// 1 without visual styles, 0 for a type without an open handle, else the
// result of closing it (the remembered class name is forgotten too).
HRESULT CloseTheme(TdxThemedObjectType AType);
// Closes every open handle; the remembered class names stay.
void CloseAllThemes();
// True when visual styles are available and the current theme file is one
// of the two standard styles of Windows XP.
bool IsStandardTheme();

// The hidden window that hears of theme changes; null without the library.
HWND dxThemeChangedWindow();

using TdxThemeChangedEvent = TClosure<void()>;

// A subscriber to theme changes: OnThemeChanged runs after every change,
// once the cached handles are closed.
class TdxThemeChangedNotificator : public TObject {
  VARNEL_CLASS(TdxThemeChangedNotificator, TObject)
 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;

  TdxThemeChangedEvent OnThemeChanged;
};
