#include "cxLookAndFeels.h"

#include <algorithm>

#include "SysUtils.h"

bool cxUseSkins = true;

namespace {

TObjectPtr<TcxLookAndFeel> gRoot;
Integer gControllerCount = 0;

}  // namespace

TcxLookAndFeel* RootLookAndFeel() { return gRoot.get(); }

Integer cxLookAndFeelControllerCount() { return gControllerCount; }

TcxLookAndFeelPainterClass cxLookAndFeelKindPainter(TcxLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat:
      return cxPainterInstance<TcxFlatLookAndFeelPainter>();
    case lfStandard:
      return cxPainterInstance<TcxStandardLookAndFeelPainter>();
    case lfOffice11:
      return cxPainterInstance<TcxOffice11LookAndFeelPainter>();
    case lfUltraFlat:
      break;
  }
  return cxPainterInstance<TcxUltraFlatLookAndFeelPainter>();
}

TcxLookAndFeelStyle cxLookAndFeelKindStyle(TcxLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat:
      return lfsFlat;
    case lfStandard:
      return lfsStandard;
    case lfOffice11:
      return lfsOffice11;
    case lfUltraFlat:
      break;
  }
  return lfsUltraFlat;
}

TcxLookAndFeelKind cxLookAndFeelStyleKind(TcxLookAndFeelStyle AStyle) {
  switch (AStyle) {
    case lfsFlat:
      return lfFlat;
    case lfsUltraFlat:
      return lfUltraFlat;
    case lfsOffice11:
      return lfOffice11;
    case lfsStandard:
    case lfsNative:
      break;
  }
  return lfStandard;
}

// ---------------------------------------------------------------------------
// TcxLookAndFeel

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner) {
  current_ = data_;
  paletteNotifier_.reset(new TcxSystemPaletteChangedNotifier(false));
  paletteNotifier_->SetOnSystemPaletteChanged(TcxSystemPaletteChangedEvent(
      this, &TcxLookAndFeel::SystemPaletteChanged));
  if (gRoot != nullptr) {
    gRoot->AddChangeListener(this);
    current_ = ValuesInForce();
    if (!current_.NativeStyle) skinPainter_ = InternalGetSkinPainter();
  }
  availablePainter_ = GetAvailablePainter();
}

TcxLookAndFeel::~TcxLookAndFeel() {
  if (painterListenerRegistered_ && GetExtendedStylePainters() != nullptr)
    GetExtendedStylePainters()->RemoveListener(this);
  painterListenerRegistered_ = false;
  paletteNotifier_.reset();
  destroying_ = true;
  // A listener moves to the root (or elsewhere) while it is told, and may
  // call back here; the list stays untouched until every one has heard.
  for (std::size_t i = 0; i < listeners_.size(); ++i)
    listeners_[i]->MasterLookAndFeelDestroying(this);
  destroying_ = false;
  listeners_.clear();
  if (TcxLookAndFeel* master = EffectiveMaster())
    master->RemoveChangeListener(this);
  // A root freed by someone else leaves the holder without freeing it again.
  if (isRoot_ && gRoot.get() == this) (void)gRoot.release();
}

void TcxLookAndFeel::CreateRoot() {
  if (gRoot != nullptr) return;
  // Made while no root exists, so it keeps its own defaults.
  TObjectPtr<TcxLookAndFeel> root(new TcxLookAndFeel(nullptr));
  root->isRoot_ = true;
  gRoot = std::move(root);
}

void TcxLookAndFeel::DestroyRoot() {
  gRoot.reset();
  gControllerCount = 0;
}

void* TcxLookAndFeel::GetInterfaceFor(const TGUID& iid) {
  if (iid == IcxLookAndFeelNotificationListener::IID)
    return static_cast<IcxLookAndFeelNotificationListener*>(this);
  if (iid == IcxLookAndFeelPainterListener::IID)
    return static_cast<IcxLookAndFeelPainterListener*>(this);
  return inherited::GetInterfaceFor(iid);
}

TcxLookAndFeel* TcxLookAndFeel::EffectiveMaster() const {
  if (isRoot_) return nullptr;
  return master_ != nullptr ? master_ : gRoot.get();
}

