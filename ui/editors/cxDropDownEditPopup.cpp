// The drop-down editors' popup window: its view info (border, client edge,
// shadow, system panel with grip and close button), its size and position
// against the editor, its window region and sizing by the mouse.
#include <algorithm>

#include "Handles.h"
#include "ScopeGuard.h"
#include "cxControls.h"
#include "cxDWMApi.h"
#include "cxDropDownEdit.h"
#include "cxGeometry.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

// Parts of the visual-styles classes the system panel draws.
constexpr int kWindowCloseButtonPart = 18;
constexpr int kScrollBarSizeBoxPart = 10;
constexpr int kListBoxBorderPart = 3;
constexpr int kListBoxBorderState = 3;

// Border width B by border style outside the native style.
constexpr Integer kBorderWidths[] = {0, 1, 4, 2};
// Client-edge width E by border style outside the native style.
constexpr Integer kClientEdgeWidths[] = {0, 2, 2, 1};

TSize ThemePartSize(TdxThemedObjectType AType, int APart, int AState) {
  SIZE size{0, 0};
  HTHEME theme = OpenTheme(AType);
  if (theme) {
    TWindowDC dc(nullptr);
    GetThemePartSize(theme, dc.get(), APart, AState, dxTS_TRUE, &size);
  }
  return TSize{size.cx, size.cy};
}

Integer SystemButtonSize() {
  return std::max(::GetSystemMetrics(SM_CYHSCROLL),
                  ::GetSystemMetrics(SM_CYSIZE));
}

// A rectangle of ASize in the corner ACorner of R.
TRect RectInCorner(const TRect& R, TcxEditCorner ACorner, TSize ASize) {
  TRect result;
  if (IsLeftCorner(ACorner)) {
    result.Left = R.Left;
    result.Right = R.Left + ASize.cx;
  } else {
    result.Right = R.Right;
    result.Left = R.Right - ASize.cx;
  }
  if (IsTopCorner(ACorner)) {
    result.Top = R.Top;
    result.Bottom = R.Top + ASize.cy;
  } else {
    result.Bottom = R.Bottom;
    result.Top = R.Bottom - ASize.cy;
  }
  return result;
}

}  // namespace

Integer cxEditPopupCloseButtonThemeState(TcxButtonState AState) {
  switch (AState) {
    case cxbsNormal:
      return 1;
    case cxbsHot:
      return 2;
    case cxbsPressed:
      return 3;
    case cxbsDisabled:
      return 4;
    default:
      return 0;
  }
}

TCursor cxEditPopupSizingCursor(Integer AHorz, Integer AVert) {
  if (AHorz != 0 && AVert != 0) return AHorz == AVert ? crSizeNWSE : crSizeNESW;
  if (AHorz != 0) return crSizeWE;
  if (AVert != 0) return crSizeNS;
  return crDefault;
}

// ---------------------------------------------------------------------------
// TcxCustomEditPopupWindowViewInfo
// ---------------------------------------------------------------------------

bool TcxCustomEditPopupWindowViewInfo::DrawCustomBorder(TcxCanvas* ACanvas,
                                                        const TRect& R,
                                                        Integer& ABorderWidth) {
  bool handled = false;
  ABorderWidth = 0;
  if (OnCustomDrawBorder)
    OnCustomDrawBorder(this, ACanvas, ABorderWidth, handled, R);
  return handled;
}

Integer TcxCustomEditPopupWindowViewInfo::GetClientEdgeWidth() {
  if (!ClientEdge) return 0;
  if (NativeStyle) return 2;
  return kClientEdgeWidths[PopupBorderStyle];
}

Integer TcxCustomEditPopupWindowViewInfo::GetFrameWidth(
    bool AIncludeClientEdge) {
  Integer border = 0;
  // Asked without a canvas: the handler gives the width only.
  if (!DrawCustomBorder(nullptr, Bounds, border))
    border = NativeStyle ? 1 : kBorderWidths[PopupBorderStyle];
  return border + (AIncludeClientEdge ? GetClientEdgeWidth() : 0);
}

bool TcxCustomEditPopupWindowViewInfo::IsSysPanelThemed() {
  return SysPanelStyle && AreVisualStylesMustBeUsed(NativeStyle, totWindow);
}

Integer TcxCustomEditPopupWindowViewInfo::GetButtonSize() {
  Integer size = SystemButtonSize();
  if (IsSysPanelThemed()) {
    const TSize close = ThemePartSize(totWindow, kWindowCloseButtonPart, 1);
    const TSize box = ThemePartSize(totScrollBar, kScrollBarSizeBoxPart, 1);
    size = std::max({size, close.cx, close.cy, box.cx, box.cy});
  }
  return size;
}

