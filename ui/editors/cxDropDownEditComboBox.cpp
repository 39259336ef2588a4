// The combo box: a drop-down editor whose popup lists its items, sized to
// whole rows, owner drawn on request, picked by key or by click.
#include "WinApi.h"
//
#include <algorithm>
#include <climits>

#include "Handles.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "cxDropDownEdit.h"
#include "cxEditConsts.h"
#include "cxEditRepositoryItems.h"
#include "cxFilterControlUtils.h"

namespace {

Integer VScrollBarWidth() { return ::GetSystemMetrics(SM_CXVSCROLL); }
Integer HScrollBarHeight() { return ::GetSystemMetrics(SM_CYHSCROLL); }

}  // namespace

// ---------------------------------------------------------------------------
// The list
// ---------------------------------------------------------------------------

TcxCustomComboBoxListBox::TcxCustomComboBoxListBox(TComponent* AOwner)
    : TcxCustomEditListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

TcxCustomComboBox* TcxCustomComboBoxListBox::ComboBox() const {
  return dynamic_cast<TcxCustomComboBox*>(GetEdit());
}

void TcxCustomComboBoxListBox::SetScrollWidth(Integer Value) {
  scrollWidth_ = std::max<Integer>(Value, 0);
  if (HandleAllocated())
    ::SendMessageA(Handle(), LB_SETHORIZONTALEXTENT, scrollWidth_, 0);
}

void TcxCustomComboBoxListBox::CreateWnd() {
  TcxCustomEditListBox::CreateWnd();
  if (scrollWidth_ > 0)
    ::SendMessageA(Handle(), LB_SETHORIZONTALEXTENT, scrollWidth_, 0);
}

void TcxCustomComboBoxListBox::CreateParams(TCreateParams& Params) {
  TcxCustomEditListBox::CreateParams(Params);
  // A handler may draw across the whole row: widening must repaint it.
  if (TcxCustomComboBox* combo = ComboBox())
    if (combo->IsOnDrawItemEventAssigned())
      Params.WindowClass.style |= CS_HREDRAW;
}

Integer TcxCustomComboBoxListBox::GetHeight(Integer ARowCount) {
  Integer height = 0;
  for (Integer i = 0; i < ARowCount; ++i) height += GetItemHeight(i);
  return height;
}

bool TcxCustomComboBoxListBox::DoDrawItem(Integer AIndex, const TRect& ARect,
                                          TOwnerDrawState AState) {
  TcxCustomComboBox* combo = ComboBox();
  if (!combo || !combo->IsOnDrawItemEventAssigned()) return false;
  combo->DoOnDrawItem(cxCanvas(), AIndex, ARect, AState);
  return true;
}

String TcxCustomComboBoxListBox::GetItem(Integer AIndex) {
  TcxCustomComboBox* combo = ComboBox();
  return combo && combo->GetLookupData()
             ? combo->GetLookupData()->GetItem(AIndex)
             : TcxCustomEditListBox::GetItem(AIndex);
}

void TcxCustomComboBoxListBox::MeasureItem(Integer Index, Integer& Height) {
  Height = GetItemHeight(Index);
}

void TcxCustomComboBoxListBox::RecreateWindow() { InternalRecreateWindow(); }

void TcxCustomComboBoxListBox::MouseMove(TShiftState Shift, Integer X,
                                         Integer Y) {
  TcxCustomComboBox* combo = ComboBox();
  if (combo && combo->IgnoreNextListMouseMove) {
    combo->IgnoreNextListMouseMove = false;
    return;
  }
  TcxCustomEditListBox::MouseMove(Shift, X, Y);
  // Following the pointer moves the selection under it, not away from it.
  if (combo) combo->IgnoreNextListMouseMove = false;
}

Integer TcxCustomComboBoxListBox::MeasuredItemHeight(Integer AIndex,
                                                     Integer AMinHeight) {
  TcxCustomComboBox* combo = ComboBox();
  Integer height = combo && combo->ActiveProperties()->ItemHeight() > 0
                       ? combo->ActiveProperties()->ItemHeight()
                       : GetDefaultItemHeight();
  height = std::max(height, AMinHeight);
  if (combo && AIndex >= 0) combo->DoOnMeasureItem(AIndex, cxCanvas(), height);
  return height;
}

