// Image lists over the common controls' ImageList_* functions.
#include "ImgList.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TChangeLink
// ---------------------------------------------------------------------------

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (sender_) OnChange(sender_);
}

// ---------------------------------------------------------------------------
// TCustomImageList
// ---------------------------------------------------------------------------

namespace {

COLORREF ListColor(TColor c) {
  if (c == clNone) return CLR_NONE;
  if (c == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(c));
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {
  Initialize();
}

void TCustomImageList::Initialize() {
  if (width_ < 1 || height_ < 1 || width_ > 32768 || height_ > 32768) {
    throw EInvalidOperation("Invalid image size");
  }
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->SetSender(nullptr);
  links_.clear();
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (handle_ && !shareImages_) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

void TCustomImageList::CreateImageList() {
  UINT flags = ILC_COLOR32;
  if (masked_) flags |= ILC_MASK;
  handle_ = ImageList_Create(width_, height_, flags, allocBy_, allocBy_);
  if (!handle_) throw EInvalidOperation("Failed to create image list");
  if (bkColor_ != clNone) ImageList_SetBkColor(handle_, ListColor(bkColor_));
}

HIMAGELIST TCustomImageList::Handle() {
  if (!handle_) CreateImageList();
  return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  if (Value == handle_) return;
  FreeHandle();
  handle_ = Value;
  if (handle_) {
    int w = 0;
    int h = 0;
    ImageList_GetIconSize(handle_, &w, &h);
    width_ = w;
    height_ = h;
    const COLORREF bk = ImageList_GetBkColor(handle_);
    bkColor_ = bk == CLR_NONE ? clNone : static_cast<TColor>(bk);
  }
  Change();
}

Integer TCustomImageList::Count() const {
  return handle_ ? ImageList_GetImageCount(handle_) : 0;
}

void TCustomImageList::CheckIndex(Integer Index, bool AllowCount) const {
  const Integer count = Count();
  if (Index < 0 || Index > count || (Index == count && !AllowCount)) {
    throw EInvalidOperation("Invalid image list index %d", {Index});
  }
}

Integer TCustomImageList::Checked(Integer Result) {
  if (Result < 0) throw EInvalidOperation("Failed to add image to list");
  Change();
  return Result;
}

void TCustomImageList::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth == width_ && AHeight == height_) return;
  if (AWidth <= 0 || AHeight <= 0) {
    throw EInvalidOperation("Invalid image size");
  }
  width_ = AWidth;
  height_ = AHeight;
  if (handle_) {
    FreeHandle();
    Change();
  }
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == masked_) return;
  masked_ = Value;
  if (handle_) {
    FreeHandle();
    Change();
  }
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == bkColor_) return;
  bkColor_ = Value;
  if (handle_) ImageList_SetBkColor(handle_, ListColor(Value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == blendColor_) return;
  blendColor_ = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == drawingStyle_) return;
  drawingStyle_ = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == imageType_) return;
  imageType_ = Value;
  Change();
}

void TCustomImageList::Assign(TPersistent* Source) {
  auto* list = dynamic_cast<TCustomImageList*>(Source);
  if (!list) {
    TComponent::Assign(Source);
    return;
  }
  if (list == this) return;
  BeginUpdate();
  FreeHandle();
  width_ = list->width_;
  height_ = list->height_;
  allocBy_ = list->allocBy_;
  bkColor_ = list->bkColor_;
  blendColor_ = list->blendColor_;
  drawingStyle_ = list->drawingStyle_;
  imageType_ = list->imageType_;
  masked_ = list->masked_;
  shareImages_ = false;
  if (list->handle_) {
    handle_ = ImageList_Duplicate(list->handle_);
    if (!handle_) {
      EndUpdate();
      throw EInvalidOperation("Failed to copy image list");
    }
  }
  Change();
  EndUpdate();
}

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image) throw EInvalidOperation("No image to add");
  HIMAGELIST h = Handle();
  return Checked(
      ImageList_Add(h, Image->Handle(), Mask ? Mask->Handle() : nullptr));
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image) throw EInvalidOperation("No image to add");
  if (MaskColor == clNone) return Add(Image, nullptr);
  if (MaskColor == clDefault) MaskColor = Image->TransparentColor();
  // The system blackens the masked pixels of the bitmap it is given: give
  // it a copy.
  TBitmap copy;
  copy.Assign(Image);
  HIMAGELIST h = Handle();
  return Checked(ImageList_AddMasked(
      h, copy.Handle(), static_cast<COLORREF>(ColorToRGB(MaskColor))));
}

