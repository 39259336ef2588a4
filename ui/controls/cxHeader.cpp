#include "WinApi.h"
//
#include <commctrl.h>

#include <algorithm>

#include "Forms.h"
#include "ScopeGuard.h"
//
#include "cxControlsCommon.h"
#include "cxHeader.h"

namespace {

// How close to a section's edge the mouse must be to resize it.
constexpr Integer kSizerWidth = 7;

// The client point of a mouse message.
TPoint PointOfLParam(LPARAM AParam) {
  return TPoint(static_cast<short>(LOWORD(AParam)),
                static_cast<short>(HIWORD(AParam)));
}

}  // namespace

LRESULT SendGetStructMessage(HWND AWindow, UINT AMessage, WPARAM AWParam,
                             void* AAddress) {
  return ::SendMessageA(AWindow, AMessage, AWParam,
                        reinterpret_cast<LPARAM>(AAddress));
}

void DrawHeaderSection(HWND AHeaderWindow, Integer AIndex, TcxCanvas* ACanvas,
                       TCustomImageList* AImages,
                       TcxLookAndFeel* ALookAndFeel) {
  const Integer count = static_cast<Integer>(
      ::SendMessageA(AHeaderWindow, HDM_GETITEMCOUNT, 0, 0));
  RECT wr{};
  ::GetWindowRect(AHeaderWindow, &wr);
  const TRect r(0, 0, wr.right - wr.left, wr.bottom - wr.top);
  if (count <= 0) {
    ACanvas->FillRect(r);
    return;
  }
  THeaderItemInfo info{};
  info.ImageIndex = -1;
  SendGetStructMessage(AHeaderWindow, CM_HEADERITEMINFO,
                       static_cast<WPARAM>(AIndex), &info);
  TRect section = info.SectionRect;
  TcxLookAndFeelPainterClass painter = ALookAndFeel->GetPainter();
  if (AIndex == count)
    section.Right = r.Right + 10;  // no right border after the last section
  else if (!ALookAndFeel->NativeStyle() && ALookAndFeel->Kind() == lfUltraFlat)
    section.Right += 1;
  const auto sortOrder = static_cast<TcxHeaderSortOrder>(info.SortOrder);
  const TRect content =
      painter->HeaderControlSectionContentBounds(section, cxbsNormal);
  TRect text = content;
  text.Left += 4;
  text.Right -= sortOrder == soNone ? 4 : 15;
  const String caption = info.Caption ? String(info.Caption) : String();
  auto alignment = static_cast<TAlignment>(info.Alignment);

  bool hasImage = AImages && info.ImageIndex >= 0;
  TPoint imagePos;
  if (hasImage) {
    const Integer imageWidth = AImages->Width();
    const Integer textWidth = ACanvas->TextWidth(caption);
    Integer left = text.Left;
    if (alignment == taRightJustify) {
      left = text.Right - textWidth - imageWidth - 2;
      if (left < text.Left) {
        left = text.Left;
        alignment = taLeftJustify;
      }
    } else if (alignment == taCenter) {
      left =
          text.Left + (text.Right - text.Left - imageWidth - textWidth - 2) / 2;
      if (left < text.Left) {
        left = text.Left;
        alignment = taLeftJustify;
      }
    }
    if (alignment == taLeftJustify || left == text.Left)
      text.Left = left + imageWidth + 2;
    imagePos = TPoint(
        left,
        content.Top + (content.Bottom - content.Top - AImages->Height()) / 2);
  }

  const TColor brushColor = ACanvas->Brush()->Color();
  ACanvas->SaveClipRegion();
  auto restore = TScopeGuard([&] {
    ACanvas->RestoreClipRegion();
    ACanvas->Brush()->SetColor(brushColor);
  });
  ACanvas->IntersectClipRect(section);
  painter->DrawHeaderControlSection(
      ACanvas, section, text, TcxNeighbors{nRight}, cxBordersAll,
      static_cast<TcxButtonState>(info.State), alignment, vaCenter, false, true,
      caption, ACanvas->Font(), ACanvas->Font()->Color(), brushColor);
  ACanvas->IntersectClipRect(content);
  if (hasImage)
    ACanvas->DrawImage(AImages, imagePos.X, imagePos.Y, info.ImageIndex, true);
  if (sortOrder != soNone) {
    const TColor pen = ACanvas->Pen()->Color();
    painter->DrawSortingMark(ACanvas,
                             TRect(section.Right - 11, section.Top,
                                   section.Right - 4, section.Bottom),
                             sortOrder == soAscending);
    ACanvas->Pen()->SetColor(pen);
  }
}