Integer TcxCustomEditPopupWindowViewInfo::GetSysPanelHeight() {
  const Integer size = GetButtonSize();
  return MinSysPanelHeight > 0 ? std::max(size, MinSysPanelHeight) : size;
}

TRect TcxCustomEditPopupWindowViewInfo::GetBorderExtent() {
  const Integer frame = GetFrameWidth(true);
  TRect result{frame, frame, frame, frame};
  if (Shadow) {
    result.Right += cxContainerShadowWidth;
    result.Bottom += cxContainerShadowWidth;
  }
  if (SysPanelStyle) {
    SysPanelHeight = GetSysPanelHeight();
    Integer height = SysPanelHeight;
    if (NativeStyle || PopupBorderStyle == epbsSingle) ++height;
    if (IsTopCorner(SizingCorner))
      result.Top += height;
    else
      result.Bottom += height;
  } else {
    SysPanelHeight = 0;
  }
  SizingWidth = SystemButtonSize();
  return result;
}

TRect TcxCustomEditPopupWindowViewInfo::GetClientExtent() {
  return GetBorderExtent();
}

void TcxCustomEditPopupWindowViewInfo::Calculate() {
  const TRect bounds{0, 0, Bounds.Width(), Bounds.Height()};
  const TRect extent = GetBorderExtent();
  ClientRect =
      TRect{bounds.Left + extent.Left, bounds.Top + extent.Top,
            bounds.Right - extent.Right, bounds.Bottom - extent.Bottom};
  const Integer frame = GetFrameWidth(!SysPanelStyle);
  InnerRect = TRect{bounds.Left + frame, bounds.Top + frame,
                    bounds.Right - frame, bounds.Bottom - frame};
  if (Shadow) {
    InnerRect.Right -= cxContainerShadowWidth;
    InnerRect.Bottom -= cxContainerShadowWidth;
  }
  const bool themed = IsSysPanelThemed();
  CloseButtonNativeState =
      themed ? cxEditPopupCloseButtonThemeState(CloseButtonState) : 0;
  SizeGripRect = TRect();
  SizeGripSizingRect = TRect();
  CloseButtonRect = TRect();
  if (!SysPanelStyle) return;

  const Integer s = GetButtonSize();
  if (Sizeable) {
    Integer grip = s - 2;
    if (themed) {
      const TSize box = ThemePartSize(totScrollBar, kScrollBarSizeBoxPart, 1);
      grip = std::max(grip, std::max(box.cx, box.cy) + 2);
    }
    SizeGripSizingRect = RectInCorner(InnerRect, SizingCorner, {grip, grip});
    SizeGripRect = SizeGripSizingRect;
    // The two sides that face the popup's inside.
    if (IsLeftCorner(SizingCorner))
      SizeGripRect.Right -= 2;
    else
      SizeGripRect.Left += 2;
    if (IsTopCorner(SizingCorner))
      SizeGripRect.Bottom -= 2;
    else
      SizeGripRect.Top += 2;
  }

  if (!CloseButton) return;
  TSize size{s - 4, s - 4};
  if (themed) size = ThemePartSize(totWindow, kWindowCloseButtonPart, 1);
  if (IsLeftCorner(SizingCorner)) {
    CloseButtonRect.Right = InnerRect.Right - (themed ? 0 : 2) - 1;
    CloseButtonRect.Left = CloseButtonRect.Right - size.cx;
  } else {
    CloseButtonRect.Left = InnerRect.Left + (themed ? 0 : 2) + 1;
    CloseButtonRect.Right = CloseButtonRect.Left + size.cx;
  }
  const Integer offset = themed ? (SysPanelHeight - size.cy) / 2 : 2;
  if (IsTopCorner(SizingCorner)) {
    CloseButtonRect.Top = InnerRect.Top + offset;
    CloseButtonRect.Bottom = CloseButtonRect.Top + size.cy;
  } else {
    CloseButtonRect.Bottom = InnerRect.Bottom - offset;
    CloseButtonRect.Top = CloseButtonRect.Bottom - size.cy;
  }
}

bool TcxCustomEditPopupWindowViewInfo::IsSizingPlace(Integer X, Integer Y) {
  sizingDirectionX_ = 0;
  sizingDirectionY_ = 0;
  const TRect bounds{0, 0, Bounds.Width(), Bounds.Height()};
  if (!Sizeable || !cxRectPtIn(bounds, X, Y)) return false;
  const bool onGrip = cxRectPtIn(SizeGripSizingRect, X, Y);
  if (cxRectPtIn(InnerRect, X, Y) && !onGrip) return false;
  const bool left = IsLeftCorner(SizingCorner);
  const bool top = IsTopCorner(SizingCorner);
  if (onGrip) {
    sizingDirectionX_ = left ? -1 : 1;
    sizingDirectionY_ = top ? -1 : 1;
    return true;
  }
  if (X < SizingWidth && left)
    sizingDirectionX_ = -1;
  else if (X >= bounds.Right - SizingWidth && !left)
    sizingDirectionX_ = 1;
  if (Y < SizingWidth && top)
    sizingDirectionY_ = -1;
  else if (Y >= bounds.Bottom - SizingWidth && !top)
    sizingDirectionY_ = 1;
  return sizingDirectionX_ != 0 || sizingDirectionY_ != 0;
}

