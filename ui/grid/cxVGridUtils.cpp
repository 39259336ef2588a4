#include "cxVGridUtils.h"

#include <cmath>

Integer Max(Integer A, Integer B) { return A > B ? A : B; }
Integer Min(Integer A, Integer B) { return A < B ? A : B; }

// ---------------------------------------------------------------------------
// TcxDataList
// ---------------------------------------------------------------------------

TcxDataList::TcxDataList(Integer ARecordSize, Integer AGrowth)
    : recordSize_(ARecordSize > 0 ? ARecordSize : 1),
      growth_(AGrowth > 0 ? AGrowth : DefaultGrowth) {}

void TcxDataList::CheckCapacity() {
  if (count_ < capacity_) return;
  capacity_ += growth_;
  data_.resize(static_cast<size_t>(capacity_) *
               static_cast<size_t>(recordSize_));
}

void* TcxDataList::Get(Integer AIndex) {
  return const_cast<void*>(static_cast<const TcxDataList*>(this)->Get(AIndex));
}

const void* TcxDataList::Get(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= count_)
    throw Exception("Error %s: Invalid index %d", {ClassName(), AIndex});
  return data_.data() + static_cast<size_t>(AIndex) * recordSize_;
}

Integer TcxDataList::AddRecord(const void* ARecord) {
  CheckCapacity();
  std::memcpy(data_.data() + static_cast<size_t>(count_) * recordSize_, ARecord,
              static_cast<size_t>(recordSize_));
  return count_++;
}

void TcxDataList::AssignData(const TcxDataList& Source) {
  if (Source.recordSize_ != recordSize_) return;
  if (Source.capacity_ > capacity_) {
    capacity_ = Source.capacity_;
    data_.resize(static_cast<size_t>(capacity_) * recordSize_);
  }
  count_ = Source.count_;
  if (count_ > 0)
    std::memcpy(data_.data(), Source.data_.data(),
                static_cast<size_t>(count_) * recordSize_);
}

// ---------------------------------------------------------------------------
// TLineInfoList
// ---------------------------------------------------------------------------

Integer TLineInfoList::AddBrush(const TRect& R, void* ABrush) {
  if (locked_) return -1;
  return AddItem(TLineInfo{R, true, ABrush, 0});
}

Integer TLineInfoList::AddColor(const TRect& R, TcxVGridColor AColor) {
  if (locked_) return -1;
  return AddItem(TLineInfo{R, false, nullptr, AColor});
}

Integer TLineInfoList::AddBrush(Integer ALeft, Integer ATop, Integer AWidth,
                                Integer AHeight, void* ABrush) {
  return AddBrush(Bounds(ALeft, ATop, AWidth, AHeight), ABrush);
}

Integer TLineInfoList::AddColor(Integer ALeft, Integer ATop, Integer AWidth,
                                Integer AHeight, TcxVGridColor AColor) {
  return AddColor(Bounds(ALeft, ATop, AWidth, AHeight), AColor);
}

// ---------------------------------------------------------------------------
// TRectScaler
// ---------------------------------------------------------------------------

TRectScaler::TEntry TRectScaler::GetSummaryParam() const {
  TEntry sum;
  for (const TEntry& e : entries_) {
    sum.Width += e.Width;
    sum.MinWidth += e.MinWidth;
    sum.Spacing += e.Spacing;
  }
  return sum;
}

void TRectScaler::Place(const TRect& R, const std::vector<Integer>& AWidths) {
  Integer x = R.Left;
  const size_t count = entries_.size();
  for (size_t i = 0; i < count; ++i) {
    TRect r{x, R.Top, x + AWidths[i], R.Bottom};
    if (AWidths[i] < entries_[i].MinWidth) r.Right = x + entries_[i].MinWidth;
    if (i + 1 == count) r.Right = R.Right;
    if (r.Right >= R.Right) {
      r.Right = R.Right;
      scaledRects_.Add(r);
      return;
    }
    scaledRects_.Add(r);
    x += r.Width() + entries_[i].Spacing;
  }
}

void TRectScaler::CalcRect(const TRect& R) {
  scaledRects_.Clear();
  if (entries_.empty()) return;
  std::vector<Integer> widths;
  widths.reserve(entries_.size());
  for (const TEntry& e : entries_) widths.push_back(e.Width);
  Place(R, widths);
}

void TRectScaler::ScaleRect(const TRect& R) {
  scaledRects_.Clear();
  if (entries_.empty()) return;
  const TEntry sum = GetSummaryParam();
  if (sum.Width < 1) return;
  const double factor =
      static_cast<double>(R.Width() - sum.Spacing) / sum.Width;
  std::vector<Integer> widths;
  widths.reserve(entries_.size());
  // Halves go to the even neighbour, as the platform's rounding does.
  for (const TEntry& e : entries_)
    widths.push_back(static_cast<Integer>(std::nearbyint(e.Width * factor)));
  Place(R, widths);
}

// ---------------------------------------------------------------------------

Byte cxHalftonePatternRow(Integer Y) {
  Byte row = 0;
  for (Integer x = 0; x < 8; ++x)
    if (cxHalftoneIsFirstColor(x, Y)) row |= static_cast<Byte>(1u << x);
  return row;
}
