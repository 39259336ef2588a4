// A small grid on the editing control for the tests: one record, one row
// per item, each row one cell of a fixed height across a given width. It
// counts its layout passes and invalidations and can drag its rows (with
// place arrows) and size them by their bottom edge.
#pragma once

#include <gtest/gtest.h>

#include "../editors/EditFormFixture.h"
#include "Forms.h"
#include "UiDriverWin.h"
#include "cxInplaceContainer.h"
#include "cxTextEdit.h"

namespace grid_test {

class TTestGrid;

class TTestItem : public TcxCustomInplaceEditContainer {
  VARNEL_CLASS(TTestItem, TcxCustomInplaceEditContainer)
 public:
  explicit TTestItem(TComponent* AOwner)
      : TcxCustomInplaceEditContainer(AOwner) {}
  Integer Height = 20;
};

class TTestViewInfo : public TcxCustomControlViewInfo {
  VARNEL_CLASS(TTestViewInfo, TcxCustomControlViewInfo)
 public:
  explicit TTestViewInfo(TcxEditingControl* AControl)
      : TcxCustomControlViewInfo(AControl) {}
  Integer CalculateCount = 0;
  Integer TopOffset = 0;
  Integer CellWidth = 200;
  TcxBorders CellBorders{bBottom};

  TcxEditCellViewInfo* CellOf(TcxCustomInplaceEditContainer* AItem) {
    if (!AItem || AItem->ItemIndex() < 0 || AItem->ItemIndex() >= CellCount())
      return nullptr;
    return static_cast<TcxEditCellViewInfo*>(Cells(AItem->ItemIndex()));
  }
  Integer CalculateDefaultEditHeight() override { return 20; }
  void DoCalculate() override;
};

// Paints every cell through its edit view info over the background.
class TTestPainter : public TcxCustomControlPainter {
  VARNEL_CLASS(TTestPainter, TcxCustomControlPainter)
 public:
  explicit TTestPainter(TcxEditingControl* AControl)
      : TcxCustomControlPainter(AControl) {}
  void DoPaint() override {
    TcxCustomControlViewInfo* viewInfo = Control()->ViewInfo();
    for (Integer i = 0; i < viewInfo->CellCount(); ++i)
      if (auto* cell = dynamic_cast<TcxEditCellViewInfo*>(viewInfo->Cells(i)))
        if (cell->Visible()) DoPaintEditCell(cell);
    TcxCustomControlPainter::DoPaint();
  }
};

class TTestNavigator : public TcxCustomCellNavigator {
  VARNEL_CLASS(TTestNavigator, TcxCustomCellNavigator)
 public:
  explicit TTestNavigator(TcxCustomControlController* AController)
      : TcxCustomCellNavigator(AController) {}
  void CalcNextRow(bool AForward, Integer& ARowIndex,
                   Integer& ACellIndex) override {
    (void)ACellIndex;
    const Integer next = ARowIndex + (AForward ? 1 : -1);
    if (next >= 0 && next < Count()) ARowIndex = next;
  }
  TcxCustomInplaceEditContainer* GetCellContainer(Integer ARowIndex,
                                                  Integer ACellIndex) override {
    if (ACellIndex != 0 || ARowIndex < 0 || ARowIndex >= Count())
      return nullptr;
    return Controller()->EditingControl()->Items(ARowIndex);
  }
  Integer GetCount(Integer ARowIndex) override {
    return ARowIndex >= 0 && ARowIndex < Count() ? 1 : 0;
  }
  void Init(Integer& ARowIndex, Integer& ACellIndex,
            Integer& ARowCount) override {
    auto* item = Controller()->FocusedItem();
    ARowIndex = item ? item->ItemIndex() : 0;
    ACellIndex = 0;
    ARowCount = Count();
  }
  void SetFocusCell(Integer ARowIndex, Integer, TShiftState) override {
    Controller()->SetFocusedItem(
        Controller()->EditingControl()->Items(ARowIndex));
  }

 private:
  Integer Count() { return Controller()->EditingControl()->ItemCount(); }
};

// Drags a row: the image is the row's cell, the arrows mark the row under
// the mouse, and the drop moves the dragged item there.
class TTestRowDragObject : public TcxCustomControlDragAndDropObject {
  VARNEL_CLASS(TTestRowDragObject, TcxCustomControlDragAndDropObject)
 public:
  explicit TTestRowDragObject(TComponent* AControl)
      : TcxCustomControlDragAndDropObject(AControl) {}
  ~TTestRowDragObject() override;
  TRect GetDisplayRect() override;
  void Paint() override;
  TcxPlaceArrows* Arrows() const { return arrows_.get(); }

