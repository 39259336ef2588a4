#include "dxBarWinControls.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Forms.h"
#include "Handles.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "dxBarItemKinds.h"
#include "dxBarNavigation.h"

namespace {

// Escape is down on its own: leaving the edit then drops what was typed.
bool EscapePressed() {
  return ::GetAsyncKeyState(VK_ESCAPE) < 0 &&
         ::GetAsyncKeyState(VK_CONTROL) >= 0 &&
         ::GetAsyncKeyState(VK_MENU) >= 0;
}

TShiftState KeyShift(LPARAM AKeyData) {
  TShiftState shift = KeyDataToShiftState(AKeyData);
  if (::GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  return shift;
}

bool IsMouseMessage(UINT AMsg) {
  return AMsg >= WM_MOUSEFIRST && AMsg <= WM_MOUSEFIRST + 10;
}

TPoint MessagePoint(const TMessage& M) {
  return {static_cast<short>(LOWORD(M.LParam)),
          static_cast<short>(HIWORD(M.LParam))};
}

LPARAM PointParam(const TPoint& P) {
  return MAKELPARAM(static_cast<WORD>(P.X), static_cast<WORD>(P.Y));
}

bool IsToolbarWindow(HWND AWnd) {
  auto* bar = dynamic_cast<TdxBarControl*>(FindControl(AWnd));
  return bar != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxBarWinControl
// ---------------------------------------------------------------------------

TdxBarWinControl::~TdxBarWinControl() {
  if (thunk_) FreeObjectInstance(thunk_);
}

TdxBarWindowItem* TdxBarWinControl::WindowItem() const {
  return dynamic_cast<TdxBarWindowItem*>(Item());
}

bool TdxBarWinControl::CanClicked() const {
  return Parent() && Parent()->IsVertical();
}

bool TdxBarWinControl::CanSelect() const {
  return TdxBarItemControl::CanSelect();
}

bool TdxBarWinControl::CanDeselect(TdxBarManager* AManager) const {
  if (!TdxBarItemControl::CanDeselect(AManager)) return false;
  if (AManager == GetBarManager()) return true;
  // An MDI child's edit stays put while its frame's bars change hands.
  TCustomForm* frame = AManager ? AManager->MainForm() : nullptr;
  TCustomForm* own = GetBarManager() ? GetBarManager()->MainForm() : nullptr;
  return frame && own && frame->FormStyle() == fsMDIForm &&
         own->FormStyle() == fsMDIChild && !settingText_;
}

bool TdxBarWinControl::IsChildWindow(HWND AWnd) const {
  HWND own = GetHandle();
  return own && AWnd && (AWnd == own || ::IsChild(own, AWnd));
}

TRect TdxBarWinControl::GetWindowRect() const {
  const TdxBarWindowItem* item = WindowItem();
  if (!GetEnabled() || (item && item->EmptyWindow())) return {};
  return windowRect_;
}

void TdxBarWinControl::SetWindowRect(const TRect& Value) {
  windowRect_ = Value;
  HWND wnd = GetHandle();
  if (wnd && ::IsWindowVisible(wnd)) {
    RECT actual{};
    ::GetWindowRect(wnd, &actual);
    ::MapWindowPoints(nullptr, ::GetParent(wnd),
                      reinterpret_cast<POINT*>(&actual), 2);
    if (TRect{actual.left, actual.top, actual.right, actual.bottom} != Value)
      ::SetWindowPos(wnd, nullptr, Value.Left, Value.Top, Value.Width(),
                     Value.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  PrepareEditWnd();
}

void TdxBarWinControl::ControlClick(bool AByMouse, char AKey) {
  SetFocused(true);
  ActivateEdit(AByMouse, AKey);
}

void TdxBarWinControl::ActivateEdit(bool AByMouse, char) {
  HWND wnd = GetHandle();
  if (!AByMouse || !wnd || !Parent() || !Parent()->HandleAllocated()) return;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(Parent()->Handle(), &cursor);
  const TPoint p{cursor.x, cursor.y};
  if (!PtInRect(GetItemBounds(), p) || PtInRect(windowRect_, p)) return;
  // A press on the caption puts the caret where the field begins.
  ::SendMessageA(wnd, WM_LBUTTONDOWN, ShiftStateToKeys(InternalGetShiftState()),
                 PointParam({p.X - windowRect_.Left, p.Y - windowRect_.Top}));
}

void TdxBarWinControl::ControlGetFocus(bool AByMouse) {
  // A press while editing belongs to the window.
  if (focused_ && AByMouse) return;
  TdxBarItemControl::ControlGetFocus(AByMouse);
}

void TdxBarWinControl::ControlInactivate(bool AImmediately) {
  TdxBarItemControl::ControlInactivate(AImmediately);
  SetFocused(false);
}

void TdxBarWinControl::EnabledChanged() {
  SetFocused(false);
  TdxBarItemControl::EnabledChanged();
}

void TdxBarWinControl::DefaultHandler(TMessage& Message) {
  HWND wnd = GetHandle();
  if (!wnd || !previousProc_) return;
  Message.Result = ::CallWindowProcA(previousProc_, wnd, Message.Msg,
                                     Message.WParam, Message.LParam);
}

void TdxBarWinControl::TransferMessage(HWND AFrom, TMessage& Message) {
  HWND wnd = GetHandle();
  if (!wnd || !IsMouseMessage(Message.Msg)) return;
  TPoint p = MessagePoint(Message);
  MapWindowPoint(AFrom, wnd, p);
  Message.Result =
      ::SendMessageA(wnd, Message.Msg, Message.WParam, PointParam(p));
}

void TdxBarWinControl::CreateInnerEdit() {
  HWND wnd = GetHandle();
  if (!wnd || thunk_) return;
  thunk_ = MakeObjectInstance(TWndMethod(this, &TdxBarWinControl::WndProc));
  previousProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk_)));
}

void TdxBarWinControl::DestroyInnerEdit(bool) {
  HWND wnd = GetHandle();
  if (!wnd || !thunk_) return;
  SetFocused(false);
  ::SetWindowLongPtrA(wnd, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(previousProc_));
  FreeObjectInstance(thunk_);
  thunk_ = nullptr;
}

String TdxBarWinControl::GetText() const {
  HWND wnd = GetHandle();
  if (!wnd) return String();
  // The whole text: what the user typed is never cut to a fixed buffer.
  const auto length = ::SendMessageA(wnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return String();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  const auto copied = ::SendMessageA(wnd, WM_GETTEXT, buffer.size(),
                                     reinterpret_cast<LPARAM>(buffer.data()));
  return String(buffer.data(), static_cast<std::size_t>(std::max<LRESULT>(
                                   0, std::min<LRESULT>(copied, length))));
}

void TdxBarWinControl::SetText(const String& Value) {
  if (HWND wnd = GetHandle()) ::SetWindowTextA(wnd, Value.c_str());
  const TdxBarWindowItem* item = WindowItem();
  if (item && item->EmptyWindow()) Repaint();
}

void TdxBarWinControl::RestoreDisplayValue() {
  if (const TdxBarWindowItem* item = WindowItem()) SetText(item->GetText());
}

void TdxBarWinControl::StoreDisplayValue() {
  if (TdxBarWindowItem* item = WindowItem()) item->SetText(GetText());
}

void TdxBarWinControl::Show() {
  onGlass_ = false;
  HWND wnd = GetHandle();
  if (!wnd) return;
  if (TFont* font = GetEditFont())
    ::SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->Handle()),
                   0);
  const TRect r = GetWindowRect();
  ::SetWindowPos(wnd, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
  PrepareEditWnd();
  {
    TRestoreOnExit<bool> quiet(settingText_, true);
    RestoreDisplayValue();
  }
  ::SetFocus(wnd);
}

void TdxBarWinControl::SetFocused(bool Value) {
  if (focused_ == Value) return;
  TCustomdxBarControl* bar = Parent();
  TdxBarManager* manager = GetBarManager();
  if (Value) {
    focused_ = true;
    prevFocus_ = ::GetFocus();
    if (!Activated()) ControlActivate(true);
    if (bar) bar->UpdateItem(this);
    Show();
    return;
  }
  focused_ = false;
  const bool store =
      manager && manager->AlwaysSaveText && !escaping_ && !EscapePressed();
  Hide(store);
  HWND back = prevFocus_;
  prevFocus_ = nullptr;
  // The focus goes back where it was when editing began, unless that
  // window went meanwhile.
  if (::GetFocus() != nullptr && !IsChildWindow(::GetFocus())) return;
  if (back && ::IsWindow(back) && ::IsWindowVisible(back) &&
      !IsChildWindow(back)) {
    ::SetFocus(back);
    return;
  }
  TWinControl* owner = manager ? manager->ParentedOwner() : nullptr;
  if (owner && owner->HandleAllocated() && ::IsWindowVisible(owner->Handle())) {
    ::SetFocus(owner->Handle());
  } else if (owner && owner->HandleAllocated()) {
    if (HWND next = ::GetWindow(owner->Handle(), GW_HWNDNEXT)) ::SetFocus(next);
  }
}

// --- Keys typed in the window -------------------------------------------

void TdxBarWinControl::EditKeyDown(Word& AKey, TShiftState AShift) {
  if (AKey == VK_F10 || AKey == VK_MENU || AShift.Contains(ssAlt)) {
    SysKeyDown(AKey, AShift);
    return;
  }
  TcxObjectLinkScope self(this);
  if (TdxBarWindowItem* item = WindowItem()) item->KeyDown(AKey, AShift);
  if (!self.Alive()) {
    AKey = 0;
    return;
  }
  switch (AKey) {
    case VK_TAB:
      AKey = 0;
      DoNavigation();
      break;
    case VK_RETURN:
      AKey = 0;
      DoEnter();
      break;
    case VK_ESCAPE:
      AKey = 0;
      DoEscape();
      break;
    default:
      break;
  }
}

void TdxBarWinControl::EditKeyPress(char& AKey) {
  if (TdxBarWindowItem* item = WindowItem()) item->KeyPress(AKey);
}

void TdxBarWinControl::EditKeyUp(Word& AKey, TShiftState AShift) {
  if (AKey == VK_MENU || AShift.Contains(ssAlt)) {
    SysKeyUp(AKey, AShift);
    return;
  }
  if (TdxBarWindowItem* item = WindowItem()) item->KeyUp(AKey, AShift);
}

void TdxBarWinControl::SysKeyDown(Word& AKey, TShiftState AShift) {
  ++altCounter_;
  if (AKey == VK_MENU) {
    AKey = 0;
    return;
  }
  if (AKey != VK_F10) return;
  altCounter_ = 0;
  TcxObjectLinkScope self(this);
  if (Parent()) Parent()->HideAll();
  if (AShift.Contains(ssShift)) {
    AKey = 0;
    return;
  }
  const bool handled = DoCallKeyboardHook(VK_F10, 1);
  if (handled || !self.Alive()) AKey = 0;
}

void TdxBarWinControl::SysKeyUp(Word& AKey, TShiftState) {
  if (altCounter_ <= 0) {
    AKey = 0;
    return;
  }
  altCounter_ = 0;
  if (AKey != VK_MENU) return;
  TcxObjectLinkScope self(this);
  if (Parent()) Parent()->HideAll();
  dxBarAltReleasedInEdit();
  const bool handled = DoCallKeyboardHook(VK_MENU, 0x80000001);
  if (handled || !self.Alive()) AKey = 0;
}

bool TdxBarWinControl::DoCallKeyboardHook(Word AKey, LPARAM AKeyData) {
  return dxBarCallKeyboardHookFromEdit(AKey, AKeyData);
}

void TdxBarWinControl::KillCharMessages() {
  if (HWND wnd = GetHandle()) KillMessages(wnd, WM_CHAR, WM_CHAR);
}

void TdxBarWinControl::DoEnter() {
  if (TdxBarItemLink* link = ItemLink()) {
    if (TdxBarItemLink* real = link->GetRealItemLink())
      real->BringToTopInRecentList(true);
  }
  TcxObjectLinkScope self(this);
  StoreDisplayValue();
  if (!self.Alive()) return;
  HWND wnd = GetHandle();
  if (!wnd || !::IsWindowVisible(wnd)) return;
  TCustomdxBarControl* bar = Parent();
  if (!bar) return;
  TcxObjectLinkScope barAlive(bar);
  bar->SetKeySelectedItem(nullptr);
  if (self.Alive()) KillCharMessages();
  if (barAlive.Alive()) bar->HideAll();
}

void TdxBarWinControl::DoEscape() {
  TCustomdxBarControl* bar = Parent();
  if (!bar) return;
  TcxObjectLinkScope self(this);
  TcxObjectLinkScope barAlive(bar);
  {
    TRestoreOnExit<bool> escaping(escaping_, true);
    bar->SetKeySelectedItem(nullptr);
  }
  if (self.Alive()) KillCharMessages();
  if (barAlive.Alive()) bar->AfterControlEscape(this);
}

void TdxBarWinControl::DoNavigation() {
  TcxObjectLinkScope self(this);
  StoreDisplayValue();
  if (!self.Alive()) return;
  HWND wnd = GetHandle();
  if (!wnd || !::IsWindowVisible(wnd)) return;
  KillCharMessages();
  if (TdxBarNavigationController* controller = BarNavigationController())
    controller->HandleKey(VK_TAB);
}

// --- Window procedure ----------------------------------------------------

void TdxBarWinControl::WndProc(TMessage& Message) {
  TcxObjectLinkScope self(this);
  bool consumed = false;
  TCustomdxBarControl* bar = Parent();
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      Word key = static_cast<Word>(Message.WParam);
      const bool down =
          Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
      if (down)
        EditKeyDown(key, KeyShift(Message.LParam));
      else
        EditKeyUp(key, KeyShift(Message.LParam));
      consumed = key == 0;
      if (!consumed) Message.WParam = key;
      break;
    }
    case WM_CHAR: {
      char key = static_cast<char>(Message.WParam);
      EditKeyPress(key);
      consumed = key == 0;
      if (!consumed) Message.WParam = static_cast<Byte>(key);
      break;
    }
    case WM_SETFOCUS:
      if (TdxBarWindowItem* item = WindowItem()) item->DoEnter();
      break;
    case WM_KILLFOCUS: {
      const HWND next = reinterpret_cast<HWND>(Message.WParam);
      TdxBarWindowItem* item = WindowItem();
      TScopeGuard exit([&] {
        if (self.Alive() && item) item->DoExit();
      });
      KillFocus(next);
      if (!self.Alive()) return;
      if (focused_) {
        DefaultHandler(Message);
        consumed = true;
        if (bar) bar->HideAll();
      } else if (dynamic_cast<TdxBarControl*>(bar)) {
        HWND parent = next ? ::GetParent(next) : nullptr;
        const bool toolbar =
            next && (IsToolbarWindow(next) || IsToolbarWindow(parent) ||
                     (parent && IsToolbarWindow(::GetParent(parent))));
        if (toolbar) {
          DefaultHandler(Message);
          consumed = true;
          KillCharMessages();
          bar->HideAll();
        }
      }
      break;
    }
    case WM_COMMAND:
      if (HIWORD(Message.WParam) == EN_CHANGE && !settingText_)
        if (TdxBarWindowItem* item = WindowItem()) item->CurChange();
      consumed = true;
      break;
    case WM_MOUSEMOVE:
      if (bar && bar->HandleAllocated()) {
        TPoint p = MessagePoint(Message);
        MapWindowPoint(GetHandle(), bar->Handle(), p);
        bar->Perform(WM_MOUSEMOVE, Message.WParam, PointParam(p));
      }
      break;
    case WM_RBUTTONDOWN:
      if (bar && bar->HandleAllocated()) {
        TPoint p = MessagePoint(Message);
        MapWindowPoint(GetHandle(), bar->Handle(), p);
        MouseDown(mbRight, MouseKeysToShiftState(Message.WParam), p.X, p.Y);
        if (self.Alive())
          ::SendMessageA(bar->Handle(), WM_RBUTTONDOWN, Message.WParam,
                         PointParam(p));
      }
      consumed = true;
      break;
    default:
      if (IsMouseMessage(Message.Msg) || Message.Msg == WM_MOUSEWHEEL) {
        HWND wnd = GetHandle();
        TPoint p = MessagePoint(Message);
        if (Message.Msg == WM_MOUSEWHEEL) {
          POINT screen{p.X, p.Y};
          ::ScreenToClient(wnd, &screen);
          p = {screen.x, screen.y};
        }
        RECT client{};
        ::GetClientRect(wnd, &client);
        const bool inside = ::GetCapture() == wnd ||
                            ::PtInRect(&client, POINT{p.X, p.Y}) != FALSE;
        if (!inside && bar && bar->HandleAllocated()) {
          MapWindowPoint(wnd, bar->Handle(), p);
          consumed = PtInRect(GetItemBounds(), p);
        }
      }
      break;
  }
  if (!self.Alive() || consumed) return;
  DefaultHandler(Message);
}