TcxLookAndFeel* TcxLookAndFeel::GetMasterLookAndFeel() const {
  return EffectiveMaster();
}

TcxLookAndFeelKind TcxLookAndFeel::InternalGetKind() {
  if (assignedValues_.Contains(lfvKind)) return data_.Kind;
  TcxLookAndFeel* master = EffectiveMaster();
  return master != nullptr ? master->GetKind() : lfUltraFlat;
}

bool TcxLookAndFeel::InternalGetNativeStyle() {
  if (assignedValues_.Contains(lfvNativeStyle)) return data_.NativeStyle;
  TcxLookAndFeel* master = EffectiveMaster();
  return master != nullptr && master->GetNativeStyle();
}

TdxSkinName TcxLookAndFeel::InternalGetSkinName() {
  if (assignedValues_.Contains(lfvSkinName)) return data_.SkinName;
  TcxLookAndFeel* master = EffectiveMaster();
  return master != nullptr ? master->GetSkinName() : TdxSkinName();
}

TcxLookAndFeelPainterClass TcxLookAndFeel::InternalGetSkinPainter() {
  TcxLookAndFeelPainterClass painter = nullptr;
  if (assignedValues_.Contains(lfvSkinName)) {
    IsVisualSkinAvailable(data_.SkinName, painter);
  } else if (TcxLookAndFeel* master = EffectiveMaster()) {
    master->IsVisualSkinAvailable(master->GetSkinName(), painter);
  }
  return painter;
}

bool TcxLookAndFeel::IsVisualSkinAvailable(
    const TdxSkinName& AName, TcxLookAndFeelPainterClass& APainter) {
  APainter = nullptr;
  TcxExtendedStylePainters* painters = GetExtendedStylePainters();
  if (AName.empty() || painters == nullptr) return false;
  TcxLookAndFeelPainterClass found = nullptr;
  if (!painters->GetPainterByName(AName, found)) return false;
  if (cxUseSkins) APainter = found;
  return true;
}

TcxLookAndFeelData TcxLookAndFeel::ValuesInForce() {
  return {InternalGetKind(), InternalGetNativeStyle(), InternalGetSkinName()};
}

TcxLookAndFeelPainterClass TcxLookAndFeel::GetPainter() const {
  return painter_ != nullptr ? painter_ : availablePainter_;
}

void TcxLookAndFeel::SetPainter(TcxLookAndFeelPainterClass Value) {
  if (Value == GetPainter()) return;
  painter_ = Value;
  Changed({lfvKind, lfvNativeStyle});
}

TcxLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(
    TdxThemedObjectType AType) const {
  if (current_.NativeStyle && AreVisualStylesAvailable(AType))
    return cxPainterInstance<TcxWinXPLookAndFeelPainter>();
  if (skinPainter_ != nullptr) return skinPainter_;
  return cxLookAndFeelKindPainter(current_.Kind);
}

TcxLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(
    TdxThemedObjectTypes ATypes) const {
  if (current_.NativeStyle && AreVisualStylesAvailable(ATypes))
    return cxPainterInstance<TcxWinXPLookAndFeelPainter>();
  if (skinPainter_ != nullptr) return skinPainter_;
  return cxLookAndFeelKindPainter(current_.Kind);
}

