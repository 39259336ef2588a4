#include "WinApi.h"
//
#include <algorithm>

#include "Forms.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "dxStatusBar.h"
//
#include "cxControlsCommon.h"
#include "dxOffice11.h"
#include "dxUxTheme.h"

TdxStatusBarPainterClass dxStatusBarSkinPainterClass = nullptr;

namespace {

// Theme parts of the status bar class.
constexpr int SP_PANE = 1;
constexpr int SP_GRIPPER = 3;

// String table entries of the control units.
constexpr Integer kIdAncestorComponent = 65474;

HMODULE OwnModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnModule), &module);
  return module;
}

using TPanelStyleFactories =
    TcxStyleFactories<TdxStatusBarPanelStyle, TdxStatusBarPanel>;

TPanelStyleFactories& PanelStyleFactories() {
  static TPanelStyleFactories factories;
  return factories;
}

TcxRegisteredClasses* registeredPanelStyles = nullptr;

struct TPanelStyleRegistration {
  TClass Class;
  TPanelStyleFactories::TMaker Maker;
  Integer DescriptionId;
};

const TPanelStyleRegistration kPanelStyles[] = {
    {TdxStatusBarTextPanelStyle::StaticClass(),
     &TPanelStyleFactories::Make<TdxStatusBarTextPanelStyle>, 65470},
    {TdxStatusBarContainerPanelStyle::StaticClass(),
     &TPanelStyleFactories::Make<TdxStatusBarContainerPanelStyle>, 65471},
    {TdxStatusBarKeyboardStatePanelStyle::StaticClass(),
     &TPanelStyleFactories::Make<TdxStatusBarKeyboardStatePanelStyle>, 65472},
    {TdxStatusBarStateIndicatorPanelStyle::StaticClass(),
     &TPanelStyleFactories::Make<TdxStatusBarStateIndicatorPanelStyle>, 65473},
};

// What form streams set.
void PublishStatusBar() {
  RegisterEnum<TdxStatusBarPaintStyle>("TdxStatusBarPaintStyle",
                                       {"stpsStandard", "stpsFlat", "stpsXP",
                                        "stpsOffice11", "stpsUseLookAndFeel"});
  RegisterEnum<TdxStatusBarPanelBevel>(
      "TdxStatusBarPanelBevel", {"dxpbNone", "dxpbLowered", "dxpbRaised"});
  using B = TdxCustomStatusBar;
  TPublished<TdxCustomStatusBar>()
      .Property("BorderWidth", &B::BorderWidth, &B::SetBorderWidth, 0)
      .Property("Images", &B::Images, &B::SetImages)
      .Property("PaintStyle", &B::PaintStyle, &B::SetPaintStyle, stpsStandard)
      .Property("Panels", &B::Panels, &B::SetPanels)
      .Property("SizeGrip", &B::SizeGrip, &B::SetSizeGrip, true)
      .Event("OnHint", &B::OnHint, &B::OnHint);
  using P = TdxStatusBarPanel;
  // The style's class first: a new style takes the values that follow.
  TPublished<TdxStatusBarPanel>()
      .Property("PanelStyleClassName", &P::PanelStyleClassName,
                &P::SetPanelStyleClassName)
      .Property("Bevel", &P::Bevel, &P::SetBevel, dxpbLowered)
      .Property("Fixed", &P::Fixed, &P::SetFixed, true)
      .Property("MinWidth", &P::MinWidth, &P::SetMinWidth)
      .Stored(&P::IsMinWidthAssigned)
      .Property("Text", &P::Text, &P::SetText)
      .Property("Visible", &P::Visible, &P::SetVisible, true)
      .Property("Width", &P::Width, &P::SetWidth)
      .Stored(&P::IsWidthAssigned)
      .Event("OnClick", &P::OnClick, &P::OnClick)
      .Event("OnDblClick", &P::OnDblClick, &P::OnDblClick);
  RegisterClasses({TdxStatusBar::StaticClass(),
                   TdxStatusBarContainerControl::StaticClass()});
}

void StatusBarStartup() {
  for (const TPanelStyleRegistration& r : kPanelStyles)
    PanelStyleFactories().Register(GetRegisteredStatusBarPanelStyles(), r.Class,
                                   r.Maker, r.DescriptionId);
  PublishStatusBar();
}

void StatusBarShutdown() {
  UnpublishClass(TdxCustomStatusBar::StaticClass());
  UnpublishClass(TdxStatusBarPanel::StaticClass());
  if (!registeredPanelStyles) return;
  for (const TPanelStyleRegistration& r : kPanelStyles)
    registeredPanelStyles->Unregister(r.Class);
  TObjectPtr<TcxRegisteredClasses> free(registeredPanelStyles);
  registeredPanelStyles = nullptr;
}

VARNEL_UNIT(dxStatusBar, {}, &StatusBarStartup, &StatusBarShutdown);

void FillRect(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->FillRect(R, AColor);
}

bool IsBusy(TdxCustomStatusBar* AStatusBar) {
  return !AStatusBar || AStatusBar->IsLoading() ||
         AStatusBar->ComponentState().Contains(csReading) ||
         AStatusBar->IsDestroying() || AStatusBar->IsUpdating();
}

}  // namespace

// ---------------------------------------------------------------------------
// Width distribution
// ---------------------------------------------------------------------------

void dxCalculateAutoWidths(std::vector<TdxAutoWidthItem>& AItems,
                           Integer AAvailableWidth) {
  std::vector<std::size_t> pool;
  Integer free = AAvailableWidth;
  for (std::size_t i = 0; i < AItems.size(); ++i) {
    if (AItems[i].Fixed) {
      AItems[i].AutoWidth = AItems[i].Width;
      free -= AItems[i].Width;
    } else {
      pool.push_back(i);
    }
  }
  while (!pool.empty()) {
    Integer total = 0;
    for (std::size_t i : pool) total += AItems[i].Width;
    // Shares from running sums, so that they add up to the free width.
    std::vector<Integer> shares;
    Integer sum = 0, given = 0;
    for (std::size_t k = 0; k < pool.size(); ++k) {
      sum += AItems[pool[k]].Width;
      const Integer upTo =
          total > 0
              ? static_cast<Integer>(static_cast<long long>(free) * sum / total)
              : (k + 1 == pool.size() ? free : 0);
      shares.push_back(upTo - given);
      given = upTo;
    }
    std::vector<std::size_t> rest;
    for (std::size_t k = 0; k < pool.size(); ++k) {
      TdxAutoWidthItem& item = AItems[pool[k]];
      if (shares[k] <= item.MinWidth) {
        item.AutoWidth = item.MinWidth;
        free -= item.MinWidth;
      } else {
        rest.push_back(pool[k]);
      }
    }
    if (rest.size() == pool.size()) {
      for (std::size_t k = 0; k < pool.size(); ++k)
        AItems[pool[k]].AutoWidth = shares[k];
      break;
    }
    pool.swap(rest);
  }
}

// ---------------------------------------------------------------------------
// Painters
// ---------------------------------------------------------------------------

TdxStatusBarPainterClass TdxStatusBarPainter::Instance() {
  static const TdxStatusBarPainter painter;
  return &painter;
}
TdxStatusBarPainterClass TdxStatusBarStandardPainter::Instance() {
  static const TdxStatusBarStandardPainter painter;
  return &painter;
}
TdxStatusBarPainterClass TdxStatusBarFlatPainter::Instance() {
  static const TdxStatusBarFlatPainter painter;
  return &painter;
}
TdxStatusBarPainterClass TdxStatusBarOffice11Painter::Instance() {
  static const TdxStatusBarOffice11Painter painter;
  return &painter;
}
TdxStatusBarPainterClass TdxStatusBarXPPainter::Instance() {
  static const TdxStatusBarXPPainter painter;
  return &painter;
}

TRect TdxStatusBarPainter::BorderSizes(TdxCustomStatusBar* AStatusBar) const {
  const Integer b = AStatusBar->BorderWidth();
  return TRect(b, TopBorderSize() + b, b, b);
}

