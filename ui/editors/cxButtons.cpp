#include "cxButtons.h"

#include <algorithm>

#include "ActnList.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "WinApi.h"
#include "cxEditUtils.h"
#include "cxExtEditUtils.h"
#include "cxGeometry.h"

namespace {

constexpr UINT kDropDownMessage = WM_APP + 300;
constexpr UINT kCloseUpMessage = WM_APP + 301;
// The main part of a split button ends this much before the right edge,
// overlapping the arrow part by two pixels.
constexpr Integer kMainPartCut = cxDropDownButtonWidth - 2;

}  // namespace

// ---------------------------------------------------------------------------
// Colours and layout
// ---------------------------------------------------------------------------

void TcxButtonColors::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxButtonColors*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  std::copy(std::begin(source->colors_), std::end(source->colors_), colors_);
  std::copy(std::begin(source->assigned_), std::end(source->assigned_),
            assigned_);
  if (onChanged_) onChanged_(this);
}

void TcxButtonColors::SetColor(TcxButtonState AState, TColor Value) {
  if (Value == clNone) Value = clDefault;
  colors_[AState] = Value;
  assigned_[AState] = Value != clDefault;
  if (onChanged_) onChanged_(this);
}

TColor TcxButtonColors::GetBackgroundColor(TcxButtonState AState) const {
  if (assigned_[AState]) return colors_[AState];
  return AState == cxbsNormal ? colors_[cxbsDefault] : colors_[cxbsNormal];
}

TcxButtonLayoutResult cxCalcButtonLayout(const TSize& AClientSize,
                                         const TSize& AGlyphSize,
                                         const TSize& ATextSize,
                                         TButtonLayout ALayout, Integer AMargin,
                                         Integer ASpacing) {
  const bool horizontal = ALayout == blGlyphLeft || ALayout == blGlyphRight;
  TPoint glyph, text;
  if (horizontal) {
    glyph.Y = (AClientSize.cy - AGlyphSize.cy) / 2;
    text.Y = (AClientSize.cy - ATextSize.cy - 1) / 2;
  } else {
    glyph.X = (AClientSize.cx - AGlyphSize.cx) / 2;
    text.X = (AClientSize.cx - ATextSize.cx) / 2;
  }
  if (ATextSize.cx == 0 || AGlyphSize.cx == 0) ASpacing = 0;
  const Integer c = horizontal ? AClientSize.cx : AClientSize.cy;
  const Integer g = horizontal ? AGlyphSize.cx : AGlyphSize.cy;
  const Integer t = horizontal ? ATextSize.cx : ATextSize.cy;
  if (AMargin == -1 && ASpacing == -1) {
    AMargin = (c - (g + t)) / 3;
    ASpacing = AMargin;
  } else if (AMargin == -1) {
    AMargin = (c - (g + ASpacing + t)) / 2;
  } else if (ASpacing == -1) {
    ASpacing = ((c - AMargin - g) - t) / 2;
  }
  Integer glyphAt, textAt;
  if (ALayout == blGlyphLeft || ALayout == blGlyphTop) {
    glyphAt = AMargin;
    textAt = AMargin + g + ASpacing;
  } else {
    glyphAt = c - AMargin - g;
    textAt = glyphAt - ASpacing - t;
  }
  if (horizontal) {
    glyph.X = glyphAt;
    text.X = textAt;
  } else {
    glyph.Y = glyphAt;
    text.Y = textAt;
  }
  return {glyph,
          TRect{text.X, text.Y, text.X + ATextSize.cx, text.Y + ATextSize.cy}};
}

Integer cxButtonNumGlyphsOf(Integer AWidth, Integer AHeight) {
  if (AHeight <= 0 || AWidth % AHeight != 0) return 1;
  const Integer count = AWidth / AHeight;
  return count >= 1 && count < 5 ? count : 1;
}

