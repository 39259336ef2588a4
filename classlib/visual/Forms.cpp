#include "Forms.h"

#include <algorithm>
#include <exception>
#include <map>
#include <mutex>

#include "Dialogs.h"
#include "FormStreams.h"
#include "Resources.h"
#include "SysUtils.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

// ---------------------------------------------------------------------------
// Object instances
// ---------------------------------------------------------------------------

namespace {

// Each instance is a few bytes of code in executable memory:
//   pop ecx; push <method>; push ecx; jmp StdWndProc
// so that the system's (hwnd, msg, wparam, lparam) call arrives at
// StdWndProc with the method as an extra first argument.
constexpr std::size_t kSlotSize = 16;
constexpr std::size_t kBlockSize = 4096;

LRESULT CALLBACK StdWndProc(TWndMethod* method, HWND hwnd, UINT msg, WPARAM wp,
                            LPARAM lp) {
  TMessage m;
  m.Msg = msg;
  m.WParam = wp;
  m.LParam = lp;
  try {
    // A copy: the method may free its own instance while it runs.
    TWndMethod call = *method;
    call(m);
  } catch (...) {
    if (Application) {
      Application->HandleException(nullptr);
    }
  }
  (void)hwnd;
  return m.Result;
}

struct TInstanceTable {
  std::mutex lock;
  std::vector<Byte*> free;
  std::map<Byte*, std::unique_ptr<TWndMethod>> methods;
};

TInstanceTable& Instances() {
  static TInstanceTable table;
  return table;
}

}  // namespace

WNDPROC MakeObjectInstance(TWndMethod Method) {
  TInstanceTable& t = Instances();
  std::lock_guard<std::mutex> guard(t.lock);
  if (t.free.empty()) {
    auto* block = static_cast<Byte*>(::VirtualAlloc(
        nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!block) throw EOutOfResources("Cannot allocate an object instance");
    for (std::size_t off = kBlockSize; off >= kSlotSize; off -= kSlotSize) {
      t.free.push_back(block + off - kSlotSize);
    }
  }
  Byte* slot = t.free.back();
  t.free.pop_back();
  auto method = std::make_unique<TWndMethod>(std::move(Method));
  TWndMethod* target = method.get();
  t.methods[slot] = std::move(method);

  auto put32 = [](Byte* p, std::uint32_t v) { std::memcpy(p, &v, 4); };
  slot[0] = 0x59;  // pop ecx
  slot[1] = 0x68;  // push imm32
  put32(slot + 2,
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(target)));
  slot[6] = 0x51;  // push ecx
  slot[7] = 0xE9;  // jmp rel32
  const auto dest = reinterpret_cast<std::uintptr_t>(&StdWndProc);
  const auto next = reinterpret_cast<std::uintptr_t>(slot + 12);
  put32(slot + 8, static_cast<std::uint32_t>(dest - next));
  std::memset(slot + 12, 0xCC, kSlotSize - 12);
  ::FlushInstructionCache(::GetCurrentProcess(), slot, kSlotSize);
  return reinterpret_cast<WNDPROC>(slot);
}

void FreeObjectInstance(WNDPROC ObjectInstance) {
  if (!ObjectInstance) return;
  auto* slot = reinterpret_cast<Byte*>(ObjectInstance);
  TInstanceTable& t = Instances();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.methods.find(slot);
  if (it == t.methods.end()) return;  // not ours, or freed twice
  t.methods.erase(it);
  std::memset(slot, 0xCC, kSlotSize);
  t.free.push_back(slot);
}

namespace {
constexpr const char* kUtilWindowClass = "VarnelUtilWindow";
}

HWND AllocateHWnd(TWndMethod Method) {
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!::GetClassInfoA(inst, kUtilWindowClass, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = inst;
    wc.lpszClassName = kUtilWindowClass;
    if (!::RegisterClassA(&wc)) RaiseLastWin32Error();
  }
  HWND h = ::CreateWindowExA(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP,
                             0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
  if (!h) RaiseLastWin32Error();
  if (Method) {
    ::SetWindowLongPtrA(h, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(MakeObjectInstance(Method)));
  }
  return h;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
  ::DestroyWindow(Wnd);
  if (proc != &::DefWindowProcA) FreeObjectInstance(proc);
}

// ---------------------------------------------------------------------------
// TCustomForm
// ---------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(new TControlCanvas) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents,
                   csSetCaption, csDoubleClicks};
  visible_ = false;
  color_ = clBtnFace;
  parentColor_ = false;
  parentFont_ = false;
  Brush()->SetColor(clBtnFace);
  width_ = 320;
  height_ = 240;
  canvas_->SetControl(this);
  paintsItself_ = true;
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
}

