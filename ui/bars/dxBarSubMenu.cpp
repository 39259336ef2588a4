#include "dxBarSubMenu.h"

#include <algorithm>
#include <utility>

#include "ScopeGuard.h"
#include "WinApi.h"
#include "dxBarAnimation.h"
#include "dxBarHints.h"
#include "dxBarKindControls.h"

namespace {

constexpr UINT_PTR ScrollTimerId = 1;
// The delayed expansion of a personalised menu: timer 2 highlights the
// expand button, timer 3 expands the menu.
constexpr UINT_PTR HighlightMarkTimerId = 2;
constexpr UINT_PTR ExpandTimerId = 3;
constexpr UINT ExpandDelay = 4000;
constexpr UINT ScrollTime = 200;

}  // namespace

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

TdxBarMenuPlacement dxBarPlaceMenu(TPoint ALeftTop, TSize ASize,
                                   Integer AOwnerWidth, Integer AOwnerHeight,
                                   const TRect& AWorkArea) {
  TdxBarMenuPlacement result;
  Integer L = ALeftTop.X, T = ALeftTop.Y;
  Integer W = ASize.cx, H = ASize.cy;
  const TRect& A = AWorkArea;
  if (L + W > A.Right) {
    if (AOwnerWidth == 0) {
      if (L - W >= A.Left && AOwnerHeight == 0) {
        L -= W;
        result.FlippedLeft = true;
      } else {
        L = A.Right - W;
      }
    } else if (L - AOwnerWidth - A.Left > A.Right - L) {
      L = L - AOwnerWidth - W;
      result.FlippedLeft = true;
    }
  }
  if (L < A.Left && AOwnerWidth == 0) L = A.Left;
  L = std::max(std::min(L, A.Right - W), A.Left);
  if (T + H > A.Bottom) {
    if (AOwnerHeight != 0) {
      if (T - AOwnerHeight - A.Top > A.Bottom - T) {
        T = T - AOwnerHeight - H;
        result.FlippedUp = true;
      } else {
        H = A.Bottom - T;
      }
    } else if (AOwnerWidth != 0 || T - H < A.Top) {
      T = A.Bottom - H;
    } else {
      T -= H;
      result.FlippedUp = true;
    }
  }
  if (T < A.Top) {
    if (result.FlippedUp && AOwnerHeight != 0) {
      H -= A.Top - T;
    } else {
      H = std::min(H, A.Bottom - A.Top);
    }
    T = A.Top;
  }
  result.Bounds = Bounds(L, T, W, std::max<Integer>(H, 0));
  return result;
}

Integer dxBarScrollIntoView(const std::vector<Integer>& AHeights,
                            Integer ATopIndex, Integer AIndex,
                            Integer AAreaHeight) {
  const Integer count = static_cast<Integer>(AHeights.size());
  if (AIndex < 0 || AIndex >= count) return ATopIndex;
  Integer top = std::clamp<Integer>(ATopIndex, 0, std::max(count - 1, 0));
  // Upwards one step at a time; the item's own index is the last step.
  while (top > AIndex) --top;
  // Downwards while the item's bottom lies below the area. Each step moves
  // the top one item on and the walk stops at the item itself, so an item
  // taller than the area (or an area of no height) ends the walk there.
  auto bottomOf = [&](Integer from) {
    Integer h = 0;
    for (Integer i = from; i <= AIndex; ++i) h += AHeights[i];
    return h;
  };
  while (top < AIndex && bottomOf(top) > AAreaHeight) ++top;
  return top;
}

// ---------------------------------------------------------------------------
// View info
// ---------------------------------------------------------------------------

void TdxBarSubMenuControlViewInfo::Calculate() {
  Clear();
  auto* menu = static_cast<TdxBarSubMenuControl*>(BarControl());
  TdxBarItemLinks* links = menu ? menu->ItemLinks() : nullptr;
  if (!links) return;
  const TRect area = menu->VisibleItemsRect();
  for (Integer i = menu->TopIndex(); i < links->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = links->VisibleItems(i);
    TdxBarItemControl* control = link->Control();
    if (!control || IsRectEmpty(link->ItemRect)) continue;
    TRect r = link->ItemRect;
    r.Bottom = std::min(r.Bottom, area.Bottom);
    if (r.Bottom <= r.Top) continue;
    control->ViewInfo()->SetBounds(r);
    AddItemControlViewInfo(control->ViewInfo());
    if (link->BeginGroup() && i != menu->TopIndex()) {
      TdxBarPainter* painter = menu->GetPainter();
      const Integer size = menu->GetBeginGroupSize();
      const TRect strip = painter
                              ? painter->SubMenuControlBeginGroupRect(
                                    dxBarGetSubMenuPaintInfo(menu), control, r)
                              : Rect(r.Left, r.Top - size, r.Right, r.Top);
      AddSeparatorInfo(strip, skHorizontal, control);
    }
  }
}

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------

TRect dxBarGetWorkArea(TPoint P) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoA(::MonitorFromPoint({P.X, P.Y}, MONITOR_DEFAULTTONEAREST),
                    &info);
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right,
          info.rcWork.bottom};
}

TCustomdxBarControl* dxBarCreateSubMenuControl(TdxBarManager* AManager) {
  return new TdxBarSubMenuControl(AManager);
}

TdxBarSubMenuControl::TdxBarSubMenuControl(TComponent* AOwner)
    : TCustomdxBarControl(AOwner) {
  SetVisible(false);
}

TdxBarSubMenuControl::~TdxBarSubMenuControl() {
  hiding_ = true;
  TerminateAnimation();
  StopScrollTimer();
  KillExpandMenuTimer();
}

void TdxBarSubMenuControl::CreateParams(TCreateParams& Params) {
  TCustomdxBarControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER;
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Params.WindowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  HWND parent = ParentWindow;
  if (!parent && BarManager())
    if (TWinControl* owner = BarManager()->ParentedOwner())
      parent = owner->Handle();
  Params.WndParent = parent;
}