TcxLookAndFeelPainterClass GetButtonPainterClass(TcxLookAndFeel* ALookAndFeel) {
  if (ALookAndFeel->SkinPainter()) return ALookAndFeel->SkinPainter();
  TcxLookAndFeelPainterClass painter = ALookAndFeel->Painter();
  if (painter->LookAndFeelStyle() == lfsOffice11) {
    painter = AreVisualStylesAvailable()
                  ? cxPainterInstance<TcxWinXPLookAndFeelPainter>()
                  : cxPainterInstance<TcxStandardLookAndFeelPainter>();
  }
  return painter;
}

// ---------------------------------------------------------------------------
// TcxCustomButton
// ---------------------------------------------------------------------------

TcxCustomButton::TcxCustomButton(TComponent* AOwner)
    : TButton(AOwner),
      canvas_(new TCanvas),
      cxCanvas_(new TcxCanvas(canvas_.get())),
      lookAndFeel_(new TcxLookAndFeel(this)),
      colors_(new TcxButtonColors(
          TNotifyEvent::FromFunction([this](TObject*) { Repaint(); }))),
      glyph_(new TcxButtonGlyph(
          TNotifyEvent::FromFunction([this](TObject*) { Repaint(); }))) {
  lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent::FromFunction(
      [this](TcxLookAndFeel*, TcxLookAndFeelValues) { Repaint(); });
  SetDoubleBuffered(true);
  controlStyle_ += TControlStyle{csOpaque, csReflector};
}

TcxCustomButton::~TcxCustomButton() { ::EndMouseTracking(this); }

Integer TcxCustomButton::QueryInterface(const TGUID& iid, void** obj) {
  if (iid == IcxMouseTrackingCaller::IID) {
    *obj = static_cast<IcxMouseTrackingCaller*>(this);
    return 0;
  }
  return TButton::QueryInterface(iid, obj);
}

void TcxCustomButton::Repaint() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TcxCustomButton::SetDropDownMenu(TPopupMenu* Value) {
  if (dropDownMenu_ == Value) return;
  if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = Value;
  if (dropDownMenu_) dropDownMenu_->FreeNotification(this);
}

void TcxCustomButton::SetGlyph(TBitmap* Value) { glyph_->SetGlyph(Value); }

void TcxCustomButton::SetNumGlyphs(Integer Value) {
  glyph_->SetNumGlyphs(Value);
}

void TcxCustomButton::UpdateImageInfo() {
  auto* action = dynamic_cast<TCustomAction*>(Action());
  if (action)
    glyph_->SetImageList(action->Images(), action->ImageIndex());
  else
    glyph_->SetImageList(nullptr, -1);
}

void TcxCustomButton::SetKind(TcxButtonKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Repaint();
}

void TcxCustomButton::SetLayout(TButtonLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Repaint();
}

void TcxCustomButton::SetMargin(Integer Value) {
  if (margin_ == Value) return;
  margin_ = Value;
  Repaint();
}

void TcxCustomButton::SetSpacing(Integer Value) {
  if (spacing_ == Value) return;
  spacing_ = Value;
  Repaint();
}

TcxLookAndFeelPainterClass TcxCustomButton::GetPainterClass() {
  return GetButtonPainterClass(lookAndFeel_.get());
}

bool TcxCustomButton::IsHotTrack() {
  return GetPainterClass()->IsButtonHotTrack() && Enabled() &&
         !StandardButton();
}

void TcxCustomButton::SetHot(bool Value) {
  if (hot_ == Value) return;
  hot_ = Value;
  Repaint();
}

bool TcxCustomButton::IsArrowPart(Integer X) {
  return kind_ == cxbkDropDownButton && X >= Width() - cxDropDownButtonWidth;
}

void TcxCustomButton::ExcludeDropDownButtonRect(TRect& R) {
  if (kind_ == cxbkDropDownButton) R.Right -= kMainPartCut;
}

TRect TcxCustomButton::GetBorderRect(TcxButtonState AState) {
  const Integer border = GetPainterClass()->ButtonBorderSize(AState);
  TRect r = cxRectInflate(TRect{0, 0, Width(), Height()}, -border, -border);
  ExcludeDropDownButtonRect(r);
  return r;
}

TcxButtonState TcxCustomButton::State() {
  if (!Enabled()) return cxbsDisabled;
  if (drawnDown_ || menuVisible_) return cxbsPressed;
  if (hot_) return cxbsHot;
  if (focusedLook_ || Default()) return cxbsDefault;
  return cxbsNormal;
}

