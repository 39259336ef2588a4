#include "Menus.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <utility>

#include "Forms.h"
#include "TypInfo.h"

namespace {

// Command ids of live items. WM_COMMAND carries 16 bits, so ids are reused
// once freed.
std::unordered_map<Word, TMenuItem*> commandItems;
Word nextCommand = 1;

Word AllocateCommand(TMenuItem* Item) {
  for (UINT tries = 0; tries < 0xFFFF; ++tries) {
    Word id = nextCommand;
    nextCommand = static_cast<Word>(nextCommand == 0xFFFF ? 1 : id + 1);
    if (commandItems.emplace(id, Item).second) return id;
  }
  throw EMenuError("Too many menu items");
}

void ReleaseCommand(Word Id) {
  if (Id != 0) commandItems.erase(Id);
}

TMenuItem* ItemOfCommand(Word Id) {
  auto it = commandItems.find(Id);
  return it == commandItems.end() ? nullptr : it->second;
}

// Whether the menu chooses accelerators for the item's level.
bool AutoHotkeysFor(const TMenuItem* Item, const TMenu* Menu) {
  for (const TMenuItem* p = Item; p; p = p->Parent()) {
    if (p->AutoHotkeys() == maAutomatic) return true;
    if (p->AutoHotkeys() == maManual) return false;
  }
  return Menu && Menu->AutoHotkeys() == maAutomatic;
}

// The accelerator a caption marks ("&x"), 0 when none.
char MarkedHotkey(const String& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(
        std::toupper(static_cast<unsigned char>(Caption[i + 1])));
  }
  return 0;
}

// The shown captions of a level's items, with accelerators chosen for the
// unmarked ones when the level wants them.
std::vector<String> LevelCaptions(const TMenuItem* Parent, const TMenu* Menu) {
  std::vector<String> result;
  const Integer count = Parent->Count();
  result.reserve(count);
  String used;
  for (Integer i = 0; i < count; ++i) {
    if (char c = MarkedHotkey(Parent->Items(i)->Caption())) used += c;
  }
  for (Integer i = 0; i < count; ++i) {
    const TMenuItem* item = Parent->Items(i);
    String text = item->Caption();
    if (!item->IsLine() && MarkedHotkey(text) == 0 &&
        text.find('&') == String::npos && AutoHotkeysFor(item, Menu)) {
      for (size_t k = 0; k < text.size(); ++k) {
        const auto ch = static_cast<unsigned char>(text[k]);
        if (!std::isalnum(ch)) continue;
        const char up = static_cast<char>(std::toupper(ch));
        if (used.find(up) != String::npos) continue;
        used += up;
        text.insert(k, 1, '&');
        break;
      }
    }
    result.push_back(std::move(text));
  }
  return result;
}

bool HasImage(const TMenuItem* Item) {
  TCustomImageList* images = Item->GetImageList();
  if (images && Item->ImageIndex() >= 0 &&
      Item->ImageIndex() < images->Count()) {
    return true;
  }
  return Item->HasBitmap();
}

TSize ImageSize(TMenuItem* Item) {
  TCustomImageList* images = Item->GetImageList();
  if (images && Item->ImageIndex() >= 0 &&
      Item->ImageIndex() < images->Count()) {
    return {images->Width(), images->Height()};
  }
  if (Item->HasBitmap()) {
    return {Item->Bitmap()->Width(), Item->Bitmap()->Height()};
  }
  return {0, 0};
}

void DrawImage(TMenuItem* Item, TCanvas* Canvas, Integer X, Integer Y) {
  TCustomImageList* images = Item->GetImageList();
  if (images && Item->ImageIndex() >= 0 &&
      Item->ImageIndex() < images->Count()) {
    images->Draw(Canvas, X, Y, Item->ImageIndex(), Item->Enabled());
  } else if (Item->HasBitmap()) {
    Canvas->Draw(X, Y, Item->Bitmap());
  }
}

// The item a menu message names through its item data, checked against the
// live items so that a stale pointer is never followed.
TMenuItem* ItemOfData(UINT Id, ULONG_PTR Data) {
  TMenuItem* item = ItemOfCommand(static_cast<Word>(Id));
  return item && reinterpret_cast<ULONG_PTR>(item) == Data ? item : nullptr;
}