void TdxStatusBarPainter::DrawBorder(TdxCustomStatusBar* AStatusBar,
                                     TcxCanvas* ACanvas, TRect& R) const {
  DrawTopBorder(AStatusBar, ACanvas,
                TRect(R.Left, R.Top, R.Right, R.Top + TopBorderSize()));
  R.Top += TopBorderSize();
  const Integer b = AStatusBar->BorderWidth();
  if (b <= 0) return;
  const TColor color = AStatusBar->Color();
  FillRect(ACanvas, TRect(R.Left, R.Top, R.Right, R.Top + b), color);
  R.Top += b;
  FillRect(ACanvas, TRect(R.Left, R.Bottom - b, R.Right, R.Bottom), color);
  R.Bottom -= b;
  FillRect(ACanvas, TRect(R.Left, R.Top, R.Left + b, R.Bottom), color);
  R.Left += b;
  FillRect(ACanvas, TRect(R.Right - b, R.Top, R.Right, R.Bottom), color);
  R.Right -= b;
}

void TdxStatusBarPainter::DrawEmptyPanel(TdxCustomStatusBar* AStatusBar,
                                         TcxCanvas* ACanvas, TRect R) const {
  DrawPanelBorder(AStatusBar, dxpbLowered, ACanvas, R);
  FillBackground(AStatusBar, nullptr, ACanvas, R);
}

void TdxStatusBarPainter::DrawPanel(TdxCustomStatusBar* AStatusBar,
                                    TdxStatusBarPanel* APanel,
                                    TcxCanvas* ACanvas, TRect R) const {
  if (!APanel) {
    DrawEmptyPanel(AStatusBar, ACanvas, R);
    return;
  }
  if (!APanel->Visible()) {
    FillBackground(AStatusBar, nullptr, ACanvas, R);
    return;
  }
  DrawPanelBorder(AStatusBar, GetPanelBevel(APanel), ACanvas, R);
  if (APanel->OnDrawPanel) {
    bool done = false;
    APanel->OnDrawPanel(APanel, ACanvas, R, done);
    if (done) return;
  }
  if (APanel->PanelStyle())
    APanel->PanelStyle()->DrawContent(ACanvas, R, this);
  else
    FillBackground(AStatusBar, APanel, ACanvas, R);
}

void TdxStatusBarPainter::DrawSizeGrip(TdxCustomStatusBar* AStatusBar,
                                       TcxCanvas* ACanvas, TRect R,
                                       bool AOverlapped) const {
  R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  const TSize area = GripAreaSize();
  const TRect g(R.Right - area.cx, R.Bottom - area.cy, R.Right, R.Bottom);
  TRect g2 = g;
  if (AOverlapped) g2.Right += 1;
  const TColor color = AStatusBar->Color();
  FillRect(ACanvas, g2, color);
  // The system grip drawn with its button-face ground left transparent.
  const Integer w = g.Right - g.Left, h = g.Bottom - g.Top;
  HDC dc = ACanvas->Handle();
  HDC back = ::CreateCompatibleDC(dc), grip = ::CreateCompatibleDC(dc),
      mask = ::CreateCompatibleDC(dc);
  HBITMAP backBmp = ::CreateCompatibleBitmap(dc, w, h);
  HBITMAP gripBmp = ::CreateCompatibleBitmap(dc, w, h);
  HBITMAP maskBmp = ::CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldBack = ::SelectObject(back, backBmp);
  HGDIOBJ oldGrip = ::SelectObject(grip, gripBmp);
  HGDIOBJ oldMask = ::SelectObject(mask, maskBmp);
  ::BitBlt(back, 0, 0, w, h, dc, g.Left, g.Top, SRCCOPY);
  RECT gr{0, 0, w, h};
  ::DrawFrameControl(grip, &gr, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  ::SetBkColor(grip, ColorToRGB(clBtnFace));
  ::BitBlt(mask, 0, 0, w, h, grip, 0, 0, SRCCOPY);
  ::BitBlt(back, 0, 0, w, h, mask, 0, 0, MERGEPAINT);
  ::SetBkColor(grip, RGB(255, 255, 255));
  ::SetTextColor(grip, RGB(0, 0, 0));
  ::BitBlt(grip, 0, 0, w, h, mask, 0, 0, SRCPAINT);
  ::BitBlt(back, 0, 0, w, h, grip, 0, 0, SRCAND);
  ::BitBlt(dc, g.Left, g.Top, w, h, back, 0, 0, SRCCOPY);
  ::SelectObject(back, oldBack);
  ::SelectObject(grip, oldGrip);
  ::SelectObject(mask, oldMask);
  ::DeleteObject(backBmp);
  ::DeleteObject(gripBmp);
  ::DeleteObject(maskBmp);
  ::DeleteDC(back);
  ::DeleteDC(grip);
  ::DeleteDC(mask);
  const TSize gs = GripSize();
  const TRect below(R.Right - gs.cx, R.Bottom, R.Right + 1, R.Bottom + 1);
  const TRect right(R.Right, R.Bottom - gs.cy, R.Right + 1, R.Bottom);
  FillRect(ACanvas, below, color);
  FillRect(ACanvas, right, color);
  ACanvas->ExcludeClipRect(g2);
  ACanvas->ExcludeClipRect(below);
  ACanvas->ExcludeClipRect(right);
}

void TdxStatusBarPainter::DrawTopBorder(TdxCustomStatusBar* AStatusBar,
                                        TcxCanvas* ACanvas,
                                        const TRect& R) const {
  FillRect(ACanvas, R, AStatusBar->Color());
}

TdxStatusBarPanelBevel TdxStatusBarPainter::GetPanelBevel(
    TdxStatusBarPanel* APanel) const {
  if (!APanel) return dxpbLowered;
  if (APanel->PanelStyle() && APanel->PanelStyle()->InternalBevel())
    return dxpbNone;
  return APanel->Bevel();
}

TColor TdxStatusBarPainter::GetPanelColor(TdxCustomStatusBar* AStatusBar,
                                          TdxStatusBarPanel* APanel) const {
  if (APanel && APanel->PanelStyle()) return APanel->PanelStyle()->Color();
  return AStatusBar->Color();
}

// --- Standard and flat ---

void TdxStatusBarStandardPainter::DrawPanelBorder(TdxCustomStatusBar*,
                                                  TdxStatusBarPanelBevel ABevel,
                                                  TcxCanvas* ACanvas,
                                                  TRect& R) const {
  static constexpr UINT kEdges[] = {0, BDR_SUNKENOUTER, BDR_RAISEDINNER};
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  ::DrawEdge(ACanvas->Handle(), &r, kEdges[ABevel], BF_RECT | BF_ADJUST);
  R = TRect(r.left, r.top, r.right, r.bottom);
}

void TdxStatusBarStandardPainter::DrawPanelSeparator(
    TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas, const TRect& R) const {
  FillRect(ACanvas, R, AStatusBar->Color());
}

void TdxStatusBarStandardPainter::FillBackground(TdxCustomStatusBar* AStatusBar,
                                                 TdxStatusBarPanel* APanel,
                                                 TcxCanvas* ACanvas,
                                                 const TRect& R) const {
  FillRect(ACanvas, R, GetPanelColor(AStatusBar, APanel));
}

void TdxStatusBarFlatPainter::DrawPanelBorder(TdxCustomStatusBar*,
                                              TdxStatusBarPanelBevel ABevel,
                                              TcxCanvas* ACanvas,
                                              TRect& R) const {
  if (ABevel == dxpbNone) return;
  ACanvas->FrameRect(R, clBtnShadow);
  R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
}

// --- Office 2003 ---

TColor TdxStatusBarOffice11Painter::PanelFrameColor() {
  // Nine tenths of the way from the toolbar's dark end towards black.
  return GetMiddleRGB(dxOffice11ToolbarsColor2, clBlack, 10);
}

TRect TdxStatusBarOffice11Painter::BorderSizes(TdxCustomStatusBar*) const {
  return TRect(1, 1, 1, 1);
}

void TdxStatusBarOffice11Painter::DrawBorder(TdxCustomStatusBar*,
                                             TcxCanvas* ACanvas,
                                             TRect& R) const {
  FillTubeGradientRect(ACanvas->Handle(), R, dxOffice11ToolbarsColor1,
                       dxOffice11ToolbarsColor2, false);
  R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
}

void TdxStatusBarOffice11Painter::DrawPanelBorder(TdxCustomStatusBar*,
                                                  TdxStatusBarPanelBevel ABevel,
                                                  TcxCanvas* ACanvas,
                                                  TRect& R) const {
  if (ABevel == dxpbNone) return;
  ACanvas->FrameRect(R, PanelFrameColor());
  R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
}

void TdxStatusBarOffice11Painter::DrawSizeGrip(TdxCustomStatusBar*,
                                               TcxCanvas* ACanvas, TRect R,
                                               bool AOverlapped) const {
  R.Top += 1;
  R.Bottom -= 1;
  const TSize area = GripAreaSize();
  TRect g(R.Right - area.cx, R.Bottom - area.cy, R.Right, R.Bottom);
  Office11DrawSizeGrip(ACanvas->Handle(), g);
  if (!AOverlapped) g.Right -= 1;
  ACanvas->ExcludeClipRect(g);
}

// --- Themed ---

namespace {

TSize ThemePartSize(int APart) {
  SIZE size{0, 0};
  HTHEME theme = OpenTheme(totStatus);
  if (!theme) return TSize{0, 0};
  HDC dc = ::GetDC(nullptr);
  GetThemePartSize(theme, dc, APart, 0, dxTS_TRUE, &size);
  ::ReleaseDC(nullptr, dc);
  return TSize{size.cx, size.cy};
}

void DrawThemePart(TcxCanvas* ACanvas, int APart, const TRect& R) {
  if (HTHEME theme = OpenTheme(totStatus)) {
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    DrawThemeBackground(theme, ACanvas->Handle(), APart, 0, &r, nullptr);
  }
}

}  // namespace

TRect TdxStatusBarXPPainter::BorderSizes(TdxCustomStatusBar*) const {
  return TRect(0, TopBorderSize(), 0, 0);
}

TSize TdxStatusBarXPPainter::GripAreaSize() const {
  return ThemePartSize(SP_GRIPPER);
}

Integer TdxStatusBarXPPainter::SeparatorSize() const {
  return ThemePartSize(SP_PANE).cx;
}

void TdxStatusBarXPPainter::DrawBorder(TdxCustomStatusBar*, TcxCanvas* ACanvas,
                                       TRect& R) const {
  DrawThemePart(ACanvas, 0, R);
  R.Top += TopBorderSize();
}

void TdxStatusBarXPPainter::DrawPanelSeparator(TdxCustomStatusBar*,
                                               TcxCanvas* ACanvas,
                                               const TRect& R) const {
  DrawThemePart(ACanvas, SP_PANE, R);
}

void TdxStatusBarXPPainter::DrawSizeGrip(TdxCustomStatusBar*,
                                         TcxCanvas* ACanvas, TRect R,
                                         bool AOverlapped) const {
  R.Left += 1;
  R.Right -= 1;
  const TSize area = GripAreaSize();
  TRect g(R.Right - area.cx, R.Bottom - area.cy, R.Right, R.Bottom);
  DrawThemePart(ACanvas, SP_GRIPPER, g);
  if (AOverlapped) g.Right += 1;
  ACanvas->ExcludeClipRect(g);
}

// ---------------------------------------------------------------------------
// Panel styles
// ---------------------------------------------------------------------------

TcxRegisteredClasses* GetRegisteredStatusBarPanelStyles() {
  if (!registeredPanelStyles)
    registeredPanelStyles = new TcxRegisteredClasses(false);
  return registeredPanelStyles;
}

TdxStatusBarPanelStyle::TdxStatusBarPanelStyle(TdxStatusBarPanel* AOwner)
    : owner_(AOwner), font_(new TFont) {
  if (TdxCustomStatusBar* bar = StatusBar()) font_->Assign(bar->Font());
  font_->OnChange = TNotifyEvent(this, &TdxStatusBarPanelStyle::FontChanged);
}

TdxStatusBarPanelStyle::~TdxStatusBarPanelStyle() { font_->OnChange = nullptr; }

TdxCustomStatusBar* TdxStatusBarPanelStyle::StatusBar() const {
  return owner_ ? owner_->StatusBar() : nullptr;
}

void TdxStatusBarPanelStyle::BeginUpdate() {
  if (owner_ && owner_->Collection()) owner_->Collection()->BeginUpdate();
}

void TdxStatusBarPanelStyle::EndUpdate() {
  if (owner_ && owner_->Collection()) owner_->Collection()->EndUpdate();
}

void TdxStatusBarPanelStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxStatusBarPanelStyle*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  BeginUpdate();
  auto end = TScopeGuard([this] { EndUpdate(); });
  DoAssign(source);
}

