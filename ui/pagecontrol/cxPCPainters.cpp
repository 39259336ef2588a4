#include "WinApi.h"
//
#include <algorithm>
#include <cmath>
#include <memory>

#include "Graphics.h"
#include "ImgList.h"
#include "cxPCPainters.h"
//
#include "cxDrawTextUtils.h"
#include "cxGeometry.h"
#include "cxLookAndFeelPainters.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

bool IsHorizontalPosition(TcxTabPosition APosition) {
  return APosition == tpTop || APosition == tpBottom;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxPCPainterParentInfo
// ---------------------------------------------------------------------------

TWinControl* TcxPCPainterParentInfo::ActivePage() const {
  return control_->GetActivePage();
}
TcxCanvas* TcxPCPainterParentInfo::Canvas() const { return control_->Canvas(); }
TColor TcxPCPainterParentInfo::Color() const { return control_->Color(); }
TFont* TcxPCPainterParentInfo::Font() const { return control_->Font(); }
Integer TcxPCPainterParentInfo::Height() const { return control_->Height(); }
Integer TcxPCPainterParentInfo::Width() const { return control_->Width(); }
bool TcxPCPainterParentInfo::HideTabs() const { return control_->HideTabs(); }
Integer TcxPCPainterParentInfo::ImageBorder() const {
  return control_->ImageBorder();
}
bool TcxPCPainterParentInfo::IsTabsContainer() const {
  return control_->IsTabsContainer();
}
Integer TcxPCPainterParentInfo::MainTabVisibleIndex() const {
  return control_->MainTabVisibleIndex;
}
bool TcxPCPainterParentInfo::MultiLine() const { return control_->MultiLine(); }
TcxPCNavigatorButtons TcxPCPainterParentInfo::NavigatorButtons() const {
  return control_->NavigatorButtons;
}
TcxPCNavigatorButtonState TcxPCPainterParentInfo::NavigatorButtonState(
    TcxPCNavigatorButton AButton) const {
  return control_->NavigatorButtonStates[AButton];
}
TcxPCNavigatorPosition TcxPCPainterParentInfo::GetNavigatorPositione() const {
  return control_->NavigatorPosition();
}
TcxPCOptions TcxPCPainterParentInfo::Options() const {
  return control_->Options();
}
bool TcxPCPainterParentInfo::RaggedRight() const {
  return control_->RaggedRight();
}
bool TcxPCPainterParentInfo::Rotate() const { return control_->Rotate(); }
Integer TcxPCPainterParentInfo::RowCount() const { return control_->RowCount; }
bool TcxPCPainterParentInfo::ScrollOpposite() const {
  return control_->ScrollOpposite();
}
bool TcxPCPainterParentInfo::ShowFrame() const { return control_->ShowFrame(); }
Integer TcxPCPainterParentInfo::TabHeight() const {
  return control_->TabHeight();
}
TcxTabPosition TcxPCPainterParentInfo::TabPosition() const {
  return control_->TabPosition();
}
TcxTabSlants* TcxPCPainterParentInfo::TabSlants() const {
  return control_->TabSlants();
}
Integer TcxPCPainterParentInfo::TabWidth() const {
  return control_->TabWidth();
}
Integer TcxPCPainterParentInfo::TopOrLeftPartRowCount() const {
  return control_->TopOrLeftPartRowCount;
}
TRect TcxPCPainterParentInfo::ExtendedTopOrLeftTabsRect() const {
  return control_->ExtendedTopOrLeftTabsRect;
}
TRect TcxPCPainterParentInfo::ExtendedBottomOrRightTabsRect() const {
  return control_->ExtendedBottomOrRightTabsRect;
}
TcxTab* TcxPCPainterParentInfo::VisibleTab(Integer TabVisibleIndex) const {
  return control_->Tabs()->GetVisibleTab(TabVisibleIndex);
}
TWinControl* TcxPCPainterParentInfo::Page(Integer TabVisibleIndex) const {
  return control_->GetPage(VisibleTab(TabVisibleIndex)->Index());
}
TColor TcxPCPainterParentInfo::PageColor(Integer TabVisibleIndex) const {
  TWinControl* page = Page(TabVisibleIndex);
  return page ? page->Color() : control_->Color();
}
TColor TcxPCPainterParentInfo::TabColor(Integer TabVisibleIndex) const {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  TColor color = tab->Color();
  if (color != clDefault) return color;
  TWinControl* page = Page(TabVisibleIndex);
  if (page &&
      (Options().Contains(pcoUsePageColorForTab) ||
       control_->Painter()->AlwaysColoredTabs()) &&
      !page->ParentColor())
    return page->Color();
  return clDefault;
}
bool TcxPCPainterParentInfo::TabsOnBothSides() const {
  switch (TabPosition()) {
    case tpTop:
    case tpLeft:
      return TopOrLeftPartRowCount() != RowCount();
    default:
      return TopOrLeftPartRowCount() != 0;
  }
}

// ---------------------------------------------------------------------------
// TcxPCCustomPainter
// ---------------------------------------------------------------------------

TcxPCCustomPainter::TcxPCCustomPainter(TcxCustomTabControl* ATabControl)
    : parentControl_(ATabControl),
      parentInfo_(std::make_unique<TcxPCPainterParentInfo>(ATabControl)) {}

TcxPCCustomPainter::~TcxPCCustomPainter() { DestroySavedClipRgns(); }

TcxCanvas* TcxPCCustomPainter::Canvas() const {
  return parentControl_->Canvas();
}

TcxTab* TcxPCCustomPainter::VisibleTab(Integer TabVisibleIndex) const {
  return parentControl_->Tabs()->GetVisibleTab(TabVisibleIndex);
}

void TcxPCCustomPainter::CorrectTabRect(Integer,
                                        TcxPCRectCorrection& ACorrection) {
  ACorrection = cxPCEmptyRectCorrection;
}

void TcxPCCustomPainter::FillDisplayRect() {
  Canvas()->FillRect(GetClientRect(), GetClientColor());
}

TColor TcxPCCustomPainter::GetClientColor() {
  Integer main = parentControl_->MainTabVisibleIndex;
  if (main == -1) return parentControl_->Color();
  return parentInfo_->PageColor(main);
}

TRect TcxPCCustomPainter::GetClientRectOffset() {
  TRect R = GetDisplayRectOffset();
  if (NeedShowFrame()) {
    Integer w = GetFrameWidth();
    R = TRect(R.Left + w, R.Top + w, R.Right + w, R.Bottom + w);
  }
  return R;
}

TRect TcxPCCustomPainter::GetDisplayRectOffset() {
  TRect R;
  TcxCustomTabControl* c = parentControl_;
  if (c->HideTabs() || c->RowCount == 0) return R;
  const TRect& tl = c->ExtendedTopOrLeftTabsRect;
  const TRect& br = c->ExtendedBottomOrRightTabsRect;
  switch (c->TabPosition()) {
    case tpTop:
      R.Top = tl.Bottom;
      if (c->TopOrLeftPartRowCount != c->RowCount)
        R.Bottom = c->Height() - br.Top;
      break;
    case tpBottom:
      R.Top = c->Height() - br.Top;
      if (c->TopOrLeftPartRowCount != 0) R.Bottom = tl.Bottom;
      break;
    case tpLeft:
      R.Top = tl.Right;
      if (c->TopOrLeftPartRowCount != c->RowCount)
        R.Bottom = c->Width() - br.Left;
      break;
    case tpRight:
      R.Top = c->Width() - br.Left;
      if (c->TopOrLeftPartRowCount != 0) R.Bottom = tl.Right;
      break;
  }
  return R;
}

void TcxPCCustomPainter::AfterPaintTab(Integer TabVisibleIndex) {
  parentControl_->AfterPaintTab(Canvas(), VisibleTab(TabVisibleIndex),
                                OutTabImageAndTextData);
}

void TcxPCCustomPainter::GetNativeContentOffset(TRect& R) {
  // The margins the theme's tab pane (part 9) leaves around its content.
  R = TRect();
  HTHEME theme = OpenTheme(totTab);
  if (!theme) return;
  TRect bounds(0, 0, 100, 100), content;
  if (FAILED(GetThemeBackgroundContentRect(theme, cxScreenCanvas()->Handle(), 9,
                                           0, reinterpret_cast<RECT*>(&bounds),
                                           reinterpret_cast<RECT*>(&content))))
    return;
  R = TRect(content.Left, content.Top, 100 - content.Right,
            100 - content.Bottom);
  if (IsStandardTheme()) {
    Integer m = parentControl_->IsTabsContainer() ? 3 : std::max(R.Left, R.Top);
    R = TRect(m, m, 2 * m, 2 * m);
  }
}

TColor TcxPCCustomPainter::GetTabColor(Integer TabVisibleIndex) {
  return parentInfo_->TabColor(TabVisibleIndex);
}

TcxRegion* TcxPCCustomPainter::GetTabClipRgn(Integer TabVisibleIndex) {
  return new TcxRegion(VisibleTab(TabVisibleIndex)->VisibleRect());
}

TColor TcxPCCustomPainter::GetTextColor(Integer TabVisibleIndex) {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  if (tab->Highlighted())
    return GetHighlightedTextColor(TabVisibleIndex,
                                   parentControl_->Font()->Color());
  if (tab->HotTrack()) return GetHotTrackColor();
  return clBtnText;
}

TColor TcxPCCustomPainter::GetHighlightedTextColor(Integer, TColor ADefault) {
  // The native branch would read the theme's tab-item text colour; a theme
  // that gives none falls back to the default, which is all we use.
  if (!IsNativePainting()) return clHighlightText;
  return ADefault;
}

TColor TcxPCCustomPainter::GetHotTrackColor() {
  static const TColor color = [] {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    bool oldSystem = (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) ||
                     (info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                      info.dwMajorVersion == 5);
    return oldSystem ? clHotLight : static_cast<TColor>(0xFF0000);
  }();
  return color;
}

bool TcxPCCustomPainter::NeedShowFrame() { return parentControl_->ShowFrame(); }

void TcxPCCustomPainter::InternalPaint() {
  if (!parentControl_->HideTabs()) {
    PaintButtonsRegion();
    PaintTabsRegion();
  }
  PaintClientArea();
}

void TcxPCCustomPainter::PaintClientArea() {
  if (NeedShowFrame()) PaintFrame();
  FillDisplayRect();
  Canvas()->ExcludeClipRect(GetDisplayRect());
}

void TcxPCCustomPainter::InvalidateTabRect(Integer TabVisibleIndex) {
  InternalInvalidateRect(VisibleTab(TabVisibleIndex)->VisibleRect());
}

void TcxPCCustomPainter::InvalidateTabExtendedTabsRect(
    Integer TabVisibleIndex) {
  InternalInvalidateRect(
      parentControl_->GetTabExtendedTabsRect(TabVisibleIndex));
}

void TcxPCCustomPainter::InternalInvalidateRect(const TRect& R) {
  parentControl_->InvalidateRect(R, false);
}

bool TcxPCCustomPainter::IsCustomDraw() {
  return parentControl_->OwnerDraw() &&
         static_cast<bool>(parentControl_->OnDrawTab);
}

bool TcxPCCustomPainter::DoCustomDraw(Integer TabVisibleIndex) {
  bool defaultDraw = true;
  parentControl_->OnDrawTab(parentControl_, VisibleTab(TabVisibleIndex),
                            defaultDraw);
  return !defaultDraw;
}

bool TcxPCCustomPainter::IsAssignedImages() {
  return GetTabBaseImageSize().cx > 0;
}

bool TcxPCCustomPainter::IsTabHasImage(Integer TabVisibleIndex) {
  return IsAssignedImages() && parentControl_->GetImageIndex(
                                   VisibleTab(TabVisibleIndex)->Index()) >= 0;
}

TSize TcxPCCustomPainter::GetTabBaseImageSize() {
  return parentControl_->ImageList()->GetBaseImageSize();
}

TSize TcxPCCustomPainter::GetTabRotatedImageSize() {
  return parentControl_->ImageList()->GetRotatedImageSize();
}

Integer TcxPCCustomPainter::GetMaxTabCaptionHeight() {
  Integer result = 0;
  TcxTabs* tabs = parentControl_->Tabs();
  for (Integer i = 0; i < tabs->GetVisibleTabsCount(); ++i) {
    TcxTab* tab = tabs->GetVisibleTab(i);
    result = std::max(result, parentControl_->TextSize(tab, "Zg").cy);
  }
  return result;
}

Integer TcxPCCustomPainter::GetTabNativeState(Integer TabVisibleIndex) {
  if (TabVisibleIndex == parentControl_->MainTabVisibleIndex) return 3;
  if (TabVisibleIndex == parentControl_->HotTrackTabVisibleIndex) return 2;
  return 1;
}

TRect TcxPCCustomPainter::GetExtendedRect(const TRect& R,
                                          const TRect& AOffset) {
  TRect o = RotateRect(AOffset, parentControl_->TabPosition());
  return ValidateRect(TRect(R.Left + o.Left, R.Top + o.Top, R.Right - o.Right,
                            R.Bottom - o.Bottom));
}

TRect TcxPCCustomPainter::GetClientRect() {
  return GetExtendedRect(
      TRect(0, 0, parentControl_->Width(), parentControl_->Height()),
      GetClientRectOffset());
}

TRect TcxPCCustomPainter::GetDisplayRect() {
  return GetExtendedRect(
      TRect(0, 0, parentControl_->Width(), parentControl_->Height()),
      GetDisplayRectOffset());
}

void TcxPCCustomPainter::ExcludeTabContentClipRegion(Integer TabVisibleIndex) {
  if (IsNativePainting()) return;
  auto content =
      std::make_unique<TcxRegion>(OutTabImageAndTextData.TabTextRect);
  content->Combine(new TcxRegion(OutTabImageAndTextData.TabImageRect), roAdd);
  content->Combine(GetTabClipRgn(TabVisibleIndex), roIntersect);
  Canvas()->SetClipRegion(content.release(), roSubtract);
}

bool TcxPCCustomPainter::InternalSetClipRect(const TRect& R, bool AIntersect) {
  if (cxRectIsEmpty(R)) return false;
  if (AIntersect && !Canvas()->RectVisible(R)) return false;
  SaveClipRgn();
  Canvas()->SetClipRegion(new TcxRegion(R), AIntersect ? roIntersect : roSet);
  return true;
}

void TcxPCCustomPainter::SaveClipRgn() {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(Canvas()->Handle(), rgn) == 1) {
    savedClipRgns_.emplace_back(new TcxRegion(rgn));
  } else {
    DeleteObject(rgn);
    savedClipRgns_.emplace_back(nullptr);
  }
}