// The window that owns popup menus while they are shown.
struct PopupWindow {
  HWND handle = nullptr;

  HWND Get() {
    if (!handle) {
      handle = AllocateHWnd(
          TWndMethod::FromFunction([this](TMessage& M) { WndProc(M); }));
    }
    return handle;
  }

  void Destroy() {
    if (handle) DeallocateHWnd(handle);
    handle = nullptr;
  }

  void WndProc(TMessage& M) {
    switch (M.Msg) {
      case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
        if (mi->CtlType != ODT_MENU) break;
        TMenuItem* item = ItemOfData(mi->itemID, mi->itemData);
        if (!item) break;
        Measure(item, mi);
        M.Result = 1;
        return;
      }
      case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
        if (di->CtlType != ODT_MENU) break;
        TMenuItem* item = ItemOfData(di->itemID, di->itemData);
        if (!item) break;
        Draw(item, di);
        M.Result = 1;
        return;
      }
      case WM_MENUSELECT:
        if (Application) {
          const UINT flags = HIWORD(M.WParam);
          TMenuItem* item = (flags & MF_POPUP) || flags == 0xFFFF
                                ? nullptr
                                : ItemOfCommand(LOWORD(M.WParam));
          Application->SetHint(item ? item->Hint() : String());
        }
        break;
      default:
        break;
    }
    M.Result = ::DefWindowProcA(handle, M.Msg, M.WParam, M.LParam);
  }

  static bool OwnerDrawn(TMenuItem* Item) {
    TMenu* menu = Item->GetParentMenu();
    return menu && menu->OwnerDraw();
  }

  static void Measure(TMenuItem* Item, MEASUREITEMSTRUCT* MI) {
    if (!OwnerDrawn(Item)) {
      // The image of a system-drawn item.
      const TSize s = ImageSize(Item);
      MI->itemWidth = static_cast<UINT>(s.cx);
      MI->itemHeight = static_cast<UINT>(s.cy);
      return;
    }
    Integer w = 0, h = 0;
    {
      TWindowDC dc(nullptr);
      TCanvas canvas;
      TCanvasDCScope lend(&canvas, dc.get());
      if (Screen) canvas.Font()->Assign(Screen->MenuFont());
      Item->MeasureItem(&canvas, w, h);
    }
    MI->itemWidth = static_cast<UINT>(std::max<Integer>(w, 0));
    MI->itemHeight = static_cast<UINT>(std::max<Integer>(h, 0));
  }

  static void Draw(TMenuItem* Item, DRAWITEMSTRUCT* DI) {
    TCanvas canvas;
    TSavedDC saved(DI->hDC);
    TCanvasDCScope lend(&canvas, DI->hDC);
    const TRect r(DI->rcItem.left, DI->rcItem.top, DI->rcItem.right,
                  DI->rcItem.bottom);
    if (OwnerDrawn(Item)) {
      if (Screen) canvas.Font()->Assign(Screen->MenuFont());
      TOwnerDrawState state;
      if (DI->itemState & ODS_SELECTED) state.Include(odSelected);
      if (DI->itemState & ODS_GRAYED) state.Include(odGrayed);
      if (DI->itemState & ODS_DISABLED) state.Include(odDisabled);
      if (DI->itemState & ODS_CHECKED) state.Include(odChecked);
      if (DI->itemState & ODS_DEFAULT) state.Include(odDefault);
      if (DI->itemState & ODS_NOACCEL) state.Include(odNoAccel);
      Item->AdvancedDrawItem(&canvas, r, state);
    } else {
      DrawImage(Item, &canvas, r.Left, r.Top);
    }
  }
};

PopupWindow popupWindow;

constexpr Integer kImageGap = 4;
constexpr Integer kTextMargin = 6;

}  // namespace

String StripHotkey(const String& Text) {
  String result;
  result.reserve(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&') {
      if (i + 1 < Text.size() && Text[i + 1] == '&') {
        result += '&';
        ++i;
      }
      continue;
    }
    result += Text[i];
  }
  return result;
}

// ---------------------------------------------------------------------------
// TMenuActionLink
// ---------------------------------------------------------------------------

