#include "cxEditViewInfo.h"

#include <algorithm>

#include "Handles.h"
#include "WinApi.h"
#include "cxDWMApi.h"
#include "cxEditPaintUtils.h"
#include "cxEditUtils.h"
#include "cxGeometry.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

bool IsEmptyRect(const TRect& R) { return cxRectIsEmpty(R); }

TRect Shrunk(const TRect& R, Integer D) {
  return TRect{R.Left + D, R.Top + D, R.Right - D, R.Bottom - D};
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxEditButtonViewInfo
// ---------------------------------------------------------------------------

void TcxEditButtonViewInfo::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButtonViewInfo*>(Source);
  if (!source) return TPersistent::Assign(Source);
  Bounds = source->Bounds;
  Data.NativePart = source->Data.NativePart;
  NativeState = source->NativeState;
  Data.Style = source->Data.Style;
  Data.State = source->Data.State;
}

bool TcxEditButtonViewInfo::IsChanged(
    TcxEditButtonViewInfo* APrevViewInfo) const {
  return !APrevViewInfo || Data.Style != APrevViewInfo->Data.Style ||
         Data.State != APrevViewInfo->Data.State ||
         Data.NativePart != APrevViewInfo->Data.NativePart ||
         NativeState != APrevViewInfo->NativeState;
}

TRect TcxEditButtonViewInfo::GetUpdateRect(
    TcxEditButtonViewInfo* APrevViewInfo) {
  return IsChanged(APrevViewInfo) ? Bounds : TRect{};
}

bool TcxEditButtonViewInfo::Repaint(TWinControl* AControl,
                                    TcxEditButtonViewInfo* APrevViewInfo,
                                    const TPoint& AOffset) {
  if (!IsChanged(APrevViewInfo) || !AControl->HandleAllocated()) return false;
  const TRect r = cxRectOffset(Bounds, AOffset);
  const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  InvalidateRect(AControl->Handle(), &rect, HasBackground);
  return true;
}

// ---------------------------------------------------------------------------
// Background
// ---------------------------------------------------------------------------

namespace {

void DrawUsualEditBackground(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V,
                             bool AFillContent, HBRUSH ABrush) {
  const Integer w = V->Painter
                        ? 1
                        : GetContainerBorderWidth(
                              TcxContainerBorderStyle(V->EditBorderStyle));
  TRect r = V->BorderRect;
  ExtendRectByBorders(r, w, TcxBorders{bLeft, bTop});
  ExtendRectByBorders(r, w, V->Edges * TcxBorders{bRight, bBottom});
  if (V->Shadow) DrawContainerShadow(ACanvas, r);
  ExtendRectByBorders(r, w, TcxBorders{bRight, bBottom} - V->Edges);
  if (V->EditBorderStyle != ebsNone) {
    if (V->Painter || V->EditBorderStyle == ebsSingle ||
        V->EditBorderStyle == ebsThick) {
      ACanvas->FrameRect(r, V->BorderColor, w);
    } else if (V->EditBorderStyle == ebsFlat) {
      ACanvas->DrawEdge(r, true, true, V->Edges);
      ACanvas->FrameRect(Shrunk(r, 1), clBtnFace);
    } else if (V->EditBorderStyle == ebs3D) {
      ACanvas->DrawEdge(r, true, true, V->Edges);
      ACanvas->DrawComplexFrame(Shrunk(r, 1), cl3DDkShadow, cl3DLight,
                                V->Edges);
    }
  }
  const HDC dc = ACanvas->Handle();
  if (V->IsInplace) {
    if (V->Transparent) return;
    if (AFillContent) {
      cxEditFillRect(dc, V->Bounds, ABrush);
    } else if (V->HasContentOffsets) {
      const TRect& b = V->Bounds;
      const TRect& br = V->BorderRect;
      cxEditFillRect(dc, TRect{b.Left, b.Top, br.Left, b.Bottom}, ABrush);
      cxEditFillRect(dc, TRect{br.Left, b.Top, br.Right, br.Top}, ABrush);
      cxEditFillRect(dc, TRect{br.Left, br.Bottom, br.Right, b.Bottom}, ABrush);
      cxEditFillRect(dc, TRect{br.Right, b.Top, b.Right, b.Bottom}, ABrush);
    }
    return;
  }
  if (AFillContent && !V->Transparent)
    cxEditFillRect(dc, V->BorderRect, ABrush);
}

void DrawNativeEditBackground(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V,
                              bool AFillContent,
                              TcxEditBackgroundPaintingStyle AStyle,
                              HBRUSH ABrush) {
  const HDC dc = ACanvas->Handle();
  const HTHEME theme = OpenTheme(totEdit);
  if (V->IsInplace || V->EditBorderStyle == ebsNone || !theme) {
    if (!V->Transparent) cxEditFillRect(dc, V->Bounds, ABrush);
    return;
  }
  // Under desktop composition the edit's frame is a part of its own, and a
  // combo's list edit borrows the button's, one pixel larger all round.
  const bool composition = IsCompositionEnabled();
  HTHEME partTheme = theme;
  Integer part = composition ? 6 : 1;
  TRect r = V->Bounds;
  if (composition && AStyle == bpsComboListEdit) {
    r = Shrunk(r, -1);
    if (const HTHEME button = OpenTheme(totButton)) partTheme = button;
    part = 1;
  }
  const RECT bounds{r.Left, r.Top, r.Right, r.Bottom};
  RECT content = bounds;
  TRect c;
  switch (AStyle) {
    case bpsComboEdit:
      c = Shrunk(r, 3);
      c.Right = V->ClientRect.Right - 1;
      break;
    case bpsComboListEdit:
      c = composition ? TRect{} : V->ClientRect;
      break;
    case bpsSolid:
    default:
      if (composition) {
        c = Shrunk(r, 2);
      } else {
        GetThemeBackgroundContentRect(partTheme, dc, part, V->NativeState,
                                      &bounds, &content);
        c = TRect{content.left, content.top, content.right, content.bottom};
      }
      break;
  }
  {
    TSavedDC saved(ACanvas->Handle());
    ExcludeClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
    // Rounded corners show the editor's parent through them.
    if (V->Edit &&
        IsThemeBackgroundPartiallyTransparent(partTheme, part, V->NativeState))
      cxDrawThemeParentBackground(V->Edit, ACanvas, r);
    DrawThemeBackground(partTheme, dc, part, V->NativeState, &bounds, nullptr);
  }
  if (!V->Transparent && !AFillContent && AStyle != bpsComboListEdit) {
    InternalFillRect(ACanvas, c, V->BorderRect, ABrush);
    c = V->BorderRect;
  }
  if (!V->Transparent && AFillContent) cxEditFillRect(dc, c, ABrush);
}

}  // namespace

