// Owning wrappers for the Windows handles the code holds: each closes its
// handle once, in its destructor or in reset(), and none is copied. Nothing
// else releases a handle by hand.
//
// The owners share one shape: get() lends the handle, release() gives it up
// to the caller (who must close it), reset(h) closes the old one and takes
// h, and `explicit operator bool` tells whether a handle is held.
#pragma once

#include <windows.h>

#include <utility>

// A move-only owner of one handle, closed as Traits says.
// Traits: `using Handle = ...;`, `static Handle Empty()`,
// `static bool Valid(Handle)`, `static void Close(Handle)`.
template <class Traits>
class TUniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(Handle Value) noexcept : handle_(Value) {}
  ~TUniqueHandle() { reset(); }
  TUniqueHandle(TUniqueHandle&& Other) noexcept : handle_(Other.release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
    if (this != &Other) reset(Other.release());
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;

  Handle get() const noexcept { return handle_; }
  [[nodiscard]] Handle release() noexcept {
    return std::exchange(handle_, Traits::Empty());
  }
  void reset(Handle Value = Traits::Empty()) noexcept {
    const Handle old = std::exchange(handle_, Value);
    if (Traits::Valid(old) && old != Value) Traits::Close(old);
  }
  explicit operator bool() const noexcept { return Traits::Valid(handle_); }

  // For API calls that return a handle through a pointer
  // (RegOpenKeyExA(..., key.out())): closes what is held first.
  Handle* out() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Empty();
};

namespace handles_detail {

// Handles for which null means "none".
template <class H, auto CloseFunction>
struct TNullTraits {
  using Handle = H;
  static Handle Empty() noexcept { return nullptr; }
  static bool Valid(Handle Value) noexcept { return Value != nullptr; }
  static void Close(Handle Value) noexcept { CloseFunction(Value); }
};

inline void CloseKey(HKEY Value) noexcept { ::RegCloseKey(Value); }
inline void DeleteDeviceContext(HDC Value) noexcept { ::DeleteDC(Value); }
inline void DeleteGdiObject(HGDIOBJ Value) noexcept { ::DeleteObject(Value); }
inline void UnloadModule(HMODULE Value) noexcept { ::FreeLibrary(Value); }
inline void FreeGlobal(HGLOBAL Value) noexcept { ::GlobalFree(Value); }
inline void Unmap(void* Value) noexcept { ::UnmapViewOfFile(Value); }
inline void DestroyIconHandle(HICON Value) noexcept { ::DestroyIcon(Value); }
inline void DeleteEnhMetaFileHandle(HENHMETAFILE Value) noexcept {
  ::DeleteEnhMetaFile(Value);
}
inline void DestroyMenuHandle(HMENU Value) noexcept { ::DestroyMenu(Value); }

inline void CloseKernelHandle(HANDLE Value) noexcept { ::CloseHandle(Value); }
inline void CloseSearch(HANDLE Value) noexcept { ::FindClose(Value); }

// Kernel objects and searches: some calls fail with null, others
// (CreateFileA, FindFirstFileA) with INVALID_HANDLE_VALUE; both mean "none".
// An empty owner holds what its API returns for none.
template <bool EmptyIsInvalid, auto CloseFunction>
struct TKernelTraits {
  using Handle = HANDLE;
  static Handle Empty() noexcept {
    return EmptyIsInvalid ? INVALID_HANDLE_VALUE : nullptr;
  }
  static bool Valid(Handle Value) noexcept {
    return Value != nullptr && Value != INVALID_HANDLE_VALUE;
  }
  static void Close(Handle Value) noexcept { CloseFunction(Value); }
};

}  // namespace handles_detail

// A kernel object (file, mapping, process, thread, event).
using THandle = TUniqueHandle<
    handles_detail::TKernelTraits<false, &handles_detail::CloseKernelHandle>>;
// A search of FindFirstFileA.
using TFindHandle = TUniqueHandle<
    handles_detail::TKernelTraits<true, &handles_detail::CloseSearch>>;
// A registry key opened or created here (never one of the predefined roots).
using TKeyHandle =
    TUniqueHandle<handles_detail::TNullTraits<HKEY, &handles_detail::CloseKey>>;
// A DC made by CreateCompatibleDC or CreateDCA.
using TOwnedDC = TUniqueHandle<
    handles_detail::TNullTraits<HDC, &handles_detail::DeleteDeviceContext>>;
// A module loaded by LoadLibraryA or LoadLibraryExA.
using TModuleHandle = TUniqueHandle<
    handles_detail::TNullTraits<HMODULE, &handles_detail::UnloadModule>>;
// A global memory block not (yet) handed to the system.
using TGlobalHandle = TUniqueHandle<
    handles_detail::TNullTraits<HGLOBAL, &handles_detail::FreeGlobal>>;
// A view of a file mapping.
using TMappedView =
    TUniqueHandle<handles_detail::TNullTraits<void*, &handles_detail::Unmap>>;