// ---------------------------------------------------------------------------
// TdxBarCustomEditControl
// ---------------------------------------------------------------------------

TClass TdxBarCustomEditControl::GetDrawParamsClass() const {
  return TdxBarEditLikeControlDrawParams::StaticClass();
}

TdxBarEditLikeControlDrawParams& TdxBarCustomEditControl::EditDrawParams()
    const {
  return *static_cast<TdxBarEditLikeControlDrawParams*>(DrawParams());
}

bool TdxBarCustomEditControl::GetShowCaption() const {
  if (GetPaintType() == ptMenu) return true;
  return Item() && Item()->ShowCaption();
}

TdxBarItemControlViewStructure
TdxBarCustomEditControl::GetDefaultViewStructure() const {
  TdxBarItemControlViewStructure result;
  if (GetShowCaption()) result.Include(cpText);
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  if (IconAssigned(cvsSmall) && painter &&
      painter->EditControlShowIconDefault(EditDrawParams()))
    result.Include(cpIcon);
  return result;
}

TdxBarItemViewLevels TdxBarCustomEditControl::GetPossibleViewLevels() const {
  TdxBarItemViewLevels levels = TdxBarWinControl::GetPossibleViewLevels();
  levels.Include(ivlControlOnly);
  return levels;
}

TRect TdxBarCustomEditControl::GetIndents(TdxBarItemControlPart APart) const {
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  if (!painter) return {APart == cpText ? 2 : 0, 0, 4, 0};
  return painter->EditControlIndents(EditDrawParams(), APart);
}

