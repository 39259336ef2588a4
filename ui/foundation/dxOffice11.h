// The Office 2003 colour set: colour variables taken from the blue, olive or
// silver scheme of the Windows XP standard style, or mixed from the system
// colours otherwise; the brushes and bitmaps made from them; and the
// gradient, grip and arrow drawing of the Office 2003 look. The set is
// shared: its users take it with CreateOffice11Colors and give it back with
// ReleaseOffice11Colors, and the brushes and bitmaps live while anyone holds
// it. The colour values themselves stay readable at all times.
#pragma once

// Classes.h comes before <windows.h> (see Controls.h).
#include "Classes.h"
//
#include <windows.h>

#include "Graphics.h"
#include "Types.h"

enum TOffice11Scheme : Byte {
  schUnknown,
  schNormalColor,
  schHomestead,
  schMetallic
};

// ---------------------------------------------------------------------------
// Colours, brushes and bitmaps (explicit RGB values once computed)
// ---------------------------------------------------------------------------

extern TColor dxOffice11ToolbarsColor1;
extern TColor dxOffice11ToolbarsColor2;
extern TColor dxOffice11DockColor1;
extern TColor dxOffice11DockColor2;
extern TColor dxOffice11BarFingerColor1;
extern TColor dxOffice11BarFingerColor2;
extern TColor dxOffice11BarSeparatorColor1;
extern TColor dxOffice11BarSeparatorColor2;
extern TColor dxOffice11BarMarkArrowColor1;
extern TColor dxOffice11BarMarkArrowColor2;
extern TColor dxOffice11BarFloatingBorderColor1;
extern TColor dxOffice11BarFloatingBorderColor2;
extern TColor dxOffice11BarFloatingBorderColor3;
extern TColor dxOffice11BarFloatingCaptionColor;
extern TColor dxOffice11BarFloatingCaptionTextColor1;
extern TColor dxOffice11BarFloatingCaptionTextColor2;
extern TColor dxOffice11BarFloatingCaptionTextColor3;
extern TColor dxOffice11DropDownBorderColor1;
extern TColor dxOffice11DropDownBorderColor2;
extern TColor dxOffice11MenuColor;
extern TColor dxOffice11MenuDownedColor1;
extern TColor dxOffice11MenuDownedColor2;
extern TColor dxOffice11MenuIndentColor1;
extern TColor dxOffice11MenuIndentColor2;
extern TColor dxOffice11MenuNonRecentIndentColor1;
extern TColor dxOffice11MenuNonRecentIndentColor2;
extern TColor dxOffice11ToolbarSelectedColor;
extern TColor dxOffice11SelectedBorderColor;
extern TColor dxOffice11SelectedColor1;
extern TColor dxOffice11SelectedColor2;
extern TColor dxOffice11SelectedDownColor1;
extern TColor dxOffice11SelectedDownColor2;
extern TColor dxOffice11OwnerControlDownedColor;
extern TColor dxOffice11DownedColor;
extern TColor dxOffice11DownedSelectedColor;
extern TColor dxOffice11DetachableColor;
extern TColor dxOffice11DetachableSelectedColor;
extern TColor dxOffice11TextEnabledColor;
extern TColor dxOffice11TextDisabledColor;
extern TColor dxOffice11StaticBorderColor;
extern TColor dxOffice11ControlBorderColor;
extern TColor dxOffice11GroupColor;
extern TColor dxOffice11GroupIndentColor;
extern TColor dxOffice11GroupRowTextColor;
extern TColor dxOffice11GroupRowSeparatorColor;
extern TColor dxOffice11DayNavigatorSelectedColor;
extern TColor dxOffice11DateHeaderColor;
extern TColor dxOffice11OutlookControlColor;
extern TColor dxOffice11OutlookBorderColor;
extern TColor dxOffice11InPlaceSubItemColor;
extern TColor dxOffice11InPlaceSubItemTextColor;
extern TColor dxOffice11NavPaneBorder;
extern TColor dxOffice11NavPaneGroupCaptionColor1;
extern TColor dxOffice11NavPaneGroupCaptionColor2;
extern TColor dxOffice11NavPaneGroupCaptionHotColor1;
extern TColor dxOffice11NavPaneGroupCaptionHotColor2;
extern TColor dxOffice11NavPaneGroupCaptionPressedColor1;
extern TColor dxOffice11NavPaneGroupCaptionPressedColor2;
extern TColor dxOffice11NavPaneGroupCaptionPressedHotColor1;
extern TColor dxOffice11NavPaneGroupCaptionPressedHotColor2;
extern TColor dxOffice11NavPaneHeaderColor1;
extern TColor dxOffice11NavPaneHeaderColor2;
extern TColor dxOffice11NavPaneHeaderFontColor;
extern TColor dxOffice11NavPaneSplitterColor1;
extern TColor dxOffice11NavPaneSplitterColor2;
extern TColor dxOffice11ExpandButtonColor1;
extern TColor dxOffice11ExpandButtonColor2;
extern TColor dxOffice11BarMarkColors1[3];
extern TColor dxOffice11BarMarkColors2[3];
extern TColor dxOffice11BarBorderColors[2];
extern TColor dxOffice11BarBorderMarkColors[6];

