// The graphics layer of the component library: the canvas every control
// draws through (frames per side, clip-region arithmetic with stacks of
// saved clip regions, DC states and drawing objects, text with the library's
// own text flags), GDI regions, colour derivation and named colours,
// whole-bitmap pixel access, alpha blending and resampling (through
// msimg32 when it is there, by own code otherwise), the always-32-bit
// bitmap with its pixel effects, the image-drawing pipeline, the library's
// image list and a reference-counted brush cache. Windows only.
#pragma once

// Classes.h comes before <windows.h> (its GetObject macro).
#include "Classes.h"
//
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <functional>
#include <vector>

#include "Graphics.h"
#include "Handles.h"
#include "ImgList.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "Types.h"

class TcxCanvas;
class TcxBitmap;
class TcxImageList;

// ---------------------------------------------------------------------------
// Text flags
// ---------------------------------------------------------------------------

// The library's own text flags, shared by the canvas and the text routines.
constexpr Integer cxtfAlignLeft = 0x0001;
constexpr Integer cxtfAlignRight = 0x0002;
constexpr Integer cxtfAlignHCenter = 0x0004;
constexpr Integer cxtfAlignTop = 0x0008;
constexpr Integer cxtfAlignBottom = 0x0010;
constexpr Integer cxtfAlignVCenter = 0x0020;
constexpr Integer cxtfSingleLine = 0x0040;
constexpr Integer cxtfDontClip = 0x0080;
constexpr Integer cxtfExpandTabs = 0x0100;
constexpr Integer cxtfShowPrefix = 0x0200;
constexpr Integer cxtfWordBreak = 0x0400;
constexpr Integer cxtfEndEllipsis = 0x0800;
constexpr Integer cxtfCalcRect = 0x1000;
constexpr Integer cxtfPathEllipsis = 0x2000;
constexpr Integer cxtfDontBreakChars = 0x4000;

// The DrawText flags for a set of the library's text flags. DT_NOPREFIX is
// set unless cxtfShowPrefix is given.
UINT cxFlagsToDTFlags(Integer Flags);

// Vertical alignment of a text block.
enum TcxAlignmentVert : Byte { vaTop, vaBottom, vaCenter };

// Indexed by the class library's horizontal alignment (left, right,
// centre) and by TcxAlignmentVert.
constexpr Integer cxAlignmentsHorz[3] = {cxtfAlignLeft, cxtfAlignRight,
                                         cxtfAlignHCenter};
constexpr Integer cxAlignmentsVert[3] = {cxtfAlignTop, cxtfAlignBottom,
                                         cxtfAlignVCenter};
constexpr UINT SystemAlignmentsHorz[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};
constexpr UINT SystemAlignmentsVert[3] = {DT_TOP, DT_BOTTOM, DT_VCENTER};

constexpr TRect cxEmptyRect{0, 0, 0, 0};

using TRectArray = std::vector<TRect>;

// ---------------------------------------------------------------------------
// Regions
// ---------------------------------------------------------------------------

enum TcxRegionOperation : Byte { roSet, roAdd, roSubtract, roIntersect };

// Owns a GDI region handle and deletes it when destroyed.
class TcxRegion : public TObject {
  VARNEL_CLASS(TcxRegion, TObject)
 public:
  // The empty rectangular region (0, 0, 0, 0).
  TcxRegion();
  // Takes ownership of the handle.
  explicit TcxRegion(HRGN AHandle);
  explicit TcxRegion(const TRect& ABounds);
  TcxRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  ~TcxRegion() override;
  TcxRegion(const TcxRegion&) = delete;
  TcxRegion& operator=(const TcxRegion&) = delete;

  HRGN Handle() const { return handle_.get(); }
  bool IsEmpty() const;

  // roSet copies ARegion into this one; the others combine this region
  // with ARegion into this one. With ADestroyRegion, ARegion is freed.
  void Combine(TcxRegion* ARegion, TcxRegionOperation AOperation,
               bool ADestroyRegion = true);
  bool IsEqual(TcxRegion* ARegion) const;
  bool IsEqual(HRGN ARegion) const;
  void Offset(Integer DX, Integer DY);
  bool PtInRegion(const TPoint& Pt) const;
  bool PtInRegion(Integer X, Integer Y) const;
  bool RectInRegion(const TRect& R) const;
  bool RectInRegion(Integer ALeft, Integer ATop, Integer ARight,
                    Integer ABottom) const;

