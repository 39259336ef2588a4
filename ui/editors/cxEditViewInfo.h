// What an editor's calculation produces and how it paints: the view info
// of each embedded button and of the editor (background, border, buttons
// in every button style), repainting only what changed against the
// previous view info, and the hit tests for hot tracking. Windows only.
#pragma once

#include <vector>

#include "cxContainer.h"
#include "cxEdit.h"
#include "cxEditButtons.h"

enum TcxEditButtonState : Byte {
  ebsDisabled,
  ebsNormal,
  ebsPressed,
  ebsSelected
};
enum TcxDrawBackgroundStyle : Byte {
  dbsCustom,
  dbsCustomEdit,
  dbsNone,
  dbsSimpleFill,
  dbsSimpleParent,
  dbsThemeParent
};
enum TcxEditViewInfoState : Byte { evsPaintButtons };
using TcxEditViewInfoStates = TSet<TcxEditViewInfoState>;
enum TcxEditBackgroundPaintingStyle : Byte {
  bpsSolid,
  bpsComboEdit,
  bpsComboListEdit
};

// Painter states of the button states.
inline constexpr TcxButtonState EditBtnState2ButtonState[4] = {
    cxbsDisabled, cxbsNormal, cxbsPressed, cxbsHot};

struct TcxEditButtonViewInfoData {
  TColor BackgroundColor = clBtnFace;
  String Caption;
  TAlignment ContentAlignment = taCenter;
  bool Default = false;
  bool Gradient = false;
  bool IsInplace = false;
  TcxEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  bool LeftEdge = false;
  bool NativeStyle = false;
  bool RightEdge = false;
  TcxEditButtonState State = ebsNormal;
  TcxEditButtonStyle Style = btsDefault;
  TColor TextColor = clBtnText;
  bool Transparent = false;
  String VisibleCaption;
  Integer NativePart = 0;
  bool SingleDropDown = false;
  bool PartiallyTransparent = false;
};

class TcxEditButtonViewInfo : public TPersistent {
  VARNEL_CLASS(TcxEditButtonViewInfo, TPersistent)
 public:
  TcxEditButtonViewInfo() = default;
  void Assign(TPersistent* Source) override;

  TRect Bounds;
  TcxEditButtonViewInfoData Data;
  Integer NativeState = 0;
  TBitmap* Glyph = nullptr;  // the button's, not owned
  bool HasBackground = false;
  Integer ButtonIndex = -1;
  bool Stretchable = true;
  TRect VisibleBounds;
  Integer Width = 0;

  // Whether anything that shows differs from the previous view info.
  bool IsChanged(TcxEditButtonViewInfo* APrevViewInfo) const;
  // Empty when unchanged, else Bounds.
  virtual TRect GetUpdateRect(TcxEditButtonViewInfo* APrevViewInfo);
  // True when it invalidated something.
  virtual bool Repaint(TWinControl* AControl,
                       TcxEditButtonViewInfo* APrevViewInfo,
                       const TPoint& AOffset);
};

class TcxCustomEditViewInfo;

using TcxEditDrawBackgroundEvent = TClosure<void(
    TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas, bool& AHandled)>;
using TcxEditDrawButtonEvent =
    TClosure<void(TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas,
                  Integer AButtonVisibleIndex, bool& AHandled)>;
using TcxEditDrawButtonBackgroundEvent = TClosure<void(
    TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas, const TRect& ARect,
    Integer AButtonVisibleIndex, bool& AHandled)>;
using TcxEditDrawButtonBorderEvent =
    TClosure<void(TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas,
                  Integer AButtonVisibleIndex, TRect& ABackgroundRect,
                  TRect& AContentRect, bool& AHandled)>;
using TcxEditGetButtonStateEvent =
    TClosure<void(TcxCustomEditViewInfo* Sender, Integer AButtonVisibleIndex,
                  TcxEditButtonState& AState)>;