void TdxBarSubMenuControl::CreateWnd() {
  TCustomdxBarControl::CreateWnd();
  SetRecentItemCount();
  topIndex_ = 0;
}

TClass TdxBarSubMenuControl::GetViewInfoClass() const {
  return TdxBarSubMenuControlViewInfo::StaticClass();
}

void TdxBarSubMenuControl::SetFont() {
  if (ParentBar()) {
    Font()->Assign(ParentBar()->Font());
  } else if (BarManager()) {
    Font()->Assign(BarManager()->Font());
  }
}

TdxBarBehaviorOptions TdxBarSubMenuControl::GetBehaviorOptions() const {
  TdxBarBehaviorOptions options = TCustomdxBarControl::GetBehaviorOptions();
  options.Include(bboAllowSelectWindowItemsWithoutFocusing);
  options.Include(bboExtendItemWhenAlignedToClient);
  options.Exclude(bboMouseCantUnselectNavigationItem);
  options.Exclude(bboSubMenuCaptureMouse);
  return options;
}

bool TdxBarSubMenuControl::GetIsContextMenu() const {
  if (OwnerWidth == 0 && OwnerHeight == 0 && !parentItemControl_) return true;
  auto* parent = dynamic_cast<TdxBarSubMenuControl*>(ParentBar());
  return parent && parent->GetIsContextMenu();
}

Integer TdxBarSubMenuControl::GetBorderSize() const {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->SubMenuControlBorderSize() : 1;
}

Integer TdxBarSubMenuControl::GetBeginGroupSize() const {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->SubMenuControlBeginGroupSize()
                 : TCustomdxBarControl::GetBeginGroupSize();
}

TRect TdxBarSubMenuControl::ContentOffsets() const {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->SubMenuControlContentRectOffset(
                       dxBarGetSubMenuPaintInfo(
                           const_cast<TdxBarSubMenuControl*>(this)))
                 : TRect{1, 1, 1, 1};
}

void TdxBarSubMenuControl::CalcItemsRect() {
  const TRect offsets = ContentOffsets();
  const TRect client = ClientRect();
  // The detach caption lies above the items, the expand button below.
  itemsRect_ = Rect(client.Left + offsets.Left,
                    client.Top + offsets.Top + DetachCaptionAreaSize(),
                    client.Right - offsets.Right,
                    client.Bottom - offsets.Bottom - GetMarkSize());
}

void TdxBarSubMenuControl::SetPosition(Integer ALeft, Integer ATop) {
  onShowPos_ = {ALeft, ATop};
}

void TdxBarSubMenuControl::Show() {
  closedByEscape_ = false;
  OnPopup(this);
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  if (!self->Target) return;
  // Container items show their entries in their place.
  expansion_.Expand(ItemLinks());
  ShowWindow();
}

void TdxBarSubMenuControl::ShowWindow() {
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  HandleNeeded();
  if (!self->Target) return;
  // Joining the active chain lets the keyboard hook bring the keys here.
  BarGetFocus(nullptr);
  SetSizeAndCheckBounds();
  CalcControlsPositions();
  ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Fading in needs the system's animation; unfolding and sliding run on a
  // thread of their own and only for a menu with something to show.
  TdxBarManager* manager = BarManager();
  const TdxBarMenuAnimations kind =
      ShowAnimation && manager && !manager->IsCustomizing()
          ? dxBarResolveMenuAnimation(
                manager->MenuAnimations,
                static_cast<Integer>(::GetTickCount() % 100))
          : maNone;
  bool shown = false;
  TdxBarItemLinks* links = ItemLinks();
  if ((kind == maUnfold || kind == maSlide) && links &&
      links->CanVisibleItemCount() > 0) {
    // The thread shows the window itself.
    StartAnimation(kind);
    shown = true;
  } else if (kind == maFade && AnimateWindowProc && !IsWin9x) {
    ::UpdateWindow(Handle());
    shown = AnimateWindowProc(Handle(), 150, AW_BLEND) != FALSE &&
            ::IsWindowVisible(Handle());
  }
  if (!self->Target) return;
  if (!shown)
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                       SWP_SHOWWINDOW);
  ::UpdateWindow(Handle());
  dxBarPlayMenuSound(msMenuPopup);
}

void TdxBarSubMenuControl::Hide() {
  if (hiding_ || state_.Contains(bsDestroyingWindow)) return;
  hiding_ = true;
  state_.Include(bsHideAll);
  TerminateAnimation();
  StopScrollTimer();
  KillExpandMenuTimer();
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  // The child menu goes first, then this one leaves the chain.
  if (auto* child = dynamic_cast<TdxBarSubMenuControl*>(ChildBar()))
    child->Hide();
  if (!self->Target) return;
  SetIsActive(false);
  if (auto* opener = dynamic_cast<TdxBarButtonLikeControl*>(parentItemControl_))
    if (ParentBar() && ParentBar()->IsControlExists(opener))
      opener->DoCloseUp(false);
  if (!self->Target) return;
  SetParentBar(nullptr);
  if (HandleAllocated()) {
    state_.Include(bsDestroyingWindow);
    DestroyHandle();
    state_.Exclude(bsDestroyingWindow);
  }
  expansion_.Collapse();
  TNotifyEvent closeUp = OnCloseUp;
  closeUp(this);
  if (!self->Target) return;
  // The links own the window: they free it and forget it.
  if (TdxBarItemLinks* links = ItemLinks()) {
    if (links->BarControl() == this) {
      links->DestroyBarControl();
      return;
    }
  }
  Free(this);
}

void TdxBarSubMenuControl::HideByEscape() {
  closedByEscape_ = true;
  Hide();
}