 protected:
  void DestroyHandle();

 private:
  TRegionHandle handle_;
};

// ---------------------------------------------------------------------------
// Canvas
// ---------------------------------------------------------------------------

enum TcxBorder : Byte { bLeft, bTop, bRight, bBottom };
using TcxBorders = TSet<TcxBorder>;
constexpr TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};

enum TcxRotationAngle : Byte { ra0, raPlus90, raMinus90, ra180 };

// The resolved drawing parameters of a style.
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clNone;
  TFont* Font = nullptr;  // not owned
  TColor TextColor = clNone;
};

// One saved drawing state: copies of the font, brush and pen.
struct TcxCanvasState {
  TObjectPtr<TFont> Font;
  TObjectPtr<TBrush> Brush;
  TObjectPtr<TPen> Pen;
};
using TcxCanvasStates = std::vector<TcxCanvasState>;

// The drawing surface of the library's controls over a class-library canvas
// it does not own.
class TcxCanvas : public TObject {
  VARNEL_CLASS(TcxCanvas, TObject)
 public:
  explicit TcxCanvas(TCanvas* ACanvas);
  ~TcxCanvas() override;
  TcxCanvas(const TcxCanvas&) = delete;
  TcxCanvas& operator=(const TcxCanvas&) = delete;

  TCanvas* Canvas() const { return canvas_; }
  TBrush* Brush() const { return canvas_->Brush(); }
  void SetBrush(TBrush* Value) { canvas_->Brush()->Assign(Value); }
  TFont* Font() const { return canvas_->Font(); }
  void SetFont(TFont* Value) { canvas_->Font()->Assign(Value); }
  TPen* Pen() const { return canvas_->Pen(); }
  void SetPen(TPen* Value) { canvas_->Pen()->Assign(Value); }
  TCopyMode CopyMode() const { return canvas_->CopyMode(); }
  void SetCopyMode(TCopyMode Value) { canvas_->SetCopyMode(Value); }
  HDC Handle() const { return canvas_->Handle(); }
  TPoint WindowOrg() const;
  void SetWindowOrg(const TPoint& P);
  TPoint ViewportOrg() const;
  void SetViewportOrg(const TPoint& P);
  // Viewport origin minus window origin: logical to device offset.
  TPoint DCOrigin() const;

  // Plain forwarders.
  void MoveTo(Integer X, Integer Y) { canvas_->MoveTo(X, Y); }
  void LineTo(Integer X, Integer Y) { canvas_->LineTo(X, Y); }
  void Polygon(const std::vector<TPoint>& Points) { canvas_->Polygon(Points); }
  void Polyline(const std::vector<TPoint>& Points) {
    canvas_->Polyline(Points);
  }
  void SetPixel(Integer X, Integer Y, TColor AColor) {
    canvas_->SetPixels(X, Y, AColor);
  }
  void CopyRect(const TRect& Dest, TCanvas* ACanvas, const TRect& Source) {
    canvas_->CopyRect(Dest, ACanvas, Source);
  }
  void Draw(Integer X, Integer Y, TGraphic* Graphic) {
    canvas_->Draw(X, Y, Graphic);
  }
  void BeginPath();
  void EndPath();
  void WidenPath();
  // The caller owns the result.
  TObjectPtr<TcxRegion> PathToRegion();
  void ExcludeClipRect(const TRect& R);
  void IntersectClipRect(const TRect& R);
  bool RectVisible(const TRect& R) const;

  void SetBrushColor(TColor Value);
  void GetParams(TcxViewParams& AParams) const;
  void SetParams(const TcxViewParams& AParams);

