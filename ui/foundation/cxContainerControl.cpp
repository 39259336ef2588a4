// The container's view info and the container control.
#include <algorithm>

#include "Handles.h"
#include "ScopeGuard.h"
#include "cxContainer.h"
#include "cxDWMApi.h"
#include "dxOffice11.h"
#include "dxUxTheme.h"

namespace {

TRect Shrunk(const TRect& R, const TRect& AExtent) {
  return TRect{R.Left + AExtent.Left, R.Top + AExtent.Top,
               R.Right - AExtent.Right, R.Bottom - AExtent.Bottom};
}

// Visual-styles colour properties of the theme.
constexpr int TMT_BORDERCOLOR_ = 3801;
constexpr int TMT_FILLCOLOR_ = 3802;

TColor ThemeColor(TdxThemedObjectType AType, int APart, int AState,
                  int AProperty, TColor ADefault) {
  HTHEME theme = OpenTheme(AType);
  COLORREF color = 0;
  if (theme &&
      SUCCEEDED(GetThemeColor(theme, APart, AState, AProperty, &color)))
    return static_cast<TColor>(color);
  return ADefault;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxContainerViewInfo
// ---------------------------------------------------------------------------

void TcxContainerViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxContainerViewInfo*>(Source))
    ClientRect = source->ClientRect;
}

TcxRegion* TcxContainerViewInfo::GetUpdateRegion(TcxContainerViewInfo*) {
  return new TcxRegion();
}

void TcxContainerViewInfo::Offset(Integer DX, Integer DY) {
  auto move = [&](TRect& R) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
  };
  move(BorderRect);
  move(Bounds);
  move(ClientRect);
}

void TcxContainerViewInfo::Paint(TcxCanvas* ACanvas) { InternalPaint(ACanvas); }

void TcxContainerViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  if (NativeStyle)
    DrawNativeBackground(ACanvas);
  else
    DrawClassicBackground(ACanvas);
}

void TcxContainerViewInfo::DrawClassicBackground(TcxCanvas* ACanvas) {
  TRect r = BorderRect;
  ExtendRectByBorders(r, BorderWidth, TcxBorders{bLeft, bTop});
  ExtendRectByBorders(r, BorderWidth, Edges * TcxBorders{bRight, bBottom});
  if (Shadow) DrawContainerShadow(ACanvas, r);
  // A side without an edge has its frame drawn outside the control.
  ExtendRectByBorders(r, BorderWidth, TcxBorders{bRight, bBottom} - Edges);
  DrawBorder(ACanvas, r);
  ACanvas->FillRect(BorderRect, BackgroundColor);
}

void TcxContainerViewInfo::DrawBorder(TcxCanvas* ACanvas, TRect R) {
  if (Painter) {
    ACanvas->FrameRect(R, BorderColor, BorderWidth);
    return;
  }
  switch (BorderStyle) {
    case cbsSingle:
    case cbsThick:
      ACanvas->FrameRect(R, BorderColor, BorderWidth);
      break;
    case cbsFlat:
      ACanvas->DrawEdge(R, true, true, Edges);
      InflateRect(R, -1, -1);
      ACanvas->FrameRect(R, clBtnFace);
      break;
    case cbs3D:
      ACanvas->DrawEdge(R, true, true, Edges);
      InflateRect(R, -1, -1);
      ACanvas->DrawComplexFrame(R, cl3DDkShadow, cl3DLight, Edges);
      break;
    default:
      break;
  }
}

void TcxContainerViewInfo::DrawNativeBackground(TcxCanvas* ACanvas) {
  if (BorderStyle == cbsNone) {
    ACanvas->FillRect(Bounds, BackgroundColor);
    return;
  }
  TRect content = Bounds;
  HTHEME theme = OpenTheme(ThemedObjectType);
  RECT bounds{Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Bottom};
  RECT inner = bounds;
  if (theme)
    GetThemeBackgroundContentRect(theme, ACanvas->Handle(), NativePart,
                                  NativeState, &bounds, &inner);
  content = TRect{inner.left, inner.top, inner.right, inner.bottom};
  ACanvas->FillRect(content, BackgroundColor);
  const TColor border =
      IsCompositionEnabled()
          ? ThemeColor(totListBox, 3, 1, TMT_BORDERCOLOR_, clWindowFrame)
          : ThemeColor(totComboBox, 1, 1, TMT_BORDERCOLOR_, clWindowFrame);
  cxFillRectRing(ACanvas, Bounds, content, border);
}

// ---------------------------------------------------------------------------
// TcxContainer: construction
// ---------------------------------------------------------------------------

TcxContainer::TcxContainer(TComponent* AOwner) : TcxControl(AOwner) {
  CreateContainerParts();
  controlStyle_.Include(csCaptureMouse);
  controlStyle_.Include(csSetCaption);
  SetTabStop(true);
  SetParentColor(DefaultParentColor() && !IsInplace() &&
                 !GetStyle()->IsValueAssigned(csvColor));
  if (!ParentColor()) SetColor(clWindow);
  ClearSavedChildControlRegions();
  isCreating_ = false;
}