TMenuActionLink::TMenuActionLink(TMenuItem* AClient)
    : TActionLink(AClient), item_(AClient) {}
void TMenuActionLink::SetCaption(const String& Value) {
  item_->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) { item_->SetChecked(Value); }
void TMenuActionLink::SetEnabled(bool Value) { item_->SetEnabled(Value); }
void TMenuActionLink::SetHint(const String& Value) { item_->SetHint(Value); }
void TMenuActionLink::SetImageIndex(Integer Value) {
  item_->SetImageIndex(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value) {
  item_->SetShortCut(Value);
}
void TMenuActionLink::SetVisible(bool Value) { item_->SetVisible(Value); }

// ---------------------------------------------------------------------------
// TMenuItem
// ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
  command_ = AllocateCommand(this);
}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  while (!items_.empty()) {
    TMenuItem* child = items_.ExtractLast();
    child->parent_ = nullptr;
    Free(child);
  }
  actionLink_.reset();
  ReleaseCommand(command_);
}

TMenuItem* TMenuItem::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) {
    throw EMenuError(Format("Menu index out of range (%d)", {Index}));
  }
  return items_[Index];
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* p = this;
  while (p->parent_) p = p->parent_;
  return p->menu_;
}

Integer TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (!Item) throw EMenuError("Cannot insert a null menu item");
  if (Item->parent_) throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->parent_) {
    if (p == Item) throw EMenuError("Menu item cannot contain itself");
  }
  if (Index < 0 || Index > Count()) {
    throw EMenuError(Format("Menu index out of range (%d)", {Index}));
  }
  items_.AdoptAt(static_cast<std::size_t>(Index), Item);
  Item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
  if (!items_.Extract(Item)) return;
  Item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Delete(Integer Index) { Remove(Items(Index)); }

void TMenuItem::Clear() {
  while (!items_.empty()) Free(items_.back());
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  const String wanted = StripHotkey(ACaption);
  for (TMenuItem* item : items_) {
    if (SameText(StripHotkey(item->caption_), wanted)) return item;
  }
  return nullptr;
}

void TMenuItem::SetMenuIndex(Integer Value) {
  if (!parent_) return;
  TMenuItem* p = parent_;
  const Integer count = p->Count();
  Value = std::clamp<Integer>(Value, 0, count - 1);
  if (Value == MenuIndex()) return;
  p->items_.Move(static_cast<std::size_t>(MenuIndex()),
                 static_cast<std::size_t>(Value));
  Changed();
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  Changed();
}

void TMenuItem::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  Changed();
}

void TMenuItem::SetDefault(bool Value) {
  if (default_ == Value) return;
  // One default item per level.
  if (Value && parent_) {
    for (TMenuItem* sibling : parent_->items_) sibling->default_ = false;
  }
  default_ = Value;
  Changed();
}

void TMenuItem::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Changed();
}

void TMenuItem::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed();
}

void TMenuItem::SetRadioItem(bool Value) {
  if (radioItem_ == Value) return;
  radioItem_ = Value;
  Changed();
}

void TMenuItem::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Changed();
}

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  Bitmap()->Assign(Value);
  Changed();
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (shortCut_ == Value) return;
  shortCut_ = Value;
  Changed();
}

TCustomImageList* TMenuItem::GetImageList() const {
  TMenu* menu = GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

TBasicAction* TMenuItem::Action() const {
  return actionLink_ ? actionLink_->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) actionLink_ = std::make_unique<TMenuActionLink>(this);
  actionLink_->SetAction(Value);
}

void TMenuItem::InitiateAction() {
  if (actionLink_) actionLink_->Update();
}

void TMenuItem::InitiateActions() {
  // Update handlers may change the items.
  const std::vector<TMenuItem*> items = items_.Snapshot();
  for (TMenuItem* item : items) {
    if (IndexOf(item) < 0) continue;
    item->InitiateAction();
    if (IndexOf(item) >= 0) item->InitiateActions();
  }
}