void TcxPCCustomPainter::RestoreClipRgn() {
  if (savedClipRgns_.empty()) return;
  TObjectPtr<TcxRegion> rgn = std::move(savedClipRgns_.back());
  savedClipRgns_.pop_back();
  SelectClipRgn(Canvas()->Handle(), rgn ? rgn->Handle() : nullptr);
}

void TcxPCCustomPainter::DestroySavedClipRgns() { savedClipRgns_.clear(); }

void TcxPCCustomPainter::InternalPolyLine(const TPoint* APoints,
                                          Integer ALastIndex,
                                          TcxCanvas* ACanvas, TColor AColor) {
  TcxCanvas* canvas = ACanvas ? ACanvas : Canvas();
  canvas->Pen()->SetColor(AColor);
  std::vector<TPoint> points(APoints, APoints + ALastIndex + 1);
  canvas->Polyline(points);
  // A polyline leaves out its end point.
  const TPoint& last = APoints[ALastIndex];
  canvas->Polyline({last, TPoint(last.X + 1, last.Y + 1)});
}

TPoint TcxPCCustomPainter::RotatePoint(const TRect& R, const TPoint& P,
                                       TcxTabPosition APosition) {
  switch (APosition) {
    case tpBottom:
      return TPoint(P.X, (R.Bottom - 1) - (P.Y - R.Top));
    case tpLeft:
      return TPoint((R.Right - 1) - ((R.Bottom - 1) - P.Y),
                    (R.Bottom - 1) - (P.X - R.Left));
    case tpRight:
      return TPoint(R.Left + (R.Bottom - 1) - P.Y,
                    (R.Bottom - 1) - (P.X - R.Left));
    default:
      return P;
  }
}

