// The vertical grid: records shown as columns and fields as rows, built on
// the editing control. TcxVerticalGrid (one record, the inspector that
// forms place) and TcxVirtualVerticalGrid (as many records as its data
// controller holds) share TcxCustomVerticalGrid with its options, its
// scroller and scroll strategies, its controller with the hit test, the
// cell navigator and row drag and drop. Rows are in cxVGridRows.h, the
// layout and painting in cxVGridViewInfo.h.
#pragma once

#include "ExtCtrls.h"
#include "cxVGridCustomizing.h"
#include "cxVGridRows.h"
#include "cxVGridViewInfo.h"

class TcxvgController;
class TcxvgHitTest;

enum TcxvgGridLines : Byte { vglNone, vglHorizontal, vglVertical, vglBoth };
enum TcxvgPaintStyle : Byte { psdotNet, psStyle3D };
enum TcxvgLayoutStyle : Byte {
  lsBandsView,
  lsSingleRecordView,
  lsMultiRecordView
};
enum TcxvgUnboundLayoutStyle : Byte { ulsBandsView, ulsSingleRecordView };
enum TcxvgResizeKind : Byte { rkNone, rkRowSizing, rkDivider, rkBandSizing };

// Hit codes of the vertical grid (masks of the hit state's bits).
constexpr TcxHitCode vghc_HitAtBandSizing = TcxHitCode(1) << 4;
constexpr TcxHitCode vghc_HitAtButton = TcxHitCode(1) << 5;
constexpr TcxHitCode vghc_HitAtCaption = TcxHitCode(1) << 6;
constexpr TcxHitCode vghc_HitAtDivider = TcxHitCode(1) << 7;
constexpr TcxHitCode vghc_HitAtEmpty = TcxHitCode(1) << 8;
constexpr TcxHitCode vghc_HitAtImage = TcxHitCode(1) << 9;
constexpr TcxHitCode vghc_HitAtIndent = TcxHitCode(1) << 10;
constexpr TcxHitCode vghc_HitAtRowSizing = TcxHitCode(1) << 11;
constexpr TcxHitCode vghc_HitAtValue = TcxHitCode(1) << 12;
constexpr TcxHitCode vghc_HitAtCustomize = TcxHitCode(1) << 13;

// ---------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------

class TcxvgOptionsView : public TcxControlOptionsView {
  VARNEL_CLASS(TcxvgOptionsView, TcxControlOptionsView)
 public:
  explicit TcxvgOptionsView(TPersistent* AOwner)
      : TcxControlOptionsView(AOwner) {}
  void Assign(TPersistent* Source) override;

  bool AutoScaleBands() const { return autoScaleBands_; }
  void SetAutoScaleBands(bool Value);
  Integer BandsInterval() const { return bandsInterval_; }
  void SetBandsInterval(Integer Value);
  bool CategoryExplorerStyle() const { return categoryExplorerStyle_; }
  void SetCategoryExplorerStyle(bool Value);
  TColor GridLineColor() const;
  void SetGridLineColor(TColor Value);
  bool GridLineColorAssigned() const { return gridLineColorAssigned_; }
  TcxvgGridLines GridLines() const { return gridLines_; }
  void SetGridLines(TcxvgGridLines Value);
  TcxvgPaintStyle PaintStyle() const { return paintStyle_; }
  void SetPaintStyle(TcxvgPaintStyle Value);
  Integer RowHeaderMinWidth() const { return rowHeaderMinWidth_; }
  void SetRowHeaderMinWidth(Integer Value);
  Integer RowHeaderWidth() const { return rowHeaderWidth_; }
  void SetRowHeaderWidth(Integer Value);
  Integer RowHeight() const { return rowHeight_; }
  void SetRowHeight(Integer Value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool Value);
  bool ShowEmptyRowImage() const { return showEmptyRowImage_; }
  void SetShowEmptyRowImage(bool Value);
  bool ShowHeaders() const { return showHeaders_; }
  void SetShowHeaders(bool Value);
  Integer ValueMinWidth() const { return valueMinWidth_; }
  void SetValueMinWidth(Integer Value);
  Integer ValueWidth() const { return valueWidth_; }
  void SetValueWidth(Integer Value);

  void CheckRowHeaderWidth() { SetRowHeaderWidth(rowHeaderWidth_); }
  virtual void RestoreDefaults();
  TcxCustomVerticalGrid* Grid() const;
  void Changed() override;

 protected:
  template <class T>
  void SetField(T& AField, T Value) {
    if (AField == Value) return;
    AField = Value;
    Changed();
  }

 private:
  bool autoScaleBands_ = true;
  Integer bandsInterval_ = 2;
  bool categoryExplorerStyle_ = false;
  TColor gridLineColor_ = clDefault;
  bool gridLineColorAssigned_ = false;
  TcxvgGridLines gridLines_ = vglBoth;
  TcxvgPaintStyle paintStyle_ = psdotNet;
  Integer rowHeaderMinWidth_ = 24;
  Integer rowHeaderWidth_ = 100;
  Integer rowHeight_ = -1;
  bool showButtons_ = true;
  bool showEmptyRowImage_ = false;
  bool showHeaders_ = true;
  Integer valueMinWidth_ = 40;
  Integer valueWidth_ = 100;
};