// ---------------------------------------------------------------------------
// TcxHeaderSection
// ---------------------------------------------------------------------------

TcxHeaderSection::TcxHeaderSection(TCollection* Collection)
    : TCollectionItem(Collection) {
  dataIndex_ = Index();
  if (TcxCustomHeader* header = GetHeaderControl())
    biDiMode_ = header->BiDiMode();
}

TcxCustomHeader* TcxHeaderSection::GetHeaderControl() const {
  auto* sections = dynamic_cast<TcxHeaderSections*>(Collection());
  return sections ? sections->Header() : nullptr;
}

Integer TcxHeaderSection::GetLeft() const {
  Integer left = 0;
  TCollection* c = Collection();
  if (!c) return 0;
  for (Integer i = 0; i < Index(); ++i)
    left += static_cast<TcxHeaderSection*>(c->Items(i))->Width();
  return left;
}

String TcxHeaderSection::GetDisplayName() {
  return text_.empty() ? inherited::GetDisplayName() : text_;
}

void TcxHeaderSection::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxHeaderSection*>(Source);
  if (!s) {
    inherited::Assign(Source);
    return;
  }
  alignment_ = s->alignment_;
  allowClick_ = s->allowClick_;
  autoSize_ = s->autoSize_;
  biDiMode_ = s->biDiMode_;
  dataIndex_ = s->dataIndex_;
  imageIndex_ = s->imageIndex_;
  minWidth_ = s->minWidth_;
  maxWidth_ = s->maxWidth_;
  parentBiDiMode_ = s->parentBiDiMode_;
  sortOrder_ = s->sortOrder_;
  text_ = s->text_;
  width_ = s->width_;
  Changed(false);
}

void TcxHeaderSection::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  ItemChanged();
}

void TcxHeaderSection::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  if (TcxCustomHeader* header = GetHeaderControl()) header->FitToClientWidth();
}

void TcxHeaderSection::SetBiDiMode(TBiDiMode Value) {
  parentBiDiMode_ = false;
  if (biDiMode_ == Value) return;
  biDiMode_ = Value;
  ItemChanged();
}

void TcxHeaderSection::SetParentBiDiMode(bool Value) {
  parentBiDiMode_ = Value;
  if (!Value) return;
  if (TcxCustomHeader* header = GetHeaderControl()) {
    if (biDiMode_ != header->BiDiMode()) {
      biDiMode_ = header->BiDiMode();
      ItemChanged();
    }
  }
}

void TcxHeaderSection::SetDataIndex(Integer Value) {
  Value = std::max(Value, -1);
  if (dataIndex_ == Value) return;
  dataIndex_ = Value;
  ItemChanged();
}

void TcxHeaderSection::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  ItemChanged();
}

void TcxHeaderSection::SetMaxWidth(Integer Value) {
  maxWidth_ = std::min(std::max(Value, minWidth_), 10000);
  SetWidth(width_);
}

void TcxHeaderSection::SetMinWidth(Integer Value) {
  minWidth_ = std::min(std::max(Value, 0), maxWidth_);
  SetWidth(width_);
}

void TcxHeaderSection::SetSortOrder(TcxHeaderSortOrder Value) {
  if (sortOrder_ == Value) return;
  sortOrder_ = Value;
  ItemChanged();
}

void TcxHeaderSection::SetText(const String& Value) {
  if (text_ == Value) return;
  text_ = Value;
  ItemChanged();
}

void TcxHeaderSection::SetState(TcxButtonState Value) {
  if (state_ == Value) return;
  state_ = Value;
  ItemChanged();
}

void TcxHeaderSection::SetWidth(Integer Value) {
  Value = std::min(std::max(Value, minWidth_), maxWidth_);
  if (width_ == Value) return;
  width_ = Value;
  Changed(true);
  if (TcxCustomHeader* header = GetHeaderControl()) {
    header->DoSectionResizeEvent(this);
    header->DoSectionEndResizeEvent(this);
  }
}

// ---------------------------------------------------------------------------
// TcxHeaderSections
// ---------------------------------------------------------------------------

