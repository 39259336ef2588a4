#include "dxBarPopupMenu.h"

#include <deque>

#include "Forms.h"
#include "ScopeGuard.h"
#include "WinApi.h"
#include "dxBarItemKinds.h"
#include "dxBarSubMenu.h"

namespace {

TdxBarManager* ManagerFor(TComponent* AOwner) {
  if (TdxBarManager* manager = GetBarManagerByComponent(AOwner)) return manager;
  TdxBarManagerList* list = dxBarManagerList();
  return list && list->Count() > 0 ? list->GetBarManager(0) : nullptr;
}

}  // namespace

TdxBarPopupMenu::TdxBarPopupMenu(TComponent* AOwner)
    : TdxBarCustomPopupMenu(AOwner) {
  TdxBarManager* manager = ManagerFor(AOwner);
  if (!manager) throw Exception(cxGetResourceString(dxSBAR_NOBARMANAGERS));
  SetBarManagerField(manager);
  itemLinks_ = new TdxBarSubMenuControlItemLinks(manager, this);
  itemLinks_->SetUseRecentItems(false);
}

TdxBarPopupMenu::~TdxBarPopupMenu() {
  if (itemLinks_) itemLinks_->DestroyBarControl();
  FreeAndNil(itemLinks_);
}

void TdxBarPopupMenu::SetBarManager(TdxBarManager* Value) {
  if (!Value || Value == barManager_) return;
  SetBarManagerField(Value);
  itemLinks_->SetBarManager(Value);
}

void TdxBarPopupMenu::Loaded() {
  TdxBarCustomPopupMenu::Loaded();
  itemLinks_->LoadItemNames();
  itemLinks_->Loaded(true);
}

bool TdxBarPopupMenu::IsShortCut(TShortCut AShortCut) {
  return itemLinks_->IsShortCut(AShortCut);
}

TShortCut TdxBarPopupMenu::ShortCutOfKeyMessage(const TMessage& AMessage) {
  const Word key = static_cast<Word>(AMessage.WParam);
  if (key == 0) return 0;
  TShortCut result = key;
  if (::GetKeyState(VK_SHIFT) < 0) result |= scShift;
  if (::GetKeyState(VK_CONTROL) < 0) result |= scCtrl;
  if (AMessage.LParam & (1 << 29)) result |= scAlt;
  return result;
}

bool TdxBarPopupMenu::IsShortCutKey(const TMessage& AMessage) {
  const TShortCut shortCut = ShortCutOfKeyMessage(AMessage);
  return shortCut != 0 && IsShortCut(shortCut);
}

bool TdxBarPopupMenu::CanContainItem(TdxBarItem* AItem, String& AErrorText) {
  if (!AItem->CanBePlacedOn(pkSubItemOrPopupMenu, nullptr, AErrorText))
    return false;
  // A button that drops this menu down counts as a reference too.
  auto refersToThis = [this](TdxBarItem* AItem) {
    auto* button = dynamic_cast<TdxBarButton*>(AItem);
    return button && button->DropDownMenu() == this;
  };
  if (refersToThis(AItem) ||
      dxBarLinksReferTo(AItem->GetItemLinks(), refersToThis)) {
    AErrorText = cxGetResourceString(dxSBAR_RECURSIVEMENUS);
    return false;
  }
  return true;
}

TCustomdxBarControl* TdxBarPopupMenu::CreateBarControl() {
  return barManager_ ? dxBarCreateSubMenuControl(barManager_) : nullptr;
}

TdxBarSubMenuControl* TdxBarPopupMenu::SubMenuControl() const {
  return dynamic_cast<TdxBarSubMenuControl*>(itemLinks_->BarControl());
}

void TdxBarPopupMenu::SubMenuPopup(TObject*) {
  popupVisible_ = true;
  OnPopup(this);
}

void TdxBarPopupMenu::SubMenuCloseUp(TObject*) {
  popupVisible_ = false;
  OnCloseUp(this);
}

void TdxBarPopupMenu::PopupFromCursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  Popup(p.x, p.y);
}