class TcxvgMultiRecordsOptionsView : public TcxvgOptionsView {
  VARNEL_CLASS(TcxvgMultiRecordsOptionsView, TcxvgOptionsView)
 public:
  using TcxvgOptionsView::TcxvgOptionsView;
  void Assign(TPersistent* Source) override;
  Integer RecordsInterval() const { return recordsInterval_; }
  void SetRecordsInterval(Integer Value) {
    SetField(recordsInterval_, Value < 0 ? 0 : Value);
  }
  void RestoreDefaults() override;

 private:
  Integer recordsInterval_ = 0;
};

class TcxvgOptionsBehavior : public TcxControlOptionsBehavior {
  VARNEL_CLASS(TcxvgOptionsBehavior, TcxControlOptionsBehavior)
 public:
  explicit TcxvgOptionsBehavior(TPersistent* AOwner)
      : TcxControlOptionsBehavior(AOwner) {}
  void Assign(TPersistent* Source) override;

  // Unassigned: true exactly under the three-dimensional paint style.
  bool GetAlwaysShowEditor() const;
  void SetAlwaysShowEditorValue(bool Value);
  bool AlwaysShowEditorAssigned() const { return alwaysShowEditorAssigned_; }
  bool BandSizing() const { return bandSizing_; }
  void SetBandSizing(bool Value) { bandSizing_ = Value; }
  bool HeaderSizing() const { return headerSizing_; }
  void SetHeaderSizing(bool Value) { headerSizing_ = Value; }
  bool RowSizing() const { return rowSizing_; }
  void SetRowSizing(bool Value) { rowSizing_ = Value; }
  bool RowTracking() const { return rowTracking_; }
  void SetRowTracking(bool Value) { rowTracking_ = Value; }
  virtual void RestoreDefaults() { alwaysShowEditorAssigned_ = false; }

 private:
  bool alwaysShowEditorAssigned_ = false;
  bool bandSizing_ = true;
  bool headerSizing_ = true;
  bool rowSizing_ = false;
  bool rowTracking_ = true;
};

class TcxvgMultiRecordsOptionsBehavior : public TcxvgOptionsBehavior {
  VARNEL_CLASS(TcxvgMultiRecordsOptionsBehavior, TcxvgOptionsBehavior)
 public:
  using TcxvgOptionsBehavior::TcxvgOptionsBehavior;
  void Assign(TPersistent* Source) override;
  bool AllowChangeRecord() const { return allowChangeRecord_; }
  void SetAllowChangeRecord(bool Value);

 private:
  bool allowChangeRecord_ = true;
};

class TcxvgMultiRecordsOptionsData : public TcxControlOptionsData {
  VARNEL_CLASS(TcxvgMultiRecordsOptionsData, TcxControlOptionsData)
 public:
  explicit TcxvgMultiRecordsOptionsData(TPersistent* AOwner)
      : TcxControlOptionsData(AOwner) {}
  void Assign(TPersistent* Source) override;
  bool Appending() const { return appending_; }
  void SetAppending(bool Value);
  bool Deleting() const { return deleting_; }
  void SetDeleting(bool Value);
  bool DeletingConfirmation() const { return deletingConfirmation_; }
  void SetDeletingConfirmation(bool Value) { deletingConfirmation_ = Value; }
  bool Inserting() const { return inserting_; }
  void SetInserting(bool Value);

 protected:
  void Changed() override;

 private:
  bool appending_ = true;
  bool deleting_ = true;
  bool deletingConfirmation_ = true;
  bool inserting_ = true;
};

// ---------------------------------------------------------------------------
// Scrolling
// ---------------------------------------------------------------------------

struct TBandInfo {
  Integer BandIndex = 0;
  Integer RowsCount = 0;
  Integer BandHeight = 0;
  TcxCustomRow* FirstRow = nullptr;
};

class TBandInfoList : public TcxTypedDataList<TBandInfo> {
  VARNEL_CLASS(TBandInfoList, TcxDataList)
 public:
  TBandInfoList() : TcxTypedDataList<TBandInfo>(32) {}
  Integer Add(Integer ABandIndex, Integer ARowCount, Integer AHeight,
              TcxCustomRow* AFirstRow) {
    return AddItem(TBandInfo{ABandIndex, ARowCount, AHeight, AFirstRow});
  }
};

class TcxvgScroller;

class TcxvgCustomScrollStrategy : public TObject {
  VARNEL_CLASS(TcxvgCustomScrollStrategy, TObject)
 public:
  explicit TcxvgCustomScrollStrategy(TcxvgScroller* AScroller);

  TBandInfoList& BandsInfo() { return bands_; }
  TcxvgScroller* Scroller() const { return scroller_; }
  TcxvgCustomViewInfo* ViewInfo() const;
  TcxCustomVerticalGrid* Grid() const;
  Integer TopVisibleRowIndex() const { return topVisibleRowIndex_; }
  void InternalSetTopVisibleRowIndex(Integer Value) {
    topVisibleRowIndex_ = Value;
  }
  Integer LeftVisibleRecord() const { return leftVisibleRecord_; }
  void InternalSetLeftVisibleRecord(Integer Value) {
    leftVisibleRecord_ = Value;
  }

