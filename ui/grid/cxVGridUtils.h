// The vertical grid's geometry records: growable arrays of fixed-size
// records (rectangles, line segments, indents), a width scaler that fits or
// scales columns into a row, the band and empty rectangles of one layout
// pass, and the bit pattern of the three-dimensional style's halftone
// lines. Plain data with value semantics; platform independent, so brushes,
// bitmaps and fonts appear only as opaque references.
#pragma once

#include <cstring>
#include <vector>

#include "System.h"
#include "Types.h"

Integer Max(Integer A, Integer B);
Integer Min(Integer A, Integer B);

// A growable array of records of one size in one block of memory. Records
// are cleared, not freed, between layout passes, so a repeated layout
// allocates nothing once the list has grown. An address handed out by Get
// stays valid only until the next growth.
class TcxDataList : public TObject {
  VARNEL_CLASS(TcxDataList, TObject)
 public:
  static constexpr Integer DefaultGrowth = 1024;
  explicit TcxDataList(Integer ARecordSize = 1,
                       Integer AGrowth = DefaultGrowth);

  Integer Count() const { return count_; }
  Integer Capacity() const { return capacity_; }
  Integer RecordSize() const { return recordSize_; }
  void Clear() { count_ = 0; }
  // Makes room for one more record.
  void CheckCapacity();
  // Raises "Error <class>: Invalid index <n>" outside 0..Count-1.
  void* Get(Integer AIndex);
  const void* Get(Integer AIndex) const;

 protected:
  // A new record at the end (zeroed); its index.
  Integer AddRecord(const void* ARecord);
  void AssignData(const TcxDataList& Source);

 private:
  Integer recordSize_;
  Integer growth_;
  Integer count_ = 0;
  Integer capacity_ = 0;
  std::vector<unsigned char> data_;
};

// A data list of records of type T.
template <class T>
class TcxTypedDataList : public TcxDataList {
 public:
  explicit TcxTypedDataList(Integer AGrowth = DefaultGrowth)
      : TcxDataList(static_cast<Integer>(sizeof(T)), AGrowth) {}
  T GetItem(Integer AIndex) const {
    T result;
    std::memcpy(&result, Get(AIndex), sizeof(T));
    return result;
  }
  void SetItem(Integer AIndex, const T& AValue) {
    std::memcpy(Get(AIndex), &AValue, sizeof(T));
  }
  Integer AddItem(const T& AValue) { return AddRecord(&AValue); }
};

class TcxRectList : public TcxTypedDataList<TRect> {
  VARNEL_CLASS(TcxRectList, TcxDataList)
 public:
  TcxRectList() = default;
  Integer Add(const TRect& R) { return AddItem(R); }
  TRect GetRect(Integer AIndex) const { return GetItem(AIndex); }
  void SetRect(Integer AIndex, const TRect& R) { SetItem(AIndex, R); }
  void Assign(const TcxRectList& Source) { AssignData(Source); }
};

// A colour as the class library keeps it (TColor), without its header.
using TcxVGridColor = Integer;

// View parameters as records keep them: references, not owned.
struct TcxVGridViewParams {
  void* Bitmap = nullptr;
  TcxVGridColor Color = 0;
  void* Font = nullptr;
  TcxVGridColor TextColor = 0;
};

struct TLineInfo {
  TRect Rect;
  bool IsBrush = false;
  // A brush reference when IsBrush, else a colour.
  void* Brush = nullptr;
  TcxVGridColor Color = 0;
};

// Line segments and filled rectangles. While locked every add is refused.
class TLineInfoList : public TcxTypedDataList<TLineInfo> {
  VARNEL_CLASS(TLineInfoList, TcxDataList)
 public:
  TLineInfoList() = default;
  bool Locked() const { return locked_; }
  void SetLocked(bool Value) { locked_ = Value; }
  Integer AddBrush(const TRect& R, void* ABrush);
  Integer AddColor(const TRect& R, TcxVGridColor AColor);
  Integer AddBrush(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight,
                   void* ABrush);
  Integer AddColor(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight,
                   TcxVGridColor AColor);

 private:
  bool locked_ = false;
};

struct TIndentInfo {
  TRect Rect;
  TcxVGridViewParams ViewParams;
};

class TIndentInfoList : public TcxTypedDataList<TIndentInfo> {
  VARNEL_CLASS(TIndentInfoList, TcxDataList)
 public:
  TIndentInfoList() = default;
  Integer Add(const TRect& R, const TcxVGridViewParams& AParams) {
    return AddItem(TIndentInfo{R, AParams});
  }
};

struct TIndentRectInfo {
  bool IsCategory = false;
  TSize Size;
  TcxVGridViewParams ViewParams;
  bool DrawBottomLine = false;
};

class TIndentRectInfoList : public TcxTypedDataList<TIndentRectInfo> {
  VARNEL_CLASS(TIndentRectInfoList, TcxDataList)
 public:
  TIndentRectInfoList() = default;
  Integer Add(const TSize& ASize, bool AIsCategory, bool ADrawBottomLine,
              const TcxVGridViewParams& AParams) {
    return AddItem(
        TIndentRectInfo{AIsCategory, ASize, AParams, ADrawBottomLine});
  }
};

// Fits (CalcRect) or scales (ScaleRect) a row of widths into a rectangle:
// minimum widths widen an entry and push the rest right, the last entry
// reaches the right edge, and an entry that reaches it is clipped and ends
// the row.
class TRectScaler : public TObject {
  VARNEL_CLASS(TRectScaler, TObject)
 public:
  struct TEntry {
    Integer Width = 0;
    Integer MinWidth = 0;
    Integer Spacing = 0;
  };
  TRectScaler() = default;
  void Add(Integer AWidth, Integer AMinWidth = 0, Integer ASpacing = 0) {
    entries_.push_back(TEntry{AWidth, AMinWidth, ASpacing});
  }
  void Clear() {
    entries_.clear();
    scaledRects_.Clear();
  }
  Integer Count() const { return static_cast<Integer>(entries_.size()); }
  void CalcRect(const TRect& R);
  void ScaleRect(const TRect& R);
  // The sums of widths, minimum widths and spacings.
  TEntry GetSummaryParam() const;
  const TcxRectList& ScaledRects() const { return scaledRects_; }

 private:
  void Place(const TRect& R, const std::vector<Integer>& AWidths);
  std::vector<TEntry> entries_;
  TcxRectList scaledRects_;
};

// The band rectangles and the empty (background) rectangles of a pass.
class TViewRects : public TObject {
  VARNEL_CLASS(TViewRects, TObject)
 public:
  TcxRectList BandRects;
  TcxRectList EmptyRects;
  void Clear() {
    BandRects.Clear();
    EmptyRects.Clear();
  }
};

// Row y of the 8 x 8 halftone pattern: bit x set where the first colour
// goes (x + y odd).
Byte cxHalftonePatternRow(Integer Y);
// Whether pixel (X, Y) of the halftone pattern takes the first colour.
inline bool cxHalftoneIsFirstColor(Integer X, Integer Y) {
  return ((X + Y) & 1) != 0;
}
