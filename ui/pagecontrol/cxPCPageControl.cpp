// The page control and its sheets: pages that own their tabs, the active
// page with its changing event and focus, page order for form streams.
#include "WinApi.h"
//
#include <algorithm>

#include "Forms.h"
#include "Messages.h"
#include "ScopeGuard.h"
//
#include "cxPC.h"
#include "cxPCPainters.h"

// ---------------------------------------------------------------------------
// TcxTabSheet
// ---------------------------------------------------------------------------

TcxTabSheet::TcxTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetAlign(alClient);
  SetControlStyle(ControlStyle() +
                  TControlStyle{csAcceptsControls, csNoDesignVisible});
  SetVisible(false);
  SetTabStop(false);
}

TcxTabSheet::~TcxTabSheet() = default;

void TcxTabSheet::BeforeDestruction() {
  if (pageControl_) pageControl_->RemovePage(this);
  TCustomControl::BeforeDestruction();
}

void TcxTabSheet::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TcxTabSheet::SetPageControl(TcxPageControl* Value) {
  if (pageControl_ == Value) return;
  if (pageControl_) pageControl_->RemovePage(this);
  SetParent(Value);
  if (Value) {
    if (!pageControl_) Value->InsertPage(this);
    if (!Value->IsLoading() && !Value->ActivePage()) Value->SetActivePage(this);
  }
}

void TcxTabSheet::SetParentPageControl(TcxPageControl* APageControl) {
  pageControl_ = APageControl;
  TCustomControl::SetParent(APageControl);
}

void TcxTabSheet::SetParent(TWinControl* AParent) {
  if (AParent && !dynamic_cast<TcxPageControl*>(AParent)) Abort();
  auto* pageControl = static_cast<TcxPageControl*>(AParent);
  if (pageControl && pageControl == pageControl_) {
    TCustomControl::SetParent(AParent);
    return;
  }
  if (pageControl_) pageControl_->RemovePage(this);
  if (pageControl) {
    pageControl->InsertPage(this);
    if (!pageControl->IsLoading() && !pageControl->ActivePage())
      pageControl->SetActivePage(this);
  } else {
    TCustomControl::SetParent(nullptr);
  }
}

Integer TcxTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : static_cast<Integer>(it - pages.begin());
}

void TcxTabSheet::SetPageIndex(Integer Value) {
  if (!pageControl_) return;
  Integer count = pageControl_->GetPageCount();
  if (Value < 0 || Value >= count)
    throw EListError(
        Format(cxPCGetResourceString(scxPCPageIndexError), {Value, count - 1}));
  pageControl_->MovePage(this, Value);
}

Integer TcxTabSheet::TabIndex() const {
  return tab_ ? tab_->VisibleIndex() : -1;
}

void TcxTabSheet::PagePropertyChanged() {
  if (pageControl_ && tab_) pageControl_->UpdateTab(this);
}

void TcxTabSheet::SetHighlighted(bool Value) {
  if (highlighted_ == Value) return;
  highlighted_ = Value;
  PagePropertyChanged();
}

void TcxTabSheet::SetImageIndex(TImageIndex Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  PagePropertyChanged();
}

void TcxTabSheet::SetTabVisible(bool Value) {
  if (tabVisible_ == Value) return;
  tabVisible_ = Value;
  PagePropertyChanged();
  if (Value && pageControl_ && pageControl_->GetPageCount() == 1 &&
      !pageControl_->ActivePage())
    pageControl_->SetActivePage(this);
}

void TcxTabSheet::DoShow() { OnShow(this); }
void TcxTabSheet::DoHide() { OnHide(this); }

void TcxTabSheet::ColorChanged() {
  if (tab_) tab_->Changed(tpcLayout);
  if (HandleAllocated()) ::SendMessageA(Handle(), WM_NCPAINT, 1, 0);
  Invalidate();
}

void TcxTabSheet::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_SHOWINGCHANGED:
      TCustomControl::Dispatch(Message);
      // A handler's failure goes to the application, not into the page
      // switch.
      try {
        if (Showing())
          DoShow();
        else
          DoHide();
      } catch (...) {
        if (Application) Application->HandleException(this);
      }
      return;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
      TCustomControl::Dispatch(Message);
      PagePropertyChanged();
      return;
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
      TCustomControl::Dispatch(Message);
      ColorChanged();
      return;
    case WM_ERASEBKGND: {
      if (!pageControl_ || !pageControl_->Painter()) {
        Message.Result = 1;
        return;
      }
      TcxPCCustomPainter* painter = pageControl_->Painter();
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      if (painter->IsNativePainting()) {
        painter->DrawNativeTabBackground(dc, this);
      } else {
        // The page area as the page control fills it, in the sheet's own
        // coordinates.
        TRect r = GetClientRect();
        HBRUSH brush =
            ::CreateSolidBrush(ColorToRGB(painter->GetClientColor()));
        ::FillRect(dc, reinterpret_cast<RECT*>(&r), brush);
        ::DeleteObject(brush);
      }
      Message.Result = 1;
      return;
    }
    case WM_WINDOWPOSCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    default:
      TCustomControl::Dispatch(Message);
      return;
  }
}