void TcxCustomEditPopupWindowViewInfo::DrawFrame3DBorder(TcxCanvas* ACanvas,
                                                         TRect& R) {
  ACanvas->DrawEdge(R, false, true);
  InflateRect(R, -1, -1);
  ACanvas->DrawEdge(R, false, false);
  if (PopupBorderStyle != epbsFrame3D) return;
  InflateRect(R, -1, -1);
  ACanvas->FrameRect(R, ClientEdge ? clInactiveBorder : clBtnFace);
  InflateRect(R, -1, -1);
  if (ClientEdge)
    ACanvas->FrameRect(R, clBtnFace);
  else
    ACanvas->DrawEdge(R, true, true);
}

void TcxCustomEditPopupWindowViewInfo::DrawBorder(TcxCanvas* ACanvas,
                                                  TRect& R) {
  Integer width = 0;
  if (DrawCustomBorder(ACanvas, R, width)) {
    InflateRect(R, -width, -width);
    return;
  }
  const TRect outer = R;
  if (NativeStyle) {
    HTHEME theme = OpenTheme(totListBox);
    if (theme && IsCompositionEnabled()) {
      const RECT r{R.Left, R.Top, R.Right, R.Bottom};
      DrawThemeBackground(theme, ACanvas->Handle(), kListBoxBorderPart,
                          kListBoxBorderState, &r, nullptr);
    } else {
      ACanvas->FrameRect(R, clBtnText);
    }
  } else if (SkinPainter) {
    ACanvas->FrameRect(R, SkinPainter->GetContainerBorderColor(false));
  } else {
    switch (PopupBorderStyle) {
      case epbsSingle:
        ACanvas->FrameRect(R, clBtnText);
        break;
      case epbsFrame3D:
      case epbsFlat: {
        TRect r = R;
        DrawFrame3DBorder(ACanvas, r);
        break;
      }
      default:
        break;
    }
  }
  // Whatever was drawn, what is inside is the border width in.
  R = outer;
  const Integer border = GetFrameWidth(false);
  InflateRect(R, -border, -border);
}

