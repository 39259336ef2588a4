// The main window's two grids of places: built here rather than read from
// the form, filled from the places model, and turning the user's edits,
// option clicks and row drags into changes of the model and the registry.
// Kept apart from wndMain.cpp: the grid's and the list view's headers both
// name a sort order "soNone".
#include "ExtCtrls.h"
#include "ScopeGuard.h"
#include "cxButtonEdit.h"
#include "cxCheckGroup.h"
#include "cxDropDownEdit.h"
#include "cxPC.h"
#include "cxRadioGroup.h"
#include "cxTextEdit.h"
#include "cxVGrid.h"
#include "uFormHelpers.h"
#include "wndMain.h"

namespace {

constexpr Integer kNonPlaceTag = 100;
const char* const kViewNames[] = {"List", "Details", "Summary", "Preview"};

String CommonRowName(Integer K) { return "edtCdPlace" + IntToStr(K); }
String OfficeRowName(Integer K) { return "edtOffPlace" + IntToStr(K); }

// A read-only ellipsis edit that only the dialog behind its button fills.
void MakePathCell(TcxCustomEditorRowProperties* Cell,
                  TcxEditButtonClickEvent OnClick) {
  Cell->SetEditPropertiesClass(TcxButtonEditProperties::StaticClass());
  auto* props = static_cast<TcxButtonEditProperties*>(
      Cell->EditContainer()->Properties());
  props->SetReadOnly(true);
  props->SetViewStyle(vsHideCursor);
  props->OnButtonClick = OnClick;
  Cell->DataBinding()->SetValueType("String");
}

TcxCategoryRow* AddCategoryRow(TcxVerticalGrid* Grid, const String& Caption) {
  auto* row = Grid->Add<TcxCategoryRow>();
  row->GetProperties()->SetCaption(Caption);
  row->Options()->SetShowExpandButton(false);
  return row;
}

TcxStyle* NewStyle(TComponent* Owner, const String& Name, TColor Color,
                   TColor TextColor) {
  auto* style = new TcxStyle(Owner);
  style->SetName(Name);
  if (Color != clDefault) style->SetColor(Color);
  if (TextColor != clDefault) style->SetTextColor(TextColor);
  return style;
}

// The value an option row's editor holds now: the editor when the event
// comes from it, else the row's stored value.
Integer OptionValue(TObject* Sender, TcxCustomRow* Row) {
  Variant value;
  if (auto* edit = dynamic_cast<TcxCustomEdit*>(Sender)) {
    value = edit->EditValue();
  } else if (auto* editor = dynamic_cast<TcxEditorRow*>(Row)) {
    value = editor->GetProperties()->GetValue();
  }
  if (VarIsNull(value) || VarIsEmpty(value)) return 0;
  return StrToIntDef(VarToStr(value), 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Building the grids
// ---------------------------------------------------------------------------

void TwndMain::CreateGrids() {
  styDisabled = NewStyle(this, "styDisabled", clBtnFace, clGrayText);
  styFocused = NewStyle(this, "styFocused", clHighlight, clHighlightText);
  cxStyle1 = NewStyle(this, "cxStyle1", clDefault, clDefault);
  cxStyle1->Font()->SetName("Tahoma");
  cxStyle1->Font()->SetHeight(-11);
  CreateCommonGrid();
  CreateOfficeGrid();
}

TcxVerticalGrid* TwndMain::NewPlaceGrid(const String& Name, TWinControl* Page) {
  auto* grid = new TcxVerticalGrid(this);
  grid->SetName(Name);
  grid->SetParent(Page);
  grid->SetAlign(alClient);
  grid->OptionsView()->SetShowEditButtons(ecsbAlways);
  grid->OptionsView()->SetCategoryExplorerStyle(true);
  grid->Styles()->SetSelection(styFocused);
  grid->Styles()->SetHeader(cxStyle1);
  grid->OnMouseDown = TMouseEvent(this, &TwndMain::GRID_mouse_down);
  grid->OnStartDrag = TStartDragEvent(this, &TwndMain::GRID_drag_start);
  grid->OnDragOver = TDragOverEvent(this, &TwndMain::GRID_drag_over);
  grid->OnDragDrop = TDragDropEvent(this, &TwndMain::GRID_drag_drop);
  return grid;
}

void TwndMain::CreateCommonGrid() {
  vgCommonDlg = NewPlaceGrid("vgCommonDlg", tsCommonDlg);
  // One layout pass once every row is there, not one per row and cell.
  vgCommonDlg->BeginUpdate();
  TScopeGuard endUpdate([&] { vgCommonDlg->EndUpdate(); });
  vgCommonDlg->Styles()->OnGetContentStyle = TcxvgOnGetContentStyleEvent(
      this, &TwndMain::vgCommonDlgStylesGetContentStyle);
  vgCommonDlg->Styles()->OnGetHeaderStyle = TcxvgOnGetItemStyleEvent(
      this, &TwndMain::vgCommonDlgStylesGetHeaderStyle);

  commonPlacesCategory_ = AddCategoryRow(vgCommonDlg, "Places");
  for (Integer k = 0; k < kPlaceRowCount; ++k) {
    auto* row = vgCommonDlg->AddChild<TcxEditorRow>(commonPlacesCategory_);
    row->SetName(CommonRowName(k));
    row->SetTag(k);
    row->GetProperties()->SetCaption("Place " + IntToStr(k + 1));
    MakePathCell(row->GetProperties(),
                 TcxEditButtonClickEvent(this, &TwndMain::COMDLG_edtbtn_click));
  }
  // Bound last: the rows above would otherwise each refill the grid.
  vgCommonDlg->OnResize = TNotifyEvent(this, &TwndMain::GRID_resize);
}

void TwndMain::CreateOfficeGrid() {
  vgOfficeDlg = NewPlaceGrid("vgOfficeDlg", tsOffice);
  // One layout pass once every row is there, not one per row and cell.
  vgOfficeDlg->BeginUpdate();
  TScopeGuard endUpdate([&] { vgOfficeDlg->EndUpdate(); });
  vgOfficeDlg->OptionsView()->SetRowHeaderMinWidth(0);
  vgOfficeDlg->OptionsView()->SetValueMinWidth(20);
  vgOfficeDlg->OptionsBehavior()->SetBandSizing(false);
  vgOfficeDlg->OptionsBehavior()->SetHeaderSizing(false);
  vgOfficeDlg->Styles()->OnGetContentStyle = TcxvgOnGetContentStyleEvent(
      this, &TwndMain::vgPlacesStylesGetContentStyle);
  vgOfficeDlg->Styles()->OnGetHeaderStyle =
      TcxvgOnGetItemStyleEvent(this, &TwndMain::vgPlacesStylesGetHeaderStyle);
  vgOfficeDlg->OnEdited =
      TcxVerticalGridChangedEvent(this, &TwndMain::vgOfficeDlgEdited);

  // The heading spells the columns' titles over the cells below it.
  officePlacesCategory_ =
      AddCategoryRow(vgOfficeDlg, "    Places" + String(24, ' ') + "Name" +
                                      String(43, ' ') + "Path");
  officePlacesCategory_->SetTag(kNonPlaceTag);
  officePlacesCategory_->Options()->SetFocusing(false);
  for (Integer k = 0; k < kPlaceRowCount; ++k) {
    auto* row = vgOfficeDlg->AddChild<TcxMultiEditorRow>(officePlacesCategory_);
    row->SetName(OfficeRowName(k));
    row->SetTag(k);
    TcxMultiEditorRowProperties* props = row->GetProperties();
    props->SetFixed(true);
    TcxEditorRowItemProperties* name = props->Editors()->Add();
    name->SetCaption("Place " + IntToStr(k + 1));
    name->SetEditPropertiesClass(TcxTextEditProperties::StaticClass());
    name->DataBinding()->SetValueType("String");
    name->SetWidth(100);
    TcxEditorRowItemProperties* path = props->Editors()->Add();
    path->SetCaption("Path");
    MakePathCell(path,
                 TcxEditButtonClickEvent(this, &TwndMain::OFFDLG_edtbtn_click));
    path->SetWidth(200);
    TcxEditorRowItemProperties* view = props->Editors()->Add();
    view->SetCaption("View");
    view->SetEditPropertiesClass(TcxComboBoxProperties::StaticClass());
    auto* combo = static_cast<TcxComboBoxProperties*>(
        view->EditContainer()->Properties());
    combo->SetDropDownListStyle(lsFixedList);
    for (const char* item : kViewNames) combo->Items()->Add(item);
    view->DataBinding()->SetValueType("String");
    view->SetWidth(20);
    view->SetValue(Variant("Details"));
  }

  TcxCategoryRow* options = AddCategoryRow(vgOfficeDlg, "Options");
  options->SetTag(kNonPlaceTag);
  auto addOption = [&](const String& Name, const String& Caption,
                       TClass Properties) {
    auto* row = vgOfficeDlg->AddChild<TcxEditorRow>(options);
    row->SetName(Name);
    row->GetProperties()->SetCaption(Caption);
    row->GetProperties()->SetEditPropertiesClass(Properties);
    return row;
  };
  auto* version = addOption("cbOfficeVersions", "Version",
                            TcxRadioGroupProperties::StaticClass());
  version->SetTag(kNonPlaceTag);
  auto* versionProps = static_cast<TcxRadioGroupProperties*>(
      version->GetProperties()->EditProperties());
  versionProps->SetImmediatePost(true);
  versionProps->OnEditValueChanged =
      TNotifyEvent(this, &TwndMain::MSO_ver_change);

  auto* smallIcon = addOption("cbUseSmIcon", "Options",
                              TcxCheckGroupProperties::StaticClass());
  smallIcon->SetTag(kNonPlaceTag);
  auto* smallIconProps = static_cast<TcxCheckGroupProperties*>(
      smallIcon->GetProperties()->EditProperties());
  smallIconProps->SetColumns(4);
  smallIconProps->SetEditValueFormat(cvfInteger);
  smallIconProps->SetImmediatePost(true);
  smallIconProps->GetItems()->Add()->SetCaption("Small Icon");
  smallIconProps->OnChange =
      TNotifyEvent(this, &TwndMain::cbUseSmIconEditPropertiesChange);

  auto* defaultVersion = addOption("rgOfficeDefault", "Default",
                                   TcxRadioGroupProperties::StaticClass());
  auto* defaultProps = static_cast<TcxRadioGroupProperties*>(
      defaultVersion->GetProperties()->EditProperties());
  defaultProps->SetImmediatePost(true);
  defaultProps->OnEditValueChanged =
      TNotifyEvent(this, &TwndMain::OFFICE_default_ver);
}

void TwndMain::ApplyOfficeDetection() {
  if (!vgOfficeDlg) return;
  vgOfficeDlg->SetEnabled(officeMask_ != 0);
  for (const char* name : {"cbOfficeVersions", "rgOfficeDefault"}) {
    auto* row = dynamic_cast<TcxEditorRow*>(vgOfficeDlg->RowByName(name));
    if (!row) continue;
    auto* props = dynamic_cast<TcxRadioGroupProperties*>(
        row->GetProperties()->EditProperties());
    if (!props) continue;
    props->SetColumns(officeVersionColumns_);
    TcxRadioGroupItems* items = props->GetItems();
    items->Clear();
    for (const TOfficeVersionItem& choice : officeVersionChoices_) {
      TcxRadioGroupItem* item = items->Add();
      item->SetCaption(choice.Caption);
      item->SetValue(Variant(choice.Value));
    }
  }
}

// ---------------------------------------------------------------------------
// Filling the grids
// ---------------------------------------------------------------------------

Integer TwndMain::ValueCellWidth(TcxCustomRow* Row, Integer Cell,
                                 Integer Fallback) {
  TcxCustomRowViewInfo* info = Row ? Row->GetViewInfo() : nullptr;
  TcxRowValueInfo* value = info ? info->GetRowValueInfo(0, Cell) : nullptr;
  const Integer width = value ? value->DisplayRect().Width() : 0;
  return width > 0 ? width : Fallback;
}

void TwndMain::FillCommonGrid() {
  try {
    if (vgCommonDlg->GetIsEditing()) vgCommonDlg->CancelEdit();
    const Integer width = ValueCellWidth(
        vgCommonDlg->RowByName(CommonRowName(0)), 0, vgCommonDlg->Width() / 2);
    commonRows_ = CommonGridRows(commonPlaces_.get(), width, GridTextWidth());
    ShowCommonRows();
  } catch (const Exception&) {
  }
}

void TwndMain::ShowCommonRows() {
  // One layout pass for all the rows, not one per changed value.
  vgCommonDlg->BeginUpdate();
  TScopeGuard endUpdate([&] { vgCommonDlg->EndUpdate(); });
  for (Integer k = 0; k < kPlaceRowCount; ++k) {
    auto* row =
        dynamic_cast<TcxEditorRow*>(vgCommonDlg->RowByName(CommonRowName(k)));
    if (!row) continue;
    const TCommonRowView& view = commonRows_[k];
    row->GetProperties()->SetValue(Variant(view.Value));
    row->GetProperties()->SetHint(view.Hint);
    row->Options()->SetFocusing(view.Focusing);
  }
  vgCommonDlg->Invalidate();
}

void TwndMain::FillOfficeGrid() {
  try {
    if (vgOfficeDlg->GetIsEditing()) vgOfficeDlg->CancelEdit();
    officeRows_ = TOfficeRows{};
    officeOptionsFocusing_ = false;
    officeDefaultValue_ = TOfficeDialogPlaces::DefaultOfficeVersion();
    if (TGroupItem* group = officePlaces_->GetCurrentGroup()) {
      const Integer width =
          ValueCellWidth(vgOfficeDlg->RowByName(OfficeRowName(0)), 1, 200);
      officeRows_ = OfficeGridRows(officePlaces_.get(), width, GridTextWidth());
      officeOptionsFocusing_ = true;
      officeVersionValue_ = group->EffectiveOfficeVersion();
      smallIconValue_ = group->OfficeFlags() >> 4;
    }
    ShowOfficeRows();
  } catch (const Exception&) {
  }
}

void TwndMain::ShowOfficeRows() {
  // One layout pass for all the rows, not one per changed value.
  vgOfficeDlg->BeginUpdate();
  TScopeGuard endUpdate([&] { vgOfficeDlg->EndUpdate(); });
  for (Integer k = 0; k < kPlaceRowCount; ++k) {
    auto* row = dynamic_cast<TcxMultiEditorRow*>(
        vgOfficeDlg->RowByName(OfficeRowName(k)));
    if (!row) continue;
    const TOfficeRowView& view = officeRows_[k];
    TcxEditorPropertiesCollection* cells = row->GetProperties()->Editors();
    TcxEditorRowItemProperties* name = cells->GetItem(0);
    name->SetValue(Variant(view.Name));
    name->SetHint(String());
    if (TcxCustomEditProperties* props = name->EditProperties())
      props->SetReadOnly(view.NameReadOnly);
    cells->GetItem(1)->SetValue(Variant(view.Path));
    cells->GetItem(1)->SetHint(view.PathHint);
    cells->GetItem(2)->SetValue(Variant(view.View));
    cells->GetItem(2)->SetHint(String());
    row->Options()->SetFocusing(view.Focusing);
  }
  struct {
    const char* name;
    Integer value;
    bool focusing;
  } options[] = {
      {"cbOfficeVersions", officeVersionValue_, officeOptionsFocusing_},
      {"cbUseSmIcon", smallIconValue_ & 1, officeOptionsFocusing_},
      {"rgOfficeDefault", officeDefaultValue_, true}};
  for (auto& option : options) {
    auto* row =
        dynamic_cast<TcxEditorRow*>(vgOfficeDlg->RowByName(option.name));
    if (!row) continue;
    row->Options()->SetFocusing(option.focusing);
    // Without a group the version and icon rows show nothing.
    if (option.focusing) {
      row->GetProperties()->SetValue(Variant(option.value));
    } else {
      row->GetProperties()->SetValue(Null());
    }
  }
  vgOfficeDlg->Invalidate();
}

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------

void TwndMain::vgCommonDlgStylesGetContentStyle(
    TObject*, TcxCustomEditorRowProperties* AEditProp, bool, Integer,
    TcxStyle*& AStyle) {
  if (!AEditProp || !AEditProp->Row()) return;
  if (!AEditProp->Row()->Options()->Focusing()) AStyle = styDisabled;
}

void TwndMain::vgCommonDlgStylesGetHeaderStyle(TObject*, TcxCustomRow* ARow,
                                               TcxStyle*& AStyle) {
  if (ARow && !ARow->Options()->Focusing()) AStyle = styDisabled;
}

void TwndMain::vgPlacesStylesGetContentStyle(
    TObject*, TcxCustomEditorRowProperties* AEditProp, bool, Integer,
    TcxStyle*& AStyle) {
  try {
    TcxCustomRow* row = AEditProp ? AEditProp->Row() : nullptr;
    if (!vgOfficeDlg->Enabled() || (row && !row->Options()->Focusing()))
      AStyle = styDisabled;
  } catch (const Exception&) {
  }
}

void TwndMain::vgPlacesStylesGetHeaderStyle(TObject*, TcxCustomRow* ARow,
                                            TcxStyle*& AStyle) {
  try {
    if (!vgOfficeDlg->Enabled() || (ARow && !ARow->Options()->Focusing()))
      AStyle = styDisabled;
  } catch (const Exception&) {
  }
}

// ---------------------------------------------------------------------------
// Cell edits and options
// ---------------------------------------------------------------------------

void TwndMain::COMDLG_edtbtn_click(TObject*, Integer AButtonIndex) {
  TcxCustomRow* row = vgCommonDlg->GetFocusedRow();
  if (!row || !IsPlaceRow(row)) return;
  EditCommonPlace(row->Tag(), AButtonIndex);
}

void TwndMain::OFFDLG_edtbtn_click(TObject*, Integer AButtonIndex) {
  TcxCustomRow* row = vgOfficeDlg->GetFocusedRow();
  if (!row || !IsPlaceRow(row)) return;
  EditOfficePlace(row->Tag(), AButtonIndex);
}

void TwndMain::vgOfficeDlgEdited(TObject*,
                                 TcxCustomEditorRowProperties* AProperties) {
  try {
    TcxCustomRow* row = AProperties ? AProperties->Row() : nullptr;
    if (!row || !IsPlaceRow(row)) return;
    const Integer k = row->Tag();
    auto* cell = dynamic_cast<TcxEditorRowItemProperties*>(AProperties);
    const Integer index = cell ? cell->Index() : -1;
    if (index == 0) {
      OfficePlaceNameEdited(k, VarToStr(AProperties->GetValue()));
    } else if (index == 2) {
      // A cell without the combo's list counts as Details.
      const bool isCombo = dynamic_cast<TcxComboBoxProperties*>(
                               AProperties->EditProperties()) != nullptr;
      OfficePlaceViewEdited(
          k, isCombo ? VarToStr(AProperties->GetValue()) : String("Details"));
    }
  } catch (const Exception&) {
  }
}

void TwndMain::OptionRowChanged(TObject* Sender, const char* RowName,
                                void (TwndMain::*Apply)(Integer)) {
  try {
    (this->*Apply)(OptionValue(Sender, vgOfficeDlg->RowByName(RowName)));
  } catch (const Exception&) {
  }
}

void TwndMain::MSO_ver_change(TObject* Sender) {
  OptionRowChanged(Sender, "cbOfficeVersions", &TwndMain::OfficeVersionChanged);
}

void TwndMain::cbUseSmIconEditPropertiesChange(TObject* Sender) {
  OptionRowChanged(Sender, "cbUseSmIcon", &TwndMain::SmallIconChanged);
}

void TwndMain::OFFICE_default_ver(TObject* Sender) {
  OptionRowChanged(Sender, "rgOfficeDefault", &TwndMain::OfficeDefaultChanged);
}

// ---------------------------------------------------------------------------
// Row drag
// ---------------------------------------------------------------------------

TCustomPlaces* TwndMain::PlacesOfGrid(TObject* Grid) {
  if (Grid && Grid == vgCommonDlg) return commonPlaces_.get();
  if (Grid && Grid == vgOfficeDlg) return officePlaces_.get();
  return nullptr;
}

bool TwndMain::IsPlaceRow(TcxCustomRow* Row) {
  // The option rows and the headings have indices too; only the rows under
  // a places heading stand for places.
  TcxCustomRow* parent = Row ? Row->GetParent() : nullptr;
  return parent &&
         (parent == commonPlacesCategory_ || parent == officePlacesCategory_);
}

TcxCustomRow* TwndMain::PlaceRowAt(TcxVerticalGrid* Grid, Integer X,
                                   Integer Y) {
  TcxvgHitTest* hit = Grid->GetHitTest();
  hit->ReCalculate(TPoint{X, Y});
  TcxCustomRow* row = hit->HitRow();
  return IsPlaceRow(row) ? row : nullptr;
}

void TwndMain::GRID_mouse_down(TObject* Sender, TMouseButton Button,
                               TShiftState, Integer X, Integer Y) {
  try {
    if (Button != mbLeft) return;
    auto* grid = dynamic_cast<TcxVerticalGrid*>(Sender);
    TCustomPlaces* places = PlacesOfGrid(grid);
    if (!places) return;
    TcxCustomRow* row = PlaceRowAt(grid, X, Y);
    if (!row || !grid->GetHitTest()->GetHitAtRowHeader()) return;
    if (!CanDragPlaceRow(places, row->Index())) return;
    DragRow = row;
    grid->BeginDrag(false);
  } catch (const Exception&) {
  }
}

void TwndMain::GRID_drag_start(TObject* Sender, TDragObject*& DragObject) {
  auto* grid = dynamic_cast<TcxVerticalGrid*>(Sender);
  rowDrag_.reset();
  if (!DragRow || !grid || DragRow->VerticalGrid() != grid) return;
  rowDrag_.reset(new TgxRowDragObject(grid, DragRow->Index()));
  DragObject = rowDrag_.get();
}

TgxRowDragObject* TwndMain::RowDragOf(TObject* Source) {
  if (auto* drag = dynamic_cast<TgxRowDragObject*>(Source)) return drag;
  // A target is shown the dragged control rather than the drag object; the
  // row drag in progress is the one that control started.
  if (rowDrag_ && Source && Source == rowDrag_->Control())
    return rowDrag_.get();
  return nullptr;
}

void TwndMain::GRID_drag_over(TObject* Sender, TObject* Source, Integer X,
                              Integer Y, TDragState, bool& Accept) {
  Accept = false;
  try {
    auto* grid = dynamic_cast<TcxVerticalGrid*>(Sender);
    TgxRowDragObject* drag = RowDragOf(Source);
    // A row of one grid means nothing to the other grid's places.
    if (!grid || !drag || drag->Control() != grid) return;
    TcxCustomRow* row = PlaceRowAt(grid, X, Y);
    Accept = row &&
             CanDropPlaceRow(PlacesOfGrid(grid), drag->RowIndex, row->Index());
  } catch (const Exception&) {
    Accept = false;
  }
}

void TwndMain::GRID_drag_drop(TObject* Sender, TObject* Source, Integer X,
                              Integer Y) {
  try {
    bool accept = false;
    GRID_drag_over(Sender, Source, X, Y, dsDragMove, accept);
    if (!accept) return;
    auto* grid = static_cast<TcxVerticalGrid*>(Sender);
    TcxCustomRow* row = PlaceRowAt(grid, X, Y);
    DropPlaceRow(PlacesOfGrid(grid), RowDragOf(Source)->RowIndex, row->Index());
  } catch (const Exception&) {
  }
}