void TdxBarSubMenuControl::DoHideAll() {
  // A menu closed by Escape leaves the menus above it open.
  TCustomdxBarControl* parent = ParentBar();
  const bool escape = closedByEscape_;
  TcxObjectLink* parentLink = parent ? cxAddObjectLink(parent) : nullptr;
  TScopeGuard release([&] {
    if (parentLink) cxRemoveObjectLink(parentLink);
  });
  Hide();
  if (parentLink && parentLink->Target && !escape) parent->HideAll();
}

// ---------------------------------------------------------------------------
// Size, place and layout
// ---------------------------------------------------------------------------

TSize TdxBarSubMenuControl::CalcSize() {
  TdxBarItemLinks* links = ItemLinks();
  Integer width = 0, height = 0;
  if (links) {
    for (Integer i = 0; i < links->VisibleItemCount(); ++i) {
      TdxBarItemLink* link = links->VisibleItems(i);
      TdxBarItemControl* control = link->Control();
      if (!control) continue;
      width = std::max(width, control->GetRealWidth());
      height += GetItemControlOffset(link) + control->GetRealHeight();
    }
  }
  if (width == 0) width = 100;
  if (height <= 2) height += ActiveCanvas()->TextHeight("Qq");
  height += GetMarkSize() + DetachCaptionAreaSize();
  // The icon column before the items and the arrow column after them.
  width += 2 * TextSize();
  const TRect offsets = ContentOffsets();
  return {width + offsets.Left + offsets.Right,
          height + offsets.Top + offsets.Bottom};
}

void TdxBarSubMenuControl::SetSizeAndCheckBounds() {
  const TSize size = CalcSize();
  // The frame from the window's styles: a window not sized yet has no
  // client area to measure it by.
  const TRect frame = [&] {
    RECT r{0, 0, 0, 0};
    ::AdjustWindowRectEx(
        &r, static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
        static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_EXSTYLE)));
    return TRect{0, 0, r.right - r.left, r.bottom - r.top};
  }();
  const TSize outer{size.cx + frame.Right, size.cy + frame.Bottom};
  const TdxBarMenuPlacement place = dxBarPlaceMenu(
      onShowPos_, outer, OwnerWidth, OwnerHeight, dxBarGetWorkArea(onShowPos_));
  flippedLeft_ = place.FlippedLeft;
  flippedUp_ = place.FlippedUp;
  const TRect& b = place.Bounds;
  ::SetWindowPos(Handle(), nullptr, b.Left, b.Top, b.Width(), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  SetBounds(b.Left, b.Top, b.Width(), b.Height());
}

Integer TdxBarSubMenuControl::ScrollBandSize() const {
  TdxBarPainter* painter = GetPainter();
  const TdxBarSubMenuPaintInfo info =
      dxBarGetSubMenuPaintInfo(const_cast<TdxBarSubMenuControl*>(this));
  return painter ? painter->SubMenuControlGetScrollBandSize(info)
                 : info.TextSize;
}

TRect TdxBarSubMenuControl::VisibleItemsRect() const {
  TRect r = itemsRect_;
  if (UpArrowExists()) r.Top += ScrollBandSize();
  if (downArrow_) r.Bottom -= ScrollBandSize();
  return r;
}

TRect TdxBarSubMenuControl::UpArrowRect() const {
  if (!UpArrowExists()) return {};
  return {itemsRect_.Left, itemsRect_.Top, itemsRect_.Right,
          itemsRect_.Top + ScrollBandSize()};
}

TRect TdxBarSubMenuControl::DownArrowRect() const {
  if (!downArrow_) return {};
  return {itemsRect_.Left, itemsRect_.Bottom - ScrollBandSize(),
          itemsRect_.Right, itemsRect_.Bottom};
}

bool TdxBarSubMenuControl::CanDrawClippedItem(const TRect&) const {
  return false;
}

void TdxBarSubMenuControl::LayoutItems() {
  TdxBarItemLinks* links = ItemLinks();
  if (!links) return;
  for (Integer i = 0; i < links->Count(); ++i)
    links->Items(i)->ItemRect = TRect{};
  currentItemRect_ = VisibleItemsRect();
  // The icon column lies left of the item's own content.
  const Integer last = CalcColumnItemRects(topIndex_);
  (void)last;
}

void TdxBarSubMenuControl::CalcControlsPositions() {
  if (!HandleAllocated()) return;
  CalcItemsRect();
  TdxBarItemLinks* links = ItemLinks();
  const Integer count = links ? links->VisibleItemCount() : 0;
  topIndex_ = std::clamp<Integer>(topIndex_, 0, std::max(count - 1, 0));
  // The down band exists when the last item does not fit below the others.
  downArrow_ = false;
  LayoutItems();
  if (count > 0) {
    TdxBarItemLink* lastLink = links->VisibleItems(count - 1);
    const TRect area = VisibleItemsRect();
    if (IsRectEmpty(lastLink->ItemRect) ||
        lastLink->ItemRect.Bottom > area.Bottom) {
      downArrow_ = true;
      LayoutItems();
    }
  }
  CalcLayout();
}

std::vector<Integer> TdxBarSubMenuControl::VisibleItemHeights() const {
  std::vector<Integer> heights;
  TdxBarItemLinks* links = ItemLinks();
  if (!links) return heights;
  for (Integer i = 0; i < links->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = links->VisibleItems(i);
    TdxBarItemControl* control = link->Control();
    heights.push_back((control ? control->GetRealHeight() : 0) +
                      GetItemControlOffset(link));
  }
  return heights;
}

Integer TdxBarSubMenuControl::VisibleIndexOf(
    const TdxBarItemControl* AControl) const {
  return AControl && AControl->ItemLink() ? AControl->ItemLink()->VisibleIndex()
                                          : -1;
}

