// The bar manager: one per form; owns the bars, items, groups, categories and
// popup-menu links, chooses the painter and batches updates.
#include <windows.h>

#include <algorithm>

#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "dxBar.h"
#include "dxThemeManager.h"

TdxBarManagerSeams& dxBarManagerSeams() {
  static TdxBarManagerSeams seams;
  return seams;
}

namespace {

// The non-client metrics of the system (menu and caption fonts).
NONCLIENTMETRICSA NonClientMetrics() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return metrics;
}

void AssignLogFont(TFont* AFont, const LOGFONTA& ALogFont) {
  AFont->SetHandle(::CreateFontIndirectA(&ALogFont));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction
// ---------------------------------------------------------------------------

TdxBarManager::TdxBarManager(TComponent* AOwner)
    : TComponent(AOwner ? AOwner
                        : (Application ? Application->MainForm() : nullptr)) {
  if (!dynamic_cast<TWinControl*>(Owner()))
    throw Exception(cxGetResourceString(dxSBAR_WRONGOWNER));
  if (GetBarManagerByComponent(Owner()))
    throw Exception(cxGetResourceString(dxSBAR_MANYBARMANAGERS));
  creationComplete_ = true;
  dxBarRegisterManager(this);
  backgrounds_.reset(new TdxBarBackgrounds(this));
  lookAndFeel_.reset(new TcxLookAndFeel(this));
  lookAndFeel_->OnChanged =
      TcxLookAndFeelChangedEvent(this, &TdxBarManager::LFChanged);
  themeNotificator_.reset(new TdxThemeChangedNotificator);
  themeNotificator_->OnThemeChanged =
      TdxThemeChangedEvent(this, &TdxBarManager::InternalStyleChanged);
  InitPainter();
  items_.OnComponentListChanged = nullptr;
  categories_.reset(new TdxBarManagerCategories(this));
  bars_.reset(new TdxBars(this));
  captionFont_.reset(new TFont);
  editFont_.reset(new TFont);
  font_.reset(new TFont);
  font_->OnChange = TNotifyEvent(this, &TdxBarManager::FontChanged);
  CalcMostRecentlyUsedUseCount();
  popupMenuLinks_.reset(new TdxBarPopupMenuLinks(this));
  SetUseSystemFont(true);
  imageOptions_.reset(new TdxBarImageOptions(this));
  imageOptions_->OnChanged =
      TNotifyEvent(this, &TdxBarManager::ImageOptionsChanged);
  imageOptions_->OnLargeIconsChanged =
      TNotifyEvent(this, &TdxBarManager::ImageOptionsChanged);
  bars_->CreateDockControls();
}

TdxBarManager::~TdxBarManager() {
  if (!creationComplete_) return;
  themeNotificator_.reset();
  dxBarUnregisterManager(this);
  customizing_ = false;
  bars_.reset();
  DestroyItems();
  // Groups belong to the form and may outlive the manager.
  for (Integer i = 0; i < GroupCount(); ++i)
    Groups(i)->SetBarManagerField(nullptr);
  groups_.Clear();
  painter_.reset();
}

void TdxBarManager::BeforeDestruction() {
  if (creationComplete_) {
    Destroying();
    // The bars go while the manager is whole: they tell it as they leave.
    if (bars_)
      while (bars_->Count() > 0) Free(bars_->Items(bars_->Count() - 1));
  }
  TComponent::BeforeDestruction();
}

bool TdxBarManager::IsLoading() const {
  return ComponentState().Contains(csLoading);
}
bool TdxBarManager::IsDestroying() const {
  return ComponentState().Contains(csDestroying);
}
bool TdxBarManager::IsDesigning() const {
  return ComponentState().Contains(csDesigning);
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TdxBarManager::SetAutoHideEmptyBars(bool Value) {
  if (autoHideEmptyBars_ == Value) return;
  autoHideEmptyBars_ = Value;
  if (!Value)
    for (Integer i = 0; i < bars_->Count(); ++i)
      bars_->Items(i)->HiddenBecauseEmpty = false;
}

void TdxBarManager::SetButtonArrowWidth(Integer Value) {
  if (Value < 2 || Value == buttonArrowWidth_) return;
  buttonArrowWidth_ = Value;
  bars_->Repaint();
}

void TdxBarManager::SetLargeButtonArrowWidth(Integer Value) {
  if (Value < 2 || Value == largeButtonArrowWidth_) return;
  largeButtonArrowWidth_ = Value;
  bars_->Repaint();
}

void TdxBarManager::SetDockColor(TColor Value) {
  AutoDockColor = false;
  if (dockColor_ == Value) return;
  dockColor_ = Value;
  for (TdxDockControl* dock : dockControls_) dock->Invalidate();
}

TColor TdxBarManager::GetDockColor() const {
  if (AutoDockColor)
    if (auto* owner = dynamic_cast<TControl*>(Owner())) return owner->Color();
  return dockColor_;
}

void TdxBarManager::SetFont(TFont* Value) { font_->Assign(Value); }

void TdxBarManager::SetMostRecentItemsPercents(Integer Value) {
  mostRecentItemsPercents_ = static_cast<Byte>(std::clamp(Value, 0, 100));
  CalcMostRecentlyUsedUseCount();
}

void TdxBarManager::CalcMostRecentlyUsedUseCount() {
  const Integer p = mostRecentItemsPercents_;
  if (p >= 100) {
    mostRecentlyUsedUseCount_ = 0;
    return;
  }
  Integer n = 1;
  while (n * (100 - p) / 100 <= 0) ++n;
  mostRecentlyUsedUseCount_ = n;
}

void TdxBarManager::SetNotDocking(TdxBarDockingStyles Value) {
  if (notDocking_ == Value) return;
  notDocking_ = Value;
  InternalStyleChanged();
}

void TdxBarManager::SetRegistryPath(const String& Value) {
  String path = Value;
  if (!path.empty()) {
    if (path.front() != '\\') path.insert(path.begin(), '\\');
    if (path.back() != '\\') path.push_back('\\');
  }
  registryPath_ = path;
}

void TdxBarManager::SetStyle(TdxBarManagerStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  InternalStyleChanged();
}

void TdxBarManager::SetUseSystemFont(bool Value) {
  if (useSystemFont_ == Value) return;
  useSystemFont_ = Value;
  if (Value) AssignFont();
}

void TdxBarManager::SetWaitForDockingTime(Integer Value) {
  if (Value >= 0) waitForDockingTime_ = Value;
}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------

void TdxBarManager::AssignFont() {
  const NONCLIENTMETRICSA metrics = NonClientMetrics();
  TRestoreOnExit<bool> keep(internalFontChange_);
  internalFontChange_ = true;
  if (useSystemFont_)
    AssignLogFont(font_.get(), metrics.lfMenuFont);
  else if (Scaled)
    font_->SetHeight(metrics.lfMenuFont.lfHeight);
}

void TdxBarManager::FontChanged(TObject*) {
  if (!internalFontChange_) useSystemFont_ = false;
  LOGFONTA edit{};
  ::GetObjectA(font_->Handle(), sizeof edit, &edit);
  if (Scaled) {
    LOGFONTA iconTitle{};
    ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof iconTitle,
                            &iconTitle, 0);
    edit.lfHeight = std::min<LONG>(iconTitle.lfHeight, -11);
  }
  AssignLogFont(editFont_.get(), edit);
  LOGFONTA caption = NonClientMetrics().lfSmCaptionFont;
  if (!useSystemFont_) {
    const String face = font_->Name();
    lstrcpynA(caption.lfFaceName, face.c_str(), LF_FACESIZE);
    if (caption.lfHeight >= -10) caption.lfHeight = -11;
  }
  AssignLogFont(captionFont_.get(), caption);
  fontHandlers_.CallEvents(this, nullptr);
  if (bars_)
    for (Integer i = 0; i < bars_->Count(); ++i)
      if (TCustomdxBarControl* control = bars_->Items(i)->Control())
        control->RepaintBar();
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

TdxBarManagerStyle TdxBarManager::GetPaintStyle() const {
  if (style_ != bmsUseLookAndFeel) return style_;
  if (lookAndFeel_->NativeStyle() && visualStylesAvailable_) return bmsXP;
  switch (lookAndFeel_->Kind()) {
    case lfStandard:
      return bmsStandard;
    case lfUltraFlat:
      return bmsFlat;
    case lfOffice11:
      return bmsOffice11;
    default:
      return bmsEnhanced;
  }
}

TdxBarRealPaintStyle TdxBarManager::GetRealPaintStyle() const {
  switch (style_) {
    case bmsStandard:
      return rpsStandard;
    case bmsEnhanced:
      return rpsEnhanced;
    case bmsFlat:
      return rpsFlat;
    case bmsXP:
      return visualStylesAvailable_ ? rpsXP : rpsEnhanced;
    case bmsOffice11:
      return rpsOffice11;
    case bmsUseLookAndFeel:
      break;
  }
  if (lookAndFeel_->NativeStyle() && visualStylesAvailable_) return rpsXP;
  if (lookAndFeel_->SkinPainter()) return rpsSkin;
  switch (lookAndFeel_->Kind()) {
    case lfStandard:
      return rpsStandard;
    case lfUltraFlat:
      return rpsFlat;
    case lfOffice11:
      return rpsOffice11;
    default:
      return rpsEnhanced;
  }
}

TdxBarPainterClass TdxBarManager::GetPainterClass() const {
  const TdxBarRealPaintStyle style = GetRealPaintStyle();
  return style == rpsSkin ? dxBarSkinPainterClass : dxBarPainterClassOf(style);
}

void TdxBarManager::InitPainter() {
  visualStylesAvailable_ = AreVisualStylesAvailable(
      {totComboBox, totEdit, totProgress, totRebar, totScrollBar, totSpin,
       totStatus, totToolBar, totWindow});
  painter_.reset();
  painter_ = OwnedCast<TdxBarPainter>(GetPainterClass()->NewInstance());
  if (!painter_) painter_.reset(new TdxBarStandardPainter);
  painter_->SkinPainter = lookAndFeel_ ? lookAndFeel_->SkinPainter() : nullptr;
}

void TdxBarManager::InternalStyleChanged() {
  InitPainter();
  if (!bars_) return;
  for (Integer i = 0; i < bars_->Count(); ++i)
    if (TCustomdxBarControl* control = bars_->Items(i)->Control())
      control->BarManagerStyleChanged();
  for (TdxDockControl* dock : dockControls_) dock->Invalidate();
}

void TdxBarManager::LFChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (!IsDestroying()) InternalStyleChanged();
}

void TdxBarManager::ImageOptionsChanged(TObject*) {
  if (IsLoading() || IsDestroying()) return;
  BeginUpdate();
  TScopeGuard end([this] { EndUpdate(true); });
  for (Integer i = 0; i < ItemCount(); ++i) Items(i)->Update();
  if (bars_) bars_->Repaint();
}

// ---------------------------------------------------------------------------
// Structure
// ---------------------------------------------------------------------------

TdxBarItem* TdxBarManager::Items(Integer Index) const {
  return static_cast<TdxBarItem*>(items_.Items(Index));
}

TdxBarGroup* TdxBarManager::Groups(Integer Index) const {
  return static_cast<TdxBarGroup*>(groups_.Items(Index));
}

TdxDockControl* TdxBarManager::DockControls(Integer Index) const {
  return Index >= 0 && Index < DockControlCount()
             ? dockControls_[static_cast<size_t>(Index)]
             : nullptr;
}

TdxDockControl* TdxBarManager::GetInternalDockControl(
    TdxBarDockingStyle AStyle) const {
  return bars_ ? bars_->GetDockControl(AStyle) : nullptr;
}

bool TdxBarManager::IsInternalDockControl(TdxDockControl* ADockControl) const {
  if (!ADockControl || !bars_) return false;
  for (TdxBarDockingStyle s : {dsLeft, dsTop, dsRight, dsBottom})
    if (bars_->GetDockControl(s) == ADockControl) return true;
  return false;
}

void TdxBarManager::AddDockControl(TdxDockControl* ADockControl) {
  if (std::find(dockControls_.begin(), dockControls_.end(), ADockControl) ==
      dockControls_.end())
    dockControls_.push_back(ADockControl);
}

void TdxBarManager::RemoveDockControl(TdxDockControl* ADockControl) {
  if (bars_)
    for (Integer i = 0; i < bars_->Count(); ++i) {
      TdxBar* bar = bars_->Items(i);
      if (bar->RealDockControl() == ADockControl) bar->SetVisible(false);
      if (bar->dockControl_ == ADockControl) bar->dockControl_ = nullptr;
    }
  dockControls_.erase(
      std::remove(dockControls_.begin(), dockControls_.end(), ADockControl),
      dockControls_.end());
  if (bars_) bars_->ForgetDockControl(ADockControl);
}

TCustomdxBarControl* TdxBarManager::MainMenuControl() const {
  return mainMenuBar_ ? mainMenuBar_->Control() : nullptr;
}

TWinControl* TdxBarManager::ParentedOwner() const {
  return dynamic_cast<TWinControl*>(Owner());
}

TCustomForm* TdxBarManager::ParentForm() const {
  auto* owner = dynamic_cast<TControl*>(Owner());
  return owner ? GetParentForm(owner) : nullptr;
}

TCustomForm* TdxBarManager::MainForm() const {
  TCustomForm* form = ParentForm();
  while (form && form->Parent())
    if (TCustomForm* outer = GetParentForm(form->Parent()))
      form = outer;
    else
      break;
  return form;
}

TdxBarManager* TdxBarManager::GetParentBarManager() const {
  TWinControl* owner = ParentedOwner();
  for (TWinControl* c = owner ? owner->Parent() : nullptr; c; c = c->Parent())
    if (TdxBarManager* m = GetBarManagerByComponent(c)) return m;
  return nullptr;
}

Integer TdxBarManager::GetTabOrder() const {
  return dxBarManagerList()->IndexOf(const_cast<TdxBarManager*>(this));
}

void TdxBarManager::SetTabOrder(Integer Value) {
  TdxBarManagerList* list = dxBarManagerList();
  Value = std::clamp(Value, 0, list->Count() - 1);
  list->Move(GetTabOrder(), Value);
}

// ---------------------------------------------------------------------------
// Lookup
// ---------------------------------------------------------------------------

TdxBar* TdxBarManager::BarByCaption(const String& ACaption) const {
  for (Integer i = 0; i < bars_->Count(); ++i)
    if (bars_->Items(i)->Caption() == ACaption) return bars_->Items(i);
  return nullptr;
}

TdxBar* TdxBarManager::BarByComponentName(const String& AName) const {
  for (Integer i = 0; i < bars_->Count(); ++i)
    if (bars_->Items(i)->Name() == AName) return bars_->Items(i);
  return nullptr;
}

TdxBar* TdxBarManager::BarByOldName(const String& AName) const {
  for (Integer i = 0; i < bars_->Count(); ++i)
    if (bars_->Items(i)->OldName == AName) return bars_->Items(i);
  return nullptr;
}

TdxBarItem* TdxBarManager::GetItemByName(const String& AName) const {
  for (Integer i = 0; i < ItemCount(); ++i)
    if (SameText(Items(i)->Name(), AName)) return Items(i);
  return nullptr;
}

Integer TdxBarManager::GetAllItemsByCategory(Integer ACategory,
                                             TList* AList) const {
  AList->Clear();
  for (Integer i = 0; i < ItemCount(); ++i)
    if (Items(i)->Category() == ACategory) AList->Add(Items(i));
  return AList->Count();
}

Integer TdxBarManager::GetItemsByCategory(Integer ACategory,
                                          TList* AList) const {
  GetAllItemsByCategory(ACategory, AList);
  if (IsDesigning()) return AList->Count();
  for (Integer i = AList->Count() - 1; i >= 0; --i) {
    auto* item = static_cast<TdxBarItem*>(AList->Get(i));
    if (!item->GetActuallyVisible()) AList->Delete(i);
  }
  return AList->Count();
}

Integer TdxBarManager::GetCountByCategory(Integer ACategory) const {
  TList list;
  return GetItemsByCategory(ACategory, &list);
}

TdxBarItem* TdxBarManager::GetItemByCategory(Integer ACategory,
                                             Integer AIndex) const {
  TList list;
  GetItemsByCategory(ACategory, &list);
  return AIndex >= 0 && AIndex < list.Count()
             ? static_cast<TdxBarItem*>(list.Get(AIndex))
             : nullptr;
}

Integer TdxBarManager::GetCategoryRealIndex(Integer AVisibleIndex) const {
  if (IsDesigning()) return AVisibleIndex;
  for (Integer i = 0; i < categories_->Count(); ++i)
    if (CategoryVisible(i) && AVisibleIndex-- == 0) return i;
  return -1;
}

bool TdxBarManager::CategoryVisible(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= categories_->Count()) return false;
  TdxBarCategoryData* data = categories_->Data(AIndex, false);
  return !data || data->Visible;
}