void TcxContainer::CreateContainerParts() {
  // A second call replaces the parts: drop every link into the old ones
  // before they go.
  if (styles_) {
    styles_->SetOnChanged(nullptr);
    LookAndFeel()->SetMasterLookAndFeel(nullptr);
  }
  activeStyle_ = nullptr;
  viewInfo_ = GetViewInfoClass()();
  styles_ = GetStylesClass()(this, GetStyleClass());
  styles_->SetOnChanged(
      TNotifyEvent(this, &TcxContainer::ContainerStyleChanged));
  LookAndFeel()->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
}

void TcxContainer::BeforeDestruction() {
  EndMouseTracking();
  isDestroyingFlag_ = true;
  TcxControl::BeforeDestruction();
}

TcxContainer::~TcxContainer() {
  ::EndMouseTracking(this);
  isDestroyingFlag_ = true;
  viewInfo_.reset();
  styles_->SetOnChanged(nullptr);
  LookAndFeel()->SetMasterLookAndFeel(nullptr);
  styles_.reset();
}

Integer TcxContainer::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxMouseTrackingCaller::IID) {
    *obj = static_cast<IcxMouseTrackingCaller*>(this);
    return S_OK_;
  }
  if (obj && iid == IcxCompoundControl::IID) {
    *obj = static_cast<IcxCompoundControl*>(this);
    return S_OK_;
  }
  return TcxControl::QueryInterface(iid, obj);
}

TWinControl* TcxContainer::GetActiveControl() {
  return innerControl_ ? innerControl_ : this;
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  ContainerStyleChanged(GetStyle());
}

bool TcxContainer::GetIsDestroying() {
  return ComponentState().Contains(csDestroying) || isDestroyingFlag_;
}

TcxContainerStyleClass TcxContainer::GetStyleClass() {
  return &cxNewContainerStyle<TcxContainerStyle>;
}

TcxContainerStylesClass TcxContainer::GetStylesClass() {
  return [](TPersistent* AOwner, TcxContainerStyleClass AStyleClass) {
    return TObjectPtr<TcxContainerStyles>(
        new TcxContainerStyles(AOwner, AStyleClass));
  };
}

TcxContainerViewInfoClass TcxContainer::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxContainerViewInfo>;
}

bool TcxContainer::IsStylePropertyPublished(const String& APropertyName,
                                            bool AExtended) {
  if (AExtended && !GetStyle()->IsExtendedStylePropertyPublished(APropertyName))
    return false;
  TcxContainerStyleValue value;
  if (!GetStyle()->GetStyleValue(APropertyName, value)) return true;
  return !InternalGetNotPublishedStyleValues().Contains(value);
}

void TcxContainer::LockAlignControls(bool ALock) {
  if (ALock)
    ++alignControlsLockCount_;
  else if (alignControlsLockCount_ > 0)
    --alignControlsLockCount_;
}

void TcxContainer::LockPopupMenu(bool ALock) {
  if (ALock)
    ++popupMenuLockCount_;
  else if (popupMenuLockCount_ > 0)
    --popupMenuLockCount_;
}

// ---------------------------------------------------------------------------
// Styles and state
// ---------------------------------------------------------------------------

TcxContainerStyle* TcxContainer::GetActiveStyle() {
  if (!activeStyle_ || activeStyleState_ != viewInfo_->ContainerState) {
    activeStyleState_ = viewInfo_->ContainerState;
    activeStyle_ = InternalGetActiveStyle();
  }
  return activeStyle_;
}

TcxContainerStyle* TcxContainer::InternalGetActiveStyle() {
  const TcxContainerState state = viewInfo_->ContainerState;
  if (state.Contains(csDisabled)) return GetStyleDisabled();
  if (state.Contains(csActive)) return GetStyleFocused();
  if (state.Contains(csHotTrack) && GetStyle()->HotTrack())
    return GetStyleHot();
  return GetStyle();
}

void TcxContainer::ContainerStyleChanged(TObject*) {
  if (isCreating_ || IsLoading()) return;
  ShortRefreshContainer(false);
  TcxContainerStyle* normal = GetStyle();
  TRestoreOnExit internal(internalSetting_, true);
  if (!ParentColor() || normal->IsValueAssigned(csvColor))
    SetColor(normal->GetStyleColor());
  if (normal->Font()) TControl::SetFont(normal->Font());
  if (normal->IsValueAssigned(csvFont)) SetParentFont(false);
}

void TcxContainer::ColorChanged() {
  if (internalSetting_) {
    TcxControl::ColorChanged();
    ShortRefreshContainer(false);
    return;
  }
  GetStyle()->SetColor(Color());
}

void TcxContainer::CursorChanged() {
  TcxControl::CursorChanged();
  if (innerControl_) innerControl_->SetCursor(Cursor());
}