TcxLookAndFeelStyle TcxLookAndFeel::GetActiveStyle() const {
  if (current_.NativeStyle && AreVisualStylesAvailable()) return lfsNative;
  return cxLookAndFeelKindStyle(current_.Kind);
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues AChangedValues) {
  if (AChangedValues.Empty() || destroying_) return;
  current_ = ValuesInForce();
  skinPainter_ = nullptr;
  if (!current_.NativeStyle) skinPainter_ = InternalGetSkinPainter();
  availablePainter_ = GetAvailablePainter();
  if (TcxExtendedStylePainters* painters = GetExtendedStylePainters()) {
    const bool wanted = skinPainter_ != nullptr;
    if (wanted != painterListenerRegistered_) {
      if (wanted)
        painters->AddListener(this);
      else
        painters->RemoveListener(this);
      painterListenerRegistered_ = wanted;
    }
  }
  // A listener may remove itself while it is told: the index moves on only
  // when the count stayed, so the next one is not skipped.
  std::size_t i = 0;
  while (i < listeners_.size()) {
    const std::size_t count = listeners_.size();
    listeners_[i]->MasterLookAndFeelChanged(this, AChangedValues);
    if (listeners_.size() == count) ++i;
  }
  OnChanged(this, AChangedValues);
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
  const TcxLookAndFeelKind old = current_.Kind;
  assignedValues_.Include(lfvKind);
  data_.Kind = Value;
  if (InternalGetKind() != old) Changed({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
  const bool old = current_.NativeStyle;
  assignedValues_.Include(lfvNativeStyle);
  data_.NativeStyle = Value;
  if (InternalGetNativeStyle() != old) Changed({lfvNativeStyle});
}

void TcxLookAndFeel::SetSkinName(const TdxSkinName& Value) {
  const TdxSkinName old = current_.SkinName;
  assignedValues_.Include(lfvSkinName);
  data_.SkinName = Value;
  if (InternalGetSkinName() != old) Changed({lfvSkinName});
}

void TcxLookAndFeel::SaveState() { previous_ = current_; }

void TcxLookAndFeel::CheckStateChanges() {
  const TcxLookAndFeelData now = ValuesInForce();
  TcxLookAndFeelValues changed;
  if (now.Kind != previous_.Kind) changed.Include(lfvKind);
  if (now.NativeStyle != previous_.NativeStyle) changed.Include(lfvNativeStyle);
  if (now.SkinName != previous_.SkinName) changed.Include(lfvSkinName);
  Changed(changed);
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
  if (Value == assignedValues_) return;
  SaveState();
  assignedValues_ = Value;
  CheckStateChanges();
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* Value) {
  if (isRoot_ || Value == this || Value == GetMasterLookAndFeel()) return;
  SaveState();
  if (TcxLookAndFeel* old = EffectiveMaster()) old->RemoveChangeListener(this);
  master_ = Value;
  if (TcxLookAndFeel* now = EffectiveMaster()) now->AddChangeListener(this);
  CheckStateChanges();
}

void TcxLookAndFeel::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxLookAndFeel*>(Source);
  if (source == nullptr) {
    inherited::Assign(Source);
    return;
  }
  SaveState();
  data_ = source->data_;
  assignedValues_ = source->assignedValues_;
  SetMasterLookAndFeel(source->GetMasterLookAndFeel());
  CheckStateChanges();
}

void TcxLookAndFeel::SetStyle(TcxLookAndFeelStyle Value) {
  SetNativeStyle(Value == lfsNative);
  if (!GetNativeStyle()) SetKind(cxLookAndFeelStyleKind(Value));
}

bool TcxLookAndFeel::IsControllerListener(
    IcxLookAndFeelNotificationListener* L) {
  TObject* obj = L->GetObject();
  return obj != nullptr &&
         obj->InheritsFrom(TcxLookAndFeelController::StaticClass());
}

void TcxLookAndFeel::AddChangeListener(
    IcxLookAndFeelNotificationListener* AListener) {
  if (AListener == nullptr) return;
  const bool controller = IsControllerListener(AListener);
  if (controller && !isRoot_) return;
  if (std::find(listeners_.begin(), listeners_.end(), AListener) !=
      listeners_.end())
    return;
  listeners_.push_back(AListener);
  if (controller) ++gControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(
    IcxLookAndFeelNotificationListener* AListener) {
  if (AListener == nullptr) return;
  auto it = std::find(listeners_.begin(), listeners_.end(), AListener);
  if (it == listeners_.end()) return;
  if (!destroying_) listeners_.erase(it);
  if (isRoot_ && IsControllerListener(AListener)) {
    // Once the last controller is gone the program returns to the defaults.
    if (--gControllerCount == 0) Reset();
  }
}

void TcxLookAndFeel::MasterLookAndFeelChanged(
    TcxLookAndFeel*, TcxLookAndFeelValues AChangedValues) {
  Changed(AChangedValues - assignedValues_);
}

void TcxLookAndFeel::MasterLookAndFeelDestroying(TcxLookAndFeel*) {
  SetMasterLookAndFeel(nullptr);
}

void TcxLookAndFeel::PainterChanged(TcxLookAndFeelPainterClass) {
  Changed(cxAllLookAndFeelValues);
}

void TcxLookAndFeel::SystemPaletteChanged() { Changed({lfvNativeStyle}); }

// ---------------------------------------------------------------------------
// TcxLookAndFeelController

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner)
    : TComponent(AOwner) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) {
    root->AddChangeListener(this);
    registered_ = true;
  }
}

