#include "PellorNVPrgrAlert.h"

#include <commctrl.h>

#include <cstring>

namespace {

const char kClassName[] = "prgrAlertWndClass";
constexpr Integer kLabelWidth = 420;

bool OnWindowThread(HWND wnd) {
  return GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId();
}

}  // namespace

Integer ProgressBarPosition(const std::vector<TProgressStage>& stages,
                            Int64 totalWeight, Integer stage,
                            Integer perMille) {
  // Without a stage or a weight there is nothing to divide by.
  if (stages.empty() || totalWeight <= 0 || stage < 0 ||
      stage >= static_cast<Integer>(stages.size()))
    return 0;
  const TProgressStage& s = stages[static_cast<std::size_t>(stage)];
  return static_cast<Integer>((s.start + s.weight * perMille / 1000) * 1000 /
                              totalWeight);
}

TIProgressAlert::TIProgressAlert(const String& caption, HMODULE iconModule,
                                 const String& iconName)
    : caption_(caption), iconModule_(iconModule), iconName_(iconName) {}

TIProgressAlert::~TIProgressAlert() {
  Dismiss();
  if (measureDc_) {
    if (previousFont_) SelectObject(measureDc_, previousFont_);
    DeleteDC(measureDc_);
  }
  if (font_) DeleteObject(font_);
}

void* TIProgressAlert::GetInterfaceFor(const TGUID& iid) {
  if (iid == IProgressAlert::IID) return static_cast<IProgressAlert*>(this);
  if (iid == IInterface::IID)
    return static_cast<IInterface*>(static_cast<IProgressAlert*>(this));
  return TInterfacedObject::GetInterfaceFor(iid);
}

void TIProgressAlert::SetCaption(const String& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  if (window_) SetWindowTextA(window_, caption_.c_str());
}

void TIProgressAlert::SetProgress(Integer perMille) {
  progress_ = perMille;
  position_ = ProgressBarPosition(stages_, totalWeight_, current_, perMille);
  if (!bar_) return;
  if (OnWindowThread(bar_)) {
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    PumpMessages();
  } else {
    // A worker never waits for the window's thread.
    PostMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  }
}

void TIProgressAlert::AddStage(const String& text, Int64 weight) {
  String stageText = text;
  if (stageText.empty() && !stages_.empty()) stageText = stages_.back().text;
  stages_.push_back({totalWeight_, weight, stageText});
  totalWeight_ += weight;
}

void TIProgressAlert::ClearStages() {
  stages_.clear();
  current_ = 0;
  totalWeight_ = 0;
}

void TIProgressAlert::StageDone() { SetCurrentStage(current_ + 1); }

void TIProgressAlert::SetCurrentStage(Integer index) {
  const auto count = static_cast<Integer>(stages_.size());
  if (index == current_ || index < 0 || index > count) return;
  if (index == count) {
    current_ = count - 1;
    SetProgress(1000);
  } else {
    current_ = index;
    SetProgress(0);
  }
  if (label_ && current_ >= 0 && current_ < count)
    SetWindowTextA(label_,
                   stages_[static_cast<std::size_t>(current_)].text.c_str());
}

