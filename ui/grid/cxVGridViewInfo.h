// The vertical grid's layout: the view info that places bands, rows,
// headers and value cells on every pass, the row view infos and value
// infos that outlive passes, the row headers with indents, buttons and
// captions, the paint-style calc helpers, the three layout styles, the
// painter and the grid's styles.
#pragma once

#include <memory>
#include <vector>

#include "cxVGridRows.h"
#include "cxVGridUtils.h"

class TcxvgScroller;
class TcxvgCustomViewInfo;
class TcxvgPainter;
class TcxvgCustomPaintStyleCalcHelper;
class TcxMultiEditorRowViewInfo;

TcxVGridViewParams cxVGridParams(const TcxViewParams& AParams);
TcxViewParams cxViewParamsOf(const TcxVGridViewParams& AParams);

// ---------------------------------------------------------------------------
// Grid styles
// ---------------------------------------------------------------------------

using TcxvgOnGetItemStyleEvent =
    TClosure<void(TObject* Sender, TcxCustomRow* ARow, TcxStyle*& AStyle)>;
using TcxvgOnGetContentStyleEvent =
    TClosure<void(TObject* Sender, TcxCustomEditorRowProperties* AEditProp,
                  bool AFocused, Integer ARecordIndex, TcxStyle*& AStyle)>;

// The data the grid's default view parameters receive for a value cell.
struct TcxvgContentParamsData {
  TcxCustomRow* Row = nullptr;
  bool Focused = false;
};

class TcxVerticalGridStyles : public TcxCustomControlStyles {
  VARNEL_CLASS(TcxVerticalGridStyles, TcxCustomControlStyles)
 public:
  static constexpr Integer vgs_Category = 4;
  static constexpr Integer vgs_Header = 5;
  static constexpr Integer vgs_IncSearch = 6;
  explicit TcxVerticalGridStyles(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;
  void GetDefaultViewParams(Integer AIndex, TObject* AData,
                            TcxViewParams& AParams) override;

  TcxStyle* Category() { return GetValue(vgs_Category); }
  void SetCategory(TcxStyle* Value) { SetValue(vgs_Category, Value); }
  TcxStyle* Header() { return GetValue(vgs_Header); }
  void SetHeader(TcxStyle* Value) { SetValue(vgs_Header, Value); }
  TcxStyle* IncSearch() { return GetValue(vgs_IncSearch); }
  void SetIncSearch(TcxStyle* Value) { SetValue(vgs_IncSearch, Value); }

  TcxvgOnGetItemStyleEvent OnGetCategoryStyle;
  TcxvgOnGetItemStyleEvent OnGetHeaderStyle;
  TcxvgOnGetContentStyleEvent OnGetContentStyle;

  virtual TcxViewParams GetCategoryParams(TcxCustomRow* ARow);
  virtual TcxViewParams GetContentParams(TcxCustomEditorRowProperties* AProps,
                                         bool AFocused, Integer ARecordIndex);
  virtual TcxViewParams GetHeaderParams(TcxCustomRow* ARow);
  TcxViewParams GetIncSearchParams();
  TcxViewParams GetSelectedHeaderParams(TcxCustomRow* ARow);
  TcxCustomVerticalGrid* Grid();
};

// ---------------------------------------------------------------------------
// Row headers
// ---------------------------------------------------------------------------

class TcxRowCaptionInfo : public TPersistent, public IcxHotTrackElement {
  VARNEL_CLASS(TcxRowCaptionInfo, TPersistent)
 public:
  explicit TcxRowCaptionInfo(TcxCustomRow* ARow) : row_(ARow) {}
  ~TcxRowCaptionInfo() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  TcxCustomRow* Row() const { return row_; }
  TRect CaptionRect;  // bounds
  TRect CaptionTextRect;
  TRect ImageRect;
  TCustomImageList* Images = nullptr;
  Integer ImageIndex = -1;
  String Caption;
  Integer TextFlags = 0;
  TcxViewParams ViewParams;
  bool Focused = false;
  Integer RowCellIndex = 0;

  // IcxHotTrackElement
  TPoint GetOrigin() override { return CaptionRect.TopLeft(); }
  bool IsNeedHint(TcxCanvas* ACanvas, const TPoint& P, String& AText,
                  bool& AIsMultiLine, TRect& ATextRect,
                  bool& AIsNeedOffsetHint) override;
  void UpdateHotTrackState(const TPoint&) override {}