TcxHeaderSections::TcxHeaderSections(TcxCustomHeader* AHeader)
    : TCollection(TcxHeaderSection::StaticClass()), header_(AHeader) {}

TPersistent* TcxHeaderSections::GetOwner() { return header_; }

TcxHeaderSection* TcxHeaderSections::Insert(Integer AIndex) {
  return cxInsertCollectionItem<TcxHeaderSection>(this, AIndex);
}

void TcxHeaderSections::Update(TCollectionItem* Item) {
  if (!header_) return;
  if (Item) {
    header_->UpdateSection(Item->Index());
    if (header_->OnSectionChange) header_->OnSectionChange(header_);
    return;
  }
  if (!header_->IsFitting()) header_->FitToClientWidth();
  header_->UpdateSections();
  if (header_->OnSectionsChange) header_->OnSectionsChange(header_);
}

// ---------------------------------------------------------------------------
// TcxCustomHeader
// ---------------------------------------------------------------------------

TcxCustomHeader::TcxCustomHeader(TComponent* AOwner)
    : TcxControl(AOwner),
      imagesLink_(new TChangeLink),
      sections_(new TcxHeaderSections(this)) {
  SetControlStyle(TControlStyle{});
  SetDoubleBuffered(true);
  imagesLink_->OnChange = TNotifyEvent(this, &TcxCustomHeader::ImagesChanged);
  SetBounds(0, 0, 117, 17);
}

TcxCustomHeader::~TcxCustomHeader() {
  EndSplitLine();
  RestoreCursor();
  EndMouseTracking(this);
}

Integer TcxCustomHeader::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxMouseTrackingCaller::IID) {
    *obj = static_cast<IcxMouseTrackingCaller*>(this);
    return S_OK_;
  }
  return TcxControl::QueryInterface(iid, obj);
}

void TcxCustomHeader::MouseLeave() {
  if (HandleAllocated()) Perform(CM_MOUSELEAVE, 0, 0);
}

void TcxCustomHeader::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TcxCustomHeader::CreateWnd() {
  inherited::CreateWnd();
  UpdateSections();
}

void TcxCustomHeader::DestroyWnd() { inherited::DestroyWnd(); }

void TcxCustomHeader::SetAllowSort(bool Value) {
  if (allowSort_ == Value) return;
  allowSort_ = Value;
  if (!Value) DisableSort();
}

void TcxCustomHeader::SetImages(TCustomImageList* Value) {
  cxSetImageList(Value, images_, imagesLink_.get(), this);
}

void TcxCustomHeader::Notification(TComponent* AComponent,
                                   TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) SetImages(nullptr);
}

void TcxCustomHeader::LookAndFeelChanged(TcxLookAndFeel* Sender,
                                         TcxLookAndFeelValues AChangedValues) {
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  UpdateSections();
}

TRect TcxCustomHeader::GetSectionRect(Integer AIndex) {
  const Integer count = sections_->Count();
  if (AIndex < 0 || AIndex > count) return TRect();
  Integer left = 0;
  for (Integer i = 0; i < AIndex; ++i) left += sections_->Items(i)->Width();
  const Integer right = AIndex == count
                            ? GetClientBounds().Right
                            : left + sections_->Items(AIndex)->Width();
  return TRect(left, 0, right, Height());
}

Integer TcxCustomHeader::GetSectionIndexAtPos(Integer X, Integer Y,
                                              bool AIncludeEnd) {
  const TRect client = GetClientBounds();
  if (!PtInRect(client, TPoint(X, Y))) return -1;
  const Integer last =
      AIncludeEnd ? sections_->Count() : sections_->Count() - 1;
  for (Integer i = 0; i <= last; ++i)
    if (PtInRect(GetSectionRect(i), TPoint(X, Y))) return i;
  return -1;
}

Integer TcxCustomHeader::GetAutoHeight() {
  TFont font;
  font.Assign(Font());
  font.SetStyle(TFontStyles{fsBold, fsUnderline});
  TcxCanvas* canvas = cxScreenCanvas();
  canvas->Font()->Assign(&font);
  Integer h = canvas->TextHeight("Wq");
  if (images_) h = std::max(h, images_->Height());
  return h +
         2 * LookAndFeel()->GetPainter()->HeaderControlSectionBorderSize(
                 cxbsNormal) +
         4;
}