using TIconHandle = TUniqueHandle<
    handles_detail::TNullTraits<HICON, &handles_detail::DestroyIconHandle>>;
using TEnhMetaFileHandle = TUniqueHandle<handles_detail::TNullTraits<
    HENHMETAFILE, &handles_detail::DeleteEnhMetaFileHandle>>;
using TMenuHandle = TUniqueHandle<
    handles_detail::TNullTraits<HMENU, &handles_detail::DestroyMenuHandle>>;

// A GDI object (bitmap, brush, pen, font, region) created here.
template <class H = HGDIOBJ>
using TGdiObject = TUniqueHandle<
    handles_detail::TNullTraits<H, &handles_detail::DeleteGdiObject>>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TFontHandle = TGdiObject<HFONT>;
using TRegionHandle = TGdiObject<HRGN>;

// A window's DC (or the screen's, for a null window) borrowed by GetDC and
// given back with ReleaseDC.
class TWindowDC {
 public:
  TWindowDC() noexcept = default;
  // GetDC(Window); empty when that fails.
  explicit TWindowDC(HWND Window) noexcept
      : window_(Window), dc_(::GetDC(Window)) {}
  // Takes a DC already got for Window (GetDCEx, GetWindowDC).
  TWindowDC(HWND Window, HDC DC) noexcept : window_(Window), dc_(DC) {}
  ~TWindowDC() { reset(); }
  TWindowDC(TWindowDC&& Other) noexcept
      : window_(Other.window_), dc_(std::exchange(Other.dc_, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& Other) noexcept {
    if (this != &Other) {
      reset();
      window_ = Other.window_;
      dc_ = std::exchange(Other.dc_, nullptr);
    }
    return *this;
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;

  HDC get() const noexcept { return dc_; }
  HWND Window() const noexcept { return window_; }
  [[nodiscard]] HDC release() noexcept { return std::exchange(dc_, nullptr); }
  void reset() noexcept {
    if (dc_) ::ReleaseDC(window_, std::exchange(dc_, nullptr));
  }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// Selects an object into a DC and puts the DC's previous object back at
// scope exit. Select() may swap in further objects of the same kind; the
// one found first is the one restored.
class TSelectObject {
 public:
  TSelectObject(HDC DC, HGDIOBJ Object) noexcept
      : dc_(DC), old_(::SelectObject(DC, Object)) {}
  ~TSelectObject() { Restore(); }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

  void Select(HGDIOBJ Object) noexcept {
    if (old_) {
      ::SelectObject(dc_, Object);
    } else {
      old_ = ::SelectObject(dc_, Object);
    }
  }
  // Puts the previous object back now.
  void Restore() noexcept {
    if (old_) ::SelectObject(dc_, std::exchange(old_, nullptr));
  }
  // The object that was selected before.
  HGDIOBJ Previous() const noexcept { return old_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SaveDC now, RestoreDC at scope exit.
class TSavedDC {
 public:
  explicit TSavedDC(HDC DC) noexcept : dc_(DC), saved_(::SaveDC(DC)) {}
  ~TSavedDC() { Restore(); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

  void Restore() noexcept {
    if (saved_ != 0) ::RestoreDC(dc_, std::exchange(saved_, 0));
  }
  explicit operator bool() const noexcept { return saved_ != 0; }

 private:
  HDC dc_;
  int saved_;
};

// Keeps a DC's clip region (or its lack of one) and puts it back at scope
// exit, leaving the rest of the DC's state alone.
class TClipRegionSaver {
 public:
  explicit TClipRegionSaver(HDC DC) noexcept
      : dc_(DC), region_(::CreateRectRgn(0, 0, 0, 0)) {
    had_ = region_ && ::GetClipRgn(dc_, region_.get()) == 1;
  }
  ~TClipRegionSaver() {
    if (region_) ::SelectClipRgn(dc_, had_ ? region_.get() : nullptr);
  }
  TClipRegionSaver(const TClipRegionSaver&) = delete;
  TClipRegionSaver& operator=(const TClipRegionSaver&) = delete;

 private:
  HDC dc_;
  TRegionHandle region_;
  bool had_ = false;
};

// GlobalLock for a scope: the block stays locked while its memory is used.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL Block) noexcept
      : block_(Block), memory_(Block ? ::GlobalLock(Block) : nullptr) {}
  ~TGlobalLock() {
    if (memory_) ::GlobalUnlock(block_);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;

  void* get() const noexcept { return memory_; }
  explicit operator bool() const noexcept { return memory_ != nullptr; }

 private:
  HGLOBAL block_;
  void* memory_;
};

// The clipboard opened for a scope (one try; callers that wait for another
// program retry around it).
class TClipboardOpen {
 public:
  explicit TClipboardOpen(HWND Owner) noexcept
      : open_(::OpenClipboard(Owner) != FALSE) {}
  ~TClipboardOpen() { Close(); }
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;

  void Close() noexcept {
    if (std::exchange(open_, false)) ::CloseClipboard();
  }
  explicit operator bool() const noexcept { return open_; }

 private:
  bool open_;
};