 private:
  TcxCustomRow* row_;
};

struct TSeparatorInfo {
  Integer Width = 0;
  TSeparatorKind Kind = skVertLine;
  String Caption;
  Integer TextFlags = 0;
  TcxViewParams ViewParams;
};

class TcxCustomRowHeaderInfo : public TObject {
  VARNEL_CLASS(TcxCustomRowHeaderInfo, TObject)
 public:
  explicit TcxCustomRowHeaderInfo(TcxCustomRow* ARow);
  ~TcxCustomRowHeaderInfo() override;

  TcxCustomRow* Row() const { return row_; }
  TcxvgCustomViewInfo* ViewInfo() const { return viewInfo_; }
  Integer CaptionCount() const {
    return static_cast<Integer>(captions_.size());
  }
  TcxRowCaptionInfo* Captions(Integer AIndex) const {
    return captions_.at(static_cast<size_t>(AIndex)).get();
  }
  TIndentInfoList& CategoryIndents() { return categoryIndents_; }
  TIndentInfoList& RowIndents() { return rowIndents_; }
  TLineInfoList& LinesInfo() { return lines_; }
  TRect HeaderRect;
  TRect IndentBounds;
  TRect HeaderCellsRect;
  TRect ButtonRect;
  TColor ButtonColor = clWindow;
  TRect FocusRect;
  TcxViewParams IndentViewParams;
  TcxViewParams ViewParams;
  bool Focused = false;
  bool Transparent = false;

  void Calc(const TRect& AHeaderRect, TcxvgCustomViewInfo* AViewInfo,
            bool AWithIndents, TcxCustomRow* ANextRow);
  TcxRowCaptionInfo* CalcCaptionInfo(TcxCaptionRowProperties* AProperties,
                                     const TRect& R);
  static Integer GetTopCentralPoint(Integer AHeight, const TRect& R) {
    return R.Top + (R.Height() - AHeight) / 2;
  }
  bool GetShowButton();
  bool GetSelected();
  void AddNextIndentInfo(const TRect& ABounds,
                         const TcxVGridViewParams& AParams, bool AIsCategory,
                         bool ARightLine, bool ABottomLine);

  virtual void AddBottomHorzLine(const TRect& R);
  virtual void AddRightVertLine(const TRect& R);
  virtual void CalcIndentBounds(TcxCustomRow* ANextRow, bool AWithIndents);
  // One entry per level from the row up to its root ancestor.
  virtual TObjectPtr<TIndentRectInfoList> CalcIndentsInfo(
      Integer ALevel, TcxCustomRow* ANextRow);
  virtual void CalcRowCaptionsInfo();
  virtual void CalcViewParams(bool AAllowSelected);
  virtual void Clear();
  virtual void DoCalcExpandButton();
  virtual Integer GetButtonPlaceBackgroundWidth();
  virtual TcxViewParams GetCaptionViewParams() { return ViewParams; }
  virtual TColor GetButtonColor() { return clWindow; }
  virtual TRect GetFocusRect() { return TRect{}; }
  virtual bool IncreaseBoundsByLastVertLine() { return false; }
  virtual Integer LeftViewPoint();

 protected:
  std::vector<TObjectPtr<TcxRowCaptionInfo>> captions_;

