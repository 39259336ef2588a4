// The check-mark painting of the check-box unit.
#include <algorithm>

#include "Handles.h"
#include "WinApi.h"
#include "cxCheckBox.h"
#include "cxEditPaintUtils.h"
#include "cxEditUtils.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

// The system's bitmap of check-box images (OEM resources are not declared
// without OEMRESOURCE).
constexpr WORD kOemCheckBoxes = 32759;
// Paints the brush where the mask is black and keeps the destination where
// it is white.
constexpr DWORD kMaskBrushRop = 0x00B8074A;
// The button theme's check-box part.
constexpr int kThemeCheckBoxPart = 3;

TObjectPtr<TBitmap>& CheckMarkMask() {
  static TObjectPtr<TBitmap> mask;
  return mask;
}

TObjectPtr<TBitmap> BuildCheckMarkMask() {
  const TSize size =
      cxPainterInstance<TcxStandardLookAndFeelPainter>()->CheckButtonSize();
  TObjectPtr<TBitmap> mask(new TBitmap);
  mask->SetSize(size.cx, size.cy);
  TCanvas* canvas = mask->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(TRect{0, 0, size.cx, size.cy});
  TGdiObject<HBITMAP> boxes(static_cast<HBITMAP>(LoadImageA(
      nullptr, MAKEINTRESOURCEA(kOemCheckBoxes), IMAGE_BITMAP, 0, 0, 0)));
  if (!boxes) return mask;
  BITMAP info{};
  GetObjectA(boxes.get(), sizeof(info), &info);
  // The system bitmap holds a grid of 4 columns by 3 rows of cells.
  const Integer cellWidth = info.bmWidth / 4;
  TOwnedDC dc(CreateCompatibleDC(nullptr));
  TSelectObject selected(dc.get(), boxes.get());
  const Integer w = std::min<Integer>(size.cx, cellWidth);
  const Integer h = std::min<Integer>(size.cy, info.bmHeight / 3);
  for (Integer y = 0; y < h; ++y) {
    for (Integer x = 0; x < w; ++x) {
      if (GetPixel(dc.get(), x, y) != GetPixel(dc.get(), x + cellWidth, y)) {
        canvas->SetPixels(x, y, clBlack);
      }
    }
  }
  return mask;
}

// Frames R with a line AWidth wide and shrinks it by that.
void Frame(TcxCanvas* ACanvas, TRect& R, TColor AColor, Integer AWidth = 1) {
  ACanvas->FrameRect(R, AColor, AWidth);
  R = cxRectInflate(R, -AWidth, -AWidth);
}

// A sunken edge on R; R then moves in by one pixel, onto the edge's inner
// line, which the caller frames in its own colours.
void SunkenEdge(TcxCanvas* ACanvas, TRect& R) {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawEdge(ACanvas->Handle(), &r, EDGE_SUNKEN, BF_RECT);
  R = cxRectInflate(R, -1, -1);
}

void DrawGlyphCell(TcxCanvas* ACanvas, const TRect& ACheckRect,
                   TcxCheckBoxState AState, TcxEditCheckState ACheckState,
                   TBitmap* AGlyph, Integer AGlyphCount, TColor ABrushColor,
                   bool AIsThreeGlyphSets) {
  const Integer index = GetEditCheckGlyphIndex(AState, ACheckState,
                                               AIsThreeGlyphSets, AGlyphCount);
  const Integer cellWidth = AGlyph->Width() / AGlyphCount;
  const Integer w = ACheckRect.Width();
  const Integer h = ACheckRect.Height();
  TObjectPtr<TBitmap> cell(new TBitmap);
  cell->SetSize(w, h);
  const Integer top = (AGlyph->Height() - h) / 2;
  cell->Canvas()->CopyRect(
      TRect{0, 0, w, h}, AGlyph->Canvas(),
      TRect{index * cellWidth, top, index * cellWidth + w, top + h});
  cell->SetTransparent(true);
  cell->SetTransparentColor(AGlyph->TransparentColor());
  DrawGlyph(ACanvas, ACheckRect.Left, ACheckRect.Top, cell.get(),
            ACheckState != ecsDisabled, ABrushColor);
}

TcxButtonState ButtonStateOf(TcxEditCheckState ACheckState) {
  static constexpr TcxButtonState kStates[] = {cxbsNormal, cxbsHot, cxbsPressed,
                                               cxbsDisabled};
  return kStates[ACheckState];
}

bool IsHighlightedBorder(TcxEditCheckState ACheckState, bool AIsDesigning,
                         bool AFocused) {
  return ACheckState == ecsHot || ACheckState == ecsPressed ||
         (AIsDesigning && ACheckState != ecsDisabled) ||
         (AFocused && ACheckState == ecsNormal);
}

