#include "cxVGridCustomizing.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxButtons.h"
#include "cxClasses.h"
#include "cxGeometry.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"
#include "cxTextEdit.h"
#include "cxVGrid.h"
#include "cxVGridRows.h"
#include "cxVGridViewInfo.h"

namespace {

// The hook timer's period: how soon the form follows the grid's window and
// the application being minimised.
constexpr Cardinal kHookInterval = 100;

// A page control whose tabs light up under the mouse.
class TcxvgCustomizePageControl : public TPageControl {
  VARNEL_CLASS(TcxvgCustomizePageControl, TPageControl)
 public:
  using TPageControl::TPageControl;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TPageControl::CreateParams(Params);
    Params.Style |= TCS_HOTTRACK;
  }
};

template <class T>
void FreeControl(T*& AControl) {
  if (!AControl) return;
  AControl->SetParent(nullptr);
  TObjectDeleter()(AControl);
  AControl = nullptr;
}

bool IsCategory(TcxCustomRow* ARow) {
  return dynamic_cast<TcxCategoryRow*>(ARow) != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxVerticalGridItemsCustomizeListBox
// ---------------------------------------------------------------------------

TcxVerticalGridItemsCustomizeListBox::TcxVerticalGridItemsCustomizeListBox(
    TComponent* AOwner, TcxCustomVerticalGrid* AGrid, bool AIsCategoryList)
    : TcxCustomizeListBox(AOwner),
      grid_(AGrid),
      isCategoryList_(AIsCategoryList),
      canvas_(new TcxCanvas(Canvas())) {
  SetStyle(lbOwnerDrawFixed);
  SetDoubleBuffered(true);
}

TcxVerticalGridItemsCustomizeListBox::~TcxVerticalGridItemsCustomizeListBox() =
    default;

TcxCustomRow* TcxVerticalGridItemsCustomizeListBox::RowAt(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Items()->Count()) return nullptr;
  auto* header = static_cast<TcxCustomRowHeaderInfo*>(Items()->Objects(AIndex));
  return header ? header->Row() : nullptr;
}

void TcxVerticalGridItemsCustomizeListBox::RefreshList() {
  const Integer selected = ItemIndex();
  {
    auto update =
        MakeBracket(Items(), &TStrings::BeginUpdate, &TStrings::EndUpdate);
    Items()->Clear();
    TcxVerticalGridRows* rows = grid_->Rows();
    for (Integer i = 0; i < rows->Count(); ++i) {
      TcxCustomRow* row = rows->Items(i);
      if (row->Visible() || !row->Options()->ShowInCustomizationForm() ||
          IsCategory(row) != isCategoryList_)
        continue;
      Items()->AddObject(row->Name(), row->GetViewInfo()->HeaderInfo());
    }
  }
  if (dragging_ && selected < Items()->Count()) SetItemIndex(selected);
  Invalidate();
}

void TcxVerticalGridItemsCustomizeListBox::CalcHeaderViewInfo(
    const TRect& R, TcxCustomRowHeaderInfo* AHeaderInfo) {
  AHeaderInfo->Calc(R, grid_->VGViewInfo(), false, nullptr);
}

void TcxVerticalGridItemsCustomizeListBox::DrawItem(Integer Index, TRect Rect,
                                                    TOwnerDrawState State) {
  canvas_->Brush()->Assign(Brush());
  canvas_->Font()->Assign(Font());
  if (Index < 0) {
    canvas_->FillRect(Rect);
    return;
  }
  auto* header = static_cast<TcxCustomRowHeaderInfo*>(Items()->Objects(Index));
  if (!header) return;
  TcxvgPainter* painter = grid_->VGPainter();
  TcxCanvas* saved = painter->Canvas();
  painter->SetCanvas(canvas_.get());
  TScopeGuard restore([&] { painter->SetCanvas(saved); });
  CalcHeaderViewInfo(Rect, header);
  painter->DrawHeaderDragImage(header);
  if (State.Contains(odSelected)) canvas_->InvertRect(Rect);
}

