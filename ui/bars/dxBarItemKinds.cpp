#include "dxBarItemKinds.h"

#include <algorithm>
#include <array>
#include <functional>
#include <set>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "WinApi.h"
#include "dxBarKindControls.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"

// ---------------------------------------------------------------------------
// Shared routines
// ---------------------------------------------------------------------------

namespace {

// The links, or the menus they open, hold an item the test picks out:
// placing the links under it would make a menu that opens itself.
bool LinksReferTo(TdxBarItemLinks* ALinks,
                  const std::function<bool(TdxBarItem*)>& AIsTarget,
                  std::set<const TdxBarItemLinks*>& AVisited) {
  if (!ALinks || !AVisited.insert(ALinks).second) return false;
  for (Integer i = 0; i < ALinks->Count(); ++i) {
    TdxBarItem* item = ALinks->Items(i)->Item();
    if (!item) continue;
    if (AIsTarget(item)) return true;
    if (LinksReferTo(item->GetItemLinks(), AIsTarget, AVisited)) return true;
  }
  return false;
}

bool IsOnToolbar(const TdxBarItemLink* ALink) {
  if (!ALink || !ALink->Links()) return false;
  IdxBarLinksOwner* owner = ALink->Links()->Owner();
  return owner && owner->IsBar();
}

constexpr TdxBarKinds AllBarKinds{bkBarControl, bkBarQuickControl, bkSubMenu};

}  // namespace

bool dxBarLinksReferTo(TdxBarItemLinks* ALinks,
                       const std::function<bool(TdxBarItem*)>& AIsTarget) {
  std::set<const TdxBarItemLinks*> visited;
  return LinksReferTo(ALinks, AIsTarget, visited);
}

bool dxBarLinksReferTo(TdxBarItemLinks* ALinks, const TdxBarItem* AItem) {
  return dxBarLinksReferTo(
      ALinks, [AItem](TdxBarItem* AOther) { return AOther == AItem; });
}

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

TdxBarButton::TdxBarButton(TComponent* AOwner) : TdxBarItem(AOwner) {}

TdxBarButton::~TdxBarButton() {
  if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
}

String TdxBarButton::GetNewCaption() {
  return cxGetResourceString(dxSBAR_NEWBUTTONCAPTION);
}

TdxBarButtonStyle TdxBarButton::ButtonStyle() const {
  const bool checked = states_.Contains(bstChecked);
  if (states_.Contains(bstDropDown))
    return checked ? bsCheckedDropDown : bsDropDown;
  return checked ? bsChecked : bsDefault;
}

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle Value) {
  if (Value == ButtonStyle()) return;
  states_ = {};
  if (Value == bsChecked || Value == bsCheckedDropDown)
    states_.Include(bstChecked);
  if (Value == bsDropDown || Value == bsCheckedDropDown)
    states_.Include(bstDropDown);
  SetDown(false);
  if (!GetIsLoading()) UpdateEx(AllBarKinds);
  Changed(false);
}

void TdxBarButton::SetGroupIndex(Integer Value) {
  if (Value == groupIndex_) return;
  // A button that is not a check button never belongs to a group.
  groupIndex_ = IsChecked() ? Value : 0;
  SetDown(false);
}

std::vector<TdxBarButton*> TdxBarButton::GroupMembers() const {
  std::vector<TdxBarButton*> result;
  if (!barManager_ || groupIndex_ == 0) return result;
  for (Integer i = 0; i < barManager_->ItemCount(); ++i) {
    auto* button = dynamic_cast<TdxBarButton*>(barManager_->Items(i));
    if (button && button->groupIndex_ == groupIndex_ && button->IsChecked())
      result.push_back(button);
  }
  return result;
}

void TdxBarButton::SetAllowAllUp(bool Value) {
  allowAllUp_ = Value;
  if (groupIndex_ == 0 || !barManager_) return;
  // The whole group shares the value, check buttons or not.
  for (Integer i = 0; i < barManager_->ItemCount(); ++i)
    if (auto* button = dynamic_cast<TdxBarButton*>(barManager_->Items(i)))
      if (button->groupIndex_ == groupIndex_) button->allowAllUp_ = Value;
}

