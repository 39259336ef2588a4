#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "Handles.h"

namespace {

bool KernelHandleOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != FALSE;
}

bool KeyOpen(HKEY key) {
  DWORD subkeys = 0;
  return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr,
                          nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr) == ERROR_SUCCESS;
}

TEST(HandlesTest, KernelHandleClosedOnceAfterMove) {
  HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  THandle target;
  {
    THandle first(raw);
    target = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(first.get(), nullptr);
  }
  // The moved-from owner closed nothing.
  EXPECT_TRUE(KernelHandleOpen(raw));
  EXPECT_EQ(target.get(), raw);
  target.reset();
  EXPECT_FALSE(KernelHandleOpen(raw));
  EXPECT_FALSE(target);
}

TEST(HandlesTest, MoveAssignmentClosesTheHandleItReplaces) {
  HANDLE a = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE b = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(a && b);
  THandle keep(a);
  THandle other(b);
  keep = std::move(other);
  EXPECT_FALSE(KernelHandleOpen(a));
  EXPECT_TRUE(KernelHandleOpen(b));
  HANDLE released = keep.release();
  EXPECT_EQ(released, b);
  EXPECT_FALSE(keep);
  EXPECT_TRUE(KernelHandleOpen(b));
  CloseHandle(released);
}

TEST(HandlesTest, NullAndInvalidKernelHandlesAreEmpty) {
  EXPECT_FALSE(THandle());
  EXPECT_FALSE(THandle(nullptr));
  EXPECT_FALSE(THandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(TFindHandle());
  EXPECT_EQ(TFindHandle().get(), INVALID_HANDLE_VALUE);
}

TEST(HandlesTest, FileOpenedByCreateFileIsClosed) {
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "varnel-handles-" +
                           std::to_string(GetCurrentProcessId()) + ".tmp";
  {
    THandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE,
                             nullptr));
    ASSERT_TRUE(file);
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  // Closing the only handle deleted the file.
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  // A failed CreateFileA is empty, not a handle to close.
  THandle missing(CreateFileA((path + "\\none").c_str(), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);
}

TEST(HandlesTest, KeyIsClosedAndOutReopens) {
  TKeyHandle key;
  ASSERT_EQ(
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.out()),
      ERROR_SUCCESS);
  const HKEY first = key.get();
  EXPECT_TRUE(KeyOpen(first));
  // out() closes what it held before the call writes a new one.
  ASSERT_EQ(
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.out()),
      ERROR_SUCCESS);
  EXPECT_TRUE(KeyOpen(key.get()));
  if (key.get() != first) {
    EXPECT_FALSE(KeyOpen(first));
  }
  const HKEY second = key.get();
  key.reset();
  EXPECT_FALSE(KeyOpen(second));
}

TEST(HandlesTest, GdiObjectsAndMemoryDCAreDeleted) {
  HDC rawDC = CreateCompatibleDC(nullptr);
  HBITMAP rawBitmap = CreateBitmap(4, 4, 1, 1, nullptr);
  ASSERT_TRUE(rawDC && rawBitmap);
  {
    TOwnedDC dc(rawDC);
    TBitmapHandle bitmap(rawBitmap);
    EXPECT_EQ(GetObjectType(dc.get()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetObjectType(bitmap.get()), static_cast<DWORD>(OBJ_BITMAP));
  }
  EXPECT_EQ(GetObjectType(rawDC), 0u);
  EXPECT_EQ(GetObjectType(rawBitmap), 0u);
}

TEST(HandlesTest, SelectedObjectIsRestored) {
  TOwnedDC dc(CreateCompatibleDC(nullptr));
  TBitmapHandle a(CreateBitmap(2, 2, 1, 1, nullptr));
  TBitmapHandle b(CreateBitmap(3, 3, 1, 1, nullptr));
  ASSERT_TRUE(dc && a && b);
  const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BITMAP);
  {
    TSelectObject select(dc.get(), a.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), a.get());
    EXPECT_EQ(select.Previous(), original);
    // A second object swapped in does not become the one restored.
    select.Select(b.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), b.get());
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), original);
  {
    TSelectObject select(dc.get(), a.get());
    select.Restore();
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), original);
    // Restoring early leaves nothing for the destructor to undo.
    SelectObject(dc.get(), b.get());
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), b.get());
  SelectObject(dc.get(), original);
}