TcxLookAndFeelController::~TcxLookAndFeelController() { Unregister(); }

Integer TcxLookAndFeelController::QueryInterface(const TGUID& iid, void** obj) {
  if (obj != nullptr && iid == IcxLookAndFeelNotificationListener::IID) {
    *obj = static_cast<IcxLookAndFeelNotificationListener*>(this);
    return S_OK_;
  }
  return TComponent::QueryInterface(iid, obj);
}

void TcxLookAndFeelController::BeforeDestruction() {
  Unregister();
  inherited::BeforeDestruction();
}

void TcxLookAndFeelController::Unregister() {
  if (!registered_) return;
  registered_ = false;
  if (TcxLookAndFeel* root = RootLookAndFeel())
    root->RemoveChangeListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  TcxLookAndFeel* root = RootLookAndFeel();
  return root != nullptr ? root->GetKind() : lfUltraFlat;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetKind(Value);
}

bool TcxLookAndFeelController::NativeStyle() const {
  TcxLookAndFeel* root = RootLookAndFeel();
  return root != nullptr && root->GetNativeStyle();
}

void TcxLookAndFeelController::SetNativeStyle(bool Value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetNativeStyle(Value);
}

TdxSkinName TcxLookAndFeelController::SkinName() const {
  TcxLookAndFeel* root = RootLookAndFeel();
  return root != nullptr ? root->GetSkinName() : TdxSkinName();
}

void TcxLookAndFeelController::SetSkinName(const TdxSkinName& Value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetSkinName(Value);
}

// Only a form designer reacts to root changes; the program has none.
void TcxLookAndFeelController::MasterLookAndFeelChanged(TcxLookAndFeel*,
                                                        TcxLookAndFeelValues) {}

void TcxLookAndFeelController::MasterLookAndFeelDestroying(TcxLookAndFeel*) {
  // The root is going: nothing is left to unregister from.
  registered_ = false;
}

// ---------------------------------------------------------------------------
// Routines

namespace {

TcxLookAndFeel* ContainerLookAndFeel(TWinControl* AControl) {
  auto container = TIntfPtr<IcxLookAndFeelContainer>::Query(AControl);
  return container ? container->GetLookAndFeel() : nullptr;
}

template <class F>
void WalkWinControls(TWinControl* AControl, const F& AVisit) {
  if (AControl == nullptr) return;
  AVisit(AControl);
  for (Integer i = 0; i < AControl->ControlCount(); ++i) {
    if (auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i)))
      WalkWinControls(child, AVisit);
  }
}

}  // namespace

void SetControlLookAndFeel(TWinControl* AControl,
                           TcxLookAndFeel* AMasterLookAndFeel) {
  WalkWinControls(AControl, [&](TWinControl* c) {
    if (TcxLookAndFeel* lf = ContainerLookAndFeel(c))
      lf->SetMasterLookAndFeel(AMasterLookAndFeel);
  });
}

void SetControlLookAndFeel(TWinControl* AControl, TcxLookAndFeelKind AKind,
                           bool ANativeStyle) {
  WalkWinControls(AControl, [&](TWinControl* c) {
    if (TcxLookAndFeel* lf = ContainerLookAndFeel(c)) {
      lf->SetKind(AKind);
      lf->SetNativeStyle(ANativeStyle);
    }
  });
}

// ---------------------------------------------------------------------------
// Unit start-up and exit

namespace {

void LookAndFeelsStartup() { TcxLookAndFeel::CreateRoot(); }

void LookAndFeelsShutdown() { TcxLookAndFeel::DestroyRoot(); }

}  // namespace

VARNEL_UNIT(cxLookAndFeels, ({"cxLookAndFeelPainters", "dxThemeManager"}),
            &LookAndFeelsStartup, &LookAndFeelsShutdown);
