#include "cxContainer.h"

#include <algorithm>

#include "FormStreams.h"
#include "Handles.h"
#include "ScopeGuard.h"
#include "cxContainerPrivate.h"

const char* const cxContainerStyleValueNameA[cxContainerStyleValueCount] = {
    "BorderColor", "BorderStyle",      "Color",  "Edges",
    "Font",        "HotTrack",         "Shadow", "TextColor",
    "TextStyle",   "TransparentBorder"};

TcxStyleController* cxContainerDefaultStyleController = nullptr;

TcxStyleController* DefaultContainerStyleController() {
  return cxContainerDefaultStyleController;
}

namespace {

// The values every state style reads from its normal style.
constexpr TcxContainerStyleValues SharedStyleValues{
    csvEdges, csvFont, csvHotTrack, csvShadow, csvTransparentBorder};

TcxContainerStyleValues AllValues(Integer ACount) {
  return TcxContainerStyleValues::FromInt(
      ACount >= 32 ? 0xFFFFFFFFu : ((UInt64{1} << ACount) - 1));
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxContainerStyle
// ---------------------------------------------------------------------------

TcxContainerStyle::TcxContainerStyle(TPersistent* AOwner,
                                     bool ADirectAccessMode,
                                     TcxContainerStyle* AParentStyle,
                                     TcxContainerStateItem AState)
    : TcxInterfacedPersistent(AOwner),
      directAccessMode_(ADirectAccessMode),
      parentStyle_(AParentStyle),
      state_(AState) {
  if (IsBaseStyle() && !directAccessMode_) {
    ownFont_ = std::make_unique<TFont>();
    font_ = ownFont_.get();
    font_->OnChange = TNotifyEvent(this, &TcxContainerStyle::FontChanged);
  }
  visibleFont_ = std::make_unique<TFont>();
  if (IsBaseStyle()) {
    lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
    lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent(
        this, &TcxContainerStyle::LookAndFeelChanged);
    BaseSetStyleController(GetDefaultStyleController());
  }
  if (directAccessMode_)
    assignedValues_ = {csvColor, csvFont, csvTextColor, csvTextStyle};
}

void TcxContainerStyle::BeforeDestruction() {
  isDestroying_ = true;
  if (IsBaseStyle() && styleController_) {
    styleController_->RemoveListener(this);
    styleController_ = nullptr;
  }
  TcxInterfacedPersistent::BeforeDestruction();
}

TcxContainerStyle::~TcxContainerStyle() {
  isDestroying_ = true;
  if (IsBaseStyle() && styleController_) styleController_->RemoveListener(this);
  if (ownFont_) ownFont_->OnChange = nullptr;
}

void* TcxContainerStyle::GetInterfaceFor(const TGUID& iid) {
  if (iid == IdxSkinSupport::IID) return static_cast<IdxSkinSupport*>(this);
  return TcxInterfacedPersistent::GetInterfaceFor(iid);
}

void TcxContainerStyle::BeginUpdate() { ++updateCount_; }

void TcxContainerStyle::EndUpdate() {
  if (updateCount_ <= 0) return;
  --updateCount_;
  CheckChanges();
}

void TcxContainerStyle::Changed() {
  modified_ = true;
  CheckChanges();
}

void TcxContainerStyle::CheckChanges() {
  if (!modified_ || updateCount_ != 0) return;
  modified_ = false;
  if (!isDestroying_ && !directAccessMode_ && OnChanged) OnChanged(this);
}

void TcxContainerStyle::FontChanged(TObject*) {
  if (fontAssignedValueLockCount_ == 0) assignedValues_.Include(csvFont);
  Changed();
}

void TcxContainerStyle::LookAndFeelChanged(TcxLookAndFeel*,
                                           TcxLookAndFeelValues) {
  Changed();
}

void TcxContainerStyle::LockFontAssignedValue(bool ALock) {
  if (ALock)
    ++fontAssignedValueLockCount_;
  else if (fontAssignedValueLockCount_ > 0)
    --fontAssignedValueLockCount_;
}

// --- Resolution ------------------------------------------------------------

template <class T>
bool TcxContainerStyle::Resolve(TcxContainerStyleValue AValue, T& AResult,
                                T TcxContainerStyle::*AField,
                                bool (TcxContainerStyle::*AInternal)(T&)) {
  if (assignedValues_.Contains(AValue)) {
    AResult = this->*AField;
    return true;
  }
  TcxStyleController* controller = GetBaseStyle()->styleController_;
  if (!controller) return false;
  return (controller->GetInternalStyle(state_)->*AInternal)(AResult);
}

bool TcxContainerStyle::InternalGetBorderColor(TColor& Color) {
  return Resolve(csvBorderColor, Color, &TcxContainerStyle::borderColor_,
                 &TcxContainerStyle::InternalGetBorderColor);
}
bool TcxContainerStyle::InternalGetBorderStyle(
    TcxContainerBorderStyle& BorderStyle) {
  return Resolve(csvBorderStyle, BorderStyle, &TcxContainerStyle::borderStyle_,
                 &TcxContainerStyle::InternalGetBorderStyle);
}
bool TcxContainerStyle::InternalGetColor(TColor& Color) {
  return Resolve(csvColor, Color, &TcxContainerStyle::color_,
                 &TcxContainerStyle::InternalGetColor);
}
bool TcxContainerStyle::InternalGetEdges(TcxBorders& Edges) {
  return Resolve(csvEdges, Edges, &TcxContainerStyle::edges_,
                 &TcxContainerStyle::InternalGetEdges);
}
bool TcxContainerStyle::InternalGetFont(TFont*& Font) {
  return Resolve(csvFont, Font, &TcxContainerStyle::font_,
                 &TcxContainerStyle::InternalGetFont);
}
bool TcxContainerStyle::InternalGetHotTrack(bool& HotTrack) {
  return Resolve(csvHotTrack, HotTrack, &TcxContainerStyle::hotTrack_,
                 &TcxContainerStyle::InternalGetHotTrack);
}
bool TcxContainerStyle::InternalGetShadow(bool& Shadow) {
  return Resolve(csvShadow, Shadow, &TcxContainerStyle::shadow_,
                 &TcxContainerStyle::InternalGetShadow);
}
bool TcxContainerStyle::InternalGetTextColor(TColor& TextColor) {
  return Resolve(csvTextColor, TextColor, &TcxContainerStyle::textColor_,
                 &TcxContainerStyle::InternalGetTextColor);
}
bool TcxContainerStyle::InternalGetTextStyle(TFontStyles& TextStyle) {
  return Resolve(csvTextStyle, TextStyle, &TcxContainerStyle::textStyle_,
                 &TcxContainerStyle::InternalGetTextStyle);
}
bool TcxContainerStyle::InternalGetTransparentBorder(bool& TransparentBorder) {
  return Resolve(csvTransparentBorder, TransparentBorder,
                 &TcxContainerStyle::transparentBorder_,
                 &TcxContainerStyle::InternalGetTransparentBorder);
}

bool TcxContainerStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  switch (AValue) {
    case csvBorderColor: {
      TColor v;
      return InternalGetBorderColor(v);
    }
    case csvBorderStyle: {
      TcxContainerBorderStyle v;
      return InternalGetBorderStyle(v);
    }
    case csvColor: {
      TColor v;
      return InternalGetColor(v);
    }
    case csvEdges: {
      TcxBorders v;
      return InternalGetEdges(v);
    }
    case csvFont: {
      TFont* v;
      return InternalGetFont(v);
    }
    case csvHotTrack: {
      bool v;
      return InternalGetHotTrack(v);
    }
    case csvShadow: {
      bool v;
      return InternalGetShadow(v);
    }
    case csvTextColor: {
      TColor v;
      return InternalGetTextColor(v);
    }
    case csvTextStyle: {
      TFontStyles v;
      return InternalGetTextStyle(v);
    }
    case csvTransparentBorder: {
      bool v;
      return InternalGetTransparentBorder(v);
    }
  }
  return false;
}

// --- Getters -----------------------------------------------------------------

TcxContainerStyleValues TcxContainerStyle::AssignedValues() {
  if (directAccessMode_) return AllValues(GetStyleValueCount());
  return assignedValues_;
}

TColor TcxContainerStyle::BorderColor() {
  if (directAccessMode_) return clDefault;
  TColor result;
  if (!InternalGetBorderColor(result)) result = DefaultBorderColor();
  return result;
}

TcxContainerBorderStyle TcxContainerStyle::BorderStyle() {
  TcxContainerBorderStyle result;
  if (directAccessMode_) {
    return assignedValues_.Contains(csvBorderStyle) ? borderStyle_
                                                    : DefaultBorderStyle();
  }
  if (!InternalGetBorderStyle(result)) result = DefaultBorderStyle();
  return result;
}

TColor TcxContainerStyle::GetColor() {
  if (directAccessMode_) return color_;
  if (IsBaseStyle()) {
    TcxContainer* container = GetContainer();
    if (container && container->ParentColor() && container->Parent())
      return container->Parent()->Color();
  }
  TColor result;
  if (!InternalGetColor(result)) result = DefaultColor();
  return result;
}

TColor TcxContainerStyle::GetStyleColor() {
  if (directAccessMode_) return color_;
  TColor result;
  if (InternalGetColor(result)) return result;
  if (IsBaseStyle()) {
    TcxContainer* container = GetContainer();
    if (container && !container->IsInplace() && container->ParentColor() &&
        container->Parent())
      return container->Parent()->Color();
  }
  return DefaultColor();
}

TcxBorders TcxContainerStyle::Edges() {
  if (directAccessMode_) return {};
  if (!IsBaseStyle()) return parentStyle_->Edges();
  TcxBorders result;
  if (!InternalGetEdges(result)) result = DefaultEdges();
  return result;
}

TFont* TcxContainerStyle::Font() {
  if (directAccessMode_ || IsBaseStyle()) return font_;
  return parentStyle_->Font();
}

bool TcxContainerStyle::HotTrack() {
  if (directAccessMode_)
    return assignedValues_.Contains(csvHotTrack) ? hotTrack_
                                                 : DefaultHotTrack();
  if (!IsBaseStyle()) return parentStyle_->HotTrack();
  bool result;
  if (!InternalGetHotTrack(result)) result = DefaultHotTrack();
  return result;
}

bool TcxContainerStyle::Shadow() {
  if (directAccessMode_) return false;
  if (!IsBaseStyle()) return parentStyle_->Shadow();
  bool result;
  if (!InternalGetShadow(result)) result = DefaultShadow();
  return result;
}

TColor TcxContainerStyle::GetTextColor() {
  if (directAccessMode_) return textColor_;
  TColor result;
  if (!InternalGetTextColor(result)) result = DefaultTextColor();
  return result;
}

TFontStyles TcxContainerStyle::GetTextStyle() {
  if (directAccessMode_) return font_ ? font_->Style() : TFontStyles{};
  TFontStyles result;
  if (!InternalGetTextStyle(result)) result = DefaultTextStyle();
  return result;
}

bool TcxContainerStyle::TransparentBorder() {
  if (directAccessMode_) return true;
  if (!IsBaseStyle()) return parentStyle_->TransparentBorder();
  bool result;
  if (!InternalGetTransparentBorder(result))
    result = DefaultTransparentBorder();
  return result;
}

TFont* TcxContainerStyle::GetVisibleFont() {
  TFont* resolved = nullptr;
  TcxContainerStyle* base = GetBaseStyle();
  if (!base->InternalGetFont(resolved)) resolved = base->font_;
  if (resolved) visibleFont_->Assign(resolved);
  visibleFont_->SetColor(GetTextColor());
  visibleFont_->SetStyle(GetTextStyle());
  return visibleFont_.get();
}

// --- Defaults ----------------------------------------------------------------

TColor TcxContainerStyle::DefaultBorderColor() {
  if (state_ == csDisabled) return clBtnShadow;
  if (IsBaseStyle()) return clWindowFrame;
  return parentStyle_->BorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::DefaultBorderStyle() {
  if (IsBaseStyle()) {
    switch (GetLookAndFeel()->Kind()) {
      case lfFlat:
        return cbsFlat;
      case lfStandard:
        return cbs3D;
      case lfUltraFlat:
        return cbsUltraFlat;
      case lfOffice11:
        return cbsOffice11;
    }
    return cbs3D;
  }
  const TcxContainerBorderStyle parent = parentStyle_->BorderStyle();
  const TcxContainerStateItem s =
      (HotTrack() || state_ == csDisabled) ? state_ : csNormal;
  if (s == csNormal || s == csDisabled) return parent;
  switch (parent) {
    case cbsNone:
      return cbsFlat;
    case cbsSingle:
    case cbsThick:
      return cbsThick;
    case cbsFlat:
    case cbs3D:
      return cbs3D;
    default:
      return parent;
  }
}

TColor TcxContainerStyle::DefaultColor() {
  TcxContainer* container = GetContainer();
  const bool p = !container || container->DefaultParentColor();
  if (IsBaseStyle()) return p ? clBtnFace : clWindow;
  if (state_ == csDisabled && !p) return clBtnFace;
  return parentStyle_->GetColor();
}

TcxBorders TcxContainerStyle::DefaultEdges() { return cxBordersAll; }
bool TcxContainerStyle::DefaultHotTrack() { return true; }
bool TcxContainerStyle::DefaultShadow() { return false; }
bool TcxContainerStyle::DefaultTransparentBorder() { return true; }

TColor TcxContainerStyle::DefaultTextColor() {
  if (state_ == csDisabled) return clBtnShadow;
  if (IsBaseStyle()) return Font() ? Font()->Color() : clWindowText;
  return parentStyle_->GetTextColor();
}

TFontStyles TcxContainerStyle::DefaultTextStyle() {
  if (IsBaseStyle()) return Font() ? Font()->Style() : TFontStyles{};
  return parentStyle_->GetTextStyle();
}

// --- Setters -----------------------------------------------------------------

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues Value) {
  if (assignedValues_ == Value) return;
  assignedValues_ = Value;
  if (IsBaseStyle()) UpdateFont();
  Changed();
}

void TcxContainerStyle::SetBorderColor(TColor Value) {
  if (assignedValues_.Contains(csvBorderColor) && borderColor_ == Value) return;
  borderColor_ = Value;
  assignedValues_.Include(csvBorderColor);
  Changed();
}

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle Value) {
  if (assignedValues_.Contains(csvBorderStyle) && borderStyle_ == Value) return;
  borderStyle_ = Value;
  assignedValues_.Include(csvBorderStyle);
  Changed();
}