TSize TcxCustomButton::GetOptimalSize() {
  TcxCanvas* canvas = cxScreenCanvas();
  canvas->SetFont(Font());
  String caption = RemoveAccelChars(Caption());
  if (caption.empty()) caption = " ";
  return TSize{canvas->TextWidth(caption) + 3 * canvas->TextWidth("R"),
               MulDiv(canvas->TextHeight("Wg"), 14, 8)};
}

void TcxCustomButton::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  if (!StandardButton()) Params.Style = (Params.Style & ~0xFu) | BS_OWNERDRAW;
}

void TcxCustomButton::CreateWnd() {
  TButton::CreateWnd();
  if (StandardButton()) return;
  // The first paint finds the image of the state it shows already made.
  UpdateImageInfo();
  glyph_->CreateButtonGlyph(Enabled() ? cxbsNormal : cxbsDisabled);
}

void TcxCustomButton::DrawItem(const DRAWITEMSTRUCT& AItem) {
  drawnDown_ = (AItem.itemState & ODS_SELECTED) != 0 && !arrowPressed_;
  focusedLook_ = (AItem.itemState & ODS_FOCUS) != 0 ||
                 (Default() && ComponentState().Contains(csDesigning));
  TCanvasDCScope scope(canvas_.get(), AItem.hDC);
  Paint(cxCanvas_.get());
}

void TcxCustomButton::Paint(TcxCanvas* ACanvas) {
  if (StandardButton()) return;
  const TcxLookAndFeelPainterClass painter = GetPainterClass();
  TRect r{0, 0, Width(), Height()};
  if (lookAndFeel_->SkinPainter()) {
    cxDrawTransparentControlBackground(this, ACanvas, r);
  }
  TRect arrow;
  if (kind_ == cxbkDropDown) drawnDown_ = menuVisible_;
  if (kind_ == cxbkDropDownButton) {
    arrow = TRect{r.Right - cxDropDownButtonWidth, r.Top, r.Right, r.Bottom};
    ExcludeDropDownButtonRect(r);
    if (arrowPressed_) drawnDown_ = false;
  }
  const TcxButtonState state = State();
  ACanvas->SetFont(Font());
  TColor background = colors_->GetBackgroundColor(state);
  TColor textColor = painter->ButtonSymbolColor(state, Font()->Color());
  ACanvas->Font()->SetColor(textColor);
  if (OnGetDrawParams) {
    OnGetDrawParams(this, state, background, ACanvas->Font());
    textColor = ACanvas->Font()->Color();
  }
  painter->DrawButton(ACanvas, r, "", state, true, background, textColor);
  TPoint shift{0, 0};
  if (state == cxbsPressed && painter->ButtonTextShift() != 0) {
    shift = TPoint{painter->ButtonTextShift(), painter->ButtonTextShift()};
  }
  {
    auto saved = ACanvas->SavedDCScope();
    ACanvas->IntersectClipRect(GetBorderRect(state));
    DrawContent(ACanvas, GetContentRect(), state, shift);
  }
  if (kind_ == cxbkDropDownButton) {
    painter->DrawButton(ACanvas, arrow, "", state, true, background, textColor);
    painter->DrawScrollBarArrow(ACanvas, arrow, state, adDown);
  }
  if (Focused() && !menuVisible_) {
    ACanvas->DrawFocusRect(painter->ButtonFocusRect(ACanvas, r));
  }
}