  Integer FindNextRecord(Integer AIndex, bool AForward);
  bool FocusNextRecord(Integer AIndex, bool AForward);
  Integer GetFullRowHeight(TcxCustomRow* ARow, Integer& ADescendantCount);
  Integer GetVisibleCountFromTop(Integer AStart, Integer AHeight) {
    return GetVisibleCount(AStart, AHeight, true, 1);
  }
  Integer GetVisibleCountFromBottom(Integer AStart, Integer AHeight) {
    return GetVisibleCount(AStart, AHeight, false, -1);
  }
  Integer GetVisibleRowCount();
  Integer GetBandWidth();
  bool IsBehindRightClientEdge(Integer X);
  TcxCustomRow* GetBottomVisibleChild(TcxCustomRow* ARow);
  void SetTopVisibleRowIndex(Integer AIndex);
  void SetTopVisibleRowIndexAndBand(Integer AIndex) {
    SetTopVisibleRowIndex(AIndex);
  }
  Integer GetScrollBarPos();
  void SetScrollBarPos(Integer APos);
  void ScrollRecords(bool AForward, Integer ACount);
  Integer ClientHeight();
  Integer LineWidth();
  Integer RowHeightOf(Integer AVisibleIndex, Integer ABandWidth);

  virtual bool CanCalcRowsOnTheNextBand(Integer X, Integer ABandCount) {
    return (void)X, (void)ABandCount, false;
  }
  virtual void CheckLeftVisibleRecord(Integer& AIndex);
  virtual Integer GetBandInterval() { return 0; }
  virtual Integer GetLeftVisibleBand() { return 0; }
  virtual Integer GetScrollBarOffsetBegin() { return 0; }
  virtual Integer GetScrollBarOffsetEnd() { return 0; }
  virtual Integer GetVisibleBandCount() { return 1; }
  virtual Integer GetVisibleCount(Integer AStart, Integer AHeight,
                                  bool AForward, Integer AStep);
  virtual Integer GetVisibleValueCount() { return 1; }
  virtual bool IsHideHScrollBar();
  virtual bool IsHideVScrollBar();
  virtual bool IsRecordsScrollMode() { return true; }
  virtual void ScrollH(TScrollCode ACode, Integer& APos);
  virtual void ScrollV(TScrollCode ACode, Integer& APos);
  virtual void SetLeftVisibleBand(Integer AIndex) { (void)AIndex; }
  virtual void SetLeftVisibleRecord(Integer AIndex);
  virtual void CheckDecreaseLeftIndex() {}
  virtual void CheckDecreaseTopIndex(Integer AHeight);
  virtual Integer CheckTopVisibleIndex(Integer AIndex, Integer AStep);
  virtual Integer GetBandIndexByRowIndex(Integer AIndex) {
    return (void)AIndex, 0;
  }
  virtual TcxCustomRow* GetFirstRowByBandIndex(Integer ABandIndex);
  virtual void InitHScrollBarParameters();
  virtual void InitVScrollBarParameters();
  virtual void RecalcBandsInfo();
  virtual void SetRowMaxVisible(TcxCustomRow* ARow);

 private:
  TBandInfoList bands_;
  TcxvgScroller* scroller_;
  Integer topVisibleRowIndex_ = 0;
  Integer leftVisibleRecord_ = 0;
  bool checkingLeft_ = false;
};

class TcxvgSingleRecordScrollStrategy : public TcxvgCustomScrollStrategy {
  VARNEL_CLASS(TcxvgSingleRecordScrollStrategy, TcxvgCustomScrollStrategy)
 public:
  using TcxvgCustomScrollStrategy::TcxvgCustomScrollStrategy;
};

class TcxvgMultiRecordsScrollStrategy : public TcxvgCustomScrollStrategy {
  VARNEL_CLASS(TcxvgMultiRecordsScrollStrategy, TcxvgCustomScrollStrategy)
 public:
  using TcxvgCustomScrollStrategy::TcxvgCustomScrollStrategy;
  Integer GetVisibleValueCount() override;
  void CheckDecreaseLeftIndex() override;
};

class TcxvgBandsScrollStrategy : public TcxvgCustomScrollStrategy {
  VARNEL_CLASS(TcxvgBandsScrollStrategy, TcxvgCustomScrollStrategy)
 public:
  using TcxvgCustomScrollStrategy::TcxvgCustomScrollStrategy;
  bool CanCalcRowsOnTheNextBand(Integer X, Integer ABandCount) override;
  Integer GetBandInterval() override;
  Integer GetLeftVisibleBand() override { return leftVisibleBand_; }
  Integer GetVisibleBandCount() override;
  bool IsHideVScrollBar() override { return true; }
  bool IsRecordsScrollMode() override;
  void ScrollH(TScrollCode ACode, Integer& APos) override;
  void SetLeftVisibleBand(Integer AIndex) override;
  void CheckDecreaseTopIndex(Integer AHeight) override;
  Integer CheckTopVisibleIndex(Integer AIndex, Integer AStep) override;
  Integer GetBandIndexByRowIndex(Integer AIndex) override;
  void InitHScrollBarParameters() override;
  void RecalcBandsInfo() override;
  void SetRowMaxVisible(TcxCustomRow* ARow) override;

 private:
  void SetLeftBandNotify(Integer AIndex);
  Integer leftVisibleBand_ = 0;
};

