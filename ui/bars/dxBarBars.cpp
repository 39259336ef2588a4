// Bars: the toolbar definitions of a manager, where they dock or float, and
// their merging.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "dxBar.h"
#include "dxBarHints.h"
#include "dxBarNavigation.h"

// ---------------------------------------------------------------------------
// Caption buttons
// ---------------------------------------------------------------------------

TdxBarCaptionButton::TdxBarCaptionButton(TCollection* ACollection)
    : TCollectionItem(ACollection), glyph_(new TBitmap()) {}

TdxBarCaptionButton::~TdxBarCaptionButton() {
  // A hot button leaves no hint of its own behind.
  if (state_ == dxBarCaptionButtonHot) SetState(dxBarCaptionButtonNormal);
}

TdxBarCaptionButtons* TdxBarCaptionButton::Buttons() const {
  return static_cast<TdxBarCaptionButtons*>(Collection());
}

void TdxBarCaptionButton::SetEnabled(bool Value) {
  if (Value == Enabled()) return;
  SetState(Value ? dxBarCaptionButtonNormal : dxBarCaptionButtonDisabled);
}

void TdxBarCaptionButton::SetGlyph(TBitmap* Value) {
  glyph_->Assign(Value);
  Changed(false);
}

void TdxBarCaptionButton::SetState(Integer Value) {
  if (state_ == Value) return;
  const bool wasHot = state_ == dxBarCaptionButtonHot;
  state_ = Value;
  TdxBar* bar = Buttons() ? Buttons()->Bar() : nullptr;
  TdxBarManager* manager = bar ? bar->BarManager() : nullptr;
  if (manager && !manager->IsDestroying()) {
    // Only the button that was hot takes the hint away: moving from one
    // button to the next must not hide the next one's hint.
    if (Value == dxBarCaptionButtonHot)
      dxBarActivateHint(manager, true, hint_, nullptr);
    else if (wasHot)
      dxBarActivateHint(manager, true, String(), nullptr);
  }
  Changed(false);
}

void TdxBarCaptionButton::Click() { OnClick(this); }

void TdxBarCaptionButton::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxBarCaptionButton*>(Source);
  if (!source) return inherited::Assign(Source);
  SetEnabled(source->Enabled());
  glyph_->Assign(source->Glyph());
  hint_ = source->hint_;
  KeyTip = source->KeyTip;
  bounds_ = source->bounds_;
  OnClick = source->OnClick;
  Changed(false);
}

bool TdxBarCaptionButton::DoHint(bool&, String& AHint, String& AShortCut) {
  AShortCut.clear();
  AHint = state_ == dxBarCaptionButtonHot ? hint_ : String();
  return !AHint.empty();
}

TPoint TdxBarCaptionButton::GetHintPosition(TPoint ACursorPos, Integer) {
  // Below the cursor, as the painters place every bar hint.
  return {ACursorPos.X, ACursorPos.Y + 20};
}

TdxBarCaptionButtons::TdxBarCaptionButtons(TdxBar* ABar)
    : TCollection(TdxBarCaptionButton::StaticClass()), bar_(ABar) {}

TPersistent* TdxBarCaptionButtons::GetOwner() { return bar_; }

void TdxBarCaptionButtons::Update(TCollectionItem* AItem) {
  if (bar_)
    bar_->CaptionButtonsNotification(static_cast<TdxBarCaptionButton*>(AItem));
}

void TdxBarCaptionButtons::UpdateButtonStates(const TPoint& P, bool APressed) {
  for (Integer i = 0; i < Count(); ++i) {
    TdxBarCaptionButton* button = Items(i);
    if (!button->Enabled()) continue;
    const bool under =
        PtInRect(button->Bounds(), P) || button->IsSelectedByNavigation();
    button->SetState(!under     ? dxBarCaptionButtonNormal
                     : APressed ? dxBarCaptionButtonPressed
                                : dxBarCaptionButtonHot);
  }
}

Integer TdxBarCaptionButtons::GetButtonIndex(const TPoint& P) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Enabled() && PtInRect(Items(i)->Bounds(), P)) return i;
  return -1;
}