void TdxBarPopupMenu::Popup(Integer X, Integer Y) {
  if (SubMenuControl()) return;
  // Whatever holds the mouse lets it go: the menu takes the input now.
  if (!(barManager_ && barManager_->IsCustomizing())) {
    if (HWND capture = ::GetCapture()) {
      ::SendMessageA(capture, CM_CANCELMODE, 0, 0);
      ::ReleaseCapture();
    }
  }
  itemLinks_->CreateBarControl();
  TdxBarSubMenuControl* menu = SubMenuControl();
  if (!menu) return;
  menu->SetPosition(X, Y);
  if (OwnerItemControl && OwnerItemControl->Parent()) {
    OwnerItemControl->Parent()->SetChildBar(menu);
    menu->SetParentItemControl(OwnerItemControl);
  }
  menu->OwnerBounds = ownerBounds_;
  menu->OwnerControl = ownerControl_;
  menu->OwnerWidth = ownerWidth_;
  menu->OwnerHeight = ownerHeight_;
  if (auto* owner = dynamic_cast<TWinControl*>(Owner()))
    menu->ParentWindow = owner->Handle();
  menu->OnPopup = TNotifyEvent(this, &TdxBarPopupMenu::SubMenuPopup);
  menu->OnCloseUp = TNotifyEvent(this, &TdxBarPopupMenu::SubMenuCloseUp);
  menu->ShowAnimation = showAnimation_;
  try {
    menu->Show();
  } catch (...) {
    if (TdxBarSubMenuControl* open = SubMenuControl()) open->HideAll();
    throw;
  }
  if (useOwnLoop_) RunMessageLoop();
}

void TdxBarPopupMenu::RunMessageLoop() {
  TcxObjectLink* self = cxAddObjectLink(this);
  // Commands that arrive while the menu is open wait for it to close: a
  // menu must not run them under the user's choice, nor drop them.
  std::deque<MSG> commands;
  TScopeGuard done([&] {
    for (const MSG& m : commands)
      ::PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
    cxRemoveObjectLink(self);
  });
  while (self->Target && popupVisible_) {
    MSG msg{};
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!self->Target || !popupVisible_) {
      // Closed while waiting: the message goes back to its window.
      ::PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      break;
    }
    if (msg.message == WM_COMMAND) {
      commands.push_back(msg);
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void TdxBarPopupMenu::PopupEx(Integer X, Integer Y, Integer AOwnerWidth,
                              Integer AOwnerHeight, bool AShowAnimation,
                              const TRect* AOwnerBounds,
                              bool AUseOwnMessageLoop,
                              TWinControl* AOwnerControl) {
  ownerWidth_ = AOwnerWidth;
  ownerHeight_ = AOwnerHeight;
  if (AOwnerBounds) ownerBounds_ = *AOwnerBounds;
  showAnimation_ = AShowAnimation;
  useOwnLoop_ = AUseOwnMessageLoop;
  ownerControl_ = AOwnerControl;
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard restore([&] {
    if (self->Target) {
      ownerWidth_ = 0;
      ownerHeight_ = 0;
      showAnimation_ = true;
      useOwnLoop_ = true;
      ownerControl_ = nullptr;
    }
    cxRemoveObjectLink(self);
  });
  Popup(X, Y);
}

namespace {

void PopupMenuStartup() {
  using P = TdxBarPopupMenu;
  TPublished<TdxBarPopupMenu>()
      .Property("BarSize", &P::BarSize, &P::SetBarSize, 0)
      .Property("ItemLinks", &P::ItemLinks)
      .Property("UseRecentItems", &P::UseRecentItems, &P::SetUseRecentItems,
                false)
      .Event("OnCloseUp", &P::OnCloseUp, &P::OnCloseUp)
      .Event("OnPopup", &P::OnPopup, &P::OnPopup);
  RegisterClasses({TdxBarPopupMenu::StaticClass()});
}

void PopupMenuShutdown() { UnRegisterClass(TdxBarPopupMenu::StaticClass()); }

}  // namespace

VARNEL_UNIT(dxBarPopupMenu, ({"dxBar"}), &PopupMenuStartup, &PopupMenuShutdown);