void TdxBarButton::SetDown(bool Value) {
  if (Value == down_ || (Value && !IsChecked())) return;
  TdxBarButton* toRaise = nullptr;
  if (!GetIsLoading() && IsChecked() && groupIndex_ != 0) {
    const std::vector<TdxBarButton*> members = GroupMembers();
    if (Value) {
      for (TdxBarButton* member : members)
        if (member != this && member->down_) {
          toRaise = member;
          break;
        }
    } else {
      const bool otherDown = std::any_of(
          members.begin(), members.end(),
          [this](TdxBarButton* b) { return b != this && b->down_; });
      if (!allowAllUp_ && !otherDown) return;
    }
  }
  down_ = Value;
  if (GetIsLoading()) return;
  Update();
  if (toRaise) toRaise->SetDown(false);
}

bool TdxBarButton::IsDownStored() const {
  return !(ActionLink() &&
           const_cast<TdxBarItemActionLink*>(ActionLink())->IsCheckedLinked());
}

void TdxBarButton::SetDropDownEnabled(bool Value) {
  if (dropDownEnabled_ == Value) return;
  dropDownEnabled_ = Value;
  if (!GetIsLoading()) Update();
}

void TdxBarButton::SetLowered(bool Value) {
  if (lowered_ == Value) return;
  lowered_ = Value;
  if (!GetIsLoading()) UpdateEx(AllBarKinds);
}

void TdxBarButton::SetDropDownMenu(TdxBarCustomPopupMenu* Value) {
  if (dropDownMenu_ == Value) return;
  if (Value && dxBarLinksReferTo(Value->GetItemLinks(), this))
    throw Exception(cxGetResourceString(dxSBAR_RECURSIVEMENUS));
  if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = Value;
  if (dropDownMenu_) dropDownMenu_->FreeNotification(this);
}

void TdxBarButton::Notification(TComponent* AComponent, TOperation Operation) {
  TdxBarItem::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == dropDownMenu_)
    dropDownMenu_ = nullptr;
}

TdxBarItemLinks* TdxBarButton::GetItemLinks() const {
  return dropDownMenu_ ? dropDownMenu_->GetItemLinks() : nullptr;
}

bool TdxBarButton::CanContainItem(TdxBarItem* AItem, String& AErrorText) {
  AErrorText.clear();
  if (!dropDownMenu_) return false;
  TdxBarItemLinks* links = dropDownMenu_->GetItemLinks();
  return links && links->CanContainItem(AItem, AErrorText);
}

TCustomdxBarControl* TdxBarButton::CreateBarControl() {
  TdxBarItemLinks* links = GetItemLinks();
  if (!links) return nullptr;
  links->CreateBarControl();
  return links->BarControl();
}

TdxBarPaintStyle dxBarButtonPaintStyleOnBar(TdxBarItemLink* ALink) {
  if (!ALink) return psStandard;
  const TdxBarPaintStyle style = ALink->PaintStyle();
  TdxBarItemControl* control = ALink->Control();
  // A standard button without an icon shows its caption instead.
  if (style == psStandard && control &&
      !control->IconAssigned(control->GetViewSize()))
    return psCaption;
  return style;
}

bool TdxBarButton::HasAccel(TdxBarItemLink* ALink) const {
  if (!TdxBarItem::HasAccel(ALink)) return false;
  if (!IsOnToolbar(ALink)) return true;
  // A toolbar button that shows only its glyph has no accelerator.
  const TdxBarPaintStyle style = dxBarButtonPaintStyleOnBar(ALink);
  return style == psCaption || style == psCaptionGlyph;
}

void TdxBarButton::PaintStyleChanged() {
  for (Integer i = 0; i < GetLinkCount(); ++i) {
    TdxBarItemLink* link = GetLinks(i);
    if (link->Control() && !link->UserDefine().Contains(udPaintStyle))
      link->Control()->Changed(iccPaintStyle);
  }
}

void TdxBarButton::Click() {
  if (GetEnabled() && IsChecked()) SetDown(!down_);
  TdxBarItem::Click();
}

bool TdxBarButton::IsShortCut(TShortCut AShortCut) {
  if (TdxBarItem::IsShortCut(AShortCut)) return true;
  return states_.Contains(bstDropDown) && dropDownMenu_ &&
         dropDownMenu_->IsShortCut(AShortCut);
}

void TdxBarButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TdxBarItem::ActionChange(Sender, CheckDefaults);
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (action && action == Action() && (!CheckDefaults || !down_))
    SetDown(action->Checked());
}

