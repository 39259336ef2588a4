// The status bar: a bottom-aligned row of panels laid out by width policy,
// drawn by a stateless painter chosen from the paint style or the
// look-and-feel, each panel's content drawn by a panel style registered by
// class name (text, container, keyboard state, state indicators).
#pragma once

#include "Classes.h"
//
#include <windows.h>

#include <memory>
#include <vector>

#include "Controls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "ImgList.h"
//
#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"
#include "dxThemeManager.h"

class TdxCustomStatusBar;
class TdxStatusBarPanel;
class TdxStatusBarPanelStyle;
class TdxStatusBarPainter;
class TdxStatusBarContainerControl;

enum TdxStatusBarPaintStyle : Byte {
  stpsStandard,
  stpsFlat,
  stpsXP,
  stpsOffice11,
  stpsUseLookAndFeel
};
enum TdxStatusBarPanelBevel : Byte { dxpbNone, dxpbLowered, dxpbRaised };
enum TdxStatusBarEllipsisType : Byte { dxetNone, dxetTruncate, dxetSmartPath };
enum TdxStatusBarKeyboardState : Byte {
  dxksCapsLock,
  dxksNumLock,
  dxksScrollLock,
  dxksInsert
};
using TdxStatusBarKeyboardStates = TSet<TdxStatusBarKeyboardState>;
enum TdxStatusBarStateIndicatorType : Byte {
  sitOff,
  sitYellow,
  sitBlue,
  sitGreen,
  sitRed,
  sitTeal,
  sitPurple
};

// A painter "class": the one shared painter object of that class.
using TdxStatusBarPainterClass = const TdxStatusBarPainter*;

using TdxStatusBarDrawPanelEvent =
    TClosure<void(TdxStatusBarPanel* Sender, TcxCanvas* ACanvas,
                  const TRect& ARect, bool& ADone)>;
using TdxStatusBarTextEvent =
    TClosure<void(TObject* Sender, const TRect& R, String& AText)>;

// ---------------------------------------------------------------------------
// Width distribution
// ---------------------------------------------------------------------------

// One item of a row whose width is shared out: fixed items keep Width, the
// others share what is left in proportion to their Width, none below its
// MinWidth.
struct TdxAutoWidthItem {
  Integer Width = 0;
  Integer MinWidth = 0;
  bool Fixed = false;
  Integer AutoWidth = -1;
};
void dxCalculateAutoWidths(std::vector<TdxAutoWidthItem>& AItems,
                           Integer AAvailableWidth);

// ---------------------------------------------------------------------------
// Painters
// ---------------------------------------------------------------------------

class TdxStatusBarPainter {
 public:
  virtual ~TdxStatusBarPainter() = default;
  static TdxStatusBarPainterClass Instance();

  virtual void AdjustTextColor(TdxCustomStatusBar*, TColor&, bool) const {}
  virtual TRect BorderSizes(TdxCustomStatusBar* AStatusBar) const;
  virtual bool DrawSizeGripFirst() const { return true; }
  virtual TSize GripAreaSize() const { return TSize{16, 16}; }
  virtual TSize GripSize() const { return TSize{12, 12}; }
  virtual bool IsNativeBackground() const { return false; }
  virtual Integer SeparatorSize() const { return 2; }
  virtual Integer TopBorderSize() const { return 2; }
  virtual void DrawBorder(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas,
                          TRect& R) const;
  virtual void DrawEmptyPanel(TdxCustomStatusBar* AStatusBar,
                              TcxCanvas* ACanvas, TRect R) const;
  virtual void DrawPanel(TdxCustomStatusBar* AStatusBar,
                         TdxStatusBarPanel* APanel, TcxCanvas* ACanvas,
                         TRect R) const;
  virtual void DrawPanelBorder(TdxCustomStatusBar*, TdxStatusBarPanelBevel,
                               TcxCanvas*, TRect&) const {}
  virtual void DrawPanelSeparator(TdxCustomStatusBar*, TcxCanvas*,
                                  const TRect&) const {}
  virtual void DrawSizeGrip(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas,
                            TRect R, bool AOverlapped) const;
  virtual void DrawTopBorder(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas,
                             const TRect& R) const;
  virtual void FillBackground(TdxCustomStatusBar*, TdxStatusBarPanel*,
                              TcxCanvas*, const TRect&) const {}
  virtual TdxStatusBarPanelBevel GetPanelBevel(TdxStatusBarPanel* APanel) const;
  virtual TColor GetPanelColor(TdxCustomStatusBar* AStatusBar,
                               TdxStatusBarPanel* APanel) const;
};