// ---------------------------------------------------------------------------
// TcxPageControl
// ---------------------------------------------------------------------------

TcxPageControl::TcxPageControl(TComponent* AOwner)
    : TcxCustomTabControl(AOwner) {}

TcxPageControl::~TcxPageControl() = default;

void TcxPageControl::BeforeDestruction() {
  // The pages belong to their owner; they only forget this control.
  for (TcxTabSheet* page : pages_) {
    page->pageControl_ = nullptr;
    page->tab_ = nullptr;
  }
  pages_.clear();
  activePage_ = nullptr;
  TcxCustomTabControl::BeforeDestruction();
}

TWinControl* TcxPageControl::GetPage(Integer TabIndex) {
  if (TabIndex < 0 || TabIndex >= GetPageCount()) return nullptr;
  return pages_[TabIndex];
}

Integer TcxPageControl::GetActivePageIndex() const {
  return activePage_ ? activePage_->PageIndex() : -1;
}

void TcxPageControl::SetActivePageIndex(Integer Value) {
  SetActivePage(Value >= 0 && Value < GetPageCount() ? pages_[Value] : nullptr);
}

bool TcxPageControl::CanChangeActivePage(TcxTabSheet* ANewPage) {
  bool allowChange = true;
  if (!IsChangeEventLocked()) OnPageChanging(this, ANewPage, allowChange);
  return allowChange;
}

bool TcxPageControl::CanChange(Integer NewTabIndex) {
  if (!TcxCustomTabControl::CanChange(NewTabIndex)) return false;
  if (NewTabIndex == -1) return true;
  return CanChangeActivePage(pages_.at(NewTabIndex));
}

void TcxPageControl::Change() {
  {
    LockChangeEvent(true);
    TScopeGuard unlock([this] { LockChangeEvent(false); });
    UpdateActivePage();
  }
  TcxCustomTabControl::Change();
}

void TcxPageControl::UpdateActivePage() {
  if (activePageSetting_) return;
  Integer index = TabIndex();
  SetActivePage(index >= 0 && index < GetPageCount() ? pages_[index] : nullptr);
}

void TcxPageControl::PageChange() { TcxCustomTabControl::Change(); }

void TcxPageControl::SetActivePage(TcxTabSheet* Value) {
  if (activePageSetting_) return;
  if (Value && Value->PageControl() != this) return;
  ChangeActivePage(Value);
  if (activePage_ != Value) return;
  TRestoreOnExit<bool> setting(activePageSetting_, true);
  LockChangeEvent(true);
  TScopeGuard unlock([this] { LockChangeEvent(false); });
  if (Value && Value->TabVisible() && Value->Tab())
    SetTabIndex(Value->Tab()->Index());
  else
    SetTabIndex(-1);
}

void TcxPageControl::ChangeActivePage(TcxTabSheet* APage) {
  if (APage == activePage_ || !CanChangeActivePage(APage)) return;
  TCustomForm* form = GetParentForm(this);
  if (form && activePage_ && form->ActiveControl() &&
      activePage_->ContainsControl(form->ActiveControl())) {
    form->SetActiveControl(activePage_);
    if (form->ActiveControl() != activePage_) {
      if (activePage_->Tab()) SetTabIndex(activePage_->Tab()->Index());
      return;
    }
  }
  TWinControl* focusAfter = nullptr;
  if (APage && form && activePage_ && form->ActiveControl() == activePage_) {
    if (APage->Enabled() && Visible() && Enabled() && Parent() &&
        Parent()->CanFocus())
      focusAfter = APage;
    else
      focusAfter = this;
  }
  if (activePage_) activePage_->SetVisible(false);
  if (APage) {
    APage->BringToFront();
    APage->SetVisible(true);
    APage->Invalidate();
  }
  if (focusAfter && form) form->SetActiveControl(focusAfter);
  activePage_ = APage;
  PageChange();
  if (form && activePage_ && form->ActiveControl() == activePage_)
    activePage_->SelectFirst();
  SetModified();
}

void TcxPageControl::InsertPage(TcxTabSheet* APage) {
  if (!HandleAllocated() && Parent()) HandleNeeded();
  {
    TRestoreOnExit<bool> inserting(pageInserting_, true);
    pages_.push_back(APage);
    APage->SetParentPageControl(this);
    Tabs()->Add(APage->Caption());
  }
  APage->tab_ = Tabs()->GetTab(Tabs()->Count() - 1);
  UpdateTab(APage);
}