void TMenuItem::Click() {
  // The handler may free this item (a menu rebuilt from its own item):
  // nothing of the item is touched after it ran.
  if (OnClick) {
    const TNotifyEvent handler = OnClick;
    handler(this);
  } else if (actionLink_) {
    actionLink_->Execute(this);
  }
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, Integer& Width, Integer& Height) {
  if (IsLine()) {
    Width = 0;
    Height = 8;
  } else {
    const TSize image = ImageSize(this);
    TMenu* menu = GetParentMenu();
    const String text = StripHotkey(menu ? menu->MenuItemText(this) : caption_);
    Width = image.cx + kImageGap + kTextMargin * 2 + ACanvas->TextWidth(text);
    Height = std::max<Integer>(ACanvas->TextHeight("Wg") + 4, image.cy + 4);
  }
  OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect,
                                 TOwnerDrawState State) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
    return;
  }
  const bool selected = State.Contains(odSelected);
  ACanvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  if (IsLine()) {
    const Integer y = (ARect.Top + ARect.Bottom) / 2;
    ACanvas->Pen()->SetColor(clBtnShadow);
    ACanvas->MoveTo(ARect.Left, y);
    ACanvas->LineTo(ARect.Right, y);
    return;
  }
  const TSize image = ImageSize(this);
  DrawImage(this, ACanvas, ARect.Left + 2,
            ARect.Top + (ARect.Height() - image.cy) / 2);
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor(!enabled_  ? clGrayText
                            : selected ? clHighlightText
                                       : clMenuText);
  if (default_) {
    TFontStyles style = ACanvas->Font()->Style();
    style.Include(fsBold);
    ACanvas->Font()->SetStyle(style);
  }
  TMenu* menu = GetParentMenu();
  const String text = menu ? menu->MenuItemText(this) : caption_;
  const size_t tab = text.find('\t');
  RECT r{ARect.Left + image.cx + kImageGap + kTextMargin, ARect.Top,
         ARect.Right - kTextMargin, ARect.Bottom};
  const UINT flags = DT_SINGLELINE | DT_VCENTER |
                     (State.Contains(odNoAccel) ? DT_HIDEPREFIX : 0);
  const String left = text.substr(0, tab);
  ::DrawTextA(ACanvas->Handle(), left.c_str(), static_cast<int>(left.size()),
              &r, flags | DT_LEFT);
  if (tab != String::npos) {
    const String right = text.substr(tab + 1);
    ::DrawTextA(ACanvas->Handle(), right.c_str(),
                static_cast<int>(right.size()), &r, flags | DT_RIGHT);
  }
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TMenuItem* item : items_) {
    if (item->Owner() == Root) Proc(item);
  }
}

void TMenuItem::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* item = dynamic_cast<TMenuItem*>(Child)) {
    if (item->parent_ == this) item->SetMenuIndex(Order);
  }
}

TComponent* TMenuItem::GetParentComponent() {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (parent_) parent_->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(Value)) {
    menu->Items()->Add(this);
  } else if (auto* item = dynamic_cast<TMenuItem*>(Value)) {
    item->Add(this);
  }
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && actionLink_ &&
      AComponent == actionLink_->Action()) {
    actionLink_.reset();
  }
}

// ---------------------------------------------------------------------------
// TMenu
// ---------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner)
    : TComponent(AOwner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  SetImages(nullptr);
  items_.reset();
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
  MenuChanged();
}

void TMenu::SetAutoHotkeys(TMenuAutoFlag Value) {
  if (autoHotkeys_ == Value) return;
  autoHotkeys_ = Value;
  MenuChanged();
}

void TMenu::SetOwnerDraw(bool Value) {
  if (ownerDraw_ == Value) return;
  ownerDraw_ = Value;
  MenuChanged();
}

namespace {

TMenuItem* FindIn(TMenuItem* Parent, UINT_PTR Value, TFindItemKind Kind) {
  for (Integer i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    if (Kind == fkCommand && item->Command() == Value) return item;
    if (Kind == fkShortCut && item->ShortCut() != 0 &&
        item->ShortCut() == Value) {
      return item;
    }
    if (TMenuItem* found = FindIn(item, Value, Kind)) return found;
  }
  return nullptr;
}

bool EnabledAndVisible(const TMenuItem* Item) {
  for (const TMenuItem* p = Item; p && p->Parent(); p = p->Parent()) {
    if (!p->Enabled() || !p->Visible()) return false;
  }
  return true;
}

}  // namespace

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const {
  // Menus are built afresh each time they are shown: no handle is kept
  // for an item.
  if (Kind == fkHandle) return nullptr;
  return FindIn(items_.get(), Value, Kind);
}