 private:
  TcxCustomRow* row_;
  TcxvgCustomViewInfo* viewInfo_ = nullptr;
  TIndentInfoList categoryIndents_;
  TIndentInfoList rowIndents_;
  TLineInfoList lines_;
};

class TcxCategoryRowHeaderInfo : public TcxCustomRowHeaderInfo {
  VARNEL_CLASS(TcxCategoryRowHeaderInfo, TcxCustomRowHeaderInfo)
 public:
  using TcxCustomRowHeaderInfo::TcxCustomRowHeaderInfo;
  void AddBottomHorzLine(const TRect& R) override;
  void AddRightVertLine(const TRect& R) override;
  void CalcRowCaptionsInfo() override;
  void CalcViewParams(bool AAllowSelected) override;
  void DoCalcExpandButton() override;
  TColor GetButtonColor() override;
  TRect GetFocusRect() override;
  bool IncreaseBoundsByLastVertLine() override { return true; }
  Integer LeftViewPoint() override;
};

class TcxEditorRowHeaderInfo : public TcxCustomRowHeaderInfo {
  VARNEL_CLASS(TcxEditorRowHeaderInfo, TcxCustomRowHeaderInfo)
 public:
  using TcxCustomRowHeaderInfo::TcxCustomRowHeaderInfo;
};

class TcxMultiEditorRowHeaderInfo : public TcxCustomRowHeaderInfo {
  VARNEL_CLASS(TcxMultiEditorRowHeaderInfo, TcxCustomRowHeaderInfo)
 public:
  using TcxCustomRowHeaderInfo::TcxCustomRowHeaderInfo;
  TcxRectList& SeparatorRects() { return separatorRects_; }
  TSeparatorInfo& SeparatorInfo() { return separatorInfo_; }
  void CalcRowCaptionsInfo() override;
  void Clear() override;
  virtual void CalcSeparatorRects(const TcxRectList& ACells);
  virtual void CalcSeparatorWidth(Integer ADividerWidth);
  virtual void CalcSeparatorStyle();

 private:
  TcxRectList separatorRects_;
  TSeparatorInfo separatorInfo_;
};

// ---------------------------------------------------------------------------
// Row view infos and value infos
// ---------------------------------------------------------------------------

class TcxRowValueInfo : public TcxEditCellViewInfo {
  VARNEL_CLASS(TcxRowValueInfo, TcxEditCellViewInfo)
 public:
  explicit TcxRowValueInfo(TObject* AOwner) : TcxEditCellViewInfo(AOwner) {}
  TcxCustomRow* Row = nullptr;
  Integer RowCellIndex = 0;
  Integer RecordIndex = 0;
  TRect FocusRect;

  void DoCalculate() override;
  TcxEditButtonTransparency GetButtonTransparency() override;
  void GetDisplayValue(Variant& AValue) override;
  void GetEditViewParams(TcxViewParams& AParams) override;
  bool GetFocused() override;
  Integer GetRecordIndex() override { return RecordIndex; }
  TColor GetSelectedTextColor() override;
  TColor GetSelectedBKColor() override;
  bool IsAutoHeight() override;
};

class TcxCustomRowViewInfo : public TObject {
  VARNEL_CLASS(TcxCustomRowViewInfo, TObject)
 public:
  explicit TcxCustomRowViewInfo(TcxCustomRow* ARow);
  ~TcxCustomRowViewInfo() override;
  void BeforeDestruction() override;

  TcxCustomRow* Row() const { return row_; }
  Integer BandIndex = -1;
  Integer BandRowIndex = -1;
  Integer RowHeight = 0;
  TRect RowRect;
  TRect ValuesRect;
  TcxCustomRowHeaderInfo* HeaderInfo() const { return headerInfo_.get(); }
  TcxvgCustomViewInfo* ViewInfo() const { return viewInfo_; }
  Integer ValueInfoCount() const {
    return static_cast<Integer>(valueInfos_.size());
  }
  TcxRowValueInfo* ValueInfos(Integer AIndex) const {
    return valueInfos_.at(static_cast<size_t>(AIndex));
  }

  void Calc(const TRect& ARowRect, TcxvgCustomViewInfo* AViewInfo,
            TcxCustomRow* ANextRow);
  // The value cell of a record and cell, or nil when not shown.
  TcxRowValueInfo* GetRowValueInfo(Integer ARecordIndex, Integer ACellIndex);
  void Update();
  void UpdateRecord(Integer ARecordIndex);
  TcxRowValueInfo* CalcRowValueInfo(Integer ACellIndex, Integer ARecordIndex);
  void TruncateValueInfos(Integer ACount);
  void ClearValueInfos() { TruncateValueInfos(0); }
  // Forgets the value infos without freeing them (their owner went).
  void DropValueInfos() { valueInfos_.clear(); }
  void SetViewInfo(TcxvgCustomViewInfo* Value) { viewInfo_ = Value; }