void TcxPageControl::RemovePage(TcxTabSheet* APage) {
  auto it = std::find(pages_.begin(), pages_.end(), APage);
  if (it == pages_.end()) return;
  bool runTime = !GetIsDesigning();
  TcxTabSheet* successor = FindNextPageEx(APage, true, runTime, false);
  if (!successor) successor = FindNextPageEx(APage, false, runTime, false);
  Integer index = static_cast<Integer>(it - pages_.begin());
  pages_.erase(it);
  APage->tab_ = nullptr;
  Tabs()->Delete(index);
  // The selection goes with the page; the successor is chosen below.
  SetTabIndexDirect(-1);
  if (successor == APage) successor = nullptr;
  if (activePage_ == APage) {
    activePage_ = nullptr;
    SetActivePage(successor);
  } else if (activePage_ && activePage_->Tab()) {
    LockChangeEvent(true);
    TScopeGuard unlock([this] { LockChangeEvent(false); });
    TRestoreOnExit<bool> setting(activePageSetting_, true);
    SetTabIndex(activePage_->Tab()->Index());
  }
  APage->SetParentPageControl(nullptr);
}

TcxTabSheet* TcxPageControl::FindNextPageEx(TcxTabSheet* ACurPage,
                                            bool AGoForward, bool ACheckTab,
                                            bool ACircular) const {
  Integer count = GetPageCount();
  if (count == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), ACurPage);
  Integer start =
      it == pages_.end() ? -1 : static_cast<Integer>(it - pages_.begin());
  Integer i;
  if (start == -1) {
    i = AGoForward ? 0 : count - 1;
  } else {
    i = start;
    auto step = [&]() {
      i += AGoForward ? 1 : -1;
      if (i < 0 || i >= count) {
        if (!ACircular) return false;
        i = i < 0 ? count - 1 : 0;
      }
      return i != start;
    };
    if (!step()) return nullptr;
    while (ACheckTab && !(pages_[i]->TabVisible() && pages_[i]->Enabled()))
      if (!step()) return nullptr;
    return pages_[i];
  }
  // No current page: the first candidate is an end of the list.
  Integer first = i;
  while (ACheckTab && !(pages_[i]->TabVisible() && pages_[i]->Enabled())) {
    i += AGoForward ? 1 : -1;
    if (i < 0 || i >= count) {
      if (!ACircular) return nullptr;
      i = i < 0 ? count - 1 : 0;
    }
    if (i == first) return nullptr;
  }
  return pages_[i];
}

void TcxPageControl::SelectNextPage(bool AGoForward, bool ACheckTabVisible) {
  TcxTabSheet* page = FindNextPage(activePage_, AGoForward, ACheckTabVisible);
  if (page && page != activePage_) SetActivePage(page);
}

void TcxPageControl::UpdateTab(TcxTabSheet* APage) {
  if (IsLoading() || !APage->tab_) return;
  TcxTab* tab = APage->tab_;
  tab->SetCaption(APage->Caption());
  tab->SetEnabled(APage->Enabled());
  tab->SetImageIndex(APage->ImageIndex());
  tab->SetHighlighted(APage->Highlighted());
  tab->SetVisible(APage->TabVisible());
  if (APage == activePage_)
    SetTabIndex(APage->TabVisible() ? tab->Index() : -1);
}

void TcxPageControl::UpdateTabs() {
  for (TcxTabSheet* page : std::vector<TcxTabSheet*>(pages_)) UpdateTab(page);
}

void TcxPageControl::MovePage(TcxTabSheet* APage, Integer ANewIndex) {
  Integer old = APage->PageIndex();
  if (old == ANewIndex) return;
  pages_.erase(pages_.begin() + old);
  pages_.insert(pages_.begin() + ANewIndex, APage);
  Tabs()->Move(old, ANewIndex);
  APage->tab_ = Tabs()->GetTab(ANewIndex);
  UpdateTab(APage);
  LockChangeEvent(true);
  TScopeGuard unlock([this] { LockChangeEvent(false); });
  SetTabIndex(GetActivePageIndex());
}

void TcxPageControl::Loaded() {
  TcxCustomTabControl::Loaded();
  UpdateTabs();
  if (!GetIsDesigning() && activePage_ && !activePage_->Enabled())
    SetActivePage(nullptr);
}

void TcxPageControl::ImageListChange(TObject* Sender) {
  if (!pageInserting_)
    for (TcxTabSheet* page : pages_)
      if (page->tab_) page->tab_->SetImageIndex(page->ImageIndex());
  TcxCustomTabControl::ImageListChange(Sender);
}

void TcxPageControl::DoClose() {
  // Its removal makes the successor active.
  if (activePage_) TObjectDeleter()(activePage_);
}

void TcxPageControl::RequestLayout() {
  TcxCustomTabControl::RequestLayout();
  if (activePage_) activePage_->Invalidate();
}

void TcxPageControl::GetChildren(const TGetChildProc& Proc, TComponent*) {
  for (TcxTabSheet* page : pages_) Proc(page);
}

void TcxPageControl::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* page = dynamic_cast<TcxTabSheet*>(Child)) page->SetPageIndex(Order);
}

bool TcxPageControl::CanFocusOnClick() {
  if (!TcxCustomTabControl::CanFocusOnClick()) return false;
  if (!activePage_ || !activePage_->Tab() || !HandleAllocated()) return false;
  TPoint p;
  ::GetCursorPos(reinterpret_cast<POINT*>(&p));
  p = ScreenToClient(p);
  return PtInRect(activePage_->Tab()->VisibleRect(), p);
}