void TcxVerticalGridItemsCustomizeListBox::InitDragAndDropObject() {
  TcxCustomRow* row = RowAt(dragItemIndex_);
  if (!row) return;
  grid_->HideEdit();
  const TRect r = cxRectOffset(ItemRect(dragItemIndex_), -mouseDownPos_.X,
                               -mouseDownPos_.Y);
  CalcHeaderViewInfo(r, row->GetViewInfo()->HeaderInfo());
  grid_->VGController()->SetDragRow(row);
  const TRect item = ItemRect(dragItemIndex_);
  grid_->SetDragPos(TPoint{item.Left + offset_.X, item.Top + offset_.Y});
  grid_->BeginDrag(true);
}

void TcxVerticalGridItemsCustomizeListBox::MouseDown(TMouseButton Button,
                                                     TShiftState Shift,
                                                     Integer X, Integer Y) {
  TcxCustomizeListBox::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const Integer item = ItemAtPos(TPoint{X, Y}, true);
  if (item < 0) return;
  const TRect r = ItemRect(item);
  offset_ = TPoint{X - r.Left, Y - r.Top};
  dragging_ = true;
  dragItemIndex_ = ItemIndex();
  mouseDownPos_ = TPoint{X, Y};
  Invalidate();
}

void TcxVerticalGridItemsCustomizeListBox::MouseMove(TShiftState Shift,
                                                     Integer X, Integer Y) {
  TcxCustomizeListBox::MouseMove(Shift, X, Y);
  if (dragItemIndex_ < 0 || IsPointInDragDetectArea(mouseDownPos_, X, Y))
    return;
  InitDragAndDropObject();
  dragItemIndex_ = -1;
}

void TcxVerticalGridItemsCustomizeListBox::EndItemDragging() {
  dragging_ = false;
  dragItemIndex_ = -1;
  Invalidate();
}

void TcxVerticalGridItemsCustomizeListBox::MouseUp(TMouseButton Button,
                                                   TShiftState Shift, Integer X,
                                                   Integer Y) {
  TcxCustomizeListBox::MouseUp(Button, Shift, X, Y);
  EndItemDragging();
  grid_->Controller()->PostCheckEdit();
}

void TcxVerticalGridItemsCustomizeListBox::DragOver(TObject* Source, Integer X,
                                                    Integer Y, TDragState State,
                                                    bool& Accept) {
  (void)X;
  (void)Y;
  (void)State;
  TcxCustomRow* row = grid_->VGController()->DragRow();
  Accept = Source == static_cast<TObject*>(grid_) && row &&
           row->Options()->CanMovedToCustomizationForm();
}

void TcxVerticalGridItemsCustomizeListBox::DragDrop(TObject* Source, Integer X,
                                                    Integer Y) {
  if (Source != static_cast<TObject*>(grid_) ||
      !grid_->VGController()->DragRow())
    return;
  const TPoint p = grid_->ScreenToClient(ClientToScreen(TPoint{X, Y}));
  grid_->DragDrop(Source, p.X, p.Y);
}

void TcxVerticalGridItemsCustomizeListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: {
      painting_ = true;
      TScopeGuard done([this] { painting_ = false; });
      TcxCustomizeListBox::Dispatch(Message);
      return;
    }
    case CN_DRAWITEM:
      // Items are drawn only inside the list's own paint; a draw request
      // from elsewhere (a selection change) asks for that paint instead.
      if (!painting_) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        RECT rc = dis->rcItem;
        InvalidateRect(Handle(), &rc, FALSE);
        Message.Result = 1;
        return;
      }
      break;
    case WM_CANCELMODE:
      TcxCustomizeListBox::Dispatch(Message);
      EndItemDragging();
      SetItemIndex(-1);
      grid_->Controller()->PostCheckEdit();
      return;
    default:
      break;
  }
  TcxCustomizeListBox::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TcxVerticalGridCustomizationForm