void TdxStatusBarPanelStyle::DoAssign(TdxStatusBarPanelStyle* ASource) {
  RestoreDefaults();
  SetAlignment(ASource->Alignment());
  if (ASource->IsColorAssigned()) SetColor(ASource->Color());
  if (!ASource->ParentFont())
    SetFont(ASource->Font());
  else
    ParentFontChanged();
}

void TdxStatusBarPanelStyle::RestoreDefaults() {
  alignment_ = taLeftJustify;
  colorAssigned_ = false;
  parentFont_ = true;
  ParentFontChanged();
  Changed();
}

void TdxStatusBarPanelStyle::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Changed();
}

TColor TdxStatusBarPanelStyle::Color() {
  return colorAssigned_ ? color_ : DefaultColor();
}

void TdxStatusBarPanelStyle::SetColor(TColor Value) {
  if (colorAssigned_ && color_ == Value) return;
  color_ = Value;
  colorAssigned_ = true;
  Changed();
}

TColor TdxStatusBarPanelStyle::DefaultColor() {
  TdxCustomStatusBar* bar = StatusBar();
  return bar ? bar->Color() : clBtnFace;
}

void TdxStatusBarPanelStyle::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (Value) ParentFontChanged();
  Changed();
}

void TdxStatusBarPanelStyle::FontChanged(TObject*) {
  if (internalFontChange_) return;
  parentFont_ = false;
  Changed();
}

void TdxStatusBarPanelStyle::ParentFontChanged() {
  TdxCustomStatusBar* bar = StatusBar();
  if (!parentFont_ || !bar) return;
  TRestoreOnExit internal(internalFontChange_, true);
  font_->Assign(bar->Font());
}

void TdxStatusBarPanelStyle::AdjustTextColor(TColor& AColor, bool AActive) {
  if (AColor == clDefault && StatusBar())
    StatusBar()->AdjustTextColor(AColor, AActive);
}

void TdxStatusBarPanelStyle::Changed() {
  if (owner_) owner_->StatusBarPanelStyleChanged();
}

void TdxStatusBarPanelStyle::CheckSizeGripRect(TRect& R) {
  TdxCustomStatusBar* bar = StatusBar();
  if (!bar || !owner_ || !bar->SizeGripAllocated()) return;
  TdxStatusBarViewInfo* info = bar->ViewInfo();
  if (info->PanelCount() > 0 && info->Panels(info->PanelCount() - 1) == owner_)
    R.Right -= bar->Painter()->GripAreaSize().cx;
}

void TdxStatusBarPanelStyle::DrawContent(TcxCanvas* ACanvas, TRect R,
                                         TdxStatusBarPainterClass APainter) {
  APainter->FillBackground(StatusBar(), owner_, ACanvas, R);
}

// --- Text ---

void TdxStatusBarTextPanelStyle::SetAutoHint(bool Value) {
  // At most one text panel of a bar shows the application's hints.
  if (TdxCustomStatusBar* bar = StatusBar()) {
    for (Integer i = 0; i < bar->Panels()->Count(); ++i) {
      if (auto* text = dynamic_cast<TdxStatusBarTextPanelStyle*>(
              bar->Panels()->Items(i)->PanelStyle()))
        text->autoHint_ = false;
    }
  }
  autoHint_ = Value;
  Changed();
}

void TdxStatusBarTextPanelStyle::SetEllipsisType(
    TdxStatusBarEllipsisType Value) {
  if (ellipsisType_ == Value) return;
  ellipsisType_ = Value;
  Changed();
}