void TcxContainerStyle::SetColor(TColor Value) {
  if (assignedValues_.Contains(csvColor) && color_ == Value) return;
  color_ = Value;
  assignedValues_.Include(csvColor);
  Changed();
}

void TcxContainerStyle::SetEdges(TcxBorders Value) {
  if (!IsBaseStyle()) return parentStyle_->SetEdges(Value);
  if (assignedValues_.Contains(csvEdges) && edges_ == Value) return;
  edges_ = Value;
  assignedValues_.Include(csvEdges);
  Changed();
}

void TcxContainerStyle::SetFont(TFont* Value) {
  if (!IsBaseStyle()) return parentStyle_->SetFont(Value);
  if (directAccessMode_) {
    font_ = Value;
    return;
  }
  font_->Assign(Value);
  assignedValues_.Include(csvFont);
  Changed();
}

void TcxContainerStyle::SetHotTrack(bool Value) {
  if (!IsBaseStyle()) return parentStyle_->SetHotTrack(Value);
  if (assignedValues_.Contains(csvHotTrack) && hotTrack_ == Value) return;
  hotTrack_ = Value;
  assignedValues_.Include(csvHotTrack);
  Changed();
}

void TcxContainerStyle::SetLookAndFeel(TcxLookAndFeel* Value) {
  if (!IsBaseStyle()) return parentStyle_->SetLookAndFeel(Value);
  lookAndFeel_->Assign(Value);
}