  // clNone draws nothing; clDefault fills with the current brush.
  void FillRect(const TRect& R, TColor AColor = clDefault);
  // Tiles the bitmap on a grid anchored at the logical origin (the brush
  // when the bitmap is missing or empty); with AExcludeRect the rectangle
  // is then cut out of the clip region.
  void FillRect(const TRect& R, TBitmap* ABitmap, bool AExcludeRect = false);
  void FillRect(const TRect& R, const TcxViewParams& AParams,
                TcxBorders ABorders, TColor ABorderColor,
                Integer ALineWidth = 1, bool AExcludeRect = false);
  void FrameRect(const TRect& R, TColor AColor = clDefault,
                 Integer ALineWidth = 1, TcxBorders ABorders = cxBordersAll,
                 bool AExcludeFrame = false);
  void DrawComplexFrame(const TRect& R, TColor ALeftTopColor,
                        TColor ARightBottomColor,
                        TcxBorders ABorders = cxBordersAll,
                        Integer ABorderWidth = 1);
  void DrawEdge(const TRect& R, bool ASunken, bool AOuter,
                TcxBorders ABorders = cxBordersAll);
  void InvertFrame(const TRect& R, Integer ABorderSize);
  void InvertRect(const TRect& R);
  void DrawFocusRect(const TRect& R);
  void DrawDesignSelection(TRect R, Integer AWidth);

  void FillRegion(TcxRegion* ARegion, TColor AColor = clDefault);
  void FillRegion(HRGN ARegion, TColor AColor = clDefault);
  void FrameRegion(TcxRegion* ARegion, TColor AColor = clDefault,
                   Integer ABorderWidth = 1, Integer ABorderHeight = 1);
  void FrameRegion(HRGN ARegion, TColor AColor = clDefault,
                   Integer ABorderWidth = 1, Integer ABorderHeight = 1);
  void DrawRegion(TcxRegion* ARegion, TColor AContentColor = clDefault,
                  TColor ABorderColor = clDefault, Integer ABorderWidth = 1,
                  Integer ABorderHeight = 1);
  void DrawRegion(HRGN ARegion, TColor AContentColor = clDefault,
                  TColor ABorderColor = clDefault, Integer ABorderWidth = 1,
                  Integer ABorderHeight = 1);

  void Pie(const TRect& R, const TPoint& ARadial1, const TPoint& ARadial2);
  // Angles in degrees, counter-clockwise from the positive x axis.
  void Pie(const TRect& R, Integer AStartAngle, Integer ASweepAngle);

  // Text in the library's text flags; disabled text is embossed.
  void DrawTexT(const String& Text, TRect R, Integer Flags,
                bool Enabled = true);
  TSize TextExtent(const String& Text);
  void TextExtent(const String& Text, TRect& R, Integer Flags);
  Integer TextWidth(const String& Text);
  Integer TextHeight(const String& Text);
  Integer FontHeight(TFont* AFont);
  void AlignMultiLineTextRectVertically(TRect& R, const String& Text,
                                        TcxAlignmentVert AAlignmentVert,
                                        bool AWordBreak, bool AShowPrefix,
                                        bool AEnabled = true,
                                        bool ADontBreakChars = false);
  // One rectangle per output line.
  void GetTextStringsBounds(String Text, TRect R, Integer Flags, bool Enabled,
                            TRectArray& ABounds);

  void DrawImage(TCustomImageList* Images, Integer X, Integer Y, Integer Index,
                 bool Enabled = true);
  void DrawGlyph(Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled = true,
                 TColor ABackgroundColor = clNone);
  void TransparentDraw(Integer X, Integer Y, TBitmap* ABitmap, Byte AAlpha,
                       TBitmap* ABackground = nullptr);
  void RotateBitmap(TBitmap* ABitmap, TcxRotationAngle ARotationAngle,
                    bool AFlipVertically = false);
  void FlipHorizontally(TBitmap* ABitmap);
  void SetFontAngle(Integer Value);
  // Takes over the font, brush and pen selected into ADC.
  void SynchronizeObjects(HDC ADC);

  void SaveDC();
  void RestoreDC();
  // SaveDC now, RestoreDC when the scope is left.
  [[nodiscard]] auto SavedDCScope() {
    return MakeBracket(this, &TcxCanvas::SaveDC, &TcxCanvas::RestoreDC);
  }
  void SaveClipRegion();
  void RestoreClipRegion();
  void SaveState();
  void RestoreState();