TRect TdxBarCaptionButtons::GetRect() const {
  TRect result;
  for (Integer i = 0; i < Count(); ++i)
    UnionRect(result, result, Items(i)->Bounds());
  return result;
}

// ---------------------------------------------------------------------------
// TdxBar
// ---------------------------------------------------------------------------

TdxBar::TdxBar(TComponent* AOwner)
    : TComponent(AOwner), captionButtons_(new TdxBarCaptionButtons(this)) {}

void TdxBar::CaptionButtonsNotification(TdxBarCaptionButton* AButton) {
  if (auto* control = dynamic_cast<TdxBarControl*>(Control()))
    control->UpdateCaptionButtons(AButton);
}

TdxBar::~TdxBar() = default;

void TdxBar::BeforeDestruction() {
  if (barManager_ && !barManager_->IsDestroying())
    barManager_->DoBarDelete(this);
  if (mergedTo_) mergedTo_->Unmerge(this);
  if (!mergedBars_.empty()) Unmerge(nullptr);
  if (itemLinks_) HideControl();
  visible_ = false;
  if (dockRow_)
    if (TdxDockControl* dock = RealDockControl()) dock->RemoveBarFromRow(this);
  if (barManager_) {
    barManager_->RemoveBarFromRestoringList(this);
    if (barManager_->mainMenuBar_ == this) barManager_->mainMenuBar_ = nullptr;
  }
  itemLinks_.reset();
  captionButtons_.reset();
  if (collection_) collection_->RemoveBar(this);
  TComponent::BeforeDestruction();
}

void TdxBar::SetCollection(TdxBars* Value) {
  if (collection_ == Value) return;
  if (collection_) collection_->RemoveBar(this);
  collection_ = Value;
  barManager_ = Value ? Value->BarManager() : nullptr;
  if (!Value) return;
  Value->AddBar(this);
  if (!itemLinks_)
    itemLinks_.reset(new TdxBarControlItemLinks(barManager_, this));
  else
    itemLinks_->SetBarManager(barManager_);
  if (barManager_ && !barManager_->IsLoading()) barManager_->DoBarAdd(this);
}

Integer TdxBar::Index() const {
  return collection_ ? collection_->IndexOf(this) : -1;
}

TCustomdxBarControl* TdxBar::Control() const {
  return itemLinks_ ? itemLinks_->BarControl() : nullptr;
}

void TdxBar::Changed() {
  ChangedMark = true;
  if (barManager_) barManager_->DesignerModified();
}

void TdxBar::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  if (barManager_) {
    TdxBar* other = barManager_->BarByCaption(Value);
    if (other && other != this) return;
  }
  caption_ = Value;
  if (Control()) Control()->RepaintBar();
  Changed();
}

void TdxBar::SetIsMainMenu(bool Value) {
  if (isMainMenu_ == Value) return;
  if (barManager_) barManager_->BeginUpdate();
  TScopeGuard end([this] {
    if (barManager_) barManager_->EndUpdate(true);
  });
  if (Value) {
    if (barManager_ && barManager_->mainMenuBar_ &&
        barManager_->mainMenuBar_ != this)
      barManager_->mainMenuBar_->SetIsMainMenu(false);
    isMainMenu_ = true;
    if (barManager_) barManager_->mainMenuBar_ = this;
    wholeRow_ = true;
    multiLine_ = true;
  } else {
    isMainMenu_ = false;
    if (barManager_ && barManager_->mainMenuBar_ == this)
      barManager_->mainMenuBar_ = nullptr;
    multiLine_ = false;
    wholeRow_ = false;
  }
  if (barManager_ && barManager_->IsLoading()) return;
  if (Control() && !IsFloat()) Control()->RepaintBar();
  Changed();
}

void TdxBar::SetMultiLine(bool Value) {
  if (multiLine_ == Value || (!Value && isMainMenu_)) return;
  multiLine_ = Value;
  if (Control() && !IsFloat()) Control()->RepaintBar();
}

bool TdxBar::UseRecentItems() const {
  return itemLinks_ ? itemLinks_->UseRecentItems() : true;
}