// ---------------------------------------------------------------------------

TcxVerticalGridCustomizationForm::TcxVerticalGridCustomizationForm(
    TcxVerticalGridCustomizing* AOwner)
    : TForm(nullptr), customizing_(AOwner) {}

TcxVerticalGridCustomizationForm::~TcxVerticalGridCustomizationForm() = default;

void TcxVerticalGridCustomizationForm::Detach() {
  hookTimer_.reset();
  customizing_ = nullptr;
}

void TcxVerticalGridCustomizationForm::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  Params.Style |= WS_POPUP;
  TcxCustomVerticalGrid* grid = customizing_ ? customizing_->Grid() : nullptr;
  Params.WndParent =
      !grid || grid->IsGridDestroying() || !grid->HandleAllocated()
          ? nullptr
          : grid->Handle();
}

void TcxVerticalGridCustomizationForm::DoShow() {
  if (!hookTimer_ && customizing_) {
    hookTimer_.reset(new TTimer(nullptr));
    hookTimer_->SetInterval(kHookInterval);
    hookTimer_->OnTimer =
        TNotifyEvent(this, &TcxVerticalGridCustomizationForm::HookTimerHandler);
  }
  if (hookTimer_) hookTimer_->SetEnabled(true);
  TForm::DoShow();
}

void TcxVerticalGridCustomizationForm::DoClose(TCloseAction& Action) {
  hookTimer_.reset();
  TForm::DoClose(Action);
}

void TcxVerticalGridCustomizationForm::HookTimerHandler(TObject*) {
  if (!customizing_) return;
  TcxCustomVerticalGrid* grid = customizing_->Grid();
  HWND mainWindow = Application->Handle();
  if (TCustomForm* mainForm = Application->MainForm())
    if (mainForm->HandleAllocated()) mainWindow = mainForm->Handle();
  if (mainWindow && IsIconic(mainWindow)) {
    if (Visible()) ShowWindow(Handle(), SW_HIDE);
    return;
  }
  if (!grid->Visible() || !grid->HandleAllocated() ||
      !IsWindowVisible(grid->Handle())) {
    customizing_->SetVisible(false);
    return;
  }
  if (HandleAllocated() && !IsWindowVisible(Handle()))
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

// ---------------------------------------------------------------------------
// TcxVerticalGridCustomizing
// ---------------------------------------------------------------------------

TcxVerticalGridCustomizing::TcxVerticalGridCustomizing(
    TcxCustomVerticalGrid* AOwner)
    : grid_(AOwner) {}

TcxVerticalGridCustomizing::~TcxVerticalGridCustomizing() { ReleaseControls(); }

void TcxVerticalGridCustomizing::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxVerticalGridCustomizing*>(Source)) {
    SetRowCount(source->RowCount());
    SetVisible(source->Visible());
    return;
  }
  TPersistent::Assign(Source);
}

void TcxVerticalGridCustomizing::SetRowCount(Integer Value) {
  rowCount_ = std::max(Value, 2);
}

void TcxVerticalGridCustomizing::SetShowCategoryButtons(bool Value) {
  showCategoryButtons_ = Value;
  if (panel_) panel_->SetVisible(Value);
}

void TcxVerticalGridCustomizing::SetVisible(bool Value) {
  if (Value == visible_) return;
  if (Value) {
    if (!grid_->HasRows()) return;
    visible_ = true;
    CreateControls();
  } else {
    visible_ = false;
    ReleaseControls();
    // However the form went (closed, hidden with the grid, switched off in
    // code), the grid's owner hears of it.
    grid_->DoCustomizationVisibleChanged();
  }
}

TSize TcxVerticalGridCustomizing::SizeDelta() { return TSize{31, 4}; }

