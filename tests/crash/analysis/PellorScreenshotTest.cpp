// Screen capture with real windows (Xvfb under Wine): the whole screen,
// only the program's own windows with white around them and where another
// process's window covers them, the cursor, and bitmap files of other depths
// read back as 32-bit pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Handles.h"
#include "PellorScreenshot.h"
#include "UiDriverWin.h"

namespace {

struct Rgb {
  Byte r, g, b;
  bool operator==(const Rgb& o) const {
    return r == o.r && g == o.g && b == o.b;
  }
};

const Rgb kWhite{255, 255, 255};
const Rgb kRed{220, 20, 30};
const Rgb kGreen{10, 200, 40};

Rgb PixelAt(INVBitmap& bmp, int x, int y) {
  TINVBitmap& t = static_cast<TINVBitmap&>(bmp);
  GdiFlush();
  const Byte* p =
      t.Pixels() + (std::size_t(t.Height() - 1 - y) * t.Width() + x) * 4;
  return Rgb{p[2], p[1], p[0]};
}

LRESULT CALLBACK SolidProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT r;
    GetClientRect(wnd, &r);
    const COLORREF c =
        static_cast<COLORREF>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    const TBrushHandle brush(CreateSolidBrush(c));
    FillRect(dc, &r, brush.get());
    EndPaint(wnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcA(wnd, msg, wp, lp);
}

const char* SolidClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = SolidProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "PellorScreenshotTestSolid";
    RegisterClassA(&wc);
    return "PellorScreenshotTestSolid";
  }();
  return name;
}