void TdxStatusBarTextPanelStyle::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Changed();
}

void TdxStatusBarTextPanelStyle::DoAssign(TdxStatusBarPanelStyle* ASource) {
  TdxStatusBarPanelStyle::DoAssign(ASource);
  if (auto* s = dynamic_cast<TdxStatusBarTextPanelStyle*>(ASource)) {
    autoHint_ = s->autoHint_;
    imageIndex_ = s->imageIndex_;
    ellipsisType_ = s->ellipsisType_;
    Changed();
  }
}

void TdxStatusBarTextPanelStyle::RestoreDefaults() {
  autoHint_ = false;
  imageIndex_ = -1;
  ellipsisType_ = dxetNone;
  TdxStatusBarPanelStyle::RestoreDefaults();
}

void TdxStatusBarTextPanelStyle::DrawContent(
    TcxCanvas* ACanvas, TRect R, TdxStatusBarPainterClass APainter) {
  TdxStatusBarPanelStyle::DrawContent(ACanvas, R, APainter);
  TdxCustomStatusBar* bar = StatusBar();
  TCustomImageList* images = bar->Images();
  if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
    ACanvas->DrawImage(images, R.Left + 1,
                       (R.Top + R.Bottom) / 2 - images->Height() / 2,
                       imageIndex_, bar->Enabled());
    R.Left += 1 + images->Width() + 1;
  }
  ACanvas->Brush()->SetStyle(bsClear);
  TColor color = Font()->Color();
  APainter->AdjustTextColor(bar, color, true);
  AdjustTextColor(color, true);
  ACanvas->Font()->Assign(Font());
  ACanvas->Font()->SetColor(color);
  R.Left += 2;
  R.Right -= 2;
  String text = Owner()->Text();
  if (OnGetText) OnGetText(this, R, text);
  Integer flags = cxtfSingleLine | cxtfAlignVCenter |
                  cxAlignmentsHorz[Alignment() == taLeftJustify    ? 0
                                   : Alignment() == taRightJustify ? 1
                                                                   : 2];
  if (ellipsisType_ == dxetTruncate) flags |= cxtfEndEllipsis;
  if (ellipsisType_ == dxetSmartPath) flags |= cxtfPathEllipsis;
  ACanvas->DrawTexT(text, R, flags, bar->Enabled());
  ACanvas->Brush()->SetStyle(bsSolid);
}

// --- Keyboard state ---

bool dxIsKeyToggled(Integer ACode) {
  // Only the toggle bit: a lock key held down while on is still on.
  return (::GetKeyState(ACode) & 1) != 0;
}

TdxStatusBarKeyStateAppearance::TdxStatusBarKeyStateAppearance(
    TdxStatusBarKeyboardState AId, Integer ACode, TColor AActiveFontColor,
    const String& AActiveCaption, const String& AInactiveCaption)
    : id_(AId),
      code_(ACode),
      activeFontColor_(AActiveFontColor),
      activeCaption_(AActiveCaption),
      inactiveCaption_(AInactiveCaption) {}

void TdxStatusBarKeyStateAppearance::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TdxStatusBarKeyStateAppearance*>(Source);
  if (!s) {
    inherited::Assign(Source);
    return;
  }
  activeFontColor_ = s->activeFontColor_;
  inactiveFontColor_ = s->inactiveFontColor_;
  activeCaption_ = s->activeCaption_;
  inactiveCaption_ = s->inactiveCaption_;
  Changed();
}

void TdxStatusBarKeyStateAppearance::SetActiveFontColor(TColor Value) {
  activeFontColor_ = Value;
  Changed();
}
void TdxStatusBarKeyStateAppearance::SetInactiveFontColor(TColor Value) {
  inactiveFontColor_ = Value;
  Changed();
}
void TdxStatusBarKeyStateAppearance::SetActiveCaption(const String& Value) {
  activeCaption_ = Value;
  Changed();
}
void TdxStatusBarKeyStateAppearance::SetInactiveCaption(const String& Value) {
  inactiveCaption_ = Value;
  Changed();
}

Integer TdxStatusBarKeyStateAppearance::GetRectWidth(TcxCanvas* ACanvas) {
  return std::max(ACanvas->TextWidth(activeCaption_),
                  ACanvas->TextWidth(inactiveCaption_)) +
         4;
}

TdxStatusBarKeyboardStateNotifier::TdxStatusBarKeyboardStateNotifier(
    TdxCustomStatusBar* AStatusBar)
    : statusBar_(AStatusBar), timer_(new TTimer(nullptr)) {
  timer_->SetInterval(100);
  timer_->OnTimer =
      TNotifyEvent(this, &TdxStatusBarKeyboardStateNotifier::Execute);
}

TdxStatusBarKeyboardStateNotifier::~TdxStatusBarKeyboardStateNotifier() {
  timer_->OnTimer = nullptr;
}

void TdxStatusBarKeyboardStateNotifier::SubScribeKey(Integer ACode) {
  UnSubScribeKey(ACode);
  keys_.push_back({ACode, dxIsKeyToggled(ACode)});
}

void TdxStatusBarKeyboardStateNotifier::UnSubScribeKey(Integer ACode) {
  keys_.erase(
      std::remove_if(keys_.begin(), keys_.end(),
                     [ACode](const TWatchedKey& k) { return k.Code == ACode; }),
      keys_.end());
}

void TdxStatusBarKeyboardStateNotifier::Execute(TObject*) {
  bool changed = false;
  for (TWatchedKey& key : keys_) {
    const bool toggled = dxIsKeyToggled(key.Code);
    if (toggled != key.Toggled) changed = true;
    key.Toggled = toggled;
  }
  if (changed && statusBar_) statusBar_->UpdatePanels();
}

namespace {

struct TKeyDefaults {
  TdxStatusBarKeyboardState Id;
  Integer Code;
  const char* Active;
  const char* Inactive;
};
constexpr TKeyDefaults kKeyDefaults[4] = {
    {dxksCapsLock, VK_CAPITAL, "CAPS", "CAPS"},
    {dxksNumLock, VK_NUMLOCK, "NUM", "NUM"},
    {dxksScrollLock, VK_SCROLL, "SCRL", "SCRL"},
    {dxksInsert, VK_INSERT, "OVR", "INS"},
};

}  // namespace

TdxStatusBarKeyboardStatePanelStyle::TdxStatusBarKeyboardStatePanelStyle(
    TdxStatusBarPanel* AOwner)
    : TdxStatusBarPanelStyle(AOwner),
      notifier_(new TdxStatusBarKeyboardStateNotifier(StatusBar())) {
  for (const TKeyDefaults& k : kKeyDefaults) {
    appearances_[k.Id].reset(new TdxStatusBarKeyStateAppearance(
        k.Id, k.Code, Font()->Color(), k.Active, k.Inactive));
    appearances_[k.Id]->OnChange = TNotifyEvent(
        this, &TdxStatusBarKeyboardStatePanelStyle::AppearanceChanged);
    notifier_->SubScribeKey(k.Code);
  }
}

TdxStatusBarKeyboardStatePanelStyle::~TdxStatusBarKeyboardStatePanelStyle() {
  for (Integer i = 3; i >= 0; --i)
    notifier_->UnSubScribeKey(kKeyDefaults[i].Code);
  notifier_.reset();
  for (auto& a : appearances_) a.reset();
}

void TdxStatusBarKeyboardStatePanelStyle::SetKeyboardStates(
    TdxStatusBarKeyboardStates Value) {
  if (keyboardStates_ == Value) return;
  keyboardStates_ = Value;
  Changed();
}

void TdxStatusBarKeyboardStatePanelStyle::SetFullRect(bool Value) {
  if (fullRect_ == Value) return;
  fullRect_ = Value;
  Changed();
}

void TdxStatusBarKeyboardStatePanelStyle::DoAssign(
    TdxStatusBarPanelStyle* ASource) {
  TdxStatusBarPanelStyle::DoAssign(ASource);
  if (auto* s = dynamic_cast<TdxStatusBarKeyboardStatePanelStyle*>(ASource)) {
    keyboardStates_ = s->keyboardStates_;
    fullRect_ = s->fullRect_;
    for (Integer i = 0; i < 4; ++i)
      appearances_[i]->Assign(s->appearances_[i].get());
  }
}