void TcxVerticalGridCustomizing::CreateCustomizingForm() {
  form_ = new TcxVerticalGridCustomizationForm(this);
  form_->SetVisible(false);
  form_->SetCaption(cxGetResourceString(cxSvgCustomizeCaption));
  form_->SetBorderStyle(bsSizeToolWin);
  form_->SetBorderIcons(TBorderIcons{biSystemMenu});
  form_->Font()->Assign(grid_->Font());
  const TSize delta = SizeDelta();
  form_->Canvas()->Font()->Assign(form_->Font());
  const Integer width = delta.cx * form_->Canvas()->TextWidth("0");
  lineHeight_ = form_->Canvas()->TextHeight("Wg") + delta.cy;
  form_->SetClientSize(TSize{width, (rowCount_ + 1) * lineHeight_});
  form_->Constraints()->SetMinWidth(form_->Width());
  form_->SetColor(clBtnFace);
  form_->OnShow = TNotifyEvent(this, &TcxVerticalGridCustomizing::FormShow);
  form_->OnClose = TCloseEvent(this, &TcxVerticalGridCustomizing::FormClose);
  HMENU menu = GetSystemMenu(form_->Handle(), FALSE);
  DeleteMenu(menu, 7, MF_BYPOSITION);
  DeleteMenu(menu, 5, MF_BYPOSITION);
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND);
}

void TcxVerticalGridCustomizing::CreateCategoryPanel() {
  panel_ = new TPanel(nullptr);
  panel_->SetAlign(alBottom);
  panel_->SetHeight(35);
  panel_->SetBevelOuter(bvNone);
  panel_->SetVisible(showCategoryButtons_);
  panel_->SetParent(categoriesSheet_);
  auto makeButton = [&](const TcxResourceString& ACaption, Integer ALeft,
                        Integer ATabOrder,
                        void (TcxVerticalGridCustomizing::*AClick)(TObject*)) {
    auto* button = new TcxButton(nullptr);
    button->SetBounds(ALeft, 7, 75, 25);
    button->SetCaption(cxGetResourceString(ACaption));
    button->SetTabOrder(ATabOrder);
    button->LookAndFeel()->SetMasterLookAndFeel(grid_->LookAndFeel());
    button->OnClick = TNotifyEvent(this, AClick);
    button->SetParent(panel_);
    return button;
  };
  newButton_ = makeButton(cxSvgCustomizeNewCategory, 7, 0,
                          &TcxVerticalGridCustomizing::NewButtonClick);
  deleteButton_ = makeButton(cxSvgCustomizeDeleteCategory, 90, 1,
                             &TcxVerticalGridCustomizing::DeleteButtonClick);
  deleteButton_->SetEnabled(false);
}

void TcxVerticalGridCustomizing::CreateControls() {
  if (form_) return;
  savedDragMode_ = grid_->DragMode();
  grid_->SetDragMode(dmAutomatic);
  CreateCustomizingForm();
  rowListBox_ = new TcxVerticalGridItemsCustomizeListBox(nullptr, grid_, false);
  pageControl_ = new TcxvgCustomizePageControl(nullptr);
  rowsSheet_ = new TTabSheet(nullptr);
  rowsSheet_->SetCaption(cxGetResourceString(cxSvgCustomizeRowsCaption));
  if (withCategories_) {
    categoryListBox_ =
        new TcxVerticalGridItemsCustomizeListBox(nullptr, grid_, true);
    categoryListBox_->OnClick =
        TNotifyEvent(this, &TcxVerticalGridCustomizing::CategoryListClick);
    categoriesSheet_ = new TTabSheet(nullptr);
    categoriesSheet_->SetCaption(
        cxGetResourceString(cxSvgCustomizeCategoriesCaption));
  }
  AdjustControls();
  if (withCategories_) CreateCategoryPanel();
  ShowCustomizingForm();
}

