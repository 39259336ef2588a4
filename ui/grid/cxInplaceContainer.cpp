// The editing control: sub-objects, update locking, the layout pass,
// routing of data-controller change records and of input to the
// controller. The items, view info, controllers and drag objects live in
// the cxInplaceContainer*.cpp parts named for them.
#include "cxInplaceContainer.h"

#include "Forms.h"
#include "ScopeGuard.h"

// ---------------------------------------------------------------------------
// Shared routines
// ---------------------------------------------------------------------------

bool cxConfirmMessageBox(const String& AText, const String& ACaption) {
  return Application->MessageBox(AText, ACaption,
                                 MB_ICONQUESTION | MB_OKCANCEL) == IDOK;
}

bool cxPtInViewInfoItem(TcxCustomViewInfoItem* AItem, const TPoint& P) {
  return AItem && AItem->Visible() && PtInRect(AItem->ClipRect(), P);
}

void cxAbstractError() {
  throw Exception("Abstract error: a descendant must supply this operation");
}

TcxDesignSelectionHelperClass cxDesignSelectionHelperClass = nullptr;

// ---------------------------------------------------------------------------
// TcxEditingControl
// ---------------------------------------------------------------------------

TcxEditingControl::TcxEditingControl(TComponent* AOwner) : TcxControl(AOwner) {
  SetKeys(TcxKeys{kArrows, kChars});
  SetBorderStyle(cxcbsDefault);
  SetDragCursor(crDefault);
}

TcxEditingControl::~TcxEditingControl() {
  // After a plain delete; normally BeforeDestruction did this.
  if (subClassesCreated_) {
    DetachItems();
    designSelectionHelper_.reset();
    EndMouseTracking(this);
    TcxEditingControl::DestroySubClasses();
  }
}

void TcxEditingControl::BeforeDestruction() {
  // Owned items outlive this body: they must not reach back into a control
  // whose sub-objects are gone.
  Destroying();
  DetachItems();
  designSelectionHelper_.reset();
  EndMouseTracking(this);
  if (subClassesCreated_) DestroySubClasses();
  TcxControl::BeforeDestruction();
}

void TcxEditingControl::DetachItems() {
  for (auto* item : items_) item->editingControl_ = nullptr;
  items_.clear();
}

Integer TcxEditingControl::QueryInterface(const TGUID& iid, void** obj) {
  if (iid == IcxMouseTrackingCaller::IID) {
    *obj = static_cast<IcxMouseTrackingCaller*>(this);
    return 0;
  }
  return TcxControl::QueryInterface(iid, obj);
}

bool TcxEditingControl::BufferedPaint() const {
  return Painter() && Painter()->Buffered();
}

void TcxEditingControl::SetBufferedPaint(bool Value) {
  if (Painter()) Painter()->SetBuffered(Value);
}

TcxEditingController* TcxEditingControl::EditingController() const {
  return controller_ ? controller_->EditingController() : nullptr;
}

TcxCustomHitTestController* TcxEditingControl::HitTestController() const {
  return controller_ ? controller_->HitTestController() : nullptr;
}

TcxCustomControlPainter* TcxEditingControl::Painter() const {
  return viewInfo_ ? viewInfo_->Painter() : nullptr;
}

void TcxEditingControl::CancelUpdate() {
  if (dataController_) dataController_->EndUpdate();
  --lockCount_;
}

void TcxEditingControl::LayoutChanged() {
  if (viewInfo_)
    viewInfo_->SetState(TcxCustomControlViewInfo::cvis_IsDirty, true);
  if (IsLocked()) return;
  ++layoutNestingCount_;
  {
    TScopeGuard closing([this] {
      if (viewInfo_)
        viewInfo_->SetState(TcxCustomControlViewInfo::cvis_IsDirty, false);
      CancelUpdate();
      SetInternalControlsBounds();
      UpdateScrollBars();
      --layoutNestingCount_;
    });
    controller_->Reset();
    BeginUpdate();
    DoLayoutChanged();
  }
  if (layoutNestingCount_ != 0) return;
  HitTestController()->ReCalculate();
  EditingController()->PostEditUpdate();
  layoutChangedFlag_ = true;
  AfterLayoutChanged();
  Invalidate();
}

void TcxEditingControl::UpdateViewStyles() {
  if (viewInfo_)
    viewInfo_->SetState(TcxCustomControlViewInfo::cvis_StyleInvalid, true);
  LayoutChanged();
}

void TcxEditingControl::UpdateIndexes() {
  for (size_t i = 0; i < items_.size(); ++i)
    items_[i]->SetItemIndex(static_cast<Integer>(i));
}