  virtual void CalcValuesInfo(TcxCustomRow* ANextRow) = 0;
  virtual void CalcRowHeaderInfo(TcxCustomRow* ANextRow);
  virtual void CalcPaintViewParamsLines(TcxCustomRow* ANextRow);
  virtual Integer GetValueHeight(Integer ARecordIndex, Integer AWidth);

 protected:
  void AddRectValueLines(TRect R, bool ALast, bool ABottomLineNeeded);

 private:
  TcxCustomRow* row_;
  TObjectPtr<TcxCustomRowHeaderInfo> headerInfo_;
  std::vector<TcxRowValueInfo*> valueInfos_;
  TcxvgCustomViewInfo* viewInfo_ = nullptr;
};

class TcxCategoryRowViewInfo : public TcxCustomRowViewInfo {
  VARNEL_CLASS(TcxCategoryRowViewInfo, TcxCustomRowViewInfo)
 public:
  using TcxCustomRowViewInfo::TcxCustomRowViewInfo;
  void CalcValuesInfo(TcxCustomRow*) override {}
  void CalcRowHeaderInfo(TcxCustomRow* ANextRow) override;
};

class TcxEditorRowViewInfo : public TcxCustomRowViewInfo {
  VARNEL_CLASS(TcxEditorRowViewInfo, TcxCustomRowViewInfo)
 public:
  using TcxCustomRowViewInfo::TcxCustomRowViewInfo;
  void CalcValuesInfo(TcxCustomRow* ANextRow) override;
  Integer GetValueHeight(Integer ARecordIndex, Integer AWidth) override;
};

class TcxMultiEditorRowViewInfo : public TcxCustomRowViewInfo {
  VARNEL_CLASS(TcxMultiEditorRowViewInfo, TcxCustomRowViewInfo)
 public:
  explicit TcxMultiEditorRowViewInfo(TcxCustomRow* ARow);
  TcxRectList& SeparatorRects() { return separatorRects_; }
  void CalcValuesInfo(TcxCustomRow* ANextRow) override;
  Integer GetValueHeight(Integer ARecordIndex, Integer AWidth) override;
  virtual void CheckEmptyValuesInfo();
  // The cells of one value rectangle, or nil when none were produced.
  static std::unique_ptr<TcxRectList> GetCellRects(
      TcxCustomMultiEditorRow* ARow, const TRect& R, Integer ASeparatorWidth);
  // The separators between neighbouring cells: gaps for strings, divider
  // strips (into ALines through the calc helper) for lines.
  static void AddSeparatorRects(TcxvgCustomViewInfo* AViewInfo,
                                TcxRectList& ATarget, TLineInfoList& ALines,
                                const TRect& ABounds, const TcxRectList& ACells,
                                TSeparatorKind AKind, Integer ADividerWidth,
                                TColor AColor);

 private:
  TcxRectList separatorRects_;
};

// ---------------------------------------------------------------------------
// Paint-style calc helpers
// ---------------------------------------------------------------------------

class TcxvgCustomPaintStyleCalcHelper : public TObject {
  VARNEL_CLASS(TcxvgCustomPaintStyleCalcHelper, TObject)
 public:
  explicit TcxvgCustomPaintStyleCalcHelper(TcxvgCustomViewInfo* AViewInfo);
  TcxvgCustomViewInfo* ViewInfo() const { return viewInfo_; }
  TcxCustomVerticalGrid* Grid() const;
  TcxLookAndFeelPainterClass Painter() const;

  virtual TObjectPtr<TBrush> CreateHorzLineBrush() = 0;
  virtual TObjectPtr<TBrush> CreateVertLineBrush() = 0;
  virtual TColor GetBandBorderColor();
  virtual Integer GetDividerWidth() = 0;
  virtual Integer GetIndentWidth();
  virtual void AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeader) = 0;
  virtual void AddDivider(TLineInfoList& ALines, const TRect& R,
                          bool ABetweenEditors, TColor AColor) = 0;
  virtual void AddHeaderIndentLines(TcxCustomRowHeaderInfo* AHeader,
                                    const TRect& R, bool ARightLine,
                                    bool ABottomLine, bool AIsCategory,
                                    const TcxVGridViewParams& AParams) = 0;
  virtual void CalcPaintViewParamsLines(TcxCustomRowViewInfo* ARow,
                                        TcxCustomRow* ANextRow) = 0;
  virtual TRect ChangeFocusedRow(TcxCustomRow* ARow, TcxCustomRow* AOther) = 0;
  virtual TColor GetBackgroundColor() { return GetHeaderColor(); }
  virtual TColor GetCategoryColor();
  virtual TRect GetCategoryFocusRect(TcxCustomRowHeaderInfo* AHeader) = 0;
  virtual TColor GetCategoryTextColor() = 0;
  virtual TColor GetContentColor(bool AFocused);
  virtual TColor GetContentTextColor();
  virtual TColor GetHeaderColor();
  virtual TColor GetHeaderTextColor();
  virtual TcxVGridViewParams GetIndentViewParams(TcxCustomRow* ARow,
                                                 TcxCustomRow* ANode) = 0;
  virtual bool IsDrawValueFocusRect() = 0;