void TcxCustomEditPopupWindowViewInfo::DrawSizeGrip(TcxCanvas* ACanvas) {
  const TRect& r = SizeGripRect;
  if (cxRectIsEmpty(r)) return;
  if (SkinPainter) {
    SkinPainter->DrawSizeGrip(ACanvas, r, clNone);
  } else {
    // Both the themed box and the system grip face the bottom-right corner:
    // drawn aside and copied mirrored to face the sizing corner.
    TBitmap bitmap;
    bitmap.SetWidth(r.Width());
    bitmap.SetHeight(r.Height());
    TcxCanvas canvas(bitmap.Canvas());
    const TRect local{0, 0, r.Width(), r.Height()};
    canvas.FillRect(local, clBtnFace);
    RECT rr{0, 0, r.Width(), r.Height()};
    HTHEME theme = NativeStyle ? OpenTheme(totScrollBar) : nullptr;
    if (theme)
      DrawThemeBackground(theme, canvas.Handle(), kScrollBarSizeBoxPart, 1, &rr,
                          nullptr);
    else
      ::DrawFrameControl(canvas.Handle(), &rr, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    const bool mirrorX = IsLeftCorner(SizingCorner);
    const bool mirrorY = IsTopCorner(SizingCorner);
    ::StretchBlt(ACanvas->Handle(), mirrorX ? r.Right - 1 : r.Left,
                 mirrorY ? r.Bottom - 1 : r.Top,
                 mirrorX ? -r.Width() : r.Width(),
                 mirrorY ? -r.Height() : r.Height(), canvas.Handle(), 0, 0,
                 r.Width(), r.Height(), SRCCOPY);
  }
  ACanvas->ExcludeClipRect(r);
}

void TcxCustomEditPopupWindowViewInfo::DrawCloseButton(TcxCanvas* ACanvas) {
  const TRect& r = CloseButtonRect;
  if (cxRectIsEmpty(r)) return;
  if (SkinPainter) {
    SkinPainter->DrawFilterCloseButton(ACanvas, r, CloseButtonState);
  } else if (CloseButtonNativeState != 0) {
    HTHEME theme = OpenTheme(totWindow);
    if (IsThemeBackgroundPartiallyTransparent(theme, kWindowCloseButtonPart,
                                              CloseButtonNativeState))
      ACanvas->FillRect(r, clBtnFace);
    const RECT rr{r.Left, r.Top, r.Right, r.Bottom};
    DrawThemeBackground(theme, ACanvas->Handle(), kWindowCloseButtonPart,
                        CloseButtonNativeState, &rr, nullptr);
  } else {
    cxLookAndFeelKindPainter(CloseButtonStyle)
        ->DrawFilterCloseButton(ACanvas, r, CloseButtonState);
  }
  ACanvas->ExcludeClipRect(r);
}

void TcxCustomEditPopupWindowViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  TRect r{0, 0, Bounds.Width(), Bounds.Height()};
  if (Shadow) {
    r.Right -= cxContainerShadowWidth;
    r.Bottom -= cxContainerShadowWidth;
    DrawContainerShadow(ACanvas, r);
  }
  DrawBorder(ACanvas, r);
  const bool top = IsTopCorner(SizingCorner);
  const Integer edge = GetClientEdgeWidth();
  if (SysPanelStyle &&
      (PopupBorderStyle == epbsSingle || CloseButtonNativeState != 0)) {
    TRect line = ClientRect;
    InflateRect(line, edge, edge);
    const Integer y = top ? line.Top - 1 : line.Bottom;
    ACanvas->FillRect(
        TRect{line.Left, y, line.Right, y + 1},
        SkinPainter ? SkinPainter->GetContainerBorderColor(false) : clBtnText);
  }
  if (ClientEdge) {
    TRect e = r;
    if (SysPanelStyle) {
      Integer height = SysPanelHeight;
      if (NativeStyle || PopupBorderStyle == epbsSingle) ++height;
      if (top)
        e.Top += height;
      else
        e.Bottom -= height;
    }
    ACanvas->DrawEdge(e, true, true);
    if (NativeStyle || PopupBorderStyle != epbsFlat) {
      InflateRect(e, -1, -1);
      ACanvas->DrawEdge(e, true, false);
    }
  }
  TRect panel;
  if (SysPanelStyle) {
    DrawSizeGrip(ACanvas);
    DrawCloseButton(ACanvas);
    panel = top ? TRect{r.Left, r.Top, r.Right, r.Top + SysPanelHeight}
                : TRect{r.Left, r.Bottom - SysPanelHeight, r.Right, r.Bottom};
  }
  for (const TRect& fill : {ClientRect, panel}) {
    if (cxRectIsEmpty(fill)) continue;
    if (SkinPainter)
      SkinPainter->DrawWindowContent(ACanvas, fill);
    else
      ACanvas->FillRect(fill, clBtnFace);
  }
}

// ---------------------------------------------------------------------------
// TcxCustomEditPopupWindow
// ---------------------------------------------------------------------------

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TWinControl* AOwnerControl)
    : TcxCustomPopupWindow(AOwnerControl) {
  CreatePopupParts();
  ViewInfo()->CloseButtonState = cxbsNormal;
}

TcxCustomEditPopupWindow::~TcxCustomEditPopupWindow() = default;

TcxContainerViewInfoClass TcxCustomEditPopupWindow::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCustomEditPopupWindowViewInfo>;
}

IcxEditPopupWindowOwner* TcxCustomEditPopupWindow::GetEdit() {
  return dynamic_cast<IcxEditPopupWindowOwner*>(OwnerControl());
}

TcxEditPopupBorderStyle TcxCustomEditPopupWindow::BorderStyle() const {
  return ViewInfo()->PopupBorderStyle;
}

void TcxCustomEditPopupWindow::SetPopupAutoSize(bool Value) {
  popupAutoSize_ = Value;
}
void TcxCustomEditPopupWindow::SetBorderStyle(TcxEditPopupBorderStyle Value) {
  ViewInfo()->PopupBorderStyle = Value;
}
void TcxCustomEditPopupWindow::SetClientEdge(bool Value) {
  ViewInfo()->ClientEdge = Value;
}
void TcxCustomEditPopupWindow::SetCloseButton(bool Value) {
  ViewInfo()->CloseButton = Value;
}
void TcxCustomEditPopupWindow::SetMinSysPanelHeight(Integer Value) {
  ViewInfo()->MinSysPanelHeight = Value;
}
void TcxCustomEditPopupWindow::SetNativeStyle(bool Value) {
  ViewInfo()->NativeStyle = Value;
}
void TcxCustomEditPopupWindow::SetShadow(bool Value) {
  ViewInfo()->Shadow = Value;
}
void TcxCustomEditPopupWindow::SetSizeable(bool Value) {
  ViewInfo()->Sizeable = Value;
}
void TcxCustomEditPopupWindow::SetSysPanelStyle(bool Value) {
  ViewInfo()->SysPanelStyle = Value;
}

