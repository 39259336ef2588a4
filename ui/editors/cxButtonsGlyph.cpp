// The push button's glyph: the images made from a glyph strip or an image
// list for each state, kept in image lists that all buttons of one glyph
// size share.
#include <algorithm>

#include "cxButtons.h"
#include "cxEditUtils.h"

namespace {

// Buttons that hold a glyph object; the cache lives while any does or while
// it still holds a list.
Integer glyphCount = 0;
TObjectPtr<TcxGlyphCache> glyphCache;

void ReleaseCacheWhenIdle() {
  if (glyphCount == 0 && glyphCache && glyphCache->ListCount() == 0)
    glyphCache.reset();
}

}  // namespace

TcxGlyphCache* cxButtonGlyphCache() { return glyphCache.get(); }

// ---------------------------------------------------------------------------
// TcxGlyphList
// ---------------------------------------------------------------------------

TcxGlyphList::TcxGlyphList(Integer AWidth, Integer AHeight)
    : TcxImageList(nullptr) {
  SetSize(AWidth, AHeight);
}

Integer TcxGlyphList::AddGlyph(TBitmap* AImage, TBitmap* AMask) {
  const auto free = std::find(used_.begin(), used_.end(), false);
  Integer index;
  if (free != used_.end()) {
    index = static_cast<Integer>(free - used_.begin());
    Replace(index, AImage, AMask);
  } else {
    index = Add(AImage, AMask);
    used_.resize(static_cast<std::size_t>(index) + 1, false);
  }
  used_[static_cast<std::size_t>(index)] = true;
  ++usedCount_;
  return index;
}

void TcxGlyphList::FreeSlot(Integer AIndex) {
  if (!IsSlotUsed(AIndex)) return;
  used_[static_cast<std::size_t>(AIndex)] = false;
  --usedCount_;
}

bool TcxGlyphList::IsSlotUsed(Integer AIndex) const {
  return AIndex >= 0 && AIndex < static_cast<Integer>(used_.size()) &&
         used_[static_cast<std::size_t>(AIndex)];
}

// ---------------------------------------------------------------------------
// TcxGlyphCache
// ---------------------------------------------------------------------------

TcxGlyphList* TcxGlyphCache::GetList(Integer AWidth, Integer AHeight) {
  for (const auto& list : lists_)
    if (list->Width() == AWidth && list->Height() == AHeight) return list.get();
  lists_.emplace_back(new TcxGlyphList(AWidth, AHeight));
  return lists_.back().get();
}

void TcxGlyphCache::ReturnList(TcxGlyphList* AList) {
  if (!AList || AList->UsedCount() > 0) return;
  const auto it =
      std::find_if(lists_.begin(), lists_.end(),
                   [AList](const auto& list) { return list.get() == AList; });
  if (it != lists_.end()) lists_.erase(it);
}

// ---------------------------------------------------------------------------
// TcxButtonGlyph
// ---------------------------------------------------------------------------

TcxButtonGlyph::TcxButtonGlyph(TNotifyEvent AOnChange)
    : glyph_(new TBitmap), onChange_(AOnChange) {
  if (glyphCount++ == 0 && !glyphCache) glyphCache.reset(new TcxGlyphCache());
}

TcxButtonGlyph::~TcxButtonGlyph() {
  Invalidate();
  --glyphCount;
  ReleaseCacheWhenIdle();
}

void TcxButtonGlyph::Changed() {
  Invalidate();
  if (onChange_) onChange_(this);
}

void TcxButtonGlyph::SetGlyph(TBitmap* Value) {
  if (Value)
    glyph_->Assign(Value);
  else
    glyph_.reset(new TBitmap);
  numGlyphs_ = cxButtonNumGlyphsOf(glyph_->Width(), glyph_->Height());
  Changed();
}

void TcxButtonGlyph::SetNumGlyphs(Integer Value) {
  Value = Value < 2 ? 1 : std::min(Value, 4);
  if (numGlyphs_ == Value) return;
  numGlyphs_ = Value;
  Changed();
}