void TdxBar::SetUseRecentItems(bool Value) {
  if (itemLinks_) itemLinks_->SetUseRecentItems(Value);
  if (Control()) Control()->RepaintBar();
}

TdxBarDockingStyle TdxBar::DockingStyle() const {
  return dockControl_ ? dockControl_->DockingStyle() : dockingStyle_;
}

TdxDockControl* TdxBar::RealDockControl() const {
  if (dockControl_) return dockControl_;
  if (DockingStyle() == dsNone || !barManager_) return nullptr;
  return barManager_->GetInternalDockControl(DockingStyle());
}

void TdxBar::ResetRecentItemCounts() {
  if (itemLinks_) itemLinks_->SetRecentItemCount(-1);
}

void TdxBar::InternalSetDockingStyle(TdxBarDockingStyle Value) {
  dockingStyle_ = Value;
  if (Value != dsNone) dockedDockingStyle_ = Value;
}

// Moves the bar to another side or dock control (AStyle and ADock give
// the place): a shown window that stands elsewhere is hidden first and
// shown at its new place; a change made from outside is reported once.
void TdxBar::ChangePlace(TdxBarDockingStyle AStyle, TdxDockControl* ADock,
                         const std::function<void()>& AApply) {
  const bool nested = changingStyle_;
  auto* control = dynamic_cast<TCustomdxBarControl*>(Control());
  TdxDockControl* realDock = AStyle == dsNone ? nullptr : ADock;
  if (AStyle != dsNone && !realDock && barManager_)
    realDock = barManager_->GetInternalDockControl(AStyle);
  const bool reshow =
      !nested && control && visible_ &&
      (control->DockingStyle() != AStyle || control->DockControl() != realDock);
  if (reshow) HideControl();
  {
    TRestoreOnExit<bool> keep(changingStyle_);
    changingStyle_ = true;
    if (dockRow_)
      if (TdxDockControl* dock = RealDockControl())
        dock->RemoveBarFromRow(this);
    AApply();
    ResetRecentItemCounts();
  }
  if (reshow) ShowControl();
  if (!nested && barManager_) barManager_->DoBarDockingStyleChanged(this);
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle Value) {
  if (barManager_ && barManager_->IsLoading()) {
    loadedDockingStyle_ = Value;
    loadedDockingStyleSet_ = true;
    return;
  }
  if (DockingStyle() == Value && !dockControl_) return;
  ChangePlace(Value, nullptr, [&] {
    InternalSetDockingStyle(Value);
    dockControl_ = nullptr;
  });
}

void TdxBar::SetDockControl(TdxDockControl* Value) {
  if (barManager_ && barManager_->IsLoading()) {
    loadedDockControl_ = Value;
    return;
  }
  if (Value && Value->BarManager() && Value->BarManager() != barManager_)
    return;
  if (dockControl_ == Value) return;
  ChangePlace(Value ? Value->DockingStyle() : DockingStyle(), Value, [&] {
    dockControl_ = Value;
    if (Value) InternalSetDockingStyle(Value->DockingStyle());
  });
}

void TdxBar::ChangeDockingStyle(TdxBarDockingStyle AStyle,
                                TdxDockControl* ADock) {
  if (ADock && barManager_ && barManager_->IsInternalDockControl(ADock))
    ADock = nullptr;
  if (AStyle == DockingStyle() || (ADock && ADock != dockControl_))
    SetDockControl(ADock);
  else
    SetDockingStyle(AStyle);
}

void TdxBar::SetDockedLeft(Integer Value) {
  dockedLeft_ = std::max(Value, 0);
  UpdateControlPosition();
}
void TdxBar::SetDockedTop(Integer Value) {
  dockedTop_ = std::max(Value, 0);
  UpdateControlPosition();
}
void TdxBar::SetFloatLeft(Integer Value) {
  floatLeft_ = Value;
  UpdateControlPosition();
}
void TdxBar::SetFloatTop(Integer Value) {
  floatTop_ = Value;
  UpdateControlPosition();
}
void TdxBar::SetFloatClientWidth(Integer Value) {
  floatClientWidth_ = Value;
  UpdateControlPosition();
}
void TdxBar::SetFloatClientHeight(Integer Value) {
  floatClientHeight_ = Value;
  UpdateControlPosition();
}