bool TcxCustomEditPopupWindow::AcceptsAnySize() {
  IcxEditPopupWindowOwner* edit = GetEdit();
  return edit ? edit->PopupWindowAcceptsAnySize() : true;
}

void TcxCustomEditPopupWindow::Popup(TWinControl* AFocusedControl) {
  if (!IsOwnerControlVisible())
    if (IcxEditPopupWindowOwner* edit = GetEdit()) edit->DoFinalizePopup();
  TcxCustomPopupWindow::Popup(AFocusedControl);
}

void TcxCustomEditPopupWindow::ModalCloseUp() {
  IcxEditPopupWindowOwner* edit = GetEdit();
  if (!edit) {
    TcxCustomPopupWindow::ModalCloseUp();
    return;
  }
  TcxEditCloseUpReason reason = crUnknown;
  if (ModalResult() == mrOk)
    reason = crEnter;
  else if (ModalResult() == mrCancel)
    reason = crCancel;
  edit->CloseUp(reason);
}

void TcxCustomEditPopupWindow::DoPopupControlKey(char Key) {
  if (HWND focus = ::GetFocus())
    ::SendMessageA(focus, WM_CHAR, static_cast<Byte>(Key), 0);
}

void TcxCustomEditPopupWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_POPUPCONTROLKEY) {
    if (IsVisible())
      DoPopupControlKey(static_cast<char>(Message.WParam & 0xFF));
    return;
  }
  TcxCustomPopupWindow::Dispatch(Message);
}

void TcxCustomEditPopupWindow::CreateParams(TCreateParams& Params) {
  TcxCustomPopupWindow::CreateParams(Params);
  if (NativeStyle() && IsCompositionEnabled())
    Params.WindowClass.style |= CS_DROPSHADOW;
}

void TcxCustomEditPopupWindow::AdjustClientRect(TRect& Rect) {
  const TRect extent = ViewInfo()->GetClientExtent();
  Rect.Left += extent.Left;
  Rect.Top += extent.Top;
  Rect.Right -= extent.Right;
  Rect.Bottom -= extent.Bottom;
}

void TcxCustomEditPopupWindow::CalculateViewInfo() {
  TcxCustomEditPopupWindowViewInfo* viewInfo = ViewInfo();
  viewInfo->Bounds = TRect{0, 0, Width(), Height()};
  viewInfo->Calculate();
  IcxEditPopupWindowOwner* edit = GetEdit();
  TcxLookAndFeel* controls = edit ? edit->PopupControlsLookAndFeel() : nullptr;
  viewInfo->CloseButtonStyle =
      controls ? controls->Kind() : RootLookAndFeel()->Kind();
  viewInfo->SkinPainter = Style()->LookAndFeel()->SkinPainter();
}

void TcxCustomEditPopupWindow::RefreshPopupWindow() {
  IcxEditPopupWindowOwner* edit = GetEdit();
  if (edit) SetOwnerBounds(edit->GetPopupWindowOwnerControlBounds());
  CalculateViewInfo();
  if (edit) edit->PositionPopupWindowChilds(ViewInfo()->ClientRect);
  if (HandleAllocated()) {
    ::InvalidateRect(Handle(), nullptr, TRUE);
    Update();
  }
}

void TcxCustomEditPopupWindow::SetPopupWindowRegion() {
  if (!HandleAllocated()) return;
  TRect r{0, 0, Width(), Height()};
  TRect exclude;
  const bool native = NativeStyle();
  if (!native && Shadow()) {
    r.Right -= cxContainerShadowWidth;
    r.Bottom -= cxContainerShadowWidth;
    if (IsTopCorner(SizingCorner())) {
      // Opened above the editor: the bottom shadow must not cover it.
      const TRect owner = GetOwnerScreenBounds();
      exclude = TRect{owner.Left - Left(), Height() - cxContainerShadowWidth,
                      owner.Right - cxContainerShadowWidth - Left(), Height()};
    }
  }
  SetWindowShadowRegion(Handle(), r, native, !native && Shadow(), exclude);
}

void TcxCustomEditPopupWindow::Resize() {
  TcxCustomPopupWindow::Resize();
  CalculateViewInfo();
  SetPopupWindowRegion();
}

TSize TcxCustomEditPopupWindow::GetMinSize() {
  TcxCustomEditPopupWindowViewInfo* viewInfo = ViewInfo();
  const TRect x = viewInfo->GetClientExtent();
  TSize result{x.Left + x.Right, x.Top + x.Bottom};
  if (Sizeable() && SysPanelStyle()) {
    viewInfo->Bounds = TRect{0, 0, Width(), Height()};
    viewInfo->Calculate();
    const bool hasClose = CloseButton();
    const Integer closeWidth =
        hasClose ? std::max<Integer>(viewInfo->CloseButtonRect.Width(), 0) : 0;
    result.cx += closeWidth + viewInfo->SizeGripSizingRect.Width() + 10;
  }
  return result;
}

