// The popup edit: a drop-down editor that borrows any control of the form
// for its popup and gives it back unchanged when the popup closes.
#include "Forms.h"
#include "cxDropDownEdit.h"
#include "cxEditConsts.h"

// ---------------------------------------------------------------------------
// Popup window
// ---------------------------------------------------------------------------

void TcxPopupEditPopupWindowViewInfo::DrawBorder(TcxCanvas* ACanvas, TRect& R) {
  if (NativeStyle || PopupBorderStyle != epbsFrame3D) {
    TcxCustomEditPopupWindowViewInfo::DrawBorder(ACanvas, R);
    return;
  }
  ACanvas->DrawEdge(R, false, true);
  InflateRect(R, -1, -1);
  ACanvas->DrawEdge(R, false, false);
  InflateRect(R, -1, -1);
  ACanvas->FrameRect(R, clInactiveBorder);
  InflateRect(R, -1, -1);
  ACanvas->FrameRect(R, clBtnFace);
  InflateRect(R, -1, -1);
}

TcxPopupEditPopupWindow::TcxPopupEditPopupWindow(TWinControl* AOwnerControl)
    : TcxCustomEditPopupWindow(AOwnerControl) {
  CreatePopupParts();
}

TcxContainerViewInfoClass TcxPopupEditPopupWindow::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxPopupEditPopupWindowViewInfo>;
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomPopupEditProperties::TcxCustomPopupEditProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner),
      notificator_(new TcxFreeNotificator(nullptr)) {
  notificator_->OnFreeNotification = TcxFreeNotificationEvent(
      this, &TcxCustomPopupEditProperties::FreeNotification);
  SetPopupAutoSize(true);
  SetPopupMinHeight(100);
  SetPopupMinWidth(100);
  SetPopupHeight(200);
  SetPopupWidth(250);
  SetPopupSizeable(true);
}

TcxCustomPopupEditProperties::~TcxCustomPopupEditProperties() {
  if (popupControl_) notificator_->RemoveSender(popupControl_);
  notificator_->OnFreeNotification = nullptr;
}

void TcxCustomPopupEditProperties::SetPopupControl(TControl* Value) {
  if (popupControl_ == Value) return;
  if (popupControl_) notificator_->RemoveSender(popupControl_);
  popupControl_ = Value;
  if (popupControl_) notificator_->AddSender(popupControl_);
}

void TcxCustomPopupEditProperties::FreeNotification(TComponent* AComponent) {
  TcxCustomDropDownEditProperties::FreeNotification(AComponent);
  if (AComponent == popupControl_) popupControl_ = nullptr;
}

void TcxCustomPopupEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomPopupEditProperties*>(Source);
  if (!source) {
    TcxCustomDropDownEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomDropDownEditProperties::Assign(Source);
  SetPopupControl(source->PopupControl());
}

TcxCustomEditPopupWindow* TcxCustomPopupEditProperties::NewPopupWindow(
    TWinControl* AEdit) {
  return new TcxPopupEditPopupWindow(AEdit);
}

TcxPopupEditProperties::TcxPopupEditProperties(TPersistent* AOwner)
    : TcxCustomPopupEditProperties(AOwner) {
  SetImmediateDropDown(true);
  SetImmediatePopup(true);
}

// ---------------------------------------------------------------------------
// Editor
// ---------------------------------------------------------------------------

TcxCustomPopupEdit::TcxCustomPopupEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomDropDownEdit(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  if (!ComponentState().Contains(csDesigning)) RecreatePopupWindow();
}

TcxCustomPopupEdit::~TcxCustomPopupEdit() {
  // The borrowed control goes home before the popup window goes.
  if (PopupWindow() && PopupWindow()->IsVisible()) RestorePopupControlData();
}

bool TcxCustomPopupEdit::CanDropDown() {
  return ActiveProperties()->PopupControl() != nullptr;
}

void TcxCustomPopupEdit::DoInitPopup() {
  TControl* control = ActiveProperties()->PopupControl();
  bool circular = control && (control == PopupWindow() || control == this);
  for (TControl* p = Parent(); control && p && !circular; p = p->Parent())
    circular = p == control;
  if (circular)
    throw EcxEditError(
        cxGetResourceString(cxSEditPopupCircularReferencingError));
  TcxCustomDropDownEdit::DoInitPopup();
}

TWinControl* TcxCustomPopupEdit::GetPopupFocusedControl() {
  return dynamic_cast<TWinControl*>(ActiveProperties()->PopupControl());
}

TSize TcxCustomPopupEdit::GetPopupWindowClientPreferredSize() {
  TControl* control = ActiveProperties()->PopupControl();
  return control ? TSize{control->Width(), control->Height()} : TSize{0, 0};
}

void TcxCustomPopupEdit::PositionPopupWindowChilds(const TRect& AClientRect) {
  TControl* control = ActiveProperties()->PopupControl();
  if (!control) return;
  control->SetLeft(AClientRect.Left);
  control->SetTop(AClientRect.Top);
  control->SetWidth(AClientRect.Right - AClientRect.Left);
  control->SetHeight(AClientRect.Bottom - AClientRect.Top);
}

void TcxCustomPopupEdit::SavePopupControlData() {
  TControl* control = ActiveProperties()->PopupControl();
  savedAlign_ = control->Align();
  if (auto* form = dynamic_cast<TCustomForm*>(control)) {
    savedBorderStyle_ = form->BorderStyle();
    form->SetBorderStyle(bsNone);
  }
  savedBounds_ = control->BoundsRect();
  savedParent_ = control->Parent();
  savedVisible_ = control->Visible();
  saved_ = true;
}

void TcxCustomPopupEdit::RestorePopupControlData() {
  TControl* control = ActiveProperties()->PopupControl();
  if (!control || !saved_) return;
  saved_ = false;
  control->SetVisible(false);
  PopupWindow()->SetFocusedControl(PopupWindow());
  control->SetParent(savedParent_);
  if (auto* form = dynamic_cast<TCustomForm*>(control))
    form->SetBorderStyle(savedBorderStyle_);
  control->SetAlign(savedAlign_);
  control->SetBoundsRect(savedBounds_);
  control->SetVisible(savedVisible_);
}

void TcxCustomPopupEdit::SetupPopupWindow() {
  TControl* control = ActiveProperties()->PopupControl();
  if (!control) {
    TcxCustomDropDownEdit::SetupPopupWindow();
    return;
  }
  // An open popup set up again keeps the state saved when it opened.
  if (!saved_) SavePopupControlData();
  control->SetParent(PopupWindow());
  control->SetVisible(true);
  TcxCustomDropDownEdit::SetupPopupWindow();
  control->SetAlign(alClient);
}

void TcxCustomPopupEdit::PopupWindowClosed(TObject* Sender) {
  RestorePopupControlData();
  TcxCustomDropDownEdit::PopupWindowClosed(Sender);
}

void TcxCustomPopupEdit::HidePopup(TObject*, TcxEditCloseUpReason AReason) {
  SetCloseUpReason(AReason);
  if (PopupWindow()) PopupWindow()->ClosePopup();
}

TcxPopupEdit::TcxPopupEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomPopupEdit(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
  RecreatePopupWindow();
}