void TdxBarSubMenuControl::SetTopIndex(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value == topIndex_) return;
  topIndex_ = Value;
  CalcControlsPositions();
  if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TdxBarSubMenuControl::SetControlVisible(TdxBarItemControl* AControl) {
  const Integer index = VisibleIndexOf(AControl);
  if (index < 0 || !HandleAllocated()) return;
  const std::vector<Integer> heights = VisibleItemHeights();
  // Each step is taken with the bands the new top index gives: the up band
  // appears once the top leaves 0, the down band while items remain below.
  Integer top = topIndex_;
  for (std::size_t guard = 0; guard <= heights.size(); ++guard) {
    TRect area = itemsRect_;
    if (top > 0) area.Top += ScrollBandSize();
    if (index < static_cast<Integer>(heights.size()) - 1)
      area.Bottom -= ScrollBandSize();
    const Integer next =
        dxBarScrollIntoView(heights, top, index, std::max(area.Height(), 0));
    if (next == top) break;
    top = next;
  }
  SetTopIndex(top);
}

void TdxBarSubMenuControl::SetKeySelectedItem(TdxBarItemControl* AControl) {
  if (AControl && !AControl->MouseSelected()) SetControlVisible(AControl);
  TCustomdxBarControl::SetKeySelectedItem(AControl);
}

void TdxBarSubMenuControl::DoRepaintBar(bool ARecreate) {
  if (HandleAllocated()) SetRecentItemCount();
  TCustomdxBarControl::DoRepaintBar(ARecreate);
  if (!HandleAllocated()) return;
  SetSizeAndCheckBounds();
  CalcControlsPositions();
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

TdxBarSubMenuPaintInfo dxBarGetSubMenuPaintInfo(TCustomdxBarControl* AMenu) {
  TdxBarSubMenuPaintInfo info;
  auto* menu = dynamic_cast<TdxBarSubMenuControl*>(AMenu);
  if (!menu) return info;
  info.Control = menu;
  info.IconAreaSize = menu->TextSize();
  info.TextSize = menu->TextSize();
  info.ItemsRect = menu->ItemsRect();
  info.BackgroundBrush = menu->BackgroundBrush();
  TCustomdxBarControlViewInfo* view = menu->ViewInfo();
  if (view && view->GetItemControlCount() > 0) {
    info.TopItem = view->GetItemControlViewInfo(0)->Control();
    info.BottomItem =
        view->GetItemControlViewInfo(view->GetItemControlCount() - 1)
            ->Control();
  }
  return info;
}

HBRUSH TdxBarSubMenuControl::LightBrush() const {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF color = RGB((GetRValue(face) + GetRValue(light)) / 2,
                             (GetGValue(face) + GetGValue(light)) / 2,
                             (GetBValue(face) + GetBValue(light)) / 2);
  if (!lightBrush_ || color != lightColor_) {
    lightBrush_.reset(::CreateSolidBrush(color));
    lightColor_ = color;
  }
  return lightBrush_.get();
}

HBRUSH TdxBarSubMenuControl::BackgroundBrush() const {
  TdxBarPainter* painter = GetPainter();
  if (!painter) return ::GetSysColorBrush(COLOR_MENU);
  if (nonRecentPainting_ && !painter->IgnoreNonRecentColor())
    return LightBrush();
  auto* self = const_cast<TdxBarSubMenuControl*>(this);
  return painter->SubMenuControlPrepareBkBrush(painter->BarToolbarBrush(self));
}

void TdxBarSubMenuControl::FillBackground(HDC DC, const TRect& R) {
  TdxBarPainter* painter = GetPainter();
  if (!painter) {
    FillBackgroundArea(DC, R, R, BackgroundBrush(), clNone, nullptr);
    return;
  }
  painter->SubMenuControlDrawBackground(dxBarGetSubMenuPaintInfo(this), DC, R,
                                        BackgroundBrush(), clNone);
}

void TdxBarSubMenuControl::DoNCPaint(HDC DC) {
  TdxBarPainter* painter = GetPainter();
  if (!painter) return;
  RECT window{};
  ::GetWindowRect(Handle(), &window);
  const Integer width = window.right - window.left;
  const Integer height = window.bottom - window.top;
  TSavedDC saved(DC);
  const Integer border = painter->SubMenuControlNCBorderSize();
  ::ExcludeClipRect(DC, border, border, width - border, height - border);
  painter->SubMenuControlDrawBorder(dxBarGetSubMenuPaintInfo(this), DC,
                                    Rect(0, 0, width, height));
}

void TdxBarSubMenuControl::DoPaint() {
  TcxCanvas* canvas = ActiveCanvas();
  TSavedDC saved(canvas->Handle());
  HDC dc = canvas->Handle();
  TdxBarPainter* painter = GetPainter();
  const TdxBarSubMenuPaintInfo info = dxBarGetSubMenuPaintInfo(this);
  // The expand button and the detach caption lie outside the items.
  if (MarkExists()) {
    if (painter)
      painter->SubMenuControlDrawMarkBand(info, dc, MarkRect(),
                                          MarkState() != msNone);
    else
      dxBarStandardPaint::DrawMark(dc, MarkRect(), true, MarkState());
    canvas->ExcludeClipRect(MarkRect());
  }
  if (Detachable()) {
    const TRect caption = DetachCaptionRect();
    if (painter) {
      painter->SubMenuControlDrawDetachCaption(info, dc, caption);
    } else {
      RECT r = dxRECT(caption);
      ::FillRect(dc, &r,
                 ::GetSysColorBrush(detachCaptionSelected_ ? COLOR_ACTIVECAPTION
                                                           : COLOR_BTNSHADOW));
    }
    canvas->ExcludeClipRect(caption);
  }
  if (painter) {
    // The client frame, then everything inside it.
    painter->SubMenuControlDrawClientBorder(info, dc, ClientRect(),
                                            BackgroundBrush());
    canvas->IntersectClipRect(ItemsRect());
    if (UpArrowExists())
      painter->SubMenuControlDrawScrollBand(info, canvas, adUp);
    if (downArrow_) painter->SubMenuControlDrawScrollBand(info, canvas, adDown);
  }
  canvas->ExcludeClipRect(UpArrowRect());
  canvas->ExcludeClipRect(DownArrowRect());
  TCustomdxBarControlViewInfo* view = ViewInfo();
  for (Integer i = 0; painter && view && i < view->GetSeparatorCount(); ++i) {
    const TRect r = view->GetSeparatorInfo(i).Bounds;
    painter->SubMenuControlDrawBeginGroup(info, view->GetSeparatorControl(i),
                                          canvas, r);
    canvas->ExcludeClipRect(r);
  }
  DrawItems(canvas);
  FillBackground(dc, ClientRect());
}

// ---------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------

void TdxBarSubMenuControl::DoBarMouseMove(TShiftState AShift, const TPoint& P,
                                          TdxBarItemControl* AItem) {
  if (animating_) {
    if (NotHandleMouseMove(true)) return;
    TerminateAnimation();
  }
  if (Detachable()) SetDetachCaptionSelected(PtInRect(DetachCaptionRect(), P));
  if (MarkExists() && MarkState() != msPressed && !NotHandleMouseMove(true)) {
    TcxObjectLink* self = cxAddObjectLink(this);
    TScopeGuard release([&] { cxRemoveObjectLink(self); });
    SetMarkState(PtInRect(MarkRect(), P) ? msSelected : msNone);
    if (!self->Target) return;
  }
  const bool onArrow =
      PtInRect(UpArrowRect(), P) || PtInRect(DownArrowRect(), P);
  if (onArrow) {
    if (!scrollTimer_) {
      SetKeySelectedItem(nullptr);
      scrollTimer_ = ::SetTimer(Handle(), ScrollTimerId, ScrollTime, nullptr);
    }
    return;
  }
  StopScrollTimer();
  TCustomdxBarControl::DoBarMouseMove(AShift, P, AItem);
}

void TdxBarSubMenuControl::StopScrollTimer() {
  if (scrollTimer_ && HandleAllocated()) ::KillTimer(Handle(), ScrollTimerId);
  scrollTimer_ = 0;
}

void TdxBarSubMenuControl::ScrollTimer() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(Handle(), &cursor);
  const TPoint p{cursor.x, cursor.y};
  if (UpArrowExists() && PtInRect(UpArrowRect(), p)) {
    SetTopIndex(topIndex_ - 1);
  } else if (downArrow_ && PtInRect(DownArrowRect(), p)) {
    SetTopIndex(topIndex_ + 1);
  } else {
    StopScrollTimer();
    lastMousePos_ = {-1, -1};
  }
}