using TcxEditPaintEvent =
    TClosure<void(TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas)>;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
  VARNEL_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)
 public:
  // construction
  TcxCustomEditViewInfo() = default;
  ~TcxCustomEditViewInfo() override;
  void Assign(TObject* Source) override;

  // properties
  TcxEditBorderStyle EditBorderStyle = ebsNone;
  std::vector<TObjectPtr<TcxEditButtonViewInfo>> ButtonsInfo;
  Integer PressedButton = -1;
  Integer SelectedButton = -1;
  bool IsButtonReallyPressed = false;
  TcxCustomEditProperties* EditProperties = nullptr;
  TcxContainer* Edit = nullptr;  // the editor; null for a grid cell
  bool Enabled = true;
  bool Focused = false;
  bool HasBackground = false;
  bool HasInnerEdit = false;
  bool HasContentOffsets = false;
  bool IsContainerInnerControl = false;
  bool IsDBEditPaintCopyDrawing = false;
  bool IsDesigning = false;
  bool IsInplace = false;
  bool IsSelected = false;
  TFont* Font = nullptr;  // not owned
  TColor TextColor = clWindowText;
  TcxEditPaintOptions PaintOptions;
  TRect InnerEditRect;
  TRect BorderExtent;
  Integer Left = 0;
  Integer Top = 0;
  bool Transparent = false;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  HWND WindowHandle = nullptr;
  TcxEditViewInfoStates States;
  TcxEditDrawBackgroundEvent OnDrawBackground;
  TcxEditDrawButtonEvent OnDrawButton;
  TcxEditDrawButtonBackgroundEvent OnDrawButtonBackground;
  TcxEditDrawButtonBorderEvent OnDrawButtonBorder;
  TcxEditGetButtonStateEvent OnGetButtonState;
  TcxEditPaintEvent OnPaint;
  // The content options of the view data that made it.
  bool OffsetButtonContent = true;

  // methods
  TcxContainerBorderStyle GetContainerBorderStyle() override {
    return TcxContainerBorderStyle(EditBorderStyle);
  }
  void InternalPaint(TcxCanvas* ACanvas) override;
  void Paint(TcxCanvas* ACanvas) override;
  // Paints a cell's view info whose origin is (Left, Top).
  void PaintEx(TcxCanvas* ACanvas);
  TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo) override;
  void Offset(Integer DX, Integer DY) override;
  void DrawButtons(TcxCanvas* ACanvas);
  TcxDrawBackgroundStyle GetDrawBackgroundStyle();
  bool IsBackgroundTransparent();
  void DrawEditBackground(TcxCanvas* ACanvas, const TRect& AEditBounds,
                          const TRect& AContentRect, bool AExcludeContent);
  // Resizes ButtonsInfo to ACount button view infos of the class's kind.
  void SetButtonCount(Integer ACount);

  // overridables
  virtual TObjectPtr<TcxEditButtonViewInfo> CreateButtonViewInfo() {
    return TObjectPtr<TcxEditButtonViewInfo>(new TcxEditButtonViewInfo());
  }
  virtual bool IsRepaintOnStateChangingNeeded() { return true; }
  virtual void DrawEditButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex);
  virtual void Draw3DButtonBorder(TcxCanvas* ACanvas, TRect& ARect,
                                  Integer AIndex, TColor& AContentColor);
  virtual void DrawFlatButtonBorder(TcxCanvas* ACanvas, TRect& ARect,
                                    Integer AIndex, TColor& AContentColor);
  virtual void DrawHotFlatButtonBorder(TcxCanvas* ACanvas, TRect& ARect,
                                       Integer AIndex, TColor& AContentColor);
  virtual void DrawNativeButtonBorder(TcxCanvas* ACanvas, TRect& ARect,
                                      TRect& AContentRect, Integer AIndex);
  virtual void DrawSimpleButtonBorder(TcxCanvas* ACanvas, TRect& ARect,
                                      Integer AIndex, TColor& AContentColor);
  virtual void DrawUltraFlatButtonBorder(TcxCanvas* ACanvas, TRect& ARect,
                                         Integer AIndex, bool AIsOffice11,
                                         TColor& AContentColor);
  virtual void DrawNativeButtonBackground(TcxCanvas* ACanvas, const TRect& R,
                                          Integer AIndex);
  virtual void DrawUsualButtonBackground(TcxCanvas* ACanvas, const TRect& R,
                                         Integer AIndex, TColor AColor);
  virtual void DrawButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex);
  // Gives the background and content rectangles and the content and
  // background colours of the button.
  virtual void DrawButtonBorder(TcxCanvas* ACanvas, Integer AIndex,
                                TRect& ABackgroundRect, TRect& AContentRect,
                                TColor& AContentColor,
                                TColor& ABackgroundColor);
  virtual void DrawButtonContent(TcxCanvas* ACanvas, Integer AIndex,
                                 bool APressed, TColor AContentColor,
                                 TColor ABackgroundColor,
                                 const TRect& AContentRect);
  virtual bool IsHotTrack();
  virtual bool IsHotTrack(const TPoint& P);
  virtual bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, String& AText,
                            bool& AIsMultiLine, TRect& ATextRect);
  virtual void PrepareCanvasFont(TcxCanvas* ACanvas) { (void)ACanvas; }
  // True when something was invalidated.
  virtual bool Repaint(TWinControl* AControl,
                       TcxCustomEditViewInfo* AOldViewInfo = nullptr);
  virtual bool Repaint(TWinControl* AControl, const TRect& AInnerEditRect,
                       TcxCustomEditViewInfo* AOldViewInfo = nullptr);

 protected:
  bool IsSimpleButtonDrawnFlat(Integer AIndex) const;

 private:
  // The button's border, background and content on a canvas.
  void DrawEditButtonOn(TcxCanvas* ACanvas, Integer AIndex);
  // The background colour the last border routine chose for its button.
  TColor lastBackgroundColor_ = clBtnFace;
};

// The editor background: border, fill and the buttons over it.
void DrawCustomEdit(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                    bool AFillContent,
                    TcxEditBackgroundPaintingStyle APaintingStyle = bpsSolid);