void TcxPCCustomPainter::RotatePolyline(const TRect& R, TPoint* APoints,
                                        Integer ALastIndex,
                                        TcxTabPosition APosition) {
  for (Integer i = 0; i <= ALastIndex; ++i)
    APoints[i] = RotatePoint(R, APoints[i], APosition);
}

void TcxPCCustomPainter::DirectionalPolyline(
    const TRect& R, const TPoint* APoints, Integer ALastIndex,
    TcxTabPosition APosition, TColor AColor, TcxCanvas* ACanvas) {
  std::vector<TPoint> points(APoints, APoints + ALastIndex + 1);
  RotatePolyline(R, points.data(), ALastIndex, APosition);
  InternalPolyLine(points.data(), ALastIndex, ACanvas, AColor);
}

TBitmap* TcxPCCustomPainter::GetTabVerticalTextBitmap(Integer TabVisibleIndex) {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  return tab->VerticalTextBitmap()
             ? tab->VerticalTextBitmap()
             : CreateNewTabVerticalTextBitmap(TabVisibleIndex);
}

TBitmap* TcxPCCustomPainter::CreateNewTabVerticalTextBitmap(
    Integer TabVisibleIndex) {
  TBitmap* bitmap = VisibleTab(TabVisibleIndex)->CreateVerticalTextBitmap();
  bitmap->SetPixelFormat(pf32bit);
  return bitmap;
}

void TcxPCCustomPainter::PrepareTabCanvasFont(TcxTab* ATab,
                                              TcxCanvas* ACanvas) {
  parentControl_->PrepareTabCanvasFont(ATab, ACanvas);
}

void TcxPCCustomPainter::PrepareTabControlImagesBitmapBackground(
    TBitmap* ABitmap) {
  const TcxPCOutTabImageAndTextData& d = OutTabImageAndTextData;
  PrepareDrawTabContentBitmapBackground(ABitmap, d.TabImageRect.TopLeft(),
                                        d.TabVisibleIndex);
}

void TcxPCCustomPainter::DrawTextInBitmap(TBitmap* ABitmap,
                                          const String& ACaption,
                                          const TRect& ATextRect,
                                          Integer TabVisibleIndex,
                                          bool AEnabled) {
  TcxCanvas canvas(ABitmap->Canvas());
  canvas.SetFont(Canvas()->Font());
  if (!IsNativePainting()) {
    canvas.Pen()->Assign(Canvas()->Pen());
    canvas.FillRect(TRect(0, 0, ABitmap->Width(), ABitmap->Height()),
                    GetTabBodyColor(TabVisibleIndex));
  }
  PrepareDrawTabContentBitmapBackground(ABitmap, ATextRect.TopLeft(),
                                        TabVisibleIndex);
  canvas.Brush()->SetStyle(bsClear);
  TRect R(0, 0, ABitmap->Width(), ABitmap->Height());
  if (!AEnabled) {
    canvas.Font()->SetColor(GetDisabledTextFaceColor());
    if (NeedDisabledTextShadow()) {
      InternalDrawText(&canvas, ACaption, cxRectOffset(R, 1, 1),
                       TabVisibleIndex);
      canvas.Font()->SetColor(GetDisabledTextShadowColor());
    }
  }
  InternalDrawText(&canvas, ACaption, R, TabVisibleIndex);
}

void TcxPCCustomPainter::InternalDrawText(TcxCanvas* ACanvas,
                                          const String& ACaption,
                                          TRect ATextRect, Integer) {
  ACanvas->DrawTexT(ACaption, ATextRect,
                    DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP, true);
}

void TcxPCCustomPainter::DrawTabImageAndText(Integer TabVisibleIndex) {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  OutTabImageAndTextData.TabVisibleIndex = TabVisibleIndex;
  PrepareTabCanvasFont(tab, Canvas());
  StandardPainterPrepareOutTabImageAndTextData(TabVisibleIndex);
  TColor bodyColor = GetTabBodyColor(TabVisibleIndex);
  bool enabled = tab->RealEnabled();
  const TRect& imageRect = OutTabImageAndTextData.TabImageRect;
  const TRect& textRect = OutTabImageAndTextData.TabTextRect;

  Integer imageIndex = parentControl_->GetImageIndex(tab->Index());
  if (imageIndex != -1 && !cxRectIsEmpty(imageRect)) {
    if (IsNativePainting()) {
      tab->InitializePaintBitmap();
      TcxCanvas bitmapCanvas(tab->PaintBitmap()->Canvas());
      parentControl_->ImageList()->Draw(&bitmapCanvas, imageRect.Left,
                                        imageRect.Top, imageIndex, bodyColor,
                                        enabled);
    } else {
      parentControl_->ImageList()->Draw(Canvas(), imageRect.Left, imageRect.Top,
                                        imageIndex, bodyColor, enabled);
    }
  }

  if (!tab->Caption().empty() && !cxRectIsEmpty(textRect)) {
    // Natively painted tabs are composed in their own bitmap, which the
    // shape step copies over the control afterwards: the caption's
    // rectangle is relative to that bitmap and belongs into it, on its
    // themed background.
    std::unique_ptr<TcxCanvas> tabCanvas;
    TBitmap* tabBitmap = IsNativePainting() ? tab->PaintBitmap() : nullptr;
    if (tabBitmap) tabCanvas = std::make_unique<TcxCanvas>(tabBitmap->Canvas());
    TcxCanvas* target = tabCanvas ? tabCanvas.get() : Canvas();
    const auto takeTabBackground = [&](TBitmap* ABitmap) {
      if (!tabBitmap) return;
      ::BitBlt(ABitmap->Canvas()->Handle(), 0, 0, ABitmap->Width(),
               ABitmap->Height(), tabBitmap->Canvas()->Handle(), textRect.Left,
               textRect.Top, SRCCOPY);
    };
    if (parentControl_->InternalIsVerticalText()) {
      TBitmap* bitmap = GetTabVerticalTextBitmap(TabVisibleIndex);
      bitmap->SetSize(textRect.Height(), textRect.Width());
      DrawTextInBitmap(bitmap, tab->Caption(), textRect, TabVisibleIndex,
                       enabled);
      Canvas()->RotateBitmap(bitmap, parentControl_->GetTextRotationAngle());
      target->Draw(textRect.Left, textRect.Top, bitmap);
    } else {
      TObjectPtr<TBitmap> bitmap(new TBitmap());
      bitmap->SetPixelFormat(pf32bit);
      bitmap->SetSize(textRect.Width(), textRect.Height());
      takeTabBackground(bitmap.get());
      DrawTextInBitmap(bitmap.get(), tab->Caption(), textRect, TabVisibleIndex,
                       enabled);
      target->Draw(textRect.Left, textRect.Top, bitmap.get());
    }
  }
  ExcludeTabContentClipRegion(TabVisibleIndex);
}