void TCustomForm::BeforeDestruction() {
  try {
    OnDestroy(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  if (Screen) Screen->RemoveForm(this);
  canvas_->FreeHandle();
  inherited::BeforeDestruction();
}

bool TCustomForm::InitInheritedComponent() {
  const String res = UpperCase(ClassName());
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  if (!::FindResourceA(inst, res.c_str(), MAKEINTRESOURCEA(10))) return false;
  TResourceStream stream(inst, res, MAKEINTRESOURCEA(10));
  {
    auto align = MakeBracket(this, &TWinControl::DisableAlign,
                             &TWinControl::EnableAlign);
    ReadComponentFromStream(stream, this);
  }
  OnCreate(this);
  return true;
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) {
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

void TCustomForm::Hide() { SetVisible(false); }

namespace {

struct TDisabledWindows {
  HWND keep;
  std::vector<HWND> list;
};

BOOL CALLBACK DisableWindow(HWND hwnd, LPARAM data) {
  auto* d = reinterpret_cast<TDisabledWindows*>(data);
  if (hwnd != d->keep && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
    d->list.push_back(hwnd);
    ::EnableWindow(hwnd, FALSE);
  }
  return TRUE;
}

}  // namespace

TModalResult TCustomForm::ShowModal() {
  if (visible_ || !enabled_ || formState_.Contains(fsModal)) {
    throw EInvalidOperation("Cannot make a visible window modal");
  }
  if (HWND cap = ::GetCapture()) {
    ::SendMessageA(cap, WM_CANCELMODE, 0, 0);
    ::ReleaseCapture();
  }
  HWND previous = ::GetActiveWindow();
  TDisabledWindows disabled;
  disabled.keep = HandleAllocated() ? Handle() : nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &DisableWindow,
                      reinterpret_cast<LPARAM>(&disabled));
  formState_.Include(fsModal);
  if (Application) Application->ModalStarted();
  // Everything the modal state changed comes back on every way out.
  struct TRestore {
    TCustomForm* form;
    TDisabledWindows& disabled;
    HWND previous;
    ~TRestore() {
      for (HWND h : disabled.list) {
        if (::IsWindow(h)) ::EnableWindow(h, TRUE);
      }
      if (Application) Application->ModalFinished();
      form->formState_.Exclude(fsModal);
      if (previous && ::IsWindow(previous)) ::SetActiveWindow(previous);
    }
  } restore{this, disabled, previous};

  modalResult_ = mrNone;
  Show();
  do {
    Application->HandleMessage();
    if (Application->Terminated()) {
      modalResult_ = mrCancel;
    } else if (modalResult_ != mrNone) {
      TCloseAction action = caNone;
      if (CloseQuery()) {
        action = caHide;
        DoClose(action);
      }
      if (action == caNone) {
        modalResult_ = mrNone;
      } else if (action == caFree) {
        Release();
      }
    }
  } while (modalResult_ == mrNone);
  Hide();
  return modalResult_;
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  OnCloseQuery(this, can);
  return can;
}

void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }

void TCustomForm::Release() { ::PostMessageA(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }
void TCustomForm::Paint() { OnPaint(this); }

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (borderIcons_ == Value) return;
  borderIcons_ = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (formStyle_ == Value) return;
  formStyle_ = Value;
  if (HandleAllocated()) {
    ::SetWindowPos(Handle(),
                   Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
                   0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

TWindowState TCustomForm::WindowState() const {
  if (HandleAllocated()) {
    if (::IsIconic(const_cast<TCustomForm*>(this)->handle_)) {
      return wsMinimized;
    }
    if (::IsZoomed(const_cast<TCustomForm*>(this)->handle_)) {
      return wsMaximized;
    }
    return wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  windowState_ = Value;
  if (HandleAllocated() && Showing()) {
    ::ShowWindow(Handle(), Value == wsMinimized   ? SW_MINIMIZE
                           : Value == wsMaximized ? SW_SHOWMAXIMIZED
                                                  : SW_RESTORE);
  }
}

void TCustomForm::SetPopupMode(TPopupMode Value) {
  if (popupMode_ == Value) return;
  popupMode_ = Value;
  RecreateWnd();
}

void TCustomForm::SetPopupParent(TCustomForm* Value) {
  if (popupParent_ == Value) return;
  if (popupParent_) popupParent_->RemoveFreeNotification(this);
  popupParent_ = Value;
  if (Value) {
    Value->FreeNotification(this);
    popupMode_ = pmExplicit;
  }
  RecreateWnd();
}

namespace {
void ApplyLayered(HWND h, bool alpha, Byte value, bool transparent,
                  TColor key) {
  LONG ex = ::GetWindowLongA(h, GWL_EXSTYLE);
  if (!alpha && !transparent) {
    ::SetWindowLongA(h, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    return;
  }
  ::SetWindowLongA(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  DWORD flags = 0;
  if (alpha) flags |= LWA_ALPHA;
  if (transparent) flags |= LWA_COLORKEY;
  ::SetLayeredWindowAttributes(h, static_cast<COLORREF>(ColorToRGB(key)), value,
                               flags);
}
}  // namespace

void TCustomForm::SetAlphaBlend(bool Value) {
  alphaBlend_ = Value;
  if (HandleAllocated()) {
    ApplyLayered(Handle(), alphaBlend_, alphaBlendValue_, transparentColor_,
                 transparentColorValue_);
  }
}

void TCustomForm::SetAlphaBlendValue(Byte Value) {
  alphaBlendValue_ = Value;
  SetAlphaBlend(alphaBlend_);
}

void TCustomForm::SetTransparentColor(bool Value) {
  transparentColor_ = Value;
  SetAlphaBlend(alphaBlend_);
}

void TCustomForm::SetTransparentColorValue(TColor Value) {
  transparentColorValue_ = Value;
  SetAlphaBlend(alphaBlend_);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (activeControl_ == Control) return;
  if (Control && !ComponentState().Contains(csLoading)) {
    if (Control == this || GetParentForm(Control) != this ||
        (Showing() && !Control->CanFocus())) {
      throw EInvalidOperation("Cannot focus a disabled or invisible window");
    }
  }
  activeControl_ = Control;
  if (Control && active_ && Showing()) FocusControl(Control);
}

void TCustomForm::FocusControl(TWinControl* Control) {
  if (!Control) return;
  if (HandleAllocated() && Showing() && Control->CanFocus()) {
    ::SetFocus(Control->Handle());
    if (::GetFocus() == Control->Handle()) return;
  }
  activeControl_ = Control;
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  activeControl_ = Control;
  if (focusedControl_ == Control) return true;
  TWinControl* old = focusedControl_;
  focusedControl_ = Control;
  // Exit runs from the old control outwards, enter from the outermost
  // container inwards, for the containers the two do not share.
  std::vector<TWinControl*> oldChain, newChain;
  for (TWinControl* c = old; c && c != this; c = c->Parent()) {
    oldChain.push_back(c);
  }
  for (TWinControl* c = Control; c && c != this; c = c->Parent()) {
    newChain.push_back(c);
  }
  while (!oldChain.empty() && !newChain.empty() &&
         oldChain.back() == newChain.back()) {
    oldChain.pop_back();
    newChain.pop_back();
  }
  for (TWinControl* c : oldChain) {
    c->DoExit();
    if (focusedControl_ != Control) return false;
  }
  for (auto it = newChain.rbegin(); it != newChain.rend(); ++it) {
    (*it)->DoEnter();
    if (focusedControl_ != Control) return false;
  }
  if (Screen) Screen->OnActiveControlChange(Screen);
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  (void)Removing;
  if (!Control) return;
  if (activeControl_ && Control->ContainsControl(activeControl_)) {
    activeControl_ = nullptr;
  }
  if (focusedControl_ && Control->ContainsControl(focusedControl_)) {
    const bool hadFocus = focusedControl_->Focused();
    focusedControl_ = nullptr;
    if (hadFocus && HandleAllocated() && Control != this) ::SetFocus(Handle());
  }
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (activeControl_)
    activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
  if (TControl* c = GetCaptureControl()) {
    c->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
  }
}

void TCustomForm::MouseWheelHandler(TMessage& Message) {
  if (focusedControl_ && focusedControl_ != this) {
    Message.Result =
        focusedControl_->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
  } else {
    inherited::MouseWheelHandler(Message);
  }
}

void TCustomForm::SetFocus() {
  if (!CanFocus()) {
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
  if (parent_) {
    // A form placed on another control focuses as a control of its host:
    // its active control through that control's own focusing.
    if (activeControl_ && activeControl_->CanFocus())
      activeControl_->SetFocus();
    else
      ::SetFocus(Handle());
    return;
  }
  ::SetActiveWindow(Handle());
  ::SetFocus(activeControl_ && activeControl_->CanFocus()
                 ? activeControl_->Handle()
                 : Handle());
}

TRect TCustomForm::GetClientRect() {
  if (HandleAllocated()) return inherited::GetClientRect();
  // Without a window the client area follows from the border the window
  // will have.
  TCreateParams p;
  CreateParams(p);
  RECT r{0, 0, 0, 0};
  ::AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
  return Rect(0, 0, std::max<Integer>(0, width_ - (r.right - r.left)),
              std::max<Integer>(0, height_ - (r.bottom - r.top)));
}

void TCustomForm::SetClientSize(const TSize& Value) {
  inherited::SetClientSize(Value);
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  // Components that are not controls first, then the controls.
  for (Integer i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    auto* ctl = dynamic_cast<TControl*>(c);
    if (!ctl || !ctl->Parent()) {
      if (!c->HasParent() || !c->GetParentComponent()) Proc(c);
    }
  }
  inherited::GetChildren(Proc, Root);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  DWORD style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  DWORD ex = 0;
  if (!enabled_) style |= WS_DISABLED;
  switch (borderStyle_) {
    case bsNone:
      style |= parentWindow_ ? WS_CHILD : WS_POPUP;
      break;
    case bsSingle:
      style |= WS_CAPTION;
      break;
    case bsSizeable:
      style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      style |= WS_POPUP | WS_CAPTION;
      ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      style |= WS_CAPTION;
      ex |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      style |= WS_CAPTION | WS_THICKFRAME;
      ex |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone) {
    if (borderIcons_.Contains(biSystemMenu)) style |= WS_SYSMENU;
    if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
      if (borderIcons_.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
      if (borderIcons_.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
    }
    if (borderStyle_ == bsDialog && borderIcons_.Contains(biHelp)) {
      ex |= WS_EX_CONTEXTHELP;
    }
  }
  if (formStyle_ == fsStayOnTop) ex |= WS_EX_TOPMOST;
  Params.Style = style;
  Params.ExStyle = ex;
  if (parent_) {
    // A form placed on another control is a child window of it, not a
    // window of its own that would take the activation from its host.
    Params.Style = (style & ~WS_POPUP) | WS_CHILD;
    Params.ExStyle = ex & ~WS_EX_TOPMOST;
    Params.WndParent = parent_->Handle();
  } else if (parentWindow_) {
    Params.WndParent = parentWindow_;
  } else if (popupParent_ && popupParent_ != this) {
    Params.WndParent = popupParent_->Handle();
  } else if (popupMode_ == pmAuto && Screen && Screen->ActiveForm() &&
             Screen->ActiveForm() != this) {
    Params.WndParent = Screen->ActiveForm()->Handle();
  } else {
    Params.WndParent = Application ? Application->Handle() : nullptr;
  }
  Params.WindowClass.style |= CS_DBLCLKS;
  Params.WindowClass.hIcon = SystemIcon(IDI_APPLICATION);
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  if (alphaBlend_ || transparentColor_) SetAlphaBlend(alphaBlend_);
}

void TCustomForm::PaintWindow(HDC DC) {
  TControlPaintScope paint(canvas_.get(), DC);
  Paint();
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  if (activeControl_ && GetParentForm(activeControl_) != this) {
    activeControl_ = nullptr;
  }
}

void TCustomForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  TRect area = Screen ? Screen->WorkAreaRect()
                      : Rect(0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                             ::GetSystemMetrics(SM_CYSCREEN));
  TCustomForm* centreOn = nullptr;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poMainFormCenter:
      centreOn = Application ? Application->MainForm() : nullptr;
      break;
    case poOwnerFormCenter:
      centreOn = dynamic_cast<TCustomForm*>(Owner());
      if (!centreOn) {
        centreOn = Application ? Application->MainForm() : nullptr;
      }
      break;
    default:
      return;
  }
  if (centreOn == this || (centreOn && !centreOn->Showing())) {
    centreOn = nullptr;
  }
  const TRect around = centreOn ? centreOn->BoundsRect() : area;
  Integer l = around.Left + (around.Width() - width_) / 2;
  Integer t = around.Top + (around.Height() - height_) / 2;
  // Keep the caption on the screen.
  l = std::max(area.Left, std::min(l, area.Right - width_));
  t = std::max(area.Top, std::min(t, area.Bottom - height_));
  SetBounds(l, t, width_, height_);
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (Showing()) {
    DoShow();
    // A placed form keeps the bounds its host gives it.
    if (!parent_) ApplyPosition();
    int cmd = SW_SHOWNORMAL;
    if (windowState_ == wsMaximized) cmd = SW_SHOWMAXIMIZED;
    if (windowState_ == wsMinimized) cmd = SW_SHOWMINIMIZED;
    ::ShowWindow(Handle(), cmd);
    if (::GetActiveWindow() == Handle()) {
      HWND focus = ::GetFocus();
      if (!focus || (focus != Handle() && !::IsChild(Handle(), focus)) ||
          focus == Handle()) {
        if (activeControl_ && activeControl_->CanFocus()) {
          ::SetFocus(activeControl_->Handle());
        } else {
          SelectFirst();
        }
      }
    }
  } else {
    DoHide();
    ::ShowWindow(Handle(), SW_HIDE);
  }
}

void TCustomForm::CMDialogKey(TMessage& M) {
  if (::GetKeyState(VK_MENU) >= 0) {
    switch (M.WParam) {
      case VK_TAB:
        if (::GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, ::GetKeyState(VK_SHIFT) >= 0, true);
          M.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          activeControl_->Parent()->SelectNext(
              activeControl_, M.WParam == VK_RIGHT || M.WParam == VK_DOWN,
              false);
          M.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
  }
  // Enter and Escape go to the default and cancel buttons.
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c->Perform(CM_DIALOGKEY, M.WParam, M.LParam) != 0) {
      M.Result = 1;
      return;
    }
  }
}

void TCustomForm::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_CLOSE:
      Close();
      M.Result = 0;
      return;
    case WM_ACTIVATE: {
      const bool activating = LOWORD(M.WParam) != WA_INACTIVE;
      active_ = activating;
      if (activating) {
        if (Screen) Screen->SetActiveForm(this);
        Activate();
        if (!HIWORD(M.WParam)) {
          if (activeControl_ && activeControl_->CanFocus()) {
            ::SetFocus(activeControl_->Handle());
          } else {
            SelectFirst();
            if (!::GetFocus() || !::IsChild(Handle(), ::GetFocus())) {
              ::SetFocus(Handle());
            }
          }
        }
      } else {
        Deactivate();
      }
      M.Result = 0;
      return;
    }
    case CM_RELEASE:
      Free(this);
      return;
    case CM_SHOWINGCHANGED:
      CMShowingChanged(M);
      return;
    case CM_DIALOGKEY:
      CMDialogKey(M);
      return;
    case WM_ERASEBKGND: {
      if (DoubleBuffered() && M.WParam != static_cast<WPARAM>(M.LParam)) {
        M.Result = 1;
        return;
      }
      RECT r;
      ::GetClientRect(Handle(), &r);
      ::FillRect(reinterpret_cast<HDC>(M.WParam), &r, Brush()->Handle());
      M.Result = 1;
      return;
    }
    case WM_SYSCOMMAND:
      if ((M.WParam & 0xFFF0) == SC_MINIMIZE && Application &&
          Application->MainForm() == this) {
        Application->Minimize();
        M.Result = 0;
        return;
      }
      break;
    case WM_NCDESTROY:
      if (Screen && Screen->ActiveForm() == this)
        Screen->SetActiveForm(nullptr);
      break;
    default:
      break;
  }
  inherited::Dispatch(M);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == popupParent_) popupParent_ = nullptr;
    if (AComponent == activeControl_) activeControl_ = nullptr;
    if (AComponent == focusedControl_) focusedControl_ = nullptr;
  }
}

// ---------------------------------------------------------------------------
// TScreen
// ---------------------------------------------------------------------------

TRect TMonitor::BoundsRect() const {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!::GetMonitorInfoA(handle_, &mi)) return TRect{};
  return Rect(mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right,
              mi.rcMonitor.bottom);
}

TRect TMonitor::WorkareaRect() const {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!::GetMonitorInfoA(handle_, &mi)) return TRect{};
  return Rect(mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom);
}