// A borderless top-level window of one colour.
class SolidWindow {
 public:
  SolidWindow(int x, int y, int w, int h, Rgb colour) {
    wnd_ =
        CreateWindowExA(WS_EX_TOPMOST, SolidClass(), "", WS_POPUP, x, y, w, h,
                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(wnd_, GWLP_USERDATA,
                      LONG_PTR(RGB(colour.r, colour.g, colour.b)));
    ShowWindow(wnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd_);
  }
  ~SolidWindow() { DestroyWindow(wnd_); }
  SolidWindow(const SolidWindow&) = delete;
  SolidWindow& operator=(const SolidWindow&) = delete;
  HWND Handle() const { return wnd_; }

 private:
  HWND wnd_;
};

// Windows reach the X server asynchronously: capture until the probe shows
// what the window painted; fails the test when it does not in time.
PNVBitmap CaptureWhenShown(bool own, int probeX, int probeY, Rgb want) {
  PNVBitmap shot;
  ui_test::WaitUntil(
      [&] {
        shot = CaptureScreen(own);
        return shot && probeX < shot->Width() && probeY < shot->Height() &&
               PixelAt(*shot, probeX, probeY) == want;
      },
      "the window to show on the screen");
  return shot;
}

class PellorScreenshot : public ::testing::Test {
 protected:
  void SetUp() override {
    // Keep the cursor out of the pictures unless a test wants it.
    ui_test::MoveMouseTo(
        {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
  }
  void TearDown() override { ui_test::PumpUntilIdle(); }
  ui_test::TCursorPosGuard pointer;
};

TEST_F(PellorScreenshot, WholeScreenShowsTheWindowWhereItIs) {
  SolidWindow w(60, 70, 50, 40, kRed);
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  PNVBitmap shot = CaptureWhenShown(false, 60 - vx + 25, 70 - vy + 20, kRed);
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->Width(), GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(shot->Height(), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x)
      ASSERT_EQ(PixelAt(*shot, 60 - vx + x, 70 - vy + y), kRed)
          << x << "," << y;
}

TEST_F(PellorScreenshot, OwnWindowsOnlyIsTheirBoundingBoxWithWhiteAround) {
  SolidWindow red(100, 100, 80, 60, kRed);
  SolidWindow green(300, 200, 50, 40, kGreen);
  PNVBitmap shot = CaptureWhenShown(true, 225, 120, kGreen);
  ASSERT_TRUE(shot);
  ASSERT_EQ(shot->Width(), 250);
  ASSERT_EQ(shot->Height(), 140);
  for (int y = 0; y < 140; ++y)
    for (int x = 0; x < 250; ++x) {
      Rgb want = kWhite;
      if (x < 80 && y < 60) want = kRed;
      if (x >= 200 && y >= 100) want = kGreen;
      ASSERT_EQ(PixelAt(*shot, x, y), want) << x << "," << y;
    }
}

TEST_F(PellorScreenshot, WindowPastTheScreenEdgeIsCutAtTheEdge) {
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  SolidWindow w(vx - 40, vy - 30, 100, 80, kRed);
  PNVBitmap shot = CaptureWhenShown(true, 10, 10, kRed);
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->Width(), 60);
  EXPECT_EQ(shot->Height(), 50);
  EXPECT_EQ(PixelAt(*shot, 0, 0), kRed);
  EXPECT_EQ(PixelAt(*shot, 59, 49), kRed);
}

TEST_F(PellorScreenshot, NoVisibleOwnWindowGivesNone) {
  SolidWindow hidden(100, 100, 50, 50, kRed);
  SolidWindow minimized(200, 100, 50, 50, kGreen);
  ShowWindow(hidden.Handle(), SW_HIDE);
  ShowWindow(minimized.Handle(), SW_SHOWMINNOACTIVE);
  ui_test::Pump();
  EXPECT_FALSE(CaptureScreen(true));
  // A visible own window outside the captured rectangle counts as none too.
  ShowWindow(hidden.Handle(), SW_SHOWNOACTIVATE);
  ui_test::Pump();
  const TWindowDC screen(nullptr);
  EXPECT_FALSE(CaptureDcToBitmap(screen.get(), 400, 400, 50, 50, false, true));
}

TEST_F(PellorScreenshot, CopiesTheRequestedRectangleOfAnyDc) {
  PNVBitmap source = NewNVBitmap(20, 10);
  ASSERT_TRUE(source);
  TINVBitmap& s = static_cast<TINVBitmap&>(*source);
  for (int i = 0; i < 20 * 10; ++i) {
    s.Pixels()[i * 4] = Byte(i);  // blue: the position, bottom-up
  }
  PNVBitmap copy = CaptureDcToBitmap(s.Dc(), 5, 2, 7, 3, false, false);
  ASSERT_TRUE(copy);
  ASSERT_EQ(copy->Width(), 7);
  ASSERT_EQ(copy->Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(PixelAt(*copy, x, y), PixelAt(*source, 5 + x, 2 + y));
  EXPECT_FALSE(CaptureDcToBitmap(s.Dc(), 0, 0, 0, 5, false, false));
  EXPECT_FALSE(CaptureDcToBitmap(s.Dc(), 0, 0, INT_MAX, INT_MAX, false, false));
}

// ---------------------------------------------------------------------------
// A window of another process over ours

// The child side: this test program started again, running only the
// disabled test below, shows a window where the parent asks and keeps it
// until the parent is done. The environment variable carries the place and
// the names of the two events.
bool Signalled(HANDLE Object) {
  return WaitForSingleObject(Object, 0) == WAIT_OBJECT_0;
}

const char* const kForeignEnv = "PELLOR_SCREENSHOT_FOREIGN";
const Rgb kBlue{20, 40, 210};

TEST(PellorScreenshotForeign, DISABLED_ShowWindowForParent) {
  char request[256] = {};
  if (!GetEnvironmentVariableA(kForeignEnv, request, sizeof request))
    GTEST_SKIP() << "only run by ForeignWindowOverOursIsWhite";
  int x = 0, y = 0, w = 0, h = 0;
  char ready[100] = {}, done[100] = {};
  ASSERT_EQ(6, std::sscanf(request, "%d %d %d %d %99s %99s", &x, &y, &w, &h,
                           ready, done));
  const THandle readyEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, ready));
  const THandle doneEvent(OpenEventA(SYNCHRONIZE, FALSE, done));
  ASSERT_TRUE(readyEvent && doneEvent);
  {
    SolidWindow window(x, y, w, h, kBlue);
    SetWindowPos(window.Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ui_test::Pump();
    SetEvent(readyEvent.get());
    // The window keeps being painted until the parent is done.
    ui_test::WaitUntil([&] { return Signalled(doneEvent.get()); },
                       "the parent's end", 60000);
  }
}

// Starts the child and ends it (by its event, or at last by force) when
// the test is over, whatever happened.
class ForeignWindow {
 public:
  ForeignWindow(int x, int y, int w, int h) {
    const String tag = std::to_string(GetCurrentProcessId()) + "_" +
                       std::to_string(GetTickCount());
    const String ready = "PellorShotReady" + tag;
    const String done = "PellorShotDone" + tag;
    ready_.reset(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    done_.reset(CreateEventA(nullptr, TRUE, FALSE, done.c_str()));
    if (!ready_ || !done_) return;
    const String request = std::to_string(x) + " " + std::to_string(y) + " " +
                           std::to_string(w) + " " + std::to_string(h) + " " +
                           ready + " " + done;
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    String command = String("\"") + exe +
                     "\" --gtest_also_run_disabled_tests "
                     "--gtest_filter=PellorScreenshotForeign."
                     "DISABLED_ShowWindowForParent";
    SetEnvironmentVariableA(kForeignEnv, request.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                       nullptr, nullptr, &si, &started)) {
      const THandle thread(started.hThread);
      process_.reset(started.hProcess);
    }
    SetEnvironmentVariableA(kForeignEnv, nullptr);
  }
  ~ForeignWindow() {
    if (done_) SetEvent(done_.get());
    if (process_ && WaitForSingleObject(process_.get(), 30000) != WAIT_OBJECT_0)
      TerminateProcess(process_.get(), 1);
  }
  ForeignWindow(const ForeignWindow&) = delete;
  ForeignWindow& operator=(const ForeignWindow&) = delete;