void TcxContainer::CMFontChanged(TMessage& Message) {
  if (internalSetting_) {
    TcxControl::Dispatch(Message);
    SetSize();
    SetScrollBarsParameters(false);
    ShortRefreshContainer(false);
    return;
  }
  TcxContainerStyle* normal = GetStyle();
  if (normal->Font()) {
    // The control's own font reaches the style without marking it
    // assigned, unless it was assigned already.
    const bool wasAssigned = normal->OwnAssignedValuesContain(csvFont);
    normal->LockFontAssignedValue(!wasAssigned);
    TScopeGuard unlock([&] {
      if (!wasAssigned) normal->LockFontAssignedValue(false);
    });
    normal->Font()->Assign(Font());
  }
  TcxControl::Dispatch(Message);
}

void TcxContainer::CMParentColorChanged(TMessage& Message) {
  TcxContainerStyle* normal = GetStyle();
  const bool wasAssigned = normal->OwnAssignedValuesContain(csvColor);
  TcxControl::Dispatch(Message);
  if (!wasAssigned || ParentColor()) normal->ExcludeAssignedValue(csvColor);
  if (normal->GetColor() != Color()) ContainerStyleChanged(normal);
  if (IsTransparentBackground() && !ParentColor()) Invalidate();
}

void TcxContainer::CMParentFontChanged(TMessage& Message) {
  TcxContainerStyle* normal = GetStyle();
  const bool wasAssigned = normal->OwnAssignedValuesContain(csvFont);
  TcxControl::Dispatch(Message);
  if (!ParentFont()) normal->UpdateFont();
  if (!wasAssigned || ParentFont()) normal->ExcludeAssignedValue(csvFont);
}

void TcxContainer::ChangeScale(Integer M, Integer D) {
  {
    TRestoreOnExit internal(internalSetting_,
                            internalSetting_ || !ParentFont());
    TcxControl::ChangeScale(M, D);
  }
  TcxContainerStyle* normal = GetStyle();
  if (M == D || !normal->IsValueAssigned(csvFont)) return;
  if (normal->OwnAssignedValuesContain(csvFont)) {
    normal->Font()->SetSize(::MulDiv(normal->Font()->Size(), M, D));
  } else if (IsLoading()) {
    if (TcxStyleController* c = normal->GetActiveStyleController())
      c->ChangeFontScale(M, D);
  }
}

// ---------------------------------------------------------------------------
// View info
// ---------------------------------------------------------------------------

bool TcxContainer::IsNativeStyle() {
  return AreVisualStylesMustBeUsed(GetStyle()->GetLookAndFeel()->NativeStyle(),
                                   GetBackgroundThemedObjectType());
}

bool TcxContainer::HasShadow() {
  return GetActiveStyle()->Shadow() && !IsNativeStyle();
}

bool TcxContainer::CanHaveTransparentBorder() {
  return !(IsNativeStyle() && GetStyle()->BorderStyle() != cbsNone);
}

Integer TcxContainer::GetBackgroundNativeState() {
  const TcxContainerState state = viewInfo_->ContainerState;
  if (state.Contains(csDisabled)) return 4;
  if (IsReadOnly()) return 6;
  if (state.Contains(csActive)) return 5;
  if (state.Contains(csHotTrack)) return 2;
  return 1;
}

TcxContainerState TcxContainer::CalculateContainerState(const TPoint& P,
                                                        bool ANewHot) {
  if (!Enabled()) return {csDisabled};
  if (IsDesigning()) return {csNormal};
  TcxContainerState state{Focused() ? csActive : csNormal};
  if (ANewHot) {
    const TRect visible = GetVisibleBounds();
    if (P.X >= visible.Left && P.X < visible.Right && P.Y >= visible.Top &&
        P.Y < visible.Bottom)
      state.Include(csHotTrack);
  }
  return state;
}

TcxContainerBorderStyle TcxContainer::CalculateBorderStyle() {
  if (viewInfo_->NativeStyle) return GetStyle()->BorderStyle();
  const TcxContainerBorderStyle style = GetActiveStyle()->BorderStyle();
  return (style == cbsUltraFlat || style == cbsOffice11) ? cbsSingle : style;
}

void TcxContainer::CalculateColors() {
  TcxContainerViewInfo* vi = viewInfo_.get();
  TcxContainerStyle* active = GetActiveStyle();
  const TcxContainerState state = vi->ContainerState;
  const TcxContainerBorderStyle activeBorder = active->BorderStyle();
  const bool selected = state.Contains(csActive) ||
                        (state.Contains(csHotTrack) && active->HotTrack()) ||
                        (IsDesigning() && Enabled());
  if (vi->Painter)
    vi->BorderColor = vi->Painter->GetContainerBorderColor(selected);
  else if (activeBorder != cbsUltraFlat && activeBorder != cbsOffice11)
    vi->BorderColor = active->BorderColor();
  else if (!selected)
    vi->BorderColor = clBtnShadow;
  else
    vi->BorderColor = activeBorder == cbsOffice11
                          ? dxOffice11SelectedBorderColor
                          : clHighlight;
  if (!vi->NativeStyle || Enabled())
    vi->SetBackgroundColor(active->GetColor());
  else if (active->IsValueAssigned(csvColor))
    vi->SetBackgroundColor(active->GetColor());
  else
    vi->SetBackgroundColor(ThemeColor(vi->ThemedObjectType, vi->NativePart,
                                      vi->NativeState, TMT_FILLCOLOR_,
                                      clBtnFace));
}