void TdxBarSubMenuControl::MenuKeyDown(TMessage& M) {
  const Word key = static_cast<Word>(M.WParam);
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  if (HandleExpandKey(key) || !self->Target) return;
  TdxBarItemLinks* links = ItemLinks();
  if (!links) return;
  TdxBarItemControl* selected = SelectedControl();
  if (selected && selected->WantsKey(key)) {
    Word k = key;
    selected->KeyDown(k, KeyDataToShiftState(M.LParam));
    return;
  }
  TdxBarItemLink* link = SelectedLink();
  switch (key) {
    case VK_UP:
    case VK_DOWN: {
      // The next selectable link, wrapping round at the ends.
      TdxBarItemLink* target = key == VK_DOWN
                                   ? (link ? links->Next(link) : links->First())
                                   : (link ? links->Prev(link) : links->Last());
      if (target && target->Control()) SetKeySelectedItem(target->Control());
      return;
    }
    case VK_LEFT:
      if (auto* parent = dynamic_cast<TdxBarSubMenuControl*>(ParentBar())) {
        TdxBarItemControl* opener = parent->SelectedControl();
        if (opener) {
          opener->ControlInactivate(true);
          return;
        }
      }
      return;
    case VK_RIGHT:
      return;
    case VK_ESCAPE: {
      TCustomdxBarControl* parent = ParentBar();
      if (parent && parent->SelectedControl()) {
        closedByEscape_ = true;
        TdxBarItemControl* opener = parent->SelectedControl();
        opener->ControlInactivate(true);
        return;
      }
      HideByEscape();
      return;
    }
    default:
      ExpandForAccel(key, KeyDataToShiftState(M.LParam));
      TCustomdxBarControl::WndProc(M);
  }
}

void TdxBarSubMenuControl::ExpandForAccel(Word AKey, TShiftState AShift) {
  TdxBarItemLinks* links = ItemLinks();
  TdxBarManager* manager = BarManager();
  if (!links || !manager || manager->GetPaintStyle() == bmsStandard ||
      !MarkExists())
    return;
  TdxBarItemLink* found =
      links->FindItemWithAccel(AKey, AShift, SelectedLink());
  if (!found || found->VisibleIndex() >= 0 || !found->Control()) return;
  TdxBarItemLink* again = links->FindItemWithAccel(AKey, AShift, found);
  const bool selectOnly = again && again != found;
  if (selectOnly || !found->Control()->IsDestroyOnClick()) ExpandMenu();
}

void TdxBarSubMenuControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
      MenuKeyDown(Message);
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
      return;
    case WM_NCPAINT: {
      TWindowDC dc(Handle());
      DoNCPaint(dc.get());
      Message.Result = 0;
      return;
    }
    case WM_TIMER:
      if (Message.WParam == ScrollTimerId) {
        ScrollTimer();
        return;
      }
      if (Message.WParam == HighlightMarkTimerId ||
          Message.WParam == ExpandTimerId) {
        if (Message.WParam == expandTimer_) ExpandMenuTimer();
        return;
      }
      break;
    case dxBarAnimationFinishMessage:
      FinishAnimation();
      return;
    case dxBarAnimationFinishMessage + 1:
      // The thread has left its last step: it can go.
      if (!animating_) animation_.reset();
      return;
    case WM_LBUTTONDOWN:
      TerminateAnimation();
      if (scrollTimer_) return;
      if (MarkExists() &&
          PtInRect(MarkRect(), {static_cast<short>(LOWORD(Message.LParam)),
                                static_cast<short>(HIWORD(Message.LParam))})) {
        MarkClick();
        return;
      }
      if (Detachable() &&
          PtInRect(DetachCaptionRect(),
                   {static_cast<short>(LOWORD(Message.LParam)),
                    static_cast<short>(HIWORD(Message.LParam))})) {
        DetachCaptionPress();
        return;
      }
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      // In a context menu the right button acts as the left one.
      if (GetIsContextMenu()) {
        Message.Msg =
            Message.Msg == WM_RBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      }
      break;
    default:
      break;
  }
  TCustomdxBarControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Personalised view