bool TcxEditingControl::ExecuteAction(TBasicAction* Action) {
  return TcxControl::ExecuteAction(Action);
}

bool TcxEditingControl::UpdateAction(TBasicAction* Action) {
  return TcxControl::UpdateAction(Action);
}

void TcxEditingControl::CheckCreateDesignSelectionHelper() {
  if (!designSelectionHelper_ && cxDesignSelectionHelperClass &&
      GetIsDesigning())
    designSelectionHelper_ = cxDesignSelectionHelperClass(this);
}

void TcxEditingControl::CreateSubClasses() {
  if (subClassesCreated_) return;
  subClassesCreated_ = true;
  styles_ = GetControlStylesClass()(this);
  brushCache_ = std::make_unique<TcxBrushCache>();
  editStyle_ = GetEditStyleClass()(nullptr, true);
  editStyle_->LookAndFeel()->SetMasterLookAndFeel(LookAndFeel());
  controller_ = GetControllerClass()(this);
  controller_->CreateSubObjects();
  dataController_ = GetDataControllerClass()(this);
  RecreateViewInfo();
}

void TcxEditingControl::DestroySubClasses() {
  if (!subClassesCreated_) return;
  subClassesCreated_ = false;
  FinishDragImages();
  viewInfo_.reset();
  brushCache_.reset();
  controller_.reset();
  editStyle_.reset();
  dataController_.reset();
  styles_.reset();
}

void TcxEditingControl::ControlUpdateData(TcxUpdateControlInfo* AInfo) {
  if (auto* data = dynamic_cast<TcxDataChangedInfo*>(AInfo)) {
    (void)data;
    DataChanged();
  } else if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) {
    DataLayoutChanged();
  } else if (auto* focus = dynamic_cast<TcxFocusedRecordChangedInfo*>(AInfo)) {
    controller_->FocusedRecordChanged(focus->PrevFocusedRowIndex,
                                      focus->FocusedRowIndex);
    controller_->Navigator()->Refresh();
  } else if (auto* selection = dynamic_cast<TcxSelectionChangedInfo*>(AInfo)) {
    SelectionChanged(selection);
  } else if (auto* record = dynamic_cast<TcxUpdateRecordInfo*>(AInfo)) {
    controller_->UpdateRecord(record->RecordIndex);
  }
}

void TcxEditingControl::DataChanged() {
  ++lockCount_;
  {
    TScopeGuard unlock([this] { --lockCount_; });
    for (size_t i = 0; i < items_.size(); ++i) items_[i]->DataChanged();
  }
  if (!IsLocked()) controller_->RefreshFocusedRecord();
}

void TcxEditingControl::DataLayoutChanged() {
  EditingController()->UpdateEditValue();
  controller_->RefreshFocusedRecord();
}

void TcxEditingControl::DoBeginUpdate() {
  ++lockCount_;
  if (dataController_) dataController_->BeginUpdate();
}

void TcxEditingControl::DoEndUpdate() {
  if (dataController_) dataController_->EndUpdate();
  --lockCount_;
  if (lockCount_ == 0) BeforeUpdate();
  LayoutChanged();
}

void TcxEditingControl::DoEditChanged(TcxCustomInplaceEditContainer* AItem) {
  if (OnEditChanged) OnEditChanged(this, AItem);
}

void TcxEditingControl::DoEdited(TcxCustomInplaceEditContainer* AItem) {
  if (OnEdited) OnEdited(this, AItem);
}

bool TcxEditingControl::DoEditing(TcxCustomInplaceEditContainer* AItem) {
  bool allow = true;
  if (OnEditing) OnEditing(this, AItem, allow);
  return allow;
}

void TcxEditingControl::DoEditValueChanged(
    TcxCustomInplaceEditContainer* AItem) {
  if (OnEditValueChanged) OnEditValueChanged(this, AItem);
}

void TcxEditingControl::DoInitEdit(TcxCustomInplaceEditContainer* AItem,
                                   TcxCustomEdit* AEdit) {
  if (OnInitEdit) OnInitEdit(this, AItem, AEdit);
}

void TcxEditingControl::DoInplaceEditContainerItemAdded(
    TcxCustomInplaceEditContainer* AItem) {
  TScopeGuard relayout([this] { LayoutChanged(); });
  items_.push_back(AItem);
  UpdateIndexes();
  dataController_->AddItem(AItem);
}