void TcxContainer::CalculateViewInfo(const TPoint& P, bool ANewHot) {
  TcxContainerViewInfo* vi = viewInfo_.get();
  vi->NativeStyle = IsNativeStyle();
  vi->Painter = GetStyle()->GetLookAndFeel()->SkinPainter();
  const TcxContainerBorderStyle before = vi->BorderStyle;
  auto computeState = [&] {
    vi->ContainerState = CalculateContainerState(P, ANewHot);
    TcxContainerStyle* active = GetActiveStyle();
    if (!active->HotTrack())
      vi->HotState = chsNoHotTrack;
    else if (vi->ContainerState.Contains(csActive) ||
             vi->ContainerState.Contains(csHotTrack))
      vi->HotState = chsSelected;
    else
      vi->HotState = chsNormal;
    vi->BorderStyle = CalculateBorderStyle();
  };
  computeState();
  // The visible bounds, and so the hot test, depend on the border.
  if (!vi->NativeStyle && GetContainerBorderWidth(vi->BorderStyle) <
                              GetContainerBorderWidth(before))
    computeState();
  if (vi->NativeStyle) {
    vi->ThemedObjectType = GetBackgroundThemedObjectType();
    vi->NativePart = GetBackgroundNativePart();
    vi->NativeState = GetBackgroundNativeState();
  }
  vi->Bounds = TRect{0, 0, Width(), Height()};
  vi->BorderRect = Shrunk(vi->Bounds, GetBorderExtent());
  vi->ClientRect = vi->BorderRect;
  vi->BorderWidth = vi->Painter ? 1 : GetContainerBorderWidth(vi->BorderStyle);
  vi->Edges = GetActiveStyle()->Edges();
  vi->Shadow = HasShadow();
  CalculateColors();
}

TRect TcxContainer::GetBorderExtent() {
  TcxContainerStyle* active = GetActiveStyle();
  TRect result;
  if (active->TransparentBorder() && !viewInfo_->Painter) {
    result = cxContainerDefaultBorderExtent;
  } else if (!active->HasBorder() ||
             (viewInfo_->NativeStyle && GetStyle()->BorderStyle() == cbsNone)) {
    result = TRect();
  } else if (viewInfo_->NativeStyle) {
    result = cxContainerDefaultBorderExtent;
  } else {
    result = GetContainerEdgesExtent(
        GetContainerBorderWidth(viewInfo_->BorderStyle), active->Edges());
  }
  if (HasShadow()) {
    result.Right += cxContainerShadowWidth;
    result.Bottom += cxContainerShadowWidth;
  }
  return result;
}

TRect TcxContainer::GetVisibleBounds() {
  TRect r{0, 0, Width(), Height()};
  if (IsInplace()) return r;
  if (HasShadow()) {
    r.Right -= cxContainerShadowWidth;
    r.Bottom -= cxContainerShadowWidth;
  }
  TcxContainerStyle* normal = GetStyle();
  const bool transparent = GetActiveStyle()->TransparentBorder();
  if (normal->HasBorder()) {
    if (viewInfo_->NativeStyle) {
      if (transparent && normal->BorderStyle() == cbsNone)
        InflateRect(r, -2, -2);
    } else if (transparent) {
      const Integer w = viewInfo_->BorderWidth;
      InflateRect(r, w - 2, w - 2);
      InflateRectByBorders(r, w, viewInfo_->Edges);
    }
  } else if (transparent) {
    InflateRect(r, -2, -2);
  }
  if (r.Top > r.Bottom) r = TRect{r.Left, 0, r.Right, 0};
  return r;
}

TRect TcxContainer::GetShadowBounds() {
  TRect r = Shrunk(viewInfo_->Bounds, GetBorderExtent());
  ExtendRectByBorders(r, viewInfo_->BorderWidth, GetActiveStyle()->Edges());
  return r;
}

void TcxContainer::SetShadowRegion() {
  if (!HandleAllocated()) return;
  SetWindowShadowRegion(Handle(), GetShadowBounds(),
                        !CanHaveTransparentBorder(), HasShadow());
}