using TcxvgScrollStrategyClass =
    TcxSubObjectClass<TcxvgCustomScrollStrategy, TcxvgScroller>;

class TcxvgScroller : public TObject {
  VARNEL_CLASS(TcxvgScroller, TObject)
 public:
  explicit TcxvgScroller(TcxCustomVerticalGrid* AGrid);
  TcxCustomVerticalGrid* Grid() const { return grid_; }
  // Made on first use: the grid's sub-objects come up in an order that
  // does not leave the scroller a view info to start with.
  TcxvgCustomScrollStrategy* ScrollStrategy();
  TcxvgCustomViewInfo* ViewInfo() const;

  void RecreateScrollStrategy();
  Integer GetTopVisibleRowIndex() {
    return ScrollStrategy()->TopVisibleRowIndex();
  }
  Integer GetLeftVisibleRecord() {
    return ScrollStrategy()->LeftVisibleRecord();
  }
  Integer GetLeftVisibleBand() {
    return ScrollStrategy()->GetLeftVisibleBand();
  }
  Integer GetVisibleValueCount() {
    return ScrollStrategy()->GetVisibleValueCount();
  }
  TBandInfoList& GetBandsInfo() { return ScrollStrategy()->BandsInfo(); }
  Integer GetBandIndexByRowIndex(Integer AIndex) {
    return ScrollStrategy()->GetBandIndexByRowIndex(AIndex);
  }
  Integer GetVisibleRowCount() {
    return ScrollStrategy()->GetVisibleRowCount();
  }
  Integer GetVisibleCountFromBottom(Integer AIndex);
  Integer GetFocusedRecordIndex();
  void SetTopVisibleRowIndex(Integer AIndex);
  void SetLeftVisibleBand(Integer AIndex);
  void SetLeftVisibleRecord(Integer AIndex);
  bool SetRecordVisible(Integer AIndex);
  void SetRowVisible(TcxCustomRow* ARow);
  void SetRowMaxVisible(TcxCustomRow* ARow);
  void InitScrollBarsParameters();
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APos);
  void RecalcBandsInfo();
  void SetCheckDecrease(bool Value) { checkLeft_ = checkTop_ = Value; }
  bool GetCheckDecrease() const { return checkLeft_ || checkTop_; }
  void CheckDecreaseLeftIndex();
  void CheckDecreaseTopIndex();
  void LayoutStyleChanged();
  void GoToFirst() { ScrollStrategy()->FocusNextRecord(-1, true); }
  void GoToLast();
  void GoToNext();
  void GoToPrev();

 protected:
  virtual TObjectPtr<TcxvgCustomScrollStrategy> CreateScrollStrategy();

 private:
  TcxCustomVerticalGrid* grid_;
  TObjectPtr<TcxvgCustomScrollStrategy> strategy_;
  bool checkLeft_ = false;
  bool checkTop_ = false;
};

// ---------------------------------------------------------------------------
// Hit test, navigation, controller
// ---------------------------------------------------------------------------

class TcxvgHitTest : public TcxCustomHitTestController {
  VARNEL_CLASS(TcxvgHitTest, TcxCustomHitTestController)
 public:
  explicit TcxvgHitTest(TcxCustomControlController* AOwner)
      : TcxCustomHitTestController(AOwner) {}

  TcxCustomRow* HitRow() const { return hitRow_; }
  Integer HitBandIndex() const { return hitBandIndex_; }
  Integer HitCellIndex() const { return hitCellIndex_; }
  bool HitInControl() const { return hitInControl_; }
  bool GetHitAtRowHeader() const;
  bool GetState(TcxHitCode ACode) const { return HasCode(ACode); }
  void SetHitState(TcxHitCode ACode, bool Value) { SetHasCode(ACode, Value); }
  TcxCustomVerticalGrid* Grid() const;

  bool AllowDesignMouseEvents(Integer X, Integer Y,
                              TShiftState AShift) override;
  void DoCalculate() override;
  TCursor GetCurrentCursor() override;

  virtual void CalcBandsHitTest(TcxvgCustomViewInfo* AViewInfo);
  virtual bool CalcCustomizingHitTest();
  virtual bool CalcRowHeaderHitTest(TcxCustomRowHeaderInfo* AHeader);
  virtual void CalcRowValuesHitTest(TcxCustomRowViewInfo* ARow);
  virtual bool CanMoving();
  virtual bool CanSizing(TcxDragSizingDirection& ADirection);
  bool CanSizing() {
    TcxDragSizingDirection d;
    return CanSizing(d);
  }

 private:
  bool CalcRowsHitTest(TcxvgCustomViewInfo* AViewInfo);
  bool CalcRowHitTest(TcxCustomRowViewInfo* ARow);
  TcxCustomRow* hitRow_ = nullptr;
  TObject* newHitItem_ = nullptr;
  Integer hitBandIndex_ = -1;
  Integer hitCellIndex_ = -1;
  bool hitInControl_ = false;
};

class TcxvgCellNavigator : public TcxCustomCellNavigator {
  VARNEL_CLASS(TcxvgCellNavigator, TcxCustomCellNavigator)
 public:
  explicit TcxvgCellNavigator(TcxCustomControlController* AController);
  TcxvgController* VGController() const;
  TcxCustomVerticalGrid* Grid() const;