void TdxBarManager::SetCategoryVisible(Integer AIndex, bool Value) {
  if (AIndex < 0 || AIndex >= categories_->Count() ||
      CategoryVisible(AIndex) == Value)
    return;
  categories_->Data(AIndex, true)->Visible = Value;
  DesignerModified();
}

TdxBarItemVisible TdxBarManager::CategoryItemsVisible(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= categories_->Count()) return ivNever;
  TdxBarCategoryData* data = categories_->Data(AIndex, false);
  return data ? data->ItemsVisible : ivAlways;
}

void TdxBarManager::SetCategoryItemsVisible(Integer AIndex,
                                            TdxBarItemVisible Value) {
  if (AIndex < 0 || AIndex >= categories_->Count()) return;
  const TdxBarItemVisible old = CategoryItemsVisible(AIndex);
  TdxBarCategoryData* data = categories_->Data(AIndex, true);
  if (IsLoading()) {
    data->LoadedItemsVisible = Value;
    return;
  }
  data->ItemsVisible = Value;
  if (!IsDesigning()) {
    auto hasVisibleLinks = [](TdxBar* bar) {
      return bar->ItemLinks()->CanVisibleItemCount() > 0;
    };
    std::vector<TdxBar*> hadLinks;
    if (autoHideEmptyBars_)
      for (Integer i = 0; i < bars_->Count(); ++i)
        if (hasVisibleLinks(bars_->Items(i)))
          hadLinks.push_back(bars_->Items(i));
    BeginUpdate();
    {
      TScopeGuard end([this] { EndUpdate(true); });
      TList items;
      GetAllItemsByCategory(AIndex, &items);
      const Integer n = items.Count();
      for (Integer k = 0; k < n; ++k) {
        auto* item = static_cast<TdxBarItem*>(
            items.Get(Value == ivAlways ? n - 1 - k : k));
        if (item->Visible() == old) item->SetVisible(Value);
      }
    }
    if (autoHideEmptyBars_)
      for (Integer i = 0; i < bars_->Count(); ++i) {
        TdxBar* bar = bars_->Items(i);
        const bool had =
            std::find(hadLinks.begin(), hadLinks.end(), bar) != hadLinks.end();
        if (Value == ivNever && had && !hasVisibleLinks(bar) &&
            bar->Visible()) {
          bar->SetVisible(false);
          bar->HiddenBecauseEmpty = true;
        } else if (Value == ivAlways && bar->HiddenBecauseEmpty &&
                   hasVisibleLinks(bar)) {
          bar->SetVisible(true);
          bar->HiddenBecauseEmpty = false;
        }
      }
  }
  if (Value != old) DesignerModified();
}