 private:
  TcxvgCustomViewInfo* viewInfo_;
};

class TcxvgDotNetStyleCalcHelper : public TcxvgCustomPaintStyleCalcHelper {
  VARNEL_CLASS(TcxvgDotNetStyleCalcHelper, TcxvgCustomPaintStyleCalcHelper)
 public:
  using TcxvgCustomPaintStyleCalcHelper::TcxvgCustomPaintStyleCalcHelper;
  TObjectPtr<TBrush> CreateHorzLineBrush() override;
  TObjectPtr<TBrush> CreateVertLineBrush() override;
  Integer GetDividerWidth() override { return 1; }
  void AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeader) override;
  void AddDivider(TLineInfoList& ALines, const TRect& R, bool ABetweenEditors,
                  TColor AColor) override;
  void AddHeaderIndentLines(TcxCustomRowHeaderInfo* AHeader, const TRect& R,
                            bool ARightLine, bool ABottomLine, bool AIsCategory,
                            const TcxVGridViewParams& AParams) override;
  void CalcPaintViewParamsLines(TcxCustomRowViewInfo*, TcxCustomRow*) override {
  }
  TRect ChangeFocusedRow(TcxCustomRow* ARow, TcxCustomRow* AOther) override;
  TRect GetCategoryFocusRect(TcxCustomRowHeaderInfo* AHeader) override;
  TColor GetCategoryTextColor() override { return clGrayText; }
  TcxVGridViewParams GetIndentViewParams(TcxCustomRow* ARow,
                                         TcxCustomRow* ANode) override;
  bool IsDrawValueFocusRect() override { return true; }
};

class TcxvgStyle3DCalcHelper : public TcxvgCustomPaintStyleCalcHelper {
  VARNEL_CLASS(TcxvgStyle3DCalcHelper, TcxvgCustomPaintStyleCalcHelper)
 public:
  using TcxvgCustomPaintStyleCalcHelper::TcxvgCustomPaintStyleCalcHelper;
  TObjectPtr<TBrush> CreateHorzLineBrush() override;
  TObjectPtr<TBrush> CreateVertLineBrush() override;
  Integer GetDividerWidth() override { return 2; }
  void AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeader) override;
  void AddDivider(TLineInfoList& ALines, const TRect& R, bool ABetweenEditors,
                  TColor AColor) override;
  void AddHeaderIndentLines(TcxCustomRowHeaderInfo*, const TRect&, bool, bool,
                            bool, const TcxVGridViewParams&) override {}
  void CalcPaintViewParamsLines(TcxCustomRowViewInfo* ARow,
                                TcxCustomRow* ANextRow) override;
  TRect ChangeFocusedRow(TcxCustomRow* ARow, TcxCustomRow* AOther) override;
  TRect GetCategoryFocusRect(TcxCustomRowHeaderInfo*) override {
    return TRect{};
  }
  TColor GetCategoryTextColor() override;
  TColor GetContentColor(bool AFocused) override;
  TColor GetContentTextColor() override { return clNavy; }
  TColor GetHeaderColor() override;
  TColor GetHeaderTextColor() override;
  TcxVGridViewParams GetIndentViewParams(TcxCustomRow* ARow,
                                         TcxCustomRow* ANode) override;
  bool IsDrawValueFocusRect() override { return false; }
};