void TdxBar::UpdateControlPosition() {
  if (!Control() || !visible_ || (collection_ && collection_->IsMoving()))
    return;
  // The window itself is writing its place back.
  if (auto* control = dynamic_cast<TdxBarControl*>(Control()))
    if (control->InInternalChange()) return;
  if (ComponentState().Contains(csUpdating)) return;
  ShowControl();
}

void TdxBar::SetRow(Integer Value) {
  Value = std::max(Value, 0);
  if (Value == row_ && dockRow_) return;
  row_ = Value;
  TdxDockControl* dock = RealDockControl();
  if (!dock || !visible_) return;
  const bool many = barManager_ && (barManager_->IsUpdateLocked() ||
                                    barManager_->BarsLoading());
  if (Value >= dock->RowCount()) {
    if (many)
      while (dock->RowCount() <= Value) dock->AppendRow();
    else
      dock->AppendRow();
  }
  dock->MoveBarToRow(this, std::min(Value, dock->RowCount() - 1));
  Changed();
  dock->UpdateDock();
}

bool TdxBar::Visible() const { return visible_; }

void TdxBar::SetVisible(bool Value) {
  if (!barManager_) {
    visible_ = Value;
    return;
  }
  if (Value && barManager_->IsDestroying()) return;
  if (!Value && !visible_) barManager_->RemoveBarFromRestoringList(this);
  if (barManager_->IsLoading()) {
    if (Value != visible_) HiddenBecauseEmpty = false;
    loadedVisible_ = Value;
    return;
  }
  if (Value == visible_) return;
  // The bars the keyboard walks change: keyboard navigation ends.
  dxBarStopKeyboardHandling();
  HiddenBecauseEmpty = false;
  visible_ = Value;
  if (Value)
    ShowControl();
  else
    HideControl();
  Changed();
  barManager_->DoBarVisibleChange(this);
}

void TdxBar::ShowControl() {
  if (!itemLinks_) return;
  TdxDockControl* dock = DockingStyle() != dsNone ? RealDockControl() : nullptr;
  if (DockingStyle() != dsNone && dock && !dock->HandleAllocated() &&
      barManager_) {
    // The bar shows once its dock control has a window.
    barManager_->AddBarToRestoringList(this);
    return;
  }
  itemLinks_->CreateBarControl();
  auto* control = dynamic_cast<TdxBarControl*>(Control());
  if (control) {
    control->SetBar(this);
    if (dock) {
      POINT p{dockedLeft_, dockedTop_};
      ::ClientToScreen(dock->Handle(), &p);
      control->ShowDocked(dock, TPoint{p.x, p.y});
    } else {
      control->ShowFloating(TPoint{floatLeft_, floatTop_});
    }
  }
  if (barManager_) barManager_->RemoveBarFromRestoringList(this);
}

void TdxBar::HideControl() {
  if (auto* control = dynamic_cast<TdxBarControl*>(Control()))
    control->SavePos();
  if (dockRow_)
    if (TdxDockControl* dock = RealDockControl()) dock->RemoveBarFromRow(this);
  if (itemLinks_) itemLinks_->DestroyBarControl();
}

bool TdxBar::IsFloat() const { return Control() && DockingStyle() == dsNone; }

bool TdxBar::IsVertical() const {
  const TdxBarDockingStyle style = DockingStyle();
  return (style == dsLeft || style == dsRight) && RotateWhenVertical;
}

bool TdxBar::IsStatusBar() const {
  return BorderStyle == bbsNone && DockingStyle() == dsBottom && wholeRow_;
}

Integer TdxBar::GetDockedPosition() const {
  return IsVertical() ? dockedTop_ : dockedLeft_;
}

bool TdxBar::CanClose() const { return AllowClose && !isMainMenu_; }