TRect TcxCustomHeader::GetSectionContentBounds(const TRect& ARect,
                                               TcxButtonState AState) {
  return LookAndFeel()->GetPainter()->HeaderControlSectionContentBounds(ARect,
                                                                        AState);
}

void TcxCustomHeader::FitToClientWidth() {
  if (fitting_ || !HandleAllocated() || IsLoading()) return;
  fitting_ = true;
  auto done = TScopeGuard([this] { fitting_ = false; });
  Integer free = GetClientBounds().Right - GetClientBounds().Left;
  std::vector<TcxHeaderSection*> list;
  for (Integer i = 0; i < sections_->Count(); ++i) {
    TcxHeaderSection* s = sections_->Items(i);
    if (s->AutoSize())
      list.push_back(s);
    else
      free -= s->Width();
  }
  if (list.empty()) return;
  sections_->BeginUpdate();
  auto end = TScopeGuard([this] { sections_->EndUpdate(); });
  while (!list.empty()) {
    const Integer n = static_cast<Integer>(list.size());
    const Integer each = free / n;
    std::vector<Integer> given(list.size());
    for (Integer i = n - 1; i >= 0; --i) {
      given[i] = i == 0 ? each + free % n : each;
      list[i]->SetWidth(given[i]);
    }
    bool dropped = false;
    for (Integer i = n - 1; i >= 0; --i) {
      if (list[i]->Width() != given[i]) {
        free -= list[i]->Width();
        list.erase(list.begin() + i);
        dropped = true;
      }
    }
    if (!dropped) break;
  }
}

void TcxCustomHeader::FlipChildren(bool) {
  const Integer count = sections_->Count();
  if (!HandleAllocated() || count == 0) return;
  const Integer firstWidth = sections_->Items(0)->Width();
  Integer rest = GetClientBounds().Right;
  for (Integer i = 0; i < count - 1; ++i) rest -= sections_->Items(i)->Width();
  sections_->BeginUpdate();
  {
    auto end = TScopeGuard([this] { sections_->EndUpdate(); });
    for (Integer i = 0; i < count - 1; ++i)
      sections_->Items(count - 1)->SetIndex(i);
    if (count > 1) {
      sections_->Items(count - 1)->SetWidth(firstWidth);
      sections_->Items(0)->SetWidth(rest);
    }
  }
  UpdateSections();
}

void TcxCustomHeader::DisableSort() {
  sections_->BeginUpdate();
  auto end = TScopeGuard([this] { sections_->EndUpdate(); });
  for (Integer i = 0; i < sections_->Count(); ++i)
    sections_->Items(i)->SetSortOrder(soNone);
}

void TcxCustomHeader::UpdateSection(Integer AIndex) {
  if (HandleAllocated()) InvalidateRect(GetSectionRect(AIndex), false);
}

void TcxCustomHeader::UpdateSections() {
  if (HandleAllocated()) InvalidateRect(GetClientBounds(), false);
}

void TcxCustomHeader::ChangeSectionSortOrder(TcxHeaderSection* ASection,
                                             TcxHeaderSortOrder ASortOrder,
                                             bool AClearOthers) {
  if (!allowSort_ || ASection->SortOrder() == ASortOrder) return;
  if (AClearOthers) {
    for (Integer i = 0; i < sections_->Count(); ++i)
      if (sections_->Items(i) != ASection)
        ChangeSectionSortOrder(sections_->Items(i), soNone, false);
  }
  TcxHeaderSortOrder order = ASortOrder;
  bool allow = true;
  if (OnSectionChangingSortOrder)
    OnSectionChangingSortOrder(this, ASection, ASection->SortOrder(), order,
                               allow);
  if (!allow) return;
  ASection->SetSortOrder(order);
  if (OnSectionChangedSortOrder)
    OnSectionChangedSortOrder(this, ASection, order);
}

TcxHeaderSection* TcxCustomHeader::CreateSection() { return sections_->Add(); }

bool TcxCustomHeader::DoSectionDrag(TcxHeaderSection* AFromSection,
                                    TcxHeaderSection* AToSection) {
  bool allow = true;
  DoSectionDragEvent(AFromSection, AToSection, allow);
  return allow;
}