void TcxVerticalGridCustomizing::AdjustControls() {
  auto place = [](TControl* AControl, TWinControl* AParent) {
    AControl->SetAlign(alClient);
    AControl->SetParentFont(true);
    AControl->SetParentColor(true);
    AControl->SetParent(AParent);
  };
  place(pageControl_, form_);
  rowsSheet_->SetPageControl(pageControl_);
  place(rowListBox_, rowsSheet_);
  if (categoriesSheet_) {
    categoriesSheet_->SetPageControl(pageControl_);
    place(categoryListBox_, categoriesSheet_);
  }
  for (TcxVerticalGridItemsCustomizeListBox* list :
       {rowListBox_, categoryListBox_})
    if (list) list->SetItemHeight(lineHeight_);
}

void TcxVerticalGridCustomizing::ShowCustomizingForm() {
  if (lastPosition_.X == -10000 && lastPosition_.Y == -10000) {
    const TPoint corner = grid_->ClientToScreen(TPoint{grid_->Width(), 0});
    const TRect desktop = GetDesktopWorkArea(corner);
    Integer left = corner.X;
    Integer top = corner.Y;
    if (left + form_->Width() > desktop.Right)
      left = desktop.Right - form_->Width();
    if (top + form_->Height() > desktop.Bottom)
      top = desktop.Bottom - form_->Height();
    left = std::max(left, desktop.Left);
    top = std::max(top, desktop.Top);
    form_->SetBounds(left, top, form_->Width(), form_->Height());
  } else {
    form_->SetBounds(lastPosition_.X, lastPosition_.Y, form_->Width(),
                     form_->Height());
  }
  rowListBox_->RefreshList();
  if (lastRowIndex_ < rowListBox_->Items()->Count())
    rowListBox_->SetItemIndex(lastRowIndex_);
  if (categoryListBox_) {
    categoryListBox_->RefreshList();
    if (lastCategoryIndex_ < categoryListBox_->Items()->Count())
      categoryListBox_->SetItemIndex(lastCategoryIndex_);
    UpdateButtons();
  }
  form_->Show();
}

void TcxVerticalGridCustomizing::RememberState() {
  if (!form_) return;
  lastPosition_ = TPoint{form_->Left(), form_->Top()};
  lastRowIndex_ =
      rowListBox_ && rowListBox_->Parent() ? rowListBox_->ItemIndex() : -1;
  lastCategoryIndex_ = categoryListBox_ && categoryListBox_->Parent()
                           ? categoryListBox_->ItemIndex()
                           : -1;
}

void TcxVerticalGridCustomizing::FormClose(TObject*, TCloseAction& Action) {
  (void)Action;
  RememberState();
  // The selections just remembered are what the form reopens with.
  keepSelections_ = true;
  TScopeGuard done([this] { keepSelections_ = false; });
  SetVisible(false);
}

void TcxVerticalGridCustomizing::FormShow(TObject*) {
  grid_->DoCustomizationVisibleChanged();
}

void TcxVerticalGridCustomizing::ReleaseControls() {
  if (!form_) return;
  lastPosition_ = TPoint{form_->Left(), form_->Top()};
  FreeControl(newButton_);
  FreeControl(deleteButton_);
  FreeControl(panel_);
  FreeControl(rowListBox_);
  FreeControl(categoryListBox_);
  FreeControl(rowsSheet_);
  FreeControl(categoriesSheet_);
  FreeControl(pageControl_);
  if (!keepSelections_) {
    lastRowIndex_ = -1;
    lastCategoryIndex_ = -1;
  }
  TcxVerticalGridCustomizationForm* form = form_;
  form_ = nullptr;
  form->OnShow = nullptr;
  form->OnClose = nullptr;
  form->Detach();
  if (grid_->IsGridDestroying()) {
    TObjectDeleter()(form);
    return;
  }
  grid_->SetDragMode(savedDragMode_);
  form->Release();
}

void TcxVerticalGridCustomizing::Update() {
  if (!form_) return;
  rowListBox_->RefreshList();
  if (categoryListBox_) {
    categoryListBox_->RefreshList();
    UpdateButtons();
  }
}