bool TdxBar::CanMoving() const {
  const TdxBarDockingStyles all{dsNone, dsLeft, dsTop, dsRight, dsBottom};
  const TdxBarDockingStyles refused =
      NotDocking +
      (barManager_ ? barManager_->NotDocking() : TdxBarDockingStyles{});
  return (refused * all) != all;
}

bool TdxBar::CanReset() const { return predefined_ && AllowReset; }

bool TdxBar::IsShortCut(TShortCut AShortCut) {
  return itemLinks_ && itemLinks_->IsShortCut(AShortCut);
}

void TdxBar::Move(Integer X, Integer Y) {
  SetDockingStyle(dsNone);
  SetFloatLeft(X);
  SetFloatTop(Y);
}

void TdxBar::Move(TdxDockControl* ADockControl, Integer ARow,
                  Integer APosition) {
  TdxDockControl* dock = ADockControl ? ADockControl : RealDockControl();
  if (!dock || (dock->BarManager() && dock->BarManager() != barManager_))
    return;
  const bool vertical =
      dock->DockingStyle() == dsLeft || dock->DockingStyle() == dsRight;
  if (dock == RealDockControl() && ARow == row_ &&
      APosition == (vertical ? dockedTop_ : dockedLeft_))
    return;
  const bool oneOnRow = oneOnRow_, visible = visible_;
  SetVisible(false);
  if (barManager_ && barManager_->IsInternalDockControl(dock))
    SetDockingStyle(dock->DockingStyle());
  else
    SetDockControl(dock);
  if (ARow >= dock->RowCount()) dock->AppendRow();
  if (vertical)
    dockedTop_ = std::max(APosition, 0);
  else
    dockedLeft_ = std::max(APosition, 0);
  row_ = std::max(ARow, 0);
  oneOnRow_ = oneOnRow;
  SetVisible(visible);
  dock->UpdateDock();
}

void TdxBar::Move(TdxBarDockingStyle AStyle, Integer ARow, Integer APosition) {
  if (barManager_)
    Move(barManager_->GetInternalDockControl(AStyle), ARow, APosition);
}

void TdxBar::Move(TdxBar* ABar, bool AAfter) {
  if (!ABar || ABar == this || ABar->barManager_ != barManager_ ||
      ABar->DockingStyle() == dsNone)
    return;
  Integer position = ABar->GetDockedPosition();
  if (AAfter) {
    if (!ABar->Control()) return;
    position += ABar->IsVertical() ? ABar->Control()->Height()
                                   : ABar->Control()->Width();
  }
  Move(ABar->RealDockControl(), ABar->Row(), position);
  oneOnRow_ = false;
}

void TdxBar::Merge(TdxBar* ABar) {
  if (mergedTo_) throw Exception(cxGetResourceString(dxSBAR_CANTMERGETOOLBAR));
  if (!ABar || ABar == this)
    throw Exception(cxGetResourceString(dxSBAR_CANTMERGEBAR));
  if (ABar->mergedTo_ == this)
    throw Exception(Format(cxGetResourceString(dxSBAR_TOOLBARSALREADYMERGED),
                           {ABar->Caption(), Caption()}));
  if (!ABar->mergedBars_.empty())
    throw Exception(Format(cxGetResourceString(dxSBAR_TOOLBARHASMERGEDTOOLBARS),
                           {ABar->Caption()}));
  const bool wasMerged = ABar->mergedTo_ != nullptr;
  if (ABar->mergedTo_) ABar->mergedTo_->Unmerge(ABar);
  ABar->mergedTo_ = this;
  mergedBars_.push_back(ABar);
  if (barManager_) barManager_->BeginUpdate();
  {
    TScopeGuard end([this] {
      if (barManager_) barManager_->EndUpdate(true);
    });
    itemLinks_->Merge(ABar->ItemLinks(), ABar);
  }
  if (!wasMerged) {
    ABar->visibleBeforeMerging_ = ABar->visible_;
    ABar->SetVisible(false);
  }
}

