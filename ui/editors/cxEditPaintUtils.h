// One process-wide cache of solid brushes by colour, so that the many small
// fills of editor frames, buttons and arrows never create and delete a brush
// per paint. System colours are served by the system's own brushes and take
// no cache entry. Windows only.
#pragma once

#include <vector>

#include "Graphics.h"
#include "Handles.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"

class TcxSolidBrushCache : public TObject {
  VARNEL_CLASS(TcxSolidBrushCache, TObject)
 public:
  // construction
  explicit TcxSolidBrushCache(Integer ACapacity = 128);
  ~TcxSolidBrushCache() override;
  TcxSolidBrushCache(const TcxSolidBrushCache&) = delete;
  TcxSolidBrushCache& operator=(const TcxSolidBrushCache&) = delete;

  // methods
  // The cache keeps the brush; the caller never deletes it.
  HBRUSH GetBrush(TColor AColor);
  void Clear();

  Integer Capacity() const { return capacity_; }
  Integer Count() const { return static_cast<Integer>(entries_.size()); }
  // Whether the colour holds an entry (system colours never do).
  bool Contains(TColor AColor) const;

 protected:
  // overridables
  virtual void SystemPaletteChanged();

 private:
  struct TEntry {
    Cardinal Color;
    TBrushHandle Brush;
    Cardinal UseCount;
  };
  // The index of the colour, or of the place it would go, by halving.
  bool Find(Cardinal AColor, Integer& AIndex) const;
  void EvictLeastUsed(Integer& AInsertIndex);

  Integer capacity_;
  // Sorted by colour as an unsigned number.
  std::vector<TEntry> entries_;
  TObjectPtr<TcxSystemPaletteChangedNotifier> notifier_;
};

// The cached brush of the colour; the canvas is not used.
HBRUSH GetSolidBrush(TColor AColor);
HBRUSH GetSolidBrush(TCanvas* ACanvas, TColor AColor);
HBRUSH GetSolidBrush(TcxCanvas* ACanvas, TColor AColor);
// Deletes every cached brush.
void ResetSolidBrushCache();
// The process-wide cache (tests look at its count).
TcxSolidBrushCache* cxSolidBrushCache();
