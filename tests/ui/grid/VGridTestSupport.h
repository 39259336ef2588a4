// Vertical grids for the tests: an owner with a grid that is never shown
// (row model and options), and a shown form with a grid on it (layout,
// painting, keyboard and mouse).
#pragma once

#include <gtest/gtest.h>

#include "../editors/EditFormFixture.h"
#include "Forms.h"
#include "UiDriverWin.h"
#include "cxVariants.h"
// after cxVariants.h, whose comparison it uses
#include "VariantAssert.h"
#include "cxTextEdit.h"
#include "cxVGrid.h"

namespace vgrid_test {

// The message an action raises, or "" when it raises nothing.
template <class F>
std::string VGridErrorOf(F&& AAction) {
  try {
    AAction();
  } catch (const EcxVerticalGridError& e) {
    return e.Message();
  }
  return std::string();
}

// The tree under ARoot as "name(child child) name".
inline std::string VGridTreeOf(TcxCustomRow* ARoot) {
  std::string out;
  for (Integer i = 0; i < ARoot->Count(); ++i) {
    if (i) out += ' ';
    TcxCustomRow* row = ARoot->Rows(i);
    out += row->Name();
    if (row->Count() > 0) out += "(" + VGridTreeOf(row) + ")";
  }
  return out;
}

// A grid owned by a form that stays hidden.
template <class TGrid = TcxVerticalGrid>
class TVGridModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_.reset(new TForm(nullptr));
    grid_ = new TGrid(owner_.get());
  }
  void TearDown() override { owner_.reset(); }

  TcxCategoryRow* AddCategory(TcxCustomRow* AParent, const String& AName) {
    auto* row = grid_->template AddChild<TcxCategoryRow>(AParent);
    row->SetName(AName);
    return row;
  }
  TcxEditorRow* AddEditor(TcxCustomRow* AParent, const String& AName) {
    auto* row = grid_->template AddChild<TcxEditorRow>(AParent);
    row->SetName(AName);
    return row;
  }
  // The flat list as names, in order.
  std::string FlatNames() {
    std::string out;
    TcxVerticalGridRows* rows = grid_->Rows();
    for (Integer i = 0; i < rows->Count(); ++i) {
      if (!out.empty()) out += ' ';
      out += rows->Items(i)->Name();
    }
    return out;
  }
  static std::string TreeOf(TcxCustomRow* ARoot) { return VGridTreeOf(ARoot); }

  TObjectPtr<TForm> owner_;
  TGrid* grid_ = nullptr;
};

// A shown form with a grid of the given size.
template <class TGrid = TcxVerticalGrid>
class TVGridFormTest : public TEditFormTest<TcxTextEdit> {
 protected:
  void BeforeShow() override {
    grid_ = new TGrid(form_.get());
    grid_->SetParent(form_.get());
    grid_->SetBounds(10, 10, 300, 200);
    BeforeGridShow();
  }
  virtual void BeforeGridShow() {}

  POINT ScreenOf(const TPoint& P) {
    return ui_test::ScreenPointOf(grid_->Handle(), P.X, P.Y);
  }
  POINT ScreenOf(const TRect& R) {
    return ScreenOf(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
  }
  TcxCustomRowViewInfo* LaidOut(TcxCustomRow* ARow) {
    grid_->VGViewInfo()->Calculate();
    return grid_->VGViewInfo()->GetRowViewInfo(ARow);
  }
  void Key(WORD AKey) {
    ui_test::PressKeys({AKey});
    ui_test::PumpUntilIdle();
  }

  TGrid* grid_ = nullptr;
};

}  // namespace vgrid_test