void TcxCustomComboBoxListBox::ApplyRowLayout() {
  SetItemHeight(GetItemHeight(-1));
  TcxCustomComboBox* combo = ComboBox();
  SetStyle(combo && combo->IsOnMeasureItemEventAssigned() ? lbOwnerDrawVariable
                                                          : lbOwnerDrawFixed);
}

Integer TcxComboBoxListBox::GetItemHeight(Integer AIndex) {
  return MeasuredItemHeight(AIndex, 0);
}

void TcxComboBoxListBox::RecreateWindow() {
  ApplyRowLayout();
  TcxCustomComboBoxListBox::RecreateWindow();
}

void TcxComboBoxListBox::Dispatch(TMessage& Message) {
  // A selection moved by the keys or by code scrolls the list under a
  // resting pointer; the move that reports it must not move it back.
  if (Message.Msg == LB_SETCURSEL)
    if (TcxCustomComboBox* combo = ComboBox())
      combo->IgnoreNextListMouseMove = true;
  TcxCustomComboBoxListBox::Dispatch(Message);
}

void TcxComboBoxListBox::MouseUp(TMouseButton Button, TShiftState Shift,
                                 Integer X, Integer Y) {
  TcxCustomComboBoxListBox::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const Integer index = ItemAtPos(TPoint{X, Y}, true);
  if (index == -1) return;
  SetMouseCapture(false);
  SetItemIndex(index);
  if (TcxCustomComboBox* combo = ComboBox()) combo->CloseUp(crEnter);
}

void TcxComboBoxListBox::Resize() {
  TcxCustomComboBoxListBox::Resize();
  TcxCustomComboBox* combo = ComboBox();
  if (!combo || !combo->DroppedDown() || !HandleAllocated() || !HScrollBar() ||
      !VScrollBar() || !HScrollBar()->Visible() || !VScrollBar()->Visible())
    return;
  const TRect grip = GetSizeGripRect();
  TRegionHandle region(
      ::CreateRectRgn(grip.Left, grip.Top, grip.Right, grip.Bottom));
  ::SendMessageA(Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region.get()),
                 0);
}

// ---------------------------------------------------------------------------
// Lookup data
// ---------------------------------------------------------------------------

TObjectPtr<TcxCustomEditListBox> TcxComboBoxLookupData::CreateListBox(
    TComponent* AOwner) {
  return TObjectPtr<TcxCustomEditListBox>(new TcxComboBoxListBox(AOwner));
}

void TcxComboBoxLookupData::Initialize(TWinControl* AVisualControlsParent) {
  TcxCustomTextEditLookupData::Initialize(AVisualControlsParent);
  auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(GetEdit());
  if (List() && edit)
    List()->LookAndFeel()->SetMasterLookAndFeel(
        edit->PopupControlsLookAndFeel());
}

TSize TcxComboBoxLookupData::GetVisualAreaPreferredSize(Integer AMaxHeight,
                                                        Integer AWidth) {
  TcxCustomComboBoxListBox* list = List();
  if (!list) return TSize{0, 0};
  const Integer count = GetItemCount();
  const Integer rows =
      std::min(count, ActiveProperties()->GetDropDownPageRowCount());
  TSize result{0, list->GetHeight(rows)};
  for (Integer i = 0; i < count; ++i)
    result.cx = std::max<LONG>(result.cx, list->GetItemWidth(i));
  result.cx += 4;
  list->SetScrollWidth(0);
  list->SetScrollWidth(result.cx);
  if (rows < count || (AMaxHeight > 0 && AMaxHeight < result.cy))
    result.cx += VScrollBarWidth();
  if (AWidth > 0 && AWidth < result.cx) result.cy += HScrollBarHeight();
  return result;
}