  // A DC without a clip region yields the rectangle (0, 0, 30000, 30000).
  TObjectPtr<TcxRegion> GetClipRegion(bool AConsiderOrigin = true);
  // ADestroyRegion: the canvas frees ARegion (the library's own signature);
  // the overload below says the same in the type.
  void SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation,
                     bool ADestroyRegion = true, bool AConsiderOrigin = true);
  void SetClipRegion(TObjectPtr<TcxRegion> ARegion,
                     TcxRegionOperation AOperation,
                     bool AConsiderOrigin = true);
  bool RectFullyVisible(const TRect& R);

  // Stack depths, for callers that check their brackets.
  Integer SavedDCCount() const { return static_cast<Integer>(dcs_.size()); }
  Integer SavedClipRegionCount() const {
    return static_cast<Integer>(clipRegions_.size());
  }
  Integer SavedStateCount() const {
    return static_cast<Integer>(states_.size());
  }

 protected:
  // For descendants that make their canvas after the base is built.
  void SetCanvas(TCanvas* ACanvas) { canvas_ = ACanvas; }

 private:
  TCanvas* canvas_;
  std::vector<int> dcs_;
  std::vector<TObjectPtr<TcxRegion>> clipRegions_;
  TcxCanvasStates states_;
};

// A canvas on the screen DC, taken on first use and released when freed.
class TcxScreenCanvas : public TcxCanvas {
  VARNEL_CLASS(TcxScreenCanvas, TcxCanvas)
 public:
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;

 private:
  TObjectPtr<TCanvas> screenCanvas_;
};

// The shared screen canvas for measuring without a DC of one's own.
TcxCanvas* cxScreenCanvas();

// Font, text colour, then brush colour.
void cxApplyViewParams(TcxCanvas* ACanvas, const TcxViewParams& AParams);

class TWinControl;

// Paints the control's parent behind the control: through the visual
// styles when they are loaded and the parent is not double buffered, else
// by cxDrawTransparentControlBackground without the children.
void cxDrawThemeParentBackground(TWinControl* AControl, TcxCanvas* ACanvas,
                                 const TRect& ARect);
void cxDrawThemeParentBackground(TWinControl* AControl, TCanvas* ACanvas,
                                 const TRect& ARect);
// Has the parent paint ARect (in the control's coordinates) onto the canvas
// at the canvas's logical origin; with APaintChildren also the windowed
// siblings that come before the control. Nothing without a parent.
void cxDrawTransparentControlBackground(TWinControl* AControl,
                                        TcxCanvas* ACanvas, const TRect& ARect,
                                        bool APaintChildren = true);
void cxDrawTransparentControlBackground(TWinControl* AControl, TCanvas* ACanvas,
                                        const TRect& ARect,
                                        bool APaintChildren = true);

// ---------------------------------------------------------------------------
// The msimg32 binding
// ---------------------------------------------------------------------------

// The entry points of msimg32 the layer uses; null when missing. Tests
// install their own to run the own-code paths.
struct TcxMsimg32Binding {
  using TAlphaBlend = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int,
                                    int, BLENDFUNCTION);
  using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG,
                                      ULONG);
  TAlphaBlend AlphaBlend = nullptr;
  TGradientFill GradientFill = nullptr;
};

const TcxMsimg32Binding& cxMsimg32();
// Replaces the binding until the next call (an empty one disables the
// library); cxRestoreMsimg32Binding returns to the loaded library's.
void cxSetMsimg32Binding(const TcxMsimg32Binding& ABinding);
void cxRestoreMsimg32Binding();
bool cxIsAlphaBlendAvailable();

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

using TRGBColors = std::vector<RGBQUAD>;
using TcxColorPart = Byte;

struct TcxColorInfo {
  const char* Name;
  TColor Color;
};

// The named colours: the 140 extended colour keywords, then 28 system
// colours.
const std::vector<TcxColorInfo>& cxColorsByName();
bool cxColorByName(const String& AName, TColor& AColor);
bool cxNameByColor(TColor AColor, String& AName);

TColor GetLightColor(Integer ABtnFaceColorPart, Integer AHighlightColorPart,
                     Integer AWindowColorPart);
TColor GetLightBtnFaceColor();
TColor GetLightSelColor();
TColor GetLightDownedColor();
TColor GetLightDownedSelColor();
// The colour the display really shows.
TColor GetRealColor(TColor AColor);
RGBQUAD cxColorToRGBQuad(TColor AColor, Byte AReserved = 0);

// ---------------------------------------------------------------------------
// Pixels and bitmaps
// ---------------------------------------------------------------------------