void TdxBarButton::DoDropDown(TdxBarItemControl* AControl, Integer X, Integer Y,
                              bool AByMouse) {
  if (!dropDownMenu_ || !AControl || !AControl->Parent()) return;
  auto* menu = dynamic_cast<TdxBarPopupMenu*>(dropDownMenu_);
  if (!menu) return dropDownMenu_->Popup(X, Y);
  TCustomdxBarControl* bar = AControl->Parent();
  const TRect owner = bar->GetItemScreenRect(AControl);
  const bool sideways = bar->Kind() == bkSubMenu || bar->IsRealVertical();
  bool animate = true;
  if (auto* buttonLike = dynamic_cast<TdxBarButtonLikeControl*>(AControl)) {
    animate = buttonLike->MouseOpen;
    buttonLike->MouseOpen = false;
  }
  {
    TRestoreOnExit<TdxBarItemControl*> opener(menu->OwnerItemControl, AControl);
    // The call returns while the menu is open.
    menu->PopupEx(X, Y, sideways ? owner.Width() : 0,
                  sideways ? 0 : owner.Height(), animate, &owner, false, bar);
  }
  TdxBarSubMenuControl* open = menu->SubMenuControl();
  if (!open || AByMouse) return;
  TdxBarItemLink* first = menu->ItemLinks()->First();
  if (first && first->Control()) open->SetKeySelectedItem(first->Control());
}

// ---------------------------------------------------------------------------
// Labels and separators
// ---------------------------------------------------------------------------

TdxBarLabel::TdxBarLabel(TComponent* AOwner) : TdxBarItem(AOwner) {
  SetShowCaption(true);
}

bool TdxBarSeparator::CanBePlacedOn(TdxBarItemControlParentKind AParentKind,
                                    TdxBar*, String& AErrorText) {
  if (AParentKind == pkSubItemOrPopupMenu) {
    AErrorText.clear();
    return true;
  }
  AErrorText = cxGetResourceString(dxSBAR_CANTPLACESEPARATOR);
  return false;
}

String TdxBarSeparator::GetNewCaption() {
  return cxGetResourceString(dxSBAR_NEWSEPARATORCAPTION);
}

// ---------------------------------------------------------------------------
// Window items
// ---------------------------------------------------------------------------

TClass TdxBarWindowItem::GetControlClass(bool AIsVertical) const {
  if (!AIsVertical) return TdxBarItem::GetControlClass(false);
  TdxBarItemList* list = RegdxItemList();
  return list ? list->GetItemControlClass(TdxBarButton::StaticClass())
              : nullptr;
}

void TdxBarWindowItem::SetText(const String& Value) {
  if (Value == text_) return;
  text_ = Value;
  Update();
  Change();
  Update();
}

void TdxBarWindowItem::Change() {
  if (!GetIsLoading()) OnChange(this);
}

TdxBarWinControl* TdxBarWindowItem::CurWinControl() const {
  TdxBarItemLink* link = GetCurItemLink();
  return link ? dynamic_cast<TdxBarWinControl*>(link->Control()) : nullptr;
}

String TdxBarWindowItem::GetCurText() const {
  if (!GetCurItemLink()) return GetText();
  TdxBarWinControl* control = CurWinControl();
  return control ? control->GetText() : String();
}

void TdxBarWindowItem::SetCurText(const String& Value) {
  if (!GetCurItemLink()) return SetText(Value);
  if (TdxBarWinControl* control = CurWinControl()) control->SetText(Value);
}

TdxBarItemLink* TdxBarWindowItem::GetFocusedItemLink() const {
  TdxBarWinControl* control = CurWinControl();
  return control && control->Focused() ? GetCurItemLink() : nullptr;
}

void TdxBarWindowItem::SetFocus(bool AOnVisibleBarOnly) {
  for (Integer i = 0; i < GetLinkCount(); ++i) {
    auto* control = dynamic_cast<TdxBarWinControl*>(GetLinks(i)->Control());
    if (!control) continue;
    TCustomdxBarControl* bar = control->Parent();
    if (!bar) continue;
    if (AOnVisibleBarOnly &&
        !(bar->HandleAllocated() && ::IsWindowVisible(bar->Handle())))
      continue;
    // A menu shows windowed items as well as a toolbar does: the link is
    // focused on whichever bar window holds it.
    bar->BarGetFocus(control);
    control->Click(false);
    return;
  }
}

// ---------------------------------------------------------------------------
// Edits
// ---------------------------------------------------------------------------

