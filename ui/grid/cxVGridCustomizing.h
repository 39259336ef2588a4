// The controller of the vertical grid's customization form. The form itself
// (its pages of hidden rows and categories) is built on top of this
// controller; until it exists the controller answers that no form is shown.
#pragma once

#include "Classes.h"

class TcxCustomVerticalGrid;
class TcxCustomRow;

class TcxVerticalGridCustomizing : public TPersistent {
  VARNEL_CLASS(TcxVerticalGridCustomizing, TPersistent)
 public:
  explicit TcxVerticalGridCustomizing(TcxCustomVerticalGrid* AOwner)
      : grid_(AOwner) {}
  TcxCustomVerticalGrid* Grid() const { return grid_; }

  // Whether the form is on screen.
  virtual bool Visible() const { return false; }
  // Whether the form takes a dropped row at a screen point.
  virtual bool CanDrop(const TPoint& AScreenPoint) {
    (void)AScreenPoint;
    return false;
  }
  // The form shows its categories page for a category row, else its rows.
  virtual void ShowPageFor(TcxCustomRow* ARow) { (void)ARow; }
  // The grid's rows changed while the form is shown.
  virtual void Update() {}
  // Rows moved onto the form.
  virtual void Modified() {}

 private:
  TcxCustomVerticalGrid* grid_;
};