TRGBColors GetBitmapBits(TBitmap* ABitmap, bool ATopDownDIB);
// Consumes AColors.
void SetBitmapBits(TBitmap* ABitmap, TRGBColors& AColors, bool ATopDownDIB);

TObjectPtr<TBitmap> cxCreateBitmap(Integer AWidth, Integer AHeight,
                                   TPixelFormat AFormat = pf24bit);
TObjectPtr<TBitmap> cxCreateBitmap(const TSize& ASize,
                                   TPixelFormat AFormat = pf24bit);
TObjectPtr<TBitmap> cxCreateBitmap(const TRect& ARect,
                                   TPixelFormat AFormat = pf24bit);
TObjectPtr<TBitmap> cxCreateTrueColorBitmap(Integer AWidth, Integer AHeight);
TObjectPtr<TBitmap> cxCreateTrueColorBitmap(const TSize& ASize);
HBITMAP cxCreateTrueColorBitmapHandle(Integer AWidth, Integer AHeight,
                                      Integer ABPP = 32);

bool IsGlyphAssigned(TBitmap* AGlyph);
bool IsImageAssigned(TCustomImageList* AImageList, Integer AImageIndex);

// Copies the source's R + B onto the destination's R + A.
void cxCopyImage(TBitmap* ASource, TBitmap* ADestination, const TPoint& A,
                 const TPoint& B, const TRect& R);
// Copies the source's R + A onto the destination's R + B.
void cxCopyImage(TCanvas* ASource, TCanvas* ADestination, const TPoint& A,
                 const TPoint& B, const TRect& R);
void cxBitBlt(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect,
              const TPoint& ASrcTopLeft, DWORD ROP);
void cxDrawImageList(HIMAGELIST AHandle, Integer AIndex, HDC ADC,
                     const TPoint& APoint, TDrawingStyle ADrawingStyle,
                     TImageType AImageType);

// ---------------------------------------------------------------------------
// Blending and resampling
// ---------------------------------------------------------------------------

// Premultiplied source-over with a constant alpha.
void cxBlendFunction(const RGBQUAD& ASource, RGBQUAD& ADestination,
                     Byte ASourceConstantAlpha);
bool SystemAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect,
                      Byte ASourceConstantAlpha, const TRect& ASrcRect);
void cxAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect,
                  const TRect& ASrcRect, bool ASmoothImage = false,
                  Byte AConstantAlpha = 255);
void cxAlphaBlend(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect,
                  const TRect& ASrcRect, bool ASmoothImage = false,
                  Byte AConstantAlpha = 255);
void cxAlphaBlend(TBitmap* ADestBitmap, TBitmap* ASrcBitmap,
                  const TRect& ADestRect, const TRect& ASrcRect,
                  bool ASmoothImage = false, Byte AConstantAlpha = 255);
// The background, then the source over it with a constant alpha.
void cxAlphaBlend(TBitmap* ADest, TBitmap* ABkSource, TBitmap* ASource,
                  Byte ASourceConstantAlpha = 255);
// Tints an area of a 32-bit bitmap with an explicit RGB colour.
void cxAlphaBlend(TBitmap* ABitmap, const TRect& ARect, TColor AColor,
                  Byte AAlpha = 255);

// Scales the source to the destination's current size: HALFTONE stretching
// on NT unless AForceUseLanczos3Filter, else a separable Lanczos3 filter.
void cxSmoothResizeBitmap(TBitmap* ASource, TBitmap* ADestination,
                          bool AForceUseLanczos3Filter = false);

// ---------------------------------------------------------------------------
// Fills, marks and small wrappers
// ---------------------------------------------------------------------------

// A one-pixel checkerboard pattern brush (shared).
TBrush* cxHalfToneBrush();
// The shared brush of a system colour index 0-30; null outside.
TBrush* cxSystemBrush(Integer AIndex);
void cxFillHalfToneRect(TCanvas* Canvas, const TRect& ARect, TColor ABkColor,
                        TColor AColor);
void cxDrawArrows(TCanvas* ACanvas, const TRect& ARect, TcxBorder ASide,
                  TColor AColor, TColor APenColor = clDefault);