void TdxStatusBarKeyboardStatePanelStyle::RestoreDefaults() {
  keyboardStates_ = {dxksCapsLock, dxksNumLock, dxksScrollLock, dxksInsert};
  TdxStatusBarPanelStyle::RestoreDefaults();
}

Integer TdxStatusBarKeyboardStatePanelStyle::GetMinWidth() {
  if (keyboardStates_.Empty()) return 50;
  TdxCustomStatusBar* bar = StatusBar();
  TcxCanvas* canvas = bar->Canvas();
  canvas->Font()->Assign(Font());
  Integer width = 0, shown = 0;
  for (const TKeyDefaults& k : kKeyDefaults) {
    if (!keyboardStates_.Contains(k.Id)) continue;
    if (shown++ > 0) width += bar->Painter()->SeparatorSize();
    width += appearances_[k.Id]->GetRectWidth(canvas) + (fullRect_ ? 0 : 2);
  }
  return width;
}

void TdxStatusBarKeyboardStatePanelStyle::DrawContent(
    TcxCanvas* ACanvas, TRect R, TdxStatusBarPainterClass APainter) {
  TdxStatusBarPanelStyle::DrawContent(ACanvas, R, APainter);
  TdxCustomStatusBar* bar = StatusBar();
  ACanvas->Font()->Assign(Font());
  Integer left = R.Left;
  Integer remaining = 0;
  for (const TKeyDefaults& k : kKeyDefaults)
    if (keyboardStates_.Contains(k.Id)) ++remaining;
  for (const TKeyDefaults& k : kKeyDefaults) {
    if (!keyboardStates_.Contains(k.Id)) continue;
    TdxStatusBarKeyStateAppearance* a = appearances_[k.Id].get();
    const bool active = !bar->IsDesigning() && dxIsKeyToggled(k.Code);
    TColor color = active ? a->ActiveFontColor() : a->InactiveFontColor();
    APainter->AdjustTextColor(bar, color, active);
    AdjustTextColor(color, active);
    ACanvas->Font()->SetColor(color);
    TRect cell(left, R.Top,
               left + a->GetRectWidth(ACanvas) + (fullRect_ ? 0 : 2), R.Bottom);
    const Integer cellRight = cell.Right;
    if (!fullRect_)
      APainter->DrawPanelBorder(bar, Owner()->Bevel(), ACanvas, cell);
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->DrawTexT(active ? a->ActiveCaption() : a->InactiveCaption(), cell,
                      cxtfAlignHCenter | cxtfAlignVCenter | cxtfSingleLine,
                      bar->Enabled());
    ACanvas->Brush()->SetStyle(bsSolid);
    if (--remaining > 0) left = cellRight + APainter->SeparatorSize();
  }
}

// --- State indicators ---

TdxStatusBarStateIndicatorItem::TdxStatusBarStateIndicatorItem(
    TCollection* Collection)
    : TCollectionItem(Collection), bitmap_(new TBitmap) {
  LoadIndicatorBitmap();
}

void TdxStatusBarStateIndicatorItem::LoadIndicatorBitmap() {
  static const char* const kNames[] = {
      "DXSTATUSBAR_GRAY",  "DXSTATUSBAR_YELLOW", "DXSTATUSBAR_BLUE",
      "DXSTATUSBAR_GREEN", "DXSTATUSBAR_RED",    "DXSTATUSBAR_TEAL",
      "DXSTATUSBAR_PURPLE"};
  try {
    bitmap_->LoadFromResourceName(OwnModule(), kNames[type_]);
    bitmap_->SetTransparent(true);
  } catch (const Exception&) {
    // A program without the lamps shows none.
    bitmap_->SetWidth(0);
    bitmap_->SetHeight(0);
  }
}

void TdxStatusBarStateIndicatorItem::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TdxStatusBarStateIndicatorItem*>(Source);
  if (!s) {
    inherited::Assign(Source);
    return;
  }
  SetIndicatorType(s->type_);
  SetVisible(s->visible_);
}

void TdxStatusBarStateIndicatorItem::SetIndicatorType(
    TdxStatusBarStateIndicatorType Value) {
  if (type_ == Value) return;
  type_ = Value;
  LoadIndicatorBitmap();
  Changed(false);
}

void TdxStatusBarStateIndicatorItem::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed(false);
}

TdxStatusBarStateIndicators::TdxStatusBarStateIndicators()
    : TCollection(TdxStatusBarStateIndicatorItem::StaticClass()) {}

TdxStatusBarStateIndicatorItem* TdxStatusBarStateIndicators::Insert(
    Integer AIndex) {
  return cxInsertCollectionItem<TdxStatusBarStateIndicatorItem>(this, AIndex);
}

TdxStatusBarStateIndicatorPanelStyle::TdxStatusBarStateIndicatorPanelStyle(
    TdxStatusBarPanel* AOwner)
    : TdxStatusBarPanelStyle(AOwner),
      indicators_(new TdxStatusBarStateIndicators) {
  indicators_->OnChange = TNotifyEvent(
      this, &TdxStatusBarStateIndicatorPanelStyle::IndicatorsChanged);
}

void TdxStatusBarStateIndicatorPanelStyle::SetSpacing(Integer Value) {
  if (spacing_ == Value) return;
  spacing_ = Value;
  Changed();
}

void TdxStatusBarStateIndicatorPanelStyle::DoAssign(
    TdxStatusBarPanelStyle* ASource) {
  TdxStatusBarPanelStyle::DoAssign(ASource);
  if (auto* s = dynamic_cast<TdxStatusBarStateIndicatorPanelStyle*>(ASource)) {
    spacing_ = s->spacing_;
    indicators_->Assign(s->indicators_.get());
  }
}

void TdxStatusBarStateIndicatorPanelStyle::RestoreDefaults() {
  spacing_ = 4;
  TdxStatusBarPanelStyle::RestoreDefaults();
}

Integer TdxStatusBarStateIndicatorPanelStyle::GetMinWidth() {
  if (indicators_->Count() == 0) return 20;
  Integer width = spacing_;
  for (Integer i = 0; i < indicators_->Count(); ++i) {
    TdxStatusBarStateIndicatorItem* item = indicators_->Items(i);
    if (item->Visible() && item->Bitmap()->Width() > 0)
      width += item->Bitmap()->Width() + spacing_;
  }
  return width;
}

void TdxStatusBarStateIndicatorPanelStyle::DrawContent(
    TcxCanvas* ACanvas, TRect R, TdxStatusBarPainterClass APainter) {
  TdxStatusBarPanelStyle::DrawContent(ACanvas, R, APainter);
  Integer x = R.Left + spacing_;
  for (Integer i = 0; i < indicators_->Count(); ++i) {
    TdxStatusBarStateIndicatorItem* item = indicators_->Items(i);
    TBitmap* bmp = item->Bitmap();
    if (!item->Visible() || bmp->Width() == 0) continue;
    ACanvas->Draw(x, (R.Top + R.Bottom) / 2 - bmp->Height() / 2, bmp);
    x += bmp->Width() + spacing_;
  }
}

// --- Container ---

TdxStatusBarContainerPanelStyle::TdxStatusBarContainerPanelStyle(
    TdxStatusBarPanel* AOwner)
    : TdxStatusBarPanelStyle(AOwner) {
  TdxCustomStatusBar* bar = StatusBar();
  if (IsBusy(bar)) return;
  auto* container = new TdxStatusBarContainerControl(bar->Owner());
  SetContainer(container);
  container->SetParent(bar);
}

TdxStatusBarContainerPanelStyle::~TdxStatusBarContainerPanelStyle() {
  SetContainer(nullptr);
}

void TdxStatusBarContainerPanelStyle::SetAlignControl(bool Value) {
  if (alignControl_ == Value) return;
  alignControl_ = Value;
  Changed();
}