// The rows are counted from the first until they fill the asked height: a
// growing list rounds down to whole rows, a shrinking one rounds up, so the
// popup never shows part of a row.
bool TcxComboBoxLookupData::CanResizeVisualArea(TSize& ANewSize,
                                                Integer AMaxHeight,
                                                Integer AMaxWidth) {
  TcxCustomComboBoxListBox* list = List();
  if (!list) return true;
  if (ANewSize.cx == list->Width() && ANewSize.cy == list->Height())
    return true;
  const Integer maxHeight = AMaxHeight > 0 ? AMaxHeight : INT_MAX;
  const Integer maxWidth = AMaxWidth > 0 ? AMaxWidth : INT_MAX;
  const bool growing = ANewSize.cy >= list->Height();
  const Integer count = GetItemCount();
  struct TFill {
    Integer Height = 0;
    bool VScroll = false;
    bool HScroll = false;
  };
  TFill fill;
  Integer rowsHeight = 0;
  for (Integer i = 0; i < count; ++i) {
    const TFill previous = fill;
    rowsHeight += list->GetItemHeight(i);
    fill.VScroll = i + 1 < count;
    const Integer width = ANewSize.cx - (fill.VScroll ? VScrollBarWidth() : 0);
    fill.HScroll = width < list->ScrollWidth() || width > maxWidth;
    fill.Height = rowsHeight + (fill.HScroll ? HScrollBarHeight() : 0);
    if (fill.Height == ANewSize.cy && fill.Height <= maxHeight) break;
    if (fill.Height > ANewSize.cy || fill.Height > maxHeight) {
      // One row always shows.
      if ((fill.Height > maxHeight || growing) && i > 0) fill = previous;
      break;
    }
  }
  ANewSize.cy = fill.Height;
  Integer minWidth = fill.VScroll ? VScrollBarWidth() : 0;
  if (fill.HScroll) minWidth += VScrollBarWidth();
  ANewSize.cx = std::max<LONG>(ANewSize.cx, minWidth);
  return true;
}

// ---------------------------------------------------------------------------
// Popup window
// ---------------------------------------------------------------------------

TcxComboBoxPopupWindow::TcxComboBoxPopupWindow(TWinControl* AOwnerControl)
    : TcxCustomEditPopupWindow(AOwnerControl) {
  CreatePopupParts();
}

void TcxComboBoxPopupWindow::CalculateSize() {
  ViewInfo()->SizingCorner = ecoBottomRight;
  auto* combo = dynamic_cast<TcxCustomComboBox*>(OwnerControl());
  if (!combo) {
    TcxCustomEditPopupWindow::CalculateSize();
    return;
  }
  SetOwnerBounds(combo->GetPopupWindowOwnerControlBounds());
  const TRect x = ViewInfo()->GetClientExtent();
  const TSize m = GetMinSize();
  const TSize p = combo->GetPopupWindowClientPreferredSize();
  const bool userSized = Sizeable() && combo->PopupSizeChanged();
  const Integer ownerWidth = OwnerBounds().Width();
  Integer width = 0;
  if (userSized || (!PopupAutoSize() && PopupWidth > 0))
    width = PopupWidth;
  else if (PopupAutoSize())
    width = std::max<Integer>(ownerWidth, p.cx + x.Left + x.Right);
  else
    width = ownerWidth;
  Integer height = 0;
  if ((!userSized && PopupHeight <= 0) || (!Sizeable() && PopupAutoSize()))
    height = p.cy + x.Top + x.Bottom;
  else
    height = PopupHeight;
  if (Sizeable()) {
    width = std::max(width, MinWidth);
    height = std::max(height, MinHeight);
  }
  TRestoreOnExit settingUp(SettingUp, true);
  SetBounds(Left(), Top(), std::max<Integer>(width, m.cx),
            std::max<Integer>(height, m.cy));
}

// ---------------------------------------------------------------------------
// View data and view info
// ---------------------------------------------------------------------------