// Sets the window origin to R's top-left and stores the previous origin
// there.
void cxSetCanvasOrg(TCanvas* ACanvas, TRect& AOrg);
void cxInvalidateRect(HWND AHandle, const TRect& ARect, bool AEraseBackground);
void cxInvalidateRect(HWND AHandle, bool AEraseBackground);
bool cxGetBitmapData(HBITMAP ABitmapHandle, BITMAP& ABitmapData);
bool cxGetBrushData(HBRUSH ABrushHandle, LOGBRUSH& ALogBrush);
LOGBRUSH cxGetBrushData(HBRUSH ABrushHandle);
bool cxGetFontData(HFONT AFontHandle, LOGFONTA& ALogFont);
bool cxGetPenData(HPEN APenHandle, LOGPEN& ALogPen);
Integer cxGetScreenPixelsPerInch(bool AHorizontal);
TSize cxGetCursorSize();
// Moves each side inward by the extension's matching field.
void ExtendRect(TRect& ARect, const TRect& AExtension);
// Moves the change link and the component's free notification to the new
// list and signals the link; nothing when the list is the current one.
void cxSetImageList(TCustomImageList* AValue, TCustomImageList*& AFieldValue,
                    TChangeLink* AChangeLink, TComponent* ANotifyComponent);

// ---------------------------------------------------------------------------
// Bitmaps
// ---------------------------------------------------------------------------

// Weights of red, green and blue for a grey transformation; Alpha is the
// constant alpha of drawing in that mode.
struct TcxColorTransitionMap {
  float RedScale;
  float GreenScale;
  float BlueScale;
  Byte SrcAlpha;
  Byte Alpha;
};

extern const TcxColorTransitionMap DisableMap;
extern const TcxColorTransitionMap FadeMap;
extern const TcxColorTransitionMap GrayMap;

enum TcxBitmapTransformationMode : Byte {
  btmDingy,
  btmDirty,
  btmGrayScale,
  btmSetOpaque,
  btmMakeMask,
  btmFade,
  btmDisable,
  btmCorrectBlend,
  btmHatch,
  btmClear
};

enum TcxImageDrawMode : Byte {
  idmNormal,
  idmDisabled,
  idmFaded,
  idmGrayScale,
  idmDingy,
  idmShadowed
};

// A bitmap with its own TcxCanvas, update locking and rotation.
class TcxCustomBitmap : public TBitmap {
  VARNEL_CLASS(TcxCustomBitmap, TBitmap)
 public:
  TcxCustomBitmap();
  TcxCustomBitmap(Integer AWidth, Integer AHeight,
                  TPixelFormat APixelFormat = pf24bit);
  explicit TcxCustomBitmap(const TRect& ARect,
                           TPixelFormat APixelFormat = pf24bit);
  ~TcxCustomBitmap() override;

  void BeginUpdate();
  void EndUpdate(bool AForceUpdate = true);
  void SetSize(Integer AWidth, Integer AHeight) override;
  void Rotate(TcxRotationAngle ARotationAngle, bool AFlipVertically = false);
  TRect ClientRect() { return Rect(0, 0, Width(), Height()); }
  TcxCanvas* cxCanvas() const { return cxCanvas_.get(); }

 protected:
  struct TDeferInit {};
  // For descendants that initialize themselves.
  explicit TcxCustomBitmap(TDeferInit) {}
  void Changed(TObject* Sender) override;
  void Initialize(Integer AWidth, Integer AHeight, TPixelFormat APixelFormat);
  virtual void Update() {}
  bool Locked() const { return lockCount_ > 0; }

 private:
  TObjectPtr<TcxCanvas> cxCanvas_;
  Integer lockCount_ = 0;
  bool changed_ = false;
};

// Transparent colours besides the bitmap's own, kept as RGBQUAD values with
// a zero alpha byte.
class TcxColorList : public TList {
  VARNEL_CLASS(TcxColorList, TList)
 public:
  Integer Add(TColor AColor);
  bool ContainsRGB(const RGBQUAD& AColor) const;
};

#pragma pack(push, 1)
struct TcxHatchData {
  RGBQUAD Color1;
  Byte Alpha1;
  RGBQUAD Color2;
  Byte Alpha2;
  Byte Step;
};
#pragma pack(pop)