String TdxBarManager::GetUniqueItemName(TClass AClass) const {
  const String base = String(AClass->Name).substr(1);
  TComponent* owner = Owner();
  for (Integer n = 1;; ++n) {
    const String name = base + IntToStr(n);
    if (!GetItemByName(name) && !(owner && owner->FindComponent(name)))
      return name;
  }
}

String TdxBarManager::GetUniqueToolbarCaption(const String& ABase) const {
  for (Integer n = 1;; ++n)
    if (!BarByCaption(ABase + IntToStr(n))) return ABase + IntToStr(n);
}

String TdxBarManager::GetUniqueToolbarName(const String& ABase) const {
  TComponent* owner = Owner();
  for (Integer n = 1;; ++n) {
    const String name = ABase + IntToStr(n);
    if (!BarByComponentName(name) && !(owner && owner->FindComponent(name)))
      return name;
  }
}

// ---------------------------------------------------------------------------
// Editing the set
// ---------------------------------------------------------------------------

TdxBarItem* TdxBarManager::AddItem(TClass AClass) {
  TObjectPtr<TdxBarItem> item =
      OwnedCast<TdxBarItem>(AClass->NewInstance(Owner()));
  if (!item) return nullptr;
  if (item->BarManager() != this) {
    if (item->BarManager()) item->BarManager()->RemoveItemFromList(item.get());
    AddItemToList(item.get());
  }
  item->SetName(GetUniqueItemName(AClass));
  const Integer category = std::max<Integer>(
      categories_->IndexOf(cxGetResourceString(dxSBAR_DEFAULTCATEGORYNAME)), 0);
  item->SetCategory(category);
  return item.release();
}

