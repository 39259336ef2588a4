#include "WinApi.h"
//
#include <algorithm>

#include "FormStreams.h"
#include "Forms.h"
#include "Messages.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "cxPC.h"
//
#include "cxGeometry.h"
#include "cxPCPainters.h"

Integer TabScrollingStartDelay = 300;
Integer TabScrollingDelay = 150;

// ---------------------------------------------------------------------------
// Unit routines
// ---------------------------------------------------------------------------

String cxPCGetResourceString(Integer AId) {
  // Straight from the string table: these texts do not go through the
  // replaceable resource strings.
  char buffer[512];
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&cxPCGetResourceString), &module);
  int length = LoadStringA(module, static_cast<UINT>(AId), buffer,
                           static_cast<int>(sizeof(buffer)));
  return String(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void cxPCOutError(const String& AClassName, const String& AMethod,
                  const String& AText) {
  throw Exception(AClassName + "." + AMethod + ": " + AText);
}

TRect RotateRect(const TRect& R, TcxTabPosition APosition) {
  switch (APosition) {
    case tpBottom:
      return TRect(R.Right, R.Bottom, R.Left, R.Top);
    case tpLeft:
      return TRect(R.Top, R.Right, R.Bottom, R.Left);
    case tpRight:
      return TRect(R.Bottom, R.Left, R.Top, R.Right);
    default:
      return R;
  }
}

TRect RotateRectBack(const TRect& R, TcxTabPosition APosition) {
  switch (APosition) {
    case tpLeft:
      return RotateRect(R, tpRight);
    case tpRight:
      return RotateRect(R, tpLeft);
    default:
      return RotateRect(R, APosition);
  }
}

TRect CorrectRect(const TRect& R, const TcxPCRectCorrection& C) {
  return TRect(R.Left + C.dLeft, R.Top + C.dTop, R.Right + C.dRight,
               R.Bottom + C.dBottom);
}

TRect ValidateRect(const TRect& R) {
  TRect result = R;
  if (result.Right < result.Left) result.Right = result.Left;
  if (result.Bottom < result.Top) result.Bottom = result.Top;
  return result;
}

Integer GetButtonCount(TcxPCNavigatorButtons AButtons) {
  Integer count = 0;
  for (Integer b = nbTopLeft; b <= nbClose; ++b)
    if (AButtons.Contains(static_cast<TcxPCNavigatorButton>(b))) ++count;
  return count;
}

TcxPCNavigatorButton GetNavigatorButton(TcxPCNavigatorButtons AButtons) {
  for (Integer b = nbTopLeft; b <= nbClose; ++b)
    if (AButtons.Contains(static_cast<TcxPCNavigatorButton>(b)))
      return static_cast<TcxPCNavigatorButton>(b);
  return nbTopLeft;
}

String GetPCStyleName(TcxPCStyleID AStyleID) {
  if (AStyleID == cxPCDefaultStyle) return "Default";
  TcxPCPaintersFactory* factory = PaintersFactory();
  TcxPCPainterClass cls =
      factory ? factory->GetPainterClass(AStyleID) : nullptr;
  return cls ? cls->GetStyleName() : String();
}

String cxPCRemoveAccelChars(const String& ACaption) {
  String result;
  for (std::size_t i = 0; i < ACaption.size(); ++i) {
    if (ACaption[i] == '&') {
      if (i + 1 < ACaption.size()) result += ACaption[++i];
    } else {
      result += ACaption[i];
    }
  }
  return result;
}

namespace {

// The accelerator of a caption: the character after a single '&'.
bool IsAccelOf(Integer AKey, const String& ACaption) {
  for (std::size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != '&') continue;
    if (ACaption[i + 1] == '&') {
      ++i;
      continue;
    }
    return AnsiUpperCase(String(1, ACaption[i + 1])) ==
           AnsiUpperCase(String(1, static_cast<char>(AKey)));
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxTab
// ---------------------------------------------------------------------------

TcxTab::TcxTab(TcxTabs* ATabs, Integer AIndex)
    : tabs_(ATabs), index_(AIndex), imageIndex_(AIndex) {}

TcxTab::~TcxTab() = default;

void TcxTab::BeforeDestruction() {
  if (!destroyingByList_) tabs_->Notify(index_, tnDeleting);
  ResetPaintBitmap();
  ResetVerticalTextBitmap();
  TcxCustomTabControl* control = ParentControl();
  if (control->TrackingTabVisibleIndex != -1 &&
      control->TrackingTabVisibleIndex == VisibleIndex())
    control->TrackingTabVisibleIndex = -1;
  TPersistent::BeforeDestruction();
}

TcxCustomTabControl* TcxTab::ParentControl() const { return tabs_->Control(); }

void TcxTab::Changed(TcxPCTabPropertyChanged AType) {
  tabs_->Changed(VisibleIndex(), AType);
}

void TcxTab::Assign(TPersistent* Source) {
  auto* tab = dynamic_cast<TcxTab*>(Source);
  if (!tab) {
    TPersistent::Assign(Source);
    return;
  }
  caption_ = tab->caption_;
  enabled_ = tab->enabled_;
  highlighted_ = tab->highlighted_;
  SetImageIndex(tab->ImageIndex());
  object_ = tab->object_;
  SetVisible(tab->visible_);
  SetSelected(tab->selected_);
}

void TcxTab::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  if (!visible_) {
    caption_ = Value;
    return;
  }
  TcxCustomTabControl* c = ParentControl();
  bool wasRealVisible = RealVisible();
  Integer oldWidth = NormalWidth;
  Integer oldRowHeight = c->RowHeight;
  caption_ = Value;
  c->Painter()->CalculateTabNormalWidth(this);
  bool layoutChanged;
  if (c->Rotate()) {
    c->CalculateRowHeight();
    layoutChanged = c->RowHeight != oldRowHeight;
  } else {
    layoutChanged = NormalWidth != oldWidth;
  }
  if (layoutChanged)
    Changed(tpcLayout);
  else if (wasRealVisible)
    Changed(tpcNotSpecified);
}

void TcxTab::SetColor(TColor Value) {
  if (color_ == Value) return;
  color_ = Value;
  if (RealVisible()) Changed(tpcColor);
}

void TcxTab::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  bool was = RealVisible();
  enabled_ = Value;
  if (was || RealVisible()) Changed(tpcEnabled);
}

void TcxTab::SetHighlighted(bool Value) {
  if (highlighted_ == Value) return;
  bool was = RealVisible();
  highlighted_ = Value;
  if (was || RealVisible()) Changed(tpcHighlighted);
}

TImageIndex TcxTab::ImageIndex() const {
  return ParentControl()->GetImageIndex(index_);
}

void TcxTab::SetImageIndex(TImageIndex Value) {
  if (Value < 0) Value = -1;
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  if (RealVisible()) Changed(tpcLayout);
}

void TcxTab::SetSelected(bool Value) {
  if (selected_ == Value) return;
  TcxCustomTabControl* c = ParentControl();
  if (c->IsLoading()) {
    selected_ = Value;
    return;
  }
  if (Value) {
    if (c->Painter()->IsMultiSelectionAccepted()) {
      bool anySelected = false;
      for (Integer i = 0; i < tabs_->Count(); ++i)
        anySelected = anySelected || tabs_->GetTab(i)->selected_;
      if (anySelected && !c->MultiSelect()) c->SetMultiSelect(true);
    } else if (index_ != c->TabIndex()) {
      return;
    }
  }
  bool was = RealVisible();
  selected_ = Value;
  if (was || RealVisible()) Changed(tpcSelected);
}

void TcxTab::SetVisible(bool Value) {
  if (visible_ == Value) return;
  TcxCustomTabControl* c = ParentControl();
  if (Value) {
    c->VisibleTabList()->ShowTab(index_);
    visible_ = true;
    Changed(tpcLayout);
    return;
  }
  bool reselect = index_ == c->TabIndex() && c->TabIndexTabMustBeVisible();
  bool wasRealVisible = RealVisible();
  Integer visibleIndex = VisibleIndex();
  c->VisibleTabList()->HideTab(index_);
  visible_ = false;
  if (wasRealVisible || c->MultiLine())
    tabs_->Changed(visibleIndex == -1 ? -1 : visibleIndex, tpcLayout);
  else
    c->Calculate();
  if (reselect) {
    tabs_->SetMainTab();
    if (c->MainTabVisibleIndex != -1)
      c->SetTabIndex(tabs_->GetVisibleTab(c->MainTabVisibleIndex)->Index());
  }
}

Integer TcxTab::VisibleIndex() const {
  return ParentControl()->VisibleTabList()->TabVisibleIndexOf(index_);
}

bool TcxTab::IsMainTab() const {
  TcxCustomTabControl* c = ParentControl();
  Integer main = c->MainTabVisibleIndex;
  if (main < 0 || main >= tabs_->GetVisibleTabsCount()) return false;
  return tabs_->GetVisibleTab(main)->Index() == index_;
}

bool TcxTab::HotTrack() const {
  Integer v = VisibleIndex();
  return v != -1 && ParentControl()->HotTrackTabVisibleIndex == v;
}
bool TcxTab::Pressed() const {
  Integer v = VisibleIndex();
  return v != -1 && ParentControl()->PressedTabVisibleIndex == v;
}
bool TcxTab::Tracking() const {
  Integer v = VisibleIndex();
  return v != -1 && ParentControl()->TrackingTabVisibleIndex == v;
}
bool TcxTab::RealEnabled() const {
  return ParentControl()->Enabled() && enabled_;
}
bool TcxTab::RealVisible() const { return !cxRectIsEmpty(VisibleRect()); }

void TcxTab::InitializePaintBitmap() {
  if (!paintBitmap_) paintBitmap_.reset(new TBitmap());
  paintBitmap_->SetPixelFormat(pf32bit);
  paintBitmap_->SetHandleType(bmDIB);
}
void TcxTab::ResetPaintBitmap() { paintBitmap_.reset(); }
TBitmap* TcxTab::CreateVerticalTextBitmap() {
  verticalTextBitmap_.reset(new TBitmap());
  return verticalTextBitmap_.get();
}
void TcxTab::ResetVerticalTextBitmap() { verticalTextBitmap_.reset(); }

void TcxTab::ValidateImageIndex() {
  if (imageIndex_ != -1 && RealVisible()) Changed(tpcNotSpecified);
}

// ---------------------------------------------------------------------------
// TcxTabs
// ---------------------------------------------------------------------------

TcxTabs::TcxTabs(TcxCustomTabControl* AControl) : control_(AControl) {}

TcxTabs::~TcxTabs() { FreeAll(); }

void TcxTabs::FreeAll() {
  while (!tabs_.empty()) {
    TcxTab* last = tabs_.back();
    tabs_.pop_back();
    last->destroyingByList_ = true;
    TObjectDeleter()(last);
  }
}

void TcxTabs::OutError(const String& AMethod, const String& AText) const {
  cxPCOutError("TcxTabs", AMethod, AText);
}

void TcxTabs::CheckIndex(const String& AMethod, Integer Index,
                         Integer AMax) const {
  if (Index < 0 || Index > AMax)
    OutError(AMethod,
             Format(cxPCGetResourceString(scxPCTabIndexError), {Index}));
}

String TcxTabs::Get(Integer Index) const {
  CheckIndex("Get", Index, GetCount() - 1);
  return tabs_[Index]->Caption();
}

Integer TcxTabs::GetCount() const { return static_cast<Integer>(tabs_.size()); }

TObject* TcxTabs::GetObject(Integer Index) const {
  return GetTab(Index)->Object();
}

void TcxTabs::Put(Integer Index, const String& S) {
  GetTab(Index)->SetCaption(S);
}

void TcxTabs::PutObject(Integer Index, TObject* AObject) {
  GetTab(Index)->SetObject(AObject);
}

TcxTab* TcxTabs::GetTab(Integer Index) const {
  CheckIndex("GetTab", Index, GetCount() - 1);
  return tabs_[Index];
}

void TcxTabs::SetTab(Integer Index, TcxTab* Value) {
  CheckIndex("SetTab", Index, GetCount() - 1);
  tabs_[Index]->Assign(Value);
}

TcxTab* TcxTabs::GetVisibleTab(Integer TabVisibleIndex) const {
  Integer count = GetVisibleTabsCount();
  if (TabVisibleIndex < 0 || TabVisibleIndex >= count)
    OutError("GetVisibleTab",
             Format(cxPCGetResourceString(scxPCTabVisibleIndexOutsOfBounds),
                    {TabVisibleIndex, count - 1}));
  return tabs_[control_->VisibleTabList()->GetTab(TabVisibleIndex)];
}

Integer TcxTabs::GetVisibleTabsCount() const {
  return control_->VisibleTabList()->GetCount();
}

void TcxTabs::UpdateTabIndexes(Integer AFrom, Integer ATo) {
  for (Integer i = std::max(AFrom, 0); i <= std::min(ATo, GetCount() - 1); ++i)
    tabs_[i]->index_ = i;
}

void TcxTabs::AfterListChange() {
  control_->VisibleTabList()->Update();
  control_->RequestLayout();
}

void TcxTabs::Insert(Integer Index, const String& S) {
  CheckIndex("Insert", Index, GetCount());
  auto* tab = new TcxTab(this, Index);
  tabs_.insert(tabs_.begin() + Index, tab);
  UpdateTabIndexes(Index, GetCount() - 1);
  tab->InternalSetCaption(S);
  if (!control_->IsLoading() && control_->TabIndex() == -1 && GetCount() == 1)
    control_->tabIndex_ = 0;
  AfterListChange();
}

void TcxTabs::Delete(Integer Index) {
  if (deleting_) return;
  TRestoreOnExit<bool> restore(deleting_, true);
  if (!tabDestroying_) {
    CheckIndex("Delete", Index, GetCount() - 1);
    TcxTab* tab = tabs_[Index];
    tab->destroyingByList_ = true;
    TObjectDeleter()(tab);
  }
  tabs_.erase(tabs_.begin() + Index);
  UpdateTabIndexes(Index, GetCount() - 1);
  AfterListChange();
}

void TcxTabs::Notify(Integer Index, TcxPCTabNotification ANotification) {
  if (ANotification != tnDeleting) return;
  TRestoreOnExit<bool> restore(tabDestroying_, true);
  Delete(Index);
}

void TcxTabs::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex("Move", CurIndex, GetCount() - 1);
  CheckIndex("Move", NewIndex, GetCount() - 1);
  TcxTab* tab = tabs_[CurIndex];
  tabs_.erase(tabs_.begin() + CurIndex);
  tabs_.insert(tabs_.begin() + NewIndex, tab);
  UpdateTabIndexes(std::min(CurIndex, NewIndex), std::max(CurIndex, NewIndex));
  AfterListChange();
}