bool TMonitor::Primary() const {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  return ::GetMonitorInfoA(handle_, &mi) && (mi.dwFlags & MONITORINFOF_PRIMARY);
}

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner),
      menuFont_(new TFont),
      hintFont_(new TFont),
      iconFont_(new TFont) {
  if (const TWindowDC dc(nullptr); dc) {
    pixelsPerInch_ = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
  }
  LoadFonts();
}

TScreen::~TScreen() = default;

namespace {
void FontFromLogFont(TFont* font, const LOGFONTA& lf) {
  font->SetName(lf.lfFaceName);
  font->SetHeight(lf.lfHeight);
  TFontStyles style;
  if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
  if (lf.lfItalic) style.Include(fsItalic);
  if (lf.lfUnderline) style.Include(fsUnderline);
  if (lf.lfStrikeOut) style.Include(fsStrikeOut);
  font->SetStyle(style);
  font->SetCharset(static_cast<Integer>(lf.lfCharSet));
}
}  // namespace

void TScreen::LoadFonts() {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    FontFromLogFont(menuFont_.get(), ncm.lfMenuFont);
    FontFromLogFont(hintFont_.get(), ncm.lfStatusFont);
  }
  hintFont_->SetColor(clInfoText);
  LOGFONTA lf{};
  if (::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0)) {
    FontFromLogFont(iconFont_.get(), lf);
  }
}

