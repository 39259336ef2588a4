// The bar unit's start-up and exit, its process-wide objects, the item-kind
// registry, the object and component lists and the free routines.
#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "SysUtils.h"
#include "dxBar.h"

bool dxBarMakeInactiveImagesDingy = true;
bool dxBarPlaySound = true;
Integer dxBarNonrecentlyUsedItemsColorDelta = 20;
Integer dxBarFlatToolbarsColorDelta = 20;
Integer dxBarWaitForSubMenuTime = 400;
TColor dxBarScreenTipFontColor = static_cast<TColor>(0x4C4C4C);
std::array<Integer, 3> MDIButtonCommands{SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
TdxBarManagerProc FOnRegisterBarManager = nullptr;
TdxBarManagerProc FOnUnregisterBarManager = nullptr;
TClass dxBarDockControlClass = nullptr;
TClass dxBarToolbarControlClass = nullptr;
TdxBarPainterClass dxBarSkinPainterClass = TdxBarStandardPainter::StaticClass();
bool IsWin9x = false;
bool IsWin95 = false;
bool IsWin98OrNT5 = false;
TCustomdxBarControl* ActiveBarControl = nullptr;

namespace {

bool gFinalizing = false;
TdxBarItemList* gItemList = nullptr;
TdxBarManagerList* gManagerList = nullptr;
TList* gControlList = nullptr;
TdxBarSystemController* gSystemController = nullptr;
HBRUSH gPatternBrush = nullptr;
std::array<TdxBarPainterClass, 6> gPainterClasses{};

// The half-tone brush: button face where row and column have the same
// parity, button highlight elsewhere.
HBRUSH CreatePatternBrush8x8() {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  bitmap->SetWidth(8);
  bitmap->SetHeight(8);
  HDC dc = bitmap->Canvas()->Handle();
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ::SetPixel(dc, x, y, (x % 2) == (y % 2) ? face : highlight);
  return ::CreatePatternBrush(bitmap->Handle());
}

void SetVersionFlags() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExA(&info)) return;
  IsWin9x = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  IsWin95 = IsWin9x && info.dwMinorVersion == 0;
  IsWin98OrNT5 =
      (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
       info.dwMinorVersion != 0) ||
      (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5);
}

void Startup() {
  gFinalizing = false;
  RegisterClasses({TdxBar::StaticClass(), TdxBarGroup::StaticClass()});
  SetVersionFlags();
  gManagerList = new TdxBarManagerList;
  gPatternBrush = CreatePatternBrush8x8();
  gControlList = new TList;
  gSystemController = new TdxBarSystemController;
  // The kinds this layer holds; the window side names their controls.
  dxBarRegisterItem(TdxBarButton::StaticClass(), nullptr, true);
  dxBarRegisterItem(TdxBarSubItem::StaticClass(), nullptr, true);
  dxBarRegisterItem(TdxBarSeparator::StaticClass(), nullptr, true);
}

void Shutdown() {
  gFinalizing = true;
  FreeAndNil(gSystemController);
  FreeAndNil(gControlList);
  FreeAndNil(gItemList);
  if (gPatternBrush) ::DeleteObject(gPatternBrush);
  gPatternBrush = nullptr;
  FreeAndNil(gManagerList);
  UnRegisterClass(TdxBar::StaticClass());
  UnRegisterClass(TdxBarGroup::StaticClass());
}

}  // namespace

VARNEL_UNIT(dxBar, ({"cxLookAndFeels", "cxControls"}), Startup, Shutdown);

bool dxBarIsFinalizing() { return gFinalizing; }
HBRUSH dxBarPatternBrush() { return gPatternBrush; }
TList* dxBarControlList() { return gControlList; }
TdxBarManagerList* dxBarManagerList() { return gManagerList; }
TdxBarSystemController* BarSystemController() { return gSystemController; }

TdxBarPainterClass& dxBarPainterClassOf(TdxBarRealPaintStyle AStyle) {
  TdxBarPainterClass& entry = gPainterClasses[AStyle];
  if (!entry) entry = TdxBarStandardPainter::StaticClass();
  return entry;
}

// ---------------------------------------------------------------------------
// System controller
// ---------------------------------------------------------------------------

void TdxBarSystemController::WakeMainThread(TObject*) {
  ::PostMessageA(Handle(), WM_DX_SYNCHRONIZE, 0, 0);
}