void TdxBar::Unmerge(TdxBar* ABar) {
  if (ABar == this)
    throw Exception(cxGetResourceString(dxSBAR_CANTUNMERGETOOLBAR));
  if (ABar && ABar->mergedTo_ && ABar->mergedTo_ != this)
    throw Exception(Format(cxGetResourceString(dxSBAR_TOOLBARSARENOTMERGED),
                           {ABar->Caption(), Caption()}));
  if (ABar && !ABar->mergedTo_) return;
  if (mergedBars_.empty()) return;
  if (barManager_) barManager_->BeginUpdate();
  {
    TScopeGuard end([this] {
      if (barManager_) barManager_->EndUpdate(true);
    });
    itemLinks_->Unmerge(ABar);
  }
  std::vector<TdxBar*> bars =
      ABar ? std::vector<TdxBar*>{ABar} : std::vector<TdxBar*>(mergedBars_);
  for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
    TdxBar* bar = *it;
    bar->mergedTo_ = nullptr;
    mergedBars_.erase(std::remove(mergedBars_.begin(), mergedBars_.end(), bar),
                      mergedBars_.end());
    bar->SetVisible(bar->visibleBeforeMerging_);
  }
}

// A bar goes back to the start-up snapshot that layout persistence keeps;
// without that snapshot the bar is not found there and nothing changes.
void TdxBar::Reset() {}

TClass TdxBar::GetControlClass() const { return dxBarToolbarControlClass; }

void TdxBar::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxBar*>(Source);
  if (!source) return inherited::Assign(Source);
  AllowClose = source->AllowClose;
  AllowCustomizing = source->AllowCustomizing;
  AllowQuickCustomizing = source->AllowQuickCustomizing;
  AllowReset = source->AllowReset;
  BorderStyle = source->BorderStyle;
  SetCaption(source->Caption());
  captionButtons_->Assign(source->CaptionButtons());
  dockedDockingStyle_ = source->dockedDockingStyle_;
  dockedLeft_ = source->dockedLeft_;
  dockedTop_ = source->dockedTop_;
  floatLeft_ = source->floatLeft_;
  floatTop_ = source->floatTop_;
  floatClientWidth_ = source->floatClientWidth_;
  floatClientHeight_ = source->floatClientHeight_;
  Hidden = source->Hidden;
  SetIsMainMenu(source->isMainMenu_);
  itemLinks_->Assign(source->ItemLinks());
  NotDocking = source->NotDocking;
  OldName = source->OldName;
  oneOnRow_ = source->oneOnRow_;
  RotateWhenVertical = source->RotateWhenVertical;
  row_ = source->row_;
  ShowMark = source->ShowMark;
  SizeGrip = source->SizeGrip;
  wholeRow_ = source->wholeRow_;
  if (barManager_ && barManager_->IsInternalDockControl(source->dockControl_))
    SetDockingStyle(source->DockingStyle());
  else if (source->dockControl_)
    SetDockControl(source->dockControl_);
  else
    SetDockingStyle(source->DockingStyle());
  SetUseRecentItems(source->UseRecentItems());
  UseRestSpace = source->UseRestSpace;
  Color = source->Color;
  SetVisible(source->Visible());
}

void TdxBar::SetName(const String& NewName) { TComponent::SetName(NewName); }

void TdxBar::ReadState(TReader* Reader) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(Reader->Parent()))
    SetCollection(manager->Bars());
  TComponent::ReadState(Reader);
}

TComponent* TdxBar::GetParentComponent() { return barManager_; }

void TdxBar::SetParentComponent(TComponent* Value) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(Value))
    SetCollection(manager->Bars());
}

void TdxBar::Loaded() {
  // The manager applies the recorded state when it has loaded.
  TComponent::Loaded();
}

void TdxBar::ApplyLoadedState() {
  predefined_ = true;
  if (itemLinks_) itemLinks_->Loaded(true);
  if (loadedDockControl_) {
    TdxDockControl* dock = loadedDockControl_;
    loadedDockControl_ = nullptr;
    SetDockControl(dock);
  } else if (loadedDockingStyleSet_) {
    loadedDockingStyleSet_ = false;
    SetDockingStyle(loadedDockingStyle_);
  }
  SetVisible(loadedVisible_);
}

