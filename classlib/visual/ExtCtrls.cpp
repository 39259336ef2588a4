#include "ExtCtrls.h"

#include <algorithm>

#include "Forms.h"

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor,
             Integer Width) {
  Canvas->Pen()->SetWidth(1);
  --Rect.Bottom;
  --Rect.Right;
  for (Integer i = 0; i < Width; ++i) {
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({{Rect.Left, Rect.Bottom},
                      {Rect.Left, Rect.Top},
                      {Rect.Right, Rect.Top}});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline({{Rect.Right, Rect.Top},
                      {Rect.Right, Rect.Bottom},
                      {Rect.Left - 1, Rect.Bottom}});
    InflateRect(Rect, -1, -1);
  }
  ++Rect.Bottom;
  ++Rect.Right;
}

// ---------------------------------------------------------------------------
// TCustomPanel
// ---------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse,    csClickEvents,
                   csSetCaption,      csOpaque,          csDoubleClicks,
                   csReplicatable,    csParentBackground};
  width_ = 185;
  height_ = 41;
  color_ = clBtnFace;
  parentColor_ = false;
  Brush()->SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  alignment_ = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  bevelInner_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  bevelOuter_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  bevelWidth_ = std::max<Integer>(Value, 1);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(TBorderWidth Value) {
  borderWidth_ = std::max<Integer>(Value, 0);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  Integer inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  InflateRect(Rect, -inset, -inset);
}

void TCustomPanel::Dispatch(TMessage& M) {
  if (M.Msg == CM_TEXTCHANGED) {
    Invalidate();
    return;
  }
  inherited::Dispatch(M);
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  auto colors = [](TPanelBevel bevel, TColor& top, TColor& bottom) {
    top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
  };
  TColor top, bottom;
  if (bevelOuter_ != bvNone) {
    colors(bevelOuter_, top, bottom);
    Frame3D(c, r, top, bottom, bevelWidth_);
  }
  Frame3D(c, r, Color(), Color(), borderWidth_);
  if (bevelInner_ != bvNone) {
    colors(bevelInner_, top, bottom);
    Frame3D(c, r, top, bottom, bevelWidth_);
  }
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  const String caption = text_;
  if (caption.empty()) return;
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
  flags |= alignment_ == taLeftJustify    ? DT_LEFT
           : alignment_ == taRightJustify ? DT_RIGHT
                                          : DT_CENTER;
  RECT rr{r.Left, r.Top, r.Right, r.Bottom};
  HDC dc = c->Handle();
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, caption.c_str(), -1, &rr, flags);
}

// ---------------------------------------------------------------------------
// TBevel
// ---------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ += TControlStyle{csReplicatable};
  width_ = 50;
  height_ = 50;
}

void TBevel::SetShape(TBevelShape Value) {
  if (shape_ == Value) return;
  shape_ = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  const TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  const Integer w = width_, h = height_;
  auto line = [c](TColor color, Integer x1, Integer y1, Integer x2,
                  Integer y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  TRect r = Rect(0, 0, w, h);
  switch (shape_) {
    case bsBox:
      Frame3D(c, r, first, second, 1);
      break;
    case bsFrame: {
      TRect inner = Rect(1, 1, w, h);
      Frame3D(c, inner, second, second, 1);
      TRect outer = Rect(0, 0, w - 1, h - 1);
      Frame3D(c, outer, first, first, 1);
      break;
    }
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// ---------------------------------------------------------------------------
// TImage
// ---------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), picture_(new TPicture) {
  controlStyle_.Include(csReplicatable);
  picture_->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
  width_ = 105;
  height_ = 105;
}

TImage::~TImage() = default;

TCanvas* TImage::Canvas() {
  if (!picture_->Graphic() || picture_->Graphic()->Empty()) {
    TObjectPtr<TBitmap> bmp(new TBitmap);
    bmp->SetSize(width_, height_);
    picture_->SetGraphic(bmp.get());
  }
  auto* bmp = dynamic_cast<TBitmap*>(picture_->Graphic());
  if (!bmp) {
    throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  }
  return bmp->Canvas();
}

void TImage::SetAutoSize(bool Value) {
  autoSize_ = Value;
  PictureChanged(this);
}

void TImage::SetCenter(bool Value) {
  center_ = Value;
  Invalidate();
}

void TImage::SetProportional(bool Value) {
  proportional_ = Value;
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  stretch_ = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  transparent_ = Value;
  if (TGraphic* g = picture_->Graphic()) g->SetTransparent(Value);
  Invalidate();
}

TRect TImage::DestRect() {
  Integer w = picture_->Width();
  Integer h = picture_->Height();
  const Integer cw = width_;
  const Integer ch = height_;
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      double xy = static_cast<double>(w) / h;
      if (cw / xy <= ch) {
        w = cw;
        h = static_cast<Integer>(cw / xy);
      } else {
        h = ch;
        w = static_cast<Integer>(ch * xy);
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Rect(0, 0, w, h);
  if (center_) OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TCanvas* c = inherited::Canvas();
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  c->StretchDraw(DestRect(), g);
}

void TImage::PictureChanged(TObject*) {
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0) {
    SetBounds(left_, top_, picture_->Width(), picture_->Height());
  }
  if (TGraphic* g = picture_->Graphic()) {
    if (transparent_) g->SetTransparent(true);
  }
  Invalidate();
}

// ---------------------------------------------------------------------------
// TTimer
// ---------------------------------------------------------------------------

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  window_ = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
  UpdateTimer();
}

TTimer::~TTimer() {
  enabled_ = false;
  if (window_) {
    ::KillTimer(window_, kTimerId);
    DeallocateHWnd(window_);
    window_ = nullptr;
  }
}

void TTimer::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (interval_ == Value) return;
  interval_ = Value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (!window_) return;
  ::KillTimer(window_, kTimerId);
  if (enabled_ && interval_ != 0) {
    if (!::SetTimer(window_, kTimerId, interval_, nullptr)) {
      throw EOutOfResources("Not enough timers available");
    }
  }
}

