// The vertical grid's customization form: a floating tool window that lists
// the rows the user has hidden (dragged out of the grid), with a page of its
// own for hidden categories where new categories are made and deleted; and
// the small dialog that asks for a new category's caption.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "cxClasses.h"
#include "cxControls.h"

class TBevel;
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
class TTimer;
class TcxButton;
class TcxCanvas;
class TcxCategoryRow;
class TcxCustomRow;
class TcxCustomRowHeaderInfo;
class TcxCustomVerticalGrid;
class TcxLookAndFeel;
class TcxTextEdit;
class TcxVerticalGridCustomizing;

// The texts of the grid's record deletion, the customization form and the
// new-category dialog.
inline constexpr TcxResourceString cxSvgDeleteConfirmationCaption{65504,
                                                                  "Confirm"};
inline constexpr TcxResourceString cxSvgDeletingConfirmationText{
    65535, "Delete record?"};
inline constexpr TcxResourceString cxSvgOKCaption{65505, "OK"};
inline constexpr TcxResourceString cxSvgCancelCaption{65506, "Cancel"};
inline constexpr TcxResourceString cxSvgCustomizeCaption{65507, "Customize"};
inline constexpr TcxResourceString cxSvgCustomizeCategoriesCaption{
    65508, "Categories"};
inline constexpr TcxResourceString cxSvgCustomizeDeleteCategory{65509,
                                                                "&Delete"};
inline constexpr TcxResourceString cxSvgCustomizeNewCategory{65510, "&New..."};
inline constexpr TcxResourceString cxSvgCustomizeRowsCaption{65511, "Rows"};
inline constexpr TcxResourceString cxSvgNewCategoryCaption{65512,
                                                           "New Category"};
inline constexpr TcxResourceString cxSvgNewCategoryLabelCaption{65513,
                                                                "&Category:"};

// ---------------------------------------------------------------------------
// The list boxes of the form
// ---------------------------------------------------------------------------

// Lists hidden rows (or hidden categories) drawn as the grid draws a dragged
// row header; an item dragged out of it is handed to the grid's own row drag.
class TcxVerticalGridItemsCustomizeListBox : public TcxCustomizeListBox {
  VARNEL_CLASS(TcxVerticalGridItemsCustomizeListBox, TcxCustomizeListBox)
 public:
  // construction
  TcxVerticalGridItemsCustomizeListBox(TComponent* AOwner,
                                       TcxCustomVerticalGrid* AGrid,
                                       bool AIsCategoryList);
  ~TcxVerticalGridItemsCustomizeListBox() override;

  // properties
  TcxCustomVerticalGrid* Grid() const { return grid_; }
  bool IsCategoryList() const { return isCategoryList_; }
  Integer DragItemIndex() const { return dragItemIndex_; }
  bool Dragging() const { return dragging_; }
  // The row listed at an index; null for none.
  TcxCustomRow* RowAt(Integer AIndex);

  // methods
  // Fills the list with the grid's hidden rows of its kind.
  void RefreshList();

  // overridables
  virtual void CalcHeaderViewInfo(const TRect& R,
                                  TcxCustomRowHeaderInfo* AHeaderInfo);
  virtual void InitDragAndDropObject();

  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;

 private:
  void EndItemDragging();

  TcxCustomVerticalGrid* grid_;
  bool isCategoryList_;
  std::unique_ptr<TcxCanvas> canvas_;
  Integer dragItemIndex_ = -1;
  bool dragging_ = false;
  TPoint mouseDownPos_;
  TPoint offset_;
  bool painting_ = false;
};

// ---------------------------------------------------------------------------
// The form
// ---------------------------------------------------------------------------

class TcxVerticalGridCustomizationForm : public TForm {
  VARNEL_CLASS(TcxVerticalGridCustomizationForm, TForm)
 public:
  explicit TcxVerticalGridCustomizationForm(TcxVerticalGridCustomizing* AOwner);
  ~TcxVerticalGridCustomizationForm() override;

  TcxVerticalGridCustomizing* Customizing() const { return customizing_; }
  TTimer* HookTimer() const { return hookTimer_.get(); }
  // Cuts the form from its customizing object before it is released: the
  // grid (and the object) may be gone by the time the release is handled.
  void Detach();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void DoShow() override;
  void DoClose(TCloseAction& Action) override;

 private:
  void HookTimerHandler(TObject* Sender);

  TcxVerticalGridCustomizing* customizing_;
  std::unique_ptr<TTimer> hookTimer_;
};

// ---------------------------------------------------------------------------
// The customizing object of the grid
// ---------------------------------------------------------------------------

class TcxVerticalGridCustomizing : public TPersistent {
  VARNEL_CLASS(TcxVerticalGridCustomizing, TPersistent)
 public:
  // construction
  explicit TcxVerticalGridCustomizing(TcxCustomVerticalGrid* AOwner);
  ~TcxVerticalGridCustomizing() override;
  // Copies RowCount and Visible of another customizing object.
  void Assign(TPersistent* Source) override;