void DrawCustomEdit(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                    bool AFillContent,
                    TcxEditBackgroundPaintingStyle APaintingStyle) {
  const HBRUSH brush = GetSolidBrush(AViewInfo->BackgroundColor);
  {
    // Opaque buttons are never painted over by the background.
    const HDC dc = ACanvas->Handle();
    TSavedDC saved(dc);
    if (!AViewInfo->ButtonsInfo.empty() &&
        !AViewInfo->ButtonsInfo[0]->Data.PartiallyTransparent) {
      for (const auto& b : AViewInfo->ButtonsInfo)
        ExcludeClipRect(dc, b->VisibleBounds.Left, b->VisibleBounds.Top,
                        b->VisibleBounds.Right, b->VisibleBounds.Bottom);
    }
    bool handled = false;
    if (AViewInfo->OnDrawBackground)
      AViewInfo->OnDrawBackground(AViewInfo, ACanvas, handled);
    if (!handled) {
      if (AViewInfo->NativeStyle)
        DrawNativeEditBackground(ACanvas, AViewInfo, AFillContent,
                                 APaintingStyle, brush);
      else
        DrawUsualEditBackground(ACanvas, AViewInfo, AFillContent, brush);
    }
  }
  AViewInfo->DrawButtons(ACanvas);
}

// ---------------------------------------------------------------------------
// TcxCustomEditViewInfo
// ---------------------------------------------------------------------------

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() = default;

void TcxCustomEditViewInfo::Assign(TObject* Source) {
  TcxContainerViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxCustomEditViewInfo*>(Source);
  if (!source) return;
  EditBorderStyle = source->EditBorderStyle;
  SetButtonCount(static_cast<Integer>(source->ButtonsInfo.size()));
  for (std::size_t i = 0; i < ButtonsInfo.size(); ++i)
    ButtonsInfo[i]->Assign(source->ButtonsInfo[i].get());
  InnerEditRect = source->InnerEditRect;
  // The mouse handling compares the button states before and after a
  // mouse event through a copy.
  PressedButton = source->PressedButton;
  SelectedButton = source->SelectedButton;
  IsButtonReallyPressed = source->IsButtonReallyPressed;
  Left = source->Left;
  Top = source->Top;
}

