// The visual-styles binding and the theme manager: on Wine's own library
// where it can show the behaviour, otherwise against a recording stand-in.
#include <gtest/gtest.h>

#include <memory>

#include "dxThemeManager.h"
#include "dxUxTheme.h"
#include "dxUxThemeStandIn.h"

namespace {

using Calls = std::vector<std::wstring>;

// ---------------------------------------------------------------------------
// The binding
// ---------------------------------------------------------------------------

TEST(UxThemeBindingTest, LoadsTheLibraryFromWindowsXPOn) {
  struct Case {
    Integer Major, Minor;
    bool Loads;
  };
  for (const Case& c :
       {Case{4, 90, false}, Case{5, 0, false}, Case{5, 1, true},
        Case{5, 2, true}, Case{6, 0, true}, Case{10, 0, true}}) {
    EXPECT_EQ(dxIsWindowsXPOrLaterVersion(c.Major, c.Minor), c.Loads)
        << c.Major << "." << c.Minor;
  }
}

TEST(UxThemeBindingTest, BindsWinesLibraryByName) {
  ASSERT_TRUE(IsWindowsXPOrLater());
  ASSERT_TRUE(IsThemeLibraryLoaded());
  const TdxUxThemeEntries& e = dxUxThemeEntries();
  EXPECT_NE(e.OpenThemeData, nullptr);
  EXPECT_NE(e.CloseThemeData, nullptr);
  EXPECT_NE(e.DrawThemeBackground, nullptr);
  EXPECT_NE(e.DrawThemeParentBackground, nullptr);
  EXPECT_NE(e.GetThemeColor, nullptr);
  EXPECT_NE(e.IsThemeActive, nullptr);
  EXPECT_NE(e.GetCurrentThemeName, nullptr);
  // The same addresses as the system's own lookup.
  HMODULE lib = GetModuleHandleA("uxtheme.dll");
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(e.IsThemeActive),
            reinterpret_cast<void*>(GetProcAddress(lib, "IsThemeActive")));
  EXPECT_EQ(reinterpret_cast<void*>(dxBindUxThemeEntries(lib).OpenThemeData),
            reinterpret_cast<void*>(e.OpenThemeData));
}

TEST(UxThemeBindingTest, MissingEntryPointsFailInsteadOfCrashing) {
  TdxUxThemeEntries saved = dxUxThemeEntries();
  bool loaded = IsThemeLibraryLoaded();
  dxSetUxThemeEntries(TdxUxThemeEntries{}, false);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(OpenThemeData(nullptr, L"Button"), nullptr);
  EXPECT_EQ(DrawThemeBackground(nullptr, nullptr, 1, 1, r, nullptr), E_NOTIMPL);
  EXPECT_EQ(DrawThemeParentBackground(nullptr, nullptr, &r), E_NOTIMPL);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_EQ(BeginBufferedPaint(nullptr, &r, dxBPBF_DIB, nullptr, nullptr),
            nullptr);
  SetThemeAppProperties(0);
  dxSetUxThemeEntries(saved, loaded);
}

TEST(UxThemeBindingTest, EightBitTextIsDrawnWide) {
  TUxThemeStandIn standIn;
  RECT r{0, 0, 100, 20};
  const String text = "Caf\xE9 42";
  EXPECT_EQ(DrawThemeText(nullptr, nullptr, 1, 1, text, -1, 0, 0, &r), S_OK);
  EXPECT_EQ(DrawThemeText(nullptr, nullptr, 1, 1, text, 4, 0, 0, &r), S_OK);
  EXPECT_EQ(DrawThemeText(nullptr, nullptr, 1, 1, text, 99, 0, 0, &r), S_OK);
  EXPECT_EQ(UxThemeRecord().Texts,
            (std::vector<std::wstring>{L"Caf\u00E9 42", L"Caf\u00E9",
                                       L"Caf\u00E9 42"}));
}