TdxBarItem* TdxBarManager::AddButton() {
  return AddItem(TdxBarButton::StaticClass());
}

TdxBarItem* TdxBarManager::AddSubItem() {
  return AddItem(TdxBarSubItem::StaticClass());
}

TdxBar* TdxBarManager::AddToolBar(bool AIsMainMenu, bool AEdit) {
  String caption =
      GetUniqueToolbarCaption(cxGetResourceString(dxSBAR_CUSTOMTOOLBARNAME));
  if (AEdit) {
    auto edit = dxBarManagerSeams().EditToolbarName;
    if (edit && !edit(this, caption)) return nullptr;
  }
  BeginUpdate();
  bars_->BeginUpdate();
  TScopeGuard end([this] {
    bars_->EndUpdate();
    EndUpdate(true);
  });
  TdxBar* bar = bars_->Add();
  bar->SetCaption(caption);
  if (auto* owner = dynamic_cast<TControl*>(Owner())) {
    RECT work{};
    const POINT corner{owner->Left(), owner->Top()};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromPoint(corner, MONITOR_DEFAULTTONEAREST),
                          &info))
      work = info.rcWork;
    Integer left = owner->Left() - 50;
    if (left < work.left) left = owner->Left() + owner->Width() + 10;
    Integer top = owner->Top();
    if (top < work.top) top = work.top + 10;
    bar->floatLeft_ = left;
    bar->floatTop_ = top;
  }
  bar->SetDockingStyle(dsTop);
  if (AIsMainMenu) {
    bar->SetRow(0);
    bar->SetIsMainMenu(true);
    bar->SetVisible(true);
  } else {
    TdxDockControl* dock = bar->RealDockControl();
    bar->row_ = dock ? dock->RowCount() : 0;
    bar->SetOneOnRow(true);
    bar->SetVisible(true);
    bar->SetOneOnRow(false);
  }
  return bar;
}