// The content layout: where a tab's image and caption go inside it.
void TcxPCCustomPainter::StandardPainterPrepareOutTabImageAndTextData(
    Integer TabVisibleIndex) {
  TcxCustomTabControl* c = parentControl_;
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  TcxRotationAngle angle = c->InternalGetTextRotationAngle();
  bool vertical = angle != ra0;
  TRect R = tab->FullRect();
  if (IsNativePainting()) {
    R = vertical ? TRect(0, 0, R.Height(), R.Width())
                 : TRect(0, 0, R.Width(), R.Height());
    if (vertical) R = TRect(0, 0, R.Bottom, R.Right);
  }
  bool hasImage = IsTabHasImage(TabVisibleIndex);
  bool hasCaption = !tab->Caption().empty();
  TRect imageRect, textRect;
  TSize imageSize = GetTabRotatedImageSize();
  bool pressable = IsTabPressable();
  bool thick = IsTabBorderThick(TabVisibleIndex);
  Integer ppi = tab->PaintingPositionIndex();
  bool swapHMargins =
      IsMainTabBoundWithClient() && (ppi == 5 || ppi == 7 || ppi == 10);

  // The across-text band of a block of thickness AThickness between the
  // top and bottom margins of AOffset.
  auto adjust = [&](TRect AOffset) {
    if (pressable) {
      if ((angle == raMinus90 && !thick) || (angle != raMinus90 && thick)) {
        AOffset.Top += 1;
        AOffset.Bottom -= 1;
      }
    } else if (c->Rotate()) {
      AOffset.Top = 0;
      AOffset.Bottom = 0;
    }
    if (swapHMargins) std::swap(AOffset.Top, AOffset.Bottom);
    if (angle == raMinus90) std::swap(AOffset.Top, AOffset.Bottom);
    return AOffset;
  };
  // Across the text: from vertical text's left edge or horizontal text's
  // top edge.
  auto placeAcross = [&](TRect& ARect, const TRect& AOffset,
                         Integer AThickness) {
    Integer start = vertical ? R.Left : R.Top;
    Integer end = vertical ? R.Right : R.Bottom;
    Integer nearEdge = start + AOffset.Top;
    Integer farEdge = end - AOffset.Bottom;
    Integer pos = nearEdge + (farEdge - nearEdge - AThickness) / 2;
    if (vertical) {
      ARect.Left = pos;
      ARect.Right = pos + AThickness;
    } else {
      ARect.Top = pos;
      ARect.Bottom = pos + AThickness;
    }
  };
  // Along the text: ALength from AStart, counted in the text direction.
  auto placeAlong = [&](TRect& ARect, Integer AStart, Integer ALength) {
    if (angle == ra0) {
      ARect.Left = R.Left + AStart;
      ARect.Right = ARect.Left + ALength;
    } else if (angle == raMinus90) {
      ARect.Top = R.Top + AStart;
      ARect.Bottom = ARect.Top + ALength;
    } else {
      ARect.Bottom = R.Bottom - AStart;
      ARect.Top = ARect.Bottom - ALength;
    }
  };
  Integer alongExtent = vertical ? R.Height() : R.Width();
  Integer imageAlong = vertical ? imageSize.cy : imageSize.cx;
  Integer imageAcross = vertical ? imageSize.cx : imageSize.cy;

  if (hasImage)
    placeAcross(imageRect, adjust(GetDrawImageOffset(TabVisibleIndex)),
                imageAcross);

  if (hasImage && !hasCaption) {
    TcxPCWOffset w = GetDrawImageWithoutTextWOffset(TabVisibleIndex);
    if (IsNativePainting() && (ppi == 2 || ppi == 9 || ppi == 12))
      std::swap(w.Left, w.Right);
    if (pressable && thick) {
      if (angle == raPlus90) {
        w.Left -= 1;
        w.Right += 1;
      } else {
        w.Left += 1;
        w.Right -= 1;
      }
    }
    Integer A = alongExtent - w.Left - w.Right;
    placeAlong(imageRect, w.Left + (A - imageAlong) / 2, imageAlong);
  } else if (hasCaption) {
    TRect textOffset = GetDrawTextHOffset(TabVisibleIndex);
    if (IsAssignedImages()) {
      textOffset.Top += c->ImageBorder();
      textOffset.Bottom += c->ImageBorder();
    }
    Integer textHeight = c->TextSize(tab, "Zg").cy;
    placeAcross(textRect, adjust(textOffset), textHeight);

    TcxPCWOffset w = GetTabContentWOffset(TabVisibleIndex);
    Integer A = alongExtent - w.Left - w.Right;
    bool imageSpaceUsed = hasImage || (IsAssignedImages() && c->Rotate());
    Integer imageSpace = imageSpaceUsed
                             ? GetImageTextDistance(TabVisibleIndex) +
                                   2 * c->ImageBorder() + imageAlong
                             : 0;
    Integer textWidth = c->TextSize(tab, tab->Caption()).cx;
    bool tooNarrow = A - imageSpace < textWidth;
    if (tooNarrow) {
      w = GetTooNarrowTabContentWOffset(TabVisibleIndex);
      A = alongExtent - w.Left - w.Right;
    }
    Integer available = A - imageSpace;
    Integer fitted = 0;
    if (available > 0) {
      // The caption shortened with an ending ellipsis to what is left.
      String text = tab->Caption();
      TcxCanvas* canvas = Canvas();
      PrepareTabCanvasFont(tab, canvas);
      if (canvas->TextWidth(text) > available) {
        String shortened;
        for (std::size_t n = text.size(); n > 0; --n) {
          shortened = text.substr(0, n - 1) + "...";
          if (canvas->TextWidth(shortened) <= available) break;
          shortened.clear();
        }
        text = shortened;
      }
      if (!text.empty() && text != "&...") fitted = canvas->TextWidth(text);
      if (fitted > available) fitted = 0;
    }
    Integer contentLength = fitted + imageSpace;
    if (contentLength < 1) {
      imageRect = TRect();
      textRect = TRect();
    } else {
      Integer pos = w.Left;
      auto alignOffset = [&](Integer L) {
        bool rotated = c->Rotate() &&
                       !c->Options().Contains(pcoFixedTabWidthWhenRotated) &&
                       c->MaxRotatedTabWidth() <= 0;
        if (!rotated) return (A - L) / 2;
        Integer M = c->MaxRotatedCaptionWidth;
        switch (c->TabCaptionAlignment()) {
          case taLeftJustify:
            return (A - M) / 2;
          case taRightJustify:
            return M + (A - M) / 2 - L;
          default:
            return (A - L) / 2;
        }
      };
      bool captionOnlyAligned = IsAssignedImages() && c->Rotate();
      if (!tooNarrow && !captionOnlyAligned) pos += alignOffset(contentLength);
      if (hasImage) {
        placeAlong(imageRect, pos + c->ImageBorder(), imageAlong);
      }
      pos += imageSpace;
      if (!tooNarrow && captionOnlyAligned) pos += alignOffset(fitted);
      if (fitted > 0)
        placeAlong(textRect, pos, fitted);
      else
        textRect = TRect();
    }
  }
  if (!hasImage) imageRect = TRect();
  if (!hasCaption) textRect = TRect();
  InternalPrepareOutTabImageAndTextData(TabVisibleIndex, imageRect, textRect);
}

// ---------------------------------------------------------------------------
// The registry
// ---------------------------------------------------------------------------

namespace {
TObjectPtr<TcxPCPaintersFactory>& FactoryHolder() {
  static TObjectPtr<TcxPCPaintersFactory> factory;
  return factory;
}
}  // namespace

TcxPCPaintersFactory* PaintersFactory() { return FactoryHolder().get(); }

void RegisterPCPainterClass(TcxPCPainterClass AClass) {
  auto& factory = FactoryHolder();
  if (!factory) factory.reset(new TcxPCPaintersFactory());
  auto& list = factory->classes_;
  if (std::find(list.begin(), list.end(), AClass) == list.end())
    list.push_back(AClass);
}

void UnregisterPCPainterClass(TcxPCPainterClass AClass) {
  auto& factory = FactoryHolder();
  if (!factory) return;
  auto& list = factory->classes_;
  list.erase(std::remove(list.begin(), list.end(), AClass), list.end());
  if (list.empty()) factory.reset();
}

void TcxPCPaintersFactory::OutError(const String& AMethod,
                                    const String& AText) const {
  cxPCOutError("TcxPCPaintersFactory", AMethod, AText);
}

TcxPCPainterClass TcxPCPaintersFactory::GetPainterClass(
    TcxPCStyleID AStyleID) const {
  for (TcxPCPainterClass cls : classes_)
    if (cls->GetStyleID() == AStyleID) return cls;
  return nullptr;
}

TcxPCPainterClass TcxPCPaintersFactory::GetPainterClass(
    const String& AStyleName) const {
  String name = AnsiUpperCase(AStyleName);
  for (TcxPCPainterClass cls : classes_)
    if (AnsiUpperCase(cls->GetStyleName()) == name) return cls;
  return nullptr;
}

TcxPCPainterClass TcxPCPaintersFactory::GetPainterClass(
    TcxPCStandardStyle AStandardStyle) const {
  for (TcxPCPainterClass cls : classes_)
    if (cls->IsStandardStyle() && cls->GetStandardStyle() == AStandardStyle)
      return cls;
  return nullptr;
}