TWinControl* TScreen::ActiveControl() const {
  return activeForm_ ? activeForm_->ActiveControl() : nullptr;
}

void TScreen::SetCursor(TCursor Value) {
  cursor_ = Value;
  POINT p;
  ::GetCursorPos(&p);
  if (Value == crDefault) {
    if (HWND h = ::WindowFromPoint(p)) {
      ::SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
  } else {
    ::SetCursor(Cursors(Value));
  }
}

HCURSOR TScreen::Cursors(Integer Index) const {
  for (const auto& [id, h] : cursors_) {
    if (id == Index) return h;
  }
  LPCSTR id = IDC_ARROW;
  switch (Index) {
    case crNone:
      return nullptr;
    case crCross:
      id = IDC_CROSS;
      break;
    case crIBeam:
      id = IDC_IBEAM;
      break;
    case crSizeNESW:
      id = IDC_SIZENESW;
      break;
    case crSizeNS:
    case crVSplit:
      id = IDC_SIZENS;
      break;
    case crSizeNWSE:
      id = IDC_SIZENWSE;
      break;
    case crSizeWE:
    case crHSplit:
      id = IDC_SIZEWE;
      break;
    case crUpArrow:
      id = IDC_UPARROW;
      break;
    case crHourGlass:
    case crSQLWait:
      id = IDC_WAIT;
      break;
    case crNoDrop:
    case crNo:
      id = IDC_NO;
      break;
    case crAppStart:
      id = IDC_APPSTARTING;
      break;
    case crHelp:
      id = IDC_HELP;
      break;
    case crHandPoint:
      id = IDC_HAND;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    default:
      break;
  }
  return SystemCursor(id);
}

void TScreen::SetCursors(Integer Index, HCURSOR Handle) {
  for (auto& entry : cursors_) {
    if (entry.first == Index) {
      entry.second = Handle;
      return;
    }
  }
  cursors_.emplace_back(Index, Handle);
}

TRect TScreen::DesktopRect() const {
  const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return Rect(r.left, r.top, r.right, r.bottom);
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR h, HDC, LPRECT, LPARAM data) {
  reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(h);
  return TRUE;
}
}  // namespace