void TcxCustomEditViewInfo::SetButtonCount(Integer ACount) {
  const std::size_t count = static_cast<std::size_t>(std::max(ACount, 0));
  while (ButtonsInfo.size() > count) ButtonsInfo.pop_back();
  while (ButtonsInfo.size() < count)
    ButtonsInfo.push_back(CreateButtonViewInfo());
}

void TcxCustomEditViewInfo::Paint(TcxCanvas* ACanvas) {
  if (OnPaint) OnPaint(this, ACanvas);
  InternalPaint(ACanvas);
}

void TcxCustomEditViewInfo::PaintEx(TcxCanvas* ACanvas) {
  const HDC dc = ACanvas->Handle();
  POINT old{};
  OffsetWindowOrgEx(dc, -Left, -Top, &old);
  Paint(ACanvas);
  SetWindowOrgEx(dc, old.x, old.y, nullptr);
}

void TcxCustomEditViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  DrawCustomEdit(ACanvas, this, true, bpsSolid);
}

void TcxCustomEditViewInfo::DrawButtons(TcxCanvas* ACanvas) {
  if (States.Contains(evsPaintButtons)) return;
  States.Include(evsPaintButtons);
  TScopeGuard done([this] { States.Exclude(evsPaintButtons); });
  for (Integer i = 0; i < static_cast<Integer>(ButtonsInfo.size()); ++i)
    DrawButton(ACanvas, i);
}

void TcxCustomEditViewInfo::DrawButton(TcxCanvas* ACanvas, Integer AIndex) {
  TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  b->Data.BackgroundColor = BackgroundColor;
  if (IsEmptyRect(b->VisibleBounds)) return;
  // Through the canvas, so that it selects its objects again afterwards.
  auto saved = ACanvas->SavedDCScope();
  if (b->Bounds != b->VisibleBounds)
    IntersectClipRect(ACanvas->Handle(), b->VisibleBounds.Left,
                      b->VisibleBounds.Top, b->VisibleBounds.Right,
                      b->VisibleBounds.Bottom);
  bool handled = false;
  if (OnDrawButton) OnDrawButton(this, ACanvas, AIndex, handled);
  if (!handled) DrawEditButton(ACanvas, AIndex);
}

void TcxCustomEditViewInfo::DrawEditButton(TcxCanvas* ACanvas, Integer AIndex) {
  TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  // A glyph or a skin is put together off the screen and shown at once, so
  // that its layers never flicker through one another.
  const bool offScreen =
      (b->Data.Kind == bkGlyph && VerifyBitmap(b->Glyph)) || Painter;
  if (offScreen && !IsEmptyRect(b->Bounds)) {
    const TRect bounds = b->Bounds;
    TcxBitmap bitmap(bounds.Width(), bounds.Height());
    TcxCanvas* canvas = bitmap.cxCanvas();
    const HDC dc = canvas->Handle();
    // What lies under a transparent glyph stays as it was.
    ::BitBlt(dc, 0, 0, bounds.Width(), bounds.Height(), ACanvas->Handle(),
             bounds.Left, bounds.Top, SRCCOPY);
    canvas->Font()->Assign(ACanvas->Font());
    POINT origin{};
    ::SetWindowOrgEx(dc, bounds.Left, bounds.Top, &origin);
    DrawEditButtonOn(canvas, AIndex);
    ::SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    ::BitBlt(ACanvas->Handle(), bounds.Left, bounds.Top, bounds.Width(),
             bounds.Height(), dc, 0, 0, SRCCOPY);
    return;
  }
  DrawEditButtonOn(ACanvas, AIndex);
}

void TcxCustomEditViewInfo::DrawEditButtonOn(TcxCanvas* ACanvas,
                                             Integer AIndex) {
  TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  TRect background;
  TRect content;
  TColor contentColor = clBtnText;
  TColor backgroundColor = clBtnFace;
  DrawButtonBorder(ACanvas, AIndex, background, content, contentColor,
                   backgroundColor);
  if (!IsEmptyRect(background)) {
    bool handled = false;
    if (OnDrawButtonBackground)
      OnDrawButtonBackground(this, ACanvas, background, AIndex, handled);
    if (!handled) {
      if (b->Data.NativeStyle && b->Data.NativePart != 0)
        DrawNativeButtonBackground(ACanvas, background, AIndex);
      else
        DrawUsualButtonBackground(ACanvas, background, AIndex, backgroundColor);
    }
  }
  if (!IsEmptyRect(content))
    DrawButtonContent(ACanvas, AIndex,
                      b->Data.State == ebsPressed && OffsetButtonContent,
                      contentColor, backgroundColor, content);
}