TcxPCStyleID TcxPCPaintersFactory::GetStyleID(
    TcxLookAndFeel* ALookAndFeel) const {
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->HasLookAndFeel(ALookAndFeel)) return (*it)->GetStyleID();
  return -1;
}

TcxPCStyleID TcxPCPaintersFactory::GetDefaultStyleID(
    TcxLookAndFeel* ALookAndFeel) const {
  if (classes_.empty())
    OutError("GetDefaultStyleID",
             cxPCGetResourceString(scxPCNoRegisteredStyles));
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->IsDefault(ALookAndFeel)) return (*it)->GetStyleID();
  return classes_.front()->GetStyleID();
}

TObjectPtr<TcxPCCustomPainter> TcxPCPaintersFactory::GetPainterInstance(
    TcxPCPainterClass AClass, TcxCustomTabControl* ATabControl) const {
  if (!AClass)
    OutError("GetPainterInstance",
             cxPCGetResourceString(scxPCPainterClassError));
  return AClass->NewPainter(ATabControl);
}

void TcxPCPaintersFactory::FreePainterInstance(
    TObjectPtr<TcxPCCustomPainter>& APainter) const {
  APainter.reset();
}

// ---------------------------------------------------------------------------
// TcxPCStandardPainter
// ---------------------------------------------------------------------------

namespace {

// Indexed by TcxPCStandardStyle, then thin (0) or thick (1).
constexpr Integer kDefaultTabNormalHeight[3] = {18, 20, 20};
constexpr Integer kDefaultTabNormalHTextOffset[3] = {2, 4, 4};
constexpr TcxPCDistance kTabsNormalDistance[3] = {{0, 0}, {3, 3}, {10, 3}};
constexpr TRect kDrawImageOffset[3][2] = {
    {TRect(6, 1, 0, 0), TRect(8, 1, 0, 3)},
    {TRect(6, -1, 0, 1), TRect(7, -1, 0, 1)},
    {TRect(6, -1, 0, 1), TRect(7, -1, 0, 1)}};
constexpr TRect kDrawTextHOffset[3][2] = {
    {TRect(5, 1, 5, -1), TRect(5, 1, 5, 2)},
    {TRect(6, 0, 4, 1), TRect(6, 0, 4, 1)},
    {TRect(6, 0, 4, 1), TRect(6, 0, 4, 1)}};
constexpr TcxPCWOffset kTabContentWOffset[3][2] = {
    {{2, 2}, {4, 4}}, {{3, 3}, {3, 3}}, {{2, 2}, {4, 2}}};
constexpr TcxPCWOffset kTooNarrowTabContentWOffset[3][2] = {
    {{2, 2}, {4, 4}}, {{3, 3}, {3, 3}}, {{2, 2}, {3, 2}}};
// By button, horizontal then vertical tab positions.
constexpr Integer kButtonWidth[4][2] = {{20, 20}, {20, 20}, {12, 13}, {20, 20}};
// Corner of the go-dialog button by tab position and navigator position.
constexpr Integer kGoDialogCorner[4][4] = {
    {0, 0, 2, 2}, {1, 1, 3, 3}, {0, 1, 0, 1}, {2, 3, 2, 3}};

}  // namespace

bool TcxPCStandardPainter::IsHorizontalTabPosition() const {
  return IsHorizontalPosition(ParentControl()->TabPosition());
}

bool TcxPCStandardPainter::IsMainTabBoundWithClient() const {
  return GetStandardStyle() == tsTabs;
}
bool TcxPCStandardPainter::IsMultiSelectionAccepted() const {
  return GetStandardStyle() != tsTabs;
}
bool TcxPCStandardPainter::IsTabPressable() const {
  return GetStandardStyle() != tsTabs;
}

bool TcxPCStandardPainter::IsTabBorderThick(Integer TabVisibleIndex) {
  return VisibleTab(TabVisibleIndex)->IsMainTab();
}

TRect TcxPCStandardPainter::GetDrawImageOffset(Integer TabVisibleIndex) {
  return kDrawImageOffset[GetStandardStyle()]
                         [IsTabBorderThick(TabVisibleIndex)];
}

TRect TcxPCStandardPainter::GetDrawTextHOffset(Integer TabVisibleIndex) {
  return kDrawTextHOffset[GetStandardStyle()]
                         [IsTabBorderThick(TabVisibleIndex)];
}

TcxPCWOffset TcxPCStandardPainter::GetTabContentWOffset(
    Integer TabVisibleIndex) {
  return kTabContentWOffset[GetStandardStyle()]
                           [IsTabBorderThick(TabVisibleIndex)];
}

TcxPCWOffset TcxPCStandardPainter::GetTooNarrowTabContentWOffset(
    Integer TabVisibleIndex) {
  return kTooNarrowTabContentWOffset[GetStandardStyle()]
                                    [IsTabBorderThick(TabVisibleIndex)];
}

TcxPCDistance TcxPCStandardPainter::GetTabsNormalDistance() {
  return kTabsNormalDistance[GetStandardStyle()];
}

Integer TcxPCStandardPainter::GetDefaultTabNormalHeight() {
  return kDefaultTabNormalHeight[GetStandardStyle()];
}

Integer TcxPCStandardPainter::GetDefaultTabNormalHTextOffset() {
  return kDefaultTabNormalHTextOffset[GetStandardStyle()];
}

Integer TcxPCStandardPainter::GetButtonWidth(TcxPCNavigatorButton AButton) {
  return kButtonWidth[AButton][IsHorizontalTabPosition() ? 0 : 1];
}

TColor TcxPCStandardPainter::GetButtonContentColor(
    TcxPCNavigatorButtonState AState) {
  return AState == nbsHotTrack ? GetHotTrackColor() : clBtnText;
}

TColor TcxPCStandardPainter::GetFreeSpaceColor() {
  return ParentInfo()->Color();
}

Integer TcxPCStandardPainter::GetTabNormalWidth(Integer TabVisibleIndex) {
  if (!IsAssignedImages() ||
      (TabVisibleIndex != -1 && !IsTabHasImage(TabVisibleIndex) &&
       !ParentControl()->Rotate()))
    return 12;
  return GetTabBaseImageSize().cx + 2 * ParentControl()->ImageBorder() + 18;
}

Integer TcxPCStandardPainter::GetMinTabNormalWidth(Integer TabVisibleIndex) {
  return std::max(GetTabNormalWidth(TabVisibleIndex),
                  GetDefaultTabNormalWidth());
}

void TcxPCStandardPainter::CalculateTabNormalWidth(TcxTab* ATab) {
  Integer visibleIndex = ATab->VisibleIndex();
  Integer width;
  if (ParentControl()->TabWidth() > 0) {
    width = ParentControl()->TabWidth();
  } else {
    width = GetTabNormalWidth(visibleIndex);
    if (!ATab->Caption().empty())
      width += ParentControl()->TextSize(ATab, ATab->Caption()).cx;
  }
  ATab->NormalWidth = std::max(width, GetMinTabNormalWidth(visibleIndex));
}

Integer TcxPCStandardPainter::InternalCalculateTabNormalHeight() {
  Integer imageHeight =
      IsAssignedImages()
          ? GetTabBaseImageSize().cy + 2 * ParentControl()->ImageBorder() + 6
          : 0;
  return std::max(imageHeight, GetMaxTabCaptionHeight() + 8);
}

Integer TcxPCStandardPainter::CorrectTabHeightForImage(Integer AHeight) {
  Integer imageHeight = GetTabBaseImageSize().cy;
  if (ParentControl()->Rotate() && imageHeight > 0 &&
      (AHeight - imageHeight) % 2 != 0)
    ++AHeight;
  return AHeight;
}

Integer TcxPCStandardPainter::CalculateTabNormalHeight() {
  Integer h =
      std::max(InternalCalculateTabNormalHeight(), GetDefaultTabNormalHeight());
  h = CorrectTabHeightForImage(h);
  return std::max<Integer>(h, ParentControl()->TabHeight());
}