void TcxContainerStyle::SetShadow(bool Value) {
  if (!IsBaseStyle()) return parentStyle_->SetShadow(Value);
  if (assignedValues_.Contains(csvShadow) && shadow_ == Value) return;
  shadow_ = Value;
  assignedValues_.Include(csvShadow);
  Changed();
}

void TcxContainerStyle::SetTextColor(TColor Value) {
  if (assignedValues_.Contains(csvTextColor) && GetTextColor() == Value) return;
  textColor_ = Value;
  assignedValues_.Include(csvTextColor);
  Changed();
}

void TcxContainerStyle::SetTextStyle(TFontStyles Value) {
  if (assignedValues_.Contains(csvTextStyle) && GetTextStyle() == Value) return;
  textStyle_ = Value;
  assignedValues_.Include(csvTextStyle);
  Changed();
}

void TcxContainerStyle::SetTransparentBorder(bool Value) {
  if (!IsBaseStyle()) return parentStyle_->SetTransparentBorder(Value);
  if (assignedValues_.Contains(csvTransparentBorder) &&
      transparentBorder_ == Value)
    return;
  transparentBorder_ = Value;
  assignedValues_.Include(csvTransparentBorder);
  Changed();
}

// --- Names and publishing
// ------------------------------------------------------

Integer TcxContainerStyle::GetStyleValueCount() {
  return cxContainerStyleValueCount;
}

bool TcxContainerStyle::GetStyleValueName(TcxContainerStyleValue AStyleValue,
                                          String& AName) {
  if (AStyleValue < cxContainerStyleValueCount) {
    AName = cxContainerStyleValueNameA[AStyleValue];
    return true;
  }
  AName.clear();
  return false;
}