Integer TdxBarCustomEditControl::GetCaptionAreaWidth() {
  if (!DrawParams()->ViewStructure.Contains(cpText)) return 0;
  const TRect indents = GetIndents(cpText);
  return GetCaptionWidth() + indents.Left + indents.Right;
}

Integer TdxBarCustomEditControl::GetGlyphAreaWidth() {
  if (!DrawParams()->ViewStructure.Contains(cpIcon)) return 0;
  const TRect indents = GetIndents(cpIcon);
  return GetGlyphSize(GetViewSize()).cx + indents.Left + indents.Right;
}

Integer TdxBarCustomEditControl::GetControlAreaWidth() {
  TdxBarItemLink* link = ItemLink();
  if (link && link->UserWidth() > 0) return link->UserWidth();
  return Item() ? Item()->GetWidth() : 100;
}

Integer TdxBarCustomEditControl::GetDefaultWidth() {
  return GetDefaultWidthHorzLayout();
}

Integer TdxBarCustomEditControl::GetDefaultHeight() {
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  Integer fontHeight = 13;
  if (TFont* font = GetEditFont()) {
    TcxScreenCanvas canvas;
    canvas.Font()->Assign(font);
    fontHeight = canvas.TextHeight("Qq");
  }
  Integer height = painter ? painter->EditTextSize(fontHeight) : fontHeight + 9;
  if (GetShowCaption() && Parent())
    height = std::max(height, Parent()->GetDefaultItemHeight(this));
  return height;
}