  // Whether the child shows its window; false when it ended or timed out.
  bool WaitShown() {
    if (!process_) return false;
    ui_test::WaitUntil(
        [this] { return Signalled(ready_.get()) || Signalled(process_.get()); },
        "the second process's window or its end", 120000);
    return Signalled(ready_.get());
  }

 private:
  THandle ready_;
  THandle done_;
  THandle process_;
};

TEST_F(PellorScreenshot, ForeignWindowOverOursIsWhite) {
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  // Ours at (100, 100) 120 x 80; the other process's covers its lower right
  // part and reaches past it.
  SolidWindow ours(100, 100, 120, 80, kRed);
  ForeignWindow foreign(160, 140, 100, 100);
  ASSERT_TRUE(foreign.WaitShown()) << "the second process showed no window";
  // The whole screen shows the foreign window over ours...
  PNVBitmap screen = CaptureWhenShown(false, 190 - vx, 170 - vy, kBlue);
  ASSERT_TRUE(screen);
  ASSERT_EQ(PixelAt(*screen, 190 - vx, 170 - vy), kBlue);
  ASSERT_EQ(PixelAt(*screen, 110 - vx, 110 - vy), kRed);
  // ...and our windows only are our window's box, white where it is
  // covered: nothing of the other process leaks into the picture.
  PNVBitmap shot = CaptureWhenShown(true, 10, 10, kRed);
  ASSERT_TRUE(shot);
  ASSERT_EQ(shot->Width(), 120);
  ASSERT_EQ(shot->Height(), 80);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool covered = x >= 60 && y >= 40;
      ASSERT_EQ(PixelAt(*shot, x, y), covered ? kWhite : kRed) << x << "," << y;
    }
}

// Both ways of finding the cursor draw it: with GetCursorInfo and the way
// of systems that lack it.
TEST_F(PellorScreenshot, CursorIsDrawnIntoThePicture) {
  SolidWindow w(100, 100, 100, 100, kGreen);
  CaptureWhenShown(true, 50, 50, kGreen);
  auto countForeign = [](INVBitmap& shot, Rgb ground) {
    int n = 0;
    for (int y = 50; y < 70; ++y)
      for (int x = 45; x < 65; ++x)
        if (!(PixelAt(shot, x, y) == ground)) ++n;
    return n;
  };
  // The cursor shown is the one the foreground thread set. Other programs
  // of the session, and the display catching up with earlier moves, may
  // take the front or the pointer for a moment: both are put back and the
  // pictures taken again until they show the cursor, within the deadline.
  int inShot = 0;
  int drawn[2] = {};
  bool drew[2] = {};
  const bool shown = ui_test::WaitUntil(
      [&] {
        if (GetForegroundWindow() != w.Handle())
          SetForegroundWindow(w.Handle());
        POINT at{};
        GetCursorPos(&at);
        if (at.x != 150 || at.y != 150) ui_test::MoveMouseTo({150, 150});
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        PNVBitmap shot = CaptureScreen(true);
        inShot = shot ? countForeign(*shot, kGreen) : -1;
        for (bool viaCursorInfo : {true, false}) {
          PNVBitmap canvas = NewNVBitmap(100, 100);
          if (!canvas) return false;
          TINVBitmap& c = static_cast<TINVBitmap&>(*canvas);
          std::memset(c.Pixels(), 0xFF, 100 * 100 * 4);
          drew[viaCursorInfo] =
              pellor_detail::DrawCursor(c.Dc(), 100, 100, viaCursorInfo);
          drawn[viaCursorInfo] = countForeign(*canvas, kWhite);
        }
        return inShot > 10 && drew[0] && drew[1] && drawn[0] > 10 &&
               drawn[1] > 10;
      },
      "the cursor in the pictures");
  EXPECT_TRUE(shown);
  EXPECT_GT(inShot, 10);
  for (bool viaCursorInfo : {true, false}) {
    EXPECT_TRUE(drew[viaCursorInfo]) << viaCursorInfo;
    EXPECT_GT(drawn[viaCursorInfo], 10) << viaCursorInfo;
  }
}

// ---------------------------------------------------------------------------
// Bitmap files

class TempFiles {
 public:
  ~TempFiles() {
    for (const String& f : files_) DeleteFileA(f.c_str());
  }
  String Write(const String& name, const String& bytes) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const String path = String(dir) + "pshot" +
                        std::to_string(GetCurrentProcessId()) + "_" + name;
    files_.push_back(path);
    const THandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    DWORD done = 0;
    WriteFile(h.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr);
    return path;
  }