void TcxTabs::Clear() {
  if (tabs_.empty()) return;
  {
    TRestoreOnExit<bool> restore(deleting_, true);
    FreeAll();
  }
  AfterListChange();
}

void TcxTabs::Changed(Integer TabVisibleIndex, TcxPCTabPropertyChanged AType) {
  if (control_->IsLoading() || control_->IsDestroying()) return;
  if (TabVisibleIndex == -1 || AType == tpcLayout)
    control_->RequestLayout();
  else
    control_->Painter()->RepaintTab(TabVisibleIndex, AType);
}

void TcxTabs::SetHotTrack(Integer Value) {
  Integer old = control_->HotTrackTabVisibleIndex;
  if (old == Value) return;
  control_->HotTrackTabVisibleIndex = Value;
  if (old != -1 && old < GetVisibleTabsCount()) Changed(old, tpcHotTrack);
  if (Value != -1) Changed(Value, tpcHotTrack);
}

void TcxTabs::SetMainTab() {
  Integer visibleCount = GetVisibleTabsCount();
  Integer old = control_->MainTabVisibleIndex;
  if (old >= visibleCount) old = -1;
  Integer value = -1;
  Integer tabIndex = control_->TabIndex();
  if (tabIndex != -1 && tabIndex < GetCount()) {
    Integer position;
    bool found = control_->VisibleTabList()->FindVisibleTab(tabIndex, position);
    if (found)
      value = position;
    else if (visibleCount > 0)
      value = position < visibleCount ? position : visibleCount - 1;
  }
  control_->MainTabVisibleIndex = value;
  if (old == value) return;
  if (old != -1) Changed(old, tpcIsMainTab);
  if (value != -1) Changed(value, tpcIsMainTab);
  control_->UpdateButtonsState();
}