void TTimer::Timer() { OnTimer(this); }

void TTimer::WndProc(TMessage& M) {
  if (M.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
    return;
  }
  M.Result = ::DefWindowProcA(window_, M.Msg, M.WParam, M.LParam);
}

// ---------------------------------------------------------------------------
// Published properties and the unit
// ---------------------------------------------------------------------------

namespace {

void ExtCtrlsStartup() {
  RegisterEnum<TBevelCut>("TBevelCut",
                          {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
  RegisterEnum<TBevelShape>("TBevelShape",
                            {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine",
                             "bsLeftLine", "bsRightLine", "bsSpacer"});
  RegisterEnum<TBevelStyle>("TBevelStyle", {"bsLowered", "bsRaised"});

  TPublished<TCustomPanel>()
      .Property("Caption", &TControl::Caption, &TControl::SetCaption)
      .Property("Alignment", &TCustomPanel::Alignment,
                &TCustomPanel::SetAlignment, taCenter)
      .Property("BevelInner", &TCustomPanel::BevelInner,
                &TCustomPanel::SetBevelInner, bvNone)
      .Property("BevelOuter", &TCustomPanel::BevelOuter,
                &TCustomPanel::SetBevelOuter, bvRaised)
      .Property("BevelWidth", &TCustomPanel::BevelWidth,
                &TCustomPanel::SetBevelWidth, 1)
      .Property("BorderWidth", &TCustomPanel::BorderWidth,
                &TCustomPanel::SetBorderWidth, 0)
      .Property("BorderStyle", &TCustomPanel::BorderStyle,
                &TCustomPanel::SetBorderStyle, bsNone)
      .Property("FullRepaint", &TCustomPanel::FullRepaint,
                &TCustomPanel::SetFullRepaint, true);
  TPublished<TBevel>()
      .Property("Shape", &TBevel::Shape, &TBevel::SetShape, bsBox)
      .Property("Style", &TBevel::Style, &TBevel::SetStyle, bsLowered);
  TPublished<TImage>()
      .Property("Picture", &TImage::Picture, &TImage::SetPicture)
      .Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
      .Property("Center", &TImage::Center, &TImage::SetCenter, false)
      .Property("Proportional", &TImage::Proportional, &TImage::SetProportional,
                false)
      .Property("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
      .Property("Transparent", &TImage::Transparent, &TImage::SetTransparent,
                false);
  TPublished<TTimer>()
      .Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
      .Property("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
      .Event("OnTimer", &TTimer::OnTimer, &TTimer::OnTimer);

  RegisterClasses({TPanel::StaticClass(), TBevel::StaticClass(),
                   TImage::StaticClass(), TTimer::StaticClass()});
}

}  // namespace

VARNEL_UNIT(ExtCtrls, ({"Controls", "Forms"}), &ExtCtrlsStartup, nullptr);