Integer TdxBarCustomEditControl::GetMinWidth() const {
  auto* self = const_cast<TdxBarCustomEditControl*>(this);
  return self->GetCaptionAreaWidth() + GetMinEditorWidth();
}

TRect TdxBarCustomEditControl::GetEditRect() const {
  auto* self = const_cast<TdxBarCustomEditControl*>(this);
  TRect r = GetItemBounds();
  r.Left += self->GetCaptionAreaWidth() + self->GetGlyphAreaWidth();
  TCustomdxBarControl* bar = Parent();
  if (Item() && Item()->Align() == iaClient && bar &&
      !bar->GetBehaviorOptions().Contains(bboExtendItemWhenAlignedToClient))
    r.Left = r.Right - self->GetControlAreaWidth();
  return r;
}

Integer TdxBarCustomEditControl::GetEditOffset() const {
  return GetEditRect().Left - GetItemBounds().Left;
}

TFont* TdxBarCustomEditControl::GetEditFont() const {
  TdxBarManager* manager = GetBarManager();
  return manager ? manager->EditFont() : nullptr;
}

bool TdxBarCustomEditControl::DrawSelected() const {
  TdxBarManager* manager = GetBarManager();
  return !(manager && manager->IsCustomizing()) &&
         TdxBarWinControl::DrawSelected();
}

bool TdxBarCustomEditControl::HotPartWantMouse() const {
  const bool base = TdxBarWinControl::HotPartWantMouse();
  TdxBarManager* manager = GetBarManager();
  if ((manager && manager->IsCustomizing()) || GetPaintType() == ptMenu)
    return base;
  return base && HotPart() != 1 && HotPart() != 2;
}

void TdxBarCustomEditControl::CalcDrawParams(bool AAll) {
  TdxBarWinControl::CalcDrawParams(AAll);
  TdxBarEditLikeControlDrawParams& p = EditDrawParams();
  if (AAll) {
    p.Transparent = false;
    p.Focused = Focused();
  }
  p.GlyphAreaWidth = GetGlyphAreaWidth();
  p.CaptionAreaWidth = GetCaptionAreaWidth();
  p.TextField = GetEditRect();
}

void TdxBarCustomEditControl::CalcParts() {
  TdxBarWinControl::CalcParts();
  CalcDrawParams(false);
  std::vector<TRect> parts = Parts();
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  if (painter) {
    painter->CalculateEditParts(EditDrawParams(), parts.data(),
                                static_cast<Integer>(parts.size()),
                                GetItemBounds());
  } else if (parts.size() >= 3) {
    const TRect field = GetEditRect();
    parts[0] =
        Rect(field.Left + 2, field.Top + 2, field.Right - 2, field.Bottom - 2);
    parts[1] = Rect(GetItemBounds().Left, field.Top, GetItemBounds().Left,
                    field.Bottom);
    parts[2] = Rect(parts[1].Right, field.Top, field.Left, field.Bottom);
  }
  SetParts(std::move(parts));
}