void TdxBarManager::DeleteToolBar(TdxBar* ABar, bool AConfirm) {
  if (!ABar) return;
  if (AConfirm &&
      Application->MessageBox(
          Format(cxGetResourceString(dxSBAR_WANTTODELETETOOLBAR),
                 {ABar->Caption()}),
          Application->Title(), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
    return;
  Free(ABar);
}

void TdxBarManager::ExchangeItems(Integer AIndex1, Integer AIndex2) {
  items_.Exchange(AIndex1, AIndex2);
  DesignerModified();
}

void TdxBarManager::MoveItem(Integer ACurIndex, Integer ANewIndex) {
  items_.Move(ACurIndex, ANewIndex);
  DesignerModified();
}

TdxBarGroup* TdxBarManager::CreateGroup() {
  auto* group = new TdxBarGroup(Owner());
  AddGroup(group);
  return group;
}

void TdxBarManager::AddGroup(TdxBarGroup* AGroup) {
  if (groups_.IndexOf(AGroup) >= 0) return;
  AGroup->SetBarManagerField(this);
  groups_.Add(AGroup);
}

void TdxBarManager::AddItemToList(TdxBarItem* AItem) {
  if (items_.IndexOf(AItem) >= 0) return;
  AItem->SetBarManagerField(this);
  items_.Add(AItem);
}

void TdxBarManager::RemoveItemFromList(TdxBarItem* AItem) {
  items_.Remove(AItem);
  if (AItem->BarManager() == this) AItem->SetBarManagerField(nullptr);
}

void TdxBarManager::DestroyItems() {
  while (items_.Count() > 0) Free(items_.Items(items_.Count() - 1));
}

// ---------------------------------------------------------------------------
// Batching and notification
// ---------------------------------------------------------------------------

void TdxBarManager::BeginUpdate() {
  if (updateLock_++ == 0) DoLockUpdate(true, false);
}

void TdxBarManager::EndUpdate(bool ARecalc) {
  if (updateLock_ == 0) return;
  if (--updateLock_ == 0) DoLockUpdate(false, ARecalc);
}

void TdxBarManager::SetLockUpdate(bool Value) {
  if (lockUpdate_ == Value) return;
  lockUpdate_ = Value;
  if (Value)
    BeginUpdate();
  else
    EndUpdate(false);
}

void TdxBarManager::DoLockUpdate(bool ALock, bool ARecalc) {
  TScopeGuard clearMarks([this] {
    if (bars_)
      for (Integer i = 0; i < bars_->Count(); ++i)
        bars_->Items(i)->ChangedMark = false;
  });
  for (TdxDockControl* dock : dockControls_)
    if (dock->Visible() && dock->HandleAllocated())
      ::SendMessageA(dock->Handle(), WM_SETREDRAW, ALock ? 0 : 1, 0);
  if (ALock || !bars_) return;
  if (TCustomdxBarControl* pending = pendingSubMenuControl_) {
    pendingSubMenuControl_ = nullptr;
    pending->RepaintBar();
  }
  for (Integer i = 0; i < bars_->Count(); ++i) {
    TdxBar* bar = bars_->Items(i);
    TCustomdxBarControl* control = bar->Control();
    if (!control) continue;
    if (bar->IsFloat() || bar->ChangedMark) {
      if (ARecalc) control->RecreateControls();
      control->RepaintBar();
    } else {
      control->Invalidate();
    }
  }
  for (TdxDockControl* dock : dockControls_) {
    dock->UpdateDock();
    if (dock->HandleAllocated()) {
      ::SendMessageA(dock->Handle(), WM_NCPAINT, 1, 0);
      dock->Invalidate();
    }
  }
}

void TdxBarManager::DesignerModified() {
  if (IsLoading() || itemsLoading_ || IsDestroying()) return;
  if (designerModifiedLock_ > 0) {
    designerModifiedPending_ = true;
    return;
  }
  modified_ = true;
  if (IsDesigning() && !barsLoading_)
    if (auto notify = dxBarManagerSeams().DesignerModified) notify(this);
}

void TdxBarManager::LockDesignerModified(bool ALock, bool ANotify) {
  if (ALock) {
    if (designerModifiedLock_++ == 0) designerModifiedPending_ = false;
    return;
  }
  if (designerModifiedLock_ == 0) return;
  if (--designerModifiedLock_ == 0 && ANotify && designerModifiedPending_)
    DesignerModified();
}

// ---------------------------------------------------------------------------
// Customizing
// ---------------------------------------------------------------------------

void TdxBarManager::Customizing(bool AValue) {
  if (customizing_ == AValue) return;
  for (Integer i = bars_->Count() - 1; i >= 0; --i)
    if (TCustomdxBarControl* control = bars_->Items(i)->Control())
      control->HideAll();
  customizing_ = AValue;
  for (Integer i = 0; i < bars_->Count(); ++i)
    bars_->Items(i)->ItemLinks()->RefreshVisibilityLists();
  for (Integer i = 0; i < ItemCount(); ++i)
    if (TdxBarItemLinks* links = Items(i)->GetItemLinks())
      links->RefreshVisibilityLists();
  for (Integer i = 0; i < bars_->Count(); ++i)
    if (TCustomdxBarControl* control = bars_->Items(i)->Control())
      control->RecreateControls();
  if (auto show = dxBarManagerSeams().Customizing) show(this, AValue);
  for (Integer i = 0; i < bars_->Count(); ++i)
    if (TCustomdxBarControl* control = bars_->Items(i)->Control())
      control->RepaintBar();
}

bool TdxBarManager::IsCustomizing() const {
  return customizing_ || IsDesigning();
}

bool TdxBarManager::IsUncustomizable() const {
  TdxBarManager* customizing = dxBarManagerList()->GetCustomizingBarManager();
  return customizing && customizing != this;
}

bool TdxBarManager::CanAddComponents() const {
  TComponent* owner = Owner();
  return !(owner && owner->ComponentState().Contains(csInline) &&
           owner->ComponentState().Contains(csDesigning));
}

void TdxBarManager::HideAll() {
  if (ActiveBarControl) ActiveBarControl->HideAll();
}

// ---------------------------------------------------------------------------
// Event raisers
// ---------------------------------------------------------------------------

void TdxBarManager::DoClickItem(TdxBarItem* AItem) { OnClickItem(this, AItem); }

bool TdxBarManager::DoDocking(TdxBar* ABar, TdxBarDockingStyle AStyle,
                              TdxDockControl* ADockControl) {
  bool result = !ABar->NotDocking.Contains(AStyle);
  if (result) {
    if (ADockControl && !IsInternalDockControl(ADockControl))
      result = ADockControl->CanDocking(ABar);
    else
      result = !notDocking_.Contains(AStyle);
  }
  OnDocking(ABar, AStyle, ADockControl, result);
  return result;
}

void TdxBarManager::DoItemLinkChange(TdxBarItemLink* ALink) {
  if (!IsLoading()) OnItemLinkChange(this, ALink);
}
void TdxBarManager::DoItemLinkAdd(TdxBarItemLink* ALink) {
  if (!IsLoading()) OnItemLinkAdd(this, ALink);
}
void TdxBarManager::DoItemLinkDelete(TdxBarItemLink* ALink) {
  OnItemLinkDelete(this, ALink);
}
void TdxBarManager::DoBarDockingStyleChanged(TdxBar* ABar) {
  if (barsLoading_) return;
  OnBarDockingStyleChange(this, ABar);
  ABar->ChangedMark = true;
}
void TdxBarManager::DoBarVisibleChange(TdxBar* ABar) {
  OnBarVisibleChange(this, ABar);
}
void TdxBarManager::DoBarAdd(TdxBar* ABar) { OnBarAdd(this, ABar); }
void TdxBarManager::DoBarClose(TdxBar* ABar) { OnBarClose(this, ABar); }
void TdxBarManager::DoBarDelete(TdxBar* ABar) { OnBarDelete(this, ABar); }
void TdxBarManager::DoMergeItemLink(TdxBarItemLinks* ADst,
                                    TdxBarItemLinks* ASrc,
                                    TdxBarItemLink* ASrcLink,
                                    TdxBarItemMergeKind& AKind,
                                    Integer& AIndex) {
  OnMergeItemLink(this, ADst, ASrc, ASrcLink, AKind, AIndex);
}

// ---------------------------------------------------------------------------
// Bars waiting for their dock control's window
// ---------------------------------------------------------------------------

void TdxBarManager::AddBarToRestoringList(TdxBar* ABar) {
  if (GetBarIndexInRestoringList(ABar) < 0) restoringList_.push_back(ABar);
}

void TdxBarManager::RemoveBarFromRestoringList(TdxBar* ABar) {
  restoringList_.erase(
      std::remove(restoringList_.begin(), restoringList_.end(), ABar),
      restoringList_.end());
}

Integer TdxBarManager::GetBarIndexInRestoringList(TdxBar* ABar) const {
  auto it = std::find(restoringList_.begin(), restoringList_.end(), ABar);
  return it == restoringList_.end()
             ? -1
             : static_cast<Integer>(it - restoringList_.begin());
}

void TdxBarManager::ShowBarsFromRestoringList(TdxDockControl* ADockControl) {
  for (Integer i = static_cast<Integer>(restoringList_.size()) - 1; i >= 0;
       --i) {
    if (i >= static_cast<Integer>(restoringList_.size())) continue;
    TdxBar* bar = restoringList_[static_cast<size_t>(i)];
    TdxDockControl* dock = bar->RealDockControl();
    const bool ready =
        ADockControl ? bar->DockingStyle() != dsNone && dock == ADockControl
                     : !dock || dock->HandleAllocated();
    if (ready && (!dock || dock->HandleAllocated())) bar->ShowControl();
  }
}

// ---------------------------------------------------------------------------
// Component tree and streams
// ---------------------------------------------------------------------------

void TdxBarManager::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (Integer i = 0; i < bars_->Count(); ++i)
    if (bars_->Items(i)->Owner() == Root) Proc(bars_->Items(i));
  for (Integer i = 0; i < ItemCount(); ++i)
    if (Items(i)->Category() >= 0 && Items(i)->Owner() == Root) Proc(Items(i));
  for (Integer i = 0; i < GroupCount(); ++i)
    if (Groups(i)->Owner() == Root) Proc(Groups(i));
}

TComponent* TdxBarManager::GetChildOwner() { return Owner(); }

void TdxBarManager::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* item = dynamic_cast<TdxBarItem*>(Child))
    item->SetIndex(Order - bars_->Count());
  else if (auto* group = dynamic_cast<TdxBarGroup*>(Child))
    group->SetIndex(Order - bars_->Count() - ItemCount());
}