bool TdxBar::CanContainItem(TdxBarItem* AItem, String& AErrorText) {
  return AItem->CanBePlacedOn(pkBar, this, AErrorText);
}

TCustomdxBarControl* TdxBar::CreateBarControl() {
  TClass cls = GetControlClass();
  if (!cls || !barManager_) return nullptr;
  TObjectPtr<TCustomdxBarControl> control =
      OwnedCast<TCustomdxBarControl>(cls->NewInstance(barManager_));
  if (auto* toolbar = dynamic_cast<TdxBarControl*>(control.get()))
    toolbar->SetBar(this);
  return control.release();
}

// ---------------------------------------------------------------------------
// TdxBars
// ---------------------------------------------------------------------------

TdxBars::TdxBars(TdxBarManager* ABarManager) : barManager_(ABarManager) {}

TdxBars::~TdxBars() {
  while (!bars_.empty()) Free(bars_.back());
  for (TdxDockControl*& dock : dockControls_) FreeAndNil(dock);
}

TPersistent* TdxBars::GetOwner() { return barManager_; }

TdxBar* TdxBars::Items(Integer Index) const {
  return Index >= 0 && Index < Count() ? bars_[static_cast<size_t>(Index)]
                                       : nullptr;
}

TdxBar* TdxBars::Add() { return Insert(Count()); }

TdxBar* TdxBars::Insert(Integer Index) {
  TComponent* owner = barManager_ ? barManager_->Owner() : nullptr;
  TObjectPtr<TdxBar> bar(new TdxBar(owner));
  if (barManager_)
    bar->SetName(
        barManager_->GetUniqueToolbarName(barManager_->Name() + "Bar"));
  bar->SetCollection(this);
  TdxBar* result = bar.release();
  Move(Count() - 1, std::clamp(Index, 0, Count() - 1));
  return result;
}

Integer TdxBars::IndexOf(const TdxBar* ABar) const {
  auto it = std::find(bars_.begin(), bars_.end(), ABar);
  return it == bars_.end() ? -1 : static_cast<Integer>(it - bars_.begin());
}

void TdxBars::Move(Integer ACurIndex, Integer ANewIndex) {
  if (ACurIndex < 0 || ACurIndex >= Count() || ANewIndex < 0 ||
      ANewIndex >= Count() || ACurIndex == ANewIndex)
    return;
  TdxBar* bar = bars_[static_cast<size_t>(ACurIndex)];
  bars_.erase(bars_.begin() + ACurIndex);
  bars_.insert(bars_.begin() + ANewIndex, bar);
}

void TdxBars::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
}

void TdxBars::AddBar(TdxBar* ABar) {
  if (IndexOf(ABar) < 0) bars_.push_back(ABar);
}

void TdxBars::RemoveBar(TdxBar* ABar) {
  bars_.erase(std::remove(bars_.begin(), bars_.end(), ABar), bars_.end());
}

TdxDockControl* TdxBars::GetDockControl(TdxBarDockingStyle AStyle) const {
  return dockControls_[AStyle];
}

void TdxBars::CreateDockControls() {
  if (!dxBarDockControlClass || !barManager_) return;
  TWinControl* parent = barManager_->ParentedOwner();
  for (TdxBarDockingStyle style : {dsLeft, dsTop, dsRight, dsBottom}) {
    if (dockControls_[style]) continue;
    TObjectPtr<TdxDockControl> dock =
        OwnedCast<TdxDockControl>(dxBarDockControlClass->NewInstance());
    if (!dock) return;
    dock->Setup(barManager_, style);
    if (parent) dock->SetParent(parent);
    dockControls_[style] = dock.release();
    barManager_->AddDockControl(dockControls_[style]);
  }
}

void TdxBars::ForgetDockControl(TdxDockControl* ADockControl) {
  for (TdxDockControl*& dock : dockControls_)
    if (dock == ADockControl) dock = nullptr;
}

void TdxBars::Repaint() {
  for (TdxBar* bar : bars_)
    if (bar->Control()) bar->Control()->RepaintBar();
}