class TdxStatusBarStandardPainter : public TdxStatusBarPainter {
 public:
  static TdxStatusBarPainterClass Instance();
  void DrawPanelBorder(TdxCustomStatusBar* AStatusBar,
                       TdxStatusBarPanelBevel ABevel, TcxCanvas* ACanvas,
                       TRect& R) const override;
  void DrawPanelSeparator(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas,
                          const TRect& R) const override;
  void FillBackground(TdxCustomStatusBar* AStatusBar, TdxStatusBarPanel* APanel,
                      TcxCanvas* ACanvas, const TRect& R) const override;
};

class TdxStatusBarFlatPainter : public TdxStatusBarStandardPainter {
 public:
  static TdxStatusBarPainterClass Instance();
  void DrawPanelBorder(TdxCustomStatusBar* AStatusBar,
                       TdxStatusBarPanelBevel ABevel, TcxCanvas* ACanvas,
                       TRect& R) const override;
};

class TdxStatusBarOffice11Painter : public TdxStatusBarPainter {
 public:
  static TdxStatusBarPainterClass Instance();
  TRect BorderSizes(TdxCustomStatusBar* AStatusBar) const override;
  void DrawBorder(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas,
                  TRect& R) const override;
  void DrawPanelBorder(TdxCustomStatusBar* AStatusBar,
                       TdxStatusBarPanelBevel ABevel, TcxCanvas* ACanvas,
                       TRect& R) const override;
  void DrawSizeGrip(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas, TRect R,
                    bool AOverlapped) const override;
  // The colour of a panel's frame.
  static TColor PanelFrameColor();
};

class TdxStatusBarXPPainter : public TdxStatusBarPainter {
 public:
  static TdxStatusBarPainterClass Instance();
  TRect BorderSizes(TdxCustomStatusBar* AStatusBar) const override;
  TSize GripAreaSize() const override;
  Integer SeparatorSize() const override;
  void DrawBorder(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas,
                  TRect& R) const override;
  void DrawPanelSeparator(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas,
                          const TRect& R) const override;
  void DrawSizeGrip(TdxCustomStatusBar* AStatusBar, TcxCanvas* ACanvas, TRect R,
                    bool AOverlapped) const override;
};

// Set by a skin library to paint status bars in its skins; nothing here
// sets it.
extern TdxStatusBarPainterClass dxStatusBarSkinPainterClass;

// ---------------------------------------------------------------------------
// Panel styles
// ---------------------------------------------------------------------------

// The registry of panel style classes, made on first use.
TcxRegisteredClasses* GetRegisteredStatusBarPanelStyles();

class TdxStatusBarPanelStyle : public TPersistent {
  VARNEL_CLASS(TdxStatusBarPanelStyle, TPersistent)
 public:
  explicit TdxStatusBarPanelStyle(TdxStatusBarPanel* AOwner);
  ~TdxStatusBarPanelStyle() override;

  void Assign(TPersistent* Source) override;
  TdxStatusBarPanel* Owner() const { return owner_; }
  TdxCustomStatusBar* StatusBar() const;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TColor Color();
  void SetColor(TColor Value);
  bool IsColorAssigned() const { return colorAssigned_; }
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);

  void BeginUpdate();
  void EndUpdate();

  virtual void AdjustTextColor(TColor& AColor, bool AActive);
  virtual bool CanDelete() { return true; }
  virtual bool CanSizing() { return true; }
  virtual void Changed();
  virtual void CheckSizeGripRect(TRect& R);
  virtual TColor DefaultColor();
  virtual void DoAssign(TdxStatusBarPanelStyle* ASource);
  virtual void DrawContent(TcxCanvas* ACanvas, TRect R,
                           TdxStatusBarPainterClass APainter);
  virtual Integer GetMinWidth() { return 20; }
  virtual Integer GetVersion() const { return 0; }
  virtual bool InternalBevel() { return false; }
  virtual void Loaded() {}
  virtual void PanelVisibleChanged() {}
  virtual void ParentFontChanged();
  virtual void RestoreDefaults();

 private:
  void FontChanged(TObject*);

  TdxStatusBarPanel* owner_;
  TAlignment alignment_ = taLeftJustify;
  TColor color_ = clBtnFace;
  bool colorAssigned_ = false;
  TObjectPtr<TFont> font_;
  bool parentFont_ = true;
  bool internalFontChange_ = false;
};