TEST(UxThemeBindingTest, UpperFileNameKeepsWhatFollowsTheLastSeparator) {
  struct Case {
    const wchar_t* Path;
    const wchar_t* Name;
  };
  for (const Case& c :
       {Case{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles",
             L"LUNA.MSSTYLES"},
        Case{L"themes/royale/Royale.msstyles", L"ROYALE.MSSTYLES"},
        Case{L"D:aero.msstyles", L"AERO.MSSTYLES"}, Case{L"a\\b/c:x.y", L"X.Y"},
        Case{L"plain", L"PLAIN"}, Case{L"C:\\Themes\\", L""}, Case{L"", L""}}) {
    EXPECT_EQ(dxUpperFileName(c.Path), c.Name)
        << String(c.Path, c.Path + wcslen(c.Path));
  }
}

// ---------------------------------------------------------------------------
// Without an active theme
// ---------------------------------------------------------------------------

TEST(ThemeManagerTest, WithoutAnActiveThemeNothingIsThemed) {
  TUxThemeStandIn standIn;
  standIn.SetActive(false);
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_FALSE(AreVisualStylesAvailable(totButton));
  EXPECT_FALSE(AreVisualStylesAvailable({totButton, totEdit}));
  EXPECT_EQ(OpenTheme(totButton), nullptr);
  EXPECT_EQ(CloseTheme(totButton), 1);
  EXPECT_FALSE(IsStandardTheme());
  EXPECT_TRUE(UxThemeRecord().Opened.empty());
}

TEST(ThemeManagerTest, WithoutTheLibraryNothingIsThemed) {
  TUxThemeStandIn standIn;
  TdxUxThemeEntries withStandIn = dxUxThemeEntries();
  dxSetUxThemeEntries(withStandIn, false);
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_FALSE(AreVisualStylesAvailable(totScrollBar));
  EXPECT_EQ(OpenTheme(totScrollBar), nullptr);
  EXPECT_EQ(CloseTheme(totScrollBar), 1);
  EXPECT_FALSE(IsStandardTheme());
  dxSetUxThemeEntries(withStandIn, true);
  EXPECT_TRUE(UxThemeRecord().Opened.empty());
}

// ---------------------------------------------------------------------------
// The cache
// ---------------------------------------------------------------------------

TEST(ThemeManagerTest, EmptySetAsksOnlyTheActiveFlag) {
  TUxThemeStandIn standIn;
  EXPECT_TRUE(AreVisualStylesAvailable());
  EXPECT_TRUE(UxThemeRecord().Opened.empty());
}

TEST(ThemeManagerTest, OpensEachTypeOnceWithItsClassName) {
  TUxThemeStandIn standIn;
  HTHEME button = OpenTheme(totButton);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(OpenTheme(totButton), button);
  EXPECT_TRUE(AreVisualStylesAvailable(totButton));
  HTHEME tree = OpenTheme(totTreeview);
  EXPECT_NE(tree, button);
  EXPECT_EQ(UxThemeRecord().Opened, (Calls{L"Button", L"TreeView"}));
  // Themes are opened for no window: the handle is shared.
  EXPECT_EQ(UxThemeRecord().OpenWindows[0], nullptr);
}

TEST(ThemeManagerTest, SetIsAvailableOnlyWhenEveryMemberOpens) {
  TUxThemeStandIn standIn;
  UxThemeRecord().MissingClasses = {L"Clock"};
  EXPECT_FALSE(AreVisualStylesAvailable({totEdit, totClock, totButton}));
  // Ordinal order, stopping at the first failure.
  EXPECT_EQ(UxThemeRecord().Opened, (Calls{L"Button", L"Clock"}));
  EXPECT_TRUE(AreVisualStylesAvailable({totEdit, totButton}));
  EXPECT_FALSE(AreVisualStylesAvailable(totClock));
  // A failed open is tried again on the next request.
  EXPECT_EQ(UxThemeRecord().Opened,
            (Calls{L"Button", L"Clock", L"Edit", L"Clock"}));
}

