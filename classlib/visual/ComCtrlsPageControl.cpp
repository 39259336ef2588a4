#include <algorithm>

#include "ComCtrls.h"

namespace {

void InitTabClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

}  // namespace

// ---------------------------------------------------------------------------
// TTabSheet
// ---------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_.Include(csAcceptsControls);
  visible_ = false;
  SetAlign(alClient);
}

TTabSheet::~TTabSheet() = default;

void TTabSheet::BeforeDestruction() {
  if (pageControl_) pageControl_->RemovePage(this);
  inherited::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (pageControl_ == Value) return;
  SetParent(Value);
}

void TTabSheet::SetParent(TWinControl* AParent) {
  auto* pc = dynamic_cast<TPageControl*>(AParent);
  if (pageControl_ && pageControl_ != pc) pageControl_->RemovePage(this);
  inherited::SetParent(AParent);
  if (pc && pageControl_ != pc) pc->InsertPage(this);
}

Integer TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  const auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : static_cast<Integer>(it - pages.begin());
}

void TTabSheet::SetPageIndex(Integer Value) {
  if (!pageControl_) return;
  auto& pages = pageControl_->pages_;
  const Integer at = PageIndex();
  Value = std::clamp<Integer>(Value, 0, pageControl_->PageCount() - 1);
  if (at == Value) return;
  pages.erase(pages.begin() + at);
  pages.insert(pages.begin() + Value, this);
  pageControl_->UpdateTabs();
}

Integer TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  Integer n = 0;
  for (TTabSheet* p : pageControl_->pages_) {
    if (p == this) return n;
    if (p->tabVisible_) ++n;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (tabVisible_ == Value) return;
  tabVisible_ = Value;
  if (!pageControl_) return;
  pageControl_->UpdateTabs();
  if (!Value && pageControl_->activePage_ == this)
    pageControl_->SetActivePage(pageControl_->FindNextPage(this, true));
}

void TTabSheet::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::Dispatch(TMessage& M) {
  inherited::Dispatch(M);
  // A new caption is a new tab text.
  if (M.Msg == WM_SETTEXT && pageControl_) pageControl_->UpdateTabs();
}

// ---------------------------------------------------------------------------
// TPageControl
// ---------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  InitTabClasses();
  controlStyle_.Include(csAcceptsControls);
  SetTabStop(true);
  width_ = 289;
  height_ = 193;
}

TPageControl::~TPageControl() {
  for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) SetImages(nullptr);
}

void TPageControl::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
  if (HandleAllocated()) {
    ::SendMessageA(
        Handle(), TCM_SETIMAGELIST, 0,
        reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  }
}

void TPageControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLA);
  Params.Style |= WS_CLIPCHILDREN;
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TPageControl::CreateWnd() {
  inherited::CreateWnd();
  ::SendMessageA(Handle(), CCM_SETUNICODEFORMAT, FALSE, 0);
  if (images_) {
    ::SendMessageA(Handle(), TCM_SETIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(images_->Handle()));
  }
  UpdateTabs();
}

void TPageControl::AdjustClientRect(TRect& Rect) {
  if (!HandleAllocated()) return;
  RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
  ::SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  Rect = ::Rect(r.left, r.top, r.right, r.bottom);
}

void TPageControl::InsertPage(TTabSheet* Page) {
  pages_.push_back(Page);
  Page->pageControl_ = this;
  UpdateTabs();
  if (!activePage_ && Page->tabVisible_) SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
  const auto it = std::find(pages_.begin(), pages_.end(), Page);
  if (it == pages_.end()) return;
  TTabSheet* next = activePage_ == Page ? FindNextPage(Page, true) : nullptr;
  if (next == Page) next = nullptr;
  pages_.erase(it);
  Page->pageControl_ = nullptr;
  if (activePage_ == Page) {
    activePage_ = nullptr;
    SetActivePage(next);
  }
  UpdateTabs();
}

TTabSheet* TPageControl::PageOfTab(Integer TabIndex) const {
  Integer n = 0;
  for (TTabSheet* p : pages_) {
    if (!p->tabVisible_) continue;
    if (n++ == TabIndex) return p;
  }
  return nullptr;
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  HWND h = Handle();
  ::SendMessageA(h, TCM_DELETEALLITEMS, 0, 0);
  Integer n = 0;
  for (TTabSheet* p : pages_) {
    if (!p->tabVisible_) continue;
    String caption = p->Caption();
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = caption.data();
    item.iImage = p->imageIndex_;
    ::SendMessageA(h, TCM_INSERTITEMA, static_cast<WPARAM>(n++),
                   reinterpret_cast<LPARAM>(&item));
  }
  const Integer tab = activePage_ ? activePage_->TabIndex() : -1;
  ::SendMessageA(h, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  // The tab rows may have changed the room the pages get.
  Realign();
}

Integer TPageControl::ActivePageIndex() const {
  return activePage_ ? activePage_->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(Integer Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? pages_[Value] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->pageControl_ != this) return;
  if (activePage_ == Page) return;
  TTabSheet* old = activePage_;
  activePage_ = Page;
  if (HandleAllocated()) {
    const Integer tab = Page ? Page->TabIndex() : -1;
    ::SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  }
  if (Page) {
    Page->SetVisible(true);
    Page->BringToFront();
    if (Page->OnShow) Page->OnShow(Page);
  }
  if (old && old->pageControl_ == this) {
    old->SetVisible(false);
    if (old->OnHide) old->OnHide(old);
  }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward) {
  const Integer count = PageCount();
  if (count == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), CurrentPage);
  Integer start = it == pages_.end()
                      ? (GoForward ? count - 1 : 0)
                      : static_cast<Integer>(it - pages_.begin());
  Integer i = start;
  for (Integer step = 0; step < count; ++step) {
    i = GoForward ? (i + 1) % count : (i + count - 1) % count;
    if (pages_[i]->tabVisible_) return pages_[i];
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
  TTabSheet* next = FindNextPage(activePage_, GoForward);
  if (!next || next == activePage_ || !CanChange()) return;
  SetActivePage(next);
  Change();
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::Dispatch(TMessage& M) {
  if (M.Msg == CN_NOTIFY) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(M.LParam);
    switch (hdr->code) {
      case TCN_SELCHANGING:
        M.Result = CanChange() ? 0 : 1;
        return;
      case TCN_SELCHANGE: {
        const auto tab =
            static_cast<Integer>(::SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
        SetActivePage(PageOfTab(tab));
        Change();
        return;
      }
      default:
        break;
    }
  }
  inherited::Dispatch(M);
}