void TcxVerticalGridCustomizing::UpdateButtons() {
  if (deleteButton_)
    deleteButton_->SetEnabled(categoryListBox_ &&
                              categoryListBox_->ItemIndex() >= 0);
}

void TcxVerticalGridCustomizing::CategoryListClick(TObject*) {
  UpdateButtons();
}

void TcxVerticalGridCustomizing::NewButtonClick(TObject*) {
  CreateCategoryRow();
}

void TcxVerticalGridCustomizing::DeleteButtonClick(TObject*) {
  DeleteCategory();
}

void TcxVerticalGridCustomizing::ShowPageFor(TcxCustomRow* ARow) {
  if (!pageControl_) return;
  if (IsCategory(ARow) && categoriesSheet_)
    pageControl_->SetActivePage(categoriesSheet_);
  else
    pageControl_->SetActivePage(rowsSheet_);
}

bool TcxVerticalGridCustomizing::CanDrop(const TPoint& AScreenPoint) {
  if (!visible_ || !form_) return false;
  TcxCustomRow* row = grid_->VGController()->DragRow();
  TcxVerticalGridItemsCustomizeListBox* list =
      IsCategory(row) && categoryListBox_ ? categoryListBox_ : rowListBox_;
  if (!list || !list->HandleAllocated() || !IsWindowVisible(list->Handle()))
    return false;
  const TPoint p = list->ScreenToClient(AScreenPoint);
  return PtInRect(list->ClientRect(), p);
}

void TcxVerticalGridCustomizing::CreateCategoryRow() {
  String caption;
  if (!cxShowNewCategoryForm(form_, caption, grid_->LookAndFeel())) return;
  {
    auto update = grid_->UpdateScope();
    auto* row = grid_->Add<TcxCategoryRow>();
    row->SetVisible(false);
    row->GetProperties()->SetCaption(caption);
    row->SetName(CreateUniqueName(grid_->Owner(), grid_, row, "Tcx",
                                  "RuntimeCreatedRow"));
  }
  Update();
}

void TcxVerticalGridCustomizing::DeleteCategory() {
  if (!categoryListBox_) return;
  TcxCustomRow* row = categoryListBox_->RowAt(categoryListBox_->ItemIndex());
  if (!row) return;
  categoryListBox_->Items()->Delete(categoryListBox_->ItemIndex());
  TObjectDeleter()(row);
  Update();
}

void TcxVerticalGridCustomizing::LookAndFeelChanged() {
  for (TWinControl* control : {static_cast<TWinControl*>(rowListBox_),
                               static_cast<TWinControl*>(categoryListBox_),
                               static_cast<TWinControl*>(pageControl_)})
    if (control) control->Invalidate();
}

// ---------------------------------------------------------------------------
// The new-category dialog
// ---------------------------------------------------------------------------

TfmCreateCategory::TfmCreateCategory(TComponent* AOwner) : TForm(AOwner) {
  if (auto* ownerForm = dynamic_cast<TCustomForm*>(AOwner))
    if (ownerForm->HandleAllocated()) parentWindow_ = ownerForm->Handle();
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetClientSize(TSize{279, 87});
  SetCaption(cxGetResourceString(cxSvgNewCategoryCaption));

  Bevel = new TBevel(this);
  Bevel->SetShape(bsTopLine);
  Bevel->SetBounds(8, 12, 263, 2);
  Bevel->SetParent(this);

  edCaption = new TcxTextEdit(this);
  edCaption->SetBounds(76, 22, 195, 21);
  edCaption->SetTabOrder(0);
  edCaption->SetParent(this);
  edCaption->Properties()->OnChange =
      TNotifyEvent(this, &TfmCreateCategory::CaptionChanged);

  lbCaption = new TLabel(this);
  lbCaption->SetBounds(8, 26, 64, 13);
  lbCaption->SetCaption(cxGetResourceString(cxSvgNewCategoryLabelCaption));
  lbCaption->SetFocusControl(edCaption);
  lbCaption->SetParent(this);

  btOK = new TcxButton(this);
  btOK->SetBounds(115, 54, 75, 25);
  btOK->SetCaption(cxGetResourceString(cxSvgOKCaption));
  btOK->SetDefault(true);
  btOK->SetModalResult(mrOk);
  btOK->SetTabOrder(1);
  btOK->SetParent(this);

  btCancel = new TcxButton(this);
  btCancel->SetBounds(196, 54, 75, 25);
  btCancel->SetCaption(cxGetResourceString(cxSvgCancelCaption));
  btCancel->SetCancel(true);
  btCancel->SetModalResult(mrCancel);
  btCancel->SetTabOrder(2);
  btCancel->SetParent(this);

  SetActiveControl(edCaption);
  UpdateOKButton();
}