void TcxCustomButton::DrawContent(TcxCanvas* ACanvas, const TRect& AContent,
                                  TcxButtonState AState, const TPoint& AShift) {
  UpdateImageInfo();
  const TSize glyphSize = glyph_->ImageSize();
  const bool hasGlyph = glyphSize.cx > 0 && glyphSize.cy > 0;
  const String caption = Caption();
  TSize textSize{0, 0};
  UINT flags = DT_CENTER | DT_VCENTER;
  if (WordWrap() && !hasGlyph) flags |= DT_WORDBREAK;
  if (!caption.empty()) {
    const TRect offsets = hasGlyph ? TRect{} : TRect{1, 0, 2, 0};
    TRect measure{0, 0, AContent.Width() - offsets.Left - offsets.Right, 0};
    ACanvas->Canvas()->Refresh();
    TSelectObject font(ACanvas->Handle(), ACanvas->Font()->Handle());
    DrawTextA(ACanvas->Handle(), caption.c_str(),
              static_cast<int>(caption.size()),
              reinterpret_cast<RECT*>(&measure),
              DT_CALCRECT | (WordWrap() ? DT_WORDBREAK : 0));
    textSize = TSize{measure.Width() + offsets.Left + offsets.Right,
                     measure.Height() + offsets.Top + offsets.Bottom};
  }
  const TcxButtonLayoutResult layout =
      cxCalcButtonLayout(TSize{AContent.Width(), AContent.Height()}, glyphSize,
                         textSize, layout_, margin_, spacing_);
  const TPoint origin{AContent.Left + AShift.X, AContent.Top + AShift.Y};
  if (hasGlyph)
    glyph_->Draw(ACanvas, origin.X + layout.GlyphPos.X,
                 origin.Y + layout.GlyphPos.Y, AState);
  if (caption.empty()) return;
  TRect text = cxRectOffset(layout.TextBounds, origin);
  ACanvas->Brush()->SetStyle(bsClear);
  TScopeGuard solid([ACanvas] { ACanvas->Brush()->SetStyle(bsSolid); });
  ACanvas->Canvas()->Refresh();
  const HDC dc = ACanvas->Handle();
  TSelectObject font(dc, ACanvas->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  if (AState == cxbsDisabled) {
    TRect shadow = cxRectOffset(text, 1, 1);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()),
              reinterpret_cast<RECT*>(&shadow), flags);
  }
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(ACanvas->Font()->Color())));
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()),
            reinterpret_cast<RECT*>(&text), flags);
}

void TcxCustomButton::Click() {
  if (kind_ != cxbkStandard && menuClosedByClick_) {
    menuClosedByClick_ = false;
    return;
  }
  if (kind_ == cxbkDropDown) {
    if (!menuVisible_) DoDropDownMenu();
    return;
  }
  TButton::Click();
}

void TcxCustomButton::DoDropDownMenu() {
  arrowPressed_ = true;
  if (HandleAllocated()) PostMessageA(Handle(), kDropDownMessage, 0, 0);
}

bool TcxCustomButton::DoOnDropDownMenuPopup(TPopupMenu*& AMenu) {
  bool handled = false;
  if (OnDropDownMenuPopup) OnDropDownMenuPopup(this, AMenu, handled);
  return handled;
}