Integer TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || !Image->Handle()) {
    throw EInvalidOperation("No image to add");
  }
  HIMAGELIST h = Handle();
  return Checked(ImageList_ReplaceIcon(h, -1, Image->Handle()));
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
  if (!Value || Value == this || !Value->handle_) return;
  auto update = MakeBracket(this, &TCustomImageList::BeginUpdate,
                            &TCustomImageList::EndUpdate);
  for (Integer i = 0; i < Value->Count(); ++i) {
    const TIconHandle icon(ImageList_GetIcon(Value->handle_, i, ILD_NORMAL));
    if (!icon) continue;
    ImageList_ReplaceIcon(Handle(), -1, icon.get());
  }
  Change();
}

namespace {

// One image of a list copied out: its colours (black where transparent, as
// the list keeps them) and, for masked lists, its mask.
struct TListImage {
  TBitmapHandle image;
  TBitmapHandle mask;
};

void ReadListImage(HIMAGELIST list, Integer index, Integer w, Integer h,
                   bool masked, TListImage& out) {
  {
    TWindowDC screen(nullptr);
    out.image.reset(CreateCompatibleBitmap(screen.get(), w, h));
  }
  if (masked) out.mask.reset(CreateBitmap(w, h, 1, 1, nullptr));
  if (!out.image || (masked && !out.mask)) {
    throw EOutOfMemory("Out of system resources");
  }
  TOwnedDC dc(CreateCompatibleDC(nullptr));
  TSelectObject select(dc.get(), out.image.get());
  PatBlt(dc.get(), 0, 0, w, h, BLACKNESS);
  ImageList_DrawEx(list, index, dc.get(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                   ILD_NORMAL);
  if (masked) {
    select.Select(out.mask.get());
    PatBlt(dc.get(), 0, 0, w, h, WHITENESS);
    ImageList_DrawEx(list, index, dc.get(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                     ILD_MASK);
  }
}

}  // namespace

void TCustomImageList::Move(Integer CurIndex, Integer NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  // Shift the images between one place and put the moved one back; the
  // system's swap is not reliable everywhere.
  TListImage moved;
  ReadListImage(handle_, CurIndex, width_, height_, masked_, moved);
  const Integer step = CurIndex < NewIndex ? 1 : -1;
  for (Integer i = CurIndex; i != NewIndex; i += step) {
    ImageList_Copy(handle_, i, handle_, i + step, ILCF_MOVE);
  }
  ImageList_Replace(handle_, NewIndex, moved.image.get(), moved.mask.get());
  Change();
}

void TCustomImageList::Insert(Integer Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index > Count()) return;
  auto update = MakeBracket(this, &TCustomImageList::BeginUpdate,
                            &TCustomImageList::EndUpdate);
  const Integer added = Add(Image, Mask);
  if (added != Index) Move(added, Index);
}

void TCustomImageList::InsertMasked(Integer Index, TBitmap* Image,
                                    TColor MaskColor) {
  if (Index < 0 || Index > Count()) return;
  auto update = MakeBracket(this, &TCustomImageList::BeginUpdate,
                            &TCustomImageList::EndUpdate);
  const Integer added = AddMasked(Image, MaskColor);
  if (added != Index) Move(added, Index);
}

void TCustomImageList::InsertIcon(Integer Index, TIcon* Image) {
  if (Index < 0 || Index > Count()) return;
  auto update = MakeBracket(this, &TCustomImageList::BeginUpdate,
                            &TCustomImageList::EndUpdate);
  const Integer added = AddIcon(Image);
  if (added != Index) Move(added, Index);
}

void TCustomImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  if (!Image) throw EInvalidOperation("No image to add");
  if (!ImageList_Replace(handle_, Index, Image->Handle(),
                         Mask ? Mask->Handle() : nullptr)) {
    throw EInvalidOperation("Failed to replace image");
  }
  Change();
}

void TCustomImageList::ReplaceMasked(Integer Index, TBitmap* NewImage,
                                     TColor MaskColor) {
  CheckIndex(Index);
  if (!NewImage) throw EInvalidOperation("No image to add");
  if (MaskColor == clDefault) MaskColor = NewImage->TransparentColor();
  // Through a scratch list: the system has no masked replace.
  TCustomImageList scratch(nullptr);
  scratch.SetSize(width_, height_);
  scratch.SetMasked(masked_);
  scratch.AddMasked(NewImage, MaskColor);
  const TIconHandle icon(ImageList_GetIcon(scratch.Handle(), 0, ILD_NORMAL));
  if (!icon) throw EInvalidOperation("Failed to replace image");
  const int done = ImageList_ReplaceIcon(handle_, Index, icon.get());
  if (done < 0) throw EInvalidOperation("Failed to replace image");
  Change();
}