void TdxBarSystemController::WndProc(TMessage& Message) {
  // The class library hands no work between threads yet: the message only
  // wakes a bar loop.
  if (Message.Msg == WM_DX_SYNCHRONIZE) {
    Message.Result = 0;
    return;
  }
  inherited::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Item-kind registry
// ---------------------------------------------------------------------------

TdxBarItemList* RegdxItemList() {
  if (gFinalizing) return nullptr;
  if (!gItemList) gItemList = new TdxBarItemList;
  return gItemList;
}

void dxBarRegisterItem(TClass AItemClass, TClass AItemControlClass,
                       bool AVisible) {
  if (TdxBarItemList* list = RegdxItemList())
    list->Register(AItemClass, AItemControlClass, AVisible);
}

void dxBarUnregisterItem(TClass AItemClass) {
  if (TdxBarItemList* list = RegdxItemList()) list->Unregister(AItemClass);
}

TdxBarItemList::~TdxBarItemList() {
  for (Integer i = Count() - 1; i >= 0; --i) Unregister(i);
}

void TdxBarItemList::Register(TClass AItemClass, TClass AItemControlClass,
                              bool AVisible) {
  auto* record = new TRegItemRecord;
  record->ItemClass = AItemClass;
  record->ItemControlClass = AItemControlClass;
  record->Visible = AVisible;
  records_.push_back(record);
  RegisterClass(AItemClass);
}

void TdxBarItemList::Unregister(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Count()) return;
  TObjectPtr<TRegItemRecord> record(records_[static_cast<size_t>(AIndex)]);
  records_.erase(records_.begin() + AIndex);
  // Another record of the same class keeps the streaming name.
  const bool stillListed = std::any_of(
      records_.begin(), records_.end(),
      [&](TRegItemRecord* r) { return r->ItemClass == record->ItemClass; });
  if (!stillListed) UnRegisterClass(record->ItemClass);
}

void TdxBarItemList::Unregister(TClass AItemClass) {
  for (Integer i = 0; i < Count(); ++i)
    if (records_[static_cast<size_t>(i)]->ItemClass == AItemClass)
      return Unregister(i);
}

TRegItemRecord* TdxBarItemList::GetItem(Integer AIndex) const {
  return AIndex >= 0 && AIndex < Count() ? records_[static_cast<size_t>(AIndex)]
                                         : nullptr;
}

TClass TdxBarItemList::GetItemClass(Integer AIndex) const {
  TRegItemRecord* record = GetItem(AIndex);
  return record ? record->ItemClass : nullptr;
}

Integer TdxBarItemList::GetVisibleItemCount() const {
  return static_cast<Integer>(
      std::count_if(records_.begin(), records_.end(),
                    [](TRegItemRecord* r) { return r->Visible; }));
}

TClass TdxBarItemList::GetVisibleItemClass(Integer N) const {
  for (TRegItemRecord* r : records_)
    if (r->Visible && N-- == 0) return r->ItemClass;
  return nullptr;
}

TClass TdxBarItemList::GetItemControlClass(TClass AItemClass) const {
  for (TRegItemRecord* r : records_)
    if (r->ItemClass == AItemClass) return r->ItemControlClass;
  return nullptr;
}

void TdxBarItemList::SetItemControlClass(TClass AItemClass,
                                         TClass AItemControlClass) {
  for (TRegItemRecord* r : records_)
    if (r->ItemClass == AItemClass) {
      r->ItemControlClass = AItemControlClass;
      return;
    }
}

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

Integer TdxObjectList::Add(TObject* AObject) {
  if (!AObject) return -1;
  const Integer index = IndexOf(AObject);
  return index >= 0 ? index : TList::Add(AObject);
}

void TdxObjectList::AddList(TList* AList) {
  for (Integer i = 0; i < AList->Count(); ++i)
    Add(static_cast<TObject*>(AList->Get(i)));
}

void TdxObjectList::AddFromList(TList* ASource, TList* AExcluded) {
  for (Integer i = 0; i < ASource->Count(); ++i) {
    void* entry = ASource->Get(i);
    if (!AExcluded || AExcluded->IndexOf(entry) < 0)
      Add(static_cast<TObject*>(entry));
  }
}