TRect TcxPCStandardPainter::GetFrameRect() {
  TRect R = GetDisplayRect();
  Integer minSize = GetMinFrameRectSize();
  if (R.Width() < minSize) R.Right = R.Left + minSize;
  if (R.Height() < minSize) R.Bottom = R.Top + minSize;
  return R;
}

void TcxPCStandardPainter::PaintFrame() {
  TRect frame = GetFrameRect();
  PaintFrameBorder(frame);
  // The page area is filled after the frame and must leave it alone.
  auto ring = std::make_unique<TcxRegion>(frame);
  Integer w = GetFrameWidth();
  ring->Combine(new TcxRegion(cxRectInflate(frame, -w, -w)), roSubtract);
  Canvas()->SetClipRegion(ring.release(), roSubtract);
}

void TcxPCStandardPainter::PaintFrameBorder(const TRect& R) {
  Canvas()->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
  Canvas()->DrawComplexFrame(cxRectInflate(R, -1, -1), cl3DLight, clBtnShadow);
}

void TcxPCStandardPainter::InternalDrawEdge(const TRect& ARect, bool APressed,
                                            bool AFlat) {
  const TRect& r = ARect;
  TPoint outerLT[3] = {TPoint(r.Left, r.Bottom - 2), TPoint(r.Left, r.Top),
                       TPoint(r.Right - 2, r.Top)};
  TPoint outerRB[3] = {TPoint(r.Left, r.Bottom - 1),
                       TPoint(r.Right - 1, r.Bottom - 1),
                       TPoint(r.Right - 1, r.Top)};
  if (AFlat) {
    InternalPolyLine(outerLT, 2, nullptr, APressed ? cl3DDkShadow : cl3DLight);
    InternalPolyLine(outerRB, 2, nullptr, APressed ? cl3DLight : cl3DDkShadow);
    return;
  }
  TPoint innerLT[3] = {TPoint(r.Left + 1, r.Bottom - 3),
                       TPoint(r.Left + 1, r.Top + 1),
                       TPoint(r.Right - 3, r.Top + 1)};
  TPoint innerRB[3] = {TPoint(r.Left + 1, r.Bottom - 2),
                       TPoint(r.Right - 2, r.Bottom - 2),
                       TPoint(r.Right - 2, r.Top + 1)};
  InternalPolyLine(outerLT, 2, nullptr, APressed ? clBtnShadow : cl3DLight);
  InternalPolyLine(innerLT, 2, nullptr,
                   APressed ? cl3DDkShadow : clBtnHighlight);
  InternalPolyLine(outerRB, 2, nullptr,
                   APressed ? clBtnHighlight : cl3DDkShadow);
  InternalPolyLine(innerRB, 2, nullptr, APressed ? cl3DLight : clBtnShadow);
}

void TcxPCStandardPainter::GetButtonsOrder(
    TcxPCNavigatorButtons AButtons, std::vector<TcxPCNavigatorButton>& AOrder) {
  TcxPCNavigatorPosition np = ParentControl()->NavigatorPosition();
  bool closeFirst = IsHorizontalTabPosition()
                        ? (np == npLeftTop || np == npLeftBottom)
                        : (np == npLeftTop || np == npRightTop);
  static constexpr TcxPCNavigatorButton kCloseFirst[4] = {
      nbClose, nbTopLeft, nbBottomRight, nbGoDialog};
  static constexpr TcxPCNavigatorButton kCloseLast[4] = {
      nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
  AOrder.clear();
  for (TcxPCNavigatorButton b : closeFirst ? kCloseFirst : kCloseLast)
    if (AButtons.Contains(b)) AOrder.push_back(b);
}

Integer TcxPCStandardPainter::GetButtonsWidth(TcxPCNavigatorButtons AButtons) {
  std::vector<TcxPCNavigatorButton> order;
  GetButtonsOrder(AButtons, order);
  Integer width = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    width += GetButtonWidth(order[i]);
    if (i + 1 < order.size())
      width += GetButtonsDistance(order[i], order[i + 1]);
  }
  return width;
}

Integer TcxPCStandardPainter::CalculateButtonsRegionWidth(
    TcxPCNavigatorButtons AButtons) {
  if (AButtons.Empty()) return 0;
  return GetButtonsWidth(AButtons) + GetButtonsRegionWOffset() +
         GetButtonsRegionFromTabsOffset();
}

TRect TcxPCStandardPainter::CalculateButtonsRect(
    TcxPCNavigatorButtons AButtons) {
  TcxCustomTabControl* c = ParentControl();
  Integer h = GetButtonHeight();
  Integer w = GetButtonsWidth(AButtons);
  TcxPCNavigatorPosition np = c->NavigatorPosition();
  Integer left, top;
  if (IsHorizontalTabPosition()) {
    left = (np == npRightTop || np == npRightBottom)
               ? c->Width() - w - GetButtonsRegionWOffset()
               : GetButtonsRegionWOffset();
    top = c->TabPosition() == tpBottom
              ? c->Height() - h - GetButtonsRegionHOffset()
              : GetButtonsRegionHOffset();
    return Bounds(left, top, w, h);
  }
  left = c->TabPosition() == tpRight
             ? c->Width() - h - GetButtonsRegionHOffset()
             : GetButtonsRegionHOffset();
  top = (np == npLeftBottom || np == npRightBottom)
            ? c->Height() - w - GetButtonsRegionWOffset()
            : GetButtonsRegionWOffset();
  return Bounds(left, top, h, w);
}

void TcxPCStandardPainter::CalculateButtonsRegion(
    TcxPCNavigatorButtons AButtons) {
  navigatorButtons_.clear();
  buttonsRegion_ = TRect();
  if (AButtons.Empty()) return;
  buttonsRegion_ = CalculateButtonsRect(AButtons);
  std::vector<TcxPCNavigatorButton> order;
  GetButtonsOrder(AButtons, order);
  bool horizontal = IsHorizontalTabPosition();
  Integer pos = horizontal ? buttonsRegion_.Left : buttonsRegion_.Top;
  for (std::size_t i = 0; i < order.size(); ++i) {
    Integer w = GetButtonWidth(order[i]);
    TRect r = horizontal
                  ? Bounds(pos, buttonsRegion_.Top, w, GetButtonHeight())
                  : Bounds(buttonsRegion_.Left, pos, GetButtonHeight(), w);
    navigatorButtons_.push_back({order[i], r});
    pos += w;
    if (i + 1 < order.size()) pos += GetButtonsDistance(order[i], order[i + 1]);
  }
}

void TcxPCStandardPainter::GetTabsPosition(
    TcxPCNavigatorButtons ANavigatorButtons, TcxPCTabsPosition& ATabsPosition) {
  TcxCustomTabControl* c = ParentControl();
  TRect o = GetTabsRectOffset();
  TRect R(o.Left, o.Top, c->Width() - o.Right, c->Height() - o.Bottom);
  TRect container = c->IsTabsContainer() ? RotateRect(GetTabsContainerOffsets(),
                                                      c->TabPosition())
                                         : TRect();
  if (ANavigatorButtons.Empty()) {
    R = TRect(R.Left + container.Left, R.Top + container.Top,
              R.Right - container.Right, R.Bottom - container.Bottom);
  } else {
    // Across the row only the offset on the strip's own edge applies.
    TRect top = RotateRect(TRect(0, GetTabsContainerOffsets().Top, 0, 0),
                           c->TabPosition());
    if (!c->IsTabsContainer()) top = TRect();
    R = TRect(R.Left + top.Left, R.Top + top.Top, R.Right - top.Right,
              R.Bottom - top.Bottom);
    Integer buttonsWidth = CalculateButtonsRegionWidth(ANavigatorButtons);
    TcxPCNavigatorPosition np = c->NavigatorPosition();
    if (IsHorizontalTabPosition()) {
      if (np == npRightTop || np == npRightBottom) {
        R.Right -= buttonsWidth;
        R.Left += container.Left;
      } else {
        R.Left += buttonsWidth;
        R.Right -= container.Right;
      }
    } else {
      if (np == npLeftBottom || np == npRightBottom) {
        R.Bottom -= buttonsWidth;
        R.Top += container.Top;
      } else {
        R.Top += buttonsWidth;
        R.Bottom -= container.Bottom;
      }
    }
  }
  ATabsPosition.ExtendedTabsRect = R;
  ATabsPosition.RowLength = IsHorizontalTabPosition() ? R.Width() : R.Height();
  ATabsPosition.NormalTabsRect = R;
  ATabsPosition.TopOrLeftPartExtension = 0;
  ATabsPosition.BottomOrRightPartExtension = 0;
  ATabsPosition.PartsDistance = GetTabsNormalDistance().dh;
  CalculateButtonsRegion(ANavigatorButtons);
}