TEST(ThemeManagerTest, AnotherClassNameReplacesTheCachedHandle) {
  TUxThemeStandIn standIn;
  HTHEME first = OpenTheme(totHeader);
  HTHEME second = OpenTheme(totHeader, u"ListView");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(UxThemeRecord().Closed, std::vector<HTHEME>{first});
  // Without a name, or with the same name in another case, the new handle
  // is the cached one.
  EXPECT_EQ(OpenTheme(totHeader), second);
  EXPECT_EQ(OpenTheme(totHeader, u"LISTVIEW"), second);
  EXPECT_EQ(UxThemeRecord().Opened, (Calls{L"Header", L"ListView"}));
}

TEST(ThemeManagerTest, FailedOpenForgetsTheClassName) {
  TUxThemeStandIn standIn;
  UxThemeRecord().MissingClasses = {L"Gone"};
  OpenTheme(totToolBar);
  EXPECT_EQ(OpenTheme(totToolBar, u"Gone"), nullptr);
  // The next plain request goes back to the type's own class.
  EXPECT_NE(OpenTheme(totToolBar), nullptr);
  EXPECT_EQ(UxThemeRecord().Opened, (Calls{L"ToolBar", L"Gone", L"ToolBar"}));
}

TEST(ThemeManagerTest, CloseThemeAnswersAndForgets) {
  TUxThemeStandIn standIn;
  EXPECT_EQ(CloseTheme(totSpin), 0);  // nothing open
  UxThemeRecord().CloseResult = E_HANDLE;
  HTHEME spin = OpenTheme(totSpin, u"Button");
  EXPECT_EQ(CloseTheme(totSpin), E_HANDLE);
  EXPECT_EQ(UxThemeRecord().Closed, std::vector<HTHEME>{spin});
  // The class name went with the handle.
  OpenTheme(totSpin);
  EXPECT_EQ(UxThemeRecord().Opened, (Calls{L"Button", L"Spin"}));
}

TEST(ThemeManagerTest, ThemeChangeClosesEveryHandleButKeepsClassNames) {
  TUxThemeStandIn standIn;
  HTHEME tab = OpenTheme(totTab, u"Button");
  HTHEME edit = OpenTheme(totEdit);
  SendThemeChanged();
  EXPECT_EQ(UxThemeRecord().Closed.size(), 2u);
  EXPECT_EQ(std::set<HTHEME>(UxThemeRecord().Closed.begin(),
                             UxThemeRecord().Closed.end()),
            (std::set<HTHEME>{tab, edit}));
  HTHEME fresh = OpenTheme(totTab);
  EXPECT_NE(fresh, nullptr);
  EXPECT_NE(fresh, tab);
  EXPECT_EQ(UxThemeRecord().Opened, (Calls{L"Button", L"Edit", L"Button"}));
}

TEST(ThemeManagerTest, ThemeChangeReadsTheActiveFlagAgain) {
  TUxThemeStandIn standIn;
  ASSERT_NE(OpenTheme(totButton), nullptr);
  standIn.SetActive(false);
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_EQ(OpenTheme(totButton), nullptr);
  standIn.SetActive(true);
  EXPECT_TRUE(AreVisualStylesAvailable(totButton));
}

TEST(ThemeManagerTest, StandardThemeIsLunaOrRoyale) {
  struct Case {
    const wchar_t* File;
    HRESULT Result;
    bool Standard;
  };
  TUxThemeStandIn standIn;
  for (const Case& c :
       {Case{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", S_OK,
             true},
        Case{L"C:\\WINDOWS\\Resources\\Themes\\Royale\\ROYALE.MSSTYLES", S_OK,
             true},
        Case{L"luna.msstyles", S_OK, true},
        Case{L"C:\\Themes\\Luna\\Aero.msstyles", S_OK, false},
        Case{L"C:\\Themes\\Luna.msstyles.bak", S_OK, false},
        Case{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", E_FAIL,
             false}}) {
    UxThemeRecord().ThemeFile = c.File;
    UxThemeRecord().NameResult = c.Result;
    EXPECT_EQ(IsStandardTheme(), c.Standard)
        << String(c.File, c.File + wcslen(c.File));
  }
  standIn.SetActive(false);
  UxThemeRecord().ThemeFile = L"Luna.msstyles";
  UxThemeRecord().NameResult = S_OK;
  EXPECT_FALSE(IsStandardTheme());
}