// A bitmap that is always 32 bits per pixel, with a transparent colour,
// further transparent colours and per-pixel effects.
class TcxBitmap : public TcxCustomBitmap {
  VARNEL_CLASS(TcxBitmap, TcxCustomBitmap)
 public:
  TcxBitmap();
  // The pixel format asked for is ignored: the bitmap is always 32-bit.
  TcxBitmap(Integer AWidth, Integer AHeight,
            TPixelFormat APixelFormat = pf32bit);
  explicit TcxBitmap(const TRect& ARect, TPixelFormat APixelFormat = pf32bit);
  TcxBitmap(Integer AWidth, Integer AHeight, const RGBQUAD& ATransparentColor);
  ~TcxBitmap() override;

  void SetSize(Integer AWidth, Integer AHeight) override;
  void Clear();
  void GetBitmapColors(TRGBColors& AColors);
  void SetBitmapColors(const TRGBColors& AColors);
  void CopyBitmap(TBitmap* ABitmap, DWORD ACopyMode = SRCCOPY);
  void CopyBitmap(TBitmap* ABitmap, const TRect& ADestRect,
                  const TPoint& ASrcTopLeft, DWORD ACopyMode = SRCCOPY);
  // Pixels under white mask pixels become 0.
  void Filter(TcxBitmap* AMaskBitmap);
  void Invert();
  void AlphaBlend(TcxBitmap* ADestBitmap, const TRect& ARect, bool ASmoothImage,
                  Byte AConstantAlpha = 255);
  void DrawHatch(const TcxHatchData& AHatchData);
  void DrawHatch(TColor AColor1, TColor AColor2, Byte AStep, Byte AAlpha1 = 255,
                 Byte AAlpha2 = 255);
  void DrawShadow(TcxBitmap* AMaskBitmap, Integer AShadowSize,
                  TColor AShadowColor, bool AInflateSize = false);
  void Shade(TcxBitmap* AMaskBitmap);
  void MakeOpaque();
  void RecoverAlphaChannel(TColor ATransparentColor);
  void TransformBitmap(TcxBitmapTransformationMode AMode);
  bool IsColorTransparent(const RGBQUAD& AColor) const;
  bool IsAlphaUsed();

  RGBQUAD TransparentBkColor() const { return transparentBkColor_; }
  void SetTransparentBkColor(const RGBQUAD& Value) {
    transparentBkColor_ = Value;
  }
  TcxColorList* TransparentPixels() const { return transparentPixels_.get(); }

 protected:
  void Update() override;

 private:
  void InitializeBitmap(Integer AWidth, Integer AHeight);
  void TransformPixel(TcxBitmapTransformationMode AMode, RGBQUAD& AColor);

  BITMAPINFO bitmapInfo_{};
  TOwnedDC dc_;
  RGBQUAD transparentBkColor_{};
  TObjectPtr<TcxColorList> transparentPixels_;
  Integer currentX_ = 0;
  Integer currentY_ = 0;
  TcxHatchData hatchData_{};
};

// An image list of 32-bit images with alpha, drawn through cxDrawImage.
class TcxImageList : public TDragImageList {
  VARNEL_CLASS(TcxImageList, TDragImageList)
 public:
  explicit TcxImageList(TComponent* AOwner);

  void Assign(TPersistent* Source) override;

  Integer Add(TBitmap* AImage, TBitmap* AMask);
  Integer AddMasked(TBitmap* AImage, TColor AMaskColor);
  void AddImages(TCustomImageList* AImages);
  // ALastIndex below 0 copies to the source's last image.
  void CopyImages(TCustomImageList* AImages, Integer AStartIndex = 0,
                  Integer AStopIndex = -1);
  void Insert(Integer AIndex, TBitmap* AImage, TBitmap* AMask);
  void InsertMasked(Integer AIndex, TBitmap* AImage, TColor AMaskColor);
  void Move(Integer ACurIndex, Integer ANewIndex);
  void Replace(Integer AIndex, TBitmap* AImage, TBitmap* AMask);
  void ReplaceMasked(Integer AIndex, TBitmap* AImage, TColor AMaskColor);

  void BeginUpdate();
  void EndUpdate(bool AForceUpdate = true);