void TdxBarCustomEditControl::GetEditColors(TColor& AText,
                                            TColor& ABackground) {
  AText = GetEnabled() ? clWindowText : clGrayText;
  ABackground = clWindow;
  if (TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr)
    painter->EditGetColors(EditDrawParams(), AText, ABackground);
}

HBRUSH TdxBarCustomEditControl::GetEditBkBrush() {
  TColor text = clWindowText;
  TColor background = clWindow;
  GetEditColors(text, background);
  editBrush_.reset(::CreateSolidBrush(ColorToRGB(background)));
  return editBrush_.get();
}

HBRUSH TdxBarCustomEditControl::GetCaptionBkBrush() const {
  TCustomdxBarControl* bar = Parent();
  TdxBarPainter* painter = bar ? bar->GetPainter() : nullptr;
  if (painter && GetPaintType() == ptMenu && DrawSelected())
    return painter->BarToolbarBrush(bar);
  return dxBarItemBkBrush(const_cast<TdxBarCustomEditControl*>(this));
}

void TdxBarCustomEditControl::Show() {
  TdxBarWinControl::Show();
  InitEdit();
}

void TdxBarCustomEditControl::DrawFrame() {
  TdxBarEditLikeControlDrawParams& p = EditDrawParams();
  TRect frame = p.Transparent && GetPaintType() != ptMenu ? GetItemBounds()
                                                          : GetEditRect();
  CorrectFrameRect(frame);
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return;
  TRect inner = frame;
  if (painter) {
    painter->EditControlDrawBorder(p, inner);
  } else {
    RECT r = dxRECT(inner);
    ::DrawEdge(canvas->Handle(), &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    inner = {r.left, r.top, r.right, r.bottom};
  }
  // The ring is done; nothing drawn later may cover it.
  HDC dc = canvas->Handle();
  TRegionHandle outer(
      ::CreateRectRgn(frame.Left, frame.Top, frame.Right, frame.Bottom));
  TRegionHandle hole(
      ::CreateRectRgn(inner.Left, inner.Top, inner.Right, inner.Bottom));
  ::CombineRgn(outer.get(), outer.get(), hole.get(), RGN_DIFF);
  ::ExtSelectClipRgn(dc, outer.get(), RGN_DIFF);
}

void TdxBarCustomEditControl::DoPaint(const TRect& ARect, TdxBarPaintType) {
  DoCalculateParts();
  CalcDrawParams(false);
  TdxBarEditLikeControlDrawParams& p = EditDrawParams();
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return;
  if (TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr) {
    painter->DrawEditLikeControl(p, ARect);
  } else if (p.ViewStructure.Contains(cpText) && Parts().size() >= 3) {
    RECT r = dxRECT(Parts()[2]);
    ::FillRect(canvas->Handle(), &r, dxBarItemBkBrush(this));
    ::SetBkMode(canvas->Handle(), TRANSPARENT);
    ::DrawTextA(canvas->Handle(), p.Caption.c_str(), -1, &r,
                DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
  DrawFrame();
  DrawTextField();
}

void TdxBarCustomEditControl::PaintCommittedText(const TRect& R) {
  TcxCanvas* canvas = GetCanvas();
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  if (!canvas) return;
  if (TFont* font = GetEditFont()) canvas->Font()->Assign(font);
  if (painter) {
    painter->EditControlDrawTextField(this, canvas, R);
    return;
  }
  auto* edit = dynamic_cast<TdxBarEdit*>(Item());
  TColor text = clWindowText;
  TColor background = clWindow;
  GetEditColors(text, background);
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(background)));
  RECT r = dxRECT(R);
  ::FillRect(canvas->Handle(), &r, brush.get());
  ::SetTextColor(canvas->Handle(), ColorToRGB(text));
  ::SetBkMode(canvas->Handle(), TRANSPARENT);
  if (edit) edit->DrawInterior(this, canvas, R, ItemLink());
}

// --- Width sizing while customizing ---------------------------------------

namespace {
constexpr Integer SizingStrip = 7;
}  // namespace

TRect TdxBarCustomEditControl::LeftSizingRect() const {
  TRect r = GetItemBounds();
  r.Right = std::min(r.Right, r.Left + SizingStrip);
  return r;
}

TRect TdxBarCustomEditControl::RightSizingRect() const {
  TRect r = GetItemBounds();
  r.Left = std::max(r.Left, r.Right - SizingStrip);
  return r;
}

bool TdxBarCustomEditControl::CanResize(const TPoint& P) const {
  TdxBarManager* manager = GetBarManager();
  return manager && manager->IsCustomizing() &&
         (PtInRect(LeftSizingRect(), P) || PtInRect(RightSizingRect(), P));
}

void TdxBarCustomEditControl::BeginResize(const TPoint& P) {
  sizingFromRight_ = PtInRect(RightSizingRect(), P);
  sizingWidth_ = GetItemBounds().Width();
  resizing_ = true;
  Repaint();
  DrawEditSizingFrame(sizingWidth_);
}

void TdxBarCustomEditControl::Resizing(const TPoint& P) {
  if (!resizing_) return;
  const TRect bounds = GetItemBounds();
  const Integer width = std::max(
      sizingFromRight_ ? P.X - bounds.Left : bounds.Right - P.X, GetMinWidth());
  if (width == sizingWidth_) return;
  DrawEditSizingFrame(sizingWidth_);
  sizingWidth_ = width;
  DrawEditSizingFrame(sizingWidth_);
}

void TdxBarCustomEditControl::EndResize(bool AAccept) {
  if (!resizing_) return;
  resizing_ = false;
  DrawEditSizingFrame(sizingWidth_);
  const Integer width = sizingWidth_ - GetEditOffset();
  TdxBarItemLink* link = ItemLink();
  if (AAccept && link && width != GetControlAreaWidth())
    link->SetUserWidth(width);
  else
    Repaint();
}

void TdxBarCustomEditControl::DrawEditSizingFrame(Integer AWidth) {
  TCustomdxBarControl* bar = Parent();
  if (!bar || !bar->HandleAllocated()) return;
  TRect r = bar->GetItemScreenRect(this);
  if (sizingFromRight_)
    r.Right = r.Left + AWidth;
  else
    r.Left = r.Right - AWidth;
  HDC dc = ::GetDC(nullptr);
  TScopeGuard release([&] { ::ReleaseDC(nullptr, dc); });
  constexpr Integer thick = 2;
  ::PatBlt(dc, r.Left, r.Top, r.Width(), thick, DSTINVERT);
  ::PatBlt(dc, r.Left, r.Bottom - thick, r.Width(), thick, DSTINVERT);
  ::PatBlt(dc, r.Left, r.Top + thick, thick, r.Height() - 2 * thick, DSTINVERT);
  ::PatBlt(dc, r.Right - thick, r.Top + thick, thick, r.Height() - 2 * thick,
           DSTINVERT);
}

// ---------------------------------------------------------------------------
// TdxBarEditControl
// ---------------------------------------------------------------------------

namespace {
// A toolbar in the middle of a move gets its edit windows at the end.
bool BarIsMoving(TCustomdxBarControl* ABar) {
  auto* toolbar = dynamic_cast<TdxBarControl*>(ABar);
  return toolbar && toolbar->Moving();
}
}  // namespace

void TdxBarEditControl::Initialize(TdxBarItemLink* ALink) {
  TdxBarCustomEditControl::Initialize(ALink);
  if (!BarIsMoving(Parent())) CreateInnerEdit();
}

TdxBarEditControl::~TdxBarEditControl() {
  if (edit_) DestroyInnerEdit(true);
}

void TdxBarEditControl::CreateInnerEdit() {
  TCustomdxBarControl* bar = Parent();
  if (edit_ || !bar || !bar->HandleAllocated()) return;
  TdxBarPainter* painter = bar->GetPainter();
  const DWORD style =
      static_cast<DWORD>(painter ? painter->EditControlES_Style()
                                 : (ES_MULTILINE | ES_AUTOHSCROLL)) |
      WS_CHILD;
  edit_ = ::CreateWindowExA(0, "EDIT", "", style, 0, 0, 100, 100, bar->Handle(),
                            nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!edit_) return;
  {
    TRestoreOnExit<bool> quiet(settingText_, true);
    RestoreDisplayValue();
  }
  auto* item = dynamic_cast<TdxBarEdit*>(Item());
  if (item && item->MaxLength() > 0)
    ::SendMessageA(edit_, EM_LIMITTEXT, item->MaxLength(), 0);
  TdxBarCustomEditControl::CreateInnerEdit();
}

void TdxBarEditControl::DestroyInnerEdit(bool ADestroyWindow) {
  TdxBarCustomEditControl::DestroyInnerEdit(ADestroyWindow);
  if (!edit_) return;
  HWND wnd = edit_;
  edit_ = nullptr;
  if (ADestroyWindow && ::IsWindow(wnd)) ::DestroyWindow(wnd);
}

bool TdxBarEditControl::CanDrawEditor() const {
  return !(Focused() && GetEnabled());
}

void TdxBarEditControl::DrawTextField() {
  if (Parts().empty()) return;
  // Controls made while their bar's window was being created get their
  // window once the bar can hold it.
  if (!edit_ && !BarIsMoving(Parent())) CreateInnerEdit();
  const TRect field = Parts()[0];
  if (GetEnabled()) SetWindowRect(field);
  if (CanDrawEditor()) PaintCommittedText(field);
}

void TdxBarEditControl::ControlClick(bool AByMouse, char AKey) {
  TdxBarCustomEditControl::ControlClick(AByMouse, AKey);
  if (Focused() && edit_) ::SendMessageA(edit_, EM_SETSEL, 0, -1);
}

void TdxBarEditControl::Hide(bool AStoreText) {
  if (edit_) ::ShowWindow(edit_, SW_HIDE);
  if (AStoreText) StoreDisplayValue();
}

void TdxBarEditControl::PrepareEditWnd() {
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  if (painter && edit_) painter->EditControlPrepareEditWnd(this, edit_);
}

void TdxBarEditControl::SetFocused(bool Value) {
  if (Value == Focused()) return;
  if (Value && !edit_) CreateInnerEdit();
  if (Value && edit_) {
    auto* item = dynamic_cast<TdxBarEdit*>(Item());
    const bool readOnly = item && (item->ReadOnly() || item->EmptyWindow());
    ::SendMessageA(edit_, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
  }
  TcxObjectLinkScope self(this);
  TdxBarCustomEditControl::SetFocused(Value);
  if (self.Alive()) Repaint();
}

void TdxBarEditControl::SetText(const String& Value) {
  TdxBarCustomEditControl::SetText(Value);
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  // A text longer than the window takes is cut by the window: the painter
  // hears that what it shows differs from what was set.
  if (painter && edit_)
    painter->EditControlUpdateWndText(edit_, GetText() != Value);
}

void TdxBarEditControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_DESTROY) {
    TcxObjectLinkScope self(this);
    SetFocused(false);
    if (!self.Alive()) return;
    DefaultHandler(Message);
    DestroyInnerEdit(false);
    return;
  }
  TdxBarCustomEditControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TCustomdxBarComboControl
// ---------------------------------------------------------------------------

TCustomdxBarComboControl::~TCustomdxBarComboControl() { SetDroppedDown(false); }

TCustomdxBarCombo* TCustomdxBarComboControl::Combo() const {
  return dynamic_cast<TCustomdxBarCombo*>(Item());
}

bool TCustomdxBarComboControl::IsChildWindow(HWND AWnd) const {
  if (TdxBarEditControl::IsChildWindow(AWnd)) return true;
  TCustomdxBarCombo* combo = Combo();
  HWND list = droppedDown_ && combo ? combo->GetDropDownWindow() : nullptr;
  return list && ::IsWindowVisible(list) &&
         (AWnd == list || ::IsChild(list, AWnd));
}

void TCustomdxBarComboControl::CalcDrawParams(bool AAll) {
  TdxBarEditControl::CalcDrawParams(AAll);
  if (AAll) EditDrawParams().DroppedDown = droppedDown_;
}

void TCustomdxBarComboControl::CalcParts() {
  TdxBarEditControl::CalcParts();
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  std::vector<TRect> parts = Parts();
  if (parts.size() < 4) return;
  if (painter) {
    painter->CalculateComboParts(EditDrawParams(), parts.data(),
                                 static_cast<Integer>(parts.size()),
                                 GetItemBounds());
  } else {
    parts[3] = parts[0];
    parts[3].Left = parts[3].Right - 11;
    parts[0].Right = parts[3].Left - 1;
  }
  SetParts(std::move(parts));
}

void TCustomdxBarComboControl::CorrectFrameRect(TRect& R) {
  TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr;
  if (Parts().size() < 4) return;
  R.Right =
      Parts()[3].Right +
      (painter ? painter->ComboControlButtonOffsets(GetPaintType()).Right : 2);
}

void TCustomdxBarComboControl::DrawTextField() {
  if (Parts().size() >= 4) {
    if (TdxBarPainter* painter = Parent() ? Parent()->GetPainter() : nullptr)
      painter->ComboControlDrawArrowButton(EditDrawParams(), Parts()[3], true);
  }
  TdxBarEditControl::DrawTextField();
}

bool TCustomdxBarComboControl::CanDrawEditor() const {
  const TdxBarWindowItem* item = WindowItem();
  return !(Focused() && GetEnabled() && !(item && item->EmptyWindow()));
}

void TCustomdxBarComboControl::ControlInactivate(bool AImmediately) {
  SetDroppedDown(false);
  TdxBarEditControl::ControlInactivate(AImmediately);
}

void TCustomdxBarComboControl::EnabledChanged() {
  SetDroppedDown(false);
  TdxBarEditControl::EnabledChanged();
}

void TCustomdxBarComboControl::SetDroppedDown(bool Value) {
  TCustomdxBarCombo* combo = Combo();
  if (Value == droppedDown_ || !combo || combo->ReadOnly()) return;
  droppedDown_ = Value;
  Repaint();
  if (!Value) {
    combo->CloseUp();
    return;
  }
  TCustomdxBarControl* bar = Parent();
  if (!bar || !bar->HandleAllocated()) return;
  const TRect bounds = GetItemBounds();
  POINT p = bar->Kind() == bkSubMenu || bar->IsRealVertical()
                ? POINT{bounds.Right, bounds.Top}
                : POINT{bounds.Left + GetEditOffset(), bounds.Bottom};
  ::ClientToScreen(bar->Handle(), &p);
  combo->DropDown(p.x, p.y);
}

void TCustomdxBarComboControl::MouseUp(TMouseButton AButton, TShiftState AShift,
                                       Integer X, Integer Y) {
  TdxBarEditControl::MouseUp(AButton, AShift, X, Y);
  if (AButton != mbLeft || !droppedDownAtPress_ || !droppedDown_) return;
  TCustomdxBarCombo* combo = Combo();
  const Integer part = FindPartAtPos({X, Y});
  if (part == 3 || (combo && combo->EmptyWindow() && part == 0))
    SetDroppedDown(false);
}

void TCustomdxBarComboControl::SysKeyDown(Word& AKey, TShiftState AShift) {
  if ((AKey == VK_UP || AKey == VK_DOWN) && AShift.Contains(ssAlt)) {
    SetDroppedDown(!droppedDown_);
    AKey = 0;
    return;
  }
  TdxBarEditControl::SysKeyDown(AKey, AShift);
}

void TCustomdxBarComboControl::SysKeyUp(Word& AKey, TShiftState AShift) {
  if (AKey == VK_UP || AKey == VK_DOWN) {
    AKey = 0;
    return;
  }
  TdxBarEditControl::SysKeyUp(AKey, AShift);
}

void TCustomdxBarComboControl::WndProc(TMessage& Message) {
  TCustomdxBarCombo* combo = Combo();
  const bool key = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN ||
                   Message.Msg == WM_KEYUP || Message.Msg == WM_SYSKEYUP ||
                   Message.Msg == WM_CHAR;
  if (key && combo) {
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_F4) {
      SetDroppedDown(!droppedDown_);
      return;
    }
    HWND list = droppedDown_ ? combo->GetDropDownWindow() : nullptr;
    if (list &&
        combo->CheckKeyForDropDownWindow(static_cast<Word>(Message.WParam),
                                         KeyShift(Message.LParam))) {
      Message.Result =
          ::SendMessageA(list, Message.Msg, Message.WParam, Message.LParam);
      return;
    }
  }
  TcxObjectLinkScope self(this);
  TdxBarEditControl::WndProc(Message);
  HWND wnd = GetHandle();
  if (!self.Alive() || !wnd || !::IsWindowVisible(wnd)) return;
  const bool press =
      Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK;
  if (press) droppedDownAtPress_ = droppedDown_;
  const bool onButton =
      HotPart() == 3 || (combo && combo->EmptyWindow() && HotPart() == 0);
  if (!onButton) return;
  if (press && !droppedDownAtPress_)
    SetDroppedDown(true);
  else if (Message.Msg == WM_LBUTTONUP && droppedDownAtPress_)
    SetDroppedDown(false);
}