bool TcxCustomEditViewInfo::IsSimpleButtonDrawnFlat(Integer AIndex) const {
  const TcxEditButtonViewInfoData& d =
      ButtonsInfo[static_cast<std::size_t>(AIndex)]->Data;
  return d.Style == btsSimple &&
         (d.State == ebsPressed || d.State == ebsSelected);
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas* ACanvas, Integer AIndex,
                                             TRect& ABackgroundRect,
                                             TRect& AContentRect,
                                             TColor& AContentColor,
                                             TColor& ABackgroundColor) {
  TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  TRect r = b->Bounds;
  AContentColor = clBtnText;
  ABackgroundColor = b->Data.Transparent ? b->Data.BackgroundColor : clBtnFace;
  bool handled = false;
  if (OnDrawButtonBorder) {
    ABackgroundRect = r;
    AContentRect = r;
    OnDrawButtonBorder(this, ACanvas, AIndex, ABackgroundRect, AContentRect,
                       handled);
    if (handled) return;
  }
  if (b->Data.NativeStyle && b->Data.NativePart != 0) {
    DrawNativeButtonBorder(ACanvas, r, AContentRect, AIndex);
    ABackgroundRect = r;
    return;
  }
  if (Painter) {
    ABackgroundRect = r;
    AContentRect = r;
    AContentColor = clBtnText;
    ABackgroundColor = b->Data.State == ebsDisabled ? clBtnFace
                       : Edit                       ? BackgroundColor
                                                    : clWindow;
    return;
  }
  lastBackgroundColor_ = ABackgroundColor;
  TcxEditButtonStyle style = b->Data.Style;
  if (IsSimpleButtonDrawnFlat(AIndex)) style = btsFlat;
  switch (style) {
    case bts3D:
      Draw3DButtonBorder(ACanvas, r, AIndex, AContentColor);
      break;
    case btsFlat:
      DrawFlatButtonBorder(ACanvas, r, AIndex, AContentColor);
      break;
    case btsSimple:
      DrawSimpleButtonBorder(ACanvas, r, AIndex, AContentColor);
      break;
    case btsHotFlat:
      DrawHotFlatButtonBorder(ACanvas, r, AIndex, AContentColor);
      break;
    case btsUltraFlat:
    case btsOffice11:
      DrawUltraFlatButtonBorder(ACanvas, r, AIndex, style == btsOffice11,
                                AContentColor);
      break;
    case btsDefault:
    default:
      break;
  }
  ABackgroundColor = lastBackgroundColor_;
  ABackgroundRect = r;
  AContentRect = r;
}

void TcxCustomEditViewInfo::Draw3DButtonBorder(TcxCanvas* ACanvas, TRect& ARect,
                                               Integer AIndex, TColor&) {
  const TcxEditButtonViewInfoData& d =
      ButtonsInfo[static_cast<std::size_t>(AIndex)]->Data;
  const TColor bg = d.Transparent ? d.BackgroundColor : clBtnFace;
  if (d.State == ebsPressed) {
    ACanvas->FrameRect(ARect, clBtnShadow);
    ARect = Shrunk(ARect, 1);
    ACanvas->FrameRect(ARect, bg);
  } else {
    ACanvas->DrawComplexFrame(ARect, cl3DLight, cl3DDkShadow);
    ARect = Shrunk(ARect, 1);
    ACanvas->DrawComplexFrame(ARect, clBtnHighlight, clBtnShadow);
  }
  ARect = Shrunk(ARect, 1);
}

void TcxCustomEditViewInfo::DrawFlatButtonBorder(TcxCanvas* ACanvas,
                                                 TRect& ARect, Integer AIndex,
                                                 TColor&) {
  const TcxEditButtonViewInfoData& d =
      ButtonsInfo[static_cast<std::size_t>(AIndex)]->Data;
  const TColor bg = d.Transparent ? d.BackgroundColor : clBtnFace;
  ::DrawButtonBorder(ACanvas, ARect, TcxBorders{bLeft}, bg);
  const bool pressed = d.State == ebsPressed;
  ACanvas->DrawComplexFrame(ARect, pressed ? clBtnShadow : clBtnHighlight,
                            pressed ? clBtnHighlight : clBtnShadow);
  ARect = Shrunk(ARect, 1);
  ::DrawButtonBorder(ACanvas, ARect, TcxBorders{bRight}, bg);
}