class TdxStatusBarTextPanelStyle : public TdxStatusBarPanelStyle {
  VARNEL_CLASS(TdxStatusBarTextPanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarTextPanelStyle(TdxStatusBarPanel* AOwner)
      : TdxStatusBarPanelStyle(AOwner) {}

  bool AutoHint() const { return autoHint_; }
  void SetAutoHint(bool Value);
  TdxStatusBarEllipsisType EllipsisType() const { return ellipsisType_; }
  void SetEllipsisType(TdxStatusBarEllipsisType Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  TdxStatusBarTextEvent OnGetText;

  void DoAssign(TdxStatusBarPanelStyle* ASource) override;
  void DrawContent(TcxCanvas* ACanvas, TRect R,
                   TdxStatusBarPainterClass APainter) override;
  void RestoreDefaults() override;

 private:
  bool autoHint_ = false;
  TdxStatusBarEllipsisType ellipsisType_ = dxetNone;
  Integer imageIndex_ = -1;
};

class TdxStatusBarKeyStateAppearance : public TPersistent {
  VARNEL_CLASS(TdxStatusBarKeyStateAppearance, TPersistent)
 public:
  TdxStatusBarKeyStateAppearance() = default;
  TdxStatusBarKeyStateAppearance(TdxStatusBarKeyboardState AId, Integer ACode,
                                 TColor AActiveFontColor,
                                 const String& AActiveCaption,
                                 const String& AInactiveCaption);
  void Assign(TPersistent* Source) override;

  TdxStatusBarKeyboardState Id() const { return id_; }
  Integer Code() const { return code_; }
  TColor ActiveFontColor() const { return activeFontColor_; }
  void SetActiveFontColor(TColor Value);
  TColor InactiveFontColor() const { return inactiveFontColor_; }
  void SetInactiveFontColor(TColor Value);
  const String& ActiveCaption() const { return activeCaption_; }
  void SetActiveCaption(const String& Value);
  const String& InactiveCaption() const { return inactiveCaption_; }
  void SetInactiveCaption(const String& Value);
  // The wider caption on the canvas, plus 4.
  Integer GetRectWidth(TcxCanvas* ACanvas);
  TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  TdxStatusBarKeyboardState id_ = dxksCapsLock;
  Integer code_ = 0;
  TColor activeFontColor_ = clWindowText;
  TColor inactiveFontColor_ = clBtnShadow;
  String activeCaption_;
  String inactiveCaption_;
};

// Polls the watched keys' toggle state every 100 ms and repaints the bar
// when one changed.
class TdxStatusBarKeyboardStateNotifier : public TObject {
  VARNEL_CLASS(TdxStatusBarKeyboardStateNotifier, TObject)
 public:
  explicit TdxStatusBarKeyboardStateNotifier(TdxCustomStatusBar* AStatusBar);
  ~TdxStatusBarKeyboardStateNotifier() override;
  void SubScribeKey(Integer ACode);
  void UnSubScribeKey(Integer ACode);
  // What a tick does; public so that tests run it without waiting.
  void Execute(TObject* Sender = nullptr);
  TTimer* Timer() const { return timer_.get(); }

 private:
  struct TWatchedKey {
    Integer Code;
    bool Toggled;
  };
  TdxCustomStatusBar* statusBar_;
  TObjectPtr<TTimer> timer_;
  std::vector<TWatchedKey> keys_;
};

// Whether the key is toggled on (Caps Lock, Num Lock, Scroll Lock, Insert).
bool dxIsKeyToggled(Integer ACode);

class TdxStatusBarKeyboardStatePanelStyle : public TdxStatusBarPanelStyle {
  VARNEL_CLASS(TdxStatusBarKeyboardStatePanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarKeyboardStatePanelStyle(TdxStatusBarPanel* AOwner);
  ~TdxStatusBarKeyboardStatePanelStyle() override;

  TdxStatusBarKeyboardStates KeyboardStates() const { return keyboardStates_; }
  void SetKeyboardStates(TdxStatusBarKeyboardStates Value);
  bool FullRect() const { return fullRect_; }
  void SetFullRect(bool Value);
  TdxStatusBarKeyStateAppearance* Appearance(TdxStatusBarKeyboardState AKey) {
    return appearances_[AKey].get();
  }
  TdxStatusBarKeyboardStateNotifier* Notifier() const {
    return notifier_.get();
  }

  bool CanSizing() override { return false; }
  void DoAssign(TdxStatusBarPanelStyle* ASource) override;
  void DrawContent(TcxCanvas* ACanvas, TRect R,
                   TdxStatusBarPainterClass APainter) override;
  Integer GetMinWidth() override;
  bool InternalBevel() override { return !fullRect_; }
  void RestoreDefaults() override;

 private:
  void AppearanceChanged(TObject*) { Changed(); }
  TdxStatusBarKeyboardStates keyboardStates_{dxksCapsLock, dxksNumLock,
                                             dxksScrollLock, dxksInsert};
  bool fullRect_ = false;
  TObjectPtr<TdxStatusBarKeyStateAppearance> appearances_[4];
  TObjectPtr<TdxStatusBarKeyboardStateNotifier> notifier_;
};

class TdxStatusBarStateIndicatorItem : public TCollectionItem {
  VARNEL_CLASS(TdxStatusBarStateIndicatorItem, TCollectionItem)
 public:
  explicit TdxStatusBarStateIndicatorItem(TCollection* Collection);
  void Assign(TPersistent* Source) override;
  TdxStatusBarStateIndicatorType IndicatorType() const { return type_; }
  void SetIndicatorType(TdxStatusBarStateIndicatorType Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  TBitmap* Bitmap() const { return bitmap_.get(); }

 private:
  void LoadIndicatorBitmap();
  TdxStatusBarStateIndicatorType type_ = sitOff;
  bool visible_ = true;
  TObjectPtr<TBitmap> bitmap_;
};

class TdxStatusBarStateIndicators : public TCollection {
  VARNEL_CLASS(TdxStatusBarStateIndicators, TCollection)
 public:
  TdxStatusBarStateIndicators();
  TdxStatusBarStateIndicatorItem* Add() {
    return static_cast<TdxStatusBarStateIndicatorItem*>(TCollection::Add());
  }
  TdxStatusBarStateIndicatorItem* Insert(Integer AIndex);
  TdxStatusBarStateIndicatorItem* Items(Integer AIndex) const {
    return static_cast<TdxStatusBarStateIndicatorItem*>(
        TCollection::Items(AIndex));
  }
  TNotifyEvent OnChange;

 protected:
  void Update(TCollectionItem*) override {
    if (OnChange) OnChange(this);
  }
};

class TdxStatusBarStateIndicatorPanelStyle : public TdxStatusBarPanelStyle {
  VARNEL_CLASS(TdxStatusBarStateIndicatorPanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarStateIndicatorPanelStyle(TdxStatusBarPanel* AOwner);

  Integer Spacing() const { return spacing_; }
  void SetSpacing(Integer Value);
  TdxStatusBarStateIndicators* Indicators() const { return indicators_.get(); }

  bool CanSizing() override { return false; }
  void DoAssign(TdxStatusBarPanelStyle* ASource) override;
  void DrawContent(TcxCanvas* ACanvas, TRect R,
                   TdxStatusBarPainterClass APainter) override;
  Integer GetMinWidth() override;
  void RestoreDefaults() override;

 private:
  void IndicatorsChanged(TObject*) { Changed(); }
  Integer spacing_ = 4;
  TObjectPtr<TdxStatusBarStateIndicators> indicators_;
};

class TdxStatusBarContainerPanelStyle : public TdxStatusBarPanelStyle {
  VARNEL_CLASS(TdxStatusBarContainerPanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarContainerPanelStyle(TdxStatusBarPanel* AOwner);
  ~TdxStatusBarContainerPanelStyle() override;

  bool AlignControl() const { return alignControl_; }
  void SetAlignControl(bool Value);
  TdxStatusBarContainerControl* Container() const { return container_; }
  void SetContainer(TdxStatusBarContainerControl* Value);

  bool CanDelete() override;
  void DoAssign(TdxStatusBarPanelStyle* ASource) override;
  void DrawContent(TcxCanvas* ACanvas, TRect R,
                   TdxStatusBarPainterClass APainter) override;
  void PanelVisibleChanged() override;
  void RestoreDefaults() override;

 private:
  friend class TdxStatusBarContainerControl;
  bool alignControl_ = true;
  TdxStatusBarContainerControl* container_ = nullptr;  // owned by the form
};

class TdxStatusBarContainerControl : public TcxControl {
  VARNEL_CLASS(TdxStatusBarContainerControl, TcxControl)
 public:
  explicit TdxStatusBarContainerControl(TComponent* AOwner);
  ~TdxStatusBarContainerControl() override;
  TdxStatusBarContainerPanelStyle* PanelStyle() const { return panelStyle_; }
  bool MayFocus() override { return false; }
  bool NeedsScrollBars() override { return false; }

 protected:
  friend class TdxStatusBarContainerPanelStyle;
  void Paint() override;

 private:
  TdxStatusBarContainerPanelStyle* panelStyle_ = nullptr;
};

// ---------------------------------------------------------------------------
// Panels
// ---------------------------------------------------------------------------

class TdxStatusBarPanel : public TCollectionItem {
  VARNEL_CLASS(TdxStatusBarPanel, TCollectionItem)
 public:
  explicit TdxStatusBarPanel(TCollection* Collection);
  ~TdxStatusBarPanel() override;
  void Assign(TPersistent* Source) override;

  TdxCustomStatusBar* StatusBar() const;
  // The bar is loading, reading, being destroyed or inside an update.
  bool ComponentStateBusy() const;
  String PanelStyleClassName() const;
  void SetPanelStyleClassName(const String& Value);
  TClass PanelStyleClass() const {
    return panelStyle_ ? panelStyle_->ClassType() : nullptr;
  }
  void SetPanelStyleClass(TClass Value);
  TdxStatusBarPanelStyle* PanelStyle() const { return panelStyle_.get(); }
  void SetPanelStyle(TdxStatusBarPanelStyle* Value);
  TNotifyEvent PanelStyleEvents;
  TdxStatusBarPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TdxStatusBarPanelBevel Value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool Value);
  bool Fixed();
  void SetFixed(bool Value);
  Integer MinWidth();
  void SetMinWidth(Integer Value);
  bool IsMinWidthAssigned() const { return minWidthAssigned_; }
  const String& Text() const { return text_; }
  void SetText(const String& Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  Integer Width();
  void SetWidth(Integer Value);
  bool IsWidthAssigned() const { return widthAssigned_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TdxStatusBarDrawPanelEvent OnDrawPanel;

  virtual void Click();
  virtual void DblClick();
  virtual Integer DefaultMinWidth();
  virtual Integer DefaultWidth();
  virtual Integer PaintMinWidth();
  virtual Integer PaintWidth();
  virtual void PreparePaintWidth(Integer& AWidth);
  virtual void StatusBarPanelStyleChanged() { Changed(false); }
  virtual void RestoreDefaults();
  void ParentBiDiModeChanged();

 protected:
  String GetDisplayName() override;
  virtual void CreatePanelStyle(TClass AClass);
  virtual void DestroyPanelStyle();

 private:
  bool UsesStoredSizes();

  TObjectPtr<TdxStatusBarPanelStyle> panelStyle_;
  TdxStatusBarPanelBevel bevel_ = dxpbLowered;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  bool fixed_ = true;
  Integer minWidth_ = 20;
  bool minWidthAssigned_ = false;
  String text_;
  bool visible_ = true;
  Integer width_ = 50;
  bool widthAssigned_ = false;
};

class TdxStatusBarPanels : public TCollection {
  VARNEL_CLASS(TdxStatusBarPanels, TCollection)
 public:
  explicit TdxStatusBarPanels(TdxCustomStatusBar* AStatusBar);
  TdxStatusBarPanel* Add() {
    return static_cast<TdxStatusBarPanel*>(TCollection::Add());
  }
  // At AIndex clamped to 0 .. count.
  TdxStatusBarPanel* Insert(Integer AIndex);
  TdxStatusBarPanel* Items(Integer AIndex) const {
    return static_cast<TdxStatusBarPanel*>(TCollection::Items(AIndex));
  }
  TdxCustomStatusBar* StatusBar() const { return statusBar_; }
  TPersistent* GetOwner() override;
  void Loaded();

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TdxCustomStatusBar* statusBar_;
};

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

class TdxStatusBarViewInfo : public TObject {
  VARNEL_CLASS(TdxStatusBarViewInfo, TObject)
 public:
  explicit TdxStatusBarViewInfo(TdxCustomStatusBar* AStatusBar)
      : statusBar_(AStatusBar) {}
  void Calculate(const TRect& ABounds);
  TdxStatusBarPanel* GetPanelAt(const TRect& ABounds, Integer X, Integer Y);
  Integer PanelCount() const { return static_cast<Integer>(panels_.size()); }
  TdxStatusBarPanel* Panels(Integer AIndex) const { return panels_[AIndex]; }
  // Panel, separator, panel, ... panel.
  const std::vector<Integer>& Widths() const { return widths_; }
  bool GripOverlap() const { return gripOverlap_; }

 private:
  TdxCustomStatusBar* statusBar_;
  std::vector<TdxStatusBarPanel*> panels_;
  std::vector<Integer> widths_;
  bool gripOverlap_ = false;
};

// ---------------------------------------------------------------------------
// The status bar
// ---------------------------------------------------------------------------

class TdxCustomStatusBar : public TcxControl {
  VARNEL_CLASS(TdxCustomStatusBar, TcxControl)
 public:
  explicit TdxCustomStatusBar(TComponent* AOwner);
  ~TdxCustomStatusBar() override;

  // --- Properties ---
  Integer BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(Integer Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TdxStatusBarPaintStyle PaintStyle() const { return paintStyle_; }
  void SetPaintStyle(TdxStatusBarPaintStyle Value);
  TdxStatusBarPanels* Panels() const { return panels_.get(); }
  void SetPanels(TdxStatusBarPanels* Value) { panels_->Assign(Value); }
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool Value);
  TdxStatusBarPainterClass Painter() const { return painter_; }
  TdxStatusBarViewInfo* ViewInfo() const { return viewInfo_.get(); }
  bool ThemeAvailable() const { return themeAvailable_; }
  TNotifyEvent OnHint;

  // --- Methods ---
  void Calculate();
  void Recalculate();
  virtual void UpdatePanels();
  TRect GetPanelsBounds();
  virtual TdxStatusBarPanel* GetPanelAt(Integer X, Integer Y);
  virtual TdxStatusBarPaintStyle GetPaintStyle();
  virtual TdxStatusBarPainterClass GetPainterClass();
  virtual bool SizeGripAllocated();
  TdxStatusBarContainerControl* ContainerByName(const String& AName);
  virtual TClass GetDefaultPanelStyleClass() const {
    return TdxStatusBarTextPanelStyle::StaticClass();
  }
  virtual bool CanAcceptPanelStyle(TClass AClass);
  // Shows an application hint in the auto-hint text panel (or hands it to
  // OnHint); false when nothing took it.
  bool ShowApplicationHint(const String& AHint);
  virtual void AdjustTextColor(TColor&, bool) {}
  bool IsUpdating() const { return panels_ && panels_->UpdateCount() > 0; }

  // --- Overrides ---
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool HasBackground() override { return false; }
  bool NeedsScrollBars() override { return false; }
  bool MayFocus() override { return false; }
  void FontChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {
    PaintStyleChanged();
  }

 protected:
  void Paint() override;
  virtual void DoHint() {}
  virtual void InitPainterClass();
  virtual void PaintStyleChanged();
  virtual void ThemeChanged() { PaintStyleChanged(); }

 private:
  void ImagesChanged(TObject*) { UpdatePanels(); }
  void DrawSizeGrip(TRect R, bool AOverlapped);

  Integer borderWidth_ = 0;
  TCustomImageList* images_ = nullptr;
  TObjectPtr<TChangeLink> imagesLink_;
  TdxStatusBarPainterClass painter_ = nullptr;
  TdxStatusBarPaintStyle paintStyle_ = stpsStandard;
  bool themeAvailable_ = false;
  TObjectPtr<TdxStatusBarPanels> panels_;
  bool sizeGrip_ = true;
  TObjectPtr<TdxStatusBarViewInfo> viewInfo_;
  TObjectPtr<TdxThemeChangedNotificator> themeNotificator_;
};

class TdxStatusBar : public TdxCustomStatusBar {
  VARNEL_CLASS(TdxStatusBar, TdxCustomStatusBar)
 public:
  explicit TdxStatusBar(TComponent* AOwner) : TdxCustomStatusBar(AOwner) {}
};