bool TcxContainerStyle::GetStyleValue(const String& APropertyName,
                                      TcxContainerStyleValue& AValue) {
  const String wanted = AnsiUpperCase(APropertyName);
  for (Integer i = 0; i < GetStyleValueCount(); ++i) {
    String name;
    const auto value = static_cast<TcxContainerStyleValue>(i);
    if (GetStyleValueName(value, name) && AnsiUpperCase(name) == wanted) {
      AValue = value;
      return true;
    }
  }
  return false;
}

TcxContainerStyleValues
TcxContainerStyle::InternalGetNotPublishedExtendedStyleValues() {
  return SharedStyleValues;
}

bool TcxContainerStyle::IsExtendedStylePropertyPublished(
    const String& APropertyName) {
  if (APropertyName == "LookAndFeel" || APropertyName == "StyleController")
    return false;
  TcxContainerStyleValue value;
  if (!GetStyleValue(APropertyName, value)) return true;
  return !InternalGetNotPublishedExtendedStyleValues().Contains(value);
}

bool TcxContainerStyle::IsPublished(TcxContainerStyleValue AValue) {
  TcxContainer* container = GetContainer();
  if (!container) return true;
  String name;
  GetStyleValueName(AValue, name);
  return container->IsStylePropertyPublished(name, state_ != csNormal);
}

bool TcxContainerStyle::IsPropertyStored(const String& APropertyName) {
  if (APropertyName == "AssignedValues") return false;
  if (APropertyName == "LookAndFeel") return true;
  if (APropertyName == "StyleController") return state_ == csNormal;
  TcxContainerStyleValue value;
  if (!GetStyleValue(APropertyName, value)) return false;
  return assignedValues_.Contains(value) && IsPublished(value);
}

void TcxContainerStyle::DefineProperties(TFiler* Filer) {
  TcxInterfacedPersistent::DefineProperties(Filer);
  Filer->DefineProperty(
      "IsFontAssigned",
      TReaderProc(this, &TcxContainerStyle::ReadIsFontAssigned),
      TWriterProc(this, &TcxContainerStyle::WriteIsFontAssigned),
      IsPropertyStored("Font"));
}

void TcxContainerStyle::ReadIsFontAssigned(TReader* Reader) {
  if (Reader->ReadBoolean()) assignedValues_.Include(csvFont);
}

void TcxContainerStyle::WriteIsFontAssigned(TWriter* Writer) {
  Writer->WriteBoolean(true);
}

// --- Base style, controller and look-and-feel -------------------------------

bool TcxContainerStyle::HasBorder() {
  return IsBaseStyle() || parentStyle_->HasBorder();
}

TcxContainerStyle* TcxContainerStyle::GetBaseStyle() {
  return IsBaseStyle() ? this : parentStyle_;
}

TcxContainer* TcxContainerStyle::GetContainer() {
  return dynamic_cast<TcxContainer*>(GetOwner());
}

TcxLookAndFeel* TcxContainerStyle::GetLookAndFeel() {
  return GetBaseStyle()->lookAndFeel_.get();
}

TcxStyleController* TcxContainerStyle::GetDefaultStyleController() {
  return cxContainerDefaultStyleController;
}

TcxStyleController* TcxContainerStyle::GetActiveStyleController() {
  return GetBaseStyle()->styleController_;
}

TcxStyleController* TcxContainerStyle::BaseGetStyleController() {
  TcxStyleController* c = GetActiveStyleController();
  return c == GetDefaultStyleController() ? nullptr : c;
}

void TcxContainerStyle::BaseSetStyleController(TcxStyleController* Value) {
  if (!IsBaseStyle()) return parentStyle_->BaseSetStyleController(Value);
  TPersistent* owner = GetOwner();
  if (owner && owner == GetDefaultStyleController()) return;
  if (!Value) Value = GetDefaultStyleController();
  // A controller whose chain leads back to this style would resolve its
  // values through itself forever.
  for (TcxStyleController* c = Value; c;) {
    TcxContainerStyle* normal = c->GetStyle();
    if (normal == this) return;
    c = normal->styleController_;
  }
  if (Value == styleController_) return;
  if (styleController_) styleController_->RemoveListener(this);
  styleController_ = Value;
  if (styleController_) styleController_->AddListener(this);
  ControllerChangedNotification(Value);
}

void TcxContainerStyle::ControllerChangedNotification(TcxStyleController*) {
  UpdateFont();
  Changed();
}

void TcxContainerStyle::ControllerFreeNotification(
    TcxStyleController* AStyleController) {
  if (AStyleController && AStyleController == GetActiveStyleController())
    BaseSetStyleController(nullptr);
}

void TcxContainerStyle::ResetFont() {
  TFont defaults;
  font_->Assign(&defaults);
}

void TcxContainerStyle::UpdateFont() {
  if (directAccessMode_ || !IsBaseStyle() || !font_ ||
      assignedValues_.Contains(csvFont))
    return;
  LockFontAssignedValue(true);
  TScopeGuard unlock([this] { LockFontAssignedValue(false); });
  TFont* resolved = nullptr;
  if (styleController_ &&
      styleController_->GetInternalStyle(state_)->InternalGetFont(resolved) &&
      resolved) {
    font_->Assign(resolved);
    return;
  }
  TcxContainer* container = GetContainer();
  if (!container || !container->ParentFont()) ResetFont();
}

// --- Assign and defaults
// -------------------------------------------------------

void TcxContainerStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxContainerStyle*>(Source);
  if (!source) return TcxInterfacedPersistent::Assign(Source);
  BeginUpdate();
  TScopeGuard end([this] { EndUpdate(); });
  if (IsBaseStyle()) {
    BaseSetStyleController(source->BaseGetStyleController());
    if (source->GetLookAndFeel())
      lookAndFeel_->Assign(source->GetLookAndFeel());
  }
  borderColor_ = source->borderColor_;
  borderStyle_ = source->borderStyle_;
  edges_ = source->edges_;
  hotTrack_ = source->hotTrack_;
  shadow_ = source->shadow_;
  transparentBorder_ = source->transparentBorder_;
  color_ = source->color_;
  if (directAccessMode_) {
    font_ = source->Font();
    textColor_ = source->textColor_;
  } else {
    if (font_ && source->Font()) {
      LockFontAssignedValue(true);
      TScopeGuard unlock([this] { LockFontAssignedValue(false); });
      font_->Assign(source->Font());
      if (source->directAccessMode_) font_->SetColor(source->GetTextColor());
    }
    textColor_ = source->GetTextColor();
    textStyle_ = source->GetTextStyle();
  }
  assignedValues_ = source->assignedValues_;
  Changed();
}

void TcxContainerStyle::RestoreDefaults() {
  BeginUpdate();
  TScopeGuard end([this] { EndUpdate(); });
  assignedValues_ = {};
  modified_ = true;
  if (!IsBaseStyle()) return;
  lookAndFeel_->Reset();
  TcxContainer* container = GetContainer();
  if (container) {
    container->SetParentColor(false);
    container->SetParentFont(true);
  } else if (!directAccessMode_ && font_) {
    LockFontAssignedValue(true);
    TScopeGuard unlock([this] { LockFontAssignedValue(false); });
    ResetFont();
  }
  if (container && container->DefaultParentColor()) {
    TcxStyleController* c = GetActiveStyleController();
    if (!c || !c->GetStyle()->OwnAssignedValuesContain(csvColor))
      container->SetParentColor(true);
  }
}

// ---------------------------------------------------------------------------
// TcxContainerStyles
// ---------------------------------------------------------------------------

TcxContainerStyles::TcxContainerStyles(TPersistent* AOwner,
                                       TcxContainerStyleClass AStyleClass) {
  for (Integer i = csNormal; i <= csHotTrack; ++i) {
    const auto state = static_cast<TcxContainerStateItem>(i);
    styles_[i] = AStyleClass(
        AOwner, false, state == csNormal ? nullptr : styles_[0].get(), state);
  }
}

TcxContainerStyles::~TcxContainerStyles() {
  for (Integer i = csHotTrack; i >= csNormal; --i) styles_[i].reset();
}

void TcxContainerStyles::SetStyle(TcxContainerStateItem AState,
                                  TcxContainerStyle* Value) {
  styles_[AState]->Assign(Value);
}

void TcxContainerStyles::RestoreDefaults() {
  for (auto& style : styles_) style->RestoreDefaults();
}

void TcxContainerStyles::SetOnChanged(const TNotifyEvent& Value) {
  for (auto& style : styles_) style->OnChanged = Value;
}

// ---------------------------------------------------------------------------
// TcxStyleController
// ---------------------------------------------------------------------------

TcxStyleController::TcxStyleController(TComponent* AOwner)
    : TComponent(AOwner) {
  CreateStyles();
}

void TcxStyleController::CreateStyles() {
  // A second call replaces the styles: the old ones must not report into
  // the controller while they go.
  if (styles_) styles_->SetOnChanged(nullptr);
  styles_ = GetStylesClass()(this, GetStyleClass());
  styles_->SetOnChanged(TNotifyEvent(this, &TcxStyleController::StyleChanged));
}

void TcxStyleController::BeforeDestruction() {
  isDestruction_ = true;
  // Listeners leave the list as they rebind, so walk a copy.
  const std::vector<TcxContainerStyle*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
    if (HasListener(*it)) (*it)->ControllerFreeNotification(this);
  TComponent::BeforeDestruction();
}

TcxStyleController::~TcxStyleController() {
  isDestruction_ = true;
  const std::vector<TcxContainerStyle*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
    if (HasListener(*it)) (*it)->ControllerFreeNotification(this);
  styles_.reset();
}

void TcxStyleController::Loaded() {
  TComponent::Loaded();
  Changed();
}

TcxStyleController* TcxStyleController::FakeStyleController() {
  return GetStyle()->StyleController();
}

bool TcxStyleController::HasListener(TcxContainerStyle* AStyle) const {
  return std::find(listeners_.begin(), listeners_.end(), AStyle) !=
         listeners_.end();
}

void TcxStyleController::AddListener(TcxContainerStyle* AListener) {
  if (!AListener || HasListener(AListener)) return;
  listeners_.push_back(AListener);
  if (AListener->GetLookAndFeel() && styles_)
    AListener->GetLookAndFeel()->SetMasterLookAndFeel(
        GetStyle()->GetLookAndFeel());
}

void TcxStyleController::RemoveListener(TcxContainerStyle* AListener) {
  auto it = std::find(listeners_.begin(), listeners_.end(), AListener);
  if (it == listeners_.end()) return;
  listeners_.erase(it);
  if (AListener->GetLookAndFeel())
    AListener->GetLookAndFeel()->SetMasterLookAndFeel(nullptr);
}

TcxContainerStyleClass TcxStyleController::GetStyleClass() {
  return &cxNewContainerStyle<TcxContainerStyle>;
}

TcxContainerStylesClass TcxStyleController::GetStylesClass() {
  return [](TPersistent* AOwner, TcxContainerStyleClass AStyleClass) {
    return TObjectPtr<TcxContainerStyles>(
        new TcxContainerStyles(AOwner, AStyleClass));
  };
}

void TcxStyleController::SetInternalStyle(TcxContainerStateItem AState,
                                          TcxContainerStyle* AStyle) {
  styles_->SetStyle(AState, AStyle);
}

void TcxStyleController::StyleChanged(TObject*) { Changed(); }

void TcxStyleController::Changed() {
  if (OnStyleChanged) OnStyleChanged(this);
  if (isDestruction_) return;
  const std::vector<TcxContainerStyle*> listeners = listeners_;
  for (TcxContainerStyle* listener : listeners)
    if (HasListener(listener)) listener->ControllerChangedNotification(this);
}