void TdxBar::SetAlphaBlendValue(Byte Value) {
  if (alphaBlendValue_ == Value) return;
  alphaBlendValue_ = Value;
  if (auto* control = dynamic_cast<TdxBarControl*>(Control()))
    control->SetLayeredAttributes();
}

// ---------------------------------------------------------------------------
// The move loop
// ---------------------------------------------------------------------------

namespace {

// A thread timer has no window to tell it whose wait it is: at most one
// drag waits at a time.
TdxBars* WaitingForDocking = nullptr;

TPoint CursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

}  // namespace

HWND TdxBars::CaptureWindow() const {
  return captureWindow_ ? captureWindow_->Handle() : nullptr;
}

void TdxBars::StartWaitForDocking() {
  StopWaitForDocking();
  const UINT wait = static_cast<UINT>(
      std::max<Integer>(barManager_->WaitForDockingTime(), 1));
  waitForDockingTimer_ =
      ::SetTimer(nullptr, 0, wait, &TdxBars::WaitForDockingTimerProc);
  if (waitForDockingTimer_) WaitingForDocking = this;
}

void TdxBars::StopWaitForDocking() {
  if (waitForDockingTimer_) ::KillTimer(nullptr, waitForDockingTimer_);
  waitForDockingTimer_ = 0;
  if (WaitingForDocking == this) WaitingForDocking = nullptr;
}

void CALLBACK TdxBars::WaitForDockingTimerProc(HWND, UINT, UINT_PTR ID, DWORD) {
  TdxBars* bars = WaitingForDocking;
  if (!bars || bars->waitForDockingTimer_ != ID) {
    ::KillTimer(nullptr, ID);
    return;
  }
  bars->StopWaitForDocking();
  TdxBarControl* control = TdxBarControl::DraggedControl();
  if (!bars->moving_ || !control) return;
  TRestoreOnExit<bool> pass(bars->dockingPass_, true);
  control->ChangeBarControlPos(bars->lastMovePoint_);
}

void TdxBars::Moving(TdxBarControl* AControl) {
  if (moving_ || !AControl || !AControl->CanMoving() ||
      !AControl->HandleAllocated() || !barManager_) {
    return;
  }
  if (!captureWindow_) captureWindow_.reset(new TcxMessageWindow());
  const HWND capture = captureWindow_->Handle();
  moving_ = true;
  AControl->BeginMoving();
  TScopeGuard end([&] {
    StopWaitForDocking();
    if (::GetCapture() == capture) ::ReleaseCapture();
    moving_ = false;
    dockingPass_ = false;
    // The window may have gone with its bar while the loop dispatched.
    if (TdxBarControl* control = TdxBarControl::DraggedControl())
      control->EndMoving();
  });
  // What is waiting to be painted shows before the drag starts.
  ProcessPaintMessages();
  const bool wasModal = std::exchange(dxBarModalLoop, true);
  TScopeGuard modal([&] { dxBarModalLoop = wasModal; });
  ::SetCapture(capture);
  // The point of the last move message: the wait before docking and Ctrl
  // decide again for it.
  lastMovePoint_ = CursorPos();
  TPoint last{-1, -1};
  auto follow = [&](const TPoint& APoint) {
    if (APoint == last) return;
    last = APoint;
    lastMovePoint_ = APoint;
    if (TdxBarControl* control = TdxBarControl::DraggedControl())
      control->ChangeBarControlPos(APoint);
  };
  MSG msg;
  while (::GetCapture() == capture && TdxBarControl::DraggedControl()) {
    if (!dxBarGetLoopMessage(msg)) break;
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
      if (msg.wParam == VK_CONTROL) {
        // Pressing or releasing Ctrl decides about docking at once.
        last = {-1, -1};
        follow(lastMovePoint_);
      } else if (msg.wParam == VK_ESCAPE) {
        break;
      }
      continue;
    }
    if (msg.message == WM_MOUSEMOVE) {
      follow(dxBarMessageScreenPoint(msg));
      continue;
    }
    if (msg.message == WM_LBUTTONUP) break;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}