void TcxCustomButton::DropDown() {
  if (kind_ == cxbkStandard) return;
  TPopupMenu* menu = dropDownMenu_;
  if (DoOnDropDownMenuPopup(menu) || !menu) {
    // Nothing will close up: the arrow is released now.
    arrowPressed_ = false;
    Repaint();
    return;
  }
  menuVisible_ = true;
  Repaint();
  TPoint p{0, Height()};
  if (popupAlignment_ == paRight) p.X = Width();
  if (popupAlignment_ == paCenter) p.X = Width() / 2;
  p = ClientToScreen(p);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  const POINT sp{p.X, p.Y};
  GetMonitorInfoA(MonitorFromPoint(sp, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  if (p.Y + GetPopupMenuHeight(menu) > work.bottom) {
    p.Y -= GetPopupMenuHeight(menu) + Height() + 2;
  }
  const TPopupAlignment saved = menu->Alignment();
  TScopeGuard restore([menu, saved] { menu->SetAlignment(saved); });
  if (p.X <= work.left) {
    menu->SetAlignment(paRight);
  } else if (p.X < work.right) {
    menu->SetAlignment(popupAlignment_);
  } else {
    menu->SetAlignment(paLeft);
  }
  menu->SetPopupComponent(this);
  menu->Popup(p.X, p.Y);
  if (HandleAllocated()) PostMessageA(Handle(), kCloseUpMessage, 0, 0);
}

void TcxCustomButton::CloseUp() {
  POINT cursor{};
  GetCursorPos(&cursor);
  hot_ =
      IsHotTrack() && HandleAllocated() && WindowFromPoint(cursor) == Handle();
  menuVisible_ = false;
  arrowPressed_ = false;
  Repaint();
}

void TcxCustomButton::MouseLeave() { SetHot(false); }

void TcxCustomButton::KeyDown(Word& Key, TShiftState Shift) {
  if (kind_ == cxbkDropDownButton && (Key == VK_UP || Key == VK_DOWN) &&
      (Shift.Contains(ssShift) || Shift.Contains(ssAlt))) {
    if (!menuVisible_) DoDropDownMenu();
    Key = 0;
    return;
  }
  TButton::KeyDown(Key, Shift);
}

void TcxCustomButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case CN_MEASUREITEM:
      cxAnswerMeasureItem(this, Message);
      return;
    case BM_SETSTYLE:
      if (!StandardButton()) {
        // The default look is ours to draw; the window stays owner-drawn.
        focusedLook_ = (Message.WParam & 0xF) == BS_DEFPUSHBUTTON;
        Message.WParam = BS_OWNERDRAW;
      }
      break;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (IsPopupMenuShortCut(PopupMenu(), Message)) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_LBUTTONDBLCLK:
      Message.Msg = WM_LBUTTONDOWN;
      [[fallthrough]];
    case WM_LBUTTONDOWN: {
      if (kind_ == cxbkStandard) break;
      if (menuVisible_) {
        menuClosedByClick_ = true;
        menuVisible_ = false;
        drawnDown_ = false;
        Repaint();
        return;
      }
      const Integer x = static_cast<short>(LOWORD(Message.LParam));
      if (kind_ == cxbkDropDown || IsArrowPart(x)) {
        // The press opens the menu and is no click of the button.
        DoDropDownMenu();
        Repaint();
        return;
      }
      break;
    }
    case WM_LBUTTONUP:
      if (kind_ == cxbkDropDownButton && !menuVisible_) arrowPressed_ = false;
      break;
    case kDropDownMessage:
      DropDown();
      return;
    case kCloseUpMessage:
      CloseUp();
      return;
    case CM_MOUSEENTER:
      TButton::Dispatch(Message);
      if (!ComponentState().Contains(csDesigning) && !hot_ &&
          GetCapture() == nullptr && IsHotTrack()) {
        BeginMouseTracking(this, TRect{0, 0, Width(), Height()}, this);
        SetHot(true);
      }
      return;
    case CM_MOUSELEAVE:
      TButton::Dispatch(Message);
      SetHot(false);
      return;
    case CM_ENABLEDCHANGED:
      TButton::Dispatch(Message);
      if (!Enabled()) hot_ = false;
      Repaint();
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TButton::Dispatch(Message);
      Repaint();
      return;
    case WM_DESTROY:
      if (menuVisible_) CloseUp();
      break;
    default:
      break;
  }
  TButton::Dispatch(Message);
}

namespace {

void ButtonsStartup() {
  RegisterEnum<TcxButtonKind>(
      "TcxButtonKind", {"cxbkStandard", "cxbkDropDown", "cxbkDropDownButton"});
  RegisterEnum<TButtonLayout>("TButtonLayout", {"blGlyphLeft", "blGlyphRight",
                                                "blGlyphTop", "blGlyphBottom"});
  using B = TcxCustomButton;
  TPublished<TcxCustomButton>()
      .Property("Kind", &B::Kind, &B::SetKind, cxbkStandard)
      .Property("Layout", &B::Layout, &B::SetLayout, blGlyphLeft)
      .Property("Margin", &B::Margin, &B::SetMargin, -1)
      .Property("Spacing", &B::Spacing, &B::SetSpacing, 4);
  RegisterClasses({TcxButton::StaticClass()});
}

void ButtonsShutdown() { UnpublishClass(TcxCustomButton::StaticClass()); }

}  // namespace

VARNEL_UNIT(cxButtons, ({"cxLookAndFeels", "StdCtrls"}), &ButtonsStartup,
            &ButtonsShutdown);