void TdxObjectList::CopyList(TList* ASource, TList* ADestination) {
  ADestination->Clear();
  ADestination->SetCapacity(ASource->Capacity());
  auto* objects = dynamic_cast<TdxObjectList*>(ADestination);
  for (Integer i = 0; i < ASource->Count(); ++i) {
    if (objects)
      objects->Add(static_cast<TObject*>(ASource->Get(i)));
    else
      ADestination->Add(ASource->Get(i));
  }
}

void TdxObjectList::XorList(TList* A, TList* B) {
  Clear();
  AddFromList(A, B);
  AddFromList(B, A);
}

TObject* TdxObjectList::First() const { return GetItem(0); }
TObject* TdxObjectList::Last() const { return GetItem(Count() - 1); }
TObject* TdxObjectList::GetItem(Integer Index) const {
  return Index >= 0 && Index < Count() ? static_cast<TObject*>(Get(Index))
                                       : nullptr;
}

TdxComponentList::~TdxComponentList() {
  // Nothing is reported while the list empties.
  updateCount_ = 1;
  Clear();
}

TComponent* TdxComponentList::Items(Integer Index) const {
  return Index >= 0 && Index < Count() ? items_[static_cast<size_t>(Index)]
                                       : nullptr;
}

Integer TdxComponentList::IndexOf(TComponent* AComponent) const {
  auto it = std::find(items_.begin(), items_.end(), AComponent);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

Integer TdxComponentList::Add(TComponent* AComponent) {
  Insert(Count(), AComponent);
  return IndexOf(AComponent);
}

void TdxComponentList::Insert(Integer Index, TComponent* AComponent) {
  if (!AComponent) return;
  Index = std::clamp(Index, 0, Count());
  items_.insert(items_.begin() + Index, AComponent);
  if (!AComponent->InheritsFrom(ItemClass())) {
    // Not of the list's kind: out again at once.
    items_.erase(items_.begin() + Index);
    return;
  }
  Notify(AComponent, ccnAdded);
}

void TdxComponentList::Extract(TComponent* AComponent) {
  const Integer index = IndexOf(AComponent);
  if (index < 0) return;
  Notify(AComponent, ccnExtracting);
  items_.erase(items_.begin() + index);
  Notify(AComponent, ccnExtracted);
}

void TdxComponentList::Remove(TComponent* AComponent) {
  const Integer index = IndexOf(AComponent);
  if (index < 0) return;
  Notify(AComponent, ccnDeleting);
  items_.erase(items_.begin() + index);
}

void TdxComponentList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 ||
      NewIndex >= Count() || CurIndex == NewIndex)
    return;
  TComponent* moved = items_[static_cast<size_t>(CurIndex)];
  items_.erase(items_.begin() + CurIndex);
  items_.insert(items_.begin() + NewIndex, moved);
  Update(nullptr, ccnChanged);
}

void TdxComponentList::Exchange(Integer Index1, Integer Index2) {
  if (Index1 < 0 || Index1 >= Count() || Index2 < 0 || Index2 >= Count())
    return;
  std::swap(items_[static_cast<size_t>(Index1)],
            items_[static_cast<size_t>(Index2)]);
  Update(nullptr, ccnChanged);
}

void TdxComponentList::Clear() {
  while (!items_.empty()) Remove(items_.back());
}

void TdxComponentList::EndUpdate(bool ANotify) {
  if (updateCount_ > 0) --updateCount_;
  if (ANotify) Update(nullptr, ccnChanged);
}

void TdxComponentList::Update(TComponent* AComponent,
                              TcxComponentCollectionNotification AKind) {
  if (updateCount_ == 0) OnComponentListChanged(this, AComponent, AKind);
}

void TdxComponentList::Notify(TComponent* AComponent,
                              TcxComponentCollectionNotification AAction) {
  if (AAction != ccnExtracting) Update(AComponent, AAction);
}

TClass TdxBarComponentList::ItemClass() const {
  return TdxBarComponent::StaticClass();
}

void TdxBarComponentList::Notify(TComponent* AComponent,
                                 TcxComponentCollectionNotification AAction) {
  auto* component = static_cast<TdxBarComponent*>(AComponent);
  if (AAction == ccnAdded) component->AddChangeNotify(this);
  if ((AAction == ccnExtracted || AAction == ccnDeleting) &&
      !component->ComponentState().Contains(csDestroying))
    component->RemoveChangeNotify(this);
  TdxComponentList::Notify(AComponent, AAction);
}