void TcxStyleController::ChangeFontScale(Integer M, Integer D) {
  TcxContainerStyle* normal = GetStyle();
  if (normal->OwnAssignedValuesContain(csvFont)) {
    if (fontScaled_) return;
    normal->Font()->SetSize(::MulDiv(normal->Font()->Size(), M, D));
    fontScaled_ = true;
  } else if (TcxStyleController* next = normal->GetActiveStyleController()) {
    next->ChangeFontScale(M, D);
  }
}

// ---------------------------------------------------------------------------
// Drawing and window routines
// ---------------------------------------------------------------------------

const TRect cxContainerDefaultBorderExtent{2, 2, 2, 2};
TColor cxContainerShadowColor = clBtnShadow;

namespace {

std::unique_ptr<TcxScreenCanvas> ScreenCanvasInstance;

using TGetScrollBarInfo = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
TGetScrollBarInfo GetScrollBarInfoProc = nullptr;

struct TAppWindowsLock {
  Integer Count = 0;
  bool Disabling = false;
  std::unique_ptr<std::vector<HWND>> Windows;
};
TAppWindowsLock AppWindowsLock;

BOOL CALLBACK DisableProcessWindow(HWND AWnd, LPARAM AList) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(AWnd, &process);
  if (process == ::GetCurrentProcessId())
    DisableWindow(reinterpret_cast<std::vector<HWND>*>(AList), AWnd);
  return TRUE;
}

}  // namespace

namespace cxcontainer_detail {
Integer CMActivateMessagesLockCount = 0;
}  // namespace cxcontainer_detail

Integer GetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle) {
  static constexpr Integer Widths[] = {0, 1, 2, 2, 2, 1, 1};
  return Widths[ABorderStyle];
}

TRect GetContainerEdgesExtent(Integer AWidth, TcxBorders AEdges) {
  return TRect{AEdges.Contains(bLeft) ? AWidth : 0,
               AEdges.Contains(bTop) ? AWidth : 0,
               AEdges.Contains(bRight) ? AWidth : 0,
               AEdges.Contains(bBottom) ? AWidth : 0};
}

Integer GetContainerBorderWidth(TcxLookAndFeelKind ALookAndFeelKind) {
  static constexpr Integer Widths[] = {2, 2, 1, 1};
  return Widths[ALookAndFeelKind];
}

void ExtendRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders) {
  if (ABorders.Contains(bLeft)) R.Left -= AWidth;
  if (ABorders.Contains(bTop)) R.Top -= AWidth;
  if (ABorders.Contains(bRight)) R.Right += AWidth;
  if (ABorders.Contains(bBottom)) R.Bottom += AWidth;
}

void InflateRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders) {
  ExtendRectByBorders(R, -AWidth, cxBordersAll - ABorders);
}

TRect GetControlRect(TControl* AControl) {
  return TRect{0, 0, AControl->Width(), AControl->Height()};
}

void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R) {
  ACanvas->SetBrushColor(cxContainerShadowColor);
  const TRect bottom{R.Left + cxContainerShadowWidth, R.Bottom, R.Right,
                     R.Bottom + cxContainerShadowWidth};
  ACanvas->FillRect(bottom);
  ACanvas->ExcludeClipRect(bottom);
  const TRect right{R.Right, R.Top + cxContainerShadowWidth,
                    R.Right + cxContainerShadowWidth,
                    R.Bottom + cxContainerShadowWidth};
  ACanvas->FillRect(right);
  ACanvas->ExcludeClipRect(right);
}

namespace {

// The four strips of AOuter around AInner: left and right full height, top
// and bottom between them.
std::vector<TRect> RingStrips(const TRect& AOuter, const TRect& AInner) {
  return {TRect{AOuter.Left, AOuter.Top, AInner.Left, AOuter.Bottom},
          TRect{AInner.Left, AOuter.Top, AInner.Right, AInner.Top},
          TRect{AInner.Right, AOuter.Top, AOuter.Right, AOuter.Bottom},
          TRect{AInner.Left, AInner.Bottom, AInner.Right, AOuter.Bottom}};
}

bool IsEmptyRect(const TRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

}  // namespace

void cxFillRectRing(TcxCanvas* ACanvas, const TRect& AOuter,
                    const TRect& AInner, TColor AColor) {
  if (IsEmptyRect(AOuter) || AOuter == AInner) return;
  if (IsEmptyRect(AInner)) {
    ACanvas->FillRect(AOuter, AColor);
    return;
  }
  for (const TRect& strip : RingStrips(AOuter, AInner))
    if (!IsEmptyRect(strip)) ACanvas->FillRect(strip, AColor);
}

void InternalInvalidate(HWND AWnd, const TRect& AOuterRect,
                        const TRect& AInternalRect, bool AEraseBackground) {
  if (IsEmptyRect(AInternalRect)) {
    const RECT r = ToRECT(AOuterRect);
    ::InvalidateRect(AWnd, &r, AEraseBackground);
    return;
  }
  for (const TRect& strip : RingStrips(AOuterRect, AInternalRect)) {
    if (IsEmptyRect(strip)) continue;
    const RECT r = ToRECT(strip);
    ::InvalidateRect(AWnd, &r, AEraseBackground);
  }
}

void InternalInvalidateRect(TWinControl* AControl, const TRect& R,
                            bool AEraseBackground) {
  if (!AControl->HandleAllocated()) return;
  const RECT r = ToRECT(R);
  ::InvalidateRect(AControl->Handle(), &r, AEraseBackground);
}

void SetWindowRegion(TWinControl* AControl,
                     const TcxContainerInnerControlBounds& ABounds) {
  HRGN region = nullptr;
  if (!ABounds.IsEmpty)
    region = ::CreateRectRgn(ABounds.Rect.Left, ABounds.Rect.Top,
                             ABounds.Rect.Right, ABounds.Rect.Bottom);
  // The window owns the region from here on.
  ::SetWindowRgn(AControl->Handle(), region, TRUE);
}

void SetWindowShadowRegion(HWND AWnd, const TRect& R, bool ANoRegion,
                           bool AShadow, const TRect& AExcludeRect) {
  TRegionHandle region;
  if (!ANoRegion) {
    region.reset(::CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom));
    if (AShadow) {
      TRegionHandle shadow(::CreateRectRgn(
          R.Left + cxContainerShadowWidth, R.Top + cxContainerShadowWidth,
          R.Right + cxContainerShadowWidth, R.Bottom + cxContainerShadowWidth));
      ::CombineRgn(region.get(), region.get(), shadow.get(), RGN_OR);
    }
    if (!IsEmptyRect(AExcludeRect)) {
      TRegionHandle exclude(::CreateRectRgn(AExcludeRect.Left, AExcludeRect.Top,
                                            AExcludeRect.Right,
                                            AExcludeRect.Bottom));
      ::CombineRgn(region.get(), region.get(), exclude.get(), RGN_DIFF);
    }
  }
  TRegionHandle current(::CreateRectRgn(0, 0, 0, 0));
  const int kind = ::GetWindowRgn(AWnd, current.get());
  const bool hasCurrent = kind != ERROR && kind != NULLREGION;
  if (!region && !hasCurrent) return;
  if (region && hasCurrent && ::EqualRgn(region.get(), current.get())) return;
  // The window takes the region over.
  ::SetWindowRgn(AWnd, region.release(), TRUE);
}

