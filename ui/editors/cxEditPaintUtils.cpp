#include "cxEditPaintUtils.h"

#include <algorithm>

#include "WinApi.h"

namespace {

constexpr Integer kSystemBrushCount = 31;
constexpr Cardinal kSystemColorBase = 0xFF000000u;

HBRUSH gSystemBrushes[kSystemBrushCount] = {};
bool gSystemBrushesRead = false;
TObjectPtr<TcxSolidBrushCache> gBrushCache;

bool IsSystemColor(Cardinal AColor) {
  return AColor >= kSystemColorBase &&
         AColor < kSystemColorBase + kSystemBrushCount;
}

}  // namespace

TcxSolidBrushCache::TcxSolidBrushCache(Integer ACapacity)
    : capacity_(std::max<Integer>(ACapacity, 1)),
      notifier_(new TcxSystemPaletteChangedNotifier()) {
  entries_.reserve(static_cast<std::size_t>(capacity_));
  notifier_->SetOnSystemPaletteChanged(TcxSystemPaletteChangedEvent(
      this, &TcxSolidBrushCache::SystemPaletteChanged));
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  notifier_.reset();
  Clear();
}

bool TcxSolidBrushCache::Find(Cardinal AColor, Integer& AIndex) const {
  Integer low = 0;
  Integer high = Count() - 1;
  while (low <= high) {
    const Integer middle = (low + high) / 2;
    const Cardinal c = entries_[static_cast<std::size_t>(middle)].Color;
    if (c < AColor) {
      low = middle + 1;
    } else if (c > AColor) {
      high = middle - 1;
    } else {
      AIndex = middle;
      return true;
    }
  }
  AIndex = low;
  return false;
}

void TcxSolidBrushCache::EvictLeastUsed(Integer& AInsertIndex) {
  // The first of the least used in colour order goes: a tie keeps the
  // higher colours, which is what callers measured the cache against.
  Integer victim = 0;
  for (Integer i = 1; i < Count(); ++i)
    if (entries_[static_cast<std::size_t>(i)].UseCount <
        entries_[static_cast<std::size_t>(victim)].UseCount)
      victim = i;
  entries_.erase(entries_.begin() + victim);
  if (AInsertIndex > victim) --AInsertIndex;
}

HBRUSH TcxSolidBrushCache::GetBrush(TColor AColor) {
  const Cardinal color = static_cast<Cardinal>(AColor);
  // A system colour the system has no brush for is cached like any other,
  // so that a fill never gets a null brush.
  if (IsSystemColor(color) && gSystemBrushesRead &&
      gSystemBrushes[color - kSystemColorBase])
    return gSystemBrushes[color - kSystemColorBase];
  Integer index = 0;
  if (Find(color, index)) {
    TEntry& e = entries_[static_cast<std::size_t>(index)];
    ++e.UseCount;
    return e.Brush.get();
  }
  if (Count() >= capacity_) EvictLeastUsed(index);
  TBrushHandle brush(
      CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(AColor))));
  const HBRUSH result = brush.get();
  entries_.insert(entries_.begin() + index, TEntry{color, std::move(brush), 0});
  return result;
}

bool TcxSolidBrushCache::Contains(TColor AColor) const {
  Integer index = 0;
  return Find(static_cast<Cardinal>(AColor), index);
}

void TcxSolidBrushCache::Clear() { entries_.clear(); }

void TcxSolidBrushCache::SystemPaletteChanged() { Clear(); }

TcxSolidBrushCache* cxSolidBrushCache() {
  // Painting before the unit's start-up (or after its shut-down) still gets
  // a working cache rather than a crash.
  if (!gBrushCache) gBrushCache.reset(new TcxSolidBrushCache());
  return gBrushCache.get();
}

HBRUSH GetSolidBrush(TColor AColor) {
  return cxSolidBrushCache()->GetBrush(AColor);
}

HBRUSH GetSolidBrush(TCanvas*, TColor AColor) { return GetSolidBrush(AColor); }

HBRUSH GetSolidBrush(TcxCanvas*, TColor AColor) {
  return GetSolidBrush(AColor);
}

void ResetSolidBrushCache() {
  if (gBrushCache) gBrushCache->Clear();
}

namespace {

void EditPaintUtilsStartup() {
  for (Integer i = 0; i < kSystemBrushCount; ++i)
    gSystemBrushes[i] = GetSysColorBrush(i);
  gSystemBrushesRead = true;
  gBrushCache.reset(new TcxSolidBrushCache());
}

void EditPaintUtilsShutdown() {
  gBrushCache.reset();
  std::fill(std::begin(gSystemBrushes), std::end(gSystemBrushes), nullptr);
  gSystemBrushesRead = false;
}

}  // namespace

VARNEL_UNIT(cxEditPaintUtils, ({"cxLookAndFeelPainters"}),
            &EditPaintUtilsStartup, &EditPaintUtilsShutdown);