void TCustomImageList::ReplaceIcon(Integer Index, TIcon* Image) {
  CheckIndex(Index);
  if (!Image || !Image->Handle()) throw EInvalidOperation("No image to add");
  if (ImageList_ReplaceIcon(handle_, Index, Image->Handle()) < 0) {
    throw EInvalidOperation("Failed to replace image");
  }
  Change();
}

void TCustomImageList::Delete(Integer Index) {
  CheckIndex(Index);
  ImageList_Remove(handle_, Index);
  Change();
}

void TCustomImageList::Clear() {
  if (!handle_) return;
  ImageList_Remove(handle_, -1);
  Change();
}

bool TCustomImageList::GetBitmap(Integer Index, TBitmap* Image) {
  if (!Image || !handle_ || Index < 0 || Index >= Count()) return false;
  Image->SetSize(width_, height_);
  TCanvas* canvas = Image->Canvas();
  canvas->Brush()->SetColor(bkColor_ == clNone ? clWhite : bkColor_);
  canvas->FillRect(Rect(0, 0, width_, height_));
  ImageList_Draw(handle_, Index, canvas->Handle(), 0, 0, ILD_NORMAL);
  return true;
}

void TCustomImageList::GetIcon(Integer Index, TIcon* Image) {
  if (!Image) return;
  CheckIndex(Index);
  HICON icon = ImageList_GetIcon(handle_, Index, ILD_NORMAL);
  if (!icon) throw EInvalidOperation("Failed to read image");
  Image->SetHandle(icon);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y,
                            Integer Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, drawingStyle_, imageType_, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y,
                            Integer Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!Canvas || !handle_ || Index < 0 || Index >= Count()) return;
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL,
                                ILD_TRANSPARENT};
  UINT style = styles[ADrawingStyle];
  if (AImageType == itMask) style |= ILD_MASK;
  DoDraw(Index, Canvas, X, Y, style, Enabled);
}

void TCustomImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X,
                              Integer Y, UINT Style, bool Enabled) {
  if (!handle_) return;
  HDC dc = Canvas->Handle();
  if (Enabled) {
    ImageList_DrawEx(handle_, Index, dc, X, Y, 0, 0, ListColor(bkColor_),
                     ListColor(blendColor_), Style);
  } else {
    DrawDisabled(Index, dc, X, Y);
  }
}

// The image's shape (every pixel it draws over white that is not white)
// painted in the button highlight colour one pixel down and right, then in
// the button shadow colour in place.
void TCustomImageList::DrawDisabled(Integer Index, HDC DC, Integer X,
                                    Integer Y) {
  const Integer w = width_;
  const Integer h = height_;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  TBitmapHandle image(
      CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!image) return;
  TOwnedDC imageDC(CreateCompatibleDC(nullptr));
  // Monochrome shape: 1 = ink. Device bitmap rows are word aligned.
  const std::size_t stride = ((static_cast<std::size_t>(w) + 15) / 16) * 2;
  std::vector<Byte> shape(stride * static_cast<std::size_t>(h), 0);
  {
    TSelectObject select(imageDC.get(), image.get());
    PatBlt(imageDC.get(), 0, 0, w, h, WHITENESS);
    ImageList_DrawEx(handle_, Index, imageDC.get(), 0, 0, 0, 0, CLR_NONE,
                     CLR_NONE, ILD_TRANSPARENT);
    GdiFlush();
    const auto* px = static_cast<const DWORD*>(bits);
    for (Integer y = 0; y < h; ++y) {
      for (Integer x = 0; x < w; ++x) {
        if ((px[y * w + x] & 0xFFFFFF) != 0xFFFFFF) {
          shape[y * stride + x / 8] |= static_cast<Byte>(0x80 >> (x % 8));
        }
      }
    }
  }
  image.reset();
  TBitmapHandle mono(CreateBitmap(w, h, 1, 1, shape.data()));
  if (!mono) return;
  TSelectObject selectMono(imageDC.get(), mono.get());

  // Where the source is 1 (shown as the background colour, white) the brush
  // is painted; elsewhere the destination stays.
  constexpr DWORD kRopDSPDxax = 0x00E20746;
  const COLORREF oldText = SetTextColor(DC, RGB(0, 0, 0));
  const COLORREF oldBk = ::SetBkColor(DC, RGB(255, 255, 255));
  const TBrushHandle highlight(
      CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnHighlight))));
  const TBrushHandle shadow(
      CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnShadow))));
  {
    TSelectObject brush(DC, highlight.get());
    BitBlt(DC, X + 1, Y + 1, w, h, imageDC.get(), 0, 0, kRopDSPDxax);
    brush.Select(shadow.get());
    BitBlt(DC, X, Y, w, h, imageDC.get(), 0, 0, kRopDSPDxax);
  }
  SetTextColor(DC, oldText);
  ::SetBkColor(DC, oldBk);
}