HWND NativeHandle(HWND AWnd) { return AWnd; }

bool HasNativeHandle(TWinControl* AControl, HWND AWnd, bool AIncludeChildren) {
  if (!AControl) return false;
  if (AControl->HandleAllocated() && AWnd == AControl->Handle()) return true;
  return AIncludeChildren && IsChildWindow(AControl, AWnd);
}

bool HasHandle(TWinControl* AControl, HWND AWnd) {
  return HasNativeHandle(AControl, AWnd, false);
}

namespace {

bool SearchChildWindow(TWinControl* AParent, HWND AChild) {
  for (Integer i = 0; i < AParent->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(AParent->Controls(i));
    if (!child) continue;
    if (child->HandleAllocated() &&
        (AChild == child->Handle() || ::IsChild(child->Handle(), AChild)))
      return true;
    if (SearchChildWindow(child, AChild)) return true;
  }
  auto popupHit = [&](TcxCustomPopupWindow* popup) {
    return (popup->HandleAllocated() && popup->Handle() == AChild) ||
           SearchChildWindow(popup, AChild);
  };
  if (dynamic_cast<TcxCustomPopupWindow*>(AParent)) {
    for (Integer i = 0; i < cxOpenPopupWindowCount(); ++i) {
      TcxCustomPopupWindow* popup = cxOpenPopupWindow(i);
      if (popup == AParent || !popup->OwnerControl()) continue;
      if (GetParentForm(popup->OwnerControl()) == AParent && popupHit(popup))
        return true;
    }
  }
  for (Integer i = 0; i < cxOpenPopupWindowCount(); ++i) {
    TcxCustomPopupWindow* popup = cxOpenPopupWindow(i);
    if (popup != AParent && popup->OwnerControl() == AParent && popupHit(popup))
      return true;
  }
  return false;
}

}  // namespace

bool IsChildWindow(TWinControl* AParent, HWND AChild) {
  if (!AParent || !AChild) return false;
  if (AParent->HandleAllocated()) {
    if (AChild == AParent->Handle()) return false;
    if (::IsChild(AParent->Handle(), AChild)) return true;
  }
  return SearchChildWindow(AParent, AChild);
}

bool CheckParentsNativeHandle(TControl* AControl, HWND AWnd) {
  if (!AControl) return false;
  TCustomForm* form = GetParentForm(AControl);
  if (!form) return false;
  if (HasNativeHandle(form, AWnd, true) || form->Parent()) return true;
  HWND w = form->Handle();
  for (HWND parent = ::GetParent(w); parent && ::IsChild(parent, w);
       parent = ::GetParent(w))
    w = parent;
  if (w == form->Handle()) return false;
  return AWnd == w || ::IsChild(w, AWnd);
}

HWND FindFirstNonChildParentWindow(HWND AWnd) {
  for (HWND w = AWnd; w; w = ::GetParent(w))
    if (!(::GetWindowLongA(w, GWL_STYLE) & WS_CHILD)) return w;
  return nullptr;
}

TcxContainer* GetcxContainer(TWinControl* AControl) {
  if (auto* container = dynamic_cast<TcxContainer*>(AControl)) return container;
  if (auto* inner = dynamic_cast<IcxContainerInnerControl*>(AControl))
    return inner->GetControlContainer();
  return nullptr;
}

bool HasOpenedPopupWindow(TWinControl* AControl) {
  TcxContainer* container = GetcxContainer(AControl);
  return container && container->HasPopupWindow();
}

HWND GetPopupOwnerControl(HWND AWnd) {
  for (HWND w = AWnd; w; w = ::GetParent(w)) {
    auto* popup = dynamic_cast<TcxCustomPopupWindow*>(FindControl(w));
    if (popup && popup->OwnerControl() &&
        popup->OwnerControl()->HandleAllocated())
      return popup->OwnerControl()->Handle();
  }
  return AWnd;
}

bool CanShowHint(TWinControl* AControl) {
  if (!Application || !Application->Active() || !AControl ||
      !AControl->HandleAllocated() || !::IsWindowVisible(AControl->Handle()))
    return false;
  POINT p;
  ::GetCursorPos(&p);
  if (FindVCLWindow(TPoint{p.x, p.y}) != AControl) return false;
  TWinControl* w = AControl;
  while (w->Parent()) {
    auto* form = dynamic_cast<TCustomForm*>(w);
    if (form && form->FormStyle() == fsMDIChild) break;
    w = w->Parent();
  }
  auto* form = dynamic_cast<TCustomForm*>(w);
  if (!form || form->Active() || form->FormStyle() == fsMDIForm) return true;
  if (cxOpenPopupWindowCount() == 0) return false;
  TWinControl* owner = cxOpenPopupWindow(0)->OwnerControl();
  return owner && owner->HandleAllocated() && form->HandleAllocated() &&
         (owner->Handle() == form->Handle() ||
          ::IsChild(form->Handle(), owner->Handle()));
}