void TcxCustomEditViewInfo::DrawSimpleButtonBorder(TcxCanvas* ACanvas,
                                                   TRect& ARect, Integer AIndex,
                                                   TColor&) {
  const TcxEditButtonViewInfoData& d =
      ButtonsInfo[static_cast<std::size_t>(AIndex)]->Data;
  const TColor bg = d.Transparent ? d.BackgroundColor : clBtnFace;
  if (!Transparent) ACanvas->FrameRect(ARect, d.BackgroundColor);
  ARect = Shrunk(ARect, 1);
  ::DrawButtonBorder(ACanvas, ARect, cxBordersAll, bg);
}

void TcxCustomEditViewInfo::DrawHotFlatButtonBorder(TcxCanvas* ACanvas,
                                                    TRect& ARect,
                                                    Integer AIndex,
                                                    TColor& AContentColor) {
  const TcxEditButtonViewInfoData& d =
      ButtonsInfo[static_cast<std::size_t>(AIndex)]->Data;
  TColor bg = clBtnFace;
  if (d.Transparent)
    bg = d.BackgroundColor;
  else if (d.State == ebsPressed)
    bg = clBtnText;
  else if (d.State == ebsSelected)
    bg = clBtnShadow;
  const bool nextToContent = d.LeftAlignment ? d.RightEdge : d.LeftEdge;
  if (nextToContent) {
    ::DrawButtonBorder(ACanvas, ARect, cxBordersAll, clBtnShadow);
  } else if (d.LeftAlignment) {
    ::DrawButtonBorder(ACanvas, ARect, TcxBorders{bLeft, bTop, bBottom},
                       clBtnShadow);
    ::DrawButtonBorder(ACanvas, ARect, TcxBorders{bRight}, bg);
  } else {
    ::DrawButtonBorder(ACanvas, ARect, TcxBorders{bRight, bTop, bBottom},
                       clBtnShadow);
    ::DrawButtonBorder(ACanvas, ARect, TcxBorders{bLeft}, bg);
  }
  ::DrawButtonBorder(ACanvas, ARect, TcxBorders{bLeft, bRight}, bg);
  if (d.State == ebsDisabled || d.State == ebsNormal)
    AContentColor = clBtnText;
  else if (d.Transparent && d.State == ebsSelected)
    AContentColor = clBtnShadow;
  else
    AContentColor = clWindow;
  lastBackgroundColor_ = bg;
}

void TcxCustomEditViewInfo::DrawUltraFlatButtonBorder(TcxCanvas* ACanvas,
                                                      TRect& ARect,
                                                      Integer AIndex,
                                                      bool AIsOffice11,
                                                      TColor&) {
  const TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  const TcxEditButtonViewInfoData& d = b->Data;
  const bool active = d.State == ebsPressed || d.State == ebsSelected;
  const TColor bg =
      active ? GetEditButtonHighlightColor(d.State == ebsPressed, AIsOffice11)
             : clBtnFace;
  if (!active) {
    if (!Transparent) ACanvas->FrameRect(ARect, bg);
  } else {
    const TColor highlight = GetEditBorderHighlightColor(AIsOffice11);
    const bool ownBorder = IsInplace
                               ? PaintOptions.Contains(epoHasExternalBorder)
                               : EditBorderStyle != ebsNone;
    if (!ownBorder) {
      ACanvas->FrameRect(ARect, highlight);
    } else {
      TcxBorders sides;
      if (ARect.Left > BorderRect.Left && d.LeftEdge) sides.Include(bLeft);
      if (ARect.Right < BorderRect.Right && d.RightEdge) sides.Include(bRight);
      if (ARect.Top > BorderRect.Top) sides.Include(bTop);
      if (ARect.Bottom < BorderRect.Bottom) sides.Include(bBottom);
      TRect r = ARect;
      ::DrawButtonBorder(ACanvas, r, sides, highlight);
      // The sides not drawn keep the button's own colour.
      ACanvas->FrameRect(ARect, bg, 1, cxBordersAll - sides);
    }
  }
  ARect = Shrunk(ARect, 1);
  lastBackgroundColor_ = bg;
}