// ---------------------------------------------------------------------------
// TdxBarComboControl
// ---------------------------------------------------------------------------

TdxBarCustomCombo* TdxBarComboControl::ListCombo() const {
  return dynamic_cast<TdxBarCustomCombo*>(Item());
}

void TdxBarComboControl::SetLocalItemIndex(Integer Value) {
  localItemIndex_ = Value;
  {
    TRestoreOnExit<bool> quiet(settingText_, true);
    RestoreDisplayValue();
  }
  if (WindowItem() && WindowItem()->EmptyWindow()) Repaint();
}

void TdxBarComboControl::RestoreDisplayValue() {
  TdxBarCustomCombo* combo = ListCombo();
  if (combo && localItemIndex_ >= 0 &&
      localItemIndex_ < combo->Items()->Count()) {
    SetText(combo->Items()->Strings(localItemIndex_));
    return;
  }
  TCustomdxBarComboControl::RestoreDisplayValue();
}

void TdxBarComboControl::SetFocused(bool Value) {
  if (Value && !Focused()) {
    TRestoreOnExit<bool> quiet(settingText_, true);
    if (TdxBarCustomCombo* combo = ListCombo())
      SetLocalItemIndex(combo->ItemIndex());
  }
  TCustomdxBarComboControl::SetFocused(Value);
}