void TdxBarManager::ReadState(TReader* Reader) {
  ++readCount_;
  TComponent::ReadState(Reader);
}

void TdxBarManager::Loaded() {
  TComponent::Loaded();
  if (IsUpdateLocked()) return;
  {
    TRestoreOnExit<bool> keep(itemsLoading_);
    itemsLoading_ = true;
    for (Integer i = 0; i < ItemCount(); ++i)
      if (TdxBarItemLinks* links = Items(i)->GetItemLinks())
        links->LoadItemNames();
    for (Integer i = 0; i < bars_->Count(); ++i)
      bars_->Items(i)->ItemLinks()->LoadItemNames();
  }
  {
    TRestoreOnExit<bool> keep(barsLoading_);
    barsLoading_ = true;
    for (Integer i = 0; i < ItemCount(); ++i)
      if (TdxBarItemLinks* links = Items(i)->GetItemLinks())
        links->Loaded(true);
    for (Integer i = 0; i < ItemCount(); ++i)
      Items(i)->SetVisible(Items(i)->LoadedVisible());
    for (Integer i = 0; i < bars_->Count(); ++i)
      bars_->Items(i)->ApplyLoadedState();
    if (auto save = dxBarManagerSeams().SaveState) save(this);
    if (!IsDesigning()) {
      if (StoreInRegistry)
        if (auto load = dxBarManagerSeams().LoadFromRegistry)
          load(this, registryPath_);
      if (StoreInIniFile)
        if (auto load = dxBarManagerSeams().LoadFromIniFile)
          load(this, IniFileName);
    }
  }
  for (Integer i = 0; i < categories_->Count(); ++i)
    if (TdxBarCategoryData* data = categories_->Data(i, false))
      SetCategoryItemsVisible(i, data->LoadedItemsVisible);
  for (TdxDockControl* dock : dockControls_) dock->UpdateDock();
}