void TcxCustomEditPopupWindow::CalculateSize() {
  ViewInfo()->SizingCorner = ecoBottomRight;
  IcxEditPopupWindowOwner* edit = GetEdit();
  if (edit) SetOwnerBounds(edit->GetPopupWindowOwnerControlBounds());
  const TRect x = ViewInfo()->GetClientExtent();
  const TSize m = GetMinSize();
  const TSize p = edit && popupAutoSize_
                      ? edit->GetPopupWindowClientPreferredSize()
                      : TSize{0, 0};
  Integer width = 0;
  if (popupAutoSize_)
    width = x.Left + x.Right + p.cx;
  else
    width = PopupWidth != 0 ? PopupWidth : OwnerBounds().Width();
  if (Sizeable() && MinWidth > 0) width = std::max(width, MinWidth);
  Integer height = 0;
  if (popupAutoSize_)
    height = x.Top + x.Bottom + p.cy;
  else
    height = PopupHeight > 0 ? PopupHeight : std::max(MinHeight, m.cy);
  if (Sizeable() && MinHeight > 0) height = std::max(height, MinHeight);
  TRestoreOnExit settingUp(SettingUp, true);
  SetBounds(Left(), Top(), std::max<Integer>(width, m.cx),
            std::max<Integer>(height, m.cy));
}

TPoint TcxCustomEditPopupWindow::CalculatePosition() {
  if (IcxEditPopupWindowOwner* edit = GetEdit())
    SetOwnerBounds(edit->GetPopupWindowOwnerControlBounds());
  TPoint p = TcxCustomPopupWindow::CalculatePosition();
  const TRect o = GetOwnerScreenBounds();
  const TRect a = GetDesktopWorkArea(p);
  const Integer w = Width();
  const Integer h = Height();
  const bool leftward =
      (AlignHorz() == pahRight && p.X + w == o.Right && p.X > a.Left) ||
      p.X + w == o.Left || (p.X + w == a.Right && p.X < o.Right);
  const bool upward =
      (AlignVert() == pavBottom && p.Y + h == o.Bottom && p.Y > a.Top) ||
      p.Y + h == o.Top || (p.Y + h == a.Bottom && p.Y < o.Bottom);
  TcxEditCorner corner = ecoBottomRight;
  if (leftward && upward)
    corner = ecoTopLeft;
  else if (leftward)
    corner = ecoBottomLeft;
  else if (upward)
    corner = ecoTopRight;
  ViewInfo()->SizingCorner = corner;
  if (Shadow() && upward) p.Y += cxContainerShadowWidth;
  CalculateViewInfo();
  return p;
}

TSize TcxCustomEditPopupWindow::GetMaxVisualAreaSize() {
  IcxEditPopupWindowOwner* edit = GetEdit();
  TRect r = edit ? edit->GetPopupWindowOwnerControlBounds() : OwnerBounds();
  TWinControl* owner = OwnerControl();
  if (owner && owner->HandleAllocated() &&
      (::GetWindowLongA(owner->Handle(), GWL_STYLE) & WS_CHILD) &&
      OwnerParent()) {
    const TPoint topLeft = OwnerParent()->ClientToScreen({r.Left, r.Top});
    const TPoint bottomRight =
        OwnerParent()->ClientToScreen({r.Right, r.Bottom});
    r = TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
  }
  const TRect a = GetDesktopWorkArea(TPoint{r.Left, r.Top});
  const Integer sh = Shadow() ? cxContainerShadowWidth : 0;
  TSize result;
  if (Direction() == pdVertical) {
    result.cx = a.Width();
    result.cy = std::max(r.Top + sh - a.Top, a.Bottom - r.Bottom);
  } else {
    result.cx = std::max(r.Left + sh - a.Left, a.Right - r.Right) + 1;
    result.cy = a.Height();
  }
  const TRect x = ViewInfo()->GetClientExtent();
  result.cx -= x.Left + x.Right;
  result.cy -= x.Top + x.Bottom;
  return result;
}