namespace {

bool DrawsOwnItem(TcxCustomComboBoxProperties* AProps) {
  return AProps->DropDownListStyle() == lsFixedList && AProps->OnDrawItem;
}

void SetItemToDraw(TcxCustomEditViewInfo* AViewInfo, Integer AIndex,
                   TcxCustomComboBoxProperties* AProps) {
  auto* info = dynamic_cast<TcxCustomComboBoxViewInfo*>(AViewInfo);
  if (!info) return;
  info->ItemIndex = AIndex;
  info->Properties = AProps;
  info->IsOwnerDrawing = AIndex != -1;
}

}  // namespace

void TcxCustomComboBoxViewData::Calculate(TcxCanvas* ACanvas,
                                          const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton,
                                          TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo,
                                          bool AIsMouseEvent) {
  TcxCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                       AViewInfo, AIsMouseEvent);
  auto* props = static_cast<TcxCustomComboBoxProperties*>(Properties);
  auto* combo = dynamic_cast<TcxCustomComboBox*>(Edit);
  const bool ownerDraw = props->DropDownListStyle() == lsFixedList && combo &&
                         combo->IsOnDrawItemEventAssigned();
  SetItemToDraw(AViewInfo, ownerDraw ? combo->ItemIndex() : -1, props);
}

void TcxCustomComboBoxViewData::EditValueToDrawValue(
    TcxCanvas* ACanvas, const Variant& AValue,
    TcxCustomTextEditViewInfo* AViewInfo) {
  TcxCustomTextEditViewData::EditValueToDrawValue(ACanvas, AValue, AViewInfo);
  auto* props = static_cast<TcxCustomComboBoxProperties*>(Properties);
  if (Edit) return;  // an editor's item index is its own
  SetItemToDraw(
      AViewInfo,
      DrawsOwnItem(props) ? props->Items()->IndexOf(AViewInfo->Text) : -1,
      props);
}

TcxCustomComboBoxViewInfo::TcxCustomComboBoxViewInfo() {
  OnOwnerDraw =
      TcxTextEditOwnerDrawEvent(this, &TcxCustomComboBoxViewInfo::DoCustomDraw);
}

void TcxCustomComboBoxViewInfo::Assign(TObject* Source) {
  TcxCustomTextEditViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxCustomComboBoxViewInfo*>(Source)) {
    ItemIndex = source->ItemIndex;
    Properties = source->Properties;
  }
  OnOwnerDraw =
      TcxTextEditOwnerDrawEvent(this, &TcxCustomComboBoxViewInfo::DoCustomDraw);
}

void TcxCustomComboBoxViewInfo::DoCustomDraw(TcxCanvas* ACanvas,
                                             const TRect& ARect) {
  const TOwnerDrawState state =
      Focused ? TOwnerDrawState{odSelected, odFocused, odComboBoxEdit}
              : TOwnerDrawState{odComboBoxEdit};
  ACanvas->Brush()->SetColor(DrawSelectionBar ? TColor(clHighlight)
                                              : BackgroundColor);
  if (Font) ACanvas->Font()->Assign(Font);
  ACanvas->Font()->SetColor(DrawSelectionBar ? TColor(clHighlightText)
                                             : TextColor);
  PrepareCanvasFont(ACanvas);
  if (auto* combo = dynamic_cast<TcxCustomComboBox*>(Edit))
    combo->DoOnDrawItem(ACanvas, ItemIndex, ARect, state);
  else if (Properties && Properties->OnDrawItem)
    Properties->OnDrawItem(nullptr, ACanvas, ItemIndex, ARect, state);
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomComboBoxProperties::TcxCustomComboBoxProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner) {}

void TcxCustomComboBoxProperties::SetDropDownListStyle(
    TcxEditDropDownListStyle Value) {
  if (dropDownListStyle_ == Value) return;
  dropDownListStyle_ = Value;
  Changed();
}

void TcxCustomComboBoxProperties::SetDropDownRows(Integer Value) {
  if (Value < 1 || Value == dropDownRows_) return;
  dropDownRows_ = Value;
}

void TcxCustomComboBoxProperties::SetItemHeight(Integer Value) {
  if (itemHeight_ == Value) return;
  itemHeight_ = Value;
  Changed();
}