void TScreen::ReadMonitors() {
  std::vector<HMONITOR> handles;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor,
                        reinterpret_cast<LPARAM>(&handles));
  monitors_.clear();
  for (HMONITOR h : handles) {
    auto m = std::make_unique<TMonitor>();
    m->handle_ = h;
    m->num_ = static_cast<Integer>(monitors_.size());
    monitors_.push_back(std::move(m));
  }
}

Integer TScreen::MonitorCount() {
  ReadMonitors();
  return static_cast<Integer>(monitors_.size());
}

TMonitor* TScreen::Monitors(Integer Index) {
  if (monitors_.empty()) ReadMonitors();
  if (Index < 0 || Index >= static_cast<Integer>(monitors_.size())) {
    throw EListError("List index out of bounds (%d)", {Index});
  }
  return monitors_[Index].get();
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle) {
  HMONITOR h = ::MonitorFromWindow(Handle, MONITOR_DEFAULTTONEAREST);
  ReadMonitors();
  for (auto& m : monitors_) {
    if (m->handle_ == h) return m.get();
  }
  return monitors_.empty() ? nullptr : monitors_.front().get();
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point) {
  HMONITOR h =
      ::MonitorFromPoint(POINT{Point.X, Point.Y}, MONITOR_DEFAULTTONEAREST);
  ReadMonitors();
  for (auto& m : monitors_) {
    if (m->handle_ == h) return m.get();
  }
  return monitors_.empty() ? nullptr : monitors_.front().get();
}

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(forms_.begin(), forms_.end(), Form) == forms_.end()) {
    forms_.push_back(Form);
  }
}

void TScreen::RemoveForm(TCustomForm* Form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), Form), forms_.end());
  if (activeForm_ == Form) activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
  if (activeForm_ == Form) return;
  activeForm_ = Form;
  // The active form is listed first.
  if (Form) {
    auto it = std::find(forms_.begin(), forms_.end(), Form);
    if (it != forms_.end()) std::rotate(forms_.begin(), it, it + 1);
  }
  OnActiveFormChange(this);
}

// ---------------------------------------------------------------------------
// TApplication
// ---------------------------------------------------------------------------

namespace {
constexpr UINT_PTR kHintTimer = 1;
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  objectInstance_ =
      MakeObjectInstance(TWndMethod(this, &TApplication::WndProc));
}