void DrawFlatContent(TcxCanvas* ACanvas, const TRect& AContent,
                     TcxCheckBoxState AState, TcxEditCheckState ACheckState,
                     bool AOffice11,
                     TcxCheckBoxNullValueShowingStyle ANullStyle) {
  TColor fill = clWindow;
  if (ACheckState == ecsHot || ACheckState == ecsPressed) {
    fill = GetEditButtonHighlightColor(ACheckState == ecsPressed, AOffice11);
  } else if (ACheckState == ecsDisabled ||
             (AState == cbsGrayed && ANullStyle == nssInactive)) {
    fill = clBtnFace;
  }
  ACanvas->FillRect(AContent, fill);
  if (AState != cbsChecked &&
      !(AState == cbsGrayed && ANullStyle == nssGrayedChecked)) {
    return;
  }
  TBitmap* mask = cxCheckMarkMask();
  const TColor mark = AState == cbsChecked && ACheckState != ecsDisabled
                          ? clBtnText
                          : clBtnShadow;
  auto saved = ACanvas->SavedDCScope();
  ACanvas->IntersectClipRect(AContent);
  const HDC dc = ACanvas->Handle();
  TSelectObject brush(dc, GetSolidBrush(mark));
  BitBlt(dc, AContent.Left - 2, AContent.Top - 2, mask->Width(), mask->Height(),
         mask->Canvas()->Handle(), 0, 0, kMaskBrushRop);
}

}  // namespace

TBitmap* cxCheckMarkMask() {
  TObjectPtr<TBitmap>& mask = CheckMarkMask();
  if (!mask) mask = BuildCheckMarkMask();
  return mask.get();
}

UINT GetClassicCheckFrameState(TcxCheckBoxState AState,
                               TcxEditCheckState ACheckState,
                               TcxEditBorderStyle AEditBorderStyle,
                               TcxCheckBoxNullValueShowingStyle ANullStyle) {
  UINT state = DFCS_BUTTONCHECK;
  if (AEditBorderStyle != ebs3D) state |= DFCS_FLAT;
  const bool grayedChecked =
      AState == cbsGrayed && ANullStyle == nssGrayedChecked;
  if (ACheckState == ecsDisabled) {
    // Disabled: three-state, pushed and checked (1544) for a checked look,
    // else three-state, inactive and pushed (776).
    state |= (AState == cbsChecked || grayedChecked)
                 ? DFCS_BUTTON3STATE | DFCS_PUSHED | DFCS_CHECKED
                 : DFCS_BUTTON3STATE | DFCS_INACTIVE | DFCS_PUSHED;
    return state;
  }
  if (AState == cbsChecked) {
    state |= DFCS_CHECKED;
  } else if (AState == cbsGrayed) {
    state |= DFCS_BUTTON3STATE;
    if (ANullStyle == nssGrayedChecked) state |= DFCS_CHECKED;
    if (ANullStyle == nssInactive) state |= DFCS_INACTIVE;
  }
  if (ACheckState == ecsPressed) state |= DFCS_PUSHED;
  return state;
}