  void GetImageInfo(Integer AIndex, TBitmap* AImage, TBitmap* AMask);
  void GetImage(Integer AIndex, TBitmap* AImage);
  void GetMask(Integer AIndex, TBitmap* AMask);
  static void GetImageInfo(HIMAGELIST AHandle, Integer AIndex, TBitmap* AImage,
                           TBitmap* AMask);
  static Integer GetPixelFormat(HIMAGELIST AHandle);

  void Draw(TCanvas* ACanvas, const TRect& ARect, Integer AIndex,
            bool AStretch = true, bool ASmoothResize = false,
            bool AEnabled = true);
  using TCustomImageList::Draw;

  bool AlphaBlending() const { return alphaBlending_; }

 protected:
  void Change() override;
  void Initialize() override;
  void DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style,
              bool Enabled = true) override;
  void DoDrawEx(Integer AIndex, TCanvas* ACanvas, const TRect& ARect,
                UINT AStyle, bool AStretch, bool ASmoothResize, bool AEnabled);
  static HBITMAP GetImageHandle(TBitmap* AImage);

 private:
  Integer lockCount_ = 0;
  bool changed_ = false;
  bool alphaBlending_ = false;
};

VARNEL_EXCEPTION(EBrushCache, Exception)

struct TcxBrushData {
  TObjectPtr<TBrush> Brush;
  TColor Color = clNone;
  Integer RefCount = 0;
};
using TcxBrushesData = std::vector<TcxBrushData>;

// Reference-counted solid brushes keyed by colour; system colours use the
// shared system brushes and are never cached.
class TcxBrushCache : public TObject {
  VARNEL_CLASS(TcxBrushCache, TObject)
 public:
  TcxBrushCache() = default;
  ~TcxBrushCache() override = default;

  void BeginUpdate();
  void EndUpdate();
  TBrush* Add(TColor AColor);
  // Raises EBrushCache "Release unused brush" when the colour's count falls
  // below zero.
  void ReleaseBrush(TBrush*& ABrush);
  void SetBrushColor(TBrush*& ABrush, TColor AColor);
  void Recreate();
  bool IsSystemBrush(TBrush* ABrush) const;
  bool IndexOf(TColor AColor, Integer& AIndex) const;

  Integer Count() const { return count_; }
  Integer Capacity() const { return capacity_; }
  // The reference count of a cached colour, -1 when it is not cached.
  Integer RefCountOf(TColor AColor) const;

 protected:
  void Release(Integer AIndex);
  void Delete(Integer AIndex);
  void Pack();

 private:
  Integer capacity_ = 0;
  Integer count_ = 0;
  TcxBrushesData data_;
  Integer deletedCount_ = 0;
  Integer lockCount_ = 0;
};

// ---------------------------------------------------------------------------
// Image drawing
// ---------------------------------------------------------------------------

// Asked first by cxDrawImage; answering true skips the default drawing. It
// must not call cxDrawImage.
using TcxDrawImageProc = std::function<bool(
    TcxCanvas* ACanvas, TCustomImageList* AImages, Integer AImageIndex,
    TcxImageDrawMode ADrawMode, const TRect& AGlyphRect, TBitmap* AGlyph)>;
extern TcxDrawImageProc CustomDrawImageProc;

void cxDrawImage(HDC ADC, TRect AGlyphRect, const TRect& ABackgroundRect,
                 TBitmap* AGlyph, TCustomImageList* AImages,
                 Integer AImageIndex, TcxImageDrawMode ADrawMode,
                 bool ASmoothImage = false, HBRUSH ABrush = nullptr,
                 TColor ATransparentColor = clNone,
                 bool AUseLeftBottomPixelAsTransparent = true);

void cxMakeTrueColorBitmap(TBitmap* ASourceBitmap, TBitmap* ATrueColorBitmap);
void cxMakeMaskBitmap(TBitmap* ASourceBitmap, TBitmap* AMaskBitmap);
void cxDrawHatch(HDC ADC, const TRect& ARect, TColor AColor1, TColor AColor2,
                 Byte AStep, Byte AAlpha1 = 255, Byte AAlpha2 = 255);

namespace cxgraphics_detail {
// Shut-down steps of the unit's shared objects, kept in their own sources.
void FreeScreenCanvas();
void FreeDrawImageBitmaps();
}  // namespace cxgraphics_detail