void TfmCreateCategory::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  if (parentWindow_) Params.WndParent = parentWindow_;
}

void TfmCreateCategory::UpdateOKButton() {
  btOK->SetEnabled(!edCaption->Text().empty());
}

void TfmCreateCategory::CaptionChanged(TObject*) { UpdateOKButton(); }

bool cxShowNewCategoryForm(TComponent* AOwnerForm, String& ACaption,
                           TcxLookAndFeel* ALookAndFeel) {
  TObjectPtr<TfmCreateCategory> dialog(new TfmCreateCategory(AOwnerForm));
  dialog->edCaption->SetText(ACaption);
  dialog->UpdateOKButton();
  if (auto* owner = dynamic_cast<TCustomForm*>(AOwnerForm)) {
    dialog->Font()->SetName(owner->Font()->Name());
    dialog->SetLeft(
        std::max(0, owner->Left() + (owner->Width() - dialog->Width()) / 2));
    dialog->SetTop(
        std::max(0, owner->Top() + (owner->Height() - dialog->Height()) / 2));
  }
  if (ALookAndFeel) {
    dialog->btOK->LookAndFeel()->Assign(ALookAndFeel);
    dialog->btCancel->LookAndFeel()->Assign(ALookAndFeel);
    dialog->edCaption->GetStyle()->LookAndFeel()->Assign(ALookAndFeel);
  }
  if (dialog->ShowModal() != mrOk) return false;
  ACaption = dialog->edCaption->Text();
  return true;
}

// ---------------------------------------------------------------------------
// Unit start-up and exit
// ---------------------------------------------------------------------------

namespace {

struct TcxVGridCursor {
  TCursor Id;
  const char* Name;
};
// Row drag and drop (the controller) shows them.
constexpr TcxVGridCursor kVGridCursors[] = {
    {-1228, "CXVG_INSERT"}, {-1229, "CXVG_ADDCHILD"}, {-1230, "CXVG_ADD"},
    {-1241, "CXVG_HIDE"},   {-1242, "CXVG_NODRAG"},
};

void cxVGridStartup() {
  RegisterClasses({TcxCategoryRow::StaticClass(), TcxEditorRow::StaticClass(),
                   TcxMultiEditorRow::StaticClass(),
                   TcxCaptionRowProperties::StaticClass(),
                   TcxEditorRowProperties::StaticClass(),
                   TcxMultiEditorRowProperties::StaticClass()});
  if (!Screen) return;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  for (const TcxVGridCursor& cursor : kVGridCursors)
    Screen->SetCursors(cursor.Id, ::LoadCursorA(instance, cursor.Name));
}

// The cursors come from the program's resources, shared by the system:
// they leave the screen's table rather than being destroyed.
void cxVGridShutdown() {
  if (!Screen) return;
  for (const TcxVGridCursor& cursor : kVGridCursors)
    Screen->SetCursors(cursor.Id, nullptr);
}

}  // namespace

VARNEL_UNIT(cxVGrid, ({"cxInplaceContainer", "cxControls", "cxButtons"}),
            &cxVGridStartup, &cxVGridShutdown);