TcxEditEditingStyle TcxCustomComboBoxProperties::GetEditingStyle() {
  switch (dropDownListStyle_) {
    case lsEditFixedList:
      return esEditList;
    case lsFixedList:
      return esFixedList;
    default:
      return esEdit;
  }
}

void TcxCustomComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomComboBoxProperties*>(Source);
  if (!source) {
    TcxCustomDropDownEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomDropDownEditProperties::Assign(Source);
  SetDropDownListStyle(source->dropDownListStyle_);
  SetDropDownRows(source->dropDownRows_);
  SetItemHeight(source->itemHeight_);
  revertable_ = source->revertable_;
  OnDrawItem = source->OnDrawItem;
  OnMeasureItem = source->OnMeasureItem;
}

TcxCustomEditClass TcxCustomComboBoxProperties::GetContainerClass() {
  return cxEditClass<TcxComboBox>();
}

TcxContainerViewInfoClass TcxCustomComboBoxProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCustomComboBoxViewInfo>;
}

TObjectPtr<TcxCustomEditViewData> TcxCustomComboBoxProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  TObjectPtr<TcxCustomEditViewData> result(
      new TcxCustomComboBoxViewData(this, AStyle, AIsInplace));
  result->PreviewMode = APreviewMode;
  return result;
}

TObjectPtr<TcxCustomTextEditLookupData>
TcxCustomComboBoxProperties::CreateLookupData(TcxCustomTextEdit* AEdit) {
  return TObjectPtr<TcxCustomTextEditLookupData>(
      new TcxComboBoxLookupData(AEdit));
}

TcxCustomEditPopupWindow* TcxCustomComboBoxProperties::NewPopupWindow(
    TWinControl* AEdit) {
  return new TcxComboBoxPopupWindow(AEdit);
}

// ---------------------------------------------------------------------------
// Editor
// ---------------------------------------------------------------------------

TcxCustomComboBox::TcxCustomComboBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomDropDownEdit(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) RecreatePopupWindow();
  // The text is the value, not the control's caption.
  controlStyle_.Exclude(csSetCaption);
}

TcxComboBox::TcxComboBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomComboBox(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) RecreatePopupWindow();
}

Integer TcxCustomComboBox::SelectedItem() const {
  TcxComboBoxLookupData* lookup = GetLookupData();
  return lookup && lookup->List() ? lookup->List()->ItemIndex() : -1;
}

void TcxCustomComboBox::SetSelectedItem(Integer Value) {
  TcxComboBoxLookupData* lookup = GetLookupData();
  if (lookup && lookup->List()) lookup->List()->SetItemIndex(Value);
}

bool TcxCustomComboBox::CanDropDown() {
  return !GetLookupData() || !GetLookupData()->IsEmpty();
}

bool TcxCustomComboBox::CanSynchronizeLookupData() {
  if (IsLookupDataTextChangedLocked()) return false;
  if (DroppedDown()) return true;
  if (!ActiveProperties()->IncrementalSearch() && HasShowRequest()) return true;
  const TcxEditEditingStyle style = ActiveProperties()->GetEditingStyle();
  return style == esEditList || style == esFixedList;
}

void TcxCustomComboBox::SynchronizeItemIndex() {
  if (ActiveProperties()->UseLookupData() && GetLookupData())
    GetLookupData()->TextChanged();
}

void TcxCustomComboBox::ChangeHandler(TObject* Sender) {
  TcxObjectLinkScope self(this);
  TcxCustomDropDownEdit::ChangeHandler(Sender);
  if (!self.Alive() || !GetLookupData() || !CanSynchronizeLookupData()) return;
  const Integer key = GetLookupData()->CurrentKeyIndex();
  GetLookupData()->TextChanged();
  if (GetLookupData()->CurrentKeyIndex() != key) DoClick();
}