void TcxContainer::SetVisibleBoundsClipRect() {
  if (!CanHaveTransparentBorder()) return;
  const TRect r = GetShadowBounds();
  TRegionHandle region(::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
  if (HasShadow()) {
    TRegionHandle shadow(::CreateRectRgn(
        r.Left + cxContainerShadowWidth, r.Top + cxContainerShadowWidth,
        r.Right + cxContainerShadowWidth, r.Bottom + cxContainerShadowWidth));
    ::CombineRgn(region.get(), region.get(), shadow.get(), RGN_OR);
  }
  Canvas()->SetClipRegion(new TcxRegion(region.release()), roIntersect);
}

// ---------------------------------------------------------------------------
// Refresh
// ---------------------------------------------------------------------------

void TcxContainer::ShortRefreshContainer(bool AIsMouseEvent) {
  if (!HandleAllocated() || GetIsDestroying() || isRefreshing_) return;
  TRestoreOnExit refreshing(isRefreshing_, true);
  POINT cursor{};
  ::GetCursorPos(&cursor);
  HWND under = ::WindowFromPoint(cursor);
  TPoint p{-1, -1};
  if (under == Handle() || ::IsChild(Handle(), under)) {
    ::ScreenToClient(Handle(), &cursor);
    p = TPoint{cursor.x, cursor.y};
  }
  RefreshContainer(p, cxmbNone, InternalGetShiftState(), AIsMouseEvent);
}

bool TcxContainer::RefreshContainer(const TPoint& P, TcxMouseButton,
                                    TShiftState Shift, bool) {
  if (refreshLocked_ || GetIsDestroying()) return true;
  isViewInfoCalculated_ = true;
  CalculateViewInfo(P, Shift.Empty() && GetActiveStyle()->HotTrack());
  SetSize();
  AdjustInnerControl();
  SetShadowRegion();
  if (HandleAllocated()) {
    const TRect whole{0, 0, Width(), Height()};
    InternalInvalidate(Handle(), whole,
                       innerControl_ ? viewInfo_->BorderRect : TRect());
  }
  if (viewInfo_->ContainerState.Contains(csHotTrack))
    BeginMouseTracking(this, GetVisibleBounds(), this);
  return true;
}

void TcxContainer::SetSize() {
  if (!innerControl_) return;
  const TRect& client = viewInfo_->ClientRect;
  if (innerControl_->BoundsRect() == client) return;
  TRestoreOnExit locked(refreshLocked_, true);
  innerControl_->SetBoundsRect(client);
}

void TcxContainer::AdjustInnerControl() {
  if (!innerControl_) return;
  innerControl_->SetColor(viewInfo_->BackgroundColor);
  innerControl_->SetFont(GetActiveStyle()->GetVisibleFont());
}

void TcxContainer::ClearSavedChildControlRegions() {
  savedInnerControlBounds_ = TcxContainerInnerControlBounds();
}

TcxContainerInnerControlBounds TcxContainer::GetInnerControlBounds(
    const TRect& AInnerControlsRegion, TControl* AInnerControl) {
  TcxContainerInnerControlBounds result;
  if (!AInnerControl) return result;
  const TRect own{0, 0, AInnerControl->Width(), AInnerControl->Height()};
  const TRect bounds = AInnerControl->BoundsRect();
  TRect r = own;
  if (bounds.Left < AInnerControlsRegion.Left)
    r.Left += AInnerControlsRegion.Left - bounds.Left;
  if (bounds.Top < AInnerControlsRegion.Top)
    r.Top += AInnerControlsRegion.Top - bounds.Top;
  if (bounds.Right > AInnerControlsRegion.Right)
    r.Right -= bounds.Right - AInnerControlsRegion.Right;
  if (bounds.Bottom > AInnerControlsRegion.Bottom)
    r.Bottom -= bounds.Bottom - AInnerControlsRegion.Bottom;
  result.Rect = r;
  result.IsEmpty = r == own;
  return result;
}

bool TcxContainer::IsInnerControlBoundsChanged(
    TControl* AControl, const TcxContainerInnerControlBounds& Bounds) {
  if (AControl != innerControl_) return true;
  if (savedInnerControlBounds_.IsEmpty && Bounds.IsEmpty) return false;
  if (savedInnerControlBounds_.IsEmpty != Bounds.IsEmpty) return true;
  return !(savedInnerControlBounds_.Rect == Bounds.Rect);
}

void TcxContainer::AlignControls(TControl* AControl, TRect& Rect) {
  if (IsContainerClass()) return TWinControl::AlignControls(AControl, Rect);
  if (IsAlignControlsLocked() || (AControl && IsInternalControl(AControl)))
    return;
  if (!AControl) return TcxControl::AlignControls(AControl, Rect);
  auto* control = dynamic_cast<TWinControl*>(AControl);
  if (isCreating_ || !control || !control->HandleAllocated()) return;
  const TcxContainerInnerControlBounds bounds =
      GetInnerControlBounds(Rect, AControl);
  if (!IsInnerControlBoundsChanged(AControl, bounds)) return;
  SetWindowRegion(control, bounds);
  if (AControl == innerControl_) savedInnerControlBounds_ = bounds;
}

void TcxContainer::AdjustClientRect(TRect& Rect) {
  Rect = viewInfo_->ClientRect;
}

TRect TcxContainer::GetClientBounds() { return viewInfo_->ClientRect; }

TcxLookAndFeel* TcxContainer::GetLookAndFeelValue() {
  return GetStyle()->GetLookAndFeel();
}

bool TcxContainer::NeedsScrollBars() { return false; }

void TcxContainer::Invalidate() {
  TcxControl::Invalidate();
  if (innerControl_) innerControl_->Invalidate();
}

void TcxContainer::Update() {
  TcxControl::Update();
  if (innerControl_) innerControl_->Update();
}

void TcxContainer::Resize() {
  TcxControl::Resize();
  if (isCreating_) return;
  isRefreshing_ = false;
  ShortRefreshContainer(false);
}

void TcxContainer::FocusChanged() {
  TcxControl::FocusChanged();
  ShortRefreshContainer(false);
}

void TcxContainer::EnabledChanged() {
  for (Integer i = 0; i < ControlCount(); ++i)
    if (auto* bar = dynamic_cast<TcxScrollBar*>(Controls(i)))
      bar->SetEnabled(Enabled());
  ShortRefreshContainer(false);
}

void TcxContainer::DragCanceled() {
  TcxControl::DragCanceled();
  if (innerControl_) innerControl_->DragCanceled();
}

TDragImageList* TcxContainer::GetDragImages() {
  return innerControl_ ? innerControl_->GetDragImages()
                       : TcxControl::GetDragImages();
}

void TcxContainer::SetDragMode(TDragMode Value) {
  TcxControl::SetDragMode(Value);
  if (innerControl_) innerControl_->SetDragMode(Value);
}

void TcxContainer::SetDragKind(TDragKind Value) {
  TControl::SetDragKind(Value);
  if (innerControl_) innerControl_->SetDragKind(Value);
}

// ---------------------------------------------------------------------------
// Painting and windows
// ---------------------------------------------------------------------------

void TcxContainer::Paint() {
  if (!Canvas()->RectVisible(TRect{0, 0, Width(), Height()})) return;
  if (ControlState().Contains(csPaintCopy)) SetVisibleBoundsClipRect();
  if (!isViewInfoCalculated_) ShortRefreshContainer(false);
  viewInfo_->Paint(Canvas());
}

void TcxContainer::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
}