TRect TcxPCStandardPainter::GetGoDialogButtonBounds() {
  for (const auto& b : navigatorButtons_)
    if (b.Button == nbGoDialog) return b.Rect;
  return TRect();
}

bool TcxPCStandardPainter::IsOverButton(Integer X, Integer Y,
                                        TcxPCNavigatorButton& AButton) {
  for (const auto& b : navigatorButtons_)
    if (PtInRect(b.Rect, TPoint(X, Y))) {
      AButton = b.Button;
      return true;
    }
  return false;
}

TPoint TcxPCStandardPainter::GetGoDialogPosition(const TSize& AGoDialogSize) {
  TRect b;
  bool found = false;
  for (const auto& p : navigatorButtons_)
    if (p.Button == nbGoDialog) {
      b = p.Rect;
      found = true;
    }
  TPoint result;
  if (!found) return result;
  Integer corner = kGoDialogCorner[ParentControl()->TabPosition()]
                                  [ParentControl()->NavigatorPosition()];
  result.X = (corner == 0 || corner == 1) ? b.Left : b.Right - AGoDialogSize.cx;
  result.Y = (corner == 0 || corner == 2) ? b.Bottom : b.Top - AGoDialogSize.cy;
  return ParentControl()->ClientToScreen(result);
}

void TcxPCStandardPainter::InternalPrepareOutTabImageAndTextData(
    Integer TabVisibleIndex, const TRect& AImageRect, const TRect& ATextRect) {
  OutTabImageAndTextData.TabVisibleIndex = TabVisibleIndex;
  OutTabImageAndTextData.TabImageRect = AImageRect;
  OutTabImageAndTextData.TabTextRect = ATextRect;
}

void TcxPCStandardPainter::RepaintButton(TcxPCNavigatorButton AButton,
                                         TcxPCNavigatorButtonState) {
  for (const auto& b : navigatorButtons_)
    if (b.Button == AButton) InternalInvalidateRect(b.Rect);
}

void TcxPCStandardPainter::RepaintButtonsRegion() {
  if (!ParentControl()->NavigatorButtons.Empty())
    InternalInvalidateRect(buttonsRegion_);
}

void TcxPCStandardPainter::RepaintTab(Integer TabVisibleIndex,
                                      TcxPCTabPropertyChanged) {
  if (ParentControl()->InternalIsVerticalText())
    VisibleTab(TabVisibleIndex)->ResetVerticalTextBitmap();
  InvalidateTabRect(TabVisibleIndex);
}

TcxPCArrow TcxPCStandardPainter::GetButtonArrow(TcxPCNavigatorButton AButton) {
  if (AButton == nbGoDialog) return aBottom;
  bool horizontal = IsHorizontalTabPosition();
  if (AButton == nbTopLeft) return horizontal ? aLeft : aTop;
  return horizontal ? aRight : aBottom;
}

void TcxPCStandardPainter::CalculateButtonContentParameters(
    TcxPCNavigatorButton, TcxPCNavigatorButtonState AState,
    TcxPCNavigatorButtonContentParameters& AParameters) {
  AParameters.BrushColor = GetButtonContentColor(AState);
  AParameters.PenColor = AParameters.BrushColor;
  AParameters.Enabled = ParentControl()->Enabled() && AState != nbsDisabled;
  AParameters.IsThinGlyph = false;
}

TPoint TcxPCStandardPainter::GetButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  return GetButtonCenteredContentPosition(AButton, AState);
}

TPoint TcxPCStandardPainter::GetButtonCenteredContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  bool horizontal = IsHorizontalTabPosition();
  TSize content;
  if (AButton == nbClose) {
    content = TSize{8, 7};
  } else {
    Integer a = AButton == nbGoDialog ? 4 : 5;
    content = TSize{a, 2 * a - 1};
  }
  if (AButton == nbGoDialog || !horizontal) std::swap(content.cx, content.cy);
  TSize box{GetButtonWidth(AButton), GetButtonHeight()};
  if (!horizontal) std::swap(box.cx, box.cy);
  TPoint p((box.cx - content.cx) / 2, (box.cy - content.cy) / 2);
  if (AButton == nbGoDialog) p.Y += 1;
  if (AState == nbsPressed) {
    if (AButton != nbGoDialog) p.X += 1;
    p.Y += 1;
  }
  return p;
}

TPoint TcxPCStandardPainter::Get3DButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  TPoint p;
  if (AButton == nbGoDialog) {
    p = IsHorizontalTabPosition() ? TPoint(2, 8) : TPoint(6, 4);
  } else if (AButton == nbClose) {
    p = TPoint(5, 5);
  } else {
    switch (GetButtonArrow(AButton)) {
      case aLeft:
        p = TPoint(6, 5);
        break;
      case aRight:
        p = TPoint(8, 5);
        break;
      default:
        p = TPoint(5, 7);
        break;
    }
  }
  if (AState == nbsPressed) p = TPoint(p.X + 1, p.Y + 1);
  return p;
}

namespace {

void DrawGlyph(TcxCanvas* ACanvas, TcxPCNavigatorButton AButton,
               TcxPCArrow AArrow, bool AHorizontal, bool AThin,
               const TPoint& P) {
  if (AButton == nbClose) {
    auto line = [&](Integer x0, Integer y0, Integer x1, Integer y1) {
      ACanvas->MoveTo(P.X + x0, P.Y + y0);
      ACanvas->LineTo(P.X + x1, P.Y + y1);
    };
    if (!AThin) {
      line(1, 0, 8, 7);
      line(0, 0, 8, 8);
      line(0, 1, 7, 8);
      line(0, 7, 7, 0);
      line(0, 8, 8, 0);
      line(1, 8, 8, 1);
    } else if (AHorizontal) {
      line(1, 0, 7, 6);
      line(0, 0, 6, 6);
      line(0, 6, 6, 0);
      line(1, 6, 7, 0);
    } else {
      line(0, 0, 6, 6);
      line(0, 1, 6, 7);
      line(0, 6, 6, 0);
      line(0, 7, 6, 1);
    }
    return;
  }
  static constexpr TPoint kUnit[4][3] = {
      {TPoint(0, 1), TPoint(1, 0), TPoint(2, 1)},
      {TPoint(0, 0), TPoint(2, 0), TPoint(1, 1)},
      {TPoint(0, 1), TPoint(1, 0), TPoint(1, 2)},
      {TPoint(0, 0), TPoint(1, 1), TPoint(0, 2)}};
  Integer scale = AButton == nbGoDialog ? 3 : 4;
  std::vector<TPoint> points;
  for (const TPoint& u : kUnit[AArrow])
    points.emplace_back(P.X + u.X * scale, P.Y + u.Y * scale);
  ACanvas->Polygon(points);
}

}  // namespace

void TcxPCStandardPainter::DrawButtonContent(
    TcxPCNavigatorButton AButton,
    const TcxPCNavigatorButtonContentParameters& AParams, const TPoint& P) {
  TcxCanvas* canvas = Canvas();
  TcxPCArrow arrow = GetButtonArrow(AButton);
  bool horizontal = IsHorizontalTabPosition();
  auto draw = [&](TColor ABrush, TColor APen, const TPoint& AAt) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(ABrush);
    canvas->Pen()->SetColor(APen);
    DrawGlyph(canvas, AButton, arrow, horizontal, AParams.IsThinGlyph, AAt);
  };
  if (AParams.Enabled) {
    draw(AParams.BrushColor, AParams.PenColor, P);
  } else {
    draw(GetDisabledTextFaceColor(), GetDisabledTextFaceColor(),
         TPoint(P.X + 1, P.Y + 1));
    draw(GetDisabledTextShadowColor(), GetDisabledTextShadowColor(), P);
  }
  canvas->Brush()->SetStyle(bsSolid);
}