void DisableWindow(std::vector<HWND>* AWindowList, HWND AWnd) {
  if (!::IsWindowEnabled(AWnd)) return;
  AWindowList->push_back(AWnd);
  ::EnableWindow(AWnd, FALSE);
}

void EnableWindows(std::vector<HWND>* AWindowList) {
  if (!AWindowList) return;
  for (HWND w : *AWindowList)
    if (::IsWindow(w)) ::EnableWindow(w, TRUE);
}

void DisableAppWindows(bool ANeedDisable) {
  if (AppWindowsLock.Count++ != 0 || !ANeedDisable) return;
  TRestoreOnExit disabling(AppWindowsLock.Disabling, true);
  AppWindowsLock.Windows = std::make_unique<std::vector<HWND>>();
  ::EnumWindows(&DisableProcessWindow,
                reinterpret_cast<LPARAM>(AppWindowsLock.Windows.get()));
}

void EnableAppWindows() {
  if (AppWindowsLock.Count <= 0) return;
  if (--AppWindowsLock.Count != 0) return;
  TRestoreOnExit disabling(AppWindowsLock.Disabling, true);
  EnableWindows(AppWindowsLock.Windows.get());
  AppWindowsLock.Windows.reset();
}

bool IsInternalWindowsDisabled() { return AppWindowsLock.Count > 0; }
bool IsInternalWindowsDisabling() { return AppWindowsLock.Disabling; }

bool AreVisualStylesMustBeUsed(bool ANativeStyle,
                               TdxThemedObjectType AThemedObjectType) {
  return ANativeStyle && OpenTheme(AThemedObjectType) != nullptr;
}

TRect GetSizeGripRect(IcxContainerInnerControl* AInnerControl) {
  TcxContainer* container = AInnerControl->GetControlContainer();
  if (!container || !container->HScrollBar() || !container->VScrollBar() ||
      !container->HScrollBar()->Visible() ||
      !container->VScrollBar()->Visible())
    return TRect();
  TWinControl* control = AInnerControl->GetControl();
  POINT p{container->VScrollBar()->Left(), container->HScrollBar()->Top()};
  ::ClientToScreen(container->Handle(), &p);
  RECT window;
  ::GetWindowRect(control->Handle(), &window);
  const Integer left = p.x - window.left;
  const Integer top = p.y - window.top;
  return TRect{left, top, left + container->VScrollBar()->Width(),
               top + container->HScrollBar()->Height()};
}

bool UsecxScrollBars() { return GetScrollBarInfoProc != nullptr; }

bool cxGetScrollBarInfo(HWND AWnd, LONG AObjectID, SCROLLBARINFO& AInfo) {
  AInfo.cbSize = 60;
  return GetScrollBarInfoProc && GetScrollBarInfoProc(AWnd, AObjectID, &AInfo);
}

bool KillMessages(HWND AWnd, UINT AMsgFilterMin, UINT AMsgFilterMax,
                  bool AKillAllMessages) {
  bool result = false;
  MSG msg;
  while (::PeekMessageA(&msg, AWnd, AMsgFilterMin, AMsgFilterMax, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The quit request belongs to the loop above ours: put it back.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    result = true;
    if (!AKillAllMessages) break;
  }
  return result;
}

void LockCMActivateMessages(bool ALock) {
  cxcontainer_detail::CMActivateMessagesLockCount += ALock ? 1 : -1;
  cxcontainer_detail::UpdatePopupHooks();
}

TShiftState MouseButtonToShift(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft:
      return {ssLeft};
    case mbRight:
      return {ssRight};
    case mbMiddle:
      return {ssMiddle};
  }
  return {};
}

TcxMouseButton ButtonTocxButton(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft:
      return cxmbLeft;
    case mbRight:
      return cxmbRight;
    case mbMiddle:
      return cxmbMiddle;
  }
  return cxmbNone;
}

bool InternalCompareString(const String& S1, const String& S2,
                           bool ACaseSensitive) {
  if (ACaseSensitive)
    return ::CompareStringA(LOCALE_USER_DEFAULT, 0, S1.c_str(),
                            static_cast<int>(S1.size()), S2.c_str(),
                            static_cast<int>(S2.size())) == CSTR_EQUAL;
  return AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

TPoint InternalGetCursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

TShiftState InternalGetShiftState() { return KeyboardStateToShiftState(); }

bool InternalIsWindowVisible(TWinControl* AControl) {
  return AControl->HandleAllocated() && ::IsWindowVisible(AControl->Handle());
}

void AssignFonts(TFont* ADest, TFont* ASource) { ADest->Assign(ASource); }

TcxScreenCanvas* ScreenCanvas() { return ScreenCanvasInstance.get(); }

// ---------------------------------------------------------------------------
// Unit start-up and shut-down
// ---------------------------------------------------------------------------

namespace {

void ContainerStartup() {
  ScreenCanvasInstance = std::make_unique<TcxScreenCanvas>();
  if (HMODULE user32 = ::GetModuleHandleA("User32"))
    GetScrollBarInfoProc = reinterpret_cast<TGetScrollBarInfo>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetScrollBarInfo")));
  cxGetParentWndForDocking = &GetPopupOwnerControl;
  cxcontainer_detail::InstallPopupHooks();
}

void ContainerShutdown() {
  cxcontainer_detail::RemovePopupHooks();
  if (cxGetParentWndForDocking == &GetPopupOwnerControl)
    cxGetParentWndForDocking = nullptr;
  GetScrollBarInfoProc = nullptr;
  ScreenCanvasInstance.reset();
}

}  // namespace

VARNEL_UNIT(cxContainer,
            ({"cxControls", "cxGraphics", "cxLookAndFeels", "Forms"}),
            &ContainerStartup, &ContainerShutdown);