bool TcxCustomEditPopupWindow::CanResize(Integer& NewWidth,
                                         Integer& NewHeight) {
  if (!TcxCustomPopupWindow::CanResize(NewWidth, NewHeight)) return false;
  if (!Sizeable() || SettingUp ||
      (NewWidth == Width() && NewHeight == Height()))
    return true;
  const TSize m = GetMinSize();
  NewWidth = std::max({NewWidth, MinWidth, static_cast<Integer>(m.cx)});
  NewHeight = std::max({NewHeight, MinHeight, static_cast<Integer>(m.cy)});
  if (NewWidth == Width() && NewHeight == Height()) return true;
  IcxEditPopupWindowOwner* edit = GetEdit();
  if (!edit || !edit->IsLookupDataVisual()) return true;
  const TRect x = ViewInfo()->GetClientExtent();
  const Integer dx = x.Left + x.Right;
  const Integer dy = x.Top + x.Bottom;
  TSize client{NewWidth - dx, NewHeight - dy};
  const TSize maxArea = GetMaxVisualAreaSize();
  if (edit->CanResizeVisualArea(client, maxArea.cy, maxArea.cx)) {
    NewWidth = std::max<Integer>(client.cx + dx, m.cx);
    NewHeight = std::max<Integer>(client.cy + dy, m.cy);
  } else {
    NewWidth = Width();
    NewHeight = Height();
  }
  return true;
}

// --- Closing
// -------------------------------------------------------------------

void TcxCustomEditPopupWindow::DoShowed() {
  // Only now the popup has its window and its place beside the editor.
  SetPopupWindowRegion();
  TcxCustomPopupWindow::DoShowed();
}

void TcxCustomEditPopupWindow::DoClosing() {
  TcxObjectLinkScope self(this);
  TcxCustomPopupWindow::DoClosing();
  if (self.Alive()) DrawSizeFrame(TRect());
}

void TcxCustomEditPopupWindow::DoClosed() {
  sizing_ = false;
  sizingCursorShown_ = false;
  // The next drop-down shows the close button at rest.
  ViewInfo()->CloseButtonState = cxbsNormal;
  TcxCustomPopupWindow::DoClosed();
}

// --- Mouse sizing and the close button
// -----------------------------------------

void TcxCustomEditPopupWindow::DrawSizeFrame(const TRect& R) {
  TWindowDC dc(nullptr);
  const Integer count = std::max<Integer>(ViewInfo()->GetFrameWidth(false), 2);
  auto draw = [&](const TRect& AFrame) {
    TRect r = AFrame;
    if (Shadow()) {
      r.Right -= cxContainerShadowWidth;
      r.Bottom -= cxContainerShadowWidth;
    }
    for (Integer i = 0; i < count; ++i) {
      const RECT rr{r.Left + i, r.Top + i, r.Right - i, r.Bottom - i};
      if (rr.right > rr.left && rr.bottom > rr.top)
        ::DrawFocusRect(dc.get(), &rr);
    }
  };
  // Exclusive-or drawing: the previous frame goes by drawing it again.
  if (!cxRectIsEmpty(sizeFrame_)) draw(sizeFrame_);
  sizeFrame_ = R;
  if (!cxRectIsEmpty(R)) {
    draw(R);
    lastSizeFrame_ = R;
  }
}

void TcxCustomEditPopupWindow::ShowSizingCursor(Integer AHorz, Integer AVert) {
  const TCursor cursor = cxEditPopupSizingCursor(AHorz, AVert);
  SetCursor(cursor);
  sizingCursorShown_ = cursor != crDefault;
}

void TcxCustomEditPopupWindow::RepaintCloseButton() {
  TcxCustomEditPopupWindowViewInfo* viewInfo = ViewInfo();
  viewInfo->CloseButtonNativeState =
      viewInfo->IsSysPanelThemed()
          ? cxEditPopupCloseButtonThemeState(viewInfo->CloseButtonState)
          : 0;
  if (!HandleAllocated() || cxRectIsEmpty(viewInfo->CloseButtonRect)) return;
  const RECT r{viewInfo->CloseButtonRect.Left, viewInfo->CloseButtonRect.Top,
               viewInfo->CloseButtonRect.Right,
               viewInfo->CloseButtonRect.Bottom};
  ::InvalidateRect(Handle(), &r, FALSE);
  Update();
}