void TcxTabs::SetTracking(Integer Value) {
  if (Value < -1 || Value >= GetVisibleTabsCount()) Value = -1;
  Integer old = control_->TrackingTabVisibleIndex;
  if (old == Value) return;
  control_->TrackingTabVisibleIndex = Value;
  if (old != -1 && old < GetVisibleTabsCount()) Changed(old, tpcTracking);
  if (Value != -1) Changed(Value, tpcTracking);
  if (!control_->MultiLine() && Value != -1) {
    control_->CorrectFirstVisibleTab(Value);
    control_->RequestLayout();
    control_->SynchronizeHotTrackStates(KeyboardStateToShiftState());
  }
}

void TcxTabs::ResetTabVerticalTextBitmaps() {
  for (TcxTab* tab : tabs_) tab->ResetVerticalTextBitmap();
}

void TcxTabs::ValidateImageIndexes() {
  for (Integer i = 0; i < GetVisibleTabsCount(); ++i)
    GetVisibleTab(i)->ValidateImageIndex();
}

// ---------------------------------------------------------------------------
// TcxVisibleTabList
// ---------------------------------------------------------------------------

Integer TcxVisibleTabList::GetTab(Integer TabVisibleIndex) const {
  if (items_.empty())
    cxPCOutError("TcxVisibleTabList", "GetTab",
                 cxPCGetResourceString(scxPCVisibleTabListEmpty));
  if (TabVisibleIndex < 0 || TabVisibleIndex >= GetCount())
    cxPCOutError("TcxVisibleTabList", "GetTab",
                 Format(cxPCGetResourceString(scxPCTabVisibleIndexOutsOfBounds),
                        {TabVisibleIndex, GetCount() - 1}));
  return items_[TabVisibleIndex];
}