TSize TcxCustomComboBox::GetPopupWindowClientPreferredSize() {
  if (!GetLookupData() || !PopupWindow()) return TSize{0, 0};
  TcxCustomComboBoxProperties* props = ActiveProperties();
  const TSize maxArea = PopupWindow()->GetMaxVisualAreaSize();
  Integer width = 0;
  if (props->DropDownSizeable() || props->DropDownAutoWidth()) {
    width = maxArea.cx;
  } else {
    width = props->DropDownWidth();
    if (width < 1) width = GetPopupWindowOwnerControlBounds().Width();
    const TRect x = PopupWindow()->ViewInfo()->GetClientExtent();
    width = std::min<Integer>(width - x.Left - x.Right, maxArea.cx);
  }
  return GetLookupData()->GetVisualAreaPreferredSize(maxArea.cy, width);
}

void TcxCustomComboBox::InitializePopupWindow() {
  TcxCustomDropDownEdit::InitializePopupWindow();
  PopupWindow()->SetSysPanelStyle(ActiveProperties()->DropDownSizeable());
}

void TcxCustomComboBox::ResetPopupHeight() {
  ActiveProperties()->SetPopupHeight(0);
}

void TcxCustomComboBox::DblClick() {
  TcxObjectLinkScope self(this);
  TcxCustomDropDownEdit::DblClick();
  if (!self.Alive() || DroppedDown() || !ActiveProperties()->Revertable() ||
      !GetLookupData() || GetLookupData()->IsEmpty())
    return;
  LookupGo(egdNext, true);
}

void TcxCustomComboBox::DoFocusChanged() {
  TcxCustomComboBoxProperties* props = ActiveProperties();
  if (props->AutoSelect() && props->HideSelection() && !Focused() &&
      InnerTextEdit())
    SetSelection(0, 0);
  TcxCustomDropDownEdit::DoFocusChanged();
}

void TcxCustomComboBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomDropDownEdit::MouseMove(Shift, X, Y);
  TcxComboBoxLookupData* lookup = GetLookupData();
  if (!MouseCapture() || !DroppedDown() || !lookup || !lookup->List() ||
      !lookup->List()->HandleAllocated())
    return;
  // Dragging from the editor into the open list moves its highlight.
  POINT p;
  ::GetCursorPos(&p);
  if (!lookup->IsMouseOverList(TPoint{p.x, p.y})) return;
  TcxCustomComboBoxListBox* list = lookup->List();
  const TPoint local = list->ScreenToClient(TPoint{p.x, p.y});
  ::SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(local.X, local.Y));
}

void TcxCustomComboBox::PopupWindowShowed(TObject* Sender) {
  TcxObjectLinkScope self(this);
  TcxCustomDropDownEdit::PopupWindowShowed(Sender);
  if (!self.Alive()) return;
  TcxComboBoxLookupData* lookup = GetLookupData();
  POINT p;
  // The item under a resting pointer is not highlighted at once.
  if (lookup && lookup->List() && lookup->List()->HandleAllocated() &&
      ::GetCursorPos(&p) && lookup->IsMouseOverList(TPoint{p.x, p.y}))
    IgnoreNextListMouseMove = true;
}

void TcxCustomComboBox::Dispatch(TMessage& Message) {
  // The button-up that ends a press in the list makes no click.
  if (Message.Msg == WM_LBUTTONUP) controlState_.Exclude(csClicked);
  TcxCustomDropDownEdit::Dispatch(Message);
}

void TcxCustomComboBox::DoOnDrawItem(TcxCanvas* ACanvas, Integer AIndex,
                                     const TRect& ARect,
                                     TOwnerDrawState AState) {
  TcxObjectLinkScope self(this);
  if (Properties()->OnDrawItem)
    Properties()->OnDrawItem(this, ACanvas, AIndex, ARect, AState);
  if (self.Alive() && RepositoryItem() && ActiveProperties()->OnDrawItem)
    ActiveProperties()->OnDrawItem(this, ACanvas, AIndex, ARect, AState);
}

void TcxCustomComboBox::DoOnMeasureItem(Integer AIndex, TcxCanvas* ACanvas,
                                        Integer& AHeight) {
  if (Properties()->OnMeasureItem)
    Properties()->OnMeasureItem(this, AIndex, ACanvas, AHeight);
  if (RepositoryItem() && ActiveProperties()->OnMeasureItem)
    ActiveProperties()->OnMeasureItem(this, AIndex, ACanvas, AHeight);
}