void TcxButtonGlyph::SetImageList(TCustomImageList* AImages,
                                  Integer AImageIndex) {
  if (images_ == AImages && imageIndex_ == AImageIndex) return;
  images_ = AImages;
  imageIndex_ = AImageIndex;
  // Only an image that shows needs new images.
  if (!HasGlyphBitmap()) Changed();
}

bool TcxButtonGlyph::HasGlyphBitmap() const {
  return VerifyBitmap(glyph_.get());
}

TSize TcxButtonGlyph::ImageSize() const {
  if (HasGlyphBitmap())
    return TSize{glyph_->Width() / numGlyphs_, glyph_->Height()};
  if (VerifyImages(images_) && imageIndex_ >= 0 &&
      imageIndex_ < images_->Count())
    return TSize{images_->Width(), images_->Height()};
  return TSize{0, 0};
}

Integer TcxButtonGlyph::KindOf(TcxButtonState AState) const {
  switch (AState) {
    case cxbsDisabled:
      return 1;
    case cxbsPressed:
      return numGlyphs_ < 3 ? 0 : 2;
    default:
      return 0;
  }
}

Integer TcxButtonGlyph::CreateButtonGlyph(TcxButtonState AState) {
  const Integer kind = KindOf(AState);
  if (indexes_[kind] >= 0) return indexes_[kind];
  const TSize size = ImageSize();
  if (size.cx <= 0 || size.cy <= 0 || !glyphCache) return -1;
  TObjectPtr<TBitmap> image(new TBitmap);
  image->SetSize(size.cx, size.cy);
  TObjectPtr<TBitmap> mask(new TBitmap);
  mask->SetSize(size.cx, size.cy);
  const TRect cell{0, 0, size.cx, size.cy};
  if (HasGlyphBitmap()) {
    const TColor transparent = glyph_->TransparentColor();
    const Integer part = kind < numGlyphs_ ? kind : 0;
    TObjectPtr<TBitmap> source(new TBitmap);
    source->SetSize(size.cx, size.cy);
    source->Canvas()->CopyRect(
        cell, glyph_->Canvas(),
        TRect{part * size.cx, 0, (part + 1) * size.cx, size.cy});
    if (kind == 1 && numGlyphs_ == 1) {
      // One glyph for every state: the disabled image is drawn from it.
      image->Canvas()->Brush()->SetColor(transparent);
      image->Canvas()->FillRect(cell);
      source->SetTransparent(true);
      source->SetTransparentColor(transparent);
      DrawGlyph(image->Canvas(), 0, 0, source.get(), false);
    } else {
      image->Canvas()->CopyRect(cell, source->Canvas(), cell);
    }
    image->SetTransparentColor(transparent);
    cxMakeMaskBitmap(image.get(), mask.get());
  } else if (kind == 1) {
    // The list draws its disabled look over a colour the mask drops.
    const TColor transparent = clFuchsia;
    image->Canvas()->Brush()->SetColor(transparent);
    image->Canvas()->FillRect(cell);
    images_->Draw(image->Canvas(), 0, 0, imageIndex_, false);
    image->SetTransparentColor(transparent);
    cxMakeMaskBitmap(image.get(), mask.get());
  } else {
    TcxImageList::GetImageInfo(images_->Handle(), imageIndex_, image.get(),
                               mask.get());
  }
  if (!list_) list_ = glyphCache->GetList(size.cx, size.cy);
  indexes_[kind] = list_->AddGlyph(image.get(), mask.get());
  return indexes_[kind];
}

void TcxButtonGlyph::Draw(TcxCanvas* ACanvas, Integer X, Integer Y,
                          TcxButtonState AState) {
  const Integer index = CreateButtonGlyph(AState);
  if (index < 0 || !list_) return;
  list_->Draw(ACanvas->Canvas(), X, Y, index, true);
}

void TcxButtonGlyph::Invalidate() {
  if (!list_) return;
  for (Integer& index : indexes_) {
    list_->FreeSlot(index);
    index = -1;
  }
  if (glyphCache) glyphCache->ReturnList(list_);
  list_ = nullptr;
  ReleaseCacheWhenIdle();
}