void TcxEditingControl::DoInplaceEditContainerItemRemoved(
    TcxCustomInplaceEditContainer* AItem) {
  TScopeGuard relayout([this] { LayoutChanged(); });
  auto it = std::find(items_.begin(), items_.end(), AItem);
  if (it == items_.end()) return;
  if (controller_->FocusedItem() == AItem)
    controller_->InternalSetFocusedItem(nullptr);
  if (EditingController()->EditingItem() == AItem)
    EditingController()->HideEdit(false);
  items_.erase(it);
  dataController_->RemoveItem(AItem);
  UpdateIndexes();
}

void TcxEditingControl::DoLayoutChanged() { viewInfo_->Calculate(); }

TcxEditingControl::TcxControlStylesClass
TcxEditingControl::GetControlStylesClass() {
  return cxSubObjectClass<TcxCustomControlStyles, TcxCustomControlStyles,
                          TPersistent>();
}

TcxEditingControl::TcxDataControllerClass
TcxEditingControl::GetDataControllerClass() {
  return cxSubObjectClass<TcxControlDataController, TcxControlDataController,
                          TComponent>();
}

TcxDragImageHelperClass TcxEditingControl::GetDragImageHelperClass() {
  return [](TcxEditingControl* AControl, const TPoint& ADragPos) {
    return TObjectPtr<TcxDragImageHelper>(
        new TcxDragImageHelper(AControl, ADragPos));
  };
}

TcxEditingControl::TcxEditStyleClass TcxEditingControl::GetEditStyleClass() {
  return [](TPersistent* AOwner, bool ADirectAccessMode) {
    return TObjectPtr<TcxCustomEditStyle>(
        new TcxEditStyle(AOwner, ADirectAccessMode));
  };
}

TcxEditingControl::TcxEditingControllerClass
TcxEditingControl::GetEditingControllerClass() {
  return cxSubObjectClass<TcxEditingController, TcxEditingController,
                          TcxCustomControlController>();
}

TcxHitTestControllerClass TcxEditingControl::GetHitTestControllerClass() {
  return cxSubObjectClass<TcxCustomHitTestController,
                          TcxCustomHitTestController,
                          TcxCustomControlController>();
}

TcxHotTrackControllerClass TcxEditingControl::GetHotTrackControllerClass() {
  return cxSubObjectClass<TcxHotTrackController, TcxHotTrackController,
                          TcxEditingControl>();
}

TcxEditingControl::TcxPainterClass TcxEditingControl::GetPainterClass() {
  return cxSubObjectClass<TcxCustomControlPainter, TcxCustomControlPainter,
                          TcxEditingControl>();
}

bool TcxEditingControl::IsLocked() {
  return lockCount_ != 0 || IsLoading() || IsDestroying() || !HandleAllocated();
}

void TcxEditingControl::RecreateViewInfo() {
  if (controller_) {
    EditingController()->SetEditingItem(nullptr);
    controller_->Clear();
  }
  viewInfo_.reset();
  viewInfo_ = GetViewInfoClass()(this);
}

void TcxEditingControl::UpdateData() { EditingController()->UpdateValue(); }

bool TcxEditingControl::HasDragDropImages() {
  return GetOptions()->GetOptionsBehavior()->DragDropImages();
}

// --- Overrides -------------------------------------------------------------

void TcxEditingControl::Loaded() {
  TcxControl::Loaded();
  dataController_->Loaded();
  LayoutChanged();
  CheckCreateDesignSelectionHelper();
}

void TcxEditingControl::WndProc(TMessage& Message) {
  if (controller_) controller_->WndProc(Message);
  TcxControl::WndProc(Message);
}

void TcxEditingControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_CANCELMODE && controller_) {
    controller_->SetDragCancel(true);
    TScopeGuard clear([this] {
      if (controller_) controller_->SetDragCancel(false);
    });
    TcxControl::Dispatch(Message);
    return;
  }
  if (Message.Msg == WM_SETCURSOR && GetIsDesigning() &&
      DragAndDropState() == ddsNone && HitTestController()) {
    const TPoint p = ScreenToClient(GetMouseCursorPos());
    if (HitTestController()->AllowDesignMouseEvents(p.X, p.Y,
                                                    TShiftState{ssLeft})) {
      ::SetCursor(Screen->Cursors(HitTestController()->GetCurrentCursor()));
      Message.Result = 1;
      return;
    }
  }
  TcxControl::Dispatch(Message);
}

void TcxEditingControl::AlignControls(TControl* AControl, TRect& Rect) {
  // In-place editors place themselves over their cell.
  if (dynamic_cast<TcxCustomEdit*>(AControl)) return;
  TcxControl::AlignControls(AControl, Rect);
}

void TcxEditingControl::AfterMouseDown(TMouseButton AButton, Integer X,
                                       Integer Y) {
  dragPos_ = TPoint{X, Y};
  TcxControl::AfterMouseDown(AButton, X, Y);
}