  // properties
  TcxCustomVerticalGrid* Grid() const { return grid_; }
  // The number of list lines the form is sized for; at least 2.
  Integer RowCount() const { return rowCount_; }
  void SetRowCount(Integer Value);
  bool ShowCategoryButtons() const { return showCategoryButtons_; }
  void SetShowCategoryButtons(bool Value);
  // Whether the form is on screen.
  virtual bool Visible() const { return visible_; }
  // Nothing for a grid without rows.
  void SetVisible(bool Value);
  bool WithCategories() const { return withCategories_; }

  TcxVerticalGridCustomizationForm* Form() const { return form_; }
  TPageControl* PageControl() const { return pageControl_; }
  TTabSheet* RowsSheet() const { return rowsSheet_; }
  TTabSheet* CategoriesSheet() const { return categoriesSheet_; }
  TcxVerticalGridItemsCustomizeListBox* RowListBox() const {
    return rowListBox_;
  }
  TcxVerticalGridItemsCustomizeListBox* CategoryListBox() const {
    return categoryListBox_;
  }
  TPanel* ButtonPanel() const { return panel_; }
  TcxButton* NewButton() const { return newButton_; }
  TcxButton* DeleteButton() const { return deleteButton_; }
  Integer LineHeight() const { return lineHeight_; }
  // Where the form was last (-10000 before it was ever shown).
  TPoint LastPosition() const { return lastPosition_; }

  // methods
  // Shows the page that lists rows of ARow's kind.
  virtual void ShowPageFor(TcxCustomRow* ARow);
  // Deletes the selected hidden category.
  void DeleteCategory();

  // overridables
  virtual void AdjustControls();
  // Whether a row dragged from the grid would land in the matching list of
  // the visible form at a screen point.
  virtual bool CanDrop(const TPoint& AScreenPoint);
  // Asks for a caption and adds a hidden category of that caption.
  virtual void CreateCategoryRow();
  virtual void CreateControls();
  virtual void FormClose(TObject* Sender, TCloseAction& Action);
  virtual void FormShow(TObject* Sender);
  virtual void LookAndFeelChanged();
  // The form's client size in the text width of "0" and line heights.
  virtual TSize SizeDelta();
  // Refills the lists (the grid's rows changed visibility).
  virtual void Update();
  virtual void ComponentRemoved(TObject* Sender) { (void)Sender; }
  virtual void Modified() { Update(); }

 private:
  void CreateCustomizingForm();
  void CreateCategoryPanel();
  void ShowCustomizingForm();
  void ReleaseControls();
  void UpdateButtons();
  void CategoryListClick(TObject* Sender);
  void NewButtonClick(TObject* Sender);
  void DeleteButtonClick(TObject* Sender);
  void RememberState();

  TcxCustomVerticalGrid* grid_;
  bool visible_ = false;
  Integer rowCount_ = 10;
  TPoint lastPosition_{-10000, -10000};
  Integer lastRowIndex_ = -1;
  Integer lastCategoryIndex_ = -1;
  bool showCategoryButtons_ = true;
  bool withCategories_ = true;
  bool keepSelections_ = false;
  TDragMode savedDragMode_ = dmManual;
  Integer lineHeight_ = 0;
  TcxVerticalGridCustomizationForm* form_ = nullptr;
  TPageControl* pageControl_ = nullptr;
  TTabSheet* rowsSheet_ = nullptr;
  TTabSheet* categoriesSheet_ = nullptr;
  TcxVerticalGridItemsCustomizeListBox* rowListBox_ = nullptr;
  TcxVerticalGridItemsCustomizeListBox* categoryListBox_ = nullptr;
  TPanel* panel_ = nullptr;
  TcxButton* newButton_ = nullptr;
  TcxButton* deleteButton_ = nullptr;
};

// ---------------------------------------------------------------------------
// The new-category dialog
// ---------------------------------------------------------------------------

class TfmCreateCategory : public TForm {
  VARNEL_CLASS(TfmCreateCategory, TForm)
 public:
  explicit TfmCreateCategory(TComponent* AOwner);

  TLabel* lbCaption = nullptr;
  TBevel* Bevel = nullptr;
  TcxTextEdit* edCaption = nullptr;
  TcxButton* btOK = nullptr;
  TcxButton* btCancel = nullptr;

  // The owner form's window, when the owner is a form: the dialog's parent
  // window.
  HWND ParentWindowHandle() const { return parentWindow_; }
  void UpdateOKButton();

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  void CaptionChanged(TObject* Sender);
  HWND parentWindow_ = nullptr;
};

// Shows the new-category dialog modally; true when the user confirmed, with
// the entered caption in ACaption.
bool cxShowNewCategoryForm(TComponent* AOwnerForm, String& ACaption,
                           TcxLookAndFeel* ALookAndFeel);