extern HBRUSH dxOffice11BarFingerBrush1;
extern HBRUSH dxOffice11BarFingerBrush2;
extern HBRUSH dxOffice11BarSeparatorBrush1;
extern HBRUSH dxOffice11BarSeparatorBrush2;
extern HBRUSH dxOffice11MenuBrush;
extern HBRUSH dxOffice11SelectedBorderBrush;
extern HBRUSH dxOffice11ToolbarSelectedBrush;
extern HBRUSH dxOffice11OwnerControlDownedBrush;
extern HBRUSH dxOffice11DownedBrush;
extern HBRUSH dxOffice11DownedSelectedBrush;
extern HBRUSH dxOffice11DropDownBorderBrush1;
extern HBRUSH dxOffice11DropDownBorderBrush2;
extern HBRUSH dxOffice11DetachableBrush;
extern HBRUSH dxOffice11DetachableSelectedBrush;
extern HBRUSH dxOffice11StaticBorderBrush;
extern HBRUSH dxOffice11InPlaceSubItemBrush;
extern TBitmap* dxOffice11SubMenuExpandBitmap;
extern TBitmap* dxOffice11ExpandButtonBitmap1;  // expanded
extern TBitmap* dxOffice11ExpandButtonBitmap2;  // collapsed

// ---------------------------------------------------------------------------
// Life of the set
// ---------------------------------------------------------------------------

// The first call computes the colours and makes the brushes and bitmaps;
// every call takes one reference.
void CreateOffice11Colors();
// Gives one reference back; the last one destroys the brushes and bitmaps.
void ReleaseOffice11Colors();
// Recomputes the colours (after system colour or theme changes) and, while
// the set is held, makes its brushes and bitmaps anew.
void RefreshOffice11Colors();
// The number of references held.
Integer dxOffice11ColorsRefCount();
// The scheme and standard-scheme flag of the last computation.
TOffice11Scheme GetOffice11Scheme();
bool IsXPStandardScheme();
// The middle-colour percentage of the tube gradient for the last computed
// scheme.
Integer dxOffice11TubeGradientPercent();

// ---------------------------------------------------------------------------
// Colour routines (results are explicit RGB colours)
// ---------------------------------------------------------------------------

// Per channel APercent of AColor1 and the rest of AColor2.
TColor GetMiddleRGB(TColor AColor1, TColor AColor2, Integer APercent);
// Each channel scaled to APercent.
TColor Dark(TColor AColor, Integer APercent);
// Each channel scaled to APercent and lifted by the rest towards white.
TColor Light(TColor AColor, Integer APercent);
// High-contrast schemes, told by the button-face colour.
bool IsHighContrastBlack();
bool IsHighContrastWhite();
bool IsHighContrast2();

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

void FillRectByColor(HDC DC, const TRect& R, TColor AColor);
void FrameRectByColor(HDC DC, const TRect& R, TColor AColor);
// A linear gradient from AColor1 to AColor2, along x when AHorizontal.
void FillGradientRect(HDC DC, const TRect& ARect, TColor AColor1,
                      TColor AColor2, bool AHorizontal);
// Two linear segments that meet in a middle colour at the centre.
void FillTubeGradientRect(HDC DC, const TRect& ARect, TColor AColor1,
                          TColor AColor2, bool AHorizontal);
// The colour FillGradientRect gives the pixel at APosition.
TColor GetGradientColorRect(const TRect& ARect, Integer APosition,
                            TColor AColor1, TColor AColor2, bool AHorizontal);
void Office11FrameSelectedRect(HDC DC, const TRect& R);
// Grip dots every 4 pixels, in a column or a row; null brushes stand for
// the finger brushes of the set.
void Office11DrawFingerElements(HDC ADC, const TRect& ARect, bool AColumn,
                                HBRUSH ADarkBrush = nullptr,
                                HBRUSH ALightBrush = nullptr);
// Six grip dots in a triangle at the bottom-right corner; clDefault stands
// for the finger colours of the set.
void Office11DrawSizeGrip(HDC DC, const TRect& ARect,
                          TColor AColor1 = clDefault,
                          TColor AColor2 = clDefault);
// A drop-down (ADown) or sub-menu arrow sized after the rectangle.
void Office11DrawItemArrow(HDC DC, const TRect& R, bool ADown, bool ASelected,
                           bool AEnabled, bool AUnused);
void Office11DrawLargeItemArrow(HDC DC, const TRect& R, bool ADown,
                                Integer ASize, bool AEnabled, bool ASelected,
                                bool AUnused);