TCursor TcxEditingControl::GetCursor(Integer X, Integer Y) {
  const TCursor cursor = controller_ ? controller_->GetCursor(X, Y) : crDefault;
  return cursor != crDefault ? cursor : TcxControl::GetCursor(X, Y);
}

bool TcxEditingControl::GetIsFocused() {
  return TcxControl::GetIsFocused() ||
         (controller_ && controller_->HasFocusedControls());
}

TcxMouseWheelScrollingKind TcxEditingControl::GetMouseWheelScrollingKind() {
  const TcxMouseWheelScrollingKind kind =
      TcxControl::GetMouseWheelScrollingKind();
  if (kind != mwskNone || !controller_) return kind;
  return controller_->GetMouseWheelScrollingKind();
}

void TcxEditingControl::InitControl() {
  TcxControl::InitControl();
  LayoutChanged();
}

void TcxEditingControl::LookAndFeelChanged(
    TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  if (!subClassesCreated_) return;
  const bool wasEditing = EditingController()->IsEditing();
  if (wasEditing) EditingController()->HideEdit(true);
  TcxControl::LookAndFeelChanged(Sender, AChangedValues);
  BeginUpdate();
  {
    TScopeGuard finish([this] {
      UpdateViewStyles();
      EndUpdate();
    });
    for (auto* item : items_) item->InternalPropertiesChanged();
  }
  if (wasEditing) EditingController()->ShowEdit(nullptr);
}

void TcxEditingControl::InitScrollBarsParameters() {
  if (controller_) controller_->InitScrollBarsParameters();
}

bool TcxEditingControl::IsPixelScrollBar(TScrollBarKind AKind) {
  return controller_ && controller_->IsPixelScrollBar(AKind);
}

void TcxEditingControl::Scroll(TScrollBarKind AScrollBarKind,
                               TScrollCode AScrollCode, Integer& AScrollPos) {
  EditingController()->PostEditUpdate();
  controller_->Scroll(AScrollBarKind, AScrollCode, AScrollPos);
}

TClass TcxEditingControl::GetDragAndDropObjectClass() {
  TClass cls = controller_ ? controller_->GetDragAndDropObjectClass() : nullptr;
  return cls ? cls : TcxControl::GetDragAndDropObjectClass();
}

void TcxEditingControl::BoundsChanged() {
  if (subClassesCreated_) LayoutChanged();
  TcxControl::BoundsChanged();
}

void TcxEditingControl::FontChanged() {
  TcxControl::FontChanged();
  if (subClassesCreated_) UpdateViewStyles();
}

bool TcxEditingControl::MayFocus() {
  return TcxControl::MayFocus() && (!controller_ || controller_->MayFocus());
}

bool TcxEditingControl::CanDrag(Integer X, Integer Y) {
  return controller_ && controller_->CanDrag(X, Y);
}

void TcxEditingControl::DoCancelMode() {
  TcxControl::DoCancelMode();
  if (controller_) controller_->DoCancelMode();
}

bool TcxEditingControl::GetDesignHitTest(Integer X, Integer Y,
                                         TShiftState Shift) {
  return HitTestController()->AllowDesignMouseEvents(X, Y, Shift);
}

void TcxEditingControl::DblClick() {
  controller_->DblClick();
  TcxControl::DblClick();
}

void TcxEditingControl::KeyDown(Word& Key, TShiftState Shift) {
  controller_->SetDragCancel(Key == VK_ESCAPE);
  TScopeGuard clear([this] {
    if (controller_) controller_->SetDragCancel(false);
  });
  TcxControl::KeyDown(Key, Shift);
  controller_->KeyDown(Key, Shift);
}

void TcxEditingControl::KeyPress(char& Key) {
  TcxControl::KeyPress(Key);
  controller_->KeyPress(Key);
}

void TcxEditingControl::KeyUp(Word& Key, TShiftState Shift) {
  TcxControl::KeyUp(Key, Shift);
  controller_->KeyUp(Key, Shift);
}

void TcxEditingControl::FocusChanged() {
  TcxControl::FocusChanged();
  if (!IsDestroying() && controller_) controller_->FocusChanged();
}

void TcxEditingControl::DoExit() {
  if (controller_) controller_->DoExit();
  TcxControl::DoExit();
}

void TcxEditingControl::MouseDown(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  controller_->HideHint();
  controller_->SetMousePressed(true);
  controller_->BeforeMouseDown(Button, Shift, X, Y);
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (!controller_) return;
  HitTestController()->RecalculateOnMouseEvent(X, Y, Shift);
  if (!EditingController()->IsErrorOnEditExit())
    controller_->DoMouseDown(Button, Shift, X, Y);
}

void TcxEditingControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  if (!controller_) return;
  HitTestController()->RecalculateOnMouseEvent(X, Y, Shift);
  if (DragAndDropState() == ddsNone) controller_->DoMouseMove(Shift, X, Y);
}

void TcxEditingControl::MouseUp(TMouseButton Button, TShiftState Shift,
                                Integer X, Integer Y) {
  controller_->SetMousePressed(false);
  HitTestController()->RecalculateOnMouseEvent(X, Y, Shift);
  if (DragAndDropState() != ddsNone) {
    TcxControl::MouseUp(Button, Shift, X, Y);
    controller_->DoMouseUp(Button, Shift, X, Y);
  } else {
    controller_->DoMouseUp(Button, Shift, X, Y);
    TcxControl::MouseUp(Button, Shift, X, Y);
  }
  if (controller_) controller_->PostShowEdit();
}

void TcxEditingControl::MouseEnter(TControl* AControl) {
  TcxControl::MouseEnter(AControl);
  BeginMouseTracking(this, GetBounds(), this);
  if (controller_) controller_->MouseEnter();
}

void TcxEditingControl::MouseLeave(TControl* AControl) {
  EndMouseTracking(this);
  if (controller_) controller_->MouseLeave();
  TcxControl::MouseLeave(AControl);
}

void TcxEditingControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  controller_->DragDrop(Source, X, Y);
  TcxControl::DragDrop(Source, X, Y);
}

void TcxEditingControl::DragOver(TObject* Source, Integer X, Integer Y,
                                 TDragState State, bool& Accept) {
  TcxControl::DragOver(Source, X, Y, State, Accept);
  controller_->DragOver(Source, X, Y, State, Accept);
}

void TcxEditingControl::BeginDragAndDrop() {
  controller_->BeginDragAndDrop();
  TcxControl::BeginDragAndDrop();
}

void TcxEditingControl::DragAndDrop(const TPoint& P, bool& Accepted) {
  TcxControl::DragAndDrop(P, Accepted);
  controller_->DragAndDrop(P, Accepted);
}

void TcxEditingControl::EndDragAndDrop(bool Accepted) {
  TcxControl::EndDragAndDrop(Accepted);
  controller_->EndDragAndDrop(Accepted);
  dragPos_ = TPoint{0, 0};
}

bool TcxEditingControl::StartDragAndDrop(const TPoint& P) {
  const bool result = controller_ && controller_->StartDragAndDrop(P);
  if (result) controller_->HideHint();
  return result;
}

void TcxEditingControl::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TcxEditingControl::CreateWnd() {
  designSelectionHelper_.reset();
  TcxControl::CreateWnd();
  CheckCreateDesignSelectionHelper();
}

void TcxEditingControl::DestroyWnd() {
  designSelectionHelper_.reset();
  TcxControl::DestroyWnd();
}

void TcxEditingControl::Paint() {
  controller_->BeforePaint();
  TScopeGuard after([this] {
    if (controller_) controller_->AfterPaint();
  });
  TcxControl::Paint();
  Painter()->Paint();
}

// ---------------------------------------------------------------------------
// TcxExtEditingControl
// ---------------------------------------------------------------------------

TcxExtEditingControl::TcxExtEditingControl(TComponent* AOwner)
    : TcxEditingControl(AOwner) {}

TcxExtEditingControl::~TcxExtEditingControl() = default;

void TcxExtEditingControl::CreateSubClasses() {
  if (!optionsBehavior_) {
    optionsBehavior_ = CreateOptionsBehavior();
    optionsData_ = CreateOptionsData();
    optionsView_ = CreateOptionsView();
  }
  TcxEditingControl::CreateSubClasses();
}

void TcxExtEditingControl::DestroySubClasses() {
  TcxEditingControl::DestroySubClasses();
  optionsBehavior_.reset();
  optionsData_.reset();
  optionsView_.reset();
}

TObjectPtr<TcxControlOptionsBehavior>
TcxExtEditingControl::CreateOptionsBehavior() {
  return TObjectPtr<TcxControlOptionsBehavior>(
      new TcxControlOptionsBehavior(this));
}

TObjectPtr<TcxControlOptionsData> TcxExtEditingControl::CreateOptionsData() {
  return TObjectPtr<TcxControlOptionsData>(new TcxControlOptionsData(this));
}

TObjectPtr<TcxControlOptionsView> TcxExtEditingControl::CreateOptionsView() {
  return TObjectPtr<TcxControlOptionsView>(new TcxControlOptionsView(this));
}