bool TcxVisibleTabList::FindVisibleTab(Integer TabIndex,
                                       Integer& APosition) const {
  auto it = std::lower_bound(items_.begin(), items_.end(), TabIndex);
  APosition = static_cast<Integer>(it - items_.begin());
  return it != items_.end() && *it == TabIndex;
}

void TcxVisibleTabList::ShowTab(Integer TabIndex) {
  Integer position;
  if (!FindVisibleTab(TabIndex, position))
    items_.insert(items_.begin() + position, TabIndex);
}

void TcxVisibleTabList::HideTab(Integer TabIndex) {
  Integer position;
  if (FindVisibleTab(TabIndex, position))
    items_.erase(items_.begin() + position);
}

Integer TcxVisibleTabList::TabVisibleIndexOf(Integer TabIndex) const {
  Integer position;
  return FindVisibleTab(TabIndex, position) ? position : -1;
}

void TcxVisibleTabList::Update() {
  items_.clear();
  TcxTabs* tabs = control_->Tabs();
  for (Integer i = 0; i < tabs->Count(); ++i)
    if (tabs->GetTab(i)->Visible()) items_.push_back(i);
}

// ---------------------------------------------------------------------------
// TcxTabSlants
// ---------------------------------------------------------------------------

void TcxTabSlants::Assign(TPersistent* Source) {
  if (auto* slants = dynamic_cast<TcxTabSlants*>(Source)) {
    SetKind(slants->Kind());
    SetPositions(slants->Positions());
  } else {
    TPersistent::Assign(Source);
  }
}

void TcxTabSlants::SetKind(TcxTabSlantKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Changed();
}

void TcxTabSlants::SetPositions(TcxTabSlantPositions Value) {
  if (positions_ == Value) return;
  positions_ = Value;
  Changed();
}

void TcxTabSlants::Changed() { OnChange(this); }

// ---------------------------------------------------------------------------
// TcxCustomTabControl
// ---------------------------------------------------------------------------

TcxCustomTabControl::TcxCustomTabControl(TComponent* AOwner)
    : TcxControl(AOwner) {
  tabs_ = std::make_unique<TcxTabs>(this);
  visibleTabList_ = std::make_unique<TcxVisibleTabList>(this);
  tabSlants_ = std::make_unique<TcxTabSlants>(this);
  tabSlants_->OnChange =
      TNotifyEvent(this, &TcxCustomTabControl::TabSlantsChanged);
  imageList_.reset(new TcxPCImageList(this));
  imageList_->OnChange =
      TNotifyEvent(this, &TcxCustomTabControl::ImageListChange);
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls,
                                                 csCaptureMouse, csClickEvents,
                                                 csOpaque, csDoubleClicks,
                                                 csParentBackground});
  SetBounds(Left(), Top(), 289, 193);
  SetTabStop(true);
  SetStyle(cxPCDefaultStyle);
  if (!GetIsDesigning()) {
    goDialog_ = new TcxPCGoDialog(this);
    goDialog_->OnClick = TcxPCGoDialogClickEvent(
        this, &TcxCustomTabControl::GoDialogClickEventHandler);
  }
}

TcxCustomTabControl::~TcxCustomTabControl() = default;

void TcxCustomTabControl::BeforeDestruction() {
  if (timer_) timer_->SetEnabled(false);
  tabs_->Clear();
  TcxControl::BeforeDestruction();
}

void TcxCustomTabControl::OutError(const String& AMethod,
                                   const String& AText) const {
  cxPCOutError(ClassName(), AMethod, AText);
}

void TcxCustomTabControl::SetFocusable(bool Value) {
  if (focusable_ == Value) return;
  focusable_ = Value;
  if (!Value && Parent()) SetTabStop(false);
}