 protected:
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;

 private:
  TcxCustomInplaceEditContainer* TargetAt(const TPoint& P);
  TObjectPtr<TcxPlaceArrows> arrows_;
  TcxCustomInplaceEditContainer* target_ = nullptr;
};

// A sizable thing for the sizing drag: the deltas it was given.
class TTestSizing : public TObject, public IcxDragSizing {
  VARNEL_CLASS(TTestSizing, TObject)
 public:
  Integer QueryInterface(const TGUID& iid, void** obj) override {
    if (iid == IcxDragSizing::IID) {
      *obj = static_cast<IcxDragSizing*>(this);
      return 0;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
  }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  bool CanSizing(TcxDragSizingDirection) override { return true; }
  TRect GetSizingBoundsRect(TcxDragSizingDirection) override {
    return TRect{0, 0, 300, 200};
  }
  Integer GetSizingIncrement(TcxDragSizingDirection) override { return 10; }
  bool IsDynamicUpdate() override { return Dynamic; }
  void SetSizeDelta(TcxDragSizingDirection, Integer ADelta) override {
    Deltas.push_back(ADelta);
  }
  bool Dynamic = false;
  std::vector<Integer> Deltas;
};

class TTestController : public TcxCustomControlController {
  VARNEL_CLASS(TTestController, TcxCustomControlController)
 public:
  explicit TTestController(TcxEditingControl* AOwner)
      : TcxCustomControlController(AOwner) {}
  TcxEditCellViewInfo* GetFocusedCellViewInfo(
      TcxCustomInplaceEditContainer* AItem) override {
    auto* viewInfo = dynamic_cast<TTestViewInfo*>(EditingControl()->ViewInfo());
    return viewInfo ? viewInfo->CellOf(AItem) : nullptr;
  }
  TcxCellNavigatorClass GetNavigatorClass() override {
    return cxSubObjectClass<TTestNavigator, TcxCustomCellNavigator,
                            TcxCustomControlController>();
  }
  void MakeFocusedItemVisible() override {}
  void MakeFocusedRecordVisible() override {}
  TClass GetDragAndDropObjectClass() override { return DragObjectClass; }
  bool StartDragAndDrop(const TPoint& P) override;