class TcxvgSkinCalcHelper : public TcxvgDotNetStyleCalcHelper {
  VARNEL_CLASS(TcxvgSkinCalcHelper, TcxvgDotNetStyleCalcHelper)
 public:
  using TcxvgDotNetStyleCalcHelper::TcxvgDotNetStyleCalcHelper;
  TObjectPtr<TBrush> CreateHorzLineBrush() override;
  TObjectPtr<TBrush> CreateVertLineBrush() override;
  TColor GetBandBorderColor() override;
  TColor GetBackgroundColor() override;
  TColor GetCategoryColor() override;
  TColor GetCategoryTextColor() override;
  TColor GetHeaderColor() override;
  void AddBoundHeaderLines(TcxCustomRowHeaderInfo* AHeader) override;
  void AddHeaderIndentLines(TcxCustomRowHeaderInfo* AHeader, const TRect& R,
                            bool ARightLine, bool ABottomLine, bool AIsCategory,
                            const TcxVGridViewParams& AParams) override;
};

// ---------------------------------------------------------------------------
// The view info
// ---------------------------------------------------------------------------

class TcxvgCustomViewInfo : public TcxCustomControlViewInfo {
  VARNEL_CLASS(TcxvgCustomViewInfo, TcxCustomControlViewInfo)
 public:
  explicit TcxvgCustomViewInfo(TcxEditingControl* AControl);
  ~TcxvgCustomViewInfo() override;
  void BeforeDestruction() override;

  // properties of the current pass
  TcxCustomVerticalGrid* Grid() const;
  TcxvgCustomPaintStyleCalcHelper* CalcHelper() const {
    return calcHelper_.get();
  }
  const TRect& Bounds() const { return ClientRect(); }
  TRect ClientRectV;  // Bounds less the grid lines
  Integer HorzLineWidth = 1;
  Integer VertLineWidth = 1;
  Integer DividerWidth = 0;
  Integer FullHeaderWidth = 0;  // header + divider, 0 without headers
  TColor BandBorderColor = clBtnShadow;
  Integer BandsInterval = 0;
  Integer BandMinWidth = 0;
  Integer ButtonSize = 0;
  TSize ImageSize;
  bool CategoryExplorerStyle = false;
  TSize ExplorerButtonSize;
  Integer RowHeaderMinWidth = 0;
  Integer RowIndentWidth = 0;
  Integer RowMinHeight = 0;
  Integer MaxVisibleLevel = 0;
  bool ShowHeaders = true;
  bool LockDividerPos = true;
  Integer ViewBandWidth = 0;
  Integer ViewHeaderWidth = 0;
  Integer ViewValueWidth = 0;
  TBrush* HorzLineBrush() const { return horzBrush_.get(); }
  TBrush* VertLineBrush() const { return vertBrush_.get(); }
  TLineInfoList& LinesInfo() { return lines_; }
  TLineInfoList& FocusLinesInfo() { return focusLines_; }
  TViewRects& ViewRects() { return viewRects_; }
  Integer RowsViewInfoCount() const {
    return static_cast<Integer>(rowsViewInfo_.size());
  }
  TcxCustomRowViewInfo* RowsViewInfo(Integer AIndex) const {
    return rowsViewInfo_.at(static_cast<size_t>(AIndex));
  }

  // queries
  TcxCustomRowViewInfo* GetRowViewInfo(TcxCustomRow* ARow) const;
  TcxCustomRow* GetVisibleRow(Integer AIndex) const;
  Integer GetVisibleRowCount() const {
    EnsureVisibleRows();
    return static_cast<Integer>(visibleRows_.size());
  }
  Integer GetFirstVisibleRecordIndex();
  TcxvgPainter* GetPainter() const;
  TcxvgScroller* GetScroller() const;
  bool CheckShowRowHeader() const { return ShowHeaders; }
  void UpdateScroller();
  void CalcVisibleRows();
  // The rows changed while the grid is locked: the visible rows are
  // recounted when next asked for, so that a bulk load stays linear.
  void InvalidateVisibleRows() { visibleRowsDirty_ = true; }
  void EnsureVisibleRows() const {
    if (visibleRowsDirty_)
      const_cast<TcxvgCustomViewInfo*>(this)->CalcVisibleRows();
  }
  void AddBottomValueSide(const TRect& R);
  TObjectPtr<TRectScaler> ScaleRowRects(TcxCustomRowViewInfo* ARow);

