// The format controller's hidden window under real system messages.
//
// cxFormats.h comes before <windows.h>: the system headers turn names such
// as GetCurrencyFormat into macros.
#include "cxFormats.h"
//
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "DateLocaleFixture.h"
#include "Forms.h"

using date_test::GermanLocale;
using date_test::TListener;
using date_test::TPinnedLocale;
using date_test::TTimeListener;

namespace {

// Not the system's: a refresh from the system replaces it.
const char kPinnedShortDate[] = "yyyy|M|d";

void PinSettings() {
  FormatSettings.ShortDateFormat = kPinnedShortDate;
  cxFormatController()->FormatChanged();
}

// Broadcasts a setting change to every top-level window as the system's
// settings dialogs do: in UTF-16, so that an ANSI window receives the
// section converted.
void BroadcastSettingChange(const wchar_t* section) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                      reinterpret_cast<LPARAM>(section), SMTO_ABORTIFHUNG, 5000,
                      &result);
}

void BroadcastIntlChange() { BroadcastSettingChange(L"intl"); }

class cxFormatsWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Once an earlier test has made the application's window, it reloads
    // the settings on every broadcast too; only the controller is heard.
    if (Application) {
      appUpdates_ = Application->UpdateFormatSettings();
      Application->SetUpdateFormatSettings(false);
    }
  }
  void TearDown() override {
    cxFormatControllerApplication.HandleException = nullptr;
    if (Application) Application->SetUpdateFormatSettings(appUpdates_);
  }
  TPinnedLocale pin_{GermanLocale()};
  TcxFormatController* fc_ = cxFormatController();
  bool appUpdates_ = true;
};

TEST_F(cxFormatsWinTest, IntlBroadcastRefreshesTheFormats) {
  TListener listener;
  fc_->AddListener(&listener);
  HWND wnd = static_cast<HWND>(fc_->WindowHandle());
  ASSERT_TRUE(IsWindow(wnd));
  // A top-level window: message-only windows hear no broadcasts.
  EXPECT_EQ(GetAncestor(wnd, GA_PARENT), GetDesktopWindow());
  EXPECT_FALSE(IsWindowVisible(wnd));

  PinSettings();
  const String pinnedMask = fc_->StandardDateEditMask();
  const int before = listener.changes;
  BroadcastIntlChange();
  EXPECT_EQ(listener.changes, before + 1);

  TFormatSettings system;
  GetLocaleFormatSettings(Platform::UserDefaultLCID(), system);
  EXPECT_EQ(FormatSettings.ShortDateFormat, system.ShortDateFormat);
  TcxFormatController fresh;
  EXPECT_EQ(fc_->StandardDateEditMask(), fresh.StandardDateEditMask());
  EXPECT_EQ(fc_->RegExprDateTimeEditMask(), fresh.RegExprDateTimeEditMask());
  EXPECT_NE(fc_->StandardDateEditMask(), pinnedMask);

  fc_->RemoveListener(&listener);
  EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(cxFormatsWinTest, OtherSettingChangesAreIgnored) {
  TListener listener;
  fc_->AddListener(&listener);
  PinSettings();
  const int before = listener.changes;
  BroadcastSettingChange(L"Windows");
  HWND wnd = static_cast<HWND>(fc_->WindowHandle());
  SendMessageA(wnd, WM_SETTINGCHANGE, 0, 0);
  SendMessageA(wnd, WM_SETTINGCHANGE, 1, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(listener.changes, before);
  EXPECT_EQ(FormatSettings.ShortDateFormat, kPinnedShortDate);
  fc_->RemoveListener(&listener);
}

TEST_F(cxFormatsWinTest, WithoutListenersNoChangeIsHeard) {
  TListener listener;
  fc_->AddListener(&listener);
  fc_->RemoveListener(&listener);
  EXPECT_EQ(fc_->WindowHandle(), nullptr);
  PinSettings();
  BroadcastIntlChange();
  EXPECT_EQ(FormatSettings.ShortDateFormat, kPinnedShortDate);

  fc_->AddListener(&listener);
  const int before = listener.changes;
  BroadcastIntlChange();
  EXPECT_NE(FormatSettings.ShortDateFormat, kPinnedShortDate);
  EXPECT_EQ(listener.changes, before + 1);
  fc_->RemoveListener(&listener);
}

TEST_F(cxFormatsWinTest, TimeChangeReachesTimeListeners) {
  TListener plain;
  TTimeListener timed;
  fc_->AddListener(&plain);
  fc_->AddListener(&timed);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_TIMECHANGE, 0, 0, SMTO_ABORTIFHUNG,
                      5000, &result);
  EXPECT_EQ(timed.timeChanges, 1);
  EXPECT_EQ(plain.changes, 0);
  fc_->RemoveListener(&plain);
  fc_->RemoveListener(&timed);
}

// Exceptions cannot unwind through the system's frames: the window
// procedure keeps them all, handing ours to the application.
TEST_F(cxFormatsWinTest, ExceptionsStayInsideTheWindowProcedure) {
  String handled;
  cxFormatControllerApplication.HandleException = [&](const Exception& e) {
    handled = e.Message();
  };
  TListener listener;
  fc_->AddListener(&listener);
  HWND wnd = static_cast<HWND>(fc_->WindowHandle());

  listener.onChange = [] { throw EConvertError("listener failed"); };
  SendMessageA(wnd, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(handled, "listener failed");

  listener.onChange = [] { throw std::runtime_error("foreign"); };
  SendMessageA(wnd, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(listener.changes, 2);

  // The window still works afterwards.
  listener.onChange = nullptr;
  SendMessageA(wnd, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(listener.changes, 3);
  fc_->RemoveListener(&listener);
}

}  // namespace