void TCustomImageList::BeginUpdate() { ++updateCount_; }

void TCustomImageList::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0 && changed_) {
    changed_ = false;
    Change();
  }
}

void TCustomImageList::Change() {
  if (updateCount_ > 0) {
    changed_ = true;
    return;
  }
  // A link may unregister itself from its handler: walk a copy.
  const std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links) {
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) {
      link->Change();
    }
  }
  OnChange(this);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  if (Value->Sender() && Value->Sender() != this) {
    Value->Sender()->UnRegisterChanges(Value);
  }
  Value->SetSender(this);
  if (std::find(links_.begin(), links_.end(), Value) == links_.end()) {
    links_.push_back(Value);
  }
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(links_.begin(), links_.end(), Value);
  if (it == links_.end()) return;
  links_.erase(it);
  Value->SetSender(nullptr);
}

// ---------------------------------------------------------------------------
// TDragImageList
// ---------------------------------------------------------------------------

TDragImageList::TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}

TDragImageList::~TDragImageList() {
  if (dragging_) EndDrag();
}

bool TDragImageList::SetDragImage(Integer Index, Integer HotSpotX,
                                  Integer HotSpotY) {
  if (Index < 0 || Index >= Count()) return false;
  dragIndex_ = Index;
  hotSpot_ = {HotSpotX, HotSpotY};
  return true;
}

bool TDragImageList::BeginDrag(HWND Window, Integer X, Integer Y) {
  if (!HandleAllocated() || dragIndex_ >= Count()) return false;
  if (dragging_) EndDrag();
  if (!ImageList_BeginDrag(Handle(), dragIndex_, hotSpot_.X, hotSpot_.Y)) {
    return false;
  }
  dragging_ = true;
  return DragLock(Window, X, Y);
}

bool TDragImageList::DragLock(HWND Window, Integer XPos, Integer YPos) {
  if (!dragging_) return false;
  if (lockedWindow_ && lockedWindow_ != Window) DragUnlock();
  lockedWindow_ = Window;
  return ImageList_DragEnter(Window, XPos, YPos) != FALSE;
}

void TDragImageList::DragUnlock() {
  if (!lockedWindow_) return;
  ImageList_DragLeave(lockedWindow_);
  lockedWindow_ = nullptr;
}

bool TDragImageList::DragMove(Integer X, Integer Y) {
  return dragging_ && ImageList_DragMove(X, Y) != FALSE;
}

bool TDragImageList::EndDrag() {
  if (!dragging_) return false;
  DragUnlock();
  ImageList_EndDrag();
  dragging_ = false;
  return true;
}

void TDragImageList::HideDragImage() {
  if (dragging_) ImageList_DragShowNolock(FALSE);
}

void TDragImageList::ShowDragImage() {
  if (dragging_) ImageList_DragShowNolock(TRUE);
}

// ---------------------------------------------------------------------------
// Unit start-up
// ---------------------------------------------------------------------------

namespace {

void ImgListStartup() {
  RegisterEnum<TDrawingStyle>(
      "TDrawingStyle", {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"});
  RegisterEnum<TImageType>("TImageType", {"itImage", "itMask"});
  TPublished<TImageList>()
      .Property("AllocBy", &TCustomImageList::AllocBy,
                &TCustomImageList::SetAllocBy, 4)
      .Property("BkColor", &TCustomImageList::BkColor,
                &TCustomImageList::SetBkColor, clNone)
      .Property("BlendColor", &TCustomImageList::BlendColor,
                &TCustomImageList::SetBlendColor, clNone)
      .Property("DrawingStyle", &TCustomImageList::DrawingStyle,
                &TCustomImageList::SetDrawingStyle, dsNormal)
      .Property("Height", &TCustomImageList::Height,
                &TCustomImageList::SetHeight, 16)
      .Property("ImageType", &TCustomImageList::ImageType,
                &TCustomImageList::SetImageType, itImage)
      .Property("Masked", &TCustomImageList::Masked,
                &TCustomImageList::SetMasked, true)
      .Property("ShareImages", &TCustomImageList::ShareImages,
                &TCustomImageList::SetShareImages, false)
      .Property("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth,
                16)
      .Field("OnChange", &TCustomImageList::OnChange);
  RegisterClasses({TCustomImageList::StaticClass(),
                   TDragImageList::StaticClass(), TImageList::StaticClass()});
}

}  // namespace

VARNEL_UNIT(ImgList, ({"Graphics"}), &ImgListStartup, nullptr);