void TcxCustomEditViewInfo::DrawNativeButtonBorder(TcxCanvas* ACanvas,
                                                   TRect& ARect,
                                                   TRect& AContentRect,
                                                   Integer AIndex) {
  const TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  if (b->Data.SingleDropDown) {
    AContentRect = TRect{};
    return;
  }
  const HTHEME theme = OpenTheme(totButton);
  AContentRect = ARect;
  if (!theme) return;
  const RECT bounds{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
  RECT content = bounds;
  GetThemeBackgroundContentRect(theme, ACanvas->Handle(), b->Data.NativePart,
                                b->NativeState, &bounds, &content);
  AContentRect =
      TRect{content.left, content.top, content.right, content.bottom};
}

void TcxCustomEditViewInfo::DrawNativeButtonBackground(TcxCanvas* ACanvas,
                                                       const TRect& R,
                                                       Integer AIndex) {
  const TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  const HTHEME theme =
      OpenTheme(b->Data.SingleDropDown ? totComboBox : totButton);
  if (!theme) {
    cxEditFillRect(ACanvas, R, clBtnFace);
    return;
  }
  const RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawThemeBackground(theme, ACanvas->Handle(), b->Data.NativePart,
                      b->NativeState, &r, nullptr);
}

void TcxCustomEditViewInfo::DrawUsualButtonBackground(TcxCanvas* ACanvas,
                                                      const TRect& R,
                                                      Integer AIndex,
                                                      TColor AColor) {
  const TcxEditButtonViewInfoData& d =
      ButtonsInfo[static_cast<std::size_t>(AIndex)]->Data;
  if (d.Style != btsOffice11 || !d.Gradient || d.Transparent ||
      d.State == ebsDisabled || Painter) {
    cxEditFillRect(ACanvas, R, AColor);
    return;
  }
  // The gradient runs over the whole height of the border rectangle, so
  // that buttons side by side and the editor's frame line up.
  TColor top = dxOffice11ToolbarsColor1, bottom = dxOffice11ToolbarsColor2;
  if (d.State == ebsPressed) {
    top = dxOffice11SelectedDownColor1;
    bottom = dxOffice11SelectedDownColor2;
  } else if (d.State == ebsSelected) {
    top = dxOffice11SelectedColor1;
    bottom = dxOffice11SelectedColor2;
  }
  const HDC dc = ACanvas->Handle();
  TSavedDC saved(dc);
  ::IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
  FillGradientRect(dc,
                   TRect{R.Left, BorderRect.Top, R.Right, BorderRect.Bottom},
                   top, bottom, false);
}

namespace {

// Three square dots with gaps of 2, centred.
void DrawEllipsis(TcxCanvas* ACanvas, const TRect& R, bool APressed,
                  TColor AColor) {
  const Integer side = R.Width() <= 11 ? 1 : 2;
  const Integer width = 3 * side + 2 * 2;
  Integer x = R.Left + (R.Width() - width) / 2;
  Integer y = R.Top + (R.Height() - side) / 2;
  if (APressed && x + width < R.Right && y + side < R.Bottom) {
    ++x;
    ++y;
  }
  for (Integer i = 0; i < 3; ++i) {
    const Integer left = x + i * (side + 2);
    cxEditFillRect(ACanvas, TRect{left, y, left + side, y + side}, AColor);
  }
}

void DrawDownArrow(TcxCanvas* ACanvas, const TRect& R, bool APressed,
                   TColor AColor) {
  const TSize size = GetArrowSize(TSize{R.Width(), R.Height()}, adDown);
  // An odd leftover puts the extra pixel on the left, or on the right of
  // a pressed arrow, which then moves by one pixel.
  const Integer leftover = R.Width() - size.cx;
  Integer x = R.Left + (APressed ? leftover / 2 : (leftover + 1) / 2);
  Integer y = R.Top + (R.Height() - size.cy) / 2;
  if (APressed) {
    ++x;
    ++y;
  }
  DrawArrow(ACanvas, size.cy, TRect{x, y, x + size.cx, y + size.cy}, adDown,
            false, false, AColor);
}

}  // namespace

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* ACanvas,
                                              Integer AIndex, bool APressed,
                                              TColor AContentColor,
                                              TColor ABackgroundColor,
                                              const TRect& AContentRect) {
  TcxEditButtonViewInfo* b =
      ButtonsInfo[static_cast<std::size_t>(AIndex)].get();
  const TcxEditButtonViewInfoData& d = b->Data;
  TSavedDC saved(ACanvas->Handle());
  IntersectClipRect(ACanvas->Handle(), AContentRect.Left, AContentRect.Top,
                    AContentRect.Right, AContentRect.Bottom);
  const bool disabled = d.State == ebsDisabled;
  if (Painter) {
    static constexpr TcxEditBtnKind kKinds[] = {cxbkEllipsisBtn, cxbkComboBtn,
                                                cxbkEditorBtn, cxbkEditorBtn};
    Painter->DrawEditorButton(ACanvas, AContentRect, kKinds[d.Kind],
                              EditBtnState2ButtonState[d.State]);
    if (d.Kind != bkGlyph && d.Kind != bkText) return;
  }
  // A disabled mark is drawn embossed: highlight one pixel off, then
  // shadow.
  auto twice = [&](auto draw) {
    if (disabled) {
      draw(cxRectOffset(AContentRect, 1, 1), clBtnHighlight);
      draw(AContentRect, clBtnShadow);
    } else {
      draw(AContentRect, AContentColor);
    }
  };
  switch (d.Kind) {
    case bkEllipsis:
      twice([&](const TRect& r, TColor c) {
        DrawEllipsis(ACanvas, r, APressed, c);
      });
      break;
    case bkDown:
      twice([&](const TRect& r, TColor c) {
        DrawDownArrow(ACanvas, r, APressed, c);
      });
      break;
    case bkGlyph:
      if (VerifyBitmap(b->Glyph)) {
        Integer x =
            AContentRect.Left + (AContentRect.Width() - b->Glyph->Width()) / 2;
        Integer y =
            AContentRect.Top + (AContentRect.Height() - b->Glyph->Height()) / 2;
        if (APressed) {
          ++x;
          ++y;
        }
        DrawGlyph(ACanvas, x, y, b->Glyph, !disabled,
                  Painter ? clNone : ABackgroundColor);
      }
      break;
    case bkText: {
      TRect r = AContentRect;
      r.Left += 1;
      r.Right -= 2;
      if (!IsInplace) {
        r.Top += 1;
        r.Bottom -= 1;
      }
      TColor color = d.TextColor == clDefault ? TextColor : d.TextColor;
      if (d.Style == btsHotFlat &&
          (d.State == ebsPressed || d.State == ebsSelected))
        color = AContentColor;
      if (APressed) r = cxRectOffset(r, 1, 1);
      if (Font) ACanvas->Font()->Assign(Font);
      ACanvas->Brush()->SetStyle(bsClear);
      const Integer flags = cxAlignmentsHorz[d.ContentAlignment] |
                            cxtfAlignVCenter | cxtfSingleLine;
      auto text = [&](const TRect& tr, TColor c) {
        ACanvas->Font()->SetColor(c);
        ACanvas->DrawTexT(d.VisibleCaption, tr, flags);
      };
      if (disabled) {
        text(cxRectOffset(r, 1, 1), clBtnHighlight);
        text(r, clBtnShadow);
      } else {
        text(r, color);
      }
      break;
    }
  }
}