  // Set by a test: which library drag a left press starts (none: no drag).
  TClass DragObjectClass = nullptr;
};

class TTestGrid : public TcxExtEditingControl {
  VARNEL_CLASS(TTestGrid, TcxExtEditingControl)
 public:
  explicit TTestGrid(TComponent* AOwner) : TcxExtEditingControl(AOwner) {
    CreateSubClasses();
    DataController()->SetRecordCount(1);
    DataController()->ChangeFocusedRowIndex(0);
  }
  TTestViewInfo* TestViewInfo() const {
    return static_cast<TTestViewInfo*>(ViewInfo());
  }
  TTestController* TestController() const {
    return static_cast<TTestController*>(Controller());
  }
  TTestItem* AddItem(const String& AValueType = "String") {
    auto* item = new TTestItem(this);
    static_cast<TcxItemDataBinding*>(item->DataBinding())
        ->SetValueType(AValueType);
    item->SetEditingControl(this);
    return item;
  }
  TcxEditCellViewInfo* CellOf(TcxCustomInplaceEditContainer* AItem) {
    return TestViewInfo()->CellOf(AItem);
  }
  TPoint CellCentre(TcxCustomInplaceEditContainer* AItem) {
    const TRect r = CellOf(AItem)->DisplayRect();
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  TcxControllerClass GetControllerClass() override {
    return cxSubObjectClass<TTestController, TcxCustomControlController,
                            TcxEditingControl>();
  }
  TcxViewInfoClass GetViewInfoClass() override {
    return cxSubObjectClass<TTestViewInfo, TcxCustomControlViewInfo,
                            TcxEditingControl>();
  }
  TcxPainterClass GetPainterClass() override {
    return cxSubObjectClass<TTestPainter, TcxCustomControlPainter,
                            TcxEditingControl>();
  }
  void AfterLayoutChanged() override { ++AfterLayoutChangedCount; }
  void Invalidate() override {
    ++InvalidateCount;
    TcxExtEditingControl::Invalidate();
  }

  Integer AfterLayoutChangedCount = 0;
  Integer InvalidateCount = 0;
};

inline void TTestViewInfo::DoCalculate() {
  ++CalculateCount;
  TcxEditingControl* control = Control();
  if (CellCount() != control->ItemCount()) {
    ClearEditCellViewInfos();
    for (Integer i = 0; i < control->ItemCount(); ++i)
      AddEditCellViewInfo(
          cxSubObjectClass<TcxEditCellViewInfo, TcxEditCellViewInfo, TObject>(),
          control->Items(i));
  }
  Integer top = -TopOffset;
  for (Integer i = 0; i < CellCount(); ++i) {
    auto* cell = static_cast<TcxEditCellViewInfo*>(Cells(i));
    auto* item = static_cast<TTestItem*>(control->Items(i));
    cell->SetBorders(CellBorders);
    cell->SetBounds(TRect{0, top, CellWidth, top + item->Height}, ClientRect());
    top += item->Height;
  }
}

inline bool TTestController::StartDragAndDrop(const TPoint& P) {
  if (!DragObjectClass) return false;
  HitTestController()->ReCalculate(P);
  TcxEditCellViewInfo* cell = HitTestController()->EditCellViewInfo();
  if (!cell) return false;
  SetDragItem(cell->EditContainer());
  return true;
}

inline TTestRowDragObject::~TTestRowDragObject() = default;

inline TRect TTestRowDragObject::GetDisplayRect() {
  auto* item = static_cast<TcxCustomInplaceEditContainer*>(
      EditingControl()->Controller()->DragItem());
  auto* grid = static_cast<TTestGrid*>(EditingControl());
  return grid->CellOf(item)->DisplayRect();
}

inline void TTestRowDragObject::Paint() {
  auto* item = static_cast<TcxCustomInplaceEditContainer*>(
      EditingControl()->Controller()->DragItem());
  auto* grid = static_cast<TTestGrid*>(EditingControl());
  grid->Painter()->DoPaintEditCell(grid->CellOf(item), false);
}

inline TcxCustomInplaceEditContainer* TTestRowDragObject::TargetAt(
    const TPoint& P) {
  auto* grid = static_cast<TTestGrid*>(EditingControl());
  for (Integer i = 0; i < grid->ItemCount(); ++i)
    if (cxPtInViewInfoItem(grid->CellOf(grid->Items(i)), P))
      return grid->Items(i);
  return nullptr;
}

inline void TTestRowDragObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  target_ = TargetAt(P);
  Accepted = target_ != nullptr;
  if (target_) {
    if (!arrows_) arrows_.reset(new TcxPlaceArrows(clBlack, clLime));
    auto* grid = static_cast<TTestGrid*>(EditingControl());
    TRect r = grid->CellOf(target_)->DisplayRect();
    const TPoint origin = grid->ClientToScreen(TPoint{0, 0});
    OffsetRect(r, origin.X, origin.Y);
    arrows_->MoveTo(r, bTop);
  } else if (arrows_) {
    arrows_->Hide();
  }
  TcxCustomControlDragAndDropObject::DragAndDrop(P, Accepted);
}

inline void TTestRowDragObject::EndDragAndDrop(bool Accepted) {
  TcxCustomControlDragAndDropObject::EndDragAndDrop(Accepted);
  if (arrows_) arrows_->Hide();
  auto* grid = static_cast<TTestGrid*>(EditingControl());
  auto* item = static_cast<TcxCustomInplaceEditContainer*>(
      grid->Controller()->DragItem());
  if (!Accepted || !target_ || target_ == item) return;
  // Moving an item: it leaves and joins again before the target.
  const Integer targetIndex = target_->ItemIndex();
  std::vector<TcxCustomInplaceEditContainer*> order;
  for (Integer i = 0; i < grid->ItemCount(); ++i)
    if (grid->Items(i) != item) order.push_back(grid->Items(i));
  order.insert(
      order.begin() +
          std::min<size_t>(static_cast<size_t>(targetIndex), order.size()),
      item);
  auto update = grid->UpdateScope();
  for (auto* each : order) each->SetEditingControl(nullptr);
  for (auto* each : order) each->SetEditingControl(grid);
}

// The shown editor test form with the grid on it (and the form's second
// editor to take the focus).
class TGridFormTest : public TEditFormTest<TcxTextEdit> {
 protected:
  void BeforeShow() override {
    grid_ = new TTestGrid(form_.get());
    grid_->SetParent(form_.get());
    grid_->SetBounds(10, 10, 260, 200);
    BeforeGridShow();
  }
  // Rows the test wants before the form is shown.
  virtual void BeforeGridShow() {}

  POINT ScreenOf(const TPoint& P) {
    return ui_test::ScreenPointOf(grid_->Handle(), P.X, P.Y);
  }

  TTestGrid* grid_ = nullptr;
};

}  // namespace grid_test
