// Helpers for the graphics tests: solid bitmaps and graphics saved to and
// loaded from bytes.
#pragma once

#include <cstring>
#include <vector>

#include "Graphics.h"

namespace visual_test {

inline TObjectPtr<TBitmap> Filled(Integer w, Integer h, TColor color,
                                  TPixelFormat format = pf24bit) {
  TObjectPtr<TBitmap> b(new TBitmap);
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

inline std::vector<Byte> Saved(TGraphic* g) {
  TMemoryStream ms;
  g->SaveToStream(&ms);
  const auto* p = static_cast<const Byte*>(ms.Memory());
  return std::vector<Byte>(p, p + ms.Size());
}

inline void LoadBytes(TGraphic* g, const std::vector<Byte>& bytes) {
  TMemoryStream ms;
  if (!bytes.empty()) {
    ms.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  }
  ms.SetPosition(0);
  g->LoadFromStream(&ms);
}

// Writes a value's bytes into a file image at a byte offset.
template <class T>
void Put(std::vector<Byte>& v, std::size_t at, T value) {
  std::memcpy(v.data() + at, &value, sizeof value);
}

}  // namespace visual_test
