// The look of an editor in one state: the container style plus the button
// style, button transparency, popup border, gradients and the popup close
// button; and the style controllers that share such styles, among them the
// one application-wide default. Windows only.
#pragma once

#include "cxContainer.h"
#include "cxEditButtons.h"

// The six values the edit style adds to the container's ten.
constexpr TcxContainerStyleValue svButtonStyle = TcxContainerStyleValue(10);
constexpr TcxContainerStyleValue svButtonTransparency =
    TcxContainerStyleValue(11);
constexpr TcxContainerStyleValue svPopupBorderStyle =
    TcxContainerStyleValue(12);
constexpr TcxContainerStyleValue svGradientButtons = TcxContainerStyleValue(13);
constexpr TcxContainerStyleValue svGradient = TcxContainerStyleValue(14);
constexpr TcxContainerStyleValue svGradientDirection =
    TcxContainerStyleValue(15);

class TcxCustomEditStyle : public TcxContainerStyle {
  VARNEL_CLASS(TcxCustomEditStyle, TcxContainerStyle)
 public:
  // construction
  TcxCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode,
                     TcxContainerStyle* AParentStyle = nullptr,
                     TcxContainerStateItem AState = csNormal);
  void Assign(TPersistent* Source) override;
  // Clears the edit style's own values too, not only the container's.
  void RestoreDefaults() override;

  // properties
  TcxEditButtonStyle ButtonStyle();
  // Any state's style holds its own button style.
  void SetButtonStyle(TcxEditButtonStyle Value);
  // These five live on the normal style only: other states pass them on.
  TcxEditButtonTransparency ButtonTransparency();
  void SetButtonTransparency(TcxEditButtonTransparency Value);
  bool Gradient();
  void SetGradient(bool Value);
  bool GradientButtons();
  void SetGradientButtons(bool Value);
  TcxEditGradientDirection GradientDirection();
  void SetGradientDirection(TcxEditGradientDirection Value);
  TcxEditPopupBorderStyle PopupBorderStyle();
  void SetPopupBorderStyle(TcxEditPopupBorderStyle Value);
  bool PopupCloseButton();
  void SetPopupCloseButton(bool Value);
  TcxEditBorderStyle EditBorderStyle() {
    return TcxEditBorderStyle(BorderStyle());
  }
  void SetEditBorderStyle(TcxEditBorderStyle Value) {
    SetBorderStyle(TcxContainerBorderStyle(Value));
  }

  // methods
  // Colour, font and text colour from resolved view parameters.
  void Init(const TcxViewParams& AParams);

  // overridables
  TcxStyleController* GetDefaultStyleController() override;
  TcxContainerStyleValues InternalGetNotPublishedExtendedStyleValues() override;
  Integer GetStyleValueCount() override { return 16; }
  bool GetStyleValueName(TcxContainerStyleValue AStyleValue,
                         String& AName) override;
  bool IsValueAssigned(TcxContainerStyleValue AValue) override;
  virtual TcxEditButtonStyle DefaultButtonStyle();
  virtual TcxEditButtonTransparency DefaultButtonTransparency();
  virtual bool DefaultGradient();
  virtual bool DefaultGradientButtons();
  virtual TcxEditGradientDirection DefaultGradientDirection();
  virtual TcxEditPopupBorderStyle DefaultPopupBorderStyle();

 private:
  TcxCustomEditStyle* Parent() const;
  TcxCustomEditStyle* ControllerStyle();
  template <class T>
  bool Find(TcxContainerStyleValue AValue, T TcxCustomEditStyle::*AField,
            T& AResult);
  template <class T>
  T Get(TcxContainerStyleValue AValue, T TcxCustomEditStyle::*AField,
        T (TcxCustomEditStyle::*ADefault)());
  template <class T>
  void Set(TcxContainerStyleValue AValue, T TcxCustomEditStyle::*AField,
           T Value, bool ABaseOnly);

  TcxContainerStyleValues extendedAssigned_;
  TcxEditButtonStyle buttonStyle_ = btsDefault;
  TcxEditButtonTransparency buttonTransparency_ = ebtNone;
  bool gradient_ = false;
  bool gradientButtons_ = false;
  TcxEditGradientDirection gradientDirection_ = dirDown;
  TcxEditPopupBorderStyle popupBorderStyle_ = epbsDefault;
  bool popupCloseButton_ = true;
};

class TcxEditStyle : public TcxCustomEditStyle {
  VARNEL_CLASS(TcxEditStyle, TcxCustomEditStyle)
 public:
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

class TcxEditStyleController : public TcxStyleController {
  VARNEL_CLASS(TcxEditStyleController, TcxStyleController)
 public:
  explicit TcxEditStyleController(TComponent* AOwner);
  TcxCustomEditStyle* Style() { return EditStyle(csNormal); }
  TcxCustomEditStyle* StyleFocused() { return EditStyle(csActive); }
  TcxCustomEditStyle* StyleDisabled() { return EditStyle(csDisabled); }
  TcxCustomEditStyle* StyleHot() { return EditStyle(csHotTrack); }
  TcxCustomEditStyle* EditStyle(TcxContainerStateItem AState) {
    return static_cast<TcxCustomEditStyle*>(GetInternalStyle(AState));
  }
  TcxContainerStyleClass GetStyleClass() override {
    return &cxNewContainerStyle<TcxEditStyle>;
  }
};

// The design-time face of the application-wide default edit style
// controller: it holds nothing itself.
class TcxDefaultEditStyleController : public TComponent {
  VARNEL_CLASS(TcxDefaultEditStyleController, TComponent)
 public:
  explicit TcxDefaultEditStyleController(TComponent* AOwner);
  ~TcxDefaultEditStyleController() override;
  TcxCustomEditStyle* Style();
  TcxCustomEditStyle* StyleDisabled();
  TcxCustomEditStyle* StyleFocused();
  TcxCustomEditStyle* StyleHot();
  TNotifyEvent OnStyleChanged() const;
  void SetOnStyleChanged(TNotifyEvent Value);
  static Integer InstanceCount();
};

// The one default edit style controller, made at the editor unit's start.
TcxEditStyleController* DefaultEditStyleController();