void TcxContainer::CreateWindowHandle(const TCreateParams& Params) {
  TCreateParams params = Params;
  params.Caption = "";
  TcxControl::CreateWindowHandle(params);
  if (!HandleAllocated()) return;
  // The window exists now, so Text() would read its empty title: the
  // caption set before it was made is the one in the parameters.
  const String caption = Params.Caption;
  ::DefWindowProcA(Handle(), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(caption.c_str()));
}

void TcxContainer::CreateHandle() {
  TcxControl::CreateHandle();
  if (HandleAllocated())
    ::PostMessageA(Handle(), CM_SHORTREFRESHCONTAINER, 0, 0);
}

void TcxContainer::UpdateScrollBarsParameters() {
  if (GetIsDestroying()) return;
  if (HandleAllocated() && innerControl_)
    ::PostMessageA(Handle(), CM_UPDATESCROLLBARS, 0, 0);
}

// ---------------------------------------------------------------------------
// Focus and keys
// ---------------------------------------------------------------------------

bool TcxContainer::Focused() {
  if (IsDesigning() || ControlState().Contains(csDestroyingHandle))
    return false;
  if (TWinControl::Focused()) return true;
  return innerControl_ && innerControl_->HandleAllocated() &&
         innerControl_->Focused();
}

bool TcxContainer::GetIsFocused() { return Focused(); }

bool TcxContainer::IsContainerFocused() { return Focused(); }

void TcxContainer::SafeSelectionFocusInnerControl() {
  if (innerControl_) innerControl_->SetFocus();
}

void TcxContainer::SetFocus() {
  if (IsDesigning() || IsContainerFocused()) return;
  TcxControl::SetFocus();
  if (innerControl_ && innerControl_->HandleAllocated() && HandleAllocated() &&
      ::GetFocus() == Handle()) {
    SafeSelectionFocusInnerControl();
    if (TCustomForm* form = GetParentForm(this))
      form->FocusControl(innerControl_);
  }
}

bool TcxContainer::MayFocus() {
  return !(innerControl_ && innerControl_->HandleAllocated() &&
           innerControl_->Focused());
}

bool TcxContainer::CanFocusOnClick() {
  return TcxControl::CanFocusOnClick() && MayFocus() && !innerControlMouseDown_;
}

void TcxContainer::WMSetFocus(TMessage& Message) {
  if (!innerControl_ || !innerControl_->HandleAllocated() ||
      GetIsDestroying()) {
    TcxControl::Dispatch(Message);
    return;
  }
  if (reinterpret_cast<HWND>(Message.WParam) == innerControl_->Handle()) {
    Message.Result = 0;
    return;
  }
  TcxControl::Dispatch(Message);
  if (innerControl_->CanFocus()) innerControl_->SetFocus();
}