// ---------------------------------------------------------------------------

void TdxBarSubMenuControl::SetRecentItemCount() {
  TdxBarItemLinks* links = ItemLinks();
  TdxBarManager* manager = BarManager();
  if (!links) return;
  links->SetRecentItemCount(manager && manager->ShowRecentItemsFirst() &&
                                    !dxBarExpandedMenus
                                ? links->GetMostRecentItemCount()
                                : -1);
}

bool TdxBarSubMenuControl::MarkExists() const {
  TdxBarItemLinks* links = ItemLinks();
  TdxBarManager* manager = BarManager();
  return links && manager && manager->ShowRecentItemsFirst() &&
         links->VisibleItemCount() < links->CanVisibleItemCount();
}

TRect TdxBarSubMenuControl::MarkRect() {
  if (!MarkExists() || !HandleAllocated()) return {};
  const TRect client = ClientRect();
  return Rect(client.Left, client.Bottom - GetMarkSize(), client.Right,
              client.Bottom);
}

bool TdxBarSubMenuControl::MouseOnMark() const {
  if (!HandleAllocated()) return false;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  auto* self = const_cast<TdxBarSubMenuControl*>(this);
  ::ScreenToClient(self->Handle(), &cursor);
  return PtInRect(self->MarkRect(), {cursor.x, cursor.y});
}

bool TdxBarSubMenuControl::ExtendedView() const {
  TdxBarManager* manager = BarManager();
  return manager && manager->ShowRecentItemsFirst() && dxBarExpandedMenus;
}

bool TdxBarSubMenuControl::IsNonRecent(const TdxBarItemLink* ALink) const {
  TdxBarItemLinks* links = ItemLinks();
  if (!ExtendedView() || !links || !ALink || ALink->Links() != links)
    return false;
  Integer count = links->GetMostRecentItemCount();
  if (count < 0) count = links->CanVisibleItemCount();
  return ALink->RecentIndex() >= count;
}

bool TdxBarSubMenuControl::DelayedExpansion() const {
  TdxBarManager* manager = BarManager();
  return manager && manager->ShowRecentItemsFirst() && !dxBarExpandedMenus &&
         manager->ShowFullMenusAfterDelay;
}

void TdxBarSubMenuControl::SetMarkState(TdxBarMarkState Value) {
  TdxBarManager* manager = BarManager();
  if (!manager || manager->IsCustomizing() || !manager->ShowRecentItemsFirst())
    return;
  if (Value == MarkState()) return;
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  TCustomdxBarControl::SetMarkState(Value);
  if (Value == msPressed) {
    ExpandMenu();
    if (!self->Target) return;
  } else if (HandleAllocated()) {
    RECT r = dxRECT(MarkRect());
    ::InvalidateRect(Handle(), &r, FALSE);
  }
  if (manager->ShowFullMenusAfterDelay) {
    KillExpandMenuTimer();
    // Resting on the expand button expands after the hint's wait.
    if (MarkState() == msSelected && MouseOnMark())
      SetExpandMenuTimer(
          dxBarHintWindow() ? dxBarHintWindow()->GetShowHintTime() : 1000, 1);
  } else if (MarkState() == msSelected) {
    dxBarActivateHint(manager, true, "Expand (Ctrl-Down)", nullptr);
  } else {
    dxBarActivateHint(manager, true, String(), nullptr);
  }
}

void TdxBarSubMenuControl::MarkClick() {
  if (MarkState() == msSelected || MarkState() == msPressed) {
    TcxObjectLink* self = cxAddObjectLink(this);
    TScopeGuard release([&] { cxRemoveObjectLink(self); });
    SetMarkState(msPressed);
    // The release of this press must not click what now lies under it.
    if (self->Target) ignoreMouseClick_ = true;
    return;
  }
  SetKeySelectedItem(nullptr);
  SetMarkState(msSelected);
}

void TdxBarSubMenuControl::ExpandMenu() {
  if (!MarkExists() || !HandleAllocated() || expanding_) return;
  dxBarExpandedMenus = true;
  ShowAnimation = true;
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  // The keyboard selection goes on from where it was.
  TdxBarItemLink* selected = SelectedLink();
  const bool byKey =
      selected && selected->Control() && !selected->Control()->MouseSelected();
  TcxObjectLink* selectedLink = selected ? cxAddObjectLink(selected) : nullptr;
  TScopeGuard releaseSelected([&] {
    if (selectedLink) cxRemoveObjectLink(selectedLink);
  });
  if (auto* child = dynamic_cast<TdxBarSubMenuControl*>(ChildBar()))
    child->Hide();
  if (!self->Target) return;
  {
    expanding_ = true;
    TScopeGuard done([&] { expanding_ = false; });
    KillExpandMenuTimer();
    StopScrollTimer();
    TerminateAnimation();
    DestroyHandle();
  }
  TCustomdxBarControl::SetMarkState(msNone);
  ShowWindow();
  if (!self->Target || !byKey || !selectedLink->Target) return;
  if (TdxBarItemControl* control = selected->Control())
    SetKeySelectedItem(control);
}

void TdxBarSubMenuControl::SetExpandMenuTimer(UINT AInterval, Integer AKind) {
  KillExpandMenuTimer();
  if (!HandleAllocated()) return;
  const UINT_PTR id = AKind == 0 ? HighlightMarkTimerId : ExpandTimerId;
  if (::SetTimer(Handle(), id, AInterval, nullptr)) {
    expandTimer_ = id;
    expandInterval_ = AInterval;
  }
}