bool TMenu::DispatchCommand(Word ACommand) {
  TMenuItem* item = FindItem(ACommand, fkCommand);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::IsShortCut(const TMessage& Message) {
  const TShortCut sc = ::ShortCut(static_cast<Word>(Message.WParam),
                                  KeyDataToShiftState(Message.LParam));
  if (sc == 0) return false;
  TMenuItem* item = FindItem(sc, fkShortCut);
  if (!item) return false;
  item->InitiateAction();
  // The update may have freed or changed it.
  item = FindItem(sc, fkShortCut);
  if (!item || !EnabledAndVisible(item)) return false;
  item->Click();
  return true;
}

String TMenu::MenuItemText(const TMenuItem* Item) const {
  String text = Item->Caption();
  if (const TMenuItem* parent = Item->Parent()) {
    const Integer index = parent->IndexOf(Item);
    text = LevelCaptions(parent, this)[index];
  }
  if (Item->ShortCut() != 0) text += "\t" + ShortCutToText(Item->ShortCut());
  return text;
}

void TMenu::BuildItems(HMENU Menu, const TMenuItem* Parent) const {
  const std::vector<String> captions = LevelCaptions(Parent, this);
  UINT pos = 0;
  for (Integer i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    if (!item->Visible()) continue;
    String text = captions[i];
    if (item->ShortCut() != 0) {
      text += "\t" + ShortCutToText(item->ShortCut());
    }
    TMenuHandle sub;
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    mii.wID = item->Command();
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    if (item->IsLine() && !ownerDraw_) {
      mii.fType = MFT_SEPARATOR;
    } else {
      if (ownerDraw_) {
        mii.fType |= MFT_OWNERDRAW;
      } else {
        mii.fMask |= MIIM_STRING;
        mii.dwTypeData = text.data();
        mii.cch = static_cast<UINT>(text.size());
        if (HasImage(item)) {
          mii.fMask |= MIIM_BITMAP;
          mii.hbmpItem = HBMMENU_CALLBACK;
        }
      }
      if (item->RadioItem()) mii.fType |= MFT_RADIOCHECK;
      if (item->Checked()) mii.fState |= MFS_CHECKED;
      if (!item->Enabled()) mii.fState |= MFS_GRAYED;
      if (item->Default()) mii.fState |= MFS_DEFAULT;
      if (item->Count() > 0) {
        sub.reset(::CreatePopupMenu());
        BuildItems(sub.get(), item);
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = sub.get();
      }
    }
    if (!::InsertMenuItemA(Menu, pos, TRUE, &mii)) RaiseLastWin32Error();
    // The menu owns its submenu now.
    (void)sub.release();
    ++pos;
  }
}

TMenuHandle TMenu::CreateMenuHandle(bool Bar) const {
  TMenuHandle menu(Bar ? ::CreateMenu() : ::CreatePopupMenu());
  if (!menu) RaiseLastWin32Error();
  BuildItems(menu.get(), items_.get());
  return menu;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  items_->GetChildren(Proc, Root);
}

void TMenu::SetChildOrder(TComponent* Child, Integer Order) {
  items_->SetChildOrder(Child, Order);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) {
    images_ = nullptr;
    MenuChanged();
  }
}

// ---------------------------------------------------------------------------
// TMainMenu
// ---------------------------------------------------------------------------

TMainMenu::~TMainMenu() {
  if (window_ && ::IsWindow(window_) && ::GetMenu(window_) == handle_.get()) {
    ::SetMenu(window_, nullptr);
  }
  DestroyMenuHandle();
}

HMENU TMainMenu::Handle() {
  if (!handle_) handle_ = CreateMenuHandle(true);
  return handle_.get();
}