void TcxCustomHeader::DoSectionEndDrag() {
  if (sectionUnderMouse_ >= 0 && sectionUnderMouse_ < sections_->Count() &&
      pressedSection_ >= 0) {
    TcxHeaderSection* dragged = sections_->Items(pressedSection_);
    const Integer target = sectionUnderMouse_;
    SetPressedSection(-1);
    SetHotSection(-1);
    dragged->SetIndex(target);
    SetHotSection(target);
  }
  DoSectionEndDragEvent();
}

void TcxCustomHeader::DrawSection(Integer AIndex) {
  if (AIndex >= 0 && AIndex < sections_->Count() && OnDrawSection) {
    TcxHeaderSection* s = sections_->Items(AIndex);
    OnDrawSection(this, s, GetSectionRect(AIndex), s->State() == cxbsPressed);
    return;
  }
  DrawHeaderSection(Handle(), AIndex, Canvas(), images_, LookAndFeel());
}

void TcxCustomHeader::DoSectionClickEvent(TcxHeaderSection* ASection) {
  if (OnSectionClick) OnSectionClick(this, ASection);
}

void TcxCustomHeader::DoSectionDragEvent(TcxHeaderSection* AFrom,
                                         TcxHeaderSection* ATo,
                                         bool& AllowDrag) {
  if (OnSectionDrag) OnSectionDrag(this, AFrom, ATo, AllowDrag);
}

void TcxCustomHeader::DoSectionEndDragEvent() {
  if (OnSectionEndDrag) OnSectionEndDrag(this);
}

void TcxCustomHeader::DoSectionResizeEvent(TcxHeaderSection* ASection) {
  if (OnSectionResize) OnSectionResize(this, ASection);
}

void TcxCustomHeader::DoSectionEndResizeEvent(TcxHeaderSection* ASection) {
  if (OnSectionEndResize) OnSectionEndResize(this, ASection);
  if (!fitting_) FitToClientWidth();
}

void TcxCustomHeader::DoSectionTrackEvent(TcxHeaderSection* ASection,
                                          Integer AWidth,
                                          TcxSectionTrackState AState) {
  if (OnSectionTrack) OnSectionTrack(this, ASection, AWidth, AState);
}

void TcxCustomHeader::Paint() {
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetColor(Color());
  if (sections_->Count() > 0 || IsInnerControl() || !IsDesigning()) {
    for (Integer i = 0; i <= sections_->Count(); ++i) DrawSection(i);
  } else {
    Canvas()->Pen()->SetStyle(psDash);
    Canvas()->Brush()->SetStyle(bsClear);
    const TRect r = GetClientBounds();
    ::Rectangle(Canvas()->Handle(), r.Left, r.Top, r.Right, r.Bottom);
  }
}

// --- Section states ---

void TcxCustomHeader::SectionStateChanged(Integer AIndex,
                                          TcxButtonState AState) {
  if (AIndex < 0 || AIndex >= sections_->Count()) return;
  sections_->Items(AIndex)->SetState(AState);
}

void TcxCustomHeader::SetHotSection(Integer AIndex) {
  if (hotSection_ == AIndex) return;
  SectionStateChanged(hotSection_, cxbsNormal);
  hotSection_ = AIndex;
  SectionStateChanged(hotSection_, cxbsHot);
}

void TcxCustomHeader::SetPressedSection(Integer AIndex) {
  if (pressedSection_ == AIndex) return;
  SectionStateChanged(pressedSection_, cxbsNormal);
  pressedSection_ = AIndex;
  SectionStateChanged(pressedSection_, cxbsPressed);
}

void TcxCustomHeader::SaveCursor() {
  if (cursorSaved_) return;
  savedCursor_ = Screen->Cursor();
  cursorSaved_ = true;
}

void TcxCustomHeader::RestoreCursor() {
  if (!cursorSaved_) return;
  cursorSaved_ = false;
  if (Screen) Screen->SetCursor(savedCursor_);
}

void TcxCustomHeader::SetSizedSection(Integer AIndex) {
  sizedSection_ = AIndex;
  if (AIndex >= 0) {
    SaveCursor();
    Screen->SetCursor(crHSplit);
  } else {
    RestoreCursor();
  }
}