void TdxBarSubMenuControl::KillExpandMenuTimer() {
  if (expandTimer_ && HandleAllocated()) ::KillTimer(Handle(), expandTimer_);
  expandTimer_ = 0;
  expandInterval_ = 0;
}

void TdxBarSubMenuControl::ExpandMenuTimer() {
  const UINT_PTR id = expandTimer_;
  KillExpandMenuTimer();
  if (id == ExpandTimerId) {
    SetMarkState(msPressed);
  } else if (id == HighlightMarkTimerId && !ChildBar()) {
    SetMarkState(msSelected);
  }
}

void TdxBarSubMenuControl::DoSetIsActive(bool Value) {
  TCustomdxBarControl::DoSetIsActive(Value);
  if (!Value) {
    KillExpandMenuTimer();
    return;
  }
  // Joining the chain may have started a new one, which shows menus
  // personalised again.
  SetRecentItemCount();
  if (DelayedExpansion() && MarkExists()) SetExpandMenuTimer(ExpandDelay, 1);
}

void TdxBarSubMenuControl::SetSelectedControl(TdxBarItemControl* AControl) {
  const bool changed = AControl != SelectedControl();
  TCustomdxBarControl::SetSelectedControl(AControl);
  if (!changed || !DelayedExpansion() || MarkState() != msNone) return;
  // A change of selection only highlights the expand button after the
  // wait; the menu does not expand by itself any more.
  KillExpandMenuTimer();
  if (IsActive() && MarkExists()) SetExpandMenuTimer(ExpandDelay, 0);
}

// ---------------------------------------------------------------------------
// Opening animation
// ---------------------------------------------------------------------------

void TdxBarSubMenuControl::Paint() {
  if ((animating_ && !paintingImage_) || hiding_) return;
  TCustomdxBarControl::Paint();
}

void TdxBarSubMenuControl::StartAnimation(TdxBarMenuAnimations AKind) {
  RECT window{}, client{};
  ::GetWindowRect(Handle(), &window);
  ::GetClientRect(Handle(), &client);
  const TSize size{client.right, client.bottom};
  // The whole menu is painted once; the steps copy from this image.
  HDC dc = ::GetDC(Handle());
  HBITMAP image = ::CreateCompatibleBitmap(dc, std::max<Integer>(size.cx, 1),
                                           std::max<Integer>(size.cy, 1));
  HDC mem = ::CreateCompatibleDC(dc);
  ::ReleaseDC(Handle(), dc);
  HGDIOBJ old = ::SelectObject(mem, image);
  {
    paintingImage_ = true;
    TScopeGuard done([&] { paintingImage_ = false; });
    PaintWindow(mem);
  }
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  const TdxBarAnimationInfo info = dxBarMakeAnimationInfo(
      AKind, {window.left, window.top, window.right, window.bottom}, size,
      flippedLeft_, flippedUp_);
  animating_ = true;
  animationInfo_ = info;
  animation_.reset(new TdxBarAnimationThread(Handle(), info, image));
  animation_->Start();
}