void TcxContainer::WMKillFocus(TMessage& Message) {
  if (innerControl_ && innerControl_->HandleAllocated() &&
      reinterpret_cast<HWND>(Message.WParam) == innerControl_->Handle()) {
    Message.Result = 0;
    return;
  }
  TcxControl::Dispatch(Message);
}

void TcxContainer::WMWindowPosChanging(TMessage& Message) {
  if (GetIsDestroying()) {
    Message.Result = 0;
    return;
  }
  TcxControl::Dispatch(Message);
  if (HandleAllocated() && ::GetFocus() == Handle() && innerControl_ &&
      innerControl_->CanFocus())
    if (TCustomForm* form = GetParentForm(this))
      form->FocusControl(innerControl_);
}

void TcxContainer::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  if (Key != VK_TAB || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl)) return;
  if (!Focused() || !CanContainerHandleTabs()) return;
  Key = 0;
  if (TCustomForm* form = GetParentForm(this)) {
    form->SelectNext(this, !Shift.Contains(ssShift), true);
    if (HandleAllocated() && ::GetFocus() == Handle() && innerControl_ &&
        innerControl_->CanFocus())
      innerControl_->SetFocus();
  }
}

bool TcxContainer::InnerControlMenuHandler(TMessage& Message) {
  if ((Message.Msg == CN_KEYDOWN || Message.Msg == CN_SYSKEYDOWN) &&
      IsMenuKey(Message)) {
    Message.Result = 1;
    return true;
  }
  return false;
}

bool TcxContainer::InnerControlDefaultHandler(TMessage& Message) {
  if (Message.Msg != WM_CONTEXTMENU) return false;
  Message.Result = Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
  return Message.Result != 0;
}

void TcxContainer::InnerControlWndProc(TMessage& Message) {
  if (innerControl_) innerControl_->WndProc(Message);
}

// ---------------------------------------------------------------------------
// Mouse and context menu
// ---------------------------------------------------------------------------

void TcxContainer::MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                             Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  RefreshContainer(TPoint{X, Y}, ButtonTocxButton(Button), Shift, true);
}

void TcxContainer::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  RefreshContainer(TPoint{X, Y}, cxmbNone, Shift, true);
  if (viewInfo_->ContainerState.Contains(csHotTrack))
    BeginMouseTracking(this, GetVisibleBounds(), this);
}

void TcxContainer::MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                           Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  RefreshContainer(TPoint{X, Y}, ButtonTocxButton(Button), Shift, true);
}

void TcxContainer::MouseEnter(TControl* AControl) {
  TcxControl::MouseEnter(AControl);
  ShortRefreshContainer(true);
  BeginMouseTracking(this, GetVisibleBounds(), this);
}

void TcxContainer::MouseLeave(TControl* AControl) {
  TcxControl::MouseLeave(AControl);
  ShortRefreshContainer(true);
  ::EndMouseTracking(this);
}

void TcxContainer::EndMouseTracking() {
  MouseLeave(nullptr);
  ::EndMouseTracking(this);
}

void TcxContainer::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (IsPopupMenuLocked() || (!(MousePos.X == -1 && MousePos.Y == -1) &&
                              !CanShowPopupMenu(MousePos))) {
    Handled = true;
    return;
  }
  TcxControl::DoContextPopup(MousePos, Handled);
}

void _TcxContainerAccess::BeginAutoDrag(TcxContainer* AInstance) {
  AInstance->BeginDrag(false);
}

// ---------------------------------------------------------------------------
// Scroll bars of the inner control
// ---------------------------------------------------------------------------

bool TcxContainer::GetScrollBarInfo(SCROLLBARINFO& AScrollBarInfo,
                                    TScrollBarKind AKind) {
  if (GetIsDestroying() || !Parent() || !HandleAllocated() || !innerControl_ ||
      !innerControl_->HandleAllocated())
    return false;
  return cxGetScrollBarInfo(
      innerControl_->Handle(),
      AKind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, AScrollBarInfo);
}