void TdxBarManager::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove || !popupMenuLinks_) return;
  for (Integer i = 0; i < popupMenuLinks_->Count(); ++i) {
    TdxBarPopupMenuLink* link = popupMenuLinks_->Items(i);
    if (link->Control() == AComponent) link->SetControl(nullptr);
    if (link->PopupMenu() == AComponent) link->SetPopupMenu(nullptr);
  }
}

void TdxBarManager::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineProperty("Bars", TReaderProc(this, &TdxBarManager::ReadBars),
                        nullptr, false);
  Filer->DefineProperty(
      "DockControlHeights",
      TReaderProc(this, &TdxBarManager::ReadDockControlHeights),
      TWriterProc(this, &TdxBarManager::WriteDockControlHeights), true);
}

// The older stored form of the bars: a collection, element I read into
// bar I.
void TdxBarManager::ReadBars(TReader* Reader) {
  Reader->CheckValue(vaCollection);
  for (Integer index = 0; !Reader->EndOfList(); ++index) {
    if (Reader->NextValue() == vaInt8 || Reader->NextValue() == vaInt16 ||
        Reader->NextValue() == vaInt32)
      Reader->ReadInteger();
    TdxBar* bar = index < bars_->Count() ? bars_->Items(index) : bars_->Add();
    bar->IncludeState(csLoading);
    Reader->ReadListBegin();
    while (!Reader->EndOfList()) Reader->ReadProperty(bar);
    Reader->ReadListEnd();
    bar->ExcludeState(csLoading);
  }
  Reader->ReadListEnd();
}

void TdxBarManager::ReadDockControlHeights(TReader* Reader) {
  Reader->ReadListBegin();
  for (size_t i = 0; !Reader->EndOfList(); ++i) {
    const Integer value = Reader->ReadInteger();
    if (i < dockControlHeights_.size()) dockControlHeights_[i] = value;
  }
  Reader->ReadListEnd();
}

void TdxBarManager::WriteDockControlHeights(TWriter* Writer) {
  Writer->WriteListBegin();
  const TdxBarDockingStyle order[] = {dsLeft, dsRight, dsTop, dsBottom};
  for (size_t i = 0; i < 4; ++i) {
    TdxDockControl* dock = GetInternalDockControl(order[i]);
    const Integer size = !dock   ? dockControlHeights_[i]
                         : i < 2 ? dock->Width()
                                 : dock->Height();
    Writer->WriteInteger(size);
  }
  Writer->WriteListEnd();
}