void TdxStatusBarContainerPanelStyle::SetContainer(
    TdxStatusBarContainerControl* Value) {
  if (container_ == Value) return;
  TdxStatusBarContainerControl* old = container_;
  container_ = Value;
  if (old) {
    old->panelStyle_ = nullptr;
    if (!Value && !IsBusy(StatusBar()))
      TObjectPtr<TdxStatusBarContainerControl> free(old);
  }
  if (Value) {
    if (Value->panelStyle_) Value->panelStyle_->container_ = nullptr;
    Value->panelStyle_ = this;
  }
}

bool TdxStatusBarContainerPanelStyle::CanDelete() {
  return !container_ || !container_->ComponentState().Contains(csAncestor);
}

void TdxStatusBarContainerPanelStyle::DoAssign(
    TdxStatusBarPanelStyle* ASource) {
  TdxStatusBarPanelStyle::DoAssign(ASource);
  if (auto* s = dynamic_cast<TdxStatusBarContainerPanelStyle*>(ASource)) {
    alignControl_ = s->alignControl_;
    if (s->container_ && StatusBar())
      SetContainer(StatusBar()->ContainerByName(s->container_->Name()));
  }
}

void TdxStatusBarContainerPanelStyle::RestoreDefaults() {
  alignControl_ = true;
  TdxStatusBarPanelStyle::RestoreDefaults();
}

void TdxStatusBarContainerPanelStyle::PanelVisibleChanged() {
  if (container_) container_->SetVisible(Owner()->Visible());
}

void TdxStatusBarContainerPanelStyle::DrawContent(
    TcxCanvas* ACanvas, TRect R, TdxStatusBarPainterClass APainter) {
  TdxStatusBarPanelStyle::DrawContent(ACanvas, R, APainter);
  if (!container_) return;
  CheckSizeGripRect(R);
  container_->SetBoundsRect(R);
  if (alignControl_ && !StatusBar()->IsDesigning())
    for (Integer i = 0; i < container_->ControlCount(); ++i)
      container_->Controls(i)->SetBounds(0, 0, container_->Width(),
                                         container_->Height());
}

TdxStatusBarContainerControl::TdxStatusBarContainerControl(TComponent* AOwner)
    : TcxControl(AOwner) {
  controlStyle_.Include(csAcceptsControls);
}

TdxStatusBarContainerControl::~TdxStatusBarContainerControl() {
  if (panelStyle_) {
    TdxStatusBarContainerPanelStyle* style = panelStyle_;
    style->container_ = nullptr;
    panelStyle_ = nullptr;
    if (TdxStatusBarPanel* panel = style->Owner())
      if (!panel->ComponentStateBusy()) panel->SetPanelStyleClass(nullptr);
  }
}

void TdxStatusBarContainerControl::Paint() {
  TcxControl::Paint();
  TdxCustomStatusBar* bar = panelStyle_ ? panelStyle_->StatusBar() : nullptr;
  if (bar) {
    TRect r = bar->ClientRect();
    r = TRect(r.Left - Left(), r.Top - Top(), r.Right - Left(),
              r.Bottom - Top());
    bar->Painter()->DrawBorder(bar, Canvas(), r);
    bar->Painter()->FillBackground(bar, panelStyle_->Owner(), Canvas(),
                                   ClientRect());
  } else {
    Canvas()->FillRect(ClientRect(), clBtnFace);
  }
}

// ---------------------------------------------------------------------------
// TdxStatusBarPanel
// ---------------------------------------------------------------------------

TdxStatusBarPanel::TdxStatusBarPanel(TCollection* Collection)
    : TCollectionItem(Collection) {
  TdxCustomStatusBar* bar = StatusBar();
  if (bar && !bar->IsLoading() && !bar->ComponentState().Contains(csReading))
    SetPanelStyleClass(bar->GetDefaultPanelStyleClass());
}

TdxStatusBarPanel::~TdxStatusBarPanel() { panelStyle_.reset(); }

bool TdxStatusBarPanel::ComponentStateBusy() const {
  auto* panels = dynamic_cast<TdxStatusBarPanels*>(Collection());
  return !panels || IsBusy(panels->StatusBar());
}

TdxCustomStatusBar* TdxStatusBarPanel::StatusBar() const {
  auto* panels = dynamic_cast<TdxStatusBarPanels*>(Collection());
  return panels ? panels->StatusBar() : nullptr;
}

String TdxStatusBarPanel::GetDisplayName() {
  return text_.empty() ? inherited::GetDisplayName() : text_;
}

String TdxStatusBarPanel::PanelStyleClassName() const {
  return panelStyle_ ? panelStyle_->ClassName() : String();
}

void TdxStatusBarPanel::SetPanelStyleClassName(const String& Value) {
  SetPanelStyleClass(
      GetRegisteredStatusBarPanelStyles()->FindByClassName(Value));
}

void TdxStatusBarPanel::SetPanelStyleClass(TClass Value) {
  if (PanelStyleClass() == Value) return;
  TdxCustomStatusBar* bar = StatusBar();
  if (bar && !bar->CanAcceptPanelStyle(Value)) return;
  DestroyPanelStyle();
  CreatePanelStyle(Value);
  Changed(false);
}

void TdxStatusBarPanel::DestroyPanelStyle() {
  if (!panelStyle_) return;
  if (!ComponentStateBusy() && !panelStyle_->CanDelete())
    throw Exception(cxControlsLoadString(kIdAncestorComponent));
  panelStyle_.reset();
}

void TdxStatusBarPanel::CreatePanelStyle(TClass AClass) {
  panelStyle_.reset(PanelStyleFactories().Create(AClass, this));
  if (!panelStyle_) return;
  if (TdxCustomStatusBar* bar = StatusBar()) bar->Invalidate();
}

void TdxStatusBarPanel::SetPanelStyle(TdxStatusBarPanelStyle* Value) {
  if (panelStyle_ && Value) panelStyle_->Assign(Value);
}

void TdxStatusBarPanel::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TdxStatusBarPanel*>(Source);
  if (!s) {
    inherited::Assign(Source);
    return;
  }
  TCollection* c = Collection();
  if (c) c->BeginUpdate();
  auto end = TScopeGuard([c] {
    if (c) c->EndUpdate();
  });
  RestoreDefaults();
  SetPanelStyleClass(s->PanelStyleClass());
  if (panelStyle_ && s->panelStyle_) panelStyle_->Assign(s->panelStyle_.get());
  SetVisible(s->visible_);
  SetBevel(s->bevel_);
  biDiMode_ = s->biDiMode_;
  fixed_ = s->fixed_;
  if (s->minWidthAssigned_) SetMinWidth(s->minWidth_);
  parentBiDiMode_ = s->parentBiDiMode_;
  SetText(s->text_);
  if (s->widthAssigned_) SetWidth(s->width_);
  OnClick = s->OnClick;
  OnDblClick = s->OnDblClick;
  OnDrawPanel = s->OnDrawPanel;
}

void TdxStatusBarPanel::RestoreDefaults() {
  visible_ = true;
  minWidth_ = 20;
  width_ = 50;
  fixed_ = true;
  parentBiDiMode_ = true;
  bevel_ = dxpbLowered;
  minWidthAssigned_ = false;
  widthAssigned_ = false;
  Changed(true);
}

void TdxStatusBarPanel::SetBevel(TdxStatusBarPanelBevel Value) {
  if (bevel_ == Value) return;
  bevel_ = Value;
  Changed(false);
}

void TdxStatusBarPanel::SetBiDiMode(TBiDiMode Value) {
  parentBiDiMode_ = false;
  if (biDiMode_ == Value) return;
  biDiMode_ = Value;
  Changed(false);
}

void TdxStatusBarPanel::SetParentBiDiMode(bool Value) {
  if (parentBiDiMode_ == Value) return;
  parentBiDiMode_ = Value;
  if (Value) ParentBiDiModeChanged();
  Changed(false);
}

void TdxStatusBarPanel::ParentBiDiModeChanged() {
  if (!parentBiDiMode_) return;
  if (TdxCustomStatusBar* bar = StatusBar()) biDiMode_ = bar->BiDiMode();
}

bool TdxStatusBarPanel::UsesStoredSizes() {
  return !panelStyle_ || panelStyle_->CanSizing();
}

