// Item controls: their view info, draw parameters, sizes, hot and pressed
// states, clicks and painting.
#include <algorithm>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxDrawTextUtils.h"
#include "dxBar.h"

namespace {

Integer LevelIndex(TdxBarItemViewLevel ALevel) {
  return static_cast<Integer>(ALevel);
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxBarItemControlViewInfo
// ---------------------------------------------------------------------------

TdxBarItemControlViewInfo::TdxBarItemControlViewInfo(
    TdxBarItemControl* AControl)
    : control_(AControl) {
  const TdxBarItemViewLevels possible = AControl->GetPossibleViewLevels();
  if (possible.Empty()) {
    throw Exception(AControl->ClassName() + ".GetPossibleViewLevels = []");
  }
  allowedLevels_ = AControl->GetViewLevels();
  compactLevel_ = GetMinViewLevel(possible);
  buttonGroupLevel_ = GetMinViewLevel(allowedLevels_);
  if (buttonGroupLevel_ == ivlLargeIconWithText) {
    buttonGroupLevel_ = compactLevel_;
  }
  ResetCachedValues();
}

TdxBarItemControlViewInfo::~TdxBarItemControlViewInfo() {
  if (!control_) return;
  TCustomdxBarControl* bar = control_->Parent();
  if (bar && !bar->ComponentState().Contains(csDestroying) && bar->ViewInfo()) {
    bar->ViewInfo()->RemoveItemControlViewInfo(this);
  }
}

TdxBarItemAlign TdxBarItemControlViewInfo::GetAlign() const {
  return control_->Item() ? control_->Item()->Align() : iaLeft;
}

TdxBarItemPosition TdxBarItemControlViewInfo::GetPosition() const {
  return control_->ItemLink() ? control_->ItemLink()->Position()
                              : ipBeginsNewRow;
}

TdxBarButtonGroupPosition TdxBarItemControlViewInfo::GetPositionInButtonGroup()
    const {
  return control_->CanBePartOfButtonGroup() && control_->ItemLink()
             ? control_->ItemLink()->ButtonGroup()
             : bgpNone;
}

Integer TdxBarItemControlViewInfo::GetWidth(TdxBarItemViewLevel ALevel) {
  if (ALevel == ivlDefault || !allowedLevels_.Contains(ALevel)) {
    throw Exception("Testing! The level is not allowed");
  }
  const Integer i = LevelIndex(ALevel);
  if (!widthValid_[i]) {
    widths_[i] = control_->GetWidthByViewLevel(ALevel);
    widthValid_[i] = true;
  }
  return widths_[i];
}

bool TdxBarItemControlViewInfo::HasSeparator() const {
  return control_->ItemLink() && control_->ItemLink()->BeginGroup();
}

void TdxBarItemControlViewInfo::ResetCachedValues() {
  std::fill(std::begin(widthValid_), std::end(widthValid_), false);
}

// ---------------------------------------------------------------------------
// TdxBarItemControl: construction
// ---------------------------------------------------------------------------

void TdxBarItemControl::Initialize(TdxBarItemLink* ALink) {
  link_ = ALink;
  barControl_ =
      ALink && ALink->Links() ? ALink->Links()->BarControl() : nullptr;
  drawParams_ = OwnedCast<TdxBarItemControlDrawParams>(
      GetDrawParamsClass()->NewInstance());
  drawParams_->ItemControl = this;
  viewInfo_.reset(new TdxBarItemControlViewInfo(this));
  CalcDrawingConsts();
  hotPart_ = dxBarNoHotPart;
  CalcDrawParams(true);
  if (barControl_) {
    viewInfo_->SetViewLevel(barControl_->GetItemControlDefaultViewLevel(this));
  }
}

TdxBarItemControl::~TdxBarItemControl() {
  if (auto gone = dxBarManagerSeams().AccessibilityOwnerGone) gone(this);
  TCustomdxBarControl* bar = barControl_;
  if (bar && TCustomdxBarControl::IsLive(bar)) {
    if (bar->trackedLink_ == link_) bar->trackedLink_ = nullptr;
    if (bar->clickedControl_ == this) bar->clickedControl_ = nullptr;
    TdxBarManager* manager = GetBarManager();
    if (bar->SelectedControl() == this && manager && !manager->IsDestroying() &&
        !manager->IsCustomizing()) {
      // The link is going: drop the selection without asking the control.
      bar->selectedLink_ = nullptr;
    }
  }
  cxClearObjectLinks(this);
}

TClass TdxBarItemControl::GetViewInfoClass() const {
  return TdxBarItemControlViewInfo::StaticClass();
}

TClass TdxBarItemControl::GetDrawParamsClass() const {
  return TdxBarItemControlDrawParams::StaticClass();
}

TdxBarItem* TdxBarItemControl::Item() const {
  return link_ ? link_->Item() : nullptr;
}

TdxBarManager* TdxBarItemControl::GetBarManager() const {
  return link_ ? link_->BarManager() : nullptr;
}

TRect TdxBarItemControl::GetItemBounds() const {
  return link_ ? link_->ItemRect : TRect{};
}

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

bool TdxBarItemControl::GetIsSelected() const {
  return barControl_ && barControl_->SelectedControl() == this &&
         (GetEnabled() || !mouseSelected_);
}

void TdxBarItemControl::SetPressed(bool Value) {
  if (pressed_ == Value) return;
  pressed_ = Value;
  PressedChanged();
}

Integer TdxBarItemControl::FindPartAtPos(const TPoint& P) const {
  const TRect bounds = GetItemBounds();
  if (!PtInRect(bounds, P)) return dxBarNoHotPart;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    if (PtInRect(parts_[i], P)) return static_cast<Integer>(i);
  }
  return dxBarInsideNoPart;
}

void TdxBarItemControl::CalcParts() {
  parts_.assign(static_cast<std::size_t>(GetPartCount()), GetItemBounds());
}

void TdxBarItemControl::DoCalculateParts() { CalcParts(); }

TdxBarItemAlign TdxBarItemControl::GetAlign() const {
  const TdxBarItemAlign align = Item() ? Item()->Align() : iaLeft;
  if (align != iaLeft && barControl_ &&
      barControl_->CanAlignControl(const_cast<TdxBarItemControl*>(this))) {
    return align;
  }
  return iaLeft;
}

bool TdxBarItemControl::GetEnabled() const {
  return Item() && Item()->GetEnabled();
}

String TdxBarItemControl::GetCaption() const {
  return link_ ? link_->Caption() : String();
}

String TdxBarItemControl::GetHint() const {
  return Item() ? Item()->Hint() : String();
}

TShortCut TdxBarItemControl::GetShortCut() const {
  return Item() ? Item()->ShortCut() : 0;
}

bool TdxBarItemControl::CanClicked() const { return true; }

bool TdxBarItemControl::CanSelect() const {
  // While customizing, an item of another manager cannot be selected.
  if (barControl_ && GetBarManager() && GetBarManager()->IsCustomizing() &&
      Item() && Item()->Owner() != GetBarManager()->Owner()) {
    return false;
  }
  return true;
}

bool TdxBarItemControl::CanCustomize() const {
  return Item() && barControl_ && barControl_->BarManager() &&
         GetBarManager() == barControl_->BarManager();
}

bool TdxBarItemControl::WantsDblClick() const {
  return (GetBarManager() && GetBarManager()->IsDesigning()) || IsExpandable();
}

bool TdxBarItemControl::GetUnclickAfterDoing() const {
  const auto* button = dynamic_cast<const TdxBarButton*>(Item());
  return button ? button->UnclickAfterDoing() : true;
}

bool TdxBarItemControl::CanVisuallyPressed() const {
  return !(barControl_ && barControl_->IsPopup());
}

// ---------------------------------------------------------------------------
// View levels and sizes
// ---------------------------------------------------------------------------

TdxBarItemViewLevels TdxBarItemControl::GetPossibleViewLevels() const {
  if (IconAssigned(cvsSmall)) return {ivlSmallIconWithText, ivlSmallIcon};
  return {ivlSmallIconWithText};
}

TdxBarItemViewLevels TdxBarItemControl::GetViewLevels() const {
  const TdxBarItemViewLevels possible = GetPossibleViewLevels();
  if (!link_) return possible;
  const TdxBarItemViewLevels narrowed = possible * link_->ViewLevels();
  return narrowed.Empty() ? possible : narrowed;
}

TdxBarItemControlViewSize TdxBarItemControl::GetDefaultViewSize() const {
  const TdxBarManager* manager = GetBarManager();
  return manager && manager->LargeIcons() ? cvsMedium : cvsSmall;
}

TdxBarItemControlViewSize TdxBarItemControl::GetViewSize() const {
  switch (viewInfo_ ? viewInfo_->GetViewLevel() : ivlDefault) {
    case ivlLargeIconWithText:
      return cvsLarge;
    case ivlSmallIconWithText:
    case ivlSmallIcon:
      return cvsSmall;
    default:
      return GetDefaultViewSize();
  }
}

TdxBarItemControlViewStructure TdxBarItemControl::GetViewStructure() const {
  switch (viewInfo_ ? viewInfo_->GetViewLevel() : ivlDefault) {
    case ivlLargeIconWithText:
    case ivlSmallIconWithText: {
      TdxBarItemControlViewStructure s{cpText};
      if (IconAssigned(GetViewSize())) s.Include(cpIcon);
      return s;
    }
    case ivlSmallIcon:
      return IconAssigned(GetViewSize())
                 ? TdxBarItemControlViewStructure{cpIcon}
                 : TdxBarItemControlViewStructure{};
    case ivlControlOnly:
      return {};
    default:
      return GetDefaultViewStructure();
  }
}

TdxBarPaintType TdxBarItemControl::GetPaintType() const {
  return barControl_ ? barControl_->GetPaintType() : ptHorz;
}

bool TdxBarItemControl::IsRotated() const {
  return barControl_ && barControl_->IsVertical();
}

Integer TdxBarItemControl::RotationDependentWidth(const TSize& S) const {
  return IsRotated() ? S.cy : S.cx;
}

Integer TdxBarItemControl::RotationDependentHeight(const TSize& S) const {
  return IsRotated() ? S.cx : S.cy;
}

bool TdxBarItemControl::GetCurrentImage(TdxBarItemControlViewSize AViewSize,
                                        TBitmap*& AGlyph,
                                        TCustomImageList*& AImages,
                                        Integer& AImageIndex) const {
  TdxBarItem* item = Item();
  AGlyph = nullptr;
  AImages = nullptr;
  AImageIndex = -1;
  if (!item) return false;
  AGlyph = AViewSize == cvsLarge ? item->LargeGlyph()
                                 : (link_ ? link_->Glyph() : item->Glyph());
  if (!IsGlyphAssigned(AGlyph)) AGlyph = nullptr;
  const TdxBarManager* manager = GetBarManager();
  if (manager) {
    AImages = AViewSize == cvsLarge && manager->LargeImages()
                  ? manager->LargeImages()
                  : manager->Images();
  }
  AImageIndex = AViewSize == cvsLarge && item->LargeImageIndex() != -1
                    ? item->LargeImageIndex()
                    : item->ImageIndex();
  return AGlyph || IsImageAssigned(AImages, AImageIndex);
}

bool TdxBarItemControl::IconAssigned(
    TdxBarItemControlViewSize AViewSize) const {
  TBitmap* glyph = nullptr;
  TCustomImageList* images = nullptr;
  Integer index = -1;
  return GetCurrentImage(AViewSize, glyph, images, index);
}

TSize TdxBarItemControl::GetGlyphSize(
    TdxBarItemControlViewSize AViewSize) const {
  TBitmap* glyph = nullptr;
  TCustomImageList* images = nullptr;
  Integer index = -1;
  if (GetCurrentImage(AViewSize, glyph, images, index)) {
    if (glyph) return {glyph->Width(), glyph->Height()};
    return {images->Width(), images->Height()};
  }
  if (AViewSize == cvsLarge) return {20, 20};
  const TdxBarManager* manager = GetBarManager();
  const Integer side = manager ? manager->ImageOptions()->CalcGlyphSize() : 16;
  return {side, side};
}

Integer TdxBarItemControl::GetTextSize() const {
  return textSize_ ? textSize_ : (barControl_ ? barControl_->TextSize() : 0);
}

Integer TdxBarItemControl::GetTextHeight() const {
  TcxCanvas* canvas = GetCanvas();
  return canvas ? canvas->TextHeight("Qq") : 0;
}

Integer TdxBarItemControl::GetTextWidth(const String& AText) {
  TcxCanvas* canvas = GetCanvas();
  return canvas ? canvas->TextWidth(AText) : 0;
}

Integer TdxBarItemControl::GetCaptionWidth() {
  return GetTextWidth(GetTextOf(GetCaption()));
}

Integer TdxBarItemControl::GetControlCaptionOffset() const {
  return barControl_ ? barControl_->Font()->Size() / 2 : 0;
}

Integer TdxBarItemControl::GetGlyphAreaWidth() {
  if (!drawParams_->ViewStructure.Contains(cpIcon)) return 0;
  return RotationDependentWidth(drawParams_->ButtonSize);
}

Integer TdxBarItemControl::GetCaptionAreaWidth() {
  if (!drawParams_->ViewStructure.Contains(cpText)) return 0;
  const Integer width = GetCaptionWidth();
  if (!drawParams_->ViewStructure.Contains(cpIcon)) {
    return width + 2 * GetControlCaptionOffset();
  }
  // The standard text indent after an icon.
  return width + 4;
}

Integer TdxBarItemControl::GetSmallHeight() {
  Integer h = 0;
  if (drawParams_->ViewStructure.Contains(cpText)) {
    h = std::max(GetTextSize(), 0);
  }
  if (drawParams_->ViewStructure.Contains(cpIcon)) {
    h = std::max(h, RotationDependentHeight(drawParams_->ButtonSize));
  }
  return h;
}

Integer TdxBarItemControl::GetLargeHeight() {
  const Integer h = RotationDependentHeight(GetGlyphSize(cvsLarge));
  if (!drawParams_->ViewStructure.Contains(cpText)) return h + 6;
  const TdxBarGlyphLayout layout = Item() ? Item()->GlyphLayout() : glTop;
  if (layout == glLeft || layout == glRight) {
    return std::max(h, GetTextSize()) + 6;
  }
  return h + GetTextSize() + 7;
}

Integer TdxBarItemControl::GetDefaultWidthVertLayout() {
  const Integer w = RotationDependentWidth(GetGlyphSize(cvsLarge));
  if (!drawParams_->ViewStructure.Contains(cpText)) return w + 10;
  const TdxBarGlyphLayout layout = Item() ? Item()->GlyphLayout() : glTop;
  if (layout == glTop || layout == glBottom) {
    return std::max(w, GetCaptionWidth() + 6) + 10;
  }
  return w + GetCaptionWidth() + 16;
}

Integer TdxBarItemControl::GetDefaultWidthHorzLayout() {
  return GetGlyphAreaWidth() + GetCaptionAreaWidth() + GetControlAreaWidth();
}

Integer TdxBarItemControl::GetDefaultHeightInSubMenu() {
  return barControl_ ? barControl_->GetDefaultItemHeight(this) : 0;
}

Integer TdxBarItemControl::GetDefaultWidthInSubMenu() {
  return GetDefaultWidthHorzLayout();
}

Integer TdxBarItemControl::InternalGetDefaultHeight() {
  return GetViewSize() == cvsLarge ? GetLargeHeight() : GetSmallHeight();
}

Integer TdxBarItemControl::InternalGetDefaultWidth() {
  return GetViewSize() == cvsLarge ? GetDefaultWidthVertLayout()
                                   : GetDefaultWidthHorzLayout();
}

Integer TdxBarItemControl::GetDefaultHeight() {
  if (barControl_ && barControl_->Kind() == bkSubMenu) {
    return GetDefaultHeightInSubMenu();
  }
  return IsRotated() ? InternalGetDefaultWidth() : InternalGetDefaultHeight();
}

Integer TdxBarItemControl::GetDefaultWidth() {
  if (GetPaintType() == ptMenu) return GetDefaultWidthInSubMenu();
  return IsRotated() ? InternalGetDefaultHeight() : InternalGetDefaultWidth();
}

Integer TdxBarItemControl::GetRealWidth() {
  CalcDrawParams(false);
  if (GetAlign() == iaClient &&
      !(barControl_ && barControl_->IsRealVertical())) {
    return GetMinWidth();
  }
  return std::max(GetDefaultWidth(), GetMinWidth());
}

Integer TdxBarItemControl::GetRealHeight() {
  CalcDrawParams(false);
  if (GetAlign() == iaClient && barControl_ && barControl_->IsRealVertical()) {
    return barControl_->IsVertical() ? GetMinWidth() : GetMinHeight();
  }
  return GetDefaultHeight();
}

Integer TdxBarItemControl::GetWidthByViewLevel(TdxBarItemViewLevel ALevel) {
  const TdxBarItemViewLevel saved = viewInfo_->GetViewLevel();
  TScopeGuard restore([&] { viewInfo_->SetViewLevel(saved); });
  viewInfo_->SetViewLevel(ALevel);
  return GetRealWidth();
}

void TdxBarItemControl::ResetCachedValues(bool AAll) {
  if (AAll && viewInfo_) viewInfo_->ResetCachedValues();
}

// ---------------------------------------------------------------------------
// Notices
// ---------------------------------------------------------------------------

void TdxBarItemControl::Changed(TdxBarItemControlChange AChange) {
  switch (AChange) {
    case iccCaption:
      CaptionChanged();
      break;
    case iccEnabled:
      EnabledChanged();
      break;
    case iccGlyph:
      GlyphChanged();
      break;
    case iccLargeGlyph:
      LargeGlyphChanged();
      break;
    case iccWidth:
      WidthChanged();
      break;
    case iccVisible:
      VisibleChanged();
      break;
    case iccParts:
      PartsChanged();
      break;
    case iccDrawingConsts:
      CalcDrawingConsts();
      break;
    case iccBeginGroup:
      BeginGroupChanged();
      break;
    default:
      Repaint();
      break;
  }
}

void TdxBarItemControl::BeginGroupChanged() {
  if (barControl_) barControl_->RepaintBar();
}

void TdxBarItemControl::CaptionChanged() {
  if (Item() && Item()->Align() == iaClient) {
    Repaint();
  } else if (barControl_) {
    ResetCachedValues(true);
    barControl_->RepaintBar();
  }
}

void TdxBarItemControl::EnabledChanged() {
  if (!GetEnabled() && barControl_ && barControl_->SelectedControl() == this) {
    barControl_->selectedLink_ = nullptr;
  }
  Repaint();
}

void TdxBarItemControl::GlyphChanged() {
  ResetCachedValues(true);
  const bool levelsChanged =
      viewInfo_ && viewInfo_->GetAllowedViewLevels() != GetViewLevels();
  const bool iconChanged = GetViewStructure().Contains(cpIcon) !=
                           drawParams_->ViewStructure.Contains(cpIcon);
  if ((levelsChanged || iconChanged) && barControl_) {
    barControl_->RepaintBar();
  } else {
    Repaint();
  }
}

void TdxBarItemControl::LargeGlyphChanged() {
  if (GetViewSize() != cvsLarge) return;
  if (GetPaintType() == ptMenu || !barControl_) {
    Repaint();
  } else {
    barControl_->RepaintBar();
  }
}

void TdxBarItemControl::PartsChanged() {
  DoCalculateParts();
  Repaint();
}

void TdxBarItemControl::PressedChanged() {
  if (!pressed_) Repaint();
}

void TdxBarItemControl::VisibleChanged() {
  if (barControl_) barControl_->RepaintBar();
}

void TdxBarItemControl::WidthChanged() {
  ResetCachedValues(true);
  if (dynamic_cast<TdxBarControl*>(barControl_)) barControl_->RepaintBar();
}

void TdxBarItemControl::Repaint() {
  if (barControl_) barControl_->UpdateItem(this);
}

// ---------------------------------------------------------------------------
// Hot tracking and clicks
// ---------------------------------------------------------------------------

void TdxBarItemControl::CheckHotTrack(const TPoint& P) {
  if (!GetEnabled()) {
    hotPart_ = dxBarNoHotPart;
    return;
  }
  const Integer part = FindPartAtPos(P);
  if (part == hotPart_) return;
  hotPart_ = part;
  Repaint();
}

void TdxBarItemControl::ControlActivate(bool) { activated_ = true; }

void TdxBarItemControl::ControlInactivate(bool) { activated_ = false; }

void TdxBarItemControl::ControlClick(bool, char) {}

void TdxBarItemControl::ControlGetFocus(bool) {
  if (!barControl_) return;
  barControl_->isDowned_ = false;
  barControl_->SetKeySelectedItem(this);
}

void TdxBarItemControl::Click(bool AByMouse) {
  if (!GetEnabled()) return;
  TCustomdxBarControl* bar = barControl_;
  ControlClick(AByMouse, 0);
  if (TCustomdxBarControl::IsLive(bar) && bar->IsControlExists(this)) {
    ControlUnclick(AByMouse);
  }
}

void TdxBarItemControl::ControlUnclick(bool) {
  TdxBarItemLink* realLink = link_ ? link_->GetRealItemLink() : nullptr;
  TdxBarItem* item = Item();
  const bool clickable = CanClicked();
  const bool closing = IsDestroyOnClick();
  if (closing && realLink) {
    try {
      realLink->BringToTopInRecentList(true);
      if (link_ != realLink) link_->BringToTopInRecentList(true);
    } catch (...) {
      // The recent order is a convenience; the click goes on without it.
    }
  }
  // The click may free this control (its bar closes, the handler frees the
  // bar): everything after it goes through the weak links.
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard releaseSelf([&] { cxRemoveObjectLink(self); });
  const bool pressed =
      GetUnclickAfterDoing() && (!closing || CanVisuallyPressed());
  if (pressed) SetPressed(true);
  TScopeGuard unpress([&] {
    if (pressed && self->Target) SetPressed(false);
  });
  if (closing) {
    if (barControl_) barControl_->HideAll();
  } else if (!realLink) {
    realLink = link_;
  }
  if (!clickable || !item) return;
  TcxObjectLink* itemLink = cxAddObjectLink(item);
  TScopeGuard releaseItem([&] {
    if (itemLink->Target) item->SetClickItemLink(nullptr);
    cxRemoveObjectLink(itemLink);
  });
  item->SetClickItemLink(realLink);
  item->DirectClick();
}

// ---------------------------------------------------------------------------
// Hints
// ---------------------------------------------------------------------------

bool TdxBarItemControl::HasHint() const {
  return !GetHint().empty() && dynamic_cast<TdxBarControl*>(barControl_);
}

bool TdxBarItemControl::DoHint(bool& ASuppressed, String& AHint,
                               String& AShortCutText) {
  ASuppressed = false;
  AHint.clear();
  AShortCutText.clear();
  if (!barControl_ || !barControl_->CanShowHint() ||
      barControl_->ItemAtMousePos() != this) {
    return false;
  }
  const String hint = GetHint();
  AHint = hint.substr(0, hint.find('|'));
  if (GetShortCut() != 0) {
    const String text = ShortCutToText(GetShortCut());
    if (!text.empty()) AShortCutText = " (" + text + ")";
  }
  return true;
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

TcxCanvas* TdxBarItemControl::GetCanvas() const {
  if (canvasOverride_) return canvasOverride_;
  return barControl_ ? barControl_->ActiveCanvas() : nullptr;
}

void TdxBarItemControl::CalcDrawParams(bool AAll) {
  TdxBarItemControlDrawParams& p = *drawParams_;
  if (AAll) {
    p.Caption = GetCaption();
    p.Description = Item() ? Item()->Description() : String();
    p.ShortCutText.clear();
    p.PaintType = GetPaintType();
    p.Enabled = GetEnabled();
    p.CanSelect = CanSelect();
    p.DrawSelected = DrawSelected();
    p.IsDropDown = IsDropDown();
    p.HotPartIndex = hotPart_;
    p.IsCustomizing = GetBarManager() && GetBarManager()->IsCustomizing();
    p.SelectedByKey = p.DrawSelected && !mouseSelected_;
    p.IsPressed = pressed_;
  }
  p.Canvas = GetCanvas();
  p.ViewSize = GetViewSize();
  p.ViewStructure = GetViewStructure();
  const TdxBarManager* manager = GetBarManager();
  const Integer glyph = manager ? manager->ImageOptions()->CalcGlyphSize() : 16;
  p.ButtonSize = dxBarStandardPaint::ButtonSize(
      glyph, GetTextSize(), barControl_ ? barControl_->GetPainter() : nullptr);
}

void TdxBarItemControl::CalcDrawingConsts() { DoCalcDrawingConsts(); }

void TdxBarItemControl::DoCalcDrawingConsts() {
  bkBrush_.reset();
  textSize_ = barControl_ ? barControl_->TextSize() : 0;
}

void TdxBarItemControl::Paint(TcxCanvas* ACanvas, const TRect& ARect,
                              TdxBarPaintType APaintType) {
  if (IsRectEmpty(ARect) || !ACanvas) return;
  TSavedDC saved(ACanvas->Handle());
  canvasOverride_ = ACanvas;
  TScopeGuard restore([&] {
    canvasOverride_ = nullptr;
    CalcDrawParams(false);
  });
  CalcDrawParams(true);
  // A rarely used item of an expanded personalised menu paints on the
  // menu's lighter background.
  const bool nonRecent = barControl_ && NonRecent();
  if (nonRecent) barControl_->SetNonRecentPainting(true);
  TScopeGuard recent([&] {
    if (nonRecent) barControl_->SetNonRecentPainting(false);
  });
  DoPaint(ARect, APaintType);
}

void TdxBarItemControl::DoPaint(const TRect&, TdxBarPaintType) {}

void TdxBarItemControl::PaintStandardButton(const TRect& R) {
  const TdxBarItemControlDrawParams& p = *drawParams_;
  if (TdxBarPainter* painter =
          barControl_ ? barControl_->GetPainter() : nullptr) {
    PaintButtonLike(painter, R);
    return;
  }
  HDC dc = p.Canvas->Handle();
  dxBarStandardPaint::FillBackground(dc, R, dxBarStandardPaint::ToolbarColor());
  const bool down = p.IsPressed || (p.DrawSelected && MousePressed());
  if (p.Enabled && (p.DrawSelected || down)) {
    RECT r = dxRECT(R);
    ::DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  TRect content = R;
  const Integer shift = down ? 1 : 0;
  TBitmap* glyph = nullptr;
  TCustomImageList* images = nullptr;
  Integer index = -1;
  if (p.ViewStructure.Contains(cpIcon) &&
      GetCurrentImage(p.ViewSize, glyph, images, index)) {
    const TSize size = GetGlyphSize(p.ViewSize);
    const Integer area = RotationDependentWidth(p.ButtonSize);
    const Integer x = R.Left + (area - size.cx) / 2 + shift;
    const Integer y = R.Top + (R.Height() - size.cy) / 2 + shift;
    if (glyph) {
      p.Canvas->DrawGlyph(x, y, glyph, p.Enabled);
    } else {
      p.Canvas->DrawImage(images, x, y, index, p.Enabled);
    }
    content.Left += area;
  }
  if (p.ViewStructure.Contains(cpText)) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRGB(p.Enabled ? clBtnText : clGrayText));
    RECT r = dxRECT(Bounds(content.Left + shift, content.Top + shift,
                           content.Width(), content.Height()));
    ::DrawTextA(dc, p.Caption.c_str(), -1, &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

void TdxBarItemControl::PaintButtonLike(TdxBarPainter* APainter,
                                        const TRect& R) {
  const TdxBarItemControlDrawParams& p = *drawParams_;
  TdxBarButtonLikeControlDrawParams params(this);
  params.ViewSize = p.ViewSize;
  params.Canvas = p.Canvas;
  params.Caption = p.Caption;
  params.Description = p.Description;
  params.ShortCutText = p.ShortCutText;
  params.PaintType = p.PaintType;
  params.ViewStructure = p.ViewStructure;
  params.Enabled = p.Enabled;
  params.CanSelect = p.CanSelect;
  params.DrawSelected = p.DrawSelected;
  params.DroppedDown = p.DroppedDown;
  params.IsDropDown = p.IsDropDown;
  params.HotPartIndex = p.HotPartIndex;
  params.IsCustomizing = p.IsCustomizing;
  params.SelectedByKey = p.SelectedByKey;
  params.ButtonSize = p.ButtonSize;
  // A button held down under the mouse shows pressed.
  params.IsPressed = p.IsPressed || (p.DrawSelected && MousePressed());
  const auto* button = dynamic_cast<const TdxBarButton*>(Item());
  params.Down = button && button->Down();
  const bool menu = p.PaintType == ptMenu;
  params.IsTextSelected = p.DrawSelected && menu;
  params.IsFlatText =
      menu ? APainter->IsFlatItemTextForMenu() : APainter->IsFlatItemText();
  params.IsSplit = p.IsDropDown && IsSplitDropDown();
  params.GlyphAreaSize = RotationDependentWidth(p.ButtonSize);
  // A menu's arrow: its column from the menu's arrow width, its sign a
  // fifth of the item height, at least 4.
  const Integer text = GetTextSize();
  params.ArrowSize =
      menu ? TSize{APainter->SubMenuControlArrowWidth(text),
                   std::max<Integer>(text / 5, 4)}
           : TSize{APainter->RealButtonArrowWidth(GetBarManager()),
                   APainter->GetDefaultArrowSignSize().cy};
  if (Item()) params.GlyphLayout = Item()->GlyphLayout();
  APainter->DrawButtonLikeControl(params, R);
}

bool TdxBarItemControl::MousePressed() const {
  if (!GetEnabled() || !barControl_ || !barControl_->HandleAllocated()) {
    return false;
  }
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(barControl_->Handle(), &cursor);
  return PtInRect(GetItemBounds(), TPoint{cursor.x, cursor.y}) &&
         (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
}