  // overridables, in slot order
  virtual void AddBandRowsLines(const TRect& ABand);
  virtual void AddEmptyRects() = 0;
  virtual void AddRightValueSide(const TRect& R, bool ALast);
  virtual void CalcBandRects();
  virtual void CalcBandRowsViewInfo(Integer& ARowIndex, const TRect& ABand,
                                    Integer ABandIndex);
  virtual void CalcBandWidth();
  virtual void CalcEmpty();
  virtual void CalcLayoutGeneral();
  virtual void CalcRowRects(TcxCustomRowViewInfo* ARow);
  virtual void CalcRowsViewInfo();
  virtual void CalcViewRects();
  virtual bool CanAddRowToBand(const TRect& ARowRect, const TRect& ABand,
                               Integer ABandRowIndex);
  virtual void CheckMaxRowHeaderWidth(Integer& AWidth, Integer AReserve);
  virtual void Clear();
  virtual void CreateBand(Integer AHeight, Integer AWidth);
  virtual void CreateBrushes();
  virtual TObjectPtr<TcxvgCustomPaintStyleCalcHelper> CreateCalcHelper();
  virtual void DestroyBrushes();
  virtual TRect GetBandSizeableRect(const TRect& ABand);
  virtual bool GetRowAutoHeight(TcxCustomRow* ARow);
  virtual Integer GetRowHeight(TcxCustomRowViewInfo* ARow, Integer AValueWidth);
  virtual Integer GetViewBandWidth();
  virtual Integer GetViewHeaderWidth();
  virtual Integer GetViewMinHeaderWidth();
  virtual Integer GetViewValueWidth();
  virtual Integer GetVisibleValueCount() = 0;
  virtual void LayoutStyleChanged();
  virtual void Reset();
  virtual void SetDividerPos(Integer AWidth);
  virtual void SetValueWidth(Integer AWidth);
  virtual void CalcEditCell(const TRect& ABounds, TcxRowValueInfo* AValue);
  virtual void ChangeFocusedRow(TcxCustomRow* ARow, TcxCustomRow* AOther);
  virtual Integer GetDefaultGridModeBufferCount() {
    return GetVisibleValueCount();
  }
  virtual TRect GetValueRect(Integer AValueIndex, TcxCustomRowViewInfo* ARow);
  virtual TRect GetValuesRect(TcxCustomRowViewInfo* ARow);
  virtual void UpdateRecord(Integer ARecordIndex);

  Integer CalculateDefaultEditHeight() override { return RowMinHeight; }
  void DoCalculate() override;
  void UpdateSelection() override;
  TObjectPtr<TcxCustomControlPainter> CreatePainter() override;

 protected:
  void CalcRowMinHeight();
  void CalcExplorerStyle();

 private:
  TObjectPtr<TcxvgCustomPaintStyleCalcHelper> calcHelper_;
  TObjectPtr<TBrush> horzBrush_;
  TObjectPtr<TBrush> vertBrush_;
  TLineInfoList lines_;
  TLineInfoList focusLines_;
  TViewRects viewRects_;
  std::vector<TcxCustomRowViewInfo*> rowsViewInfo_;
  std::vector<TcxCustomRow*> visibleRows_;
  bool visibleRowsDirty_ = true;
};

class TcxInspectorViewInfo : public TcxvgCustomViewInfo {
  VARNEL_CLASS(TcxInspectorViewInfo, TcxvgCustomViewInfo)
 public:
  using TcxvgCustomViewInfo::TcxvgCustomViewInfo;
  void AddEmptyRects() override {}
  void CheckMaxRowHeaderWidth(Integer& AWidth, Integer AReserve) override;
  Integer GetViewValueWidth() override;
  Integer GetVisibleValueCount() override { return 1; }
};

class TcxBandsViewInfo : public TcxvgCustomViewInfo {
  VARNEL_CLASS(TcxBandsViewInfo, TcxvgCustomViewInfo)
 public:
  using TcxvgCustomViewInfo::TcxvgCustomViewInfo;
  bool AutoScaleBands = false;
  Integer BandsIndent = 0;
  void UpdateBandsWidth();
  Integer GetMinViewBandWidth();