void TcxCustomEditPopupWindow::SetCloseButtonState(TcxButtonState AState) {
  if (ViewInfo()->CloseButtonState == AState) return;
  ViewInfo()->CloseButtonState = AState;
  RepaintCloseButton();
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift,
                                         Integer X, Integer Y) {
  TcxCustomPopupWindow::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TcxCustomEditPopupWindowViewInfo* viewInfo = ViewInfo();
  if (cxRectPtIn(viewInfo->CloseButtonRect, X, Y)) {
    SetCloseButtonState(cxbsPressed);
    return;
  }
  if (!MouseCapture() || !viewInfo->IsSizingPlace(X, Y)) return;
  sizingX_ = viewInfo->SizingDirectionX();
  sizingY_ = viewInfo->SizingDirectionY();
  grabOffset_ =
      TPoint{sizingX_ < 0 ? X : Width() - X, sizingY_ < 0 ? Y : Height() - Y};
  pressPos_ = ClientToScreen(TPoint{X, Y});
  pressBounds_ = BoundsRect();
  sizing_ = true;
  ShowSizingCursor(sizingX_, sizingY_);
  DrawSizeFrame(BoundsRect());
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState Shift, Integer X,
                                         Integer Y) {
  TcxCustomPopupWindow::MouseMove(Shift, X, Y);
  TcxCustomEditPopupWindowViewInfo* viewInfo = ViewInfo();
  if (!sizing_) {
    const bool overClose = cxRectPtIn(viewInfo->CloseButtonRect, X, Y);
    if (!overClose && viewInfo->CloseButtonState != cxbsNormal)
      SetCloseButtonState(cxbsNormal);
    else if (overClose && viewInfo->CloseButtonState == cxbsNormal &&
             !Shift.Contains(ssLeft))
      SetCloseButtonState(cxbsHot);
    if (viewInfo->IsSizingPlace(X, Y))
      ShowSizingCursor(viewInfo->SizingDirectionX(),
                       viewInfo->SizingDirectionY());
    else if (sizingCursorShown_)
      ShowSizingCursor(0, 0);
    return;
  }
  const TPoint mouse = ClientToScreen(TPoint{X, Y});
  // The moving edges keep the distance to the mouse they had at the press.
  Integer width = pressBounds_.Width();
  Integer height = pressBounds_.Height();
  if (sizingX_ > 0)
    width = mouse.X + grabOffset_.X - pressBounds_.Left;
  else if (sizingX_ < 0)
    width = pressBounds_.Right - (mouse.X - grabOffset_.X);
  if (sizingY_ > 0)
    height = mouse.Y + grabOffset_.Y - pressBounds_.Top;
  else if (sizingY_ < 0)
    height = pressBounds_.Bottom - (mouse.Y - grabOffset_.Y);
  const TRect current = cxRectIsEmpty(sizeFrame_) ? BoundsRect() : sizeFrame_;
  if (width == current.Width() && height == current.Height()) return;
  {
    // CanResize measures the change against the popup's own size.
    Integer w = width;
    Integer h = height;
    if (!CanResize(w, h)) return;
    width = w;
    height = h;
  }
  TRect r = pressBounds_;
  if (sizingX_ < 0)
    r.Left = r.Right - width;
  else
    r.Right = r.Left + width;
  if (sizingY_ < 0)
    r.Top = r.Bottom - height;
  else
    r.Bottom = r.Top + height;
  // The popup never passes entirely over the editor's far edge.
  const TRect owner = GetOwnerScreenBounds();
  r.Left = std::min(r.Left, owner.Right - 1);
  r.Right = std::max(r.Right, owner.Left + 1);
  const TRect area = GetDesktopWorkArea(mouse);
  r.Left = std::max(r.Left, area.Left);
  r.Top = std::max(r.Top, area.Top);
  r.Right = std::min(r.Right, area.Right);
  r.Bottom = std::min(r.Bottom, area.Bottom);
  if (r == current) return;
  if (IcxEditPopupWindowOwner* edit = GetEdit()) edit->PopupWindowSizeChanged();
  DrawSizeFrame(r);
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift,
                                       Integer X, Integer Y) {
  TcxCustomPopupWindow::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TcxCustomEditPopupWindowViewInfo* viewInfo = ViewInfo();
  if (sizing_) {
    if (MouseCapture()) SetMouseCapture(false);
    sizing_ = false;
    DrawSizeFrame(TRect());
    const TRect r = lastSizeFrame_;
    if (!cxRectIsEmpty(r)) SetBounds(r.Left, r.Top, r.Width(), r.Height());
    RefreshPopupWindow();
    if (viewInfo->IsSizingPlace(X, Y))
      ShowSizingCursor(viewInfo->SizingDirectionX(),
                       viewInfo->SizingDirectionY());
    else
      ShowSizingCursor(0, 0);
    return;
  }
  if (viewInfo->CloseButtonState != cxbsPressed) return;
  TcxObjectLinkScope self(this);
  if (CloseQuery()) {
    if (IcxEditPopupWindowOwner* edit = GetEdit())
      edit->CloseUp(crUnknown);
    else
      CloseUp();
    if (!self.Alive() || !IsVisible()) return;
  }
  SetCloseButtonState(cxbsHot);
}

void TcxCustomEditPopupWindow::MouseLeave(TControl* AControl) {
  TcxCustomPopupWindow::MouseLeave(AControl);
  SetCloseButtonState(cxbsNormal);
  if (!sizing_) ShowSizingCursor(0, 0);
}
