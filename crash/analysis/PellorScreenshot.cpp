#include "PellorScreenshot.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "Handles.h"

namespace {

bool IsShownWindow(HWND wnd, RECT& rect) {
  if (!IsWindowVisible(wnd) || IsIconic(wnd)) return false;
  if (!GetWindowRect(wnd, &rect)) return false;
  return rect.right > rect.left || rect.bottom > rect.top;
}

bool IsOwnWindow(HWND wnd) {
  DWORD process = 0;
  GetWindowThreadProcessId(wnd, &process);
  return process == GetCurrentProcessId();
}

struct TBoundsSearch {
  Integer shiftX, shiftY;
  RECT box;
  bool found;
};

BOOL CALLBACK CollectBounds(HWND wnd, LPARAM param) {
  TBoundsSearch& s = *reinterpret_cast<TBoundsSearch*>(param);
  RECT r;
  if (!IsOwnWindow(wnd) || !IsShownWindow(wnd, r)) return TRUE;
  OffsetRect(&r, -s.shiftX, -s.shiftY);
  s.box.left = std::min(s.box.left, r.left);
  s.box.top = std::min(s.box.top, r.top);
  s.box.right = std::max(s.box.right, r.right);
  s.box.bottom = std::max(s.box.bottom, r.bottom);
  s.found = true;
  return TRUE;
}

struct TRegionBuild {
  Integer shiftX, shiftY;
  HRGN clip;
  bool failed;
};

// What shows of one own window: its rectangle less every shown window above
// it, whatever process that belongs to.
BOOL CALLBACK CollectRegion(HWND wnd, LPARAM param) {
  TRegionBuild& s = *reinterpret_cast<TRegionBuild*>(param);
  RECT r;
  if (!IsOwnWindow(wnd) || !IsShownWindow(wnd, r)) return TRUE;
  OffsetRect(&r, -s.shiftX, -s.shiftY);
  const TRegionHandle visible(CreateRectRgnIndirect(&r));
  if (!visible) {
    s.failed = true;
    return FALSE;
  }
  for (HWND above = GetWindow(wnd, GW_HWNDPREV); above;
       above = GetWindow(above, GW_HWNDPREV)) {
    RECT a;
    if (!IsShownWindow(above, a)) continue;
    OffsetRect(&a, -s.shiftX, -s.shiftY);
    const TRegionHandle cover(CreateRectRgnIndirect(&a));
    if (!cover) continue;
    CombineRgn(visible.get(), visible.get(), cover.get(), RGN_DIFF);
  }
  CombineRgn(s.clip, s.clip, visible.get(), RGN_OR);
  return TRUE;
}

HCURSOR CursorWithoutCursorInfo(POINT& position) {
  if (!GetCursorPos(&position)) return nullptr;
  HWND under = WindowFromPoint(position);
  const DWORD self = GetCurrentThreadId();
  const DWORD other = under ? GetWindowThreadProcessId(under, nullptr) : 0;
  // GetCursor answers for the calling thread's input state only.
  const bool attach =
      other && other != self && AttachThreadInput(self, other, TRUE);
  HCURSOR cursor = GetCursor();
  if (attach) AttachThreadInput(self, other, FALSE);
  return cursor;
}

// The checks LoadImage itself may skip: a plausible header and, for
// uncompressed pixels, a file that holds them all.
constexpr std::int64_t kMaxLoadPixels = std::int64_t{1} << 26;

bool PlausibleBitmapFile(const String& fileName) {
  LARGE_INTEGER size{};
  unsigned char head[54] = {};
  DWORD got = 0;
  {
    const THandle file(CreateFileA(fileName.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const bool read = GetFileSizeEx(file.get(), &size) &&
                      ReadFile(file.get(), head, sizeof head, &got, nullptr);
    if (!read) return false;
  }
  if (got < 26 || head[0] != 'B' || head[1] != 'M') return false;
  auto le32 = [&](int at) {
    return static_cast<std::uint32_t>(head[at] | head[at + 1] << 8 |
                                      head[at + 2] << 16 |
                                      std::uint32_t{head[at + 3]} << 24);
  };
  auto le16 = [&](int at) {
    return static_cast<std::uint16_t>(head[at] | head[at + 1] << 8);
  };
  const std::uint32_t offset = le32(10);
  const std::uint32_t infoSize = le32(14);
  std::int64_t width, height;
  unsigned bits;
  std::uint32_t compression = BI_RGB;
  if (infoSize == 12) {
    width = le16(18);
    height = le16(20);
    bits = le16(24);
  } else if (infoSize >= 40 && got >= 54) {
    width = static_cast<std::int32_t>(le32(18));
    height = static_cast<std::int32_t>(le32(22));
    bits = le16(28);
    compression = le32(30);
  } else {
    return false;
  }
  if (height < 0) height = -height;
  if (width < 1 || height < 1 || width * height > kMaxLoadPixels) return false;
  if (bits == 0 || bits > 32) return false;
  if (compression == BI_RGB || compression == BI_BITFIELDS) {
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    if (std::int64_t{offset} + stride * height > size.QuadPart) return false;
  }
  return true;
}

}  // namespace

namespace pellor_detail {

bool DrawCursor(HDC dc, Integer originX, Integer originY, bool useCursorInfo) {
  using TGetCursorInfo = BOOL(WINAPI*)(PCURSORINFO);
  HCURSOR cursor = nullptr;
  POINT position{};
  bool viaCursorInfo = false;
  if (useCursorInfo) {
    HMODULE user = GetModuleHandleA("user32.dll");
    auto getCursorInfo =
        user ? reinterpret_cast<TGetCursorInfo>(reinterpret_cast<void*>(
                   GetProcAddress(user, "GetCursorInfo")))
             : nullptr;
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (getCursorInfo && getCursorInfo(&info)) {
      viaCursorInfo = true;
      if (!(info.flags & CURSOR_SHOWING)) return false;
      cursor = info.hCursor;
      position = info.ptScreenPos;
    }
  }
  if (!viaCursorInfo) cursor = CursorWithoutCursorInfo(position);
  if (!cursor) return false;
  ICONINFO icon{};
  if (GetIconInfo(cursor, &icon)) {
    position.x -= static_cast<LONG>(icon.xHotspot);
    position.y -= static_cast<LONG>(icon.yHotspot);
    // The two bitmaps are copies made for the caller.
    const TBitmapHandle mask(icon.hbmMask);
    const TBitmapHandle color(icon.hbmColor);
  }
  return DrawIconEx(dc, position.x - originX, position.y - originY, cursor, 0,
                    0, 0, nullptr, DI_NORMAL) != 0;
}

}  // namespace pellor_detail

PNVBitmap CaptureDcToBitmap(HDC source, Integer x, Integer y, Integer width,
                            Integer height, bool drawCursor,
                            bool ownWindowsOnly) {
  TRegionHandle clip;
  if (ownWindowsOnly) {
    TBoundsSearch bounds{
        x,
        y,
        {std::numeric_limits<LONG>::max(), std::numeric_limits<LONG>::max(),
         std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::min()},
        false};
    EnumWindows(CollectBounds, reinterpret_cast<LPARAM>(&bounds));
    if (!bounds.found) return nullptr;
    RECT& box = bounds.box;
    box.left = std::max<LONG>(box.left, 0);
    box.top = std::max<LONG>(box.top, 0);
    box.right = std::min<LONG>(box.right, width);
    box.bottom = std::min<LONG>(box.bottom, height);
    if (box.right <= box.left || box.bottom <= box.top) return nullptr;
    x += box.left;
    y += box.top;
    width = box.right - box.left;
    height = box.bottom - box.top;
    clip.reset(CreateRectRgn(0, 0, 0, 0));
    if (!clip) return nullptr;
    TRegionBuild region{x, y, clip.get(), false};
    EnumWindows(CollectRegion, reinterpret_cast<LPARAM>(&region));
    RECT extent;
    if (region.failed || GetRgnBox(clip.get(), &extent) == NULLREGION)
      return nullptr;
  }
  TDibCanvas canvas;
  if (!CreateDibCanvas(width, height, canvas)) return nullptr;
  HDC dc = canvas.dc.get();
  if (clip) {
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectClipRgn(dc, clip.get());
  }
  const bool copied =
      BitBlt(dc, 0, 0, width, height, source, x, y, SRCCOPY) != 0;
  if (clip) {
    SelectClipRgn(dc, nullptr);
    clip.reset();
  }
  if (!copied) return nullptr;
  if (drawCursor) pellor_detail::DrawCursor(dc, x, y, true);
  GdiFlush();
  return AdoptDibCanvas(canvas);
}

PNVBitmap CaptureScreen(bool ownWindowsOnly) {
  const TOwnedDC owned(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
  if (!owned) return nullptr;
  HDC display = owned.get();
  Integer x = 0, y = 0, width, height;
  if (GetSystemMetrics(SM_CMONITORS) > 0) {
    x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  } else {
    width = GetDeviceCaps(display, HORZRES);
    height = GetDeviceCaps(display, VERTRES);
  }
  return CaptureDcToBitmap(display, x, y, width, height, true, ownWindowsOnly);
}

PNVBitmap LoadBitmapFile(const String& fileName) {
  if (!PlausibleBitmapFile(fileName)) return nullptr;
  const TBitmapHandle loaded(static_cast<HBITMAP>(
      LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0,
                 LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  if (!loaded) return nullptr;
  BITMAP info{};
  if (GetObjectA(loaded.get(), sizeof info, &info) != sizeof info)
    return nullptr;
  const TOwnedDC dc(CreateCompatibleDC(nullptr));
  if (!dc) return nullptr;
  TSelectObject select(dc.get(), loaded.get());
  return CaptureDcToBitmap(dc.get(), 0, 0, info.bmWidth,
                           std::abs(info.bmHeight), false, false);
}