void TcxCustomHeader::UpdateSizedSection(const TPoint& P) {
  const Integer i = GetSectionIndexAtPos(P.X, P.Y, true);
  Integer sized = -1;
  if (i >= 0 && i < sections_->Count()) {
    const TRect r = GetSectionRect(i);
    if (P.X >= r.Right - kSizerWidth && P.X <= r.Right) sized = i;
  }
  if (sized < 0 && i > 0) {
    const TRect r = GetSectionRect(i);
    if (P.X >= r.Left && P.X <= r.Left + kSizerWidth) sized = i - 1;
  }
  SetSizedSection(sized);
}

// --- Split line ---

void TcxCustomHeader::BeginSplitLine(Integer X) {
  if (!Parent()) return;
  splitDC_ = ::GetDCEx(Parent()->Handle(), nullptr,
                       DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
  prevSplitBrush_ = ::SelectObject(splitDC_, cxHalfToneBrush()->Handle());
  DrawSplitLine(X);
}

void TcxCustomHeader::DrawSplitLine(Integer X) {
  if (!splitDC_) return;
  ::PatBlt(splitDC_, Left() + X, 1, 1, Parent()->ClientHeight() - 1, PATINVERT);
  splitLineX_ = X;
  splitLineDrawn_ = !splitLineDrawn_;
}

void TcxCustomHeader::EndSplitLine() {
  if (!splitDC_) return;
  if (splitLineDrawn_) DrawSplitLine(splitLineX_);
  ::SelectObject(splitDC_, prevSplitBrush_);
  ::ReleaseDC(Parent() ? Parent()->Handle() : nullptr, splitDC_);
  splitDC_ = nullptr;
  splitLineDrawn_ = false;
}

// --- Mouse ---

void TcxCustomHeader::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      inherited::Dispatch(Message);
      WMLButtonDown(Message);
      return;
    case WM_MOUSEMOVE:
      inherited::Dispatch(Message);
      WMMouseMove(Message);
      return;
    case WM_LBUTTONUP:
      inherited::Dispatch(Message);
      WMLButtonUp(Message);
      return;
    case WM_CAPTURECHANGED:
      inherited::Dispatch(Message);
      WMCaptureChanged(Message);
      return;
    case HDM_GETITEMCOUNT:
      Message.Result = sections_->Count();
      return;
    case CM_HEADERITEMINFO:
      HDMGetItemInfo(Message);
      return;
    case WM_SIZE:
      inherited::Dispatch(Message);
      FitToClientWidth();
      return;
    case WM_WINDOWPOSCHANGED:
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      UpdateSections();
      return;
    case CM_MOUSEENTER:
      inherited::Dispatch(Message);
      BeginMouseTracking(this, GetClientBounds(), this);
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(Message);
      EndMouseTracking(this);
      if (state_ == hsNone) {
        sectionUnderMouse_ = -1;
        SetSizedSection(-1);
        SetHotSection(-1);
      }
      return;
    case CM_BIDIMODECHANGED:
      inherited::Dispatch(Message);
      if (HandleAllocated())
        for (Integer i = 0; i < sections_->Count(); ++i)
          if (sections_->Items(i)->ParentBiDiMode())
            sections_->Items(i)->SetParentBiDiMode(true);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TcxCustomHeader::HDMGetItemInfo(TMessage& Message) {
  auto* info = reinterpret_cast<THeaderItemInfo*>(Message.LParam);
  const auto index = static_cast<Integer>(Message.WParam);
  *info = THeaderItemInfo{};
  info->ImageIndex = -1;
  const bool valid = index >= 0 && index < sections_->Count();
  if (!Enabled())
    info->State = cxbsDisabled;
  else
    info->State = valid ? sections_->Items(index)->State() : cxbsNormal;
  info->SectionRect = GetSectionRect(index);
  if (valid) {
    TcxHeaderSection* s = sections_->Items(index);
    info->Caption = s->Text().c_str();
    info->Alignment = s->Alignment();
    info->ImageIndex = s->ImageIndex();
    info->SortOrder = s->SortOrder();
  }
  Message.Result = 1;
}

void TcxCustomHeader::WMLButtonDown(TMessage& Message) {
  if (IsDesigning()) return;
  ::SetCapture(Handle());
  const TPoint p = PointOfLParam(Message.LParam);
  if (sizedSection_ >= 0) {
    state_ = hsSized;
    TcxHeaderSection* s = sections_->Items(sizedSection_);
    if (!resizeUpdate_) BeginSplitLine(s->GetRight());
    DoSectionTrackEvent(s, s->Width(), tsTrackBegin);
    prevMouseX_ = p.X;
    return;
  }
  const Integer i = GetSectionIndexAtPos(p.X, p.Y, false);
  if (i >= 0 && sections_->Items(i)->AllowClick()) {
    state_ = hsPressed;
    SetHotSection(-1);
    SetPressedSection(i);
  }
}

void TcxCustomHeader::WMMouseMove(TMessage& Message) {
  if (IsDesigning()) return;
  const TPoint p = PointOfLParam(Message.LParam);
  sectionUnderMouse_ = GetSectionIndexAtPos(p.X, p.Y, false);
  switch (state_) {
    case hsNone:
      UpdateSizedSection(p);
      SetHotSection(sizedSection_ >= 0 ? -1 : sectionUnderMouse_);
      break;
    case hsSized: {
      TcxHeaderSection* s = sections_->Items(sizedSection_);
      const Integer width =
          std::min(std::max(s->Width() + p.X - prevMouseX_, s->MinWidth()),
                   s->MaxWidth());
      if (resizeUpdate_) {
        prevMouseX_ += width - s->Width();
        s->SetWidth(width);
        DoSectionTrackEvent(s, width, tsTrackMove);
      } else if (s->GetLeft() + width != splitLineX_) {
        DrawSplitLine(splitLineX_);
        DrawSplitLine(s->GetLeft() + width);
      }
      DoSectionResizeEvent(s);
      break;
    }
    case hsPressed:
      if (dragReorder_) {
        state_ = hsDragged;
        dragAllowed_ = false;
      } else {
        SectionStateChanged(
            pressedSection_,
            sectionUnderMouse_ == pressedSection_ ? cxbsPressed : cxbsNormal);
      }
      break;
    case hsDragged:
      if (sectionUnderMouse_ < 0) {
        RestoreCursor();
      } else {
        SaveCursor();
        Screen->SetCursor(crDrag);
        dragAllowed_ = DoSectionDrag(sections_->Items(pressedSection_),
                                     sections_->Items(sectionUnderMouse_));
        SetHotSection(
            sectionUnderMouse_ == pressedSection_ ? -1 : sectionUnderMouse_);
      }
      break;
  }
  BeginMouseTracking(this, GetClientBounds(), this);
}

void TcxCustomHeader::WMLButtonUp(TMessage& Message) {
  if (IsDesigning()) return;
  const TPoint p = PointOfLParam(Message.LParam);
  const auto shift = MouseKeysToShiftState(Message.WParam);
  const TcxHeaderState state = state_;
  state_ = hsNone;
  switch (state) {
    case hsSized: {
      TcxHeaderSection* s = sections_->Items(sizedSection_);
      if (!resizeUpdate_) {
        const Integer x = splitLineX_;
        EndSplitLine();
        s->SetWidth(x - s->GetLeft());
      }
      DoSectionTrackEvent(s, s->Width(), tsTrackEnd);
      UpdateSizedSection(p);
      break;
    }
    case hsDragged:
      if (dragAllowed_) DoSectionEndDrag();
      RestoreCursor();
      UpdateSections();
      break;
    case hsPressed:
      if (pressedSection_ >= 0 &&
          GetSectionIndexAtPos(p.X, p.Y, false) == pressedSection_) {
        TcxHeaderSection* s = sections_->Items(pressedSection_);
        DoSectionClickEvent(s);
        TcxHeaderSortOrder order = soAscending;
        if (shift.Contains(ssCtrl))
          order = soNone;
        else if (s->SortOrder() == soAscending)
          order = soDescending;
        ChangeSectionSortOrder(
            s, order, !shift.Contains(ssShift) && !shift.Contains(ssCtrl));
      }
      break;
    default:
      break;
  }
  if (::GetCapture() == Handle()) ::ReleaseCapture();
  SetPressedSection(-1);
}

void TcxCustomHeader::WMCaptureChanged(TMessage&) {
  if (state_ == hsNone) return;
  if (state_ == hsSized) {
    if (!resizeUpdate_) EndSplitLine();
    state_ = hsNone;
    UpdateSizedSection(ScreenToClient(GetMouseCursorPos()));
  } else if (state_ == hsDragged) {
    state_ = hsNone;
    DoSectionEndDragEvent();
    RestoreCursor();
  }
  state_ = hsNone;
  SetPressedSection(-1);
}