 private:
  std::vector<String> files_;
};

void Put(String& s, Cardinal v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += char(v >> (8 * i));
}

// A BMP file with a 40-byte info header; rows as given (padding added).
String BmpFile(int w, int h, int bits, const String& palette,
               const std::vector<String>& rows) {
  String data;
  for (String r : rows) {
    while (r.size() % 4) r += '\0';
    data += r;
  }
  String s = "BM";
  const Cardinal offset = 54 + Cardinal(palette.size());
  Put(s, offset + Cardinal(data.size()), 4);
  Put(s, 0, 4);
  Put(s, offset, 4);
  Put(s, 40, 4);
  Put(s, Cardinal(w), 4);
  Put(s, Cardinal(h), 4);
  Put(s, 1, 2);
  Put(s, Cardinal(bits), 2);
  Put(s, 0, 4);
  Put(s, Cardinal(data.size()), 4);
  Put(s, 2835, 4);
  Put(s, 2835, 4);
  Put(s, Cardinal(palette.size() / 4), 4);
  Put(s, 0, 4);
  return s + palette + data;
}

TEST(PellorScreenshotFiles, EightBitFileLoadsAsTheSamePixels) {
  // Palette entries are blue, green, red, 0.
  const String palette(
      "\x00\x00\xFF\x00"  // red
      "\x00\xFF\x00\x00"  // green
      "\xFF\x00\x00\x00"  // blue
      "\x80\x80\x80\x00",
      16);
  const Rgb colours[] = {
      {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}};
  // 5 x 3, bottom-up: the last row given is the top one.
  const int index[3][5] = {{0, 1, 2, 3, 0}, {1, 1, 3, 3, 2}, {3, 2, 1, 0, 0}};
  std::vector<String> rows;
  for (int y = 2; y >= 0; --y) {
    String r;
    for (int x = 0; x < 5; ++x) r += char(index[y][x]);
    rows.push_back(r);
  }
  TempFiles files;
  PNVBitmap bmp =
      LoadBitmapFile(files.Write("8bit.bmp", BmpFile(5, 3, 8, palette, rows)));
  ASSERT_TRUE(bmp);
  ASSERT_EQ(bmp->Width(), 5);
  ASSERT_EQ(bmp->Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(PixelAt(*bmp, x, y), colours[index[y][x]]) << x << "," << y;
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(PellorScreenshotFiles, TopDownFileLoadsUpright) {
  // Wine's file loader gives top-down files black pixels.
  if (UnderWine()) GTEST_SKIP() << "the system loader drops top-down pixels";
  // 24 bits, negative height: the first row given is the top one.
  std::vector<String> rows = {String("\x01\x02\x03\x04\x05\x06", 6),
                              String("\x07\x08\x09\x0A\x0B\x0C", 6)};
  TempFiles files;
  PNVBitmap bmp =
      LoadBitmapFile(files.Write("topdown.bmp", BmpFile(2, -2, 24, "", rows)));
  ASSERT_TRUE(bmp);
  ASSERT_EQ(bmp->Height(), 2);
  EXPECT_EQ(PixelAt(*bmp, 0, 0), (Rgb{3, 2, 1}));
  EXPECT_EQ(PixelAt(*bmp, 1, 1), (Rgb{12, 11, 10}));
}

TEST(PellorScreenshotFiles, SavedScreenshotLoadsBackUnchanged) {
  PNVBitmap shot = NewNVBitmap(13, 7);
  ASSERT_TRUE(shot);
  TINVBitmap& s = static_cast<TINVBitmap&>(*shot);
  for (int i = 0; i < 13 * 7 * 4; ++i)
    s.Pixels()[i] = (i % 4 == 3) ? 0 : Byte(i * 5);
  TempFiles files;
  const String file = files.Write("saved.bmp", "");
  ASSERT_TRUE(shot->WriteBmpFile(file));
  PNVBitmap back = LoadBitmapFile(file);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->AsBmp(), shot->AsBmp());
}

TEST(PellorScreenshotFiles, BadFilesGiveNone) {
  const std::vector<String> rows(4, String(12, '\x55'));
  const String good = BmpFile(4, 4, 24, "", rows);
  auto patched = [&](std::size_t at, Cardinal v) {
    String s = good;
    for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i));
    return s;
  };
  struct Case {
    const char* name;
    String bytes;
  } cases[] = {
      {"empty", ""},
      {"header only", good.substr(0, 20)},
      {"truncated pixels", good.substr(0, good.size() - 10)},
      {"not a bitmap", "GIF89a" + good.substr(6)},
      {"zero width", patched(18, 0)},
      {"zero height", patched(22, 0)},
      {"absurd width", patched(18, 0x7FFFFFFF)},
      {"absurd height", patched(22, 0x80000001u)},
      {"huge but consistent header", patched(18, 100000)},
      {"bad depth", patched(26, 1 | 0x63 << 16)},
  };
  TempFiles files;
  int n = 0;
  for (const Case& c : cases) {
    const String file = files.Write("bad" + std::to_string(n++), c.bytes);
    EXPECT_FALSE(LoadBitmapFile(file)) << c.name;
  }
  EXPECT_FALSE(LoadBitmapFile(files.Write("missing-dir", "") + "\\x.bmp"));
  EXPECT_TRUE(LoadBitmapFile(files.Write("good.bmp", good)));
}

}  // namespace