bool TcxCustomComboBox::IsOnDrawItemEventAssigned() {
  return Properties()->OnDrawItem || ActiveProperties()->OnDrawItem;
}

bool TcxCustomComboBox::IsOnMeasureItemEventAssigned() {
  return Properties()->OnMeasureItem || ActiveProperties()->OnMeasureItem;
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

namespace {

// The descriptions are loaded directly: replacing resource strings at run
// time does not reach them.
void DropDownEditStartup() {
  RegisterEnum<TcxEditDropDownListStyle>(
      "TcxEditDropDownListStyle",
      {"lsEditFixedList", "lsEditList", "lsFixedList"});
  using P = TcxComboBoxProperties;
  TPublished<P>()
      .Property("CharCase", &P::CharCase, &P::SetCharCase, ecNormal)
      .Property("DropDownAutoWidth", &P::DropDownAutoWidth,
                &P::SetDropDownAutoWidth, true)
      .Property("DropDownListStyle", &P::DropDownListStyle,
                &P::SetDropDownListStyle, lsEditList)
      .Property("DropDownRows", &P::DropDownRows, &P::SetDropDownRows, 8)
      .Property("DropDownSizeable", &P::DropDownSizeable,
                &P::SetDropDownSizeable, false)
      .Property("DropDownWidth", &P::DropDownWidth, &P::SetDropDownWidth, 0)
      .Property("HideSelection", &P::HideSelection, &P::SetHideSelection, true)
      .Property("ImmediateDropDown", &P::ImmediateDropDown,
                &P::SetImmediateDropDown, true)
      .Property("ImmediateUpdateText", &P::ImmediateUpdateText,
                &P::SetImmediateUpdateText, false)
      .Property("IncrementalSearch", &P::IncrementalSearch,
                &P::SetIncrementalSearch, true)
      .Property("ItemHeight", &P::ItemHeight, &P::SetItemHeight, 0)
      .Property("Items", &P::Items, &P::SetItems)
      .Property("MaxLength", &P::MaxLength, &P::SetMaxLength)
      .Stored(&P::IsMaxLengthStored)
      .Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert, false)
      .Property("PostPopupValueOnTab", &P::PostPopupValueOnTab,
                &P::SetPostPopupValueOnTab, false)
      .Property("Revertable", &P::Revertable, &P::SetRevertable, false)
      .Property("Sorted", &P::Sorted, &P::SetSorted, false);
  using E = TcxComboBox;
  TPublished<E>()
      .Property("Properties", &E::Properties, &E::SetProperties)
      .Property("ItemIndex", &E::ItemIndex, &E::SetItemIndex)
      .Property("Text", &TControl::Text, &TControl::SetText);
  RegisterClasses(
      {TcxComboBox::StaticClass(), TcxComboBoxProperties::StaticClass()});
  GetRegisteredEditProperties()->Register(TcxComboBoxProperties::StaticClass(),
                                          scxSEditRepositoryComboBoxItem.Text);
  GetRegisteredEditProperties()->Register(TcxPopupEditProperties::StaticClass(),
                                          scxSEditRepositoryPopupItem.Text);
  FilterEditsController()->Register(TcxComboBoxProperties::StaticClass(),
                                    TcxFilterComboBoxHelper::Instance());
}

void DropDownEditShutdown() {
  FilterEditsController()->Unregister(TcxComboBoxProperties::StaticClass(),
                                      TcxFilterComboBoxHelper::Instance());
  GetRegisteredEditProperties()->Unregister(
      TcxPopupEditProperties::StaticClass());
  GetRegisteredEditProperties()->Unregister(
      TcxComboBoxProperties::StaticClass());
  UnpublishClass(TcxComboBox::StaticClass());
  UnpublishClass(TcxComboBoxProperties::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxDropDownEdit, ({"cxTextEdit"}), &DropDownEditStartup,
            &DropDownEditShutdown);