TApplication::~TApplication() {
  StopHintTimer();
  // The forms owned here go first, while the window they hang on exists.
  DestroyComponents();
  if (handle_) {
    ::DestroyWindow(handle_);
    handle_ = nullptr;
  }
  FreeObjectInstance(objectInstance_);
}

HWND TApplication::Handle() {
  if (handle_) return handle_;
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  constexpr const char* kClass = "TApplication";
  WNDCLASSA wc{};
  if (!::GetClassInfoA(inst, kClass, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = inst;
    wc.hIcon = SystemIcon(IDI_APPLICATION);
    wc.hCursor = SystemCursor(IDC_ARROW);
    wc.lpszClassName = kClass;
    if (!::RegisterClassA(&wc)) RaiseLastWin32Error();
  }
  const String title = Title();
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  const int cy = ::GetSystemMetrics(SM_CYSCREEN);
  handle_ = ::CreateWindowExA(
      0, kClass, title.c_str(),
      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
      cx / 2, cy / 2, 0, 0, nullptr, nullptr, inst, nullptr);
  if (!handle_) RaiseLastWin32Error();
  ::SetWindowLongPtrA(handle_, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(objectInstance_));
  return handle_;
}

String TApplication::Title() {
  if (!title_.empty()) return title_;
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ChangeFileExt(ExtractFileName(path), "");
}

void TApplication::SetTitle(const String& Value) {
  title_ = Value;
  if (handle_) ::SetWindowTextA(handle_, Value.c_str());
}

template <class F>
void TApplication::ForEachEvents(F f) {
  for (TApplicationEvents* e : events_) e->cancelled_ = false;
  for (TApplicationEvents* e : std::vector<TApplicationEvents*>(events_)) {
    f(e);
    if (e->cancelled_) break;
  }
}

void TApplication::Run() {
  terminated_ = false;
  if (mainForm_ && showMainForm_) {
    if (mainForm_->windowState_ == wsMinimized) {
      Minimize();
    } else {
      mainForm_->SetVisible(true);
    }
  }
  do {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  } while (!terminated_);
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!::PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    bool handled = false;
    OnMessage(Msg, handled);
    if (!handled) {
      ForEachEvents([&](TApplicationEvents* e) {
        if (!handled) e->OnMessage(Msg, handled);
      });
    }
    if (handled || IsKeyMsg(Msg)) return true;
  } catch (...) {
    HandleException(this);
    return true;
  }
  ::TranslateMessage(&Msg);
  ::DispatchMessageA(&Msg);
  return true;
}

bool TApplication::IsKeyMsg(MSG& Msg) {
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
      break;
    default:
      return false;
  }
  if (Msg.message == WM_KEYDOWN && Msg.wParam == VK_ESCAPE && DragControl()) {
    CancelDrag();
    return true;
  }
  // Keys of a system control's inner window (a combo box's edit) belong to
  // the control.
  TWinControl* control = nullptr;
  for (HWND h = Msg.hwnd; h && !control; h = ::GetParent(h)) {
    control = FindControl(h);
  }
  if (!control) return false;
  return control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

void TApplication::Idle(const MSG&) {
  bool done = true;
  try {
    OnIdle(this, done);
    ForEachEvents([&](TApplicationEvents* e) { e->OnIdle(this, done); });
  } catch (...) {
    HandleException(this);
  }
  if (done) ::WaitMessage();
}

void TApplication::Terminate() { ::PostQuitMessage(0); }

void TApplication::Minimize() {
  HWND h = Handle();
  if (::IsIconic(h)) return;
  ::ShowWindow(h, SW_MINIMIZE);
  OnMinimize(this);
  ForEachEvents([&](TApplicationEvents* e) { e->OnMinimize(this); });
}

void TApplication::Restore() {
  HWND h = Handle();
  if (!::IsIconic(h)) return;
  ::ShowWindow(h, SW_RESTORE);
  if (mainForm_ && mainForm_->HandleAllocated() && mainForm_->Showing()) {
    ::SetActiveWindow(mainForm_->Handle());
  }
  OnRestore(this);
  ForEachEvents([&](TApplicationEvents* e) { e->OnRestore(this); });
}

void TApplication::BringToFront() {
  if (!mainForm_ || !mainForm_->HandleAllocated()) return;
  HWND top = ::GetLastActivePopup(mainForm_->Handle());
  if (top && ::IsWindowVisible(top) && ::IsWindowEnabled(top)) {
    ::SetForegroundWindow(top);
  }
}

void TApplication::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  if (Value) {
    OnActivate(this);
    ForEachEvents([&](TApplicationEvents* e) { e->OnActivate(this); });
  } else {
    CancelHint();
    OnDeactivate(this);
    ForEachEvents([&](TApplicationEvents* e) { e->OnDeactivate(this); });
  }
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  // Whatever held the mouse lets go before a box appears.
  if (HWND capture = ::GetCapture()) {
    ::SendMessageA(capture, WM_CANCELMODE, 0, 0);
  }
  auto report = [&](Exception& e) {
    bool hooked = static_cast<bool>(OnException);
    for (TApplicationEvents* ev : events_) {
      if (ev->OnException) hooked = true;
    }
    if (!hooked) {
      ShowException(&e);
      return;
    }
    try {
      OnException(Sender, &e);
      ForEachEvents(
          [&](TApplicationEvents* ev) { ev->OnException(Sender, &e); });
    } catch (Exception& again) {
      // An exception handler that fails still gets the failure shown,
      // whatever it throws.
      ShowException(&again);
    } catch (std::exception& again) {
      Exception wrapped(again.what());
      ShowException(&wrapped);
    } catch (...) {
      Exception wrapped("Unknown exception");
      ShowException(&wrapped);
    }
  };
  try {
    std::rethrow_exception(current);
  } catch (EAbort&) {
  } catch (Exception& e) {
    report(e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    report(wrapped);
  } catch (...) {
    Exception wrapped("Unknown exception");
    report(wrapped);
  }
}