void TIProgressAlert::PumpMessages() {
  if (!window_ || !OnWindowThread(window_)) return;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool TIProgressAlert::Open(HWND parent, bool activate) {
  if (window_) return false;
  parent_ = parent;
  if (parent_) EnableWindow(parent_, FALSE);
  if (stages_.empty()) AddStage("Please wait...", 1000);

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc{};
  wc.style = CS_CLASSDC | CS_PARENTDC;
  wc.lpfnWndProc = &ProgressWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);  // a class registered before is fine

  window_ =
      CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                      kClassName, caption_.c_str(), WS_CAPTION, 0, 0, 100, 100,
                      parent_, nullptr, wc.hInstance, nullptr);
  if (!window_) {
    if (parent_) EnableWindow(parent_, TRUE);
    return false;
  }
  if (HMENU menu = GetSystemMenu(window_, FALSE)) {
    for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
      DeleteMenu(menu, command, MF_BYCOMMAND);
  }

  if (!font_) {
    font_ = CreateFontA(-11, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                        "Tahoma");
    if (!font_)
      font_ = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                          0, "MS Sans Serif");
  }
  if (!measureDc_) {
    measureDc_ = CreateCompatibleDC(nullptr);
    if (measureDc_ && font_) previousFont_ = SelectObject(measureDc_, font_);
  }

  // The label is as large as the largest text still to come.
  Integer w = 0, h = 0;
  for (std::size_t i = static_cast<std::size_t>(current_); i < stages_.size();
       ++i) {
    RECT r{0, 0, kLabelWidth, 0};
    DrawTextA(measureDc_, stages_[i].text.c_str(), -1, &r,
              DT_CALCRECT | DT_WORDBREAK);
    if (r.right > w) w = r.right;
    if (r.bottom > h) h = r.bottom;
  }
  Integer labelX = 11, labelY = 12;
  if (iconModule_ && !iconName_.empty() &&
      FindResourceA(iconModule_, iconName_.c_str(), MAKEINTRESOURCEA(2))) {
    w += 40;
    iconButton_ = CreateWindowExA(
        0, "Button", "", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW, 9,
        9, 32, 32, window_, nullptr, wc.hInstance, nullptr);
    if (iconButton_)
      SetWindowLongPtrA(iconButton_, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(this));
    labelX = 51;
    if (h < 26) {
      labelY += (26 - h) / 2;
      h = 26;
    }
  }
  if (w < 220) w = 220;
  const String& text = stages_[static_cast<std::size_t>(current_)].text;
  label_ =
      CreateWindowExA(0, "Static", text.c_str(), WS_CHILD | WS_VISIBLE, labelX,
                      labelY, w, h, window_, nullptr, wc.hInstance, nullptr);
  if (label_ && font_)
    SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
  const Integer barHeight = GetSystemMetrics(SM_CYVSCROLL);
  bar_ =
      CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 11, h + 24,
                      w, barHeight, window_, nullptr, wc.hInstance, nullptr);
  if (bar_) SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));

  const Integer width = w + 22 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
  const Integer height = h + 36 + GetSystemMetrics(SM_CYSMCAPTION) + barHeight +
                         2 * GetSystemMetrics(SM_CYDLGFRAME);
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  if (activate) {
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER);
    ShowWindow(window_, SW_SHOWNORMAL);
    BringWindowToTop(window_);
    SetForegroundWindow(window_);
  } else {
    RECT area;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
      area.right = GetSystemMetrics(SM_CXFULLSCREEN);
      area.bottom =
          GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
    }
    SetWindowPos(window_, nullptr, area.right - width - 2,
                 area.bottom - height - 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
  }
  SetProgress(progress_);
  return true;
}

void TIProgressAlert::Dismiss() {
  if (!window_) return;
  if (iconButton_) SetWindowLongPtrA(iconButton_, GWLP_USERDATA, 0);
  if (OnWindowThread(window_)) {
    DestroyWindow(window_);
  } else {
    // Only the window's own thread may destroy it.
    SetWindowLongPtrA(window_, GWLP_USERDATA, 1);
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  window_ = iconButton_ = label_ = bar_ = nullptr;
  if (parent_) {
    EnableWindow(parent_, TRUE);
    SetActiveWindow(parent_);
  }
}

LRESULT CALLBACK TIProgressAlert::ProgressWndProc(HWND wnd, UINT msg,
                                                  WPARAM wParam,
                                                  LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (!GetWindowLongPtrA(wnd, GWLP_USERDATA)) return 0;
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      auto* self = reinterpret_cast<TIProgressAlert*>(
          GetWindowLongPtrA(item->hwndItem, GWLP_USERDATA));
      if (self) {
        try {
          DrawBlendedBitmapResource(self->iconModule_, self->iconName_,
                                    item->hDC, 32);
          return 1;
        } catch (...) {
        }
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

PProgressAlert CreateProgressWindow(const String& caption, HMODULE iconModule,
                                    const String& iconName) {
  return PProgressAlert(static_cast<IProgressAlert*>(
      new TIProgressAlert(caption, iconModule, iconName)));
}

bool DrawBlendedBitmapResource(HMODULE module, const String& name, HDC dc,
                               Integer size) {
  HRSRC found = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(2));
  if (!found || size <= 0) return false;
  const std::size_t pixels = static_cast<std::size_t>(size) * size;
  if (SizeofResource(module, found) != 40 + pixels * 4) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data =
      loaded ? static_cast<const Byte*>(LockResource(loaded)) : nullptr;
  if (!data) return false;
  BITMAPINFOHEADER header;
  std::memcpy(&header, data, sizeof header);
  std::vector<std::uint32_t> blended(pixels);
  std::memcpy(blended.data(), data + 40, pixels * 4);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const std::uint32_t back =
      (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  for (std::uint32_t& p : blended) {
    const std::uint32_t g = (p >> 24) + 1;
    const std::uint32_t rb =
        (((256 - g) * (back & 0x00FF00FF) + g * (p & 0x00FF00FF)) >> 8) &
        0x00FF00FF;
    const std::uint32_t gr =
        (((256 - g) * (back & 0x0000FF00) + g * (p & 0x0000FF00)) >> 8) &
        0x0000FF00;
    p = rb | gr;
  }
  void* bits = nullptr;
  HBITMAP dib =
      CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&header),
                       DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return false;
  GdiFlush();
  std::memcpy(bits, blended.data(), pixels * 4);
  GdiFlush();
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(dc, 0, 0, size, size, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(dib);
  return true;
}