void TMainMenu::SetWindowHandle(HWND Value) {
  if (window_ == Value) return;
  if (window_ && ::IsWindow(window_) && ::GetMenu(window_) == handle_.get()) {
    ::SetMenu(window_, nullptr);
  }
  window_ = Value;
  if (window_) {
    ::SetMenu(window_, Handle());
    ::DrawMenuBar(window_);
  }
}

void TMainMenu::MenuChanged() {
  if (!handle_ || ComponentState().Contains(csLoading)) return;
  // The window shows the new menu before the old one goes.
  TMenuHandle old = std::exchange(handle_, CreateMenuHandle(true));
  if (window_ && ::IsWindow(window_)) {
    ::SetMenu(window_, handle_.get());
    ::DrawMenuBar(window_);
  }
}

void TMainMenu::DestroyMenuHandle() { handle_.reset(); }

// ---------------------------------------------------------------------------
// TPopupMenu
// ---------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() { SetPopupComponent(nullptr); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (popupComponent_ == Value) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = Value;
  if (popupComponent_) popupComponent_->FreeNotification(this);
}

HWND TPopupMenu::WindowHandle() const { return popupWindow.Get(); }

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupComponent_) {
    popupComponent_ = nullptr;
  }
}

void TPopupMenu::Popup(Integer X, Integer Y) {
  popupPoint_ = TPoint(X, Y);
  DoPopup(this);
  Items()->InitiateActions();
  const TMenuHandle menu = CreateMenuHandle(false);
  UINT flags = TPM_RIGHTBUTTON | TPM_RETURNCMD;
  if (alignment_ == paRight) {
    flags |= TPM_RIGHTALIGN;
  } else if (alignment_ == paCenter) {
    flags |= TPM_CENTERALIGN;
  }
  // The chosen command comes back as the result, so the item runs after
  // the menu closed and its handler may rebuild or free the menu.
  const BOOL command =
      ::TrackPopupMenu(menu.get(), flags, X, Y, 0, WindowHandle(), nullptr);
  OnClose(this);
  if (command > 0) DispatchCommand(static_cast<Word>(command));
}

// ---------------------------------------------------------------------------
// Published properties and the unit
// ---------------------------------------------------------------------------

namespace {

void MenusStartup() {
  RegisterEnum<TMenuAutoFlag>("TMenuAutoFlag",
                              {"maAutomatic", "maManual", "maParent"});
  RegisterEnum<TPopupAlignment>("TPopupAlignment",
                                {"paLeft", "paRight", "paCenter"});

  TPublished<TMenuItem>()
      .Property("Action", &TMenuItem::Action, &TMenuItem::SetAction)
      .Property("AutoHotkeys", &TMenuItem::AutoHotkeys,
                &TMenuItem::SetAutoHotkeys, maParent)
      .Property("Bitmap", &TMenuItem::Bitmap, &TMenuItem::SetBitmap)
      .Stored(&TMenuItem::HasBitmap)
      .Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
      .Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
      .Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
      .Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
      .Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
      .Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex,
                -1)
      .Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem,
                false)
      .Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut,
                TShortCut{0})
      .Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
      .Event("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick)
      .Event("OnMeasureItem", &TMenuItem::OnMeasureItem,
             &TMenuItem::OnMeasureItem)
      .Event("OnDrawItem", &TMenuItem::OnDrawItem, &TMenuItem::OnDrawItem)
      .Event("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem,
             &TMenuItem::OnAdvancedDrawItem);
  TPublished<TMenu>()
      .Property("AutoHotkeys", &TMenu::AutoHotkeys, &TMenu::SetAutoHotkeys,
                maAutomatic)
      .Property("Images", &TMenu::Images, &TMenu::SetImages)
      .Property("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw, false);
  TPublished<TPopupMenu>()
      .Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                paLeft)
      .Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup,
                true)
      .Event("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup)
      .Event("OnClose", &TPopupMenu::OnClose, &TPopupMenu::OnClose);
  RegisterClasses({TMenuItem::StaticClass(), TMainMenu::StaticClass(),
                   TPopupMenu::StaticClass()});
}

void MenusShutdown() { popupWindow.Destroy(); }

}  // namespace

VARNEL_UNIT(Menus, ({"Controls", "Forms", "ActnList"}), &MenusStartup,
            &MenusShutdown);