bool TdxStatusBarPanel::Fixed() { return UsesStoredSizes() ? fixed_ : true; }

void TdxStatusBarPanel::SetFixed(bool Value) {
  if (fixed_ == Value) return;
  fixed_ = Value;
  Changed(false);
}

Integer TdxStatusBarPanel::DefaultMinWidth() {
  return panelStyle_ ? panelStyle_->GetMinWidth() : 20;
}

Integer TdxStatusBarPanel::DefaultWidth() {
  return UsesStoredSizes() ? 50 : DefaultMinWidth();
}

Integer TdxStatusBarPanel::MinWidth() {
  return minWidthAssigned_ && UsesStoredSizes() ? minWidth_ : DefaultMinWidth();
}

void TdxStatusBarPanel::SetMinWidth(Integer Value) {
  minWidth_ = std::max(Value, 0);
  minWidthAssigned_ = true;
  if (width_ < minWidth_) {
    width_ = minWidth_;
    widthAssigned_ = true;
  }
  Changed(false);
}

Integer TdxStatusBarPanel::Width() {
  return widthAssigned_ && UsesStoredSizes() ? width_ : DefaultWidth();
}

void TdxStatusBarPanel::SetWidth(Integer Value) {
  width_ = std::max(Value, minWidth_);
  widthAssigned_ = true;
  Changed(false);
}

void TdxStatusBarPanel::SetText(const String& Value) {
  if (text_ == Value) return;
  text_ = Value;
  Changed(false);
}

void TdxStatusBarPanel::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  if (panelStyle_) panelStyle_->PanelVisibleChanged();
  Changed(false);
}

Integer TdxStatusBarPanel::PaintMinWidth() {
  Integer w = MinWidth();
  PreparePaintWidth(w);
  return w;
}

Integer TdxStatusBarPanel::PaintWidth() {
  Integer w = Width();
  PreparePaintWidth(w);
  return w;
}

void TdxStatusBarPanel::PreparePaintWidth(Integer& AWidth) {
  if (panelStyle_ && !panelStyle_->InternalBevel()) AWidth += 2;
  TdxCustomStatusBar* bar = StatusBar();
  if (!bar || !bar->SizeGripAllocated()) return;
  // The grip sits over the last panel that is shown, which need not be the
  // last of the collection.
  auto* panels = bar->Panels();
  for (Integer i = panels->Count() - 1; i >= 0; --i) {
    if (!panels->Items(i)->Visible()) continue;
    if (panels->Items(i) == this) AWidth += bar->Painter()->GripAreaSize().cx;
    break;
  }
}

void TdxStatusBarPanel::Click() {
  if (OnClick) OnClick(this);
}

void TdxStatusBarPanel::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

// ---------------------------------------------------------------------------
// TdxStatusBarPanels
// ---------------------------------------------------------------------------

TdxStatusBarPanels::TdxStatusBarPanels(TdxCustomStatusBar* AStatusBar)
    : TCollection(TdxStatusBarPanel::StaticClass()), statusBar_(AStatusBar) {}

TPersistent* TdxStatusBarPanels::GetOwner() { return statusBar_; }

TdxStatusBarPanel* TdxStatusBarPanels::Insert(Integer AIndex) {
  return cxInsertCollectionItem<TdxStatusBarPanel>(this, AIndex);
}

void TdxStatusBarPanels::Loaded() {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->PanelStyle()) Items(i)->PanelStyle()->Loaded();
}

void TdxStatusBarPanels::Update(TCollectionItem*) {
  if (statusBar_) statusBar_->UpdatePanels();
}

// ---------------------------------------------------------------------------
// TdxStatusBarViewInfo
// ---------------------------------------------------------------------------

void TdxStatusBarViewInfo::Calculate(const TRect& ABounds) {
  panels_.clear();
  widths_.clear();
  gripOverlap_ = false;
  TdxStatusBarPanels* all = statusBar_->Panels();
  for (Integer i = 0; i < all->Count(); ++i)
    if (all->Items(i)->Visible()) panels_.push_back(all->Items(i));
  if (panels_.empty()) return;
  std::vector<TdxAutoWidthItem> items;
  bool allFixed = true;
  const Integer separator = statusBar_->Painter()->SeparatorSize();
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    TdxStatusBarPanel* p = panels_[i];
    TdxAutoWidthItem item;
    item.MinWidth = p->PaintMinWidth();
    item.Width = p->PaintWidth();
    item.Fixed = p->Fixed();
    // A row of fixed panels still fills the bar: the last one stretches.
    if (i + 1 == panels_.size() && item.Fixed && allFixed) item.Fixed = false;
    allFixed = allFixed && p->Fixed();
    items.push_back(item);
    if (i + 1 < panels_.size()) {
      TdxAutoWidthItem sep;
      sep.Width = sep.MinWidth = separator;
      sep.Fixed = true;
      items.push_back(sep);
    }
  }
  const Integer available = ABounds.Right - ABounds.Left;
  Integer requested = 0;
  for (const TdxAutoWidthItem& item : items) requested += item.Width;
  dxCalculateAutoWidths(items, available);
  gripOverlap_ = requested >= available;
  for (const TdxAutoWidthItem& item : items) widths_.push_back(item.AutoWidth);
}

TdxStatusBarPanel* TdxStatusBarViewInfo::GetPanelAt(const TRect& ABounds,
                                                    Integer X, Integer Y) {
  if (Y < ABounds.Top || Y >= ABounds.Bottom) return nullptr;
  Integer left = ABounds.Left;
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    const Integer width = widths_[2 * i];
    if (X >= left && X < left + width) return panels_[i];
    left += width;
    if (i + 1 < panels_.size()) left += widths_[2 * i + 1];
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// TdxCustomStatusBar
// ---------------------------------------------------------------------------

TdxCustomStatusBar::TdxCustomStatusBar(TComponent* AOwner)
    : TcxControl(AOwner),
      imagesLink_(new TChangeLink),
      panels_(new TdxStatusBarPanels(this)),
      viewInfo_(new TdxStatusBarViewInfo(this)),
      themeNotificator_(new TdxThemeChangedNotificator) {
  imagesLink_->OnChange =
      TNotifyEvent(this, &TdxCustomStatusBar::ImagesChanged);
  themeNotificator_->OnThemeChanged =
      TdxThemeChangedEvent::FromFunction([this] { ThemeChanged(); });
  controlStyle_.Exclude(csSetCaption);
  controlStyle_.Include(csCaptureMouse);
  controlStyle_.Include(csClickEvents);
  controlStyle_.Include(csOpaque);
  controlStyle_.Include(csDoubleClicks);
  SetColor(clBtnFace);
  SetHeight(20);
  SetAlign(alBottom);
  SetParentFont(false);
  InitPainterClass();
  CreateOffice11Colors();
}

TdxCustomStatusBar::~TdxCustomStatusBar() {
  ReleaseOffice11Colors();
  themeNotificator_.reset();
  panels_.reset();
  viewInfo_.reset();
}

void TdxCustomStatusBar::SetBorderWidth(Integer Value) {
  borderWidth_ = std::max(Value, 0);
  UpdatePanels();
}

void TdxCustomStatusBar::SetImages(TCustomImageList* Value) {
  cxSetImageList(Value, images_, imagesLink_.get(), this);
  UpdatePanels();
}

void TdxCustomStatusBar::SetPaintStyle(TdxStatusBarPaintStyle Value) {
  if (paintStyle_ == Value) return;
  paintStyle_ = Value;
  PaintStyleChanged();
}

void TdxCustomStatusBar::SetSizeGrip(bool Value) {
  if (sizeGrip_ == Value) return;
  sizeGrip_ = Value;
  UpdatePanels();
}

void TdxCustomStatusBar::Notification(TComponent* AComponent,
                                      TOperation Operation) {
  TcxControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) SetImages(nullptr);
}

void TdxCustomStatusBar::Calculate() {
  viewInfo_->Calculate(GetClientBounds());
}

void TdxCustomStatusBar::Recalculate() {
  if (IsDestroying() || !panels_ || !viewInfo_) return;
  Calculate();
}