void TApplication::ShowException(Exception* E) {
  String msg = E ? E->Message() : String();
  if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') {
    msg += '.';
  }
  MessageBoxSeam(msg, Title(), mbOK | mbIconError);
}

bool TApplication::HelpContext(Integer Context) {
  return HelpCommand(HELP_CONTEXT, Context);
}

bool TApplication::HelpCommand(Integer Command, Integer Data) {
  bool callHelp = true;
  const bool result = OnHelp(static_cast<Word>(Command), Data, callHelp);
  return callHelp ? false : result;
}

Integer TApplication::MessageBox(const String& Text, const String& Caption,
                                 Cardinal Flags) {
  return MessageBoxSeam(Text, Caption.empty() ? Title() : Caption, Flags);
}

void TApplication::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_ACTIVATEAPP:
      SetActive(M.WParam != 0);
      break;
    case WM_WININICHANGE:
      if (updateFormatSettings_) GetFormatSettings();
      break;
    case WM_TIMER:
      if (M.WParam == kHintTimer) {
        HintTimerExpired();
        return;
      }
      break;
    case WM_SYSCOMMAND:
      switch (M.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          return;
        case SC_RESTORE:
          Restore();
          return;
        default:
          break;
      }
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return;
    default:
      break;
  }
  M.Result = ::DefWindowProcA(handle_, M.Msg, M.WParam, M.LParam);
}

// --- Hints ---

void TApplication::SetShowHint(bool Value) {
  showHint_ = Value;
  if (!Value) CancelHint();
}

void TApplication::SetHint(const String& Value) {
  if (hint_ == Value) return;
  hint_ = Value;
  OnHint(this);
  ForEachEvents([&](TApplicationEvents* e) { e->OnHint(this); });
}

namespace {
// The hint shown in the hint window: the part before '|'.
String ShortHint(const String& hint) {
  const auto bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}
String LongHint(const String& hint) {
  const auto bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(bar + 1);
}
}  // namespace

void TApplication::HintMouseMessage(TControl* Control, TMessage&) {
  if (Control != mouseControl_) {
    TControl* old = mouseControl_;
    mouseControl_ = Control;
    if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
    if (Control) Control->Perform(CM_MOUSEENTER, 0, 0);
    SetHint(Control ? LongHint(Control->Hint()) : String());
  }
  if (!showHint_) return;
  if (Control == hintControl_) return;
  const bool hasHint =
      Control && Control->ShowHint() && !ShortHint(Control->Hint()).empty();
  if (!hasHint) {
    CancelHint();
    return;
  }
  hintControl_ = Control;
  StartHintTimer(hintActive_ ? hintShortPause_ : hintPause_, true);
}

void TApplication::StartHintTimer(Integer Value, bool Show) {
  StopHintTimer();
  hintTimerShows_ = Show;
  hintTimer_ =
      ::SetTimer(Handle(), kHintTimer,
                 static_cast<UINT>(std::max<Integer>(Value, 1)), nullptr);
}

void TApplication::StopHintTimer() {
  if (hintTimer_ && handle_) ::KillTimer(handle_, kHintTimer);
  hintTimer_ = 0;
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (hintTimerShows_) {
    POINT p;
    ::GetCursorPos(&p);
    ActivateHint({p.x, p.y});
  } else {
    HideHint();
  }
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  TControl* c = hintControl_;
  if (!c || !showHint_) return;
  THintInfo info;
  info.HintControl = c;
  info.HintPos = {CursorPos.X, CursorPos.Y + 20};
  info.HintMaxWidth = Screen ? Screen->Width() : 640;
  info.HintColor = static_cast<Cardinal>(hintColor_);
  info.CursorPos = c->ScreenToClient(CursorPos);
  info.CursorRect = c->ClientRect();
  info.HideTimeout = hintHidePause_;
  info.HintStr = ShortHint(c->Hint());
  bool canShow =
      c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  String text = info.HintStr;
  OnShowHint(text, canShow, info);
  ForEachEvents(
      [&](TApplicationEvents* e) { e->OnShowHint(text, canShow, info); });
  if (!canShow || text.empty()) {
    HideHint();
    return;
  }
  if (!hintWindow_) hintWindow_ = new THintWindow(this);
  hintWindow_->SetColor(static_cast<TColor>(info.HintColor));
  TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, text);
  OffsetRect(r, info.HintPos.X, info.HintPos.Y);
  hintWindow_->ActivateHint(r, text);
  hintActive_ = true;
  if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout, false);
}

void TApplication::HideHint() {
  if (hintWindow_ && hintWindow_->HandleAllocated()) {
    hintWindow_->ReleaseHandle();
  }
  hintActive_ = false;
}

void TApplication::CancelHint() {
  StopHintTimer();
  HideHint();
  hintControl_ = nullptr;
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (mouseControl_ == Control) mouseControl_ = nullptr;
  if (hintControl_ == Control) CancelHint();
  if (hintWindow_ == Control) hintWindow_ = nullptr;
  if (mainForm_ == Control) mainForm_ = nullptr;
}

// ---------------------------------------------------------------------------
// TApplicationEvents
// ---------------------------------------------------------------------------