  void CalcNextRow(bool AForward, Integer& ARowIndex,
                   Integer& ACellIndex) override;
  TcxCustomInplaceEditContainer* GetCellContainer(Integer ARowIndex,
                                                  Integer ACellIndex) override;
  Integer GetCount(Integer ARowIndex) override;
  void Init(Integer& ARowIndex, Integer& ACellIndex,
            Integer& ARowCount) override;
  bool MayFocusedEmptyRow(Integer) override { return true; }
  void SetFocusCell(Integer ARowIndex, Integer ACellIndex,
                    TShiftState AShift) override;
  void FocusNextCell(bool AForward, bool ANextRow, TShiftState AShift) override;
  Integer GetValueCount();

 private:
  Integer CellCountOf(TcxCustomRow* ARow);
  bool CellFocusable(TcxCustomRow* ARow, Integer ACell);
};

class TcxvgDragImageHelper : public TcxDragImageHelper {
  VARNEL_CLASS(TcxvgDragImageHelper, TcxDragImageHelper)
 public:
  using TcxDragImageHelper::TcxDragImageHelper;
  void DragAndDrop(const TPoint& P) override;
};

class TcxvgController : public TcxCustomControlController,
                        public IcxDragSizing {
  VARNEL_CLASS(TcxvgController, TcxCustomControlController)
 public:
  explicit TcxvgController(TcxEditingControl* AOwner);
  ~TcxvgController() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // properties
  TcxCustomVerticalGrid* Grid() const;
  TcxvgScroller* Scroller() const { return scroller_.get(); }
  TcxvgHitTest* HitTest() const;
  TcxCustomRow* FocusedRow() const { return focusedRow_; }
  Integer CellIndex() const { return cellIndex_; }
  TcxCustomRow* DragRow() const { return dragRow_; }
  void SetDragRow(TcxCustomRow* Value) { dragRow_ = Value; }
  bool ForceShowEditor() const { return forceShowEditor_; }
  bool ProcessMultiEditorRow() const { return processMultiEditorRow_; }
  TcxvgResizeKind ResizeKind() const { return resizeKind_; }
  void SetResizeKind(TcxvgResizeKind Value);
  bool Tracking() const { return tracking_; }
  bool LockIncSearch() const { return lockIncSearch_; }
  bool ScrollTimerActive() const { return scrollTimer_ != nullptr; }

  // methods
  void SetFocusedRow(TcxCustomRow* ARow) { SetFocusedRowAndCell(ARow, 0); }
  void SetFocusedCellEdit(TcxCellEdit* AItem);
  void InternalSetRowAndCell(TcxCustomRow* ARow, Integer ACell) {
    focusedRow_ = ARow;
    cellIndex_ = ACell;
  }
  void MakeRowVisible(TcxCustomRow* ARow);
  bool IsInternalDragging();
  void StopScrollTimer();
  bool CanExpandFocusedRow();

  // IcxDragSizing
  bool CanSizing(TcxDragSizingDirection ADirection) override;
  TRect GetSizingBoundsRect(TcxDragSizingDirection ADirection) override;
  Integer GetSizingIncrement(TcxDragSizingDirection ADirection) override;
  bool IsDynamicUpdate() override { return true; }
  void SetSizeDelta(TcxDragSizingDirection ADirection, Integer ADelta) override;

  // overridables introduced here
  virtual bool CanAppend(bool ACheckOptions) {
    return (void)ACheckOptions, false;
  }
  virtual bool CanChangeRecord() { return false; }
  virtual bool CanDelete(bool ACheckOptions) {
    return (void)ACheckOptions, false;
  }
  virtual bool CanInsert(bool ACheckOptions) {
    return (void)ACheckOptions, false;
  }
  virtual void DoUpdateRowAndCell(TcxCustomRow* ARow, Integer ACell);
  virtual void RefreshFocusedRow();
  virtual void SetFocusedRowAndCell(TcxCustomRow* ARow, Integer ACell);
  virtual void UpdatePaintStyle();
  virtual void AppendRecord();
  virtual void DeleteSelection() {}
  virtual void InsertRecord();
  virtual bool MakeRecordVisible(Integer AIndex);

  // overrides of the controller base
  TcxEditCellViewInfo* GetFocusedCellViewInfo(
      TcxCustomInplaceEditContainer* AItem) override;
  TcxCellNavigatorClass GetNavigatorClass() override;
  void MakeFocusedItemVisible() override;
  void MakeFocusedRecordVisible() override;
  void FocusedItemChanged(TcxCustomInplaceEditContainer* APrevItem) override;
  bool GetImmediateEditor() override;
  bool GetAlwaysShowEditor() override;
  bool IsImmediatePost() override { return true; }
  bool GetCancelEditingOnExit() override;
  virtual bool GetPostDataOnChangeItem() { return true; }
  void CheckPostData();
  void BehaviorChanged() override;
  void UpdateRecord(Integer ARecordIndex) override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APos) override;
  void Clear() override;
  void DoCancelMode() override;
  void DoMouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                       Integer Y) override;
  TCursor GetCursor(Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool IsKeyForController(Word AKey, TShiftState AShift) override;
  void DoNextPage(bool AForward, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void DoMouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                   Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  bool StartDragAndDrop(const TPoint& P) override;
  TClass GetDragAndDropObjectClass() override;
  void EndDragAndDrop(bool Accepted) override;
  bool CanDrag(Integer X, Integer Y) override;
  void StartDrag(TDragObject*& DragObject) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void EndDrag(TObject* Target, Integer X, Integer Y) override;
  TcxControllerAutoScrollingObject* AutoScrollObject() const {
    return autoScrollObject_.get();
  }

 protected:
  void CheckMoveToCustomizationForm();
  void ScrollTimerHandler(TObject* Sender);
  void StartScrollTimer();
  void SetLockIncSearch(bool Value) { lockIncSearch_ = Value; }

 private:
  TObjectPtr<TcxControllerAutoScrollingObject> autoScrollObject_;
  Integer cellIndex_ = -1;
  bool dragFromCustomizingForm_ = false;
  TcxCustomRow* dragRow_ = nullptr;
  bool forceShowEditor_ = false;
  TcxCustomRow* focusedRow_ = nullptr;
  bool lockIncSearch_ = false;
  bool processMultiEditorRow_ = false;
  TcxvgResizeKind resizeKind_ = rkNone;
  bool scrollDown_ = false;
  TObjectPtr<TcxvgScroller> scroller_;
  std::unique_ptr<TTimer> scrollTimer_;
  TcxCustomRow* sizingRow_ = nullptr;
  Integer sizingValue_ = 0;
  bool tracking_ = false;
  bool wasScroll_ = false;
  bool lockUpdate_ = false;
  TcxDragSizingDirection resizeDirection_ = dsdHorz;
};

class TcxvgMultiRecordsController : public TcxvgController {
  VARNEL_CLASS(TcxvgMultiRecordsController, TcxvgController)
 public:
  using TcxvgController::TcxvgController;
  bool CanAppend(bool ACheckOptions) override;
  bool CanChangeRecord() override;
  bool CanDelete(bool ACheckOptions) override;
  bool CanInsert(bool ACheckOptions) override;
  void DeleteSelection() override;
  bool IsImmediatePost() override { return false; }
  bool GetCancelEditingOnExit() override;
  bool GetPostDataOnChangeItem() override { return false; }
  void FocusedRecordChanged(Integer APrevFocusedRowIndex,
                            Integer AFocusedRowIndex) override;
  Integer GetFocusedRecordIndex() override;
  void SetFocusedRecordIndex(Integer Value) override;
  Word IncSearchKeyDown(Word AKey, TShiftState AShift) override;
  virtual void RefreshIncSearchItem();
};

// ---------------------------------------------------------------------------
// The grids
// ---------------------------------------------------------------------------

using TcxVerticalGridDrawBackgroundEvent =
    TClosure<void(TObject* Sender, TcxCanvas* ACanvas, const TRect& R,
                  const TcxViewParams& AViewParams, bool& Done)>;
using TcxVerticalGridDrawHeaderEvent =
    TClosure<void(TObject* Sender, TcxCanvas* ACanvas, TcxvgPainter* APainter,
                  TcxCustomRowHeaderInfo* AHeaderViewInfo, bool& Done)>;
using TcxVerticalGridDrawValueEvent =
    TClosure<void(TObject* Sender, TcxCanvas* ACanvas, TcxvgPainter* APainter,
                  TcxRowValueInfo* AValueInfo, bool& Done)>;
using TcxVerticalGridChangedEvent = TClosure<void(
    TObject* Sender, TcxCustomEditorRowProperties* ARowProperties)>;
using TcxVerticalGridEditingEvent =
    TClosure<void(TObject* Sender, TcxCustomEditorRowProperties* ARowProperties,
                  bool& Allow)>;
using TcxVerticalGridItemChangedEvent = TClosure<void(
    TObject* Sender, TcxCustomRow* AOldRow, Integer AOldCellIndex)>;
using TcxVerticalGridFocusedRecordChangedEvent = TClosure<void(
    TObject* Sender, Integer APrevFocusedRecord, Integer AFocusedRecord)>;

class TcxCustomVerticalGrid : public TcxExtEditingControl {
  VARNEL_CLASS(TcxCustomVerticalGrid, TcxExtEditingControl)
 public:
  // construction
  explicit TcxCustomVerticalGrid(TComponent* AOwner);
  ~TcxCustomVerticalGrid() override;
  void BeforeDestruction() override;

  // properties
  TFont* CategoryFont() const { return categoryFont_.get(); }
  TcxVerticalGridCustomizing* Customizing() const { return customizing_.get(); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TcxVerticalGridRows* Rows() const { return rows_.get(); }
  TcxCustomRow* RootRow() const { return root_.get(); }
  bool StoringByName() const { return storingByName_; }
  void SetStoringByName(bool Value) { storingByName_ = Value; }
  TcxvgOptionsView* OptionsView() const;
  TcxvgOptionsBehavior* OptionsBehavior() const;
  TcxVerticalGridStyles* Styles() const;
  TcxvgController* VGController() const;
  TcxvgCustomViewInfo* VGViewInfo() const;
  TcxvgPainter* VGPainter() const;
  TcxvgCustomPaintStyleCalcHelper* CalcHelper() const;
  TcxvgScroller* Scroller() const;
  // Being freed, itself or with its owner: rows then leave without
  // layout work.
  bool IsGridDestroying() const {
    return destroying_ || ComponentState().Contains(csDestroying);
  }
  // The drag mode the user set: during a left press the control base
  // switches it to manual until a drag is detected.
  bool IsAutoDragMode() const {
    return DragMode() == dmAutomatic || autoDragPress_;
  }

  TNotifyEvent OnCustomizationFormVisibleChanged;
  TcxVerticalGridDrawBackgroundEvent OnDrawBackground;
  TcxVerticalGridDrawHeaderEvent OnDrawRowHeader;
  TcxVerticalGridDrawValueEvent OnDrawValue;
  TcxVerticalGridChangedEvent OnEdited;
  TcxVerticalGridChangedEvent OnEditValueChanged;
  TcxVerticalGridEditingEvent OnEditing;
  TcxVerticalGridItemChangedEvent OnItemChanged;
  TNotifyEvent OnLayoutChanged;
  TNotifyEvent OnLeftVisibleBandIndexChanged;
  TNotifyEvent OnLeftVisibleRecordIndexChanged;
  TNotifyEvent OnTopRowIndexChanged;
  TNotifyEvent StylesEvents;

  // rows
  TcxCustomRow* Add(TcxCustomRowClass ARowClass);
  TcxCustomRow* AddChild(TcxCustomRow* AParent, TcxCustomRowClass ARowClass);
  template <class T>
  T* Add() {
    return static_cast<T*>(Add(T::StaticClass()));
  }
  template <class T>
  T* AddChild(TcxCustomRow* AParent) {
    return static_cast<T*>(AddChild(AParent, T::StaticClass()));
  }
  void Remove(TcxCustomRow* ARow);
  void ClearRows();
  TcxCustomRow* FirstRow();
  TcxCustomRow* FirstVisibleRow();
  TcxCustomRow* LastRow();
  TcxCustomRow* LastVisibleRow();
  TcxCustomRow* NextRow(TcxCustomRow* ARow);
  TcxCustomRow* PrevRow(TcxCustomRow* ARow);
  TcxCustomRow* NextVisibleRow(TcxCustomRow* ARow);
  TcxCustomRow* PrevVisibleRow(TcxCustomRow* ARow);
  bool IsRowVisible(TcxCustomRow* ARow);
  bool HasRows();
  bool HasVisibleRows() { return FirstVisibleRow() != nullptr; }
  void FullExpand();
  void FullCollapse();
  TcxCustomRow* RowByName(const String& AName);
  TcxCustomRow* RowByCaption(const String& ACaption);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  // focus, editing, scrolling
  TcxCustomRow* GetFocusedRow() const;
  TcxCustomRow* FocusedRow() const { return GetFocusedRow(); }
  void SetFocusedRow(TcxCustomRow* ARow);
  void FocusRow(TcxCustomRow* ARow, Integer ACellIndex = 0);
  bool GetIsEditing() const;
  TcxCustomEdit* GetInplaceEditor() const;
  void CancelEdit();
  void HideEdit();
  void ShowEdit();
  void ShowEditByKey(char AKey);
  void ShowEditByMouse(Integer X, Integer Y, TShiftState AShift);
  TcxvgHitTest* GetHitTest() const;
  Integer GetRecordCount() const;
  Integer GetTopVisibleRowIndex();
  Integer GetLeftVisibleBand();
  Integer GetLeftVisibleRecord();
  void SetTopVisibleRowIndex(Integer AIndex);
  void SetLeftVisibleBand(Integer AIndex);
  void SetLeftVisibleRecord(Integer AIndex);
  void RemoveRowFromVerticalGrid(TcxCustomRow* ARow);
  void CheckGridModeBufferCount() {}
  void RefreshNavigators() {}

  // overridables introduced here (the stored-object ones come with the
  // layout storage)
  virtual bool CanBandSizing();
  virtual void CheckRowClass(TcxCustomRowClass ARowClass);
  virtual void DoCustomizationVisibleChanged();
  virtual bool DoDrawBackgroundPart(const TRect& R,
                                    const TcxViewParams& AViewParams);
  virtual bool DoDrawRowHeader(TcxCustomRowHeaderInfo* AHeader);
  virtual bool DoDrawValue(TcxRowValueInfo* AValue);
  virtual void DoItemChanged(TcxCustomRow* AOldRow, Integer AOldCellIndex);
  virtual void DoLeftVisibleBandIndexChanged();
  virtual void DoLeftVisibleRecordIndexChanged();
  virtual void DoTopRowIndexChanged();
  using TcxCalcHelperClass =
      TcxSubObjectClass<TcxvgCustomPaintStyleCalcHelper, TcxvgCustomViewInfo>;
  virtual TcxCalcHelperClass GetCalcHelperClass();
  virtual bool GetCellAutoHeight();
  using TcxCustomizingClass =
      TcxSubObjectClass<TcxVerticalGridCustomizing, TcxCustomVerticalGrid>;
  virtual TcxCustomizingClass GetCustomizingClass();
  virtual void GetDefaultViewParams(Integer AIndex, TObject* AData,
                                    TcxViewParams& AParams);
  virtual TcxCustomRowClass GetEditorRowClass();
  virtual TcxCustomRowClass GetMultiEditorRowClass();
  virtual TcxvgScrollStrategyClass GetScrollStrategyClass() = 0;
  virtual void InitDataController() {}
  virtual void RowsChanged();
  virtual void UpdateDesignEditor();
  virtual void AssignRows(TcxCustomVerticalGrid* AGrid);
  virtual void RestoreDefaults();
  virtual bool IsMultiRecordView() const { return false; }

  // overrides of the editing control
  void CreateSubClasses() override;
  void DestroySubClasses() override;
  TcxControllerClass GetControllerClass() override;
  TcxControlStylesClass GetControlStylesClass() override;
  TcxDragImageHelperClass GetDragImageHelperClass() override;
  TcxHitTestControllerClass GetHitTestControllerClass() override;
  TcxPainterClass GetPainterClass() override;
  void DoEdited(TcxCustomInplaceEditContainer* AItem) override;
  bool DoEditing(TcxCustomInplaceEditContainer* AItem) override;
  void DoEditValueChanged(TcxCustomInplaceEditContainer* AItem) override;
  void DoInplaceEditContainerItemRemoved(
      TcxCustomInplaceEditContainer* AItem) override;
  void DoLayoutChanged() override;
  void DataChanged() override;
  void RecreateViewInfo() override;
  void Loaded() override;
  void InitControl() override;
  void FontChanged() override;
  void BoundsChanged() override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues) override;
  void SetName(const String& NewName) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void WndProc(TMessage& Message) override;
  TRect DragDropImageDisplayRect() override;
  void DrawDragDropImage(TBitmap* ABitmap, TcxCanvas* ACanvas) override;
  bool HasDragDropImages() override;
  TcxCustomRowHeaderInfo* GetDragHeaderInfo();

 protected:
  TObjectPtr<TcxControlOptionsBehavior> CreateOptionsBehavior() override;
  TObjectPtr<TcxControlOptionsView> CreateOptionsView() override;
  void ImageListChange(TObject* Sender);

 private:
  friend class TcxCustomRow;
  TObjectPtr<TFont> categoryFont_;
  TObjectPtr<TcxVerticalGridCustomizing> customizing_;
  TObjectPtr<TChangeLink> imagesChangeLink_;
  TCustomImageList* images_ = nullptr;
  TObjectPtr<TcxCategoryRow> root_;
  TObjectPtr<TcxVerticalGridRows> rows_;
  bool storingByName_ = false;
  bool destroying_ = false;
  bool autoDragPress_ = false;
};

class TcxUnboundVerticalGrid : public TcxCustomVerticalGrid {
  VARNEL_CLASS(TcxUnboundVerticalGrid, TcxCustomVerticalGrid)
 public:
  explicit TcxUnboundVerticalGrid(TComponent* AOwner);
  TcxvgUnboundLayoutStyle LayoutStyle() const { return layoutStyle_; }
  void SetLayoutStyle(TcxvgUnboundLayoutStyle Value);

  bool CanBandSizing() override;
  TcxvgScrollStrategyClass GetScrollStrategyClass() override;
  TcxViewInfoClass GetViewInfoClass() override;
  void InitDataController() override;

 private:
  TcxvgUnboundLayoutStyle layoutStyle_ = ulsSingleRecordView;
};

class TcxVerticalGrid : public TcxUnboundVerticalGrid {
  VARNEL_CLASS(TcxVerticalGrid, TcxUnboundVerticalGrid)
 public:
  explicit TcxVerticalGrid(TComponent* AOwner);
};

class TcxVirtualVerticalGrid : public TcxCustomVerticalGrid {
  VARNEL_CLASS(TcxVirtualVerticalGrid, TcxCustomVerticalGrid)
 public:
  explicit TcxVirtualVerticalGrid(TComponent* AOwner);
  TcxvgLayoutStyle LayoutStyle() const { return layoutStyle_; }
  void SetLayoutStyle(TcxvgLayoutStyle Value);
  TcxvgMultiRecordsOptionsView* OptionsViewEx() const;
  TcxvgMultiRecordsOptionsBehavior* OptionsBehaviorEx() const;
  TcxvgMultiRecordsOptionsData* OptionsDataEx() const;

  TNotifyEvent OnFilterControlDialogShow;
  TcxVerticalGridFocusedRecordChangedEvent OnFocusedRecordChanged;

  bool IsMultiRecordView() const override {
    return layoutStyle_ == lsMultiRecordView;
  }
  bool CanBandSizing() override;
  bool GetCellAutoHeight() override;
  TcxControllerClass GetControllerClass() override;
  TcxvgScrollStrategyClass GetScrollStrategyClass() override;
  TcxViewInfoClass GetViewInfoClass() override;
  virtual void DoFocusedRecordChanged(Integer APrev, Integer ANew);
  // The navigator's buttons (0 first ... 5 last, 6 insert ... 9 edit,
  // 10 post, 11 cancel); the others need the bookmarks, refresh and filter
  // dialog that this grid does not offer yet.
  bool NavigatorIsActionSupported(Integer AIndex) const;
  void NavigatorDoAction(Integer AIndex);

 protected:
  TObjectPtr<TcxControlOptionsBehavior> CreateOptionsBehavior() override;
  TObjectPtr<TcxControlOptionsData> CreateOptionsData() override;
  TObjectPtr<TcxControlOptionsView> CreateOptionsView() override;

 private:
  TcxvgLayoutStyle layoutStyle_ = lsSingleRecordView;
};