bool TcxCustomEditViewInfo::IsHotTrack() {
  return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(), [](const auto& b) {
    return b->Data.State == ebsSelected;
  });
}

bool TcxCustomEditViewInfo::IsHotTrack(const TPoint& P) {
  const TPoint p{P.X - Left, P.Y - Top};
  return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(),
                     [&](const auto& b) { return cxRectPtIn(b->Bounds, p); });
}

bool TcxCustomEditViewInfo::NeedShowHint(TcxCanvas*, const TPoint&,
                                         String& AText, bool&, TRect&) {
  AText.clear();
  return false;
}

TcxDrawBackgroundStyle TcxCustomEditViewInfo::GetDrawBackgroundStyle() {
  if (IsInplace) {
    if (OnDrawBackground) return dbsCustom;
    return Transparent ? dbsNone : dbsSimpleFill;
  }
  if (Transparent) return dbsSimpleParent;
  if (!NativeStyle) return dbsCustomEdit;
  return dbsSimpleFill;
}

bool TcxCustomEditViewInfo::IsBackgroundTransparent() {
  const TcxDrawBackgroundStyle s = GetDrawBackgroundStyle();
  return s != dbsCustomEdit && s != dbsSimpleFill;
}

void TcxCustomEditViewInfo::DrawEditBackground(TcxCanvas* ACanvas,
                                               const TRect& AEditBounds,
                                               const TRect& AContentRect,
                                               bool AExcludeContent) {
  TSavedDC saved(ACanvas->Handle());
  const HDC dc = ACanvas->Handle();
  if (AExcludeContent)
    ExcludeClipRect(dc, AContentRect.Left, AContentRect.Top, AContentRect.Right,
                    AContentRect.Bottom);
  switch (GetDrawBackgroundStyle()) {
    case dbsCustom: {
      IntersectClipRect(dc, AEditBounds.Left, AEditBounds.Top,
                        AEditBounds.Right, AEditBounds.Bottom);
      bool handled = false;
      OnDrawBackground(this, ACanvas, handled);
      break;
    }
    case dbsCustomEdit:
      DrawCustomEdit(ACanvas, this, true, bpsSolid);
      break;
    case dbsSimpleFill:
      cxEditFillRect(ACanvas, AEditBounds, BackgroundColor);
      break;
    case dbsSimpleParent:
      if (Edit) cxDrawTransparentControlBackground(Edit, ACanvas, AEditBounds);
      break;
    case dbsThemeParent:
      if (Edit) cxDrawThemeParentBackground(Edit, ACanvas, AEditBounds);
      break;
    case dbsNone:
      break;
  }
}