TApplicationEvents::TApplicationEvents(TComponent* AOwner)
    : TComponent(AOwner) {
  if (Application) Application->events_.push_back(this);
}

TApplicationEvents::~TApplicationEvents() {
  if (Application) {
    auto& list = Application->events_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

// ---------------------------------------------------------------------------
// Published properties and the unit
// ---------------------------------------------------------------------------

namespace {

void FormsStartup() {
  RegisterEnum<TBorderIcon>(
      "TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
  RegisterTypeName<TBorderIcons>("TBorderIcons");
  RegisterEnum<TFormStyle>(
      "TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
  RegisterEnum<TPosition>(
      "TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly",
                    "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter",
                    "poMainFormCenter", "poOwnerFormCenter"});
  RegisterEnum<TWindowState>("TWindowState",
                             {"wsNormal", "wsMinimized", "wsMaximized"});
  RegisterEnum<TPopupMode>("TPopupMode", {"pmNone", "pmAuto", "pmExplicit"});
  RegisterEnum<TDefaultMonitor>(
      "TDefaultMonitor",
      {"dmDesktop", "dmPrimary", "dmMainForm", "dmActiveForm"});

  TPublished<TCustomForm>()
      .Property("ActiveControl", &TCustomForm::ActiveControl,
                &TCustomForm::SetActiveControl)
      .Property("AlphaBlend", &TCustomForm::AlphaBlend,
                &TCustomForm::SetAlphaBlend, false)
      .Property("AlphaBlendValue", &TCustomForm::AlphaBlendValue,
                &TCustomForm::SetAlphaBlendValue, Byte{255})
      .Property("BorderIcons", &TCustomForm::BorderIcons,
                &TCustomForm::SetBorderIcons,
                TBorderIcons{biSystemMenu, biMinimize, biMaximize})
      .Property("BorderStyle", &TCustomForm::BorderStyle,
                &TCustomForm::SetBorderStyle, bsSizeable)
      .Property("Caption", &TControl::Caption, &TControl::SetCaption)
      .Property("ClientHeight", &TControl::ClientHeight,
                &TControl::SetClientHeight)
      .Stored(false)
      .Property("ClientWidth", &TControl::ClientWidth,
                &TControl::SetClientWidth)
      .Stored(false)
      .Property("DefaultMonitor", &TCustomForm::DefaultMonitor,
                &TCustomForm::SetDefaultMonitor, dmActiveForm)
      .Property("FormStyle", &TCustomForm::FormStyle,
                &TCustomForm::SetFormStyle, fsNormal)
      .Property("KeyPreview", &TCustomForm::KeyPreview,
                &TCustomForm::SetKeyPreview, false)
      .Property("PixelsPerInch", &TCustomForm::PixelsPerInch,
                &TCustomForm::SetPixelsPerInch)
      .Property("PopupMode", &TCustomForm::PopupMode,
                &TCustomForm::SetPopupMode, pmNone)
      .Property("PopupParent", &TCustomForm::PopupParent,
                &TCustomForm::SetPopupParent)
      .Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                poDesigned)
      .Property("TextHeight", &TCustomForm::TextHeight,
                &TCustomForm::SetTextHeight)
      .Property("WindowState", &TCustomForm::WindowState,
                &TCustomForm::SetWindowState, wsNormal)
      .Property("Visible", &TControl::Visible, &TControl::SetVisible, false)
      .Event("OnActivate", &TCustomForm::OnActivate, &TCustomForm::OnActivate)
      .Event("OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose)
      .Event("OnCloseQuery", &TCustomForm::OnCloseQuery,
             &TCustomForm::OnCloseQuery)
      .Event("OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate)
      .Event("OnDeactivate", &TCustomForm::OnDeactivate,
             &TCustomForm::OnDeactivate)
      .Event("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::OnDestroy)
      .Event("OnHide", &TCustomForm::OnHide, &TCustomForm::OnHide)
      .Event("OnPaint", &TCustomForm::OnPaint, &TCustomForm::OnPaint)
      .Event("OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);

  TPublished<TApplicationEvents>()
      .Event("OnActivate", &TApplicationEvents::OnActivate,
             &TApplicationEvents::OnActivate)
      .Event("OnDeactivate", &TApplicationEvents::OnDeactivate,
             &TApplicationEvents::OnDeactivate)
      .Event("OnException", &TApplicationEvents::OnException,
             &TApplicationEvents::OnException)
      .Event("OnHint", &TApplicationEvents::OnHint, &TApplicationEvents::OnHint)
      .Event("OnIdle", &TApplicationEvents::OnIdle, &TApplicationEvents::OnIdle)
      .Event("OnMessage", &TApplicationEvents::OnMessage,
             &TApplicationEvents::OnMessage)
      .Event("OnMinimize", &TApplicationEvents::OnMinimize,
             &TApplicationEvents::OnMinimize)
      .Event("OnRestore", &TApplicationEvents::OnRestore,
             &TApplicationEvents::OnRestore)
      .Event("OnShowHint", &TApplicationEvents::OnShowHint,
             &TApplicationEvents::OnShowHint);

  RegisterClasses({TForm::StaticClass(), TApplicationEvents::StaticClass()});

  Application = new TApplication(nullptr);
  Screen = new TScreen(nullptr);
}

void FormsShutdown() {
  FreeAndNil(Application);
  FreeAndNil(Screen);
}

}  // namespace

VARNEL_UNIT(Forms, ({"SysUtils", "Classes", "Graphics", "Controls"}),
            &FormsStartup, &FormsShutdown);