void TdxBarSubMenuControl::FinishAnimation() {
  if (!animating_) return;
  animating_ = false;
  if (hiding_ || state_.Contains(bsDestroyingWindow) ||
      ComponentState().Contains(csDestroying))
    return;
  ShowAnimation = false;
  const TdxBarAnimationInfo& info = animationInfo_;
  ::SetWindowPos(
      Handle(), nullptr, info.FinalLeft, info.FinalTop,
      info.FinalClientWidth + info.BorderWidth,
      info.FinalClientHeight + info.BorderHeight,
      SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
  ::InvalidateRect(Handle(), nullptr, FALSE);
  ::PostMessageA(Handle(), dxBarAnimationFinishMessage + 1, 0, 0);
}

void TdxBarSubMenuControl::TerminateAnimation() {
  if (!animation_) return;
  animation_->Terminate();
  // Waiting serves the thread's last message, which places the window.
  TObjectPtr<TdxBarAnimationThread> thread(animation_.release());
  thread.reset();
  animating_ = false;
}

// ---------------------------------------------------------------------------
// Detaching
// ---------------------------------------------------------------------------

TCustomdxBarSubItem* TdxBarSubMenuControl::OpenerSubItem() const {
  auto* opener = dynamic_cast<TdxBarSubItemControl*>(parentItemControl_);
  return opener ? dynamic_cast<TCustomdxBarSubItem*>(opener->Item()) : nullptr;
}

bool TdxBarSubMenuControl::Detachable() const {
  TCustomdxBarSubItem* item = OpenerSubItem();
  return item && item->Detachable() &&
         GetBehaviorOptions().Contains(bboAllowDetach);
}

TdxBar* TdxBarSubMenuControl::DetachingBar() const {
  TCustomdxBarSubItem* item = OpenerSubItem();
  return item ? item->DetachingBar() : nullptr;
}

bool TdxBarSubMenuControl::CanDetach() const {
  TdxBar* bar = DetachingBar();
  if (!Detachable() || !bar) return false;
  const TCustomdxBarControl* root = this;
  while (root->ParentBar()) root = root->ParentBar();
  return !bar->Control() || bar->Control() != root;
}

Integer TdxBarSubMenuControl::GetDetachCaptionSize() const {
  Integer h =
      const_cast<TdxBarSubMenuControl*>(this)->ActiveCanvas()->TextHeight(
          "Qq") /
      2;
  if (h % 2 == 0) ++h;
  return h;
}

Integer TdxBarSubMenuControl::DetachCaptionAreaSize() const {
  return Detachable() ? GetDetachCaptionSize() + 3 : 0;
}

TRect TdxBarSubMenuControl::DetachCaptionRect() const {
  if (!Detachable()) return {};
  const TRect client = const_cast<TdxBarSubMenuControl*>(this)->ClientRect();
  return Rect(client.Left + 1, client.Top + 1, client.Right - 1,
              client.Top + 1 + GetDetachCaptionSize());
}

void TdxBarSubMenuControl::SetDetachCaptionSelected(bool Value) {
  if (detachCaptionSelected_ == Value) return;
  detachCaptionSelected_ = Value;
  if (HandleAllocated()) {
    RECT r = dxRECT(DetachCaptionRect());
    ::InvalidateRect(Handle(), &r, FALSE);
  }
  if (Value) {
    SetMouseSelectedItem(nullptr);
    ::SetCursor(SystemCursor(IDC_SIZEALL));
  }
  dxBarActivateHint(BarManager(), true,
                    Value ? String("Drag to make this menu float") : String(),
                    nullptr);
}

void TdxBarSubMenuControl::DoBarMouseLeave() {
  TCustomdxBarControl::DoBarMouseLeave();
  SetDetachCaptionSelected(false);
}

namespace {

// The drag that pulls a menu out as its floating toolbar: the menu's
// opener holds the mouse; out of the caption's neighbourhood the menu
// closes and the bar floats under the cursor, back inside it the menu
// opens again. The menu itself is gone during the drag.
void DetachDrag(TdxBarSubItemControl* AOpener, TdxBar* ABar,
                const TRect& ACaption) {
  TCustomdxBarControl* parent = AOpener->Parent();
  if (!parent || !parent->HandleAllocated()) return;
  const HWND capture = parent->Handle();
  TcxObjectLink* openerLink = cxAddObjectLink(AOpener);
  TcxObjectLink* barLink = cxAddObjectLink(ABar);
  TScopeGuard release([&] {
    cxRemoveObjectLink(openerLink);
    cxRemoveObjectLink(barLink);
  });
  TRect zone = ACaption;
  InflateRect(zone, 15, 15);
  bool detached = false, reopen = false, dropped = false;
  const auto follow = [&](const TPoint& P, bool AFirst) {
    auto* control = dynamic_cast<TdxBarControl*>(ABar->Control());
    if (!control || !control->HandleAllocated()) return;
    const Integer left = AFirst ? P.X - 100 : P.X - control->Width() / 2;
    const Integer top = P.Y - control->NCOffset().Y / 2;
    ::SetWindowPos(control->Handle(), nullptr, left, top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  ::SetCapture(capture);
  const bool wasModal = std::exchange(dxBarModalLoop, true);
  TScopeGuard modal([&] { dxBarModalLoop = wasModal; });
  MSG msg;
  while (::GetCapture() == capture && dxBarGetLoopMessage(msg)) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        reopen = true;
        break;
      }
      continue;
    }
    if (msg.message == WM_LBUTTONUP) {
      dropped = detached;
      break;
    }
    if (msg.message != WM_MOUSEMOVE) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
      continue;
    }
    const TPoint p = dxBarMessageScreenPoint(msg);
    if (!openerLink->Target || !barLink->Target) break;
    if (!detached) {
      if (PtInRect(zone, p)) continue;
      AOpener->ControlInactivate(true);
      if (!openerLink->Target || !barLink->Target) break;
      if (ABar->Visible() && !ABar->IsFloat()) ABar->SetVisible(false);
      ABar->SetDockingStyle(dsNone);
      ABar->SetFloatLeft(p.X - 100);
      ABar->SetFloatTop(p.Y);
      ABar->SetVisible(true);
      follow(p, true);
      detached = true;
      continue;
    }
    if (PtInRect(zone, p)) {
      reopen = true;
      break;
    }
    follow(p, false);
  }
  if (::IsWindow(capture) && ::GetCapture() == capture) ::ReleaseCapture();
  if (!openerLink->Target || !barLink->Target) return;
  // A bar pulled out but not dropped goes again.
  if (detached && !dropped) ABar->SetVisible(false);
  if (dropped) {
    if (auto* control = dynamic_cast<TdxBarControl*>(ABar->Control()))
      control->SavePos();
  }
  TCustomdxBarControl* bar = AOpener->Parent();
  if (reopen) {
    if (detached) {
      bar->SetIsDowned(true);
      AOpener->ControlActivate(true);
    }
    return;
  }
  bar->HideAll();
}

}  // namespace

void TdxBarSubMenuControl::DetachCaptionPress() {
  TCustomdxBarSubItem* item = OpenerSubItem();
  auto* opener = dynamic_cast<TdxBarSubItemControl*>(parentItemControl_);
  if (!item || !opener) return;
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  item->DoDetaching();
  if (!self->Target || !CanDetach()) return;
  const TRect r = DetachCaptionRect();
  const TPoint origin = ClientToScreen({0, 0});
  DetachDrag(
      opener, DetachingBar(),
      Bounds(r.Left + origin.X, r.Top + origin.Y, r.Width(), r.Height()));
}

bool TdxBarSubMenuControl::HandleExpandKey(Word AKey) {
  TerminateAnimation();
  TdxBarItemLinks* links = ItemLinks();
  if (!links || !MarkExists()) return false;
  const bool ctrl = ::GetAsyncKeyState(VK_CONTROL) < 0;
  const bool plain = !ctrl && ::GetAsyncKeyState(VK_SHIFT) >= 0 &&
                     ::GetAsyncKeyState(VK_MENU) >= 0;
  if (AKey == VK_DOWN && ctrl) {
    ExpandMenu();
    return true;
  }
  // Walking past the last shown item goes on into the hidden ones.
  TdxBarItemLink* link = SelectedLink();
  if ((AKey == VK_DOWN || AKey == VK_TAB) && plain && link &&
      link->VisibleIndex() == links->VisibleItemCount() - 1)
    ExpandMenu();
  return false;
}

bool TdxBarItemControl::NonRecent() const {
  auto* menu = dynamic_cast<TdxBarSubMenuControl*>(Parent());
  return menu && menu->IsNonRecent(ItemLink());
}