// ---------------------------------------------------------------------------
// Subscribers
// ---------------------------------------------------------------------------

struct TCounter {
  int Calls = 0;
  void Changed() { ++Calls; }
};

TEST(ThemeNotificatorTest, EverySubscriberHearsEachChangeOnce) {
  TCounter a, b, gone;
  TdxThemeChangedNotificator first;
  first.OnThemeChanged = TdxThemeChangedEvent(&a, &TCounter::Changed);
  TdxThemeChangedNotificator silent;  // no handler: skipped
  auto second = std::make_unique<TdxThemeChangedNotificator>();
  second->OnThemeChanged = TdxThemeChangedEvent(&b, &TCounter::Changed);
  {
    TdxThemeChangedNotificator destroyed;
    destroyed.OnThemeChanged = TdxThemeChangedEvent(&gone, &TCounter::Changed);
  }
  SendThemeChanged();  // Wine's own library
  EXPECT_EQ(a.Calls, 1);
  EXPECT_EQ(b.Calls, 1);
  second.reset();
  SendThemeChanged();
  EXPECT_EQ(a.Calls, 2);
  EXPECT_EQ(b.Calls, 1);
  EXPECT_EQ(gone.Calls, 0);
}

TEST(ThemeNotificatorTest, SubscribersAreCalledAfterTheCacheIsClosed) {
  TUxThemeStandIn standIn;
  ASSERT_NE(OpenTheme(totButton), nullptr);
  HTHEME seen = reinterpret_cast<HTHEME>(1);
  size_t closedBefore = 0;
  TdxThemeChangedNotificator n;
  n.OnThemeChanged = TdxThemeChangedEvent::FromFunction([&] {
    closedBefore = UxThemeRecord().Closed.size();
    seen = OpenTheme(totButton);
  });
  SendThemeChanged();
  EXPECT_EQ(closedBefore, 1u);
  // A subscriber that repaints gets a freshly opened handle.
  EXPECT_NE(seen, nullptr);
  EXPECT_EQ(UxThemeRecord().Opened, (Calls{L"Button", L"Button"}));
}

TEST(ThemeNotificatorTest, ASubscriberMayFreeAnotherWhileTheyAreCalled) {
  TCounter later;
  std::unique_ptr<TdxThemeChangedNotificator> victim;
  // The killer is registered first, so it runs before its victim.
  TdxThemeChangedNotificator killer;
  killer.OnThemeChanged =
      TdxThemeChangedEvent::FromFunction([&] { victim.reset(); });
  victim = std::make_unique<TdxThemeChangedNotificator>();
  victim->OnThemeChanged = TdxThemeChangedEvent(&later, &TCounter::Changed);
  SendThemeChanged();
  EXPECT_EQ(victim, nullptr);
  EXPECT_EQ(later.Calls, 0);
}

// ---------------------------------------------------------------------------
// Wine's own library
// ---------------------------------------------------------------------------

TEST(ThemeManagerWineTest, CacheFollowsTheRealLibrary) {
  const bool active = dxUxThemeEntries().IsThemeActive() != FALSE;
  SendThemeChanged();
  EXPECT_EQ(AreVisualStylesAvailable(), active);
  HTHEME button = OpenTheme(totButton);
  if (!active) {
    EXPECT_EQ(button, nullptr);
    EXPECT_EQ(CloseTheme(totButton), 1);
    return;
  }
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(OpenTheme(totButton), button);
  SendThemeChanged();
  HTHEME again = OpenTheme(totButton);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(CloseTheme(totButton), S_OK);
}

}  // namespace