void TcxPCStandardPainter::PaintButtonFrame(TRect& ARect,
                                            TcxPCNavigatorButtonState AState) {
  InternalDrawEdge(ARect, AState == nbsPressed, false);
  ARect = cxRectInflate(ARect, -2, -2);
}

void TcxPCStandardPainter::PaintButtonBackground(
    TRect& ARect, TcxPCNavigatorButtonState AState) {
  Canvas()->FillRect(ARect, GetButtonColor(AState));
}

void TcxPCStandardPainter::PaintButton(TcxPCNavigatorButton AButton,
                                       const TRect& ARect) {
  TcxPCNavigatorButtonState state = ParentInfo()->NavigatorButtonState(AButton);
  TRect r = ARect;
  PaintButtonFrame(r, state);
  PaintButtonBackground(r, state);
  TcxPCNavigatorButtonContentParameters params;
  CalculateButtonContentParameters(AButton, state, params);
  TPoint p = GetButtonContentPosition(AButton, state);
  DrawButtonContent(AButton, params, TPoint(ARect.Left + p.X, ARect.Top + p.Y));
}

void TcxPCStandardPainter::PaintButtonsRegion() {
  if (ParentControl()->NavigatorButtons.Empty()) return;
  for (const auto& b : navigatorButtons_) {
    if (!Canvas()->RectVisible(b.Rect)) continue;
    if (InternalSetClipRect(b.Rect)) {
      PaintButton(b.Button, b.Rect);
      InternalResetClipRegion();
    }
    Canvas()->ExcludeClipRect(b.Rect);
  }
}

void TcxPCStandardPainter::PaintTabsRegion() {
  Integer first, last;
  ParentControl()->InitializeVisibleTabRange(first, last);
  for (Integer i = first; i <= last && i >= 0; ++i) PaintTab(i);
}

void TcxPCStandardPainter::PaintTab(Integer TabVisibleIndex) {
  TcxRegion* rgn = GetTabClipRgn(TabVisibleIndex);
  TObjectPtr<TcxRegion> tabRegion(rgn);
  SaveClipRgn();
  auto clip = std::make_unique<TcxRegion>();
  clip->Combine(tabRegion.get(), roSet, false);
  Canvas()->SetClipRegion(clip.release(),
                          GetTabClipRgnOperation(TabVisibleIndex));
  bool customDrawn = IsCustomDraw() && DoCustomDraw(TabVisibleIndex);
  if (!customDrawn) {
    if (IsNativePainting()) PrepareTabBackground(TabVisibleIndex);
    DrawTabImageAndText(TabVisibleIndex);
    PaintTabShape(TabVisibleIndex);
  }
  RestoreClipRgn();
  if (customDrawn || !IsTabTransparent(TabVisibleIndex)) {
    AfterPaintTab(TabVisibleIndex);
    Canvas()->SetClipRegion(tabRegion.release(), roSubtract);
  } else {
    ExcludeTabContentClipRegion(TabVisibleIndex);
  }
}

void TcxPCStandardPainter::InternalDrawFocusRect(Integer TabVisibleIndex,
                                                 const TRect& R) {
  TcxTab* tab = VisibleTab(TabVisibleIndex);
  if (!InternalSetClipRect(tab->VisibleRect())) return;
  if (tab->RealEnabled() && tab->IsMainTab() && ParentControl()->Focused()) {
    Canvas()->Pen()->SetColor(ParentControl()->Font()->Color());
    Canvas()->DrawFocusRect(cxRectInflate(R, -1, -1));
  }
  InternalResetClipRegion();
}

void TcxPCStandardPainter::Paint() {
  TcxPCCustomPainter::Paint();
  TRect R(0, 0, ParentControl()->Width(), ParentControl()->Height());
  Canvas()->FillRect(R, GetFreeSpaceColor());
}

// ---------------------------------------------------------------------------
// Routines shared by the painters
// ---------------------------------------------------------------------------

void DrawBorder(TcxCanvas* ACanvas, TRect& R, const TcxBorder* ABorders,
                const TColor* AColors, Integer ACount, bool AExclude) {
  TRect start = R;
  for (Integer i = 0; i < ACount; ++i) {
    ACanvas->Pen()->SetColor(AColors[i]);
    switch (ABorders[i]) {
      case bLeft:
        ACanvas->FillRect(TRect(R.Left, R.Top, R.Left + 1, R.Bottom),
                          AColors[i]);
        ++R.Left;
        break;
      case bTop:
        ACanvas->FillRect(TRect(R.Left, R.Top, R.Right, R.Top + 1), AColors[i]);
        ++R.Top;
        break;
      case bRight:
        ACanvas->FillRect(TRect(R.Right - 1, R.Top, R.Right, R.Bottom),
                          AColors[i]);
        --R.Right;
        break;
      case bBottom:
        ACanvas->FillRect(TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom),
                          AColors[i]);
        --R.Bottom;
        break;
    }
  }
  if (AExclude) {
    auto ring = std::make_unique<TcxRegion>(start);
    ring->Combine(new TcxRegion(R), roSubtract);
    ACanvas->SetClipRegion(ring.release(), roSubtract);
  }
}

TcxLookAndFeelStyle cxPCLookAndFeelPainterKind(TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel->GetAvailablePainter(TdxThemedObjectTypes{totTab})
      ->LookAndFeelStyle();
}

void GetRectSize(const TRect& R, bool AHorizontal, Integer& ALength,
                 Integer& AThickness) {
  ALength = AHorizontal ? R.Width() : R.Height();
  AThickness = AHorizontal ? R.Height() : R.Width();
}

void ExchangeValues(Integer& A, Integer& B) { std::swap(A, B); }

TcxPCDistance RotateTabsDistance(const TcxPCDistance& ADistance) {
  return {ADistance.dh, ADistance.dw};
}

TColor BrightenColor(TColor AColor, Integer APercent) {
  Integer rgb = ColorToRGB(AColor);
  Integer r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
  Integer mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double brightness = mx * 100.0 / 255;
  double saturation = mx == 0 ? 0 : 100 - mn * 100.0 / mx;
  double hue = 0;
  if (saturation != 0 && mx != mn) {
    if (mx == r)
      hue = 60.0 * (g - b) / (mx - mn);
    else if (mx == g)
      hue = 60.0 * (b - r) / (mx - mn) + 120;
    else
      hue = 60.0 * (r - g) / (mx - mn) + 240;
    if (hue < 0) hue += 360;
  }
  brightness = std::min(100.0, brightness * (100 + APercent) / 100);
  if (brightness <= 0) return static_cast<TColor>(0);
  double vmax = brightness * 255 / 100;
  double vmin = vmax * (100 - saturation) / 100;
  double R = vmax, G = vmax, B = vmax;
  if (saturation != 0) {
    Integer sector = static_cast<Integer>(hue / 60) % 6;
    double f = (hue - sector * 60) / 60;
    double rising = vmin + (vmax - vmin) * f;
    double falling = vmax - (vmax - vmin) * f;
    switch (sector) {
      case 0:
        R = vmax;
        G = rising;
        B = vmin;
        break;
      case 1:
        R = falling;
        G = vmax;
        B = vmin;
        break;
      case 2:
        R = vmin;
        G = vmax;
        B = rising;
        break;
      case 3:
        R = vmin;
        G = falling;
        B = vmax;
        break;
      case 4:
        R = rising;
        G = vmin;
        B = vmax;
        break;
      default:
        R = vmax;
        G = vmin;
        B = falling;
        break;
    }
  }
  return static_cast<TColor>(RGB(static_cast<Integer>(R),
                                 static_cast<Integer>(G),
                                 static_cast<Integer>(B)));
}

TColor cxPCLightBrushColor() {
  static const TColor color = [] {
    Integer rgb = ColorToRGB(clBtnFace);
    auto up = [](Integer v) { return std::min(255, v + 20); };
    return static_cast<TColor>(
        RGB(up(GetRValue(rgb)), up(GetGValue(rgb)), up(GetBValue(rgb))));
  }();
  return color;
}