TdxCustomBarEdit::TdxCustomBarEdit(TComponent* AOwner)
    : TdxBarWindowItem(AOwner) {
  SetShowCaption(false);
  SetWidth(100);
}

void TdxCustomBarEdit::SetWidth(Integer Value) {
  if (Value <= 0 || Value == GetWidth()) return;
  if (GetIsLoading()) {
    // Stored now, applied by the controls once loading ends.
    TRestoreOnExit<bool> quiet(suppressWidthChange_, true);
    TdxBarItem::SetWidth(Value);
    return;
  }
  TdxBarItem::SetWidth(Value);
}

void TdxCustomBarEdit::WidthChanged() {
  if (!suppressWidthChange_) TdxBarWindowItem::WidthChanged();
}

bool TdxCustomBarEdit::HasAccel(TdxBarItemLink* ALink) const {
  if (!TdxBarWindowItem::HasAccel(ALink)) return false;
  return !(IsOnToolbar(ALink) && !ShowCaption());
}

void TdxCustomBarEdit::ReadState(TReader* Reader) {
  // A glyph read from the stream replaces any earlier one.
  if (!glyphLoaded_) {
    glyphLoaded_ = true;
    if (Glyph()) Glyph()->Assign(nullptr);
  }
  TdxBarWindowItem::ReadState(Reader);
}