void TdxBarComboControl::WndProc(TMessage& Message) {
  TdxBarCustomCombo* combo = ListCombo();
  if (combo && !combo->ReadOnly()) {
    if (Message.Msg == WM_KEYDOWN &&
        (Message.WParam == VK_RETURN || Message.WParam == VK_TAB)) {
      if (localItemIndex_ >= 0 && localItemIndex_ < combo->Items()->Count() &&
          combo->Items()->Strings(localItemIndex_) == GetText()) {
        TcxObjectLinkScope self(this);
        combo->SetItemIndex(localItemIndex_);
        if (!self.Alive()) return;
        HWND wnd = GetHandle();
        if (!wnd || !::IsWindowVisible(wnd)) return;
      }
    }
    const TShiftState shift = KeyShift(Message.LParam);
    const bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) &&
                       !shift.Contains(ssAlt);
    if (Message.Msg == WM_KEYDOWN && plain && !DroppedDown() &&
        (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) {
      if (Message.WParam == VK_UP && localItemIndex_ > 0)
        SetLocalItemIndex(localItemIndex_ - 1);
      else if (Message.WParam == VK_DOWN &&
               localItemIndex_ < combo->Items()->Count() - 1)
        SetLocalItemIndex(localItemIndex_ + 1);
      return;
    }
    if (Message.Msg == WM_MOUSEWHEEL) {
      const bool towardUser = static_cast<short>(HIWORD(Message.WParam)) < 0;
      HWND list = DroppedDown() ? combo->GetDropDownWindow() : nullptr;
      if (list) {
        ::SendMessageA(list, WM_VSCROLL, towardUser ? SB_LINEDOWN : SB_LINEUP,
                       0);
      } else if (towardUser) {
        if (localItemIndex_ < combo->Items()->Count() - 1)
          SetLocalItemIndex(localItemIndex_ + 1);
      } else if (localItemIndex_ > 0) {
        SetLocalItemIndex(localItemIndex_ - 1);
      }
      return;
    }
  }
  TCustomdxBarComboControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Bar windows and their edits
// ---------------------------------------------------------------------------

TdxBarWinControl* dxBarFocusedWinControl(TCustomdxBarControl* ABar) {
  if (!ABar || !TCustomdxBarControl::IsLive(ABar)) return nullptr;
  auto* control = dynamic_cast<TdxBarWinControl*>(ABar->SelectedControl());
  return control && control->Focused() ? control : nullptr;
}

namespace {

TdxBarWinControl* WinControlOfWindow(TCustomdxBarControl* ABar, HWND AWnd) {
  TdxBarItemLinks* links = ABar->ItemLinks();
  if (!links || !AWnd) return nullptr;
  for (Integer i = 0; i < links->Count(); ++i) {
    auto* control = dynamic_cast<TdxBarWinControl*>(links->Items(i)->Control());
    if (control && control->GetHandle() == AWnd) return control;
  }
  return nullptr;
}

}  // namespace

bool dxBarReflectEditMessage(TCustomdxBarControl* ABar, TMessage& Message) {
  // The application hands the keys of a window without a control of its
  // own to the nearest control above it, the bar, whose dialog-key rules
  // would take Tab and the arrows from the edit: the edit keeps its keys.
  if (Message.Msg >= CN_BASE + WM_KEYFIRST &&
      Message.Msg <= CN_BASE + WM_KEYLAST &&
      WinControlOfWindow(ABar, ::GetFocus())) {
    Message.Result = 0;
    return true;
  }
  if (Message.Msg != WM_COMMAND && Message.Msg != WM_CTLCOLOREDIT &&
      Message.Msg != WM_CTLCOLORSTATIC)
    return false;
  HWND child = reinterpret_cast<HWND>(Message.LParam);
  TdxBarWinControl* control = WinControlOfWindow(ABar, child);
  if (!control) return false;
  if (Message.Msg == WM_COMMAND) {
    Message.Result =
        ::SendMessageA(child, WM_COMMAND, Message.WParam, Message.LParam);
    return true;
  }
  auto* edit = dynamic_cast<TdxBarCustomEditControl*>(control);
  if (!edit) return false;
  TColor text = clWindowText;
  TColor background = clWindow;
  edit->GetEditColors(text, background);
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  ::SetTextColor(dc, ColorToRGB(text));
  ::SetBkColor(dc, ColorToRGB(background));
  Message.Result = reinterpret_cast<LRESULT>(edit->GetEditBkBrush());
  return true;
}