TEST(HandlesTest, SavedDCIsRestored) {
  TOwnedDC dc(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  SetTextColor(dc.get(), RGB(1, 2, 3));
  {
    TSavedDC saved(dc.get());
    EXPECT_TRUE(saved);
    SetTextColor(dc.get(), RGB(200, 100, 50));
  }
  EXPECT_EQ(GetTextColor(dc.get()), RGB(1, 2, 3));
}

TEST(HandlesTest, ClipRegionIsPutBackOrRemoved) {
  TOwnedDC dc(CreateCompatibleDC(nullptr));
  TBitmapHandle bitmap(CreateBitmap(50, 50, 1, 1, nullptr));
  ASSERT_TRUE(dc && bitmap);
  TSelectObject select(dc.get(), bitmap.get());
  TRegionHandle probe(CreateRectRgn(0, 0, 0, 0));
  {
    TClipRegionSaver saver(dc.get());
    IntersectClipRect(dc.get(), 1, 1, 5, 5);
    EXPECT_EQ(GetClipRgn(dc.get(), probe.get()), 1);
  }
  // There was no clip region before: there is none after.
  EXPECT_EQ(GetClipRgn(dc.get(), probe.get()), 0);

  IntersectClipRect(dc.get(), 10, 10, 20, 20);
  {
    TClipRegionSaver saver(dc.get());
    IntersectClipRect(dc.get(), 12, 12, 14, 14);
  }
  ASSERT_EQ(GetClipRgn(dc.get(), probe.get()), 1);
  RECT box = {};
  GetRgnBox(probe.get(), &box);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.bottom, 20);
}

TEST(HandlesTest, ScreenDCIsBorrowedAndMovable) {
  TWindowDC screen(nullptr);
  ASSERT_TRUE(screen);
  EXPECT_GT(GetDeviceCaps(screen.get(), LOGPIXELSY), 0);
  TWindowDC moved(std::move(screen));
  EXPECT_FALSE(screen);
  EXPECT_TRUE(moved);
  EXPECT_EQ(moved.Window(), nullptr);
}

TEST(HandlesTest, MappedViewIsUnmapped) {
  THandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr,
                                     PAGE_READWRITE, 0, 4096, nullptr));
  ASSERT_TRUE(mapping);
  void* address = nullptr;
  {
    TMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 4096));
    ASSERT_TRUE(view);
    address = view.get();
    std::memcpy(address, "abc", 3);
  }
  MEMORY_BASIC_INFORMATION info = {};
  ASSERT_NE(VirtualQuery(address, &info, sizeof info), 0u);
  EXPECT_EQ(info.State, static_cast<DWORD>(MEM_FREE));
}

TEST(HandlesTest, GlobalBlockIsFreedUnlessReleased) {
  HGLOBAL raw = GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_NE(raw, nullptr);
  {
    TGlobalHandle block(raw);
    TGlobalLock lock(block.get());
    ASSERT_TRUE(lock);
    EXPECT_EQ(GlobalFlags(raw) & GMEM_LOCKCOUNT, 1u);
  }
  EXPECT_EQ(GlobalFlags(raw), static_cast<UINT>(GMEM_INVALID_HANDLE));

  HGLOBAL kept = nullptr;
  {
    TGlobalHandle block(GlobalAlloc(GMEM_MOVEABLE, 16));
    ASSERT_TRUE(block);
    kept = block.release();
  }
  EXPECT_EQ(GlobalFlags(kept) & GMEM_LOCKCOUNT, 0u);
  EXPECT_NE(GlobalFlags(kept), static_cast<UINT>(GMEM_INVALID_HANDLE));
  GlobalFree(kept);
}

TEST(HandlesTest, ModuleIsFreed) {
  // A system DLL the test program does not import.
  const char* name = "mpr.dll";
  ASSERT_EQ(GetModuleHandleA(name), nullptr);
  {
    TModuleHandle module(LoadLibraryA(name));
    ASSERT_TRUE(module);
    EXPECT_EQ(GetModuleHandleA(name), module.get());
  }
  EXPECT_EQ(GetModuleHandleA(name), nullptr);
}

TEST(HandlesTest, FindHandleEndsTheSearch) {
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  WIN32_FIND_DATAA data = {};
  TFindHandle none(FindFirstFileA(
      (std::string(dir) + "varnel-no-such-file-*.none").c_str(), &data));
  EXPECT_FALSE(none);
  TFindHandle all(FindFirstFileA((std::string(dir) + "*").c_str(), &data));
  ASSERT_TRUE(all);
  const HANDLE raw = all.get();
  all.reset();
  EXPECT_FALSE(FindNextFileA(raw, &data));
}

TEST(HandlesTest, ClipboardIsClosedAtScopeExit) {
  HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  {
    TClipboardOpen open(owner);
    ASSERT_TRUE(open);
    EXPECT_EQ(GetOpenClipboardWindow(), owner);
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  DestroyWindow(owner);
}

}  // namespace