void TdxBarEdit::DrawInterior(TdxBarItemControl*, TcxCanvas* ACanvas,
                              const TRect& ARect, TdxBarItemLink*) {
  if (!ACanvas) return;
  RECT r = dxRECT(ARect);
  const String text = GetText();
  ::DrawTextA(ACanvas->Handle(), text.c_str(), static_cast<int>(text.size()),
              &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// ---------------------------------------------------------------------------
// Combos
// ---------------------------------------------------------------------------

TCustomdxBarComboControl* TCustomdxBarCombo::CurComboControl() const {
  TdxBarItemLink* link = GetCurItemLink();
  return link ? dynamic_cast<TCustomdxBarComboControl*>(link->Control())
              : nullptr;
}

bool TCustomdxBarCombo::GetDroppedDown() const {
  TCustomdxBarComboControl* control = CurComboControl();
  return control && control->DroppedDown();
}

void TCustomdxBarCombo::SetDroppedDown(bool Value) {
  if (TCustomdxBarComboControl* control = CurComboControl())
    control->SetDroppedDown(Value);
}

bool TCustomdxBarCombo::CheckKeyForDropDownWindow(Word AKey,
                                                  TShiftState AShift) {
  bool result = AKey != VK_TAB && AKey != VK_RETURN && AKey != VK_ESCAPE;
  OnCheckKeyForDropDownWindow(this, AKey, AShift, result);
  return result;
}

HWND TCustomdxBarCombo::GetDropDownWindow() {
  HWND window = nullptr;
  OnGetDropDownWindow(this, window);
  return window;
}

void TCustomdxBarCombo::InternalInitDropDownWindow(TWinControl* AWindow) {
  TCustomdxBarComboControl* control = CurComboControl();
  if (!AWindow || !control) return;
  if (TFont* font = control->GetEditFont()) AWindow->Font()->Assign(font);
}

TPoint TCustomdxBarCombo::CheckDropDownPoint(TPoint P,
                                             TSize AWindowSize) const {
  TdxBarItemLink* link = GetCurItemLink();
  TdxBarItemControl* control = link ? link->Control() : nullptr;
  const TRect item = control ? control->GetItemBounds() : TRect{};
  const Integer W = item.Right - item.Left;
  const Integer H = item.Bottom - item.Top;
  const Integer w = AWindowSize.cx;
  const Integer h = AWindowSize.cy;
  const RECT area = dxRECT(dxBarGetWorkArea(P));
  TCustomdxBarControl* bar = control ? control->Parent() : nullptr;
  const bool sideways =
      bar && (bar->Kind() == bkSubMenu || bar->IsRealVertical());
  if (sideways) {
    if (P.X + w > area.right && area.right - P.X < P.X - W - area.left)
      P.X -= w + W;
    if (P.Y + h > area.bottom) P.Y = area.bottom - h;
  } else {
    if (P.X + w > area.right) P.X = area.right - w;
    if (P.Y + h > area.bottom && area.bottom - P.Y < P.Y - H - area.top)
      P.Y -= H + h;
  }
  P.X = std::max<Integer>(P.X, area.left);
  P.Y = std::max<Integer>(P.Y, area.top);
  return P;
}

void TCustomdxBarCombo::DropDown(Integer X, Integer Y) {
  OnDropDown(this);
  HWND window = GetDropDownWindow();
  if (!window) return;
  InitDropDownWindow();
  RECT r{};
  ::GetWindowRect(window, &r);
  const TPoint p =
      CheckDropDownPoint({X, Y}, {r.right - r.left, r.bottom - r.top});
  ::SetWindowPos(window, nullptr, p.X, p.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                     SWP_SHOWWINDOW);
  AfterDropDown();
}

void TCustomdxBarCombo::CloseUp() {
  if (HWND window = GetDropDownWindow()) ::ShowWindow(window, SW_HIDE);
  OnCloseUp(this);
}

// --- List combos -------------------------------------------------------------

TdxBarCustomCombo::TdxBarCustomCombo(TComponent* AOwner)
    : TCustomdxBarCombo(AOwner), items_(new TStringList) {
  items_->OnChange = TNotifyEvent(this, &TdxBarCustomCombo::ItemsChanged);
}

TdxBarCustomCombo::~TdxBarCustomCombo() { items_->OnChange = {}; }

TdxBarComboControl* TdxBarCustomCombo::CurListControl() const {
  TdxBarItemLink* link = GetCurItemLink();
  return link ? dynamic_cast<TdxBarComboControl*>(link->Control()) : nullptr;
}

void TdxBarCustomCombo::SetItemIndex(Integer Value) {
  if (Value == itemIndex_) return;
  itemIndex_ = Value < 0 || Value >= items_->Count() ? -1 : Value;
  const String text = itemIndex_ >= 0 ? items_->Strings(itemIndex_) : String();
  if (TdxBarWindowItem::GetText() != text) return SetText(text);
  // The text stays, but every index change is a change for the program.
  Update();
  Change();
  Update();
}

void TdxBarCustomCombo::SetText(const String& Value) {
  if (!(itemIndex_ >= 0 && itemIndex_ < items_->Count() &&
        items_->Strings(itemIndex_) == Value))
    itemIndex_ = items_->IndexOf(Value);
  TdxBarWindowItem::SetText(Value);
}

void TdxBarCustomCombo::SetSorted(bool Value) {
  sorted_ = Value;
  items_->SetSorted(Value);
  itemIndex_ = items_->IndexOf(GetText());
}

void TdxBarCustomCombo::ItemsChanged(TObject*) {
  if (itemIndex_ >= items_->Count())
    SetItemIndex(-1);
  else
    Update();
}

Integer TdxBarCustomCombo::GetCurItemIndex() const {
  TdxBarComboControl* control = CurListControl();
  return control && control->Focused() ? control->LocalItemIndex() : itemIndex_;
}

void TdxBarCustomCombo::SetCurItemIndex(Integer Value) {
  TdxBarComboControl* control = CurListControl();
  if (control && control->Focused())
    control->SetLocalItemIndex(Value);
  else
    SetItemIndex(Value);
}

Integer TdxBarCustomCombo::GetNearestItemIndex(const String& AText) const {
  const String text = AnsiUpperCase(AText);
  std::size_t best = 0;
  Integer result = -1;
  for (Integer i = 0; i < items_->Count(); ++i) {
    const String s = AnsiUpperCase(items_->Strings(i));
    if (s.size() < best || s.compare(0, best, text, 0, best) != 0) continue;
    // Only a longer common prefix than the best so far makes a new answer.
    while (best < text.size() && best < s.size() && s[best] == text[best]) {
      ++best;
      result = i;
      if (best == text.size()) return result;
    }
  }
  return result;
}

Integer TdxBarCustomCombo::GetDropDownRowCount() const {
  return std::min(items_->Count(), std::max<Integer>(dropDownCount_, 0));
}

bool TdxBarCustomCombo::HasDropDownScrollBar() const {
  return items_->Count() > dropDownCount_;
}

Integer TdxBarCustomCombo::GetDropDownWidth() {
  const Integer scrollBar =
      HasDropDownScrollBar() ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
  Integer w = dropDownWidth_;
  if (w <= 0) {
    TdxBarItemLink* link = GetCurItemLink();
    auto* control =
        link ? dynamic_cast<TdxBarWinControl*>(link->Control()) : nullptr;
    if (control) {
      const TRect edit = control->GetEditRect();
      w = edit.Right - edit.Left - 4;
    } else {
      w = 0;
    }
    w -= scrollBar;
    for (Integer i = 0; i < items_->Count(); ++i) {
      Integer itemWidth = 0;
      MeasureItemWidth(i, itemWidth);
      w = std::max(w, itemWidth);
    }
  }
  return w + 4 + scrollBar;
}

Integer TdxBarCustomCombo::GetDropDownHeight() {
  Integer h = 4;
  for (Integer i = 0; i < GetDropDownRowCount(); ++i) h += GetItemsHeight(i);
  return h;
}

Integer TdxBarCustomCombo::GetItemsHeight(Integer AIndex) {
  Integer h = 0;
  MeasureItem(AIndex, h);
  return h;
}

void TdxBarCustomCombo::MeasureItem(Integer AIndex, Integer& AHeight) {
  AHeight = itemHeight_ > 0 ? itemHeight_ : GetCanvas()->TextHeight("Qq");
  OnMeasureItem(this, AIndex, AHeight);
}

void TdxBarCustomCombo::MeasureItemWidth(Integer AIndex, Integer& AWidth) {
  AWidth = GetCanvas()->TextWidth(items_->Strings(AIndex)) + 2;
}

TcxCanvas* TdxBarCustomCombo::GetCanvas() {
  return interiorCanvas_ ? interiorCanvas_ : cxScreenCanvas();
}

void TdxBarCustomCombo::DrawItem(Integer AIndex, const TRect& ARect,
                                 TOwnerDrawState AState) {
  TcxCanvas* canvas = GetCanvas();
  if (OnDrawItem.Assigned()) {
    OnDrawItem(this, AIndex, ARect, AState);
  } else if (AIndex >= 0 && AIndex < items_->Count()) {
    RECT r = dxRECT(ARect);
    if (!drawingInterior_) ::FillRect(canvas->Handle(), &r, nullptr);
    const String& text = items_->Strings(AIndex);
    r.left += 2;
    ::DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()),
                &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (AState.Contains(odFocused)) {
    RECT r = dxRECT(ARect);
    ::DrawFocusRect(canvas->Handle(), &r);
  }
}

void TdxBarCustomCombo::DrawInterior(TdxBarItemControl* AControl,
                                     TcxCanvas* ACanvas, const TRect& ARect,
                                     TdxBarItemLink* ALink) {
  TdxBarComboControl* control = CurListControl();
  const bool focused = ALink && control && control->Focused() &&
                       ALink == GetCurItemLink() &&
                       ALink->Control() == AControl;
  const Integer index = focused ? control->LocalItemIndex() : itemIndex_;
  TRestoreOnExit<TcxCanvas*> canvas(interiorCanvas_, ACanvas);
  TRestoreOnExit<bool> interior(drawingInterior_, true);
  DrawItem(index, ARect, {});
}

bool TdxBarCustomCombo::CheckKeyForDropDownWindow(Word AKey,
                                                  TShiftState AShift) {
  if (AShift.Contains(ssShift) || AShift.Contains(ssCtrl) ||
      AShift.Contains(ssAlt))
    return false;
  return AKey == VK_PRIOR || AKey == VK_NEXT || AKey == VK_UP ||
         AKey == VK_DOWN;
}

void TdxBarCustomCombo::CurChange() {
  TCustomdxBarCombo::CurChange();
  CheckLocalPos();
}

void TdxBarCustomCombo::CheckLocalPos() {
  TdxBarComboControl* control = CurListControl();
  if (!control) return;
  const String text = control->GetText();
  Integer index = control->LocalItemIndex();
  if (index < 0 || index >= items_->Count() || items_->Strings(index) != text)
    index = GetNearestItemIndex(text);
  control->SetLocalItemIndex(index);
}

// ---------------------------------------------------------------------------
// Unit
// ---------------------------------------------------------------------------

namespace {

void PublishKinds() {
  using W = TdxBarWindowItem;
  TPublished<TdxBarWindowItem>()
      .Event("OnChange", &W::OnChange, &W::OnChange)
      .Event("OnCurChange", &W::OnCurChange, &W::OnCurChange)
      .Event("OnEnter", &W::OnEnter, &W::OnEnter)
      .Event("OnExit", &W::OnExit, &W::OnExit)
      .Event("OnKeyDown", &W::OnKeyDown, &W::OnKeyDown)
      .Event("OnKeyPress", &W::OnKeyPress, &W::OnKeyPress)
      .Event("OnKeyUp", &W::OnKeyUp, &W::OnKeyUp);
  using I = TdxBarItem;
  TPublished<TdxCustomBarEdit>()
      .Property("Glyph", &I::Glyph, &I::SetGlyph)
      .Property("ImageIndex", &I::ImageIndex, &I::SetImageIndex, -1)
      .Property("ShowCaption", &I::ShowCaption, &I::SetShowCaption, false)
      .Property("Width", &I::GetWidth, &I::SetWidth, 100)
      .Event("OnClick", &I::OnClick, &I::OnClick);
  using E = TdxBarEdit;
  TPublished<TdxBarEdit>()
      .Property("MaxLength", &E::MaxLength, &E::SetMaxLength, 0)
      .Property("ReadOnly", &E::ReadOnly, &E::SetReadOnly, false)
      .Property("Text", &W::Text, &W::SetText);
  using C = TCustomdxBarCombo;
  TPublished<TCustomdxBarCombo>()
      .Property("ShowEditor", &C::ShowEditor, &C::SetShowEditor, true)
      .Event("OnCheckKeyForDropDownWindow", &C::OnCheckKeyForDropDownWindow,
             &C::OnCheckKeyForDropDownWindow)
      .Event("OnCloseUp", &C::OnCloseUp, &C::OnCloseUp)
      .Event("OnDropDown", &C::OnDropDown, &C::OnDropDown)
      .Event("OnGetDropDownWindow", &C::OnGetDropDownWindow,
             &C::OnGetDropDownWindow);
  using L = TdxBarCustomCombo;
  TPublished<TdxBarCustomCombo>()
      .Property("DropDownCount", &L::DropDownCount, &L::SetDropDownCount, 8)
      .Property("DropDownWidth", &L::DropDownWidth, &L::SetDropDownWidth, 0)
      .Event("OnDrawItem", &L::OnDrawItem, &L::OnDrawItem)
      .Event("OnMeasureItem", &L::OnMeasureItem, &L::OnMeasureItem);
  // The strings before the index that points into them.
  TPublished<TdxBarCombo>()
      .Property("ItemHeight", &L::ItemHeight, &L::SetItemHeight, 0)
      .Property("Items", &L::Items, &L::SetItems)
      .Property("Sorted", &L::Sorted, &L::SetSorted, false)
      .Property("ItemIndex", &L::ItemIndex, &L::SetItemIndex, -1);
  TPublished<TdxBarLabel>();
}

std::array<TClass, 4> RegisteredKinds() {
  return {TdxBarLabel::StaticClass(), TdxBarEdit::StaticClass(),
          TCustomdxBarCombo::StaticClass(), TdxBarCombo::StaticClass()};
}

void KindsStartup() {
  PublishKinds();
  for (TClass kind : RegisteredKinds()) RegisterClasses({kind});
  for (TClass kind : RegisteredKinds())
    dxBarRegisterItem(kind, nullptr, kind != TCustomdxBarCombo::StaticClass());
  TdxBarItemList* list = RegdxItemList();
  list->SetItemControlClass(TdxBarEdit::StaticClass(),
                            TdxBarEditControl::StaticClass());
  list->SetItemControlClass(TCustomdxBarCombo::StaticClass(),
                            TCustomdxBarComboControl::StaticClass());
  list->SetItemControlClass(TdxBarCombo::StaticClass(),
                            TdxBarComboControl::StaticClass());
  list->SetItemControlClass(TdxBarButton::StaticClass(),
                            TdxBarButtonControl::StaticClass());
  list->SetItemControlClass(TdxBarSubItem::StaticClass(),
                            TdxBarSubItemControl::StaticClass());
  list->SetItemControlClass(TdxBarSeparator::StaticClass(),
                            TdxBarSeparatorControl::StaticClass());
  list->SetItemControlClass(TdxBarLabel::StaticClass(),
                            TdxBarCustomStaticControl::StaticClass());
}

void KindsShutdown() {
  for (TClass kind : RegisteredKinds()) {
    dxBarUnregisterItem(kind);
    UnRegisterClass(kind);
  }
}

}  // namespace

VARNEL_UNIT(dxBarItemKinds, ({"dxBar", "dxBarControls"}), &KindsStartup,
            &KindsShutdown);