bool TcxContainer::IsAdjustingScrollBarPositionNeeded(
    const SCROLLBARINFO& AScrollBarInfo) {
  return (AScrollBarInfo.rgstate[0] &
          (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0;
}

bool TcxContainer::GetScrollBarEnabled(TcxScrollBar* AScrollBar,
                                       const SCROLLBARINFO& AScrollBarInfo) {
  return AScrollBar->Parent() && AScrollBar->Parent()->Enabled() &&
         (AScrollBarInfo.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

TRect TcxContainer::GetScrollBarBounds(const TRect& AScreenRect) {
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  TRect r{AScreenRect.Left - origin.x, AScreenRect.Top - origin.y,
          AScreenRect.Right - origin.x, AScreenRect.Bottom - origin.y};
  if (r.Left < 0 || r.Top < 0 || r.Width() > Width() || r.Height() > Height())
    return TRect();
  return r;
}

void TcxContainer::SetScrollBarVisible(TcxScrollBar* AScrollBar,
                                       bool AVisible) {
  AScrollBar->SetVisible(AVisible);
  if (!AVisible) return;
  AScrollBar->SetCtl3D(false);
  AScrollBar->BringToFront();
}

void TcxContainer::AdjustScrollBarPosition(TcxScrollBar* AScrollBar) {
  SCROLLBARINFO info{};
  if (!GetScrollBarInfo(info, AScrollBar->Kind()) ||
      !IsAdjustingScrollBarPositionNeeded(info)) {
    SetScrollBarVisible(AScrollBar, false);
    return;
  }
  AScrollBar->SetEnabled(GetScrollBarEnabled(AScrollBar, info));
  const TRect bounds = GetScrollBarBounds(
      TRect{info.rcScrollBar.left, info.rcScrollBar.top, info.rcScrollBar.right,
            info.rcScrollBar.bottom});
  AScrollBar->SetBoundsRect(bounds);
  SetScrollBarVisible(AScrollBar, bounds.Width() > 0 && bounds.Height() > 0);
}

void TcxContainer::SetScrollBarsParameters(bool AIsScrolling) {
  if (!innerControl_ || !NeedsScrollBars() || GetIsDestroying() ||
      !UsecxScrollBars())
    return;
  TRestoreOnExit calculating(scrollBarsCalculating_, true);
  for (TcxScrollBar* bar : {static_cast<TcxScrollBar*>(HScrollBar()),
                            static_cast<TcxScrollBar*>(VScrollBar())}) {
    if (!bar) continue;
    if (!AIsScrolling) AdjustScrollBarPosition(bar);
    if (!bar->Visible() || !innerControl_->HandleAllocated()) continue;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    ::GetScrollInfo(innerControl_->Handle(),
                    bar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &si);
    const Integer page =
        std::min<Integer>(static_cast<Integer>(si.nPage), si.nMax);
    bar->SetScrollParams(si.nMin, std::max(si.nMax, si.nMin), si.nPos,
                         std::max(page, 0), true);
  }
  auto* inner = dynamic_cast<IcxContainerInnerControl*>(innerControl_);
  const bool gripVisible = HScrollBar() && VScrollBar() &&
                           HScrollBar()->Visible() && VScrollBar()->Visible() &&
                           innerControl_->HandleAllocated() && inner;
  const TRect gripBounds = gripVisible ? ::GetSizeGripRect(inner) : TRect();
  if (gripVisible && (!sizeGripVisible_ || !(gripBounds == sizeGripBounds_))) {
    TRegionHandle region(::CreateRectRgn(gripBounds.Left, gripBounds.Top,
                                         gripBounds.Right, gripBounds.Bottom));
    ::SendMessageA(innerControl_->Handle(), WM_NCPAINT,
                   reinterpret_cast<WPARAM>(region.get()), 0);
  }
  sizeGripVisible_ = gripVisible;
  sizeGripBounds_ = gripBounds;
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

void TcxContainer::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (!Visible()) return;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (innerControl_) {
        Message.Result = ::SendMessageA(innerControl_->Handle(), Message.Msg,
                                        Message.WParam, Message.LParam);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (DragMode() == dmAutomatic && !IsDesigning()) {
        BeginDrag(false);
        return;
      }
      break;
    default:
      break;
  }
  TcxControl::WndProc(Message);
}

void TcxContainer::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == Handle() &&
      LOWORD(Message.LParam) == HTCLIENT) {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    const TRect& client = viewInfo_->ClientRect;
    if (!(p.x >= client.Left && p.x < client.Right && p.y >= client.Top &&
          p.y < client.Bottom)) {
      ::SetCursor(SystemCursor(IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  TcxControl::Dispatch(Message);
}

void TcxContainer::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_SHORTREFRESHCONTAINER:
      ShortRefreshContainer(false);
      return;
    case CM_UPDATESCROLLBARS:
      SetScrollBarsParameters(false);
      return;
    case WM_NCPAINT:
      Message.Result = 0;
      return;
    case WM_SETCURSOR:
      WMSetCursor(Message);
      return;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      return;
    case WM_WINDOWPOSCHANGING:
      WMWindowPosChanging(Message);
      return;
    case WM_WINDOWPOSCHANGED:
      TcxControl::Dispatch(Message);
      if (IsTransparentBackground()) ShortRefreshContainer(false);
      return;
    case CM_ENABLEDCHANGED:
      TcxControl::Dispatch(Message);
      EnabledChanged();
      return;
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
      TcxControl::Dispatch(Message);
      ShortRefreshContainer(false);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(Message);
      return;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(Message);
      return;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(Message);
      return;
    default:
      break;
  }
  TcxControl::Dispatch(Message);
}