void DrawEditCheck(TcxCanvas* ACanvas, const TRect& ACheckRect,
                   TcxCheckBoxState AState, TcxEditCheckState ACheckState,
                   TBitmap* AGlyph, Integer AGlyphCount,
                   TcxEditBorderStyle AEditBorderStyle, bool ANativeStyle,
                   TColor ABorderColor, TColor ABrushColor,
                   bool ADrawBackground, bool AIsDesigning, bool AFocused,
                   bool AIsThreeGlyphSets, TcxLookAndFeelPainterClass APainter,
                   TcxCheckBoxNullValueShowingStyle ANullValueShowingStyle) {
  if (!ADrawBackground) ABrushColor = clNone;
  if (AState == cbsGrayed && ANullValueShowingStyle == nssUnchecked) {
    AState = cbsUnchecked;
  }
  if (AGlyphCount > 0 && VerifyBitmap(AGlyph)) {
    DrawGlyphCell(ACanvas, ACheckRect, AState, ACheckState, AGlyph, AGlyphCount,
                  ABrushColor, AIsThreeGlyphSets);
    return;
  }
  if (APainter) {
    if (ADrawBackground && ABrushColor != clNone) {
      ACanvas->FillRect(ACheckRect, ABrushColor);
    }
    APainter->DrawCheckButton(ACanvas, ACheckRect, ButtonStateOf(ACheckState),
                              AState == cbsChecked, AState == cbsGrayed);
    return;
  }
  if (ANativeStyle) {
    const HTHEME theme = OpenTheme(totButton);
    if (theme) {
      DrawThemeBackground(theme, ACanvas->Handle(), kThemeCheckBoxPart,
                          4 * AState + ACheckState + 1,
                          reinterpret_cast<const RECT*>(&ACheckRect), nullptr);
      return;
    }
  }
  TRect r = ACheckRect;
  const Integer offset =
      2 - GetContainerBorderWidth(
              static_cast<TcxContainerBorderStyle>(AEditBorderStyle));
  if (offset > 0) {
    if (ADrawBackground && ABrushColor != clNone) {
      ACanvas->FrameRect(r, ABrushColor, offset);
    }
    r = cxRectInflate(r, -offset, -offset);
  }
  const bool office11 = AEditBorderStyle == ebsOffice11;
  switch (AEditBorderStyle) {
    case ebsSingle:
      Frame(ACanvas, r, ABorderColor);
      break;
    case ebsThick:
      Frame(ACanvas, r, ABorderColor, 2);
      break;
    case ebsFlat:
      SunkenEdge(ACanvas, r);
      Frame(ACanvas, r, clBtnFace);
      break;
    case ebs3D:
      SunkenEdge(ACanvas, r);
      ACanvas->DrawComplexFrame(r, cl3DDkShadow, cl3DLight);
      break;
    case ebsUltraFlat:
    case ebsOffice11: {
      TColor color = clBtnShadow;
      if (IsHighlightedBorder(ACheckState, AIsDesigning, AFocused)) {
        color = GetEditBorderHighlightColor(office11);
      }
      if (office11 && ACheckState == ecsNormal && !AFocused && !AIsDesigning) {
        color = clBtnText;
      }
      Frame(ACanvas, r, color);
      break;
    }
    case ebsNone:
      break;
  }
  const TRect content = cxRectInflate(ACheckRect, -2, -2);
  if (AEditBorderStyle == ebsUltraFlat || office11) {
    DrawFlatContent(ACanvas, content, AState, ACheckState, office11,
                    ANullValueShowingStyle);
    return;
  }
  auto saved = ACanvas->SavedDCScope();
  ACanvas->IntersectClipRect(content);
  TRect wide = cxRectInflate(content, 2, 2);
  DrawFrameControl(
      ACanvas->Handle(), reinterpret_cast<RECT*>(&wide), DFC_BUTTON,
      GetClassicCheckFrameState(AState, ACheckState, AEditBorderStyle,
                                ANullValueShowingStyle));
}

TSize GetEditCheckSize(TcxCanvas* ACanvas, bool ANativeStyle, TBitmap* AGlyph,
                       Integer AGlyphCount,
                       TcxLookAndFeelPainterClass APainter) {
  (void)ACanvas;
  if (AGlyphCount > 0 && VerifyBitmap(AGlyph)) {
    return TSize{AGlyph->Width() / AGlyphCount, AGlyph->Height()};
  }
  if (APainter) return APainter->CheckButtonSize();
  if (AreVisualStylesMustBeUsed(ANativeStyle, totButton)) {
    return cxPainterInstance<TcxWinXPLookAndFeelPainter>()->CheckButtonSize();
  }
  return cxPainterInstance<TcxStandardLookAndFeelPainter>()->CheckButtonSize();
}

Integer GetEditCheckBorderOffset(TcxContainerBorderStyle ABorderStyle,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter) {
  if (ANativeStyle || AHasGlyph || APainter) return 0;
  return 2 - GetContainerBorderWidth(ABorderStyle);
}

Integer GetEditCheckBorderOffset(TcxEditBorderStyle ABorderStyle,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter) {
  return GetEditCheckBorderOffset(
      static_cast<TcxContainerBorderStyle>(ABorderStyle), ANativeStyle,
      AHasGlyph, APainter);
}

Integer GetEditCheckBorderOffset(TcxLookAndFeelKind ALookAndFeelKind,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter) {
  if (ANativeStyle || AHasGlyph || APainter) return 0;
  return 2 - GetContainerBorderWidth(ALookAndFeelKind);
}

void DrawCheckBoxText(TcxCanvas* ACanvas, const String& AText, TFont* AFont,
                      TColor ATextColor, const TRect& ARect, Integer AFlags,
                      bool AEnabled) {
  ACanvas->SetFont(AFont);
  ACanvas->Font()->SetColor(ATextColor);
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->DrawTexT(AText, ARect, AFlags, AEnabled);
  ACanvas->Brush()->SetStyle(bsSolid);
}