  void AddEmptyRects() override;
  void CalcBandRects() override;
  void CalcBandWidth() override;
  void CalcLayoutGeneral() override;
  bool CanAddRowToBand(const TRect& ARowRect, const TRect& ABand,
                       Integer ABandRowIndex) override;
  void CreateBand(Integer AHeight, Integer AWidth) override;
  TRect GetBandSizeableRect(const TRect& ABand) override;
  bool GetRowAutoHeight(TcxCustomRow* ARow) override;
  Integer GetViewBandWidth() override;
  Integer GetViewValueWidth() override;
  Integer GetVisibleValueCount() override { return 1; }
  void LayoutStyleChanged() override;
  void SetDividerPos(Integer AWidth) override;

 private:
  bool lock_ = false;
};

class TcxMultiRecordViewInfo : public TcxvgCustomViewInfo {
  VARNEL_CLASS(TcxMultiRecordViewInfo, TcxvgCustomViewInfo)
 public:
  using TcxvgCustomViewInfo::TcxvgCustomViewInfo;
  Integer FirstRecordWidth = 0;
  Integer RecordsInterval = 0;
  Integer CalcVisibleValueCount();
  Integer GetRecordCount();

  void AddBandRowsLines(const TRect& ABand) override;
  void AddEmptyRects() override;
  void AddRightValueSide(const TRect& R, bool ALast) override;
  void CalcBandWidth() override;
  void CalcLayoutGeneral() override;
  void Clear() override;
  Integer GetDefaultGridModeBufferCount() override;
  TRect GetBandSizeableRect(const TRect& ABand) override;
  Integer GetRowHeight(TcxCustomRowViewInfo* ARow,
                       Integer AValueWidth) override;
  TRect GetValueRect(Integer AValueIndex, TcxCustomRowViewInfo* ARow) override;
  Integer GetVisibleValueCount() override;
  void Reset() override;
  void SetDividerPos(Integer AWidth) override;
  void UpdateRecord(Integer ARecordIndex) override;

 private:
  Integer Step() const;
  Integer visibleValueCount_ = -1;
};

// ---------------------------------------------------------------------------
// The painter
// ---------------------------------------------------------------------------

class TcxvgPainter : public TcxCustomControlPainter {
  VARNEL_CLASS(TcxvgPainter, TcxCustomControlPainter)
 public:
  explicit TcxvgPainter(TcxEditingControl* AControl);
  TcxvgCustomViewInfo* ViewInfo() const;
  TcxCustomVerticalGrid* Grid() const;

  void DoPaint() override;
  void DrawRows();
  void FillRect(const TRect& R, TBitmap* ABitmap);

  virtual void DrawStyleFeatures() {}
  virtual void DrawBackground();
  virtual void DrawButton(TcxCustomRowHeaderInfo* AHeader);
  virtual void DrawCategoryRowHeader(TcxCustomRowHeaderInfo* AHeader);
  virtual void DrawCategoryRowIndent(TcxCustomRowHeaderInfo* AHeader);
  virtual void DrawHeaderDragImage(TcxCustomRowHeaderInfo* AHeader);
  virtual void DrawHeaderSeparators(TcxCustomRowHeaderInfo* AHeader);
  virtual void DrawImage(TcxRowCaptionInfo* ACaption);
  virtual void DrawLines(TLineInfoList& ALines);
  virtual void DrawRow(TcxCustomRowViewInfo* ARow);
  virtual void DrawRowHeader(TcxCustomRowHeaderInfo* AHeader);
  virtual void DrawRowHeaderCell(TcxRowCaptionInfo* ACaption,
                                 bool ATransparent);
  virtual void DrawRowIndent(TcxCustomRowHeaderInfo* AHeader);
  virtual void DrawRowValueCell(TcxRowValueInfo* AValue);
  virtual void DrawValuesSeparators(TcxCustomRowViewInfo* ARow);
};

class TcxStyle3DPainter : public TcxvgPainter {
  VARNEL_CLASS(TcxStyle3DPainter, TcxvgPainter)
 public:
  using TcxvgPainter::TcxvgPainter;
  void DrawStyleFeatures() override;
};

// A new brush of the 8 x 8 halftone of two colours; it owns its bitmap.
TObjectPtr<TBrush> cxCreateHalftoneBrush(TColor AColor1, TColor AColor2);