void TdxCustomStatusBar::UpdatePanels() {
  Recalculate();
  Invalidate();
}

TRect TdxCustomStatusBar::GetPanelsBounds() {
  const TRect b = painter_->BorderSizes(this);
  const TRect r = GetClientBounds();
  return TRect(r.Left + b.Left, r.Top + b.Top, r.Right - b.Right,
               r.Bottom - b.Bottom);
}

TdxStatusBarPanel* TdxCustomStatusBar::GetPanelAt(Integer X, Integer Y) {
  return viewInfo_->GetPanelAt(GetPanelsBounds(), X, Y);
}

void TdxCustomStatusBar::InitPainterClass() {
  themeAvailable_ = AreVisualStylesAvailable(totStatus);
  painter_ = GetPainterClass();
}

void TdxCustomStatusBar::PaintStyleChanged() {
  InitPainterClass();
  UpdatePanels();
}

TdxStatusBarPaintStyle TdxCustomStatusBar::GetPaintStyle() {
  if (paintStyle_ != stpsUseLookAndFeel) return paintStyle_;
  if (LookAndFeel()->NativeStyle() && AreVisualStylesAvailable(totStatus))
    return stpsXP;
  switch (LookAndFeel()->Kind()) {
    case lfUltraFlat:
      return stpsFlat;
    case lfOffice11:
      return stpsOffice11;
    default:
      return stpsStandard;
  }
}

TdxStatusBarPainterClass TdxCustomStatusBar::GetPainterClass() {
  if (paintStyle_ == stpsUseLookAndFeel && dxStatusBarSkinPainterClass &&
      !LookAndFeel()->SkinName().empty())
    return dxStatusBarSkinPainterClass;
  switch (GetPaintStyle()) {
    case stpsFlat:
      return TdxStatusBarFlatPainter::Instance();
    case stpsXP:
      return AreVisualStylesAvailable(totStatus)
                 ? TdxStatusBarXPPainter::Instance()
                 : TdxStatusBarStandardPainter::Instance();
    case stpsOffice11:
      return TdxStatusBarOffice11Painter::Instance();
    default:
      return TdxStatusBarStandardPainter::Instance();
  }
}

bool TdxCustomStatusBar::CanAcceptPanelStyle(TClass AClass) {
  // Every style made here is of this version of the bar (GetVersion 0);
  // a class not registered here is none of them.
  return !AClass || PanelStyleFactories().Contains(AClass);
}

bool TdxCustomStatusBar::SizeGripAllocated() {
  if (!sizeGrip_) return false;
  TCustomForm* form = GetParentForm(this);
  if (!form || !form->HandleAllocated() || !HandleAllocated()) return false;
  const TFormBorderStyle border = form->BorderStyle();
  if (border != bsSizeable && border != bsSizeToolWin) return false;
  if (::IsZoomed(form->Handle()) || ::IsIconic(form->Handle())) return false;
  const TPoint corner =
      form->ScreenToClient(ClientToScreen(TPoint(Width(), Height())));
  return corner.X == form->ClientWidth() && corner.Y == form->ClientHeight();
}

TdxStatusBarContainerControl* TdxCustomStatusBar::ContainerByName(
    const String& AName) {
  for (Integer i = 0; i < ControlCount(); ++i) {
    auto* c = dynamic_cast<TdxStatusBarContainerControl*>(Controls(i));
    if (c && SameText(c->Name(), AName)) return c;
  }
  return nullptr;
}

bool TdxCustomStatusBar::ShowApplicationHint(const String& AHint) {
  TdxStatusBarPanel* target = nullptr;
  for (Integer i = 0; i < panels_->Count(); ++i) {
    auto* text = dynamic_cast<TdxStatusBarTextPanelStyle*>(
        panels_->Items(i)->PanelStyle());
    if (text && text->AutoHint()) target = panels_->Items(i);
  }
  if (IsDesigning() || !target) return false;
  if (OnHint) {
    OnHint(this);
    return false;
  }
  target->SetText(AHint);
  return true;
}

void TdxCustomStatusBar::Loaded() {
  TcxControl::Loaded();
  panels_->Loaded();
  Recalculate();
}

void TdxCustomStatusBar::FontChanged() {
  TcxControl::FontChanged();
  if (!panels_) return;
  for (Integer i = 0; i < panels_->Count(); ++i)
    if (TdxStatusBarPanelStyle* style = panels_->Items(i)->PanelStyle())
      style->ParentFontChanged();
}

void TdxCustomStatusBar::MouseDown(TMouseButton Button, TShiftState Shift,
                                   Integer X, Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Shift.Contains(ssDouble))
    if (TdxStatusBarPanel* panel = GetPanelAt(X, Y)) panel->DblClick();
}

void TdxCustomStatusBar::MouseUp(TMouseButton Button, TShiftState Shift,
                                 Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft)
    if (TdxStatusBarPanel* panel = GetPanelAt(X, Y)) panel->Click();
}

void TdxCustomStatusBar::Resize() {
  TcxControl::Resize();
  Recalculate();
  Invalidate();
}

void TdxCustomStatusBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST: {
      TcxControl::Dispatch(Message);
      if (IsDesigning() || !SizeGripAllocated()) return;
      const TPoint p =
          ScreenToClient(TPoint(static_cast<short>(LOWORD(Message.LParam)),
                                static_cast<short>(HIWORD(Message.LParam))));
      const TSize grip = painter_->GripAreaSize();
      const TRect client = ClientRect();
      if (p.X >= client.Right - grip.cx - 2 &&
          p.Y >= client.Bottom - grip.cy - 2 && p.X < client.Right &&
          p.Y < client.Bottom)
        Message.Result = HTBOTTOMRIGHT;
      return;
    }
    case CM_BIDIMODECHANGED:
      TcxControl::Dispatch(Message);
      if (!HandleAllocated()) return;
      for (Integer i = 0; i < panels_->Count(); ++i)
        panels_->Items(i)->ParentBiDiModeChanged();
      UpdatePanels();
      return;
    case CM_COLORCHANGED:
    case CM_PARENTFONTCHANGED:
    case CM_WININICHANGE:
      TcxControl::Dispatch(Message);
      UpdatePanels();
      return;
    case CM_SYSCOLORCHANGE:
      TcxControl::Dispatch(Message);
      RefreshOffice11Colors();
      UpdatePanels();
      return;
    case CM_ENABLEDCHANGED:
      TcxControl::Dispatch(Message);
      Invalidate();
      return;
    default:
      TcxControl::Dispatch(Message);
  }
}

void TdxCustomStatusBar::DrawSizeGrip(TRect R, bool AOverlapped) {
  if (SizeGripAllocated())
    painter_->DrawSizeGrip(this, Canvas(), R, AOverlapped);
}

void TdxCustomStatusBar::Paint() {
  TcxControl::Paint();
  TRect r = GetClientBounds();
  TcxCanvas* canvas = Canvas();
  canvas->SaveClipRegion();
  auto restore = TScopeGuard([canvas] { canvas->RestoreClipRegion(); });
  painter_->DrawBorder(this, canvas, r);
  canvas->IntersectClipRect(r);
  const bool overlapped =
      viewInfo_->PanelCount() > 0 && viewInfo_->GripOverlap();
  if (painter_->DrawSizeGripFirst()) DrawSizeGrip(r, overlapped);
  if (viewInfo_->PanelCount() > 0) {
    Integer left = r.Left;
    const std::vector<Integer>& widths = viewInfo_->Widths();
    for (Integer i = 0; i < viewInfo_->PanelCount(); ++i) {
      const Integer w = widths[2 * i];
      painter_->DrawPanel(this, viewInfo_->Panels(i), canvas,
                          TRect(left, r.Top, left + w, r.Bottom));
      left += w;
      if (i + 1 < viewInfo_->PanelCount()) {
        const Integer s = widths[2 * i + 1];
        painter_->DrawPanelSeparator(this, canvas,
                                     TRect(left, r.Top, left + s, r.Bottom));
        left += s;
      }
    }
  } else {
    painter_->DrawEmptyPanel(this, canvas, r);
  }
  if (!painter_->DrawSizeGripFirst()) DrawSizeGrip(r, overlapped);
}
