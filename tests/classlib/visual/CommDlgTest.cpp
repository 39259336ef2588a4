// The file dialogs: run for real, ended by the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "CommDlg.h"
#include "Forms.h"
#include "SysUtils.h"

namespace {

template <std::size_t N>
String Bytes(const char (&text)[N]) {
  return String(text, N - 1);
}

TEST(CommDlgTest, FilterTakesTheDialogsForm) {
  struct Case {
    String filter;
    String expected;
  };
  const Case cases[] = {
      {"", ""},
      {"Text|*.txt", Bytes("Text\0*.txt\0\0")},
      {"A|*.a;*.b|All|*.*", Bytes("A\0*.a;*.b\0All\0*.*\0\0")},
  };
  for (const Case& c : cases) EXPECT_EQ(FilterToDialog(c.filter), c.expected);
}

TEST(CommDlgTest, ChosenNamesBecomeFullPaths) {
  struct Case {
    String buffer;
    std::vector<String> files;
  };
  const Case cases[] = {
      {Bytes("c:\\dir\\one.txt\0\0"), {"c:\\dir\\one.txt"}},
      {Bytes("c:\\dir\0a.txt\0b.txt\0\0"),
       {"c:\\dir\\a.txt", "c:\\dir\\b.txt"}},
      {Bytes("\0\0"), {}},
      // No terminator at all: stops at the buffer's end.
      {Bytes("c:\\x"), {"c:\\x"}},
  };
  for (const Case& c : cases) {
    TStringList files;
    ParseDialogFiles(c.buffer.data(), c.buffer.size(), &files);
    ASSERT_EQ(files.Count(), static_cast<Integer>(c.files.size()));
    for (std::size_t i = 0; i < c.files.size(); ++i)
      EXPECT_EQ(files.Strings(static_cast<Integer>(i)), c.files[i]);
  }
}

// While alive, calls Act with the dialog's window once it shows; after
// TimeoutMs, closes any dialog of this thread and records that it had to.
class TDialogDriver {
 public:
  TDialogDriver(TCommonDialog* Dialog, std::function<void(HWND)> Act,
                DWORD TimeoutMs = 15000) {
    State() = {Dialog,    std::move(Act), ::GetTickCount(),
               TimeoutMs, false,          false};
    timer_ = ::SetTimer(nullptr, 0, 100, &TDialogDriver::Tick);
  }
  ~TDialogDriver() {
    ::KillTimer(nullptr, timer_);
    State() = {};
  }
  bool Acted() const { return State().acted; }
  bool TimedOut() const { return State().timedOut; }

 private:
  struct TState {
    TCommonDialog* dialog = nullptr;
    std::function<void(HWND)> act;
    DWORD start = 0;
    DWORD timeout = 0;
    bool acted = false;
    bool timedOut = false;
  };
  static TState& State() {
    static TState state;
    return state;
  }
  static BOOL CALLBACK CloseDialog(HWND Wnd, LPARAM) {
    char cls[32] = "";
    ::GetClassNameA(Wnd, cls, sizeof cls);
    if (std::string(cls) == "#32770")
      ::PostMessageA(Wnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TState& s = State();
    if (!s.dialog) return;
    if (::GetTickCount() - s.start > s.timeout) {
      s.timedOut = true;
      ::EnumThreadWindows(::GetCurrentThreadId(), &CloseDialog, 0);
      return;
    }
    HWND h = s.dialog->Handle();
    if (!s.acted && h && ::IsWindowVisible(h)) {
      s.acted = true;
      s.act(h);
    }
  }
  UINT_PTR timer_ = 0;
};

TEST(CommDlgTest, OpenDialogShowsAndIsCancelled) {
  TOpenDialog dialog(nullptr);
  dialog.SetTitle("Pick a place");
  dialog.SetFilter("Text files|*.txt|All files|*.*");
  dialog.SetFileName("unchanged.txt");
  int shown = 0, closed = 0;
  dialog.OnShow = TNotifyEvent::FromFunction([&](TObject*) { ++shown; });
  dialog.OnClose = TNotifyEvent::FromFunction([&](TObject*) { ++closed; });
  String title;
  bool executed;
  {
    TDialogDriver driver(&dialog, [&](HWND h) {
      char buf[64] = "";
      ::GetWindowTextA(h, buf, sizeof buf);
      title = buf;
      ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    });
    executed = dialog.Execute();
    ASSERT_FALSE(driver.TimedOut()) << "the dialog never showed";
    EXPECT_TRUE(driver.Acted());
  }
  EXPECT_FALSE(executed);
  EXPECT_EQ(title, "Pick a place");
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_EQ(dialog.FileName(), "unchanged.txt");
}

TEST(CommDlgTest, AcceptedDialogGivesTheChosenFile) {
  char dir[MAX_PATH] = "";
  ::GetTempPathA(sizeof dir, dir);
  const String path = IncludeTrailingPathDelimiter(dir) + "hf3b_pick.txt";
  ASSERT_TRUE(THandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr)));

  TOpenDialog dialog(nullptr);
  dialog.SetFilter("Text files|*.txt|All files|*.*");
  dialog.SetFilterIndex(2);
  dialog.SetInitialDir(dir);
  dialog.SetFileName(path);
  dialog.SetOptions(dialog.Options() + TOpenOptions{ofFileMustExist});
  int asked = 0;
  dialog.OnCanClose = TCloseQueryEvent::FromFunction([&](TObject*, bool& can) {
    ++asked;
    can = true;
  });
  bool executed;
  {
    TDialogDriver driver(
        &dialog, [](HWND h) { ::PostMessageA(h, WM_COMMAND, IDOK, 0); });
    executed = dialog.Execute();
    ASSERT_FALSE(driver.TimedOut()) << "the dialog did not close";
  }
  ::DeleteFileA(path.c_str());
  EXPECT_TRUE(executed);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(SameText(dialog.FileName(), path)) << dialog.FileName();
  ASSERT_EQ(dialog.Files()->Count(), 1);
  EXPECT_EQ(dialog.FilterIndex(), 2);
}

TEST(CommDlgTest, PictureDialogsOfferTheGraphicFormats) {
  TOpenPictureDialog open(nullptr);
  TSavePictureDialog save(nullptr);
  for (TOpenDialog* d :
       {static_cast<TOpenDialog*>(&open), static_cast<TOpenDialog*>(&save)}) {
    EXPECT_NE(d->Filter().find("*.bmp"), String::npos) << d->Filter();
  }
}

}  // namespace