bool TcxCustomTabControl::CanFocus() {
  return focusable_ && TcxControl::CanFocus();
}

void TcxCustomTabControl::SetHideTabs(bool Value) {
  if (hideTabs_ == Value) return;
  hideTabs_ = Value;
  Realign();
  Invalidate();
}

void TcxCustomTabControl::SetHotTrack(bool Value) {
  if (hotTrack_ == Value) return;
  hotTrack_ = Value;
  SynchronizeHotTrackStates(KeyboardStateToShiftState());
}

void TcxCustomTabControl::SetImageBorder(Integer Value) {
  if (Value < 0 || imageBorder_ == Value) return;
  imageBorder_ = Value;
  if (visibleTabList_->Count() > 0) RequestLayout();
}

void TcxCustomTabControl::SetImages(TCustomImageList* Value) {
  images_ = Value;
  imageList_->SetBaseImages(Value);
}

Integer TcxCustomTabControl::MaxRotatedTabWidth() {
  if (maxRotatedTabWidth_ > 0 && painter_) {
    Integer minWidth = painter_->GetMinTabNormalWidth(-1);
    if (maxRotatedTabWidth_ < minWidth) maxRotatedTabWidth_ = minWidth;
  }
  return maxRotatedTabWidth_;
}

void TcxCustomTabControl::SetMaxRotatedTabWidth(Integer Value) {
  if (Value < 0) Value = 0;
  if (maxRotatedTabWidth_ == Value) return;
  maxRotatedTabWidth_ = Value;
  MaxRotatedTabWidth();
  if (rotate_ && visibleTabList_->Count() > 0) RequestLayout();
}