bool TcxCustomEditViewInfo::Repaint(TWinControl* AControl,
                                    TcxCustomEditViewInfo* AOldViewInfo) {
  return Repaint(AControl, InnerEditRect, AOldViewInfo);
}

bool TcxCustomEditViewInfo::Repaint(TWinControl* AControl,
                                    const TRect& AInnerEditRect,
                                    TcxCustomEditViewInfo* AOldViewInfo) {
  if (!AControl || !AControl->HandleAllocated()) return false;
  const HWND wnd = AControl->Handle();
  const TRect bounds = cxRectOffset(Bounds, Left, Top);
  if (!AOldViewInfo) {
    InternalInvalidate(wnd, bounds, AInnerEditRect);
    return true;
  }
  bool result = false;
  const bool sameButtons =
      AOldViewInfo->ButtonsInfo.size() == ButtonsInfo.size();
  if (NativeState != AOldViewInfo->NativeState ||
      BackgroundColor != AOldViewInfo->BackgroundColor ||
      (IsRepaintOnStateChangingNeeded() &&
       ContainerState != AOldViewInfo->ContainerState) ||
      !sameButtons) {
    TRect inner;
    if (!cxRectIntersect(inner, AInnerEditRect, bounds)) inner = TRect{};
    InternalInvalidate(wnd, bounds, inner);
    result = true;
  } else if ((BorderColor != AOldViewInfo->BorderColor &&
              EditBorderStyle != ebsNone) ||
             EditBorderStyle != AOldViewInfo->EditBorderStyle) {
    InternalInvalidate(wnd, bounds, cxRectOffset(BorderRect, Left, Top));
    result = true;
  }
  if (sameButtons)
    for (std::size_t i = 0; i < ButtonsInfo.size(); ++i)
      result |= ButtonsInfo[i]->Repaint(
          AControl, AOldViewInfo->ButtonsInfo[i].get(), TPoint{Left, Top});
  return result;
}

TcxRegion* TcxCustomEditViewInfo::GetUpdateRegion(
    TcxContainerViewInfo* AViewInfo) {
  auto* old = dynamic_cast<TcxCustomEditViewInfo*>(AViewInfo);
  if (!old || old->BackgroundColor != BackgroundColor ||
      old->BorderColor != BorderColor ||
      old->EditBorderStyle != EditBorderStyle ||
      old->NativeState != NativeState ||
      old->ButtonsInfo.size() != ButtonsInfo.size())
    return new TcxRegion(Bounds);
  auto* result = new TcxRegion();
  for (std::size_t i = 0; i < ButtonsInfo.size(); ++i) {
    const TRect r = ButtonsInfo[i]->GetUpdateRect(old->ButtonsInfo[i].get());
    if (!IsEmptyRect(r)) result->Combine(new TcxRegion(r), roAdd);
  }
  return result;
}

void TcxCustomEditViewInfo::Offset(Integer DX, Integer DY) {
  TcxContainerViewInfo::Offset(DX, DY);
  InnerEditRect = cxRectOffset(InnerEditRect, DX, DY);
  for (const auto& b : ButtonsInfo) {
    b->Bounds = cxRectOffset(b->Bounds, DX, DY);
    b->VisibleBounds = cxRectOffset(b->VisibleBounds, DX, DY);
  }
}