void TdxEventHandlerCollection::Add(const TdxEventHandler& AHandler) {
  if (IndexOf(AHandler) < 0) handlers_.push_back(AHandler);
}

void TdxEventHandlerCollection::Remove(const TdxEventHandler& AHandler) {
  Delete(IndexOf(AHandler));
}

void TdxEventHandlerCollection::Delete(Integer AIndex) {
  if (AIndex >= 0 && AIndex < Count())
    handlers_.erase(handlers_.begin() + AIndex);
}

Integer TdxEventHandlerCollection::IndexOf(
    const TdxEventHandler& AHandler) const {
  auto it = std::find(handlers_.begin(), handlers_.end(), AHandler);
  return it == handlers_.end() ? -1
                               : static_cast<Integer>(it - handlers_.begin());
}

void TdxEventHandlerCollection::CallEvents(TObject* Sender, void* AData) {
  const auto handlers = handlers_;
  for (const TdxEventHandler& handler : handlers) handler(Sender, AData);
}

// ---------------------------------------------------------------------------
// Free routines
// ---------------------------------------------------------------------------

String GetTextOf(const String& S) {
  String result;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '&' && i + 1 < S.size()) {
      // Of a doubled mark one stays.
      ++i;
    }
    result += S[i];
  }
  return result;
}

Integer GetAccelPos(String& S, bool ADeleteMarks) {
  Integer pos = 0;
  String stripped;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '&' && i + 1 < S.size()) {
      if (S[i + 1] != '&' && pos == 0)
        pos = static_cast<Integer>(ADeleteMarks ? stripped.size() + 1 : i + 2);
      ++i;
    }
    stripped += S[i];
  }
  if (ADeleteMarks) S = stripped;
  return pos;
}

TdxBarItemVisible VisibleTodxBarVisible(bool AVisible) {
  return AVisible ? ivAlways : ivNever;
}

TdxBarItemViewLevel GetMaxViewLevel(TdxBarItemViewLevels ALevels) {
  for (int l = ivlLargeIconWithText; l <= ivlControlOnly; ++l)
    if (ALevels.Contains(static_cast<TdxBarItemViewLevel>(l)))
      return static_cast<TdxBarItemViewLevel>(l);
  return ivlDefault;
}

TdxBarItemViewLevel GetMinViewLevel(TdxBarItemViewLevels ALevels) {
  for (int l = ivlControlOnly; l >= ivlLargeIconWithText; --l)
    if (ALevels.Contains(static_cast<TdxBarItemViewLevel>(l)))
      return static_cast<TdxBarItemViewLevel>(l);
  return ivlDefault;
}

TdxBarItemViewLevel GetNextViewLevel(TdxBarItemViewLevels ALevels,
                                     TdxBarItemViewLevel ALevel) {
  for (int l = ALevel + 1; l <= ivlControlOnly; ++l)
    if (ALevels.Contains(static_cast<TdxBarItemViewLevel>(l)))
      return static_cast<TdxBarItemViewLevel>(l);
  return ivlDefault;
}

bool IsMouseDownMessage(UINT AMessage) {
  switch (AMessage) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool dxKillTimer(HWND AWnd, UINT_PTR& AID) {
  if (AID == 0) return false;
  ::KillTimer(AWnd, AID);
  AID = 0;
  return true;
}

TdxBarManager* GetBarManagerByComponent(TComponent* AComponent) {
  if (!AComponent) return nullptr;
  if (auto* manager = dynamic_cast<TdxBarManager*>(AComponent)) return manager;
  TdxBarManagerList* list = dxBarManagerList();
  if (!list) return nullptr;
  for (Integer i = 0; i < list->Count(); ++i) {
    TdxBarManager* manager = list->GetBarManager(i);
    if (manager->Owner() == AComponent) return manager;
  }
  return nullptr;
}

TdxBarManager* GetBarManagerByForm(TCustomForm* AForm) {
  return GetBarManagerByComponent(AForm);
}

TdxBarManager* GetBarManagerByWindow(HWND AWnd) {
  TWinControl* control = AWnd ? FindControl(AWnd) : nullptr;
  return control ? GetBarManagerByComponent(control) : nullptr;
}

bool IsAncestorComponentDifferencesDetection(TComponent* AComponent) {
  const TComponentState state = AComponent->ComponentState();
  return state.Contains(csLoading) && state.Contains(csAncestor) &&
         !state.Contains(csReading);
}