void TcxCustomTabControl::SetMultiLine(bool Value) {
  if (multiLine_ == Value) return;
  multiLine_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetNavigatorPosition(TcxPCNavigatorPosition Value) {
  if (navigatorPosition_ == Value) return;
  navigatorPosition_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetOptions(TcxPCOptions Value) {
  if (options_ == Value) return;
  TcxPCOptions changed = (options_ - Value) + (Value - options_);
  options_ = Value;
  static constexpr TcxPCOptions kLayout{pcoAlwaysShowGoDialogButton,
                                        pcoCloseButton,
                                        pcoFixedTabWidthWhenRotated,
                                        pcoGoDialog,
                                        pcoGradient,
                                        pcoGradientClientArea,
                                        pcoNoArrows,
                                        pcoTopToBottomText};
  if (!(changed * kLayout).Empty())
    RequestLayout();
  else if (changed.Contains(pcoUsePageColorForTab))
    Invalidate();
}

void TcxCustomTabControl::SetOwnerDraw(bool Value) {
  if (ownerDraw_ == Value) return;
  ownerDraw_ = Value;
  Invalidate();
}

void TcxCustomTabControl::SetRaggedRight(bool Value) {
  if (raggedRight_ == Value) return;
  raggedRight_ = Value;
  if (multiLine_) RequestLayout();
}

void TcxCustomTabControl::SetRotate(bool Value) {
  if (rotate_ == Value) return;
  if (Value && painter_ && !painter_->PainterClassOf()->AllowRotate())
    throw Exception(Format(cxPCGetResourceString(scxPCAllowRotateError),
                           {painter_->GetStyleName()}));
  rotate_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetScrollOpposite(bool Value) {
  if (scrollOpposite_ == Value) return;
  scrollOpposite_ = Value;
  if (multiLine_ && MainTabVisibleIndex != -1) {
    RearrangeRows();
    Realign();
    Invalidate();
  } else {
    Realign();
  }
}

void TcxCustomTabControl::SetShowFrame(bool Value) {
  if (showFrame_ == Value) return;
  showFrame_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabHeight(Smallint Value) {
  if (tabHeight_ == Value) return;
  tabHeight_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabPosition(TcxTabPosition Value) {
  if (tabPosition_ == Value) return;
  tabPosition_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabs(TStrings* Value) { tabs_->Assign(Value); }

void TcxCustomTabControl::SetTabSlants(TcxTabSlants* Value) {
  tabSlants_->Assign(Value);
}

void TcxCustomTabControl::TabSlantsChanged(TObject*) { RequestLayout(); }

void TcxCustomTabControl::SetTabWidth(Smallint Value) {
  if (tabWidth_ == Value) return;
  tabWidth_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetTabCaptionAlignment(TAlignment Value) {
  if (tabCaptionAlignment_ == Value) return;
  tabCaptionAlignment_ = Value;
  RequestLayout();
}

void TcxCustomTabControl::SetIsTabsContainer(bool Value) {
  if (isTabsContainer_ == Value) return;
  isTabsContainer_ = Value;
  RequestLayout();
}

// --- Selection ---

void TcxCustomTabControl::LockChangeEvent(bool Lock) {
  if (Lock)
    ++changeEventLockCount_;
  else if (changeEventLockCount_ > 0)
    --changeEventLockCount_;
}

bool TcxCustomTabControl::IsChangeEventLocked() {
  return changeEventLockCount_ > 0 || IsLoading() || GetIsDesigning();
}

bool TcxCustomTabControl::CanChange(Integer) {
  bool allowChange = true;
  if (!IsChangeEventLocked()) OnChanging(this, allowChange);
  return allowChange;
}

void TcxCustomTabControl::Change() {
  if (!IsChangeEventLocked()) OnChange(this);
}

void TcxCustomTabControl::SetTabIndex(Integer Value) {
  if (IsLoading()) {
    tabIndex_ = Value;
    return;
  }
  if (Value < -1 || Value >= tabs_->Count()) return;
  if (Value != -1 && TabIndexTabMustBeVisible() &&
      !tabs_->GetTab(Value)->Visible())
    Value = -1;
  if (Value == tabIndex_) return;
  if (!CanChange(Value)) return;
  tabIndex_ = -1;
  tabs_->SetMainTab();
  for (Integer i = 0; i < tabs_->Count(); ++i)
    tabs_->GetTab(i)->SetSelected(false);
  tabs_->SetTracking(-1);
  tabIndex_ = Value;
  tabs_->SetMainTab();
  if (Value != -1) {
    // The selected flag follows the selection.
    TcxTab* tab = tabs_->GetTab(Value);
    if (!tab->selected_) {
      tab->selected_ = true;
      if (tab->RealVisible()) tab->Changed(tpcSelected);
    }
  }
  if (MainTabVisibleIndex != -1 && !multiLine_)
    CorrectFirstVisibleTab(MainTabVisibleIndex);
  if (multiLine_) {
    RearrangeRows();
    Realign();
    Invalidate();
  } else {
    RequestLayout();
  }
  UpdateButtonsState();
  SynchronizeHotTrackStates(KeyboardStateToShiftState());
  Change();
}

void TcxCustomTabControl::SetTabIndexDirect(Integer Value) {
  tabIndex_ = Value;
  MainTabVisibleIndex = -1;
}

void TcxCustomTabControl::SelectTab(Integer TabVisibleIndex, bool CtrlPressed) {
  TcxObjectLink* link = cxAddObjectLink(this);
  TScopeGuard removeLink([link] { cxRemoveObjectLink(link); });
  TcxTab* tab = tabs_->GetVisibleTab(TabVisibleIndex);
  if (multiSelect_ && painter_->IsMultiSelectionAccepted() && CtrlPressed) {
    if (tab->IsMainTab())
      SetTabIndex(-1);
    else
      tab->SetSelected(!tab->Selected());
    return;
  }
  SetTabIndex(tab->Index());
  if (link->Target) SetModified();
}

void TcxCustomTabControl::SetModified() {
  if (!IsLoading()) Modified();
}

void TcxCustomTabControl::RepaintTab(Integer TabVisibleIndex,
                                     TcxPCTabPropertyChanged AType) {
  painter_->RepaintTab(TabVisibleIndex, AType);
}

// --- Styles ---

void TcxCustomTabControl::ApplyStyle(TcxPCStyleID Value) {
  TcxPCPaintersFactory* factory = PaintersFactory();
  TcxPCPainterClass cls = factory ? factory->GetPainterClass(Value) : nullptr;
  if (!cls) return;
  style_ = Value;
  if (!painter_ || painter_->PainterClassOf() != cls) {
    factory->FreePainterInstance(painter_);
    painter_ = factory->GetPainterInstance(cls, this);
    if (rotate_ && !cls->AllowRotate()) rotate_ = false;
  }
  tabs_->ResetTabVerticalTextBitmaps();
  RequestLayout();
  InvalidateWithChildren();
}

void TcxCustomTabControl::SetStyle(TcxPCStyleID Value) {
  if (Value == cxPCDefaultStyle) {
    style_ = cxPCDefaultStyle;
    SetDefaultStyle();
    return;
  }
  if (Value == style_) return;
  ApplyStyle(Value);
}

void TcxCustomTabControl::SetDefaultStyle() {
  if (style_ != cxPCDefaultStyle && !LookAndFeel()->SkinPainter()) return;
  TcxPCPaintersFactory* factory = PaintersFactory();
  if (!factory) return;
  TcxPCStyleID id = factory->GetStyleID(LookAndFeel());
  if (id == -1) id = factory->GetDefaultStyleID(LookAndFeel());
  ApplyStyle(id);
  style_ = cxPCDefaultStyle;
}

void TcxCustomTabControl::SetStandardStyle(TcxPCStandardStyle AStandardStyle) {
  static const char* const kNames[] = {"tsTabs", "tsButtons", "tsFlatButtons"};
  TcxPCPaintersFactory* factory = PaintersFactory();
  TcxPCPainterClass cls =
      factory ? factory->GetPainterClass(AStandardStyle) : nullptr;
  if (!cls)
    OutError("SetStandardStyle",
             Format(cxPCGetResourceString(scxPCStandardStyleError),
                    {String(kNames[AStandardStyle])}));
  SetStyle(cls->GetStyleID());
}

void TcxCustomTabControl::SetStyleByStyleName(const String& AStyleName) {
  if (AStyleName == "Default") {
    SetStyle(cxPCDefaultStyle);
    return;
  }
  TcxPCPaintersFactory* factory = PaintersFactory();
  TcxPCPainterClass cls =
      factory ? factory->GetPainterClass(AStyleName) : nullptr;
  if (!cls)
    OutError("SetStyleByName",
             Format(cxPCGetResourceString(scxPCStyleNameError), {AStyleName}));
  SetStyle(cls->GetStyleID());
}

void TcxCustomTabControl::LookAndFeelChanged(
    TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  TcxControl::LookAndFeelChanged(Sender, AChangedValues);
  SetDefaultStyle();
  RequestLayout();
  if (AChangedValues.Contains(lfvNativeStyle)) InvalidateWithChildren();
}

// --- Images ---

Integer TcxCustomTabControl::GetImageIndex(Integer ATabIndex) {
  Integer index = tabs_->GetTab(ATabIndex)->StoredImageIndex();
  OnGetImageIndex(this, ATabIndex, index);
  if (index < 0) return -1;
  if (!images_ || images_->Width() <= 0 || images_->Height() <= 0 ||
      index >= images_->Count())
    return -1;
  return index;
}

void TcxCustomTabControl::UpdateTabImages() {
  for (Integer i = 0; i < tabs_->Count(); ++i)
    tabs_->GetTab(i)->imageIndex_ = GetImageIndex(i);
  Invalidate();
}

void TcxCustomTabControl::ImageListChange(TObject*) { RequestLayout(); }

// --- Drawing ---

void TcxCustomTabControl::Paint() {
  if (IsDestroying() || !painter_) return;
  painter_->SaveClipRgn();
  TScopeGuard restore([this] { painter_->RestoreClipRgn(); });
  painter_->Paint();
}

void TcxCustomTabControl::PrepareTabCanvasFont(TcxTab* ATab,
                                               TcxCanvas* ACanvas) {
  ACanvas->SetFont(Font());
  Integer visibleIndex = ATab->VisibleIndex();
  if (visibleIndex != -1)
    ACanvas->Font()->SetColor(painter_->GetTextColor(visibleIndex));
  OnDrawTabEx(this, ATab, ACanvas->Font());
}

void TcxCustomTabControl::AfterPaintTab(TcxCanvas*, TcxTab*,
                                        const TcxPCOutTabImageAndTextData&) {}

// --- Close, go dialog ---

bool TcxCustomTabControl::DoCanClose() {
  bool canClose = true;
  OnCanClose(this, canClose);
  return canClose;
}

void TcxCustomTabControl::DoClose() {
  // The neighbour that takes the closed tab's place is selected through the
  // ordinary path first, so OnChanging may refuse it (and the tab stays)
  // and its Selected flag follows.
  Integer closed = tabIndex_;
  if (closed < 0 || closed >= tabs_->Count()) return;
  Integer visibleCount = visibleTabList_->Count();
  Integer closedVisible = visibleTabList_->TabVisibleIndexOf(closed);
  Integer next = -1;
  if (visibleCount > 1 && closedVisible != -1) {
    Integer v = closedVisible + 1 < visibleCount ? closedVisible + 1
                                                 : closedVisible - 1;
    next = visibleTabList_->GetTab(v);
  }
  if (next != -1) {
    SetTabIndex(next);
    if (tabIndex_ != next) return;
  }
  if (next > closed) --tabIndex_;
  if (next == -1) tabIndex_ = -1;
  tabs_->Delete(closed);
  tabs_->SetMainTab();
  UpdateButtonsState();
  // Without a neighbour the selection went away here and not through the
  // selection path.
  if (next == -1) Change();
}

bool TcxCustomTabControl::CanShowTab(Integer TabIndex) {
  TcxTab* tab = tabs_->GetTab(TabIndex);
  return tab->Visible() && tab->RealEnabled();
}

void TcxCustomTabControl::DoShowGoDialog() {
  if (goDialog_) goDialog_->Popup(options_.Contains(pcoSort));
  HideGoDialog(-1);
}

void TcxCustomTabControl::GoDialogClickEventHandler(Integer ATabIndex) {
  HideGoDialog(ATabIndex);
}

// --- Client rectangle and streaming ---

TRect TcxCustomTabControl::GetDisplayRect() {
  if (IsLoading())
    return StoredClientRectRead ? StoredClientRect
                                : TRect(0, 0, Width(), Height());
  return painter_ ? ValidateRect(painter_->GetClientRect())
                  : TRect(0, 0, Width(), Height());
}

TRect TcxCustomTabControl::GetClientRect() { return GetDisplayRect(); }

void TcxCustomTabControl::AdjustClientRect(TRect& Rect) {
  Rect = GetDisplayRect();
}

namespace {
const char* const kClientRectNames[4] = {"ClientRectBottom", "ClientRectLeft",
                                         "ClientRectRight", "ClientRectTop"};
Integer& RectSide(TRect& R, Integer ASide) {
  switch (ASide) {
    case 0:
      return R.Bottom;
    case 1:
      return R.Left;
    case 2:
      return R.Right;
    default:
      return R.Top;
  }
}
}  // namespace

void TcxCustomTabControl::ReadClientRectValue(TReader* Reader, Integer ASide) {
  RectSide(StoredClientRect, ASide) = Reader->ReadInteger();
  if (ASide == 3) StoredClientRectRead = true;
}

void TcxCustomTabControl::WriteClientRectValue(TWriter* Writer, Integer ASide) {
  TRect R = GetDisplayRect();
  Writer->WriteInteger(RectSide(R, ASide));
}

void TcxCustomTabControl::DefineProperties(TFiler* Filer) {
  TcxControl::DefineProperties(Filer);
  TRect current = GetDisplayRect();
  auto* ancestor = dynamic_cast<TcxCustomTabControl*>(Filer->Ancestor());
  TRect ancestorRect = ancestor ? ancestor->GetDisplayRect() : TRect();
  for (Integer side = 0; side < 4; ++side) {
    Integer value = RectSide(current, side);
    bool hasData;
    if (ancestor)
      hasData = value != RectSide(ancestorRect, side);
    else
      hasData = (side == 0 || side == 1) ? value != 0 : true;
    TReaderProc read = TReaderProc::FromFunction(
        [this, side](TReader* r) { ReadClientRectValue(r, side); });
    TWriterProc write = TWriterProc::FromFunction(
        [this, side](TWriter* w) { WriteClientRectValue(w, side); });
    Filer->DefineProperty(kClientRectNames[side], read, write, hasData);
  }
}

// --- Lifecycle ---

void TcxCustomTabControl::Loaded() {
  TcxControl::Loaded();
  visibleTabList_->Update();
  RequestLayout();
  Integer stored = tabIndex_;
  if (stored != -1) {
    tabIndex_ = -1;
    LockChangeEvent(true);
    TScopeGuard unlock([this] { LockChangeEvent(false); });
    SetTabIndex(stored);
  }
}

void TcxCustomTabControl::CreateHandle() {
  TcxControl::CreateHandle();
  RequestLayout();
  Realign();
}

void TcxCustomTabControl::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TcxCustomTabControl::Resize() {
  RequestLayout();
  Realign();
  if (options_.Contains(pcoRedrawOnResize) && painter_ &&
      painter_->NeedRedrawOnResize())
    InvalidateWithChildren();
  TcxControl::Resize();
}

void TcxCustomTabControl::FocusChanged() {
  TcxControl::FocusChanged();
  if (IsDestroying() || MainTabVisibleIndex == -1) return;
  if (MainTabVisibleIndex < visibleTabList_->Count() &&
      tabs_->GetVisibleTab(MainTabVisibleIndex)->RealVisible())
    painter_->RepaintTab(MainTabVisibleIndex, tpcFocused);
}

void TcxCustomTabControl::FontChanged() {
  TcxControl::FontChanged();
  RequestLayout();
}

bool TcxCustomTabControl::HandleDialogChar(Integer Key) {
  for (Integer i = 0; i < tabs_->Count(); ++i) {
    if (IsAccelOf(Key, tabs_->GetTab(i)->Caption()) && CanShowTab(i) &&
        CanFocus()) {
      SetTabIndex(i);
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------
// Unit start-up: what form streams set.

namespace {

void PCStartup() {
  using C = TcxCustomTabControl;
  using T = TcxCustomTabControl;
  TPublished<TcxCustomTabControl>()
      .Property("Focusable", &T::Focusable, &T::SetFocusable, true)
      .Property("HideTabs", &T::HideTabs, &T::SetHideTabs, false)
      .Property("HotTrack", &T::HotTrack, &T::SetHotTrack, false)
      .Property("ImageBorder", &T::ImageBorder, &T::SetImageBorder, 0)
      .Property("Images", &T::Images, &T::SetImages)
      .Property("MultiLine", &T::MultiLine, &T::SetMultiLine, false)
      .Property("NavigatorPosition", &T::NavigatorPosition,
                &T::SetNavigatorPosition, npRightTop)
      .Property("Options", &T::Options, &T::SetOptions, cxPCDefaultOptions)
      .Property("OwnerDraw", &T::OwnerDraw, &T::SetOwnerDraw, false)
      .Property("RaggedRight", &T::RaggedRight, &T::SetRaggedRight, false)
      .Property("Rotate", &T::Rotate, &T::SetRotate, false)
      .Property("ScrollOpposite", &T::ScrollOpposite, &T::SetScrollOpposite,
                false)
      .Property("ShowFrame", &T::ShowFrame, &T::SetShowFrame, false)
      .Property("Style", &T::Style, &T::SetStyle, 0)
      .Property("TabHeight", &T::TabHeight, &T::SetTabHeight, Smallint{0})
      .Property("TabPosition", &T::TabPosition, &T::SetTabPosition, tpTop)
      .Property("TabWidth", &T::TabWidth, &T::SetTabWidth, Smallint{0})
      .Event("OnChange", &T::OnChange, &T::OnChange)
      .Event("OnCanClose", &T::OnCanClose, &T::OnCanClose);
  TPublished<TcxTabControl>()
      .Property("TabIndex", &TcxTabControl::TabIndex,
                &TcxTabControl::SetTabIndex, -1)
      .Property("MultiSelect", &TcxTabControl::MultiSelect,
                &TcxTabControl::SetMultiSelect, false)
      .Event("OnChanging", &C::OnChanging, &C::OnChanging);
  TPublished<TcxPageControl>()
      .Property("ActivePage", &TcxPageControl::ActivePage,
                &TcxPageControl::SetActivePage)
      .Event("OnPageChanging", &TcxPageControl::OnPageChanging,
             &TcxPageControl::OnPageChanging);
  TPublished<TcxTabSheet>()
      .Property("Caption", &TControl::Caption, &TControl::SetCaption)
      .Property("Highlighted", &TcxTabSheet::Highlighted,
                &TcxTabSheet::SetHighlighted, false)
      .Property("ImageIndex", &TcxTabSheet::ImageIndex,
                &TcxTabSheet::SetImageIndex, -1)
      .Property("TabVisible", &TcxTabSheet::TabVisible,
                &TcxTabSheet::SetTabVisible, true)
      .Event("OnShow", &TcxTabSheet::OnShow, &TcxTabSheet::OnShow)
      .Event("OnHide", &TcxTabSheet::OnHide, &TcxTabSheet::OnHide);
  RegisterClasses({TcxTabControl::StaticClass(), TcxPageControl::StaticClass(),
                   TcxTabSheet::StaticClass()});
}

void PCShutdown() {
  UnpublishClass(TcxCustomTabControl::StaticClass());
  UnpublishClass(TcxTabControl::StaticClass());
  UnpublishClass(TcxPageControl::StaticClass());
  UnpublishClass(TcxTabSheet::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxPC, ({"cxControls", "cxLookAndFeels", "Forms"}), &PCStartup,
            &PCShutdown);
